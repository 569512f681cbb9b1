// Feeds arbitrary text to the calculator engine as pasted text and as keys:
// whatever comes in, the display must stay a finite number or the error
// text, so the next key can always read it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzCalc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The program sets the number formats at start-up; the fuzzer has none.
    static const bool formats = (FormatSettings = DefaultFormatSettings(), true);
    (void)formats;
    String display;
    if (!RunCalcScript(String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)), display))
        std::abort();
    return 0;
}
