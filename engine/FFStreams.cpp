// Creating the streams of an output: the encoder chosen for each and the
// per-stream option values applied to it.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

using namespace FFTaskConsts;

uint32_t ParseCodecTag(const AnsiString& text);

TTargetStream& TCustomFFmpeg::CreateOutputStream(TFileOptions& o, AVFormatContext* oc, AVMediaType type)
{
    AVStream* st = ff::avformat_new_stream(oc, nullptr);
    if (!st)
        RaiseError(LoadResString(SCouldNotAllocStream));
    const int index = int(oc->nb_streams) - 1;
    if (index < int(o.StreamIdMap.size()))
        st->id = o.StreamIdMap[size_t(index)];

    TTargetStream ost;
    ost.FileIndex = int(FTargetFiles.size());
    ost.Index = index;
    ost.Stream = st;
    st->codecpar->codec_type = type;
    PickEncoder(o, oc, ost);
    if (ost.Codec)
        ost.EncoderOptions = FilterCodecOptions(FLibavOpts.CodecOpts, ost.Codec, oc, st);
    ost.Encoder.reset(ff::avcodec_alloc_context3(ost.Codec));
    if (!ost.Encoder)
        RaiseError(LoadResString(SCouldNotAllocStream));
    AVCodecContext* enc = ost.Encoder.get();
    enc->codec_type = type;

    MatchPerStreamOpt(o.MaxFrames, oc, st, ost.MaxFrames);

    AnsiString bsfs;
    MatchPerStreamOpt(o.BitstreamFilters, oc, st, bsfs);
    for (const AnsiString& name : bsfs.split(',')) {
        if (name.isEmpty())
            continue;
        const AVBitStreamFilter* filter = ff::av_bsf_get_by_name(name.constData());
        AVBSFContext* bsf = nullptr;
        if (!filter || ff::av_bsf_alloc(filter, &bsf) < 0)
            RaiseError(SUnknownBsf, {name});
        ost.BitstreamFilters.emplace_back(bsf);
    }

    AnsiString tag;
    MatchPerStreamOpt(o.CodecTags, oc, st, tag);
    if (!tag.isEmpty())
        enc->codec_tag = ParseCodecTag(tag);

    double qscale = -1;
    MatchPerStreamOpt(o.QScale, oc, st, qscale);
    if (qscale >= 0 || FSettings.SameQuant) {
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = int(std::trunc(FF_QP2LAMBDA * qscale));
    }
    if (oc->oformat->flags & AVFMT_GLOBALHEADER)
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int64_t swsFlags = SWS_BICUBIC;
    if (FLibavOpts.SwsOpts)
        ff::av_opt_get_int(FLibavOpts.SwsOpts, "sws_flags", 0, &swsFlags);
    ost.SwsFlags = int(swsFlags);

    FTargetStreams.push_back(std::move(ost));
    return FTargetStreams.back();
}

void TCustomFFmpeg::PickEncoder(TFileOptions& o, AVFormatContext* oc, TTargetStream& ost)
{
    const AVMediaType type = ost.Stream->codecpar->codec_type;
    AnsiString name;
    MatchPerStreamOpt(o.CodecNames, oc, ost.Stream, name);
    if (name == "copy") {
        ost.Copy = true;
    } else if (!name.isEmpty()) {
        ost.Codec = FindCodecOrFail(name, type, true);
        ost.Stream->codecpar->codec_id = ost.Codec->id;
    } else {
        const AVCodecID id = ff::av_guess_codec(oc->oformat, nullptr, oc->url, nullptr, type);
        ost.Stream->codecpar->codec_id = id;
        ost.Codec = id == AV_CODEC_ID_NONE ? nullptr : ff::avcodec_find_encoder(id);
    }
}

TTargetStream& TCustomFFmpeg::CreateVideoStream(TFileOptions& o, AVFormatContext* oc)
{
    TTargetStream& ost = CreateOutputStream(o, oc, AVMEDIA_TYPE_VIDEO);
    AVStream* st = ost.Stream;
    AVCodecContext* enc = ost.Encoder.get();
    int copyInitial = 0;
    MatchPerStreamOpt(o.CopyInitialNonKeyframes, oc, st, copyInitial);
    ost.CopyInitialNonKeyframes = copyInitial != 0;
    if (ost.Copy)
        return ost;

    AnsiString text;
    MatchPerStreamOpt(o.FrameRates, oc, st, text);
    if (!text.isEmpty() && ff::av_parse_video_rate(&ost.FrameRate, text.constData()) < 0)
        RaiseError(SInvalidFramerate, {text});
    text.clear();
    MatchPerStreamOpt(o.FrameSizes, oc, st, text);
    if (!text.isEmpty() && ff::av_parse_video_size(&enc->width, &enc->height, text.constData()) < 0)
        RaiseError(SInvalidFrameSize, {text});
    text.clear();
    MatchPerStreamOpt(o.FrameAspectRatios, oc, st, text);
    if (!text.isEmpty())
        ost.FrameAspect = float(ParseAspectRatio(text));
    enc->bits_per_raw_sample = FSettings.RawSampleBits;
    text.clear();
    MatchPerStreamOpt(o.FramePixFmts, oc, st, text);
    if (!text.isEmpty()) {
        enc->pix_fmt = ff::av_get_pix_fmt(text.constData());
        if (enc->pix_fmt == AV_PIX_FMT_NONE)
            RaiseError(SUnknownPixelFormat, {text});
    }
    st->sample_aspect_ratio = enc->sample_aspect_ratio;
    if (FSettings.IntraOnly)
        enc->gop_size = 0;

    text.clear();
    MatchPerStreamOpt(o.IntraMatrices, oc, st, text);
    if (!text.isEmpty()) {
        enc->intra_matrix = static_cast<uint16_t*>(ff::av_mallocz(64 * sizeof(uint16_t)));
        if (!enc->intra_matrix)
            RaiseError(LoadResString(SIntraMatrixMemory));
        ReadQuantMatrix(enc->intra_matrix, text);
    }
    text.clear();
    MatchPerStreamOpt(o.InterMatrices, oc, st, text);
    if (!text.isEmpty()) {
        enc->inter_matrix = static_cast<uint16_t*>(ff::av_mallocz(64 * sizeof(uint16_t)));
        if (!enc->inter_matrix)
            RaiseError(LoadResString(SInterMatrixMemory));
        ReadQuantMatrix(enc->inter_matrix, text);
    }

    text.clear();
    MatchPerStreamOpt(o.RcOverrides, oc, st, text);
    if (!text.isEmpty()) {
        std::vector<RcOverride> items;
        for (const AnsiString& item : text.split('/')) {
            int start = 0, end = 0, q = 0;
            if (std::sscanf(item.constData(), "%d,%d,%d", &start, &end, &q) != 3)
                RaiseError(LoadResString(SRcOverrideError));
            RcOverride r{};
            r.start_frame = start;
            r.end_frame = end;
            r.qscale = q > 0 ? q : 0;
            r.quality_factor = q > 0 ? 1.0f : float(-q) / 100.0f;
            items.push_back(r);
        }
        enc->rc_override = static_cast<RcOverride*>(ff::av_mallocz(items.size() * sizeof(RcOverride)));
        if (!enc->rc_override)
            RaiseError(LoadResString(SRcOverrideError));
        std::memcpy(enc->rc_override, items.data(), items.size() * sizeof(RcOverride));
        enc->rc_override_count = int(items.size());
    }
    if (enc->rc_initial_buffer_occupancy == 0)
        enc->rc_initial_buffer_occupancy = enc->rc_buffer_size * 3 / 4;
    enc->intra_dc_precision = FSettings.IntraDCPrecision - 8;
    if (FSettings.PSNR)
        enc->flags |= AV_CODEC_FLAG_PSNR;
    if (FSettings.Pass & 1)
        enc->flags |= AV_CODEC_FLAG_PASS1;
    if (FSettings.Pass & 2)
        enc->flags |= AV_CODEC_FLAG_PASS2;

    text.clear();
    MatchPerStreamOpt(o.ForcedKeyFrames, oc, st, text);
    if (!text.isEmpty())
        ReadKeyFrameTimes(text, ost);
    int forceFps = 0;
    MatchPerStreamOpt(o.ForceFps, oc, st, forceFps);
    ost.ForceFps = forceFps != 0;
    MatchPerStreamOpt(o.TopFieldFirst, oc, st, ost.TopFieldFirst);
    MatchPerStreamOpt(o.Filters, oc, st, ost.FilterChain);
    return ost;
}

void TCustomFFmpeg::ReadKeyFrameTimes(const AnsiString& text, TTargetStream& ost)
{
    ost.ForcedKeyFrames.clear();
    for (const AnsiString& item : text.split(','))
        ost.ForcedKeyFrames.push_back(ParseTimeOption("force_key_frames", item, true));
}

void TCustomFFmpeg::ReadQuantMatrix(uint16_t* matrix, const AnsiString& text)
{
    const char* p = text.constData();
    for (int i = 0; i < 64; ++i) {
        matrix[i] = uint16_t(std::strtol(p, nullptr, 10));
        if (i == 63)
            break;
        p = std::strchr(p, ',');
        if (!p)
            RaiseError(SMatrixSyntax, {text, i});
        ++p;
    }
}

TTargetStream& TCustomFFmpeg::CreateAudioStream(TFileOptions& o, AVFormatContext* oc)
{
    TTargetStream& ost = CreateOutputStream(o, oc, AVMEDIA_TYPE_AUDIO);
    AVStream* st = ost.Stream;
    AVCodecContext* enc = ost.Encoder.get();
    if (!ost.Copy) {
        int channels = 0;
        MatchPerStreamOpt(o.AudioChannels, oc, st, channels);
        if (channels > 0) {
            ff::av_channel_layout_uninit(&enc->ch_layout);
            ff::av_channel_layout_default(&enc->ch_layout, channels);
        }
        MatchPerStreamOpt(o.AudioSampleRates, oc, st, enc->sample_rate);
        MatchPerStreamOpt(o.RematrixVolumes, oc, st, ost.RematrixVolume);
        AnsiString format;
        MatchPerStreamOpt(o.SampleFmts, oc, st, format);
        if (!format.isEmpty()) {
            enc->sample_fmt = ff::av_get_sample_fmt(format.constData());
            if (enc->sample_fmt == AV_SAMPLE_FMT_NONE)
                RaiseError(SInvalidSampleFormat, {format});
        }
    }
    int mapped = 0;
    for (const TChannelMapEntry& m : o.AudioChannelMaps) {
        if (m.OFileIndex != -1 && m.OFileIndex != ost.FileIndex)
            continue;
        if (m.OStreamIndex != -1 && m.OStreamIndex != ost.Index)
            continue;
        if (++mapped > 16)
            RaiseError(SMaxChannelMapping, {ost.FileIndex, ost.Index});
        ost.ChannelMapEntries.push_back(m);
    }
    return ost;
}

TTargetStream& TCustomFFmpeg::CreateDataStream(TFileOptions& o, AVFormatContext* oc)
{
    TTargetStream& ost = CreateOutputStream(o, oc, AVMEDIA_TYPE_DATA);
    if (!ost.Copy)
        RaiseError(LoadResString(SDataEncoding));
    return ost;
}

TTargetStream& TCustomFFmpeg::CreateSubtitleStream(TFileOptions& o, AVFormatContext* oc)
{
    return CreateOutputStream(o, oc, AVMEDIA_TYPE_SUBTITLE);
}

TTargetStream& TCustomFFmpeg::CreateAttachmentStream(TFileOptions& o, AVFormatContext* oc)
{
    TTargetStream& ost = CreateOutputStream(o, oc, AVMEDIA_TYPE_ATTACHMENT);
    ost.Copy = true;
    return ost;
}
