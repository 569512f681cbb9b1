// vxOffice11.h - the colours of the Office 11 look (from the three standard
// colour variants of a themed system, or derived from the system colours),
// the colour arithmetic the painters use, the band gradient and the Office
// 11 size grip.
#pragma once
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/DeviceContext.h"

// Process-wide, main thread only; 0 until the first recalculation.
extern TColor Office11ControlFaceColor, Office11AltFaceColor, Office11GradientLightColor, Office11GradientDarkColor,
    Office11SeparatorDarkColor, Office11SeparatorLightColor, Office11FilterBoxColorA, Office11FilterBoxColorB,
    Office11HotBorderColor, Office11HotFaceColor, Office11HotFaceDarkColor, Office11PressedFaceColor,
    Office11PressedFaceDarkColor, Office11GlyphColor, Office11DisabledGlyphColor, Office11GroupByBoxLineColor,
    Office11BorderColor, Office11GroupColor, Office11CalendarSelectionColor, Office11LineColor,
    Office11ViewFaceColor, Office11GroupPanelColorA, Office11GroupPanelColorB, Office11GroupPanelColorC,
    Office11SizeGripDarkColor, Office11SizeGripLightColor;
inline constexpr TColor Office11GlyphCornerLightColor = 0xBFAE9E;
inline constexpr TColor Office11GlyphCornerDarkColor = 0x5F462E;
// The unit's routines live in a namespace of its own: the button and skin
// units have colour routines of the same names that compute differently.
namespace vxOffice11 {

// 11 x 11; they exist while the scheme is acquired.
TBitmap* Office11ExpandedGlyph();
TBitmap* Office11CollapsedGlyph();

// 0 none, 1 blue, 2 olive, 3 silver.
uint8_t GetOffice11Scheme();
bool UsesStandardXPColors();
int Office11SchemeReferenceCount();
void AcquireOffice11Scheme();
void ReleaseOffice11Scheme();
void UpdateOffice11Scheme();

// Percent is the weight of AColor1.
TColor MixColors(TColor AColor1, TColor AColor2, int APercent);
TColor DarkenColor(TColor AColor, uint8_t APercent);
TColor LightenColor(TColor AColor, uint8_t APercent);
TColor BlendSystemColors(int AFacePercent, int AHighlightPercent, int AWindowPercent);
// In at most 256 bands, Color1 at the left (top) to Color2.
void FillGradientRect(HDC ADC, const TRect& R, TColor AColor1, TColor AColor2, bool AHorizontal);
void FillRectByColor(HDC ADC, const TRect& R, TColor AColor);
// Six 4 x 4 cells in the bottom-right 12 x 11 pixels of R; clDefault takes
// the scheme's colours.
void DrawOffice11SizeGrip(HDC ADC, const TRect& R, TColor ADarkColor = clDefault, TColor ALightColor = clDefault);

}  // namespace vxOffice11
