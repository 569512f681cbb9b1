#include "platform/rtl/Thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <system_error>

namespace {

std::atomic<uint32_t> mainThreadID{0};

struct TSyncEntry {
    TThread* Thread = nullptr;
    TThreadMethod Method;
    bool Synchronous = false;
    uint64_t Seq = 0;
    // Set by the main thread under the queue's lock.
    bool Done = false;
    std::exception_ptr Error;
};

// The one queue of calls for the main thread. Workers wait on Completed
// with the lock released, so no worker holds a lock while the main thread runs.
struct TSyncQueue {
    std::mutex Lock;
    std::condition_variable Posted;     // a call arrived, or a thread ended
    std::condition_variable Completed;  // a synchronous call has run
    std::deque<std::shared_ptr<TSyncEntry>> Entries;
    uint64_t NextSeq = 0;
    std::function<void()> Wake;
};

TSyncQueue& syncQueue()
{
    static TSyncQueue instance;
    return instance;
}

bool inMainThread()
{
    const uint32_t id = mainThreadID.load();
    return id != 0 && id == TThread::CurrentThreadID();
}

void post(const std::shared_ptr<TSyncEntry>& entry)
{
    TSyncQueue& q = syncQueue();
    std::function<void()> wake;
    {
        const std::lock_guard guard(q.Lock);
        entry->Seq = q.NextSeq++;
        q.Entries.push_back(entry);
        wake = q.Wake;
    }
    q.Posted.notify_all();
    if (wake)
        SafeCall(wake);
}

void completeSynchronous(TSyncQueue& q, TSyncEntry& entry, std::exception_ptr error)
{
    {
        const std::lock_guard guard(q.Lock);
        entry.Error = std::move(error);
        entry.Done = true;
    }
    q.Completed.notify_all();
}

int niceOf(TThreadPriority priority)
{
    static constexpr int table[] = {19, 10, 5, 0, -5, -10, -15};
    return table[priority];
}

}  // namespace

void ClassesInitialization()
{
    mainThreadID.store(TThread::CurrentThreadID());
}

void ClassesFinalization()
{
    mainThreadID.store(0);
    TSyncQueue& q = syncQueue();
    std::deque<std::shared_ptr<TSyncEntry>> dropped;
    {
        const std::lock_guard guard(q.Lock);
        dropped.swap(q.Entries);
        q.Wake = nullptr;
    }
    // A worker still waiting in Synchronize gets an error instead of a wait
    // that would never end.
    for (const auto& entry : dropped) {
        if (entry->Synchronous) {
            std::exception_ptr error;
            try {
                throw EThread(LoadResString(RtlConsts::SNoMainThread));
            } catch (...) {
                error = std::current_exception();
            }
            completeSynchronous(q, *entry, error);
        }
    }
}

uint32_t TThread::CurrentThreadID()
{
    thread_local const uint32_t id = static_cast<uint32_t>(gettid());
    return id;
}

uint32_t TThread::MainThreadID()
{
    return mainThreadID.load();
}

TThread::TThread(bool CreateSuspended)
    : FCreateSuspended(CreateSuspended)
{
}

TThread::~TThread()
{
    if (FStarted.load()) {
        Terminate();
        waitForEnd();
    }
    RemoveQueuedEvents(this);
}

void TThread::AfterConstruction()
{
    if (!FCreateSuspended && !FStarted.load())
        Start();
}

void TThread::Start()
{
    if (FStarted.exchange(true))
        throw EThread(LoadResString(RtlConsts::SThreadStartError));
    try {
        FHandle = std::thread(&TThread::threadProc, this);
    } catch (const std::system_error& e) {
        FStarted.store(false);
        throw EThread(LoadResString(RtlConsts::SThreadCreateError), {String::fromLocal8Bit(e.what())});
    }
    // ThreadID is valid once Start returns.
    std::unique_lock lock(FLock);
    FStateCv.wait(lock, [this] { return FThreadID.load() != 0; });
}

void TThread::threadProc()
{
    {
        const std::lock_guard guard(FLock);
        FThreadID.store(CurrentThreadID());
        FRunning = true;
        if (FPriority != tpNormal)
            applyPriority();
    }
    FStateCv.notify_all();

    if (!Terminated()) {
        try {
            Execute();
        } catch (...) {
            const std::lock_guard guard(FLock);
            FFatalException = std::current_exception();
        }
    }
    FFinished.store(true);
    SafeCall([this] { doTerminate(); });

    {
        const std::lock_guard guard(FLock);
        FRunning = false;
        FEnded.store(true);
    }
    FStateCv.notify_all();
    // A main thread in WaitFor sleeps on the queue's condition.
    TSyncQueue& q = syncQueue();
    { const std::lock_guard guard(q.Lock); }
    q.Posted.notify_all();
}

void TThread::doTerminate()
{
    if (OnTerminate.Assigned())
        Synchronize([this] { OnTerminate(this); });
}

void TThread::applyPriority()
{
    if (!FRunning)
        return;
    // Raising priority fails without privileges; the requested value stays.
    setpriority(PRIO_PROCESS, static_cast<id_t>(FThreadID.load()), niceOf(FPriority));
}

TThreadPriority TThread::Priority() const
{
    const std::lock_guard guard(FLock);
    return FPriority;
}

void TThread::SetPriority(TThreadPriority Value)
{
    const std::lock_guard guard(FLock);
    FPriority = Value;
    applyPriority();
}

std::exception_ptr TThread::FatalException() const
{
    const std::lock_guard guard(FLock);
    return FFatalException;
}

String TThread::FatalExceptionMessage() const
{
    const std::exception_ptr error = FatalException();
    if (!error)
        return {};
    try {
        std::rethrow_exception(error);
    } catch (const Exception& E) {
        return E.Message();
    } catch (const std::exception& e) {
        return String::fromLocal8Bit(e.what());
    } catch (...) {
        return String::fromLatin1("Unknown exception");
    }
}

int TThread::WaitFor()
{
    waitForEnd();
    return ReturnValue();
}

void TThread::waitForEnd() noexcept
{
    if (!FStarted.load())
        return;
    if (inMainThread()) {
        TSyncQueue& q = syncQueue();
        while (!FEnded.load()) {
            {
                std::unique_lock lock(q.Lock);
                q.Posted.wait(lock, [&] { return !q.Entries.empty() || FEnded.load(); });
            }
            CheckSynchronize();
        }
    } else {
        std::unique_lock lock(FLock);
        FStateCv.wait(lock, [this] { return FEnded.load(); });
    }
    const std::lock_guard guard(FJoinLock);
    if (FHandle.joinable())
        FHandle.join();
}

void TThread::Synchronize(TThread* AThread, TThreadMethod AMethod)
{
    if (inMainThread()) {
        AMethod();
        return;
    }
    if (mainThreadID.load() == 0)
        throw EThread(LoadResString(RtlConsts::SNoMainThread));
    auto entry = std::make_shared<TSyncEntry>();
    entry->Thread = AThread;
    entry->Method = std::move(AMethod);
    entry->Synchronous = true;
    post(entry);

    TSyncQueue& q = syncQueue();
    std::exception_ptr error;
    {
        std::unique_lock lock(q.Lock);
        q.Completed.wait(lock, [&] { return entry->Done; });
        // Taken out so the exception object is freed in this thread, which
        // used it last, whoever drops the entry.
        error = std::move(entry->Error);
    }
    if (error)
        std::rethrow_exception(error);
}

void TThread::Queue(TThread* AThread, TThreadMethod AMethod)
{
    if (inMainThread()) {
        AMethod();
        return;
    }
    // With nobody to run it, a posted call would only pile up.
    if (mainThreadID.load() == 0)
        return;
    auto entry = std::make_shared<TSyncEntry>();
    entry->Thread = AThread;
    entry->Method = std::move(AMethod);
    post(entry);
}

void TThread::RemoveQueuedEvents(TThread* AThread)
{
    TSyncQueue& q = syncQueue();
    std::deque<std::shared_ptr<TSyncEntry>> removed;
    {
        const std::lock_guard guard(q.Lock);
        // A synchronous call stays: its worker is waiting for it.
        std::erase_if(q.Entries, [&](const std::shared_ptr<TSyncEntry>& entry) {
            if (entry->Synchronous || entry->Thread != AThread)
                return false;
            removed.push_back(entry);
            return true;
        });
    }
    // The calls' captures are destroyed here, outside the lock.
}

bool CheckSynchronize(int timeoutMs)
{
    const uint32_t current = TThread::CurrentThreadID();
    if (current != mainThreadID.load())
        throw EThread(LoadResString(RtlConsts::SCheckSynchronizeError), {current});

    TSyncQueue& q = syncQueue();
    std::unique_lock lock(q.Lock);
    if (q.Entries.empty() && timeoutMs > 0)
        q.Posted.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !q.Entries.empty(); });

    // Calls posted while these run wait for the next round, so a call that
    // posts itself again cannot keep the main thread here forever.
    const uint64_t limit = q.NextSeq;
    bool ran = false;
    while (!q.Entries.empty() && q.Entries.front()->Seq < limit) {
        std::shared_ptr<TSyncEntry> entry = std::move(q.Entries.front());
        q.Entries.pop_front();
        lock.unlock();
        ran = true;
        if (entry->Synchronous) {
            std::exception_ptr error;
            try {
                entry->Method();
            } catch (...) {
                error = std::current_exception();
            }
            completeSynchronous(q, *entry, std::move(error));
        } else {
            SafeCall(entry->Method);
        }
        // The call's captures may post again; they go before the lock is retaken.
        entry.reset();
        lock.lock();
    }
    return ran;
}

void SetWakeMainThread(std::function<void()> hook)
{
    TSyncQueue& q = syncQueue();
    const std::lock_guard guard(q.Lock);
    q.Wake = std::move(hook);
}
