// SwScaleStubs.h - the entry points of the scaling library that the engine uses.
#pragma once
extern "C" {
#include <libswscale/swscale.h>
}
#include "engine/FFStubs.h"

#define VORLANE_SWSCALE_ENTRY_POINTS(X) \
    X(sws_getCachedContext) \
    X(sws_scale) \
    X(swscale_version)                  \
    X(sws_get_class)                    \
    X(sws_getContext)                   \
    X(sws_freeContext)

namespace ff {
VORLANE_SWSCALE_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void SwScaleBind(const String& fileName, void* handle);
void SwScaleUnbind();
