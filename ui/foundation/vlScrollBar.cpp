#include "ui/foundation/vlScrollBar.h"

#include <algorithm>

#include "platform/graphics/SysMetrics.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

// How far the pointer may stray from the bar while the thumb is tracked:
// along the bar and across it.
constexpr int TrackingBandAlong = 34;
constexpr int TrackingBandAcross = 136;
constexpr unsigned FirstRepeatDelay = 400;
constexpr unsigned RepeatInterval = 60;

}  // namespace

// ---------------------------------------------------------------- view info

int TvlScrollBarViewInfo::TrackStart() const
{
    return FScrollBar->Kind() == sbHorizontal ? FTopLeftArrowRect.Right : FTopLeftArrowRect.Bottom;
}

int TvlScrollBarViewInfo::TrackEnd() const
{
    return FScrollBar->Kind() == sbHorizontal ? FBottomRightArrowRect.Left : FBottomRightArrowRect.Top;
}

int TvlScrollBarViewInfo::ThumbStart() const
{
    return FScrollBar->Kind() == sbHorizontal ? FThumbRect.Left : FThumbRect.Top;
}

int TvlScrollBarViewInfo::ThumbLength() const
{
    return FScrollBar->Kind() == sbHorizontal ? FThumbRect.Width() : FThumbRect.Height();
}

void TvlScrollBarViewInfo::Calculate()
{
    const int w = FScrollBar->Width(), h = FScrollBar->Height();
    // The arrows take the system thickness, not the bar's.
    if (FScrollBar->Kind() == sbHorizontal) {
        const int a = std::min(TvlScrollBar::GetScrollBarSize().cy, w / 2);
        FTopLeftArrowRect = Bounds(0, 0, a, h);
        FBottomRightArrowRect = Bounds(w - a, 0, a, h);
    } else {
        const int a = std::min(TvlScrollBar::GetScrollBarSize().cx, h / 2);
        FTopLeftArrowRect = Bounds(0, 0, w, a);
        FBottomRightArrowRect = Bounds(0, h - a, w, a);
    }
    CalculateThumbRect();
}

void TvlScrollBarViewInfo::CalculateThumbRect()
{
    FThumbRect = TRect();
    CalculatePageRects();
    const TvlScrollBar* bar = FScrollBar;
    if (!bar->Enabled())
        return;
    const int first = TrackStart();
    const int track = TrackEnd() - first;
    const int min = bar->Min(), max = bar->Max(), page = bar->PageSize(), pos = bar->Position();
    int length = 0, start = first;
    if (page != 0) {
        length = std::min(track, MulDiv(page, track, max - min + 1));
        if (track < FMinThumbLength || max == min)
            return;
        length = std::max(length, FMinThumbLength);
        // A page that covers the whole range leaves no room to move: the
        // thumb stays at the track start (no division by zero).
        if (const int d = max - min - page + 1; d > 0)
            start = first + MulDiv(track - length, std::min(pos - min, d), d);
    } else {
        length = GetSystemMetrics(bar->Kind() == sbVertical ? SM_CYVTHUMB : SM_CXHTHUMB);
        if (track < length)
            return;
        if (track - length > 0 && max != min)
            start = first + MulDiv(track - length, pos - min, max - min);
    }
    if (bar->Kind() == sbHorizontal)
        FThumbRect = Rect(start, 0, start + length, bar->Height());
    else
        FThumbRect = Rect(0, start, bar->Width(), start + length);
    CalculatePageRects();
}

void TvlScrollBarViewInfo::CalculatePageRects()
{
    if (FThumbRect.IsEmpty()) {
        FPageUpRect = TRect();
        FPageDownRect = TRect();
        return;
    }
    const int w = FScrollBar->Width(), h = FScrollBar->Height();
    if (FScrollBar->Kind() == sbHorizontal) {
        FPageUpRect = Rect(FTopLeftArrowRect.Right, 0, FThumbRect.Left, h);
        FPageDownRect = Rect(FThumbRect.Right, 0, FBottomRightArrowRect.Left, h);
    } else {
        FPageUpRect = Rect(0, FTopLeftArrowRect.Bottom, w, FThumbRect.Top);
        FPageDownRect = Rect(0, FThumbRect.Bottom, w, FBottomRightArrowRect.Top);
    }
}

void TvlScrollBarViewInfo::UpdateMinThumbLength() { FMinThumbLength = FScrollBar->GetMinThumbLength(); }

void TvlScrollBarViewInfo::SetThumbStart(int Value)
{
    if (FScrollBar->Kind() == sbHorizontal)
        OffsetRect(FThumbRect, Value - FThumbRect.Left, 0);
    else
        OffsetRect(FThumbRect, 0, Value - FThumbRect.Top);
}

// ---------------------------------------------------------------- scroll bar

TvlScrollBar::TvlScrollBar(TComponent* AOwner)
    : TCustomControl(AOwner), FLookAndFeel(std::make_unique<TvlLookAndFeel>(this)),
      FViewInfo(std::make_unique<TvlScrollBarViewInfo>(this))
{
    FLookAndFeel->OnChanged = TvlLookAndFeelNotifyEvent(this, &TvlScrollBar::lookAndFeelChanged);
    // Double clicks are not told apart: a second click is another press.
    FControlStyle = TControlStyle{csCaptureMouse, csFramed, csOpaque};
    TControl::SetBounds(Left(), Top(), 121, GetScrollBarSize().cy);
    FThemeChangedNotificator = std::make_unique<TvxThemeChangedNotificator>();
    FThemeChangedNotificator->OnThemeChanged = TDelegate<void()>::FromFunction([this] { themeChanged(); });
    FTimer = std::make_unique<TvlTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(FirstRepeatDelay);
    FTimer->SetOnTimer(TNotifyEvent(this, &TvlScrollBar::repeatTimerHandler));
    FViewInfo->UpdateMinThumbLength();
    FViewInfo->Recalculate();
}

TvlScrollBar::~TvlScrollBar()
{
    Destroying();
    FTimer.reset();
    FThemeChangedNotificator.reset();
}

TSize TvlScrollBar::GetScrollBarSize() { return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

TvlLookAndFeelPainterClass TvlScrollBar::GetPainter() const
{
    return FLookAndFeel->GetAvailablePainterForType(totScrollBar);
}

void TvlScrollBar::SetLookAndFeel(const TvlLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

void TvlScrollBar::lookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues)
{
    FViewInfo->UpdateMinThumbLength();
    FViewInfo->Recalculate();
    Invalidate();
}

void TvlScrollBar::themeChanged()
{
    FViewInfo->UpdateMinThumbLength();
    FViewInfo->Recalculate();
    Invalidate();
    if (Parent() != nullptr)
        Parent()->Realign();
}

void TvlScrollBar::SetKind(TScrollBarKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    if (ComponentState().Contains(csLoading))
        FViewInfo->Recalculate();
    else
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TvlScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const TRect old = BoundsRect();
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (BoundsRect() != old && AWidth > 0 && AHeight > 0)
        FViewInfo->Recalculate();
}

void TvlScrollBar::SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw)
{
    // The page may not exceed the number of positions (also with a negative
    // Min, where comparing Max with the page alone would refuse valid ranges).
    if (AMax < AMin || int64_t(APageSize) > int64_t(AMax) - AMin + 1)
        throw EInvalidOperation(LoadResString(vlScrollBarConsts::SScrollBarRange));
    bool repaint = ARedraw && HandleAllocated();
    APosition = std::clamp(APosition, AMin, AMax);
    if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition)
        repaint = false;
    else {
        FMin = AMin;
        FMax = AMax;
        FPageSize = APageSize;
    }
    if (APosition == FPosition) {
        FViewInfo->CalculateThumbRect();
        if (repaint)
            Repaint();
        return;
    }
    SetEnabled(true);
    FPosition = APosition;
    FViewInfo->CalculateThumbRect();
    if (repaint)
        Repaint();
    Change();
}

void TvlScrollBar::Change()
{
    if (OnChange)
        OnChange(this);
}

void TvlScrollBar::DoScroll(TScrollCode AScrollCode, int& AScrollPos)
{
    if (OnScroll)
        OnScroll(this, AScrollCode, AScrollPos);
}

void TvlScrollBar::Scroll(TScrollCode AScrollCode)
{
    int pos = FPosition;
    switch (AScrollCode) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    default: break;
    }
    pos = std::clamp(pos, FMin, FMax);
    DoScroll(AScrollCode, pos);
    pos = std::clamp(pos, FMin, FMax);
    if (pos == FPosition)
        return;
    if (AScrollCode == scTrack) {
        // While dragging, the pointer places the thumb.
        FPosition = pos;
        Repaint();
    } else {
        SetPosition(pos);
    }
}

void TvlScrollBar::ScrollByPart(TvlScrollBarPartKind APart)
{
    switch (APart) {
    case sbpLineUp: Scroll(scLineUp); break;
    case sbpLineDown: Scroll(scLineDown); break;
    case sbpThumbnail: Scroll(scTrack); break;
    case sbpPageUp: Scroll(scPageUp); break;
    case sbpPageDown: Scroll(scPageDown); break;
    case sbpNone: break;
    }
}

int TvlScrollBar::PositionFromThumb() const
{
    const int free = FViewInfo->TrackEnd() - FViewInfo->TrackStart() - FViewInfo->ThumbLength();
    if (free <= 0)
        return FPosition;  // a thumb filling the track stands for no other place
    const int range = FPageSize > 0 ? FMax - FMin - (FPageSize - 1) : FMax - FMin;
    return FMin + MulDiv(range, FViewInfo->ThumbStart() - FViewInfo->TrackStart(), free);
}

TvlScrollBarPartKind TvlScrollBar::HitTest(const TPoint& P) const
{
    if (!ClientRect().Contains(P))
        return sbpNone;
    if (FViewInfo->TopLeftArrowRect().Contains(P))
        return sbpLineUp;
    if (FViewInfo->BottomRightArrowRect().Contains(P))
        return sbpLineDown;
    if (FViewInfo->ThumbRect().IsEmpty())
        return sbpNone;
    if (FViewInfo->ThumbRect().Contains(P))
        return sbpThumbnail;
    if (FViewInfo->PageUpRect().Contains(P))
        return sbpPageUp;
    if (FViewInfo->PageDownRect().Contains(P))
        return sbpPageDown;
    return sbpNone;
}

TvlButtonState TvlScrollBar::GetPartState(TvlScrollBarPartKind APart) const
{
    if (!Enabled())
        return vlbsDisabled;
    if (APart == sbpThumbnail && !IsHotTrack())
        return vlbsNormal;
    if (APart != FHotPart)
        return vlbsNormal;
    if (FPressedPart == sbpNone)
        return ComponentState().Contains(csDesigning) ? vlbsNormal : vlbsHot;
    return FPressedPart == APart ? vlbsPressed : vlbsNormal;
}

bool TvlScrollBar::IsHotTrack() const { return GetPainter()->IsButtonHotTrack(); }

int TvlScrollBar::GetMinThumbLength() const { return GetPainter()->ScrollBarMinimalThumbSize(FKind == sbVertical); }

// The layer paints every window through a buffer of its own, so the whole
// bar is drawn there and shown at once.
void TvlScrollBar::Paint()
{
    TvlCanvas canvas(Canvas());
    DrawScrollBar(&canvas);
}

void TvlScrollBar::DrawScrollBar(TvlCanvas* ACanvas)
{
    DrawBarBackground(ACanvas, Rect(0, 0, Width(), Height()));
    DrawPart(ACanvas, FViewInfo->TopLeftArrowRect(), sbpLineUp);
    DrawPart(ACanvas, FViewInfo->BottomRightArrowRect(), sbpLineDown);
    if (!FViewInfo->ThumbRect().IsEmpty())
        DrawPart(ACanvas, FViewInfo->ThumbRect(), sbpThumbnail);
    if (!FViewInfo->PageUpRect().IsEmpty())
        DrawPart(ACanvas, FViewInfo->PageUpRect(), sbpPageUp);
    if (!FViewInfo->PageDownRect().IsEmpty())
        DrawPart(ACanvas, FViewInfo->PageDownRect(), sbpPageDown);
}

void TvlScrollBar::DrawBarBackground(TvlCanvas* ACanvas, const TRect& R)
{
    GetPainter()->DrawScrollBarBackground(ACanvas, R, FKind == sbHorizontal);
}

void TvlScrollBar::DrawPart(TvlCanvas* ACanvas, const TRect& R, TvlScrollBarPartKind APart)
{
    DrawPartWithState(ACanvas, R, APart, GetPartState(APart));
}

void TvlScrollBar::DrawPartWithState(TvlCanvas* ACanvas, const TRect& R, TvlScrollBarPartKind APart,
                                     TvlButtonState AState)
{
    GetPainter()->DrawScrollBarPart(ACanvas, FKind == sbHorizontal, R, APart, AState);
}

// ---------------------------------------------------------------- mouse

void TvlScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    const TvlScrollBarPartKind part = HitTest(Point(X, Y));
    if (part == sbpNone)
        return;
    SetMouseCapture(this, true);
    if (part == sbpThumbnail) {
        FDownMousePos = Point(X, Y);
        FSavePosition = FPosition;
        FSaveThumbPos = FViewInfo->ThumbRect().TopLeft();
        FThumbMoved = false;
        Scroll(scTrack);
    }
    FPressedPart = part;
    FHotPart = part;
    if (isArrowOrPage(part)) {
        ScrollByPart(part);
        FTimer->SetInterval(FirstRepeatDelay);
        FTimer->SetEnabled(true);
    }
    Repaint();
}

void TvlScrollBar::repeatTimerHandler(TObject*)
{
    if (GetCaptureControl() == this && isArrowOrPage(FPressedPart)) {
        // The first repeat comes after the long delay, the next ones quickly.
        if (FTimer->Interval() == FirstRepeatDelay)
            FTimer->SetInterval(RepeatInterval);
        ScrollByPart(FPressedPart);
        FTimer->SetEnabled(HitTest(ScreenToClient(Mouse->CursorPos())) == FPressedPart);
    } else {
        StopScroll();
    }
}

void TvlScrollBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    const TPoint p = Point(X, Y);
    if (FPressedPart != sbpThumbnail) {
        if (isArrowOrPage(FPressedPart))
            FTimer->SetEnabled(HitTest(p) == FPressedPart);
        const TvlScrollBarPartKind hot = HitTest(p);
        if (hot != FHotPart) {
            FHotPart = hot;
            if (IsHotTrack())
                Repaint();
        }
        return;
    }
    const TRect band = FKind == sbHorizontal
        ? Rect(-TrackingBandAlong, -TrackingBandAcross, Width() + TrackingBandAlong, Height() + TrackingBandAcross)
        : Rect(-TrackingBandAcross, -TrackingBandAlong, Width() + TrackingBandAcross, Height() + TrackingBandAlong);
    if (FUnlimitedTracking || band.Contains(p)) {
        int delta = alongBar(p) - alongBar(FDownMousePos);
        if (delta == 0)
            return;
        const int savedStart = alongBar(FSaveThumbPos);
        const int length = FViewInfo->ThumbLength();
        if (delta < 0 && savedStart + delta < FViewInfo->TrackStart())
            delta = FViewInfo->TrackStart() - savedStart;
        if (delta > 0 && savedStart + delta + length > FViewInfo->TrackEnd())
            delta = FViewInfo->TrackEnd() - (savedStart + length);
        FThumbMoved = true;
        FViewInfo->SetThumbStart(savedStart + delta);
        FViewInfo->CalculatePageRects();
        Repaint();
        if (const int pos = std::clamp(PositionFromThumb(), FMin, FMax); pos != FPosition) {
            FPosition = pos;
            Scroll(scTrack);
        }
    } else if (FSavePosition != FPosition) {
        // Too far away: the thumb goes back to where the drag started.
        FThumbMoved = false;
        SetPosition(FSavePosition);
        Scroll(scTrack);
    }
}

void TvlScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    StopScroll();
    FHotPart = HitTest(Point(X, Y));
}

void TvlScrollBar::StopScroll()
{
    if (FPressedPart == sbpNone)
        return;
    if (FPressedPart == sbpThumbnail) {
        // A press on the thumb that never moved it keeps the position: the
        // way back from pixels would round it to a neighbour.
        if (FThumbMoved)
            FPosition = std::clamp(PositionFromThumb(), FMin, FMax);
        Scroll(scPosition);
    }
    FTimer->SetEnabled(false);
    FPressedPart = sbpNone;
    FHotPart = sbpNone;
    SetMouseCapture(this, false);
    Scroll(scEndScroll);
    FViewInfo->CalculateThumbRect();
    Invalidate();
}

void TvlScrollBar::MouseEnter(TControl*)
{
    if (IsHotTrack() || isArrowOrPage(FPressedPart))
        Repaint();
}

void TvlScrollBar::MouseLeave(TControl*)
{
    if (FPressedPart != sbpThumbnail)
        FHotPart = sbpNone;
    if (IsHotTrack() || isArrowOrPage(FPressedPart))
        Invalidate();
}

void TvlScrollBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        FViewInfo->Recalculate();
        if (!Enabled())
            StopScroll();
        Invalidate();
        break;
    case CM_VISIBLECHANGED:
        if (Message.WParam == 0)
            StopScroll();
        TCustomControl::Dispatch(Message);
        break;
    case CM_MOUSEENTER: case CM_MOUSELEAVE: {
        TCustomControl::Dispatch(Message);
        auto* control = Message.LParam != 0 ? reinterpret_cast<TControl*>(Message.LParam) : this;
        if (Message.Msg == CM_MOUSEENTER)
            MouseEnter(control);
        else
            MouseLeave(control);
        break;
    }
    case CN_HSCROLL: case CN_VSCROLL: Scroll(TScrollCode(LoWord(Message.WParam))); break;
    case WM_CANCELMODE:
        StopScroll();
        TCustomControl::Dispatch(Message);
        break;
    default: TCustomControl::Dispatch(Message); break;
    }
}
