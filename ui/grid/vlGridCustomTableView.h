// vlGridCustomTableView.h - the base of every view that shows records made of
// items: its data controller and item data binding, records and their view
// data, items with their options and styles, the view's option and style
// sets, and the view itself.
#pragma once
#include <memory>
#include <vector>

#include "ui/controls/vlNavigator.h"
#include "ui/data/vlData.h"
#include "ui/editors/vlEdit.h"
#include "ui/grid/vlGridCustomView.h"

class TvlGridDataController;
class TvlCustomGridRecord;
class TvlCustomGridTableItem;
class TvlCustomGridTableView;
class TvlCustomGridTableViewData;
class TvlGridItemDataBinding;
class TvlCustomGridRecordViewInfo;
class TvlCustomGridRecordsViewInfo;
class TvlGridTableCellViewInfo;
class TvlGridTableDataCellViewInfo;
class TvlGridDateRanges;

// The layout class of a record, made by the records area.
using TvlCustomGridRecordViewInfoClass =
    TvlGridClass<TvlCustomGridRecordViewInfo, TvlCustomGridRecordsViewInfo*, TvlCustomGridRecord*>;

// ---- view options and styles -----------------------------------------------------------

enum TvlGridDragFocusing { dfNone, dfDragOver, dfDragDrop };
enum TvlGridQuickCustomizationReordering { qcrDefault, qcrEnabled, qcrDisabled };
enum TvlGridShowEditButtons { gsebNever, gsebForFocusedRecord, gsebAlways };
enum TvlGridShowItemFilterButtons { sfbAlways, sfbWhenSelected };
enum TvlGridDateTimeGrouping { dtgDefault, dtgByDateAndTime, dtgRelativeToToday, dtgByHour, dtgByDate, dtgByMonth, dtgByYear };
enum TvlGridDateTimeFilter {
    dtfRelativeDays, dtfRelativeDayPeriods, dtfRelativeWeeks, dtfRelativeMonths, dtfRelativeYears, dtfPastFuture,
    dtfMonths, dtfYears
};
using TvlGridDateTimeFilters = TSet<TvlGridDateTimeFilter>;
enum TvlGridFilterPosition { fpTop, fpBottom };
enum TvlGridFilterVisible { fvNever, fvNonEmpty, fvAlways };
enum TvlGridItemFilterPopupApplyChangesMode { fpacImmediately, fpacOnButtonClick };

// Stores Value in AField when it differs and reports AKind through the
// options' Changed; true when it did. Every option setter of the grid's
// record views works this way.
template <class TOptions, class T>
bool vlGridSetOption(TOptions* AOptions, T& AField, const T& Value, TvlViewChangeKind AKind)
{
    if (AField == Value)
        return false;
    AField = Value;
    AOptions->Changed(AKind);
    return true;
}

// Settings that count something take no negative value.
inline int vlGridNotNegative(int Value) { return Value < 0 ? 0 : Value; }

// The record view's background bitmaps: the content and the filter box.
class TvlCustomGridTableBackgroundBitmaps : public TvlCustomGridBackgroundBitmaps {
public:
    using TvlCustomGridBackgroundBitmaps::TvlCustomGridBackgroundBitmaps;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableBackgroundBitmaps"); }
    TBitmap* Content() { return GetByIndex(1); }
    void SetContent(const TBitmap* Value) { SetByIndex(1, Value); }
    TBitmap* FilterBox() { return GetByIndex(2); }
    void SetFilterBox(const TBitmap* Value) { SetByIndex(2, Value); }
    int GetBitmapStyleIndex(int Index) const override;
    void Assign(const TPersistent* Source) override;

protected:
    // Copies the bitmaps AFrom..ATo of ASource (an empty one clears ours).
    void assignBitmaps(const TvlCustomGridBackgroundBitmaps* ASource, int AFrom, int ATo);
};

class TvlCustomGridTableOptionsBehavior : public TvlCustomGridOptionsBehavior {
public:
    explicit TvlCustomGridTableOptionsBehavior(TvlCustomGridView* AGridView);
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableOptionsBehavior"); }
    TvlCustomGridTableView* GridView() const;

    bool AlwaysShowEditor() const { return FAlwaysShowEditor; }
    void SetAlwaysShowEditor(bool Value);
    int BestFitMaxRecordCount() const { return FBestFitMaxRecordCount; }
    void SetBestFitMaxRecordCount(int Value);
    bool CellHints() const { return FCellHints; }
    void SetCellHints(bool Value);
    bool CopyCaptionsToClipboard() const { return FCopyCaptionsToClipboard; }
    void SetCopyCaptionsToClipboard(bool Value);
    bool DragDropText() const { return FDragDropText; }
    void SetDragDropText(bool Value);
    TvlGridDragFocusing DragFocusing() const { return FDragFocusing; }
    void SetDragFocusing(TvlGridDragFocusing Value);
    bool DragHighlighting() const { return FDragHighlighting; }
    void SetDragHighlighting(bool Value);
    bool DragOpening() const { return FDragOpening; }
    void SetDragOpening(bool Value);
    bool DragScrolling() const { return FDragScrolling; }
    void SetDragScrolling(bool Value);
    bool FocusCellOnCycle() const { return FFocusCellOnCycle; }
    void SetFocusCellOnCycle(bool Value);
    // Also makes the view's site want (or give back) the Tab key.
    bool FocusCellOnTab() const { return FFocusCellOnTab; }
    void SetFocusCellOnTab(bool Value);
    bool FocusFirstCellOnNewRecord() const { return FFocusFirstCellOnNewRecord; }
    void SetFocusFirstCellOnNewRecord(bool Value);
    bool GoToNextCellOnEnter() const { return FGoToNextCellOnEnter; }
    void SetGoToNextCellOnEnter(bool Value);
    bool ImmediateEditor() const { return FImmediateEditor; }
    void SetImmediateEditor(bool Value);
    bool IncSearch() const { return FIncSearch; }
    void SetIncSearch(bool Value);
    TvlCustomGridTableItem* IncSearchItem() const { return FIncSearchItem; }
    void SetIncSearchItem(TvlCustomGridTableItem* Value);
    bool NavigatorHints() const { return FNavigatorHints; }
    void SetNavigatorHints(bool Value);
    bool PullFocusing() const { return FPullFocusing; }
    void SetPullFocusing(bool Value);

    // Forgets an item that goes.
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Assign(const TPersistent* Source) override;

private:
    void cancelIncSearching();
    bool FAlwaysShowEditor = false;
    int FBestFitMaxRecordCount = 0;
    bool FCellHints = false;
    bool FCopyCaptionsToClipboard = true;
    bool FDragDropText = false;
    TvlGridDragFocusing FDragFocusing = dfNone;
    bool FDragHighlighting = true;
    bool FDragOpening = true;
    bool FDragScrolling = true;
    bool FFocusCellOnCycle = false;
    bool FFocusCellOnTab = false;
    bool FFocusFirstCellOnNewRecord = false;
    bool FGoToNextCellOnEnter = false;
    bool FImmediateEditor = true;
    bool FIncSearch = false;
    TvlCustomGridTableItem* FIncSearchItem = nullptr;  // not owned
    bool FNavigatorHints = false;
    bool FPullFocusing = false;
};

// Item-level customization; the table view publishes it under column names.
class TvlCustomGridTableOptionsCustomize : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableOptionsCustomize"); }
    bool ItemFiltering() const { return FItemFiltering; }
    void SetItemFiltering(bool Value);
    bool ItemGrouping() const { return FItemGrouping; }
    void SetItemGrouping(bool Value);
    bool ItemHiding() const { return FItemHiding; }
    void SetItemHiding(bool Value);
    bool ItemMoving() const { return FItemMoving; }
    void SetItemMoving(bool Value);
    bool ItemSorting() const { return FItemSorting; }
    void SetItemSorting(bool Value);
    bool ItemsQuickCustomization() const { return FItemsQuickCustomization; }
    void SetItemsQuickCustomization(bool Value);
    int ItemsQuickCustomizationMaxDropDownCount() const { return FItemsQuickCustomizationMaxDropDownCount; }
    void SetItemsQuickCustomizationMaxDropDownCount(int Value);
    TvlGridQuickCustomizationReordering ItemsQuickCustomizationReordering() const { return FItemsQuickCustomizationReordering; }
    void SetItemsQuickCustomizationReordering(TvlGridQuickCustomizationReordering Value);
    virtual bool SupportsItemsQuickCustomizationReordering() const;
    void Assign(const TPersistent* Source) override;

private:
    bool FItemFiltering = true;
    bool FItemGrouping = true;
    bool FItemHiding = false;
    bool FItemMoving = true;
    bool FItemSorting = true;
    bool FItemsQuickCustomization = false;
    int FItemsQuickCustomizationMaxDropDownCount = 0;
    TvlGridQuickCustomizationReordering FItemsQuickCustomizationReordering = qcrDefault;
};

class TvlCustomGridTableOptionsData : public TvlCustomGridOptionsData {
public:
    using TvlCustomGridOptionsData::TvlCustomGridOptionsData;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableOptionsData"); }
    TvlCustomGridTableView* GridView() const;
    bool Appending() const { return FAppending; }
    void SetAppending(bool Value);
    bool CancelOnExit() const { return FCancelOnExit; }
    void SetCancelOnExit(bool Value);
    bool Deleting() const { return FDeleting; }
    void SetDeleting(bool Value);
    bool DeletingConfirmation() const { return FDeletingConfirmation; }
    void SetDeletingConfirmation(bool Value);
    // Turning editing off closes an open editor.
    bool Editing() const { return FEditing; }
    void SetEditing(bool Value);
    bool Inserting() const { return FInserting; }
    void SetInserting(bool Value);
    void Assign(const TPersistent* Source) override;

private:
    void closeEditor();
    void updateNavigatorButtons();
    bool FAppending = false;
    bool FCancelOnExit = true;
    bool FDeleting = true;
    bool FDeletingConfirmation = true;
    bool FEditing = true;
    bool FInserting = true;
};

class TvlCustomGridTableOptionsSelection : public TvlCustomGridOptionsSelection {
public:
    using TvlCustomGridOptionsSelection::TvlCustomGridOptionsSelection;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableOptionsSelection"); }
    TvlCustomGridTableView* GridView() const;
    bool CellSelect() const { return FCellSelect; }
    virtual void SetCellSelect(bool Value);
    // The older name of HideFocusRectOnExit, read from older forms only.
    bool HideFocusRect() const { return FHideFocusRectOnExit; }
    void SetHideFocusRect(bool Value) { SetHideFocusRectOnExit(Value); }
    bool HideFocusRectOnExit() const { return FHideFocusRectOnExit; }
    void SetHideFocusRectOnExit(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool InvertSelect() const { return FInvertSelect; }
    virtual void SetInvertSelect(bool Value);
    virtual bool IsInvertSelectStored() const { return !FInvertSelect; }
    // The data controller keeps it.
    bool MultiSelect() const;
    virtual void SetMultiSelect(bool Value);
    virtual bool IsMultiSelectStored() const { return MultiSelect(); }
    bool UnselectFocusedRecordOnExit() const { return FUnselectFocusedRecordOnExit; }
    void SetUnselectFocusedRecordOnExit(bool Value);
    void Assign(const TPersistent* Source) override;

private:
    // The controller focuses the first focusable item, or none.
    void cellSelectChanged();
    bool FCellSelect = true;
    bool FHideFocusRectOnExit = true;
    bool FHideSelection = false;
    bool FInvertSelect = true;
    bool FUnselectFocusedRecordOnExit = true;
};

class TvlCustomGridTableOptionsView : public TvlCustomGridOptionsView {
public:
    using TvlCustomGridOptionsView::TvlCustomGridOptionsView;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableOptionsView"); }
    bool CellAutoHeight() const { return FCellAutoHeight; }
    void SetCellAutoHeight(bool Value);
    bool CellEndEllipsis() const { return FCellEndEllipsis; }
    void SetCellEndEllipsis(bool Value);
    int CellTextMaxLineCount() const { return FCellTextMaxLineCount; }
    void SetCellTextMaxLineCount(int Value);
    bool FocusRect() const { return FFocusRect; }
    void SetFocusRect(bool Value);
    bool ItemCaptionAutoHeight() const { return FItemCaptionAutoHeight; }
    void SetItemCaptionAutoHeight(bool Value);
    bool ItemCaptionEndEllipsis() const { return FItemCaptionEndEllipsis; }
    void SetItemCaptionEndEllipsis(bool Value);
    bool Navigator() const { return FNavigator; }
    void SetNavigator(bool Value);
    int NavigatorOffset() const { return FNavigatorOffset; }
    void SetNavigatorOffset(int Value);
    // Reads the stored text, or the resource text of the moment when none
    // of its own is stored (so a translation applies).
    String NoDataToDisplayInfoText() const { return GetNoDataToDisplayText(); }
    void SetNoDataToDisplayInfoText(const String& Value);
    bool IsNoDataToDisplayInfoTextStored() const;
    String GetNoDataToDisplayText() const;
    TvlGridShowEditButtons ShowEditButtons() const { return FShowEditButtons; }
    void SetShowEditButtons(TvlGridShowEditButtons Value);
    TvlGridShowItemFilterButtons ShowItemFilterButtons() const { return FShowItemFilterButtons; }
    void SetShowItemFilterButtons(TvlGridShowItemFilterButtons Value);
    void Assign(const TPersistent* Source) override;

protected:
    virtual void ItemCaptionAutoHeightChanged() { Changed(vckSize); }

private:
    bool FCellAutoHeight = false;
    bool FCellEndEllipsis = false;
    int FCellTextMaxLineCount = 0;
    bool FFocusRect = true;
    bool FItemCaptionAutoHeight = false;
    bool FItemCaptionEndEllipsis = false;
    bool FNavigator = false;
    int FNavigatorOffset = 50;
    String FNoDataToDisplayInfoText;  // empty: the resource text
    bool FNoDataToDisplayInfoTextAssigned = false;
    TvlGridShowEditButtons FShowEditButtons = gsebNever;
    TvlGridShowItemFilterButtons FShowItemFilterButtons = sfbWhenSelected;
};

// How dates are grouped and offered as filter ranges, and their texts.
class TvlCustomGridTableDateTimeHandling : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableDateTimeHandling"); }
    TvlCustomGridTableView* GridView() const;
    const String& DateFormat() const { return FDateFormat; }
    void SetDateFormat(const String& Value);
    TvlGridDateTimeFilters Filters() const { return FFilters; }
    void SetFilters(TvlGridDateTimeFilters Value);
    // dtgDefault stands for dtgByDateAndTime here.
    TvlGridDateTimeGrouping Grouping() const { return FGrouping; }
    void SetGrouping(TvlGridDateTimeGrouping Value);
    const String& HourFormat() const { return FHourFormat; }
    void SetHourFormat(const String& Value);
    bool IgnoreTimeForFiltering() const { return FIgnoreTimeForFiltering; }
    void SetIgnoreTimeForFiltering(bool Value);
    const String& MonthFormat() const { return FMonthFormat; }
    void SetMonthFormat(const String& Value);
    bool UseLongDateFormat() const { return FUseLongDateFormat; }
    void SetUseLongDateFormat(bool Value);
    bool UseShortTimeFormat() const { return FUseShortTimeFormat; }
    void SetUseShortTimeFormat(bool Value);
    const String& YearFormat() const { return FYearFormat; }
    void SetYearFormat(const String& Value);
    // The formats in effect.
    String GetDateFormat() const;
    String GetHourFormat() const;
    String GetMonthFormat() const;
    String GetYearFormat() const;
    void Assign(const TPersistent* Source) override;

private:
    void groupingChanged();
    String FDateFormat;
    TvlGridDateTimeFilters FFilters;
    TvlGridDateTimeGrouping FGrouping = dtgByDateAndTime;
    String FHourFormat;
    bool FIgnoreTimeForFiltering = false;
    String FMonthFormat;
    bool FUseLongDateFormat = true;
    bool FUseShortTimeFormat = true;
    String FYearFormat;
};

// The bar that shows the active filter.
class TvlGridFilterBox : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlGridFilterBox"); }
    bool CustomizeDialog() const { return FCustomizeDialog; }
    void SetCustomizeDialog(bool Value);
    int MRUItemsListDropDownCount() const { return FMRUItemsListDropDownCount; }
    void SetMRUItemsListDropDownCount(int Value);
    TvlGridFilterPosition Position() const { return FPosition; }
    void SetPosition(TvlGridFilterPosition Value);
    TvlGridFilterVisible Visible() const { return FVisible; }
    void SetVisible(TvlGridFilterVisible Value);
    void Assign(const TPersistent* Source) override;

private:
    bool FCustomizeDialog = true;
    int FMRUItemsListDropDownCount = 0;
    TvlGridFilterPosition FPosition = fpBottom;
    TvlGridFilterVisible FVisible = fvNonEmpty;
};

// The drop-down of an item's filter button.
class TvlGridItemFilterPopupOptions : public TvlCustomGridOptions {
public:
    using TvlCustomGridOptions::TvlCustomGridOptions;
    String ClassName() const override { return String::fromLatin1("TvlGridItemFilterPopupOptions"); }
    TvlGridItemFilterPopupApplyChangesMode ApplyMultiSelectChanges() const { return FApplyMultiSelectChanges; }
    void SetApplyMultiSelectChanges(TvlGridItemFilterPopupApplyChangesMode Value);
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value);
    int MaxDropDownItemCount() const { return FMaxDropDownItemCount; }
    void SetMaxDropDownItemCount(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    void Assign(const TPersistent* Source) override;

private:
    TvlGridItemFilterPopupApplyChangesMode FApplyMultiSelectChanges = fpacImmediately;
    int FDropDownWidth = 0;
    int FMaxDropDownItemCount = 15;
    bool FMultiSelect = true;
};

// Recent filters of the view, recent values of items and the item filter
// drop-down. The list of recent filters itself comes with filtering.
class TvlCustomGridTableFiltering : public TvlCustomGridOptions {
public:
    using TItemPopupClass = TvlGridClass<TvlGridItemFilterPopupOptions, TvlCustomGridView*>;
    explicit TvlCustomGridTableFiltering(TvlCustomGridView* AGridView);
    ~TvlCustomGridTableFiltering() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableFiltering"); }
    bool ItemFilteredItemsList() const { return FItemFilteredItemsList; }
    void SetItemFilteredItemsList(bool Value);
    bool ItemMRUItemsList() const { return FItemMRUItemsList; }
    void SetItemMRUItemsList(bool Value);
    int ItemMRUItemsListCount() const { return FItemMRUItemsListCount; }
    void SetItemMRUItemsListCount(int Value);
    TvlGridItemFilterPopupOptions* ItemPopup() const { return FItemPopup.get(); }
    void SetItemPopup(const TvlGridItemFilterPopupOptions* Value) { FItemPopup->Assign(Value); }
    bool MRUItemsList() const { return FMRUItemsList; }
    void SetMRUItemsList(bool Value);
    int MRUItemsListCount() const { return FMRUItemsListCount; }
    void SetMRUItemsListCount(int Value);

    // Names older forms kept here; read only, forwarded to the filter box
    // and the popup options. False for a name that is not one of them.
    virtual bool ReadOlderProperty(const String& AName, const Variant& AValue);
    void Assign(const TPersistent* Source) override;

protected:
    virtual TItemPopupClass GetItemPopupClass() const;

private:
    TvlGridFilterBox* filterBoxOf() const;
    bool FItemFilteredItemsList = false;
    bool FItemMRUItemsList = true;
    int FItemMRUItemsListCount = 5;
    std::unique_ptr<TvlGridItemFilterPopupOptions> FItemPopup;
    bool FMRUItemsList = true;
    int FMRUItemsListCount = 10;
};

// The record and the item (an item, a summary item or nothing) of a cell,
// handed to the style resolution.
class TvlGridCellPos : public TObject {
public:
    TvlGridCellPos(TvlCustomGridRecord* AGridRecord, TObject* AItem) : GridRecord(AGridRecord), Item(AItem) {}
    String ClassName() const override { return String::fromLatin1("TvlGridCellPos"); }
    TvlCustomGridRecord* GridRecord;
    TObject* Item;
};

class TvlGridDataCellPos : public TObject {
public:
    TvlGridDataCellPos(TvlCustomGridRecord* AGridRecord, TvlCustomGridTableItem* AItem) : GridRecord(AGridRecord), Item(AItem) {}
    String ClassName() const override { return String::fromLatin1("TvlGridDataCellPos"); }
    TvlCustomGridRecord* GridRecord;
    TvlCustomGridTableItem* Item;
};

using TvlGridGetCellStyleEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlStyle*& AStyle)>;

// The record view's style set: the single place where the colours, fonts
// and bitmaps of records and cells are decided.
class TvlCustomGridTableViewStyles : public TvlCustomGridViewStyles {
public:
    enum { vsContent = 1, vsContentEven, vsContentOdd, vsFilterBox, vsInactive, vsIncSearch, vsSelection };
    explicit TvlCustomGridTableViewStyles(TPersistent* AOwner) : TvlCustomGridViewStyles(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableViewStyles"); }
    TvlCustomGridView* GetGridView() const override;
    TvlCustomGridTableView* GridView() const;

    TvlCustomStyle* Content() const { return GetValue(vsContent); }
    void SetContent(TvlCustomStyle* Value) { SetValue(vsContent, Value); }
    TvlCustomStyle* ContentEven() const { return GetValue(vsContentEven); }
    void SetContentEven(TvlCustomStyle* Value) { SetValue(vsContentEven, Value); }
    TvlCustomStyle* ContentOdd() const { return GetValue(vsContentOdd); }
    void SetContentOdd(TvlCustomStyle* Value) { SetValue(vsContentOdd, Value); }
    TvlCustomStyle* FilterBox() const { return GetValue(vsFilterBox); }
    void SetFilterBox(TvlCustomStyle* Value) { SetValue(vsFilterBox, Value); }
    TvlCustomStyle* Inactive() const { return GetValue(vsInactive); }
    void SetInactive(TvlCustomStyle* Value) { SetValue(vsInactive, Value); }
    TvlCustomStyle* IncSearch() const { return GetValue(vsIncSearch); }
    void SetIncSearch(TvlCustomStyle* Value) { SetValue(vsIncSearch, Value); }
    TvlCustomStyle* Selection() const { return GetValue(vsSelection); }
    void SetSelection(TvlCustomStyle* Value) { SetValue(vsSelection, Value); }

    const TvlGridGetCellStyleEvent& OnGetContentStyle() const { return FOnGetContentStyle; }
    void SetOnGetContentStyle(const TvlGridGetCellStyleEvent& Value);

    virtual void GetSelectionParams(TvlCustomGridRecord* ARecord, TObject* AItem, TvlViewParams& AParams);
    // AItem is an item, nothing, or (for descendants) another kind of cell.
    virtual void GetCellContentParams(TvlCustomGridRecord* ARecord, TObject* AItem, TvlViewParams& AParams);
    virtual void GetContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams);
    virtual void GetDataCellContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams);
    // ACellViewInfo reports whether it is selected when AUseCellSelection.
    virtual void GetCellParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, bool AIgnoreSelection,
                               TvlCustomGridCellViewInfo* ACellViewInfo, bool AUseCellSelection, TvlViewParams& AParams);
    virtual void GetRecordContentParams(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, TvlViewParams& AParams);

    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override;
    void Assign(const TPersistent* Source) override;

private:
    TvlGridGetCellStyleEvent FOnGetContentStyle;
};

// ---- items, their options and styles ---------------------------------------------------

enum TvlGridItemShowEditButtons { isebDefault, isebNever, isebAlways };
enum TvlGridItemSortByDisplayText { isbtDefault, isbtOn, isbtOff };

// The base of an item's option objects (and of a column's summary window).
class TvlCustomGridTableItemCustomOptions : public TPersistent {
public:
    explicit TvlCustomGridTableItemCustomOptions(TvlCustomGridTableItem* AItem) : FItem(AItem) {}
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableItemCustomOptions"); }
    TvlCustomGridTableItem* Item() const { return FItem; }
    TvlCustomGridTableView* GetGridView() const;
    virtual void Changed(TvlViewChangeKind AKind);
    void Assign(const TPersistent* Source) override;

protected:
    TPersistent* GetOwner() const override;

private:
    TvlCustomGridTableItem* const FItem;
};

// What the user may do with an item, and how its cells show edit buttons.
class TvlCustomGridTableItemOptions : public TvlCustomGridTableItemCustomOptions {
public:
    using TvlCustomGridTableItemCustomOptions::TvlCustomGridTableItemCustomOptions;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableItemOptions"); }
    // Turning it off closes the item's open editor.
    bool Editing() const { return FEditing; }
    void SetEditing(bool Value);
    bool Filtering() const { return FFiltering; }
    void SetFiltering(bool Value);
    bool FilteringFilteredItemsList() const { return FFilteringFilteredItemsList; }
    void SetFilteringFilteredItemsList(bool Value);
    bool FilteringMRUItemsList() const { return FFilteringMRUItemsList; }
    void SetFilteringMRUItemsList(bool Value);
    bool FilteringPopup() const { return FFilteringPopup; }
    void SetFilteringPopup(bool Value);
    bool FilteringPopupMultiSelect() const { return FFilteringPopupMultiSelect; }
    void SetFilteringPopupMultiSelect(bool Value);
    // Turning it off moves the focus away from the item.
    bool Focusing() const { return FFocusing; }
    void SetFocusing(bool Value);
    bool Grouping() const { return FGrouping; }
    void SetGrouping(bool Value);
    bool IgnoreTimeForFiltering() const { return FIgnoreTimeForFiltering; }
    void SetIgnoreTimeForFiltering(bool Value);
    bool IncSearch() const { return FIncSearch; }
    void SetIncSearch(bool Value);
    bool Moving() const { return FMoving; }
    void SetMoving(bool Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    TvlGridItemShowEditButtons ShowEditButtons() const { return FShowEditButtons; }
    void SetShowEditButtons(TvlGridItemShowEditButtons Value);
    TvlGridItemSortByDisplayText SortByDisplayText() const { return FSortByDisplayText; }
    void SetSortByDisplayText(TvlGridItemSortByDisplayText Value);
    bool Sorting() const { return FSorting; }
    void SetSorting(bool Value);
    void Assign(const TPersistent* Source) override;

protected:
    // Before a new ShowCaption is stored.
    virtual void ShowCaptionChanging() {}

private:
    bool FEditing = true;
    bool FFiltering = true;
    bool FFilteringFilteredItemsList = true;
    bool FFilteringMRUItemsList = true;
    bool FFilteringPopup = true;
    bool FFilteringPopupMultiSelect = true;
    bool FFocusing = true;
    bool FGrouping = true;
    bool FIgnoreTimeForFiltering = true;
    bool FIncSearch = true;
    bool FMoving = true;
    bool FShowCaption = true;
    TvlGridItemShowEditButtons FShowEditButtons = isebDefault;
    TvlGridItemSortByDisplayText FSortByDisplayText = isbtDefault;
    bool FSorting = true;
};

// An item's own Content style and per-cell style event.
class TvlCustomGridTableItemStyles : public TvlCustomGridStyles {
public:
    enum { isContent = 0 };
    explicit TvlCustomGridTableItemStyles(TvlCustomGridTableItem* AItem);
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableItemStyles"); }
    TvlCustomGridTableItem* Item() const { return FItem; }
    TvlCustomGridView* GetGridView() const override;
    TvlCustomGridTableView* GridView() const;
    TvlCustomStyle* Content() const { return GetValue(isContent); }
    void SetContent(TvlCustomStyle* Value) { SetValue(isContent, Value); }
    const TvlGridGetCellStyleEvent& OnGetContentStyle() const { return FOnGetContentStyle; }
    void SetOnGetContentStyle(const TvlGridGetCellStyleEvent& Value);

    virtual void GetContentParams(TvlCustomGridRecord* ARecord, TvlViewParams& AParams);
    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override;
    void Assign(const TPersistent* Source) override;

private:
    TvlCustomGridTableItem* const FItem;
    TvlGridGetCellStyleEvent FOnGetContentStyle;
};

class TvlGridTableDataCellViewInfo;
class TvlDataFilterValueList;

using TvlGridTableDataCellCustomDrawEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCanvas* ACanvas, TvlGridTableDataCellViewInfo* AViewInfo, bool& ADone)>;
using TvlGridGetCellHintEvent =
    TDelegate<void(TvlCustomGridTableItem* Sender, TvlCustomGridRecord* ARecord, TvlGridTableDataCellViewInfo* ACellViewInfo,
                   const TPoint& AMousePos, String& AHintText, bool& AIsHintMultiLine, TRect& AHintTextRect)>;
using TvlGridGetDataTextEvent = TDelegate<void(TvlCustomGridTableItem* Sender, int ARecordIndex, String& AText)>;
using TvlGridGetDisplayTextEvent = TDelegate<void(TvlCustomGridTableItem* Sender, TvlCustomGridRecord* ARecord, String& AText)>;
using TvlGridGetFilterDisplayTextEvent =
    TDelegate<void(TvlCustomGridTableItem* Sender, const Variant& AValue, String& ADisplayText)>;
using TvlGridGetFilterValuesEvent = TDelegate<void(TvlCustomGridTableItem* Sender, TvlDataFilterValueList* AValueList)>;
using TvlGridGetPropertiesEvent =
    TDelegate<void(TvlCustomGridTableItem* Sender, TvlCustomGridRecord* ARecord, TvlCustomEditProperties*& AProperties)>;
using TvlGridTableItemGetStoredPropertiesEvent = TDelegate<void(TvlCustomGridTableItem* Sender, TStrings* AProperties)>;
using TvlGridTableItemGetStoredPropertyValueEvent =
    TDelegate<void(TvlCustomGridTableItem* Sender, const String& AName, Variant& AValue)>;
using TvlGridTableItemSetStoredPropertyValueEvent =
    TDelegate<void(TvlCustomGridTableItem* Sender, const String& AName, const Variant& AValue)>;
using TvlGridUserFilteringEvent =
    TDelegate<void(TvlCustomGridTableItem* Sender, const Variant& AValue, const String& ADisplayText)>;

// An item of a record view (a column of the table view): it names a field
// of the view's data controller, shows and edits its values through editor
// properties, and keeps its caption, width, visibility, options and styles.
// A new item is invisible and without a view; the view's AddItem gives it
// its view, ID and Index and makes it visible.
class TvlCustomGridTableItem : public TvlComponent, public IvlEditRepositoryItemObserver {
public:
    using TOptionsClass = TvlGridClass<TvlCustomGridTableItemOptions, TvlCustomGridTableItem*>;
    using TStylesClass = TvlGridClass<TvlCustomGridTableItemStyles, TvlCustomGridTableItem*>;

    explicit TvlCustomGridTableItem(TComponent* AOwner);
    ~TvlCustomGridTableItem() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableItem"); }
    TvlCustomGridTableView* GridView() const { return FGridView; }
    // Only the view calls it (adding and removing the item).
    virtual void SetGridView(TvlCustomGridTableView* Value);
    TvlGridItemDataBinding* DataBinding() const { return FDataBinding.get(); }
    void SetDataBinding(const TvlGridItemDataBinding* Value);
    TvlGridDataController* DataController() const;
    int ID() const { return FID; }
    int Index() const { return FIndex; }
    // From a stored layout: a pending position while the view restores,
    // else the view moves the item.
    void SetIndex(int Value);
    int VisibleIndex() const { return FVisibleIndex; }

    // ---- published
    int Tag() const { return FTag; }
    void SetTag(int Value);
    const String& AlternateCaption() const { return FAlternateCaption; }
    void SetAlternateCaption(const String& Value);
    String Caption() const;
    void SetCaption(const String& Value);
    bool IsCaptionStored() const;
    bool IsCaptionAssigned() const { return FIsCaptionAssigned; }
    // The two extra form values: "IsCaptionAssigned" is written only for an
    // assigned empty caption, so that it survives a save and load; "Hidden"
    // comes from older forms.
    bool WriteIsCaptionAssigned() const { return FIsCaptionAssigned && FCaption.isEmpty(); }
    void ReadIsCaptionAssigned(bool Value) { FIsCaptionAssigned = Value; }
    void ReadHidden(bool Value) { SetVisibleForCustomization(!Value); }
    String PropertiesClassName() const;
    void SetPropertiesClassName(const String& Value);
    TvlClass PropertiesClass() const { return FPropertiesClass; }
    void SetPropertiesClass(TvlClass Value);
    TvlCustomEditProperties* Properties() const { return FProperties.get(); }
    void SetProperties(const TvlCustomEditProperties* Value);
    TvlEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
    void SetRepositoryItem(TvlEditRepositoryItem* Value);
    bool Visible() const { return GetVisible(); }
    void SetVisible(bool Value);
    TNotifyEvent PropertiesEvents;
    TNotifyEvent StylesEvents;

    // ---- published by the column
    int BestFitMaxWidth() const { return FBestFitMaxWidth; }
    void SetBestFitMaxWidth(int Value);
    TvlGridDateTimeGrouping DateTimeGrouping() const { return FDateTimeGrouping; }
    void SetDateTimeGrouping(TvlGridDateTimeGrouping Value);
    int GroupIndex() const;
    void SetGroupIndex(int Value);
    TAlignment HeaderAlignmentHorz() const { return FHeaderAlignmentHorz; }
    void SetHeaderAlignmentHorz(TAlignment Value);
    bool IsHeaderAlignmentHorzStored() const { return FIsHeaderAlignmentHorzAssigned && FHeaderAlignmentHorz != taLeftJustify; }
    TvlAlignmentVert HeaderAlignmentVert() const { return FHeaderAlignmentVert; }
    void SetHeaderAlignmentVert(TvlAlignmentVert Value);
    bool IsHeaderAlignmentVertStored() const { return FIsHeaderAlignmentVertAssigned && FHeaderAlignmentVert != vaTop; }
    // Reads as Width while the width is fixed.
    int MinWidth() const;
    void SetMinWidth(int Value);
    int SortIndex() const;
    void SetSortIndex(int Value);
    TvlDataSortOrder SortOrder() const;
    void SetSortOrder(TvlDataSortOrder Value);
    bool IsSortOrderStored() const { return SortOrder() != soNone && SortIndex() != -1; }
    bool VisibleForCustomization() const { return GetVisibleForCustomization(); }
    void SetVisibleForCustomization(bool Value);
    int Width() const;
    void SetWidth(int Value);
    bool IsWidthStored() const { return FIsWidthAssigned; }
    bool WasVisibleBeforeGrouping() const { return FWasVisibleBeforeGrouping; }

    TvlCustomGridTableItemOptions* Options() const { return FOptions.get(); }
    TvlCustomGridTableItemStyles* Styles() const { return FStyles.get(); }

    // ---- events (setters report a property change; OnGetProperties a layout change)
    const TvlGridTableDataCellCustomDrawEvent& OnCustomDrawCell() const { return FOnCustomDrawCell; }
    void SetOnCustomDrawCell(const TvlGridTableDataCellCustomDrawEvent& Value);
    const TvlGridGetCellHintEvent& OnGetCellHint() const { return FOnGetCellHint; }
    void SetOnGetCellHint(const TvlGridGetCellHintEvent& Value);
    const TvlGridGetDataTextEvent& OnGetDataText() const { return FOnGetDataText; }
    void SetOnGetDataText(const TvlGridGetDataTextEvent& Value);
    const TvlGridGetDisplayTextEvent& OnGetDisplayText() const { return FOnGetDisplayText; }
    void SetOnGetDisplayText(const TvlGridGetDisplayTextEvent& Value);
    const TvlGridGetFilterDisplayTextEvent& OnGetFilterDisplayText() const { return FOnGetFilterDisplayText; }
    void SetOnGetFilterDisplayText(const TvlGridGetFilterDisplayTextEvent& Value);
    const TvlGridGetFilterValuesEvent& OnGetFilterValues() const { return FOnGetFilterValues; }
    void SetOnGetFilterValues(const TvlGridGetFilterValuesEvent& Value);
    const TvlGridGetPropertiesEvent& OnGetProperties() const { return FOnGetProperties; }
    void SetOnGetProperties(const TvlGridGetPropertiesEvent& Value);
    const TvlGridGetPropertiesEvent& OnGetPropertiesForEdit() const { return FOnGetPropertiesForEdit; }
    void SetOnGetPropertiesForEdit(const TvlGridGetPropertiesEvent& Value);
    const TvlGridTableItemGetStoredPropertiesEvent& OnGetStoredProperties() const { return FOnGetStoredProperties; }
    void SetOnGetStoredProperties(const TvlGridTableItemGetStoredPropertiesEvent& Value);
    const TvlGridTableItemGetStoredPropertyValueEvent& OnGetStoredPropertyValue() const { return FOnGetStoredPropertyValue; }
    void SetOnGetStoredPropertyValue(const TvlGridTableItemGetStoredPropertyValueEvent& Value);
    const TvlGridTableItemSetStoredPropertyValueEvent& OnSetStoredPropertyValue() const { return FOnSetStoredPropertyValue; }
    void SetOnSetStoredPropertyValue(const TvlGridTableItemSetStoredPropertyValueEvent& Value);
    const TvlGridUserFilteringEvent& OnUserFiltering() const { return FOnUserFiltering; }
    void SetOnUserFiltering(const TvlGridUserFilteringEvent& Value);

    // ---- editor properties
    // The effective properties: RepositoryItem's, else the own ones, else
    // the default editor of the field's value type (nullptr without a view).
    TvlCustomEditProperties* GetProperties();
    TvlCustomEditProperties* GetRecordProperties(TvlCustomGridRecord* ARecord);
    TvlCustomEditProperties* GetPropertiesForRecordIndex(int ARecordIndex);
    TvlCustomEditProperties* GetPropertiesForEdit();
    TvlCustomEditProperties* GetEditingProperties();
    virtual void InitProperties(TvlCustomEditProperties* AProperties);
    void RecalculatePropertiesValue();
    void PropertiesChanged();
    bool IsSortingByDisplayText(bool ACheckProperties);

    // ---- capabilities
    virtual bool CanAutoHeight();
    virtual bool CanEdit();
    virtual bool CanFilter(bool AVisually);
    virtual bool CanFilterUsingChecks() const;
    virtual bool CanFilterMRUValueItems() const;
    virtual bool CanFocus(TvlCustomGridRecord* ARecord);
    virtual bool CanGroup();
    virtual bool CanHide();
    virtual bool CanHorzSize() const;
    virtual bool CanIgnoreTimeForFiltering() const;
    virtual bool CanIncSearch();
    virtual bool CanInitEditing();
    virtual bool CanMove() const;
    virtual bool CanScroll() const { return true; }
    virtual bool CanSort();
    virtual bool IsEditingAllowed() const;
    virtual bool IsFilterable() { return CanFilter(false); }
    virtual bool ShowButtons(bool AIsFocusedRecord) const;
    virtual bool ShowOnUngrouping() const { return true; }
    virtual bool UseFilteredValuesForFilterList() const;

    // ---- state
    virtual bool GetActuallyVisible() const { return GetVisible(); }
    virtual bool GetVisible() const { return FVisible; }
    virtual bool GetVisibleForCustomization() const { return FVisibleForCustomization; }
    virtual bool IsVisibleInCustomizationForm() const { return GetVisibleForCustomization(); }
    virtual bool IsVisibleStored() const { return true; }
    virtual bool IsVisibleForCustomizationStored() const { return !GetVisibleForCustomization(); }
    virtual String GetHeaderCaption() const { return Caption(); }
    virtual String GetCaptionForAlternate() const { return Caption(); }
    String GetAlternateCaption() const;
    String GetFilterCaption() const { return GetAlternateCaption(); }
    virtual String GetDefaultCaption() const;
    virtual int GetDefaultWidth() const;
    virtual bool HasFixedWidth() const { return false; }
    virtual bool IsWidthFixed() const;
    // The smallest width the item takes: 0 while its width is fixed.
    int GetMinWidth() const { return HasFixedWidth() ? 0 : FMinWidth; }
    void CheckWidthValue(int& Value) const;
    virtual void ForceWidth(int Value);
    virtual TvlGridDateTimeFilters GetDateTimeFilters() const;
    TvlGridDateTimeGrouping GetDateTimeGrouping() const;
    bool Focused() const;
    void SetFocused(bool Value);
    virtual void MakeFocused() { SetFocused(true); }
    bool Editing() const;
    void SetEditing(bool Value);
    bool IsFirst() const { return FVisibleIndex == 0; }
    bool IsLast() const;
    bool IsLoading() const;
    bool IsDestroying() const;
    bool IsFocusedCellClipped();
    virtual TvlCustomGridCellViewInfo* GetFocusedCellViewInfo();
    virtual Variant GetEditValue();
    virtual void SetEditValue(const Variant& AValue);

    // ---- notifications from the view and the data controller
    virtual void CaptionChanged();
    virtual void Changed(TvlViewChangeKind AKind);
    virtual void DataChanged();
    virtual void DateTimeGroupingChanged();
    virtual void ValueTypeClassChanged();
    virtual void VisibleChanged() {}
    virtual void VisibleForCustomizationChanged();
    void RestoreDefaults();

    // ---- best fit
    virtual void ApplyBestFit(bool ACheckSizingAbility = false, bool AFireEvents = false);
    virtual int CalculateBestFitWidth();
    int GetBestFitWidth();
    virtual void BestFitApplied(bool AFireEvents) { (void)AFireEvents; }

    // ---- cells
    // One edit style shared by the item's cells, counted by use.
    TvlCustomEditStyle* GetCellStyle();
    void ReleaseCellStyle();
    int CellStyleUseCount() const { return FCellStyleUseCount; }
    virtual void InitStyle(TvlCustomEditStyle* AStyle, const TvlViewParams& AParams, bool AIsFocusedRecord);
    virtual int CalculateDefaultCellHeight(TvlCanvas* ACanvas, TFont* AFont);
    std::unique_ptr<TvlCustomEditViewData> CreateEditViewData(TvlCustomEditProperties* AProperties);
    void DestroyEditViewData(std::unique_ptr<TvlCustomEditViewData>& AEditViewData);
    // The edit view data the item's cells share during one calculation of
    // the records area.
    void CreateSharedEditViewData();
    void DestroySharedEditViewData();
    // The shared edit view data for AProperties, or a new one held by
    // ALocal when OnGetProperties is assigned or none is shared for them;
    // the caller gives a local one back through DestroyEditViewData.
    TvlCustomEditViewData* GetEditViewData(TvlCustomEditProperties* AProperties,
                                           std::unique_ptr<TvlCustomEditViewData>& ALocal);

    // ---- event dispatch
    void DoCustomDrawCell(TvlCanvas* ACanvas, TvlGridTableDataCellViewInfo* AViewInfo, bool& ADone);
    void DoGetDataText(int ARecordIndex, String& AText);
    void DoGetDisplayText(TvlCustomGridRecord* ARecord, String& AText);
    TvlCustomEditProperties* DoGetProperties(TvlCustomGridRecord* ARecord);
    void DoGetPropertiesForEdit(TvlCustomGridRecord* ARecord, TvlCustomEditProperties*& AProperties);
    bool HasCustomDrawCell() const { return FOnCustomDrawCell.Assigned(); }

    // ---- stored layout
    virtual String GetStoredObjectName() const;
    virtual bool GetStoredProperties(TStrings* AProperties);
    virtual void GetStoredPropertyValue(const String& AName, Variant& AValue);
    virtual void SetStoredPropertyValue(const String& AName, const Variant& AValue);

    // ---- component
    void Assign(const TPersistent* Source) override;
    TComponent* GetParentComponent() const;
    bool HasParent() const { return FGridView != nullptr; }
    void SetParentComponent(TComponent* AParent);

    // IvlEditRepositoryItemObserver
    void RepositoryItemFreed(TvlEditRepositoryItem* AItem) override;
    void ItemPropertiesChanged(TvlEditRepositoryItem* AItem) override;

protected:
    virtual TOptionsClass GetOptionsClass() const;
    virtual TStylesClass GetStylesClass() const;
    virtual void CreateSubObjects();
    virtual void DestroySubObjects();
    virtual void CreateDataBinding();
    virtual void DestroyDataBinding();
    virtual void ChangeSortIndex(int Value);
    virtual void ChangeGroupIndex(int Value);
    virtual std::unique_ptr<TvlCustomEditStyle> CreateCellStyle();
    void setWasVisibleBeforeGrouping(bool Value) { FWasVisibleBeforeGrouping = Value; }
    // A descendant whose class getters name other classes calls this from
    // its constructor: the base constructor cannot reach the overrides.
    void recreateSubObjects();

private:
    // The view keeps the ID, the position and the visible position.
    friend class TvlCustomGridTableView;
    friend class TvlCustomGridTableItemOptions;
    friend class TvlCustomGridTableItemStyles;
    // The view's side of the item's rules.
    TvlCustomGridView* gridViewBase() const;
    TvlCustomDataController* dataControllerOfView() const;
    TvlCustomGridTableOptionsBehavior* viewOptionsBehavior() const;
    TvlCustomGridTableOptionsCustomize* viewOptionsCustomize() const;
    TvlCustomGridTableOptionsData* viewOptionsData() const;
    TvlCustomGridTableOptionsView* viewOptionsView() const;
    bool viewIgnoresPropertiesChanges() const;
    bool viewStoresByID() const;
    void filterableItemsChanged();
    void cancelIncSearching();
    void releaseInplaceEditor(TvlCustomEditProperties* AProperties);
    TvlEditRepositoryItem* defaultRepositoryItem() const;
    IvlEditDefaultValuesProvider* defaultValuesProvider() const;
    void leaveView();
    TvlCustomGridRecord* focusedRecord() const;
    void propertiesChangedHandler(TObject* Sender);
    TvlCustomEditProperties* getPropertiesValue();
    TvlCustomEditProperties* getRepositoryItemValue();
    void forgetLastDefaultRepositoryItem();
    bool isPatternView() const;

    String FAlternateCaption;
    int FBestFitMaxWidth = 0;
    String FCaption;
    bool FIsCaptionAssigned = false;
    std::unique_ptr<TvlCustomEditStyle> FCellStyle;
    int FCellStyleUseCount = 0;
    std::unique_ptr<TvlCustomEditViewData> FSharedEditViewData;
    std::unique_ptr<TvlGridItemDataBinding> FDataBinding;
    TvlGridDateTimeGrouping FDateTimeGrouping = dtgDefault;
    TvlCustomGridTableView* FGridView = nullptr;  // not owned
    TAlignment FHeaderAlignmentHorz = taLeftJustify;
    TvlAlignmentVert FHeaderAlignmentVert = vaTop;
    int FID = -1;
    bool FIgnoreLoadingStatus = false;
    int FIndex = -1;
    bool FIsHeaderAlignmentHorzAssigned = false;
    bool FIsHeaderAlignmentVertAssigned = false;
    bool FIsWidthAssigned = false;
    TvlEditRepositoryItem* FLastUsedDefaultRepositoryItem = nullptr;  // not owned
    int FMinWidth = 20;
    std::unique_ptr<TvlCustomGridTableItemOptions> FOptions;
    std::unique_ptr<TvlCustomEditProperties> FProperties;
    TvlClass FPropertiesClass = nullptr;
    TvlCustomEditProperties* FPropertiesValue = nullptr;  // not owned
    TvlEditRepositoryItem* FRepositoryItem = nullptr;     // not owned
    std::unique_ptr<TvlCustomGridTableItemStyles> FStyles;
    int FTag = 0;
    bool FVisible = false;
    bool FVisibleForCustomization = true;
    int FVisibleIndex = -1;
    bool FSizing = false;  // ForceWidth runs
    bool FWasVisibleBeforeGrouping = false;
    int FWidth = 0;
    TvlGridTableDataCellCustomDrawEvent FOnCustomDrawCell;
    TvlGridGetCellHintEvent FOnGetCellHint;
    TvlGridGetDataTextEvent FOnGetDataText;
    TvlGridGetDisplayTextEvent FOnGetDisplayText;
    TvlGridGetFilterDisplayTextEvent FOnGetFilterDisplayText;
    TvlGridGetFilterValuesEvent FOnGetFilterValues;
    TvlGridGetPropertiesEvent FOnGetProperties;
    TvlGridGetPropertiesEvent FOnGetPropertiesForEdit;
    TvlGridTableItemGetStoredPropertiesEvent FOnGetStoredProperties;
    TvlGridTableItemGetStoredPropertyValueEvent FOnGetStoredPropertyValue;
    TvlGridTableItemSetStoredPropertyValueEvent FOnSetStoredPropertyValue;
    TvlGridUserFilteringEvent FOnUserFiltering;
};


// ---- data controller and item data binding ---------------------------------------------

// Answers the editors' question whether a display format is defined from
// the item's field and the item.
class TvlGridDefaultValuesProvider : public TvlCustomEditDefaultValuesProvider {
public:
    explicit TvlGridDefaultValuesProvider(TPersistent* AOwner) : TvlCustomEditDefaultValuesProvider(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlGridDefaultValuesProvider"); }
    bool DefinesDisplayFormat(bool AEditFocused) const override;
};

using TvlGridDefaultValuesProviderClass = TvlGridClass<TvlGridDefaultValuesProvider, TPersistent*>;
using TvlGridItemDataBindingClass = TvlGridClass<TvlGridItemDataBinding, TvlCustomGridTableItem*>;

// The link between an item and its field in the view's data controller;
// the item owns it while it belongs to a view.
class TvlGridItemDataBinding : public TPersistent {
public:
    explicit TvlGridItemDataBinding(TvlCustomGridTableItem* AItem);
    ~TvlGridItemDataBinding() override;
    String ClassName() const override { return String::fromLatin1("TvlGridItemDataBinding"); }
    void Assign(const TPersistent* Source) override;

    // The application's object, not owned.
    TObject* Data() const { return FData; }
    void SetData(TObject* Value);
    TvlGridDefaultValuesProvider* DefaultValuesProvider() const { return FDefaultValuesProvider.get(); }
    TvlCustomGridTableItem* Item() const { return FItem; }
    // The caption of the field's value type class; empty when none.
    String ValueType() const;
    // An unknown caption keeps the current class and raises a load error,
    // so that a misspelt type never leaves the field without one.
    void SetValueType(const String& Value);

    virtual TvlValueTypeClass GetDefaultValueTypeClass() const;
    virtual String GetFilterFieldName() const { return String(); }
    // Called when the item's data or properties change.
    virtual void Init() {}
    virtual bool IsValueTypeStored() const;
    virtual String GetDefaultCaption() const { return String(); }
    // The repository item that edits the field's value type by default.
    virtual TvlEditRepositoryItem* GetDefaultRepositoryItem() const;
    virtual int GetDefaultWidth(bool AConsiderHeader = true) const;

    TvlDataFilterCriteria* GetFilterCriteria() const;
    // The condition on this item; nullptr when none.
    TvlFilterCriteriaItem* GetFilterCondition() const;
    bool GetFiltered() const { return GetFilterCondition() != nullptr; }
    // False removes every condition on the item; True does nothing.
    void SetFiltered(bool Value);
    TvlValueTypeClass GetValueTypeClass() const;
    void SetValueTypeClass(TvlValueTypeClass Value);
    TvlCustomGridTableView* GetGridView() const;
    TvlGridDataController* GetDataController() const;
    IvlEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider.get(); }

private:
    TvlCustomGridTableItem* const FItem;
    TObject* FData = nullptr;
    std::unique_ptr<TvlGridDefaultValuesProvider> FDefaultValuesProvider;
};

// The data controller of every record view: it asks its view what the data
// layer leaves open (items, selection, display texts) and keeps the records
// when there is no data source.
class TvlGridDataController : public TvlDataController {
public:
    explicit TvlGridDataController(IvlDataControllerOwner* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlGridDataController"); }
    TvlCustomGridTableView* GridView() const;

    // What the items ask of their controller.
    virtual TvlGridItemDataBindingClass GetItemDataBindingClass() const;
    virtual TvlGridDefaultValuesProviderClass GetDefaultValuesProviderClass() const;
    bool IsFirstRecord() const;
    bool IsLastRecord() const;
    // Copies the records of ASource: its data source, or else its stored
    // records through a stream.
    void AssignData(TvlCustomDataController* ASource);

    TObject* GetItem(int AIndex) const override;
    int GetItemID(TObject* AItem) const override;
    String GetItemCaption(TObject* AItem) const override;
    bool CanSelectRow(int ARowIndex) override;
    int GetDefaultActiveRelationIndex() const override;
    bool FocusItem(int AItemIndex) override;
    bool CanModifyItem(int AItemIndex) override;
    String GetDisplayText(int ARecordIndex, int AItemIndex) const override;
    String GetFilterDisplayText(int ARecordIndex, int AItemIndex) const override;
    void GetFilterDataValue(int ARecordIndex, TvlCustomDataField* AField, Variant& AValue) const override;
    int CompareByField(int ARecordIndex1, int ARecordIndex2, TvlCustomDataField* AField) override;
    void BeginFullUpdate() override;
    void EndFullUpdate() override;
    void FilterChanged() override;
    void ItemValueTypeClassChanged(int AItemIndex) override;
    void UpdateData() override;
};


// ---- records and record view data ------------------------------------------------------

// One row of the data controller's row index, made when first asked for.
// Index is the row position (it moves with filtering, sorting and
// grouping); RecordIndex is the data record behind it.
class TvlCustomGridRecord : public TObject {
public:
    TvlCustomGridRecord(TvlCustomGridTableViewData* AViewData, const TvlRowInfo& ARecordInfo, int AIndex);
    ~TvlCustomGridRecord() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridRecord"); }

    TvlCustomGridTableViewData* ViewData() const { return FViewData; }
    int Index() const { return FIndex; }
    const TvlRowInfo& RecordInfo() const { return FRecordInfo; }
    TvlCustomGridRecordViewInfo* ViewInfo() const { return FViewInfo; }
    // The layout object while the record is on screen (set by the layout).
    void SetViewInfo(TvlCustomGridRecordViewInfo* Value) { FViewInfo = Value; }

    virtual void RefreshRecordInfo();
    virtual void DoCollapse(bool ARecurse) { (void)ARecurse; }
    virtual void DoExpand(bool ARecurse) { (void)ARecurse; }
    virtual bool GetExpandable() const { return false; }
    virtual bool GetExpanded() const { return false; }
    virtual void ToggleExpanded() { SetExpanded(!GetExpanded()); }
    virtual bool GetHasCells() const { return false; }
    virtual bool IsData() const { return true; }
    virtual bool IsFirst() const { return FIndex == 0; }
    virtual bool IsLast() const;
    virtual bool GetHasChildren() const { return false; }
    virtual TvlCustomGridRecord* GetParentRecord() const;
    virtual bool GetSelected() const;
    virtual bool GetVisible() const;
    virtual void SetSelected(bool Value);
    // The layout class of the record; none until the view lays its kind out.
    virtual TvlCustomGridRecordViewInfoClass GetViewInfoClass() const { return nullptr; }
    virtual String GetDisplayText(int AIndex) const;
    virtual int GetValueCount() const;
    virtual Variant GetValue(int AIndex) const;
    virtual void SetDisplayText(int AIndex, const String& Value);
    virtual void SetValue(int AIndex, const Variant& Value);
    // Numpad plus and minus, and the keys that start editing; a consumed
    // key becomes 0.
    virtual void KeyDown(uint16_t& Key, TShiftState Shift);
    virtual bool CanFocus() const;
    virtual bool CanFocusCells() const;
    virtual TvlCustomGridRecord* GetFirstFocusableChild() const { return nullptr; }
    virtual TvlCustomGridRecord* GetLastFocusableChild(bool ARecursive) const { (void)ARecursive; return nullptr; }
    // Queues a repaint of the record (or of one item's cell) while it is on screen.
    virtual void Invalidate(TvlCustomGridTableItem* AItem = nullptr);

    void Collapse(bool ARecurse);
    void Expand(bool ARecurse);
    bool Expanded() const { return GetExpanded(); }
    void SetExpanded(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    bool IsEditing() const;
    bool IsNewItemRecord() const;
    bool HasValidRecordIndex() const;
    int Level() const { return FRecordInfo.Level; }
    int RecordIndex() const { return FRecordInfo.RecordIndex; }
    bool IsParentRecordLast(int ALevel) const;
    int LastParentRecordCount() const;
    void MakeVisible();
    TvlCustomGridController* Controller() const;
    TvlGridDataController* DataController() const;
    TvlCustomGridTableView* GridView() const;

protected:
    TvlRowInfo FRecordInfo;

private:
    TvlCustomGridTableViewData* const FViewData;
    int FIndex;
    TvlCustomGridRecordViewInfo* FViewInfo = nullptr;  // not owned
};

using TvlCustomGridRecordClass = TvlGridClass<TvlCustomGridRecord, TvlCustomGridTableViewData*, const TvlRowInfo&, int>;

// What a date value is transformed for.
enum TvlGridDateValuePurpose { dvpSorting, dvpGrouping, dvpFiltering };

// The records of a record view: one slot per row, filled on first access.
class TvlCustomGridTableViewData : public TvlCustomGridViewData {
public:
    explicit TvlCustomGridTableViewData(TvlCustomGridView* AGridView);
    ~TvlCustomGridTableViewData() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableViewData"); }
    TvlCustomGridTableView* GridView() const;
    TvlGridDataController* DataController() const;

    // Kind 0: the data record at row AIndex (nullptr out of range); kind 1:
    // the new-item record.
    TvlCustomGridRecord* GetRecordByKind(int AKind, int AIndex) const override;
    int GetRecordKind(const TvlCustomGridRecord* ARecord) const override;
    int GetRecordIndex(const TvlCustomGridRecord* ARecord) const override;
    bool HasRecords() const override { return RecordCount() > 0; }
    virtual TvlCustomGridRecordClass GetRecordClass(const TvlRowInfo& ARecordInfo) const = 0;
    virtual TvlCustomGridRecordClass GetNewItemRecordClass() const { return nullptr; }
    virtual void Collapse(bool ARecurse);
    virtual void Expand(bool ARecurse);
    // Rebuilds the slots for a new row count: no record object survives.
    virtual void Refresh(int ARecordCount);
    virtual bool HasNewItemRecord() const { return false; }
    // The display text of a value through the item's editor properties;
    // false when none is made.
    virtual bool GetDisplayText(int ARecordIndex, int AItemIndex, TvlGridDateValuePurpose APurpose,
                                bool AUseDateRanges, String& AText) const;
    virtual int CompareValues(TvlCustomDataField* AField, const Variant& AValue1, TvlGridDateValuePurpose APurpose,
                              const Variant& AValue2) const;
    virtual bool GetGroupDisplayText(int ARecordIndex, int AItemIndex, String& AText,
                                     TvlGridDateValuePurpose APurpose) const;
    virtual Variant TransformValue(TvlCustomGridTableItem* AItem, const Variant& AValue,
                                   TvlGridDateValuePurpose APurpose) const;
    virtual bool HasDateRanges(TvlCustomGridTableItem* AItem, TvlGridDateValuePurpose APurpose) const;
    virtual bool NeedsDateCompare(TvlCustomDataField* AField, TvlGridDateValuePurpose APurpose) const;

    // The record at row AIndex, made on first access; AIndex must be valid.
    TvlCustomGridRecord* Records(int AIndex) const;
    TvlCustomGridRecord* GetRecordByIndex(int AIndex) const;
    TvlCustomGridRecord* GetRecordByRecordIndex(int ARecordIndex) const;
    bool IsRecordIndexValid(int AIndex) const { return AIndex >= 0 && AIndex < RecordCount(); }
    int RecordCount() const { return int(FRecords.size()); }
    // The record objects made so far (tests and the layout look at them).
    int CreatedRecordCount() const;
    TvlCustomGridRecord* NewItemRecord() const { return FNewItemRecord.get(); }
    TvlCustomGridRecord* EditingRecord() const { return FEditingRecord; }
    void AssignEditingRecord();
    // Refreshes every record's row info in place (row count unchanged).
    void RefreshRecords();
    void CheckNewItemRecord();
    // Adds a condition on AItem to the filter under AGroup (the root when
    // nullptr).
    TvlFilterCriteriaItem* AddItemFilterCondition(TvlFilterCriteriaItemList* AGroup, TvlCustomGridTableItem* AItem,
                                                  bool AReplaceExisting, const String& ADisplayText,
                                                  const Variant& AValue, TvlFilterOperatorKind AOperator);

protected:
    void CreateNewItemRecord();
    void DestroyNewItemRecord();

private:
    mutable std::vector<std::unique_ptr<TvlCustomGridRecord>> FRecords;
    std::unique_ptr<TvlCustomGridRecord> FNewItemRecord;
    TvlCustomGridRecord* FEditingRecord = nullptr;  // one of the records
};


// ---- the custom table view ---------------------------------------------------------------

using TvlGridAllowRecordOperationEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridRecord* ARecord, bool& AAllow)>;
using TvlGridCellClickEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridCellViewInfo* ACellViewInfo,
                                             TMouseButton AButton, TShiftState AShift, bool& AHandled)>;
using TvlGridPartCustomDrawBackgroundEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo, bool& ADone)>;
using TvlGridEditingEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* AItem, bool& AAllow)>;
using TvlGridCustomTableItemEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* AItem)>;
using TvlGridEditKeyEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* AItem,
                                           TvlCustomEdit* AEdit, uint16_t& Key, TShiftState Shift)>;
using TvlGridEditKeyPressEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, QChar& Key)>;
using TvlGridFilterCustomizationEvent = TDelegate<void(TvlCustomGridTableView* Sender, bool& ADone)>;
using TvlGridFilterDialogShowEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* AItem, bool& ADone)>;
using TvlGridFocusedItemChangedEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* APrevFocusedItem,
                                                      TvlCustomGridTableItem* AFocusedItem)>;
using TvlGridFocusedRecordChangedEvent =
    TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridRecord* APrevFocusedRecord,
                   TvlCustomGridRecord* AFocusedRecord, bool ANewItemRecordFocusingChanged)>;
using TvlGridGetCellHeightEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridRecord* ARecord,
                                                 TvlCustomGridTableItem* AItem, TvlGridTableDataCellViewInfo* ACellViewInfo,
                                                 int& AHeight)>;
using TvlGridGetDragDropTextEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridRecord* ARecord,
                                                   TvlCustomGridTableItem* AItem, String& AText)>;
using TvlGridInitEditEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit)>;
using TvlGridInitEditValueEvent = TDelegate<void(TvlCustomGridTableView* Sender, TvlCustomGridTableItem* AItem,
                                                 TvlCustomEdit* AEdit, Variant& AValue)>;
using TvlGridInitDateRangesEvent = TDelegate<void(TvlCustomGridTableItem* Sender, TvlGridDateRanges* ADateRanges)>;
using TvlGridInitStoredObjectEvent = TDelegate<void(TvlCustomGridView* Sender, TObject* AObject)>;
using TvlGridCustomTableViewEvent = TDelegate<void(TvlCustomGridTableView* Sender)>;

// The base of every view that shows records made of items: it keeps the
// items and their IDs, turns the data controller's notices into record
// rebuilds and repaints, decides how records and cells are drawn, copies
// rows to the clipboard and serves the navigator.
class TvlCustomGridTableView : public TvlCustomGridView {
public:
    using TItemClass = TvlGridClass<TvlCustomGridTableItem, TComponent*>;

    explicit TvlCustomGridTableView(TComponent* AOwner);
    ~TvlCustomGridTableView() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridTableView"); }

    TvlGridDataController* DataController() const;
    TvlCustomGridTableViewData* ViewData() const;
    TvlCustomGridTableOptionsBehavior* OptionsBehavior() const;
    TvlCustomGridTableOptionsData* OptionsData() const;
    TvlCustomGridTableOptionsSelection* OptionsSelection() const;
    TvlCustomGridTableOptionsView* OptionsView() const;
    TvlCustomGridTableViewStyles* Styles() const;
    TvlCustomGridTableOptionsCustomize* OptionsCustomize() const { return FOptionsCustomize.get(); }
    TvlCustomGridTableDateTimeHandling* DateTimeHandling() const { return FDateTimeHandling.get(); }
    TvlGridFilterBox* FilterBox() const { return FFilterBox.get(); }
    TvlCustomGridTableFiltering* Filtering() const { return FFiltering.get(); }

    // ---- items
    int ItemCount() const { return int(FItems.size()); }
    TvlCustomGridTableItem* Items(int Index) const { return FItems.at(size_t(Index)); }
    int VisibleItemCount() const { return int(FVisibleItems.size()); }
    TvlCustomGridTableItem* VisibleItems(int Index) const { return FVisibleItems.at(size_t(Index)); }
    int FilterableItemCount() const { return int(FFilterableItems.size()); }
    TvlCustomGridTableItem* FilterableItems(int Index) const { return FFilterableItems.at(size_t(Index)); }
    TvlCustomGridTableItem* GetItemByID(int AID) const;
    int IndexOfItem(const TvlCustomGridTableItem* AItem) const;
    // A new item of the view's item class, owned by the view's owner.
    TvlCustomGridTableItem* CreateItem();
    // Destroys every item and starts the IDs at 0 again.
    void ClearItems();
    void RestoreDefaults();
    int NextID() const { return FNextID; }
    // The item that has the focus in the focused record (the controller's,
    // kept by the view): an item that cannot take the focus is refused.
    TvlCustomGridTableItem* FocusedItem() const { return FFocusedItem; }
    void SetFocusedItem(TvlCustomGridTableItem* Value);
    int GetGroupingItemCount() const;
    TvlCustomGridTableItem* GetGroupingItem(int ALevel) const;
    int GetSortingItemCount() const;
    TvlCustomGridTableItem* GetSortingItem(int AIndex) const;
    bool IsAssigningItems() const { return FIsAssigningItems; }
    bool IsAfterAssigningItems() const { return FIsAfterAssigningItems; }

    virtual void AddItem(TvlCustomGridTableItem* AItem);
    virtual void RemoveItem(TvlCustomGridTableItem* AItem);
    virtual void ChangeItemIndex(TvlCustomGridTableItem* AItem, int AIndex);
    virtual void RefreshItemIndexes();
    virtual void ItemVisibilityChanged(TvlCustomGridTableItem* AItem, bool Value);
    virtual void RefreshVisibleItemsList();
    void RefreshFilterableItemsList();
    virtual void ItemCaptionChanged(TvlCustomGridTableItem* AItem);
    virtual void ItemValueTypeClassChanged(int AItemIndex);
    virtual TvlGridItemDataBindingClass GetItemDataBindingClass() const;
    virtual TItemClass GetItemClass() const = 0;
    virtual bool IsTableView() const { return false; }

    // ---- copying: tab-separated cells, CR LF between lines
    void CopyToClipboard(bool ACopyAll);
    // The text CopyToClipboard puts on the clipboard.
    String GetCopyText(bool ACopyAll);

    // ---- drawing rules
    virtual bool DrawDataCellSelected(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                      TvlGridTableDataCellViewInfo* ACellViewInfo, bool AUseRecordViewInfo);
    // A cell that cannot be selected never is; one selected with its record
    // is whenever the record is.
    virtual bool DrawCellSelected(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                  TvlGridTableCellViewInfo* ACellViewInfo, bool AUseRecordViewInfo);
    virtual bool DrawRecordActive(TvlCustomGridRecord* ARecord) const;
    virtual bool DrawRecordFocused(TvlCustomGridRecord* ARecord) const;
    virtual bool DrawRecordSelected(TvlCustomGridRecord* ARecord) const;
    virtual bool DrawSelection() const;

    // ---- the navigator
    bool IsBof() const;
    bool IsEof() const;
    bool CanAppend() const;
    bool CanDelete() const;
    bool CanEdit() const;
    bool CanInsert() const;
    void DoAction(int AButtonIndex);
    void RefreshNavigators();

    // ---- scrolling
    // Frees the layouts of the records on screen: before the records or an
    // item they point at go.
    void dropRecordLayouts();
    // Moves the layout by whole records (ARecordCount not 0) or by pixels,
    // then the painted content by as much.
    virtual void OffsetRecords(int ARecordCount, int DX, int DY);

    // ---- questions of the data controller and the records
    virtual bool CanSelectRecord(int ARecordIndex);
    virtual bool CanFocusRecord(TvlCustomGridRecord* ARecord);
    virtual int GetDefaultActiveDetailIndex() const;
    virtual bool FocusItemByIndex(int AIndex, bool& AFocused);
    virtual TvlCustomGridTableItem* FindItemByObjectName(const String& AObjectName) const;
    virtual bool IsEqualHeightRecords() const;
    virtual bool IsRecordHeightDependingOnData() const;
    virtual void UpdateRecordData() {}
    virtual void FilterChanged();
    virtual void ApplyBestFit(TvlCustomGridTableItem* AItem = nullptr, bool ACheckSizingAbility = false,
                              bool AFireEvents = false);
    void DataChanged(TvlUpdateControlInfo* AInfo) override;
    void RecordCountChanged() override;
    void RecordChanged(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem) override;
    void Loaded() override;
    int GetDataItemCount() const override { return ItemCount(); }
    TObject* GetDataItem(int AIndex) const override;

    // ---- events
    virtual bool DoCellClick(TvlCustomGridCellViewInfo* ACellViewInfo, TMouseButton AButton, TShiftState AShift);
    virtual bool DoCellDblClick(TvlCustomGridCellViewInfo* ACellViewInfo, TMouseButton AButton, TShiftState AShift);
    virtual bool DoEditing(TvlCustomGridTableItem* AItem);
    virtual void DoTopRecordIndexChanged();
    virtual void DoFocusedItemChanged(TvlCustomGridTableItem* APrevFocusedItem, TvlCustomGridTableItem* AFocusedItem);
    virtual void DoFocusedRecordChanged(int APrevFocusedRecordIndex, int AFocusedRecordIndex, int APrevFocusedDataRecordIndex,
                                        int AFocusedDataRecordIndex, bool ANewItemRecordFocusingChanged);
    virtual bool DoCustomDrawCell(TvlCanvas* ACanvas, TvlGridTableDataCellViewInfo* AViewInfo);
    virtual bool DoCustomDrawPartBackground(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo);
    virtual void DoEditChanged(TvlCustomGridTableItem* AItem);
    virtual void DoEditKeyDown(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, uint16_t& Key, TShiftState Shift);
    virtual void DoEditKeyPress(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, QChar& Key);
    virtual void DoEditKeyUp(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, uint16_t& Key, TShiftState Shift);
    virtual void DoEditValueChanged(TvlCustomGridTableItem* AItem);
    virtual bool DoFilterCustomization();
    virtual bool DoFilterDialogShow(TvlCustomGridTableItem* AItem);
    virtual void DoGetCellHeight(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                 TvlGridTableDataCellViewInfo* ACellViewInfo, int& AHeight);
    virtual void DoGetDragDropText(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, String& AText);
    virtual void DoInitEdit(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit);
    virtual void DoInitEditValue(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, Variant& AValue);
    virtual void DoInitFilteringDateRanges(TvlCustomGridTableItem* AItem, TvlGridDateRanges* ADateRanges);
    virtual void DoInitGroupingDateRanges(TvlCustomGridTableItem* AItem, TvlGridDateRanges* ADateRanges);
    virtual void DoSelectionChanged();

#define VL_GRID_VIEW_EVENT(Type, Name)                                  \
    const Type& Name() const { return F##Name; }                       \
    void Set##Name(const Type& Value) { setEvent(F##Name, Value); }
    VL_GRID_VIEW_EVENT(TvlGridAllowRecordOperationEvent, OnCanFocusRecord)
    VL_GRID_VIEW_EVENT(TvlGridAllowRecordOperationEvent, OnCanSelectRecord)
    VL_GRID_VIEW_EVENT(TvlGridCellClickEvent, OnCellClick)
    VL_GRID_VIEW_EVENT(TvlGridCellClickEvent, OnCellDblClick)
    VL_GRID_VIEW_EVENT(TvlGridTableDataCellCustomDrawEvent, OnCustomDrawCell)
    VL_GRID_VIEW_EVENT(TvlGridPartCustomDrawBackgroundEvent, OnCustomDrawPartBackground)
    VL_GRID_VIEW_EVENT(TvlGridEditingEvent, OnEditing)
    VL_GRID_VIEW_EVENT(TvlGridCustomTableItemEvent, OnEditChanged)
    VL_GRID_VIEW_EVENT(TvlGridCustomTableItemEvent, OnEditValueChanged)
    VL_GRID_VIEW_EVENT(TvlGridEditKeyEvent, OnEditKeyDown)
    VL_GRID_VIEW_EVENT(TvlGridEditKeyEvent, OnEditKeyUp)
    VL_GRID_VIEW_EVENT(TvlGridEditKeyPressEvent, OnEditKeyPress)
    VL_GRID_VIEW_EVENT(TNotifyEvent, OnFilterControlDialogShow)
    VL_GRID_VIEW_EVENT(TvlGridFilterCustomizationEvent, OnFilterCustomization)
    VL_GRID_VIEW_EVENT(TvlGridFilterDialogShowEvent, OnFilterDialogShow)
    VL_GRID_VIEW_EVENT(TvlGridFocusedItemChangedEvent, OnFocusedItemChanged)
    VL_GRID_VIEW_EVENT(TvlGridFocusedRecordChangedEvent, OnFocusedRecordChanged)
    VL_GRID_VIEW_EVENT(TvlGridGetCellHeightEvent, OnGetCellHeight)
    VL_GRID_VIEW_EVENT(TvlGridGetDragDropTextEvent, OnGetDragDropText)
    VL_GRID_VIEW_EVENT(TvlGridInitEditEvent, OnInitEdit)
    VL_GRID_VIEW_EVENT(TvlGridInitEditValueEvent, OnInitEditValue)
    VL_GRID_VIEW_EVENT(TvlGridInitDateRangesEvent, OnInitFilteringDateRanges)
    VL_GRID_VIEW_EVENT(TvlGridInitDateRangesEvent, OnInitGroupingDateRanges)
    VL_GRID_VIEW_EVENT(TvlGridInitStoredObjectEvent, OnInitStoredObject)
    VL_GRID_VIEW_EVENT(TvlGridCustomTableViewEvent, OnSelectionChanged)
    VL_GRID_VIEW_EVENT(TNotifyEvent, OnTopRecordIndexChanged)
#undef VL_GRID_VIEW_EVENT

protected:
    // A new handler is taken, and reported as a property change, only when
    // its code differs: rebinding the same method to another object is no
    // change.
    template <class E>
    void setEvent(E& AField, const E& AValue)
    {
        if (AField.SameCode(AValue) && AField.Assigned() == AValue.Assigned())
            return;
        AField = AValue;
        Changed(vckProperty);
    }

    using TOptionsObjectClass = TvlGridClass<TvlCustomGridOptions, TvlCustomGridView*>;
    void CreateOptions() override;
    void DestroyOptions() override;
    void CreateHandlers() override;
    void DestroyHandlers() override;
    void DoAssign(const TvlCustomGridView* Source) override;
    TControllerClass GetControllerClass() const override;
    TDataControllerClass GetDataControllerClass() const override;
    TViewDataClass GetViewDataClass() const override = 0;
    TOptionsClass GetOptionsBehaviorClass() const override;
    TOptionsClass GetOptionsDataClass() const override;
    TOptionsClass GetOptionsSelectionClass() const override;
    TOptionsClass GetOptionsViewClass() const override;
    TStylesClass GetStylesClass() const override;
    virtual TOptionsObjectClass GetDateTimeHandlingClass() const;
    virtual TOptionsObjectClass GetFilterBoxClass() const;
    virtual TOptionsObjectClass GetFilteringClass() const;
    virtual TOptionsObjectClass GetOptionsCustomizeClass() const;

    virtual void BeforeAssignItems();
    virtual void AfterAssignItems();
    // Layout assignment: each item of ASource names, through its binding's
    // Data, the item of this view that takes its properties and place.
    virtual void DoAssignLayout(TvlCustomGridTableView* ASource);
    virtual void GetItemsForCopy(std::vector<TvlCustomGridTableItem*>& AList, bool ACopyAll);
    virtual void GetVisibleItemsList(std::vector<TvlCustomGridTableItem*>& AList) const;
    virtual void ProcessDataChanged();
    virtual void ProcessLayoutChanged();
    virtual void ProcessRecordChanged(int ARecordIndex);
    virtual void SearchChanged();
    virtual void SelectionChanged(TvlSelectionChangedInfo* AInfo);
    virtual void GroupingChanging();
    virtual void FocusedRecordChanged(int APrevFocusedRecordIndex, int AFocusedRecordIndex, int APrevFocusedDataRecordIndex,
                                      int AFocusedDataRecordIndex, bool ANewItemRecordFocusingChanged);
    void FocusedRecordChanged(const TvlGridFocusedRecordChange& AChange) override;

public:
    void AssignLayout(TvlCustomGridTableView* ASource);
    // The same view data, typed: the records of the view.
    TvlCustomGridTableViewData* RecordViewData() const { return ViewData(); }

private:
    friend class TvlCustomGridTableItem;
    void dispatchDataChange(TvlUpdateControlInfo* AInfo);
    void moveFocus(int ADistance);
    std::vector<TvlCustomGridTableItem*> FItems;            // owned by the form
    std::vector<TvlCustomGridTableItem*> FVisibleItems;
    std::vector<TvlCustomGridTableItem*> FFilterableItems;
    int FNextID = 0;
    TvlCustomGridTableItem* FFocusedItem = nullptr;  // one of the items
    bool FIsAssigningItems = false;
    bool FIsAfterAssigningItems = false;
    bool FClearingItems = false;
    std::vector<TvlCustomGridTableItem*> FAssigningGroupedItems;
    std::vector<TvlCustomGridTableItem*> FAssigningSortedItems;
    std::unique_ptr<TvlCustomGridTableDateTimeHandling> FDateTimeHandling;
    std::unique_ptr<TvlGridFilterBox> FFilterBox;
    std::unique_ptr<TvlCustomGridTableFiltering> FFiltering;
    std::unique_ptr<TvlCustomGridTableOptionsCustomize> FOptionsCustomize;

    TvlGridAllowRecordOperationEvent FOnCanFocusRecord;
    TvlGridAllowRecordOperationEvent FOnCanSelectRecord;
    TvlGridCellClickEvent FOnCellClick;
    TvlGridCellClickEvent FOnCellDblClick;
    TvlGridTableDataCellCustomDrawEvent FOnCustomDrawCell;
    TvlGridPartCustomDrawBackgroundEvent FOnCustomDrawPartBackground;
    TvlGridEditingEvent FOnEditing;
    TvlGridCustomTableItemEvent FOnEditChanged;
    TvlGridCustomTableItemEvent FOnEditValueChanged;
    TvlGridEditKeyEvent FOnEditKeyDown;
    TvlGridEditKeyEvent FOnEditKeyUp;
    TvlGridEditKeyPressEvent FOnEditKeyPress;
    TNotifyEvent FOnFilterControlDialogShow;
    TvlGridFilterCustomizationEvent FOnFilterCustomization;
    TvlGridFilterDialogShowEvent FOnFilterDialogShow;
    TvlGridFocusedItemChangedEvent FOnFocusedItemChanged;
    TvlGridFocusedRecordChangedEvent FOnFocusedRecordChanged;
    TvlGridGetCellHeightEvent FOnGetCellHeight;
    TvlGridGetDragDropTextEvent FOnGetDragDropText;
    TvlGridInitEditEvent FOnInitEdit;
    TvlGridInitEditValueEvent FOnInitEditValue;
    TvlGridInitDateRangesEvent FOnInitFilteringDateRanges;
    TvlGridInitDateRangesEvent FOnInitGroupingDateRanges;
    TvlGridInitStoredObjectEvent FOnInitStoredObject;
    TvlGridCustomTableViewEvent FOnSelectionChanged;
    TNotifyEvent FOnTopRecordIndexChanged;
};

