// MPlayer.h - the media player control's button row: up to nine buttons
// (play, pause, stop, next, previous, step, back, record, eject) side by
// side, each visible, enabled and coloured by its own set. There is no media
// device behind it here (the system's multimedia command service does not
// exist on this platform): a click only reports which button it was.
#pragma once
#include "platform/controls/Controls.h"
#include "platform/rtl/Set.h"

// Scoped: the up-down control's buttons are btNext and btPrev too.
enum class TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
using TButtonSet = TSet<TMPBtnType>;
inline constexpr TButtonSet AllMPButtons = TButtonSet::fromBits(0x1FF);

using TMPClickEvent = TDelegate<void(TObject* Sender, TMPBtnType Button, bool& DoDefault)>;

class TMediaPlayer : public TCustomControl {
public:
    explicit TMediaPlayer(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TMediaPlayer"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TButtonSet VisibleButtons() const { return FVisibleButtons; }
    void SetVisibleButtons(TButtonSet Value) { FVisibleButtons = Value; Invalidate(); }
    TButtonSet EnabledButtons() const { return FEnabledButtons; }
    void SetEnabledButtons(TButtonSet Value) { FEnabledButtons = Value; Invalidate(); }
    TButtonSet ColoredButtons() const { return FColoredButtons; }
    void SetColoredButtons(TButtonSet Value) { FColoredButtons = Value; Invalidate(); }
    // The visible button at X (client coordinates); false when none is there.
    bool ButtonAtPos(int X, TMPBtnType& Button) const;
    // A press and release on the same enabled button.
    TMPClickEvent OnButtonClick;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TButtonSet FVisibleButtons = AllMPButtons;
    TButtonSet FEnabledButtons = AllMPButtons;
    TButtonSet FColoredButtons = AllMPButtons;
    int FPressed = -1;
};
