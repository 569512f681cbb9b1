// The stored image information of the library's image list.
#include <cstddef>
#include <cstdint>

#include "ui/foundation/vlImageList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TvlImageList list(nullptr);
    try {
        list.SetImageInfoData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const Exception&) {
    }
    return 0;
}
