#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/MyUtils.h"

namespace {

TEST(MyUtils, CutAtSeparator)
{
    const struct {
        const char* text;
        const char* separator;
        bool remove;
        const char* head;
        const char* rest;
    } cases[] = {
        {"key=value=more", "=", true, "key", "value=more"},
        {"key=value=more", "=", false, "key", "key=value=more"},
        {"no separator", "=", true, "no separator", ""},
        {"no separator", "=", false, "no separator", "no separator"},
        {"=leading", "=", true, "", "leading"},
        {"trailing\n", "\n", true, "trailing", ""},
        {"one<CRLF>two<CRLF>", "<CRLF>", true, "one", "two<CRLF>"},
        {"caseXsensitive", "x", true, "caseXsensitive", ""},
        {"", ":", true, "", ""},
        {"empty separator", "", true, "empty separator", ""},
    };
    for (const auto& c : cases) {
        String text = QString::fromUtf8(c.text);
        String head = QStringLiteral("stale");
        CutAtSeparator(text, QString::fromUtf8(c.separator), c.remove, head);
        EXPECT_EQ(head, QString::fromUtf8(c.head)) << c.text;
        EXPECT_EQ(text, QString::fromUtf8(c.rest)) << c.text;
    }
}

TEST(MyUtils, FileSizeByName)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString name = folder.filePath(QStringLiteral("\u00FCnic\u00F8de.bin"));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("12345");
    file.close();
    EXPECT_EQ(FileSizeByName(name), 5);
    EXPECT_EQ(FileSizeByName(folder.filePath(QStringLiteral("missing.bin"))), -1);
    EXPECT_EQ(FileSizeByName(String()), -1);
    EXPECT_EQ(FileSizeByName(folder.path()), 0);
}

TEST(MyUtils, CallInMainThreadRunsThereAndWaits)
{
    uint32_t ranIn = 0;
    CallInMainThread([&] { ranIn = TThread::CurrentThreadID(); });
    EXPECT_EQ(ranIn, TThread::MainThreadID());

    ranIn = 0;
    std::atomic<bool> done{false};
    bool sawResult = false;
    std::thread worker([&] {
        CallInMainThread([&] { ranIn = TThread::CurrentThreadID(); });
        sawResult = ranIn == TThread::MainThreadID();  // the call has run when it returns
        done.store(true);
    });
    while (!done.load())
        CheckSynchronize(10);
    worker.join();
    EXPECT_TRUE(sawResult);
}

TEST(MyUtils, ProcessMessagesRunsQueuedCallsAndToolkitEvents)
{
    int queued = 0;
    int posted = 0;
    std::thread worker([&] { TThread::Queue(nullptr, [&] { ++queued; }); });
    worker.join();
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { ++posted; }, Qt::QueuedConnection);

    bool pumpedElsewhere = true;
    std::thread other([&] { pumpedElsewhere = ProcessOneMessage(); });
    other.join();
    EXPECT_FALSE(pumpedElsewhere);
    EXPECT_EQ(queued, 0);

    ProcessMessages();
    EXPECT_EQ(queued, 1);
    EXPECT_EQ(posted, 1);
}

}  // namespace
