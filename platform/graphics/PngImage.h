// PngImage.h - PNG pictures: read and written through Qt's PNG codec, drawn
// with their alpha channel blended.
//
// Ownership: the image owns its pixels (a QImage).
#pragma once
#include <QImage>
#include <memory>

#include "platform/graphics/Graphics.h"

class TPngImage : public TGraphic {
public:
    TPngImage() = default;
    String ClassName() const override { return String::fromLatin1("TPngImage"); }
    // From a TPngImage or any other TGraphic's pixels.
    void Assign(const TPersistent* Source) override;

    bool Empty() const override { return FImage.isNull(); }
    int Width() const override { return FImage.width(); }
    int Height() const override { return FImage.height(); }
    // Resizing keeps the shared part; new pixels are transparent.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // True when the image has an alpha channel.
    bool Transparent() const override { return FImage.hasAlphaChannel(); }

    // Reads one PNG from the stream's position up to its IEND chunk.
    // EInvalidGraphic on other or damaged data.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) const override;

    void Draw(TCanvas* ACanvas, const TRect& Rect) const override;
    QImage ToImage() const override { return FImage; }
    void SetImage(const QImage& Image);
    std::unique_ptr<TGraphic> clone() const override;

private:
    QImage FImage;  // ARGB32 or RGB32
};
