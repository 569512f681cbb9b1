// Records over the data controller's rows and the record view data that
// makes them on demand.
#include "platform/controls/Controls.h"
#include "ui/editors/vlDateUtils.h"
#include "ui/grid/vlGridCustomTableView.h"

namespace {

constexpr uint16_t vkReturn = 13;
constexpr uint16_t vkAdd = 107;
constexpr uint16_t vkSubtract = 109;
constexpr uint16_t vkF2 = 113;
constexpr uint16_t vkProcessKey = 229;

}  // namespace

// ---- records ----------------------------------------------------------------------------------

TvlCustomGridRecord::TvlCustomGridRecord(TvlCustomGridTableViewData* AViewData, const TvlRowInfo& ARecordInfo, int AIndex)
    : FRecordInfo(ARecordInfo), FViewData(AViewData), FIndex(AIndex)
{
}

TvlCustomGridRecord::~TvlCustomGridRecord() = default;

TvlCustomGridTableView* TvlCustomGridRecord::GridView() const { return FViewData->GridView(); }

TvlGridDataController* TvlCustomGridRecord::DataController() const { return FViewData->DataController(); }

TvlCustomGridController* TvlCustomGridRecord::Controller() const { return GridView()->Controller(); }

void TvlCustomGridRecord::RefreshRecordInfo()
{
    if (IsNewItemRecord()) {
        FRecordInfo.Expanded = false;
        FRecordInfo.Level = 0;
        FRecordInfo.RecordIndex = DataController()->GetNewItemRecordIndex();
    } else {
        FRecordInfo = DataController()->GetRowInfo(FIndex);
    }
}

bool TvlCustomGridRecord::IsLast() const { return FIndex + 1 == FViewData->RecordCount(); }

TvlCustomGridRecord* TvlCustomGridRecord::GetParentRecord() const
{
    if (Level() == 0) {
        TvlCustomGridView* master = GridView()->MasterGridView();
        auto* masterView = dynamic_cast<TvlCustomGridTableView*>(master);
        if (masterView == nullptr)
            return nullptr;
        const int masterRecordIndex = GridView()->MasterRecordIndex();
        return masterView->ViewData()->GetRecordByRecordIndex(masterRecordIndex);
    }
    for (int i = FIndex - 1; i >= 0; --i) {
        TvlCustomGridRecord* record = FViewData->Records(i);
        if (record->Level() < Level())
            return record;
    }
    return nullptr;
}

bool TvlCustomGridRecord::GetSelected() const
{
    if (IsNewItemRecord())
        return DataController()->NewItemRowFocused() && !DataController()->MultiSelect();
    return DataController()->IsRowSelected(FIndex);
}

bool TvlCustomGridRecord::GetVisible() const
{
    if (IsNewItemRecord())
        return true;
    return FViewInfo != nullptr;
}

void TvlCustomGridRecord::SetSelected(bool Value)
{
    if (IsNewItemRecord())
        return;
    DataController()->ChangeRowSelection(FIndex, Value);
}

String TvlCustomGridRecord::GetDisplayText(int AIndex) const
{
    int itemIndex = AIndex;
    return DataController()->GetRowDisplayText(FRecordInfo, itemIndex);
}

int TvlCustomGridRecord::GetValueCount() const { return DataController()->GetItemCount(); }

Variant TvlCustomGridRecord::GetValue(int AIndex) const { return DataController()->GetRowValue(FRecordInfo, AIndex); }

void TvlCustomGridRecord::SetDisplayText(int AIndex, const String& Value)
{
    DataController()->SetDisplayText(RecordIndex(), AIndex, Value);
}

void TvlCustomGridRecord::SetValue(int AIndex, const Variant& Value) { DataController()->SetValue(RecordIndex(), AIndex, Value); }

void TvlCustomGridRecord::KeyDown(uint16_t& Key, TShiftState Shift)
{
    switch (Key) {
    case vkAdd:
        if (GetExpandable()) {
            Expand(false);
            Key = 0;
        }
        break;
    case vkSubtract:
        if (GetExpandable()) {
            Collapse(false);
            Key = 0;
        }
        break;
    case vkReturn:
    case vkF2:
    case vkProcessKey: {
        if (!GetHasCells())
            break;
        const bool plain = Shift.Empty() || (Key == vkReturn && Shift == TShiftState{ssShift});
        TvlCustomGridTableItem* item = GridView()->FocusedItem();
        if (!plain || item == nullptr)
            break;
        item->SetEditing(true);
        if (item->Editing() && Key != vkProcessKey)
            Key = 0;
        break;
    }
    default:
        break;
    }
}

bool TvlCustomGridRecord::CanFocus() const { return GridView()->CanFocusRecord(const_cast<TvlCustomGridRecord*>(this)); }

bool TvlCustomGridRecord::CanFocusCells() const { return GridView()->OptionsSelection()->CellSelect(); }

void TvlCustomGridRecord::Invalidate(TvlCustomGridTableItem* AItem)
{
    if (FViewInfo != nullptr)
        GridView()->Changed(std::make_unique<TvlGridRecordChange>(GridView(), AItem, FIndex, this));
}

void TvlCustomGridRecord::Collapse(bool ARecurse)
{
    if (GetExpandable())
        DoCollapse(ARecurse);
}

void TvlCustomGridRecord::Expand(bool ARecurse)
{
    if (GetExpandable())
        DoExpand(ARecurse);
}

void TvlCustomGridRecord::SetExpanded(bool Value)
{
    if (Value == GetExpanded())
        return;
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

bool TvlCustomGridRecord::Focused() const
{
    if (IsNewItemRecord())
        return DataController()->NewItemRowFocused();
    return !DataController()->NewItemRowFocused() && DataController()->GetFocusedRowIndex() == FIndex && FIndex >= 0;
}

void TvlCustomGridRecord::SetFocused(bool Value)
{
    if (Value) {
        if (IsNewItemRecord())
            DataController()->SetNewItemRowFocused(true);
        else
            DataController()->ChangeFocusedRowIndex(FIndex);
    } else if (Focused()) {
        if (IsNewItemRecord())
            DataController()->SetNewItemRowFocused(false);
        else
            DataController()->ChangeFocusedRowIndex(-1);
    }
}

bool TvlCustomGridRecord::IsEditing() const { return FViewData->EditingRecord() == this; }

bool TvlCustomGridRecord::IsNewItemRecord() const { return FViewData->NewItemRecord() == this; }

bool TvlCustomGridRecord::HasValidRecordIndex() const
{
    return RecordIndex() >= 0 && RecordIndex() < DataController()->GetRecordCount();
}

bool TvlCustomGridRecord::IsParentRecordLast(int ALevel) const
{
    if (IsLast())
        return true;
    return FViewData->Records(FIndex + 1)->Level() < Level() - ALevel;
}

int TvlCustomGridRecord::LastParentRecordCount() const
{
    int result = 0;
    for (int level = 0; level < Level() && IsParentRecordLast(level); ++level)
        ++result;
    return result;
}

void TvlCustomGridRecord::MakeVisible()
{
    if (Focused())
        Controller()->MakeFocusedRecordVisible();
}

// ---- the record view data -------------------------------------------------------------------

TvlCustomGridTableViewData::TvlCustomGridTableViewData(TvlCustomGridView* AGridView) : TvlCustomGridViewData(AGridView) {}

TvlCustomGridTableViewData::~TvlCustomGridTableViewData()
{
    FEditingRecord = nullptr;
    DestroyNewItemRecord();
    FRecords.clear();
}

TvlCustomGridTableView* TvlCustomGridTableViewData::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridViewData::GridView());
}

TvlGridDataController* TvlCustomGridTableViewData::DataController() const { return GridView()->DataController(); }

TvlCustomGridRecord* TvlCustomGridTableViewData::GetRecordByKind(int AKind, int AIndex) const
{
    switch (AKind) {
    case 0:
        return GetRecordByIndex(AIndex);
    case 1:
        return FNewItemRecord.get();
    default:
        return nullptr;
    }
}

int TvlCustomGridTableViewData::GetRecordKind(const TvlCustomGridRecord* ARecord) const
{
    return ARecord != nullptr && ARecord == FNewItemRecord.get() ? 1 : 0;
}

int TvlCustomGridTableViewData::GetRecordIndex(const TvlCustomGridRecord* ARecord) const
{
    return ARecord != nullptr ? ARecord->Index() : -1;
}

void TvlCustomGridTableViewData::Collapse(bool ARecurse)
{
    GridView()->BeginUpdate();
    try {
        for (int i = RecordCount() - 1; i >= 0; --i)
            if (i < RecordCount())
                Records(i)->Collapse(ARecurse);
    } catch (...) {
        GridView()->EndUpdate();
        throw;
    }
    GridView()->EndUpdate();
}

void TvlCustomGridTableViewData::Expand(bool ARecurse)
{
    GridView()->BeginUpdate();
    try {
        // Expanding adds rows: the count is read again on every step.
        for (int i = 0; i < RecordCount(); ++i)
            Records(i)->Expand(ARecurse);
    } catch (...) {
        GridView()->EndUpdate();
        throw;
    }
    GridView()->EndUpdate();
}

void TvlCustomGridTableViewData::Refresh(int ARecordCount)
{
    FEditingRecord = nullptr;
    // The layouts of the records on screen point at the records that go:
    // they go first, so that no layout is painted or freed over a freed
    // record before the view is laid out again.
    GridView()->dropRecordLayouts();
    if (HasNewItemRecord()) {
        DestroyNewItemRecord();
        CreateNewItemRecord();
    }
    FRecords.clear();
    FRecords.resize(size_t(std::max(ARecordCount, 0)));
    AssignEditingRecord();
    GridView()->PostSizeChange(false, false);
}

void TvlCustomGridTableViewData::RefreshRecords()
{
    if (FNewItemRecord != nullptr)
        FNewItemRecord->RefreshRecordInfo();
    for (auto& record : FRecords)
        if (record != nullptr)
            record->RefreshRecordInfo();
    AssignEditingRecord();
}

TvlCustomGridRecord* TvlCustomGridTableViewData::Records(int AIndex) const
{
    auto& slot = FRecords.at(size_t(AIndex));
    if (slot == nullptr) {
        const TvlRowInfo info = DataController()->GetRowInfo(AIndex);
        slot = GetRecordClass(info)(const_cast<TvlCustomGridTableViewData*>(this), info, AIndex);
    }
    return slot.get();
}

TvlCustomGridRecord* TvlCustomGridTableViewData::GetRecordByIndex(int AIndex) const
{
    return IsRecordIndexValid(AIndex) ? Records(AIndex) : nullptr;
}

TvlCustomGridRecord* TvlCustomGridTableViewData::GetRecordByRecordIndex(int ARecordIndex) const
{
    TvlGridDataController* controller = DataController();
    if (HasNewItemRecord() && FNewItemRecord != nullptr && ARecordIndex == controller->GetNewItemRecordIndex())
        return FNewItemRecord.get();
    if (ARecordIndex < 0 || ARecordIndex >= controller->GetRecordCount())
        return nullptr;
    // While rows are rebuilt the row index cannot be asked: the records made
    // so far are searched instead.
    if (GridView()->IsUpdateLocked() || !controller->IsRowInfoValid()) {
        for (const auto& record : FRecords)
            if (record != nullptr && record->IsData() && record->RecordIndex() == ARecordIndex)
                return record.get();
        if (!controller->IsRowInfoValid())
            return nullptr;
    }
    const int rowIndex = controller->GetRowIndexByRecordIndex(ARecordIndex, false);
    return GetRecordByIndex(rowIndex);
}

int TvlCustomGridTableViewData::CreatedRecordCount() const
{
    int result = 0;
    for (const auto& record : FRecords)
        if (record != nullptr)
            ++result;
    return result;
}

void TvlCustomGridTableViewData::AssignEditingRecord()
{
    TvlGridDataController* controller = DataController();
    FEditingRecord = controller->IsEditing() ? GetRecordByRecordIndex(controller->GetEditingRecordIndex()) : nullptr;
}

void TvlCustomGridTableViewData::CheckNewItemRecord()
{
    if (HasNewItemRecord()) {
        if (FNewItemRecord == nullptr)
            CreateNewItemRecord();
    } else {
        DestroyNewItemRecord();
    }
}

void TvlCustomGridTableViewData::CreateNewItemRecord()
{
    TvlCustomGridRecordClass recordClass = GetNewItemRecordClass();
    if (recordClass == nullptr)
        return;
    FNewItemRecord = recordClass(this, TvlRowInfo{}, -1);
    FNewItemRecord->RefreshRecordInfo();
}

void TvlCustomGridTableViewData::DestroyNewItemRecord()
{
    if (FEditingRecord == FNewItemRecord.get())
        FEditingRecord = nullptr;
    FNewItemRecord.reset();
}

bool TvlCustomGridTableViewData::GetDisplayText(int ARecordIndex, int AItemIndex, TvlGridDateValuePurpose APurpose,
                                                bool AUseDateRanges, String& AText) const
{
    TvlCustomGridTableView* view = GridView();
    if (AItemIndex < 0 || AItemIndex >= view->ItemCount())
        return false;
    TvlCustomGridTableItem* item = view->Items(AItemIndex);
    TvlCustomEditProperties* properties = item->GetPropertiesForRecordIndex(ARecordIndex);
    if (properties == nullptr)
        return false;
    if (!AUseDateRanges && properties->GetEditValueSource(false) != 0)
        return false;
    Variant value = DataController()->GetValue(ARecordIndex, AItemIndex);
    if (AUseDateRanges)
        value = TransformValue(item, value, APurpose);
    AText = properties->GetDisplayText(value, true);
    return true;
}

int TvlCustomGridTableViewData::CompareValues(TvlCustomDataField* AField, const Variant& AValue1,
                                              TvlGridDateValuePurpose APurpose, const Variant& AValue2) const
{
    TvlCustomGridTableView* view = GridView();
    TvlCustomGridTableItem* item =
        AField != nullptr && AField->Index() >= 0 && AField->Index() < view->ItemCount() ? view->Items(AField->Index()) : nullptr;
    if (item == nullptr)
        return VarCompare(AValue1, AValue2);
    return VarCompare(TransformValue(item, AValue1, APurpose), TransformValue(item, AValue2, APurpose));
}

bool TvlCustomGridTableViewData::GetGroupDisplayText(int ARecordIndex, int AItemIndex, String& AText,
                                                     TvlGridDateValuePurpose APurpose) const
{
    // No grouping date ranges exist yet: the text is the ranged display text.
    AText.clear();
    return GetDisplayText(ARecordIndex, AItemIndex, APurpose, true, AText);
}

Variant TvlCustomGridTableViewData::TransformValue(TvlCustomGridTableItem* AItem, const Variant& AValue,
                                                  TvlGridDateValuePurpose APurpose) const
{
    (void)AItem;
    if (VarIsNull(AValue) || !VarIsDate(AValue))
        return AValue;
    // Without grouping ranges every purpose reduces the value to its date.
    (void)APurpose;
    return VarFromDateTime(DatePartOf(AValue.AsDateTime()));
}

bool TvlCustomGridTableViewData::HasDateRanges(TvlCustomGridTableItem* AItem, TvlGridDateValuePurpose APurpose) const
{
    if (AItem == nullptr)
        return false;
    switch (APurpose) {
    case dvpFiltering:
        return AItem->CanIgnoreTimeForFiltering();
    default:
        return false;
    }
}

bool TvlCustomGridTableViewData::NeedsDateCompare(TvlCustomDataField* AField, TvlGridDateValuePurpose APurpose) const
{
    (void)AField;
    (void)APurpose;
    // Only grouping date ranges ask for a compare of transformed values.
    return false;
}

TvlFilterCriteriaItem* TvlCustomGridTableViewData::AddItemFilterCondition(TvlFilterCriteriaItemList* AGroup,
                                                                          TvlCustomGridTableItem* AItem, bool AReplaceExisting,
                                                                          const String& ADisplayText, const Variant& AValue,
                                                                          TvlFilterOperatorKind AOperator)
{
    String text = ADisplayText;
    if (text.isEmpty() && !VarIsNull(AValue) && !VarIsArray(AValue))
        text = VarToStr(AValue);
    if (AItem->OnGetFilterDisplayText())
        AItem->OnGetFilterDisplayText()(AItem, AValue, text);
    TvlDataFilterCriteria* filter = DataController()->Filter();
    filter->BeginUpdate();
    TvlFilterCriteriaItem* result = nullptr;
    try {
        if (AReplaceExisting)
            filter->RemoveItemByItemLink(AItem);
        result = filter->AddItem(AGroup, AItem, AOperator, AValue, text);
    } catch (...) {
        filter->EndUpdate();
        throw;
    }
    filter->EndUpdate();
    return result;
}
