#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "platform/rtl/SyncObjs.h"

namespace {
void spinUntil(const std::function<bool()>& condition)
{
    while (!condition())
        std::this_thread::yield();
}
}  // namespace

TEST(SyncObjs, EventStatesAndTimeouts)
{
    struct Case {
        bool manualReset;
        bool initialState;
        TWaitResult first;
        TWaitResult second;
    };
    const Case cases[] = {
        {true, true, wrSignaled, wrSignaled},  // stays signalled until reset
        {false, true, wrSignaled, wrTimeout},  // the first wait resets it
        {true, false, wrTimeout, wrTimeout},
        {false, false, wrTimeout, wrTimeout},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "manual " << c.manualReset << " initial " << c.initialState);
        TEvent event(c.manualReset, c.initialState);
        EXPECT_EQ(event.WaitFor(0), c.first);
        EXPECT_EQ(event.WaitFor(20), c.second);
        event.SetEvent();
        event.ResetEvent();
        EXPECT_EQ(event.WaitFor(0), wrTimeout);
    }
    TSimpleEvent simple;
    EXPECT_EQ(simple.WaitFor(0), wrTimeout);
    simple.SetEvent();
    EXPECT_EQ(simple.WaitFor(0), wrSignaled);
    EXPECT_EQ(simple.WaitFor(INFINITE), wrSignaled);
}

TEST(SyncObjs, AutoResetReleasesOneWaiterPerSignal)
{
    TEvent event(false, false);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&] {
            if (event.WaitFor(INFINITE) == wrSignaled)
                ++released;
        });

    event.SetEvent();
    spinUntil([&] { return released.load() == 1; });
    // The waiter that went through took the signal with it.
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
    EXPECT_EQ(released.load(), 1);

    for (int i = 2; i <= 4; ++i) {
        event.SetEvent();
        spinUntil([&] { return released.load() >= i; });
    }
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(released.load(), 4);
    EXPECT_EQ(event.WaitFor(0), wrTimeout);
}

TEST(SyncObjs, ManualResetReleasesEveryWaiter)
{
    TEvent event(true, false);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&] {
            if (event.WaitFor(INFINITE) == wrSignaled)
                ++released;
        });
    event.SetEvent();
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(released.load(), 4);
    EXPECT_EQ(event.WaitFor(0), wrSignaled);
}

TEST(SyncObjs, CriticalSectionIsReentrantAndExclusive)
{
    TCriticalSection section;
    section.Enter();
    EXPECT_TRUE(section.TryEnter());  // the holder may enter again
    bool otherGotIn = true;
    std::thread([&] { otherGotIn = section.TryEnter(); }).join();
    EXPECT_FALSE(otherGotIn);
    section.Leave();
    std::thread([&] { otherGotIn = section.TryEnter(); }).join();
    EXPECT_FALSE(otherGotIn);  // still held once
    section.Leave();
    std::thread([&] {
        otherGotIn = section.TryEnter();
        if (otherGotIn)
            section.Leave();
    }).join();
    EXPECT_TRUE(otherGotIn);

    // A plain counter stays exact only if the guard excludes the others.
    long counter = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                const TSynchroGuard guard(section);
                ++counter;
            }
        });
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(counter, 40000);
}

TEST(SyncObjs, MutexOwnershipAndTimeout)
{
    TMutex mutex;
    EXPECT_EQ(mutex.WaitFor(0), wrSignaled);
    mutex.Acquire();  // re-entrant for its owner

    TWaitResult other = wrError;
    bool releaseRaised = false;
    std::thread([&] {
        other = mutex.WaitFor(20);
        try {
            mutex.Release();
        } catch (const ESyncObjectException&) {
            releaseRaised = true;
        }
    }).join();
    EXPECT_EQ(other, wrTimeout);
    EXPECT_TRUE(releaseRaised);

    mutex.Release();
    std::thread([&] { other = mutex.WaitFor(0); }).join();
    EXPECT_EQ(other, wrTimeout);  // still held once
    mutex.Release();
    EXPECT_THROW(mutex.Release(), ESyncObjectException);

    std::thread([&] {
        other = mutex.WaitFor(INFINITE);
        mutex.Release();
    }).join();
    EXPECT_EQ(other, wrSignaled);
}

TEST(SyncObjs, PauseGateBlocksAndResumes)
{
    TPauseGate gate;
    const std::atomic<bool> noAbort{false};
    EXPECT_FALSE(gate.Paused());
    EXPECT_TRUE(gate.WaitWhilePaused(noAbort));  // open: returns at once

    gate.Pause();
    EXPECT_TRUE(gate.Paused());
    std::atomic<int> passed{0};
    std::atomic<bool> result{false};
    TEvent repaused;
    std::thread worker([&] {
        bool ok = gate.WaitWhilePaused(noAbort);
        ++passed;
        repaused.WaitFor(INFINITE);
        ok = gate.WaitWhilePaused(noAbort) && ok;
        ++passed;
        result = ok;
    });
    spinUntil([&] { return gate.WaitingCount() == 1; });
    EXPECT_EQ(passed.load(), 0);

    gate.Resume();
    spinUntil([&] { return passed.load() == 1; });
    gate.Pause();
    repaused.SetEvent();
    spinUntil([&] { return gate.WaitingCount() == 1; });
    EXPECT_EQ(passed.load(), 1);

    gate.Resume();
    worker.join();
    EXPECT_EQ(passed.load(), 2);
    EXPECT_TRUE(result.load());
    EXPECT_EQ(gate.WaitingCount(), 0);
}

TEST(SyncObjs, PauseGateHonoursAbort)
{
    TPauseGate gate;
    gate.Pause();
    std::atomic<bool> abort{false};
    std::atomic<bool> result{true};
    std::thread worker([&] { result = gate.WaitWhilePaused(abort); });
    spinUntil([&] { return gate.WaitingCount() == 1; });

    abort = true;
    gate.Wake();
    worker.join();
    EXPECT_FALSE(result.load());
    EXPECT_TRUE(gate.Paused());  // abort ends the wait, not the pause

    // Already aborted: no wait at all, paused or not.
    EXPECT_FALSE(gate.WaitWhilePaused(abort));
    gate.Resume();
    EXPECT_FALSE(gate.WaitWhilePaused(abort));
}
