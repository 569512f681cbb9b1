// vlRadioButton.cpp - painting, state tracking, checking and the popup
// menu of the radio button.
#include "ui/controls/vlRadioButton.h"

#include "platform/controls/Messages.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlEditPaintUtils.h"
#include "ui/foundation/vlContainer.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

constexpr uint16_t kVKApps = 0x5D;

}  // namespace

TvlRadioButton::TvlRadioButton(TComponent* AOwner) : TvlControl(AOwner)
{
    SetBorderStyle(vlcbsNone);
    // Click comes from checking alone, not from every release.
    FControlStyle.Exclude(csClickEvents);
    FControlStyle.Include(csDoubleClicks);
    FControlStyle.Include(csCaptureMouse);
    // The shared glyphs of the looks.
    GetRadioButtonImageList();
}

TvlRadioButton::~TvlRadioButton() = default;

// ---- settings -----------------------------------------------------------------------------

void TvlRadioButton::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (Value)
        uncheckSiblings();
    if (HandleAllocated())
        InvalidateRect(FButtonRect, false);
    if (Value && FClicksDisabled == 0 && !ComponentState().Contains(csLoading))
        Click();
}

void TvlRadioButton::uncheckSiblings()
{
    // The radio buttons of one parent form one group.
    TWinControl* parent = Parent();
    if (parent == nullptr)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* sibling = dynamic_cast<TvlRadioButton*>(parent->Controls(i)); sibling != nullptr && sibling != this)
            sibling->SetChecked(false);
}

void TvlRadioButton::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TvlRadioButton::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    Invalidate();
}

void TvlRadioButton::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Invalidate();
}

void TvlRadioButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TvlControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    // What shows through changed with the place.
    if (HandleAllocated() && !ComponentState().Contains(csDestroying) && IsTransparentBackground())
        Invalidate();
}

bool TvlRadioButton::IsNativeStyle() const { return AreVisualStylesMustBeUsed(LookAndFeel()->NativeStyle(), totButton); }
bool TvlRadioButton::IsNativeBackground() const
{
    return IsNativeStyle() && FParentBackground && !IsInplace() && !FTransparent;
}
bool TvlRadioButton::IsTransparent() const { return FTransparent && !IsInplace(); }
bool TvlRadioButton::IsTransparentBackground() const { return IsNativeBackground() || IsTransparent(); }

TvlButtonState TvlRadioButton::ButtonState() const
{
    switch (FState) {
    case rbsDisabled:
        return vlbsDisabled;
    case rbsHot:
        return vlbsHot;
    case rbsPressed:
        return vlbsPressed;
    case rbsNormal:
        break;
    }
    return vlbsNormal;
}

void TvlRadioButton::LookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues)
{
    TvlControl::LookAndFeelChanged(Sender, AChangedValues);
    Invalidate();
}

// ---- painting -------------------------------------------------------------------------------

TRect TvlRadioButton::CalculateButtonRect() const
{
    TSize glyph;
    LookAndFeel()->GetAvailablePainterForType(totButton)->RadioButtonSize(glyph);
    TRect r;
    r.Top = (Height() - glyph.cy) / 2;
    r.Bottom = r.Top + glyph.cy;
    if (FAlignment == taRightJustify) {
        r.Left = IsNativeStyle() || IsInplace() ? 0 : 1;
        r.Right = r.Left + glyph.cx;
    } else {
        r.Right = Width();
        r.Left = Width() - glyph.cx;
    }
    return r;
}

TRect TvlRadioButton::CaptionMargins(bool AInplace, bool ANative, bool AWordWrap, TAlignment AAlignment)
{
    const bool right = AAlignment == taRightJustify;
    if (AInplace)
        return ANative ? TRect{3, 0, 0, 0} : TRect{5, 0, 1, 0};
    TRect m;
    if (!ANative) {
        if (!AWordWrap)
            m = right ? TRect{5, -1, 0, 0} : TRect{2, -1, 1, 0};
        else
            m = right ? TRect{5, -1, 2, 0} : TRect{2, -1, 6, 0};
    } else {
        if (!AWordWrap)
            m = right ? TRect{3, -1, 0, 0} : TRect{0, -1, 1, 0};
        else
            m = right ? TRect{3, -1, 0, 0} : TRect{0, -1, 3, 0};
        if (EmulateStandardControlDrawing())
            m.Top = m.Bottom = 0;
    }
    return m;
}

void TvlRadioButton::AdjustCaptionRect(TRect& R, bool ANative) const
{
    const TRect m = CaptionMargins(IsInplace(), ANative, FWordWrap, FAlignment);
    R = TRect{R.Left + m.Left, R.Top + m.Top, R.Right - m.Right, R.Bottom - m.Bottom};
}

void TvlRadioButton::FillBackground()
{
    if (!IsTransparentBackground())
        vlEditFillRect(Canvas(), ClientRect(), Color());
}

void TvlRadioButton::Paint()
{
    TvlCanvas* canvas = Canvas();
    const bool native = IsNativeStyle();
    const TRect client = ClientRect();
    if (IsTransparent())
        DrawTransparentControlBackground(this, canvas, client);
    else if (IsNativeBackground())
        vlDrawThemeParentBackground(this, canvas, client);
    if (native)
        FillBackground();
    const TvlCustomLookAndFeelPainter* painter = LookAndFeel()->GetAvailablePainterForType(totButton);
    FButtonRect = CalculateButtonRect();
    TColor background = Color();
    if (IsTransparentBackground())
        background = LookAndFeel()->SkinPainter() != nullptr ? clNone : clDefault;
    canvas->SaveClipRegion();
    painter->DrawRadioButton(canvas, FButtonRect.Left, FButtonRect.Top, ButtonState(), FChecked, Focused(),
                             background, IsDesigning());
    canvas->ExcludeClipRect(FButtonRect);
    if (!native)
        FillBackground();
    DrawCaption(canvas, native);
    canvas->RestoreClipRegion();
}

void TvlRadioButton::DrawCaption(TvlCanvas* ACanvas, bool ANative)
{
    ACanvas->SetFont(Font());
    const TvlCustomLookAndFeelPainter* painter = LookAndFeel()->Painter();
    TColor color = Font()->Color();
    const TColor painterColor = painter->DefaultEditorTextColor(!Enabled());
    if (Font()->Color() == clWindowText && painterColor != clDefault)
        color = painterColor;
    else if (!Enabled())
        color = clBtnShadow;
    ACanvas->Font()->SetColor(color);
    TRect r = ClientRect();
    if (FAlignment == taRightJustify)
        r.Left = FButtonRect.Right;
    else
        r.Right = FButtonRect.Left;
    ACanvas->Brush()->SetStyle(bsClear);
    AdjustCaptionRect(r, ANative);
    const int flags = FWordWrap ? 0x6A1 : 0x261;
    const bool enabledLook = painter->DefaultEditorTextColor(true) != clDefault || ANative || Enabled();
    ACanvas->DrawText(Caption(), r, flags, enabledLook);
    ACanvas->Brush()->SetStyle(bsSolid);
    if (Focused() && !Caption().isEmpty()) {
        TRect focus = r;
        ACanvas->TextExtentInRect(Caption(), focus, flags);
        InflateRect(focus, 1, 1);
        focus.Bottom += 1;
        if (IsInplace()) {
            focus.Top = std::max(focus.Top, 1);
            focus.Bottom = std::min(focus.Bottom, Height() - 1);
            focus.Right = std::min(focus.Right, Width());
        }
        ACanvas->Brush()->SetColor(Color());
        ACanvas->Font()->SetColor(Font()->Color());
        ACanvas->DrawFocusRect(focus);
    }
}

// ---- state tracking -------------------------------------------------------------------------

void TvlRadioButton::setState(TvlRadioButtonState AState)
{
    if (AState == FState)
        return;
    FState = AState;
    if (HandleAllocated()) {
        TRect r = FButtonRect;
        InflateRect(r, 1, 1);
        InvalidateRect(r, false);
    }
}

void TvlRadioButton::UpdateState(TMouseButton, TShiftState AShift, const TPoint& P)
{
    const bool inside = ClientRect().Contains(P);
    if (!Enabled())
        setState(rbsDisabled);
    else if (IsDesigning())
        setState(rbsNormal);
    else if (HasMouseCapture(this))
        setState(inside ? rbsPressed : rbsHot);
    else {
        const bool free = !AShift.Contains(ssShift) && !AShift.Contains(ssCtrl) && !AShift.Contains(ssAlt) &&
                          !AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle);
        setState(inside && free ? rbsHot : rbsNormal);
    }
}

void TvlRadioButton::UpdateStateFromCursor()
{
    if (HandleAllocated())
        UpdateState(mbLeft, InternalGetShiftState(), ScreenToClient(Mouse->CursorPos()));
}

void TvlRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !IsDesigning() && CanFocus() && !Focused()) {
        // Focus that comes by the mouse does not check: the release does.
        ++FClicksDisabled;
        SetFocus();
        --FClicksDisabled;
    }
    TvlControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft) {
        FPressedInside = true;
        SetMouseCapture(this, true);
    }
    UpdateState(Button, Shift, TPoint{X, Y});
}

void TvlRadioButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TvlControl::MouseMove(Shift, X, Y);
    UpdateState(mbLeft, Shift, TPoint{X, Y});
}

void TvlRadioButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const bool clicked = Button == mbLeft && FPressedInside && ClientRect().Contains(TPoint{X, Y});
    if (Button == mbLeft)
        FPressedInside = false;
    TvlControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft && HasMouseCapture(this))
        SetMouseCapture(this, false);
    UpdateState(Button, Shift, TPoint{X, Y});
    if (clicked)
        ButtonClicked();
}

void TvlRadioButton::MouseEnter(TControl* AControl)
{
    TvlControl::MouseEnter(AControl);
    UpdateStateFromCursor();
}

void TvlRadioButton::MouseLeave(TControl* AControl)
{
    TvlControl::MouseLeave(AControl);
    UpdateState(mbLeft, TShiftState{}, TPoint{-1, -1});
}

void TvlRadioButton::ButtonClicked() { SetChecked(true); }

void TvlRadioButton::DoEnter()
{
    TvlControl::DoEnter();
    // Entering by keyboard checks the button.
    if (!FChecked && FClicksDisabled == 0) {
        ++FClicksDisabled;
        SetChecked(true);
        --FClicksDisabled;
        if (!ComponentState().Contains(csLoading))
            Click();
    }
}

void TvlRadioButton::KeyDown(uint16_t& Key, TShiftState Shift)
{
    // Shift+F10 and the menu key ask for the menu at the client origin.
    if ((Key == VK_F1 + 9 && Shift == TShiftState{ssShift}) || (Key == kVKApps && Shift.Empty())) {
        if (Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MakeLParam(-1, -1)) != 0) {
            Key = 0;
            return;
        }
    }
    TvlControl::KeyDown(Key, Shift);
}

void TvlRadioButton::KeyPress(QChar& Key)
{
    TvlControl::KeyPress(Key);
    if (Key == QLatin1Char(' ')) {
        ButtonClicked();
        Key = QChar(0);
    }
}

bool TvlRadioButton::ShowPopupMenu(TComponent* AMenu, int X, int Y) { return ::ShowPopupMenu(this, AMenu, X, Y); }

bool TvlRadioButton::DoShowPopupMenu(TComponent* AMenu, int X, int Y) { return ShowPopupMenu(AMenu, X, Y); }

void TvlRadioButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
        TvlControl::Dispatch(Message);
        UpdateStateFromCursor();
        if (!Enabled())
            setState(rbsDisabled);
        Invalidate();
        return;
    case BM_SETCHECK:
        SetChecked(Message.WParam != 0);
        return;
    case BM_GETCHECK:
        Message.Result = FChecked ? 1 : 0;
        return;
    default:
        break;
    }
    TvlControl::Dispatch(Message);
}
