// Jpeg.h - JPEG pictures through the release-6b interface of libjpeg, with
// source and destination managers that read and write a TStream directly.
//
// Ownership: the image owns its decoded pixels (a QImage); compression
// happens when it is saved, from those pixels.
#pragma once
#include <QImage>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"

VORLANE_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);

namespace GraphicsConsts {
VORLANE_RESOURCESTRING(SJPEGError, "JPEG error #%d");
VORLANE_RESOURCESTRING(SChangeJPGSize, "Cannot change the size of a JPEG image");
}  // namespace GraphicsConsts

class TBitmap;

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
using TJPEGQualityRange = int;  // 1..100

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    String ClassName() const override { return String::fromLatin1("TJPEGImage"); }
    // From a TJPEGImage (pixels and settings) or any other TGraphic (its
    // pixels, compressed when saved).
    void Assign(const TPersistent* Source) override;

    bool Empty() const override { return FImage.isNull(); }
    int Width() const override { return FImage.width(); }
    int Height() const override { return FImage.height(); }
    // A JPEG's size comes from its data: EInvalidGraphicOperation.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    // Used when saving; values outside 1..100 are clamped. Default 90.
    TJPEGQualityRange CompressionQuality() const { return FQuality; }
    void SetCompressionQuality(TJPEGQualityRange Value);
    // Decode (on the next load) and encode as one grey channel.
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);
    bool ProgressiveEncoding() const { return FProgressive; }
    void SetProgressiveEncoding(bool Value) { FProgressive = Value; }
    // The size decoded on the next load (the decoder's own scaling).
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale Value) { FScale = Value; }
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance Value) { FPerformance = Value; }

    // Reads one JPEG from the stream's position and leaves the position
    // after its last byte read. EJPEG ("JPEG error #n", n the library's
    // message code) on damaged data; the image is then unchanged.
    void LoadFromStream(TStream* Stream) override;
    // EJPEG when empty.
    void SaveToStream(TStream* Stream) const override;

    void Draw(TCanvas* ACanvas, const TRect& Rect) const override;
    QImage ToImage() const override { return FImage; }
    std::unique_ptr<TGraphic> clone() const override;

private:
    QImage FImage;  // RGB32, or Grayscale8 when decoded grey
    int FQuality = 90;
    bool FGrayscale = false;
    bool FProgressive = false;
    TJPEGScale FScale = jsFullSize;
    TJPEGPerformance FPerformance = jpBestQuality;
};
