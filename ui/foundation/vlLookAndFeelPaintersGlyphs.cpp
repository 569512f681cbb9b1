// vlLookAndFeelPaintersGlyphs.cpp - the base painter's operations that draw
// the row indicator's images.
#include "ui/foundation/vlLookAndFeelPainters.h"

void TvlCustomLookAndFeelPainter::DrawIndicatorImage(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind) const
{
    TImageList* images = GetLibraryImageList();
    if (AKind == ikNone || images == nullptr)
        return;
    const int x = R.Left + (R.Width() - images->Width()) / 2;
    const int y = R.Top + (R.Height() - images->Height()) / 2;
    images->Draw(ACanvas->Canvas(), x, y, int(AKind) - 1);
}
