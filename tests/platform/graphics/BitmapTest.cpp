#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <QtEndian>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "platform/graphics/Bitmap.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::unique_ptr<TBitmap> makeBitmap(TPixelFormat format, int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(width, height);
    return bitmap;
}

const uint8_t* rowBytes(const TBitmap& bitmap, int row)
{
    return static_cast<const uint8_t*>(bitmap.ScanLine(row));
}

Bytes pixelBytes(const TBitmap& bitmap, int x, int y, size_t size)
{
    const uint8_t* p = rowBytes(bitmap, y) + size_t(x) * size;
    return Bytes(p, p + size);
}

struct LayoutCase {
    const char* name;
    TPixelFormat format;
    Bytes bytes;
    TColor color;
    Bytes white;
};

// Bytes as the pixel lies in memory, and the colour it stands for.
const LayoutCase layoutCases[] = {
    {"pf24bit", pf24bit, {0xF9, 0xA5, 0x77}, 16360823, {0xFF, 0xFF, 0xFF}},
    {"pf32bit", pf32bit, {0xF9, 0xA5, 0x77, 0xFF}, 16360823, {0xFF, 0xFF, 0xFF, 0x00}},
    {"pf16bit red", pf16bit, {0x00, 0xF8}, clRed, {0xFF, 0xFF}},
    {"pf16bit green", pf16bit, {0xE0, 0x07}, clLime, {0xFF, 0xFF}},
    {"pf16bit blue", pf16bit, {0x1F, 0x00}, clBlue, {0xFF, 0xFF}},
    {"pf15bit red", pf15bit, {0x00, 0x7C}, clRed, {0xFF, 0x7F}},
    {"pf15bit green", pf15bit, {0xE0, 0x03}, clLime, {0xFF, 0x7F}},
    {"pf15bit blue", pf15bit, {0x1F, 0x00}, clBlue, {0xFF, 0x7F}},
};

TEST(BitmapTest, ScanLineBytesMatchPixelColours)
{
    for (const LayoutCase& c : layoutCases) {
        SCOPED_TRACE(c.name);
        auto bitmap = makeBitmap(c.format, 3, 2);
        ASSERT_EQ(bitmap->PixelFormat(), c.format);
        const size_t size = c.bytes.size();

        // Bytes in, colour out; row 0 is the top row.
        std::memcpy(static_cast<uint8_t*>(bitmap->ScanLine(0)) + size, c.bytes.data(), size);
        EXPECT_EQ(bitmap->Pixels(1, 0), c.color);
        EXPECT_EQ(bitmap->Pixels(1, 1), clWhite);

        // Colour in, bytes out.
        bitmap->SetPixels(2, 1, c.color);
        EXPECT_EQ(pixelBytes(*bitmap, 2, 1, size), c.bytes);
        EXPECT_EQ(pixelBytes(*bitmap, 2, 0, size), c.white) << "the other row stays white";
    }
}

TEST(BitmapTest, HandleTellsSizeRowBytesAndDepthWhileThereArePixels)
{
    const struct {
        TPixelFormat format;
        int bits, rowBytes;
    } cases[] = {{pf1bit, 1, 4}, {pf8bit, 8, 8}, {pf16bit, 16, 12}, {pf24bit, 24, 16}, {pf32bit, 32, 20}};
    for (const auto& c : cases) {
        TBitmap bitmap;
        EXPECT_EQ(bitmap.Handle(), nullptr);  // empty: no pixels to name
        bitmap.SetPixelFormat(c.format);
        bitmap.SetSize(5, 3);
        BITMAP info;
        ASSERT_TRUE(GetObject(bitmap.Handle(), info)) << c.bits;
        EXPECT_EQ(info.bmWidth, 5);
        EXPECT_EQ(info.bmHeight, 3);
        EXPECT_EQ(info.bmBitsPixel, c.bits);
        EXPECT_EQ(info.bmWidthBytes, c.rowBytes) << c.bits;
        EXPECT_EQ(info.bmPlanes, 1);
    }
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(2, 2);
    const HBITMAP handle = bitmap->Handle();
    bitmap->SetSize(0, 0);
    BITMAP info;
    info.bmWidth = 9;
    EXPECT_FALSE(GetObject(handle, info));  // emptied
    bitmap->SetSize(4, 1);
    EXPECT_EQ(bitmap->Handle(), handle);
    bitmap.reset();
    EXPECT_FALSE(GetObject(handle, info));  // gone
    EXPECT_EQ(info.bmWidth, 9);
}

TEST(BitmapTest, FourthByteOfA32BitPixelIsIgnoredUnlessAlphaIsDefined)
{
    auto bitmap = makeBitmap(pf32bit, 2, 1);
    const uint8_t pixel[4] = {0xF9, 0xA5, 0x77, 0x00};
    std::memcpy(bitmap->ScanLine(0), pixel, 4);
    EXPECT_EQ(bitmap->Pixels(0, 0), 16360823);
    EXPECT_EQ(bitmap->Image().pixelColor(0, 0).alpha(), 255);

    bitmap->SetAlphaFormat(afDefined);
    EXPECT_EQ(pixelBytes(*bitmap, 0, 0, 4), Bytes({0xF9, 0xA5, 0x77, 0x00}));
    EXPECT_EQ(bitmap->Image().pixelColor(0, 0).alpha(), 0);

    // Converting drops the fourth byte rather than fading the colour.
    bitmap->SetPixelFormat(pf24bit);
    EXPECT_EQ(bitmap->Pixels(0, 0), 16360823);
}

// The rule of 32-bit device-independent bitmaps: new pixels and pixels the
// canvas draws hold 0 in the fourth byte; a byte written by hand stays
// until the canvas draws over it.
TEST(BitmapTest, CanvasDrawingLeavesTheFourthByteZero)
{
    auto bitmap = makeBitmap(pf32bit, 3, 1);
    EXPECT_EQ(pixelBytes(*bitmap, 0, 0, 4), Bytes({0xFF, 0xFF, 0xFF, 0x00}));
    const uint8_t opaque[4] = {1, 2, 3, 0xFF};
    std::memcpy(bitmap->ScanLine(0), opaque, 4);
    std::memcpy(static_cast<uint8_t*>(bitmap->ScanLine(0)) + 8, opaque, 4);
    bitmap->Canvas()->Brush()->SetColor(clBlue);
    bitmap->Canvas()->FillRect(Rect(0, 0, 2, 1));
    EXPECT_EQ(pixelBytes(*bitmap, 0, 0, 4), Bytes({0xFF, 0x00, 0x00, 0x00}));
    EXPECT_EQ(pixelBytes(*bitmap, 1, 0, 4), Bytes({0xFF, 0x00, 0x00, 0x00}));
    EXPECT_EQ(pixelBytes(*bitmap, 2, 0, 4), Bytes({1, 2, 3, 0xFF}));
}

TEST(BitmapTest, PremultiplyingRewritesColourBytes)
{
    auto bitmap = makeBitmap(pf32bit, 1, 1);
    bitmap->SetAlphaFormat(afDefined);
    const uint8_t pixel[4] = {200, 100, 50, 128};
    std::memcpy(bitmap->ScanLine(0), pixel, 4);
    bitmap->SetAlphaFormat(afPremultiplied);
    const Bytes premultiplied = pixelBytes(*bitmap, 0, 0, 4);
    EXPECT_NEAR(premultiplied[0], 100, 1);
    EXPECT_NEAR(premultiplied[1], 50, 1);
    EXPECT_NEAR(premultiplied[2], 25, 1);
    EXPECT_EQ(premultiplied[3], 128);
    bitmap->SetAlphaFormat(afDefined);
    const Bytes back = pixelBytes(*bitmap, 0, 0, 4);
    EXPECT_NEAR(back[0], 200, 2);
    EXPECT_NEAR(back[1], 100, 2);
    EXPECT_NEAR(back[2], 50, 2);
    EXPECT_EQ(back[3], 128);
}

TEST(BitmapTest, EightBitPixelsIndexThePalette)
{
    auto bitmap = makeBitmap(pf8bit, 4, 2);
    const std::vector<TColor> ramp = bitmap->ColorTable();
    ASSERT_EQ(ramp.size(), 256u);
    EXPECT_EQ(ramp[0], clBlack);
    EXPECT_EQ(ramp[128], RGB(128, 128, 128));
    EXPECT_EQ(ramp[255], clWhite);
    EXPECT_EQ(rowBytes(*bitmap, 1)[3], 255) << "new pixels are white";

    static_cast<uint8_t*>(bitmap->ScanLine(0))[1] = 0x80;
    EXPECT_EQ(bitmap->Pixels(1, 0), RGB(128, 128, 128));

    // Pixels keep their indexes when the palette changes.
    bitmap->SetColorTable({clRed, clLime, clBlue, clWhite});
    ASSERT_EQ(bitmap->ColorTable().size(), 256u);
    EXPECT_EQ(bitmap->ColorTable()[4], clBlack);
    static_cast<uint8_t*>(bitmap->ScanLine(0))[2] = 2;
    EXPECT_EQ(bitmap->Pixels(2, 0), clBlue);
    EXPECT_EQ(bitmap->Pixels(1, 0), clBlack);  // index 0x80, padding entry

    bitmap->SetPixels(3, 1, RGB(10, 240, 20));  // nearest entry: clLime
    EXPECT_EQ(rowBytes(*bitmap, 1)[3], 1);
    bitmap->SetPixels(0, 1, clBtnFace);
    EXPECT_EQ(bitmap->Pixels(0, 1), clWhite) << "system colours are resolved first, then matched";
}

TEST(BitmapTest, OneBitPixelsAreMostSignificantBitFirst)
{
    auto bitmap = makeBitmap(pf1bit, 10, 2);
    EXPECT_EQ(bitmap->ColorTable(), std::vector<TColor>({clBlack, clWhite}));
    auto* row = static_cast<uint8_t*>(bitmap->ScanLine(0));
    row[0] = 0x40;
    row[1] = 0x00;
    EXPECT_EQ(bitmap->Pixels(0, 0), clBlack);
    EXPECT_EQ(bitmap->Pixels(1, 0), clWhite);
    EXPECT_EQ(bitmap->Pixels(9, 0), clBlack);

    row[0] = 0x00;
    bitmap->SetPixels(2, 0, clWhite);
    bitmap->SetPixels(8, 0, RGB(250, 250, 250));
    EXPECT_EQ(rowBytes(*bitmap, 0)[0], 0x20);
    EXPECT_EQ(rowBytes(*bitmap, 0)[1], 0x80);
}

TEST(BitmapTest, RowsAreFourByteAligned)
{
    const struct {
        TPixelFormat format;
        int width;
        int bits;
        int stride;
    } cases[] = {
        {pf1bit, 1, 1, 4},    {pf1bit, 33, 1, 8},   {pf8bit, 5, 8, 8},   {pf8bit, 8, 8, 8},
        {pf15bit, 3, 16, 8},  {pf16bit, 2, 16, 4},  {pf24bit, 1, 24, 4}, {pf24bit, 3, 24, 12},
        {pf24bit, 5, 24, 16}, {pf32bit, 3, 32, 12},
    };
    for (const auto& c : cases) {
        auto bitmap = makeBitmap(c.format, c.width, 3);
        EXPECT_EQ(bitmap->BytesPerScanLine(), c.stride) << "format " << c.format << " width " << c.width;
        EXPECT_EQ(BytesPerScanline(c.width, c.bits, 32), c.stride);
        EXPECT_EQ(rowBytes(*bitmap, 2) - rowBytes(*bitmap, 1), c.stride);
    }
    EXPECT_EQ(BytesPerScanline(3, 24, 16), 10);
    EXPECT_EQ(TBitmap().BytesPerScanLine(), 0);
}

TEST(BitmapTest, ResizingKeepsSharedPixelsAndPaintsNewOnesWhite)
{
    auto bitmap = makeBitmap(pf24bit, 2, 2);
    bitmap->SetPixels(0, 0, clRed);
    bitmap->SetPixels(1, 1, clBlue);
    bitmap->SetWidth(4);
    bitmap->SetHeight(3);
    EXPECT_EQ(bitmap->Width(), 4);
    EXPECT_EQ(bitmap->Height(), 3);
    EXPECT_EQ(bitmap->Pixels(0, 0), clRed);
    EXPECT_EQ(bitmap->Pixels(1, 1), clBlue);
    EXPECT_EQ(bitmap->Pixels(3, 1), clWhite);
    EXPECT_EQ(bitmap->Pixels(0, 2), clWhite);

    bitmap->SetSize(1, 1);
    EXPECT_EQ(bitmap->Pixels(0, 0), clRed);
    EXPECT_EQ(bitmap->Pixels(1, 0), -1);

    bitmap->SetHeight(0);
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(bitmap->PixelFormat(), pf24bit);
}

TEST(BitmapTest, WideningAOneBitBitmapDoesNotRevealPaddingBits)
{
    auto bitmap = makeBitmap(pf1bit, 3, 1);
    static_cast<uint8_t*>(bitmap->ScanLine(0))[0] = 0x00;  // pixels and padding black
    bitmap->SetWidth(10);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(bitmap->Pixels(x, 0), clBlack) << x;
    for (int x = 3; x < 10; ++x)
        EXPECT_EQ(bitmap->Pixels(x, 0), clWhite) << x;
}

TEST(BitmapTest, ConvertingPixelFormatKeepsColours)
{
    const TColor colors[] = {clBlack, clWhite, clRed, clLime, clBlue, clYellow, clFuchsia};
    const int count = int(std::size(colors));
    for (TPixelFormat target : {pf15bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
        auto bitmap = makeBitmap(pf24bit, count, 1);
        for (int x = 0; x < count; ++x)
            bitmap->SetPixels(x, 0, colors[x]);
        bitmap->SetPixelFormat(target);
        EXPECT_EQ(bitmap->PixelFormat(), target == pfDevice ? pf32bit : target);
        for (int x = 0; x < count; ++x)
            EXPECT_EQ(bitmap->Pixels(x, 0), colors[x]) << "format " << target << " pixel " << x;
        bitmap->SetPixelFormat(pf24bit);
        for (int x = 0; x < count; ++x)
            EXPECT_EQ(bitmap->Pixels(x, 0), colors[x]) << "back from format " << target << " pixel " << x;
    }
}

TEST(BitmapTest, ConvertingToAndFromIndexedFormats)
{
    auto bitmap = makeBitmap(pf24bit, 4, 1);
    bitmap->SetPixels(0, 0, RGB(17, 17, 17));
    bitmap->SetPixels(1, 0, RGB(100, 102, 98));  // nearest grey: 100
    bitmap->SetPixels(2, 0, clWhite);
    bitmap->SetPixels(3, 0, clBlack);
    bitmap->SetPixelFormat(pf8bit);
    EXPECT_EQ(Bytes(rowBytes(*bitmap, 0), rowBytes(*bitmap, 0) + 4), Bytes({17, 100, 255, 0}));

    bitmap->SetColorTable({clBlack, clWhite, clRed, RGB(17, 17, 17)});
    static_cast<uint8_t*>(bitmap->ScanLine(0))[0] = 2;
    static_cast<uint8_t*>(bitmap->ScanLine(0))[1] = 3;
    bitmap->SetPixelFormat(pf32bit);
    EXPECT_EQ(bitmap->Pixels(0, 0), clRed);
    EXPECT_EQ(bitmap->Pixels(1, 0), RGB(17, 17, 17));

    bitmap->SetPixelFormat(pf1bit);
    EXPECT_EQ(bitmap->Pixels(0, 0), clBlack);  // red is closer to black than to white
    bitmap->SetPixelFormat(pf8bit);
    EXPECT_EQ(bitmap->ColorTable()[200], RGB(200, 200, 200)) << "a new indexed bitmap starts from the grey ramp";
    EXPECT_EQ(rowBytes(*bitmap, 0)[0], 0);
}

TEST(BitmapTest, UnsupportedPixelFormatsAreRejected)
{
    auto bitmap = makeBitmap(pf16bit, 2, 2);
    for (TPixelFormat format : {pf4bit, pfCustom}) {
        try {
            bitmap->SetPixelFormat(format);
            ADD_FAILURE() << "format " << format << " accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Invalid pixel format"));
        }
        EXPECT_EQ(bitmap->PixelFormat(), pf16bit);
        EXPECT_EQ(bitmap->Width(), 2);
    }
}

TEST(BitmapTest, ScanLineOutsideTheBitmapRaises)
{
    auto bitmap = makeBitmap(pf24bit, 2, 3);
    const TBitmap& constBitmap = *bitmap;
    EXPECT_THROW(bitmap->ScanLine(-1), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap->ScanLine(3), EInvalidGraphicOperation);
    EXPECT_THROW(constBitmap.ScanLine(3), EInvalidGraphicOperation);
    EXPECT_NO_THROW(constBitmap.ScanLine(2));
    EXPECT_THROW(TBitmap().ScanLine(0), EInvalidGraphicOperation);
    EXPECT_EQ(bitmap->Pixels(-1, 0), -1);
    EXPECT_EQ(bitmap->Pixels(0, 3), -1);
    bitmap->SetPixels(2, 0, clRed);  // ignored, not a crash
}

TEST(BitmapTest, AssignCopiesDeeply)
{
    auto source = makeBitmap(pf8bit, 3, 2);
    source->SetColorTable({clRed, clLime});
    static_cast<uint8_t*>(source->ScanLine(0))[0] = 1;
    auto* sourceRow = static_cast<uint8_t*>(source->ScanLine(1));

    TBitmap copy;
    copy.Assign(source.get());
    EXPECT_EQ(copy.PixelFormat(), pf8bit);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.Pixels(0, 0), clLime);
    EXPECT_EQ(copy.ColorTable(), source->ColorTable());

    // A row pointer taken before the copy still writes only the source.
    sourceRow[0] = 1;
    EXPECT_EQ(source->Pixels(0, 1), clLime);
    EXPECT_EQ(copy.Pixels(0, 1), clBlack);
    static_cast<uint8_t*>(copy.ScanLine(0))[1] = 0;
    EXPECT_EQ(source->Pixels(1, 0), clBlack);
    EXPECT_EQ(copy.Pixels(1, 0), clRed);

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());

    TPersistent other;
    EXPECT_THROW(copy.Assign(&other), EConvertError);
}

TEST(BitmapTest, QtImagesMapToTheNearestPixelFormat)
{
    QImage rgb(2, 1, QImage::Format_RGB888);
    rgb.setPixelColor(0, 0, QColor(0x77, 0xA5, 0xF9));
    QImage grey(2, 1, QImage::Format_Grayscale8);
    grey.fill(0);
    grey.scanLine(0)[1] = 77;
    QImage bgr(2, 1, QImage::Format_BGR888);
    bgr.setPixelColor(0, 0, QColor(0x77, 0xA5, 0xF9));
    QImage rgba(2, 1, QImage::Format_RGBA8888);
    rgba.fill(QColor(1, 2, 3, 4));

    const struct {
        const char* name;
        QImage image;
        TPixelFormat format;
        TAlphaFormat alpha;
        TColor pixel;
    } cases[] = {
        {"RGB888", rgb, pf32bit, afIgnored, 16360823},
        {"Grayscale8", grey, pf8bit, afIgnored, clBlack},
        {"BGR888", bgr, pf24bit, afIgnored, 16360823},
        {"RGBA8888", rgba, pf32bit, afDefined, RGB(1, 2, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bitmap;
        bitmap.SetImage(c.image);
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        EXPECT_EQ(bitmap.AlphaFormat(), c.alpha);
        EXPECT_EQ(bitmap.Pixels(0, 0), c.pixel);
    }
    TBitmap fromGrey;
    fromGrey.SetImage(grey);
    EXPECT_EQ(rowBytes(fromGrey, 0)[1], 77);
    EXPECT_EQ(fromGrey.Pixels(1, 0), RGB(77, 77, 77));

    // The image handed out is a copy.
    QImage out = fromGrey.Image();
    out.setPixel(1, 0, 5);
    EXPECT_EQ(rowBytes(fromGrey, 0)[1], 77);
}

TEST(BitmapTest, SetImageDoesNotKeepTheCallersBuffer)
{
    std::vector<uchar> buffer(12, 0x10);
    TBitmap bitmap;
    bitmap.SetImage(QImage(buffer.data(), 3, 1, 12, QImage::Format_RGB32));
    buffer.assign(12, 0xEE);
    EXPECT_EQ(bitmap.Pixels(0, 0), RGB(0x10, 0x10, 0x10));
}

TEST(BitmapTest, FilesKeepPixelFormatPaletteAndPixels)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (TPixelFormat format : {pf1bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(testing::Message() << "format " << format);
        auto bitmap = makeBitmap(format, 5, 3);
        if (format == pf8bit)
            bitmap->SetColorTable({clBlack, clWhite, clRed, clLime, clBlue});
        bitmap->SetPixels(0, 0, clBlack);
        bitmap->SetPixels(4, 0, format == pf1bit ? clWhite : clRed);
        bitmap->SetPixels(1, 2, format == pf1bit ? clBlack : clBlue);
        const String path = dir.filePath(QStringLiteral("image.bmp"));
        bitmap->SaveToFile(path);

        TBitmap loaded;
        loaded.LoadFromFile(path);
        EXPECT_EQ(loaded.PixelFormat(), format);
        EXPECT_EQ(loaded.Width(), 5);
        EXPECT_EQ(loaded.Height(), 3);
        if (format == pf8bit) {
            EXPECT_EQ(loaded.ColorTable(), bitmap->ColorTable());
        }
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(loaded.Pixels(x, y), bitmap->Pixels(x, y)) << x << "," << y;
        }
    }
}

TEST(BitmapTest, LoadingFailures)
{
    QTemporaryDir dir;
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromFile(dir.filePath(QStringLiteral("missing.bmp"))), EFOpenError);

    const String garbage = dir.filePath(QStringLiteral("garbage.bmp"));
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("BM") + QByteArray(100, '\x7f'));
    file.close();
    EXPECT_THROW(bitmap.LoadFromFile(garbage), EInvalidGraphic);

    EXPECT_THROW(makeBitmap(pf24bit, 1, 1)->SaveToFile(dir.filePath(QStringLiteral("no/such/dir.bmp"))), EFCreateError);
}

// Damaged files are refused rather than loaded with pixels from the wrong
// place or never read; a damaged file leaves the bitmap as it was.
TEST(BitmapTest, DamagedFilesAreRefused)
{
    const auto source = makeBitmap(pf24bit, 5, 4);
    source->SetPixels(0, 0, clRed);
    TMemoryStream saved;
    source->SaveToStream(&saved);
    const QByteArray good(static_cast<const char*>(saved.Memory()), qsizetype(saved.Size()));
    auto withInt = [](QByteArray data, int at, int32_t value) {
        qToLittleEndian(value, data.data() + at);
        return data;
    };
    struct Case {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"rows cut short", good.left(good.size() - 3)},
        {"pixel offset past the end", withInt(good, 10, 100000)},
        {"negative width", withInt(good, 18, -5)},
        {"huge size", withInt(withInt(good, 18, 100000), 22, 100000)},
        {"header cut", good.left(30)},
        {"bit count 7", withInt(good, 28, 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap bitmap;
        bitmap.SetSize(2, 2);
        TMemoryStream stream;
        stream.WriteBuffer(c.data.constData(), c.data.size());
        stream.SetPosition(0);
        EXPECT_THROW(bitmap.LoadFromStream(&stream), EInvalidGraphic);
        EXPECT_EQ(bitmap.Width(), 2);
    }
    // Top-down rows (a negative height) load the right way up.
    TMemoryStream topDown;
    QByteArray flipped = withInt(good, 22, -4);
    const int stride = 16;
    for (int row = 0; row < 4; ++row)
        flipped.replace(54 + row * stride, stride, good.mid(54 + (3 - row) * stride, stride));
    topDown.WriteBuffer(flipped.constData(), flipped.size());
    topDown.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(&topDown);
    EXPECT_EQ(loaded.Pixels(0, 0), clRed);
}

}  // namespace
