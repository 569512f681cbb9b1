// vlPCPainters.h - the tab styles: the standard scheme with navigator
// buttons and tab metrics every style builds on, the button styles, the
// classic three-dimensional tabs and their flat variants, and the slanted
// and notebook tabs. The unit registers them all at start-up.
#pragma once
#include "ui/controls/vlPC.h"

class TStartupList;

// clBtnFace with each channel raised by 20 (at most 255); set at start-up.
TColor ExtraFlatRowColor();
void PrepareExtraFlatRowColor();
// The brightness of the colour (its largest channel) raised by APercent.
TColor BrightenColor(TColor AColor, int APercent);

struct TvlPCNavigatorButtonPosition {
    TvlPCNavigatorButton Button;
    TRect Bounds;
};
using TvlPCNavigatorButtonPositions = std::vector<TvlPCNavigatorButtonPosition>;

struct TvlPCNavigatorButtonGlyphInfo {
    TColor BrushColor = clBtnText;
    TColor PenColor = clBtnText;
    bool Enabled = true;
    bool SmallCross = false;
};

class TvlPCStandardPainter : public TvlPCCustomPainter {
public:
    struct ClassInfo : TvlPCPainterClassInfo {
        bool IsTabStyle() const override { return GetStandardStyle() == tsTabs; }
        bool AllowMultiSelect() const override { return GetStandardStyle() != tsTabs; }
        bool IsButtonStyle() const override { return GetStandardStyle() != tsTabs; }
        bool IsStandardPainter() const override { return true; }
    };
    using TvlPCCustomPainter::TvlPCCustomPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCStandardPainter"); }

    int CalculateTabNormalWidth(TvlTab* ATab) override;
    int CalculateTabNormalHeight() override;
    void CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea) override;
    int GetFrameWidth() override { return 2; }
    int GetImageTextDistance(int) override { return 6; }
    void GetTabsDistance(TPoint& ADistance) override;
    void GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabImageOnlyOffsets(int, std::array<int, 2>& AOffsets) override { AOffsets = {0, 0}; }
    void GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    void GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    int GetMinTabWidth(int AVisibleIndex) override;
    TColor GetTabBodyColor(int AVisibleIndex) override;
    TPoint GetGoDialogPopupPosition(const TSize& ASize) override;
    void GetAuxiliaryOffsets(std::array<int, 2>& APair) override { APair = {0, 0}; }
    bool GetNavigatorButtonAt(int X, int Y, TvlPCNavigatorButton& AButton) override;
    void GetGoDialogButtonBounds(TRect& R) override;
    bool IsMainTab(int AVisibleIndex) override;
    void SetTabContentRects(int AVisibleIndex, const TRect& AImageRect, const TRect& ATextRect) override;
    void Paint() override;
    void PaintNavigatorButtons() override;
    void PaintFrame() override;
    void PaintTabs() override;
    void RepaintNavigatorButton(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState) override;
    void RepaintNavigatorButtons() override;
    void RepaintTab(int AVisibleIndex, TvlPCTabChangeKind AKind) override;

    // Introduced here, in slot order.
    virtual void PaintTab(int AVisibleIndex);
    virtual void GetNavigatorButtonGlyphInfo(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState,
                                             TvlPCNavigatorButtonGlyphInfo& AInfo);
    virtual void CalculateNavigatorButtonsRect();
    virtual void CalculateNavigatorButtonPositions();
    virtual int GetNavigatorButtonsAreaWidth();
    virtual TColor GetNavigatorButtonColor(TvlPCNavigatorButtonState) { return clBtnFace; }
    virtual TColor GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState);
    virtual TPoint GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState);
    virtual int GetNavigatorButtonHeight() { return 20; }
    virtual int GetNavigatorButtonWidth(TvlPCNavigatorButton AButton);
    virtual int GetMinTabNormalHeight();
    virtual int GetMinTabNormalWidth() { return 42; }
    virtual TColor GetTabsAreaColor();
    virtual int GetMinPageAreaSize() { return 2 * GetFrameWidth(); }
    virtual int GetTabContentWOffset(int AVisibleIndex);
    virtual void GetTabsAreaMargins(TRect& AMargins) { AMargins = TRect(); }
    virtual int GetTabContentHeight();
    virtual void DrawTabFocusRect(int AVisibleIndex, const TRect& R);
    virtual void DrawNavigatorButton(TvlPCNavigatorButton AButton, const TRect& ABounds);
    virtual void FillNavigatorButton(TRect& R, TvlPCNavigatorButtonState AState);
    virtual void DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState);
    virtual void DrawPageFrame(const TRect& R);
    virtual void DrawTab(TvlTab* ATab, int AVisibleIndex) = 0;
    virtual void DrawNativeTab(TvlTab*, int) {}
    virtual std::vector<TvlPCNavigatorButton> GetNavigatorButtonsOrder();

    const TRect& NavigatorButtonsRect() const { return FNavigatorButtonsRect; }
    const TvlPCNavigatorButtonPositions& NavigatorButtonPositions() const { return FNavigatorButtonPositions; }
    // The frame of a navigator button: two lines (one when flat), each
    // line a polyline with its end pixel.
    void DrawButtonFrame(TRect R, bool APressed, bool AFlat);
    // The fixed glyph places of the classic and button styles.
    TPoint GetGlyphOffsetByTable(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState);
    void drawGlyph(TvlPCNavigatorButton AButton, const TPoint& AAt, TColor AColor, bool ASmallCross,
                   TColor ABrushColor = clDefault);

protected:
    bool sideTabs() const { return tabPosition() == tpLeft || tabPosition() == tpRight; }
    // Glyphs drawn solid in the state's colour, the close button as the small cross.
    void solidGlyphInfo(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState,
                        TvlPCNavigatorButtonGlyphInfo& AInfo);
    // A one-pixel frame, black for pressed and hot buttons, else the shadow colour.
    void darkWhenActiveBorder(TRect& R, TvlPCNavigatorButtonState AState);
    // The extent along the row of the two ends' lengths, top-tab terms turned to the side.
    void applyTabsAreaInsets(TRect& R, int ALeading, int ATabSide, int ATrailing, int AOpposite);
    bool navigatorAtRowEnd() const;

private:
    TRect FNavigatorButtonsRect;
    TvlPCNavigatorButtonPositions FNavigatorButtonPositions;
};

class TvlPCButtonedPainter : public TvlPCStandardPainter {
public:
    using TvlPCStandardPainter::TvlPCStandardPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCButtonedPainter"); }
    int GetNavigatorRowOffset() override { return isTabsContainer() ? 2 : 0; }
    int GetNavigatorEdgeOffset() override { return isTabsContainer() ? 2 : 0; }
    void GetTabsContainerOffsets(TRect& AOffsets) override { AOffsets = Rect(2, 2, 2, 0); }
    void GetTabsAreaExtents(TRect& AExtents) override;
    TColor GetTabBodyColor(int AVisibleIndex) override;
    void GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    void GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    bool IsMainTab(int AVisibleIndex) override;
    TPoint GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState) override
    { return GetGlyphOffsetByTable(AButton, AState); }
};

class TvlPCButtonsPainter : public TvlPCButtonedPainter {
public:
    struct ClassInfo : TvlPCStandardPainter::ClassInfo {
        TvlPCStandardStyle GetStandardStyle() const override { return tsButtons; }
        TvlPCStyleID GetStyleID() const override { return 2; }
        String GetStyleName() const override { return String::fromLatin1("Buttons"); }
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCButtonsPainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCButtonedPainter::TvlPCButtonedPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCButtonsPainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }
    void DrawTab(TvlTab* ATab, int AVisibleIndex) override;
};

class TvlPCFlatButtonsPainter : public TvlPCButtonedPainter {
public:
    struct ClassInfo : TvlPCStandardPainter::ClassInfo {
        TvlPCStandardStyle GetStandardStyle() const override { return tsFlatButtons; }
        TvlPCStyleID GetStyleID() const override { return 3; }
        String GetStyleName() const override { return String::fromLatin1("FlatButtons"); }
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCFlatButtonsPainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCButtonedPainter::TvlPCButtonedPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCFlatButtonsPainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }
    bool IsMainTab(int AVisibleIndex) override;
    void DrawTab(TvlTab* ATab, int AVisibleIndex) override;
    void PaintTab(int AVisibleIndex) override;
};

class TvlPCTabsPainter : public TvlPCStandardPainter {
public:
    struct ClassInfo : TvlPCStandardPainter::ClassInfo {
        TvlPCStyleID GetStyleID() const override { return 1; }
        String GetStyleName() const override { return String::fromLatin1("Tabs"); }
        bool HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const override;
        bool IsDefault(const TvlLookAndFeel* ALookAndFeel) const override;
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCTabsPainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCStandardPainter::TvlPCStandardPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCTabsPainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }

    void GetTabCorrection(int AVisibleIndex, TvlPCTabBoundsCorrection& ACorrection) override;
    int GetNavigatorRowOffset() override { return isTabsContainer() ? 2 : 0; }
    int GetNavigatorEdgeOffset() override { return isTabsContainer() ? 2 : 0; }
    void GetTabsContainerOffsets(TRect& AOffsets) override { AOffsets = Rect(2, 2, 2, 0); }
    void GetPageAreaExtents(TRect& AExtents) override;
    void GetTabsAreaExtents(TRect& AExtents) override;
    void GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabImageOnlyOffsets(int AVisibleIndex, std::array<int, 2>& AOffsets) override;
    void GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    void GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override
    { GetTabTextMargins(AVisibleIndex, AMargins); }
    TColor GetTabBodyColor(int AVisibleIndex) override;
    std::unique_ptr<TvlRegion> GetTabClipRegion(int AVisibleIndex) override;
    TvlRegionOperation GetTabClipOperation(int AVisibleIndex) override;
    void GetTabThemeState(int AVisibleIndex, int& APart, int& AState) override;
    void CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea) override;
    int GetTabContentHeight() override;
    int GetMinPageAreaSize() override;
    void InvalidateTab(int AVisibleIndex) override;
    bool IsPointInTab(int, int, int) override { return true; }
    bool HasFrame() override { return true; }
    void PaintTabs() override;
    void PaintFrame() override;
    void RepaintTab(int AVisibleIndex, TvlPCTabChangeKind AKind) override;
    TPoint GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState) override
    { return GetGlyphOffsetByTable(AButton, AState); }
    void DrawTab(TvlTab* ATab, int AVisibleIndex) override;

    // Introduced here, in slot order.
    virtual TRect GetFocusFrameRect(int AVisibleIndex);
    virtual void GetTabCornerColors(int AVisibleIndex, TColor& ALeading, TColor& ATrailing);
    virtual void DrawTabCorners(int AVisibleIndex, const TRect& R);
    virtual void DrawTabOutline(int AVisibleIndex, const TRect& R);

protected:
    // The body: the tab less 2 all round, reaching 2 towards the page.
    TRect bodyRect(int AVisibleIndex);
    // The outline of a top tab of R (mapped to its side): the leading and
    // the trailing line of each of the two rings.
    void drawOutlineRing(const TRect& R, TvlTabPosition ASide, int AInset, TColor ALeadColor, TColor ATrailColor);
};

class TvlPCFlatPainter : public TvlPCTabsPainter {
public:
    struct ClassInfo : TvlPCTabsPainter::ClassInfo {
        TvlPCStyleID GetStyleID() const override { return 7; }
        String GetStyleName() const override { return String::fromLatin1("Flat"); }
        bool HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const override;
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCFlatPainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCTabsPainter::TvlPCTabsPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCFlatPainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }

    int GetFrameWidth() override { return 1; }
    int GetNavigatorButtonHeight() override { return 18; }
    int GetNavigatorButtonWidth(TvlPCNavigatorButton AButton) override
    { return TvlPCTabsPainter::GetNavigatorButtonWidth(AButton) - 2; }
    TPoint GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState) override;
    void DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState) override;
    void DrawPageFrame(const TRect& R) override;
    std::unique_ptr<TvlRegion> GetTabClipRegion(int AVisibleIndex) override;
    TvlRegionOperation GetTabClipOperation(int) override { return roIntersect; }
    void DrawTabOutline(int AVisibleIndex, const TRect& R) override;
};

class TvlPCExtraFlatPainter : public TvlPCStandardPainter {
public:
    struct ClassInfo : TvlPCStandardPainter::ClassInfo {
        TvlPCStyleID GetStyleID() const override { return 5; }
        String GetStyleName() const override { return String::fromLatin1("ExtraFlat"); }
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCExtraFlatPainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCStandardPainter::TvlPCStandardPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCExtraFlatPainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }

    int GetFrameWidth() override { return 1; }
    void GetTabCorrection(int AVisibleIndex, TvlPCTabBoundsCorrection& ACorrection) override;
    void GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    void GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override
    { GetTabTextMargins(AVisibleIndex, AMargins); }
    void GetTabsDistance(TPoint& ADistance) override;
    int GetMinTabWidth(int AVisibleIndex) override { return GetTabContentWOffset(AVisibleIndex); }
    int GetTabContentWOffset(int AVisibleIndex) override;
    int GetTabContentHeight() override { return TvlPCStandardPainter::GetTabContentHeight() - 3; }
    int GetMinTabNormalHeight() override { return 17; }
    TColor GetTabsAreaColor() override { return clBtnFace; }
    int GetNavigatorButtonHeight() override { return 13; }
    int GetNavigatorButtonWidth(TvlPCNavigatorButton) override { return 13; }
    int GetNavigatorButtonsDistance(TvlPCNavigatorButton A, TvlPCNavigatorButton B) override;
    int GetNavigatorRowOffset() override { return 6; }
    int GetNavigatorEdgeOffset() override { return HasRowFrame() ? GetFrameWidth() + 1 : 1; }
    TPoint GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState) override;
    TColor GetNavigatorButtonColor(TvlPCNavigatorButtonState AState) override;
    TColor GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState) override;
    void GetNavigatorButtonGlyphInfo(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState,
                                     TvlPCNavigatorButtonGlyphInfo& AInfo) override;
    void DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState) override;
    int CalculateTabNormalWidth(TvlTab* ATab) override;
    int CalculateTabNormalHeight() override;
    void GetPageAreaExtents(TRect& AExtents) override;
    TColor GetDefaultPageColor() override;
    void GetTabsAreaExtents(TRect& AExtents) override;
    TColor GetTabBodyColor(int AVisibleIndex) override;
    // A tab other than the selected one owns only its body: the row's
    // border below it is drawn with the row.
    std::unique_ptr<TvlRegion> GetTabClipRegion(int AVisibleIndex) override;
    void CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea) override;
    void PaintParts() override;
    void PaintPageArea() override;
    void PaintFrame() override;
    void PaintTabs() override;
    void RepaintTab(int AVisibleIndex, TvlPCTabChangeKind AKind) override;
    void DrawTab(TvlTab* ATab, int AVisibleIndex) override;

    // Introduced here, in slot order.
    virtual int GetRowBorderWidth() { return 3; }
    virtual TRect GetMainTabFocusRect(int AVisibleIndex);
    virtual void GetTabSeparatorInsets(int& AStart, int& AEnd) { AStart = 2; AEnd = 2; }
    // AVisibleIndex -1: the whole row R.
    virtual void DrawTabBackground(const TRect& R, int AVisibleIndex);
    virtual void CorrectPageAreaExtents(TRect& AExtents);
    virtual TColor GetPageStripColor();
    virtual TRect GetPageStripRect();
    virtual TRect GetTabBodyRect(int AVisibleIndex, bool AWholeRow);
    virtual int GetTabSeparatorWidth() { return 1; }
    virtual TColor GetRowColor();
    virtual bool HasRowFrame() { return false; }
    virtual void DrawMainTabFrame(int AVisibleIndex, TRect& R);
    virtual void DrawTabSeparator(const TRect& R);
    virtual void DrawRowBorder(TRect R, int ARowVisibleRow);

protected:
    void drawMainTabFrame(TRect& R, TvlTabPosition ASide, TColor AFirst, TColor ASecond);
    void drawPageFrameLines(TColor ALeftTop, TColor ARightBottom);
    void fillPageStrip();
    TRect getRowRect(int AFirstVisibleIndex);
    void drawRowBorderLines(TRect R, TvlTabPosition ASide, std::initializer_list<TColor> AColors);
};

class TvlPCUltraFlatPainter : public TvlPCExtraFlatPainter {
public:
    struct ClassInfo : TvlPCExtraFlatPainter::ClassInfo {
        TvlPCStyleID GetStyleID() const override { return 6; }
        String GetStyleName() const override { return String::fromLatin1("UltraFlat"); }
        bool HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const override;
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCUltraFlatPainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCExtraFlatPainter::TvlPCExtraFlatPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCUltraFlatPainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }

    int GetNavigatorButtonHeight() override { return 15; }
    int GetNavigatorButtonWidth(TvlPCNavigatorButton AButton) override;
    int GetNavigatorButtonsDistance(TvlPCNavigatorButton A, TvlPCNavigatorButton B) override;
    int GetNavigatorRowOffset() override { return 3; }
    TPoint GetNavigatorButtonGlyphOffset(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState) override
    { return TvlPCStandardPainter::GetNavigatorButtonGlyphOffset(AButton, AState); }
    TColor GetNavigatorButtonColor(TvlPCNavigatorButtonState AState) override;
    void GetNavigatorButtonGlyphInfo(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState,
                                     TvlPCNavigatorButtonGlyphInfo& AInfo) override
    { solidGlyphInfo(AButton, AState, AInfo); }
    void DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState) override
    { darkWhenActiveBorder(R, AState); }
    TRect GetMainTabFocusRect(int AVisibleIndex) override;
    void PaintFrame() override { drawPageFrameLines(clBtnShadow, clBtnShadow); }
    void DrawMainTabFrame(int AVisibleIndex, TRect& R) override;
    void DrawRowBorder(TRect R, int ARowVisibleRow) override;
};

class TvlPCOffice11Painter : public TvlPCUltraFlatPainter {
public:
    struct ClassInfo : TvlPCUltraFlatPainter::ClassInfo {
        TvlPCStyleID GetStyleID() const override { return 8; }
        String GetStyleName() const override { return String::fromLatin1("Office11"); }
        bool HasLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const override;
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCOffice11Painter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCUltraFlatPainter::TvlPCUltraFlatPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCOffice11Painter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }

    int GetRowBorderWidth() override { return 1; }
    int GetTabSeparatorWidth() override { return 2; }
    void GetTabSeparatorInsets(int& AStart, int& AEnd) override;
    bool HasRowFrame() override { return HasFrame(); }
    TColor GetTabsAreaColor() override { return GetBorderColor(); }
    TColor GetTabBodyColor(int AVisibleIndex) override;
    void DrawTabBackground(const TRect& R, int AVisibleIndex) override;
    bool ExcludesOnlyTabContent(int AVisibleIndex) override;
    bool NeedRedrawOnResize() override;
    void FillPageArea() override;
    TColor GetPageStripColor() override;
    void PaintFrame() override;
    void DrawMainTabFrame(int AVisibleIndex, TRect& R) override;
    void DrawRowBorder(TRect R, int ARowVisibleRow) override;
    void DrawTabSeparator(const TRect& R) override;
    void PaintPageArea() override;
    void GetPageAreaExtents(TRect& AExtents) override;
    void FillNavigatorButton(TRect& R, TvlPCNavigatorButtonState AState) override;
    void DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState) override;
    TColor GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState) override;
    TRect GetMainTabFocusRect(int AVisibleIndex) override { return TvlPCUltraFlatPainter::GetMainTabFocusRect(AVisibleIndex); }
    void PrepareTabContentBitmap(TBitmap* ABitmap, const TRect& R, int AVisibleIndex) override;

    virtual TColor GetBorderColor();

    // A pair as a gradient, or its 50 % mix without pcoGradient.
    void fillPair(HDC ADC, const TRect& R, TColor AFirst, TColor ASecond);
    void fillTabGradient(HDC ADC, const TRect& R, int AVisibleIndex);
};

// The sides and corners a segment of a tab outline lies on.
enum TLinePosition { lpL, lpLT, lpT, lpRT, lpR, lpRB, lpB, lpLB };
using TPoints = std::vector<TPoint>;
using TLinePositions = std::vector<TLinePosition>;

// The polygon region of an outline; AInner leaves the outline's pixels out,
// otherwise its right and bottom pixels are taken in.
TRegion GetOutlineRegion(TPoints APoints, const TLinePositions& APositions, bool AInner);

// The six notebook colours of the current Office 11 scheme (index 1 to 6).
TColor OneNoteColor(int AIndex);
void PrepareOneNoteColors();

class TvlPCSlantedPainter : public TvlPCStandardPainter {
public:
    struct ClassInfo : TvlPCStandardPainter::ClassInfo {
        TvlPCStyleID GetStyleID() const override { return 9; }
        String GetStyleName() const override { return String::fromLatin1("Slanted"); }
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCSlantedPainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCStandardPainter::TvlPCStandardPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCSlantedPainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }

    int GetFrameWidth() override { return 1; }
    int GetImageTextDistance(int) override { return 3; }
    bool UsesPageColorForTabs() override { return true; }
    bool IsMainTab(int) override { return false; }
    void GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) override;
    void GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    void GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override
    { GetTabTextMargins(AVisibleIndex, AMargins); }
    void GetTabsDistance(TPoint& ADistance) override;
    void GetTabsAreaMargins(TRect& AMargins) override;
    void GetTabsContainerOffsets(TRect& AOffsets) override;
    int GetMinTabNormalHeight() override { return 0; }
    int GetMinTabWidth(int AVisibleIndex) override { return GetTabContentWOffset(AVisibleIndex); }
    int GetTabContentWOffset(int AVisibleIndex) override;
    int GetNavigatorButtonHeight() override { return 17; }
    int GetNavigatorButtonWidth(TvlPCNavigatorButton AButton) override;
    int GetNavigatorButtonsDistance(TvlPCNavigatorButton A, TvlPCNavigatorButton B) override
    { return (A == nbClose || B == nbClose) ? 3 : 1; }
    int GetNavigatorTabsIndent() override { return 1; }
    int GetNavigatorRowOffset() override { return isTabsContainer() ? 2 : 1; }
    int GetNavigatorEdgeOffset() override { return isTabsContainer() ? 2 : 0; }
    TColor GetNavigatorButtonColor(TvlPCNavigatorButtonState AState) override;
    TColor GetNavigatorButtonGlyphColor(TvlPCNavigatorButtonState AState) override;
    void GetNavigatorButtonGlyphInfo(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState,
                                     TvlPCNavigatorButtonGlyphInfo& AInfo) override
    { solidGlyphInfo(AButton, AState, AInfo); }
    void DrawNavigatorButtonBorder(TRect& R, TvlPCNavigatorButtonState AState) override
    { darkWhenActiveBorder(R, AState); }
    void PrepareLayout() override { FCutValue = CalculateCutValue(); }
    int CalculateTabNormalWidth(TvlTab* ATab) override;
    int GetTabContentHeight() override;
    TColor GetTabBodyColor(int AVisibleIndex) override;
    TColor GetPageColor() override;
    void FillPageArea() override;
    void GetPageAreaExtents(TRect& AExtents) override;
    void PaintFrame() override;
    std::unique_ptr<TvlRegion> GetTabClipRegion(int AVisibleIndex) override;
    bool IsPointInTab(int AVisibleIndex, int X, int Y) override;
    void PrepareTabContentBitmap(TBitmap* ABitmap, const TRect& R, int AVisibleIndex) override;
    void PaintTabs() override;
    void DrawTab(TvlTab* ATab, int AVisibleIndex) override;

    // Introduced here, in slot order.
    virtual bool HotTrackMainTab() { return false; }
    virtual void FillTabBackground(TvlCanvas* ACanvas, const TRect& R, bool AMirrored, bool AHorizontal,
                                   int AVisibleIndex);
    virtual void DrawPageJoin(int AVisibleIndex);
    virtual void GetTabGradientColors(int AVisibleIndex, TColor& AFirst, TColor& ASecond);
    virtual int GetMinTabContentWidth();
    virtual TColor GetOutlineColor() { return clBtnShadow; }
    virtual TvlTabSlantPositions GetSlantedSides();
    virtual int GetImageSizeWithBorders();
    virtual int CalculateCutValue();
    virtual std::unique_ptr<TvlRegion> GetTabRegion(int AVisibleIndex, bool AInner);
    virtual void DrawTabOutline(int AVisibleIndex, const TRect& R);
    virtual void DrawTabMark(int AVisibleIndex);

    int CutValue() const { return FCutValue; }
    // The outline of the tab turned to its side, with the line positions.
    void GetTabOutlinePoints(int AVisibleIndex, TPoints& APoints, TLinePositions& APositions);

protected:
    TRect pageJoinRect(int AVisibleIndex);
    int slantedSideCount();

    int FCutValue = 0;
};

class TvlPCOneNotePainter : public TvlPCSlantedPainter {
public:
    struct ClassInfo : TvlPCSlantedPainter::ClassInfo {
        TvlPCStyleID GetStyleID() const override { return 10; }
        String GetStyleName() const override { return String::fromLatin1("OneNote"); }
        bool AllowRotate() const override { return false; }
        std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const override
        { return std::make_unique<TvlPCOneNotePainter>(AParent); }
    };
    static const ClassInfo& Class();
    using TvlPCSlantedPainter::TvlPCSlantedPainter;
    String ClassName() const override { return String::fromLatin1("TvlPCOneNotePainter"); }
    TvlPCPainterClass PainterClass() const override { return &Class(); }

    TvlTabSlantPositions GetSlantedSides() override { return TvlTabSlantPositions{spLeft}; }
    int CalculateCutValue() override { return CalculateTabNormalHeight() + 2; }
    void GetTabsDistance(TPoint& ADistance) override;
    void GetTabsAreaMargins(TRect& AMargins) override { AMargins = Rect(4, 0, 4, 0); }
    int GetMinTabContentWidth() override { return FCutValue + 4; }
    void GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) override;
    void GetTabImageOffsets(int, std::array<int, 4>& AOffsets) override { AOffsets = {0, 3, 0, 1}; }
    void GetTabTextOffsets(int, std::array<int, 4>& AOffsets) override { AOffsets = {0, 4, 0, 1}; }
    int GetNavigatorRowOffset() override { return isTabsContainer() ? 2 : 0; }
    void GetTabsContainerOffsets(TRect& AOffsets) override { AOffsets = Rect(0, 2, 0, 0); }
    TColor GetOutlineColor() override { return OneNoteColor(1); }
    bool HotTrackMainTab() override { return true; }
    void DrawTabMark(int) override {}
    std::unique_ptr<TvlRegion> GetTabRegion(int AVisibleIndex, bool AInner) override;
    void DrawTabOutline(int AVisibleIndex, const TRect& R) override;
    void DrawPageJoin(int AVisibleIndex) override;

protected:
    TColor colourBehind(const TPoint& P);
};

// The painter unit's start-up: the shared colours, then the nine styles.
void RegisterPCPainters();
void UnregisterPCPainters();
void AddvlPCPaintersUnit(TStartupList& AList);
