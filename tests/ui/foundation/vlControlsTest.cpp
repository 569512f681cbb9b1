// Tests of the control unit: the timer rules on a clock advanced by hand, and
// the base control's scroll bars, wheel and internal drag on a scripted control.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>

#include "ControlFixtures.h"
#include "platform/controls/Forms.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vlControls.h"

namespace {

struct Timers : ::testing::Test {
    Timers()
    {
        AddvlControlsUnit(Units);
        Units.Initialize();
    }
    ~Timers() override { Units.Finalize(); }
    void tick(TObject*) { ++Ticks; }

    TStartupList Units;
    TFakeTimerClock Clock;
    int Ticks = 0;
};

TEST_F(Timers, RunsOnlyWithAHandlerAndRestartsOnEveryChange)
{
    TvlTimer timer(nullptr);
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_FALSE(timer.Running());  // enabled, but no OnTimer
    EXPECT_EQ(Clock.Starts, 0);

    timer.SetOnTimer(TNotifyEvent(this, &Timers::tick));
    EXPECT_TRUE(timer.Running());
    Clock.Advance(2500);
    EXPECT_EQ(Ticks, 2);

    // The same handler again starts the timer anew: the next tick is a whole
    // interval away.
    EXPECT_EQ(Clock.DueIn(timer.EventID()), 500);
    timer.SetOnTimer(TNotifyEvent(this, &Timers::tick));
    EXPECT_EQ(Clock.DueIn(timer.EventID()), 1000);

    // Interval 0 and the current interval change nothing.
    const int starts = Clock.Starts;
    timer.SetInterval(0);
    timer.SetInterval(1000);
    EXPECT_EQ(Clock.Starts, starts);
    EXPECT_EQ(timer.Interval(), 1000u);
    timer.SetInterval(100);
    EXPECT_EQ(Clock.DueIn(timer.EventID()), 100);

    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    EXPECT_FALSE(Clock.IsRunning(timer.EventID()));
    Clock.Advance(1000);
    EXPECT_EQ(Ticks, 2);
}

TEST_F(Timers, AFailedStartIsTriedAgainAndStrayTicksAreDropped)
{
    TvlTimer timer(nullptr);
    Clock.Refuse = true;
    timer.SetOnTimer(TNotifyEvent(this, &Timers::tick));
    EXPECT_FALSE(timer.Running());
    Clock.Refuse = false;
    timer.SetInterval(50);
    EXPECT_TRUE(timer.Running());

    // A tick for a timer that does not run (or no longer exists) is dropped.
    TvlTimer other(nullptr);
    SendMessage(GetTimerWindow()->Handle(), WM_TIMER, other.EventID(), 0);
    SendMessage(GetTimerWindow()->Handle(), WM_TIMER, 12345, 0);
    EXPECT_EQ(Ticks, 0);
    SendMessage(GetTimerWindow()->Handle(), WM_TIMER, timer.EventID(), 0);
    EXPECT_EQ(Ticks, 1);
}

TEST_F(Timers, NothingIsMadeAfterTheUnitsEnd)
{
    ASSERT_NE(GetMessageWindow(), nullptr);
    Units.Finalize();
    EXPECT_EQ(GetMessageWindow(), nullptr);
    EXPECT_EQ(GetTimerWindow(), nullptr);
    TvlTimer timer(nullptr);
    timer.SetOnTimer(TNotifyEvent(this, &Timers::tick));
    EXPECT_FALSE(timer.Running());
}

// A control whose scroll-bar parameters come from the test.
class TScripted : public TvlControl {
public:
    using TvlControl::TvlControl;
    struct TParams {
        int Min = 0, Max = -1, Step = 1, Page = 0, Pos = 0;
        bool AllowShow = true, AllowHide = true;
    };
    TParams H, V;
    std::function<void(TScripted*)> Script;
    bool Pixel = false;
    bool DragStarts = false;
    int InitCalls = 0;
    std::vector<std::pair<TScrollBarKind, TScrollCode>> Scrolls;
    std::vector<bool> Ended;
    int KeysSeen = 0;

    void Info(TScrollBarKind Kind, const TParams& P)
    {
        SetScrollBarInfo(Kind, P.Min, P.Max, P.Step, P.Page, P.Pos, P.AllowShow, P.AllowHide);
    }

protected:
    void InitScrollBarsParameters() override
    {
        ++InitCalls;
        if (Script) {
            Script(this);
            return;
        }
        Info(sbHorizontal, H);
        Info(sbVertical, V);
    }
    bool IsPixelScrollBar(TScrollBarKind) const override { return Pixel; }
    void Scroll(TScrollBarKind Kind, TScrollCode Code, int&) override { Scrolls.emplace_back(Kind, Code); }
    bool StartDragAndDrop(const TPoint&) override { return DragStarts; }
    // The offscreen windows never become active, so nothing takes the focus.
    bool AllowMouseDownWithoutFocus() const override { return true; }
    void EndDragAndDrop(bool Accepted) override
    {
        Ended.push_back(Accepted);
        TvlControl::EndDragAndDrop(Accepted);
    }
    void KeyDown(uint16_t& Key, TShiftState Shift) override
    {
        ++KeysSeen;
        TvlControl::KeyDown(Key, Shift);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        ++MouseDowns;
        TvlControl::MouseDown(Button, Shift, X, Y);
    }

public:
    int MouseDowns = 0;
    bool CopyDrag = false;
    std::vector<TObject*> EndDragTargets;
    bool IsCopyDragDrop() const override { return CopyDrag; }
    void DoEndDrag(TObject* Target, int X, int Y) override
    {
        EndDragTargets.push_back(Target);
        TvlControl::DoEndDrag(Target, X, Y);
    }
};

struct Control : TControlUnitFixture {
    Control()
    {
        C = new TScripted(Form.get());
        C->SetParent(Form.get());
        C->SetBounds(0, 0, 200, 200);
    }
    TScripted* C = nullptr;
};

TEST_F(Control, ScrollBarTable)
{
    struct TCase {
        const char* Name;
        TScrollStyle Style;
        TScripted::TParams V;
        bool Visible, Enabled;
    };
    const TCase cases[] = {
        {"something to scroll", ssBoth, {0, 99, 1, 10, 0, true, true}, true, true},
        {"page = range, may hide", ssBoth, {0, 9, 1, 10, 0, true, true}, false, false},
        {"page = range, may not hide", ssBoth, {0, 9, 1, 10, 0, true, false}, true, false},
        {"position below Min", ssBoth, {5, 99, 1, 10, 4, true, true}, false, false},
        {"Max below Min, may not hide", ssBoth, {5, 4, 1, 0, 5, true, false}, true, false},
        {"direction excluded", ssHorizontal, {0, 99, 1, 10, 0, true, false}, false, false},
        {"not allowed to show", ssBoth, {0, 99, 1, 10, 0, false, false}, false, false},
    };
    for (const TCase& c : cases) {
        C->SetScrollBars(c.Style);
        C->V = c.V;
        C->UpdateScrollBars();
        EXPECT_EQ(C->IsVScrollBarVisible(), c.Visible) << c.Name;
        if (c.Visible) {
            EXPECT_EQ(C->VScrollBar()->Enabled(), c.Enabled) << c.Name;
        }
    }

    // A shown bar stands right of the client bounds with the given values;
    // with both shown the grip fills the corner.
    C->SetScrollBars(ssBoth);
    C->V = {0, 99, 2, 10, 30, true, true};
    C->H = {0, 499, 1, 100, 0, true, true};
    C->UpdateScrollBars();
    EXPECT_EQ(C->GetClientBounds(), Rect(0, 0, 183, 183));
    EXPECT_EQ(C->VScrollBar()->BoundsRect(), Rect(183, 0, 200, 183));
    EXPECT_EQ(C->HScrollBar()->BoundsRect(), Rect(0, 183, 183, 200));
    EXPECT_TRUE(C->SizeGrip()->Visible());
    EXPECT_EQ(C->SizeGrip()->BoundsRect(), Rect(183, 183, 200, 200));
    EXPECT_EQ(C->VScrollBar()->Position(), 30);
    EXPECT_EQ(C->VScrollBar()->PageSize(), 10);
    EXPECT_EQ(C->VScrollBar()->LargeChange(), 10);
    EXPECT_EQ(C->VScrollBar()->SmallChange(), 2);

    // The bar reports to the control.
    C->VScrollBar()->Scroll(scLineDown);
    ASSERT_FALSE(C->Scrolls.empty());
    EXPECT_EQ(C->Scrolls.back(), std::make_pair(sbVertical, scLineDown));
}

TEST_F(Control, PixelBarsThatFitWithoutEachOtherBothHide)
{
    // 200 positions; each page is what remains beside the other bar.
    C->H = {0, 199, 1, 190, 0, true, true};
    C->V = {0, 199, 1, 190, 0, true, true};
    C->UpdateScrollBars();
    EXPECT_TRUE(C->IsHScrollBarVisible());
    EXPECT_TRUE(C->IsVScrollBarVisible());
    C->Pixel = true;
    C->UpdateScrollBars();
    EXPECT_FALSE(C->IsHScrollBarVisible());
    EXPECT_FALSE(C->IsVScrollBarVisible());
}

TEST_F(Control, AlternatingBarsSettleWithTheDisputedOneDisabled)
{
    // The vertical bar is needed while the horizontal one shows, and the
    // horizontal one while the vertical one is hidden.
    C->Script = [](TScripted* S) {
        const bool hShown = S->HScrollBar()->Visible(), vShown = S->VScrollBar()->Visible();
        S->Info(sbHorizontal, {0, 9, 1, vShown ? 10 : 5, 0, true, true});
        S->Info(sbVertical, {0, 9, 1, hShown ? 5 : 10, 0, true, true});
    };
    C->UpdateScrollBars();
    EXPECT_FALSE(C->IsHScrollBarVisible());
    ASSERT_TRUE(C->IsVScrollBarVisible());
    EXPECT_FALSE(C->VScrollBar()->Enabled());
}

TEST_F(Control, UpdatesInsideALockRunOnceAtTheLastUnlock)
{
    C->V = {0, 99, 1, 10, 0, true, true};
    C->InitCalls = 0;
    C->BeginScrollBarsUpdate();
    C->BeginScrollBarsUpdate();
    C->UpdateScrollBars();
    C->UpdateScrollBars();
    C->EndScrollBarsUpdate();
    EXPECT_EQ(C->InitCalls, 0);
    C->EndScrollBarsUpdate();
    EXPECT_GT(C->InitCalls, 0);
    EXPECT_TRUE(C->IsVScrollBarVisible());

    C->InitCalls = 0;
    C->BeginScrollBarsUpdate();
    C->EndScrollBarsUpdate();
    C->EndScrollBarsUpdate();  // unbalanced: ignored
    EXPECT_EQ(C->InitCalls, 0);
}

TEST_F(Control, TheWheelScrollsTheSetNumberOfLines)
{
    C->V = {0, 99, 1, 10, 0, true, true};
    C->UpdateScrollBars();
    EXPECT_EQ(C->Perform(WM_MOUSEWHEEL, MakeWParam(0, -120), 0), 1);
    EXPECT_EQ(C->Scrolls.size(), 3u);
    EXPECT_EQ(C->Scrolls.back(), std::make_pair(sbVertical, scLineDown));

    C->Scrolls.clear();
    Mouse->SetWheelScrollLines(0);
    EXPECT_EQ(C->Perform(WM_MOUSEWHEEL, MakeWParam(0, 120), 0), 1);  // handled, nothing scrolled
    EXPECT_TRUE(C->Scrolls.empty());
}

TEST_F(Control, InternalDragStartsBeyondTheThresholdAndAnyKeyCancelsIt)
{
    Form->Show();
    C->DragStarts = true;
    // A double click never starts one.
    C->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(50, 50));
    EXPECT_EQ(C->DragAndDropState(), ddsIdle);
    C->Perform(WM_LBUTTONUP, 0, MakeLParam(50, 50));

    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(50, 50));
    EXPECT_EQ(C->DragAndDropState(), ddsPending);
    C->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(52, 52));  // inside the threshold
    EXPECT_EQ(C->DragAndDropState(), ddsPending);
    C->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(60, 50));
    EXPECT_EQ(C->DragAndDropState(), ddsRunning);
    EXPECT_EQ(GetCaptureControl(), C);

    const int keys = C->KeysSeen;
    EXPECT_EQ(C->Perform(WM_KEYDOWN, 'A', 0), 1);
    EXPECT_EQ(C->KeysSeen, keys);  // consumed
    EXPECT_EQ(C->DragAndDropState(), ddsIdle);
    EXPECT_EQ(C->Ended, std::vector<bool>{false});
    EXPECT_EQ(GetCaptureControl(), nullptr);

    // Released while running: accepted.
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(50, 50));
    C->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(80, 50));
    C->Perform(WM_LBUTTONUP, 0, MakeLParam(80, 50));
    EXPECT_EQ(C->Ended, (std::vector<bool>{false, true}));
}

TEST(ControlServices, Predicates)
{
    EXPECT_EQ(RemoveAccelChars(QStringLiteral("&&one &two")), QStringLiteral("&one two"));
    EXPECT_EQ(RemoveAccelChars(QStringLiteral("end&"), false), QStringLiteral("end"));
    EXPECT_EQ(RemoveAccelChars(QStringLiteral("end&"), true), QStringLiteral("end_"));

    for (uint16_t key : {uint16_t('A'), uint16_t('Z'), uint16_t('0'), uint16_t('9'), uint16_t(VK_SPACE), uint16_t(255),
                         uint16_t(300)})
        EXPECT_FALSE(IsSysKey(key)) << key;
    for (uint16_t key : {13, 27, 37, 38, 39, 40, 112, 123, 144, 145})
        EXPECT_TRUE(IsSysKey(key)) << key;

    EXPECT_FALSE(IsNumericChar(u'e', 1));
    EXPECT_TRUE(IsNumericChar(u'e', 2));
    for (int kind : {0, 1, 2}) {
        EXPECT_TRUE(IsNumericChar(u'+', kind));
        EXPECT_TRUE(IsNumericChar(u'-', kind));
        EXPECT_TRUE(IsNumericChar(u'7', kind));
    }
    EXPECT_TRUE(IsEditStartChar(QChar(22)));
    EXPECT_TRUE(IsEditStartChar(QChar(24)));
    EXPECT_FALSE(IsEditStartChar(QChar(3)));
    EXPECT_TRUE(IsEditStartChar(u'x'));

    EXPECT_FALSE(ShiftStateLeftOnly(TShiftState{ssLeft, ssDouble}, false));
    EXPECT_TRUE(ShiftStateLeftOnly(TShiftState{ssLeft, ssDouble}, true));
    EXPECT_FALSE(ShiftStateLeftOnly(TShiftState{ssLeft, ssShift}));
    EXPECT_TRUE(ShiftStateMoveOnly(TShiftState{}));
    EXPECT_FALSE(ShiftStateMoveOnly(TShiftState{ssAlt}));
    EXPECT_EQ(ShiftStateToKeys(TShiftState{ssShift, ssLeft, ssAlt, ssDouble}), WPARAM(MK_SHIFT | MK_LBUTTON));
}

// Records what mouse tracking tells a caller.
struct TLeaveCaller : IvlMouseTrackingCallerEx {
    bool Ex = false;
    bool Inside = true;
    int Leaves = 0;
    void MouseLeave() override { ++Leaves; }
    bool ContainsPoint(const TPoint&) override { return Inside; }
};

struct TLeaveCounter : TCustomControl {
    using TCustomControl::TCustomControl;
    int Leaves = 0;
    void DropWindow() { DestroyWidget(); }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_MOUSELEAVE && Message.LParam == reinterpret_cast<LPARAM>(this))
            ++Leaves;
        TCustomControl::Dispatch(Message);
    }
};

struct Tracking : TControlUnitFixture {
    Tracking()
    {
        Target = new TLeaveCounter(Form.get());
        Target->SetParent(Form.get());
        Target->SetBounds(20, 20, 100, 50);
        Form->Show();
    }
    void pointAt(TPoint ClientPoint) { Mouse->SetCursorPos(Target->ClientToScreen(ClientPoint)); }

    TLeaveCounter* Target = nullptr;
};

struct TPlainCaller : IvlMouseTrackingCaller {
    int Leaves = 0;
    void MouseLeave() override { ++Leaves; }
};

TEST_F(Tracking, LeavingTheAreaOrBecomingDisabledEndsTracking)
{
    TPlainCaller caller;
    pointAt({10, 10});
    BeginMouseTracking(Target, Rect(0, 0, 50, 50), &caller);
    BeginMouseTracking(Target, Rect(0, 0, 5, 5), &caller);  // the first area stays
    EXPECT_EQ(FindMouseTrackingTimer(&caller)->Bounds.Width(), 50);
    Clock.Advance(50);
    EXPECT_EQ(caller.Leaves, 0);

    // Out of the area but still over the control: no CM_MOUSELEAVE.
    pointAt({70, 10});
    Clock.Advance(10);
    EXPECT_EQ(caller.Leaves, 1);
    EXPECT_EQ(Target->Leaves, 0);
    EXPECT_FALSE(IsCallerMouseTracked(&caller));

    // A disabled parent ends it at the next tick although the pointer stays.
    pointAt({10, 10});
    BeginMouseTracking(Target, Rect(0, 0, 50, 50), &caller);
    Form->SetEnabled(false);
    Clock.Advance(10);
    EXPECT_EQ(caller.Leaves, 2);
    EXPECT_EQ(Target->Leaves, 1);
    Form->SetEnabled(true);
}

TEST_F(Tracking, ACallerThatDecidesEndsWhenTheWindowGoesWithoutLeaveMessage)
{
    TLeaveCaller caller;
    pointAt({200, 200});  // outside: the caller decides
    BeginMouseTracking(Target, Rect(0, 0, 1, 1), &caller);
    Clock.Advance(30);
    EXPECT_EQ(caller.Leaves, 0);
    Target->DropWindow();
    Clock.Advance(10);
    EXPECT_EQ(caller.Leaves, 1);
    EXPECT_EQ(Target->Leaves, 0);
    EXPECT_FALSE(IsCallerMouseTracked(&caller));
}

TEST_F(Tracking, HourglassNestsAndCursorsAreRegistered)
{
    ShowHourglassCursor();
    ShowHourglassCursor();
    HideHourglassCursor();
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    HideHourglassCursor();
    EXPECT_EQ(Screen->Cursor(), crDefault);
    HideHourglassCursor();  // unbalanced: ignored
    EXPECT_EQ(Screen->Cursor(), crDefault);

    for (TCursor c : {crvlDragCopy, crvlMultiDragCopy, crvlHandPoint, crvlUpScroll})
        EXPECT_TRUE(IsScreenCursorRegistered(c)) << c;
    EXPECT_FALSE(ScreenCursor(crvlDragCopy).pixmap().isNull());
}

TEST_F(Tracking, TheUnitEndsAlthoughACallerLeftItsTrackerBehind)
{
#ifndef NDEBUG
    GTEST_SKIP() << "a left-over tracker asserts in debug builds";
#endif
    TPlainCaller caller;
    pointAt({10, 10});
    BeginMouseTracking(Target, Rect(0, 0, 50, 50), &caller);
    Units.Finalize();  // logs, frees the tracker and goes on
    EXPECT_FALSE(IsCallerMouseTracked(&caller));
    EXPECT_EQ(GetTimerWindow(), nullptr);
    EXPECT_EQ(GetMessageWindow(), nullptr);
    BeginMouseTracking(Target, Rect(0, 0, 50, 50), &caller);  // nothing after the end
    EXPECT_FALSE(IsCallerMouseTracked(&caller));
}

TEST_F(Tracking, MakeVisibleOnDesktopKeepsTheLeftTopEdgesOfAnOversizedRectangle)
{
    const TRect wa = GetMonitorWorkArea(TPoint{0, 0});
    TRect r = Rect(wa.Left - 50, wa.Top + 10, wa.Right + 100, wa.Top + 30);
    MakeVisibleOnDesktop(r, TPoint{0, 0});
    EXPECT_EQ(r.Left, wa.Left);
    EXPECT_EQ(r.Top, wa.Top + 10);
    r = Rect(wa.Right - 10, wa.Bottom - 10, wa.Right + 20, wa.Bottom + 5);
    MakeVisibleOnDesktop(r, TPoint{0, 0});
    EXPECT_EQ(r, Rect(wa.Right - 30, wa.Bottom - 15, wa.Right, wa.Bottom));
}

// A popup whose owner rectangle is given in screen coordinates.
struct TPlacedPopup : TvlPopupWindow {
    TRect Owner;
    void GetOwnerScreenBounds(TRect& R) const override { R = Owner; }
};

TEST_F(Tracking, PopupPositions)
{
    const TRect wa = GetMonitorWorkArea(TPoint{0, 0});
    TPlacedPopup popup;
    popup.SetBounds(0, 0, 300, 200);
    TPoint p;
    // 100 pixels below the owner, 300 above: it opens above.
    popup.Owner = Rect(wa.Left + 10, wa.Bottom - 120, wa.Left + 110, wa.Bottom - 100);
    ASSERT_GE(popup.Owner.Top - wa.Top, 300);
    popup.CalculatePosition(p);
    EXPECT_EQ(p.Y, popup.Owner.Top - 200);
    EXPECT_EQ(p.X, popup.Owner.Left);
    // Only 50 above: it stays below and overflows.
    popup.Owner = Rect(wa.Left + 10, wa.Top + 50, wa.Left + 110, wa.Top + 70);
    popup.SetHeight(wa.Height());
    popup.CalculatePosition(p);
    EXPECT_EQ(p.Y, wa.Top + 70);
    // Right-aligned and wider than the room left of the owner's right edge:
    // pushed to the work area's left edge.
    popup.SetHeight(200);
    popup.AlignHorz = phaRight;
    popup.Owner = Rect(wa.Left + 10, wa.Top + 50, wa.Left + 100, wa.Top + 70);
    popup.CalculatePosition(p);
    EXPECT_EQ(p.X, wa.Left);
    // Beside the owner: to the right, the top edges aligned.
    popup.Direction = podHorizontal;
    popup.AlignVert = pvaTop;
    popup.CalculatePosition(p);
    EXPECT_EQ(p, (TPoint{popup.Owner.Right, popup.Owner.Top}));
}

// A modal loop that runs a script: each step may offer messages, which
// reach their control (as the real loop dispatches them) unless the
// filter stops them. The loop ends when the filter quits it or the script
// runs out.
class TScriptedLoop : public IvlModalLoop {
public:
    TScriptedLoop() { SetModalLoop(this); }
    ~TScriptedLoop() override { SetModalLoop(nullptr); }
    TScriptedLoop(const TScriptedLoop&) = delete;
    TScriptedLoop& operator=(const TScriptedLoop&) = delete;

    void Run(const std::function<bool(const TvlModalMessage&)>& Filter) override
    {
        FFilter = &Filter;
        FQuit = false;
        std::vector<std::function<void()>> steps;
        steps.swap(Steps);
        for (auto& step : steps) {
            if (FQuit)
                break;
            step();
        }
        Running = !FQuit;  // left without being quit
        FFilter = nullptr;
    }
    void Quit() override { FQuit = true; }

    // Offers Msg for Control at the screen point P; true when stopped.
    bool Send(TWinControl* Control, UINT Msg, TPoint P, WPARAM WParam = 0)
    {
        TvlModalMessage m{Msg, WParam, Control, P};
        if ((*FFilter)(m))
            return true;
        const TPoint c = Control->ScreenToClient(P);
        Control->Perform(Msg, WParam, Msg == WM_KEYDOWN || Msg == WM_KEYUP ? 0 : MakeLParam(c.X, c.Y));
        return false;
    }

    std::vector<std::function<void()>> Steps;
    bool Running = false;

private:
    const std::function<bool(const TvlModalMessage&)>* FFilter = nullptr;
    bool FQuit = false;
};

QWidget* findWindow(const char* Name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(Name) && w->isVisible())
            return w;
    return nullptr;
}

bool overrideCursorIs(TCursor C)
{
    const QCursor* current = QGuiApplication::overrideCursor();
    return current != nullptr && current->pixmap().cacheKey() == ScreenCursor(C).pixmap().cacheKey();
}

struct MouseModes : Control {
    MouseModes()
    {
        Form->Show();
        C->V = {0, 99, 1, 10, 0, true, true};
        C->UpdateScrollBars();
        Start = C->ClientToScreen(TPoint{50, 50});
        Mouse->SetCursorPos(Start);
    }
    void pressMiddle() { C->Perform(WM_MBUTTONDOWN, MK_MBUTTON, MakeLParam(50, 50)); }
    TPoint at(int DX, int DY) const { return TPoint{Start.X + DX, Start.Y + DY}; }
    size_t downScrolls() const
    {
        return size_t(std::count(C->Scrolls.begin(), C->Scrolls.end(), std::make_pair(sbVertical, scLineDown)));
    }

    TScriptedLoop Loop;
    TPoint Start;
};

TEST_F(MouseModes, MiddleButtonScrollsTowardThePointerUntilEscape)
{
    bool anchorShown = false, inMode = false;
    Loop.Steps = {
        [&] {
            inMode = C->ScrollingContent() && HasMouseCapture(C);
            // The anchor marks the start: a round window centred on it.
            QWidget* anchor = findWindow("vlScrollAnchor");
            ASSERT_NE(anchor, nullptr);
            const QPoint centre = anchor->geometry().center();
            anchorShown = std::abs(centre.x() - Start.X) <= 1 && std::abs(centre.y() - Start.Y) <= 1
                       && anchor->mask().contains(QPoint(anchor->width() / 2, anchor->height() / 2))
                       && !anchor->mask().contains(QPoint(0, 0))
                       && !anchor->mask().contains(QPoint(anchor->width() - 1, 0));
            EXPECT_TRUE(overrideCursorIs(crvlVerScroll));
        },
        // Only the vertical bar shows: sideways the neutral zone spans the
        // screen, so a pointer far to the right scrolls nothing.
        [&] {
            Loop.Send(C, WM_MOUSEMOVE, at(100, 0));
            EXPECT_TRUE(overrideCursorIs(crvlVerScroll));
            Clock.Advance(500);
            EXPECT_EQ(downScrolls(), 0u);
        },
        // 20 pixels below: speed 2, a line every 11 ticks (220 ms).
        [&] {
            Loop.Send(C, WM_MOUSEMOVE, at(0, 20));
            EXPECT_TRUE(overrideCursorIs(crvlDownScroll));
            while (downScrolls() == 0)
                Clock.Advance(20);
            Clock.Advance(219);
            EXPECT_EQ(downScrolls(), 1u);
            Clock.Advance(1);
            EXPECT_EQ(downScrolls(), 2u);
        },
        // Far below: the top speed, a line every tick.
        [&] {
            Loop.Send(C, WM_MOUSEMOVE, at(0, 200));
            C->Scrolls.clear();
            Clock.Advance(100);
            EXPECT_EQ(downScrolls(), 5u);
        },
        [&] { Loop.Send(C, WM_KEYDOWN, at(0, 200), VK_ESCAPE); },
        [&] { ADD_FAILURE() << "Escape did not end the mode"; },
    };
    pressMiddle();
    EXPECT_TRUE(inMode);
    EXPECT_TRUE(anchorShown);
    EXPECT_FALSE(C->ScrollingContent());
    EXPECT_FALSE(HasMouseCapture(C));
    EXPECT_EQ(findWindow("vlScrollAnchor"), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    C->Scrolls.clear();
    Clock.Advance(500);  // the timer stopped with the mode
    EXPECT_TRUE(C->Scrolls.empty());
}

TEST_F(MouseModes, MiddleButtonReleaseWithoutMovingKeepsTheModeAndAClickEndsItUndelivered)
{
    bool stillOn = false, stopped = false;
    int downsBefore = 0;
    Loop.Steps = {
        [&] { Loop.Send(C, WM_MBUTTONUP, Start); },
        [&] {
            stillOn = C->ScrollingContent();
            downsBefore = C->MouseDowns;
            stopped = Loop.Send(C, WM_LBUTTONDOWN, Start, MK_LBUTTON);
        },
        [&] { ADD_FAILURE() << "the click did not end the mode"; },
    };
    pressMiddle();
    EXPECT_TRUE(stillOn);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(C->MouseDowns, downsBefore);  // the click never reached the control
    EXPECT_FALSE(C->ScrollingContent());

    // Once the pointer has moved, the middle release ends it (and is
    // delivered); the wheel ends it too.
    Loop.Steps = {
        [&] { Loop.Send(C, WM_MOUSEMOVE, at(0, 40)); },
        [&] { EXPECT_FALSE(Loop.Send(C, WM_MBUTTONUP, at(0, 40))); },
    };
    pressMiddle();
    EXPECT_FALSE(Loop.Running);
    Loop.Steps = {[&] { EXPECT_TRUE(Loop.Send(C, WM_MOUSEWHEEL, Start)); }};
    pressMiddle();
    EXPECT_FALSE(Loop.Running);

    // Without a visible bar there is no mode at all.
    C->V = {};
    C->UpdateScrollBars();
    Loop.Steps = {[&] { ADD_FAILURE() << "a mode without scroll bars"; }};
    pressMiddle();
}

TEST_F(MouseModes, DragDetect)
{
    Mouse->SetDragThreshold(5);  // the square reaches 5 pixels each way
    struct TCase {
        const char* Name;
        std::vector<std::pair<UINT, TPoint>> Messages;
        TDragDetectResult Expected;
    };
    const TCase cases[] = {
        {"escape", {{WM_MOUSEMOVE, {2, 2}}, {WM_KEYDOWN, {0, 0}}}, ddrCancel},
        {"moved out", {{WM_MOUSEMOVE, {4, -4}}, {WM_MOUSEMOVE, {6, 0}}}, ddrDrag},
        {"released", {{WM_MOUSEMOVE, {1, 1}}, {WM_LBUTTONUP, {1, 1}}}, ddrNone},
        {"capture lost", {{WM_CANCELMODE, {0, 0}}, {WM_MOUSEMOVE, {20, 0}}}, ddrCancel},
    };
    for (const TCase& c : cases) {
        for (const auto& [msg, offset] : c.Messages)
            Loop.Steps.push_back([&, msg = msg, offset = offset] {
                if (msg == WM_CANCELMODE)
                    SetCaptureControl(nullptr);
                else
                    Loop.Send(C, msg, at(offset.X, offset.Y), msg == WM_KEYDOWN ? VK_ESCAPE : 0);
            });
        EXPECT_EQ(CheckDragDetect(C), c.Expected) << c.Name;
        EXPECT_FALSE(HasMouseCapture(C)) << c.Name;
        EXPECT_FALSE(Loop.Running) << c.Name;
    }
}

TEST_F(MouseModes, DragDetectRunsOnTheApplicationsEvents)
{
    SetModalLoop(nullptr);  // the real loop, fed by events sent from a timer
    QTimer safety;  // a loop that failed to end would hang the test
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { GetModalLoop()->Quit(); });
    safety.start(5000);
    QWidget* w = C->Widget();
    QTimer::singleShot(0, [w] {
        QMouseEvent inside(QEvent::MouseMove, QPointF(52, 52), w->mapToGlobal(QPointF(52, 52)), Qt::NoButton,
                           Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &inside);
        QMouseEvent outside(QEvent::MouseMove, QPointF(90, 50), w->mapToGlobal(QPointF(90, 50)), Qt::NoButton,
                            Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &outside);
    });
    EXPECT_EQ(CheckDragDetect(C), ddrDrag);
    QTimer::singleShot(0, [w] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &escape);
    });
    EXPECT_EQ(CheckDragDetect(C), ddrCancel);
    EXPECT_TRUE(safety.isActive());
    EXPECT_FALSE(HasMouseCapture(C));
}

// A second control beside the first that may accept what is dragged to it.
struct Dragging : MouseModes {
    Dragging()
    {
        T = new TScripted(Form.get());
        T->SetParent(Form.get());
        T->SetBounds(250, 0, 100, 100);
        T->OnDragOver = TDragOverEvent::FromFunction(
            [this](TObject*, TObject* Source, int, int, TDragState State, bool& Accept) {
                States.push_back(State);
                Sources.push_back(Source);
                Accept = Accepts;
            });
        T->OnDragDrop = TDragDropEvent::FromFunction([this](TObject*, TObject* Source, int, int) {
            Dropped.push_back(Source);
        });
    }
    TPoint overTarget() const { return T->ClientToScreen(TPoint{50, 50}); }

    TScripted* T = nullptr;
    bool Accepts = true;
    std::vector<TDragState> States;
    std::vector<TObject*> Sources, Dropped;
};

TEST_F(Dragging, ACopyOverAnAcceptingTargetShowsTheCopyCursorAndTheDropReachesIt)
{
    C->BeginDrag(true);
    ASSERT_TRUE(C->Dragging());
    EXPECT_EQ(Screen->Cursor(), crNoDrop);  // over itself, which takes nothing
    DragTo(overTarget());
    EXPECT_EQ(Screen->Cursor(), crDrag);
    EXPECT_EQ(States, (std::vector<TDragState>{dsDragEnter, dsDragMove}));
    EXPECT_EQ(Sources.back(), C);  // targets see the control
    C->CopyDrag = true;
    DragTo(overTarget());
    EXPECT_EQ(Screen->Cursor(), crvlDragCopy);
    Accepts = false;
    DragTo(overTarget());
    EXPECT_EQ(Screen->Cursor(), crNoDrop);  // no copy cursor where nothing is taken
    Accepts = true;
    DragTo(overTarget());
    DragDone(true);
    EXPECT_EQ(Dropped, std::vector<TObject*>{C});
    EXPECT_EQ(States.back(), dsDragLeave);
    EXPECT_EQ(C->EndDragTargets, std::vector<TObject*>{T});
    EXPECT_FALSE(C->Dragging());
    EXPECT_EQ(GetDragObject(), nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(Dragging, EscapeCancelsAndAutomaticDragStartsOnlyBeyondTheDetectArea)
{
    C->BeginDrag(true);
    DragTo(overTarget());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(T->Widget(), &escape);
    EXPECT_FALSE(C->Dragging());
    EXPECT_TRUE(Dropped.empty());
    EXPECT_EQ(C->EndDragTargets, std::vector<TObject*>{nullptr});

    // dmAutomatic: a press starts the drag once the pointer leaves the
    // drag-detect square, not before.
    C->SetDragMode(dmAutomatic);
    Loop.Steps = {[&] { Loop.Send(C, WM_LBUTTONUP, Start); }};
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(50, 50));
    EXPECT_FALSE(C->Dragging());
    Loop.Steps = {[&] { Loop.Send(C, WM_MOUSEMOVE, at(30, 0), MK_LBUTTON); }};
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(50, 50));
    EXPECT_TRUE(C->Dragging());
    CancelDrag();
    EXPECT_FALSE(C->Dragging());
}

TEST_F(Control, KeysAskedOfTheDialogManagerAndSystemMetrics)
{
    C->SetKeys(TvlControlKeys{kArrows, kChars});
    EXPECT_EQ(C->Perform(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);
    C->SetKeys(TvlControlKeys{kAll, kTab});
    EXPECT_EQ(C->Perform(WM_GETDLGCODE), DLGC_WANTALLKEYS | DLGC_WANTTAB);

    // The bars take the system's sizes again and the layout follows.
    C->V = {0, 99, 1, 10, 0, true, true};
    C->UpdateScrollBars();
    C->VScrollBar()->SetWidth(30);
    C->Perform(CM_VLSYSTEMMETRICS);
    EXPECT_EQ(C->VScrollBar()->Width(), 17);
    EXPECT_EQ(C->VScrollBar()->BoundsRect(), Rect(183, 0, 200, 200));
    // A style change of the window leads there too, once it is through.
    Form->Show();
    C->VScrollBar()->SetWidth(30);
    QEvent styleChange(QEvent::StyleChange);
    QCoreApplication::sendEvent(C->Widget(), &styleChange);
    EXPECT_EQ(C->VScrollBar()->Width(), 30);
    App->ProcessMessages();
    EXPECT_EQ(C->VScrollBar()->Width(), 17);
}

TEST_F(Control, PopupWindowFramesAndClosesWhenDeactivated)
{
    TvlPopupWindow popup;
    popup.SetBounds(0, 0, 40, 30);
    popup.FrameColor = clRed;
    popup.SetPopupBorderStyle(1);
    TRect client;
    popup.GetClientBounds(client);
    EXPECT_EQ(client, Rect(1, 1, 39, 29));
    popup.BorderSpace = 2;
    popup.GetClientBounds(client);
    EXPECT_EQ(client, Rect(3, 3, 37, 27));
    QImage image(40, 30, QImage::Format_RGB32);
    popup.PaintTo(image);
    EXPECT_EQ(image.pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_EQ(image.pixel(39, 15), QColor(Qt::red).rgb());
    EXPECT_NE(image.pixel(20, 15), QColor(Qt::red).rgb());

    popup.Show();
    popup.Perform(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_TRUE(popup.Visible());
    popup.Perform(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_FALSE(popup.Visible());
}

TEST_F(Control, PopupMenuHeightIsItsTallestColumn)
{
    TPopupMenu menu(nullptr);
    auto add = [&menu](TMenuBreak Break, bool Visible = true) {
        auto item = std::make_unique<TMenuItem>(nullptr);
        item->SetBreak(Break);
        item->SetVisible(Visible);
        TMenuItem* result = item.get();
        menu.Items()->Add(item.release());
        return result;
    };
    EXPECT_EQ(GetPopupMenuHeight(&menu), 4);
    add(mbNone);
    const int h = GetPopupMenuHeight(&menu) - 4;
    ASSERT_GT(h, 4);
    add(mbNone);
    add(mbBreak);  // a second column of three
    add(mbNone);
    add(mbNone, false);  // hidden items take no room
    add(mbNone);
    EXPECT_EQ(GetPopupMenuHeight(&menu), 3 * h + 4);
    add(mbBarBreak);  // a third column of one
    EXPECT_EQ(GetPopupMenuHeight(&menu), 3 * h + 4);
    // Owner-drawn items measure themselves.
    menu.SetOwnerDraw(true);
    menu.Items()->Items(0)->OnMeasureItem = TMenuMeasureItemEvent::FromFunction(
        [](TObject*, TCanvas*, int&, int& Height) { Height = 100; });
    EXPECT_EQ(GetPopupMenuHeight(&menu), 100 + h + 4);
}

// A component that stands where a popup menu is expected.
struct TMenuLike : TComponent, IvlPopupMenuSupport {
    TMenuLike() : TComponent(nullptr) {}
    bool IsShortCut(TMessage& Message) override { return Message.WParam == 'K'; }
    void Popup(int X, int Y) override { Shown = TPoint{X, Y}; }
    TPoint Shown{-1, -1};
};

TEST_F(Control, PopupMenuServicesAndListeners)
{
    TMenuLike like;
    TMessage key{CN_KEYDOWN, 'K', 0, 0};
    EXPECT_TRUE(IsPopupMenuShortCut(&like, key));
    EXPECT_TRUE(ShowPopupMenu(C, &like, 5, 6));
    EXPECT_EQ(like.Shown, (TPoint{5, 6}));
    EXPECT_FALSE(ShowPopupMenu(C, nullptr, 0, 0));
    EXPECT_FALSE(IsPopupMenuShortCut(Form.get(), key));

    TPopupMenu menu(nullptr);
    auto item = std::make_unique<TMenuItem>(nullptr);
    int clicks = 0;
    item->SetShortCut(ShortCut('K', false, true, false));
    item->OnClick = TNotifyEvent::FromFunction([&clicks](TObject*) { ++clicks; });
    menu.Items()->Add(item.release());
    TMessage ctrlK{CN_KEYDOWN, 'K', LPARAM(1) << 27, 0};  // Ctrl held
    EXPECT_TRUE(IsPopupMenuShortCut(&menu, ctrlK));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(IsPopupMenuShortCut(&menu, key));  // K without Ctrl
    menu.SetAutoPopup(false);
    EXPECT_FALSE(ShowPopupMenu(C, &menu, 0, 0));

    // Font listeners hear each change in order; a removed one no more.
    struct TListener : IvlFontChangeListener {
        std::vector<int>* Log;
        int Id;
        TListener(std::vector<int>* ALog, int AId) : Log(ALog), Id(AId) {}
        void Changed(TObject*, TFont* AFont) override { Log->push_back(Id * 100 + AFont->Size()); }
    };
    std::vector<int> log;
    TListener a(&log, 1), b(&log, 2);
    C->AddFontListener(&a);
    C->AddFontListener(&b);
    TFont font;
    font.SetSize(12);
    C->SetFont(&font);
    C->RemoveFontListener(&a);
    font.SetSize(9);
    C->SetFont(&font);
    EXPECT_EQ(log, (std::vector<int>{112, 212, 209}));

    // A child component belongs to its control until either goes.
    auto child = TvlControlChildComponent::CreateEx(C, true);
    EXPECT_EQ(child->Owner(), C->Owner());
    EXPECT_EQ(child->GetParentComponent(), C);
    C->RemoveChildComponent(child.get());
    EXPECT_FALSE(child->HasParent());
    child->SetParentComponent(C);
    EXPECT_EQ(child->Control(), C);
    child.reset();
}

// A control whose drag shows a 16 x 8 picture.
struct TPictured : TScripted {
    using TScripted::TScripted;
    int Drawn = 0;

protected:
    bool HasDragImages() const override { return true; }
    TPoint GetDragImagesSize() const override { return TPoint{16, 8}; }
    void DrawDragImage(TvlCanvas* ACanvas, const TRect& R) override
    {
        ++Drawn;
        ACanvas->FillRectByColor(R, clRed);
    }
};

TEST_F(Dragging, TheDragImageFollowsThePointerAndGoesWithTheDrag)
{
    auto* source = new TPictured(Form.get());
    source->SetParent(Form.get());
    source->SetBounds(0, 210, 50, 50);
    TDragImageList* images = source->GetDragImages();
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->Count(), 1);
    EXPECT_EQ(images->Width(), 16);
    EXPECT_EQ(source->GetDragImages(), images);  // made once
    EXPECT_EQ(source->Drawn, 1);
    EXPECT_EQ(C->GetDragImages(), nullptr);  // no pictures by default

    source->BeginDrag(true);
    DragTo(overTarget());
    ASSERT_NE(images->DragWindow(), nullptr);
    EXPECT_EQ(images->DragWindow()->geometry().topLeft(), QPoint(overTarget().X, overTarget().Y));
    EXPECT_TRUE(images->DragWindow()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(FindDragTarget(overTarget(), false), T);  // the picture lets the target be found
    DragDone(true);
    EXPECT_EQ(Dropped, std::vector<TObject*>{source});
    EXPECT_EQ(source->EndDragTargets, std::vector<TObject*>{T});
}

TEST_F(Control, MeasuringOutsideAPaintAndAPostedMoveUnderAStillPointer)
{
    // Before the window exists, and between paints, a screen canvas measures.
    auto* fresh = new TScripted(Form.get());
    EXPECT_FALSE(fresh->HandleAllocated());
    TvlCanvas* canvas = fresh->GetActiveCanvas();
    EXPECT_GT(canvas->TextWidth(QStringLiteral("Qg")), 0);
    EXPECT_EQ(fresh->GetActiveCanvas(), canvas);

    Form->Show();
    int moves = 0;
    TPoint seen;
    C->OnMouseMove = TMouseMoveEvent::FromFunction([&](TObject*, TShiftState, int X, int Y) {
        ++moves;
        seen = TPoint{X, Y};
    });
    C->PostMouseMove(TPoint{7, 9});
    EXPECT_EQ(moves, 0);  // posted, not sent
    App->ProcessMessages();
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(seen, (TPoint{7, 9}));
}

// A control that logs its hooks, the redraw requests its children send it
// and its paints.
class THooked : public TScripted {
public:
    using TScripted::TScripted;
    std::vector<std::string> Log;
    std::vector<WPARAM> InvalidateRequests;
    int Paints = 0;
    TCursor SpotCursor = crDefault;
    using TvlControl::DoContextPopup;

protected:
    void ColorChanged() override { Log.push_back("color"); }
    void CursorChanged() override
    {
        Log.push_back("cursor");
        TScripted::CursorChanged();
    }
    void TextChanged() override { Log.push_back("text"); }
    void VisibleChanged() override { Log.push_back("visible"); }
    void MouseEnter(TControl* AControl) override
    {
        Log.push_back(AControl == this ? "enter self" : "enter child");
        TScripted::MouseEnter(AControl);
    }
    void MouseLeave(TControl* AControl) override
    {
        Log.push_back(AControl == this ? "leave self" : "leave child");
        TScripted::MouseLeave(AControl);
    }
    TCursor GetCurrentCursor(int X, int Y) const override
    {
        return X < 10 ? SpotCursor : TScripted::GetCurrentCursor(X, Y);
    }
    void Paint() override
    {
        ++Paints;
        TScripted::Paint();
    }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_INVALIDATE)
            InvalidateRequests.push_back(Message.WParam);
        TScripted::Dispatch(Message);
    }
};

TEST_F(Control, PopupMenuKeepsOnlyMenusAndForgetsAFreedOne)
{
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    TMenuLike like;
    TComponent plain(nullptr);
    struct TCase {
        const char* Name;
        TComponent* Value;
        TComponent* Kept;
        TPopupMenu* Menu;
    };
    const TCase cases[] = {
        {"a popup menu", menu.get(), menu.get(), menu.get()},
        {"a menu-like component", &like, &like, nullptr},
        {"any other component", &plain, nullptr, nullptr},
        {"none", nullptr, nullptr, nullptr},
    };
    for (const TCase& c : cases) {
        C->SetPopupMenu(c.Value);
        EXPECT_EQ(C->PopupMenu(), c.Kept) << c.Name;
        EXPECT_EQ(C->GetPopupMenu(), c.Menu) << c.Name;
    }
    C->SetPopupMenu(menu.get());
    menu.reset();
    EXPECT_EQ(C->PopupMenu(), nullptr);
    // A component left earlier no longer tells the control it goes.
    C->SetPopupMenu(&like);
    auto other = std::make_unique<TPopupMenu>(nullptr);
    C->SetPopupMenu(other.get());
    C->SetPopupMenu(&like);
    other.reset();
    EXPECT_EQ(C->PopupMenu(), &like);
}

TEST_F(Control, ContextRequestShowsTheMenuAtThePointOrTheClientOrigin)
{
    auto* h = new THooked(Form.get());
    h->SetParent(Form.get());
    h->SetBounds(20, 30, 100, 100);
    Form->Show();
    bool handled = false;
    h->DoContextPopup(TPoint{5, 6}, handled);
    EXPECT_FALSE(handled);  // no menu

    TMenuLike like;
    h->SetPopupMenu(&like);
    struct TCase {
        TPoint MousePos, Client;
    };
    for (const TCase& c : {TCase{{5, 6}, {5, 6}}, TCase{{-1, -1}, {0, 0}}}) {
        handled = false;
        h->DoContextPopup(c.MousePos, handled);
        EXPECT_TRUE(handled);
        EXPECT_EQ(like.Shown, h->ClientToScreen(c.Client));
    }
    // Already handled (by OnContextPopup): no menu.
    like.Shown = TPoint{-1, -1};
    handled = true;
    h->DoContextPopup(TPoint{5, 6}, handled);
    EXPECT_EQ(like.Shown, (TPoint{-1, -1}));

    // The window's context-menu message comes in screen coordinates.
    const TPoint screen = h->ClientToScreen(TPoint{7, 8});
    EXPECT_EQ(h->Perform(WM_CONTEXTMENU, 0, MakeLParam(screen.X, screen.Y)), 1);
    EXPECT_EQ(like.Shown, screen);
}

TEST_F(Control, MenuShortcutsAreSearchedFromTheControlUpThroughItsParents)
{
    auto* outer = new TScripted(Form.get());
    outer->SetParent(Form.get());
    auto* inner = new TScripted(Form.get());
    inner->SetParent(outer);
    // Each menu takes one key; the parent's menu runs its key when the
    // control's own does not.
    struct TKeyMenu : TComponent, IvlPopupMenuSupport {
        explicit TKeyMenu(uint16_t AKey) : TComponent(nullptr), Key(AKey) {}
        bool IsShortCut(TMessage& Message) override
        {
            if (Message.WParam != Key)
                return false;
            ++Runs;
            return true;
        }
        void Popup(int, int) override {}
        uint16_t Key;
        int Runs = 0;
    };
    TKeyMenu innerMenu('J'), outerMenu('K');
    inner->SetPopupMenu(&innerMenu);
    outer->SetPopupMenu(&outerMenu);
    struct TCase {
        UINT Msg;
        uint16_t Key;
        int InnerRuns, OuterRuns;
        bool ReachesKeyDown;
    };
    const TCase cases[] = {
        {WM_KEYDOWN, 'J', 1, 0, false},
        {WM_KEYDOWN, 'K', 0, 1, false},
        {WM_SYSKEYDOWN, 'K', 0, 1, false},
        {WM_KEYDOWN, 'L', 0, 0, true},
    };
    for (const TCase& c : cases) {
        innerMenu.Runs = outerMenu.Runs = 0;
        const int keys = inner->KeysSeen;
        inner->Perform(c.Msg, c.Key, 0);
        EXPECT_EQ(innerMenu.Runs, c.InnerRuns) << c.Key;
        EXPECT_EQ(outerMenu.Runs, c.OuterRuns) << c.Key;
        EXPECT_EQ(inner->KeysSeen > keys, c.ReachesKeyDown && c.Msg == WM_KEYDOWN) << c.Key;
    }
}

TEST_F(Control, InvalidateControlTellsTheParentAndRedrawsChildrenThatShowThrough)
{
    auto* parent = new THooked(Form.get());
    parent->SetParent(Form.get());
    parent->SetBounds(0, 0, 300, 250);
    auto* control = new THooked(Form.get());
    control->SetParent(parent);
    control->SetBounds(10, 10, 200, 200);
    struct TCase {
        const char* Name;
        TControlStyle Style;
        bool Painted;
    };
    const TCase cases[] = {
        {"not opaque", {}, true},
        {"opaque", {csOpaque}, false},
        {"opaque over the parent's background", {csOpaque, csParentBackground}, true},
    };
    std::vector<THooked*> children;
    for (const TCase& c : cases) {
        auto* child = new THooked(Form.get());
        child->SetParent(control);
        child->SetBounds(10 + 30 * int(children.size()), 10, 20, 20);
        child->SetControlStyle(c.Style);
        children.push_back(child);
    }
    Form->Show();
    App->ProcessMessages();
    auto resetPaints = [&] {
        control->Paints = 0;
        for (THooked* child : children)
            child->Paints = 0;
    };

    resetPaints();
    TvlControl::InvalidateControl(control, true, false);
    App->ProcessMessages();
    EXPECT_EQ(parent->InvalidateRequests, std::vector<WPARAM>{1});
    EXPECT_EQ(control->Paints, 1);
    for (THooked* child : children)
        EXPECT_EQ(child->Paints, 0);

    resetPaints();
    TvlControl::InvalidateControl(control, true, true);
    App->ProcessMessages();
    for (size_t i = 0; i < children.size(); ++i)
        EXPECT_EQ(children[i]->Paints > 0, cases[i].Painted) << cases[i].Name;

    // The message: WParam 0 redraws the control, 1 only passes it upwards.
    for (WPARAM w : {WPARAM(1), WPARAM(0)}) {
        resetPaints();
        parent->InvalidateRequests.clear();
        control->Perform(CM_INVALIDATE, w, 0);
        App->ProcessMessages();
        EXPECT_EQ(parent->InvalidateRequests, std::vector<WPARAM>{1});
        EXPECT_EQ(control->Paints > 0, w == 0);
    }
}

TEST_F(Control, PropertyNotificationsReachTheirHooks)
{
    auto* h = new THooked(Form.get());
    h->SetParent(Form.get());
    auto* child = new TControl(Form.get());
    int enters = 0, leaves = 0;
    h->OnMouseEnter = TNotifyEvent::FromFunction([&](TObject* Sender) { enters += Sender == h; });
    h->OnMouseLeave = TNotifyEvent::FromFunction([&](TObject* Sender) { leaves += Sender == h; });
    struct TCase {
        std::function<void()> Change;
        std::vector<std::string> Log;
    };
    const TCase cases[] = {
        {[&] { h->SetColor(clRed); }, {"color"}},
        {[&] { h->SetCursor(crHandPoint); }, {"cursor"}},
        {[&] { h->SetText(QStringLiteral("x")); }, {"text"}},
        {[&] { h->SetVisible(false); }, {"visible"}},
        {[&] { h->Perform(CM_MOUSEENTER, 0, 0); }, {"enter self"}},
        {[&] { h->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(child)); }, {"leave child"}},
    };
    for (const TCase& c : cases) {
        h->Log.clear();
        c.Change();
        EXPECT_EQ(h->Log, c.Log) << (c.Log.empty() ? "" : c.Log.front());
    }
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(h->DefaultCursor(), crHandPoint);

    // Over a spot with a cursor of its own the control shows it; the
    // default cursor stays and comes back elsewhere.
    h->SpotCursor = crvlDrag;
    h->Perform(WM_MOUSEMOVE, 0, MakeLParam(5, 5));
    EXPECT_EQ(h->Cursor(), crvlDrag);
    EXPECT_EQ(h->DefaultCursor(), crHandPoint);
    h->Perform(WM_MOUSEMOVE, 0, MakeLParam(50, 5));
    EXPECT_EQ(h->Cursor(), crHandPoint);
}

TEST_F(Control, ListensToTranslationsWhileItLives)
{
    const int before = GetResourceStringsRepository()->ListenerCount();
    auto control = std::make_unique<TScripted>(nullptr);
    EXPECT_EQ(GetResourceStringsRepository()->ListenerCount(), before + 1);
    control.reset();
    EXPECT_EQ(GetResourceStringsRepository()->ListenerCount(), before);
}

}  // namespace
