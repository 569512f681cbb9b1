// The locale's patterns in the runtime's letters: a table of patterns,
// and the runtime's formatter fed with translated settings writing what
// the locale itself writes.
#include "platform/rtl/LocaleFormats.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

namespace {

String S(const char* text) { return String::fromUtf8(text); }

TEST(LocaleFormats, PatternsToRuntimeLetters)
{
    const struct {
        const char* pattern;
        char16_t dateSeparator;
        char16_t timeSeparator;
        const char* format;
    } cases[] = {
        {"dd.MM.yyyy", u'.', 0, "dd/MM/yyyy"},
        {"M/d/yy", u'/', 0, "M/d/yy"},
        {"yyyy-MM-dd", u'-', 0, "yyyy/MM/dd"},
        {"HH:mm:ss", 0, u':', "hh:nn:ss"},
        {"h:mm:ss AP t", 0, u':', "h:nn:ss AMPM"},       // the zone is dropped with its blank
        {"h.mm ap", 0, u'.', "h:nn ampm"},
        {"dddd, MMMM d, yyyy", 0, 0, "dddd, MMMM d, yyyy"},
        {"d 'de' MMMM 'de' yyyy", 0, 0, "d 'de' MMMM 'de' yyyy"},
        {"yyyy'\xe5\xb9\xb4'M'\xe6\x9c\x88'd'\xe6\x97\xa5'", 0, 0,
         "yyyy'\xe5\xb9\xb4'M'\xe6\x9c\x88'd'\xe6\x97\xa5'"},
        {"'o''clock' h", 0, 0, "'o'\"'\"'c''l''o''c''k' h"},
        {"d/M c", 0, 0, "d'/'M 'c'"},                   // runtime codes and separators are quoted
        {"ddddd y", 0, 0, "ddddd yyyy"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocalePatternToFormat(S(c.pattern), QChar(c.dateSeparator), QChar(c.timeSeparator)), S(c.format)) << c.pattern;
    EXPECT_EQ(LocalePatternSeparator(S("dd.MM.yyyy")), QChar(u'.'));
    EXPECT_EQ(LocalePatternSeparator(S("d 'de' MMMM")), QChar());
    EXPECT_EQ(LocalePatternSeparator(S("HH:mm")), QChar(u':'));
}

class LocaleFormatsOf : public ::testing::TestWithParam<QLocale::Language> {};

// The runtime's formatter, given a locale's translated settings, writes
// a date and a time as the locale does.
TEST_P(LocaleFormatsOf, TheRuntimeWritesWhatTheLocaleWrites)
{
    const QLocale locale(GetParam());
    const TFormatSettings saved = FormatSettings;
    FormatSettings = LocaleFormatSettings(locale);
    const QDateTime moment(QDate(2024, 2, 9), QTime(15, 4, 5));
    const TDateTime value = EncodeDate(2024, 2, 9) + EncodeTime(15, 4, 5, 0);
    for (const auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        EXPECT_EQ(FormatDateTime(format == QLocale::ShortFormat ? FormatSettings.ShortDateFormat : FormatSettings.LongDateFormat, value),
                  locale.toString(moment.date(), format))
            << locale.name().toStdString();
    }
    EXPECT_EQ(FormatDateTime(FormatSettings.ShortTimeFormat, value), locale.toString(moment.time(), QLocale::ShortFormat))
        << locale.name().toStdString();
    EXPECT_EQ(FormatSettings.DecimalSeparator, locale.decimalPoint().at(0));
    EXPECT_FALSE(FormatSettings.LongTimeFormat.contains(QLatin1Char('t')));
    FormatSettings = saved;
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleFormatsOf,
                         ::testing::Values(QLocale::English, QLocale::German, QLocale::French, QLocale::Spanish,
                                           QLocale::Japanese, QLocale::Russian, QLocale::Dutch, QLocale::Korean));

TEST(LocaleFormats, CurrencyLayout)
{
    const TFormatSettings us = LocaleFormatSettings(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.CurrencyString, S("$"));
    EXPECT_EQ(us.CurrencyFormat, 0);  // $1.00
    const TFormatSettings de = LocaleFormatSettings(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.CurrencyFormat, 3);  // 1,00 €
    EXPECT_EQ(de.NegCurrFormat, 8);   // -1,00 €
    EXPECT_EQ(de.DecimalSeparator, QChar(u','));
}

TEST(LocaleFormats, FixedFormatsSurviveAReRead)
{
    const TFormatSettings saved = FormatSettings;
    const QLocale savedLocale;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    SetFixedTimeFormats(S("HH:MM:SS"), u':', u'.');
    GetFormatSettings();
    EXPECT_EQ(FormatSettings.LongTimeFormat, S("HH:MM:SS"));
    EXPECT_EQ(FormatSettings.DecimalSeparator, QChar(u'.'));
    EXPECT_EQ(FormatSettings.ThousandSeparator, QLocale().groupSeparator().at(0));
    SetFixedTimeFormats(String(), QChar(), QChar());
    GetFormatSettings();
    EXPECT_EQ(FormatSettings.DecimalSeparator, QChar(u','));
    QLocale::setDefault(savedLocale);
    FormatSettings = saved;
}

}  // namespace
