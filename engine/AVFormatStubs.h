// AVFormatStubs.h - the entry points of the container library that the engine uses.
#pragma once
extern "C" {
#include <libavformat/avformat.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVFORMAT_ENTRY_POINTS(X) \
    X(avformat_find_stream_info) \
    X(av_find_input_format) \
    X(av_guess_format) \
    X(av_read_frame) \
    X(av_seek_frame) \
    X(avformat_seek_file) \
    X(avio_size) \
    X(avio_seek) \
    X(avformat_version) \
    X(avformat_open_input) \
    X(avformat_close_input)              \
    X(avformat_get_class)                \
    X(avformat_alloc_context)            \
    X(avformat_free_context)             \
    X(avformat_new_stream)               \
    X(av_new_program)                    \
    X(av_program_add_stream_index)

namespace ff {
VORLANE_AVFORMAT_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void AVFormatBind(const String& fileName, void* handle);
void AVFormatUnbind();
