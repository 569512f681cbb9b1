#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "engine/MyUtils.h"
#include "platform/rtl/Thread.h"
#include "platform/rtl/TypInfo.h"

namespace {

// A library context as the libraries lay one out: its class first.
struct TestContext {
    const AVClass* cls;
    void* parent;  // the parent's context, for classes that name one
};

const char* contextName(void* context)
{
    return (*static_cast<const AVClass* const*>(context))->class_name;
}

AVClass makeClass(const char* name, int parentOffset)
{
    AVClass cls{};
    cls.class_name = name;
    cls.item_name = &contextName;
    cls.version = LIBAVUTIL_VERSION_INT;
    cls.parent_log_context_offset = parentOffset;
    return cls;
}

const AVClass parentClass = makeClass("TestParent", 0);
const AVClass childClass = makeClass("TestChild", offsetof(TestContext, parent));

std::string pointerText(const void* p)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

// Loads the utility and C libraries and puts an application logger in place;
// lines are collected in the main thread.
class FFLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs({libAVUtil, libCRuntime})) << FFLoader()->LastError().toStdString();
        logger = std::make_unique<TFFLogger>(nullptr);
        logger->SetLogLevel(llInfo);
        logger->OnLog = TLogEvent::FromFunction([this](TObject* sender, uint32_t threadID, TLogLevel level,
                                                       const String& message) {
            const std::lock_guard guard(linesLock);
            received.push_back(TLogInfo{sender, threadID, level, message});
        });
        // A line no test repeats, so that folding starts afresh.
        ff::av_log(nullptr, AV_LOG_INFO, "--- %s\n", ::testing::UnitTest::GetInstance()->current_test_info()->name());
        drain();
        received.clear();
    }

    void TearDown() override
    {
        logger.reset();
        FFLoader()->UnloadLibs(AllLibraries);
    }

    static void drain()
    {
        while (CheckSynchronize()) {
        }
    }

    std::vector<String> messages()
    {
        drain();
        std::vector<String> result;
        for (const TLogInfo& info : received)
            result.push_back(info.LogMsg);
        return result;
    }

    std::unique_ptr<TFFLogger> logger;
    std::mutex linesLock;  // for handlers run in logging threads
    std::vector<TLogInfo> received;
};

TEST(FFLogLevels, MapToAndFromTheLibraries)
{
    const int toAV[] = {-8, 0, 8, 16, 24, 32, 40, 48};
    for (int level = llQuiet; level <= llDebug; ++level)
        EXPECT_EQ(LogLevelToAV(static_cast<TLogLevel>(level)), toAV[level]);

    const std::pair<int, TLogLevel> fromAV[] = {{31, llWarning}, {-7, llPanic}, {-9, llQuiet}, {56, llDebug},
                                                {-8, llQuiet},   {0, llPanic},  {32, llInfo},  {47, llVerbose},
                                                {-17, llQuiet},  {1000, llDebug}};
    for (const auto& [av, level] : fromAV)
        EXPECT_EQ(AVToLogLevel(av), level) << av;
}

TEST(FFBaseComponent, PublishesAboutAndVersion)
{
    TFFBaseComponent component(nullptr);
    EXPECT_EQ(component.Version(), QStringLiteral("2.3b"));
    EXPECT_EQ(component.ReadTimeout(), 30000);
    EXPECT_EQ(component.WriteTimeout(), 30000);
    EXPECT_TRUE(IsPublishedProp(&component, QStringLiteral("About")));
    EXPECT_FALSE(IsPublishedProp(&component, QStringLiteral("ReadTimeout")));
    SetStrProp(&component, QStringLiteral("About"), QStringLiteral("about text"));
    EXPECT_EQ(component.About(), QStringLiteral("about text"));
    EXPECT_EQ(GetStrProp(&component, QStringLiteral("Version")), QStringLiteral("2.3b"));
    EXPECT_THROW(SetStrProp(&component, QStringLiteral("Version"), QStringLiteral("9")), EPropertyError);
}

TEST(FFBaseComponent, SeekFlagsPassBitForBit)
{
    EXPECT_EQ(SeekFlagsToAV({}), 0);
    EXPECT_EQ(SeekFlagsToAV({sfBackward}), AVSEEK_FLAG_BACKWARD);
    EXPECT_EQ(SeekFlagsToAV({sfByte, sfFrame}), AVSEEK_FLAG_BYTE | AVSEEK_FLAG_FRAME);
    EXPECT_EQ(SeekFlagsToAV({sfBackward, sfByte, sfAny, sfFrame}), 15);
}

TEST_F(FFLogTest, OnlyOneApplicationLoggerAndTheAutomaticOneMakesWay)
{
    EXPECT_EQ(GetLogger(), logger.get());
    EXPECT_FALSE(logger->AutoCreated());
    try {
        TFFLogger second(nullptr);
        ADD_FAILURE() << "a second logger was created";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Allow creating only one instance of TFFLogger.")));
    }
    EXPECT_EQ(GetLogger(), logger.get());

    logger->SetLogLevel(llVerbose);
    logger.reset();
    TFFLogger* automatic = GetLogger();
    ASSERT_NE(automatic, nullptr);
    EXPECT_TRUE(automatic->AutoCreated());
    EXPECT_EQ(automatic->LogLevel(), llVerbose);  // it starts at the engine's level
    EXPECT_EQ(GetLogger(), automatic);

    logger = std::make_unique<TFFLogger>(nullptr);  // frees the automatic one
    EXPECT_EQ(GetLogger(), logger.get());
    EXPECT_FALSE(logger->AutoCreated());
}

TEST_F(FFLogTest, PublishesItsLevelAndDeliveryMode)
{
    EXPECT_EQ(GetEnumProp(logger.get(), QStringLiteral("LogLevel")), QStringLiteral("llInfo"));
    SetEnumProp(logger.get(), QStringLiteral("LogLevel"), QStringLiteral("llDebug"));
    EXPECT_EQ(logger->LogLevel(), llDebug);
    EXPECT_EQ(ff::av_log_get_level(), AV_LOG_DEBUG);
    EXPECT_TRUE(GetOrdProp(logger.get(), QStringLiteral("TriggerEventInMainThread")));
}

TEST_F(FFLogTest, LogFiltersByLevelAndFormatsOnlyWhatItDelivers)
{
    logger->SetLogLevel(llWarning);
    logger->Log(nullptr, llInfo, QStringLiteral("dropped"));
    // "%d" with a text argument cannot be formatted: it must not even be tried.
    EXPECT_NO_THROW(logger->LogFmt(nullptr, llVerbose, QStringLiteral("%d"), {QStringLiteral("x")}));
    logger->LogFmt(logger.get(), llError, QStringLiteral("%s=%d"), {QStringLiteral("answer"), 42});
    ASSERT_EQ(received.size(), 1u);  // in the main thread it arrives at once
    EXPECT_EQ(received[0].LogMsg, QStringLiteral("answer=42"));
    EXPECT_EQ(received[0].Sender, logger.get());
    EXPECT_EQ(received[0].LogLevel, llError);
    EXPECT_EQ(received[0].ThreadID, TThread::MainThreadID());
    EXPECT_THROW(logger->LogFmt(nullptr, llError, QStringLiteral("%d"), {QStringLiteral("x")}), EConvertError);
}

TEST_F(FFLogTest, WorkersPostTheirLinesWithoutWaitingForTheMainThread)
{
    uint32_t workerID = 0;
    // Joined before the main thread runs anything: a worker that waited for
    // the main thread would never end.
    std::thread worker([&] {
        workerID = TThread::CurrentThreadID();
        logger->Log(nullptr, llInfo, QStringLiteral("from a worker"));
        ff::av_log(nullptr, AV_LOG_WARNING, "from the library\n");
    });
    worker.join();
    EXPECT_TRUE(received.empty());
    drain();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].LogMsg, QStringLiteral("from a worker"));
    EXPECT_EQ(received[0].ThreadID, workerID);
    EXPECT_EQ(received[1].LogMsg, QStringLiteral("from the library"));
    EXPECT_EQ(received[1].LogLevel, llWarning);
    EXPECT_EQ(received[1].Sender, logger.get());
    EXPECT_EQ(received[1].ThreadID, workerID);
}

TEST_F(FFLogTest, WithoutMainThreadDeliveryTheLoggingThreadRunsTheHandler)
{
    logger->SetTriggerEventInMainThread(false);
    uint32_t workerID = 0;
    std::thread worker([&] {
        workerID = TThread::CurrentThreadID();
        ff::av_log(nullptr, AV_LOG_ERROR, "direct\n");
    });
    worker.join();
    ASSERT_EQ(received.size(), 1u);  // before any draining
    EXPECT_EQ(received[0].ThreadID, workerID);
}

TEST_F(FFLogTest, AFreedLoggerReceivesNoQueuedLine)
{
    int calls = 0;
    logger->OnLog = TLogEvent::FromFunction([&](TObject*, uint32_t, TLogLevel, const String&) { ++calls; });
    std::thread worker([] { ff::av_log(nullptr, AV_LOG_ERROR, "late line\n"); });
    worker.join();
    logger.reset();
    drain();
    EXPECT_EQ(calls, 0);
}

TEST_F(FFLogTest, LinesFromFourThreadsArriveWholeAndInOrder)
{
    constexpr int threadCount = 4;
    constexpr int lineCount = 300;
    std::array<uint32_t, threadCount> ids{};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            ids[t] = TThread::CurrentThreadID();
            for (int i = 0; i < lineCount; ++i) {
                // The second piece is the same in every thread: it completes
                // each thread's own line and must not be folded away.
                ff::av_log(nullptr, AV_LOG_INFO, "thread %d ", t);
                ff::av_log(nullptr, AV_LOG_INFO, "line %d", i);
                ff::av_log(nullptr, AV_LOG_INFO, "\n");
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    drain();

    std::array<int, threadCount> next{};
    for (const TLogInfo& info : received) {
        const auto found = std::find(ids.begin(), ids.end(), info.ThreadID);
        ASSERT_NE(found, ids.end()) << info.LogMsg.toStdString();
        const int t = static_cast<int>(found - ids.begin());
        ASSERT_EQ(info.LogMsg, QStringLiteral("thread %1 line %2").arg(t).arg(next[t]));
        ++next[t];
    }
    for (int t = 0; t < threadCount; ++t)
        EXPECT_EQ(next[t], lineCount);
}

TEST_F(FFLogTest, RepeatedLinesAreFolded)
{
    for (int i = 0; i < 5; ++i)
        ff::av_log(nullptr, AV_LOG_INFO, "five times\n");
    ff::av_log(nullptr, AV_LOG_INFO, "another\n");
    for (int i = 0; i < 2; ++i)
        ff::av_log(nullptr, AV_LOG_INFO, "twice\n");
    ff::av_log(nullptr, AV_LOG_INFO, "last\n");
    EXPECT_EQ(messages(), (std::vector<String>{QStringLiteral("five times"),
                                               QStringLiteral("    Last message repeated 4 times"),
                                               QStringLiteral("another"), QStringLiteral("twice"),
                                               QStringLiteral("last")}));
}

TEST_F(FFLogTest, ALineInThreePiecesCarriesTheFirstPiecesPrefix)
{
    TestContext context{&childClass, nullptr};
    ff::av_log(&context, AV_LOG_INFO, "first ");
    ff::av_log(&context, AV_LOG_INFO, "second ");
    ff::av_log(&context, AV_LOG_INFO, "third\n");
    EXPECT_EQ(messages(),
              std::vector<String>{QString::fromStdString("[TestChild @ " + pointerText(&context) + "]first second third")});
}

TEST_F(FFLogTest, AParentContextIsNamedFirst)
{
    TestContext parent{&parentClass, nullptr};
    TestContext child{&childClass, &parent};
    ff::av_log(&child, AV_LOG_ERROR, "failed: %d\n", -2);
    EXPECT_EQ(messages(), std::vector<String>{QString::fromStdString("[TestParent @ " + pointerText(&parent)
                                                                     + "] [TestChild @ " + pointerText(&child)
                                                                     + "]failed: -2")});
}

TEST_F(FFLogTest, ANullTextAddsNothing)
{
    TestContext context{&childClass, nullptr};
    ff::av_log(&context, AV_LOG_INFO, "%s", static_cast<const char*>(nullptr));
    ff::av_log(nullptr, AV_LOG_INFO, "%s\n", "rest");
    EXPECT_EQ(messages(),
              std::vector<String>{QString::fromStdString("[TestChild @ " + pointerText(&context) + "]rest")});
}

TEST_F(FFLogTest, LongMessagesArriveWhole)
{
    const std::string payload(10 * 1024, 'x');
    TestContext context{&childClass, nullptr};
    ff::av_log(&context, AV_LOG_INFO, "%s|%d\n", payload.c_str(), 7);
    const std::vector<String> lines = messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], QString::fromStdString("[TestChild @ " + pointerText(&context) + "]" + payload + "|7"));
}

TEST_F(FFLogTest, LibraryTextIsReadAsUtf8)
{
    ff::av_log(nullptr, AV_LOG_INFO, "file %s\n", "\xC3\x9C" "ber.mp4");
    // A character split over two pieces is decoded once the line is whole.
    ff::av_log(nullptr, AV_LOG_INFO, "\xC3");
    ff::av_log(nullptr, AV_LOG_INFO, "\xA9t\xC3\xA9\n");
    ff::av_log(nullptr, AV_LOG_INFO, "bad \xFF byte\n");
    EXPECT_EQ(messages(), (std::vector<String>{QStringLiteral("file \u00DCber.mp4"), QStringLiteral("\u00E9t\u00E9"),
                                               QStringLiteral("bad \uFFFD byte")}));
}

TEST_F(FFLogTest, TheLevelDecidesWhatTheCallBackPasses)
{
    ff::av_log(nullptr, AV_LOG_DEBUG, "debug hidden\n");
    logger->SetLogLevel(llDebug);
    ff::av_log(nullptr, AV_LOG_DEBUG, "debug shown\n");
    logger->SetLogLevel(llQuiet);
    ff::av_log(nullptr, AV_LOG_PANIC, "panic hidden\n");
    ff::av_log(nullptr, AV_LOG_QUIET, "quiet shown\n");
    drain();
    ASSERT_EQ(messages(), (std::vector<String>{QStringLiteral("debug shown"), QStringLiteral("quiet shown")}));
    EXPECT_EQ(received[0].LogLevel, llDebug);
    EXPECT_EQ(received[1].LogLevel, llQuiet);
}

TEST_F(FFLogTest, OpeningAMissingFileLogsAPrefixedLine)
{
    ASSERT_TRUE(FFLoader()->LoadLibs({libAVFormat})) << FFLoader()->LastError().toStdString();
    logger->SetLogLevel(llDebug);
    AVFormatContext* context = nullptr;
    const int result = ff::avformat_open_input(&context, "/nonexistent/\xC3\x9C" "ber.mp4", nullptr, nullptr);
    EXPECT_EQ(result, AVERROR(ENOENT));
    EXPECT_EQ(context, nullptr);
    // The prefix names the context by its item name, which is "NULL" for a
    // container context whose format is not known yet.
    const QRegularExpression expected(
        QStringLiteral("^\\[NULL @ 0x[0-9a-f]+\\]Opening '/nonexistent/\u00DCber.mp4' for reading$"));
    const std::vector<String> lines = messages();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const String& line) { return expected.match(line).hasMatch(); }))
        << (lines.empty() ? std::string("no lines") : lines.front().toStdString() + " ... " + lines.back().toStdString());
}

}  // namespace
