// Deinterlace.h - the classic five-tap bottom-field line deinterlacer, shared
// by the decoder component and the conversion task's input side.
#pragma once
extern "C" {
#include <libavutil/pixfmt.h>
}

#include "engine/FormatConverter.h"

// Planar 4:2:0, 4:2:2, 4:4:4, 4:1:1 and grey pictures whose sizes are
// multiples of 4.
bool CanDeinterlace(AVPixelFormat format, int width, int height);
// Writes the deinterlaced src into dst (both of format, width x height);
// false, with dst untouched, when CanDeinterlace says no.
bool DeinterlacePicture(const TAVPicture& dst, const TAVPicture& src, AVPixelFormat format, int width, int height);
