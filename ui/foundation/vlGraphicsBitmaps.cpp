// The library's bitmaps: TvlBitmap with its compressed stored form,
// TvlBitmap32 and TvlAlphaBitmap with the per-pixel effects glyphs are drawn
// with.
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vxCore.h"

// The compressed stored form ("XDBM"), all integers little-endian:
//   0   4  Size: the bytes that follow this 10-byte header
//   4   4  "XDBM"
//   8   2  version: 2 (1 is read too: no BlockSize/Shift, blocks of 1 byte)
//   10  1  BlockSize: bytes per pixel for 16 bits and more, else 1
//   11  1  Shift: (length of the plain form) mod BlockSize
//   12  Shift bytes of the plain form as they are, then the run codes
// over the rest of the plain form (4-byte length + Windows bitmap file).

namespace {

constexpr int maxRun = 125;
// The plain form holds a bitmap file; nothing the library stores comes near
// this, and a damaged length must not make the reader allocate gigabytes.
constexpr int64_t maxPlainSize = int64_t{1} << 28;

[[noreturn]] void badCompressedData()
{
    throw EInvalidGraphic(LoadResString(vlGraphicsConsts::SvlInvalidCompressedBitmap));
}

int blockSizeOf(TPixelFormat APixelFormat)
{
    switch (APixelFormat) {
    case pf15bit:
    case pf16bit: return 2;
    case pf24bit: return 3;
    case pf32bit:
    case pfDevice: return 4;
    default: return 1;
    }
}

// Decodes the run codes of [p, end) into AOut; it stops at the end of the
// data (a cut-short run gives what is there) and refuses output beyond the
// length the plain form's first 4 bytes declare.
void decodeRuns(const uint8_t* p, const uint8_t* end, int ABlockSize, QByteArray& AOut)
{
    auto limit = [&AOut]() -> int64_t {
        if (AOut.size() < 4)
            return maxPlainSize;
        return int64_t(qFromLittleEndian<uint32_t>(AOut.constData())) + 4;
    };
    auto append = [&](const uint8_t* data, int64_t count) {
        if (AOut.size() + count > std::min(limit(), maxPlainSize))
            badCompressedData();
        AOut.append(reinterpret_cast<const char*>(data), qsizetype(count));
    };
    while (p < end) {
        const int code = *p++;
        const int n = code & 0x7F;
        if (code & 0x80) {
            const int64_t count = std::min<int64_t>(int64_t(n) * ABlockSize, end - p);
            append(p, count);
            p += count;
        } else {
            if (end - p < ABlockSize)
                break;
            for (int i = 0; i < n; ++i) {
                append(p, ABlockSize);
                // The declared length is known once the first four bytes are out.
            }
            p += ABlockSize;
        }
    }
}

}  // namespace

void vlEncodeRuns(TStream* AStream, const uint8_t* AData, size_t ASize, int ABlockSize)
{
    const size_t bs = size_t(ABlockSize);
    const size_t count = ASize / bs;
    auto block = [&](size_t i) { return AData + i * bs; };
    auto equal = [&](size_t a, size_t b) { return std::memcmp(block(a), block(b), bs) == 0; };
    size_t i = 0;
    while (i < count) {
        if (i + 1 >= count) {
            AStream->WriteByte(0x81);
            AStream->WriteBuffer(block(i), int64_t(bs));
            ++i;
        } else if (equal(i, i + 1)) {
            size_t n = 1;
            while (n < maxRun && i + n < count && equal(i, i + n))
                ++n;
            AStream->WriteByte(uint8_t(n));
            AStream->WriteBuffer(block(i), int64_t(bs));
            i += n;
        } else {
            size_t n = 1;
            for (size_t j = i + 1; j < count && n < maxRun; ++j) {
                if (equal(j, j - 1)) {
                    --n;  // that predecessor starts the next repeat run
                    break;
                }
                ++n;
            }
            AStream->WriteByte(uint8_t(0x80 | n));
            AStream->WriteBuffer(block(i), int64_t(n * bs));
            i += n;
        }
    }
}

// ---------------------------------------------------------------- TvlBitmap

TvlBitmap::TvlBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat)
{
    FvlCanvas = std::make_unique<TvlCanvas>(Canvas());
    BeginUpdate();
    SetPixelFormat(APixelFormat);
    SetSize(AWidth, AHeight);
    EndUpdate(true);
}

TvlBitmap::~TvlBitmap() = default;

const TClassInfo& TvlBitmap::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlBitmap>("TvlBitmap", &TBitmap::StaticClassInfo()).Build();
    return info;
}

std::unique_ptr<TGraphic> TvlBitmap::clone() const
{
    auto copy = std::make_unique<TvlBitmap>();
    copy->Assign(this);
    copy->FCompressData = FCompressData;
    return copy;
}

void TvlBitmap::EndUpdate(bool AForce)
{
    if (FLockCount <= 0)
        return;
    if (--FLockCount == 0 && (AForce || FModified))
        Changed();
}

void TvlBitmap::Changed()
{
    if (ChangeLocked()) {
        FModified = true;
        return;
    }
    TBitmap::Changed();
    Update();
    FModified = false;
}

void TvlBitmap::SetSize(int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == Width() && AHeight == Height())
        return;
    BeginUpdate();
    try {
        TBitmap::SetSize(AWidth, AHeight);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlBitmap::CopyBitmap(TBitmap* ASource, uint32_t ARop)
{
    CopyBitmapRect(ASource, GetClientRect(), ARop, TPoint{0, 0});
}

void TvlBitmap::CopyBitmapRect(TBitmap* ASource, const TRect& ADestRect, uint32_t ARop, const TPoint& ASourcePoint)
{
    if (ASource == nullptr || ASource->Empty() || Empty())
        return;
    BitBlt(Canvas()->Handle(), ADestRect.Left, ADestRect.Top, ADestRect.Width(), ADestRect.Height(),
           ASource->Canvas()->Handle(), ASourcePoint.X, ASourcePoint.Y, ARop);
    Changed();
}

void TvlBitmap::Rotate(TvlRotationAngle AAngle, bool AMirror)
{
    TvlCanvas::RotateBitmap(this, AAngle, AMirror);
}

void TvlBitmap::WriteData(TStream* Stream) const
{
    if (!FCompressData) {
        TBitmap::WriteData(Stream);
        return;
    }
    TMemoryStream plain;
    TBitmap::WriteData(&plain);
    const auto* p = static_cast<const uint8_t*>(plain.Memory());
    const size_t size = size_t(plain.Size());
    const int blockSize = blockSizeOf(PixelFormat());
    const int shift = int(size % size_t(blockSize));

    TMemoryStream body;
    body.WriteByte(uint8_t(blockSize));
    body.WriteByte(uint8_t(shift));
    body.WriteBuffer(p, shift);
    vlEncodeRuns(&body, p + shift, size - size_t(shift), blockSize);

    char header[10];
    qToLittleEndian(uint32_t(body.Size()), header);
    std::memcpy(header + 4, "XDBM", 4);
    qToLittleEndian(uint16_t(2), header + 8);
    Stream->WriteBuffer(header, 10);
    Stream->WriteBuffer(body.Memory(), body.Size());
}

void TvlBitmap::ReadData(TStream* Stream)
{
    const int64_t start = Stream->Position();
    uint8_t header[10];
    if (Stream->Read(header, 10) != 10 || std::memcmp(header + 4, "XDBM", 4) != 0) {
        Stream->SetPosition(start);
        TBitmap::ReadData(Stream);
        return;
    }
    // The header is checked before anything is read, and the whole result is
    // decoded before the bitmap changes: damaged data leaves it as it was.
    const int64_t size = qFromLittleEndian<uint32_t>(header);
    const int version = qFromLittleEndian<uint16_t>(header + 8);
    if (version != 1 && version != 2)
        badCompressedData();
    if (size > Stream->Size() - Stream->Position())
        badCompressedData();
    QByteArray data(qsizetype(size), Qt::Uninitialized);
    Stream->ReadBuffer(data.data(), size);
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const uint8_t* end = p + size;
    QByteArray decoded;
    int blockSize = 1;
    if (version == 2) {
        if (size < 2)
            badCompressedData();
        blockSize = p[0];
        const int shift = p[1];
        p += 2;
        if (blockSize < 1 || blockSize > 4)
            badCompressedData();
        const int64_t copy = std::min<int64_t>(shift, end - p);
        decoded.append(reinterpret_cast<const char*>(p), qsizetype(copy));
        p += copy;
    }
    decodeRuns(p, end, blockSize, decoded);
    TMemoryStream plain;
    plain.WriteBuffer(decoded.constData(), decoded.size());
    plain.SetPosition(0);
    TBitmap::ReadData(&plain);
}

// ---------------------------------------------------------------- TvlBitmap32

TvlBitmap32::TvlBitmap32(int AWidth, int AHeight, bool AClear) : TvlBitmap(AWidth, AHeight, pf32bit)
{
    if (AClear)
        Clear();
}

const TClassInfo& TvlBitmap32::StaticClassInfo()
{
    static const TClassInfo info =
        TClassInfoBuilder<TvlBitmap32>("TvlBitmap32", &TvlBitmap::StaticClassInfo()).Build();
    return info;
}

std::unique_ptr<TGraphic> TvlBitmap32::clone() const
{
    auto copy = std::make_unique<TvlBitmap32>();
    copy->Assign(this);
    copy->SetCompressData(CompressData());
    return copy;
}

void TvlBitmap32::Update()
{
    if (PixelFormat() != pf32bit)
        throw EvxException(LoadResString(vlGraphicsConsts::SvlWrongPixelFormat));
}

void TvlBitmap32::Clear()
{
    for (int y = 0; y < Height(); ++y)
        std::memset(ScanLine(y), 0, size_t(Width()) * 4);
    Changed();
}

void TvlBitmap32::GetBitmapColors(TRGBColors& AColors) const
{
    if (!ReadBitmapColors(this, AColors, false))
        AColors.clear();
}

void TvlBitmap32::PutBitmapColors(const TRGBColors& AColors)
{
    WriteBitmapColors(this, AColors, false);
}

bool TvlBitmap32::IsAlphaUsed() const { return BitmapHasAlpha(this); }

void TvlBitmap32::ApplyMask(TBitmap* AMask)
{
    if (AMask == nullptr || AMask->Empty() || Empty())
        return;
    BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), AMask->Canvas()->Handle(), 0, 0, 0x00220326);
    Changed();
}

void TvlBitmap32::DrawBlended(TvlBitmap32* ADest, const TRect& ADestRect, uint8_t AConstantAlpha, bool ASmooth)
{
    if (ADest == nullptr || Empty())
        return;
    vlAlphaBlend(ADest->Canvas()->Handle(), Canvas()->Handle(), ADestRect, GetClientRect(), AConstantAlpha,
                 ASmooth);
    ADest->Changed();
}

void TvlBitmap32::LoadFromStream(TStream* Stream)
{
    BeginUpdate();
    try {
        TvlBitmap::LoadFromStream(Stream);
    } catch (...) {
        SetPixelFormat(pf32bit);
        EndUpdate(true);
        throw;
    }
    SetPixelFormat(pf32bit);
    EndUpdate(true);
}

// ---------------------------------------------------------------- colour list and alpha bitmap

void TvlColorList::Add(TColor AColor) { FItems.push_back(MakeRGBQuad(AColor) & 0x00FFFFFFu); }

bool TvlColorList::Contains(uint32_t ARGB) const
{
    return std::find(FItems.begin(), FItems.end(), ARGB & 0x00FFFFFFu) != FItems.end();
}

TvlAlphaBitmap::TvlAlphaBitmap(int AWidth, int AHeight, uint32_t ATransparentBkColor)
    : TvlBitmap32(AWidth, AHeight), FTransparentBkColor(ATransparentBkColor)
{
}

void TvlAlphaBitmap::Clear()
{
    if ((FTransparentBkColor >> 24) != 0)
        ApplyEffect(ieClear);
    else
        TvlBitmap32::Clear();
}

void TvlAlphaBitmap::RecalculateImage(int AWidth, int AHeight)
{
    SetSize(AWidth, AHeight);
    FTransparentPixels.Clear();
    Clear();
}

void TvlAlphaBitmap::SetTransparentColor(TColor AColor)
{
    FTransparentPixels.Clear();
    FTransparentPixels.Add(AColor);
    FTransparentBkColor = MakeRGBQuad(AColor) & 0x00FFFFFFu;
    ApplyEffect(ieMarkOpaque);
}

bool TvlAlphaBitmap::IsTransparent(uint32_t APixel) const
{
    return APixel == FTransparentBkColor || FTransparentPixels.Contains(APixel);
}

namespace {

uint8_t clampByte(double v) { return uint8_t(std::clamp(v, 0.0, 255.0)); }
uint8_t roundClamp(double v) { return clampByte(std::nearbyint(v)); }

uint32_t quad(int b, int g, int r, int a)
{
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16 | uint32_t(a) << 24;
}

// The weights are single-precision constants, as stored.
uint32_t greyed(uint32_t p, float wr, float wg, float wb)
{
    const int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
    const uint8_t grey = roundClamp(r * double(wr) + g * double(wg) + b * double(wb));
    return quad(grey, grey, grey, int(p >> 24));
}

}  // namespace

void TvlAlphaBitmap::ApplyEffect(TvlImageEffect AEffect)
{
    TRGBColors colors;
    GetBitmapColors(colors);
    const uint32_t shadow = MakeRGBQuad(ColorToRGB(clBtnShadow), 0xC0);
    for (uint32_t& p : colors) {
        const bool transparent = IsTransparent(p);
        const int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF, a = int(p >> 24);
        switch (AEffect) {
        case ieDingy:
            if (transparent)
                break;
            if (a == 255) {
                auto up = [](int c) { return int(std::clamp(c + MulDiv(255 - c, 3, 10), 0, 255)); };
                p = quad(up(b), up(g), up(r), a);
            } else {
                auto down = [](int c) { return int(std::clamp(MulDiv(c, 200, 255), 0, 255)); };
                p = quad(down(b), down(g), down(r), down(a));
            }
            break;
        case ieDirty:
            if (transparent)
                break;
            p = greyed(p, 0.299f, 0.587f, 0.114f);
            BlendPixel(shadow, p, 238);
            break;
        case ieGreyScale:
            if (!transparent) {
                const int grey = (r + g + b) / 3;
                p = quad(grey, grey, grey, a);
            }
            break;
        case ieSetOpaque: p |= 0xFF000000u; break;
        case ieMakeMask: p = transparent ? 0xFFFFFFFFu : 0u; break;
        case ieFade:
            if (!transparent)
                p = greyed(p, 0.299f, 0.587f, 0.114f);
            break;
        case ieDisable:
            if (!transparent)
                p = greyed(p, 0.0729f, 0.7146f, 0.2125f);
            break;
        case ieMarkOpaque:
            if (!transparent && a == 0)
                p |= 0xFF000000u;
            break;
        case ieClear: p = FTransparentBkColor; break;
        case ieResetAlpha: p &= 0x00FFFFFFu; break;
        }
    }
    PutBitmapColors(colors);
    Changed();
}

void TvlAlphaBitmap::DrawShadow(TBitmap* AMask, int ASize, bool AGrow, TColor AColor)
{
    if (Empty())
        return;
    TvlAlphaBitmap s(Width() + 2 * ASize, Height() + 2 * ASize, 0xFFFFFFFFu);
    s.Clear();
    if (AMask != nullptr && !AMask->Empty())
        BitBlt(s.Canvas()->Handle(), ASize, ASize, AMask->Width(), AMask->Height(), AMask->Canvas()->Handle(), 0, 0,
               SRCCOPY);
    s.Canvas()->Brush()->SetColor(AColor);
    HDC sdc = s.Canvas()->Handle();
    sdc->SetBrush(s.Canvas()->Brush()->DCBrush());
    BitBlt(sdc, ASize, ASize, s.Width(), s.Height(), sdc, 0, 0, 0x00200F09);
    s.SetTransparentBkColor(0);
    s.ApplyEffect(ieMarkOpaque);

    TvlAlphaBitmap t(Width() + ASize, Height() + ASize);
    t.Clear();
    BitBlt(t.Canvas()->Handle(), 0, 0, Width(), Height(), Canvas()->Handle(), 0, 0, SRCCOPY);
    BitBlt(t.Canvas()->Handle(), 0, 0, t.Width(), t.Height(), s.Canvas()->Handle(), ASize, ASize, SRCPAINT);
    if (AGrow)
        SetSize(Width() + ASize, Height() + ASize);
    BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), t.Canvas()->Handle(), 0, 0, SRCCOPY);
    Changed();
}
