// The worker side of the preview window: copies of frames go to the main
// thread's queue; the window is made, painted and freed there.
#include "engine/Previewer.h"

#include <atomic>
#include <mutex>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Thread.h"

namespace {

std::mutex factoryLock;
TPreviewWindowFactory installedFactory;

}  // namespace

void SetPreviewWindowFactory(TPreviewWindowFactory factory)
{
    const std::lock_guard guard(factoryLock);
    installedFactory = std::move(factory);
}

TPreviewWindowFactory PreviewWindowFactory()
{
    const std::lock_guard guard(factoryLock);
    return installedFactory;
}

struct TPreviewer::TState : std::enable_shared_from_this<TState> {
    TPreviewWindowFactory Factory;
    std::atomic<bool> Closed{false};

    std::mutex Lock;  // guards the frame waiting to be painted
    QImage Pending;
    int FrameNumber = 0;
    int64_t PTS = 0;
    bool PaintPosted = false;

    // Main thread only.
    std::unique_ptr<IPreviewWindow> Window;
    bool Removed = false;

    void Paint()
    {
        QImage picture;
        int frameNumber;
        int64_t pts;
        {
            const std::lock_guard guard(Lock);
            picture = std::move(Pending);
            Pending = QImage();
            frameNumber = FrameNumber;
            pts = PTS;
            PaintPosted = false;
        }
        if (Removed || Closed.load() || picture.isNull())
            return;
        if (!Window) {
            std::weak_ptr<TState> self = weak_from_this();
            if (Factory)
                Window = Factory([self] {
                    if (auto state = self.lock())
                        state->Closed.store(true);
                });
            if (!Window) {
                Closed.store(true);
                return;
            }
        }
        Window->PaintFrame(picture, frameNumber, pts);
    }
};

TPreviewer::TPreviewer(TPreviewWindowFactory factory) : FState(std::make_shared<TState>())
{
    FState->Factory = std::move(factory);
}

TPreviewer::~TPreviewer()
{
    // Whatever was posted before runs first; the window goes after it.
    TThread::Queue(nullptr, [state = FState] {
        state->Removed = true;
        state->Window.reset();
    });
}

bool TPreviewer::ShowFrame(const TBitmap& bitmap, int frameNumber, int64_t pts)
{
    if (FState->Closed.load())
        return false;
    bool post = false;
    {
        QImage copy = bitmap.Image();
        const std::lock_guard guard(FState->Lock);
        FState->Pending = std::move(copy);
        FState->FrameNumber = frameNumber;
        FState->PTS = pts;
        post = !FState->PaintPosted;
        FState->PaintPosted = true;
    }
    if (post)
        TThread::Queue(nullptr, [state = FState] { state->Paint(); });
    return !FState->Closed.load();
}

bool TPreviewer::Closed() const
{
    return FState->Closed.load();
}
