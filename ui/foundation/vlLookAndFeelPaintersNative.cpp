// The native look: every element opens the theme of its kind (the theme
// manager caches the handle) and draws the theme's part in the state that
// matches; without a handle (no visual styles, a class the theme lacks) the
// element is drawn as the standard look draws it.
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vxThemeManager.h"

namespace {

using TPainter = TvlWinXPLookAndFeelPainter;
using TStandard = TvlStandardLookAndFeelPainter;
using TBase = TvlCustomLookAndFeelPainter;

// Theme property ids and part numbers of the visual-style library.
enum : int { TMT_BORDERCOLOR = 3801, TMT_TEXTCOLOR = 3803, TMT_FILLCOLOR = 204 };
enum : int { BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3, CBS_CHECKEDNORMAL = 5 };
enum : int { LVP_BACKGROUND = 5, TP_SEPARATOR = 5, TP_SEPARATORVERT = 6, SBP_ARROWBTN = 1, TVP_GLYPH = 2 };
enum : int { EBP_NORMALGROUPEXPAND = 7 };

IvxThemeLibrary* library() { return ThemeLibrary(); }

// The push-button, check-box and radio-button state of a button state.
int buttonState(TvlButtonState AState)
{
    constexpr int states[] = {5, 1, 2, 3, 4};
    return states[AState];
}

// The check-box and radio-button states: the unchecked ones, then the checked.
int checkState(TvlButtonState AState, bool AIsChecked)
{
    constexpr int states[] = {1, 1, 2, 3, 4};
    return states[AState] + (AIsChecked ? 4 : 0);
}

const TRect percentBounds = Rect(0, 0, 100, 100);

// A colour of a themed part; false (AColor untouched) when it cannot be read.
bool GetThemeColorValue(TvxThemedObjectType AType, int APart, int AState, int APropId, TColor& AColor)
{
    const HTHEME theme = OpenTheme(AType);
    if (theme == 0)
        return false;
    TColor color = 255;
    if (library()->GetThemeColor(theme, APart, AState, APropId, color) != S_OK)
        return false;
    AColor = color;
    return true;
}

bool partSize(TvxThemedObjectType AType, int APart, int AState, THEMESIZE AKind, TSize& ASize)
{
    const HTHEME theme = OpenTheme(AType);
    return theme != 0 && library()->GetThemePartSize(theme, nullptr, APart, AState, nullptr, AKind, ASize) == S_OK;
}

bool contentRect(TvxThemedObjectType AType, HDC ADC, int APart, int AState, const TRect& ABounds, TRect& AContent)
{
    const HTHEME theme = OpenTheme(AType);
    return theme != 0 &&
           library()->GetThemeBackgroundContentRect(theme, ADC, APart, AState, ABounds, AContent) == S_OK;
}

}  // namespace

bool TPainter::NeedRedrawOnResize() const { return AreVisualStylesAvailable(); }

TColor TPainter::DefaultViewColorC() const
{
    TColor color = TBase::DefaultViewColorC();
    GetThemeColorValue(totComboBox, 1, 1, TMT_BORDERCOLOR, color);
    return color;
}

int TPainter::BorderSize() const { return OpenTheme(totListView) != 0 ? 1 : TStandard::BorderSize(); }

void TPainter::DrawBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    const HTHEME theme = OpenTheme(totListView);
    if (theme == 0) {
        TStandard::DrawBorder(ACanvas, R);
        return;
    }
    // Only the frame: the list's background part without its inside.
    ACanvas->SaveDC();
    TRect inside = R;
    InflateRect(inside, -1, -1);
    ACanvas->ExcludeClipRect(inside);
    library()->DrawThemeBackground(theme, ACanvas->Handle(), LVP_BACKGROUND, 0, R);
    ACanvas->RestoreDC();
}

void TPainter::DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const
{
    const HTHEME theme = OpenTheme(totToolBar);
    if (theme == 0)
        TStandard::DrawSeparator(ACanvas, R, AIsVertical);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), AIsVertical ? TP_SEPARATOR : TP_SEPARATORVERT, 1, R);
}

void TPainter::DrawArrowButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                               TvlArrowDirection ADirection, bool AWithBorder) const
{
    const HTHEME theme = OpenTheme(totScrollBar);
    if (theme == 0) {
        TStandard::DrawArrowButton(ACanvas, R, AState, ADirection, AWithBorder);
        return;
    }
    // Four states for each direction, from up to right.
    constexpr int offsets[] = {1, 1, 2, 3, 4};
    library()->DrawThemeBackground(theme, ACanvas->Handle(), SBP_ARROWBTN, int(ADirection) * 4 + offsets[AState], R);
}

void TPainter::DrawArrowBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    const HTHEME theme = OpenTheme(totButton);
    if (theme == 0)
        TStandard::DrawArrowBorder(ACanvas, R, AState);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), BP_PUSHBUTTON, buttonState(AState), R);
}

void TPainter::AdjustGroupButtonDisplayRect(const TRect& R, int AButtonCount, int AButtonIndex,
                                            TRect& AResult) const
{
    TStandard::AdjustGroupButtonDisplayRect(R, AButtonCount, AButtonIndex, AResult);
    const HTHEME theme = OpenTheme(totButton);
    if (theme != 0 && library()->IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1))
        InflateRect(AResult, 1, 1);
}

int TPainter::ButtonBorderWidth(TvlButtonState AState) const
{
    TRect content;
    if (contentRect(totButton, nullptr, BP_PUSHBUTTON, buttonState(AState), percentBounds, content))
        return content.Left;
    return TStandard::ButtonBorderWidth(vlbsNormal);
}

TColor TPainter::ButtonFaceColor(TvlButtonState AState) const
{
    TColor color = TStandard::ButtonFaceColor(AState);
    GetThemeColorValue(totButton, BP_PUSHBUTTON, buttonState(AState), TMT_FILLCOLOR, color);
    return color;
}

void TPainter::GetButtonFocusBounds(TvlCanvas* ACanvas, const TRect& R, TRect& AResult) const
{
    if (!contentRect(totButton, ACanvas != nullptr ? ACanvas->Handle() : nullptr, BP_PUSHBUTTON, 1, R, AResult))
        TStandard::GetButtonFocusBounds(ACanvas, R, AResult);
}

void TPainter::GetButtonGroupBorders(int AButtonCount, int AButtonIndex, TRect& AResult) const
{
    TRect content;
    if (!contentRect(totButton, nullptr, BP_PUSHBUTTON, 1, percentBounds, content)) {
        TStandard::GetButtonGroupBorders(AButtonCount, AButtonIndex, AResult);
        return;
    }
    AResult = TRect{content.Left, content.Top, 100 - content.Right, 100 - content.Bottom};
    if (library()->IsThemeBackgroundPartiallyTransparent(OpenTheme(totButton), BP_PUSHBUTTON, 1))
        AResult = TRect{AResult.Left - 1, AResult.Top - 1, AResult.Right - 1, AResult.Bottom - 1};
}

TColor TPainter::ButtonGlyphColor(TvlButtonState AState, TColor ADefaultColor) const
{
    TColor color = TStandard::ButtonGlyphColor(AState, ADefaultColor);
    GetThemeColorValue(totButton, BP_PUSHBUTTON, buttonState(AState), TMT_TEXTCOLOR, color);
    return color;
}

void TPainter::DrawButton(TvlCanvas* ACanvas, const TRect& R, const String& ACaption, TvlButtonState AState,
                          bool ADrawBorder, TColor AColor, TColor ATextColor, bool AWordWrap,
                          bool AIsToolButton) const
{
    const HTHEME theme = OpenTheme(AIsToolButton ? totToolBar : totButton);
    if (theme == 0) {
        TStandard::DrawButton(ACanvas, R, ACaption, AState, ADrawBorder, AColor, ATextColor, AWordWrap,
                              AIsToolButton);
        return;
    }
    library()->DrawThemeBackground(theme, ACanvas->Handle(), BP_PUSHBUTTON, buttonState(AState), R);
    library()->DrawThemeText(theme, ACanvas->Handle(), BP_PUSHBUTTON, buttonState(AState), ACaption,
                             DT_CENTER | DT_VCENTER | DT_SINGLELINE, R);
}

void TPainter::DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const
{
    const HTHEME theme = OpenTheme(totTreeView);
    if (theme == 0) {
        TStandard::DrawExpandButton(ACanvas, R, AExpanded, AColor);
        return;
    }
    library()->DrawThemeBackground(theme, ACanvas->Handle(), TVP_GLYPH, AExpanded ? 2 : 1, R);
    ACanvas->ExcludeClipRect(R);
}

void TPainter::DrawSmallExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor,
                                     TColor AColor) const
{
    if (OpenTheme(totTreeView) != 0)
        DrawExpandButton(ACanvas, R, AExpanded, clDefault);
    else
        TBase::DrawSmallExpandButton(ACanvas, R, AExpanded, AColor, clDefault);
}

int TPainter::ExpandButtonSize() const
{
    TSize size;
    return partSize(totTreeView, TVP_GLYPH, 1, TS_DRAW, size) ? size.cx : TStandard::ExpandButtonSize();
}

int TPainter::GroupExpandButtonSize() const
{
    TSize size;
    return partSize(totExplorerBar, EBP_NORMALGROUPEXPAND, 1, TS_TRUE, size) ? size.cx
                                                                              : TStandard::GroupExpandButtonSize();
}

int TPainter::SmallExpandButtonSize() const
{
    return OpenTheme(totTreeView) != 0 ? ExpandButtonSize() : TStandard::SmallExpandButtonSize();
}

bool TPainter::IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const
{
    const HTHEME theme = OpenTheme(totExplorerBar);
    TRegion region;
    if (theme == 0 ||
        library()->GetThemeBackgroundRegion(theme, nullptr, EBP_NORMALGROUPEXPAND, 2, R, region) != S_OK)
        return TStandard::IsPointOverGroupExpandButton(R, P);
    return PtInRegion(region, P.X, P.Y);
}

int TPainter::CheckBorderWidth() const { return OpenTheme(totButton) != 0 ? 0 : TStandard::CheckBorderWidth(); }

void TPainter::CheckButtonSize(TSize& ASize) const
{
    if (!partSize(totButton, BP_CHECKBOX, CBS_CHECKEDNORMAL, TS_TRUE, ASize))
        TStandard::CheckButtonSize(ASize);
}

void TPainter::DrawCheck(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsChecked,
                         TColor AColor) const
{
    const HTHEME theme = OpenTheme(totButton);
    if (theme == 0)
        TStandard::DrawCheck(ACanvas, R, AState, AIsChecked, AColor);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), BP_CHECKBOX, checkState(AState, AIsChecked), R);
}

void TPainter::DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    // The themed check box has its own border.
    if (OpenTheme(totButton) == 0)
        TStandard::DrawCheckBorder(ACanvas, R, AState);
}

void TPainter::DrawRadioButton(TvlCanvas* ACanvas, int X, int Y, TvlButtonState AState, bool AIsChecked, bool,
                               TColor, bool) const
{
    const HTHEME theme = OpenTheme(totButton);
    if (theme == 0)
        return;
    TSize size;
    RadioButtonSize(size);
    library()->DrawThemeBackground(theme, ACanvas->Handle(), BP_RADIOBUTTON, checkState(AState, AIsChecked),
                                   Rect(X, Y, X + size.cx, Y + size.cy));
}

void TPainter::RadioButtonSize(TSize& ASize) const
{
    if (!partSize(totButton, BP_RADIOBUTTON, 1, TS_TRUE, ASize))
        ASize = TSize{0, 0};
}

void TPainter::DrawThemedText(TvlCanvas* ACanvas, HTHEME ATheme, int APart, int AState, const TRect&,
                              const TRect& ATextR, TAlignment AAlignHorz, TvlEditVertAlignment AAlignVert,
                              bool AMultiLine, bool AShowEndEllipsis, bool AShowPrefix, const String& AText,
                              const TFont* AFont, TColor ATextColor, TColor) const
{
    if (AText.isEmpty())
        return;
    ACanvas->SetFont(AFont);
    ACanvas->Font()->SetColor(ATextColor);
    TRect r = ATextR;
    if (AMultiLine)
        ACanvas->AlignMultiLineTextRectVertically(r, AText, AAlignVert == taBottomJustify, true, AShowPrefix,
                                                  true, AShowEndEllipsis);
    uint32_t flags = (vlAlignmentToDrawTextFlags(AAlignHorz, AAlignVert) & ~uint32_t(DT_SINGLELINE | DT_NOPREFIX)) |
                     DT_EDITCONTROL | (AMultiLine ? DT_WORDBREAK : DT_SINGLELINE);
    if (AShowEndEllipsis)
        flags |= DT_END_ELLIPSIS;
    if (!AShowPrefix)
        flags |= DT_NOPREFIX;
    library()->DrawThemeText(ATheme, ACanvas->Handle(), APart, AState, AText, flags, r);
}
