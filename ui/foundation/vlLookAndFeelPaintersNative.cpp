// The native look: every element opens the theme of its kind (the theme
// manager caches the handle) and draws the theme's part in the state that
// matches; without a handle (no visual styles, a class the theme lacks) the
// element is drawn as the standard look draws it.
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vxOffice11.h"
#include "ui/foundation/vxThemeManager.h"

#include <algorithm>

namespace {

using TPainter = TvlWinXPLookAndFeelPainter;
using TStandard = TvlStandardLookAndFeelPainter;
using TBase = TvlCustomLookAndFeelPainter;

// Theme property ids and part numbers of the visual-style library.
enum : int { TMT_BORDERCOLOR = 3801, TMT_TEXTCOLOR = 3803, TMT_FILLCOLOR = 204 };
enum : int { BP_PUSHBUTTON = 1, BP_RADIOBUTTON = 2, BP_CHECKBOX = 3, CBS_CHECKEDNORMAL = 5 };
enum : int { LVP_BACKGROUND = 5, TP_SEPARATOR = 5, TP_SEPARATORVERT = 6, SBP_ARROWBTN = 1, TVP_GLYPH = 2 };
enum : int {
    EBP_NORMALGROUPCOLLAPSE = 6, EBP_NORMALGROUPEXPAND = 7,
    HP_HEADERITEM = 1, HP_HEADERITEMRIGHT = 3, HP_CALENDAR = 2, BP_GROUPBOX = 4, TP_BUTTON = 1,
    TKP_TRACK = 1, TKP_TRACKVERT = 2, TKP_THUMB = 3, TKP_THUMBBOTTOM = 4, TKP_THUMBTOP = 5,
    TKP_THUMBVERT = 6, TKP_THUMBLEFT = 7, TKP_THUMBRIGHT = 8,
    WP_SMALLCLOSEBUTTON = 19, CP_DROPDOWNBUTTON = 1, TABP_TABITEM = 1, TABP_PANE = 9,
    SBP_THUMBBTNHORZ = 2, SBP_THUMBBTNVERT = 3, SBP_LOWERTRACKHORZ = 4, SBP_UPPERTRACKHORZ = 5,
    SBP_LOWERTRACKVERT = 6, SBP_UPPERTRACKVERT = 7, SBP_GRIPPERHORZ = 8, SBP_GRIPPERVERT = 9,
    SBP_SIZEBOX = 10, PP_BAR = 1, PP_CHUNK = 3
};

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

// The states of the header, explorer-bar and tab parts: normal, hot,
// pressed, disabled (vlbsDefault as normal); the header has no disabled one.
int headerState(TvlButtonState AState)
{
    constexpr int states[] = {1, 1, 2, 3, 1};
    return states[AState];
}

// The five-state parts whose states run normal, hot, pressed, disabled.
int fourState(TvlButtonState AState)
{
    constexpr int states[] = {1, 1, 2, 3, 4};
    return states[AState];
}

TvlEditVertAlignment editAlignment(TvlAlignmentVert AAlignVert)
{
    switch (AAlignVert) {
    case vaTop: return taTopJustify;
    case vaBottom: return taBottomJustify;
    case vaCenter: break;
    }
    return taVCenter;
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
    if (AFont != nullptr)
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

void TPainter::DrawGroupExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TvlButtonState AState) const
{
    const HTHEME theme = OpenTheme(totExplorerBar);
    if (theme == 0)
        TStandard::DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(),
                                       AExpanded ? EBP_NORMALGROUPCOLLAPSE : EBP_NORMALGROUPEXPAND,
                                       headerState(AState), R);
}

// ---------------------------------------------------------------- headers

void TPainter::DrawHeaderEx(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                            TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz,
                            TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                            const TFont* AFont, TColor ATextColor, TColor ABkColor,
                            const TvlDrawBackgroundEvent& AOnDrawBackground, bool AIsLast, bool AIsGroup) const
{
    const HTHEME theme = OpenTheme(totHeader);
    if (theme == 0) {
        TStandard::DrawHeaderEx(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignHorz, AAlignVert, AMultiLine,
                                AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground, AIsLast,
                                AIsGroup);
        return;
    }
    const int state = headerState(AState);
    // The blue and olive schemes close the last header with its own right
    // end.
    const uint8_t scheme = vxOffice11::GetOffice11Scheme();
    const int part = AIsLast && state == 1 && (scheme == 1 || scheme == 2) ? HP_HEADERITEMRIGHT : HP_HEADERITEM;
    library()->DrawThemeBackground(theme, ACanvas->Handle(), part, state, R);
    TRect text = ATextR;
    if (AState == vlbsPressed)
        OffsetRect(text, 1, 1);
    DrawThemedText(ACanvas, theme, part, state, R, text, AAlignHorz, editAlignment(AAlignVert), AMultiLine,
                   AShowEndEllipsis, false, AText, AFont, ATextColor, ABkColor);
}

void TPainter::DrawHeaderSection(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                                 TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz,
                                 TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis,
                                 const String& AText, const TFont* AFont, TColor ATextColor, TColor ABkColor) const
{
    if (OpenTheme(totHeader) == 0) {
        TStandard::DrawHeaderSection(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignHorz, AAlignVert,
                                     AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor);
        return;
    }
    ACanvas->FillRectByColor(R, clBtnFace);
    DrawHeaderEx(ACanvas, R, ATextR, ANeighbors, ABorders, AState, AAlignHorz, AAlignVert, AMultiLine,
                 AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, nullptr, false, false);
}

void TPainter::DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const
{
    TvlUltraFlatLookAndFeelPainter::Instance()->DrawSortingMark(ACanvas, R, AAscending);
}

int TPainter::HeaderBorderWidth() const
{
    TRect content;
    if (!contentRect(totHeader, nullptr, HP_HEADERITEM, 1, percentBounds, content))
        return TStandard::HeaderBorderWidth();
    return std::max(1, (content.Left + content.Top) / 2);
}

void TPainter::GetHeaderSectionContentBounds(const TRect& R, TvlButtonState AState, TRect& AResult) const
{
    if (OpenTheme(totHeader) == 0) {
        TStandard::GetHeaderSectionContentBounds(R, AState, AResult);
        return;
    }
    AResult = R;
    InflateRect(AResult, -HeaderBorderWidth(), -HeaderBorderWidth());
}

void TPainter::DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const
{
    const HTHEME theme = OpenTheme(totHeader);
    if (theme != 0)
        library()->DrawThemeBackground(theme, ACanvas->Handle(), HP_CALENDAR, 1, R);
}

// ---------------------------------------------------------------- footers, filter panel and group panel

void TPainter::DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const
{
    const HTHEME theme = OpenTheme(totEdit);
    if (theme == 0)
        TStandard::DrawFooterBorder(ACanvas, R);
    else
        library()->DrawThemeEdge(theme, ACanvas->Handle(), 0, 0, R, BDR_RAISEDINNER, BF_RECT);
}

void TPainter::DrawFooterCell(TvlCanvas* ACanvas, const TRect& R, TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                              bool AMultiLine, const String& AText, const TFont* AFont, TColor ATextColor,
                              TColor ABkColor, const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    const HTHEME theme = OpenTheme(totTrackBar);
    if (theme == 0) {
        TStandard::DrawFooterCell(ACanvas, R, AAlignHorz, AAlignVert, AMultiLine, AText, AFont, ATextColor, ABkColor,
                                  AOnDrawBackground);
        return;
    }
    library()->DrawThemeBackground(theme, ACanvas->Handle(), TKP_TRACK, 1, R);
    TRect text;
    FooterCellTextAreaBounds(R, text);
    DrawThemedText(ACanvas, theme, TKP_TRACK, 1, R, text, AAlignHorz, editAlignment(AAlignVert), AMultiLine, false,
                   false, AText, AFont, ATextColor, ABkColor);
}

int TPainter::FooterBorderWidth() const { return OpenTheme(totEdit) != 0 ? 1 : TStandard::FooterBorderWidth(); }

int TPainter::FooterCellBorderWidth() const
{
    TRect content;
    if (contentRect(totTrackBar, nullptr, TKP_TRACK, 1, percentBounds, content))
        return content.Left;
    return TStandard::FooterCellBorderWidth();
}

int TPainter::FooterCellSpacing() const { return OpenTheme(totTrackBar) != 0 ? 1 : TStandard::FooterCellSpacing(); }

void TPainter::DrawFilterPanelCloseButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    const HTHEME theme = OpenTheme(totWindow);
    if (theme == 0)
        TStandard::DrawFilterPanelCloseButton(ACanvas, R, AState);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), WP_SMALLCLOSEBUTTON, fourState(AState), R);
}

void TPainter::DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsActive) const
{
    const HTHEME theme = OpenTheme(totComboBox);
    if (theme == 0)
        TStandard::DrawFilterButton(ACanvas, R, AState, AIsActive);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), CP_DROPDOWNBUTTON, fourState(AState), R);
}

void TPainter::FilterCheckSize(TPoint& AP) const
{
    TSize size;
    if (partSize(totButton, BP_CHECKBOX, CBS_CHECKEDNORMAL, TS_TRUE, size))
        AP = TPoint{size.cx, size.cy};
    else
        TStandard::FilterCheckSize(AP);
}

void TPainter::FilterPanelCloseButtonSize(TPoint& AP) const
{
    TSize size;
    if (partSize(totWindow, WP_SMALLCLOSEBUTTON, 1, TS_TRUE, size))
        AP = TPoint{size.cx + 4, size.cy + 4};
    else
        TStandard::FilterPanelCloseButtonSize(AP);
}

void TPainter::DrawGroupPanelItem(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical, TvlButtonState AState) const
{
    // Without tabs in the theme the item would stay unfilled: it is drawn as
    // the standard look draws it.
    if (OpenTheme(totTab) == 0) {
        TStandard::DrawGroupPanelItem(ACanvas, R, AIsVertical, AState);
        return;
    }
    DrawGroupPanelFrame(ACanvas, R, AState, vlBordersAll);
    DrawTabItem(ACanvas, R, {}, String(), AState, AIsVertical, nullptr, clDefault, clDefault, false);
}

// ---------------------------------------------------------------- tabs

void TPainter::DrawTabItem(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders, const String& AText,
                           TvlButtonState AState, bool AIsVertical, const TFont* AFont, TColor ATextColor,
                           TColor ABkColor, bool AShowPrefix) const
{
    const HTHEME theme = OpenTheme(totTab);
    if (theme == 0) {
        TStandard::DrawTabItem(ACanvas, R, ABorders, AText, AState, AIsVertical, AFont, ATextColor, ABkColor,
                               AShowPrefix);
        return;
    }
    const int state = fourState(AState);
    const bool selected = AState == vlbsPressed;
    // The theme's tab has its own sides: where the caller wants none they
    // lie outside R. The selected tab reaches one pixel into the pane (below
    // horizontal tabs, right of vertical ones); the others lie one pixel off
    // it.
    TRect tab = R;
    if (AIsVertical) {
        if (!ABorders.Contains(bTop))
            tab.Top -= 2;
        if (!ABorders.Contains(bBottom))
            tab.Bottom += 2;
        if (selected)
            ++tab.Right;
        else
            --tab.Left;
    } else {
        if (!ABorders.Contains(bLeft))
            tab.Left -= 2;
        if (!ABorders.Contains(bRight))
            tab.Right += 2;
        if (selected)
            ++tab.Bottom;
        else
            --tab.Top;
    }
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(R);
    if (!AIsVertical)
        library()->DrawThemeBackground(theme, ACanvas->Handle(), TABP_TABITEM, state, tab);
    else if (!IsRectEmpty(tab)) {
        // The theme draws upright tabs only: the tab is drawn turned so that
        // its pane side lies at the bottom, then turned back.
        TvlBitmap bitmap(tab, pf32bit);
        bitmap.Canvas()->CopyRect(bitmap.GetClientRect(), ACanvas->Canvas(), tab);
        bitmap.Rotate(raMinus90);
        library()->DrawThemeBackground(theme, bitmap.vlCanvas()->Handle(), TABP_TABITEM, state,
                                       bitmap.GetClientRect());
        bitmap.Rotate(raPlus90);
        ACanvas->Draw(tab.Left, tab.Top, &bitmap);
    }
    TRect text = R;
    if (selected) {
        if (AIsVertical)
            text.Left += 2;
        else
            text.Top += 2;
    }
    DrawThemedText(ACanvas, theme, TABP_TABITEM, state, R, text, taCenter, taVCenter, false, false, AShowPrefix,
                   AText, AFont, ATextColor, ABkColor);
    ACanvas->RestoreClipRegion();
}

void TPainter::DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide, TvlBorders ABorders,
                                 bool AIsVertical) const
{
    // The themed tab has its own sides.
    if (OpenTheme(totTab) == 0)
        TStandard::DrawTabItemBorder(ACanvas, R, ASide, ABorders, AIsVertical);
}

void TPainter::DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders) const
{
    const HTHEME theme = OpenTheme(totTab);
    if (theme == 0) {
        TStandard::DrawTabsArea(ACanvas, R, ABorders);
        return;
    }
    // Of the pane only the edge next to the tabs shows in R: its far side
    // lies beyond R by the pane's margins and R's own size, its ends ten
    // pixels beyond R's.
    TRect margins = TRect{0, 0, 0, 0};
    TRect content;
    if (library()->GetThemeBackgroundContentRect(theme, ACanvas->Handle(), TABP_PANE, 0, R, content) == S_OK)
        margins = TRect{content.Left - R.Left, content.Top - R.Top, R.Right - content.Right,
                        R.Bottom - content.Bottom};
    TRect pane = R;
    if (R.Width() < R.Height()) {
        // Tabs down the left: the pane's left edge shows.
        pane.Right += margins.Left + margins.Right + R.Width();
        pane.Top -= 10;
        pane.Bottom += 10;
    } else {
        pane.Bottom += margins.Top + margins.Bottom + R.Height();
        pane.Left -= 10;
        pane.Right += 10;
    }
    ACanvas->SaveClipRegion();
    ACanvas->IntersectClipRect(R);
    library()->DrawThemeBackground(theme, ACanvas->Handle(), TABP_PANE, 0, pane);
    ACanvas->RestoreClipRegion();
}

bool TPainter::IsTabDrawingSupported() const
{
    return OpenTheme(totTab) != 0 || TStandard::IsTabDrawingSupported();
}

bool TPainter::IsTabHotTrack() const { return OpenTheme(totTab) != 0 || TStandard::IsTabHotTrack(); }

int TPainter::TabBorderWidth(bool AIsVertical) const
{
    return OpenTheme(totTab) != 0 ? 1 : TStandard::TabBorderWidth(AIsVertical);
}

void TPainter::DrawIndicatorItemEx(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind, TColor ABkColor,
                                   const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    // A themed header item would not frame the indicator: the flat look's
    // border does.
    TvlFlatLookAndFeelPainter::Instance()->DrawIndicatorItemEx(ACanvas, R, AKind, ABkColor, AOnDrawBackground);
}

// ---------------------------------------------------------------- scroll bars and the size grip

int TPainter::ScrollBarMinimalThumbSize(bool AIsVertical) const
{
    const int gripper = AIsVertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ;
    auto along = [AIsVertical](const TSize& ASize) { return AIsVertical ? ASize.cy : ASize.cx; };
    TSize minimum;
    if (!partSize(totScrollBar, gripper, 1, TS_MIN, minimum))
        return TStandard::ScrollBarMinimalThumbSize(AIsVertical);
    int result = along(minimum);
    TSize size;
    if (partSize(totScrollBar, gripper, 1, TS_TRUE, size) && along(size) > result)
        result = along(size) + 4;
    return std::max(result, 8);
}

void TPainter::DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R, TvlScrollBarPartKind APart,
                                 TvlButtonState AState) const
{
    const HTHEME theme = OpenTheme(totScrollBar);
    if (theme == 0) {
        TStandard::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
        return;
    }
    if (IsRectEmpty(R))
        return;
    int state = 1;
    if (AState == vlbsHot)
        state = 2;
    else if (AState == vlbsPressed)
        state = 3;
    else if (AState == vlbsDisabled)
        state = 4;
    HDC dc = ACanvas->Handle();
    switch (APart) {
    case sbpLineUp: DrawArrowButton(ACanvas, R, AState, AHorizontal ? adLeft : adUp, true); break;
    case sbpLineDown: DrawArrowButton(ACanvas, R, AState, AHorizontal ? adRight : adDown, true); break;
    case sbpThumbnail: {
        library()->DrawThemeBackground(theme, dc, AHorizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, state, R);
        // A gripper as long as the thumb would cover its ends.
        const int gripper = AHorizontal ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT;
        TSize size;
        const bool known = library()->GetThemePartSize(theme, dc, gripper, state, nullptr, TS_TRUE, size) == S_OK;
        if (!known || (AHorizontal ? size.cx < R.Width() : size.cy < R.Height()))
            library()->DrawThemeBackground(theme, dc, gripper, state, R);
        break;
    }
    case sbpPageUp:
        library()->DrawThemeBackground(theme, dc, AHorizontal ? SBP_LOWERTRACKHORZ : SBP_LOWERTRACKVERT, state, R);
        break;
    case sbpPageDown:
        library()->DrawThemeBackground(theme, dc, AHorizontal ? SBP_UPPERTRACKHORZ : SBP_UPPERTRACKVERT, state, R);
        break;
    case sbpNone: break;
    }
}

void TPainter::DrawSizeGrip(TvlCanvas* ACanvas, const TRect& R) const
{
    const HTHEME theme = OpenTheme(totScrollBar);
    if (theme == 0)
        TStandard::DrawSizeGrip(ACanvas, R);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), SBP_SIZEBOX, 1, R);
}

// ---------------------------------------------------------------- caption and navigation buttons, progress markers

void TPainter::CaptionButtonSize(TSize& ASize) const
{
    if (!partSize(totWindow, WP_SMALLCLOSEBUTTON, 1, TS_TRUE, ASize))
        ASize = TSize{0, 0};
}

void TPainter::DrawCaptionButton(TvlCanvas* ACanvas, const TRect& R, bool AIsHot, bool AIsPressed, bool,
                                 TColor AFrameColor, bool) const
{
    const HTHEME theme = OpenTheme(totWindow);
    if (theme == 0)
        return;
    ACanvas->FillRectByColor(R, AFrameColor);
    library()->DrawThemeBackground(theme, ACanvas->Handle(), WP_SMALLCLOSEBUTTON, AIsPressed ? 3 : AIsHot ? 2 : 1,
                                   R);
}

void TPainter::DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R, const TRect& AArrowR,
                                           bool AIsNextButton, TvlButtonState AState) const
{
    const HTHEME theme = OpenTheme(totTab);
    if (theme == 0) {
        TStandard::DrawNavigationButtonContent(ACanvas, R, AArrowR, AIsNextButton, AState);
        return;
    }
    if (IsRectEmpty(R))
        return;
    // A tab item turned on its side: what lies under R is turned upright,
    // the tab drawn over it, and the picture turned back.
    TvlBitmap bitmap(R, pf32bit);
    bitmap.Canvas()->CopyRect(bitmap.GetClientRect(), ACanvas->Canvas(), R);
    bitmap.Rotate(AIsNextButton ? raPlus90 : raMinus90);
    library()->DrawThemeBackground(theme, bitmap.vlCanvas()->Handle(), TABP_TABITEM, fourState(AState),
                                   bitmap.GetClientRect());
    bitmap.Rotate(AIsNextButton ? raMinus90 : raPlus90);
    ACanvas->Draw(R.Left, R.Top, &bitmap);
    DrawNavigationArrow(ACanvas, AArrowR, !AIsNextButton, ButtonGlyphColor(AState, clDefault));
}

void TPainter::DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R, const String& AText,
                                          TvlBorders ANeighbors, const TvlViewParams& AViewParams, int AArrows,
                                          int AArrowIndent, const TvlDrawBackgroundEvent& AOnDrawBackground) const
{
    if (OpenTheme(totHeader) == 0) {
        TStandard::DrawHeaderWithScrollArrows(ACanvas, R, AText, ANeighbors, AViewParams, AArrows, AArrowIndent,
                                              AOnDrawBackground);
        return;
    }
    DrawHeaderEx(ACanvas, R, R, ANeighbors, vlBordersAll, vlbsNormal, taCenter, vaCenter, false, false, AText,
                 AViewParams.Font, AViewParams.TextColor, AViewParams.Color, AOnDrawBackground,
                 !ANeighbors.Contains(bRight), false);
    DrawHeaderScrollArrows(ACanvas, R, BorderSize(), AArrows, AArrowIndent);
}

void TPainter::DrawProgressMarker(TvlCanvas* ACanvas, const TRect& R, const TRect& AMarkR,
                                  const TvlViewParams& AViewParams, bool AIsTransparent) const
{
    const HTHEME theme = OpenTheme(totProgress);
    if (theme == 0) {
        TStandard::DrawProgressMarker(ACanvas, R, AMarkR, AViewParams, AIsTransparent);
        return;
    }
    library()->DrawThemeBackground(theme, ACanvas->Handle(), PP_BAR, 0, R);
    library()->DrawThemeBackground(theme, ACanvas->Handle(), PP_CHUNK, 0, AMarkR);
}

void TPainter::DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const
{
    const HTHEME theme = OpenTheme(totToolBar);
    if (theme == 0) {
        TStandard::DrawNavigatorToolButton(ACanvas, R, AState);
        return;
    }
    // Tool-bar button states: hot, hot, checked, pressed, disabled.
    constexpr int states[] = {2, 2, 5, 3, 4};
    library()->DrawThemeBackground(theme, ACanvas->Handle(), TP_BUTTON, states[AState], R);
}

void TPainter::DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R, const TvlViewParams& AViewParams,
                                      bool AIsHorizontal) const
{
    TColor color = clDefault;
    if (OpenTheme(totListView) == 0 || !GetThemeColorValue(totComboBox, 1, 1, TMT_BORDERCOLOR, color)) {
        TStandard::DrawViewSplitterBorder(ACanvas, R, AViewParams, AIsHorizontal);
        return;
    }
    ACanvas->FillRectWithParams(R, AViewParams, AIsHorizontal ? TvlBorders{bTop, bBottom} : TvlBorders{bLeft, bRight},
                                color, 1);
}

// ---------------------------------------------------------------- group boxes and track bars

void TPainter::DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled, int ACaptionPosition,
                                 TvlBorders ABorders) const
{
    const HTHEME theme = OpenTheme(totButton);
    if (theme == 0)
        TStandard::DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition, ABorders);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), BP_GROUPBOX, AEnabled ? 1 : 2, R);
}

TColor TPainter::GroupBoxCaptionTextColor(bool AEnabled) const
{
    TColor color = TStandard::GroupBoxCaptionTextColor(AEnabled);
    GetThemeColorValue(totButton, BP_GROUPBOX, AEnabled ? 1 : 2, TMT_TEXTCOLOR, color);
    return color;
}

void TPainter::DrawGroupBoxBackground(TvlCanvas* ACanvas, TWinControl* AControl, const TRect& R, TColor AColor1,
                                      TColor) const
{
    if (AColor1 == clDefault)
        vlDrawThemeParentBackground(AControl, ACanvas, R);
    else
        ACanvas->FillRectByColor(R, AColor1);
}

namespace {

int thumbPart(bool AHorizontal, TvlTrackBarThumbShape AShape)
{
    switch (AShape) {
    case tbtsPointedTop: return AHorizontal ? TKP_THUMBTOP : TKP_THUMBLEFT;
    case tbtsPointedBottom: return AHorizontal ? TKP_THUMBBOTTOM : TKP_THUMBRIGHT;
    case tbtsRectangle: break;
    }
    return AHorizontal ? TKP_THUMB : TKP_THUMBVERT;
}

}  // namespace

void TPainter::AdjustTrackBarThumbBounds(TvlCanvas* ACanvas, TRect& R, bool AHorizontal,
                                         TvlTrackBarThumbShape AShape) const
{
    const HTHEME theme = OpenTheme(totTrackBar);
    TSize size;
    if (theme == 0 || library()->GetThemePartSize(theme, ACanvas != nullptr ? ACanvas->Handle() : nullptr,
                                                  thumbPart(AHorizontal, AShape), 1, nullptr, TS_DRAW,
                                                  size) != S_OK) {
        TStandard::AdjustTrackBarThumbBounds(ACanvas, R, AHorizontal, AShape);
        return;
    }
    const int left = R.Left + (R.Width() - size.cx) / 2;
    const int top = R.Top + (R.Height() - size.cy) / 2;
    R = Rect(left, top, left + size.cx, top + size.cy);
}

void TPainter::DrawTrackBarTrack(TvlCanvas* ACanvas, const TRect& R, const TRect& ASelection, bool AShowSelection,
                                 TColor ASelectionColor, bool AHorizontal, TColor AColor) const
{
    const HTHEME theme = OpenTheme(totTrackBar);
    if (theme == 0)
        TStandard::DrawTrackBarTrack(ACanvas, R, ASelection, AShowSelection, ASelectionColor, AHorizontal, AColor);
    else
        library()->DrawThemeBackground(theme, ACanvas->Handle(), AHorizontal ? TKP_TRACK : TKP_TRACKVERT, 1, R);
}

void TPainter::DrawTrackBarThumb(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AHorizontal,
                                 TvlTrackBarThumbShape AShape, TColor AColor) const
{
    const HTHEME theme = OpenTheme(totTrackBar);
    if (theme == 0) {
        TStandard::DrawTrackBarThumb(ACanvas, R, AState, AHorizontal, AShape, AColor);
        return;
    }
    // Thumb states: hot, normal, hot, pressed, disabled (5).
    constexpr int states[] = {2, 1, 2, 3, 5};
    library()->DrawThemeBackground(theme, ACanvas->Handle(), thumbPart(AHorizontal, AShape), states[AState], R);
}
