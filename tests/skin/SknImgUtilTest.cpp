// Colour mixing, the gradient cache and gradient fills, key-colour
// replacement, mirroring, flipping, rotating and saturation.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exception.h"
#include "skin/SknImgUtil.h"

namespace {

class SknImgUtilTest : public testing::Test {
protected:
    void SetUp() override { SknImgUtilInitialization(); }
    void TearDown() override { SknImgUtilFinalization(); }
};

TColor pixel(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

}  // namespace

TEST_F(SknImgUtilTest, BlendColors)
{
    const TColor a = RGB(200, 100, 0);
    const TColor b = RGB(0, 0, 100);
    struct Case {
        int amount;
        TColor expected;
    };
    // Amount is hundredths below 100 and thousandths from 100 on.
    const Case cases[] = {
        {0, RGB(0, 0, 100)},
        {50, RGB(100, 50, 50)},
        {100, RGB(20, 10, 90)},
        {150, RGB(30, 15, 85)},
        {99, RGB(198, 99, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.amount);
        EXPECT_EQ(BlendColors(a, b, c.amount), c.expected);
    }
    // Halves round up per channel; system colours are resolved first.
    EXPECT_EQ(BlendColors(RGB(1, 0, 0), RGB(0, 0, 0), 50), RGB(1, 0, 0));
    EXPECT_EQ(BlendColors(clBtnFace, clBtnFace, 30), ColorToRGB(clBtnFace));
}

TEST_F(SknImgUtilTest, GradientTablesAndTheirCache)
{
    // Length 1 is the midpoint (truncated toward zero per channel).
    const int one = BuildGradientTable(1, RGB(0, 100, 11), RGB(255, 0, 0));
    EXPECT_EQ(GradientTable(one), std::vector<TColor>{RGB(127, 50, 6)});
    const int five = BuildGradientTable(5, RGB(0, 0, 0), RGB(100, 200, 40));
    EXPECT_EQ(GradientTable(five), (std::vector<TColor>{RGB(0, 0, 0), RGB(25, 50, 10), RGB(50, 100, 20),
                                                        RGB(75, 150, 30), RGB(100, 200, 40)}));
    EXPECT_EQ(FindGradientTable(5, RGB(0, 0, 0), RGB(100, 200, 40)), five);
    EXPECT_EQ(GetGradientTable(5, RGB(0, 0, 0), RGB(100, 200, 40)), five);
    EXPECT_EQ(FindGradientTable(6, RGB(0, 0, 0), RGB(100, 200, 40)), -1);
    // A falling channel may end one short of the end colour, so it misses.
    const int falling = BuildGradientTable(4, RGB(10, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GradientTable(falling).back(), RGB(1, 0, 0));
    EXPECT_EQ(FindGradientTable(4, RGB(10, 0, 0), RGB(0, 0, 0)), -1);

    // Sixteen slots round-robin: the 17th table evicts the oldest.
    SknImgUtilInitialization();
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(GetGradientTable(n + 1, RGB(0, 0, 0), RGB(0, 0, uint8_t(n))), n - 1);
    EXPECT_EQ(GetGradientTable(2, RGB(0, 0, 0), RGB(0, 0, 1)), 0);  // reused
    EXPECT_EQ(GetGradientTable(40, RGB(0, 0, 0), RGB(9, 9, 9)), 0);  // the 17th takes slot 0
    EXPECT_EQ(FindGradientTable(2, RGB(0, 0, 0), RGB(0, 0, 1)), -1);
    EXPECT_EQ(FindGradientTable(3, RGB(0, 0, 0), RGB(0, 0, 2)), 1);

    EXPECT_THROW(BuildGradientTable(0, 0, 0), EAssertionFailed);
    EXPECT_THROW(FindGradientTable(-1, 0, 0), EAssertionFailed);
}

TEST_F(SknImgUtilTest, ClippedGradientFillMatchesTheFullFill)
{
    for (bool vertical : {true, false}) {
        SCOPED_TRACE(vertical);
        QImage full(30, 40, QImage::Format_RGB32);
        full.fill(Qt::black);
        TDeviceContext fullDC(&full);
        FillGradientRect(&fullDC, {2, 3, 28, 37}, RGB(0, 10, 200), RGB(250, 90, 0), vertical);
        EXPECT_EQ(pixel(full, 2, 3), RGB(0, 10, 200));
        EXPECT_EQ(pixel(full, 27, 36), RGB(250, 90, 1));  // the falling channel stops one short
        EXPECT_EQ(pixel(full, 1, 3), clBlack);

        QImage clipped(30, 40, QImage::Format_RGB32);
        clipped.fill(Qt::black);
        TDeviceContext clippedDC(&clipped);
        IntersectClipRect(&clippedDC, 10, 12, 20, 25);
        FillGradientRect(&clippedDC, {2, 3, 28, 37}, RGB(0, 10, 200), RGB(250, 90, 0), vertical);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool inside = x >= 10 && x < 20 && y >= 12 && y < 25;
                ASSERT_EQ(pixel(clipped, x, y), inside ? pixel(full, x, y) : clBlack) << x << "," << y;
            }
    }
    // A system colour is resolved; an empty rectangle paints nothing.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::black);
    TDeviceContext dc(&image);
    FillGradientRect(&dc, {0, 0, 4, 4}, clBtnFace, clBtnFace, false);
    EXPECT_EQ(pixel(image, 3, 3), ColorToRGB(clBtnFace));
    FillGradientRect(&dc, {2, 2, 2, 4}, clRed, clRed, false);
    EXPECT_EQ(pixel(image, 2, 2), ColorToRGB(clBtnFace));
}

TEST_F(SknImgUtilTest, BitmapTransforms)
{
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(3, 2);
    const TColor colours[2][3] = {{clRed, clFuchsia, clLime}, {clBlue, clWhite, clFuchsia}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            bitmap.SetPixels(x, y, colours[y][x]);

    TBitmap replaced;
    replaced.Assign(&bitmap);
    ReplaceKeyColor(&replaced, RGB(1, 2, 3));
    EXPECT_EQ(replaced.PixelFormat(), pf24bit);
    EXPECT_EQ(replaced.Pixels(1, 0), RGB(1, 2, 3));
    EXPECT_EQ(replaced.Pixels(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(replaced.Pixels(0, 0), clRed);

    TBitmap mirrored;
    mirrored.Assign(&bitmap);
    MirrorBitmap(&mirrored);
    EXPECT_EQ(mirrored.PixelFormat(), pf24bit);
    EXPECT_EQ(mirrored.Pixels(0, 0), clLime);
    EXPECT_EQ(mirrored.Pixels(2, 1), clBlue);

    TBitmap flipped;
    flipped.Assign(&bitmap);
    FlipBitmap(&flipped);
    EXPECT_EQ(flipped.Pixels(0, 0), clBlue);
    EXPECT_EQ(flipped.Pixels(2, 1), clLime);

    // A 2 x 1 image rotated left is 1 x 2 with the right pixel on top.
    TBitmap pair;
    pair.SetSize(2, 1);
    pair.SetPixels(0, 0, clRed);
    pair.SetPixels(1, 0, clBlue);
    RotateBitmapLeft(&pair);
    ASSERT_EQ(pair.Width(), 1);
    ASSERT_EQ(pair.Height(), 2);
    EXPECT_EQ(pair.Pixels(0, 0), clBlue);
    EXPECT_EQ(pair.Pixels(0, 1), clRed);

    TBitmap right;
    right.Assign(&bitmap);
    RotateBitmapRight(&right);
    ASSERT_EQ(right.Width(), 2);
    ASSERT_EQ(right.Height(), 3);
    EXPECT_EQ(right.Pixels(1, 0), clRed);   // old (0, 0)
    EXPECT_EQ(right.Pixels(0, 0), clBlue);  // old (0, 1)
    EXPECT_EQ(right.Pixels(0, 2), clFuchsia);
}

TEST_F(SknImgUtilTest, ColorSaturation)
{
    struct Case {
        TColor colour;
        int expected;
    };
    const Case cases[] = {
        {RGB(255, 0, 0), 255}, {RGB(100, 50, 50), 200}, {clWhite, 0},
        {RGB(160, 80, 0), 255}, {RGB(200, 100, 100), 128}, {RGB(255, 254, 255), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        EXPECT_EQ(ColorSaturation(c.colour), c.expected);
    }
}
