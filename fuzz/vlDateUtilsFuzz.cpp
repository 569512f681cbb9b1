// Feeds arbitrary typed text to the date readers: they give a date in the
// valid range or the null date, and never raise.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/editors/vlDateUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String text = String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const bool runtime : {false, true})
        if (!IsDateValueValid(TextToDateEx(text, runtime)))
            std::abort();
    TDateTime date = 0;
    TryTextToDateTime(text, true, date);
    CalendarTextToDate(text);
    return 0;
}
