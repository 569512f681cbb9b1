// The preview window over the platform's forms; everything here runs in the
// main thread (TPreviewer posts it there).
#include "engine/preview/PreviewForm.h"

#include <QWidget>
#include <QWindow>

extern "C" {
#include <libavutil/avutil.h>
}

#include "engine/FFUtils.h"

TPreviewPicture::TPreviewPicture(TComponent* AOwner) : TCustomControl(AOwner) {}

void TPreviewPicture::Paint()
{
    if (!FPicture.Empty())
        Canvas()->Draw(0, 0, &FPicture);
}

void TPreviewPicture::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    // Dragging the picture moves the window, as dragging its caption would.
    if (Button == mbLeft)
        if (TCustomForm* form = GetParentForm(this))
            if (QWindow* window = form->Widget()->windowHandle())
                window->startSystemMove();
}

TPreviewForm::TPreviewForm(std::function<void()> onClosed) : TForm(nullptr), FOnClosed(std::move(onClosed))
{
    SetFormStyle(fsStayOnTop);
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    OnCloseQuery = TCloseQueryEvent(this, &TPreviewForm::closeQuery);
    auto picture = std::make_unique<TPreviewPicture>(this);
    FPictureControl = picture.release();  // the form owns its components
    FPictureControl->SetParent(this);
    FPictureControl->SetAlign(alClient);
}

void TPreviewForm::closeQuery(TObject*, bool& CanClose)
{
    CanClose = true;
    if (FOnClosed)
        FOnClosed();
}

void TPreviewForm::PaintFrame(const QImage& picture, int frameNumber, int64_t pts)
{
    FFrameNumber = frameNumber;
    FPictureControl->Picture().SetImage(picture);
    if (!FShownOnce) {
        FShownOnce = true;
        SetClientWidth(picture.width());
        SetClientHeight(picture.height());
        Show();
    }
    SetCaption(MicrosecondsToText(pts));
    FPictureControl->Invalidate();
}

void InstallPreviewForm()
{
    SetPreviewWindowFactory([](std::function<void()> onClosed) -> std::unique_ptr<IPreviewWindow> {
        return std::make_unique<TPreviewForm>(std::move(onClosed));
    });
}
