#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"
#include "tests/engine/Authoring.h"
#include "tests/harness/Fixtures.h"

namespace {

class FFTargetsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString(); }
    void TearDown() override { FFLoader()->UnloadLibs(EncoderLibraries); }
};

class TTargetTask : public TCustomFFmpeg {
public:
    void AddVideoInput(AVRational rate)
    {
        TSourceFile file;
        file.Context.reset(ff::avformat_alloc_context());
        ff::avformat_new_stream(file.Context.get(), nullptr)->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
        AVStream* st = ff::avformat_new_stream(file.Context.get(), nullptr);
        st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        st->r_frame_rate = rate;
        FSourceFiles.push_back(std::move(file));
    }
};

TEST_F(FFTargetsTest, TargetsGiveExactlyTheirValues)
{
    const struct {
        const char* Target;
        const char* Expected;
    } cases[] = {
        {"pal-dvd",
         "f = dvd\nc:v = mpeg2video\nc:a = ac3\nr = 25\ns = 720x576\npix_fmt = yuv420p\nar = 48000\n"
         "forced video codec = mpeg2video\nforced audio codec = ac3\ncodec g = 15\ncodec b:v = 6000000\n"
         "codec maxrate = 9000000\ncodec minrate = 0\ncodec bufsize = 1835008\ncodec b:a = 448000\n"
         "format packetsize = 2048\nformat muxrate = 10080000\n"},
        {"ntsc-dvd",
         "f = dvd\nc:v = mpeg2video\nc:a = ac3\nr = 30000/1001\ns = 720x480\npix_fmt = yuv420p\nar = 48000\n"
         "forced video codec = mpeg2video\nforced audio codec = ac3\ncodec g = 18\ncodec b:v = 6000000\n"
         "codec maxrate = 9000000\ncodec minrate = 0\ncodec bufsize = 1835008\ncodec b:a = 448000\n"
         "format packetsize = 2048\nformat muxrate = 10080000\n"},
        {"pal-vcd",
         "f = vcd\nc:v = mpeg1video\nc:a = mp2\nr = 25\ns = 352x288\nar = 44100\nac = 2\nmuxpreload = 0.44\n"
         "forced video codec = mpeg1video\nforced audio codec = mp2\ncodec g = 15\ncodec b:v = 1150000\n"
         "codec maxrate = 1150000\ncodec minrate = 1150000\ncodec bufsize = 327680\ncodec b:a = 224000\n"
         "format packetsize = 2324\nformat muxrate = 1411200\n"},
        {"ntsc-svcd",
         "f = svcd\nc:v = mpeg2video\nc:a = mp2\nr = 30000/1001\ns = 480x480\npix_fmt = yuv420p\nar = 44100\n"
         "forced video codec = mpeg2video\nforced audio codec = mp2\ncodec g = 18\ncodec b:v = 2040000\n"
         "codec maxrate = 2516000\ncodec minrate = 0\ncodec bufsize = 1835008\ncodec scan_offset = 1\n"
         "codec b:a = 224000\nformat packetsize = 2324\n"},
        {"film-dvd", nullptr},
        {"pal-dv", "f = dv\nr = 25\ns = 720x576\npix_fmt = yuv420p\nar = 48000\nac = 2\n"},
        {"ntsc-dv", "f = dv\nr = 30000/1001\ns = 720x480\npix_fmt = yuv411p\nar = 48000\nac = 2\n"},
        {"pal-dv50", "f = dv\nr = 25\ns = 720x576\npix_fmt = yuv422p\nar = 48000\nac = 2\n"},
    };
    for (const auto& c : cases) {
        TCustomFFmpeg task;
        task.ParseOptions(AnsiString("-target ") + c.Target);
        const std::string description = DescribeOptions(task).toStdString();
        if (c.Expected)
            EXPECT_EQ(description, c.Expected) << c.Target;
        else  // film: the 480-line size and film rate with the NTSC group size
            EXPECT_NE(description.find("r = 24000/1001\ns = 720x480\n"), std::string::npos) << description;
    }
}

TEST_F(FFTargetsTest, LaterOptionsOverrideTheTarget)
{
    TCustomFFmpeg task;
    task.ParseOptions("-b:v 1000k -target pal-vcd -s 320x240 -b:v 900000");
    const TFileOptions& o = task.OptionsContext();
    ASSERT_EQ(o.FrameSizes.size(), 2u);
    EXPECT_EQ(std::get<AnsiString>(o.FrameSizes.back().Value), "320x240");
    EXPECT_STREQ(ff::av_dict_get(task.LibavOptions().CodecOpts, "b:v", nullptr, 0)->value, "900000");
}

TEST_F(FFTargetsTest, NormFromTheInputsFrameRate)
{
    const struct {
        AVRational Rate;
        const char* Size;
    } cases[] = {{{30000, 1001}, "480x480"}, {{25, 1}, "480x576"}, {{24000, 1001}, "480x480"}};
    for (const auto& c : cases) {
        TTargetTask task;
        task.AddVideoInput({12, 1});  // no norm: the next input decides
        task.AddVideoInput(c.Rate);
        task.ParseOptions("-target svcd");
        EXPECT_EQ(std::get<AnsiString>(task.OptionsContext().FrameSizes.back().Value), c.Size);
    }
}

// The codec options of each disc target open the encoders they choose.
TEST_F(FFTargetsTest, TargetCodecOptionsOpenTheirEncoders)
{
    for (const char* target : {"pal-vcd", "ntsc-vcd", "pal-svcd", "ntsc-svcd", "pal-dvd", "ntsc-dvd"}) {
        TCustomFFmpeg task;
        task.ParseOptions(AnsiString("-target ") + target);
        const TFileOptions& o = task.OptionsContext();
        AVFormatContext* s = ff::avformat_alloc_context();
        s->oformat = ff::av_guess_format("dvd", nullptr, nullptr);  // options are filtered for encoding
        AVStream* video = ff::avformat_new_stream(s, nullptr);
        video->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        AVStream* audio = ff::avformat_new_stream(s, nullptr);
        audio->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;

        AnsiString videoCodec, audioCodec, size, rate, rateText;
        task.MatchPerStreamOpt(o.CodecNames, s, video, videoCodec);
        task.MatchPerStreamOpt(o.CodecNames, s, audio, audioCodec);
        task.MatchPerStreamOpt(o.FrameSizes, s, video, size);
        task.MatchPerStreamOpt(o.FrameRates, s, video, rateText);
        int sampleRate = 0;
        task.MatchPerStreamOpt(o.AudioSampleRates, s, audio, sampleRate);

        const AVCodec* vc = ff::avcodec_find_encoder_by_name(videoCodec.constData());
        AVCodecContext* enc = ff::avcodec_alloc_context3(vc);
        enc->width = size.left(size.indexOf('x')).toInt();
        enc->height = size.mid(size.indexOf('x') + 1).toInt();
        enc->pix_fmt = AV_PIX_FMT_YUV420P;
        enc->time_base = rateText == "25" ? AVRational{1, 25} : AVRational{1001, 30000};
        enc->framerate = {enc->time_base.den, enc->time_base.num};
        TAVDictionaryPtr opts = FilterCodecOptions(task.LibavOptions().CodecOpts, vc, s, video);
        AVDictionary* d = opts.release();
        EXPECT_EQ(ff::avcodec_open2(enc, vc, &d), 0) << target;
        EXPECT_EQ(ff::av_dict_get(d, "", nullptr, AV_DICT_IGNORE_SUFFIX), nullptr) << target << ": option not taken";
        EXPECT_EQ(enc->bit_rate, std::string(target).find("dvd") != std::string::npos ? 6000000
                                 : std::string(target).find("svcd") != std::string::npos ? 2040000
                                                                                         : 1150000);
        ff::av_dict_free(&d);
        ff::avcodec_free_context(&enc);

        const AVCodec* ac = ff::avcodec_find_encoder_by_name(audioCodec.constData());
        AVCodecContext* aenc = ff::avcodec_alloc_context3(ac);
        aenc->sample_rate = sampleRate;
        aenc->sample_fmt = ac->sample_fmts[0];
        aenc->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
        aenc->time_base = {1, sampleRate};
        opts = FilterCodecOptions(task.LibavOptions().CodecOpts, ac, s, audio);
        d = opts.release();
        EXPECT_EQ(ff::avcodec_open2(aenc, ac, &d), 0) << target;
        EXPECT_EQ(aenc->bit_rate, std::string(target).find("dvd") != std::string::npos ? 448000 : 224000);
        ff::av_dict_free(&d);
        ff::avcodec_free_context(&aenc);
        ff::avformat_free_context(s);
    }
}

TEST_F(FFTargetsTest, SameQuantRates)
{
    const struct {
        int64_t Source, Requested, Min, Max;
        int64_t BitRate;
        int QScale;
    } cases[] = {
        {3000000, 1024000, 0, 0, 3000000, 0},     // a richer source raises the rate
        {500000, 1024000, 0, 0, 1024000, 0},      // the line's rate is the floor
        {12000000, 6000000, 0, 9000000, 9000000, 0},  // DVD: never above the maximum
        {3000000, 1150000, 1150000, 1150000, 1150000, 0},  // VCD: constant rate
        {0, 1024000, 0, 0, 0, SameQuantFallbackQScale},  // no source rate: fixed quantiser
        {0, 0, 0, 0, 0, SameQuantFallbackQScale},
        {0, 2040000, 0, 2516000, 2040000, 0},     // ...unless a maximum must hold
        {0, 0, 0, 2516000, 2516000, 0},
    };
    for (const auto& c : cases) {
        const TSameQuantRate r = SameQuantRate(c.Source, c.Requested, c.Min, c.Max);
        EXPECT_EQ(r.BitRate, c.BitRate) << c.Source << " " << c.Requested;
        EXPECT_EQ(r.QScale, c.QScale) << c.Source << " " << c.Requested;
    }
}

TEST_F(FFTargetsTest, SameQuantOnAnEncoder)
{
    const AVCodec* codec = ff::avcodec_find_encoder_by_name("mpeg2video");
    for (const int64_t source : {int64_t(12000000), int64_t(0)}) {
        AVDictionary* d = nullptr;
        ff::av_dict_set(&d, "b", "6000000", 0);
        ff::av_dict_set(&d, "maxrate", "9000000", 0);
        ff::av_dict_set(&d, "bufsize", "1835008", 0);
        ff::av_dict_set(&d, "scan_offset", "1", 0);
        AVCodecContext* enc = ff::avcodec_alloc_context3(codec);
        ASSERT_EQ(ApplySameQuant(enc, &d, source), 0);
        EXPECT_EQ(enc->bit_rate, source ? 9000000 : 6000000);
        EXPECT_FALSE(enc->flags & AV_CODEC_FLAG_QSCALE);
        ff::av_dict_free(&d);
        ff::avcodec_free_context(&enc);
    }
    AVDictionary* d = nullptr;
    AVCodecContext* enc = ff::avcodec_alloc_context3(codec);
    ASSERT_EQ(ApplySameQuant(enc, &d, 0), 0);
    EXPECT_TRUE(enc->flags & AV_CODEC_FLAG_QSCALE);
    EXPECT_EQ(enc->global_quality, FF_QP2LAMBDA * SameQuantFallbackQScale);
    enc->width = 352;
    enc->height = 288;
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->time_base = {1, 25};
    EXPECT_EQ(ff::avcodec_open2(enc, codec, nullptr), 0);
    ff::avcodec_free_context(&enc);
}

}  // namespace

namespace {

QByteArray fileBytes(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The video stream's decoded frame count and the file's duration (s).
std::pair<int, double> framesAndDuration(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
             QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
             QStringLiteral("stream=nb_read_frames:format=duration"), QStringLiteral("-of"),
             QStringLiteral("default=nw=1:nk=1"), file});
    p.waitForFinished(60000);
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return {lines.value(0).toInt(), lines.value(1).toDouble()};
}

}  // namespace

// Every disc target from three kinds of source: the authoring tools accept
// what the engine writes, and without a rate conversion it is the tool's
// output byte for byte.
TEST_F(FFTargetsTest, DiscOutputsPassTheAuthoringToolsAndMatchTheTool)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const char* const sources[] = {"disc_h264_aac_1280.mp4", "disc_mpeg4_mp3_640.avi", "disc_mpeg2_720x576.mpg"};
    const char* const targets[] = {"pal-dvd", "ntsc-dvd", "pal-vcd", "ntsc-vcd", "pal-svcd", "ntsc-svcd"};
    int n = 0;
    for (const char* source : sources) {
        const QString input = QString::fromStdString(vorlane::test::FixturePath(source));
        for (const char* target : targets) {
            SCOPED_TRACE(std::string(source) + " " + target);
            const QString tag = QString::number(++n);
            const QString output = dir.filePath(tag + QStringLiteral(".mpg"));
            const AnsiString options = AnsiString("-target ") + target + " -threads 1";
            TCustomFFmpeg task;
            ASSERT_GE(task.OpenInput(nullptr, input), 0) << task.LastErrorText().toStdString();
            task.ParseOptions(options);
            ASSERT_EQ(task.OpenOutput(output), 0) << task.LastErrorText().toStdString();
            task.Start();
            ASSERT_FALSE(task.Failed()) << task.ErrorMessage().toStdString();

            const QString reference = dir.filePath(tag + QStringLiteral("-tool.mpg"));
            QProcess tool;
            tool.start(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                                                  QStringLiteral("-y"), QStringLiteral("-i"), input,
                                                  QStringLiteral("-target"), QString::fromLatin1(target),
                                                  QStringLiteral("-threads"), QStringLiteral("1"), reference});
            ASSERT_TRUE(tool.waitForFinished(120000));
            const QByteArray mine = fileBytes(output);
            const QByteArray theirs = fileBytes(reference);
            ASSERT_FALSE(theirs.isEmpty());
            const bool dvd = std::string(target).find("dvd") != std::string::npos;
            EXPECT_EQ(mine.size() % (dvd ? 2048 : 2324), 0) << mine.size();
            if (std::string(target).rfind("pal", 0) == 0) {
                EXPECT_TRUE(mine == theirs) << "sizes " << mine.size() << " and " << theirs.size();
            } else {
                // 25 fps to 29.97: duplicates are placed by the engine's own rule.
                const auto [frames, duration] = framesAndDuration(output);
                const auto [toolFrames, toolDuration] = framesAndDuration(reference);
                EXPECT_NEAR(frames, toolFrames, 1);
                EXPECT_NEAR(duration, toolDuration, 1001.0 / 30000.0 + 1e-6);
            }
            QString said;
            if (dvd)
                said = vorlane::test::dvdAuthor(output, dir.filePath(tag + QStringLiteral("-dvd")),
                                                std::string(target).rfind("pal", 0) == 0 ? QStringLiteral("PAL")
                                                                                         : QStringLiteral("NTSC"));
            else
                said = vorlane::test::vcdImager(output,
                                                std::string(target).find("svcd") != std::string::npos
                                                    ? QStringLiteral("svcd")
                                                    : QStringLiteral("vcd2"),
                                                dir.filePath(tag + QStringLiteral("-image")));
            EXPECT_TRUE(said.isEmpty()) << said.toStdString();
        }
    }
}
