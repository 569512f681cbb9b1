// vlEditPaintUtils.h - what editor painting shares: a process-wide cache of
// solid brushes (so a fill never makes and drops a brush), arrows, button
// lines, pixel-exact poly-lines, glyphs, the measures of button layout and
// the text-flag conversion.
#pragma once
#include <memory>
#include <span>
#include <vector>

#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/Graphics.h"
#include "ui/editors/vlEdit.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"

class TImageList;
class TStartupList;
class TvlSystemPaletteChangedNotifier;

// A brush handed out by the cache. It stays the cache's: use it at once,
// never keep it (a later request may evict it, a palette change drops all).
using TvlCachedBrush = const TDCBrush*;

class TvlSolidBrushCache : public TObject {
public:
    TvlSolidBrushCache();
    explicit TvlSolidBrushCache(uint32_t AMaxDepth);
    ~TvlSolidBrushCache() override;
    String ClassName() const override { return String::fromLatin1("TvlSolidBrushCache"); }

    TvlCachedBrush GetSolidBrush(TColor AColor);
    void ReleaseAll();
    virtual void ResetOnPaletteChange();

    int Depth() const { return FDepth; }
    uint32_t MaxDepth() const { return FMaxDepth; }
    TColor BrushColors(int Index) const { return FBrushColors.at(size_t(Index)); }
    uint32_t Counts(int Index) const { return FCounts.at(size_t(Index)); }

private:
    TvlCachedBrush FindOrCreateBrush(TColor AColor);
    void paletteChanged(TObject*) { ResetOnPaletteChange(); }

    std::vector<TColor> FBrushColors;
    std::vector<std::unique_ptr<TDCBrush>> FBrushes;
    std::vector<uint32_t> FCounts;
    int FDepth = 0;
    uint32_t FMaxDepth;
    std::unique_ptr<TvlSystemPaletteChangedNotifier> FPaletteNotifier;
};

// The process's cache: made by the unit's start-up (or on first use), freed
// by its finalization.
TvlSolidBrushCache* vlSolidBrushCache();
// The brush of a system colour index 0..30 (nullptr outside, or before the
// table is filled).
TvlCachedBrush vlSystemColorBrush(int AIndex);

TvlCachedBrush GetSolidBrush(TColor AColor);
TvlCachedBrush GetSolidBrushForCanvas(TCanvas* ACanvas, TColor AColor);
TvlCachedBrush GetSolidBrushForCxCanvas(TvlCanvas* ACanvas, TColor AColor);
void vlEditFillRect(TvlCanvas* ACanvas, const TRect& R, TColor AColor);
void FillRectByBrush(HDC DC, const TRect& R, TvlCachedBrush ABrush);
void FillRectExceptInner(TvlCanvas* ACanvas, const TRect& R, const TRect& AInnerRect, TvlCachedBrush ABrush);

void DrawArrow(TvlCanvas* ACanvas, int AArrowSize, const TRect& AContentRect, TvlArrowDirection ADirection,
               bool AIsDoubleArrow, bool AOffsetContent, TColor AColor);
TSize GetArrowSize(const TSize& AContentSize, TvlArrowDirection ADirection);

// Side bits of DrawButtonBorder.
enum : int { vlbbLeft = 1, vlbbTop = 2, vlbbRight = 4, vlbbBottom = 8 };
void DrawButtonBorder(TvlCanvas* ACanvas, TRect& R, int ABorders, TColor AColor);
// The end point is drawn too. Pixel-exact mode fills one-pixel strips with a
// cached brush and supports horizontal and vertical segments only.
void InternalPolyLine(TvlCanvas* ACanvas, std::span<const TPoint> APoints, bool APixelExact, TColor AColor);

// The glyph's pixels of its transparent colour are left out (or show
// ABackgroundColor unless it is clNone); disabled glyphs are greyed.
void DrawGlyph(TCanvas* ACanvas, int X, int Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor = clNone,
               TBitmap* ABuffer = nullptr);
void DrawGlyphOnCxCanvas(TvlCanvas* ACanvas, int X, int Y, TBitmap* AGlyph, bool AEnabled,
                         TColor ABackgroundColor = clNone, TBitmap* ABuffer = nullptr);
void DrawGlyphFromImageList(TvlCanvas* ACanvas, const TImageList* AImageList, int AImageIndex, const TRect& ARect,
                            TColor ABackgroundColor, bool AEnabled, TBitmap* ABuffer = nullptr);
bool IsGlyphValid(const TBitmap* ABitmap);
bool IsImageListAssigned(const TImageList* AImageList);

int CalculateEditButtonWidth(TvlCanvas* ACanvas, TvlEditButtonViewInfo* AViewInfo);
int ButtonContentVerticalMargin(TvlCanvas* ACanvas, TvlEditButtonStyle AButtonStyle, bool ANativeStyle);
int InPlaceButtonsHeightCorrection(const TvlCustomEditProperties* AProperties, bool AIsInplace);
const TvlCustomLookAndFeelPainter* GetPainterClass(bool ANativeStyle, TvlLookAndFeelKind AKind);
TColor GetEditBorderHighlightColor(bool AIsOffice11Style);
TColor GetEditButtonHighlightColor(bool APressed, bool AIsOffice11Style);
bool IsAsciiDigit(QChar C);

// The library's text-output flags.
enum : int {
    vlAlignVCenter = 0x0001, vlAlignRight = 0x0002, vlSingleLine = 0x0010, vlWordBreak = 0x0020,
    vlCalcRect = 0x0100, vlExpandTabs = 0x0200
};
int vlTextOutFlagsToDrawTextFlags(int AFlags);
int DrawTextFlagsTovlTextOutFlags(int AFlags);

void SetCanvasFontFromLogFont(TvlCanvas* ACanvas, const LOGFONTW& ALogFont);
bool GetCanvasLogFont(TvlCanvas* ACanvas, LOGFONTW& ALogFont);

// The system brush table and the brush cache for the program's life.
void AddvlEditPaintUtilsUnit(TStartupList& AList);
