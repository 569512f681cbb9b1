// The options dialog's preview of the source: stepping, seeking and drawing
// frames of the decoder the dialog works on, all in the main thread.
#include <cmath>

#include "app/OptionsU.h"
#include "platform/graphics/Graphics.h"

namespace {

constexpr int PreviewWidth = 228;
constexpr int PreviewHeight = 159;

// Rounding to the nearest integer, halves to even.
int64_t roundEven(double value)
{
    return int64_t(std::nearbyint(value));
}

// The flag is cleared however the work ends.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

}  // namespace

String FormatPTS(int64_t Microseconds)
{
    const int64_t t = Microseconds;
    const int64_t hours = t / 1000000 / 60 / 60;
    const int64_t minutes = (t / 1000000 / 60) % 60;
    const int64_t seconds = (t / 1000000) % 60;
    const int64_t milliseconds = (t % 1000000) * 1000 / 1000000;
    return Format(QStringLiteral("%.2d:%.2d:%.2d.%.3d"), {hours, minutes, seconds, milliseconds});
}

TRect FitRect(const TRect& Picture, const TRect& Box)
{
    const double a = double(Picture.Width()) / Box.Width();
    const double b = double(Picture.Height()) / Box.Height();
    TRect r = Box;
    if (a >= b) {
        const int c = int(roundEven((Box.Height() - Picture.Height() / a) / 2));
        r.Top = Box.Top + c;
        r.Bottom = Box.Bottom - c;
    } else {
        const int c = int(roundEven((Box.Width() - Picture.Width() / b) / 2));
        r.Left = Box.Left + c;
        r.Right = Box.Right - c;
    }
    return r;
}

void DrawLetterboxed(TCanvas* Canvas, TBitmap* Bitmap)
{
    if (int64_t(Bitmap->Width()) * Bitmap->Height() == 0)
        return;
    const TRect box = Canvas->ClipRect();
    const TRect picture = Bitmap->Canvas()->ClipRect();
    Canvas->StretchDraw(FitRect(picture, box), Bitmap);
}

TBitmap* TfrmOption::PreviewPicture() const
{
    TBitmap* picture = imgPreview->Picture()->Bitmap();
    if (picture->Width() != PreviewWidth || picture->Height() != PreviewHeight)
        picture->SetSize(PreviewWidth, PreviewHeight);
    return picture;
}

void TfrmOption::ClearPreview()
{
    FFileDuration = 0;
    FFrameCount = 0;
    FCurrentPTS = 0;
    FPreviewFrame->SetSize(0, 0);
    TCanvas* canvas = PreviewPicture()->Canvas();
    canvas->Brush()->SetColor(clBlack);
    canvas->FillRect(canvas->ClipRect());
    imgPreview->Invalidate();
    trcPreview->SetEnabled(false);
    trcPreview->SetPosition(0);
    UpdatePreviewTrackBar();
    lblPTS->SetCaption(FormatPTS(0) + u' ');
}

void TfrmOption::UpdatePreviewTrackBar()
{
    const bool wasEnabled = trcPreview->Enabled();
    trcPreview->SetEnabled(false);
    const double r = trcPreview->Max() > 0 ? double(trcPreview->Position()) / trcPreview->Max() : 0.0;
    if (FFrameCount > 0)
        trcPreview->SetMax(FFrameCount);
    const int max = trcPreview->Max();
    trcPreview->SetFrequency(max <= 10 ? 1 : max / 10);
    trcPreview->SetPageSize(max <= 9 ? 2 : max >= 100 ? max / 20 : 5);
    const int position = int(roundEven(r * max));
    trcPreview->SetPosition(position);
    FLastTrackPosition = trcPreview->Position();
    trcPreview->SetEnabled(wasEnabled);
    trcPreview->SetSliderVisible(wasEnabled);
}

void TfrmOption::ShowCurrentFrame()
{
    const int64_t pts = FDecoder->FramePTS();
    FCurrentPTS = pts == AV_NOPTS_VALUE ? 0 : pts;
    lblPTS->SetCaption(FormatPTS(FCurrentPTS) + u' ');
    if (!FTrackUpdating && FFileDuration > 0) {
        const TFlagScope updating(FTrackUpdating);
        const int max = trcPreview->Max();
        const int64_t product = int64_t(max) * FCurrentPTS;
        trcPreview->SetPosition(int(std::min<int64_t>(roundEven(double(product) / FFileDuration), max)));
    }
    if (FDecoder->CopyToBitmap(FPreviewFrame.get())) {
        DrawLetterboxed(PreviewPicture()->Canvas(), FPreviewFrame.get());
        imgPreview->Invalidate();
    }
}

void TfrmOption::ShowNextFrame()
{
    if (FDecoder != nullptr && FDecoder->DecodeNextFrame(-1))
        ShowCurrentFrame();
}

void TfrmOption::ShowPreviousFrame()
{
    if (FDecoder != nullptr && FDecoder->DecodePreviousFrame(-1))
        ShowCurrentFrame();
}

void TfrmOption::SeekAndShow(int64_t Time)
{
    if (FDecoder == nullptr)
        return;
    if (!FDecoder->Seek({}, Time) && !FDecoder->Seek({sfBackward}, Time) && !FDecoder->Seek({sfAny}, Time))
        return;
    if (!FDecoder->DecodeNextFrame(-1))
        return;
    // A frame without a time reads as before every target: decoding goes on
    // to the end at worst, and the last picture decoded is shown.
    while (Time > 0 && FDecoder->FramePTS() < Time)
        if (!FDecoder->DecodeNextFrame(-1))
            break;
    ShowCurrentFrame();
}

void TfrmOption::trcPreviewChange(TObject*)
{
    if (FTrackUpdating || !trcPreview->Enabled() || FDecoder == nullptr || !FDecoder->Loaded() ||
        FDecoder->VideoStreamCount() <= 0)
        return;
    const int position = trcPreview->Position();
    if (position == FLastTrackPosition)
        return;
    struct TFinally {
        TfrmOption* Form;
        int Position;
        ~TFinally() { Form->FLastTrackPosition = Position; }
    } finally{this, position};
    const TFlagScope updating(FTrackUpdating);
    const int max = trcPreview->Max();
    const int64_t target = max >= 1 ? roundEven(double(position) / max * FFileDuration) : 0;
    if (position == FLastTrackPosition + 1)
        ShowNextFrame();
    else if (position == FLastTrackPosition - 1)
        ShowPreviousFrame();
    else
        SeekAndShow(target);
}

void TfrmOption::imgPreviewClick(TObject*)
{
}
