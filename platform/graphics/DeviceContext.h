// DeviceContext.h - the Win32-style drawing surface: a device context over a
// QImage with origins, a device-space clip region, a save/restore stack,
// raster operations, regions, text drawing flags, edges and blits.
//
// Ownership: a TDeviceContext never owns its QImage; whoever creates the
// context (a control's paint code with its buffer, a TBitmap's canvas) keeps
// the image alive for the context's lifetime. No QPainter stays open between
// calls: every operation begins and ends its own painter, so the image may be
// read, resized or painted by Qt between operations. HDC is a plain,
// non-owning pointer to a context, as the handle was.
#pragma once
#include <QFont>
#include <QImage>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class QPainter;
class QPainterPath;

// Combine results and region kinds.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// CombineRgn / ExtSelectClipRgn modes.
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// A region (the HRGN of the original) as a value; coordinates are pixels,
// right and bottom edges excluded as in rectangles.
class TRegion {
public:
    TRegion() = default;
    explicit TRegion(const QRegion& Region) : FRegion(Region) {}

    const QRegion& Region() const { return FRegion; }
    QRegion& Region() { return FRegion; }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;

    bool operator==(const TRegion& Other) const { return FRegion == Other.FRegion; }

private:
    QRegion FRegion;
};

TRegion CreateRectRgn(int Left, int Top, int Right, int Bottom);
TRegion CreateRectRgnIndirect(const TRect& R);
// The ellipse inscribed in the rectangle (pixels whose centres lie inside).
TRegion CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
TRegion CreateEllipticRgnIndirect(const TRect& R);
// Corners rounded by an ellipse of WidthEllipse x HeightEllipse.
TRegion CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse, int HeightEllipse);
enum : int { ALTERNATE = 1, WINDING = 2 };
TRegion CreatePolygonRgn(std::span<const TPoint> Points, int FillMode);
// Dest may be Src1 or Src2. Returns the kind of the result (RGN_ERROR for an unknown mode).
int CombineRgn(TRegion& Dest, const TRegion& Src1, const TRegion& Src2, int Mode);
int OffsetRgn(TRegion& Rgn, int DX, int DY);
bool PtInRegion(const TRegion& Rgn, int X, int Y);
bool RectInRegion(const TRegion& Rgn, const TRect& R);
bool EqualRgn(const TRegion& A, const TRegion& B);
// The bounding box (all zeros for an empty region); returns the kind.
int GetRgnBox(const TRegion& Rgn, TRect& R);

// Background modes, text alignment, raster operations.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : uint32_t {
    TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
    TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24
};
// Binary raster operations of pens (SetROP2).
enum : int {
    R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
    R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
    R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16
};
// Ternary raster operations of blits. Those Qt's raster engine has no
// composition for (any code that mixes in the brush, such as 0x00200F09,
// D and P and not S) are computed bit by bit in software.
enum : uint32_t {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021,
    PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049, DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062
};

// DrawText flags.
enum : uint32_t {
    DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000
};

// DrawEdge edges and sides.
enum : uint32_t {
    BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
    BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8,
    BF_TOPLEFT = BF_TOP | BF_LEFT, BF_TOPRIGHT = BF_TOP | BF_RIGHT,
    BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT, BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000
};

// DrawFrameControl kinds and states (the subset the forms draw).
enum : uint32_t { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4 };
enum : uint32_t {
    DFCS_CAPTIONCLOSE = 0x0, DFCS_CAPTIONMIN = 0x1, DFCS_CAPTIONMAX = 0x2, DFCS_CAPTIONRESTORE = 0x3,
    DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLSIZEGRIP = 0x8,
    DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIOIMAGE = 0x1, DFCS_BUTTONRADIOMASK = 0x2, DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTONPUSH = 0x10,
    DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000
};

// GetDeviceCaps indexes.
enum : int { BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24, LOGPIXELSX = 88, LOGPIXELSY = 90, HORZRES = 8, VERTRES = 10 };

// The pen of a context: a cosmetic pen is one pixel wide whatever the width.
enum TDCPenStyle { dpsSolid, dpsDash, dpsDot, dpsDashDot, dpsDashDotDot, dpsNull, dpsInsideFrame };
struct TDCPen {
    TColor Color = clBlack;  // resolved RGB
    int Width = 1;
    TDCPenStyle Style = dpsSolid;
};
// The brush of a context: a null brush fills nothing; hatches are drawn in
// Color over the background (background mode and colour apply). A pattern
// brush repeats Pattern from device (0, 0), whatever the origins, so that
// neighbouring fills line up.
enum TDCBrushStyle {
    dbsSolid, dbsNull, dbsHorizontal, dbsVertical, dbsFDiagonal, dbsBDiagonal, dbsCross, dbsDiagCross, dbsPattern
};
struct TDCBrush {
    TDCBrush() = default;
    TDCBrush(TColor AColor, TDCBrushStyle AStyle, QImage APattern = QImage())
        : Color(AColor), Style(AStyle), Pattern(std::move(APattern))
    {
    }
    TColor Color = clWhite;  // resolved RGB
    TDCBrushStyle Style = dbsSolid;
    QImage Pattern;          // dbsPattern only: RGB32 pixels
};

class TDeviceContext {
public:
    // Image may be nullptr (a context with nothing to draw on: text
    // measuring works, drawing does nothing).
    explicit TDeviceContext(QImage* Image);
    ~TDeviceContext();
    TDeviceContext(const TDeviceContext&) = delete;
    TDeviceContext& operator=(const TDeviceContext&) = delete;

    QImage* Image() const { return FImage; }
    void SetImage(QImage* Image) { FImage = Image; }

    // The rule of 32-bit device-independent bitmaps: drawing leaves 0 in
    // the fourth byte of every pixel it writes (so a bitmap drawn only
    // through a context reads as having no alpha). Applies to RGB32 images;
    // a bitmap's canvas turns it on.
    bool ZeroAlpha() const { return FZeroAlpha; }
    void SetZeroAlpha(bool Value) { FZeroAlpha = Value; }

    // The selected objects. Fonts are QFonts with a pixel size (see TFont).
    const QFont& Font() const { return FState.Font; }
    void SetFont(const QFont& Font) { FState.Font = Font; }
    const TDCPen& Pen() const { return FState.Pen; }
    void SetPen(const TDCPen& Pen) { FState.Pen = Pen; }
    const TDCBrush& Brush() const { return FState.Brush; }
    void SetBrush(const TDCBrush& Brush) { FState.Brush = Brush; }
    TPoint PenPos() const { return FState.PenPos; }
    void SetPenPos(TPoint P) { FState.PenPos = P; }

    // Logical to device: device = logical - WindowOrg + ViewportOrg.
    TPoint Offset() const;
    // The clip in device coordinates; without a clip the whole image.
    QRegion DeviceClip() const;
    bool HasClip() const { return FState.HasClip; }

    // The selectable state SaveDC keeps; read and written by the drawing
    // functions, not by callers.
    struct TState {
        QFont Font;
        TDCPen Pen;
        TDCBrush Brush;
        TPoint PenPos;
        TColor TextColor = clBlack;
        TColor BkColor = clWhite;
        int BkMode = OPAQUE;
        int Rop2 = R2_COPYPEN;
        uint32_t TextAlign = TA_LEFT | TA_TOP;
        TPoint ViewportOrg;
        TPoint WindowOrg;
        bool HasClip = false;
        QRegion Clip;  // device coordinates
        int Escapement = 0;      // text angle in tenths of a degree, counter-clockwise
        int BreakExtra = 0;      // SetTextJustification
        int BreakCount = 0;
    };

    // The text angle (the selected font's escapement).
    void SetEscapement(int Tenths) { FState.Escapement = Tenths; }

private:
    friend class TDCAccess;
    QImage* FImage;
    TState FState;
    std::vector<TState> FSaved;
    bool FZeroAlpha = false;
    std::unique_ptr<QPainterPath> FPath;  // open or closed path, device coordinates
    bool FPathOpen = false;
};

using HDC = TDeviceContext*;

// The save/restore stack. SaveDC returns the new depth (1 for the first
// save); RestoreDC takes that number or a negative count back from the top.
int SaveDC(HDC DC);
bool RestoreDC(HDC DC, int SavedDC);

// Clipping. Rectangles are logical; the clip is kept in device space, so a
// later origin change does not move it. Each returns the resulting kind.
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
// Rgn in device coordinates; nullptr removes the clip.
int SelectClipRgn(HDC DC, const TRegion* Rgn);
int ExtSelectClipRgn(HDC DC, const TRegion* Rgn, int Mode);
// 1 with Rgn set to the device clip, 0 when there is no clip.
int GetClipRgn(HDC DC, TRegion& Rgn);
// The clip's bounding box in logical coordinates; returns the kind.
int GetClipBox(HDC DC, TRect& R);
bool PtVisible(HDC DC, int X, int Y);
bool RectVisible(HDC DC, const TRect& R);

bool SetViewportOrgEx(HDC DC, int X, int Y, TPoint* Old = nullptr);
bool GetViewportOrgEx(HDC DC, TPoint& P);
bool OffsetViewportOrgEx(HDC DC, int DX, int DY, TPoint* Old = nullptr);
bool SetWindowOrgEx(HDC DC, int X, int Y, TPoint* Old = nullptr);
bool GetWindowOrgEx(HDC DC, TPoint& P);
// Moves the logical origin so that (DX, DY) becomes (0, 0): how a parent
// paints a child that has no surface of its own.
void MoveWindowOrg(HDC DC, int DX, int DY);
bool DPtoLP(HDC DC, TPoint& P);
bool LPtoDP(HDC DC, TPoint& P);

// Each returns the previous value.
TColor SetTextColor(HDC DC, TColor Color);
TColor GetTextColor(HDC DC);
TColor SetBkColor(HDC DC, TColor Color);
TColor GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
int SetROP2(HDC DC, int Mode);
int GetROP2(HDC DC);
uint32_t SetTextAlign(HDC DC, uint32_t Align);

// 96 for LOGPIXELSX/Y, 32 for BITSPIXEL, -1 for NUMCOLORS, the image size
// for HORZRES/VERTRES, 1 for PLANES.
int GetDeviceCaps(HDC DC, int Index);

// Pixels in logical coordinates; GetPixel gives -1 (CLR_INVALID) outside
// the image or the clip, SetPixel does nothing there.
TColor GetPixel(HDC DC, int X, int Y);
TColor SetPixel(HDC DC, int X, int Y, TColor Color);

// Lines exclude their end point; the pen position moves to it.
bool MoveToEx(HDC DC, int X, int Y, TPoint* Old = nullptr);
bool LineTo(HDC DC, int X, int Y);
bool Polyline(HDC DC, std::span<const TPoint> Points);
// Shapes are outlined with the pen and filled with the brush; the outline
// of a one-pixel pen covers Left..Right-1 / Top..Bottom-1. With a null pen
// the filled area is one pixel smaller in each direction, as it was.
bool Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
bool Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
bool RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height);
bool Polygon(HDC DC, std::span<const TPoint> Points);
// Fills Left..Right-1 x Top..Bottom-1 with the given brush (the selected
// brush when Brush is nullptr); a null brush draws nothing.
bool FillRect(HDC DC, const TRect& R, const TDCBrush* Brush = nullptr);
// A one-pixel frame in the brush's colour.
bool FrameRect(HDC DC, const TRect& R, const TDCBrush& Brush);
bool FillRgn(HDC DC, const TRegion& Rgn, const TDCBrush& Brush);  // logical coordinates
bool FrameRgn(HDC DC, const TRegion& Rgn, const TDCBrush& Brush, int Width, int Height);
// Inverts every other pixel of the rectangle's outline; drawing it twice
// leaves the pixels as they were.
bool DrawFocusRect(HDC DC, const TRect& R);
// Fills with the brush combined by Rop (PATCOPY, PATINVERT, DSTINVERT,
// BLACKNESS, WHITENESS).
bool PatBlt(HDC DC, int X, int Y, int Width, int Height, uint32_t Rop);

// Text with the selected font, text colour and alignment; the background
// is filled with the background colour in OPAQUE mode.
bool TextOut(HDC DC, int X, int Y, const String& Text);
// ETO_OPAQUE fills R with the background colour, ETO_CLIPPED clips to R.
enum : uint32_t { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4 };
bool ExtTextOut(HDC DC, int X, int Y, uint32_t Options, const TRect* R, const String& Text);
// The extent includes the extra space SetTextJustification asks for.
bool GetTextExtentPoint32(HDC DC, const String& Text, TSize& Size);
// Partial extents: Dx (when given) receives the extent of the first 1, 2,
// ... n characters; Fit (when given) the number of characters whose extent
// is at most MaxExtent. Size is the whole text's extent.
bool GetTextExtentExPoint(HDC DC, const String& Text, int MaxExtent, int* Fit, std::vector<int>* Dx, TSize& Size);
// Tabs expand to the given stops (pixels from the tab origin; the last
// distance repeats) or, with none, every 8 average character widths.
// The extent as (width, height).
TSize GetTabbedTextExtent(HDC DC, const String& Text, std::span<const int> TabStops);
// Draws with tabs expanded; the stops are measured from TabOrigin. Returns
// the extent drawn. Only the first 4096 characters are drawn.
TSize TabbedTextOut(HDC DC, int X, int Y, const String& Text, std::span<const int> TabStops, int TabOrigin);
// Spreads BreakExtra pixels over the next text's BreakCount blanks (the
// first BreakExtra mod BreakCount blanks get one more); (0, 0) turns it off.
bool SetTextJustification(HDC DC, int BreakExtra, int BreakCount);
struct TTextMetric {
    int tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
    int tmAveCharWidth = 0, tmMaxCharWidth = 0;
};
bool GetTextMetrics(HDC DC, TTextMetric& TM);
// Lays out and draws Text in R with the DT_ flags above and returns the
// height of the text (with DT_VCENTER / DT_BOTTOM: the offset from R.Top to
// the bottom of the text). DT_CALCRECT draws nothing and sets R.Right /
// R.Bottom to the extent the text needs. '&' underlines the next character
// and "&&" is one '&' unless DT_NOPREFIX; DT_HIDEPREFIX removes the
// underline. Ellipses use "...". With DT_MODIFYSTRING and a non-null
// Modified, the shortened text is written there.
int DrawText(HDC DC, const String& Text, TRect& R, uint32_t Format, String* Modified = nullptr);

// The classic 3D edges in the system colours; with BF_ADJUST R shrinks
// to the area inside the edge.
bool DrawEdge(HDC DC, TRect& R, uint32_t Edge, uint32_t Flags);
// Check boxes and radio buttons are drawn in cells of this size (the
// system's check-box bitmap holds 4 x 3 of them). The radio image and mask
// variants draw our own 12 x 12 circle at R's top-left: the mask black on
// white over the whole of R; the image (flat or not: a one-pixel shadow
// ring, the window-coloured face and, checked, a 4 x 4 dot in the window
// text colour at (4, 4)) leaves the pixels outside the circle as they were.
inline constexpr int FrameControlCheckCellSize = 13;
bool DrawFrameControl(HDC DC, const TRect& R, uint32_t Type, uint32_t State);

// Paths: between BeginPath and EndPath the shape functions (MoveToEx,
// LineTo, Polyline, Polygon, Rectangle, Ellipse) add their outlines to the
// path instead of drawing. PathToRegion turns the closed path into a region
// in device coordinates (alternate fill) and discards it; it fails (false)
// without a closed path.
bool BeginPath(HDC DC);
bool EndPath(HDC DC);
bool AbortPath(HDC DC);
bool PathToRegion(HDC DC, TRegion& Rgn);

// Copies with a raster operation; Src may equal Dest (overlap is handled).
// Source pixels outside the source image are not drawn.
bool BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, uint32_t Rop);
bool StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int SrcWidth,
                int SrcHeight, uint32_t Rop);
// Copies through a monochrome mask: where the mask pixel is white the
// foreground operation (Rop's low three bytes) applies, elsewhere the
// background one (its top byte), as MAKEROP4 builds them. Each of the two
// may keep the destination (0xAA), copy the source (0xCC), or paint black
// (0x00) or white (0xFF); any other code copies the source. Mask pixels
// outside the mask image count as black.
bool MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, const QImage& Mask,
             int XMask, int YMask, uint32_t Rop);
constexpr uint32_t MAKEROP4(uint32_t Fore, uint32_t Back)
{
    return ((Back << 8) & 0xFF000000u) | Fore;
}
// Draws an image (alpha blended when it has an alpha channel) into the
// logical rectangle R, stretched to it, honouring the clip.
void DrawImage(HDC DC, const TRect& R, const QImage& Image);
