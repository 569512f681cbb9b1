// DateTime.h - dates and times as days since 1899-12-30 with the time of day
// as the fraction, and their conversion to and from text, as the original runtime.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/rtl/SysUtils.h"

// A negative value's date part truncates toward zero and its time is the
// absolute fraction: -1.25 is 1899-12-29 06:00.
using TDateTime = double;

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerHour = 60;
inline constexpr int SecsPerMin = 60;
inline constexpr int MSecsPerSec = 1000;
inline constexpr int MinsPerDay = HoursPerDay * MinsPerHour;
inline constexpr int SecsPerDay = MinsPerDay * SecsPerMin;
inline constexpr int MSecsPerDay = SecsPerDay * MSecsPerSec;
inline constexpr int DateDelta = 693594;      // days from 0001-01-01 to 1899-12-31
inline constexpr int UnixDateDelta = 25569;   // 1970-01-01

bool IsLeapYear(int Year);
int MonthDays(int Year, int Month);  // 0 for a month outside 1..12

// Raise EConvertError ("Invalid argument to date encode" / "... time encode").
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time);

// The time is rounded to the millisecond first, so 23:59:59.9999 is the next day.
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
// DOW is 1 for Sunday .. 7 for Saturday; returns whether the year is a leap year.
bool DecodeDateFully(TDateTime Date, int& Year, int& Month, int& Day, int& DOW);
int DayOfWeek(TDateTime Date);  // 1 = Sunday

TDateTime IncMonth(TDateTime Date, int NumberOfMonths = 1);

TDateTime Now();   // local time
TDateTime Date();  // today, midnight
TDateTime Time();  // the time of day only

// The clock Now, Date and Time read: the system's local time unless a
// source is set (tests set a fixed one); an empty source restores it.
using TClockSource = std::function<TDateTime()>;
void SetClockSource(TClockSource ASource);

// The original's codes: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy
// h hh n nn s ss z zzz t tt am/pm a/p ampm / : and quoted literals; "m"
// right after an hour code means minutes. An empty format means "c".
String FormatDateTime(const String& Format, TDateTime DateTime);
String DateToStr(TDateTime Date);
String TimeToStr(TDateTime Time);
// The date, and a blank and the long time when the time is not midnight.
String DateTimeToStr(TDateTime DateTime);

// Numbers in the short date format's order, separated by the date
// separator (a missing year is this year; a two-digit year falls in the
// century window); times as h[:n[:s[.z]]] with an optional AM/PM.
TDateTime StrToDate(const String& S);
TDateTime StrToTime(const String& S);
TDateTime StrToDateTime(const String& S);
bool TryStrToDate(const String& S, TDateTime& Value);
bool TryStrToTime(const String& S, TDateTime& Value);
bool TryStrToDateTime(const String& S, TDateTime& Value);

int64_t DateTimeToUnix(TDateTime Value);
TDateTime UnixToDateTime(int64_t Value);
