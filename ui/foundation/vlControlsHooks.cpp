// vlControlsHooks.cpp - the control's popup menu, its redrawing on request
// and the hooks that follow its property notifications.
#include "ui/foundation/vlControls.h"

// ------------------------------------------------------------- popup menu

void TvlControl::SetPopupMenu(TComponent* Value)
{
    if (dynamic_cast<TPopupMenu*>(Value) == nullptr && dynamic_cast<IvlPopupMenuSupport*>(Value) == nullptr)
        Value = nullptr;
    if (Value == FPopupMenu)
        return;
    if (FPopupMenu != nullptr)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (FPopupMenu != nullptr)
        FPopupMenu->FreeNotification(this);
}

TPopupMenu* TvlControl::GetPopupMenu() const { return dynamic_cast<TPopupMenu*>(FPopupMenu); }

void TvlControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

bool TvlControl::DoShowPopupMenu(TComponent* AMenu, int X, int Y) { return ShowPopupMenu(this, AMenu, X, Y); }

void TvlControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    if (Handled)
        return;
    // A request from the keyboard opens the menu at the client origin.
    const TPoint p = MousePos.X == -1 && MousePos.Y == -1 ? TPoint{0, 0} : MousePos;
    const TPoint screen = ClientToScreen(p);
    Handled = DoShowPopupMenu(FPopupMenu, screen.X, screen.Y);
}

// The control, then each TvlControl among its parents, offers the key to its
// menu; the first menu that runs it ends the search.
bool TvlControl::isPopupMenuShortCut(TMessage& Message)
{
    if (IsDesigning())
        return false;
    for (TWinControl* c = this; c != nullptr; c = c->Parent())
        if (auto* control = dynamic_cast<TvlControl*>(c); control != nullptr && IsPopupMenuShortCut(control->FPopupMenu, Message))
            return true;
    return false;
}

// ------------------------------------------------------------ invalidation

void TvlControl::InvalidateControl(TWinControl* AControl, bool NeedInvalidateSelf, bool NeedInvalidateChildren)
{
    if (AControl == nullptr || !AControl->HandleAllocated())
        return;
    if (AControl->Parent() != nullptr)
        AControl->Parent()->Perform(CM_INVALIDATE, 1, 0);
    if (!NeedInvalidateSelf)
        return;
    ::InvalidateRect(AControl->Handle(), nullptr, !AControl->ControlStyle().Contains(csOpaque));
    if (!NeedInvalidateChildren)
        return;
    for (int i = 0; i < AControl->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i));
        if (child == nullptr || !child->HandleAllocated())
            continue;
        const TControlStyle style = child->ControlStyle();
        if (!style.Contains(csOpaque) || style.Contains(csParentBackground))
            ::InvalidateRect(child->Handle(), nullptr, true);
    }
}

// ------------------------------------------------------------------ hooks

void TvlControl::MouseEnter(TControl*)
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TvlControl::MouseLeave(TControl*)
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool TvlControl::dispatchHooks(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_COLORCHANGED:
        ColorChanged();
        TCustomControl::Dispatch(Message);
        return true;
    case CM_CURSORCHANGED:
        CursorChanged();
        TCustomControl::Dispatch(Message);
        return true;
    case CM_TEXTCHANGED:
        TCustomControl::Dispatch(Message);
        TextChanged();
        return true;
    case CM_VISIBLECHANGED:
        TCustomControl::Dispatch(Message);
        VisibleChanged();
        return true;
    case CM_MOUSEENTER: case CM_MOUSELEAVE: {
        TCustomControl::Dispatch(Message);
        auto* control = Message.LParam != 0 ? reinterpret_cast<TControl*>(Message.LParam) : this;
        if (Message.Msg == CM_MOUSEENTER)
            MouseEnter(control);
        else
            MouseLeave(control);
        return true;
    }
    case CM_INVALIDATE:
        if (HandleAllocated() && !ComponentState().Contains(csDestroying))
            InvalidateControl(this, Message.WParam == 0, NeedsRedrawOnResize());
        return true;
    case CN_KEYDOWN: case CN_SYSKEYDOWN:
        if (isPopupMenuShortCut(Message)) {
            Message.Result = 1;
            return true;
        }
        return false;
    case WM_CONTEXTMENU: {
        const TPoint screen = PointFromLParam(Message.LParam);
        const bool keyboard = screen.X == -1 && screen.Y == -1;
        bool handled = false;
        DoContextPopup(keyboard ? screen : ScreenToClient(screen), handled);
        if (handled) {
            Message.Result = 1;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}
