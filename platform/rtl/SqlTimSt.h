// SqlTimSt.h - a database time stamp as separate fields, and its
// conversion to and from the date-time double.
#pragma once
#include <cstdint>

#include "platform/rtl/DateTime.h"

// Fractions are milliseconds. 16 bytes, the size record buffers count on.
struct TSQLTimeStamp {
    int16_t Year = 0;
    uint16_t Month = 0;
    uint16_t Day = 0;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    uint32_t Fractions = 0;
};

// A stamp whose fields are all zero stands for "no date" and converts to 0.
bool IsSQLTimeStampBlank(const TSQLTimeStamp& TimeStamp);
// False for fields that make no date or time (month 13, minute 60 ...).
bool TrySQLTimeStampToDateTime(const TSQLTimeStamp& TimeStamp, TDateTime& DateTime);
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& TimeStamp);  // EConvertError when invalid
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime DateTime);
// Field by field: year, month, day, hour, minute, second, fractions.
int SQLTimeStampCompare(const TSQLTimeStamp& A, const TSQLTimeStamp& B);
