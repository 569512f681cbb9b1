#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <set>

#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/FFmpeg.h"

namespace {

// A task with inputs made in memory: format contexts with streams of the
// given kinds, as opened inputs would look to the option handlers.
class TTestTask : public TCustomFFmpeg {
public:
    struct TStreamSpec {
        AVMediaType Type;
        AVRational Rate{0, 1};
        int Channels = 0;
    };
    void AddInput(std::initializer_list<TStreamSpec> streams)
    {
        TSourceFile file;
        file.Context.reset(ff::avformat_alloc_context());
        for (const TStreamSpec& spec : streams) {
            AVStream* st = ff::avformat_new_stream(file.Context.get(), nullptr);
            st->codecpar->codec_type = spec.Type;
            st->r_frame_rate = spec.Rate;
            st->codecpar->ch_layout.nb_channels = spec.Channels;
        }
        FSourceFiles.push_back(std::move(file));
    }
};

// The tasks need the libraries loaded.
class FFOptionsFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FFLoader()->LoadLibs(EncoderLibraries)) << FFLoader()->LastError().toStdString(); }
    void TearDown() override { FFLoader()->UnloadLibs(EncoderLibraries); }
};

using FFOptionsTableTest = FFOptionsFixture;
using FFOptionsParseTest = FFOptionsFixture;
using FFOptionsContextTest = FFOptionsFixture;
using FFOptionsHandlersTest = FFOptionsFixture;
using FFOptionsPresetsTest = FFOptionsFixture;

String parseError(TCustomFFmpeg& task, const AnsiString& options)
{
    try {
        task.ParseOptions(options);
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

String presetError(TCustomFFmpeg& task, const AnsiString& presets)
{
    try {
        task.ParsePresets(presets);
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

TEST_F(FFOptionsTableTest, HundredAndFortyRowsWithUniqueNamesAndConsistentTargets)
{
    const TOptionDef* rows = OptionTableRows();
    std::set<std::string> names;
    int count = 0;
    for (const TOptionDef* po = rows; po->Name; ++po, ++count) {
        EXPECT_TRUE(names.insert(po->Name).second) << po->Name;
        const bool stores = po->Flags & (ofString | ofBool | ofInt | ofInt64 | ofTime | ofFloat | ofDouble);
        const bool handler = std::holds_alternative<TOptionHandler>(po->Target) ||
                             std::holds_alternative<TOptionContextHandler>(po->Target);
        // "pre" carries the string flag yet names its handler, which runs
        EXPECT_TRUE(stores != handler || std::string(po->Name) == "pre") << po->Name;
        EXPECT_EQ(bool(po->Flags & ofPerStream), std::holds_alternative<TStreamValues TFileOptions::*>(po->Target))
            << po->Name;
        EXPECT_EQ(bool(po->Flags & ofContextHandler), std::holds_alternative<TOptionContextHandler>(po->Target))
            << po->Name;
    }
    EXPECT_EQ(count, OptionTableRowCount);
    EXPECT_STREQ(rows[47].Name, "target");
    EXPECT_STREQ(rows[139].Name, "default");
    EXPECT_EQ(rows[139].Flags, 0x35);
}

// Each line: an option string and the description of what it set.
TEST_F(FFOptionsParseTest, OptionStringsGiveTheirContextValues)
{
    const struct {
        const char* Options;
        const char* Expected;
    } cases[] = {
        // the MPEG-I profile's default line for a 640 x 480 source
        {" -f mpeg -c:v mpeg1video -aspect 1.333 -r 25 -b:v 1024k -c:a mp2 -ac 2 -ar 44100 -b:a 128k -sameq"
         " -vf \"setdar=1.333,scale=640:480\"",
         "f = mpeg\nc:v = mpeg1video\nc:a = mp2\nfilter:v = setdar=1.333,scale=640:480\nr = 25\naspect = 1.333\n"
         "sameq = 1\nar = 44100\nac = 2\ncodec b:v = 1024k\ncodec b:a = 128k\n"},
        // the VCD profile's default line for an NTSC source
        {" -target ntsc-vcd -f vcd -c:v mpeg1video -aspect 4:3 -r 30000/1001 -b:v 1150k -c:a mp2 -ac 2 -ar 44100"
         " -b:a 224k -vf \"setdar=4:3,scale=352:240\"",
         "f = vcd\nc:v = mpeg1video\nc:a = mp2\nc:v = mpeg1video\nc:a = mp2\nfilter:v = setdar=4:3,scale=352:240\n"
         "r = 30000/1001\nr = 30000/1001\ns = 352x240\naspect = 4:3\nar = 44100\nar = 44100\nac = 2\nac = 2\n"
         "muxpreload = 0.44\nforced video codec = mpeg1video\nforced audio codec = mp2\ncodec g = 18\n"
         "codec b:v = 1150k\ncodec maxrate = 1150000\ncodec minrate = 1150000\ncodec bufsize = 327680\n"
         "codec b:a = 224k\nformat packetsize = 2324\nformat muxrate = 1411200\n"},
        {"-an", "an = 1\n"},
        {"-an -noan -vn", "vn = 1\n"},
        {"-y -n -stats -nostats", "y = 1\nn = 1\nstats = 0\n"},
        {"-qscale:v 3 -q:a 2.5 -aq 4", "q:v = 3\nq:a = 2.5\nq:a = 4\n"},
        {"-b 800k", "codec b:v = 800k\n"},
        {"-b:a 128k", "codec b:a = 128k\n"},
        {"-vtag xvid -absf aac_adtstoasc -stag mov_text", "tag:v = xvid\ntag:s = mov_text\nbsf:a = aac_adtstoasc\n"},
        {"-t 10", "t = 10000000\n"},
        {"-t_microsecond 10000000", "t = 10000000\n"},
        {"-ss 1:02:03.5 -itsoffset -2 -itsscale:v 1.5", "ss = 3723500000\nitsoffset = -2000000\nitsscale:v = 1.5\n"},
        {"-fs 1000000 -re -muxdelay 0.1 -map_chapters 1", "map_chapters = 1\nfs = 1000000\nre = 1\nmuxdelay = 0.1\n"},
        {"-vcodec mpeg4 -acodec mp2 -scodec copy -dcodec copy",
         "c:v = mpeg4\nc:a = mp2\nc:s = copy\nc:d = copy\nforced video codec = mpeg4\nforced audio codec = mp2\n"
         "forced subtitle codec = copy\n"},
        {"-vframes 20 -aframes 10 -dframes 5 -frames:s 1", "frames:v = 20\nframes:a = 10\nframes:d = 5\nframes:s = 1\n"},
        {"-vol 512 -async 1 -adrift_threshold 0.5 -vsync 0 -copytb 1 -dts_delta_threshold 3",
         "vsync = 0\nasync = 1\nadrift_threshold = 0.5\ncopytb = 1\ndts_delta_threshold = 3\nvol = 512\n"},
        {"-deinterlace -intra -vdt 5 -dc 10 -bits_per_raw_sample 10 -top 1 -force_fps -copyinkf",
         "copyinkf = 1\nbits_per_raw_sample = 10\nintra = 1\nvdt = 5\ndeinterlace = 1\ntop = 1\ndc = 10\n"
         "force_fps = 1\n"},
        {"-pix_fmt yuv420p -sample_fmt s16 -rmvol 0.5 -metadata title=x -tag:v DX50",
         "metadata = title=x\ntag:v = DX50\npix_fmt = yuv420p\nsample_fmt = s16\nrmvol = 0.5\n"},
        {"-L -h -version -AudioHook -Join -FrameOutputHook", ""},
        {"-map_channel -1 -map_channel -1:0.1", "map_channel = -1.-1.-1:-1.-1\nmap_channel = -1.-1.-1:0.1\n"},
        {"-map_metadata:s:1 0 -map_metadata 1:c:2", "map_metadata = 0s:1 from 0g:0\nmap_metadata = 0g:0 from 1c:2\n"},
        {"-attach a.ttf -attach b.ttf -streamid 2:33", "attach = a.ttf\nattach = b.ttf\nstreamid 2 = 33\n"},
        {"-pass 2 -passlogfile /tmp/p -vstats_file v.log", "passlogfile = /tmp/p\nvstats_file = v.log\npass = 2\ncodec passlogfile = /tmp/p\n"},
        {"-vhook \"/x/hook.so|-a|1\" -VideoHookBitsPixel 32", "vhook = /x/hook.so|-a|1\nVideoHookBitsPixel = 32\n"},
        {"-noise_reduction 100 -threads 2 -vstrict unofficial -level 31",
         "codec noise_reduction = 100\ncodec threads = 2\ncodec vstrict = unofficial\ncodec level = 31\n"},
        {"-g 12 -flags +global_header -flags +ilme", "codec g = 12\ncodec flags = +global_header+ilme\n"},
    };
    for (const auto& c : cases) {
        TCustomFFmpeg task;
        SCOPED_TRACE(c.Options);
        task.ParseOptions(c.Options);
        EXPECT_EQ(DescribeOptions(task), QString::fromUtf8(c.Expected)) << c.Options;
    }
}

TEST_F(FFOptionsParseTest, LogLevelNamesAndNumbers)
{
    const int saved = ff::av_log_get_level();
    TCustomFFmpeg task;
    task.ParseOptions("-loglevel verbose");
    EXPECT_EQ(ff::av_log_get_level(), 40);
    task.ParseOptions("-v 16");
    EXPECT_EQ(ff::av_log_get_level(), 16);
    // the pre-pass takes the first, the parse then applies both in order
    task.ParseOptions("-loglevel info -loglevel error");
    EXPECT_EQ(ff::av_log_get_level(), 16);
    ff::av_log_set_level(saved);
}

// Each bad string fails a strict parse with its text; in a lenient parse it
// is skipped and the options after it still apply.
TEST_F(FFOptionsParseTest, BadStringsFailStrictlyAndAreSkippedLeniently)
{
    const AnsiString failed = "\r\nFailed to set value \"%1\" for option \"%2\"";
    auto withFailed = [&](const char* first, const char* value, const char* option) {
        return QString::fromUtf8(first) + QString::fromUtf8(failed).arg(QLatin1String(value), QLatin1String(option));
    };
    const struct {
        const char* Options;
        String Error;
    } cases[] = {
        {"-croptop 10",
         withFailed("Option \"croptop\" has been removed, use the crop filter instead", "10", "croptop")},
        {"-padcolor red", withFailed("Option \"padcolor\" has been removed, use the pad filter instead", "red", "padcolor")},
        {"-report", withFailed("options \"report\" not supported", "", "report")},
        {"-pre slow", withFailed("options \"pre\" not supported", "slow", "pre")},
        {"-timelimit 5", withFailed("options \"timelimit\" not supported", "5", "timelimit")},
        {"-foo 1", withFailed("Unrecognized option \"foo\"", "1", "foo")},
        {"-nof x", withFailed("Unrecognized option \"nof\"", "x", "nof")},
        {"-loglevel loud",
         withFailed("Invalid loglevel \"loud\". Possible levels are numbers or:\r\n\"quiet\"\r\n\"panic\"\r\n\"fatal\"\r\n"
                    "\"error\"\r\n\"warning\"\r\n\"info\"\r\n\"verbose\"\r\n\"debug\"\r\n",
                    "loud", "loglevel")},
        {"-target pal-cd", withFailed("Unknown target: cd", "pal-cd", "target")},
        {"-pass 4", withFailed("The value for \"pass\" was \"4\" which is not within 1 - 3", "4", "pass")},
        {"-streamid 1024:1", withFailed("The value for \"streamid\" was \"1024\" which is not within 0 - 1023",
                                        "1024:1", "streamid")},
        {"-streamid 1", withFailed("Invalid value \"1\" for option \"streamid\", required syntax is \"index:value\"",
                                   "1", "streamid")},
        {"-map_metadata 0:x", withFailed("Invalid metadata type x.", "0:x", "map_metadata")},
        {"-VideoHookBitsPixel 12", withFailed("Invalid BitsPixel 12", "12", "VideoHookBitsPixel")},
        {"-VideoHookBitsPixel x", withFailed("'x' is not a valid integer value", "x", "VideoHookBitsPixel")},
        {"-fpre /no/such.ffpreset", withFailed("Preset file \"/no/such.ffpreset\" not found", "/no/such.ffpreset", "fpre")},
        {"-y file.mpg", QStringLiteral("Failed to parse options on file.mpg")},
        {"-y - -n", QStringLiteral("Failed to parse options on -")},
        {"-y \"\"", QStringLiteral("Failed to parse options")},
    };
    for (const auto& c : cases) {
        TCustomFFmpeg strict;
        EXPECT_EQ(parseError(strict, c.Options), c.Error) << c.Options;
        EXPECT_EQ(strict.LastErrorText(), c.Error) << c.Options;

        TCustomFFmpeg lenient;
        lenient.SetStrictOptions(false);
        EXPECT_EQ(parseError(lenient, AnsiString(c.Options) + " -an"), QStringLiteral("<no error>")) << c.Options;
        EXPECT_EQ(lenient.OptionsContext().AudioDisable, 1) << c.Options;
    }

    TCustomFFmpeg task;
    EXPECT_EQ(parseError(task, "-y -s"), QStringLiteral("Missing argument for option \"s\""));
}

// Errors that end the parse in both modes: value conversion and the
// handlers that fail the task.
TEST_F(FFOptionsParseTest, FatalErrorsEndEvenALenientParse)
{
    const struct {
        const char* Options;
        const char* Error;
    } cases[] = {
        {"-ar abc", "Expected integer for ar but found abc"},
        {"-fs 1.5", "Expected int64 for fs but found 1.5"},
        {"-q:v x", "Expected double for q:v but found x"},
        {"-t 1:xx", "Invalid duration specification for t: 1:xx"},
        {"-map 3", "Invalid input file index: 3."},
        {"-map 0:s", "Stream map \"0:s\" matches no streams."},
        {"-map 0:v,5", "Invalid sync file index: 5."},
        {"-map 0:v,1:s", "Sync stream specification in map 0:v,1:s does not match any streams."},
        {"-map_channel 1.2", "Syntax error, mapchan usage: [file.stream.channel|-1][:syncfile:syncstream]"},
        {"-map_channel 2.0.0", "mapchan: invalid input file index: 2"},
        {"-map_channel 0.5.0", "mapchan: invalid input file stream index #0.5"},
        {"-map_channel 0.0.0", "mapchan: stream #0.0 is not an audio stream."},
        {"-map_channel 0.1.2", "mapchan: invalid audio channel #0.1.2"},
        {"-target vcd", "Could not determine norm (PAL/NTSC/NTSC-Film) for target.\r\nPlease prefix target with "
                        "\"pal-\", \"ntsc-\" or \"film-\",\r\nor set a framerate with \"-r xxx\"."},
    };
    for (const auto& c : cases) {
        for (const bool strict : {true, false}) {
            TTestTask task;
            task.AddInput({{AVMEDIA_TYPE_VIDEO, {15, 1}}, {AVMEDIA_TYPE_AUDIO, {0, 1}, 2}});
            task.AddInput({{AVMEDIA_TYPE_VIDEO, {10, 1}}});
            task.SetStrictOptions(strict);
            EXPECT_EQ(parseError(task, c.Options), QString::fromUtf8(c.Error)) << c.Options;
        }
    }
}

TEST_F(FFOptionsParseTest, StreamMapsAgainstOpenedInputs)
{
    TTestTask task;
    task.AddInput({{AVMEDIA_TYPE_VIDEO}, {AVMEDIA_TYPE_AUDIO, {0, 1}, 2}, {AVMEDIA_TYPE_AUDIO, {0, 1}, 6}});
    task.AddInput({{AVMEDIA_TYPE_AUDIO, {0, 1}, 2}});
    task.ParseOptions("-map 0 -map -0:1 -map 0:v,1 -map 1:a:0,0:a:1 -map_channel 0.2.5:0.1");
    EXPECT_EQ(DescribeOptions(task), QStringLiteral("map = 0:0 sync 0:0\nmap = 0:1 sync 0:1 disabled\n"
                                                    "map = 0:2 sync 0:2\nmap = 0:0 sync 1:0\nmap = 1:0 sync 0:2\n"
                                                    "map_channel = 0.2.5:0.1\n"));
    // a negative map over maps of another input visits them and matches nothing
    EXPECT_EQ(parseError(task, "-map -1:a"), QStringLiteral("<no error>"));
    TTestTask empty;
    empty.AddInput({{AVMEDIA_TYPE_VIDEO}});
    EXPECT_EQ(parseError(empty, "-map -0"), QStringLiteral("Stream map \"-0\" matches no streams."));
}

TEST_F(FFOptionsContextTest, PerStreamLookupsTakeTheLastMatch)
{
    TTestTask task;
    task.AddInput({{AVMEDIA_TYPE_VIDEO}, {AVMEDIA_TYPE_AUDIO}, {AVMEDIA_TYPE_SUBTITLE}});
    AVFormatContext* s = ff::avformat_alloc_context();
    for (AVMediaType type : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_SUBTITLE})
        ff::avformat_new_stream(s, nullptr)->codecpar->codec_type = type;

    task.ParseOptions("-c copy -c:v mpeg1video -c:a mp2 -ac:a:0 6 -ac 2");
    TFileOptions& o = task.OptionsContext();
    AnsiString names[3] = {"none", "none", "none"};
    for (int i = 0; i < 3; ++i)
        task.MatchPerStreamOpt(o.CodecNames, s, s->streams[i], names[i]);
    EXPECT_EQ(names[0], "mpeg1video");
    EXPECT_EQ(names[1], "mp2");
    EXPECT_EQ(names[2], "copy");
    int channels = -1;
    task.MatchPerStreamOpt(o.AudioChannels, s, s->streams[1], channels);
    EXPECT_EQ(channels, 2);
    int untouched = -1;
    task.MatchPerStreamOpt(o.AudioChannels, s, s->streams[0], untouched);
    EXPECT_EQ(untouched, 2);  // "-ac 2" has no specifier: it matches every stream

    o.FrameRates.push_back({"x", AnsiString("25")});
    AnsiString rate;
    try {
        task.MatchPerStreamOpt(o.FrameRates, s, s->streams[0], rate);
        ADD_FAILURE() << "no error";
    } catch (const FFmpegException& e) {
        EXPECT_EQ(e.Message().toStdString(), "check_stream_specifier: Invalid argument / Invalid data found when processing input");
    }
    ff::avformat_free_context(s);
}

TEST_F(FFOptionsContextTest, ResetKeepsTheRecordingTimeOnlyAfterAnInput)
{
    TCustomFFmpeg task;
    task.ParseOptions("-t 5 -attach a.ttf -map_channel -1 -c:v mpeg2video -g 12 -muxdelay 0.1");
    task.ResetOptionsContext(task.OptionsContext(), true);
    EXPECT_EQ(task.OptionsContext().RecordingTime, 5000000);
    EXPECT_EQ(DescribeOptions(task), QStringLiteral("t = 5000000\n"));
    task.ResetOptionsContext(task.OptionsContext(), false);
    EXPECT_EQ(DescribeOptions(task), QString());
    EXPECT_EQ(task.OptionsContext().ChaptersInputFile, INT_MAX);
    EXPECT_FLOAT_EQ(task.OptionsContext().MuxMaxDelay, 0.7f);
}

TEST_F(FFOptionsHandlersTest, AspectRatiosAndCodecLookups)
{
    TCustomFFmpeg task;
    EXPECT_DOUBLE_EQ(task.ParseAspectRatio("16:9"), 16.0 / 9.0);
    EXPECT_DOUBLE_EQ(task.ParseAspectRatio("1.3333"), 1.3333);
    for (const char* bad : {"4:0", "0", "abc", "4x:3", "-1.5"}) {
        try {
            task.ParseAspectRatio(bad);
            ADD_FAILURE() << bad;
        } catch (const FFmpegException& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Incorrect aspect ratio specification.")) << bad;
        }
    }
    EXPECT_NE(task.FindCodecOrFail("mpeg2video", AVMEDIA_TYPE_VIDEO, true), nullptr);
    const std::pair<const char*, const char*> failing[] = {
        {"mp2", "Invalid encoder type 'mp2'"}, {"nosuchcodec", "Unknown encoder 'nosuchcodec'"}};
    for (const auto& [name, text] : failing) {
        try {
            task.FindCodecOrFail(name, AVMEDIA_TYPE_VIDEO, true);
            ADD_FAILURE() << name;
        } catch (const FFmpegException& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(text));
        }
    }
}

TEST_F(FFOptionsPresetsTest, PresetLinesAndTheirErrors)
{
    TCustomFFmpeg task;
    task.ParsePresets("# a comment\r\n\r\nvcodec=mpeg2video<CRLF>b=2000000\n  g=12  ");
    EXPECT_EQ(DescribeOptions(task), QStringLiteral("c:v = mpeg2video\nforced video codec = mpeg2video\n"
                                                    "codec b = 2000000\ncodec g = 12\n"));

    TCustomFFmpeg strict;
    EXPECT_EQ(presetError(strict, "vcodec = mpeg2video"),
              QStringLiteral("Unrecognized option \"vcodec \"\r\nInvalid option or argument: \"vcodec = mpeg2video\", "
                             "parsed as \"vcodec \" = \" mpeg2video\""));
    EXPECT_EQ(presetError(strict, "g=12\nnovalue"), QStringLiteral("Invalid syntax: \"novalue\""));
    EXPECT_EQ(presetError(strict, "=5"), QStringLiteral("Invalid syntax: \"=5\""));

    TCustomFFmpeg lenient;
    lenient.SetStrictOptions(false);
    EXPECT_EQ(presetError(lenient, "novalue\nvcodec = x\ng=12"), QStringLiteral("<no error>"));
    EXPECT_EQ(DescribeOptions(lenient), QStringLiteral("codec g = 12\n"));
}

TEST_F(FFOptionsPresetsTest, PresetFiles)
{
    QTemporaryDir dir;
    const String good = dir.filePath(QStringLiteral("good.ffpreset"));
    const String bad = dir.filePath(QStringLiteral("bad.ffpreset"));
    for (const auto& [name, text] : {std::pair{good, "# x264-like\nacodec=mp2\n\ng=25\nbf=2\n"},
                                     std::pair{bad, "g=25\nbogus=1\nbf\n"}}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    TCustomFFmpeg task;
    task.ParseOptions("-fpre \"" + good.toUtf8() + "\"");
    EXPECT_EQ(DescribeOptions(task),
              QStringLiteral("c:a = mp2\nforced audio codec = mp2\ncodec g = 25\ncodec bf = 2\n"));

    const String b = bad;
    TCustomFFmpeg strict;
    EXPECT_EQ(parseError(strict, "-vpre \"" + bad.toUtf8() + "\""),
              QStringLiteral("Unrecognized option \"bogus\"\r\n%1: Invalid option or argument: \"bogus=1\", parsed as "
                             "\"bogus\" = \"1\"\r\nFailed to set value \"%1\" for option \"vpre\"")
                  .arg(b));
    TCustomFFmpeg lenient;
    lenient.SetStrictOptions(false);
    EXPECT_EQ(parseError(lenient, "-vpre \"" + bad.toUtf8() + "\""), QStringLiteral("<no error>"));
    EXPECT_EQ(lenient.OptionError(), QStringLiteral("%1: Invalid syntax: \"bf\"\r\nFailed to set value \"%1\" for "
                                                    "option \"vpre\"")
                                         .arg(b));
    lenient.ParseOptions("-an");
    EXPECT_EQ(lenient.OptionsContext().AudioDisable, 1);
}

}  // namespace
