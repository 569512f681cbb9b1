#include "platform/rtl/Variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "platform/rtl/SysUtils.h"

using namespace RtlConsts;

struct VariantAccess {
    using TData = Variant::TData;
    using TArrayRef = Variant::TArrayRef;

    template <class T>
    static Variant make(TVarType vt, T value)
    {
        Variant v;
        v.FVType = vt;
        v.FData.template emplace<T>(std::move(value));
        return v;
    }
    static const TData& data(const Variant& v) { return v.FData; }
    static TData& data(Variant& v) { return v.FData; }
};

namespace {

using TData = VariantAccess::TData;
using TArrayRef = VariantAccess::TArrayRef;

constexpr TVarType varByteArray = varArray | varByte;
constexpr TVarType varVariantArray = varArray | varVariant;
constexpr int64_t ticksPerUnit = 10000;

[[noreturn]] void castError(TVarType from, TVarType to)
{
    throw EVariantTypeCastError(LoadResStringFmt(SVarTypeCouldNotConvert, {VarTypeAsText(from), VarTypeAsText(to)}));
}

[[noreturn]] void overflowError(TVarType from, TVarType to)
{
    throw EVariantOverflowError(LoadResStringFmt(SVarTypeConvertOverflow, {VarTypeAsText(from), VarTypeAsText(to)}));
}

bool isIntegerType(TVarType vt)
{
    switch (vt) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return true;
    default:
        return false;
    }
}

bool isTextType(TVarType vt)
{
    return vt == varOleStr || vt == varUString || vt == varString;
}

int64_t intOf(const Variant& v) { return std::get<int64_t>(VariantAccess::data(v)); }
double floatOf(const Variant& v)
{
    const TData& d = VariantAccess::data(v);
    return v.VType() == varSingle ? double(std::get<float>(d)) : std::get<double>(d);
}

String textOf(const Variant& v)
{
    const TData& d = VariantAccess::data(v);
    if (v.VType() == varString)
        return LibraryText(std::get<AnsiString>(d));
    return std::get<String>(d);
}

// Rounding that does not depend on the floating-point environment.
long double roundHalfEven(long double x)
{
    long double r = std::round(x);
    if (std::fabs(x - r) == 0.5L)
        r = 2.0L * std::round(x / 2.0L);
    return r;
}

// ---- currency ---------------------------------------------------------

enum class TDecimalResult { Ok, Syntax, Overflow };

// A plain decimal text ("-12.345", "1.5e3", '.' as the separator) to
// 1/10000 units, rounded half to even on the decimal digits themselves so
// that no binary approximation decides a tie.
TDecimalResult decimalToTicks(std::string_view s, int64_t& ticks)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
        negative = s[pos++] == '-';
    std::string digits;
    int fractionDigits = 0;
    bool anyDigit = false;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        digits += s[pos++];
        anyDigit = true;
    }
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            digits += s[pos++];
            ++fractionDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return TDecimalResult::Syntax;
    int64_t exponent = 0;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
            negativeExponent = s[pos++] == '-';
        if (pos == s.size())
            return TDecimalResult::Syntax;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            if (exponent < 100000)
                exponent = exponent * 10 + (s[pos] - '0');
            ++pos;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (pos != s.size())
        return TDecimalResult::Syntax;

    const size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        ticks = 0;
        return TDecimalResult::Ok;
    }
    digits.erase(0, firstNonZero);
    // value = digits * 10^shift ticks
    const int64_t shift = exponent - fractionDigits + 4;
    const int64_t keep = int64_t(digits.size()) + shift;
    if (keep > 19)
        return TDecimalResult::Overflow;
    __int128 magnitude = 0;
    if (shift >= 0) {
        for (char c : digits)
            magnitude = magnitude * 10 + (c - '0');
        for (int64_t i = 0; i < shift; ++i)
            magnitude *= 10;
    } else if (keep >= 0) {
        for (int64_t i = 0; i < keep; ++i)
            magnitude = magnitude * 10 + (digits[size_t(i)] - '0');
        const std::string_view dropped = std::string_view(digits).substr(size_t(keep));
        const char first = dropped[0];
        const bool restNonZero = dropped.find_first_not_of('0', 1) != std::string_view::npos;
        if (first > '5' || (first == '5' && (restNonZero || magnitude % 2 != 0)))
            ++magnitude;
    }
    const __int128 limit = negative ? -__int128(std::numeric_limits<int64_t>::min())
                                    : __int128(std::numeric_limits<int64_t>::max());
    if (magnitude > limit)
        return TDecimalResult::Overflow;
    ticks = int64_t(negative ? -magnitude : magnitude);
    return TDecimalResult::Ok;
}

// The shortest text that reads back as the same binary value decides the
// rounding, so 0.00025 becomes 2 ticks as its text says, not 3 as its
// binary excess would.
template <class TFloat>
TDecimalResult floatToTicks(TFloat value, int64_t& ticks)
{
    if (!std::isfinite(value))
        return TDecimalResult::Overflow;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    return decimalToTicks(std::string_view(buffer, size_t(result.ptr - buffer)), ticks);
}

int64_t ticksToInt(int64_t ticks)
{
    int64_t quotient = ticks / ticksPerUnit;
    const int64_t remainder = ticks % ticksPerUnit;
    const int64_t half = ticksPerUnit / 2;
    if (remainder > half || (remainder == half && quotient % 2 != 0))
        ++quotient;
    else if (remainder < -half || (remainder == -half && quotient % 2 != 0))
        --quotient;
    return quotient;
}

double ticksToDouble(int64_t ticks)
{
    return double(static_cast<long double>(ticks) / ticksPerUnit);
}

String ticksToText(int64_t ticks)
{
    const bool negative = ticks < 0;
    const uint64_t magnitude = negative ? 0 - uint64_t(ticks) : uint64_t(ticks);
    String text = String::number(magnitude / ticksPerUnit);
    uint64_t fraction = magnitude % ticksPerUnit;
    if (fraction != 0) {
        String digits = String::number(fraction).rightJustified(4, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        text += FormatSettings.DecimalSeparator + digits;
    }
    return negative ? u'-' + text : text;
}

// ---- numbers ----------------------------------------------------------

// A number as the conversions and comparisons see it: exact integers and
// currency ticks stay exact.
struct TNumber {
    enum TKind { nkInt, nkFloat, nkCurr } Kind = nkInt;
    int64_t I = 0;  // the integer, or the ticks of a currency
    double D = 0;
};

bool tryTextToNumber(const String& text, TVarType from, TVarType to, TNumber& number)
{
    const String trimmed = Trim(text);
    int64_t i = 0;
    if (TryStrToInt64(trimmed, i)) {
        number = {TNumber::nkInt, i, 0};
        return true;
    }
    long double x = 0;
    if (!TryStrToFloat(trimmed, x))
        return false;
    const auto d = double(x);
    if (std::isinf(d) && !std::isinf(x))
        overflowError(from, to);
    number = {TNumber::nkFloat, 0, d};
    return true;
}

TNumber textToNumber(const Variant& v, TVarType to)
{
    TNumber number;
    if (!tryTextToNumber(textOf(v), v.VType(), to, number))
        castError(v.VType(), to);
    return number;
}

TDateTime stampDateOf(const Variant& v, TVarType to)
{
    TDateTime result = 0;
    if (!TrySQLTimeStampToDateTime(std::get<TSQLTimeStamp>(VariantAccess::data(v)), result))
        castError(varSQLTimeStamp, to);
    return result;
}

TNumber numberOf(const Variant& v, TVarType to)
{
    const TVarType vt = v.VType();
    if (isIntegerType(vt))
        return {TNumber::nkInt, intOf(v), 0};
    switch (vt) {
    case varEmpty:
        return {};
    case varBoolean:
        return {TNumber::nkInt, std::get<bool>(VariantAccess::data(v)) ? -1 : 0, 0};
    case varSingle:
    case varDouble:
    case varDate:
        return {TNumber::nkFloat, 0, floatOf(v)};
    case varCurrency:
        return {TNumber::nkCurr, std::get<TCurrency>(VariantAccess::data(v)).Ticks, 0};
    case varFMTBcd: {
        const TBcd& bcd = std::get<TBcd>(VariantAccess::data(v));
        int64_t i = 0;
        if (TryBcdToInt64(bcd, i))
            return {TNumber::nkInt, i, 0};
        return {TNumber::nkFloat, 0, BcdToDouble(bcd)};
    }
    case varSQLTimeStamp:
        return {TNumber::nkFloat, 0, stampDateOf(v, to)};
    default:
        if (isTextType(vt))
            return textToNumber(v, to);
        castError(vt, to);
    }
}

int64_t integerOf(const Variant& v, TVarType to, int64_t low, int64_t high)
{
    const TNumber n = numberOf(v, to);
    int64_t result = n.I;
    if (n.Kind == TNumber::nkCurr) {
        result = ticksToInt(n.I);
    } else if (n.Kind == TNumber::nkFloat) {
        const long double r = roundHalfEven(n.D);
        if (!(r >= -0x1p63L && r < 0x1p63L))
            overflowError(v.VType(), to);
        result = int64_t(r);
    }
    if (result < low || result > high)
        overflowError(v.VType(), to);
    return result;
}

double doubleOf(const Variant& v, TVarType to)
{
    const TNumber n = numberOf(v, to);
    switch (n.Kind) {
    case TNumber::nkInt:
        return double(n.I);
    case TNumber::nkCurr:
        return ticksToDouble(n.I);
    case TNumber::nkFloat:
        break;
    }
    return n.D;
}

int64_t ticksOf(const Variant& v)
{
    const TVarType vt = v.VType();
    int64_t ticks = 0;
    TDecimalResult result = TDecimalResult::Ok;
    if (vt == varSingle) {
        result = floatToTicks(std::get<float>(VariantAccess::data(v)), ticks);
    } else if (vt == varFMTBcd) {
        String plain = BcdToStr(std::get<TBcd>(VariantAccess::data(v)));
        plain.replace(FormatSettings.DecimalSeparator, u'.');
        result = decimalToTicks(plain.toStdString(), ticks);
    } else if (isTextType(vt)) {
        const String text = Trim(textOf(v));
        String plain = text;
        plain.replace(FormatSettings.DecimalSeparator, u'.');
        result = decimalToTicks(plain.toStdString(), ticks);
        if (result == TDecimalResult::Syntax) {
            // whatever else the float reader takes ("$1F" ...)
            TNumber n;
            if (!tryTextToNumber(text, vt, varCurrency, n))
                castError(vt, varCurrency);
            return ticksOf(n.Kind == TNumber::nkInt ? Variant(int64_t{n.I}) : Variant(n.D));
        }
    } else {
        const TNumber n = numberOf(v, varCurrency);
        switch (n.Kind) {
        case TNumber::nkCurr:
            return n.I;
        case TNumber::nkInt: {
            const __int128 product = __int128(n.I) * ticksPerUnit;
            if (product < std::numeric_limits<int64_t>::min() || product > std::numeric_limits<int64_t>::max())
                overflowError(vt, varCurrency);
            return int64_t(product);
        }
        case TNumber::nkFloat:
            result = floatToTicks(n.D, ticks);
            break;
        }
    }
    if (result == TDecimalResult::Overflow)
        overflowError(vt, varCurrency);
    if (result == TDecimalResult::Syntax)
        castError(vt, varCurrency);
    return ticks;
}

bool booleanOf(const Variant& v)
{
    const TVarType vt = v.VType();
    if (isTextType(vt)) {
        const String text = Trim(textOf(v));
        if (text.compare(u"True", Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(u"False", Qt::CaseInsensitive) == 0)
            return false;
        TNumber n;
        if (!tryTextToNumber(text, vt, varBoolean, n))
            castError(vt, varBoolean);
        return n.Kind == TNumber::nkInt ? n.I != 0 : n.D != 0;
    }
    if (vt == varBoolean)
        return std::get<bool>(VariantAccess::data(v));
    const TNumber n = numberOf(v, varBoolean);
    return n.Kind == TNumber::nkFloat ? n.D != 0 : n.I != 0;
}

// The shortest text that reads back as the same Single, so 0.1 shows as
// "0.1" and not as the digits of its double widening.
String singleToText(float value)
{
    if (!std::isfinite(value))
        return FloatToStr(value);
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    double widened = 0;
    std::from_chars(buffer, end, widened);
    return FloatToStr(widened);
}

String stringOf(const Variant& v, TVarType to)
{
    const TVarType vt = v.VType();
    if (isIntegerType(vt))
        return IntToStr(intOf(v));
    if (isTextType(vt))
        return textOf(v);
    switch (vt) {
    case varEmpty:
        return {};
    case varBoolean:
        return std::get<bool>(VariantAccess::data(v)) ? String::fromLatin1("True") : String::fromLatin1("False");
    case varSingle:
        return singleToText(std::get<float>(VariantAccess::data(v)));
    case varDouble:
        return FloatToStr(std::get<double>(VariantAccess::data(v)));
    case varCurrency:
        return ticksToText(std::get<TCurrency>(VariantAccess::data(v)).Ticks);
    case varDate:
        return DateTimeToStr(std::get<double>(VariantAccess::data(v)));
    case varFMTBcd:
        return BcdToStr(std::get<TBcd>(VariantAccess::data(v)));
    case varSQLTimeStamp:
        return DateTimeToStr(stampDateOf(v, to));
    default:
        castError(vt, to);
    }
}

AnsiString ansiOf(const Variant& v)
{
    if (v.VType() == varString)
        return std::get<AnsiString>(VariantAccess::data(v));
    return stringOf(v, varString).toUtf8();
}

TDateTime dateOf(const Variant& v)
{
    const TVarType vt = v.VType();
    if (isTextType(vt)) {
        const String text = Trim(textOf(v));
        TDateTime result = 0;
        if (TryStrToDateTime(text, result))
            return result;
        TNumber n;
        if (!tryTextToNumber(text, vt, varDate, n))
            castError(vt, varDate);
        return n.Kind == TNumber::nkInt ? double(n.I) : n.D;
    }
    if (vt == varSQLTimeStamp)
        return stampDateOf(v, varDate);
    return doubleOf(v, varDate);
}

// Decimal conversions keep every digit a decimal can hold: integers,
// currency ticks and texts exactly, a double as its shortest text.
TBcd bcdOf(const Variant& v)
{
    const TVarType vt = v.VType();
    try {
        if (vt == varFMTBcd)
            return std::get<TBcd>(VariantAccess::data(v));
        if (isTextType(vt)) {
            TBcd result;
            if (!TryStrToBcd(textOf(v), result))
                castError(vt, varFMTBcd);
            return result;
        }
        if (vt == varCurrency) {
            String text = ticksToText(std::get<TCurrency>(VariantAccess::data(v)).Ticks);
            return StrToBcd(text);
        }
        if (vt == varSingle)
            return StrToBcd(singleToText(std::get<float>(VariantAccess::data(v))));
        const TNumber n = numberOf(v, varFMTBcd);
        return n.Kind == TNumber::nkFloat ? DoubleToBcd(n.D) : IntegerToBcd(n.I);
    } catch (const EBcdOverflowException&) {
        overflowError(vt, varFMTBcd);
    } catch (const EBcdException&) {
        castError(vt, varFMTBcd);
    }
}

// ---- arrays -----------------------------------------------------------

void checkArray(const Variant& a)
{
    if (!VarIsArray(a))
        throw EVariantError(LoadResString(SVarNotArray));
}

int elementCount(const Variant& a)
{
    const TData& d = VariantAccess::data(a);
    if (a.VType() == varByteArray)
        return int(std::get<AnsiString>(d).size());
    return int(std::get<TArrayRef>(d)->size());
}

void checkIndex(const Variant& a, int index)
{
    checkArray(a);
    if (index < 0 || index >= elementCount(a))
        throw EVariantBadIndexError(LoadResString(SVarArrayBounds));
}

Variant byteArrayToVariantArray(const Variant& a)
{
    const AnsiString& bytes = std::get<AnsiString>(VariantAccess::data(a));
    TVariantArray items;
    items.reserve(size_t(bytes.size()));
    for (char b : bytes)
        items.emplace_back(static_cast<unsigned char>(b));
    return VarArrayOf(items);
}

// ---- comparison -------------------------------------------------------

enum TCompareKind { ckEmpty, ckNull, ckNumber, ckBoolean, ckText, ckError, ckArray };

TCompareKind compareKind(TVarType vt)
{
    if (vt & varArray)
        return ckArray;
    if (isTextType(vt))
        return ckText;
    switch (vt) {
    case varEmpty:
        return ckEmpty;
    case varNull:
        return ckNull;
    case varBoolean:
        return ckBoolean;
    case varError:
        return ckError;
    default:
        return ckNumber;
    }
}

template <class T>
TVariantRelationship relation(const T& a, const T& b)
{
    return a < b ? vrLessThan : b < a ? vrGreaterThan : vrEqual;
}

TVariantRelationship compareNumbers(const TNumber& a, const TNumber& b)
{
    if (a.Kind == b.Kind && a.Kind != TNumber::nkFloat)
        return relation(a.I, b.I);
    if (a.Kind != TNumber::nkFloat && b.Kind != TNumber::nkFloat) {
        // an integer against currency ticks, exactly
        const __int128 x = a.Kind == TNumber::nkInt ? __int128(a.I) * ticksPerUnit : a.I;
        const __int128 y = b.Kind == TNumber::nkInt ? __int128(b.I) * ticksPerUnit : b.I;
        return relation(x, y);
    }
    // An int64 and a double both widen to long double without loss; a
    // currency meets a double as the double nearest to it, so 0.1 = 0.1.
    auto widen = [](const TNumber& n) -> long double {
        switch (n.Kind) {
        case TNumber::nkInt:
            return static_cast<long double>(n.I);
        case TNumber::nkCurr:
            return ticksToDouble(n.I);
        case TNumber::nkFloat:
            break;
        }
        return n.D;
    };
    const long double x = widen(a);
    const long double y = widen(b);
    if (std::isnan(x) || std::isnan(y))
        return vrNotEqual;
    return relation(x, y);
}

// A text against a date is read as a date text first, then as a number.
TNumber numberAgainst(const Variant& v, const Variant& other)
{
    if (isTextType(v.VType()) && IsDateVarType(other.VType()))
        return {TNumber::nkFloat, 0, dateOf(v)};
    return numberOf(v, other.VType());
}

}  // namespace

// ---- the value type -------------------------------------------------------

int Variant::AsInteger() const
{
    return int(integerOf(*this, varInteger, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int64_t Variant::AsInt64() const
{
    return integerOf(*this, varInt64, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
}

double Variant::AsDouble() const
{
    return doubleOf(*this, varDouble);
}

TCurrency Variant::AsCurrency() const
{
    return {ticksOf(*this)};
}

bool Variant::AsBoolean() const
{
    return booleanOf(*this);
}

String Variant::AsString() const
{
    return stringOf(*this, varUString);
}

AnsiString Variant::AsAnsiString() const
{
    return ansiOf(*this);
}

TDateTime Variant::AsDateTime() const
{
    return dateOf(*this);
}

TBcd Variant::AsBcd() const
{
    return bcdOf(*this);
}

TSQLTimeStamp Variant::AsSQLTimeStamp() const
{
    if (FVType == varSQLTimeStamp)
        return std::get<TSQLTimeStamp>(FData);
    return DateTimeToSQLTimeStamp(dateOf(*this));
}

Variant Null()
{
    return VariantAccess::make(varNull, std::monostate{});
}

Variant Unassigned()
{
    return {};
}

Variant VarFromDateTime(TDateTime value)
{
    return VariantAccess::make(varDate, double(value));
}

Variant VarAsError(int32_t code)
{
    return VariantAccess::make(varError, int64_t{code});
}

TVarType VarType(const Variant& V)
{
    return V.VType();
}

String VarTypeAsText(TVarType VType)
{
    static constexpr const char* names[] = {
        "Empty", "Null", "Smallint", "Integer", "Single", "Double", "Currency", "Date",
        "OleStr", "Dispatch", "Error", "Boolean", "Variant", "Unknown", "Decimal", "$0F",
        "ShortInt", "Byte", "Word", "LongWord", "Int64", "UInt64"};
    const TVarType base = VType & varTypeMask;
    String text;
    if (base < std::size(names))
        text = String::fromLatin1(names[base]);
    else if (base == varString)
        text = String::fromLatin1("String");
    else if (base == varUString)
        text = String::fromLatin1("UnicodeString");
    else if (base == varFMTBcd)
        text = String::fromLatin1("FMTBcd");
    else if (base == varSQLTimeStamp)
        text = String::fromLatin1("SQLTimeStamp");
    else
        text = u'$' + String::number(base, 16).toUpper().rightJustified(4, u'0');
    if (VType & varArray)
        text = String::fromLatin1("Array ") + text;
    return text;
}

bool VarIsEmpty(const Variant& V)
{
    return V.VType() == varEmpty;
}

bool VarIsNull(const Variant& V)
{
    return V.VType() == varNull;
}

bool VarIsClear(const Variant& V)
{
    return V.VType() == varEmpty;
}

bool VarIsStr(const Variant& V)
{
    return isTextType(V.VType());
}

bool VarIsOrdinal(const Variant& V)
{
    return isIntegerType(V.VType()) || V.VType() == varBoolean;
}

bool VarIsFloat(const Variant& V)
{
    const TVarType vt = V.VType();
    return vt == varSingle || vt == varDouble || vt == varCurrency;
}

bool VarIsNumeric(const Variant& V)
{
    return VarIsOrdinal(V) || VarIsFloat(V);
}

bool VarIsArray(const Variant& V)
{
    return (V.VType() & varArray) != 0;
}

bool VarIsSoftNull(const Variant& V)
{
    if (VarIsNull(V))
        return true;
    if (V.VType() == varString)
        return std::get<AnsiString>(VariantAccess::data(V)).isEmpty();
    return VarIsStr(V) && std::get<String>(VariantAccess::data(V)).isEmpty();
}

bool VarIsNumericOrBcd(const Variant& V)
{
    return VarIsNumeric(V) || V.VType() == varFMTBcd;
}

bool VarIsDate(const Variant& V)
{
    return IsDateVarType(V.VType());
}

bool IsDateVarType(TVarType VType)
{
    return VType == varDate || VType == varSQLTimeStamp;
}

bool IsIntegerVarType(TVarType VType)
{
    return isIntegerType(VType);
}

bool IsCurrencyVarType(TVarType VType)
{
    return VType == varCurrency || VType == varFMTBcd;
}

Variant VarAsType(const Variant& V, TVarType VType)
{
    if (V.VType() == VType)
        return V;
    auto integer = [&](int64_t low, int64_t high) {
        return VariantAccess::make(VType, integerOf(V, VType, low, high));
    };
    switch (VType) {
    case varEmpty:
        return {};
    case varNull:
        return Null();
    case varShortInt:
        return integer(-128, 127);
    case varByte:
        return integer(0, 255);
    case varSmallint:
        return integer(-32768, 32767);
    case varWord:
        return integer(0, 65535);
    case varInteger:
        return integer(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    case varLongWord:
        return integer(0, std::numeric_limits<uint32_t>::max());
    case varInt64:
        return integer(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
    case varSingle: {
        const double d = doubleOf(V, varSingle);
        if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
            overflowError(V.VType(), varSingle);
        return Variant(float(d));
    }
    case varDouble:
        return Variant(doubleOf(V, varDouble));
    case varDate:
        return VarFromDateTime(dateOf(V));
    case varCurrency:
        return Variant(TCurrency{ticksOf(V)});
    case varBoolean:
        return Variant(booleanOf(V));
    case varOleStr:
    case varUString:
        return VariantAccess::make(VType, stringOf(V, VType));
    case varString:
        return Variant(ansiOf(V));
    case varFMTBcd:
        return Variant(bcdOf(V));
    case varSQLTimeStamp:
        return Variant(V.AsSQLTimeStamp());
    case varByteArray:
        if (VarIsArray(V))
            return VarArrayFromBytes(VarArrayToBytes(V));
        break;
    case varVariantArray:
        if (V.VType() == varByteArray)
            return byteArrayToVariantArray(V);
        break;
    default:
        break;
    }
    castError(V.VType(), VType);
}

String VarToStr(const Variant& V)
{
    return VarToStrDef(V, String());
}

String VarToStrDef(const Variant& V, const String& ADefault)
{
    return VarIsNull(V) ? ADefault : V.AsString();
}

// ---- comparison -----------------------------------------------------------

TVariantRelationship VarCompareValue(const Variant& A, const Variant& B)
{
    TCompareKind ka = compareKind(A.VType());
    TCompareKind kb = compareKind(B.VType());
    if (ka == ckArray || kb == ckArray)
        throw EVariantError(LoadResString(SInvalidVarOp));
    if (ka == ckNull || kb == ckNull)
        return ka == kb ? vrEqual : vrNotEqual;
    if (ka == ckError || kb == ckError) {
        if (ka != kb)
            castError(ka == ckError ? A.VType() : B.VType(), ka == ckError ? B.VType() : A.VType());
        return relation(intOf(A), intOf(B));
    }
    // Empty takes the other side's zero: 0, '' or False.
    if (ka == ckEmpty)
        ka = kb;
    if (kb == ckEmpty)
        kb = ka;
    if (ka == ckEmpty)
        return vrEqual;
    if (ka == ckText && kb == ckText) {
        const int c = stringOf(A, varUString).compare(stringOf(B, varUString), Qt::CaseSensitive);
        return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
    }
    if ((ka == ckBoolean && kb != ckNumber) || (kb == ckBoolean && ka != ckNumber))
        return relation(booleanOf(A), booleanOf(B));
    if ((A.VType() == varFMTBcd || B.VType() == varFMTBcd) && !IsDateVarType(A.VType()) &&
        !IsDateVarType(B.VType())) {
        const int c = BcdCompare(bcdOf(A), bcdOf(B));
        return c < 0 ? vrLessThan : c > 0 ? vrGreaterThan : vrEqual;
    }
    return compareNumbers(numberAgainst(A, B), numberAgainst(B, A));
}

bool operator==(const Variant& A, const Variant& B)
{
    return VarCompareValue(A, B) == vrEqual;
}

std::partial_ordering operator<=>(const Variant& A, const Variant& B)
{
    switch (VarCompareValue(A, B)) {
    case vrEqual:
        return std::partial_ordering::equivalent;
    case vrLessThan:
        return std::partial_ordering::less;
    case vrGreaterThan:
        return std::partial_ordering::greater;
    case vrNotEqual:
        break;
    }
    return std::partial_ordering::unordered;
}

int VarCompareScalars(const Variant& V1, const Variant& V2)
{
    if (VarIsEmpty(V1))
        return VarIsEmpty(V2) ? 0 : -1;
    if (VarIsEmpty(V2))
        return 1;
    try {
        const TVariantRelationship r = VarCompareValue(V1, V2);
        if (r == vrEqual)
            return 0;
        if (VarIsNull(V1))
            return -1;
        if (VarIsNull(V2))
            return 1;
        return r == vrLessThan ? -1 : 1;
    } catch (const EVariantTypeCastError&) {
        return -1;
    } catch (const EVariantOverflowError&) {
        return -1;
    }
}

int VarCompareArrays(const Variant& V1, const Variant& V2)
{
    const bool array1 = VarIsArray(V1);
    const bool array2 = VarIsArray(V2);
    if (!array1 || !array2)
        return array1 ? 1 : array2 ? -1 : VarCompareScalars(V1, V2);
    const int64_t difference = int64_t(VarArrayHighBound(V1)) - VarArrayHighBound(V2);
    if (difference != 0)
        return int(std::clamp<int64_t>(difference, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    const int count = elementCount(V1);
    for (int i = 0; i < count; ++i) {
        const int r = VarCompare(VarArrayGet(V1, i), VarArrayGet(V2, i));
        if (r != 0)
            return r;
    }
    return 0;
}

int VarCompare(const Variant& V1, const Variant& V2)
{
    if (VarIsArray(V1) || VarIsArray(V2))
        return VarCompareArrays(V1, V2);
    return VarCompareScalars(V1, V2);
}

bool VarCompareEqual(const Variant& V1, const Variant& V2)
{
    return VarCompare(V1, V2) == 0;
}

bool VarEqualsExact(const Variant& V1, const Variant& V2)
{
    if (VarIsNull(V1) || VarIsNull(V2) || (V1.VType() != varBoolean && V2.VType() != varBoolean))
        return VarCompareEqual(V1, V2);
    try {
        return V1.AsAnsiString() == V2.AsAnsiString();
    } catch (const EVariantTypeCastError&) {
        return false;
    } catch (const EVariantOverflowError&) {
        return false;
    }
}

bool EditValueVarEquals(const Variant& V1, const Variant& V2)
{
    const bool compatible = (VarIsNumeric(V1) && VarIsNumeric(V2)) || V1.VType() == V2.VType() ||
                            (VarIsStr(V1) && VarIsStr(V2));
    return compatible && VarEqualsExact(V1, V2);
}

bool InternalVarEqualsExact(const Variant& V1, const Variant& V2)
{
    return V1.VType() == V2.VType() && VarCompareEqual(V1, V2);
}

// ---- arrays ---------------------------------------------------------------

Variant VarArrayCreate(int LowBound, int HighBound, TVarType VarType)
{
    if (LowBound != 0 || HighBound < -1)
        throw EVariantError(LoadResString(SVarArrayCreate));
    const auto count = size_t(int64_t(HighBound) + 1);
    if (VarType == varByte)
        return VariantAccess::make(varByteArray, AnsiString(qsizetype(count), '\0'));
    if (VarType == varVariant)
        return VariantAccess::make(varVariantArray, std::make_shared<TVariantArray>(count));
    throw EVariantError(LoadResString(SVarArrayCreate));
}

Variant VarArrayOf(std::initializer_list<Variant> Values)
{
    return VariantAccess::make(varVariantArray, std::make_shared<TVariantArray>(Values));
}

Variant VarArrayOf(const TVariantArray& Values)
{
    return VariantAccess::make(varVariantArray, std::make_shared<TVariantArray>(Values));
}

int VarArrayLowBound(const Variant& A, int Dim)
{
    checkArray(A);
    if (Dim != 1)
        throw EVariantBadIndexError(LoadResString(SVarArrayBounds));
    return 0;
}

int VarArrayHighBound(const Variant& A, int Dim)
{
    checkArray(A);
    if (Dim != 1)
        throw EVariantBadIndexError(LoadResString(SVarArrayBounds));
    return elementCount(A) - 1;
}

Variant VarArrayGet(const Variant& A, int Index)
{
    checkIndex(A, Index);
    const TData& d = VariantAccess::data(A);
    if (A.VType() == varByteArray)
        return Variant(static_cast<unsigned char>(std::get<AnsiString>(d).at(Index)));
    return (*std::get<TArrayRef>(d))[size_t(Index)];
}

void VarArrayPut(Variant& A, const Variant& Value, int Index)
{
    checkIndex(A, Index);
    TData& d = VariantAccess::data(A);
    if (A.VType() == varByteArray) {
        std::get<AnsiString>(d)[Index] = char(integerOf(Value, varByte, 0, 255));
        return;
    }
    // The copy comes first: when Value is A itself (or holds A's elements),
    // A's elements are shared and get detached, so no array contains itself.
    Variant element = Value;
    TArrayRef& items = std::get<TArrayRef>(d);
    if (items.use_count() != 1)
        items = std::make_shared<TVariantArray>(*items);
    (*items)[size_t(Index)] = std::move(element);
}

Variant VarArrayFromBytes(const QByteArray& Bytes)
{
    return VariantAccess::make(varByteArray, Bytes);
}

QByteArray VarArrayToBytes(const Variant& A)
{
    if (A.VType() == varByteArray)
        return std::get<AnsiString>(VariantAccess::data(A));
    if (A.VType() != varVariantArray)
        castError(A.VType(), varByteArray);
    const TVariantArray& items = *std::get<TArrayRef>(VariantAccess::data(A));
    QByteArray bytes;
    bytes.reserve(qsizetype(items.size()));
    for (const Variant& item : items)
        bytes.append(char(integerOf(item, varByte, 0, 255)));
    return bytes;
}
