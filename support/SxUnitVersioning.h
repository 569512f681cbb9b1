// SxUnitVersioning.h - the per-process registry of the support units'
// version records, shared by every module of the process that carries this code.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/String.h"

// A module is the executable or shared object that holds the code; its
// handle is the module's load address.
using TModuleHandle = uintptr_t;

// The calling module's handle (each module that links this code gets its own).
TModuleHandle SxModuleHandle();

// Plain pointers to constant texts, so a record stays readable by any module.
struct UnitVersionRecord {
    const char16_t* RCSfile;
    const char16_t* Revision;
    const char16_t* Date;
    const char16_t* LogicalPath;
    const char16_t* Extra;
    const void* Data;
};

class TUnitVersion {
public:
    explicit TUnitVersion(const UnitVersionRecord* Record) : FRecord(Record) {}
    const UnitVersionRecord* Record() const { return FRecord; }
    String RCSfile() const { return String::fromUtf16(FRecord->RCSfile); }
    String Revision() const { return String::fromUtf16(FRecord->Revision); }
    String Date() const { return String::fromUtf16(FRecord->Date); }
    String LogicalPath() const { return String::fromUtf16(FRecord->LogicalPath); }
    String Extra() const { return String::fromUtf16(FRecord->Extra); }

private:
    const UnitVersionRecord* FRecord;  // not owned
};

class TUnitVersioningModule {
public:
    explicit TUnitVersioningModule(TModuleHandle Instance) : FInstance(Instance) {}
    TModuleHandle Instance() const { return FInstance; }
    int Count() const { return static_cast<int>(FItems.size()); }
    const TUnitVersion& Items(int Index) const { return *FItems.at(static_cast<size_t>(Index)); }
    bool HasRecord(const UnitVersionRecord* Record) const;
    void Add(const UnitVersionRecord* Record);

private:
    TModuleHandle FInstance;
    std::vector<std::unique_ptr<TUnitVersion>> FItems;
};

// Every module calls the registry through the operations of the module that
// made it, so the operations that change it are virtual.
class TUnitVersioning {
public:
    virtual ~TUnitVersioning() = default;
    virtual void AddRecord(TModuleHandle Instance, const UnitVersionRecord* Record);
    virtual void DropModule(TModuleHandle Instance);
    virtual int ModuleCount() const { return static_cast<int>(FModules.size()); }
    virtual const TUnitVersioningModule& Modules(int Index) const { return *FModules.at(static_cast<size_t>(Index)); }

private:
    std::vector<std::unique_ptr<TUnitVersioningModule>> FModules;  // in registration order
};

void RegisterUnitRecord(TModuleHandle Instance, const UnitVersionRecord* Record);
void UnregisterUnitRecords(TModuleHandle Instance);
// The process's registry, or nullptr after this module's shutdown.
TUnitVersioning* SharedUnitRegistry();
void ShutdownUnitRegistry();

// The names of the lock and the block of a process: "MutexVL_UnitVersioning_"
// and "ShmVL_UnitVersioning_" followed by the decimal process id. The maker
// of the registry removes both at its shutdown; making a registry removes
// those of process ids that no longer run.
String UnitVersioningMutexName(int64_t Pid);
String UnitVersioningBlockName(int64_t Pid);

// The block: the registry's address beside the start time of the process
// that stored it. Shared-memory objects outlive their process; a block whose
// start time is not this process's was left by an earlier process with the
// same id and is never followed.
struct TUnitVersioningBlock {
    uint64_t ProcessStartTime;
    uint64_t Registry;  // address of a TUnitVersioning in the process, 0 = none
};

// This process's start time in clock ticks after boot (/proc/self/stat field 22).
uint64_t ProcessStartTime();
