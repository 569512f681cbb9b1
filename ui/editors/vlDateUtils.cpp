#include "ui/editors/vlDateUtils.h"

#include <QDate>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/rtl/LocaleFormats.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlFormats.h"
#include "ui/editors/vlLibraryStrs.h"
#include "ui/foundation/vlClasses.h"

namespace {

// The calendar tables made so far, one per calendar id.
std::vector<std::unique_ptr<TvlCustomCalendarTable>>& tableCache()
{
    static std::vector<std::unique_ptr<TvlCustomCalendarTable>> cache;
    return cache;
}

std::unique_ptr<TvlCustomCalendarTable> createCalendarTable(int ACalendarId)
{
    switch (ACalendarId) {
    case 2: return std::make_unique<TvlGregorianUSEnglishCalendarTable>();
    case 3: return std::make_unique<TvlJapaneseCalendarTable>();
    case 4: return std::make_unique<TvlTaiwanCalendarTable>();
    case 5: return std::make_unique<TvlKoreanCalendarTable>();
    case 6: return std::make_unique<TvlHijriCalendarTable>();
    case 7: return std::make_unique<TvlThaiCalendarTable>();
    case 8: return std::make_unique<TvlHebrewCalendarTable>();
    case 9: return std::make_unique<TvlGregorianMiddleEastFrenchCalendarTable>();
    case 10: return std::make_unique<TvlGregorianArabicCalendarTable>();
    case 11: return std::make_unique<TvlGregorianTransliteratedEnglishCalendarTable>();
    case 12: return std::make_unique<TvlGregorianTransliteratedFrenchCalendarTable>();
    default: return std::make_unique<TvlGregorianCalendarTable>();
    }
}

TFormatSettings localeSettings()
{
    return LocaleFormatSettings(QLocale());
}

bool runtimeFormats()
{
    return vlFormatController()->UseRuntimeLibraryFormats();
}

const TvlCustomCalendarTable* tableOrUser(const TvlCustomCalendarTable* ATable)
{
    return ATable != nullptr ? ATable : GetUserCalendarTable();
}

TDateTime weekStartOfDay(TDateTime ADay, int AStartOfWeek)
{
    const int shift = ((DayOfWeek(ADay) - 1 - AStartOfWeek) % 7 + 7) % 7;
    return std::trunc(ADay) - shift;
}

TDateTime firstWeekStart(int AYear, int ARule, int AStartOfWeek)
{
    const int day = ARule == 3 ? 4 : ARule == 2 ? 7 : 1;
    return weekStartOfDay(EncodeDate(AYear, 1, day), AStartOfWeek);
}

String twoDigits(int AValue)
{
    return String::number(AValue).rightJustified(2, QLatin1Char('0'));
}

// The first of the letters D, M, Y or E decides: 0 month-day-year,
// 1 day-month-year, 2 year-month-day.
int dateOrderOfFormat(const String& AFormat)
{
    for (const QChar c : AFormat) {
        switch (c.toUpper().unicode()) {
        case u'D': return 1;
        case u'M': return 0;
        case u'Y':
        case u'E': return 2;
        default: break;
        }
    }
    return 0;
}

bool textToDateByFields(const String& AText, const TFormatSettings& ASettings, TDateTime& ADate);

}  // namespace

// ---- locale readers ---------------------------------------------------------------

String ReadLocaleShortDateFormat() { return localeSettings().ShortDateFormat; }
String ReadLocaleLongDateFormat() { return localeSettings().LongDateFormat; }
String ReadLocaleLongTimeFormat() { return localeSettings().LongTimeFormat; }
String ReadLocaleTimeAMString() { return QLocale().amText(); }
String ReadLocaleTimePMString() { return QLocale().pmText(); }
QChar ReadLocaleDateSeparator() { return localeSettings().DateSeparator; }
QChar ReadLocaleTimeSeparator() { return localeSettings().TimeSeparator; }
// The host keeps no first-week rule: the default, the week holding 1 January.
int ReadLocaleFirstWeekOfYear() { return 1; }
int GetUserCalendarType() { return 1; }
// The host keeps no window for two-digit years: 1930 .. 2029.
int GetTwoDigitYearMax() { return 2029; }

void ReadLocaleFormatSettings(TFormatSettings& ASettings)
{
    const TFormatSettings locale = localeSettings();
    ASettings.DateSeparator = locale.DateSeparator;
    ASettings.ShortDateFormat = locale.ShortDateFormat;
    ASettings.LongDateFormat = locale.LongDateFormat;
    ASettings.TimeSeparator = locale.TimeSeparator;
    ASettings.LongTimeFormat = locale.LongTimeFormat;
    ASettings.TimeAMString = locale.TimeAMString;
    ASettings.TimePMString = locale.TimePMString;
}

// ---- calendar choice ------------------------------------------------------------------

TvlCustomCalendarTable* GetCalendarTable(int ACalendarId)
{
    auto& cache = tableCache();
    const int id = ACalendarId >= 1 && ACalendarId <= 12 ? ACalendarId : 1;
    for (const auto& table : cache)
        if (table->CalendarId() == id)
            return table.get();
    cache.push_back(createCalendarTable(id));
    return cache.back().get();
}

TvlCustomCalendarTable* GetUserCalendarTable()
{
    return GetCalendarTable(GetUserCalendarType());
}

bool IsGregorianCalendar(const TvlCustomCalendarTable* ATable)
{
    switch (tableOrUser(ATable)->CalendarId()) {
    case 1: case 2: case 9: case 10: case 11: case 12: return true;
    default: return false;
    }
}

// ---- Gregorian arithmetic ----------------------------------------------------------

TDateTime DatePartOf(TDateTime ADate) { return std::trunc(ADate); }

TDateTime TimePartOf(TDateTime ADate)
{
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(ADate, h, n, s, ms);
    return double(((h * 60 + n) * 60 + s) * 1000 + ms) / MSecsPerDay;
}

bool IsGregorianLeapYear(int AYear)
{
    return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0;
}

int GetDaysPerMonth(int AYear, int AMonth)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (AMonth < 1 || AMonth > 12)
        return 0;
    return AMonth == 2 && IsGregorianLeapYear(AYear) ? 29 : days[AMonth - 1];
}

TDateTime GetMonthStart(TDateTime ADate)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    return EncodeDate(y, m, 1);
}

TDateTime GetMonthEnd(bool ADateOnly, TDateTime ADate)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    const TDateTime end = EncodeDate(y, m, GetDaysPerMonth(y, m));
    return ADateOnly ? end : end + EncodeTime(23, 59, 59, 999);
}

TDateTime GetYearStart(TDateTime ADate)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    return EncodeDate(y, 1, 1);
}

TDateTime GetYearEnd(bool ADateOnly, TDateTime ADate)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    const TDateTime end = EncodeDate(y, 12, 31);
    return ADateOnly ? end : end + EncodeTime(23, 59, 59, 999);
}

int DateToMonthCount(TDateTime ADate)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    return y * 12 + m - 12;
}

int GetDateElement(TvlDateElement AElement, const TvlCustomCalendarTable* ATable, TDateTime ADate)
{
    int y = 0, m = 0, d = 0;
    if (ATable != nullptr) {
        const TvlCalendarDateTime parts = ATable->SplitDate(ADate);
        y = parts.Year;
        m = parts.Month;
        d = parts.Day;
    } else {
        DecodeDate(ADate, y, m, d);
    }
    return AElement == deYear ? y : AElement == deMonth ? m : d;
}

int GetDayIndexInWeek(TDateTime ADate)
{
    return ((DayOfWeek(ADate) - 1 - vlFormatController()->GetStartOfWeek()) % 7 + 7) % 7;
}

TDateTime GetMinDate()
{
    return EncodeDate(100, 1, 1);
}

int GetGregorianWeekNumber(int AStartOfWeek, int AFirstWeekRule, TDateTime ADate)
{
    if (AFirstWeekRule == 0)
        AFirstWeekRule = ReadLocaleFirstWeekOfYear();
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    const TDateTime day = std::trunc(ADate);
    if (m == 12 && y < 9999 && day >= firstWeekStart(y + 1, AFirstWeekRule, AStartOfWeek))
        return 1;
    TDateTime base = firstWeekStart(y, AFirstWeekRule, AStartOfWeek);
    if (day < base && y > 1)
        base = firstWeekStart(y - 1, AFirstWeekRule, AStartOfWeek);
    return int(std::trunc(day - base)) / 7 + 1;
}

// ---- dates to text -------------------------------------------------------------------

bool FormatDateWithLocale(String& AText, uint32_t AFlags, const String& AFormat, TDateTime ADate)
{
    AText.clear();
    if (runtimeFormats() && IsGregorianCalendar()) {
        AText = FormatDateByPattern(AFormat.isEmpty() ? FormatSettings.LongDateFormat : AFormat, ADate);
        return true;
    }
    if (!IsGregorianCalendar() || !IsDateValueValid(ADate) || ADate == vlNullDate)
        return false;
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    const QDate date(y, m, d);
    const QLocale locale;
    if (AFormat.isEmpty())
        AText = locale.toString(date, (AFlags & DATE_LONGDATE) != 0 ? QLocale::LongFormat : QLocale::ShortFormat);
    else
        AText = locale.toString(date, AFormat);
    return true;
}

void DateTimeToCalendarText(String& AText, TDateTime ADate)
{
    FormatDateWithLocale(AText, DATE_SHORTDATE, String(), ADate);
    if (TimePartOf(ADate) > 0)
        AText += QLatin1Char(' ') + FormatDateTime(FormatSettings.LongTimeFormat, TimePartOf(ADate));
}

void GetDayNumberText(String& AText, TDateTime ADate)
{
    if (!FormatDateWithLocale(AText, 0, QStringLiteral("d"), ADate))
        AText = FormatDateTime(QStringLiteral("d"), ADate);
}

void GetCalendarDayNumberText(int ADay, const TvlCustomCalendarTable* ATable, String& AText)
{
    const TvlCustomCalendarTable* table = tableOrUser(ATable);
    if (!IsGregorianCalendar(table)) {
        // the locale shows no other calendar here: the day's number in that calendar
        AText = String::number(ADay);
        return;
    }
    GetDayNumberText(AText, table->JoinDay(table->EarliestYear(), 1, ADay));
}

void GetMonthNameOfDate(const TvlCustomCalendarTable* ATable, String& AText, TDateTime ADate)
{
    const TvlCustomCalendarTable* table = tableOrUser(ATable);
    TvlCalendarDateTime parts = table->SplitDate(ADate);
    parts.Day = 1;
    const bool gregorian = IsGregorianCalendar(table);
    if (gregorian && !runtimeFormats() && FormatDateWithLocale(AText, 0, QStringLiteral("MMMM"), table->JoinParts(parts)))
        return;
    AText = parts.Month >= 1 && parts.Month <= 12 ? FormatSettings.LongMonthNames[size_t(parts.Month - 1)] : String();
}

void GetMonthNameOfCalendarMonth(int AYear, int AMonth, const TvlCustomCalendarTable* ATable, String& AText)
{
    const TvlCustomCalendarTable* table = tableOrUser(ATable);
    if (IsGregorianCalendar(table) && runtimeFormats()) {
        AText = AMonth >= 1 && AMonth <= 12 ? FormatSettings.LongMonthNames[size_t(AMonth - 1)] : String();
        return;
    }
    if (table->AcceptsMonth(AYear, AMonth))
        GetMonthNameOfDate(table, AText, table->JoinDay(AYear, AMonth, 1));
    else
        AText.clear();
}

void GetYearText(const TvlCustomCalendarTable* ATable, String& AText, TDateTime ADate)
{
    const TvlCustomCalendarTable* table = tableOrUser(ATable);
    TvlCalendarDateTime parts = table->SplitDate(ADate);
    parts.Day = 1;
    if (!IsGregorianCalendar(table) || !FormatDateWithLocale(AText, 0, QStringLiteral("yyyy"), table->JoinParts(parts)))
        AText = String::number(parts.Year);
}

void GetYearMonthText(const TvlCustomCalendarTable* ATable, String& AText, TDateTime ADate)
{
    const TvlCustomCalendarTable* table = tableOrUser(ATable);
    TvlCalendarDateTime parts = table->SplitDate(ADate);
    parts.Day = 1;
    const TDateTime first = table->JoinParts(parts);
    if (IsGregorianCalendar(table) && runtimeFormats()) {
        AText = FormatDateByPattern(QStringLiteral("mmmm yyyy"), first, QLatin1Char(' '));
        return;
    }
    if (IsGregorianCalendar(table) && FormatDateWithLocale(AText, 0, QStringLiteral("MMMM yyyy"), first))
        return;
    String month, year;
    GetMonthNameOfDate(table, month, first);
    GetYearText(table, year, first);
    AText = month + QLatin1Char(' ') + year;
}

void GetDayOfWeekName(int ADay, String& AText)
{
    AText.clear();
    if (ADay < 1 || ADay > 7)
        return;
    // Day 1 is Monday; the names are kept from Sunday.
    const size_t index = size_t(ADay % 7);
    const String name = runtimeFormats() ? FormatSettings.ShortDayNames[index]
                                         : QLocale().dayName(ADay, QLocale::NarrowFormat);
    if (name.isEmpty())
        return;
    // Scripts written from the right keep their distinguishing letter last.
    const bool special = name[0].unicode() > 0x7F && QLocale().textDirection() == Qt::RightToLeft;
    AText = special ? name.right(1) : name.left(1);
}

void DateTimeToLocaleText(bool AFourDigitYear, bool ARuntimeFormats, String& AText, TDateTime ADate)
{
    AText.clear();
    if (ADate == vlNullDate)
        return;
    const bool hasTime = TimePartOf(ADate) != 0;
    String format = ARuntimeFormats ? FormatSettings.ShortDateFormat : QLocale().dateFormat(QLocale::ShortFormat);
    if (AFourDigitYear) {
        const String lower = format.toLower();
        if (lower.contains(QLatin1String("yy")) && !lower.contains(QLatin1String("yyy"))) {
            const int at = int(lower.indexOf(QLatin1String("yy")));
            format.insert(at, format.mid(at, 2));
        }
    }
    if (ARuntimeFormats) {
        if (hasTime)
            format += QLatin1Char(' ') + FormatSettings.LongTimeFormat;
        AText = FormatDateTime(format, ADate);
        return;
    }
    if (!IsDateValueValid(ADate)) {
        AText = DateTimeToStr(ADate);
        return;
    }
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    const QLocale locale;
    AText = locale.toString(QDate(y, m, d), format);
    if (TimePartOf(ADate) > 0) {
        int h = 0, n = 0, s = 0, ms = 0;
        DecodeTime(ADate, h, n, s, ms);
        AText += QLatin1Char(' ') + locale.toString(QTime(h, n, s), QLocale::LongFormat);
    }
}

void DateToLocaleText(bool AFourDigitYear, String& AText, TDateTime ADate)
{
    DateTimeToLocaleText(AFourDigitYear, runtimeFormats(), AText, ADate);
}

void DateTimeToTextEx(bool AMaskedEditing, bool AWithTime, bool AFourDigitYear, String& AText, TDateTime ADate)
{
    AText.clear();
    if (ADate == vlNullDate)
        return;
    if (!IsGregorianCalendar()) {
        DateTimeToCalendarText(AText, ADate);
        return;
    }
    if (!AMaskedEditing) {
        DateToLocaleText(AFourDigitYear, AText, ADate);
        return;
    }
    if (AWithTime)
        AText = FormatDateTime(vlFormatController()->DateTimeMaskDisplayFormat(), ADate);
    else
        AText = FormatDateTime(vlFormatController()->DateMaskDisplayFormat(), DatePartOf(ADate));
}

String FormatDateByPattern(const String& APattern, TDateTime ADate, QChar ASeparator)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    const int dow = DayOfWeek(ADate) - 1;
    String result;
    String literal;
    bool started = false;
    const int n = int(APattern.size());
    int i = 0;
    while (i < n) {
        const QChar c = APattern[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n && APattern[j] != c)
                ++j;
            literal += APattern.mid(i + 1, j - i - 1);
            i = std::min(j + 1, n);
            continue;
        }
        const QChar lower = c.toLower();
        if (lower != QLatin1Char('d') && lower != QLatin1Char('m') && lower != QLatin1Char('y') &&
            lower != QLatin1Char('e')) {
            literal += c;
            ++i;
            continue;
        }
        int run = 1;
        while (i + run < n && APattern[i + run].toLower() == lower)
            ++run;
        i += run;
        if (lower == QLatin1Char('e'))
            continue;
        if (started)
            result += ASeparator.isNull() ? literal : String(ASeparator);
        literal.clear();
        started = true;
        if (lower == QLatin1Char('d')) {
            if (run == 1)
                result += String::number(d);
            else if (run == 2)
                result += twoDigits(d);
            else if (run == 3)
                result += FormatSettings.ShortDayNames[size_t(dow)];
            else
                result += FormatSettings.LongDayNames[size_t(dow)];
        } else if (lower == QLatin1Char('m')) {
            result += run <= 3 ? twoDigits(m) : FormatSettings.LongMonthNames[size_t(m - 1)];
        } else {
            result += run <= 3 ? twoDigits(y % 100) : String::number(y % 10000).rightJustified(4, QLatin1Char('0'));
        }
    }
    return result;
}

// ---- text to dates -------------------------------------------------------------------

std::vector<String> LoadSmartDateWords()
{
    std::vector<String> words;
    for (const TResStringRec* rec : vlLibraryStrs::vlSmartDateWordsTable)
        words.push_back(GetResourceString(*rec));
    return words;
}

bool ParseSmartDateText(const String& AText, TDateTime& ADate)
{
    const std::vector<String> words = LoadSmartDateWords();
    std::vector<int> order(words.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (words[size_t(a)].size() != words[size_t(b)].size())
            return words[size_t(a)].size() > words[size_t(b)].size();
        return words[size_t(a)].compare(words[size_t(b)], Qt::CaseInsensitive) < 0;
    });
    int index = -1;
    for (const int i : order) {
        const String& word = words[size_t(i)];
        if (!word.isEmpty() && AText.size() >= word.size() &&
            AText.left(word.size()).compare(word, Qt::CaseInsensitive) == 0) {
            index = i;
            break;
        }
    }
    if (index < 0)
        return false;
    const TDateTime today = Date();
    TDateTime base = today;
    if (index == 1)
        base = today - 1;
    else if (index == 2)
        base = today + 1;
    else if (index >= 3 && index <= 9)
        base = today + ((((index - 3) - (DayOfWeek(today) - 1)) % 7 + 7) % 7);
    else if (index >= 10 && index <= 16)
        base = today - GetDayIndexInWeek(today) + (index - 10);
    else if (index == 17)
        base = GetMonthStart(today);
    else if (index == 18)
        base = GetMonthEnd(true, today);
    else if (index == 19)
        base = Now();
    const String rest = Trim(AText.mid(words[size_t(index)].size()));
    if (rest.isEmpty()) {
        ADate = base;
        return true;
    }
    const QChar sign = rest[0];
    if (sign != QLatin1Char('+') && sign != QLatin1Char('-'))
        return false;
    int64_t offset = 0;
    if (!TryStrToInt64(Trim(rest.mid(1)), offset))
        return false;
    // A huge offset leaves the range of dates: no date rather than a wrapped one.
    const long double result = (long double)base + (sign == QLatin1Char('+') ? offset : -offset);
    if (result < (long double)GetMinDate() || result > (long double)vlMaxDateTime)
        return false;
    ADate = TDateTime(result);
    return true;
}

void PrepareDateText(String& AText, [[maybe_unused]] bool ALocaleConversion)
{
    // The masks and display formats the editors type into come from the
    // runtime's settings, so typed text is read with them either way.
    const TFormatSettings& keepSource = FormatSettings;
    const String keep[4] = {Trim(String(keepSource.DateSeparator)).toUpper(), Trim(String(keepSource.TimeSeparator)).toUpper(),
                            Trim(keepSource.TimeAMString).toUpper(), Trim(keepSource.TimePMString).toUpper()};
    const TvlFormatController* controller = vlFormatController();
    for (const TvlDateTimeFormatInfo* info : {&controller->ShortDateItems(), &controller->LongTimeItems()}) {
        for (const TvlDateTimeFormatItem& item : info->Items) {
            if (item.Kind != dtiLiteral)
                continue;
            const String literal = Trim(item.Data).toUpper();
            if (literal.isEmpty() || std::find(std::begin(keep), std::end(keep), literal) != std::end(keep))
                continue;
            // blank out every occurrence, ignoring case
            int at = 0;
            while ((at = int(AText.indexOf(literal, at, Qt::CaseInsensitive))) >= 0) {
                AText.replace(at, literal.size(), String(literal.size(), QLatin1Char(' ')));
                at += int(literal.size());
            }
        }
    }
    // collapse runs of blanks and control characters
    String collapsed;
    bool inBlank = false;
    for (const QChar c : Trim(AText)) {
        if (c.unicode() <= u' ') {
            if (!inBlank)
                collapsed += QLatin1Char(' ');
            inBlank = true;
        } else {
            collapsed += c;
            inBlank = false;
        }
    }
    AText = collapsed;
}

namespace {

// Reads a date typed in the order of a short date format: three fields
// separated by blanks or the date separator, the month as a number or a
// name, then an optional time.
bool textToDateByFields(const String& AText, const TFormatSettings& ASettings, TDateTime& ADate)
{
    String text = AText;
    if (!ASettings.DateSeparator.isNull())
        text.replace(ASettings.DateSeparator, QLatin1Char(' '));
    const QStringList tokens = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (tokens.size() < 3) {
        TDateTime value = 0;
        if (!TryStrToDateTime(AText, value))
            return false;
        ADate = value;
        return true;
    }
    const int order = dateOrderOfFormat(ASettings.ShortDateFormat);
    const int yearAt = order == 2 ? 0 : 2;
    const int monthAt = order == 0 ? 0 : 1;
    const int dayAt = order == 0 ? 1 : order == 1 ? 0 : 2;
    const TvlCustomCalendarTable* table = GetCalendarTable(1);
    const int year = table->ReadYearNumber(tokens[yearAt]);
    const int month = table->ReadMonthNumber(year, tokens[monthAt]);
    const int day = table->ReadDayNumber(tokens[dayAt]);
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        return false;
    TDateTime time = 0;
    if (tokens.size() > 3 && !TryStrToTime(tokens.mid(3).join(QLatin1Char(' ')), time))
        return false;
    ADate = date < 0 ? date - time : date + time;
    return true;
}

bool acceptableDate(TDateTime ADate)
{
    if (!(ADate > -2147483648.0 && ADate < 2147483647.0) || !IsDateValueValid(ADate))
        return false;
    int y = 0, m = 0, d = 0;
    DecodeDate(ADate, y, m, d);
    return d != 0 && y <= 9999;
}

}  // namespace

TDateTime TextToDateEx(const String& AText, bool ARuntimeFormats)
{
    try {
        String text = Trim(AText);
        if (text.isEmpty())
            return vlNullDate;
        if (!IsGregorianCalendar())
            return CalendarTextToDate(text);
        TDateTime result = vlNullDate;
        if (ParseSmartDateText(text, result))
            return IsDateValueValid(result) ? result : vlNullDate;
        PrepareDateText(text, !ARuntimeFormats);
        TDateTime value = 0;
        const bool read = ARuntimeFormats ? TryStrToDateTime(text, value)
                                          : textToDateByFields(text, FormatSettings, value);
        return read && acceptableDate(value) ? value : vlNullDate;
    } catch (const Exception&) {
        return vlNullDate;
    }
}

bool SmartTextToDate(const String& AText, TDateTime& ADate)
{
    ADate = TextToDateEx(AText, runtimeFormats());
    return ADate != vlNullDate;
}

bool TryTextToDateTime(const String& AText, bool ALocaleConversion, TDateTime& ADate)
{
    ADate = vlNullDate;
    try {
        if (!IsGregorianCalendar()) {
            ADate = CalendarTextToDate(AText);
            return true;
        }
        String text = AText;
        PrepareDateText(text, ALocaleConversion);
        TDateTime value = 0;
        const bool read = ALocaleConversion ? textToDateByFields(text, FormatSettings, value) : TryStrToDateTime(text, value);
        if (!read || !acceptableDate(value))
            return false;
        ADate = value;
        return true;
    } catch (const Exception&) {
        ADate = vlNullDate;
        return false;
    }
}

TDateTime ParseCalendarDateText(const String& AText, const TvlCustomCalendarTable* ATable,
                                const TFormatSettings& ASettings)
{
    const String& text = AText;
    const int n = int(text.size());
    // The position is 1-based and rests on the last delimiter read: a
    // field starts at the character after it.
    int pos = 0;
    auto readField = [&](QChar ADelimiter) {
        const int start = std::min(pos, n);
        int end = ADelimiter.isNull() ? -1 : int(text.indexOf(ADelimiter, start));
        if (end < 0)
            end = n;
        pos = end + 1;
        return text.mid(start, end - start);
    };
    // The host keeps no era names or offsets: a typed era name is skipped.
    const int eraOffset = 0;
    if (ASettings.ShortDateFormat.startsWith(QLatin1Char('g'), Qt::CaseInsensitive)) {
        int digit = 0;
        while (digit < n && !text[digit].isDigit())
            ++digit;
        pos = digit;
    }
    String field1 = readField(ASettings.DateSeparator);
    String field2 = readField(ASettings.DateSeparator);
    String field3 = readField(QLatin1Char(' '));
    const int order = dateOrderOfFormat(ASettings.ShortDateFormat);
    if (ASettings.DateSeparator == QLatin1Char(' ')) {
        int next = pos;
        while (next < n && text[next] == QLatin1Char(' '))
            ++next;
        if (next < n && !text[next].isDigit()) {
            // the month is two words
            if (order == 0) {
                field1 += QLatin1Char(' ') + field2;
                field2 = field3;
            } else {
                field2 += QLatin1Char(' ') + field3;
            }
            pos = next;
            field3 = readField(QLatin1Char(' '));
        }
    }
    const String& yearField = order == 2 ? field1 : field3;
    const String& monthField = order == 0 ? field1 : field2;
    const String& dayField = order == 0 ? field2 : order == 1 ? field1 : field3;
    TvlCalendarDateTime parts;
    parts.Year = ATable->ReadYearNumber(Trim(yearField));
    parts.Month = ATable->ReadMonthNumber(parts.Year, Trim(monthField));
    parts.Day = ATable->ReadDayNumber(Trim(dayField));
    parts.Era = ATable->EraOfYear(eraOffset + 1);
    const String rest = pos < n ? Trim(text.mid(pos)) : String();
    if (!rest.isEmpty()) {
        int h = 0, m = 0, sec = 0, ms = 0;
        DecodeTime(StrToTime(rest), h, m, sec, ms);
        parts.Hours = uint8_t(h);
        parts.Minutes = uint8_t(m);
        parts.Seconds = uint8_t(sec);
        parts.Milliseconds = uint16_t(ms);
    }
    // Parts the calendar does not have are no date (joining them would
    // give the calendar's first day as if it had been typed).
    if (!ATable->EraAcceptsDay(parts.Era, parts.Year, parts.Month, parts.Day))
        return vlNullDate;
    return ATable->JoinParts(parts);
}

TDateTime CalendarTextToDate(const String& AText)
{
    try {
        TFormatSettings settings = FormatSettings;
        ReadLocaleFormatSettings(settings);
        return ParseCalendarDateText(Trim(AText), GetUserCalendarTable(), settings);
    } catch (const Exception&) {
        return vlNullDate;
    }
}

void AddvlDateUtilsUnit(TStartupList& AList)
{
    AList.Add(QStringLiteral("vlDateUtils"), {}, [] { tableCache().clear(); });
}
