#include "ui/data/vlDataController.h"

#include <algorithm>

using namespace vlDataConsts;

TvlCustomDataController::TvlCustomDataController() = default;
TvlCustomDataController::~TvlCustomDataController() = default;

void TvlCustomDataController::CheckRecordIndex(int ARecordIndex) const
{
    if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount())
        throw EvlInvalidDataControllerOperation(LoadResString(vlSDataRecordIndexError));
}

void TvlCustomDataController::CheckItemIndex(int AItemIndex) const
{
    if (AItemIndex < 0 || AItemIndex >= FItemCount)
        throw EvlInvalidDataControllerOperation(LoadResString(vlSDataItemIndexError));
}

void TvlCustomDataController::CheckRowIndex(int ARowIndex) const
{
    if (ARowIndex < 0 || ARowIndex >= GetRowCount())
        throw EvlInvalidDataControllerOperation(LoadResString(vlSDataRowIndexError));
}

void TvlCustomDataController::NotifyDataChanged(TvlDataChangeKind AKind, int AItemIndex, int ARecordIndex)
{
    if (FLockCount > 0) {
        FChangedInLock = true;
        return;
    }
    if (OnDataChanged)
        OnDataChanged(this, AKind, AItemIndex, ARecordIndex);
}

void TvlCustomDataController::EndUpdate()
{
    if (FLockCount == 0)
        return;
    if (--FLockCount == 0 && FChangedInLock) {
        FChangedInLock = false;
        NotifyDataChanged(dckLayout, -1, -1);
    }
}

void TvlCustomDataController::SetItemCount(int Value)
{
    Value = std::max(0, Value);
    if (Value == FItemCount)
        return;
    FItemCount = Value;
    for (TRecord& r : FRecords)
        r.resize(size_t(Value));
    NotifyDataChanged(dckLayout, -1, -1);
}

int TvlCustomDataController::AppendRecord()
{
    FRecords.emplace_back(size_t(FItemCount));
    const int index = GetRecordCount() - 1;
    NotifyDataChanged(dckRecordAdded, -1, index);
    return index;
}

void TvlCustomDataController::DeleteRecord(int ARecordIndex)
{
    CheckRecordIndex(ARecordIndex);
    FRecords.erase(FRecords.begin() + ARecordIndex);
    // Selected rows below the deleted one move up with their records.
    std::vector<int> kept;
    for (int row : FSelection)
        if (row != ARecordIndex)
            kept.push_back(row > ARecordIndex ? row - 1 : row);
    FSelection = std::move(kept);
    // The focus stays on its record; a deleted focused row hands the focus
    // to the row that took its place, or to the new last row.
    if (FFocusedRowIndex > ARecordIndex)
        --FFocusedRowIndex;
    FFocusedRowIndex = std::min(FFocusedRowIndex, GetRecordCount() - 1);
    NotifyDataChanged(dckRecordDeleted, -1, -1);
}

Variant TvlCustomDataController::GetValue(int ARecordIndex, int AItemIndex) const
{
    CheckRecordIndex(ARecordIndex);
    CheckItemIndex(AItemIndex);
    return FRecords[size_t(ARecordIndex)][size_t(AItemIndex)];
}

void TvlCustomDataController::SetValue(int ARecordIndex, int AItemIndex, const Variant& AValue)
{
    CheckRecordIndex(ARecordIndex);
    CheckItemIndex(AItemIndex);
    FRecords[size_t(ARecordIndex)][size_t(AItemIndex)] = AValue;
    NotifyDataChanged(dckItem, AItemIndex, ARecordIndex);
}

String TvlCustomDataController::GetDisplayText(int ARecordIndex, int AItemIndex) const
{
    const Variant v = GetValue(ARecordIndex, AItemIndex);
    try {
        return VarToStr(v);
    } catch (const EVariantError&) {
        return String();
    }
}

int TvlCustomDataController::GetRowIndexByRecordIndex(int ARecordIndex, bool) const
{
    return ARecordIndex >= 0 && ARecordIndex < GetRecordCount() ? ARecordIndex : -1;
}

void TvlCustomDataController::SetFocusedRowIndex(int Value)
{
    if (Value != -1)
        CheckRowIndex(Value);
    if (Value == FFocusedRowIndex)
        return;
    FFocusedRowIndex = Value;
    NotifyDataChanged(dckFocusedRecord, -1, Value);
}

bool TvlCustomDataController::ChangeFocusedRowIndex(int ARowIndex)
{
    SetFocusedRowIndex(ARowIndex);
    return true;
}

void TvlCustomDataController::SetMultiSelect(bool Value)
{
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    FSelection.clear();
    if (FMultiSelect && FFocusedRowIndex >= 0)
        FSelection.push_back(FFocusedRowIndex);
    NotifyDataChanged(dckSelection, -1, -1);
}

int TvlCustomDataController::GetSelectedCount() const
{
    if (!FMultiSelect)
        return FFocusedRowIndex >= 0 ? 1 : 0;
    return int(FSelection.size());
}

int TvlCustomDataController::GetSelectedRowIndex(int AIndex) const
{
    if (AIndex < 0 || AIndex >= GetSelectedCount())
        return -1;
    return FMultiSelect ? FSelection[size_t(AIndex)] : FFocusedRowIndex;
}

bool TvlCustomDataController::IsRowSelected(int ARowIndex) const
{
    if (!FMultiSelect)
        return ARowIndex >= 0 && ARowIndex == FFocusedRowIndex;
    return std::binary_search(FSelection.begin(), FSelection.end(), ARowIndex);
}

void TvlCustomDataController::ChangeRowSelection(int ARowIndex, bool ASelection)
{
    CheckRowIndex(ARowIndex);
    if (!FMultiSelect) {
        if (ASelection)
            SetFocusedRowIndex(ARowIndex);
        return;
    }
    const auto it = std::lower_bound(FSelection.begin(), FSelection.end(), ARowIndex);
    const bool selected = it != FSelection.end() && *it == ARowIndex;
    if (selected == ASelection)
        return;
    if (ASelection)
        FSelection.insert(it, ARowIndex);
    else
        FSelection.erase(it);
    NotifyDataChanged(dckSelection, -1, ARowIndex);
}

void TvlCustomDataController::ClearSelection()
{
    if (FSelection.empty())
        return;
    FSelection.clear();
    NotifyDataChanged(dckSelection, -1, -1);
}

void TvlCustomDataController::SelectAll()
{
    if (!FMultiSelect)
        return;
    FSelection.resize(size_t(GetRowCount()));
    for (int i = 0; i < GetRowCount(); ++i)
        FSelection[size_t(i)] = i;
    NotifyDataChanged(dckSelection, -1, -1);
}
