// AVFilterStubs.h - the entry points of the filter library that the engine uses.
#pragma once
extern "C" {
#include <libavfilter/avfilter.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVFILTER_ENTRY_POINTS(X) \
    X(avfilter_version)

namespace ff {
VORLANE_AVFILTER_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void AVFilterBind(const String& fileName, void* handle);
void AVFilterUnbind();
