// Tests of the image combo box: items, value matching, and the cells it
// draws (the job list's status column).
#include <QImage>
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImgList.h"
#include "ui/editors/vlImageComboBox.h"

namespace {

const TColor kColors[4] = {clRed, clLime, clBlue, clYellow};

QRgb rgbOf(TColor C)
{
    const uint32_t c = uint32_t(ColorToRGB(C));
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// Four 16 x 16 images of one colour each, and properties set up as the job
// list's status column: values "0" to "3", no descriptions, centred.
class StatusCell : public ::testing::Test {
protected:
    StatusCell() : Images(nullptr), Properties(nullptr)
    {
        for (TColor c : kColors) {
            TBitmap b;
            b.SetSize(16, 16);
            b.Canvas()->Brush()->SetColor(c);
            b.Canvas()->FillRect(Rect(0, 0, 16, 16));
            Images.Add(&b, nullptr);
        }
        Properties.SetImages(&Images);
        Properties.SetShowDescriptions(false);
        Properties.SetReadOnly(true);
        Properties.SetImmediateDropDown(false);
        Properties.SetPopupAlignment(taCenter);
        Properties.Alignment()->SetHorz(taCenter);
        Properties.Alignment()->SetVert(taVCenter);
        for (int i = 0; i < 4; ++i) {
            TvlImageComboBoxItem* item = Properties.Items()->Add();
            item->SetValue(Variant(String::number(i)));
            item->SetDescription(QStringLiteral("Item%1").arg(i));
        }
    }

    // One cell of AWidth x 24 at (0, 0), drawn in place on a magenta sentinel.
    QImage cell(const Variant& AValue, int AWidth = 50, int AHeight = 24)
    {
        QImage image(AWidth + 10, AHeight + 10, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        TDeviceContext dc(&image);
        TCanvas canvas;
        canvas.SetHandle(&dc);
        TvlCanvas vc(&canvas);
        TvlEditStyle style(nullptr, csNormal, nullptr, true);
        style.SetColor(clWhite);
        style.SetTextColor(clBlack);
        style.SetButtonTransparency(ebtHideInactive);
        auto data = Properties.CreateViewData(&style, true);
        auto info = Properties.CreateViewInfo();
        data->Calculate(&vc, Rect(0, 0, AWidth, AHeight), TPoint{-1, -1}, cxmbNone, {}, info.get(), false);
        info->Value = AValue;
        data->EditValueToDrawValue(AValue, info.get());
        info->Paint(&vc);
        canvas.SetHandle(nullptr);
        return image;
    }

    TImageList Images;
    TvlImageComboBoxProperties Properties;
};

// The job list writes "0" and "1" as text and 2 as an integer: each shows
// its image centred at x 17..32, y 4..19 and nothing around it.
TEST_F(StatusCell, EachValueDrawsItsImageCentred)
{
    const struct {
        Variant Value;
        int Image;
    } cases[] = {{Variant(QStringLiteral("0")), 0}, {Variant(QStringLiteral("1")), 1}, {Variant(2), 2},
                 {Variant(QStringLiteral("3")), 3}, {Variant(QStringLiteral("7")), -1}, {Null(), -1}};
    for (const auto& c : cases) {
        const QImage img = cell(c.Value);
        const std::string name = VarIsNull(c.Value) ? "Null" : VarToStr(c.Value).toStdString();
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 50; ++x) {
                const bool inside = c.Image >= 0 && x >= 17 && x < 33 && y >= 4 && y < 20;
                const QRgb expected = inside ? rgbOf(kColors[c.Image]) : qRgb(255, 255, 255);
                ASSERT_EQ(img.pixel(x, y), expected) << name << " at " << x << "," << y;
            }
        EXPECT_EQ(img.pixel(50, 10), qRgb(255, 0, 255)) << name;  // nothing outside the cell
    }
}

// With descriptions on, a cell too narrow for the image plus 4 pixels shows
// the image cut at the cell's inner edge and no text at all.
TEST_F(StatusCell, NarrowCellClipsTheImageAndDrawsNoText)
{
    Properties.SetShowDescriptions(true);
    const QImage img = cell(Variant(QStringLiteral("1")), 15);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 15; ++x) {
            const bool inside = x >= 2 && x < 13 && y >= 4 && y < 20;
            ASSERT_EQ(img.pixel(x, y), inside ? rgbOf(clLime) : qRgb(255, 255, 255)) << x << "," << y;
        }
    EXPECT_EQ(img.pixel(15, 10), qRgb(255, 0, 255));
}

// ShowDescriptions with iaRight in a grid cell: the image 2 pixels in from
// the right edge, the text ending left of the 4-pixel gap.
TEST_F(StatusCell, RightImageWithDescriptionLeftOfIt)
{
    Properties.SetShowDescriptions(true);
    Properties.SetImageAlign(iaRight);
    Properties.Alignment()->SetHorz(taRightJustify);
    const QImage img = cell(Variant(QStringLiteral("2")), 120);
    EXPECT_EQ(img.pixel(102, 10), rgbOf(clBlue));
    EXPECT_EQ(img.pixel(117, 10), rgbOf(clBlue));
    EXPECT_EQ(img.pixel(118, 10), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(101, 10), qRgb(255, 255, 255));
    int rightmostText = -1;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 102; ++x)
            if (img.pixel(x, y) == qRgb(0, 0, 0))
                rightmostText = std::max(rightmostText, x);
    EXPECT_GE(rightmostText, 80);  // right-aligned, near the image
    EXPECT_LT(rightmostText, 98);  // the 4-pixel gap stays free
}

// A value with no item shows the default image and, with descriptions, the
// default description.
TEST_F(StatusCell, DefaultsForAValueWithoutItem)
{
    Properties.SetDefaultImageIndex(3);
    Properties.SetDefaultDescription(QStringLiteral("none"));
    String text;
    int image = -1;
    Properties.GetDescriptionAndImage(Variant(QStringLiteral("7")), text, image);
    EXPECT_EQ(image, 3);
    EXPECT_EQ(text, String());  // descriptions are off
    Properties.SetShowDescriptions(true);
    Properties.GetDescriptionAndImage(Null(), text, image);
    EXPECT_EQ(text, QStringLiteral("none"));
    EXPECT_EQ(cell(Null()).pixel(8, 11), rgbOf(clYellow));  // at the left: descriptions show
    // The display text always carries the description.
    EXPECT_EQ(Properties.GetDisplayText(Variant(1)), QStringLiteral("Item1"));
    EXPECT_EQ(Properties.GetDisplayText(Variant(9)), QStringLiteral("none"));
}

TEST_F(StatusCell, FindItemByValue)
{
    Properties.Items()->Add()->SetValue(Variant(true));
    Properties.Items()->Add()->SetValue(Variant(2.5));
    const struct {
        Variant Value;
        int Index;
    } cases[] = {
        {Variant(QStringLiteral("1")), 1},  // the same text
        {Variant(2), 2},                    // an integer finds its text
        {Variant(int64_t(3)), 3},
        {Variant(0.0), 0},
        {Variant(QStringLiteral("2.0")), -1},  // two texts compare as texts
        {Variant(QStringLiteral("True")), 4},  // a Boolean compares by its text
        {Variant(-1), -1},
        {Variant(QStringLiteral("abc")), -1},  // a failed conversion is no match
        {Variant(2.5), 5},
        {Null(), -1},
        {Variant(QStringLiteral("7")), -1},
    };
    for (const auto& c : cases) {
        const TvlImageComboBoxItem* item = Properties.FindItemByValue(c.Value);
        const std::string name = VarIsNull(c.Value) ? "Null" : VarToStr(c.Value).toStdString();
        EXPECT_EQ(item != nullptr ? item->Index() : -1, c.Index) << name;
    }
}

TEST_F(StatusCell, ItemsSettersAssignAndDisplayComparison)
{
    int changes = 0;
    struct TCounter : TObject {
        int* Count;
        void changed(TObject*) { ++*Count; }
    } counter;
    counter.Count = &changes;
    Properties.OnPropertiesChanged = TNotifyEvent(&counter, &TCounter::changed);

    TvlImageComboBoxItem* item = Properties.Items()->Items(0);
    item->SetValue(Variant(QStringLiteral("0")));  // same type and content: no change
    EXPECT_EQ(changes, 0);
    item->SetValue(Variant(0));  // another type is a change
    EXPECT_EQ(changes, 1);
    item->SetDescription(QStringLiteral("Item0"));
    item->SetImageIndex(0);
    EXPECT_EQ(changes, 1);

    // Added while the list holds enough images: the image of its own index.
    // The fifth gets none: there are only four images.
    TvlImageComboBoxProperties fresh(nullptr);
    fresh.SetImages(&Images);
    for (int i = 0; i < 5; ++i)
        fresh.Items()->Add();
    EXPECT_EQ(fresh.Items()->Items(3)->ImageIndex(), 3);
    EXPECT_EQ(fresh.Items()->Items(4)->ImageIndex(), -1);

    // Two values whose items share description and image show alike.
    Properties.Items()->Items(3)->SetDescription(QStringLiteral("Item2"));
    EXPECT_FALSE(Properties.CompareDisplayValues(Variant(2), Variant(3)));
    Properties.Items()->Items(3)->SetImageIndex(2);
    EXPECT_TRUE(Properties.CompareDisplayValues(Variant(2), Variant(3)));

    // Assign copies the items: the copy does not follow the source.
    TvlImageComboBoxProperties copy(nullptr);
    copy.Assign(&Properties);
    EXPECT_EQ(copy.Items()->Count(), 4);
    EXPECT_EQ(copy.Images(), &Images);
    EXPECT_FALSE(copy.ShowDescriptions());
    EXPECT_EQ(copy.PopupAlignment(), taCenter);
    EXPECT_EQ(copy.DropDownListStyle(), lsFixedList);
    Properties.Items()->Items(1)->SetDescription(QStringLiteral("changed"));
    EXPECT_EQ(copy.Items()->Items(1)->Description(), QStringLiteral("Item1"));
    Properties.OnPropertiesChanged = {};
}

// An image list that goes away leaves the properties without one.
TEST(vlImageComboBox, FreedImageListIsCleared)
{
    TvlImageComboBoxProperties p(nullptr);
    {
        TImageList images(nullptr);
        p.SetImages(&images);
        p.SetLargeImages(&images);
        EXPECT_EQ(p.Images(), &images);
    }
    EXPECT_EQ(p.Images(), nullptr);
    EXPECT_EQ(p.LargeImages(), nullptr);
}

}  // namespace
