#include "support/KitSxUtils.h"

#include "platform/graphics/Graphics.h"

int CanvasDrawTextSafe(TCanvas* Canvas, const String& Text, int Length, TRect& Rect, uint32_t Format)
{
    const String text = Length < 0 ? Text : Text.left(Length);
    return Canvas->TextRect(Rect, text, Format & ~uint32_t(DT_MODIFYSTRING));
}
