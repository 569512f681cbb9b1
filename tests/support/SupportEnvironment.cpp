// Runs the support units around the whole test program, after the
// platform's own start-up, as the program does.
#include <gtest/gtest.h>

#include "support/SupportUnits.h"

namespace {

class SupportEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        AddSupportUnits(FUnits);
        FUnits.Initialize();
    }
    void TearDown() override { FUnits.Finalize(); }

private:
    TStartupList FUnits;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new SupportEnvironment);

}  // namespace
