// vlDragAndDropWindows.cpp - the control drag object and the windows that
// show a drag: an image, a size frame and the drop-position arrow.
#include <QWidget>

#include "ui/foundation/vlDragAndDrop.h"

// ------------------------------------------------------------- drag object

TCursor TvlDragControlObject::GetDragCursor(bool Accepted, int X, int Y)
{
    auto* control = dynamic_cast<TvlControl*>(Control());
    if (Accepted && control != nullptr && control->IsCopyDragDrop())
        return crvlDragCopy;
    return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

// ------------------------------------------------------------ drag image

TvlCustomDragImage::TvlCustomDragImage()
{
    SetBounds(0, 0, 0, 0);
    // A window made while the base classes were being built has their
    // flags: give it this kind's.
    if (HandleAllocated()) {
        UpdateWidget();
        applyWindowAttributes();
    }
}

TvlCustomDragImage::~TvlCustomDragImage() = default;

void TvlCustomDragImage::AdjustWindowFlags(Qt::WindowFlags& Flags) const
{
    Flags |= Qt::Tool | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;
}

void TvlCustomDragImage::InitializeWidget()
{
    TvlPopupWindow::InitializeWidget();
    applyWindowAttributes();
}

void TvlCustomDragImage::applyWindowAttributes()
{
    QWidget* w = Widget();
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    applyOpacity();
}

void TvlCustomDragImage::applyOpacity()
{
    // Takes effect only under a compositing window manager.
    if (HandleAllocated())
        Widget()->setWindowOpacity(FAlphaBlend ? FAlphaBlendValue / 255.0 : 1.0);
}

void TvlCustomDragImage::SetAlphaBlend(bool Value)
{
    FAlphaBlend = Value;
    applyOpacity();
}

void TvlCustomDragImage::SetAlphaBlendValue(uint8_t Value)
{
    FAlphaBlendValue = Value;
    applyOpacity();
}

void TvlCustomDragImage::Init(const TRect& ASourceBounds, const TPoint& AHotSpot)
{
    SetWidth(ASourceBounds.Width());
    SetHeight(ASourceBounds.Height());
    FPositionOffset = TPoint{AHotSpot.X - ASourceBounds.Left, AHotSpot.Y - ASourceBounds.Top};
}

void TvlCustomDragImage::MoveTo(const TPoint& P)
{
    HandleNeeded();
    SetBounds(P.X - FPositionOffset.X, P.Y - FPositionOffset.Y, Width(), Height());
}

void TvlCustomDragImage::ShowImage()
{
    SetVisible(true);
    Update();
}

void TvlCustomDragImage::HideImage()
{
    if (HandleAllocated())
        SetVisible(false);
}

bool TvlCustomDragImage::ImageVisible() { return HandleAllocated() && Widget()->isVisible(); }

void TvlCustomDragImage::SetImageVisible(bool Value)
{
    if (Value == ImageVisible())
        return;
    if (Value)
        ShowImage();
    else
        HideImage();
}

TvlDragImage::TvlDragImage()
    : FImage(std::make_unique<TBitmap>()), FImageCanvas(std::make_unique<TvlCanvas>(FImage->Canvas()))
{
}

TvlDragImage::~TvlDragImage() = default;

void TvlDragImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TvlCustomDragImage::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FImage != nullptr)
        FImage->SetSize(Width(), Height());
}

void TvlDragImage::Paint()
{
    TvlCustomDragImage::Paint();
    PopupCanvas()->Canvas()->Draw(0, 0, FImage.get());
}

// ------------------------------------------------------------ size frame

TvlSizeFrame::TvlSizeFrame(int AFrameWidth)
    : FFrameWidth(AFrameWidth), FRegion(std::make_unique<TvlRegion>()), FPattern(std::make_unique<TBitmap>())
{
    SetAlphaBlend(false);
    // Black and white pixels alternating: the hatch of the ring.
    FPattern->SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            FPattern->Canvas()->SetPixels(x, y, (x + y) % 2 == 0 ? clBlack : clWhite);
}

TvlSizeFrame::~TvlSizeFrame() = default;

void TvlSizeFrame::DrawSizeFrame(const TRect& R)
{
    FRegion = std::make_unique<TvlRegion>(0, 0, R.Width(), R.Height());
    SetBounds(R.Left, R.Top, R.Width(), R.Height());
}

void TvlSizeFrame::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TvlCustomDragImage::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!HandleAllocated() || FRegion == nullptr || 2 * FFrameWidth >= AWidth || 2 * FFrameWidth >= AHeight)
        return;
    // The inner rectangle: what stays of the region after cutting it with
    // itself moved by the frame width in each of the four directions.
    TvlRegion inner;
    inner.Combine(*FRegion, roSet);
    const TPoint offsets[] = {{FFrameWidth, 0}, {0, FFrameWidth}, {-FFrameWidth, 0}, {0, -FFrameWidth}};
    for (const TPoint& o : offsets) {
        TvlRegion moved;
        moved.Combine(inner, roSet);
        moved.Offset(o.X, o.Y);
        inner.Combine(moved, roIntersect);
    }
    FRegion->Combine(inner, roSubtract);
    if (!HasWindowRegion() || WindowRegion() != FRegion->Handle().Region())
        SetWindowRegion(&FRegion->Handle());
}

void TvlSizeFrame::Paint()
{
    TCanvas* canvas = PopupCanvas()->Canvas();
    canvas->Brush()->SetBitmap(FPattern.get());
    canvas->FillRect(ClientRect());
}

// ----------------------------------------------------------------- arrow

TvlDragAndDropArrow::TvlDragAndDropArrow(bool ATransparent) : FTransparent(ATransparent) { SetAlphaBlend(false); }

void TvlDragAndDropArrow::Init(TControl* AOwner, const TRect& AArrowRect, const TRect& AClipRect,
                               TvlDragAndDropArrowPlace APlace)
{
    const TPoint origin = AOwner != nullptr ? AOwner->ClientToScreen(TPoint{0, 0}) : TPoint{0, 0};
    TRect r;
    GetDragAndDropArrowBounds(AArrowRect, AClipRect, APlace, r);
    OffsetRect(r, origin.X, origin.Y);
    HandleNeeded();
    SetBoundsRect(r);
    const TRect client = Rect(0, 0, r.Width(), r.Height());
    ImageCanvas()->FillRectByColor(client, GetTransparentColor());
    DrawDragAndDropArrow(ImageCanvas(), client, APlace);
    if (!useTransparentColor()) {
        TvlArrowPolygon points;
        GetDragAndDropArrowPoints(client, APlace, points, true);
        const TRegion region = CreatePolygonRgn(points, WINDING);
        SetWindowRegion(&region);
    } else {
        // The colour key: the pixels of the transparent colour are left out.
        const QImage image = Image()->Image();
        const QRgb key = ColorToQColor(GetTransparentColor()).rgb() & 0xFFFFFF;
        QRegion shown;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != key)
                    shown += QRect(x, y, 1, 1);
        const TRegion region(shown);
        SetWindowRegion(&region);
    }
    Invalidate();
}
