#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/FFLoad.h"
#include "engine/FormatConverter.h"
#include "engine/MyUtils.h"

namespace {

class FormatConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader()->LoadLibs(DecoderLibraries)) << FFLoader()->LastError().toStdString();
    }
};

// A packed picture in memory the test owns.
struct TPackedPicture {
    std::vector<uint8_t> bytes;
    TAVPicture picture;

    TPackedPicture(int rowBytes, int height) : bytes(size_t(rowBytes) * size_t(height))
    {
        picture.data[0] = bytes.data();
        picture.linesize[0] = rowBytes;
    }
    uint8_t* Pixel(int x, int y, int bytesPerPixel) { return bytes.data() + y * picture.linesize[0] + x * bytesPerPixel; }
};

// Bars of 8 pixels: red, green, blue, white, black, as B,G,R bytes.
TPackedPicture bgrBars(int height)
{
    const uint8_t colours[5][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}};
    TPackedPicture p(40 * 3, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 40; ++x)
            std::memcpy(p.Pixel(x, y, 3), colours[x / 8], 3);
    return p;
}

const TColor barColours[5] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255), RGB(0, 0, 0)};

TEST_F(FormatConverterTest, DepthsSelectTheBitmapsOwnLayouts)
{
    struct Case { int depth; TPixelFormat format; int bits; AVPixelFormat av; };
    const Case cases[] = {
        {8, pf8bit, 8, AV_PIX_FMT_BGR8},          {15, pf15bit, 16, AV_PIX_FMT_RGB555LE},
        {16, pf16bit, 16, AV_PIX_FMT_RGB565LE},   {24, pf24bit, 24, AV_PIX_FMT_BGR24},
        {32, pf32bit, 32, AV_PIX_FMT_BGRA},       {15, pf15bit, 16, AV_PIX_FMT_RGB555LE},
    };
    TFormatConverter converter;
    EXPECT_EQ(converter.PixelFormat(), pf24bit);
    EXPECT_EQ(converter.AVPixelFormat(), AV_PIX_FMT_BGR24);
    for (const Case& c : cases) {
        converter.SetBitsPixel(c.depth);
        EXPECT_EQ(converter.PixelFormat(), c.format) << c.depth;
        EXPECT_EQ(converter.BitsPerPixel(), c.bits) << c.depth;
        EXPECT_EQ(converter.AVPixelFormat(), c.av) << c.depth;
        EXPECT_EQ(converter.Bitmap()->PixelFormat(), c.format) << c.depth;
    }
}

TEST_F(FormatConverterTest, AnUnknownDepthRaisesAndChangesNothing)
{
    TFormatConverter converter;
    converter.SetBitsPixel(16);
    try {
        converter.SetBitsPixel(12);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid BitsPixel 12"));
    }
    EXPECT_EQ(converter.PixelFormat(), pf16bit);
    EXPECT_EQ(converter.AVPixelFormat(), AV_PIX_FMT_RGB565LE);
}

TEST_F(FormatConverterTest, TheSameDepthAgainKeepsThePictureAnotherResetsIt)
{
    TFormatConverter converter;
    TPackedPicture p = bgrBars(4);
    ASSERT_TRUE(converter.FromPicture(p.picture, AV_PIX_FMT_BGR24, 40, 4, false));
    converter.SetBitsPixel(24);
    EXPECT_NE(converter.Current(), nullptr);
    converter.SetBitsPixel(32);
    EXPECT_EQ(converter.Current(), nullptr);
    EXPECT_EQ(converter.BitmapInfo().bmBits, nullptr);
    EXPECT_THROW(converter.CopyToBitmap(), EAssertionFailed);
    EXPECT_THROW(converter.CopyFromBitmap(), EAssertionFailed);
}

TEST_F(FormatConverterTest, ABitmapShapedPictureIsUsedAsItStands)
{
    TFormatConverter converter;
    TPackedPicture p(960, 240);
    for (size_t i = 0; i < p.bytes.size(); ++i)
        p.bytes[i] = uint8_t(i * 7);
    ASSERT_TRUE(converter.FromPicture(p.picture, AV_PIX_FMT_BGR24, 320, 240, true));
    ASSERT_NE(converter.Current(), nullptr);
    EXPECT_EQ(converter.Current()->data[0], p.bytes.data());
    EXPECT_EQ(converter.BufferSize(), 0);
    const TBitmapInfo& info = converter.BitmapInfo();
    EXPECT_EQ(info.bmWidth, 320);
    EXPECT_EQ(info.bmHeight, 240);
    EXPECT_EQ(info.bmWidthBytes, 960);
    EXPECT_EQ(info.bmBitsPixel, 24);
    EXPECT_EQ(info.bmBits, p.bytes.data());
    EXPECT_EQ(std::memcmp(converter.Bitmap()->ScanLine(239), p.Pixel(0, 239, 3), 960), 0);

    // The bitmap's edits go back into the caller's picture.
    converter.Bitmap()->SetPixels(5, 7, RGB(1, 2, 3));
    converter.CopyFromBitmap();
    EXPECT_EQ(p.Pixel(5, 7, 3)[0], 3);
    EXPECT_EQ(p.Pixel(5, 7, 3)[2], 1);
}

TEST_F(FormatConverterTest, AnOddWidthIsConvertedRowForRow)
{
    TFormatConverter converter;
    TPackedPicture p(963, 5);
    for (size_t i = 0; i < p.bytes.size(); ++i)
        p.bytes[i] = uint8_t(i * 13 + 1);
    ASSERT_TRUE(converter.FromPicture(p.picture, AV_PIX_FMT_BGR24, 321, 5, true));
    EXPECT_EQ(converter.Current()->data[0], converter.Picture()->data[0]);
    EXPECT_NE(converter.Current()->data[0], p.bytes.data());
    EXPECT_EQ(converter.Bitmap()->BytesPerScanLine(), 964);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(std::memcmp(converter.Bitmap()->ScanLine(y), p.Pixel(0, y, 3), 963), 0) << "row " << y;
}

TEST_F(FormatConverterTest, TheBufferIsKeptForSmallerPicturesAndReplacedForLarger)
{
    TFormatConverter converter;
    TPackedPicture big(321 * 3, 241);
    ASSERT_TRUE(converter.FromPicture(big.picture, AV_PIX_FMT_BGR24, 321, 241, false));
    const uint8_t* buffer = converter.Buffer();
    const int size = converter.BufferSize();
    EXPECT_EQ(size, 321 * 3 * 241);

    TPackedPicture small(161 * 3, 121);
    ASSERT_TRUE(converter.FromPicture(small.picture, AV_PIX_FMT_BGR24, 161, 121, false));
    EXPECT_EQ(converter.Buffer(), buffer);
    EXPECT_EQ(converter.BufferSize(), size);

    TPackedPicture larger(641 * 3, 481);
    ASSERT_TRUE(converter.FromPicture(larger.picture, AV_PIX_FMT_BGR24, 641, 481, false));
    EXPECT_EQ(converter.BufferSize(), 641 * 3 * 481);
}

// Red must stay red at every depth: 15 and 16-bit bitmaps hold RGB words.
TEST_F(FormatConverterTest, ColoursSurviveEveryDepthAndTheWayBack)
{
    for (int depth : {8, 15, 16, 24, 32}) {
        TFormatConverter converter;
        converter.SetBitsPixel(depth);
        TPackedPicture bars = bgrBars(4);
        ASSERT_TRUE(converter.FromPicture(bars.picture, AV_PIX_FMT_BGR24, 40, 4, true)) << depth;
        for (int bar = 0; bar < 5; ++bar)
            EXPECT_EQ(converter.Bitmap()->Pixels(bar * 8 + 3, 2), barColours[bar]) << depth << " bar " << bar;

        // A hook that changes nothing writes the same colours back.
        converter.CopyFromBitmap();
        TPackedPicture back(40 * 3, 4);
        ASSERT_TRUE(converter.ToPicture(back.picture, AV_PIX_FMT_BGR24, 40, 4)) << depth;
        for (int bar = 0; bar < 5; ++bar)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(back.Pixel(bar * 8 + 3, 2, 3)[c], bars.Pixel(bar * 8 + 3, 2, 3)[c], 8)
                    << depth << " bar " << bar << " channel " << c;
    }
}

TEST_F(FormatConverterTest, NoScalerForAFormatIsAResultNotACrash)
{
    TFormatConverter converter;
    TPackedPicture p(64 * 3, 4);
    EXPECT_FALSE(converter.FromPicture(p.picture, AV_PIX_FMT_VAAPI, 64, 4, true));
    EXPECT_EQ(converter.LastError(), QStringLiteral("Cannot initialize the toRGB conversion context"));
    EXPECT_EQ(converter.Current(), nullptr);

    ASSERT_TRUE(converter.FromPicture(p.picture, AV_PIX_FMT_BGR24, 64, 4, true));
    TPackedPicture out(64 * 3, 4);
    EXPECT_FALSE(converter.ToPicture(out.picture, AV_PIX_FMT_VAAPI, 64, 4));
    EXPECT_EQ(converter.LastError(), QStringLiteral("Cannot initialize the fromRGB conversion context"));
}

TEST_F(FormatConverterTest, WithoutTheScalerLibraryItRaisesTheLoadersText)
{
    TFormatConverter converter;
    TPackedPicture p(63 * 3, 4);
    FFLoader()->UnloadLib(libSwScale);
    try {
        converter.FromPicture(p.picture, AV_PIX_FMT_BGR24, 63, 4, true);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Library swscale not loaded."));
    }
    ASSERT_TRUE(FFLoader()->LoadLibs(DecoderLibraries));
    EXPECT_TRUE(converter.FromPicture(p.picture, AV_PIX_FMT_BGR24, 63, 4, true));
}

}  // namespace
