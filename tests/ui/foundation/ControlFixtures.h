// ControlFixtures.h - a timer clock the tests advance by hand (the timers of
// the timer window tick in deadline order, each tick a WM_TIMER sent to the
// window as the system would deliver it), and a form with the control
// unit running on that clock.
#pragma once
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <utility>

#include "platform/controls/Forms.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlLookAndFeels.h"

class TFakeTimerClock : public IvlTimerClock {
public:
    TFakeTimerClock() { SetTimerClock(this); }
    ~TFakeTimerClock() override { SetTimerClock(nullptr); }
    TFakeTimerClock(const TFakeTimerClock&) = delete;
    TFakeTimerClock& operator=(const TFakeTimerClock&) = delete;

    bool StartTimer(HWND Wnd, uintptr_t Id, unsigned Interval) override
    {
        if (Refuse)
            return false;
        FTimers[{Wnd, Id}] = {Interval, Now + Interval};
        ++Starts;
        return true;
    }
    void StopTimer(HWND Wnd, uintptr_t Id) override { FTimers.erase({Wnd, Id}); }

    // Moves the time on by Ms, delivering every tick that falls due.
    void Advance(unsigned Ms)
    {
        const unsigned long long end = Now + Ms;
        for (;;) {
            auto next = FTimers.end();
            for (auto it = FTimers.begin(); it != FTimers.end(); ++it)
                if (it->second.second <= end && (next == FTimers.end() || it->second.second < next->second.second))
                    next = it;
            if (next == FTimers.end())
                break;
            const auto key = next->first;
            Now = next->second.second;
            next->second.second += next->second.first;
            SendMessage(key.first, WM_TIMER, key.second, 0);
        }
        Now = end;
    }
    bool IsRunning(uintptr_t Id) const
    {
        for (const auto& t : FTimers)
            if (t.first.second == Id)
                return true;
        return false;
    }
    // When the timer Id ticks next, in ms from now; -1 when it does not run.
    long long DueIn(uintptr_t Id) const
    {
        for (const auto& t : FTimers)
            if (t.first.second == Id)
                return (long long)t.second.second - (long long)Now;
        return -1;
    }

    unsigned long long Now = 0;
    int Starts = 0;
    bool Refuse = false;

private:
    std::map<std::pair<HWND, uintptr_t>, std::pair<unsigned, unsigned long long>> FTimers;
};

// A 400 x 300 form (not shown) with the look-and-feel and control units.
struct TControlUnitFixture : ::testing::Test {
    TControlUnitFixture()
    {
        AddvlLookAndFeelsUnit(Units);
        AddvlControlsUnit(Units);
        Units.Initialize();
        App = std::make_unique<TApplication>(nullptr);
        App->Initialize();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
    }
    ~TControlUnitFixture() override
    {
        SetMouseCapture(nullptr, false);
        Mouse->SetWheelScrollLines(3);
        Form.reset();
        App.reset();
        Units.Finalize();
    }

    TStartupList Units;
    TFakeTimerClock Clock;
    std::unique_ptr<TApplication> App;
    std::unique_ptr<TForm> Form;
};
