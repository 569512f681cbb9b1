#include "ui/foundation/vlControls.h"

#include <algorithm>

#include <QGuiApplication>
#include <QPainter>
#include <QWidget>
#include <QTimer>
#include <cassert>
#include <cstdlib>
#include <vector>
#include <limits>
#include <map>
#include <set>

#include "platform/controls/Forms.h"
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/SysUtils.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlDragAndDrop.h"

// ------------------------------------------------------ control scroll bar

TvlControlScrollBar::TvlControlScrollBar(TComponent* AOwner) : TvlScrollBar(AOwner)
{
    SetColor(clBtnFace);
    FControlStyle.Exclude(csFramed);
    FControlStyle.Include(csNoDesignVisible);
    SetTabStop(false);
    SetVisible(false);
}

TvlControlScrollBar::~TvlControlScrollBar() { ClearObjectLinks(this); }

void TvlControlScrollBar::ApplyData()
{
    if (Data.Visible) {
        SetScrollParams(Data.Min, Data.Max, Data.Position, Data.PageSize, true);
        SetSmallChange(Data.SmallChange);
        SetLargeChange(Data.LargeChange);
    }
    SetEnabled(Data.Enabled);
    if (Visible() != Data.Visible)
        SetVisible(Data.Visible);
}

void TvlControlScrollBar::FocusParent()
{
    TWinControl* parent = Parent();
    if (parent == nullptr)
        return;
    if (auto* control = dynamic_cast<TvlControl*>(parent)) {
        if (control->FocusOnClick() && control->CanFocus())
            control->SetFocus();
    } else if (parent->CanFocus()) {
        parent->SetFocus();
    }
}

void TvlControlScrollBar::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
        // Focusing the parent may free the bar: look before going on.
        const TvlObjectGuard link(this);
        FocusParent();
        if (link.Destroyed())
            return;
    }
    TvlScrollBar::Dispatch(Message);
}

// ---------------------------------------------------------------- size grip

TvlSizeGrip::TvlSizeGrip(TComponent* AOwner)
    : TCustomControl(AOwner), FLookAndFeel(std::make_unique<TvlLookAndFeel>(this))
{
    SetColor(clBtnFace);
    FControlStyle.Include(csNoDesignVisible);
    FLookAndFeel->OnChanged = TvlLookAndFeelNotifyEvent(this, &TvlSizeGrip::lookAndFeelChanged);
}

TvlSizeGrip::~TvlSizeGrip()
{
    Destroying();
    FLookAndFeel.reset();
}

void TvlSizeGrip::Paint()
{
    TvlCanvas canvas(Canvas());
    canvas.FillRectByColor(ClientRect(), FLookAndFeel->Painter()->DefaultSizeGripAreaColor());
}

// ---------------------------------------------------------------- control

TvlControl::TvlControl(TComponent* AOwner)
    : TCustomControl(AOwner), FCanvas(std::make_unique<TvlCanvas>(TCustomControl::Canvas())),
      FLookAndFeel(std::make_unique<TvlLookAndFeel>(this))
{
    FLookAndFeel->OnChanged = TvlLookAndFeelNotifyEvent(this, &TvlControl::lookAndFeelChanged);
    FControlStyle.Include(csDoubleClicks);
    FControlStyle.Include(csCaptureMouse);
    FControlStyle.Include(csClickEvents);
    FControlStyle.Include(csParentBackground);
    createScrollBars();
    SetTabStop(true);
    FDefaultCursor = Cursor();
    GetResourceStringsRepository()->AddListener(this);
}

TvlControl::~TvlControl()
{
    Destroying();
    GetResourceStringsRepository()->RemoveListener(this);
    EndDrag(false);
    FinishDragAndDrop(false);
    ClearObjectLinks(this);
    destroyScrollBars();
}

void TvlControl::createScrollBars()
{
    if (FHScrollBar != nullptr)
        return;
    auto makeBar = [this](TScrollBarKind AKind) {
        auto result = std::make_unique<TvlControlScrollBar>(nullptr);
        result->SetKind(AKind);
        result->OnScroll = TScrollEvent(this, &TvlControl::scrollBarScrolled);
        result->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
        result->SetControlStyle(result->ControlStyle() + TControlStyle{csReplicatable});
        result->SetParent(this);
        return result;
    };
    FHScrollBar = makeBar(sbHorizontal);
    FVScrollBar = makeBar(sbVertical);
    FSizeGrip = std::make_unique<TvlSizeGrip>(nullptr);
    FSizeGrip->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
    FSizeGrip->SetControlStyle(FSizeGrip->ControlStyle() + TControlStyle{csReplicatable});
    FSizeGrip->SetVisible(false);
    FSizeGrip->SetParent(this);
}

void TvlControl::destroyScrollBars()
{
    FSizeGrip.reset();
    FVScrollBar.reset();
    FHScrollBar.reset();
}

void TvlControl::InitScrollBars()
{
    if (HasScrollBars()) {
        createScrollBars();
        UpdateScrollBars();
    } else {
        destroyScrollBars();
    }
}

void TvlControl::lookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues)
{
    if (ComponentState().Contains(csDestroying))
        return;
    LookAndFeelChanged(Sender, AChangedValues);
}

void TvlControl::LookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues) { Invalidate(); }

void TvlControl::SetBorderStyle(TvlControlBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    BoundsChanged();
}

void TvlControl::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    BoundsChanged();
}

int TvlControl::GetBorderSize() const
{
    return FBorderStyle == vlcbsNone ? 0 : LookAndFeelPainter()->BorderSize();
}

TRect TvlControl::GetBounds() const { return ClientRect(); }

TRect TvlControl::GetClientBounds() const
{
    TRect r = GetBounds();
    InflateRect(r, -GetBorderSize(), -GetBorderSize());
    if (IsHScrollBarVisible())
        r.Bottom = std::max(r.Top, r.Bottom - FHScrollBar->Height());
    if (IsVScrollBarVisible())
        r.Right = std::max(r.Left, r.Right - FVScrollBar->Width());
    return r;
}

TRect TvlControl::GetHScrollBarBounds() const
{
    const TRect cb = GetClientBounds();
    return Rect(cb.Left, cb.Bottom, cb.Right, cb.Bottom + (FHScrollBar != nullptr ? FHScrollBar->Height() : 0));
}

TRect TvlControl::GetVScrollBarBounds() const
{
    const TRect cb = GetClientBounds();
    return Rect(cb.Right, cb.Top, cb.Right + (FVScrollBar != nullptr ? FVScrollBar->Width() : 0), cb.Bottom);
}

TRect TvlControl::GetSizeGripBounds() const
{
    const TRect v = GetVScrollBarBounds(), h = GetHScrollBarBounds();
    return Rect(v.Left, h.Top, v.Right, h.Bottom);
}

bool TvlControl::IsHScrollBarVisible() const
{
    if (!HasScrollBars() || FHScrollBar == nullptr)
        return false;
    return FCalculatingScrollBarsParams ? FHScrollBar->Data.Visible : FHScrollBar->Visible();
}

bool TvlControl::IsVScrollBarVisible() const
{
    if (!HasScrollBars() || FVScrollBar == nullptr)
        return false;
    return FCalculatingScrollBarsParams ? FVScrollBar->Data.Visible : FVScrollBar->Visible();
}

void TvlControl::SetScrollBarInfo(TScrollBarKind AScrollBarKind, int AMin, int AMax, int AStep, int APage, int APos,
                                  bool AAllowShow, bool AAllowHide)
{
    TvlControlScrollBar* b = bar(AScrollBarKind);
    if (b == nullptr)
        return;
    TvlScrollBarData& data = b->Data;
    const bool direction = AScrollBarKind == sbHorizontal ? (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
                                                          : (FScrollBars == ssVertical || FScrollBars == ssBoth);
    data.AllowShow = AAllowShow;
    data.AllowHide = AAllowHide;
    data.Visible = false;
    if (!(AAllowShow && direction))
        return;
    if (AMax < AMin || int64_t(APage) >= int64_t(AMax) - AMin + 1 || APos < AMin) {
        // Nothing to scroll: hidden, or shown disabled when it may not hide.
        if (!AAllowHide) {
            data.Visible = true;
            data.Enabled = false;
        }
        return;
    }
    data.Min = AMin;
    data.Max = AMax;
    data.Position = APos;
    data.PageSize = APage;
    data.SmallChange = TScrollBarInc(AStep);
    data.LargeChange = TScrollBarInc(APage);
    data.Visible = true;
    data.Enabled = true;
}

void TvlControl::calculateScrollBarsParams()
{
    if (FCalculatingScrollBarsParams)
        return;
    FCalculatingScrollBarsParams = true;
    try {
        FHScrollBar->Data.Visible = false;
        FVScrollBar->Data.Visible = false;
        // Until one pass leaves both visibilities as they were: showing one
        // bar takes room the other may then need.
        for (;;) {
            const bool h = FHScrollBar->Data.Visible, v = FVScrollBar->Data.Visible;
            InitScrollBarsParameters();
            if (h == FHScrollBar->Data.Visible && v == FVScrollBar->Data.Visible)
                break;
        }
        // Pixel bars whose content fits once the other bar is gone hide both.
        const TvlScrollBarData& hd = FHScrollBar->Data;
        const TvlScrollBarData& vd = FVScrollBar->Data;
        if (hd.Visible && hd.Enabled && hd.AllowHide && vd.Visible && vd.Enabled && vd.AllowHide) {
            auto fits = [this](TScrollBarKind AKind) {
                if (!IsPixelScrollBar(AKind))
                    return false;
                const TvlScrollBarData& d = bar(AKind)->Data;
                const int other = AKind == sbVertical ? FHScrollBar->Height() : FVScrollBar->Width();
                return int64_t(other) + d.PageSize >= int64_t(d.Max) - d.Min + 1;
            };
            if (fits(sbHorizontal) && fits(sbVertical)) {
                for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
                    const TvlScrollBarData d = bar(kind)->Data;
                    const int other = kind == sbVertical ? FHScrollBar->Height() : FVScrollBar->Width();
                    SetScrollBarInfo(kind, d.Min, d.Max, d.SmallChange, d.PageSize + other, d.Position, d.AllowShow,
                                     d.AllowHide);
                }
            }
        }
    } catch (...) {
        FCalculatingScrollBarsParams = false;
        throw;
    }
    FCalculatingScrollBarsParams = false;
}

void TvlControl::UpdateScrollBars()
{
    if (!HasScrollBars() || FHScrollBar == nullptr)
        return;
    if (FScrollBarsLockCount > 0) {
        FScrollBarsUpdateNeeded = true;
        return;
    }
    const bool outermost = !FUpdatingScrollBars;
    if (outermost) {
        FInitialHScrollBarVisible = FHScrollBar->Visible();
        FInitialVScrollBarVisible = FVScrollBar->Visible();
    }
    const bool wasUpdating = FUpdatingScrollBars;
    FUpdatingScrollBars = true;
    auto restore = [&] {
        FUpdatingScrollBars = wasUpdating;
        if (outermost)
            FInitialSettingsReached = false;
    };
    try {
        const bool hVisible = FHScrollBar->Visible(), vVisible = FVScrollBar->Visible();
        if (!FInitialSettingsReached) {
            calculateScrollBarsParams();
            if (wasUpdating && FHScrollBar->Data.Visible == FInitialHScrollBarVisible
                && FVScrollBar->Data.Visible == FInitialVScrollBarVisible) {
                // Back where the outermost call began: the bars would go on
                // appearing and disappearing. The one that changed stays,
                // disabled.
                FInitialSettingsReached = true;
                for (TvlControlScrollBar* b : {FHScrollBar.get(), FVScrollBar.get()}) {
                    const bool initial = b == FHScrollBar.get() ? FInitialHScrollBarVisible : FInitialVScrollBarVisible;
                    if (b->Visible() != initial) {
                        b->SetEnabled(false);
                        b->SetVisible(true);
                    }
                }
            } else {
                FHScrollBar->ApplyData();
                FVScrollBar->ApplyData();
            }
        }
        if (FHScrollBar->Visible() != hVisible || FVScrollBar->Visible() != vVisible) {
            BoundsChanged();
        } else {
            FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
            SetInternalControlsBounds();
            if (CanBringInternalControlsToFront())
                BringInternalControlsToFront();
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TvlControl::BeginScrollBarsUpdate()
{
    if (FScrollBarsLockCount == 0)
        FScrollBarsUpdateNeeded = false;
    ++FScrollBarsLockCount;
}

void TvlControl::EndScrollBarsUpdate()
{
    if (FScrollBarsLockCount < 1)
        return;
    if (--FScrollBarsLockCount == 0 && FScrollBarsUpdateNeeded)
        UpdateScrollBars();
}

void TvlControl::SetInternalControlsBounds()
{
    if (FHScrollBar->Visible())
        FHScrollBar->SetBoundsRect(GetHScrollBarBounds());
    if (FVScrollBar->Visible())
        FVScrollBar->SetBoundsRect(GetVScrollBarBounds());
    if (FSizeGrip->Visible())
        FSizeGrip->SetBoundsRect(GetSizeGripBounds());
}

void TvlControl::BringInternalControlsToFront()
{
    FHScrollBar->BringToFront();
    FVScrollBar->BringToFront();
    FSizeGrip->BringToFront();
}

void TvlControl::BoundsChanged()
{
    UpdateScrollBars();
    if (NeedsRedrawOnResize())
        Invalidate();
}

void TvlControl::BoundsChanged(bool Moved, bool Resized)
{
    TCustomControl::BoundsChanged(Moved, Resized);
    if (Resized)
        BoundsChanged();
}

void TvlControl::scrollBarScrolled(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)
{
    Scroll(static_cast<TvlScrollBar*>(Sender)->Kind(), ScrollCode, ScrollPos);
}

void TvlControl::Scroll(TScrollBarKind, TScrollCode, int&) {}

void TvlControl::ScrollContent(TvlDirection ADirection)
{
    if (ADirection == dirNone)
        return;
    if (!HasScrollBars() && !CanScrollWithoutScrollBars(ADirection))
        return;
    const TScrollBarKind kind = ADirection == dirLeft || ADirection == dirRight ? sbHorizontal : sbVertical;
    const TScrollCode code = ADirection == dirLeft || ADirection == dirUp ? scLineUp : scLineDown;
    int pos = bar(kind) != nullptr ? bar(kind)->Position() : 0;
    Scroll(kind, code, pos);
    Update();
}

TvlMouseWheelScrollingKind TvlControl::GetMouseWheelScrollingKind() const
{
    return IsVScrollBarVisible() ? mwskVertical : mwskNone;
}

bool TvlControl::DoMouseWheel(TShiftState, int WheelDelta, TPoint)
{
    const TvlMouseWheelScrollingKind kind = GetMouseWheelScrollingKind();
    if (kind == mwskNone)
        return false;
    const TvlDirection direction = kind == mwskVertical ? (WheelDelta >= 0 ? dirUp : dirDown)
                                                        : (WheelDelta >= 0 ? dirLeft : dirRight);
    for (int i = 0; i < Mouse->WheelScrollLines(); ++i)
        ScrollContent(direction);
    return true;
}

void TvlControl::InvalidateRect(const TRect& R, bool EraseBackground)
{
    if (HandleAllocated())
        ::InvalidateRect(Handle(), &R, EraseBackground);
}

void TvlControl::InvalidateRegion(const TvlRegion* ARegion, bool EraseBackground)
{
    if (!HandleAllocated() || ARegion == nullptr || ARegion->IsEmpty())
        return;
    for (const QRect& r : ARegion->Handle().Region()) {
        const TRect rect = Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
        ::InvalidateRect(Handle(), &rect, EraseBackground);
    }
}

namespace {

void forEachWindowed(TWinControl* AControl, const std::function<void(TWinControl*)>& AFunction)
{
    AFunction(AControl);
    for (int i = 0; i < AControl->ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i)); child != nullptr && child->HandleAllocated())
            forEachWindowed(child, AFunction);
}

}  // namespace

void TvlControl::InvalidateWithChildren()
{
    if (HandleAllocated())
        forEachWindowed(this, [](TWinControl* C) { ::InvalidateRect(C->Handle(), nullptr, false); });
}

void TvlControl::UpdateWithChildren()
{
    if (HandleAllocated())
        forEachWindowed(this, [](TWinControl* C) { C->Update(); });
}

void TvlControl::ScrollWindow(int DX, int DY, const TRect& R)
{
    (void)DX;
    (void)DY;
    TDragObject* dragObject = GetCurrentDragObject();
    if (dragObject != nullptr)
        dragObject->HideDragImage();
    // The window is painted from a buffer of our own: the moved content is
    // painted again rather than copied.
    InvalidateRect(R, true);
    if (dragObject != nullptr)
        dragObject->ShowDragImage();
}

void TvlControl::PostMouseMove()
{
    if (HandleAllocated())
        PostMouseMove(ScreenToClient(Mouse->CursorPos()));
}

void TvlControl::PostMouseMove(const TPoint& P)
{
    if (HandleAllocated())
        PostMessage(Handle(), WM_MOUSEMOVE, 0, MakeLParam(P.X, P.Y));
}

TvlCanvas* TvlControl::GetActiveCanvas()
{
    // The window's canvas draws only while the window paints; outside a
    // paint the screen canvas measures for it.
    if (HandleAllocated() && FCanvas->Canvas()->HandleAllocated()) {
        FScreenCanvas.reset();
        return FCanvas.get();
    }
    if (FScreenCanvas == nullptr)
        FScreenCanvas = std::make_unique<TvlScreenCanvas>();
    return FScreenCanvas.get();
}

bool TvlControl::IsMouseInPressedArea(int X, int Y) const { return IsPointInDragDetectArea(FMouseDownPos, X, Y); }

void TvlControl::FocusChanged()
{
    if (OnFocusChanged)
        OnFocusChanged(this);
}

bool TvlControl::CanFocusOnClick() const
{
    return !ComponentState().Contains(csDesigning) && FFocusOnClick && CanFocus();
}

// Internal drag-and-drop: idle, pending (pressed where a drag may start),
// running; any way out ends in idle.
void TvlControl::SetDragAndDropState(TvlDragAndDropState Value)
{
    if (Value == FDragAndDropState)
        return;
    FDragAndDropState = Value;
    if (Value == ddsIdle && !FFinishingDragAndDrop)
        CancelMouseOperations();
}

std::unique_ptr<TvlDragAndDropObject> TvlControl::CreateDragAndDropObject()
{
    if (TvlDragAndDropObjectClass makeObject = GetDragAndDropObjectClass())
        return makeObject(this);
    return std::make_unique<TvlDragAndDropObject>(this);
}

TvlDragAndDropObject* TvlControl::GetDragAndDropObject()
{
    if (FDragAndDropObject == nullptr)
        FDragAndDropObject = CreateDragAndDropObject();
    return FDragAndDropObject.get();
}

void TvlControl::BeginDragAndDrop()
{
    GetDragAndDropObject()->DoBeginDragAndDrop();
    SetMouseCapture(this, true);
    FDragAndDropPrevCursor = Screen != nullptr ? Screen->Cursor() : crDefault;
    SetDragAndDropState(ddsRunning);
}

void TvlControl::DragAndDrop(const TPoint& P, bool& Accepted) { GetDragAndDropObject()->DoDragAndDrop(P, Accepted); }

void TvlControl::EndDragAndDrop(bool Accepted)
{
    SetDragAndDropState(ddsIdle);
    if (Screen != nullptr)
        Screen->SetCursor(FDragAndDropPrevCursor);
    SetMouseCapture(this, false);
    SetMouseCaptureObject(nullptr);
    GetDragAndDropObject()->DoEndDragAndDrop(Accepted);
}

void TvlControl::FinishDragAndDrop(bool Accepted)
{
    if (FFinishingDragAndDrop)
        return;
    FFinishingDragAndDrop = true;
    auto done = [this] {
        FDragAndDropObject.reset();
        FFinishingDragAndDrop = false;
    };
    try {
        if (FDragAndDropState == ddsRunning)
            EndDragAndDrop(Accepted);
        else
            SetDragAndDropState(ddsIdle);
    } catch (...) {
        done();
        throw;
    }
    done();
}

void TvlControl::CancelMouseOperations()
{
    FMouseButtonPressed = false;
    SetMouseCaptureObject(nullptr);
    SetMouseCapture(this, false);
}

void TvlControl::FinishMouseOperations()
{
    FinishDragAndDrop(true);
    SetMouseCaptureObject(nullptr);
}

void TvlControl::SetMouseCaptureObject(TObject* Value)
{
    if (Value == FMouseCaptureObject)
        return;
    const bool hadCapture = HasMouseCapture(this);
    if (auto* owner = dynamic_cast<IvlCaptureOwner*>(FMouseCaptureObject))
        owner->CaptureLost();
    FMouseCaptureObject = Value;
    SetMouseCapture(this, Value != nullptr);
    if (hadCapture && !HasMouseCapture(this) && FDragAndDropState == ddsPending)
        Perform(WM_CANCELMODE);
}

void TvlControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FMouseDownPos = Point(X, Y);
    const TvlObjectGuard link(this);
    if (CanFocusOnClick() && !Shift.Contains(ssDouble)) {
        if (!Focused())
            SetFocus();
        if (link.Destroyed())
            return;
        if (!IsFocused() && !AllowMouseDownWithoutFocus()) {
            SetMouseCapture(this, false);
            return;
        }
    }
    if (Button == mbLeft && !Shift.Contains(ssDouble) && StartDragAndDrop(Point(X, Y))) {
        if (GetDragAndDropObject()->GetImmediateStart())
            BeginDragAndDrop();
        else
            SetDragAndDropState(ddsPending);
    } else {
        FinishDragAndDrop(false);
    }
    if (!link.Destroyed())
        BeforeMouseDown(Button, Shift, X, Y);
    if (!link.Destroyed())
        TCustomControl::MouseDown(Button, Shift, X, Y);
    if (!link.Destroyed() && HasMouseCapture(this))
        FMouseButtonPressed = true;
}

void TvlControl::MouseMove(TShiftState Shift, int X, int Y)
{
    {
        // The cursor of the spot is shown; the default cursor stays.
        const TCursor saved = FDefaultCursor;
        if (const TCursor cursor = GetCurrentCursor(X, Y); cursor != Cursor())
            SetCursor(cursor);
        FDefaultCursor = saved;
    }
    TCustomControl::MouseMove(Shift, X, Y);
    if (FDragAndDropState == ddsPending && !IsMouseInPressedArea(X, Y))
        BeginDragAndDrop();
    if (FDragAndDropState == ddsRunning) {
        bool accepted = false;
        DragAndDrop(Point(X, Y), accepted);
    }
}

void TvlControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FMouseButtonPressed = false;
    FinishMouseOperations();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TvlControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS: case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        FocusChanged();
        return;
    case WM_CANCELMODE:
        TCustomControl::Dispatch(Message);
        FinishDragAndDrop(false);
        CancelMouseOperations();
        return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        // Any key ends an internal drag-and-drop, not accepted, and goes no
        // further.
        if (Message.Msg == WM_KEYDOWN && FDragAndDropState != ddsIdle) {
            FinishDragAndDrop(false);
            Message.Result = 1;
            return;
        }
        // The control hears of the key first as a notification of its own
        // (a menu shortcut ends it there).
        if (Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam) != 0) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: {
        const TvlObjectGuard link(this);
        TCustomControl::Dispatch(Message);
        if (link.Destroyed() || ComponentState().Contains(csDestroying))
            return;
        const TMouseButton button = Message.Msg == WM_LBUTTONDOWN ? mbLeft
                                  : Message.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
        const TPoint p = PointFromLParam(Message.LParam);
        AfterMouseDown(button, p.X, p.Y);
        return;
    }
    case WM_GETDLGCODE: {
        LRESULT codes = 0;
        if (FKeys.Contains(kAll)) codes |= DLGC_WANTALLKEYS;
        if (FKeys.Contains(kArrows)) codes |= DLGC_WANTARROWS;
        if (FKeys.Contains(kChars)) codes |= DLGC_WANTCHARS;
        if (FKeys.Contains(kTab) && !IsControlKeyDown()) codes |= DLGC_WANTTAB;
        Message.Result = codes;
        return;
    }
    case CM_VLSYSTEMMETRICS:
        systemMetricsChanged();
        return;
    case WM_NCCALCSIZE:
        TCustomControl::Dispatch(Message);
        // The frame changed: the scroll bars take the system's sizes again
        // once the change is through.
        if (HandleAllocated())
            PostMessage(Handle(), CM_VLSYSTEMMETRICS, 0, 0);
        return;
    case CM_FONTCHANGED: {
        TCustomControl::Dispatch(Message);
        // The listeners may remove themselves while being told.
        const std::vector<IvlFontChangeListener*> listeners = FFontListeners;
        for (IvlFontChangeListener* listener : listeners)
            if (std::find(FFontListeners.begin(), FFontListeners.end(), listener) != FFontListeners.end())
                listener->Changed(this, Font());
        Invalidate();
        return;
    }
    case WM_MOUSEWHEEL: {
        const TPoint p = PointFromLParam(Message.LParam);
        if (DoMouseWheel(KeysToShiftState(LoWord(Message.WParam)), int16_t(HiWord(Message.WParam)), p)) {
            Message.Result = 1;
            return;
        }
        break;
    }
    default:
        if (dispatchHooks(Message))
            return;
        break;
    }
    TCustomControl::Dispatch(Message);
}

namespace {

// A change of the window's style reaches the control as a frame change.
class TStyleChangeWatcher : public QObject {
public:
    TStyleChangeWatcher(TvlControl* AControl, QObject* AParent) : QObject(AParent), FControl(AControl) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::StyleChange)
            SafeCall([this] { FControl->Perform(WM_NCCALCSIZE, 0, 0); });
        return QObject::eventFilter(Watched, Event);
    }

private:
    TvlControl* FControl;
};

}  // namespace

void TvlControl::InitializeWidget()
{
    TCustomControl::InitializeWidget();
    QWidget* w = Widget();
    auto watcher = std::make_unique<TStyleChangeWatcher>(this, w);
    w->installEventFilter(watcher.get());
    watcher.release();  // the widget frees it with itself
}

void TvlControl::Paint()
{
    if (FBorderStyle == vlcbsDefault) {
        LookAndFeelPainter()->DrawBorder(FCanvas.get(), GetBounds());
        FCanvas->IntersectClipRect(GetClientBounds());
    }
    TCustomControl::Paint();
}

void TvlControl::AddFontListener(IvlFontChangeListener* AListener)
{
    if (AListener != nullptr)
        FFontListeners.push_back(AListener);
}

void TvlControl::RemoveFontListener(IvlFontChangeListener* AListener) { std::erase(FFontListeners, AListener); }

void TvlControl::AddChildComponent(TvlControlChildComponent* AComponent) { AComponent->SetControl(this); }

void TvlControl::RemoveChildComponent(TvlControlChildComponent* AComponent) { AComponent->SetControl(nullptr); }

// ------------------------------------------------------- child component

TvlControlChildComponent::TvlControlChildComponent(TComponent* AOwner) : TvlComponent(AOwner) { Initialize(); }

TvlControlChildComponent::~TvlControlChildComponent()
{
    if (FControl != nullptr)
        FControl->RemoveChildComponent(this);
}

void TvlControlChildComponent::SetParentComponent(TComponent* Value)
{
    if (auto* control = dynamic_cast<TvlControl*>(Value))
        control->AddChildComponent(this);
}

// ------------------------------------------------------------ popup menus

int GetPopupMenuHeight(TPopupMenu* APopupMenu)
{
    if (APopupMenu == nullptr)
        return 4;
    TvlScreenCanvas canvas;
    const TNonClientFont menuFont = GetNonClientMetrics().lfMenuFont;
    TFont font;
    font.SetName(String::fromLatin1(menuFont.Name));
    font.SetHeight(menuFont.Height);
    canvas.SetFont(&font);
    const int itemHeight = canvas.TextHeight(QStringLiteral("Qg")) + 4;
    int column = 0, result = 0;
    const TMenuItem* items = APopupMenu->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (!item->Visible())
            continue;
        int height = itemHeight;
        if (APopupMenu->OwnerDraw() || item->HasImage()) {
            int width = 0;
            item->MeasureItem(canvas.Canvas(), width, height);
        }
        if (item->Break() != mbNone) {
            result = std::max(result, column);
            column = 0;
        }
        column += height;
    }
    return std::max(result, column) + 4;
}

bool IsPopupMenuShortCut(TComponent* APopupMenu, TMessage& Message)
{
    if (APopupMenu == nullptr)
        return false;
    if (auto* support = dynamic_cast<IvlPopupMenuSupport*>(APopupMenu))
        return support->IsShortCut(Message);
    if (auto* menu = dynamic_cast<TPopupMenu*>(APopupMenu))
        return menu->IsShortCut(Message);
    return false;
}

bool ShowPopupMenu(TControl* AControl, TComponent* AMenu, int X, int Y)
{
    if (AMenu == nullptr)
        return false;
    if (auto* support = dynamic_cast<IvlPopupMenuSupport*>(AMenu)) {
        support->Popup(X, Y);
        return true;
    }
    if (auto* menu = dynamic_cast<TPopupMenu*>(AMenu); menu != nullptr && menu->AutoPopup()) {
        menu->SetPopupComponent(AControl);
        menu->Popup(X, Y);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- services

String RemoveAccelChars(const String& S, bool AAppendUnderscore)
{
    String result;
    result.reserve(S.size());
    for (qsizetype i = 0; i < S.size(); ++i) {
        if (S[i] != u'&') {
            result += S[i];
            continue;
        }
        if (i + 1 < S.size())
            result += S[++i];  // the character after the mark, whatever it is
        else if (AAppendUnderscore)
            result += u'_';
    }
    return result;
}

bool IsTextChar(QChar Ch) { return Ch.category() != QChar::Other_Control; }

bool IsEditStartChar(QChar Ch) { return IsTextChar(Ch) || Ch.unicode() == 8 || Ch.unicode() == 22 || Ch.unicode() == 24; }

bool IsIncSearchStartChar(QChar Ch) { return IsTextChar(Ch) || Ch.unicode() == 8; }

bool IsNumericChar(QChar Ch, int ANumberKind)
{
    if (Ch == u'-' || Ch == u'+' || Ch.isDigit())
        return true;
    if (ANumberKind >= 1 && Ch == DefaultFormatSettings().DecimalSeparator)
        return true;
    return ANumberKind == 2 && (Ch == u'e' || Ch == u'E');
}

bool IsSysKey(uint16_t Key)
{
    switch (Key) {
    case 3: case 8: case 9: case 12: case 13: case 27: case 229: return true;
    default: break;
    }
    return (Key >= 16 && Key <= 20) || (Key >= 33 && Key <= 47) || (Key >= 91 && Key <= 145)
        || (Key >= 160 && Key <= 165) || (Key >= 246 && Key <= 254);
}

bool ShiftStateMoveOnly(TShiftState Shift)
{
    for (TShiftStateItem i : {ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble})
        if (Shift.Contains(i))
            return false;
    return true;
}

bool ShiftStateLeftOnly(TShiftState Shift, bool CanIncludeDouble)
{
    if (!Shift.Contains(ssLeft))
        return false;
    for (TShiftStateItem i : {ssShift, ssAlt, ssCtrl, ssRight, ssMiddle})
        if (Shift.Contains(i))
            return false;
    return CanIncludeDouble || !Shift.Contains(ssDouble);
}

WPARAM ShiftStateToKeys(TShiftState Shift)
{
    WPARAM keys = 0;
    if (Shift.Contains(ssShift)) keys |= MK_SHIFT;
    if (Shift.Contains(ssCtrl)) keys |= MK_CONTROL;
    if (Shift.Contains(ssLeft)) keys |= MK_LBUTTON;
    if (Shift.Contains(ssRight)) keys |= MK_RBUTTON;
    if (Shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
    return keys;
}

bool IsPointInDragDetectArea(const TPoint& MouseDownPos, int X, int Y)
{
    return std::abs(X - MouseDownPos.X) < Mouse->DragThreshold() && std::abs(Y - MouseDownPos.Y) < Mouse->DragThreshold();
}

void GetDesktopWorkArea(const TPoint& P, TRect& R) { R = GetMonitorWorkArea(P); }

void MakeVisibleOnDesktop(TRect& Bounds, const TPoint& P)
{
    TRect w;
    GetDesktopWorkArea(P, w);
    if (Bounds.Right > w.Right)
        OffsetRect(Bounds, w.Right - Bounds.Right, 0);
    if (Bounds.Bottom > w.Bottom)
        OffsetRect(Bounds, 0, w.Bottom - Bounds.Bottom);
    if (Bounds.Left < w.Left)
        OffsetRect(Bounds, w.Left - Bounds.Left, 0);
    if (Bounds.Top < w.Top)
        OffsetRect(Bounds, 0, w.Top - Bounds.Top);
}

// ---------------------------------------------------------- unit globals

namespace {

// The real clock: one toolkit timer per running timer, delivering WM_TIMER.
class TSystemTimerClock : public IvlTimerClock {
public:
    bool StartTimer(HWND Wnd, uintptr_t Id, unsigned Interval) override
    {
        auto timer = std::make_unique<QTimer>();
        timer->setInterval(int(std::min<unsigned>(Interval, unsigned(std::numeric_limits<int>::max()))));
        QObject::connect(timer.get(), &QTimer::timeout,
                         [Wnd, Id] { SafeCall([&] { SendMessage(Wnd, WM_TIMER, Id, 0); }); });
        timer->start();
        FTimers[{Wnd, Id}] = std::move(timer);
        return true;
    }
    void StopTimer(HWND Wnd, uintptr_t Id) override { FTimers.erase({Wnd, Id}); }

private:
    std::map<std::pair<HWND, uintptr_t>, std::unique_ptr<QTimer>> FTimers;
};

// The unit's process-wide objects, made on first use and freed by the
// unit's finalization.
struct TUnitState {
    bool Finalized = false;
    std::unique_ptr<TvlMessageWindow> MessageWindow;
    std::unique_ptr<TvlTimerWindow> TimerWindow;
    std::unique_ptr<std::set<uintptr_t>> TimerList;
    std::unique_ptr<TSystemTimerClock> SystemClock;
    IvlTimerClock* Clock = nullptr;
    std::vector<std::unique_ptr<TMouseTrackingTimer>> MouseTrackingList;
    int HourglassCount = 0;
    TCursor HourglassSavedCursor = crDefault;
};

TUnitState& unitState()
{
    static TUnitState s;
    return s;
}

std::set<uintptr_t>* getTimerList()
{
    TUnitState& s = unitState();
    if (s.TimerList == nullptr && !s.Finalized)
        s.TimerList = std::make_unique<std::set<uintptr_t>>();
    return s.TimerList.get();
}

}  // namespace

// ---------------------------------------------------------- message window

TvlMessageWindow::TvlMessageWindow()
    : FWindow(AllocateHWnd(TWndMethod(this, &TvlMessageWindow::windowProc)))
{
    FHandle = FWindow->ReceiverHandle();
}

TvlMessageWindow::~TvlMessageWindow() = default;

TvlMessageWindow* GetMessageWindow()
{
    TUnitState& s = unitState();
    if (s.MessageWindow == nullptr && !s.Finalized)
        s.MessageWindow = std::make_unique<TvlMessageWindow>();
    return s.MessageWindow.get();
}

// ------------------------------------------------------------------- timer

void SetTimerClock(IvlTimerClock* AClock) { unitState().Clock = AClock; }

IvlTimerClock* GetTimerClock()
{
    TUnitState& s = unitState();
    if (s.Clock != nullptr)
        return s.Clock;
    if (s.SystemClock == nullptr)
        s.SystemClock = std::make_unique<TSystemTimerClock>();
    return s.SystemClock.get();
}

TvlTimerWindow* GetTimerWindow()
{
    TUnitState& s = unitState();
    if (s.TimerWindow == nullptr && !s.Finalized)
        s.TimerWindow = std::make_unique<TvlTimerWindow>();
    return s.TimerWindow.get();
}

void TvlTimerWindow::WndProc(TMessage& Message)
{
    if (Message.Msg != WM_TIMER) {
        TvlMessageWindow::WndProc(Message);
        return;
    }
    // Only ids of running timers are dispatched: a tick of a timer stopped
    // or freed meanwhile is dropped.
    const std::set<uintptr_t>* list = unitState().TimerList.get();
    if (list != nullptr && list->contains(Message.WParam))
        reinterpret_cast<TvlTimer*>(Message.WParam)->TimeOut();
}

TvlTimer::TvlTimer(TComponent* AOwner) : TComponent(AOwner) {}

TvlTimer::~TvlTimer() { stop(); }

void TvlTimer::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    restart();
}

void TvlTimer::SetInterval(unsigned Value)
{
    if (Value == 0 || Value == FInterval)
        return;
    FInterval = Value;
    restart();
}

void TvlTimer::SetOnTimer(const TNotifyEvent& Value)
{
    FOnTimer = Value;
    restart();
}

void TvlTimer::TimeOut()
{
    if (FOnTimer)
        FOnTimer(this);
}

void TvlTimer::restart()
{
    stop();
    start();
}

void TvlTimer::start()
{
    if (!canStart())
        return;
    TvlTimerWindow* window = GetTimerWindow();
    if (window == nullptr)
        return;  // after the unit's end no timer runs
    setRunning(GetTimerClock()->StartTimer(window->Handle(), EventID(), FInterval));
}

void TvlTimer::stop()
{
    if (!FRunning)
        return;
    if (TvlTimerWindow* window = GetTimerWindow())
        GetTimerClock()->StopTimer(window->Handle(), EventID());
    setRunning(false);
}

void TvlTimer::setRunning(bool Value)
{
    if (Value == FRunning)
        return;
    FRunning = Value;
    if (std::set<uintptr_t>* list = getTimerList()) {
        if (Value)
            list->insert(EventID());
        else
            list->erase(EventID());
    }
}

// ------------------------------------------------------------ popup window

TvlPopupWindow::TvlPopupWindow()
    : TForm(nullptr), FPaintCanvas(std::make_unique<TCanvas>()), FCanvas(std::make_unique<TvlCanvas>(FPaintCanvas.get()))
{
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    if (HandleAllocated())
        UpdateWidget();  // made before this kind's flags were known
}

TvlPopupWindow::~TvlPopupWindow() { Destroying(); }

void TvlPopupWindow::GetClientBounds(TRect& R) const
{
    R = ClientRect();
    R.Left += GetBorderWidth(0);
    R.Top += GetBorderWidth(1);
    R.Right -= GetBorderWidth(2);
    R.Bottom -= GetBorderWidth(3);
}

void TvlPopupWindow::PaintWindow(HDC DC)
{
    FPaintCanvas->SetHandle(DC);
    FPaintCanvas->Font()->Assign(Font());
    FPaintCanvas->Brush()->SetColor(Color());
    try {
        TForm::PaintWindow(DC);
        Paint();
        DrawFrame();
    } catch (...) {
        FPaintCanvas->SetHandle(nullptr);
        throw;
    }
    FPaintCanvas->SetHandle(nullptr);
}

void TvlPopupWindow::DrawFrame()
{
    const TRect r = Rect(0, 0, Width(), Height());
    switch (FBorderStyle) {
    case 1:
        FCanvas->FrameRect(r, FrameColor);
        break;
    case 2:
        FCanvas->DrawEdge(r, false, false);
        break;
    case 3: {
        FCanvas->DrawEdge(r, false, true);
        TRect inner = r;
        InflateRect(inner, -1, -1);
        FCanvas->DrawEdge(inner, false, false);
        break;
    }
    default:
        break;
    }
}

void TvlPopupWindow::Dispatch(TMessage& Message)
{
    TForm::Dispatch(Message);
    // Losing the activation, inside the program or to another one, closes
    // the popup.
    if (Message.Msg == WM_ACTIVATE && LoWord(Message.WParam) == WA_INACTIVE && Visible())
        Deactivate();
}

void TvlPopupWindow::SetPopupBorderStyle(TvlPopupBorderStyle Value)
{
    restoreControlsBounds();
    FBorderStyle = Value;
}

int TvlPopupWindow::GetFrameWidth() const
{
    switch (FBorderStyle) {
    case 1: case 2: return 1;
    case 3: return 2;
    default: return 0;
    }
}

void TvlPopupWindow::restoreControlsBounds()
{
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() - GetBorderWidth(0), c->Top() - GetBorderWidth(1), c->Width(), c->Height());
    }
}

void TvlPopupWindow::CalculateSize()
{
    if (!Adjustable)
        return;
    int maxRight = 0, maxBottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        const TRect b = c->BoundsRect();
        maxRight = std::max(maxRight, b.Right);
        maxBottom = std::max(maxBottom, b.Bottom);
        c->SetBounds(c->Left() + GetBorderWidth(0), c->Top() + GetBorderWidth(1), c->Width(), c->Height());
    }
    if (maxRight != 0 || ControlCount() > 0) {
        SetWidth(GetBorderWidth(0) + maxRight + GetBorderWidth(2));
        SetHeight(GetBorderWidth(1) + maxBottom + GetBorderWidth(3));
    }
}

void TvlPopupWindow::GetOwnerScreenBounds(TRect& R) const
{
    const TPoint topLeft = OwnerParent->ClientToScreen(OwnerBounds.TopLeft());
    const TPoint bottomRight = OwnerParent->ClientToScreen(OwnerBounds.BottomRight());
    R = Rect(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
}

void TvlPopupWindow::InitPopup()
{
    if (OwnerParent != nullptr)
        SetFont(OwnerParent->Font());
}

void TvlPopupWindow::Popup()
{
    InitPopup();
    CalculateSize();
    TPoint p;
    CalculatePosition(p);
    SetLeft(p.X);
    CalculatePosition(p);
    SetTop(p.Y);
    Show();
}

void TvlPopupWindow::CalculatePosition(TPoint& P)
{
    TvlPopupHorzAlignment horz = AlignHorz;
    TvlPopupVertAlignment vert = AlignVert;
    TRect o;
    GetOwnerScreenBounds(o);
    const int w = Width(), h = Height();
    TPoint d;
    if (horz == phaCenter)
        P.X = d.X = (o.Left + o.Right - w) / 2;
    if (vert == pvaCenter)
        P.Y = d.Y = (o.Top + o.Bottom - h) / 2;
    auto place = [&] {
        if (Direction == podVertical) {
            if (horz == phaLeft) { P.X = o.Left; d.X = o.Left; }
            if (horz == phaRight) { P.X = o.Right - w; d.X = o.Right; }
            if (vert == pvaTop) { P.Y = o.Top - h; d.Y = o.Top; }
            if (vert == pvaBottom) { P.Y = o.Bottom; d.Y = o.Bottom; }
        } else {
            if (horz == phaLeft) { P.X = o.Left - w; d.X = o.Left; }
            if (horz == phaRight) { P.X = o.Right; d.X = o.Right; }
            if (vert == pvaTop) { P.Y = o.Top; d.Y = o.Top; }
            if (vert == pvaBottom) { P.Y = o.Bottom - h; d.Y = o.Bottom; }
        }
    };
    place();
    TRect wa;
    GetDesktopWorkArea(d, wa);
    const bool moreRoomLeft = o.Left - wa.Left > wa.Right - o.Right;
    const bool moreRoomTop = o.Top - wa.Top > wa.Bottom - o.Bottom;
    if (Direction == podHorizontal) {
        if (horz == phaRight && P.X + w > wa.Right && moreRoomLeft)
            horz = phaLeft;
        else if (horz == phaLeft && P.X < wa.Left && !moreRoomLeft)
            horz = phaRight;
    } else {
        if (vert == pvaBottom && P.Y + h > wa.Bottom && moreRoomTop)
            vert = pvaTop;
        else if (vert == pvaTop && P.Y < wa.Top && !moreRoomTop)
            vert = pvaBottom;
    }
    place();
    if (Direction == podVertical || horz == phaCenter) {
        if (P.X + w > wa.Right)
            P.X = wa.Right - w;
        if (P.X < wa.Left)
            P.X = wa.Left;
    }
    if (Direction == podHorizontal || vert == pvaCenter) {
        if (P.Y + h > wa.Bottom)
            P.Y = wa.Bottom - h;
        if (P.Y < wa.Top)
            P.Y = wa.Top;
    }
}

// ---------------------------------------------------------- mouse tracking

TMouseTrackingTimer::TMouseTrackingTimer(TComponent* AOwner) : TvlTimer(AOwner)
{
    SetInterval(10);
    SetOnTimer(TNotifyEvent(this, &TMouseTrackingTimer::tick));
}

namespace {

bool isEnabledWithParents(const TControl* C)
{
    for (; C != nullptr; C = C->Parent())
        if (!C->Enabled())
            return false;
    return true;
}

}  // namespace

void TMouseTrackingTimer::tick(TObject*)
{
    const TPoint pos = Mouse->CursorPos();
    const bool window = Control != nullptr && Control->HandleAllocated();
    bool inside;
    if (auto* ex = dynamic_cast<IvlMouseTrackingCallerEx*>(Caller))
        inside = window && ex->ContainsPoint(Control->ScreenToClient(pos));
    else
        inside = Bounds.Contains(pos);
    const bool gone = !window || !isEnabledWithParents(Control);
    if (inside && !gone)
        return;
    IvlMouseTrackingCaller* caller = Caller;
    if (window && (!Control->ClientRect().Contains(Control->ScreenToClient(pos)) || gone))
        Control->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(Control));
    caller->MouseLeave();
    EndMouseTracking(caller);  // frees this timer: nothing after it
}

void BeginMouseTracking(TWinControl* AControl, const TRect& ABounds, IvlMouseTrackingCaller* ACaller)
{
    TUnitState& s = unitState();
    if (s.Finalized || ACaller == nullptr || IsCallerMouseTracked(ACaller))
        return;
    auto timer = std::make_unique<TMouseTrackingTimer>(nullptr);
    timer->Control = AControl;
    TRect r = ABounds;
    if (AControl != nullptr) {
        const TPoint origin = AControl->ClientToScreen(TPoint{0, 0});
        OffsetRect(r, origin.X, origin.Y);
    }
    timer->Bounds = r;
    timer->Caller = ACaller;
    s.MouseTrackingList.push_back(std::move(timer));
}

void EndMouseTracking(IvlMouseTrackingCaller* ACaller)
{
    auto& list = unitState().MouseTrackingList;
    const auto it = std::find_if(list.begin(), list.end(), [ACaller](const auto& t) { return t->Caller == ACaller; });
    if (it == list.end())
        return;
    const std::unique_ptr<TMouseTrackingTimer> timer = std::move(*it);
    list.erase(it);
}

bool IsCallerMouseTracked(IvlMouseTrackingCaller* ACaller) { return FindMouseTrackingTimer(ACaller) != nullptr; }

TMouseTrackingTimer* FindMouseTrackingTimer(IvlMouseTrackingCaller* ACaller)
{
    const TUnitState& s = unitState();
    if (s.Finalized)
        return nullptr;
    for (const auto& t : s.MouseTrackingList)
        if (t->Caller == ACaller)
            return t.get();
    return nullptr;
}

// ---------------------------------------------------------------- hourglass

void ShowHourglassCursor()
{
    TUnitState& s = unitState();
    if (s.HourglassCount++ == 0 && Screen != nullptr) {
        s.HourglassSavedCursor = Screen->Cursor();
        Screen->SetCursor(crHourGlass);
    }
}

void HideHourglassCursor()
{
    TUnitState& s = unitState();
    if (s.HourglassCount == 0)
        return;
    if (--s.HourglassCount == 0 && Screen != nullptr)
        Screen->SetCursor(s.HourglassSavedCursor);
}

// ---------------------------------------------------------------- cursors

namespace {

// Our own pictures: a pointer with a mark for each use, or a four-way arrow
// for the scrolling ones.
QCursor makeCursor(TCursor Value)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    QPoint hotSpot(0, 0);
    const bool scrolling = Value >= crvlFullScroll && Value <= crvlLeftScroll;
    if (scrolling) {
        hotSpot = QPoint(15, 15);
        p.drawEllipse(QRect(12, 12, 6, 6));
        auto arrow = [&p](QPoint a, QPoint b, QPoint c) { p.drawPolygon(QPolygon({a, b, c})); };
        const bool up = Value == crvlFullScroll || Value == crvlVerScroll || Value == crvlUpScroll;
        const bool down = Value == crvlFullScroll || Value == crvlVerScroll || Value == crvlDownScroll;
        const bool left = Value == crvlFullScroll || Value == crvlHorScroll || Value == crvlLeftScroll;
        const bool right = Value == crvlFullScroll || Value == crvlHorScroll || Value == crvlRightScroll;
        if (up) arrow({15, 2}, {10, 9}, {20, 9});
        if (down) arrow({15, 28}, {10, 21}, {20, 21});
        if (left) arrow({2, 15}, {9, 10}, {9, 20});
        if (right) arrow({28, 15}, {21, 10}, {21, 20});
    } else {
        p.drawPolygon(QPolygon({{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}}));
        const QRect mark(16, 18, 12, 10);
        switch (Value) {
        case crvlDragCopy: case crvlMultiDragCopy:
            p.drawRect(mark);
            p.drawLine(22, 20, 22, 26);
            p.drawLine(19, 23, 25, 23);
            break;
        case crvlRemove: case crvlNoDrop:
            p.drawEllipse(mark);
            p.drawLine(mark.topLeft(), mark.bottomRight());
            break;
        case crvlVertSize: hotSpot = QPoint(15, 15); p.drawLine(15, 4, 15, 26); break;
        case crvlHorzSize: hotSpot = QPoint(15, 15); p.drawLine(4, 15, 26, 15); break;
        default: p.drawRect(mark); break;
        }
        if (Value == crvlMultiDrag || Value == crvlMultiDragCopy)
            p.drawRect(mark.translated(-3, -3));
    }
    p.end();
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

void registerCursors()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return;  // pictures need the window system
    for (TCursor c = crvlDragCopy; c <= crvlDrag; ++c)
        RegisterScreenCursor(c, makeCursor(c));
    RegisterScreenCursor(crvlHandPoint, QCursor(Qt::PointingHandCursor));
    RegisterScreenCursor(crvlColorPicker, makeCursor(crvlColorPicker));
    RegisterScreenCursor(crvlMultiDragCopy, makeCursor(crvlMultiDragCopy));
}

void finalizeUnit()
{
    TUnitState& s = unitState();
    s.Finalized = true;
    // Every caller should have ended its tracking by now. One left over is
    // a programming error, but the rest of the shut-down must still run.
    if (!s.MouseTrackingList.empty()) {
        qWarning("vlControls: MouseTrackingTimerList.Count <> 0 (%d left)", int(s.MouseTrackingList.size()));
        assert(s.MouseTrackingList.empty() && "MouseTrackingTimerList.Count <> 0");
        s.MouseTrackingList.clear();
    }
    s.TimerWindow.reset();
    s.TimerList.reset();
    s.MessageWindow.reset();
    s.SystemClock.reset();
}

}  // namespace

// -------------------------------------------------------------------- unit

void AddvlControlsUnit(TStartupList& AList)
{
    AList.Add(
        String::fromLatin1("vlControls"),
        [] {
            unitState().Finalized = false;
            registerCursors();
        },
        finalizeUnit);
}
