// The packet loop of a conversion: choosing the input, time stamps and
// discontinuities, decoding or copying, writing, draining and the trailer.
#include <cmath>
#include <thread>

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

using namespace FFTaskConsts;

namespace {

// Where the output stream is, in microseconds.
int64_t outputTime(const TTargetStream& ost)
{
    if (ost.EncodingNeeded)
        return ff::av_rescale_q(ost.OutputClock, ost.Encoder->time_base, AV_TIME_BASE_Q);
    if (ost.LastWrittenDts == AV_NOPTS_VALUE)
        return 0;
    return ff::av_rescale_q(ost.LastWrittenDts, ost.Stream->time_base, AV_TIME_BASE_Q);
}

}  // namespace

void TCustomFFmpeg::Transcode()
{
    FLastErrorText.clear();
    const int ret = PrepareConversion();
    if (ret < 0)
        RaiseError(FLastErrorText.isEmpty() ? ErrorText(LoadResString(STranscodeInitError), ret) : FLastErrorText);
    if (FTotalDuration < 0)
        FTotalDuration = FLongestInputDuration;

    const int64_t timerStart = ff::av_gettime_relative();
    int64_t lastReport = timerStart;
    std::vector<bool> noPacket(FSourceFiles.size(), false);
    TPacketPtr packet(ff::av_packet_alloc());

    while (!FAbort.load()) {
        if (!PassPauseGate())
            break;
        double bestOutput = 1e100;
        int64_t bestInput = INT64_MAX;
        int file = -1;
        for (TTargetStream& ost : FTargetStreams) {
            if (ost.PastRecordingTime || ost.Source < 0)
                continue;
            const TSourceStream& ist = FSourceStreams[size_t(ost.Source)];
            if (noPacket[size_t(ist.FileIndex)])
                continue;
            const TTargetFile& of = FTargetFiles[size_t(ost.FileIndex)];
            AVIOContext* pb = of.Context->pb;
            if (pb && of.LimitFileSize != INT64_MAX && ff::avio_seek(pb, 0, SEEK_CUR) >= of.LimitFileSize)
                continue;
            const double out = double(outputTime(ost)) / 1000000.0;
            if (!FSourceFiles[size_t(ist.FileIndex)].EndReached) {
                if (ist.Time < bestInput) {
                    bestInput = ist.Time;
                    if (FSettings.InputSync)
                        file = ist.FileIndex;
                }
                if (out < bestOutput) {
                    bestOutput = out;
                    if (!FSettings.InputSync)
                        file = ist.FileIndex;
                }
            }
            if (ost.FrameNumber >= ost.MaxFrames)
                for (TTargetStream& other : FTargetStreams)
                    if (other.FileIndex == ost.FileIndex)
                        other.PastRecordingTime = true;
        }
        if (file < 0) {
            bool waiting = false;
            for (bool b : noPacket)
                waiting = waiting || b;
            if (!waiting)
                break;
            std::fill(noPacket.begin(), noPacket.end(), false);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }

        TSourceFile& input = FSourceFiles[size_t(file)];
        AVFormatContext* ic = input.Context.get();
        setReadMark();
        const int r = ff::av_read_frame(ic, packet.get());
        if (r == AVERROR(EAGAIN)) {
            noPacket[size_t(file)] = true;
            continue;
        }
        if (r < 0) {
            input.EndReached = true;
            if (FJoinMode) {
                // Only the current group's input is read: its end is the
                // group's end, and the last group's end is the output's.
                if (file != FJoinGroup || FJoinGroup + 1 >= FJoinGroupCount)
                    break;
                switchJoinGroup();
                continue;
            }
            if (FSettings.Shortest)
                break;
            continue;
        }
        std::fill(noPacket.begin(), noPacket.end(), false);
        if (FSettings.PacketDump)
            ff::av_log(nullptr, AV_LOG_DEBUG, "packet stream %d size %d\n", packet->stream_index, packet->size);
        if (packet->stream_index >= input.StreamCount ||
            FSourceStreams[size_t(input.FirstStream + packet->stream_index)].Discard) {
            ff::av_packet_unref(packet.get());
            continue;
        }
        const int sourceIndex = input.FirstStream + packet->stream_index;
        TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
        const AVRational tb = ist.Stream->time_base;
        const int64_t offset = ff::av_rescale_q(input.TSOffset, AV_TIME_BASE_Q, tb);
        if (packet->dts != AV_NOPTS_VALUE)
            packet->dts = std::llround(double(packet->dts + offset) * ist.TSScale);
        if (packet->pts != AV_NOPTS_VALUE)
            packet->pts = std::llround(double(packet->pts + offset) * ist.TSScale);

        if (packet->dts != AV_NOPTS_VALUE && ist.NextTime != AV_NOPTS_VALUE && (ic->iformat->flags & AVFMT_TS_DISCONT)) {
            const int64_t dtsTime = ff::av_rescale_q(packet->dts, tb, AV_TIME_BASE_Q);
            const int64_t delta = dtsTime - ist.NextTime;
            const double threshold = double(FSettings.DtsDeltaThreshold) * 1000000.0;
            if ((double(delta) < -threshold ||
                 (double(delta) > threshold && ist.Stream->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) ||
                 dtsTime + 1 < ist.Time) &&
                !FSettings.CopyTS) {
                input.TSOffset -= delta;
                logText(llDebug, LoadResStringFmt(STimestampDiscontinuity, {delta, input.TSOffset}));
                const int64_t shift = ff::av_rescale_q(delta, AV_TIME_BASE_Q, tb);
                packet->dts -= shift;
                if (packet->pts != AV_NOPTS_VALUE)
                    packet->pts -= shift;
            }
        }

        if (ProcessPacket(sourceIndex, packet.get()) < 0) {
            const String text = LoadResStringFmt(SErrorWhileDecoding, {ist.FileIndex, ist.Stream->index,
                                                                      MediaTypeName(ist.Stream->codecpar->codec_type)});
            ff::av_packet_unref(packet.get());
            if (FSettings.ExitOnError)
                RaiseError(text);
            logText(llError, text);
            continue;
        }
        ff::av_packet_unref(packet.get());
        const int64_t now = ff::av_gettime_relative();
        if (now - lastReport >= FProgressInterval) {
            lastReport = now;
            ReportProgress(now, timerStart, false, file);
        }
    }

    for (size_t i = 0; i < FSourceStreams.size(); ++i)
        if (FSourceStreams[i].DecoderContext)
            ProcessPacket(int(i), nullptr);
    DrainEncoders();
    for (TTargetFile& of : FTargetFiles) {
        if (!of.HeaderWritten)
            continue;
        setWriteMark();
        const int r = ff::av_write_trailer(of.Context.get());
        of.HeaderWritten = false;
        if (r < 0)
            RaiseError(ErrorText(String::fromLatin1("av_write_trailer()"), r));
    }
    ReportProgress(ff::av_gettime_relative(), timerStart, true, -1);
    FFinished = !FAbort.load();
}

int TCustomFFmpeg::ProcessPacket(int sourceIndex, const AVPacket* packet)
{
    TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    const AVStream* st = ist.Stream;
    const AVCodecParameters* par = st->codecpar;
    if (ist.NextTime == AV_NOPTS_VALUE)
        ist.NextTime = ist.Time;
    if (packet && packet->dts != AV_NOPTS_VALUE) {
        const int64_t dts = ff::av_rescale_q(packet->dts, st->time_base, AV_TIME_BASE_Q);
        if (par->codec_type != AVMEDIA_TYPE_VIDEO || !ist.DecodingNeeded)
            ist.Time = ist.NextTime = dts;
    }

    if (ist.DecodingNeeded) {
        if (ist.Flushed)
            return 0;
        int ret = -1;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO)
            ret = DecodeVideo(sourceIndex, packet);
        else if (par->codec_type == AVMEDIA_TYPE_AUDIO)
            ret = DecodeAudio(sourceIndex, packet);
        if (!packet)
            ist.Flushed = true;
        if (ret < 0)
            return ret;
    } else if (packet) {
        WaitRateEmulation(sourceIndex);
        ist.Time = ist.NextTime;
        if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0) {
            ist.NextTime += int64_t(1000000) * par->frame_size / par->sample_rate;
        } else if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
            if (packet->duration > 0) {
                ist.NextTime += ff::av_rescale_q(packet->duration, st->time_base, AV_TIME_BASE_Q);
            } else {
                const AVRational rate = st->avg_frame_rate.num ? st->avg_frame_rate : st->r_frame_rate;
                if (rate.num && rate.den)
                    ist.NextTime += ff::av_rescale_q(1, AVRational{rate.den, rate.num}, AV_TIME_BASE_Q);
            }
        }
    }
    if (packet)
        for (TTargetStream& ost : FTargetStreams)
            if (!ost.EncodingNeeded && StreamWantsPacket(sourceIndex, ost))
                CopyPacket(sourceIndex, ost, packet);
    return 0;
}

bool TCustomFFmpeg::StreamWantsPacket(int sourceIndex, TTargetStream& ost)
{
    if (ost.Source != sourceIndex)
        return false;
    const TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    const TTargetFile& of = FTargetFiles[size_t(ost.FileIndex)];
    if (of.StartTime && ist.Time < of.StartTime)
        return false;
    if (of.RecordingTime != INT64_MAX && ist.Time >= of.RecordingTime + of.StartTime) {
        ost.PastRecordingTime = true;
        return false;
    }
    return true;
}

void TCustomFFmpeg::CopyPacket(int sourceIndex, TTargetStream& ost, const AVPacket* packet)
{
    const TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    const TTargetFile& of = FTargetFiles[size_t(ost.FileIndex)];
    const AVRational itb = ist.Stream->time_base;
    const AVRational otb = ost.Stream->time_base;
    const int64_t startOffset = ff::av_rescale_q(of.StartTime, AV_TIME_BASE_Q, otb);
    if (ost.FrameNumber == 0 && !(packet->flags & AV_PKT_FLAG_KEY) && !ost.CopyInitialNonKeyframes)
        return;
    const AVMediaType type = ist.Stream->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_AUDIO)
        FAudioBytes += packet->size;
    else if (type == AVMEDIA_TYPE_VIDEO) {
        FVideoBytes += packet->size;
        ++ost.OutputClock;
    }
    TPacketPtr out(ff::av_packet_alloc());
    if (!out || ff::av_packet_ref(out.get(), packet) < 0)
        RaiseError(ErrorCodeText(AVERROR(ENOMEM)));
    out->stream_index = ost.Index;
    out->pts = packet->pts != AV_NOPTS_VALUE ? ff::av_rescale_q(packet->pts, itb, otb) - startOffset : AV_NOPTS_VALUE;
    out->dts = (packet->dts == AV_NOPTS_VALUE ? ff::av_rescale_q(ist.Time, AV_TIME_BASE_Q, otb)
                                              : ff::av_rescale_q(packet->dts, itb, otb)) -
               startOffset;
    out->duration = ff::av_rescale_q(packet->duration, itb, otb);
    if (ost.LastWrittenDts != AV_NOPTS_VALUE && ost.LastWrittenDts >= out->dts)
        out->dts = ost.LastWrittenDts + 1;
    if (out->pts != AV_NOPTS_VALUE && out->pts < out->dts)
        out->pts = out->dts;
    ost.LastWrittenDts = out->dts;
    WritePacket(ost, out.get());
    ++ost.FrameNumber;
}

void TCustomFFmpeg::WaitRateEmulation(int sourceIndex)
{
    const TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    if (!FSourceFiles[size_t(ist.FileIndex)].RateEmu)
        return;
    const int64_t elapsed = ff::av_gettime_relative() - ist.Start;
    if (elapsed + 1000 < ist.Time)
        std::this_thread::sleep_for(std::chrono::milliseconds((ist.Time - elapsed) / 1000));
}

void TCustomFFmpeg::DrainEncoders()
{
    for (TTargetStream& ost : FTargetStreams) {
        if (ost.Drained)
            continue;
        ost.Drained = true;
        if (ost.EncodingNeeded && ost.Opened && ost.Encoder->codec_type == AVMEDIA_TYPE_VIDEO)
            encodeFrame(ost, nullptr);
        else if (ost.EncodingNeeded && ost.Opened && ost.Encoder->codec_type == AVMEDIA_TYPE_AUDIO)
            DrainAudio(ost);
    }
}

void TCustomFFmpeg::WritePacket(TTargetStream& ost, AVPacket* packet)
{
    AVFormatContext* oc = FTargetFiles[size_t(ost.FileIndex)].Context.get();
    auto write = [&](AVPacket* p) {
        setWriteMark();
        const int ret = ff::av_interleaved_write_frame(oc, p);
        if (ret < 0)
            RaiseError(ErrorText(LoadResString(SWriteFrame), ret));
    };
    if (ost.BitstreamFilters.empty()) {
        write(packet);
        return;
    }
    // Each filter may turn one packet into none or several.
    std::vector<TPacketPtr> queue;
    queue.emplace_back(ff::av_packet_alloc());
    ff::av_packet_move_ref(queue.back().get(), packet);
    for (TBSFPtr& bsf : ost.BitstreamFilters) {
        std::vector<TPacketPtr> next;
        for (TPacketPtr& p : queue) {
            int ret = ff::av_bsf_send_packet(bsf.get(), p.get());
            while (ret >= 0) {
                TPacketPtr out(ff::av_packet_alloc());
                ret = ff::av_bsf_receive_packet(bsf.get(), out.get());
                if (ret >= 0)
                    next.push_back(std::move(out));
            }
            if (ret != AVERROR(EAGAIN) && ret != AVERROR_EOF) {
                const String text = ErrorText(
                    LoadResStringFmt(SBsfFailed, {bsf->filter->name, ost.Index,
                                                  ost.Codec ? String::fromLatin1(ost.Codec->name)
                                                            : String::fromLatin1("copy")}),
                    ret);
                if (FSettings.ExitOnError)
                    RaiseError(text);
                logText(llError, text);
            }
        }
        queue = std::move(next);
    }
    for (TPacketPtr& p : queue)
        write(p.get());
}

void TCustomFFmpeg::switchJoinGroup()
{
    const int group = FJoinGroup;
    const int next = group + 1;
    const TSourceFile& ended = FSourceFiles[size_t(group)];
    // What the group's decoders and filter graphs still hold, then what its
    // encoders hold, goes out before the next input comes in.
    for (int i = 0; i < ended.StreamCount; ++i) {
        const int source = ended.FirstStream + i;
        if (FSourceStreams[size_t(source)].DecoderContext && !FSourceStreams[size_t(source)].Flushed)
            ProcessPacket(source, nullptr);
    }
    DrainEncoders();

    // Where the group ended: the latest output time of its streams (µs).
    int64_t end = 0;
    int64_t startTime = 0;
    for (const TTargetStream& ost : FTargetStreams) {
        if (ost.Source < 0)
            continue;
        startTime = FTargetFiles[size_t(ost.FileIndex)].StartTime;
        int64_t t = 0;
        if (ost.EncodingNeeded) {
            t = ff::av_rescale_q(ost.OutputClock, ost.Encoder->time_base, AV_TIME_BASE_Q);
        } else {
            const TSourceStream& ist = FSourceStreams[size_t(ost.Source)];
            t = (ist.NextTime != AV_NOPTS_VALUE ? ist.NextTime : ist.Time) - startTime;
        }
        end = std::max(end, t);
    }

    for (TTargetStream& ost : FTargetStreams) {
        if (ost.Source < 0 || size_t(next) >= ost.JoinSources.size())
            continue;
        ost.Source = ost.SyncSource = ost.JoinSources[size_t(next)];
        ost.Drained = false;
        if (!ost.EncodingNeeded)
            continue;
        // A fresh encoder like the first group's: the same sizes, formats
        // and rates, whatever the new input has.
        ost.Encoder = CloneEncoderSettings(ost.EncoderTemplate.get(), ost.Codec);
        if (!ost.Encoder)
            RaiseError(ErrorCodeText(AVERROR(ENOMEM)));
        ost.Opened = false;
        const AVCodecParameters* ipar = FSourceStreams[size_t(ost.Source)].Stream->codecpar;
        AVCodecContext* enc = ost.Encoder.get();
        if (enc->codec_type == AVMEDIA_TYPE_VIDEO) {
            ost.FilterChain = ost.JoinFilterChain;
            ost.ResampleWidth = ipar->width;
            ost.ResampleHeight = ipar->height;
            ost.ResamplePixFmt = ipar->format;
            // The output stream was described when the header was written:
            // the fresh encoder keeps the first group's size and aspect.
            FLastErrorText.clear();
            const int ret = BuildVideoFilterGraph(ost.Source, ost, true);
            if (ret < 0)
                RaiseError(FLastErrorText.isEmpty() ? ErrorText(LoadResString(SErrorOpeningFilters), ret)
                                                    : LoadResString(SErrorOpeningFiltersColon) + FLastErrorText);
        } else if (enc->codec_type == AVMEDIA_TYPE_AUDIO) {
            ost.Resampler.reset();
            ost.ResampleSampleFmt = ipar->format;
            ost.ResampleChannels = ipar->ch_layout.nb_channels;
            ost.ResampleSampleRate = ipar->sample_rate;
            ost.AudioResample = !ost.ChannelMap.empty() ||
                                !(enc->sample_rate == ipar->sample_rate && FSettings.AudioSync <= 1 &&
                                  enc->sample_fmt == ipar->format &&
                                  !ff::av_channel_layout_compare(&enc->ch_layout, &ipar->ch_layout));
        }
        if (openEncoder(ost, false) < 0)
            RaiseError(FLastErrorText);
    }

    // The next input starts where this group ended.
    FSourceFiles[size_t(next)].TSOffset += end + startTime;
    FJoinGroup = next;
}

void TCustomFFmpeg::finishTranscode()
{
    // The plug-ins' contexts end with the conversion; their libraries stay.
    if (FVideoHookChain)
        FVideoHookChain->ReleaseHooks();
    FVideoHookCount = 0;
    for (TTargetStream& ost : FTargetStreams) {
        ost.FilterGraph.reset();
        ost.OwnFilters.reset();
        ost.FilterSource = ost.FilterSink = nullptr;
        ost.BitstreamFilters.clear();
        ost.Encoder.reset();
        ost.Opened = false;
        ost.PassLog.reset();
        ost.PassStatsIn.clear();
        ost.SampleQueue.reset();
        ost.Resampler.reset();
        ost.AudioResample = false;
    }
    FVStatsFile.reset();
    for (TSourceStream& ist : FSourceStreams) {
        ist.DecoderContext.reset();
        ist.DecodedFrame.reset();
        ist.FilteredFrame.reset();
    }
}
