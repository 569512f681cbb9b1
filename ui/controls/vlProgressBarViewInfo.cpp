// The progress bar's layout (bar, content, progress, overload, peak and
// animation rectangles) and its painting: everything is composed in one
// buffer that starts at the bar's top-left, in a cell and standalone alike,
// and copied to the target in one block.
#include <algorithm>
#include <cfenv>
#include <climits>
#include <cmath>

#include "platform/rtl/SysUtils.h"
#include "ui/controls/vlProgressBar.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vxOffice11.h"

using vxOffice11::DarkenColor;
using vxOffice11::FillGradientRect;
using vxOffice11::LightenColor;

namespace {

bool isAnimationStyle(TvlProgressBarBarStyle AStyle) { return AStyle == vlbsAnimation || AStyle == vlbsAnimationLEDs; }

bool isLEDStyle(TvlProgressBarBarStyle AStyle)
{
    return AStyle == vlbsLEDs || AStyle == vlbsGradientLEDs || AStyle == vlbsBitmapLEDs || AStyle == vlbsAnimationLEDs;
}

TRect moved(const TRect& R, int DX, int DY) { return Rect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY); }

// Halves go to the even neighbour, as the runtime's Round does.
double roundHalfEven(double X)
{
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(X);
    std::fesetround(old);
    return r;
}

}  // namespace

// ================================================================ view data

void TvlCustomProgressBarViewData::GetBorderExtent(TRect& AExtent) const
{
    if (IsInplace) {
        AExtent = TRect{};
        return;
    }
    TvlCustomEditViewData::GetBorderExtent(AExtent);
}

void TvlCustomProgressBarViewData::EditValueToDrawValue(const Variant& AEditValue,
                                                        TvlCustomEditViewInfo* AViewInfo) const
{
    auto* info = static_cast<TvlCustomProgressBarViewInfo*>(AViewInfo);
    const double n = PreviewMode ? 30.0 : TvlCustomProgressBarProperties::DisplayNumber(AEditValue);
    info->Position = Properties()->ClampPosition(n);
}

void TvlCustomProgressBarViewData::CalculateViewInfoProps(TvlCustomProgressBarViewInfo* AViewInfo) const
{
    const TvlCustomProgressBarProperties* p = Properties();
    AViewInfo->SetAnimationPath(p->AnimationPath());
    AViewInfo->AnimationRestartDelay = p->AnimationRestartDelay();
    AViewInfo->SetAnimationSpeed(p->AnimationSpeed());
    AViewInfo->BeginColor = p->BeginColor();
    AViewInfo->EndColor = p->EndColor();
    AViewInfo->BarBevelOuter = p->BarBevelOuter();
    AViewInfo->SetMarquee(p->Marquee());
    AViewInfo->Min = p->Min();
    AViewInfo->Max = p->Max();
    AViewInfo->SetOrientation(p->Orientation());
    AViewInfo->ShowText = p->ShowText();
    AViewInfo->ShowTextStyle = p->ShowTextStyle();
    AViewInfo->Text = p->Text();
    AViewInfo->TextOrientation = p->TextOrientation();
    AViewInfo->SolidTextColor = p->SolidTextColor();
    AViewInfo->SetBarStyle(p->BarStyle());
    AViewInfo->OverloadValue = p->OverloadValue();
    AViewInfo->OverloadBeginColor = p->OverloadBeginColor();
    AViewInfo->OverloadEndColor = p->OverloadEndColor();
    AViewInfo->ShowOverload = p->ShowOverload();
    // A cell shows the set peak or its own value; only a standalone bar
    // remembers the highest position it has shown.
    if (IsInplace) {
        double notTracked = -std::numeric_limits<double>::infinity();
        AViewInfo->PeakValue = p->TrackPeakValue(AViewInfo->Position, notTracked);
    } else {
        AViewInfo->PeakValue = p->TrackPeakValue(AViewInfo->Position, AViewInfo->TrackedPeakValue);
    }
    AViewInfo->PeakColor = p->PeakColor();
    AViewInfo->PeakSize = p->PeakSize();
    AViewInfo->ShowPeak = p->ShowPeak();
    AViewInfo->BarTransparent = IsInplace ? AViewInfo->Transparent : (Edit != nullptr && Edit->Transparent());
}

void TvlCustomProgressBarViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                             TvlMouseButton AButton, TShiftState AShift,
                                             TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TvlCustomEditViewData::Calculate(ACanvas, ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    if (ABounds.Right == INT_MAX || ABounds.Bottom == INT_MAX)
        return;
    auto* info = static_cast<TvlCustomProgressBarViewInfo*>(AViewInfo);
    const TvlCustomProgressBarProperties* p = Properties();
    CalculateViewInfoProps(info);
    // The themed bar needs the system's visual styles, which this platform
    // does not have.
    info->NativeStyle = false;

    const TRect q = IsInplace ? ABounds : info->BorderRect;
    TRect r1 = info->BorderRect;
    const int bw = p->BorderWidth();
    InflateRect(r1, -bw, -bw);
    const bool horizontal = info->Orientation() == vlorHorizontal;
    const double rel = info->RelativePosition();

    TRect pr = r1;
    if (!info->Marquee()) {
        if (horizontal)
            pr.Right = r1.Left + info->ScaleToLength(rel, r1.Width());
        else
            pr.Top = r1.Bottom - info->ScaleToLength(rel, r1.Height());
    }
    TRect o = info->OverloadBarRect;
    info->RealShowOverload = !info->Marquee() && info->ShowOverload && info->Position >= info->OverloadValue;
    if (info->RealShowOverload) {
        o = pr;
        if (horizontal) {
            o.Left = r1.Left + info->ScaleToLength(info->OverloadValue - info->Min, r1.Width());
            o.Right = std::min(o.Right, r1.Right);
            pr.Right = o.Left;
        } else {
            o.Top = o.Bottom - info->ScaleToLength(rel, r1.Height());
            o.Bottom = std::max(r1.Top, o.Bottom - info->ScaleToLength(info->OverloadValue - info->Min, r1.Height()));
            pr.Top = o.Bottom;
        }
    }
    TRect k = info->PeakBarRect;
    info->RealShowPeak = info->ShowPeak && !info->Marquee();
    if (info->RealShowPeak) {
        k = pr;
        if (horizontal) {
            k.Left = std::min(r1.Left + info->ScaleToLength(info->PeakValue - info->Min, r1.Width()),
                              r1.Right - info->PeakSize);
            k.Right = k.Left + info->PeakSize;
        } else {
            k.Bottom = std::max(r1.Bottom - info->ScaleToLength(info->PeakValue - info->Min, r1.Height()),
                                r1.Top + info->PeakSize);
            k.Top = k.Bottom - info->PeakSize;
        }
    }

    // The image is copied again only when the properties' one changed.
    const TBitmap* image = p->ForegroundImageIfAny();
    const bool haveImage = image != nullptr && !image->Empty();
    if (p->ChangedForegroundImage() || (haveImage && (!info->ForegroundImage || info->ForegroundImage->Empty()))) {
        info->ForegroundImage = std::make_unique<TBitmap>();
        if (haveImage) {
            info->ForegroundImage->Assign(image);
            if (p->TransparentImage()) {
                auto flat = std::make_unique<TvlBitmap>(image->Width(), image->Height(), pf32bit);
                flat->vlCanvas()->FillRectByColor(flat->GetClientRect(), info->BackgroundColor());
                info->ForegroundImage->SetTransparent(true);
                flat->vlCanvas()->Draw(0, 0, info->ForegroundImage.get());
                info->ForegroundImage = std::make_unique<TBitmap>();
                info->ForegroundImage->Assign(flat.get());
            }
        }
        p->SetChangedForegroundImage(false);
    }

    const int l = info->GetAnimationBarSize();
    info->AnimationRect = horizontal ? moved(Rect(pr.Left, pr.Top, pr.Left + l, pr.Bottom), -(l / 2), 0)
                                     : moved(Rect(pr.Left, ABounds.Top, pr.Right, ABounds.Top + l), 0, -(l / 2));

    const bool unchanged = p->ChangedPosition() && !AIsMouseEvent && info->ProgressBarRect == pr &&
                           info->BarRect == q && (!info->RealShowOverload || info->OverloadBarRect == o) &&
                           (!info->RealShowPeak || info->PeakBarRect == k);
    if (unchanged) {
        info->FChangedBounds = false;
    } else {
        info->ProgressBarRect = pr;
        if (info->BarRect != q) {
            info->BarRect = q;
            info->FChangedBarRect = true;
        }
        info->OverloadBarRect = o;
        info->PeakBarRect = k;
        info->FChangedBounds = true;
    }
    p->SetChangedPosition(false);
}

void TvlCustomProgressBarViewData::InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace,
                                                                   const TvlEditMeasureParams& AMeasureParams,
                                                                   TSize& ASize, TSize& AMinContentSize,
                                                                   TvlCustomEditViewInfo* AViewInfo)
{
    TvlCustomEditViewData::InternalGetEditConstantPartSize(ACanvas, AIsInplace, AMeasureParams, ASize,
                                                           AMinContentSize, AViewInfo);
    const auto* info = static_cast<const TvlCustomProgressBarViewInfo*>(AViewInfo);
    if (Style() != nullptr)
        ACanvas->SetFont(Style()->GetVisibleFont());
    const int textHeight = ACanvas->TextHeight(QStringLiteral("Zg"));
    ASize.cx += (info != nullptr ? info->ProgressBarRect.Width() : 0) + (AIsInplace ? 0 : 4) + 3;
    ASize.cy += textHeight;
}

// ================================================================ view info

TvlCustomProgressBarViewInfo::TvlCustomProgressBarViewInfo()
    : ForegroundImage(std::make_unique<TBitmap>()), FUsualBitmap(std::make_unique<TvlBitmap>(0, 0, pf32bit))
{
}

TvlCustomProgressBarViewInfo::~TvlCustomProgressBarViewInfo() = default;

void TvlCustomProgressBarViewInfo::Offset(int DX, int DY)
{
    TvlCustomEditViewInfo::Offset(DX, DY);
    for (TRect* r : {&BarRect, &ProgressBarRect, &OverloadBarRect, &PeakBarRect})
        *r = moved(*r, DX, DY);
}

double TvlCustomProgressBarViewInfo::Range() const
{
    const double range = Max - Min;
    return range == 0 || !std::isfinite(range) ? 1.0 : range;
}

double TvlCustomProgressBarViewInfo::RelativePosition() const
{
    // A marquee runs along the whole range, whatever Min is.
    if (FMarquee)
        return Range();
    const double rel = Position - Min;
    return std::isfinite(rel) ? rel : 0.0;
}

int TvlCustomProgressBarViewInfo::ScaleToLength(double AValue, int ALength) const
{
    // Outside the range (Max <= Min leaves values unclamped) the fraction
    // is kept in 0..1, so no pixel lies outside the bar.
    const double range = Range();
    double v = AValue;
    if (!(v > 0))
        return 0;
    if (range > 0 && v > range)
        v = range;
    const double length = std::trunc(v * ALength / range);
    return int(std::clamp(length, 0.0, double(std::max(ALength, 0))));
}

int TvlCustomProgressBarViewInfo::GetPercentDone() const
{
    const double r = roundHalfEven(RelativePosition() * 100.0 / Range());
    if (!(r > 0))
        return 0;
    return r >= 100 ? 100 : int(r);
}

String TvlCustomProgressBarViewInfo::GetText() const
{
    if (FMarquee)
        return Text;
    switch (ShowTextStyle) {
    case vltsPercent:
        return String::number(GetPercentDone()) + String::fromLatin1(" %");
    case vltsPosition:
        return FloatToStr(Position);
    case vltsText:
        return Text;
    }
    return String();
}

// ------------------------------------------------------------ animation

bool TvlCustomProgressBarViewInfo::IsAnimationActive() const
{
    return (isAnimationStyle(FBarStyle) || FMarquee) && FAnimationSpeed > 0 && !IsDesigning && !IsInplace;
}

void TvlCustomProgressBarViewInfo::StartAnimation()
{
    FAnimationTimer.reset();
    if (IsAnimationActive()) {
        FAnimationTimer = std::make_unique<TvlTimer>(nullptr);
        FAnimationTimer->SetEnabled(false);
        FAnimationTimer->SetInterval(30);
        FAnimationTimer->SetOnTimer(TNotifyEvent(this, &TvlCustomProgressBarViewInfo::animationTimerHandler));
        FAnimationTimer->SetEnabled(true);
    }
    ResetAnimation();
}

void TvlCustomProgressBarViewInfo::ResetAnimation()
{
    const int l = GetAnimationBarSize(), d = GetAnimationStartDirection();
    const bool horizontal = FOrientation == vlorHorizontal;
    const double rel = RelativePosition(), range = Range();
    const int width = Bounds.Width(), height = Bounds.Height();
    const int e = horizontal ? int(std::trunc(std::clamp(rel / range, 0.0, 1.0) * width)) : height;
    const int z = horizontal ? 0 : height - int(std::trunc(std::clamp(rel / range, 0.0, 1.0) * height));
    if (FAnimationPath == vlapCycle)
        FAnimationPosition = d > 0 ? -(l / 2) : l / 2;
    else
        FAnimationPosition = l / 2;
    if (horizontal) {
        FAnimationDirection = d;
    } else {
        FAnimationDirection = -d;
        FAnimationPosition = -FAnimationPosition;
    }
    FAnimationPosition += FAnimationDirection > 0 ? z : e;
}

void TvlCustomProgressBarViewInfo::AdvanceAnimation()
{
    if (FAnimationRestartDelayTimer && FAnimationRestartDelayTimer->Enabled())
        return;
    const int l = GetAnimationBarSize();
    const bool horizontal = FOrientation == vlorHorizontal;
    const double rel = RelativePosition(), range = Range();
    const int width = Bounds.Width(), height = Bounds.Height();
    const int e = horizontal ? int(std::trunc(std::clamp(rel / range, 0.0, 1.0) * width)) : height;
    const int z = horizontal ? 0 : height - int(std::trunc(std::clamp(rel / range, 0.0, 1.0) * height));
    FAnimationPosition += 2 * FAnimationSpeed * FAnimationDirection;
    if (FAnimationPath == vlapCycle) {
        if (FAnimationPosition > e + l / 2 || FAnimationPosition < z - l / 2) {
            ResetAnimation();
            startRestartDelay();
        }
    } else if (FAnimationDirection > 0 && FAnimationPosition > e - l / 2) {
        FAnimationDirection = -FAnimationDirection;
        FAnimationPosition -= 1;
        startRestartDelay();
    } else if (FAnimationDirection < 0 && FAnimationPosition < z + l / 2) {
        FAnimationDirection = -FAnimationDirection;
        FAnimationPosition += 1;
        startRestartDelay();
    }
}

void TvlCustomProgressBarViewInfo::startRestartDelay()
{
    FAnimationRestartDelayTimer.reset();
    if (AnimationRestartDelay == 0)
        return;
    FAnimationRestartDelayTimer = std::make_unique<TvlTimer>(nullptr);
    FAnimationRestartDelayTimer->SetEnabled(false);
    FAnimationRestartDelayTimer->SetInterval(AnimationRestartDelay);
    FAnimationRestartDelayTimer->SetOnTimer(
        TNotifyEvent(this, &TvlCustomProgressBarViewInfo::restartDelayTimerHandler));
    FAnimationRestartDelayTimer->SetEnabled(true);
}

// The timer cannot free itself inside its own tick: it stops here and is
// freed by the next delay or with the view info.
void TvlCustomProgressBarViewInfo::restartDelayTimerHandler(TObject*)
{
    if (FAnimationRestartDelayTimer)
        FAnimationRestartDelayTimer->SetEnabled(false);
}

void TvlCustomProgressBarViewInfo::animationTimerHandler(TObject*)
{
    if (!IsAnimationActive() && FAnimationTimer)
        FAnimationTimer->SetEnabled(false);
    if (FAnimationTimer && FAnimationTimer->Enabled()) {
        AdvanceAnimation();
        if (Edit != nullptr)
            Edit->Repaint();
    }
}

void TvlCustomProgressBarViewInfo::SetAnimationPath(TvlProgressBarAnimationPath Value)
{
    if (Value == FAnimationPath)
        return;
    FAnimationPath = Value;
    StartAnimation();
}

void TvlCustomProgressBarViewInfo::SetAnimationSpeed(TvlProgressBarAnimationSpeed Value)
{
    if (Value == FAnimationSpeed)
        return;
    FAnimationSpeed = Value;
    if (FAnimationTimer) {
        FAnimationTimer->SetInterval(30);
        if (Value == 0)
            FAnimationTimer->SetEnabled(false);
    } else if (Value > 0) {
        StartAnimation();
    }
}

void TvlCustomProgressBarViewInfo::SetBarStyle(TvlProgressBarBarStyle Value)
{
    if (Value == FBarStyle)
        return;
    FBarStyle = Value;
    StartAnimation();
}

void TvlCustomProgressBarViewInfo::SetMarquee(bool Value)
{
    if (Value == FMarquee)
        return;
    FMarquee = Value;
    StartAnimation();
}

void TvlCustomProgressBarViewInfo::SetOrientation(TvlProgressBarOrientation Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    StartAnimation();
}

// ------------------------------------------------------------ painting

void TvlCustomProgressBarViewInfo::InternalPaint(TvlCanvas* ACanvas) { Paint(ACanvas); }

void TvlCustomProgressBarViewInfo::Paint(TvlCanvas* ACanvas)
{
    if (OnPaint)
        OnPaint(this, ACanvas);
    if (FChangedBarRect) {
        FUsualBitmap->SetSize(BarRect.Width(), BarRect.Height());
        FChangedBarRect = false;
    }
    if (FUsualBitmap->Width() <= 0 || FUsualBitmap->Height() <= 0)
        return;
    if (Painter != nullptr) {
        paintWithPainter(ACanvas);
        return;
    }
    if (!IsInplace || !BarTransparent)
        DrawCustomEdit(ACanvas, false);
    DrawBar(ACanvas);
}

int TvlCustomProgressBarViewInfo::ledSize(const TRect& AProgress) const
{
    const bool horizontal = FOrientation == vlorHorizontal;
    int s = (2 * (horizontal ? AProgress.Height() : AProgress.Width())) / 3 + 2;
    if (FBarStyle == vlbsBitmapLEDs && ForegroundImage && !ForegroundImage->Empty()) {
        const int side = horizontal ? ForegroundImage->Width() : ForegroundImage->Height();
        if (side > 0 && side < s)
            s = side;
    }
    return std::max(s, 1);
}

void TvlCustomProgressBarViewInfo::DrawBar(TvlCanvas* ACanvas)
{
    TvlCanvas* c = FUsualBitmap->vlCanvas();
    const bool horizontal = FOrientation == vlorHorizontal;
    // Every mode draws relative to the bar's top-left and copies from the
    // buffer's origin, whatever border the editor has.
    const int dx = -BarRect.Left, dy = -BarRect.Top;
    TRect p = moved(ProgressBarRect, dx, dy);
    TRect o = moved(OverloadBarRect, dx, dy);
    const TRect k = moved(PeakBarRect, dx, dy);
    TRect a = moved(AnimationRect, dx, dy);
    a = horizontal ? moved(a, FAnimationPosition, 0) : moved(a, 0, FAnimationPosition);
    const int s = ledSize(p);
    const bool leds = isLEDStyle(FBarStyle);
    if (leds && RealShowOverload) {
        if (horizontal) {
            const int r = p.Width() % s;
            p.Right -= r;
            o.Left -= r;
        } else {
            const int r = p.Height() % s;
            p.Top += r;
            o.Bottom += r;
        }
    }
    TRect b = p;
    if (RealShowOverload)
        b = horizontal ? Rect(p.Left, p.Top, o.Right, o.Bottom) : Rect(o.Left, o.Top, p.Right, p.Bottom);
    const TRect r = Rect(0, 0, BarRect.Width(), BarRect.Height());

    c->SaveClipRegion();
    drawBackground(c, r, ACanvas);
    if (FMarquee && !IsInplace) {
        clipToBar(c, b);
        clipToBar(c, a);
        if (leds)
            excludeLEDGaps(c, a, s);
        b = a;
    } else {
        clipToBar(c, b);
        if (leds)
            excludeLEDGaps(c, b, s);
    }
    switch (FBarStyle) {
    case vlbsSolid:
    case vlbsLEDs:
        vlEditFillRect(c, p, BeginColor);
        if (RealShowOverload)
            vlEditFillRect(c, o, OverloadBeginColor);
        break;
    case vlbsGradient:
    case vlbsGradientLEDs:
        drawGradientBar(c, p, r, o);
        break;
    case vlbsBitmap:
    case vlbsBitmapLEDs:
        if (ForegroundImage && !ForegroundImage->Empty())
            c->FillRect(b, ForegroundImage.get());
        break;
    case vlbsAnimation:
    case vlbsAnimationLEDs:
        if (!(FMarquee && IsDesigning))
            draw3DBand(c, b, true, BeginColor);
        if (!FMarquee)
            drawAnimation(c, a, b);
        break;
    }
    if (FBarStyle == vlbsSolid || FBarStyle == vlbsGradient)
        drawBarBevel(c, b);
    if (leds)
        drawLEDBevels(c, b, s);
    if (!isAnimationStyle(FBarStyle) && RealShowPeak) {
        TvlRegion peak(k);
        c->SetClipRegion(peak, roAdd);
        c->FillRectByColor(k, PeakColor);
    }
    c->RestoreClipRegion();
    if (ShowText)
        DrawBarText(c);
    BitBltRect(ACanvas->Handle(), c->Handle(), BarRect, SRCCOPY, TPoint{0, 0});
}

void TvlCustomProgressBarViewInfo::drawBackground(TvlCanvas* C, const TRect& R, TvlCanvas* ATarget)
{
    if (BarTransparent) {
        if (!IsInplace && Edit != nullptr) {
            const TPoint origin = C->GetWindowOrg();
            C->SetWindowOrg(BarRect.TopLeft());
            DrawTransparentControlBackground(Edit, C, BarRect, true);
            C->SetWindowOrg(origin);
        } else {
            BitBltRect(C->Handle(), ATarget->Handle(), R, SRCCOPY, BarRect.TopLeft());
        }
    } else if (!isAnimationStyle(FBarStyle)) {
        C->FillRectByColor(R, BackgroundColor());
    }
    if (isAnimationStyle(FBarStyle) && !BarTransparent)
        draw3DBand(C, R, false, BackgroundColor());
}

void TvlCustomProgressBarViewInfo::clipToBar(TvlCanvas* C, const TRect& R) { C->IntersectClipRect(R); }

void TvlCustomProgressBarViewInfo::excludeLEDGaps(TvlCanvas* C, const TRect& R, int S)
{
    if (FOrientation == vlorHorizontal) {
        for (int i = 1; i <= R.Width() / S; ++i)
            C->ExcludeClipRect(Rect(R.Left + i * S - 2, R.Top, R.Left + i * S, R.Bottom));
    } else {
        for (int i = 1; i <= R.Height() / S; ++i)
            C->ExcludeClipRect(Rect(R.Left, R.Bottom - i * S, R.Right, R.Bottom - i * S + 2));
    }
}

void TvlCustomProgressBarViewInfo::drawBarBevel(TvlCanvas* C, const TRect& R)
{
    if (BarBevelOuter == vlbvNone || R.IsEmpty())
        return;
    const bool lowered = BarBevelOuter == vlbvLowered;
    C->DrawEdge(R, lowered, lowered, TvlBorders{bLeft, bTop});
    C->DrawEdge(R, lowered, lowered, TvlBorders{bRight, bBottom});
}

void TvlCustomProgressBarViewInfo::drawLEDBevels(TvlCanvas* C, const TRect& R, int S)
{
    if (BarBevelOuter == vlbvNone)
        return;
    if (FOrientation == vlorHorizontal) {
        const int count = R.Width() / S;
        for (int i = 1; i <= count; ++i)
            drawBarBevel(C, Rect(R.Left + (i - 1) * S, R.Top, R.Left + i * S - 2, R.Bottom));
        const TRect rest = Rect(R.Left + count * S, R.Top, R.Right, R.Bottom);
        if (!rest.IsEmpty())
            drawBarBevel(C, rest);
    } else {
        const int count = R.Height() / S;
        for (int i = 1; i <= count; ++i)
            drawBarBevel(C, Rect(R.Left, R.Bottom - i * S + 2, R.Right, R.Bottom - (i - 1) * S));
        if (R.Bottom - count * S > R.Top)
            drawBarBevel(C, Rect(R.Left, R.Top, R.Right, R.Bottom - count * S));
    }
}

void TvlCustomProgressBarViewInfo::drawGradientBar(TvlCanvas* C, const TRect&, const TRect& R, const TRect& O)
{
    const bool horizontal = FOrientation == vlorHorizontal;
    if (horizontal)
        FillGradientRect(C->Handle(), R, BeginColor, EndColor, true);
    else
        FillGradientRect(C->Handle(), R, EndColor, BeginColor, false);
    if (RealShowOverload) {
        const TRect zone = Rect(O.Left, R.Top, R.Right, O.Bottom);
        if (horizontal)
            FillGradientRect(C->Handle(), zone, OverloadBeginColor, OverloadEndColor, true);
        else
            FillGradientRect(C->Handle(), zone, OverloadEndColor, OverloadBeginColor, false);
    }
}

void TvlCustomProgressBarViewInfo::draw3DBand(TvlCanvas* C, const TRect& R, bool AStrong, TColor AColor)
{
    const TColor l40 = LightenColor(AColor, 40), l80 = LightenColor(AColor, 80);
    const TColor d90 = DarkenColor(AColor, 90), d80 = DarkenColor(AColor, 80);
    int e = AStrong ? 4 : 1, g = AStrong ? 20 : 8;
    const int t0 = e + g;
    C->FillRectByColor(R, AColor);
    HDC dc = C->Handle();
    if (FOrientation == vlorHorizontal) {
        if (AStrong && R.Width() < 3 * t0) {
            e = R.Width() * e / (3 * t0);
            g = R.Width() * g / (3 * t0);
        }
        const int t = e + g;
        FillGradientRect(dc, Rect(R.Left, R.Top, R.Left + e, R.Bottom), d90, d80, true);
        FillGradientRect(dc, Rect(R.Right - e, R.Top, R.Right, R.Bottom), d80, d90, true);
        FillGradientRect(dc, Rect(R.Left + e, R.Top, R.Left + t, R.Bottom), d80, AColor, true);
        FillGradientRect(dc, Rect(R.Right - t, R.Top, R.Right - e, R.Bottom), AColor, d80, true);
        FillGradientRect(dc, Rect(R.Left, R.Top, R.Right, R.Top + 6), l40, l80, false);
    } else {
        if (R.Height() < 3 * t0) {
            e = R.Height() * e / (3 * t0);
            g = R.Height() * g / (3 * t0);
        }
        const int t = e + g;
        FillGradientRect(dc, Rect(R.Left, R.Top, R.Right, R.Top + e), d90, d80, false);
        FillGradientRect(dc, Rect(R.Left, R.Bottom - e, R.Right, R.Bottom), d80, d90, false);
        FillGradientRect(dc, Rect(R.Left, R.Top + e, R.Right, R.Top + t), d80, AColor, false);
        FillGradientRect(dc, Rect(R.Left, R.Bottom - t, R.Right, R.Bottom - e), AColor, d80, false);
        FillGradientRect(dc, Rect(R.Left, R.Top, R.Left + 6, R.Bottom), l40, l80, true);
    }
}

void TvlCustomProgressBarViewInfo::drawAnimation(TvlCanvas* C, const TRect& A, const TRect& B)
{
    if (!IsAnimationActive() && FAnimationTimer)
        FAnimationTimer->SetEnabled(false);
    if (FAnimationTimer && FAnimationTimer->Enabled())
        drawAnimationGlow(C, A, B);
    else if (!FAnimationTimer && FAnimationSpeed > 0)
        StartAnimation();
}

void TvlCustomProgressBarViewInfo::drawAnimationGlow(TvlCanvas* C, const TRect& A, const TRect& B)
{
    HDC dc = C->Handle();
    TCanvas* canvas = C->Canvas();
    auto lighten = [](TColor AColor, int APercent) { return LightenColor(AColor, uint8_t(std::clamp(APercent, 0, 100))); };
    if (FOrientation == vlorHorizontal) {
        const int a = A.Width() / 2;
        if (a - 5 <= 0)
            return;
        for (int y = A.Top; y <= A.Top + 5; ++y) {
            const TColor c = canvas->Pixels(B.Left + 1, y);
            const TColor h = lighten(c, 60);
            FillGradientRect(dc, Rect(A.Left - a, y, A.Left + a - 5, y + 1), c, h, true);
            C->FillRectByColor(Rect(A.Left + a - 5, y, A.Left + a + 5, y + 1), h);
            FillGradientRect(dc, Rect(A.Left + a + 5, y, A.Right + a, y + 1), h, c, true);
        }
        C->SaveClipRegion();
        C->IntersectClipRect(A);
        for (int x = A.Left; x <= A.Right; ++x) {
            int p = 60;
            if (x < A.Left + a - 5)
                p += (A.Left + a - 5 - x) * 40 / (a - 5);
            else if (x > A.Left + a + 5)
                p += (x - A.Left - a - 5) * 40 / (a - 5);
            const TColor c = canvas->Pixels(x, A.Top + 6);
            C->FillRectByColor(Rect(x, A.Top + 6, x + 1, A.Bottom), lighten(c, uint8_t(p)));
        }
        C->RestoreClipRegion();
    } else {
        const int a = A.Height() / 2;
        if (a - 5 <= 0)
            return;
        for (int x = A.Left; x <= A.Left + 5; ++x) {
            const TColor c = canvas->Pixels(x, B.Bottom - 2);
            const TColor h = lighten(c, 60);
            FillGradientRect(dc, Rect(x, A.Top - a, x + 1, A.Top + a - 5), c, h, false);
            C->FillRectByColor(Rect(x, A.Top + a - 5, x + 1, A.Top + a + 5), h);
            FillGradientRect(dc, Rect(x, A.Top + a + 5, x + 1, A.Bottom + a), h, c, false);
        }
        C->SaveClipRegion();
        C->IntersectClipRect(A);
        for (int y = A.Top; y <= A.Bottom; ++y) {
            int p = 60;
            if (y < A.Top + a - 5)
                p += (A.Top + a - 5 - y) * 40 / (a - 5);
            else if (y > A.Top + a + 5)
                p += (y - A.Top - a - 5) * 40 / (a - 5);
            const TColor c = canvas->Pixels(A.Left + 6, y);
            if (c <= 0xFFFFFF)
                C->FillRectByColor(Rect(A.Left + 6, y, A.Right, y + 1), lighten(c, uint8_t(p)));
        }
        C->RestoreClipRegion();
    }
}

void TvlCustomProgressBarViewInfo::DrawBarText(TvlCanvas* ACanvas)
{
    const int dx = -BarRect.Left, dy = -BarRect.Top;
    drawBarTextAt(ACanvas, moved(ProgressBarRect, dx, dy), moved(BarRect, dx, dy));
}

void TvlCustomProgressBarViewInfo::drawBarTextAt(TvlCanvas* C, const TRect& AProgress, const TRect& ABar)
{
    const String text = GetText();
    if (!ShowText || text.isEmpty())
        return;
    const TvlCustomLookAndFeelPainter* painter =
        Painter != nullptr ? Painter : TvlStandardLookAndFeelPainter::Instance();
    if (Font != nullptr)
        C->SetFont(Font);
    const TBrushStyle brushStyle = C->Brush()->Style();
    C->Brush()->SetStyle(bsClear);
    const bool vertical = TextOrientation == vlorVertical;
    const TSize extent = C->TextExtent(text);
    TRect t = vertical ? Rect(0, 0, extent.cy, extent.cx) : Rect(0, 0, extent.cx, extent.cy);
    t = moved(t, ABar.Left + (ABar.Width() - t.Width()) / 2, ABar.Top + (ABar.Height() - t.Height()) / 2);
    painter->DrawProgressBarText(C, vertical, SolidTextColor, text, t, ABar, AProgress, TextColor);
    C->Brush()->SetStyle(brushStyle);
}

void TvlCustomProgressBarViewInfo::paintWithPainter(TvlCanvas* ACanvas)
{
    if (!FPainterBitmap)
        FPainterBitmap = std::make_unique<TvlBitmap>(0, 0, pf32bit);
    FPainterBitmap->SetSize(Bounds.Width(), Bounds.Height());
    TvlCanvas* c = FPainterBitmap->vlCanvas();
    const TRect all = FPainterBitmap->GetClientRect();
    if (IsInplace || Edit == nullptr)
        c->FillRectByColor(all, BackgroundColor());
    else
        DrawTransparentControlBackground(Edit, c, Bounds, true);
    const bool horizontal = FOrientation == vlorHorizontal;
    const TRect rb = moved(BarRect, -Bounds.Left, -Bounds.Top);
    TRect border;
    Painter->ProgressBarBorderSize(!horizontal, border);
    const TRect content = Rect(rb.Left + border.Left, rb.Top + border.Top, rb.Right - border.Right,
                               rb.Bottom - border.Bottom);
    auto filledRect = [&](double AFraction) {
        TRect r = content;
        const double f = std::clamp(AFraction, 0.0, 1.0);
        if (horizontal)
            r.Right = r.Left + int(std::trunc(f * r.Width()));
        else
            r.Top += int(std::trunc(r.Height() * (1 - f)));
        return r;
    };
    TRect filled;
    if (!IsInplace && FMarquee) {
        TRect a = moved(AnimationRect, -Bounds.Left, -Bounds.Top);
        a = horizontal ? moved(a, FAnimationPosition, 0) : moved(a, 0, FAnimationPosition);
        IntersectRect(filled, a, content);
    } else {
        filled = filledRect(RelativePosition() / Range());
    }
    Painter->DrawProgressBarBorder(c, rb);
    c->SaveClipRegion();
    c->IntersectClipRect(content);
    Painter->DrawProgressBar(c, filled);
    if (RealShowOverload) {
        const TRect edge = filledRect((OverloadValue - Min) / Range());
        const TRect zone = horizontal ? Rect(edge.Right, filled.Top, filled.Right, filled.Bottom)
                                      : Rect(filled.Left, filled.Top, filled.Right, edge.Top);
        if (!zone.IsEmpty())
            c->InvertRect(zone);
    }
    c->RestoreClipRegion();
    if (ShowText)
        drawBarTextAt(c, filled, rb);
    BitBltRect(ACanvas->Handle(), c->Handle(), Bounds, SRCCOPY, TPoint{0, 0});
}
