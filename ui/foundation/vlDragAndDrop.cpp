#include "ui/foundation/vlDragAndDrop.h"

#include <algorithm>

TvlDragAndDropObject::TvlDragAndDropObject(TvlControl* AControl) : FControl(AControl) {}

TPoint TvlDragAndDropObject::GetClientCursorPos() const
{
    return FControl != nullptr ? FControl->ScreenToClient(Mouse->CursorPos()) : Mouse->CursorPos();
}

void TvlDragAndDropObject::SetDirty(bool Value)
{
    if (Value == FDirty)
        return;
    FDirty = Value;
    DirtyChanged();
}

void TvlDragAndDropObject::DoBeginDragAndDrop()
{
    FCurMousePos = FPrevMousePos = GetClientCursorPos();
    BeginDragAndDrop();
}

void TvlDragAndDropObject::DoDragAndDrop(const TPoint& P, bool& Accepted)
{
    FPrevMousePos = FCurMousePos;
    FCurMousePos = P;
    DragAndDrop(P, Accepted);
}

void TvlDragAndDropObject::DoEndDragAndDrop(bool Accepted)
{
    EndDragAndDrop(Accepted);
    AfterDragAndDrop(Accepted);
}

void TvlDragAndDropObject::DragAndDrop(const TPoint&, bool& Accepted)
{
    SetDirty(false);
    if (Screen != nullptr)
        Screen->SetCursor(GetDragAndDropCursor(Accepted));
}

void GetDragAndDropArrowBounds(const TRect& R, const TRect& AClipRect, TvlDragAndDropArrowPlace APlace,
                               TRect& AResult)
{
    AResult = R;
    if (!AClipRect.IsEmpty()) {
        auto clamp = [](int& V, int Lo, int Hi) {
            V = std::max(V, Lo);
            V = std::min(V, Hi);
        };
        clamp(AResult.Left, AClipRect.Left, AClipRect.Right - 1);
        clamp(AResult.Right, AClipRect.Left, AClipRect.Right - 1);
        clamp(AResult.Top, AClipRect.Top, AClipRect.Bottom - 1);
        clamp(AResult.Bottom, AClipRect.Top, AClipRect.Bottom - 1);
    }
    switch (APlace) {
    case apLeft: AResult = Rect(AResult.Left - 9, AResult.Top - 5, AResult.Left, AResult.Top + 6); break;
    case apRight: AResult = Rect(AResult.Right, AResult.Top - 5, AResult.Right + 9, AResult.Top + 6); break;
    case apTop: AResult = Rect(AResult.Left - 5, AResult.Top - 9, AResult.Left + 6, AResult.Top); break;
    case apBottom: AResult = Rect(AResult.Left - 5, AResult.Bottom, AResult.Left + 6, AResult.Bottom + 9); break;
    }
}

void GetDragAndDropArrowPoints(const TRect& R, TvlDragAndDropArrowPlace APlace, TvlArrowPolygon& APoints,
                               bool AForRegion)
{
    const int d = AForRegion ? 1 : 0;
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    switch (APlace) {
    case apLeft:
        APoints = {{{L + 3, T - d}, {L + 3, T + 3}, {L, T + 3}, {L, B + d - 4}, {L + 3, B + d - 4}, {L + 3, B + d - 1},
                    {Rt + d - 1, T + 5}}};
        break;
    case apTop:
        APoints = {{{L + 3, T}, {Rt + d - 4, T}, {Rt + d - 4, T + 3}, {Rt + d - 1, T + 3}, {L + 5, B + d - 1},
                    {L, T + 3}, {L + 3, T + 3}}};
        break;
    case apRight:
        APoints = {{{Rt + d - 4, T - d}, {Rt + d - 4, T + 3}, {Rt + d - 1, T + 3}, {Rt + d - 1, B + d - 4},
                    {Rt + d - 4, B + d - 4}, {Rt + d - 4, B + d - 1}, {L, T + 5}}};
        break;
    case apBottom:
        // The last point carries the region adjustment like every other
        // point of the base, so the window shape stays symmetric.
        APoints = {{{L + 3, B + d - 1}, {Rt + d - 4, B + d - 1}, {Rt + d - 4, B + d - 4}, {Rt + d - 1, B + d - 4},
                    {L + 5, T - d}, {L - d, B + d - 4}, {L + 3, B + d - 4}}};
        break;
    }
}

void DrawDragAndDropArrow(TvlCanvas* ACanvas, const TRect& R, TvlDragAndDropArrowPlace APlace)
{
    TvlArrowPolygon points;
    GetDragAndDropArrowPoints(R, APlace, points, false);
    ACanvas->SetBrushColor(clLime);
    ACanvas->Pen()->SetColor(clBlack);
    ACanvas->Polygon(points);
}
