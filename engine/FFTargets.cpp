// The disc-format presets of "-target", and what "-sameq" makes of a video
// encoder's rate settings.
#include <algorithm>
#include <cmath>

#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"

using namespace FFmpegConsts;

namespace {

enum TNorm { nmPAL, nmNTSC, nmFILM, nmUnknown };

// One video stream's norm from its frame rate; the decoder's time base,
// which older libraries filled, is no longer set.
TNorm normOfStream(const AVStream* st)
{
    AVRational rate = st->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = st->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return nmUnknown;
    const long long fr = std::llround(double(rate.num) * 1000.0 / double(rate.den));
    if (fr == 25000)
        return nmPAL;
    if (fr == 29970 || fr == 23976)
        return nmNTSC;
    return nmUnknown;
}

enum TApply { apFile, apVideoCodec, apAudioCodec, apGeneric };
struct TPresetValue {
    TApply How;
    const char* Name;
    AnsiString Value;
};

}  // namespace

int TCustomFFmpeg::OptTarget(TFileOptions& o, const AnsiString&, const AnsiString& arg)
{
    TNorm norm = nmUnknown;
    AnsiString name = arg;
    if (arg.startsWith("pal-")) {
        norm = nmPAL;
        name = arg.mid(4);
    } else if (arg.startsWith("ntsc-")) {
        norm = nmNTSC;
        name = arg.mid(5);
    } else if (arg.startsWith("film-")) {
        norm = nmFILM;
        name = arg.mid(5);
    } else {
        for (const TSourceFile& file : FSourceFiles) {
            const AVFormatContext* ctx = file.Context.get();
            for (unsigned i = 0; i < ctx->nb_streams && norm == nmUnknown; ++i)
                if (ctx->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                    norm = normOfStream(ctx->streams[i]);
            if (norm != nmUnknown)
                break;
        }
        if (norm == nmUnknown)
            RaiseError(LoadResString(SCouldNotDetermineNorm));
        GetLogger()->LogFmt(this, llInfo, LoadResString(SAssumingNorm), {norm == nmPAL ? "PAL" : "NTSC"});
    }

    const bool pal = norm == nmPAL;
    const AnsiString rate = pal ? "25" : norm == nmNTSC ? "30000/1001" : "24000/1001";
    const AnsiString gop = pal ? "15" : "18";
    std::vector<TPresetValue> values;
    if (name == "vcd") {
        values = {{apVideoCodec, "c:v", "mpeg1video"}, {apAudioCodec, "c:a", "mp2"}, {apFile, "f", "vcd"},
                  {apFile, "s", pal ? "352x288" : "352x240"}, {apFile, "r", rate}, {apGeneric, "g", gop},
                  {apGeneric, "b:v", "1150000"}, {apGeneric, "maxrate", "1150000"},
                  {apGeneric, "minrate", "1150000"}, {apGeneric, "bufsize", "327680"},
                  {apGeneric, "b:a", "224000"}, {apFile, "ar", "44100"}, {apFile, "ac", "2"},
                  {apGeneric, "packetsize", "2324"}, {apGeneric, "muxrate", "1411200"}};
    } else if (name == "svcd") {
        // The scan offset is an option of the MPEG-2 encoder itself now; as
        // a codec flag it keeps every encoder from opening.
        values = {{apVideoCodec, "c:v", "mpeg2video"}, {apAudioCodec, "c:a", "mp2"}, {apFile, "f", "svcd"},
                  {apFile, "s", pal ? "480x576" : "480x480"}, {apFile, "r", rate}, {apFile, "pix_fmt", "yuv420p"},
                  {apGeneric, "g", gop}, {apGeneric, "b:v", "2040000"}, {apGeneric, "maxrate", "2516000"},
                  {apGeneric, "minrate", "0"}, {apGeneric, "bufsize", "1835008"},
                  {apGeneric, "scan_offset", "1"}, {apGeneric, "b:a", "224000"}, {apFile, "ar", "44100"},
                  {apGeneric, "packetsize", "2324"}};
    } else if (name == "dvd") {
        values = {{apVideoCodec, "c:v", "mpeg2video"}, {apAudioCodec, "c:a", "ac3"}, {apFile, "f", "dvd"},
                  {apFile, "s", pal ? "720x576" : "720x480"}, {apFile, "r", rate}, {apFile, "pix_fmt", "yuv420p"},
                  {apGeneric, "g", gop}, {apGeneric, "b:v", "6000000"}, {apGeneric, "maxrate", "9000000"},
                  {apGeneric, "minrate", "0"}, {apGeneric, "bufsize", "1835008"},
                  {apGeneric, "packetsize", "2048"}, {apGeneric, "muxrate", "10080000"},
                  {apGeneric, "b:a", "448000"}, {apFile, "ar", "48000"}};
    } else if (name == "dv" || name == "dv50") {
        const AnsiString pixFmt = name == "dv50" ? "yuv422p" : norm == nmNTSC ? "yuv411p" : "yuv420p";
        values = {{apFile, "f", "dv"}, {apFile, "s", pal ? "720x576" : "720x480"}, {apFile, "pix_fmt", pixFmt},
                  {apFile, "r", rate}, {apFile, "ar", "48000"}, {apFile, "ac", "2"}};
    } else {
        return failOption(LoadResStringFmt(SUnknownTarget, {name}), llError, AVERROR(EINVAL));
    }

    for (const TPresetValue& v : values) {
        int r = 0;
        switch (v.How) {
        case apFile: r = ParseOption(o, v.Name, &v.Value); break;
        case apVideoCodec: r = OptVideoCodec(o, v.Name, v.Value); break;
        case apAudioCodec: r = OptAudioCodec(o, v.Name, v.Value); break;
        case apGeneric: r = OptGeneric(v.Name, v.Value); break;
        }
        if (r < 0)
            return r;
    }
    if (name == "vcd")
        o.MuxPreload = 0.44f;
    return 0;
}

// ---- same quantiser ------------------------------------------------------------------

TSameQuantRate SameQuantRate(int64_t sourceBitRate, int64_t requestedBitRate, int64_t minRate, int64_t maxRate)
{
    TSameQuantRate result;
    auto bounded = [&](int64_t rate) {
        if (maxRate > 0)
            rate = std::min(rate, maxRate);
        return std::max(rate, minRate);
    };
    if (sourceBitRate > 0) {
        result.BitRate = bounded(std::max(sourceBitRate, requestedBitRate));
    } else if (maxRate > 0) {
        // A fixed quantiser would ignore the limits of the target.
        result.BitRate = bounded(requestedBitRate > 0 ? requestedBitRate : maxRate);
    } else {
        result.QScale = SameQuantFallbackQScale;
    }
    return result;
}

int ApplySameQuant(AVCodecContext* enc, AVDictionary** opts, int64_t sourceBitRate)
{
    const bool requested = ff::av_dict_get(*opts, "b", nullptr, 0) != nullptr;
    const int ret = ff::av_opt_set_dict2(enc, opts, AV_OPT_SEARCH_CHILDREN);
    if (ret < 0)
        return ret;
    const TSameQuantRate rate =
        SameQuantRate(sourceBitRate, requested ? enc->bit_rate : 0, enc->rc_min_rate, enc->rc_max_rate);
    if (rate.BitRate > 0) {
        enc->bit_rate = rate.BitRate;
        enc->flags &= ~AV_CODEC_FLAG_QSCALE;
    } else {
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = FF_QP2LAMBDA * rate.QScale;
    }
    return 0;
}
