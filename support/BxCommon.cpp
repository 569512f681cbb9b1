#include "support/BxCommon.h"

#include <QImage>
#include <algorithm>
#include <cmath>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"

// The layer draws in 32-bit colour everywhere: no palette devices.
const bool FullColorDisplay = true;

THslColor ColorToHsl(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    const double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    double h = 0, s = 0;
    if (mx != mn) {
        const double d = mx - mn;
        s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
        if (r == mx)
            h = (g - b) / d;
        else if (g == mx)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h /= 6;
        if (h < 0)
            h += 1;
    }
    return {uint8_t(std::nearbyint(h * 240)), uint8_t(std::nearbyint(s * 240)), uint8_t(std::nearbyint(l * 240))};
}

TColor ColorFromHsl(int H, int S, int L)
{
    const double h = H / 239.0, s = S / 240.0, l = L / 240.0;
    const double v = l < 0.5 ? l * (1 + s) : l + s - l * s;
    if (v <= 0)
        return clBlack;
    const double m = 2 * l - v, sv = (v - m) / v, h6 = 6 * h;
    const int sextant = int(h6);
    const double f = h6 - sextant, vsf = v * sv * f, mid1 = m + vsf, mid2 = v - vsf;
    double r, g, b;
    switch (sextant) {
    case 1: r = mid2; g = v; b = m; break;
    case 2: r = m; g = v; b = mid1; break;
    case 3: r = m; g = mid2; b = v; break;
    case 4: r = mid1; g = m; b = v; break;
    case 5: r = v; g = m; b = mid2; break;
    default: r = v; g = mid1; b = m; break;
    }
    const auto channel = [](double x) { return uint8_t(std::lround(std::clamp(x, 0.0, 1.0) * 255)); };
    return RGB(channel(r), channel(g), channel(b));
}

uint8_t HueOf(TColor Color) { return ColorToHsl(Color).H; }

TColor DarkenColor(TColor Color, int Amount)
{
    const THslColor c = ColorToHsl(Color);
    return ColorFromHsl(c.H, c.S, std::max(0, int(c.L) - Amount));
}

TColor LightenColor(TColor Color, int Amount)
{
    const THslColor c = ColorToHsl(Color);
    return ColorFromHsl(c.H, c.S, std::min(255, int(c.L) + Amount));
}

TColor MixColors(TColor Color1, TColor Color2, int Weight)
{
    const TColor a = ColorToRGB(Color1), b = ColorToRGB(Color2);
    const float w = float(Weight) / 255.0f;
    const auto mix = [w](uint8_t x, uint8_t y) { return uint8_t(std::lround(x * w + y * (1 - w))); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

bool ColorsAlike(TColor Color1, TColor Color2)
{
    const THslColor a = ColorToHsl(Color1), b = ColorToHsl(Color2);
    return std::abs(int(a.H) - int(b.H)) < 20 && std::abs(int(a.L) - int(b.L)) < 60;
}

TColor ComplementColor(TColor Color, int Lightness)
{
    const int h = HueOf(Color);
    return ColorFromHsl(h < 120 ? h + 120 : h - 120, 240, Lightness);
}

TRect DrawEdgeLines(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight, uint32_t Sides)
{
    TPen* pen = Canvas->Pen();
    pen->SetWidth(1);
    pen->SetStyle(psSolid);
    if (TopLeft != clNone) {
        pen->SetColor(TopLeft);
        if (Sides & edgeLeft) {
            Canvas->MoveTo(R.Left, R.Top);
            Canvas->LineTo(R.Left, R.Bottom);
        }
        if (Sides & edgeTop) {
            Canvas->MoveTo(R.Left, R.Top);
            Canvas->LineTo(R.Right, R.Top);
        }
    }
    if (BottomRight != clNone) {
        pen->SetColor(BottomRight);
        if (Sides & edgeRight) {
            Canvas->MoveTo(R.Right - 1, R.Top);
            Canvas->LineTo(R.Right - 1, R.Bottom);
        }
        if (Sides & edgeBottom) {
            Canvas->MoveTo(R.Left, R.Bottom - 1);
            Canvas->LineTo(R.Right, R.Bottom - 1);
        }
    }
    TRect r = R;
    if (Sides & edgeLeft) ++r.Left;
    if (Sides & edgeTop) ++r.Top;
    if (Sides & edgeRight) --r.Right;
    if (Sides & edgeBottom) --r.Bottom;
    return r;
}

TRect DrawEdgeLinesRepeated(TCanvas* Canvas, const TRect& R, TColor TopLeft, TColor BottomRight, uint32_t Sides,
                            int Count)
{
    TRect r = R;
    for (int i = 0; i < Count; ++i)
        r = DrawEdgeLines(Canvas, r, TopLeft, BottomRight, Sides);
    return r;
}

TRect DrawPushBorder(TCanvas* Canvas, const TRect& R, bool Pressed)
{
    TRect r = Pressed ? DrawEdgeLines(Canvas, R, clBtnText, clBtnText) : DrawEdgeLines(Canvas, R, clBtnHighlight, cl3DDkShadow);
    return Pressed ? DrawEdgeLines(Canvas, r, clBtnShadow, clBtnShadow) : DrawEdgeLines(Canvas, r, cl3DLight, clBtnShadow);
}

TRect DrawLoweredBevel(TCanvas* Canvas, const TRect& R)
{
    const TRect r = DrawEdgeLines(Canvas, R, clBtnShadow, clBtnHighlight);
    return DrawEdgeLines(Canvas, r, cl3DDkShadow, cl3DLight);
}

TRect DrawColorBorder(TCanvas* Canvas, const TRect& R, TColor Color, bool Lowered)
{
    if (Lowered) {
        const TColor outer = DarkenColor(Color, 100), inner = DarkenColor(Color, 50);
        return DrawEdgeLines(Canvas, DrawEdgeLines(Canvas, R, outer, outer), inner, inner);
    }
    const TRect r = DrawEdgeLines(Canvas, R, LightenColor(Color, 100), DarkenColor(Color, 100));
    return DrawEdgeLines(Canvas, r, LightenColor(Color, 40), DarkenColor(Color, 50));
}

TRect DrawColorLoweredBevel(TCanvas* Canvas, const TRect& R, TColor Color)
{
    const TRect r = DrawEdgeLines(Canvas, R, DarkenColor(Color, 50), LightenColor(Color, 100));
    return DrawEdgeLines(Canvas, r, DarkenColor(Color, 100), LightenColor(Color, 50));
}

void GradientFillCanvas(TCanvas* Canvas, TColor TopColor, TColor BottomColor, const TRect& R)
{
    const int h = R.Height();
    if (h <= 0 || R.Width() <= 0)
        return;
    const TColor a = ColorToRGB(TopColor), b = ColorToRGB(BottomColor);
    TBrush* brush = Canvas->Brush();
    for (int y = 0; y < h; ++y) {
        const auto at = [&](uint8_t x0, uint8_t x1) {
            return uint8_t(h == 1 ? x0 : x0 + (int(x1) - int(x0)) * y / (h - 1));
        };
        brush->SetColor(RGB(at(GetRValue(a), GetRValue(b)), at(GetGValue(a), GetGValue(b)),
                            at(GetBValue(a), GetBValue(b))));
        Canvas->FillRect(Rect(R.Left, R.Top + y, R.Right, R.Top + y + 1));
    }
}

void DrawGradientRing(TCanvas* Canvas, const TRect& R, TColor TopColor, TColor BottomColor)
{
    if (!FullColorDisplay)
        return;
    HDC dc = Canvas->Handle();
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    GradientFillCanvas(Canvas, TopColor, BottomColor, R);
    RestoreDC(dc, saved);
}

TRect DrawDottedFocusBorder(TCanvas* Canvas, const TRect& R, TColor Color)
{
    const TColor c = Color == clNone ? TColor(0) : Color;
    for (int y = R.Top + 1; y < R.Bottom; y += 2) {
        Canvas->SetPixels(R.Left, y, c);
        Canvas->SetPixels(R.Right - 1, y, c);
    }
    for (int x = R.Left + 1; x < R.Right; x += 2) {
        Canvas->SetPixels(x, R.Top, c);
        Canvas->SetPixels(x, R.Bottom - 1, c);
    }
    return Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
}

void PaintParentImage(TControl* Control, HDC DC, bool InvalidateParent)
{
    TWinControl* parent = Control->Parent();
    if (parent == nullptr || DC == nullptr)
        return;
    const int saved = SaveDC(DC);
    MoveWindowOrg(DC, -Control->Left(), -Control->Top());
    IntersectClipRect(DC, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    // WM_PAINT with a context paints the parent into it, as printing its
    // client area did.
    parent->Perform(WM_ERASEBKGND, WPARAM(DC), 0);
    parent->Perform(WM_PAINT, WPARAM(DC), 0);
    RestoreDC(DC, saved);
    if (InvalidateParent && dynamic_cast<TCustomControl*>(parent) == nullptr && dynamic_cast<TCustomForm*>(parent) == nullptr)
        parent->Invalidate();
}

void DrawTransparentCell(TCanvas* Canvas, const TBitmap* Glyph, const TRect& Dest, TColor TransparentColor,
                         const TRect& SourceCell)
{
    if (Glyph == nullptr || Glyph->Empty() || Dest.Width() <= 0 || Dest.Height() <= 0)
        return;
    QImage cell = Glyph->ToImage()
                      .copy(SourceCell.Left, SourceCell.Top, SourceCell.Width(), SourceCell.Height())
                      .scaled(Dest.Width(), Dest.Height())
                      .convertToFormat(QImage::Format_ARGB32);
    const TColor t = ColorToRGB(TransparentColor);
    const QRgb key = qRgb(GetRValue(t), GetGValue(t), GetBValue(t));
    for (int y = 0; y < cell.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(cell.scanLine(y));
        for (int x = 0; x < cell.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                line[x] = 0;
    }
    DrawImage(Canvas->Handle(), Dest, cell);
}

String StripAccelerators(const String& Text)
{
    String r;
    r.reserve(Text.size());
    for (int i = 0; i < Text.size(); ++i) {
        if (Text[i] == QLatin1Char('&') && i + 1 < Text.size()) {
            ++i;  // "&&" keeps the second, "&x" keeps x
        }
        r.append(Text[i]);
    }
    return r;
}

int DrawTextOnCanvas(TCanvas* Canvas, const String& Text, TRect& R, uint32_t Flags)
{
    return Canvas->TextRect(R, Text, Flags);
}

bool RunningWindows2000OrLater() { return true; }
