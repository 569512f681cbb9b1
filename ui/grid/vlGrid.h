// vlGrid.h - the grid control: it holds the tree of levels, decides the
// active top level and the focused view, keeps its views, and queues the
// changes they post so that a batch costs one layout and one repaint.
#pragma once
#include <memory>
#include <vector>

#include "ui/controls/vlPC.h"
#include "ui/foundation/vlControls.h"
#include "ui/grid/vlGridCustomView.h"
#include "ui/grid/vlGridLevel.h"

class TvlCustomGrid;
class TvlImageList;

using TvlGridActiveTabChangedEvent = TDelegate<void(TvlCustomGrid* Sender, TvlGridLevel* ALevel)>;
using TvlGridFocusedViewChangedEvent =
    TDelegate<void(TvlCustomGrid* Sender, TvlCustomGridView* APrevFocusedView, TvlCustomGridView* AFocusedView)>;
using TvlGridLayoutChangedEvent = TDelegate<void(TvlCustomGrid* Sender, TvlCustomGridView* AGridView)>;

// How the top-level tabs look; any change resizes the grid.
class TvlGridLevelTabs : public TPersistent {
public:
    explicit TvlGridLevelTabs(TvlCustomGrid* AGrid);
    String ClassName() const override { return String::fromLatin1("TvlGridLevelTabs"); }
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    int ImageBorder() const { return FImageBorder; }
    void SetImageBorder(int Value);
    TComponent* Images() const { return FImages; }
    void SetImages(TComponent* Value);
    TvlTabSlants* Slants() const { return FSlants.get(); }
    void SetSlants(const TvlTabSlants* Value) { FSlants->Assign(Value); }
    TvlPCStyleID Style() const { return FStyle; }
    void SetStyle(TvlPCStyleID Value);
    void Assign(const TPersistent* Source) override;

private:
    friend class TvlCustomGrid;
    void changed();
    void slantsChanged(TObject*) { changed(); }
    TvlCustomGrid* FGrid;
    TAlignment FCaptionAlignment = taCenter;
    int FImageBorder = 0;
    TComponent* FImages = nullptr;  // not owned; cleared when it goes
    std::unique_ptr<TvlTabSlants> FSlants;
    TvlPCStyleID FStyle = 0;
};

// The grid's own handlers.
class TvlCustomGridHandler : public TObject {
public:
    explicit TvlCustomGridHandler(TvlCustomGrid* AGrid) : FGrid(AGrid) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridHandler"); }
    TvlCustomGrid* Grid() const { return FGrid; }

private:
    TvlCustomGrid* FGrid;
};

// Opening a top-level tab by dragging over it.
class TvlCustomGridDragOpenInfo : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlCustomGridDragOpenInfo"); }
    virtual bool Equals(const TvlCustomGridDragOpenInfo* AInfo) const { return typeid(*this) == typeid(*AInfo); }
    virtual void Run() = 0;
};

class TvlGridDragOpenInfoTab : public TvlCustomGridDragOpenInfo {
public:
    explicit TvlGridDragOpenInfoTab(TvlGridLevel* ALevel) : Level(ALevel) {}
    String ClassName() const override { return String::fromLatin1("TvlGridDragOpenInfoTab"); }
    bool Equals(const TvlCustomGridDragOpenInfo* AInfo) const override;
    void Run() override;
    TvlGridLevel* const Level;
};

class TvlGridController : public TvlCustomGridHandler {
public:
    explicit TvlGridController(TvlCustomGrid* AGrid);
    ~TvlGridController() override;
    String ClassName() const override { return String::fromLatin1("TvlGridController"); }
    virtual void CancelMouseOperations();
    virtual void FocusChanged();
    virtual TCursor GetCursor(int X, int Y) const { (void)X; (void)Y; return crDefault; }
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void EndDrag(TObject* Target, int X, int Y);
    virtual void StartDrag(TDragObject*& DragObject) { (void)DragObject; }
    virtual std::unique_ptr<TvlCustomGridDragOpenInfo> CreateDragOpenInfo(const TvlCustomGridHitTest* AHitTest) const;
    const TvlCustomGridDragOpenInfo* DragOpenInfo() const { return FDragOpenInfo.get(); }
    TvlTimer* DragOpenTimer() const { return FDragOpenTimer.get(); }
    void StartDragOpen(std::unique_ptr<TvlCustomGridDragOpenInfo> AInfo);
    void StopDragOpen();

private:
    void dragOpenTimerFired(TObject* Sender);
    std::unique_ptr<TvlCustomGridDragOpenInfo> FDragOpenInfo;
    std::unique_ptr<TvlTimer> FDragOpenTimer;
    bool FInDragOpenTick = false;
};

class TvlGridPainter : public TvlCustomGridHandler {
public:
    using TvlCustomGridHandler::TvlCustomGridHandler;
    String ClassName() const override { return String::fromLatin1("TvlGridPainter"); }
    virtual void PaintDetails();
    virtual void Invalidate(bool AHard);
    virtual void InvalidateRect(const TRect& R);
    virtual void Paint() { PaintDetails(); }
};

// The grid's whole client area as the details site of its root level.
class TvlGridTopDetailsSiteViewInfo : public TvlCustomGridDetailsSiteViewInfo {
public:
    TvlGridTopDetailsSiteViewInfo(TvlCustomGrid* AGrid, TvlGridLevel* ALevel);
    String ClassName() const override { return String::fromLatin1("TvlGridTopDetailsSiteViewInfo"); }
    TvlCustomGrid* Grid() const { return FGrid; }
    int CalculateHeight() override { return GetMaxHeight(); }
    int CalculateWidth() override { return GetMaxWidth(); }
    int GetMaxHeight() const override;
    int GetMaxWidth() const override;
    TvlCustomGridView* GetActiveGridViewValue() const override;
    TvlGridLevel* GetActiveLevel() const override;
    TvlLookAndFeelPainterClass GetLookAndFeelPainter() const override;
    TvlCustomGridRecord* GetMasterRecord() const override { return nullptr; }
    void ActivateLevel(TvlGridLevel* ALevel) override;
    bool HasData(TvlGridLevel* ALevel) const override;
    bool SupportsTabAccelerators() const override { return true; }
    void CheckActiveViewSiteVisibility(bool Value) override;

private:
    TvlCustomGrid* FGrid;
};

class TvlGridViewInfo : public TvlCustomGridHandler {
public:
    using TvlCustomGridHandler::TvlCustomGridHandler;
    ~TvlGridViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlGridViewInfo"); }
    virtual void CreateViewInfos();
    virtual void DestroyViewInfos();
    virtual void Calculate();
    // Calculate with IsCalculating set (restored also on an exception).
    void MainCalculate();
    std::unique_ptr<TvlCustomGridHitTest> GetHitTest(int X, int Y) const;
    TvlGridTopDetailsSiteViewInfo* DetailsSiteViewInfo() const { return FDetailsSiteViewInfo.get(); }
    bool IsCalculating() const { return FIsCalculating; }
    int CalculationCount() const { return FCalculationCount; }

private:
    std::unique_ptr<TvlGridTopDetailsSiteViewInfo> FDetailsSiteViewInfo;
    bool FIsCalculating = false;
    int FCalculationCount = 0;
};

class TvlCustomGrid : public TvlControl {
public:
    using TControllerClass = TvlGridClass<TvlGridController, TvlCustomGrid*>;
    using TPainterClass = TvlGridClass<TvlGridPainter, TvlCustomGrid*>;
    using TViewInfoClass = TvlGridClass<TvlGridViewInfo, TvlCustomGrid*>;
    using TLevelTabsClass = TvlGridClass<TvlGridLevelTabs, TvlCustomGrid*>;
    using TRootLevelClass = TvlGridClass<TvlGridRootLevel, TComponent*>;

    explicit TvlCustomGrid(TComponent* AOwner);
    ~TvlCustomGrid() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGrid"); }
    // The constructor, then the parts made through the class getters.
    template <class T>
    static T* Create(TComponent* AOwner)
    {
        T* grid = new T(AOwner);  // owned by AOwner (or by the caller when there is none)
        grid->Initialize();
        return grid;
    }
    virtual void Initialize();

    TvlGridRootLevel* RootLevel() const { return FRootLevel.get(); }
    TvlGridLevelOptions* RootLevelOptions() const { return FRootLevel->Options(); }
    TvlGridLevelStyles* RootLevelStyles() const { return FRootLevel->Styles(); }
    TvlGridLevel* ActiveLevel() const { return FActiveLevel; }
    void SetActiveLevel(TvlGridLevel* Value);
    TvlCustomGridView* ActiveView() const;
    TvlCustomGridView* FocusedView() const { return FFocusedView; }
    void SetFocusedView(TvlCustomGridView* Value);
    void ValidateFocusedView();
    // While the grid holds the focus, has its form move it on to the next
    // (GoForward) or previous tab stop, once the current message is through.
    void FocusNextControl(bool GoForward);
    int ViewCount() const { return int(FViews.size()); }
    TvlCustomGridView* Views(int Index) const { return FViews.at(size_t(Index)); }
    TvlGridLevelTabs* LevelTabs() const { return FLevelTabs.get(); }
    void SetLevelTabs(const TvlGridLevelTabs* Value) { FLevelTabs->Assign(Value); }
    bool DragOpening() const { return FDragOpening; }
    void SetDragOpening(bool Value) { FDragOpening = Value; }
    int DragOpeningWaitTime() const { return FDragOpeningWaitTime; }
    void SetDragOpeningWaitTime(int Value) { FDragOpeningWaitTime = std::max(0, Value); }
    TvlGridController* Controller() const { return FController.get(); }
    TvlGridPainter* Painter() const { return FPainter.get(); }
    TvlGridViewInfo* ViewInfo() const { return FViewInfo.get(); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying) || FDestroying; }
    bool IsLoading() const { return ComponentState().Contains(csLoading); }

    // A view joins or leaves the grid: Views follows (the view's SetControl
    // calls these too, so both ways of attaching keep the list).
    void AddChildComponent(TvlControlChildComponent* AComponent) override;
    void RemoveChildComponent(TvlControlChildComponent* AComponent) override;

    // ---- the change queue
    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    bool IsUpdateLocked() const { return FLockCount != 0; }
    int UpdateLockCount() const { return FLockCount; }
    void AddChange(std::unique_ptr<TvlCustomGridChange> AChange);
    void RunChange(std::unique_ptr<TvlCustomGridChange> AChange);
    void RemoveViewChanges(const TvlCustomGridView* AView);
    int PendingChangeCount() const { return int(FChanges.size()); }
    virtual void LayoutChanged();
    virtual void SizeChanged();
    void RefreshViews(bool ARecalculate);

    // ---- events and hooks
    virtual void ActiveTabChanged(TvlGridLevel* ALevel);
    virtual void DoLayoutChanged(TvlCustomGridView* AView);
    virtual void FocusedViewChanged(TvlCustomGridView* APrevView, TvlCustomGridView* AView);
    virtual bool HidesTabsOfEmptyDetails() const;
    virtual void ViewDataChanged(TvlCustomGridView* AView);
    void TranslationChanged() override { SizeChanged(); }
    // The controller follows drags over the grid (opening tabs).
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DoStartDrag(TDragObject*& DragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    // The controller's cursor for the spot, where it has one.
    TCursor GetCurrentCursor(int X, int Y) const override;
    void SetSiteFocused(bool AFocused);
    bool IsFocused() const override;
    bool MayFocus() const { return false; }
    void Loaded() override;
    void SetName(const String& NewName) override;
    // The levels in streaming order: every named level of the tree, parent
    // before children.
    std::vector<TvlGridLevel*> NamedLevels() const;

    TvlGridActiveTabChangedEvent OnActiveTabChanged;
    TvlGridFocusedViewChangedEvent OnFocusedViewChanged;
    TvlGridLayoutChangedEvent OnLayoutChanged;

protected:
    virtual void CreateHandlers();
    virtual void DestroyHandlers();
    virtual TControllerClass GetControllerClass() const;
    virtual TPainterClass GetPainterClass() const;
    virtual TViewInfoClass GetViewInfoClass() const;
    virtual TLevelTabsClass GetLevelTabsClass() const;
    virtual TRootLevelClass GetRootLevelClass() const;
    virtual void ViewAdded(TvlCustomGridView* AView);
    virtual void ViewRemoved(TvlCustomGridView* AView);
    void Paint() override;
    void BoundsChanged(bool Moved, bool Resized) override;
    void LookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues) override;
    void FocusChanged() override;
    void CancelMouseOperations() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void processChanges();
    TvlCustomGridView* replacementFocusedView() const;

    std::unique_ptr<TvlGridRootLevel> FRootLevel;
    TvlGridLevel* FActiveLevel = nullptr;
    TvlCustomGridView* FFocusedView = nullptr;
    std::vector<TvlCustomGridView*> FViews;  // owned by their owner components
    std::unique_ptr<TvlGridLevelTabs> FLevelTabs;
    std::unique_ptr<TvlGridController> FController;
    std::unique_ptr<TvlGridPainter> FPainter;
    std::unique_ptr<TvlGridViewInfo> FViewInfo;
    std::vector<std::unique_ptr<TvlCustomGridChange>> FChanges;
    int FLockCount = 0;
    bool FFocused = false;
    bool FDragOpening = true;
    int FDragOpeningWaitTime = 800;
    bool FDestroying = false;
};

// The grid as a form places it.
class TvlGrid : public TvlCustomGrid {
public:
    using TvlCustomGrid::TvlCustomGrid;
    String ClassName() const override { return String::fromLatin1("TvlGrid"); }
};
