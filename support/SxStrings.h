// SxStrings.h - the text routines of the support units: lenient number
// reading, case-blind searching, padding, splitting, words and key-XOR hex.
// Positions count from 1 unless a routine says otherwise.
#pragma once
#include <bitset>
#include <cstdint>
#include <functional>

#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"
#include "support/SxBase.h"

namespace SxResources {
VORLANE_RESOURCESTRING(RsBlankSearchString, "Search string cannot be blank");
}  // namespace SxResources

VORLANE_DECLARE_EXCEPTION(ESxStringError, ESxError);

// A set of 8-bit characters.
using TSysCharSet = std::bitset<256>;
TSysCharSet SysCharSetOf(const char* Chars);

String PadLeftTo(const String& Text, int Length, QChar Fill);
String TextBefore(const String& Sub, const String& Text);
String TextAfter(const String& Sub, const String& Text);
int LastPosOf(const String& Sub, const String& Text);

// Reads the number a user meant: signs, blanks and brackets in front,
// thousands separators and stray characters are dropped, and separators
// written the other way round are swapped. A text without digits gives 0.
double StrToFloatLenient(const String& Text);
// Truncated toward zero; values beyond 64 bits saturate.
int64_t StrToIntLenient(const String& Text);

int FindTextFrom(const String& Sub, const String& Text, int Start);
int PosNoCase(const String& Sub, const String& Text);
String LeftChars(const String& Text, int N);
String RestFrom(const String& Text, int N);
String AppendSuffixOnce(const String& Suffix, const String& Text);
String FilterChars(const String& Text, const std::function<bool(QChar)>& Predicate);
// Raises ESxStringError "Search string cannot be blank" for an empty search
// in a non-empty text.
void ReplaceInPlace(String& Text, const String& Search, const String& Replacement, TReplaceFlags Flags);
QChar UpperChar(QChar C);
String UpperCopy(const String& Text);
void UpperInPlace(String& Text);
void TruncateAtNul(String& Text);
int CountChar(const String& Text, QChar C);
int FindCharFrom(const String& Text, QChar C, int Start);
void SplitToList(const String& Text, const String& Separator, TStrings* List, bool AllowEmpty);
bool IsHexDigitChar(QChar C);
bool IsDigitOrDecimalSeparator(QChar C);
QChar CurrentDecimalSeparator();
// nullptr when either text is missing or empty.
const char16_t* WideCStrFind(const char16_t* Text, const char16_t* Sub);
// Zero-based indexes; only the part of the range that lies inside both
// texts is copied.
void CopyCharsAt(const String& Source, int FromIndex, String& Dest, int ToIndex, int Count);
bool VariantIsInteger(const Variant& V);
int NthWordPosition(int N, const String& Text, const TSysCharSet& Delimiters);
String NthWord(int N, const String& Text, const TSysCharSet& Delimiters);
String KeyXorHexEncode(const String& Key, const String& Text);
String KeyXorHexDecode(const String& Key, const String& Hex);
// The 8-bit code page's character classes (Latin-1 here).
bool IsLowerAnsiChar(uint8_t C);
bool IsUpperAnsiChar(uint8_t C);
