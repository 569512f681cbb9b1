#include "support/SxUnitVersioning.h"

#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

#include "support/SxSynch.h"
#include "support/SxSysUtils.h"

namespace {

// This module's view of the process-wide registry. Registration runs from
// unit start-up and shutdown; the guard keeps stray threads sound.
struct TModuleState {
    std::recursive_mutex Guard;
    std::unique_ptr<TSxMutex> Mutex;
    void* View = nullptr;
    TUnitVersioning* Registry = nullptr;
    std::unique_ptr<TUnitVersioning> Owned;  // when this module made the registry
    bool Finalized = false;
};

TModuleState& state()
{
    static TModuleState s;
    return s;
}

TUnitVersioningBlock* block(void* view)
{
    return static_cast<TUnitVersioningBlock*>(view);
}

// Where the system keeps its named shared-memory objects.
constexpr const char* SharedObjectFolder = "/dev/shm";

// A process that was killed or crashed never ran its shutdown: its lock and
// block stay behind. They are removed when a registry is made, so that a
// machine does not collect a pair per such run. A process id that is alive
// (perhaps reused) keeps its objects.
void removeObjectsOfEndedProcesses()
{
    const pid_t own = ::getpid();
    std::error_code error;
    std::filesystem::directory_iterator it(SharedObjectFolder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        for (std::string_view prefix : {"MutexVL_UnitVersioning_", "ShmVL_UnitVersioning_"}) {
            if (name.size() <= prefix.size() || name.size() > prefix.size() + 10 || name.compare(0, prefix.size(), prefix) != 0)
                continue;
            const std::string digits = name.substr(prefix.size());
            if (digits.find_first_not_of("0123456789") != std::string::npos)
                continue;
            const long long pid = std::stoll(digits);
            if (pid <= 0 || pid == own || pid > INT32_MAX)
                continue;
            if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                ::shm_unlink(('/' + name).c_str());
        }
    }
}

void makeOwnRegistry(TModuleState& s)
{
    removeObjectsOfEndedProcesses();
    s.Owned = std::make_unique<TUnitVersioning>();
    s.Registry = s.Owned.get();
}

// Unlocks the named mutex at the end of a scope.
struct TMutexHold {
    TSxMutex& M;
    explicit TMutexHold(TSxMutex& m) : M(m) { M.WaitSignal(-1); }
    ~TMutexHold() { M.ReleaseOwnership(); }
};

}  // namespace

TModuleHandle SxModuleHandle()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&SxModuleHandle), &info) == 0)
        return 0;
    return reinterpret_cast<TModuleHandle>(info.dli_fbase);
}

uint64_t ProcessStartTime()
{
    std::ifstream in("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name (field 2) may hold blanks and ")": fields after it
    // are counted from its last ")".
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    for (int n = 3; n <= 22 && (fields >> field); ++n)
        if (n == 22)
            return std::stoull(field);
    return 0;
}

String UnitVersioningMutexName(int64_t Pid)
{
    return QStringLiteral("MutexVL_UnitVersioning_") + String::number(Pid);
}

String UnitVersioningBlockName(int64_t Pid)
{
    return QStringLiteral("ShmVL_UnitVersioning_") + String::number(Pid);
}

bool TUnitVersioningModule::HasRecord(const UnitVersionRecord* Record) const
{
    for (const auto& item : FItems)
        if (item->Record() == Record)
            return true;
    return false;
}

void TUnitVersioningModule::Add(const UnitVersionRecord* Record)
{
    FItems.push_back(std::make_unique<TUnitVersion>(Record));
}

void TUnitVersioning::AddRecord(TModuleHandle Instance, const UnitVersionRecord* Record)
{
    for (const auto& module : FModules)
        if (module->Instance() == Instance) {
            if (!module->HasRecord(Record))
                module->Add(Record);
            return;
        }
    FModules.push_back(std::make_unique<TUnitVersioningModule>(Instance));
    FModules.back()->Add(Record);
}

void TUnitVersioning::DropModule(TModuleHandle Instance)
{
    for (auto it = FModules.rbegin(); it != FModules.rend(); ++it)
        if ((*it)->Instance() == Instance) {
            FModules.erase(std::next(it).base());
            return;
        }
}

TUnitVersioning* SharedUnitRegistry()
{
    TModuleState& s = state();
    const std::lock_guard<std::recursive_mutex> guard(s.Guard);
    if (s.Finalized)
        return nullptr;
    const int64_t pid = ::getpid();
    if (!s.Mutex)
        s.Mutex = std::make_unique<TSxMutex>(UnitVersioningMutexName(pid));
    if (s.Registry == nullptr) {
        const TMutexHold hold(*s.Mutex);
        if (s.View == nullptr) {
            try {
                OpenSharedBlock(s.View, UnitVersioningBlockName(pid), sizeof(TUnitVersioningBlock), SxMapAllAccess);
            } catch (const Exception&) {
                s.View = nullptr;
            }
        }
        if (s.View != nullptr) {
            TUnitVersioningBlock* b = block(s.View);
            const uint64_t started = ProcessStartTime();
            if (b->ProcessStartTime != started) {
                // Left by an earlier process with our id: its address means nothing here.
                b->Registry = 0;
                b->ProcessStartTime = started;
            }
            if (b->Registry == 0) {
                makeOwnRegistry(s);
                b->Registry = reinterpret_cast<uintptr_t>(s.Registry);
            } else {
                s.Registry = reinterpret_cast<TUnitVersioning*>(static_cast<uintptr_t>(b->Registry));
            }
        } else {
            makeOwnRegistry(s);
        }
    } else if (s.View != nullptr) {
        const TMutexHold hold(*s.Mutex);
        s.Registry = reinterpret_cast<TUnitVersioning*>(static_cast<uintptr_t>(block(s.View)->Registry));
        if (s.Registry == nullptr && s.Owned)
            s.Registry = s.Owned.get();
    }
    return s.Registry;
}

void RegisterUnitRecord(TModuleHandle Instance, const UnitVersionRecord* Record)
{
    if (TUnitVersioning* registry = SharedUnitRegistry())
        registry->AddRecord(Instance, Record);
}

void UnregisterUnitRecords(TModuleHandle Instance)
{
    if (TUnitVersioning* registry = SharedUnitRegistry())
        registry->DropModule(Instance);
}

void ShutdownUnitRegistry()
{
    TModuleState& s = state();
    const std::lock_guard<std::recursive_mutex> guard(s.Guard);
    s.Finalized = true;
    try {
        if (s.View != nullptr && s.Mutex) {
            const TMutexHold hold(*s.Mutex);
            // Only the maker clears the block: the registry lives as long as its maker.
            if (s.Owned && block(s.View)->Registry == reinterpret_cast<uintptr_t>(s.Owned.get())) {
                block(s.View)->Registry = 0;
                UnlinkSharedBlock(UnitVersioningBlockName(::getpid()));
                s.Mutex->Unlink();
            }
            ReleaseSharedBlock(s.View);
        } else if (s.Owned && s.Mutex) {
            // No block could be made: every module keeps its own registry,
            // and each removes the lock's name as it goes.
            s.Mutex->Unlink();
        }
    } catch (...) {
    }
    s.Owned.reset();
    s.Registry = nullptr;
    s.Mutex.reset();
}
