#include "platform/graphics/PngImage.h"

#include <QBuffer>
#include <QImageWriter>
#include <cstring>

#include "platform/graphics/Bitmap.h"

namespace {

[[noreturn]] void invalid()
{
    throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
}

uint32_t be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

QImage normalised(const QImage& image)
{
    if (image.isNull())
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

}  // namespace

void TPngImage::Assign(const TPersistent* Source)
{
    if (Source == nullptr) {
        FImage = QImage();
        Changed();
        return;
    }
    if (const auto* g = dynamic_cast<const TGraphic*>(Source)) {
        if (g == this)
            return;
        FImage = normalised(g->ToImage());
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TPngImage::SetImage(const QImage& Image)
{
    FImage = normalised(Image);
    Changed();
}

void TPngImage::SetWidth(int Value)
{
    if (Value == Width())
        return;
    QImage image(std::max(0, Value), Height(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < std::min(image.height(), FImage.height()); ++y)
        for (int x = 0; x < std::min(image.width(), FImage.width()); ++x)
            image.setPixel(x, y, FImage.pixel(x, y));
    FImage = Value > 0 && Height() > 0 ? image : QImage();
    Changed();
}

void TPngImage::SetHeight(int Value)
{
    if (Value == Height())
        return;
    QImage image(Width(), std::max(0, Value), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < std::min(image.height(), FImage.height()); ++y)
        for (int x = 0; x < std::min(image.width(), FImage.width()); ++x)
            image.setPixel(x, y, FImage.pixel(x, y));
    FImage = Value > 0 && Width() > 0 ? image : QImage();
    Changed();
}

void TPngImage::LoadFromStream(TStream* Stream)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    QByteArray data(8, '\0');
    if (Stream->Read(data.data(), 8) != 8 || std::memcmp(data.constData(), signature, 8) != 0)
        invalid();
    // Chunks up to IEND, so that a PNG inside a larger stream is read alone.
    for (;;) {
        uint8_t head[8];
        if (Stream->Read(head, 8) != 8)
            invalid();
        const uint32_t length = be32(head);
        // A length past the stream's end is damage, found before the memory is taken.
        if (length > 0x7FFFFFFF - 4 || int64_t(length) + 4 > Stream->Size() - Stream->Position())
            invalid();
        data.append(reinterpret_cast<const char*>(head), 8);
        const qsizetype at = data.size();
        data.resize(at + qsizetype(length) + 4);
        if (Stream->Read(data.data() + at, int64_t(length) + 4) != int64_t(length) + 4)
            invalid();
        if (std::memcmp(head + 4, "IEND", 4) == 0)
            break;
    }
    const QImage image = QImage::fromData(data, "PNG");
    if (image.isNull())
        invalid();
    FImage = normalised(image);
    Changed();
}

void TPngImage::SaveToStream(TStream* Stream) const
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(FImage))
        throw EInvalidGraphic(writer.errorString());
    Stream->WriteBuffer(data.constData(), data.size());
}

void TPngImage::Draw(TCanvas* ACanvas, const TRect& Rect) const
{
    if (ACanvas != nullptr && !FImage.isNull())
        DrawImage(ACanvas->Handle(), Rect, FImage);
}

std::unique_ptr<TGraphic> TPngImage::clone() const
{
    auto copy = std::make_unique<TPngImage>();
    copy->FImage = FImage;
    return copy;
}
