// Tests of the control unit: the timer rules on a clock advanced by hand, and
// the base control's scroll bars, wheel and internal drag on a scripted control.
#include <functional>
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

}  // namespace
