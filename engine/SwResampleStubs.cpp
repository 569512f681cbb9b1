#include "engine/SwResampleStubs.h"

#include "engine/MyUtils.h"

void SwResampleBind(const String& fileName, void* handle)
{
    VORLANE_SWRESAMPLE_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void SwResampleUnbind()
{
    VORLANE_SWRESAMPLE_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
