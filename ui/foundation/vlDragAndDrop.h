// vlDragAndDrop.h - one internal drag-and-drop operation of a control, the
// drag objects of the controls, and the windows that show where a drag is.
#pragma once
#include <array>
#include <memory>

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

// ------------------------------------------------------------ drag objects

// A drag of a TvlControl: a copy (Ctrl held) over an accepting target shows
// the copy cursor.
class TvlDragControlObject : public TDragControlObject {
public:
    using TDragControlObject::TDragControlObject;
    String ClassName() const override { return String::fromLatin1("TvlDragControlObject"); }
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;
};

class TvlDragImageList : public TDragImageList {
public:
    using TDragImageList::TDragImageList;
    String ClassName() const override { return String::fromLatin1("TvlDragImageList"); }
};

// ---------------------------------------------------------- drag feedback

// A window that shows where a drag is: frameless, never taking the mouse
// (clicks reach what lies below) nor the activation. Its translucency
// needs a compositing window manager; without one it is opaque.
class TvlCustomDragImage : public TvlPopupWindow {
public:
    TvlCustomDragImage();
    ~TvlCustomDragImage() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomDragImage"); }

    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(uint8_t Value);
    bool AlphaBlended() const { return FAlphaBlend; }
    // Where the pointer lies inside the window.
    TPoint PositionOffset() const { return FPositionOffset; }
    // The window takes the size of ASourceBounds; AHotSpot is the pointer's
    // point in the same coordinates.
    void Init(const TRect& ASourceBounds, const TPoint& AHotSpot);
    // Puts the window with its pointer point at P (screen).
    void MoveTo(const TPoint& P);
    // Shows without activating and paints at once.
    void ShowImage();
    void HideImage();
    bool ImageVisible();
    void SetImageVisible(bool Value);

protected:
    void AdjustWindowFlags(Qt::WindowFlags& Flags) const override;
    void InitializeWidget() override;
    void EraseBackground(HDC DC) override { (void)DC; }

private:
    void applyOpacity();
    void applyWindowAttributes();
    bool FAlphaBlend = true;
    uint8_t FAlphaBlendValue = 180;
    TPoint FPositionOffset;
};

// A bitmap under the pointer; users draw into ImageCanvas.
class TvlDragImage : public TvlCustomDragImage {
public:
    TvlDragImage();
    ~TvlDragImage() override;
    String ClassName() const override { return String::fromLatin1("TvlDragImage"); }
    TBitmap* Image() const { return FImage.get(); }
    TvlCanvas* ImageCanvas() const { return FImageCanvas.get(); }
    // The image follows the window's size.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> FImage;
    std::unique_ptr<TvlCanvas> FImageCanvas;
};

// A hatched ring FrameWidth wide showing a size or selection rectangle.
class TvlSizeFrame : public TvlCustomDragImage {
public:
    explicit TvlSizeFrame(int AFrameWidth);
    ~TvlSizeFrame() override;
    String ClassName() const override { return String::fromLatin1("TvlSizeFrame"); }
    int FrameWidth() const { return FFrameWidth; }
    const TvlRegion* Region() const { return FRegion.get(); }
    // Shows the ring around R (screen).
    void DrawSizeFrame(const TRect& R);
    // A frame too small for its ring keeps its previous shape.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Paint() override;

private:
    int FFrameWidth;
    std::unique_ptr<TvlRegion> FRegion;
    std::unique_ptr<TBitmap> FPattern;
};

// The arrow that marks a drop position, shaped by its polygon, or (made
// Transparent) by leaving out the pixels of the transparent colour.
class TvlDragAndDropArrow : public TvlDragImage {
public:
    explicit TvlDragAndDropArrow(bool ATransparent);
    String ClassName() const override { return String::fromLatin1("TvlDragAndDropArrow"); }
    bool Transparent() const { return FTransparent; }
    virtual TColor GetTransparentColor() const { return clFuchsia; }
    // Places the arrow at APlace of AArrowRect (AOwner's client
    // coordinates, or the screen's without an owner), clamped into AClipRect.
    void Init(TControl* AOwner, const TRect& AArrowRect, const TRect& AClipRect, TvlDragAndDropArrowPlace APlace);

private:
    bool useTransparentColor() const { return FTransparent; }
    bool FTransparent;
};
