#include "support/SxSysUtils.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/rtl/SysUtils.h"

namespace {

struct TMMFHandleListItem {
    String Name;
    int Handle = -1;
    void* View = nullptr;
    size_t Size = 0;
    int Users = 0;
};

// This module's blocks, newest first; read and changed under the list lock.
std::vector<std::unique_ptr<TMMFHandleListItem>> mappingList;
std::atomic<TSxIntfCriticalSection*> mappingLock{nullptr};
std::atomic<bool> finalizing{false};

// A module unloaded without its unit finalization still frees its lock.
struct TLockReaper {
    ~TLockReaper() { std::unique_ptr<TSxIntfCriticalSection> lock(mappingLock.exchange(nullptr)); }
} lockReaper;

bool validPosixName(const String& name)
{
    const String bare = name.startsWith(u'/') ? name.mid(1) : name;
    return !bare.isEmpty() && !bare.contains(u'/') && bare.toUtf8().size() <= 254;
}

int protectionFor(uint32_t access)
{
    if (access == SxMapRead)
        return PROT_READ;
    return PROT_READ | PROT_WRITE;
}

}  // namespace

String GuidToBraceText(const TGUID& g)
{
    return Format(QStringLiteral("{%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x}"),
                  {g.D1, unsigned{g.D2}, unsigned{g.D3}, unsigned{g.D4[0]}, unsigned{g.D4[1]}, unsigned{g.D4[2]},
                   unsigned{g.D4[3]}, unsigned{g.D4[4]}, unsigned{g.D4[5]}, unsigned{g.D4[6]}, unsigned{g.D4[7]}})
        .toLower();
}

void ZeroBlock(void* Address, ptrdiff_t Size)
{
    if (Size > 0)
        std::memset(Address, 0, static_cast<size_t>(Size));
}

TSxLockRef LockMappingList()
{
    if (mappingLock.load() == nullptr && !finalizing.load()) {
        auto fresh = std::make_unique<TSxIntfCriticalSection>();
        TSxIntfCriticalSection* expected = nullptr;
        if (mappingLock.compare_exchange_strong(expected, fresh.get()))
            fresh.release();  // owned by the unit from now on, freed at finalization
    }
    if (finalizing.load())
        return TSxLockRef();
    return TSxLockRef(mappingLock.load());
}

int OpenSharedBlock(void*& Address, const String& Name, size_t Size, uint32_t Access)
{
    Address = nullptr;
    int result = 0;
    if (!validPosixName(Name))
        throw ESharedMemError(LoadResString(SxResources::RsInvalidMMFName), {Name});
    const TSxLockRef lock = LockMappingList();

    for (const auto& item : mappingList)
        if (SameText(item->Name, Name)) {
            ++item->Users;
            Address = item->View;
            return SxAlreadyExists;
        }

    const AnsiString posixName = SxPosixObjectName(Name);
    const int oflags = (Access == SxMapRead ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    int handle = ::shm_open(posixName.constData(), oflags, 0600);
    if (handle >= 0) {
        result = SxAlreadyExists;
    } else {
        if (Size == 0)
            throw ESharedMemError(LoadResString(SxResources::RsInvalidMMFEmpty), {Name});
        handle = ::shm_open(posixName.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (handle < 0 && errno == EEXIST) {  // made by another module meanwhile
            result = SxAlreadyExists;
            handle = ::shm_open(posixName.constData(), oflags, 0600);
        }
        if (handle < 0)
            SxRaiseOSError(errno);
    }

    struct stat st{};
    if (::fstat(handle, &st) != 0) {
        const int error = errno;
        ::close(handle);
        SxRaiseOSError(error);
    }
    size_t mapSize = Size != 0 ? Size : static_cast<size_t>(st.st_size);
    if (static_cast<size_t>(st.st_size) < mapSize && Access != SxMapRead && ::ftruncate(handle, static_cast<off_t>(mapSize)) != 0) {
        const int error = errno;
        ::close(handle);
        SxRaiseOSError(error);
    }
    if (static_cast<size_t>(st.st_size) < mapSize && Access == SxMapRead)
        mapSize = static_cast<size_t>(st.st_size);
    void* view = mapSize == 0 ? MAP_FAILED
                              : ::mmap(nullptr, mapSize, protectionFor(Access),
                                       Access == SxMapCopy ? MAP_PRIVATE : MAP_SHARED, handle, 0);
    if (view == MAP_FAILED) {
        const int error = mapSize == 0 ? EINVAL : errno;
        ::close(handle);
        SxRaiseOSError(error);
    }
    auto item = std::make_unique<TMMFHandleListItem>();
    item->Name = Name;
    item->Handle = handle;
    item->View = view;
    item->Size = mapSize;
    item->Users = 1;
    mappingList.insert(mappingList.begin(), std::move(item));
    Address = view;
    return result;
}

bool ReleaseSharedBlock(void*& Address)
{
    if (Address == nullptr)
        return true;
    const TSxLockRef lock = LockMappingList();
    for (auto it = mappingList.begin(); it != mappingList.end(); ++it) {
        TMMFHandleListItem& item = **it;
        if (item.View != Address)
            continue;
        if (item.Users < 2) {
            ::munmap(item.View, item.Size);
            ::close(item.Handle);
            mappingList.erase(it);
        } else {
            --item.Users;
        }
        Address = nullptr;
        return true;
    }
    return false;
}

void UnlinkSharedBlock(const String& Name)
{
    ::shm_unlink(SxPosixObjectName(Name).constData());
}

bool EnsureLibraryLoaded(TSxLibHandle& Handle, const String& FileName)
{
    if (Handle == nullptr)
        Handle = ::dlopen(FileName.toUtf8().constData(), RTLD_NOW | RTLD_LOCAL);
    return Handle != nullptr;
}

void UnloadLibraryHandle(TSxLibHandle& Handle)
{
    if (Handle != nullptr) {
        ::dlclose(Handle);
        Handle = nullptr;
    }
}

void* LibrarySymbol(TSxLibHandle Handle, const char* SymbolName)
{
    if (Handle == nullptr)
        return nullptr;
    return ::dlsym(Handle, SymbolName);
}

void ResolveDelayedImport(void*& Address, const String& LibraryName, const char* EntryName)
{
    if (Address != nullptr)
        return;
    const AnsiString name = LibraryName.toUtf8();
    // A library already in the process is taken as it is; a new one stays.
    void* handle = ::dlopen(name.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        handle = ::dlopen(name.constData(), RTLD_NOW | RTLD_NODELETE);
    if (handle == nullptr)
        throw ESxError(LoadResString(SxResources::RsLibraryNotFound), {LibraryName});
    void* entry = ::dlsym(handle, EntryName);
    ::dlclose(handle);  // the library stays: it was loaded before, or NODELETE
    if (entry == nullptr)
        throw ESxError(LoadResString(SxResources::RsFunctionNotFound), {LibraryName, String::fromLatin1(EntryName)});
    Address = entry;
}

void SxSysUtilsFinalization()
{
    finalizing.store(true);
    std::unique_ptr<TSxIntfCriticalSection> lock(mappingLock.exchange(nullptr));
}
