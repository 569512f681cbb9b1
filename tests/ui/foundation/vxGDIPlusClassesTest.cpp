// Tests of the PNG picture format: registration with picture loading, round
// trips, BMP sniffing, pixel equality and drawing with a constant alpha.
#include <gtest/gtest.h>

#include "platform/rtl/Startup.h"
#include "tests/harness/Mutation.h"
#include "ui/foundation/vxGDIPlusAPI.h"
#include "ui/foundation/vxGDIPlusClasses.h"

namespace {

// The two units started for the test's lifetime.
struct Units {
    Units()
    {
        AddvxGDIPlusAPIUnit(List);
        AddvxGDIPlusClassesUnit(List);
        List.Initialize();
    }
    ~Units() { List.Finalize(); }
    TStartupList List;
};

std::unique_ptr<TvxPNGImage> sample()
{
    TRGBColors bits;
    for (int i = 0; i < 12; ++i) {
        const uint32_t a = uint32_t(i * 20 + 15);
        bits.push_back(a << 24 | (a / 2) << 16 | (a / 3) << 8 | (a * i % (a + 1)));  // premultiplied
    }
    auto png = std::make_unique<TvxPNGImage>();
    png->SetImage(TvxGPImage::CreateFromBits(4, 3, bits, true));
    return png;
}

TEST(vxPNGImage, PictureLoadingRoundTrip)
{
    const Units units;
    const auto original = sample();
    TMemoryStream stream;
    original->SaveToStream(&stream);
    stream.SetPosition(0);
    TPicture picture;
    picture.LoadFromStream(&stream);
    auto* loaded = dynamic_cast<TvxPNGImage*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->IsEqual(original.get()));
    EXPECT_TRUE(loaded->Transparent());
    loaded->SetWidth(50);
    loaded->SetHeight(1);
    EXPECT_EQ(loaded->Width(), 4);
    EXPECT_EQ(loaded->Height(), 3);

    // One alpha byte differs.
    TRGBColors bits;
    original->Image()->GetBitmapBits(bits);
    bits[5] -= 0x01000000;
    TvxPNGImage other;
    other.SetImage(TvxGPImage::CreateFromBits(4, 3, bits, true));
    EXPECT_FALSE(other.IsEqual(original.get()));
}

TEST(vxPNGImage, BitmapStreamsAndShortStreams)
{
    const Units units;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(5, 2);
    bitmap.Canvas()->Brush()->SetColor(RGB(1, 2, 3));
    bitmap.Canvas()->FillRect(Rect(0, 0, 5, 2));
    TMemoryStream stream;
    bitmap.SaveToStream(&stream);
    stream.SetPosition(0);
    TvxPNGImage png;
    png.LoadFromStream(&stream);
    ASSERT_EQ(png.Width(), 5);
    EXPECT_EQ(png.Image()->Image().pixel(4, 1), 0xFF010203u);  // without alpha: opaque

    TMemoryStream shortStream;
    shortStream.WriteBuffer("\x89PNG\r\n\x1a\n\0\0\0\0\0", 13);
    shortStream.SetPosition(0);
    png.LoadFromStream(&shortStream);
    EXPECT_TRUE(png.Empty());

    TMemoryStream garbage;
    garbage.WriteBuffer("not a picture at all", 20);
    garbage.SetPosition(0);
    try {
        png.LoadFromStream(&garbage);
        FAIL();
    } catch (const EvxGdipException& e) {
        EXPECT_EQ(e.Status(), 2);
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid operation in GDI+ (Code: 2)"));
    }
}

TEST(vxPNGImage, DrawsWithAConstantAlpha)
{
    TRGBColors white(4, 0xFFFFFFFFu);
    const auto image = TvxGPImage::CreateFromBits(2, 2, white, true);
    TBitmap target;
    target.SetSize(4, 4);
    target.Canvas()->Brush()->SetColor(clBlack);
    target.Canvas()->FillRect(Rect(0, 0, 4, 4));
    image->Draw(target.Canvas()->Handle(), Rect(1, 1, 3, 3), 128, Rect(0, 0, 2, 2));
    EXPECT_NEAR(GetRValue(target.Pixels(1, 1)), 128, 1);
    EXPECT_EQ(target.Pixels(0, 0), clBlack);
    EXPECT_EQ(target.Pixels(3, 3), clBlack);
    // A rectangle clipped away draws nothing and raises nothing.
    EXPECT_NO_THROW(image->Draw(target.Canvas()->Handle(), Rect(10, 10, 12, 12), 255, Rect(0, 0, 2, 2)));
}

TEST(vxUnitsLoader, FinalizersRunLastFirst)
{
    TvxUnitsLoader loader;
    std::vector<int> order;
    loader.RegisterUnit(QStringLiteral("a"), [&] { order.push_back(1); }, [&] { order.push_back(-1); });
    loader.RegisterUnit(QStringLiteral("b"), [&] { order.push_back(2); }, [&] { order.push_back(-2); });
    loader.RegisterUnit(QStringLiteral("c"), {}, [&] { order.push_back(-3); });
    loader.UnregisterUnit(QStringLiteral("b"));
    loader.RunFinalizers();
    EXPECT_EQ(order, (std::vector<int>{1, 2, -2, -3, -1}));
    EXPECT_EQ(loader.Count(), 0);
}

TEST(vxPNGImageMutation, PictureLoadingTakesAnyBytes)
{
    const Units units;
    TMemoryStream png;
    sample()->SaveToStream(&png);
    TMemoryStream bmp;
    TBitmap b;
    b.SetSize(3, 2);
    b.SaveToStream(&bmp);
    const std::vector<QByteArray> seeds = {
        QByteArray(static_cast<const char*>(png.Memory()), qsizetype(png.Size())),
        QByteArray(static_cast<const char*>(bmp.Memory()), qsizetype(bmp.Size()))};
    auto check = [](const QByteArray& in) {
        TMemoryStream s;
        s.WriteBuffer(in.constData(), in.size());
        try {
            s.SetPosition(0);
            TPicture picture;
            picture.LoadFromStream(&s);
        } catch (const Exception&) {
        }
        try {
            s.SetPosition(0);
            TvxPNGImage image;
            image.LoadFromStream(&s);
        } catch (const Exception&) {
        }
    };
    vorlane::test::ForEachMutation(seeds, 104, 200, check);
    vorlane::test::ForEachTruncation(seeds[0], check);
}

}  // namespace
