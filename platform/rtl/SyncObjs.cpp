#include "platform/rtl/SyncObjs.h"

#include <chrono>

#include "platform/rtl/Thread.h"

namespace {

// Waits on cv until ready() holds or Timeout (ms, or INFINITE) passes.
template <class Ready>
bool waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint32_t Timeout, Ready ready)
{
    if (Timeout == INFINITE) {
        cv.wait(lock, ready);
        return true;
    }
    return cv.wait_for(lock, std::chrono::milliseconds(Timeout), ready);
}

}  // namespace

TEvent::TEvent(bool ManualReset, bool InitialState)
    : FManualReset(ManualReset), FSignaled(InitialState)
{
}

void TEvent::SetEvent()
{
    {
        const std::lock_guard guard(FLock);
        FSignaled = true;
    }
    if (FManualReset)
        FChanged.notify_all();
    else
        FChanged.notify_one();
}

void TEvent::ResetEvent()
{
    const std::lock_guard guard(FLock);
    FSignaled = false;
}

TWaitResult TEvent::WaitFor(uint32_t Timeout)
{
    std::unique_lock lock(FLock);
    if (!waitUntil(FChanged, lock, Timeout, [this] { return FSignaled; }))
        return wrTimeout;
    if (!FManualReset)
        FSignaled = false;
    return wrSignaled;
}

void TMutex::Release()
{
    const uint32_t self = TThread::CurrentThreadID();
    {
        const std::lock_guard guard(FLock);
        if (FOwner != self || FCount == 0)
            throw ESyncObjectException(LoadResString(RtlConsts::SMutexNotOwned));
        if (--FCount > 0)
            return;
        FOwner = 0;
    }
    FReleased.notify_one();
}

TWaitResult TMutex::WaitFor(uint32_t Timeout)
{
    const uint32_t self = TThread::CurrentThreadID();
    std::unique_lock lock(FLock);
    if (!waitUntil(FReleased, lock, Timeout, [&] { return FOwner == 0 || FOwner == self; }))
        return wrTimeout;
    FOwner = self;
    ++FCount;
    return wrSignaled;
}

void TPauseGate::Pause()
{
    const std::lock_guard guard(FLock);
    FPaused.store(true);
}

void TPauseGate::Resume()
{
    {
        const std::lock_guard guard(FLock);
        FPaused.store(false);
    }
    FChanged.notify_all();
}

void TPauseGate::Wake()
{
    { const std::lock_guard guard(FLock); }
    FChanged.notify_all();
}

bool TPauseGate::WaitWhilePaused(const std::atomic<bool>& Abort)
{
    if (!FPaused.load())
        return !Abort.load();
    std::unique_lock lock(FLock);
    ++FWaiting;
    FChanged.wait(lock, [&] { return !FPaused.load() || Abort.load(); });
    --FWaiting;
    return !Abort.load();
}

int TPauseGate::WaitingCount() const
{
    const std::lock_guard guard(FLock);
    return FWaiting;
}
