// The video path: decoded pictures through the stream's filter graph, the
// frame-rate synchronisation that drops and duplicates, and the encoder.
#include <cmath>

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

using namespace FFTaskConsts;

namespace {

struct TInOutDeleter {
    void operator()(AVFilterInOut* io) const { ff::avfilter_inout_free(&io); }
};
using TInOutPtr = std::unique_ptr<AVFilterInOut, TInOutDeleter>;

TInOutPtr inOut(const char* name, AVFilterContext* filter)
{
    TInOutPtr io(ff::avfilter_inout_alloc());
    if (io) {
        io->name = ff::av_strdup(name);
        io->filter_ctx = filter;
        io->pad_idx = 0;
        io->next = nullptr;
    }
    return io;
}

}  // namespace

int TCustomFFmpeg::BuildVideoFilterGraph(int sourceIndex, TTargetStream& ost, bool laterGroup)
{
    const TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    const AVCodecParameters* ipar = ist.Stream->codecpar;
    AVCodecContext* enc = ost.Encoder.get();
    ost.FilterGraph.reset(ff::avfilter_graph_alloc());
    AVFilterGraph* graph = ost.FilterGraph.get();
    if (!graph)
        return AVERROR(ENOMEM);
    // A stream's graph works with as many threads as its encoder was given,
    // so "-threads 1" keeps the scaler on one thread too.
    if (const AVDictionaryEntry* threads = ff::av_dict_get(ost.EncoderOptions.get(), "threads", nullptr, 0))
        ff::av_opt_set(graph, "threads", threads->value, 0);

    AVRational sar = ist.Stream->sample_aspect_ratio.num ? ist.Stream->sample_aspect_ratio : ipar->sample_aspect_ratio;
    if (!sar.num || !sar.den)
        sar = AVRational{0, 1};
    const AnsiString args = AnsiString("video_size=") + AnsiString::number(ipar->width) + 'x' +
                            AnsiString::number(ipar->height) + ":pix_fmt=" + AnsiString::number(ipar->format) +
                            ":time_base=1/1000000:pixel_aspect=" + AnsiString::number(sar.num) + '/' +
                            AnsiString::number(sar.den);
    int ret = ff::avfilter_graph_create_filter(&ost.FilterSource, ff::avfilter_get_by_name("buffer"), "src",
                                               args.constData(), nullptr, graph);
    if (ret < 0)
        return ret;
    ret = ff::avfilter_graph_create_filter(&ost.FilterSink, ff::avfilter_get_by_name("buffersink"), "out", nullptr,
                                           nullptr, graph);
    if (ret < 0)
        return ret;
    // The encoder's pixel format is asked for by a format filter in front
    // of the sink, as the tool does: the same conversion, the same bytes.
    // A chain with the engine's own filters runs its first segment here and
    // the rest after this graph's sink.
    AnsiString chain = ost.FilterChain;
    const AnsiString swsFlags = "flags=0x" + AnsiString::number(ost.SwsFlags, 16).toUpper();
    if (laterGroup) {
        // Last in the chain, so that it also follows the engine's own
        // filters: the first group's size and aspect, whatever the chain
        // made of this input.
        const AVRational sar = enc->sample_aspect_ratio.num > 0 && enc->sample_aspect_ratio.den > 0
                                   ? enc->sample_aspect_ratio
                                   : AVRational{0, 1};
        const AnsiString fit = "scale=" + AnsiString::number(enc->width) + ':' + AnsiString::number(enc->height) +
                               ':' + swsFlags + ",setsar=" + AnsiString::number(sar.num) + '/' +
                               AnsiString::number(sar.den);
        chain = chain.isEmpty() ? fit : chain + ',' + fit;
    }
    ost.OwnFilters = std::make_unique<TOwnFilterChain>();
    if ((ret = ost.OwnFilters->Parse(chain)) < 0)
        return ret;
    if (ret == 0)
        ost.OwnFilters.reset();
    else
        chain = ost.OwnFilters->FirstSegment();
    AVFilterContext* format = nullptr;
    ret = ff::avfilter_graph_create_filter(&format, ff::avfilter_get_by_name("format"), "format",
                                           ost.OwnFilters ? OwnFiltersConsts::SOwnFormats
                                                          : ff::av_get_pix_fmt_name(enc->pix_fmt),
                                           nullptr, graph);
    if (ret < 0)
        return ret;
    if ((ret = ff::avfilter_link(format, 0, ost.FilterSink, 0)) < 0)
        return ret;

    AVFilterContext* last = ost.FilterSource;
    if (!laterGroup && (enc->width != ipar->width || enc->height != ipar->height)) {
        AVFilterContext* scale = nullptr;
        const AnsiString scaleArgs =
            AnsiString::number(enc->width) + ':' + AnsiString::number(enc->height) + ':' + swsFlags;
        ret = ff::avfilter_graph_create_filter(&scale, ff::avfilter_get_by_name("scale"), nullptr,
                                               scaleArgs.constData(), nullptr, graph);
        if (ret < 0)
            return ret;
        if ((ret = ff::avfilter_link(last, 0, scale, 0)) < 0)
            return ret;
        last = scale;
    }
    graph->scale_sws_opts = ff::av_strdup(swsFlags.constData());

    if (!chain.isEmpty()) {
        TInOutPtr outputs = inOut("in", last);
        TInOutPtr inputs = inOut("out", format);
        if (!outputs || !inputs)
            return AVERROR(ENOMEM);
        AVFilterInOut* in = inputs.release();
        AVFilterInOut* out = outputs.release();
        ret = ff::avfilter_graph_parse_ptr(graph, chain.constData(), &in, &out, nullptr);
        ff::avfilter_inout_free(&in);
        ff::avfilter_inout_free(&out);
        ost.FilterChain.clear();
        if (ret < 0)
            return ret;
    } else if ((ret = ff::avfilter_link(last, 0, format, 0)) < 0) {
        return ret;
    }
    if ((ret = ff::avfilter_graph_config(graph, nullptr)) < 0)
        return ret;
    if (ost.OwnFilters && (ret = ost.OwnFilters->Configure(ost.FilterSink, enc->pix_fmt, ost.SwsFlags,
                                                            &ost.FilterSink)) < 0)
        return ret;
    if (laterGroup)
        return 0;

    enc->width = ff::av_buffersink_get_w(ost.FilterSink);
    enc->height = ff::av_buffersink_get_h(ost.FilterSink);
    if (ost.FrameAspect != 0) {
        const double d = double(ost.FrameAspect) * enc->height / enc->width;
        const int k = std::max(0, int(std::lround(std::log10(std::fabs(d) + 1e-20) / std::log(2.0))));
        const int64_t scale = int64_t(1) << (29 - std::min(k, 28));
        ff::av_reduce(&enc->sample_aspect_ratio.num, &enc->sample_aspect_ratio.den,
                      int64_t(std::floor(d * double(scale) + 0.5)), scale, 255);
    } else {
        enc->sample_aspect_ratio = ff::av_buffersink_get_sample_aspect_ratio(ost.FilterSink);
    }
    ost.Stream->sample_aspect_ratio = enc->sample_aspect_ratio;
    return 0;
}

int TCustomFFmpeg::DecodeVideo(int sourceIndex, const AVPacket* packet)
{
    TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    AVCodecContext* dec = ist.DecoderContext.get();
    if (!ist.DecodedFrame) {
        ist.DecodedFrame.reset(ff::av_frame_alloc());
        if (!ist.DecodedFrame)
            return AVERROR(ENOMEM);
    }
    AVFrame* frame = ist.DecodedFrame.get();
    int ret = ff::avcodec_send_packet(dec, packet);
    if (ret < 0 && ret != AVERROR_EOF && ret != AVERROR(EAGAIN))
        return ret;
    const AVStream* st = ist.Stream;
    const AVRational rate = st->avg_frame_rate.num ? st->avg_frame_rate : st->r_frame_rate;
    for (;;) {
        ret = ff::avcodec_receive_frame(dec, frame);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            break;
        if (ret < 0)
            return ret;
        const float quality = FSettings.SameQuant ? float(frame->quality) : 0.0f;
        int64_t duration = 0;
        if (frame->pkt_duration > 0)
            duration = ff::av_rescale_q(frame->pkt_duration, st->time_base, AV_TIME_BASE_Q);
        else if (rate.num && rate.den)
            duration = ff::av_rescale_q(1, AVRational{rate.den, rate.num}, AV_TIME_BASE_Q);
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
            ist.Time = ist.NextTime = ff::av_rescale_q(frame->best_effort_timestamp, st->time_base, AV_TIME_BASE_Q);
        else
            ist.Time = ist.NextTime;
        ist.NextTime += duration;
        ++ist.FrameCounter;
        PrepareInputPicture(sourceIndex, frame);
        callVideoHooks(frame, ist.Time);

        for (TTargetStream& ost : FTargetStreams) {
            if (!ost.EncodingNeeded || !StreamWantsPacket(sourceIndex, ost))
                continue;
            if (!frame->sample_aspect_ratio.num)
                frame->sample_aspect_ratio = st->sample_aspect_ratio;
            frame->pts = ist.Time;
            if (ff::av_buffersrc_add_frame_flags(ost.FilterSource, frame, AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
                RaiseError(LoadResString(SInjectFrameFailed));
            flushFilteredFrames(sourceIndex, ost, quality);
        }
        WaitRateEmulation(sourceIndex);
        ff::av_frame_unref(frame);
    }
    if (!packet) {
        // The end of the input also ends what the graphs still hold.
        for (TTargetStream& ost : FTargetStreams) {
            if (ost.Source != sourceIndex || !ost.EncodingNeeded || !ost.FilterSource)
                continue;
            if (ff::av_buffersrc_add_frame_flags(ost.FilterSource, nullptr, 0) >= 0)
                flushFilteredFrames(sourceIndex, ost, 0);
        }
    }
    return 0;
}

void TCustomFFmpeg::callVideoHooks(AVFrame* picture, int64_t time)
{
    // A bitmap input hook takes the plug-ins' place.
    if (!FVideoHookChain || FVideoHookChain->Empty() || OnVideoInputHook.Assigned())
        return;
    // The decoder may still refer to the picture's buffers.
    if (ff::av_frame_make_writable(picture) < 0) {
        logText(llError, LoadResString(FrameHookConsts::SInputHookBufMalloc));
        return;
    }
    VideoHookPicture planes{};
    for (int i = 0; i < 4; ++i) {
        planes.data[i] = picture->data[i];
        planes.linesize[i] = picture->linesize[i];
    }
    FVideoHookChain->CallHooks(&planes, picture->format, picture->width, picture->height, time);
}

void TCustomFFmpeg::flushFilteredFrames(int sourceIndex, TTargetStream& ost, float quality)
{
    TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    if (!ist.FilteredFrame) {
        ist.FilteredFrame.reset(ff::av_frame_alloc());
        if (!ist.FilteredFrame)
            RaiseError(ErrorCodeText(AVERROR(ENOMEM)));
    }
    AVFrame* filtered = ist.FilteredFrame.get();
    AVCodecContext* enc = ost.Encoder.get();
    if (ost.OwnFilters && ost.OwnFilters->Pump() < 0)
        logText(llWarning, LoadResString(SSinkFailed));
    for (;;) {
        const int ret = ff::av_buffersink_get_frame(ost.FilterSink, filtered);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            break;
        if (ret < 0) {
            logText(llWarning, LoadResString(SSinkFailed));
            break;
        }
        if (filtered->pts != AV_NOPTS_VALUE)
            ist.Time = ff::av_rescale_q(filtered->pts, ff::av_buffersink_get_time_base(ost.FilterSink),
                                        AV_TIME_BASE_Q);
        if (ost.FrameAspect == 0 && filtered->sample_aspect_ratio.num)
            enc->sample_aspect_ratio = filtered->sample_aspect_ratio;
        EncodeVideo(ost, filtered, FSettings.SameQuant ? quality : float(enc->global_quality), sourceIndex);
        ff::av_frame_unref(filtered);
    }
}

void TCustomFFmpeg::EncodeVideo(TTargetStream& ost, AVFrame* picture, float quality, int sourceIndex)
{
    // Pictures past the frame limit (the decoder's and the graph's last
    // ones) are neither written nor counted as duplicated or dropped.
    if (ost.FrameNumber >= ost.MaxFrames)
        return;
    const TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    const AVStream* ist_st = ist.Stream;
    AVCodecContext* enc = ost.Encoder.get();
    const TTargetFile& of = FTargetFiles[size_t(ost.FileIndex)];
    const double encTb = av_q2d(enc->time_base);

    double d = 0;
    if (ist_st->start_time != AV_NOPTS_VALUE) {
        d = av_q2d(ist_st->time_base);
        const AVRational rate = ist_st->avg_frame_rate;
        if (rate.num && rate.den && 1.0 / av_q2d(rate) > d)
            d = 1.0 / av_q2d(rate);
        d /= encTb;
    }
    const double syncTime = double(ist.Time - of.StartTime) / 1000000.0 / encTb;

    int method = FSettings.VideoSync;
    if (method == -1) {
        const int flags = of.Context->oformat->flags;
        method = (flags & AVFMT_VARIABLE_FPS) ? ((flags & AVFMT_NOTIMESTAMPS) ? 0 : 2) : 1;
    }
    int64_t n = 1;
    if (method == 0) {
        ost.OutputClock = std::llround(syncTime);
    } else {
        const double delta = syncTime - double(ost.OutputClock) + d;
        if (delta < -1.1)
            n = 0;
        else if (method == 2) {
            if (delta <= -0.6)
                n = 0;
            else if (delta > 0.6)
                ost.OutputClock = std::llround(syncTime);
        } else if (delta > 1.1) {
            n = std::llround(delta);
        }
    }
    if (n == 0) {
        ++FDropFrames;
        FDupOrDropChanged = true;
        logText(llVerbose, LoadResString(SDrop));
    } else if (n > 1) {
        FDupFrames += int(n - 1);
        FDupOrDropChanged = true;
        logText(llVerbose, LoadResStringFmt(SDup, {int(n - 1)}));
    }
    n = std::min<int64_t>(n, ost.MaxFrames - ost.FrameNumber);

    const bool interlacedCoding = enc->flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME);
    for (int64_t k = 0; k < n && !FAbort.load(); ++k) {
        if (k > 0 && !PassPauseGate())
            break;
        if (interlacedCoding && ost.TopFieldFirst >= 0)
            picture->top_field_first = ost.TopFieldFirst;
        picture->quality = int(std::lround(quality));
        picture->pict_type = AV_PICTURE_TYPE_NONE;
        picture->pts = ost.OutputClock;
        if (ost.NextForcedKeyFrame < int(ost.ForcedKeyFrames.size()) &&
            ost.OutputClock >= ost.ForcedKeyFrames[size_t(ost.NextForcedKeyFrame)]) {
            picture->pict_type = AV_PICTURE_TYPE_I;
            ++ost.NextForcedKeyFrame;
        }
        encodeFrame(ost, PrepareOutputPicture(ost, picture));
        ++ost.OutputClock;
        ++ost.FrameNumber;
    }
}

void TCustomFFmpeg::encodeFrame(TTargetStream& ost, AVFrame* frame)
{
    AVCodecContext* enc = ost.Encoder.get();
    const TResStringRec& failed =
        enc->codec_type == AVMEDIA_TYPE_AUDIO ? SAudioEncodingFailed : SVideoEncodingFailed;
    int ret = ff::avcodec_send_frame(enc, frame);
    if (ret < 0 && ret != AVERROR_EOF)
        RaiseError(LoadResString(failed));
    TPacketPtr packet(ff::av_packet_alloc());
    for (;;) {
        ret = ff::avcodec_receive_packet(enc, packet.get());
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            break;
        if (ret < 0)
            RaiseError(LoadResString(failed));
        if (enc->codec_type == AVMEDIA_TYPE_VIDEO)
            FVideoBytes += packet->size;
        else
            FAudioBytes += packet->size;
        noteEncodedPacket(ost, packet.get(), ost.FrameNumber + (frame ? 1 : 0));
        ff::av_packet_rescale_ts(packet.get(), enc->time_base, ost.Stream->time_base);
        packet->stream_index = ost.Index;
        if (FJoinMode && packet->dts != AV_NOPTS_VALUE) {
            // A fresh encoder of a later group may start its packets a
            // little before the last one of the group before (its delay).
            if (ost.LastWrittenDts != AV_NOPTS_VALUE && packet->dts <= ost.LastWrittenDts) {
                packet->dts = ost.LastWrittenDts + 1;
                if (packet->pts != AV_NOPTS_VALUE && packet->pts < packet->dts)
                    packet->pts = packet->dts;
            }
            ost.LastWrittenDts = packet->dts;
        }
        WritePacket(ost, packet.get());
    }
}
