// Tests of the image combo box properties: value matching and drawing.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/ImgList.h"

#include "platform/graphics/Bitmap.h"
#include "ui/editors/vlImageComboBox.h"
#include "ui/editors/vlTextEdit.h"

namespace {

TEST(vlImageComboBox, TextAndIntegerValuesFindTheSameItem)
{
    TvlImageComboBoxProperties p(nullptr);
    for (int i = 0; i < 4; ++i) {
        TvlImageComboBoxItem* item = p.Items()->Add();
        item->ImageIndex = i;
        item->Value = Variant(String::number(i));
        item->Description = QStringLiteral("d%1").arg(i);
    }
    EXPECT_EQ(p.Items()->FindItemByValue(Variant(QStringLiteral("1")))->ImageIndex, 1);
    EXPECT_EQ(p.Items()->FindItemByValue(Variant(2))->ImageIndex, 2);
    EXPECT_EQ(p.Items()->FindItemByValue(Variant(QStringLiteral("7"))), nullptr);
    EXPECT_EQ(p.Items()->FindItemByValue(Variant(QStringLiteral("abc"))), nullptr);
    EXPECT_EQ(p.Items()->FindItemByValue(Null()), nullptr);
    EXPECT_EQ(p.GetDisplayText(Variant(3)), QStringLiteral("d3"));
}

TEST(vlImageComboBox, DrawsTheMatchingImageCentred)
{
    TImageList images(nullptr);
    for (TColor c : {clRed, clLime}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->FillRect(Rect(0, 0, 16, 16));
        images.Add(&b, nullptr);
    }
    TvlImageComboBoxProperties p(nullptr);
    p.SetImages(&images);
    p.SetShowDescriptions(false);
    p.Alignment()->SetHorz(taCenter);
    for (int i = 0; i < 2; ++i) {
        TvlImageComboBoxItem* item = p.Items()->Add();
        item->ImageIndex = i;
        item->Value = Variant(String::number(i));
    }
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    TDeviceContext dc(&image);
    TCanvas canvas;
    canvas.SetHandle(&dc);
    TvlCanvas vc(&canvas);
    TvlEditStyle style(nullptr, csNormal, nullptr, true);
    style.SetColor(clWhite);
    auto data = p.CreateViewData(&style, true);
    auto info = p.CreateViewInfo();
    data->Calculate(&vc, Rect(10, 3, 50, 27), TPoint{-1, -1}, cxmbNone, {}, info.get(), false);  // 40 x 24
    info->Value = Variant(1);
    info->Paint(&vc);
    canvas.SetHandle(nullptr);
    // Image at x 22..37, y 7..22; white around it inside the bounds.
    EXPECT_EQ(image.pixel(22, 7), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(37, 22), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(21, 15), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(38, 15), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(9, 15), qRgb(255, 0, 255));
    EXPECT_EQ(image.pixel(50, 15), qRgb(255, 0, 255));
}

}  // namespace
