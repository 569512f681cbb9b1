// FFOwnFilters.h - the engine's own video filters "rotate", "nativehue" and
// "nativeeq", and the runner that splits a -vf chain at them.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include "engine/FFDecode.h"
#include "platform/rtl/String.h"

// The filter library of this generation cannot take filters from outside,
// so these run on frames between graph segments; their names shadow any
// library filter of the same name inside a chain.
namespace OwnFiltersConsts {
// Library log lines (printf formats, as the filters write them).
inline constexpr const char* SFailedToParse = "failed to parsing parameters: %s\n";
inline constexpr const char* SInvalidHue = "Invalid hue value %d, force to %d\n";
inline constexpr const char* SInvalidSaturation = "Invalid saturation value %d, force to %d\n";
inline constexpr const char* SInvalidBrightness = "Invalid brightness value %d, force to %d\n";
inline constexpr const char* SInvalidContrast = "Invalid contrast value %d, force to %d\n";
inline constexpr const char* SHueDebug = "hue:%d, saturation:%d\n";
inline constexpr const char* SEqDebug = "brightness:%d, contrast:%d\n";
// The planar YUV formats the three filters take, in their order of preference.
inline constexpr const char* SOwnFormats =
    "yuv444p|yuv422p|yuv420p|yuv411p|yuv410p|yuvj444p|yuvj422p|yuvj420p|yuv440p|yuvj440p";
}  // namespace OwnFiltersConsts

class TOwnVideoFilter {
public:
    virtual ~TOwnVideoFilter() = default;
    // The argument text after "name="; 0, or a negative code when the filter
    // cannot start with it.
    virtual int Init(const AnsiString& args) = 0;
    // Input format and size: sets the output size. 0 or a negative code.
    virtual int ConfigInput(AVPixelFormat format, int width, int height) = 0;
    virtual int OutputWidth() const = 0;
    virtual int OutputHeight() const = 0;
    virtual AVRational OutputAspect(AVRational input) const { return input; }
    // Replaces frame by its filtered picture (the same frame when the work
    // is done in place). 0 or a negative code.
    virtual int FilterFrame(TFramePtr& frame) = 0;
};

// Turns the picture by Angle degrees, growing the frame so that nothing is
// cut; nearest-neighbour sampling at pixel centres.
class TRotateFilter : public TOwnVideoFilter {
public:
    int Init(const AnsiString& args) override;
    int ConfigInput(AVPixelFormat format, int width, int height) override;
    int OutputWidth() const override { return OutW; }
    int OutputHeight() const override { return OutH; }
    AVRational OutputAspect(AVRational input) const override;
    int FilterFrame(TFramePtr& frame) override;

    int Angle = 45;
    int HSub = 0, VSub = 0;
    double TransX = 0, TransY = 0, SinX = 0, CosX = 1;
    int OutH = 0, OutW = 0;
    int Fill[3] = {16, 128, 128};

private:
    int FInW = 0, FInH = 0;
};

// Hue and saturation on the chroma planes, in place.
class TNativeHueFilter : public TOwnVideoFilter {
public:
    int Init(const AnsiString& args) override;
    int ConfigInput(AVPixelFormat format, int width, int height) override;
    int OutputWidth() const override { return FWidth; }
    int OutputHeight() const override { return FHeight; }
    int FilterFrame(TFramePtr& frame) override;

    int Hue = 0, Sat = 0;
    int LastHue = 0, LastSat = 0;
    int VSub = 0, HSub = 0;
    bool Process = false;

private:
    int FWidth = 0, FHeight = 0;
};

// Brightness and contrast on the luma plane, in place.
class TNativeEqFilter : public TOwnVideoFilter {
public:
    int Init(const AnsiString& args) override;
    int ConfigInput(AVPixelFormat format, int width, int height) override;
    int OutputWidth() const override { return FWidth; }
    int OutputHeight() const override { return FHeight; }
    int FilterFrame(TFramePtr& frame) override;

    int Brightness = 0, Contrast = 0;
    int LastBrightness = 0, LastContrast = 0;
    bool Process = false;

private:
    int FWidth = 0, FHeight = 0;
};

// The routines on one picture's planes, for whoever holds them.
void NativeHueProcess(uint8_t* u, uint8_t* v, int lineSize, int width, int rows, int hue, int sat);
void NativeEqProcess(uint8_t* y, int lineSize, int width, int rows, int brightness, int contrast);

// nullptr for a name that is none of the own filters.
std::unique_ptr<TOwnVideoFilter> CreateOwnFilter(const AnsiString& name);
bool IsOwnFilterName(const AnsiString& name);

// One filter of a chain: its text, and its name and arguments when it is
// one of the own filters.
struct TFilterChainItem {
    AnsiString Text;
    AnsiString Name;
    AnsiString Args;
    bool Own = false;
};
// Cuts a chain at its top-level commas (not inside quotes, brackets or
// after a backslash).
std::vector<TFilterChainItem> SplitFilterChain(const AnsiString& chain);

// A -vf chain with own filters: the first segment runs in the stream's
// graph; every own filter, and the segment that follows it, come after that
// graph's sink.
class TOwnFilterChain {
public:
    TOwnFilterChain();
    ~TOwnFilterChain();
    TOwnFilterChain(const TOwnFilterChain&) = delete;
    TOwnFilterChain& operator=(const TOwnFilterChain&) = delete;

    // Splits the chain and starts its own filters: 1 when it holds any, 0
    // when it holds none (nothing to run), a negative code when an own
    // filter refuses its arguments.
    int Parse(const AnsiString& chain);
    // What runs in the stream's graph, before the first own filter; the
    // graph must end in a format filter with SOwnFormats.
    const AnsiString& FirstSegment() const { return FFirstSegment; }
    // Once the stream's graph is configured: builds the later graphs after
    // its sink, the last one ending in encoderFormat. finalSink is where the
    // encoder's pictures come out. 0 or a negative code.
    int Configure(AVFilterContext* firstSink, AVPixelFormat encoderFormat, int swsFlags,
                  AVFilterContext** finalSink);
    // Moves what the first sink holds through the own filters and the later
    // graphs, the end of the stream included. 0 or a negative code.
    int Pump();

private:
    struct TStage;
    int push(size_t stage, AVFrame* frame);

    AnsiString FFirstSegment;
    std::vector<std::unique_ptr<TStage>> FStages;
    AVFilterContext* FFirstSink = nullptr;
    bool FEnded = false;
};

using TOwnFilterChainPtr = std::unique_ptr<TOwnFilterChain>;
