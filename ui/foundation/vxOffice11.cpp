#include "ui/foundation/vxOffice11.h"

#include <algorithm>
#include <cmath>

#include "ui/foundation/vxThemeManager.h"

TColor Office11ControlFaceColor = 0, Office11AltFaceColor = 0, Office11GradientLightColor = 0,
       Office11GradientDarkColor = 0, Office11SeparatorDarkColor = 0, Office11SeparatorLightColor = 0,
       Office11FilterBoxColorA = 0, Office11FilterBoxColorB = 0, Office11HotBorderColor = 0, Office11HotFaceColor = 0,
       Office11HotFaceDarkColor = 0, Office11PressedFaceColor = 0, Office11PressedFaceDarkColor = 0,
       Office11GlyphColor = 0, Office11DisabledGlyphColor = 0, Office11GroupByBoxLineColor = 0,
       Office11BorderColor = 0, Office11GroupColor = 0, Office11CalendarSelectionColor = 0, Office11LineColor = 0,
       Office11ViewFaceColor = 0, Office11GroupPanelColorA = 0, Office11GroupPanelColorB = 0,
       Office11GroupPanelColorC = 0, Office11SizeGripDarkColor = 0, Office11SizeGripLightColor = 0;

namespace {

using vxOffice11::MixColors;
using vxOffice11::BlendSystemColors;

struct TSchemeState {
    uint8_t Scheme = 0;
    bool Standard = false;
    int RefCount = 0;
    std::unique_ptr<TBitmap> Expanded, Collapsed;
};

TSchemeState& state()
{
    static TSchemeState s;
    return s;
}

// The fixed colours of the three variants (blue, olive, silver), in the
// order of the variables; the group-by-box line is mixed from two of them.
struct TFixed {
    TColor* Variable;
    TColor Values[3];
};

const TFixed fixedColors[] = {
    {&Office11ControlFaceColor, {0xF5BE9E, 0xA7D9D9, 0xE5D7D7}},
    {&Office11AltFaceColor, {0xF9DAC3, 0xE4F0F2, 0xF7F3F3}},
    {&Office11GradientLightColor, {0xFEECDD, 0xDEF7F4, 0xFAF4F3}},
    {&Office11GradientDarkColor, {0xE2A981, 0x91C6B7, 0xB59799}},
    {&Office11SeparatorDarkColor, {0xCB8C6A, 0x588060, 0x8F6D6E}},
    {&Office11SeparatorLightColor, {0xFFF9F1, 0xDEF7F4, 0xFFFFFF}},
    {&Office11FilterBoxColorA, {0xC9662A, 0x5E8674, 0x99797A}},
    {&Office11FilterBoxColorB, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    {&Office11HotBorderColor, {0x800000, 0x385D3F, 0x6F4B4B}},
    {&Office11HotFaceColor, {0xCCF4FF, 0xCCF4FF, 0xCCF4FF}},
    {&Office11HotFaceDarkColor, {0x91D0FF, 0x91D0FF, 0x91D0FF}},
    {&Office11PressedFaceColor, {0x8ED3FF, 0x8ED3FF, 0x8ED3FF}},
    {&Office11PressedFaceDarkColor, {0x4E91FE, 0x4E91FE, 0x4E91FE}},
    {&Office11GlyphColor, {0x000000, 0x000000, 0x000000}},
    {&Office11DisabledGlyphColor, {0x8D8D8D, 0x8D8D8D, 0x8D8D8D}},
    {&Office11BorderColor, {0x962D00, 0x5E8D75, 0x947C7C}},
    {&Office11GroupColor, {0xFBDABE, 0x91BAAF, 0xEBE5E5}},
    {&Office11CalendarSelectionColor, {0x94E6FB, 0x94E6FB, 0x94E6FB}},
    {&Office11LineColor, {0x962D00, 0x588060, 0x947C7C}},
    {&Office11ViewFaceColor, {0xFADAC4, 0xE4F1F2, 0xF7F3F3}},
    {&Office11GroupPanelColorA, {0xC9EEFD, 0xC9EEFD, 0xC9EEFD}},
    {&Office11GroupPanelColorB, {0xE0A47B, 0x8FC4B5, 0xB09193}},
    {&Office11GroupPanelColorC, {0xB96837, 0x548973, 0x916F70}},
    {&Office11SizeGripDarkColor, {0x764127, 0x335E51, 0x755454}},
    {&Office11SizeGripLightColor, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
};
const TColor groupByBoxLine[3][2] = {{0x913500, 0xE0A47B}, {0x6B7760, 0x8FC4B5}, {0x927476, 0xB09193}};

// The screen is true colour: every colour is its own nearest.
TColor nearestScreenColor(TColor AColor) { return AColor; }

uint8_t detectScheme()
{
    if (!AreVisualStylesAvailable())
        return 0;
    String file, colour, size;
    if (ThemeLibrary()->GetCurrentThemeName(file, colour, size) != S_OK)
        return 0;
    // From version 6 on (every system this runs as) any visual style is
    // judged by its colour name.
    colour = colour.toUpper();
    if (colour == QLatin1String("NORMALCOLOR"))
        return 1;
    if (colour == QLatin1String("HOMESTEAD"))
        return 2;
    if (colour == QLatin1String("METALLIC"))
        return 3;
    return 0;
}

void recalculate()
{
    TSchemeState& s = state();
    s.Scheme = detectScheme();
    s.Standard = AreVisualStylesAvailable() && s.Scheme != 0;
    if (s.Standard) {
        const int i = s.Scheme - 1;
        for (const TFixed& f : fixedColors)
            *f.Variable = f.Values[i];
        Office11GroupByBoxLineColor = MixColors(groupByBoxLine[i][0], groupByBoxLine[i][1], 50);
        return;
    }
    const TColor h = nearestScreenColor(BlendSystemColors(-2, 30, 72));
    const TColor p = nearestScreenColor(BlendSystemColors(14, 44, 40));
    Office11ControlFaceColor = ColorToRGB(clBtnFace);
    Office11AltFaceColor = MixColors(clBtnFace, clWindow, 20);
    Office11GradientLightColor = MixColors(clBtnFace, clWindow, 22);
    Office11GradientDarkColor = MixColors(clBtnFace, clWindow, 96);
    Office11SeparatorDarkColor = MixColors(clBtnShadow, clWindow, 70);
    Office11SeparatorLightColor = 0xFFFFFF;
    Office11FilterBoxColorA = ColorToRGB(clBtnShadow);
    Office11FilterBoxColorB = ColorToRGB(clBtnHighlight);
    Office11HotBorderColor = ColorToRGB(clHighlight);
    Office11HotFaceColor = h;
    Office11HotFaceDarkColor = h;
    Office11PressedFaceColor = p;
    Office11PressedFaceDarkColor = p;
    Office11GlyphColor = ColorToRGB(clBtnText);
    Office11DisabledGlyphColor = ColorToRGB(clGrayText);
    Office11GroupByBoxLineColor = MixColors(clBtnShadow, clBtnFace, 50);
    Office11BorderColor = ColorToRGB(clBtnShadow);
    Office11GroupColor = ColorToRGB(clBtnFace);
    Office11CalendarSelectionColor = BlendSystemColors(41, 11, 48);
    Office11LineColor = ColorToRGB(clBtnShadow);
    Office11ViewFaceColor = ColorToRGB(clBtnFace);
    Office11GroupPanelColorA = ColorToRGB(clBtnFace);
    Office11GroupPanelColorB = ColorToRGB(clBtnShadow);
    Office11GroupPanelColorC = ColorToRGB(clBtnShadow);
    Office11SizeGripDarkColor = MixColors(clBtnShadow, clWindow, 76);
    Office11SizeGripLightColor = ColorToRGB(clWindow);
}

// Our own expand button: light top and left edge, dark bottom row and right
// column, a face shaded from white to light blue, the sign in the dark colour.
std::unique_ptr<TBitmap> makeExpandGlyph(bool APlus)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(11, 11);
    const TColor dark = 0x604830, light = 0xE0D0C0;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) {
            TColor c;
            if (x == 10 || y == 10)
                c = dark;
            else if (x == 0 || y == 0)
                c = light;
            else
                c = MixColors(0xFFFFFF, 0xF0D8C8, 100 - (x + y) * 100 / 18);
            b->SetPixels(x, y, c);
        }
    for (int i = 3; i <= 7; ++i) {
        b->SetPixels(i, 5, dark);
        if (APlus)
            b->SetPixels(5, i, dark);
    }
    // The stored form of the original is 8 bits per pixel; the palette is
    // ours, so keep the exact colours in 24 bits.
    return b;
}

void createResources()
{
    state().Expanded = makeExpandGlyph(false);
    state().Collapsed = makeExpandGlyph(true);
}

void freeResources()
{
    state().Expanded.reset();
    state().Collapsed.reset();
}

uint8_t component(TColor c, int shift) { return uint8_t((c >> shift) & 0xFF); }

}  // namespace

namespace vxOffice11 {

TBitmap* Office11ExpandedGlyph() { return state().Expanded.get(); }
TBitmap* Office11CollapsedGlyph() { return state().Collapsed.get(); }
uint8_t GetOffice11Scheme() { return state().Scheme; }
bool UsesStandardXPColors() { return state().Standard; }
int Office11SchemeReferenceCount() { return state().RefCount; }

void AcquireOffice11Scheme()
{
    if (state().RefCount == 0) {
        recalculate();
        createResources();
    }
    ++state().RefCount;
}

void ReleaseOffice11Scheme()
{
    if (state().RefCount <= 0)
        return;
    if (--state().RefCount == 0)
        freeResources();
}

void UpdateOffice11Scheme()
{
    recalculate();
    if (state().RefCount > 0) {
        freeResources();
        createResources();
    }
}

TColor MixColors(TColor AColor1, TColor AColor2, int APercent)
{
    const TColor c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
    TColor result = 0;
    for (int shift : {0, 8, 16}) {
        const int v = MulDiv(component(c2, shift), 100 - APercent, 100) + MulDiv(component(c1, shift), APercent, 100);
        result |= TColor(std::min(v, 255)) << shift;
    }
    return nearestScreenColor(result);
}

TColor DarkenColor(TColor AColor, uint8_t APercent)
{
    const TColor c = ColorToRGB(AColor);
    TColor result = 0;
    for (int shift : {0, 8, 16})
        result |= TColor(std::nearbyint(component(c, shift) * APercent / 100.0)) << shift;
    return result;
}

TColor LightenColor(TColor AColor, uint8_t APercent)
{
    const TColor c = ColorToRGB(AColor);
    TColor result = 0;
    for (int shift : {0, 8, 16})
        result |= TColor(std::nearbyint(255 - APercent / 100.0 * (255 - component(c, shift)))) << shift;
    return result;
}

TColor BlendSystemColors(int AFacePercent, int AHighlightPercent, int AWindowPercent)
{
    const TColor face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT),
                 window = GetSysColor(COLOR_WINDOW);
    if (face == 0 || face == 0xFFFFFF)
        return highlight;
    TColor result = 0;
    for (int shift : {0, 8, 16}) {
        const int v = MulDiv(component(face, shift), AFacePercent, 100) +
                      MulDiv(component(highlight, shift), AHighlightPercent, 100) +
                      MulDiv(component(window, shift), AWindowPercent, 100);
        result |= TColor(std::clamp(v, 0, 255)) << shift;
    }
    return result;
}

void FillRectByColor(HDC ADC, const TRect& R, TColor AColor)
{
    const TDCBrush brush(ColorToRGB(AColor), dbsSolid);
    FillRect(ADC, R, &brush);
}

void FillGradientRect(HDC ADC, const TRect& R, TColor AColor1, TColor AColor2, bool AHorizontal)
{
    const TColor c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
    if (c1 == c2) {
        FillRectByColor(ADC, R, AColor1);
        return;
    }
    // No system gradient call: always the band fill.
    const int size = AHorizontal ? R.Width() : R.Height();
    if (size <= 0)
        return;
    const int n = std::min(256, size);
    const int start = AHorizontal ? R.Left : R.Top;
    const int stop = AHorizontal ? R.Right : R.Bottom;
    int previous = start;
    for (int i = 0; i < n; ++i) {
        const int end = start + MulDiv(i + 1, size, n);
        TColor colour = 0;
        for (int shift : {0, 8, 16}) {
            const int a = component(c1, shift), b = component(c2, shift);
            colour |= TColor(n == 1 ? a : a + MulDiv(i, b - a, n - 1)) << shift;
        }
        if (end > previous)
            FillRectByColor(ADC, AHorizontal ? Rect(previous, R.Top, end, R.Bottom) : Rect(R.Left, previous, R.Right, end),
                            colour);
        previous = end;
        if (end >= stop)
            break;
    }
}

void DrawOffice11SizeGrip(HDC ADC, const TRect& R, TColor ADarkColor, TColor ALightColor)
{
    const bool haveDefaults = state().RefCount > 0;
    const TColor dark = ADarkColor != clDefault ? ADarkColor : Office11SizeGripDarkColor;
    const TColor light = ALightColor != clDefault ? ALightColor : Office11SizeGripLightColor;
    // Without the scheme the default brushes do not exist: those fills are left out.
    const bool paintDark = ADarkColor != clDefault || haveDefaults;
    const bool paintLight = ALightColor != clDefault || haveDefaults;
    auto cell = [&](int x, int y) {
        if (paintLight)
            FillRectByColor(ADC, Rect(x + 1, y + 1, x + 3, y + 3), light);
        if (paintDark)
            FillRectByColor(ADC, Rect(x, y, x + 2, y + 2), dark);
    };
    for (int left : {R.Right - 12, R.Right - 8, R.Right - 4})
        cell(left, R.Bottom - 3);
    for (int left : {R.Right - 8, R.Right - 4})
        cell(left, R.Bottom - 7);
    cell(R.Right - 4, R.Bottom - 11);
}

}  // namespace vxOffice11
