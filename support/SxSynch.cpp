#include "support/SxSynch.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

TSxWaitResult WaitResultFromCode(uint32_t code)
{
    switch (code) {
    case 0: return WaitSignaled;
    case 128: return WaitAbandoned;
    case 192: return WaitIoCompletion;
    case 258: return WaitTimedOut;
    default: return WaitFailed;
    }
}

AnsiString SxPosixObjectName(const String& Name)
{
    AnsiString name = Name.toUtf8();
    if (!name.startsWith('/'))
        name.prepend('/');
    return name;
}

TSxDispatcherObject::~TSxDispatcherObject()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

TSxMutex::TSxMutex(const String& Name, bool InitialOwner)
{
    FName = Name;
    const AnsiString posixName = SxPosixObjectName(Name);
    FHandle = ::shm_open(posixName.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (FHandle < 0 && errno == EEXIST) {
        FExisted = true;
        FHandle = ::shm_open(posixName.constData(), O_RDWR | O_CLOEXEC, 0600);
    }
    if (FHandle < 0)
        throw ESxMutexError(LoadResString(SxResources::RsCreateMutex));
    if (InitialOwner)
        WaitSignal(-1);
}

TSxMutex::~TSxMutex()
{
    while (FOwner.load() == std::this_thread::get_id() && FDepth > 0)
        ReleaseOwnership();
}

TSxWaitResult TSxMutex::WaitSignal(int TimeOutMs)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(TimeOutMs < 0 ? 0 : TimeOutMs);
    if (TimeOutMs < 0) {
        FThreadLock.lock();
    } else {
        // Polled: timed locks are not seen by every thread checker.
        while (!FThreadLock.try_lock()) {
            if (steady_clock::now() >= deadline)
                return WaitTimedOut;
            std::this_thread::sleep_for(milliseconds(1));
        }
    }
    if (FOwner.load() == std::this_thread::get_id()) {
        ++FDepth;
        return WaitSignaled;
    }
    for (;;) {
        if (::flock(FHandle, LOCK_EX | (TimeOutMs < 0 ? 0 : LOCK_NB)) == 0)
            break;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            FThreadLock.unlock();
            return WaitFailed;
        }
        if (steady_clock::now() >= deadline) {
            FThreadLock.unlock();
            return WaitTimedOut;
        }
        std::this_thread::sleep_for(milliseconds(1));
    }
    FDepth = 1;
    FOwner.store(std::this_thread::get_id());
    return WaitSignaled;
}

bool TSxMutex::ReleaseOwnership()
{
    if (FOwner.load() != std::this_thread::get_id())
        return false;
    if (--FDepth == 0) {
        FOwner.store(std::thread::id());
        ::flock(FHandle, LOCK_UN);
    }
    FThreadLock.unlock();
    return true;
}

void TSxMutex::Unlink()
{
    ::shm_unlink(SxPosixObjectName(FName).constData());
}
