// Test main for programs that need windows or fonts: a QApplication on the
// offscreen platform, so tests run without a display.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const TStartupScope startup;
    return RUN_ALL_TESTS();
}
