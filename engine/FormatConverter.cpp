#include "engine/FormatConverter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/AVUtilStubs.h"
#include "engine/FFLoad.h"
#include "engine/MyUtils.h"
#include "engine/SwScaleStubs.h"
#include "platform/rtl/Exception.h"

namespace {

struct TFormatRow {
    int Depth;
    TPixelFormat Format;
    int BitsPerPixel;
    AVPixelFormat AVFormat;
};

// The platform bitmap stores 15 and 16 bits as RGB555/RGB565 words, so the
// libraries' RGB formats match it (their BGR ones would swap red and blue).
constexpr TFormatRow formatRows[] = {
    {8, pf8bit, 8, AV_PIX_FMT_BGR8},
    {15, pf15bit, 16, AV_PIX_FMT_RGB555LE},
    {16, pf16bit, 16, AV_PIX_FMT_RGB565LE},
    {24, pf24bit, 24, AV_PIX_FMT_BGR24},
    {32, pf32bit, 32, AV_PIX_FMT_BGRA},
};

const TFormatRow& rowOf(TPixelFormat format)
{
    for (const TFormatRow& row : formatRows)
        if (row.Format == format)
            return row;
    return formatRows[3];
}

// The colours of the 3:3:2 bytes: red in the low three bits, then green,
// blue in the top two.
std::vector<TColor> palette332()
{
    std::vector<TColor> table;
    table.reserve(256);
    for (int i = 0; i < 256; ++i)
        table.push_back(RGB(uint8_t((i & 7) * 255 / 7), uint8_t(((i >> 3) & 7) * 255 / 7), uint8_t((i >> 6) * 255 / 3)));
    return table;
}

void requireLibraries()
{
    FFLoader()->CheckLoaded({libAVUtil, libSwScale});
}

}  // namespace

TAVPicture PictureOf(const AVFrame* frame)
{
    TAVPicture result;
    for (int i = 0; i < 4; ++i) {
        result.data[i] = frame->data[i];
        result.linesize[i] = frame->linesize[i];
    }
    return result;
}

AVPixelFormat BitmapAVPixelFormat(TPixelFormat format)
{
    return rowOf(format).AVFormat;
}

void TSwsContextDeleter::operator()(SwsContext* ctx) const
{
    if (ff::sws_freeContext)
        ff::sws_freeContext(ctx);
}

TFormatConverter::TFormatConverter()
{
    ResetFormat();
}

TFormatConverter::~TFormatConverter() = default;

void TFormatConverter::ResetFormat()
{
    FBitmapInfo = TBitmapInfo{};
    FPicture = TAVPicture{};
    FCurrent = TAVPicture{};
    FHasCurrent = false;
    const TFormatRow& row = rowOf(FPixelFormat);
    FDepth = row.Depth;
    FBitsPerPixel = row.BitsPerPixel;
    FAVPixelFormat = row.AVFormat;
    FBitmap.SetPixelFormat(FPixelFormat);
    if (FPixelFormat == pf8bit)
        FBitmap.SetColorTable(palette332());
}

void TFormatConverter::SetBitsPixel(int depth)
{
    if (depth == FDepth)
        return;
    for (const TFormatRow& row : formatRows)
        if (row.Depth == depth) {
            FPixelFormat = row.Format;
            ResetFormat();
            return;
        }
    throw Exception(LoadResString(FormatConverterConsts::SInvalidBitsPixel), {depth});
}

bool TFormatConverter::FromPicture(const TAVPicture& src, ::AVPixelFormat fmt, int width, int height, bool copy)
{
    requireLibraries();
    FBitmap.SetSize(width, height);
    if (fmt == FAVPixelFormat && width % 2 == 0 && height % 2 == 0 && src.linesize[0] == FBitmap.BytesPerScanLine()) {
        FCurrent = src;
    } else {
        const int size = ff::av_image_get_buffer_size(FAVPixelFormat, width, height, 1);
        if (size < 0) {
            FHasCurrent = false;
            FLastError = LoadResString(FormatConverterConsts::SCannotInitToRGB);
            return false;
        }
        if (!FBuffer || FBufferSize < size) {
            FBuffer.reset();
            FBufferSize = 0;
            FBuffer.reset(static_cast<uint8_t*>(ff::av_malloc(size_t(size))));
            if (!FBuffer)
                throw Exception(LoadResString(FFUtilsConsts::SCouldNotAllocBuffer));
            FBufferSize = size;
        }
        ff::av_image_fill_arrays(FPicture.data, FPicture.linesize, FBuffer.get(), FAVPixelFormat, width, height, 1);
        FToRGB.reset(ff::sws_getCachedContext(FToRGB.release(), width, height, fmt, width, height, FAVPixelFormat,
                                              ConverterScaleFlags, nullptr, nullptr, nullptr));
        if (!FToRGB) {
            FHasCurrent = false;
            FLastError = LoadResString(FormatConverterConsts::SCannotInitToRGB);
            return false;
        }
        ff::sws_scale(FToRGB.get(), src.data, src.linesize, 0, height, FPicture.data, FPicture.linesize);
        FCurrent = FPicture;
    }
    FHasCurrent = true;
    FBitmapInfo = TBitmapInfo{0, width, height, FCurrent.linesize[0], 1, FBitsPerPixel, FCurrent.data[0]};
    if (copy)
        CopyToBitmap();
    return true;
}

// The platform bitmap is stored top-down like the picture, so rows keep their
// order. A row never moves more than both sides hold: the caller's picture
// may have a wider stride than the bitmap's row.
void TFormatConverter::CopyToBitmap()
{
    if (!FHasCurrent)
        AssertionFailure();
    const int bytes = std::min(FCurrent.linesize[0], FBitmap.BytesPerScanLine());
    const uint8_t* source = FCurrent.data[0];
    for (int row = 0; row < FBitmap.Height(); ++row, source += FCurrent.linesize[0])
        std::memcpy(FBitmap.ScanLine(row), source, size_t(bytes));
}

void TFormatConverter::CopyFromBitmap()
{
    if (!FHasCurrent)
        AssertionFailure();
    const int bytes = std::min(FCurrent.linesize[0], FBitmap.BytesPerScanLine());
    uint8_t* target = FCurrent.data[0];
    for (int row = 0; row < FBitmap.Height(); ++row, target += FCurrent.linesize[0])
        std::memcpy(target, FBitmap.ScanLine(row), size_t(bytes));
}

bool TFormatConverter::ToPicture(const TAVPicture& dst, ::AVPixelFormat dstFmt, int width, int height)
{
    if (!FHasCurrent)
        AssertionFailure();
    requireLibraries();
    FFromRGB.reset(ff::sws_getCachedContext(FFromRGB.release(), width, height, FAVPixelFormat, width, height, dstFmt,
                                            ConverterScaleFlags, nullptr, nullptr, nullptr));
    if (!FFromRGB) {
        FLastError = LoadResString(FormatConverterConsts::SCannotInitFromRGB);
        return false;
    }
    ff::sws_scale(FFromRGB.get(), FCurrent.data, FCurrent.linesize, 0, height, dst.data, dst.linesize);
    return true;
}
