#include "engine/AVCodecStubs.h"

#include "engine/MyUtils.h"

void AVCodecBind(const String& fileName, void* handle)
{
    VORLANE_AVCODEC_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void AVCodecUnbind()
{
    VORLANE_AVCODEC_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
