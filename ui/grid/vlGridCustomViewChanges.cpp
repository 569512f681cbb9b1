// The change objects of the grid and of its views, and the hit tests.
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomView.h"

namespace {

template <class T>
const T* as(const TvlCustomGridChange* AChange)
{
    return dynamic_cast<const T*>(AChange);
}

// AMaster is AView's master at some depth.
bool isMasterOf(const TvlCustomGridView* AMaster, const TvlCustomGridView* AView)
{
    return AMaster != nullptr && AView != nullptr && AMaster->IsMasterOf(AView);
}

}  // namespace

bool TvlCustomGridViewChange::SameAs(const TvlCustomGridChange* AChange) const
{
    return TvlCustomGridChange::SameAs(AChange) && static_cast<const TvlCustomGridViewChange*>(AChange)->GridView() == FGridView;
}

// ---- layout ----------------------------------------------------------------------------

void TvlGridLayoutChange::Execute()
{
    TvlCustomGrid* grid = Control();
    if (GridView() == nullptr) {
        if (grid != nullptr && grid->ViewInfo() != nullptr) {
            grid->ViewInfo()->MainCalculate();
            grid->Painter()->Invalidate(true);
        }
    } else if (GridView()->CanCalculate()) {
        const TRect bounds = GridView()->GetSiteBounds();
        if (!bounds.IsEmpty()) {
            GridView()->ViewInfo()->MainCalculate(bounds);
            GridView()->Painter()->Invalidate();
        }
    }
    if (grid != nullptr)
        grid->DoLayoutChanged(GridView());
}

bool TvlGridLayoutChange::IsCoveredBy(const TvlCustomGridChange* AChange) const
{
    if (const auto* layout = as<TvlGridLayoutChange>(AChange))
        return GridView() != nullptr && (layout->GridView() == nullptr || isMasterOf(layout->GridView(), GridView()));
    if (const auto* size = as<TvlGridSizeChange>(AChange)) {
        if (size->GridView() == nullptr)
            return true;
        return GridView() != nullptr && (size->GridView() == GridView() || isMasterOf(size->GridView(), GridView()));
    }
    return false;
}

// ---- size --------------------------------------------------------------------------------

void TvlGridSizeChange::Execute()
{
    TvlCustomGrid* grid = Control();
    TvlCustomGridView* view = GridView();
    if (view == nullptr) {
        if (grid == nullptr)
            return;
        if (TvlCustomGridView* active = grid->ActiveView())
            active->PostSizeChange(false, FKeepMaster);
        else
            grid->LayoutChanged();
        return;
    }
    if (!view->CanCalculate())
        return;
    if (view->ViewInfoCache() != nullptr)
        view->ViewInfoCache()->UnassignValues(FKeepMaster);
    if (!(FUpdateGridViewOnly && FKeepMaster)) {
        if (TvlCustomGridView* master = view->MasterGridView()) {
            if (view->IsPattern())
                return;
            if (master->Changed(std::make_unique<TvlGridSizeChange>(master, false, FKeepMaster)))
                return;
        } else if (!view->IsPattern() && view->Control() != nullptr) {
            view->Control()->LayoutChanged();
            return;
        }
    }
    view->LayoutChanged(true);
}

bool TvlGridSizeChange::IsCoveredBy(const TvlCustomGridChange* AChange) const
{
    if (const auto* size = as<TvlGridSizeChange>(AChange))
        return FUpdateGridViewOnly && !size->UpdateGridViewOnly() && size->GridView() == GridView() &&
               size->KeepMaster() == FKeepMaster;
    if (const auto* data = as<TvlGridDataChange>(AChange))
        return data->GridView() == GridView();
    return false;
}

bool TvlGridSizeChange::SameAs(const TvlCustomGridChange* AChange) const
{
    if (!TvlCustomGridViewChange::SameAs(AChange))
        return false;
    const auto* other = static_cast<const TvlGridSizeChange*>(AChange);
    return other->FKeepMaster == FKeepMaster && other->FUpdateGridViewOnly == FUpdateGridViewOnly;
}

// ---- repaint -------------------------------------------------------------------------------

TvlGridViewChange::TvlGridViewChange(TvlCustomGridView* AGridView, const TvlRegion* ARegion)
    : TvlCustomGridViewChange(AGridView)
{
    if (ARegion != nullptr) {
        FUpdateRegion = std::make_unique<TvlRegion>();
        FUpdateRegion->Combine(*ARegion, roSet);
    }
}

void TvlGridViewChange::Execute()
{
    if (GridView() == nullptr)
        return;
    TvlCustomGridPainter* painter = GridView()->Painter();
    if (FUpdateBounds.IsEmpty()) {
        if (FUpdateRegion != nullptr)
            painter->InvalidateRegion(FUpdateRegion.get());
        else
            painter->Invalidate();
    } else {
        painter->InvalidateRect(FUpdateBounds);
    }
}

bool TvlGridViewChange::IsCoveredBy(const TvlCustomGridChange* AChange) const
{
    if (const auto* layout = as<TvlGridLayoutChange>(AChange))
        return layout->GridView() == GridView();
    if (const auto* size = as<TvlGridSizeChange>(AChange))
        return size->GridView() == GridView();
    return false;
}

bool TvlGridViewChange::SameAs(const TvlCustomGridChange* AChange) const
{
    if (!TvlCustomGridViewChange::SameAs(AChange))
        return false;
    const auto* other = static_cast<const TvlGridViewChange*>(AChange);
    if (FUpdateRegion == nullptr && other->FUpdateRegion == nullptr)
        return FUpdateBounds == other->FUpdateBounds;
    return FUpdateRegion != nullptr && other->FUpdateRegion != nullptr && FUpdateRegion->IsEqual(other->FUpdateRegion.get());
}

// ---- view changes --------------------------------------------------------------------------

void TvlGridControlFocusChange::Execute()
{
    TvlCustomGridView* view = GridView();
    if (view != nullptr && view->Control() != nullptr && (view->IsVisible() || view->Controller()->Customization()))
        view->Controller()->FocusChanged();
}

void TvlGridDataChange::Execute()
{
    if (GridView() != nullptr)
        GridView()->RecordCountChanged();
}

void TvlGridRecordChange::Execute()
{
    if (GridView() != nullptr)
        GridView()->RecordChanged(FChangedRecord, FChangedItem);
}

bool TvlGridRecordChange::IsCoveredBy(const TvlCustomGridChange* AChange) const
{
    if (TvlCustomGridViewChange::IsCoveredBy(AChange))
        return true;
    if (as<TvlGridLayoutChange>(AChange) == nullptr && as<TvlGridSizeChange>(AChange) == nullptr &&
        as<TvlGridDataChange>(AChange) == nullptr)
        return false;
    return static_cast<const TvlCustomGridViewChange*>(AChange)->GridView() == GridView();
}

bool TvlGridRecordChange::SameAs(const TvlCustomGridChange* AChange) const
{
    if (!TvlCustomGridViewChange::SameAs(AChange))
        return false;
    const auto* other = static_cast<const TvlGridRecordChange*>(AChange);
    return other->FChangedRecord == FChangedRecord && other->FChangedRecordIndex == FChangedRecordIndex &&
           other->FChangedItem == FChangedItem;
}

void TvlGridFocusedRecordChange::Execute()
{
    if (GridView() != nullptr)
        GridView()->FocusedRecordChanged(*this);
}

// ---- hit tests -------------------------------------------------------------------------------

void TvlCustomGridHitTest::Assign(const TvlCustomGridHitTest* Source)
{
    if (Source == nullptr)
        return;
    HitPoint = Source->HitPoint;
    // A copy names the cell, but the cell does not know the copy.
    LinkCellViewInfo(nullptr);
    FCellViewInfo = Source->FCellViewInfo;
}

void TvlCustomGridViewHitTest::Assign(const TvlCustomGridHitTest* Source)
{
    TvlCustomGridHitTest::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCustomGridViewHitTest*>(Source))
        View = source->View;
}

void TvlGridRecordHitTest::Assign(const TvlCustomGridHitTest* Source)
{
    TvlCustomGridViewHitTest::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridRecordHitTest*>(Source)) {
        RecordIndex = source->RecordIndex;
        RecordKind = source->RecordKind;
        RecordViewData = source->RecordViewData;
    }
}

TvlCustomGridRecord* TvlGridRecordHitTest::GetRecord() const
{
    return RecordViewData == nullptr ? nullptr : RecordViewData->GetRecordByKind(RecordKind, RecordIndex);
}

void TvlGridRecordHitTest::SetRecord(TvlCustomGridViewData* AViewData, TvlCustomGridRecord* ARecord)
{
    if (ARecord == nullptr || AViewData == nullptr) {
        RecordViewData = nullptr;
        RecordIndex = -1;
        RecordKind = -1;
        return;
    }
    RecordViewData = AViewData;
    RecordIndex = AViewData->GetRecordIndex(ARecord);
    RecordKind = AViewData->GetRecordKind(ARecord);
}

void TvlGridRecordCellHitTest::Assign(const TvlCustomGridHitTest* Source)
{
    TvlGridRecordHitTest::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridRecordCellHitTest*>(Source))
        CellItem = source->CellItem;
}
