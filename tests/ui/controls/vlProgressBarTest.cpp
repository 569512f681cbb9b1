// Tests of the progress bar cell: the value rules, the text, and the
// pixels of the bar, its raised edge and the centred text.
#include <QImage>
#include <gtest/gtest.h>

#include "ui/controls/vlProgressBar.h"

namespace {

constexpr TColor kBegin = 16360823;  // RGB 119,165,249
const QRgb kMagenta = qRgb(255, 0, 255);

QRgb rgbOf(TColor c)
{
    const TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}

struct Cell {
    TvlProgressBarProperties props{nullptr};
    QImage image{220, 40, QImage::Format_RGB32};
    Cell()
    {
        props.SetBarBevelOuter(vlbvRaised);
        props.SetBeginColor(kBegin);
        props.SetEndColor(kBegin);
        props.SetPeakColor(8404992);
        props.SetSolidTextColor(true);
    }
    // Renders v in Q on magenta; with Background only the text (for the
    // reference ink).
    void render(const Variant& v, const TRect& q, TColor bg, bool textOnlyOnPlain = false)
    {
        image.fill(textOnlyOnPlain ? rgbOf(bg) : kMagenta);
        TDeviceContext dc(&image);
        TCanvas canvas;
        canvas.SetHandle(&dc);
        TvlCanvas vc(&canvas);
        TFont font;
        font.SetHeight(-11);
        if (textOnlyOnPlain) {
            vc.SetFont(&font);
            const String s = props.GetDisplayText(v);
            const TSize e = vc.TextExtent(s);
            vc.DrawText(s, Bounds(q.Left + (q.Width() - e.cx) / 2, q.Top + (q.Height() - e.cy) / 2, e.cx, e.cy),
                        DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP, clWindowText);
        } else {
            auto info = props.CreateViewInfo();
            info->Bounds = q;
            info->Value = v;
            info->SetBackgroundColor(bg);
            info->TextColor = clWindowText;
            info->Font = &font;
            info->Paint(&vc);
        }
        canvas.SetHandle(nullptr);
    }
};

String props_text(const Variant& v)
{
    TvlProgressBarProperties p(nullptr);
    return p.GetDisplayText(v);
}

struct Row {
    Variant value;
    int width;  // W
    int bar;    // w
    const char* text;
};

TEST(vlProgressBar, CellFollowsThePixelRules)
{
    const std::vector<Row> rows = {
        {Variant(50), 181, 90, "50 %"},        {Variant(0), 181, 0, "0 %"},
        {Variant(100), 181, 181, "100 %"},     {Variant(150), 181, 181, "100 %"},
        {Variant(-1), 181, 0, "0 %"},          {Variant(QStringLiteral("100")), 181, 181, "100 %"},
        {Null(), 181, 0, "0 %"},               {Variant(12.5), 181, 22, "12 %"},
        {Variant(13.5), 181, 24, "14 %"},      {Variant(50.5), 181, 91, "50 %"},
        {Variant(QStringLiteral("50,5")), 181, 0, "0 %"}, {Variant(1), 150, 1, "1 %"},
        {Variant(int64_t(75)), 181, 135, "75 %"},
    };
    const QRgb highlight = rgbOf(clBtnHighlight), shadow = rgbOf(clBtnShadow), ink = rgbOf(clWindowText);
    for (TColor bg : {TColor(clWindow), TColor(0xEBEBEB)}) {
        for (const Row& r : rows) {
            SCOPED_TRACE(QString::fromLatin1(r.text).toStdString() + " W=" + std::to_string(r.width));
            EXPECT_EQ(props_text(r.value), QString::fromLatin1(r.text));
            Cell c;
            const TRect q = Rect(10, 5, 10 + r.width, 27);
            c.render(r.value, q, bg);
            const QImage cell = c.image.copy();
            c.render(r.value, q, bg, true);
            const QImage textOnly = c.image.copy();
            const int w = r.bar, H = q.Height();
            const QRgb bgRgb = rgbOf(bg);
            for (int y = 0; y < cell.height(); ++y)
                for (int x = 0; x < cell.width(); ++x) {
                    const QRgb px = cell.pixel(x, y);
                    if (!q.Contains(Point(x, y))) {
                        ASSERT_EQ(px, kMagenta) << x << "," << y;
                        continue;
                    }
                    // Text pixels are exactly the reference ink.
                    const bool isInk = textOnly.pixel(x, y) == ink;
                    if (isInk) {
                        ASSERT_EQ(px, ink) << x << "," << y;
                        continue;
                    }
                    const int lx = x - q.Left, ly = y - q.Top;
                    QRgb want = bgRgb;
                    if (lx < w) {
                        want = rgbOf(kBegin);
                        if (ly == 0 || lx == 0)
                            want = highlight;
                        if (ly == H - 1 || lx == w - 1)
                            want = shadow;
                    }
                    ASSERT_EQ(px, want) << x << "," << y;
                }
        }
    }
}

}  // namespace
