#include "engine/FFUtils.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <locale.h>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/SwScaleStubs.h"
#include "platform/rtl/SysUtils.h"

using namespace FFUtilsConsts;

// ---- value parsing ---------------------------------------------------------

namespace {

[[noreturn]] void raiseParseError(const TResStringRec& text, const AnsiString& name, const AnsiString& value)
{
    throw EFFOptionError(LoadResStringFmt(text, {name, value}));
}

// The runtime's float syntax: blanks, a sign, digits with an optional "."
// part, an optional exponent, blanks. Checked here so that the conversion
// below sees nothing it could read differently (hexadecimal, "inf", "nan").
bool parseDouble(const AnsiString& value, double& result)
{
    const char* p = value.constData();
    const char* end = p + std::strlen(p);
    while (p < end && *p == ' ')
        ++p;
    while (end > p && end[-1] == ' ')
        --end;
    const char* q = p;
    if (q < end && (*q == '+' || *q == '-'))
        ++q;
    int digits = 0;
    while (q < end && *q >= '0' && *q <= '9')
        ++q, ++digits;
    if (q < end && *q == '.') {
        ++q;
        while (q < end && *q >= '0' && *q <= '9')
            ++q, ++digits;
    }
    if (digits == 0)
        return false;
    if (q < end && (*q == 'e' || *q == 'E')) {
        ++q;
        if (q < end && (*q == '+' || *q == '-'))
            ++q;
        int expDigits = 0;
        while (q < end && *q >= '0' && *q <= '9')
            ++q, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (q != end)
        return false;
    // The C locale's conversion: the process locale (a "," decimal
    // separator) must not change what an option string means. glibc hands
    // out its static C locale object here, nothing is allocated.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const std::string text(p, size_t(end - p));
    errno = 0;
    const double v = strtod_l(text.c_str(), nullptr, cLocale);
    if (errno == ERANGE && std::isinf(v))
        return false;
    result = v;
    return true;
}

}  // namespace

int ParseIntOption(const AnsiString& name, const AnsiString& value)
{
    int v = 0;
    if (!TryStrToInt(String::fromLatin1(value), v))
        raiseParseError(SExpectedInteger, name, value);
    return v;
}

int64_t ParseInt64Option(const AnsiString& name, const AnsiString& value)
{
    int64_t v = 0;
    if (!TryStrToInt64(String::fromLatin1(value), v))
        raiseParseError(SExpectedInt64, name, value);
    return v;
}

float ParseFloatOption(const AnsiString& name, const AnsiString& value)
{
    // A value beyond single precision would be stored as an infinity.
    double v = 0;
    if (!parseDouble(value, v) || std::fabs(v) > double(std::numeric_limits<float>::max()))
        raiseParseError(SExpectedFloat, name, value);
    return static_cast<float>(v);
}

double ParseDoubleOption(const AnsiString& name, const AnsiString& value)
{
    double v = 0;
    if (!parseDouble(value, v))
        raiseParseError(SExpectedDouble, name, value);
    return v;
}

int64_t ParseTimeOption(const AnsiString& name, const AnsiString& value, bool isDuration)
{
    int64_t us = 0;
    if (ff::av_parse_time(&us, value.constData(), isDuration ? 1 : 0) < 0)
        throw EFFOptionError(LoadResStringFmt(
            SInvalidTimeSpec, {isDuration ? String::fromLatin1("duration") : String::fromLatin1("date"), name, value}));
    return us;
}

// ---- the library option set ------------------------------------------------

void TAVDictionaryDeleter::operator()(AVDictionary* dict) const
{
    if (ff::av_dict_free)
        ff::av_dict_free(&dict);
}

void TAVFreeDeleter::operator()(void* p) const
{
    if (ff::av_free)
        ff::av_free(p);
}

TLibavOptions::~TLibavOptions()
{
    UninitOpts(*this);
}

void UninitOpts(TLibavOptions& opts)
{
    if (opts.SwsOpts && ff::sws_freeContext)
        ff::sws_freeContext(opts.SwsOpts);
    opts.SwsOpts = nullptr;
    TAVDictionaryDeleter()(opts.FormatOpts);
    opts.FormatOpts = nullptr;
    TAVDictionaryDeleter()(opts.CodecOpts);
    opts.CodecOpts = nullptr;
}

void InitOpts(TLibavOptions& opts, int swsFlags)
{
    UninitOpts(opts);
    opts.SwsOpts = ff::sws_getContext(16, 16, AV_PIX_FMT_YUV420P, 16, 16, AV_PIX_FMT_YUV420P, swsFlags, nullptr,
                                      nullptr, nullptr);
}

namespace {

int dictFlagsFor(const AVOption* o)
{
    return o->type == AV_OPT_TYPE_FLAGS ? AV_DICT_APPEND : 0;
}

int optionFailure(const TResStringRec& text, const AnsiString& opt, int code, String& OptionError)
{
    OptionError = LoadResStringFmt(text, {opt});
    const AnsiString logLine = OptionError.toUtf8() + '\n';
    ff::av_log(nullptr, AV_LOG_ERROR, "%s", logLine.constData());
    return code;
}

}  // namespace

int OptDefault(TLibavOptions& opts, const AnsiString& opt, const AnsiString& arg, String& OptionError)
{
    const qsizetype colon = opt.indexOf(':');
    const AnsiString stripped = opt.left(std::min<qsizetype>(colon < 0 ? opt.size() : colon, 127));
    const AVClass* cc = ff::avcodec_get_class();
    const AVClass* fc = ff::avformat_get_class();
    const AVClass* sc = ff::sws_get_class();
    const int search = AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ;

    const AVOption* oc = ff::av_opt_find(&cc, stripped.constData(), nullptr, 0, search);
    if (!oc && (opt.startsWith('v') || opt.startsWith('a') || opt.startsWith('s')))
        oc = ff::av_opt_find(&cc, opt.constData() + 1, nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
    if (oc) {
        const int ret = ff::av_dict_set(&opts.CodecOpts, opt.constData(), arg.constData(), dictFlagsFor(oc));
        if (ret < 0)
            return optionFailure(SErrorSettingOption, opt, ret, OptionError);
    }

    const AVOption* of = ff::av_opt_find(&fc, opt.constData(), nullptr, 0, search);
    if (of) {
        const int ret = ff::av_dict_set(&opts.FormatOpts, opt.constData(), arg.constData(), dictFlagsFor(of));
        if (ret < 0)
            return optionFailure(SErrorSettingOption, opt, ret, OptionError);
    }

    const AVOption* os = ff::av_opt_find(&sc, opt.constData(), nullptr, 0, search);
    if (os) {
        // Without InitOpts there is no scaler context to hold the value.
        const int ret =
            opts.SwsOpts ? ff::av_opt_set(opts.SwsOpts, opt.constData(), arg.constData(), 0) : AVERROR(EINVAL);
        if (ret < 0)
            return optionFailure(SErrorSettingOption, opt, ret, OptionError);
    }
    if (oc || of || os)
        return 0;
    return optionFailure(SUnrecognizedOption, opt, AVERROR_OPTION_NOT_FOUND, OptionError);
}

// ---- streams -----------------------------------------------------------------

int MatchStreamSpecifier(AVFormatContext* s, AVStream* st, const char* specifier)
{
    if (*specifier >= '0' && *specifier <= '9')
        return std::strtoll(specifier, nullptr, 0) == st->index ? 1 : 0;
    if (*specifier == 'v' || *specifier == 'a' || *specifier == 's' || *specifier == 'd' || *specifier == 't') {
        AVMediaType type = AVMEDIA_TYPE_VIDEO;
        switch (*specifier) {
        case 'a': type = AVMEDIA_TYPE_AUDIO; break;
        case 's': type = AVMEDIA_TYPE_SUBTITLE; break;
        case 'd': type = AVMEDIA_TYPE_DATA; break;
        case 't': type = AVMEDIA_TYPE_ATTACHMENT; break;
        default: break;
        }
        if (st->codecpar->codec_type != type)
            return 0;
        if (specifier[1] != ':')
            return 1;
        long long n = std::strtoll(specifier + 2, nullptr, 0);
        for (unsigned i = 0; i < s->nb_streams; ++i)
            if (s->streams[i]->codecpar->codec_type == type && n-- == 0)
                return int(i) == st->index ? 1 : 0;
        return 0;
    }
    if (specifier[0] == 'p' && specifier[1] == ':') {
        char* endptr = nullptr;
        const long long id = std::strtoll(specifier + 2, &endptr, 0);
        for (unsigned i = 0; i < s->nb_programs; ++i) {
            const AVProgram* program = s->programs[i];
            if (program->id != id)
                continue;
            if (*endptr == ':') {
                const long long k = std::strtoll(endptr + 1, nullptr, 0);
                return k >= 0 && k < program->nb_stream_indexes &&
                               program->stream_index[k] == unsigned(st->index)
                           ? 1
                           : 0;
            }
            for (unsigned j = 0; j < program->nb_stream_indexes; ++j)
                if (program->stream_index[j] == unsigned(st->index))
                    return 1;
        }
        return 0;
    }
    if (*specifier == 0)
        return 1;
    ff::av_log(s, AV_LOG_ERROR, "Invalid stream specifier: \"%s\"\n", specifier);
    return AVERROR(EINVAL);
}

TAVDictionaryPtr FilterCodecOptions(const AVDictionary* opts, const AVCodec* codec, AVFormatContext* s,
                                    AVStream* st)
{
    if (!codec)
        return nullptr;
    int flags = s->oformat ? AV_OPT_FLAG_ENCODING_PARAM : AV_OPT_FLAG_DECODING_PARAM;
    char prefix = 0;
    switch (codec->type) {
    case AVMEDIA_TYPE_VIDEO:
        prefix = 'v';
        flags |= AV_OPT_FLAG_VIDEO_PARAM;
        break;
    case AVMEDIA_TYPE_AUDIO:
        prefix = 'a';
        flags |= AV_OPT_FLAG_AUDIO_PARAM;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        prefix = 's';
        flags |= AV_OPT_FLAG_SUBTITLE_PARAM;
        break;
    default:
        break;
    }
    const AVClass* cc = ff::avcodec_get_class();
    const AVClass* pc = codec->priv_class;
    TAVDictionaryPtr result;
    const auto add = [&result](const char* key, const char* value) {
        AVDictionary* d = result.release();
        ff::av_dict_set(&d, key, value, 0);
        result.reset(d);
    };
    const AVDictionaryEntry* t = nullptr;
    while ((t = ff::av_dict_get(opts, "", t, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        // Work on a copy: the caller's dictionary keeps its keys.
        AnsiString key(t->key);
        const qsizetype colon = key.indexOf(':');
        if (colon >= 0) {
            const int match = MatchStreamSpecifier(s, st, t->key + colon + 1);
            if (match == 0)
                continue;
            if (match < 0)
                return nullptr;
            key.truncate(colon);
        }
        if (ff::av_opt_find(&cc, key.constData(), nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ) ||
            (pc && ff::av_opt_find(&pc, key.constData(), nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ)))
            add(key.constData(), t->value);
        else if (prefix && key.startsWith(prefix) &&
                 ff::av_opt_find(&cc, key.constData() + 1, nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ))
            add(key.constData() + 1, t->value);
    }
    return result;
}

TStreamInfoOptions& TStreamInfoOptions::operator=(TStreamInfoOptions&& other) noexcept
{
    if (this != &other) {
        clear();
        FDicts = std::move(other.FDicts);
        other.FDicts.clear();
    }
    return *this;
}

TStreamInfoOptions::~TStreamInfoOptions()
{
    clear();
}

void TStreamInfoOptions::clear()
{
    for (AVDictionary* d : FDicts)
        TAVDictionaryDeleter()(d);
    FDicts.clear();
}

TStreamInfoOptions StreamInfoOptions(AVFormatContext* s, const AVDictionary* codecOpts)
{
    TStreamInfoOptions result;
    result.FDicts.reserve(s->nb_streams);
    for (unsigned i = 0; i < s->nb_streams; ++i) {
        AVStream* st = s->streams[i];
        result.FDicts.push_back(
            FilterCodecOptions(codecOpts, ff::avcodec_find_decoder(st->codecpar->codec_id), s, st).release());
    }
    return result;
}

// ---- memory and files --------------------------------------------------------

void* GrowArray(void* array, int elemSize, int& count, int newCount)
{
    if (elemSize <= 0 || newCount >= INT_MAX / elemSize)
        throw Exception(LoadResString(SArrayTooBig));
    if (count < newCount) {
        void* grown = ff::av_realloc(array, size_t(newCount) * size_t(elemSize));
        if (!grown)
            throw Exception(LoadResString(SCouldNotAllocBuffer));
        std::memset(static_cast<char*>(grown) + size_t(count) * size_t(elemSize), 0,
                    size_t(newCount - count) * size_t(elemSize));
        count = newCount;
        return grown;
    }
    return array;
}

int ReadFileContents(const AnsiString& fileName, TAVBufferPtr& buffer, int& size)
{
    buffer.reset();
    size = 0;
    std::FILE* f = std::fopen(fileName.constData(), "rb");
    if (!f) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Cannot read file \"%s\"\n", fileName.constData());
        return -1;
    }
    int result = 0;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        length = std::ftell(f);
    if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        // Not a seekable file: its length cannot be known beforehand.
        ff::av_log(nullptr, AV_LOG_ERROR, "Error while reading file \"%s\"\n", fileName.constData());
        result = AVERROR(EIO);
    } else if (length >= INT_MAX) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Could not allocate file buffer\n");
        result = AVERROR(ENOMEM);
    } else {
        TAVBufferPtr data(static_cast<uint8_t*>(ff::av_malloc(size_t(length) + 1)));
        if (!data) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Could not allocate file buffer\n");
            result = AVERROR(ENOMEM);
        } else if (std::fread(data.get(), 1, size_t(length), f) < size_t(length)) {
            if (std::ferror(f)) {
                ff::av_log(nullptr, AV_LOG_ERROR, "Error while reading file \"%s\"\n", fileName.constData());
                result = AVERROR(EIO);
            } else {
                result = AVERROR_EOF;
            }
        } else {
            data.get()[length] = 0;
            size = int(length) + 1;
            buffer = std::move(data);
        }
    }
    std::fclose(f);
    return result;
}

// ---- names and times -----------------------------------------------------------

String CodecDescription(const AVCodecContext* ctx, bool encoder)
{
    const AVCodec* codec =
        encoder ? ff::avcodec_find_encoder(ctx->codec_id) : ff::avcodec_find_decoder(ctx->codec_id);
    if (codec) {
        const String name = LibraryText(codec->name);
        const String longName = codec->long_name ? Trim(LibraryText(codec->long_name)) : String();
        return longName.isEmpty() ? name : name + u'(' + longName + u')';
    }
    if (ctx->codec_id == AV_CODEC_ID_MPEG2TS)
        return QStringLiteral("mpeg2ts");
    // The context no longer carries a codec name: the id's own name stands
    // in for it (an id the library does not describe has none).
    if (const AVCodecDescriptor* d = ff::avcodec_descriptor_get(ctx->codec_id)) {
        const String name = d->name ? Trim(LibraryText(d->name)) : String();
        if (!name.isEmpty())
            return name;
    }
    const unsigned tag = ctx->codec_tag;
    String chars;
    for (int i = 0; i < 4; ++i) {
        const unsigned c = (tag >> (8 * i)) & 0xFF;
        if (c < 32 || c > 126)
            return QStringLiteral("0x") + String::number(tag, 16).rightJustified(4, u'0');
        chars += QChar(char16_t(c));
    }
    return chars + QStringLiteral(" / 0x") + String::number(tag, 16).toUpper().rightJustified(4, u'0');
}

String MediaTypeName(int mediaType)
{
    switch (mediaType) {
    case 0: return QStringLiteral("Video");
    case 1: return QStringLiteral("Audio");
    case 2: return QStringLiteral("Data");
    case 3: return QStringLiteral("Subtitle");
    case 4: return QStringLiteral("Attachment");
    default: return QStringLiteral("Unknown");
    }
}

String PictureTypeName(int pictureType)
{
    switch (pictureType) {
    case 1: return QStringLiteral("Intra");
    case 2: return QStringLiteral("Predicted");
    case 3: return QStringLiteral("Bi-dir predicted");
    case 4: return QStringLiteral("S(GMC)-VOP MPEG4");
    case 5: return QStringLiteral("Switching Intra");
    case 6: return QStringLiteral("Switching Predicted");
    case 7: return QStringLiteral("BI type");
    default: return QStringLiteral("Unknown");
    }
}

String DictionaryValue(const AVDictionary* dict, const AnsiString& key, const String& defaultValue)
{
    const AVDictionaryEntry* e = ff::av_dict_get(dict, key.constData(), nullptr, AV_DICT_MATCH_CASE);
    return e ? LibraryText(e->value) : defaultValue;
}

String MicrosecondsToText(int64_t t)
{
    if (t == AV_NOPTS_VALUE)
        return QStringLiteral("N/A");
    // The parts of a negative time are shown as one negative time, not as
    // a row of negative fields.
    const bool negative = t < 0;
    const uint64_t u = negative ? 0 - uint64_t(t) : uint64_t(t);
    return String::asprintf("%s%.2llu:%.2llu:%.2llu.%.3llu", negative ? "-" : "",
                            static_cast<unsigned long long>(u / 3600000000ULL),
                            static_cast<unsigned long long>(u / 60000000ULL % 60),
                            static_cast<unsigned long long>(u / 1000000ULL % 60),
                            static_cast<unsigned long long>(u % 1000000ULL / 1000));
}

int64_t FrameDurationOf(AVRational rate)
{
    if (rate.num == 0 || rate.den == 0)
        return 40000;
    return int64_t(1000000) * rate.den / rate.num;
}

namespace {

// Seconds east of UTC outside daylight saving: the offset now, or when now
// is in daylight saving, the offset on a day of this year that is not.
long standardGmtOffset()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (local.tm_isdst <= 0)
        return local.tm_gmtoff;
    for (int month : {0, 6}) {
        std::tm probe{};
        probe.tm_year = local.tm_year;
        probe.tm_mon = month;
        probe.tm_mday = 1;
        probe.tm_hour = 12;
        probe.tm_isdst = -1;
        const std::time_t t = std::mktime(&probe);
        std::tm at{};
        if (t != std::time_t(-1) && localtime_r(&t, &at) && at.tm_isdst == 0)
            return at.tm_gmtoff;
    }
    return local.tm_gmtoff;
}

}  // namespace

String TimeZoneText()
{
    const long offsetMinutes = standardGmtOffset() / 60;
    if (offsetMinutes == 0)
        return QStringLiteral("UTC");
    const long a = std::labs(offsetMinutes);
    return String::asprintf("UTC%c%.2ld:%.2ld", offsetMinutes > 0 ? '+' : '-', a / 60, a % 60);
}

TDateTime LocalTimeOffset()
{
    return double(standardGmtOffset()) / 86400.0;
}

TDateTime UnixTimeToLocal(int64_t seconds)
{
    return double(seconds) / 86400.0 + 25569.0 + LocalTimeOffset();
}
