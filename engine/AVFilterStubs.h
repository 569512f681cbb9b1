// AVFilterStubs.h - the entry points of the filter library that the engine uses.
#pragma once
extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}
#include "engine/FFStubs.h"

#define VORLANE_AVFILTER_ENTRY_POINTS(X) \
    X(avfilter_graph_alloc) \
    X(avfilter_graph_free) \
    X(avfilter_get_by_name) \
    X(avfilter_graph_create_filter) \
    X(avfilter_link) \
    X(avfilter_graph_parse_ptr) \
    X(avfilter_inout_alloc) \
    X(avfilter_inout_free) \
    X(avfilter_graph_config) \
    X(av_buffersrc_add_frame_flags) \
    X(av_buffersink_get_frame) \
    X(av_buffersink_get_time_base) \
    X(av_buffersink_get_w) \
    X(av_buffersink_get_h) \
    X(av_buffersink_get_sample_aspect_ratio) \
    X(av_buffersink_get_format) \
    X(avfilter_version)

namespace ff {
VORLANE_AVFILTER_ENTRY_POINTS(VORLANE_FF_DECLARE_POINTER)
}

void AVFilterBind(const String& fileName, void* handle);
void AVFilterUnbind();
