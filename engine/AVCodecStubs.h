// AVCodecStubs.h - the entry points of the codec library that the engine uses.
#pragma once
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVCODEC_ENTRY_POINTS(X) \
    X(avcodec_parameters_from_context) \
    X(avcodec_parameters_copy) \
    X(avcodec_send_frame) \
    X(avcodec_receive_packet) \
    X(av_packet_rescale_ts) \
    X(av_packet_ref) \
    X(av_packet_move_ref) \
    X(av_bsf_get_by_name) \
    X(av_bsf_alloc) \
    X(av_bsf_init) \
    X(av_bsf_send_packet) \
    X(av_bsf_receive_packet) \
    X(av_bsf_free) \
    X(avcodec_get_name) \
    X(av_packet_get_side_data) \
    X(av_codec_is_encoder) \
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
