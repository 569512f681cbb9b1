// FormatConverter.h - moves pictures between the media libraries and TBitmap:
// any decoded picture into a bitmap of 8, 15, 16, 24 or 32 bits, and back.
#pragma once
#include <cstdint>
#include <memory>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include "engine/FFUtils.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

namespace FormatConverterConsts {
VORLANE_RESOURCESTRING(SInvalidBitsPixel, "Invalid BitsPixel %d");
VORLANE_RESOURCESTRING(SCannotInitToRGB, "Cannot initialize the toRGB conversion context");
VORLANE_RESOURCESTRING(SCannotInitFromRGB, "Cannot initialize the fromRGB conversion context");
}  // namespace FormatConverterConsts

// The planes of a picture: what frame hooks and the converter exchange. The
// pointers are borrowed; the owner of the memory is whoever filled them.
struct TAVPicture {
    uint8_t* data[4] = {};
    int linesize[4] = {};
};
TAVPicture PictureOf(const AVFrame* frame);

// The bitmap's picture as the classic BITMAP record describes it: type,
// size, bytes per line, planes, bits per pixel and the first line's address.
struct TBitmapInfo {
    int bmType = 0;
    int bmWidth = 0;
    int bmHeight = 0;
    int bmWidthBytes = 0;
    int bmPlanes = 0;
    int bmBitsPixel = 0;
    void* bmBits = nullptr;
};

struct TSwsContextDeleter {
    void operator()(SwsContext* ctx) const;
};
using TSwsContextPtr = std::unique_ptr<SwsContext, TSwsContextDeleter>;

// The rows of the bitmap formats, their libav formats and the scaler flags.
// 15 and 16 bits are the platform bitmap's RGB555/RGB565 words; 8 bits is the
// 3:3:2 format, so the bitmap is given the matching colour table.
AVPixelFormat BitmapAVPixelFormat(TPixelFormat format);
inline constexpr int ConverterScaleFlags = 4;  // SWS_BICUBIC

// One thread at a time; every call that reaches the libraries needs the
// utility and scaling libraries loaded (the loader's exception otherwise).
class TFormatConverter {
public:
    TFormatConverter();
    ~TFormatConverter();
    TFormatConverter(const TFormatConverter&) = delete;
    TFormatConverter& operator=(const TFormatConverter&) = delete;

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    int BitsPerPixel() const { return FBitsPerPixel; }
    ::AVPixelFormat AVPixelFormat() const { return FAVPixelFormat; }
    // 8, 15, 16, 24 or 32; anything else raises "Invalid BitsPixel %d" and
    // changes nothing.
    void SetBitsPixel(int depth);
    void ResetFormat();

    TBitmap* Bitmap() { return &FBitmap; }
    const TBitmapInfo& BitmapInfo() const { return FBitmapInfo; }
    // The converter's own picture, describing its buffer.
    TAVPicture* Picture() { return &FPicture; }
    // The picture last set: the own one or the caller's; nullptr after a reset.
    const TAVPicture* Current() const { return FHasCurrent ? &FCurrent : nullptr; }
    int BufferSize() const { return FBufferSize; }
    const uint8_t* Buffer() const { return FBuffer.get(); }
    const String& LastError() const { return FLastError; }

    // Makes src (fmt, width x height) the current picture, converted into the
    // bitmap format unless its layout already is the bitmap's; with copy the
    // bitmap receives it too. False with LastError when no scaler exists for it.
    bool FromPicture(const TAVPicture& src, ::AVPixelFormat fmt, int width, int height, bool copy);
    // Both need a current picture (EAssertionFailed otherwise).
    void CopyToBitmap();
    void CopyFromBitmap();
    // Converts the current picture into dst (dstFmt, width x height).
    bool ToPicture(const TAVPicture& dst, ::AVPixelFormat dstFmt, int width, int height);

private:
    TPixelFormat FPixelFormat = pf24bit;
    int FDepth = 24;
    int FBitsPerPixel = 24;
    ::AVPixelFormat FAVPixelFormat = AV_PIX_FMT_BGR24;
    TBitmap FBitmap;
    TBitmapInfo FBitmapInfo;
    TAVBufferPtr FBuffer;
    int FBufferSize = 0;
    TAVPicture FPicture;
    TAVPicture FCurrent;
    bool FHasCurrent = false;
    TSwsContextPtr FToRGB;
    TSwsContextPtr FFromRGB;
    String FLastError;
};
