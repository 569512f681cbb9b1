// vlGridSlice.h - the early, simplified data grid that runs the job list: a
// control that shows one view of its top level, a table view with columns
// whose editor properties paint the cells, and the data controller that
// holds the rows. Kept apart (namespace vlslice) from the full grid until
// the job list moves onto it.
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/Menus.h"
#include "ui/data/vlData.h"
#include "ui/editors/vlEdit.h"
#include "ui/foundation/vlControls.h"
#include "ui/grid/vlStyles.h"

namespace vlslice {

class TvlGrid;
class TvlCustomGridView;
class TvlCustomGridTableView;
class TvlGridTableView;

struct TvlGridColumnOptions {
    bool Editing = true;
    bool Filtering = true;
    bool Grouping = true;
    bool HorzSizing = true;
    bool Moving = true;
    bool Sorting = true;
};

// A column: its position among the view's columns is its item index in
// the data controller. Owned by its view.
class TvlGridColumn : public TComponent {
public:
    explicit TvlGridColumn(TvlCustomGridTableView* AGridView);
    ~TvlGridColumn() override;
    String ClassName() const override { return String::fromLatin1("TvlGridColumn"); }

    TvlCustomGridTableView* GridView() const { return FGridView; }
    int Index() const;
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    TAlignment HeaderAlignmentHorz() const { return FHeaderAlignmentHorz; }
    void SetHeaderAlignmentHorz(TAlignment Value);
    TvlGridColumnOptions& Options() { return FOptions; }
    const TvlGridColumnOptions& Options() const { return FOptions; }

    // The editor kind by the name of its properties class; an empty name
    // or an unknown one leaves the column without properties (plain text).
    const String& PropertiesClassName() const { return FPropertiesClassName; }
    void SetPropertiesClassName(const String& Value);
    TvlCustomEditProperties* Properties() const { return FProperties.get(); }
    // The properties that paint the cells: the own ones, else plain text.
    const TvlCustomEditProperties* GetProperties() const;

private:
    void propertiesChanged(TObject* Sender);
    TvlCustomGridTableView* FGridView;
    String FCaption;
    bool FVisible = true;
    int FWidth = 64;
    int FMinWidth = 20;
    TAlignment FHeaderAlignmentHorz = taLeftJustify;
    TvlGridColumnOptions FOptions;
    String FPropertiesClassName;
    std::unique_ptr<TvlCustomEditProperties> FProperties;
};

// What a cell event is told about the cell.
struct TvlGridTableDataCellViewInfo {
    int RecordIndex = -1;
    TvlGridColumn* Item = nullptr;
    TRect Bounds;
    Variant Value;
};

using TvlGridCellClickEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlGridTableDataCellViewInfo* ACellViewInfo,
                                             TMouseButton AButton, TShiftState AShift, bool& AHandled)>;

struct TvlGridTableOptionsData {
    bool Editing = true, Inserting = true, Deleting = true, DeletingConfirmation = true, CancelOnExit = true;
};
struct TvlGridTableOptionsCustomize {
    bool ColumnFiltering = true, ColumnGrouping = true, ColumnMoving = true, ColumnSorting = true,
         ColumnHidingOnGrouping = true, ColumnHorzSizing = true;
};
struct TvlGridTableOptionsSelection {
    bool CellSelect = true, HideSelection = false, InvertSelect = true, MultiSelect = false, HideFocusRectOnExit = true;
};
enum TvlGridLines { glBoth, glNone, glVertical, glHorizontal };
struct TvlGridTableOptionsView {
    bool CellEndEllipsis = false;
    bool ColumnAutoWidth = false;
    int DataRowHeight = 0;  // 0: from the font
    int HeaderHeight = 0;   // 0: from the font
    TColor GridLineColor = clDefault;
    TvlGridLines GridLines = glBoth;
    bool GroupByBox = true;
    bool Header = true;
    bool FocusRect = true;
    String NoDataToDisplayInfoText = String::fromLatin1("<No data to display>");
};

// Styles of the view's parts; not owned (they belong to a repository).
struct TvlGridTableViewStyles {
    TvlStyle* Background = nullptr;
    TvlStyle* Content = nullptr;
    TvlStyle* Header = nullptr;
    TvlStyle* Inactive = nullptr;
    TvlStyle* Selection = nullptr;
};

// A view of the grid's data; created and owned by the grid. It owns the
// data controller and is its owner: columns are its items, change
// descriptions come back to it.
class TvlCustomGridView : public TComponent, public IvlDataControllerOwner {
public:
    explicit TvlCustomGridView(TvlGrid* AControl);
    ~TvlCustomGridView() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridView"); }

    TvlGrid* Control() const { return FControl; }
    TvlCustomDataController* DataController() const { return FDataController.get(); }
    TvlCustomDataController* GetDataController() const { return FDataController.get(); }

    int GetDataItemCount() const override { return 0; }
    TObject* GetDataItem(int AIndex) const override { (void)AIndex; return nullptr; }
    TComponentState GetDataOwnerState() const override { return ComponentState(); }
    void UpdateDataControl(TvlUpdateControlInfo* AInfo) override;

    // Locks repainting and data-change notification until the matching
    // EndUpdate, which applies what changed meanwhile.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdateLocked() const { return FLockCount > 0; }

    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }

protected:
    // The layout or the data changed: recalculate and repaint (or remember
    // it while locked).
    void Changed();
    virtual void DoChanged() {}
    // The focus moved to another record (after Changed).
    virtual void FocusedRecordChanged(int AFocusedRowIndex) { (void)AFocusedRowIndex; }

private:
    TvlGrid* FControl;
    std::unique_ptr<TvlDataController> FDataController;
    TPopupMenu* FPopupMenu = nullptr;
    int FLockCount = 0;
    bool FChangedInLock = false;
};

class TvlCustomGridTableView : public TvlCustomGridView {
public:
    explicit TvlCustomGridTableView(TvlGrid* AControl);
    ~TvlCustomGridTableView() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableView"); }

    TvlGridColumn* CreateColumn();
    int ColumnCount() const { return int(FColumns.size()); }
    TvlGridColumn* Columns(int Index) const { return FColumns.at(size_t(Index)).get(); }
    int IndexOfColumn(const TvlGridColumn* AColumn) const;

    TvlGridTableOptionsData& OptionsData() { return FOptionsData; }
    TvlGridTableOptionsCustomize& OptionsCustomize() { return FOptionsCustomize; }
    TvlGridTableOptionsSelection& OptionsSelection() { return FOptionsSelection; }
    TvlGridTableOptionsView& OptionsView() { return FOptionsView; }
    TvlGridTableViewStyles& Styles() { return FStyles; }
    // Options are plain fields: call after changing them.
    void OptionsChanged();

    TvlGridCellClickEvent OnCellDblClick;

    // Layout, in the grid's client coordinates.
    int HeaderHeight() const;
    int DataRowHeight() const;
    int TopRecordIndex() const { return FTopRecordIndex; }
    void SetTopRecordIndex(int Value);
    // Rows that fit wholly below the header.
    int VisibleRowCount() const;
    void MakeRecordVisible(int ARecordIndex);
    // The columns' drawn widths (auto width applied), hidden ones 0.
    std::vector<int> ColumnDrawWidths() const;
    TRect HeaderCellBounds(int AColumnIndex) const;
    TRect DataCellBounds(int ARecordIndex, int AColumnIndex) const;
    // The data cell at P, false when P is on no data cell.
    bool DataCellAt(TPoint P, int& ARecordIndex, int& AColumnIndex) const;

    void Paint(TvlCanvas* ACanvas);

protected:
    void DoChanged() override;
    int GetDataItemCount() const override { return ColumnCount(); }
    TObject* GetDataItem(int AIndex) const override { return Columns(AIndex); }
    // A focus change from the program brings the row into view.
    void FocusedRecordChanged(int AFocusedRowIndex) override;
    friend class TvlGrid;
    void mouseDown(TMouseButton AButton, TShiftState AShift, TPoint P);
    void mouseUp(TMouseButton AButton, TShiftState AShift, TPoint P);
    bool keyDown(uint16_t AKey, TShiftState AShift);
    void scrolled(TScrollCode AScrollCode, int APos);
    void updateScrollBar();
    void initScrollBarsParameters();

private:
    bool drawSelected(int ARecordIndex) const;
    void focusRecord(int ARecordIndex);

    std::vector<std::unique_ptr<TvlGridColumn>> FColumns;
    TvlGridTableOptionsData FOptionsData;
    TvlGridTableOptionsCustomize FOptionsCustomize;
    TvlGridTableOptionsSelection FOptionsSelection;
    TvlGridTableOptionsView FOptionsView;
    TvlGridTableViewStyles FStyles;
    int FTopRecordIndex = 0;
};

class TvlGridTableView : public TvlCustomGridTableView {
public:
    explicit TvlGridTableView(TvlGrid* AControl) : TvlCustomGridTableView(AControl) {}
    String ClassName() const override { return String::fromLatin1("TvlGridTableView"); }
};

// A level shows one view; the grid shows the view of its first level.
class TvlGridLevel : public TComponent {
public:
    explicit TvlGridLevel(TvlGrid* AControl);
    ~TvlGridLevel() override;
    String ClassName() const override { return String::fromLatin1("TvlGridLevel"); }
    TvlCustomGridView* GridView() const { return FGridView; }
    void SetGridView(TvlCustomGridView* Value);

private:
    TvlGrid* FControl;
    TvlCustomGridView* FGridView = nullptr;
};

class TvlGrid : public TvlControl {
public:
    explicit TvlGrid(TComponent* AOwner);
    ~TvlGrid() override;
    String ClassName() const override { return String::fromLatin1("TvlGrid"); }

    // A new table view owned by the grid.
    TvlGridTableView* CreateTableView();
    // A new top level owned by the grid.
    TvlGridLevel* AddLevel();
    int LevelCount() const { return int(FLevels.size()); }
    TvlGridLevel* Levels(int Index) const { return FLevels.at(size_t(Index)).get(); }
    // The view shown: the first level's.
    TvlCustomGridView* ActiveView() const;
    TvlCustomGridView* FocusedView() const { return ActiveView(); }

    // Whether selected rows are drawn as focused (the grid has the focus).
    bool IsFocused() const override { return Focused(); }
    void LayoutChanged();

protected:
    void Paint() override;
    void InitScrollBarsParameters() override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    bool WantsKey(uint16_t Key) const override;
    void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) override;
    void BoundsChanged(bool Moved, bool Resized) override;

private:
    TvlCustomGridTableView* activeTableView() const;
    std::vector<std::unique_ptr<TvlCustomGridView>> FViews;
    std::vector<std::unique_ptr<TvlGridLevel>> FLevels;
};

}  // namespace vlslice
