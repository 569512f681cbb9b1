// SxSynch.h - the waitable named mutex of the support units and the lock
// that is held as long as a reference to it is held.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "support/SxBase.h"

namespace SxResources {
VORLANE_RESOURCESTRING(RsCreateMutex, "Failed to create mutex");
}  // namespace SxResources

enum TSxWaitResult { WaitAbandoned, WaitFailed, WaitIoCompletion, WaitSignaled, WaitTimedOut };

// The wait function's codes: 0 signalled, 128 abandoned, 192 I/O
// completion, 258 timed out; any other code is a failure.
TSxWaitResult WaitResultFromCode(uint32_t code);

// A named object that several modules of one process (or several
// processes) open by name. Here: a POSIX shared-memory object whose
// descriptor is closed with the object.
class TSxDispatcherObject {
public:
    virtual ~TSxDispatcherObject();
    TSxDispatcherObject(const TSxDispatcherObject&) = delete;
    TSxDispatcherObject& operator=(const TSxDispatcherObject&) = delete;

    const String& Name() const { return FName; }
    // True when the named object was there already when it was opened.
    bool Existed() const { return FExisted; }
    int Handle() const { return FHandle; }

protected:
    TSxDispatcherObject() = default;
    int FHandle = -1;
    String FName;
    bool FExisted = false;
};

// A named mutex: an exclusive flock on a shared-memory object named like the
// mutex (with a leading "/"), which the kernel drops when its holder dies,
// so a lock never outlives its process. Threads of one module are kept
// apart by an in-process lock; the holding thread may wait again.
class TSxMutex : public TSxDispatcherObject {
public:
    // Raises ESxMutexError "Failed to create mutex" when the object cannot be made.
    explicit TSxMutex(const String& Name, bool InitialOwner = false);
    ~TSxMutex() override;

    // -1 waits without limit.
    TSxWaitResult WaitSignal(int TimeOutMs = -1);
    bool ReleaseOwnership();
    // Removes the name; holders keep their object, later openers get a new one.
    void Unlink();

private:
    std::recursive_mutex FThreadLock;
    std::atomic<std::thread::id> FOwner;
    int FDepth = 0;  // touched only by the owning thread
};

// A critical section reached as a counted reference: taking a reference
// enters it, dropping the reference leaves it. Neither ever frees it.
class TSxIntfCriticalSection {
public:
    int _AddRef() { FLock.lock(); return 0; }
    int _Release() { FLock.unlock(); return 0; }

private:
    std::recursive_mutex FLock;
};

// A held reference to a TSxIntfCriticalSection; an empty one holds nothing.
class TSxLockRef {
public:
    TSxLockRef() = default;
    explicit TSxLockRef(TSxIntfCriticalSection* Section) : FSection(Section)
    {
        if (FSection != nullptr)
            FSection->_AddRef();
    }
    ~TSxLockRef()
    {
        if (FSection != nullptr)
            FSection->_Release();
    }
    TSxLockRef(TSxLockRef&& other) noexcept : FSection(other.FSection) { other.FSection = nullptr; }
    TSxLockRef(const TSxLockRef&) = delete;
    TSxLockRef& operator=(const TSxLockRef&) = delete;
    TSxLockRef& operator=(TSxLockRef&&) = delete;
    explicit operator bool() const { return FSection != nullptr; }

private:
    TSxIntfCriticalSection* FSection = nullptr;
};

// A POSIX object name for a name of the original form: one leading "/".
AnsiString SxPosixObjectName(const String& Name);
