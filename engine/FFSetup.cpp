// Setting a conversion up: the parameters of every output stream, the
// encoders and decoders, the output headers and the stream mapping.
#include <cmath>
#include <cstring>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

using namespace FFTaskConsts;

namespace {

String codecName(AVCodecID id)
{
    return String::fromLatin1(ff::avcodec_get_name(id));
}

// A copy of an array the codec library frees with its context.
template <class T>
T* copyArray(const T* source, size_t count)
{
    if (!source || count == 0)
        return nullptr;
    T* copy = static_cast<T*>(ff::av_malloc(count * sizeof(T)));
    if (copy)
        std::memcpy(copy, source, count * sizeof(T));
    return copy;
}

}  // namespace

TCodecContextPtr CloneEncoderSettings(const AVCodecContext* src, const AVCodec* codec)
{
    TCodecContextPtr copy(ff::avcodec_alloc_context3(codec));
    AVCodecContext* dst = copy.get();
    if (!dst)
        return copy;
    // What the task sets on an encoder itself; the stream's codec options
    // are applied again when the copy is opened.
    dst->codec_type = src->codec_type;
    dst->codec_id = src->codec_id;
    dst->codec_tag = src->codec_tag;
    dst->bit_rate = src->bit_rate;
    dst->flags = src->flags;
    dst->flags2 = src->flags2;
    dst->global_quality = src->global_quality;
    dst->time_base = src->time_base;
    dst->framerate = src->framerate;
    dst->width = src->width;
    dst->height = src->height;
    dst->pix_fmt = src->pix_fmt;
    dst->sample_aspect_ratio = src->sample_aspect_ratio;
    dst->gop_size = src->gop_size;
    dst->intra_dc_precision = src->intra_dc_precision;
    dst->rc_buffer_size = src->rc_buffer_size;
    dst->rc_initial_buffer_occupancy = src->rc_initial_buffer_occupancy;
    dst->bits_per_raw_sample = src->bits_per_raw_sample;
    dst->color_range = src->color_range;
    dst->color_primaries = src->color_primaries;
    dst->color_trc = src->color_trc;
    dst->colorspace = src->colorspace;
    dst->chroma_sample_location = src->chroma_sample_location;
    dst->sample_rate = src->sample_rate;
    dst->sample_fmt = src->sample_fmt;
    ff::av_channel_layout_uninit(&dst->ch_layout);
    ff::av_channel_layout_copy(&dst->ch_layout, &src->ch_layout);
    dst->stats_in = src->stats_in;
    dst->intra_matrix = copyArray(src->intra_matrix, 64);
    dst->inter_matrix = copyArray(src->inter_matrix, 64);
    dst->rc_override = copyArray(src->rc_override, size_t(std::max(0, src->rc_override_count)));
    dst->rc_override_count = dst->rc_override ? src->rc_override_count : 0;
    return copy;
}

void TCustomFFmpeg::CheckUnusedOptions(const AVDictionary* dict)
{
    const AVDictionaryEntry* e = ff::av_dict_get(dict, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    if (!e)
        return;
    const String text = LoadResStringFmt(SOptionNotFound, {e->key});
    if (FStrictOptions)
        RaiseError(text);
    FLastErrorText = text;
}

void TCustomFFmpeg::RefuseExperimental(const AVCodecContext* ctx, bool isEncoder)
{
    const AVCodec* codec = ctx->codec;
    if (!codec || !(codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) ||
        ctx->strict_std_compliance <= FF_COMPLIANCE_EXPERIMENTAL)
        return;
    const char* word = isEncoder ? "encoder" : "decoder";
    String text = LoadResStringFmt(SExperimental, {word, codec->name});
    const AVCodec* other = isEncoder ? ff::avcodec_find_encoder(codec->id) : ff::avcodec_find_decoder(codec->id);
    if (other && !(other->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
        text += QLatin1String("\r\n") + LoadResStringFmt(SNonExperimental, {word, other->name});
    RaiseError(text);
}

void TCustomFFmpeg::FitSampleFormat(AVCodecContext* enc, const AVCodec* codec)
{
    if (!codec || !codec->sample_fmts)
        return;
    for (const AVSampleFormat* p = codec->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p)
        if (*p == enc->sample_fmt)
            return;
    if ((codec->capabilities & AV_CODEC_CAP_LOSSLESS) &&
        ff::av_get_bytes_per_sample(codec->sample_fmts[0]) < ff::av_get_bytes_per_sample(enc->sample_fmt))
        logText(llError, LoadResString(SNotLossless));
    if (const char* name = ff::av_get_sample_fmt_name(enc->sample_fmt))
        logText(llWarning, LoadResStringFmt(SIncompatibleSampleFormat,
                                            {name, codec->name, ff::av_get_sample_fmt_name(codec->sample_fmts[0])}));
    enc->sample_fmt = codec->sample_fmts[0];
}

void TCustomFFmpeg::FitSampleRate(AVCodecContext* enc, const AVCodec* codec)
{
    if (!codec || !codec->supported_samplerates)
        return;
    int best = 0, bestDiff = INT_MAX;
    for (const int* p = codec->supported_samplerates; *p; ++p) {
        const int diff = std::abs(enc->sample_rate - *p);
        if (diff < bestDiff) {
            bestDiff = diff;
            best = *p;
        }
    }
    if (bestDiff != 0)
        logText(llWarning, LoadResStringFmt(SClosestSampleRate, {best}));
    enc->sample_rate = best;
}

void TCustomFFmpeg::FitPixelFormat(AVCodecContext* enc, const AVCodec* codec)
{
    if (!codec || !codec->pix_fmts)
        return;
    static const AVPixelFormat mjpeg[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUV420P,
                                          AV_PIX_FMT_YUV422P, AV_PIX_FMT_NONE};
    static const AVPixelFormat ljpeg[] = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUVJ444P,
                                          AV_PIX_FMT_YUV420P,  AV_PIX_FMT_YUV422P,  AV_PIX_FMT_YUV444P,
                                          AV_PIX_FMT_BGRA,     AV_PIX_FMT_NONE};
    const AVPixelFormat* list = codec->pix_fmts;
    if (enc->strict_std_compliance < 0) {
        if (codec->id == AV_CODEC_ID_MJPEG)
            list = mjpeg;
        else if (codec->id == AV_CODEC_ID_LJPEG)
            list = ljpeg;
    }
    const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(enc->pix_fmt);
    const int hasAlpha = desc ? (desc->nb_components % 2 == 0) : 0;
    AVPixelFormat best = AV_PIX_FMT_NONE;
    for (const AVPixelFormat* p = list; *p != AV_PIX_FMT_NONE; ++p) {
        best = ff::av_find_best_pix_fmt_of_2(best, *p, enc->pix_fmt, hasAlpha, nullptr);
        if (*p == enc->pix_fmt)
            return;
    }
    if (enc->pix_fmt != AV_PIX_FMT_NONE)
        logText(llWarning, LoadResStringFmt(SIncompatiblePixelFormat, {ff::av_get_pix_fmt_name(enc->pix_fmt),
                                                                       codec->name, ff::av_get_pix_fmt_name(best)}));
    enc->pix_fmt = best;
}

int TCustomFFmpeg::prepareStream(TTargetStream& ost)
{
    auto fail = [this](const String& text, int code) {
        FLastErrorText = text;
        logText(llError, text);
        return code;
    };
    TSourceStream& ist = FSourceStreams[size_t(ost.Source)];
    AVStream* st = ost.Stream;
    AVStream* ist_st = ist.Stream;
    AVCodecContext* enc = ost.Encoder.get();
    AVFormatContext* oc = FTargetFiles[size_t(ost.FileIndex)].Context.get();
    st->disposition = ist_st->disposition;
    enc->bits_per_raw_sample = ist_st->codecpar->bits_per_raw_sample;
    enc->chroma_sample_location = ist_st->codecpar->chroma_location;

    if (ost.Copy) {
        const AVCodecParameters* ipar = ist_st->codecpar;
        if (int64_t(ipar->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE >= INT_MAX)
            return fail(LoadResString(SExtradataTooLarge), AVERROR(EINVAL));
        const uint32_t userTag = enc->codec_tag;
        int ret = ff::avcodec_parameters_copy(st->codecpar, ipar);
        if (ret < 0)
            return fail(ErrorText(String::fromLatin1("avcodec_parameters_copy()"), ret), ret);
        const AVCodecTag* const* tags = oc->oformat->codec_tag;
        if (userTag) {
            st->codecpar->codec_tag = userTag;
        } else if (tags && ff::av_codec_get_id(tags, ipar->codec_tag) != ipar->codec_id &&
                   ff::av_codec_get_tag(tags, ipar->codec_id) != 0) {
            st->codecpar->codec_tag = 0;
        }
        st->time_base = ist_st->time_base;
        switch (ipar->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            if (OnVideoInputHook.Assigned() || OnVideoOutputHook.Assigned())
                return fail(LoadResString(FrameHookConsts::SCopyVideoHook), AVERROR(EINVAL));
            if (OnFrameInputHook.Assigned() || OnFrameOutputHook.Assigned())
                return fail(LoadResString(FrameHookConsts::SCopyFrameHook), AVERROR(EINVAL));
            if (FVideoHookChain && !FVideoHookChain->Empty())
                return fail(LoadResString(SCopyVideoHookPlugin), AVERROR(EINVAL));
            if (FPreviewFlags)
                return fail(LoadResString(SCopyPostHooks), AVERROR(EINVAL));
            if (!st->codecpar->sample_aspect_ratio.num)
                st->codecpar->sample_aspect_ratio = ist_st->sample_aspect_ratio.num
                                                        ? ist_st->sample_aspect_ratio
                                                        : AVRational{0, 1};
            st->sample_aspect_ratio = st->codecpar->sample_aspect_ratio;
            st->avg_frame_rate = ist_st->avg_frame_rate;
            st->r_frame_rate = ist_st->r_frame_rate;
            break;
        case AVMEDIA_TYPE_AUDIO:
            if (FSettings.Volume != 256)
                return fail(LoadResString(SCopyVolume), AVERROR(EINVAL));
            if (AudioHookAssigned())
                return fail(LoadResString(SCopyAudioHook), AVERROR(EINVAL));
            break;
        case AVMEDIA_TYPE_SUBTITLE:
        case AVMEDIA_TYPE_DATA:
        case AVMEDIA_TYPE_ATTACHMENT:
            break;
        default:
            return fail(LoadResString(SInvalidCodecTypeOut), -1);
        }
        return 0;
    }

    if (!ost.Codec)
        ost.Codec = ff::avcodec_find_encoder(st->codecpar->codec_id);
    ist.DecodingNeeded = true;
    ost.EncodingNeeded = true;
    const AVCodecParameters* ipar = ist_st->codecpar;
    switch (enc->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        return prepareAudioStream(ost);
    case AVMEDIA_TYPE_SUBTITLE:
        return fail(LoadResString(SSubtitleEncodingNotAvailable), AVERROR(ENOSYS));
    case AVMEDIA_TYPE_VIDEO:
        break;
    default:
        return fail(LoadResString(SInvalidCodecTypeOut), -1);
    }

    if (enc->pix_fmt == AV_PIX_FMT_NONE)
        enc->pix_fmt = AVPixelFormat(ipar->format);
    FitPixelFormat(enc, ost.Codec);
    if (enc->pix_fmt == AV_PIX_FMT_NONE)
        return fail(LoadResString(SPixelFormatUnknown), -1);
    if (enc->width == 0 || enc->height == 0) {
        enc->width = ipar->width;
        enc->height = ipar->height;
    }
    ost.VideoResample = enc->width != ipar->width || enc->height != ipar->height || enc->pix_fmt != ipar->format;
    if (ost.VideoResample)
        enc->bits_per_raw_sample = FSettings.RawSampleBits;
    ost.ResampleHeight = ipar->height;
    ost.ResampleWidth = ipar->width;
    ost.ResamplePixFmt = ipar->format;
    if (!ost.FrameRate.num) {
        ost.FrameRate = ist_st->r_frame_rate;
        if (!ost.FrameRate.num || !ost.FrameRate.den)
            ost.FrameRate = AVRational{25, 1};
    }
    if (ost.Codec && ost.Codec->supported_framerates && !ost.ForceFps)
        ost.FrameRate = ost.Codec->supported_framerates[ff::av_find_nearest_q_idx(ost.FrameRate,
                                                                                   ost.Codec->supported_framerates)];
    enc->time_base = AVRational{ost.FrameRate.den, ost.FrameRate.num};
    enc->framerate = ost.FrameRate;
    if (av_q2d(enc->time_base) < 0.001 && FSettings.VideoSync != 0 &&
        (FSettings.VideoSync == 1 || (FSettings.VideoSync == -1 && !(oc->oformat->flags & AVFMT_VARIABLE_FPS))))
        ff::av_log(oc, AV_LOG_WARNING, "%s", LoadResString(SFrameRateVeryHigh).toUtf8().constData());
    for (int64_t& t : ost.ForcedKeyFrames)
        t = ff::av_rescale_q(t, AV_TIME_BASE_Q, enc->time_base);
    // Tagged sources keep their colour description.
    if (enc->color_range == AVCOL_RANGE_UNSPECIFIED)
        enc->color_range = ipar->color_range;
    if (enc->color_primaries == AVCOL_PRI_UNSPECIFIED)
        enc->color_primaries = ipar->color_primaries;
    if (enc->color_trc == AVCOL_TRC_UNSPECIFIED)
        enc->color_trc = ipar->color_trc;
    if (enc->colorspace == AVCOL_SPC_UNSPECIFIED)
        enc->colorspace = ipar->color_space;

    FLastErrorText.clear();
    const int ret = BuildVideoFilterGraph(ost.Source, ost);
    if (ret < 0)
        return fail(FLastErrorText.isEmpty() ? ErrorText(LoadResString(SErrorOpeningFilters), ret)
                                             : LoadResString(SErrorOpeningFiltersColon) + FLastErrorText,
                    ret);
    return 0;
}

int TCustomFFmpeg::prepareAudioStream(TTargetStream& ost)
{
    const AVCodecParameters* ipar = FSourceStreams[size_t(ost.Source)].Stream->codecpar;
    AVCodecContext* enc = ost.Encoder.get();
    if (enc->sample_rate == 0)
        enc->sample_rate = ipar->sample_rate;
    FitSampleRate(enc, ost.Codec);
    enc->time_base = AVRational{1, enc->sample_rate};
    if (enc->sample_fmt == AV_SAMPLE_FMT_NONE)
        enc->sample_fmt = AVSampleFormat(ipar->format);
    FitSampleFormat(enc, ost.Codec);
    // The input part of an entry is checked here, where the source is known.
    const TSourceStream& ist = FSourceStreams[size_t(ost.Source)];
    for (const TChannelMapEntry& m : ost.ChannelMapEntries)
        if (m.FileIndex == -1 || (m.FileIndex == ist.FileIndex && m.StreamIndex == ist.Stream->index))
            ost.ChannelMap.push_back(m.FileIndex == -1 ? -1 : m.ChannelIndex);
    if (!ost.ChannelMap.empty() && enc->ch_layout.nb_channels == 0) {
        ff::av_channel_layout_default(&enc->ch_layout, int(ost.ChannelMap.size()));
        if (!ff::av_channel_layout_check(&enc->ch_layout)) {
            FLastErrorText = LoadResString(SNoChannelLayout);
            logText(llError, FLastErrorText);
            return -1;
        }
    }
    if (enc->ch_layout.nb_channels == 0) {
        if (ipar->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            ff::av_channel_layout_default(&enc->ch_layout, ipar->ch_layout.nb_channels);
        else
            ff::av_channel_layout_copy(&enc->ch_layout, &ipar->ch_layout);
    }
    // An encoder that lists its layouts gets the one of the same channel
    // count (5.1 and 5.1 with side channels are the same six channels).
    if (ost.Codec && ost.Codec->ch_layouts) {
        const AVChannelLayout* same = nullptr;
        for (const AVChannelLayout* l = ost.Codec->ch_layouts; l->nb_channels; ++l) {
            if (!ff::av_channel_layout_compare(l, &enc->ch_layout)) {
                same = nullptr;
                break;
            }
            if (!same && l->nb_channels == enc->ch_layout.nb_channels)
                same = l;
        }
        if (same) {
            ff::av_channel_layout_uninit(&enc->ch_layout);
            ff::av_channel_layout_copy(&enc->ch_layout, same);
        }
    }
    ost.AudioResample = !ost.ChannelMap.empty() || !(enc->sample_rate == ipar->sample_rate && FSettings.AudioSync <= 1 &&
                          enc->sample_fmt == ipar->format && !ff::av_channel_layout_compare(&enc->ch_layout, &ipar->ch_layout));
    ost.ResampleSampleFmt = ipar->format;
    ost.ResampleChannels = ipar->ch_layout.nb_channels;
    ost.ResampleSampleRate = ipar->sample_rate;
    if (!ost.Codec)
        return 0;  // the encoders' opening says what is missing
    const int bytes = std::max(1, ff::av_get_bytes_per_sample(enc->sample_fmt) * enc->ch_layout.nb_channels);
    ost.SampleQueue.reset(ff::av_audio_fifo_alloc(enc->sample_fmt, enc->ch_layout.nb_channels, std::max(1, 1024 / bytes)));
    if (!ost.SampleQueue) {
        FLastErrorText = LoadResString(SFifoAllocFailed);
        logText(llError, FLastErrorText);
        return AVERROR(ENOMEM);
    }
    return 0;
}

int TCustomFFmpeg::OpenInputDecoder(int sourceIndex, String& error)
{
    TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    AVStream* st = ist.Stream;
    if (ist.DecodingNeeded) {
        if (!ist.Decoder) {
            error = LoadResStringFmt(SDecoderNotFound,
                                     {codecName(st->codecpar->codec_id), ist.FileIndex, st->index});
            return AVERROR(EINVAL);
        }
        ist.DecoderContext.reset(ff::avcodec_alloc_context3(ist.Decoder));
        AVCodecContext* dec = ist.DecoderContext.get();
        if (!dec || ff::avcodec_parameters_to_context(dec, st->codecpar) < 0) {
            error = LoadResStringFmt(SErrorOpeningDecoder, {ist.FileIndex, st->index});
            return AVERROR(EINVAL);
        }
        dec->pkt_timebase = st->time_base;
        AVDictionary* opts = nullptr;
        ff::av_dict_copy(&opts, ist.Options.get(), 0);
        TAVDictionaryPtr left(opts);
        // Decoding gives the same pictures with any number of threads.
        if (!ff::av_dict_get(opts, "threads", nullptr, 0))
            ff::av_dict_set(&opts, "threads", "auto", 0);
        const int ret = ff::avcodec_open2(dec, ist.Decoder, &opts);
        left.release();
        left.reset(opts);
        if (ret < 0) {
            error = LoadResStringFmt(SErrorOpeningDecoder, {ist.FileIndex, st->index});
            return AVERROR(EINVAL);
        }
        RefuseExperimental(dec, false);
        CheckUnusedOptions(opts);
    }
    const AVRational rate = st->avg_frame_rate;
    ist.Time = rate.num && rate.den
                   ? -std::llround(double(st->codecpar->video_delay) * 1000000.0 / av_q2d(rate))
                   : 0;
    ist.NextTime = AV_NOPTS_VALUE;
    ist.AtStart = true;
    return 0;
}

namespace {

int initBitstreamFilters(TTargetStream& ost)
{
    const AVCodecParameters* par = ost.Stream->codecpar;
    AVRational tb = ost.Stream->time_base;
    for (TBSFPtr& bsf : ost.BitstreamFilters) {
        int ret = ff::avcodec_parameters_copy(bsf->par_in, par);
        if (ret < 0)
            return ret;
        bsf->time_base_in = tb;
        if ((ret = ff::av_bsf_init(bsf.get())) < 0)
            return ret;
        par = bsf->par_out;
        tb = bsf->time_base_out;
    }
    if (!ost.BitstreamFilters.empty()) {
        const int ret = ff::avcodec_parameters_copy(ost.Stream->codecpar, par);
        if (ret < 0)
            return ret;
        ost.Stream->time_base = tb;
    }
    return 0;
}

}  // namespace

int TCustomFFmpeg::PrepareConversion()
{
    auto fail = [this](const String& text, int code) {
        FLastErrorText = text;
        logText(llError, text);
        return code;
    };
    for (TSourceFile& file : FSourceFiles)
        if (file.RateEmu)
            for (int i = 0; i < file.StreamCount; ++i)
                FSourceStreams[size_t(file.FirstStream + i)].Start = ff::av_gettime_relative();

    for (size_t i = 0; i < FTargetFiles.size(); ++i) {
        AVFormatContext* oc = FTargetFiles[i].Context.get();
        if (oc->nb_streams == 0 && !(oc->oformat->flags & AVFMT_NOSTREAMS)) {
            ff::av_dump_format(oc, int(i), oc->url, 1);
            return fail(LoadResStringFmt(SNoStream, {int(i)}), AVERROR(EINVAL));
        }
    }
    for (size_t i = 0; i < FTargetStreams.size(); ++i) {
        TTargetStream& ost = FTargetStreams[i];
        if (ost.Source < 0)
            continue;
        if (FJoinMode)
            ost.JoinFilterChain = ost.FilterChain;
        int ret = prepareStream(ost);
        if (ret >= 0)
            ret = OpenPassLog(ost, int(i));
        if (ret < 0)
            return ret;
        // Every group's source is decoded when the first one is.
        if (ost.EncodingNeeded)
            for (const int source : ost.JoinSources)
                FSourceStreams[size_t(source)].DecodingNeeded = true;
    }

    int result = 0;
    // Failures from here on are logged where they happen; the mapping is
    // still shown so that the log says what was attempted.
    for (TTargetStream& ost : FTargetStreams) {
        if (ost.EncodingNeeded) {
            if (FJoinMode) {
                ost.EncoderTemplate = CloneEncoderSettings(ost.Encoder.get(), ost.Codec);
                if (!ost.EncoderTemplate) {
                    result = fail(ErrorCodeText(AVERROR(ENOMEM)), AVERROR(ENOMEM));
                    break;
                }
            }
            const int ret = openEncoder(ost, true);
            if (ret < 0) {
                result = fail(FLastErrorText, ret);
                break;
            }
        }
        const int ret = initBitstreamFilters(ost);
        if (ret < 0) {
            result = fail(ErrorText(String::fromLatin1("av_bsf_init()"), ret), ret);
            break;
        }
    }

    if (result >= 0) {
        for (size_t i = 0; i < FSourceStreams.size(); ++i) {
            String error;
            const int ret = OpenInputDecoder(int(i), error);
            if (ret < 0) {
                result = fail(error, ret);
                break;
            }
        }
    }
    if (result >= 0) {
        for (const TSourceFile& file : FSourceFiles) {
            AVFormatContext* ic = file.Context.get();
            for (unsigned p = 0; p < ic->nb_programs; ++p) {
                AVProgram* program = ic->programs[p];
                program->discard = AVDISCARD_ALL;
                for (unsigned k = 0; k < program->nb_stream_indexes; ++k) {
                    const int source = file.FirstStream + int(program->stream_index[k]);
                    if (source < file.FirstStream + file.StreamCount && !FSourceStreams[size_t(source)].Discard) {
                        program->discard = AVDISCARD_DEFAULT;
                        break;
                    }
                }
            }
        }
    }
    if (result >= 0) {
        for (size_t i = 0; i < FTargetFiles.size(); ++i) {
            TTargetFile& of = FTargetFiles[i];
            AVFormatContext* oc = of.Context.get();
            oc->interrupt_callback = FWriteInterruptCB;
            AVDictionary* opts = of.Options.release();
            setWriteMark();
            const int ret = ff::avformat_write_header(oc, &opts);
            of.Options.reset(opts);
            if (ret < 0) {
                result = fail(LoadResStringFmt(SCouldNotWriteHeader, {int(i)}), AVERROR(EINVAL));
                break;
            }
            of.HeaderWritten = true;
        }
    }
    LogStreamMapping();
    return result;
}

int TCustomFFmpeg::openEncoder(TTargetStream& ost, bool firstGroup)
{
    AVCodecContext* enc = ost.Encoder.get();
    const String kind = MediaTypeName(enc->codec_type);
    if (!ost.Codec) {
        FLastErrorText = LoadResStringFmt(SEncoderNotFound, {codecName(ost.Stream->codecpar->codec_id), ost.FileIndex,
                                                             ost.Index, kind});
        return AVERROR(EINVAL);
    }
    AVDictionary* opts = nullptr;
    ff::av_dict_copy(&opts, ost.EncoderOptions.get(), 0);
    TAVDictionaryPtr left(opts);
    int ret = 0;
    if (FSettings.SameQuant && enc->codec_type == AVMEDIA_TYPE_VIDEO) {
        const TSourceStream& ist = FSourceStreams[size_t(ost.Source)];
        int64_t sourceRate = ist.Stream->codecpar->bit_rate;
        if (sourceRate <= 0)
            sourceRate = FSourceFiles[size_t(ist.FileIndex)].Context->bit_rate;
        ret = ApplySameQuant(enc, &opts, sourceRate);
    }
    if (ret >= 0)
        ret = ff::avcodec_open2(enc, ost.Codec, &opts);
    left.release();
    left.reset(opts);
    if (ret < 0) {
        FLastErrorText = LoadResStringFmt(SErrorOpeningEncoder, {ost.FileIndex, ost.Index, kind});
        return AVERROR(EINVAL);
    }
    ost.Opened = true;
    RefuseExperimental(enc, true);
    CheckUnusedOptions(opts);
    if (!firstGroup)
        return 0;
    // The output stream was described by the first group's encoder; later
    // ones are made alike and leave it as it is.
    if (enc->bit_rate > 0 && enc->bit_rate < 1000)
        logText(llWarning, LoadResString(SBitrateTooLow));
    FHeaderBytes += enc->extradata_size;
    ff::avcodec_parameters_from_context(ost.Stream->codecpar, enc);
    ost.Stream->time_base = enc->time_base;
    ost.Stream->avg_frame_rate = ost.FrameRate;
    ff::av_dict_set(&ost.Stream->metadata, "encoder", (AnsiString(LIBAVCODEC_IDENT " ") + ost.Codec->name).constData(),
                    0);
    // The program stream muxer takes its mux rate from these.
    for (int i = 0; i < enc->nb_coded_side_data; ++i) {
        const AVPacketSideData& sd = enc->coded_side_data[i];
        if (uint8_t* dst = ff::av_stream_new_side_data(ost.Stream, sd.type, sd.size))
            std::memcpy(dst, sd.data, sd.size);
    }
    return 0;
}

void TCustomFFmpeg::LogStreamMapping()
{
    for (size_t i = 0; i < FTargetFiles.size(); ++i) {
        AVFormatContext* oc = FTargetFiles[i].Context.get();
        ff::av_dump_format(oc, int(i), oc->url, 1);
    }
    logText(llInfo, LoadResString(SStreamMapping));
    for (const TTargetStream& ost : FTargetStreams) {
        if (!ost.AttachmentFileName.isEmpty()) {
            logText(llInfo, Format(String::fromLatin1("  File %s -> Stream #%d:%d"),
                                   {ost.AttachmentFileName, ost.FileIndex, ost.Index}));
            continue;
        }
        if (ost.Source < 0)
            continue;
        const TSourceStream& ist = FSourceStreams[size_t(ost.Source)];
        String line = Format(String::fromLatin1("  Stream #%d:%d -> #%d:%d"),
                             {ist.FileIndex, ist.Stream->index, ost.FileIndex, ost.Index});
        if (ost.SyncSource >= 0 && ost.SyncSource != ost.Source) {
            const TSourceStream& sync = FSourceStreams[size_t(ost.SyncSource)];
            line += Format(String::fromLatin1(" [sync #%d:%d]"), {sync.FileIndex, sync.Stream->index});
        }
        if (ost.Copy)
            line += QLatin1String(" (copy)");
        else
            line += Format(String::fromLatin1(" (%s -> %s)"),
                           {ist.Decoder ? String::fromLatin1(ist.Decoder->name) : String::fromLatin1("?"),
                            ost.Codec ? String::fromLatin1(ost.Codec->name) : String::fromLatin1("?")});
        line += Format(String::fromLatin1(" (%s)"), {MediaTypeName(ist.Stream->codecpar->codec_type)});
        logText(llInfo, line);
        // The further inputs of a joined output follow into the same stream.
        for (size_t g = 1; g < ost.JoinSources.size(); ++g) {
            const TSourceStream& next = FSourceStreams[size_t(ost.JoinSources[g])];
            logText(llInfo, Format(String::fromLatin1("  Stream #%d:%d -> #%d:%d (joined)"),
                                   {next.FileIndex, next.Stream->index, ost.FileIndex, ost.Index}));
        }
    }
}
