#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "engine/AVUtilStubs.h"
#include "engine/FFDecode.h"
#include "engine/FFLoad.h"
#include "platform/rtl/Thread.h"
#include "tests/harness/Fixtures.h"

namespace {

String fixture(const char* name)
{
    return QString::fromStdString(vorlane::test::FixturePath(name));
}

QJsonObject ffprobe(const String& file)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-of"),
                                        QStringLiteral("json"), QStringLiteral("-show_format"),
                                        QStringLiteral("-show_streams"), file});
    p.waitForFinished(30000);
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// What the ffmpeg tool writes for the given frames as raw BGR24 through the
// scaler with the converter's flags.
QByteArray ffmpegFrames(const String& file, const char* select)
{
    QTemporaryDir dir;
    const String out = dir.filePath(QStringLiteral("frames.bgr"));
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), file,
             QStringLiteral("-vf"), QString::fromLatin1(select), QStringLiteral("-fps_mode"),
             QStringLiteral("passthrough"), QStringLiteral("-sws_flags"), QStringLiteral("bicubic"),
             QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("bgr24"), out});
    p.waitForFinished(60000);
    QFile f(out);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The bitmap's rows without their padding.
QByteArray packedRows(TBitmap& bitmap, int rowBytes)
{
    QByteArray result;
    for (int y = 0; y < bitmap.Height(); ++y)
        result.append(static_cast<const char*>(bitmap.ScanLine(y)), rowBytes);
    return result;
}

int64_t microsecondsOf(const QJsonValue& seconds)
{
    return std::llround(seconds.toString().toDouble() * 1e6);
}

class FFDecodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(DecoderLibraries)) << FFLoader()->LastError().toStdString();
        decoder = std::make_unique<TFFDecoder>(nullptr);
    }

    void load_(const String& file)
    {
        ASSERT_TRUE(decoder->LoadFile(file)) << decoder->LastError().toStdString();
    }

    void load(const char* name)
    {
        ASSERT_TRUE(decoder->LoadFile(fixture(name))) << decoder->LastError().toStdString();
    }

    std::vector<int64_t> decodeTimes(int count)
    {
        std::vector<int64_t> times;
        for (int i = 0; i < count && decoder->DecodeNextFrame(); ++i)
            times.push_back(decoder->FramePTS());
        return times;
    }

    std::unique_ptr<TFFDecoder> decoder;
};

// ---- opening and information -----------------------------------------------------

TEST_F(FFDecodeTest, InformationMatchesTheProbeForEveryFixture)
{
    for (const char* name : {"h264_aac.mp4", "mpeg4_mp3.avi", "surround51.ac3", "audio.mp3", "still.png",
                             "gop12.mp4", "wide321.avi", "bars.mkv", "bframes.avi"}) {
        SCOPED_TRACE(name);
        const String file = fixture(name);
        const QJsonObject probe = ffprobe(file);
        const QJsonObject format = probe[QStringLiteral("format")].toObject();
        const QJsonArray streams = probe[QStringLiteral("streams")].toArray();
        ASSERT_FALSE(streams.isEmpty());
        ASSERT_TRUE(decoder->LoadFile(file)) << decoder->LastError().toStdString();

        EXPECT_EQ(decoder->GetFileName(), file);
        EXPECT_EQ(decoder->GetFormatName(), format[QStringLiteral("format_name")].toString());
        EXPECT_EQ(decoder->FileSize(), QFileInfo(file).size());
        EXPECT_EQ(decoder->StreamCount(), format[QStringLiteral("nb_streams")].toInt());
        EXPECT_EQ(decoder->ProgramCount(), format[QStringLiteral("nb_programs")].toInt());

        TFileStreamInfo info;
        decoder->GetFileStreamInfo(info);
        if (format.contains(QStringLiteral("duration")))
            EXPECT_EQ(info.Duration, microsecondsOf(format[QStringLiteral("duration")]));
        else
            EXPECT_EQ(info.Duration, -1);
        if (format.contains(QStringLiteral("start_time")))
            EXPECT_EQ(info.StartTime, microsecondsOf(format[QStringLiteral("start_time")]));
        else
            EXPECT_EQ(info.StartTime, AV_NOPTS_VALUE);
        EXPECT_EQ(info.BitRate, format[QStringLiteral("bit_rate")].toString().toInt());

        int video = 0, audio = 0, firstVideo = -1, firstAudio = -1;
        for (const QJsonValue& value : streams) {
            const QJsonObject s = value.toObject();
            const int index = s[QStringLiteral("index")].toInt();
            const String type = s[QStringLiteral("codec_type")].toString();
            if (type == QLatin1String("audio") && audio++ == 0)
                firstAudio = index;
            if (type != QLatin1String("video")) {
                EXPECT_FALSE(decoder->IsVideoStream(index));
                continue;
            }
            if (video++ == 0)
                firstVideo = index;
            EXPECT_TRUE(decoder->IsVideoStream(index));
            TVideoStreamInfo v;
            decoder->GetVideoStreamInfoByIndex(index, v);
            EXPECT_EQ(v.Width, s[QStringLiteral("width")].toInt());
            EXPECT_EQ(v.Height, s[QStringLiteral("height")].toInt());
            EXPECT_TRUE(v.CodecName.startsWith(s[QStringLiteral("codec_name")].toString() + u'('))
                << v.CodecName.toStdString();
            EXPECT_EQ(v.BitRate, s[QStringLiteral("bit_rate")].toString().toInt());
            const String avg = s[QStringLiteral("avg_frame_rate")].toString();
            const String rate = avg.startsWith(u'0') || avg.endsWith(QLatin1String("/0"))
                                    ? s[QStringLiteral("r_frame_rate")].toString()
                                    : avg;
            EXPECT_EQ(QStringLiteral("%1/%2").arg(v.FrameRateNum).arg(v.FrameRateDen), rate);
            if (s.contains(QStringLiteral("start_pts"))) {
                EXPECT_EQ(v.StreamStartTime, s[QStringLiteral("start_pts")].toInteger());
                EXPECT_EQ(v.StartTime, microsecondsOf(s[QStringLiteral("start_time")]));
            }
            if (s.contains(QStringLiteral("duration_ts"))) {
                EXPECT_EQ(v.StreamDuration, s[QStringLiteral("duration_ts")].toInteger());
                EXPECT_EQ(v.Duration, microsecondsOf(s[QStringLiteral("duration")]));
            }
            const QStringList dar = s[QStringLiteral("display_aspect_ratio")].toString().split(u':');
            if (dar.size() == 2) {
                EXPECT_NEAR(v.DisplayAspectRatio, dar[0].toDouble() / dar[1].toDouble(), 1e-3);
            }
        }
        EXPECT_EQ(decoder->VideoStreamCount(), video);
        EXPECT_EQ(decoder->AudioStreamCount(), audio);
        EXPECT_EQ(decoder->FirstVideoStream(), firstVideo);
        EXPECT_EQ(decoder->FirstAudioStream(), firstAudio);
        EXPECT_EQ(decoder->SubtitleStreamCount(), 0);
        EXPECT_EQ(decoder->FirstSubtitleStream(), -1);
    }
}

TEST_F(FFDecodeTest, TagsAndPixelFormatOfTheBars)
{
    load("bars.mkv");
    TFileStreamInfo info;
    decoder->GetFileStreamInfo(info);
    EXPECT_EQ(info.Title, QStringLiteral("Colour bars"));
    EXPECT_EQ(info.Author, QStringLiteral("Vorlane tests"));
    EXPECT_EQ(info.Copyright, QStringLiteral("none"));
    EXPECT_EQ(info.Comment, QStringLiteral("five bars"));
    EXPECT_EQ(info.Album, QStringLiteral("Fixtures"));
    EXPECT_EQ(info.Genre, QStringLiteral("Test"));
    EXPECT_EQ(info.Year, 2024);
    EXPECT_EQ(info.Track, 3);
    TVideoStreamInfo v;
    decoder->GetVideoStreamInfo(v);
    EXPECT_EQ(v.PixelFormat, AV_PIX_FMT_BGR0);
    EXPECT_EQ(v.Language, QStringLiteral("fra"));
}

TEST_F(FFDecodeTest, WithoutAFileEverythingIsUnknown)
{
    TFileStreamInfo info;
    info.Title = QStringLiteral("stale");
    decoder->GetFileStreamInfo(info);
    EXPECT_EQ(info.StartTime, AV_NOPTS_VALUE);
    EXPECT_EQ(info.Duration, -1);
    EXPECT_EQ(info.BitRate, -1);
    EXPECT_TRUE(info.Title.isEmpty());
    EXPECT_EQ(decoder->LastError(), QStringLiteral("file not loaded."));

    TVideoStreamInfo v;
    decoder->GetVideoStreamInfo(v);
    EXPECT_EQ(v.Width, -1);
    EXPECT_EQ(v.DisplayAspectRatio, -1.0f);
    EXPECT_EQ(decoder->StreamCount(), -1);
    EXPECT_EQ(decoder->FileSize(), -1);

    EXPECT_FALSE(decoder->DecodeNextFrame());
    EXPECT_EQ(decoder->LastError(), QStringLiteral("file not loaded."));
    EXPECT_FALSE(decoder->Seek({}, 0));
    TBitmap bitmap;
    EXPECT_FALSE(decoder->CopyToBitmap(&bitmap));
}

TEST_F(FFDecodeTest, BadFilesFailWithTheLibrariesText)
{
    struct Case { const char* name; const char* text; };
    const Case cases[] = {
        {"empty.avi", ": Invalid data found when processing input"},
        {"truncated.mp4", ": Invalid data found when processing input"},
        {"text.avi", ": Invalid data found when processing input"},
        {"no such file.mp4", ": No such file or directory"},
    };
    load("gop12.mp4");
    for (const Case& c : cases) {
        EXPECT_FALSE(decoder->LoadFile(fixture(c.name))) << c.name;
        EXPECT_EQ(decoder->LastError(), fixture(c.name) + QLatin1String(c.text));
        EXPECT_FALSE(decoder->Loaded());
        EXPECT_EQ(decoder->StreamCount(), -1);
        EXPECT_FALSE(decoder->DecodeNextFrame());
        EXPECT_EQ(decoder->LastError(), QStringLiteral("file not loaded."));
    }
    EXPECT_FALSE(decoder->LoadFile(fixture("gop12.mp4"), QStringLiteral("nosuchformat")));
    EXPECT_EQ(decoder->LastError(), QStringLiteral("Unknown input format: nosuchformat"));
    // A container that is not what it is forced to be.
    EXPECT_FALSE(decoder->LoadFile(fixture("text.avi"), QStringLiteral("mp3")));
}

TEST_F(FFDecodeTest, AudioOnlyFilesOpenButHaveNoPictures)
{
    for (const char* name : {"audio.mp3", "surround51.ac3"}) {
        SCOPED_TRACE(name);
        load(name);
        EXPECT_EQ(decoder->VideoStreamCount(), 0);
        EXPECT_EQ(decoder->AudioStreamCount(), 1);
        TVideoStreamInfo v;
        decoder->GetVideoStreamInfo(v);
        EXPECT_EQ(decoder->LastError(), QStringLiteral("no video stream."));
        EXPECT_EQ(v.Width, -1);
        decoder->GetVideoStreamInfoByIndex(0, v);
        EXPECT_EQ(decoder->LastError(), QStringLiteral("stream #0 is not video stream."));
        decoder->GetVideoStreamInfoByIndex(5, v);
        EXPECT_EQ(decoder->LastError(), QStringLiteral("stream index #5 is invalid."));
        EXPECT_FALSE(decoder->DecodeNextFrame());
        EXPECT_EQ(decoder->LastError(), QStringLiteral("no video stream."));
        EXPECT_FALSE(decoder->DecodeNextFrame(0));
        EXPECT_EQ(decoder->LastError(), QStringLiteral("stream #0 is not video stream."));
    }
}

TEST_F(FFDecodeTest, AForcedFormatIsRememberedAndOptionsAreUsedOnce)
{
    ASSERT_TRUE(decoder->LoadFile(fixture("gop12.mp4"), QStringLiteral("mp4")));
    EXPECT_EQ(decoder->ForcedFormat(), QStringLiteral("mp4"));
    EXPECT_EQ(decoder->GetFormatName(), QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2"));

    TFFLogger logger(nullptr);
    std::mutex lock;
    std::vector<String> lines;
    logger.SetLogLevel(llInfo);
    logger.OnLog = TLogEvent::FromFunction([&](TObject* sender, uint32_t, TLogLevel level, const String& text) {
        const std::lock_guard guard(lock);
        if (sender == decoder.get() && level == llError)
            lines.push_back(text);
    });
    String error;
    ASSERT_EQ(OptDefault(decoder->Options(), "probesize", "5000000", error), 0) << error.toStdString();
    ff::av_dict_set(&decoder->Options().FormatOpts, "nosuchoption", "1", 0);
    load("gop12.mp4");
    while (CheckSynchronize()) {
    }
    EXPECT_EQ(lines, std::vector<String>{QStringLiteral("Option nosuchoption not found, ignored.")});
    EXPECT_EQ(decoder->Options().FormatOpts, nullptr);
    EXPECT_TRUE(decoder->ForcedFormat().isEmpty());
}

TEST_F(FFDecodeTest, FileNamesAreUnicode)
{
    QTemporaryDir dir;
    const String name = dir.filePath(QStringLiteral("vid\u00e9o \u2713 \u6620\u50cf.mp4"));
    ASSERT_TRUE(QFile::copy(fixture("gop12.mp4"), name));
    load_(name);
    EXPECT_EQ(decoder->GetFileName(), name);
    EXPECT_EQ(decoder->FileSize(), QFileInfo(name).size());
    EXPECT_TRUE(decoder->DecodeNextFrame());
}

// A peer that accepts the connection and never answers: the read time-out
// ends the open instead of a hang.
TEST_F(FFDecodeTest, ABlockedReadEndsAfterTheReadTimeout)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    TFFLogger logger(nullptr);
    logger.SetLogLevel(llInfo);
    std::vector<String> lines;
    logger.OnLog = TLogEvent::FromFunction([&](TObject* sender, uint32_t, TLogLevel level, const String& text) {
        if (sender == decoder.get() && level == llInfo)
            lines.push_back(text);
    });
    decoder->SetReadTimeout(300);
    const String url = QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(address.sin_port));
    EXPECT_FALSE(decoder->LoadFile(url));
    close(listener);
    EXPECT_EQ(decoder->LastError(), url + QStringLiteral(": Immediate exit requested"));
    while (CheckSynchronize()) {
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), QStringLiteral("connecting/reading timeout"));
}

TEST_F(FFDecodeTest, BeforeFindStreamInfoSeesTheOpenedContext)
{
    AVFormatContext* seen = nullptr;
    decoder->OnBeforeFindStreamInfo = TBeforeFindStreamInfoEvent::FromFunction(
        [&](TObject* sender, AVFormatContext* ctx) {
            EXPECT_EQ(sender, decoder.get());
            seen = ctx;
        });
    load("gop12.mp4");
    EXPECT_EQ(seen, decoder->FormatContext());
}

TEST_F(FFDecodeTest, WithoutTheLibrariesEveryOperationRaisesTheLoadersText)
{
    FFLoader()->UnloadLib(libAVFormat);
    auto raised = [](auto&& call) -> String {
        try {
            call();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QStringLiteral("<no exception>");
    };
    const String text = QStringLiteral("Library avformat not loaded.");
    EXPECT_EQ(raised([&] { decoder->LoadFile(fixture("gop12.mp4")); }), text);
    EXPECT_EQ(raised([&] { decoder->DecodeNextFrame(); }), text);
    EXPECT_EQ(raised([&] { decoder->Seek({}, 0); }), text);
    TBitmap bitmap;
    EXPECT_EQ(raised([&] { decoder->CopyToBitmap(&bitmap); }), text);
    EXPECT_EQ(raised([&] { decoder->AttachFormatContext(nullptr); }), text);
}

// A task's container: the decoder reads it once and never again, so the
// task may free it while the application still asks the decoder.
TEST_F(FFDecodeTest, AnAttachedContainerMayBeFreedByItsOwner)
{
    TFFDecoder owner(nullptr);
    ASSERT_TRUE(owner.LoadFile(fixture("h264_aac.mp4")));
    decoder->AttachFormatContext(owner.FormatContext());
    EXPECT_TRUE(decoder->Attached());
    EXPECT_EQ(decoder->FormatContext(), nullptr);
    owner.CloseFile();  // frees the container

    EXPECT_EQ(decoder->GetFileName(), fixture("h264_aac.mp4"));
    EXPECT_EQ(decoder->GetFormatName(), QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2"));
    EXPECT_EQ(decoder->StreamCount(), 2);
    EXPECT_EQ(decoder->FirstVideoStream(), 0);
    EXPECT_TRUE(decoder->IsVideoStream(0));
    EXPECT_FALSE(decoder->IsVideoStream(1));
    TFileStreamInfo info;
    decoder->GetFileStreamInfo(info);
    EXPECT_EQ(info.Duration, 3000000);
    TVideoStreamInfo v;
    decoder->GetVideoStreamInfo(v);
    EXPECT_EQ(v.Width, 320);
    EXPECT_EQ(v.FrameRateNum, 25);
    decoder->GetVideoStreamInfoByIndex(1, v);
    EXPECT_EQ(decoder->LastError(), QStringLiteral("stream #1 is not video stream."));

    // Frame operations refuse a container that is not the decoder's own.
    try {
        decoder->DecodeNextFrame();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("file cannot be seeked, handle is readonly."));
    }
    EXPECT_THROW(decoder->Seek({}, 0), Exception);

    decoder->CloseFile();
    EXPECT_FALSE(decoder->Attached());
    EXPECT_EQ(decoder->StreamCount(), -1);
    decoder->GetFileStreamInfo(info);
    EXPECT_EQ(decoder->LastError(), QStringLiteral("file not loaded."));
}

// ---- frames and seeking ----------------------------------------------------------------

TEST_F(FFDecodeTest, FrameTimesForwardsBackwardsAndAfterSeeking)
{
    load("gop12.mp4");
    TBitmap bitmap;
    EXPECT_FALSE(decoder->CopyToBitmap(&bitmap));
    EXPECT_EQ(decoder->LastError(), QStringLiteral("picture not ready, please decode first"));

    EXPECT_EQ(decodeTimes(5), (std::vector<int64_t>{0, 40000, 80000, 120000, 160000}));
    EXPECT_EQ(decoder->PreviousPTS(), 120000);
    ASSERT_TRUE(decoder->DecodePreviousFrame());
    EXPECT_EQ(decoder->FramePTS(), 120000);
    EXPECT_EQ(decodeTimes(2), (std::vector<int64_t>{160000, 200000}));

    // Stepping back over a key frame: from frame 13 to 12, then to 11.
    ASSERT_TRUE(decoder->Seek({}, 0));
    EXPECT_EQ(decodeTimes(14).back(), 13 * 40000);
    ASSERT_TRUE(decoder->DecodePreviousFrame());
    EXPECT_EQ(decoder->FramePTS(), 12 * 40000);
    EXPECT_TRUE(decoder->KeyFrame());
    ASSERT_TRUE(decoder->DecodePreviousFrame());
    EXPECT_EQ(decoder->FramePTS(), 11 * 40000);
    EXPECT_FALSE(decoder->KeyFrame());

    // A seek lands on the key frame before the time (frame 144 = 5.76 s).
    ASSERT_TRUE(decoder->Seek({}, 6000000));
    EXPECT_FALSE(decoder->PictureReady());
    EXPECT_EQ(decodeTimes(3), (std::vector<int64_t>{5760000, 5800000, 5840000}));

    // The container cannot seek to a byte position.
    EXPECT_FALSE(decoder->Seek({sfByte}, 1000));
    EXPECT_EQ(decoder->LastError(), QStringLiteral("could not seek to position 1000 bytes"));

    // 0 is aimed half a frame early, so the first frame is found.
    ASSERT_TRUE(decoder->Seek({}, 0));
    ASSERT_TRUE(decoder->DecodeNextFrame());
    EXPECT_EQ(decoder->FramePTS(), 0);
    EXPECT_TRUE(decoder->KeyFrame());
    EXPECT_EQ(decoder->PictureType(), AV_PICTURE_TYPE_I);
}

TEST_F(FFDecodeTest, StepBackRightAfterOpening)
{
    load("gop12.mp4");
    // No frame yet: the key-frame search starts from the container's end.
    ASSERT_TRUE(decoder->DecodePreviousFrame()) << decoder->LastError().toStdString();
    EXPECT_EQ(decoder->FramePTS(), 240 * 40000);
    EXPECT_TRUE(decoder->KeyFrame());
}

TEST_F(FFDecodeTest, TheEndOfTheStreamIsReportedOnceReadingIsExhausted)
{
    load("gop12.mp4");
    ASSERT_TRUE(decoder->Seek({}, 9900000));
    const std::vector<int64_t> times = decodeTimes(100);
    ASSERT_EQ(times.size(), 10u);
    EXPECT_EQ(times.front(), 9600000);
    EXPECT_EQ(times.back(), 9960000);
    EXPECT_EQ(decoder->LastError(), QStringLiteral("stream eof reached."));
    EXPECT_TRUE(decoder->EndOfStream());
    EXPECT_FALSE(decoder->DecodeNextFrame());
    EXPECT_EQ(decoder->LastError(), QStringLiteral("stream eof reached."));
    // A seek starts reading again.
    ASSERT_TRUE(decoder->Seek({}, 0));
    EXPECT_FALSE(decoder->EndOfStream());
    EXPECT_EQ(decodeTimes(1), std::vector<int64_t>{0});
}

TEST_F(FFDecodeTest, DelayedPicturesAreDrainedAtTheEnd)
{
    load("bframes.avi");
    int frames = 0;
    int drained = 0;
    int64_t last = AV_NOPTS_VALUE;
    while (decoder->DecodeNextFrame()) {
        ++frames;
        if (decoder->Flushing())
            ++drained;
        EXPECT_GT(decoder->FramePTS(), last) << "frame " << frames;
        last = decoder->FramePTS();
    }
    EXPECT_EQ(frames, 25);
    EXPECT_GE(drained, 1);
    EXPECT_EQ(decoder->LastError(), QStringLiteral("stream eof reached."));
}

TEST_F(FFDecodeTest, CopiesEqualTheToolsOutputByteForByte)
{
    const String file = fixture("gop12.mp4");
    const QByteArray expected = ffmpegFrames(file, "select=eq(n\\,0)+eq(n\\,37)+eq(n\\,249)");
    const int frameBytes = 320 * 240 * 3;
    ASSERT_EQ(expected.size(), 3 * frameBytes);

    load("gop12.mp4");
    TBitmap bitmap;
    int part = 0;
    for (int n = 0; n <= 249; ++n) {
        ASSERT_TRUE(decoder->DecodeNextFrame()) << n;
        if (n != 0 && n != 37 && n != 249)
            continue;
        ASSERT_TRUE(decoder->CopyToBitmap(&bitmap));
        EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
        ASSERT_EQ(bitmap.Width(), 320);
        ASSERT_EQ(bitmap.Height(), 240);
        EXPECT_TRUE(packedRows(bitmap, 960) == expected.mid(part++ * frameBytes, frameBytes)) << "frame " << n;
    }
}

TEST_F(FFDecodeTest, AnOddWidthIsConvertedAsTheToolConvertsIt)
{
    const String file = fixture("wide321.avi");
    const QByteArray expected = ffmpegFrames(file, "select=eq(n\\,0)");
    ASSERT_EQ(expected.size(), 321 * 241 * 3);
    load("wide321.avi");
    ASSERT_TRUE(decoder->DecodeNextFrame());
    TBitmap bitmap;
    ASSERT_TRUE(decoder->CopyToBitmap(&bitmap));
    ASSERT_EQ(bitmap.Width(), 321);
    EXPECT_EQ(bitmap.BytesPerScanLine(), 964);
    EXPECT_TRUE(packedRows(bitmap, 963) == expected);
}

TEST_F(FFDecodeTest, ColourBarsKeepTheirColoursAtEveryDepth)
{
    const TColor bars[5] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255), RGB(0, 0, 0)};
    const TPixelFormat formats[] = {pf8bit, pf15bit, pf16bit, pf24bit, pf32bit};
    load("bars.mkv");
    ASSERT_TRUE(decoder->DecodeNextFrame());
    int i = 0;
    for (int depth : {8, 15, 16, 24, 32}) {
        decoder->Converter().SetBitsPixel(depth);
        TBitmap bitmap;
        ASSERT_TRUE(decoder->CopyToBitmap(&bitmap)) << depth;
        EXPECT_EQ(bitmap.PixelFormat(), formats[i++]);
        for (int bar = 0; bar < 5; ++bar)
            EXPECT_EQ(bitmap.Pixels(bar * 32 + 16, 16), bars[bar]) << depth << " bar " << bar;
    }
}

TEST_F(FFDecodeTest, AStillPictureKeepsItsOneFrame)
{
    for (const char* format : {"", "image2"}) {
        SCOPED_TRACE(format);
        ASSERT_TRUE(decoder->LoadFile(fixture("still.png"), QString::fromLatin1(format)));
        const String name = decoder->GetFormatName();
        EXPECT_EQ(name, *format ? QStringLiteral("image2") : QStringLiteral("png_pipe"));
        // The picture reader has no byte stream: the size comes from the disk.
        EXPECT_EQ(decoder->FileSize(), QFileInfo(fixture("still.png")).size());
        ASSERT_TRUE(decoder->DecodeNextFrame());
        EXPECT_EQ(decoder->FramePTS(), 0);
        EXPECT_TRUE(decoder->DecodeNextFrame());
        EXPECT_TRUE(decoder->DecodeNextFrame());
        EXPECT_EQ(decoder->FramePTS(), 0);
        TBitmap bitmap;
        ASSERT_TRUE(decoder->CopyToBitmap(&bitmap));
        EXPECT_EQ(bitmap.Width(), 160);
        EXPECT_EQ(bitmap.Height(), 120);
        EXPECT_FALSE(decoder->Seek({}, 0));
        EXPECT_EQ(decoder->LastError(), QStringLiteral("\"%1\" format cannot to be seeked.").arg(name));
    }
}

TEST_F(FFDecodeTest, ADeinterlacedPictureBlendsTheFieldLines)
{
    load("gop12.mp4");
    ASSERT_TRUE(decoder->DecodeNextFrame());
    TBitmap plain;
    ASSERT_TRUE(decoder->CopyToBitmap(&plain));
    decoder->SetDeinterlace(true);
    ASSERT_TRUE(decoder->Seek({}, 0));
    ASSERT_TRUE(decoder->DecodeNextFrame());
    EXPECT_TRUE(decoder->Deinterlace());
    TBitmap blended;
    ASSERT_TRUE(decoder->CopyToBitmap(&blended));
    // Even lines are kept, odd lines are filtered from their neighbours.
    EXPECT_EQ(std::memcmp(plain.ScanLine(0), blended.ScanLine(0), 960), 0);
    EXPECT_NE(packedRows(plain, 960), packedRows(blended, 960));
}

}  // namespace
