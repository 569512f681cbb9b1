#include "engine/AVUtilStubs.h"

#include "engine/MyUtils.h"

void AVUtilBind(const String& fileName, void* handle)
{
    VORLANE_AVUTIL_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void AVUtilUnbind()
{
    VORLANE_AVUTIL_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
