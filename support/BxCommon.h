// BxCommon.h - the drawing primitives of the owner-drawn buttons: an HSL
// colour scale of 0..240, 3D borders of one-pixel lines, rings and focus dots.
#pragma once
#include <cstdint>

#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"

class TBitmap;

struct THslColor {
    uint8_t H = 0, S = 0, L = 0;
};

// True on a display without a palette: every display here.
extern const bool FullColorDisplay;

THslColor ColorToHsl(TColor Color);
TColor ColorFromHsl(int H, int S, int L);
uint8_t HueOf(TColor Color);
TColor DarkenColor(TColor Color, int Amount);
TColor LightenColor(TColor Color, int Amount);
// Weight 255: all Color1; 0: all Color2.
TColor MixColors(TColor Color1, TColor Color2, int Weight);
bool ColorsAlike(TColor Color1, TColor Color2);
TColor ComplementColor(TColor Color, int Lightness);

enum : uint32_t { edgeLeft = 1, edgeTop = 2, edgeRight = 4, edgeBottom = 8, edgeAll = 15 };

// Each returns the rectangle inside what it drew. clNone skips a colour.
TRect DrawEdgeLines(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight, uint32_t Sides = edgeAll);
TRect DrawEdgeLinesRepeated(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight, uint32_t Sides,
                            int Count);
TRect DrawPushBorder(TCanvas* Canvas, const TRect& R, bool Pressed);
TRect DrawLoweredBevel(TCanvas* Canvas, const TRect& R);
TRect DrawColorBorder(TCanvas* Canvas, const TRect& R, TColor Color, bool Lowered);
TRect DrawColorLoweredBevel(TCanvas* Canvas, const TRect& R, TColor Color);
// A vertical gradient, 2 pixels wide, along the inside of R.
void DrawGradientRing(TCanvas* Canvas, const TRect& R, TColor TopColor, TColor BottomColor);
// The vertical gradient over the whole of R.
void GradientFillCanvas(TCanvas* Canvas, TColor TopColor, TColor BottomColor, const TRect& R);
TRect DrawDottedFocusBorder(TCanvas* Canvas, const TRect& R, TColor Color);
// The parent's background and content under Control, drawn into DC.
void PaintParentImage(TControl* Control, HDC DC, bool InvalidateParent);
// One cell of a glyph strip, stretched to Dest, TransparentColor left out.
void DrawTransparentCell(TCanvas* Canvas, const TBitmap* Glyph, const TRect& Dest, TColor TransparentColor,
                         const TRect& SourceCell);
String StripAccelerators(const String& Text);
int DrawTextOnCanvas(TCanvas* Canvas, const String& Text, TRect& R, uint32_t Flags);
bool RunningWindows2000OrLater();
