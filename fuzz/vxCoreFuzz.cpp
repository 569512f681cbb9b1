// The library's readers of outside bytes in vxCore: the hex decoder and the
// text-stream signature reader.
#include <cstddef>
#include <cstdint>

#include "ui/foundation/vxCore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const AnsiString bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)HexToAnsiString(bytes);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.constData(), bytes.size());
    stream.SetPosition(size > 0 ? data[0] % 8 : 0);
    const TvxStream wrapped(&stream);
    (void)wrapped.IsUnicode();
    return 0;
}
