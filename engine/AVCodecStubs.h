// AVCodecStubs.h - the entry points of the codec library that the engine uses.
#pragma once
extern "C" {
#include <libavcodec/avcodec.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVCODEC_ENTRY_POINTS(X) \
    X(avcodec_version)                  \
    X(avcodec_get_class)                \
    X(avcodec_find_decoder)             \
    X(avcodec_find_encoder)             \
    X(avcodec_descriptor_get)           \
    X(avcodec_alloc_context3)           \
    X(avcodec_free_context)

namespace ff {
VORLANE_AVCODEC_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void AVCodecBind(const String& fileName, void* handle);
void AVCodecUnbind();
