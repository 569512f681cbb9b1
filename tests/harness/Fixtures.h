// Fixtures.h - where the generated media fixtures of this build live.
#pragma once
#include <string>

namespace vorlane::test {

// The folder the fixture generator wrote to (VORLANE_FIXTURES overrides it).
std::string FixtureDir();

// Full path of one fixture file, e.g. FixturePath("h264_aac.mp4").
std::string FixturePath(const std::string& name);


}  // namespace vorlane::test
