// Runs the support units (catalogues, panel domain, button captions) around
// the whole test program, after the platform's own start-up.
#include <gtest/gtest.h>

#include "support/SupportUnits.h"

namespace {

class KitEnvironment : public ::testing::Environment {
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
    ::testing::AddGlobalTestEnvironment(new KitEnvironment);

}  // namespace
