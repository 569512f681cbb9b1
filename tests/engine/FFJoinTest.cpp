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

}  // namespace
