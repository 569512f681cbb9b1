// A block left under this process's id by an earlier process: planted here
// before the first registration, since the registry is made only once.
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/SxSysUtils.h"
#include "support/SxUnitVersioning.h"

namespace {

constexpr UnitVersionRecord record{u"$URL: stale $", u"$Revision: 1 $", u"$Date: - $", u"SX", u"", nullptr};

TEST(SxUnitVersioningStale, BlockOfAnEarlierProcessIsReplacedNotFollowed)
{
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
    EXPECT_EQ(registry->Modules(0).Items(0).Record(), &record);
    // The block now names this process's registry.
    EXPECT_EQ(planted->ProcessStartTime, ProcessStartTime());
    EXPECT_EQ(planted->Registry, reinterpret_cast<uintptr_t>(registry));

    ShutdownUnitRegistry();
    EXPECT_EQ(planted->Registry, 0u);
    EXPECT_TRUE(ReleaseSharedBlock(view));
}

TEST(SxUnitVersioningStale, ProcessStartTimeIsRead)
{
    EXPECT_GT(ProcessStartTime(), 0u);
}

}  // namespace
