#include "platform/controls/Controls.h"

#include <QApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>

#include "platform/controls/ActnList.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/ToolkitWidget.h"
#include "platform/graphics/Graphics.h"

namespace {

struct TVkMap {
    int Qt;
    uint16_t Vk;
};
const TVkMap vkMap[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB}, {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU}, {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_End, VK_END}, {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT}, {Qt::Key_Up, VK_UP}, {Qt::Key_Right, VK_RIGHT}, {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Print, VK_SNAPSHOT}, {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP}, {Qt::Key_NumLock, VK_NUMLOCK}, {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD}, {Qt::Key_Minus, VK_SUBTRACT},
    {Qt::Key_Slash, VK_DIVIDE},
};

int virtualKeyToQtKey(uint16_t Vk)
{
    if ((Vk >= '0' && Vk <= '9') || (Vk >= 'A' && Vk <= 'Z'))
        return Vk;
    if (Vk >= VK_F1 && Vk <= VK_F12)
        return Qt::Key_F1 + (Vk - VK_F1);
    for (const auto& m : vkMap)
        if (m.Vk == Vk)
            return m.Qt;
    return Qt::Key_unknown;
}

Qt::KeyboardModifiers shiftToModifiers(TShiftState Shift)
{
    Qt::KeyboardModifiers mods;
    if (Shift.Contains(ssShift)) mods |= Qt::ShiftModifier;
    if (Shift.Contains(ssCtrl)) mods |= Qt::ControlModifier;
    if (Shift.Contains(ssAlt)) mods |= Qt::AltModifier;
    return mods;
}

WPARAM mouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (mods & Qt::ControlModifier) keys |= MK_CONTROL;
    return keys;
}

LPARAM keyData(Qt::KeyboardModifiers mods)
{
    LPARAM data = 1;  // repeat count
    if (mods & Qt::ShiftModifier) data |= LPARAM(1) << 26;
    if (mods & Qt::ControlModifier) data |= LPARAM(1) << 27;
    if (mods & Qt::AltModifier) data |= KF_ALTDOWN_LPARAM;
    return data;
}

Qt::CursorShape cursorShape(TCursor C)
{
    switch (C) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: case crVSplit: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: case crHSplit: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: return Qt::WaitCursor;
    case crNo: case crNoDrop: return Qt::ForbiddenCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

bool isMouseMessage(UINT Msg) { return Msg >= WM_MOUSEMOVE && Msg <= WM_MOUSEWHEEL; }

// Restores the event being translated when a nested translation ends.
class TToolkitEventScope {
public:
    TToolkitEventScope(TToolkitEvent*& Slot, TToolkitEvent* Event) : FSlot(Slot), FSaved(Slot) { Slot = Event; }
    ~TToolkitEventScope() { FSlot = FSaved; }
    TToolkitEventScope(const TToolkitEventScope&) = delete;
    TToolkitEventScope& operator=(const TToolkitEventScope&) = delete;

private:
    TToolkitEvent*& FSlot;
    TToolkitEvent* FSaved;
};

}  // namespace

Qt::CursorShape ControlsCursorShape(TCursor C) { return cursorShape(C); }
// MouseCapture.cpp: a holder whose window goes away loses the capture.
void ForgetCaptureControl(TWinControl* Control);

uint16_t QtKeyToVirtualKey(int QtKey)
{
    if ((QtKey >= '0' && QtKey <= '9') || (QtKey >= 'A' && QtKey <= 'Z'))
        return uint16_t(QtKey);
    if (QtKey >= Qt::Key_F1 && QtKey <= Qt::Key_F12)
        return uint16_t(VK_F1 + (QtKey - Qt::Key_F1));
    for (const auto& m : vkMap)
        if (m.Qt == QtKey)
            return m.Vk;
    return 0;
}

TCustomForm* GetParentForm(const TControl* Control)
{
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (auto* form = dynamic_cast<const TCustomForm*>(c))
            return const_cast<TCustomForm*>(form);
    return nullptr;
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks},
      FFont(std::make_unique<TFont>())
{
    WindowProc = TWndMethod(this, &TControl::WndProc);
    FFont->OnChange = TNotifyEvent(this, &TControl::fontChangedEvent);
}

void DragControlGone(TControl* Control);

TControl::~TControl()
{
    Destroying();
    DragControlGone(this);
    if (FHostDockSite != nullptr)
        std::erase(FHostDockSite->FDockClients, this);
    if (FParent != nullptr) {
        Invalidate();
        FParent->removeControl(this);
    }
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WindowProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message)
{
    // The application follows the pointer over controls for its hints.
    if (Message.Msg >= WM_MOUSEMOVE && Message.Msg <= WM_MBUTTONDBLCLK && Application != nullptr)
        Application->HintMouseMessage(this, Message);
    Dispatch(Message);
    // The site a client is docked in follows its caption and visibility.
    if (FHostDockSite != nullptr && (Message.Msg == WM_SETTEXT || Message.Msg == CM_VISIBLECHANGED)) {
        TDockNotifyRec notify{Message.Msg, Message.WParam, Message.LParam};
        FHostDockSite->Perform(CM_DOCKNOTIFICATION, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&notify));
    }
}

void TControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: handleMouseDown(Message, mbLeft); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: handleMouseDown(Message, mbRight); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: handleMouseDown(Message, mbMiddle); break;
    case WM_LBUTTONUP: handleMouseUp(Message, mbLeft); break;
    case WM_RBUTTONUP: handleMouseUp(Message, mbRight); break;
    case WM_MBUTTONUP: handleMouseUp(Message, mbMiddle); break;
    case WM_MOUSEMOVE: {
        DefaultHandler(Message);
        const TPoint p = PointFromLParam(Message.LParam);
        MouseMove(KeysToShiftState(Message.WParam), p.X, p.Y);
        break;
    }
    case WM_SETTEXT: {
        const String& text = *reinterpret_cast<const String*>(Message.LParam);
        if (text != FText) {
            FText = text;
            DefaultHandler(Message);
            Perform(CM_TEXTCHANGED);
        }
        Message.Result = 1;
        break;
    }
    case WM_SIZE: Resize(); break;
    case WM_CAPTURECHANGED:
        // The press that began here ends elsewhere: no click follows.
        FControlState.Exclude(csLButtonDown);
        FControlState.Exclude(csClicked);
        DefaultHandler(Message);
        break;
    case CM_TEXTCHANGED: case CM_COLORCHANGED: case CM_FONTCHANGED: case CM_ENABLEDCHANGED:
        UpdateWidget();
        Invalidate();
        break;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent != nullptr) {
            FColor = FParent->Color();
            Perform(CM_COLORCHANGED);
        }
        break;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent != nullptr) {
            FUpdatingFont = true;
            FFont->Assign(FParent->Font());
            FUpdatingFont = false;
            Perform(CM_FONTCHANGED);
        }
        break;
    default: DefaultHandler(Message); break;
    }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::handleMouseDown(TMessage& Message, TMouseButton Button)
{
    DefaultHandler(Message);
    const TPoint p = PointFromLParam(Message.LParam);
    TShiftState shift = KeysToShiftState(Message.WParam);
    const bool dbl = Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
    if (dbl)
        shift.Include(ssDouble);
    if (Button == mbLeft) {
        FControlState.Include(csLButtonDown);
        if (FControlStyle.Contains(csClickEvents))
            FControlState.Include(csClicked);
    }
    if (dbl && Button == mbLeft && FControlStyle.Contains(csDoubleClicks))
        DblClick();
    MouseDown(Button, shift, p.X, p.Y);
}

void TControl::handleMouseUp(TMessage& Message, TMouseButton Button)
{
    DefaultHandler(Message);
    const TPoint p = PointFromLParam(Message.LParam);
    if (Button == mbLeft) {
        FControlState.Exclude(csLButtonDown);
        if (FControlState.Contains(csClicked)) {
            FControlState.Exclude(csClicked);
            if (ClientRect().Contains(p))
                Click();
        }
    }
    MouseUp(Button, KeysToShiftState(Message.WParam), p.X, p.Y);
}

void TControl::Click()
{
    // The action runs in place of OnClick unless OnClick is a handler of
    // the control's own (not the action's).
    TBasicAction* action = Action();
    if (OnClick && (action == nullptr || !(OnClick == action->OnExecute)))
        OnClick(this);
    else if (FActionLink && !ComponentState().Contains(csDesigning))
        FActionLink->Execute(this);
    else if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation(LoadResString(ControlsConsts::SControlParentSetToSelf));
    if (FParent != nullptr) {
        Invalidate();
        FParent->removeControl(this);
    }
    if (AParent != nullptr)
        AParent->insertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FConstraints.MinWidth > 0) AWidth = std::max(AWidth, FConstraints.MinWidth);
    if (FConstraints.MinHeight > 0) AHeight = std::max(AHeight, FConstraints.MinHeight);
    if (FConstraints.MaxWidth > 0) AWidth = std::min(AWidth, FConstraints.MaxWidth);
    if (FConstraints.MaxHeight > 0) AHeight = std::min(AHeight, FConstraints.MaxHeight);
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    const bool moved = ALeft != FLeft || ATop != FTop;
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    if (!moved && !resized)
        return;
    if (FParent != nullptr && !FParent->FPlacing)
        Invalidate();  // the area it leaves
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FParent == nullptr || !FParent->FPlacing)
        updateAnchorRules();
    BoundsChanged(moved, resized);
    if (resized)
        Perform(WM_SIZE, 0, MakeLParam(FWidth, FHeight));
    if (moved)
        Perform(WM_MOVE, 0, MakeLParam(FLeft, FTop));
    if (FAlign != alNone)
        RequestAlign();
}

void TControl::BoundsChanged(bool, bool) { Invalidate(); }

void TControl::updateAnchorRules()
{
    if (FParent == nullptr)
        return;
    const TRect client = FParent->ClientRect();
    FAnchorRules = Rect(FLeft, FTop, client.Width() - (FLeft + FWidth), client.Height() - (FTop + FHeight));
}

void TControl::RequestAlign()
{
    if (FParent != nullptr && !FParent->FPlacing)
        FParent->AlignControls(this);
}

TPoint TControl::OriginInWindow() const
{
    if (auto* win = dynamic_cast<const TWinControl*>(this))
        return win->ClientOffset();
    if (FParent == nullptr)
        return {0, 0};
    const TPoint p = FParent->OriginInWindow();
    return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) const
{
    if (auto* win = dynamic_cast<const TWinControl*>(this); win != nullptr && win->HandleAllocated()) {
        const TPoint o = win->ClientOffset();
        const QPoint g = const_cast<TWinControl*>(win)->Widget()->mapToGlobal(QPoint(P.X + o.X, P.Y + o.Y));
        return {g.x(), g.y()};
    }
    if (FParent != nullptr)
        return FParent->ClientToScreen({P.X + FLeft, P.Y + FTop});
    return {P.X + FLeft, P.Y + FTop};
}

TPoint TControl::ScreenToClient(TPoint P) const
{
    const TPoint origin = ClientToScreen({0, 0});
    return {P.X - origin.X, P.Y - origin.Y};
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    FAlign = Value;
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value)
{
    FAnchors = Value;
    updateAnchorRules();
}

void TControl::SetConstraints(const TSizeConstraints& Value)
{
    FConstraints = Value;
    UpdateWidget();
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    if (!Value)
        Invalidate();
    FVisible = Value;
    UpdateWidget();
    Perform(CM_VISIBLECHANGED, WPARAM(Value));
    if (Value)
        Invalidate();
    if (FAlign != alNone || FParent != nullptr)
        RequestAlign();
}

bool TControl::Showing() const
{
    for (const TControl* c = this; c != nullptr; c = c->FParent) {
        if (!c->FVisible)
            return false;
        if (c->FParent == nullptr)
            return dynamic_cast<const TWinControl*>(c) != nullptr
                && static_cast<const TWinControl*>(c)->HandleAllocated()
                && const_cast<TWinControl*>(static_cast<const TWinControl*>(c))->Widget()->isVisible();
    }
    return false;
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const String& Value)
{
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&Value));
}

void TControl::SetColor(TColor Value)
{
    FParentColor = false;
    if (FColor == Value)
        return;
    FColor = Value;
    NotifyColorChanged();
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    if (Value && FParent != nullptr)
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetFont(const TFont* Value) { FFont->Assign(Value); }

void TControl::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value && FParent != nullptr)
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::fontChangedEvent(TObject*)
{
    if (FUpdatingFont)
        return;
    FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() { Perform(CM_FONTCHANGED); }
void TControl::NotifyColorChanged() { Perform(CM_COLORCHANGED); }

void TControl::SetCursor(TCursor Value)
{
    FCursor = Value;
    UpdateWidget();
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }

void TControl::Invalidate()
{
    if (FParent == nullptr || !FVisible)
        return;
    TWinControl* host = FParent;
    if (!host->HandleAllocated())
        return;
    const TPoint origin = FParent->OriginInWindow();
    const QRect area(origin.X + FLeft, origin.Y + FTop, FWidth, FHeight);
    host->invalidate(&area, true);
}

void TControl::Update()
{
    if (FParent != nullptr)
        FParent->Update();
}

void TControl::BringToFront()
{
    if (FParent == nullptr)
        return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    FParent->syncZOrder();
    Invalidate();
}

void TControl::SendToBack()
{
    if (FParent == nullptr)
        return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    FParent->syncZOrder();
    Invalidate();
}

TCustomForm* TControl::ParentForm() const { return GetParentForm(this); }

// --------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& Message)
{
    if (Message.Msg != WM_PAINT) {
        TControl::Dispatch(Message);
        return;
    }
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc == nullptr)
        return;
    FCanvas->SetHandle(dc);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(Color());
    Paint();
    FCanvas->SetHandle(nullptr);
}

// ------------------------------------------------------------- TWinControl

// Keeps the toolkit's children of a standard widget from painting or
// taking input behind the control's back: their paint happens only while
// the control renders itself, and their input passes through WindowProc.
class TDescendantFilter : public QObject {
public:
    explicit TDescendantFilter(TWinControl* Control, QWidget* Root) : FControl(Control), FRoot(Root) {}
    void Watch(QWidget* W)
    {
        W->installEventFilter(this);
        W->setAutoFillBackground(false);
        for (QObject* child : W->children())
            if (auto* cw = qobject_cast<QWidget*>(child); cw != nullptr && !cw->isWindow())
                Watch(cw);
    }
    bool Rendering = false;
    bool Bypass = false;

protected:
    bool eventFilter(QObject* Obj, QEvent* E) override
    {
        auto* w = qobject_cast<QWidget*>(Obj);
        if (w == nullptr || w == FRoot || Bypass)
            return false;
        switch (E->type()) {
        case QEvent::ChildAdded:
            if (auto* cw = qobject_cast<QWidget*>(static_cast<QChildEvent*>(E)->child()); cw != nullptr && !cw->isWindow())
                Watch(cw);
            return false;
        case QEvent::Paint:
            return false;  // inner parts (a list's viewport) paint themselves
        case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::Wheel:
        case QEvent::DragEnter: case QEvent::DragMove: case QEvent::Drop:
            return FControl->ToolkitEvent(w, E, [this, w](QEvent* e) {
                Bypass = true;
                const bool r = QCoreApplication::sendEvent(w, e);
                Bypass = false;
                return r;
            });
        default:
            return false;
        }
    }

private:
    TWinControl* FControl;
    QWidget* FRoot;
};


TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    Destroying();
    for (TControl* client : FDockClients)
        client->FHostDockSite = nullptr;
    FDockClients.clear();
    for (TControl* c : FControls) {
        c->FParent = nullptr;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyWidget();
    }
    FControls.clear();
    FTabList.clear();
    FMouseControl = nullptr;
    FHotControl = nullptr;
    DestroyWidget();
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return ReceiverHandle();
}

QWidget* TWinControl::Widget()
{
    HandleNeeded();
    return FWidget.get();
}

std::unique_ptr<QWidget> TWinControl::CreateWidget(QWidget* ParentWidget)
{
    return std::make_unique<TToolkitWidget<QWidget>>(this, ParentWidget);
}

void TWinControl::HandleNeeded()
{
    if (FWidget)
        return;
    if (FParent != nullptr && !FParent->FWidget) {
        FParent->HandleNeeded();
        if (FWidget)
            return;
    }
    QWidget* parentWidget = FParent != nullptr ? FParent->FWidget.get() : nullptr;
    FControlState.Include(csCreating);
    FWidget = CreateWidget(parentWidget);
    if (parentWidget != nullptr && FWidget->parentWidget() != parentWidget)
        FWidget->setParent(parentWidget);
    Perform(WM_NCCREATE);
    Perform(WM_CREATE);
    InitializeWidget();
    FControlState.Exclude(csCreating);
    createChildWidgets();
    syncZOrder();
    Realign();
}

void TWinControl::InitializeWidget()
{
    QWidget* w = FWidget.get();
    w->setAttribute(Qt::WA_OpaquePaintEvent, !ToolkitPaints());
    // Moves without a button held arrive too: graphic children under the
    // pointer are told (hot tool buttons), and OnMouseMove sees them.
    w->setMouseTracking(true);
    if (ToolkitPaints()) {
        auto filter = std::make_unique<TDescendantFilter>(this, w);
        filter->Watch(w);
        w->setProperty("vorlaneFilter", QVariant::fromValue(static_cast<void*>(filter.get())));
        filter->setParent(w);  // Qt frees it with the widget
        filter.release();
    }
    placeWidget();
    UpdateWidget();
}

void TWinControl::UpdateWidget()
{
    if (!FWidget)
        return;
    QWidget* w = FWidget.get();
    if (!w->isWindow())
        w->setVisible(Visible());
    w->setEnabled(Enabled());
    w->setFont(Font()->QtFont());
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ColorToQColor(Color()));
    pal.setColor(QPalette::Button, ColorToQColor(clBtnFace));
    pal.setColor(QPalette::WindowText, ColorToQColor(Font()->Color()));
    pal.setColor(QPalette::ButtonText, ColorToQColor(Font()->Color()));
    pal.setColor(QPalette::Text, ColorToQColor(Font()->Color()));
    w->setPalette(pal);
    if (Cursor() != crDefault)
        w->setCursor(ScreenCursor(Cursor()));
    else
        w->unsetCursor();
    w->setAcceptDrops(FAcceptFiles);
}

void TWinControl::DestroyWidget()
{
    if (!FWidget)
        return;
    ForgetCaptureControl(this);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyWidget();
    FControlState.Include(csDestroyingHandle);
    SafeCall([&] { Perform(WM_DESTROY); });
    // The last message the window gets: whoever hooked it lets go.
    SafeCall([&] { Perform(WM_NCDESTROY); });
    if (auto* bridge = dynamic_cast<IToolkitWidget*>(FWidget.get()))
        bridge->Detach();
    if (QVariant v = FWidget->property("vorlaneFilter"); v.isValid())
        FWidget->removeEventFilter(static_cast<TDescendantFilter*>(v.value<void*>()));
    FWidget.reset();
    FBuffer = QImage();
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::createChildWidgets()
{
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->HandleNeeded();
}

void TWinControl::placeWidget()
{
    if (!FWidget)
        return;
    const TPoint o = FParent != nullptr && !FWidget->isWindow() ? FParent->ClientOffset() : TPoint{0, 0};
    FWidget->setGeometry(Left() + o.X, Top() + o.Y, Width(), Height());
}

void TWinControl::PlaceChildWidgets()
{
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->placeWidget();
}

void TWinControl::BoundsChanged(bool Moved, bool Resized)
{
    (void)Moved;
    (void)Resized;
    placeWidget();
    if (Parent() != nullptr)
        TControl::BoundsChanged(Moved, Resized);
}

void TWinControl::syncZOrder()
{
    if (!FWidget)
        return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && w->FWidget)
            w->FWidget->raise();
    QWidget* previous = nullptr;
    for (TWinControl* w : FTabList) {
        if (!w->FWidget)
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, w->FWidget.get());
        previous = w->FWidget.get();
    }
}

void TWinControl::insertControl(TControl* C)
{
    FControls.push_back(C);
    C->FParent = this;
    auto* win = dynamic_cast<TWinControl*>(C);
    if (win != nullptr)
        FTabList.push_back(win);
    if (C->FParentFont) {
        C->FUpdatingFont = true;
        C->FFont->Assign(Font());
        C->FUpdatingFont = false;
    }
    if (C->FParentColor)
        C->FColor = Color();
    if (win != nullptr && FWidget) {
        if (win->FWidget) {
            win->FWidget->setParent(FWidget.get());
            win->placeWidget();
            win->UpdateWidget();
        } else {
            win->HandleNeeded();
        }
        syncZOrder();
    }
    C->updateAnchorRules();
    C->UpdateWidget();
    Realign();
    C->Invalidate();
}

void TWinControl::removeControl(TControl* C)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), C), FControls.end());
    // Compared as TControl: when a windowed child is being destroyed, its
    // TWinControl part is already gone and a dynamic_cast would miss it.
    std::erase_if(FTabList, [C](TWinControl* w) { return static_cast<TControl*>(w) == C; });
    if (auto* win = dynamic_cast<TWinControl*>(C)) {
        if (win->FWidget) {
            win->FWidget->hide();
            win->FWidget->setParent(nullptr);
        }
    }
    if (FMouseControl == C)
        FMouseControl = nullptr;
    if (FHotControl == C)
        FHotControl = nullptr;
    C->FParent = nullptr;
    if (!ComponentState().Contains(csDestroying))
        Realign();
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->Visible() && (AllowDisabled || c->Enabled()) && c->BoundsRect().Contains(P))
            return c;
    }
    return nullptr;
}

int TWinControl::TabOrder() const
{
    if (Parent() == nullptr)
        return -1;
    const auto& list = Parent()->FTabList;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (Parent() == nullptr)
        return;
    auto& list = Parent()->FTabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    Value = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + Value, this);
    Parent()->syncZOrder();
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    for (TWinControl* w : FTabList) {
        List.push_back(w);
        w->GetTabOrderList(List);
    }
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

bool TWinControl::Focused() const { return FWidget && FWidget->hasFocus(); }

void TWinControl::SetFocus()
{
    if (!CanFocus())
        throw EInvalidOperation(LoadResString(ControlsConsts::SCannotFocus));
    QWidget* w = Widget();
    if (QWidget* window = w->window(); window->isVisible())
        window->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
}

void TWinControl::EnableAlign()
{
    if (--FAlignLevel == 0)
        Realign();
}

void TWinControl::Invalidate() { invalidate(nullptr, true); }

void TWinControl::invalidate(const QRect* Area, bool Erase)
{
    if (!FWidget)
        return;
    const QRect area = Area != nullptr ? *Area & FWidget->rect() : FWidget->rect();
    if (area.isEmpty())
        return;
    if (Erase)
        FNoEraseRegion -= area;
    else
        FNoEraseRegion += area;
    FWidget->update(area);
}

bool InvalidateRect(HWND Wnd, const TRect* R, bool Erase)
{
    auto* control = dynamic_cast<TWinControl*>(FindReceiver(Wnd));
    if (control == nullptr)
        return false;
    if (R == nullptr) {
        control->invalidate(nullptr, Erase);
    } else {
        const TPoint o = control->ClientOffset();
        const QRect area(R->Left + o.X, R->Top + o.Y, R->Width(), R->Height());
        control->invalidate(&area, Erase);
    }
    return true;
}

void TWinControl::Update()
{
    if (FWidget && FWidget->isVisible())
        FWidget->repaint();
}

void TWinControl::SetAcceptFiles(bool Value)
{
    FAcceptFiles = Value;
    UpdateWidget();
}

void TWinControl::FontChanged() { Perform(CM_FONTCHANGED); }
void TWinControl::NotifyColorChanged() { Perform(CM_COLORCHANGED); }

void TWinControl::AlignControls(TControl* AControl)
{
    if (FAlignLevel > 0 || FPlacing || ComponentState().Contains(csDestroying))
        return;
    FPlacing = true;
    TRect rect = ClientRect();
    AdjustClientRect(rect);

    auto insertBefore = [](TControl* C1, TControl* C2, TAlign A) {
        switch (A) {
        case alTop: return C1->Top() < C2->Top();
        case alBottom: return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
        case alLeft: return C1->Left() < C2->Left();
        case alRight: return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
        default: return false;
        }
    };

    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        // The control being moved wins against those already in place.
        if (AControl != nullptr && AControl->Align() == align && AControl->Visible())
            list.push_back(AControl);
        for (TControl* c : FControls) {
            if (c == AControl || c->Align() != align || !c->Visible())
                continue;
            auto pos = std::find_if(list.begin(), list.end(), [&](TControl* j) { return insertBefore(c, j, align); });
            list.insert(pos, c);
        }
        for (TControl* c : list) {
            int l = rect.Left, t = rect.Top, w = rect.Width(), h = rect.Height();
            switch (align) {
            case alTop: h = c->Height(); break;
            case alBottom: h = c->Height(); t = rect.Bottom - h; break;
            case alLeft: w = c->Width(); break;
            case alRight: w = c->Width(); l = rect.Right - w; break;
            default: break;
            }
            c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
            switch (align) {
            case alTop: rect.Top += c->Height(); break;
            case alBottom: rect.Bottom -= c->Height(); break;
            case alLeft: rect.Left += c->Width(); break;
            case alRight: rect.Right -= c->Width(); break;
            default: break;
            }
        }
    }

    // Anchored controls keep their distances to the right and bottom edges.
    const TRect client = ClientRect();
    for (TControl* c : FControls) {
        if (c->Align() != alNone)
            continue;
        const TAnchors a = c->Anchors();
        if (!a.Contains(akRight) && !a.Contains(akBottom))
            continue;
        const TRect& r = c->FAnchorRules;
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                w = client.Width() - r.Right - l;
            else
                l = client.Width() - r.Right - w;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                h = client.Height() - r.Bottom - t;
            else
                t = client.Height() - r.Bottom - h;
        }
        c->SetBounds(l, t, std::max(w, 0), std::max(h, 0));
    }
    FPlacing = false;
}

void TWinControl::WndProc(TMessage& Message)
{
    if (isMouseMessage(Message.Msg) && mouseToGraphicChild(Message))
        return;
    if (Message.Msg == CM_MOUSELEAVE && Message.LParam == 0)
        setHotControl(nullptr);
    TControl::WndProc(Message);
}

bool TWinControl::mouseToGraphicChild(TMessage& Message)
{
    if (Message.Msg == WM_MOUSEWHEEL)
        return false;
    const TPoint p = PointFromLParam(Message.LParam);
    constexpr WPARAM anyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
    WPARAM thisButton = 0;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: thisButton = MK_LBUTTON; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: thisButton = MK_RBUTTON; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: thisButton = MK_MBUTTON; break;
    default: break;
    }
    const bool press = thisButton != 0;
    // A capture lasts while a button is held. When a popup menu (or any
    // other window) took the mouse during the press, the release never came
    // here: the next press, or a move with no button held, ends the capture,
    // so the input reaches the control under the pointer.
    if (FMouseControl != nullptr
        && ((press && (Message.WParam & anyButton & ~thisButton) == 0)
            || (Message.Msg == WM_MOUSEMOVE && (Message.WParam & anyButton) == 0)))
        releaseGraphicCapture();
    TControl* target = FMouseControl;
    if (target == nullptr) {
        TControl* c = ControlAtPos(p);
        if (c != nullptr && dynamic_cast<TWinControl*>(c) != nullptr)
            c = nullptr;
        if (Message.Msg == WM_MOUSEMOVE)
            setHotControl(c);
        if (c == nullptr)
            return false;
        target = c;
    }
    if (press && target->ControlStyle().Contains(csCaptureMouse))
        FMouseControl = target;
    if (Message.Msg == WM_LBUTTONUP || Message.Msg == WM_RBUTTONUP || Message.Msg == WM_MBUTTONUP)
        FMouseControl = nullptr;
    if (Message.Msg == WM_MOUSEMOVE && FWidget) {
        if (target->Cursor() != crDefault)
            FWidget->setCursor(ScreenCursor(target->Cursor()));
        else if (Cursor() != crDefault)
            FWidget->setCursor(ScreenCursor(Cursor()));
        else
            FWidget->unsetCursor();
    }
    Message.Result = target->Perform(Message.Msg, Message.WParam, MakeLParam(p.X - target->Left(), p.Y - target->Top()));
    return true;
}

void TWinControl::releaseGraphicCapture()
{
    TControl* old = FMouseControl;
    FMouseControl = nullptr;
    if (old != nullptr)
        old->Perform(WM_CAPTURECHANGED);
}

void TWinControl::setHotControl(TControl* C)
{
    if (C == FHotControl)
        return;
    TControl* old = FHotControl;
    FHotControl = C;
    if (old != nullptr)
        old->Perform(CM_MOUSELEAVE);
    if (C != nullptr)
        C->Perform(CM_MOUSEENTER);
}

void TWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND: {
        // A standard widget paints its own background in its WM_PAINT default.
        if (auto dc = reinterpret_cast<HDC>(Message.WParam); dc != nullptr && !ToolkitPaints())
            EraseBackground(dc);
        Message.Result = 1;
        break;
    }
    case WM_PAINT: {
        if (auto dc = reinterpret_cast<HDC>(Message.WParam)) {
            PaintWindow(dc);
            PaintControls(dc);
        }
        break;
    }
    case WM_GETFONT:
        // The window's font: the control's own (valid while the control lives).
        Message.Result = reinterpret_cast<LRESULT>(Font());
        break;
    case WM_SIZE: {
        // A window the user resized tells its new size here.
        const int w = LoWord16(Message.LParam) & 0xFFFF, h = HiWord16(Message.LParam) & 0xFFFF;
        if (Parent() == nullptr && (w != Width() || h != Height())) {
            TControl::SetBounds(Left(), Top(), w, h);
            break;
        }
        Realign();
        Resize();
        break;
    }
    case WM_MOVE: {
        const TPoint p = PointFromLParam(Message.LParam);
        if (Parent() == nullptr && (p.X != Left() || p.Y != Top()))
            TControl::SetBounds(p.X, p.Y, Width(), Height());
        break;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
        uint16_t key = uint16_t(Message.WParam);
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        TCustomForm* form = ParentForm();
        if (form != nullptr && form != static_cast<TControl*>(this) && form->KeyPreview())
            static_cast<TWinControl*>(form)->KeyDown(key, shift);
        if (key != 0)
            KeyDown(key, shift);
        if (key == 0)
            break;
        if (form != nullptr && form->MenuKey(key, shift, Message.LParam, true))
            break;
        // Return and Escape go to the window's default and cancel buttons,
        // Ctrl+Tab to its page controls, unless the control wants them.
        const bool dialogKey = key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && shift.Contains(ssCtrl));
        if (dialogKey && !WantsKey(key) && form != nullptr) {
            if (form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0)
                break;
        }
        Message.WParam = key;
        DefaultHandler(Message);
        break;
    }
    case WM_KEYUP: case WM_SYSKEYUP: {
        uint16_t key = uint16_t(Message.WParam);
        const TShiftState shift = KeyDataToShiftState(Message.LParam);
        TCustomForm* form = ParentForm();
        if (form != nullptr && form != static_cast<TControl*>(this) && form->KeyPreview())
            static_cast<TWinControl*>(form)->KeyUp(key, shift);
        if (key != 0)
            KeyUp(key, shift);
        if (key != 0 && form != nullptr && form->MenuKey(key, shift, Message.LParam, false))
            break;
        if (key != 0) {
            Message.WParam = key;
            DefaultHandler(Message);
        }
        break;
    }
    case WM_CHAR: {
        QChar ch(char16_t(Message.WParam));
        TCustomForm* form = ParentForm();
        if (form != nullptr && form != static_cast<TControl*>(this) && form->KeyPreview())
            static_cast<TWinControl*>(form)->KeyPress(ch);
        if (ch != QChar(0))
            KeyPress(ch);
        if (ch != QChar(0)) {
            Message.WParam = ch.unicode();
            DefaultHandler(Message);
        }
        break;
    }
    case WM_SETFOCUS: {
        DefaultHandler(Message);
        // The form tells all its controls which one has the focus now (the
        // buttons choose the one that Enter clicks by it).
        if (TCustomForm* form = ParentForm())
            form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
        DoEnter();
        break;
    }
    case CM_FOCUSCHANGED:
        for (TControl* c : std::vector<TControl*>(FControls))
            c->Perform(CM_FOCUSCHANGED, Message.WParam, Message.LParam);
        break;
    case WM_KILLFOCUS: DefaultHandler(Message); DoExit(); break;
    case CM_COLORCHANGED: case CM_FONTCHANGED: {
        TControl::Dispatch(Message);
        const UINT notify = Message.Msg == CM_COLORCHANGED ? CM_PARENTCOLORCHANGED : CM_PARENTFONTCHANGED;
        for (TControl* c : std::vector<TControl*>(FControls))
            c->Perform(notify);
        break;
    }
    case CM_DIALOGCHAR:
        // An accelerator goes to every child until one takes it.
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (!c->Visible() || !c->Enabled())
                continue;
            Message.Result = c->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
            if (Message.Result != 0)
                return;
        }
        break;
    case CM_DIALOGKEY: {
        // Offered to every child until one takes it (a default or cancel button).
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (!c->Visible() || !c->Enabled())
                continue;
            Message.Result = c->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam);
            if (Message.Result != 0)
                return;
        }
        break;
    }
    default: TControl::Dispatch(Message); break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    TToolkitEvent* current = FToolkitEvent;
    if (current != nullptr && !current->BaseCalled && current->Msg == Message.Msg) {
        current->BaseCalled = true;
        if (Message.Msg == WM_CHAR) {
            auto* key = static_cast<QKeyEvent*>(current->Event);
            if (key->text() != QString(QChar(char16_t(Message.WParam)))) {
                QKeyEvent changed(QEvent::KeyPress, key->key(), key->modifiers(), QString(QChar(char16_t(Message.WParam))));
                Message.Result = current->Base(&changed) ? 1 : 0;
                return;
            }
        }
        Message.Result = current->Base(current->Event) ? 1 : 0;
        return;
    }
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MOUSEMOVE: {
        // A message sent by the program: the widget gets the same input.
        auto* bridge = dynamic_cast<IToolkitWidget*>(FWidget.get());
        if (bridge == nullptr)
            return;
        const TPoint p = PointFromLParam(Message.LParam);
        QEvent::Type type = QEvent::MouseMove;
        Qt::MouseButton button = Qt::NoButton;
        switch (Message.Msg) {
        case WM_LBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::LeftButton; break;
        case WM_LBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::LeftButton; break;
        case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; break;
        case WM_RBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::RightButton; break;
        case WM_RBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::RightButton; break;
        case WM_MBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::MiddleButton; break;
        case WM_MBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::MiddleButton; break;
        default: break;
        }
        Qt::MouseButtons buttons;
        if (Message.WParam & MK_LBUTTON) buttons |= Qt::LeftButton;
        if (Message.WParam & MK_RBUTTON) buttons |= Qt::RightButton;
        if (Message.WParam & MK_MBUTTON) buttons |= Qt::MiddleButton;
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
            buttons |= button;
        const TPoint o = ClientOffset();
        const QPointF local(p.X + o.X, p.Y + o.Y);
        QMouseEvent e(type, local, FWidget->mapToGlobal(local), button, buttons,
                      shiftToModifiers(KeysToShiftState(Message.WParam)));
        Message.Result = bridge->CallBase(&e) ? 1 : 0;
        return;
    }
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: {
        auto* bridge = dynamic_cast<IToolkitWidget*>(FWidget.get());
        if (bridge == nullptr)
            return;
        const auto mods = shiftToModifiers(KeyDataToShiftState(Message.LParam));
        if (Message.Msg == WM_CHAR) {
            QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, mods, QString(QChar(char16_t(Message.WParam))));
            Message.Result = bridge->CallBase(&e) ? 1 : 0;
        } else {
            QKeyEvent e(Message.Msg == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease,
                        virtualKeyToQtKey(uint16_t(Message.WParam)), mods);
            Message.Result = bridge->CallBase(&e) ? 1 : 0;
        }
        return;
    }
    case WM_SETTEXT:
        UpdateWidget();
        return;
    default:
        return;
    }
}

void TWinControl::EraseBackground(HDC DC)
{
    TDCBrush brush{ColorToRGB(Color()), dbsSolid};
    ::FillRect(DC, ClientRect(), &brush);
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(message);
}

void TWinControl::PaintControls(HDC DC)
{
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible())
            continue;
        if (!RectVisible(DC, c->BoundsRect()))
            continue;
        const int saved = SaveDC(DC);
        MoveWindowOrg(DC, c->Left(), c->Top());
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC));
        RestoreDC(DC, saved);
    }
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(QChar& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::WithSignalsBlocked(const std::function<void()>& Fn)
{
    if (!FWidget) {
        Fn();
        return;
    }
    const QSignalBlocker blocker(FWidget.get());
    Fn();
}

void TWinControl::PaintTo(QImage& Buffer)
{
    paintBuffer(Buffer, nullptr);
}

void TWinControl::paintBuffer(QImage& Buffer, TToolkitEvent* ToolkitPaint, const QRegion* Clip, bool Erase)
{
    // A standard widget's WM_PAINT default paints the toolkit's look on the
    // widget; what the handlers draw on the DC goes over it, so the buffer
    // starts transparent. Custom-painted controls draw everything in it.
    if (ToolkitPaints())
        Buffer.fill(Qt::transparent);
    TDeviceContext dc(&Buffer);
    if (Clip != nullptr) {
        const TRegion clip(*Clip);
        SelectClipRgn(&dc, &clip);
    }
    // A frame the program draws: the client is painted inside it, then
    // the frame around it on the same surface (as a window's DC).
    const TRect margins = NonClientMargins();
    const bool framed = margins.Left > 0 || margins.Top > 0 || margins.Right > 0 || margins.Bottom > 0;
    int saved = 0;
    if (framed) {
        saved = SaveDC(&dc);
        MoveWindowOrg(&dc, margins.Left, margins.Top);
        const TRect client = ClientRect();
        IntersectClipRect(&dc, 0, 0, client.Width(), client.Height());
    }
    if (Erase) {
        TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0, 0};
        WindowProc(erase);
    }
    {
        const TToolkitEventScope scope(FToolkitEvent, ToolkitPaint != nullptr ? ToolkitPaint : FToolkitEvent);
        TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(&dc), 0, 0};
        WindowProc(paint);
    }
    if (framed) {
        RestoreDC(&dc, saved);
        TMessage ncPaint{WM_NCPAINT, reinterpret_cast<WPARAM>(&dc), 0, 0};
        WindowProc(ncPaint);
    }
}

void TWinControl::paintFromToolkit(QWidget* W, QEvent* E)
{
    const QSize size = W->size();
    if (size.isEmpty())
        return;
    const bool toolkit = ToolkitPaints();
    const QImage::Format format = toolkit ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    // Only the part that needs it is painted; the buffer keeps the rest
    // from the last paint. The background is erased unless all of that part
    // was marked for painting without it.
    QRegion region = static_cast<QPaintEvent*>(E)->region() & QRect(QPoint(0, 0), size);
    if (region.isEmpty())
        region = QRect(QPoint(0, 0), size);
    bool erase = !(region - FNoEraseRegion).isEmpty();
    FNoEraseRegion -= region;
    bool whole = (QRegion(QRect(QPoint(0, 0), size)) - region).isEmpty();
    if (FBuffer.size() != size || FBuffer.format() != format) {
        erase = whole = true;
        // A new buffer starts as the parent's background: what a handler
        // leaves alone (or a paint held back while the control is locked)
        // shows that, never uninitialised memory. Later paints keep what the
        // last one drew.
        FBuffer = QImage(size, format);
        FBuffer.fill(ColorToQColor(Parent() != nullptr ? Parent()->Color() : Color()));
    }
    TToolkitEvent ctx{E, WM_PAINT, [W](QEvent* e) {
                          auto* bridge = dynamic_cast<IToolkitWidget*>(W);
                          return bridge != nullptr && bridge->CallBase(e);
                      }, false};
    paintBuffer(FBuffer, toolkit ? &ctx : nullptr, whole ? nullptr : &region, erase);
    QPainter painter(W);
    painter.drawImage(0, 0, FBuffer);
}

void TWinControl::dropFiles(QEvent* E)
{
    auto* drop = static_cast<QDropEvent*>(E);
    TDropFiles files;
    for (const QUrl& url : drop->mimeData()->urls())
        if (url.isLocalFile())
            files.Files.push_back(url.toLocalFile());
    if (files.Files.isEmpty())
        return;
    const QPoint p = drop->position().toPoint();
    files.Point = {p.x(), p.y()};
    drop->acceptProposedAction();
    Perform(WM_DROPFILES, reinterpret_cast<WPARAM>(files.AsHandle()));
}

bool TWinControl::ToolkitEvent(QWidget* W, QEvent* E, const std::function<bool(QEvent*)>& Base)
{
    if (FRenderingToolkit && E->type() == QEvent::Paint)
        return Base(E);
    const QPointer<QWidget> guard(W);
    auto toControl = [&](QPointF local) {
        const QPoint p = (W == FWidget.get() ? local.toPoint() : W->mapTo(FWidget.get(), local.toPoint()))
                         - QPoint(ClientOffset().X, ClientOffset().Y);
        return MakeLParam(p.x(), p.y());
    };
    auto send = [&](UINT Msg, WPARAM WParam, LPARAM LParam, UINT DefaultMsg) {
        TToolkitEvent ctx{E, DefaultMsg, Base, false};
        {
            const TToolkitEventScope scope(FToolkitEvent, &ctx);
            TMessage message{Msg, WParam, LParam, 0};
            WindowProc(message);
        }
        return ctx.BaseCalled;
    };
    try {
        switch (E->type()) {
        case QEvent::Paint:
            if (W != FWidget.get())
                return Base(E);
            paintFromToolkit(W, E);
            return true;
        case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* m = static_cast<QMouseEvent*>(E);
            if (W == FWidget.get() && W->isWindow() && NonClientMouse(E))
                return true;
            UINT msg = WM_MOUSEMOVE;
            const bool press = E->type() == QEvent::MouseButtonPress;
            const bool dbl = E->type() == QEvent::MouseButtonDblClick;
            if (E->type() != QEvent::MouseMove) {
                switch (m->button()) {
                case Qt::LeftButton: msg = press ? WM_LBUTTONDOWN : dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONUP; break;
                case Qt::RightButton: msg = press ? WM_RBUTTONDOWN : dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONUP; break;
                case Qt::MiddleButton: msg = press ? WM_MBUTTONDOWN : dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONUP; break;
                default: return Base(E);
                }
            }
            send(msg, mouseKeys(m->buttons(), m->modifiers()), toControl(m->position()), msg);
            if (msg == WM_RBUTTONUP && guard)
                ContextPopup(PointFromLParam(toControl(m->position())));
            return true;
        }
        case QEvent::Wheel: {
            auto* w = static_cast<QWheelEvent*>(E);
            const QPoint g = w->globalPosition().toPoint();
            send(WM_MOUSEWHEEL, MakeWParam(int(mouseKeys(w->buttons(), w->modifiers())), w->angleDelta().y()),
                 MakeLParam(g.x(), g.y()), WM_MOUSEWHEEL);
            return true;
        }
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(E);
            const uint16_t vk = QtKeyToVirtualKey(k->key());
            const QString text = k->text();
            const bool hasText = !text.isEmpty() && text[0].isPrint();
            const bool baseDone = send(WM_KEYDOWN, vk, keyData(k->modifiers()), hasText ? WM_NULL : WM_KEYDOWN);
            if (hasText && guard)
                for (QChar ch : text)
                    send(WM_CHAR, ch.unicode(), keyData(k->modifiers()), WM_CHAR);
            (void)baseDone;
            return true;
        }
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(E);
            send(WM_KEYUP, QtKeyToVirtualKey(k->key()), keyData(k->modifiers()), WM_KEYUP);
            return true;
        }
        case QEvent::FocusIn:
            send(WM_SETFOCUS, 0, 0, WM_SETFOCUS);
            return true;
        case QEvent::FocusOut:
            send(WM_KILLFOCUS, 0, 0, WM_KILLFOCUS);
            return true;
        case QEvent::Enter:
            send(CM_MOUSEENTER, 0, 0, CM_MOUSEENTER);
            return true;
        case QEvent::Leave:
            send(CM_MOUSELEAVE, 0, 0, CM_MOUSELEAVE);
            if (guard && W == FWidget.get() && FTrackingLeave) {
                FTrackingLeave = false;  // one message per request
                send(WM_MOUSELEAVE, 0, 0, WM_MOUSELEAVE);
            }
            return true;
        case QEvent::Resize:
            if (W->isWindow()) {
                const QSize s = static_cast<QResizeEvent*>(E)->size();
                send(WM_SIZE, 0, MakeLParam(s.width(), s.height()), WM_SIZE);
                if (guard)
                    Base(E);
                return true;
            }
            return Base(E);
        case QEvent::Move:
            if (W->isWindow()) {
                send(WM_MOVE, 0, MakeLParam(W->geometry().x(), W->geometry().y()), WM_MOVE);
                if (guard)
                    Base(E);
                return true;
            }
            return Base(E);
        case QEvent::WindowActivate: case QEvent::WindowDeactivate:
            if (W == FWidget.get() && W->isWindow()) {
                const bool active = E->type() == QEvent::WindowActivate;
                send(WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0, WM_NULL);
                if (guard)
                    send(WM_NCACTIVATE, active ? 1 : 0, 0, WM_NULL);
            }
            return guard ? Base(E) : true;
        case QEvent::Close: {
            const bool baseDone = send(WM_CLOSE, 0, 0, WM_CLOSE);
            if (!baseDone)
                E->ignore();
            return true;
        }
        case QEvent::DragEnter: case QEvent::DragMove: {
            auto* d = static_cast<QDropEvent*>(E);
            if (FAcceptFiles && d->mimeData()->hasUrls()) {
                d->acceptProposedAction();
                return true;
            }
            return Base(E);
        }
        case QEvent::Drop:
            if (FAcceptFiles) {
                dropFiles(E);
                return true;
            }
            return Base(E);
        default:
            return Base(E);
        }
    } catch (...) {
        HandleCurrentException();
        return true;
    }
}

bool GetWindowRect(HWND Wnd, TRect& R)
{
    auto* control = dynamic_cast<TWinControl*>(FindReceiver(Wnd));
    if (control == nullptr)
        return false;
    // The window includes a frame the program draws itself around the client.
    const TRect m = control->NonClientMargins();
    const TPoint origin = control->ClientToScreen(TPoint{-m.Left, -m.Top});
    R = Bounds(origin.X, origin.Y, control->Width(), control->Height());
    return true;
}

bool TrackMouseEvent(TRACKMOUSEEVENT& EventTrack)
{
    auto* control = dynamic_cast<TWinControl*>(FindReceiver(EventTrack.hwndTrack));
    if (control == nullptr)
        return false;
    if ((EventTrack.dwFlags & TME_LEAVE) == 0)
        return true;
    if ((EventTrack.dwFlags & TME_CANCEL) != 0) {
        control->FTrackingLeave = false;
        return true;
    }
    const QWidget* w = control->HandleAllocated() ? control->Widget() : nullptr;
    const bool over = w != nullptr && w->isVisible() && w->rect().contains(w->mapFromGlobal(QCursor::pos()));
    if (over) {
        control->FTrackingLeave = true;
    } else {
        control->FTrackingLeave = false;
        PostMessage(EventTrack.hwndTrack, WM_MOUSELEAVE, 0, 0);
    }
    return true;
}

void TWinControl::ContextPopup(TPoint P)
{
    const TPoint screen = ClientToScreen(P);
    if (Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MakeLParam(screen.X, screen.Y)) != 0)
        return;
    TControl* target = this;
    if (TControl* c = ControlAtPos(P); c != nullptr && dynamic_cast<TWinControl*>(c) == nullptr)
        target = c;
    if (target->PopupMenu() != nullptr) {
        const TPoint s = ClientToScreen(P);
        target->PopupMenu()->SetPopupComponent(target);
        target->PopupMenu()->Popup(s.X, s.Y);
    }
}

// ----------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC)
{
    FCanvas->SetHandle(DC);
    FCanvas->Font()->Assign(Font());
    FCanvas->Brush()->SetColor(Color());
    Paint();
    FCanvas->SetHandle(nullptr);
}
