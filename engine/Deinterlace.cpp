// The line deinterlacer the media libraries dropped, kept bit for bit.
#include "engine/Deinterlace.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

void deinterlaceLine(uint8_t* dst, const uint8_t* m4, const uint8_t* m3, const uint8_t* m2, const uint8_t* m1,
                     const uint8_t* l, int size)
{
    for (int i = 0; i < size; ++i) {
        const int sum = -m4[i] + (m3[i] << 2) + (m2[i] << 1) + (m1[i] << 2) - l[i];
        dst[i] = uint8_t(std::clamp((sum + 4) >> 3, 0, 255));
    }
}

void deinterlaceBottomField(uint8_t* dst, int dstWrap, const uint8_t* src, int srcWrap, int width, int height)
{
    const uint8_t* m2 = src;
    const uint8_t* m1 = src;
    const uint8_t* s0 = m1 + srcWrap;
    const uint8_t* p1 = s0 + srcWrap;
    const uint8_t* p2 = p1 + srcWrap;
    for (int y = 0; y < height - 2; y += 2) {
        std::memcpy(dst, m1, size_t(width));
        dst += dstWrap;
        deinterlaceLine(dst, m2, m1, s0, p1, p2, width);
        m2 = s0;
        m1 = p1;
        s0 = p2;
        p1 += 2 * srcWrap;
        p2 += 2 * srcWrap;
        dst += dstWrap;
    }
    std::memcpy(dst, m1, size_t(width));
    dst += dstWrap;
    deinterlaceLine(dst, m2, m1, s0, s0, s0, width);
}

}  // namespace

bool CanDeinterlace(AVPixelFormat fmt, int width, int height)
{
    const bool supported = fmt == AV_PIX_FMT_YUV420P || fmt == AV_PIX_FMT_YUVJ420P || fmt == AV_PIX_FMT_YUV422P ||
                           fmt == AV_PIX_FMT_YUVJ422P || fmt == AV_PIX_FMT_YUV444P || fmt == AV_PIX_FMT_YUV411P ||
                           fmt == AV_PIX_FMT_GRAY8;
    return supported && (width & 3) == 0 && (height & 3) == 0;
}

bool DeinterlacePicture(const TAVPicture& dst, const TAVPicture& src, AVPixelFormat fmt, int width, int height)
{
    if (!CanDeinterlace(fmt, width, height))
        return false;
    const int planes = fmt == AV_PIX_FMT_GRAY8 ? 1 : 3;
    int w = width;
    int h = height;
    for (int i = 0; i < planes; ++i) {
        if (i == 1) {
            if (fmt == AV_PIX_FMT_YUV420P || fmt == AV_PIX_FMT_YUVJ420P) {
                w >>= 1;
                h >>= 1;
            } else if (fmt == AV_PIX_FMT_YUV422P || fmt == AV_PIX_FMT_YUVJ422P) {
                w >>= 1;
            } else if (fmt == AV_PIX_FMT_YUV411P) {
                w >>= 2;
            }
        }
        deinterlaceBottomField(dst.data[i], dst.linesize[i], src.data[i], src.linesize[i], w, h);
    }
    return true;
}
