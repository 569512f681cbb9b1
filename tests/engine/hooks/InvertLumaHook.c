/* A video-hook plug-in for the tests: inverts the luma of 8-bit YUV
   pictures, or with the arguments "fill N" sets it to N. Any other argument
   is refused. */
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "engine/VideoHook.h"

enum { YUV420P = 0 }; /* the libraries' number of the format */

typedef struct {
    int fill;
    int value;
} State;

int Configure(void** context, int argc, char* argv[], int lastIndex)
{
    (void)lastIndex;
    State* state = calloc(1, sizeof *state);
    if (!state)
        return -1;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "fill") == 0 && i + 1 < argc) {
            state->fill = 1;
            state->value = atoi(argv[++i]);
        } else {
            free(state);
            return -1;
        }
    }
    *context = state;
    return 0;
}

void Process(void* context, VideoHookPicture* picture, int pixelFormat, int width, int height, int64_t pts)
{
    const State* state = context;
    (void)pts;
    if (pixelFormat != YUV420P)
        return;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = picture->data[0] + (ptrdiff_t)y * picture->linesize[0];
        for (int x = 0; x < width; ++x)
            row[x] = (unsigned char)(state->fill ? state->value : 255 - row[x]);
    }
}

void Release(void* context)
{
    free(context);
}
