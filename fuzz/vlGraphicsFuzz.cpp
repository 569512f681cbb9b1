// The readers of outside bytes in vlGraphics: a bitmap's stored data in
// either form (plain or compressed), and picture loading by signature.
#include <cstddef>
#include <cstdint>

#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vxGDIPlusClasses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, int64_t(size));
    try {
        stream.SetPosition(0);
        TvlBitmap bitmap;
        bitmap.ReadData(&stream);
    } catch (const Exception&) {
    }
    try {
        stream.SetPosition(0);
        TPicture picture;
        picture.LoadFromStream(&stream);
    } catch (const Exception&) {
    }
    try {
        stream.SetPosition(0);
        TvxGPImage image;
        image.LoadFromStream(&stream);
    } catch (const Exception&) {
    }
    return 0;
}
