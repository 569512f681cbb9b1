#include "platform/rtl/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>
#include <vector>

TFormatSettings FormatSettings;

TFormatSettings DefaultFormatSettings()
{
    TFormatSettings s;
    s.CurrencyString = QStringLiteral("$");
    s.CurrencyFormat = 0;
    s.NegCurrFormat = 0;
    s.ThousandSeparator = QLatin1Char(',');
    s.DecimalSeparator = QLatin1Char('.');
    s.CurrencyDecimals = 2;
    s.DateSeparator = QLatin1Char('/');
    s.TimeSeparator = QLatin1Char(':');
    s.ShortDateFormat = QStringLiteral("M/d/yyyy");
    s.LongDateFormat = QStringLiteral("dddd, MMMM d, yyyy");
    s.TimeAMString = QStringLiteral("AM");
    s.TimePMString = QStringLiteral("PM");
    s.ShortTimeFormat = QStringLiteral("h:mm AMPM");
    s.LongTimeFormat = QStringLiteral("h:mm:ss AMPM");
    const char* longMonths[12] = {"January", "February", "March", "April", "May", "June",
                                  "July", "August", "September", "October", "November", "December"};
    for (int i = 0; i < 12; ++i) {
        s.LongMonthNames[i] = QLatin1String(longMonths[i]);
        s.ShortMonthNames[i] = s.LongMonthNames[i].left(3);
    }
    const char* longDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 7; ++i) {
        s.LongDayNames[i] = QLatin1String(longDays[i]);
        s.ShortDayNames[i] = s.LongDayNames[i].left(3);
    }
    s.TwoDigitYearCenturyWindow = 50;
    return s;
}

void SysUtilsInitialization()
{
    FormatSettings = DefaultFormatSettings();
}

// ---- integers -------------------------------------------------------------

String IntToStr(int Value)
{
    return String::number(Value);
}

String IntToStr(int64_t Value)
{
    return String::number(static_cast<qlonglong>(Value));
}

namespace {

String hexDigits(uint64_t value, int digits)
{
    String text = String::number(value, 16).toUpper();
    if (text.size() < digits)
        text.prepend(String(digits - text.size(), QLatin1Char('0')));
    return text;
}

// The original's Val: blanks first, then a sign, then decimal digits or a
// hexadecimal prefix and digits, and nothing after. Hexadecimal may fill
// every bit (so "$FFFFFFFF" is -1 for an int); decimal must fit the range.
bool parseInteger(const String& S, int64_t minValue, int64_t maxValue, uint64_t hexMask, int64_t& result)
{
    qsizetype i = 0;
    const qsizetype n = S.size();
    while (i < n && S[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (S[i] == QLatin1Char('-') || S[i] == QLatin1Char('+'))) {
        negative = S[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && (S[i] == QLatin1Char('$') || S[i] == QLatin1Char('x') || S[i] == QLatin1Char('X'))) {
        hex = true;
        ++i;
    } else if (i + 1 < n && S[i] == QLatin1Char('0') && (S[i + 1] == QLatin1Char('x') || S[i + 1] == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    uint64_t magnitude = 0;
    const uint64_t limit = hex ? hexMask : (negative ? static_cast<uint64_t>(-(minValue + 1)) + 1 : static_cast<uint64_t>(maxValue));
    for (; i < n; ++i) {
        const char16_t c = S[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        const uint64_t base = hex ? 16 : 10;
        if (magnitude > (limit - static_cast<uint64_t>(digit)) / base)
            return false;
        magnitude = magnitude * base + static_cast<uint64_t>(digit);
    }
    if (hex) {
        // The digits are the bits: "$FFFFFFFF" is -1 for an int.
        const uint64_t bits = negative ? 0 - magnitude : magnitude;
        result = hexMask == 0xFFFFFFFFu ? static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(bits)))
                                        : static_cast<int64_t>(bits);
        return true;
    }
    result = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

[[noreturn]] void invalidInteger(const String& S)
{
    throw EConvertError(LoadResString(RtlConsts::SInvalidInteger), {S});
}

}  // namespace

String IntToHex(int Value, int Digits)
{
    return hexDigits(static_cast<uint32_t>(Value), Digits);
}

String IntToHex(int64_t Value, int Digits)
{
    return hexDigits(static_cast<uint64_t>(Value), Digits);
}

bool TryStrToInt(const String& S, int& Value)
{
    int64_t v = 0;
    if (!parseInteger(S, INT32_MIN, INT32_MAX, 0xFFFFFFFFu, v))
        return false;
    Value = static_cast<int>(v);
    return true;
}

bool TryStrToInt64(const String& S, int64_t& Value)
{
    return parseInteger(S, INT64_MIN, INT64_MAX, UINT64_MAX, Value);
}

int StrToInt(const String& S)
{
    int v = 0;
    if (!TryStrToInt(S, v))
        invalidInteger(S);
    return v;
}

int64_t StrToInt64(const String& S)
{
    int64_t v = 0;
    if (!TryStrToInt64(S, v))
        invalidInteger(S);
    return v;
}

int StrToIntDef(const String& S, int Default)
{
    int v = 0;
    return TryStrToInt(S, v) ? v : Default;
}

int64_t StrToInt64Def(const String& S, int64_t Default)
{
    int64_t v = 0;
    return TryStrToInt64(S, v) ? v : Default;
}

// ---- floating point -------------------------------------------------------

namespace {

constexpr int MaxPrecision = 18;

// A value as decimal digits: 0.Digits * 10^Exponent, without trailing
// zeros; no digits means zero.
struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    std::string Digits;
};

// The original rounds an 18-digit decimal image of the value half away
// from zero, keeping at most Precision significant digits and Decimals
// digits after the point; printf's binary-exact rounding would differ on
// values such as 0.125.
TFloatRec floatToDecimal(long double value, int precision, int decimals)
{
    TFloatRec rec;
    if (value == 0)
        return rec;
    rec.Negative = std::signbit(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", MaxPrecision - 1, std::fabs(value));
    std::string digits;
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    int exponent = std::atoi(p + 1) + 1;
    const int keep = std::min(precision, exponent + decimals);
    if (keep < 0)
        return TFloatRec{};
    if (keep < static_cast<int>(digits.size())) {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
                digits[static_cast<size_t>(i--)] = '0';
            if (i >= 0) {
                ++digits[static_cast<size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
            }
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        return TFloatRec{};
    rec.Exponent = exponent;
    rec.Digits = digits;
    return rec;
}

char digitAt(const TFloatRec& rec, int index)
{
    return index >= 0 && index < static_cast<int>(rec.Digits.size()) ? rec.Digits[static_cast<size_t>(index)] : '0';
}

String exponentText(int exponent, bool plusSign, int minDigits)
{
    String text = QLatin1String("E");
    if (exponent < 0)
        text += QLatin1Char('-');
    else if (plusSign)
        text += QLatin1Char('+');
    String digits = String::number(std::abs(exponent));
    if (digits.size() < minDigits)
        digits.prepend(String(minDigits - digits.size(), QLatin1Char('0')));
    return text + digits;
}

String generalText(const TFloatRec& rec, int precision, int digits)
{
    if (rec.Digits.empty())
        return QStringLiteral("0");
    const QChar point = FormatSettings.DecimalSeparator;
    const int count = static_cast<int>(rec.Digits.size());
    String text;
    if (rec.Negative)
        text += QLatin1Char('-');
    if (rec.Exponent > precision || rec.Exponent < -3) {
        text += QLatin1Char(rec.Digits[0]);
        if (count > 1) {
            text += point;
            text += QLatin1String(rec.Digits.c_str() + 1);
        }
        return text + exponentText(rec.Exponent - 1, false, std::clamp(digits, 0, 4));
    }
    if (rec.Exponent <= 0) {
        text += QLatin1Char('0');
        text += point;
        text += String(-rec.Exponent, QLatin1Char('0'));
        text += QLatin1String(rec.Digits.c_str());
        return text;
    }
    for (int i = 0; i < rec.Exponent; ++i)
        text += QLatin1Char(digitAt(rec, i));
    if (count > rec.Exponent) {
        text += point;
        text += QLatin1String(rec.Digits.c_str() + rec.Exponent);
    }
    return text;
}

String exponentFormText(const TFloatRec& rec, int precision, int digits)
{
    String text;
    if (rec.Negative)
        text += QLatin1Char('-');
    text += QLatin1Char(digitAt(rec, 0));
    if (precision > 1) {
        text += FormatSettings.DecimalSeparator;
        for (int i = 1; i < precision; ++i)
            text += QLatin1Char(digitAt(rec, i));
    }
    const int exponent = rec.Digits.empty() ? 0 : rec.Exponent - 1;
    return text + exponentText(exponent, true, std::clamp(digits, 0, 4));
}

// The unsigned digits of a fixed form: integer part (grouped if asked) and
// Decimals digits after the point.
String fixedDigits(const TFloatRec& rec, int decimals, bool grouped)
{
    String integer;
    if (rec.Exponent <= 0) {
        integer = QStringLiteral("0");
    } else {
        for (int i = 0; i < rec.Exponent; ++i) {
            if (grouped && i > 0 && (rec.Exponent - i) % 3 == 0 && !FormatSettings.ThousandSeparator.isNull())
                integer += FormatSettings.ThousandSeparator;
            integer += QLatin1Char(digitAt(rec, i));
        }
    }
    if (decimals <= 0)
        return integer;
    integer += FormatSettings.DecimalSeparator;
    for (int i = 0; i < decimals; ++i)
        integer += QLatin1Char(digitAt(rec, rec.Exponent + i));
    return integer;
}

String currencyText(const String& number, bool negative)
{
    const String& cs = FormatSettings.CurrencyString;
    if (!negative) {
        switch (FormatSettings.CurrencyFormat) {
        case 1: return number + cs;
        case 2: return cs + QLatin1Char(' ') + number;
        case 3: return number + QLatin1Char(' ') + cs;
        default: return cs + number;
        }
    }
    const QString sp = QStringLiteral(" ");
    switch (FormatSettings.NegCurrFormat) {
    case 1: return QLatin1Char('-') + cs + number;
    case 2: return cs + QLatin1Char('-') + number;
    case 3: return cs + number + QLatin1Char('-');
    case 4: return QLatin1Char('(') + number + cs + QLatin1Char(')');
    case 5: return QLatin1Char('-') + number + cs;
    case 6: return number + QLatin1Char('-') + cs;
    case 7: return number + cs + QLatin1Char('-');
    case 8: return QLatin1Char('-') + number + sp + cs;
    case 9: return QLatin1Char('-') + cs + sp + number;
    case 10: return number + sp + cs + QLatin1Char('-');
    case 11: return cs + sp + number + QLatin1Char('-');
    case 12: return cs + sp + QLatin1Char('-') + number;
    case 13: return number + QLatin1Char('-') + sp + cs;
    case 14: return QLatin1Char('(') + cs + sp + number + QLatin1Char(')');
    case 15: return QLatin1Char('(') + number + sp + cs + QLatin1Char(')');
    default: return QLatin1Char('(') + cs + number + QLatin1Char(')');
    }
}

}  // namespace

String FloatToStrF(long double Value, TFloatFormat Format, int Precision, int Digits)
{
    if (std::isnan(Value))
        return QStringLiteral("NAN");
    if (std::isinf(Value))
        return Value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    Precision = std::clamp(Precision, 1, MaxPrecision);
    switch (Format) {
    case ffGeneral:
        return generalText(floatToDecimal(Value, Precision, 9999), Precision, Digits);
    case ffExponent:
        return exponentFormText(floatToDecimal(Value, Precision, 9999), Precision, Digits);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        Digits = std::clamp(Digits, 0, MaxPrecision);
        const TFloatRec rec = floatToDecimal(Value, Precision, Digits);
        if (rec.Exponent > Precision)
            return generalText(floatToDecimal(Value, Precision, 9999), Precision, 0);
        const String number = fixedDigits(rec, Digits, Format != ffFixed);
        if (Format == ffCurrency)
            return currencyText(number, rec.Negative);
        return rec.Negative ? QLatin1Char('-') + number : number;
    }
    }
    return String();
}

String FloatToStr(long double Value)
{
    return FloatToStrF(Value, ffGeneral, 15, 0);
}

namespace {

// One section of a FormatFloat pattern, read once.
struct TFloatPattern {
    int IntPlaces = 0;         // '0' and '#' before the point
    int IntZeros = 0;          // of those, from the first '0' on
    int DecPlaces = 0;         // '0' and '#' after the point
    int DecZeros = 0;          // up to the last '0' after the point
    bool Thousands = false;
    bool Scientific = false;
    bool ExpPlus = false;
    int ExpDigits = 0;
};

TFloatPattern readPattern(const String& section)
{
    TFloatPattern p;
    bool afterPoint = false;
    bool seenZero = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(c, i + 1);
            i = close < 0 ? section.size() : close;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && !p.Scientific && i + 1 < section.size()
                   && (section[i + 1] == QLatin1Char('+') || section[i + 1] == QLatin1Char('-'))) {
            p.Scientific = true;
            p.ExpPlus = section[i + 1] == QLatin1Char('+');
            i += 2;
            while (i < section.size() && section[i] == QLatin1Char('0')) {
                ++p.ExpDigits;
                ++i;
            }
            --i;
        } else if (p.Scientific) {
            continue;
        } else if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char(',')) {
            if (!afterPoint)
                p.Thousands = true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (afterPoint) {
                ++p.DecPlaces;
                if (c == QLatin1Char('0'))
                    p.DecZeros = p.DecPlaces;
            } else {
                ++p.IntPlaces;
                if (c == QLatin1Char('0'))
                    seenZero = true;
                if (seenZero)
                    ++p.IntZeros;
            }
        }
    }
    return p;
}

String patternText(const String& section, const TFloatPattern& p, long double value, bool withSign)
{
    // The digits to show, as integer and fraction strings.
    std::string intDigits;
    std::string decDigits;
    int exponent = 0;
    bool negative = false;
    if (p.Scientific) {
        const int intPlaces = std::max(p.IntPlaces, 1);
        const TFloatRec rec = floatToDecimal(value, std::min(intPlaces + p.DecPlaces, MaxPrecision), 9999);
        negative = rec.Negative;
        if (!rec.Digits.empty())
            exponent = rec.Exponent - intPlaces;
        for (int i = 0; i < intPlaces; ++i)
            intDigits += digitAt(rec, i);
        for (int i = 0; i < p.DecPlaces; ++i)
            decDigits += digitAt(rec, intPlaces + i);
        while (intDigits.size() > 1 && intDigits[0] == '0' && static_cast<int>(intDigits.size()) > p.IntZeros)
            intDigits.erase(0, 1);
    } else {
        const TFloatRec rec = floatToDecimal(value, MaxPrecision, p.DecPlaces);
        negative = rec.Negative;
        for (int i = 0; i < rec.Exponent; ++i)
            intDigits += digitAt(rec, i);
        for (int i = 0; i < p.DecPlaces; ++i)
            decDigits += digitAt(rec, rec.Exponent + i);
    }
    while (static_cast<int>(decDigits.size()) > p.DecZeros && !decDigits.empty() && decDigits.back() == '0')
        decDigits.pop_back();
    if (static_cast<int>(intDigits.size()) < p.IntZeros)
        intDigits.insert(0, static_cast<size_t>(p.IntZeros) - intDigits.size(), '0');

    String out;
    if (withSign && negative)
        out += QLatin1Char('-');
    const int intCount = static_cast<int>(intDigits.size());
    const int extra = intCount - p.IntPlaces;  // digits with no placeholder of their own
    int intPlace = 0;
    int decPlace = 0;
    bool afterPoint = false;
    auto putIntDigit = [&](int index) {
        out += QLatin1Char(intDigits[static_cast<size_t>(index)]);
        const int remaining = intCount - 1 - index;
        if (p.Thousands && remaining > 0 && remaining % 3 == 0 && !FormatSettings.ThousandSeparator.isNull())
            out += FormatSettings.ThousandSeparator;
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            out += section.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!afterPoint) {
                const int first = intPlace == 0 ? 0 : intPlace + extra;
                const int last = intPlace + extra;
                for (int d = std::max(first, 0); d <= last; ++d)
                    putIntDigit(d);
                ++intPlace;
            } else {
                if (decPlace < static_cast<int>(decDigits.size()))
                    out += QLatin1Char(decDigits[static_cast<size_t>(decPlace)]);
                ++decPlace;
            }
        } else if (c == QLatin1Char('.')) {
            if (!afterPoint) {
                if (intPlace == 0)
                    for (int d = 0; d < intCount; ++d)
                        putIntDigit(d);
                afterPoint = true;
                if (!decDigits.empty())
                    out += FormatSettings.DecimalSeparator;
            }
        } else if (c == QLatin1Char(',')) {
            // Grouping is switched on by any comma; the comma itself is not output.
        } else if (p.Scientific && (c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < section.size()
                   && (section[i + 1] == QLatin1Char('+') || section[i + 1] == QLatin1Char('-'))) {
            out += c;
            if (exponent < 0)
                out += QLatin1Char('-');
            else if (p.ExpPlus)
                out += QLatin1Char('+');
            String digits = String::number(std::abs(exponent));
            if (digits.size() < p.ExpDigits)
                digits.prepend(String(p.ExpDigits - digits.size(), QLatin1Char('0')));
            out += digits;
            i += 1;
            while (i + 1 < section.size() && section[i + 1] == QLatin1Char('0'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Splits at ';' outside quotes.
std::vector<String> patternSections(const String& format)
{
    std::vector<String> sections(1);
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

}  // namespace

String FormatFloat(const String& Format, long double Value)
{
    if (Format.isEmpty() || std::isnan(Value) || std::isinf(Value))
        return FloatToStr(Value);
    const std::vector<String> sections = patternSections(Format);
    const String& positive = sections[0];
    const TFloatPattern pp = readPattern(positive);
    if (!pp.Scientific && std::fabs(Value) >= 1e18L)
        return FloatToStr(Value);

    // The zero section applies to values that show as zero with the
    // positive pattern's decimals; the negative section to the rest below 0.
    const bool isZero = pp.Scientific ? Value == 0 : floatToDecimal(Value, MaxPrecision, pp.DecPlaces).Digits.empty();
    if (isZero) {
        if (sections.size() >= 3 && !sections[2].isEmpty())
            return patternText(sections[2], readPattern(sections[2]), 0, false);
        return patternText(positive, pp, 0, false);
    }
    if (Value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return patternText(sections[1], readPattern(sections[1]), -Value, false);
    return patternText(positive, pp, Value, true);
}

namespace {

// Blanks, sign, digits with the settings' decimal separator, an optional
// exponent, blanks; anything else fails.
bool parseFloat(const String& S, long double& result)
{
    qsizetype i = 0;
    const qsizetype n = S.size();
    while (i < n && S[i] == QLatin1Char(' '))
        ++i;
    std::string text;
    if (i < n && (S[i] == QLatin1Char('-') || S[i] == QLatin1Char('+')))
        text += static_cast<char>(S[i++].unicode());
    int mantissaDigits = 0;
    while (i < n && S[i] >= QLatin1Char('0') && S[i] <= QLatin1Char('9')) {
        text += static_cast<char>(S[i++].unicode());
        ++mantissaDigits;
    }
    if (i < n && S[i] == FormatSettings.DecimalSeparator) {
        text += '.';
        ++i;
        while (i < n && S[i] >= QLatin1Char('0') && S[i] <= QLatin1Char('9')) {
            text += static_cast<char>(S[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (S[i] == QLatin1Char('e') || S[i] == QLatin1Char('E'))) {
        text += 'e';
        ++i;
        if (i < n && (S[i] == QLatin1Char('-') || S[i] == QLatin1Char('+')))
            text += static_cast<char>(S[i++].unicode());
        int expDigits = 0;
        while (i < n && S[i] >= QLatin1Char('0') && S[i] <= QLatin1Char('9')) {
            text += static_cast<char>(S[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    while (i < n && S[i] == QLatin1Char(' '))
        ++i;
    if (i != n)
        return false;
    // The text was already checked and rewritten with '.', so it must be
    // read in the C locale whatever locale the process runs in.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    errno = 0;
    const long double value = strtold_l(text.c_str(), nullptr, cLocale);
    if (errno == ERANGE && std::isinf(value))
        return false;
    result = value;
    return true;
}

}  // namespace

bool TryStrToFloat(const String& S, long double& Value)
{
    return parseFloat(S, Value);
}

bool TryStrToFloat(const String& S, double& Value)
{
    long double v = 0;
    if (!parseFloat(S, v) || std::fabs(v) > std::numeric_limits<double>::max())
        return false;
    Value = static_cast<double>(v);
    return true;
}

long double StrToFloat(const String& S)
{
    long double v = 0;
    if (!parseFloat(S, v))
        throw EConvertError(LoadResString(RtlConsts::SInvalidFloat), {S});
    return v;
}

long double StrToFloatDef(const String& S, long double Default)
{
    long double v = 0;
    return parseFloat(S, v) ? v : Default;
}

// ---- text -----------------------------------------------------------------

String Trim(const String& S)
{
    qsizetype first = 0;
    qsizetype last = S.size();
    while (first < last && S[first].unicode() <= u' ')
        ++first;
    while (last > first && S[last - 1].unicode() <= u' ')
        --last;
    return S.mid(first, last - first);
}

String TrimLeft(const String& S)
{
    qsizetype first = 0;
    while (first < S.size() && S[first].unicode() <= u' ')
        ++first;
    return S.mid(first);
}

String TrimRight(const String& S)
{
    qsizetype last = S.size();
    while (last > 0 && S[last - 1].unicode() <= u' ')
        --last;
    return S.left(last);
}

namespace {

char16_t asciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
}

}  // namespace

String UpperCase(const String& S)
{
    String result = S;
    for (QChar& c : result)
        c = QChar(asciiUpper(c.unicode()));
    return result;
}

String LowerCase(const String& S)
{
    String result = S;
    for (QChar& c : result)
        c = QChar(asciiLower(c.unicode()));
    return result;
}

String AnsiUpperCase(const String& S)
{
    return S.toUpper();
}

String AnsiLowerCase(const String& S)
{
    return S.toLower();
}

int CompareStr(const String& S1, const String& S2)
{
    const qsizetype n = std::min(S1.size(), S2.size());
    for (qsizetype i = 0; i < n; ++i)
        if (S1[i] != S2[i])
            return S1[i].unicode() - S2[i].unicode();
    return static_cast<int>(S1.size() - S2.size());
}

int CompareText(const String& S1, const String& S2)
{
    const qsizetype n = std::min(S1.size(), S2.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t a = asciiUpper(S1[i].unicode());
        const char16_t b = asciiUpper(S2[i].unicode());
        if (a != b)
            return a - b;
    }
    return static_cast<int>(S1.size() - S2.size());
}

bool SameText(const String& S1, const String& S2)
{
    return CompareText(S1, S2) == 0;
}

bool AnsiSameText(const String& S1, const String& S2)
{
    return S1.compare(S2, Qt::CaseInsensitive) == 0;
}

String QuotedStr(const String& S)
{
    return AnsiQuotedStr(S, QLatin1Char('\''));
}

String AnsiQuotedStr(const String& S, QChar Quote)
{
    String result = S;
    result.replace(Quote, String(2, Quote));
    return Quote + result + Quote;
}

String AnsiDequotedStr(const String& S, QChar Quote)
{
    if (S.isEmpty() || S[0] != Quote)
        return S;
    String result;
    qsizetype i = 1;
    bool closed = false;
    while (i < S.size()) {
        if (S[i] == Quote) {
            if (i + 1 < S.size() && S[i + 1] == Quote) {
                result += Quote;
                i += 2;
                continue;
            }
            closed = true;
            ++i;
            break;
        }
        result += S[i++];
    }
    // An unterminated quote, or nothing extracted from a text that does not
    // end in the quote, gives the text back as it was.
    const bool atEnd = i >= S.size();
    if ((result.isEmpty() || (atEnd && !closed)) && S.back() != Quote)
        return S;
    return result;
}

String StringReplace(const String& S, const String& OldPattern, const String& NewPattern, TReplaceFlags Flags)
{
    if (OldPattern.isEmpty())
        return S;
    const Qt::CaseSensitivity cs = Flags.Contains(rfIgnoreCase) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (Flags.Contains(rfReplaceAll))
        return String(S).replace(OldPattern, NewPattern, cs);
    const qsizetype at = S.indexOf(OldPattern, 0, cs);
    if (at < 0)
        return S;
    return S.left(at) + NewPattern + S.mid(at + OldPattern.size());
}

int Pos(const String& Substr, const String& S)
{
    if (Substr.isEmpty())
        return 0;
    return static_cast<int>(S.indexOf(Substr)) + 1;
}

// ---- file names -----------------------------------------------------------

namespace {

// Index of the last '/' (or, with dot, of the last '.' or '/'), -1 if none.
qsizetype lastDelimiter(const String& S, bool dot)
{
    for (qsizetype i = S.size() - 1; i >= 0; --i)
        if (S[i] == PathDelim || (dot && S[i] == QLatin1Char('.')))
            return i;
    return -1;
}

}  // namespace

String ExtractFileName(const String& FileName)
{
    return FileName.mid(lastDelimiter(FileName, false) + 1);
}

String ExtractFilePath(const String& FileName)
{
    return FileName.left(lastDelimiter(FileName, false) + 1);
}

String ExtractFileDir(const String& FileName)
{
    qsizetype i = lastDelimiter(FileName, false);
    // Keep the delimiter of the root, and of a run of delimiters.
    if (i > 0 && FileName[i - 1] != PathDelim)
        --i;
    return FileName.left(i + 1);
}

String ExtractFileExt(const String& FileName)
{
    const qsizetype i = lastDelimiter(FileName, true);
    if (i >= 0 && FileName[i] == QLatin1Char('.'))
        return FileName.mid(i);
    return String();
}

String ChangeFileExt(const String& FileName, const String& Extension)
{
    qsizetype i = lastDelimiter(FileName, true);
    if (i < 0 || FileName[i] != QLatin1Char('.'))
        i = FileName.size();
    return FileName.left(i) + Extension;
}

String IncludeTrailingPathDelimiter(const String& S)
{
    if (!S.isEmpty() && S.back() == PathDelim)
        return S;
    return S + QChar(PathDelim);
}

String ExcludeTrailingPathDelimiter(const String& S)
{
    if (!S.isEmpty() && S.back() == PathDelim)
        return S.left(S.size() - 1);
    return S;
}

bool FileExists(const String& FileName)
{
    const QFileInfo info(FileName);
    return !FileName.isEmpty() && info.exists() && !info.isDir();
}

bool DirectoryExists(const String& Directory)
{
    return !Directory.isEmpty() && QFileInfo(Directory).isDir();
}

bool ForceDirectories(const String& Dir)
{
    if (Dir.isEmpty())
        throw EInOutError(LoadResString(RtlConsts::SCannotCreateDir));
    return QDir().mkpath(Dir);
}

bool DeleteFile(const String& FileName)
{
    if (FileName.isEmpty() || QFileInfo(FileName).isDir())
        return false;
    return QFile::remove(FileName);
}

bool RenameFile(const String& OldName, const String& NewName)
{
    if (OldName.isEmpty() || NewName.isEmpty())
        return false;
    if (QFileInfo(OldName).isDir())
        return !QFileInfo::exists(NewName) && QDir().rename(OldName, NewName);
    return QFile::rename(OldName, NewName);
}

String GetEnvironmentVariable(const String& Name)
{
    return qEnvironmentVariable(Name.toLocal8Bit().constData());
}
