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
#include "ui/foundation/vlContainer.h"
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
class TvlCustomGridViewCellViewInfo;
class TvlCustomGridViewInfo;
class TvlCustomGridViewInfoCache;
class TvlCustomGridController;
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
    // A linked cell forgets the hit test, so that a later hit test at the
    // same address is never taken for this one.
    ~TvlCustomGridHitTest() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridHitTest"); }

    TPoint HitPoint;
    TvlCustomGridCellViewInfo* CellViewInfo() const { return FCellViewInfo; }
    // The cell that linked itself; a cell it leaves forgets it.
    void LinkCellViewInfo(TvlCustomGridCellViewInfo* AViewInfo);

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
    bool FLinked = false;  // the cell knows this hit test (a copy's cell does not)
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

// Input of a view. The site hands it every mouse, keyboard, focus, scroll
// and drag event; the record views' controllers grow it.
class TvlCustomGridController : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    ~TvlCustomGridController() override;
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

    // ---- what the site hands on
    virtual void WndProc(TMessage& Message) { (void)Message; }
    virtual void BeforeKillFocus() {}
    // Around a paint of the view by its painter.
    virtual void BeforePaint() {}
    virtual void AfterPaint() {}
    virtual bool CanFocusOnClick(int X, int Y) const { (void)X; (void)Y; return true; }
    virtual bool MayFocus() const { return true; }
    virtual void DoEnter() {}
    virtual void DoExit() {}
    virtual TvlMouseWheelScrollingKind GetMouseWheelScrollingKind() const { return mwskNone; }
    virtual bool IsPixelScrollBar(TScrollBarKind AKind) const { (void)AKind; return false; }
    virtual TCursor GetCursor(int X, int Y);
    // A child of the view (an in-place editor) has the focus.
    virtual bool HasFocusedControls() const { return false; }
    virtual void InitScrollBarsParameters() {}
    virtual void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos)
    {
        (void)AScrollBarKind; (void)AScrollCode; (void)AScrollPos;
    }
    virtual void BeginDragAndDrop() {}
    virtual void DragAndDrop(const TPoint& P, bool& Accepted) { (void)P; (void)Accepted; }
    virtual void EndDragAndDrop(bool Accepted) { (void)Accepted; }
    virtual bool StartDragAndDrop(const TPoint& P) { (void)P; return false; }
    virtual void BeforeStartDrag() {}
    virtual bool CanDrag(int X, int Y) const { (void)X; (void)Y; return true; }
    virtual void DragDrop(TObject* Source, int X, int Y) { (void)Source; (void)X; (void)Y; }
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
    {
        (void)Source; (void)X; (void)Y; (void)State; (void)Accept;
    }
    virtual void DrawDragImage(TvlCanvas* ACanvas, const TRect& R) { (void)ACanvas; (void)R; }
    virtual void EndDrag(TObject* Target, int X, int Y) { (void)Target; (void)X; (void)Y; }
    virtual TPoint GetDragImagesSize() const { return TPoint{0, 0}; }
    virtual bool HasDragImages() const { return false; }
    virtual void StartDrag(TDragObject*& DragObject) { (void)DragObject; }
    virtual void KeyDown(uint16_t& Key, TShiftState Shift) { (void)Key; (void)Shift; }
    virtual void KeyPress(QChar& Key) { (void)Key; }
    virtual void KeyUp(uint16_t& Key, TShiftState Shift) { (void)Key; (void)Shift; }
    // The press goes to the cell under the pointer; moves and releases go
    // to the cell holding the site's mouse capture, else to the one under
    // the pointer.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseLeave() { HideHint(); }
    // False only for a hit test of another view.
    virtual bool CanHandleHitTest(const TvlCustomGridHitTest* AHitTest) const;

    // The site's scroll bars, recomputed even while the grid is locked.
    void UpdateScrollBars(bool AForced);
    // Keeps the focused record and item in view after a layout.
    void CheckCoordinates();
    virtual void DoCheckCoordinates() {}
    // The cell holding the site's mouse capture, if a cell does.
    TvlCustomGridCellViewInfo* MouseCaptureCellViewInfo() const;
    // The cell hint: the cell and its areas are kept while it shows.
    void ShowHint(const TRect& AHintArea, const TRect& ATextArea, TvlCustomGridViewCellViewInfo* ACell, TFont* AFont,
                  bool AMultiLine, const String& AText);
    void HideHint();
    TvlCustomGridViewCellViewInfo* HintCellViewInfo() const { return FHintCellViewInfo; }
    const TRect& HintArea() const { return FHintArea; }
    const TRect& HintTextArea() const { return FHintTextArea; }
    const String& HintText() const { return FHintText; }

private:
    std::unique_ptr<TvlCustomGridHitTest> hitTestAt(int X, int Y) const;
    bool FCustomization = false;
    bool FCheckingCoordinates = false;
    TRect FHintArea;
    TRect FHintTextArea;
    String FHintText;
    TvlCustomGridViewCellViewInfo* FHintCellViewInfo = nullptr;  // not owned
};

// ---- cell view infos -----------------------------------------------------------------------

// A hit-test class: makes a hit test of its class at a point, and names the
// class so that a hit test can be asked whether it is of it.
struct TvlGridHitTestClassRec {
    std::unique_ptr<TvlCustomGridHitTest> (*Create)(const TPoint& P);
    const std::type_info* Type;
};
using TvlGridHitTestClass = const TvlGridHitTestClassRec*;

template <class T>
TvlGridHitTestClass vlGridHitTestClass()
{
    static const TvlGridHitTestClassRec rec{
        [](const TPoint& P) -> std::unique_ptr<TvlCustomGridHitTest> { return vlGridHitTest<T>(P); }, &typeid(T)};
    return &rec;
}

// What a drop-down popup of a cell talks to: the cell that opened it.
class IvlCustomGridPopupOwner {
public:
    virtual ~IvlCustomGridPopupOwner() = default;
    // The popup closes when it loses its owner.
    virtual bool ClosePopupWhenNilOwner() = 0;
    // Where the popup opens (the owner control's client coordinates).
    virtual void GetOwnerBounds(TRect& R) = 0;
    virtual void PopupClosed() = 0;
};

// A drop-down window of a view, opened under the cell that owns it and
// telling it when it closes.
class TvlCustomGridPopup : public TvlCustomPopupWindow {
public:
    explicit TvlCustomGridPopup(TvlCustomGridView* AGridView);
    ~TvlCustomGridPopup() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridPopup"); }
    TvlCustomGridView* GridView() const { return FGridView; }
    IvlCustomGridPopupOwner* PopupOwner() const { return FPopupOwner; }
    // Losing the owner closes the popup when the owner asked for it.
    void SetPopupOwner(IvlCustomGridPopupOwner* Value);
    virtual void GetOwnerBounds(TRect& R);
    // Opens under the owner's bounds in the owner control.
    virtual void ShowPopup();
    void CloseUp() override;

private:
    TvlCustomGridView* FGridView;
    IvlCustomGridPopupOwner* FPopupOwner = nullptr;  // not owned
};

class TvlCustomGridCellPainter;
using TvlGridCellPainterClass = TvlGridClass<TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;

// One visible element of a view (a cell, a record, a header, a button):
// its bounds, params, text, borders, mouse state, hit test and paint. It
// never draws itself: a painter of its class does, for one paint.
//
// Cells are made by the layout objects and freed when the layout is made
// again. They are held by TvlGridCellViewInfoPtr, which runs
// BeforeDestruction while the cell is still whole.
class TvlCustomGridCellViewInfo : public TvlIUnknownObject,
                                  public IvlCustomGridPopupOwner,
                                  public IvlMouseTrackingCallerEx,
                                  public IvlCaptureOwner {
public:
    TvlCustomGridCellViewInfo();
    ~TvlCustomGridCellViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridCellViewInfo"); }
    // Takes over a visible popup left without owner by the cell this one
    // replaces. The factories call it right after construction.
    virtual void AfterConstruction();
    // Releases the hit test, the popup, the capture and the tracking.
    virtual void BeforeDestruction();

    // ---- fields
    bool Calculated() const { return FCalculated; }
    TAlignment AlignmentHorz = taLeftJustify;
    TvlAlignmentVert AlignmentVert = vaTop;
    TvlBorders Borders;
    bool IsDestroying() const { return FIsDestroying; }
    TvlCustomGridHitTest* LinkedHitTest() const { return FLinkedHitTest; }
    bool ParamsCalculated() const { return FParamsCalculated; }
    TvlGridCellMouseState State() const { return FState; }
    String Text;
    bool Visible = true;
    TRect Bounds;
    bool MultiLine = false;
    bool MultiLinePainting = false;
    TvlViewParams Params;

    // ---- IvlCaptureOwner, mouse tracking
    void CaptureLost() override;
    void MouseLeave() override;
    bool ContainsPoint(const TPoint& P) override { return HasPoint(P); }

    // ---- layout
    virtual void AfterCalculateBounds(TRect& R);
    virtual void ReadParamsFromCanvas(TvlCanvas* ACanvas);
    virtual void WriteParamsToCanvas(TvlCanvas* ACanvas);
    virtual void BeforeStateChange() {}
    virtual TRect CalculateClientBounds();
    virtual TRect CalculateContentBounds() { return ClientBounds(); }
    virtual int CalculateHeight() { return GetHeight(); }
    virtual int CalculateWidth() { return GetWidth(); }
    virtual bool CaptureMouseOnPress() { return false; }
    virtual void Click() {}
    // True: the handler drew the cell (or its background) itself.
    virtual bool DoCustomDraw(TvlCanvas* ACanvas) { (void)ACanvas; return false; }
    virtual bool DoCustomDrawBackground(TvlCanvas* ACanvas) { (void)ACanvas; return false; }
    virtual void DoCalculateParams();
    virtual void Invalidate();
    virtual bool CustomDraw(TvlCanvas* ACanvas);
    virtual bool CustomDrawBackground(TvlCanvas* ACanvas);
    virtual TvlGridCellMouseState GetActualState() { return FState; }
    virtual TAlignment GetAlignmentHorz() { return taLeftJustify; }
    virtual TvlAlignmentVert GetAlignmentVert() { return vaTop; }
    // Empty: the cell is not clipped.
    virtual void GetVisibleArea(TRect& R) { R = TRect(); }
    virtual const TBitmap* GetBackgroundBitmap() { return Params.Bitmap; }
    virtual void GetBorderBounds(TvlBorder ASide, TRect& R);
    virtual TColor GetBorderColor(TvlBorder ASide) { (void)ASide; return clDefault; }
    virtual TvlBorders GetBorders() { return TvlBorders(); }
    virtual int GetBorderWidth(TvlBorder ASide) { (void)ASide; return 0; }
    virtual TvlCanvas* GetCanvas() = 0;
    // The height of a cell around a text of ATextHeight; AParam is what the
    // caller passes on (a header passes its look-and-feel painter).
    virtual int GetCellHeight(int ATextHeight, const void* AParam) { (void)AParam; return ATextHeight + 4; }
    virtual int GetContentHeight() { return ContentBounds().Height(); }
    virtual int GetContentWidth() { return ContentBounds().Width(); }
    // The control whose canvas GetCanvas is; nullptr for a foreign canvas.
    virtual TvlControl* GetControl() { return nullptr; }
    virtual void GetFocusRectBounds(TRect& R);
    virtual int GetFocusRectWidth() { return 2; }
    virtual int GetHeight() { return Bounds.Height(); }
    virtual TvlGridHitTestClass GetHitTestClass() = 0;
    virtual bool UsesMouseStates() { return HasPopup(); }
    virtual bool HasPopup() { return GetPopup() != nullptr; }
    virtual bool HasFocusRect() { return false; }
    virtual bool NeedsPainting() { return GetVisible(); }
    virtual bool IsMouseCaptured();
    virtual bool CalculateMultiLine() { return false; }
    virtual bool CalculateMultiLinePainting() { return MultiLine; }
    virtual TvlGridCellPainterClass GetPainterClass();
    virtual void GetBounds(TRect& R) { R = Bounds; }
    virtual bool ShowEndEllipsis() { return false; }
    virtual void GetText(String& S) { S.clear(); }
    virtual void GetTextAreaBounds(TRect& R);
    virtual int GetTextAttributes(bool AForPainting);
    virtual int GetTextCellHeight(TvlCustomGridViewInfo* AGridViewInfo, const void* AParam);
    virtual void GetTextForPainting(String& S) { S = Text; }
    virtual bool IsTransparent() { return GetBackgroundBitmap() != nullptr; }
    virtual void GetViewParams(TvlViewParams& AParams) { (void)AParams; }
    virtual bool GetVisible() { return Visible; }
    virtual bool GetVisibleForHitTest() { return GetVisible(); }
    virtual int GetWidth() { return Bounds.Width(); }
    virtual bool HasBackground() { return true; }
    virtual bool HasCustomDraw() { return false; }
    virtual bool HasCustomDrawBackground() { return false; }
    virtual bool HasHitTestPoint(const TPoint& P) { return HasPoint(P); }
    virtual bool IsOwnHitTest(const TvlCustomGridHitTest* AHitTest);
    virtual void InitHitTest(TvlCustomGridHitTest* AHitTest);
    virtual bool InvalidateOnStateChange() { return true; }
    virtual void DoOffset(int DX, int DY);
    virtual void RestoreParams(const TvlViewParams& ASaved) { Params = ASaved; }
    virtual void SaveParams(TvlViewParams& ASaved) { ASaved = Params; }
    virtual void SetHeight(int Value) { Bounds.Bottom = Bounds.Top + Value; }
    virtual void SetMouseCapture(bool Value);
    virtual void SetWidth(int Value) { Bounds.Right = Bounds.Left + Value; }
    virtual void StateChanged(TvlGridCellMouseState APrevState);
    virtual void ShowPopup();

    // ---- IvlCustomGridPopupOwner and popups
    void PopupClosed() override { SetState(gcmsNormal); }
    bool ClosePopupWhenNilOwner() override { return true; }
    virtual bool IsPopupOwner() { return false; }
    virtual TvlCustomGridPopup* GetPopup() { return nullptr; }
    void GetOwnerBounds(TRect& R) override { R = Bounds; }
    virtual bool PopupHasNoOwner();

    // ---- calculation
    virtual void AfterRecalculation() {}
    virtual void BeforeRecalculation();
    // -1 for a size takes the natural one.
    virtual void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1);
    // An inverted rectangle gives a cell of no size.
    virtual void CalculateRect(const TRect& R);
    virtual void GetPaintBounds(TRect& R) { R = Bounds; }
    virtual int GetBestFitWidth();
    virtual std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P);
    virtual bool HasPoint(const TPoint& P);
    virtual void Update() { Invalidate(); }
    // True: the cell took the press (or move, or release).
    virtual bool MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
    virtual bool MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift);
    virtual bool MouseUp(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
    // Draws on ACanvas, by default the cell's own.
    virtual void Paint(TvlCanvas* ACanvas = nullptr);

    // ---- non-virtual
    int BorderSize(TvlBorder ASide);
    TvlButtonState ButtonState() const { return GridCellStateToButtonState(FState); }
    TRect ClientBounds();
    TRect ContentBounds();
    void GetTextBounds(TRect& R) { AlignText(true, true, R); }
    int TextHeight() { return CalculateTextHeight(false, 0); }
    int TextHeightWithOffset() { return TextHeight() + 4; }
    int TextWidth() { return CalculateTextWidth(0); }
    int TextWidthWithOffset() { return TextWidth() + 4; }
    void SetLinkedHitTest(TvlCustomGridHitTest* AHitTest);
    // The linked hit test goes.
    void HitTestGone(const TvlCustomGridHitTest* AHitTest)
    {
        if (FLinkedHitTest == AHitTest)
            FLinkedHitTest = nullptr;
    }
    void SetState(TvlGridCellMouseState Value);
    int CalculateTextWidth(int AAngle);
    int CalculateTextHeight(bool AForPainting, int AAngle);
    void CalculateParams();
    void ResetParams() { FParamsCalculated = false; }
    void GetHitAreaBounds(TRect& R);
    void AlignText(bool AHorz, bool AVert, TRect& R);
    // Moves a calculated cell without calculating it again.
    void Offset(int DX, int DY);
    void Recalculate();
    void ResetCachedBounds();
    void RecalculateAndUpdate()
    {
        Recalculate();
        Update();
    }

protected:
    void SetIsDestroying() { FIsDestroying = true; }

private:
    void releaseLinks();
    bool FCalculated = false;
    bool FIsCalculatingParams = false;
    bool FIsDestroying = false;
    bool FParamsCalculated = false;
    TvlGridCellMouseState FState = gcmsNormal;
    TvlCustomGridHitTest* FLinkedHitTest = nullptr;  // not owned
    TRect FCachedClientBounds;
    TRect FCachedContentBounds;
    bool FHasCachedClientBounds = false;
    bool FHasCachedContentBounds = false;
};

// Frees a cell after its BeforeDestruction.
struct TvlGridCellViewInfoDeleter {
    void operator()(TvlCustomGridCellViewInfo* ACell) const
    {
        if (ACell == nullptr)
            return;
        ACell->BeforeDestruction();
        delete ACell;
    }
};
template <class T = TvlCustomGridCellViewInfo>
using TvlGridCellViewInfoPtr = std::unique_ptr<T, TvlGridCellViewInfoDeleter>;

// Makes a cell of class T and runs its AfterConstruction.
template <class T, class... Args>
TvlGridCellViewInfoPtr<T> vlGridCreateCell(Args&&... AArgs)
{
    TvlGridCellViewInfoPtr<T> result(new T(std::forward<Args>(AArgs)...));  // owned by the holder from here
    result->AfterConstruction();
    return result;
}

// A cell of a grid view: it draws on the view's site and reports through
// the view's layout object, and shows a hint for a text it cuts.
class TvlCustomGridViewCellViewInfo : public TvlCustomGridCellViewInfo {
public:
    explicit TvlCustomGridViewCellViewInfo(TvlCustomGridViewInfo* AGridViewInfo);
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewCellViewInfo"); }
    TvlCustomGridViewInfo* GridViewInfo() const { return FGridViewInfo; }
    void BeforeDestruction() override;

    void AfterCalculateBounds(TRect& R) override;
    void Invalidate() override;
    TvlCanvas* GetCanvas() override;
    TvlControl* GetControl() override;
    bool IsOwnHitTest(const TvlCustomGridHitTest* AHitTest) override;
    void InitHitTest(TvlCustomGridHitTest* AHitTest) override;
    void BeforeRecalculation() override;
    void Update() override;
    bool MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift) override;

    // A cell made under a still pointer shows its hot state at once.
    virtual bool CheckHotTrackAfterCalculate() { return false; }
    virtual bool HasHint() { return false; }
    virtual void GetHintAreaBounds(TRect& R) { GetVisibleArea(R); }
    virtual void GetHintTextAreaBounds(TRect& R) { GetTextAreaBounds(R); }
    virtual void GetHintText(String& S) { S = Text; }
    virtual void GetHintTextRect(const TPoint& P, TRect& R)
    {
        (void)P;
        GetTextAreaBounds(R);
    }
    virtual bool IsHintPoint(const TPoint& P);
    virtual void GetHintParams(const TPoint& P, String& AText, TRect& ATextRect, bool& AIsMultiLine);
    // Only a text the cell cuts shows a hint.
    virtual bool IsHintForText() { return true; }
    virtual bool IsHintMultiLine() { return MultiLinePainting; }
    virtual bool NeedShowHint(const TPoint& P, String& AText, TRect& ATextRect, bool& AIsMultiLine);

    TvlCustomGridController* Controller() const;
    TvlCustomGridView* GridView() const;
    TvlLookAndFeelPainterClass LookAndFeelPainter() const;
    void UpdateHint(TvlCustomGridHitTest* AHitTest);
    void GetVisibleTextAreaBounds(TRect& R);

private:
    TvlCustomGridViewInfo* FGridViewInfo;  // not owned
};

// ---- painters ------------------------------------------------------------------------------

// Draws one cell on a canvas for the length of one paint.
class TvlCustomGridCellPainter : public TObject {
public:
    TvlCustomGridCellPainter(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo) : FCanvas(ACanvas), FViewInfo(AViewInfo) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridCellPainter"); }
    TvlCanvas* Canvas() const { return FCanvas; }
    TvlCustomGridCellViewInfo* ViewInfo() const { return FViewInfo; }

    virtual void AfterPaint();
    virtual void BeforePaint() {}
    virtual bool CanDrawFocusRect() { return true; }
    virtual void ExcludeFromClipping();
    virtual void DrawBackground();
    virtual void DrawBackgroundRect(const TRect& R);
    // Tiles the cell's background bitmap over R; false without one.
    virtual bool DrawBitmapBackground(TvlCanvas* ACanvas, const TRect& R);
    virtual void DrawBorder(TvlBorder ASide);
    virtual void DrawBorders();
    virtual void DrawContent();
    virtual void DrawFocusRect(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo);
    virtual void DrawText();
    virtual bool NeedsExcludeFromClipping() { return false; }
    // The cell is calculated and reaches into the clip region.
    virtual bool CanPaint();
    virtual void Paint();
    virtual void PrepareCanvasForDrawText() {}
    virtual void UnprepareCanvasForDrawText() {}
    // Only on the cell's own canvas: a copy (printing, a drag image) gets
    // no focus rectangles.
    virtual void DrawFocusRectIfNeeded(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo);
    void MainPaint();
    bool IsCellCanvas() const;

private:
    TvlCanvas* FCanvas;                     // not owned
    TvlCustomGridCellViewInfo* FViewInfo;  // not owned
};

// Paints a whole view on its site: the parts first, then the background
// wherever no part covered it.
class TvlCustomGridPainter : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    ~TvlCustomGridPainter() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridPainter"); }
    virtual void DrawBackground();
    virtual void AfterPaint();
    virtual void BeforePaint();
    virtual void PaintContent() {}
    // The view's focus rectangle; without the focus a dotted inverted frame
    // unless AHideFocusRect.
    virtual void DrawFocusRect(const TRect& R, bool AHideFocusRect);

    // The canvas painted on: the one given to Paint, else the site's.
    TvlCanvas* Canvas() const;
    TvlCustomGridViewInfo* ViewInfo() const;
    void ExcludeFromBackground(const TRect& R);
    // Both may be nullptr: the site's canvas and the view's layout.
    void Paint(TvlCanvas* ACanvas, TvlCustomGridViewInfo* AViewInfo);
    virtual void Invalidate();
    virtual void InvalidateRect(const TRect& R);
    virtual void InvalidateRegion(const TvlRegion* ARegion);
    // The font of the canvas painted on, for a view without a grid.
    TFont* CanvasFont() const { return FCanvasFont.get(); }
    // Exist only between BeforePaint and AfterPaint.
    TvlRegion* BackgroundRegion() const { return FBackgroundRegion.get(); }

private:
    std::unique_ptr<TFont> FCanvasFont = std::make_unique<TFont>();
    TvlCanvas* FPaintCanvas = nullptr;              // not owned
    TvlCustomGridViewInfo* FPaintViewInfo = nullptr;  // not owned
    std::unique_ptr<TvlRegion> FBackgroundRegion;
    std::unique_ptr<TvlRegion> FBeforePaintClipRegion;
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
    // The data controller has no rows.
    virtual bool IsEmpty() const;
    // The view that shows ALevel inside this view's current master row.
    virtual TvlCustomGridView* GetViewForLevel(TvlGridLevel* ALevel) const { (void)ALevel; return nullptr; }
};

// ---- the view's layout ------------------------------------------------------------------------

class TvlGridSite;
using TvlGridSiteClass = TvlGridClass<TvlGridSite, TvlCustomGridViewInfo*>;

// The layout of a view: it owns the view's site, places it, runs the
// calculation in a fixed order, and decides whether the site is in its
// parent, out of it or parked out of sight.
class TvlCustomGridViewInfo : public TvlGridViewHandler {
public:
    // Where a hidden site that must stay in its parent waits.
    static constexpr int ParkedSiteLeft = 30000;

    explicit TvlCustomGridViewInfo(TvlCustomGridView* AGridView);
    ~TvlCustomGridViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewInfo"); }
    // The view calls these right after making and before freeing the
    // object: they make and free the site and the cells.
    virtual void AfterConstruction();
    virtual void BeforeDestruction();

    virtual void CreateViewInfos() {}
    virtual void DestroyViewInfos(bool AIsRecreating) { (void)AIsRecreating; }
    virtual void RecreateViewInfos();
    virtual bool IsSiteRemovable();
    virtual TvlGridSiteClass GetSiteClass() const;
    // The site asks for its client rectangle and its horizontal scroll bar.
    virtual void AdjustClientBounds(TRect& R) { (void)R; }
    virtual void AdjustHScrollBarBounds(TRect& R) { (void)R; }
    virtual void AfterCalculate();
    virtual void BeforeCalculate() { UpdateMousePos(); }
    virtual void Calculate() {}
    virtual void GetDefaultClientBounds(TRect& R) { R = FBounds; }
    virtual void CalculateNaturalHeight(const TSize& AAvailableSize, int& AHeight, bool& AFullyVisible);
    virtual void CalculateNaturalWidth(int AMaxWidth, int& AWidth);
    virtual bool CanCheckCoordinates() { return !IsInternal() && AllowCheckCoordinates; }
    virtual void VisibilityChanged(bool AVisible) { (void)AVisible; }
    virtual std::unique_ptr<TvlCustomGridHitTest> GetNoneHitTest(const TPoint& P);
    // No calculation and no site-visibility update of this view is running.
    virtual bool CanCalculateNow() { return !FIsCalculating && !FIsUpdatingSiteVisibility; }
    virtual const TBitmap* GetBackgroundBitmap();
    virtual TColor GetBackgroundColor();
    virtual bool IsInternalUse() { return IsInternalUseFlag; }
    virtual bool CanUpdateSite();
    virtual void InitHitTest(TvlCustomGridHitTest* AHitTest);
    virtual void UpdateSiteVisibility(bool AVisible);
    virtual std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P);
    std::unique_ptr<TvlCustomGridHitTest> GetHitTestXY(int X, int Y) { return GetHitTest(TPoint{X, Y}); }

    bool AllowCheckCoordinates = true;
    bool CanRemoveSite = true;
    bool IsInternalUseFlag = false;
    const TRect& Bounds() const { return FBounds; }
    bool IsCalculating() const { return FIsCalculating; }
    bool IsCalculatingNaturalSize() const { return FIsCalculatingNaturalSize; }
    bool IsUpdatingSiteVisibility() const { return FIsUpdatingSiteVisibility; }
    // The last pointer position in the site; (MaxInt, MaxInt) when unknown.
    const TPoint& MousePos() const { return FMousePos; }
    TvlGridSite* Site() const { return FSite.get(); }
    // The site's bounds in its parent.
    TRect GetSiteBounds() const;

    void AddHScrollBarHeight(int& AHeight);
    bool IsCalculated() const { return !FBounds.IsEmpty(); }
    TvlCanvas* Canvas() const;
    void ClientBounds(TRect& R);
    int ClientHeight();
    int ClientWidth();
    bool IsInternal();
    void SetClientBounds(const TRect& R);
    void CreateSite();
    void DestroySite();
    TWinControl* GetSiteParent() const;
    // Cells whose destruction a caller watches across a call that may
    // recalculate the layout.
    void AddGuardedCell(TvlCustomGridCellViewInfo* ACell) { FGuardedCells.push_back(ACell); }
    bool IsCellAlive(const TvlCustomGridCellViewInfo* ACell) const;
    void RemoveGuardedCell(const TvlCustomGridCellViewInfo* ACell, bool AAll);
    void UpdateMousePos();
    void CheckSiteVisibility(bool AVisible);
    // The height of "Qq" in AFont.
    int GetFontHeight(const TFont* AFont);
    void GetNaturalHeight(const TSize& AAvailableSize, int& AHeight, bool& AFullyVisible);
    void GetNaturalWidth(int AMaxWidth, int& AWidth);
    // Lays the view out in R of its parent; a call during a calculation
    // does nothing.
    void MainCalculate(const TRect& R);
    void Recalculate();

private:
    std::vector<TvlCustomGridCellViewInfo*> FGuardedCells;  // not owned
    TRect FBounds;
    TRect FClientBoundsOverride;
    bool FIsClientBoundsOverridden = false;
    bool FIsCalculating = false;
    TPoint FMousePos;
    std::unique_ptr<TvlGridSite> FSite;
    bool FIsCalculatingNaturalSize = false;
    bool FIsUpdatingSiteVisibility = false;
};

// A value a record layout keeps between calculations.
class TvlCustomGridViewInfoCacheItem : public TObject {
public:
    TvlCustomGridViewInfoCacheItem(TvlCustomGridViewInfoCache* AOwner, int AIndex) : FOwner(AOwner), FIndex(AIndex) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewInfoCacheItem"); }
    TvlCustomGridViewInfoCache* Owner() const { return FOwner; }
    int Index() const { return FIndex; }
    virtual void UnassignValues(bool AKeepMaster) { (void)AKeepMaster; }

private:
    TvlCustomGridViewInfoCache* FOwner;
    int FIndex;
};
using TvlCustomGridViewInfoCacheItemClass =
    TvlGridClass<TvlCustomGridViewInfoCacheItem, TvlCustomGridViewInfoCache*, int>;

class TvlCustomGridTableViewInfoCacheItem : public TvlCustomGridViewInfoCacheItem {
public:
    using TvlCustomGridViewInfoCacheItem::TvlCustomGridViewInfoCacheItem;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableViewInfoCacheItem"); }
    int Height() const { return FHeight; }
    bool IsHeightAssigned() const { return FIsHeightAssigned; }
    virtual void SetHeight(int Value)
    {
        FHeight = Value;
        FIsHeightAssigned = true;
    }
    void UnassignValues(bool AKeepMaster) override;
    // The view data's record at Index.
    TvlCustomGridRecord* GridRecord() const;

private:
    int FHeight = 0;
    bool FIsHeightAssigned = false;
};

// One item per record index, made on first use.
class TvlCustomGridViewInfoCache : public TvlGridViewHandler {
public:
    using TvlGridViewHandler::TvlGridViewHandler;
    ~TvlCustomGridViewInfoCache() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridViewInfoCache"); }
    virtual TvlCustomGridViewInfoCacheItemClass GetItemClass(int AIndex) = 0;
    // The values go stale; without AKeepMaster also the master rows' of
    // every master level.
    virtual void UnassignValues(bool AKeepMaster);
    int Count() const { return int(FItems.size()); }
    TvlCustomGridViewInfoCacheItem* GetItemIfExists(int AIndex) const;
    TvlCustomGridViewInfoCacheItem* GetItem(int AIndex);
    // Frees every item; N empty entries.
    void SetCount(int N);
    void ClearItems() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TvlCustomGridViewInfoCacheItem>> FItems;
    bool FIsUnassigningValues = false;
};

class TvlCustomGridTableViewInfoCache : public TvlCustomGridViewInfoCache {
public:
    using TvlCustomGridViewInfoCache::TvlCustomGridViewInfoCache;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableViewInfoCache"); }
    TvlCustomGridViewInfoCacheItemClass GetItemClass(int AIndex) override;
};

// ---- the site ------------------------------------------------------------------------------

// The window of one view. It holds no grid logic: it paints through the
// view's painter, measures through its layout and hands its input to the
// view's controller. It decides when a size change is taken, when its
// scroll bars are updated, its tab stop, and where the focus goes when it
// leaves its parent.
class TvlGridSite : public TvlControl {
public:
    explicit TvlGridSite(TvlCustomGridViewInfo* AViewInfo);
    ~TvlGridSite() override;
    String ClassName() const override { return String::fromLatin1("TvlGridSite"); }

    TvlCustomGridViewInfo* ViewInfo() const { return FViewInfo; }
    TvlCustomGridView* GridView() const;
    TvlCustomGridController* Controller() const;
    TvlCustomGridPainter* Painter() const;
    TvlCustomGrid* GridControl() const;
    // Set by the controller around a forced update.
    bool ForceUpdateScrollBars = false;
    int LastClientWidth() const { return FLastClientWidth; }
    int LastClientHeight() const { return FLastClientHeight; }
    // Nullptr when no size change waits for its retry.
    TvlTimer* SizeChangeTimer() const { return FSizeChangeTimer.get(); }

    void SetParent(TWinControl* AParent) override;
    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetFocus() override;
    TRect GetClientBounds() const override;
    TRect GetHScrollBarBounds() const override;
    void UpdateScrollBars() override;
    bool IsFocused() const override;
    bool IsDesigning() const override;
    bool MayFocus() const;
    bool IsParked() const { return Left() == TvlCustomGridViewInfo::ParkedSiteLeft; }

protected:
    void Paint() override;
    void BeforeMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    TCursor GetCurrentCursor(int X, int Y) const override;
    TvlMouseWheelScrollingKind GetMouseWheelScrollingKind() const override;
    bool CanFocusOnClick() const override;
    void InitScrollBarsParameters() override;
    bool IsPixelScrollBar(TScrollBarKind AKind) const override;
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    bool AllowAutoDragAndDropAtDesignTime(int X, int Y, TShiftState Shift) const override;
    void DrawDragImage(TvlCanvas* ACanvas, const TRect& R) override;
    TPoint GetDragImagesSize() const override;
    bool HasDragImages() const override;
    bool AllowMouseDownWithoutFocus() const override;
    void BoundsChanged() override;
    using TvlControl::BoundsChanged;
    bool CanDrag(int X, int Y) const override;
    void CancelMouseOperations() override;
    void DoEnter() override;
    void DoExit() override;
    void FocusChanged() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void MouseLeave(TControl* AControl) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    void DoStartDrag(TDragObject*& DragObject) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const TPoint& P, bool& Accepted) override;
    void EndDragAndDrop(bool Accepted) override;
    bool StartDragAndDrop(const TPoint& P) override;
    void DestroyWidget() override;

    void RetrySizeChange(TObject* Sender);
    void FreeSizeChangeTimer() { FSizeChangeTimer.reset(); }
    void UpdateTabStop(TWinControl* AParent);
    void StartSizeChangeTimer();
    void UpdateLastClientSize();

private:
    TvlCustomGridViewInfo* FViewInfo;  // not owned: it owns the site
    std::unique_ptr<TvlTimer> FSizeChangeTimer;
    int FLastClientWidth = 0;
    int FLastClientHeight = 0;
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
    // The site is a tab stop when Value and the grid is one.
    void SetSiteTabStop(bool Value);
    // Right before the site's window goes: an in-place editor's value is
    // kept (the table views do it).
    virtual void CommitEditing() {}
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
