// SknImgUtil.h - colour and bitmap helpers of the skin loader and the
// control skinners: mixing colours, cached colour gradients, key-colour
// replacement, mirroring, flipping and rotating bitmaps, and a saturation
// measure.
#pragma once
#include <vector>

#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/rtl/Types.h"

class TBitmap;

// Amount is the weight of Color1: hundredths below 100, thousandths from
// 100 on (so 100 is one tenth). System colours are resolved first.
TColor BlendColors(TColor Color1, TColor Color2, int Amount);

// The gradient cache: 16 slots of colour tables filled round-robin. A slot
// number stays valid until 16 more tables were built. Count <= 0 raises
// EAssertionFailed.
int FindGradientTable(int Count, TColor StartColor, TColor EndColor);
int BuildGradientTable(int Count, TColor StartColor, TColor EndColor);
int GetGradientTable(int Count, TColor StartColor, TColor EndColor);
// The table of a slot (empty for a slot not built yet or out of range).
const std::vector<TColor>& GradientTable(int Slot);

// Fills the part of Rect that the DC's clip leaves visible, one line per
// colour of the gradient (rows when Vertical, else columns); a line's
// colour depends only on its place in the whole rectangle.
void FillGradientRect(HDC DC, const TRect& Rect, TColor StartColor, TColor EndColor, bool Vertical);

// Every 0xFF00FF pixel becomes Color (a plain RGB value); the bitmap
// becomes 24-bit.
void ReplaceKeyColor(TBitmap* Bitmap, TColor Color);
// In place; the result is 24-bit. Rotations swap width and height.
void MirrorBitmap(TBitmap* Bitmap);
void FlipBitmap(TBitmap* Bitmap);
void RotateBitmapLeft(TBitmap* Bitmap);
void RotateBitmapRight(TBitmap* Bitmap);

// 0-255 ((max - min) / max scaled, halves to even), or 200 when red,
// green and blue are all below 160.
int ColorSaturation(TColor Color);

// The unit's start and end: the gradient cache is emptied.
void SknImgUtilInitialization();
void SknImgUtilFinalization();
