// Joining inputs into one output: three clips of two sizes written one after
// another with continuous time stamps and progress over the whole, and the
// refusals of the encoder's SetOutput.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/FFEncode.h"
#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/Thread.h"
#include "tests/harness/Fixtures.h"

namespace {

String fixture(const char* name)
{
    return QString::fromStdString(vorlane::test::FixturePath(name));
}

// What a file holds, read in this process: the presentation times (s) of
// its video and audio packets in file order, and the picture size.
struct TPackets {
    std::vector<double> Video, Audio;
    int Width = 0, Height = 0;
};

TPackets readPackets(const String& file)
{
    TPackets result;
    AVFormatContext* ctx = nullptr;
    if (ff::avformat_open_input(&ctx, file.toUtf8().constData(), nullptr, nullptr) < 0)
        return result;
    if (ff::avformat_find_stream_info(ctx, nullptr) >= 0) {
        AVPacket* packet = ff::av_packet_alloc();
        while (ff::av_read_frame(ctx, packet) >= 0) {
            const AVStream* st = ctx->streams[packet->stream_index];
            const AVMediaType type = st->codecpar->codec_type;
            if (type == AVMEDIA_TYPE_VIDEO) {
                result.Width = st->codecpar->width;
                result.Height = st->codecpar->height;
            }
            if (packet->pts != AV_NOPTS_VALUE) {
                const double t = double(packet->pts) * av_q2d(st->time_base);
                if (type == AVMEDIA_TYPE_VIDEO)
                    result.Video.push_back(t);
                else if (type == AVMEDIA_TYPE_AUDIO)
                    result.Audio.push_back(t);
            }
            ff::av_packet_unref(packet);
        }
        ff::av_packet_free(&packet);
    }
    ff::avformat_close_input(&ctx);
    return result;
}

// The video packets of a file, in file order: raw pictures when the output
// was raw video.
std::vector<QByteArray> videoPackets(const String& file)
{
    std::vector<QByteArray> result;
    AVFormatContext* ctx = nullptr;
    if (ff::avformat_open_input(&ctx, file.toUtf8().constData(), nullptr, nullptr) < 0)
        return result;
    if (ff::avformat_find_stream_info(ctx, nullptr) >= 0) {
        AVPacket* packet = ff::av_packet_alloc();
        while (ff::av_read_frame(ctx, packet) >= 0) {
            if (ctx->streams[packet->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                result.emplace_back(reinterpret_cast<const char*>(packet->data), packet->size);
            ff::av_packet_unref(packet);
        }
        ff::av_packet_free(&packet);
    }
    ff::avformat_close_input(&ctx);
    return result;
}

// Largest step between neighbours, or -1 when one does not increase.
double largestStep(const std::vector<double>& times)
{
    double largest = 0;
    for (size_t i = 1; i < times.size(); ++i) {
        if (times[i] <= times[i - 1])
            return -1;
        largest = std::max(largest, times[i] - times[i - 1]);
    }
    return largest;
}

class FFJoinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString();
        ASSERT_TRUE(FDir.isValid());
    }
    void TearDown() override
    {
        while (CheckSynchronize()) {
        }
        FFLoader()->UnloadLibs(EncoderLibraries);
    }
    String path(const char* name) const { return FDir.filePath(String::fromUtf8(name)); }
    String path(const String& name) const { return FDir.filePath(name); }

    // Converts the inputs, joined when there are several, with the output
    // options; the task's error text, empty when it went well.
    String convert(const std::vector<const char*>& inputs, const AnsiString& options, const String& output)
    {
        TCustomFFmpeg task;
        for (const char* name : inputs)
            if (task.OpenInput(nullptr, fixture(name)) < 0)
                return task.LastErrorText();
        task.ParseOptions(options);
        if (task.OpenOutput(output, true) < 0)
            return task.LastErrorText();
        task.Start();
        return task.Failed() ? task.ErrorMessage() : String();
    }
    QStringList entries() const { return QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir FDir;
};

constexpr double Frame = 0.04;

TEST_F(FFJoinTest, ThreeClipsOfTwoSizesBecomeOneContinuousOutput)
{
    struct TReport {
        int FileIndex;
        int64_t Current, Total;
    };
    std::vector<TReport> reports;
    TCustomFFmpeg task;
    // 1 s + 1 s at 160x120, then 1.2 s at 320x240.
    for (const char* name : {"join160.avi", "join160.avi", "join320.avi"})
        ASSERT_GE(task.OpenInput(nullptr, fixture(name)), 0) << task.LastErrorText().toStdString();
    task.ParseOptions("-c:v mpeg4 -q:v 5 -c:a mp2 -b:a 128k -threads 1");
    ASSERT_EQ(task.OpenOutput(path("joined.mkv"), true), 0) << task.LastErrorText().toStdString();
    EXPECT_TRUE(task.JoinMode());
    EXPECT_EQ(task.JoinGroupCount(), 3);
    EXPECT_EQ(task.TargetFileCount(), 1);
    EXPECT_NEAR(double(task.TotalDuration()) / 1e6, 3.2, Frame);
    task.SetProgressInterval(0);
    task.OnProgress = TProgressEvent::FromFunction(
        [&](TObject*, int fileIndex, int, int, float, float, int64_t, int64_t current, int64_t total) {
            reports.push_back({fileIndex, current, total});
        });
    task.Start();
    ASSERT_FALSE(task.Failed()) << task.ErrorMessage().toStdString();
    EXPECT_EQ(task.JoinGroup(), 2);

    const TPackets out = readPackets(path("joined.mkv"));
    EXPECT_EQ(out.Width, 160);
    EXPECT_EQ(out.Height, 120);
    ASSERT_FALSE(out.Video.empty());
    EXPECT_NEAR(out.Video.back() + Frame - out.Video.front(), 3.2, Frame);
    EXPECT_NEAR(double(out.Video.size()), 80.0, 1.0);
    const double videoStep = largestStep(out.Video);
    EXPECT_GT(videoStep, 0) << "video time stamps go back";
    EXPECT_LE(videoStep, Frame + 0.002);
    ASSERT_FALSE(out.Audio.empty());
    EXPECT_GT(largestStep(out.Audio), 0) << "audio time stamps go back";
    EXPECT_LE(largestStep(out.Audio), 1152.0 / 44100 + 0.002);
    EXPECT_NEAR(out.Audio.back(), 3.2, 0.1);

    // The reports follow the groups and count the whole output.
    ASSERT_GE(reports.size(), 3u);
    std::vector<int> groups;
    for (size_t i = 0; i + 1 < reports.size(); ++i) {
        if (groups.empty() || groups.back() != reports[i].FileIndex)
            groups.push_back(reports[i].FileIndex);
        EXPECT_LE(reports[i].Current, reports[i + 1].Current);
        EXPECT_EQ(reports[i].Total, task.TotalDuration());
    }
    EXPECT_EQ(groups, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(reports.back().FileIndex, -1);
    EXPECT_NEAR(double(reports.back().Current) / 1e6, 3.2, Frame);
}

TEST_F(FFJoinTest, SetOutputRefusesAJoinThatWouldLeaveAStreamWithoutSource)
{
    TFFEncoder encoder(nullptr);
    TOutputOptions options;
    InitOutputOptions(options);
    options.Options = "-c:v mpeg4 -c:a mp2";
    options.Join = true;

    // Video and audio, then video only: the audio would have no source.
    ASSERT_EQ(encoder.AddTask(fixture("join160.avi")), 0) << encoder.LastError().toStdString();
    ASSERT_GE(encoder.AddInput(0, fixture("rate12_5.avi")), 0) << encoder.LastError().toStdString();
    EXPECT_LT(encoder.SetOutput(0, path("refused.mkv"), &options), 0);
    EXPECT_EQ(encoder.LastError(), QStringLiteral("Cannot join input #1 \"%1\": it has no audio stream to continue "
                                                  "the output's.")
                                       .arg(fixture("rate12_5.avi")));
    EXPECT_EQ(encoder.Tasks(0)->TargetFileCount(), 0);
    EXPECT_FALSE(encoder.Tasks(0)->JoinMode());
    EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();

    // The other way round the later audio is simply not used; a second
    // output for a joined task is refused.
    ASSERT_EQ(encoder.AddTask(fixture("rate12_5.avi")), 1) << encoder.LastError().toStdString();
    ASSERT_GE(encoder.AddInput(1, fixture("join160.avi")), 0) << encoder.LastError().toStdString();
    EXPECT_EQ(encoder.SetOutput(1, path("accepted.mkv"), &options), 0) << encoder.LastError().toStdString();
    EXPECT_TRUE(encoder.Tasks(1)->JoinMode());
    EXPECT_LT(encoder.SetOutput(1, path("second.mkv"), &options), 0);
    EXPECT_EQ(encoder.LastError(), QStringLiteral("Cannot join more than one output file."));
    encoder.ClearTasks();
    EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();
}

// A chain that changes the picture size runs on every input as it is; what
// it makes of a later input is then fitted to the first input's result, so
// that every group's pictures are what a conversion of that input alone with
// the chain (and the fitting) gives.
TEST_F(FFJoinTest, ASizeChangingChainGivesEveryGroupTheSamePicturesAsItsInputAlone)
{
    const struct {
        const char* name;
        const char* second;
        AnsiString chain;
        AnsiString secondChain;  // the reference of the second group
        int width, height;
    } cases[] = {
        {"transpose", "join160.avi", "transpose=1", "transpose=1", 120, 160},
        {"crop", "join320.avi", "crop=80:60:0:0", "crop=80:60:0:0", 80, 60},
        // The engine's own filter runs after the graph: the fitting follows it.
        {"own rotate", "join320.avi", "rotate=90", "rotate=90,scale=120:160", 120, 160},
    };
    const AnsiString raw = "-an -c:v rawvideo -pix_fmt yuv420p -threads 1 -vf ";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const String joined = path(String::fromLatin1(c.name) + QStringLiteral(" joined.nut"));
        const String first = path(String::fromLatin1(c.name) + QStringLiteral(" first.nut"));
        const String second = path(String::fromLatin1(c.name) + QStringLiteral(" second.nut"));
        ASSERT_EQ(convert({"join160.avi", c.second}, raw + c.chain, joined).toStdString(), "");
        ASSERT_EQ(convert({"join160.avi"}, raw + c.chain, first).toStdString(), "");
        ASSERT_EQ(convert({c.second}, raw + c.secondChain, second).toStdString(), "");

        const TPackets out = readPackets(joined);
        EXPECT_EQ(out.Width, c.width);
        EXPECT_EQ(out.Height, c.height);
        const std::vector<QByteArray> pictures = videoPackets(joined);
        const std::vector<QByteArray> firstAlone = videoPackets(first);
        const std::vector<QByteArray> secondAlone = videoPackets(second);
        ASSERT_FALSE(firstAlone.empty());
        ASSERT_FALSE(secondAlone.empty());
        ASSERT_EQ(pictures.size(), firstAlone.size() + secondAlone.size());
        int differing = 0;
        for (size_t i = 0; i < pictures.size(); ++i) {
            const QByteArray& expected =
                i < firstAlone.size() ? firstAlone[i] : secondAlone[i - firstAlone.size()];
            EXPECT_EQ(pictures[i].size(), c.width * c.height * 3 / 2) << i;
            differing += pictures[i] != expected;
        }
        EXPECT_EQ(differing, 0);
    }
}

// Copied packets go on from the next input as they are: a later input whose
// stream could not continue the first one's is refused when the output is set.
TEST_F(FFJoinTest, StreamCopyRefusesALaterInputThatDiffers)
{
    const struct {
        const char* second;
        AnsiString options;
        QString reason;
    } cases[] = {
        {"h264_aac.mp4", "-an -c:v copy", QStringLiteral("video stream is copied but differs from the first input's "
                                                          "in codec (h264, not mpeg4)")},
        {"join320.avi", "-an -c:v copy", QStringLiteral("video stream is copied but differs from the first input's "
                                                         "in picture size (320x240, not 160x120)")},
        {"mono22050.wav", "-vn -c:a copy", QStringLiteral("audio stream is copied but differs from the first input's "
                                                           "in sample rate (22050, not 44100)")},
        {"stereo44100.wav", "-vn -c:a copy", QStringLiteral("audio stream is copied but differs from the first "
                                                             "input's in channel count (2, not 1)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        TFFEncoder encoder(nullptr);
        TOutputOptions options;
        InitOutputOptions(options);
        options.Options = c.options;
        options.Join = true;
        ASSERT_EQ(encoder.AddTask(fixture("join160.avi")), 0) << encoder.LastError().toStdString();
        ASSERT_GE(encoder.AddInput(0, fixture(c.second)), 0) << encoder.LastError().toStdString();
        EXPECT_LT(encoder.SetOutput(0, path("copied.mkv"), &options), 0);
        EXPECT_EQ(encoder.LastError().toStdString(),
                  QStringLiteral("Cannot join input #1 \"%1\": its %2.").arg(fixture(c.second), c.reason).toStdString());
        EXPECT_FALSE(encoder.Tasks(0)->JoinMode());
        EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();
    }

    // Alike inputs are copied one after the other.
    const String copied = path("copied.mkv");
    ASSERT_EQ(convert({"join160.avi", "join160.avi"}, "-c copy", copied).toStdString(), "");
    const TPackets out = readPackets(copied);
    EXPECT_EQ(out.Video.size(), 50u);
    EXPECT_GT(largestStep(out.Video), 0) << "video time stamps go back";
    EXPECT_NEAR(out.Audio.back(), 2.0, 0.1);
}

// Each group's fresh encoder would read the first pass's statistics from
// their start; two-pass encoding and joining are refused together.
TEST_F(FFJoinTest, TwoPassEncodingIsRefusedWithJoining)
{
    for (const AnsiString pass : {"1", "2"}) {
        SCOPED_TRACE(pass.toStdString());
        TFFEncoder encoder(nullptr);
        TOutputOptions options;
        InitOutputOptions(options);
        options.Options = "-an -c:v mpeg4 -pass " + pass + " -passlogfile " + path("log").toUtf8();
        options.Join = true;
        ASSERT_EQ(encoder.AddTask(fixture("join160.avi")), 0) << encoder.LastError().toStdString();
        ASSERT_GE(encoder.AddInput(0, fixture("join320.avi")), 0) << encoder.LastError().toStdString();
        EXPECT_LT(encoder.SetOutput(0, path("twopass.mkv"), &options), 0);
        EXPECT_EQ(encoder.LastError().toStdString(), "Two-pass encoding cannot be used when joining inputs.");
        EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();
    }
}

// The group and the plug-in count are read by other threads while the
// task's thread changes them.
TEST_F(FFJoinTest, TheGroupAndThePlugInCountCanBeWatchedWhileTheTaskRuns)
{
    TCustomFFmpeg task;
    ASSERT_GE(task.OpenInput(nullptr, fixture("join160.avi")), 0);
    ASSERT_GE(task.OpenInput(nullptr, fixture("join320.avi")), 0);
    task.ParseOptions(AnsiString("-vhook ") + TEST_VHOOK_INVERT + " -an -c:v mpeg4 -threads 1");
    ASSERT_EQ(task.OpenOutput(path("watched.mkv"), true), 0) << task.LastErrorText().toStdString();
    EXPECT_EQ(task.VideoHookCount(), 1);
    ASSERT_TRUE(task.StartThread());
    std::vector<int> groups;
    int hooks = 0;
    while (!task.ThreadDone()) {
        const int group = task.JoinGroup();
        if (groups.empty() || groups.back() != group)
            groups.push_back(group);
        hooks = std::max(hooks, task.VideoHookCount());
        CheckSynchronize(1);
    }
    task.WaitForThread();
    EXPECT_FALSE(task.Failed()) << task.ErrorMessage().toStdString();
    EXPECT_TRUE(std::is_sorted(groups.begin(), groups.end()));
    EXPECT_LE(hooks, 1);
    EXPECT_EQ(task.JoinGroup(), 1);
    EXPECT_EQ(task.VideoHookCount(), 0);  // released with the conversion
}

}  // namespace
