#include "ui/foundation/vxGDIPlusClasses.h"

#include <QBuffer>
#include <QImageReader>
#include <cstring>

#include "platform/rtl/Startup.h"
#include "ui/foundation/vxGDIPlusAPI.h"

// ---------------------------------------------------------------- TvxGPImage

std::unique_ptr<TvxGPImage> TvxGPImage::CreateFromBitmap(const TBitmap* ABitmap)
{
    TRGBColors colors;
    if (ABitmap == nullptr || !ReadBitmapColors(ABitmap, colors, true))
        return std::make_unique<TvxGPImage>();
    return CreateFromBits(ABitmap->Width(), ABitmap->Height(), colors, GetBitmapBitCount(ABitmap) >= 32);
}

std::unique_ptr<TvxGPImage> TvxGPImage::CreateFromBits(int AWidth, int AHeight, const TRGBColors& ABits,
                                                       bool AHasAlpha)
{
    auto result = std::make_unique<TvxGPImage>();
    if (AWidth <= 0 || AHeight <= 0 || ABits.size() < size_t(AWidth) * size_t(AHeight))
        return result;
    QImage image(AWidth, AHeight, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        CheckGdipStatus(GdipGenericError);
    for (int y = 0; y < AHeight; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < AWidth; ++x) {
            const uint32_t p = ABits[size_t(y) * size_t(AWidth) + size_t(x)];
            line[x] = AHasAlpha ? p : (p | 0xFF000000u);
        }
    }
    result->FImage = std::move(image);
    return result;
}

std::unique_ptr<TvxGPImage> TvxGPImage::CreateFromStream(TStream* AStream)
{
    auto result = std::make_unique<TvxGPImage>();
    if (AStream == nullptr || AStream->Size() <= 13 || AStream->Size() - AStream->Position() < 14)
        return result;
    char head[14];
    AStream->ReadBuffer(head, 14);
    AStream->Seek(-14, soCurrent);
    if (head[0] == 'B' && head[1] == 'M') {
        TBitmap bitmap;
        bitmap.LoadFromStream(AStream);
        return CreateFromBitmap(&bitmap);
    }
    result->LoadFromStream(AStream);
    return result;
}

void TvxGPImage::LoadFromStream(TStream* AStream)
{
    const int64_t rest = AStream->Size() - AStream->Position();
    QByteArray data(qsizetype(std::max<int64_t>(rest, 0)), Qt::Uninitialized);
    if (rest > 0)
        AStream->ReadBuffer(data.data(), rest);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Refuses pictures whose pixels would not fit in memory before reading them.
    reader.setAllocationLimit(256);
    QImage image = reader.read();
    if (image.isNull())
        CheckGdipStatus(GdipInvalidParameter);
    FImage = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::unique_ptr<TBitmap> TvxGPImage::GetAsBitmap() const
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    if (FImage.isNull())
        return bitmap;
    bitmap->SetSize(Width(), Height());
    for (int y = 0; y < Height(); ++y)
        std::memcpy(bitmap->ScanLine(y), FImage.constScanLine(y), size_t(Width()) * 4);
    return bitmap;
}

void TvxGPImage::GetBitmapBits(TRGBColors& AColors) const
{
    AColors.resize(size_t(Width()) * size_t(Height()));
    for (int y = 0; y < Height(); ++y)
        std::memcpy(&AColors[size_t(y) * size_t(Width())], FImage.constScanLine(y), size_t(Width()) * 4);
}

std::unique_ptr<TvxGPImage> TvxGPImage::Clone() const
{
    auto copy = std::make_unique<TvxGPImage>();
    copy->FImage = FImage.copy();
    return copy;
}

void TvxGPImage::SaveToStream(TStream* AStream) const
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (FImage.isNull() || !FImage.save(&buffer, "PNG"))
        CheckGdipStatus(GdipInvalidParameter);
    AStream->WriteBuffer(data.constData(), data.size());
}

void TvxGPImage::Draw(HDC ADC, const TRect& ADestRect, uint8_t AAlpha, const TRect& ASrcRect) const
{
    if (ADC == nullptr || FImage.isNull() || ADestRect.Width() < 1 || ADestRect.Height() < 1 ||
        ASrcRect.Width() < 1 || ASrcRect.Height() < 1)
        return;
    TRect src = ASrcRect;
    if (src.Width() < ADestRect.Width() && src.Width() > 1)
        --src.Right;
    if (src.Height() < ADestRect.Height() && src.Height() > 1)
        --src.Bottom;
    QImage part = FImage.copy(src.Left, src.Top, src.Width(), src.Height());
    if (AAlpha != 255)
        // The constant alpha scales all four premultiplied channels alike.
        for (int y = 0; y < part.height(); ++y) {
            auto* line = reinterpret_cast<uint32_t*>(part.scanLine(y));
            for (int x = 0; x < part.width(); ++x) {
                uint32_t p = 0;
                for (int ch = 0; ch < 4; ++ch)
                    p |= ((((line[x] >> (8 * ch)) & 0xFF) * AAlpha + 127) / 255) << (8 * ch);
                line[x] = p;
            }
        }
    ::DrawImage(ADC, ADestRect, part);
}

// ---------------------------------------------------------------- TvxPNGImage

TvxPNGImage::~TvxPNGImage() = default;

void TvxPNGImage::SetImage(std::unique_ptr<TvxGPImage> Value)
{
    if (Value.get() == FImage.get())
        return;
    FImage = std::move(Value);
    Changed();
}

void TvxPNGImage::Assign(const TPersistent* Source)
{
    if (const auto* png = dynamic_cast<const TvxPNGImage*>(Source)) {
        if (png != this)
            SetImage(png->FImage != nullptr ? png->FImage->Clone() : nullptr);
    } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(Source)) {
        SetBitmap(bitmap);
    } else if (const auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
        TBitmap pixels;
        pixels.Assign(graphic);
        SetBitmap(&pixels);
    } else {
        TPngImage::Assign(Source);
    }
}

void TvxPNGImage::SetBitmap(const TBitmap* ABitmap) { SetImage(TvxGPImage::CreateFromBitmap(ABitmap)); }

std::unique_ptr<TBitmap> TvxPNGImage::GetAsBitmap() const
{
    return FImage != nullptr ? FImage->GetAsBitmap() : std::make_unique<TBitmap>();
}

void TvxPNGImage::LoadFromStream(TStream* Stream)
{
    SetImage(Stream->Size() != 0 ? TvxGPImage::CreateFromStream(Stream) : nullptr);
}

void TvxPNGImage::SaveToStream(TStream* Stream) const
{
    if (FImage == nullptr || !FImage->HandleAllocated())
        return;
    TMemoryStream memory;
    FImage->SaveToStream(&memory);
    Stream->WriteBuffer(memory.Memory(), memory.Size());
}

void TvxPNGImage::Draw(TCanvas* ACanvas, const TRect& Rect) const
{
    if (ACanvas != nullptr)
        PaintToDCRect(ACanvas->Handle(), Rect, ::Rect(0, 0, Width(), Height()));
}

void TvxPNGImage::PaintToDC(HDC ADC, const TRect& ADestRect) const
{
    PaintToDCRect(ADC, ADestRect, Rect(0, 0, Width(), Height()));
}

void TvxPNGImage::PaintToDCRect(HDC ADC, const TRect& ADestRect, const TRect& ASrcRect) const
{
    if (FImage != nullptr)
        FImage->Draw(ADC, ADestRect, 255, ASrcRect);
}

QImage TvxPNGImage::ToImage() const
{
    return FImage != nullptr ? FImage->Image().convertToFormat(QImage::Format_ARGB32) : QImage();
}

std::unique_ptr<TGraphic> TvxPNGImage::clone() const
{
    auto copy = std::make_unique<TvxPNGImage>();
    copy->Assign(this);
    return copy;
}

bool TvxPNGImage::IsEqual(const TvxPNGImage* AOther) const
{
    if (AOther == nullptr || Width() != AOther->Width() || Height() != AOther->Height())
        return false;
    if (Empty() || AOther->Empty())
        return true;
    for (int y = 0; y < Height(); ++y)
        if (std::memcmp(FImage->Image().constScanLine(y), AOther->FImage->Image().constScanLine(y),
                        size_t(Width()) * 4) != 0)
            return false;
    return true;
}

void AddvxGDIPlusClassesUnit(TStartupList& AList)
{
    static const String key = QStringLiteral("vxGDIPlusClasses");
    AList.Add(
        key,
        [] {
            GetUnitsLoader()->RegisterUnit(
                key,
                [] {
                    TPicture::RegisterFileFormat(QStringLiteral("png"), QStringLiteral("Portable Network Graphics"),
                                                 [] { return std::make_unique<TvxPNGImage>(); });
                },
                [] { TPicture::UnregisterFileFormat(QStringLiteral("png")); });
        },
        [] { GetUnitsLoader()->UnregisterUnit(key); });
}
