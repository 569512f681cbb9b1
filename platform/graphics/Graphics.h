// Graphics.h - fonts, pens, brushes and the canvas that draws with them on a
// device context, plus the graphic and picture classes the forms load.
//
// Ownership: a TCanvas owns its TFont, TPen and TBrush. It does not own the
// device context it draws on: SetHandle attaches one that the caller keeps
// alive (a control creates a TDeviceContext over its buffer QImage for a
// paint and detaches it afterwards with SetHandle(nullptr)); a canvas
// without a handle asks CreateHandle, which TBitmap's canvas overrides to
// make a context it owns over the bitmap's own QImage. A TPicture owns its
// graphic.
#pragma once
#include <QFont>
#include <QImage>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"

class TBitmap;
class TCanvas;

VORLANE_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
VORLANE_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
VORLANE_DECLARE_EXCEPTION(EOutOfResources, Exception);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
// fqDefault and fqDraft draw without antialiasing (the classic default, and
// what makes offscreen, Xvfb and desktop renderings identical).
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// A raster operation of CopyRect and Draw (SRCCOPY and the others).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                    cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT, cmSrcAnd = SRCAND,
                    cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE, cmSrcInvert = SRCINVERT,
                    cmSrcPaint = SRCPAINT, cmWhiteness = WHITENESS;

extern const TEnumInfo TFontStyleInfo;
extern const TEnumInfo TFontPitchInfo;
extern const TEnumInfo TFontQualityInfo;
extern const TEnumInfo TPenStyleInfo;
extern const TEnumInfo TPenModeInfo;
extern const TEnumInfo TBrushStyleInfo;

namespace GraphicsConsts {
VORLANE_RESOURCESTRING(SUnknownExtension, "Unknown picture file extension (.%s)");
VORLANE_RESOURCESTRING(SInvalidImage, "Invalid image");
VORLANE_RESOURCESTRING(SNoCanvasHandle, "Canvas does not allow drawing");
VORLANE_RESOURCESTRING(SInvalidImageSize, "Invalid image size");
VORLANE_RESOURCESTRING(SImageIndexError, "Invalid ImageList Index");
VORLANE_RESOURCESTRING(SChangeIconSize, "Cannot change the size of an icon");
}  // namespace GraphicsConsts

// Handles of graphics objects: ids that name a font, pen, brush or bitmap
// while it exists. An object gets its handle when first asked and keeps it
// for its life; handles are never reused, so a handle whose object has gone
// names nothing (GetObject fails on it) and never a newer object.
struct HFONT__;
using HFONT = HFONT__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;

// The handle part of an object that has one (held as a member).
class TGdiHandle {
public:
    explicit TGdiHandle(const TPersistent* AObject) : FObject(AObject) {}
    ~TGdiHandle();
    TGdiHandle(const TGdiHandle&) = delete;
    TGdiHandle& operator=(const TGdiHandle&) = delete;
    // Gives the object its handle on the first call.
    uintptr_t Get() const;

private:
    const TPersistent* FObject;
    mutable uintptr_t FId = 0;
};

// The records GetObject fills, with the fields and values of the originals.
enum : int32_t { FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700 };
enum : uint8_t { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };
enum : uint8_t {
    DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2, NONANTIALIASED_QUALITY = 3,
    ANTIALIASED_QUALITY = 4, CLEARTYPE_QUALITY = 5, CLEARTYPE_NATURAL_QUALITY = 6
};
enum : uint8_t { OUT_DEFAULT_PRECIS = 0, OUT_TT_ONLY_PRECIS = 7 };
struct LOGFONTW {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;   // tenths of a degree
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char16_t lfFaceName[32] = {};  // at most 31 characters, then 0
};
enum : uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3 };
enum : uint32_t { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };
struct LOGBRUSH {
    uint32_t lbStyle = BS_SOLID;
    TColor lbColor = 0;   // RGB
    uintptr_t lbHatch = 0;  // the HS_ value of a hatched brush
};
enum : uint32_t {
    PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6
};
struct LOGPEN {
    uint32_t lopnStyle = PS_SOLID;
    TPoint lopnWidth;       // X is the width; Y is not used
    TColor lopnColor = 0;   // RGB
};

// Each fills the record from the object the handle names and returns true;
// false, with the record unchanged, when the handle names no such object.
bool GetObject(HFONT Font, LOGFONTW& LogFont);
bool GetObject(HPEN Pen, LOGPEN& LogPen);
bool GetObject(HBRUSH Brush, LOGBRUSH& LogBrush);
// Runs AFill on the object AHandle names while the handle table is locked
// (so the object cannot go meanwhile); false when it names none.
bool WithGdiObject(uintptr_t AHandle, const std::function<bool(const TPersistent&)>& AFill);

// The common base of fonts, pens and brushes: OnChange fires after every
// change of a property (once per Assign).
class TGraphicsObject : public TPersistent {
public:
    String ClassName() const override { return String::fromLatin1("TGraphicsObject"); }
    TNotifyEvent OnChange;

protected:
    void Changed();
    // Given on the first call; describes the object as it is when asked.
    uintptr_t GdiHandle() const { return FHandle.Get(); }

private:
    TGdiHandle FHandle{this};
};

class TFont : public TGraphicsObject {
public:
    TFont() = default;
    String ClassName() const override { return String::fromLatin1("TFont"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    // Height in pixels: negative is the character height (the em size),
    // positive the cell height including internal leading. Size is in
    // points at 96 DPI: Size = -Height * 72 / 96 (rounded), so Size 8 is
    // Height -11.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Size() const;
    void SetSize(int Value);
    const String& Name() const { return FName; }
    void SetName(const String& Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality Value);
    // Escapement in tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    // Pixels per inch of the font's device: always 96.
    int PixelsPerInch() const { return 96; }

    // The QFont this font draws with: a pixel size, no hinting differences
    // between platforms, antialiasing as Quality says.
    QFont QtFont() const;
    HFONT Handle() const { return reinterpret_cast<HFONT>(GdiHandle()); }

private:
    String FName = String::fromLatin1("DejaVu Sans");
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontPitch FPitch = fpDefault;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontQuality FQuality = fqDefault;
    int FOrientation = 0;
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    String ClassName() const override { return String::fromLatin1("TPen"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);  // values below 1 are stored as 1
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

    TDCPen DCPen() const;
    HPEN Handle() const { return reinterpret_cast<HPEN>(GdiHandle()); }

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    String ClassName() const override { return String::fromLatin1("TBrush"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    TColor Color() const { return FColor; }
    // Setting a colour while the style is bsClear makes the brush solid.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern brush: the bitmap's pixels repeat from the device's (0, 0).
    // The brush keeps a copy; nullptr (or an empty bitmap) turns it off.
    bool HasBitmap() const { return !FPattern.isNull(); }
    void SetBitmap(const TBitmap* Value);

    TDCBrush DCBrush() const;
    HBRUSH Handle() const { return reinterpret_cast<HBRUSH>(GdiHandle()); }

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    QImage FPattern;
};

class TGraphic;

// Drawing with the original conventions: rectangles exclude their right and
// bottom edges, lines exclude their end point, text is drawn with the
// font's colour over the brush (none when the brush is bsClear). Every
// drawing call selects the canvas's font, pen and brush into the context
// first, so calls on the handle in between see them too.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    String ClassName() const override { return String::fromLatin1("TCanvas"); }

    // The context drawn on: the attached one, else the one CreateHandle
    // makes. EInvalidOperation ("Canvas does not allow drawing") when there
    // is none.
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(const TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush* Value) { FBrush->Assign(Value); }
    TPoint PenPos();
    void SetPenPos(TPoint Value);
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    // The clip box in logical coordinates (the whole surface without a clip).
    TRect ClipRect();

    // -1 outside the surface or the clip.
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);

    // A recursive lock for drawing from several threads.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(std::span<const TPoint> Points);
    void Polygon(std::span<const TPoint> Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void DrawFocusRect(const TRect& R);

    // Text at X,Y (the top-left of the text cell); the pen position does
    // not move.
    void TextOut(int X, int Y, const String& Text);
    // TextOut clipped to Rect (and the background of Rect filled unless the
    // brush is bsClear).
    void TextRect(const TRect& Rect, int X, int Y, const String& Text);
    // DrawText with the canvas's font and colours (see DeviceContext.h);
    // returns the text height, and with DT_CALCRECT updates Rect.
    int TextRect(TRect& Rect, const String& Text, uint32_t DTFlags);
    TSize TextExtent(const String& Text);
    int TextWidth(const String& Text) { return TextExtent(Text).cx; }
    int TextHeight(const String& Text) { return TextExtent(Text).cy; }

    // The graphic at X,Y in its own size / stretched to Rect; nullptr or an
    // empty graphic draws nothing.
    void Draw(int X, int Y, const TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, const TGraphic* Graphic);
    // Copies Source of Canvas to Dest of this canvas with CopyMode,
    // stretching when the sizes differ.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Called when a drawing call needs a context and none is attached.
    virtual void CreateHandle() {}
    void Changing();
    void Changed();
    // The context with the canvas's objects selected (text: the font colour
    // and the brush as background).
    HDC requireHandle(bool ForText = false);

private:
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    HDC FHandle = nullptr;
    TCopyMode FCopyMode = cmSrcCopy;
    std::recursive_mutex FLock;
    int FLockCount = 0;
};

// A picture of any format. Drawing a graphic never changes it.
class TGraphic : public TPersistent {
public:
    String ClassName() const override { return String::fromLatin1("TGraphic"); }

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    // Whether the graphic has see-through parts when drawn (a bitmap's
    // transparent colour, a PNG's alpha).
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    // Streams hold the file format. EInvalidGraphic on data that is not
    // this format.
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) const = 0;
    // EFOpenError / EFCreateError as files do.
    virtual void LoadFromFile(const String& FileName);
    virtual void SaveToFile(const String& FileName) const;

    // Draws stretched into Rect on ACanvas (logical coordinates, clip
    // honoured).
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) const = 0;
    // The pixels as a QImage (ARGB32 when transparent, else RGB32).
    virtual QImage ToImage() const = 0;
    // A new graphic of the same class holding a copy.
    virtual std::unique_ptr<TGraphic> clone() const = 0;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    bool FTransparent = false;
    bool FModified = false;
};

// A window or program icon: one picture in several sizes (typically 16 and
// 32 pixels square). Streams hold a PNG of the largest size.
class TIcon : public TGraphic {
public:
    TIcon() = default;
    String ClassName() const override { return String::fromLatin1("TIcon"); }
    // From a TIcon (every size) or any other TGraphic's pixels; nullptr empties.
    void Assign(const TPersistent* Source) override;

    bool Empty() const override { return FImages.empty(); }
    // The largest size held.
    int Width() const override;
    int Height() const override;
    // EInvalidGraphicOperation: an icon's sizes are the pictures it holds.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    bool Transparent() const override { return true; }

    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) const override;

    // Draws the size nearest to Rect's, stretched to it.
    void Draw(TCanvas* ACanvas, const TRect& Rect) const override;
    QImage ToImage() const override;
    std::unique_ptr<TGraphic> clone() const override;

    // Adds a size, replacing a picture of the same size.
    void AddImage(const QImage& Image);
    void Clear();
    int ImageCount() const { return int(FImages.size()); }
    const QImage& ImageAt(int Index) const { return FImages.at(size_t(Index)); }
    // The picture at Width x Height: the same size when held, else the
    // smallest larger one (or the largest) scaled to it; null when empty.
    QImage ImageForSize(int AWidth, int AHeight) const;

private:
    std::vector<QImage> FImages;  // ARGB32, smallest first
};

// Holds one graphic of any registered format: Windows bitmaps (.bmp), PNG
// (.png) and JPEG (.jpg, .jpeg, .jpe, .jfif).
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    String ClassName() const override { return String::fromLatin1("TPicture"); }
    // A TPicture or TGraphic is copied; nullptr empties.
    void Assign(const TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Stores a copy (nullptr empties).
    void SetGraphic(const TGraphic* Value);
    // The graphic as a TBitmap: any other graphic is replaced by a bitmap
    // holding the same pixels (an empty picture gets an empty bitmap).
    TBitmap* Bitmap();
    void SetBitmap(const TBitmap* Value);
    int Width() const;
    int Height() const;

    // By extension, case-insensitive; EInvalidGraphic ("Unknown picture
    // file extension (.xyz)") otherwise.
    void LoadFromFile(const String& FileName);
    // In the graphic's own format whatever the extension; an empty picture
    // writes nothing.
    void SaveToFile(const String& FileName) const;
    // Recognises the format from the first bytes; EInvalidGraphic ("Invalid
    // image") when none matches.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;

    // The file filter of the loadable formats in the original's
    // "name|pattern|..." form, "All (*.bmp;...)" first.
    static String GraphicFilter();

    // Picture formats registered by extension (case-insensitive) take the
    // place of the built-in class of that extension, for files and for
    // streams recognised as that format.
    using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
    static void RegisterFileFormat(const String& AExtension, const String& ADescription, TGraphicFactory AFactory);
    static void UnregisterFileFormat(const String& AExtension);

    TNotifyEvent OnChange;

private:
    void setOwned(std::unique_ptr<TGraphic> Graphic);
    void graphicChanged(TObject* Sender);

    std::unique_ptr<TGraphic> FGraphic;
};
