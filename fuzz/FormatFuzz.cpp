// Format strings come from translation catalogues as well as from the code:
// any text must be refused with EConvertError or formatted, never crash or
// build a giant string.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String format = String::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::vector<char> kinds;
    FormatSignature(format, kinds);
    try {
        Format(format, {7, int64_t{-3}, 2.5, String::fromLatin1("text"), static_cast<const void*>(data), 12});
    } catch (const EConvertError&) {
    }
    return 0;
}
