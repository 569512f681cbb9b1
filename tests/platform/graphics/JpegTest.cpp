#include <gtest/gtest.h>
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"

namespace {

// A bitmap with a red left half and a blue right half.
std::unique_ptr<TBitmap> halves(int w, int h)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(0, 0, w / 2, h));
    b->Canvas()->Brush()->SetColor(clBlue);
    b->Canvas()->FillRect(Rect(w / 2, 0, w, h));
    return b;
}

void expectNear(QRgb actual, int r, int g, int b, int tolerance)
{
    EXPECT_NEAR(qRed(actual), r, tolerance);
    EXPECT_NEAR(qGreen(actual), g, tolerance);
    EXPECT_NEAR(qBlue(actual), b, tolerance);
}

// A stream whose writes fail after a few bytes.
class TFailingStream : public TMemoryStream {
public:
    int64_t Write(const void* Buffer, int64_t Count) override
    {
        if (Size() + Count > 100)
            return 0;
        return TMemoryStream::Write(Buffer, Count);
    }
};

TEST(JpegTest, RoundTripThroughAStreamKeepsSizeAndColours)
{
    const auto source = halves(64, 48);
    TJPEGImage jpeg;
    jpeg.Assign(source.get());
    jpeg.SetCompressionQuality(90);
    TMemoryStream stream;
    stream.WriteAnsiString("prefix");  // the image need not start the stream
    const int64_t start = stream.Position();
    jpeg.SaveToStream(&stream);
    const int64_t end = stream.Position();
    stream.WriteAnsiString("after");

    stream.SetPosition(start);
    TJPEGImage back;
    back.LoadFromStream(&stream);
    EXPECT_EQ(stream.Position(), end);  // stands right after the image
    EXPECT_EQ(back.Width(), 64);
    EXPECT_EQ(back.Height(), 48);
    const QImage image = back.ToImage();
    expectNear(image.pixel(8, 24), 255, 0, 0, 24);
    expectNear(image.pixel(56, 24), 0, 0, 255, 24);

    TBitmap asBitmap;
    asBitmap.Assign(&back);
    EXPECT_EQ(asBitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(asBitmap.Width(), 64);
}

TEST(JpegTest, QualityGreyAndScaleShapeTheOutput)
{
    const auto source = halves(64, 48);
    TJPEGImage jpeg;
    jpeg.Assign(source.get());
    TMemoryStream low, high;
    jpeg.SetCompressionQuality(5);
    jpeg.SaveToStream(&low);
    jpeg.SetCompressionQuality(250);  // clamped to 100
    EXPECT_EQ(jpeg.CompressionQuality(), 100);
    jpeg.SaveToStream(&high);
    EXPECT_LT(low.Size(), high.Size());

    high.SetPosition(0);
    TJPEGImage half;
    half.SetScale(jsHalf);
    half.SetGrayscale(true);
    half.LoadFromStream(&high);
    EXPECT_EQ(half.Width(), 32);
    EXPECT_EQ(half.Height(), 24);
    const QRgb p = half.ToImage().pixel(4, 12);
    EXPECT_EQ(qRed(p), qGreen(p));
    EXPECT_EQ(qGreen(p), qBlue(p));
}

TEST(JpegTest, DamagedOrMissingDataRaisesAndKeepsTheImage)
{
    const auto source = halves(16, 16);
    TJPEGImage jpeg;
    jpeg.Assign(source.get());
    TMemoryStream good;
    jpeg.SaveToStream(&good);

    TMemoryStream empty;
    EXPECT_THROW(jpeg.LoadFromStream(&empty), EJPEG);
    TMemoryStream garbage;
    garbage.WriteAnsiString("this is not a JPEG file at all");
    garbage.SetPosition(0);
    try {
        jpeg.LoadFromStream(&garbage);
        FAIL() << "no exception";
    } catch (const EJPEG& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("JPEG error #"))) << e.Message().toStdString();
    }
    EXPECT_EQ(jpeg.Width(), 16);

    // A truncated file still decodes what is there.
    TMemoryStream truncated;
    good.SetPosition(0);
    truncated.CopyFrom(&good, good.Size() - 40);  // inside the scan data
    truncated.SetPosition(0);
    TJPEGImage partial;
    partial.LoadFromStream(&truncated);
    EXPECT_EQ(partial.Width(), 16);

    TJPEGImage none;
    TMemoryStream out;
    EXPECT_THROW(none.SaveToStream(&out), EJPEG);
    EXPECT_THROW(none.SetWidth(3), EInvalidGraphicOperation);
}

TEST(JpegTest, AStreamWriteFailureReachesTheCaller)
{
    const auto source = halves(64, 64);
    TJPEGImage jpeg;
    jpeg.Assign(source.get());
    TFailingStream stream;
    EXPECT_THROW(jpeg.SaveToStream(&stream), EWriteError);
}

}  // namespace
