// Feeds arbitrary texts to the check-state value readers in every format;
// a value that reads must build back into a value that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/controls/vlCheckBox.h"

namespace {

struct TCaptions : IvlCaptionList {
    int GetCount() const override { return 70; }
    String GetCaption(int AIndex) const override { return String::number(AIndex % 7) + String::number(AIndex); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TCaptions captions;
    const Variant value(String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const TvlCheckStatesValueFormat format : {cvfCaptions, cvfIndices, cvfInteger, cvfStatesString, cvfCustom}) {
        TvlCheckStates states;
        if (!CalculateCheckStates(value, &captions, format, states))
            continue;
        TvlCheckStates again;
        if (!CalculateCheckStates(CheckStatesToEditValue(states, &captions, format), &captions, format, again) ||
            (format != cvfInteger && again != states))
            std::abort();
    }
    return 0;
}
