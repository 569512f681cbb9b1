// A skin file's bytes to skin objects: unpacking, the container, the
// description and every bitmap it names.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "skin/SknData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TSkinData skin(nullptr);
    skin.LoadSkin(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
