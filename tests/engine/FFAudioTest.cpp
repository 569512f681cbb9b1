// The audio path and the progress report: volume on every decoder format,
// resampling and framing against the tool's bytes, synchronisation by
// padding, the reports, the statistics file and the two-pass files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"
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

QString tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The tool's output for the same input and options, codec threads 1.
QByteArray toolOutput(const String& input, const QString& options, const String& output)
{
    QStringList args = {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                        QStringLiteral("-i"), input, QStringLiteral("-threads"), QStringLiteral("1")};
    args += options.split(QLatin1Char(' '));
    args << output;
    QFile::remove(output);
    tool(QStringLiteral("ffmpeg"), args);
    return readAll(output);
}

QString probe(const String& file, const char* entries)
{
    return tool(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                                            QStringLiteral("a:0"), QStringLiteral("-show_entries"),
                                            QString::fromLatin1(entries), QStringLiteral("-of"),
                                            QStringLiteral("csv=p=0"), file});
}

// The 16-bit samples of a WAV file's data chunk.
std::vector<int16_t> wavSamples(const String& file)
{
    const QByteArray bytes = readAll(file);
    std::vector<int16_t> result;
    int pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        uint32_t size = 0;
        std::memcpy(&size, bytes.constData() + pos + 4, 4);
        if (id == "data") {
            const int n = int(std::min<int64_t>(size, bytes.size() - pos - 8) / 2);
            result.resize(size_t(n));
            std::memcpy(result.data(), bytes.constData() + pos + 8, size_t(n) * 2);
            return result;
        }
        pos += 8 + int(size) + int(size & 1);
    }
    return result;
}

struct TReport {
    int FileIndex, Frame;
    int64_t Bytes, Current;
};

// Sees the audio hook's samples: the format it is given, and a handler
// that silences everything.
class TTestTask : public TCustomFFmpeg {
public:
    bool HookOn = false;
    AVSampleFormat HookFormat = AV_SAMPLE_FMT_NONE;
    int HookChannels = 0;
    int HookSize = 0;
    int HookCalls = 0;
    bool AudioHookAssigned() const override { return HookOn; }
    void CallAudioHook(uint8_t* samples, int64_t, int size, int, int channels, AVSampleFormat format) override
    {
        ++HookCalls;
        HookFormat = format;
        HookChannels = channels;
        HookSize = size;
        std::memset(samples, 0, size_t(size));
    }
};

struct TRunResult {
    String Error;
    bool Failed = false;
};

TRunResult convert(const AnsiString& inputOptions, const String& input, const AnsiString& outputOptions,
                   const String& output, const std::function<void(TTestTask&)>& prepare = {})
{
    TRunResult result;
    TTestTask task;
    try {
        if (!inputOptions.isEmpty())
            task.ParseOptions(inputOptions);
        if (task.OpenInput(&task.OptionsContext(), input) < 0)
            throw Exception(task.LastErrorText());
        task.ParseOptions(outputOptions);
        if (task.OpenOutput(output) < 0)
            throw Exception(task.LastErrorText());
    } catch (const Exception& e) {
        result.Error = e.Message();
        result.Failed = true;
        return result;
    }
    if (prepare)
        prepare(task);
    task.Start();
    result.Failed = task.Failed();
    result.Error = task.ErrorMessage();
    return result;
}

class FFAudioTest : public ::testing::Test {
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
    String path(const char* name) const { return FDir.filePath(String::fromUtf8(name)); }

    QTemporaryDir FDir;
};

}  // namespace

TEST(ScaleSamplesTest, TheVolumeFormulasWithTheirClipping)
{
    uint8_t u8[] = {255, 0, 128};
    uint8_t* p = u8;
    ASSERT_TRUE(ScaleSamples(&p, 1, 3, AV_SAMPLE_FMT_U8, 128));
    EXPECT_EQ(u8[0], 192);
    EXPECT_EQ(u8[1], 64);
    EXPECT_EQ(u8[2], 128);

    // Planar 16-bit: every plane is scaled, each by the same formula.
    int16_t left[] = {20000, -20000, 100};
    int16_t right[] = {-3, 16383, -16385};
    uint8_t* planes[] = {reinterpret_cast<uint8_t*>(left), reinterpret_cast<uint8_t*>(right)};
    ASSERT_TRUE(ScaleSamples(planes, 2, 3, AV_SAMPLE_FMT_S16P, 512));
    EXPECT_EQ(left[0], 32767);
    EXPECT_EQ(left[1], -32768);
    EXPECT_EQ(left[2], 200);
    EXPECT_EQ(right[0], -6);
    EXPECT_EQ(right[1], 32766);
    EXPECT_EQ(right[2], -32768);

    // 32-bit values are computed in 64 bits before they are clipped.
    int32_t s32[] = {INT32_MAX / 2 + 10, INT32_MIN / 2 - 10, -7};
    p = reinterpret_cast<uint8_t*>(s32);
    ASSERT_TRUE(ScaleSamples(&p, 1, 3, AV_SAMPLE_FMT_S32, 512));
    EXPECT_EQ(s32[0], INT32_MAX);
    EXPECT_EQ(s32[1], INT32_MIN);
    EXPECT_EQ(s32[2], -14);

    float f[] = {0.75f, -0.25f};
    float g[] = {2.0f, 0.5f};
    uint8_t* fp[] = {reinterpret_cast<uint8_t*>(f), reinterpret_cast<uint8_t*>(g)};
    ASSERT_TRUE(ScaleSamples(fp, 2, 2, AV_SAMPLE_FMT_FLTP, 512));
    EXPECT_FLOAT_EQ(f[0], 1.5f);  // floating point is not clipped
    EXPECT_FLOAT_EQ(f[1], -0.5f);
    EXPECT_FLOAT_EQ(g[0], 4.0f);
    double d[] = {0.5};
    p = reinterpret_cast<uint8_t*>(d);
    ASSERT_TRUE(ScaleSamples(&p, 1, 1, AV_SAMPLE_FMT_DBL, 64));
    EXPECT_DOUBLE_EQ(d[0], 0.125);

    int64_t s64[] = {1000};
    p = reinterpret_cast<uint8_t*>(s64);
    EXPECT_FALSE(ScaleSamples(&p, 1, 1, AV_SAMPLE_FMT_S64, 512));
    EXPECT_EQ(s64[0], 1000);
}

TEST(StatusSizeTextTest, TimeAndBitRate)
{
    double rate = -1;
    EXPECT_EQ(StatusSizeText(2048, 3723450000, &rate),
              QStringLiteral("size=       2kB time=01:02:03.45 bitrate=   0.0kbits/s"));
    EXPECT_NEAR(rate, 2048.0 * 8 / 3723450.0, 1e-9);
    EXPECT_EQ(StatusSizeText(1000, 0, &rate), QStringLiteral("size=       1kB time=00:00:00.00 bitrate=   0.0kbits/s"));
    EXPECT_EQ(rate, 0.0);
    EXPECT_EQ(StatusSizeText(250000, 2000000), QStringLiteral("size=     244kB time=00:00:02.00 bitrate=1000.0kbits/s"));
}

TEST_F(FFAudioTest, ResampledAndFramedAudioIsByteForByteTheToolsOutput)
{
    struct Case {
        const char* Input;
        const char* Options;
        const char* Name;
    } cases[] = {
        // the VCD audio settings from 5.1 AC-3 at 48 kHz
        {"surround51.ac3", "-vn -f mp2 -c:a mp2 -ar 44100 -ac 2 -b:a 224k", "vcd.mp2"},
        // mono 22050 Hz to stereo 44100 Hz; 1 s is not a whole number of frames
        {"mono22050.wav", "-f mp2 -c:a mp2 -ar 44100 -ac 2 -b:a 128k", "stereo.mp2"},
        // six channels to AC-3, no rate change
        {"surround51.ac3", "-f ac3 -c:a ac3 -ac 6 -b:a 384k", "six.ac3"},
        // a channel map: the third channel, then a silent one
        {"surround51.ac3", "-f wav -map_channel 0.0.2 -map_channel -1 -c:a pcm_s16le", "mapped.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const String output = path(c.Name);
        const TRunResult r = convert("", fixture(c.Input), AnsiString(c.Options) + " -threads 1", output);
        ASSERT_FALSE(r.Failed) << r.Error.toStdString();
        const QByteArray expected = toolOutput(fixture(c.Input), QString::fromLatin1(c.Options), path("reference"));
        ASSERT_FALSE(expected.isEmpty());
        const QByteArray actual = readAll(output);
        EXPECT_TRUE(actual == expected) << "sizes " << actual.size() << " and " << expected.size();
    }
    // The short last frame was padded to a whole frame: 44100 samples make
    // 38.28 frames of 1152, and every frame is whole.
    EXPECT_EQ(probe(path("stereo.mp2"), "stream=channels,sample_rate"), QStringLiteral("44100,2"));
    const QStringList durations =
        probe(path("stereo.mp2"), "packet=duration").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(durations.size(), 39);
    EXPECT_EQ(durations.count(durations.value(0)), durations.size());
    EXPECT_EQ(probe(path("six.ac3"), "stream=channels"), QStringLiteral("6"));
}

TEST_F(FFAudioTest, VideoCdProgramStreamIsTheToolsOutput)
{
    // Audio time stamps decide the multiplexing: they must count the
    // samples the resampler still holds, as the tool's do.
    const String output = path("vcd.mpg");
    const TRunResult r = convert("", fixture("h264_aac_640.mp4"), "-target pal-vcd -threads 1", output);
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    const QByteArray expected =
        toolOutput(fixture("h264_aac_640.mp4"), QStringLiteral("-target pal-vcd"), path("reference"));
    ASSERT_FALSE(expected.isEmpty());
    const QByteArray actual = readAll(output);
    EXPECT_TRUE(actual == expected) << "sizes " << actual.size() << " and " << expected.size();
}

TEST_F(FFAudioTest, VolumeDoublesSixteenBitSamplesWithClipping)
{
    ASSERT_FALSE(convert("", fixture("mono22050.wav"), "-c:a pcm_s16le", path("plain.wav")).Failed);
    const TRunResult r = convert("", fixture("mono22050.wav"), "-vol 512 -c:a pcm_s16le", path("loud.wav"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    const std::vector<int16_t> plain = wavSamples(path("plain.wav"));
    const std::vector<int16_t> loud = wavSamples(path("loud.wav"));
    ASSERT_EQ(plain.size(), 22050u);
    ASSERT_EQ(loud.size(), plain.size());
    int clipped = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        const int expected = std::clamp((plain[i] * 512 + 128) >> 8, -32768, 32767);
        ASSERT_EQ(loud[i], expected) << "sample " << i;
        clipped += expected != plain[i] * 2;
    }
    EXPECT_GT(clipped, 1000);  // the peaks near 26214 were cut
}

TEST_F(FFAudioTest, VolumeWorksOnPlanarFloatFromTheDecoder)
{
    ASSERT_FALSE(convert("", fixture("surround51.ac3"), "-c:a pcm_s16le", path("plain.wav")).Failed);
    const TRunResult r = convert("", fixture("surround51.ac3"), "-vol 512 -c:a pcm_s16le", path("loud.wav"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    const std::vector<int16_t> plain = wavSamples(path("plain.wav"));
    const std::vector<int16_t> loud = wavSamples(path("loud.wav"));
    ASSERT_GT(plain.size(), 6u * 48000);
    ASSERT_EQ(loud.size(), plain.size());
    // Scaled before the conversion to 16 bits: twice the value, give or
    // take the rounding of that conversion, in all six channels.
    int maxPlain = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        ASSERT_NEAR(loud[i], std::clamp(plain[i] * 2, -32768, 32767), 1) << "sample " << i;
        maxPlain = std::max(maxPlain, std::abs(int(plain[i])));
    }
    EXPECT_GT(maxPlain, 1000);
}

TEST_F(FFAudioTest, TheAudioHookSeesInterleavedSamplesAndItsChangesAreKept)
{
    TTestTask* seen = nullptr;
    int calls = 0, channels = 0, size = 0;
    AVSampleFormat format = AV_SAMPLE_FMT_NONE;
    const TRunResult r = convert("", fixture("surround51.ac3"), "-c:a pcm_s16le", path("hooked.wav"), [&](TTestTask& t) {
        seen = &t;
        t.HookOn = true;
        t.OnTerminate = TTerminateEvent::FromFunction([&](TObject*) {
            calls = seen->HookCalls;
            channels = seen->HookChannels;
            size = seen->HookSize;
            format = seen->HookFormat;
        });
    });
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    EXPECT_GT(calls, 10);
    EXPECT_EQ(channels, 6);
    EXPECT_EQ(format, AV_SAMPLE_FMT_FLT);  // the packed form of the decoder's planar float
    EXPECT_EQ(size, 1536 * 6 * 4);
    const std::vector<int16_t> samples = wavSamples(path("hooked.wav"));
    ASSERT_GT(samples.size(), 6u * 48000);
    for (int16_t s : samples)
        ASSERT_EQ(s, 0);
}

TEST_F(FFAudioTest, CopiedAudioRefusesTheHookAndTheVolume)
{
    const TRunResult hooked = convert("", fixture("surround51.ac3"), "-c:a copy", path("copy.ac3"),
                                      [](TTestTask& t) { t.HookOn = true; });
    EXPECT_EQ(hooked.Error, QStringLiteral("-acodec copy and AudioHook are incompatible (frames are not decoded)"));
    const TRunResult louder = convert("", fixture("surround51.ac3"), "-vol 300 -c:a copy", path("copy.ac3"));
    EXPECT_EQ(louder.Error, QStringLiteral("-acodec copy and -vol are incompatible (frames are not decoded)"));
}

TEST_F(FFAudioTest, AudioStartingHalfASecondLateIsPaddedWithSilence)
{
    const TRunResult r = convert("-itsoffset 0.5", fixture("mono22050.wav"), "-async 1 -c:a pcm_s16le", path("late.wav"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    const std::vector<int16_t> source = wavSamples(fixture("mono22050.wav"));
    const std::vector<int16_t> late = wavSamples(path("late.wav"));
    ASSERT_EQ(late.size(), source.size() + 11025);
    for (size_t i = 0; i < 11025; ++i)
        ASSERT_EQ(late[i], 0) << "sample " << i;
    for (size_t i = 0; i < source.size(); ++i)
        ASSERT_EQ(late[11025 + i], source[i]) << "sample " << i;

    // Without synchronisation the samples are written as they come.
    ASSERT_FALSE(convert("-itsoffset 0.5", fixture("mono22050.wav"), "-c:a pcm_s16le", path("asis.wav")).Failed);
    EXPECT_EQ(wavSamples(path("asis.wav")), source);
}

TEST_F(FFAudioTest, ProgressReportsArriveInOrderAndEndWithTheLastOne)
{
    std::vector<TReport> reports;
    const TRunResult r = convert("", fixture("h264_aac.mp4"), "-f mpeg -c:v mpeg1video -c:a mp2", path("out.mpg"),
                                 [&](TTestTask& t) {
                                     t.SetProgressInterval(0);
                                     t.OnProgress = TProgressEvent::FromFunction(
                                         [&](TObject*, int fileIndex, int frame, int, float, float, int64_t bytes,
                                             int64_t current, int64_t) {
                                             reports.push_back({fileIndex, frame, bytes, current});
                                         });
                                 });
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    ASSERT_GT(reports.size(), 10u);
    for (size_t i = 0; i + 1 < reports.size(); ++i) {
        EXPECT_EQ(reports[i].FileIndex, 0) << i;
        EXPECT_LE(reports[i].Frame, reports[i + 1].Frame) << i;
        EXPECT_LE(reports[i].Current, reports[i + 1].Current) << i;
    }
    EXPECT_EQ(reports.front().Frame, -1);  // no picture encoded yet
    EXPECT_EQ(reports.back().FileIndex, -1);
    EXPECT_EQ(reports.back().Frame, 75);
    EXPECT_NEAR(double(reports.back().Current), 3000000.0, 100000.0);
    EXPECT_EQ(reports.back().Bytes, QFile(path("out.mpg")).size());
}

TEST_F(FFAudioTest, StatisticsFileHasOneLinePerPicture)
{
    const String stats = path("v.log");
    const TRunResult r = convert("", fixture("h264_aac.mp4"),
                                 "-an -f mpeg1video -vstats_file " + stats.toUtf8(), path("out.m1v"));
    ASSERT_FALSE(r.Failed) << r.Error.toStdString();
    const QStringList lines = QString::fromUtf8(readAll(stats)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Pictures the encoder holds back are reported with the number of
    // pictures given to it by then, so the numbers rise to the last one.
    ASSERT_GE(lines.size(), 74);
    int previous = 0;
    const QRegularExpression shape(QStringLiteral(
        "^frame= +(\\d+) q= +\\d+\\.\\d f_size= +\\d+ s_size= +\\d+kB time= \\d+\\.\\d{3} br= +\\d+\\.\\dkbits/s "
        "avg_br= +\\d+\\.\\dkbits/s type= [IPB]$"));
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = shape.match(lines[i]);
        ASSERT_TRUE(m.hasMatch()) << lines[i].toStdString();
        EXPECT_GE(m.captured(1).toInt(), previous);
        previous = m.captured(1).toInt();
    }
    EXPECT_EQ(previous, 75);
    EXPECT_TRUE(lines.front().endsWith(QLatin1String("type= I")));
}

TEST_F(FFAudioTest, TwoPassWritesThenReadsItsLogFile)
{
    const AnsiString prefix = path("pass").toUtf8();
    const String log = path("pass-0.log");
    const AnsiString options = "-an -f avi -c:v mpeg4 -b:v 200k -passlogfile " + prefix;
    const TRunResult first = convert("", fixture("h264_aac.mp4"), options + " -pass 1", path("first.avi"));
    ASSERT_FALSE(first.Failed) << first.Error.toStdString();
    const QByteArray text = readAll(log);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(text.count("in:"), 75);  // one line of statistics per picture
    const TRunResult second = convert("", fixture("h264_aac.mp4"), options + " -pass 2", path("second.avi"));
    ASSERT_FALSE(second.Failed) << second.Error.toStdString();
    EXPECT_GT(QFile(path("second.avi")).size(), 0);

    // The second pass without its file fails with the Part's text.
    QFile::remove(log);
    const TRunResult missing = convert("", fixture("h264_aac.mp4"), options + " -pass 2", path("third.avi"));
    EXPECT_EQ(missing.Error,
              QStringLiteral("Error reading log file \"%1\" for pass-2 encoding").arg(QString::fromUtf8(prefix) + "-0.log"));

    // Without a prefix the name is the default one, in the current folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(FDir.path()));
    const TRunResult unnamed = convert("", fixture("h264_aac.mp4"), "-an -f avi -c:v mpeg4 -pass 1", path("x.avi"));
    QDir::setCurrent(before);
    ASSERT_FALSE(unnamed.Failed) << unnamed.Error.toStdString();
    EXPECT_FALSE(readAll(path("ffencoder2pass-0.log")).isEmpty());
}
