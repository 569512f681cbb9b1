// Feeds arbitrary text to the standard mask as its mask text and as typed
// text: parsing, fitting, the value text and the completeness test must
// never crash or read outside the text.
#include <cstddef>
#include <cstdint>

#include "ui/editors/vlStandardMask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String input = String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf(QChar(u'\n'));
    TvlStandardMask mask;
    mask.SetMaskText(split < 0 ? input : input.left(split));
    String text = split < 0 ? input : input.mid(split + 1);
    String complete = text;
    mask.IsTextComplete(complete);
    mask.FitText(text, true, split < 0);
    mask.IsTextComplete(text);
    mask.ValueText(text);
    return 0;
}
