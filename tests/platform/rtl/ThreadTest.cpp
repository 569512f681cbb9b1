#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Thread.h"

namespace {

// A thread whose body is given by the test; it stops itself in its own
// destructor, as classes derived from TThread must.
class TTestThread : public TThread {
public:
    using TBody = std::function<void(TTestThread& self)>;

    explicit TTestThread(TBody body, bool CreateSuspended = true)
        : TThread(CreateSuspended), FBody(std::move(body))
    {
    }
    ~TTestThread() override
    {
        Terminate();
        WaitFor();
    }

    using TThread::Queue;
    using TThread::SetReturnValue;
    using TThread::Synchronize;

protected:
    void Execute() override { FBody(*this); }

private:
    TBody FBody;
};

bool onMainThread()
{
    return TThread::CurrentThreadID() == TThread::MainThreadID();
}

int currentNice()
{
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(TThread::CurrentThreadID()));
}

// Installs an application exception handler for one test.
class HandlerScope {
public:
    explicit HandlerScope(std::vector<String>& seen)
    {
        SetApplicationExceptionHandler([&seen](const Exception& E) { seen.push_back(E.Message()); });
    }
    ~HandlerScope() { SetApplicationExceptionHandler({}); }
};

}  // namespace

TEST(Thread, IdsOfMainAndWorker)
{
    ASSERT_NE(TThread::MainThreadID(), 0u);
    EXPECT_TRUE(onMainThread());

    std::atomic<uint32_t> seenInside{0};
    TTestThread thread([&](TTestThread&) { seenInside = TThread::CurrentThreadID(); });
    EXPECT_EQ(thread.ThreadID(), 0u);
    thread.Start();
    const uint32_t id = thread.ThreadID();
    EXPECT_NE(id, 0u);
    thread.WaitFor();
    EXPECT_EQ(seenInside.load(), id);
    EXPECT_NE(id, TThread::MainThreadID());
}

TEST(Thread, StartRulesAndReturnValue)
{
    // Created suspended: nothing runs until Start.
    std::atomic<int> runs{0};
    TTestThread suspended([&](TTestThread& self) {
        ++runs;
        self.SetReturnValue(7);
    });
    EXPECT_EQ(suspended.WaitFor(), 0);  // never started: returns at once
    EXPECT_EQ(runs.load(), 0);
    suspended.Start();
    EXPECT_EQ(suspended.WaitFor(), 7);
    EXPECT_TRUE(suspended.Finished());
    EXPECT_THROW(suspended.Start(), EThread);
    EXPECT_EQ(runs.load(), 1);

    // Not suspended: starts once the object is complete.
    auto running = makeThread<TTestThread>([&](TTestThread& self) { self.SetReturnValue(++runs); }, false);
    EXPECT_TRUE(running->Started());
    EXPECT_EQ(running->WaitFor(), 2);
    EXPECT_THROW(running->Start(), EThread);

    // A thread terminated before it starts never enters Execute.
    TTestThread terminated([&](TTestThread&) { ++runs; });
    terminated.Terminate();
    terminated.Start();
    terminated.WaitFor();
    EXPECT_TRUE(terminated.Finished());
    EXPECT_EQ(runs.load(), 2);
}

TEST(Thread, SynchronizeFromEightThreadsRunsOnMainInOrder)
{
    constexpr int threadCount = 8;
    constexpr int callCount = 50;
    std::vector<std::vector<int>> calls(threadCount);  // touched only by the main thread
    int offMain = 0;

    std::vector<std::unique_ptr<TTestThread>> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.push_back(std::make_unique<TTestThread>([&, t](TTestThread& self) {
            for (int i = 0; i < callCount; ++i)
                self.Synchronize([&, t, i] {
                    if (!onMainThread())
                        ++offMain;
                    calls[t].push_back(i);
                });
        }));
    }
    for (auto& thread : threads)
        thread->Start();

    auto allFinished = [&] {
        for (auto& thread : threads)
            if (!thread->Finished())
                return false;
        return true;
    };
    while (!allFinished())
        CheckSynchronize(10);
    for (auto& thread : threads)
        thread->WaitFor();

    EXPECT_EQ(offMain, 0);
    std::vector<int> expected;
    for (int i = 0; i < callCount; ++i)
        expected.push_back(i);
    for (int t = 0; t < threadCount; ++t)
        EXPECT_EQ(calls[t], expected) << "thread " << t;
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Thread, MainWaitingForWorkerKeepsRunningItsCalls)
{
    int ran = 0;
    TTestThread thread([&](TTestThread& self) {
        for (int i = 0; i < 20; ++i)
            self.Synchronize([&] { ++ran; });
        self.SetReturnValue(42);
    });
    thread.Start();
    EXPECT_EQ(thread.WaitFor(), 42);
    EXPECT_EQ(ran, 20);
}

TEST(Thread, WaitForFromSeveralOtherThreads)
{
    TEvent release;
    TTestThread thread([&](TTestThread& self) {
        release.WaitFor(INFINITE);
        self.SetReturnValue(5);
    });
    thread.Start();
    std::vector<int> results(3, -1);
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&, i] { results[i] = thread.WaitFor(); });
    release.SetEvent();
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(results, std::vector<int>({5, 5, 5}));
}

TEST(Thread, QueuedCallsRunLaterInOrder)
{
    std::vector<int> order;
    TEvent queued;
    TTestThread thread([&](TTestThread& self) {
        for (int i = 0; i < 100; ++i)
            self.Queue([&, i] { order.push_back(i); });
        queued.SetEvent();
    });
    thread.Start();
    ASSERT_EQ(queued.WaitFor(INFINITE), wrSignaled);
    EXPECT_TRUE(order.empty());

    EXPECT_TRUE(CheckSynchronize());
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_FALSE(CheckSynchronize());
    thread.WaitFor();
}

TEST(Thread, CallsFromTheMainThreadRunAtOnce)
{
    int ran = 0;
    TThread::Synchronize(nullptr, [&] { ++ran; });
    EXPECT_EQ(ran, 1);
    TThread::Queue(nullptr, [&] { ++ran; });
    EXPECT_EQ(ran, 2);
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Thread, SynchronizeFromAPlainThread)
{
    bool onMain = false;
    std::atomic<bool> done{false};
    std::thread plain([&] {
        TThread::Synchronize(nullptr, [&] { onMain = onMainThread(); });
        done = true;
    });
    while (!done)
        CheckSynchronize(10);
    plain.join();
    EXPECT_TRUE(onMain);
}

TEST(Thread, ExceptionInSynchronizedCallReachesTheWorker)
{
    String caught;
    bool keptItsClass = false;
    int afterwards = 0;
    TTestThread thread([&](TTestThread& self) {
        try {
            self.Synchronize([] { throw EConvertError(QStringLiteral("bad value")); });
        } catch (const EConvertError& E) {
            keptItsClass = true;
            caught = E.Message();
        }
        self.Synchronize([&] { ++afterwards; });
    });
    thread.Start();
    EXPECT_EQ(thread.WaitFor(), 0);
    EXPECT_TRUE(keptItsClass);
    EXPECT_EQ(caught, QStringLiteral("bad value"));
    EXPECT_EQ(afterwards, 1);
    EXPECT_FALSE(thread.FatalException());
}

TEST(Thread, ExceptionInQueuedCallGoesToTheApplication)
{
    std::vector<String> seen;
    const HandlerScope scope(seen);
    std::vector<int> order;
    TTestThread thread([&](TTestThread& self) {
        self.Queue([&] { order.push_back(1); });
        self.Queue([] { throw EListError(QStringLiteral("queued failure")); });
        self.Queue([&] { order.push_back(3); });
    });
    thread.Start();
    thread.WaitFor();
    CheckSynchronize();
    EXPECT_EQ(seen, std::vector<String>({QStringLiteral("queued failure")}));
    EXPECT_EQ(order, std::vector<int>({1, 3}));
}

TEST(Thread, ExceptionInExecuteIsKept)
{
    struct Case {
        const char* name;
        std::function<void()> raise;
        QString message;
    };
    const std::vector<Case> cases = {
        {"Exception", [] { throw EListError(QStringLiteral("list broke")); }, QStringLiteral("list broke")},
        {"std", [] { throw std::runtime_error("runtime broke"); }, QStringLiteral("runtime broke")},
        {"other", [] { throw 42; }, QStringLiteral("Unknown exception")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTestThread thread([&](TTestThread& self) {
            self.SetReturnValue(3);
            c.raise();
        });
        thread.Start();
        EXPECT_EQ(thread.WaitFor(), 3);
        EXPECT_TRUE(thread.Finished());
        ASSERT_TRUE(thread.FatalException());
        EXPECT_EQ(thread.FatalExceptionMessage(), c.message);
    }

    TTestThread thread([](TTestThread&) { throw EListError(QStringLiteral("typed")); });
    thread.Start();
    thread.WaitFor();
    EXPECT_THROW(std::rethrow_exception(thread.FatalException()), EListError);
}

TEST(Thread, OnTerminateRunsOnTheMainThreadAfterExecute)
{
    std::atomic<bool> executeDone{false};
    TTestThread thread([&](TTestThread&) {
        std::this_thread::yield();
        executeDone = true;
    });
    TObject* sender = nullptr;
    bool onMain = false;
    bool afterExecute = false;
    bool finished = false;
    int calls = 0;
    thread.OnTerminate = TNotifyEvent::FromFunction([&](TObject* Sender) {
        ++calls;
        sender = Sender;
        onMain = onMainThread();
        afterExecute = executeDone;
        finished = thread.Finished();
    });
    thread.Start();
    thread.WaitFor();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &thread);
    EXPECT_TRUE(onMain);
    EXPECT_TRUE(afterExecute);
    EXPECT_TRUE(finished);
}

TEST(Thread, OnTerminateFailureGoesToTheApplication)
{
    std::vector<String> seen;
    const HandlerScope scope(seen);
    TTestThread thread([](TTestThread&) {});
    thread.OnTerminate = TNotifyEvent::FromFunction([](TObject*) { throw EListError(QStringLiteral("handler broke")); });
    thread.Start();
    thread.WaitFor();
    EXPECT_EQ(seen, std::vector<String>({QStringLiteral("handler broke")}));
    EXPECT_FALSE(thread.FatalException());
}

TEST(Thread, PrioritySetBeforeStartAppliesBeforeExecute)
{
    struct Case {
        TThreadPriority priority;
        int nice;
    };
    const int base = currentNice();
    for (const Case c : {Case{tpIdle, 19}, Case{tpLowest, 10}, Case{tpLower, 5}}) {
        SCOPED_TRACE(c.nice);
        std::atomic<int> seen{-100};
        TTestThread thread([&](TTestThread&) { seen = currentNice(); });
        thread.SetPriority(c.priority);
        thread.Start();
        thread.WaitFor();
        EXPECT_EQ(thread.Priority(), c.priority);
        EXPECT_EQ(seen.load(), std::max(base, c.nice));
    }
}

TEST(Thread, PriorityOfARunningThread)
{
    TEvent changed(false, false);
    TEvent measured(false, false);
    std::atomic<int> niceAfterLowering{-100};
    std::atomic<int> niceAfterRaising{-100};
    TTestThread thread([&](TTestThread&) {
        changed.WaitFor(INFINITE);
        niceAfterLowering = currentNice();
        measured.SetEvent();
        changed.WaitFor(INFINITE);
        niceAfterRaising = currentNice();
    });
    thread.Start();
    EXPECT_EQ(thread.Priority(), tpNormal);

    thread.SetPriority(tpLowest);
    changed.SetEvent();
    measured.WaitFor(INFINITE);
    EXPECT_EQ(thread.Priority(), tpLowest);

    // Without privileges the raise fails; the value is kept all the same.
    thread.SetPriority(tpTimeCritical);
    changed.SetEvent();
    thread.WaitFor();
    EXPECT_EQ(thread.Priority(), tpTimeCritical);
    EXPECT_EQ(niceAfterLowering.load(), std::max(currentNice(), 10));
    EXPECT_TRUE(niceAfterRaising.load() == -15 || niceAfterRaising.load() == niceAfterLowering.load())
        << niceAfterRaising.load();
}

TEST(Thread, RemoveQueuedEventsDropsOnlyThatThreadsCalls)
{
    std::vector<int> ran;
    TEvent queued;
    TTestThread dropped([&](TTestThread& self) {
        for (int i = 0; i < 3; ++i)
            self.Queue([&] { ran.push_back(1); });
        queued.SetEvent();
    });
    dropped.Start();
    queued.WaitFor(INFINITE);
    queued.ResetEvent();
    TTestThread kept([&](TTestThread& self) {
        self.Queue([&] { ran.push_back(2); });
        queued.SetEvent();
    });
    kept.Start();
    queued.WaitFor(INFINITE);

    TThread::RemoveQueuedEvents(&dropped);
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(ran, std::vector<int>({2}));
}

TEST(Thread, DestroyingATrackedThreadDropsItsQueuedCalls)
{
    int ran = 0;
    {
        TTestThread thread([&](TTestThread& self) { self.Queue([&] { ++ran; }); });
        thread.Start();
        // WaitFor outside the main thread does not run the queue.
        std::thread([&] { thread.WaitFor(); }).join();
    }
    EXPECT_FALSE(CheckSynchronize());
    EXPECT_EQ(ran, 0);
}

namespace {
// Relies on ~TThread alone to stop it: Execute only reads Terminated().
class TLoopThread : public TThread {
public:
    explicit TLoopThread(TEvent& started) : TThread(true), FStarted(started) {}

protected:
    void Execute() override
    {
        FStarted.SetEvent();
        while (!Terminated())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

private:
    TEvent& FStarted;
};
}  // namespace

TEST(Thread, BaseDestructorStopsARunningThread)
{
    TEvent started;
    auto thread = std::make_unique<TLoopThread>(started);
    thread->Start();
    ASSERT_EQ(started.WaitFor(INFINITE), wrSignaled);
    thread.reset();  // would hang if ~TThread did not terminate and join
    SUCCEED();
}

TEST(Thread, CheckSynchronizeOnlyInTheMainThread)
{
    bool raised = false;
    std::thread([&] {
        try {
            CheckSynchronize();
        } catch (const EThread&) {
            raised = true;
        }
    }).join();
    EXPECT_TRUE(raised);
}

TEST(Thread, WakeHookRunsWhenACallIsPosted)
{
    std::atomic<int> wakes{0};
    SetWakeMainThread([&] { ++wakes; });
    int ran = 0;
    TTestThread thread([&](TTestThread& self) {
        self.Queue([&] { ++ran; });
        self.Queue([&] { ++ran; });
    });
    thread.Start();
    thread.WaitFor();
    SetWakeMainThread({});
    CheckSynchronize();
    EXPECT_EQ(wakes.load(), 2);
    EXPECT_EQ(ran, 2);
}
