// vlScrollBar.h - a scroll bar that is a plain control of its own: it
// computes its arrows, thumb and page areas, repeats presses, tracks the
// thumb and draws every part through the painter of its look.
#pragma once
#include <memory>

#include "platform/controls/Controls.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"

class TvlTimer;
class TvlScrollBar;
class TvxThemeChangedNotificator;

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
using TScrollBarInc = int16_t;
using TScrollEvent = TDelegate<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// The geometry of one bar, in its client coordinates. With no thumb both
// page rectangles are empty.
class TvlScrollBarViewInfo : public TObject {
public:
    explicit TvlScrollBarViewInfo(TvlScrollBar* AScrollBar) : FScrollBar(AScrollBar) {}
    virtual void Calculate();
    void Recalculate() { Calculate(); }
    void CalculateThumbRect();
    void CalculatePageRects();
    void UpdateMinThumbLength();
    // Moves the thumb along the bar so that it starts at Value.
    void SetThumbStart(int Value);

    const TRect& BottomRightArrowRect() const { return FBottomRightArrowRect; }
    const TRect& PageDownRect() const { return FPageDownRect; }
    const TRect& PageUpRect() const { return FPageUpRect; }
    const TRect& ThumbRect() const { return FThumbRect; }
    const TRect& TopLeftArrowRect() const { return FTopLeftArrowRect; }
    int MinThumbLength() const { return FMinThumbLength; }
    TvlScrollBar* ScrollBar() const { return FScrollBar; }

    // Along the bar: where the first arrow ends, the second starts, the
    // thumb starts, and the thumb's length.
    int TrackStart() const;
    int TrackEnd() const;
    int ThumbStart() const;
    int ThumbLength() const;

private:
    TRect FBottomRightArrowRect;
    TRect FPageDownRect;
    TRect FPageUpRect;
    TvlScrollBar* FScrollBar;
    TRect FThumbRect;
    int FMinThumbLength = 0;
    TRect FTopLeftArrowRect;
};

class TvlScrollBar : public TCustomControl {
public:
    explicit TvlScrollBar(TComponent* AOwner);
    ~TvlScrollBar() override;
    String ClassName() const override { return String::fromLatin1("TvlScrollBar"); }

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    TScrollBarInc LargeChange() const { return FLargeChange; }
    void SetLargeChange(TScrollBarInc Value) { FLargeChange = Value; }
    TScrollBarInc SmallChange() const { return FSmallChange; }
    void SetSmallChange(TScrollBarInc Value) { FSmallChange = Value; }
    TvlLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(const TvlLookAndFeel* Value);
    int Max() const { return FMax; }
    void SetMax(int Value) { SetScrollParams(FMin, Value, FPosition, FPageSize); }
    int Min() const { return FMin; }
    void SetMin(int Value) { SetScrollParams(Value, FMax, FPosition, FPageSize); }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value) { SetScrollParams(FMin, FMax, FPosition, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetScrollParams(FMin, FMax, Value, FPageSize); }
    // Tracking the thumb ignores how far the pointer moves away from the bar.
    bool UnlimitedTracking() const { return FUnlimitedTracking; }
    void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    // Sets range, page and position at once; a page larger than the range,
    // or Max below Min, raises EInvalidOperation and changes nothing.
    void SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw = true);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    void Scroll(TScrollCode AScrollCode);
    void ScrollByPart(TvlScrollBarPartKind APart);
    void StopScroll();
    TvlScrollBarPartKind HitTest(const TPoint& P) const;
    TvlButtonState GetPartState(TvlScrollBarPartKind APart) const;
    // The position the thumb's place stands for (not clamped).
    int PositionFromThumb() const;
    TvlLookAndFeelPainterClass GetPainter() const;
    // The system's scroll-bar thickness: width of a vertical, height of a
    // horizontal bar.
    static TSize GetScrollBarSize();

    TvlScrollBarViewInfo* ViewInfo() const { return FViewInfo.get(); }
    TvlScrollBarPartKind PressedPart() const { return FPressedPart; }
    TvlScrollBarPartKind HotPart() const { return FHotPart; }
    TvlTimer* RepeatTimer() const { return FTimer.get(); }
    // The shortest thumb the look draws.
    virtual int GetMinThumbLength() const;

protected:
    virtual void Change();
    virtual void DrawScrollBar(TvlCanvas* ACanvas);
    virtual void DrawBarBackground(TvlCanvas* ACanvas, const TRect& R);
    virtual void DrawPartWithState(TvlCanvas* ACanvas, const TRect& R, TvlScrollBarPartKind APart,
                                   TvlButtonState AState);
    virtual void DrawPart(TvlCanvas* ACanvas, const TRect& R, TvlScrollBarPartKind APart);
    virtual bool IsHotTrack() const;
    virtual void DoScroll(TScrollCode AScrollCode, int& AScrollPos);
    virtual void MouseEnter(TControl* AControl);
    virtual void MouseLeave(TControl* AControl);

    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void EraseBackground(HDC DC) override { (void)DC; }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void lookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues);
    void themeChanged();
    void repeatTimerHandler(TObject* Sender);
    bool isArrowOrPage(TvlScrollBarPartKind APart) const { return APart != sbpNone && APart != sbpThumbnail; }
    int alongBar(const TPoint& P) const { return FKind == sbHorizontal ? P.X : P.Y; }

    TPoint FDownMousePos;
    TScrollBarKind FKind = sbHorizontal;
    TScrollBarInc FLargeChange = 1;
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
    int FMax = 100;
    int FMin = 0;
    int FPageSize = 0;
    int FPosition = 0;
    int FSavePosition = 0;
    TPoint FSaveThumbPos;
    bool FThumbMoved = false;
    TScrollBarInc FSmallChange = 1;
    std::unique_ptr<TvxThemeChangedNotificator> FThemeChangedNotificator;
    std::unique_ptr<TvlTimer> FTimer;
    bool FUnlimitedTracking = false;
    TvlScrollBarPartKind FPressedPart = sbpNone;
    TvlScrollBarPartKind FHotPart = sbpNone;
    std::unique_ptr<TvlScrollBarViewInfo> FViewInfo;
};

namespace vlScrollBarConsts {
VORLANE_RESOURCESTRING(SScrollBarRange, "Scrollbar property out of range");
}  // namespace vlScrollBarConsts
