// PreviewForm.h - the preview window of a conversion task: a stay-on-top tool
// window showing the last frame, with the frame's time as its caption.
#pragma once
#include <functional>

#include "engine/Previewer.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"

// The frame, drawn at (0, 0); pressing anywhere in it drags the window.
class TPreviewPicture : public TCustomControl {
public:
    explicit TPreviewPicture(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TPreviewPicture"); }
    TBitmap& Picture() { return FPicture; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TBitmap FPicture;
};

class TPreviewForm : public TForm, public IPreviewWindow {
public:
    // onClosed runs when the user closes the window.
    explicit TPreviewForm(std::function<void()> onClosed);
    String ClassName() const override { return String::fromLatin1("TPreviewForm"); }

    void PaintFrame(const QImage& picture, int frameNumber, int64_t pts) override;
    int FrameNumber() const { return FFrameNumber; }
    TPreviewPicture* Picture() const { return FPictureControl; }

private:
    void closeQuery(TObject* Sender, bool& CanClose);

    std::function<void()> FOnClosed;
    TPreviewPicture* FPictureControl;  // owned by the form
    bool FShownOnce = false;
    int FFrameNumber = 0;
};

// Makes previewers show TPreviewForm windows.
void InstallPreviewForm();
