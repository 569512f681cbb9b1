// vlPC.h - what a tab control is made of below its window: the tabs and the
// list of visible tabs, the painter interface every tab style implements
// (with its shared measuring and drawing), the painter registry, and the
// layout that breaks tabs into rows and places them. The control itself
// implements TvlPCTabControlCore and adds its window, events and keys.
#pragma once
#include <array>
#include <memory>
#include <vector>

#include <QMenu>
#include <QPointer>

#include "platform/graphics/ImgList.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/StringList.h"
#include "platform/controls/Menus.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeels.h"

class TControl;
class TvlPCCustomPainter;
class TvlPCTabControlCore;
class TvlTabs;

// ---- settings and shared records -------------------------------------------------

enum TvlTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TvlPCNavigatorButton { nbTopLeft, nbBottomRight, nbGoDialog, nbClose };
using TvlPCNavigatorButtons = TSet<TvlPCNavigatorButton>;
enum TvlPCNavigatorButtonState { nbsNormal, nbsPressed, nbsHot, nbsDisabled };
enum TvlPCNavigatorPosition { npLeftTop, npLeftBottom, npRightTop, npRightBottom };
enum TvlPCOption {
    pcoAlwaysShowGoDialogButton, pcoCloseButton, pcoFixedTabWidthWhenRotated, pcoGoDialog, pcoGradient,
    pcoGradientClientArea, pcoNoArrows, pcoRedrawOnResize, pcoSort, pcoTopToBottomText, pcoUsePageColorForTab
};
using TvlPCOptions = TSet<TvlPCOption>;
inline const TvlPCOptions vlPCDefaultOptions{pcoAlwaysShowGoDialogButton, pcoGradient, pcoGradientClientArea,
                                             pcoRedrawOnResize};
// 0 asks for the look-and-feel's default style.
using TvlPCStyleID = int;
enum TvlPCTabChangeKind {
    tckContent, tckColor, tckEnabled, tckFocus, tckHighlighted, tckHotTrack, tckMainTab, tckLayout, tckPressed,
    tckSelected, tckTracking
};
// The side a tab is drawn on combined with its caption direction: 1-3 top,
// 4-6 left, 7-9 right, 10-12 bottom.
using TvlPCTabOrientation = int;
enum TvlTabSlantKind { skCutCorner, skSlant };
enum TvlTabSlantPosition { spLeft, spRight };
using TvlTabSlantPositions = TSet<TvlTabSlantPosition>;
enum TvlPCStandardStyle { tsTabs, tsButtons, tsFlatButtons };

struct TvlPCTabsArea {
    TRect BandsRect;
    int LeadingBandInnerOffset = 0;
    int TrailingBandInnerOffset = 0;
    int MinBandsDistance = 0;
    int RowLength = 0;
    TRect RowsRect;
};

struct TvlPCTabBoundsCorrection {
    int dLeft = 0, dTop = 0, dRight = 0, dBottom = 0;
};

struct TvlPCTabContentLayout {
    TRect ImageRect;
    TRect TextRect;
    int VisibleIndex = -1;
};

struct TvlPCLineIndexBounds {
    int Left = 0;   // first visible index of the row
    int Right = 0;  // last visible index of the row
};
using TvlPCLineIndexBoundsArray = std::vector<TvlPCLineIndexBounds>;

// Extents given as if the tabs were on top (Top is the tab side) turned to
// the real side.
TRect RotateExtents(const TRect& R, TvlTabPosition ATabPosition);

// ---- slants ------------------------------------------------------------------------

class TvlTabSlants : public TPersistent {
public:
    explicit TvlTabSlants(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlTabSlants"); }
    void Assign(const TPersistent* Source) override;

    TvlTabSlantKind Kind() const { return FKind; }
    void SetKind(TvlTabSlantKind Value);
    TvlTabSlantPositions Positions() const { return FPositions; }
    void SetPositions(TvlTabSlantPositions Value);

    // The tab control points it at its relayout.
    TNotifyEvent OnChange;

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    void changed();

    TvlTabSlantKind FKind = skSlant;
    TPersistent* FOwner;
    TvlTabSlantPositions FPositions{spLeft};
};

// ---- tabs --------------------------------------------------------------------------

class TvlTab : public TPersistent {
public:
    TvlTab(TvlTabs* ATabs, int AIndex);
    ~TvlTab() override;
    String ClassName() const override { return String::fromLatin1("TvlTab"); }

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);
    // The image the control shows for the tab (OnGetImageIndex applied).
    int ImageIndex() const;
    // The stored value: the creation index until set.
    int RawImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool ImageIndexStored() const { return FImageIndex != FIndex; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    int Index() const { return FIndex; }
    TObject* Object() const { return FObject; }
    TvlTabs* Tabs() const { return FTabs; }
    int VisibleIndex() const;
    bool IsMain() const;
    bool IsHot() const;
    bool IsPressed() const;
    bool IsTracking() const;
    bool IsEnabled() const;
    bool IsOnScreen() const { return !VisibleBounds().IsEmpty(); }
    int LengthAlongRow() const;
    int Row() const { return FRow; }
    int VisibleRow() const { return FVisibleRow; }
    TPoint NormalPosition() const { return FNormalPosition; }
    int NormalWidth() const { return FNormalWidth; }
    TRect NormalBounds() const;
    TRect Bounds() const;
    TRect VisibleBounds() const;
    TvlTabPosition Side() const;
    TvlPCTabOrientation Orientation() const;

    TvlBitmap* PaintBitmap() const { return FPaintBitmap.get(); }
    TBitmap* CaptionBitmap() const { return FCaptionBitmap.get(); }
    void SetCaptionBitmap(std::unique_ptr<TBitmap> ABitmap) { FCaptionBitmap = std::move(ABitmap); }
    void DropCaptionBitmap() { FCaptionBitmap.reset(); }
    void CreatePaintBitmap() { FPaintBitmap = std::make_unique<TvlBitmap>(); }
    void DestroyPaintBitmap() { FPaintBitmap.reset(); }

    void NotifyChanged(TvlPCTabChangeKind AKind);

protected:
    void AssignTo(TPersistent* Dest) const override;

private:
    friend class TvlTabs;
    friend class TvlPCTabControlCore;
    TvlPCTabControlCore* control() const;

    String FCaption;
    TColor FColor = clDefault;
    bool FEnabled = true;
    bool FHighlighted = false;
    int FImageIndex;
    int FIndex;
    TObject* FObject = nullptr;
    std::unique_ptr<TvlBitmap> FPaintBitmap;
    int FRow = 0;
    bool FSelected = false;
    TPoint FNormalPosition;
    int FNormalWidth = 0;
    TvlPCTabBoundsCorrection FBoundsCorrection;
    TvlTabs* FTabs;
    std::unique_ptr<TBitmap> FCaptionBitmap;
    bool FVisible = true;
    int FVisibleRow = 0;
};

// The control's Tabs: its strings are the captions.
class TvlTabs : public TStrings {
public:
    explicit TvlTabs(TvlPCTabControlCore* AControl) : FControl(AControl) {}
    ~TvlTabs() override;
    String ClassName() const override { return String::fromLatin1("TvlTabs"); }

    void Put(int Index, const String& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Move(int CurIndex, int NewIndex) override;

    TvlTab* Tabs(int Index) const { return GetTab(Index); }
    TvlTab* GetTab(int Index) const;
    TvlPCTabControlCore* Control() const { return FControl; }
    int TabNormalHeight() const { return FTabNormalHeight; }
    void SetTabNormalHeight(int Value) { FTabNormalHeight = Value; }

    void NotifyChanged(int AVisibleIndex, TvlPCTabChangeKind AKind);
    void SetHotTab(int AVisibleIndex);
    void SetTrackingTab(int AVisibleIndex);
    void UpdateMainTab();
    int GetVisibleCount() const;
    void DropCaptionBitmaps();
    void RefreshImages();

protected:
    String Get(int Index) const override;
    int GetCount() const override { return int(FTabs.size()); }
    TObject* GetObject(int Index) const override;
    void SetUpdateState(bool Updating) override;
    virtual void TabDestroyed(int AIndex, bool AKeepEntry);
    [[noreturn]] virtual void IndexError(const char* AOperation, int AIndex) const;

private:
    friend class TvlTab;
    void renumber(int AFrom, int ATo);

    bool FNotification = false;
    TvlPCTabControlCore* FControl;
    int FTabNormalHeight = 0;
    std::vector<std::unique_ptr<TvlTab>> FTabs;
    bool FDeleting = false;
};

// The tab at a visible index; "TvlTabs.GetVisibleTab: ..." outside them.
TvlTab* GetVisibleTab(const TvlTabs* ATabs, int AVisibleIndex);

// The ascending indexes of the visible tabs.
class TvlVisibleTabList {
public:
    explicit TvlVisibleTabList(TvlPCTabControlCore* AControl) : FControl(AControl) {}
    int GetCount() const { return int(FItems.size()); }
    int Count() const { return GetCount(); }
    TvlTab* GetTab(int AVisibleIndex) const;
    // The tab's position, or where it would go.
    bool Find(int ATabIndex, int& APosition) const;
    int IndexOf(int ATabIndex) const;
    void Add(int ATabIndex);
    void Remove(int ATabIndex);
    void Rebuild();
    // For tests and the control: the indexes themselves.
    void SetItems(std::vector<int> AItems) { FItems = std::move(AItems); }
    int Items(int AVisibleIndex) const { return FItems.at(size_t(AVisibleIndex)); }

private:
    TvlPCTabControlCore* FControl;
    std::vector<int> FItems;
};

// ---- the painter's view of the control ------------------------------------------

// Read by the painters; implemented by the tab control (and test controls).
class TvlPCPainterParentInfo {
public:
    virtual ~TvlPCPainterParentInfo() = default;

    virtual TControl* ActivePage() const = 0;
    virtual TvlCanvas* Canvas() const = 0;
    virtual TFont* Font() const = 0;
    virtual TColor Color() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool IsTabsContainer() const = 0;
    virtual TRect LeadingBandRect() const = 0;
    virtual TRect TrailingBandRect() const = 0;
    virtual bool HideTabs() const = 0;
    virtual int ImageBorder() const = 0;
    virtual bool MultiLine() const = 0;
    virtual bool RaggedRight() const = 0;
    virtual bool Rotate() const = 0;
    virtual bool ShowFrame() const = 0;
    virtual TvlPCOptions Options() const = 0;
    virtual TvlTabPosition TabPosition() const = 0;
    virtual TvlPCNavigatorPosition NavigatorPosition() const = 0;
    virtual TvlTabSlants* TabSlants() const = 0;
    virtual int TabWidth() const = 0;
    virtual int TabHeight() const = 0;
    virtual int MainTabVisibleIndex() const = 0;
    virtual TvlPCNavigatorButtons NavigatorButtons() const = 0;
    virtual TvlPCNavigatorButtonState NavigatorButtonState(TvlPCNavigatorButton AButton) const = 0;
    virtual int RowCount() const = 0;
    virtual int LeadingRowCount() const = 0;
    bool HasOppositeRows() const;
    virtual TvlTab* VisibleTab(int AVisibleIndex) const = 0;
    virtual TControl* TabPage(int AVisibleIndex) const = 0;
    // Its Color; for clDefault with a page (and the page colour asked for)
    // the page's Color, unless the page takes its parent's.
    TColor TabColor(int AVisibleIndex, bool APainterUsesPageColor) const;
};

// ---- rotated images ---------------------------------------------------------------

using TvlPCPrepareBitmapEvent = TDelegate<void(TBitmap* ABitmap)>;

// The control's Images, drawn over a tab's background and turned for
// vertical captions (the turned copies are kept until they may be stale).
class TvlPCImageList : public TObject {
public:
    explicit TvlPCImageList(TvlPCTabControlCore* AControl);
    ~TvlPCImageList() override;
    String ClassName() const override { return String::fromLatin1("TvlPCImageList"); }

    // "TvlPCImageList.Draw: ..." without images or for an index outside them.
    void Draw(TvlCanvas* ACanvas, int X, int Y, bool AEnabled, TColor ABackgroundColor, int AIndex);
    // nullptr once the list is gone: its change link forgets it.
    TImageList* BaseImages() const { return FChangeLink->Sender(); }
    void SetBaseImages(TImageList* Value);
    TvlRotationAngle RotationAngle() const { return FRotationAngle; }
    void SetRotationAngle(TvlRotationAngle Value);
    TSize GetImageSize() const;
    TSize GetRotatedImageSize() const;
    // How often a turned copy was drawn afresh (a cache miss).
    int RenderCount() const { return FRenderCount; }

    TNotifyEvent OnChange;
    TvlPCPrepareBitmapEvent OnPrepareBitmap;

private:
    struct TRotatedImage {
        std::unique_ptr<TvlBitmap> Bitmap;
        TColor BkColor = clNone;
        bool Enabled = false;
        bool Valid = false;
    };
    void baseImagesChanged(TObject* Sender);
    void rebuild();
    void prepare(int AIndex, TColor ABkColor, bool AEnabled);

    TvlPCTabControlCore* FControl;
    std::unique_ptr<TChangeLink> FChangeLink;
    TvlRotationAngle FRotationAngle = ra0;
    std::vector<TRotatedImage> FRotatedImages;
    int FRenderCount = 0;
};

// ---- painter classes and the registry ----------------------------------------------

// The class-level answers of a painter class and its virtual constructor.
class TvlPCPainterClassInfo {
public:
    virtual ~TvlPCPainterClassInfo() = default;
    virtual bool AllowRotate() const { return true; }
    virtual TvlPCStandardStyle GetStandardStyle() const { return tsTabs; }
    virtual TvlPCStyleID GetStyleID() const { return -1; }
    virtual String GetStyleName() const { return String(); }
    virtual bool HasLookAndFeel(const TvlLookAndFeel*) const { return false; }
    virtual bool IsDefault(const TvlLookAndFeel*) const { return false; }
    virtual bool IsTabStyle() const { return true; }
    virtual bool AllowMultiSelect() const { return false; }
    virtual bool IsStandardPainter() const { return false; }
    virtual bool IsButtonStyle() const { return false; }
    virtual std::unique_ptr<TvlPCCustomPainter> Create(TvlPCTabControlCore* AParent) const = 0;
};
using TvlPCPainterClass = const TvlPCPainterClassInfo*;

// The process-wide list of painter classes, in registration order.
class TvlPCPaintersFactory {
public:
    int GetPainterClassCount() const { return int(FClasses.size()); }
    TvlPCPainterClass GetPainterClassByIndex(int Index) const { return FClasses.at(size_t(Index)); }
    TvlPCPainterClass GetPainterClass(TvlPCStyleID AStyleID) const;
    TvlPCStyleID GetStyleIDByLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const;
    TvlPCStyleID GetDefaultStyleID(const TvlLookAndFeel* ALookAndFeel) const;
    std::unique_ptr<TvlPCCustomPainter> GetPainterInstance(TvlPCPainterClass APainterClass,
                                                           TvlPCTabControlCore* ATabControl) const;
    void ReleasePainterInstance(std::unique_ptr<TvlPCCustomPainter> APainter) const;

private:
    friend void RegisterPCPainterClass(TvlPCPainterClass);
    friend void UnregisterPCPainterClass(TvlPCPainterClass);
    std::vector<TvlPCPainterClass> FClasses;
};

void RegisterPCPainterClass(TvlPCPainterClass APainterClass);
void UnregisterPCPainterClass(TvlPCPainterClass APainterClass);
// nullptr while no class is registered.
TvlPCPaintersFactory* PaintersFactory();
// Frees the factory whatever it holds (the painter unit's finalization).
void FreePaintersFactory();
// True when the look's tab painter is a skin's (claimed by no tab style).
bool HasSkinTabPainter(const TvlLookAndFeel* ALookAndFeel);
TvlLookAndFeelStyle GetTabLookAndFeelStyle(const TvlLookAndFeel* ALookAndFeel);

// ---- the painter interface --------------------------------------------------------

class TvlPCCustomPainter : public TObject {
public:
    explicit TvlPCCustomPainter(TvlPCTabControlCore* AParent);
    ~TvlPCCustomPainter() override;
    String ClassName() const override { return String::fromLatin1("TvlPCCustomPainter"); }
    virtual TvlPCPainterClass PainterClass() const = 0;

    TvlPCTabControlCore* ParentControl() const { return FParent; }
    TvlPCPainterParentInfo* ParentInfo() const;
    const TvlPCTabContentLayout& ContentLayout() const { return FContentLayout; }

    // The slots, in order.
    bool AllowRotate() const { return PainterClass()->AllowRotate(); }
    virtual int CalculateTabNormalWidth(TvlTab* ATab) = 0;
    virtual void GetTabCorrection(int AVisibleIndex, TvlPCTabBoundsCorrection& ACorrection);
    virtual void DrawTabSheetBackground(HDC, TControl*) {}
    virtual void DrawTabContent(TvlTab* ATab, int AVisibleIndex);
    virtual void FillPageArea();
    virtual void PaintPageBackground() { FillPageArea(); }
    virtual int GetNavigatorButtonsDistance(TvlPCNavigatorButton, TvlPCNavigatorButton) { return 0; }
    virtual int GetNavigatorTabsIndent() { return 0; }
    virtual int GetNavigatorRowOffset() { return 0; }
    virtual int GetNavigatorEdgeOffset() { return 0; }
    virtual TColor GetPageColor();
    virtual void GetPageAreaExtents(TRect& AExtents);
    virtual TColor GetDefaultPageColor();
    virtual void GetTabsAreaExtents(TRect& AExtents);
    virtual void GetTabImageOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) = 0;
    virtual void GetTabImageOnlyOffsets(int AVisibleIndex, std::array<int, 2>& AOffsets) = 0;
    virtual void GetTabTextOffsets(int AVisibleIndex, std::array<int, 4>& AOffsets) = 0;
    virtual int GetFrameWidth() { return 0; }
    virtual void DoAfterPaintTab(int AVisibleIndex);
    virtual bool UsesPageColorForTabs() { return false; }
    virtual TPoint GetGoDialogPopupPosition(const TSize& ASize) = 0;
    virtual int GetImageTextDistance(int AVisibleIndex) = 0;
    virtual int GetMinTabWidth(int AVisibleIndex) = 0;
    virtual void GetAuxiliaryOffsets(std::array<int, 2>& APair) = 0;
    virtual void GetNativeTabContentOffsets(TRect& AExtents);
    virtual TColor GetTabBodyColor(int AVisibleIndex) = 0;
    virtual TColor GetTabColor(int AVisibleIndex);
    virtual std::unique_ptr<TvlRegion> GetTabClipRegion(int AVisibleIndex);
    virtual TvlRegionOperation GetTabClipOperation(int) { return roIntersect; }
    virtual void GetTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) = 0;
    virtual void GetTabThemeState(int, int& APart, int& AState) { APart = 0; AState = 0; }
    virtual void GetTabsContainerOffsets(TRect& AOffsets) { AOffsets = TRect(); }
    virtual void GetTabsDistance(TPoint& ADistance) { ADistance = TPoint(); }
    virtual void CalculateTabsArea(TvlPCNavigatorButtons AButtons, TvlPCTabsArea& AArea) = 0;
    virtual TColor GetTabTextColor(int AVisibleIndex);
    virtual void GetCompactTabTextMargins(int AVisibleIndex, std::array<int, 2>& AMargins) = 0;
    virtual void PrepareLayout() {}
    virtual void DrawTabText(TvlCanvas* ACanvas, const String& AText, int AVisibleIndex, const TRect& R);
    virtual void PaintParts();
    virtual void SetTabContentRects(int AVisibleIndex, const TRect& AImageRect, const TRect& ATextRect) = 0;
    virtual void InvalidateTab(int AVisibleIndex);
    virtual bool IsHotTrackRequired() { return IsNativePainting(); }
    // Visual styles are not available here: never themed.
    virtual bool IsNativePainting() { return false; }
    virtual bool GetNavigatorButtonAt(int X, int Y, TvlPCNavigatorButton& AButton) = 0;
    virtual bool IsPointInTab(int, int, int) { return true; }
    virtual bool IsMainTab(int AVisibleIndex) = 0;
    virtual bool ExcludesOnlyTabContent(int) { return false; }
    virtual bool NeedEmbossedDisabledText() { return true; }
    virtual bool NeedDoubleBuffer() { return false; }
    virtual bool NeedRedrawOnResize() { return IsNativePainting(); }
    virtual bool HasFrame();
    virtual void Paint() { PaintParts(); }
    virtual void PaintNavigatorButtons() = 0;
    virtual void PaintPageArea();
    virtual void PaintFrame() = 0;
    virtual void PaintTabs() = 0;
    virtual void PrepareTabContentBitmap(TBitmap*, const TRect&, int) {}
    virtual void RepaintNavigatorButton(TvlPCNavigatorButton, TvlPCNavigatorButtonState) {}
    virtual void RepaintNavigatorButtons() {}
    virtual void RepaintTab(int, TvlPCTabChangeKind) {}
    virtual int CalculateTabNormalHeight() = 0;
    virtual void GetGoDialogButtonBounds(TRect& R) = 0;
    TvlPCStandardStyle GetStandardStyle() const { return PainterClass()->GetStandardStyle(); }
    TvlPCStyleID GetStyleID() const { return PainterClass()->GetStyleID(); }
    bool IsTabStyle() const { return PainterClass()->IsTabStyle(); }
    bool AllowMultiSelect() const { return PainterClass()->AllowMultiSelect(); }
    bool IsButtonStyle() const { return PainterClass()->IsButtonStyle(); }

    // Shared machinery.
    void GetPageArea(TRect& R);
    void GetFrameArea(TRect& R);
    void CalculateTabContentRects(int AVisibleIndex);
    bool IsOwnerDrawTab() const;
    bool DoDrawTab(int AVisibleIndex);
    bool HasImages() const { return GetImageSize().cx > 0; }
    bool ShowsImage(int AVisibleIndex) const;
    TSize GetImageSize() const;
    TSize GetRotatedImageSize() const;
    int GetMaxCaptionHeight();
    int GetTabThemeStateId(int AVisibleIndex);
    TColor GetHighlightedTabTextColor(int AVisibleIndex, TColor ADefault);
    TColor GetHotTabTextColor() const { return clHotLight; }
    void SaveClipRegion();
    void RestoreClipRegion();
    bool ClipToRect(const TRect& R, bool AIntersect = true);
    void ExcludeTabContent(int AVisibleIndex);
    void InvalidateRect(const TRect& R);
    void InvalidateTabBand(int AVisibleIndex);
    void DrawPolyline(const std::vector<TPoint>& APoints, TvlCanvas* ACanvas, TColor AColor);
    static void MapPointToTabPosition(const TRect& R, TPoint& P, TvlTabPosition ATabPosition);
    static void MapPointsToTabPosition(const TRect& R, std::vector<TPoint>& APoints, TvlTabPosition ATabPosition);
    void DrawMappedPolyline(const TRect& R, const std::vector<TPoint>& APoints, TColor AColor,
                            TvlTabPosition ATabPosition);
    TBitmap* GetTabCaptionBitmap(int AVisibleIndex);
    void PrepareImageBitmap(TBitmap* ABitmap);

    // Shortcuts every painter uses.
    TvlTab* tab(int AVisibleIndex) const;
    TvlCanvas* canvas() const;
    TvlTabPosition tabPosition() const;
    bool rotate() const;
    bool isTabsContainer() const;
    TvlPCOptions options() const;
    int captionKind() const;
    bool isVerticalText() const;

protected:
    void drawCaption(TvlTab* ATab, int AVisibleIndex, TColor ABodyColor, bool AEnabled);
    void renderCaption(TvlCanvas* ACanvas, TvlTab* ATab, int AVisibleIndex, TRect R, bool AEnabled);
    int alignmentOffset(int AContentLength, int AAvailableLength);

    TvlPCTabContentLayout FContentLayout;

private:
    TvlPCTabControlCore* FParent;
};

// ---- the control below its window ------------------------------------------------

// Everything of the tab control that needs no window: settings, tabs, the
// painter and the layout. Width, height, canvas and font come from the
// control that derives from it.
class TvlPCTabControlCore : public TvlPCPainterParentInfo {
public:
    TvlPCTabControlCore();
    ~TvlPCTabControlCore() override;

    // TvlPCPainterParentInfo (what the window adds stays abstract).
    TControl* ActivePage() const override { return nullptr; }
    bool IsTabsContainer() const override { return FIsTabsContainer; }
    TRect LeadingBandRect() const override { return FLeadingBandRect; }
    TRect TrailingBandRect() const override { return FTrailingBandRect; }
    bool HideTabs() const override { return FHideTabs; }
    int ImageBorder() const override { return FImageBorder; }
    bool MultiLine() const override { return FMultiLine; }
    bool RaggedRight() const override { return FRaggedRight; }
    bool Rotate() const override { return FRotate; }
    bool ShowFrame() const override { return FShowFrame; }
    TvlPCOptions Options() const override { return FOptions; }
    TvlTabPosition TabPosition() const override { return FTabPosition; }
    TvlPCNavigatorPosition NavigatorPosition() const override { return FNavigatorPosition; }
    TvlTabSlants* TabSlants() const override { return FTabSlants.get(); }
    int TabWidth() const override { return FTabWidth; }
    int TabHeight() const override { return FTabHeight; }
    int MainTabVisibleIndex() const override { return FMainTab; }
    TvlPCNavigatorButtons NavigatorButtons() const override { return FVisibleNavigatorButtons; }
    TvlPCNavigatorButtonState NavigatorButtonState(TvlPCNavigatorButton AButton) const override
    { return FNavigatorButtonStates[size_t(AButton)]; }
    int RowCount() const override { return FRowCount; }
    int LeadingRowCount() const override { return FLeadingRowCount; }
    TvlTab* VisibleTab(int AVisibleIndex) const override { return FVisibleTabList.GetTab(AVisibleIndex); }
    TControl* TabPage(int) const override { return nullptr; }

    // What the tabs, the layout and the painters need besides.
    virtual bool Enabled() const { return true; }
    virtual bool Focused() const { return false; }
    virtual bool IsLoading() const { return false; }
    virtual bool IsDestroying() const { return false; }
    virtual void InvalidateRect(const TRect&) {}
    virtual bool NeedsVisibleSelection() const { return false; }
    virtual int GetTabImageIndex(int ATabIndex) const;
    virtual void PrepareTabCanvasFont(TvlTab* ATab, TvlCanvas* ACanvas);
    virtual void AfterPaintTab(TvlCanvas*, TvlTab*, const TvlPCTabContentLayout&) {}
    // The control's OnDrawTab: true when a handler drew the tab itself.
    virtual bool OwnerDraw() const { return false; }
    virtual bool DrawTabByHandler(TvlTab*) { return false; }
    virtual void RecalculateLayout();
    // The arrow states after a layout (the control refreshes hot tracking too).
    virtual void UpdateNavigatorButtonStates();
    virtual int GetTabCaptionWidth(const String& ACaption);
    virtual void SetMultiSelectOn() {}
    // A hidden selected tab hands the selection on (the control selects
    // through its events).
    virtual void HandOverSelection(int ATabIndex) { SetTabIndexDirect(ATabIndex); }

    TvlTabs* Tabs() const { return FTabs.get(); }
    TvlVisibleTabList* VisibleTabList() { return &FVisibleTabList; }
    const TvlVisibleTabList* VisibleTabList() const { return &FVisibleTabList; }
    TvlPCCustomPainter* Painter() const { return FPainter.get(); }
    void SetPainter(std::unique_ptr<TvlPCCustomPainter> APainter);
    TvlPCImageList* ImageList() const { return FImageList.get(); }
    int TabIndex() const { return FTabIndex; }
    void SetTabIndexDirect(int Value) { FTabIndex = Value; }
    int HotTab() const { return FHotTab; }
    int PressedTab() const { return FPressedTab; }
    int TrackingTab() const { return FTrackingTab; }
    int FirstVisibleTab() const { return FFirstVisibleTab; }
    int LastVisibleTab() const { return FLastVisibleTab; }
    bool IsLastTabFullyVisible() const { return FIsLastTabFullyVisible; }
    int RowHeight() const { return FRowHeight; }
    int MaxRotatedTabWidth() const { return FMaxRotatedTabWidth; }
    int WidestRotatedCaption() const { return FWidestRotatedCaption; }
    TAlignment TabCaptionAlignment() const { return FTabCaptionAlignment; }
    const TvlPCTabsArea& TabsArea() const { return FTabsArea; }
    bool IsTabVisibleInRange(int AVisibleIndex) const;

    // Settings: stored as given; the control adds its side effects.
    void SetIsTabsContainer(bool Value) { FIsTabsContainer = Value; }
    void SetHideTabs(bool Value) { FHideTabs = Value; }
    void SetImageBorder(int Value) { FImageBorder = Value; }
    void SetMultiLine(bool Value) { FMultiLine = Value; }
    void SetRaggedRight(bool Value) { FRaggedRight = Value; }
    void SetRotate(bool Value) { FRotate = Value; }
    void SetShowFrame(bool Value) { FShowFrame = Value; }
    void SetOptions(TvlPCOptions Value) { FOptions = Value; }
    void SetTabPosition(TvlTabPosition Value) { FTabPosition = Value; }
    void SetNavigatorPosition(TvlPCNavigatorPosition Value) { FNavigatorPosition = Value; }
    void SetTabWidth(int Value) { FTabWidth = Value; }
    void SetTabHeight(int Value) { FTabHeight = Value; }
    void SetMaxRotatedTabWidth(int Value) { FMaxRotatedTabWidth = Value; }
    void SetScrollOpposite(bool Value) { FScrollOpposite = Value; }
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetTabCaptionAlignment(TAlignment Value) { FTabCaptionAlignment = Value; }
    void SetHotTabDirect(int Value) { FHotTab = Value; }
    void SetPressedTabDirect(int Value) { FPressedTab = Value; }
    void SetTrackingTabDirect(int Value) { FTrackingTab = Value; }
    void SetMainTabDirect(int Value) { FMainTab = Value; }
    void SetFirstVisibleTabDirect(int Value) { FFirstVisibleTab = Value; }
    void SetNavigatorButtonState(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState)
    { FNavigatorButtonStates[size_t(AButton)] = AState; }

    // Caption direction.
    bool isVerticalText() const;
    // 0 horizontal, 1 bottom to top, 2 top to bottom.
    int captionKind() const;
    bool isReversedRow() const;

    // The layout.
    void CalculateLayout();
    void CalculateTabsArea(TvlPCNavigatorButtons AButtons);
    TvlPCNavigatorButtons GetNavigatorButtonsFor(bool AAllTabsFit) const;
    void UpdateRowOrder();
    void MakeTabVisible(int AVisibleIndex);
    int GetTabsFitLength();
    int GetTabVisibleIndexAt(int X, int Y);
    TRect GetDisplayRect();

protected:
    friend class TvlTab;
    void calculateTabNormalSizes();
    void calculateRowHeight();
    void placeTabs(int AFirst, int ALast, bool AAllowPartial);
    void singleRowLayout();
    void fitSingleRow();
    void multiRowLayout();
    void balanceRun(int AFirstTab, int ALastTab, int AFirstRow);
    int lineLength(const TvlPCLineIndexBounds& ARow) const;
    void setBandsAlongExtent();
    void calculateAcrossPositions();
    int tabGap() const;
    int rowGap() const;

    bool FIsTabsContainer = false;
    bool FHideTabs = false;
    int FImageBorder = 0;
    bool FMultiLine = false;
    bool FRaggedRight = false;
    bool FRotate = false;
    bool FShowFrame = false;
    TvlPCOptions FOptions = vlPCDefaultOptions;
    TvlTabPosition FTabPosition = tpTop;
    TvlPCNavigatorPosition FNavigatorPosition = npRightTop;
    std::unique_ptr<TvlTabSlants> FTabSlants;
    int FTabWidth = 0;
    int FTabHeight = 0;
    int FMaxRotatedTabWidth = 0;
    bool FScrollOpposite = false;
    TAlignment FTabCaptionAlignment = taCenter;

    int FTabIndex = -1;
    int FMainTab = -1;
    int FHotTab = -1;
    int FPressedTab = -1;
    int FTrackingTab = -1;
    int FFirstVisibleTab = -1;
    int FLastVisibleTab = -1;
    bool FIsLastTabFullyVisible = false;
    int FRowCount = 0;
    int FLeadingRowCount = 0;
    int FRowHeight = 0;
    int FWidestRotatedCaption = 0;
    TvlPCNavigatorButtons FVisibleNavigatorButtons;
    std::array<TvlPCNavigatorButtonState, 4> FNavigatorButtonStates{};
    TvlPCTabsArea FTabsArea;
    TRect FLeadingBandRect;
    TRect FTrailingBandRect;
    bool FLayoutRunning = false;

    std::unique_ptr<TvlPCImageList> FImageList;
    std::unique_ptr<TvlTabs> FTabs;
    TvlVisibleTabList FVisibleTabList{this};
    std::unique_ptr<TvlPCCustomPainter> FPainter;
};

// ---- the tab control ------------------------------------------------------------------

class TvlCustomTabControl;

using TvlPCCanCloseEvent = TDelegate<void(TObject* Sender, bool& ACanClose)>;
using TvlTabChangingEvent = TDelegate<void(TObject* Sender, bool& AllowChange)>;
using TvlDrawTabEvent = TDelegate<void(TvlCustomTabControl* AControl, TvlTab* ATab, bool& DefaultDraw)>;
using TvlDrawTabExEvent = TDelegate<void(TvlCustomTabControl* AControl, TvlTab* ATab, TFont* Font)>;
using TvlGetTabImageEvent = TDelegate<void(TObject* Sender, int TabIndex, int& ImageIndex)>;
using TvlPCGoDialogClickEvent = TDelegate<void(int ATabIndex)>;

// The menu of the go-dialog button: one item per visible, enabled tab,
// rebuilt each time it opens.
class TvlPCGoDialog : public TPopupMenu {
public:
    explicit TvlPCGoDialog(TvlCustomTabControl* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlPCGoDialog"); }

    using TPopupMenu::Popup;
    // Rebuilds the items and opens the menu under the go-dialog button.
    void Popup(bool ASort);
    // The tabs the menu lists, in menu order (its first step).
    std::vector<TvlTab*> FillTabList(bool ASort) const;
    // Rebuilds the items without opening the menu.
    void BuildItems(bool ASort);
    TPoint GetPopupPoint() const;
    // The open menu's window (nullptr before the first popup).
    QMenu* Menu() const { return FMenu.data(); }

    TvlPCGoDialogClickEvent OnClick;
    // The menu closed (chosen or not); a chosen item's click comes after.
    TNotifyEvent OnCloseUp;

protected:
    virtual void DoClick(int ATabIndex);
    // Shows the built menu at a screen point.
    virtual void ShowAt(TPoint P);

private:
    void itemClick(TObject* Sender);
    void menuClosed();
    TvlCustomTabControl* FControl;
    QPointer<QMenu> FMenu;
};

// A window with a row (or rows) of tabs along one side of a page area; all
// drawing and measuring is its painter's.
class TvlCustomTabControl : public TvlControl, public TvlPCTabControlCore {
public:
    explicit TvlCustomTabControl(TComponent* AOwner);
    ~TvlCustomTabControl() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomTabControl"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // The painter's view of the window.
    TvlCanvas* Canvas() const override;
    TFont* Font() const override { return TvlControl::Font(); }
    TColor Color() const override { return TvlControl::Color(); }
    int Width() const override { return TvlControl::Width(); }
    int Height() const override { return TvlControl::Height(); }
    bool Enabled() const override { return TvlControl::Enabled(); }
    bool Focused() const override { return TvlControl::Focused(); }
    bool IsLoading() const override { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const override { return ComponentState().Contains(csDestroying); }
    using TvlControl::InvalidateRect;
    void InvalidateRect(const TRect& R) override;
    TControl* ActivePage() const override { return GetActivePageControl(); }
    TControl* TabPage(int AVisibleIndex) const override;
    bool OwnerDraw() const override { return FOwnerDraw; }
    bool DrawTabByHandler(TvlTab* ATab) override;
    void SetMultiSelectOn() override { FMultiSelect = true; }
    void HandOverSelection(int ATabIndex) override { SetTabIndex(ATabIndex); }

    // Settings.
    bool Focusable() const { return FFocusable; }
    void SetFocusable(bool Value);
    void SetHideTabs(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    void SetImageBorder(int Value);
    TImageList* Images() const { return ImageList()->BaseImages(); }
    void SetImages(TImageList* Value);
    int GetMaxRotatedTabWidth();
    void SetMaxRotatedTabWidth(int Value);
    void SetMultiLine(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value) { FMultiSelect = Value; }
    void SetNavigatorPosition(TvlPCNavigatorPosition Value);
    void SetOptions(TvlPCOptions Value);
    void SetOwnerDraw(bool Value);
    void SetRaggedRight(bool Value);
    // Raises "%s style does not support rotation of tabs" where the style cannot.
    void SetRotate(bool Value);
    void SetScrollOpposite(bool Value);
    void SetShowFrame(bool Value);
    TvlPCStyleID Style() const { return FStyle; }
    void SetStyle(TvlPCStyleID Value);
    void SetTabHeight(int Value);
    void SetTabWidth(int Value);
    void SetTabPosition(TvlTabPosition Value);
    void SetTabSlants(const TvlTabSlants* Value) { TabSlants()->Assign(Value); }
    void SetTabCaptionAlignment(TAlignment Value);

    // Selection: every path that selects a tab goes through SetTabIndex.
    void SetTabIndex(int Value);
    void LockChangeEvents(bool ALock);
    int ChangeEventLockCount() const { return FChangeEventLockCount; }

    int GetTabIndexAt(int X, int Y);
    void ScrollTabsBy(int ACount);
    TvlPCNavigatorButtons HotNavigatorButton() const { return FHotNavigatorButton; }
    TvlPCNavigatorButtons PressedNavigatorButton() const { return FPressedNavigatorButton; }
    int MouseDownTab() const { return FMouseDownTab; }
    bool GoDialogShowing() const { return FGoDialogShowing; }
    TvlPCGoDialog* GoDialog() const { return FGoDialog; }
    // The repeat timer of the arrows (nullptr before the first press).
    TvlTimer* Timer() const { return FTimer.get(); }

    // Keys, as the window and the dialog-key routing hand them on.
    virtual bool HandleNavigationKey(uint16_t& Key, TShiftState Shift);
    virtual bool ProcessDialogChar(QChar ACharCode);
    virtual bool CanSelectTab(int ATabIndex) const;

    // The stored page rectangle (read from a stream).
    int ClientRectLeft() const;
    int ClientRectTop() const;
    int ClientRectRight() const;
    int ClientRectBottom() const;
    void SetClientRectLeft(int Value) { FStoredClientRect.Left = Value; }
    void SetClientRectTop(int Value);
    void SetClientRectRight(int Value) { FStoredClientRect.Right = Value; }
    void SetClientRectBottom(int Value) { FStoredClientRect.Bottom = Value; }
    // Written without an ancestor: Top and Right always, Left and Bottom when not 0.
    bool ClientRectLeftStored() const { return ClientRectLeft() != 0; }
    bool ClientRectBottomStored() const { return ClientRectBottom() != 0; }

    void Loaded() override;
    void RecalculateLayout() override;
    void UpdateNavigatorButtonStates() override;
    int GetTabImageIndex(int ATabIndex) const override;
    void PrepareTabCanvasFont(TvlTab* ATab, TvlCanvas* ACanvas) override;
    // Hot tracking from where the pointer is now.
    void UpdateHotTrackingState();
    virtual void ShowGoDialog();
    virtual void SelectFromGoDialog(int ATabIndex);
    virtual TControl* GetActivePageControl() const { return nullptr; }
    virtual TControl* GetTabPage(int) const { return nullptr; }
    // The page rectangle, also while loading (AdjustClientRect's answer).
    TRect GetPageRect() const;
    // The page background into another window's context (a page's erase).
    void PaintOnDC(HDC DC);

    TvlPCCanCloseEvent OnCanClose;
    TNotifyEvent OnChange;
    TvlTabChangingEvent OnChanging;
    TvlDrawTabEvent OnDrawTab;
    TvlDrawTabExEvent OnDrawTabEx;
    TvlGetTabImageEvent OnGetImageIndex;

protected:
    virtual void TabClick(TObject* Sender, int AVisibleIndex, TShiftState AShift) { (void)Sender; (void)AVisibleIndex; (void)AShift; }
    virtual bool CanClose();
    virtual void DoClose();
    virtual void ImageListChanged() { RecalculateLayout(); }
    virtual bool CanChange(int ANewTabIndex);
    virtual void Change();
    bool ChangeEventsLocked() const { return FChangeEventLockCount > 0; }
    void ClickTab(int AVisibleIndex, bool ACtrl);
    // Where the pointer is and which buttons are down (tests replace them).
    virtual TPoint GetMouseCursorClientPos();
    virtual TShiftState GetShiftState() const;
    // A left press on the control is pending at the moment a menu closes.
    virtual bool IsClosingPressPending();

    void AdjustClientRect(TRect& R) const override;
    bool CanFocusOnClick() const override;
    bool NeedsRedrawOnResize() const override;
    bool HasScrollBars() const override { return false; }
    bool CanFocus() const override { return FFocusable && TvlControl::CanFocus(); }
    void LookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave(TControl* AControl) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void FocusChanged() override;
    void BoundsChanged() override;
    using TvlControl::BoundsChanged;
    void FontChanged() override;

    // The part of a selection after the checks (also the page control's).
    void doSetTabIndex(int Value);

private:
    void applyStyle(TvlPCStyleID AStyleID);
    void slantsChanged(TObject*) { RecalculateLayout(); }
    void imagesChanged(TObject*) { ImageListChanged(); }
    void pressNavigatorButton(TvlPCNavigatorButton AButton);
    void scrollStep(TvlPCNavigatorButton AButton);
    void timerHandler(TObject* Sender);
    void setNavigatorButtonState(TvlPCNavigatorButton AButton, TvlPCNavigatorButtonState AState);
    void setHotNavigatorButton(TvlPCNavigatorButtons AButton);
    void goDialogClosed(TObject*);
    void goDialogReset(int ATabIndex);
    void realign();
    bool navigatorButtonEnabled(TvlPCNavigatorButton AButton) const;

    int FChangeEventLockCount = 0;
    TRect FStoredClientRect;
    bool FClientRectRead = false;
    bool FFocusable = true;
    bool FHotTrack = false;
    TvlPCNavigatorButtons FHotNavigatorButton;
    bool FMultiSelect = false;
    bool FOwnerDraw = false;
    TvlPCStyleID FStyle = -1;
    std::unique_ptr<TvlTimer> FTimer;
    TvlPCNavigatorButtons FPressedNavigatorButton;
    int FMouseDownTab = -1;
    TvlPCGoDialog* FGoDialog = nullptr;  // owned as a component
    bool FGoDialogShowing = false;
    bool FGoDialogJustClosed = false;
};

// The tab control with its own list of tabs.
class TvlTabControl : public TvlCustomTabControl {
public:
    explicit TvlTabControl(TComponent* AOwner) : TvlCustomTabControl(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlTabControl"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void SetTabs(const TStrings* Value) { Tabs()->Assign(Value); }
};

// ---- the page control ------------------------------------------------------------

class TvlPageControl;

// One page of a page control: a window of controls shown while its tab is
// selected. It can have no other parent than a page control.
class TvlTabSheet : public TCustomControl {
public:
    explicit TvlTabSheet(TComponent* AOwner);
    ~TvlTabSheet() override;
    String ClassName() const override { return String::fromLatin1("TvlTabSheet"); }

    // A page control or nullptr; anything else raises EAbort.
    void SetParent(TWinControl* AParent) override;
    TvlPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TvlPageControl* Value);
    TvlTab* Tab() const { return FTab; }
    int PageIndex() const;
    // "%d is an invalid PageIndex value. ..." above the last page.
    void SetPageIndex(int Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    TNotifyEvent OnHide;
    TNotifyEvent OnShow;

protected:
    void Dispatch(TMessage& Message) override;
    void EraseBackground(HDC DC) override;

private:
    friend class TvlPageControl;
    void updateTab();

    bool FHighlighted = false;
    int FImageIndex = -1;
    TvlPageControl* FPageControl = nullptr;
    TvlTab* FTab = nullptr;
    bool FTabVisible = true;
};

using TvlPageChangingEvent = TDelegate<void(TObject* Sender, TvlTabSheet* NewPage, bool& AllowChange)>;

// The tab control with one page per tab: the page of the selected tab is
// the one shown.
class TvlPageControl : public TvlCustomTabControl {
public:
    explicit TvlPageControl(TComponent* AOwner);
    ~TvlPageControl() override;
    String ClassName() const override { return String::fromLatin1("TvlPageControl"); }

    TvlTabSheet* ActivePage() const override { return FActivePage; }
    void SetActivePage(TvlTabSheet* Value);
    int GetPageCount() const { return int(FPages.size()); }
    int PageCount() const { return GetPageCount(); }
    TvlTabSheet* GetPage(int AIndex) const { return FPages.at(size_t(AIndex)); }
    TvlTabSheet* Pages(int AIndex) const { return GetPage(AIndex); }
    TvlTabSheet* FindNextPage(TvlTabSheet* ACurrentPage, bool AGoForward, bool ACheckTabVisible) const;
    void SelectNextPage(bool AGoForward, bool ACheckTabVisible = true);

    TControl* GetActivePageControl() const override { return FActivePage; }
    TControl* GetTabPage(int ATabIndex) const override;
    bool NeedsVisibleSelection() const override { return true; }
    void Loaded() override;

    TvlPageChangingEvent OnPageChanging;

    // As a dock site every docked control gets a page of its own.
    void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) override;
    void DockOver(TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DockDrop(TDragDockObject* Source, int X, int Y) override;
    bool DoUnDock(TWinControl* NewTarget, TControl* Client) override;

protected:
    // 1 when a new page took the client, 0 when its page only moved last.
    virtual int DoDockDrop(TDragDockObject* Source);
    virtual bool DoUnDockClient(TWinControl* NewTarget, TControl* Client);
    void DoAddDockClient(TControl* Client, const TRect& ARect) override;
    void DoRemoveDockClient(TControl* Client) override;
    void Dispatch(TMessage& Message) override;
    virtual bool CanChangePage(TvlTabSheet* ANewPage);
    virtual void PageChanged();
    virtual void UpdateActivePage();
    bool CanChange(int ANewTabIndex) override;
    void Change() override;
    void DoClose() override;
    void ImageListChanged() override;

private:
    friend class TvlTabSheet;
    void insertPage(TvlTabSheet* APage);
    void removePage(TvlTabSheet* APage);
    void movePage(TvlTabSheet* APage, int ANewIndex);
    void changeActivePage(TvlTabSheet* APage);
    void updateTab(TvlTabSheet* APage);
    TvlTabSheet* findNextPageNoWrap(TvlTabSheet* APage, bool AGoForward) const;
    bool pageSelectable(const TvlTabSheet* APage) const;

    // The page holding Client when Client is docked here, else nullptr.
    TvlTabSheet* dockPageOf(const TControl* Client) const;
    // The docked control on the page of the tab at X, Y, if any.
    TControl* dockClientAt(int X, int Y);

    TvlTabSheet* FActivePage = nullptr;
    bool FChanging = false;
    bool FInserting = false;
    TvlTabSheet* FNewDockSheet = nullptr;  // the page made for a client being docked
    TvlTabSheet* FUndockingPage = nullptr;  // the page whose client is leaving
    std::vector<TvlTabSheet*> FPages;  // not owned
};

// The control classes that behave as tab controls (the grid adds its own).
std::vector<const TClassInfo*>* GetTabControlClassList();

// The unit's start (the class list) and end.
void AddvlPCUnit(TStartupList& AList);
