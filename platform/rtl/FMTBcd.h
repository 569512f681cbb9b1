// FMTBcd.h - exact decimal numbers of up to 64 digits, as databases hand
// them over: the value kept as packed decimal digits so that no binary
// rounding touches it, with order and text/double conversions.
#pragma once
#include <cstdint>

#include "platform/rtl/Exception.h"
#include "platform/rtl/String.h"

VORLANE_DECLARE_EXCEPTION(EBcdException, Exception);
VORLANE_DECLARE_EXCEPTION(EBcdOverflowException, EBcdException);

namespace RtlConsts {
VORLANE_RESOURCESTRING(SInvalidBcdValue, "%s is not a valid BCD value");
VORLANE_RESOURCESTRING(SBcdOverflow, "BCD overflow");
}  // namespace RtlConsts

// The stored layout: Precision digits in all, the last (SignSpecialPlaces &
// 63) of them after the decimal point; bit 7 of SignSpecialPlaces is the
// sign. Fraction holds two digits a byte, the first digit in the high nibble
// of Fraction[0]. 34 bytes, the size record buffers and streams count on.
struct TBcd {
    uint8_t Precision = 0;
    uint8_t SignSpecialPlaces = 0;
    uint8_t Fraction[32] = {};
};

constexpr int MaxFMTBcdFractionSize = 64;

// Numeric order; -0 equals 0 and trailing zeros after the point do not count.
int BcdCompare(const TBcd& bcd1, const TBcd& bcd2);

// '-', digits, the locale's decimal separator (or '.') and digits; an
// exponent "e±n" is taken too. More than 64 significant digits: the
// fraction is rounded half to even, an integer part that does not fit
// raises EBcdOverflowException.
bool TryStrToBcd(const String& AValue, TBcd& Bcd);
TBcd StrToBcd(const String& AValue);  // EBcdException when it does not read
// Plain decimal text with the locale's separator, without trailing zeros
// after the point ("0" for zero, "-1.5").
String BcdToStr(const TBcd& Bcd);

// The value in a float format (FloatToStrF's rules), through the nearest
// double: exact for the 15 significant digits the editors ask for.
String BcdToStrF(const TBcd& Bcd, int Format, int Precision, int Digits);

// The double nearest the decimal value (correctly rounded).
double BcdToDouble(const TBcd& Bcd);
// The shortest decimal that reads back as the same double; NaN and the
// infinities raise EBcdOverflowException.
TBcd DoubleToBcd(double Value);
TBcd IntegerToBcd(int64_t Value);
// True when the value has no fraction and fits; Value is then set.
bool TryBcdToInt64(const TBcd& Bcd, int64_t& Value);
