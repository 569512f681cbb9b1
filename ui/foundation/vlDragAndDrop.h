// vlDragAndDrop.h - one internal drag-and-drop operation of a control, and
// the small arrow that marks a drop position.
#pragma once
#include <array>

#include "ui/foundation/vlControls.h"

// One operation: the control calls DoBeginDragAndDrop, any number of
// DoDragAndDrop and one DoEndDragAndDrop; descendants override the hooks.
class TvlDragAndDropObject : public TObject {
public:
    explicit TvlDragAndDropObject(TvlControl* AControl);
    String ClassName() const override { return String::fromLatin1("TvlDragAndDropObject"); }

    void DoBeginDragAndDrop();
    void DoDragAndDrop(const TPoint& P, bool& Accepted);
    void DoEndDragAndDrop(bool Accepted);

    TvlControl* Control() const { return FControl; }
    TPoint CurMousePos() const { return FCurMousePos; }
    TPoint PrevMousePos() const { return FPrevMousePos; }
    bool Dirty() const { return FDirty; }
    void SetDirty(bool Value);
    virtual bool GetImmediateStart() const { return false; }

protected:
    virtual void DirtyChanged() {}
    virtual TPoint GetClientCursorPos() const;
    virtual TCursor GetDragAndDropCursor(bool Accepted) const { return Accepted ? crDrag : crNoDrop; }
    virtual void AfterDragAndDrop(bool Accepted) { (void)Accepted; }
    virtual void BeginDragAndDrop() { DirtyChanged(); }
    virtual void DragAndDrop(const TPoint& P, bool& Accepted);
    virtual void EndDragAndDrop(bool Accepted) { (void)Accepted; SetDirty(true); }

private:
    TvlControl* FControl;
    TPoint FCurMousePos{-1, -1};
    TPoint FPrevMousePos{-1, -1};
    bool FDirty = false;
};

// The side of the marked rectangle the arrow stands at, pointing at it.
enum TvlDragAndDropArrowPlace { apLeft, apTop, apRight, apBottom };
using TvlArrowPolygon = std::array<TPoint, 7>;

// The arrow's rectangle at the left or top edge of R (clamped into a
// non-empty AClipRect first).
void GetDragAndDropArrowBounds(const TRect& R, const TRect& AClipRect, TvlDragAndDropArrowPlace APlace,
                               TRect& AResult);
// The arrow's seven points in R; AForRegion gives the outline of a window
// region (one pixel further on the right and bottom sides).
void GetDragAndDropArrowPoints(const TRect& R, TvlDragAndDropArrowPlace APlace, TvlArrowPolygon& APoints,
                               bool AForRegion);
void DrawDragAndDropArrow(TvlCanvas* ACanvas, const TRect& R, TvlDragAndDropArrowPlace APlace);
