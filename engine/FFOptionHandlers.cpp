// The option handlers of the task, and the routines that read option values
// when files are opened: aspect ratios, codecs by name, decoders.
#include <QTime>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

#include "engine/AVCodecStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

using namespace FFmpegConsts;

namespace {

const char* const logLevelNames[] = {"quiet", "panic", "fatal", "error", "warning", "info", "verbose", "debug"};
const int logLevelValues[] = {AV_LOG_QUIET, AV_LOG_PANIC, AV_LOG_FATAL, AV_LOG_ERROR,
                              AV_LOG_WARNING, AV_LOG_INFO, AV_LOG_VERBOSE, AV_LOG_DEBUG};

// Decimal numbers in option values are read with "." whatever the process locale.
double cStrtod(const char* text)
{
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

}  // namespace

// ---- (name, value) handlers -----------------------------------------------------

int TCustomFFmpeg::OptNotSupportedIgnore(const AnsiString& opt, const AnsiString&)
{
    return failOption(LoadResStringFmt(SNotSupportedIgnore, {opt}), llWarning, 0);
}

int TCustomFFmpeg::OptIgnore(const AnsiString&, const AnsiString&)
{
    return 0;
}

int TCustomFFmpeg::OptNotSupported(const AnsiString& opt, const AnsiString&)
{
    return failOption(LoadResStringFmt(SNotSupported, {opt}), llError, AVERROR(EINVAL));
}

int TCustomFFmpeg::OptCropRemoved(const AnsiString& opt, const AnsiString&)
{
    return failOption(LoadResStringFmt(SCropRemoved, {opt}), llError, AVERROR(EINVAL));
}

int TCustomFFmpeg::OptPadRemoved(const AnsiString& opt, const AnsiString&)
{
    return failOption(LoadResStringFmt(SPadRemoved, {opt}), llError, AVERROR(EINVAL));
}

int TCustomFFmpeg::OptVideoChannel(const AnsiString&, const AnsiString& arg)
{
    logText(llWarning, LoadResString(SChannelDeprecated));
    return OptGeneric("channel", arg);
}

int TCustomFFmpeg::OptVideoStandard(const AnsiString&, const AnsiString& arg)
{
    logText(llWarning, LoadResString(SStandardDeprecated));
    return OptGeneric("standard", arg);
}

int TCustomFFmpeg::OptVstatsFile(const AnsiString&, const AnsiString& arg)
{
    FSettings.VStatsFileName = arg;
    return 0;
}

int TCustomFFmpeg::OptVstats(const AnsiString& opt, const AnsiString&)
{
    const AnsiString name = "vstats_" + QTime::currentTime().toString(QStringLiteral("hhmmss")).toLatin1() + ".log";
    return OptVstatsFile(opt, name);
}

int TCustomFFmpeg::OptPassLogFile(const AnsiString&, const AnsiString& arg)
{
    FSettings.PassLogPrefix = arg;
    // Offered to the library options too; a library that has no such option
    // is no failure of this one.
    OptGeneric("passlogfile", arg);
    FOptionError.clear();
    return 0;
}

int TCustomFFmpeg::OptPass(const AnsiString& opt, const AnsiString& arg)
{
    String text;
    try {
        const int pass = StrToInt(LibraryText(arg));
        if (pass >= 1 && pass <= 3) {
            FSettings.Pass = pass;
            return 0;
        }
        text = LoadResStringFmt(SValueNotWithin, {opt, arg, 1, 3});
    } catch (const Exception& e) {
        text = e.Message();
    }
    return failOption(text, llError, AVERROR(EINVAL));
}

int TCustomFFmpeg::OptVideoHook(const AnsiString&, const AnsiString& arg)
{
    FSettings.VideoHooks.push_back(arg);
    FSettings.UsingVideoHook = true;
    return 0;
}

int TCustomFFmpeg::OptVideoHookBitsPixel(const AnsiString&, const AnsiString& arg)
{
    try {
        const int bits = StrToInt(LibraryText(arg));
        if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32)
            throw Exception(LoadResStringFmt(SInvalidBitsPixel, {bits}));
        FSettings.VideoHookBitsPixel = bits;
        return 0;
    } catch (const Exception& e) {
        return failOption(e.Message(), llError, AVERROR(EINVAL));
    }
}

int TCustomFFmpeg::OptLogLevel(const AnsiString&, const AnsiString& arg)
{
    for (size_t i = 0; i < std::size(logLevelNames); ++i) {
        if (arg == logLevelNames[i]) {
            ff::av_log_set_level(logLevelValues[i]);
            return 0;
        }
    }
    char* end = nullptr;
    const long level = std::strtol(arg.constData(), &end, 10);
    if (*end == '\0') {
        ff::av_log_set_level(int(level));
        return 0;
    }
    String text = LoadResStringFmt(SInvalidLogLevel, {arg});
    for (const char* name : logLevelNames)
        text += QLatin1Char('"') + QLatin1String(name) + QLatin1String("\"\r\n");
    return failOption(text, llError, AVERROR(EINVAL));
}

int TCustomFFmpeg::OptDebug(const AnsiString& opt, const AnsiString& arg)
{
    ff::av_log_set_level(AV_LOG_DEBUG);
    return OptGeneric(opt, arg);
}

int TCustomFFmpeg::OptGeneric(const AnsiString& opt, const AnsiString& arg)
{
    return OptDefault(FLibavOpts, opt, arg, FOptionError);
}

// ---- (context, name, value) handlers ----------------------------------------------

int TCustomFFmpeg::OptAudioCodec(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    FSettings.AudioCodecName = arg;
    return ParseOption(o, "codec:a", &arg);
}

int TCustomFFmpeg::OptVideoCodec(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    FSettings.VideoCodecName = arg;
    return ParseOption(o, "codec:v", &arg);
}

int TCustomFFmpeg::OptSubtitleCodec(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    FSettings.SubtitleCodecName = arg;
    return ParseOption(o, "codec:s", &arg);
}

int TCustomFFmpeg::OptDataCodec(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    return ParseOption(o, "codec:d", &arg);
}

int TCustomFFmpeg::OptVideoFrames(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    return ParseOption(o, "frames:v", &arg);
}

int TCustomFFmpeg::OptAudioFrames(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    return ParseOption(o, "frames:a", &arg);
}

int TCustomFFmpeg::OptDataFrames(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    return ParseOption(o, "frames:d", &arg);
}

int TCustomFFmpeg::OptVideoFilters(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    return ParseOption(o, "filter:v", &arg);
}

int TCustomFFmpeg::OptOldTag(TFileOptions& o, const AnsiString& opt, const AnsiString& arg)
{
    const AnsiString name = opt.mid(1) + ':' + opt.left(1);
    return ParseOption(o, name, &arg);
}

int TCustomFFmpeg::OptBitrate(TFileOptions& o, const AnsiString& opt, const AnsiString& arg)
{
    if (opt == "b") {
        logText(llWarning, LoadResString(SBitrateAmbiguous));
        return ParseOption(o, "b:v", &arg);
    }
    return OptGeneric(opt, arg);
}

int TCustomFFmpeg::OptAttach(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    o.Attachments.push_back(arg);
    return 0;
}

int TCustomFFmpeg::OptAudioQuality(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    return ParseOption(o, "q:a", &arg);
}

int TCustomFFmpeg::OptMap(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    const bool negative = arg.startsWith('-');
    AnsiString map = negative ? arg.mid(1) : arg;
    bool hasSync = false;
    int syncFile = 0, syncStream = -1;

    const qsizetype comma = map.indexOf(',');
    if (comma >= 0) {
        const AnsiString sync = map.mid(comma + 1);
        map.truncate(comma);
        char* p = nullptr;
        syncFile = int(std::strtol(sync.constData(), &p, 0));
        if (syncFile < 0 || syncFile >= SourceFileCount())
            RaiseError(SInvalidSyncFileIndex, {syncFile});
        if (*p)
            ++p;
        AVFormatContext* ctx = FSourceFiles[size_t(syncFile)].Context.get();
        for (unsigned i = 0; i < ctx->nb_streams; ++i) {
            if (MatchStreamSpecifier(ctx, ctx->streams[i], p) == 1) {
                syncStream = int(i);
                break;
            }
        }
        if (syncStream < 0)
            RaiseError(SSyncStreamNoMatch, {arg});
        hasSync = true;
    }

    char* p = nullptr;
    const int file = int(std::strtol(map.constData(), &p, 0));
    if (file < 0 || file >= SourceFileCount())
        RaiseError(SInvalidInputFileIndex, {file});
    const char* spec = *p == ':' ? p + 1 : p;
    AVFormatContext* ctx = FSourceFiles[size_t(file)].Context.get();

    bool visited = false;
    if (negative) {
        for (TStreamMapEntry& m : o.StreamMaps) {
            visited = true;
            if (m.FileIndex == file && m.StreamIndex < int(ctx->nb_streams) &&
                MatchStreamSpecifier(ctx, ctx->streams[m.StreamIndex], spec) > 0)
                m.Disabled = 1;
        }
    } else {
        for (unsigned i = 0; i < ctx->nb_streams; ++i) {
            if (MatchStreamSpecifier(ctx, ctx->streams[i], spec) > 0) {
                visited = true;
                o.StreamMaps.push_back({0, file, int(i), hasSync ? syncFile : file, hasSync ? syncStream : int(i)});
            }
        }
    }
    if (!visited)
        RaiseError(SStreamMapNoMatch, {arg});
    return 0;
}

int TCustomFFmpeg::OptMapChannel(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    TChannelMapEntry m;
    int n = std::sscanf(arg.constData(), "%d:%d.%d", &m.ChannelIndex, &m.OFileIndex, &m.OStreamIndex);
    if ((n == 1 || n == 3) && m.ChannelIndex == -1) {
        m.FileIndex = m.StreamIndex = -1;
        if (n == 1)
            m.OFileIndex = m.OStreamIndex = -1;
        o.AudioChannelMaps.push_back(m);
        return 0;
    }
    m = TChannelMapEntry{};
    n = std::sscanf(arg.constData(), "%d.%d.%d:%d.%d", &m.FileIndex, &m.StreamIndex, &m.ChannelIndex, &m.OFileIndex,
                    &m.OStreamIndex);
    if (n != 3 && n != 5)
        RaiseError(LoadResString(SMapChanSyntax));
    if (n == 3)
        m.OFileIndex = m.OStreamIndex = -1;
    if (m.FileIndex < 0 || m.FileIndex >= SourceFileCount())
        RaiseError(SMapChanInputFile, {m.FileIndex});
    AVFormatContext* ctx = FSourceFiles[size_t(m.FileIndex)].Context.get();
    if (m.StreamIndex < 0 || m.StreamIndex >= int(ctx->nb_streams))
        RaiseError(SMapChanInputStream, {m.FileIndex, m.StreamIndex});
    const AVCodecParameters* par = ctx->streams[m.StreamIndex]->codecpar;
    if (par->codec_type != AVMEDIA_TYPE_AUDIO)
        RaiseError(SMapChanNotAudio, {m.FileIndex, m.StreamIndex});
    if (m.ChannelIndex < 0 || m.ChannelIndex >= par->ch_layout.nb_channels)
        RaiseError(SMapChanChannel, {m.FileIndex, m.StreamIndex, m.ChannelIndex});
    o.AudioChannelMaps.push_back(m);
    return 0;
}

int TCustomFFmpeg::OptMapMetadata(TFileOptions& o, const AnsiString& opt, const AnsiString& arg)
{
    // False, with the task's error text, for a type letter the map does not know.
    auto readType = [this](const char* text, TMetadataMapEntry& entry) {
        if (!*text) {
            entry.Type = 'g';
            return true;
        }
        entry.Type = *text;
        switch (*text) {
        case 'g': return true;
        case 'c':
        case 'p':
        case 's':
            if (text[1] == ':')
                entry.Index = int(std::strtol(text + 2, nullptr, 0));
            return true;
        default:
            FLastErrorText = LoadResStringFmt(SInvalidMetadataType, {String(QLatin1Char(*text))});
            logText(llFatal, FLastErrorText);
            FOptionError = FLastErrorText;
            return false;
        }
    };

    TMetadataMapPair pair;
    char* p = nullptr;
    pair.Input.FileIndex = int(std::strtol(arg.constData(), &p, 0));
    if (*p)
        ++p;
    if (!readType(p, pair.Input))
        return AVERROR(EINVAL);
    const qsizetype colon = opt.indexOf(':');
    const AnsiString outType = colon < 0 ? AnsiString() : opt.mid(colon + 1);
    if (!readType(outType.constData(), pair.Output))
        return AVERROR(EINVAL);
    // Only whole, valid entries reach the list, also when a lenient parse goes on.
    o.MetaDataMaps.push_back(pair);
    for (const TMetadataMapEntry* side : {&pair.Output, &pair.Input}) {
        switch (side->Type) {
        case 'g': o.MetadataGlobalManual = 1; break;
        case 's': o.MetadataStreamsManual = 1; break;
        case 'c': o.MetadataChaptersManual = 1; break;
        default: break;
        }
    }
    return 0;
}

int TCustomFFmpeg::OptMapMetaData(TFileOptions& o, const AnsiString& opt, const AnsiString& arg)
{
    logText(llWarning, LoadResString(SMapMetaDataDeprecated));
    return OptMapMetadata(o, opt, arg);
}

int TCustomFFmpeg::OptRecordingTimestamp(TFileOptions& o, const AnsiString& opt, const AnsiString& arg)
{
    const int64_t t = ParseTimeOption(opt, arg, false);
    const int64_t seconds = int64_t(std::floor(double(t) / 1e6 + 0.5));
    const String text = QStringLiteral("creation_time=") +
                        FormatDateTime(QStringLiteral("yyyy-mm-dd hh:nn:ss"), UnixTimeToLocal(seconds)) +
                        QLatin1Char(' ') + TimeZoneText();
    logText(llWarning, LoadResStringFmt(STimestampDeprecated, {opt}));
    const AnsiString value = text.toUtf8();
    return ParseOption(o, "metadata", &value);
}

int TCustomFFmpeg::OptStreamId(TFileOptions& o, const AnsiString& opt, const AnsiString& arg)
{
    const qsizetype colon = arg.indexOf(':');
    int index = 0;
    int64_t value = 0;
    bool okIndex = false, okValue = false;
    if (colon >= 0) {
        index = LibraryText(arg.left(colon)).toInt(&okIndex);
        value = LibraryText(arg.mid(colon + 1)).toLongLong(&okValue);
    }
    if (!okIndex || !okValue)
        return failOption(LoadResStringFmt(SStreamIdSyntax, {arg, opt}), llError, AVERROR(EINVAL));
    if (index < 0 || index > 1023)
        return failOption(LoadResStringFmt(SValueNotWithin, {"streamid", String::number(index), 0, 1023}), llError,
                          AVERROR(EINVAL));
    if (value < 0 || value > INT_MAX)
        return failOption(LoadResStringFmt(SValueNotWithin, {"streamid", String::number(value), 0, INT_MAX}),
                          llError, AVERROR(EINVAL));
    if (int(o.StreamIdMap.size()) < index + 1)
        o.StreamIdMap.resize(size_t(index) + 1, 0);
    o.StreamIdMap[size_t(index)] = int(value);
    return 0;
}

// ---- routines used when files are opened ----------------------------------------------

double TCustomFFmpeg::ParseAspectRatio(const AnsiString& text)
{
    double ratio = 0;
    const qsizetype colon = text.indexOf(':');
    if (colon >= 0) {
        char* end = nullptr;
        const long x = std::strtol(text.constData(), &end, 10);
        if (end == text.constData() + colon) {
            const long y = std::strtol(end + 1, nullptr, 10);
            if (x > 0 && y > 0)
                ratio = double(x) / double(y);
        }
    } else {
        ratio = cStrtod(text.constData());
    }
    // A negative ratio would give a negative sample aspect ratio.
    if (!(ratio > 0) || std::isinf(ratio))
        RaiseError(LoadResString(SIncorrectAspect));
    return ratio;
}

const AVCodec* TCustomFFmpeg::FindCodecOrFail(const AnsiString& name, AVMediaType type, bool encoder)
{
    const char* kind = encoder ? "encoder" : "decoder";
    const AVCodec* codec = encoder ? ff::avcodec_find_encoder_by_name(name.constData())
                                   : ff::avcodec_find_decoder_by_name(name.constData());
    if (!codec)
        RaiseError(SUnknownCodec, {kind, name});
    if (codec->type != type)
        RaiseError(SInvalidCodecType, {kind, name});
    return codec;
}

const AVCodec* TCustomFFmpeg::ChooseDecoder(TFileOptions& o, AVFormatContext* s, AVStream* st)
{
    AnsiString name;
    MatchPerStreamOpt(o.CodecNames, s, st, name);
    if (!name.isEmpty()) {
        const AVCodec* codec = FindCodecOrFail(name, st->codecpar->codec_type, false);
        st->codecpar->codec_id = codec->id;
        return codec;
    }
    return ff::avcodec_find_decoder(st->codecpar->codec_id);
}
