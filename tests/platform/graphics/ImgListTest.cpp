#include <gtest/gtest.h>
#include <memory>

#include "platform/graphics/ImgList.h"

namespace {

// A strip of Count 4x4 cells: a fuchsia background with one coloured pixel
// at (1,1) of each cell.
std::unique_ptr<TBitmap> strip(int count, TColor dot = clBlue)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(4 * count, 4);
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(Rect(0, 0, 4 * count, 4));
    for (int i = 0; i < count; ++i)
        b->SetPixels(4 * i + 1, 1, dot);
    return b;
}

std::unique_ptr<TBitmap> greenCanvas()
{
    auto target = std::make_unique<TBitmap>();
    target->SetSize(12, 12);
    target->Canvas()->Brush()->SetColor(clLime);
    target->Canvas()->FillRect(Rect(0, 0, 12, 12));
    return target;
}

TEST(ImgListTest, AddMaskedSplitsStripsAndLeavesTheMaskColourOut)
{
    TImageList list(nullptr);
    list.SetWidth(4);
    list.SetHeight(4);
    const auto images = strip(3);
    EXPECT_EQ(list.AddMasked(images.get(), clFuchsia), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.AddMasked(images.get(), clDefault), 3);  // bottom-left pixel: fuchsia too
    EXPECT_EQ(list.Count(), 6);

    auto target = greenCanvas();
    list.Draw(target->Canvas(), 2, 2, 4);
    EXPECT_EQ(target->Pixels(3, 3), clBlue);
    EXPECT_EQ(target->Pixels(2, 2), clLime);
    EXPECT_EQ(target->Pixels(5, 5), clLime);

    list.Draw(target->Canvas(), 0, 0, 6);  // out of range: nothing
    list.Draw(target->Canvas(), 0, 0, -1);
    EXPECT_EQ(target->Pixels(0, 0), clLime);

    TBitmap mask;
    ASSERT_TRUE(list.GetMask(0, &mask));
    EXPECT_EQ(mask.Pixels(1, 1), clBlack);
    EXPECT_EQ(mask.Pixels(0, 0), clWhite);
    EXPECT_FALSE(list.GetMask(9, &mask));
}

TEST(ImgListTest, AddUsesAMaskBitmapOrDrawsEverything)
{
    TImageList list(nullptr);
    list.SetWidth(4);
    list.SetHeight(4);
    const auto image = strip(1, clRed);
    TBitmap mask;
    mask.SetSize(4, 4);  // white: not drawn
    mask.SetPixels(0, 0, clBlack);
    EXPECT_EQ(list.Add(image.get(), &mask), 0);
    EXPECT_EQ(list.Add(image.get(), nullptr), 1);
    EXPECT_EQ(list.Add(nullptr, nullptr), -1);

    auto target = greenCanvas();
    list.Draw(target->Canvas(), 0, 0, 0);
    EXPECT_EQ(target->Pixels(0, 0), clFuchsia);
    EXPECT_EQ(target->Pixels(1, 1), clLime);
    list.Draw(target->Canvas(), 4, 4, 1);
    EXPECT_EQ(target->Pixels(4, 4), clFuchsia);
    EXPECT_EQ(target->Pixels(5, 5), clRed);

    // Without masking every pixel is drawn.
    TImageList plain(nullptr);
    plain.SetWidth(4);
    plain.SetHeight(4);
    plain.SetMasked(false);
    plain.Add(image.get(), &mask);
    auto t2 = greenCanvas();
    plain.Draw(t2->Canvas(), 0, 0, 0);
    EXPECT_EQ(t2->Pixels(2, 2), clFuchsia);
}

TEST(ImgListTest, EditingKeepsOrderAndChecksIndexes)
{
    TImageList list(nullptr);
    list.SetWidth(4);
    list.SetHeight(4);
    const auto red = strip(1, clRed), blue = strip(1, clBlue), lime = strip(1, clLime);
    list.AddMasked(red.get(), clFuchsia);
    list.AddMasked(blue.get(), clFuchsia);
    list.InsertMasked(0, lime.get(), clFuchsia);
    const auto dotAt = [&](int i) {
        TBitmap b;
        list.GetBitmap(i, &b);
        return b.Pixels(1, 1);
    };
    EXPECT_EQ(dotAt(0), clLime);
    EXPECT_EQ(dotAt(1), clRed);
    list.Move(0, 2);
    EXPECT_EQ(dotAt(2), clLime);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(dotAt(0), clBlue);
    try {
        list.Delete(2);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid ImageList Index"));
    }
    EXPECT_THROW(list.SetWidth(0), EInvalidOperation);
    list.SetWidth(8);  // a new size empties the list
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImgListTest, DisabledDrawingGreysTheImage)
{
    TImageList list(nullptr);
    list.SetWidth(4);
    list.SetHeight(4);
    const auto image = strip(1, clBlack);
    list.AddMasked(image.get(), clFuchsia);
    auto target = greenCanvas();
    list.Draw(target->Canvas(), 0, 0, 0, false);
    EXPECT_EQ(target->Pixels(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(target->Pixels(2, 2), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(target->Pixels(3, 3), clLime);
}

}  // namespace

namespace {

TEST(ImgListChangeLink, LinksHearChangesAndForgetAListThatGoesAway)
{
    struct Counter : TObject {
        int Count = 0;
        TObject* Last = nullptr;
        void changed(TObject* Sender) { ++Count; Last = Sender; }
    } counter;
    TChangeLink link;
    link.OnChange = TNotifyEvent(&counter, &Counter::changed);
    {
        TImageList list(nullptr);
        list.RegisterChanges(&link);
        list.RegisterChanges(&link);  // once only
        EXPECT_EQ(link.Sender(), &list);
        TBitmap b;
        b.SetSize(16, 16);
        list.Add(&b, nullptr);
        EXPECT_EQ(counter.Count, 1);
        EXPECT_EQ(counter.Last, &list);
        list.UnRegisterChanges(&link);
        list.Clear();
        EXPECT_EQ(counter.Count, 1);
        list.RegisterChanges(&link);
    }
    EXPECT_EQ(link.Sender(), nullptr);
}

}  // namespace
