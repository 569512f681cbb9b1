// vxGDIPlusClasses.h - images with alpha (premultiplied 32-bit pixels) and
// the PNG picture format built on them.
//
// Ownership: a TvxPNGImage owns its TvxGPImage; GetAsBitmap and Clone give
// the caller a new object.
#pragma once
#include <QImage>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PngImage.h"
#include "ui/foundation/vxCore.h"

class TStartupList;

class TvxGPImage : public TObject {
public:
    TvxGPImage() = default;
    String ClassName() const override { return String::fromLatin1("TvxGPImage"); }

    static std::unique_ptr<TvxGPImage> CreateFromBitmap(const TBitmap* ABitmap);
    // Bits: Width x Height pixels top-down, B, G, R, A, premultiplied;
    // without alpha every alpha byte becomes 255.
    static std::unique_ptr<TvxGPImage> CreateFromBits(int AWidth, int AHeight, const TRGBColors& ABits,
                                                      bool AHasAlpha);
    // More than 13 bytes: a file starting with "BM" loads as a bitmap, any
    // other as an encoded image; otherwise an image without pixels.
    static std::unique_ptr<TvxGPImage> CreateFromStream(TStream* AStream);

    // The rest of the stream decoded; EvxGdipException (2) when it is not
    // an image.
    virtual void LoadFromStream(TStream* AStream);
    virtual void FreeHandle() { FImage = QImage(); }
    bool HandleAllocated() const { return !FImage.isNull(); }
    // A new 32-bit bitmap (premultiplied pixels) the caller owns.
    virtual std::unique_ptr<TBitmap> GetAsBitmap() const;
    void GetBitmapBits(TRGBColors& AColors) const;
    std::unique_ptr<TvxGPImage> Clone() const;
    // As PNG.
    void SaveToStream(TStream* AStream) const;
    // SrcRect of the image into DestRect with a constant alpha; when
    // enlarging, the last source column and row are not sampled.
    void Draw(HDC ADC, const TRect& ADestRect, uint8_t AAlpha, const TRect& ASrcRect) const;

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    // ARGB32_Premultiplied, or null.
    const QImage& Image() const { return FImage; }

private:
    QImage FImage;
};

// The "PNG" picture format: always transparent; Width and Height cannot be
// set.
class TvxPNGImage : public TPngImage {
public:
    TvxPNGImage() = default;
    ~TvxPNGImage() override;
    String ClassName() const override { return String::fromLatin1("TvxPNGImage"); }
    // A bitmap or another TvxPNGImage (other graphics by their pixels).
    void Assign(const TPersistent* Source) override;

    TvxGPImage* Image() const { return FImage.get(); }
    void SetImage(std::unique_ptr<TvxGPImage> Value);

    bool Empty() const override { return Width() < 1 || Height() < 1; }
    int Width() const override { return FImage != nullptr ? FImage->Width() : 0; }
    int Height() const override { return FImage != nullptr ? FImage->Height() : 0; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Transparent() const override { return true; }

    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) const override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) const override;
    QImage ToImage() const override;
    std::unique_ptr<TGraphic> clone() const override;

    // Same size and, unless empty, every pixel identical (alpha included).
    bool IsEqual(const TvxPNGImage* AOther) const;
    std::unique_ptr<TBitmap> GetAsBitmap() const;
    void SetBitmap(const TBitmap* ABitmap);
    void PaintToDC(HDC ADC, const TRect& ADestRect) const;
    void PaintToDCRect(HDC ADC, const TRect& ADestRect, const TRect& ASrcRect) const;

private:
    std::unique_ptr<TvxGPImage> FImage;
};

void AddvxGDIPlusClassesUnit(TStartupList& AList);
