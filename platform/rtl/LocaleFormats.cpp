#include "platform/rtl/LocaleFormats.h"

#include <QLocale>
#include <optional>

#include "platform/rtl/SysUtils.h"

namespace {

struct TPatternToken {
    const char* Locale;   // a run of one pattern letter, longest first
    const char* Runtime;  // what the runtime writes for it; empty drops it
};

// Every pattern letter QLocale writes, with its runtime spelling. Minutes
// become "n": the runtime reads "m" as minutes only right after an hour.
constexpr TPatternToken patternTokens[] = {
    {"dddd", "dddd"}, {"ddd", "ddd"}, {"dd", "dd"}, {"d", "d"},
    {"MMMM", "MMMM"}, {"MMM", "MMM"}, {"MM", "MM"}, {"M", "M"},
    {"yyyy", "yyyy"}, {"yy", "yy"}, {"y", "yyyy"},
    {"HH", "hh"}, {"H", "h"}, {"hh", "hh"}, {"h", "h"},
    {"mm", "nn"}, {"m", "n"},
    {"ss", "ss"}, {"s", "s"},
    {"zzz", "zzz"}, {"z", "z"},
    {"AP", "AMPM"}, {"ap", "ampm"}, {"A", "AMPM"}, {"a", "ampm"},
    {"tttt", ""}, {"ttt", ""}, {"tt", ""}, {"t", ""},
};

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

// Appends literal text so the runtime reads it back as it stands.
void appendLiteral(String& AOut, const String& AText)
{
    if (AText.isEmpty())
        return;
    if (!AText.contains(QLatin1Char('\''))) {
        AOut += QLatin1Char('\'') + AText + QLatin1Char('\'');
        return;
    }
    for (const QChar c : AText) {
        if (c == QLatin1Char('\''))
            AOut += QStringLiteral("\"'\"");
        else if (c == QLatin1Char('"'))
            AOut += QStringLiteral("'\"'");
        else
            AOut += QLatin1Char('\'') + String(c) + QLatin1Char('\'');
    }
}

std::optional<String> fixedLongTime;
QChar fixedTimeSeparator;
QChar fixedDecimalSeparator;

QChar firstChar(const String& s, QChar fallback)
{
    return s.isEmpty() ? fallback : s[0];
}

}  // namespace

QChar LocalePatternSeparator(const String& APattern)
{
    bool quoted = false;
    for (const QChar c : APattern) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !isAsciiLetter(c) && c != QLatin1Char(' ') && c != QLatin1Char(','))
            return c;
    }
    return {};
}

String LocalePatternToFormat(const String& APattern, QChar ADateSeparator, QChar ATimeSeparator)
{
    String out;
    String literal;
    const int n = int(APattern.size());
    int i = 0;
    auto flush = [&] {
        appendLiteral(out, literal);
        literal.clear();
    };
    while (i < n) {
        const QChar c = APattern[i];
        if (c == QLatin1Char('\'')) {
            // '' is an apostrophe; 'text' is literal, with '' inside it an apostrophe
            if (i + 1 < n && APattern[i + 1] == QLatin1Char('\'')) {
                literal += QLatin1Char('\'');
                i += 2;
                continue;
            }
            ++i;
            while (i < n) {
                if (APattern[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && APattern[i + 1] == QLatin1Char('\'')) {
                        literal += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += APattern[i++];
            }
            continue;
        }
        if (isAsciiLetter(c)) {
            const TPatternToken* match = nullptr;
            for (const TPatternToken& token : patternTokens) {
                if (APattern.mid(i).startsWith(QLatin1String(token.Locale))) {
                    match = &token;
                    break;
                }
            }
            if (match == nullptr) {  // a letter with no meaning in the pattern: literal
                literal += c;
                ++i;
                continue;
            }
            const int length = int(qstrlen(match->Locale));
            flush();
            if (match->Runtime[0] == 0) {
                // a dropped zone takes the blank before it along
                while (out.endsWith(QLatin1Char(' ')))
                    out.chop(1);
            } else {
                out += String::fromLatin1(match->Runtime);
            }
            i += length;
            continue;
        }
        if (!ADateSeparator.isNull() && c == ADateSeparator) {
            flush();
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (!ATimeSeparator.isNull() && c == ATimeSeparator) {
            flush();
            out += QLatin1Char(':');
            ++i;
            continue;
        }
        if (c != QLatin1Char('/') && c != QLatin1Char(':') && c != QLatin1Char('"')) {
            // the runtime copies other characters as they stand
            flush();
            out += c;
            ++i;
            continue;
        }
        literal += c;
        ++i;
    }
    flush();
    while (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out;
}

TFormatSettings LocaleFormatSettings(const QLocale& ALocale)
{
    TFormatSettings s = DefaultFormatSettings();
    s.DecimalSeparator = firstChar(ALocale.decimalPoint(), QLatin1Char('.'));
    s.ThousandSeparator = firstChar(ALocale.groupSeparator(), QLatin1Char(','));
    s.CurrencyString = ALocale.currencySymbol();

    // The currency layout: the locale's own texts of 1 and -1 matched
    // against the runtime's four positive and sixteen negative patterns.
    const String number = ALocale.toString(1.0, 'f', 2);
    s.CurrencyDecimals = 2;
    String positive = ALocale.toCurrencyString(1.0, s.CurrencyString, 2);
    String negative = ALocale.toCurrencyString(-1.0, s.CurrencyString, 2);
    negative.replace(ALocale.negativeSign(), QStringLiteral("-"));
    positive.replace(QChar(0x00A0), QLatin1Char(' '));
    negative.replace(QChar(0x00A0), QLatin1Char(' '));
    const String C = s.CurrencyString;
    const String N = number;
    const String positives[4] = {C + N, N + C, C + QLatin1Char(' ') + N, N + QLatin1Char(' ') + C};
    for (int i = 0; i < 4; ++i)
        if (positives[i] == positive)
            s.CurrencyFormat = uint8_t(i);
    const String negatives[16] = {
        QLatin1Char('(') + C + N + QLatin1Char(')'), QLatin1Char('-') + C + N, C + QLatin1Char('-') + N,
        C + N + QLatin1Char('-'), QLatin1Char('(') + N + C + QLatin1Char(')'), QLatin1Char('-') + N + C,
        N + QLatin1Char('-') + C, N + C + QLatin1Char('-'), QStringLiteral("-") + N + QLatin1Char(' ') + C,
        QStringLiteral("-") + C + QLatin1Char(' ') + N, N + QLatin1Char(' ') + C + QLatin1Char('-'),
        C + QLatin1Char(' ') + N + QLatin1Char('-'), C + QStringLiteral(" -") + N, N + QStringLiteral("- ") + C,
        QLatin1Char('(') + C + QLatin1Char(' ') + N + QLatin1Char(')'),
        QLatin1Char('(') + N + QLatin1Char(' ') + C + QLatin1Char(')')};
    s.NegCurrFormat = 1;
    for (int i = 0; i < 16; ++i)
        if (negatives[i] == negative) {
            s.NegCurrFormat = uint8_t(i);
            break;
        }

    const String shortDate = ALocale.dateFormat(QLocale::ShortFormat);
    const String longDate = ALocale.dateFormat(QLocale::LongFormat);
    const String shortTime = ALocale.timeFormat(QLocale::ShortFormat);
    const String longTime = ALocale.timeFormat(QLocale::LongFormat);
    const QChar dateSeparator = LocalePatternSeparator(shortDate);
    const QChar timeSeparator = LocalePatternSeparator(shortTime);
    s.DateSeparator = dateSeparator.isNull() ? QChar(QLatin1Char('/')) : dateSeparator;
    s.TimeSeparator = timeSeparator.isNull() ? QChar(QLatin1Char(':')) : timeSeparator;
    s.ShortDateFormat = LocalePatternToFormat(shortDate, dateSeparator, QChar());
    s.LongDateFormat = LocalePatternToFormat(longDate, QChar(), QChar());
    s.ShortTimeFormat = LocalePatternToFormat(shortTime, QChar(), timeSeparator);
    s.LongTimeFormat = LocalePatternToFormat(longTime, QChar(), timeSeparator);
    s.TimeAMString = ALocale.amText();
    s.TimePMString = ALocale.pmText();
    for (int m = 0; m < 12; ++m) {
        s.LongMonthNames[size_t(m)] = ALocale.monthName(m + 1, QLocale::LongFormat);
        s.ShortMonthNames[size_t(m)] = ALocale.monthName(m + 1, QLocale::ShortFormat);
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;  // Qt counts Monday 1 .. Sunday 7
        s.LongDayNames[size_t(d)] = ALocale.dayName(qtDay, QLocale::LongFormat);
        s.ShortDayNames[size_t(d)] = ALocale.dayName(qtDay, QLocale::ShortFormat);
    }
    return s;
}

void SetFixedTimeFormats(const String& ALongTimeFormat, QChar ATimeSeparator, QChar ADecimalSeparator)
{
    if (ALongTimeFormat.isEmpty()) {
        fixedLongTime.reset();
        return;
    }
    fixedLongTime = ALongTimeFormat;
    fixedTimeSeparator = ATimeSeparator;
    fixedDecimalSeparator = ADecimalSeparator;
    FormatSettings.LongTimeFormat = ALongTimeFormat;
    FormatSettings.TimeSeparator = ATimeSeparator;
    FormatSettings.DecimalSeparator = ADecimalSeparator;
}

void GetFormatSettings()
{
    FormatSettings = LocaleFormatSettings(QLocale());
    if (fixedLongTime) {
        FormatSettings.LongTimeFormat = *fixedLongTime;
        FormatSettings.TimeSeparator = fixedTimeSeparator;
        FormatSettings.DecimalSeparator = fixedDecimalSeparator;
    }
}
