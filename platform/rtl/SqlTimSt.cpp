#include "platform/rtl/SqlTimSt.h"

#include <cmath>

bool IsSQLTimeStampBlank(const TSQLTimeStamp& TimeStamp)
{
    return TimeStamp.Year == 0 && TimeStamp.Month == 0 && TimeStamp.Day == 0 && TimeStamp.Hour == 0 &&
           TimeStamp.Minute == 0 && TimeStamp.Second == 0 && TimeStamp.Fractions == 0;
}

bool TrySQLTimeStampToDateTime(const TSQLTimeStamp& TimeStamp, TDateTime& DateTime)
{
    if (IsSQLTimeStampBlank(TimeStamp)) {
        DateTime = 0;
        return true;
    }
    TDateTime date = 0;
    TDateTime time = 0;
    if (TimeStamp.Fractions > 999 ||
        !TryEncodeDate(TimeStamp.Year, TimeStamp.Month, TimeStamp.Day, date) ||
        !TryEncodeTime(TimeStamp.Hour, TimeStamp.Minute, TimeStamp.Second, int(TimeStamp.Fractions), time))
        return false;
    DateTime = date < 0 ? date - time : date + time;
    return true;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& TimeStamp)
{
    TDateTime result = 0;
    if (!TrySQLTimeStampToDateTime(TimeStamp, result))
        throw EConvertError(LoadResString(RtlConsts::SDateEncodeError));
    return result;
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime DateTime)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    DecodeDate(DateTime, year, month, day);
    DecodeTime(DateTime, hour, minute, second, msec);
    TSQLTimeStamp result;
    result.Year = int16_t(year);
    result.Month = uint16_t(month);
    result.Day = uint16_t(day);
    result.Hour = uint16_t(hour);
    result.Minute = uint16_t(minute);
    result.Second = uint16_t(second);
    result.Fractions = uint32_t(msec);
    return result;
}

int SQLTimeStampCompare(const TSQLTimeStamp& A, const TSQLTimeStamp& B)
{
    if (A.Year != B.Year)
        return A.Year < B.Year ? -1 : 1;
    const uint16_t a[] = {A.Month, A.Day, A.Hour, A.Minute, A.Second};
    const uint16_t b[] = {B.Month, B.Day, B.Hour, B.Minute, B.Second};
    for (int i = 0; i < 5; ++i)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    if (A.Fractions != B.Fractions)
        return A.Fractions < B.Fractions ? -1 : 1;
    return 0;
}
