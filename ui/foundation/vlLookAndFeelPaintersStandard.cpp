// The three classic looks: standard (raised and sunken 3-D edges), flat
// (one-pixel 3-D edges) and ultra-flat (plain lines with highlight colours).
#include "ui/foundation/vlLookAndFeelPainters.h"

namespace {

// A 2-pixel etched strip across the middle of R: shadow, then the same strip
// one pixel right and down in highlight.
void drawEtchedSeparator(const TvlCustomLookAndFeelPainter* APainter, TvlCanvas* ACanvas, const TRect& R,
                         bool AIsVertical, TColor ADark, TColor ALight)
{
    TRect r;
    APainter->GetCenteredStripBounds(R, 2, AIsVertical, r);
    TRect dark = r;
    --dark.Right;
    --dark.Bottom;
    ACanvas->FillRectByColor(dark, ADark);
    OffsetRect(dark, 1, 1);
    ACanvas->FillRectByColor(dark, ALight);
}

void deflate(TRect& R, int ADelta = 1) { InflateRect(R, -ADelta, -ADelta); }

TRect deflated(const TRect& R, int ADelta)
{
    TRect r = R;
    deflate(r, ADelta);
    return r;
}

// The page areas of a scroll bar: the checker brush, whose pattern repeats
// from the device's origin so that neighbouring pieces of one bar (and the
// same bar painted in pieces) line up.
void drawCheckerPage(TvlCanvas* ACanvas, const TRect& R, bool APressed)
{
    const TBitmap* checker = GetScrollBarCheckerBitmap(APressed);
    if (checker == nullptr) {
        // The shared bitmaps live with the unit; before it starts the
        // plain scroll-bar colour stands in.
        ACanvas->FillRectByColor(R, clScrollBar);
        return;
    }
    ACanvas->Brush()->SetBitmap(checker);
    ACanvas->FillRect(R);
    ACanvas->Brush()->SetBitmap(nullptr);
    ACanvas->Brush()->SetStyle(bsSolid);
}

// The raised header edge of the classic looks. Where cells touch, the
// raised edges run into each other without a notch.
void drawRaisedHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors)
{
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
    if (ANeighbors.Contains(bLeft)) {
        ACanvas->SetPixel(R.Left, R.Top + 1, clBtnFace);
        ACanvas->SetPixel(R.Left, R.Bottom - 2, clBtnFace);
    }
    if (ANeighbors.Contains(bRight)) {
        ACanvas->SetPixel(R.Right - 1, R.Top, clBtnHighlight);
        ACanvas->SetPixel(R.Right - 1, R.Top + 1, clBtnFace);
        ACanvas->SetPixel(R.Right - 1, R.Bottom - 2, clBtnFace);
    }
}

// Scroll-bar parts of the flat looks: the checker pages, and buttons with an
// arrow (inset by AArrowInset) for the arrows and the thumb.
void drawButtonScrollBarPart(const TvlCustomLookAndFeelPainter* APainter, TvlCanvas* ACanvas, bool AHorizontal,
                             const TRect& R, TvlScrollBarPartKind APart, TvlButtonState AState, int AArrowInset)
{
    if (IsRectEmpty(R) || (APart == sbpThumbnail && AState == vlbsDisabled))
        return;
    if (AState == vlbsHot)
        AState = vlbsNormal;
    switch (APart) {
    case sbpPageUp:
    case sbpPageDown: drawCheckerPage(ACanvas, R, AState == vlbsPressed); break;
    case sbpLineUp:
    case sbpLineDown: {
        APainter->DrawButton(ACanvas, R, String(), AState);
        const bool first = APart == sbpLineUp;
        const TvlArrowDirection direction = AHorizontal ? (first ? adLeft : adRight) : (first ? adUp : adDown);
        APainter->DrawStateArrow(ACanvas, deflated(R, AArrowInset), AState, direction);
        break;
    }
    case sbpThumbnail: APainter->DrawButton(ACanvas, R, String(), AState); break;
    case sbpNone: break;
    }
}

// The filter drop-down of the classic looks: a two-ring edge, sunken while
// pressed, on a face-coloured inside holding the arrow.
void drawEdgedFilterButton(const TvlCustomLookAndFeelPainter* APainter, TvlCanvas* ACanvas, const TRect& R,
                           TvlButtonState AState, bool AIsActive)
{
    const bool sunken = AState == vlbsPressed;
    ACanvas->DrawEdge(R, sunken, true);
    ACanvas->DrawEdge(deflated(R, 1), sunken, false);
    const TRect inner = deflated(R, 2);
    ACanvas->FillRectByColor(inner, clBtnFace);
    APainter->DrawButtonArrow(ACanvas, inner, AIsActive ? clBlue : clBtnText);
}

// One side strip of a tab in the classic looks. The strips are trimmed where
// they meet so that the corners look rounded, with a highlight pixel set
// diagonally in each trimmed corner.
void drawClassicTabSide(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide, TvlBorders ABorders, bool AIsVertical)
{
    TRect r = R;
    TColor color = clBtnHighlight;
    if (AIsVertical) {
        switch (ASide) {
        case bLeft:
            r.Top += ABorders.Contains(bTop) ? 2 : 1;
            r.Bottom -= ABorders.Contains(bBottom) ? 2 : 1;
            ACanvas->SetPixel(R.Left + 1, r.Top - 1, clBtnHighlight);
            ACanvas->SetPixel(R.Left + 1, r.Bottom, clBtnHighlight);
            break;
        case bTop:
        case bBottom:
            if (ABorders.Contains(bLeft))
                ++r.Left;
            if (ASide == bBottom)
                color = clBtnShadow;
            break;
        case bRight: break;
        }
    } else {
        switch (ASide) {
        case bLeft:
        case bRight:
            if (ABorders.Contains(bTop))
                r.Top += 2;
            if (ABorders.Contains(bBottom))
                --r.Bottom;
            if (ASide == bRight)
                color = clBtnShadow;
            break;
        case bTop:
            ++r.Left;
            --r.Right;
            ACanvas->SetPixel(r.Left - 1, R.Top + 1, clBtnHighlight);
            ACanvas->SetPixel(r.Right, R.Top + 1, clBtnHighlight);
            break;
        case bBottom: break;
        }
    }
    ACanvas->FillRectByColor(r, color);
}

// The border of a view splitter: rings of lines along its two long sides,
// outermost first, and the view's own background between them.
void drawViewSplitterRings(TvlCanvas* ACanvas, const TRect& R, const TvlViewParams& AViewParams,
                           bool AIsHorizontal, std::initializer_list<std::pair<TColor, TColor>> ARings)
{
    const TvlBorders sides = AIsHorizontal ? TvlBorders{bTop, bBottom} : TvlBorders{bLeft, bRight};
    TRect r = R;
    for (const auto& [leftTop, rightBottom] : ARings) {
        ACanvas->DrawComplexFrame(r, leftTop, rightBottom, sides);
        if (AIsHorizontal)
            InflateRect(r, 0, -1);
        else
            InflateRect(r, -1, 0);
    }
    if (!IsRectEmpty(r))
        ACanvas->FillRectWithParams(r, AViewParams);
}

// One edge of a pointed track-bar thumb, its last point included.
void drawThumbEdge(TvlCanvas* ACanvas, const std::vector<TPoint>& APoints, TColor AColor)
{
    if (APoints.empty())
        return;
    ACanvas->Pen()->SetColor(AColor);
    ACanvas->Polyline(APoints);
    ACanvas->SetPixel(APoints.back().X, APoints.back().Y, AColor);
}

}  // namespace

// ---------------------------------------------------------------- standard

void TvlStandardLookAndFeelPainter::DrawBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    TRect r = R;
    ACanvas->DrawComplexFrame(r, clBtnShadow, clBtnHighlight);
    deflate(r);
    ACanvas->DrawComplexFrame(r, cl3DDkShadow, cl3DLight);
}

void TvlStandardLookAndFeelPainter::DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const
{
    drawEtchedSeparator(this, ACanvas, R, AIsVertical, clBtnShadow, clBtnHighlight);
}

void TvlStandardLookAndFeelPainter::DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors,
                                                     TvlBorders) const
{
    drawRaisedHeaderBorder(ACanvas, R, ANeighbors);
}

void TvlStandardLookAndFeelPainter::DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                      TvlScrollBarPartKind APart, TvlButtonState AState) const
{
    if (IsRectEmpty(R) || (APart == sbpThumbnail && AState == vlbsDisabled))
        return;
    if (AState == vlbsHot)
        AState = vlbsNormal;
    switch (APart) {
    case sbpPageUp:
    case sbpPageDown:
        drawCheckerPage(ACanvas, R, AState == vlbsPressed);
        break;
    case sbpLineUp:
    case sbpLineDown: {
        static constexpr uint32_t kinds[2][2] = {{DFCS_SCROLLUP, DFCS_SCROLLDOWN},
                                                 {DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}};
        const bool pressed = AState == vlbsPressed;
        TRect glyph = R;
        if (pressed)
            OffsetRect(glyph, 1, 1);
        ::DrawFrameControl(ACanvas->Handle(), glyph, DFC_SCROLL,
                           kinds[AHorizontal ? 1 : 0][APart == sbpLineUp ? 0 : 1] |
                               (AState == vlbsDisabled ? uint32_t(DFCS_INACTIVE) : 0u) |
                               (pressed ? uint32_t(DFCS_FLAT) : 0u));
        if (pressed) {
            ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow);
            ACanvas->DrawComplexFrame(deflated(R, 1), clBtnFace, clBtnFace);
        } else {
            ACanvas->DrawComplexFrame(R, clBtnFace, cl3DDkShadow);
            ACanvas->DrawComplexFrame(deflated(R, 1), clBtnHighlight, clBtnShadow);
        }
        break;
    }
    case sbpThumbnail:
        ACanvas->DrawComplexFrame(R, clBtnFace, cl3DDkShadow);
        ACanvas->DrawComplexFrame(deflated(R, 1), clBtnHighlight, clBtnShadow);
        // Inside the two rings.
        ACanvas->FillRectByColor(deflated(R, 2), clBtnFace);
        break;
    case sbpNone:
        break;
    }
}

void TvlStandardLookAndFeelPainter::DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    TRect r = R;
    if (AState == vlbsPressed) {
        ACanvas->FrameRect(r, clBlack);
        deflate(r);
        ACanvas->DrawComplexFrame(r, clBtnShadow, clBtnShadow);
        return;
    }
    if (AState == vlbsDefault) {
        ACanvas->FrameRect(r, clBlack);
        deflate(r);
    }
    ACanvas->DrawComplexFrame(r, clBtnHighlight, cl3DDkShadow);
    deflate(r);
    ACanvas->DrawComplexFrame(r, cl3DLight, clBtnShadow);
}

void TvlStandardLookAndFeelPainter::DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                     TColor AColor) const
{
    // A raised box: light left and top, dark right and bottom with a shadow
    // line inside them.
    ACanvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
    TRect shadow = R;
    deflate(shadow);
    ACanvas->DrawComplexFrame(shadow, clBtnShadow, clBtnShadow, {bRight, bBottom});
    TRect inner = R;
    deflate(inner);
    --inner.Right;
    --inner.Bottom;
    ACanvas->FillRectByColor(inner, AColor == clDefault ? clBtnFace : AColor);
    DrawExpandButtonSign(ACanvas, R, AExpanded, clBtnText);
    ACanvas->ExcludeClipRect(R);
}

void TvlStandardLookAndFeelPainter::DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState) const
{
    // The sunken edge: the outer ring dark and light, the inner ring shadow
    // and highlight.
    TRect r = R;
    ACanvas->DrawComplexFrame(r, cl3DDkShadow, cl3DLight);
    deflate(r);
    ACanvas->DrawComplexFrame(r, clBtnShadow, clBtnHighlight);
}

// ---------------------------------------------------------------- flat

void TvlFlatLookAndFeelPainter::DrawBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
}

void TvlFlatLookAndFeelPainter::DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const
{
    drawEtchedSeparator(this, ACanvas, R, AIsVertical, clBtnShadow, clBtnHighlight);
}

void TvlFlatLookAndFeelPainter::DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    TRect r = R;
    if (AState == vlbsPressed) {
        ACanvas->DrawComplexFrame(r, clBtnShadow, clBtnHighlight);
        return;
    }
    if (AState == vlbsDefault) {
        ACanvas->FrameRect(r, clBlack);
        deflate(r);
    }
    ACanvas->DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
}

void TvlFlatLookAndFeelPainter::DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                 TColor AColor) const
{
    DrawButton(ACanvas, R, String(), vlbsNormal, true, AColor);
    TRect r = R;
    deflate(r);
    DrawExpandButtonSign(ACanvas, r, AExpanded, clBtnText);
    ACanvas->ExcludeClipRect(R);
}

void TvlFlatLookAndFeelPainter::DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    TRect r = R;
    ACanvas->DrawComplexFrame(r, clBtnShadow, clBtnHighlight);
    deflate(r);
    ACanvas->FrameRect(r, CheckFaceColor(AState));
}

// ---------------------------------------------------------------- ultra-flat

void TvlUltraFlatLookAndFeelPainter::DrawBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, clBtnShadow);
}

void TvlUltraFlatLookAndFeelPainter::DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const
{
    TRect r;
    GetCenteredStripBounds(R, 1, AIsVertical, r);
    ACanvas->FillRectByColor(r, clBtnShadow);
}

TColor TvlUltraFlatLookAndFeelPainter::ButtonFaceColor(TvlButtonState AState) const
{
    switch (AState) {
    case vlbsHot: return LightHotColor();
    case vlbsPressed: return LightDownColor();
    default: return clBtnFace;
    }
}

void TvlUltraFlatLookAndFeelPainter::GetButtonFocusBounds(TvlCanvas*, const TRect& R, TRect& AResult) const
{
    AResult = R;
    deflate(AResult, 3);
    if (IsRectEmpty(AResult))
        AResult = R;
}

void TvlUltraFlatLookAndFeelPainter::GetButtonGroupBorders(int AButtonCount, int AButtonIndex,
                                                           TRect& AResult) const
{
    AResult = TRect{1, 2, 1, 2};
    if (AButtonIndex == 0)
        AResult.Left = 2;
    if (AButtonCount > 1 && AButtonIndex == AButtonCount - 1)
        AResult.Right = 2;
}

TColor TvlUltraFlatLookAndFeelPainter::ButtonGlyphColor(TvlButtonState AState, TColor ADefaultColor) const
{
    if (AState == vlbsPressed)
        return clHighlightText;
    return TvlCustomLookAndFeelPainter::ButtonGlyphColor(AState, ADefaultColor);
}

void TvlUltraFlatLookAndFeelPainter::DrawButtonInGroup(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                       int AButtonCount, int AButtonIndex,
                                                       TColor ABorderColor) const
{
    const bool first = AButtonIndex == 0;
    const bool last = AButtonIndex == AButtonCount - 1;
    TRect r = R;
    ++r.Top;
    --r.Bottom;
    if (first)
        ++r.Left;
    if (last)
        --r.Right;
    if (AState == vlbsNormal || AState == vlbsDisabled) {
        ACanvas->FrameRect(r, ABorderColor);
        deflate(r);
    } else {
        if (!first) {
            ACanvas->FillRectByColor(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, HotBorderColor());
            ++r.Left;
        }
        if (!last) {
            ACanvas->FillRectByColor(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, HotBorderColor());
            --r.Right;
        }
    }
    ACanvas->FillRectByColor(r, ButtonFaceColor(AState));
}

void TvlUltraFlatLookAndFeelPainter::DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R,
                                                      TvlButtonState AState) const
{
    switch (AState) {
    case vlbsDefault: {
        TRect r = R;
        ACanvas->FrameRect(r, clWindowFrame);
        deflate(r);
        ACanvas->FrameRect(r, clWindowFrame);
        break;
    }
    case vlbsNormal: ACanvas->FrameRect(R, clBtnText); break;
    case vlbsDisabled: ACanvas->FrameRect(R, clBtnShadow); break;
    case vlbsHot:
    case vlbsPressed: ACanvas->FrameRect(R, clHighlight); break;
    }
}

void TvlUltraFlatLookAndFeelPainter::DrawNavigatorBorder(TvlCanvas* ACanvas, const TRect& R, bool AEmphasised,
                                                         bool AHot) const
{
    ACanvas->FrameRect(R, AEmphasised ? clBtnText : AHot ? HotBorderColor() : clBtnShadow);
}

void TvlUltraFlatLookAndFeelPainter::DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                      TColor AColor) const
{
    ACanvas->FrameRect(R, clBtnShadow);
    TRect inner = R;
    deflate(inner);
    ACanvas->FillRectByColor(inner, AColor == clDefault ? clBtnFace : AColor);
    DrawExpandButtonSign(ACanvas, R, AExpanded, clBtnText);
    ACanvas->ExcludeClipRect(R);
}

void TvlUltraFlatLookAndFeelPainter::DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R,
                                                     TvlButtonState AState) const
{
    TRect r = R;
    ACanvas->FrameRect(r, clBtnText);
    deflate(r);
    ACanvas->FrameRect(r, CheckFaceColor(AState));
}

TColor TvlUltraFlatLookAndFeelPainter::ButtonBorderColorForState(TvlButtonState AState) const
{
    return AState == vlbsNormal ? clBtnShadow : clHighlight;
}

// ---------------------------------------------------------------- footers, group boxes and track bars

void TvlStandardLookAndFeelPainter::DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

void TvlStandardLookAndFeelPainter::DrawFooterCellBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
}

void TvlStandardLookAndFeelPainter::DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool, int,
                                                      TvlBorders ABorders) const
{
    // An etched line: shadow, then highlight one pixel right and down.
    TRect r = R;
    --r.Right;
    --r.Bottom;
    ACanvas->FrameRect(r, clBtnShadow, 1, ABorders, true);
    OffsetRect(r, 1, 1);
    ACanvas->FrameRect(r, clBtnHighlight, 1, ABorders, true);
}

void TvlStandardLookAndFeelPainter::DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    ACanvas->DrawComplexFrame(deflated(R, 1), cl3DDkShadow, cl3DLight);
}

void TvlStandardLookAndFeelPainter::DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
    ACanvas->DrawComplexFrame(deflated(R, 1), cl3DLight, clBtnShadow);
}

void TvlFlatLookAndFeelPainter::DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

void TvlFlatLookAndFeelPainter::DrawFooterCellBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
}

void TvlFlatLookAndFeelPainter::DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool, int,
                                                  TvlBorders ABorders) const
{
    ACanvas->FrameRect(R, clBtnShadow, 1, ABorders);
    ACanvas->FrameRect(deflated(R, 1), clBtnHighlight, 1, ABorders);
}

void TvlFlatLookAndFeelPainter::DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    ACanvas->DrawComplexFrame(deflated(R, 1), clBtnFace, clBtnFace);
}

void TvlFlatLookAndFeelPainter::DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

void TvlUltraFlatLookAndFeelPainter::DrawFooterArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders) const
{
    ACanvas->FrameRect(R, FooterSeparatorColor(), FooterSeparatorSize(), ABorders);
}

void TvlUltraFlatLookAndFeelPainter::DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    DrawFooterArea(ACanvas, R, TvlBorders{bRight, bBottom});
}

void TvlUltraFlatLookAndFeelPainter::DrawFooterCellBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, FooterSeparatorColor());
}

void TvlUltraFlatLookAndFeelPainter::DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled, int,
                                                       TvlBorders ABorders) const
{
    ACanvas->FrameRect(R, AEnabled ? clHighlight : clBtnShadow, 1, ABorders);
}

void TvlUltraFlatLookAndFeelPainter::DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, clWindowText);
}

void TvlUltraFlatLookAndFeelPainter::DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, clWindowText);
}

// ---------------------------------------------------------------- headers of the classic looks

void TvlStandardLookAndFeelPainter::DrawHeaderSectionBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders,
                                                            TvlButtonState AState) const
{
    if (AState == vlbsPressed) {
        ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnShadow, ABorders);
        return;
    }
    ACanvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow, ABorders);
    ACanvas->DrawComplexFrame(deflated(R, 1), cl3DLight, clBtnShadow, ABorders);
}

void TvlFlatLookAndFeelPainter::DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors,
                                                 TvlBorders) const
{
    drawRaisedHeaderBorder(ACanvas, R, ANeighbors);
}

void TvlFlatLookAndFeelPainter::DrawHeaderSectionBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders,
                                                        TvlButtonState AState) const
{
    if (AState == vlbsPressed)
        ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight, ABorders);
    else
        ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void TvlUltraFlatLookAndFeelPainter::DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders,
                                                      TvlBorders ABorders) const
{
    // The right and bottom lines always; the left and top ones only where
    // no neighbour already draws them.
    TvlBorders sides{bRight, bBottom};
    if (ABorders.Contains(bLeft))
        sides.Include(bLeft);
    if (ABorders.Contains(bTop))
        sides.Include(bTop);
    ACanvas->FrameRect(R, clBtnText, 1, sides);
}

void TvlUltraFlatLookAndFeelPainter::DrawHeaderSectionBorder(TvlCanvas* ACanvas, const TRect& R,
                                                             TvlBorders ABorders, TvlButtonState AState) const
{
    ACanvas->FrameRect(R, AState == vlbsDisabled ? clBtnShadow : clBlack, 1, ABorders);
}

// ---------------------------------------------------------------- scroll bars of the flat looks

void TvlFlatLookAndFeelPainter::DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                  TvlScrollBarPartKind APart, TvlButtonState AState) const
{
    drawButtonScrollBarPart(this, ACanvas, AHorizontal, R, APart, AState, ButtonBorderWidth(vlbsNormal));
}

void TvlUltraFlatLookAndFeelPainter::DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                       TvlScrollBarPartKind APart, TvlButtonState AState) const
{
    drawButtonScrollBarPart(this, ACanvas, AHorizontal, R, APart, AState, 0);
}

// ---------------------------------------------------------------- sorting marks

void TvlStandardLookAndFeelPainter::DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const
{
    TPoint size;
    SortingMarkSize(size);
    DrawOutlinedSortingMark(ACanvas, R, AAscending, size, clBtnHighlight, clBtnShadow);
}

void TvlFlatLookAndFeelPainter::DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const
{
    TPoint size;
    SortingMarkSize(size);
    DrawOutlinedSortingMark(ACanvas, R, AAscending, size, clBtnHighlight, clBtnShadow);
}

void TvlUltraFlatLookAndFeelPainter::DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const
{
    TPoint size;
    SortingMarkSize(size);
    DrawOutlinedSortingMark(ACanvas, R, AAscending, size, clBtnShadow, clBtnShadow);
}

// ---------------------------------------------------------------- filter buttons, tabs, splitters and thumbs

void TvlStandardLookAndFeelPainter::DrawGroupExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                          TvlButtonState AState) const
{
    // The standard two-ring border would leave the small button little room
    // for its chevrons.
    TvlFlatLookAndFeelPainter::Instance()->DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
}

void TvlStandardLookAndFeelPainter::DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                     bool AIsActive) const
{
    drawEdgedFilterButton(this, ACanvas, R, AState, AIsActive);
}

void TvlStandardLookAndFeelPainter::DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide,
                                                      TvlBorders ABorders, bool AIsVertical) const
{
    drawClassicTabSide(ACanvas, R, ASide, ABorders, AIsVertical);
}

void TvlStandardLookAndFeelPainter::DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders) const
{
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void TvlStandardLookAndFeelPainter::DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R,
                                                               const String& AText, TvlBorders ANeighbors,
                                                               const TvlViewParams& AViewParams, int AArrows,
                                                               int AArrowIndent,
                                                               const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    TvlBorders sides{bRight, bBottom};
    if (!ANeighbors.Contains(bLeft))
        sides.Include(bLeft);
    if (!ANeighbors.Contains(bTop))
        sides.Include(bTop);
    ACanvas->FrameRect(R, clBlack, 1, sides);
    TRect inner = R;
    if (sides.Contains(bLeft))
        ++inner.Left;
    if (sides.Contains(bTop))
        ++inner.Top;
    --inner.Right;
    --inner.Bottom;
    TvlCustomLookAndFeelPainter::DrawHeaderWithScrollArrows(ACanvas, inner, AText, ANeighbors, AViewParams, AArrows,
                                                            AArrowIndent, AOnDrawBackground);
}

void TvlStandardLookAndFeelPainter::DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R,
                                                           const TvlViewParams& AViewParams,
                                                           bool AIsHorizontal) const
{
    drawViewSplitterRings(ACanvas, R, AViewParams, AIsHorizontal,
                          {{clBtnFace, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}});
}

void TvlStandardLookAndFeelPainter::DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas,
                                                                   const std::vector<TPoint>& AOuterLight,
                                                                   const std::vector<TPoint>& AOuterDark,
                                                                   const std::vector<TPoint>& AInnerDark,
                                                                   const std::vector<TPoint>&) const
{
    drawThumbEdge(ACanvas, AOuterLight, clBtnHighlight);
    drawThumbEdge(ACanvas, AInnerDark, clBtnShadow);
    drawThumbEdge(ACanvas, AOuterDark, cl3DDkShadow);
}

void TvlFlatLookAndFeelPainter::DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                 bool AIsActive) const
{
    drawEdgedFilterButton(this, ACanvas, R, AState, AIsActive);
}

void TvlFlatLookAndFeelPainter::DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide,
                                                  TvlBorders ABorders, bool AIsVertical) const
{
    drawClassicTabSide(ACanvas, R, ASide, ABorders, AIsVertical);
}

void TvlFlatLookAndFeelPainter::DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders) const
{
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void TvlFlatLookAndFeelPainter::DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R,
                                                       const TvlViewParams& AViewParams, bool AIsHorizontal) const
{
    drawViewSplitterRings(ACanvas, R, AViewParams, AIsHorizontal, {{clBtnHighlight, clBtnShadow}});
}

void TvlFlatLookAndFeelPainter::DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const
{
    ACanvas->FillRectByColor(R, DefaultCalendarColorB());
    ACanvas->FillRectByColor(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, clBtnFace);
    --R.Bottom;
}

void TvlFlatLookAndFeelPainter::DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas,
                                                               const std::vector<TPoint>& AOuterLight,
                                                               const std::vector<TPoint>& AOuterDark,
                                                               const std::vector<TPoint>&,
                                                               const std::vector<TPoint>&) const
{
    drawThumbEdge(ACanvas, AOuterLight, clBtnHighlight);
    drawThumbEdge(ACanvas, AOuterDark, clBtnShadow);
}

// ---------------------------------------------------------------- ultra-flat headers, tabs, navigation and pages

void TvlUltraFlatLookAndFeelPainter::DrawHeader(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                TvlBorders ANeighbors, TvlBorders ABorders, TvlButtonState AState,
                                                TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine,
                                                bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                                                TColor ATextColor, TColor ABkColor,
                                                const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawContent(ACanvas, R, deflated(ATextR, 1), AState, AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis, AText,
                AFont, ATextColor, ABkColor, AOnDrawBackground, false);
    DrawHeaderBorder(ACanvas, deflated(R, 1), ANeighbors, ABorders);
}

void TvlUltraFlatLookAndFeelPainter::DrawHeaderSectionContent(TvlCanvas* ACanvas, const TRect& R,
                                                              const TRect& ATextR, TvlButtonState AState,
                                                              TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                                                              bool AMultiLine, bool AShowEndEllipsis,
                                                              const String& AText, const TFont* AFont,
                                                              TColor ATextColor, TColor ABkColor) const
{
    const bool buttonFace = AState == vlbsHot || AState == vlbsPressed || AState == vlbsDisabled;
    ACanvas->FillRectByColor(R, buttonFace ? ButtonFaceColor(AState) : ABkColor);
    DrawHeaderSectionText(ACanvas, ATextR, AState, AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                          ATextColor);
}

void TvlUltraFlatLookAndFeelPainter::DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                      bool AIsActive) const
{
    ACanvas->FrameRect(R, ButtonBorderColorForState(AState));
    const TRect inner = deflated(R, 1);
    ACanvas->FillRectByColor(inner, ButtonFaceColor(AState));
    DrawButtonArrow(ACanvas, inner, AIsActive ? clBlue : ButtonGlyphColor(AState, clDefault));
}

void TvlUltraFlatLookAndFeelPainter::DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide,
                                                       TvlBorders, bool AIsVertical) const
{
    // The shadow side is dark: the bottom of a vertical tab, the right of a
    // horizontal one, which stops short of the line under the tabs.
    const bool shadow = AIsVertical ? ASide == bBottom : ASide == bRight;
    TRect r = R;
    if (shadow && !AIsVertical)
        r.Bottom -= TabBorderWidth(AIsVertical);
    ACanvas->FillRectByColor(r, shadow ? DarkBorderLineColor() : BorderLineColor());
}

void TvlUltraFlatLookAndFeelPainter::DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders) const
{
    ACanvas->DrawComplexFrame(R, BorderLineColor(), BorderLineColor(), ABorders, TabBorderWidth(false));
}

void TvlUltraFlatLookAndFeelPainter::DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R,
                                                                 const TRect& AArrowR, bool AIsNextButton,
                                                                 TvlButtonState AState) const
{
    ACanvas->FillRectByColor(R, clBtnFace);
    // The side that faces the content stays open.
    const TvlBorders sides = AIsNextButton ? TvlBorders{bLeft, bTop, bBottom} : TvlBorders{bTop, bRight, bBottom};
    ACanvas->FrameRect(R, AState == vlbsHot ? BorderLineColor() : DarkBorderLineColor(), 1, sides);
    DrawNavigationArrow(ACanvas, AArrowR, !AIsNextButton, ButtonGlyphColor(AState, clDefault));
}

void TvlUltraFlatLookAndFeelPainter::DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R,
                                                             TvlButtonState AState) const
{
    DrawButton(ACanvas, R, String(), AState, AState == vlbsHot || AState == vlbsPressed);
}

void TvlUltraFlatLookAndFeelPainter::DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R,
                                                            const TvlViewParams& AViewParams,
                                                            bool AIsHorizontal) const
{
    drawViewSplitterRings(ACanvas, R, AViewParams, AIsHorizontal, {{DefaultViewColorC(), DefaultViewColorC()}});
}

void TvlUltraFlatLookAndFeelPainter::DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas,
                                                                    const std::vector<TPoint>& AOuterLight,
                                                                    const std::vector<TPoint>& AOuterDark,
                                                                    const std::vector<TPoint>&,
                                                                    const std::vector<TPoint>&) const
{
    drawThumbEdge(ACanvas, AOuterLight, clWindowText);
    drawThumbEdge(ACanvas, AOuterDark, clWindowText);
}

void TvlUltraFlatLookAndFeelPainter::DrawPageAreaBackground(TvlCanvas* ACanvas, const TRect& R) const
{
    const TColor shadow = ColorToRGB(clBtnShadow);
    const auto lighter = [](uint8_t c) { return uint8_t(c + (255 - c) / 3); };
    ACanvas->FillRectByColor(R, RGB(lighter(GetRValue(shadow)), lighter(GetGValue(shadow)),
                                    lighter(GetBValue(shadow))));
}
