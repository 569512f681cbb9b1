// The Office 11 look: the ultra-flat shapes in the colours of the Office 11
// scheme, which recomputes them on system colour and theme changes.
#include "ui/foundation/vlLookAndFeelPainters.h"

#include <algorithm>

#include "ui/foundation/vxOffice11.h"
#include "ui/foundation/vxThemeManager.h"

using vxOffice11::MixColors;

TColor TvlOffice11LookAndFeelPainter::DefaultFilterBoxColorA() const { return Office11FilterBoxColorA; }
TColor TvlOffice11LookAndFeelPainter::DefaultFilterBoxColorB() const { return Office11FilterBoxColorB; }
TColor TvlOffice11LookAndFeelPainter::DefaultFooterColor() const { return Office11ControlFaceColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultGroupByBoxColorA() const { return Office11GroupByBoxLineColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultGroupByBoxColorB() const { return Office11GradientLightColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultGroupColor() const { return Office11GroupColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultCalendarColorB() const { return Office11ControlFaceColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultCalendarColorF() const { return Office11CalendarSelectionColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultViewColorC() const { return Office11LineColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultViewColorD() const { return Office11ViewFaceColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultViewColorK() const { return Office11AltFaceColor; }
TColor TvlOffice11LookAndFeelPainter::DefaultViewColorO() const { return Office11ControlFaceColor; }
TColor TvlOffice11LookAndFeelPainter::HotBorderColor() const { return Office11HotBorderColor; }
TColor TvlOffice11LookAndFeelPainter::GradientEndColor() const { return Office11GradientDarkColor; }
TColor TvlOffice11LookAndFeelPainter::SeparatorDarkColor() const { return Office11SeparatorDarkColor; }
TColor TvlOffice11LookAndFeelPainter::SeparatorLightColor() const { return Office11SeparatorLightColor; }

TColor TvlOffice11LookAndFeelPainter::GradientMiddleColor() const
{
    return MixColors(Office11GradientLightColor, Office11GradientDarkColor, 50);
}

void TvlOffice11LookAndFeelPainter::DrawBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, Office11BorderColor);
}

void TvlOffice11LookAndFeelPainter::DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const
{
    TRect r;
    GetCenteredStripBounds(R, 2, AIsVertical, r);
    --r.Right;
    --r.Bottom;
    ACanvas->FillRectByColor(r, Office11SeparatorDarkColor);
    OffsetRect(r, 1, 1);
    ACanvas->FillRectByColor(r, Office11SeparatorLightColor);
}

TColor TvlOffice11LookAndFeelPainter::ButtonFaceColor(TvlButtonState AState) const
{
    switch (AState) {
    case vlbsHot: return Office11HotFaceColor;
    case vlbsPressed: return Office11PressedFaceColor;
    case vlbsDisabled: return clBtnFace;
    default: return Office11ControlFaceColor;
    }
}

TColor TvlOffice11LookAndFeelPainter::ButtonGlyphColor(TvlButtonState AState, TColor) const
{
    // On the standard themed schemes the pressed face is light enough for
    // the normal glyph colour.
    if (AState == vlbsPressed && !vxOffice11::UsesStandardXPColors())
        return clHighlightText;
    return AState == vlbsDisabled ? Office11DisabledGlyphColor : Office11GlyphColor;
}

void TvlOffice11LookAndFeelPainter::DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R,
                                                     TvlButtonState AState) const
{
    switch (AState) {
    case vlbsDefault: TvlUltraFlatLookAndFeelPainter::DrawButtonBorder(ACanvas, R, AState); break;
    case vlbsNormal: ACanvas->FrameRect(R, clBtnText); break;
    case vlbsDisabled: ACanvas->FrameRect(R, Office11DisabledGlyphColor); break;
    case vlbsHot:
    case vlbsPressed: ACanvas->FrameRect(R, Office11HotBorderColor); break;
    }
}

void TvlOffice11LookAndFeelPainter::DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                     TColor) const
{
    TBitmap* glyph = AExpanded ? vxOffice11::Office11ExpandedGlyph() : vxOffice11::Office11CollapsedGlyph();
    if (glyph == nullptr)
        return;
    // The rounded corners take on what lies under them.
    const int last = glyph->Width() - 1;
    glyph->SetPixels(0, 0, MixColors(Office11GlyphCornerLightColor, GetPixel(ACanvas->Handle(), R.Left, R.Top), 25));
    const TColor dark =
        MixColors(Office11GlyphCornerDarkColor, GetPixel(ACanvas->Handle(), R.Right - 1, R.Bottom - 1), 25);
    glyph->SetPixels(last, last, dark);
    glyph->SetPixels(0, last, dark);
    glyph->SetPixels(last, 0, dark);
    ACanvas->Draw(R.Left, R.Top, glyph);
}

void TvlOffice11LookAndFeelPainter::DrawSmallExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                          TColor, TColor) const
{
    DrawExpandButton(ACanvas, R, AExpanded, clDefault);
}

TColor TvlOffice11LookAndFeelPainter::CheckFaceColor(TvlButtonState AState) const
{
    if (AState == vlbsHot || AState == vlbsPressed || AState == vlbsDisabled)
        return ButtonFaceColor(AState);
    return TvlUltraFlatLookAndFeelPainter::CheckFaceColor(AState);
}

TColor TvlOffice11LookAndFeelPainter::ButtonBorderColorForState(TvlButtonState AState) const
{
    return AState == vlbsNormal ? SeparatorDarkColor() : Office11HotBorderColor;
}

// ---------------------------------------------------------------- headers

void TvlOffice11LookAndFeelPainter::DrawContent(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                TvlButtonState AState, TAlignment AAlignHorz,
                                                TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis,
                                                const String& AText, const TFont* AFont, TColor ATextColor, TColor,
                                                const TvlDrawBackgroundEvent& AOnDrawBackground,
                                                bool APlainBackground) const
{
    const bool hot = AState == vlbsHot;
    if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, R)) {
        const TColor colour = hot ? TColor(Office11GradientLightColor) : GradientMiddleColor();
        if (APlainBackground) {
            ACanvas->FillRectByColor(R, colour);
        } else {
            ACanvas->FillRectByColor(Rect(R.Left, R.Top, R.Right, R.Bottom - 3), colour);
            vxOffice11::FillGradientRect(ACanvas->Handle(), Rect(R.Left, R.Bottom - 4, R.Right, R.Bottom), colour,
                                         GradientEndColor(), false);
        }
    }
    drawPainterContentText(ACanvas, ATextR, AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                           ATextColor);
    // The hot strip marks the element itself: its bottom three rows, never
    // the pixels of the neighbour to the left or the row below.
    if (hot)
        vxOffice11::FillGradientRect(ACanvas->Handle(), Rect(R.Left, std::max(R.Top, R.Bottom - 3), R.Right, R.Bottom),
                                     Office11HotFaceColor, Office11HotFaceDarkColor, false);
}

void TvlOffice11LookAndFeelPainter::DrawHeaderEx(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                 TvlBorders ANeighbors, TvlBorders ABorders, TvlButtonState AState,
                                                 TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine,
                                                 bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                                                 TColor ATextColor, TColor ABkColor, const TvlDrawBackgroundEvent&,
                                                 bool AIsLast, bool AIsGroup) const
{
    // The gradient is the look of the header: no handler paints over it.
    TvlUltraFlatLookAndFeelPainter::DrawHeaderEx(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignHorz,
                                                 AAlignVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor,
                                                 ABkColor, nullptr, AIsLast, AIsGroup);
}

void TvlOffice11LookAndFeelPainter::DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors,
                                                     TvlBorders ABorders) const
{
    const TColor middle = GradientMiddleColor(), end = GradientEndColor();
    const TColor dark = SeparatorDarkColor(), light = SeparatorLightColor();
    const TColor nearEnd = MixColors(middle, end, 25);
    auto column = [&](int AX, int ATop, int ABottom, TColor AColor) {
        ACanvas->FillRectByColor(Rect(AX, ATop, AX + 1, ABottom), AColor);
    };
    if (ABorders.Contains(bTop))
        ACanvas->FillRectByColor(Rect(R.Left, R.Top, R.Right, R.Top + 1), middle);
    if (ABorders.Contains(bBottom))
        ACanvas->FillRectByColor(Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom), dark);
    if (ABorders.Contains(bLeft)) {
        ACanvas->SetPixel(R.Left, R.Top + 1, middle);
        if (ANeighbors.Contains(bLeft)) {
            ACanvas->SetPixel(R.Left, R.Top + 2, middle);
            ACanvas->SetPixel(R.Left, R.Bottom - 3, nearEnd);
            ACanvas->SetPixel(R.Left, R.Bottom - 2, end);
            column(R.Left, R.Top + 3, R.Bottom - 3, light);
        } else {
            ACanvas->SetPixel(R.Left, R.Bottom - 2, end);
            column(R.Left, R.Top + 2, R.Bottom - 2, light);
        }
    }
    if (ABorders.Contains(bRight)) {
        const int x = R.Right - 1;
        if (ANeighbors.Contains(bRight)) {
            ACanvas->SetPixel(x, R.Top + 1, middle);
            ACanvas->SetPixel(x, R.Top + 2, middle);
            ACanvas->SetPixel(x, R.Bottom - 3, nearEnd);
            ACanvas->SetPixel(x, R.Bottom - 2, end);
            column(x, R.Top + 3, R.Bottom - 3, dark);
        } else {
            ACanvas->SetPixel(x, R.Top, MixColors(middle, dark, 50));
            ACanvas->SetPixel(x, R.Bottom - 2, MixColors(end, dark, 50));
            column(x, R.Top + 1, R.Bottom - 2, dark);
        }
    }
}

void TvlOffice11LookAndFeelPainter::DrawHeaderSection(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                                      TvlBorders ANeighbors, TvlBorders ABorders,
                                                      TvlButtonState AState, TAlignment AAlignHorz,
                                                      TvlAlignmentVert AAlignVert, bool AMultiLine,
                                                      bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                                                      TColor ATextColor, TColor ABkColor) const
{
    DrawHeaderEx(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignHorz, AAlignVert, AMultiLine,
                 AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, nullptr, false, false);
    if (AState == vlbsPressed)
        DrawHeaderPressed(ACanvas, R);
}

// ---------------------------------------------------------------- views, calendars and track bars

void TvlOffice11LookAndFeelPainter::DrawViewBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, DefaultViewColorC());
}

void TvlOffice11LookAndFeelPainter::DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const
{
    // No edge: the calendar keeps all of R.
    ACanvas->FillRectByColor(R, DefaultCalendarColorB());
}

void TvlOffice11LookAndFeelPainter::DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, clBtnText);
}

void TvlOffice11LookAndFeelPainter::DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, clBtnText);
}

// ---------------------------------------------------------------- splitters

TColor TvlOffice11LookAndFeelPainter::GetSplitterInnerColor(bool) const { return Office11SeparatorLightColor; }

TColor TvlOffice11LookAndFeelPainter::GetSplitterOuterColor(bool AIsHot) const
{
    return AIsHot ? Office11HotBorderColor : Office11SeparatorDarkColor;
}

void TvlOffice11LookAndFeelPainter::DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R,
                                                      TvlScrollBarPartKind APart, TvlButtonState AState) const
{
    // The native look itself draws the standard parts when the theme has
    // no scroll bar.
    TvlWinXPLookAndFeelPainter::Instance()->DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
}

// ---------------------------------------------------------------- group panel, size grip and sorting mark

void TvlOffice11LookAndFeelPainter::DrawGroupPanelItem(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical,
                                                       TvlButtonState AState) const
{
    DrawGroupPanelFrame(ACanvas, R, AState, vlBordersAll);
    DrawContent(ACanvas, R, R, AState, taLeftJustify, vaTop, false, false, String(), nullptr, clDefault, clDefault,
                nullptr, !AIsVertical);
}

void TvlOffice11LookAndFeelPainter::DrawSizeGrip(TvlCanvas* ACanvas, const TRect& R) const
{
    vxOffice11::DrawOffice11SizeGrip(ACanvas->Handle(), R);
}

void TvlOffice11LookAndFeelPainter::DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const
{
    TPoint size;
    SortingMarkSize(size);
    DrawOutlinedSortingMark(ACanvas, R, AAscending, size, SeparatorLightColor(), SeparatorDarkColor());
}

// ---------------------------------------------------------------- header with scroll arrows, navigation buttons

void TvlOffice11LookAndFeelPainter::DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R,
                                                               const String& AText, TvlBorders,
                                                               const TvlViewParams& AViewParams, int AArrows,
                                                               int AArrowIndent,
                                                               const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    TRect r = R;
    InflateRect(r, -1, -1);
    if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, r))
        ACanvas->FillRectWithParams(r, AViewParams);
    if (!AText.isEmpty()) {
        ACanvas->Brush()->SetStyle(bsClear);
        if (AViewParams.Font != nullptr)
            ACanvas->SetFont(AViewParams.Font);
        ACanvas->Font()->SetColor(AViewParams.TextColor);
        ACanvas->DrawText(AText, r, vltfHCenter | vltfVCenter | vltfSingleLine);
        ACanvas->Brush()->SetStyle(bsSolid);
    }
    DrawHeaderScrollArrows(ACanvas, R, BorderSize(), AArrows, AArrowIndent);
}

void TvlOffice11LookAndFeelPainter::DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R,
                                                                const TRect& AArrowR, bool AIsNextButton,
                                                                TvlButtonState AState) const
{
    TColor face = Office11ControlFaceColor;
    if (AState == vlbsHot)
        face = Office11HotFaceColor;
    else if (AState == vlbsPressed)
        face = Office11PressedFaceColor;
    ACanvas->FillRectByColor(R, face);
    // The side that faces the content stays open.
    ACanvas->FrameRect(R, Office11LineColor, 1,
                       AIsNextButton ? TvlBorders{bLeft, bTop, bBottom} : TvlBorders{bTop, bRight, bBottom});
    DrawNavigationArrow(ACanvas, AArrowR, !AIsNextButton, ButtonGlyphColor(AState, clDefault));
}

void TvlOffice11LookAndFeelPainter::DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R,
                                                            TvlButtonState AState) const
{
    TvlWinXPLookAndFeelPainter::Instance()->DrawNavigatorToolButton(ACanvas, R, AState);
}

// ---------------------------------------------------------------- group boxes and page panels

void TvlOffice11LookAndFeelPainter::DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled,
                                                      int ACaptionPosition, TvlBorders ABorders) const
{
    if (IsVisualStyleAvailable(totButton))
        TvlWinXPLookAndFeelPainter::Instance()->DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition, ABorders);
    else
        TvlUltraFlatLookAndFeelPainter::DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition, ABorders);
}

TColor TvlOffice11LookAndFeelPainter::GroupBoxCaptionTextColor(bool AEnabled) const
{
    if (IsVisualStyleAvailable(totButton))
        return TvlWinXPLookAndFeelPainter::Instance()->GroupBoxCaptionTextColor(AEnabled);
    return TvlCustomLookAndFeelPainter::GroupBoxCaptionTextColor(AEnabled);
}

void TvlOffice11LookAndFeelPainter::DrawGroupBoxBackground(TvlCanvas* ACanvas, TWinControl* AControl,
                                                           const TRect& R, TColor AColor1, TColor AColor2) const
{
    if (AColor1 == clDefault)
        vlDrawThemeParentBackground(AControl, ACanvas, R);
    else if (AColor2 == clDefault)
        ACanvas->FillRectByColor(R, AColor1);
    else
        vxOffice11::FillGradientRect(ACanvas->Handle(), R, AColor1, AColor2, false);
}

void TvlOffice11LookAndFeelPainter::DrawPagePanel(TvlCanvas* ACanvas, const TRect& R) const
{
    vxOffice11::FillGradientRect(ACanvas->Handle(), R, Office11GradientLightColor, Office11GradientDarkColor, false);
}

void TvlOffice11LookAndFeelPainter::DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas,
                                                                   const std::vector<TPoint>& AOuterLight,
                                                                   const std::vector<TPoint>& AOuterDark,
                                                                   const std::vector<TPoint>&,
                                                                   const std::vector<TPoint>&) const
{
    // The two outer edges meet at both ends, so together they close the
    // outline although a polyline leaves out its last point.
    ACanvas->Pen()->SetColor(clBtnText);
    ACanvas->Polyline(AOuterLight);
    ACanvas->Polyline(AOuterDark);
}
