#include <gtest/gtest.h>

#include <cmath>

#include <QDate>
#include <string>

#include "platform/rtl/DateTime.h"
#include "tests/harness/DefaultFormats.h"

namespace {

String S(const char* text)
{
    return String::fromUtf8(text);
}

using DateTimeTest = vorlane::test::DefaultFormatSettingsTest;

template <class F>
std::string errorOf(F&& code)
{
    try {
        code();
    } catch (const EConvertError& e) {
        return ToStd(e.Message());
    }
    return "<no EConvertError>";
}

struct Parts {
    int year, month, day, hour, min, sec, msec;
};

Parts decode(TDateTime value)
{
    Parts p{};
    DecodeDate(value, p.year, p.month, p.day);
    DecodeTime(value, p.hour, p.min, p.sec, p.msec);
    return p;
}

std::string text(const Parts& p)
{
    return ToStd(Format(QStringLiteral("%.4d-%.2d-%.2d %.2d:%.2d:%.2d.%.3d"), {p.year, p.month, p.day, p.hour, p.min, p.sec, p.msec}));
}

TEST_F(DateTimeTest, EncodeDateCountsDaysFrom1899_12_30)
{
    const struct {
        int y, m, d;
        double value;
    } cases[] = {
        {1899, 12, 30, 0},      {1899, 12, 29, -1},      {1900, 1, 1, 2},         {1900, 3, 1, 61},
        {1970, 1, 1, 25569},    {2000, 1, 1, 36526},     {2000, 2, 29, 36585},    {2024, 12, 31, 45657},
        {1, 1, 1, -693593},     {9999, 12, 31, 2958465}, {1600, 2, 29, -109512},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
        int y = 0, m = 0, d = 0;
        DecodeDate(c.value, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.value;
    }
}

TEST_F(DateTimeTest, InvalidDatesAndTimesRaise)
{
    const int badDates[][3] = {{2023, 2, 29}, {1900, 2, 29}, {2000, 2, 30}, {0, 1, 1},
                               {10000, 1, 1}, {2000, 13, 1}, {2000, 0, 1}, {2000, 4, 31}, {2000, 1, 0}};
    for (const auto& d : badDates) {
        EXPECT_EQ(errorOf([&] { EncodeDate(d[0], d[1], d[2]); }), "Invalid argument to date encode");
        TDateTime untouched = 7;
        EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], untouched));
        EXPECT_EQ(untouched, 7);
    }
    const int badTimes[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& t : badTimes)
        EXPECT_EQ(errorOf([&] { EncodeTime(t[0], t[1], t[2], t[3]); }), "Invalid argument to time encode");
}

TEST_F(DateTimeTest, LeapYearsAndMonthDays)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(MonthDays(2024, 2), 29);
    EXPECT_EQ(MonthDays(2100, 2), 28);
    EXPECT_EQ(MonthDays(2023, 4), 30);
    EXPECT_EQ(MonthDays(2023, 13), 0);
}

TEST_F(DateTimeTest, DecodeRoundsToTheMillisecondAndHandlesNegativeValues)
{
    const struct {
        double value;
        const char* parts;
    } cases[] = {
        {EncodeDate(2009, 2, 3) + EncodeTime(23, 59, 59, 999), "2009-02-03 23:59:59.999"},
        {0.5, "1899-12-30 12:00:00.000"},
        {1.99999999999, "1900-01-01 00:00:00.000"},
        {1.0 / 86400000 * 0.4, "1899-12-30 00:00:00.000"},
        {1.0 / 86400000 * 0.6, "1899-12-30 00:00:00.001"},
        {-1.25, "1899-12-29 06:00:00.000"},
        {-0.5, "1899-12-30 12:00:00.000"},
        {-2.75, "1899-12-28 18:00:00.000"},
        {-693593.0, "0001-01-01 00:00:00.000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(decode(c.value)), c.parts) << c.value;
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_EQ(text(decode(EncodeTime(1, 2, 3, 4))), "1899-12-30 01:02:03.004");
}

TEST_F(DateTimeTest, ValuesPastAnyCalendarDecodeOutsideIt)
{
    // Stored values can hold anything; decoding them must stay defined and
    // land outside 1..9999 so range checks refuse them.
    for (const double value : {1e300, -1e300, 1e17, std::nan(""), HUGE_VAL}) {
        int year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
        DecodeDate(value, year, month, day);
        DecodeTime(value, hour, min, sec, msec);
        EXPECT_TRUE(year < 1 || year > 9999) << value << " gave " << year;
        EXPECT_TRUE(hour >= 0 && hour < 24 && min >= 0 && min < 60) << value;
        const int dow = DayOfWeek(value);
        EXPECT_TRUE(dow >= -6 && dow <= 7) << value;
    }
}

TEST_F(DateTimeTest, DayOfWeekStartsOnSunday)
{
    EXPECT_EQ(DayOfWeek(0), 7);                         // 1899-12-30, a Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);    // a Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(2023, 12, 31) + 0.9), 1);
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
    int y = 0, m = 0, d = 0, dow = 0;
    EXPECT_TRUE(DecodeDateFully(EncodeDate(2000, 2, 29), y, m, d, dow));
    EXPECT_EQ(dow, 3);  // a Tuesday
    EXPECT_FALSE(DecodeDateFully(EncodeDate(2001, 3, 1), y, m, d, dow));
    EXPECT_EQ(dow, 5);
}

TEST_F(DateTimeTest, FormatDateTimeCodes)
{
    const TDateTime morning = EncodeDate(2009, 2, 3) + EncodeTime(4, 5, 6, 7);  // a Tuesday
    const TDateTime afternoon = EncodeDate(2009, 11, 23) + EncodeTime(16, 7, 8, 90);
    const struct {
        const char* format;
        TDateTime value;
        const char* text;
    } cases[] = {
        {"yyyy-mm-dd hh:nn:ss.zzz", morning, "2009-02-03 04:05:06.007"},
        {"yy/m/d", morning, "09/2/3"},
        {"yyy", morning, "2009"},
        {"y", morning, "09"},
        {"d mmm yyyy", morning, "3 Feb 2009"},
        {"dddd, mmmm d", morning, "Tuesday, February 3"},
        {"ddd", morning, "Tue"},
        {"mm", morning, "02"},
        {"hh:mm", morning, "04:05"},
        {"h m", morning, "4 5"},
        {"h:n:s z", morning, "4:5:6 7"},
        {"hhh:nnn:sss zzzz", morning, "04:05:06 007"},
        {"h:mm AM/PM", morning, "4:05 AM"},
        {"h:mm AM/PM", afternoon, "4:07 PM"},
        {"h:mm am/pm", afternoon, "4:07 pm"},
        {"h a/p", afternoon, "4 p"},
        {"hh ampm", afternoon, "04 PM"},
        {"hh", afternoon, "16"},
        {"h:nn AMPM", EncodeTime(0, 30, 0, 0), "12:30 AM"},
        {"h:nn AMPM", EncodeTime(12, 0, 0, 0), "12:00 PM"},
        {"c", morning, "2/3/2009 4:05:06 AM"},
        {"c", EncodeDate(2009, 2, 3), "2/3/2009"},
        {"c", EncodeDate(2009, 2, 3) + EncodeTime(0, 0, 0, 500), "2/3/2009"},
        {"", afternoon, "11/23/2009 4:07:08 PM"},
        {"ddddd", morning, "2/3/2009"},
        {"dddddd", morning, "Tuesday, February 3, 2009"},
        {"t", afternoon, "4:07 PM"},
        {"tt", afternoon, "4:07:08 PM"},
        {"'yyyy' yyyy", morning, "yyyy 2009"},
        {"\"h\"h", morning, "h4"},
        {"'unclosed", morning, "unclosed"},
        {"dd-mm-yyyy [x]", morning, "03-02-2009 [x]"},
        {"aaa aaaa", morning, "Tue Tuesday"},
        {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
        {"yyyy-mm-dd", EncodeDate(2000, 2, 29), "2000-02-29"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToStd(FormatDateTime(S(c.format), c.value)), c.text) << c.format;
}

TEST_F(DateTimeTest, SeparatorsAndTheConvertersLongTimeFormat)
{
    const TDateTime value = EncodeDate(2009, 2, 3) + EncodeTime(16, 7, 8, 0);
    FormatSettings.DateSeparator = QLatin1Char('-');
    FormatSettings.TimeSeparator = QLatin1Char('.');
    EXPECT_EQ(ToStd(FormatDateTime(S("yyyy/mm/dd hh:nn"), value)), "2009-02-03 16.07");

    // The program's start-up settings: "MM" after "HH" is minutes.
    FormatSettings = DefaultFormatSettings();
    FormatSettings.LongTimeFormat = S("HH:MM:SS");
    FormatSettings.TimeSeparator = QLatin1Char(':');
    FormatSettings.DecimalSeparator = QLatin1Char('.');
    EXPECT_EQ(ToStd(TimeToStr(value)), "16:07:08");
    EXPECT_EQ(ToStd(TimeToStr(EncodeTime(3, 4, 5, 0))), "03:04:05");
    EXPECT_EQ(ToStd(DateTimeToStr(value)), "2/3/2009 16:07:08");
    EXPECT_EQ(ToStd(DateToStr(value)), "2/3/2009");
    EXPECT_EQ(ToStd(FormatDateTime(S("MM/DD HH:MM"), value)), "02/03 16:07");
}

TEST_F(DateTimeTest, StrToDateFollowsTheShortDateOrder)
{
    EXPECT_EQ(StrToDate(S("2/3/2009")), EncodeDate(2009, 2, 3));
    EXPECT_EQ(StrToDate(S(" 12/31/1999 ")), EncodeDate(1999, 12, 31));
    EXPECT_EQ(StrToDate(S("2/29/2000")), EncodeDate(2000, 2, 29));
    EXPECT_EQ(StrToDate(S("2/3")), EncodeDate(QDate::currentDate().year(), 2, 3));
    // A two-digit year lands within 50 years before today and 50 after.
    const int thisYear = QDate::currentDate().year();
    TDateTime parsed = StrToDate(S("1/2/") + String::number((thisYear + 10) % 100).rightJustified(2, QLatin1Char('0')));
    EXPECT_EQ(parsed, EncodeDate(thisYear + 10, 1, 2));
    parsed = StrToDate(S("1/2/") + String::number((thisYear - 30) % 100).rightJustified(2, QLatin1Char('0')));
    EXPECT_EQ(parsed, EncodeDate(thisYear - 30, 1, 2));

    for (const char* bad : {"2/30/2009", "2/29/2001", "abc", "", "2/3/2009x", "2-3-2009", "13/1/2009", "2/3/2009 4:00"})
        EXPECT_EQ(errorOf([&] { StrToDate(S(bad)); }), "'" + std::string(bad) + "' is not a valid date");

    FormatSettings.ShortDateFormat = S("dd.mm.yyyy");
    FormatSettings.DateSeparator = QLatin1Char('.');
    EXPECT_EQ(StrToDate(S("3.2.2009")), EncodeDate(2009, 2, 3));
    FormatSettings.ShortDateFormat = S("yyyy-mm-dd");
    FormatSettings.DateSeparator = QLatin1Char('-');
    EXPECT_EQ(StrToDate(S("2009-02-03")), EncodeDate(2009, 2, 3));
}

TEST_F(DateTimeTest, StrToTimeAndStrToDateTime)
{
    const struct {
        const char* text;
        TDateTime value;
    } cases[] = {
        {"4:05", EncodeTime(4, 5, 0, 0)},
        {"16:05:06", EncodeTime(16, 5, 6, 0)},
        {"4:05:06 PM", EncodeTime(16, 5, 6, 0)},
        {"4:05:06 pm", EncodeTime(16, 5, 6, 0)},
        {"12:00 AM", 0},
        {"12:30 PM", EncodeTime(12, 30, 0, 0)},
        {"AM 9:15", EncodeTime(9, 15, 0, 0)},
        {"4:05:06.007", EncodeTime(4, 5, 6, 7)},
        {"7", EncodeTime(7, 0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToTime(S(c.text)), c.value) << c.text;
    for (const char* bad : {"13:00 PM", "0:30 AM", "25:00", "4:60", "4:", "x", "", "4:05 XM"})
        EXPECT_EQ(errorOf([&] { StrToTime(S(bad)); }), "'" + std::string(bad) + "' is not a valid time");

    EXPECT_EQ(StrToDateTime(S("2/3/2009 4:05:06 PM")), EncodeDate(2009, 2, 3) + EncodeTime(16, 5, 6, 0));
    EXPECT_EQ(StrToDateTime(S("2/3/2009")), EncodeDate(2009, 2, 3));
    EXPECT_EQ(StrToDateTime(S("16:05")), EncodeTime(16, 5, 0, 0));
    EXPECT_EQ(StrToDateTime(S("12/29/1899 6:00")), -1.25) << "negative dates subtract the time";
    EXPECT_EQ(errorOf([] { StrToDateTime(S("2/3/2009 25:00")); }), "'2/3/2009 25:00' is not a valid date and time");
}

TEST_F(DateTimeTest, UnixTimeAndIncMonth)
{
    EXPECT_EQ(DateTimeToUnix(EncodeDate(1970, 1, 2)), 86400);
    EXPECT_EQ(DateTimeToUnix(EncodeDate(1969, 12, 31)), -86400);
    EXPECT_EQ(UnixToDateTime(0), 25569);
    EXPECT_EQ(text(decode(UnixToDateTime(1234567890))), "2009-02-13 23:31:30.000");
    EXPECT_EQ(DateTimeToUnix(UnixToDateTime(1234567890)), 1234567890);

    EXPECT_EQ(IncMonth(EncodeDate(2000, 1, 31)), EncodeDate(2000, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2000, 3, 31), -1), EncodeDate(2000, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2000, 11, 15), 14), EncodeDate(2002, 1, 15));
    EXPECT_EQ(IncMonth(EncodeDate(2000, 1, 15), -13), EncodeDate(1998, 12, 15));
    EXPECT_EQ(text(decode(IncMonth(EncodeDate(2000, 1, 15) + EncodeTime(6, 0, 0, 0)))), "2000-02-15 06:00:00.000");
}

TEST_F(DateTimeTest, NowIsLocalTime)
{
    const QDateTime before = QDateTime::currentDateTime();
    const TDateTime now = Now();
    const QDateTime after = QDateTime::currentDateTime();
    const auto toDateTime = [](const QDateTime& t) {
        return EncodeDate(t.date().year(), t.date().month(), t.date().day())
               + EncodeTime(t.time().hour(), t.time().minute(), t.time().second(), t.time().msec());
    };
    EXPECT_GE(now, toDateTime(before));
    EXPECT_LE(now, toDateTime(after));
    EXPECT_EQ(Date(), std::trunc(Date()));
    EXPECT_LT(Time(), 1.0);
}

}  // namespace

namespace {

TEST_F(DateTimeTest, ASetClockDrivesNowDateAndTheMissingYear)
{
    SetClockSource([] { return EncodeDate(2031, 5, 6) + EncodeTime(7, 8, 9, 10); });
    EXPECT_EQ(Date(), EncodeDate(2031, 5, 6));
    EXPECT_DOUBLE_EQ(Now(), EncodeDate(2031, 5, 6) + EncodeTime(7, 8, 9, 10));
    EXPECT_DOUBLE_EQ(Time(), EncodeTime(7, 8, 9, 10));
    EXPECT_EQ(StrToDate(S("3/4")), EncodeDate(2031, 3, 4));
    SetClockSource({});
    const QDate today = QDate::currentDate();
    EXPECT_EQ(Date(), EncodeDate(today.year(), today.month(), today.day()));
}

}  // namespace
