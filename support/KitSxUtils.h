// KitSxUtils.h - text drawing that never lets the drawing call rewrite the
// caller's text.
#pragma once
#include <cstdint>

#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/String.h"

class TCanvas;

// DrawText on the canvas with the DT_ flags given, DT_MODIFYSTRING cleared;
// Length -1 draws the whole text, else its first Length characters. Returns
// DrawText's result (the text's height; see DeviceContext.h).
int CanvasDrawTextSafe(TCanvas* Canvas, const String& Text, int Length, TRect& Rect, uint32_t Format);
