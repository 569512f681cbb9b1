#include "engine/AVDeviceStubs.h"

#include "engine/MyUtils.h"

void AVDeviceBind(const String& fileName, void* handle)
{
    VORLANE_AVDEVICE_ENTRY_POINTS(VORLANE_FF_BIND_POINTER)
}

void AVDeviceUnbind()
{
    VORLANE_AVDEVICE_ENTRY_POINTS(VORLANE_FF_UNBIND_POINTER)
}
