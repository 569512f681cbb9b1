// Feeds arbitrary text to the "Hex:" form of the criteria stream, as stored
// settings keep a filter: the text must decode or be refused, and the
// bytes must read as criteria or be refused with a read error.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzCriteria.h"
#include "platform/rtl/Stream.h"
#include "ui/data/vlDataUtils.h"
#include "ui/data/vlFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const String text = String::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    TMemoryStream stream;
    PropertyStringToStream(text, &stream);
    stream.SetPosition(0);
    FuzzCriteria criteria;
    try {
        criteria.ReadData(&stream);
        (void)criteria.GetFilterText();
    } catch (const EReadError&) {
    } catch (const EVariantError&) {
    }
    return 0;
}
