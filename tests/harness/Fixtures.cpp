#include "tests/harness/Fixtures.h"

#include <cstdlib>

namespace vorlane::test {

std::string FixtureDir()
{
    if (const char* dir = std::getenv("VORLANE_FIXTURES"); dir != nullptr && *dir != '\0')
        return dir;
    return VORLANE_FIXTURE_DIR;
}

std::string FixturePath(const std::string& name)
{
    return FixtureDir() + "/" + name;
}

}  // namespace vorlane::test
