// vxCore.h - the small services the whole component library takes for
// granted: the resource-string repository, byte/hex/code-page conversions,
// the "VXUFMT"/"VXAFMT" text-stream signatures, 32-bit pixel arrays of
// bitmaps, the first day of the week and the platform flags.
#pragma once
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/Variant.h"

class TBitmap;
class TStartupList;
using TColor = int32_t;

// The base of the library's exceptions.
VORLANE_DECLARE_EXCEPTION(EvxException, Exception);

// ---- resource strings ------------------------------------------------------------

// Meant to hear of changed translations; nothing raises it today.
class IvxResourceStringsListener {
public:
    virtual ~IvxResourceStringsListener() = default;
    virtual void TranslationChanged() = 0;
};

class TvxProductResourceStrings;
using TvxAddResourceStringsProc = std::function<void(TvxProductResourceStrings* AProduct)>;

// One product's strings by identifier name: sorted without regard to case,
// and the first Add of a name wins.
class TvxProductResourceStrings : public TObject {
public:
    // Runs the fill procedure at once.
    TvxProductResourceStrings(const String& AName, const TvxAddResourceStringsProc& AAddStringsProc);
    String ClassName() const override { return String::fromLatin1("TvxProductResourceStrings"); }

    void Add(const String& AResStringName, const TResStringRec* AResString);
    const String& Name() const { return FName; }
    int Count() const { return int(FNames.size()); }
    const String& Names(int Index) const { return FNames.at(size_t(Index)).first; }
    const TResStringRec* Values(int Index) const { return FNames.at(size_t(Index)).second; }
    // -1 when absent; compared without regard to case.
    int IndexOf(const String& AResStringName) const;

private:
    String FName;
    std::vector<std::pair<String, const TResStringRec*>> FNames;
};

class TvxResourceStringsRepository : public TObject {
public:
    TvxResourceStringsRepository() = default;
    ~TvxResourceStringsRepository() override;
    String ClassName() const override { return String::fromLatin1("TvxResourceStringsRepository"); }

    // Two products of one name are kept as two entries.
    void RegisterProduct(const String& AProductName, const TvxAddResourceStringsProc& AAddStringsProc);
    // The first product of exactly that name (case matters); unknown names do nothing.
    void UnregisterProduct(const String& AProductName);
    void AddListener(IvxResourceStringsListener* AListener);
    void RemoveListener(IvxResourceStringsListener* AListener);

    int ProductCount() const { return int(FProducts.size()); }
    TvxProductResourceStrings* Products(int Index) const { return FProducts.at(size_t(Index)).get(); }
    int ListenerCount() const { return int(FListeners.size()); }

private:
    std::vector<std::unique_ptr<TvxProductResourceStrings>> FProducts;
    std::vector<IvxResourceStringsListener*> FListeners;  // not owned
};

// Created on first call; freed by the unit's finalization.
TvxResourceStringsRepository* GetResourceStringsRepository();

// ---- strings, characters and variants -----------------------------------------------

AnsiString AnsiStringToHex(const AnsiString& AString);
// Length = input length div 2. A pair that is not two hexadecimal digits
// ends the decoding: it and every byte after it are 0.
AnsiString HexToAnsiString(const AnsiString& AString);

using TvxCharSet = std::bitset<256>;
bool IsCharInSet(QChar C, const TvxCharSet& ACharSet);

// The classification bits of one character (C1_UPPER ... C1_DEFINED).
enum : uint16_t {
    C1_UPPER = 0x0001, C1_LOWER = 0x0002, C1_DIGIT = 0x0004, C1_SPACE = 0x0008, C1_PUNCT = 0x0010,
    C1_CNTRL = 0x0020, C1_BLANK = 0x0040, C1_XDIGIT = 0x0080, C1_ALPHA = 0x0100, C1_DEFINED = 0x0200
};
uint16_t GetCharType(QChar C);

// Code pages: the ANSI code page is Windows-1252 here, always.
enum : uint32_t { CP_ACP = 0, CP_UTF8 = 65001, CP_WINDOWS1252 = 1252 };
uint32_t GetACP();
// Length -1: the whole string. Unknown code pages and undecodable bytes
// give an empty result, as the failed system call did.
String MultiByteToWideString(const AnsiString& S, uint32_t ACodePage, int ALength = -1);
AnsiString WideToMultiByteString(const String& S, uint32_t ACodePage, int ALength = -1);

AnsiString VariantToAnsiString(const Variant& V);
String VariantToWideString(const Variant& V);
String VariantToString(const Variant& V);
bool VarIsBlob(const Variant& V);
AnsiString StreamToAnsiString(TMemoryStream* AStream);
void AnsiStringToStream(TStream* AStream, const AnsiString& S);
void SwapIntegers(int& A, int& B);
// 0 = Sunday ... 6 = Saturday, from the current locale.
int GetFirstDayOfWeek();

// ---- text-stream signatures --------------------------------------------------------

// Fewer than 6 bytes left: nothing read, false. "VXUFMT": consumed, true.
// "VXAFMT": consumed, false. Anything else: the position goes back, false.
bool ReadStreamFormatSignature(TStream* AStream);
void WriteStreamFormatSignature(TStream* AStream);

// A stream that forwards to another (not owned) and knows whether its
// strings are UTF-16.
class TvxStream : public TStream {
public:
    explicit TvxStream(TStream* AStream);
    String ClassName() const override { return String::fromLatin1("TvxStream"); }
    int64_t Read(void* Buffer, int64_t Count) override { return FStream->Read(Buffer, Count); }
    int64_t Write(const void* Buffer, int64_t Count) override { return FStream->Write(Buffer, Count); }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override { return FStream->Seek(Offset, Origin); }
    int64_t Size() override { return FStream->Size(); }
    bool IsUnicode() const { return FIsUnicode; }
    TStream* Stream() const { return FStream; }

private:
    TStream* FStream;
    bool FIsUnicode;
};

// ---- bitmap pixels ---------------------------------------------------------------

// One entry per pixel: blue in the low byte, then green, red and alpha.
using TRGBColors = std::vector<uint32_t>;
int GetBitmapBitCount(const TBitmap* ABitmap);
// Rows top first when ATopDown, else bottom first. False for an empty bitmap.
bool ReadBitmapColors(const TBitmap* ABitmap, TRGBColors& AColors, bool ATopDown);
// Converts the bitmap to 32 bits when it has another depth.
bool WriteBitmapColors(TBitmap* ABitmap, const TRGBColors& AColors, bool ATopDown);
void CopyBitmapScanlines(const TBitmap* ABitmap, TRGBColors& AColors);
uint32_t MakeRGBQuad(TColor AColor, uint8_t AAlpha = 0);
// 32 bits and at least one pixel with a non-zero fourth byte.
bool BitmapHasAlpha(const TBitmap* ABitmap);

// ---- platform flags ---------------------------------------------------------------

// Fixed: the code paths for old systems and 32-bit emulation never run here.
inline constexpr bool IsWin9X = false;
inline constexpr bool IsWinNTFamily = true;
inline constexpr bool IsWinXPOrLater = true;
inline constexpr bool IsWinVistaOrLater = true;
inline constexpr bool IsWin7 = false;
inline constexpr bool IsWow64 = false;

// The unit's start-up entry (its finalization frees the repository).
void AddvxCoreUnit(TStartupList& AList);
