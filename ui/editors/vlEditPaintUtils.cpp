#include "ui/editors/vlEditPaintUtils.h"

#include <algorithm>
#include <array>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"
#include "platform/graphics/SysMetrics.h"
#include "platform/rtl/Startup.h"
#include "ui/foundation/vlImageList.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxOffice11.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

constexpr int systemBrushCount = 31;

struct TBrushUnit {
    std::array<std::unique_ptr<TDCBrush>, systemBrushCount> SystemBrushes;
    bool SystemBrushesFilled = false;
    std::unique_ptr<TvlSolidBrushCache> Cache;
};

TBrushUnit& brushUnit()
{
    static TBrushUnit unit;
    return unit;
}

void fillSystemBrushes()
{
    TBrushUnit& unit = brushUnit();
    for (int i = 0; i < systemBrushCount; ++i)
        unit.SystemBrushes[size_t(i)] = std::make_unique<TDCBrush>(GetSysColor(i), dbsSolid);
    unit.SystemBrushesFilled = true;
}

void emptySystemBrushes()
{
    TBrushUnit& unit = brushUnit();
    unit.SystemBrushesFilled = false;
    for (auto& brush : unit.SystemBrushes)
        brush.reset();
}

// Whether the native look really draws a kind of themed object.
bool visualStylesUsed(bool ANativeStyle, TvxThemedObjectType AType)
{
    return ANativeStyle && AreVisualStylesAvailable(TvxThemedObjectTypes{AType});
}

// Left + right and top + bottom margins of a themed part's content in a
// 100 x 100 box; zero when the theme answers nothing.
TSize themeContentMargins(TvxThemedObjectType AType)
{
    const TRect box = Rect(0, 0, 100, 100);
    TRect content;
    if (ThemeLibrary()->GetThemeBackgroundContentRect(OpenTheme(AType), nullptr, 1, 1, box, content) != S_OK)
        return TSize{0, 0};
    return TSize{(content.Left - box.Left) + (box.Right - content.Right),
                 (content.Top - box.Top) + (box.Bottom - content.Bottom)};
}

}  // namespace

// ------------------------------------------------------------ brush cache

TvlSolidBrushCache::TvlSolidBrushCache() : TvlSolidBrushCache(128) {}

TvlSolidBrushCache::TvlSolidBrushCache(uint32_t AMaxDepth)
    : FBrushColors(AMaxDepth), FBrushes(AMaxDepth), FCounts(AMaxDepth), FMaxDepth(AMaxDepth),
      FPaletteNotifier(std::make_unique<TvlSystemPaletteChangedNotifier>(true))
{
    FPaletteNotifier->OnSysColorsChanged = TNotifyEvent(this, &TvlSolidBrushCache::paletteChanged);
}

TvlSolidBrushCache::~TvlSolidBrushCache()
{
    FPaletteNotifier.reset();
    ReleaseAll();
}

TvlCachedBrush TvlSolidBrushCache::GetSolidBrush(TColor AColor) { return FindOrCreateBrush(AColor); }

void TvlSolidBrushCache::ReleaseAll()
{
    for (int i = 0; i < FDepth; ++i)
        FBrushes[size_t(i)].reset();
    FDepth = 0;
}

void TvlSolidBrushCache::ResetOnPaletteChange() { ReleaseAll(); }

TvlCachedBrush TvlSolidBrushCache::FindOrCreateBrush(TColor AColor)
{
    const TBrushUnit& unit = brushUnit();
    const uint32_t u = uint32_t(AColor);
    if (unit.SystemBrushesFilled && u >= 0xFF000000u && u <= 0xFF00001Eu)
        return unit.SystemBrushes[u & 0x00FFFFFFu].get();

    int lo = 0;
    int hi = FDepth - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        // Compared as signed values, so system colours sort first.
        const int64_t diff = int64_t(FBrushColors[size_t(mid)]) - int64_t(AColor);
        if (diff < 0)
            lo = mid + 1;
        else {
            hi = mid - 1;
            if (diff == 0) {
                found = true;
                lo = mid;
            }
        }
    }
    if (found) {
        ++FCounts[size_t(lo)];
        return FBrushes[size_t(lo)].get();
    }
    if (FMaxDepth == 0)
        return nullptr;
    if (uint32_t(FDepth) == FMaxDepth) {
        int victim = 0;
        for (int i = 0; i < FDepth; ++i) {
            if (FCounts[size_t(i)] < FCounts[size_t(victim)])
                victim = i;
            if (FCounts[size_t(victim)] == 0)
                break;
        }
        FBrushes[size_t(victim)].reset();
        std::move(FBrushColors.begin() + victim + 1, FBrushColors.begin() + FDepth, FBrushColors.begin() + victim);
        std::move(FBrushes.begin() + victim + 1, FBrushes.begin() + FDepth, FBrushes.begin() + victim);
        std::move(FCounts.begin() + victim + 1, FCounts.begin() + FDepth, FCounts.begin() + victim);
        --FDepth;
        if (lo > victim)
            --lo;
    }
    std::move_backward(FBrushColors.begin() + lo, FBrushColors.begin() + FDepth, FBrushColors.begin() + FDepth + 1);
    std::move_backward(FBrushes.begin() + lo, FBrushes.begin() + FDepth, FBrushes.begin() + FDepth + 1);
    std::move_backward(FCounts.begin() + lo, FCounts.begin() + FDepth, FCounts.begin() + FDepth + 1);
    ++FDepth;
    FBrushColors[size_t(lo)] = AColor;
    FBrushes[size_t(lo)] = std::make_unique<TDCBrush>(ColorToRGB(AColor), dbsSolid);
    FCounts[size_t(lo)] = 0;
    return FBrushes[size_t(lo)].get();
}

TvlSolidBrushCache* vlSolidBrushCache()
{
    TBrushUnit& unit = brushUnit();
    if (!unit.Cache)
        unit.Cache = std::make_unique<TvlSolidBrushCache>();
    return unit.Cache.get();
}

TvlCachedBrush vlSystemColorBrush(int AIndex)
{
    const TBrushUnit& unit = brushUnit();
    if (!unit.SystemBrushesFilled || AIndex < 0 || AIndex >= systemBrushCount)
        return nullptr;
    return unit.SystemBrushes[size_t(AIndex)].get();
}

TvlCachedBrush GetSolidBrush(TColor AColor) { return vlSolidBrushCache()->GetSolidBrush(AColor); }
TvlCachedBrush GetSolidBrushForCanvas(TCanvas*, TColor AColor) { return GetSolidBrush(AColor); }
TvlCachedBrush GetSolidBrushForCxCanvas(TvlCanvas*, TColor AColor) { return GetSolidBrush(AColor); }

void vlEditFillRect(TvlCanvas* ACanvas, const TRect& R, TColor AColor)
{
    FillRectByBrush(ACanvas->Handle(), R, GetSolidBrush(AColor));
}

void FillRectByBrush(HDC DC, const TRect& R, TvlCachedBrush ABrush)
{
    if (ABrush != nullptr)
        ::FillRect(DC, R, ABrush);
}

void FillRectExceptInner(TvlCanvas* ACanvas, const TRect& R, const TRect& AInnerRect, TvlCachedBrush ABrush)
{
    if (R.IsEmpty() || R == AInnerRect)
        return;
    const HDC dc = ACanvas->Handle();
    if (AInnerRect.IsEmpty()) {
        FillRectByBrush(dc, R, ABrush);
        return;
    }
    FillRectByBrush(dc, Rect(R.Left, R.Top, AInnerRect.Left, R.Bottom), ABrush);
    FillRectByBrush(dc, Rect(AInnerRect.Left, R.Top, AInnerRect.Right, AInnerRect.Top), ABrush);
    FillRectByBrush(dc, Rect(AInnerRect.Right, R.Top, R.Right, R.Bottom), ABrush);
    FillRectByBrush(dc, Rect(AInnerRect.Left, AInnerRect.Bottom, AInnerRect.Right, R.Bottom), ABrush);
}

// ------------------------------------------------------------ arrows and lines

void DrawArrow(TvlCanvas* ACanvas, int AArrowSize, const TRect& AContentRect, TvlArrowDirection ADirection,
               bool AIsDoubleArrow, bool AOffsetContent, TColor AColor)
{
    const int n = AIsDoubleArrow ? 2 : 1;
    const int size = AArrowSize;
    const bool vertical = ADirection == adUp || ADirection == adDown;
    const int boxWidth = vertical ? 2 * size - 1 : n * size;
    const int boxHeight = vertical ? n * size : 2 * size - 1;
    int left = AContentRect.Left + (AContentRect.Width() - boxWidth) / 2;
    int top = AContentRect.Top + (AContentRect.Height() - boxHeight) / 2;
    if (AOffsetContent) {
        ++left;
        ++top;
    }
    const TvlCachedBrush brush = GetSolidBrushForCxCanvas(ACanvas, AColor);
    const HDC dc = ACanvas->Handle();
    for (int arrow = 0; arrow < n; ++arrow) {
        for (int i = 0; i < size; ++i) {
            TRect r;
            switch (ADirection) {
            case adUp:
                r = Rect(left + size - 1 - i, top + arrow * size + i, left + size + i, top + arrow * size + i + 1);
                break;
            case adDown:
                r = Rect(left + i, top + arrow * size + i, left + boxWidth - i, top + arrow * size + i + 1);
                break;
            case adLeft:
                r = Rect(left + arrow * size + i, top + size - 1 - i, left + arrow * size + i + 1, top + size + i);
                break;
            case adRight:
                r = Rect(left + arrow * size + i, top + i, left + arrow * size + i + 1, top + boxHeight - i);
                break;
            }
            FillRectByBrush(dc, r, brush);
        }
    }
}

TSize GetArrowSize(const TSize& AContentSize, TvlArrowDirection ADirection)
{
    const int s = std::min(AContentSize.cx, AContentSize.cy);
    int w = (s - 1) / 2;
    if (w % 2 == 0)
        ++w;
    const int h = w / 2 + 1;
    if (ADirection == adUp || ADirection == adDown)
        return TSize{w, h};
    return TSize{h, w};
}

void InternalPolyLine(TvlCanvas* ACanvas, std::span<const TPoint> APoints, bool APixelExact, TColor AColor)
{
    if (APoints.empty())
        return;
    if (!APixelExact) {
        ACanvas->Pen()->SetColor(AColor);
        ACanvas->Polyline(APoints);
        const TPoint& last = APoints.back();
        ACanvas->SetPixel(last.X, last.Y, AColor);
        return;
    }
    const TvlCachedBrush brush = GetSolidBrushForCxCanvas(ACanvas, AColor);
    const HDC dc = ACanvas->Handle();
    // The start is included and the end left out, whichever way a segment
    // runs; the last point is drawn on its own.
    const auto span = [](int A, int B, int& AFrom, int& ATo) {
        if (A <= B) {
            AFrom = A;
            ATo = B;
        } else {
            AFrom = B + 1;
            ATo = A + 1;
        }
    };
    for (size_t i = 0; i + 1 < APoints.size(); ++i) {
        const TPoint& p1 = APoints[i];
        const TPoint& p2 = APoints[i + 1];
        int from = 0;
        int to = 0;
        if (p1.X == p2.X) {
            span(p1.Y, p2.Y, from, to);
            FillRectByBrush(dc, Rect(p1.X, from, p1.X + 1, to), brush);
        } else {
            span(p1.X, p2.X, from, to);
            FillRectByBrush(dc, Rect(from, p1.Y, to, p1.Y + 1), brush);
        }
    }
    const TPoint& last = APoints.back();
    FillRectByBrush(dc, Rect(last.X, last.Y, last.X + 1, last.Y + 1), brush);
}

void DrawButtonBorder(TvlCanvas* ACanvas, TRect& R, int ABorders, TColor AColor)
{
    if (ABorders & vlbbLeft) {
        const TPoint points[] = {{R.Left, R.Top}, {R.Left, R.Bottom - 1}};
        InternalPolyLine(ACanvas, points, false, AColor);
        ++R.Left;
    }
    if (ABorders & vlbbRight) {
        const TPoint points[] = {{R.Right - 1, R.Top}, {R.Right - 1, R.Bottom - 1}};
        InternalPolyLine(ACanvas, points, false, AColor);
        --R.Right;
    }
    if (ABorders & vlbbTop) {
        const TPoint points[] = {{R.Left, R.Top}, {R.Right - 1, R.Top}};
        InternalPolyLine(ACanvas, points, false, AColor);
        ++R.Top;
    }
    if (ABorders & vlbbBottom) {
        const TPoint points[] = {{R.Left, R.Bottom - 1}, {R.Right - 1, R.Bottom - 1}};
        InternalPolyLine(ACanvas, points, false, AColor);
        --R.Bottom;
    }
}

// ------------------------------------------------------------ glyphs

namespace {

// The glyph copied onto ACanvas at (X, Y) with its transparent colour left
// out or replaced by ABackgroundColor.
void brushCopy(TCanvas* ACanvas, int X, int Y, const TBitmap* AGlyph, TColor ABackgroundColor)
{
    if (ABackgroundColor != clNone)
        ::FillRect(ACanvas->Handle(), Rect(X, Y, X + AGlyph->Width(), Y + AGlyph->Height()),
                   GetSolidBrush(ABackgroundColor));
    TBitmap copy;
    copy.Assign(AGlyph);
    copy.SetTransparentColor(AGlyph->TransparentColor());
    copy.SetTransparent(true);
    ACanvas->Draw(X, Y, &copy);
}

}  // namespace

void DrawGlyph(TCanvas* ACanvas, int X, int Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor,
               TBitmap* ABuffer)
{
    if (AEnabled) {
        if (ABuffer != nullptr) {
            brushCopy(ABuffer->Canvas(), 0, 0, AGlyph, clNone);
            ACanvas->Draw(X, Y, ABuffer);
        } else
            brushCopy(ACanvas, X, Y, AGlyph, ABackgroundColor);
        return;
    }
    TvlImageList images(nullptr);
    images.SetWidth(AGlyph->Width());
    images.SetHeight(AGlyph->Height());
    std::unique_ptr<TBitmap> background;
    if (ABuffer == nullptr && ABackgroundColor != clNone) {
        background = MakeBitmap(AGlyph->Width(), AGlyph->Height(), pf32bit);
        ::FillRect(background->Canvas()->Handle(), Rect(0, 0, AGlyph->Width(), AGlyph->Height()),
                   GetSolidBrush(ABackgroundColor));
    }
    images.AddMasked(AGlyph, AGlyph->TransparentColor());
    if (background) {
        images.Draw(background->Canvas(), 0, 0, 0, false);
        ACanvas->Draw(X, Y, background.get());
    } else if (ABuffer != nullptr) {
        images.Draw(ABuffer->Canvas(), 0, 0, 0, false);
        ACanvas->Draw(X, Y, ABuffer);
    } else
        images.Draw(ACanvas, X, Y, 0, false);
}

void DrawGlyphOnCxCanvas(TvlCanvas* ACanvas, int X, int Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor,
                         TBitmap* ABuffer)
{
    DrawGlyph(ACanvas->Canvas(), X, Y, AGlyph, AEnabled, ABackgroundColor, ABuffer);
}

void DrawGlyphFromImageList(TvlCanvas* ACanvas, const TImageList* AImageList, int AImageIndex, const TRect& ARect,
                            TColor ABackgroundColor, bool AEnabled, TBitmap* ABuffer)
{
    std::unique_ptr<TBitmap> temporary;
    TBitmap* buffer = ABuffer;
    if (buffer == nullptr) {
        temporary = std::make_unique<TBitmap>();
        temporary->SetSize(AImageList->Width(), AImageList->Height());
        ::FillRect(temporary->Canvas()->Handle(), Rect(0, 0, AImageList->Width(), AImageList->Height()),
                   GetSolidBrush(ABackgroundColor));
        buffer = temporary.get();
    }
    AImageList->Draw(buffer->Canvas(), 0, 0, AImageIndex, AEnabled);
    ACanvas->Draw(ARect.Left, ARect.Top, buffer);
}

bool IsGlyphValid(const TBitmap* ABitmap)
{
    return ABitmap != nullptr && !ABitmap->Empty() && ABitmap->Width() >= 1 && ABitmap->Height() >= 1;
}

bool IsImageListAssigned(const TImageList* AImageList)
{
    return AImageList != nullptr && AImageList->Width() > 0 && AImageList->Height() > 0;
}

// ------------------------------------------------------------ measures

int CalculateEditButtonWidth(TvlCanvas* ACanvas, TvlEditButtonViewInfo* AViewInfo)
{
    const TvxThemedObjectType kind = AViewInfo->Data.ComboBoxStyle ? totComboBox : totButton;
    if (AViewInfo->Data.NativeStyle)
        AViewInfo->Data.NativeStyle = visualStylesUsed(true, kind);
    const int margins = AViewInfo->Data.NativeStyle ? themeContentMargins(kind).cx : 4;
    // Widths below 1 (a negative one included) ask for the content's width.
    if (AViewInfo->Width >= 1)
        return std::max(AViewInfo->Width, margins);
    switch (AViewInfo->Data.Kind) {
    case bkGlyph:
        if (IsGlyphValid(AViewInfo->Glyph))
            return AViewInfo->Glyph->Width() + margins;
        break;
    case bkText:
        return std::max(GetSystemMetrics(SM_CYHSCROLL),
                        margins + ACanvas->TextWidth(AViewInfo->Data.VisibleCaption) + 3);
    default:
        break;
    }
    return GetSystemMetrics(SM_CYHSCROLL);
}

int ButtonContentVerticalMargin(TvlCanvas*, TvlEditButtonStyle AButtonStyle, bool ANativeStyle)
{
    if (ANativeStyle)
        return themeContentMargins(totButton).cy;
    switch (AButtonStyle) {
    case btsDefault:
        return 0;
    case bts3D:
        return 4;
    default:
        return 2;
    }
}

int InPlaceButtonsHeightCorrection(const TvlCustomEditProperties* AProperties, bool AIsInplace)
{
    return AIsInplace && AProperties->Buttons()->Count() > 0 ? 1 : 0;
}

const TvlCustomLookAndFeelPainter* GetPainterClass(bool ANativeStyle, TvlLookAndFeelKind AKind)
{
    if (ANativeStyle && AreVisualStylesAvailable())
        return TvlWinXPLookAndFeelPainter::Instance();
    switch (AKind) {
    case lfFlat:
        return TvlFlatLookAndFeelPainter::Instance();
    case lfUltraFlat:
        return TvlUltraFlatLookAndFeelPainter::Instance();
    case lfOffice11:
        return TvlOffice11LookAndFeelPainter::Instance();
    case lfStandard:
        break;
    }
    return TvlStandardLookAndFeelPainter::Instance();
}

TColor GetEditBorderHighlightColor(bool AIsOffice11Style)
{
    return AIsOffice11Style ? Office11HotBorderColor : clHighlight;
}

TColor GetEditButtonHighlightColor(bool APressed, bool AIsOffice11Style)
{
    const TvlCustomLookAndFeelPainter* painter = AIsOffice11Style
                                                     ? TvlOffice11LookAndFeelPainter::Instance()
                                                     : TvlUltraFlatLookAndFeelPainter::Instance();
    return painter->ButtonFaceColor(APressed ? vlbsPressed : vlbsHot);
}

bool IsAsciiDigit(QChar C) { return C.unicode() >= u'0' && C.unicode() <= u'9'; }

// ------------------------------------------------------------ text flags and fonts

namespace {

struct TFlagPair {
    int Library;
    int DrawText;
};
// A library value of 0 has no counterpart: it is neither produced nor read.
constexpr TFlagPair flagPairs[] = {
    {0, int(DT_CENTER)},           {vlAlignVCenter, int(DT_VCENTER)}, {vlAlignRight, int(DT_RIGHT)},
    {0, int(DT_BOTTOM)},           {vlSingleLine, int(DT_SINGLELINE)}, {vlWordBreak, int(DT_WORDBREAK)},
    {vlExpandTabs, int(DT_EXPANDTABS)}, {vlCalcRect, int(DT_CALCRECT)},
};

}  // namespace

int vlTextOutFlagsToDrawTextFlags(int AFlags)
{
    int result = 0;
    for (const TFlagPair& pair : flagPairs)
        if (pair.Library != 0 && (AFlags & pair.Library) != 0)
            result |= pair.DrawText;
    return result;
}

int DrawTextFlagsTovlTextOutFlags(int AFlags)
{
    int result = 0;
    for (const TFlagPair& pair : flagPairs)
        if (pair.Library != 0 && (AFlags & pair.DrawText) != 0)
            result |= pair.Library;
    return result;
}

void SetCanvasFontFromLogFont(TvlCanvas* ACanvas, const LOGFONTW& ALogFont)
{
    // The platform's fonts are made from their properties, so the record's
    // fields become the canvas font's.
    TFont* font = ACanvas->Font();
    TFont made;
    made.SetName(String::fromUtf16(ALogFont.lfFaceName));
    made.SetHeight(ALogFont.lfHeight);
    TFontStyles style;
    if (ALogFont.lfWeight >= FW_BOLD)
        style.Include(fsBold);
    if (ALogFont.lfItalic != 0)
        style.Include(fsItalic);
    if (ALogFont.lfUnderline != 0)
        style.Include(fsUnderline);
    if (ALogFont.lfStrikeOut != 0)
        style.Include(fsStrikeOut);
    made.SetStyle(style);
    made.SetOrientation(ALogFont.lfEscapement);
    made.SetCharset(TFontCharset(ALogFont.lfCharSet));
    made.SetQuality(TFontQuality(std::min<int>(ALogFont.lfQuality, fqClearTypeNatural)));
    made.SetPitch(ALogFont.lfPitchAndFamily == FIXED_PITCH      ? fpFixed
                  : ALogFont.lfPitchAndFamily == VARIABLE_PITCH ? fpVariable
                                                                : fpDefault);
    made.SetColor(font->Color());
    font->Assign(&made);
}

bool GetCanvasLogFont(TvlCanvas* ACanvas, LOGFONTW& ALogFont)
{
    return GetLogFontData(ACanvas->Font()->Handle(), ALogFont);
}

void AddvlEditPaintUtilsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlEditPaintUtils"),
        [] {
            fillSystemBrushes();
            vlSolidBrushCache();
        },
        [] {
            brushUnit().Cache.reset();
            emptySystemBrushes();
        });
}
