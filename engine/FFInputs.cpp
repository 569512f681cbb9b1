// Opening the inputs of a task: the container, its stream information, the
// start position, and one source record per stream.
#include <cstdlib>
#include <cstring>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

using namespace FFTaskConsts;

namespace {

AnsiString lastValueText(const TStreamValues& list)
{
    return std::visit(
        [](const auto& v) -> AnsiString {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, AnsiString>)
                return v;
            else
                return AnsiString::number(v);
        },
        list.back().Value);
}

}  // namespace

// An integer in any base, else the first four characters as a code.
uint32_t ParseCodecTag(const AnsiString& text)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.constData(), &end, 0);
    if (end && *end == 0 && end != text.constData())
        return uint32_t(value);
    const AnsiString four = (text + AnsiString(4, '\0')).left(4);
    return uint32_t(uint8_t(four[0])) | uint32_t(uint8_t(four[1])) << 8 | uint32_t(uint8_t(four[2])) << 16 |
           uint32_t(uint8_t(four[3])) << 24;
}

int TCustomFFmpeg::OpenInput(TFileOptions* po, const String& fileName)
{
    TFileOptions& o = po ? *po : FOptions;
    auto fail = [this](const String& text, int code) {
        FLastErrorText = text;
        logText(llFatal, text);
        return code;
    };

    const AVInputFormat* fmt = nullptr;
    if (!o.FormatName.isEmpty()) {
        fmt = ff::av_find_input_format(o.FormatName.constData());
        if (!fmt)
            return fail(LoadResStringFmt(SUnknownInputFormat, {o.FormatName}), AVERROR(EINVAL));
    }
    AVFormatContext* ic = ff::avformat_alloc_context();
    if (!ic)
        return fail(LoadResString(SAllocContextFailed), AVERROR(ENOMEM));

    if (!o.AudioSampleRates.empty())
        ff::av_dict_set(&FLibavOpts.FormatOpts, "sample_rate", lastValueText(o.AudioSampleRates).constData(), 0);
    if (!o.AudioChannels.empty())
        ff::av_dict_set(&FLibavOpts.FormatOpts, "channels", lastValueText(o.AudioChannels).constData(), 0);
    if (!o.FrameRates.empty())
        ff::av_dict_set(&FLibavOpts.FormatOpts, "framerate", lastValueText(o.FrameRates).constData(), 0);
    if (!o.FrameSizes.empty())
        ff::av_dict_set(&FLibavOpts.FormatOpts, "video_size", lastValueText(o.FrameSizes).constData(), 0);
    if (!o.FramePixFmts.empty())
        ff::av_dict_set(&FLibavOpts.FormatOpts, "pixel_format", lastValueText(o.FramePixFmts).constData(), 0);

    try {
        if (!FSettings.VideoCodecName.isEmpty()) {
            ic->video_codec = FindCodecOrFail(FSettings.VideoCodecName, AVMEDIA_TYPE_VIDEO, false);
            ic->video_codec_id = ic->video_codec->id;
        }
        if (!FSettings.AudioCodecName.isEmpty()) {
            ic->audio_codec = FindCodecOrFail(FSettings.AudioCodecName, AVMEDIA_TYPE_AUDIO, false);
            ic->audio_codec_id = ic->audio_codec->id;
        }
        if (!FSettings.SubtitleCodecName.isEmpty()) {
            ic->subtitle_codec = FindCodecOrFail(FSettings.SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE, false);
            ic->subtitle_codec_id = ic->subtitle_codec->id;
        }
    } catch (...) {
        ff::avformat_free_context(ic);
        throw;
    }
    ic->flags |= AVFMT_FLAG_NONBLOCK;
    ic->interrupt_callback = FReadInterruptCB;
    if (FSettings.LoopInput != 0) {
        logText(llWarning, LoadResString(SLoopInputDeprecated));
        ff::av_dict_set_int(&FLibavOpts.FormatOpts, "loop", FSettings.LoopInput, 0);
    }

    const AnsiString utf8 = Utf8FileName(fileName);
    setReadMark();
    // A failed open frees the context.
    int ret = ff::avformat_open_input(&ic, utf8.constData(), fmt, &FLibavOpts.FormatOpts);
    if (ret < 0)
        return fail(ErrorText(fileName, ret), ret);
    TAVInputContextPtr input(ic);

    CheckUnusedOptions(FLibavOpts.FormatOpts);

    std::vector<const AVCodec*> decoders(ic->nb_streams);
    for (unsigned i = 0; i < ic->nb_streams; ++i)
        decoders[i] = ChooseDecoder(o, ic, ic->streams[i]);
    TStreamInfoOptions streamOpts = StreamInfoOptions(ic, FLibavOpts.CodecOpts);

    if (OnBeforeFindStreamInfo.Assigned())
        OnBeforeFindStreamInfo(this, ic);

    setReadMark();
    ret = ff::avformat_find_stream_info(ic, streamOpts.Data());
    if (ret < 0)
        return fail(LoadResStringFmt(SNoCodecParameters, {fileName}), ret);

    int64_t timestamp = o.StartTime;
    if (ic->start_time != AV_NOPTS_VALUE)
        timestamp += ic->start_time;
    if (o.StartTime != 0) {
        setReadMark();
        ret = ff::avformat_seek_file(ic, -1, INT64_MIN, timestamp, INT64_MAX, 0);
        if (ret < 0)
            logText(llWarning, LoadResStringFmt(SCouldNotSeek, {fileName, double(timestamp) / 1000000.0}));
    }

    // Some containers (MPEG program streams) find their streams only while
    // probing: choose a decoder for every stream that appeared.
    for (unsigned i = unsigned(decoders.size()); i < ic->nb_streams; ++i)
        decoders.push_back(ChooseDecoder(o, ic, ic->streams[i]));
    const int inputIndex = int(FSourceFiles.size());
    RegisterInputStreams(o, ic, decoders.data());
    ff::av_dump_format(ic, inputIndex, utf8.constData(), 0);

    if (ic->duration != AV_NOPTS_VALUE && ic->duration - o.StartTime > FLongestInputDuration)
        FLongestInputDuration = ic->duration - o.StartTime;

    TSourceFile file;
    file.StreamCount = int(ic->nb_streams);
    file.FirstStream = int(FSourceStreams.size()) - file.StreamCount;
    file.RateEmu = o.RateEmu != 0;
    if (ic->duration != AV_NOPTS_VALUE && ic->duration - o.StartTime > 0)
        file.Duration = ic->duration - o.StartTime;
    file.TSOffset = o.InputTSOffset - (FSettings.CopyTS ? 0 : timestamp);
    file.Decoder = std::make_unique<TFFDecoder>(nullptr);
    file.Decoder->AttachFormatContext(ic);
    file.Context = std::move(input);
    file.FileName = fileName;
    FSourceFiles.push_back(std::move(file));

    for (const TStreamValue& entry : o.DumpAttachment) {
        for (unsigned i = 0; i < ic->nb_streams; ++i) {
            const int r = MatchStreamSpecifier(ic, ic->streams[i], entry.Specifier.constData());
            if (r > 0)
                SaveAttachment(ic->streams[i], std::get<AnsiString>(entry.Value));
            else if (r < 0)
                RaiseError(ErrorText(LoadResString(FFmpegConsts::SCheckStreamSpecifier), r));
        }
    }
    ResetOptionsContext(o, true);
    return inputIndex;
}

void TCustomFFmpeg::RegisterInputStreams(TFileOptions& o, AVFormatContext* ic, const AVCodec* const* decoders)
{
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        AVStream* st = ic->streams[i];
        AVCodecParameters* par = st->codecpar;
        TSourceStream ist;
        ist.FileIndex = int(FSourceFiles.size());
        ist.Stream = st;
        ist.Decoder = decoders[i];
        ist.Options = FilterCodecOptions(FLibavOpts.CodecOpts, ist.Decoder, ic, st);
        MatchPerStreamOpt(o.TSScale, ic, st, ist.TSScale);
        AnsiString tag;
        MatchPerStreamOpt(o.CodecTags, ic, st, tag);
        if (!tag.isEmpty())
            par->codec_tag = ParseCodecTag(tag);

        switch (par->codec_type) {
        case AVMEDIA_TYPE_VIDEO: {
            if (!ist.Decoder)
                ist.Decoder = ff::avcodec_find_decoder(par->codec_id);
            // The codec time base is no longer known; the stream's two rates
            // tell the same story.
            const AVRational r = st->r_frame_rate, a = st->avg_frame_rate;
            if (r.num && r.den && a.num && a.den && (r.num != a.num || r.den != a.den))
                logText(llInfo, LoadResStringFmt(SFrameRateDiffers, {int(i), av_q2d(a), a.num, a.den, av_q2d(r),
                                                                     r.num, r.den}));
            if (o.VideoDisable)
                st->discard = AVDISCARD_ALL;
            else if (FSettings.VideoDiscard)
                st->discard = AVDiscard(FSettings.VideoDiscard);
            break;
        }
        case AVMEDIA_TYPE_AUDIO:
            if (!ist.Decoder)
                ist.Decoder = ff::avcodec_find_decoder(par->codec_id);
            if (o.AudioDisable)
                st->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_DATA:
            if (o.DataDisable)
                st->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            if (!ist.Decoder)
                ist.Decoder = ff::avcodec_find_decoder(par->codec_id);
            if (o.SubtitleDisable)
                st->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_ATTACHMENT:
        case AVMEDIA_TYPE_UNKNOWN:
            break;
        default:
            RaiseError(LoadResString(SNeverOccur));
        }
        FSourceStreams.push_back(std::move(ist));
    }
}

void TCustomFFmpeg::SaveAttachment(AVStream* st, const AnsiString& name)
{
    const int inputIndex = int(FSourceFiles.size()) - 1;
    if (st->codecpar->extradata_size <= 0) {
        logText(llWarning, LoadResStringFmt(SNoExtradata, {inputIndex, st->index}));
        return;
    }
    AnsiString fileName = name;
    if (fileName.isEmpty()) {
        const AVDictionaryEntry* e = ff::av_dict_get(st->metadata, "filename", nullptr, AV_DICT_MATCH_CASE);
        if (!e)
            RaiseError(SNoFilenameTag, {inputIndex, st->index});
        fileName = e->value;
    }
    if (!CheckOverwrite(String::fromUtf8(fileName)))
        return;
    AVIOContext* out = nullptr;
    setWriteMark();
    if (ff::avio_open2(&out, fileName.constData(), AVIO_FLAG_WRITE, &FWriteInterruptCB, nullptr) < 0) {
        logText(llWarning, LoadResStringFmt(SCouldNotOpenForWriting, {String::fromUtf8(fileName)}));
        return;
    }
    setWriteMark();
    ff::avio_write(out, st->codecpar->extradata, st->codecpar->extradata_size);
    ff::avio_flush(out);
    ff::avio_closep(&out);
}

namespace {

// Whether the name starts with the name of a protocol of the libraries
// other than "file" and a colon ("a:b.mkv" is an ordinary file name).
bool isProtocolAddress(const AnsiString& name)
{
    const qsizetype colon = name.indexOf(':');
    if (colon <= 1)
        return false;
    const AnsiString prefix = name.left(colon);
    if (prefix == "file")
        return false;
    void* opaque = nullptr;
    while (const char* protocol = ff::avio_enum_protocols(&opaque, 1))
        if (prefix == protocol)
            return true;
    return false;
}

}  // namespace

bool TCustomFFmpeg::CheckOverwrite(const String& fileName)
{
    if (FSettings.Overwrite && !FSettings.NeverOverwrite)
        return true;
    const AnsiString utf8 = Utf8FileName(fileName);
    if (isProtocolAddress(utf8))
        return true;
    if (ff::avio_check(utf8.constData(), 0) < 0)
        return true;
    FLastErrorText = LoadResStringFmt(SFileExistsIgnore, {fileName});
    logText(llWarning, FLastErrorText);
    return false;
}
