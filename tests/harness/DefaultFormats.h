// DefaultFormats.h - a test fixture for code that reads the process-wide
// format settings: each test starts from the defaults and leaves the
// settings as it found them.
#pragma once
#include <gtest/gtest.h>
#include "platform/rtl/SysUtils.h"

namespace vorlane::test {

class DefaultFormatSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = FormatSettings;
        FormatSettings = DefaultFormatSettings();
    }
    void TearDown() override { FormatSettings = saved; }

private:
    TFormatSettings saved;
};

}  // namespace vorlane::test
