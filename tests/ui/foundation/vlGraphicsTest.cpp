// Tests of the painters' canvas: bitmap tiling from the rectangle's corner
// inside the rectangle only, and the sunken border of the standard look.
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "tests/ui/foundation/SentinelSurface.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"

namespace {

QRgb rgbOf(TColor c) { return ColorToQColor(c).rgb(); }

// Regions compared as pixel sets.
::testing::AssertionResult samePixels(const QRegion& a, const QRegion& b)
{
    if (a.xored(b).isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "regions differ at " << a.xored(b).boundingRect().x() << ","
                                         << a.xored(b).boundingRect().y();
}

TEST(vlCanvas, FrameStripsLieInsideAndWideOnesCoverAll)
{
    Surface s(12, 12);
    s.Vl.FrameRect(Rect(0, 0, 10, 10), clRed, 3, TvlBorders{bLeft, bTop});
    EXPECT_TRUE(samePixels(s.of(rgbOf(clRed)), QRegion(0, 0, 3, 10) + QRegion(0, 0, 10, 3)));
    s.Vl.FrameRect(Rect(0, 0, 10, 10), clBlue, 20);
    EXPECT_TRUE(samePixels(s.of(rgbOf(clBlue)), QRegion(0, 0, 10, 10)));
    EXPECT_EQ(s.at(10, 0), sentinel);
}

TEST(vlCanvas, ComplexFrameLaterStripsOverwriteCorners)
{
    Surface s(12, 12);
    s.Vl.DrawComplexFrame(Rect(0, 0, 10, 10), clRed, clBlue, vlBordersAll, 2);
    EXPECT_EQ(s.at(9, 0), rgbOf(clBlue));  // the right strip over the top one
    EXPECT_EQ(s.at(7, 0), rgbOf(clRed));
    EXPECT_EQ(s.at(0, 9), rgbOf(clBlue));  // the bottom strip over the left one
    EXPECT_TRUE(samePixels(s.of(rgbOf(clBlue)), QRegion(8, 0, 2, 10) + QRegion(0, 8, 10, 2)));
}

TEST(vlCanvas, TilesAreAnchoredAtTheLogicalOrigin)
{
    // Every tile pixel tells its own position: red = x, green = y.
    TBitmap tile;
    tile.SetPixelFormat(pf24bit);
    tile.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            tile.SetPixels(x, y, RGB(uint8_t(x * 10), uint8_t(y * 10), 200));
    Surface s(48, 30);
    s.Vl.FillRect(Rect(10, 10, 40, 20), &tile);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 48; ++x) {
            const bool inside = x >= 10 && x < 40 && y >= 10 && y < 20;
            const QRgb expected = inside ? qRgb((x % 16) * 10, (y % 16) * 10, 200) : sentinel;
            ASSERT_EQ(s.at(x, y), expected) << x << "," << y;
        }
    // The last of the six pieces: the tile's (0,0)-(8,4) at (32,16).
    EXPECT_EQ(s.at(32, 16), qRgb(0, 0, 200));
}

TEST(vlCanvas, NoneDrawsNothingAndKeepsTheBrush)
{
    Surface s(8, 8);
    s.Vl.Brush()->SetColor(clGreen);
    s.Vl.FillRectByColor(Rect(0, 0, 8, 8), clNone);
    EXPECT_EQ(s.Vl.Brush()->Color(), clGreen);
    EXPECT_TRUE(samePixels(s.of(sentinel), QRegion(0, 0, 8, 8)));
    s.Vl.FillRectByColor(Rect(0, 0, 2, 2), clRed);
    EXPECT_EQ(s.Vl.Brush()->Color(), clRed);
}

TEST(vlCanvas, DisabledTextIsEmbossedAndTheColourComesBack)
{
    Surface s(60, 24);
    s.Vl.Font()->SetColor(clRed);
    s.Vl.Brush()->SetStyle(bsClear);
    s.Vl.DrawText(QStringLiteral("IH"), Rect(0, 0, 60, 24), vltfSingleLine, false);
    EXPECT_EQ(s.Vl.Font()->Color(), clRed);
    const QRegion shadow = s.of(rgbOf(clBtnShadow));
    const QRegion light = s.of(rgbOf(clBtnHighlight));
    ASSERT_FALSE(shadow.isEmpty());
    ASSERT_FALSE(light.isEmpty());
    // Where the shadow does not cover it, the highlight is the shadow moved (1,1).
    EXPECT_TRUE(samePixels(light, shadow.translated(1, 1) - shadow));
}

TEST(vlCanvas, ClipRegionsStatesAndStacks)
{
    Surface s(20, 20);
    SetWindowOrgEx(&s.DC, 5, 0);
    auto none = s.Vl.GetClipRegion();
    EXPECT_EQ(none->Handle().Region(), QRegion(5, 0, 30000, 30000));

    s.Vl.SaveDC();
    s.Vl.SetClipRegion(std::make_unique<TvlRegion>(Rect(5, 0, 10, 10)), roSet);
    s.Vl.SaveClipRegion();
    s.Vl.SetClipRegion(std::make_unique<TvlRegion>(Rect(5, 0, 7, 10)), roIntersect);
    EXPECT_EQ(s.Vl.GetClipRegion()->Handle().Region(), QRegion(5, 0, 2, 10));
    s.Vl.RestoreClipRegion();
    EXPECT_EQ(s.Vl.GetClipRegion()->Handle().Region(), QRegion(5, 0, 5, 10));
    s.Vl.RestoreDC();
    EXPECT_FALSE(s.DC.HasClip());
    s.Vl.RestoreDC();         // nothing to restore: harmless
    s.Vl.RestoreClipRegion(); // likewise

    // A fill that excludes itself keeps later fills out.
    s.Vl.Brush()->SetColor(clRed);
    s.Vl.FillRect(Rect(5, 0, 10, 5), nullptr, true);
    s.Vl.FillRectByColor(Rect(5, 0, 15, 5), clBlue);
    EXPECT_EQ(s.at(2, 2), rgbOf(clRed));
    EXPECT_EQ(s.at(7, 2), rgbOf(clBlue));

    auto round = TvlRegion::CreateRoundCorners(Rect(0, 0, 10, 10), 0, 0);
    EXPECT_EQ(round->Handle().Region(), QRegion(1, 1, 9, 9));
}

TEST(vlPaintCanvas, NestedPaintsGiveTheFirstContextItsObjectsBack)
{
    QImage a(10, 10, QImage::Format_RGB32), b(10, 10, QImage::Format_RGB32);
    TDeviceContext first(&a), second(&b);
    TvlPaintCanvas* paint = GetPaintCanvas();
    ASSERT_NE(paint, nullptr);
    paint->BeginPaint(&first);
    paint->Brush()->SetColor(clRed);
    paint->Font()->SetColor(clGreen);
    paint->BeginPaint(&second);
    paint->Brush()->SetColor(clBlue);
    EXPECT_EQ(paint->Canvas()->Handle(), &second);
    paint->EndPaint();
    EXPECT_EQ(paint->Canvas()->Handle(), &first);
    EXPECT_EQ(paint->Brush()->Color(), clRed);
    EXPECT_EQ(paint->Font()->Color(), clGreen);
    paint->EndPaint();
    paint->EndPaint();  // depth 0: nothing
    EXPECT_EQ(paint->Depth(), 0);
}

TEST(vlCanvas, RotateBitmapQuarterTurnAndMirrors)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(2, 1);
    b.SetPixels(0, 0, clRed);   // A
    b.SetPixels(1, 0, clBlue);  // B
    TvlCanvas::RotateBitmap(&b, raPlus90);
    ASSERT_EQ(b.Width(), 1);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.Pixels(0, 0), clBlue);  // B on top
    EXPECT_EQ(b.Pixels(0, 1), clRed);
    TvlCanvas::RotateBitmap(&b, raMinus90);
    EXPECT_EQ(b.Pixels(0, 0), clRed);
    TvlCanvas::RotateBitmap(&b, ra180, true);  // left to right
    EXPECT_EQ(b.Pixels(0, 0), clBlue);
}

TEST(vlStandardPainter, HeaderTextIsAlignedInItsArea)
{
    QImage image(120, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceContext dc(&image);
    TCanvas canvas;
    canvas.SetHandle(&dc);
    TvlCanvas vc(&canvas);
    TvlStandardLookAndFeelPainter::Instance()->DrawHeader(&vc, Rect(0, 0, 120, 24), Rect(4, 2, 116, 22), {},
                                                          vlBordersAll, vlbsNormal, taRightJustify, vaCenter, false,
                                                          false, QStringLiteral("III"), nullptr, clBlack, 0xF3F3F3);
    canvas.SetHandle(nullptr);
    int minX = 999, maxX = -1, minY = 999, maxY = -1;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 120; ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0)) {
                minX = std::min(minX, x); maxX = std::max(maxX, x);
                minY = std::min(minY, y); maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_GE(maxX, 110);
    EXPECT_LT(maxX, 116);
    EXPECT_LE(std::abs((minY - 2) - (21 - maxY)), 3);
    EXPECT_EQ(image.pixel(60, 4), qRgb(0xF3, 0xF3, 0xF3));
}

}  // namespace

#include "platform/controls/Controls.h"

namespace {

// The narrowest width for two rows: one pixel less needs three.
TEST(vlGraphicsServices, TextRectOnDCIsTheNarrowestForItsRows)
{
    QImage image(10, 10, QImage::Format_RGB32);
    TDeviceContext dc(&image);
    const String text = QStringLiteral("one two six ten red big cat dog sun top");
    auto rows = [&](int width) {
        TRect r = Rect(0, 0, width, 1);
        DrawTextOnDC(&dc, text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK);
        return r.Height() / TextSizeOnDC(&dc, QStringLiteral("Wg")).cy;
    };
    const TRect two = GetTextRectOnDC(&dc, text, 2);
    EXPECT_EQ(rows(two.Width()), 2);
    EXPECT_EQ(rows(two.Width() - 1), 3);
    const TRect any = GetTextRectOnDC(&dc, text, 0);
    int widest = 0;
    for (const String& word : text.split(u' '))
        widest = std::max(widest, GetTextRectOnDC(&dc, word, 1).Width());
    EXPECT_EQ(any.Width(), widest);
    EXPECT_TRUE(GetTextRectOnDC(&dc, String(), 1).IsEmpty());
}

TEST(vlGraphicsServices, LightColoursAndImageListAssignment)
{
    const int face[] = {COLOR_BTNFACE};
    const TColor white[] = {clWhite};
    SetSysColors(face, white);
    EXPECT_EQ(LightHotColor(), ColorToRGB(clHighlight));
    ResetSysColors();
    // -2% face + 30% highlight + 72% window, per channel, clamped.
    const TColor f = ColorToRGB(clBtnFace), h = ColorToRGB(clHighlight), w = ColorToRGB(clWindow);
    auto mix = [](int a, int b, int c) { return std::clamp(MulDiv(a, -2, 100) + MulDiv(b, 30, 100) + MulDiv(c, 72, 100), 0, 255); };
    EXPECT_EQ(LightHotColor(), RGB(uint8_t(mix(GetRValue(f), GetRValue(h), GetRValue(w))),
                                   uint8_t(mix(GetGValue(f), GetGValue(h), GetGValue(w))),
                                   uint8_t(mix(GetBValue(f), GetBValue(h), GetBValue(w)))));

    struct Counter : TObject {
        int Count = 0;
        void changed(TObject*) { ++Count; }
    } counter;
    TChangeLink link;
    link.OnChange = TNotifyEvent(&counter, &Counter::changed);
    TImageList list(nullptr);
    TImageList* field = nullptr;
    AssignImageList(nullptr, field, &link, nullptr);  // the same value: nothing, not even Change
    EXPECT_EQ(counter.Count, 0);
    AssignImageList(&list, field, &link, nullptr);
    EXPECT_EQ(field, &list);
    EXPECT_EQ(counter.Count, 1);
    TBitmap glyph;
    glyph.SetSize(16, 16);
    list.Add(&glyph, nullptr);
    EXPECT_EQ(counter.Count, 2);
    AssignImageList(nullptr, field, &link, nullptr);  // Change also for nullptr
    EXPECT_EQ(counter.Count, 3);
    list.Add(&glyph, nullptr);  // no longer linked
    EXPECT_EQ(counter.Count, 3);
}

class Painted : public TCustomControl {
public:
    Painted(TComponent* AOwner, TColor AColor) : TCustomControl(AOwner), FColor(AColor) {}
    int Paints = 0;
    int CopyPaints = 0;  // paints with csPaintCopy set

protected:
    void Paint() override
    {
        ++Paints;
        CopyPaints += ControlState().Contains(csPaintCopy);
        Canvas()->Brush()->SetColor(FColor);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
        Canvas()->Brush()->SetColor(clLime);
        Canvas()->FillRect(Rect(12, 12, 14, 14));
    }

private:
    TColor FColor;
};

// A red parent with a yellow sibling below the transparent black child and
// a blue one above it, and a buffer the child's background is painted into.
struct TransparentScene {
    TransparentScene()
    {
        Parent.SetBounds(0, 0, 40, 40);
        auto add = [&](TColor colour, TRect bounds) {
            auto* c = new Painted(&Parent, colour);
            c->SetParent(&Parent);
            c->SetBoundsRect(bounds);
            return c;
        };
        Earlier = add(clYellow, Rect(0, 0, 12, 12));
        Child = add(clBlack, Rect(10, 10, 20, 20));
        Later = add(clBlue, Rect(15, 10, 25, 20));
        Buffer.fill(0xFF123456);
    }
    void paintBehindChild(TWinControl* child)
    {
        TCanvas canvas;
        canvas.SetHandle(&DC);
        TvlCanvas vl(&canvas);
        DrawTransparentControlBackground(child, &vl, Rect(0, 0, 10, 10), true);
        canvas.SetHandle(nullptr);
    }
    Painted Parent{nullptr, clRed};
    Painted* Earlier;
    Painted* Child;
    Painted* Later;
    QImage Buffer{10, 10, QImage::Format_RGB32};
    TDeviceContext DC{&Buffer};
};

TEST(vlGraphicsServices, TransparentChildShowsItsParentAndEarlierSiblingsOnly)
{
    TransparentScene s;
    s.paintBehindChild(s.Child);
    EXPECT_EQ(s.Buffer.pixel(2, 2), qRgb(0, 255, 0));    // the parent's mark at (12,12)
    EXPECT_EQ(s.Buffer.pixel(1, 1), qRgb(255, 255, 0));  // the earlier sibling
    EXPECT_EQ(s.Buffer.pixel(7, 5), qRgb(255, 0, 0));    // not the later sibling
    EXPECT_FALSE(s.DC.HasClip());                        // the context as it was
}

TEST(vlGraphicsServices, ControlsPaintedBehindATransparentOneKnowTheyPaintACopy)
{
    TransparentScene s;
    Painted& parent = s.Parent;
    Painted* earlier = s.Earlier;
    // A control already painting as a copy keeps the flag afterwards.
    earlier->SetControlState(earlier->ControlState().Include(csPaintCopy));
    s.paintBehindChild(s.Child);
    EXPECT_EQ(parent.Paints, 1);
    EXPECT_EQ(parent.CopyPaints, 1);
    EXPECT_EQ(earlier->CopyPaints, 1);
    EXPECT_EQ(s.Later->Paints, 0);
    EXPECT_EQ(s.Child->Paints, 0);
    EXPECT_FALSE(parent.ControlState().Contains(csPaintCopy));
    EXPECT_TRUE(earlier->ControlState().Contains(csPaintCopy));

    // A paint of its own is no copy.
    QImage own(40, 40, QImage::Format_RGB32);
    parent.PaintTo(own);
    EXPECT_EQ(parent.Paints, 2);
    EXPECT_EQ(parent.CopyPaints, 1);

    // The flag goes also when a paint throws.
    class Throwing : public TCustomControl {
    public:
        using TCustomControl::TCustomControl;

    protected:
        void Paint() override { throw Exception(QStringLiteral("paint failed")); }
    };
    Throwing throwing(nullptr);
    throwing.SetBounds(0, 0, 40, 40);
    auto* inner = new Painted(&throwing, clBlack);
    inner->SetParent(&throwing);
    inner->SetBounds(5, 5, 10, 10);
    EXPECT_THROW(s.paintBehindChild(inner), Exception);
    EXPECT_FALSE(throwing.ControlState().Contains(csPaintCopy));
    EXPECT_FALSE(s.DC.HasClip());
}

TEST(vlGraphicsServices, HandleRecordsAndWindowInvalidation)
{
    // The canvas font turned a quarter reads back with its escapement.
    Surface s;
    s.Vl.SetFontAngle(90);
    LOGFONTW lf;
    ASSERT_TRUE(GetLogFontData(s.Canvas.Font()->Handle(), lf));
    EXPECT_EQ(lf.lfEscapement, 900);
    TBitmap bitmap;
    BITMAP info;
    EXPECT_FALSE(QueryBitmapData(bitmap.Handle(), info));
    bitmap.SetSize(3, 2);
    ASSERT_TRUE(QueryBitmapData(bitmap.Handle(), info));
    EXPECT_EQ(info.bmWidth, 3);
    LOGBRUSH lb;
    s.Canvas.Brush()->SetStyle(bsCross);
    ASSERT_TRUE(QueryBrushData(s.Canvas.Brush()->Handle(), lb));
    EXPECT_EQ(lb.lbHatch, HS_CROSS);
    LOGPEN lp;
    s.Canvas.Pen()->SetWidth(4);
    ASSERT_TRUE(QueryPenData(s.Canvas.Pen()->Handle(), lp));
    EXPECT_EQ(lp.lopnWidth.X, 4);

    // Marking a part of a window without erase repaints that part only.
    TApplication app(nullptr);
    app.Initialize();
    TForm form(nullptr);
    form.SetBounds(0, 0, 60, 60);
    auto* control = new Painted(&form, clRed);
    control->SetParent(&form);
    control->SetBounds(0, 0, 40, 40);
    int erases = 0;
    const TWndMethod old = control->WindowProc;
    control->WindowProc = TWndMethod::FromFunction([&](TMessage& m) {
        erases += m.Msg == WM_ERASEBKGND;
        old(m);
    });
    form.Show();
    auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    };
    settle();
    const int paints = control->Paints;
    erases = 0;
    InvalidateWindowRect(control->Handle(), Rect(2, 2, 8, 8), false);
    settle();
    EXPECT_EQ(control->Paints, paints + 1);
    EXPECT_EQ(erases, 0);
    InvalidateWindow(control->Handle(), true);
    settle();
    EXPECT_EQ(control->Paints, paints + 2);
    EXPECT_EQ(erases, 1);
    control->WindowProc = old;
}

}  // namespace
