#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <locale.h>

#include <QTemporaryDir>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/FFUtils.h"
#include "tests/harness/CommaLocale.h"
#include "tests/harness/Fixtures.h"

namespace {

// ---- value parsing (no libraries needed) ------------------------------------

template <class F>
String raisedText(F&& parse)
{
    try {
        parse();
    } catch (const EFFOptionError& e) {
        return e.Message();
    }
    return String::fromLatin1("<no error>");
}

TEST(FFUtilsParseTest, IntegersWithinTheirType)
{
    EXPECT_EQ(ParseIntOption("threads", "42"), 42);
    EXPECT_EQ(ParseIntOption("threads", "  -7"), -7);
    EXPECT_EQ(ParseIntOption("threads", "0x10"), 16);
    EXPECT_EQ(ParseIntOption("threads", "-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInt64Option("fs", "9223372036854775807"), INT64_MAX);

    for (const char* bad : {"2147483648", "1.5", "", "abc", "12x"})
        EXPECT_EQ(raisedText([&] { ParseIntOption("threads", bad); }),
                  QStringLiteral("Expected integer for threads but found %1").arg(QLatin1String(bad)));
    EXPECT_EQ(raisedText([] { ParseInt64Option("fs", "9223372036854775808"); }),
              QStringLiteral("Expected int64 for fs but found 9223372036854775808"));
}

TEST(FFUtilsParseTest, FloatsWithAPointAndWithinTheirType)
{
    EXPECT_EQ(ParseFloatOption("aspect", "1.5"), 1.5f);
    EXPECT_EQ(ParseDoubleOption("qscale", " 2.5 "), 2.5);
    EXPECT_EQ(ParseDoubleOption("qscale", ".5"), 0.5);
    EXPECT_EQ(ParseDoubleOption("qscale", "-5."), -5.0);
    EXPECT_EQ(ParseDoubleOption("qscale", "1e308"), 1e308);

    EXPECT_EQ(raisedText([] { ParseFloatOption("aspect", "1e39"); }),
              QStringLiteral("Expected float for aspect but found 1e39"));
    for (const char* bad : {"1,5", "1e309", "inf", "nan", "0x1p3", "", ".", "1e", "4:3"})
        EXPECT_EQ(raisedText([&] { ParseDoubleOption("qscale", bad); }),
                  QStringLiteral("Expected double for qscale but found %1").arg(QLatin1String(bad)))
            << bad;
}

// Qt programs run with the user's locale; one with a decimal comma must not
// change what "1.5" means in an option string.
TEST(FFUtilsParseTest, FloatsIgnoreTheLocale)
{
    double parsed = 0;
    float parsedFloat = 0;
    String error;
    {
        const vorlane::test::ScopedCommaLocale comma;
        if (!comma.Available())
            GTEST_SKIP() << "no way to build a locale with a decimal comma here";
        ASSERT_STREQ(localeconv()->decimal_point, ",");
        try {
            parsed = ParseDoubleOption("r", "29.97");
            parsedFloat = ParseFloatOption("aspect", "1.333");
        } catch (const Exception& e) {
            error = e.Message();
        }
    }
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(parsed, 29.97);
    EXPECT_EQ(parsedFloat, 1.333f);
}

// ---- pure names and times -----------------------------------------------------

TEST(FFUtilsTimeTest, FrameDurationOf)
{
    const struct {
        AVRational rate;
        int64_t us;
    } cases[] = {{{30000, 1001}, 33366}, {{24000, 1001}, 41708}, {{25, 1}, 40000}, {{50, 1}, 20000},
                 {{0, 0}, 40000},        {{0, 1}, 40000},        {{1, 0}, 40000}};
    for (const auto& c : cases)
        EXPECT_EQ(FrameDurationOf(c.rate), c.us) << c.rate.num << "/" << c.rate.den;
}

TEST(FFUtilsTimeTest, MicrosecondsToText)
{
    const struct {
        int64_t t;
        const char* text;
    } cases[] = {
        {3723004000LL, "01:02:03.004"}, {AV_NOPTS_VALUE, "N/A"},         {0, "00:00:00.000"},
        {999, "00:00:00.000"},          {1999999, "00:00:01.999"},        {360000000000LL, "100:00:00.000"},
        {-1500000, "-00:00:01.500"},    {INT64_MIN + 1, "-2562047788:00:54.775"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MicrosecondsToText(c.t), QString::fromLatin1(c.text)) << c.t;
}

TEST(FFUtilsTimeTest, TypeNames)
{
    const char* media[] = {"Video", "Audio", "Data", "Subtitle", "Attachment"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(MediaTypeName(i), QString::fromLatin1(media[i]));
    EXPECT_EQ(MediaTypeName(-1), QStringLiteral("Unknown"));
    EXPECT_EQ(MediaTypeName(5), QStringLiteral("Unknown"));
    const char* pictures[] = {"Unknown",         "Intra",           "Predicted",           "Bi-dir predicted",
                              "S(GMC)-VOP MPEG4", "Switching Intra", "Switching Predicted", "BI type", "Unknown"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(PictureTypeName(i), QString::fromLatin1(pictures[i])) << i;
}

// The zone text and the local offsets follow the standard offset of the
// zone, east of Greenwich written with "+", whatever the season.
class FFUtilsTimeZoneTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (FHadTZ)
            setenv("TZ", FOldTZ.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    void SetZone(const char* tz)
    {
        setenv("TZ", tz, 1);
        tzset();
    }

private:
    bool FHadTZ = std::getenv("TZ") != nullptr;
    std::string FOldTZ = FHadTZ ? std::getenv("TZ") : "";
};

TEST_F(FFUtilsTimeZoneTest, TextAndOffsets)
{
    const struct {
        const char* tz;
        const char* text;
        int offsetMinutes;
    } cases[] = {
        {"UTC0", "UTC", 0},
        {"CET-1CEST,M3.5.0,M10.5.0/3", "UTC+01:00", 60},
        {"CEST-2", "UTC+02:00", 120},
        {"EST5EDT,M3.2.0,M11.1.0", "UTC-05:00", -300},
        {"IST-5:30", "UTC+05:30", 330},
        {"NST3:30NDT,M3.2.0,M11.1.0", "UTC-03:30", -210},
    };
    for (const auto& c : cases) {
        SetZone(c.tz);
        EXPECT_EQ(TimeZoneText(), QString::fromLatin1(c.text)) << c.tz;
        EXPECT_DOUBLE_EQ(LocalTimeOffset(), c.offsetMinutes / 1440.0) << c.tz;
        EXPECT_DOUBLE_EQ(UnixTimeToLocal(86400 * 2), 25571.0 + c.offsetMinutes / 1440.0) << c.tz;
    }
}

// ---- with the libraries ---------------------------------------------------------

class FFUtilsLibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(FFLoader(), nullptr);
        ASSERT_TRUE(FFLoader()->LoadLibs(DecoderLibraries)) << FFLoader()->LastError().toStdString();
    }
};

TEST_F(FFUtilsLibTest, ParseTimeOption)
{
    EXPECT_EQ(ParseTimeOption("t", "1:02:03.5", true), 3723500000LL);
    EXPECT_EQ(ParseTimeOption("t", "90", true), 90000000LL);
    EXPECT_EQ(ParseTimeOption("timestamp", "2000-01-01 00:00:00Z", false), 946684800000000LL);
    EXPECT_EQ(raisedText([] { ParseTimeOption("t", "abc", true); }),
              QStringLiteral("Invalid duration specification for t: abc"));
    EXPECT_EQ(raisedText([] { ParseTimeOption("timestamp", "x", false); }),
              QStringLiteral("Invalid date specification for timestamp: x"));
}

String dictValue(const AVDictionary* d, const char* key)
{
    return DictionaryValue(d, key, QStringLiteral("<none>"));
}

TEST_F(FFUtilsLibTest, OptDefaultRoutesByClass)
{
    TLibavOptions opts;
    InitOpts(opts, SWS_BICUBIC);
    String optionError;

    EXPECT_EQ(OptDefault(opts, "b:v", "1000k", optionError), 0);
    EXPECT_EQ(dictValue(opts.CodecOpts, "b:v"), QStringLiteral("1000k"));
    EXPECT_EQ(dictValue(opts.CodecOpts, "b"), QStringLiteral("<none>"));
    EXPECT_EQ(dictValue(opts.FormatOpts, "b:v"), QStringLiteral("<none>"));

    // a type letter in front of a codec option name
    EXPECT_EQ(OptDefault(opts, "ab", "128k", optionError), 0);
    EXPECT_EQ(dictValue(opts.CodecOpts, "ab"), QStringLiteral("128k"));

    EXPECT_EQ(OptDefault(opts, "probesize", "5000000", optionError), 0);
    EXPECT_EQ(dictValue(opts.FormatOpts, "probesize"), QStringLiteral("5000000"));
    EXPECT_EQ(dictValue(opts.CodecOpts, "probesize"), QStringLiteral("<none>"));

    // flags given twice add up; other values are replaced
    EXPECT_EQ(OptDefault(opts, "flags", "+global_header", optionError), 0);
    EXPECT_EQ(OptDefault(opts, "flags", "+bitexact", optionError), 0);
    EXPECT_EQ(dictValue(opts.CodecOpts, "flags"), QStringLiteral("+global_header+bitexact"));
    EXPECT_EQ(OptDefault(opts, "b:v", "2000k", optionError), 0);
    EXPECT_EQ(dictValue(opts.CodecOpts, "b:v"), QStringLiteral("2000k"));

    EXPECT_EQ(OptDefault(opts, "sws_flags", "bilinear", optionError), 0);
    EXPECT_TRUE(optionError.isEmpty()) << optionError.toStdString();
}

TEST_F(FFUtilsLibTest, OptDefaultFailures)
{
    TLibavOptions opts;
    String optionError;
    // scaler options need the holder InitOpts makes
    EXPECT_LT(OptDefault(opts, "sws_flags", "bilinear", optionError), 0);
    EXPECT_EQ(optionError, QStringLiteral("Error setting option \"sws_flags\""));

    InitOpts(opts, SWS_BICUBIC);
    EXPECT_LT(OptDefault(opts, "sws_flags", "no_such_flag", optionError), 0);
    EXPECT_EQ(optionError, QStringLiteral("Error setting option \"sws_flags\""));

    EXPECT_EQ(OptDefault(opts, "foo", "1", optionError), AVERROR_OPTION_NOT_FOUND);
    EXPECT_EQ(optionError, QStringLiteral("Unrecognized option \"foo\""));
    EXPECT_EQ(opts.CodecOpts, nullptr);
    EXPECT_EQ(opts.FormatOpts, nullptr);

    // InitOpts starts over
    EXPECT_EQ(OptDefault(opts, "b", "1", optionError), 0);
    InitOpts(opts, SWS_BICUBIC);
    EXPECT_EQ(opts.CodecOpts, nullptr);
    EXPECT_NE(opts.SwsOpts, nullptr);
}

// A container with streams video, audio, audio, subtitle and program 5
// holding streams 0 and 2.
class FFUtilsStreamTest : public FFUtilsLibTest {
protected:
    void SetUp() override
    {
        FFUtilsLibTest::SetUp();
        if (HasFatalFailure())
            return;
        FContext = ff::avformat_alloc_context();
        ASSERT_NE(FContext, nullptr);
        const std::pair<AVMediaType, AVCodecID> kinds[] = {{AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_H264},
                                                            {AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_AC3},
                                                            {AVMEDIA_TYPE_AUDIO, AV_CODEC_ID_MP3},
                                                            {AVMEDIA_TYPE_SUBTITLE, AV_CODEC_ID_SUBRIP}};
        for (const auto& [type, id] : kinds) {
            AVStream* st = ff::avformat_new_stream(FContext, nullptr);
            ASSERT_NE(st, nullptr);
            st->codecpar->codec_type = type;
            st->codecpar->codec_id = id;
        }
        ASSERT_NE(ff::av_new_program(FContext, 5), nullptr);
        ff::av_program_add_stream_index(FContext, 5, 0);
        ff::av_program_add_stream_index(FContext, 5, 2);
    }
    void TearDown() override
    {
        if (FContext)
            ff::avformat_free_context(FContext);
    }

    std::vector<int> Matches(const char* specifier)
    {
        std::vector<int> result;
        for (unsigned i = 0; i < FContext->nb_streams; ++i)
            result.push_back(MatchStreamSpecifier(FContext, FContext->streams[i], specifier));
        return result;
    }

    AVFormatContext* FContext = nullptr;
};

TEST_F(FFUtilsStreamTest, MatchStreamSpecifier)
{
    using V = std::vector<int>;
    const std::pair<const char*, V> cases[] = {
        {"a:1", V{0, 0, 1, 0}}, {"a:0", V{0, 1, 0, 0}}, {"a", V{0, 1, 1, 0}},    {"a:5", V{0, 0, 0, 0}},
        {"v", V{1, 0, 0, 0}},   {"s:0", V{0, 0, 0, 1}}, {"d", V{0, 0, 0, 0}},    {"t", V{0, 0, 0, 0}},
        {"1", V{0, 1, 0, 0}},   {"0x2", V{0, 0, 1, 0}}, {"03", V{0, 0, 0, 1}},   {"9", V{0, 0, 0, 0}},
        {"", V{1, 1, 1, 1}},    {"p:5", V{1, 0, 1, 0}}, {"p:5:1", V{0, 0, 1, 0}}, {"p:5:2", V{0, 0, 0, 0}},
        {"p:5:-1", V{0, 0, 0, 0}}, {"p:6", V{0, 0, 0, 0}},
        {"x", V{-22, -22, -22, -22}}, {"p", V{-22, -22, -22, -22}}, {"p5", V{-22, -22, -22, -22}},
    };
    for (const auto& [specifier, expected] : cases)
        EXPECT_EQ(Matches(specifier), expected) << '"' << specifier << '"';
}

TAVDictionaryPtr makeDict(std::initializer_list<std::pair<const char*, const char*>> entries)
{
    AVDictionary* d = nullptr;
    for (const auto& [key, value] : entries)
        ff::av_dict_set(&d, key, value, 0);
    return TAVDictionaryPtr(d);
}

int dictCount(const AVDictionary* d)
{
    int n = 0;
    for (const AVDictionaryEntry* e = nullptr; (e = ff::av_dict_get(d, "", e, AV_DICT_IGNORE_SUFFIX)) != nullptr;)
        ++n;
    return n;
}

TEST_F(FFUtilsStreamTest, FilterCodecOptionsPerStream)
{
    const TAVDictionaryPtr opts = makeDict({
        {"threads:v", "3"},
        {"drc_scale:a", "0.5"},  // a private option of the AC-3 decoder
        {"vlowres", "1"},        // a type letter in front of a video option
        {"skip_frame:s", "all"},
        {"b:a", "128k"},         // an encoding option: not for a decoder
    });
    AVStream** st = FContext->streams;
    const auto filter = [&](AVCodecID id, int stream) {
        return FilterCodecOptions(opts.get(), ff::avcodec_find_decoder(id), FContext, st[stream]);
    };

    const TAVDictionaryPtr video = filter(AV_CODEC_ID_H264, 0);
    EXPECT_EQ(dictCount(video.get()), 2);
    EXPECT_EQ(dictValue(video.get(), "threads"), QStringLiteral("3"));
    EXPECT_EQ(dictValue(video.get(), "lowres"), QStringLiteral("1"));

    const TAVDictionaryPtr ac3 = filter(AV_CODEC_ID_AC3, 1);
    EXPECT_EQ(dictCount(ac3.get()), 1);
    EXPECT_EQ(dictValue(ac3.get(), "drc_scale"), QStringLiteral("0.5"));

    // the same options for an audio decoder without that private option
    EXPECT_EQ(filter(AV_CODEC_ID_MP3, 2), nullptr);
    EXPECT_EQ(FilterCodecOptions(opts.get(), nullptr, FContext, st[1]), nullptr);
    // the caller's keys keep their specifiers
    EXPECT_EQ(dictValue(opts.get(), "threads:v"), QStringLiteral("3"));

    const TStreamInfoOptions perStream = StreamInfoOptions(FContext, opts.get());
    ASSERT_EQ(perStream.Count(), 4);
    EXPECT_EQ(dictValue(perStream[0], "threads"), QStringLiteral("3"));
    EXPECT_EQ(dictValue(perStream[1], "drc_scale"), QStringLiteral("0.5"));
    EXPECT_EQ(perStream[2], nullptr);
}

TEST_F(FFUtilsStreamTest, FilterCodecOptionsWithAnInvalidSpecifierGivesNothing)
{
    const TAVDictionaryPtr opts = makeDict({{"threads", "3"}, {"threads:q", "2"}});
    EXPECT_EQ(FilterCodecOptions(opts.get(), ff::avcodec_find_decoder(AV_CODEC_ID_H264), FContext,
                                 FContext->streams[0]),
              nullptr);
}

TEST_F(FFUtilsLibTest, StreamSpecifiersOnARealFile)
{
    AVFormatContext* s = nullptr;
    const std::string path = vorlane::test::FixturePath("mpeg4_mp3.avi");
    ASSERT_EQ(ff::avformat_open_input(&s, path.c_str(), nullptr, nullptr), 0) << path;
    ASSERT_EQ(s->nb_streams, 2u);
    EXPECT_EQ(MatchStreamSpecifier(s, s->streams[0], "v:0"), 1);
    EXPECT_EQ(MatchStreamSpecifier(s, s->streams[1], "v:0"), 0);
    EXPECT_EQ(MatchStreamSpecifier(s, s->streams[1], "a:0"), 1);
    EXPECT_EQ(MatchStreamSpecifier(s, s->streams[1], "a:1"), 0);
    ff::avformat_close_input(&s);
}

TEST_F(FFUtilsLibTest, CodecDescription)
{
    AVCodecContext* ctx = ff::avcodec_alloc_context3(nullptr);
    ASSERT_NE(ctx, nullptr);
    const auto describe = [ctx](AVCodecID id, unsigned tag, bool encoder) {
        ctx->codec_id = id;
        ctx->codec_tag = tag;
        return CodecDescription(ctx, encoder);
    };
    EXPECT_EQ(describe(AV_CODEC_ID_MPEG4, 0, false), QStringLiteral("mpeg4(MPEG-4 part 2)"));
    EXPECT_EQ(describe(AV_CODEC_ID_MP2, 0, true), QStringLiteral("mp2(MP2 (MPEG audio layer 2))"));
    // no encoder of this id: the id's own name
    EXPECT_EQ(describe(AV_CODEC_ID_VP6, 0, true), QStringLiteral("vp6"));
    EXPECT_EQ(describe(AV_CODEC_ID_MPEG2TS, 0, false), QStringLiteral("mpeg2ts"));
    EXPECT_EQ(describe(AV_CODEC_ID_NONE, MKTAG('X', 'V', 'I', 'D'), false), QStringLiteral("XVID / 0x44495658"));
    EXPECT_EQ(describe(AV_CODEC_ID_NONE, 0x12, false), QStringLiteral("0x0012"));
    EXPECT_EQ(describe(AV_CODEC_ID_NONE, MKTAG('a', 'b', 'c', 0x7F), false), QStringLiteral("0x7f636261"));
    ff::avcodec_free_context(&ctx);
}

TEST_F(FFUtilsLibTest, DictionaryValueIsExact)
{
    AVDictionary* d = nullptr;
    ff::av_dict_set(&d, "title", "Caf\xC3\xA9", 0);
    const TAVDictionaryPtr owner(d);
    EXPECT_EQ(DictionaryValue(d, "title", QStringLiteral("-")), QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(DictionaryValue(d, "TITLE", QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_EQ(DictionaryValue(d, "tit", QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_EQ(DictionaryValue(nullptr, "title", QStringLiteral("-")), QStringLiteral("-"));
}

TEST_F(FFUtilsLibTest, GrowArray)
{
    int count = 0;
    auto* a = static_cast<int*>(GrowArray(nullptr, sizeof(int), count, 3));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(count, 3);
    a[0] = 7;
    a = static_cast<int*>(GrowArray(a, sizeof(int), count, 5));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(a[0], 7);
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(a[i], 0);
    EXPECT_EQ(GrowArray(a, sizeof(int), count, 2), a);  // never shrinks
    EXPECT_EQ(count, 5);
    String error;
    try {
        GrowArray(a, sizeof(int), count, INT_MAX / 4);
    } catch (const Exception& e) {
        error = e.Message();
    }
    EXPECT_EQ(error, QStringLiteral("Array too big."));
    EXPECT_EQ(count, 5);
    ff::av_free(a);
}

TEST_F(FFUtilsLibTest, ReadFileContents)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const AnsiString name = dir.filePath(QStringLiteral("pass-0.log")).toUtf8();
    std::FILE* f = std::fopen(name.constData(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("abc", f);
    std::fclose(f);

    TAVBufferPtr buffer;
    int size = -1;
    EXPECT_EQ(ReadFileContents(name, buffer, size), 0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 4);
    EXPECT_STREQ(reinterpret_cast<const char*>(buffer.get()), "abc");

    EXPECT_EQ(ReadFileContents(name + ".missing", buffer, size), -1);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, 0);

    f = std::fopen(name.constData(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(ReadFileContents(name, buffer, size), 0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(buffer.get()[0], 0);
}

}  // namespace
