// vlLookAndFeelPainters.h - the painters of the looks: how headers, borders,
// grid lines and scroll bars of the grid family are drawn in each look.
#pragma once
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/ImgList.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vxUxTheme.h"

#include <array>
#include <vector>

class TStartupList;

enum TvlEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };

// The state argument of every button-like element.
enum TvlButtonState { vlbsDefault, vlbsNormal, vlbsHot, vlbsPressed, vlbsDisabled };
enum TvlCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
enum TvlArrowDirection { adUp, adDown, adLeft, adRight };
// What a painter reports as its own look.
enum TvlLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11 };
// The kinds of look a look-and-feel chooses from.
enum TvlLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
// The kind whose table painter draws a painter's look.
TvlLookAndFeelKind KindOfLookAndFeelStyle(TvlLookAndFeelStyle AStyle);
// The state of an editor a colour is asked for.
enum TvlEditStateColorKind { esckNormal, esckDisabled, esckInactive, esckReadOnly };

using TvlArrowPoints = std::array<TPoint, 3>;

// The painter of a look. Painters hold no state: each class has exactly one
// instance (Instance()), and "a painter class" is a pointer to it; the
// controls call every operation virtually through that pointer.
class TvlCustomLookAndFeelPainter {
public:
    TvlCustomLookAndFeelPainter(const TvlCustomLookAndFeelPainter&) = delete;
    TvlCustomLookAndFeelPainter& operator=(const TvlCustomLookAndFeelPainter&) = delete;
    virtual ~TvlCustomLookAndFeelPainter() = default;
    static const TvlCustomLookAndFeelPainter* Instance();

    // General operations.
    virtual TColor DefaultVistaTextColor() const;
    virtual void DrawBackground(TvlCanvas* ACanvas, const TRect& R, bool ATransparent, TColor AColor,
                                const TBitmap* ABitmap) const;
    virtual void DrawButtonArrow(TvlCanvas* ACanvas, const TRect& R, TColor AColor) const;
    virtual void GetCenteredStripBounds(const TRect& R, int ASize, bool AHorizontal, TRect& AResult) const;
    virtual TvlLookAndFeelStyle LookAndFeelStyle() const { return lfsStandard; }
    virtual bool NeedRedrawOnResize() const { return false; }

    // Default colours.
    virtual TColor DefaultContentColor() const { return clWindow; }
    virtual TColor DefaultContentColorB() const { return DefaultContentColor(); }
    virtual TColor DefaultContentColorC() const { return DefaultContentColor(); }
    virtual TColor DefaultContentTextColor() const { return clWindowText; }
    virtual TColor DefaultEditorBackgroundColor(bool AIsDisabled) const
    { return DefaultEditorBackgroundColorForState(AIsDisabled ? esckDisabled : esckNormal); }
    virtual TColor DefaultEditorBackgroundColorForState(TvlEditStateColorKind) const { return clDefault; }
    virtual TColor DefaultEditorTextColor(bool AIsDisabled) const
    { return DefaultEditorTextColorForState(AIsDisabled ? esckDisabled : esckNormal); }
    virtual TColor DefaultEditorTextColorForState(TvlEditStateColorKind) const { return clDefault; }
    virtual TColor DefaultFilterBoxColorA() const { return clBtnShadow; }
    virtual TColor DefaultFilterBoxColorB() const { return clBtnHighlight; }
    virtual TColor DefaultFilterBoxColorC() const { return clBtnText; }
    virtual TColor DefaultFooterColor() const { return clBtnFace; }
    virtual TColor DefaultFooterTextColor() const { return clBtnText; }
    virtual TColor DefaultGridDetailsSiteColor() const { return clBtnFace; }
    virtual TColor DefaultGridLineColor() const { return clBtnShadow; }
    virtual TColor DefaultGroupByBoxColorA() const { return clBtnShadow; }
    virtual TColor DefaultGroupByBoxColorB() const { return clBtnFace; }
    virtual TColor DefaultGroupColor() const { return clBtnFace; }
    virtual TColor DefaultGroupTextColor() const { return clBtnText; }
    virtual TColor DefaultHeaderColorA() const { return clBtnShadow; }
    virtual TColor DefaultHeaderColorB() const { return clBtnFace; }
    virtual TColor DefaultHeaderColor() const { return clBtnFace; }
    virtual TColor DefaultHeaderTextColor() const { return clBtnText; }
    virtual TColor DefaultHyperlinkTextColor() const { return clBlue; }
    virtual TColor DefaultInactiveColor() const { return clBtnFace; }
    virtual TColor DefaultInactiveTextColor() const { return clBtnText; }
    virtual TColor DefaultPreviewTextColor() const { return clBlue; }
    virtual TColor DefaultRecordSeparatorColor() const { return DefaultGridLineColor(); }
    virtual TColor DefaultSizeGripAreaColor() const { return clBtnFace; }
    virtual TColor DefaultMiscColorA() const { return DefaultMiscColorF(); }
    virtual TColor DefaultMiscColorB() const { return DefaultHeaderColor(); }
    virtual TColor DefaultMiscColorC() const { return clDefault; }
    virtual TColor DefaultMiscColorD() const { return DefaultHeaderColor(); }
    virtual TColor DefaultMiscColorE() const { return DefaultHeaderTextColor(); }
    virtual TColor DefaultMiscColorF() const { return TColor(0); }
    virtual TColor DefaultCalendarColorA() const;
    virtual TColor DefaultCalendarColorB() const { return clBtnFace; }
    virtual TColor DefaultCalendarColorC(bool AUseVistaColor) const
    { return AUseVistaColor ? DefaultVistaTextColor() : DefaultHeaderTextColor(); }
    virtual TColor DefaultCalendarColorD() const { return clRed; }
    virtual TColor DefaultCalendarColorE() const { return clGrayText; }
    virtual TColor DefaultCalendarColorF() const { return clHighlight; }
    virtual TColor DefaultCalendarColorG() const { return clHighlightText; }
    virtual TColor DefaultCalendarColorH() const { return clBtnShadow; }
    virtual TColor DefaultCalendarColorI() const { return clWindow; }
    virtual TColor DefaultCalendarColorJ() const { return clWindowText; }
    virtual TColor DefaultCalendarColorK() const { return clMaroon; }
    virtual TColor DefaultCalendarColorL() const { return clNavy; }
    virtual TColor DefaultViewColorA() const { return clWindow; }
    virtual TColor DefaultViewColorB() const { return clWindowText; }
    virtual TColor DefaultViewColorC() const { return TColor(0x9D9DA1); }
    virtual TColor DefaultViewColorD() const { return clBtnFace; }
    virtual TColor DefaultViewColorE() const { return clBtnFace; }
    virtual TColor DefaultViewColorF() const { return DefaultHeaderColor(); }
    virtual TColor DefaultViewColorG() const { return DefaultHeaderTextColor(); }
    virtual TColor DefaultViewContentColor() const { return TColor(0xD5FFFF); }
    virtual TColor DefaultViewColorH() const { return DefaultSelectionTextColor(); }
    virtual TColor DefaultViewColorI() const { return clWindowText; }
    virtual TColor DefaultSelectionColor() const { return clHighlight; }
    virtual TColor DefaultSelectionTextColor() const { return clHighlightText; }
    virtual TColor DefaultViewColorJ() const { return clBtnFace; }
    virtual TColor DefaultViewColorK() const { return clBtnFace; }
    virtual TColor DefaultTabTextColor() const { return clBtnText; }
    virtual TColor DefaultViewColorL() const { return clBtnFace; }
    virtual TColor DefaultViewColorM() const { return clWhite; }
    virtual TColor DefaultViewColorN() const { return TColor(0); }
    virtual TColor DefaultViewColorO() const { return clBtnFace; }
    virtual TColor DefaultViewColorP() const { return clBtnText; }
    virtual TColor DefaultViewColorQ() const { return clWhite; }
    virtual TColor DefaultViewColorR() const { return TColor(0); }
    virtual TColor DefaultViewColorS() const { return TColor(0); }
    virtual TColor DefaultViewColorT() const { return TColor(0); }
    virtual TColor DefaultViewColorU() const { return TColor(0xCFCFCF); }
    virtual TColor DefaultViewColorV() const { return clWhite; }
    virtual TColor DefaultInfoPanelBorderColor() const { return clBtnShadow; }
    virtual TColor DefaultViewColorW() const { return TColor(0xF0CAA6); }
    virtual TColor DefaultViewColorX() const { return clNavy; }
    virtual TColor DefaultViewColorY() const { return clBtnShadow; }
    virtual TColor DefaultViewColorZ() const { return clBtnShadow; }

    // Arrows, borders and buttons.
    virtual void DrawArrow(TvlCanvas* ACanvas, const TRect& R, TvlArrowDirection ADirection, TColor AColor) const;
    virtual void DrawStateArrow(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                TvlArrowDirection ADirection) const;
    virtual int BorderSize() const { return 0; }
    virtual void DrawBorder(TvlCanvas*, const TRect&) const {}
    virtual void DrawSeparator(TvlCanvas*, const TRect&, bool) const {}
    virtual void AdjustGroupButtonDisplayRect(const TRect& R, int, int, TRect& AResult) const { AResult = R; }
    virtual int ButtonBorderWidth(TvlButtonState) const { return 0; }
    virtual TColor ButtonFaceColor(TvlButtonState) const { return clBtnFace; }
    virtual void GetButtonFocusBounds(TvlCanvas* ACanvas, const TRect& R, TRect& AResult) const;
    virtual void GetButtonGroupBorders(int AButtonCount, int AButtonIndex, TRect& AResult) const;
    virtual int ButtonTextIndent() const { return 0; }
    virtual int ButtonPressedTextShift() const { return 0; }
    virtual TColor ButtonGlyphColor(TvlButtonState AState, TColor ADefaultColor) const;
    virtual TvlButtonState ButtonGlyphState(TvlButtonState AState) const { return AState; }
    virtual void DrawArrowButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                 TvlArrowDirection ADirection, bool AWithBorder = true) const;
    virtual void DrawArrowBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const;
    // A push button: border, face, then the caption centred (embossed when
    // disabled). clDefault colours take the painter's face and glyph colours.
    virtual void DrawButton(TvlCanvas* ACanvas, const TRect& R, const String& ACaption, TvlButtonState AState,
                            bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault,
                            bool AWordWrap = false, bool AIsToolButton = false) const;
    virtual void DrawButtonInGroup(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, int AButtonCount,
                                   int AButtonIndex, TColor ABorderColor) const;
    virtual void DrawButtonBorder(TvlCanvas*, const TRect&, TvlButtonState) const {}
    virtual void DrawNavigatorBorder(TvlCanvas*, const TRect&, bool, bool) const {}

    // Expand buttons.
    virtual void DrawExpandButton(TvlCanvas*, const TRect&, bool, TColor) const {}
    virtual bool DrawExpandButtonFirst() const { return true; }
    virtual void DrawSmallExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                                       TColor AColor) const;
    virtual int ExpandButtonSize() const { return 0; }
    virtual int GroupExpandButtonSize() const { return 15; }
    virtual bool IsButtonHotTrack() const { return false; }
    virtual bool IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const { return PtInRect(R, P); }
    virtual int SmallExpandButtonSize() const { return 9; }

    // Check boxes and label lines.
    virtual int CheckBorderWidth() const { return 2; }
    virtual TColor CheckFaceColor(TvlButtonState AState) const;
    virtual void DrawCheck(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsChecked,
                           TColor AColor) const;
    virtual void DrawCheckBorder(TvlCanvas*, const TRect&, TvlButtonState) const {}
    virtual void DrawCheckBox(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsChecked) const;
    virtual void DrawCheckButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                 TvlCheckBoxState ACheckState) const;
    virtual void DrawLabelLine(TvlCanvas* ACanvas, const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                               bool AIsVertical) const;
    virtual int LabelLineHeight() const { return 2; }
    // The check-box glyph size of the system, measured at start-up.
    virtual void CheckButtonSize(TSize& ASize) const;
    // The shared radio glyph of this painter's look at (X, Y); a BrushColor
    // other than clDefault is drawn behind it.
    virtual void DrawRadioButton(TvlCanvas* ACanvas, int X, int Y, TvlButtonState AState, bool AIsChecked,
                                 bool AEmphasised, TColor ABrushColor, bool AFocused = false) const;
    virtual void RadioButtonSize(TSize& ASize) const;

    // The header and scroll-bar elements the grid draws with, in their
    // raised-edge form for every look until each look draws its own.
    // The width of the header's edge on each side.
    virtual int HeaderBorderSize() const { return 2; }
    // A header cell: background (the bitmap tiled, else the colour), edge,
    // then the text in ATextAreaBounds.
    virtual void DrawHeader(TvlCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                            const String& AText, TAlignment AAlignmentHorz, TvlEditVertAlignment AAlignmentVert,
                            bool AShowEndEllipsis, TColor ABkColor, TColor ATextColor,
                            const TBitmap* ABkBitmap) const;
    // The parts of a vertical scroll bar.
    virtual void DrawScrollBarButton(TvlCanvas* ACanvas, const TRect& R, bool AUp, bool APressed) const;
    virtual void DrawScrollBarTrack(TvlCanvas* ACanvas, const TRect& R) const;
    virtual void DrawScrollBarThumb(TvlCanvas* ACanvas, const TRect& R) const;

    virtual TColor DefaultBackgroundColor() const { return clWindow; }
    virtual TColor ProgressBarTextColor() const { return clWindowText; }

protected:
    TvlCustomLookAndFeelPainter() = default;
};

// ---------------------------------------------------------------- the standard look
// Raised and sunken 3-D edges.
class TvlStandardLookAndFeelPainter : public TvlCustomLookAndFeelPainter {
public:
    static const TvlStandardLookAndFeelPainter* Instance();
    TColor DefaultViewContentColor() const override { return clWindow; }
    int BorderSize() const override { return 2; }
    void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
    int ButtonBorderWidth(TvlButtonState AState) const override { return AState == vlbsDefault ? 3 : 2; }
    int ButtonTextIndent() const override { return 1; }
    int ButtonPressedTextShift() const override { return 1; }
    void DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
    int ExpandButtonSize() const override { return 12; }
    void DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;

protected:
    TvlStandardLookAndFeelPainter() = default;
};

// ---------------------------------------------------------------- the flat look
// One-pixel 3-D edges.
class TvlFlatLookAndFeelPainter : public TvlCustomLookAndFeelPainter {
public:
    static const TvlFlatLookAndFeelPainter* Instance();
    TvlLookAndFeelStyle LookAndFeelStyle() const override { return lfsFlat; }
    int BorderSize() const override { return 1; }
    void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
    int ButtonBorderWidth(TvlButtonState AState) const override { return AState == vlbsDefault ? 2 : 1; }
    int ButtonTextIndent() const override { return 1; }
    int ButtonPressedTextShift() const override { return 1; }
    void DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
    int ExpandButtonSize() const override { return 11; }
    void DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;

protected:
    TvlFlatLookAndFeelPainter() = default;
};

// ---------------------------------------------------------------- the ultra-flat look
// Plain one-pixel lines, with highlight colours for hot and pressed buttons.
class TvlUltraFlatLookAndFeelPainter : public TvlCustomLookAndFeelPainter {
public:
    static const TvlUltraFlatLookAndFeelPainter* Instance();
    TvlLookAndFeelStyle LookAndFeelStyle() const override { return lfsUltraFlat; }
    TColor DefaultViewColorC() const override { return clBtnShadow; }
    int BorderSize() const override { return 1; }
    void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
    int ButtonBorderWidth(TvlButtonState AState) const override { return AState == vlbsDefault ? 2 : 1; }
    TColor ButtonFaceColor(TvlButtonState AState) const override;
    void GetButtonFocusBounds(TvlCanvas* ACanvas, const TRect& R, TRect& AResult) const override;
    void GetButtonGroupBorders(int AButtonCount, int AButtonIndex, TRect& AResult) const override;
    int ButtonTextIndent() const override { return 2; }
    TColor ButtonGlyphColor(TvlButtonState AState, TColor ADefaultColor) const override;
    // Symbols never look pressed or disabled.
    TvlButtonState ButtonGlyphState(TvlButtonState) const override { return vlbsNormal; }
    void DrawButtonInGroup(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, int AButtonCount,
                           int AButtonIndex, TColor ABorderColor) const override;
    void DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void DrawNavigatorBorder(TvlCanvas* ACanvas, const TRect& R, bool AEmphasised, bool AHot) const override;
    void DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
    int ExpandButtonSize() const override { return 11; }
    bool IsButtonHotTrack() const override { return true; }
    void DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;

    // The line colours of this look and its descendants.
    virtual TColor ButtonBorderColorForState(TvlButtonState AState) const;
    virtual TColor BorderLineColor() const { return clBtnShadow; }
    virtual TColor DarkBorderLineColor() const { return clBtnText; }
    virtual TColor HotBorderColor() const { return clHighlight; }

protected:
    TvlUltraFlatLookAndFeelPainter() = default;
};

// ---------------------------------------------------------------- the Office 11 look
// The ultra-flat shapes in the Office 11 scheme's colours, with gradients.
class TvlOffice11LookAndFeelPainter : public TvlUltraFlatLookAndFeelPainter {
public:
    static const TvlOffice11LookAndFeelPainter* Instance();
    TvlLookAndFeelStyle LookAndFeelStyle() const override { return lfsOffice11; }
    bool NeedRedrawOnResize() const override { return true; }
    TColor DefaultVistaTextColor() const override { return clHighlightText; }
    TColor DefaultFilterBoxColorA() const override;
    TColor DefaultFilterBoxColorB() const override;
    TColor DefaultFooterColor() const override;
    TColor DefaultFooterTextColor() const override { return DefaultHeaderTextColor(); }
    TColor DefaultGroupByBoxColorA() const override;
    TColor DefaultGroupByBoxColorB() const override;
    TColor DefaultGroupColor() const override;
    TColor DefaultHeaderColorA() const override { return DefaultGroupByBoxColorA(); }
    TColor DefaultHeaderColor() const override { return GradientMiddleColor(); }
    TColor DefaultCalendarColorB() const override;
    TColor DefaultCalendarColorF() const override;
    TColor DefaultCalendarColorG() const override { return clWindowText; }
    TColor DefaultViewColorC() const override;
    TColor DefaultViewColorD() const override;
    TColor DefaultViewColorK() const override;
    TColor DefaultViewColorL() const override { return DefaultViewColorK(); }
    TColor DefaultViewColorO() const override;
    TColor DefaultViewColorQ() const override { return DefaultViewColorD(); }
    void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
    TColor ButtonFaceColor(TvlButtonState AState) const override;
    TColor ButtonGlyphColor(TvlButtonState AState, TColor ADefaultColor) const override;
    void DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    // The scheme's 11 x 11 bitmaps at R's top-left, their corners blended
    // into what lies under them.
    void DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
    bool DrawExpandButtonFirst() const override { return false; }
    void DrawSmallExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                               TColor AColor) const override;
    int ExpandButtonSize() const override { return 11; }
    int SmallExpandButtonSize() const override { return ExpandButtonSize(); }
    TColor CheckFaceColor(TvlButtonState AState) const override;
    TColor ButtonBorderColorForState(TvlButtonState AState) const override;
    TColor BorderLineColor() const override { return SeparatorDarkColor(); }
    TColor HotBorderColor() const override;

    virtual TColor GradientEndColor() const;
    virtual TColor SeparatorDarkColor() const;
    virtual TColor SeparatorLightColor() const;
    virtual TColor GradientMiddleColor() const;

protected:
    TvlOffice11LookAndFeelPainter() = default;
};

// ---------------------------------------------------------------- the native look
// The system's visual style. Each element opens its theme; where there is
// none it is drawn as the standard look draws it.
class TvlWinXPLookAndFeelPainter : public TvlStandardLookAndFeelPainter {
public:
    static const TvlWinXPLookAndFeelPainter* Instance();
    TvlLookAndFeelStyle LookAndFeelStyle() const override { return lfsNative; }
    bool NeedRedrawOnResize() const override;
    TColor DefaultViewColorC() const override;
    TColor DefaultViewContentColor() const override { return TColor(0xD5FFFF); }
    int BorderSize() const override;
    void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
    void DrawArrowButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, TvlArrowDirection ADirection,
                         bool AWithBorder = true) const override;
    void DrawArrowBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void AdjustGroupButtonDisplayRect(const TRect& R, int AButtonCount, int AButtonIndex,
                                      TRect& AResult) const override;
    int ButtonBorderWidth(TvlButtonState AState) const override;
    TColor ButtonFaceColor(TvlButtonState AState) const override;
    void GetButtonFocusBounds(TvlCanvas* ACanvas, const TRect& R, TRect& AResult) const override;
    void GetButtonGroupBorders(int AButtonCount, int AButtonIndex, TRect& AResult) const override;
    TColor ButtonGlyphColor(TvlButtonState AState, TColor ADefaultColor) const override;
    int ButtonTextIndent() const override { return 2; }
    int ButtonPressedTextShift() const override { return 0; }
    void DrawButton(TvlCanvas* ACanvas, const TRect& R, const String& ACaption, TvlButtonState AState,
                    bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault,
                    bool AWordWrap = false, bool AIsToolButton = false) const override;
    bool IsButtonHotTrack() const override { return true; }
    void DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
    bool DrawExpandButtonFirst() const override { return false; }
    void DrawSmallExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                               TColor AColor) const override;
    int ExpandButtonSize() const override;
    int GroupExpandButtonSize() const override;
    int SmallExpandButtonSize() const override;
    bool IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const override;
    int CheckBorderWidth() const override;
    void CheckButtonSize(TSize& ASize) const override;
    void DrawCheck(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsChecked,
                   TColor AColor) const override;
    void DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    // Nothing without the Button theme.
    void DrawRadioButton(TvlCanvas* ACanvas, int X, int Y, TvlButtonState AState, bool AIsChecked,
                         bool AEmphasised, TColor ABrushColor, bool AFocused = false) const override;
    void RadioButtonSize(TSize& ASize) const override;

    // Text in a theme part; nothing for an empty text.
    virtual void DrawThemedText(TvlCanvas* ACanvas, HTHEME ATheme, int APart, int AState, const TRect& AClipR,
                                const TRect& ATextR, TAlignment AAlignHorz, TvlEditVertAlignment AAlignVert,
                                bool AMultiLine, bool AShowEndEllipsis, bool AShowPrefix, const String& AText,
                                const TFont* AFont, TColor ATextColor, TColor ABkColor) const;

protected:
    TvlWinXPLookAndFeelPainter() = default;
};

// The three points of an arrow in R, the apex second. Proportional arrows sit
// in the square about R's centre; AArrowSize <= 0 picks the size from R.
void CalculateArrowPoints(const TRect& R, TvlArrowPoints& APoints, TvlArrowDirection ADirection, bool AProportional,
                          int AArrowSize = 0);

// The plus (collapsed) or minus (expanded) sign of the expand buttons,
// centred in R, its arms (width - 4) div 2 long.
void DrawExpandButtonSign(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor);

// DT_ flags of a horizontal and a vertical alignment.
uint32_t vlAlignmentToDrawTextFlags(TAlignment AHorz, TvlEditVertAlignment AVert);

// ---------------------------------------------------------------- shared resources of the painters

// Told when the skin painters change.
class IvlSkinRegistryObserver {
public:
    virtual ~IvlSkinRegistryObserver() = default;
    virtual void SkinRegistryChanged() = 0;
};

// A named skin painter.
class TvlExtendedStylePainter : public TObject {
public:
    TvlExtendedStylePainter(const String& AName, const TvlCustomLookAndFeelPainter* APainter)
        : Name(AName), Painter(APainter)
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlExtendedStylePainter"); }
    String Name;
    const TvlCustomLookAndFeelPainter* Painter;
};

// The skin painters looks can name (owns its items). Nothing in this
// program registers one, so every lookup fails; the looks with a skin
// painter observe it.
class TvlExtendedStylePainters : public TvlObjectList {
public:
    String ClassName() const override { return String::fromLatin1("TvlExtendedStylePainters"); }
    TvlExtendedStylePainter* Items(int Index) const { return static_cast<TvlExtendedStylePainter*>(TList::Items(Index)); }
    // The first item of that name, compared without regard to case.
    bool FindPainterByName(const String& AName, const TvlCustomLookAndFeelPainter*& APainter) const;
    // Each observer is held once; not owned.
    void AddObserver(IvlSkinRegistryObserver* AObserver);
    void RemoveObserver(IvlSkinRegistryObserver* AObserver);
    int ObserverCount() const { return int(FObservers.size()); }

private:
    std::vector<IvlSkinRegistryObserver*> FObservers;
};

// nullptr outside the unit's lifetime.
TvlExtendedStylePainters* GetSkinPainterRegistry();

// The indicator glyphs (arrow, edit, insert, multi-dot, multi-arrow,
// filter), white transparent; nullptr outside the unit's lifetime.
TImageList* GetLibraryImageList();

// The 8 x 8 brushes of scroll-bar page areas: highlight and face (pressed:
// dark shadow and black) where x and y differ in parity and where they do
// not. nullptr outside the unit's lifetime.
TBitmap* GetScrollBarCheckerBitmap(bool APressed);
// Fills both again from the current system colours.
void RefillCheckerBitmaps();

// The radio glyphs of every look, state and flag, computed pixel by pixel
// from the system's radio frame control. That control is our platform
// layer's own drawing, so the glyph geometry (its size, the rings' outline
// and the check dot) follows our drawing: the outer ring is the edge of the
// circle the radio mask covers and the dot is the one the checked image
// shows, rather than shapes drawn again with the rounded-rectangle and
// ellipse primitives, whose outlines differ slightly from that circle.
class TvlRadioButtonImageList : public TObject {
public:
    TvlRadioButtonImageList();
    ~TvlRadioButtonImageList() override;
    String ClassName() const override { return String::fromLatin1("TvlRadioButtonImageList"); }
    // vlbsDefault counts as normal. With ABrushColor clDefault only the
    // circle is drawn.
    void Draw(TvlCanvas* ACanvas, int X, int Y, TColor ABrushColor, TvlLookAndFeelKind AKind,
              TvlButtonState AState, bool AIsChecked, bool AEmphasised, bool AFocused) const;
    TSize GetSize() const;
    // Builds every glyph again (the system colours changed).
    void Reset();

    // The cell-relative rectangles found in the system's glyph.
    const TRect& GlyphRect() const { return FGlyphRect; }
    const TRect& CheckRect() const { return FCheckRect; }
    // The pattern code of a glyph pixel: 0 outside, 1 and 2 the outer ring
    // (upper-left, lower-right), 3 and 4 the inner ring, 5 the face, 6 the dot.
    int PatternCode(int X, int Y) const { return FPattern.at(size_t(Y)).at(size_t(X)); }

private:
    void calculateGeometry();
    void calculatePattern();
    void buildImages();

    std::unique_ptr<TImageList> FImageList;
    std::unique_ptr<TBitmap> FMaskBitmap;
    TRect FGlyphRect;
    TRect FCheckRect;
    std::vector<std::vector<int>> FPattern;
    // What the system's glyph showed, relative to the glyph rectangle.
    std::vector<std::vector<bool>> FCircle;
    std::vector<std::pair<int, int>> FDotPixels;
};

// Created and filled on first use.
TvlRadioButtonImageList* GetRadioButtonImageList();

void AddvlLookAndFeelPaintersUnit(TStartupList& AList);
