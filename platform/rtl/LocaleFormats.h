// LocaleFormats.h - the host locale's formats in the runtime's letters:
// QLocale writes its date and time patterns in letters of its own ("mm"
// minutes, "AP", "t" a time zone), the runtime's formatters and the
// editors' masks read "nn"/"m after h", "AMPM", "t" a short time, "c" a
// whole date-time. This translates the one into the other.
#pragma once
#include <QChar>

#include "platform/rtl/String.h"

class QLocale;
struct TFormatSettings;

// A QLocale date or time pattern in the runtime's letters. The first
// character of ADateSeparators found outside quotes becomes "/" and of
// ATimeSeparators ":" (the runtime writes its separators there); every
// other literal is quoted; time zones are dropped.
String LocalePatternToFormat(const String& APattern, QChar ADateSeparator = QChar(), QChar ATimeSeparator = QChar());

// The separator a pattern uses between its numbers: the first character
// outside quotes that is neither a letter nor a blank; null when none.
QChar LocalePatternSeparator(const String& APattern);

// The whole settings of a locale: separators, currency layout, the four
// date and time formats, AM/PM texts and the month and day names.
TFormatSettings LocaleFormatSettings(const QLocale& ALocale);

// The formats the program fixes for itself over whatever the locale says
// (its long time format and the two separators); GetFormatSettings keeps them.
// An empty long time format lets the locale's formats stand again.
void SetFixedTimeFormats(const String& ALongTimeFormat, QChar ATimeSeparator, QChar ADecimalSeparator);

// Reads FormatSettings again from the default locale, then applies the
// fixed formats. Main thread only, between runs of work that reads them.
void GetFormatSettings();
