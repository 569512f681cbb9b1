// The encoder component: runs of several tasks in worker threads and inline,
// pause, stop, the order of the terminate records and the refusals.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/FFEncode.h"
#include "engine/FFLoad.h"
#include "platform/rtl/Thread.h"
#include "tests/harness/Fixtures.h"

namespace {

String fixture(const char* name)
{
    return QString::fromStdString(vorlane::test::FixturePath(name));
}

QByteArray readAll(const String& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The video packets of an elementary stream, one per picture. Read in this
// process: a child process started while the sanitizers watch threads
// confuses the thread sanitizer.
int countFrames(const String& file)
{
    AVFormatContext* ctx = nullptr;
    if (ff::avformat_open_input(&ctx, file.toUtf8().constData(), nullptr, nullptr) < 0)
        return -1;
    int frames = 0;
    if (ff::avformat_find_stream_info(ctx, nullptr) >= 0) {
        AVPacket* packet = ff::av_packet_alloc();
        while (ff::av_read_frame(ctx, packet) >= 0) {
            if (ctx->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                ++frames;
            ff::av_packet_unref(packet);
        }
        ff::av_packet_free(&packet);
    }
    ff::avformat_close_input(&ctx);
    return frames;
}

// What the handlers saw, in the order they saw it. The handlers run in the
// main thread unless a test says otherwise.
struct TEventLog {
    std::mutex Lock;
    std::vector<TTerminateInfo> Records;
    std::vector<TProgressInfo> Progress;
    std::set<std::thread::id> TerminateThreads;
    bool FinalSeen = false;
    int Overlap = 0;  // handlers that found another one running
    int Running = 0;

    void Attach(TFFEncoder& encoder)
    {
        encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([this](TObject*, const TTerminateInfo& info) {
            std::lock_guard guard(Lock);
            Records.push_back(info);
            TerminateThreads.insert(std::this_thread::get_id());
            FinalSeen = FinalSeen || info.TaskIndex == -1;
        });
        encoder.OnProgress = TFFEncoder::TProgressEvent::FromFunction([this](TObject*, PProgressInfo info) {
            std::lock_guard guard(Lock);
            Progress.push_back(*info);
        });
    }
    bool Final()
    {
        std::lock_guard guard(Lock);
        return FinalSeen;
    }
};

// Serves the main thread's queue until done() holds; false when it never
// does within the bound (a hang).
template <class F>
bool serveUntil(F done, int turns = 3000)
{
    for (int i = 0; i < turns; ++i) {
        if (done())
            return true;
        CheckSynchronize(20);
    }
    return done();
}

// Counts the tasks converting at the same time: a task counts from its first
// report to its end.
class TCountingEncoder : public TFFEncoder {
public:
    TCountingEncoder() : TFFEncoder(nullptr) {}

    void DoProgress(TObject* task, int fileIndex, int frameNumber, int fps, float quality, float bitRate,
                    int64_t currentSize, int64_t currentDuration, int64_t totalDuration) override
    {
        {
            std::lock_guard guard(FLock);
            if (FActive.insert(task).second)
                FMax = std::max(FMax, int(FActive.size()));
        }
        TFFEncoder::DoProgress(task, fileIndex, frameNumber, fps, quality, bitRate, currentSize, currentDuration,
                               totalDuration);
    }
    void DoTerminate(TObject* task) override
    {
        // The end order is taken together with the post, so that it is the
        // order the records were handed over in.
        std::lock_guard guard(FLock);
        FActive.erase(task);
        if (task)
            FEndOrder.push_back(indexOf(task));
        TFFEncoder::DoTerminate(task);
    }

    int MaxActive()
    {
        std::lock_guard guard(FLock);
        return FMax;
    }
    std::vector<int> EndOrder()
    {
        std::lock_guard guard(FLock);
        return FEndOrder;
    }

private:
    int indexOf(TObject* task) const
    {
        for (int i = 0; i < TaskCount(); ++i)
            if (Tasks(i) == task)
                return i;
        return -1;
    }

    std::mutex FLock;
    std::set<TObject*> FActive;
    int FMax = 0;
    std::vector<int> FEndOrder;
};

class FFEncodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString();
        ASSERT_TRUE(FDir.isValid());
    }
    void TearDown() override
    {
        CheckSynchronize();
        FFLoader()->UnloadLibs(EncoderLibraries);
    }
    String path(const QString& name) const { return FDir.filePath(name); }

    // count tasks of the 3 s fixture, video only, one codec thread so that
    // every run gives the same bytes.
    void addTasks(TFFEncoder& encoder, int count, const QString& prefix, const AnsiString& inputOptions = {},
                  const AnsiString& outputOptions = "-an -f mpeg2video -c:v mpeg2video -b:v 800k -threads 1")
    {
        for (int i = 0; i < count; ++i) {
            TInputOptions in;
            in.Options = inputOptions;
            const int index = encoder.AddTask(fixture("h264_aac_640.mp4"), &in);
            ASSERT_EQ(index, i) << encoder.LastError().toStdString();
            TOutputOptions out;
            out.Options = outputOptions;
            ASSERT_GE(encoder.SetOutput(index, path(prefix + QString::number(i) + QStringLiteral(".m2v")), &out), 0)
                << encoder.LastError().toStdString();
        }
    }

    QTemporaryDir FDir;
    const std::thread::id FMainThread = std::this_thread::get_id();
};

TEST_F(FFEncodeTest, FiveTasksOnTwoThreadsEndInOrderAndTheFinalHandlerClearsTheList)
{
    TCountingEncoder encoder;
    encoder.SetProgressInterval(100);
    addTasks(encoder, 5, QStringLiteral("t"));
    TEventLog log;
    log.Attach(encoder);
    bool cleared = false;
    String clearError;
    const auto attached = encoder.OnTerminate;
    encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject* sender, const TTerminateInfo& info) {
        attached(sender, info);
        if (info.TaskIndex != -1)
            return;
        try {
            encoder.ClearTasks();
            cleared = true;
        } catch (const Exception& e) {
            clearError = e.Message();
        }
    });

    encoder.StartTask(2);
    EXPECT_TRUE(encoder.Working());
    ASSERT_TRUE(serveUntil([&] { return log.Final(); }));

    EXPECT_LE(encoder.MaxActive(), 2);
    EXPECT_GE(encoder.MaxActive(), 1);
    ASSERT_EQ(log.Records.size(), 6u);
    const std::vector<int> endOrder = encoder.EndOrder();
    ASSERT_EQ(endOrder.size(), 5u);
    std::vector<int> delivered;
    for (size_t i = 0; i < 5; ++i) {
        delivered.push_back(log.Records[i].TaskIndex);
        EXPECT_TRUE(log.Records[i].Finished);
        EXPECT_FALSE(log.Records[i].Failed) << log.Records[i].ErrorMessage.toStdString();
    }
    EXPECT_EQ(delivered, endOrder);
    std::vector<int> sorted = delivered;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(log.Records[5].TaskIndex, -1);
    EXPECT_TRUE(log.Records[5].Finished);
    EXPECT_TRUE(cleared) << clearError.toStdString();
    EXPECT_EQ(encoder.TaskCount(), 0);
    EXPECT_FALSE(encoder.Working());
    for (int i = 0; i < 5; ++i)
        EXPECT_GT(countFrames(path(QStringLiteral("t%1.m2v").arg(i))), 70);
}

TEST_F(FFEncodeTest, APausedRunStandsStillAndThenWritesTheSameBytes)
{
    const AnsiString options = "-an -f mpeg2video -c:v mpeg2video -b:v 800k -threads 1 -t 1.2";
    {
        TFFEncoder reference(nullptr);
        addTasks(reference, 5, QStringLiteral("ref"), {}, options);
        TEventLog log;
        log.Attach(reference);
        reference.StartTask(2);
        ASSERT_TRUE(serveUntil([&] { return log.Final(); }));
    }

    TFFEncoder encoder(nullptr);
    encoder.SetProgressInterval(100);
    // Rate emulation keeps the tasks converting long enough to be caught.
    addTasks(encoder, 5, QStringLiteral("p"), "-re", options);
    TEventLog log;
    log.Attach(encoder);
    int reports = 0;
    const auto attached = encoder.OnProgress;
    encoder.OnProgress = TFFEncoder::TProgressEvent::FromFunction([&](TObject* sender, PProgressInfo info) {
        attached(sender, info);
        if (++reports == 5)
            encoder.Pause();
    });
    encoder.StartTask(2);
    ASSERT_TRUE(serveUntil([&] { return encoder.Paused() || log.Final(); }));
    ASSERT_FALSE(log.Final()) << "the run ended before the fifth report";

    // Every task is either not running or waiting at its gate.
    auto still = [&] {
        for (int i = 0; i < encoder.TaskCount(); ++i) {
            TFFmpeg* task = encoder.Tasks(i);
            if (task->Running() && !task->WaitingAtGate())
                return false;
        }
        return true;
    };
    ASSERT_TRUE(serveUntil(still));
    CheckSynchronize();
    int waiting = 0;
    for (int i = 0; i < encoder.TaskCount(); ++i)
        waiting += encoder.Tasks(i)->WaitingAtGate() ? 1 : 0;
    EXPECT_GE(waiting, 1);
    ASSERT_FALSE(log.Final()) << "the tasks ran to their end through the pause";
    std::vector<int> frames;
    for (int i = 0; i < encoder.TaskCount(); ++i)
        frames.push_back(encoder.Tasks(i)->TargetStreamCount() ? encoder.Tasks(i)->TargetStream(0).FrameNumber : 0);
    const size_t reportsSeen = log.Progress.size();
    for (int turn = 0; turn < 10; ++turn)
        CheckSynchronize(20);
    EXPECT_EQ(log.Progress.size(), reportsSeen);
    for (int i = 0; i < encoder.TaskCount(); ++i) {
        ASSERT_TRUE(still());
        EXPECT_EQ(encoder.Tasks(i)->TargetStreamCount() ? encoder.Tasks(i)->TargetStream(0).FrameNumber : 0,
                  frames[size_t(i)])
            << "task " << i;
    }

    encoder.Resume();
    EXPECT_FALSE(encoder.Paused());
    ASSERT_TRUE(serveUntil([&] { return log.Final(); }));
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const QByteArray expected = readAll(path(QStringLiteral("ref%1.m2v").arg(i)));
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_TRUE(readAll(path(QStringLiteral("p%1.m2v").arg(i))) == expected);
    }
}

TEST_F(FFEncodeTest, StopFromTheTenthReportKeepsEveryReportedFrame)
{
    TFFEncoder encoder(nullptr);
    encoder.SetProgressInterval(100);
    addTasks(encoder, 3, QStringLiteral("s"), "-re");
    TEventLog log;
    log.Attach(encoder);
    int reports = 0;
    std::map<int, int> reported;  // task, highest frame reported
    const auto attached = encoder.OnProgress;
    encoder.OnProgress = TFFEncoder::TProgressEvent::FromFunction([&](TObject* sender, PProgressInfo info) {
        attached(sender, info);
        reported[info->TaskIndex] = std::max(reported[info->TaskIndex], info->FrameNumber);
        if (++reports == 10)
            encoder.Stop(true);  // waits inside a handler: the tasks never wait for this thread
    });
    encoder.StartTask(2);
    ASSERT_TRUE(serveUntil([&] { return log.Final(); }));
    EXPECT_TRUE(encoder.AllDone());

    ASSERT_EQ(log.Records.size(), 4u);
    std::set<int> seen;
    for (size_t i = 0; i < 3; ++i) {
        const TTerminateInfo& r = log.Records[i];
        seen.insert(r.TaskIndex);
        EXPECT_FALSE(r.Finished) << r.TaskIndex;
        EXPECT_FALSE(r.Failed) << r.ErrorMessage.toStdString();
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(log.Records[3].TaskIndex, -1);
    // Task 2 never started: its record came from the stop, with no output.
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("s2.m2v"))));
    ASSERT_GE(reported.size(), 1u);
    for (auto [task, frames] : reported) {
        SCOPED_TRACE(task);
        // A task stopped before its first picture leaves no file (-1).
        const int written = countFrames(path(QStringLiteral("s%1.m2v").arg(task)));
        EXPECT_GE(std::max(written, 0), frames);
        EXPECT_LT(written, 75);
    }
    encoder.ClearTasks();
}

TEST_F(FFEncodeTest, RefusalsWhileWorkingAndTheFailureOfATaskWithoutOutput)
{
    TFFEncoder encoder(nullptr);
    addTasks(encoder, 1, QStringLiteral("r"));
    TInputOptions in;
    ASSERT_EQ(encoder.AddTask(fixture("h264_aac_640.mp4"), &in), 1);  // no output
    EXPECT_EQ(in.FileName, fixture("h264_aac_640.mp4"));
    TEventLog log;
    log.Attach(encoder);
    encoder.Pause();  // outside a run: nothing happens
    EXPECT_FALSE(encoder.Paused());
    encoder.StartTask(1);
    encoder.Pause();  // the refusals do not depend on the tasks' progress

    const std::pair<const char*, std::function<void()>> refused[] = {
        {"AddTask", [&] { encoder.AddTask(fixture("h264_aac_640.mp4")); }},
        {"AddInput", [&] { encoder.AddInput(0, fixture("h264_aac_640.mp4")); }},
        {"SetOutput", [&] { encoder.SetOutput(1, path(QStringLiteral("x.m2v"))); }},
        {"RemoveTask", [&] { encoder.RemoveTask(0); }},
        {"StartTask", [&] { encoder.StartTask(1); }},
    };
    for (const auto& [name, call] : refused) {
        SCOPED_TRACE(name);
        try {
            call();
            ADD_FAILURE() << "not refused";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Cannot %1 while working.").arg(QLatin1String(name)));
        }
    }
    try {
        encoder.ClearTasks();
        ADD_FAILURE() << "ClearTasks not refused";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Cannot ClearTasks while working."));
    }
    EXPECT_EQ(encoder.TaskCount(), 2);

    encoder.Resume();
    ASSERT_TRUE(serveUntil([&] { return log.Final(); }));
    ASSERT_EQ(log.Records.size(), 3u);
    EXPECT_EQ(log.Records[0].TaskIndex, 0);
    EXPECT_FALSE(log.Records[0].Failed);
    EXPECT_EQ(log.Records[1].TaskIndex, 1);
    EXPECT_TRUE(log.Records[1].Failed);
    EXPECT_EQ(log.Records[1].ErrorMessage, QStringLiteral("At least one output file must be specified"));
    // Still working after the final record, but the list may be cleared.
    EXPECT_TRUE(encoder.Working());
    EXPECT_THROW(encoder.AddTask(fixture("h264_aac_640.mp4")), Exception);
    // The inputs' information outlives the run that freed the inputs.
    TFileStreamInfo info;
    encoder.InputDecoders(0, 0)->GetFileStreamInfo(info);
    EXPECT_GT(info.Duration, 2900000);
    EXPECT_EQ(encoder.InputDecoders(0, 0)->VideoStreamCount(), 1);
    encoder.ClearTasks();
    EXPECT_FALSE(encoder.Working());
    EXPECT_EQ(encoder.NextIndex(), -1);
}

TEST_F(FFEncodeTest, BuildingFailuresLeaveTheListAsItWas)
{
    TFFEncoder encoder(nullptr);
    EXPECT_LT(encoder.AddTask(path(QStringLiteral("missing.mp4"))), 0);
    EXPECT_TRUE(encoder.LastError().contains(QStringLiteral("missing.mp4"))) << encoder.LastError().toStdString();
    EXPECT_EQ(encoder.TaskCount(), 0);

    TInputOptions bad;
    bad.Options = "-nosuchoption 1";
    EXPECT_EQ(encoder.AddTask(fixture("h264_aac_640.mp4"), &bad), -1);
    EXPECT_FALSE(encoder.LastError().isEmpty());
    EXPECT_EQ(encoder.TaskCount(), 0);

    ASSERT_EQ(encoder.AddTask(fixture("h264_aac_640.mp4")), 0);
    TOutputOptions out;
    out.Options = "-c:v nosuch";
    EXPECT_LT(encoder.SetOutput(0, path(QStringLiteral("o.m2v")), &out), 0);
    EXPECT_EQ(encoder.LastError(), QStringLiteral("Unknown encoder 'nosuch'"));
    EXPECT_EQ(encoder.Tasks(0)->TargetFileCount(), 0);
    EXPECT_EQ(out.FileName, path(QStringLiteral("o.m2v")));
    ASSERT_NE(encoder.Tasks(0)->OutputOptions(0), nullptr);
    EXPECT_TRUE(encoder.Tasks(0)->OutputOptions(0)->Options.isEmpty());  // the slot was reset
}

TEST_F(FFEncodeTest, AnInlineRunDeliversEverythingBeforeItReturns)
{
    for (bool mainThread : {true, false}) {
        SCOPED_TRACE(mainThread);
        TFFEncoder encoder(nullptr);
        encoder.SetTriggerEventInMainThread(mainThread);
        addTasks(encoder, 2, QString::fromLatin1(mainThread ? "m" : "w"), {}, "-an -f mpeg2video -c:v mpeg2video -t 1");
        TEventLog log;
        log.Attach(encoder);
        bool cleared = false;
        const auto attached = encoder.OnTerminate;
        encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject* s, const TTerminateInfo& info) {
            attached(s, info);
            if (info.TaskIndex == -1) {
                encoder.ClearTasks();  // the last task is still on this thread's stack
                cleared = true;
            }
        });
        encoder.StartTask(0);
        EXPECT_TRUE(log.FinalSeen);
        EXPECT_TRUE(cleared);
        ASSERT_EQ(log.Records.size(), 3u);
        EXPECT_EQ(log.Records[0].TaskIndex, 0);
        EXPECT_EQ(log.Records[1].TaskIndex, 1);
        EXPECT_EQ(log.TerminateThreads, std::set<std::thread::id>{std::this_thread::get_id()});
        EXPECT_EQ(encoder.TaskCount(), 0);
    }
}

TEST_F(FFEncodeTest, OutsideTheMainThreadRecordsComeFromOneWorkerInEndOrder)
{
    TCountingEncoder encoder;
    encoder.SetTriggerEventInMainThread(false);
    addTasks(encoder, 4, QStringLiteral("x"), {}, "-an -f mpeg2video -c:v mpeg2video -t 1");
    TEventLog log;
    log.Attach(encoder);
    const auto attached = encoder.OnTerminate;
    encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject* s, const TTerminateInfo& info) {
        {
            std::lock_guard guard(log.Lock);
            if (log.Running++ > 0)
                ++log.Overlap;
        }
        std::this_thread::yield();
        attached(s, info);
        std::lock_guard guard(log.Lock);
        --log.Running;
    });
    encoder.StartTask(3);
    // Nothing is served here: the records do not need the main thread.
    for (int i = 0; i < 3000 && !log.Final(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(log.Final());
    std::lock_guard guard(log.Lock);
    ASSERT_EQ(log.Records.size(), 5u);
    EXPECT_EQ(log.Overlap, 0);
    EXPECT_EQ(log.TerminateThreads.size(), 1u);
    EXPECT_EQ(log.TerminateThreads.count(std::this_thread::get_id()), 0u);
    std::vector<int> delivered;
    for (size_t i = 0; i < 4; ++i)
        delivered.push_back(log.Records[i].TaskIndex);
    EXPECT_EQ(delivered, encoder.EndOrder());
    EXPECT_EQ(log.Records[4].TaskIndex, -1);
}

TEST_F(FFEncodeTest, PropertiesAndTheEmptyRun)
{
    TFFEncoder encoder(nullptr);
    const std::pair<int, int> intervals[] = {{50, 100}, {100, 100}, {101, 101}};
    for (auto [given, read] : intervals) {
        encoder.SetProgressInterval(given);
        EXPECT_EQ(encoder.ProgressInterval(), read);
    }
    encoder.Stop(false);  // outside a run: nothing to stop
    EXPECT_EQ(encoder.Remaining(), 0);
    EXPECT_FALSE(encoder.Working());
    // A run of nothing ends at once, so that the list can be cleared again.
    TEventLog log;
    log.Attach(encoder);
    encoder.StartTask(2);
    EXPECT_TRUE(encoder.AllDone());
    EXPECT_TRUE(log.FinalSeen);
    encoder.ClearTasks();
}

TEST_F(FFEncodeTest, DeliveriesQueuedForAGoneEncoderAreDropped)
{
    int delivered = 0;
    {
        TFFEncoder encoder(nullptr);
        encoder.SetProgressInterval(100);
        addTasks(encoder, 2, QStringLiteral("g"), {}, "-an -f mpeg2video -c:v mpeg2video -t 1");
        encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject*, const TTerminateInfo&) {
            ++delivered;
        });
        encoder.OnProgress = TFFEncoder::TProgressEvent::FromFunction([&](TObject*, PProgressInfo) { ++delivered; });
        encoder.StartTask(2);
        // The run ends without the main thread: everything is still queued.
        for (int i = 0; i < 3000 && !encoder.AllDone(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(encoder.AllDone());
    }
    while (CheckSynchronize()) {
    }
    EXPECT_EQ(delivered, 0);
}

TEST_F(FFEncodeTest, BeforeFindStreamInfoRunsWhileTheInputIsOpened)
{
    TFFEncoder encoder(nullptr);
    TObject* sender = nullptr;
    std::thread::id thread;
    int streams = -1;
    encoder.OnBeforeFindStreamInfo =
        TFFEncoder::TBeforeFindStreamInfoEvent::FromFunction([&](TObject* s, AVFormatContext* context) {
            sender = s;
            thread = std::this_thread::get_id();
            streams = int(context->nb_streams);
        });
    ASSERT_EQ(encoder.AddTask(fixture("h264_aac_640.mp4")), 0);
    EXPECT_EQ(sender, encoder.Tasks(0));
    EXPECT_EQ(thread, std::this_thread::get_id());
    EXPECT_EQ(streams, 2);
}

TEST_F(FFEncodeTest, SwitchedOnHooksRunInTheTasksThreads)
{
    TFFEncoder encoder(nullptr);
    ASSERT_EQ(encoder.AddTask(fixture("h264_aac_640.mp4")), 0);
    TOutputOptions out;
    out.Options = "-an -f mpeg2video -c:v mpeg2video -t 1";
    out.FrameOutputHook = true;
    ASSERT_GE(encoder.SetOutput(0, path(QStringLiteral("h.m2v")), &out), 0) << encoder.LastError().toStdString();
    std::mutex lock;
    int frames = 0;
    int wrongTask = 0;
    bool inMain = false;
    int inputHooks = 0;
    encoder.OnFrameOutputHook = TFFEncoder::TFrameHookEvent::FromFunction([&](TObject*, PFrameHookInfo info) {
        std::lock_guard guard(lock);
        ++frames;
        wrongTask += info->TaskIndex != 0;
        inMain = inMain || std::this_thread::get_id() == FMainThread;
    });
    // Not switched on in the output record: never called.
    encoder.OnFrameInputHook = TFFEncoder::TFrameHookEvent::FromFunction([&](TObject*, PFrameHookInfo) {
        std::lock_guard guard(lock);
        ++inputHooks;
    });
    TEventLog log;
    log.Attach(encoder);
    encoder.StartTask(1);
    ASSERT_TRUE(serveUntil([&] { return log.Final(); }));
    std::lock_guard guard(lock);
    EXPECT_EQ(frames, 25);
    EXPECT_EQ(wrongTask, 0);
    EXPECT_FALSE(inMain);
    EXPECT_EQ(inputHooks, 0);
}

TEST_F(FFEncodeTest, RandomPauseResumeAndStopNeverHangOrRace)
{
#ifdef VORLANE_SANITIZE_THREAD
    const int runs = 200;
#else
    const int runs = 10;
#endif
    std::mt19937 random(20261210);
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE(run);
        const int threads = 1 + int(random() % 4);
        const int pauseTurn = int(random() % 6);
        const int resumeTurn = pauseTurn + 1 + int(random() % 4);
        const int stopTurn = int(random() % 12);
        const bool stopWaits = random() % 2;
        const bool mainThread = random() % 4 != 0;

        auto encoder = std::make_unique<TFFEncoder>(nullptr);
        encoder->SetTriggerEventInMainThread(mainThread);
        encoder->SetProgressInterval(100);
        addTasks(*encoder, 3, QStringLiteral("z%1_").arg(run), {},
                 "-an -f mpeg2video -c:v mpeg2video -vf scale=160:96 -t 1 -threads 1");
        TEventLog log;
        log.Attach(*encoder);
        encoder->StartTask(threads);
        bool ended = false;
        for (int turn = 0; turn < 3000 && !ended; ++turn) {
            if (turn == pauseTurn)
                encoder->Pause();
            if (turn == resumeTurn)
                encoder->Resume();
            if (turn == stopTurn) {
                encoder->Stop(stopWaits);
                // Waiting covers paused tasks too: they are woken to end.
                if (stopWaits) {
                    EXPECT_TRUE(encoder->AllDone());
                }
            }
            CheckSynchronize(int(random() % 5));
            ended = log.Final();
        }
        ASSERT_TRUE(ended) << "threads " << threads;
        std::lock_guard guard(log.Lock);
        ASSERT_EQ(log.Records.size(), 4u);
        std::set<int> seen;
        for (size_t i = 0; i < 3; ++i)
            seen.insert(log.Records[i].TaskIndex);
        EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
        EXPECT_EQ(log.Records[3].TaskIndex, -1);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_FALSE(log.Records[i].Failed) << log.Records[i].ErrorMessage.toStdString();
        // Freed right after the final record, with threads perhaps still unwinding.
        encoder.reset();
    }
}

// A stop that waits serves the final record; a handler that clears the list
// there ends the run, and the wait with it.
TEST_F(FFEncodeTest, AWaitingStopReturnsWhenTheFinalHandlerClearsTheList)
{
    TFFEncoder encoder(nullptr);
    addTasks(encoder, 2, QStringLiteral("c"), "-re");
    TEventLog log;
    log.Attach(encoder);
    bool cleared = false;
    const auto attached = encoder.OnTerminate;
    encoder.OnTerminate = TFFEncoder::TTerminateEvent::FromFunction([&](TObject* sender, const TTerminateInfo& info) {
        attached(sender, info);
        if (info.TaskIndex == -1) {
            encoder.ClearTasks();
            cleared = true;
        }
    });
    encoder.StartTask(2);
    ASSERT_TRUE(encoder.Working());
    encoder.Stop(true);
    EXPECT_TRUE(log.Final());
    EXPECT_TRUE(cleared);
    EXPECT_EQ(encoder.TaskCount(), 0);
    EXPECT_FALSE(encoder.Working());
}

}  // namespace

// An output naming an input's file is refused when it is set, whatever the
// spelling and with or without -y; the input stays as it was and nothing
// is made. A name differing only in case is another file here.
TEST_F(FFEncodeTest, AnOutputThatIsTheInputIsRefusedAndTheInputKept)
{
    const String input = path(QStringLiteral("Clip.mp4"));
    ASSERT_TRUE(QFile::copy(fixture("h264_aac.mp4"), input));
    const QByteArray original = readAll(input);
    ASSERT_EQ(::link(input.toUtf8().constData(), path(QStringLiteral("hard.mp4")).toUtf8().constData()), 0);
    ASSERT_TRUE(QFile::link(input, path(QStringLiteral("soft.mp4"))));
    struct Case {
        String Output;
        bool Refused;
    } cases[] = {
        {input, true},
        {QStringLiteral("./") + QDir::current().relativeFilePath(input), true},
        {path(QStringLiteral("sub/../Clip.mp4")), true},
        {path(QStringLiteral("hard.mp4")), true},
        {path(QStringLiteral("soft.mp4")), true},
        {path(QStringLiteral("clip.mp4")), false},
    };
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("sub")));
    for (const char* overwrite : {"", "-y "}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Output.toStdString() + " " + overwrite);
            const QStringList before = QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
            TFFEncoder encoder(nullptr);
            ASSERT_EQ(encoder.AddTask(input), 0);
            TOutputOptions out;
            out.Options = AnsiString(overwrite) + "-an -c:v mpeg4 -f mp4 -t 0.2";
            const int r = encoder.SetOutput(0, c.Output, &out);
            if (c.Refused) {
                EXPECT_LT(r, 0);
                EXPECT_EQ(encoder.LastError(),
                          QStringLiteral("Output file \"%1\" is the same file as input file \"%2\".").arg(c.Output, input));
                EXPECT_EQ(encoder.TaskCount(), 1);
                EXPECT_EQ(encoder.Tasks(0)->TargetFileCount(), 0);
                encoder.StartTask(0);
                ASSERT_TRUE(encoder.AllDone());
            } else {
                ASSERT_EQ(r, 0) << encoder.LastError().toStdString();
                TEventLog log;
                log.Attach(encoder);
                encoder.StartTask(0);
                ASSERT_EQ(log.Records.size(), 2u);
                EXPECT_FALSE(log.Records[0].Failed) << log.Records[0].ErrorMessage.toStdString();
                EXPECT_GT(countFrames(c.Output), 0);
                ASSERT_TRUE(QFile::remove(c.Output));
            }
            EXPECT_EQ(readAll(input), original);
            EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
        }
    }
}

// A queued task holds no descriptor: a long queue converts under a low
// descriptor limit, and every task opens its files when it starts.
TEST_F(FFEncodeTest, SixHundredQueuedClipsConvertUnderALowDescriptorLimit)
{
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct TRestore {
        rlimit Limit;
        ~TRestore() { setrlimit(RLIMIT_NOFILE, &Limit); }
    } restore{saved};
    struct rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(256, saved.rlim_max);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    auto openDescriptors = [] { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()); };

    const int count = 600;
    const String clip = fixture("clip64x48.avi");
    TFFEncoder encoder(nullptr);
    const int before = openDescriptors();
    for (int i = 0; i < count; ++i) {
        const String input = path(QStringLiteral("in%1.avi").arg(i));
        ASSERT_EQ(::link(clip.toUtf8().constData(), input.toUtf8().constData()), 0);
        ASSERT_EQ(encoder.AddTask(input), i) << encoder.LastError().toStdString();
        TOutputOptions out;
        out.Options = "-an -f mpeg1video -c:v mpeg1video -threads 1";
        ASSERT_EQ(encoder.SetOutput(i, path(QStringLiteral("out%1.m1v").arg(i)), &out), 0)
            << i << ": " << encoder.LastError().toStdString();
    }
    // Only the task being built has its input open; no output exists yet.
    EXPECT_LE(openDescriptors(), before + 4);
    EXPECT_EQ(QDir(FDir.path()).entryList({QStringLiteral("*.m1v")}, QDir::Files | QDir::Hidden).size(), 0);

    TEventLog log;
    log.Attach(encoder);
    encoder.StartTask(4);
    ASSERT_TRUE(serveUntil([&] { return log.Final(); }, 30000));
    std::lock_guard guard(log.Lock);
    ASSERT_EQ(log.Records.size(), size_t(count) + 1);
    int failed = 0;
    for (const TTerminateInfo& info : log.Records)
        failed += info.Failed ? 1 : 0;
    EXPECT_EQ(failed, 0) << log.Records.front().ErrorMessage.toStdString();
    for (int i : {0, count / 2, count - 1})
        EXPECT_EQ(countFrames(path(QStringLiteral("out%1.m1v").arg(i))), 25) << i;
    EXPECT_EQ(QDir(FDir.path()).entryList({QStringLiteral("*.m1v")}, QDir::Files | QDir::Hidden).size(), count);
}

// A queued input that is replaced or removed before its task starts fails
// that task with a clear text; nothing is written for it, and the others
// convert.
TEST_F(FFEncodeTest, AQueuedInputThatChangedOrVanishedFailsItsTaskOnly)
{
    TFFEncoder encoder(nullptr);
    for (int i = 0; i < 3; ++i) {
        const String input = path(QStringLiteral("q%1.avi").arg(i));
        ASSERT_TRUE(QFile::copy(fixture("clip64x48.avi"), input));
        ASSERT_EQ(encoder.AddTask(input), i) << encoder.LastError().toStdString();
        TOutputOptions out;
        out.Options = "-an -f mpeg1video -c:v mpeg1video";
        ASSERT_EQ(encoder.SetOutput(i, path(QStringLiteral("q%1.m1v").arg(i)), &out), 0);
    }
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("q0.avi"))));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("q2.avi"))));
    ASSERT_TRUE(QFile::copy(fixture("h264_aac.mp4"), path(QStringLiteral("q2.avi"))));
    TEventLog log;
    log.Attach(encoder);
    encoder.StartTask(2);
    ASSERT_TRUE(serveUntil([&] { return log.Final(); }));
    std::lock_guard guard(log.Lock);
    ASSERT_EQ(log.Records.size(), 4u);
    std::map<int, TTerminateInfo> byTask;
    for (const TTerminateInfo& info : log.Records)
        byTask[info.TaskIndex] = info;
    for (int i : {0, 2}) {
        EXPECT_TRUE(byTask[i].Failed) << i;
        EXPECT_EQ(byTask[i].ErrorMessage,
                  QStringLiteral("Input file \"%1\" has changed or is gone since it was added.")
                      .arg(path(QStringLiteral("q%1.avi").arg(i))));
    }
    EXPECT_FALSE(byTask[1].Failed) << byTask[1].ErrorMessage.toStdString();
    EXPECT_EQ(QDir(FDir.path()).entryList({QStringLiteral("*.m1v"), QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("q1.m1v")});
}

// SetOutput checks the output it does not make yet: its folder, the
// length of its name and -n are refused there, and nothing is made.
TEST_F(FFEncodeTest, SetOutputRefusesAnOutputThatCouldNotBeMade)
{
    const String existing = path(QStringLiteral("existing.m1v"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    const String noFolder = path(QStringLiteral("nofolder/x.m1v"));
    const String tooLong = path(QString(253, QLatin1Char('a')) + QStringLiteral(".m1v"));
    struct Case {
        String Output;
        AnsiString Options;
        String Error;
    } cases[] = {
        {noFolder, "", noFolder + QStringLiteral(": No such file or directory")},
        {tooLong, "", tooLong + QStringLiteral(": File name too long")},
        {existing, "-n ",
         QStringLiteral("File \"%1\" already exists and overwriting is switched off (-n).").arg(existing)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Error.toStdString());
        TFFEncoder encoder(nullptr);
        ASSERT_EQ(encoder.AddTask(fixture("clip64x48.avi")), 0);
        TOutputOptions out;
        out.Options = c.Options + "-f mpeg1video";
        EXPECT_LT(encoder.SetOutput(0, c.Output, &out), 0);
        EXPECT_EQ(encoder.LastError(), c.Error);
        EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("existing.m1v")});
        EXPECT_EQ(readAll(existing), QByteArray("keep me"));
    }
}

// Tasks may be built in any order: a task built earlier has its input
// opened again for a later step, and a failed step leaves it as it was.
TEST_F(FFEncodeTest, InterleavedBuildingReopensAnEarlierTask)
{
    TFFEncoder encoder(nullptr);
    ASSERT_EQ(encoder.AddTask(fixture("clip64x48.avi")), 0);
    ASSERT_EQ(encoder.AddTask(fixture("clip64x48.avi")), 1);
    TOutputOptions bad;
    bad.Options = "-c:v nosuch";
    EXPECT_LT(encoder.SetOutput(0, path(QStringLiteral("a.m1v")), &bad), 0);
    EXPECT_EQ(encoder.LastError(), QStringLiteral("Unknown encoder 'nosuch'"));
    for (int i : {1, 0}) {
        TOutputOptions out;
        out.Options = "-f mpeg1video -t 0.4";
        ASSERT_EQ(encoder.SetOutput(i, path(QStringLiteral("o%1.m1v").arg(i)), &out), 0)
            << encoder.LastError().toStdString();
        EXPECT_EQ(encoder.Tasks(i)->TargetFileCount(), 1);
    }
    TEventLog log;
    log.Attach(encoder);
    encoder.StartTask(0);
    ASSERT_EQ(log.Records.size(), 3u);
    for (int i : {0, 1}) {
        EXPECT_FALSE(log.Records[size_t(i)].Failed) << log.Records[size_t(i)].ErrorMessage.toStdString();
        EXPECT_EQ(countFrames(path(QStringLiteral("o%1.m1v").arg(i))), 10);
    }
}
