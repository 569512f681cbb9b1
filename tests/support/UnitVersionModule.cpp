// A shared library with its own copy of the support code: it registers a
// unit record of its own in the process's registry.
#include "support/SxUnitVersioning.h"

namespace {
constexpr UnitVersionRecord moduleRecord{u"$URL: vorlane/tests/support/UnitVersionModule.cpp $", u"$Revision: 1 $",
                                         u"$Date: 2012-03-05 $", u"SX\\source\\tests", u"", nullptr};
}  // namespace

extern "C" {

__attribute__((visibility("default"))) TUnitVersioning* TestModuleRegister()
{
    RegisterUnitRecord(SxModuleHandle(), &moduleRecord);
    RegisterUnitRecord(SxModuleHandle(), &moduleRecord);
    return SharedUnitRegistry();
}

__attribute__((visibility("default"))) TModuleHandle TestModuleHandle()
{
    return SxModuleHandle();
}

__attribute__((visibility("default"))) const UnitVersionRecord* TestModuleRecord()
{
    return &moduleRecord;
}

__attribute__((visibility("default"))) void TestModuleShutdown()
{
    UnregisterUnitRecords(SxModuleHandle());
    ShutdownUnitRegistry();
}

__attribute__((visibility("default"))) TUnitVersioning* TestModuleRegistry()
{
    return SharedUnitRegistry();
}
}
