// vlGridCustomTableViewInfo.h - the layout of the record views: record cells
// and data cells drawn through their editors, records and the records area
// that scrolls by whole records, the parts along the edges (filter box), the
// navigator strip, and the record view's layout object and painter.
#pragma once
#include <memory>
#include <vector>

#include "ui/grid/vlGridCustomTableView.h"

class TvlCustomGridTableController;
class TvlCustomGridTableViewInfo;
class TvlCustomGridRecordsViewInfo;
class TvlCustomGridRecordViewInfo;
class TvlGridTableDataCellViewInfo;
class TvlGridFilterViewInfo;
class TvlGridFilterButtonsViewInfo;
class TvlNavigatorSiteViewInfo;
class TvlCustomGridPartViewInfo;

// ---- controllers ---------------------------------------------------------------------------

// Shows, places and removes the in-place editors of a record view. Until
// the editors are hosted nothing is ever edited: every request is taken
// and does nothing, so the cells' click rules run as they will.
class TvlGridEditingController : public TObject {
public:
    explicit TvlGridEditingController(TvlCustomGridTableController* AController) : FController(AController) {}
    String ClassName() const override { return String::fromLatin1("TvlGridEditingController"); }
    TvlCustomGridTableController* Controller() const { return FController; }
    virtual bool IsEditing() const { return false; }
    virtual TvlCustomGridTableItem* EditingItem() const { return nullptr; }
    // An editor is being made visible right now.
    virtual bool IsEditShowing() const { return false; }
    virtual void ShowEdit(TvlCustomGridTableItem* AItem) { (void)AItem; }
    virtual void ShowEditByMouse(TvlCustomGridTableItem* AItem, TShiftState AShift, int X, int Y)
    {
        (void)AItem; (void)AShift; (void)X; (void)Y;
    }
    // The delayed activation of a second click on a focused cell.
    virtual void StartEditShowingTimer(TvlCustomGridTableItem* AItem) { (void)AItem; }
    // The edited cell moved or changed.
    virtual void PlaceEdit() {}
    virtual void UpdateEdit() {}
    // Around a calculation of the records area.
    virtual void BeforeViewInfoCalculate() {}
    virtual void AfterViewInfoCalculate() {}

private:
    TvlCustomGridTableController* FController;
};

using TvlGridEditingControllerClass = TvlGridClass<TvlGridEditingController, TvlCustomGridTableController*>;

// The controller of a record view, with what its layout objects ask of it:
// the editing controller, the top record, the pressed cell, the
// incremental search and the focus moves of a click. Navigation, keyboard
// and selection grow it.
class TvlCustomGridTableController : public TvlCustomGridController {
public:
    explicit TvlCustomGridTableController(TvlCustomGridView* AGridView);
    ~TvlCustomGridTableController() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableController"); }
    TvlCustomGridTableView* GridView() const;
    TvlGridEditingController* EditingController() const { return FEditingController.get(); }
    TvlCustomGridTableItem* EditingItem() const { return FEditingController->EditingItem(); }
    bool IsEditing() const { return FEditingController->IsEditing(); }

    int TopRecordIndex() const { return FTopRecordIndex; }
    void SetTopRecordIndex(int Value) { FTopRecordIndex = Value; }
    virtual void SetFocusedRecord(TvlCustomGridRecord* ARecord);
    virtual bool IsIncSearching() const { return false; }
    virtual TvlCustomGridTableItem* IncSearchingItem() const { return nullptr; }
    virtual String IncSearchingText() const { return String(); }
    // The editor check runs after the next paint instead of now.
    virtual void PostponeCheckEdit() {}
    virtual void BeforeViewInfoCalculate() { FEditingController->BeforeViewInfoCalculate(); }
    virtual void AfterViewInfoCalculate() { FEditingController->AfterViewInfoCalculate(); }

    // The data cell a press went to, until its release or its destruction.
    TvlGridTableDataCellViewInfo* PressedCellViewInfo() const { return FPressedCellViewInfo; }
    void SetPressedCellViewInfo(TvlGridTableDataCellViewInfo* Value) { FPressedCellViewInfo = Value; }
    // A press asked for the editor on its release.
    bool EditorShowOnMouseUp = false;
    // Off while a cell's press runs: the always-shown editor is not checked.
    bool AllowCheckEdit = true;

protected:
    virtual TvlGridEditingControllerClass GetEditingControllerClass() const;
    // A descendant whose getter names another class calls it from its
    // constructor.
    void recreateEditingController();

private:
    std::unique_ptr<TvlGridEditingController> FEditingController;
    TvlGridTableDataCellViewInfo* FPressedCellViewInfo = nullptr;  // not owned
    int FTopRecordIndex = 0;
};

// ---- record cells and data cells -----------------------------------------------------------

// A cell of a record: the record's data cells and, in the table view, its
// expand button, group and details cells.
class TvlGridTableCellViewInfo : public TvlCustomGridViewCellViewInfo {
public:
    explicit TvlGridTableCellViewInfo(TvlCustomGridRecordViewInfo* ARecordViewInfo);
    String ClassName() const override { return String::fromLatin1("TvlGridTableCellViewInfo"); }
    TvlCustomGridRecordViewInfo* RecordViewInfo() const { return FRecordViewInfo; }

    TvlCanvas* GetCanvas() override;
    TvlGridHitTestClass GetHitTestClass() override;
    bool IsTransparent() override;
    void InitHitTest(TvlCustomGridHitTest* AHitTest) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    // The record takes the press first (it may focus the record and rebuild
    // the layout); the cell's own press runs only while it still lives.
    bool MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;

    virtual bool CalculateSelected();
    virtual bool SelectedWithRecord() { return false; }
    virtual bool CanBeSelected() { return false; }

    TvlCustomGridTableViewInfoCacheItem* CacheItem() const;
    TvlCustomGridTableController* Controller() const;
    TvlCustomGridTableView* GridView() const;
    TvlCustomGridRecord* GridRecord() const;
    bool IsSelected();
    TvlCustomGridTableViewInfo* RecordGridViewInfo() const;

protected:
    // The cell's own press, without its record's.
    bool cellMouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);

private:
    TvlCustomGridRecordViewInfo* FRecordViewInfo;  // not owned: it owns the cell
    bool FSelected = false;
    bool FSelectedCalculated = false;
};

// The value of one item in one record, laid out, measured and drawn by the
// item's editor; colours and font come from the view's styles.
class TvlGridTableDataCellViewInfo : public TvlGridTableCellViewInfo {
public:
    TvlGridTableDataCellViewInfo(TvlCustomGridRecordViewInfo* ARecordViewInfo, TvlCustomGridTableItem* AItem);
    ~TvlGridTableDataCellViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlGridTableDataCellViewInfo"); }
    void BeforeDestruction() override;

    TvlCustomGridTableItem* Item() const { return FItem; }
    TvlCustomEditViewInfo* EditViewInfo() const { return FEditViewInfo.get(); }
    // Exists only inside a calculation bracket.
    TvlCustomEditViewData* EditViewData() const { return FEditViewData; }
    bool IsLocalCopyOfEditViewData() const { return FIsLocalCopyOfEditViewData; }
    bool WasFocusedBeforeClick() const { return FWasFocusedBeforeClick; }

    void MouseLeave() override;
    void ReadParamsFromCanvas(TvlCanvas* ACanvas) override;
    void WriteParamsToCanvas(TvlCanvas* ACanvas) override;
    int CalculateHeight() override;
    bool DoCustomDraw(TvlCanvas* ACanvas) override;
    void DoCalculateParams() override;
    void GetVisibleArea(TRect& R) override;
    TvlGridHitTestClass GetHitTestClass() override;
    bool UsesMouseStates() override;
    bool CalculateMultiLine() override;
    TvlGridCellPainterClass GetPainterClass() override;
    bool ShowEndEllipsis() override;
    void GetText(String& S) override;
    void GetViewParams(TvlViewParams& AParams) override;
    bool HasCustomDraw() override;
    void InitHitTest(TvlCustomGridHitTest* AHitTest) override;
    bool InvalidateOnStateChange() override { return false; }
    void DoOffset(int DX, int DY) override;
    void RestoreParams(const TvlViewParams& ASaved) override;
    void SaveParams(TvlViewParams& ASaved) override;
    void StateChanged(TvlGridCellMouseState APrevState) override;
    void BeforeRecalculation() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    bool MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift) override;
    bool MouseUp(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool HasHint() override;
    void GetHintTextAreaBounds(TRect& R) override { R = ContentBounds(); }
    bool NeedShowHint(const TPoint& P, String& AText, TRect& ATextRect, bool& AIsMultiLine) override;
    bool CalculateSelected() override;
    bool CanBeSelected() override { return true; }
    void Update() override;
    // With ARecalculate the cell is laid out again before it is repainted.
    void Update(bool ARecalculate);

    virtual void CalculateEditViewInfo(TvlCustomEditViewInfo* AEditViewInfo, const TPoint& AMousePos);
    virtual bool CanShowEditorOnMouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
    virtual bool IsEditorHotSpot(TvlCustomGridHitTest* AHitTest);
    virtual bool CanShowEditor() { return true; }
    virtual bool IsAutoHeight();
    virtual void GetDisplayValue(Variant& V);
    virtual void GetEditBoundsForHint(TRect& R);
    virtual void GetEditBounds(TRect& R) { R = ContentBounds(); }
    virtual void GetEditContentOffset(TRect& R) { R = TRect{1, 1, 1, 1}; }
    virtual bool IsFocusedCell();
    virtual int GetMaxLineCount();
    virtual void GetValue(Variant& V);
    virtual bool ShowFocusRect();
    virtual void InitIncSearchSelection();
    virtual bool IsIncSearchCell();
    virtual bool CanHaveZeroHeight() { return false; }
    virtual bool HintForEditor();
    virtual bool HasItemHint();
    virtual bool UseBaseHint() { return false; }
    virtual void InitStyle();

    bool IsEditing();
    TPoint GetMousePos() const;
    TvlCustomEditProperties* GetProperties();
    bool IsFocusedRecordCell();
    void CreateEditViewInfo();
    void BeginEditViewData();
    void EndEditViewData();
    void UpdateEditorBounds();
    void GetCellPos(TvlInplaceEditParams& APos);
    void UpdateEditHotTrack(const TPoint& P);
    void UpdateEditorAfterHotTrack();

private:
    TvlCustomGridTableItem* FItem;                     // not owned
    TvlCustomEditProperties* FProperties = nullptr;    // not owned
    std::unique_ptr<TvlCustomEditViewInfo> FEditViewInfo;
    TvlCustomEditStyle* FStyle = nullptr;               // the item's, one use counted
    TvlCustomEditViewData* FEditViewData = nullptr;    // the item's shared one, or FLocalEditViewData
    std::unique_ptr<TvlCustomEditViewData> FLocalEditViewData;
    bool FIsLocalCopyOfEditViewData = false;
    bool FWasFocusedBeforeClick = false;
};

// Draws a data cell through its editor, then the focused cell's frame.
class TvlGridTableDataCellPainter : public TvlCustomGridCellPainter {
public:
    using TvlCustomGridCellPainter::TvlCustomGridCellPainter;
    String ClassName() const override { return String::fromLatin1("TvlGridTableDataCellPainter"); }
    TvlGridTableDataCellViewInfo* ViewInfo() const;
    void DrawContent() override;
    void Paint() override;
    using TvlCustomGridCellPainter::DrawFocusRect;
    virtual void DrawFocusRect();
};

// ---- records and the records area ------------------------------------------------------------

// The layout of one record: its bounds, its expand button and its cells.
class TvlCustomGridRecordViewInfo : public TvlCustomGridViewCellViewInfo {
public:
    TvlCustomGridRecordViewInfo(TvlCustomGridRecordsViewInfo* ARecordsViewInfo, TvlCustomGridRecord* ARecord);
    ~TvlCustomGridRecordViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridRecordViewInfo"); }

    TvlCustomGridRecordsViewInfo* RecordsViewInfo() const { return FRecordsViewInfo; }
    TvlCustomGridRecord* GridRecord() const { return FRecord; }
    TRect ExpandButtonBounds;
    bool IsRecordViewInfoAssigned() const { return FIsRecordViewInfoAssigned; }

    const TBitmap* GetBackgroundBitmap() override;
    TvlCanvas* GetCanvas() override;
    TvlGridHitTestClass GetHitTestClass() override;
    bool GetVisible() override;
    void InitHitTest(TvlCustomGridHitTest* AHitTest) override;
    void DoOffset(int DX, int DY) override;
    void BeforeRecalculation() override;
    int GetHeight() override;
    std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P) override;
    bool MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    TvlGridCellPainterClass GetPainterClass() override;

    virtual void PlaceExpandButton(TRect& R) = 0;
    virtual bool CalculateSelected();
    virtual bool HasExpandButtonHitTest() { return true; }
    virtual void VisibilityChanged(bool AVisible) { (void)AVisible; }
    virtual bool IsAutoHeight() { return false; }
    virtual void BackgroundBitmapRect(TRect& R) { BitmapRect(R); }
    virtual bool CellUsesRowBitmap(TvlGridTableCellViewInfo* ACell) { (void)ACell; return IsTransparent(); }
    virtual void BitmapRect(TRect& R) { R = Bounds; }
    virtual void GetExpandButtonAreaBounds(TRect& R) { R = TRect(); }
    virtual void FocusFrameRect(TRect& R) { R = Bounds; }
    virtual bool IsFullyVisible();
    virtual bool HideFocusRectOnExit();
    virtual bool ShowFocusRect();
    virtual bool IsRecordHitTest(TvlCustomGridHitTest* AHitTest);
    virtual bool ShowsDetailView(TvlCustomGridView* AView) { (void)AView; return false; }
    virtual void DetailsNotification(int AParam) { (void)AParam; }
    virtual bool HandleClick(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
    virtual void InvalidationRect(TvlCustomGridTableItem* AItem, TRect& R);
    virtual void CellInvalidationRect(TvlCustomGridTableItem* AItem, TRect& R) { (void)AItem; R = TRect(); }
    virtual void CalculateAt(int ALeft, int ATop);
    virtual bool ProcessDialogChar(QChar AKey) { (void)AKey; return false; }
    // The data cell of AItem, when the record has one.
    virtual TvlGridTableDataCellViewInfo* GetCellViewInfoByItem(TvlCustomGridTableItem* AItem) { (void)AItem; return nullptr; }

    TvlCustomGridTableViewInfoCacheItem* CacheItem();
    bool IsExpanded();
    bool IsRecordFocused();
    TvlCustomGridTableView* GridView() const;
    TvlCustomGridTableViewInfo* RecordGridViewInfo() const;
    int Index() const;
    bool IsSelected();
    void ResetSelected() { FSelectedCalculated = false; }

private:
    TvlCustomGridRecordsViewInfo* FRecordsViewInfo;  // not owned: its owner
    TvlCustomGridRecord* FRecord;                     // not owned
    bool FExpanded = false;
    bool FExpandedCalculated = false;
    bool FSelected = false;
    bool FSelectedCalculated = false;
    bool FIsRecordViewInfoAssigned = false;
};

class TvlCustomGridRecordsViewInfo;
using TvlCustomGridRecordsViewInfoClass = TvlGridClass<TvlCustomGridRecordsViewInfo, TvlCustomGridTableViewInfo*>;
class TvlCustomGridRecordsPainter;
using TvlCustomGridRecordsPainterClass =
    TvlGridClass<TvlCustomGridRecordsPainter, TvlCanvas*, TvlCustomGridRecordsViewInfo*>;

// The records area: one record layout per displayed record, from the first
// displayed one on, made on demand; scrolling by records keeps the layouts
// of the records that stay.
class TvlCustomGridRecordsViewInfo : public TObject {
public:
    explicit TvlCustomGridRecordsViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo);
    ~TvlCustomGridRecordsViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridRecordsViewInfo"); }

    const TBitmap* BackgroundBitmap() const { return FBackgroundBitmap; }
    TRect Bounds;
    TRect ContentBounds;
    TvlCustomGridTableViewInfo* GridViewInfo() const { return FGridViewInfo; }
    int ItemsOffset() const { return FItemsOffset; }
    int VisibleCount = 0;

    virtual void AfterComputing();
    virtual void BeforeComputing();
    virtual void BeforeItemRecalculation();
    virtual void AfterScrolling() {}
    virtual void ResetIncSearchingCell() { FIsIncSearchingCellViewInfoCalculated = false; }
    virtual void ComputeLayout();
    virtual void ComputeAreaRect(TRect& R);
    virtual void ComputeContentRect(TRect& R) { R = Bounds; }
    virtual TvlGridTableDataCellViewInfo* FindIncSearchingCell();
    virtual void CountVisibleRows() { VisibleCount = 0; }
    virtual void GetCellVisibleArea(TvlGridTableDataCellViewInfo* ACell, TRect& R);
    virtual bool RowsFollowCellHeights() { return CellsAutoHeight(); }
    virtual bool RecordsAutoHeight() { return RowsFollowCellHeights(); }
    virtual bool CellsAutoHeight();
    // The item's multi-line setting for its cells.
    virtual bool MultiLineOf(TvlCustomGridTableItem* AItem) { (void)AItem; return RowHeightsFixed(); }
    virtual const TBitmap* GetBackgroundBitmap();
    virtual int RowLeft(int AIndex) = 0;
    virtual int RowsShift(int ACount) = 0;
    virtual int RowTop(int AIndex) = 0;
    virtual bool IsEmpty() { return FItems.empty(); }
    virtual void ShiftRow(int AIndex, int DY) = 0;
    virtual void VisibilityChanged(bool AVisible);
    virtual void DetailsNotification(int AParam);
    virtual TvlCustomGridRecordsPainterClass PainterClass() const;
    virtual bool CanScrollBy(int ACount);
    virtual int AddGridLineToHeight(int AHeight) { return AHeight; }
    virtual std::unique_ptr<TvlCustomGridHitTest> HitTestAt(const TPoint& P);
    virtual TvlCustomGridRecordViewInfo* RowLayoutOf(TvlCustomGridRecord* ARecord);
    virtual bool RowHeightsFixed() { return false; }
    virtual void MainCalculate();
    virtual void ScrollBy(int ACount);
    virtual void ShiftContent(int DX, int DY);

    TvlCanvas* Canvas() const;
    TvlCustomGridTableController* Controller() const;
    int ItemCount() const { return int(FItems.size()); }
    int FirstRecordIndex() const;
    TvlCustomGridTableView* GridView() const;
    TvlGridTableDataCellViewInfo* GetIncSearchingCell();
    // Made on demand at or past the end; nullptr for an item without record.
    TvlCustomGridRecordViewInfo* GetItem(int AIndex);
    int MaxItemCount() const;
    TvlCustomGridTableViewData* ViewData() const;
    void DestroyItems();
    TvlGridCellViewInfoPtr<TvlCustomGridRecordViewInfo> CreateItem(int AIndex);
    int GetRecordIndex(int AIndex) const;
    int GetItemIndex(int ARecordIndex) const;
    // The position of a record layout among the items; -1 when not there.
    int IndexOfItem(const TvlCustomGridRecordViewInfo* AItem) const;
    // On ACanvas, by default the view info's.
    void Paint(TvlCanvas* ACanvas = nullptr);

private:
    TvlCustomGridTableViewInfo* FGridViewInfo;  // not owned: its owner
    const TBitmap* FBackgroundBitmap = nullptr;  // the view's
    TvlGridTableDataCellViewInfo* FIncSearchingCellViewInfo = nullptr;  // not owned
    bool FIsIncSearchingCellViewInfoCalculated = false;
    std::vector<TvlGridCellViewInfoPtr<TvlCustomGridRecordViewInfo>> FItems;
    int FItemsOffset = 0;
};

// A record draws nothing itself: its cells do. It adds its background
// bitmap, its expand button and its focus frame.
class TvlCustomGridRecordPainter : public TvlCustomGridCellPainter {
public:
    using TvlCustomGridCellPainter::TvlCustomGridCellPainter;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridRecordPainter"); }
    TvlCustomGridRecordViewInfo* ViewInfo() const;
    void AfterPaint() override;
    void BeforePaint() override;
    void DrawBackground() override;
    void Paint() override {}
    virtual void DrawExpandButton();
    virtual bool DrawExpandButtonBeforePaint() { return false; }
    using TvlCustomGridCellPainter::DrawFocusRect;
    virtual void DrawFocusRect();
};

class TvlCustomGridRecordsPainter : public TObject {
public:
    TvlCustomGridRecordsPainter(TvlCanvas* ACanvas, TvlCustomGridRecordsViewInfo* AViewInfo)
        : FCanvas(ACanvas), FViewInfo(AViewInfo)
    {
    }
    String ClassName() const override { return String::fromLatin1("TvlCustomGridRecordsPainter"); }
    TvlCanvas* Canvas() const { return FCanvas; }
    TvlCustomGridRecordsViewInfo* ViewInfo() const { return FViewInfo; }
    virtual void MainPaint();

private:
    TvlCanvas* FCanvas;                          // not owned
    TvlCustomGridRecordsViewInfo* FViewInfo;     // not owned
};

// ---- parts, filter box and navigator site -----------------------------------------------------

enum TvlGridPartAlignment { gpaTop, gpaBottom };

// A band along the top or bottom edge of a record view; it registers with
// the view's layout object, which stacks the bands and takes their heights
// off the client area.
class TvlCustomGridPartViewInfo : public TvlCustomGridViewCellViewInfo {
public:
    explicit TvlCustomGridPartViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo);
    String ClassName() const override { return String::fromLatin1("TvlCustomGridPartViewInfo"); }
    // Registers the part: the class's answer is known only now.
    void AfterConstruction() override;
    void BeforeDestruction() override;
    int Height = 0;

    bool DoCustomDrawBackground(TvlCanvas* ACanvas) override;
    bool HasCustomDrawBackground() override;
    void InitHitTest(TvlCustomGridHitTest* AHitTest) override;
    TvlGridCellPainterClass GetPainterClass() override;

    virtual void GetPartBounds(TRect& R);
    virtual void CalculateWhenHidden();
    virtual void CalculateWhenVisible();
    virtual TvlGridPartAlignment PartAlignment() = 0;
    virtual bool IsFullWidth() = 0;
    virtual bool IsRegisteredPart() { return true; }
    virtual bool MovesWithHorzScroll() = 0;

    TvlCustomGridTableView* GridView() const;
    TvlCustomGridTableViewInfo* GridViewInfo() const;
    int PartIndex() const;
    void SetPartIndex(int Value);
    void CalculatePart();

private:
    bool FRegistered = false;
};

class TvlCustomGridPartPainter : public TvlCustomGridCellPainter {
public:
    using TvlCustomGridCellPainter::TvlCustomGridCellPainter;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridPartPainter"); }
};

// One of the filter box's buttons.
class TvlCustomGridFilterButtonViewInfo : public TvlCustomGridViewCellViewInfo {
public:
    explicit TvlCustomGridFilterButtonViewInfo(TvlGridFilterButtonsViewInfo* AContainer);
    String ClassName() const override { return String::fromLatin1("TvlCustomGridFilterButtonViewInfo"); }
    TvlGridFilterButtonsViewInfo* Container() const { return FContainer; }
    TvlGridFilterViewInfo* FilterViewInfo() const;
    bool CaptureMouseOnPress() override { return true; }
    TvlCanvas* GetCanvas() override;
    bool UsesMouseStates() override { return true; }
    bool GetVisible() override;
    // Placed from the right end of the box.
    virtual bool AlignsRight() { return false; }

protected:
    TvlDataFilterCriteria* criteria() const;

private:
    TvlGridFilterButtonsViewInfo* FContainer;  // not owned: its owner
};

// Clears the whole filter.
class TvlGridFilterCloseButtonViewInfo : public TvlCustomGridFilterButtonViewInfo {
public:
    using TvlCustomGridFilterButtonViewInfo::TvlCustomGridFilterButtonViewInfo;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterCloseButtonViewInfo"); }
    int CalculateWidth() override;
    int CalculateHeight() override;
    TvlGridHitTestClass GetHitTestClass() override;
    TvlGridCellPainterClass GetPainterClass() override;
    void Click() override;
};

// Switches the filter off and on, keeping its conditions.
class TvlGridFilterActivateButtonViewInfo : public TvlCustomGridFilterButtonViewInfo {
public:
    using TvlCustomGridFilterButtonViewInfo::TvlCustomGridFilterButtonViewInfo;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterActivateButtonViewInfo"); }
    int CalculateWidth() override;
    int CalculateHeight() override;
    TvlGridHitTestClass GetHitTestClass() override;
    TvlGridCellPainterClass GetPainterClass() override;
    void Click() override;
};

// Opens the filter dialog.
class TvlGridFilterCustomizeButtonViewInfo : public TvlCustomGridFilterButtonViewInfo {
public:
    using TvlCustomGridFilterButtonViewInfo::TvlCustomGridFilterButtonViewInfo;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterCustomizeButtonViewInfo"); }
    bool GetVisible() override;
    bool AlignsRight() override { return true; }
    void GetText(String& S) override;
    TAlignment GetAlignmentHorz() override { return taCenter; }
    TvlAlignmentVert GetAlignmentVert() override { return vaCenter; }
    TvlBorders GetBorders() override;
    int GetBorderWidth(TvlBorder ASide) override;
    void GetViewParams(TvlViewParams& AParams) override;
    int CalculateWidth() override;
    int CalculateHeight() override;
    TvlGridHitTestClass GetHitTestClass() override;
    TvlGridCellPainterClass GetPainterClass() override;
    void Click() override;
};

// Opens the list of recently used filters.
class TvlGridFilterDropDownButtonViewInfo : public TvlCustomGridFilterButtonViewInfo {
public:
    using TvlCustomGridFilterButtonViewInfo::TvlCustomGridFilterButtonViewInfo;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterDropDownButtonViewInfo"); }
    bool GetVisible() override;
    bool AlignsRight() override { return true; }
    bool CaptureMouseOnPress() override { return false; }
    void BeforeStateChange() override;
    int CalculateWidth() override;
    int CalculateHeight() override;
    // Never left of the filter text's end + 9.
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    TvlGridHitTestClass GetHitTestClass() override;
    TvlGridCellPainterClass GetPainterClass() override;
};

using TvlGridFilterButtonViewInfoPtr = TvlGridCellViewInfoPtr<TvlCustomGridFilterButtonViewInfo>;

// The filter box's buttons, in the order close, activate, customize and
// drop-down.
class TvlGridFilterButtonsViewInfo : public TObject {
public:
    explicit TvlGridFilterButtonsViewInfo(TvlGridFilterViewInfo* AFilterViewInfo);
    ~TvlGridFilterButtonsViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterButtonsViewInfo"); }
    TvlGridFilterViewInfo* FilterViewInfo() const { return FFilterViewInfo; }
    TvlGridFilterDropDownButtonViewInfo* DropDownButtonViewInfo() const { return FDropDownButtonViewInfo; }

    virtual void CreateItems();
    virtual void DestroyItems();
    virtual void Calculate(const TRect& R);
    virtual std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P);

    int Count() const { return int(FItems.size()); }
    TvlCustomGridFilterButtonViewInfo* Items(int Index) const { return FItems.at(size_t(Index)).get(); }
    int Height();
    int LeftSideWidth();
    int RightSideWidth();

private:
    int sideWidth(bool ARight);
    TvlGridFilterViewInfo* FFilterViewInfo;  // not owned: its owner
    std::vector<TvlGridFilterButtonViewInfoPtr> FItems;
    TvlGridFilterDropDownButtonViewInfo* FDropDownButtonViewInfo = nullptr;  // one of the items
};

using TvlGridFilterButtonsViewInfoClass = TvlGridClass<TvlGridFilterButtonsViewInfo, TvlGridFilterViewInfo*>;

// The band that shows the text of the view's filter, with its buttons.
class TvlGridFilterViewInfo : public TvlCustomGridPartViewInfo {
public:
    explicit TvlGridFilterViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo);
    ~TvlGridFilterViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterViewInfo"); }
    void AfterConstruction() override;
    TvlGridFilterButtonsViewInfo* ButtonsViewInfo() const { return FButtonsViewInfo.get(); }

    int CalculateHeight() override;
    int CalculateWidth() override;
    TvlAlignmentVert GetAlignmentVert() override { return vaCenter; }
    const TBitmap* GetBackgroundBitmap() override;
    TvlGridHitTestClass GetHitTestClass() override;
    bool UsesMouseStates() override;
    bool HasPopup() override { return true; }
    TvlGridCellPainterClass GetPainterClass() override;
    void GetText(String& S) override;
    void GetTextAreaBounds(TRect& R) override;
    void GetViewParams(TvlViewParams& AParams) override;
    bool GetVisible() override;
    bool HasHitTestPoint(const TPoint& P) override;
    bool InvalidateOnStateChange() override { return false; }
    void StateChanged(TvlGridCellMouseState APrevState) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P) override;
    TvlGridPartAlignment PartAlignment() override;
    bool IsFullWidth() override { return true; }
    bool MovesWithHorzScroll() override { return false; }

    virtual void GetButtonsAreaBounds(TRect& R) { R = Bounds; }
    virtual TvlGridFilterButtonsViewInfoClass GetButtonsViewInfoClass() const;

    TvlDataFilterCriteria* Criteria() const;
    TvlCustomGridTableFiltering* Filtering() const;
    // The list of recently used filters can be opened.
    bool IsMRUItemsListAvailable() const;

private:
    std::unique_ptr<TvlGridFilterButtonsViewInfo> FButtonsViewInfo;
};

// The filter box's buttons are drawn by the look-and-feel painter.
class TvlCustomGridFilterButtonPainter : public TvlCustomGridCellPainter {
public:
    using TvlCustomGridCellPainter::TvlCustomGridCellPainter;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridFilterButtonPainter"); }
    TvlCustomGridFilterButtonViewInfo* ViewInfo() const;
    bool NeedsExcludeFromClipping() override { return true; }
};

class TvlGridFilterCloseButtonPainter : public TvlCustomGridFilterButtonPainter {
public:
    using TvlCustomGridFilterButtonPainter::TvlCustomGridFilterButtonPainter;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterCloseButtonPainter"); }
    void Paint() override;
};

class TvlGridFilterActivateButtonPainter : public TvlCustomGridFilterButtonPainter {
public:
    using TvlCustomGridFilterButtonPainter::TvlCustomGridFilterButtonPainter;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterActivateButtonPainter"); }
    void Paint() override;
};

class TvlGridFilterDropDownButtonPainter : public TvlCustomGridFilterButtonPainter {
public:
    using TvlCustomGridFilterButtonPainter::TvlCustomGridFilterButtonPainter;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterDropDownButtonPainter"); }
    void Paint() override;
};

class TvlGridFilterCustomizeButtonPainter : public TvlCustomGridFilterButtonPainter {
public:
    using TvlCustomGridFilterButtonPainter::TvlCustomGridFilterButtonPainter;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterCustomizeButtonPainter"); }
    void Paint() override;
};

class TvlGridFilterPainter : public TvlCustomGridPartPainter {
public:
    using TvlCustomGridPartPainter::TvlCustomGridPartPainter;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterPainter"); }
    TvlGridFilterViewInfo* ViewInfo() const;
    void DrawBackgroundRect(const TRect& R) override;
    void Paint() override;
    void PrepareCanvasForDrawText() override;
    void UnprepareCanvasForDrawText() override;
    bool NeedsExcludeFromClipping() override { return true; }
    virtual void DrawButtons();
    bool TextWasUnderlined() const { return FTextWasUnderlined; }

private:
    bool FTextWasUnderlined = false;
};

// The strip at the bottom of a view in which the data navigator is drawn.
class TvlNavigatorSiteViewInfo : public TvlCustomGridViewCellViewInfo {
public:
    explicit TvlNavigatorSiteViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo);
    String ClassName() const override { return String::fromLatin1("TvlNavigatorSiteViewInfo"); }
    void BeforeDestruction() override;
    void MouseLeave() override;
    int CalculateHeight() override { return GetHeight(); }
    int GetHeight() override;
    int CalculateWidth() override { return GetWidth(); }
    int GetWidth() override;
    TvlGridHitTestClass GetHitTestClass() override;
    bool UsesMouseStates() override { return true; }
    TvlGridCellPainterClass GetPainterClass() override;
    void GetViewParams(TvlViewParams& AParams) override;
    bool GetVisible() override;
    bool MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool MouseMove(TvlCustomGridHitTest* AHitTest, TShiftState AShift) override;
    bool MouseUp(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    TvlCustomGridTableViewInfo* TableViewInfo() const;

private:
    TvlNavigatorViewInfo* navigator() const;
};

class TvlNavigatorSitePainter : public TvlCustomGridCellPainter {
public:
    using TvlCustomGridCellPainter::TvlCustomGridCellPainter;
    String ClassName() const override { return String::fromLatin1("TvlNavigatorSitePainter"); }
    bool NeedsExcludeFromClipping() override { return true; }
};

// ---- the record view's layout and painter -------------------------------------------------------

using TvlGridFilterViewInfoClass = TvlGridClass<TvlGridFilterViewInfo, TvlCustomGridTableViewInfo*>;
using TvlNavigatorSiteViewInfoClass = TvlGridClass<TvlNavigatorSiteViewInfo, TvlCustomGridTableViewInfo*>;
using TvlNavigatorViewInfoClass = TvlGridClass<TvlNavigatorViewInfo, IvlNavigatorOwner*, bool>;

// The layout of a record view: the parts along its edges, the records
// area, the filter box, the navigator strip with its navigator, and the
// text shown over an empty records area. It lays a scroll out first and
// lets the painter move the window content when nothing prevents it.
class TvlCustomGridTableViewInfo : public TvlCustomGridViewInfo, public IvlNavigatorOwner {
public:
    explicit TvlCustomGridTableViewInfo(TvlCustomGridView* AGridView);
    ~TvlCustomGridTableViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableViewInfo"); }

    bool CalculateDown = true;
    int FirstRecordIndex = -1;
    TvlGridFilterViewInfo* FilterViewInfo() const { return FFilterViewInfo.get(); }
    const TPoint& NavigatorSize() const { return FNavigatorSize; }
    TvlNavigatorSiteViewInfo* NavigatorSiteViewInfo() const { return FNavigatorSiteViewInfo.get(); }
    TvlNavigatorViewInfo* NavigatorViewInfo() const { return FNavigatorViewInfo.get(); }
    TvlCustomGridRecordsViewInfo* RecordsViewInfo() const { return FRecordsViewInfo.get(); }

    // ---- IvlNavigatorOwner
    void NavigatorChanged(int AChangeType) override;
    TRect GetNavigatorBounds() const override;
    TvlCustomNavigatorButtons* GetNavigatorButtons() const override;
    TCanvas* GetNavigatorCanvas() const override;
    TWinControl* GetNavigatorControl() const override;
    bool GetNavigatorFocused() const override { return false; }
    TvlLookAndFeel* GetNavigatorLookAndFeel() const override;
    TComponent* GetNavigatorOwner() const override;
    bool GetNavigatorShowHint() const override;
    bool GetNavigatorTabStop() const override { return false; }
    void RefreshNavigator() override;
    void NavigatorStateChanged() override;

    // ---- the view info base
    void CreateViewInfos() override;
    void DestroyViewInfos(bool AIsRecreating) override;
    void AdjustClientBounds(TRect& R) override;
    void AfterCalculate() override;
    void Calculate() override;
    void GetDefaultClientBounds(TRect& R) override;
    void CalculateNaturalHeight(const TSize& AAvailableSize, int& AHeight, bool& AFullyVisible) override;
    void VisibilityChanged(bool AVisible) override;
    std::unique_ptr<TvlCustomGridHitTest> GetNoneHitTest(const TPoint& P) override;
    void AdjustHScrollBarBounds(TRect& R) override;
    bool IsInternalUse() override;
    void UpdateSiteVisibility(bool AVisible) override;

    virtual void AfterScrolling();
    virtual void BeforeScrolling();
    virtual void PartRect(TvlCustomGridPartViewInfo* APart, TRect& R);
    virtual int WholeRowCapacity() { return -1; }
    virtual int GridModeBufferSize() { return 0; }
    virtual TvlGridFilterViewInfoClass GetFilterViewInfoClass() const;
    virtual int GetNavigatorOffset() const;
    virtual void GetNavigatorSiteBounds(TRect& R) const;
    virtual TvlNavigatorSiteViewInfoClass GetNavigatorSiteViewInfoClass() const;
    virtual TvlNavigatorViewInfoClass GetNavigatorViewInfoClass() const;
    virtual void GetNoDataToDisplayText(String& S);
    virtual void GetNoDataToDisplayTextBounds(TRect& R);
    virtual void GetNoDataToDisplayParams(TvlViewParams& AParams);
    virtual bool IsNoDataToDisplayTextVisible();
    virtual int EdgePartsHeight(bool AAddScrollBarAndNavigator);
    virtual TvlCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() const = 0;
    virtual void GetCellsAreaBounds(TRect& R) { ClientBounds(R); }
    virtual void GetEditingAreaBounds(TRect& R) { GetCellsAreaBounds(R); }
    virtual void HorzScrollBand(TRect& R) { GetCellsAreaBounds(R); }
    virtual void VertScrollBand(TRect& R) { GetCellsAreaBounds(R); }
    virtual void ScrollRecords(int ACount);
    virtual void ShiftContent(int DX, int DY);
    virtual bool CanOffset(int ARecordCount, int DX, int DY)
    {
        (void)ARecordCount; (void)DX; (void)DY;
        return true;
    }
    virtual bool CanScrollBy(int ACount);
    virtual void Offset(int ARecordCount, int DX, int DY);
    virtual int FitHeightToRows(int AHeight, int AExtraRows) { (void)AExtraRows; return AHeight; }
    virtual int HeightOfRows(int ACount) { (void)ACount; return 0; }

    TvlCustomGridTableController* Controller() const;
    TvlCustomGridTableView* GridView() const;
    TvlCustomGridTableViewData* ViewData() const;
    int ExpandButtonExtent() const;
    int GetFirstRecordIndex() const;
    bool IsFirstRecordIndexAssigned() const { return FirstRecordIndex != -1; }
    int PartCount() const { return int(FParts.size()); }
    TvlCustomGridPartViewInfo* PartItems(int Index) const { return FParts.at(size_t(Index)); }
    int TopPartsHeight() const;
    int BottomPartsHeight() const;
    int HorzScrollBandWidth();
    int VisibleRecordCount() const;
    void AddPart(TvlCustomGridPartViewInfo* APart);
    void RemovePart(TvlCustomGridPartViewInfo* APart);
    // Moves APart to AIndex of the parts list.
    void MovePart(TvlCustomGridPartViewInfo* APart, int AIndex);

private:
    int partsHeight(TvlGridPartAlignment AAlignment) const;
    bool isNavigatorSiteVisible() const;
    std::vector<TvlCustomGridPartViewInfo*> FParts;  // owned by the fields that made them
    TvlGridCellViewInfoPtr<TvlGridFilterViewInfo> FFilterViewInfo;
    TPoint FNavigatorSize{0, 0};
    TvlGridCellViewInfoPtr<TvlNavigatorSiteViewInfo> FNavigatorSiteViewInfo;
    std::unique_ptr<TvlNavigatorViewInfo> FNavigatorViewInfo;
    std::unique_ptr<TvlCustomGridRecordsViewInfo> FRecordsViewInfo;
};

// Paints a record view: the navigator strip first, the records, then the
// background with the no-data text over it; scrolls move window content
// unless a background bitmap or the no-data text would come out wrong.
class TvlCustomGridTablePainter : public TvlCustomGridPainter {
public:
    using TvlCustomGridPainter::TvlCustomGridPainter;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTablePainter"); }
    TvlCustomGridTableViewInfo* ViewInfo() const;
    void DrawBackground() override;
    void BeforePaint() override;
    void PaintContent() override;
    void DrawFocusRect(const TRect& R, bool AHideFocusRect) override;

    virtual bool CanOffset(int ARecordCount, int DX, int DY);
    virtual void DrawFilterBox();
    virtual void DrawNoDataToDisplayText();
    virtual void DrawNavigator();
    virtual void DrawRecords();
    virtual void OffsetRecords(int APixels);
    virtual void OffsetContent(int DX, int DY);
    void Offset(int APixels, int DX, int DY);
};
