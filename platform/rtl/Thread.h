// Thread.h - worker threads, and the main thread's queue of calls that
// workers hand to it.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace RtlConsts {
VORLANE_RESOURCESTRING(SThreadStartError, "Cannot call Start on a running or suspended thread");
VORLANE_RESOURCESTRING(SNoMainThread, "No main thread is handling synchronized calls");
}  // namespace RtlConsts

// Records the main thread; the start-up list calls these.
void ClassesInitialization();
void ClassesFinalization();

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TThreadMethod = std::function<void()>;

// A thread that runs Execute once. It is owned (a value or a unique_ptr) and
// joined, never detached.
//
// Stopping: Execute is virtual, so by the time ~TThread runs the derived part
// is already gone. The owner calls Terminate() and WaitFor() before it frees
// the thread, or the derived class does so in its own destructor. ~TThread
// still terminates and joins a running thread, which is sound as long as
// Execute touches nothing but TThread's members once Terminated() is set.
class TThread : public TObject {
public:
    // A thread created with CreateSuspended == false starts once construction
    // is complete: through makeThread<T>(...) or a call of AfterConstruction.
    // A base constructor cannot start it, because Execute would run on an
    // object whose derived part does not exist yet.
    explicit TThread(bool CreateSuspended);
    ~TThread() override;

    String ClassName() const override { return String::fromLatin1("TThread"); }

    // Starts a thread created with CreateSuspended == false.
    void AfterConstruction();
    // Raises EThread when the thread was already started.
    void Start();
    void Terminate() { FTerminated.store(true); }
    // Waits until Execute and OnTerminate are done and returns ReturnValue.
    // In the main thread it keeps running synchronized calls meanwhile, so a
    // worker in Synchronize cannot deadlock it. Returns at once for a thread
    // that was never started.
    int WaitFor();

    bool Terminated() const { return FTerminated.load(); }
    bool Finished() const { return FFinished.load(); }
    bool Started() const { return FStarted.load(); }
    int ReturnValue() const { return FReturnValue.load(); }
    // The kernel's id of the thread; 0 until it has started.
    uint32_t ThreadID() const { return FThreadID.load(); }

    TThreadPriority Priority() const;
    // Applied to the running thread at once, or before Execute when set
    // before Start. Raising priority needs privileges; without them the
    // value is kept and the failure ignored.
    void SetPriority(TThreadPriority Value);

    // The exception that escaped Execute, or nullptr. Read after WaitFor.
    std::exception_ptr FatalException() const;
    String FatalExceptionMessage() const;

    // Runs in the main thread, through Synchronize, after Execute ends.
    TNotifyEvent OnTerminate;

    static uint32_t CurrentThreadID();
    static uint32_t MainThreadID();

    // Runs AMethod in the main thread and waits until it has run; an
    // exception it raises is raised again in the caller. AThread may be
    // nullptr. In the main thread the call runs at once.
    static void Synchronize(TThread* AThread, TThreadMethod AMethod);
    // Posts AMethod to the main thread without waiting; an exception it
    // raises goes to HandleCurrentException. In the main thread it runs at once.
    static void Queue(TThread* AThread, TThreadMethod AMethod);
    // Drops the calls AThread queued that have not run yet.
    static void RemoveQueuedEvents(TThread* AThread);
    // Before start-up and after shutdown no thread is the main thread: then
    // Synchronize raises EThread and Queue drops the call.

protected:
    virtual void Execute() = 0;

    void Synchronize(TThreadMethod AMethod) { Synchronize(this, std::move(AMethod)); }
    void Queue(TThreadMethod AMethod) { Queue(this, std::move(AMethod)); }
    void SetReturnValue(int Value) { FReturnValue.store(Value); }

private:
    void threadProc();
    void doTerminate();
    void applyPriority();  // FLock held
    void waitForEnd() noexcept;

    std::thread FHandle;
    std::mutex FJoinLock;  // two waiters must not join the same thread

    mutable std::mutex FLock;  // guards what follows up to FRunning
    std::condition_variable FStateCv;  // the thread has published its id, or ended
    TThreadPriority FPriority = tpNormal;
    std::exception_ptr FFatalException;
    bool FRunning = false;  // FThreadID names a live thread

    const bool FCreateSuspended;
    std::atomic<bool> FStarted{false};
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FEnded{false};  // the thread has nothing left to do
    std::atomic<int> FReturnValue{0};
    std::atomic<uint32_t> FThreadID{0};
};

// Creates a thread and, unless the constructor asked for it suspended,
// starts it now that the object is complete.
template <class T, class... Args>
std::unique_ptr<T> makeThread(Args&&... args)
{
    auto thread = std::make_unique<T>(std::forward<Args>(args)...);
    thread->AfterConstruction();
    return thread;
}

// Runs the calls workers posted with Synchronize or Queue, in posting order;
// only the main thread may call it (EThread otherwise). With timeoutMs > 0 it
// first waits up to that long for a call. Returns true if anything ran.
bool CheckSynchronize(int timeoutMs = 0);

// The event loop installs a hook that wakes it when a call is posted; the
// hook runs in the posting thread. Pass an empty function to remove it.
void SetWakeMainThread(std::function<void()> hook);
