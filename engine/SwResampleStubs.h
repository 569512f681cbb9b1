// SwResampleStubs.h - the entry points of the resampling library that the engine uses.
#pragma once
extern "C" {
#include <libswresample/swresample.h>
}
#include "engine/FFStubs.h"

#define VORLANE_SWRESAMPLE_ENTRY_POINTS(X) \
    X(swresample_version) \
    X(swr_alloc_set_opts2) \
    X(swr_init) \
    X(swr_free) \
    X(swr_convert) \
    X(swr_get_out_samples) \
    X(swr_set_compensation) \
    X(swr_get_delay)

namespace ff {
VORLANE_SWRESAMPLE_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void SwResampleBind(const String& fileName, void* handle);
void SwResampleUnbind();
