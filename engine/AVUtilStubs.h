// AVUtilStubs.h - the entry points of the utility library that the engine uses.
#pragma once
extern "C" {
#include <libavutil/time.h>
#include <libavutil/imgutils.h>
#include <libavutil/frame.h>
#include <libavutil/avutil.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/channel_layout.h>
#include <libavutil/audio_fifo.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVUTIL_ENTRY_POINTS(X) \
    X(av_dict_copy) \
    X(av_find_best_pix_fmt_of_2) \
    X(av_opt_get_int) \
    X(av_channel_layout_default) \
    X(av_channel_layout_uninit) \
    X(av_rescale_q_rnd) \
    X(av_get_pix_fmt) \
    X(av_get_pix_fmt_name) \
    X(av_pix_fmt_desc_get) \
    X(av_get_sample_fmt) \
    X(av_get_sample_fmt_name) \
    X(av_get_bytes_per_sample) \
    X(av_parse_video_rate) \
    X(av_parse_video_size) \
    X(av_opt_set_bin) \
    X(av_opt_set_int) \
    X(av_reduce) \
    X(av_d2q) \
    X(av_mallocz) \
    X(av_strdup) \
    X(av_frame_ref) \
    X(av_usleep) \
    X(av_find_nearest_q_idx) \
    X(av_get_pix_fmt_string) \
    X(av_dict_set_int) \
    X(av_frame_alloc) \
    X(av_frame_free) \
    X(av_frame_unref) \
    X(av_frame_move_ref) \
    X(av_gettime_relative) \
    X(av_image_get_buffer_size) \
    X(av_image_fill_arrays) \
    X(av_rescale_q) \
    X(av_log)                          \
    X(av_log_set_callback)             \
    X(av_log_set_level)                \
    X(av_log_get_level)                \
    X(av_log_default_callback)         \
    X(av_default_item_name)            \
    X(av_version_info)                 \
    X(avutil_version)                  \
    X(av_opt_find)                     \
    X(av_opt_set)                      \
    X(av_opt_set_dict2)                \
    X(av_dict_set)                     \
    X(av_dict_get)                     \
    X(av_dict_free)                    \
    X(av_parse_time)                   \
    X(av_malloc)                       \
    X(av_realloc)                      \
    X(av_free)                         \
    X(av_audio_fifo_alloc)             \
    X(av_audio_fifo_free)              \
    X(av_audio_fifo_write)             \
    X(av_audio_fifo_read)              \
    X(av_audio_fifo_size)              \
    X(av_frame_get_buffer)             \
    X(av_frame_make_writable)          \
    X(av_channel_layout_copy)          \
    X(av_channel_layout_compare)       \
    X(av_channel_layout_check)         \
    X(av_sample_fmt_is_planar)         \
    X(av_get_packed_sample_fmt)        \
    X(av_get_picture_type_char)        \
    X(av_opt_set_double)               \
    X(av_frame_copy_props)             \
    X(av_frame_copy)

namespace ff {
VORLANE_AVUTIL_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void AVUtilBind(const String& fileName, void* handle);
void AVUtilUnbind();
