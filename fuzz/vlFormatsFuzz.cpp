// Feeds arbitrary format texts to the format parser and builds every mask
// and display format from what it reads.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/SysUtils.h"
#include "ui/editors/vlFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TFormatSettings settings = DefaultFormatSettings();
    const String format = String::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    TvlDateTimeFormatInfo info;
    if (!ParseDateTimeFormat(format, info, settings))
        return 0;
    TvlFormatController* controller = vlFormatController();
    controller->BuildStandardMask(info);
    controller->BuildRegExprMask(info, false);
    controller->BuildRegExprMask(info, true);
    controller->BuildMaskDisplayFormat(info);
    TvlFormatStandardMaskItemInfo item;
    const int length = controller->GetDateTimeStandardMaskStringLength(info);
    for (int pos = 0; pos <= length + 1; ++pos)
        controller->GetDateTimeFormatItemStandardMaskInfo(info, pos, item);
    return 0;
}
