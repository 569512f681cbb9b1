#include "support/KitWndProcHook.h"

#include <algorithm>

#include "platform/controls/Forms.h"

// ------------------------------------------------------------- TKitHookInfos

// The chains of one control. Entries are a singly linked list; the dispatch
// levels keep cursors into them, so that hooks added or removed while a
// message is being dispatched are seen by that dispatch.
class TKitHookInfos : public TObject {
public:
    explicit TKitHookInfos(TControl* Control) : FControl(Control) {}
    ~TKitHookInfos() override { unhookControl(); }

    TControl* Control() const { return FControl; }
    bool ControlDestroyed() const { return FControlDestroyed; }

    void Add(TKitHookOrder Order, const TKitHookMethod& Hook)
    {
        Chain& c = FChains[Order];
        auto entry = std::make_unique<Entry>();
        entry->Hook = Hook;
        Entry* raw = entry.get();
        if (c.Last != nullptr)
            c.Last->Next = std::move(entry);
        else
            c.First = std::move(entry);
        c.Last = raw;
        for (Level& l : FLevels)
            if (l.Cursor[Order] == nullptr && l.Started[Order])
                l.Cursor[Order] = raw;
        hookControl();
    }

    bool Delete(TKitHookOrder Order, const TKitHookMethod& Hook)
    {
        Chain& c = FChains[Order];
        Entry* prev = nullptr;
        for (Entry* e = c.First.get(); e != nullptr; prev = e, e = e->Next.get()) {
            if (!(e->Hook == Hook))
                continue;
            for (Level& l : FLevels)
                if (l.Cursor[Order] == e)
                    l.Cursor[Order] = e->Next.get();
            if (c.Last == e)
                c.Last = prev;
            std::unique_ptr<Entry>& link = prev != nullptr ? prev->Next : c.First;
            std::unique_ptr<Entry> doomed = std::move(link);
            link = std::move(doomed->Next);
            break;
        }
        if (!FChains[0].First && !FChains[1].First)
            unhookControl();
        return true;
    }

    void ControlGone()
    {
        FControlDestroyed = true;
        FOldWndProc = nullptr;
        FHooked = false;
    }

    void WindowProc(TMessage& Msg)
    {
        Msg.Result = 0;
        FLevels.push_back(Level{{FChains[0].First.get(), nullptr}, {true, false}});
        const size_t level = FLevels.size() - 1;
        struct Pop {
            std::vector<Level>& L;
            ~Pop() { L.pop_back(); }
        } pop{FLevels};
        if (runChain(hoBeforeMsg, level, Msg))
            return;
        if (FOldWndProc)
            FOldWndProc(Msg);
        if (FControlDestroyed)
            return;
        FLevels[level].Cursor[hoAfterMsg] = FChains[hoAfterMsg].First.get();
        FLevels[level].Started[hoAfterMsg] = true;
        runChain(hoAfterMsg, level, Msg);
    }

private:
    struct Entry {
        TKitHookMethod Hook;
        std::unique_ptr<Entry> Next;
    };
    struct Chain {
        std::unique_ptr<Entry> First;
        Entry* Last = nullptr;
    };
    struct Level {
        Entry* Cursor[2];
        bool Started[2];
    };

    // True when dispatch ends here.
    bool runChain(TKitHookOrder Order, size_t level, TMessage& Msg)
    {
        while (Entry* e = FLevels[level].Cursor[Order]) {
            FLevels[level].Cursor[Order] = e->Next.get();
            const TKitHookMethod hook = e->Hook;  // the entry may go while it runs
            if (hook(Msg) || FControlDestroyed)
                return true;
        }
        return FControlDestroyed;
    }

    void hookControl()
    {
        if (FHooked || FControlDestroyed)
            return;
        FOldWndProc = FControl->WindowProc;
        FControl->WindowProc = TWndMethod(this, &TKitHookInfos::WindowProc);
        FHooked = true;
    }

    void unhookControl()
    {
        if (!FHooked || FControlDestroyed)
            return;
        FControl->WindowProc = FOldWndProc;
        FOldWndProc = nullptr;
        FHooked = false;
    }

    TControl* FControl;
    TWndMethod FOldWndProc;
    Chain FChains[2];
    std::vector<Level> FLevels;
    bool FHooked = false;
    bool FControlDestroyed = false;
};

// ------------------------------------------------------------ TKitWndProcHook

TKitWndProcHook::TKitWndProcHook(TComponent* AOwner) : TComponent(AOwner) {}

TKitWndProcHook::~TKitWndProcHook()
{
    for (auto& infos : FHookInfos)
        if (!infos->ControlDestroyed())
            infos->Control()->RemoveFreeNotification(this);
}

TKitHookInfos* TKitWndProcHook::find(const TControl* Control) const
{
    for (const auto& infos : FHookInfos)
        if (infos->Control() == Control)
            return infos.get();
    return nullptr;
}

bool TKitWndProcHook::RegisterWndProc(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order)
{
    if (Control == nullptr || Control->ComponentState().Contains(csDestroying) || !Hook)
        return false;
    TKitHookInfos* infos = find(Control);
    if (infos == nullptr) {
        FHookInfos.push_back(std::make_unique<TKitHookInfos>(Control));
        infos = FHookInfos.back().get();
        Control->FreeNotification(this);
    }
    infos->Add(Order, Hook);
    return true;
}

bool TKitWndProcHook::UnRegisterWndProc(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order)
{
    if (Control == nullptr || !Hook)
        return false;
    TKitHookInfos* infos = find(Control);
    return infos != nullptr && infos->Delete(Order, Hook);
}

void TKitWndProcHook::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    auto it = std::find_if(FHookInfos.begin(), FHookInfos.end(),
                           [&](const auto& infos) { return infos->Control() == AComponent; });
    if (it == FHookInfos.end() || (*it)->ControlDestroyed())
        return;
    (*it)->ControlGone();
    std::unique_ptr<TObject> gone = std::move(*it);
    FHookInfos.erase(it);
    TKitReleaser::Instance()->Release(std::move(gone));
}

TKitWndProcHook* WndProcHook()
{
    static const std::unique_ptr<TKitWndProcHook> instance = std::make_unique<TKitWndProcHook>(nullptr);
    return instance.get();
}

bool RegisterWndProcHook(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order)
{
    return WndProcHook()->RegisterWndProc(Control, Hook, Order);
}

bool UnRegisterWndProcHook(TControl* Control, const TKitHookMethod& Hook, TKitHookOrder Order)
{
    return WndProcHook()->UnRegisterWndProc(Control, Hook, Order);
}

// --------------------------------------------------------------- TKitReleaser

TKitReleaser::TKitReleaser() = default;

TKitReleaser::~TKitReleaser()
{
    FReleasing.clear();
    FWindow.reset();
}

TKitReleaser* TKitReleaser::Instance()
{
    static const std::unique_ptr<TKitReleaser> instance = std::make_unique<TKitReleaser>();
    return instance.get();
}

void TKitReleaser::Release(std::unique_ptr<TObject> Obj)
{
    if (!Obj)
        return;
    for (const auto& o : FReleasing)
        if (o.get() == Obj.get()) {
            (void)Obj.release();  // the queued copy owns it
            return;
        }
    if (!FWindow)
        FWindow = AllocateHWnd(TWndMethod(this, &TKitReleaser::wndProc));
    TObject* raw = Obj.get();
    FReleasing.push_back(std::move(Obj));
    PostMessage(FWindow->ReceiverHandle(), CM_RELEASE, WPARAM(raw), 0);
}

void TKitReleaser::wndProc(TMessage& Msg)
{
    if (Msg.Msg != CM_RELEASE)
        return;
    try {
        auto it = std::find_if(FReleasing.begin(), FReleasing.end(),
                               [&](const auto& o) { return WPARAM(o.get()) == Msg.WParam; });
        if (it != FReleasing.end()) {
            std::unique_ptr<TObject> doomed = std::move(*it);
            FReleasing.erase(it);
        }
    } catch (...) {
        if (Application != nullptr)
            Application->HandleException(nullptr);
    }
}

// ------------------------------------------------------------- TKitWindowHook

TKitWindowHook::TKitWindowHook(TComponent* AOwner) : TKitComponent(AOwner) {}

TKitWindowHook::~TKitWindowHook()
{
    unhook();
    if (FControl != nullptr)
        FControl->RemoveFreeNotification(this);
}

void TKitWindowHook::hook()
{
    if (FHooked || FControl == nullptr || ComponentState().Contains(csDesigning))
        return;
    if (FAfterMessage)
        RegisterWndProcHook(FControl, TKitHookMethod(this, &TKitWindowHook::DoAfterMessage), hoAfterMsg);
    if (FBeforeMessage)
        RegisterWndProcHook(FControl, TKitHookMethod(this, &TKitWindowHook::DoBeforeMessage), hoBeforeMsg);
    FHooked = true;
}

void TKitWindowHook::unhook()
{
    if (!FHooked)
        return;
    if (FControl != nullptr) {
        UnRegisterWndProcHook(FControl, TKitHookMethod(this, &TKitWindowHook::DoAfterMessage), hoAfterMsg);
        UnRegisterWndProcHook(FControl, TKitHookMethod(this, &TKitWindowHook::DoBeforeMessage), hoBeforeMsg);
    }
    FHooked = false;
}

void TKitWindowHook::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    FActive = Value;
    if (Value)
        hook();
    else
        unhook();
}

void TKitWindowHook::SetControl(TControl* Value)
{
    if (Value == FControl)
        return;
    const bool wasActive = FActive;
    SetActive(false);
    if (FControl != nullptr)
        FControl->RemoveFreeNotification(this);
    FControl = Value != nullptr && !Value->ComponentState().Contains(csDestroying) ? Value : nullptr;
    if (FControl != nullptr) {
        FControl->FreeNotification(this);
        SetActive(wasActive);
    }
}

void TKitWindowHook::SetBeforeMessage(const TKitHookMessageEvent& Value)
{
    const bool had = bool(FBeforeMessage);
    FBeforeMessage = Value;
    if (!FHooked || FControl == nullptr || had == bool(Value))
        return;
    const TKitHookMethod m(this, &TKitWindowHook::DoBeforeMessage);
    if (Value)
        RegisterWndProcHook(FControl, m, hoBeforeMsg);
    else
        UnRegisterWndProcHook(FControl, m, hoBeforeMsg);
}

void TKitWindowHook::SetAfterMessage(const TKitHookMessageEvent& Value)
{
    const bool had = bool(FAfterMessage);
    FAfterMessage = Value;
    if (!FHooked || FControl == nullptr || had == bool(Value))
        return;
    const TKitHookMethod m(this, &TKitWindowHook::DoAfterMessage);
    if (Value)
        RegisterWndProcHook(FControl, m, hoAfterMsg);
    else
        UnRegisterWndProcHook(FControl, m, hoAfterMsg);
}

bool TKitWindowHook::DoBeforeMessage(TMessage& Msg)
{
    bool handled = false;
    if (FBeforeMessage)
        FBeforeMessage(this, Msg, handled);
    return handled;
}

bool TKitWindowHook::DoAfterMessage(TMessage& Msg)
{
    bool handled = false;
    if (FAfterMessage)
        FAfterMessage(this, Msg, handled);
    return handled;
}

void TKitWindowHook::Notification(TComponent* AComponent, TOperation Operation)
{
    TKitComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr &&
        (AComponent == FControl || AComponent == Owner() || Owner() == nullptr)) {
        if (AComponent == FControl) {
            FHooked = false;  // the registry drops the control's chains itself
            FControl = nullptr;
        }
    }
}
