// vlGraphics.h - the drawing surface of every control, painter and view
// info of the library: TvlCanvas over a platform canvas (frames, edges,
// fills and tiles, text under the library's own flags, clip regions in
// logical coordinates, three save stacks), TvlRegion, the shared screen and
// paint canvases, and the graphics services built on them (measuring,
// transparent backgrounds, the light colours of the flat looks).
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImgList.h"
#include "platform/rtl/Set.h"
#include "ui/foundation/vxCore.h"

class TStartupList;
class TWinControl;

// ---- text flags ------------------------------------------------------------------

enum : int {
    vltfLeft = 0x0001, vltfRight = 0x0002, vltfHCenter = 0x0004, vltfTop = 0x0008, vltfBottom = 0x0010,
    vltfVCenter = 0x0020, vltfSingleLine = 0x0040, vltfNoClip = 0x0080, vltfExpandTabs = 0x0100,
    vltfShowPrefix = 0x0200, vltfWordBreak = 0x0400, vltfEndEllipsis = 0x0800, vltfCalcRect = 0x1000,
    vltfPathEllipsis = 0x2000, vltfNoCharBreak = 0x4000, vltfNoFullWidthCharBreak = 0x8000
};

// Always with DT_NOPREFIX unless vltfShowPrefix; word break brings the
// edit-control rule unless vltfNoCharBreak.
uint32_t TextFlagsToDrawTextFlags(int AFlags);

enum TvlBorder { bLeft, bTop, bRight, bBottom };
using TvlBorders = TSet<TvlBorder>;
inline const TvlBorders vlBordersAll = TvlBorders{bLeft, bTop, bRight, bBottom};

enum TvlRegionOperation { roSet, roAdd, roSubtract, roIntersect };
// 0 none, 1 a quarter turn counter-clockwise, 2 clockwise, 3 a half turn.
enum TvlRotationAngle { ra0, raPlus90, raMinus90, ra180 };

struct TvlViewParams {
    const TBitmap* Bitmap = nullptr;
    TColor Color = clDefault;
    TFont* Font = nullptr;
    TColor TextColor = clDefault;
};

// ---- regions ------------------------------------------------------------------

class TvlRegion : public TObject {
public:
    TvlRegion() = default;  // empty
    explicit TvlRegion(const TRect& R);
    TvlRegion(int ALeft, int ATop, int ARight, int ABottom);
    explicit TvlRegion(const TRegion& ARegion) : FHandle(ARegion) {}
    String ClassName() const override { return String::fromLatin1("TvlRegion"); }

    // The left and top edges move in by one pixel, as the system's rounded
    // rectangles do.
    static std::unique_ptr<TvlRegion> CreateRoundCorners(const TRect& R, int AWidthEllipse, int AHeightEllipse);

    TRegion& Handle() { return FHandle; }
    const TRegion& Handle() const { return FHandle; }
    bool IsEmpty() const;
    // roSet makes this a copy of ARegion.
    void Combine(const TvlRegion& ARegion, TvlRegionOperation AOperation);
    bool IsEqual(const TvlRegion* ARegion) const;
    void Offset(int DX, int DY);
    bool PtInRegion(const TPoint& P) const { return PtInRegion(P.X, P.Y); }
    bool PtInRegion(int X, int Y) const;
    void DestroyHandle() { FHandle = TRegion(); }

private:
    TRegion FHandle;
};

// ---- canvas -------------------------------------------------------------------

// Wraps a platform canvas without owning it.
class TvlCanvas : public TObject {
public:
    explicit TvlCanvas(TCanvas* ACanvas);
    ~TvlCanvas() override;
    String ClassName() const override { return String::fromLatin1("TvlCanvas"); }

    TCanvas* Canvas() const { return FCanvas; }
    HDC Handle() const { return FCanvas->Handle(); }
    TFont* Font() const { return FCanvas->Font(); }
    void SetFont(const TFont* Value) { FCanvas->SetFont(Value); }
    TBrush* Brush() const { return FCanvas->Brush(); }
    TPen* Pen() const { return FCanvas->Pen(); }
    TCopyMode CopyMode() const { return FCanvas->CopyMode(); }
    void SetCopyMode(TCopyMode Value) { FCanvas->SetCopyMode(Value); }
    void SetPixel(int X, int Y, TColor AColor) { FCanvas->SetPixels(X, Y, AColor); }
    void MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
    void LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
    void Polygon(std::span<const TPoint> Points) { FCanvas->Polygon(Points); }
    void Polyline(std::span<const TPoint> Points) { FCanvas->Polyline(Points); }
    void CopyRect(const TRect& Dest, TCanvas* ACanvas, const TRect& Source) { FCanvas->CopyRect(Dest, ACanvas, Source); }
    void Draw(int X, int Y, const TGraphic* AGraphic) { FCanvas->Draw(X, Y, AGraphic); }
    void BeginPath() { ::BeginPath(Handle()); }
    void EndPath() { ::EndPath(Handle()); }
    bool RectVisible(const TRect& R) const { return ::RectVisible(Handle(), R); }

    TPoint GetWindowOrg() const;
    TPoint GetViewportOrg() const;
    void SetWindowOrg(const TPoint& P);
    // Logical to device: viewport origin minus window origin.
    TPoint GetDCOrigin() const;

    // Only when it differs, so the brush is not remade for nothing.
    void SetBrushColor(TColor Value);
    void GetParams(TvlViewParams& AParams) const;
    void SetParams(const TvlViewParams& AParams);

    // clNone draws nothing; clDefault uses the current brush; any other
    // colour becomes (and stays) the brush colour.
    void FillRectByColor(const TRect& R, TColor AColor);
    // Tiles are anchored at logical (0, 0), not at R. With AExcludeRect, R
    // then leaves the clip region.
    void FillRect(const TRect& R, const TBitmap* ABitmap = nullptr, bool AExcludeRect = false);
    void FrameRect(const TRect& R, TColor AColor = clDefault, int ALineWidth = 1,
                   TvlBorders ABorders = vlBordersAll, bool AExcludeFrame = false);
    void DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                          TvlBorders ABorders = vlBordersAll, int ABorderWidth = 1);
    void DrawEdge(const TRect& R, bool ASunken, bool AOuter, TvlBorders ABorders = vlBordersAll);
    void FillRectWithParams(const TRect& R, const TvlViewParams& AParams, TvlBorders ABorders = {},
                            TColor ABorderColor = clDefault, int ABorderWidth = 0, bool AExcludeRect = false);
    void DrawFocusRect(const TRect& R);
    void DrawFocusRectOfWidth(const TRect& R, int AWidth);
    void InvertRect(const TRect& R);

    void FillRegion(const TRegion& ARegion, TColor AColor);
    void FrameRegion(const TRegion& ARegion, TColor AColor, int ABorderWidth = 1, int ABorderHeight = 1);
    void DrawRegion(const TvlRegion& ARegion, TColor AContentColor, TColor ABorderColor, int ABorderWidth = 1,
                    int ABorderHeight = 1);

    TSize TextExtent(const String& AText);
    int TextWidth(const String& AText) { return TextExtent(AText).cx; }
    int TextHeight(const String& AText) { return TextExtent(AText).cy; }
    int FontHeight(const TFont* AFont);
    void TextExtentInRect(const String& AText, TRect& R, int AFlags);
    void DrawText(const String& AText, const TRect& R, int AFlags, bool AEnabled = true);
    void DrawTextWithAngle(const String& AText, const TRect& R, int AFlags, bool AEnabled, TvlRotationAngle AAngle);
    void SetFontAngle(int ADegrees);
    void AlignMultiLineTextRectVertically(TRect& R, const String& AText, bool AAlignBottom, bool AWordBreak,
                                          bool AShowPrefix, bool AEnabled = true, bool AEndEllipsis = false,
                                          bool ANoCharBreak = false);

    static void RotateBitmap(TBitmap* ABitmap, TvlRotationAngle AAngle, bool AMirror = false);

    void ExcludeClipRect(const TRect& R);
    void IntersectClipRect(const TRect& R);
    // Without a clip: (0, 0, 30000, 30000). The caller owns the result.
    std::unique_ptr<TvlRegion> GetClipRegion(bool AConsiderOrigin = true) const;
    // The region given with roSet becomes the whole clip region.
    void SetClipRegion(std::unique_ptr<TvlRegion> ARegion, TvlRegionOperation AOperation,
                       bool AConsiderOrigin = true);
    // The same, keeping the caller's region (it ends where it started).
    void SetClipRegion(TvlRegion& ARegion, TvlRegionOperation AOperation, bool AConsiderOrigin = true);
    void SaveClipRegion();
    // An empty stack is ignored.
    void RestoreClipRegion();
    // nullptr when the DC holds no closed path.
    std::unique_ptr<TvlRegion> PathToRegion(bool AConsiderOrigin = true);

    void SaveDC();
    void RestoreDC();
    void SaveState();
    void RestoreState();
    // Makes the canvas objects describe what is selected in DC.
    void SynchronizeObjects(HDC ADC);

protected:
    void SetCanvas(TCanvas* ACanvas) { FCanvas = ACanvas; }
    // The DC with the canvas font and text colour selected.
    HDC textHandle() const;

private:
    struct TDCState {
        HDC Handle;
        int SavedIndex;
    };
    struct TObjectsState {
        std::unique_ptr<TFont> Font;
        std::unique_ptr<TBrush> Brush;
        std::unique_ptr<TPen> Pen;
    };
    void setClip(TvlRegion& ARegion, TvlRegionOperation AOperation, bool AConsiderOrigin);

    TCanvas* FCanvas;
    std::vector<TDCState> FDCStates;
    std::vector<std::unique_ptr<TvlRegion>> FSavedRegions;
    std::vector<TObjectsState> FStates;
};

// Measures on a surface of its own (no pixels); Dormant lets it go until
// the next use.
class TvlScreenCanvas : public TvlCanvas {
public:
    TvlScreenCanvas();
    ~TvlScreenCanvas() override;
    String ClassName() const override { return String::fromLatin1("TvlScreenCanvas"); }
    void Dormant();

private:
    std::unique_ptr<TCanvas> FScreenCanvas;
    std::unique_ptr<TDeviceContext> FDC;
};

// A canvas that can be pointed at any DC for a while; calls nest.
class TvlPaintCanvas : public TvlCanvas {
public:
    TvlPaintCanvas();
    ~TvlPaintCanvas() override;
    String ClassName() const override { return String::fromLatin1("TvlPaintCanvas"); }
    void BeginPaint(HDC ADC);
    void EndPaint();
    int Depth() const { return int(FStates.size()); }

private:
    struct TPaintState {
        HDC PrevHandle;
        HDC DC;
        int SavedIndex;
    };
    std::unique_ptr<TCanvas> FPaintCanvas;
    std::vector<TPaintState> FStates;
};

// nullptr once the unit is finalized.
TvlScreenCanvas* GetScreenCanvas();
TvlPaintCanvas* GetPaintCanvas();

// ---- text on a DC -----------------------------------------------------------------

int DrawTextOnDC(HDC ADC, const String& AText, TRect& R, uint32_t AFormat, int ACount = -1,
                 TColor ATextColor = clDefault, int ABkMode = TRANSPARENT);
// With the canvas font selected, transparent background.
int DrawTextOnCanvas(TCanvas* ACanvas, const String& AText, TRect& R, uint32_t AFormat, TColor ATextColor = clDefault);
int DrawRotatedText(TvlCanvas* ACanvas, const String& AText, TRect R, uint32_t AFormat, TColor ATextColor,
                    TvlRotationAngle AAngle);

// ---- graphics services ---------------------------------------------------------------

TSize GetScreenPixelsPerInch();
void DeflateRectByMargins(TRect& R, const TRect& AMargins);
bool IsGlyphAssigned(const TBitmap* ABitmap);
bool IsImageAssigned(const TImageList* AImageList, int AIndex);
// The setter of an image-list property: nothing when AValue is the current
// one; otherwise links and free notification move to the new list, then the
// link's Change fires (also for nullptr).
void AssignImageList(TImageList* AValue, TImageList*& AField, TChangeLink* AChangeLink, TComponent* AOwner);
TColor GetNearestScreenColor(TColor AColor);
bool BitBltRect(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, uint32_t ARop, const TPoint& ASrcTopLeft);
// Pixel format first, then width, then height; the caller owns it.
std::unique_ptr<TBitmap> MakeBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat);
// Marks the rectangle (or the whole client area) of the window for
// repainting, with or without erasing the background first.
void InvalidateWindowRect(HWND AHandle, const TRect& R, bool AEraseBackground);
void InvalidateWindow(HWND AHandle, bool AEraseBackground);
TSize TextExtentForFont(const TFont* AFont, const String& AText, int AFontSize = 0);
int TextWidthForFont(const TFont* AFont, const String& AText, int AFontSize = 0);
int TextHeightForFont(const TFont* AFont, const String& AText, int AFontSize = 0);
TSize TextSizeOnDC(HDC ADC, const String& AText);
// The narrowest rectangle in which the word-wrapped text needs no more than
// ARows rows (any number for ARows <= 0).
TRect GetTextRectOnDC(HDC ADC, const String& AText, int ARows, bool ASetBottomToRowsHeight = false);
// The record of a bitmap, brush, font or pen; false when the handle names
// none.
bool QueryBitmapData(HBITMAP ABitmap, BITMAP& AData);
bool QueryBrushData(HBRUSH ABrush, LOGBRUSH& AData);
bool GetLogFontData(HFONT AFont, LOGFONTW& ALogFont);
bool QueryPenData(HPEN APen, LOGPEN& AData);
bool IsSpecialCharsetText(TFontCharset ACharset, const String& AText);
// The visible height of the current cursor below its hot spot.
TSize GetCursorSize();
TColor LightHotColor();
TColor LightDownColor();
// What AControl's parent shows under R (AControl's client coordinates),
// painted into ACanvas; with APaintParentChildren also the parent's
// children that lie below AControl.
void DrawTransparentControlBackground(TWinControl* AControl, TvlCanvas* ACanvas, const TRect& R,
                                      bool APaintParentChildren = false);
void vlDrawThemeParentBackground(TWinControl* AControl, TvlCanvas* ACanvas, const TRect& R);

// The unit's start-up entry: the screen DPI; its finalization frees the
// global canvases and stops them from being made again.
void AddvlGraphicsUnit(TStartupList& AList);
bool IsvlGraphicsFinalized();
// Frees the bitmaps DrawImage keeps between calls (the unit's finalization).
void FreeImageDrawingCache();

// ---- bitmaps ----------------------------------------------------------------------

namespace vlGraphicsConsts {
VORLANE_RESOURCESTRING(SvlWrongPixelFormat, "Wrong PixelFormat");
VORLANE_RESOURCESTRING(SvlInvalidCompressedBitmap, "Invalid compressed bitmap data");
}  // namespace vlGraphicsConsts

// A platform bitmap with its own library canvas, batched change
// notification and an optional compressed stored form ("XDBM": the plain
// stored form run-length coded in blocks of one pixel).
class TvlBitmap : public TBitmap {
public:
    // 24 bits per pixel.
    TvlBitmap() : TvlBitmap(0, 0) {}
    TvlBitmap(int AWidth, int AHeight) : TvlBitmap(AWidth, AHeight, pf24bit) {}
    TvlBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat);
    explicit TvlBitmap(const TRect& R) : TvlBitmap(R.Width(), R.Height()) {}
    TvlBitmap(const TRect& R, TPixelFormat APixelFormat) : TvlBitmap(R.Width(), R.Height(), APixelFormat) {}
    ~TvlBitmap() override;
    String ClassName() const override { return String::fromLatin1("TvlBitmap"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    std::unique_ptr<TGraphic> clone() const override;

    TvlCanvas* vlCanvas() const { return FvlCanvas.get(); }
    bool CompressData() const { return FCompressData; }
    void SetCompressData(bool Value) { FCompressData = Value; }

    void BeginUpdate() { ++FLockCount; }
    // The outermost call fires one change when AForce is set or something
    // changed meanwhile.
    void EndUpdate(bool AForce = false);
    bool ChangeLocked() const { return FLockCount > 0; }

    // Negative sizes become 0; the current size changes nothing.
    void SetSize(int AWidth, int AHeight) override;
    void SetSizeFromRect(const TRect& R) { SetSize(R.Width(), R.Height()); }
    TRect GetClientRect() const { return Rect(0, 0, Width(), Height()); }
    void CopyBitmap(TBitmap* ASource, uint32_t ARop = SRCCOPY);
    void CopyBitmapRect(TBitmap* ASource, const TRect& ADestRect, uint32_t ARop, const TPoint& ASourcePoint);
    void Rotate(TvlRotationAngle AAngle, bool AMirror = false);

    // With CompressData the stored form is "XDBM" (see the cpp). Reading
    // takes either form; damaged compressed data raises EInvalidGraphic and
    // leaves the bitmap as it was.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) const override;

protected:
    void Changed() override;
    // After every change that is not locked.
    virtual void Update() {}

private:
    std::unique_ptr<TvlCanvas> FvlCanvas;
    int FLockCount = 0;
    bool FModified = false;
    bool FCompressData = false;
};

// Always 32 bits per pixel.
class TvlBitmap32 : public TvlBitmap {
public:
    TvlBitmap32() : TvlBitmap32(0, 0) {}
    TvlBitmap32(int AWidth, int AHeight, bool AClear = false);
    String ClassName() const override { return String::fromLatin1("TvlBitmap32"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    std::unique_ptr<TGraphic> clone() const override;

    // Every byte 0, alpha included.
    virtual void Clear();
    // Rows bottom first.
    void GetBitmapColors(TRGBColors& AColors) const;
    void PutBitmapColors(const TRGBColors& AColors);
    bool IsAlphaUsed() const;
    // White mask pixels clear the image pixel (destination and not source).
    void ApplyMask(TBitmap* AMask);
    void DrawBlended(TvlBitmap32* ADest, const TRect& ADestRect, uint8_t AConstantAlpha = 255, bool ASmooth = false);
    // Whatever happens, the bitmap has 32 bits per pixel afterwards.
    void LoadFromStream(TStream* Stream) override;

protected:
    // EvxException "Wrong PixelFormat" at any other depth.
    void Update() override;
};

// Colours as RGBQUAD values (blue in the low byte) with a zero alpha byte.
class TvlColorList {
public:
    void Add(TColor AColor);
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    uint32_t Items(int Index) const { return FItems.at(size_t(Index)); }
    bool Contains(uint32_t ARGB) const;

private:
    std::vector<uint32_t> FItems;
};

// The per-pixel effects of TvlAlphaBitmap::ApplyEffect.
enum TvlImageEffect {
    ieDingy, ieDirty, ieGreyScale, ieSetOpaque, ieMakeMask, ieFade, ieDisable, ieMarkOpaque, ieClear, ieResetAlpha
};

// A 32-bit bitmap that knows which pixels are transparent: those equal to
// the transparent background colour (alpha included) and those whose RGB is
// in the transparent-colour list.
class TvlAlphaBitmap : public TvlBitmap32 {
public:
    TvlAlphaBitmap() : TvlAlphaBitmap(0, 0) {}
    TvlAlphaBitmap(int AWidth, int AHeight) : TvlAlphaBitmap(AWidth, AHeight, 0) {}
    TvlAlphaBitmap(int AWidth, int AHeight, uint32_t ATransparentBkColor);
    String ClassName() const override { return String::fromLatin1("TvlAlphaBitmap"); }

    // The background colour's own value when its alpha is not 0, else black.
    void Clear() override;
    void RecalculateImage(int AWidth, int AHeight);
    void SetTransparentColor(TColor AColor);
    uint32_t TransparentBkColor() const { return FTransparentBkColor; }
    void SetTransparentBkColor(uint32_t Value) { FTransparentBkColor = Value; }
    TvlColorList* TransparentPixels() { return &FTransparentPixels; }
    bool IsTransparent(uint32_t APixel) const;

    void ApplyEffect(TvlImageEffect AEffect);
    // A copy of AMask's shape in AColor, ASize pixels down and right,
    // behind the opaque pixels; with AGrow the bitmap grows by ASize.
    void DrawShadow(TBitmap* AMask, int ASize, bool AGrow, TColor AColor);

private:
    uint32_t FTransparentBkColor = 0;
    TvlColorList FTransparentPixels;
};

// The run coding of the compressed stored form: blocks of ABlockSize bytes,
// each run a code byte (bit 7 set: that many literal blocks follow; clear:
// one block standing for that many) of at most 125 blocks.
void vlEncodeRuns(TStream* AStream, const uint8_t* AData, size_t ASize, int ABlockSize);

// ---- image drawing ------------------------------------------------------------------

enum TvlImageDrawMode { idmNormal, idmDisabled, idmFaded, idmGrayScale, idmDingy, idmShadowed };

// Source over destination, the source premultiplied (B, G, R, A bytes).
void BlendPixel(uint32_t ASrc, uint32_t& ADst, uint8_t AConstantAlpha);
void vlAlphaBlend(HDC ADestDC, HDC ASrcDC, const TRect& ADestRect, const TRect& ASrcRect,
                  uint8_t AConstantAlpha = 255, bool ASmooth = false);
// Resamples ASource into ADest's current size: a smooth stretch, or the
// Lanczos-3 filter when AForceLanczos.
void SmoothResizeBitmap(TBitmap* ASource, TBitmap* ADest, bool AForceLanczos = false);
void DrawBitmapToDC(HDC ADC, TBitmap* ABitmap, const TRect& ADestRect, const TPoint& ASrcPoint, uint32_t ARop);
// White where ABitmap is transparent, black elsewhere.
void MakeMaskBitmap(TvlBitmap32* ABitmap, TBitmap* AMask);
// A glyph (AGlyph) or an image-list image, drawn into AGlyphRect over the
// background of ABackgroundRect (ABrush when given, else what ADC shows).
void DrawImage(HDC ADC, const TRect& AGlyphRect, const TRect& ABackgroundRect, TBitmap* AGlyph,
               TImageList* AImages, int AImageIndex, TvlImageDrawMode AMode, bool ASmooth = false,
               const TBrush* ABrush = nullptr, TColor ATransparentColor = clNone,
               bool AUseGlyphTransparentColor = false);
