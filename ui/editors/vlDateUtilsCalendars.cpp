// The calendar tables: the shared arithmetic, the Gregorian and era-based
// families, and the Hijri and Hebrew tables.
#include <algorithm>
#include <cmath>

#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlDateUtils.h"

namespace {

TDateTime joinDateAndTime(TDateTime ADate, const TvlCalendarDateTime& AParts)
{
    const TDateTime time = EncodeTime(AParts.Hours, AParts.Minutes, AParts.Seconds, AParts.Milliseconds);
    return ADate < 0 ? ADate - time : ADate + time;
}

void splitTime(TDateTime ADate, TvlCalendarDateTime& AParts)
{
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(ADate, h, n, s, ms);
    AParts.Hours = uint8_t(h);
    AParts.Minutes = uint8_t(n);
    AParts.Seconds = uint8_t(s);
    AParts.Milliseconds = uint16_t(ms);
}

// Day 1 of year 1 of the Gregorian calendar as a date value.
TDateTime firstDayOfYearOne()
{
    return EncodeDate(1, 1, 1);
}

// Far beyond any calendar's range: larger steps only give the same invalid result.
constexpr int maxMonthStep = 12 * 20000;
constexpr int maxYearStep = 20000;

int weekNumberOfTable(const TvlCustomCalendarTable& ATable, const TvlCalendarDateTime& AParts, int ARule)
{
    if (ARule == 0)
        ARule = ReadLocaleFirstWeekOfYear();
    TDateTime first = ATable.WeekStartOfDate(ATable.JoinDay(AParts.Year, 1, 1));
    if (ARule == 2 && ATable.SplitDate(first).Year < AParts.Year)
        first += 7;
    if (ARule == 3 && ATable.SplitDate(first + 3).Year < AParts.Year)
        first += 7;
    int week = int(std::trunc(std::trunc(ATable.JoinParts(AParts)) - first)) / 7 + 1;
    if (AParts.Month == ATable.MonthsOfYear(AParts.Year)) {
        const TDateTime d = ATable.JoinParts(ATable.WeekStartOf(AParts));
        if (ARule == 1 && ATable.SplitDate(d + 6).Month == 1)
            week = 1;
        if (ARule == 3 && ATable.SplitDate(d + 3).Month == 1)
            week = 1;
    }
    return week;
}

}  // namespace

bool IsDateValueValid(TDateTime ADate)
{
    return ADate == vlNullDate || (ADate >= GetMinDate() && ADate <= vlMaxDateTime);
}

// ---- the base -----------------------------------------------------------------------

void TvlCustomCalendarTable::NormalizeEraYear(int& AYear, int& AEra) const
{
    NormalizeEraYearAt(AYear, AEra, 1, 1);
}

void TvlCustomCalendarTable::NormalizeEraYearAt(int& AYear, int& AEra, int AMonth, int ADay) const
{
    int g = AYear;
    ToGregorianYear(g, AEra);
    AEra = EraOfDay(g, AMonth, ADay);
    if (AEra > 0)
        AYear = g - FEras.Items(AEra)->YearShift;
}

void TvlCustomCalendarTable::ClampDate(TDateTime& ADate) const
{
    ADate = std::clamp(ADate, EarliestDate(), LatestDate());
}

TDateTime TvlCustomCalendarTable::AddDaysTo(const TvlCalendarDateTime& AParts, int ADays) const
{
    TDateTime result = JoinParts(AParts) + ADays;
    ClampDate(result);
    return result;
}

TDateTime TvlCustomCalendarTable::AddMonthsToDate(TDateTime ADate, int AMonths) const
{
    return AddMonthsTo(SplitDate(ADate), AMonths);
}

TDateTime TvlCustomCalendarTable::AddMonthsTo(const TvlCalendarDateTime& AParts, int AMonths) const
{
    TDateTime result = 0;
    if (RejectInvalidParts(AParts, result))
        return result;
    TvlCalendarDateTime parts = AParts;
    int year = parts.Year;
    int era = parts.Era;
    int m = parts.Month + std::clamp(AMonths, -maxMonthStep, maxMonthStep);
    const int step = m > EraMonthsOfYear(era, year) ? -1 : 1;
    while (m > EraMonthsOfYear(era, year) || m <= 0) {
        if (step > 0) {
            m += EraMonthsOfYear(era, year - 1);
            --year;
        } else {
            m -= EraMonthsOfYear(era, year);
            ++year;
        }
    }
    int day = parts.Day;
    if (!EraAcceptsDay(era, year, m, day))
        day = EraMonthDays(era, year, m);
    NormalizeEraYearAt(year, era, m, day);
    parts.Era = era;
    parts.Year = year;
    parts.Month = m;
    parts.Day = day;
    if (RejectInvalidParts(parts, result))
        return result;
    result = JoinParts(parts);
    ClampDate(result);
    return result;
}

TDateTime TvlCustomCalendarTable::AddYearsToDate(TDateTime ADate, int AYears) const
{
    return AddYearsTo(SplitDate(ADate), AYears);
}

TDateTime TvlCustomCalendarTable::AddYearsTo(const TvlCalendarDateTime& AParts, int AYears) const
{
    TDateTime result = 0;
    if (RejectInvalidParts(AParts, result))
        return result;
    TvlCalendarDateTime parts = AParts;
    parts.Year += std::clamp(AYears, -maxYearStep, maxYearStep);
    NormalizeEraYear(parts.Year, parts.Era);
    if (!EraAcceptsYear(parts.Era, parts.Year))
        return EarliestDate();
    if (!EraAcceptsMonth(parts.Era, parts.Year, parts.Month))
        parts.Month = EraMonthsOfYear(parts.Era, parts.Year);
    if (!EraAcceptsDay(parts.Era, parts.Year, parts.Month, parts.Day))
        parts.Day = EraMonthDays(parts.Era, parts.Year, parts.Month);
    NormalizeEraYearAt(parts.Year, parts.Era, parts.Month, parts.Day);
    if (RejectInvalidParts(parts, result))
        return result;
    result = JoinParts(parts);
    ClampDate(result);
    return result;
}

TDateTime TvlCustomCalendarTable::AddWeeksToDate(TDateTime ADate, int AWeeks) const
{
    return AddWeeksTo(SplitDate(ADate), AWeeks);
}

TDateTime TvlCustomCalendarTable::AddWeeksTo(const TvlCalendarDateTime& AParts, int AWeeks) const
{
    return AddDaysTo(AParts, int(std::clamp<int64_t>(int64_t(AWeeks) * 7, -4000000, 4000000)));
}

TvlCalendarDateTime TvlCustomCalendarTable::SplitGregorianDay(int AYear, int AMonth, int ADay) const
{
    return SplitGregorianDateTime(AYear, AMonth, ADay, 0, 0, 0, 0);
}

TvlCalendarDateTime TvlCustomCalendarTable::SplitGregorianDateTime(int AYear, int AMonth, int ADay, int AHours,
                                                                   int AMinutes, int ASeconds, int AMilliseconds) const
{
    const TDateTime date = EncodeDate(AYear, AMonth, ADay);
    const TDateTime time = EncodeTime(AHours, AMinutes, ASeconds, AMilliseconds);
    return SplitDate(date < 0 ? date - time : date + time);
}

int TvlCustomCalendarTable::DayOfYearOfDate(TDateTime ADate) const
{
    return DayOfYearOf(SplitDate(ADate));
}

int TvlCustomCalendarTable::DayOfYearOf(const TvlCalendarDateTime& AParts) const
{
    int day = AParts.Day;
    for (int m = 1; m < AParts.Month; ++m)
        day += MonthDays(AParts.Year, m);
    return day;
}

int TvlCustomCalendarTable::MonthDays(int AYear, int AMonth) const { return EraMonthDays(-1, AYear, AMonth); }
int TvlCustomCalendarTable::YearDays(int AYear) const { return EraYearDays(-1, AYear); }
int TvlCustomCalendarTable::EraOfYear(int AGregorianYear) const { return EraOfDay(AGregorianYear, 1, 1); }

int TvlCustomCalendarTable::EraOfDay(int AGregorianYear, int AMonth, int ADay) const
{
    if (FEras.Count() == 0)
        return -1;
    TDateTime day = 0;
    if (!TryEncodeDate(AGregorianYear, AMonth, ADay, day))
        return -1;
    int result = -1;
    for (int i = 0; i < FEras.Count(); ++i)
        if (FEras.Items(i)->EraStart <= day)
            result = i;
    return result;
}

TDateTime TvlCustomCalendarTable::WeekStartOfDate(TDateTime ADate) const
{
    return JoinParts(WeekStartOf(SplitDate(ADate)));
}

TDateTime TvlCustomCalendarTable::WeekStartFrom(int AFirstWeekday, TDateTime ADate) const
{
    const int w = WeekdayOfDate(ADate);
    TDateTime result = ADate + AFirstWeekday - w;
    if (w < AFirstWeekday)
        result -= 7;
    return result;
}

TvlCalendarDateTime TvlCustomCalendarTable::WeekStartOf(const TvlCalendarDateTime& AParts) const
{
    const int w = WeekdayOf(AParts);
    int days = FirstWeekday() - w;
    if (w < FirstWeekday())
        days -= 7;
    return SplitDate(AddDaysTo(AParts, days));
}

TvlCalendarDateTime TvlCustomCalendarTable::WeekStartOfFrom(const TvlCalendarDateTime& AParts, int AFirstWeekday) const
{
    return SplitDate(WeekStartFrom(AFirstWeekday, JoinParts(AParts)));
}

int TvlCustomCalendarTable::MonthsOfYear(int AYear) const { return EraMonthsOfYear(-1, AYear); }
int TvlCustomCalendarTable::YearOfDate(TDateTime ADate) const { return SplitDate(ADate).Year; }
int TvlCustomCalendarTable::WeekdayOfDate(TDateTime ADate) const { return DayOfWeek(ADate) - 1; }
int TvlCustomCalendarTable::WeekdayOf(const TvlCalendarDateTime& AParts) const { return WeekdayOfDate(JoinParts(AParts)); }

int TvlCustomCalendarTable::WeekOfDate(int AStartOfWeek, int AFirstWeekRule, TDateTime ADate) const
{
    return WeekOf(SplitDate(ADate), AStartOfWeek, AFirstWeekRule);
}

bool TvlCustomCalendarTable::IsLeapDayAt(int AYear, int AMonth, int ADay) const { return EraIsLeapDay(-1, AYear, AMonth, ADay); }
bool TvlCustomCalendarTable::IsLeapMonthAt(int AYear, int AMonth) const { return EraIsLeapMonth(-1, AYear, AMonth); }
bool TvlCustomCalendarTable::IsLeapYearAt(int AYear) const { return EraIsLeapYear(-1, AYear); }
bool TvlCustomCalendarTable::AcceptsYear(int AYear) const { return EraAcceptsYear(-1, AYear); }

bool TvlCustomCalendarTable::EraAcceptsYear(int, int AYear) const
{
    return AYear >= EarliestYear() && AYear <= LatestYear();
}

bool TvlCustomCalendarTable::AcceptsMonth(int AYear, int AMonth) const { return EraAcceptsMonth(-1, AYear, AMonth); }

bool TvlCustomCalendarTable::EraAcceptsMonth(int AEra, int AYear, int AMonth) const
{
    return EraAcceptsYear(AEra, AYear) && AMonth >= 1 && AMonth <= EraMonthsOfYear(AEra, AYear);
}

bool TvlCustomCalendarTable::AcceptsDay(int AYear, int AMonth, int ADay) const { return EraAcceptsDay(-1, AYear, AMonth, ADay); }

bool TvlCustomCalendarTable::EraAcceptsDay(int AEra, int AYear, int AMonth, int ADay) const
{
    return EraAcceptsMonth(AEra, AYear, AMonth) && ADay >= 1 && ADay <= EraMonthDays(AEra, AYear, AMonth);
}

bool TvlCustomCalendarTable::AcceptsDate(TDateTime ADate) const
{
    const TvlCalendarDateTime parts = SplitDate(ADate);
    return AcceptsDay(parts.Year, parts.Month, parts.Day);
}

TDateTime TvlCustomCalendarTable::JoinCalendarDate(const TvlCalendarDate& ADate) const
{
    TvlCalendarDateTime parts;
    parts.Era = ADate.Era;
    parts.Year = ADate.Year;
    parts.Month = ADate.Month;
    parts.Day = ADate.Day;
    return JoinParts(parts);
}

TDateTime TvlCustomCalendarTable::JoinDay(int AYear, int AMonth, int ADay) const
{
    return JoinDayTime(AYear, AMonth, ADay, 0, 0, 0, 0);
}

TDateTime TvlCustomCalendarTable::JoinDayTime(int AYear, int AMonth, int ADay, int AHours, int AMinutes, int ASeconds,
                                              int AMilliseconds) const
{
    TvlCalendarDateTime parts;
    parts.Year = AYear;
    parts.Month = AMonth;
    parts.Day = ADay;
    parts.Hours = uint8_t(AHours);
    parts.Minutes = uint8_t(AMinutes);
    parts.Seconds = uint8_t(ASeconds);
    parts.Milliseconds = uint16_t(AMilliseconds);
    return JoinParts(parts);
}

int TvlCustomCalendarTable::ReadDayNumber(const String& AText) const
{
    return StrToInt(AText);
}

int TvlCustomCalendarTable::ReadMonthNumber(int, const String& AText) const
{
    for (int m = 0; m < 12; ++m)
        if (AText.compare(FormatSettings.LongMonthNames[size_t(m)], Qt::CaseInsensitive) == 0 ||
            AText.compare(FormatSettings.ShortMonthNames[size_t(m)], Qt::CaseInsensitive) == 0)
            return m + 1;
    return StrToInt(AText);
}

int TvlCustomCalendarTable::ReadYearNumber(const String& AText) const
{
    const int v = StrToInt(AText);
    if (AText.size() > 2)
        return v;
    const int max = GetTwoDigitYearMax();
    int year = v + (max / 100) * 100;
    if (max % 100 < v)
        year -= 100;
    return year;
}

void TvlCustomCalendarTable::ToGregorianYear(int& AYear, int AEra) const
{
    if (AEra == -1)
        AYear += DefaultEra().YearShift;
    else if (AEra >= 0 && AEra < FEras.Count())
        AYear += FEras.Items(AEra)->YearShift;
}

bool TvlCustomCalendarTable::RejectInvalidParts(const TvlCalendarDateTime& AParts, TDateTime& ADate) const
{
    if (EraAcceptsDay(AParts.Era, AParts.Year, AParts.Month, AParts.Day))
        return false;
    ADate = EarliestDate();
    return true;
}

// ---- Gregorian ----------------------------------------------------------------------

TDateTime TvlGregorianCalendarTable::EarliestDate() const { return GetMinDate(); }

TvlCalendarDateTime TvlGregorianCalendarTable::SplitDate(TDateTime ADate) const
{
    TvlCalendarDateTime parts;
    DecodeDate(ADate, parts.Year, parts.Month, parts.Day);
    splitTime(ADate, parts);
    return parts;
}

TDateTime TvlGregorianCalendarTable::JoinParts(const TvlCalendarDateTime& AParts) const
{
    return joinDateAndTime(EncodeDate(AParts.Year, AParts.Month, AParts.Day), AParts);
}

int TvlGregorianCalendarTable::EraMonthDays(int AEra, int AYear, int AMonth) const
{
    switch (AMonth) {
    case 2: return EraIsLeapYear(AEra, AYear) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11: return 30;
    default: return 31;
    }
}

int TvlGregorianCalendarTable::EraYearDays(int AEra, int AYear) const
{
    return EraIsLeapYear(AEra, AYear) ? 366 : 365;
}

bool TvlGregorianCalendarTable::EraIsLeapYear(int AEra, int AYear) const
{
    ToGregorianYear(AYear, AEra);
    return IsGregorianLeapYear(AYear);
}

bool TvlGregorianCalendarTable::EraIsLeapMonth(int AEra, int AYear, int AMonth) const
{
    return EraIsLeapYear(AEra, AYear) && AMonth == 2;
}

bool TvlGregorianCalendarTable::EraIsLeapDay(int AEra, int AYear, int AMonth, int ADay) const
{
    return EraIsLeapMonth(AEra, AYear, AMonth) && ADay == 29;
}

int TvlGregorianCalendarTable::WholeWeeksInYear(int AYear) const
{
    const int c = ((WeekdayOf(SplitDate(JoinDay(AYear, 1, 1))) - FirstWeekday()) % 7 + 7) % 7;
    return (IsLeapYearAt(AYear) && c > 4) || c > 5 ? 53 : 52;
}

int TvlGregorianCalendarTable::WeekOf(const TvlCalendarDateTime& AParts, int AStartOfWeek, int AFirstWeekRule) const
{
    return GetGregorianWeekNumber(AStartOfWeek, AFirstWeekRule, JoinParts(AParts));
}

// ---- era-based ----------------------------------------------------------------------

TvlJapaneseCalendarTable::TvlJapaneseCalendarTable()
{
    FEras.Add({1, EncodeDate(1868, 9, 8), 1867, 1, 45});
    FEras.Add({2, EncodeDate(1912, 7, 30), 1911, 1, 15});
    FEras.Add({3, EncodeDate(1926, 12, 25), 1925, 1, 64});
    FEras.Add({4, EncodeDate(1989, 1, 8), 1988, 1, 8011});
}

TDateTime TvlJapaneseCalendarTable::EarliestDate() const { return EncodeDate(1868, 9, 8); }

TvlCalendarDateTime TvlJapaneseCalendarTable::SplitDate(TDateTime ADate) const
{
    TvlCalendarDateTime parts;
    DecodeDate(ADate, parts.Year, parts.Month, parts.Day);
    splitTime(ADate, parts);
    parts.Era = EraOfDay(parts.Year, parts.Month, parts.Day);
    parts.Year -= parts.Era == -1 ? DefaultEra().YearShift : FEras.Items(parts.Era)->YearShift;
    return parts;
}

TDateTime TvlJapaneseCalendarTable::JoinParts(const TvlCalendarDateTime& AParts) const
{
    TDateTime result = 0;
    if (RejectInvalidParts(AParts, result))
        return result;
    int year = AParts.Year;
    ToGregorianYear(year, AParts.Era);
    return joinDateAndTime(EncodeDate(year, AParts.Month, AParts.Day), AParts);
}

TvlSingleEraCalendarTable::TvlSingleEraCalendarTable(const TvlEra& AEra) : TvlJapaneseCalendarTable(TNoEras{})
{
    FEras.Add(AEra);
}

TvlTaiwanCalendarTable::TvlTaiwanCalendarTable() : TvlSingleEraCalendarTable({1, EncodeDate(1912, 1, 1), 1911, 1, 8088}) {}
TvlKoreanCalendarTable::TvlKoreanCalendarTable() : TvlSingleEraCalendarTable({0, EncodeDate(1, 1, 1), -2333, 2334, 12332}) {}
TvlThaiCalendarTable::TvlThaiCalendarTable() : TvlSingleEraCalendarTable({0, EncodeDate(1, 1, 1), -543, 544, 10542}) {}

// ---- Hijri --------------------------------------------------------------------------

namespace {
constexpr int hijriEpochOffset = 227013;  // day numbers before 1 Muharram 1, counted from 1 January 1

bool isHijriLeapYear(int AYear)
{
    switch (unsigned(AYear) % 30u) {
    case 2: case 5: case 7: case 10: case 13: case 15: case 18: case 21: case 24: case 26: case 29:
        return true;
    default:
        return false;
    }
}

int hijriLeapDaysBefore(int AYear)
{
    int count = 0;
    for (int i = 1; i <= (AYear - 1) % 30; ++i)
        count += isHijriLeapYear(i) ? 1 : 0;
    return count;
}
}  // namespace

TDateTime TvlHijriCalendarTable::EarliestDate() const
{
    return firstDayOfYearOne() + hijriEpochOffset;  // 18 July 622
}

bool TvlHijriCalendarTable::EraIsLeapYear(int, int AYear) const { return isHijriLeapYear(AYear); }

bool TvlHijriCalendarTable::EraIsLeapMonth(int AEra, int AYear, int AMonth) const
{
    return EraIsLeapYear(AEra, AYear) && AMonth == 12;
}

bool TvlHijriCalendarTable::EraIsLeapDay(int AEra, int AYear, int AMonth, int ADay) const
{
    return EraIsLeapMonth(AEra, AYear, AMonth) && ADay == 30;
}

int TvlHijriCalendarTable::EraMonthDays(int AEra, int AYear, int AMonth) const
{
    if (EraIsLeapMonth(AEra, AYear, AMonth))
        return 30;
    return AMonth % 2 == 0 ? 29 : 30;
}

int TvlHijriCalendarTable::EraYearDays(int AEra, int AYear) const
{
    return EraIsLeapYear(AEra, AYear) ? 355 : 354;
}

bool TvlHijriCalendarTable::EraAcceptsDay(int AEra, int AYear, int AMonth, int ADay) const
{
    if (!TvlCustomCalendarTable::EraAcceptsDay(AEra, AYear, AMonth, ADay))
        return false;
    TvlCalendarDateTime parts;
    parts.Year = AYear;
    parts.Month = AMonth;
    parts.Day = ADay;
    return JoinParts(parts) <= LatestDate();
}

TvlCalendarDateTime TvlHijriCalendarTable::SplitDate(TDateTime ADate) const
{
    TvlCalendarDateTime parts;
    splitTime(ADate, parts);
    int n = int(std::trunc(ADate - firstDayOfYearOne() + 1)) - hijriEpochOffset;
    int year = (30 * int64_t(n)) / 10631 + 1;
    n -= 354 * (year - 1) + 11 * ((year - 1) / 30) + hijriLeapDaysBefore(year);
    int month = 1;
    while (n > 0 && EraMonthDays(-1, year, month) < n) {
        n -= EraMonthDays(-1, year, month);
        if (++month > MonthsOfYear(year)) {
            month = 1;
            ++year;
        }
    }
    if (n <= 0) {
        // The estimate of the year overshot by a day or so: the day lies at
        // the end of the year before.
        --year;
        month = MonthsOfYear(year);
        n += EraMonthDays(-1, year, month);
    }
    parts.Year = year;
    parts.Month = month;
    parts.Day = n;
    return parts;
}

TDateTime TvlHijriCalendarTable::JoinParts(const TvlCalendarDateTime& AParts) const
{
    const int y = AParts.Year;
    const int r = hijriEpochOffset + 354 * (y - 1) + 11 * ((y - 1) / 30) + hijriLeapDaysBefore(y) + DayOfYearOf(AParts);
    return joinDateAndTime(firstDayOfYearOne() + r - 1, AParts);
}

int TvlHijriCalendarTable::WeekOf(const TvlCalendarDateTime& AParts, int, int AFirstWeekRule) const
{
    return weekNumberOfTable(*this, AParts, AFirstWeekRule);
}

int TvlHijriCalendarTable::ReadMonthNumber(int AYear, const String& AText) const
{
    for (int m = 1; m <= 12; ++m) {
        String name;
        GetMonthNameOfCalendarMonth(AYear, m, this, name);
        if (!name.isEmpty() && AText.compare(name, Qt::CaseInsensitive) == 0)
            return m;
    }
    return TvlCustomCalendarTable::ReadMonthNumber(AYear, AText);
}

// ---- Hebrew -------------------------------------------------------------------------

namespace {

struct THebrewYearRow {
    int JanuaryFirst;  // coded Hebrew date of 1 January
    int Type;          // 1..3 common, 4..6 leap: deficient, regular, complete
};

constexpr THebrewYearRow hebrewYears[] = {
#include "ui/editors/vlDateUtilsHebrewYears.inc"
};
constexpr int firstHebrewYear = 5343;
constexpr int hebrewYearCount = int(std::size(hebrewYears));
static_assert(hebrewYearCount == 657);

constexpr int hebrewMonthLengths[7][14] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 30, 29, 29, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 30, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 29, 29, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
    {0, 30, 29, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
    {0, 30, 30, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
};

int hebrewTableType(int AYear)
{
    if (AYear < firstHebrewYear || AYear >= firstHebrewYear + hebrewYearCount)
        return 0;
    return hebrewYears[AYear - firstHebrewYear].Type;
}

}  // namespace

TDateTime TvlHebrewCalendarTable::EarliestDate() const { return EncodeDate(1583, 1, 1); }

TDateTime TvlHebrewCalendarTable::LatestDate() const
{
    return EncodeDate(2239, 9, 29) + EncodeTime(23, 59, 59, 999);
}

int TvlHebrewCalendarTable::YearType(int AYear) const
{
    const int type = hebrewTableType(AYear);
    return type > 3 ? type - 3 : type;
}

bool TvlHebrewCalendarTable::EraIsLeapYear(int, int AYear) const { return hebrewTableType(AYear) >= 4; }

int TvlHebrewCalendarTable::EraMonthsOfYear(int AEra, int AYear) const
{
    return EraIsLeapYear(AEra, AYear) ? 13 : 12;
}

int TvlHebrewCalendarTable::EraMonthDays(int AEra, int AYear, int AMonth) const
{
    if (!EraAcceptsMonth(AEra, AYear, AMonth))
        return 0;
    return hebrewMonthLengths[hebrewTableType(AYear)][AMonth];
}

int TvlHebrewCalendarTable::EraYearDays(int AEra, int AYear) const
{
    if (!EraAcceptsYear(AEra, AYear))
        return 0;
    const int type = YearType(AYear);
    const int days = type == 2 ? 354 : type == 3 ? 355 : 353;
    return days + (EraIsLeapYear(AEra, AYear) ? 30 : 0);
}

bool TvlHebrewCalendarTable::EraIsLeapMonth(int AEra, int AYear, int AMonth) const
{
    return EraAcceptsMonth(AEra, AYear, AMonth) && EraIsLeapYear(AEra, AYear) && AMonth == 7;
}

bool TvlHebrewCalendarTable::EraIsLeapDay(int AEra, int AYear, int AMonth, int ADay) const
{
    return EraAcceptsDay(AEra, AYear, AMonth, ADay) && IsLeapMonthAt(AYear, AMonth);
}

void TvlHebrewCalendarTable::JanuaryFirstLunarDate(int AGregorianYear, int& AMonth, int& ADay) const
{
    const int row = AGregorianYear - (firstHebrewYear - 3760);
    const int code = row >= 0 && row < hebrewYearCount ? hebrewYears[row].JanuaryFirst : 1;
    if (code >= 1 && code <= 29) {
        AMonth = 4;
        ADay = code;
    } else if (code == 30 || code == 33) {
        AMonth = 3;
        ADay = code == 30 ? 30 : 29;
    } else {
        AMonth = 5;
        ADay = code == 0 ? 1 : code - 29;
    }
}

int TvlHebrewCalendarTable::DayDifference(int ARow, int AMonth, int AJanDay, int AJanMonth, int ADay) const
{
    if (AMonth == AJanMonth)
        return ADay - AJanDay;
    const bool later = AMonth > AJanMonth;
    const int m1 = later ? AJanMonth : AMonth;
    const int d1 = later ? AJanDay : ADay;
    const int m2 = later ? AMonth : AJanMonth;
    const int d2 = later ? ADay : AJanDay;
    const auto& lengths = hebrewMonthLengths[std::clamp(ARow, 0, 6)];
    int days = lengths[std::clamp(m1, 0, 13)] - d1 + d2;
    for (int m = m1 + 1; m < m2; ++m)
        days += lengths[std::clamp(m, 0, 13)];
    return later ? days : -days;
}

TvlCalendarDateTime TvlHebrewCalendarTable::SplitDate(TDateTime ADate) const
{
    ClampDate(ADate);
    TvlCalendarDateTime parts;
    int gy = 0, gm = 0, gd = 0;
    DecodeDate(ADate, gy, gm, gd);
    splitTime(ADate, parts);
    int year = gy + 3760;
    int month = 1;
    const TDateTime day = std::trunc(ADate);
    int i = int(day - JoinDay(year, month, 1)) + 1;
    // a few months either way at most; the bound keeps damaged input finite
    for (int guard = 0; guard < 40 && (i < 1 || i > MonthDays(year, month)); ++guard) {
        if (i < 1) {
            if (--month < 1) {
                --year;
                month = MonthsOfYear(year);
            }
        } else if (++month > MonthsOfYear(year)) {
            ++year;
            month = 1;
        }
        i = int(day - JoinDay(year, month, 1)) + 1;
    }
    parts.Year = year;
    parts.Month = month;
    parts.Day = i;
    return parts;
}

TDateTime TvlHebrewCalendarTable::JoinParts(const TvlCalendarDateTime& AParts) const
{
    TDateTime result = 0;
    if (RejectInvalidParts(AParts, result))
        return result;
    const int row = hebrewTableType(AParts.Year);
    const int g = AParts.Year - 3760;
    int lm = 0, ld = 0;
    JanuaryFirstLunarDate(g, lm, ld);
    result = EncodeDate(g, 1, 1);
    if (AParts.Month != lm || AParts.Day != ld)
        result += DayDifference(row, AParts.Month, ld, lm, AParts.Day);
    return joinDateAndTime(result, AParts);
}

int TvlHebrewCalendarTable::WeekOf(const TvlCalendarDateTime& AParts, int, int AFirstWeekRule) const
{
    return weekNumberOfTable(*this, AParts, AFirstWeekRule);
}

int TvlHebrewCalendarTable::HebrewNumeralValue(const String& AText)
{
    // alef .. tav, U+05D0 .. U+05EA, the finals in their places
    static constexpr int values[27] = {1,  2,  3,  4,  5,  6,  7,  8,  9,   10,  20,  20,  30, 40,
                                       40, 50, 50, 60, 70, 80, 80, 90, 90, 100, 200, 300, 400};
    int sum = 0;
    for (const QChar c : AText) {
        const int u = c.unicode();
        if (u >= 0x05D0 && u <= 0x05EA)
            sum += values[u - 0x05D0];
    }
    return sum;
}

int TvlHebrewCalendarTable::ReadDayNumber(const String& AText) const
{
    const int v = HebrewNumeralValue(AText);
    return v != 0 ? v : TvlCustomCalendarTable::ReadDayNumber(AText);
}

int TvlHebrewCalendarTable::ReadYearNumber(const String& AText) const
{
    const int v = HebrewNumeralValue(AText);
    return v != 0 ? v + 5000 : TvlCustomCalendarTable::ReadYearNumber(AText);
}

int TvlHebrewCalendarTable::ReadMonthNumber(int AYear, const String& AText) const
{
    const int v = HebrewNumeralValue(AText);
    if (AcceptsMonth(AYear, v))
        return v;
    for (int n = 1; n <= 13; ++n) {
        String name;
        GetMonthNameOfCalendarMonth(AYear, n, this, name);
        String number;
        GetCalendarDayNumberText(n, this, number);
        if ((!name.isEmpty() && AText.compare(name, Qt::CaseInsensitive) == 0) ||
            (!number.isEmpty() && AText.compare(number, Qt::CaseInsensitive) == 0))
            return n;
    }
    return TvlCustomCalendarTable::ReadMonthNumber(AYear, AText);
}
