// vlLookAndFeelPaintersElements.cpp - the base painter's headers, footers,
// panels, scroll-bar and size-grip elements, navigation buttons, clock,
// progress text, group boxes, track bars, splitters and pages.
#include "ui/foundation/vlLookAndFeelPainters.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vxOffice11.h"

namespace {

TRect deflated(const TRect& R, int D)
{
    TRect r = R;
    InflateRect(r, -D, -D);
    return r;
}

// An ASize rectangle centred in R.
TRect centeredIn(const TRect& R, const TSize& ASize)
{
    const int left = R.Left + (R.Width() - ASize.cx) / 2;
    const int top = R.Top + (R.Height() - ASize.cy) / 2;
    return Rect(left, top, left + ASize.cx, top + ASize.cy);
}

void fillPolygon(TvlCanvas* ACanvas, std::span<const TPoint> APoints, TColor AColor)
{
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->SetBrushColor(AColor);
    ACanvas->Pen()->SetColor(AColor);
    ACanvas->Polygon(APoints);
}

}  // namespace

// ---------------------------------------------------------------- headers

void TvlCustomLookAndFeelPainter::DrawHeaderEx(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                               TvlBorders ANeighbors, TvlBorders ABorders, TvlButtonState AState,
                                               TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine,
                                               bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                                               TColor ATextColor, TColor ABkColor,
                                               const TvlDrawBackgroundEvent& AOnDrawBackground, bool, bool) const
{
    DrawHeaderBorder(ACanvas, R, ANeighbors, ABorders);
    TRect content;
    GetHeaderContentBounds(R, ABorders, content);
    DrawContent(ACanvas, content, ATextR, AState, AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                ATextColor, ABkColor, AOnDrawBackground, false);
}

void TvlCustomLookAndFeelPainter::DrawHeader(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                             TvlBorders ANeighbors, TvlBorders ABorders, TvlButtonState AState,
                                             TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine,
                                             bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                                             TColor ATextColor, TColor ABkColor,
                                             const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeaderEx(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignHorz, AAlignVert, AMultiLine,
                 AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground, false, false);
}

void TvlCustomLookAndFeelPainter::DrawHeaderPressed(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->InvertRect(R);
}

void TvlCustomLookAndFeelPainter::DrawHeaderSection(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                    TvlBorders, TvlBorders ABorders, TvlButtonState AState,
                                                    TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                                                    bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                    const TFont* AFont, TColor ATextColor, TColor ABkColor) const
{
    DrawHeaderSectionBorder(ACanvas, R, ABorders, AState);
    TRect content;
    GetHeaderSectionContentBounds(R, AState, content);
    DrawHeaderSectionContent(ACanvas, content, ATextR, AState, AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis,
                             AText, AFont, ATextColor, ABkColor);
}

void TvlCustomLookAndFeelPainter::DrawHeaderSectionContent(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                           TvlButtonState AState, TAlignment AAlignHorz,
                                                           TvlAlignmentVert AAlignVert, bool AMultiLine,
                                                           bool AShowEndEllipsis, const String& AText,
                                                           const TFont* AFont, TColor ATextColor,
                                                           TColor ABkColor) const
{
    ACanvas->FillRectByColor(R, ABkColor);
    TRect text;
    GetHeaderSectionTextBounds(ATextR, AState, text);
    DrawHeaderSectionText(ACanvas, text, AState, AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                          ATextColor);
}

void TvlCustomLookAndFeelPainter::DrawHeaderSectionText(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                        TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                                                        bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                        const TFont* AFont, TColor ATextColor) const
{
    const int flags = painterTextFlags(AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis);
    ACanvas->Brush()->SetStyle(bsClear);
    if (AFont != nullptr)
        ACanvas->SetFont(AFont);
    if (AState == vlbsDisabled) {
        TRect shifted = R;
        OffsetRect(shifted, 1, 1);
        ACanvas->Font()->SetColor(clBtnHighlight);
        ACanvas->DrawText(AText, shifted, flags);
        ACanvas->Font()->SetColor(clBtnShadow);
    } else
        ACanvas->Font()->SetColor(ATextColor);
    ACanvas->DrawText(AText, R, flags);
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TvlCustomLookAndFeelPainter::DrawHeaderSeparator(TvlCanvas* ACanvas, const TRect& R, int AEndWidth,
                                                      TColor AColor, const TvlViewParams& AViewParams) const
{
    ACanvas->FillRectWithParams(Rect(R.Left, R.Top, R.Left + AEndWidth, R.Bottom), AViewParams);
    ACanvas->FillRectWithParams(Rect(R.Right - AEndWidth, R.Top, R.Right, R.Bottom), AViewParams);
    ACanvas->FillRectByColor(Rect(R.Left + AEndWidth, R.Top, R.Right - AEndWidth, R.Bottom), AColor);
}

void TvlCustomLookAndFeelPainter::GetHeaderOuterBounds(const TRect& R, TvlBorders ANeighbors, TvlBorders ABorders,
                                                       TRect& AResult) const
{
    // Only the sides the cell keeps for itself: a side the look hands to a
    // neighbour stays where it is.
    const TvlBorders sides = ABorders - HeaderBorders(ANeighbors);
    const int w = HeaderBorderWidth();
    AResult = R;
    if (sides.Contains(bLeft))
        AResult.Left -= w;
    if (sides.Contains(bTop))
        AResult.Top -= w;
    if (sides.Contains(bRight))
        AResult.Right += w;
    if (sides.Contains(bBottom))
        AResult.Bottom += w;
}

void TvlCustomLookAndFeelPainter::GetHeaderContentBounds(const TRect& R, TvlBorders ABorders, TRect& AResult) const
{
    const int w = HeaderBorderWidth();
    AResult = R;
    if (ABorders.Contains(bLeft))
        AResult.Left += w;
    if (ABorders.Contains(bTop))
        AResult.Top += w;
    if (ABorders.Contains(bRight))
        AResult.Right -= w;
    if (ABorders.Contains(bBottom))
        AResult.Bottom -= w;
}

void TvlCustomLookAndFeelPainter::GetHeaderSectionTextBounds(const TRect& R, TvlButtonState AState,
                                                             TRect& AResult) const
{
    AResult = R;
    if (AState == vlbsPressed)
        OffsetRect(AResult, 1, 1);
}

void TvlCustomLookAndFeelPainter::GetHeaderSectionContentBounds(const TRect& R, TvlButtonState AState,
                                                                TRect& AResult) const
{
    AResult = deflated(R, HeaderSectionBorderWidth(AState));
}

int TvlCustomLookAndFeelPainter::HeaderWidth(TvlCanvas* ACanvas, TvlBorders ABorders, const String& AText,
                                             const TFont* AFont) const
{
    if (AFont != nullptr)
        ACanvas->SetFont(AFont);
    int result = (AText.isEmpty() ? 0 : ACanvas->TextWidth(AText)) + 4;
    if (ABorders.Contains(bLeft))
        result += HeaderBorderWidth();
    if (ABorders.Contains(bRight))
        result -= HeaderBorderWidth();
    return result;
}

void TvlCustomLookAndFeelPainter::SortingMarkAreaSize(TPoint& AP) const
{
    TPoint mark;
    SortingMarkSize(mark);
    AP = TPoint{16, mark.Y};
}

void TvlCustomLookAndFeelPainter::DrawOutlinedSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending,
                                                          const TPoint& AMarkSize, TColor ALightColor,
                                                          TColor ADarkColor)
{
    const int w = AMarkSize.X;
    const int h = AMarkSize.Y;
    if (w <= 0 || h <= 0)
        return;
    const int left = R.Left + (R.Right - R.Left - w) / 2;
    const int top = R.Top + (R.Bottom - R.Top - h) / 2;
    // Row k counted from the tip: its outline pixels lie inset(k) from the
    // sides, narrowing evenly from the full base to a tip one pixel wide
    // (two for an even width).
    const int tipInset = (w - 1) / 2;
    const auto inset = [&](int k) { return h == 1 ? 0 : tipInset * (h - 1 - k) / (h - 1); };
    for (int k = 0; k < h; ++k) {
        const int y = AAscending ? top + k : top + h - 1 - k;
        const bool base = k == h - 1;
        if (base) {
            // The base faces down when the mark points up, up otherwise.
            const TColor color = AAscending ? ALightColor : ADarkColor;
            ACanvas->FillRectByColor(TRect{left, y, left + w, y + 1}, color);
            continue;
        }
        const int d = inset(k);
        ACanvas->SetPixel(left + d, y, ADarkColor);
        ACanvas->SetPixel(left + w - 1 - d, y, ALightColor);
    }
}

// ---------------------------------------------------------------- group-by box and group rows

void TvlCustomLookAndFeelPainter::DrawGroupByBox(TvlCanvas* ACanvas, const TRect& R, bool ATransparent,
                                                 TColor AColor, const TBitmap* ABitmap) const
{
    DrawBackground(ACanvas, R, ATransparent, AColor, ABitmap);
}

TColor TvlCustomLookAndFeelPainter::DefaultGroupPanelColorA(bool AUseWindowColor) const
{
    return AUseWindowColor ? clWindow : Office11GroupPanelColorA;
}

TColor TvlCustomLookAndFeelPainter::DefaultGroupPanelColorB() const { return Office11GroupPanelColorB; }

TColor TvlCustomLookAndFeelPainter::DefaultGroupPanelColorC() const { return Office11GroupPanelColorC; }

void TvlCustomLookAndFeelPainter::DrawGroupPanelButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                       bool) const
{
    ACanvas->FillRectByColor(R, AState == vlbsPressed ? DefaultSelectionColor() : DefaultGroupColor());
}

void TvlCustomLookAndFeelPainter::DrawGroupPanelItem(TvlCanvas* ACanvas, const TRect& R, bool,
                                                     TvlButtonState AState) const
{
    DrawGroupPanelFrame(ACanvas, R, AState, vlBordersAll);
    ACanvas->FillRectByColor(R, AState == vlbsHot ? DefaultSelectionColor() : DefaultGroupColor());
}

void TvlCustomLookAndFeelPainter::DrawGroupPanelFrame(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                      TvlBorders ABorders) const
{
    ACanvas->FrameRect(R, AState == vlbsHot ? DefaultSelectionColor() : clBtnShadow, 1, ABorders, true);
}

void TvlCustomLookAndFeelPainter::DrawGroupPanelItemEx(TvlCanvas* ACanvas, const TRect& R, bool,
                                                       TvlButtonState AState, TvlBorders ABorders) const
{
    DrawGroupPanelFrame(ACanvas, R, AState, ABorders);
    ACanvas->FillRectByColor(R, DefaultGroupColor());
}

// ---------------------------------------------------------------- footers

void TvlCustomLookAndFeelPainter::DrawFooterCell(TvlCanvas* ACanvas, const TRect& R, TAlignment AAlignHorz,
                                                 TvlAlignmentVert AAlignVert, bool AMultiLine, const String& AText,
                                                 const TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                 const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawFooterCellBorder(ACanvas, R);
    DrawFooterCellContent(ACanvas, R, AAlignHorz, AAlignVert, AMultiLine, AText, AFont, ATextColor, ABkColor,
                          AOnDrawBackground);
}

void TvlCustomLookAndFeelPainter::DrawFooterCellContent(TvlCanvas* ACanvas, const TRect& R, TAlignment AAlignHorz,
                                                        TvlAlignmentVert AAlignVert, bool AMultiLine,
                                                        const String& AText, const TFont* AFont, TColor ATextColor,
                                                        TColor ABkColor,
                                                        const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    TRect content, text;
    FooterCellContentBounds(R, content);
    FooterCellTextAreaBounds(R, text);
    DrawContent(ACanvas, content, text, vlbsDefault, AAlignHorz, AAlignVert, AMultiLine, false, AText, AFont,
                ATextColor, ABkColor, AOnDrawBackground, true);
}

void TvlCustomLookAndFeelPainter::DrawFooterContent(TvlCanvas* ACanvas, const TRect& R,
                                                    const TvlViewParams& AViewParams) const
{
    if (!IsRectEmpty(R))
        ACanvas->FillRectWithParams(R, AViewParams);
}

void TvlCustomLookAndFeelPainter::DrawFooterSeparator(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FillRectByColor(R, FooterSeparatorColor());
}

// ---------------------------------------------------------------- filter panel and popup windows

void TvlCustomLookAndFeelPainter::DrawFilterCheck(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                  bool AIsChecked) const
{
    DrawCheckBox(ACanvas, R, AState, AIsChecked);
}

void TvlCustomLookAndFeelPainter::DrawFilterPanelCloseButton(TvlCanvas* ACanvas, const TRect& R,
                                                             TvlButtonState AState) const
{
    DrawButtonBorder(ACanvas, R, AState);
    const TRect r = deflated(R, ButtonBorderWidth(vlbsNormal));
    ACanvas->FillRectByColor(r, ButtonFaceColor(AState));
    // The cross: the diagonals of an odd square, two pixels thick.
    TPoint size;
    FilterPanelCloseButtonSize(size);
    int w = size.X / 2;
    if (w % 2 == 0)
        --w;
    TRect square = centeredIn(r, TSize{w, w});
    if (ButtonGlyphState(AState) == vlbsPressed)
        OffsetRect(square, 1, 1);
    ACanvas->Pen()->SetColor(ButtonGlyphColor(AState, clDefault));
    for (int dx = 0; dx < 2; ++dx) {
        ACanvas->MoveTo(square.Left + dx, square.Top);
        ACanvas->LineTo(square.Right + dx, square.Bottom);
        ACanvas->MoveTo(square.Left + dx, square.Bottom - 1);
        ACanvas->LineTo(square.Right + dx, square.Top - 1);
    }
}

void TvlCustomLookAndFeelPainter::DrawFilterPanel(TvlCanvas* ACanvas, const TRect& R, bool ATransparent,
                                                  TColor AColor, const TBitmap* ABitmap) const
{
    DrawBackground(ACanvas, R, ATransparent, AColor, ABitmap);
}

void TvlCustomLookAndFeelPainter::DrawWindowContent(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FillRectByColor(R, clBtnFace);
}

// ---------------------------------------------------------------- indicator

void TvlCustomLookAndFeelPainter::DrawIndicatorCustomizationMark(TvlCanvas* ACanvas, const TRect& R,
                                                                 TColor AColor) const
{
    ACanvas->Pen()->SetColor(AColor);
    const int top = (R.Top + R.Bottom - 9) / 2;
    for (int row = 0; row < 5; ++row) {
        const int y = top + 2 * row;
        ACanvas->MoveTo(R.Left + 5, y);
        ACanvas->LineTo(R.Right - 3, y);
        if (row % 2 == 0)
            ACanvas->SetPixel(R.Left + 3, y, AColor);
    }
}

void TvlCustomLookAndFeelPainter::DrawIndicatorItemEx(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind,
                                                      TColor ABkColor,
                                                      const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeaderEx(ACanvas, R, R, {}, HeaderBorders({bTop, bBottom}), vlbsNormal, taLeftJustify, vaTop, false, false,
                 String(), nullptr, clNone, ABkColor, AOnDrawBackground, false, false);
    DrawIndicatorImage(ACanvas, R, AKind);
}

void TvlCustomLookAndFeelPainter::DrawIndicatorItem(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind,
                                                    TColor ABkColor,
                                                    const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeader(ACanvas, R, R, {}, vlBordersAll, vlbsNormal, taLeftJustify, vaTop, false, false, String(), nullptr,
               clNone, ABkColor, AOnDrawBackground);
    DrawIndicatorImage(ACanvas, R, AKind);
}

// ---------------------------------------------------------------- scroll bars and size grips

void TvlCustomLookAndFeelPainter::DrawScrollBarBackground(TvlCanvas* ACanvas, const TRect& R, bool AHorizontal) const
{
    DrawScrollBarPart(ACanvas, AHorizontal, R, sbpPageUp, vlbsNormal);
}

void TvlCustomLookAndFeelPainter::ScrollBarSize(TSize& ASize) const
{
    ASize = TSize{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TvlCustomLookAndFeelPainter::DrawSizeGrip(TvlCanvas* ACanvas, const TRect& R) const
{
    ::DrawFrameControl(ACanvas->Handle(), R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void TvlCustomLookAndFeelPainter::DrawSizeGripInCorner(TvlCanvas* ACanvas, const TRect& R, TColor ABkColor,
                                                       TvlCorner ACorner) const
{
    static constexpr TvlRotationAngle angles[] = {ra180, raPlus90, raMinus90, ra0};
    const TvlRotationAngle angle = angles[ACorner];
    // Drawn upright, then turned: a quarter turn needs the sides exchanged
    // so the turned picture fills R.
    const bool quarter = angle == raPlus90 || angle == raMinus90;
    TvlBitmap bitmap(quarter ? R.Height() : R.Width(), quarter ? R.Width() : R.Height());
    bitmap.vlCanvas()->FillRectByColor(bitmap.GetClientRect(), ABkColor);
    DrawSizeGrip(bitmap.vlCanvas(), bitmap.GetClientRect());
    bitmap.Rotate(angle);
    ACanvas->Draw(R.Left, R.Top, &bitmap);
}

// ---------------------------------------------------------------- caption and navigation buttons

void TvlCustomLookAndFeelPainter::CaptionButtonSize(TSize& ASize) const
{
    const int n = std::min(GetSystemMetrics(SM_CXSIZE), GetSystemMetrics(SM_CYHSCROLL) + 3 - 6);
    ASize = TSize{n, n};
}

void TvlCustomLookAndFeelPainter::DrawCaptionButton(TvlCanvas* ACanvas, const TRect& R, bool AIsHot,
                                                    bool AIsPressed, bool AIsDisabled, TColor AFrameColor,
                                                    bool) const
{
    const bool pushed = AIsPressed && !AIsDisabled;
    ::DrawFrameControl(ACanvas->Handle(), R, DFC_CAPTION,
                       DFCS_CAPTIONCLOSE | DFCS_FLAT | (pushed ? uint32_t(DFCS_PUSHED) : 0u));
    if (AIsHot && !AIsDisabled)
        ACanvas->DrawEdge(R, AIsPressed, true);
    else
        ACanvas->FrameRect(R, AFrameColor);
    ACanvas->FrameRect(deflated(R, 1), AFrameColor);
}

void TvlCustomLookAndFeelPainter::NavigationButtonMetrics(bool AIsNextButton, TRect& ABorders, TSize& AArrowSize,
                                                          bool& AHasTextArea) const
{
    ABorders = AIsNextButton ? TRect{2, 6, 0, 6} : TRect{0, 6, 2, 6};
    AArrowSize = TSize{7, 7};
    AHasTextArea = true;
}

void TvlCustomLookAndFeelPainter::CalculateNavigationButtonRects(bool AIsNextButton, bool AArrowOnly, int,
                                                                 const TSize& ATextSize, TRect& R, TRect& ATextR,
                                                                 TRect& AArrowR) const
{
    TRect borders;
    TSize arrow;
    bool hasTextArea = false;
    NavigationButtonMetrics(AIsNextButton, borders, arrow, hasTextArea);
    const int arrowArea = 3 * arrow.cy;
    if (!hasTextArea || AArrowOnly) {
        ATextR = TRect();
        const int height = borders.Top + borders.Bottom + arrowArea;
        R.Top = (R.Top + R.Bottom - height) / 2;
        R.Bottom = R.Top + height;
        AArrowR = centeredIn(R, arrow);
        return;
    }
    const TRect inner = Rect(R.Left + borders.Left, R.Top + borders.Top, R.Right - borders.Right,
                             R.Bottom - borders.Bottom);
    AArrowR = centeredIn(Rect(inner.Left, inner.Top, inner.Right, inner.Top + arrowArea), arrow);
    ATextR = Rect(inner.Left, inner.Top + arrowArea + 5, inner.Right, inner.Bottom - 2 * arrow.cy);
    // Text that does not fit makes the button taller upwards, arrow and all.
    const int excess = std::max(ATextSize.cx, ATextSize.cy) - ATextR.Height();
    if (excess > 0) {
        R.Top -= excess;
        ATextR.Top -= excess;
        OffsetRect(AArrowR, 0, -excess);
    }
}

void TvlCustomLookAndFeelPainter::DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R, const String& AText,
                                                             TvlBorders ANeighbors, const TvlViewParams& AViewParams,
                                                             int AArrows, int AArrowIndent,
                                                             const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeaderEx(ACanvas, R, R, ANeighbors, HeaderBorders(ANeighbors), vlbsNormal, taCenter, vaCenter, false, false,
                 AText, AViewParams.Font, AViewParams.TextColor, AViewParams.Color, AOnDrawBackground, false, false);
    DrawHeaderScrollArrows(ACanvas, R, BorderSize(), AArrows, AArrowIndent);
}

void DrawHeaderScrollArrows(TvlCanvas* ACanvas, const TRect& R, int ABorderSize, int AArrows, int AArrowIndent)
{
    TRect r = R;
    OffsetRect(r, 0, ABorderSize);
    InflateRect(r, 0, -1);
    int base = r.Height() / 2;
    if (base % 2 == 0)
        --base;
    if (base <= 0)
        return;
    const int half = base / 2;
    const int tip = (base + 1) / 2;
    const int yc = r.Top + r.Height() / 2;
    if (AArrows == 1 || AArrows == 3) {
        const int x = r.Left + AArrowIndent - 1;
        const TPoint points[] = {TPoint{x, yc - half}, TPoint{x - tip, yc}, TPoint{x, yc + half}};
        fillPolygon(ACanvas, points, clWindowText);
    }
    if (AArrows == 2 || AArrows == 3) {
        const int x = r.Right - 1 - (AArrowIndent - 1);
        const TPoint points[] = {TPoint{x, yc - half}, TPoint{x + tip, yc}, TPoint{x, yc + half}};
        fillPolygon(ACanvas, points, clWindowText);
    }
}

void TvlCustomLookAndFeelPainter::DrawProgressMarker(TvlCanvas* ACanvas, const TRect& R, const TRect& AMarkR,
                                                     const TvlViewParams& AViewParams, bool AIsTransparent) const
{
    constexpr TColor frame = 0x808080;
    if (AIsTransparent)
        ACanvas->FrameRect(R, frame);
    else
        ACanvas->FillRectWithParams(R, AViewParams, vlBordersAll, frame, 1);
    ACanvas->FillRectByColor(AMarkR, clNavy);
}

void TvlCustomLookAndFeelPainter::DrawNavigationButtonEx(TvlCanvas* ACanvas, const TRect& R, bool AIsNextButton,
                                                         TvlButtonState AState, const String& AText,
                                                         const TRect& ATextR, const TRect& AArrowR) const
{
    DrawNavigationButtonContent(ACanvas, R, AArrowR, AIsNextButton, AState);
    const TColor color = NavigationButtonTextColor(AIsNextButton, AState, clDefault);
    if (IsRectEmpty(ATextR) || color == clNone)
        return;
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->Font()->SetColor(color);
    ACanvas->DrawTextWithAngle(AText, ATextR, vltfHCenter | vltfVCenter | vltfSingleLine, true, raMinus90);
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TvlCustomLookAndFeelPainter::DrawNavigationArrow(TvlCanvas* ACanvas, const TRect& R, bool AIsLeft,
                                                      TColor AColor) const
{
    // A chevron two pixels thick, one pixel nearer the tip on each row from
    // the ends to the middle, closed by a line along the far side.
    const int h = R.Height();
    const int middle = (h - 1) / 2;
    for (int i = 0; i < h; ++i) {
        const int step = std::abs(i - middle);
        const int x = AIsLeft ? R.Left + step : R.Right - 2 - step;
        ACanvas->FillRectByColor(Rect(x, R.Top + i, x + 2, R.Top + i + 1), AColor);
    }
    const int far = AIsLeft ? R.Right - 1 : R.Left;
    ACanvas->FillRectByColor(Rect(far, R.Top, far + 1, R.Bottom), AColor);
}

void TvlCustomLookAndFeelPainter::DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R,
                                                          TvlButtonState AState) const
{
    DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault);
}

// ---------------------------------------------------------------- clock

void TvlCustomLookAndFeelPainter::DrawClock(TvlCanvas* ACanvas, const TRect& R, TDateTime ATime,
                                            TColor ABkColor) const
{
    constexpr TColor handColor = 0x808000;
    constexpr TColor markColor = 0x808000;
    constexpr TColor markLightColor = 0xFFFF00;
    const double cx = (R.Left + R.Right) / 2;
    const double cy = (R.Top + R.Bottom) / 2;
    const double rx = R.Width() / 2 - 2;
    const double ry = R.Height() / 2 - 2;
    // A direction from the centre: angle in turns, clockwise from 12.
    auto along = [&](double ATurns, double AFactor) {
        const double a = 2 * std::numbers::pi * ATurns;
        return std::pair<double, double>(cx + AFactor * rx * std::sin(a), cy - AFactor * ry * std::cos(a));
    };
    ACanvas->SaveClipRegion();
    for (int hour = 0; hour < 12; ++hour) {
        const auto [fx, fy] = along(hour / 12.0, 1);
        const int x = int(std::lround(fx)), y = int(std::lround(fy));
        ACanvas->SetPixel(x, y, markColor);
        ACanvas->SetPixel(x - 1, y, markLightColor);
        ACanvas->SetPixel(x + 1, y, clBtnText);
        ACanvas->ExcludeClipRect(Rect(x - 1, y - 1, x + 2, y + 2));
    }
    ACanvas->FillRectByColor(R, ABkColor);

    int hours = 0, minutes = 0, seconds = 0, msec = 0;
    DecodeTime(ATime, hours, minutes, seconds, msec);
    auto hand = [&](double ATurns, double AForward, double ABack, int AWidth) {
        const auto [tx, ty] = along(ATurns, AForward);
        const auto [bx, by] = along(ATurns, -ABack);
        const double a = 2 * std::numbers::pi * ATurns;
        const double px = std::cos(a) * AWidth / 2.0, py = std::sin(a) * AWidth / 2.0;
        const TPoint points[] = {
            TPoint{int(std::lround(tx)), int(std::lround(ty))},
            TPoint{int(std::lround(cx + px)), int(std::lround(cy + py))},
            TPoint{int(std::lround(bx)), int(std::lround(by))},
            TPoint{int(std::lround(cx - px)), int(std::lround(cy - py))},
        };
        fillPolygon(ACanvas, points, handColor);
    };
    hand(((hours % 12) + minutes / 60.0 + seconds / 3600.0) / 12.0, 0.75, 0.15, 9);
    hand((minutes + seconds / 60.0) / 60.0, 0.85, 0.2, 7);
    const auto [sx, sy] = along(seconds / 60.0, 0.9);
    ACanvas->Pen()->SetColor(clRed);
    ACanvas->MoveTo(int(cx), int(cy));
    ACanvas->LineTo(int(std::lround(sx)), int(std::lround(sy)));
    ACanvas->RestoreClipRegion();
}

// ---------------------------------------------------------------- editor buttons, navigator and progress bars

void TvlCustomLookAndFeelPainter::DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const
{
    ACanvas->FillRectByColor(R, DefaultCalendarColorB());
    ACanvas->DrawEdge(R, false, true);
    InflateRect(R, -1, -1);
}

void TvlCustomLookAndFeelPainter::DrawNavigatorGlyph(TvlCanvas* ACanvas, TImageList* AImages, int AImageIndex, int,
                                                     const TPoint& P, bool AEnabled, bool) const
{
    if (AImages != nullptr)
        AImages->Draw(ACanvas->Canvas(), P.X, P.Y, AImageIndex, AEnabled);
}

void TvlCustomLookAndFeelPainter::DrawProgressBarText(TvlCanvas* ACanvas, bool AVertical, bool AIsSolid,
                                                      const String& AText, const TRect& R, const TRect&,
                                                      const TRect& AClipR, TColor ATextColor) const
{
    ACanvas->SaveState();
    if (AVertical)
        ACanvas->SetFontAngle(270);
    ACanvas->Brush()->SetStyle(bsClear);
    // Turned a quarter clockwise the text starts at the right edge.
    const TPoint origin{AVertical ? R.Right : R.Left, R.Top};
    auto textOut = [&](TvlCanvas* ACanvasTo, const TPoint& P, TColor AColor) {
        ACanvasTo->Font()->SetColor(AColor);
        ACanvasTo->Canvas()->TextOut(P.X, P.Y, AText);
    };
    if (AIsSolid)
        textOut(ACanvas, origin, ATextColor == clDefault ? ProgressBarTextColor() : ATextColor);
    else if (ProgressBarTextColorEx(true) == clDefault) {
        // White text on black, combined by exclusive or: where the text is,
        // whatever lies beneath is inverted; elsewhere it stays.
        TvlBitmap text(R);
        TvlCanvas* c = text.vlCanvas();
        c->FillRectByColor(text.GetClientRect(), clBlack);
        c->SetFont(ACanvas->Font());
        c->Brush()->SetStyle(bsClear);
        textOut(c, TPoint{AVertical ? R.Width() : 0, 0}, clWhite);
        const TCopyMode mode = ACanvas->CopyMode();
        ACanvas->SetCopyMode(cmSrcInvert);
        ACanvas->CopyRect(R, text.Canvas(), text.GetClientRect());
        ACanvas->SetCopyMode(mode);
    } else {
        TRect over;
        if (!IntersectRect(over, R, AClipR))
            textOut(ACanvas, origin, ProgressBarTextColorEx(false));
        else {
            // Each colour only on its own side of the bar's edge.
            ACanvas->SaveClipRegion();
            ACanvas->ExcludeClipRect(over);
            textOut(ACanvas, origin, ProgressBarTextColorEx(false));
            ACanvas->RestoreClipRegion();
            ACanvas->SaveClipRegion();
            ACanvas->IntersectClipRect(over);
            textOut(ACanvas, origin, ProgressBarTextColorEx(true));
            ACanvas->RestoreClipRegion();
        }
    }
    ACanvas->RestoreState();
}

// ---------------------------------------------------------------- group boxes

void TvlCustomLookAndFeelPainter::DrawGroupBoxBackground(TvlCanvas* ACanvas, TWinControl*, const TRect& R, TColor,
                                                         TColor) const
{
    const TRect r = R;
    DrawGroupBoxInnerFrame(ACanvas, r, R);
}

void TvlCustomLookAndFeelPainter::DrawGroupBoxPanelEx(TvlCanvas* ACanvas, const TRect& R, bool) const
{
    ACanvas->FillRectByColor(R, clBtnFace);
}

// ---------------------------------------------------------------- track bars

void TvlCustomLookAndFeelPainter::AdjustTrackBarThumbBounds(TvlCanvas*, TRect& R, bool, TvlTrackBarThumbShape) const
{
    ++R.Right;
    ++R.Bottom;
}

void TvlCustomLookAndFeelPainter::DrawTrackBarTrack(TvlCanvas* ACanvas, const TRect& R, const TRect&, bool, TColor,
                                                    bool, TColor AColor) const
{
    ACanvas->FillRectByColor(R, AColor);
    DrawTrackBarTrackBounds(ACanvas, R);
}

void TvlCustomLookAndFeelPainter::DrawTrackBarThumb(TvlCanvas* ACanvas, const TRect& R, TvlButtonState,
                                                    bool AHorizontal, TvlTrackBarThumbShape AShape,
                                                    TColor AColor) const
{
    ACanvas->Pen()->SetColor(AColor);
    ACanvas->SetBrushColor(AColor);
    if (AShape == tbtsRectangle) {
        ACanvas->FillRect(R);
        DrawTrackBarThumbBorder(ACanvas, R);
        return;
    }
    // Worked out for a thumb pointing up on a horizontal bar, in its own
    // coordinates (u across, v along the point), then flipped for a thumb
    // pointing down and transposed for a vertical bar.
    const int across = AHorizontal ? R.Width() : R.Height();
    const int along = AHorizontal ? R.Height() : R.Width();
    const int u1 = across - 1, v1 = along - 1, half = across / 2;
    auto map = [&](int u, int v) {
        if (AShape == tbtsPointedBottom)
            v = v1 - v;
        return AHorizontal ? TPoint{R.Left + u, R.Top + v} : TPoint{R.Left + v, R.Top + u};
    };
    auto points = [&](std::initializer_list<std::pair<int, int>> AUV) {
        std::vector<TPoint> result;
        for (const auto& [u, v] : AUV)
            result.push_back(map(u, v));
        return result;
    };
    const std::vector<TPoint> outline = points({{half, 0}, {u1, half}, {u1, v1}, {0, v1}, {0, half}});
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->Polygon(outline);
    DrawTrackBarPointedThumbBorder(ACanvas, points({{0, v1}, {0, half}, {half, 0}}),
                                   points({{half, 0}, {u1, half}, {u1, v1}, {0, v1}}),
                                   points({{half, 1}, {u1 - 1, half}, {u1 - 1, v1 - 1}, {1, v1 - 1}}),
                                   points({{1, v1 - 1}, {1, half + 1}, {1, half}, {half - 1, 2}, {half, 1}}));
}

// ---------------------------------------------------------------- splitters

void TvlCustomLookAndFeelPainter::DrawSplitter(TvlCanvas* ACanvas, const TRect& R, bool AIsHot, bool,
                                               bool AHorizontal) const
{
    TSize size;
    GetSplitterSize(AHorizontal, size);
    const int length = AHorizontal ? size.cx : size.cy;
    const int thickness = AHorizontal ? size.cy : size.cx;
    TRect grip;
    GetCenteredStripBounds(R, length, AHorizontal, grip);
    GetCenteredStripBounds(grip, thickness, !AHorizontal, grip);
    const int nearEdge = AHorizontal ? grip.Left : grip.Top;
    const int farEdge = AHorizontal ? grip.Right : grip.Bottom;
    const int centre = AHorizontal ? (R.Left + R.Right) / 2 : (R.Top + R.Bottom) / 2;
    // Five pieces with one-pixel gaps around the centre.
    const int gaps[] = {centre - 5, centre - 2, centre + 1, centre + 4};
    auto line = [&](int AOffset, TColor AColor) {
        int from = nearEdge;
        for (int i = 0; i <= 4; ++i) {
            const int to = i < 4 ? std::min(gaps[i], farEdge) : farEdge;
            if (to > from) {
                const int a = from + AOffset, b = to + AOffset;
                const int across0 = (AHorizontal ? grip.Top : grip.Left) + AOffset;
                ACanvas->FillRectByColor(AHorizontal ? Rect(a, across0, b, across0 + 1)
                                                     : Rect(across0, a, across0 + 1, b),
                                         AColor);
            }
            if (i < 4)
                from = std::max(from, gaps[i] + 1);
        }
    };
    line(0, GetSplitterOuterColor(AIsHot));
    if (thickness > 1)
        line(1, GetSplitterInnerColor(AIsHot));
}

void TvlCustomLookAndFeelPainter::GetSplitterSize(bool AHorizontal, TSize& ASize) const
{
    ASize = AHorizontal ? TSize{17, 2} : TSize{2, 17};
}

// ---------------------------------------------------------------- pages

void TvlCustomLookAndFeelPainter::DrawPagePanel(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FillRectByColor(R, DefaultPagePanelColor());
}

void TvlCustomLookAndFeelPainter::DrawPageAreaBackground(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FillRectByColor(R, clBtnShadow);
}

void TvlCustomLookAndFeelPainter::DrawPage(TvlCanvas* ACanvas, const TRect& APageR, const TRect& AContentR,
                                           int AFrameKind, bool AFillContent) const
{
    ACanvas->SaveClipRegion();
    if (AFillContent)
        ACanvas->FillRectByColor(AContentR, clWindow);
    TRect page = APageR;
    page.Right -= 2;
    page.Bottom -= 2;
    if (AFrameKind == 0)
        InflateRect(page, -1, -1);
    ACanvas->ExcludeClipRect(AContentR);
    ACanvas->FillRectByColor(page, AFrameKind == 0 ? clWindowText : clHighlight);
    ACanvas->ExcludeClipRect(page);
    TRect shadow = page;
    OffsetRect(shadow, 2, 2);
    ACanvas->FillRectByColor(shadow, clWindowText);
    ACanvas->RestoreClipRegion();
}

TColor TvlCustomLookAndFeelPainter::PageFrameColor(int AKind) const
{
    static constexpr TColor colors[] = {clMaroon, clMaroon, clMaroon, clRed, clRed, clRed};
    if (AKind < 0 || AKind >= int(std::size(colors)))
        return clDefault;
    return colors[AKind];
}
