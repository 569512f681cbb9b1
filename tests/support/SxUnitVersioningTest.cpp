#include <dlfcn.h>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

#include "support/SxUnitVersioning.h"

namespace {

constexpr UnitVersionRecord extraRecord{u"$URL: extra $", u"$Revision: 2 $", u"$Date: - $", u"SX", u"", nullptr};

TEST(SxUnitVersioning, StartUpRegisteredTheSupportUnits)
{
    TUnitVersioning* registry = SharedUnitRegistry();
    ASSERT_NE(registry, nullptr);
    ASSERT_GE(registry->ModuleCount(), 1);
    const TUnitVersioningModule& own = registry->Modules(0);
    EXPECT_EQ(own.Instance(), SxModuleHandle());
    ASSERT_GT(own.Count(), 20);
    EXPECT_EQ(own.Items(0).Revision(), QStringLiteral("$Revision: 1199 $"));
    EXPECT_EQ(own.Items(0).LogicalPath(), QStringLiteral("SX\\source\\common"));
    // Every unit of the library, in start-up order, with its path's ending.
    const char* const units[][2] = {
        {"SxResources", "common"}, {"SxWin32", "windows"},     {"SxWideStrings", "common"},
        {"SxStringConversions", "common"}, {"Sx8087", "common"}, {"SxMath", "common"},
        {"SxCharsets", "common"}, {"SxStreams", "common"},      {"SxLogic", "common"},
        {"SxDateTime", "common"}, {"SxRegistry", "windows"},    {"SxSecurity", "windows"},
        {"SxShell", "windows"},   {"SxFileUtils", "common"},    {"SxIniFiles", "common"},
        {"Snmp", "windows"},      {"SxSysInfo", "common"},      {"SxConsole", "windows"},
        {"SxSysUtils", "common"}, {"SxAnsiStrings", "common"},  {"SxStrings", "common"},
        {"SxSynch", "common"},    {"SxUnitVersioning", "common"}, {"SxBase", "common"},
        {"SxMime", "common"},     {"SxRTTI", "common"}};
    ASSERT_EQ(own.Count(), int(std::size(units)));
    for (int i = 0; i < own.Count(); ++i) {
        EXPECT_TRUE(own.Items(i).RCSfile().contains(QStringLiteral("/") + QString::fromLatin1(units[i][0]) + u' '))
            << i << ' ' << own.Items(i).RCSfile().toStdString();
        EXPECT_EQ(own.Items(i).LogicalPath(), QStringLiteral("SX\\source\\") + QString::fromLatin1(units[i][1])) << i;
    }
    // Registering the same record again keeps one entry.
    const int count = own.Count();
    RegisterUnitRecord(SxModuleHandle(), own.Items(0).Record());
    EXPECT_EQ(own.Count(), count);
}

TEST(SxUnitVersioning, NamesCarryTheProcessId)
{
    EXPECT_EQ(UnitVersioningMutexName(4711), QStringLiteral("MutexVL_UnitVersioning_4711"));
    EXPECT_EQ(UnitVersioningBlockName(::getpid()), QStringLiteral("ShmVL_UnitVersioning_") + String::number(::getpid()));
}

TEST(SxUnitVersioning, ASecondModuleOfTheProcessSharesTheRegistry)
{
    TUnitVersioning* registry = SharedUnitRegistry();
    ASSERT_NE(registry, nullptr);
    const int modulesBefore = registry->ModuleCount();

    void* lib = dlopen(SUPPORT_TEST_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    using TRegister = TUnitVersioning* (*)();
    using THandle = TModuleHandle (*)();
    using TRecord = const UnitVersionRecord* (*)();
    using TShutdown = void (*)();
    auto moduleRegister = reinterpret_cast<TRegister>(dlsym(lib, "TestModuleRegister"));
    auto moduleHandle = reinterpret_cast<THandle>(dlsym(lib, "TestModuleHandle"));
    auto moduleRecord = reinterpret_cast<TRecord>(dlsym(lib, "TestModuleRecord"));
    auto moduleShutdown = reinterpret_cast<TShutdown>(dlsym(lib, "TestModuleShutdown"));
    auto moduleRegistry = reinterpret_cast<TRegister>(dlsym(lib, "TestModuleRegistry"));
    ASSERT_TRUE(moduleRegister && moduleHandle && moduleRecord && moduleShutdown && moduleRegistry);

    EXPECT_EQ(moduleRegister(), registry);  // one registry for both modules
    ASSERT_NE(moduleHandle(), SxModuleHandle());
    ASSERT_EQ(registry->ModuleCount(), modulesBefore + 1);
    const TUnitVersioningModule& second = registry->Modules(modulesBefore);
    EXPECT_EQ(second.Instance(), moduleHandle());
    ASSERT_EQ(second.Count(), 1);  // it registered its record twice
    EXPECT_EQ(second.Items(0).Record(), moduleRecord());

    // The test's own registrations still land in its own entry.
    RegisterUnitRecord(SxModuleHandle(), &extraRecord);
    EXPECT_EQ(registry->ModuleCount(), modulesBefore + 1);

    // The module did not make the registry: its shutdown drops its entry
    // and leaves the registry to its maker.
    moduleShutdown();
    EXPECT_EQ(moduleRegistry(), nullptr);
    EXPECT_EQ(SharedUnitRegistry(), registry);
    EXPECT_EQ(registry->ModuleCount(), modulesBefore);
    dlclose(lib);
    EXPECT_EQ(SharedUnitRegistry()->ModuleCount(), modulesBefore);
}

}  // namespace
