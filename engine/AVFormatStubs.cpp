#include "engine/AVFormatStubs.h"

#include "engine/MyUtils.h"

void AVFormatBind(const String& fileName, void* handle)
{
    VORLANE_AVFORMAT_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void AVFormatUnbind()
{
    VORLANE_AVFORMAT_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
