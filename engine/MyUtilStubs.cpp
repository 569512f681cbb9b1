#include "engine/MyUtilStubs.h"

#include "engine/MyUtils.h"

void MyUtilBind(const String& fileName, void* handle)
{
    VORLANE_MYUTIL_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void MyUtilUnbind()
{
    VORLANE_MYUTIL_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
