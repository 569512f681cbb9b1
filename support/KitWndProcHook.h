// KitWndProcHook.h - several parties watching one control's messages without
// knowing of each other: chains of hooks before and after the control's own procedure.
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/Controls.h"
#include "support/KitComponent.h"

// True: the message was handled, dispatch stops.
using TKitHookMethod = TDelegate<bool(TMessage& Msg)>;
enum TKitHookOrder { hoBeforeMsg, hoAfterMsg };

class TKitHookInfos;

// The process's registry of hooked controls (WndProcHook()). Main thread only.
class TKitWndProcHook : public TComponent {
public:
    explicit TKitWndProcHook(TComponent* AOwner);
    ~TKitWndProcHook() override;
    String ClassName() const override { return String::fromLatin1("TKitWndProcHook"); }

    bool RegisterWndProc(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order);
    bool UnRegisterWndProc(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TKitHookInfos* find(const TControl* Control) const;
    std::vector<std::unique_ptr<TKitHookInfos>> FHookInfos;
};

TKitWndProcHook* WndProcHook();
bool RegisterWndProcHook(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order);
bool UnRegisterWndProcHook(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order);

// Frees objects after the message being handled, through a posted message,
// so a dispatch on the stack can finish with the object alive.
class TKitReleaser {
public:
    TKitReleaser();
    ~TKitReleaser();
    static TKitReleaser* Instance();
    // An object already queued is not queued again.
    void Release(std::unique_ptr<TObject> Obj);
    int PendingCount() const { return int(FReleasing.size()); }

private:
    void wndProc(TMessage& Msg);
    std::unique_ptr<TMessageWindow> FWindow;
    std::vector<std::unique_ptr<TObject>> FReleasing;
};

using TKitHookMessageEvent = TDelegate<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

// One pair of before and after events on one control.
class TKitWindowHook : public TKitComponent {
public:
    explicit TKitWindowHook(TComponent* AOwner);
    ~TKitWindowHook() override;
    String ClassName() const override { return String::fromLatin1("TKitWindowHook"); }

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value);
    const TKitHookMessageEvent& BeforeMessage() const { return FBeforeMessage; }
    void SetBeforeMessage(const TKitHookMessageEvent& Value);
    const TKitHookMessageEvent& AfterMessage() const { return FAfterMessage; }
    void SetAfterMessage(const TKitHookMessageEvent& Value);

protected:
    virtual bool DoBeforeMessage(TMessage& Msg);
    virtual bool DoAfterMessage(TMessage& Msg);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void hook();
    void unhook();
    bool FActive = true;
    bool FHooked = false;
    TControl* FControl = nullptr;
    TKitHookMessageEvent FBeforeMessage, FAfterMessage;
};
