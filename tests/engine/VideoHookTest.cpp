// Video-hook plug-ins: the splitting of "-vhook" values, a plug-in that
// inverts luma in a whole conversion, arguments reaching it through a chain
// of two, and the refusals, which leave no output behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <mutex>

#include "engine/FFLoad.h"
#include "engine/FFLog.h"
#include "engine/FFmpeg.h"
#include "engine/VideoHookChain.h"
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

TEST(VideoHookValue, SplitsAtBarsWhenThereAreAnyAndOtherwiseAtBlanks)
{
    const struct {
        const char* value;
        std::vector<AnsiString> parts;
    } cases[] = {
        {"/x/hook.so", {"/x/hook.so"}},
        {"/x/hook.so fill 77", {"/x/hook.so", "fill", "77"}},
        {"/my hooks/hook.so|fill|7 7", {"/my hooks/hook.so", "fill", "7 7"}},
        {"  /x/hook.so   -a  ", {"/x/hook.so", "-a"}},
        {"||/x/hook.so|||-a|", {"/x/hook.so", "-a"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitVideoHookValue(c.value), c.parts) << c.value;
}

// Ten pictures of the 320x240 fixture as raw 4:2:0 frames.
const AnsiString RawOutput = "-an -frames:v 10 -f rawvideo -c:v rawvideo -pix_fmt yuv420p -threads 1";
constexpr int Width = 320, Height = 240;
constexpr int FrameBytes = Width * Height * 3 / 2;

class VideoHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString();
        ASSERT_TRUE(FDir.isValid());
        FLogger = std::make_unique<TFFLogger>(nullptr);
        FLogger->SetLogLevel(llError);
        FLogger->OnLog = TLogEvent::FromFunction([this](TObject*, uint32_t, TLogLevel level, const String& text) {
            const std::lock_guard guard(FLock);
            if (level <= llError)
                FLines.push_back(text);
        });
    }
    void TearDown() override
    {
        while (CheckSynchronize()) {
        }
        FLogger.reset();
        FFLoader()->UnloadLibs(EncoderLibraries);
    }
    String logText()
    {
        while (CheckSynchronize()) {
        }
        const std::lock_guard guard(FLock);
        String all;
        for (const String& line : std::exchange(FLines, {}))
            all += line + QLatin1Char('\n');
        return all;
    }
    String path(const char* name) const { return FDir.filePath(String::fromUtf8(name)); }
    QStringList entries() const { return QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden); }

    QByteArray convert(const AnsiString& hooks, const char* outputName)
    {
        TCustomFFmpeg task;
        EXPECT_GE(task.OpenInput(nullptr, fixture("h264_aac.mp4")), 0) << task.LastErrorText().toStdString();
        task.ParseOptions(hooks + ' ' + RawOutput);
        EXPECT_EQ(task.OpenOutput(path(outputName)), 0) << task.LastErrorText().toStdString();
        task.Start();
        EXPECT_FALSE(task.Failed()) << task.ErrorMessage().toStdString();
        return readAll(path(outputName));
    }

    QTemporaryDir FDir;
    std::unique_ptr<TFFLogger> FLogger;
    std::mutex FLock;
    std::vector<String> FLines;
};

TEST_F(VideoHookTest, APlugInSeesEveryDecodedPictureBeforeItIsEncoded)
{
    const AnsiString invert = TEST_VHOOK_INVERT;
    const QByteArray plain = convert("", "plain.yuv");
    const QByteArray inverted = convert("-vhook " + invert, "inverted.yuv");
    const int loaded = LoadedVideoHookCount();
    // A chain of two runs in the order given, each with its own arguments:
    // a constant luma of 77, then inverted.
    const QByteArray chained = convert("-vhook \"" + invert + " fill 77\" -vhook " + invert, "chained.yuv");

    ASSERT_EQ(plain.size(), 10 * FrameBytes);
    ASSERT_EQ(inverted.size(), plain.size());
    ASSERT_EQ(chained.size(), plain.size());
    int wrongLuma = 0, wrongChroma = 0, wrongChained = 0;
    for (int f = 0; f < 10; ++f) {
        const int base = f * FrameBytes;
        for (int i = 0; i < FrameBytes; ++i) {
            const auto p = uint8_t(plain[base + i]);
            const auto v = uint8_t(inverted[base + i]);
            if (i < Width * Height) {
                wrongLuma += v != 255 - p;
                wrongChained += uint8_t(chained[base + i]) != 255 - 77;
            } else {
                wrongChroma += v != p;
            }
        }
    }
    EXPECT_EQ(wrongLuma, 0);
    EXPECT_EQ(wrongChroma, 0);
    EXPECT_EQ(wrongChained, 0);
    // The library named again by later tasks was not loaded again.
    EXPECT_EQ(LoadedVideoHookCount(), loaded);
}

TEST_F(VideoHookTest, APlugInThatCannotBeUsedRefusesTheOutputAndLeavesNoFile)
{
    const AnsiString invert = TEST_VHOOK_INVERT;
    const AnsiString noProcess = TEST_VHOOK_NOPROCESS;
    const struct {
        AnsiString value;
        String logged;
    } cases[] = {
        {"/nonexistent/folder/libnothing.so", QStringLiteral("/nonexistent/folder/libnothing.so")},
        {noProcess, QStringLiteral("Failed to find Process entrypoint in ") + String::fromUtf8(noProcess)},
        {invert + " bogus", QStringLiteral("Failed to Configure ") + String::fromUtf8(invert)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        TCustomFFmpeg task;
        ASSERT_GE(task.OpenInput(nullptr, fixture("h264_aac.mp4")), 0);
        task.ParseOptions("-vhook \"" + c.value + "\" -an -c:v mpeg4");
        EXPECT_EQ(task.OpenOutput(path("out.avi")), -1);
        EXPECT_EQ(task.LastErrorText(), QStringLiteral("Failed to add video hook function: ") + String::fromUtf8(c.value));
        EXPECT_EQ(task.TargetFileCount(), 0);
        EXPECT_EQ(task.VideoHookCount(), 0);
        EXPECT_TRUE(logText().contains(c.logged)) << c.logged.toStdString();
        EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();
    }

    // Copied video is never decoded, so a plug-in could not see it.
    TCustomFFmpeg task;
    ASSERT_GE(task.OpenInput(nullptr, fixture("h264_aac.mp4")), 0);
    task.ParseOptions("-vhook " + invert + " -an -c:v copy");
    ASSERT_EQ(task.OpenOutput(path("copy.mkv")), 0) << task.LastErrorText().toStdString();
    task.Start();
    EXPECT_TRUE(task.Failed());
    EXPECT_EQ(task.ErrorMessage(), QStringLiteral("-vcodec copy and -vhook are incompatible (frames are not decoded)"));
    EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();
}

// A plug-in linked into the test that keeps the address of the context slot
// it was configured with, as a plug-in may, and checks it on every picture.
struct TKeptSlots {
    static constexpr int Count = 20;
    void** Slots[Count] = {};
    int Values[Count] = {};
    int Pictures = 0;
    int Mismatches = 0;
    int Released = 0;
};
TKeptSlots* kept = nullptr;  // the one the running test owns

int keepingConfigure(void** context, int, char* argv[], int)
{
    const int i = std::atoi(argv[1]);
    kept->Slots[i] = context;
    *context = &kept->Values[i];
    return 0;
}

void keepingProcess(void* context, VideoHookPicture*, int, int, int, int64_t)
{
    ++kept->Pictures;
    bool found = false;
    for (void** slot : kept->Slots)
        found = found || (slot && *slot == context);
    kept->Mismatches += !found;
}

void keepingRelease(void*)
{
    ++kept->Released;
}

TEST(VideoHookChain, AContextSlotAPlugInKeptStaysItsSlotWhileTheChainGrowsAndMoves)
{
    TKeptSlots state;
    kept = &state;
    {
        TVideoHookChain pending;
        for (int i = 0; i < TKeptSlots::Count; ++i)
            ASSERT_EQ(pending.AddHookProcs({"keeping", AnsiString::number(i)}, keepingConfigure, keepingProcess,
                                           keepingRelease),
                      0);
        TVideoHookChain chain;
        chain.Append(pending);
        EXPECT_TRUE(pending.Empty());
        ASSERT_EQ(chain.Count(), TKeptSlots::Count);
        // Every slot still holds what its plug-in put there.
        for (int i = 0; i < TKeptSlots::Count; ++i)
            EXPECT_EQ(*state.Slots[i], &state.Values[i]) << i;
        VideoHookPicture picture{};
        chain.CallHooks(&picture, 0, 16, 16, 0);
        EXPECT_EQ(state.Pictures, TKeptSlots::Count);
        EXPECT_EQ(state.Mismatches, 0);
    }
    EXPECT_EQ(state.Released, TKeptSlots::Count);
    kept = nullptr;
}

// An output refused after its plug-ins were configured takes them back, with
// its other changes to the task: the next output converts without them.
TEST_F(VideoHookTest, ARefusedOutputLeavesNeitherItsPlugInsNorItsDurationBehind)
{
    const AnsiString invert = TEST_VHOOK_INVERT;
    const QByteArray plain = convert("", "plain.yuv");
    ASSERT_EQ(plain.size(), 10 * FrameBytes);

    TCustomFFmpeg task;
    ASSERT_GE(task.OpenInput(nullptr, fixture("h264_aac.mp4")), 0);
    const int64_t duration = task.TotalDuration();
    // The metadata entry fails after the file was opened.
    task.ParseOptions("-vhook " + invert + " -t 100 -metadata novalue " + RawOutput);
    EXPECT_EQ(task.OpenOutput(path("refused.yuv")), -1);
    EXPECT_EQ(task.LastErrorText().toStdString(), "No \"=\" character in metadata string novalue.");
    EXPECT_EQ(task.VideoHookCount(), 0);
    EXPECT_EQ(task.TotalDuration(), duration);
    EXPECT_TRUE(entries().contains(QStringLiteral("plain.yuv")));
    EXPECT_FALSE(entries().contains(QStringLiteral("refused.yuv")));

    task.ParseOptions(RawOutput);
    ASSERT_EQ(task.OpenOutput(path("after.yuv")), 0) << task.LastErrorText().toStdString();
    EXPECT_EQ(task.VideoHookCount(), 0);
    task.Start();
    EXPECT_FALSE(task.Failed()) << task.ErrorMessage().toStdString();
    EXPECT_EQ(readAll(path("after.yuv")), plain);
}

}  // namespace
