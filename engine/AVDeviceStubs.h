// AVDeviceStubs.h - the entry points of the device library that the engine uses.
#pragma once
extern "C" {
#include <libavdevice/avdevice.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVDEVICE_ENTRY_POINTS(X) \
    X(avdevice_version) \
    X(avdevice_register_all)

namespace ff {
VORLANE_AVDEVICE_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void AVDeviceBind(const String& fileName, void* handle);
void AVDeviceUnbind();
