// A block left under this process's id by an earlier process: planted here
// before the first registration, since the registry is made only once.
#include <QFile>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/SxSysUtils.h"
#include "support/SxUnitVersioning.h"

namespace {

constexpr UnitVersionRecord record{u"$URL: stale $", u"$Revision: 1 $", u"$Date: - $", u"SX", u"", nullptr};

QString shared(const String& name)
{
    return QStringLiteral("/dev/shm/") + name;
}

void plant(const String& name)
{
    QFile f(shared(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
}

// The id of a process that has ended.
pid_t endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

TEST(SxUnitVersioningStale, BlockOfAnEarlierProcessIsReplacedNotFollowed)
{
    // Left by a killed process, and by one that still runs (init never ends).
    const pid_t ended = endedProcess();
    for (const String& name : {UnitVersioningMutexName(ended), UnitVersioningBlockName(ended),
                               UnitVersioningMutexName(1), UnitVersioningBlockName(1)})
        plant(name);

    const String name = UnitVersioningBlockName(::getpid());
    UnlinkSharedBlock(name);
    void* view = nullptr;
    ASSERT_EQ(OpenSharedBlock(view, name, sizeof(TUnitVersioningBlock)), 0);
    auto* planted = static_cast<TUnitVersioningBlock*>(view);
    planted->ProcessStartTime = ProcessStartTime() + 1;  // another process's start
    planted->Registry = 0x10;                            // an address that means nothing here

    RegisterUnitRecord(SxModuleHandle(), &record);
    TUnitVersioning* registry = SharedUnitRegistry();
    ASSERT_NE(registry, nullptr);
    EXPECT_NE(reinterpret_cast<uintptr_t>(registry), uintptr_t{0x10});
    ASSERT_EQ(registry->ModuleCount(), 1);
    EXPECT_FALSE(QFile::exists(shared(UnitVersioningMutexName(ended))));
    EXPECT_FALSE(QFile::exists(shared(UnitVersioningBlockName(ended))));
    EXPECT_TRUE(QFile::exists(shared(UnitVersioningMutexName(1))));
    EXPECT_TRUE(QFile::exists(shared(UnitVersioningBlockName(1))));
    QFile::remove(shared(UnitVersioningMutexName(1)));
    QFile::remove(shared(UnitVersioningBlockName(1)));
    EXPECT_TRUE(QFile::exists(shared(UnitVersioningMutexName(::getpid()))));
    EXPECT_EQ(registry->Modules(0).Items(0).Record(), &record);
    // The block now names this process's registry.
    EXPECT_EQ(planted->ProcessStartTime, ProcessStartTime());
    EXPECT_EQ(planted->Registry, reinterpret_cast<uintptr_t>(registry));

    ShutdownUnitRegistry();
    EXPECT_EQ(planted->Registry, 0u);
    // The maker's shutdown takes its lock and block away.
    EXPECT_FALSE(QFile::exists(shared(UnitVersioningMutexName(::getpid()))));
    EXPECT_FALSE(QFile::exists(shared(name)));
    EXPECT_TRUE(ReleaseSharedBlock(view));
}

TEST(SxUnitVersioningStale, ProcessStartTimeIsRead)
{
    EXPECT_GT(ProcessStartTime(), 0u);
}

}  // namespace
