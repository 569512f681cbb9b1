#include "platform/graphics/Bitmap.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

const QList<QRgb>& greyRamp()
{
    static const QList<QRgb> table = [] {
        QList<QRgb> t;
        t.reserve(256);
        for (int i = 0; i < 256; ++i)
            t.append(qRgb(i, i, i));
        return t;
    }();
    return table;
}

const QList<QRgb>& blackAndWhite()
{
    static const QList<QRgb> table{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return table;
}

bool isIndexed(TPixelFormat format)
{
    return format == pf1bit || format == pf8bit;
}

int paletteSize(TPixelFormat format)
{
    return format == pf1bit ? 2 : 256;
}

const QList<QRgb>& defaultTable(TPixelFormat format)
{
    return format == pf1bit ? blackAndWhite() : greyRamp();
}

// Pixel values past the end of a short table would read as garbage; a full
// table keeps every index meaningful.
QList<QRgb> fullTable(QList<QRgb> table, TPixelFormat format)
{
    if (table.isEmpty())
        return defaultTable(format);
    const qsizetype size = paletteSize(format);
    table.resize(std::min(table.size(), size));
    while (table.size() < size)
        table.append(qRgb(0, 0, 0));
    return table;
}

int nearestIn(const QList<QRgb>& table, QRgb rgb)
{
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < int(table.size()); ++i) {
        const int dr = qRed(table[i]) - qRed(rgb);
        const int dg = qGreen(table[i]) - qGreen(rgb);
        const int db = qBlue(table[i]) - qBlue(rgb);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return best;
}

// Qt dithers or builds its own palette when converting to an indexed
// format; the original maps each colour to the nearest palette entry.
QImage toIndexed(const QImage& source, QImage::Format format, const QList<QRgb>& table)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QImage result(rgb.size(), format);
    if (result.isNull())
        return result;
    result.setColorTable(table);
    QRgb lastColor = 0;
    int lastIndex = -1;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb color = row[x] | 0xFF000000u;
            if (lastIndex < 0 || color != lastColor) {
                lastColor = color;
                lastIndex = nearestIn(table, color);
            }
            result.setPixel(x, y, uint(lastIndex));
        }
    }
    return result;
}

TPixelFormat pixelFormatOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Mono:
        return pf1bit;
    case QImage::Format_Indexed8:
        return pf8bit;
    case QImage::Format_RGB555:
        return pf15bit;
    case QImage::Format_RGB16:
        return pf16bit;
    case QImage::Format_BGR888:
        return pf24bit;
    default:
        return pf32bit;
    }
}

uint16_t readLE16(const QByteArray& data, qsizetype offset)
{
    return qFromLittleEndian<uint16_t>(data.constData() + offset);
}

uint32_t readLE32(const QByteArray& data, qsizetype offset)
{
    return qFromLittleEndian<uint32_t>(data.constData() + offset);
}

void appendLE16(QByteArray& data, uint16_t value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    data.append(bytes, 2);
}

void appendLE32(QByteArray& data, uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    data.append(bytes, 4);
}

constexpr qsizetype bmpFileHeaderSize = 14;
constexpr qsizetype bmpInfoHeaderSize = 40;
constexpr qsizetype bmpCoreHeaderSize = 12;
constexpr uint32_t biRgb = 0;
constexpr uint32_t biBitfields = 3;

// The pixels of an uncompressed 32-bit file with a full info header, the
// fourth byte kept; a null image for any other file. The caller has checked
// that the rows lie inside the data.
QImage read32BitRows(const QByteArray& data)
{
    if (data.size() < 54 || readLE16(data, 28) != 32 || readLE32(data, 30) != 0)
        return QImage();
    const int32_t width = int32_t(readLE32(data, 18));
    const int32_t rawHeight = int32_t(readLE32(data, 22));
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN)
        return QImage();
    const int height = std::abs(rawHeight);
    const int64_t offset = readLE32(data, 10);
    if (offset + int64_t(width) * 4 * height > data.size())
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < height; ++y) {
        const int row = rawHeight > 0 ? height - 1 - y : y;  // positive heights are stored bottom-up
        std::memcpy(image.scanLine(y), data.constData() + offset + int64_t(row) * width * 4, size_t(width) * 4);
    }
    return image;
}

}  // namespace

int BytesPerScanline(int PixelsPerScanline, int BitsPerPixel, int Alignment)
{
    const int64_t bits = int64_t{PixelsPerScanline} * BitsPerPixel;
    const int64_t alignment = Alignment > 0 ? Alignment : 8;
    return int((bits + alignment - 1) / alignment * alignment / 8);
}

QImage::Format TBitmap::imageFormat() const
{
    switch (FPixelFormat) {
    case pf1bit:
        return QImage::Format_Mono;
    case pf8bit:
        return QImage::Format_Indexed8;
    case pf15bit:
        return QImage::Format_RGB555;
    case pf16bit:
        return QImage::Format_RGB16;
    case pf24bit:
        return QImage::Format_BGR888;
    default:
        break;
    }
    switch (FAlphaFormat) {
    case afDefined:
        return QImage::Format_ARGB32;
    case afPremultiplied:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return QImage::Format_RGB32;
    }
}

void TBitmap::replaceImage(QImage image)
{
    if (image.isNull())
        throw EOutOfResources(LoadResString(GraphicsConsts::SOutOfResources));
    FImage = std::move(image);
}

int TBitmap::nearestIndex(TColor rgb) const
{
    return nearestIn(FColorTable, qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
}

namespace {

// The canvas of a bitmap: its context lives as long as the canvas and draws
// on the bitmap's own QImage.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(QImage* image) : FContext(image) { FContext.SetZeroAlpha(true); }

protected:
    void CreateHandle() override { SetHandle(&FContext); }

private:
    TDeviceContext FContext;
};

}  // namespace

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

bool GetObject(HBITMAP Bitmap, BITMAP& Info)
{
    return WithGdiObject(reinterpret_cast<uintptr_t>(Bitmap), [&](const TPersistent& object) {
        const auto* bitmap = dynamic_cast<const TBitmap*>(&object);
        if (bitmap == nullptr || bitmap->Empty())
            return false;
        static constexpr uint16_t bits[] = {32, 1, 4, 8, 16, 16, 24, 32, 32};
        BITMAP info;
        info.bmWidth = bitmap->Width();
        info.bmHeight = bitmap->Height();
        info.bmWidthBytes = bitmap->BytesPerScanLine();
        info.bmBitsPixel = bits[bitmap->PixelFormat()];
        Info = info;
        return true;
    });
}

TCanvas* TBitmap::Canvas()
{
    if (FCanvas == nullptr)
        FCanvas = std::make_unique<TBitmapCanvas>(&FImage);
    return FCanvas.get();
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    if (FImage.isNull())
        return clDefault;
    return Pixels(0, Height() - 1);
}

void TBitmap::SetTransparentColor(TColor Value)
{
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
    if (Value == FTransparentMode)
        return;
    FTransparentMode = Value;
    if (Value == tmAuto)
        FTransparentColor = clDefault;
    else
        FTransparentColor = TransparentColor();
    Changed();
}

void TBitmap::Assign(const TPersistent* Source)
{
    if (Source == nullptr) {
        FImage = QImage();
        FEmptySize = TSize{0, 0};
        Changed();
        return;
    }
    if (const auto* other = dynamic_cast<const TBitmap*>(Source)) {
        if (other == this)
            return;
        FPixelFormat = other->FPixelFormat;
        FAlphaFormat = other->FAlphaFormat;
        FColorTable = other->FColorTable;
        FImage = other->FImage.copy();
        FEmptySize = other->FEmptySize;
        FTransparentColor = other->FTransparentColor;
        FTransparentMode = other->FTransparentMode;
        SetTransparent(other->Transparent());
        Changed();
        return;
    }
    if (const auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
        const QImage image = graphic->ToImage();
        if (image.isNull()) {
            FImage = QImage();
        } else if (image.hasAlphaChannel()) {
            SetImage(image.convertToFormat(QImage::Format_ARGB32));
        } else {
            SetImage(image.convertToFormat(QImage::Format_RGB32));
            SetPixelFormat(pf24bit);
        }
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

QImage TBitmap::ToImage() const
{
    if (FImage.isNull())
        return QImage();
    if (!Transparent())
        return FImage.convertToFormat(FAlphaFormat == afIgnored ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    // The transparent colour becomes alpha 0; everything else is opaque.
    QImage image = FImage.convertToFormat(QImage::Format_ARGB32);
    const TColor key = ColorToRGB(TransparentColor());
    const QRgb keyRgb = qRgb(GetRValue(key), GetGValue(key), GetBValue(key));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = (line[x] & 0x00FFFFFF) == (keyRgb & 0x00FFFFFF) ? 0 : (line[x] | 0xFF000000);
    }
    return image;
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) const
{
    if (ACanvas == nullptr || FImage.isNull())
        return;
    HDC dc = ACanvas->Handle();
    if (Transparent() || FAlphaFormat != afIgnored) {
        DrawImage(dc, Rect, ToImage());
        return;
    }
    // Opaque bitmaps are blitted with the canvas's copy mode.
    TDeviceContext source(const_cast<QImage*>(&FImage));
    StretchBlt(dc, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), &source, 0, 0, Width(), Height(),
               ACanvas->CopyMode());
}

std::unique_ptr<TGraphic> TBitmap::clone() const
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(this);
    return copy;
}

void TBitmap::SetSize(int AWidth, int AHeight)
{
    if (AWidth <= 0 || AHeight <= 0) {
        const TSize size{std::max(AWidth, 0), std::max(AHeight, 0)};
        if (FImage.isNull() && size.cx == FEmptySize.cx && size.cy == FEmptySize.cy)
            return;
        FImage = QImage();
        FEmptySize = size;
        Changed();
        return;
    }
    FEmptySize = TSize{0, 0};
    if (AWidth == Width() && AHeight == Height())
        return;
    QImage image(AWidth, AHeight, imageFormat());
    if (image.isNull())
        throw EOutOfResources(LoadResString(GraphicsConsts::SOutOfResources));
    const bool indexed = isIndexed(FPixelFormat);
    const uint whiteIndex = indexed ? uint(nearestIndex(clWhite)) : 0;
    if (indexed) {
        image.setColorTable(FColorTable);
        image.fill(whiteIndex);
    } else if (image.format() == QImage::Format_RGB32) {
        // White, with the fourth byte 0 as a new 32-bit bitmap has it
        // (QImage::fill would write 0xFF there).
        for (int y = 0; y < image.height(); ++y)
            std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), image.width(), QRgb(0x00FFFFFFu));
    } else {
        image.fill(QColor(255, 255, 255));
    }
    if (!FImage.isNull()) {
        const int keepWidth = std::min(AWidth, Width());
        const int keepHeight = std::min(AHeight, Height());
        const size_t bytes = size_t(BytesPerScanline(keepWidth, image.depth(), 8));
        for (int y = 0; y < keepHeight; ++y) {
            std::memcpy(image.scanLine(y), FImage.constScanLine(y), bytes);
            // The last byte of a 1-bit row also brought over the old row's
            // padding bits; those pixels are new and must be white.
            for (int x = keepWidth; x < AWidth && x % 8 != 0 && FPixelFormat == pf1bit; ++x)
                image.setPixel(x, y, whiteIndex);
        }
    }
    FImage = std::move(image);    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == pfDevice)
        Value = pf32bit;
    if (Value == pf4bit || Value == pfCustom)
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidPixelFormat));
    if (Value == FPixelFormat)
        return;
    const QImage old = FImage;
    FPixelFormat = Value;
    if (isIndexed(Value))
        FColorTable = defaultTable(Value);
    if (!old.isNull()) {
        if (isIndexed(Value))
            replaceImage(toIndexed(old, imageFormat(), FColorTable));
        else
            replaceImage(old.convertToFormat(imageFormat()));
    }
    Changed();
}

void TBitmap::SetAlphaFormat(TAlphaFormat Value)
{
    if (Value == FAlphaFormat)
        return;
    FAlphaFormat = Value;
    if (FPixelFormat != pf32bit || FImage.isNull())
        return;
    // Between ignored and defined only the reading of the fourth byte
    // changes; premultiplying rewrites the colour bytes.
    QImage image = FImage.format() == QImage::Format_ARGB32_Premultiplied
        ? FImage.convertToFormat(QImage::Format_ARGB32)
        : FImage;
    if (Value == afPremultiplied) {
        image.reinterpretAsFormat(QImage::Format_ARGB32);
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        image.reinterpretAsFormat(imageFormat());
    }
    replaceImage(std::move(image));
}

std::vector<TColor> TBitmap::ColorTable() const
{
    std::vector<TColor> result;
    if (!isIndexed(FPixelFormat))
        return result;
    result.reserve(size_t(FColorTable.size()));
    for (QRgb entry : FColorTable)
        result.push_back(RGB(uint8_t(qRed(entry)), uint8_t(qGreen(entry)), uint8_t(qBlue(entry))));
    return result;
}

void TBitmap::SetColorTable(const std::vector<TColor>& Colors)
{
    if (!isIndexed(FPixelFormat))
        return;
    QList<QRgb> table;
    table.reserve(qsizetype(Colors.size()));
    for (TColor color : Colors) {
        const TColor rgb = ColorToRGB(color);
        table.append(qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    }
    if (table.isEmpty())
        table.append(qRgb(0, 0, 0));
    FColorTable = fullTable(std::move(table), FPixelFormat);
    if (!FImage.isNull())
        FImage.setColorTable(FColorTable);
}

void* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= Height())
        throw EInvalidGraphicOperation(LoadResString(GraphicsConsts::SScanLine));
    return FImage.scanLine(Row);
}

const void* TBitmap::ScanLine(int Row) const
{
    if (Row < 0 || Row >= Height())
        throw EInvalidGraphicOperation(LoadResString(GraphicsConsts::SScanLine));
    return FImage.constScanLine(Row);
}

int TBitmap::BytesPerScanLine() const
{
    if (FImage.isNull())
        return 0;
    return int(FImage.bytesPerLine());
}

TColor TBitmap::Pixels(int X, int Y) const
{
    if (!FImage.valid(X, Y))
        return -1;
    const QRgb p = FImage.pixel(X, Y);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

void TBitmap::SetPixels(int X, int Y, TColor Value)
{
    if (!FImage.valid(X, Y))
        return;
    const TColor rgb = ColorToRGB(Value);
    if (isIndexed(FPixelFormat))
        FImage.setPixel(X, Y, uint(nearestIndex(rgb)));
    else
        FImage.setPixel(X, Y, qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
}

void TBitmap::SetImage(const QImage& Image)
{
    FEmptySize = TSize{0, 0};
    if (Image.isNull()) {
        FImage = QImage();
        return;
    }
    QImage image;
    switch (Image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        image = Image.copy();  // never share the caller's (possibly borrowed) buffer
        break;
    case QImage::Format_MonoLSB:
        image = Image.convertToFormat(QImage::Format_Mono);
        break;
    case QImage::Format_Grayscale8: {
        // Grey levels are already the indexes of the default ramp.
        image = QImage(Image.size(), QImage::Format_Indexed8);
        if (image.isNull())
            break;
        image.setColorTable(greyRamp());
        for (int y = 0; y < Image.height(); ++y)
            std::memcpy(image.scanLine(y), Image.constScanLine(y), size_t(Image.width()));
        break;
    }
    default:
        image = Image.convertToFormat(Image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        break;
    }
    if (image.isNull())
        throw EOutOfResources(LoadResString(GraphicsConsts::SOutOfResources));
    FPixelFormat = pixelFormatOf(image.format());
    if (image.format() == QImage::Format_ARGB32)
        FAlphaFormat = afDefined;
    else if (image.format() == QImage::Format_ARGB32_Premultiplied)
        FAlphaFormat = afPremultiplied;
    else
        FAlphaFormat = afIgnored;
    if (isIndexed(FPixelFormat)) {
        FColorTable = fullTable(image.colorTable(), FPixelFormat);
        image.setColorTable(FColorTable);
    }
    FImage = std::move(image);
}

void TBitmap::LoadFromFile(const String& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(LoadResString(RtlConsts::SFOpenError), {FileName, file.errorString()});
    loadFromData(file.readAll());
}

void TBitmap::LoadFromStream(TStream* Stream)
{
    uint8_t header[bmpFileHeaderSize];
    if (Stream->Read(header, bmpFileHeaderSize) != bmpFileHeaderSize || header[0] != 'B' || header[1] != 'M')
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    const uint32_t fileSize = uint32_t(header[2]) | uint32_t(header[3]) << 8 | uint32_t(header[4]) << 16 |
                              uint32_t(header[5]) << 24;
    // A header size beyond the stream is read as "the rest of the stream".
    const int64_t rest = Stream->Size() - Stream->Position();
    int64_t want = int64_t(fileSize) - bmpFileHeaderSize;
    if (want <= 0 || want > rest)
        want = rest;
    QByteArray data(reinterpret_cast<const char*>(header), bmpFileHeaderSize);
    data.resize(bmpFileHeaderSize + qsizetype(want));
    if (Stream->Read(data.data() + bmpFileHeaderSize, want) != want)
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    loadFromData(data);
}

void TBitmap::loadFromData(const QByteArray& data)
{
    if (data.size() < bmpFileHeaderSize + bmpCoreHeaderSize || !data.startsWith("BM"))
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    // The old core header has 16-bit sizes, which moves the bit count.
    const bool coreHeader = readLE32(data, bmpFileHeaderSize) == uint32_t(bmpCoreHeaderSize);
    const qsizetype headerEnd = bmpFileHeaderSize + bmpInfoHeaderSize;
    if (!coreHeader && data.size() < headerEnd)
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    // Qt's reader takes pixels from wherever it stands when the pixel
    // offset lies past the file, and leaves rows it could not read
    // uninitialised: a file too short for its rows is damaged.
    const int64_t pixelOffset = readLE32(data, 10);
    if (pixelOffset > data.size())
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    const bool uncompressed = coreHeader || readLE32(data, 30) == biRgb || readLE32(data, 30) == biBitfields;
    if (uncompressed) {
        const int64_t width = coreHeader ? readLE16(data, 18) : int32_t(readLE32(data, 18));
        const int64_t height = coreHeader ? readLE16(data, 20) : std::abs(int64_t(int32_t(readLE32(data, 22))));
        const int64_t bits = readLE16(data, coreHeader ? 24 : 28);
        const int64_t stride = (width * bits + 31) / 32 * 4;
        if (width > 0 && pixelOffset + stride * height > data.size())
            throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    }
    // Qt's reader drops the fourth byte of 32-bit files; stored bitmaps
    // carry their alpha there, so those rows are taken as they are.
    QImage image = coreHeader ? QImage() : read32BitRows(data);
    if (image.isNull())
        image = QImage::fromData(data, "BMP");
    if (image.isNull())
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    TPixelFormat format = pf32bit;
    switch (readLE16(data, coreHeader ? 24 : 28)) {
    case 1:
        format = pf1bit;
        break;
    case 4:
    case 8:
        format = pf8bit;
        break;
    case 16: {
        // Without bit fields a 16-bit file is 5-5-5.
        const bool bitfields = !coreHeader && data.size() >= headerEnd + 8 && readLE32(data, 30) == biBitfields;
        format = bitfields && readLE32(data, headerEnd + 4) == 0x07E0 ? pf16bit : pf15bit;
        break;
    }
    case 24:
        format = pf24bit;
        break;
    default:
        break;
    }
    TBitmap loaded;
    loaded.SetImage(image);
    loaded.SetPixelFormat(format);
    FPixelFormat = loaded.FPixelFormat;
    FAlphaFormat = loaded.FAlphaFormat;
    FColorTable = loaded.FColorTable;
    FImage = std::move(loaded.FImage);
    Changed();
}

namespace {
const TClassInfo bitmapInfo = TClassInfoBuilder<TBitmap>("TBitmap").Binary("Data", &TBitmap::Data, &TBitmap::SetData).Build();
}  // namespace

const TClassInfo* TBitmap::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TBitmap::StaticClassInfo() { return bitmapInfo; }

QByteArray TBitmap::Data() const
{
    TMemoryStream stream;
    WriteData(&stream);
    return QByteArray(static_cast<const char*>(stream.Memory()), qsizetype(stream.Size()));
}

void TBitmap::SetData(const QByteArray& Value)
{
    TMemoryStream stream;
    stream.WriteBuffer(Value.constData(), Value.size());
    stream.SetPosition(0);
    ReadData(&stream);
}

void TBitmap::ReadData(TStream* Stream)
{
    uint8_t sizeBytes[4];
    if (Stream->Read(sizeBytes, 4) != 4)
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    const uint32_t size = uint32_t(sizeBytes[0]) | uint32_t(sizeBytes[1]) << 8 | uint32_t(sizeBytes[2]) << 16 |
                          uint32_t(sizeBytes[3]) << 24;
    if (size == 0) {
        SetSize(0, 0);
        return;
    }
    if (int64_t(size) > Stream->Size() - Stream->Position())
        throw EInvalidGraphic(LoadResString(GraphicsConsts::SInvalidBitmap));
    QByteArray data(qsizetype(size), Qt::Uninitialized);
    Stream->ReadBuffer(data.data(), size);
    loadFromData(data);
}

void TBitmap::WriteData(TStream* Stream) const
{
    const QByteArray data = FImage.isNull() ? QByteArray() : saveToData();
    char sizeBytes[4];
    qToLittleEndian(uint32_t(data.size()), sizeBytes);
    Stream->WriteBuffer(sizeBytes, 4);
    if (!data.isEmpty())
        Stream->WriteBuffer(data.constData(), data.size());
}

void TBitmap::SaveToStream(TStream* Stream) const
{
    const QByteArray data = saveToData();
    Stream->WriteBuffer(data.constData(), data.size());
}

void TBitmap::SaveToFile(const String& FileName) const
{
    const QByteArray data = saveToData();
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw EFCreateError(LoadResString(RtlConsts::SFCreateError), {FileName, file.errorString()});
}

QByteArray TBitmap::saveToData() const
{
    const int bits = FImage.isNull() ? 32 : FImage.depth();
    const int stride = BytesPerScanline(Width(), bits, 32);
    const QList<QRgb> palette = isIndexed(FPixelFormat) ? FColorTable : QList<QRgb>();
    const bool bitfields = FPixelFormat == pf16bit;
    const qsizetype pixelOffset = bmpFileHeaderSize + bmpInfoHeaderSize + (bitfields ? 12 : 0) + palette.size() * 4;
    const qsizetype imageSize = qsizetype(stride) * Height();

    QByteArray data;
    data.reserve(pixelOffset + imageSize);
    data.append("BM", 2);
    appendLE32(data, uint32_t(pixelOffset + imageSize));
    appendLE32(data, 0);
    appendLE32(data, uint32_t(pixelOffset));
    appendLE32(data, uint32_t(bmpInfoHeaderSize));
    appendLE32(data, uint32_t(Width()));
    appendLE32(data, uint32_t(Height()));  // positive: rows stored bottom-up
    appendLE16(data, 1);
    appendLE16(data, uint16_t(bits));
    appendLE32(data, bitfields ? biBitfields : biRgb);
    appendLE32(data, uint32_t(imageSize));
    appendLE32(data, 3780);  // 96 dots per inch in dots per metre
    appendLE32(data, 3780);
    appendLE32(data, uint32_t(palette.size()));
    appendLE32(data, 0);
    if (bitfields) {
        appendLE32(data, 0xF800);
        appendLE32(data, 0x07E0);
        appendLE32(data, 0x001F);
    }
    for (QRgb entry : palette) {
        const char quad[4] = {char(qBlue(entry)), char(qGreen(entry)), char(qRed(entry)), 0};
        data.append(quad, 4);
    }
    // Row padding is written as zeros, not as whatever the memory held, so
    // equal bitmaps give equal files.
    const int used = FImage.depth() >= 8 ? Width() * FImage.depth() / 8 : stride;
    for (int y = Height() - 1; y >= 0; --y) {
        data.append(reinterpret_cast<const char*>(FImage.constScanLine(y)), used);
        data.append(stride - used, '\0');
    }
    return data;
}
