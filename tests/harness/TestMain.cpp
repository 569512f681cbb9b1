// Test main for programs without windows: a QCoreApplication so that the
// main thread is Qt's main thread, as in the program.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const TStartupScope startup;
    return RUN_ALL_TESTS();
}
