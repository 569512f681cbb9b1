// The record view: its items and their IDs, the data controller's notices,
// drawing rules, events, assignment, copying and navigator operations.
#include "ui/grid/vlGridCustomTableView.h"

#include <algorithm>

#include "platform/controls/Clipbrd.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomTableViewInfo.h"

namespace {

// A tab or a line break inside a cell would split the cell or the row when
// the text is pasted: each becomes a space.
String copyCellText(String AText)
{
    for (QChar& c : AText)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return AText;
}

const String copyLineBreak = String::fromLatin1("\r\n");

}  // namespace

// ---- creation and the handlers ---------------------------------------------------------------

TvlCustomGridTableView::TvlCustomGridTableView(TComponent* AOwner) : TvlCustomGridView(AOwner) {}

TvlCustomGridTableView::~TvlCustomGridTableView()
{
    Destroying();
    FFocusedItem = nullptr;
    dropRecordLayouts();
    // The items belong to the form, but not without their view. The grid
    // is not locked here: its pending changes must not run against a view
    // that is half gone.
    while (!FItems.empty()) {
        TvlCustomGridTableItem* item = FItems.back();
        FItems.pop_back();
        if (DataController() != nullptr)
            DataController()->RemoveItem(item);
        item->SetGridView(nullptr);
        item->FIndex = -1;
        item->FVisibleIndex = -1;
        delete item;
    }
    FVisibleItems.clear();
    FFilterableItems.clear();
}

void TvlCustomGridTableView::CreateOptions()
{
    TvlCustomGridView::CreateOptions();
    FDateTimeHandling = vlGridDowncast<TvlCustomGridTableDateTimeHandling>(GetDateTimeHandlingClass()(this));
    FFilterBox = vlGridDowncast<TvlGridFilterBox>(GetFilterBoxClass()(this));
    FFiltering = vlGridDowncast<TvlCustomGridTableFiltering>(GetFilteringClass()(this));
    FOptionsCustomize = vlGridDowncast<TvlCustomGridTableOptionsCustomize>(GetOptionsCustomizeClass()(this));
}

void TvlCustomGridTableView::DestroyOptions()
{
    FOptionsCustomize.reset();
    FFiltering.reset();
    FFilterBox.reset();
    FDateTimeHandling.reset();
    TvlCustomGridView::DestroyOptions();
}

void TvlCustomGridTableView::CreateHandlers()
{
    FItems.clear();
    FVisibleItems.clear();
    FFilterableItems.clear();
    TvlCustomGridView::CreateHandlers();
}

void TvlCustomGridTableView::DestroyHandlers() { TvlCustomGridView::DestroyHandlers(); }

TvlCustomGridView::TControllerClass TvlCustomGridTableView::GetControllerClass() const
{
    return &vlGridCreate<TvlCustomGridTableController, TvlCustomGridController, TvlCustomGridView*>;
}

TvlCustomGridView::TDataControllerClass TvlCustomGridTableView::GetDataControllerClass() const
{
    return &vlGridCreate<TvlGridDataController, TvlCustomDataController, IvlDataControllerOwner*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridTableView::GetOptionsBehaviorClass() const
{
    return &vlGridCreate<TvlCustomGridTableOptionsBehavior, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridTableView::GetOptionsDataClass() const
{
    return &vlGridCreate<TvlCustomGridTableOptionsData, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridTableView::GetOptionsSelectionClass() const
{
    return &vlGridCreate<TvlCustomGridTableOptionsSelection, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridTableView::GetOptionsViewClass() const
{
    return &vlGridCreate<TvlCustomGridTableOptionsView, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TStylesClass TvlCustomGridTableView::GetStylesClass() const
{
    return &vlGridCreate<TvlCustomGridTableViewStyles, TvlCustomGridViewStyles, TPersistent*>;
}

TvlCustomGridTableView::TOptionsObjectClass TvlCustomGridTableView::GetDateTimeHandlingClass() const
{
    return &vlGridCreate<TvlCustomGridTableDateTimeHandling, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridTableView::TOptionsObjectClass TvlCustomGridTableView::GetFilterBoxClass() const
{
    return &vlGridCreate<TvlGridFilterBox, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridTableView::TOptionsObjectClass TvlCustomGridTableView::GetFilteringClass() const
{
    return &vlGridCreate<TvlCustomGridTableFiltering, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridTableView::TOptionsObjectClass TvlCustomGridTableView::GetOptionsCustomizeClass() const
{
    return &vlGridCreate<TvlCustomGridTableOptionsCustomize, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlGridDataController* TvlCustomGridTableView::DataController() const
{
    return static_cast<TvlGridDataController*>(TvlCustomGridView::DataController());
}

TvlCustomGridTableViewData* TvlCustomGridTableView::ViewData() const
{
    return static_cast<TvlCustomGridTableViewData*>(TvlCustomGridView::ViewData());
}

TvlCustomGridTableOptionsBehavior* TvlCustomGridTableView::OptionsBehavior() const
{
    return static_cast<TvlCustomGridTableOptionsBehavior*>(TvlCustomGridView::OptionsBehavior());
}

TvlCustomGridTableOptionsData* TvlCustomGridTableView::OptionsData() const
{
    return static_cast<TvlCustomGridTableOptionsData*>(TvlCustomGridView::OptionsData());
}

TvlCustomGridTableOptionsSelection* TvlCustomGridTableView::OptionsSelection() const
{
    return static_cast<TvlCustomGridTableOptionsSelection*>(TvlCustomGridView::OptionsSelection());
}

TvlCustomGridTableOptionsView* TvlCustomGridTableView::OptionsView() const
{
    return static_cast<TvlCustomGridTableOptionsView*>(TvlCustomGridView::OptionsView());
}

TvlCustomGridTableViewStyles* TvlCustomGridTableView::Styles() const
{
    return static_cast<TvlCustomGridTableViewStyles*>(TvlCustomGridView::Styles());
}

// ---- items ------------------------------------------------------------------------------------

TObject* TvlCustomGridTableView::GetDataItem(int AIndex) const
{
    return AIndex >= 0 && AIndex < ItemCount() ? FItems[size_t(AIndex)] : nullptr;
}

TvlCustomGridTableItem* TvlCustomGridTableView::GetItemByID(int AID) const
{
    for (TvlCustomGridTableItem* item : FItems)
        if (item->ID() == AID)
            return item;
    return nullptr;
}

int TvlCustomGridTableView::IndexOfItem(const TvlCustomGridTableItem* AItem) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), AItem);
    return it != FItems.end() ? int(it - FItems.begin()) : -1;
}

TvlCustomGridTableItem* TvlCustomGridTableView::CreateItem()
{
    // The item belongs to the view's owner, as a form's items do.
    std::unique_ptr<TvlCustomGridTableItem> item = GetItemClass()(Owner() != nullptr ? Owner() : this);
    TvlCustomGridTableItem* result = item.release();
    try {
        AddItem(result);
    } catch (...) {
        delete result;
        throw;
    }
    return result;
}

void TvlCustomGridTableView::ClearItems()
{
    BeginUpdate();
    try {
        while (!FItems.empty()) {
            TvlCustomGridTableItem* item = FItems.back();
            RemoveItem(item);
            delete item;
        }
        FNextID = 0;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlCustomGridTableView::RestoreDefaults()
{
    BeginUpdate();
    try {
        for (TvlCustomGridTableItem* item : FItems)
            item->RestoreDefaults();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TvlCustomGridTableView::GetGroupingItemCount() const { return DataController()->Groups()->GetGroupingItemCount(); }

TvlCustomGridTableItem* TvlCustomGridTableView::GetGroupingItem(int ALevel) const
{
    return static_cast<TvlCustomGridTableItem*>(GetDataItem(DataController()->Groups()->GetGroupingItemIndex(ALevel)));
}

int TvlCustomGridTableView::GetSortingItemCount() const { return DataController()->GetSortingItemCount(); }

TvlCustomGridTableItem* TvlCustomGridTableView::GetSortingItem(int AIndex) const
{
    return static_cast<TvlCustomGridTableItem*>(GetDataItem(DataController()->GetSortingItemIndex(AIndex)));
}

void TvlCustomGridTableView::AddItem(TvlCustomGridTableItem* AItem)
{
    // The data controller refuses an item it already has ("Item already
    // exists") before the view lists it twice.
    DataController()->AddItem(AItem);
    FItems.push_back(AItem);
    RefreshItemIndexes();
    AItem->FID = FNextID++;
    AItem->SetGridView(this);
    AItem->SetVisible(true);
    RefreshFilterableItemsList();
}

void TvlCustomGridTableView::RemoveItem(TvlCustomGridTableItem* AItem)
{
    if (IndexOfItem(AItem) < 0)
        return;
    BeginUpdate();
    try {
        if (OptionsBehavior() != nullptr && OptionsBehavior()->IncSearchItem() == AItem)
            OptionsBehavior()->SetIncSearchItem(nullptr);
        if (FFocusedItem == AItem)
            FFocusedItem = nullptr;
        dropRecordLayouts();
        if (!IsDestroying())
            AItem->SetVisible(false);
        FItems.erase(std::remove(FItems.begin(), FItems.end(), AItem), FItems.end());
        AItem->FIndex = -1;
        AItem->FVisibleIndex = -1;
        RefreshItemIndexes();
        DataController()->RemoveItem(AItem);
        DataController()->UpdateItemIndexes();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    AItem->SetGridView(nullptr);
    if (AItem->FID == FNextID - 1)
        --FNextID;
    RefreshVisibleItemsList();
    RefreshFilterableItemsList();
    RefreshCustomizationFormItems();
}

void TvlCustomGridTableView::ChangeItemIndex(TvlCustomGridTableItem* AItem, int AIndex)
{
    const int current = IndexOfItem(AItem);
    if (current < 0)
        return;
    AIndex = std::clamp(AIndex, 0, ItemCount() - 1);
    if (AIndex == current)
        return;
    FItems.erase(FItems.begin() + current);
    FItems.insert(FItems.begin() + AIndex, AItem);
    RefreshItemIndexes();
    if (AItem->GetActuallyVisible())
        RefreshVisibleItemsList();
    DataController()->UpdateItemIndexes();
}

void TvlCustomGridTableView::RefreshItemIndexes()
{
    for (size_t i = 0; i < FItems.size(); ++i)
        FItems[i]->FIndex = int(i);
}

void TvlCustomGridTableView::ItemVisibilityChanged(TvlCustomGridTableItem* AItem, bool Value)
{
    if (!Value && FFocusedItem == AItem) {
        // The focus goes to the next visible item, else to none.
        TvlCustomGridTableItem* next = nullptr;
        for (int i = AItem->VisibleIndex() + 1; i < VisibleItemCount() && next == nullptr; ++i)
            if (VisibleItems(i) != AItem && VisibleItems(i)->CanFocus(nullptr))
                next = VisibleItems(i);
        SetFocusedItem(next);
        if (FFocusedItem == AItem)
            FFocusedItem = nullptr;
    }
    RefreshVisibleItemsList();
    SizeChanged();
}

void TvlCustomGridTableView::RefreshVisibleItemsList()
{
    FVisibleItems.clear();
    for (TvlCustomGridTableItem* item : FItems) {
        if (item->GetActuallyVisible()) {
            item->FVisibleIndex = int(FVisibleItems.size());
            FVisibleItems.push_back(item);
        } else {
            item->FVisibleIndex = -1;
        }
    }
}

void TvlCustomGridTableView::RefreshFilterableItemsList()
{
    if (IsDestroying())
        return;
    FFilterableItems.clear();
    for (TvlCustomGridTableItem* item : FItems)
        if (item->IsFilterable())
            FFilterableItems.push_back(item);
}

void TvlCustomGridTableView::ItemCaptionChanged(TvlCustomGridTableItem* AItem)
{
    const bool shown = AItem == nullptr || AItem->GetActuallyVisible() || AItem->GroupIndex() != -1 ||
                       (AItem->DataBinding() != nullptr && AItem->DataBinding()->GetFiltered());
    Changed(shown ? vckSize : vckProperty);
    RefreshCustomizationFormItems();
}

void TvlCustomGridTableView::ItemValueTypeClassChanged(int AItemIndex)
{
    if (AItemIndex >= 0 && AItemIndex < ItemCount())
        Items(AItemIndex)->ValueTypeClassChanged();
}

TvlGridItemDataBindingClass TvlCustomGridTableView::GetItemDataBindingClass() const
{
    return DataController()->GetItemDataBindingClass();
}

void TvlCustomGridTableView::SetFocusedItem(TvlCustomGridTableItem* Value)
{
    if (Value == FFocusedItem)
        return;
    if (Value != nullptr) {
        TvlCustomGridRecord* focused = ViewData()->GetRecordByIndex(DataController()->GetFocusedRowIndex());
        if (IndexOfItem(Value) < 0 || !Value->CanFocus(focused))
            return;
    }
    TvlCustomGridTableItem* previous = FFocusedItem;
    FFocusedItem = Value;
    Invalidate();
    DoFocusedItemChanged(previous, FFocusedItem);
}

bool TvlCustomGridTableView::FocusItemByIndex(int AIndex, bool& AFocused)
{
    TvlCustomGridTableItem* item = static_cast<TvlCustomGridTableItem*>(GetDataItem(AIndex));
    if (item != nullptr)
        SetFocusedItem(item);
    AFocused = item != nullptr && FFocusedItem == item;
    return AFocused;
}

TvlCustomGridTableItem* TvlCustomGridTableView::FindItemByObjectName(const String& AObjectName) const
{
    for (TvlCustomGridTableItem* item : FItems)
        if (item->GetStoredObjectName() == AObjectName && !AObjectName.isEmpty())
            return item;
    return nullptr;
}

// ---- questions of the data controller -----------------------------------------------------------

bool TvlCustomGridTableView::CanSelectRecord(int ARecordIndex)
{
    if (!FOnCanSelectRecord)
        return true;
    bool allow = true;
    TvlCustomGridRecord* record = ViewData() != nullptr ? ViewData()->GetRecordByIndex(ARecordIndex) : nullptr;
    FOnCanSelectRecord(this, record, allow);
    return allow;
}

bool TvlCustomGridTableView::CanFocusRecord(TvlCustomGridRecord* ARecord)
{
    bool allow = true;
    if (FOnCanFocusRecord)
        FOnCanFocusRecord(this, ARecord, allow);
    return allow;
}

int TvlCustomGridTableView::GetDefaultActiveDetailIndex() const
{
    TvlGridLevel* level = Level();
    if (level == nullptr || (Control() != nullptr && Control()->IsDestroying()))
        return -1;
    for (int i = 0; i < level->Count(); ++i)
        if (level->Items(i)->Visible())
            return i;
    return -1;
}

bool TvlCustomGridTableView::IsEqualHeightRecords() const { return true; }

bool TvlCustomGridTableView::IsRecordHeightDependingOnData() const
{
    if (OptionsView()->CellAutoHeight() || FOnGetCellHeight.Assigned())
        return true;
    for (TvlCustomGridTableItem* item : FItems)
        if (item->GetActuallyVisible() && item->CanAutoHeight() && OptionsView()->CellAutoHeight())
            return true;
    return false;
}

void TvlCustomGridTableView::FilterChanged()
{
    // The filtering options keep the recent filters of the view.
    Changed(vckProperty);
}

void TvlCustomGridTableView::ApplyBestFit(TvlCustomGridTableItem* AItem, bool ACheckSizingAbility, bool AFireEvents)
{
    BeginUpdate();
    try {
        if (AItem != nullptr) {
            AItem->ApplyBestFit(ACheckSizingAbility, AFireEvents);
        } else {
            for (TvlCustomGridTableItem* item : std::vector<TvlCustomGridTableItem*>(FVisibleItems))
                item->ApplyBestFit(ACheckSizingAbility, AFireEvents);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- the data controller's notices ----------------------------------------------------------------

void TvlCustomGridTableView::DataChanged(TvlUpdateControlInfo* AInfo)
{
    if (IsDestroying() || ViewData() == nullptr)
        return;
    dispatchDataChange(AInfo);
    if (dynamic_cast<TvlGroupingChangingInfo*>(AInfo) == nullptr)
        RefreshNavigators();
    TvlCustomGridView::DataChanged(AInfo);
}

void TvlCustomGridTableView::dispatchDataChange(TvlUpdateControlInfo* AInfo)
{
    if (dynamic_cast<TvlDataChangedInfo*>(AInfo) != nullptr) {
        ProcessDataChanged();
    } else if (dynamic_cast<TvlLayoutChangedInfo*>(AInfo) != nullptr) {
        ProcessLayoutChanged();
    } else if (auto* focused = dynamic_cast<TvlFocusedRecordChangedInfo*>(AInfo)) {
        Controller()->FocusedRecordChanged(focused->PrevFocusedRecordIndex, focused->FocusedRecordIndex);
        FocusedRecordChanged(focused->PrevFocusedRowIndex, focused->FocusedRowIndex, focused->PrevFocusedRecordIndex,
                             focused->FocusedRecordIndex, focused->NewItemRowFocusingChanged);
    } else if (auto* selection = dynamic_cast<TvlSelectionChangedInfo*>(AInfo)) {
        SelectionChanged(selection);
    } else if (dynamic_cast<TvlSearchChangedInfo*>(AInfo) != nullptr) {
        SearchChanged();
    } else if (auto* record = dynamic_cast<TvlUpdateRecordInfo*>(AInfo)) {
        ProcessRecordChanged(record->RecordIndex);
    } else if (dynamic_cast<TvlGroupingChangingInfo*>(AInfo) != nullptr) {
        GroupingChanging();
    }
}

void TvlCustomGridTableView::ProcessDataChanged()
{
    for (TvlCustomGridTableItem* item : std::vector<TvlCustomGridTableItem*>(FItems))
        item->DataChanged();
    Changed(std::make_unique<TvlGridDataChange>(this));
}

void TvlCustomGridTableView::ProcessLayoutChanged()
{
    ViewData()->RefreshRecords();
    SizeChanged();
}

void TvlCustomGridTableView::ProcessRecordChanged(int ARecordIndex)
{
    ViewData()->AssignEditingRecord();
    if (IsRecordHeightDependingOnData()) {
        SizeChanged();
        return;
    }
    if (TvlCustomGridRecord* record = ViewData()->GetRecordByRecordIndex(ARecordIndex))
        record->Invalidate();
    else
        LayoutChanged(true);
}

void TvlCustomGridTableView::SearchChanged()
{
    TvlCustomGridRecord* record = ViewData()->GetRecordByIndex(DataController()->GetFocusedRowIndex());
    if (record != nullptr)
        record->Invalidate(OptionsBehavior()->IncSearchItem());
}

void TvlCustomGridTableView::SelectionChanged(TvlSelectionChangedInfo* AInfo)
{
    if (AInfo->GetCount() == 0) {
        LayoutChanged(true);
    } else {
        for (int i = 0; i < AInfo->GetCount(); ++i) {
            const int row = AInfo->GetRowIndex(i);
            if (ViewData()->IsRecordIndexValid(row))
                ViewData()->Records(row)->Invalidate();
        }
    }
    if (!IsLoading())
        DoSelectionChanged();
}

void TvlCustomGridTableView::GroupingChanging()
{
    for (TvlCustomGridTableItem* item : FItems)
        item->DateTimeGroupingChanged();
}

void TvlCustomGridTableView::FocusedRecordChanged(int APrevFocusedRecordIndex, int AFocusedRecordIndex,
                                                  int APrevFocusedDataRecordIndex, int AFocusedDataRecordIndex,
                                                  bool ANewItemRecordFocusingChanged)
{
    auto change = std::make_unique<TvlGridFocusedRecordChange>(this, ANewItemRecordFocusingChanged, AFocusedDataRecordIndex,
                                                               APrevFocusedDataRecordIndex, AFocusedRecordIndex,
                                                               APrevFocusedRecordIndex);
    Changed(std::move(change));
}

void TvlCustomGridTableView::FocusedRecordChanged(const TvlGridFocusedRecordChange& AChange)
{
    Invalidate();
    DoFocusedRecordChanged(AChange.OldIndex, AChange.NewIndex, AChange.OldDataIndex, AChange.NewDataIndex,
                           AChange.NewItemRowFocusChanged);
}

void TvlCustomGridTableView::RecordCountChanged()
{
    ViewData()->Refresh(DataController()->GetRowCount());
    if (Control() != nullptr)
        ContentChanged();
}

void TvlCustomGridTableView::RecordChanged(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem)
{
    (void)ARecord;
    (void)AItem;
    Invalidate();
}

void TvlCustomGridTableView::Loaded()
{
    TvlCustomGridView::Loaded();
    RefreshVisibleItemsList();
    RefreshFilterableItemsList();
}

// ---- copying -----------------------------------------------------------------------------------------

void TvlCustomGridTableView::GetItemsForCopy(std::vector<TvlCustomGridTableItem*>& AList, bool ACopyAll)
{
    (void)ACopyAll;
    GetVisibleItemsList(AList);
}

void TvlCustomGridTableView::GetVisibleItemsList(std::vector<TvlCustomGridTableItem*>& AList) const
{
    AList.insert(AList.end(), FVisibleItems.begin(), FVisibleItems.end());
}

String TvlCustomGridTableView::GetCopyText(bool ACopyAll)
{
    std::vector<TvlCustomGridTableItem*> items;
    GetItemsForCopy(items, ACopyAll);
    // Without items there is nothing to copy: no caption line, no rows.
    if (items.empty())
        return String();
    String text;
    if (OptionsBehavior()->CopyCaptionsToClipboard()) {
        for (size_t i = 0; i < items.size(); ++i) {
            if (i > 0)
                text += QLatin1Char('\t');
            text += copyCellText(items[i]->GetAlternateCaption());
        }
        text += copyLineBreak;
    }
    TvlGridDataController* controller = DataController();
    controller->ForEachRow(!ACopyAll, [&](int, const TvlRowInfo& ARowInfo) {
        for (size_t i = 0; i < items.size(); ++i) {
            if (i > 0)
                text += QLatin1Char('\t');
            int itemIndex = items[i]->Index();
            text += copyCellText(controller->GetRowDisplayText(ARowInfo, itemIndex));
        }
        text += copyLineBreak;
    });
    if (text.endsWith(copyLineBreak))
        text.chop(copyLineBreak.size());
    return text;
}

void TvlCustomGridTableView::CopyToClipboard(bool ACopyAll)
{
    TvlCustomGrid* grid = Control();
    if (grid != nullptr)
        grid->BeginUpdate();
    String text;
    try {
        text = GetCopyText(ACopyAll);
        if (DataController()->IsGridMode())
            Controller()->MakeFocusedRecordVisible();
    } catch (...) {
        if (grid != nullptr)
            grid->EndUpdate();
        throw;
    }
    if (grid != nullptr)
        grid->EndUpdate();
    Clipboard()->SetAsText(text);
}

// ---- drawing rules -----------------------------------------------------------------------------------

bool TvlCustomGridTableView::DrawRecordActive(TvlCustomGridRecord* ARecord) const
{
    (void)ARecord;
    return IsControlFocused();
}

bool TvlCustomGridTableView::DrawRecordFocused(TvlCustomGridRecord* ARecord) const
{
    return ARecord != nullptr && ARecord->Focused() && IsFocused();
}

bool TvlCustomGridTableView::DrawRecordSelected(TvlCustomGridRecord* ARecord) const
{
    return ARecord != nullptr && ARecord->GetSelected() && (IsFocused() || OptionsSelection()->MultiSelect());
}

bool TvlCustomGridTableView::DrawSelection() const { return IsControlFocused() || !OptionsSelection()->HideSelection(); }

bool TvlCustomGridTableView::DrawCellSelected(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                              TvlGridTableCellViewInfo* ACellViewInfo, bool AUseRecordViewInfo)
{
    if (ACellViewInfo != nullptr && !ACellViewInfo->CanBeSelected())
        return false;
    if (ARecord == nullptr || !DrawRecordSelected(ARecord))
        return false;
    if (ACellViewInfo != nullptr && ACellViewInfo->SelectedWithRecord())
        return DrawSelection();
    return DrawDataCellSelected(ARecord, AItem, dynamic_cast<TvlGridTableDataCellViewInfo*>(ACellViewInfo),
                                AUseRecordViewInfo) &&
           DrawSelection();
}

bool TvlCustomGridTableView::DrawDataCellSelected(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                                  TvlGridTableDataCellViewInfo* ACellViewInfo, bool AUseRecordViewInfo)
{
    (void)ACellViewInfo;
    (void)AUseRecordViewInfo;
    if (ARecord == nullptr || !ARecord->GetHasCells() || !OptionsSelection()->CellSelect())
        return true;
    const bool focusedCell = AItem != nullptr && AItem == FFocusedItem && DrawRecordFocused(ARecord);
    if (OptionsSelection()->InvertSelect())
        return !focusedCell;
    if (!OptionsSelection()->MultiSelect() && !focusedCell)
        return false;
    // The cell whose editor is open shows the editor, not the selection.
    return !(focusedCell && AItem->Editing());
}

// ---- scrolling ----------------------------------------------------------------------------------

void TvlCustomGridTableView::dropRecordLayouts()
{
    if (auto* viewInfo = dynamic_cast<TvlCustomGridTableViewInfo*>(ViewInfo()))
        if (viewInfo->RecordsViewInfo() != nullptr)
            viewInfo->RecordsViewInfo()->DestroyItems();
}

void TvlCustomGridTableView::OffsetRecords(int ARecordCount, int DX, int DY)
{
    auto* viewInfo = dynamic_cast<TvlCustomGridTableViewInfo*>(ViewInfo());
    if (viewInfo == nullptr)
        return;
    viewInfo->Offset(ARecordCount, DX, DY);
    auto* painter = dynamic_cast<TvlCustomGridTablePainter*>(Painter());
    if (painter == nullptr)
        Invalidate();
    else if (ARecordCount != 0)
        painter->Offset(viewInfo->RecordsViewInfo()->ItemsOffset(), 0, 0);
    else
        painter->Offset(0, DX, DY);
}

// ---- the navigator ------------------------------------------------------------------------------------

bool TvlCustomGridTableView::IsBof() const { return DataController()->IsBOF(); }

bool TvlCustomGridTableView::IsEof() const { return DataController()->IsEOF(); }

bool TvlCustomGridTableView::CanAppend() const
{
    return OptionsData()->Appending() && DataController()->GetEditOperations().Contains(deoAppend);
}

bool TvlCustomGridTableView::CanDelete() const
{
    return OptionsData()->Deleting() && DataController()->GetEditOperations().Contains(deoDelete) &&
           DataController()->GetRecordCount() > 0;
}

bool TvlCustomGridTableView::CanEdit() const
{
    return OptionsData()->Editing() && DataController()->GetEditOperations().Contains(deoEdit);
}

bool TvlCustomGridTableView::CanInsert() const
{
    return OptionsData()->Inserting() && DataController()->GetEditOperations().Contains(deoInsert);
}

void TvlCustomGridTableView::moveFocus(int ADistance)
{
    TvlGridDataController* controller = DataController();
    if (controller->IsGridMode()) {
        controller->Scroll(ADistance);
        return;
    }
    if (controller->GetRowCount() == 0)
        return;
    const int row = std::clamp(controller->GetFocusedRowIndex() + ADistance, 0, controller->GetRowCount() - 1);
    controller->ChangeFocusedRowIndex(row);
}

void TvlCustomGridTableView::DoAction(int AButtonIndex)
{
    TvlGridDataController* controller = DataController();
    switch (AButtonIndex) {
    case NBDI_FIRST:
        controller->GotoFirst();
        break;
    case NBDI_PRIORPAGE:
    case NBDI_NEXTPAGE:
        // A page is what the records layout shows: its controller moves by it.
        break;
    case NBDI_PRIOR:
        moveFocus(-1);
        break;
    case NBDI_NEXT:
        // Moving on from the last record never appends one here.
        if (!controller->IsEOF())
            moveFocus(1);
        break;
    case NBDI_LAST:
        controller->GotoLast();
        break;
    case NBDI_INSERT:
        if (CanInsert())
            controller->Insert();
        break;
    case NBDI_APPEND:
        if (CanAppend())
            controller->Append();
        break;
    case NBDI_DELETE:
        if (CanDelete()) {
            if (controller->GetSelectedCount() > 1)
                controller->DeleteSelection();
            else
                controller->DeleteFocused();
        }
        break;
    case NBDI_EDIT:
        if (CanEdit()) {
            controller->Edit();
            if (FFocusedItem != nullptr)
                FFocusedItem->SetEditing(true);
        }
        break;
    case NBDI_POST:
        UpdateRecordData();
        controller->Post();
        break;
    case NBDI_CANCEL:
        controller->Cancel();
        break;
    case NBDI_REFRESH:
        controller->Refresh();
        break;
    case NBDI_SAVEBOOKMARK:
        controller->SaveBookmark();
        break;
    case NBDI_GOTOBOOKMARK:
        controller->GotoBookmark();
        break;
    case NBDI_FILTER:
        DoFilterCustomization();
        break;
    default:
        break;
    }
}

void TvlCustomGridTableView::RefreshNavigators()
{
    if (Control() != nullptr && IsFocused())
        Control()->Invalidate();
}

// ---- assignment ---------------------------------------------------------------------------------------

void TvlCustomGridTableView::BeforeAssignItems()
{
    FIsAssigningItems = true;
    FAssigningGroupedItems.clear();
    FAssigningSortedItems.clear();
}

void TvlCustomGridTableView::AfterAssignItems()
{
    FIsAfterAssigningItems = true;
    try {
        int index = 0;
        for (TvlCustomGridTableItem* item : std::vector<TvlCustomGridTableItem*>(FAssigningGroupedItems))
            if (item != nullptr)
                item->SetGroupIndex(index++);
        index = 0;
        for (TvlCustomGridTableItem* item : std::vector<TvlCustomGridTableItem*>(FAssigningSortedItems))
            if (item != nullptr)
                item->SetSortIndex(index++);
    } catch (...) {
        FIsAfterAssigningItems = false;
        FIsAssigningItems = false;
        throw;
    }
    FAssigningGroupedItems.clear();
    FAssigningSortedItems.clear();
    FIsAfterAssigningItems = false;
    FIsAssigningItems = false;
}

void TvlCustomGridTableView::AssignLayout(TvlCustomGridTableView* ASource)
{
    BeginUpdate();
    try {
        DoAssignLayout(ASource);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlCustomGridTableView::DoAssignLayout(TvlCustomGridTableView* ASource)
{
    BeforeAssignItems();
    try {
        for (int i = 0; i < ASource->ItemCount(); ++i) {
            TvlCustomGridTableItem* source = ASource->Items(i);
            auto* item = source->DataBinding() != nullptr ? dynamic_cast<TvlCustomGridTableItem*>(source->DataBinding()->Data())
                                                         : nullptr;
            if (item == nullptr || item->GridView() != this)
                continue;
            const int tag = item->Tag();
            item->Assign(source);
            item->SetTag(tag);
            ChangeItemIndex(item, source->Index());
        }
    } catch (...) {
        AfterAssignItems();
        throw;
    }
    AfterAssignItems();
}

void TvlCustomGridTableView::DoAssign(const TvlCustomGridView* Source)
{
    const auto* source = dynamic_cast<const TvlCustomGridTableView*>(Source);
    if (source != nullptr && !IsAssigningPattern()) {
        BeforeAssignItems();
        try {
            for (int i = 0; i < source->ItemCount(); ++i) {
                TvlCustomGridTableItem* sourceItem = source->Items(i);
                TvlCustomGridTableItem* item = GetItemByID(sourceItem->ID());
                if (item == nullptr) {
                    item = CreateItem();
                    // The new item takes the source's ID; the counter
                    // follows the source below.
                    item->FID = sourceItem->ID();
                }
                ChangeItemIndex(item, i);
                item->Assign(sourceItem);
            }
            while (ItemCount() > source->ItemCount()) {
                TvlCustomGridTableItem* item = FItems.back();
                RemoveItem(item);
                delete item;
            }
            FNextID = source->FNextID;
        } catch (...) {
            AfterAssignItems();
            throw;
        }
        AfterAssignItems();
    }
    TvlCustomGridView::DoAssign(Source);
    if (source == nullptr)
        return;
    FDateTimeHandling->Assign(source->FDateTimeHandling.get());
    FFilterBox->Assign(source->FFilterBox.get());
    FFiltering->Assign(source->FFiltering.get());
    FOptionsCustomize->Assign(source->FOptionsCustomize.get());
    FOnCanFocusRecord = source->FOnCanFocusRecord;
    FOnCanSelectRecord = source->FOnCanSelectRecord;
    FOnCellClick = source->FOnCellClick;
    FOnCellDblClick = source->FOnCellDblClick;
    FOnCustomDrawCell = source->FOnCustomDrawCell;
    FOnCustomDrawPartBackground = source->FOnCustomDrawPartBackground;
    FOnEditing = source->FOnEditing;
    FOnEditChanged = source->FOnEditChanged;
    FOnEditValueChanged = source->FOnEditValueChanged;
    FOnEditKeyDown = source->FOnEditKeyDown;
    FOnEditKeyUp = source->FOnEditKeyUp;
    FOnEditKeyPress = source->FOnEditKeyPress;
    FOnFilterControlDialogShow = source->FOnFilterControlDialogShow;
    FOnFilterCustomization = source->FOnFilterCustomization;
    FOnFilterDialogShow = source->FOnFilterDialogShow;
    FOnFocusedItemChanged = source->FOnFocusedItemChanged;
    FOnFocusedRecordChanged = source->FOnFocusedRecordChanged;
    FOnGetCellHeight = source->FOnGetCellHeight;
    FOnGetDragDropText = source->FOnGetDragDropText;
    FOnInitEdit = source->FOnInitEdit;
    FOnInitEditValue = source->FOnInitEditValue;
    FOnInitFilteringDateRanges = source->FOnInitFilteringDateRanges;
    FOnInitGroupingDateRanges = source->FOnInitGroupingDateRanges;
    FOnInitStoredObject = source->FOnInitStoredObject;
    FOnSelectionChanged = source->FOnSelectionChanged;
    FOnTopRecordIndexChanged = source->FOnTopRecordIndexChanged;
}

// ---- events ---------------------------------------------------------------------------------------------

bool TvlCustomGridTableView::DoCellClick(TvlCustomGridCellViewInfo* ACellViewInfo, TMouseButton AButton, TShiftState AShift)
{
    bool handled = false;
    if (FOnCellClick)
        FOnCellClick(this, ACellViewInfo, AButton, AShift, handled);
    return handled;
}

bool TvlCustomGridTableView::DoCellDblClick(TvlCustomGridCellViewInfo* ACellViewInfo, TMouseButton AButton, TShiftState AShift)
{
    bool handled = false;
    if (FOnCellDblClick)
        FOnCellDblClick(this, ACellViewInfo, AButton, AShift, handled);
    return handled;
}

bool TvlCustomGridTableView::DoEditing(TvlCustomGridTableItem* AItem)
{
    bool allow = true;
    if (FOnEditing)
        FOnEditing(this, AItem, allow);
    return allow;
}

void TvlCustomGridTableView::DoTopRecordIndexChanged()
{
    if (FOnTopRecordIndexChanged)
        FOnTopRecordIndexChanged(this);
}

void TvlCustomGridTableView::DoFocusedItemChanged(TvlCustomGridTableItem* APrevFocusedItem, TvlCustomGridTableItem* AFocusedItem)
{
    if (FOnFocusedItemChanged)
        FOnFocusedItemChanged(this, APrevFocusedItem, AFocusedItem);
}

void TvlCustomGridTableView::DoFocusedRecordChanged(int APrevFocusedRecordIndex, int AFocusedRecordIndex,
                                                    int APrevFocusedDataRecordIndex, int AFocusedDataRecordIndex,
                                                    bool ANewItemRecordFocusingChanged)
{
    if (Control() != nullptr)
        Control()->Invalidate();
    if (!FOnFocusedRecordChanged)
        return;
    TvlCustomGridRecord* focused = ViewData()->GetRecordByIndex(AFocusedRecordIndex);
    TvlCustomGridRecord* previous = APrevFocusedDataRecordIndex == AFocusedDataRecordIndex
                                        ? focused
                                        : ViewData()->GetRecordByIndex(APrevFocusedRecordIndex);
    FOnFocusedRecordChanged(this, previous, focused, ANewItemRecordFocusingChanged);
}

bool TvlCustomGridTableView::DoCustomDrawCell(TvlCanvas* ACanvas, TvlGridTableDataCellViewInfo* AViewInfo)
{
    bool done = false;
    if (FOnCustomDrawCell)
        FOnCustomDrawCell(this, ACanvas, AViewInfo, done);
    return done;
}

bool TvlCustomGridTableView::DoCustomDrawPartBackground(TvlCanvas* ACanvas, TvlCustomGridCellViewInfo* AViewInfo)
{
    bool done = false;
    if (FOnCustomDrawPartBackground)
        FOnCustomDrawPartBackground(this, ACanvas, AViewInfo, done);
    return done;
}

void TvlCustomGridTableView::DoEditChanged(TvlCustomGridTableItem* AItem)
{
    if (FOnEditChanged)
        FOnEditChanged(this, AItem);
}

void TvlCustomGridTableView::DoEditKeyDown(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, uint16_t& Key, TShiftState Shift)
{
    if (FOnEditKeyDown)
        FOnEditKeyDown(this, AItem, AEdit, Key, Shift);
}

void TvlCustomGridTableView::DoEditKeyPress(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, QChar& Key)
{
    if (FOnEditKeyPress)
        FOnEditKeyPress(this, AItem, AEdit, Key);
}

void TvlCustomGridTableView::DoEditKeyUp(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, uint16_t& Key, TShiftState Shift)
{
    if (FOnEditKeyUp)
        FOnEditKeyUp(this, AItem, AEdit, Key, Shift);
}

void TvlCustomGridTableView::DoEditValueChanged(TvlCustomGridTableItem* AItem)
{
    if (FOnEditValueChanged)
        FOnEditValueChanged(this, AItem);
}

bool TvlCustomGridTableView::DoFilterCustomization()
{
    bool done = false;
    if (FOnFilterCustomization)
        FOnFilterCustomization(this, done);
    return done;
}

bool TvlCustomGridTableView::DoFilterDialogShow(TvlCustomGridTableItem* AItem)
{
    bool done = false;
    if (FOnFilterDialogShow)
        FOnFilterDialogShow(this, AItem, done);
    return done;
}

void TvlCustomGridTableView::DoGetCellHeight(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem,
                                             TvlGridTableDataCellViewInfo* ACellViewInfo, int& AHeight)
{
    if (FOnGetCellHeight)
        FOnGetCellHeight(this, ARecord, AItem, ACellViewInfo, AHeight);
}

void TvlCustomGridTableView::DoGetDragDropText(TvlCustomGridRecord* ARecord, TvlCustomGridTableItem* AItem, String& AText)
{
    AText = ARecord != nullptr && AItem != nullptr ? ARecord->GetDisplayText(AItem->Index()) : String();
    if (FOnGetDragDropText)
        FOnGetDragDropText(this, ARecord, AItem, AText);
}

void TvlCustomGridTableView::DoInitEdit(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit)
{
    if (FOnInitEdit)
        FOnInitEdit(this, AItem, AEdit);
}

void TvlCustomGridTableView::DoInitEditValue(TvlCustomGridTableItem* AItem, TvlCustomEdit* AEdit, Variant& AValue)
{
    if (FOnInitEditValue)
        FOnInitEditValue(this, AItem, AEdit, AValue);
}

void TvlCustomGridTableView::DoInitFilteringDateRanges(TvlCustomGridTableItem* AItem, TvlGridDateRanges* ADateRanges)
{
    if (FOnInitFilteringDateRanges)
        FOnInitFilteringDateRanges(AItem, ADateRanges);
}

void TvlCustomGridTableView::DoInitGroupingDateRanges(TvlCustomGridTableItem* AItem, TvlGridDateRanges* ADateRanges)
{
    if (FOnInitGroupingDateRanges)
        FOnInitGroupingDateRanges(AItem, ADateRanges);
}

void TvlCustomGridTableView::DoSelectionChanged()
{
    if (FOnSelectionChanged)
        FOnSelectionChanged(this);
}
