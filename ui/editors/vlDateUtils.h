// vlDateUtils.h - one set of date services for the editors and the grid:
// the locale's date formats, the calendar tables (Gregorian, era-based,
// Hijri, Hebrew) with their arithmetic, dates to text, and typed text -
// smart words such as "today+5" included - back to dates.
#pragma once
#include <QChar>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/String.h"

struct TFormatSettings;
class TStartupList;

// No date; the editors show it as an empty text.
inline constexpr TDateTime vlNullDate = -700000;
// 31 December 9999, 23:59:59.136: the last date a value may hold.
inline constexpr TDateTime vlMaxDateTime = 2958465.99999;

struct TvlCalendarDate {
    int Era = -1;
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

struct TvlCalendarDateTime {
    int Era = -1;  // an index into the table's eras, -1 for its default era
    int Year = 0;
    int Month = 0;
    int Day = 0;
    uint8_t Hours = 0;
    uint8_t Minutes = 0;
    uint8_t Seconds = 0;
    uint16_t Milliseconds = 0;
};

class TvlEra {
public:
    TvlEra(int AEraNumber, TDateTime AStart, int AYearShift, int AFirstEraYear, int ALastEraYear)
        : EraNumber(AEraNumber), LastEraYear(ALastEraYear), FirstEraYear(AFirstEraYear), EraStart(AStart),
          YearShift(AYearShift) {}
    void Assign(const TvlEra& ASource) { *this = ASource; }

    int EraNumber;
    int LastEraYear;
    int FirstEraYear;
    TDateTime EraStart;
    int YearShift;  // Gregorian year = era year + YearShift
};

// A table's eras in ascending order of start.
class TvlEras {
public:
    void Add(const TvlEra& AEra) { FItems.push_back(std::make_unique<TvlEra>(AEra)); }
    int Count() const { return int(FItems.size()); }
    TvlEra* Items(int AIndex) const { return FItems.at(size_t(AIndex)).get(); }

private:
    std::vector<std::unique_ptr<TvlEra>> FItems;
};

// One calendar: conversion between date values and its year, month and
// day, its rules, and its arithmetic. Operations on parts the calendar
// does not accept give EarliestDate rather than raise.
class TvlCustomCalendarTable {
public:
    TvlCustomCalendarTable() = default;
    virtual ~TvlCustomCalendarTable() = default;
    TvlCustomCalendarTable(const TvlCustomCalendarTable&) = delete;
    TvlCustomCalendarTable& operator=(const TvlCustomCalendarTable&) = delete;

    virtual void NormalizeEraYear(int& AYear, int& AEra) const;
    virtual void NormalizeEraYearAt(int& AYear, int& AEra, int AMonth, int ADay) const;
    virtual int CalendarKind() const = 0;  // 1 solar, 2 lunar, 3 lunisolar
    virtual int CalendarId() const = 0;
    virtual const TvlEra& DefaultEra() const = 0;
    virtual TDateTime LatestDate() const = 0;
    virtual TDateTime EarliestDate() const = 0;
    virtual void ClampDate(TDateTime& ADate) const;
    virtual int LatestYear() const = 0;
    virtual int EarliestYear() const = 0;
    virtual TDateTime AddDaysTo(const TvlCalendarDateTime& AParts, int ADays) const;
    virtual TDateTime AddMonthsToDate(TDateTime ADate, int AMonths) const;
    virtual TDateTime AddMonthsTo(const TvlCalendarDateTime& AParts, int AMonths) const;
    virtual TDateTime AddYearsToDate(TDateTime ADate, int AYears) const;
    virtual TDateTime AddYearsTo(const TvlCalendarDateTime& AParts, int AYears) const;
    virtual TDateTime AddWeeksToDate(TDateTime ADate, int AWeeks) const;
    virtual TDateTime AddWeeksTo(const TvlCalendarDateTime& AParts, int AWeeks) const;
    virtual TvlCalendarDateTime SplitDate(TDateTime ADate) const = 0;
    virtual TvlCalendarDateTime SplitGregorianDay(int AYear, int AMonth, int ADay) const;
    virtual TvlCalendarDateTime SplitGregorianDateTime(int AYear, int AMonth, int ADay, int AHours, int AMinutes,
                                                       int ASeconds, int AMilliseconds) const;
    virtual int DayOfYearOfDate(TDateTime ADate) const;
    virtual int DayOfYearOf(const TvlCalendarDateTime& AParts) const;
    virtual int MonthDays(int AYear, int AMonth) const;
    virtual int EraMonthDays(int AEra, int AYear, int AMonth) const = 0;
    virtual int YearDays(int AYear) const;
    virtual int EraYearDays(int AEra, int AYear) const = 0;
    virtual int EraOfYear(int AGregorianYear) const;
    virtual int EraOfDay(int AGregorianYear, int AMonth, int ADay) const;
    virtual TDateTime WeekStartOfDate(TDateTime ADate) const;
    virtual TDateTime WeekStartFrom(int AFirstWeekday, TDateTime ADate) const;
    virtual TvlCalendarDateTime WeekStartOf(const TvlCalendarDateTime& AParts) const;
    virtual TvlCalendarDateTime WeekStartOfFrom(const TvlCalendarDateTime& AParts, int AFirstWeekday) const;
    virtual int FirstWeekday() const = 0;  // 0 = Sunday
    virtual int WholeWeeksInYear(int AYear) const = 0;
    virtual int MonthsOfYear(int AYear) const;
    virtual int EraMonthsOfYear(int AEra, int AYear) const = 0;
    virtual int YearOfDate(TDateTime ADate) const;
    virtual int YearOfCalendarDate(const TvlCalendarDate& ADate) const { return ADate.Year; }
    virtual int YearOfParts(const TvlCalendarDateTime& AParts) const { return AParts.Year; }
    virtual int WeekdayOfDate(TDateTime ADate) const;  // 0 = Sunday
    virtual int WeekdayOf(const TvlCalendarDateTime& AParts) const;
    virtual int WeekOfDate(int AStartOfWeek, int AFirstWeekRule, TDateTime ADate) const;
    virtual int WeekOf(const TvlCalendarDateTime& AParts, int AStartOfWeek, int AFirstWeekRule) const = 0;
    virtual bool IsLeapDayAt(int AYear, int AMonth, int ADay) const;
    virtual bool EraIsLeapDay(int AEra, int AYear, int AMonth, int ADay) const = 0;
    virtual bool IsLeapMonthAt(int AYear, int AMonth) const;
    virtual bool EraIsLeapMonth(int AEra, int AYear, int AMonth) const = 0;
    virtual bool IsLeapYearAt(int AYear) const;
    virtual bool EraIsLeapYear(int AEra, int AYear) const = 0;
    virtual bool AcceptsYear(int AYear) const;
    virtual bool EraAcceptsYear(int AEra, int AYear) const;
    virtual bool AcceptsMonth(int AYear, int AMonth) const;
    virtual bool EraAcceptsMonth(int AEra, int AYear, int AMonth) const;
    virtual bool AcceptsDay(int AYear, int AMonth, int ADay) const;
    virtual bool EraAcceptsDay(int AEra, int AYear, int AMonth, int ADay) const;
    virtual bool AcceptsDate(TDateTime ADate) const;
    virtual TDateTime JoinCalendarDate(const TvlCalendarDate& ADate) const;
    virtual TDateTime JoinDay(int AYear, int AMonth, int ADay) const;
    virtual TDateTime JoinDayTime(int AYear, int AMonth, int ADay, int AHours, int AMinutes, int ASeconds,
                                  int AMilliseconds) const;
    virtual TDateTime JoinParts(const TvlCalendarDateTime& AParts) const = 0;
    // The three readings raise EConvertError for text that is not a number.
    virtual int ReadDayNumber(const String& AText) const;
    virtual int ReadMonthNumber(int AYear, const String& AText) const;
    virtual int ReadYearNumber(const String& AText) const;

    void ToGregorianYear(int& AYear, int AEra) const;
    bool RejectInvalidParts(const TvlCalendarDateTime& AParts, TDateTime& ADate) const;
    const TvlEras& Eras() const { return FEras; }

protected:
    TvlEras FEras;
};

class TvlGregorianCalendarTable : public TvlCustomCalendarTable {
public:
    int CalendarKind() const override { return 1; }
    int CalendarId() const override { return 1; }
    const TvlEra& DefaultEra() const override { return FDefaultEra; }
    TDateTime LatestDate() const override { return vlMaxDateTime; }
    TDateTime EarliestDate() const override;
    int LatestYear() const override { return 9999; }
    int EarliestYear() const override { return 100; }
    TvlCalendarDateTime SplitDate(TDateTime ADate) const override;
    TDateTime JoinParts(const TvlCalendarDateTime& AParts) const override;
    int EraMonthDays(int AEra, int AYear, int AMonth) const override;
    int EraYearDays(int AEra, int AYear) const override;
    int EraMonthsOfYear(int, int) const override { return 12; }
    bool EraIsLeapYear(int AEra, int AYear) const override;
    bool EraIsLeapMonth(int AEra, int AYear, int AMonth) const override;
    bool EraIsLeapDay(int AEra, int AYear, int AMonth, int ADay) const override;
    int FirstWeekday() const override { return 0; }
    int WholeWeeksInYear(int AYear) const override;
    int WeekOf(const TvlCalendarDateTime& AParts, int AStartOfWeek, int AFirstWeekRule) const override;

private:
    TvlEra FDefaultEra{-1, vlNullDate, 0, 1, 9999};
};

class TvlGregorianUSEnglishCalendarTable : public TvlGregorianCalendarTable {
public:
    int CalendarId() const override { return 2; }
};

class TvlGregorianMiddleEastFrenchCalendarTable : public TvlGregorianCalendarTable {
public:
    int CalendarId() const override { return 9; }
    int FirstWeekday() const override { return 1; }
};

class TvlGregorianArabicCalendarTable : public TvlGregorianCalendarTable {
public:
    int CalendarId() const override { return 10; }
    int FirstWeekday() const override { return 6; }
};

class TvlGregorianTransliteratedEnglishCalendarTable : public TvlGregorianCalendarTable {
public:
    int CalendarId() const override { return 11; }
    int FirstWeekday() const override { return 1; }
};

class TvlGregorianTransliteratedFrenchCalendarTable : public TvlGregorianCalendarTable {
public:
    int CalendarId() const override { return 12; }
    int FirstWeekday() const override { return 1; }
};

class TvlJapaneseCalendarTable : public TvlGregorianCalendarTable {
public:
    TvlJapaneseCalendarTable();
    int CalendarId() const override { return 3; }
    const TvlEra& DefaultEra() const override { return *FEras.Items(FEras.Count() - 1); }
    TDateTime EarliestDate() const override;
    int LatestYear() const override { return 8011; }
    int EarliestYear() const override { return 1; }
    TvlCalendarDateTime SplitDate(TDateTime ADate) const override;
    TDateTime JoinParts(const TvlCalendarDateTime& AParts) const override;

protected:
    struct TNoEras {};
    explicit TvlJapaneseCalendarTable(TNoEras) {}
};

// One era only, which is also the default.
class TvlSingleEraCalendarTable : public TvlJapaneseCalendarTable {
public:
    const TvlEra& DefaultEra() const override { return *FEras.Items(0); }
    TDateTime EarliestDate() const override { return FEras.Items(0)->EraStart; }
    int LatestYear() const override { return FEras.Items(0)->LastEraYear; }
    int EarliestYear() const override { return FEras.Items(0)->FirstEraYear; }

protected:
    explicit TvlSingleEraCalendarTable(const TvlEra& AEra);
};

class TvlTaiwanCalendarTable : public TvlSingleEraCalendarTable {
public:
    TvlTaiwanCalendarTable();
    int CalendarId() const override { return 4; }
};

class TvlKoreanCalendarTable : public TvlSingleEraCalendarTable {
public:
    TvlKoreanCalendarTable();
    int CalendarId() const override { return 5; }
};

class TvlThaiCalendarTable : public TvlSingleEraCalendarTable {
public:
    TvlThaiCalendarTable();
    int CalendarId() const override { return 7; }
};

// The tabular lunar calendar with a 30-year leap cycle; day 1 is 1 Muharram
// of year 1 (18 July 622 in the Gregorian calendar).
class TvlHijriCalendarTable : public TvlCustomCalendarTable {
public:
    int CalendarKind() const override { return 2; }
    int CalendarId() const override { return 6; }
    const TvlEra& DefaultEra() const override { return FDefaultEra; }
    TDateTime LatestDate() const override { return vlMaxDateTime; }
    TDateTime EarliestDate() const override;
    int LatestYear() const override { return 9666; }
    int EarliestYear() const override { return 1; }
    TvlCalendarDateTime SplitDate(TDateTime ADate) const override;
    TDateTime JoinParts(const TvlCalendarDateTime& AParts) const override;
    int EraMonthDays(int AEra, int AYear, int AMonth) const override;
    int EraYearDays(int AEra, int AYear) const override;
    int EraMonthsOfYear(int, int) const override { return 12; }
    bool EraIsLeapYear(int AEra, int AYear) const override;
    bool EraIsLeapMonth(int AEra, int AYear, int AMonth) const override;
    bool EraIsLeapDay(int AEra, int AYear, int AMonth, int ADay) const override;
    // Refuses the parts past the last date a value may hold.
    bool EraAcceptsDay(int AEra, int AYear, int AMonth, int ADay) const override;
    int FirstWeekday() const override { return 6; }
    int WholeWeeksInYear(int) const override { return 50; }
    int WeekOf(const TvlCalendarDateTime& AParts, int AStartOfWeek, int AFirstWeekRule) const override;
    int ReadMonthNumber(int AYear, const String& AText) const override;

private:
    TvlEra FDefaultEra{-1, vlNullDate, 0, 1, 9999};
};

// The Hebrew calendar from a year table for 5343..5999 (Gregorian 1583..2239).
class TvlHebrewCalendarTable : public TvlCustomCalendarTable {
public:
    int CalendarKind() const override { return 3; }
    int CalendarId() const override { return 8; }
    const TvlEra& DefaultEra() const override { return FDefaultEra; }
    TDateTime LatestDate() const override;
    TDateTime EarliestDate() const override;
    int LatestYear() const override { return 5999; }
    int EarliestYear() const override { return 5343; }
    TvlCalendarDateTime SplitDate(TDateTime ADate) const override;
    TDateTime JoinParts(const TvlCalendarDateTime& AParts) const override;
    int EraMonthDays(int AEra, int AYear, int AMonth) const override;
    int EraYearDays(int AEra, int AYear) const override;
    int EraMonthsOfYear(int AEra, int AYear) const override;
    bool EraIsLeapYear(int AEra, int AYear) const override;
    bool EraIsLeapMonth(int AEra, int AYear, int AMonth) const override;
    bool EraIsLeapDay(int AEra, int AYear, int AMonth, int ADay) const override;
    int FirstWeekday() const override { return 0; }
    int WholeWeeksInYear(int AYear) const override { return YearDays(AYear) / 7; }
    int WeekOf(const TvlCalendarDateTime& AParts, int AStartOfWeek, int AFirstWeekRule) const override;
    int ReadDayNumber(const String& AText) const override;
    int ReadMonthNumber(int AYear, const String& AText) const override;
    int ReadYearNumber(const String& AText) const override;

    int YearType(int AYear) const;  // 0 outside the table, else 1..3
    void JanuaryFirstLunarDate(int AGregorianYear, int& AMonth, int& ADay) const;
    int DayDifference(int ARow, int AMonth, int AJanDay, int AJanMonth, int ADay) const;
    // The sum of the Hebrew letters' values; finals count as their letters,
    // every other character (geresh and gershayim included) as 0.
    static int HebrewNumeralValue(const String& AText);

private:
    TvlEra FDefaultEra{-1, vlNullDate, 0, 1, 9999};
};

// True for the null date and for 1 January 100 .. vlMaxDateTime.
bool IsDateValueValid(TDateTime ADate);

// ---- locale readers ---------------------------------------------------------------

String ReadLocaleShortDateFormat();
String ReadLocaleLongDateFormat();
String ReadLocaleLongTimeFormat();
String ReadLocaleTimeAMString();
String ReadLocaleTimePMString();
QChar ReadLocaleDateSeparator();
QChar ReadLocaleTimeSeparator();
// 1 the week holding 1 January, 2 the first full week, 3 the first week with four days.
int ReadLocaleFirstWeekOfYear();
// The user's calendar: always Gregorian (1) here, the host keeps no other.
int GetUserCalendarType();
void ReadLocaleFormatSettings(TFormatSettings& ASettings);
// The latest year a two-digit year text may mean.
int GetTwoDigitYearMax();

// ---- calendar choice ------------------------------------------------------------------

// The cached table of that calendar id (Gregorian for an id not known);
// callers do not free it.
TvlCustomCalendarTable* GetCalendarTable(int ACalendarId);
TvlCustomCalendarTable* GetUserCalendarTable();
bool IsGregorianCalendar(const TvlCustomCalendarTable* ATable = nullptr);

// ---- Gregorian arithmetic ----------------------------------------------------------

TDateTime DatePartOf(TDateTime ADate);
TDateTime TimePartOf(TDateTime ADate);
bool IsGregorianLeapYear(int AYear);
int GetDaysPerMonth(int AYear, int AMonth);
TDateTime GetMonthStart(TDateTime ADate);
TDateTime GetMonthEnd(bool ADateOnly, TDateTime ADate);
TDateTime GetYearStart(TDateTime ADate);
TDateTime GetYearEnd(bool ADateOnly, TDateTime ADate);
int DateToMonthCount(TDateTime ADate);
enum TvlDateElement { deYear, deMonth, deDay };
int GetDateElement(TvlDateElement AElement, const TvlCustomCalendarTable* ATable, TDateTime ADate);
int GetDayIndexInWeek(TDateTime ADate);
TDateTime GetMinDate();
// Start of week 0..6 (0 Sunday), rule 0..3 (0 the locale's), 1..53.
int GetGregorianWeekNumber(int AStartOfWeek, int AFirstWeekRule, TDateTime ADate);

// ---- dates to text -------------------------------------------------------------------

enum : uint32_t { DATE_SHORTDATE = 1, DATE_LONGDATE = 2 };
// The locale's picture letters (d .. dddd, M .. MMMM, y .. yyyy, quoted
// text); an empty format is the short or long date by the flags. False for
// a date the user's calendar cannot show.
bool FormatDateWithLocale(String& AText, uint32_t AFlags, const String& AFormat, TDateTime ADate);
void DateTimeToCalendarText(String& AText, TDateTime ADate);
void GetDayNumberText(String& AText, TDateTime ADate);
void GetCalendarDayNumberText(int ADay, const TvlCustomCalendarTable* ATable, String& AText);
void GetMonthNameOfDate(const TvlCustomCalendarTable* ATable, String& AText, TDateTime ADate);
void GetMonthNameOfCalendarMonth(int AYear, int AMonth, const TvlCustomCalendarTable* ATable, String& AText);
void GetYearText(const TvlCustomCalendarTable* ATable, String& AText, TDateTime ADate);
void GetYearMonthText(const TvlCustomCalendarTable* ATable, String& AText, TDateTime ADate);
// Day 1 = Monday .. 7 = Sunday; one letter; empty outside 1..7.
void GetDayOfWeekName(int ADay, String& AText);
void DateTimeToLocaleText(bool AFourDigitYear, bool ARuntimeFormats, String& AText, TDateTime ADate);
void DateToLocaleText(bool AFourDigitYear, String& AText, TDateTime ADate);
void DateTimeToTextEx(bool AMaskedEditing, bool AWithTime, bool AFourDigitYear, String& AText, TDateTime ADate);
// The runtime's picture letters, elements joined by ASeparator (or by the
// literal text between them when it is null).
String FormatDateByPattern(const String& APattern, TDateTime ADate, QChar ASeparator = QChar());

// ---- text to dates -------------------------------------------------------------------

// The 20 smart-date words, today .. now, as translated now.
std::vector<String> LoadSmartDateWords();
// The text must be trimmed. A word, then nothing or +N / -N days.
bool ParseSmartDateText(const String& AText, TDateTime& ADate);
// Never raises: unreadable text and dates out of range give vlNullDate.
TDateTime TextToDateEx(const String& AText, bool ARuntimeFormats);
bool SmartTextToDate(const String& AText, TDateTime& ADate);
bool TryTextToDateTime(const String& AText, bool ALocaleConversion, TDateTime& ADate);
void PrepareDateText(String& AText, bool ALocaleConversion);
TDateTime CalendarTextToDate(const String& AText);
// Three fields in the order of the settings' short date format, read by the
// table (names, numerals, its two-digit window), then an optional time.
// Raises the table's conversion errors; parts the table refuses give vlNullDate.
TDateTime ParseCalendarDateText(const String& AText, const TvlCustomCalendarTable* ATable,
                                const TFormatSettings& ASettings);

void AddvlDateUtilsUnit(TStartupList& AList);
