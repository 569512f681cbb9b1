// Feeds arbitrary bytes to the tagged variant reader: it must accept or
// refuse with a read error, never crash or allocate beyond the input.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/Stream.h"
#include "ui/data/vlDataUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, int64_t(size));
    stream.SetPosition(0);
    try {
        const Variant v = StreamReadVariant(&stream);
        // whatever was read writes again
        TMemoryStream out;
        StreamWriteVariant(&out, v);
    } catch (const EReadError&) {
    } catch (const EWriteError&) {
    }
    return 0;
}
