// Previewer.h - TPreviewer: a conversion task's own preview window, fed from
// the task's thread; the window itself lives in the main thread only.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include <QImage>

class TBitmap;

// The window side, implemented outside the engine (the engine does not
// link the widget toolkit). Every call comes in the main thread.
class IPreviewWindow {
public:
    virtual ~IPreviewWindow() = default;
    // The first call sizes the client area to the picture and shows the
    // window; later ones draw at (0, 0) without resizing.
    virtual void PaintFrame(const QImage& picture, int frameNumber, int64_t pts) = 0;
};

// Makes a window; onClosed is to be called (main thread) when the user
// closes it. nullptr: no window can be shown.
using TPreviewWindowFactory = std::function<std::unique_ptr<IPreviewWindow>(std::function<void()> onClosed)>;

// The factory previewers use unless given one; the window target installs it.
void SetPreviewWindowFactory(TPreviewWindowFactory factory);
TPreviewWindowFactory PreviewWindowFactory();

// One per previewing task, used from the task's thread. It never waits for
// the main thread: frames are copied and posted, and only the newest one
// waiting is painted.
class TPreviewer {
public:
    explicit TPreviewer(TPreviewWindowFactory factory = PreviewWindowFactory());
    // Posts the window's removal to the main thread.
    ~TPreviewer();
    TPreviewer(const TPreviewer&) = delete;
    TPreviewer& operator=(const TPreviewer&) = delete;

    // False once the user has closed the window (or none can be made): the
    // task stops previewing. A close is seen by the next call after it.
    bool ShowFrame(const TBitmap& bitmap, int frameNumber, int64_t pts);
    bool Closed() const;

private:
    struct TState;
    std::shared_ptr<TState> FState;
};
