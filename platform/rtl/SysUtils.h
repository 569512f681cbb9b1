// SysUtils.h - number and text conversion, format settings and file-name
// helpers, with the original runtime's rules.
#pragma once
#include <array>
#include <cstdint>

#include <QChar>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"

VORLANE_DECLARE_EXCEPTION(EInOutError, Exception);

namespace RtlConsts {
VORLANE_RESOURCESTRING(SCannotCreateDir, "Unable to create directory");
VORLANE_RESOURCESTRING(SInvalidDate, "'%s' is not a valid date");
VORLANE_RESOURCESTRING(SInvalidTime, "'%s' is not a valid time");
VORLANE_RESOURCESTRING(SInvalidDateTime, "'%s' is not a valid date and time");
VORLANE_RESOURCESTRING(SDateEncodeError, "Invalid argument to date encode");
VORLANE_RESOURCESTRING(STimeEncodeError, "Invalid argument to time encode");
}  // namespace RtlConsts

// The texts and separators that number and date conversions use. Month
// and day names are indexed from 0 (January, Sunday).
struct TFormatSettings {
    String CurrencyString;
    uint8_t CurrencyFormat = 0;
    uint8_t NegCurrFormat = 0;
    QChar ThousandSeparator;
    QChar DecimalSeparator;
    uint8_t CurrencyDecimals = 2;
    QChar DateSeparator;
    QChar TimeSeparator;
    String ShortDateFormat;
    String LongDateFormat;
    String TimeAMString;
    String TimePMString;
    String ShortTimeFormat;
    String LongTimeFormat;
    std::array<String, 12> ShortMonthNames;
    std::array<String, 12> LongMonthNames;
    std::array<String, 7> ShortDayNames;
    std::array<String, 7> LongDayNames;
    uint16_t TwoDigitYearCenturyWindow = 50;
};

// The fixed English (US) settings, the same on every machine whatever the
// host locale says.
TFormatSettings DefaultFormatSettings();

// The process's settings. The program sets them at start-up, before any
// thread runs; everything else only reads them.
extern TFormatSettings FormatSettings;

// Sets the format settings to their start-up values.
void SysUtilsInitialization();

// ---- integers -------------------------------------------------------------

String IntToStr(int Value);
String IntToStr(int64_t Value);
// A negative int shows as 8 digits, a negative int64_t as 16.
String IntToHex(int Value, int Digits);
String IntToHex(int64_t Value, int Digits);

// Leading blanks, a sign and a "$", "0x" or "x" hexadecimal prefix are
// accepted; anything else raises EConvertError ("'%s' is not a valid integer value").
int StrToInt(const String& S);
int64_t StrToInt64(const String& S);
int StrToIntDef(const String& S, int Default);
int64_t StrToInt64Def(const String& S, int64_t Default);
bool TryStrToInt(const String& S, int& Value);
bool TryStrToInt64(const String& S, int64_t& Value);

// ---- floating point -------------------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Precision is the number of significant digits (at most 18); Digits is the
// minimum exponent digits (general, exponent) or the decimals (the others).
String FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits);
String FloatToStr(long double Value);
// Sections "positive;negative;zero" of '0', '#', '.', ',', "E+00", quoted
// literals and other characters, as the original's format strings.
String FormatFloat(const String& Format, long double Value);

// Blanks around the number are allowed; the decimal separator is the
// settings' one. Raises EConvertError ("'%s' is not a valid floating point value").
long double StrToFloat(const String& S);
long double StrToFloatDef(const String& S, long double Default);
bool TryStrToFloat(const String& S, long double& Value);
bool TryStrToFloat(const String& S, double& Value);

// ---- text -----------------------------------------------------------------

// Trimming removes every character up to and including the blank.
String Trim(const String& S);
String TrimLeft(const String& S);
String TrimRight(const String& S);
// Only 'a'..'z' and 'A'..'Z' change.
String UpperCase(const String& S);
String LowerCase(const String& S);
// Every letter changes, as the locale's rules say.
String AnsiUpperCase(const String& S);
String AnsiLowerCase(const String& S);
// Negative, zero or positive: the difference of the first differing
// characters (ASCII-uppercased for CompareText) or of the lengths.
int CompareStr(const String& S1, const String& S2);
int CompareText(const String& S1, const String& S2);
bool SameText(const String& S1, const String& S2);
bool AnsiSameText(const String& S1, const String& S2);

String QuotedStr(const String& S);
String AnsiQuotedStr(const String& S, QChar Quote);
// Undoes AnsiQuotedStr; a text that is not quoted, or whose closing quote
// is missing, comes back unchanged.
String AnsiDequotedStr(const String& S, QChar Quote);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
String StringReplace(const String& S, const String& OldPattern, const String& NewPattern, TReplaceFlags Flags);

// 1-based position of Substr in S, 0 when absent (or Substr is empty).
int Pos(const String& Substr, const String& S);

// ---- file names -----------------------------------------------------------

inline constexpr char16_t PathDelim = u'/';

String ExtractFileName(const String& FileName);
String ExtractFilePath(const String& FileName);  // keeps the trailing delimiter
String ExtractFileDir(const String& FileName);   // drops it, except for the root
String ExtractFileExt(const String& FileName);   // with the dot
String ChangeFileExt(const String& FileName, const String& Extension);
String IncludeTrailingPathDelimiter(const String& S);
String ExcludeTrailingPathDelimiter(const String& S);

bool FileExists(const String& FileName);  // false for a directory
bool DirectoryExists(const String& Directory);
// Creates the folder and its missing parents; raises EInOutError ("Unable
// to create directory") for an empty name.
bool ForceDirectories(const String& Dir);
bool DeleteFile(const String& FileName);
// Fails when NewName already exists.
bool RenameFile(const String& OldName, const String& NewName);

String GetEnvironmentVariable(const String& Name);
