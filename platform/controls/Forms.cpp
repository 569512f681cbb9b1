#include "platform/controls/Forms.h"
#include "platform/rtl/Exception.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>
#include <QMenuBar>
#include <QScreen>
#include <QSocketNotifier>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <fcntl.h>
#include <unistd.h>

#include "platform/controls/Dialogs.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/Thread.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

Qt::CursorShape ControlsCursorShape(TCursor C);

// ------------------------------------------------------------- TCustomForm

namespace {
QIcon toolkitIcon(const TIcon* Icon)
{
    QIcon icon;
    if (Icon != nullptr)
        for (int i = 0; i < Icon->ImageCount(); ++i)
            icon.addPixmap(QPixmap::fromImage(Icon->ImageAt(i)));
    return icon;
}
}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner), FIcon(std::make_unique<TIcon>())
{
    FIcon->OnChange = TNotifyEvent(this, &TCustomForm::iconChanged);
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetColor(clBtnFace);
    TControl::SetBounds(0, 0, 320, 240);
    SetVisible(false);
    if (Screen != nullptr)
        Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm()
{
    if (OnDestroy)
        SafeCall([&] { OnDestroy(this); });
    if (Screen != nullptr)
        std::erase(Screen->FForms, this);
    if (Application != nullptr && Application->MainForm() == this)
        Application->SetMainForm(nullptr);
}

void TCustomForm::SetIcon(const TIcon* Value)
{
    FIcon->Assign(Value);
}

void TCustomForm::iconChanged(TObject*)
{
    Perform(WM_SETICON, ICON_BIG, LPARAM(FIcon->Empty() ? nullptr : FIcon.get()));
}

void TCustomForm::AfterConstruction()
{
    if (OnCreate)
        OnCreate(this);
}

std::unique_ptr<QWidget> TCustomForm::CreateWidget(QWidget*)
{
    auto w = std::make_unique<TToolkitWidget<QWidget>>(this, nullptr);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    return w;
}

void TCustomForm::SetParent(TWinControl* AParent)
{
    TWinControl::SetParent(AParent);
    if (AParent != nullptr || !HandleAllocated())
        return;
    // Back on its own: the frame returns, and leaving the parent hid it.
    applyWindowFlags();
    if (Visible())
        Widget()->show();
}

void TCustomForm::applyWindowFlags()
{
    QWidget* w = Widget();
    if (Parent() != nullptr) {
        // Docked: a child of the site's window.
        if (w->isWindow())
            w->setWindowFlags(Qt::Widget);
        return;
    }
    Qt::WindowFlags flags = Qt::Window;
    switch (FBorderStyle) {
    case bsNone: flags |= Qt::FramelessWindowHint; break;
    case bsDialog: flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
    case bsToolWindow: case bsSizeToolWin: flags = Qt::Tool; break;
    default: break;
    }
    if (FCustomFrame)
        flags |= Qt::FramelessWindowHint;
    if (FFormStyle == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    AdjustWindowFlags(flags);
    if (w->windowFlags() != flags) {
        const bool visible = w->isVisible();
        w->setWindowFlags(flags);
        if (visible)
            w->show();
    }
    if (FBorderStyle == bsSingle || FBorderStyle == bsDialog || FBorderStyle == bsToolWindow)
        w->setFixedSize(Width(), Height());
    else {
        const TSizeConstraints c = Constraints();
        w->setMinimumSize(c.MinWidth, c.MinHeight);
        w->setMaximumSize(c.MaxWidth > 0 ? c.MaxWidth : QWIDGETSIZE_MAX, c.MaxHeight > 0 ? c.MaxHeight : QWIDGETSIZE_MAX);
    }
}

void TCustomForm::UpdateWidget()
{
    if (!HandleAllocated()) {
        if (!Visible())
            return;
        HandleNeeded();  // comes back here with the widget
        return;
    }
    TWinControl::UpdateWidget();
    QWidget* w = Widget();
    w->setWindowTitle(Caption());
    if (!FIcon->Empty() && w->windowIcon().isNull())
        w->setWindowIcon(toolkitIcon(FIcon.get()));
    applyWindowFlags();
    if (Visible() && !FShown) {
        FShown = true;
        applyPosition();
        w->show();
        w->raise();
        if (FWindowState != wsNormal)
            applyWindowState();
        DoShow();
    } else if (!Visible() && FShown) {
        FWindowState = WindowState();
        FShown = false;
        w->hide();
        DoHide();
    }
}

void TCustomForm::applyPosition()
{
    if (FPositioned || Parent() != nullptr)
        return;
    FPositioned = true;
    TRect area;
    switch (FPosition) {
    case poScreenCenter: case poDesktopCenter:
        if (Screen != nullptr)
            area = Rect(0, 0, Screen->Width(), Screen->Height());
        break;
    case poMainFormCenter: case poOwnerFormCenter: {
        auto* owner = dynamic_cast<TCustomForm*>(Owner());
        if (FPosition == poMainFormCenter || owner == nullptr)
            owner = Application != nullptr ? Application->MainForm() : nullptr;
        if (owner != nullptr && owner != this)
            area = owner->BoundsRect();
        else if (Screen != nullptr)
            area = Rect(0, 0, Screen->Width(), Screen->Height());
        break;
    }
    default:
        return;
    }
    if (!area.IsEmpty())
        SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (HandleAllocated()) {
        Widget()->raise();
        Widget()->activateWindow();
    }
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || FModal)
        throw EInvalidOperation(LoadResString(FormsConsts::SCannotShowModal));
    FModalResult = mrNone;
    FModal = true;
    HandleNeeded();
    Widget()->setWindowModality(Qt::ApplicationModal);
    Show();
    const QPointer<QWidget> alive(Widget());
    while (true) {
        if (Application != nullptr)
            Application->HandleMessage();
        else
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (Application != nullptr && Application->Terminated())
            FModalResult = mrCancel;
        if (FModalResult != mrNone) {
            // The form may refuse to close; then the loop goes on.
            TCloseAction action = caHide;
            if (CloseQuery())
                DoClose(action);
            else
                action = caNone;
            if (action == caNone && !(Application != nullptr && Application->Terminated()))
                FModalResult = mrNone;
            else
                break;
        }
    }
    FModal = false;
    Hide();
    if (HandleAllocated())
        Widget()->setWindowModality(Qt::NonModal);
    return FModalResult;
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    const bool isMain = Application != nullptr && Application->MainForm() == this;
    TCloseAction action = isMain ? caFree : caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (isMain) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: if (HandleAllocated()) Widget()->showMinimized(); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release()
{
    Hide();
    PostMessage(ReceiverHandle(), CM_RELEASE, 0, 0);
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    FFormStyle = Value;
    if (HandleAllocated())
        applyWindowFlags();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    FBorderStyle = Value;
    if (HandleAllocated())
        applyWindowFlags();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    FBorderIcons = Value;
    if (HandleAllocated())
        Widget()->setWindowFlag(Qt::WindowMaximizeButtonHint, Value.Contains(biMaximize));
}

TWindowState TCustomForm::WindowState() const
{
    // A window with a frame of its own keeps its state itself: there may be
    // no window manager to ask.
    if (FShown && !FApplyingState && HandleAllocated() && !FCustomFrame) {
        const Qt::WindowStates s = const_cast<TCustomForm*>(this)->Widget()->windowState();
        return s.testFlag(Qt::WindowMinimized) ? wsMinimized : s.testFlag(Qt::WindowMaximized) ? wsMaximized : wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    const TWindowState current = WindowState();
    if (current == wsNormal)
        FNormalBounds = BoundsRect();
    else if ((FNormalBounds.IsEmpty() || FWindowState == wsNormal) && HandleAllocated()) {
        const QRect g = Widget()->normalGeometry();
        if (g.isValid())
            FNormalBounds = Bounds(g.x(), g.y(), g.width(), g.height());
    }
    if (Value == wsMinimized && current != wsMinimized)
        FStateBeforeMinimize = current;
    FWindowState = Value;
    if (FShown)
        applyWindowState();
}

void TCustomForm::applyWindowState()
{
    QWidget* w = Widget();
    if (FCustomFrame) {
        // Maximised fills the available screen; normal comes back to the
        // normal bounds. Only minimising is asked of the window system.
        FApplyingState = true;
        if (FWindowState == wsMinimized) {
            w->setWindowState(w->windowState() | Qt::WindowMinimized);
        } else {
            w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            if (!w->isVisible() && FShown)
                w->show();
        }
        FApplyingState = false;
        if (FWindowState == wsMaximized)
            SetBoundsRect(MaximizedBounds());
        else if (FWindowState == wsNormal && !FNormalBounds.IsEmpty())
            SetBoundsRect(FNormalBounds);
        return;
    }
    FApplyingState = true;
    switch (FWindowState) {
    case wsMinimized: w->setWindowState((w->windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized); break;
    case wsMaximized: w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized); break;
    case wsNormal:
        w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        if (!FNormalBounds.IsEmpty())
            SetBoundsRect(FNormalBounds);
        break;
    }
    FApplyingState = false;
}

TRect TCustomForm::NormalBounds() const
{
    if (WindowState() == wsNormal)
        return BoundsRect();
    if (FNormalBounds.IsEmpty() && HandleAllocated()) {
        const QRect g = const_cast<TCustomForm*>(this)->Widget()->normalGeometry();
        if (g.isValid())
            return Bounds(g.x(), g.y(), g.width(), g.height());
    }
    return FNormalBounds;
}

void TCustomForm::SetNormalBounds(const TRect& Value)
{
    if (WindowState() == wsNormal)
        SetBoundsRect(Value);
    else
        FNormalBounds = Value;
}

namespace {
TCustomForm* formOf(HWND Wnd) { return dynamic_cast<TCustomForm*>(FindReceiver(Wnd)); }
}  // namespace

bool GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement)
{
    TCustomForm* form = formOf(Wnd);
    if (form == nullptr || Placement == nullptr)
        return false;
    *Placement = WINDOWPLACEMENT();
    switch (form->WindowState()) {
    case wsMinimized: Placement->showCmd = SW_SHOWMINIMIZED; break;
    case wsMaximized: Placement->showCmd = SW_SHOWMAXIMIZED; break;
    default: Placement->showCmd = SW_SHOWNORMAL; break;
    }
    Placement->rcNormalPosition = form->NormalBounds();
    return true;
}

bool SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement)
{
    TCustomForm* form = formOf(Wnd);
    if (form == nullptr || Placement == nullptr)
        return false;
    form->SetNormalBounds(Placement->rcNormalPosition);
    switch (Placement->showCmd) {
    case SW_SHOWNORMAL: case SW_SHOW: case SW_RESTORE: form->SetWindowState(wsNormal); break;
    case SW_SHOWMINIMIZED: case SW_MINIMIZE: case SW_SHOWMINNOACTIVE: form->SetWindowState(wsMinimized); break;
    case SW_SHOWMAXIMIZED: form->SetWindowState(wsMaximized); break;
    default: break;
    }
    return true;
}

bool IsIconic(HWND Wnd)
{
    TCustomForm* form = formOf(Wnd);
    return form != nullptr && form->WindowState() == wsMinimized;
}

void TCustomForm::SetMenu(TMainMenu* Value)
{
    FMenu = Value;
    if (Value != nullptr)
        Value->AttachTo(this);
    Realign();
}

bool TCustomForm::MenuKey(uint16_t Key, TShiftState Shift, LPARAM KeyData, bool Down)
{
    if (!Down) {
        const bool alone = Key == VK_MENU && FAltAlone;
        FAltAlone = false;
        if (alone)
            Perform(WM_SYSCOMMAND, SC_KEYMENU, 0);
        return alone;
    }
    FAltAlone = Key == VK_MENU;
    if (Key == VK_F1 + 9 && Shift.Empty()) {
        Perform(WM_SYSCOMMAND, SC_KEYMENU, 0);
        return true;
    }
    if (Key == VK_SPACE && Shift == TShiftState{ssAlt}) {
        Perform(WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return true;
    }
    const bool character = (Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z');
    if (character && Shift == TShiftState{ssAlt})
        return Perform(CM_DIALOGCHAR, QChar(char16_t(Key)).toLower().unicode(), KeyData) != 0;
    return false;
}

void TCustomForm::selectNextTabStop(bool GoForward)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const size_t n = list.size();
    if (n == 0)
        return;
    // From the focused control (or the active one), wrapping around.
    auto current = std::find_if(list.begin(), list.end(), [](const TWinControl* c) { return c->Focused(); });
    if (current == list.end())
        current = std::find(list.begin(), list.end(), FActiveControl);
    const size_t start = current != list.end() ? size_t(current - list.begin()) : GoForward ? n - 1 : 0;
    for (size_t step = 1; step <= n; ++step) {
        TWinControl* c = list[GoForward ? (start + step) % n : (start + n - step) % n];
        if (c->TabStop() && c->CanFocus()) {
            SetActiveControl(c);
            return;
        }
    }
}

void TCustomForm::SetActiveControl(TWinControl* Value)
{
    FActiveControl = Value;
    if (Value != nullptr && Visible() && Value->CanFocus())
        Value->SetFocus();
}

void TCustomForm::AdjustClientRect(TRect& R) const
{
    // The menu bar sits at the top of the window and the aligned controls below it.
    if (FMenu != nullptr)
        R.Top += FMenu->BarHeight();
}

// ---- the frame drawn by the program

namespace {

bool isSizingHit(LRESULT Hit)
{
    return Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT;
}

bool hitsLeft(LRESULT Hit) { return Hit == HTLEFT || Hit == HTTOPLEFT || Hit == HTBOTTOMLEFT; }
bool hitsRight(LRESULT Hit) { return Hit == HTRIGHT || Hit == HTTOPRIGHT || Hit == HTBOTTOMRIGHT; }
bool hitsTop(LRESULT Hit) { return Hit == HTTOP || Hit == HTTOPLEFT || Hit == HTTOPRIGHT; }
bool hitsBottom(LRESULT Hit) { return Hit == HTBOTTOM || Hit == HTBOTTOMLEFT || Hit == HTBOTTOMRIGHT; }

// A size within Min..Max (0: no limit) and never below Floor.
int fitSize(int Size, int Min, int Max, int Floor)
{
    if (Max > 0)
        Size = std::min(Size, Max);
    return std::max({Size, Min, Floor});
}

}  // namespace

bool TCustomForm::sizeable() const
{
    return (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) && WindowState() == wsNormal;
}

TRect TCustomForm::NonClientMargins() const
{
    return FCustomFrame ? FNCMargins : TRect{0, 0, 0, 0};
}

TRect TCustomForm::ClientRect() const
{
    const TRect m = NonClientMargins();
    return Rect(0, 0, std::max(0, Width() - m.Left - m.Right), std::max(0, Height() - m.Top - m.Bottom));
}

void TCustomForm::recalcNonClient()
{
    FNCMargins = TRect{0, 0, 0, 0};
    if (!FCustomFrame)
        return;
    const TRect b = BoundsRect();
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = params.rgrc[1] = params.rgrc[2] = b;
    Perform(WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
    const TRect c = params.rgrc[0];
    FNCMargins = TRect{std::max(0, c.Left - b.Left), std::max(0, c.Top - b.Top), std::max(0, b.Right - c.Right),
                       std::max(0, b.Bottom - c.Bottom)};
}

void TCustomForm::SetCustomFrame(bool Value)
{
    if (FCustomFrame == Value)
        return;
    const TRect client = ClientRect();
    QPointer<QWidget> focus;
    bool active = false;
    if (HandleAllocated()) {
        QWidget* f = QApplication::focusWidget();
        if (f != nullptr && f->window() == Widget())
            focus = f;
        active = Widget()->isActiveWindow();
    }
    FCustomFrame = Value;
    recalcNonClient();
    if (!Value)
        FWindowRegion = QRegion();
    if (HandleAllocated()) {
        // New window flags make a new native window, hidden: it comes back
        // at the form's place.
        applyWindowFlags();
        QWidget* w = Widget();
        if (FWindowRegion.isEmpty())
            w->clearMask();
        else
            w->setMask(FWindowRegion);
        w->setGeometry(Left(), Top(), Width(), Height());
    }
    // The client area keeps its size; the window grows or shrinks by the frame.
    const TRect m = NonClientMargins();
    if (WindowState() == wsNormal)
        SetBounds(Left(), Top(), client.Width() + m.Left + m.Right, client.Height() + m.Top + m.Bottom);
    if (HandleAllocated()) {
        PlaceChildWidgets();
        Invalidate();
        // The new native window takes the activation and the focus back once
        // the window system has shown it.
        if (FShown && active) {
            const QPointer<QWidget> window(Widget());
            QMetaObject::invokeMethod(
                window,
                [window, focus] {
                    if (!window || !window->isVisible())
                        return;
                    window->activateWindow();
                    if (focus)
                        focus->setFocus(Qt::OtherFocusReason);
                },
                Qt::QueuedConnection);
        }
    }
    Realign();
}

void TCustomForm::FrameChanged()
{
    recalcNonClient();
    if (WindowState() == wsMaximized && FCustomFrame)
        SetBoundsRect(MaximizedBounds());
    if (HandleAllocated()) {
        PlaceChildWidgets();
        Invalidate();
    }
    Realign();
}

void TCustomForm::SetWindowRegion(const TRegion* Region)
{
    FWindowRegion = Region != nullptr ? Region->Region() : QRegion();
    if (!HandleAllocated())
        return;
    if (FWindowRegion.isEmpty())
        Widget()->clearMask();
    else
        Widget()->setMask(FWindowRegion);
}

TRect TCustomForm::MaximizedBounds() const
{
    const QScreen* screen = HandleAllocated() ? const_cast<TCustomForm*>(this)->Widget()->screen() : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return BoundsRect();
    const QRect r = screen->availableGeometry();
    return Bounds(r.x(), r.y(), r.width(), r.height());
}

LRESULT TCustomForm::defaultHitTest(TPoint ScreenPos) const
{
    if (!HandleAllocated())
        return HTNOWHERE;
    const QPoint origin = const_cast<TCustomForm*>(this)->Widget()->mapToGlobal(QPoint(0, 0));
    const int x = ScreenPos.X - origin.x(), y = ScreenPos.Y - origin.y();
    const int w = Width(), h = Height();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return HTNOWHERE;
    const TRect m = NonClientMargins();
    if (x >= m.Left && x < w - m.Right && y >= m.Top && y < h - m.Bottom)
        return HTCLIENT;
    if (sizeable()) {
        // The top edge is a thin strip above the caption; corners reach
        // along both edges.
        constexpr int corner = 16;
        const int topEdge = std::min<int>(m.Top, 4);
        const bool left = x < m.Left, right = x >= w - m.Right, top = y < topEdge, bottom = y >= h - m.Bottom;
        if (top || bottom) {
            if (x < corner)
                return top ? HTTOPLEFT : HTBOTTOMLEFT;
            if (x >= w - corner)
                return top ? HTTOPRIGHT : HTBOTTOMRIGHT;
            return top ? HTTOP : HTBOTTOM;
        }
        if (left || right) {
            if (y < corner)
                return left ? HTTOPLEFT : HTTOPRIGHT;
            if (y >= h - corner)
                return left ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
            return left ? HTLEFT : HTRIGHT;
        }
    }
    return y < m.Top ? HTCAPTION : HTBORDER;
}

bool TCustomForm::NonClientMouse(QEvent* E)
{
    auto* m = static_cast<QMouseEvent*>(E);
    const TPoint g{int(m->globalPosition().x()), int(m->globalPosition().y())};
    const QEvent::Type type = E->type();
    if (MovingOrSizing()) {
        if (type == QEvent::MouseMove) {
            if (m->buttons().testFlag(Qt::LeftButton))
                dragTo(g);
            else
                endDrag();
        } else if (type == QEvent::MouseButtonRelease && m->button() == Qt::LeftButton) {
            dragTo(g);
            endDrag();
        }
        return true;
    }
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    // A minimised window the pointer can reach is not minimised any more
    // (without a window manager nothing hides it).
    if (press && FCustomFrame && FWindowState == wsMinimized)
        SetWindowState(FStateBeforeMinimize);
    if (!FCustomFrame) {
        // A window without any frame moves or sizes by what its hit test says.
        if (FBorderStyle != bsNone || type != QEvent::MouseButtonPress || m->button() != Qt::LeftButton)
            return false;
        const LRESULT hit = Perform(WM_NCHITTEST, 0, MakeLParam(g.X, g.Y));
        if (hit != HTCAPTION && !isSizingHit(hit))
            return false;
        StartMoveSize(hit, g);
        return true;
    }
    const QPoint local = m->position().toPoint();
    const TRect mg = FNCMargins;
    if (local.x() >= mg.Left && local.x() < Width() - mg.Right && local.y() >= mg.Top
        && local.y() < Height() - mg.Bottom)
        return false;
    const LRESULT hit = Perform(WM_NCHITTEST, 0, MakeLParam(g.X, g.Y));
    if (hit == HTCLIENT)
        return false;
    const bool left = m->button() == Qt::LeftButton, right = m->button() == Qt::RightButton;
    UINT msg = WM_NCMOUSEMOVE;
    switch (type) {
    case QEvent::MouseMove: break;
    case QEvent::MouseButtonPress: msg = left ? WM_NCLBUTTONDOWN : right ? WM_NCRBUTTONDOWN : WM_NULL; break;
    case QEvent::MouseButtonRelease: msg = left ? WM_NCLBUTTONUP : right ? WM_NCRBUTTONUP : WM_NULL; break;
    case QEvent::MouseButtonDblClick: msg = left ? WM_NCLBUTTONDBLCLK : WM_NULL; break;
    default: return false;
    }
    if (msg == WM_NULL)
        return true;  // other buttons on the frame do nothing
    Perform(msg, WPARAM(hit), MakeLParam(g.X, g.Y));
    return true;
}

void TCustomForm::StartMoveSize(LRESULT Hit, TPoint Start)
{
    if (!HandleAllocated() || (Hit != HTCAPTION && !isSizingHit(Hit)))
        return;
    if (QWindow* window = Widget()->windowHandle()) {
        Qt::Edges edges;
        if (hitsLeft(Hit)) edges |= Qt::LeftEdge;
        if (hitsRight(Hit)) edges |= Qt::RightEdge;
        if (hitsTop(Hit)) edges |= Qt::TopEdge;
        if (hitsBottom(Hit)) edges |= Qt::BottomEdge;
        if (Hit == HTCAPTION ? window->startSystemMove() : window->startSystemResize(edges))
            return;
    }
    // No window manager does it: the form follows the pointer itself.
    FDrag = TDrag{Hit, Start, BoundsRect()};
    Widget()->grabMouse();
}

void TCustomForm::dragTo(TPoint Pos)
{
    const int dx = Pos.X - FDrag.Start.X, dy = Pos.Y - FDrag.Start.Y;
    const TRect b = FDrag.Bounds;
    if (FDrag.Hit == HTCAPTION) {
        SetBounds(b.Left + dx, b.Top + dy, b.Width(), b.Height());
        return;
    }
    const TSizeConstraints c = Constraints();
    const TRect m = NonClientMargins();
    int left = b.Left, top = b.Top, right = b.Right, bottom = b.Bottom;
    if (hitsLeft(FDrag.Hit)) left += dx;
    if (hitsRight(FDrag.Hit)) right += dx;
    if (hitsTop(FDrag.Hit)) top += dy;
    if (hitsBottom(FDrag.Hit)) bottom += dy;
    const int w = fitSize(right - left, c.MinWidth, c.MaxWidth, m.Left + m.Right + 1);
    const int h = fitSize(bottom - top, c.MinHeight, c.MaxHeight, m.Top + m.Bottom + 1);
    // The edge held stays where it is; the one dragged gives way to the limits.
    if (hitsLeft(FDrag.Hit))
        left = right - w;
    if (hitsTop(FDrag.Hit))
        top = bottom - h;
    SetBounds(left, top, w, h);
}

void TCustomForm::endDrag()
{
    FDrag = TDrag{};
    if (HandleAllocated())
        Widget()->releaseMouse();
}

std::vector<TSystemMenuItem> TCustomForm::SystemMenu() const
{
    constexpr UINT off = MF_GRAYED | MF_DISABLED;
    const TWindowState state = WindowState();
    const bool resizable = FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin;
    auto item = [](WPARAM Command, const char* Text, bool Enabled) {
        return TSystemMenuItem{Command, String::fromLatin1(Text), Enabled ? UINT(MF_ENABLED) : off};
    };
    std::vector<TSystemMenuItem> items;
    if (FBorderStyle == bsDialog) {
        items.push_back(item(SC_MOVE, "&Move", state != wsMaximized));
    } else {
        items.push_back(item(SC_RESTORE, "&Restore", state != wsNormal));
        items.push_back(item(SC_MOVE, "&Move", state != wsMaximized));
        items.push_back(item(SC_SIZE, "&Size", resizable && state == wsNormal));
        if (FBorderIcons.Contains(biMinimize))
            items.push_back(item(SC_MINIMIZE, "Mi&nimize", state != wsMinimized));
        if (FBorderIcons.Contains(biMaximize))
            items.push_back(item(SC_MAXIMIZE, "Ma&ximize", state != wsMaximized));
    }
    items.push_back(TSystemMenuItem{});
    items.push_back(item(SC_CLOSE, "&Close\tAlt+F4", true));
    return items;
}

void TCustomForm::BoundsChanged(bool Moved, bool Resized)
{
    // A form of fixed size keeps the size the program gives it.
    if (Resized && HandleAllocated()
        && (FBorderStyle == bsSingle || FBorderStyle == bsDialog || FBorderStyle == bsToolWindow))
        Widget()->setFixedSize(Width(), Height());
    TWinControl::BoundsChanged(Moved, Resized);
}

void TCustomForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        break;
    case CM_RELEASE:
        if (Owner() != nullptr)
            delete this;  // the owner's list forgets it on the way
        break;
    case WM_NEXTDLGCTL:
        if (Message.LParam == 0)
            selectNextTabStop(Message.WParam == 0);
        break;
    case WM_NCHITTEST:
        Message.Result = defaultHitTest(PointFromLParam(Message.LParam));
        break;
    case WM_NCCALCSIZE: case WM_NCPAINT:
        // No frame of the form's own: the client area is the whole window.
        Message.Result = 0;
        break;
    case WM_NCACTIVATE:
        if (FCustomFrame && HandleAllocated())
            Invalidate();
        Message.Result = 1;
        break;
    case WM_ACTIVATE:
        if (FCustomFrame && LoWord(Message.WParam) != WA_INACTIVE && FWindowState == wsMinimized)
            SetWindowState(FStateBeforeMinimize);
        TWinControl::Dispatch(Message);
        break;
    case WM_NCLBUTTONDOWN: {
        const auto hit = LRESULT(Message.WParam);
        if ((hit == HTCAPTION && WindowState() == wsNormal) || (isSizingHit(hit) && sizeable()))
            StartMoveSize(hit, PointFromLParam(Message.LParam));
        break;
    }
    case WM_NCLBUTTONDBLCLK:
        if (LRESULT(Message.WParam) == HTCAPTION && FBorderIcons.Contains(biMaximize)
            && (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin))
            SetWindowState(WindowState() == wsNormal ? wsMaximized : wsNormal);
        break;
    case WM_SETICON:
        if (HandleAllocated())
            Widget()->setWindowIcon(toolkitIcon(reinterpret_cast<const TIcon*>(Message.LParam)));
        break;
    case WM_GETICON: {
        const TIcon* icon = FIcon.get();
        if (icon->Empty() && Application != nullptr)
            icon = Application->Icon();
        Message.Result = icon != nullptr && !icon->Empty() ? LRESULT(icon) : 0;
        break;
    }
    case WM_SYSCOMMAND:
        switch (Message.WParam & 0xFFF0) {
        case SC_MINIMIZE: SetWindowState(wsMinimized); break;
        case SC_MAXIMIZE: SetWindowState(wsMaximized); break;
        case SC_RESTORE: SetWindowState(wsNormal); break;
        case SC_CLOSE: Close(); break;
        case SC_MOVE:
            if (WindowState() == wsNormal) {
                const QPoint p = QCursor::pos();
                StartMoveSize(HTCAPTION, TPoint{p.x(), p.y()});
            }
            break;
        case SC_SIZE: {
            // The low digits name the edge: 1 left, 2 right, 3 top, 4 and 5
            // its corners, 6 bottom, 7 and 8 its corners.
            static constexpr LRESULT edges[] = {HTBOTTOMRIGHT, HTLEFT, HTRIGHT, HTTOP, HTTOPLEFT,
                                                HTTOPRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTBOTTOMRIGHT};
            const WPARAM edge = Message.WParam & 0xF;
            if (sizeable()) {
                const QPoint p = QCursor::pos();
                StartMoveSize(edges[edge <= 8 ? edge : 0], TPoint{p.x(), p.y()});
            }
            break;
        }
        default: break;
        }
        break;
    default:
        TWinControl::Dispatch(Message);
        break;
    }
}

// ------------------------------------------------------------ TApplication

namespace {
char programName[] = "vorlane";
}

TApplication::TApplication(TComponent* AOwner)
    : TComponent(AOwner), FIcon(std::make_unique<TIcon>()), FHintTimer(std::make_unique<QTimer>())
{
    FHintTimer->setSingleShot(true);
    QObject::connect(FHintTimer.get(), &QTimer::timeout, [this] { SafeCall([this] { hintTimerExpired(); }); });
    FIcon->OnChange = TNotifyEvent::FromFunction([this](TObject*) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
            QApplication::setWindowIcon(toolkitIcon(FIcon.get()));
    });
    FArgv[0] = programName;
    Application = this;
    Screen = new TScreen(this);  // owned by the application
    SetApplicationExceptionHandler([this](const Exception& E) { exceptionReached(E); });
    SetWakeMainThread([] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { SafeCall([] { CheckSynchronize(); }); }, Qt::QueuedConnection);
    });
    // Every form hears of changed system colours, as top-level windows did.
    SetSysColorsChangedHandler([] {
        if (Screen == nullptr)
            return;
        for (int i = 0; i < Screen->FormCount(); ++i)
            PostMessage(Screen->Forms(i)->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    });
}

TApplication::~TApplication()
{
    FHintTimer->stop();
    FHintControl = nullptr;
    SetWakeMainThread({});
    SetSysColorsChangedHandler({});
    SetApplicationExceptionHandler({});
    DestroyComponents();  // forms first, while Application is still reachable
    Screen = nullptr;
    Application = nullptr;
}

void TApplication::Initialize()
{
    Initialize(FArgc, FArgv);
}

void TApplication::Initialize(int& Argc, char** Argv)
{
    if (QCoreApplication::instance() != nullptr)
        return;
    // Pixels are pixels: no scaling by the screen's DPI.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    FOwnQtApp = std::make_unique<QApplication>(Argc, Argv);
}

void TApplication::SetTitle(const String& Value)
{
    // Kept here only: the toolkit appends a display name to every window
    // title, and a form's title is exactly its caption.
    FTitle = Value;
}

namespace {

// The write end of the pipe that carries termination signals into the event
// loop; a signal handler may do no more than write to it.
int signalPipeWrite = -1;

void terminationSignalHandler(int)
{
    const int saved = errno;
    const char byte = 1;
    if (signalPipeWrite >= 0)
        (void)!write(signalPipeWrite, &byte, 1);
    errno = saved;
}

// While the program runs, SIGTERM, SIGINT and SIGHUP end it as the desktop
// logging out does: through the main form's close, so settings are stored.
class TTerminationSignals {
public:
    explicit TTerminationSignals(std::function<void()> OnSignal)
    {
        if (signalPipeWrite >= 0 || pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;  // an outer loop already listens
        signalPipeWrite = FPipe[1];
        FNotifier = std::make_unique<QSocketNotifier>(FPipe[0], QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this, OnSignal] {
            char buffer[16];
            while (read(FPipe[0], buffer, sizeof buffer) > 0) {
            }
            SafeCall(OnSignal);
        });
        struct sigaction action {};
        action.sa_handler = terminationSignalHandler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (size_t i = 0; i < std::size(handled); ++i)
            sigaction(handled[i], &action, &FSaved[i]);
        FInstalled = true;
    }
    ~TTerminationSignals()
    {
        if (FInstalled)
            for (size_t i = 0; i < std::size(handled); ++i)
                sigaction(handled[i], &FSaved[i], nullptr);
        FNotifier.reset();
        if (FPipe[0] >= 0) {
            signalPipeWrite = -1;
            close(FPipe[0]);
            close(FPipe[1]);
        }
    }
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

private:
    static constexpr int handled[] = {SIGTERM, SIGINT, SIGHUP};
    int FPipe[2] = {-1, -1};
    struct sigaction FSaved[std::size(handled)] {};
    bool FInstalled = false;
    std::unique_ptr<QSocketNotifier> FNotifier;
};

}  // namespace

void TApplication::Run()
{
    const TTerminationSignals termination([this] { sessionEnding(); });
    if (FMainForm != nullptr && !FTerminated)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
}

void TApplication::sessionEnding()
{
    // The main form closes as when the user closes it (close query, close
    // handlers, stored settings); the program ends even if it refuses.
    if (FMainForm != nullptr)
        FMainForm->Close();
    Terminate();
}

void TApplication::Terminate()
{
    FTerminated = true;
    // Wakes a loop waiting for events.
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [] {}, Qt::QueuedConnection);
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    SafeCall([] { CheckSynchronize(); });
}

void TApplication::HandleMessage()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    SafeCall([] { CheckSynchronize(); });
}

void TApplication::HandleException(TObject*)
{
    HandleCurrentException();
}

void TApplication::exceptionReached(const Exception& E)
{
    // The silent exception ends an operation without a word.
    if (dynamic_cast<const EAbort*>(&E) != nullptr)
        return;
    if (OnException) {
        OnException(this, E);
        return;
    }
    ShowException(E);
}

void TApplication::ShowException(const Exception& E)
{
    if (FShowingException)
        return;  // an exception while one is shown is not shown again
    FShowingException = true;
    SafeCall([&] {
        String text = E.Message();
        if (!text.isEmpty() && !text.endsWith(QChar('.')))
            text += QChar('.');
        DialogService()->MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
    });
    FShowingException = false;
}

void TApplication::SetIcon(const TIcon* Value)
{
    FIcon->Assign(Value);
}

// ------------------------------------------------------------------ hints

String GetShortHint(const String& Hint)
{
    const qsizetype bar = Hint.indexOf(u'|');
    return bar < 0 ? Hint : Hint.left(bar);
}

String GetLongHint(const String& Hint)
{
    const qsizetype bar = Hint.indexOf(u'|');
    return bar < 0 ? Hint : Hint.mid(bar + 1);
}

namespace {

// A control shows hints when it or a parent has ShowHint set (children
// follow their parent's setting, as they do by default).
bool showsHint(const TControl* Control)
{
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (c->ShowHint())
            return true;
    return false;
}

// The control's hint, or the nearest parent's when its own is empty.
String hintOf(const TControl* Control)
{
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (!c->Hint().isEmpty())
            return c->Hint();
    return String();
}

// The pointer's height below its hot spot: hints show under the arrow.
constexpr int cursorHeight = 20;

}  // namespace

void TApplication::SetShowHint(bool Value)
{
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    if (!Value) {
        CancelHint();
        FHintWindow.reset();
    }
}

void TApplication::setHintControl(TControl* Control)
{
    if (FHintControl == Control)
        return;
    if (FHintControl != nullptr)
        FHintControl->RemoveFreeNotification(this);
    FHintControl = Control;
    if (Control != nullptr)
        Control->FreeNotification(this);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FHintControl) {
        FHintControl = nullptr;
        FHintTimer->stop();
        FHintTimerKind = htNone;
        HideHint();
        FHintActive = false;
    }
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message)
{
    if (!FShowHint || Control == nullptr)
        return;
    if (Message.Msg != WM_MOUSEMOVE) {
        // A click ends the hint; it shows again only after the pointer left.
        if (FHintControl != nullptr) {
            FHintTimer->stop();
            FHintTimerKind = htNone;
            HideHint();
            FHintActive = false;
            FHintCursorRect = Control == FHintControl ? Control->ClientRect() : TRect();
        }
        return;
    }
    const TPoint p = PointFromLParam(Message.LParam);
    FHintMousePos = Control->ClientToScreen(p);
    if (!showsHint(Control) || Control->ComponentState().Contains(csDesigning)) {
        CancelHint();
        return;
    }
    if (Control == FHintControl && FHintCursorRect.Contains(p))
        return;
    const bool wasActive = FHintActive;
    CancelHint();
    FHintActive = wasActive;
    setHintControl(Control);
    FHintCursorRect = Control->ClientRect();
    startHintTimer(wasActive ? FHintShortPause : FHintPause, htShow);
}

void TApplication::startHintTimer(int Milliseconds, THintTimer Kind)
{
    FHintTimerKind = Kind;
    FHintTimer->start(std::max(0, Milliseconds));
}

void TApplication::hintTimerExpired()
{
    const THintTimer kind = FHintTimerKind;
    FHintTimerKind = htNone;
    switch (kind) {
    case htShow: case htReshow: ActivateHint(FHintMousePos); break;
    case htHide: HideHint(); FHintActive = false; break;
    default: break;
    }
}

void TApplication::ActivateHint(TPoint CursorPos)
{
    if (FHintControl == nullptr || !FShowHint)
        return;
    FHintMousePos = CursorPos;
    THintInfo info;
    info.HintControl = FHintControl;
    info.HintPos = TPoint{CursorPos.X, CursorPos.Y + cursorHeight};
    info.HintMaxWidth = Screen != nullptr ? Screen->Width() : 1024;
    info.HintColor = FHintColor;
    info.CursorRect = FHintControl->ClientRect();
    info.CursorPos = FHintControl->ScreenToClient(CursorPos);
    info.HideTimeout = FHintHidePause;
    info.HintStr = GetShortHint(hintOf(FHintControl));
    bool canShow = FHintControl->Perform(CM_HINTSHOW, 0, LPARAM(&info)) == 0;
    if (canShow && OnShowHint)
        OnShowHint(info.HintStr, canShow, info);
    if (FHintControl == nullptr)
        return;  // the control went away while asked
    FHintCursorRect = info.CursorRect;
    FHintActive = canShow && !info.HintStr.isEmpty();
    if (!FHintActive) {
        HideHint();
        return;
    }
    if (!FHintWindow)
        FHintWindow = std::make_unique<THintWindow>(nullptr);
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.ReshowTimeout > 0)
        startHintTimer(info.ReshowTimeout, htReshow);
    else if (info.HideTimeout > 0)
        startHintTimer(info.HideTimeout, htHide);
}

void TApplication::CancelHint()
{
    if (FHintControl == nullptr && !FHintActive)
        return;
    HideHint();
    FHintTimer->stop();
    FHintTimerKind = htNone;
    setHintControl(nullptr);
    FHintActive = false;
    FHintCursorRect = TRect();
}

void TApplication::HideHint()
{
    if (FHintWindow && FHintWindow->HandleAllocated())
        FHintWindow->ReleaseHandle();
}

// -------------------------------------------------------------- THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetVisible(false);
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
}

THintWindow::~THintWindow() = default;

std::unique_ptr<QWidget> THintWindow::CreateWidget(QWidget*)
{
    auto w = std::make_unique<TToolkitWidget<QWidget>>(this, nullptr);
    w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    return w;
}

void THintWindow::UpdateWidget()
{
    TCustomControl::UpdateWidget();
    if (HandleAllocated())
        Widget()->setVisible(Visible());
}

namespace {
constexpr uint32_t hintTextFlags = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*)
{
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas()->Font()->Assign(Font());
    TRect r = Rect(0, 0, std::max(1, MaxWidth), 0);
    measure.Canvas()->TextRect(r, AHint, hintTextFlags | DT_CALCRECT);
    // Text margins plus the one-pixel border on each side.
    r.Right += 6 + 2;
    r.Bottom += 2 + 2;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint)
{
    SetCaption(AHint);
    if (Screen != nullptr) {
        const int w = Rect.Width(), h = Rect.Height();
        const int right = Screen->DesktopLeft() + Screen->DesktopWidth();
        const int bottom = Screen->DesktopTop() + Screen->DesktopHeight();
        if (Rect.Right > right)
            OffsetRect(Rect, right - Rect.Right, 0);
        if (Rect.Bottom > bottom)
            OffsetRect(Rect, 0, bottom - Rect.Bottom);
        if (Rect.Left < Screen->DesktopLeft())
            OffsetRect(Rect, Screen->DesktopLeft() - Rect.Left, 0);
        if (Rect.Top < Screen->DesktopTop())
            OffsetRect(Rect, 0, Screen->DesktopTop() - Rect.Top);
        Rect.Right = Rect.Left + w;
        Rect.Bottom = Rect.Top + h;
    }
    SetBoundsRect(Rect);
    SetVisible(true);
    Widget()->raise();
    Invalidate();
}

void THintWindow::ActivateHintData(const TRect& Rect, const String& AHint, void*)
{
    ActivateHint(Rect, AHint);
}

void THintWindow::ReleaseHandle()
{
    SetVisible(false);
    DestroyWidget();
}

void THintWindow::Paint()
{
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    canvas->Brush()->SetColor(clWindowFrame);
    canvas->FrameRect(r);
    r.Left += 3;
    r.Top += 2;
    r.Right -= 1;
    r.Bottom -= 1;
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextRect(r, Caption(), hintTextFlags);
}

IDialogService* TApplication::DialogService() const
{
    if (FDialogService != nullptr)
        return FDialogService;
    if (!FDefaultDialogs)
        const_cast<TApplication*>(this)->FDefaultDialogs = CreateDefaultDialogService();
    return FDefaultDialogs.get();
}

// ----------------------------------------------------------------- TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

int TScreen::Width() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().width() : 0;
}

int TScreen::Height() const
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().height() : 0;
}

namespace {
QRect desktopRect()
{
    QRect r;
    for (const QScreen* s : QGuiApplication::screens())
        r = r.united(s->geometry());
    return r;
}
}  // namespace

int TScreen::DesktopLeft() const { return desktopRect().x(); }
int TScreen::DesktopTop() const { return desktopRect().y(); }
int TScreen::DesktopWidth() const { return desktopRect().width(); }
int TScreen::DesktopHeight() const { return desktopRect().height(); }

int TScreen::MonitorIndexFromPoint(TPoint P) const
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i]->geometry().contains(P.X, P.Y))
            return i;
    return -1;
}

TRect GetMonitorWorkArea(TPoint P)
{
    const QScreen* nearest = nullptr;
    qint64 best = -1;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const qint64 dx = P.X < g.left() ? g.left() - P.X : P.X > g.right() ? P.X - g.right() : 0;
        const qint64 dy = P.Y < g.top() ? g.top() - P.Y : P.Y > g.bottom() ? P.Y - g.bottom() : 0;
        if (const qint64 d = dx * dx + dy * dy; best < 0 || d < best) {
            best = d;
            nearest = s;
        }
    }
    if (nearest == nullptr)
        nearest = QGuiApplication::primaryScreen();
    if (nearest == nullptr)
        return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const QRect a = nearest->availableGeometry();
    return Rect(a.left(), a.top(), a.left() + a.width(), a.top() + a.height());
}

void TScreen::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    if (FCursor != crDefault)
        QGuiApplication::restoreOverrideCursor();
    FCursor = Value;
    if (Value != crDefault)
        QGuiApplication::setOverrideCursor(ScreenCursor(Value));
}
