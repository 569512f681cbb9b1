// Feeds arbitrary bytes to the criteria stream reader: it must accept or
// refuse with a read error, never crash, and whatever it accepts must
// write again and give its filter text.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Stream.h"
#include "fuzz/FuzzCriteria.h"
#include "ui/data/vlFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzCriteria criteria;
    TMemoryStream stream;
    stream.WriteBuffer(data, int64_t(size));
    stream.SetPosition(0);
    try {
        criteria.ReadData(&stream);
    } catch (const EReadError&) {
        return 0;
    }
    try {
        TMemoryStream out;
        criteria.SetStreamVersion(3);
        criteria.WriteData(&out);
        (void)criteria.GetFilterText();
        (void)criteria.GetFilterCaption();
    } catch (const EVariantError&) {
    } catch (const EWriteError&) {
    }
    return 0;
}
