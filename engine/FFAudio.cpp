// The audio path: decoded samples through the hook and the volume, kept in
// step with their time stamps, converted and framed for every encoder.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/AVCodecStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"
#include "engine/SwResampleStubs.h"

using namespace FFTaskConsts;

namespace FFAudioConsts {
VORLANE_RESOURCESTRING(SDecoderBadResult, "the decoder \"%s\" return bad result.");
VORLANE_RESOURCESTRING(SVolumeNotSupported, "Audio volume adjustment on sample format %s is not supported.");
VORLANE_RESOURCESTRING(SBufferSizesTooLarge, "Buffer sizes too large in do_audio_out()");
VORLANE_RESOURCESTRING(SOutOfMemoryAudio, "Out of memory in do_audio_out()");
VORLANE_RESOURCESTRING(SFrameChanged,
                       "Input stream #%d:%d frame changed from rate:%d fmt:%s ch:%d to rate:%d fmt:%s ch:%d");
VORLANE_RESOURCESTRING(SSwrInitFailed, "swr_init() failed");
VORLANE_RESOURCESTRING(SCannotResample, "Can not resample %d channels @ %d Hz to %d channels @ %d Hz");
VORLANE_RESOURCESTRING(SFifoReallocFailed, "av_fifo_realloc2() failed");
VORLANE_RESOURCESTRING(SDiscarding, "discarding %d audio samples");
VORLANE_RESOURCESTRING(SAddingSilence, "adding %d audio samples of silence");
VORLANE_RESOURCESTRING(SCompensating, "compensating audio timestamp drift:%f compensation:%d in:%d");
}  // namespace FFAudioConsts

using namespace FFAudioConsts;

void TSwrDeleter::operator()(SwrContext* swr) const
{
    if (swr && ff::swr_free)
        ff::swr_free(&swr);
}

void TAudioFifoDeleter::operator()(AVAudioFifo* fifo) const
{
    if (fifo && ff::av_audio_fifo_free)
        ff::av_audio_fifo_free(fifo);
}

void TFileCloser::operator()(FILE* f) const
{
    if (f)
        std::fclose(f);
}

namespace {

template <class T>
void scaleInts(uint8_t* plane, int count, int64_t volume, int64_t bias, int64_t lo, int64_t hi)
{
    T* p = reinterpret_cast<T*>(plane);
    for (int i = 0; i < count; ++i) {
        const int64_t v = ((int64_t(p[i]) - bias) * volume + 128) >> 8;
        p[i] = T(std::clamp(v + bias, lo, hi));
    }
}

template <class T>
void scaleFloats(uint8_t* plane, int count, T factor)
{
    T* p = reinterpret_cast<T*>(plane);
    for (int i = 0; i < count; ++i)
        p[i] *= factor;
}

// Planes of a frame, and values per plane.
int planeCount(const AVFrame* frame)
{
    return ff::av_sample_fmt_is_planar(AVSampleFormat(frame->format)) ? frame->ch_layout.nb_channels : 1;
}

int valuesPerPlane(const AVFrame* frame)
{
    return ff::av_sample_fmt_is_planar(AVSampleFormat(frame->format)) ? frame->nb_samples
                                                                       : frame->nb_samples * frame->ch_layout.nb_channels;
}

bool isUnsigned8(AVSampleFormat f)
{
    return f == AV_SAMPLE_FMT_U8 || f == AV_SAMPLE_FMT_U8P;
}

// Lays count samples of the format out in buffer (grown when too small).
std::vector<uint8_t*> layOut(std::vector<uint8_t>& buffer, AVSampleFormat format, int channels, int count)
{
    const bool planar = ff::av_sample_fmt_is_planar(format);
    const int planes = planar ? channels : 1;
    const size_t planeBytes =
        size_t(count) * size_t(ff::av_get_bytes_per_sample(format)) * size_t(planar ? 1 : channels);
    if (buffer.size() < planeBytes * size_t(planes))
        buffer.resize(planeBytes * size_t(planes));
    std::vector<uint8_t*> result(static_cast<size_t>(planes));
    for (int i = 0; i < planes; ++i)
        result[size_t(i)] = buffer.data() + planeBytes * size_t(i);
    return result;
}

}  // namespace

bool ScaleSamples(uint8_t* const* planes, int planes_, int values, AVSampleFormat format, int volume)
{
    auto each = [&](auto&& scale) {
        for (int i = 0; i < planes_; ++i)
            scale(planes[i]);
        return true;
    };
    switch (format) {
    case AV_SAMPLE_FMT_U8:
    case AV_SAMPLE_FMT_U8P:
        return each([&](uint8_t* p) { scaleInts<uint8_t>(p, values, volume, 128, 0, 255); });
    case AV_SAMPLE_FMT_S16:
    case AV_SAMPLE_FMT_S16P:
        return each([&](uint8_t* p) { scaleInts<int16_t>(p, values, volume, 0, INT16_MIN, INT16_MAX); });
    case AV_SAMPLE_FMT_S32:
    case AV_SAMPLE_FMT_S32P:
        return each([&](uint8_t* p) { scaleInts<int32_t>(p, values, volume, 0, INT32_MIN, INT32_MAX); });
    case AV_SAMPLE_FMT_FLT:
    case AV_SAMPLE_FMT_FLTP:
        return each([&](uint8_t* p) { scaleFloats<float>(p, values, float(volume) / 256.0f); });
    case AV_SAMPLE_FMT_DBL:
    case AV_SAMPLE_FMT_DBLP:
        return each([&](uint8_t* p) { scaleFloats<double>(p, values, double(volume) / 256.0); });
    default:
        return false;
    }
}

int TCustomFFmpeg::DecodeAudio(int sourceIndex, const AVPacket* packet)
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
    for (;;) {
        ret = ff::avcodec_receive_frame(dec, frame);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            break;
        if (ret < 0)
            return ret;
        if (frame->nb_samples < 1 || frame->sample_rate <= 0)
            RaiseError(SDecoderBadResult, {dec->codec->name});
        // A frame without a time stamp follows the one before it.
        if (ist.NextTime != AV_NOPTS_VALUE)
            ist.Time = ist.NextTime;
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
            ist.Time = ff::av_rescale_q(frame->best_effort_timestamp, ist.Stream->time_base, AV_TIME_BASE_Q);
        ist.NextTime = ist.Time + int64_t(1000000) * frame->nb_samples / frame->sample_rate;

        const AVSampleFormat format = AVSampleFormat(frame->format);
        const int channels = frame->ch_layout.nb_channels;
        const int bytes = ff::av_get_bytes_per_sample(format);
        const int size = frame->nb_samples * channels * bytes;
        if ((AudioHookAssigned() || FSettings.Volume != 256) && ff::av_frame_make_writable(frame) < 0)
            RaiseError(LoadResString(SOutOfMemoryAudio));
        if (AudioHookAssigned()) {
            // The handler sees one buffer of interleaved samples whatever the
            // decoder's layout; what it changes goes back into the frame.
            if (ff::av_sample_fmt_is_planar(format) && channels > 1) {
                if (FHookBuffer.size() < size_t(size))
                    FHookBuffer.resize(size_t(size));
                for (int s = 0; s < frame->nb_samples; ++s)
                    for (int c = 0; c < channels; ++c)
                        std::memcpy(&FHookBuffer[size_t((s * channels + c) * bytes)],
                                    frame->extended_data[c] + s * bytes, size_t(bytes));
                CallAudioHook(FHookBuffer.data(), ist.Time, size, frame->sample_rate, channels,
                              ff::av_get_packed_sample_fmt(format));
                for (int s = 0; s < frame->nb_samples; ++s)
                    for (int c = 0; c < channels; ++c)
                        std::memcpy(frame->extended_data[c] + s * bytes,
                                    &FHookBuffer[size_t((s * channels + c) * bytes)], size_t(bytes));
            } else {
                CallAudioHook(frame->extended_data[0], ist.Time, size, frame->sample_rate, channels,
                              ff::av_get_packed_sample_fmt(format));
            }
        }
        if (FSettings.Volume != 256 &&
            !ScaleSamples(frame->extended_data, planeCount(frame), valuesPerPlane(frame), format, FSettings.Volume))
            RaiseError(SVolumeNotSupported, {ff::av_get_sample_fmt_name(format)});

        WaitRateEmulation(sourceIndex);
        for (TTargetStream& ost : FTargetStreams)
            if (ost.EncodingNeeded && ost.Opened && StreamWantsPacket(sourceIndex, ost))
                EncodeAudio(ost, sourceIndex, frame);
        ff::av_frame_unref(frame);
    }
    return 0;
}

void TCustomFFmpeg::EncodeAudio(TTargetStream& ost, int sourceIndex, AVFrame* frame)
{
    TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    AVCodecContext* enc = ost.Encoder.get();
    const TTargetFile& of = FTargetFiles[size_t(ost.FileIndex)];
    const AVSampleFormat ifmt = AVSampleFormat(frame->format);
    const int decoderChannels = frame->ch_layout.nb_channels;
    const int irate = frame->sample_rate;
    const int isize = ff::av_get_bytes_per_sample(ifmt);
    const int och = enc->ch_layout.nb_channels;
    const int orate = enc->sample_rate;
    const bool iplanar = ff::av_sample_fmt_is_planar(ifmt);

    // What goes on: the decoder's channels, or those the channel map picks
    // (in the decoder's format; a channel of -1 is silence).
    int ich = decoderChannels;
    std::vector<const uint8_t*> in;
    AVChannelLayout mappedLayout{};
    if (ost.ChannelMap.empty()) {
        for (int i = 0; i < (iplanar ? ich : 1); ++i)
            in.push_back(frame->extended_data[i]);
    } else {
        ich = int(ost.ChannelMap.size());
        ff::av_channel_layout_default(&mappedLayout, ich);
        const uint8_t silence = isUnsigned8(ifmt) ? 0x80 : 0;
        const size_t planeBytes = size_t(frame->nb_samples) * size_t(isize);
        if (iplanar) {
            if (FChannelMapBuffer.size() < planeBytes)
                FChannelMapBuffer.resize(planeBytes);
            std::memset(FChannelMapBuffer.data(), silence, planeBytes);
            for (int c : ost.ChannelMap)
                in.push_back(c >= 0 && c < decoderChannels ? frame->extended_data[c] : FChannelMapBuffer.data());
        } else {
            if (FChannelMapBuffer.size() < planeBytes * size_t(ich))
                FChannelMapBuffer.resize(planeBytes * size_t(ich));
            uint8_t* out = FChannelMapBuffer.data();
            for (int s = 0; s < frame->nb_samples; ++s)
                for (int c : ost.ChannelMap) {
                    if (c >= 0 && c < decoderChannels)
                        std::memcpy(out, frame->extended_data[0] + (size_t(s) * decoderChannels + c) * isize,
                                    size_t(isize));
                    else
                        std::memset(out, silence, size_t(isize));
                    out += isize;
                }
            in.push_back(FChannelMapBuffer.data());
        }
    }
    AVChannelLayout* inLayout = ost.ChannelMap.empty() ? &frame->ch_layout : &mappedLayout;

    if (och != ich || enc->sample_fmt != ifmt || orate != irate)
        ost.AudioResample = true;
    const bool changed = ifmt != ost.ResampleSampleFmt || decoderChannels != ost.ResampleChannels ||
                         irate != ost.ResampleSampleRate;
    if ((ost.AudioResample && !ost.Resampler) || changed) {
        if (changed) {
            const char* oldName = ff::av_get_sample_fmt_name(AVSampleFormat(ost.ResampleSampleFmt));
            logText(llInfo, LoadResStringFmt(SFrameChanged, {ist.FileIndex, ist.Stream->index, ost.ResampleSampleRate,
                                                             oldName ? oldName : "none", ost.ResampleChannels, irate,
                                                             ff::av_get_sample_fmt_name(ifmt), decoderChannels}));
            ost.ResampleSampleFmt = ifmt;
            ost.ResampleChannels = decoderChannels;
            ost.ResampleSampleRate = irate;
            ost.Resampler.reset();
        }
        if (FSettings.AudioSync <= 1 && ost.ChannelMap.empty() && ost.ResampleSampleFmt == enc->sample_fmt &&
            ost.ResampleChannels == och && ost.ResampleSampleRate == orate) {
            ost.AudioResample = false;
        } else {
            SwrContext* swr = nullptr;
            if (ff::swr_alloc_set_opts2(&swr, &enc->ch_layout, enc->sample_fmt, orate, inLayout, ifmt, irate, 0,
                                        nullptr) >= 0) {
                ost.Resampler.reset(swr);
                // The defaults are the tool's: only a different value is set,
                // so the samples stay those of the tool's own resampler.
                if (ost.RematrixVolume != 1.0f)
                    ff::av_opt_set_double(swr, "rmvol", ost.RematrixVolume, 0);
                if (FSettings.AudioSync > 1)
                    ff::av_opt_set_int(swr, "flags", SWR_FLAG_RESAMPLE, 0);
                if (ff::swr_init(swr) < 0) {
                    logText(llFatal, LoadResString(SSwrInitFailed));
                    ost.Resampler.reset();
                }
            } else {
                ff::swr_free(&swr);
            }
            if (!ost.Resampler)
                RaiseError(SCannotResample, {ich, irate, och, orate});
            ost.AudioResample = true;
        }
    }

    // The input, after cutting or padding for synchronisation.
    const int sampleStride = iplanar ? isize : isize * ich;
    int inSamples = frame->nb_samples;

    AVAudioFifo* queue = ost.SampleQueue.get();
    const int queued = ff::av_audio_fifo_size(queue);
    if (FSettings.AudioSync != 0) {
        const double inputTime = double(ist.Time - of.StartTime) / 1000000.0;
        const double delta = inputTime * orate - double(ost.OutputClock) - queued;
        const int64_t idelta = int64_t(std::trunc(delta * irate / orate));
        if (std::fabs(delta) > 50) {
            if (ist.AtStart || std::fabs(delta) > double(FSettings.AudioDriftThreshold) * orate) {
                if (idelta < 0) {
                    const int skip = int(std::min<int64_t>(-idelta, inSamples));
                    for (const uint8_t*& p : in)
                        p += size_t(skip) * size_t(sampleStride);
                    inSamples -= skip;
                    logText(llVerbose, LoadResStringFmt(SDiscarding, {skip}));
                    if (inSamples <= 0)
                        return;
                    ist.AtStart = false;
                } else {
                    if (idelta > INT_MAX / 2)
                        RaiseError(LoadResString(SBufferSizesTooLarge));
                    const int pad = int(idelta);
                    ist.AtStart = false;
                    try {
                        std::vector<uint8_t*> planes = layOut(FSilenceBuffer, ifmt, ich, pad + inSamples);
                        const size_t padBytes = size_t(pad) * size_t(sampleStride);
                        for (size_t i = 0; i < planes.size(); ++i) {
                            std::memset(planes[i], isUnsigned8(ifmt) ? 0x80 : 0, padBytes);
                            std::memcpy(planes[i] + padBytes, in[i], size_t(inSamples) * size_t(sampleStride));
                            in[i] = planes[i];
                        }
                    } catch (const std::bad_alloc&) {
                        RaiseError(LoadResString(SOutOfMemoryAudio));
                    }
                    inSamples += pad;
                    logText(llVerbose, LoadResStringFmt(SAddingSilence, {int(idelta)}));
                }
            } else if (FSettings.AudioSync > 1 && ost.Resampler) {
                const int compensation =
                    int(std::clamp<int64_t>(int64_t(std::trunc(delta)), -FSettings.AudioSync, FSettings.AudioSync));
                logText(llVerbose, LoadResStringFmt(SCompensating, {delta, compensation, orate}));
                ff::swr_set_compensation(ost.Resampler.get(), compensation, orate);
            }
        }
    } else {
        const double inputTime = double(ist.Time - of.StartTime) / 1000000.0;
        if (ost.AudioResample && ost.Resampler) {
            // The resampler holds samples back: the next one it gives is
            // that much earlier than the frame's time (the tool's rounding).
            const int64_t rates = int64_t(irate) * orate;
            const int64_t start = std::llround(inputTime * irate) * orate - ff::swr_get_delay(ost.Resampler.get(), rates);
            ost.OutputClock = (start >= 0 ? start + irate / 2 : start - irate / 2) / irate - queued;
        } else {
            ost.OutputClock = std::llround(orate * inputTime) - queued;
        }
    }

    int written = inSamples;
    std::vector<const uint8_t*> out = in;
    if (ost.AudioResample) {
        // Room as the tool reserves it, and never less than the resampler can give.
        int64_t room = (int64_t(inSamples) * orate + irate) / irate * 2 + 10000;
        room = std::max<int64_t>({room, enc->frame_size, ff::swr_get_out_samples(ost.Resampler.get(), inSamples)});
        if (room * ff::av_get_bytes_per_sample(enc->sample_fmt) * och > INT_MAX)
            RaiseError(LoadResString(SBufferSizesTooLarge));
        std::vector<uint8_t*> planes;
        try {
            planes = layOut(FAudioBuffer, enc->sample_fmt, och, int(room));
        } catch (const std::bad_alloc&) {
            RaiseError(LoadResString(SOutOfMemoryAudio));
        }
        written = ff::swr_convert(ost.Resampler.get(), planes.data(), int(room), in.data(), inSamples);
        if (written < 0)
            RaiseError(ErrorText(String::fromLatin1("swr_convert()"), written));
        out.assign(planes.begin(), planes.end());
    }
    if (written > 0 &&
        ff::av_audio_fifo_write(queue, reinterpret_cast<void**>(const_cast<uint8_t**>(out.data())), written) <
            written)
        RaiseError(LoadResString(SFifoReallocFailed));
    encodeQueuedAudio(ost, false);
}

// Whole frames of the encoder's size leave the queue; an encoder that takes
// any number of samples gets all of them. The last call also sends the rest.
void TCustomFFmpeg::encodeQueuedAudio(TTargetStream& ost, bool last)
{
    AVCodecContext* enc = ost.Encoder.get();
    AVAudioFifo* queue = ost.SampleQueue.get();
    const bool anySize = enc->frame_size < 2 || (enc->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    for (;;) {
        const int available = ff::av_audio_fifo_size(queue);
        int count = anySize ? available : std::min(available, enc->frame_size);
        if (count <= 0 || (!anySize && !last && count < enc->frame_size))
            return;
        TFramePtr frame(ff::av_frame_alloc());
        if (!frame)
            RaiseError(LoadResString(SOutOfMemoryAudio));
        frame->nb_samples = count;
        frame->format = enc->sample_fmt;
        frame->sample_rate = enc->sample_rate;
        if (ff::av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout) < 0 ||
            ff::av_frame_get_buffer(frame.get(), 0) < 0)
            RaiseError(LoadResString(SOutOfMemoryAudio));
        if (ff::av_audio_fifo_read(queue, reinterpret_cast<void**>(frame->extended_data), count) < count)
            RaiseError(LoadResString(SAudioEncodingFailed));
        frame->pts = ost.OutputClock;
        ost.OutputClock += count;
        encodeFrame(ost, frame.get());
    }
}

void TCustomFFmpeg::DrainAudio(TTargetStream& ost)
{
    AVCodecContext* enc = ost.Encoder.get();
    if (ost.AudioResample && ost.Resampler) {
        // What the resampler still holds back belongs to the end of the stream.
        const int och = enc->ch_layout.nb_channels;
        const int room = std::max(4096, enc->frame_size);
        std::vector<uint8_t*> planes = layOut(FAudioBuffer, enc->sample_fmt, och, room);
        for (;;) {
            const int n = ff::swr_convert(ost.Resampler.get(), planes.data(), room, nullptr, 0);
            if (n <= 0)
                break;
            if (ff::av_audio_fifo_write(ost.SampleQueue.get(), reinterpret_cast<void**>(planes.data()), n) < n)
                RaiseError(LoadResString(SFifoReallocFailed));
        }
    }
    // The short last frame is padded with silence by the codec library when
    // the encoder needs whole frames.
    encodeQueuedAudio(ost, true);
    encodeFrame(ost, nullptr);
}
