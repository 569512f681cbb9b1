#include "skin/SknImgUtil.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exception.h"

namespace {

constexpr int GradientSlots = 16;

// The one cache of the process, as the painting code expects; painting
// runs on the main thread only.
struct GradientCache {
    std::array<std::vector<TColor>, GradientSlots> tables;
    int next = 0;
};

GradientCache& cache()
{
    static GradientCache instance;
    return instance;
}

void assertCount(int count, int line)
{
    if (count <= 0)
        throw EAssertionFailed(String::fromLatin1("Assertion failure (SknImgUtil, line %1)").arg(line));
}

TColor resolved(TColor color)
{
    return color < 0 ? GetSysColor(color & 0xFF) : color;
}

TColor pack(int r, int g, int b)
{
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

QImage rgb24(TBitmap* bitmap)
{
    return bitmap->Image().convertToFormat(QImage::Format_BGR888);
}

}  // namespace

TColor BlendColors(TColor Color1, TColor Color2, int Amount)
{
    const TColor c1 = resolved(Color1);
    const TColor c2 = resolved(Color2);
    const int64_t scale = Amount < 100 ? 100 : 1000;
    auto mix = [&](int shift) {
        // The blue channel is the value shifted right unmasked, as before.
        const int64_t a = shift == 16 ? int64_t(c1 >> 16) : int64_t((c1 >> shift) & 0xFF);
        const int64_t b = shift == 16 ? int64_t(c2 >> 16) : int64_t((c2 >> shift) & 0xFF);
        return int((b * (scale - Amount) + a * Amount + scale / 2) / scale);
    };
    return pack(mix(0), mix(8), mix(16));
}

int FindGradientTable(int Count, TColor StartColor, TColor EndColor)
{
    assertCount(Count, 302);
    for (int slot = GradientSlots - 1; slot >= 0; --slot) {
        const std::vector<TColor>& table = cache().tables[size_t(slot)];
        if (int(table.size()) == Count && table.front() == StartColor && table.back() == EndColor)
            return slot;
    }
    return -1;
}

int BuildGradientTable(int Count, TColor StartColor, TColor EndColor)
{
    assertCount(Count, 321);
    GradientCache& c = cache();
    const int slot = c.next;
    c.next = (c.next + 1) % GradientSlots;
    std::vector<TColor>& table = c.tables[size_t(slot)];
    table.assign(size_t(Count), 0);
    const int start[3] = {GetRValue(StartColor), GetGValue(StartColor), GetBValue(StartColor)};
    const int end[3] = {GetRValue(EndColor), GetGValue(EndColor), GetBValue(EndColor)};
    for (int i = 0; i < Count; ++i) {
        int channel[3];
        for (int k = 0; k < 3; ++k) {
            const int64_t d = end[k] - start[k];
            channel[k] = Count == 1 ? int(start[k] + d / 2)
                                    : int(start[k] + (int64_t(i) * d + (Count - 1) / 2) / (Count - 1));
        }
        table[size_t(i)] = TColor(channel[0] + channel[1] * 256 + channel[2] * 65536);
    }
    return slot;
}

int GetGradientTable(int Count, TColor StartColor, TColor EndColor)
{
    const int slot = FindGradientTable(Count, StartColor, EndColor);
    return slot >= 0 ? slot : BuildGradientTable(Count, StartColor, EndColor);
}

const std::vector<TColor>& GradientTable(int Slot)
{
    static const std::vector<TColor> none;
    if (Slot < 0 || Slot >= GradientSlots)
        return none;
    return cache().tables[size_t(Slot)];
}

void FillGradientRect(HDC DC, const TRect& Rect, TColor StartColor, TColor EndColor, bool Vertical)
{
    if (!RectVisible(DC, Rect))
        return;
    const TColor start = ColorToRGB(StartColor);
    const TColor end = ColorToRGB(EndColor);
    const int length = Vertical ? Rect.Height() : Rect.Width();
    if (length <= 0)
        return;
    // Copied: the slot may be rebuilt by a nested fill.
    const std::vector<TColor> table = GradientTable(GetGradientTable(length, start, end));
    TRect clip;
    GetClipBox(DC, clip);
    const int low = Vertical ? Rect.Top : Rect.Left;
    const int high = Vertical ? Rect.Bottom : Rect.Right;
    const int clipLow = Vertical ? clip.Top : clip.Left;
    const int clipHigh = Vertical ? clip.Bottom : clip.Right;
    const int first = clipLow > low && clipLow < high ? clipLow - low : 0;
    const int last = clipHigh > low && clipHigh < high ? clipHigh - low - 1 : length - 1;
    for (int offset = first; offset <= last; ++offset) {
        const TDCBrush brush{table[size_t(offset)], dbsSolid};
        const TRect band = Vertical ? TRect{Rect.Left, Rect.Top + offset, Rect.Right, Rect.Top + offset + 1}
                                    : TRect{Rect.Left + offset, Rect.Top, Rect.Left + offset + 1, Rect.Bottom};
        FillRect(DC, band, &brush);
    }
}

void ReplaceKeyColor(TBitmap* Bitmap, TColor Color)
{
    if (Bitmap == nullptr || Bitmap->Empty())
        return;
    Bitmap->SetPixelFormat(pf24bit);
    for (int y = 0; y < Bitmap->Height(); ++y) {
        auto* row = static_cast<uint8_t*>(Bitmap->ScanLine(y));
        for (int x = 0; x < Bitmap->Width(); ++x) {
            uint8_t* p = row + 3 * x;  // B, G, R
            if (p[2] == 255 && p[1] == 0 && p[0] == 255) {
                p[0] = GetBValue(Color);
                p[1] = GetGValue(Color);
                p[2] = GetRValue(Color);
            }
        }
    }
}

void MirrorBitmap(TBitmap* Bitmap)
{
    if (Bitmap == nullptr || Bitmap->Empty())
        return;
    Bitmap->SetImage(rgb24(Bitmap).mirrored(true, false));
}

void FlipBitmap(TBitmap* Bitmap)
{
    if (Bitmap == nullptr || Bitmap->Empty())
        return;
    Bitmap->SetImage(rgb24(Bitmap).mirrored(false, true));
}

namespace {

void rotate(TBitmap* bitmap, bool left)
{
    if (bitmap == nullptr || bitmap->Empty())
        return;
    const QImage old = rgb24(bitmap);
    const int w = old.width();
    const int h = old.height();
    QImage rotated(h, w, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (left)
                rotated.setPixel(y, w - 1 - x, old.pixel(x, y));
            else
                rotated.setPixel(h - 1 - y, x, old.pixel(x, y));
        }
    bitmap->SetImage(rotated);
}

}  // namespace

void RotateBitmapLeft(TBitmap* Bitmap)
{
    rotate(Bitmap, true);
}

void RotateBitmapRight(TBitmap* Bitmap)
{
    rotate(Bitmap, false);
}

int ColorSaturation(TColor Color)
{
    const int r = GetRValue(Color);
    const int g = GetGValue(Color);
    const int b = GetBValue(Color);
    if (r < 160 && g < 160 && b < 160)
        return 200;
    const int high = std::max({r, g, b});
    const int low = std::min({r, g, b});
    if (high == 0)
        return 0;
    return int(std::nearbyint(double(high - low) / high * 255.0));
}

void SknImgUtilInitialization()
{
    cache() = GradientCache{};
}

void SknImgUtilFinalization()
{
    cache() = GradientCache{};
}
