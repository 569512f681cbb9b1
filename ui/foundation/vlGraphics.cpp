#include "ui/foundation/vlGraphics.h"

#include <QImage>

#include "platform/graphics/Bitmap.h"

void TvlCanvas::FillRect(const TRect& R, TColor AColor)
{
    if (R.IsEmpty())
        return;
    const TDCBrush brush{ColorToRGB(AColor), dbsSolid};
    ::FillRect(Handle(), R, &brush);
}

void TvlCanvas::FillRectByBitmap(const TRect& R, const TBitmap* ABitmap, TColor AColor)
{
    if (R.IsEmpty())
        return;
    if (ABitmap == nullptr || ABitmap->Empty()) {
        FillRect(R, AColor);
        return;
    }
    const QImage image = ABitmap->ToImage();
    const int w = image.width(), h = image.height();
    SaveClipRegion();
    IntersectClipRect(R);
    for (int y = R.Top; y < R.Bottom; y += h)
        for (int x = R.Left; x < R.Right; x += w)
            ::DrawImage(Handle(), Bounds(x, y, w, h), image);
    RestoreClipRegion();
}

void TvlCanvas::FrameRect(const TRect& R, TColor AColor, uint32_t ASides)
{
    if (R.IsEmpty())
        return;
    if (ASides & BF_LEFT)
        FillRect(Rect(R.Left, R.Top, R.Left + 1, R.Bottom), AColor);
    if (ASides & BF_TOP)
        FillRect(Rect(R.Left, R.Top, R.Right, R.Top + 1), AColor);
    if (ASides & BF_RIGHT)
        FillRect(Rect(R.Right - 1, R.Top, R.Right, R.Bottom), AColor);
    if (ASides & BF_BOTTOM)
        FillRect(Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom), AColor);
}

void TvlCanvas::DrawEdge(TRect R, uint32_t AEdge, uint32_t AFlags)
{
    ::DrawEdge(Handle(), R, AEdge, AFlags);
}

void TvlCanvas::DrawFrameControl(const TRect& R, uint32_t AType, uint32_t AState)
{
    ::DrawFrameControl(Handle(), R, AType, AState);
}

void TvlCanvas::DrawText(const String& AText, TRect R, uint32_t AFlags, TColor AColor)
{
    if (AText.isEmpty())
        return;
    const TBrushStyle oldStyle = FCanvas->Brush()->Style();
    const TColor oldColor = FCanvas->Font()->Color();
    FCanvas->Brush()->SetStyle(bsClear);
    FCanvas->Font()->SetColor(AColor);
    FCanvas->TextRect(R, AText, AFlags);
    FCanvas->Font()->SetColor(oldColor);
    FCanvas->Brush()->SetStyle(oldStyle);
}

void TvlCanvas::DrawImage(const TImageList* AImages, int AIndex, int X, int Y, bool AEnabled)
{
    if (AImages != nullptr)
        AImages->Draw(FCanvas, X, Y, AIndex, AEnabled);
}

void TvlCanvas::SaveClipRegion() { FSavedDCs.push_back(SaveDC(Handle())); }

void TvlCanvas::RestoreClipRegion()
{
    if (FSavedDCs.empty())
        return;
    RestoreDC(Handle(), FSavedDCs.back());
    FSavedDCs.pop_back();
}

void TvlCanvas::IntersectClipRect(const TRect& R) { ::IntersectClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom); }

void TvlCanvas::ExcludeClipRect(const TRect& R) { ::ExcludeClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom); }
