// vlLookAndFeelPaintersGlyphs.cpp - the base painter's operations that draw
// the shared glyphs: radio buttons and the row indicator's images.
#include "ui/foundation/vlLookAndFeelPainters.h"

void TvlCustomLookAndFeelPainter::DrawRadioButton(TvlCanvas* ACanvas, int X, int Y, TvlButtonState AState,
                                                  bool AIsChecked, bool, TColor ABrushColor, bool) const
{
    TSize size;
    RadioButtonSize(size);
    const TRect r = Bounds(X, Y, size.cx, size.cy);
    if (ABrushColor != clDefault)
        ACanvas->FillRectByColor(r, ABrushColor);
    ::DrawFrameControl(ACanvas->Handle(), r, DFC_BUTTON,
                       DFCS_BUTTONRADIOIMAGE | DFCS_FLAT | (AIsChecked ? uint32_t(DFCS_CHECKED) : 0u) |
                           (AState == vlbsDisabled ? uint32_t(DFCS_INACTIVE) : 0u) |
                           (AState == vlbsPressed ? uint32_t(DFCS_PUSHED) : 0u));
}

void TvlCustomLookAndFeelPainter::RadioButtonSize(TSize& ASize) const
{
    // Our radio glyph fills the same 13 x 13 cell as the check box.
    CheckButtonSize(ASize);
}

void TvlCustomLookAndFeelPainter::DrawIndicatorImage(TvlCanvas*, const TRect&, TvlIndicatorKind AKind) const
{
    if (AKind == ikNone)
        return;
}
