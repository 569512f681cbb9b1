// Measuring and painting an editor or a grid cell: the view data lays out
// the frame and the buttons, the view info draws them.
#include <algorithm>
#include <limits>

#include "ui/editors/vlEdit.h"
#include "ui/editors/vlEditPaintUtils.h"

namespace {

int containerBorderWidth(TvlEditBorderStyle AStyle)
{
    switch (AStyle) {
    case ebsSingle:
    case ebsUltraFlat:
    case ebsOffice11:
        return 1;
    case ebsThick:
    case ebsFlat:
    case ebs3D:
        return 2;
    default:
        return 0;
    }
}

TRect shrink(const TRect& R, const TRect& AExtent)
{
    return Rect(R.Left + AExtent.Left, R.Top + AExtent.Top, R.Right - AExtent.Right, R.Bottom - AExtent.Bottom);
}

}  // namespace

// ---------------------------------------------------------------- view info

TvlCustomEditViewInfo::TvlCustomEditViewInfo() = default;
TvlCustomEditViewInfo::~TvlCustomEditViewInfo() = default;

void TvlCustomEditViewInfo::Offset(int DX, int DY)
{
    TvlContainerViewInfo::Offset(DX, DY);
    OffsetRect(InnerEditRect, DX, DY);
    OffsetRect(ShadowRect, DX, DY);
    for (const auto& button : ButtonsInfo) {
        OffsetRect(button->Bounds, DX, DY);
        OffsetRect(button->VisibleBounds, DX, DY);
    }
}

std::unique_ptr<TvlRegion> TvlCustomEditViewInfo::GetUpdateRegion(const TvlContainerViewInfo* AOldViewInfo) const
{
    std::unique_ptr<TvlRegion> region = TvlContainerViewInfo::GetUpdateRegion(AOldViewInfo);
    const auto* old = dynamic_cast<const TvlCustomEditViewInfo*>(AOldViewInfo);
    if (old == nullptr)
        return region;
    const bool sameFrame = (old->BorderColor == BorderColor || EditBorderStyle == ebsNone) &&
                           old->EditBorderStyle == EditBorderStyle &&
                           old->ButtonsInfo.size() == ButtonsInfo.size() && old->NativeState == NativeState;
    if (sameFrame) {
        for (size_t i = 0; i < ButtonsInfo.size(); ++i) {
            const TvlRegion buttonRegion(ButtonsInfo[i]->GetUpdateRegion(old->ButtonsInfo[i].get()));
            UniteRegions(region.get(), &buttonRegion);
        }
    } else if (!IsRectEmpty(Bounds)) {
        const TvlRegion whole(Bounds);
        UniteRegions(region.get(), &whole);
    }
    return region;
}

int TvlCustomEditViewInfo::GetPart(const TPoint& APoint) const
{
    for (size_t i = 0; i < ButtonsInfo.size(); ++i)
        if (PtInRect(ButtonsInfo[i]->VisibleBounds, APoint))
            return int(i);
    return PtInRect(BorderRect, APoint) ? -1 : -2;
}

TRect TvlCustomEditViewInfo::GetPartRect(int APart) const
{
    if (APart >= 0 && APart < int(ButtonsInfo.size()))
        return ButtonsInfo[size_t(APart)]->Bounds;
    if (APart != -1)
        return TRect{};
    TRect r = BorderRect;
    for (const auto& button : ButtonsInfo) {
        if (IsRectEmpty(button->VisibleBounds))
            continue;
        if (button->Data.LeftAlignment)
            r.Left = std::max(r.Left, button->VisibleBounds.Right);
        else
            r.Right = std::min(r.Right, button->VisibleBounds.Left);
    }
    return r;
}

bool TvlCustomEditViewInfo::IsHotTrack() const
{
    return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(),
                       [](const auto& button) { return button->Data.State == bdsHot; });
}

bool TvlCustomEditViewInfo::IsHotTrackAt(const TPoint& APoint) const
{
    const TPoint p{APoint.X - Left, APoint.Y - Top};
    return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(),
                       [&p](const auto& button) { return PtInRect(button->Bounds, p); });
}

void TvlCustomEditViewInfo::SaveButtonsState()
{
    LastPressedButton = PressedButton;
    LastSelectedButton = SelectedButton;
}

void TvlCustomEditViewInfo::SetButtonsInfoCount(int ACount)
{
    const size_t count = size_t(std::max(ACount, 0));
    if (ButtonsInfo.size() > count)
        ButtonsInfo.resize(count);
    while (ButtonsInfo.size() < count)
        ButtonsInfo.push_back(std::make_unique<TvlEditButtonViewInfo>());
}

void TvlCustomEditViewInfo::Paint(TvlCanvas* ACanvas) const
{
    if (!Transparent)
        ACanvas->FillRectByColor(Bounds, BackgroundColor());
}

void TvlCustomEditViewInfo::DrawCustomEdit(TvlCanvas* ACanvas, bool AWholeBackground)
{
    ACanvas->SaveState();
    if (!ButtonsInfo.empty() && !ButtonsInfo[0]->Data.BackgroundPartiallyTransparent)
        for (const auto& button : ButtonsInfo)
            ACanvas->ExcludeClipRect(button->VisibleBounds);
    bool handled = false;
    if (IsInplace && OnDrawBackground)
        OnDrawBackground(this, ACanvas, handled);
    if (!handled) {
        DrawFrame(ACanvas);
        if (!Transparent) {
            if (IsInplace) {
                if (AWholeBackground)
                    vlEditFillRect(ACanvas, ClientRect, BackgroundColor());
                else
                    FillRectExceptInner(ACanvas, Bounds, ClientRect, GetSolidBrushForCxCanvas(ACanvas, BackgroundColor()));
            } else if (AWholeBackground) {
                vlEditFillRect(ACanvas, BorderRect, BackgroundColor());
            }
        }
    }
    ACanvas->RestoreState();
    DrawButtons(ACanvas);
}

void TvlCustomEditViewInfo::DrawButtons(TvlCanvas* ACanvas)
{
    for (size_t i = 0; i < ButtonsInfo.size(); ++i)
        DrawButton(ACanvas, int(i));
}

void TvlCustomEditViewInfo::DrawButton(TvlCanvas* ACanvas, int AButtonVisibleIndex)
{
    TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    button->Data.BackgroundColor = BackgroundColor();
    if (IsRectEmpty(button->VisibleBounds))
        return;
    ACanvas->SaveState();
    if (button->VisibleBounds != button->Bounds)
        ACanvas->IntersectClipRect(button->VisibleBounds);
    TColor background = button->Data.BackgroundColor;
    TColor text = clBtnText;
    TRect backgroundRect = button->Bounds;
    TRect contentRect = button->Bounds;
    DrawButtonBorder(ACanvas, AButtonVisibleIndex, background, text, backgroundRect, contentRect);
    DrawButtonBackground(ACanvas, AButtonVisibleIndex, backgroundRect, background);
    DrawButtonContent(ACanvas, AButtonVisibleIndex, button->Data.State == bdsPressed, background, text, contentRect);
    ACanvas->RestoreState();
}

void TvlCustomEditViewInfo::DrawButtonBorder(TvlCanvas* ACanvas, int AButtonVisibleIndex, TColor& ABackgroundColor,
                                             TColor& ATextColor, TRect& ABackgroundRect, TRect& AContentRect)
{
    const TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    const TvlEditButtonViewInfoData& d = button->Data;
    TRect r = button->Bounds;
    auto frame = [&](TColor AColor) {
        ACanvas->FrameRect(r, AColor);
        InflateRect(r, -1, -1);
    };
    auto complexFrame = [&](TColor ALeftTop, TColor ARightBottom) {
        ACanvas->DrawComplexFrame(r, ALeftTop, ARightBottom);
        InflateRect(r, -1, -1);
    };
    auto sideLines = [&](TColor AColor) {
        ACanvas->FillRectByColor(Rect(r.Left, r.Top, r.Left + 1, r.Bottom), AColor);
        ACanvas->FillRectByColor(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), AColor);
        r.Left += 1;
        r.Right -= 1;
    };
    const bool pressed = d.State == bdsPressed;
    const bool hot = d.State == bdsHot;
    ATextColor = clBtnText;
    TColor background = clBtnFace;
    TvlEditButtonStyle style = d.Style;
    if (style == btsSimple && (pressed || hot))
        style = btsFlat;
    switch (style) {
    case bts3D:
        if (pressed) {
            frame(clBtnShadow);
            frame(d.Transparent ? BackgroundColor() : background);
        } else {
            complexFrame(cl3DLight, cl3DDkShadow);
            complexFrame(clBtnHighlight, clBtnShadow);
        }
        break;
    case btsFlat: {
        const TColor back = d.Transparent ? BackgroundColor() : background;
        ACanvas->FillRectByColor(Rect(r.Left, r.Top, r.Left + 1, r.Bottom), back);
        ++r.Left;
        TRect right = Rect(r.Right - 1, r.Top, r.Right, r.Bottom);
        --r.Right;
        if (pressed)
            complexFrame(clBtnShadow, clBtnHighlight);
        else
            complexFrame(clBtnHighlight, clBtnShadow);
        ACanvas->FillRectByColor(right, back);
        break;
    }
    case btsSimple: {
        const TColor back = d.Transparent ? BackgroundColor() : background;
        if (!Transparent)
            frame(d.BackgroundColor);
        else
            InflateRect(r, -1, -1);
        sideLines(back);
        break;
    }
    case btsHotFlat: {
        background = pressed ? clBtnText : hot ? clBtnShadow : clBtnFace;
        const TColor back = d.Transparent ? BackgroundColor() : background;
        const bool innerMost = d.LeftAlignment ? d.Rightmost : d.Leftmost;
        if (innerMost) {
            frame(clBtnShadow);
        } else {
            // Three outer sides in the shadow, the inner side in the background.
            const TRect b = r;
            ACanvas->FillRectByColor(Rect(b.Left, b.Top, b.Right, b.Top + 1), clBtnShadow);
            ACanvas->FillRectByColor(Rect(b.Left, b.Bottom - 1, b.Right, b.Bottom), clBtnShadow);
            const TRect outer = d.LeftAlignment ? Rect(b.Left, b.Top, b.Left + 1, b.Bottom)
                                                : Rect(b.Right - 1, b.Top, b.Right, b.Bottom);
            const TRect inner = d.LeftAlignment ? Rect(b.Right - 1, b.Top, b.Right, b.Bottom)
                                                : Rect(b.Left, b.Top, b.Left + 1, b.Bottom);
            ACanvas->FillRectByColor(outer, clBtnShadow);
            ACanvas->FillRectByColor(inner, back);
            InflateRect(r, -1, -1);
        }
        sideLines(back);
        if (pressed || hot)
            ATextColor = (hot && d.Transparent) ? clBtnShadow : clWindow;
        break;
    }
    case btsUltraFlat:
    case btsOffice11: {
        const bool office11 = style == btsOffice11;
        const TColor line = GetEditBorderHighlightColor(office11);
        background = (pressed || hot) ? GetEditButtonHighlightColor(pressed, office11) : clBtnFace;
        const bool externalBorder = (PaintOptions & (1u << 2)) != 0;
        const bool framed = !(pressed || hot) || (!IsInplace && EditBorderStyle == ebsNone) ||
                            (IsInplace && !externalBorder);
        if (framed) {
            if (pressed || hot)
                ACanvas->FrameRect(r, line);
            else if (!Transparent)
                ACanvas->FrameRect(r, d.Transparent ? BackgroundColor() : background);
            InflateRect(r, -1, -1);
            ABackgroundRect = Rect(r.Left - 1, r.Top, r.Right + 1, r.Bottom);
            AContentRect = r;
            ABackgroundColor = d.Transparent ? BackgroundColor() : background;
            return;
        }
        if (d.LeftAlignment ? !d.Leftmost : r.Left != BorderRect.Left) {
            ACanvas->FillRectByColor(Rect(r.Left, r.Top, r.Left + 1, r.Bottom), line);
            ++r.Left;
        }
        if (d.LeftAlignment ? r.Right != BorderRect.Right : !d.Rightmost) {
            ACanvas->FillRectByColor(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), line);
            --r.Right;
        }
        break;
    }
    default:
        break;
    }
    ABackgroundColor = d.Transparent ? BackgroundColor() : background;
    ABackgroundRect = r;
    AContentRect = r;
}

void TvlCustomEditViewInfo::DrawButtonBackground(TvlCanvas* ACanvas, int, const TRect& ARect, TColor AColor)
{
    vlEditFillRect(ACanvas, ARect, AColor);
}

void TvlCustomEditViewInfo::DrawButtonContent(TvlCanvas* ACanvas, int AButtonVisibleIndex, bool APressedLook,
                                              TColor, TColor ATextColor, const TRect& AContentRect)
{
    const TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    const bool enabled = button->Data.State != bdsDisabled;
    ACanvas->SaveState();
    ACanvas->IntersectClipRect(AContentRect);
    switch (button->Data.Kind) {
    case bkEllipsis: {
        const int size = AContentRect.Width() > 11 ? 2 : 1;
        const int total = size * 3 + 2 * 2;
        int x = AContentRect.Left + (AContentRect.Width() - total) / 2;
        int y = AContentRect.Top + (AContentRect.Height() - size) / 2;
        if (APressedLook && AContentRect.Width() > total && AContentRect.Height() > size) {
            ++x;
            ++y;
        }
        auto dots = [&](int ADx, TColor AColor) {
            for (int i = 0; i < 3; ++i) {
                const int left = x + ADx + i * (size + 2);
                ACanvas->FillRectByColor(Rect(left, y + ADx, left + size, y + ADx + size), AColor);
            }
        };
        if (enabled) {
            dots(0, ATextColor);
        } else {
            dots(1, clBtnHighlight);
            dots(0, clBtnShadow);
        }
        break;
    }
    case bkDown: {
        TRect r = AContentRect;
        r.Left = button->Bounds.Left;
        r.Right = button->Bounds.Right;
        if (APressedLook)
            OffsetRect(r, 1, 1);
        const TvlCustomLookAndFeelPainter* painter = GetPainterClass(false, lfStandard);
        if (enabled) {
            painter->DrawArrow(ACanvas, r, adDown, ATextColor);
        } else {
            TRect shadow = r;
            OffsetRect(shadow, 1, 1);
            painter->DrawArrow(ACanvas, shadow, adDown, clBtnHighlight);
            painter->DrawArrow(ACanvas, r, adDown, clBtnShadow);
        }
        break;
    }
    case bkGlyph:
        if (IsGlyphValid(button->Glyph)) {
            const int x = AContentRect.Left + (AContentRect.Width() - button->Glyph->Width()) / 2;
            const int y = AContentRect.Top + (AContentRect.Height() - button->Glyph->Height()) / 2;
            DrawGlyphOnCxCanvas(ACanvas, x, y, button->Glyph, enabled);
        }
        break;
    case bkText: {
        TRect r = AContentRect;
        InflateRect(r, -1, IsInplace ? 0 : -1);
        if (APressedLook)
            OffsetRect(r, 1, 1);
        TColor color = button->Data.TextColor == clDefault ? TextColor : button->Data.TextColor;
        if (button->Data.Style == btsHotFlat && (button->Data.State == bdsPressed || button->Data.State == bdsHot))
            color = ATextColor;
        if (Font != nullptr)
            ACanvas->SetFont(Font);
        const int align = button->Data.ContentAlignment == taLeftJustify  ? DT_LEFT
                          : button->Data.ContentAlignment == taRightJustify ? DT_RIGHT
                                                                            : DT_CENTER;
        const int flags = DT_SINGLELINE | DT_VCENTER | align;
        if (enabled) {
            DrawTextOnCanvas(ACanvas->Canvas(), button->Data.Caption, r, flags, color);
        } else {
            TRect shadow = r;
            OffsetRect(shadow, 1, 1);
            DrawTextOnCanvas(ACanvas->Canvas(), button->Data.Caption, shadow, flags, clBtnHighlight);
            DrawTextOnCanvas(ACanvas->Canvas(), button->Data.Caption, r, flags, clBtnShadow);
        }
        break;
    }
    }
    ACanvas->RestoreState();
}

// ---------------------------------------------------------------- view data

TvlCustomEditViewData::TvlCustomEditViewData(const TvlCustomEditProperties* AProperties, TvlCustomEditStyle* AStyle,
                                             bool AIsInplace)
    : IsInplace(AIsInplace), FProperties(AProperties), FStyle(AStyle)
{
    ButtonVisibleCount = FProperties->Buttons()->VisibleButtonCount();
}

TvlContainerState TvlCustomEditViewData::ComputeContainerState(const TRect& ABounds, const TPoint& AMousePos,
                                                               TvlMouseButton, TShiftState AShift, bool) const
{
    if (!Enabled)
        return TvlContainerState{csDisabled};
    if (IsDesigning)
        return TvlContainerState{csNormal};
    TvlContainerState state{csNormal};
    if (Focused)
        state.Include(csActive);
    const bool buttonHeld = AShift.Contains(ssLeft) || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
    if (PtInRect(shrink(ABounds, ContentOffset), AMousePos) && !buttonHeld)
        state.Include(csHotTrack);
    return state;
}

TRect TvlCustomEditViewData::DefaultContentOffsets() const
{
    return IsInplace ? Rect(1, 1, 1, 1) : Rect(1, 1, 1, 3);
}

TvlEditBorderStyle TvlCustomEditViewData::EffectiveBorderStyle() const
{
    if (IsInplace)
        return ebsNone;
    const TvlEditBorderStyle style = FStyle->GetBorderStyle();
    return (style == ebsUltraFlat || style == ebsOffice11) ? ebsSingle : style;
}

void TvlCustomEditViewData::EdgeBorderExtent(int ABorderWidth, TRect& AExtent) const
{
    const TvlBorders edges = FStyle->Edges();
    AExtent = Rect(edges.Contains(bLeft) ? ABorderWidth : 0, edges.Contains(bTop) ? ABorderWidth : 0,
                   edges.Contains(bRight) ? ABorderWidth : 0, edges.Contains(bBottom) ? ABorderWidth : 0);
}

bool TvlCustomEditViewData::HasShadow() const { return FStyle->Shadow() && !NativeStyle; }

void TvlCustomEditViewData::GetBorderExtent(TRect& AExtent) const
{
    if (IsInplace) {
        AExtent = ContentOffset;
        return;
    }
    if (FStyle->TransparentBorder())
        AExtent = Rect(2, 2, 2, 2);
    else if (FStyle->GetBorderStyle() == ebsNone)
        AExtent = TRect{};
    else if (NativeStyle)
        AExtent = Rect(2, 2, 2, 2);
    else
        EdgeBorderExtent(containerBorderWidth(EffectiveBorderStyle()), AExtent);
    if (HasShadow()) {
        AExtent.Right += 3;
        AExtent.Bottom += 3;
    }
}

void TvlCustomEditViewData::ButtonsMargins(TvlCanvas*, TRect& AExtent) const
{
    if (IsInplace)
        AExtent = ContentOffset;
    else if (!NativeStyle)
        GetBorderExtent(AExtent);
    else
        AExtent = FStyle->GetBorderStyle() == ebsNone && !FStyle->TransparentBorder() ? TRect{} : Rect(2, 2, 2, 2);
}

void TvlCustomEditViewData::ClientMargins(TvlCanvas* ACanvas, const TvlCustomEditViewInfo* AViewInfo,
                                          TRect& AExtent) const
{
    GetBorderExtent(AExtent);
    if (ButtonsOnly && ButtonVisibleCount > 0) {
        TRect buttons;
        ButtonsMargins(ACanvas, buttons);
        AExtent.Left = buttons.Left;
        AExtent.Right = buttons.Right;
    }
    // Cut buttons push by their visible part only, and buttons with no room
    // not at all, so a narrow editor never gets an inverted client rectangle.
    for (const auto& button : AViewInfo->ButtonsInfo) {
        const TRect& r = button->VisibleBounds;
        if (IsRectEmpty(r))
            continue;
        if (button->Data.LeftAlignment)
            AExtent.Left = std::max(AExtent.Left, r.Right - AViewInfo->Bounds.Left);
        else
            AExtent.Right = std::max(AExtent.Right, AViewInfo->Bounds.Right - r.Left);
    }
}

TColor TvlCustomEditViewData::ComputeBorderColor() const
{
    const TvlEditBorderStyle style = FStyle->GetBorderStyle();
    if (style != ebsUltraFlat && style != ebsOffice11)
        return FStyle->BorderColor();
    const bool active = ContainerState.Contains(csActive) ||
                        (ContainerState.Contains(csHotTrack) && FStyle->HotTrack());
    if (active || (IsDesigning && Enabled))
        return GetEditBorderHighlightColor(style == ebsOffice11);
    return clBtnShadow;
}

TvlEditButtonStyle TvlCustomEditViewData::GetEffectiveButtonStyle() const
{
    const TvlEditButtonStyle style = FStyle->ButtonStyle();
    if (style != btsDefault)
        return style;
    if (IsInplace || (FStyle->GetBorderStyle() == ebsNone && !FStyle->HotTrack())) {
        switch (FStyle->LookAndFeel()->Kind()) {
        case lfFlat:
            return btsFlat;
        case lfStandard:
            return bts3D;
        case lfOffice11:
            return btsOffice11;
        default:
            return btsUltraFlat;
        }
    }
    static constexpr TvlEditButtonStyle byBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat,
                                                      bts3D, btsUltraFlat, btsOffice11};
    return byBorder[FStyle->GetBorderStyle()];
}

void TvlCustomEditViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                      TvlMouseButton AButton, TShiftState AShift, TvlCustomEditViewInfo* AViewInfo,
                                      bool AIsMouseEvent)
{
    AShift = AShift * TShiftState{ssLeft, ssRight, ssMiddle, ssDouble};
    AViewInfo->ContainerState = ComputeContainerState(ABounds, AMousePos, AButton, AShift, AIsMouseEvent);
    ContainerState = AViewInfo->ContainerState;
    if (IsDesigning || IsInplace || !FStyle->HotTrack())
        AViewInfo->HotState = 0;
    else
        AViewInfo->HotState =
            AViewInfo->ContainerState.Contains(csActive) || AViewInfo->ContainerState.Contains(csHotTrack) ? 2 : 1;
    AViewInfo->EditBorderStyle = EffectiveBorderStyle();
    AViewInfo->BorderStyle = TvlContainerBorderStyle(AViewInfo->EditBorderStyle);
    AViewInfo->BorderWidth = containerBorderWidth(AViewInfo->EditBorderStyle);
    AViewInfo->Properties = FProperties;
    ButtonsOnly = IsInplace
                      ? ABounds.Right != std::numeric_limits<int>::max() && FProperties->ButtonsLayout() != eblNormal
                      : FProperties->ButtonsLayout() == eblButtonsOnly;
    Bounds = ABounds;
    AViewInfo->Bounds = ABounds;
    AViewInfo->Edit = Edit;
    AViewInfo->Enabled = Enabled;
    AViewInfo->Focused = Focused;
    AViewInfo->IsDesigning = IsDesigning;
    AViewInfo->IsInplace = IsInplace;
    AViewInfo->IsSelected = IsSelected;
    AViewInfo->PaintOptions = PaintOptions;
    AViewInfo->Edges = FStyle->Edges();
    AViewInfo->Font = FStyle->GetVisibleFont();
    AViewInfo->Shadow = !IsInplace && HasShadow();
    // Colours and borders.
    AViewInfo->NativeStyle = NativeStyle;
    GetBorderExtent(AViewInfo->BorderExtent);
    AViewInfo->BorderRect = shrink(ABounds, AViewInfo->BorderExtent);
    AViewInfo->ShadowRect = AViewInfo->BorderRect;
    AViewInfo->HasContentOffsets = !IsRectEmpty(ContentOffset);
    if (!IsInplace)
        AViewInfo->BorderColor = ComputeBorderColor();
    if (AViewInfo->TextColor == clDefault)
        AViewInfo->TextColor = FStyle->GetTextColor();
    AViewInfo->SetBackgroundColor(FStyle->GetVisibleColor());
    LayOutButtons(ACanvas, ABounds, false, AViewInfo, AShift, AButton, AMousePos);
    TRect margins;
    ClientMargins(ACanvas, AViewInfo, margins);
    AViewInfo->ClientRect = shrink(ABounds, margins);
    AViewInfo->InnerEditRect = AViewInfo->ClientRect;
    AViewInfo->PopupBorderStyle = FStyle->PopupBorderStyle();
}

void TvlCustomEditViewData::LayOutButtons(TvlCanvas* ACanvas, const TRect& ABounds, bool AKeepPressed,
                                          TvlCustomEditViewInfo* AViewInfo, TShiftState AShift,
                                          TvlMouseButton AButton, const TPoint& AMousePos)
{
    const TvlEditButtonTransparency transparency = FStyle->ButtonTransparency();
    const bool active = ContainerState.Contains(csActive);
    if (ButtonVisibleCount == 0 || (!active && transparency == ebtHideInactive) ||
        (!active && !ContainerState.Contains(csHotTrack) && transparency == ebtHideUnselected)) {
        AViewInfo->SetButtonsInfoCount(0);
        return;
    }
    AViewInfo->SetButtonsInfoCount(ButtonVisibleCount);
    AViewInfo->IsButtonReallyPressed = false;
    const int keptPressed = AKeepPressed ? AViewInfo->PressedButton : -1;
    AViewInfo->PressedButton = -1;
    AViewInfo->SelectedButton = -1;
    LeftSideLeftmostButtonIndex = LeftSideRightmostButtonIndex = -1;
    RightSideLeftmostButtonIndex = RightSideRightmostButtonIndex = -1;

    TRect extent;
    ButtonsMargins(ACanvas, extent);
    TRect area = shrink(ABounds, extent);
    const int areaWidth = std::max(area.Width(), 0);
    const TvlEditButtons* buttons = FProperties->Buttons();
    int visible = ButtonVisibleCount;
    bool fontPrepared = false;
    for (int i = buttons->Count() - 1; i >= 0; --i) {
        const TvlEditButton* button = buttons->Items(i);
        if (!button->Visible())
            continue;
        --visible;
        if (button->Kind() == bkText && !fontPrepared) {
            ACanvas->SetFont(FStyle->GetVisibleFont());
            fontPrepared = true;
        }
        TvlEditButtonViewInfo* info = AViewInfo->ButtonsInfo[size_t(visible)].get();
        info->Index = i;
        info->Data.Style = GetEffectiveButtonStyle();
        CalculateButtonViewInfo(ACanvas, AViewInfo, area, visible);
    }
    StretchButtons(AViewInfo, areaWidth, std::max(area.Width(), 0));

    const bool leftOnly = AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle);
    const bool anyHeld = AShift.Contains(ssLeft) || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
    for (int i = 0; i < ButtonVisibleCount; ++i) {
        TvlEditButtonViewInfo* info = AViewInfo->ButtonsInfo[size_t(i)].get();
        const TvlEditButtonDrawState old = info->Data.State;
        TvlEditButtonDrawState state = bdsNormal;
        const bool heldPressed = IsButtonHeldPressed(AViewInfo, i);
        if (!Enabled || !buttons->Items(info->Index)->Enabled()) {
            state = bdsDisabled;
        } else if (heldPressed || (!IsDesigning && PtInRect(info->VisibleBounds, AMousePos))) {
            const bool leftClick = AButton == cxmbLeft && leftOnly;
            const bool stillPressed = old == bdsPressed && AShift.Contains(ssLeft);
            if (leftClick || stillPressed || heldPressed)
                AViewInfo->IsButtonReallyPressed = true;
            if (!heldPressed && !anyHeld) {
                state = bdsHot;
                AViewInfo->SelectedButton = i;
            } else if (heldPressed || (leftOnly && ((leftClick && IsButtonPressable(AViewInfo, i)) ||
                                                    i == keptPressed)) ||
                       stillPressed) {
                state = bdsPressed;
                AViewInfo->PressedButton = i;
            }
        }
        if (AViewInfo->OnButtonStateRequest)
            AViewInfo->OnButtonStateRequest(AViewInfo, i, state);
        info->Data.State = state;
    }

    auto mark = [&](int AIndex, bool ALeftmost) {
        if (AIndex < 0)
            return;
        auto& data = AViewInfo->ButtonsInfo[size_t(AIndex)]->Data;
        (ALeftmost ? data.Leftmost : data.Rightmost) = true;
    };
    const bool hasLeft = LeftSideLeftmostButtonIndex >= 0;
    const bool hasRight = RightSideRightmostButtonIndex >= 0;
    mark(LeftSideLeftmostButtonIndex, true);
    if (!(ButtonsOnly && hasRight))
        mark(LeftSideRightmostButtonIndex, false);
    if (!(ButtonsOnly && hasLeft))
        mark(RightSideLeftmostButtonIndex, true);
    mark(RightSideRightmostButtonIndex, false);
    if (ButtonsOnly)
        for (const auto& info : AViewInfo->ButtonsInfo)
            info->Data.LeftAlignment = false;
}

void TvlCustomEditViewData::CalculateButtonViewInfo(TvlCanvas* ACanvas, TvlCustomEditViewInfo* AViewInfo,
                                                    TRect& ARect, int AButtonVisibleIndex)
{
    TvlEditButtonViewInfo* info = AViewInfo->ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    TvlEditButton* button = FProperties->Buttons()->Items(info->Index);
    TvlEditButtonViewInfoData& d = info->Data;
    d.ComboBoxStyle = ButtonVisibleCount == 1 && button->Kind() == bkDown;
    d.Kind = button->Kind();
    if (d.Kind == bkText) {
        d.Caption = button->Caption();
        d.TextColor = button->TextColor();
        d.VisibleCaption = button->VisibleCaption();
    }
    d.ContentAlignment = button->ContentAlignment();
    d.Default = button->Default();
    info->Glyph = button->GlyphIfAny();
    info->HasBackground = AViewInfo->HasBackground;
    d.Gradient = FStyle->GradientButtons();
    d.Hint = button->Hint();
    d.IsInplace = IsInplace;
    d.LeftAlignment = button->LeftAlignment();
    d.Leftmost = d.Rightmost = false;
    d.NativeStyle = AViewInfo->NativeStyle;
    info->Stretchable = button->Stretchable();
    info->Width = button->Width();
    if (info->Width == 0 && OnButtonWidthRequest)
        OnButtonWidthRequest(this, info->Index, info->Width);
    const TvlEditButtonTransparency transparency = FStyle->ButtonTransparency();
    d.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !Selected);
    d.BackgroundColor = AViewInfo->BackgroundColor();
    PlaceButton(ACanvas, AViewInfo, ARect, AButtonVisibleIndex);
}

void TvlCustomEditViewData::PlaceButton(TvlCanvas* ACanvas, TvlCustomEditViewInfo* AViewInfo, TRect& ARect,
                                        int AButtonVisibleIndex)
{
    TvlEditButtonViewInfo* info = AViewInfo->ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    if (ARect.Width() <= 0 || ARect.Height() <= 0) {
        info->Bounds = info->VisibleBounds = TRect{};
        return;
    }
    const int w = CalculateEditButtonWidth(ACanvas, info);
    const int visibleWidth = std::min(w, ARect.Width());
    if (info->Data.LeftAlignment) {
        info->Bounds = Rect(ARect.Left, ARect.Top, ARect.Left + w, ARect.Bottom);
        info->VisibleBounds = Rect(ARect.Left, ARect.Top, ARect.Left + visibleWidth, ARect.Bottom);
        ARect.Left += visibleWidth;
        if (LeftSideLeftmostButtonIndex < 0)
            LeftSideLeftmostButtonIndex = AButtonVisibleIndex;
        LeftSideRightmostButtonIndex = AButtonVisibleIndex;
    } else {
        info->Bounds = Rect(ARect.Right - w, ARect.Top, ARect.Right, ARect.Bottom);
        info->VisibleBounds = Rect(ARect.Right - visibleWidth, ARect.Top, ARect.Right, ARect.Bottom);
        ARect.Right -= visibleWidth;
        if (RightSideRightmostButtonIndex < 0)
            RightSideRightmostButtonIndex = AButtonVisibleIndex;
        RightSideLeftmostButtonIndex = AButtonVisibleIndex;
    }
}

void TvlCustomEditViewData::StretchButtons(TvlCustomEditViewInfo* AViewInfo, int AButtonsWidth, int AFreeWidth)
{
    (void)AButtonsWidth;
    if (!ButtonsOnly || AFreeWidth <= 0 || AViewInfo->ButtonsInfo.empty())
        return;
    auto& infos = AViewInfo->ButtonsInfo;
    const int n = int(infos.size());
    std::vector<bool> takesPart(size_t(n), false);
    int total = 0;
    for (int i = 0; i < n; ++i)
        if (infos[size_t(i)]->Stretchable && !IsButtonExcludedFromStretch(i)) {
            takesPart[size_t(i)] = true;
            total += infos[size_t(i)]->Bounds.Width();
        }
    if (total == 0) {
        std::fill(takesPart.begin(), takesPart.end(), true);
        total = 0;
        for (const auto& info : infos)
            total += info->Bounds.Width();
    }
    if (total <= 0)
        return;
    int lastVisited = -1;
    for (int i = 0; i < n; ++i)
        if (takesPart[size_t(i)]) {
            lastVisited = i;
            break;
        }
    int left = AFreeWidth;
    for (int i = n - 1; i >= 0; --i) {
        if (!takesPart[size_t(i)])
            continue;
        TvlEditButtonViewInfo* info = infos[size_t(i)].get();
        const int c = i == lastVisited ? left : info->Bounds.Width() * AFreeWidth / total;
        left -= c;
        if (info->Data.LeftAlignment) {
            info->Bounds.Right += c;
            info->VisibleBounds.Right += c;
            for (const auto& other : infos)
                if (other.get() != info && other->Data.LeftAlignment && other->Bounds.Left >= info->Bounds.Left + 0 &&
                    other->Bounds.Left > info->Bounds.Left) {
                    OffsetRect(other->Bounds, c, 0);
                    OffsetRect(other->VisibleBounds, c, 0);
                }
        } else {
            info->Bounds.Left -= c;
            info->VisibleBounds.Left -= c;
            for (const auto& other : infos)
                if (other.get() != info && !other->Data.LeftAlignment && other->Bounds.Right < info->Bounds.Right) {
                    OffsetRect(other->Bounds, -c, 0);
                    OffsetRect(other->VisibleBounds, -c, 0);
                }
        }
    }
}

void TvlCustomEditViewData::GetEditSize(TvlCanvas* ACanvas, const Variant& AEditValue,
                                        const TvlEditMeasureParams& AMeasureParams, TSize& ASize,
                                        TvlCustomEditViewInfo* AViewInfo)
{
    std::unique_ptr<TvlCustomEditViewInfo> temporary;
    if (AViewInfo == nullptr) {
        temporary = FProperties->CreateViewInfo();
        AViewInfo = temporary.get();
        Calculate(ACanvas, Rect(0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()), TPoint{-1, -1}, cxmbNone, TShiftState{}, AViewInfo, false);
    }
    // The constant part: the bounds less the client rectangle.
    ASize = TSize{AViewInfo->Bounds.Width() - AViewInfo->ClientRect.Width(),
                  AViewInfo->Bounds.Height() - AViewInfo->ClientRect.Height()};
    TvlEditMeasureParams params = AMeasureParams;
    bool tooNarrow = false;
    if (AMeasureParams.MaxWidth >= 0) {
        params.MaxWidth = AMeasureParams.MaxWidth - ASize.cx;
        if (params.MaxWidth < 0) {
            params.MaxWidth = 0;
            tooNarrow = true;
        }
    }
    TSize content = ButtonsOnly ? TSize{0, 0} : MeasureContentCore(ACanvas, AEditValue, params);
    if (tooNarrow)
        ASize.cx = AMeasureParams.MaxWidth;
    else
        ASize.cx += content.cx;
    ASize.cy += content.cy;
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomEditProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                               bool AIsInplace) const
{
    return std::make_unique<TvlCustomEditViewData>(this, AStyle, AIsInplace);
}
