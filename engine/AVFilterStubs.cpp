#include "engine/AVFilterStubs.h"

#include "engine/MyUtils.h"

void AVFilterBind(const String& fileName, void* handle)
{
    VORLANE_AVFILTER_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void AVFilterUnbind()
{
    VORLANE_AVFILTER_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
