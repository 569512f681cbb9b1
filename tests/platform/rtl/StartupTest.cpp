#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/rtl/Startup.h"
#include "platform/rtl/String.h"

TEST(Startup, InitializesInOrderAndFinalizesInReverse)
{
    std::vector<std::string> log;
    TStartupList list;
    for (const char* name : {"first", "second", "third"}) {
        const std::string n = name;
        list.Add(QString::fromLatin1(name), [&log, n] { log.push_back("init " + n); }, [&log, n] { log.push_back("fin " + n); });
    }
    list.Add(QStringLiteral("no-fin"), [&log] { log.push_back("init no-fin"); });
    {
        const TStartupScope scope(std::move(list));
    }
    EXPECT_EQ(log, (std::vector<std::string>{"init first", "init second", "init third", "init no-fin",
                                             "fin third", "fin second", "fin first"}));
}

TEST(Startup, AFailedInitializationUndoesTheUnitsBeforeIt)
{
    std::vector<std::string> log;
    TStartupList list;
    list.Add(QStringLiteral("a"), [&] { log.push_back("init a"); }, [&] { log.push_back("fin a"); });
    list.Add(QStringLiteral("b"), [] { throw std::runtime_error("b fails"); }, [&] { log.push_back("fin b"); });
    list.Add(QStringLiteral("c"), [&] { log.push_back("init c"); });
    EXPECT_THROW(list.Initialize(), std::runtime_error);
    EXPECT_FALSE(list.Initialized());
    EXPECT_EQ(log, (std::vector<std::string>{"init a", "fin a"}));
}

TEST(Startup, AFailingFinalizationDoesNotStopTheOthers)
{
    std::vector<std::string> log;
    TStartupList list;
    list.Add(QStringLiteral("a"), {}, [&] { log.push_back("fin a"); });
    list.Add(QStringLiteral("b"), {}, [] { throw std::runtime_error("b fails"); });
    list.Initialize();
    EXPECT_NO_THROW(list.Finalize());
    EXPECT_EQ(log, (std::vector<std::string>{"fin a"}));
}

TEST(Startup, PlatformUnitsComeFirstInTheirOrder)
{
    TStartupList list;
    AddPlatformUnits(list);
    EXPECT_EQ(list.UnitNames(), (std::vector<String>{QStringLiteral("SysUtils"), QStringLiteral("Classes")}));
}
