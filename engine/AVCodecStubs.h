// AVCodecStubs.h - the entry points of the codec library that the engine uses.
#pragma once
extern "C" {
#include <libavcodec/avcodec.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVCODEC_ENTRY_POINTS(X) \
    X(avcodec_parameters_to_context) \
    X(avcodec_send_packet) \
    X(avcodec_receive_frame) \
    X(avcodec_flush_buffers) \
    X(av_packet_alloc) \
    X(av_packet_free) \
    X(av_packet_unref) \
    X(avcodec_version)                  \
    X(avcodec_get_class)                \
    X(avcodec_find_decoder)             \
    X(avcodec_find_encoder)             \
    X(avcodec_find_encoder_by_name)     \
    X(avcodec_find_decoder_by_name)     \
    X(avcodec_open2)                    \
    X(avcodec_descriptor_get)           \
    X(avcodec_alloc_context3)           \
    X(avcodec_free_context)

namespace ff {
VORLANE_AVCODEC_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void AVCodecBind(const String& fileName, void* handle);
void AVCodecUnbind();
