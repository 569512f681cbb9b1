// uTaskBarListProgress.h - progress on the program's taskbar entry, set
// directly or following a progress bar whose changes it watches.
#pragma once
#include <cstdint>

#include "platform/controls/ComCtrls.h"
#include "support/uTaskBarList.h"

enum TProgressBarState { pbsNormal, pbsError, pbsPaused };

// What the taskbar was last told, in the shell's terms.
enum : uint32_t { TBPF_NOPROGRESS = 0, TBPF_INDETERMINATE = 1, TBPF_NORMAL = 2, TBPF_ERROR = 4, TBPF_PAUSED = 8 };

class TTaskbarListProgress : public TTaskBarListComponent {
public:
    explicit TTaskbarListProgress(TComponent* AOwner);
    ~TTaskbarListProgress() override;
    String ClassName() const override { return String::fromLatin1("TTaskbarListProgress"); }

    uint64_t Min() const { return FMin; }
    void SetMin(uint64_t Value) { FMin = Value; PostUpdate(); }
    uint64_t Max() const { return FMax; }
    void SetMax(uint64_t Value) { FMax = Value; PostUpdate(); }
    uint64_t Position() const { return FPosition; }
    void SetPosition(uint64_t Value) { FPosition = Value; PostUpdate(); }
    TProgressBarState State() const { return FState; }
    void SetState(TProgressBarState Value) { FState = Value; PostUpdate(); }
    bool Marquee() const { return FMarquee; }
    void SetMarquee(bool Value) { FMarquee = Value; PostUpdate(); }
    TProgressBar* ProgressBar() const { return FProgressBar; }
    void SetProgressBar(TProgressBar* Value);

    uint32_t LastFlags() const { return FLastFlags; }
    double LastProgress() const { return FLastProgress; }

protected:
    void UpdateTaskBar() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void barWindowProc(TMessage& Message);
    uint64_t FMin = 0, FMax = 100, FPosition = 0;
    TProgressBarState FState = pbsNormal;
    bool FMarquee = false;
    TProgressBar* FProgressBar = nullptr;
    TWndMethod FOldBarProc;
    uint32_t FLastFlags = TBPF_NOPROGRESS;
    double FLastProgress = 0;
};
