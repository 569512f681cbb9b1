#include "ui/foundation/vlControls.h"

#include <algorithm>

#include <QTimer>
#include <limits>
#include <map>
#include <set>

#include "platform/graphics/SysMetrics.h"

// ---------------------------------------------------------------- control

TvlControl::TvlControl(TComponent* AOwner) : TCustomControl(AOwner), FLookAndFeel(std::make_unique<TvlLookAndFeel>(this))
{
    FLookAndFeel->OnChanged = TvlLookAndFeelNotifyEvent(this, &TvlControl::lookAndFeelChanged);
    FControlStyle.Include(csDoubleClicks);
    FControlStyle.Include(csCaptureMouse);
    FControlStyle.Include(csClickEvents);
    SetTabStop(true);
}

TvlControl::~TvlControl() = default;

void TvlControl::lookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues) { LookAndFeelChanged(); }

void TvlControl::SetBorderStyle(TvlControlBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    Invalidate();
}

int TvlControl::BorderSize() const
{
    return FBorderStyle == vlcbsNone ? 0 : LookAndFeelPainter()->BorderSize();
}

TRect TvlControl::GetClientBounds() const
{
    TRect r = ClientRect();
    InflateRect(r, -BorderSize(), -BorderSize());
    if (FVScroll.Visible)
        r.Right = std::max(r.Left, r.Right - GetSystemMetrics(SM_CXVSCROLL));
    return r;
}

TRect TvlControl::GetVScrollBarBounds() const
{
    if (!FVScroll.Visible)
        return {};
    TRect r = ClientRect();
    InflateRect(r, -BorderSize(), -BorderSize());
    r.Left = std::max(r.Left, r.Right - GetSystemMetrics(SM_CXVSCROLL));
    return r;
}

void TvlControl::SetVScrollBarParams(bool AVisible, int AMin, int AMax, int APageSize, int APosition)
{
    TScrollState s;
    s.Visible = AVisible;
    s.Min = AMin;
    s.Max = std::max(AMin, AMax);
    s.PageSize = std::clamp(APageSize, 1, s.Max - s.Min + 1);
    s.Position = std::clamp(APosition, s.Min, s.Max - s.PageSize + 1);
    if (s.Visible == FVScroll.Visible && s.Min == FVScroll.Min && s.Max == FVScroll.Max
        && s.PageSize == FVScroll.PageSize && s.Position == FVScroll.Position)
        return;
    FVScroll = s;
    Invalidate();
}

TRect TvlControl::thumbBounds() const
{
    const TRect bar = GetVScrollBarBounds();
    const int button = std::min(GetSystemMetrics(SM_CYVSCROLL), bar.Height() / 2);
    const int trackTop = bar.Top + button, trackLength = bar.Height() - 2 * button;
    const int range = FVScroll.Max - FVScroll.Min + 1;
    if (trackLength <= 0 || range <= FVScroll.PageSize)
        return {};
    const int thumb = std::max(8, int(int64_t(trackLength) * FVScroll.PageSize / range));
    if (thumb >= trackLength)
        return {};
    const int top = trackTop + int(int64_t(trackLength - thumb) * (FVScroll.Position - FVScroll.Min)
                                   / (range - FVScroll.PageSize));
    return Rect(bar.Left, top, bar.Right, top + thumb);
}

TvlControl::TScrollPart TvlControl::scrollPartAt(TPoint P) const
{
    const TRect bar = GetVScrollBarBounds();
    if (!bar.Contains(P))
        return spNone;
    const int button = std::min(GetSystemMetrics(SM_CYVSCROLL), bar.Height() / 2);
    if (P.Y < bar.Top + button)
        return spLineUp;
    if (P.Y >= bar.Bottom - button)
        return spLineDown;
    const TRect thumb = thumbBounds();
    if (thumb.IsEmpty())
        return spNone;
    if (P.Y < thumb.Top)
        return spPageUp;
    if (P.Y >= thumb.Bottom)
        return spPageDown;
    return spThumb;
}

bool TvlControl::handleScrollMouse(TMessage& Message)
{
    const TPoint p = PointFromLParam(Message.LParam);
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
        const TScrollPart part = scrollPartAt(p);
        if (part == spNone)
            return GetVScrollBarBounds().Contains(p);
        FPressedPart = part;
        int pos = FVScroll.Position;
        switch (part) {
        case spLineUp: Scroll(sbVertical, scLineUp, pos); break;
        case spLineDown: Scroll(sbVertical, scLineDown, pos); break;
        case spPageUp: Scroll(sbVertical, scPageUp, pos); break;
        case spPageDown: Scroll(sbVertical, scPageDown, pos); break;
        case spThumb: FThumbGrabOffset = p.Y - thumbBounds().Top; break;
        case spNone: break;
        }
        Invalidate();
        return true;
    }
    case WM_MOUSEMOVE: {
        if (FPressedPart != spThumb)
            return false;
        const TRect bar = GetVScrollBarBounds();
        const TRect thumb = thumbBounds();
        const int button = std::min(GetSystemMetrics(SM_CYVSCROLL), bar.Height() / 2);
        const int free = bar.Height() - 2 * button - thumb.Height();
        if (free <= 0)
            return true;
        const int offset = std::clamp(p.Y - FThumbGrabOffset - (bar.Top + button), 0, free);
        const int range = FVScroll.Max - FVScroll.Min + 1 - FVScroll.PageSize;
        int pos = FVScroll.Min + int((int64_t(offset) * range + free / 2) / free);
        Scroll(sbVertical, scTrack, pos);
        return true;
    }
    case WM_LBUTTONUP: {
        if (FPressedPart == spNone)
            return false;
        FPressedPart = spNone;
        int pos = FVScroll.Position;
        Scroll(sbVertical, scEndScroll, pos);
        Invalidate();
        return true;
    }
    default:
        return false;
    }
}

void TvlControl::Scroll(TScrollBarKind, TScrollCode, int&) {}

void TvlControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE: case WM_LBUTTONUP:
        if (FVScroll.Visible || FPressedPart != spNone) {
            if (handleScrollMouse(Message))
                return;
        }
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TvlControl::Paint()
{
    FCanvas = std::make_unique<TvlCanvas>(TCustomControl::Canvas());
    if (BorderSize() > 0)
        LookAndFeelPainter()->DrawBorder(FCanvas.get(), ClientRect());
    if (FVScroll.Visible)
        paintScrollBar();
    FCanvas->SaveClipRegion();
    FCanvas->IntersectClipRect(GetClientBounds());
    PaintContent();
    FCanvas->RestoreClipRegion();
    FCanvas.reset();
}

void TvlControl::paintScrollBar()
{
    const TvlCustomLookAndFeelPainter* painter = LookAndFeelPainter();
    const TRect bar = GetVScrollBarBounds();
    const int button = std::min(GetSystemMetrics(SM_CYVSCROLL), bar.Height() / 2);
    const TRect track = Rect(bar.Left, bar.Top + button, bar.Right, bar.Bottom - button);
    const TvlButtonState normal = Enabled() ? vlbsNormal : vlbsDisabled;
    painter->DrawScrollBarPart(FCanvas.get(), false, Rect(bar.Left, bar.Top, bar.Right, bar.Top + button), sbpLineUp,
                               FPressedPart == spLineUp ? vlbsPressed : normal);
    painter->DrawScrollBarPart(FCanvas.get(), false, Rect(bar.Left, bar.Bottom - button, bar.Right, bar.Bottom),
                               sbpLineDown, FPressedPart == spLineDown ? vlbsPressed : normal);
    if (const TRect thumb = thumbBounds(); !thumb.IsEmpty()) {
        painter->DrawScrollBarPart(FCanvas.get(), false, Rect(track.Left, track.Top, track.Right, thumb.Top),
                                   sbpPageUp, normal);
        painter->DrawScrollBarPart(FCanvas.get(), false, Rect(track.Left, thumb.Bottom, track.Right, track.Bottom),
                                   sbpPageDown, normal);
        painter->DrawScrollBarPart(FCanvas.get(), false, thumb, sbpThumbnail, normal);
    } else
        painter->DrawScrollBarBackground(FCanvas.get(), track, false);
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
