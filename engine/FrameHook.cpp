// The task's frame hooks and preview: deinterlacing and the input-side hooks
// on decoded pictures, the output-side hooks and the preview on pictures
// about to be encoded. All of it runs in the task's thread.
#include <exception>

#include "engine/AVUtilStubs.h"
#include "engine/Deinterlace.h"
#include "engine/FFmpeg.h"
#include "engine/FrameHook.h"

using namespace FrameHookConsts;

namespace {

// A frame of its own buffer with picture's format and size. Decoded and
// filtered frames share their buffers with the codec and the graphs, so
// the hooks write into a fresh one.
bool newBufferLike(AVFrame* work, const AVFrame* picture)
{
    ff::av_frame_unref(work);
    work->format = picture->format;
    work->width = picture->width;
    work->height = picture->height;
    return ff::av_frame_get_buffer(work, 0) >= 0 && ff::av_frame_copy_props(work, picture) >= 0;
}

// The hook bitmaps' depth was checked when the option was parsed.
TFormatConverter& converterAt(std::unique_ptr<TFormatConverter>& slot, int depth)
{
    if (!slot) {
        slot = std::make_unique<TFormatConverter>();
        slot->SetBitsPixel(depth);
    }
    return *slot;
}

}  // namespace

void TCustomFFmpeg::PrepareInputPicture(int sourceIndex, AVFrame* picture)
{
    TSourceStream& ist = FSourceStreams[size_t(sourceIndex)];
    const bool deinterlace = FSettings.Deinterlace != 0;
    if (!deinterlace && !OnFrameInputHook.Assigned() && !OnVideoInputHook.Assigned())
        return;
    const auto format = AVPixelFormat(picture->format);
    const int width = picture->width, height = picture->height;

    bool ready = false;
    if (deinterlace) {
        TFramePtr work(ff::av_frame_alloc());
        if (!work || !newBufferLike(work.get(), picture)) {
            logText(llError, LoadResString(SInputHookBufMalloc));
            return;
        }
        if (DeinterlacePicture(PictureOf(work.get()), PictureOf(picture), format, width, height)) {
            ff::av_frame_unref(picture);
            ff::av_frame_move_ref(picture, work.get());
            ready = true;
        } else {
            logText(llWarning, LoadResString(SDeinterlacingFailed));
        }
    }
    if (!ready && ff::av_frame_make_writable(picture) < 0) {
        logText(llError, LoadResString(SInputHookBufMalloc));
        return;
    }

    if (OnFrameInputHook.Assigned()) {
        TAVPicture planes = PictureOf(picture);
        OnFrameInputHook(this, &planes, int(format), ist.FrameCounter, width, height, ist.Time);
    }
    if (OnVideoInputHook.Assigned()) {
        bool converted = false;
        CallBitmapHook(OnVideoInputHook, converterAt(FInputConverter, FSettings.VideoHookBitsPixel), converted,
                       picture, ist.Time, ist.FrameCounter);
    }
}

void TCustomFFmpeg::CallBitmapHook(TVideoHookProc& hook, TFormatConverter& converter, bool& converted,
                                   AVFrame* picture, int64_t frameTime, int frameNumber)
{
    const auto format = AVPixelFormat(picture->format);
    const int width = picture->width, height = picture->height;
    const TAVPicture planes = PictureOf(picture);
    converted = converter.FromPicture(planes, format, width, height, true);
    if (!converted) {
        logText(llError, converter.LastError());
        hook = nullptr;
        return;
    }
    bool update = true;
    bool stopHook = false;
    try {
        hook(this, converter.Bitmap(), frameNumber, frameTime, update, stopHook);
    } catch (const Exception& e) {
        logText(llError, LoadResString(SVideoHookError) + e.Message());
        update = false;
    } catch (const std::exception& e) {
        logText(llError, LoadResString(SVideoHookError) + String::fromLocal8Bit(e.what()));
        update = false;
    }
    if (update) {
        converter.CopyFromBitmap();
        // The converter wrote into its own buffer unless the picture already
        // had the bitmap's layout.
        const TAVPicture* current = converter.Current();
        if (current && current->data[0] != planes.data[0] &&
            !converter.ToPicture(planes, format, width, height)) {
            logText(llError, converter.LastError());
            stopHook = true;
        }
    } else if (FPreviewFlags.load() != 0) {
        converted = false;
    }
    if (stopHook)
        hook = nullptr;
}

AVFrame* TCustomFFmpeg::PrepareOutputPicture(TTargetStream& ost, AVFrame* picture)
{
    // A window switched off by the owner goes at the next picture.
    if (FPreviewer && !(FPreviewFlags.load() & PreviewWindowSwitch))
        FPreviewer.reset();
    const bool hooks = OnVideoOutputHook.Assigned() || OnFrameOutputHook.Assigned();
    if (!hooks && FPreviewFlags.load() == 0)
        return picture;
    AVCodecContext* enc = ost.Encoder.get();
    const int frameNumber = ost.FrameNumber + 1;
    const int64_t frameTime = ff::av_rescale_q(ost.OutputClock, enc->time_base, AV_TIME_BASE_Q);
    bool converted = false;
    AVFrame* result = picture;
    if (hooks) {
        // Every duplicate of a picture is hooked from the picture itself.
        if (!FOutputHookFrame)
            FOutputHookFrame.reset(ff::av_frame_alloc());
        AVFrame* work = FOutputHookFrame.get();
        if (!work || !newBufferLike(work, picture) || ff::av_frame_copy(work, picture) < 0) {
            logText(llError, LoadResString(SOutputHookBufMalloc));
        } else {
            result = work;
            if (OnVideoOutputHook.Assigned())
                CallBitmapHook(OnVideoOutputHook, converterAt(FOutputConverter, FSettings.VideoHookBitsPixel),
                               converted, work, frameTime, frameNumber);
            if (OnFrameOutputHook.Assigned()) {
                TAVPicture planes = PictureOf(work);
                OnFrameOutputHook(this, &planes, work->format, frameNumber, work->width, work->height, frameTime);
            }
        }
    }
    if (FPreviewFlags.load() != 0)
        ShowPreview(result, converted, frameTime, frameNumber);
    return result;
}

void TCustomFFmpeg::ShowPreview(AVFrame* picture, bool converted, int64_t frameTime, int frameNumber)
{
    const uint8_t flags = FPreviewFlags.load();
    const bool bitmapEvent = (flags & PreviewBitmapSwitch) && OnPreviewBitmap.Assigned();
    const bool window = !bitmapEvent && (flags & PreviewWindowSwitch);
    if (!bitmapEvent && !window)
        return;
    const int64_t now = FPreviewClock ? FPreviewClock() : ff::av_gettime_relative();
    if (FLastPreview != INT64_MIN && now - FLastPreview <= PreviewInterval)
        return;
    FLastPreview = now;
    TFormatConverter& converter = converterAt(FOutputConverter, FSettings.VideoHookBitsPixel);
    const bool changed = FPreviewChanged.exchange(false);
    bool ok = true;
    if (!converted || changed)
        ok = converter.FromPicture(PictureOf(picture), AVPixelFormat(picture->format), picture->width,
                                   picture->height, true);
    // Only the switch this call served is cleared; the owner may change
    // the others meanwhile.
    uint8_t cleared = 0;
    if (!ok) {
        logText(llError, converter.LastError());
        cleared = bitmapEvent ? PreviewBitmapSwitch : PreviewWindowSwitch;
    } else if (bitmapEvent) {
        OnPreviewBitmap(this, converter.Bitmap(), frameNumber, frameTime);
    } else {
        if (!FPreviewer)
            FPreviewer = std::make_unique<TPreviewer>(FPreviewWindowFactory);
        if (!FPreviewer->ShowFrame(*converter.Bitmap(), frameNumber, frameTime))
            cleared = PreviewWindowSwitch;
    }
    if (cleared) {
        FPreviewFlags.fetch_and(uint8_t(~cleared));
        if (cleared & PreviewWindowSwitch)
            FPreviewer.reset();
    }
}
