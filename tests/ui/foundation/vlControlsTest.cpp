// Tests of the control unit: the timer rules on a clock advanced by hand.
#include <gtest/gtest.h>

#include "FakeTimerClock.h"
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

}  // namespace
