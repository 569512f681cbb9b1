#include "engine/SwScaleStubs.h"

#include "engine/MyUtils.h"

void SwScaleBind(const String& fileName, void* handle)
{
    VORLANE_SWSCALE_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void SwScaleUnbind()
{
    VORLANE_SWSCALE_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
