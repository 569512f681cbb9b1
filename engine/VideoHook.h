/* VideoHook.h - what a video-hook plug-in ("-vhook") sees: the picture record
   handed to its entry points. Plain C, so that a plug-in written in C can
   include it.

   A plug-in is a shared library that exports, with C linkage:
     int  Configure(void** context, int argc, char* argv[], int lastIndex);
     void Process(void* context, VideoHookPicture* picture, int pixelFormat,
                  int width, int height, int64_t pts);
     void Release(void* context);
   "Process" is required. "Configure" is required when arguments follow the
   file name; it returns 0 to accept them. argv[0] is the plug-in's file name,
   argv[argc] is NULL, and the strings stay valid until "Release" is called.
   lastIndex is the index of the array's last entry and may be ignored.
   "Release" is optional. Each task that names a plug-in gets a context of
   its own; "Process" runs in the task's thread, once for every decoded
   picture, which it may change in place.

   The pixel format is the media libraries' AVPixelFormat number of the
   installed generation; the time is in microseconds. */
#ifndef VORLANE_ENGINE_VIDEOHOOK_H
#define VORLANE_ENGINE_VIDEOHOOK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Up to four planes of a picture and the bytes from one line to the next. */
typedef struct VideoHookPicture {
    uint8_t* data[4];
    int linesize[4];
} VideoHookPicture;

typedef int (*VideoHookConfigureProc)(void** context, int argc, char* argv[], int lastIndex);
typedef void (*VideoHookProcessProc)(void* context, VideoHookPicture* picture, int pixelFormat, int width,
                                     int height, int64_t pts);
typedef void (*VideoHookReleaseProc)(void* context);

#ifdef __cplusplus
}
#endif

#endif
