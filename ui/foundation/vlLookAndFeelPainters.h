// vlLookAndFeelPainters.h - the painters of the looks: how headers, borders,
// grid lines and scroll bars of the grid family are drawn in each look.
#pragma once
#include "platform/controls/StdCtrls.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Delegate.h"
#include "platform/graphics/ImgList.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vxUxTheme.h"

#include <array>
#include <vector>

class TImageList;
class TWinControl;
class TStartupList;

enum TvlEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };
// The vertical alignment of a painter's text.
enum TvlAlignmentVert { vaTop, vaBottom, vaCenter };

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
// The parts of a scroll bar: the arrows (left or top first), the thumb and
// the page areas before and after it.
enum TvlScrollBarPartKind : uint8_t { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };
// The images of the row indicator; ikNone draws none.
enum TvlIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow, ikFilter };
// The corner a size grip sits in.
enum TvlCorner { coTopLeft, coTopRight, coBottomLeft, coBottomRight };
// A track-bar thumb pointing up (or left), down (or right), or a plain box.
enum TvlTrackBarThumbShape { tbtsPointedTop, tbtsPointedBottom, tbtsRectangle };
// Draws the background of an element; true when it did, so the painter
// leaves its own fill out.
using TvlDrawBackgroundEvent = TDelegate<bool(TvlCanvas* ACanvas, const TRect& R)>;

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
    // The background (the handler's, else BkColor) and the text in ATextR.
    // APlainBackground only matters to looks with gradient headers.
    virtual void DrawContent(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlButtonState AState,
                             TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine,
                             bool AShowEndEllipsis, const String& AText, const TFont* AFont, TColor ATextColor,
                             TColor ABkColor, const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr,
                             bool APlainBackground = false) const;
    // The separator on top, the border below it; ABorders is for the looks
    // that frame the area.
    virtual void DrawFooterArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders = vlBordersAll) const;
    virtual void DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R, const TRect& AArrowR,
                                             bool AIsNextButton, TvlButtonState AState) const;
    virtual void FooterCellContentBounds(const TRect& R, TRect& AResult) const;
    virtual void FooterCellTextAreaBounds(const TRect& R, TRect& AResult) const;
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
    // A button with the double chevron, turned by AAngle.
    virtual void DrawExpandChevronButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AExpanded,
                                         TvlRotationAngle AAngle = ra0) const;
    virtual bool DrawExpandButtonFirst() const { return true; }
    virtual void DrawGroupExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                                       TvlButtonState AState) const;
    virtual void DrawSmallExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor ABorderColor,
                                       TColor AColor) const;
    virtual int ExpandButtonSize() const { return 0; }
    virtual int GroupExpandButtonSize() const { return 15; }
    virtual bool IsButtonHotTrack() const { return false; }
    virtual bool IsPointOverGroupExpandButton(const TRect& R, const TPoint& P) const { return PtInRect(R, P); }
    virtual int SmallExpandButtonSize() const { return 9; }

    // Check boxes, radio buttons and label lines.
    virtual int CheckBorderWidth() const { return 2; }
    virtual TColor CheckFaceColor(TvlButtonState AState) const;
    virtual void CheckButtonSize(TSize& ASize) const;
    virtual void DrawCheck(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsChecked,
                           TColor AColor) const;
    virtual void DrawCheckBorder(TvlCanvas*, const TRect&, TvlButtonState) const {}
    virtual void DrawCheckBox(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsChecked) const;
    virtual void DrawCheckButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                 TvlCheckBoxState ACheckState) const;
    // The shared radio glyph of this look at (X, Y); over ABrushColor
    // unless that is clDefault.
    virtual void DrawRadioButton(TvlCanvas* ACanvas, int X, int Y, TvlButtonState AState, bool AIsChecked,
                                 bool AEmphasised, TColor ABrushColor = clDefault, bool AFocused = false) const;
    virtual void RadioButtonSize(TSize& ASize) const;
    virtual void DrawLabelLine(TvlCanvas* ACanvas, const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                               bool AIsVertical) const;
    virtual int LabelLineHeight() const { return 2; }

    // Headers. Neighbors are the sides on which a header cell touches
    // another one.
    virtual void DrawHeaderEx(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                              TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz,
                              TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis,
                              const String& AText, const TFont* AFont, TColor ATextColor, TColor ABkColor,
                              const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr, bool AIsLast = false,
                              bool AIsGroup = false) const;
    virtual void DrawHeader(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                            TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz,
                            TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                            const TFont* AFont, TColor ATextColor, TColor ABkColor,
                            const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawHeaderBorder(TvlCanvas*, const TRect&, TvlBorders /*ANeighbors*/, TvlBorders /*ABorders*/) const
    {
    }
    virtual void DrawHeaderPressed(TvlCanvas* ACanvas, const TRect& R) const;
    virtual void DrawHeaderSection(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                                   TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz,
                                   TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis,
                                   const String& AText, const TFont* AFont, TColor ATextColor, TColor ABkColor) const;
    virtual void DrawHeaderSectionBorder(TvlCanvas*, const TRect&, TvlBorders, TvlButtonState) const {}
    virtual void DrawHeaderSectionContent(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR,
                                          TvlButtonState AState, TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                                          bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                          const TFont* AFont, TColor ATextColor, TColor ABkColor) const;
    virtual void DrawHeaderSectionText(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                       TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine,
                                       bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                                       TColor ATextColor) const;
    // The two ends of R (AEndWidth wide) in the view parameters, the middle
    // in AColor.
    virtual void DrawHeaderSeparator(TvlCanvas* ACanvas, const TRect& R, int AEndWidth, TColor AColor,
                                     const TvlViewParams& AViewParams) const;
    virtual void DrawSortingMark(TvlCanvas*, const TRect&, bool /*AAscending*/) const {}
    // The sides a header cell draws its border on.
    virtual TvlBorders HeaderBorders(TvlBorders /*ANeighbors*/) const { return vlBordersAll; }
    virtual int HeaderBorderWidth() const { return 0; }
    // R grown by the border on each side in ABorders that HeaderBorders
    // leaves to a neighbour.
    virtual void GetHeaderOuterBounds(const TRect& R, TvlBorders ANeighbors, TvlBorders ABorders,
                                      TRect& AResult) const;
    virtual void GetHeaderContentBounds(const TRect& R, TvlBorders ABorders, TRect& AResult) const;
    virtual bool HeaderTextShiftedWhenPressed() const { return true; }
    virtual int HeaderHeightForText(int ATextHeight) const { return ATextHeight + 2 * HeaderBorderWidth() + 4; }
    virtual int HeaderSectionBorderWidth(TvlButtonState) const { return 1; }
    virtual void GetHeaderSectionTextBounds(const TRect& R, TvlButtonState AState, TRect& AResult) const;
    virtual void GetHeaderSectionContentBounds(const TRect& R, TvlButtonState AState, TRect& AResult) const;
    virtual int HeaderWidth(TvlCanvas* ACanvas, TvlBorders ABorders, const String& AText, const TFont* AFont) const;
    virtual bool IsHeaderHotTrack() const { return false; }
    virtual void SortingMarkAreaSize(TPoint& AP) const;
    virtual void SortingMarkSize(TPoint& AP) const { AP = TPoint{0, 0}; }

    // The group-by box and group rows.
    virtual void DrawGroupByBox(TvlCanvas* ACanvas, const TRect& R, bool ATransparent, TColor AColor,
                                const TBitmap* ABitmap) const;
    virtual TColor DefaultGroupPanelColorA(bool AUseWindowColor) const;
    virtual TColor DefaultGroupPanelColorB() const;
    virtual TColor DefaultGroupPanelColorC() const;
    virtual bool GroupRowTextShifted() const { return HeaderTextShiftedWhenPressed(); }
    virtual TColor GroupPanelLineColor() const { return DefaultHeaderColorA(); }
    virtual TColor GroupPanelFaceColor() const { return DefaultHeaderColorB(); }
    virtual void DrawGroupPanelButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                      bool AIsLast = false) const;
    virtual void DrawGroupPanelItem(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical,
                                    TvlButtonState AState) const;
    // A one-pixel frame on ABorders, left out of later painting.
    virtual void DrawGroupPanelFrame(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState,
                                     TvlBorders ABorders) const;
    virtual void DrawGroupPanelItemEx(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical, TvlButtonState AState,
                                      TvlBorders ABorders) const;
    virtual void DrawGroupPanelContent(TvlCanvas*, const TRect&) const {}
    virtual void GroupPanelContentOffsets(bool /*AIsVertical*/, TRect& AResult) const { AResult = TRect{0, 0, 0, 0}; }
    virtual void GroupPanelItemOffsets(bool /*AIsVertical*/, TRect& AResult) const { AResult = TRect{0, 0, 0, 0}; }
    virtual TvlBorders GroupPanelBorders() const { return vlBordersAll; }

    // Footers.
    virtual int FooterBorderWidth() const { return 0; }
    virtual int FooterCellBorderWidth() const { return 0; }
    virtual int FooterCellSpacing() const { return 0; }
    virtual bool FooterCellsDrawnFirst() const { return true; }
    virtual TColor FooterSeparatorColor() const { return clBtnShadow; }
    virtual int FooterSeparatorSize() const { return 1; }
    virtual void DrawFooterCell(TvlCanvas* ACanvas, const TRect& R, TAlignment AAlignHorz,
                                TvlAlignmentVert AAlignVert, bool AMultiLine, const String& AText, const TFont* AFont,
                                TColor ATextColor, TColor ABkColor,
                                const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawFooterCellContent(TvlCanvas* ACanvas, const TRect& R, TAlignment AAlignHorz,
                                       TvlAlignmentVert AAlignVert, bool AMultiLine, const String& AText,
                                       const TFont* AFont, TColor ATextColor, TColor ABkColor,
                                       const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawFooterBorder(TvlCanvas*, const TRect&) const {}
    virtual void DrawFooterCellBorder(TvlCanvas*, const TRect&) const {}
    virtual void DrawFooterContent(TvlCanvas* ACanvas, const TRect& R, const TvlViewParams& AViewParams) const;
    virtual void DrawFooterSeparator(TvlCanvas* ACanvas, const TRect& R) const;

    // Filter panel, popup windows and tabs.
    virtual void DrawFilterCheck(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsChecked) const;
    virtual void DrawFilterPanelCloseButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const;
    virtual void DrawFilterButton(TvlCanvas*, const TRect&, TvlButtonState, bool /*AIsActive*/) const {}
    virtual void DrawFilterPanel(TvlCanvas* ACanvas, const TRect& R, bool ATransparent, TColor AColor,
                                 const TBitmap* ABitmap) const;
    virtual void FilterCheckSize(TPoint& AP) const { AP = TPoint{13, 13}; }
    virtual void FilterPanelCloseButtonSize(TPoint& AP) const { AP = TPoint{16, 14}; }
    // No height of its own: the caller takes the row's.
    virtual void FilterButtonSize(TPoint& AP) const { AP = TPoint{15, 0}; }
    virtual void DrawWindowContent(TvlCanvas* ACanvas, const TRect& R) const;
    // 1: a frame line.
    virtual int DefaultPopupBorderStyle() const { return 1; }
    virtual void DrawTabItem(TvlCanvas*, const TRect&, TvlBorders, const String&, TvlButtonState,
                             bool /*AIsVertical*/, const TFont*, TColor /*ATextColor*/, TColor /*ABkColor*/,
                             bool /*AShowPrefix*/ = false) const
    {
    }
    virtual void DrawTabItemBorder(TvlCanvas*, const TRect&, TvlBorder /*ASide*/, TvlBorders,
                                   bool /*AIsVertical*/) const
    {
    }
    virtual void DrawTabsArea(TvlCanvas*, const TRect&, TvlBorders = vlBordersAll) const {}
    virtual bool IsTabDrawingSupported() const { return false; }
    virtual bool IsTabHotTrack() const { return false; }
    virtual int TabBorderWidth(bool /*AIsVertical*/) const { return 0; }

    // The row indicator.
    virtual void DrawIndicatorCustomizationMark(TvlCanvas* ACanvas, const TRect& R, TColor AColor) const;
    virtual void DrawIndicatorImage(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind) const;
    virtual void DrawIndicatorItemEx(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind, TColor ABkColor,
                                     const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawIndicatorItem(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind, TColor ABkColor,
                                   const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual bool IndicatorItemsDrawnFirst() const { return true; }

    // Scroll bars and size grips.
    virtual int ScrollBarMinimalThumbSize(bool /*AIsVertical*/) const { return 8; }
    virtual void DrawScrollBarBackground(TvlCanvas* ACanvas, const TRect& R, bool AHorizontal) const;
    virtual void DrawScrollBarPart(TvlCanvas*, bool /*AHorizontal*/, const TRect&, TvlScrollBarPartKind,
                                   TvlButtonState) const
    {
    }
    virtual void ScrollBarSize(TSize& ASize) const;
    virtual void DrawSizeGrip(TvlCanvas* ACanvas, const TRect& R) const;
    // The grip as drawn for the bottom-right corner, turned for ACorner.
    virtual void DrawSizeGripInCorner(TvlCanvas* ACanvas, const TRect& R, TColor ABkColor, TvlCorner ACorner) const;

    // Caption buttons, navigation buttons, progress markers, info panels
    // and the clock.
    virtual void CaptionButtonSize(TSize& ASize) const;
    virtual void DrawCaptionButton(TvlCanvas* ACanvas, const TRect& R, bool AIsHot, bool AIsPressed,
                                   bool AIsDisabled, TColor AFrameColor, bool AIsActive = true) const;
    // The arrow above the text of a navigation button; the button grows when
    // the text does not fit.
    virtual void CalculateNavigationButtonRects(bool AIsNextButton, bool AArrowOnly, int AArrowPad,
                                                const TSize& ATextSize, TRect& R, TRect& ATextR,
                                                TRect& AArrowR) const;
    // Arrows: 1 left, 2 right, 3 both.
    virtual void DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R, const String& AText,
                                            TvlBorders ANeighbors, const TvlViewParams& AViewParams, int AArrows,
                                            int AArrowIndent,
                                            const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const;
    virtual void DrawViewBorder(TvlCanvas* ACanvas, const TRect& R) const { DrawBorder(ACanvas, R); }
    virtual void DrawProgressMarker(TvlCanvas* ACanvas, const TRect& R, const TRect& AMarkR,
                                    const TvlViewParams& AViewParams, bool AIsTransparent) const;
    virtual void DrawNavigationButtonEx(TvlCanvas* ACanvas, const TRect& R, bool AIsNextButton,
                                        TvlButtonState AState, const String& AText, const TRect& ATextR,
                                        const TRect& AArrowR) const;
    virtual void DrawNavigationArrow(TvlCanvas* ACanvas, const TRect& R, bool AIsLeft, TColor AColor) const;
    virtual void DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const;
    virtual void DrawViewSplitterBorder(TvlCanvas*, const TRect&, const TvlViewParams&, bool /*AIsHorizontal*/) const
    {
    }
    virtual void ProgressMarkerOffsets(TRect& AResult) const { AResult = TRect{2, 2, 2, 2}; }
    virtual TColor NavigationButtonTextColor(bool /*AIsNextButton*/, TvlButtonState AState, TColor AColor) const
    {
        return ButtonGlyphColor(AState, AColor);
    }
    // ABorders holds the widths of the four sides.
    virtual void NavigationButtonMetrics(bool AIsNextButton, TRect& ABorders, TSize& AArrowSize,
                                         bool& AHasTextArea) const;
    virtual int InfoPanelBorderSize() const { return 1; }
    virtual void DrawClock(TvlCanvas* ACanvas, const TRect& R, TDateTime ATime, TColor ABkColor) const;

    // Editor buttons, the navigator and progress bars.
    virtual void DrawEditorButton(TvlCanvas*, const TRect&, uint8_t /*AKind*/, TvlButtonState,
                                  uint8_t /*APosition*/) const
    {
    }
    virtual int EditButtonTextIndent() const { return 0; }
    virtual void EditButtonExtent(TSize& ASize) const { ASize = TSize{0, 0}; }
    virtual TColor EditButtonGlyphColor() const { return clDefault; }
    virtual TColor GetContainerBorderColor(bool /*AIsHighlighted*/) const { return clDefault; }
    // Fills R and frames it with a one-pixel edge; R then lies inside.
    virtual void DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const;
    virtual void DrawNavigatorGlyph(TvlCanvas* ACanvas, TImageList* AImages, int AImageIndex, int AButtonIndex,
                                    const TPoint& P, bool AEnabled, bool AUserGlyphs = false) const;
    virtual void NavigatorGlyphExtent(TSize& ASize) const { ASize = TSize{0, 0}; }
    virtual void DrawProgressBarBorder(TvlCanvas*, const TRect&) const {}
    virtual void DrawProgressBar(TvlCanvas*, const TRect&) const {}
    // The bar's text at R's top-left (top-right, turned, when AVertical):
    // solid, or in the two over-bar colours split at AClipR (the filled
    // part), or inverted against what lies beneath it.
    virtual void DrawProgressBarText(TvlCanvas* ACanvas, bool AVertical, bool AIsSolid, const String& AText,
                                     const TRect& R, const TRect& ABarR, const TRect& AClipR,
                                     TColor ATextColor) const;
    virtual void ProgressBarBorderSize(bool /*AVertical*/, TRect& AResult) const { AResult = TRect{0, 0, 0, 0}; }
    virtual TColor ProgressBarTextColor() const { return ProgressBarTextColorEx(false); }
    // clDefault over the bar: the text shows inverted there.
    virtual TColor ProgressBarTextColorEx(bool AIsOverBar) const { return AIsOverBar ? clDefault : clWindowText; }

    // Group boxes. ACaptionPosition 4: no caption side.
    virtual void DrawGroupBoxInnerFrame(TvlCanvas*, const TRect&, const TRect&) const {}
    virtual void DrawGroupBoxPanel(TvlCanvas*, const TRect&, bool /*AEnabled*/) const {}
    virtual void DrawGroupBox(TvlCanvas*, const TRect&, int /*ACaptionPosition*/, TvlBorders) const {}
    virtual void DrawGroupBoxExpandButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AExpanded,
                                          TvlRotationAngle AAngle) const
    {
        DrawExpandChevronButton(ACanvas, R, AState, AExpanded, AAngle);
    }
    virtual void DrawGroupBoxFrame(TvlCanvas*, const TRect&, bool /*AEnabled*/, int /*ACaptionPosition*/,
                                   TvlBorders) const
    {
    }
    virtual void GroupBoxBorderSize(bool /*AHasCaption*/, int /*ACaptionPosition*/, TRect& AResult) const
    {
        AResult = TRect{0, 0, 0, 0};
    }
    virtual TColor GroupBoxCaptionTextColor(bool AEnabled) const { return AEnabled ? clWindowText : clBtnShadow; }
    virtual int GroupBoxCaptionTailSize(int /*ACaptionPosition*/) const { return 0; }
    virtual void DrawGroupBoxBackground(TvlCanvas* ACanvas, TWinControl* AControl, const TRect& R, TColor AColor1,
                                        TColor AColor2) const;
    virtual void DrawGroupBoxCaption(TvlCanvas*, const TRect&) const {}
    virtual void DrawGroupBoxBackgroundPanel(TvlCanvas* ACanvas, const TRect& R, bool AEnabled) const
    {
        DrawGroupBoxPanel(ACanvas, R, AEnabled);
    }
    virtual void DrawGroupBoxPanelEx(TvlCanvas* ACanvas, const TRect& R, bool AEnabled = true) const;
    virtual void GroupBoxPanelOffsets(TRect& AResult) const { AResult = TRect{0, 0, 0, 0}; }
    virtual TColor GroupBoxPanelTextColor() const { return GroupBoxCaptionTextColor(true); }

    // Track bars and splitters.
    virtual void AdjustTrackBarThumbBounds(TvlCanvas* ACanvas, TRect& R, bool AHorizontal,
                                           TvlTrackBarThumbShape AShape) const;
    virtual void DrawTrackBarTrack(TvlCanvas* ACanvas, const TRect& R, const TRect& ASelection, bool AShowSelection,
                                   TColor ASelectionColor, bool AHorizontal, TColor AColor) const;
    virtual void DrawTrackBarTrackBounds(TvlCanvas*, const TRect&) const {}
    virtual void DrawTrackBarThumb(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AHorizontal,
                                   TvlTrackBarThumbShape AShape, TColor AColor) const;
    // The edges of a pointed thumb: outer light (3 points), outer dark (4),
    // inner dark (4) and inner light (5).
    virtual void DrawTrackBarPointedThumbBorder(TvlCanvas*, const std::vector<TPoint>& /*AOuterLight*/,
                                                const std::vector<TPoint>& /*AOuterDark*/,
                                                const std::vector<TPoint>& /*AInnerDark*/,
                                                const std::vector<TPoint>& /*AInnerLight*/) const
    {
    }
    virtual void DrawTrackBarThumbBorder(TvlCanvas*, const TRect&) const {}
    virtual void TrackBarThumbSize(bool /*AHorizontal*/, TSize& ASize) const { ASize = TSize{0, 0}; }
    virtual TColor TrackBarThumbColor() const { return clDefault; }
    virtual int TrackBarTrackSize() const { return 0; }
    virtual TColor GetSplitterInnerColor(bool /*AIsHot*/) const { return clWhite; }
    virtual TColor GetSplitterOuterColor(bool /*AIsHot*/) const { return clBtnShadow; }
    virtual void DrawSplitter(TvlCanvas* ACanvas, const TRect& R, bool AIsHot, bool AIsClicked,
                              bool AHorizontal) const;
    virtual void GetSplitterSize(bool AHorizontal, TSize& ASize) const;

    // Pages and page panels.
    virtual TColor DefaultPagePanelColor() const { return clBtnFace; }
    virtual void DrawPagePanel(TvlCanvas* ACanvas, const TRect& R) const;
    virtual void PagePanelOffsets(TRect& AResult) const { AResult = TRect{2, 2, 4, 4}; }
    virtual void DrawPageAreaBackground(TvlCanvas* ACanvas, const TRect& R) const;
    // A page with its frame (0: window text, 1: highlight) and drop shadow.
    virtual void DrawPage(TvlCanvas* ACanvas, const TRect& APageR, const TRect& AContentR, int AFrameKind,
                          bool AFillContent) const;
    // clDefault for a kind outside 0..5.
    virtual TColor PageFrameColor(int AKind) const;
    virtual TColor DefaultPageAreaColor() const { return clBtnFace; }

protected:
    TvlCustomLookAndFeelPainter() = default;
    // The outlined sorting triangle of AMarkSize centred in R, pointing up
    // when ascending: the edges facing down and right in ALightColor, those
    // facing up and left in ADarkColor, the inside left as it is.
    static void DrawOutlinedSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending, const TPoint& AMarkSize,
                                        TColor ALightColor, TColor ADarkColor);
};

// ---------------------------------------------------------------- the standard look
// Raised and sunken 3-D edges.
class TvlStandardLookAndFeelPainter : public TvlCustomLookAndFeelPainter {
public:
    static const TvlStandardLookAndFeelPainter* Instance();
    TColor DefaultViewContentColor() const override { return clWindow; }
    int BorderSize() const override { return 2; }
    void DrawBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    int HeaderBorderWidth() const override { return 1; }
    void DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors,
                          TvlBorders ABorders) const override;
    void DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R, TvlScrollBarPartKind APart,
                           TvlButtonState AState) const override;
    void DrawSeparator(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical) const override;
    int ButtonBorderWidth(TvlButtonState AState) const override { return AState == vlbsDefault ? 3 : 2; }
    int ButtonTextIndent() const override { return 1; }
    int ButtonPressedTextShift() const override { return 1; }
    void DrawButtonBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void DrawExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor) const override;
    int ExpandButtonSize() const override { return 12; }
    void DrawCheckBorder(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;

    void DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterCellBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled, int ACaptionPosition,
                           TvlBorders ABorders) const override;
    void DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    int FooterBorderWidth() const override { return 1; }
    int FooterCellBorderWidth() const override { return 1; }
    int TabBorderWidth(bool) const override { return 1; }
    int HeaderSectionBorderWidth(TvlButtonState AState) const override { return AState == vlbsPressed ? 1 : 2; }
    void SortingMarkSize(TPoint& AP) const override { AP = TPoint{8, 7}; }
    int FooterCellSpacing() const override { return 1; }
    void DrawHeaderSectionBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders,
                                 TvlButtonState AState) const override;
    void DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const override;
    // The flat look's thinner button border around the chevrons.
    void DrawGroupExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                               TvlButtonState AState) const override;
    void DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsActive) const override;
    void DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide, TvlBorders ABorders,
                           bool AIsVertical) const override;
    void DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders = vlBordersAll) const override;
    // A black line around the header: right and bottom always, left and top
    // where no neighbour's line already runs.
    void DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R, const String& AText, TvlBorders ANeighbors,
                                    const TvlViewParams& AViewParams, int AArrows, int AArrowIndent,
                                    const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    void DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R, const TvlViewParams& AViewParams,
                                bool AIsHorizontal) const override;
    void DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas, const std::vector<TPoint>& AOuterLight,
                                        const std::vector<TPoint>& AOuterDark,
                                        const std::vector<TPoint>& AInnerDark,
                                        const std::vector<TPoint>& AInnerLight) const override;
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

    void DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterCellBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled, int ACaptionPosition,
                           TvlBorders ABorders) const override;
    void DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    int FooterBorderWidth() const override { return 1; }
    int FooterCellBorderWidth() const override { return 1; }
    int TabBorderWidth(bool) const override { return 1; }
    int HeaderBorderWidth() const override { return 1; }
    void SortingMarkSize(TPoint& AP) const override { AP = TPoint{8, 7}; }
    int FooterCellSpacing() const override { return 1; }
    TColor GetSplitterOuterColor(bool AIsHot) const override { return AIsHot ? cl3DDkShadow : clBtnShadow; }
    // The raised edge of the standard look.
    void DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors,
                          TvlBorders ABorders) const override;
    void DrawHeaderSectionBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders,
                                 TvlButtonState AState) const override;
    void DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R, TvlScrollBarPartKind APart,
                           TvlButtonState AState) const override;
    void DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const override;
    void DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsActive) const override;
    void DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide, TvlBorders ABorders,
                           bool AIsVertical) const override;
    void DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders = vlBordersAll) const override;
    void DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R, const TvlViewParams& AViewParams,
                                bool AIsHorizontal) const override;
    // No edge: a face line at the bottom, which R then loses.
    void DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const override;
    void DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas, const std::vector<TPoint>& AOuterLight,
                                        const std::vector<TPoint>& AOuterDark,
                                        const std::vector<TPoint>& AInnerDark,
                                        const std::vector<TPoint>& AInnerLight) const override;
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

    void DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterCellBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled, int ACaptionPosition,
                           TvlBorders ABorders) const override;
    void DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders = vlBordersAll) const override;
    int FooterBorderWidth() const override { return 1; }
    int FooterCellBorderWidth() const override { return 1; }
    int TabBorderWidth(bool) const override { return 1; }
    int HeaderBorderWidth() const override { return 1; }
    // Touching cells share the line between them.
    TvlBorders HeaderBorders(TvlBorders ANeighbors) const override
    {
        TvlBorders result = vlBordersAll;
        if (ANeighbors.Contains(bLeft))
            result.Exclude(bLeft);
        if (ANeighbors.Contains(bTop))
            result.Exclude(bTop);
        return result;
    }
    void SortingMarkSize(TPoint& AP) const override { AP = TPoint{7, 8}; }
    int FooterCellSpacing() const override { return 2; }
    TColor GetSplitterOuterColor(bool AIsHot) const override { return AIsHot ? clHighlight : clBtnShadow; }
    void GetSplitterSize(bool AHorizontal, TSize& ASize) const override
    {
        ASize = AHorizontal ? TSize{17, 1} : TSize{1, 17};
    }
    void FilterPanelCloseButtonSize(TPoint& AP) const override { AP = TPoint{16, 15}; }
    TvlBorders GroupPanelBorders() const override { return TvlBorders{bRight, bBottom}; }
    void DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors,
                          TvlBorders ABorders) const override;
    void DrawHeaderSectionBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders,
                                 TvlButtonState AState) const override;
    void DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R, TvlScrollBarPartKind APart,
                           TvlButtonState AState) const override;
    void DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const override;
    // The content over all of R (the text one pixel further in), then the
    // lines one pixel inside R.
    void DrawHeader(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                    TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                    bool AMultiLine, bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                    TColor ATextColor, TColor ABkColor,
                    const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    // Hot, pressed and disabled sections take the button face; the text
    // stays where it is when pressed.
    void DrawHeaderSectionContent(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlButtonState AState,
                                  TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine,
                                  bool AShowEndEllipsis, const String& AText, const TFont* AFont, TColor ATextColor,
                                  TColor ABkColor) const override;
    void DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsActive) const override;
    void DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide, TvlBorders ABorders,
                           bool AIsVertical) const override;
    void DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders = vlBordersAll) const override;
    void DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R, const TRect& AArrowR, bool AIsNextButton,
                                     TvlButtonState AState) const override;
    // A border only while hot or pressed.
    void DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R, const TvlViewParams& AViewParams,
                                bool AIsHorizontal) const override;
    void DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas, const std::vector<TPoint>& AOuterLight,
                                        const std::vector<TPoint>& AOuterDark,
                                        const std::vector<TPoint>& AInnerDark,
                                        const std::vector<TPoint>& AInnerLight) const override;
    // The shadow colour a third of the way to white.
    void DrawPageAreaBackground(TvlCanvas* ACanvas, const TRect& R) const override;
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
    // A gradient at the bottom of header backgrounds, and a hot strip.
    void DrawContent(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlButtonState AState,
                     TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis,
                     const String& AText, const TFont* AFont, TColor ATextColor, TColor ABkColor,
                     const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr,
                     bool APlainBackground = false) const override;
    void DrawHeaderEx(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                      TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                      bool AMultiLine, bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                      TColor ATextColor, TColor ABkColor, const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr,
                      bool AIsLast = false, bool AIsGroup = false) const override;
    void DrawHeaderBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorders ANeighbors,
                          TvlBorders ABorders) const override;
    void DrawHeaderSection(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                           TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz,
                           TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                           const TFont* AFont, TColor ATextColor, TColor ABkColor) const override;

    void DrawViewBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const override;
    void DrawTrackBarTrackBounds(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawTrackBarThumbBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    TvlBorders HeaderBorders(TvlBorders) const override { return vlBordersAll; }
    bool IsHeaderHotTrack() const override { return true; }
    TColor FooterSeparatorColor() const override { return SeparatorDarkColor(); }
    TColor GetSplitterInnerColor(bool AIsHot) const override;
    TColor GetSplitterOuterColor(bool AIsHot) const override;
    void GetSplitterSize(bool AHorizontal, TSize& ASize) const override
    {
        TvlCustomLookAndFeelPainter::GetSplitterSize(AHorizontal, ASize);
    }
    // The native look's parts where the theme has them, else the standard
    // look's (not the ultra-flat buttons).
    void DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R, TvlScrollBarPartKind APart,
                           TvlButtonState AState) const override;
    // The frame, then the content background: plain across, with the
    // bottom gradient when the panel stands vertically.
    void DrawGroupPanelItem(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical,
                            TvlButtonState AState) const override;
    void DrawSizeGrip(TvlCanvas* ACanvas, const TRect& R) const override;
    // The outlined triangle in the separator colours.
    void DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const override;
    // Inside a one-pixel margin, without header borders: the handler's or
    // the view's background, the text, the arrows.
    void DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R, const String& AText, TvlBorders ANeighbors,
                                    const TvlViewParams& AViewParams, int AArrows, int AArrowIndent,
                                    const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    void DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R, const TRect& AArrowR, bool AIsNextButton,
                                     TvlButtonState AState) const override;
    // The native look's button (its standard button without a theme).
    void DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    // The native look's frame and caption colour where the theme has
    // buttons, else the ultra-flat frame and the base colour.
    void DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled, int ACaptionPosition,
                           TvlBorders ABorders) const override;
    TColor GroupBoxCaptionTextColor(bool AEnabled) const override;
    // AColor1 clDefault: what the parent shows; AColor2 clDefault: AColor1
    // plain; otherwise a gradient from top to bottom.
    void DrawGroupBoxBackground(TvlCanvas* ACanvas, TWinControl* AControl, const TRect& R, TColor AColor1,
                                TColor AColor2) const override;
    void DrawPagePanel(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawTrackBarPointedThumbBorder(TvlCanvas* ACanvas, const std::vector<TPoint>& AOuterLight,
                                        const std::vector<TPoint>& AOuterDark, const std::vector<TPoint>& AInnerDark,
                                        const std::vector<TPoint>& AInnerLight) const override;
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
    void DrawGroupExpandButton(TvlCanvas* ACanvas, const TRect& R, bool AExpanded,
                               TvlButtonState AState) const override;

    // Headers: the theme's items with their text shifted when pressed; the
    // ultra-flat sorting mark.
    void DrawHeaderEx(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                      TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                      bool AMultiLine, bool AShowEndEllipsis, const String& AText, const TFont* AFont,
                      TColor ATextColor, TColor ABkColor, const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr,
                      bool AIsLast = false, bool AIsGroup = false) const override;
    void DrawHeaderPressed(TvlCanvas*, const TRect&) const override {}
    void DrawHeaderSection(TvlCanvas* ACanvas, const TRect& R, const TRect& ATextR, TvlBorders ANeighbors,
                           TvlBorders ABorders, TvlButtonState AState, TAlignment AAlignHorz,
                           TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                           const TFont* AFont, TColor ATextColor, TColor ABkColor) const override;
    void DrawSortingMark(TvlCanvas* ACanvas, const TRect& R, bool AAscending) const override;
    void SortingMarkSize(TPoint& AP) const override { AP = TPoint{7, 8}; }
    int HeaderBorderWidth() const override;
    int HeaderSectionBorderWidth(TvlButtonState) const override { return HeaderBorderWidth(); }
    void GetHeaderSectionContentBounds(const TRect& R, TvlButtonState AState, TRect& AResult) const override;
    bool IsHeaderHotTrack() const override { return true; }
    // The theme's calendar frame; R keeps its size. Nothing without it.
    void DrawCalendarBorder(TvlCanvas* ACanvas, TRect& R) const override;

    // Footers, the filter panel and the group panel.
    void DrawFooterBorder(TvlCanvas* ACanvas, const TRect& R) const override;
    void DrawFooterCell(TvlCanvas* ACanvas, const TRect& R, TAlignment AAlignHorz, TvlAlignmentVert AAlignVert,
                        bool AMultiLine, const String& AText, const TFont* AFont, TColor ATextColor, TColor ABkColor,
                        const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    int FooterBorderWidth() const override;
    int FooterCellBorderWidth() const override;
    int FooterCellSpacing() const override;
    bool FooterCellsDrawnFirst() const override { return false; }
    void DrawFilterPanelCloseButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void DrawFilterButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AIsActive) const override;
    void FilterCheckSize(TPoint& AP) const override;
    void FilterPanelCloseButtonSize(TPoint& AP) const override;
    // The frame, then a borderless tab item without text.
    void DrawGroupPanelItem(TvlCanvas* ACanvas, const TRect& R, bool AIsVertical,
                            TvlButtonState AState) const override;

    // Tabs.
    void DrawTabItem(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders, const String& AText,
                     TvlButtonState AState, bool AIsVertical, const TFont* AFont, TColor ATextColor, TColor ABkColor,
                     bool AShowPrefix = false) const override;
    void DrawTabItemBorder(TvlCanvas* ACanvas, const TRect& R, TvlBorder ASide, TvlBorders ABorders,
                           bool AIsVertical) const override;
    void DrawTabsArea(TvlCanvas* ACanvas, const TRect& R, TvlBorders ABorders = vlBordersAll) const override;
    bool IsTabDrawingSupported() const override;
    bool IsTabHotTrack() const override;
    int TabBorderWidth(bool AIsVertical) const override;
    void DrawIndicatorItemEx(TvlCanvas* ACanvas, const TRect& R, TvlIndicatorKind AKind, TColor ABkColor,
                             const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;

    // Scroll bars and the size grip.
    int ScrollBarMinimalThumbSize(bool AIsVertical) const override;
    void DrawScrollBarPart(TvlCanvas* ACanvas, bool AHorizontal, const TRect& R, TvlScrollBarPartKind APart,
                           TvlButtonState AState) const override;
    void DrawSizeGrip(TvlCanvas* ACanvas, const TRect& R) const override;

    // Caption and navigation buttons, progress markers, group boxes, track
    // bars and splitters. The caption button needs the theme: without it
    // it has no size and draws nothing.
    void CaptionButtonSize(TSize& ASize) const override;
    void DrawCaptionButton(TvlCanvas* ACanvas, const TRect& R, bool AIsHot, bool AIsPressed, bool AIsDisabled,
                           TColor AFrameColor, bool AIsActive = true) const override;
    void DrawNavigationButtonContent(TvlCanvas* ACanvas, const TRect& R, const TRect& AArrowR, bool AIsNextButton,
                                     TvlButtonState AState) const override;
    void DrawHeaderWithScrollArrows(TvlCanvas* ACanvas, const TRect& R, const String& AText, TvlBorders ANeighbors,
                                    const TvlViewParams& AViewParams, int AArrows, int AArrowIndent,
                                    const TvlDrawBackgroundEvent& AOnDrawBackground = nullptr) const override;
    void DrawProgressMarker(TvlCanvas* ACanvas, const TRect& R, const TRect& AMarkR, const TvlViewParams& AViewParams,
                            bool AIsTransparent) const override;
    void ProgressMarkerOffsets(TRect& AResult) const override { AResult = TRect{3, 3, 3, 3}; }
    void DrawNavigatorToolButton(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState) const override;
    void DrawViewSplitterBorder(TvlCanvas* ACanvas, const TRect& R, const TvlViewParams& AViewParams,
                                bool AIsHorizontal) const override;
    void DrawGroupBoxFrame(TvlCanvas* ACanvas, const TRect& R, bool AEnabled, int ACaptionPosition,
                           TvlBorders ABorders) const override;
    TColor GroupBoxCaptionTextColor(bool AEnabled) const override;
    // clDefault: what the parent shows; otherwise AColor1.
    void DrawGroupBoxBackground(TvlCanvas* ACanvas, TWinControl* AControl, const TRect& R, TColor AColor1,
                                TColor AColor2) const override;
    void AdjustTrackBarThumbBounds(TvlCanvas* ACanvas, TRect& R, bool AHorizontal,
                                   TvlTrackBarThumbShape AShape) const override;
    void DrawTrackBarTrack(TvlCanvas* ACanvas, const TRect& R, const TRect& ASelection, bool AShowSelection,
                           TColor ASelectionColor, bool AHorizontal, TColor AColor) const override;
    void DrawTrackBarThumb(TvlCanvas* ACanvas, const TRect& R, TvlButtonState AState, bool AHorizontal,
                           TvlTrackBarThumbShape AShape, TColor AColor) const override;
    void DrawSplitter(TvlCanvas*, const TRect&, bool, bool, bool) const override {}

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

// The scroll arrows of a header (AArrows: 1 left, 2 right, 3 both) in
// clWindowText, inside R moved down by ABorderSize and one pixel shorter at
// each end; their bases lie AArrowIndent - 1 pixels inside the sides.
void DrawHeaderScrollArrows(TvlCanvas* ACanvas, const TRect& R, int ABorderSize, int AArrows, int AArrowIndent);

// DT_ flags of a horizontal and a vertical alignment.
uint32_t vlAlignmentToDrawTextFlags(TAlignment AHorz, TvlEditVertAlignment AVert);

// The canvas text flags of a painter's alignment and line arguments.
int painterTextFlags(TAlignment AAlignHorz, TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis);
// The text of a content area over what is already there: a clear brush,
// AFont and ATextColor (clNone and clDefault keep the font's colour).
void drawPainterContentText(TvlCanvas* ACanvas, const TRect& ATextR, TAlignment AAlignHorz,
                            TvlAlignmentVert AAlignVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                            const TFont* AFont, TColor ATextColor);
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
