// A task's frame hooks and preview in whole conversions: bitmap hooks that
// paint, stop or raise, picture hooks, deinterlacing, preview timing with
// an injected clock, and the preview window switched while frames flow.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <mutex>

#include "engine/Deinterlace.h"
#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "engine/FFmpeg.h"
#include "platform/graphics/Bitmap.h"
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

// The tool's raw yuv420p (or rgb24) decoding of a file.
QByteArray toolFrames(const String& input, const char* pixelFormat = "yuv420p")
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-threads"),
                                       QStringLiteral("1"), QStringLiteral("-i"), input, QStringLiteral("-an"),
                                       QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                                       QString::fromLatin1(pixelFormat), QStringLiteral("-")});
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

const AnsiString RawOutput = "-an -f rawvideo -c:v rawvideo -pix_fmt yuv420p -threads 1";

class FrameHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString();
        ASSERT_TRUE(FDir.isValid());
        FLogger = std::make_unique<TFFLogger>(nullptr);
        FLogger->SetLogLevel(llWarning);
        FLogger->OnLog = TLogEvent::FromFunction([this](TObject*, uint32_t, TLogLevel level, const String& text) {
            const std::lock_guard guard(FLock);
            if (level <= llWarning)
                FLines.push_back(text);
        });
    }
    void TearDown() override
    {
        drain();
        FLogger.reset();
        FFLoader()->UnloadLibs(EncoderLibraries);
    }
    static void drain()
    {
        while (CheckSynchronize()) {
        }
    }
    std::vector<String> lines()
    {
        drain();
        const std::lock_guard guard(FLock);
        return std::exchange(FLines, {});
    }
    String path(const char* name) const { return FDir.filePath(String::fromUtf8(name)); }

    // Opens input and output; prepare binds hooks before the inline run.
    void open(TCustomFFmpeg& task, const String& input, const AnsiString& options, const String& output)
    {
        ASSERT_GE(task.OpenInput(nullptr, input), 0) << task.LastErrorText().toStdString();
        task.ParseOptions(options);
        ASSERT_EQ(task.OpenOutput(output), 0) << task.LastErrorText().toStdString();
    }
    QByteArray run(const String& input, const AnsiString& options, const std::function<void(TCustomFFmpeg&)>& prepare,
                   const char* outputName = "out.yuv")
    {
        TCustomFFmpeg task;
        open(task, input, options, path(outputName));
        prepare(task);
        task.Start();
        EXPECT_FALSE(task.Failed()) << task.ErrorMessage().toStdString();
        return readAll(path(outputName));
    }

    QTemporaryDir FDir;
    std::unique_ptr<TFFLogger> FLogger;
    std::mutex FLock;
    std::vector<String> FLines;
};

void paintRedSquare(TBitmap* bitmap)
{
    for (int y = 8; y < 24; ++y) {
        auto* row = static_cast<uint8_t*>(bitmap->ScanLine(y));
        for (int x = 8; x < 24; ++x) {
            row[3 * x] = 0;  // blue, green, red
            row[3 * x + 1] = 0;
            row[3 * x + 2] = 255;
        }
    }
}

TEST_F(FrameHookTest, AnOutputHookPaintingARedSquareShowsInTheEncodedVideo)
{
    std::vector<int> frames;
    const QByteArray avi = run(fixture("h264_aac.mp4"), "-an -c:v mpeg4 -q:v 2 -threads 1",
                               [&](TCustomFFmpeg& task) {
                                   task.OnVideoOutputHook = TVideoHookProc::FromFunction(
                                       [&](TObject*, TBitmap* bitmap, int frameNumber, int64_t, bool& update, bool&) {
                                           EXPECT_TRUE(update);
                                           frames.push_back(frameNumber);
                                           paintRedSquare(bitmap);
                                       });
                               },
                               "red.avi");
    ASSERT_FALSE(avi.isEmpty());
    ASSERT_EQ(frames.size(), 75u);
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], int(i) + 1);

    const QByteArray rgb = toolFrames(path("red.avi"), "rgb24");
    ASSERT_EQ(rgb.size(), 320 * 240 * 3 * 75);
    for (const int frame : {0, 40, 74}) {
        const auto* base = reinterpret_cast<const uint8_t*>(rgb.constData()) + ptrdiff_t(frame) * 320 * 240 * 3;
        const uint8_t* inside = base + (16 * 320 + 16) * 3;
        EXPECT_GT(inside[0], 200) << frame;
        EXPECT_LT(inside[1], 60) << frame;
        EXPECT_LT(inside[2], 60) << frame;
    }
    // The source has no red there.
    const QByteArray source = toolFrames(fixture("h264_aac.mp4"), "rgb24");
    const auto* original = reinterpret_cast<const uint8_t*>(source.constData()) + (16 * 320 + 16) * 3;
    EXPECT_FALSE(original[0] > 200 && original[1] < 60 && original[2] < 60);
}

TEST_F(FrameHookTest, StopHookDetachesAndARaisingHookStaysAttachedWithoutWritingBack)
{
    int stopCalls = 0, raiseCalls = 0;
    const QByteArray out = run(fixture("h264_aac.mp4"), RawOutput, [&](TCustomFFmpeg& task) {
        task.OnVideoInputHook =
            TVideoHookProc::FromFunction([&](TObject*, TBitmap*, int frameNumber, int64_t, bool& update,
                                             bool& stopHook) {
                EXPECT_EQ(frameNumber, 1);
                ++stopCalls;
                update = false;
                stopHook = true;
            });
        task.OnVideoOutputHook =
            TVideoHookProc::FromFunction([&](TObject*, TBitmap* bitmap, int, int64_t, bool&, bool&) {
                ++raiseCalls;
                paintRedSquare(bitmap);
                throw Exception(QStringLiteral("boom"));
            });
    });
    EXPECT_EQ(stopCalls, 1);
    EXPECT_EQ(raiseCalls, 75);
    EXPECT_TRUE(out == toolFrames(fixture("h264_aac.mp4")));
    const std::vector<String> logged = lines();
    EXPECT_EQ(std::count(logged.begin(), logged.end(), QStringLiteral("Error occurs VideoHook event: boom")), 75);
}

TEST_F(FrameHookTest, PictureHooksSeeEveryFrameAndTheirChangesAreEncoded)
{
    std::vector<int> inputFrames, outputFrames;
    const QByteArray out = run(fixture("h264_aac.mp4"), RawOutput, [&](TCustomFFmpeg& task) {
        task.OnFrameInputHook = TFrameHookProc::FromFunction(
            [&](TObject*, void* picture, int pixelFormat, int frameNumber, int width, int height, int64_t pts) {
                EXPECT_EQ(pixelFormat, AV_PIX_FMT_YUV420P);
                EXPECT_EQ(width, 320);
                EXPECT_EQ(height, 240);
                EXPECT_EQ(pts, int64_t(frameNumber - 1) * 40000);
                inputFrames.push_back(frameNumber);
                auto* planes = static_cast<TAVPicture*>(picture);
                for (int y = 0; y < 8; ++y)
                    std::memset(planes->data[0] + y * planes->linesize[0], 235, 8);
            });
        task.OnFrameOutputHook =
            TFrameHookProc::FromFunction([&](TObject*, void*, int, int frameNumber, int, int, int64_t) {
                outputFrames.push_back(frameNumber);
            });
    });
    ASSERT_EQ(inputFrames.size(), 75u);
    EXPECT_EQ(inputFrames.back(), 75);
    EXPECT_EQ(outputFrames, inputFrames);
    const QByteArray plain = toolFrames(fixture("h264_aac.mp4"));
    ASSERT_EQ(out.size(), plain.size());
    const int frameSize = 320 * 240 * 3 / 2;
    for (int f = 0; f < 75; ++f)
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const int i = f * frameSize + y * 320 + x;
                const char expected = (x < 8 && y < 8) ? char(235) : plain[i];
                if (out[i] != expected) {
                    ADD_FAILURE() << "frame " << f << " at " << x << "," << y;
                    return;
                }
            }
}

TEST_F(FrameHookTest, DeinterlacingUsesTheLineFilterOrWarnsAndPassesThePictureOn)
{
    const QByteArray out = run(fixture("h264_aac.mp4"), "-deinterlace " + RawOutput, [](TCustomFFmpeg&) {});
    QByteArray expected = toolFrames(fixture("h264_aac.mp4"));
    ASSERT_EQ(out.size(), expected.size());
    const int w = 320, h = 240, frameSize = w * h * 3 / 2;
    QByteArray source = expected;
    for (int f = 0; f < 75; ++f) {
        TAVPicture src, dst;
        auto* s = reinterpret_cast<uint8_t*>(source.data()) + ptrdiff_t(f) * frameSize;
        auto* d = reinterpret_cast<uint8_t*>(expected.data()) + ptrdiff_t(f) * frameSize;
        const int offsets[3] = {0, w * h, w * h + w * h / 4}, lines[3] = {w, w / 2, w / 2};
        for (int p = 0; p < 3; ++p) {
            src.data[p] = s + offsets[p];
            dst.data[p] = d + offsets[p];
            src.linesize[p] = dst.linesize[p] = lines[p];
        }
        ASSERT_TRUE(DeinterlacePicture(dst, src, AV_PIX_FMT_YUV420P, w, h));
    }
    EXPECT_TRUE(out != source);
    EXPECT_TRUE(out == expected);
    EXPECT_TRUE(lines().empty());

    // 321x241 is no size the line filter takes: one warning per picture.
    const QByteArray odd = run(fixture("wide321.avi"), "-deinterlace " + RawOutput, [](TCustomFFmpeg&) {}, "odd.yuv");
    EXPECT_TRUE(odd == toolFrames(fixture("wide321.avi")));
    const std::vector<String> logged = lines();
    EXPECT_EQ(std::count(logged.begin(), logged.end(), QStringLiteral("Deinterlacing failed.")), 25);
}

TEST_F(FrameHookTest, CopiedStreamsRefuseHooks)
{
    struct Case {
        const char* Options;
        std::function<void(TCustomFFmpeg&)> Bind;
        const char* Error;
    } cases[] = {
        {"-c:v copy -an -f mp4",
         [](TCustomFFmpeg& t) {
             t.OnVideoOutputHook =
                 TVideoHookProc::FromFunction([](TObject*, TBitmap*, int, int64_t, bool&, bool&) {});
         },
         "-vcodec copy and VideoHook are incompatible (frames are not decoded)"},
        {"-c:v copy -an -f mp4",
         [](TCustomFFmpeg& t) {
             t.OnFrameInputHook = TFrameHookProc::FromFunction([](TObject*, void*, int, int, int, int, int64_t) {});
         },
         "-vcodec copy and FrameHook are incompatible (frames are not decoded)"},
        {"-vn -c:a copy -f mp4",
         [](TCustomFFmpeg& t) {
             t.OnAudioHook =
                 TAudioHookProc::FromFunction([](TObject*, uint8_t*, int64_t, int, int, int, AVSampleFormat) {});
         },
         "-acodec copy and AudioHook are incompatible (frames are not decoded)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Error);
        TCustomFFmpeg task;
        open(task, fixture("h264_aac.mp4"), c.Options, path("copy.mp4"));
        c.Bind(task);
        task.Start();
        EXPECT_TRUE(task.Failed());
        EXPECT_EQ(task.ErrorMessage(), QString::fromLatin1(c.Error));
    }
    lines();
}

// ---- preview ------------------------------------------------------------------------

TEST_F(FrameHookTest, PreviewEventsComeAtMostEveryHundredMilliseconds)
{
    int64_t clock = 0;
    std::vector<int64_t> shownAt;
    std::vector<int> frames;
    run(fixture("h264_aac.mp4"), RawOutput, [&](TCustomFFmpeg& task) {
        // Every reading of the clock is 20 ms later than the one before.
        task.SetPreviewClock([&] { return clock += 20000; });
        task.OnPreviewBitmap = TPreviewBitmapProc::FromFunction([&](TObject*, TBitmap* bitmap, int frameNumber,
                                                                    int64_t) {
            EXPECT_EQ(bitmap->Width(), 320);
            shownAt.push_back(clock);
            frames.push_back(frameNumber);
        });
        task.SetPreviewFlags(PreviewBitmapSwitch | PreviewWindowSwitch);
    });
    ASSERT_GE(shownAt.size(), 2u);
    for (size_t i = 1; i < shownAt.size(); ++i)
        EXPECT_GT(shownAt[i] - shownAt[i - 1], PreviewInterval);
    // 20 ms per picture: the first, then every sixth.
    EXPECT_EQ(shownAt.size(), 13u);
    EXPECT_EQ(frames[0], 1);
    EXPECT_EQ(frames[1], 7);
}

// A window stand-in that lives in the main thread like the real one.
struct TFakeWindows {
    std::atomic<int> Made{0}, Paints{0}, Freed{0};
    std::atomic<bool> OffMainThread{false};
    std::function<void()> Close;
    TPreviewWindowFactory Factory()
    {
        return [this](std::function<void()> onClosed) -> std::unique_ptr<IPreviewWindow> {
            struct TWindow : IPreviewWindow {
                TFakeWindows* Owner;
                explicit TWindow(TFakeWindows* owner) : Owner(owner) {}
                ~TWindow() override
                {
                    check();
                    ++Owner->Freed;
                }
                void PaintFrame(const QImage& picture, int, int64_t) override
                {
                    check();
                    EXPECT_GT(picture.width(), 0);
                    ++Owner->Paints;
                }
                void check() const
                {
                    if (TThread::CurrentThreadID() != TThread::MainThreadID())
                        Owner->OffMainThread = true;
                }
            };
            ++Made;
            Close = std::move(onClosed);
            return std::make_unique<TWindow>(this);
        };
    }
};

TEST_F(FrameHookTest, ClosingThePreviewWindowEndsPreviewingAndTheConversionGoesOn)
{
    TFakeWindows windows;
    int64_t clock = 0;
    TCustomFFmpeg task;
    open(task, fixture("h264_aac.mp4"), RawOutput, path("win.yuv"));
    task.SetPreviewClock([&] { return clock += 50000; });
    task.SetPreviewWindowFactory(windows.Factory());
    task.SetPreviewFlags(PreviewWindowSwitch);
    // The user closes the window while the fourth preview is painted.
    task.OnFrameOutputHook = TFrameHookProc::FromFunction([&](TObject*, void*, int, int, int, int, int64_t) {
        if (windows.Paints == 4 && windows.Close) {
            windows.Close();
            windows.Close = nullptr;
        }
    });
    task.Start();
    EXPECT_TRUE(task.Finished());
    EXPECT_FALSE(task.Failed());
    EXPECT_EQ(task.PreviewFlags() & PreviewWindowSwitch, 0);
    drain();
    EXPECT_EQ(windows.Made, 1);
    EXPECT_EQ(windows.Paints, 4);
    EXPECT_EQ(windows.Freed, 1);
    EXPECT_FALSE(windows.OffMainThread);
    EXPECT_EQ(readAll(path("win.yuv")).size(), 320 * 240 * 3 / 2 * 75);
}

TEST_F(FrameHookTest, TogglingThePreviewWhileFramesFlowNeverBlocks)
{
    TFakeWindows windows;
    std::atomic<int64_t> clock{0};
    auto owned = std::make_unique<TCustomFFmpeg>();
    TCustomFFmpeg& task = *owned;
    open(task, fixture("h264_aac_640.mp4"), RawOutput, path("toggle.yuv"));
    task.SetPreviewClock([&] { return clock += 150000; });
    task.SetPreviewWindowFactory(windows.Factory());
    task.SetPreviewFlags(PreviewWindowSwitch);
    ASSERT_TRUE(task.StartThread());
    // The main thread switches the window on and off and serves none of
    // the posted paints meanwhile; the conversion runs to its end regardless.
    for (int i = 0; !task.ThreadDone(); ++i) {
        task.SetPreviewFlags(i % 2 ? 0 : PreviewWindowSwitch);
        std::this_thread::yield();
    }
    EXPECT_EQ(windows.Made, 0);
    task.WaitForThread();
    drain();
    EXPECT_TRUE(task.Finished());
    EXPECT_FALSE(task.Failed()) << task.ErrorMessage().toStdString();
    owned.reset();
    drain();
    EXPECT_EQ(windows.Made, windows.Freed);
    EXPECT_FALSE(windows.OffMainThread);
}

}  // namespace
