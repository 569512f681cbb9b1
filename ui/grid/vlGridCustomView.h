// vlGridCustomView.h - the base of every grid view: its update lock shared
// with the grid and the data controller, the change objects it posts, its
// handler objects, option and style sets, hit tests and the registry of
// view classes.
#pragma once
#include <memory>
#include <typeinfo>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "ui/data/vlCustomData.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/grid/vlGridCommon.h"
#include "ui/grid/vlStyles.h"

class TStartupList;
class TvlCustomGrid;
class TvlCustomGridView;
class TvlGridLevel;
class TvlCustomGridRecord;
class TvlCustomGridTableItem;
class TvlCustomGridCellViewInfo;
class TvlCustomGridViewData;
class TvlCustomGridDragAndDropObject;

// Makes the internal drag-and-drop object a mouse press may start.
using TvlGridDragAndDropObjectClass = std::unique_ptr<TvlCustomGridDragAndDropObject> (*)(TvlCustomGridView* AGridView);

// What an option or a style set tells its view about a change.
enum TvlViewChangeKind { vckProperty, vckLayout, vckSize };

// ---- changes ---------------------------------------------------------------------------

// A visible effect of a change inside the grid, queued while the grid is
// locked and reduced with the others when the last lock goes.
class TvlCustomGridChange : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlCustomGridChange"); }
    // The grid that runs it; none when a view without a grid runs it.
    TvlCustomGrid* Control() const { return FControl; }
    void SetControl(TvlCustomGrid* Value) { FControl = Value; }

    // False: a batch releases its lock before running this change.
    virtual bool CanRunLocked() const { return true; }
    virtual void Execute() = 0;
    // Running AChange does all this change would do.
    virtual bool IsCoveredBy(const TvlCustomGridChange* AChange) const { (void)AChange; return false; }
    virtual bool CanMergeDuplicates() const { return true; }
    virtual bool SameAs(const TvlCustomGridChange* AChange) const { return typeid(*this) == typeid(*AChange); }
    // False: runs at once even while the grid is locked.
    virtual bool CanQueue() const { return true; }

private:
    TvlCustomGrid* FControl = nullptr;
};

// A change of one view, or of the whole grid without one.
class TvlCustomGridViewChange : public TvlCustomGridChange {
public:
    explicit TvlCustomGridViewChange(TvlCustomGridView* AGridView) : FGridView(AGridView) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewChange"); }
    TvlCustomGridView* GridView() const { return FGridView; }
    bool SameAs(const TvlCustomGridChange* AChange) const override;

private:
    TvlCustomGridView* FGridView;
};

// Recalculate the layout of a view, or of the whole grid.
class TvlGridLayoutChange : public TvlCustomGridViewChange {
public:
    using TvlCustomGridViewChange::TvlCustomGridViewChange;
    String ClassName() const override { return String::fromLatin1("TvlGridLayoutChange"); }
    void Execute() override;
    bool IsCoveredBy(const TvlCustomGridChange* AChange) const override;
};

// Sizes are stale: passed up to the master or the grid, else relaid out.
class TvlGridSizeChange : public TvlCustomGridViewChange {
public:
    TvlGridSizeChange(TvlCustomGridView* AGridView, bool AUpdateGridViewOnly, bool AKeepMaster)
        : TvlCustomGridViewChange(AGridView), FUpdateGridViewOnly(AUpdateGridViewOnly), FKeepMaster(AKeepMaster)
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlGridSizeChange"); }
    bool UpdateGridViewOnly() const { return FUpdateGridViewOnly; }
    bool KeepMaster() const { return FKeepMaster; }
    void Execute() override;
    bool IsCoveredBy(const TvlCustomGridChange* AChange) const override;
    bool SameAs(const TvlCustomGridChange* AChange) const override;

private:
    bool FUpdateGridViewOnly;
    bool FKeepMaster;
};

// Repaint a rectangle, a region or the whole of a view.
class TvlGridViewChange : public TvlCustomGridViewChange {
public:
    // The whole view.
    explicit TvlGridViewChange(TvlCustomGridView* AGridView) : TvlCustomGridViewChange(AGridView) {}
    TvlGridViewChange(TvlCustomGridView* AGridView, const TRect& AUpdateBounds)
        : TvlCustomGridViewChange(AGridView), FUpdateBounds(AUpdateBounds)
    {
    }
    // Keeps a copy of ARegion.
    TvlGridViewChange(TvlCustomGridView* AGridView, const TvlRegion* ARegion);
    String ClassName() const override { return String::fromLatin1("TvlGridViewChange"); }
    const TRect& UpdateBounds() const { return FUpdateBounds; }
    const TvlRegion* UpdateRegion() const { return FUpdateRegion.get(); }
    void Execute() override;
    bool IsCoveredBy(const TvlCustomGridChange* AChange) const override;
    bool SameAs(const TvlCustomGridChange* AChange) const override;

private:
    TRect FUpdateBounds;
    std::unique_ptr<TvlRegion> FUpdateRegion;
};

// The grid control gained or lost the focus.
class TvlGridControlFocusChange : public TvlCustomGridViewChange {
public:
    using TvlCustomGridViewChange::TvlCustomGridViewChange;
    String ClassName() const override { return String::fromLatin1("TvlGridControlFocusChange"); }
    void Execute() override;
};

// The record count changed; runs at once, also while the grid is locked.
class TvlGridDataChange : public TvlCustomGridViewChange {
public:
    using TvlCustomGridViewChange::TvlCustomGridViewChange;
    String ClassName() const override { return String::fromLatin1("TvlGridDataChange"); }
    void Execute() override;
    bool CanQueue() const override { return false; }
};

// One record (or one of its cells) must be recalculated and repainted.
class TvlGridRecordChange : public TvlCustomGridViewChange {
public:
    TvlGridRecordChange(TvlCustomGridView* AGridView, TvlCustomGridTableItem* AItem, int ARecordIndex,
                        TvlCustomGridRecord* ARecord)
        : TvlCustomGridViewChange(AGridView), FChangedItem(AItem), FChangedRecord(ARecord), FChangedRecordIndex(ARecordIndex)
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlGridRecordChange"); }
    TvlCustomGridTableItem* ChangedItem() const { return FChangedItem; }
    TvlCustomGridRecord* ChangedRecord() const { return FChangedRecord; }
    int ChangedRecordIndex() const { return FChangedRecordIndex; }
    void Execute() override;
    bool IsCoveredBy(const TvlCustomGridChange* AChange) const override;
    bool SameAs(const TvlCustomGridChange* AChange) const override;

private:
    TvlCustomGridTableItem* FChangedItem;
    TvlCustomGridRecord* FChangedRecord;
    int FChangedRecordIndex;
};

// The focused record moved; runs with the grid unlocked, so that the new
// focus is drawn before later changes run.
class TvlGridFocusedRecordChange : public TvlCustomGridViewChange {
public:
    TvlGridFocusedRecordChange(TvlCustomGridView* AGridView, bool ANewItemRowFocusChanged, int ANewDataIndex,
                               int AOldDataIndex, int ANewIndex, int AOldIndex)
        : TvlCustomGridViewChange(AGridView), NewDataIndex(ANewDataIndex), NewIndex(ANewIndex),
          NewItemRowFocusChanged(ANewItemRowFocusChanged), OldDataIndex(AOldDataIndex), OldIndex(AOldIndex)
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlGridFocusedRecordChange"); }
    void Execute() override;
    bool CanRunLocked() const override { return false; }
    const int NewDataIndex;
    const int NewIndex;
    const bool NewItemRowFocusChanged;
    const int OldDataIndex;
    const int OldIndex;
};

// ---- hit tests ---------------------------------------------------------------------------

// What lies at a point of the grid. Every query makes a hit test of its own,
// so a caller's hit test never changes under it.
class TvlCustomGridHitTest : public TObject {
public:
    TvlCustomGridHitTest() = default;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridHitTest"); }

    TPoint HitPoint;
    TvlCustomGridCellViewInfo* CellViewInfo() const { return FCellViewInfo; }
    void LinkCellViewInfo(TvlCustomGridCellViewInfo* AViewInfo) { FCellViewInfo = AViewInfo; }

    virtual void Assign(const TvlCustomGridHitTest* Source);
    virtual int GetHitTestCode() const { return -1; }
    int HitTestCode() const { return GetHitTestCode(); }
    virtual TCursor Cursor() const { return crDefault; }
    // The drag-and-drop object a press here may start; none in the base.
    virtual TvlGridDragAndDropObjectClass DragAndDropObjectClass() const { return nullptr; }
    // A copy of this hit test, of its own class.
    virtual std::unique_ptr<TvlCustomGridHitTest> Clone() const = 0;

private:
    TvlCustomGridCellViewInfo* FCellViewInfo = nullptr;  // not owned
};

// Makes a hit test of class T at APoint.
template <class T>
std::unique_ptr<T> vlGridHitTest(const TPoint& APoint)
{
    auto result = std::make_unique<T>();
    result->HitPoint = APoint;
    return result;
}

#define VL_GRID_HIT_TEST_CLASS(Name, Code)                                                                 \
    String ClassName() const override { return String::fromLatin1(#Name); }                                \
    int GetHitTestCode() const override { return Code; }                                                   \
    std::unique_ptr<TvlCustomGridHitTest> Clone() const override                                           \
    {                                                                                                      \
        auto result = std::make_unique<Name>();                                                            \
        result->Assign(this);                                                                              \
        return result;                                                                                     \
    }

class TvlGridNoneHitTest : public TvlCustomGridHitTest {
public:
    VL_GRID_HIT_TEST_CLASS(TvlGridNoneHitTest, 0)
};

class TvlCustomGridViewHitTest : public TvlCustomGridHitTest {
public:
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewHitTest"); }
    TvlCustomGridView* View = nullptr;
    void Assign(const TvlCustomGridHitTest* Source) override;
};

#define VL_GRID_VIEW_HIT_TEST(Name, Parent, Code)  \
    class Name : public Parent {                  \
    public:                                       \
        VL_GRID_HIT_TEST_CLASS(Name, Code)        \
    };

VL_GRID_VIEW_HIT_TEST(TvlGridViewNoneHitTest, TvlCustomGridViewHitTest, 0)
VL_GRID_VIEW_HIT_TEST(TvlGridNavigatorHitTest, TvlCustomGridViewHitTest, 1)
VL_GRID_VIEW_HIT_TEST(TvlGridCustomizationFormHitTest, TvlCustomGridViewHitTest, 2)
VL_GRID_VIEW_HIT_TEST(TvlGridFilterHitTest, TvlCustomGridViewHitTest, 101)
VL_GRID_VIEW_HIT_TEST(TvlGridFilterActivateButtonHitTest, TvlCustomGridViewHitTest, 102)
VL_GRID_VIEW_HIT_TEST(TvlGridFilterCloseButtonHitTest, TvlCustomGridViewHitTest, 103)
VL_GRID_VIEW_HIT_TEST(TvlGridFilterDropDownButtonHitTest, TvlCustomGridViewHitTest, 104)
VL_GRID_VIEW_HIT_TEST(TvlGridFilterCustomizeButtonHitTest, TvlCustomGridViewHitTest, 105)

// A record; the record object is looked up from the view data when asked
// for, so the hit test outlives a rebuild of the records.
class TvlGridRecordHitTest : public TvlCustomGridViewHitTest {
public:
    VL_GRID_HIT_TEST_CLASS(TvlGridRecordHitTest, 106)
    int RecordIndex = -1;
    int RecordKind = -1;
    TvlCustomGridViewData* RecordViewData = nullptr;
    void Assign(const TvlCustomGridHitTest* Source) override;
    // A press here acts on the record itself.
    virtual bool ActsOnRecord() const { return true; }
    TvlCustomGridRecord* GetRecord() const;
    // nullptr clears the record; else its view data gives kind and index.
    void SetRecord(TvlCustomGridViewData* AViewData, TvlCustomGridRecord* ARecord);
};

class TvlGridRecordCellHitTest : public TvlGridRecordHitTest {
public:
    VL_GRID_HIT_TEST_CLASS(TvlGridRecordCellHitTest, 107)
    TvlCustomGridTableItem* CellItem = nullptr;
    void Assign(const TvlCustomGridHitTest* Source) override;
};

class TvlGridExpandButtonHitTest : public TvlGridRecordHitTest {
public:
    VL_GRID_HIT_TEST_CLASS(TvlGridExpandButtonHitTest, 108)
    bool ActsOnRecord() const override { return false; }
};

// ---- handlers ------------------------------------------------------------------------------

// The base of the objects a view works through; it does not own the view.
class TvlGridViewHandler : public TvlInterfacedPersistent {
public:
    explicit TvlGridViewHandler(TvlCustomGridView* AGridView);
    String ClassName() const override { return String::fromLatin1("TvlGridViewHandler"); }
    TvlCustomGridView* GridView() const { return FGridView; }
    TvlCustomGrid* Control() const;
    TvlCustomDataController* DataController() const;
    TvlLookAndFeelPainterClass LookAndFeelPainter() const;
    void BeginUpdate();
    void EndUpdate();

private:
    TvlCustomGridView* const FGridView;
};

// Input of a view (the grid's controllers grow it).
class TvlCustomGridController : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridController"); }
    virtual void SetFocus() {}
    virtual void RemoveFocus() {}
    // The grid control's focus changed: repaint what depends on it.
    virtual void FocusChanged() {}
    // Posts a control-focus change for the view.
    virtual void ControlFocusChanged();
    virtual void VisibilityChanged(bool AVisible) { (void)AVisible; }
    virtual void RefreshCustomizationForm() {}
    virtual void RefreshCustomizationFormItems() {}
    virtual void CancelMouseOperations() {}
    virtual void SetCustomization(bool Value) { FCustomization = Value; }
    bool Customization() const { return FCustomization; }
    // Focused-record handling after a focus move (focus, navigation and
    // editing grow it).
    virtual void MakeFocusedRecordVisible() {}
    virtual void FocusedRecordChanged(int APrevFocusedRecordIndex, int AFocusedRecordIndex) { (void)APrevFocusedRecordIndex; (void)AFocusedRecordIndex; }

private:
    bool FCustomization = false;
};

// Paints a view on its site.
class TvlCustomGridPainter : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridPainter"); }
    virtual void Invalidate() {}
    virtual void InvalidateRect(const TRect& R) { (void)R; }
    virtual void InvalidateRegion(const TvlRegion* ARegion) { (void)ARegion; }
    // The font of the canvas painted on, for a view without a grid.
    TFont* CanvasFont() const { return FCanvasFont.get(); }

private:
    std::unique_ptr<TFont> FCanvasFont = std::make_unique<TFont>();
};

// The records of a view.
class TvlCustomGridViewData : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewData"); }
    virtual TvlCustomGridRecord* GetRecordByKind(int AKind, int AIndex) const { (void)AKind; (void)AIndex; return nullptr; }
    virtual int GetRecordKind(const TvlCustomGridRecord* ARecord) const { (void)ARecord; return -1; }
    virtual int GetRecordIndex(const TvlCustomGridRecord* ARecord) const { (void)ARecord; return -1; }
    virtual bool HasRecords() const { return false; }
};

// The layout of a view inside its site.
class TvlCustomGridViewInfo : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewInfo"); }
    bool IsCalculating() const { return FIsCalculating; }
    // Calculate with the calculating flag set (cleared also on an exception).
    void MainCalculate(const TRect& ABounds);
    virtual void Calculate(const TRect& ABounds) { FBounds = ABounds; }
    const TRect& Bounds() const { return FBounds; }
    // The height the view needs within AMaxSize, and whether all of it fits.
    virtual int GetHeight(const TSize& AMaxSize, bool& AFullyVisible) { AFullyVisible = true; (void)AMaxSize; return 0; }
    virtual int GetWidth(const TSize& AMaxSize) { (void)AMaxSize; return 0; }
    virtual void CheckSiteVisibility(bool Value) { (void)Value; }
    virtual std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P);
    // The view's site in the grid's client coordinates.
    virtual TRect GetSiteBounds() const { return FBounds; }

private:
    bool FIsCalculating = false;
    TRect FBounds;
};

// Sizes kept across recalculations.
class TvlCustomGridViewInfoCache : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewInfoCache"); }
    virtual void UnassignValues(bool AKeepMaster) { (void)AKeepMaster; }
};

// ---- options and styles ----------------------------------------------------------------------

// An option object of a view: registered with it, reporting its changes to it.
class TvlCustomGridOptions : public TvlInterfacedPersistent {
public:
    explicit TvlCustomGridOptions(TvlCustomGridView* AGridView);
    ~TvlCustomGridOptions() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridOptions"); }
    TvlCustomGridView* GridView() const { return FGridView; }
    virtual TvlCustomGridView* GetGridView() const { return FGridView; }
    virtual void Changed(TvlViewChangeKind AChangeKind);
    // Every component notification of the view reaches its options.
    virtual void Notification(TComponent* AComponent, TOperation Operation) { (void)AComponent; (void)Operation; }
    TvlLookAndFeelPainterClass GetLookAndFeelPainter() const;
    void Assign(const TPersistent* Source) override;

private:
    TvlCustomGridView* FGridView;
};

class TvlCustomGridOptionsBehavior : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridOptionsBehavior"); }
    // A clone reads its pattern's value; writing notifies nobody.
    bool PostponedSynchronization() const;
    void SetPostponedSynchronization(bool Value) { FPostponedSynchronization = Value; }
    void Assign(const TPersistent* Source) override;

private:
    bool FPostponedSynchronization = true;
};

class TvlCustomGridOptionsData : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridOptionsData"); }
};

class TvlCustomGridOptionsSelection : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridOptionsSelection"); }
};

class TvlCustomGridOptionsView : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridOptionsView"); }
    // Kept by the view's site.
    TScrollStyle ScrollBars() const;
    void SetScrollBars(TScrollStyle Value);
    void Assign(const TPersistent* Source) override;
};

// A view's background bitmaps by kind, each made on first use.
class TvlCustomGridBackgroundBitmaps : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    ~TvlCustomGridBackgroundBitmaps() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridBackgroundBitmaps"); }
    TBitmap* GetByIndex(int Index);
    void SetByIndex(int Index, const TBitmap* Value);
    TBitmap* Background() { return GetByIndex(0); }
    void SetBackground(const TBitmap* Value) { SetByIndex(0, Value); }
    // The style slot whose bitmap stands in for bitmap Index (-1: none).
    virtual int GetBitmapStyleIndex(int Index) const { return Index == 0 ? 0 : -1; }
    virtual const TBitmap* GetStyleBitmap(int Index) const;
    // The own bitmap unless empty, else the style's.
    virtual const TBitmap* GetBitmap(int Index);
    void Assign(const TPersistent* Source) override;

private:
    void bitmapChanged(TObject* Sender);
    std::vector<std::unique_ptr<TBitmap>> FBitmaps;
};

class TvlCustomGridStyles : public TvlStyles {
public:
    explicit TvlCustomGridStyles(TPersistent* AOwner) : TvlStyles(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridStyles"); }
    void ValueChanged(int Index) override;
    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override;
    // The owners of the styles in use, other than the view's owner.
    virtual std::vector<TComponent*> GetFakeComponentLinks() const;
    virtual TvlCustomGridView* GetGridView() const = 0;
};

class TvlCustomGridViewStyles : public TvlCustomGridStyles {
public:
    enum { vsBackground = 0 };
    explicit TvlCustomGridViewStyles(TPersistent* AOwner) : TvlCustomGridStyles(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewStyles"); }
    TvlCustomGridView* GetGridView() const override;
    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override;
    void Assign(const TPersistent* Source) override;
    TvlCustomStyle* Background() const { return GetValue(vsBackground); }
    void SetBackground(TvlCustomStyle* Value) { SetValue(vsBackground, Value); }
};

// ---- the view --------------------------------------------------------------------------

// Lets its holder see whether the view still exists.
class TvlGridListenerLink : public TObject {
public:
    explicit TvlGridListenerLink(TvlCustomGridView* AGridView) : FGridView(AGridView) {}
    ~TvlGridListenerLink() override;
    String ClassName() const override { return String::fromLatin1("TvlGridListenerLink"); }
    TvlCustomGridView* GridView() const { return FGridView; }

private:
    friend class TvlCustomGridView;
    TvlCustomGridView* FGridView;
};

class TvlCustomGridView : public TvlControlChildComponent, public IvlDataControllerOwner {
public:
    using TControllerClass = TvlGridClass<TvlCustomGridController, TvlCustomGridView*>;
    using TDataControllerClass = TvlGridClass<TvlCustomDataController, IvlDataControllerOwner*>;
    using TPainterClass = TvlGridClass<TvlCustomGridPainter, TvlCustomGridView*>;
    using TViewDataClass = TvlGridClass<TvlCustomGridViewData, TvlCustomGridView*>;
    using TViewInfoClass = TvlGridClass<TvlCustomGridViewInfo, TvlCustomGridView*>;
    using TViewInfoCacheClass = TvlGridClass<TvlCustomGridViewInfoCache, TvlCustomGridView*>;
    using TBackgroundBitmapsClass = TvlGridClass<TvlCustomGridOptions, TvlCustomGridView*>;
    using TOptionsClass = TvlGridClass<TvlCustomGridOptions, TvlCustomGridView*>;
    using TStylesClass = TvlGridClass<TvlCustomGridViewStyles, TPersistent*>;

    explicit TvlCustomGridView(TComponent* AOwner);
    ~TvlCustomGridView() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridView"); }
    // Makes a view of class T: the constructor, then Initialize (which
    // creates the options and handlers through the class getters). AOwner
    // frees it.
    template <class T>
    static T* Create(TComponent* AOwner, TvlControl* AControl = nullptr)
    {
        T* view = new T(AOwner);  // owned by AOwner (or freed by the caller when there is none)
        view->Initialize();
        if (AControl != nullptr)
            view->SetControl(AControl);
        return view;
    }
    void Initialize() override;

    // The grid that shows the view (only a grid takes it).
    TvlCustomGrid* Control() const;
    void SetControl(TvlControl* Value) override;
    TvlCustomGrid* StorageControl() const { return FStorageControl; }
    TvlGridLevel* Level() const { return FLevel; }
    virtual void SetLevel(TvlGridLevel* Value);
    TvlCustomGridView* PatternGridView() const { return FPatternGridView; }
    int CloneCount() const { return int(FClones.size()); }
    TvlCustomGridView* Clones(int Index) const { return FClones.at(size_t(Index)); }
    void AddClone(TvlCustomGridView* AClone);
    void RemoveClone(TvlCustomGridView* AClone);
    bool IsPattern() const;

    TvlCustomGridController* Controller() const { return FController.get(); }
    TvlCustomDataController* DataController() const { return FDataController.get(); }
    TvlCustomGridPainter* Painter() const { return FPainter.get(); }
    TvlCustomGridViewData* ViewData() const { return FViewData.get(); }
    TvlCustomGridViewInfo* ViewInfo() const { return FViewInfo.get(); }
    TvlCustomGridViewInfoCache* ViewInfoCache() const { return FViewInfoCache.get(); }
    TvlCustomGridBackgroundBitmaps* BackgroundBitmaps() const { return FBackgroundBitmaps.get(); }
    TvlCustomGridOptionsBehavior* OptionsBehavior() const { return FOptionsBehavior.get(); }
    TvlCustomGridOptionsData* OptionsData() const { return FOptionsData.get(); }
    TvlCustomGridOptionsSelection* OptionsSelection() const { return FOptionsSelection.get(); }
    TvlCustomGridOptionsView* OptionsView() const { return FOptionsView.get(); }
    TvlCustomGridViewStyles* Styles() const { return FStyles.get(); }
    void AddOptions(TvlCustomGridOptions* AOptions);
    void RemoveOptions(TvlCustomGridOptions* AOptions);

    bool Synchronization() const;
    void SetSynchronization(bool Value);

    // ---- update lock
    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    bool IsUpdateLocked() const { return FLockCount > 0; }
    int LockCount() const { return FLockCount; }

    // ---- change posting
    // Hands the change to the grid (or runs it without one); false when the
    // view cannot take changes now.
    bool Changed(std::unique_ptr<TvlCustomGridChange> AChange);
    // The entry point of options and styles.
    void Changed(TvlViewChangeKind AChangeKind);
    void LayoutChanged(bool AViewOnly = true);
    void PostSizeChange(bool AUpdateGridViewOnly, bool AKeepMaster);
    virtual void SizeChanged() { PostSizeChange(false, false); }
    void Invalidate();
    void InvalidateRect(const TRect& R);
    virtual void ContentChanged(bool AUpdateGridViewOnly = false, bool AKeepMaster = false);
    virtual void NotifyController(TvlViewChangeKind AChangeKind);
    void RefreshCustomizationFormItems();
    void RefreshTree(bool ARecalculate);

    // ---- focus and visibility
    bool IsFocused() const;
    void SetFocused(bool Value);
    virtual void FocusChanged(bool AFocused);
    TvlCustomGridView* MasterGridView() const;
    bool IsDetail() const { return MasterGridView() != nullptr; }
    bool IsMasterOf(const TvlCustomGridView* AView) const;
    int MasterRecordIndex() const;
    virtual bool CalculateVisible(bool ALevelShown) const;
    virtual bool IsDetailVisible(const TvlCustomGridView* ADetail) const { (void)ADetail; return false; }
    virtual bool CanFocus() const;
    virtual bool IsVisible() const;
    virtual bool CanCalculate() const;
    virtual bool IsControlFocused() const;
    virtual bool CanTabStop() const;
    virtual bool DependsOnWidth() const { return false; }
    bool IsDestroying() const;
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    virtual void LookAndFeelChanged();
    TvlLookAndFeelPainterClass GetLookAndFeelPainter() const;
    std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P) const;
    std::unique_ptr<TvlCustomGridHitTest> GetHitTestAt(int X, int Y) const { return GetHitTest(TPoint{X, Y}); }
    // The view's site bounds in the grid (the site control keeps them).
    virtual TRect GetSiteBounds() const;
    TScrollStyle SiteScrollBars() const { return FSiteScrollBars; }
    void SetSiteScrollBars(TScrollStyle Value) { FSiteScrollBars = Value; }

    // ---- data
    virtual void DataChanged(TvlUpdateControlInfo* AInfo);
    virtual void DetailDataChanged(TvlCustomGridView* ADetail) { (void)ADetail; }
    virtual void DetailVisibilityChanged(TvlGridLevel* ALevel, int AOldVisibleCount, int ANewVisibleCount)
    {
        (void)ALevel; (void)AOldVisibleCount; (void)ANewVisibleCount;
    }
    // Bodies of the posted record-view changes; the record views fill them.
    virtual void RecordCountChanged() {}
    virtual void RecordChanged(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem) { (void)ARecord; (void)AItem; }
    virtual void FocusedRecordChanged(const TvlGridFocusedRecordChange& AChange) { (void)AChange; }

    // ---- assignment, loading, links
    void Assign(const TPersistent* Source) override;
    void AssignPattern(const TvlCustomGridView* Source);
    void Loaded() override;
    std::unique_ptr<TvlGridListenerLink> AddListenerLink();
    int ListenerLinkCount() const { return int(FListenerLinks.size()); }

    // IvlDataControllerOwner
    int GetDataItemCount() const override { return 0; }
    TObject* GetDataItem(int AIndex) const override { (void)AIndex; return nullptr; }
    TComponentState GetDataOwnerState() const override { return ComponentState(); }
    void UpdateDataControl(TvlUpdateControlInfo* AInfo) override { DataChanged(AInfo); }

    TNotifyEvent OnCustomization;

protected:
    virtual void CreateHandlers();
    virtual void DestroyHandlers();
    virtual void ConnectDataController() {}
    virtual void CreateOptions();
    virtual void DestroyOptions();
    virtual void BeforeAssign(const TvlCustomGridView* Source);
    virtual void DoAssign(const TvlCustomGridView* Source);
    virtual void AfterAssign(const TvlCustomGridView* Source);
    virtual void RefreshState() {}
    virtual void UpdateUnlocked();
    virtual TControllerClass GetControllerClass() const;
    virtual TDataControllerClass GetDataControllerClass() const;
    virtual TPainterClass GetPainterClass() const;
    virtual TViewDataClass GetViewDataClass() const;
    virtual TViewInfoCacheClass GetViewInfoCacheClass() const { return nullptr; }
    virtual TViewInfoClass GetViewInfoClass() const;
    virtual TBackgroundBitmapsClass GetBackgroundBitmapsClass() const;
    virtual TOptionsClass GetOptionsBehaviorClass() const;
    virtual TOptionsClass GetOptionsDataClass() const;
    virtual TOptionsClass GetOptionsSelectionClass() const;
    virtual TOptionsClass GetOptionsViewClass() const;
    virtual TStylesClass GetStylesClass() const;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool IsAssigningPattern() const { return FAssigningPattern; }

private:
    friend class TvlGridListenerLink;
    void synchronizeClones(bool APostpone);
    bool canSynchronize() const;
    TvlCustomGrid* FStorageControl = nullptr;
    TvlGridLevel* FLevel = nullptr;
    TvlCustomGridView* FPatternGridView = nullptr;
    std::vector<TvlCustomGridView*> FClones;  // not owned
    int FLockCount = 0;
    bool FSynchronization = true;
    bool FSynchronizationNeeded = false;
    bool FAssigningPattern = false;
    bool FSynchronizing = false;
    bool FOptionsChangedPending = false;
    bool FCustomizationFormItemsPending = false;
    bool FInitialized = false;
    TScrollStyle FSiteScrollBars = ssBoth;
    std::vector<TvlGridListenerLink*> FListenerLinks;  // not owned: their holders free them
    std::vector<TvlCustomGridOptions*> FOptionsList;   // not owned
    std::unique_ptr<TvlCustomGridController> FController;
    std::unique_ptr<TvlCustomDataController> FDataController;
    std::unique_ptr<TvlCustomGridPainter> FPainter;
    std::unique_ptr<TvlCustomGridViewData> FViewData;
    std::unique_ptr<TvlCustomGridViewInfo> FViewInfo;
    std::unique_ptr<TvlCustomGridViewInfoCache> FViewInfoCache;
    std::unique_ptr<TvlCustomGridBackgroundBitmaps> FBackgroundBitmaps;
    std::unique_ptr<TvlCustomGridOptionsBehavior> FOptionsBehavior;
    std::unique_ptr<TvlCustomGridOptionsData> FOptionsData;
    std::unique_ptr<TvlCustomGridOptionsSelection> FOptionsSelection;
    std::unique_ptr<TvlCustomGridOptionsView> FOptionsView;
    std::unique_ptr<TvlCustomGridViewStyles> FStyles;
};

// The view classes offered with their descriptions: descriptions that start
// with "DB" come after all others.
class TvlGridRegisteredViews : public TvlRegisteredClasses {
public:
    TvlGridRegisteredViews() { SetSorted(true); }
    String ClassName() const override { return String::fromLatin1("TvlGridRegisteredViews"); }
    int CompareItems(int AIndex1, int AIndex2) const override;
};

// Lives from the unit's start to its end (nullptr outside).
TvlGridRegisteredViews* GridRegisteredViews();

void AddvlGridCustomViewUnit(TStartupList& AList);
