// Feeds arbitrary text to the money editor's number reading: it must never
// crash, and what it accepts must be 0 or a finite double in range.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/controls/vlCurrencyEdit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TvlCurrencyEditProperties properties(nullptr);
    const String input = String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    double value = 1;
    if (properties.StrToCurrencyValue(input, value) && !std::isfinite(value))
        std::abort();
    const Variant edit = properties.TextToEditValue(input);
    if (!VarIsNull(edit) && !std::isfinite(edit.AsDouble()))
        std::abort();
    return 0;
}
