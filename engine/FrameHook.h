// FrameHook.h - what a conversion task hands to its owner while it converts:
// the bitmap, picture and audio hooks and the preview event, and their texts.
#pragma once
#include <cstdint>

extern "C" {
#include <libavutil/samplefmt.h>
}

#include "platform/rtl/Delegate.h"
#include "platform/rtl/ResString.h"

class TBitmap;
class TObject;

namespace FrameHookConsts {
VORLANE_RESOURCESTRING(SInputHookBufMalloc, "hook buf malloc error in pre_process_video_frame().");
VORLANE_RESOURCESTRING(SOutputHookBufMalloc, "hook buf malloc error.");
VORLANE_RESOURCESTRING(SDeinterlacingFailed, "Deinterlacing failed.");
VORLANE_RESOURCESTRING(SVideoHookError, "Error occurs VideoHook event: ");
VORLANE_RESOURCESTRING(SCopyVideoHook, "-vcodec copy and VideoHook are incompatible (frames are not decoded)");
VORLANE_RESOURCESTRING(SCopyFrameHook, "-vcodec copy and FrameHook are incompatible (frames are not decoded)");
}  // namespace FrameHookConsts

// A preview is made at most once per this many microseconds.
inline constexpr int64_t PreviewInterval = 100000;

// Preview switches of a task.
inline constexpr uint8_t PreviewWindowSwitch = 1;
inline constexpr uint8_t PreviewBitmapSwitch = 2;

// The task's method pointers, in its thread. A bitmap hook may edit the
// bitmap and leave Update set to have it written back; StopHook detaches it.
using TVideoHookProc =
    TDelegate<void(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts, bool& update, bool& stopHook)>;
// The picture is a TAVPicture (FormatConverter.h) of the given format and size.
using TFrameHookProc = TDelegate<void(TObject* task, void* picture, int pixelFormat, int frameNumber, int width,
                                      int height, int64_t pts)>;
using TPreviewBitmapProc = TDelegate<void(TObject* task, TBitmap* bitmap, int frameNumber, int64_t pts)>;
using TAudioHookProc = TDelegate<void(TObject* task, uint8_t* samples, int64_t pts, int size, int sampleRate,
                                      int channels, AVSampleFormat format)>;
