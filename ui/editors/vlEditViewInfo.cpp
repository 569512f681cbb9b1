// Measuring and painting an editor or a grid cell: the view data lays out
// the frame and the buttons, the view info draws them.
#include <algorithm>
#include <limits>

#include "platform/controls/Forms.h"
#include "platform/graphics/SysMetrics.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/editors/vlEditScopes.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vxOffice11.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

// Parts, states and properties of the edit and button themes.
constexpr int EP_EDITTEXT = 1;
constexpr int EP_BACKGROUND = 3;
constexpr int TMT_FILLCOLOR = 3802;

int containerBorderWidth(TvlEditBorderStyle AStyle)
{
    return GetContainerBorderWidth(TvlContainerBorderStyle(AStyle));
}

TRect shrink(const TRect& R, const TRect& AExtent)
{
    return Rect(R.Left + AExtent.Left, R.Top + AExtent.Top, R.Right - AExtent.Right, R.Bottom - AExtent.Bottom);
}

bool anyMouseButton(TShiftState AShift)
{
    return AShift.Contains(ssLeft) || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
}

TvlButtonState painterButtonState(TvlEditButtonDrawState AState)
{
    switch (AState) {
    case bdsDisabled:
        return vlbsDisabled;
    case bdsPressed:
        return vlbsPressed;
    case bdsHot:
        return vlbsHot;
    default:
        return vlbsNormal;
    }
}

// The kinds of the skin painter's editor-button drawing.
uint8_t painterButtonKind(TvlEditButtonKind AKind)
{
    switch (AKind) {
    case bkEllipsis:
        return 3;
    case bkDown:
        return 1;
    default:
        return 2;
    }
}

}  // namespace

// ---------------------------------------------------------------- view info

TvlCustomEditViewInfo::TvlCustomEditViewInfo() = default;
TvlCustomEditViewInfo::~TvlCustomEditViewInfo() = default;

void TvlCustomEditViewInfo::Assign(const TObject* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomEditViewInfo*>(Source)) {
        SetBackgroundColor(source->BackgroundColor());
        BorderColor = source->BorderColor;
        EditBorderStyle = source->EditBorderStyle;
        ContainerState = source->ContainerState;
        NativeState = source->NativeState;
        SetButtonsInfoCount(int(source->ButtonsInfo.size()));
        for (size_t i = 0; i < ButtonsInfo.size(); ++i)
            ButtonsInfo[i]->Assign(source->ButtonsInfo[i].get());
        PressedButton = source->PressedButton;
        SelectedButton = source->SelectedButton;
    }
    TvlContainerViewInfo::Assign(Source);
}

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

void TvlCustomEditViewInfo::Paint(TvlCanvas* ACanvas)
{
    if (OnPaint)
        OnPaint(this, ACanvas);
    TvlContainerViewInfo::Paint(ACanvas);
}

void TvlCustomEditViewInfo::GetColorSettingsByPainter(TColor& ABackground, TColor& AText) const
{
    ABackground = clDefault;
    AText = clDefault;
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

bool TvlCustomEditViewInfo::Repaint(TWinControl* AControl, const TvlCustomEditViewInfo* AOldViewInfo)
{
    return RepaintExceptInnerEdit(AControl, TRect{}, AOldViewInfo);
}

bool TvlCustomEditViewInfo::RepaintExceptInnerEdit(TWinControl* AControl, const TRect& AInnerEditRect,
                                                   const TvlCustomEditViewInfo* AOldViewInfo)
{
    if (AControl == nullptr || !AControl->HandleAllocated())
        return false;
    const TPoint position{Left, Top};
    const auto moved = [&](TRect R) {
        OffsetRect(R, position.X, position.Y);
        return R;
    };
    const TRect r = moved(Bounds);
    TRect inner;
    if (!IsRectEmpty(AInnerEditRect))
        IntersectRect(inner, AInnerEditRect, ClientRect);
    inner = moved(inner);
    const auto invalidate = [&](const TRect& AExcept, bool AErase) {
        if (IsRectEmpty(r) || r == AExcept)
            return false;
        InternalInvalidate(AControl->Handle(), r, AExcept, AErase);
        return true;
    };
    if (AOldViewInfo == nullptr) {
        invalidate(inner, HasBackground);
        return false;
    }
    bool result = false;
    const bool sameButtonCount = AOldViewInfo->ButtonsInfo.size() == ButtonsInfo.size();
    const bool changed = AOldViewInfo->NativeState != NativeState ||
                         AOldViewInfo->BackgroundColor() != BackgroundColor() ||
                         (!(AOldViewInfo->ContainerState == ContainerState) && IsRepaintOnStateChangingNeeded()) ||
                         !sameButtonCount;
    if (changed)
        result = invalidate(inner, AOldViewInfo->HasBackground);
    else if ((EditBorderStyle != ebsNone && AOldViewInfo->BorderColor != BorderColor) ||
             AOldViewInfo->EditBorderStyle != EditBorderStyle)
        result = invalidate(moved(BorderRect), AOldViewInfo->HasBackground);
    if (sameButtonCount)
        for (size_t i = 0; i < ButtonsInfo.size(); ++i)
            result = ButtonsInfo[i]->Repaint(AControl, AOldViewInfo->ButtonsInfo[i].get(), position) || result;
    return result;
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

bool TvlCustomEditViewInfo::NeedShowHint(TvlCanvas* ACanvas, const TPoint& APoint, TRect& ARect,
                                         bool& AIsMultiLine, String& AText)
{
    return NeedShowHintInBounds(ACanvas, APoint, ARect, AIsMultiLine, AText, TRect{});
}

bool TvlCustomEditViewInfo::NeedShowHintInBounds(TvlCanvas*, const TPoint& APoint, TRect& ARect,
                                                 bool& AIsMultiLine, String& AText, const TRect&)
{
    AIsMultiLine = false;
    AText.clear();
    const int part = GetPart(APoint);
    if (part < 0)
        return false;
    AText = GetShortHint(ButtonsInfo[size_t(part)]->Data.Hint);
    if (AText.isEmpty())
        return false;
    THintWindow window(nullptr);
    ARect = window.CalcHintRect(Screen != nullptr ? Screen->Width() : 1024, AText, nullptr);
    TPoint cursor;
    InternalGetCursorPos(cursor);
    OffsetRect(ARect, cursor.X, cursor.Y + GetSystemMetrics(SM_CYCURSOR));
    return true;
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

// ---- background

bool TvlCustomEditViewInfo::DrawCustomBackground(TvlCanvas* ACanvas)
{
    bool handled = false;
    if (IsCustomBackground())
        OnDrawBackground(this, ACanvas, handled);
    return handled;
}

bool TvlCustomEditViewInfo::IsBackgroundTransparent() const
{
    if (IsInplace)
        return IsCustomBackground() || Transparent || (Edit != nullptr && Edit->IsTransparentBackground());
    // Standalone: the parent's or the theme's background shows through.
    return Transparent || (Edit != nullptr && Edit->IsTransparentBackground());
}

void TvlCustomEditViewInfo::DrawEditBackground(TvlCanvas* ACanvas, const TRect& ARect, const TRect& ABackgroundRect,
                                               bool AIsBackgroundPreDrawn)
{
    ACanvas->SaveState();
    if (!IsRectEmpty(ABackgroundRect))
        ACanvas->ExcludeClipRect(ABackgroundRect);
    if (IsInplace) {
        if (!DrawCustomBackground(ACanvas) && !IsBackgroundTransparent())
            vlEditFillRect(ACanvas, ARect, BackgroundColor());
    } else if (IsBackgroundTransparent()) {
        if (!AIsBackgroundPreDrawn && Edit != nullptr)
            ThemeLibrary()->DrawThemeParentBackground(Edit, ACanvas->Handle(), ARect);
    } else {
        vlEditFillRect(ACanvas, ARect, BackgroundColor());
    }
    ACanvas->RestoreState();
}

void TvlCustomEditViewInfo::DrawNativeStyleEditBackground(TvlCanvas* ACanvas, bool ADrawBackground,
                                                          TColor ABackgroundColor)
{
    // In place or without a border the themed frame takes the bounds, else
    // the frame's own rectangle (the bounds less the shadow).
    TRect frame = Bounds;
    if (!IsInplace && EditBorderStyle != ebsNone && Shadow) {
        frame.Right -= cxContainerShadowWidth;
        frame.Bottom -= cxContainerShadowWidth;
    }
    IvxThemeLibrary* library = ThemeLibrary();
    TRect content = IsInplace ? ClientRect : BorderRect;
    if (const HTHEME theme = OpenTheme(totEdit)) {
        if (library->IsThemeBackgroundPartiallyTransparent(theme, EP_EDITTEXT, NativeState) && Edit != nullptr)
            library->DrawThemeParentBackground(Edit, ACanvas->Handle(), frame);
        library->DrawThemeBackground(theme, ACanvas->Handle(), EP_EDITTEXT, NativeState, frame);
    }
    if (ADrawBackground && !Transparent)
        vlEditFillRect(ACanvas, content, ABackgroundColor);
}

void TvlCustomEditViewInfo::DrawCustomEdit(TvlCanvas* ACanvas, bool AWholeBackground)
{
    ACanvas->SaveState();
    if (!ButtonsInfo.empty() && !ButtonsInfo[0]->Data.BackgroundPartiallyTransparent)
        for (const auto& button : ButtonsInfo)
            ACanvas->ExcludeClipRect(button->VisibleBounds);
    if (!DrawCustomBackground(ACanvas)) {
        if (NativeStyle) {
            DrawNativeStyleEditBackground(ACanvas, AWholeBackground, BackgroundColor());
        } else {
            DrawFrame(ACanvas);
            if (!Transparent) {
                if (IsInplace) {
                    // No frame in place: the content offsets around the
                    // client area take the background too.
                    if (AWholeBackground)
                        vlEditFillRect(ACanvas, Bounds, BackgroundColor());
                    else
                        FillRectExceptInner(ACanvas, Bounds, ClientRect,
                                            GetSolidBrushForCxCanvas(ACanvas, BackgroundColor()));
                } else if (AWholeBackground) {
                    vlEditFillRect(ACanvas, BorderRect, BackgroundColor());
                }
            }
        }
    }
    ACanvas->RestoreState();
    DrawButtons(ACanvas);
}

// ---- buttons

void TvlCustomEditViewInfo::DrawButtons(TvlCanvas* ACanvas)
{
    // An editor may draw its buttons itself on that device context.
    if (FDrawingButtons || (Edit != nullptr && Edit->IsButtonDC(ACanvas->Handle())))
        return;
    const TvlEditRestore<bool> drawing(FDrawingButtons, true);
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
    const TRect& b = button->Bounds;
    if (b.Left < BorderRect.Left || b.Top < BorderRect.Top || b.Right > BorderRect.Right ||
        b.Bottom > BorderRect.Bottom)
        ACanvas->IntersectClipRect(button->VisibleBounds);
    bool handled = false;
    if (OnCustomDrawButton)
        OnCustomDrawButton(this, ACanvas, AButtonVisibleIndex, handled);
    if (!handled)
        InternalDrawButton(ACanvas, AButtonVisibleIndex);
    ACanvas->RestoreState();
}

void TvlCustomEditViewInfo::InternalDrawButton(TvlCanvas* ACanvas, int AButtonVisibleIndex)
{
    TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    const TRect bounds = button->Bounds;
    // A glyph (or a skin) is drawn in several passes: off-screen, so the
    // button never shows half drawn.
    const bool offScreen = (IsGlyphValid(button->Glyph) || Painter != nullptr) && !IsRectEmpty(bounds);
    std::unique_ptr<TBitmap> bitmap;
    std::unique_ptr<TvlCanvas> bitmapCanvas;
    TvlCanvas* canvas = ACanvas;
    if (offScreen) {
        bitmap = std::make_unique<TBitmap>();
        bitmap->SetSize(bounds.Width(), bounds.Height());
        bitmapCanvas = std::make_unique<TvlCanvas>(bitmap->Canvas());
        bitmapCanvas->SetWindowOrg(bounds.TopLeft());
        if (const TFont* font = ACanvas->Font())
            bitmapCanvas->SetFont(font);
        canvas = bitmapCanvas.get();
    }
    TColor background = button->Data.BackgroundColor;
    TColor text = clBtnText;
    TRect backgroundRect = bounds;
    TRect contentRect = bounds;
    DrawButtonBorder(canvas, AButtonVisibleIndex, background, text, backgroundRect, contentRect);
    bool handled = false;
    if (OnCustomDrawButtonBackground)
        OnCustomDrawButtonBackground(this, canvas, backgroundRect, AButtonVisibleIndex, handled);
    if (!handled) {
        if (button->Data.NativePart != 0)
            DrawNativeButtonBackground(canvas, AButtonVisibleIndex, backgroundRect);
        else
            DrawButtonBackground(canvas, AButtonVisibleIndex, backgroundRect, background);
    }
    const bool pressedLook = button->Data.State == bdsPressed && (Edit == nullptr || Edit->LeftButtonDownOnButton());
    DrawButtonContent(canvas, AButtonVisibleIndex, pressedLook, background, text, contentRect);
    if (offScreen) {
        bitmapCanvas.reset();
        ACanvas->Draw(bounds.Left, bounds.Top, bitmap.get());
    }
}

void TvlCustomEditViewInfo::DrawNativeButtonBorder(TvlCanvas* ACanvas, int AButtonVisibleIndex,
                                                   TRect& ABackgroundRect, TRect& AContentRect)
{
    const TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    ABackgroundRect = button->Bounds;
    AContentRect = TRect{};
    if (button->Data.ComboBoxStyle)
        return;
    const HTHEME theme = OpenTheme(totButton);
    if (theme == 0 || ThemeLibrary()->GetThemeBackgroundContentRect(theme, ACanvas->Handle(), button->Data.NativePart,
                                                                    button->Data.NativeState, button->Bounds,
                                                                    AContentRect) != S_OK)
        AContentRect = button->Bounds;
}

void TvlCustomEditViewInfo::DrawNativeButtonBackground(TvlCanvas* ACanvas, int AButtonVisibleIndex, const TRect&)
{
    const TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    if (const HTHEME theme = OpenTheme(button->Data.ComboBoxStyle ? totComboBox : totButton))
        ThemeLibrary()->DrawThemeBackground(theme, ACanvas->Handle(), button->Data.NativePart,
                                            button->Data.NativeState, button->Bounds);
}

void TvlCustomEditViewInfo::DrawButtonBorder(TvlCanvas* ACanvas, int AButtonVisibleIndex, TColor& ABackgroundColor,
                                             TColor& ATextColor, TRect& ABackgroundRect, TRect& AContentRect)
{
    const TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    const TvlEditButtonViewInfoData& d = button->Data;
    TRect r = button->Bounds;
    bool handled = false;
    if (OnCustomDrawButtonBorder) {
        ABackgroundRect = AContentRect = r;
        OnCustomDrawButtonBorder(this, ACanvas, AButtonVisibleIndex, ABackgroundRect, AContentRect, handled);
        if (handled)
            return;
    }
    if (d.NativePart != 0) {
        DrawNativeButtonBorder(ACanvas, AButtonVisibleIndex, ABackgroundRect, AContentRect);
        return;
    }
    if (Painter != nullptr) {
        TColor color = Painter->DefaultEditorBackgroundColor(d.State == bdsDisabled);
        if (color == clDefault)
            color = d.State == bdsDisabled ? clBtnFace : clWindow;
        ABackgroundColor = d.Transparent ? BackgroundColor() : color;
        const TColor text = Painter->EditButtonGlyphColor();
        ATextColor = text == clDefault ? clBtnText : text;
        ABackgroundRect = AContentRect = r;
        return;
    }
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
        if (pressed || hot)
            background = GetEditButtonHighlightColor(pressed, office11);
        else if (office11 && d.State != bdsDisabled)
            background = Office11ControlFaceColor != 0 ? Office11ControlFaceColor : clBtnFace;
        const bool externalBorder = (PaintOptions & vlepoExternalBorder) != 0;
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

void TvlCustomEditViewInfo::DrawButtonBackground(TvlCanvas* ACanvas, int AButtonVisibleIndex, const TRect& ARect,
                                                 TColor AColor)
{
    const TvlEditButtonViewInfoData& d = ButtonsInfo[size_t(AButtonVisibleIndex)]->Data;
    if (d.Style == btsOffice11 && d.Gradient && !d.Transparent && d.State != bdsDisabled && Painter == nullptr) {
        TColor from = Office11GradientLightColor, to = Office11GradientDarkColor;
        if (d.State == bdsPressed) {
            from = Office11PressedFaceColor;
            to = Office11PressedFaceDarkColor;
        } else if (d.State == bdsHot) {
            from = Office11HotFaceColor;
            to = Office11HotFaceDarkColor;
        }
        // The gradient spans the editor's height, so neighbouring buttons
        // of different widths shade alike.
        TRect r = Rect(ARect.Left, BorderRect.Top, ARect.Right, BorderRect.Bottom);
        if (d.State == bdsNormal)
            InflateRect(r, 0, -1);
        ACanvas->SaveState();
        ACanvas->IntersectClipRect(ARect);
        vxOffice11::FillGradientRect(ACanvas->Handle(), r, from, to, false);
        ACanvas->RestoreState();
        return;
    }
    vlEditFillRect(ACanvas, ARect, AColor);
}

void TvlCustomEditViewInfo::DrawButtonContent(TvlCanvas* ACanvas, int AButtonVisibleIndex, bool APressedLook,
                                              TColor, TColor ATextColor, const TRect& AContentRect)
{
    const TvlEditButtonViewInfo* button = ButtonsInfo[size_t(AButtonVisibleIndex)].get();
    const bool enabled = button->Data.State != bdsDisabled;
    ACanvas->SaveState();
    ACanvas->IntersectClipRect(AContentRect);
    if (Painter != nullptr) {
        Painter->DrawEditorButton(ACanvas, button->Bounds, painterButtonKind(button->Data.Kind),
                                  painterButtonState(button->Data.State), button->Data.LeftAlignment ? 0 : 1);
        if (button->Data.Kind == bkEllipsis || button->Data.Kind == bkDown) {
            ACanvas->RestoreState();
            return;
        }
    }
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
    ResetViewDefaults();
    SelTextColor = clDefault;
    SelBackgroundColor = clDefault;
    PrepareCachedState();
}

void TvlCustomEditViewData::ResetViewDefaults()
{
    ContentOffset = TRect{};
    Enabled = true;
}

void TvlCustomEditViewData::PrepareCachedState()
{
    ButtonVisibleCount = FProperties->Buttons()->VisibleButtonCount();
    IsValueSource = FProperties->GetEditValueSource(false) == 0;
    const TvlEditAlignment* alignment = FProperties->Alignment();
    HorzAlignment = alignment->Horz();
    VertAlignment = alignment->Vert();
    NativeStyle = FStyle != nullptr && IsNativeStyle(FStyle->LookAndFeel());
    FillContentParams(EditContentParams);
}

void TvlCustomEditViewData::FillContentParams(TvlEditContentParams& AParams) const
{
    AParams.Offsets = DefaultContentOffsets();
    AParams.WidthCorrection = 3 - AParams.Offsets.Left - AParams.Offsets.Right;
    AParams.HeightCorrection = NativeStyle && IsInplace && FProperties->Buttons()->Count() > 0 ? 1 : 0;
    AParams.ExternalBorderBounds = TRect{};
    AParams.Options = 1u << 1;
}

bool TvlCustomEditViewData::IsNativeStyle(const TvlLookAndFeel* ALookAndFeel) const
{
    return ALookAndFeel != nullptr && AreVisualStylesMustBeUsed(ALookAndFeel->NativeStyle(), totEdit);
}

void TvlCustomEditViewData::ComputeButtonThemeInfo(TvlEditButtonViewInfo* AButtonViewInfo)
{
    TvlEditButtonViewInfoData& d = AButtonViewInfo->Data;
    const int oldState = d.NativeState;
    d.NativePart = 0;
    HTHEME theme = 0;
    if (d.NativeStyle)
        theme = OpenTheme(d.ComboBoxStyle ? totComboBox : totButton);
    if (theme != 0) {
        d.NativePart = 1;
        if (d.ComboBoxStyle && !IsInplace && IsWinVistaOrLater)
            d.NativePart = d.LeftAlignment ? 7 : 6;
        d.BackgroundPartiallyTransparent =
            ThemeLibrary()->IsThemeBackgroundPartiallyTransparent(theme, d.NativePart, oldState);
    }
    static constexpr int states[] = {4, 1, 3, 2};  // disabled, normal, pressed, hot
    d.NativeState = states[d.State];
}

int TvlCustomEditViewData::EditThemeState(const TvlCustomEditViewInfo* AViewInfo) const
{
    if (!Enabled)
        return 4;
    if (AViewInfo->ContainerState.Contains(csHotTrack))
        return 2;
    if (Focused)
        return 5;
    if (FProperties->ReadOnly())
        return 6;
    return 1;
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
    if (PtInRect(shrink(ABounds, ContentOffset), AMousePos) && !anyMouseButton(AShift))
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

void TvlCustomEditViewData::SkinBorderExtent(TRect& AExtent) const
{
    const TvlEditBorderStyle style = FStyle->GetBorderStyle();
    if (style == ebsNone && !FStyle->TransparentBorder()) {
        AExtent = TRect{};
        return;
    }
    const TvlContainerBorderStyle measured =
        FStyle->TransparentBorder() ? cbsThick : TvlContainerBorderStyle(style);
    EdgeBorderExtent(GetSkinContainerBorderWidth(measured, GetLookAndFeelSkinPainter(FStyle->LookAndFeel())),
                     AExtent);
}

bool TvlCustomEditViewData::HasShadow() const { return FStyle->Shadow() && !NativeStyle; }

void TvlCustomEditViewData::GetBorderExtent(TRect& AExtent) const
{
    if (IsInplace) {
        AExtent = ContentOffset;
        return;
    }
    const TvlEditBorderStyle baseBorder = FStyle->GetBorderStyle();
    if (GetLookAndFeelSkinPainter(FStyle->LookAndFeel()) != nullptr)
        SkinBorderExtent(AExtent);
    else if (FStyle->TransparentBorder())
        AExtent = Rect(2, 2, 2, 2);
    else if (baseBorder == ebsNone)
        AExtent = TRect{};
    else if (NativeStyle)
        AExtent = Rect(2, 2, 2, 2);
    else
        EdgeBorderExtent(containerBorderWidth(EffectiveBorderStyle()), AExtent);
    if (HasShadow()) {
        AExtent.Right += cxContainerShadowWidth;
        AExtent.Bottom += cxContainerShadowWidth;
    }
}

void TvlCustomEditViewData::ButtonsMargins(TvlCanvas* ACanvas, TRect& AExtent) const
{
    if (IsInplace) {
        AExtent = ContentOffset;
        return;
    }
    if (!NativeStyle) {
        GetBorderExtent(AExtent);
        return;
    }
    const bool transparentBorder = FStyle->TransparentBorder();
    const bool hasBorder = FStyle->GetBorderStyle() != ebsNone;
    if (!transparentBorder && !hasBorder) {
        AExtent = TRect{};
    } else if (hasBorder && !transparentBorder) {
        // The themed edit frame's own margins.
        const TRect box = Rect(0, 0, 100, 100);
        TRect content = box;
        if (const HTHEME theme = OpenTheme(totEdit))
            ThemeLibrary()->GetThemeBackgroundContentRect(theme, ACanvas != nullptr ? ACanvas->Handle() : nullptr,
                                                          EP_EDITTEXT, 1, box, content);
        AExtent = Rect(content.Left - box.Left, content.Top - box.Top, box.Right - content.Right,
                       box.Bottom - content.Bottom);
    } else {
        AExtent = Rect(2, 2, 2, 2);
    }
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
    if (HScrollBar != nullptr && HScrollBar->Visible())
        AExtent.Bottom += HScrollBar->Height();
    if (VScrollBar != nullptr && VScrollBar->Visible())
        AExtent.Right += VScrollBar->Width();
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
    const bool active = ContainerState.Contains(csActive) ||
                        (ContainerState.Contains(csHotTrack) && FStyle->HotTrack());
    if (const TvlLookAndFeelPainterClass painter = GetLookAndFeelSkinPainter(FStyle->LookAndFeel()))
        return painter->GetContainerBorderColor(active);
    const TvlEditBorderStyle style = FStyle->GetBorderStyle();
    if (style != ebsUltraFlat && style != ebsOffice11)
        return FStyle->BorderColor();
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

int TvlCustomEditViewData::GetCaptureButtonVisibleIndex() const
{
    return Edit != nullptr ? Edit->CapturedButton() : -1;
}

uint32_t TvlCustomEditViewData::GetEffectivePaintOptions() const
{
    uint32_t options = PaintOptions;
    if (!IsRectEmpty(EditContentParams.ExternalBorderBounds))
        options |= vlepoExternalBorder;
    if ((EditContentParams.Options & 1u) != 0)
        options |= vlepoShowFocusRectWhenInplace;
    return options;
}

void TvlCustomEditViewData::calculateContainerState(const TRect& ABounds, const TPoint& AMousePos,
                                                    TvlMouseButton AButton, TShiftState AShift,
                                                    TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    AViewInfo->ContainerState = ComputeContainerState(ABounds, AMousePos, AButton, AShift, AIsMouseEvent);
    if (IsDesigning || IsInplace || !FStyle->HotTrack())
        AViewInfo->HotState = 0;
    else
        AViewInfo->HotState =
            AViewInfo->ContainerState.Contains(csActive) || AViewInfo->ContainerState.Contains(csHotTrack) ? 2 : 1;
    // An editor's state picks one of its four styles.
    if (Edit != nullptr)
        if (auto* active = dynamic_cast<TvlCustomEditStyle*>(Edit->GetActiveStyle()))
            FStyle = active;
    AViewInfo->EditBorderStyle = !IsInplace && NativeStyle ? FStyle->GetBorderStyle() : EffectiveBorderStyle();
}

void TvlCustomEditViewData::Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos,
                                      TvlMouseButton AButton, TShiftState AShift, TvlCustomEditViewInfo* AViewInfo,
                                      bool AIsMouseEvent)
{
    AShift = AShift * TShiftState{ssLeft, ssRight, ssMiddle, ssDouble};
    const int oldBorderWidth = containerBorderWidth(AViewInfo->EditBorderStyle);
    calculateContainerState(ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    // A thinner border may now leave the mouse inside.
    if (!IsInplace && !NativeStyle && containerBorderWidth(AViewInfo->EditBorderStyle) < oldBorderWidth)
        calculateContainerState(ABounds, AMousePos, AButton, AShift, AViewInfo, AIsMouseEvent);
    AViewInfo->BorderStyle = TvlContainerBorderStyle(AViewInfo->EditBorderStyle);
    AViewInfo->BorderWidth = containerBorderWidth(AViewInfo->EditBorderStyle);
    AViewInfo->Properties = FProperties;
    ContainerState = AViewInfo->ContainerState;
    ButtonsOnly = IsInplace
                      ? ABounds.Right != std::numeric_limits<int>::max() && FProperties->ButtonsLayout() != eblNormal
                      : FProperties->ButtonsLayout() == eblButtonsOnly;
    Bounds = ABounds;
    AViewInfo->Painter = GetLookAndFeelSkinPainter(FStyle->LookAndFeel());
    AViewInfo->Bounds = ABounds;
    AViewInfo->Edit = Edit;
    AViewInfo->Enabled = Enabled;
    AViewInfo->Focused = Focused;
    // What the attached editor's window is like: whether it erases before
    // painting (repaints then erase too), shows an inner edit that draws
    // its own text, paints as a copy of a data cell, or lives in a popup as
    // its inner control.
    AViewInfo->HasBackground = Edit != nullptr && !Edit->ControlStyle().Contains(csOpaque);
    AViewInfo->HasInnerEdit = InnerEdit != nullptr && InnerEdit->GetControl()->Visible();
    AViewInfo->IsPaintCopyDrawing = Edit != nullptr && Edit->IsDBEditPaintCopyDrawing();
    AViewInfo->IsContainerInnerControl = dynamic_cast<IvlContainerInnerControl*>(Edit) != nullptr;
    AViewInfo->IsDesigning = IsDesigning;
    AViewInfo->IsInplace = IsInplace;
    AViewInfo->IsSelected = IsSelected;
    AViewInfo->PaintOptions = GetEffectivePaintOptions();
    AViewInfo->Edges = FStyle->Edges();
    AViewInfo->Font = FStyle->DirectAccessMode() ? FStyle->Font() : FStyle->GetVisibleFont();
    AViewInfo->Shadow = !IsInplace && HasShadow();
    AViewInfo->WindowHandle = WindowHandle;
    InitViewInfoColorsAndBorders(AViewInfo);
    // A mouse event keeps the button pressed that the press pressed.
    LayOutButtons(ACanvas, ABounds, AIsMouseEvent, AViewInfo, AShift, AButton, AMousePos);
    TRect margins;
    ClientMargins(ACanvas, AViewInfo, margins);
    AViewInfo->ClientRect = shrink(ABounds, margins);
    AViewInfo->InnerEditRect = InnerEdit != nullptr ? InnerEdit->GetControl()->BoundsRect() : AViewInfo->ClientRect;
    AViewInfo->PopupBorderStyle = effectivePopupBorderStyle(AViewInfo);
}

void TvlCustomEditViewData::InitViewInfoColorsAndBorders(TvlCustomEditViewInfo* AViewInfo)
{
    AViewInfo->NativeStyle = NativeStyle;
    AViewInfo->NativeState = NativeStyle ? EditThemeState(AViewInfo) : 0;
    GetBorderExtent(AViewInfo->BorderExtent);
    AViewInfo->BorderRect = shrink(AViewInfo->Bounds, AViewInfo->BorderExtent);
    AViewInfo->ShadowRect = AViewInfo->BorderRect;
    AViewInfo->HasContentOffsets = !IsRectEmpty(ContentOffset);
    if (!IsInplace)
        AViewInfo->BorderColor = ComputeBorderColor();
    TColor background, text;
    AViewInfo->GetColorSettingsByPainter(background, text);
    AViewInfo->TextColor = text == clDefault ? FStyle->GetTextColor() : text;
    if (background == clDefault) {
        background = FStyle->GetVisibleColor();
        if (NativeStyle && !Enabled && !FStyle->IsValueAssigned(csvColor)) {
            TColor themed = clDefault;
            if (const HTHEME theme = OpenTheme(totEdit))
                if (ThemeLibrary()->GetThemeColor(theme, IsWinVistaOrLater ? EP_BACKGROUND : EP_EDITTEXT,
                                                  AViewInfo->NativeState, TMT_FILLCOLOR, themed) == S_OK)
                    background = themed;
        }
    }
    AViewInfo->SetBackgroundColor(background);
}

TvlEditPopupBorderStyle TvlCustomEditViewData::effectivePopupBorderStyle(const TvlCustomEditViewInfo* AViewInfo) const
{
    const TvlEditPopupBorderStyle style = FStyle->PopupBorderStyle();
    if (style != epbsDefault || Edit == nullptr)
        return style;
    const TvlLookAndFeelKind kind = FStyle->LookAndFeel()->Kind();
    auto byKind = [](TvlLookAndFeelKind AKind) {
        switch (AKind) {
        case lfFlat:
            return epbsFlat;
        case lfStandard:
            return epbsFrame3D;
        default:
            return epbsSingle;
        }
    };
    if (IsInplace)
        return byKind(kind);
    if (AViewInfo->EditBorderStyle != ebsNone || ButtonVisibleCount == 0)
        return AViewInfo->EditBorderStyle == ebsNone || AViewInfo->EditBorderStyle == ebsFlat ? epbsFlat
                                                                                             : epbsSingle;
    return byKind(AViewInfo->ButtonsInfo.empty() ? lfStandard
                                                 : LookAndFeelKindOfButtonStyle(AViewInfo->ButtonsInfo[0]->Data.Style));
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
    const TvlEditButtons* buttons = FProperties->Buttons();
    AViewInfo->IsButtonReallyPressed = false;
    const int keptPressed = AKeepPressed ? AViewInfo->PressedButton : -1;
    AViewInfo->PressedButton = -1;
    AViewInfo->SelectedButton = -1;
    LeftSideLeftmostButtonIndex = LeftSideRightmostButtonIndex = -1;
    RightSideLeftmostButtonIndex = RightSideRightmostButtonIndex = -1;

    TRect area = ABounds;
    // A single themed combo button of a standalone editor takes the whole
    // height, frame included.
    bool singleDown = false;
    if (ButtonVisibleCount == 1)
        for (int i = 0; i < buttons->Count(); ++i)
            if (buttons->Items(i)->Visible())
                singleDown = buttons->Items(i)->Kind() == bkDown;
    const bool wholeBounds = NativeStyle && !IsInplace && IsWinVistaOrLater && singleDown &&
                             OpenTheme(totComboBox) != 0;
    if (!wholeBounds) {
        TRect extent;
        ButtonsMargins(ACanvas, extent);
        area = shrink(ABounds, extent);
    }
    const int areaWidth = std::max(area.Width(), 0);
    int visible = ButtonVisibleCount;
    bool fontPrepared = false;
    for (int i = buttons->Count() - 1; i >= 0; --i) {
        const TvlEditButton* button = buttons->Items(i);
        if (!button->Visible())
            continue;
        --visible;
        if (button->Kind() == bkText && !fontPrepared) {
            ACanvas->SetFont(FStyle->GetVisibleFont());
            AViewInfo->PrepareCanvasFont(ACanvas);
            fontPrepared = true;
        }
        TvlEditButtonViewInfo* info = AViewInfo->ButtonsInfo[size_t(visible)].get();
        info->Index = i;
        info->Data.Style = GetEffectiveButtonStyle();
        CalculateButtonViewInfo(ACanvas, AViewInfo, area, visible);
    }
    StretchButtons(AViewInfo, areaWidth, std::max(area.Width(), 0));

    const bool leftOnly = AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle);
    const bool anyHeld = anyMouseButton(AShift);
    const int captured = GetCaptureButtonVisibleIndex();
    for (int i = 0; i < ButtonVisibleCount; ++i) {
        TvlEditButtonViewInfo* info = AViewInfo->ButtonsInfo[size_t(i)].get();
        const TvlEditButtonDrawState old = info->Data.State;
        TvlEditButtonDrawState state = bdsNormal;
        const bool heldPressed = IsButtonHeldPressed(AViewInfo, i);
        if (!Enabled || !buttons->Items(info->Index)->Enabled()) {
            state = bdsDisabled;
        } else if (heldPressed || (!IsDesigning && PtInRect(info->VisibleBounds, AMousePos))) {
            // The button pressed under capture, left and entered again
            // with the left button still held, shows pressed again.
            const bool dragKeep = AButton == cxmbNone && AShift.Contains(ssLeft) && old == bdsNormal && i == captured;
            const bool leftClick = AButton == cxmbLeft && leftOnly;
            const bool stillPressed = old == bdsPressed && AShift.Contains(ssLeft);
            if (dragKeep || leftClick || stillPressed || heldPressed)
                AViewInfo->IsButtonReallyPressed = true;
            if (!heldPressed && !anyHeld && !dragKeep) {
                state = bdsHot;
                AViewInfo->SelectedButton = i;
            } else if (heldPressed || (dragKeep && IsButtonPressable(AViewInfo, i)) ||
                       (leftOnly && ((leftClick && IsButtonPressable(AViewInfo, i)) || i == keptPressed)) ||
                       stillPressed) {
                state = bdsPressed;
                AViewInfo->PressedButton = i;
            }
        }
        if (AViewInfo->OnButtonStateRequest)
            AViewInfo->OnButtonStateRequest(AViewInfo, i, state);
        info->Data.State = state;
        ComputeButtonThemeInfo(info);
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

void TvlCustomEditViewData::MeasureConstantPart(TvlCanvas* ACanvas, const TvlEditMeasureParams& AMeasureParams,
                                                TSize& ASize, TvlCustomEditViewInfo* AViewInfo,
                                                TSize& AMinContentSize)
{
    std::unique_ptr<TvlCustomEditViewInfo> temporary;
    if (AViewInfo == nullptr) {
        temporary = FProperties->CreateViewInfo();
        AViewInfo = temporary.get();
        constexpr int maxInt = std::numeric_limits<int>::max();
        Calculate(ACanvas, Rect(0, 0, maxInt, maxInt), TPoint{-1, -1}, cxmbNone, TShiftState{}, AViewInfo, false);
    }
    InternalGetEditConstantPartSize(ACanvas, IsInplace, AMeasureParams, ASize, AMinContentSize, AViewInfo);
}

void TvlCustomEditViewData::InternalGetEditConstantPartSize(TvlCanvas* ACanvas, bool AIsInplace,
                                                            const TvlEditMeasureParams&, TSize& ASize,
                                                            TSize& AMinContentSize, TvlCustomEditViewInfo* AViewInfo)
{
    ASize = TSize{AViewInfo->Bounds.Width() - AViewInfo->ClientRect.Width(),
                  AViewInfo->Bounds.Height() - AViewInfo->ClientRect.Height()};
    AMinContentSize = TSize{0, 0};
    // The tallest glyph, and in place the tallest caption, sets the least
    // content height: the buttons must show them whole.
    int h = 0;
    bool fontPrepared = false;
    const TvlEditButtons* buttons = FProperties->Buttons();
    for (int i = 0; i < buttons->Count(); ++i) {
        const TvlEditButton* button = buttons->Items(i);
        if (!button->Visible())
            continue;
        if (button->Kind() == bkGlyph && IsGlyphValid(button->GlyphIfAny())) {
            h = std::max(h, button->GlyphIfAny()->Height());
        } else if (button->Kind() == bkText && AIsInplace) {
            if (!fontPrepared) {
                ACanvas->SetFont(FStyle->GetVisibleFont());
                AViewInfo->PrepareCanvasFont(ACanvas);
                fontPrepared = true;
            }
            h = std::max(h, ACanvas->TextHeight(button->VisibleCaption()));
        }
    }
    if (h <= 0)
        return;
    if (AViewInfo->Painter == nullptr) {
        TRect extent;
        ButtonsMargins(ACanvas, extent);
        h += extent.Top + extent.Bottom;
    }
    h += ButtonContentVerticalMargin(ACanvas, GetEffectiveButtonStyle(), NativeStyle);
    AMinContentSize.cy = std::max(h - ASize.cy, 0);
}

TSize TvlCustomEditViewData::ContentSizeCorrection() const
{
    const TvlEditContentParams& p = EditContentParams;
    return TSize{p.Offsets.Left + p.Offsets.Right + p.WidthCorrection,
                 p.Offsets.Top + p.Offsets.Bottom + p.HeightCorrection};
}

TSize TvlCustomEditViewData::MeasureContent(TvlCanvas* ACanvas, const Variant& AEditValue,
                                            const TvlEditMeasureParams& AMeasureParams)
{
    if (!ButtonsOnly)
        return MeasureContentCore(ACanvas, AEditValue, AMeasureParams);
    ACanvas->SetFont(FStyle->GetVisibleFont());
    return TSize{0, ContentSizeCorrection().cy + ACanvas->TextHeight(QStringLiteral("Zg"))};
}

void TvlCustomEditViewData::GetEditSize(TvlCanvas* ACanvas, const Variant& AEditValue,
                                        const TvlEditMeasureParams& AMeasureParams, TSize& ASize,
                                        TvlCustomEditViewInfo* AViewInfo)
{
    TSize minContent{0, 0};
    MeasureConstantPart(ACanvas, AMeasureParams, ASize, AViewInfo, minContent);
    TvlEditMeasureParams params = AMeasureParams;
    bool tooNarrow = false;
    if (AMeasureParams.MaxWidth >= 0) {
        params.MaxWidth = AMeasureParams.MaxWidth - ASize.cx;
        if (params.MaxWidth < 0) {
            params.MaxWidth = 0;
            tooNarrow = true;
        }
    }
    TSize content = MeasureContent(ACanvas, AEditValue, params);
    ExtendSize(content, minContent);
    if (tooNarrow)
        ASize.cx = AMeasureParams.MaxWidth;
    else
        ASize.cx += content.cx;
    ASize.cy += content.cy;
    if (!IsInplace)
        ApplySizeConstraints(ASize);
}

void TvlCustomEditViewData::ApplySizeConstraints(TSize& ASize) const
{
    if (Edit == nullptr)
        return;
    const TSizeConstraints c = Edit->Constraints();
    if (c.MaxWidth > 0)
        ASize.cx = std::min(ASize.cx, c.MaxWidth);
    if (c.MinWidth > 0)
        ASize.cx = std::max(ASize.cx, c.MinWidth);
    if (c.MaxHeight > 0)
        ASize.cy = std::min(ASize.cy, c.MaxHeight);
    if (c.MinHeight > 0)
        ASize.cy = std::max(ASize.cy, c.MinHeight);
}

void TvlCustomEditViewData::EditValueToDisplayText(const Variant& AEditValue, String& AText) const
{
    ValueToTextCore(AEditValue, AText);
    if (OnDisplayTextRequest)
        OnDisplayTextRequest(const_cast<TvlCustomEditViewData*>(this), AText);
}

std::unique_ptr<TvlCustomEditViewData> TvlCustomEditProperties::CreateViewData(TvlCustomEditStyle* AStyle,
                                                                               bool AIsInplace,
                                                                               bool APreviewMode) const
{
    auto data = std::make_unique<TvlCustomEditViewData>(this, AStyle, AIsInplace);
    data->PreviewMode = APreviewMode;
    return data;
}

TSize TvlCustomEditProperties::GetEditSize(TvlCanvas* ACanvas, TvlCustomEditStyle* AStyle, bool AIsInplace,
                                           const Variant& AEditValue,
                                           const TvlEditMeasureParams& AEditSizeProperties) const
{
    std::unique_ptr<TvlCustomEditViewData> data = CreateViewData(AStyle, AIsInplace);
    TSize size{0, 0};
    data->GetEditSize(ACanvas, AEditValue, AEditSizeProperties, size, nullptr);
    return size;
}
