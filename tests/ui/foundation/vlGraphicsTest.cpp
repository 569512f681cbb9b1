// Tests of the painters' canvas: bitmap tiling from the rectangle's corner
// inside the rectangle only, and the sunken border of the standard look.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"

namespace {

TEST(vlCanvas, FillRectByBitmapTilesFromTheCornerAndStaysInside)
{
    TBitmap tile;
    tile.SetSize(4, 4);
    tile.Canvas()->Brush()->SetColor(clBlue);
    tile.Canvas()->FillRect(Rect(0, 0, 4, 4));
    tile.Canvas()->Brush()->SetColor(clRed);
    tile.Canvas()->FillRect(Rect(0, 0, 1, 1));
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceContext dc(&image);
    TCanvas canvas;
    canvas.SetHandle(&dc);
    TvlCanvas vc(&canvas);
    vc.FillRectByBitmap(Rect(3, 2, 13, 9), &tile, clGreen);
    vc.FillRectByBitmap(Rect(20, 2, 25, 9), nullptr, clGreen);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(image.pixel(3, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(7, 6), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(11, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(4, 2), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(12, 8), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(13, 8), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(12, 9), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(22, 5), qRgb(0, 128, 0));
}

TEST(vlStandardPainter, HeaderTextIsAlignedInItsArea)
{
    QImage image(120, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDeviceContext dc(&image);
    TCanvas canvas;
    canvas.SetHandle(&dc);
    TvlCanvas vc(&canvas);
    const TvlStandardLookAndFeelPainter painter;
    painter.DrawHeader(&vc, Rect(0, 0, 120, 24), Rect(4, 2, 116, 22), QStringLiteral("III"), taRightJustify,
                       taVCenter, false, 0xF3F3F3, clBlack, nullptr);
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
