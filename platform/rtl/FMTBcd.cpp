#include "platform/rtl/FMTBcd.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "platform/rtl/SysUtils.h"

using namespace RtlConsts;

namespace {

constexpr int maxPlaces = 63;
constexpr uint8_t signBit = 0x80;
constexpr uint8_t placesMask = 0x3F;

// value = (negative ? -1 : 1) * digits * 10^-scale; digits.size() >= scale.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Scale = 0;
};

[[noreturn]] void invalidValue(const String& text)
{
    throw EBcdException(LoadResStringFmt(SInvalidBcdValue, {text}));
}

[[noreturn]] void overflow()
{
    throw EBcdOverflowException(LoadResString(SBcdOverflow));
}

TDecimal unpack(const TBcd& bcd)
{
    TDecimal d;
    const int precision = std::min<int>(bcd.Precision, MaxFMTBcdFractionSize);
    d.Negative = (bcd.SignSpecialPlaces & signBit) != 0;
    d.Scale = bcd.SignSpecialPlaces & placesMask;
    for (int i = 0; i < precision; ++i) {
        const uint8_t byte = bcd.Fraction[i / 2];
        const int digit = (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
        if (digit > 9)
            invalidValue(String::fromLatin1("$") + String::number(byte, 16));
        d.Digits += char('0' + digit);
    }
    if (int(d.Digits.size()) < d.Scale)
        d.Digits.insert(0, size_t(d.Scale) - d.Digits.size(), '0');
    return d;
}

// The integer part without leading zeros and the fraction without trailing
// zeros: the form comparisons and texts use.
void split(const TDecimal& d, std::string& whole, std::string& fraction)
{
    whole = d.Digits.substr(0, d.Digits.size() - size_t(d.Scale));
    fraction = d.Digits.substr(d.Digits.size() - size_t(d.Scale));
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    fraction.erase(std::min(fraction.find_last_not_of('0') + 1, fraction.size()));
}

TBcd pack(TDecimal d)
{
    // Fit 64 digits and 63 places by rounding the fraction, half to even.
    auto total = [&] { return std::max<int>(int(d.Digits.size()), d.Scale); };
    const int drop = std::max(d.Scale - maxPlaces, total() - MaxFMTBcdFractionSize);
    if (drop > 0) {
        if (drop > d.Scale)
            overflow();
        const std::string dropped = d.Digits.substr(d.Digits.size() - size_t(drop));
        d.Digits.resize(d.Digits.size() - size_t(drop));
        d.Scale -= drop;
        const bool restNonZero = dropped.find_first_not_of('0', 1) != std::string::npos;
        const bool lastOdd = !d.Digits.empty() && (d.Digits.back() - '0') % 2 != 0;
        if (dropped[0] > '5' || (dropped[0] == '5' && (restNonZero || lastOdd))) {
            int i = int(d.Digits.size()) - 1;
            while (i >= 0 && d.Digits[size_t(i)] == '9')
                d.Digits[size_t(i--)] = '0';
            if (i >= 0)
                ++d.Digits[size_t(i)];
            else
                d.Digits.insert(0, 1, '1');
        }
        while (int(d.Digits.size()) > d.Scale && d.Digits.front() == '0')
            d.Digits.erase(0, 1);
        if (total() > MaxFMTBcdFractionSize)
            overflow();
    }
    if (int(d.Digits.size()) < d.Scale)
        d.Digits.insert(0, size_t(d.Scale) - d.Digits.size(), '0');
    if (d.Digits.empty())
        d.Digits = "0";
    TBcd bcd;
    bcd.Precision = uint8_t(d.Digits.size());
    const bool zero = d.Digits.find_first_not_of('0') == std::string::npos;
    bcd.SignSpecialPlaces = uint8_t((d.Negative && !zero ? signBit : 0) | d.Scale);
    for (size_t i = 0; i < d.Digits.size(); ++i) {
        const auto digit = uint8_t(d.Digits[i] - '0');
        bcd.Fraction[i / 2] |= (i % 2 == 0) ? uint8_t(digit << 4) : digit;
    }
    return bcd;
}

bool parse(const String& text, TDecimal& d)
{
    const String s = text.trimmed();
    const QChar separator = FormatSettings.DecimalSeparator;
    qsizetype pos = 0;
    d = {};
    if (pos < s.size() && (s[pos] == u'-' || s[pos] == u'+'))
        d.Negative = s[pos++] == u'-';
    int fractionDigits = 0;
    bool anyDigit = false;
    bool inFraction = false;
    for (; pos < s.size(); ++pos) {
        const QChar c = s[pos];
        if (c >= u'0' && c <= u'9') {
            anyDigit = true;
            if (!(d.Digits.empty() && c == u'0'))
                d.Digits += char(c.unicode());
            if (inFraction)
                ++fractionDigits;
        } else if (!inFraction && (c == separator || c == u'.')) {
            inFraction = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return false;
    // Leading zeros of the fraction were skipped above; they still count
    // as places, which the scale keeps.
    int64_t exponent = 0;
    if (pos < s.size() && (s[pos] == u'e' || s[pos] == u'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < s.size() && (s[pos] == u'+' || s[pos] == u'-'))
            negativeExponent = s[pos++] == u'-';
        if (pos == s.size())
            return false;
        for (; pos < s.size() && s[pos] >= u'0' && s[pos] <= u'9'; ++pos)
            if (exponent < 100000)
                exponent = exponent * 10 + (s[pos].unicode() - '0');
        if (negativeExponent)
            exponent = -exponent;
    }
    if (pos != s.size())
        return false;
    if (d.Digits.empty()) {
        d.Scale = 0;
        d.Negative = false;
        return true;
    }
    int64_t scale = fractionDigits - exponent;
    if (scale < 0) {
        if (int64_t(d.Digits.size()) - scale > MaxFMTBcdFractionSize)
            overflow();
        d.Digits.append(size_t(-scale), '0');
        scale = 0;
    }
    if (scale > 100000)
        scale = 100000;  // rounds to zero below
    d.Scale = int(scale);
    if (int(d.Digits.size()) < d.Scale)
        d.Digits.insert(0, size_t(d.Scale) - d.Digits.size(), '0');
    return true;
}

}  // namespace

int BcdCompare(const TBcd& bcd1, const TBcd& bcd2)
{
    const TDecimal a = unpack(bcd1);
    const TDecimal b = unpack(bcd2);
    std::string wholeA, fractionA, wholeB, fractionB;
    split(a, wholeA, fractionA);
    split(b, wholeB, fractionB);
    const bool zeroA = wholeA.empty() && fractionA.empty();
    const bool zeroB = wholeB.empty() && fractionB.empty();
    const int signA = zeroA ? 0 : a.Negative ? -1 : 1;
    const int signB = zeroB ? 0 : b.Negative ? -1 : 1;
    if (signA != signB)
        return signA < signB ? -1 : 1;
    if (signA == 0)
        return 0;
    int magnitude = 0;
    if (wholeA.size() != wholeB.size())
        magnitude = wholeA.size() < wholeB.size() ? -1 : 1;
    else if (const int c = wholeA.compare(wholeB); c != 0)
        magnitude = c < 0 ? -1 : 1;
    else if (const int f = fractionA.compare(fractionB); f != 0)
        magnitude = f < 0 ? -1 : 1;
    return signA * magnitude;
}

bool TryStrToBcd(const String& AValue, TBcd& Bcd)
{
    TDecimal d;
    if (!parse(AValue, d))
        return false;
    Bcd = pack(std::move(d));
    return true;
}

TBcd StrToBcd(const String& AValue)
{
    TBcd result;
    if (!TryStrToBcd(AValue, result))
        invalidValue(AValue);
    return result;
}

String BcdToStrF(const TBcd& Bcd, int Format, int Precision, int Digits)
{
    return FloatToStrF(BcdToDouble(Bcd), TFloatFormat(Format), Precision, Digits);
}

String BcdToStr(const TBcd& Bcd)
{
    const TDecimal d = unpack(Bcd);
    std::string whole, fraction;
    split(d, whole, fraction);
    if (whole.empty() && fraction.empty())
        return String::fromLatin1("0");
    String text = String::fromLatin1(whole.empty() ? "0" : whole.c_str());
    if (!fraction.empty())
        text += FormatSettings.DecimalSeparator + String::fromLatin1(fraction.c_str());
    return d.Negative ? u'-' + text : text;
}

double BcdToDouble(const TBcd& Bcd)
{
    const TDecimal d = unpack(Bcd);
    const std::string text = (d.Negative ? "-" : "") + (d.Digits.empty() ? std::string("0") : d.Digits) + "e-" +
                             std::to_string(d.Scale);
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

TBcd DoubleToBcd(double Value)
{
    if (!std::isfinite(Value))
        overflow();
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, Value, std::chars_format::scientific).ptr;
    String text = String::fromLatin1(buffer, end - buffer);
    text.replace(u'.', FormatSettings.DecimalSeparator);
    return StrToBcd(text);
}

TBcd IntegerToBcd(int64_t Value)
{
    TDecimal d;
    d.Negative = Value < 0;
    const uint64_t magnitude = d.Negative ? 0 - uint64_t(Value) : uint64_t(Value);
    d.Digits = std::to_string(magnitude);
    return pack(std::move(d));
}

bool TryBcdToInt64(const TBcd& Bcd, int64_t& Value)
{
    const TDecimal d = unpack(Bcd);
    std::string whole, fraction;
    split(d, whole, fraction);
    if (!fraction.empty() || whole.size() > 19)
        return false;
    __int128 magnitude = 0;
    for (char c : whole)
        magnitude = magnitude * 10 + (c - '0');
    const __int128 value = d.Negative ? -magnitude : magnitude;
    if (value < INT64_MIN || value > INT64_MAX)
        return false;
    Value = int64_t(value);
    return true;
}
