// Skin image drawing, pixel by pixel: 9-slices, bars, frames, key-colour
// transparency, regions and painting the parent under a control.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/controls/Controls.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Bitmap.h"
#include "skin/SknForm.h"

namespace {

constexpr TColor sentinel = 0x123456;

// A bitmap whose every pixel tells where it came from.
std::unique_ptr<TBitmap> coded(int w, int h)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bitmap->SetPixels(x, y, RGB(uint8_t(x), uint8_t(y), 77));
    return bitmap;
}

// A 30 x 15 frame in nine flat zones: edge columns 10 wide, edge rows 5 high.
std::unique_ptr<TBitmap> zoned(int frames = 1)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(30 * frames, 15);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 30 * frames; ++x)
            bitmap->SetPixels(x, y, RGB(uint8_t((x % 30) / 10 * 80), uint8_t(y / 5 * 80), uint8_t(x / 30)));
    return bitmap;
}

TColor zone(int column, int row, int frame = 0)
{
    return RGB(uint8_t(column * 80), uint8_t(row * 80), uint8_t(frame));
}

struct Surface {
    explicit Surface(int w, int h) : image(w, h, QImage::Format_RGB32), dc(&image)
    {
        image.fill(QColor(0x56, 0x34, 0x12));
    }
    TColor at(int x, int y) const
    {
        const QRgb p = image.pixel(x, y);
        return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
    }
    QImage image;
    TDeviceContext dc;
};

const TRect margins{10, 5, 10, 5};

}  // namespace

TEST(SknFormTest, NineSliceKeepsCornersAndStretchesTheRest)
{
    // Frame 2 of a three-frame strip of coded pixels, 30 x 15 each.
    const auto strip = coded(90, 15);
    const auto image = BuildSkinImage({0, 0, 40, 20}, strip.get(), margins, false, false, 3, 2);
    ASSERT_EQ(image->Width(), 40);
    ASSERT_EQ(image->Height(), 20);
    auto src = [](int x, int y) { return RGB(uint8_t(30 + x), uint8_t(y), 77); };
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(image->Pixels(x, y), src(x, y));
            EXPECT_EQ(image->Pixels(30 + x, y), src(20 + x, y));
            EXPECT_EQ(image->Pixels(x, 15 + y), src(x, 10 + y));
            EXPECT_EQ(image->Pixels(30 + x, 15 + y), src(20 + x, 10 + y));
        }
    // Edges and centre twice as large as their 10 x 5 source parts.
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(image->Pixels(10 + 2 * i, 5 + 2 * j), src(10 + i, 5 + j));
            EXPECT_EQ(image->Pixels(10 + 2 * i, j), src(10 + i, j));
            EXPECT_EQ(image->Pixels(j, 5 + i), src(j, 5 + i / 2));
        }
}

TEST(SknFormTest, NarrowTargetDropsTheEdgeColumns)
{
    const auto frame = zoned();
    // 15 wide, less than 10 + 10: the whole frame width is stretched across,
    // the top and bottom rows stay.
    const auto image = BuildSkinImage({0, 0, 15, 20}, frame.get(), margins, false, false, 1, 1);
    EXPECT_EQ(image->Pixels(0, 0), zone(0, 0));
    EXPECT_EQ(image->Pixels(14, 0), zone(2, 0));
    EXPECT_EQ(image->Pixels(0, 10), zone(0, 1));
    EXPECT_EQ(image->Pixels(7, 10), zone(1, 1));
    EXPECT_EQ(image->Pixels(14, 10), zone(2, 1));
    EXPECT_EQ(image->Pixels(7, 19), zone(1, 2));
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(image->Pixels(7, y), zone(1, 0));
    // Exactly 10 + 10 wide keeps the edges with an empty centre.
    const auto exact = BuildSkinImage({0, 0, 20, 20}, frame.get(), margins, false, false, 1, 1);
    EXPECT_EQ(exact->Pixels(9, 10), zone(0, 1));
    EXPECT_EQ(exact->Pixels(10, 10), zone(2, 1));
}

TEST(SknFormTest, TiledCentreIsCoveredByTheRightAndBottomEdges)
{
    auto frame = zoned();
    // A centre with its own pattern, so tiles can be told apart.
    for (int y = 5; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            frame->SetPixels(x, y, RGB(uint8_t(x), uint8_t(y), 200));
    const auto image = BuildSkinImage({0, 0, 45, 22}, frame.get(), margins, false, true, 1, 1);
    for (int y = 5; y < 17; ++y)
        for (int x = 10; x < 35; ++x)
            ASSERT_EQ(image->Pixels(x, y), RGB(uint8_t(10 + (x - 10) % 10), uint8_t(5 + (y - 5) % 5), 200)) << x << "," << y;
    for (int y = 5; y < 17; ++y)
        for (int x = 35; x < 45; ++x)
            ASSERT_EQ(image->Pixels(x, y), zone(2, 1)) << x << "," << y;
    for (int y = 17; y < 22; ++y)
        for (int x = 10; x < 35; ++x)
            ASSERT_EQ(image->Pixels(x, y), zone(1, 2)) << x << "," << y;
}

TEST(SknFormTest, FramesAreCutFromTheStrip)
{
    const auto strip = coded(100, 10);
    struct Case {
        int index;
        int firstColumn;
    };
    // Frame 2 of 5 is columns 20-39; indices outside 1..5 go to the nearest end.
    for (const Case c : {Case{2, 20}, Case{5, 80}, Case{9, 80}, Case{0, 0}, Case{-3, 0}}) {
        SCOPED_TRACE(c.index);
        Surface s(20, 10);
        DrawSkinFrame(&s.dc, {0, 0, 20, 10}, strip.get(), 5, c.index, false);
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(s.at(x, 3), RGB(uint8_t(c.firstColumn + x), 3, 77));
    }
    // A frame count of 0 is one frame: the whole strip.
    Surface whole(100, 10);
    DrawSkinFrame(&whole.dc, {0, 0, 100, 10}, strip.get(), 0, 1, false);
    EXPECT_EQ(whole.at(99, 0), RGB(99, 0, 77));
    // Vertical strips stack their frames.
    const auto stacked = coded(10, 40);
    const auto second = BuildSkinImage({0, 0, 10, 10}, stacked.get(), {}, true, false, 4, 2);
    EXPECT_EQ(second->Pixels(3, 0), RGB(3, 10, 77));
}

TEST(SknFormTest, TransparentDrawingKeepsTheDestination)
{
    auto frame = coded(20, 10);
    for (int x = 0; x < 20; x += 2)
        frame->SetPixels(x, 4, clFuchsia);
    Surface image(20, 10);
    DrawSkinImage(&image.dc, {0, 0, 20, 10}, frame.get(), {}, false, false, true, 1, 1);
    Surface bar(20, 10);
    TCanvas canvas;
    canvas.SetHandle(&bar.dc);
    DrawSkinBar(&canvas, {0, 0, 20, 10}, frame.get(), {5, 0, 5, 0}, false, true, 1, 1);
    canvas.SetHandle(nullptr);
    Surface direct(20, 10);
    DrawTransparentBitmap(&direct.dc, {0, 0, 20, 10}, frame.get(), SkinKeyColor);
    for (Surface* s : {&image, &bar, &direct})
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(s->at(x, 4), x % 2 == 0 ? sentinel : RGB(uint8_t(x), 4, 77)) << x;
            EXPECT_EQ(s->at(x, 3), RGB(uint8_t(x), 3, 77)) << x;
        }
    // Opaque, the key colour is drawn like any other.
    Surface opaque(20, 10);
    DrawSkinImage(&opaque.dc, {0, 0, 20, 10}, frame.get(), {}, false, false, false, 1, 1);
    EXPECT_EQ(opaque.at(0, 4), clFuchsia);
}

TEST(SknFormTest, BarsAndCentredFrames)
{
    const auto frame = zoned();
    // Caps that leave no middle: the caps only, and the call returns.
    Surface capsOnly(40, 15);
    TCanvas canvas;
    canvas.SetHandle(&capsOnly.dc);
    DrawSkinBar(&canvas, {0, 0, 40, 15}, frame.get(), {16, 0, 16, 0}, false, false, 1, 1);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(capsOnly.at(0, 7), zone(0, 1));
    EXPECT_EQ(capsOnly.at(39, 7), zone(2, 1));
    // A bar's middle is tiled at full frame height.
    Surface tiled(50, 15);
    canvas.SetHandle(&tiled.dc);
    DrawSkinBar(&canvas, {0, 0, 50, 15}, frame.get(), {10, 0, 10, 0}, false, false, 1, 1);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(tiled.at(25, 7), zone(1, 1));
    EXPECT_EQ(tiled.at(45, 7), zone(2, 1));
    // A frame wider than the target is squeezed whole into it.
    Surface squeezed(15, 15);
    DrawSkinImageH(&squeezed.dc, {0, 0, 15, 15}, frame.get(), margins, false, 1, 1);
    EXPECT_EQ(squeezed.at(0, 7), zone(0, 1));
    EXPECT_EQ(squeezed.at(14, 7), zone(2, 1));
    Surface wide(50, 15);
    DrawSkinImageH(&wide.dc, {0, 0, 50, 15}, frame.get(), margins, false, 1, 1);
    EXPECT_EQ(wide.at(9, 7), zone(0, 1));
    EXPECT_EQ(wide.at(30, 7), zone(1, 1));
    EXPECT_EQ(wide.at(40, 7), zone(2, 1));
    // Centred, unscaled; an inverted rectangle draws nothing.
    Surface centred(50, 25);
    DrawSkinFrameCentred(&centred.dc, {0, 0, 50, 25}, frame.get(), 1, 1, false);
    EXPECT_EQ(centred.at(9, 4), sentinel);
    EXPECT_EQ(centred.at(10, 5), zone(0, 0));
    EXPECT_EQ(centred.at(39, 19), zone(2, 2));
    EXPECT_EQ(centred.at(40, 19), sentinel);
    Surface inverted(20, 20);
    DrawSkinImage(&inverted.dc, {10, 10, 5, 20}, frame.get(), margins, false, false, false, 1, 1);
    DrawSkinFrame(&inverted.dc, {10, 10, 20, 5}, frame.get(), 1, 1, false);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(inverted.at(x, y), sentinel);
}

TEST(SknFormTest, RegionFromOpaquePixels)
{
    TBitmap allKey;
    allKey.SetPixelFormat(pf24bit);
    allKey.SetSize(12, 7);
    allKey.Canvas()->Brush()->SetColor(clFuchsia);
    allKey.Canvas()->FillRect({0, 0, 12, 7});
    EXPECT_TRUE(CreateRegionFromBitmap(&allKey, 0, 0, 1, 1, 1, SkinKeyColor).Region().isEmpty());

    TBitmap row;
    row.SetPixelFormat(pf24bit);
    row.SetSize(5, 1);
    const TColor pixels[] = {clRed, clBlue, RGB(255, 1, 255), RGB(254, 0, 255), clFuchsia};
    for (int x = 0; x < 5; ++x)
        row.SetPixels(x, 0, pixels[x]);
    // (255, 1, 255) is within the tolerance of 1; (254, 0, 255) lies below the key.
    const QRegion region = CreateRegionFromBitmap(&row, 10, 20, 1, 1, 1, SkinKeyColor).Region();
    const std::vector<QRect> rects(region.begin(), region.end());
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], QRect(10, 20, 2, 1));
    EXPECT_EQ(rects[1], QRect(13, 20, 1, 1));

    // More rectangles than one batch holds: every other pixel of 100 rows.
    TBitmap stripes;
    stripes.SetPixelFormat(pf24bit);
    stripes.SetSize(60, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 60; x += 2)
            stripes.SetPixels(x, y, clFuchsia);
    const QRegion many = CreateRegionFromBitmap(&stripes, 0, 0, 0, 0, 0, SkinKeyColor).Region();
    EXPECT_TRUE(many.contains(QPoint(59, 99)));
    EXPECT_FALSE(many.contains(QPoint(58, 99)));
    EXPECT_EQ(many.boundingRect(), QRect(1, 0, 59, 100));
}

namespace {

// A parent that paints a known picture through its messages, and counts them.
class TPaintedParent : public TWinControl {
public:
    TPaintedParent() : TWinControl(nullptr) {}
    int Erased = 0;
    int Painted = 0;
    bool Fail = false;

protected:
    void WndProc(TMessage& Message) override
    {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (Message.Msg == WM_ERASEBKGND && dc != nullptr) {
            ++Erased;
            const TDCBrush red{clRed, dbsSolid};
            FillRect(dc, {0, 0, 100, 100}, &red);
            return;
        }
        if (Message.Msg == WM_PAINT && dc != nullptr) {
            ++Painted;
            if (Fail)
                throw Exception("paint failed");
            SetPixel(dc, 30, 20, clBlue);
            return;
        }
        TWinControl::WndProc(Message);
    }
};

}  // namespace

TEST(SknFormTest, ParentBackgroundIsPaintedUnderTheControl)
{
    TPaintedParent parent;
    parent.SetBounds(0, 0, 100, 100);
    TWinControl child(nullptr);
    child.SetBounds(25, 15, 10, 10);
    child.SetParent(&parent);

    Surface s(20, 20);
    DrawParentBackground(&child, &s.dc);
    EXPECT_EQ(parent.Erased, 1);
    EXPECT_EQ(parent.Painted, 1);
    EXPECT_EQ(s.at(5, 5), clBlue);   // the parent's (30, 20)
    EXPECT_EQ(s.at(0, 0), clRed);
    EXPECT_EQ(s.at(12, 12), sentinel);  // outside the control's client area
    // The DC is as it was.
    TPoint origin;
    GetViewportOrgEx(&s.dc, origin);
    EXPECT_EQ(origin, (TPoint{0, 0}));
    EXPECT_FALSE(s.dc.HasClip());

    parent.Fail = true;
    EXPECT_THROW(DrawParentBackground(&child, &s.dc), Exception);
    EXPECT_FALSE(s.dc.HasClip());
    child.SetParent(nullptr);
    DrawParentBackground(&child, &s.dc);  // no parent: nothing
    EXPECT_EQ(parent.Painted, 2);
}

TEST(SknFormTest, WorkBitmapLivesBetweenStartAndEnd)
{
    SknFormInitialization();
    ASSERT_NE(SkinWorkBitmap(), nullptr);
    SkinWorkBitmap()->SetSize(4, 4);
    SknFormFinalization();
    EXPECT_EQ(SkinWorkBitmap(), nullptr);
}
