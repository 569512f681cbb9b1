// The container popups: the drop-down window with an owner control, and the
// application event hook that closes open popups on presses elsewhere, on
// the owner's hiding, moving or closing, and on the application's
// deactivation.
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vlContainer.h"

namespace {

struct TPopupState {
    std::vector<TvlCustomPopupWindow*> OpenPopups;
    int Hook = 0;
    int TransitionCount = 0;
    bool FocusChanging = false;
};

// Main thread only.
TPopupState& popupState()
{
    static TPopupState s;
    return s;
}

[[noreturn]] void assertionFailure(int Line)
{
    throw EAssertionFailed(String::fromLatin1("Assertion failure (vlContainer, line %1)").arg(Line));
}

bool isListed(const TvlCustomPopupWindow* APopup)
{
    const auto& list = popupState().OpenPopups;
    return std::find(list.begin(), list.end(), APopup) != list.end();
}

bool isDestroying(const TComponent* C) { return C != nullptr && C->ComponentState().Contains(csDestroying); }

// The widget of AControl when its window exists.
QWidget* windowOf(const TWinControl* AControl)
{
    return AControl != nullptr && AControl->HandleAllocated() ? const_cast<TWinControl*>(AControl)->Widget()
                                                               : nullptr;
}

// Wnd is AWindow or lies inside it.
bool liesIn(const QWidget* Wnd, const QWidget* AWindow)
{
    return Wnd != nullptr && AWindow != nullptr && (Wnd == AWindow || AWindow->isAncestorOf(Wnd));
}

bool isActiveForm(const TvlCustomPopupWindow* APopup)
{
    const QWidget* w = windowOf(APopup);
    return w != nullptr && QApplication::activeWindow() == w;
}

// Raises a counter or flag for a scope, lowering it also on exceptions.
class TFlagScope {
public:
    explicit TFlagScope(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

class TTransitionScope {
public:
    TTransitionScope() { BeginPopupTransition(true); }
    ~TTransitionScope() { BeginPopupTransition(false); }
    TTransitionScope(const TTransitionScope&) = delete;
    TTransitionScope& operator=(const TTransitionScope&) = delete;
};

class TDeactivateLockScope {
public:
    explicit TDeactivateLockScope(TvlCustomPopupWindow* APopup) : FPopup(APopup) { FPopup->LockDeactivate(true); }
    ~TDeactivateLockScope() { FPopup->LockDeactivate(false); }
    TDeactivateLockScope(const TDeactivateLockScope&) = delete;
    TDeactivateLockScope& operator=(const TDeactivateLockScope&) = delete;

private:
    TvlCustomPopupWindow* FPopup;
};

TShiftState shiftOf(Qt::KeyboardModifiers Modifiers)
{
    TShiftState result;
    if (Modifiers & Qt::ShiftModifier) result.Include(ssShift);
    if (Modifiers & Qt::ControlModifier) result.Include(ssCtrl);
    if (Modifiers & Qt::AltModifier) result.Include(ssAlt);
    return result;
}

UINT pressMessage(const QMouseEvent* E)
{
    const bool dbl = E->type() == QEvent::MouseButtonDblClick;
    switch (E->button()) {
    case Qt::RightButton: return dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    case Qt::MiddleButton: return dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
    default: return dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    }
}

// A window is closing (the user's or the program's close of a top-level
// widget).
void windowClosing(QWidget* Wnd)
{
    for (TvlCustomPopupWindow* popup : std::vector(popupState().OpenPopups)) {
        if (!isListed(popup) || isDestroying(popup))
            continue;
        TWinControl* owner = popup->OwnerControl();
        if (windowOf(popup) == Wnd) {
            if (popup->CloseQuery())
                popup->CloseUp();
            // Closing a focus-capturing drop-down closes the window it
            // belongs to, as closing that window itself would.
            if (!popup->IsVisible() && popup->CaptureFocus() && owner != nullptr && !isDestroying(owner))
                if (QWidget* ownerWindow = windowOf(owner))
                    ownerWindow->window()->close();
            return;
        }
        if (popup->CaptureFocus())
            continue;
        if (owner == nullptr || isDestroying(owner))
            continue;
        const TCustomForm* form = GetParentForm(owner);
        if (!(windowOf(form) != nullptr && Wnd != windowOf(form)))
            popup->CloseUp();
        return;
    }
}

// Wnd is being hidden: the popup it owns and every later one close.
void windowHidden(QWidget* Wnd)
{
    auto& list = popupState().OpenPopups;
    for (int i = int(list.size()) - 1; i >= 0; --i) {
        if (i >= int(list.size()))
            continue;
        TvlCustomPopupWindow* popup = list[size_t(i)];
        TWinControl* owner = popup->OwnerControl();
        if (isDestroying(popup) || owner == nullptr || isDestroying(owner) || windowOf(owner) != Wnd)
            continue;
        for (int j = int(list.size()) - 1; j >= i; --j)
            if (j < int(list.size()))
                list[size_t(j)]->CloseUp();
        return;
    }
}

// Wnd moved, was resized or hidden: popups whose owner it is and no longer
// shows close.
void windowPosChanged(QWidget* Wnd)
{
    for (bool closed = true; closed;) {
        closed = false;
        for (TvlCustomPopupWindow* popup : popupState().OpenPopups) {
            TWinControl* owner = popup->OwnerControl();
            if (isDestroying(popup) || !popup->HandleAllocated() || owner == nullptr || isDestroying(owner))
                continue;
            if (windowOf(owner) == Wnd && !Wnd->isVisible()) {
                popup->CloseUp();
                closed = true;
                break;
            }
        }
    }
}

// The application lost the activation: every popup that is not itself an
// active focus-capturing window closes.
void applicationDeactivated()
{
    for (bool closed = true; closed;) {
        closed = false;
        for (TvlCustomPopupWindow* popup : popupState().OpenPopups) {
            const QWidget* w = windowOf(popup);
            if ((!popup->CaptureFocus() || !isActiveForm(popup)) && (w == nullptr || w->isEnabled())) {
                TWinControl* owner = popup->OwnerControl();
                popup->CloseUp();
                if (auto* container = dynamic_cast<TvlContainer*>(owner))
                    container->FocusChanged();
                closed = true;
                break;
            }
        }
    }
}

// A key pressed with Alt: withheld from everything while the topmost popup
// is not a modal focus-capturing one, unless that popup takes the key.
bool sysKeyWithheld(QKeyEvent* E)
{
    if (!(E->modifiers() & Qt::AltModifier))
        return false;
    const TvlCustomPopupWindow* popup = popupState().OpenPopups.back();
    return (!popup->CaptureFocus() || !popup->ModalMode())
        && !popup->IsSysKeyAccepted(QtKeyToVirtualKey(E->key()));
}

// The press last decided on. A press the widget ignores travels on to its
// parents as copies; those are the same press and are decided once.
struct TLastPress {
    QPointer<QWidget> Target;
    QEvent::Type Type = QEvent::None;
    Qt::MouseButton Button = Qt::NoButton;
    QPoint GlobalPos;
    quint64 Timestamp = 0;

    bool IsPassedOn(const QWidget* W, const QMouseEvent* M) const
    {
        return Target != nullptr && W->isAncestorOf(Target) && M->type() == Type && M->button() == Button
            && M->globalPosition().toPoint() == GlobalPos && M->timestamp() == Timestamp;
    }
};

TLastPress& lastPress()
{
    static TLastPress s;
    return s;
}

bool popupHook(QObject* Receiver, QEvent* E)
{
    const QEvent::Type type = E->type();
    if (type == QEvent::MouseButtonRelease)
        lastPress().Target = nullptr;
    // Every press is noted, also while no popup is open: the press that
    // opens one may travel on to the window around it.
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && Receiver->isWidgetType()) {
        auto* w = static_cast<QWidget*>(Receiver);
        auto* m = static_cast<QMouseEvent*>(E);
        if (lastPress().IsPassedOn(w, m))
            return false;
        const QPoint g = m->globalPosition().toPoint();
        lastPress() = {w, m->type(), m->button(), g, m->timestamp()};
        if (popupState().OpenPopups.empty())
            return false;
        return !ClosePopupsOnMouseDown(w, pressMessage(m), TPoint{g.x(), g.y()}, shiftOf(m->modifiers()));
    }
    if (popupState().OpenPopups.empty())
        return false;
    switch (type) {
    case QEvent::ShortcutOverride: {
        // Claimed, so that no shortcut of the window behind fires; the key
        // press that follows is withheld below.
        auto* k = static_cast<QKeyEvent*>(E);
        if (!sysKeyWithheld(k))
            return false;
        k->accept();
        return true;
    }
    case QEvent::KeyPress:
        return sysKeyWithheld(static_cast<QKeyEvent*>(E));
    case QEvent::Close:
        if (Receiver->isWidgetType() && static_cast<QWidget*>(Receiver)->isWindow())
            windowClosing(static_cast<QWidget*>(Receiver));
        return false;
    case QEvent::Hide:
        if (Receiver->isWidgetType()) {
            windowHidden(static_cast<QWidget*>(Receiver));
            windowPosChanged(static_cast<QWidget*>(Receiver));
        }
        return false;
    case QEvent::Move: case QEvent::Resize:
        if (Receiver->isWidgetType())
            windowPosChanged(static_cast<QWidget*>(Receiver));
        return false;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(E)->applicationState() != Qt::ApplicationActive)
            applicationDeactivated();
        return false;
    default:
        return false;
    }
}

}  // namespace

// ---------------------------------------------------------- open popups

int OpenPopupCount() { return int(popupState().OpenPopups.size()); }

TvlCustomPopupWindow* OpenPopup(int Index) { return popupState().OpenPopups.at(size_t(Index)); }

void AddOpenPopup(TvlCustomPopupWindow* APopup)
{
    if (APopup == nullptr || isListed(APopup))
        assertionFailure(1012);
    popupState().OpenPopups.push_back(APopup);
}

void RemoveOpenPopup(TvlCustomPopupWindow* APopup)
{
    if (APopup == nullptr || !isListed(APopup))
        assertionFailure(1022);
    std::erase(popupState().OpenPopups, APopup);
}

void InstallPopupHooks()
{
    TPopupState& s = popupState();
    if (s.Hook != 0)
        assertionFailure(6501);
    InstallThreadHook(s.Hook, 0, popupHook);
}

void RemovePopupHooks() { RemoveThreadHook(popupState().Hook); }

bool ArePopupHooksInstalled() { return popupState().Hook != 0; }

void AddvlContainerUnit(TStartupList& AList)
{
    // The hook stays for the life of the program; the open list starts
    // empty and is left empty by every popup's destruction.
    AList.Add(String::fromLatin1("vlContainer"), [] { InstallPopupHooks(); }, [] { RemovePopupHooks(); });
}

void BeginPopupTransition(bool ABegin)
{
    if (ABegin)
        ++popupState().TransitionCount;
    else
        --popupState().TransitionCount;
}

bool IsPopupTransition() { return popupState().TransitionCount != 0; }

bool PopupFocusChanging() { return popupState().FocusChanging; }

void SetPopupFocusChanging(bool Value) { popupState().FocusChanging = Value; }

namespace {

// Wnd lies in FormWindow, or in an open popup whose owner lies there (a
// drop-down belongs to the window it was opened from).
bool liesOnForm(const QWidget* FormWindow, QWidget* Wnd, size_t Depth)
{
    if (liesIn(Wnd, FormWindow))
        return true;
    const auto& list = popupState().OpenPopups;
    if (Depth > list.size())
        return false;
    for (TvlCustomPopupWindow* popup : list)
        if (liesIn(Wnd, windowOf(popup)))
            if (QWidget* owner = windowOf(popup->OwnerControl()); owner != nullptr && owner->window() != Wnd->window())
                return liesOnForm(FormWindow, owner, Depth + 1);
    return false;
}

}  // namespace

bool IsOnOwnerForm(TWinControl* AOwner, QWidget* Wnd)
{
    if (AOwner == nullptr)
        return false;
    const QWidget* formWindow = windowOf(GetParentForm(AOwner));
    return formWindow != nullptr && liesOnForm(formWindow, Wnd, 0);
}

bool ClosePopupsOnMouseDown(QWidget* Wnd, UINT Msg, const TPoint& P, TShiftState Shift)
{
    bool pass = true;
    bool onOwner = false;
    auto& list = popupState().OpenPopups;
    for (bool closed = true; closed;) {
        closed = false;
        for (TvlCustomPopupWindow* popup : list) {
            if ((popup->CaptureFocus() && !isActiveForm(popup)) || liesIn(Wnd, windowOf(popup)))
                continue;
            TWinControl* owner = popup->OwnerControl();
            auto* ownerForm = dynamic_cast<TvlCustomPopupWindow*>(GetParentForm(owner));
            if (!IsOnOwnerForm(owner, Wnd) && !(ownerForm != nullptr && !ownerForm->IsVisible()))
                continue;
            bool absorb = true;
            if (liesIn(Wnd, windowOf(owner)) && (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK)) {
                TRect r;
                popup->GetOwnerScreenBounds(r);
                if (r.Contains(P))
                    onOwner = true;
                if (popup->AbsorbsClosingClick(Wnd, Msg, P, Shift))
                    popup->SetClosedByOwnerClick(true);
                absorb = false;
            }
            {
                TFlagScope changing(popupState().FocusChanging);
                TDeactivateLockScope locked(popup);
                if (pass && absorb)
                    pass = !popup->AbsorbsClosingClick(Wnd, Msg, P, Shift);
                popup->CloseUp();
            }
            if (onOwner && (isDestroying(owner) || !owner->Visible()))
                pass = false;
            closed = true;
            break;
        }
    }
    return pass;
}

// ------------------------------------------------------------ the popup

TvlCustomPopupWindow::TvlCustomPopupWindow(TWinControl* AOwnerControl) : FOwnerControl(AOwnerControl)
{
    SetFormStyle(fsNormal);
    SetVisible(false);
    FStyle = GetStyleClass()(this, csNormal, nullptr, false);
    FStyle->OnChanged = TNotifyEvent(this, &TvlCustomPopupWindow::styleChanged);
    FViewInfo = GetViewInfoClass()();
    SetKeyPreview(true);
    if (FOwnerControl != nullptr)
        FOwnerControl->FreeNotification(this);
}

TvlCustomPopupWindow::~TvlCustomPopupWindow()
{
    // Destroyed while open: it leaves the list without closing (nothing
    // is left to restore on the owner's window).
    if (isListed(this))
        RemoveOpenPopup(this);
    if (FOwnerControl != nullptr)
        FOwnerControl->RemoveFreeNotification(this);
    FViewInfo.reset();
    FStyle->OnChanged = {};
    FStyle.reset();
}

void TvlCustomPopupWindow::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlPopupWindow::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FOwnerControl) {
        // A popup cannot outlive the control it drops down from.
        if (IsVisible())
            CloseUp();
        FOwnerControl = nullptr;
    }
    if (AComponent == FFocusedControl)
        FFocusedControl = nullptr;
}

bool TvlCustomPopupWindow::IsVisible() const { return isListed(this); }

bool TvlCustomPopupWindow::Focused() const
{
    return IsVisible() && FCaptureFocus && liesIn(QApplication::focusWidget(), windowOf(this));
}

void TvlCustomPopupWindow::LockDeactivate(bool ALock)
{
    if (ALock)
        ++FDeactivateLockCount;
    else
        --FDeactivateLockCount;
}

bool TvlCustomPopupWindow::HasCapture() const { return GetCaptureControl() == this; }

bool TvlCustomPopupWindow::IsOwnerControlVisible() const
{
    const QWidget* w = windowOf(FOwnerControl);
    return w != nullptr && w->isVisible();
}

void TvlCustomPopupWindow::SetCaptureFocus(bool Value)
{
    if (FCaptureFocus == Value)
        return;
    FCaptureFocus = Value;
    RecreateWindow();
}

void TvlCustomPopupWindow::SetIsTopMost(bool Value)
{
    if (FIsTopMost == Value)
        return;
    FIsTopMost = Value;
    RecreateWindow();
}

void TvlCustomPopupWindow::RecreateWindow()
{
    const bool wasOpen = IsVisible();
    if (wasOpen)
        CloseUp();
    if (HandleAllocated())
        DestroyWidget();
    if (wasOpen)
        PopupWithFocus(FFocusedControl);
}

void TvlCustomPopupWindow::ClosePopup() { PostMessage(ReceiverHandle(), VLM_CLOSEPOPUPWINDOW, 0, 0); }

bool TvlCustomPopupWindow::IsSysKeyAccepted(uint16_t Key) const
{
    constexpr uint16_t vkF4 = VK_F1 + 3;
    return (Key >= VK_PRIOR && Key <= VK_DOWN) || Key == vkF4;
}

void TvlCustomPopupWindow::DoClosed()
{
    if (OnClosed)
        OnClosed(this);
}

void TvlCustomPopupWindow::DoClosing()
{
    if (OnClosing)
        OnClosing(this);
}

void TvlCustomPopupWindow::DoShowed()
{
    if (OnShowed)
        OnShowed(this);
}

void TvlCustomPopupWindow::DoShowing()
{
    if (OnShowing)
        OnShowing(this);
}

void TvlCustomPopupWindow::GetOwnerScreenBounds(TRect& R) const
{
    R = OwnerBounds;
    if (OwnerParent == nullptr)
        return;
    // A top-level owner's bounds are screen coordinates already.
    if (const auto* window = dynamic_cast<const TWinControl*>(OwnerParent); window != nullptr && window->Parent() == nullptr)
        return;
    const TPoint origin = OwnerParent->ClientToScreen(TPoint{0, 0});
    OffsetRect(R, origin.X, origin.Y);
}

void TvlCustomPopupWindow::CorrectBoundsWithDesktopWorkArea(TPoint& P)
{
    if (!CanFitToWorkArea())
        return;
    TRect wa;
    GetDesktopWorkArea(P, wa);
    int w = Width();
    int h = Height();
    if (P.X < wa.Left) {
        w -= wa.Left - P.X;
        P.X = wa.Left;
    }
    if (P.Y < wa.Top) {
        h -= wa.Top - P.Y;
        P.Y = wa.Top;
    }
    h = std::min(h, wa.Bottom - P.Y);
    SetWidth(std::min(wa.Right - P.X, w));
    SetHeight(h);
    if (Height() != h && P.Y == wa.Top)
        P.Y += h - Height();
}

void TvlCustomPopupWindow::PopupWithFocus(TWinControl* AFocusedControl)
{
    if (IsVisible() || !IsOwnerControlVisible())
        return;
    InitPopup();
    CalculateSize();
    TPoint p;
    CalculatePosition(p);
    CorrectBoundsWithDesktopWorkArea(p);
    {
        TFlagScope changing(popupState().FocusChanging);
        AddOpenPopup(this);
        DoShowing();
        SetBounds(p.X, p.Y, Width(), Height());
        if (FCaptureFocus)
            Show();
        else
            SetVisible(true);
        SetBounds(p.X, p.Y, Width(), Height());
        if (!FCaptureFocus)
            FFocusedControl = AFocusedControl;
        else if (AFocusedControl == nullptr)
            FFocusedControl = this;
        else if (AFocusedControl->CanFocus() && AFocusedControl->TabStop())
            FFocusedControl = AFocusedControl;
        else {
            std::vector<TWinControl*> order;
            GetTabOrderList(order);
            const auto first = std::find_if(order.begin(), order.end(), [](TWinControl* c) {
                return c->CanFocus() && c->TabStop();
            });
            FFocusedControl = first != order.end() ? *first : this;
        }
        if (FFocusedControl != nullptr && FFocusedControl != this)
            FFocusedControl->FreeNotification(this);
        // A popup that captures no focus never takes it itself.
        if (FFocusedControl != nullptr && FFocusedControl->CanFocus())
            FFocusedControl->SetFocus();
        // On top without taking the activation.
        if (QWidget* w = windowOf(this))
            w->raise();
    }
    SetModalResult(mrNone);
    DoShowed();
    if (FCaptureFocus && FModalMode)
        runModalLoop();
}

void TvlCustomPopupWindow::runModalLoop()
{
    // The popup may be freed by a handler while the loop runs.
    QPointer<QWidget> alive = windowOf(this);
    QEventLoop loop;
    while (alive != nullptr && IsVisible() && (Application == nullptr || !Application->Terminated())) {
        if (ModalResult() != mrNone) {
            if (CloseQuery())
                ModalCloseUp();
            else
                SetModalResult(mrNone);
            continue;
        }
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void TvlCustomPopupWindow::CloseUp()
{
    if (!IsVisible())
        return;
    TTransitionScope transition;
    RemoveOpenPopup(this);
    DoClosing();
    SetVisible(false);
    DoClosed();
    if (HandleAllocated()) {
        for (const TControl* c = GetCaptureControl(); c != nullptr; c = c->Parent())
            if (c == this) {
                SetCaptureControl(nullptr);
                break;
            }
    }
}

void TvlCustomPopupWindow::DoHide()
{
    TvlPopupWindow::DoHide();
    // The focus goes back to the owner when the owner's form still has it.
    if (!FCaptureFocus || FOwnerControl == nullptr || isDestroying(FOwnerControl))
        return;
    const TCustomForm* form = GetParentForm(FOwnerControl);
    const QWidget* formWindow = windowOf(form);
    if (formWindow != nullptr && QApplication::focusWidget() == formWindow && FOwnerControl->CanFocus())
        FOwnerControl->SetFocus();
}

std::unique_ptr<QWidget> TvlCustomPopupWindow::CreateWidget(QWidget* ParentWidget)
{
    // Listed while the window is made, so the hooks take it for a popup.
    const bool listed = IsVisible();
    if (!listed)
        AddOpenPopup(this);
    std::unique_ptr<QWidget> w;
    try {
        w = TvlPopupWindow::CreateWidget(ParentWidget);
    } catch (...) {
        if (!listed)
            RemoveOpenPopup(this);
        throw;
    }
    if (!listed)
        RemoveOpenPopup(this);
    w->setAttribute(Qt::WA_ShowWithoutActivating, !FCaptureFocus);
    return w;
}

void TvlCustomPopupWindow::AdjustWindowFlags(Qt::WindowFlags& Flags) const
{
    // A tool window in every case: the hooks decide every close, which a
    // window of the toolkit's own popup kind would take over.
    Flags = Qt::Tool | Qt::FramelessWindowHint;
    const TCustomForm* ownerForm = FOwnerControl != nullptr ? GetParentForm(FOwnerControl) : nullptr;
    if (!FCaptureFocus)
        Flags |= Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint;
    else if (FIsTopMost && (ownerForm == nullptr || ownerForm->FormStyle() == fsStayOnTop))
        Flags |= Qt::WindowStaysOnTopHint;
}

void TvlCustomPopupWindow::AdjustClientRect(TRect& R) const { R = FViewInfo->ClientRect; }

void TvlCustomPopupWindow::PaintWindow(HDC DC)
{
    if (FCanvas == nullptr) {
        FBaseCanvas = std::make_unique<TCanvas>();
        FCanvas = std::make_unique<TvlCanvas>(FBaseCanvas.get());
    }
    FBaseCanvas->SetHandle(DC);
    FViewInfo->Paint(FCanvas.get());
    FBaseCanvas->SetHandle(nullptr);
    PaintControls(DC);
}

void TvlCustomPopupWindow::EraseBackground(HDC DC)
{
    if (NeedsEraseBackground())
        TvlPopupWindow::EraseBackground(DC);
}

void TvlCustomPopupWindow::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (IsVisible() && HasCapture() && Key == VK_ESCAPE) {
        SetCaptureControl(nullptr);
        Key = 0;
        return;
    }
    TvlPopupWindow::KeyDown(Key, Shift);
}

void TvlCustomPopupWindow::Deactivate()
{
    // The toolkit may pass the activation on while a popup hides; only an
    // open popup has anything to give up.
    if (!IsVisible() || IsDeactivateLocked())
        return;
    const QWidget* active = QApplication::activeWindow();
    auto& list = popupState().OpenPopups;
    for (int i = int(list.size()) - 1; i >= 0; --i) {
        if (i >= int(list.size()))
            continue;
        TvlCustomPopupWindow* popup = list[size_t(i)];
        const QWidget* w = windowOf(popup);
        if (w != nullptr && w == active)
            return;
        if ((w == nullptr || w->isEnabled()) && !popup->IsDeactivateLocked())
            popup->CloseUp();
    }
    if (!list.empty())
        CloseUp();
}

void TvlCustomPopupWindow::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case VLM_CLOSEPOPUPWINDOW: {
        {
            TDeactivateLockScope locked(this);
            CloseUp();
        }
        if (windowOf(FOwnerControl) != nullptr && FOwnerControl->CanFocus())
            FOwnerControl->SetFocus();
        return;
    }
    case VLM_POPUPWINDOW:
        PopupWithFocus(FFocusedControl);
        return;
    case WM_DESTROY:
        // A window gone while open takes the popup out of the list, so
        // that it can open again.
        if (IsVisible() && !isDestroying(this))
            CloseUp();
        TvlPopupWindow::Dispatch(Message);
        return;
    case CM_MOUSEENTER:
        TvlPopupWindow::Dispatch(Message);
        MouseEnter(MouseMessageControl(Message, this));
        return;
    case CM_MOUSELEAVE:
        TvlPopupWindow::Dispatch(Message);
        MouseLeave(MouseMessageControl(Message, this));
        return;
    default:
        TvlPopupWindow::Dispatch(Message);
    }
}
