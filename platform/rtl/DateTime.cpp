#include "platform/rtl/DateTime.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back; exact for
// every year the type can hold.
int64_t daysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(era * 400 + yoe + (month <= 2));
}

// The original's time stamp: whole days since 1899-12-30 (truncated toward
// zero) and the milliseconds of the day (of the absolute fraction).
struct TStamp {
    int64_t Days;
    int64_t MSecs;
};

TStamp toStamp(TDateTime value)
{
    // Ties go to even, as the original's Round. Values past any calendar
    // (and NaN) are held at a bound far outside it instead of overflowing
    // the conversion, so whoever checks the range still refuses them.
    constexpr double bound = 9.0e18;
    double scaled = std::nearbyint(value * MSecsPerDay);
    if (!(std::fabs(scaled) < bound))
        scaled = std::signbit(scaled) ? -bound : bound;
    const int64_t ms = static_cast<int64_t>(scaled);
    return {ms / MSecsPerDay, std::llabs(ms) % MSecsPerDay};
}

TDateTime composeDateTime(TDateTime date, TDateTime time)
{
    return date < 0 ? date - time : date + time;
}

}  // namespace

bool IsLeapYear(int Year)
{
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int MonthDays(int Year, int Month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    return Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > MonthDays(Year, Month))
        return false;
    Date = static_cast<TDateTime>(daysFromCivil(Year, Month, Day) + UnixDateDelta);
    return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Time)
{
    if (Hour < 0 || Hour >= HoursPerDay || Min < 0 || Min >= MinsPerHour || Sec < 0 || Sec >= SecsPerMin || MSec < 0
        || MSec >= MSecsPerSec)
        return false;
    const int ms = ((Hour * MinsPerHour + Min) * SecsPerMin + Sec) * MSecsPerSec + MSec;
    Time = static_cast<TDateTime>(ms) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day)
{
    TDateTime result = 0;
    if (!TryEncodeDate(Year, Month, Day, result))
        throw EConvertError(LoadResString(RtlConsts::SDateEncodeError));
    return result;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec)
{
    TDateTime result = 0;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, result))
        throw EConvertError(LoadResString(RtlConsts::STimeEncodeError));
    return result;
}

bool DecodeDateFully(TDateTime Date, int& Year, int& Month, int& Day, int& DOW)
{
    const TStamp stamp = toStamp(Date);
    if (stamp.Days + DateDelta <= 0) {
        Year = Month = Day = DOW = 0;
        return false;
    }
    civilFromDays(stamp.Days - UnixDateDelta, Year, Month, Day);
    // 0001-01-01, time stamp day 1, was a Monday.
    DOW = static_cast<int>((stamp.Days + DateDelta) % 7) + 1;
    return IsLeapYear(Year);
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day)
{
    int dow = 0;
    DecodeDateFully(Date, Year, Month, Day, dow);
}

void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec)
{
    int64_t ms = toStamp(Time).MSecs;
    MSec = static_cast<int>(ms % MSecsPerSec);
    ms /= MSecsPerSec;
    Sec = static_cast<int>(ms % SecsPerMin);
    ms /= SecsPerMin;
    Min = static_cast<int>(ms % MinsPerHour);
    Hour = static_cast<int>(ms / MinsPerHour);
}

int DayOfWeek(TDateTime Date)
{
    return static_cast<int>((toStamp(Date).Days + DateDelta) % 7) + 1;
}

TDateTime IncMonth(TDateTime Date, int NumberOfMonths)
{
    int year = 0, month = 0, day = 0;
    DecodeDate(Date, year, month, day);
    const int months = year * 12 + (month - 1) + NumberOfMonths;
    year = months / 12;
    month = months % 12 + 1;
    day = std::min(day, MonthDays(year, month));
    return composeDateTime(EncodeDate(year, month, day), std::fabs(Date - std::trunc(Date)));
}

namespace {
TClockSource& clockSource()
{
    static TClockSource source;
    return source;
}
}  // namespace

void SetClockSource(TClockSource ASource)
{
    clockSource() = std::move(ASource);
}

TDateTime Now()
{
    if (clockSource())
        return clockSource()();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

TDateTime Date()
{
    if (clockSource())
        return std::trunc(clockSource()());
    const QDate d = QDate::currentDate();
    return EncodeDate(d.year(), d.month(), d.day());
}

TDateTime Time()
{
    if (clockSource()) {
        int hour = 0, min = 0, sec = 0, msec = 0;
        DecodeTime(clockSource()(), hour, min, sec, msec);
        return EncodeTime(hour, min, sec, msec);
    }
    const QTime t = QTime::currentTime();
    return EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

namespace {
int currentYear()
{
    int year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    return year;
}
}  // namespace

// ---- FormatDateTime -------------------------------------------------------

namespace {

class TDateTimeFormatter {
public:
    explicit TDateTimeFormatter(TDateTime value)
    {
        DecodeDateFully(value, FYear, FMonth, FDay, FDOW);
        DecodeTime(value, FHour, FMin, FSec, FMSec);
    }

    String Run(const String& format)
    {
        Append(format.isEmpty() ? QStringLiteral("C") : format);
        return FResult;
    }

private:
    int FYear = 0, FMonth = 0, FDay = 0, FDOW = 0;
    int FHour = 0, FMin = 0, FSec = 0, FMSec = 0;
    String FResult;
    int FLevel = 0;
    bool FUse12HourClock = false;

    void Number(int value, int digits)
    {
        String text = String::number(value);
        if (text.size() < digits)
            text.prepend(String(digits - text.size(), QLatin1Char('0')));
        FResult += text;
    }

    static const String& Name(const auto& names, int index)
    {
        static const String empty;
        return index >= 1 && index <= static_cast<int>(names.size()) ? names[static_cast<size_t>(index - 1)] : empty;
    }

    static bool StartsWith(const String& format, qsizetype at, const char* text)
    {
        return format.mid(at, static_cast<qsizetype>(std::strlen(text))).compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
    }

    // Nested formats (a "c" inside ShortDateFormat ...) go two levels deep
    // at most, so a format that names itself cannot loop.
    void Append(const String& format)
    {
        if (FLevel >= 2)
            return;
        ++FLevel;
        const TFormatSettings& fs = FormatSettings;
        QChar lastToken = QLatin1Char(' ');
        const qsizetype n = format.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar starter = format[i++];
            auto count = [&]() {
                int c = 1;
                while (i < n && format[i] == starter) {
                    ++i;
                    ++c;
                }
                return c;
            };
            char16_t token = starter.unicode();
            if (token >= u'a' && token <= u'z')
                token = static_cast<char16_t>(token - 32);
            if (token >= u'A' && token <= u'Z') {
                if (token == u'M' && lastToken == QLatin1Char('H'))
                    token = u'N';
                lastToken = QChar(token);
            }
            switch (token) {
            case u'Y':
                if (count() <= 2)
                    Number(FYear % 100, 2);
                else
                    Number(FYear, 4);
                break;
            case u'M': {
                const int c = count();
                if (c <= 2)
                    Number(FMonth, c);
                else
                    FResult += Name(c == 3 ? fs.ShortMonthNames : fs.LongMonthNames, FMonth);
                break;
            }
            case u'D': {
                const int c = count();
                if (c <= 2)
                    Number(FDay, c);
                else if (c == 3)
                    FResult += Name(fs.ShortDayNames, FDOW);
                else if (c == 4)
                    FResult += Name(fs.LongDayNames, FDOW);
                else
                    Append(c == 5 ? fs.ShortDateFormat : fs.LongDateFormat);
                break;
            }
            case u'H': {
                const int c = std::min(count(), 2);
                // The hour is on a 12-hour clock when an AM/PM code follows
                // before the next hour code.
                bool quoted = false;
                for (qsizetype p = i; p < n; ++p) {
                    const QChar ch = format[p];
                    if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
                        quoted = !quoted;
                    } else if (!quoted && (ch == QLatin1Char('A') || ch == QLatin1Char('a'))) {
                        if (StartsWith(format, p, "AM/PM") || StartsWith(format, p, "A/P") || StartsWith(format, p, "AMPM"))
                            FUse12HourClock = true;
                        break;
                    } else if (!quoted && (ch == QLatin1Char('H') || ch == QLatin1Char('h'))) {
                        break;
                    }
                }
                int hour = FHour;
                if (FUse12HourClock)
                    hour = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
                Number(hour, c);
                break;
            }
            case u'N':
                Number(FMin, std::min(count(), 2));
                break;
            case u'S':
                Number(FSec, std::min(count(), 2));
                break;
            case u'Z':
                Number(FMSec, std::min(count(), 3));
                break;
            case u'T':
                Append(count() == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat);
                break;
            case u'A': {
                const qsizetype at = i - 1;
                if (StartsWith(format, at, "AM/PM")) {
                    FResult += format.mid(at + (FHour >= 12 ? 3 : 0), 2);
                    i = at + 5;
                    FUse12HourClock = true;
                } else if (StartsWith(format, at, "A/P")) {
                    FResult += format.mid(at + (FHour >= 12 ? 2 : 0), 1);
                    i = at + 3;
                    FUse12HourClock = true;
                } else if (StartsWith(format, at, "AMPM")) {
                    FResult += FHour < 12 ? fs.TimeAMString : fs.TimePMString;
                    i = at + 4;
                    FUse12HourClock = true;
                } else if (StartsWith(format, at, "AAAA")) {
                    FResult += Name(fs.LongDayNames, FDOW);
                    i = at + 4;
                } else if (StartsWith(format, at, "AAA")) {
                    FResult += Name(fs.ShortDayNames, FDOW);
                    i = at + 3;
                } else {
                    FResult += starter;
                }
                break;
            }
            case u'C':
                count();
                Append(fs.ShortDateFormat);
                if (FHour != 0 || FMin != 0 || FSec != 0) {
                    FResult += QLatin1Char(' ');
                    Append(fs.LongTimeFormat);
                }
                break;
            case u'/':
                if (!fs.DateSeparator.isNull())
                    FResult += fs.DateSeparator;
                break;
            case u':':
                if (!fs.TimeSeparator.isNull())
                    FResult += fs.TimeSeparator;
                break;
            case u'\'':
            case u'"': {
                const qsizetype close = format.indexOf(starter, i);
                const qsizetype end = close < 0 ? n : close;
                FResult += format.mid(i, end - i);
                i = close < 0 ? n : close + 1;
                break;
            }
            default:
                FResult += starter;
                break;
            }
        }
        --FLevel;
    }
};

}  // namespace

String FormatDateTime(const String& Format, TDateTime DateTime)
{
    return TDateTimeFormatter(DateTime).Run(Format);
}

String DateToStr(TDateTime Date)
{
    return FormatDateTime(QStringLiteral("ddddd"), Date);
}

String TimeToStr(TDateTime Time)
{
    return FormatDateTime(QStringLiteral("tt"), Time);
}

String DateTimeToStr(TDateTime DateTime)
{
    return FormatDateTime(QStringLiteral("c"), DateTime);
}

// ---- text to dates --------------------------------------------------------

namespace {

class TDateScanner {
public:
    explicit TDateScanner(const String& text) : FText(text) {}

    qsizetype Pos = 0;

    bool AtEnd()
    {
        Blanks();
        return Pos == FText.size();
    }

    bool ScanDate(TDateTime& date)
    {
        const TFormatSettings& fs = FormatSettings;
        int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l3 = 0, unused = 0;
        if (!Number(n1, l1) || !Char(fs.DateSeparator) || !Number(n2, unused))
            return false;
        const char order = DateOrder();
        int year = 0, month = 0, day = 0, yearLength = 4;
        if (Char(fs.DateSeparator)) {
            if (!Number(n3, l3))
                return false;
            switch (order) {
            case 'D': day = n1; month = n2; year = n3; yearLength = l3; break;
            case 'Y': year = n1; month = n2; day = n3; yearLength = l1; break;
            default: month = n1; day = n2; year = n3; yearLength = l3; break;
            }
        } else {
            year = currentYear();
            if (order == 'D') {
                day = n1;
                month = n2;
            } else {
                month = n1;
                day = n2;
            }
        }
        if (yearLength <= 2) {
            const int centuryBase = currentYear() - fs.TwoDigitYearCenturyWindow;
            year += centuryBase / 100 * 100;
            if (fs.TwoDigitYearCenturyWindow > 0 && year < centuryBase)
                year += 100;
        }
        return TryEncodeDate(year, month, day, date);
    }

    bool ScanTime(TDateTime& time)
    {
        const TFormatSettings& fs = FormatSettings;
        int ampm = AmPm();
        int hour = 0, min = 0, sec = 0, msec = 0, length = 0;
        if (!Number(hour, length))
            return false;
        if (Char(fs.TimeSeparator)) {
            if (!Number(min, length))
                return false;
            if (Char(fs.TimeSeparator)) {
                if (!Number(sec, length))
                    return false;
                if (Char(fs.DecimalSeparator) && !Number(msec, length))
                    return false;
            }
        }
        if (ampm == 0)
            ampm = AmPm();
        if (ampm != 0) {
            if (hour == 0 || hour > 12)
                return false;
            if (ampm < 0 && hour == 12)
                hour = 0;
            else if (ampm > 0 && hour < 12)
                hour += 12;
        }
        return TryEncodeTime(hour, min, sec, msec, time);
    }

private:
    const String& FText;

    void Blanks()
    {
        while (Pos < FText.size() && FText[Pos] == QLatin1Char(' '))
            ++Pos;
    }

    bool Number(int& value, int& length)
    {
        Blanks();
        const qsizetype start = Pos;
        int64_t v = 0;
        while (Pos < FText.size() && FText[Pos] >= QLatin1Char('0') && FText[Pos] <= QLatin1Char('9')) {
            if (Pos - start >= 9)
                return false;
            v = v * 10 + (FText[Pos].unicode() - u'0');
            ++Pos;
        }
        length = static_cast<int>(Pos - start);
        value = static_cast<int>(v);
        return length > 0;
    }

    bool Char(QChar c)
    {
        Blanks();
        if (c.isNull() || Pos >= FText.size() || FText[Pos] != c)
            return false;
        ++Pos;
        return true;
    }

    bool Word(const String& word)
    {
        Blanks();
        if (word.isEmpty() || FText.mid(Pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        Pos += word.size();
        return true;
    }

    // -1 for AM, 1 for PM, 0 for neither.
    int AmPm()
    {
        const TFormatSettings& fs = FormatSettings;
        if (Word(fs.TimeAMString) || Word(QStringLiteral("AM")))
            return -1;
        if (Word(fs.TimePMString) || Word(QStringLiteral("PM")))
            return 1;
        return 0;
    }

    static char DateOrder()
    {
        for (const QChar c : FormatSettings.ShortDateFormat) {
            const char u = static_cast<char>(c.toUpper().toLatin1());
            if (u == 'D' || u == 'M' || u == 'Y')
                return u;
        }
        return 'M';
    }
};

}  // namespace

bool TryStrToDate(const String& S, TDateTime& Value)
{
    TDateScanner scanner(S);
    TDateTime date = 0;
    if (!scanner.ScanDate(date) || !scanner.AtEnd())
        return false;
    Value = date;
    return true;
}

bool TryStrToTime(const String& S, TDateTime& Value)
{
    TDateScanner scanner(S);
    TDateTime time = 0;
    if (!scanner.ScanTime(time) || !scanner.AtEnd())
        return false;
    Value = time;
    return true;
}

bool TryStrToDateTime(const String& S, TDateTime& Value)
{
    TDateScanner scanner(S);
    TDateTime date = 0;
    TDateTime time = 0;
    if (scanner.ScanDate(date)) {
        if (scanner.AtEnd() || (scanner.ScanTime(time) && scanner.AtEnd())) {
            Value = composeDateTime(date, time);
            return true;
        }
        return false;
    }
    return TryStrToTime(S, Value);
}

TDateTime StrToDate(const String& S)
{
    TDateTime result = 0;
    if (!TryStrToDate(S, result))
        throw EConvertError(LoadResString(RtlConsts::SInvalidDate), {S});
    return result;
}

TDateTime StrToTime(const String& S)
{
    TDateTime result = 0;
    if (!TryStrToTime(S, result))
        throw EConvertError(LoadResString(RtlConsts::SInvalidTime), {S});
    return result;
}

TDateTime StrToDateTime(const String& S)
{
    TDateTime result = 0;
    if (!TryStrToDateTime(S, result))
        throw EConvertError(LoadResString(RtlConsts::SInvalidDateTime), {S});
    return result;
}

int64_t DateTimeToUnix(TDateTime Value)
{
    return static_cast<int64_t>(std::nearbyint((Value - UnixDateDelta) * SecsPerDay));
}

TDateTime UnixToDateTime(int64_t Value)
{
    return UnixDateDelta + static_cast<TDateTime>(Value) / SecsPerDay;
}
