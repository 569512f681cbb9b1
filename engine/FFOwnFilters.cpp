// The engine's own video filters on frames, and the chain runner that puts
// them between graph segments of the filter library.
#include "engine/FFOwnFilters.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "engine/AVFilterStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"
#include "engine/MyUtils.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"

using namespace OwnFiltersConsts;

namespace {

bool chromaShifts(AVPixelFormat format, int& hsub, int& vsub)
{
    const AVPixFmtDescriptor* desc = ff::av_pix_fmt_desc_get(format);
    if (!desc)
        return false;
    hsub = desc->log2_chroma_w;
    vsub = desc->log2_chroma_h;
    return true;
}

int ceilShift(int value, int shift)
{
    return -((-value) >> shift);
}

// The own filters work on frames of their own; a frame the graph still
// shares is copied first.
int makeWritable(TFramePtr& frame)
{
    return ff::av_frame_make_writable(frame.get());
}

// The classic integer conversion, with its exception's text on failure.
bool parseInteger(const String& text, int& value, String& error)
{
    try {
        value = StrToInt(text);
        return true;
    } catch (const Exception& e) {
        error = e.Message();
        return false;
    }
}

// An equalizer's argument text: up to four ":"-separated parts. The third
// and fourth parts once named memory the filter read and wrote; only their
// "absent" values (empty or 0) are still accepted.
int parseEqualizerArgs(const AnsiString& args, int& first, int& second)
{
    String text = String::fromUtf8(args);
    String parts[4];
    for (int i = 0; i < 3; ++i)
        CutAtSeparator(text, QStringLiteral(":"), true, parts[i]);
    parts[3] = text;
    String error;
    int values[4] = {first, second, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const String part = Trim(parts[i]);
        if (part.isEmpty())
            continue;
        if (!parseInteger(part, values[i], error)) {
            ff::av_log(nullptr, AV_LOG_ERROR, SFailedToParse, error.toUtf8().constData());
            return -1;
        }
        if (i >= 2 && values[i] != 0) {
            error = QStringLiteral("'%1' is not accepted: live value addresses are not supported").arg(part);
            ff::av_log(nullptr, AV_LOG_ERROR, SFailedToParse, error.toUtf8().constData());
            return -1;
        }
    }
    first = values[0];
    second = values[1];
    return 0;
}

void clampValue(int& value, const char* format)
{
    const int clamped = std::clamp(value, -100, 100);
    if (clamped != value) {
        ff::av_log(nullptr, AV_LOG_ERROR, format, value, clamped);
        value = clamped;
    }
}

}  // namespace

// ---- rotate ------------------------------------------------------------------------

int TRotateFilter::Init(const AnsiString& args)
{
    Angle = 45;
    const String text = Trim(String::fromUtf8(args));
    if (text.isEmpty())
        return 0;
    String error;
    return parseInteger(text, Angle, error) ? 0 : AVERROR(EINVAL);
}

int TRotateFilter::ConfigInput(AVPixelFormat format, int width, int height)
{
    if (!chromaShifts(format, HSub, VSub))
        return AVERROR(EINVAL);
    Fill[0] = 16;
    Fill[1] = Fill[2] = 128;
    FInW = width;
    FInH = height;
    const double a = Angle * M_PI / 180.0;
    const double w = width, h = height;
    SinX = std::sin(a);
    CosX = std::cos(a);
    TransX = std::max(0.0, h * SinX) + std::max(0.0, -w * CosX);
    TransY = std::max(0.0, -h * CosX) + std::max(0.0, -w * SinX);
    OutW = int(std::floor(std::max(0.0, w * CosX) + std::max(0.0, -h * SinX) + TransX));
    OutH = int(std::floor(std::max(0.0, h * CosX) + std::max(0.0, w * SinX) + TransY));
    return OutW > 0 && OutH > 0 ? 0 : AVERROR(EINVAL);
}

AVRational TRotateFilter::OutputAspect(AVRational input) const
{
    // Pixel shapes turn with the picture only at a quarter turn; at half
    // turns and at other angles the sampling grid keeps its shape.
    const int quarter = ((Angle % 360) + 360) % 360;
    if ((quarter == 90 || quarter == 270) && input.num != 0)
        return AVRational{input.den, input.num};
    return input;
}

int TRotateFilter::FilterFrame(TFramePtr& frame)
{
    AVFrame* in = frame.get();
    const auto format = AVPixelFormat(in->format);
    if (in->width != FInW || in->height != FInH) {
        if (const int ret = ConfigInput(format, in->width, in->height); ret < 0)
            return ret;
    }
    TFramePtr out(ff::av_frame_alloc());
    if (!out)
        return AVERROR(ENOMEM);
    out->format = in->format;
    out->width = OutW;
    out->height = OutH;
    if (const int ret = ff::av_frame_get_buffer(out.get(), 0); ret < 0)
        return ret;
    if (const int ret = ff::av_frame_copy_props(out.get(), in); ret < 0)
        return ret;
    out->sample_aspect_ratio = OutputAspect(in->sample_aspect_ratio);

    // Each output sample takes the input sample under its centre, so that
    // quarter and half turns move every sample and lose none.
    const auto sampleAt = [&](double row, double col, int& x, int& y) {
        const double ci = row - TransY, cj = col - TransX;
        x = int(std::floor(SinX * ci + CosX * cj));
        y = int(std::floor(CosX * ci - SinX * cj));
        return x >= 0 && x < FInW && y >= 0 && y < FInH;
    };
    for (int i = 0; i < OutH; ++i) {
        uint8_t* dst = out->data[0] + ptrdiff_t(i) * out->linesize[0];
        for (int j = 0; j < OutW; ++j) {
            int x, y;
            dst[j] = sampleAt(i + 0.5, j + 0.5, x, y) ? in->data[0][ptrdiff_t(y) * in->linesize[0] + x]
                                                      : uint8_t(Fill[0]);
        }
    }
    const int chromaH = ceilShift(OutH, VSub), chromaW = ceilShift(OutW, HSub);
    const double stepY = double(1 << VSub), stepX = double(1 << HSub);
    for (int plane = 1; plane <= 2; ++plane) {
        for (int r = 0; r < chromaH; ++r) {
            uint8_t* dst = out->data[plane] + ptrdiff_t(r) * out->linesize[plane];
            for (int k = 0; k < chromaW; ++k) {
                int x, y;
                dst[k] = sampleAt((r + 0.5) * stepY, (k + 0.5) * stepX, x, y)
                             ? in->data[plane][ptrdiff_t(y >> VSub) * in->linesize[plane] + (x >> HSub)]
                             : uint8_t(Fill[plane]);
            }
        }
    }
    frame = std::move(out);
    return 0;
}

// ---- nativehue ---------------------------------------------------------------------

void NativeHueProcess(uint8_t* u, uint8_t* v, int lineSize, int width, int rows, int hue, int sat)
{
    const double angle = hue * M_PI / 100.0;
    const double f = (sat + 100) / 100.0;
    const int s = int(std::floor(std::sin(angle) * 65536.0 * f + 0.5));
    const int c = int(std::floor(std::cos(angle) * 65536.0 * f + 0.5));
    for (int row = 0; row < rows; ++row) {
        for (int i = 0; i < width; ++i) {
            const int du = u[i] - 128, dv = v[i] - 128;
            u[i] = uint8_t(std::clamp((c * du - s * dv + 8421376) >> 16, 0, 255));
            v[i] = uint8_t(std::clamp((s * du + c * dv + 8421376) >> 16, 0, 255));
        }
        u += lineSize;
        v += lineSize;
    }
}

int TNativeHueFilter::Init(const AnsiString& args)
{
    Hue = Sat = 0;
    if (!args.isEmpty() && parseEqualizerArgs(args, Hue, Sat) < 0)
        return -1;
    clampValue(Hue, SInvalidHue);
    clampValue(Sat, SInvalidSaturation);
    LastHue = Hue;
    LastSat = Sat;
    ff::av_log(nullptr, AV_LOG_DEBUG, SHueDebug, Hue, Sat);
    Process = Hue != 0 || Sat != 0;
    return 0;
}

int TNativeHueFilter::ConfigInput(AVPixelFormat format, int width, int height)
{
    FWidth = width;
    FHeight = height;
    return chromaShifts(format, HSub, VSub) ? 0 : AVERROR(EINVAL);
}

int TNativeHueFilter::FilterFrame(TFramePtr& frame)
{
    if (!Process || (Hue == 0 && Sat == 0))
        return 0;
    if (const int ret = makeWritable(frame); ret < 0)
        return ret;
    AVFrame* f = frame.get();
    if (!chromaShifts(AVPixelFormat(f->format), HSub, VSub))
        return AVERROR(EINVAL);
    // Whole planes: an odd size's last chroma row and column are turned too.
    NativeHueProcess(f->data[1], f->data[2], f->linesize[1], ceilShift(f->width, HSub), ceilShift(f->height, VSub),
                     Hue, Sat);
    return 0;
}

// ---- nativeeq ----------------------------------------------------------------------

void NativeEqProcess(uint8_t* y, int lineSize, int width, int rows, int brightness, int contrast)
{
    const int k = ((contrast + 100) * 65536) / 100;
    const int b = ((brightness + 100) * 511) / 200 - 128 - (k >> 9);
    for (int row = 0; row < rows; ++row) {
        for (int i = 0; i < width; ++i)
            y[i] = uint8_t(std::clamp(((y[i] * k) >> 16) + b, 0, 255));
        y += lineSize;
    }
}

int TNativeEqFilter::Init(const AnsiString& args)
{
    Brightness = Contrast = 0;
    if (!args.isEmpty() && parseEqualizerArgs(args, Brightness, Contrast) < 0)
        return -1;
    clampValue(Brightness, SInvalidBrightness);
    clampValue(Contrast, SInvalidContrast);
    LastBrightness = Brightness;
    LastContrast = Contrast;
    ff::av_log(nullptr, AV_LOG_DEBUG, SEqDebug, Brightness, Contrast);
    Process = Brightness != 0 || Contrast != 0;
    return 0;
}

int TNativeEqFilter::ConfigInput(AVPixelFormat, int width, int height)
{
    FWidth = width;
    FHeight = height;
    return 0;
}

int TNativeEqFilter::FilterFrame(TFramePtr& frame)
{
    if (!Process || (Brightness == 0 && Contrast == 0))
        return 0;
    if (const int ret = makeWritable(frame); ret < 0)
        return ret;
    AVFrame* f = frame.get();
    NativeEqProcess(f->data[0], f->linesize[0], f->width, f->height, Brightness, Contrast);
    return 0;
}

// ---- the chain ---------------------------------------------------------------------

bool IsOwnFilterName(const AnsiString& name)
{
    return name == "rotate" || name == "nativehue" || name == "nativeeq";
}

std::unique_ptr<TOwnVideoFilter> CreateOwnFilter(const AnsiString& name)
{
    if (name == "rotate")
        return std::make_unique<TRotateFilter>();
    if (name == "nativehue")
        return std::make_unique<TNativeHueFilter>();
    if (name == "nativeeq")
        return std::make_unique<TNativeEqFilter>();
    return nullptr;
}

std::vector<TFilterChainItem> SplitFilterChain(const AnsiString& chain)
{
    std::vector<TFilterChainItem> items;
    AnsiString current;
    bool quoted = false;
    int brackets = 0;
    const auto finish = [&] {
        TFilterChainItem item;
        item.Text = current.trimmed();
        const int eq = item.Text.indexOf('=');
        item.Name = (eq < 0 ? item.Text : item.Text.left(eq)).trimmed();
        item.Args = eq < 0 ? AnsiString() : item.Text.mid(eq + 1);
        item.Own = IsOwnFilterName(item.Name);
        items.push_back(std::move(item));
        current.clear();
    };
    for (int i = 0; i < chain.size(); ++i) {
        const char ch = chain[i];
        if (ch == '\\' && i + 1 < chain.size()) {
            current += ch;
            current += chain[++i];
            continue;
        }
        if (ch == '\'')
            quoted = !quoted;
        else if (!quoted && ch == '[')
            ++brackets;
        else if (!quoted && ch == ']' && brackets > 0)
            --brackets;
        else if (!quoted && brackets == 0 && ch == ',') {
            finish();
            continue;
        }
        current += ch;
    }
    finish();
    return items;
}

struct TOwnFilterChain::TStage {
    std::vector<std::unique_ptr<TOwnVideoFilter>> Filters;
    AnsiString Segment;
    bool HasGraph = false;
    TFilterGraphPtr Graph;
    AVFilterContext* Source = nullptr;
    AVFilterContext* Sink = nullptr;
    bool Ended = false;
};

TOwnFilterChain::TOwnFilterChain() = default;
TOwnFilterChain::~TOwnFilterChain() = default;

int TOwnFilterChain::Parse(const AnsiString& chain)
{
    const std::vector<TFilterChainItem> items = SplitFilterChain(chain);
    if (std::none_of(items.begin(), items.end(), [](const TFilterChainItem& item) { return item.Own; }))
        return 0;
    FFirstSegment.clear();
    FStages.clear();
    const auto append = [](AnsiString& segment, const AnsiString& text) {
        if (!segment.isEmpty())
            segment += ',';
        segment += text;
    };
    for (const TFilterChainItem& item : items) {
        if (!item.Own) {
            append(FStages.empty() ? FFirstSegment : FStages.back()->Segment, item.Text);
            continue;
        }
        if (FStages.empty() || !FStages.back()->Segment.isEmpty())
            FStages.push_back(std::make_unique<TStage>());
        std::unique_ptr<TOwnVideoFilter> filter = CreateOwnFilter(item.Name);
        if (const int ret = filter->Init(item.Args); ret < 0)
            return ret;
        FStages.back()->Filters.push_back(std::move(filter));
    }
    for (size_t i = 0; i < FStages.size(); ++i)
        FStages[i]->HasGraph = !FStages[i]->Segment.isEmpty() || i + 1 == FStages.size();
    return 1;
}

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

// What comes out of a sink, or of an own filter, and goes into the next graph.
struct TLinkParams {
    AVPixelFormat Format = AV_PIX_FMT_NONE;
    int Width = 0, Height = 0;
    AVRational TimeBase{1, AV_TIME_BASE};
    AVRational Aspect{0, 1};
};

TLinkParams sinkParams(AVFilterContext* sink)
{
    TLinkParams p;
    p.Format = AVPixelFormat(ff::av_buffersink_get_format(sink));
    p.Width = ff::av_buffersink_get_w(sink);
    p.Height = ff::av_buffersink_get_h(sink);
    p.TimeBase = ff::av_buffersink_get_time_base(sink);
    p.Aspect = ff::av_buffersink_get_sample_aspect_ratio(sink);
    if (!p.Aspect.num || !p.Aspect.den)
        p.Aspect = AVRational{0, 1};
    return p;
}

}  // namespace

int TOwnFilterChain::Configure(AVFilterContext* firstSink, AVPixelFormat encoderFormat, int swsFlags,
                               AVFilterContext** finalSink)
{
    FFirstSink = firstSink;
    FEnded = false;
    TLinkParams p = sinkParams(firstSink);
    const AnsiString swsOpts = "flags=0x" + AnsiString::number(swsFlags, 16).toUpper();
    for (size_t i = 0; i < FStages.size(); ++i) {
        TStage& stage = *FStages[i];
        for (const auto& filter : stage.Filters) {
            if (const int ret = filter->ConfigInput(p.Format, p.Width, p.Height); ret < 0)
                return ret;
            p.Width = filter->OutputWidth();
            p.Height = filter->OutputHeight();
            p.Aspect = filter->OutputAspect(p.Aspect);
        }
        if (!stage.HasGraph)
            continue;
        stage.Graph.reset(ff::avfilter_graph_alloc());
        AVFilterGraph* graph = stage.Graph.get();
        if (!graph)
            return AVERROR(ENOMEM);
        const AnsiString args = "video_size=" + AnsiString::number(p.Width) + 'x' + AnsiString::number(p.Height) +
                                ":pix_fmt=" + AnsiString::number(int(p.Format)) + ":time_base=" +
                                AnsiString::number(p.TimeBase.num) + '/' + AnsiString::number(p.TimeBase.den) +
                                ":pixel_aspect=" + AnsiString::number(p.Aspect.num) + '/' +
                                AnsiString::number(p.Aspect.den);
        int ret = ff::avfilter_graph_create_filter(&stage.Source, ff::avfilter_get_by_name("buffer"), "src",
                                                   args.constData(), nullptr, graph);
        if (ret < 0)
            return ret;
        if ((ret = ff::avfilter_graph_create_filter(&stage.Sink, ff::avfilter_get_by_name("buffersink"), "out",
                                                    nullptr, nullptr, graph)) < 0)
            return ret;
        const bool last = i + 1 == FStages.size();
        AVFilterContext* format = nullptr;
        if ((ret = ff::avfilter_graph_create_filter(&format, ff::avfilter_get_by_name("format"), "format",
                                                    last ? ff::av_get_pix_fmt_name(encoderFormat) : SOwnFormats,
                                                    nullptr, graph)) < 0)
            return ret;
        if ((ret = ff::avfilter_link(format, 0, stage.Sink, 0)) < 0)
            return ret;
        graph->scale_sws_opts = ff::av_strdup(swsOpts.constData());
        if (stage.Segment.isEmpty()) {
            if ((ret = ff::avfilter_link(stage.Source, 0, format, 0)) < 0)
                return ret;
        } else {
            TInOutPtr outputs = inOut("in", stage.Source);
            TInOutPtr inputs = inOut("out", format);
            if (!outputs || !inputs)
                return AVERROR(ENOMEM);
            AVFilterInOut* in = inputs.release();
            AVFilterInOut* out = outputs.release();
            ret = ff::avfilter_graph_parse_ptr(graph, stage.Segment.constData(), &in, &out, nullptr);
            ff::avfilter_inout_free(&in);
            ff::avfilter_inout_free(&out);
            if (ret < 0)
                return ret;
        }
        if ((ret = ff::avfilter_graph_config(graph, nullptr)) < 0)
            return ret;
        p = sinkParams(stage.Sink);
    }
    *finalSink = FStages.back()->Sink;
    return 0;
}

int TOwnFilterChain::push(size_t index, AVFrame* frame)
{
    TStage& stage = *FStages[index];
    TFramePtr owned;
    if (frame) {
        owned.reset(ff::av_frame_alloc());
        if (!owned)
            return AVERROR(ENOMEM);
        ff::av_frame_move_ref(owned.get(), frame);
        for (const auto& filter : stage.Filters)
            if (const int ret = filter->FilterFrame(owned); ret < 0)
                return ret;
    }
    if (!stage.HasGraph)
        return push(index + 1, owned.get());
    int ret = ff::av_buffersrc_add_frame_flags(stage.Source, owned.get(), 0);
    if (ret < 0)
        return ret;
    if (index + 1 == FStages.size())
        return 0;  // the task takes the last graph's pictures itself
    TFramePtr out(ff::av_frame_alloc());
    if (!out)
        return AVERROR(ENOMEM);
    while (!stage.Ended) {
        ret = ff::av_buffersink_get_frame(stage.Sink, out.get());
        if (ret == AVERROR(EAGAIN))
            break;
        if (ret == AVERROR_EOF) {
            stage.Ended = true;
            return push(index + 1, nullptr);
        }
        if (ret < 0)
            return ret;
        if ((ret = push(index + 1, out.get())) < 0)
            return ret;
    }
    return 0;
}

int TOwnFilterChain::Pump()
{
    if (FEnded || !FFirstSink)
        return 0;
    TFramePtr frame(ff::av_frame_alloc());
    if (!frame)
        return AVERROR(ENOMEM);
    for (;;) {
        int ret = ff::av_buffersink_get_frame(FFirstSink, frame.get());
        if (ret == AVERROR(EAGAIN))
            return 0;
        if (ret == AVERROR_EOF) {
            FEnded = true;
            return push(0, nullptr);
        }
        if (ret < 0)
            return ret;
        if ((ret = push(0, frame.get())) < 0)
            return ret;
    }
}
