// SwResampleStubs.h - the entry points of the resampling library that the engine uses.
#pragma once
extern "C" {
#include <libswresample/swresample.h>
}
#include "engine/FFStubs.h"

#define VORLANE_SWRESAMPLE_ENTRY_POINTS(X) \
    X(swresample_version)

namespace ff {
VORLANE_SWRESAMPLE_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void SwResampleBind(const String& fileName, void* handle);
void SwResampleUnbind();
