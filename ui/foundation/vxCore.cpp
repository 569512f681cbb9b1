#include "ui/foundation/vxCore.h"

#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Startup.h"

// ---- resource strings ------------------------------------------------------------

TvxProductResourceStrings::TvxProductResourceStrings(const String& AName,
                                                     const TvxAddResourceStringsProc& AAddStringsProc)
    : FName(AName)
{
    if (AAddStringsProc)
        AAddStringsProc(this);
}

namespace {

bool nameLess(const std::pair<String, const TResStringRec*>& a, const String& b)
{
    return a.first.compare(b, Qt::CaseInsensitive) < 0;
}

}  // namespace

void TvxProductResourceStrings::Add(const String& AResStringName, const TResStringRec* AResString)
{
    auto it = std::lower_bound(FNames.begin(), FNames.end(), AResStringName, nameLess);
    if (it != FNames.end() && it->first.compare(AResStringName, Qt::CaseInsensitive) == 0)
        return;  // the first address stays
    FNames.insert(it, {AResStringName, AResString});
}

int TvxProductResourceStrings::IndexOf(const String& AResStringName) const
{
    auto it = std::lower_bound(FNames.begin(), FNames.end(), AResStringName, nameLess);
    if (it != FNames.end() && it->first.compare(AResStringName, Qt::CaseInsensitive) == 0)
        return int(it - FNames.begin());
    return -1;
}

TvxResourceStringsRepository::~TvxResourceStringsRepository() = default;

void TvxResourceStringsRepository::RegisterProduct(const String& AProductName,
                                                   const TvxAddResourceStringsProc& AAddStringsProc)
{
    FProducts.push_back(std::make_unique<TvxProductResourceStrings>(AProductName, AAddStringsProc));
}

void TvxResourceStringsRepository::UnregisterProduct(const String& AProductName)
{
    auto it = std::find_if(FProducts.begin(), FProducts.end(),
                           [&](const auto& p) { return p->Name() == AProductName; });
    if (it != FProducts.end())
        FProducts.erase(it);
}

void TvxResourceStringsRepository::AddListener(IvxResourceStringsListener* AListener)
{
    if (std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
        FListeners.push_back(AListener);
}

void TvxResourceStringsRepository::RemoveListener(IvxResourceStringsListener* AListener)
{
    std::erase(FListeners, AListener);
}

namespace {

// The unit's one global, as the library defines it (main thread only).
std::unique_ptr<TvxResourceStringsRepository>& repository()
{
    static std::unique_ptr<TvxResourceStringsRepository> instance;
    return instance;
}

}  // namespace

TvxResourceStringsRepository* GetResourceStringsRepository()
{
    if (repository() == nullptr)
        repository() = std::make_unique<TvxResourceStringsRepository>();
    return repository().get();
}

void AddvxCoreUnit(TStartupList& AList)
{
    AList.Add(QStringLiteral("vxCore"), {}, [] { repository().reset(); });
}

// ---- strings, characters and variants -----------------------------------------------

AnsiString AnsiStringToHex(const AnsiString& AString)
{
    return AString.toHex().toUpper();
}

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

AnsiString HexToAnsiString(const AnsiString& AString)
{
    AnsiString result(AString.size() / 2, '\0');
    for (qsizetype i = 0; i < result.size(); ++i) {
        const int hi = hexDigit(AString[2 * i]), lo = hexDigit(AString[2 * i + 1]);
        if (hi < 0 || lo < 0)
            break;  // the rest stays zero
        result[i] = char(hi * 16 + lo);
    }
    return result;
}

bool IsCharInSet(QChar C, const TvxCharSet& ACharSet)
{
    return C.unicode() < 256 && ACharSet.test(C.unicode());
}

uint16_t GetCharType(QChar C)
{
    const ushort u = C.unicode();
    if (C.category() == QChar::Other_NotAssigned)
        return 0;
    uint16_t t = C1_DEFINED;
    if (C.isUpper())
        t |= C1_UPPER;
    if (C.isLower())
        t |= C1_LOWER;
    if (C.isDigit())
        t |= C1_DIGIT;
    if (C.isSpace() || (u >= 0x09 && u <= 0x0D))
        t |= C1_SPACE;
    if (C.isPunct() || C.isSymbol())
        t |= C1_PUNCT;
    if (C.category() == QChar::Other_Control)
        t |= C1_CNTRL;
    if (u == ' ' || u == '\t' || C.category() == QChar::Separator_Space)
        t |= C1_BLANK;
    if ((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F'))
        t |= C1_XDIGIT;
    if (C.isLetter())
        t |= C1_ALPHA;
    return t;
}

uint32_t GetACP() { return CP_WINDOWS1252; }

namespace {

QByteArray codePageName(uint32_t cp)
{
    if (cp == CP_ACP)
        cp = GetACP();
    if (cp == CP_UTF8)
        return "UTF-8";
    return "CP" + QByteArray::number(cp);
}

// One iconv pass; empty on any failure.
QByteArray convert(const char* from, const char* to, const QByteArray& in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    char* dst = out.data();
    size_t dstLeft = size_t(out.size());
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == size_t(-1))
        return {};
    out.truncate(out.size() - qsizetype(dstLeft));
    return out;
}

}  // namespace

String MultiByteToWideString(const AnsiString& S, uint32_t ACodePage, int ALength)
{
    const AnsiString part = ALength < 0 ? S : S.left(ALength);
    if (part.isEmpty())
        return {};
    if (ACodePage == CP_UTF8)
        return String::fromUtf8(part);
    const QByteArray utf16 = convert(codePageName(ACodePage).constData(), "UTF-16LE", part);
    return String(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

AnsiString WideToMultiByteString(const String& S, uint32_t ACodePage, int ALength)
{
    const String part = ALength < 0 ? S : S.left(ALength);
    if (part.isEmpty())
        return {};
    if (ACodePage == CP_UTF8)
        return part.toUtf8();
    const QByteArray utf16(reinterpret_cast<const char*>(part.utf16()), part.size() * 2);
    return convert("UTF-16LE", codePageName(ACodePage).constData(), utf16);
}

bool VarIsBlob(const Variant& V)
{
    const TVarType t = V.VType();
    return t == varString || t == varUString || t == varOleStr || (VarIsArray(V));
}

AnsiString VariantToAnsiString(const Variant& V)
{
    if (VarIsArray(V))
        return VarArrayToBytes(V);
    if (V.VType() == varString)
        return V.AsAnsiString();
    return WideToMultiByteString(VarToStr(V), CP_ACP);
}

String VariantToWideString(const Variant& V)
{
    if (V.VType() == varUString || V.VType() == varOleStr)
        return V.AsString();
    return MultiByteToWideString(VariantToAnsiString(V), CP_ACP);
}

String VariantToString(const Variant& V) { return VariantToWideString(V); }

AnsiString StreamToAnsiString(TMemoryStream* AStream)
{
    AnsiString result(AStream->Size(), '\0');
    const int64_t got = AStream->Read(result.data(), result.size());
    result.truncate(std::max<int64_t>(0, got));
    return result;
}

void AnsiStringToStream(TStream* AStream, const AnsiString& S)
{
    if (!S.isEmpty())
        AStream->WriteBuffer(S.constData(), S.size());
}

void SwapIntegers(int& A, int& B) { std::swap(A, B); }

int GetFirstDayOfWeek()
{
    // Qt numbers Monday 1 ... Sunday 7.
    return int(QLocale().firstDayOfWeek()) % 7;
}

// ---- text-stream signatures --------------------------------------------------------

namespace {
constexpr char unicodeSignature[6] = {'V', 'X', 'U', 'F', 'M', 'T'};
constexpr char ansiSignature[6] = {'V', 'X', 'A', 'F', 'M', 'T'};
}  // namespace

bool ReadStreamFormatSignature(TStream* AStream)
{
    const int64_t pos = AStream->Position();
    if (AStream->Size() - pos < 6)
        return false;
    char buffer[6];
    if (AStream->Read(buffer, 6) != 6) {
        AStream->SetPosition(pos);
        return false;
    }
    if (std::memcmp(buffer, unicodeSignature, 6) == 0)
        return true;
    if (std::memcmp(buffer, ansiSignature, 6) != 0)
        AStream->SetPosition(pos);
    return false;
}

void WriteStreamFormatSignature(TStream* AStream) { AStream->WriteBuffer(unicodeSignature, 6); }

TvxStream::TvxStream(TStream* AStream) : FStream(AStream), FIsUnicode(ReadStreamFormatSignature(AStream)) {}

// ---- bitmap pixels ---------------------------------------------------------------

int GetBitmapBitCount(const TBitmap* ABitmap)
{
    switch (ABitmap->PixelFormat()) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

namespace {

// The pixels as 32-bit entries, top row first: 32-bit bitmaps give their
// four bytes unchanged, the others their colour with 0 in the fourth byte.
TRGBColors topDownColors(const TBitmap* b)
{
    const int w = b->Width(), h = b->Height();
    TRGBColors colors(size_t(w) * size_t(h));
    if (b->PixelFormat() == pf32bit) {
        for (int y = 0; y < h; ++y)
            std::memcpy(&colors[size_t(y) * size_t(w)], b->ScanLine(y), size_t(w) * 4);
        return colors;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            colors[size_t(y) * size_t(w) + size_t(x)] = MakeRGBQuad(b->Pixels(x, y), 0);
    return colors;
}

}  // namespace

bool ReadBitmapColors(const TBitmap* ABitmap, TRGBColors& AColors, bool ATopDown)
{
    if (ABitmap == nullptr || ABitmap->Empty())
        return false;
    AColors = topDownColors(ABitmap);
    if (!ATopDown) {
        const size_t w = size_t(ABitmap->Width());
        for (size_t top = 0, bottom = size_t(ABitmap->Height()) - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(AColors.begin() + ptrdiff_t(top * w), AColors.begin() + ptrdiff_t((top + 1) * w),
                             AColors.begin() + ptrdiff_t(bottom * w));
    }
    return true;
}

bool WriteBitmapColors(TBitmap* ABitmap, const TRGBColors& AColors, bool ATopDown)
{
    if (ABitmap == nullptr || ABitmap->Empty())
        return false;
    const size_t w = size_t(ABitmap->Width()), h = size_t(ABitmap->Height());
    if (AColors.size() < w * h)
        return false;
    if (ABitmap->PixelFormat() != pf32bit)
        ABitmap->SetPixelFormat(pf32bit);
    for (size_t y = 0; y < h; ++y) {
        const size_t row = ATopDown ? y : h - 1 - y;
        std::memcpy(ABitmap->ScanLine(int(y)), &AColors[row * w], w * 4);
    }
    return true;
}

void CopyBitmapScanlines(const TBitmap* ABitmap, TRGBColors& AColors)
{
    if (ABitmap == nullptr || ABitmap->PixelFormat() != pf32bit)
        return;
    const size_t w = size_t(ABitmap->Width()), h = size_t(ABitmap->Height());
    if (AColors.size() != w * h)
        AColors.resize(w * h);
    for (size_t y = 0; y < h; ++y)
        std::memcpy(&AColors[y * w], ABitmap->ScanLine(int(y)), w * 4);
}

uint32_t MakeRGBQuad(TColor AColor, uint8_t AAlpha)
{
    const uint32_t rgb = uint32_t(ColorToRGB(AColor));
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF) | (uint32_t(AAlpha) << 24);
}

bool BitmapHasAlpha(const TBitmap* ABitmap)
{
    if (ABitmap == nullptr || GetBitmapBitCount(ABitmap) < 32)
        return false;
    TRGBColors colors;
    if (!ReadBitmapColors(ABitmap, colors, false))
        return false;
    return std::any_of(colors.begin(), colors.end(), [](uint32_t c) { return (c >> 24) != 0; });
}
