// The rows of the table view and its view data, which picks the row class
// of each row and keeps the filter row.
#include "ui/grid/vlGridTableView.h"

#include "ui/grid/vlGridLevel.h"

namespace {

constexpr uint16_t vkEscape = 27;
constexpr uint16_t vkLeft = 37;
constexpr uint16_t vkRight = 39;
constexpr uint16_t vkMultiply = 106;

template <class T>
std::unique_ptr<TvlCustomGridRecord> createRow(TvlCustomGridTableViewData* AViewData, const TvlRowInfo& AInfo, int AIndex)
{
    return std::make_unique<T>(AViewData, AInfo, AIndex);
}

bool hasVisibleDetails(const TvlCustomGridView* AView)
{
    return AView->Level() != nullptr && AView->Level()->VisibleCount() > 0;
}

}  // namespace

// ---- rows -------------------------------------------------------------------------------------

TvlGridTableView* TvlCustomGridRow::GridView() const { return static_cast<TvlGridTableView*>(ViewData()->GridView()); }

void TvlCustomGridRow::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlCustomGridRecord::KeyDown(Key, Shift);
    switch (Key) {
    case vkLeft:
        if (GetExpandable() && GetExpanded()) {
            Collapse(false);
            Key = 0;
        }
        break;
    case vkRight:
        if (GetExpandable() && !GetExpanded()) {
            Expand(false);
            Key = 0;
        }
        break;
    case vkMultiply:
        if (GetExpandable()) {
            Expand(true);
            Key = 0;
        }
        break;
    default:
        break;
    }
}

TvlGridFilterRow::~TvlGridFilterRow() { FSelected = false; }

void TvlGridFilterRow::RefreshRecordInfo()
{
    FRecordInfo.Expanded = false;
    FRecordInfo.Level = 0;
    FRecordInfo.RecordIndex = -1;
}

void TvlGridFilterRow::SetSelected(bool Value)
{
    if (FSelected == Value)
        return;
    FSelected = Value;
    Invalidate();
}

void TvlGridFilterRow::KeyDown(uint16_t& Key, TShiftState Shift)
{
    TvlGridNewItemRow::KeyDown(Key, Shift);
    if (Key == vkEscape) {
        SetFocused(false);
        Key = 0;
    }
}

void TvlGridGroupRow::DoCollapse(bool ARecurse)
{
    if (ARecurse || GetExpanded())
        DataController()->Groups()->ChangeExpanding(Index(), false, ARecurse);
}

void TvlGridGroupRow::DoExpand(bool ARecurse)
{
    if (ARecurse || !GetExpanded())
        DataController()->Groups()->ChangeExpanding(Index(), true, ARecurse);
}

bool TvlGridGroupRow::GetExpandable() const { return !DataController()->Options().Contains(dcoGroupsAlwaysExpanded); }

bool TvlGridGroupRow::GetHasChildren() const { return Level() < DataController()->Groups()->GetGroupingItemCount(); }

// ---- the table view data ------------------------------------------------------------------------

TvlGridViewData::~TvlGridViewData() { DestroyFilterRow(); }

TvlGridTableView* TvlGridViewData::GridView() const { return static_cast<TvlGridTableView*>(TvlCustomGridTableViewData::GridView()); }

TvlCustomGridRecordClass TvlGridViewData::GetRecordClass(const TvlRowInfo& ARecordInfo) const
{
    if (ARecordInfo.Level < DataController()->Groups()->GetGroupingItemCount())
        return &createRow<TvlGridGroupRow>;
    if (hasVisibleDetails(GridView()))
        return &createRow<TvlGridMasterDataRow>;
    return &createRow<TvlGridDataRow>;
}

TvlCustomGridRecord* TvlGridViewData::GetRecordByKind(int AKind, int AIndex) const
{
    if (AKind == 2)
        return FFilterRow.get();
    return TvlCustomGridTableViewData::GetRecordByKind(AKind, AIndex);
}

int TvlGridViewData::GetRecordKind(const TvlCustomGridRecord* ARecord) const
{
    if (ARecord != nullptr && ARecord == FFilterRow.get())
        return 2;
    return TvlCustomGridTableViewData::GetRecordKind(ARecord);
}

TvlCustomGridRecordClass TvlGridViewData::GetNewItemRecordClass() const { return &createRow<TvlGridNewItemRow>; }

bool TvlGridViewData::HasNewItemRecord() const { return GridView()->NewItemRow() != nullptr && GridView()->NewItemRow()->Visible(); }

TvlCustomGridRecordClass TvlGridViewData::GetFilterRowClass() const { return &createRow<TvlGridFilterRow>; }

bool TvlGridViewData::HasFilterRow() const { return GridView()->FilterRow() != nullptr && GridView()->FilterRow()->Visible(); }

void TvlGridViewData::CreateFilterRow()
{
    std::unique_ptr<TvlCustomGridRecord> row = GetFilterRowClass()(this, TvlRowInfo{}, -1);
    auto* filterRow = dynamic_cast<TvlGridFilterRow*>(row.get());
    if (filterRow == nullptr)
        return;
    row.release();
    FFilterRow.reset(filterRow);
    FFilterRow->RefreshRecordInfo();
}

void TvlGridViewData::DestroyFilterRow()
{
    if (FFilterRow != nullptr)
        FFilterRow->SetSelected(false);
    FFilterRow.reset();
}

void TvlGridViewData::CheckFilterRow()
{
    if (HasFilterRow()) {
        if (FFilterRow == nullptr)
            CreateFilterRow();
    } else {
        DestroyFilterRow();
    }
}
