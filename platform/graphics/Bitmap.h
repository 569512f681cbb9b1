// Bitmap.h - TBitmap: a QImage kept in the memory layouts of
// device-independent bitmaps (so scan-line code written for them works),
// with a canvas, a transparent colour and Windows bitmap files.
//
// Ownership: the bitmap owns its QImage and its canvas; the canvas owns a
// device context over that QImage, which stays valid across size and format
// changes (the QImage object is a member, only its pixels are replaced).
#pragma once
#include <QImage>
#include <memory>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"


namespace GraphicsConsts {
VORLANE_RESOURCESTRING(SInvalidPixelFormat, "Invalid pixel format");
VORLANE_RESOURCESTRING(SScanLine, "Scan line index out of range");
VORLANE_RESOURCESTRING(SInvalidBitmap, "Bitmap image is not valid");
VORLANE_RESOURCESTRING(SOutOfResources, "Out of system resources");
}  // namespace GraphicsConsts

// Memory layout of one row (little-endian, rows top-down, each row padded
// to a multiple of 4 bytes):
//   pf1bit   1 bit per pixel, most significant bit first, palette of 2
//   pf8bit   one palette index per byte, palette of 256 (a grey ramp,
//            entry i = RGB(i,i,i), until SetColorTable changes it)
//   pf15bit  16-bit words 0RRRRRGGGGGBBBBB
//   pf16bit  16-bit words RRRRRGGGGGGBBBBB
//   pf24bit  bytes B,G,R
//   pf32bit  bytes B,G,R,A (A ignored unless AlphaFormat says otherwise;
//            new pixels and pixels the canvas draws get A = 0)
// pfDevice is stored and reported as pf32bit. pf4bit and pfCustom have no
// store and raise EInvalidGraphic.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

// Bytes of one row of PixelsPerScanline pixels of BitsPerPixel bits, padded
// to a multiple of Alignment bits.
int BytesPerScanline(int PixelsPerScanline, int BitsPerPixel, int Alignment);

// What GetObject tells of a bitmap. bmBits stays nullptr: the pixels are
// reached through ScanLine, so that no one writes to shared rows.
struct BITMAP {
    int32_t bmType = 0;
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
    int32_t bmWidthBytes = 0;  // bytes of one row, padding included
    uint16_t bmPlanes = 1;
    uint16_t bmBitsPixel = 0;
    void* bmBits = nullptr;
};
// False, with the record unchanged, when Bitmap names no bitmap (an empty
// bitmap has no handle).
bool GetObject(HBITMAP Bitmap, BITMAP& Info);

// How the transparent colour is chosen: tmAuto takes the bottom-left pixel.
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    String ClassName() const override { return String::fromLatin1("TBitmap"); }

    // A TBitmap is copied deeply (pixels, format, transparency); another
    // TGraphic gives its pixels: pf24bit when opaque, pf32bit with afDefined
    // when it has alpha. nullptr empties this bitmap.
    void Assign(const TPersistent* Source) override;

    // An empty bitmap keeps the size asked for (0 x 10 is empty).
    int Width() const override { return FImage.isNull() ? FEmptySize.cx : FImage.width(); }
    void SetWidth(int Value) override { SetSize(Value, Height()); }
    int Height() const override { return FImage.isNull() ? FEmptySize.cy : FImage.height(); }
    void SetHeight(int Value) override { SetSize(Width(), Value); }
    // Keeps the pixels of the part both sizes share; new pixels are white.
    // A zero (or negative) dimension empties the bitmap, keeping its format;
    // EOutOfResources when the pixels cannot be allocated.
    // Fires OnChange when the size changed.
    virtual void SetSize(int AWidth, int AHeight);
    bool Empty() const override { return FImage.isNull(); }
    // nullptr while the bitmap is empty, as there were no pixels to name.
    HBITMAP Handle() const { return Empty() ? nullptr : reinterpret_cast<HBITMAP>(FHandle.Get()); }

    // The canvas drawing on this bitmap's pixels (created on first use).
    // Drawing on a pf1bit or pf8bit bitmap maps colours to the nearest
    // palette entry.
    TCanvas* Canvas();

    // When Transparent, Draw leaves the pixels of TransparentColor out.
    // Reading TransparentColor in tmAuto gives the bottom-left pixel
    // (clDefault for an empty bitmap); setting it switches to tmFixed.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the existing pixels: to an indexed format through the nearest
    // entry of the default palette, otherwise keeping colours as far as the
    // target's bits allow.
    void SetPixelFormat(TPixelFormat Value);
    // Only meaningful for pf32bit; changes how the fourth byte is read.
    TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat Value);

    // The palette of pf1bit / pf8bit bitmaps (empty for the others); a
    // shorter table is padded with black. Pixels keep their indexes.
    std::vector<TColor> ColorTable() const;
    void SetColorTable(const std::vector<TColor>& Colors);

    // Row Row's bytes, row 0 at the top. EInvalidGraphicOperation for a row
    // outside 0..Height-1. The pointer stays valid until the size or the
    // format changes.
    void* ScanLine(int Row);
    const void* ScanLine(int Row) const;
    int BytesPerScanLine() const;

    // The colour of a pixel (alpha ignored); -1 outside the bitmap.
    TColor Pixels(int X, int Y) const;
    // Writes the colour (indexed formats: the nearest palette entry).
    // Outside the bitmap nothing happens.
    void SetPixels(int X, int Y, TColor Value);

    // A deep copy, so no one else can write through this bitmap's rows.
    QImage Image() const { return FImage.copy(); }
    // Takes the pixels in the nearest pixel format: Mono, Indexed8, RGB555,
    // RGB16, BGR888, RGB32, ARGB32 and ARGB32_Premultiplied keep their
    // layout; Grayscale8 becomes pf8bit; other formats become pf32bit
    // (afDefined when they carry alpha).
    void SetImage(const QImage& Image);

    // Windows bitmap files. Loading picks the pixel format from the file's
    // bit depth (4-bit files load as pf8bit). EFOpenError / EInvalidGraphic
    // on a missing or damaged file, EFCreateError when it cannot be written.
    // A stream holds the whole file (header included); loading reads the
    // size the header gives.
    void LoadFromFile(const String& FileName) override;
    void SaveToFile(const String& FileName) const override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) const override;

    void Draw(TCanvas* ACanvas, const TRect& Rect) const override;
    QImage ToImage() const override;
    std::unique_ptr<TGraphic> clone() const override;

    // The published "Data" property: the bitmap as stored data, in the form
    // ReadData and WriteData define.
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    QByteArray Data() const;
    void SetData(const QByteArray& Value);

    // The stored form: a 4-byte little-endian length, then a Windows bitmap
    // file of that length (0 and nothing else for an empty bitmap).
    // EInvalidGraphic ("Bitmap image is not valid") when the length runs
    // past the stream or the file is damaged; the bitmap is then unchanged.
    virtual void ReadData(TStream* Stream);
    virtual void WriteData(TStream* Stream) const;

private:
    void loadFromData(const QByteArray& data);
    QByteArray saveToData() const;
    QImage::Format imageFormat() const;
    void replaceImage(QImage image);
    int nearestIndex(TColor rgb) const;

    QImage FImage;
    TSize FEmptySize{0, 0};
    TPixelFormat FPixelFormat = pf32bit;
    TAlphaFormat FAlphaFormat = afIgnored;
    QList<QRgb> FColorTable;  // the palette an empty indexed bitmap will use
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TCanvas> FCanvas;
    TGdiHandle FHandle{this};
};
