#include "ui/foundation/vlLookAndFeelPainters.h"

#include "ui/foundation/vxCore.h"

namespace {

TRect deflatedRect(const TRect& R, int D)
{
    TRect r = R;
    InflateRect(r, -D, -D);
    return r;
}

void drawPolygon(TvlCanvas* ACanvas, const TvlArrowPoints& APoints, TColor AColor)
{
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->SetBrushColor(AColor);
    ACanvas->Pen()->SetColor(AColor);
    ACanvas->Polygon(APoints);
}

}  // namespace

uint32_t vlAlignmentToDrawTextFlags(TAlignment AHorz, TvlEditVertAlignment AVert)
{
    uint32_t flags = DT_SINGLELINE | DT_NOPREFIX;
    switch (AHorz) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    }
    switch (AVert) {
    case taTopJustify: flags |= DT_TOP; break;
    case taBottomJustify: flags |= DT_BOTTOM; break;
    case taVCenter: flags |= DT_VCENTER; break;
    }
    return flags;
}

int painterTextFlags(TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis)
{
    int flags = AMultiLine ? vltfWordBreak : vltfSingleLine;
    switch (AAlignHorz) {
    case taLeftJustify: flags |= vltfLeft; break;
    case taRightJustify: flags |= vltfRight; break;
    case taCenter: flags |= vltfHCenter; break;
    }
    switch (AAlignVert) {
    case vaTop: flags |= vltfTop; break;
    case vaBottom: flags |= vltfBottom; break;
    case vaCenter: flags |= vltfVCenter; break;
    }
    if (AShowEndEllipsis)
        flags |= vltfEndEllipsis;
    return flags;
}

// ---------------------------------------------------------------- the painter classes

const TvlCustomLookAndFeelPainter* TvlCustomLookAndFeelPainter::Instance()
{
    static const TvlCustomLookAndFeelPainter painter;
    return &painter;
}

const TvlStandardLookAndFeelPainter* TvlStandardLookAndFeelPainter::Instance()
{
    static const TvlStandardLookAndFeelPainter painter;
    return &painter;
}

const TvlFlatLookAndFeelPainter* TvlFlatLookAndFeelPainter::Instance()
{
    static const TvlFlatLookAndFeelPainter painter;
    return &painter;
}

const TvlUltraFlatLookAndFeelPainter* TvlUltraFlatLookAndFeelPainter::Instance()
{
    static const TvlUltraFlatLookAndFeelPainter painter;
    return &painter;
}

const TvlOffice11LookAndFeelPainter* TvlOffice11LookAndFeelPainter::Instance()
{
    static const TvlOffice11LookAndFeelPainter painter;
    return &painter;
}

const TvlWinXPLookAndFeelPainter* TvlWinXPLookAndFeelPainter::Instance()
{
    static const TvlWinXPLookAndFeelPainter painter;
    return &painter;
}

// ---------------------------------------------------------------- geometry

void CalculateArrowPoints(const TRect& R, TvlArrowPoints& APoints, TvlArrowDirection ADirection, bool AProportional,
                          int AArrowSize)
{
    TRect r = R;
    if (AProportional) {
        const int d = r.Width() - r.Height();
        if (d > 0) {
            r.Left += d / 2;
            r.Right -= d / 2;
        } else {
            r.Top += -d / 2;
            r.Bottom -= -d / 2;
        }
    }
    const bool vertical = ADirection == adUp || ADirection == adDown;
    int s = AArrowSize;
    if (s <= 0)
        s = (vertical ? (r.Width() - 1) : (r.Height() - 1)) / 4 + 1;
    const int w = vertical ? 2 * s - 1 : s;
    const int h = vertical ? s : 2 * s - 1;
    const int xc = (r.Left + r.Right - 1) / 2;
    const int x0 = (r.Left + r.Right - w) / 2;
    const int y0 = MulDiv(r.Top + r.Bottom - h, 1, 2);
    const int yc = (r.Top + r.Bottom) / 2;
    switch (ADirection) {
    case adUp: APoints = {TPoint{x0, y0 + h - 1}, TPoint{xc, y0}, TPoint{x0 + w - 1, y0 + h - 1}}; break;
    case adDown: APoints = {TPoint{x0 + w - 1, y0}, TPoint{xc, y0 + h - 1}, TPoint{x0, y0}}; break;
    case adLeft: APoints = {TPoint{x0 + w - 1, y0 + h - 1}, TPoint{x0, yc}, TPoint{x0 + w - 1, y0}}; break;
    case adRight: APoints = {TPoint{x0, y0}, TPoint{x0 + w - 1, yc}, TPoint{x0, y0 + h - 1}}; break;
    }
}


// ---------------------------------------------------------------- the base painter

TColor TvlCustomLookAndFeelPainter::DefaultVistaTextColor() const
{
    return IsWinVistaOrLater ? TColor(0xCC6600) : clHighlightText;
}

void TvlCustomLookAndFeelPainter::DrawBackground(TvlCanvas* ACanvas, const TRect& R, bool ATransparent, TColor AColor,
                                                 const TBitmap* ABitmap) const
{
    if (!ATransparent) {
        ACanvas->SetBrushColor(AColor);
        ACanvas->FillRect(R);
    } else if (ABitmap != nullptr)
        ACanvas->FillRect(R, ABitmap);
}

void TvlCustomLookAndFeelPainter::DrawButtonArrow(TvlCanvas* ACanvas, const TRect& R, TColor AColor) const
{
    int w = R.Width() / 2;
    if (w % 2 == 0)
        ++w;
    const int h = w / 2 + 1;
    const int x0 = (R.Left + R.Right - w) / 2;
    const int y0 = MulDiv(R.Top + R.Bottom - h, 1, 2);
    drawPolygon(ACanvas, {TPoint{x0, y0}, TPoint{x0 + w - 1, y0}, TPoint{x0 + w / 2, y0 + h - 1}}, AColor);
}

void TvlCustomLookAndFeelPainter::GetCenteredStripBounds(const TRect& R, int ASize, bool AHorizontal,
                                                         TRect& AResult) const
{
    AResult = R;
    if (AHorizontal) {
        AResult.Left = (R.Left + R.Right) / 2 - ASize / 2;
        AResult.Right = AResult.Left + ASize;
    } else {
        AResult.Top = (R.Top + R.Bottom) / 2 - ASize / 2;
        AResult.Bottom = AResult.Top + ASize;
    }
}

TColor TvlCustomLookAndFeelPainter::DefaultCalendarColorA() const
{
    const TColor color = DefaultEditorBackgroundColor(false);
    return color == clDefault ? DefaultContentColor() : color;
}

void TvlCustomLookAndFeelPainter::DrawArrow(TvlCanvas* ACanvas, const TRect& R, TvlArrowDirection ADirection,
                                            TColor AColor) const
{
    TvlArrowPoints points{};
    CalculateArrowPoints(R, points, ADirection, true);
    drawPolygon(ACanvas, points, AColor);
}

void TvlCustomLookAndFeelPainter::DrawStateArrow(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                 TvlArrowDirection ADirection) const
{
    TRect r = R;
    if (AState == vlbsPressed)
        OffsetRect(r, ButtonPressedTextShift(), ButtonPressedTextShift());
    TvlArrowPoints points{};
    CalculateArrowPoints(r, points, ADirection, true);
    if (AState == vlbsDisabled) {
        TvlArrowPoints shadow = points;
        for (TPoint& p : shadow) {
            ++p.X;
            ++p.Y;
        }
        drawPolygon(ACanvas, shadow, clBtnHighlight);
        drawPolygon(ACanvas, points, clBtnShadow);
    } else
        drawPolygon(ACanvas, points, ButtonGlyphColor(AState, clDefault));
}

void TvlCustomLookAndFeelPainter::DrawArrowButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                  TvlArrowDirection ADirection, bool AWithBorder) const
{
    TvlArrowPoints points{};
    CalculateArrowPoints(R, points, ADirection, false);
    if (AWithBorder)
        DrawArrowBorder(ACanvas, R, AState);
    else
        ACanvas->FillRectByColor(R, ButtonFaceColor(AState));
    drawPolygon(ACanvas, points, ButtonGlyphColor(AState, clDefault));
}

void TvlCustomLookAndFeelPainter::DrawArrowBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    ACanvas->FillRectByColor(R, ButtonFaceColor(AState));
    DrawButtonBorder(ACanvas, R, AState);
}

void TvlCustomLookAndFeelPainter::DrawButton(TvlCanvas* ACanvas, const TRect& R, const String& ACaption,
                                             TvlButtonState AState, bool ADrawBorder, TColor AColor,
                                             TColor ATextColor, bool AWordWrap, bool) const
{
    TRect r = R;
    if (ADrawBorder) {
        DrawButtonBorder(ACanvas, r, AState);
        InflateRect(r, -ButtonBorderWidth(AState), -ButtonBorderWidth(AState));
    }
    ACanvas->SetBrushColor(AColor == clDefault ? ButtonFaceColor(AState) : AColor);
    ACanvas->FillRect(r);
    ACanvas->Font()->SetColor(ATextColor == clDefault ? ButtonGlyphColor(AState, clDefault) : ATextColor);
    ACanvas->Brush()->SetStyle(bsClear);
    // An even text height keeps the caption on the same row as the button
    // grows by one pixel; low buttons give the caption one more row on top.
    if (r.Height() % 2 != 0)
        --r.Bottom;
    if (r.Height() < 18)
        --r.Top;
    if (AState == vlbsPressed)
        OffsetRect(r, ButtonPressedTextShift(), ButtonPressedTextShift());
    if (!ACaption.isEmpty())
        ACanvas->DrawText(ACaption, r,
                          vltfHCenter | vltfVCenter | vltfShowPrefix | (AWordWrap ? vltfWordBreak : vltfSingleLine),
                          AState != vlbsDisabled);
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TvlCustomLookAndFeelPainter::DrawButtonInGroup(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, int,
                                                    int, TColor) const
{
    DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault, false);
}

void TvlCustomLookAndFeelPainter::GetButtonFocusBounds(TvlCanvas*, const TRect& R, TRect& AResult) const
{
    AResult = R;
    InflateRect(AResult, -4, -4);
    if (IsRectEmpty(AResult))
        AResult = R;
}

void TvlCustomLookAndFeelPainter::GetButtonGroupBorders(int, int, TRect& AResult) const
{
    const int w = ButtonBorderWidth(vlbsNormal);
    AResult = TRect{w, w, w, w};
}

TColor TvlCustomLookAndFeelPainter::ButtonGlyphColor(TvlButtonState AState, TColor ADefaultColor) const
{
    if (AState == vlbsDisabled)
        return clBtnShadow;
    return ADefaultColor == clDefault ? clBtnText : ADefaultColor;
}

void TvlCustomLookAndFeelPainter::DrawSmallExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                        TColor ABorderColor, TColor AColor) const
{
    ACanvas->FrameRect(R, ABorderColor);
    if (AColor != clDefault) {
        TRect inside = R;
        InflateRect(inside, -1, -1);
        ACanvas->FillRectByColor(inside, AColor);
    }
    DrawExpandButtonSign(ACanvas, R, AExpanded, clBtnText);
}

void DrawExpandButtonSign(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor)
{
    const int cx = (R.Left + R.Right) / 2;
    const int cy = (R.Top + R.Bottom) / 2;
    const int h = (R.Width() - 4) / 2;
    ACanvas->FillRectByColor(TRect{cx - h, cy, cx + h + 1, cy + 1}, AColor);
    if (!AExpanded)
        ACanvas->FillRectByColor(TRect{cx, cy - h, cx + 1, cy + h + 1}, AColor);
}

void TvlCustomLookAndFeelPainter::DrawCheck(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                            bool AIsChecked, TColor AColor) const
{
    if (ACanvas->Brush()->Style() == bsSolid)
        ACanvas->FillRectByColor(R, CheckFaceColor(AState));
    if (!AIsChecked)
        return;
    // Three one-pixel strokes under each other: down at 45 degrees from the
    // left foot to the bottom at the centre, then up to the right end. The
    // foot stands two pixels high so the mark leans right like a tick.
    const int markWidth = R.Width() - 2;
    const int markHeight = R.Height() - 4;
    const int cx = (R.Left + R.Right) / 2;
    const int bottom = (R.Top + R.Bottom) / 2 + markHeight / 2 - 2;
    const int left = cx - 2;
    const int right = R.Left + 1 + markWidth - 1;
    ACanvas->Pen()->SetColor(AColor);
    for (int offset = 0; offset < 3; ++offset) {
        const int y = bottom + offset;
        ACanvas->MoveTo(left, y - (cx - left));
        ACanvas->LineTo(cx, y);
        ACanvas->LineTo(right + 1, y - (right - cx) - 1);
    }
}

void TvlCustomLookAndFeelPainter::DrawCheckBox(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                               bool AIsChecked) const
{
    DrawCheckButton(ACanvas, R, AState, AIsChecked ? cbsChecked : cbsUnchecked);
}

void TvlCustomLookAndFeelPainter::DrawCheckButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                  TvlCheckBoxState ACheckState) const
{
    DrawCheckBorder(ACanvas, R, AState);
    TRect r = R;
    InflateRect(r, -CheckBorderWidth(), -CheckBorderWidth());
    DrawCheck(ACanvas, r, AState, ACheckState == cbsChecked,
              AState == vlbsDisabled || ACheckState == cbsGrayed ? clGrayText : clBtnText);
}

TColor TvlCustomLookAndFeelPainter::CheckFaceColor(TvlButtonState AState) const
{
    return AState == vlbsPressed || AState == vlbsDisabled ? clBtnFace : clWindow;
}

void TvlCustomLookAndFeelPainter::DrawLabelLine(TvlCanvas* ACanvas, const TRect& R, TColor ALeftTopColor,
                                                TColor ARightBottomColor, bool AIsVertical) const
{
    ACanvas->DrawComplexFrame(R, ALeftTopColor == clDefault ? clBtnShadow : ALeftTopColor,
                              ARightBottomColor == clDefault ? clBtnHighlight : ARightBottomColor,
                              AIsVertical ? TvlBorders{bLeft, bRight} : TvlBorders{bTop, bBottom}, 1);
}

// ---------------------------------------------------------------- content, footers and navigation buttons

void TvlCustomLookAndFeelPainter::DrawContent(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                              TvlButtonState, TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                                              bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                              const TFont* AFont, TColor ATextColor, TColor ABkColor,
                                              const TvlDrawBackgroundEvent& AOnDrawBackground, bool) const
{
    if (!AOnDrawBackground.Assigned() || !AOnDrawBackground(ACanvas, R)) {
        ACanvas->SetBrushColor(ABkColor);
        ACanvas->FillRect(R);
    }
    drawPainterContentText(ACanvas, ATextR, AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                           ATextColor);
}

void drawPainterContentText(TvlCanvas* ACanvas, const TRect& ATextR, TAlignment AAlignHorz,
                            TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                            const TFont* AFont, TColor ATextColor)
{
    if (AText.isEmpty())
        return;
    ACanvas->Brush()->SetStyle(bsClear);
    if (AFont != nullptr)
        ACanvas->SetFont(AFont);
    // clNone and clDefault leave the font its own colour.
    if (ATextColor != clNone && ATextColor != clDefault)
        ACanvas->Font()->SetColor(ATextColor);
    ACanvas->DrawText(AText, ATextR, painterTextFlags(AAlignHorz, AAlignVert, AMultiLine, AShowEndEllipsis));
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TvlCustomLookAndFeelPainter::DrawFooterArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders) const
{
    const int separator = std::min(FooterSeparatorSize(), R.Height());
    DrawFooterSeparator(ACanvas, Rect(R.Left, R.Top, R.Right, R.Top + separator));
    DrawFooterBorder(ACanvas, Rect(R.Left, R.Top + separator, R.Right, R.Bottom));
}

void TvlCustomLookAndFeelPainter::DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R,
                                                              const TRect& AArrowR, bool AIsNextButton,
                                                              TvlButtonState AState) const
{
    ACanvas->FillRectByColor(R, clBtnFace);
    // The side that faces the content stays open.
    const TvlBorders sides = AIsNextButton ? TvlBorders{bLeft, bTop, bBottom} : TvlBorders{bTop, bRight, bBottom};
    ACanvas->FrameRect(R, clBtnShadow, 1, sides);
    TRect inner = R;
    ++inner.Top;
    --inner.Bottom;
    if (AIsNextButton)
        ++inner.Left;
    else
        --inner.Right;
    const bool pressed = AState == vlbsPressed;
    ACanvas->DrawComplexFrame(inner, pressed ? clBtnShadow : clBtnHighlight, pressed ? clBtnHighlight : clBtnFace,
                              sides);
    DrawNavigationArrow(ACanvas, AArrowR, !AIsNextButton, ButtonGlyphColor(AState, clDefault));
}

void TvlCustomLookAndFeelPainter::FooterCellContentBounds(const TRect& R, TRect& AResult) const
{
    AResult = deflatedRect(R, FooterCellBorderWidth());
}

void TvlCustomLookAndFeelPainter::FooterCellTextAreaBounds(const TRect& R, TRect& AResult) const
{
    FooterCellContentBounds(R, AResult);
    InflateRect(AResult, -2, -2);
}

// ---------------------------------------------------------------- chevrons

namespace {

// Two chevrons, each two one-pixel V lines thick, 7 wide and 4 rows from
// the ends to the point, the second 4 rows below the first; pointing up when
// AUp. The pair is centred in R.
void drawChevrons(TvlCanvas* ACanvas, const TRect& R, bool AUp, TColor AColor)
{
    const int left = R.Left + (R.Width() - 7) / 2;
    const int top = R.Top + (R.Height() - 9) / 2;
    for (int chevron = 0; chevron < 2; ++chevron)
        for (int thickness = 0; thickness < 2; ++thickness)
            for (int i = 0; i < 7; ++i) {
                const int depth = AUp ? std::abs(i - 3) : 3 - std::abs(i - 3);
                ACanvas->SetPixel(left + i, top + 4 * chevron + thickness + depth, AColor);
            }
}

}  // namespace

void TvlCustomLookAndFeelPainter::DrawExpandChevronButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                                          bool AExpanded, TvlRotationAngle AAngle) const
{
    DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault);
    // Drawn upright on the face colour, turned, and laid over the button
    // with the face left out so the border stays.
    const bool quarter = AAngle == raPlus90 || AAngle == raMinus90;
    TvlBitmap bitmap(quarter ? R.Height() : R.Width(), quarter ? R.Width() : R.Height());
    const TColor face = ButtonFaceColor(AState);
    bitmap.vlCanvas()->FillRectByColor(bitmap.GetClientRect(), face);
    drawChevrons(bitmap.vlCanvas(), bitmap.GetClientRect(), AExpanded, ButtonGlyphColor(AState, clDefault));
    if (AAngle != ra0)
        bitmap.Rotate(AAngle);
    bitmap.SetTransparentColor(face);
    bitmap.SetTransparent(true);
    ACanvas->Draw(R.Left, R.Top, &bitmap);
}

void TvlCustomLookAndFeelPainter::DrawGroupExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                        TvlButtonState AState) const
{
    DrawButton(ACanvas, R, String(), AState, true, clDefault, clDefault);
    drawChevrons(ACanvas, R, AExpanded, ButtonGlyphColor(AState, clDefault));
}
