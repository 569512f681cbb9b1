// SyncObjs.h - locks, events and the cooperative pause gate that workers
// and the main thread share.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace RtlConsts {
VORLANE_RESOURCESTRING(SMutexNotOwned, "Attempt to release mutex not owned by caller");
}  // namespace RtlConsts

VORLANE_DECLARE_EXCEPTION(ESyncObjectException, Exception);

// A time-out that never ends, in milliseconds.
inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class TSynchroObject : public TObject {
public:
    virtual void Acquire() = 0;
    virtual void Release() = 0;
};

// Holds a lock for the lifetime of the scope.
class TSynchroGuard {
public:
    explicit TSynchroGuard(TSynchroObject& Object) : FObject(Object) { FObject.Acquire(); }
    ~TSynchroGuard() { FObject.Release(); }
    TSynchroGuard(const TSynchroGuard&) = delete;
    TSynchroGuard& operator=(const TSynchroGuard&) = delete;

private:
    TSynchroObject& FObject;
};

// Re-entrant: the thread that holds it may enter again and leaves as often.
class TCriticalSection : public TSynchroObject {
public:
    void Acquire() override { FLock.lock(); }
    void Release() override { FLock.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
    bool TryEnter() { return FLock.try_lock(); }

private:
    std::recursive_mutex FLock;
};

// A signalled or non-signalled state. A manual-reset event releases every
// waiter until it is reset; an auto-reset event releases one waiter and
// resets itself.
class TEvent : public TObject {
public:
    explicit TEvent(bool ManualReset = true, bool InitialState = false);

    void SetEvent();
    void ResetEvent();
    // Timeout in milliseconds, or INFINITE.
    TWaitResult WaitFor(uint32_t Timeout = INFINITE);

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    const bool FManualReset;
    bool FSignaled;
};

// A manual-reset event that starts non-signalled.
class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

// A re-entrant lock with an owner: only the owning thread may release it
// (ESyncObjectException otherwise), and waiting for it can time out.
class TMutex : public TSynchroObject {
public:
    void Acquire() override { WaitFor(INFINITE); }
    void Release() override;
    // wrSignaled once the calling thread owns the mutex.
    TWaitResult WaitFor(uint32_t Timeout);

private:
    std::mutex FLock;
    std::condition_variable FReleased;
    uint32_t FOwner = 0;  // kernel thread id, 0 when free
    int FCount = 0;
};

// The cooperative pause of a worker: the worker calls WaitWhilePaused at
// points where it holds no lock, so a paused worker never blocks anyone else.
class TPauseGate {
public:
    void Pause();
    void Resume();
    bool Paused() const { return FPaused.load(); }

    // Returns at once when not paused; otherwise waits for Resume or for
    // Abort to become true. Returns false when Abort is set. Whoever sets an
    // abort flag calls Wake so that waiting workers see it.
    bool WaitWhilePaused(const std::atomic<bool>& Abort);
    void Wake();
    // The number of workers now waiting at the gate.
    int WaitingCount() const;

private:
    mutable std::mutex FLock;
    std::condition_variable FChanged;
    std::atomic<bool> FPaused{false};
    int FWaiting = 0;
};
