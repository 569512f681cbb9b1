// Date utilities and calendar tables: smart date words with a fixed clock,
// typed dates, week numbers, the Gregorian and era calendars, and the
// Hijri and Hebrew tables over their whole ranges.
#include "ui/editors/vlDateUtils.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QLocale>

#include "platform/rtl/ResString.h"
#include "platform/rtl/SysUtils.h"
#include "tests/harness/Mutation.h"

namespace {

String S(const char* text) { return String::fromUtf8(text); }
TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

std::string ymd(TDateTime date)
{
    if (date == vlNullDate)
        return "null";
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    return std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d);
}

std::string parts(const TvlCalendarDateTime& p)
{
    return std::to_string(p.Era) + ":" + std::to_string(p.Year) + "-" + std::to_string(p.Month) + "-" + std::to_string(p.Day);
}

class DateUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedSettings = FormatSettings;
        // Wednesday 14 February 2024, 10:30
        SetClockSource([] { return EncodeDate(2024, 2, 14) + EncodeTime(10, 30, 0, 0); });
    }
    void TearDown() override
    {
        SetClockSource({});
        SetResStringLoader({});
        QLocale::setDefault(savedLocale);
        FormatSettings = savedSettings;
    }
    TFormatSettings savedSettings;
    QLocale savedLocale;
};

TEST_F(DateUtilsTest, TheClockCanBeSet)
{
    EXPECT_EQ(Date(), D(2024, 2, 14));
    EXPECT_DOUBLE_EQ(Now(), D(2024, 2, 14) + EncodeTime(10, 30, 0, 0));
    EXPECT_DOUBLE_EQ(Time(), EncodeTime(10, 30, 0, 0));
}

TEST_F(DateUtilsTest, SmartWords)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // weeks start on Monday
    const struct {
        const char* text;
        const char* date;
    } cases[] = {
        {"today", "2024-2-14"},      {"today+5", "2024-2-19"},    {" TODAY - 5 ", "2024-2-9"},
        {"Today+ 5", "2024-2-19"},   {"today+", "null"},          {"today+a", "null"},
        {"today5", "null"},          {"yesterday", "2024-2-13"},  {"tomorrow-1", "2024-2-14"},
        {"wednesday", "2024-2-14"},  {"Thursday", "2024-2-15"},   {"tuesday", "2024-2-20"},
        {"first", "2024-2-12"},      {"seventh", "2024-2-18"},    {"bom", "2024-2-1"},
        {"eom", "2024-2-29"},        {"eom+1", "2024-3-1"},       {"now", "2024-2-14"},
        {"today+2000000000", "null"}, {"today-9999999", "null"},   {"", "null"},
        {"   ", "null"},             {"tomorrowx", "null"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ymd(TextToDateEx(S(c.text), false)), c.date) << c.text;

    TDateTime date = 0;
    EXPECT_TRUE(SmartTextToDate(S("now"), date));
    EXPECT_DOUBLE_EQ(date, Now());
    EXPECT_TRUE(ParseSmartDateText(S("today"), date));
    EXPECT_DOUBLE_EQ(date, D(2024, 2, 14));  // no time
    EXPECT_FALSE(SmartTextToDate(S("today+"), date));
    EXPECT_EQ(date, vlNullDate);
}

TEST_F(DateUtilsTest, TheLongerOfTwoWordsWins)
{
    SetResStringLoader([](const TResStringRec& rec) {
        if (String::fromLatin1(rec.Name) == QLatin1String("vlSDateYesterday"))
            return S("todayy");
        return String();
    });
    TDateTime date = 0;
    ASSERT_TRUE(ParseSmartDateText(S("TODAYY+2"), date));
    EXPECT_EQ(ymd(date), "2024-2-15");
    ASSERT_TRUE(ParseSmartDateText(S("today+2"), date));
    EXPECT_EQ(ymd(date), "2024-2-16");
    EXPECT_EQ(LoadSmartDateWords().at(1), S("todayy"));
}

TEST_F(DateUtilsTest, TypedDates)
{
    FormatSettings = DefaultFormatSettings();  // M/d/yyyy
    const struct {
        const char* text;
        const char* date;
    } cases[] = {
        {"12/31/2024", "2024-12-31"}, {" 2/29/2024 ", "2024-2-29"}, {"2/30/2024", "null"},
        {"1/2/10000", "null"},        {"1/2/24", "2024-1-2"},        {"1/2/35", "1935-1-2"},
        {"Mar/2/2024", "2024-3-2"},  {"1/2/99", "1999-1-2"},        {"12/31/99999999999", "null"},
        {"x/y/z", "null"},            {"1/2/0050", "null"},          {"1/2/2024 13:45", "2024-1-2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ymd(TextToDateEx(S(c.text), false)), c.date) << c.text;
    EXPECT_DOUBLE_EQ(TextToDateEx(S("1/2/2024 13:45"), false), D(2024, 1, 2) + EncodeTime(13, 45, 0, 0));
    // the runtime's own reading
    EXPECT_EQ(ymd(TextToDateEx(S("12/31/2024"), true)), "2024-12-31");

    TDateTime date = 0;
    EXPECT_TRUE(TryTextToDateTime(S("12/31/2024"), true, date));
    EXPECT_EQ(ymd(date), "2024-12-31");
    EXPECT_FALSE(TryTextToDateTime(S("today"), true, date));  // no smart words here
    EXPECT_EQ(date, vlNullDate);
}

TEST_F(DateUtilsTest, WeekNumbers)
{
    const struct {
        int startOfWeek;
        int rule;
        TDateTime date;
        int week;
    } cases[] = {
        {1, 3, D(2024, 12, 31), 1},  {1, 3, D(2021, 1, 1), 53}, {1, 3, D(2021, 1, 4), 1},
        {1, 3, D(2020, 12, 31), 53}, {1, 3, D(2026, 12, 31), 53}, {0, 1, D(2024, 1, 1), 1},
        {0, 1, D(2024, 1, 7), 2},    {0, 1, D(2024, 12, 29), 1}, {0, 2, D(2023, 1, 1), 1},
        {0, 2, D(2022, 1, 1), 52},   {0, 0, D(2024, 1, 7), 2},   // rule 0: the locale's, here the first
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetGregorianWeekNumber(c.startOfWeek, c.rule, c.date), c.week) << ymd(c.date) << " rule " << c.rule;
}

TEST_F(DateUtilsTest, GregorianArithmetic)
{
    EXPECT_EQ(ymd(GetMonthStart(D(2024, 2, 14) + 0.5)), "2024-2-1");
    EXPECT_EQ(ymd(GetMonthEnd(true, D(2024, 2, 14))), "2024-2-29");
    EXPECT_DOUBLE_EQ(GetMonthEnd(false, D(2023, 2, 14)), D(2023, 2, 28) + EncodeTime(23, 59, 59, 999));
    EXPECT_EQ(ymd(GetYearStart(D(2024, 7, 4))), "2024-1-1");
    EXPECT_EQ(ymd(GetYearEnd(true, D(2024, 7, 4))), "2024-12-31");
    EXPECT_EQ(DateToMonthCount(D(2024, 2, 14)), 2024 * 12 + 2 - 12);
    EXPECT_EQ(GetDaysPerMonth(1900, 2), 28);
    EXPECT_EQ(GetDaysPerMonth(2000, 2), 29);
    EXPECT_EQ(GetDaysPerMonth(2024, 13), 0);
    EXPECT_DOUBLE_EQ(TimePartOf(D(2024, 1, 1) + 0.75), 0.75);
    EXPECT_EQ(DatePartOf(D(2024, 1, 1) + 0.75), D(2024, 1, 1));
    EXPECT_EQ(GetDateElement(deYear, nullptr, D(2024, 1, 2)), 2024);
    EXPECT_EQ(GetDateElement(deMonth, GetCalendarTable(7), D(2024, 1, 2)), 1);
    EXPECT_EQ(GetDateElement(deYear, GetCalendarTable(7), D(2024, 1, 2)), 2567);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(GetDayIndexInWeek(D(2024, 2, 12)), 0);  // Monday
    EXPECT_EQ(GetDayIndexInWeek(D(2024, 2, 18)), 6);
}

TEST_F(DateUtilsTest, DatesToText)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    String text;
    GetDayOfWeekName(7, text);
    EXPECT_EQ(text, S("S"));
    GetDayOfWeekName(1, text);
    EXPECT_EQ(text, S("M"));
    GetDayOfWeekName(0, text);
    EXPECT_TRUE(text.isEmpty());
    GetDayOfWeekName(8, text);
    EXPECT_TRUE(text.isEmpty());
    GetYearMonthText(nullptr, text, D(2024, 2, 14));
    EXPECT_EQ(text, S("February 2024"));
    GetDayNumberText(text, D(2024, 2, 9));
    EXPECT_EQ(text, S("9"));
    GetMonthNameOfCalendarMonth(2024, 13, nullptr, text);
    EXPECT_TRUE(text.isEmpty());
    DateTimeToLocaleText(true, false, text, D(2024, 2, 9));
    EXPECT_EQ(text, S("2/9/2024"));
    DateTimeToLocaleText(false, false, text, vlNullDate);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(FormatDateByPattern(S("'x'dd.mm.yyyy'y'"), D(2024, 2, 9)), S("09.02.2024"));
    EXPECT_EQ(FormatDateByPattern(S("d mmmm yy"), D(2024, 2, 9), u'-'), S("9-February-24"));
}

TEST_F(DateUtilsTest, TableCache)
{
    EXPECT_EQ(GetCalendarTable(8), GetCalendarTable(8));
    EXPECT_EQ(GetCalendarTable(8)->CalendarId(), 8);
    EXPECT_EQ(GetCalendarTable(99)->CalendarId(), 1);
    EXPECT_EQ(GetUserCalendarTable()->CalendarId(), 1);
    EXPECT_TRUE(IsGregorianCalendar());
    for (int id : {1, 2, 9, 10, 11, 12})
        EXPECT_TRUE(IsGregorianCalendar(GetCalendarTable(id))) << id;
    for (int id : {3, 4, 5, 6, 7, 8})
        EXPECT_FALSE(IsGregorianCalendar(GetCalendarTable(id))) << id;
    EXPECT_EQ(GetCalendarTable(9)->FirstWeekday(), 1);
    EXPECT_EQ(GetCalendarTable(10)->FirstWeekday(), 6);
}

// ---- the Gregorian and era calendars ---------------------------------------------------

TEST(CalendarTables, GregorianRules)
{
    TvlGregorianCalendarTable g;
    EXPECT_TRUE(g.IsLeapDayAt(2024, 2, 29));
    EXPECT_FALSE(g.IsLeapDayAt(2024, 2, 28));
    EXPECT_FALSE(g.IsLeapDayAt(2023, 2, 29));
    EXPECT_EQ(g.YearDays(2024), 366);
    EXPECT_EQ(g.WholeWeeksInYear(2020), 52);
    EXPECT_EQ(g.WholeWeeksInYear(2022), 53);
    EXPECT_EQ(g.WholeWeeksInYear(2016), 53);
    EXPECT_FALSE(g.AcceptsYear(99));
    EXPECT_FALSE(g.AcceptsDay(2023, 2, 29));
    EXPECT_EQ(g.DayOfYearOf(g.SplitDate(D(2024, 3, 1))), 61);
    EXPECT_EQ(ymd(g.WeekStartOfDate(D(2024, 2, 14))), "2024-2-11");
    EXPECT_EQ(ymd(g.WeekStartFrom(1, D(2024, 2, 11))), "2024-2-5");
    EXPECT_THROW(g.JoinDay(2023, 2, 29), EConvertError);
}

TEST(CalendarTables, AddingMonthsAndYears)
{
    TvlGregorianCalendarTable g;
    const TvlCalendarDateTime jan31 = g.SplitDate(D(2024, 1, 31) + 0.25);
    EXPECT_EQ(ymd(g.AddMonthsTo(jan31, 1)), "2024-2-29");
    EXPECT_EQ(ymd(g.AddMonthsTo(jan31, -1)), "2023-12-31");
    EXPECT_EQ(ymd(g.AddMonthsTo(jan31, 13)), "2025-2-28");
    EXPECT_EQ(ymd(g.AddMonthsTo(jan31, -25)), "2021-12-31");
    EXPECT_DOUBLE_EQ(g.AddMonthsTo(jan31, 1), D(2024, 2, 29) + 0.25);  // the time stays
    EXPECT_EQ(ymd(g.AddYearsToDate(D(2024, 2, 29), 1)), "2025-2-28");
    EXPECT_EQ(ymd(g.AddYearsToDate(D(2024, 2, 29), 4)), "2028-2-29");
    EXPECT_EQ(ymd(g.AddWeeksToDate(D(2024, 2, 29), 1)), "2024-3-7");
    // past either end: the earliest date, or clamped
    EXPECT_EQ(g.AddYearsToDate(D(2024, 2, 29), 8000), g.EarliestDate());
    EXPECT_EQ(g.AddMonthsToDate(D(2024, 2, 29), 2000000000), g.EarliestDate());
    EXPECT_EQ(g.AddDaysTo(g.SplitDate(D(9999, 12, 30)), 5), vlMaxDateTime);
    TvlCalendarDateTime bad = jan31;
    bad.Month = 13;
    EXPECT_EQ(g.AddMonthsTo(bad, 1), g.EarliestDate());
}

TEST(CalendarTables, Eras)
{
    TvlJapaneseCalendarTable japanese;
    EXPECT_EQ(parts(japanese.SplitDate(D(1989, 1, 7))), "2:64-1-7");
    EXPECT_EQ(parts(japanese.SplitDate(D(1989, 1, 8))), "3:1-1-8");
    EXPECT_EQ(parts(japanese.SplitDate(D(1868, 1, 1))), "-1:-120-1-1");
    EXPECT_EQ(japanese.DefaultEra().EraNumber, 4);
    EXPECT_EQ(ymd(japanese.JoinParts(japanese.SplitDate(D(1926, 12, 25)))), "1926-12-25");
    TvlCalendarDateTime showa = japanese.SplitDate(D(1988, 3, 1));
    EXPECT_EQ(ymd(japanese.AddYearsTo(showa, 1)), "1989-3-1");
    EXPECT_EQ(parts(japanese.SplitDate(japanese.AddYearsTo(showa, 1))), "3:1-3-1");  // the era moves on

    EXPECT_EQ(TvlTaiwanCalendarTable().SplitDate(D(2024, 1, 1)).Year, 113);
    EXPECT_EQ(TvlKoreanCalendarTable().SplitDate(D(2024, 1, 1)).Year, 4357);
    EXPECT_EQ(TvlThaiCalendarTable().SplitDate(D(2024, 1, 1)).Year, 2567);
    TvlThaiCalendarTable thai;
    EXPECT_EQ(ymd(thai.JoinParts(thai.SplitDate(D(2024, 5, 6)))), "2024-5-6");
    EXPECT_TRUE(thai.IsLeapYearAt(2567));
    EXPECT_FALSE(thai.AcceptsYear(543));
}

TEST(CalendarTables, ReadingNumbersAndTheTwoDigitWindow)
{
    TvlGregorianCalendarTable g;
    EXPECT_EQ(g.ReadYearNumber(S("24")), 2024);
    EXPECT_EQ(g.ReadYearNumber(S("35")), 1935);
    EXPECT_EQ(g.ReadYearNumber(S("29")), 2029);
    EXPECT_EQ(g.ReadYearNumber(S("024")), 24);
    EXPECT_EQ(g.ReadMonthNumber(2024, S("FEBRUARY")), 2);
    EXPECT_EQ(g.ReadMonthNumber(2024, S("sep")), 9);
    EXPECT_EQ(g.ReadMonthNumber(2024, S("7")), 7);
    EXPECT_THROW(g.ReadDayNumber(S("x")), EConvertError);
    EXPECT_THROW(g.ReadMonthNumber(2024, S("Febr")), EConvertError);
}

TEST(CalendarTables, DateValueValidity)
{
    EXPECT_FALSE(IsDateValueValid(D(99, 12, 31)));
    EXPECT_TRUE(IsDateValueValid(D(100, 1, 1)));
    EXPECT_TRUE(IsDateValueValid(vlNullDate));
    EXPECT_TRUE(IsDateValueValid(D(9999, 12, 31) + EncodeTime(23, 59, 0, 0)));
    EXPECT_FALSE(IsDateValueValid(D(9999, 12, 31) + 1));
}

// ---- Hijri and Hebrew ---------------------------------------------------------------------

TEST(CalendarTables, HijriPoints)
{
    TvlHijriCalendarTable h;
    EXPECT_EQ(parts(h.SplitDate(D(2024, 1, 1))), "-1:1445-6-20");
    EXPECT_EQ(ymd(h.JoinDay(1446, 1, 1)), "2024-7-7");
    EXPECT_TRUE(h.IsLeapYearAt(1445));
    EXPECT_EQ(h.MonthDays(1445, 12), 30);
    EXPECT_EQ(h.MonthDays(1446, 12), 29);
    EXPECT_EQ(h.YearDays(1445), 355);
    EXPECT_EQ(ymd(h.EarliestDate()), "622-7-18");
    EXPECT_EQ(parts(h.SplitDate(h.EarliestDate())), "-1:1-1-1");
    EXPECT_EQ(parts(h.SplitDate(vlMaxDateTime)), "-1:9666-4-3");
    // the last year ends past the last date: its later days are refused
    EXPECT_TRUE(h.AcceptsDay(9666, 4, 3));
    EXPECT_FALSE(h.AcceptsDay(9666, 4, 4));
    EXPECT_FALSE(h.AcceptsDay(9666, 12, 1));
    EXPECT_EQ(h.AddMonthsTo(h.SplitDate(D(9999, 12, 1)), 3), h.EarliestDate());
}

TEST(CalendarTables, HijriSplitAndJoinAreInverseOnEveryDay)
{
    TvlHijriCalendarTable h;
    int failures = 0;
    int previousDay = 0;
    for (int day = int(h.EarliestDate()); day <= int(vlMaxDateTime) && failures < 5; ++day) {
        const TvlCalendarDateTime p = h.SplitDate(day);
        if (h.JoinParts(p) != day || !h.AcceptsDay(p.Year, p.Month, p.Day) || p.Day == previousDay) {
            ADD_FAILURE() << "day " << day << " splits to " << parts(p);
            ++failures;
        }
        previousDay = p.Day;
    }
}

TEST(CalendarTables, HebrewTable)
{
    TvlHebrewCalendarTable h;
    const struct {
        int year;
        int janDay;
        int janMonth;
        int type;
    } rows[] = {{5343, 7, 4, 3}, {5760, 23, 4, 6}, {5784, 20, 4, 4}, {5785, 1, 4, 3}, {5999, 24, 4, 6}};
    for (const auto& r : rows) {
        int month = 0, day = 0;
        h.JanuaryFirstLunarDate(r.year - 3760, month, day);
        EXPECT_EQ(month, r.janMonth) << r.year;
        EXPECT_EQ(day, r.janDay) << r.year;
        EXPECT_EQ(h.YearType(r.year) + (h.IsLeapYearAt(r.year) ? 3 : 0), r.type) << r.year;
        EXPECT_EQ(parts(h.SplitDate(D(r.year - 3760, 1, 1))),
                  "-1:" + std::to_string(r.year) + "-" + std::to_string(r.janMonth) + "-" + std::to_string(r.janDay));
    }
    EXPECT_EQ(parts(h.SplitDate(D(2024, 1, 1))), "-1:5784-4-20");
    EXPECT_EQ(h.YearDays(5784), 383);
    EXPECT_EQ(parts(h.SplitDate(D(2025, 1, 1))), "-1:5785-4-1");
    EXPECT_EQ(ymd(h.JoinDay(5785, 1, 1)), "2024-10-3");
    EXPECT_EQ(h.MonthDays(5785, 13), 0);
    EXPECT_FALSE(h.AcceptsMonth(5785, 13));
    EXPECT_TRUE(h.AcceptsMonth(5784, 13));
    EXPECT_TRUE(h.IsLeapMonthAt(5784, 7));
    EXPECT_EQ(h.YearType(5342), 0);
    EXPECT_EQ(h.YearDays(6000), 0);
    EXPECT_EQ(ymd(h.LatestDate()), "2239-9-29");
    EXPECT_EQ(parts(h.SplitDate(h.LatestDate())), "-1:5999-13-29");
    EXPECT_EQ(parts(h.SplitDate(D(2300, 1, 1))), "-1:5999-13-29");  // clamped
    EXPECT_EQ(h.JoinDay(6000, 1, 1), h.EarliestDate());
}

TEST(CalendarTables, HebrewSplitAndJoinAreInverseOnEveryDay)
{
    TvlHebrewCalendarTable h;
    int failures = 0;
    for (int day = int(h.EarliestDate()); day <= int(h.LatestDate()) && failures < 5; ++day) {
        const TvlCalendarDateTime p = h.SplitDate(day);
        if (h.JoinParts(p) != day || !h.AcceptsDay(p.Year, p.Month, p.Day)) {
            ADD_FAILURE() << "day " << day << " splits to " << parts(p);
            ++failures;
        }
    }
}

TEST(CalendarTables, HebrewNumerals)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"\xd7\x98\xd7\x95", 15},                // tet-vav
        {"\xd7\x98\xd7\xb4\xd7\x95", 15},        // with gershayim
        {"\xd7\x90\xd7\xb3", 1},                 // alef with geresh
        {"\xd7\x9a", 20},                        // final kaf counts as kaf
        {"\xd7\xaa\xd7\xa9\xd7\xa4\xd7\x93", 784},  // tav shin pe dalet
        {"\xc3\xa9", 0},                         // a Latin letter, whatever its byte value was
        {"15", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TvlHebrewCalendarTable::HebrewNumeralValue(S(c.text)), c.value) << c.text;
    TvlHebrewCalendarTable h;
    EXPECT_EQ(h.ReadDayNumber(S("\xd7\x98\xd7\x95")), 15);
    EXPECT_EQ(h.ReadDayNumber(S("12")), 12);
    EXPECT_EQ(h.ReadYearNumber(S("\xd7\xaa\xd7\xa9\xd7\xa4\xd7\x93")), 5784);
    EXPECT_EQ(h.ReadMonthNumber(5784, S("\xd7\x99\xd7\x92")), 13);  // yod-gimel: month 13 of a leap year
    EXPECT_EQ(h.ReadMonthNumber(5785, S("3")), 3);
}

// Text typed in another calendar: three fields in the format's order, read
// by the table, an era name skipped, then a time.
TEST(CalendarTables, CalendarText)
{
    TFormatSettings fs = DefaultFormatSettings();
    fs.DateSeparator = u'/';
    fs.ShortDateFormat = S("d/M/yyyy");
    TvlThaiCalendarTable thai;
    EXPECT_EQ(ymd(ParseCalendarDateText(S("1/1/2567"), &thai, fs)), "2024-1-1");
    EXPECT_DOUBLE_EQ(ParseCalendarDateText(S("1/1/2567 13:45"), &thai, fs), D(2024, 1, 1) + EncodeTime(13, 45, 0, 0));
    EXPECT_EQ(ymd(ParseCalendarDateText(S("31/2/2567"), &thai, fs)), "null");  // no such day: no date
    EXPECT_THROW(ParseCalendarDateText(S("1/x/2567"), &thai, fs), EConvertError);

    fs.ShortDateFormat = S("gg yyy/MM/dd");
    TvlJapaneseCalendarTable japanese;  // the era name is skipped: the default era counts
    EXPECT_EQ(ymd(ParseCalendarDateText(S("Era 036/01/02"), &japanese, fs)), "2024-1-2");

    fs.DateSeparator = u' ';
    fs.ShortDateFormat = S("d M yyyy");
    TvlHebrewCalendarTable hebrew;
    EXPECT_EQ(ymd(ParseCalendarDateText(S("20 4 5784"), &hebrew, fs)), "2024-1-1");
    // kaf (20), month 4, tav-shin-pe-dalet (784)
    EXPECT_EQ(ymd(ParseCalendarDateText(S("\xd7\x9b 4 \xd7\xaa\xd7\xa9\xd7\xa4\xd7\x93"), &hebrew, fs)), "2024-1-1");

    // the user's calendar is Gregorian: the locale's own order
    EXPECT_EQ(CalendarTextToDate(S("nonsense")), vlNullDate);
}

TEST(CalendarTables, WeeksOfLunarCalendars)
{
    TvlHebrewCalendarTable hebrew;
    const TvlCalendarDateTime tishri1 = hebrew.SplitDate(D(2024, 10, 3));  // a Thursday
    EXPECT_EQ(hebrew.WeekOf(tishri1, 0, 1), 1);
    EXPECT_EQ(hebrew.WeekOf(hebrew.SplitDate(D(2024, 10, 6)), 0, 1), 2);  // the next Sunday
    EXPECT_EQ(hebrew.WholeWeeksInYear(5785), 50);
    TvlHijriCalendarTable hijri;
    EXPECT_EQ(hijri.WeekOf(hijri.SplitDate(hijri.JoinDay(1446, 1, 1)), 0, 1), 1);
    EXPECT_EQ(hijri.WeekOf(hijri.SplitDate(hijri.JoinDay(1446, 1, 1) + 7), 0, 1), 2);
}

TEST_F(DateUtilsTest, FixedSeedMutationsOfTypedDates)
{
    const std::vector<QByteArray> seeds = {"today+5", " TODAY - 5 ", "12/31/2024 10:30:00", "Mar/2/24", "eom-9999",
                                           "1/2/2024 1:2:3 PM"};
    vorlane::test::ForEachMutation(seeds, 34, 3000, [](const QByteArray& mutant) {
        const String text = String::fromUtf8(mutant);
        for (const bool runtime : {false, true}) {
            const TDateTime date = TextToDateEx(text, runtime);
            EXPECT_TRUE(IsDateValueValid(date)) << mutant.toStdString();
        }
        TDateTime date = 0;
        if (TryTextToDateTime(text, true, date)) {
            EXPECT_TRUE(IsDateValueValid(date)) << mutant.toStdString();
        }
    });
}

}  // namespace
