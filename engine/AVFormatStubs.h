// AVFormatStubs.h - the entry points of the container library that the engine uses.
#pragma once
extern "C" {
#include <libavformat/avformat.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVFORMAT_ENTRY_POINTS(X) \
    X(avformat_alloc_output_context2) \
    X(avio_enum_protocols) \
    X(avio_wb32) \
    X(av_guess_codec) \
    X(avio_open2) \
    X(avio_closep) \
    X(avformat_write_header) \
    X(av_write_trailer) \
    X(av_interleaved_write_frame) \
    X(av_dump_format) \
    X(av_stream_new_side_data) \
    X(av_filename_number_test) \
    X(avio_check) \
    X(avio_write) \
    X(avio_flush) \
    X(avio_read) \
    X(av_codec_get_id) \
    X(av_codec_get_tag) \
    X(avformat_query_codec) \
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
