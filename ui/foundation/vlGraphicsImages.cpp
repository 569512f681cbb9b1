// Image drawing: glyphs and image-list images in six modes, alpha blending
// of premultiplied 32-bit pixels, and the smooth and Lanczos-3 resizes.
#include <QImage>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlImageList.h"

namespace {

// The three bitmaps every DrawImage reuses, so that drawing glyphs of
// settled sizes allocates nothing (main thread only, like all painting).
struct TImageDrawingCache {
    std::unique_ptr<TvlAlphaBitmap> Drawing, Image, Mask;
};

TImageDrawingCache& cache()
{
    static TImageDrawingCache c;
    return c;
}

TvlAlphaBitmap* cached(std::unique_ptr<TvlAlphaBitmap>& ABitmap, int AWidth, int AHeight)
{
    if (ABitmap == nullptr) {
        ABitmap = std::make_unique<TvlAlphaBitmap>(AWidth, AHeight);
        ABitmap->Clear();
    } else {
        ABitmap->RecalculateImage(AWidth, AHeight);
    }
    return ABitmap.get();
}

// A 32-bit copy of R of ADC's surface (the fourth bytes of a 32-bit surface
// come along).
std::unique_ptr<TvlBitmap32> copyOf(HDC ADC, const TRect& R)
{
    auto result = std::make_unique<TvlBitmap32>(R.Width(), R.Height(), true);
    BitBlt(result->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), ADC, R.Left, R.Top, SRCCOPY);
    return result;
}

// Nearest-pixel stretch of whole 32-bit pixels.
void stretchPixels(TvlBitmap32* ASource, TvlBitmap32* ADest)
{
    const int sw = ASource->Width(), sh = ASource->Height(), dw = ADest->Width(), dh = ADest->Height();
    if (sw == 0 || sh == 0 || dw == 0 || dh == 0)
        return;
    for (int y = 0; y < dh; ++y) {
        const auto* src = static_cast<const uint32_t*>(ASource->ScanLine(int(int64_t(y) * sh / dh)));
        auto* dst = static_cast<uint32_t*>(ADest->ScanLine(y));
        for (int x = 0; x < dw; ++x)
            dst[x] = src[int64_t(x) * sw / dw];
    }
}

double sinc(double x)
{
    if (x == 0)
        return 1;
    x *= std::numbers::pi;
    return std::sin(x) / x;
}

double lanczos3(double x)
{
    x = std::abs(x);
    return x < 3 ? sinc(x) * sinc(x / 3) : 0;
}

struct TContributor {
    int Index;
    int Weight;
};

// The contributors of each destination index of one pass. Indices outside
// the source are mirrored, then clamped: a source shorter than the filter's
// reach would otherwise mirror to indices that still lie outside it.
std::vector<std::vector<TContributor>> contributors(int n, int m, double s)
{
    const double f = s < 1 ? 1 / s : 1;
    const double r = 3 * f;
    std::vector<std::vector<TContributor>> result(static_cast<size_t>(m));
    for (int i = 0; i < m; ++i) {
        const double c = i / s;
        auto& list = result[size_t(i)];
        list.reserve(size_t(2 * r + 1));
        for (int j = int(std::floor(c - r)); j <= int(std::ceil(c + r)); ++j) {
            const int w = int(std::nearbyint(lanczos3((c - j) / f) / f * 256));
            if (w == 0)
                continue;
            int k = j < 0 ? -j : j >= n ? 2 * n - 1 - j : j;
            k = std::clamp(k, 0, n - 1);
            list.push_back({k, w});
        }
    }
    return result;
}

uint32_t filtered(const std::vector<TContributor>& AList, const uint32_t* ASource, size_t AStride)
{
    int sums[4] = {};
    for (const TContributor& c : AList) {
        const uint32_t p = ASource[size_t(c.Index) * AStride];
        for (int ch = 0; ch < 4; ++ch)
            sums[ch] += c.Weight * int((p >> (8 * ch)) & 0xFF);
    }
    uint32_t result = 0;
    for (int ch = 0; ch < 4; ++ch) {
        const int v = sums[ch] < 0 ? 0 : sums[ch] < 65536 ? sums[ch] / 256 : 255;
        result |= uint32_t(v) << (8 * ch);
    }
    return result;
}

double passScale(int n, int m) { return n == 1 || m == 1 ? double(m) / n : double(m - 1) / (n - 1); }

void lanczosResize(TBitmap* ASource, TBitmap* ADest)
{
    const int sw = ASource->Width(), sh = ASource->Height(), dw = ADest->Width(), dh = ADest->Height();
    TRGBColors source;
    if (!ReadBitmapColors(ASource, source, false))
        return;
    TRGBColors middle(size_t(dw) * size_t(sh));
    const auto horizontal = contributors(sw, dw, passScale(sw, dw));
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < dw; ++x)
            middle[size_t(y) * size_t(dw) + size_t(x)] =
                filtered(horizontal[size_t(x)], &source[size_t(y) * size_t(sw)], 1);
    TRGBColors result(size_t(dw) * size_t(dh));
    const auto vertical = contributors(sh, dh, passScale(sh, dh));
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x)
            result[size_t(y) * size_t(dw) + size_t(x)] = filtered(vertical[size_t(y)], &middle[size_t(x)], size_t(dw));
    WriteBitmapColors(ADest, result, false);
}

}  // namespace

void BlendPixel(uint32_t ASrc, uint32_t& ADst, uint8_t AConstantAlpha)
{
    const float c = float(AConstantAlpha) / 255.0f;
    const double a = double(c) * double(ASrc >> 24);
    const float k = float(1.0 - a / 255.0);
    uint32_t result = 0;
    for (int ch = 0; ch < 3; ++ch) {
        const double v = double(c) * double((ASrc >> (8 * ch)) & 0xFF) + double(k) * double((ADst >> (8 * ch)) & 0xFF);
        result |= uint32_t(std::clamp(std::nearbyint(v), 0.0, 255.0)) << (8 * ch);
    }
    const double alpha = a + double(k) * double(ADst >> 24);
    result |= uint32_t(std::clamp(std::nearbyint(alpha), 0.0, 255.0)) << 24;
    ADst = result;
}

void vlAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, const TRect& ASrcRect, uint8_t AConstantAlpha,
                  bool ASmooth)
{
    if (ADestDC == nullptr || ASrcDC == nullptr || ADestRect.IsEmpty() || ASrcRect.IsEmpty())
        return;
    // The system's blend call does not exist here: the library's own path
    // always runs.
    const bool smooth = ASmooth && (ADestRect.Width() != ASrcRect.Width() || ADestRect.Height() != ASrcRect.Height());
    const std::unique_ptr<TvlBitmap32> s = copyOf(ASrcDC, ASrcRect);
    const std::unique_ptr<TvlBitmap32> d = copyOf(ADestDC, ADestRect);
    TvlBitmap32 t(ADestRect.Width(), ADestRect.Height(), true);
    if (smooth)
        SmoothResizeBitmap(s.get(), &t, true);
    else
        stretchPixels(s.get(), &t);
    for (int y = 0; y < t.Height(); ++y) {
        const auto* src = static_cast<const uint32_t*>(t.ScanLine(y));
        auto* dst = static_cast<uint32_t*>(d->ScanLine(y));
        for (int x = 0; x < t.Width(); ++x)
            BlendPixel(src[x], dst[x], AConstantAlpha);
    }
    BitBlt(ADestDC, ADestRect.Left, ADestRect.Top, ADestRect.Width(), ADestRect.Height(), d->Canvas()->Handle(), 0, 0,
           SRCCOPY);
}

void SmoothResizeBitmap(TBitmap* ASource, TBitmap* ADest, bool AForceLanczos)
{
    if (ASource == nullptr || ADest == nullptr || ASource->Width() == 0 || ASource->Height() == 0 ||
        ADest->Width() == 0 || ADest->Height() == 0)
        return;
    if (AForceLanczos) {
        lanczosResize(ASource, ADest);
        return;
    }
    // The smooth stretch: premultiplied pixels filtered by Qt (not the
    // system's half-tone mode, so not bit for bit the same picture).
    TRGBColors colors;
    if (!ReadBitmapColors(ASource, colors, true))
        return;
    QImage source(reinterpret_cast<const uchar*>(colors.data()), ASource->Width(), ASource->Height(),
                  ASource->Width() * 4, QImage::Format_ARGB32_Premultiplied);
    const QImage scaled = source.scaled(ADest->Width(), ADest->Height(), Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    TRGBColors result(size_t(ADest->Width()) * size_t(ADest->Height()));
    for (int y = 0; y < scaled.height(); ++y)
        std::copy_n(reinterpret_cast<const uint32_t*>(scaled.constScanLine(y)), scaled.width(),
                    result.begin() + ptrdiff_t(y) * scaled.width());
    WriteBitmapColors(ADest, result, true);
}

void DrawBitmapToDC(HDC ADC, TBitmap* ABitmap, const TRect& ADestRect, const TPoint& ASrcPoint, uint32_t ARop)
{
    if (ADC == nullptr || ABitmap == nullptr || ABitmap->Empty())
        return;
    BitBlt(ADC, ADestRect.Left, ADestRect.Top, ADestRect.Width(), ADestRect.Height(), ABitmap->Canvas()->Handle(),
           ASrcPoint.X, ASrcPoint.Y, ARop);
}

void MakeMaskBitmap(TvlBitmap32* ABitmap, TBitmap* AMask)
{
    if (ABitmap == nullptr || AMask == nullptr || ABitmap->Empty())
        return;
    TvlAlphaBitmap temp(ABitmap->Width(), ABitmap->Height());
    temp.CopyBitmap(ABitmap);
    if (!temp.IsAlphaUsed())
        temp.SetTransparentColor(ABitmap->TransparentColor());
    temp.ApplyEffect(ieMakeMask);
    BitBlt(AMask->Canvas()->Handle(), 0, 0, AMask->Width(), AMask->Height(), temp.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void DrawImage(HDC ADC, const TRect& AGlyphRect, const TRect& ABackgroundRect, TBitmap* AGlyph, TImageList* AImages,
               int AImageIndex, TvlImageDrawMode AMode, bool ASmooth, const TBrush* ABrush, TColor ATransparentColor,
               bool AUseGlyphTransparentColor)
{
    const bool hasGlyph = IsGlyphAssigned(AGlyph);
    if (ADC == nullptr || (!hasGlyph && !IsImageAssigned(AImages, AImageIndex)) || ABackgroundRect.IsEmpty())
        return;
    TImageDrawingCache& c = cache();
    TvlAlphaBitmap* b = cached(c.Drawing, ABackgroundRect.Width(), ABackgroundRect.Height());
    if (ABrush != nullptr) {
        b->Canvas()->SetBrush(ABrush);
        b->Canvas()->FillRect(b->GetClientRect());
    } else {
        BitBlt(b->Canvas()->Handle(), 0, 0, b->Width(), b->Height(), ADC, ABackgroundRect.Left, ABackgroundRect.Top,
               SRCCOPY);
    }
    TRect glyphRect = AGlyphRect;
    OffsetRect(glyphRect, -ABackgroundRect.Left, -ABackgroundRect.Top);

    const int width = hasGlyph ? AGlyph->Width() : AImages->Width();
    const int height = hasGlyph ? AGlyph->Height() : AImages->Height();
    TvlAlphaBitmap* image = cached(c.Image, width, height);
    bool hasAlpha;
    if (hasGlyph) {
        image->CopyBitmap(AGlyph);
        hasAlpha = GetBitmapBitCount(AGlyph) >= 32;
    } else {
        if (auto* list = dynamic_cast<TvlImageList*>(AImages))
            list->GetItemImageInfo(AImageIndex, image, nullptr);
        else
            TvlImageList::GetImageInfo(AImages, AImageIndex, image, nullptr);
        hasAlpha = TvlImageList::GetHandleBitCount(AImages) >= 32;
    }
    hasAlpha = hasAlpha && image->IsAlphaUsed();
    if (!hasAlpha)
        image->ApplyEffect(ieSetOpaque);

    TvlAlphaBitmap* mask = cached(c.Mask, width, height);
    mask->CopyBitmap(image);
    if (!hasAlpha && !hasGlyph) {
        TvlAlphaBitmap listMask(width, height);
        TvlImageList::GetImageInfo(AImages, AImageIndex, nullptr, &listMask);
        listMask.ApplyEffect(ieMarkOpaque);
        mask->ApplyMask(&listMask);
    }
    if (!hasAlpha) {
        if (ATransparentColor != clNone)
            mask->TransparentPixels()->Add(ColorToRGB(ATransparentColor));
        if (AUseGlyphTransparentColor && hasGlyph)
            mask->TransparentPixels()->Add(ColorToRGB(AGlyph->TransparentColor()));
    }
    mask->ApplyEffect(ieMakeMask);
    image->ApplyMask(mask);

    uint8_t alpha = 255;
    switch (AMode) {
    case idmNormal: break;
    case idmDisabled:
        if (hasAlpha) {
            image->ApplyEffect(ieDisable);
            alpha = 151;
        } else {
            image->ApplyEffect(ieDirty);
            image->DrawShadow(mask, 1, false, clBtnHighlight);
        }
        break;
    case idmFaded:
        image->ApplyEffect(ieFade);
        alpha = 64;
        break;
    case idmGrayScale: image->ApplyEffect(ieGreyScale); break;
    case idmDingy: image->ApplyEffect(ieDingy); break;
    case idmShadowed:
        image->DrawShadow(mask, 2, true, clBtnShadow);
        glyphRect.Right += 2;
        glyphRect.Bottom += 2;
        OffsetRect(glyphRect, -1, -1);
        break;
    }
    image->DrawBlended(b, glyphRect, alpha, ASmooth);
    DrawBitmapToDC(ADC, b, ABackgroundRect, TPoint{0, 0}, SRCCOPY);
}

void FreeImageDrawingCache()
{
    TImageDrawingCache& c = cache();
    c.Drawing.reset();
    c.Image.reset();
    c.Mask.reset();
}
