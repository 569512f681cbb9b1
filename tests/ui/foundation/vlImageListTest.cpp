// Tests of the library's image list: strips, Insert/Move/Delete in both
// stores, change batching, the copy-out of any list, the stored form and
// drawing through DrawImage.
#include <gtest/gtest.h>

#include "tests/harness/Mutation.h"
#include "ui/foundation/vlImageList.h"

namespace {

// A strip of n 16 x 16 cells, cell i filled with colour RGB(i * 40, 1, 2).
struct strip : TvlBitmap {
    explicit strip(int n) : TvlBitmap(16 * n, 16, pf24bit)
    {
        for (int i = 0; i < n; ++i) {
            Canvas()->Brush()->SetColor(RGB(uint8_t(i * 40), 1, 2));
            Canvas()->FillRect(Rect(16 * i, 0, 16 * i + 16, 16));
        }
    }
};

TColor cellColour(TvlImageList& list, int index)
{
    TBitmap image;
    TvlImageList::GetImageInfo(&list, index, &image, nullptr);
    return image.Pixels(3, 3);
}

TColor itemColour(TvlImageList& list, int index) { return list.ImageInfo()->Items(index)->Image()->Pixels(3, 3); }

TEST(vlImageList, StripsSplitIntoItems)
{
    TvlImageList list(nullptr);
    const strip three(3);
    EXPECT_EQ(list.Add(&three, nullptr), 0);
    EXPECT_EQ(list.Count(), 3);
    ASSERT_EQ(list.ImageInfo()->Count(), 3);
    EXPECT_EQ(list.ImageInfo()->Items(2)->Image()->Width(), 16);
    EXPECT_EQ(itemColour(list, 2), RGB(80, 1, 2));
    const TvlBitmap odd(20, 16);
    list.Add(&odd, nullptr);
    EXPECT_EQ(list.ImageInfo()->Count(), 4);
    EXPECT_EQ(list.ImageInfo()->Items(3)->Image()->Width(), 20);
    EXPECT_EQ(CountStripImages(&three, 16, 16), 3);
    EXPECT_EQ(CountStripImages(&odd, 16, 16), 1);

    // The whole strip comes out with index -1.
    TBitmap whole, mask;
    TvlImageList::GetImageInfo(&list, -1, &whole, &mask);
    EXPECT_EQ(whole.Width(), 16 * 4);
    EXPECT_EQ(whole.Pixels(16 + 3, 3), RGB(40, 1, 2));
    EXPECT_EQ(mask.PixelFormat(), pf1bit);
    EXPECT_EQ(mask.Pixels(3, 3), clBlack);  // drawn
}

TEST(vlImageList, InsertMoveAndDeleteKeepBothStoresInStep)
{
    TvlImageList list(nullptr);
    const strip four(4);
    list.Add(&four, nullptr);
    const strip one(1);
    list.Insert(list.Count() + 1, &one, nullptr);
    EXPECT_EQ(list.Count(), 4);
    list.Move(0, 3);  // a b c d -> b c d a
    for (int i = 0; i < 4; ++i) {
        const TColor expected = RGB(uint8_t(((i + 1) % 4) * 40), 1, 2);
        EXPECT_EQ(cellColour(list, i), expected) << i;
        EXPECT_EQ(itemColour(list, i), expected) << i;
    }
    list.Insert(list.Count(), &one, nullptr);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(itemColour(list, 4), RGB(0, 1, 2));
    list.Insert(1, &four, nullptr);
    ASSERT_EQ(list.Count(), 9);
    EXPECT_EQ(list.ImageInfo()->Count(), 9);
    EXPECT_EQ(cellColour(list, 4), RGB(120, 1, 2));
    EXPECT_EQ(itemColour(list, 4), RGB(120, 1, 2));
    EXPECT_EQ(cellColour(list, 5), RGB(80, 1, 2));  // the old second image
    list.Delete(0);
    EXPECT_EQ(list.ImageInfo()->Count(), 8);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ImageInfo()->Count(), 0);
}

TEST(vlImageList, NestedUpdatesChangeOnce)
{
    TvlImageList list(nullptr);
    int changes = 0;
    struct Counter {
        int* N;
        void Changed(TObject*) { ++*N; }
    } counter{&changes};
    list.OnChange = TNotifyEvent(&counter, &Counter::Changed);
    const strip two(2);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(&two, nullptr);
    list.Move(0, 1);
    list.EndUpdate();
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
}

TEST(vlImageList, AssignAndStoredFormRoundTrip)
{
    TvlImageList list(nullptr);
    const strip three(3);
    list.AddMasked(&three, RGB(40, 1, 2));  // the second cell becomes see-through
    TvlBitmap32 alpha(16, 16, true);
    static_cast<uint32_t*>(alpha.ScanLine(5))[5] = 0x80402010;
    list.Add(&alpha, nullptr);
    list.SetCompressData(true);
    const QByteArray stored = GetBinaryProp(&list, QStringLiteral("ImageInfo"));
    EXPECT_EQ(GetOrdProp(&list, QStringLiteral("FormatVersion")), 1);

    TvlImageList copy(nullptr);
    SetBinaryProp(&copy, QStringLiteral("ImageInfo"), stored);
    ASSERT_EQ(copy.Count(), 4);
    EXPECT_TRUE(ImageListsEqual(&list, &copy));
    EXPECT_EQ(copy.ImageInfo()->Items(1)->MaskColor(), RGB(40, 1, 2));
    TvlBitmap32 out(16, 16, true);
    copy.GetItemImageInfo(3, &out, nullptr);
    EXPECT_EQ(static_cast<uint32_t*>(out.ScanLine(5))[5], 0x80402010u);

    TvlImageList assigned(nullptr);
    assigned.Assign(&list);
    EXPECT_TRUE(ImageListsEqual(&list, &assigned));
    TImageList plain(nullptr);
    plain.Assign(&list);
    TvlImageList fromPlain(nullptr);
    fromPlain.Assign(&plain);
    EXPECT_EQ(fromPlain.ImageInfo()->Count(), 4);
    TImageList empty1(nullptr), empty2(nullptr);
    EXPECT_TRUE(ImageListsEqual(&empty1, &empty2));
    // No images: nothing stored.
    EXPECT_FALSE(GetPropInfo(&empty1, QStringLiteral("ImageInfo")) != nullptr &&
                 GetPropInfo(&empty1, QStringLiteral("ImageInfo"))->StoredFn(&empty1));
    TvlImageList none(nullptr);
    EXPECT_FALSE(GetPropInfo(&none, QStringLiteral("ImageInfo"))->StoredFn(&none));

    // Damaged data changes nothing.
    EXPECT_THROW(SetBinaryProp(&copy, QStringLiteral("ImageInfo"), stored.left(stored.size() - 3)), EInvalidGraphic);
    EXPECT_EQ(copy.Count(), 4);
}

TEST(vlImageListMutation, StoredImageInfoTakesAnyBytes)
{
    TvlImageList list(nullptr);
    const strip two(2);
    list.Add(&two, nullptr);
    const QByteArray plain = list.ImageInfoData();
    list.SetCompressData(true);
    const QByteArray packed = list.ImageInfoData();
    auto check = [](const QByteArray& in) {
        TvlImageList target(nullptr);
        try {
            target.SetImageInfoData(in);
        } catch (const Exception&) {
            EXPECT_EQ(target.Count(), 0);
        }
    };
    vorlane::test::ForEachMutation({plain, packed}, 110, 250, check);
    vorlane::test::ForEachTruncation(packed, check);
}

TEST(vlImageList, DisabledDrawingGoesThroughDrawImage)
{
    TvlImageList list(nullptr);
    TvlBitmap32 image(16, 16, true);
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 10; ++x)
            static_cast<uint32_t*>(image.ScanLine(y))[x] = 0xFF0000C0;
    list.Add(&image, nullptr);
    TvlBitmap32 viaList(20, 20, true), direct(20, 20, true);
    list.Draw(viaList.Canvas(), 2, 2, 0, false);
    DrawImage(direct.Canvas()->Handle(), Rect(2, 2, 18, 18), Rect(2, 2, 18, 18), nullptr, &list, 0, idmDisabled);
    EXPECT_EQ(viaList.Data(), direct.Data());
    // Disabled with alpha: greyed and blended at 151 over black.
    EXPECT_EQ(viaList.Canvas()->Pixels(6, 6) & 0xFF, (viaList.Canvas()->Pixels(6, 6) >> 8) & 0xFF);
    EXPECT_NE(viaList.Canvas()->Pixels(6, 6), clBlack);
}

}  // namespace
