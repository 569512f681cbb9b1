#include "ui/foundation/vlControls.h"

#include <algorithm>

#include <QTimer>
#include <limits>
#include <map>
#include <set>

#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vlClasses.h"

namespace {

// A weak link held across a call that may free the object.
class TLinkGuard {
public:
    explicit TLinkGuard(TObject* AObject) : FLink(AddObjectLink(AObject)) {}
    ~TLinkGuard() { RemoveObjectLink(FLink); }
    TLinkGuard(const TLinkGuard&) = delete;
    TLinkGuard& operator=(const TLinkGuard&) = delete;
    bool Destroyed() const { return FLink->Ref == nullptr; }

private:
    TvlObjectLink* FLink;
};

}  // namespace

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
        const TLinkGuard link(this);
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
}

TvlControl::~TvlControl()
{
    Destroying();
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

bool TvlControl::IsMouseInPressedArea(int X, int Y) const
{
    return std::abs(X - FMouseDownPos.X) < Mouse->DragThreshold()
        && std::abs(Y - FMouseDownPos.Y) < Mouse->DragThreshold();
}

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

void TvlControl::BeginDragAndDrop()
{
    SetMouseCapture(this, true);
    SetDragAndDropState(ddsRunning);
}

void TvlControl::EndDragAndDrop(bool)
{
    SetDragAndDropState(ddsIdle);
    SetMouseCapture(this, false);
}

void TvlControl::FinishDragAndDrop(bool Accepted)
{
    if (FFinishingDragAndDrop)
        return;
    FFinishingDragAndDrop = true;
    try {
        if (FDragAndDropState == ddsRunning)
            EndDragAndDrop(Accepted);
        else
            SetDragAndDropState(ddsIdle);
    } catch (...) {
        FFinishingDragAndDrop = false;
        throw;
    }
    FFinishingDragAndDrop = false;
}

void TvlControl::CancelMouseOperations() { SetMouseCapture(this, false); }

void TvlControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FMouseDownPos = Point(X, Y);
    const TLinkGuard link(this);
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
    if (Button == mbLeft && !Shift.Contains(ssDouble) && StartDragAndDrop(Point(X, Y)))
        SetDragAndDropState(ddsPending);
    else
        FinishDragAndDrop(false);
    if (!link.Destroyed())
        TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TvlControl::MouseMove(TShiftState Shift, int X, int Y)
{
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
    FinishDragAndDrop(true);
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
    case WM_KEYDOWN:
        // Any key ends an internal drag-and-drop, not accepted, and goes no
        // further.
        if (FDragAndDropState != ddsIdle) {
            FinishDragAndDrop(false);
            Message.Result = 1;
            return;
        }
        break;
    case WM_MOUSEWHEEL: {
        const TPoint p = PointFromLParam(Message.LParam);
        if (DoMouseWheel(KeysToShiftState(LoWord(Message.WParam)), int16_t(HiWord(Message.WParam)), p)) {
            Message.Result = 1;
            return;
        }
        break;
    }
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TvlControl::Paint()
{
    if (FBorderStyle == vlcbsDefault) {
        LookAndFeelPainter()->DrawBorder(FCanvas.get(), GetBounds());
        FCanvas->IntersectClipRect(GetClientBounds());
    }
    TCustomControl::Paint();
}

String RemoveAccelChars(const String& S)
{
    String result;
    result.reserve(S.size());
    for (qsizetype i = 0; i < S.size(); ++i) {
        if (S[i] == u'&') {
            if (i + 1 < S.size() && S[i + 1] == u'&')
                result += u'&';
            else
                continue;
            ++i;
            continue;
        }
        result += S[i];
    }
    return result;
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

// -------------------------------------------------------------------- unit

void AddvlControlsUnit(TStartupList& AList)
{
    AList.Add(
        String::fromLatin1("vlControls"), [] { unitState().Finalized = false; },
        [] {
            TUnitState& s = unitState();
            s.Finalized = true;
            s.TimerWindow.reset();
            s.TimerList.reset();
            s.MessageWindow.reset();
            s.SystemClock.reset();
        });
}
