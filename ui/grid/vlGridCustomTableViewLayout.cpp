// Records and the records area of a record view: one layout per displayed
// record, made on demand, measured once per record through the view info
// cache, and kept across a scroll by whole records.
#include <cstdlib>

#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomTableViewInfo.h"

// ---- record ------------------------------------------------------------------------------------

TvlCustomGridRecordViewInfo::TvlCustomGridRecordViewInfo(TvlCustomGridRecordsViewInfo* ARecordsViewInfo,
                                                         TvlCustomGridRecord* ARecord)
    : TvlCustomGridViewCellViewInfo(ARecordsViewInfo->GridViewInfo()), FRecordsViewInfo(ARecordsViewInfo), FRecord(ARecord)
{
    // A measuring layout made for a record already on screen leaves the
    // record's link to its layout alone.
    if (FRecord != nullptr && FRecord->ViewInfo() == nullptr) {
        FRecord->SetViewInfo(this);
        FIsRecordViewInfoAssigned = true;
    }
}

TvlCustomGridRecordViewInfo::~TvlCustomGridRecordViewInfo()
{
    if (FIsRecordViewInfoAssigned && FRecord->ViewInfo() == this)
        FRecord->SetViewInfo(nullptr);
}

TvlCustomGridTableView* TvlCustomGridRecordViewInfo::GridView() const { return FRecordsViewInfo->GridView(); }

TvlCustomGridTableViewInfo* TvlCustomGridRecordViewInfo::RecordGridViewInfo() const { return FRecordsViewInfo->GridViewInfo(); }

const TBitmap* TvlCustomGridRecordViewInfo::GetBackgroundBitmap() { return FRecordsViewInfo->BackgroundBitmap(); }

TvlCanvas* TvlCustomGridRecordViewInfo::GetCanvas() { return FRecordsViewInfo->Canvas(); }

TvlGridHitTestClass TvlCustomGridRecordViewInfo::GetHitTestClass() { return vlGridHitTestClass<TvlGridRecordHitTest>(); }

bool TvlCustomGridRecordViewInfo::GetVisible() { return Index() < FRecordsViewInfo->VisibleCount; }

void TvlCustomGridRecordViewInfo::InitHitTest(TvlCustomGridHitTest* AHitTest)
{
    TvlCustomGridViewCellViewInfo::InitHitTest(AHitTest);
    if (auto* recordHitTest = dynamic_cast<TvlGridRecordHitTest*>(AHitTest))
        recordHitTest->SetRecord(GridView()->ViewData(), FRecord);
}

void TvlCustomGridRecordViewInfo::DoOffset(int DX, int DY)
{
    TvlCustomGridViewCellViewInfo::DoOffset(DX, DY);
    OffsetRect(ExpandButtonBounds, DX, DY);
}

void TvlCustomGridRecordViewInfo::BeforeRecalculation()
{
    TvlCustomGridViewCellViewInfo::BeforeRecalculation();
    FRecordsViewInfo->BeforeItemRecalculation();
}

int TvlCustomGridRecordViewInfo::GetHeight()
{
    TvlCustomGridTableViewInfoCacheItem* item = CacheItem();
    if (item != nullptr && item->IsHeightAssigned())
        return item->Height();
    const int result = CalculateHeight();
    if (item != nullptr)
        item->SetHeight(result);
    return result;
}

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridRecordViewInfo::GetHitTest(const TPoint& P)
{
    if (HasExpandButtonHitTest() && FRecord != nullptr && FRecord->GetExpandable()) {
        TRect area;
        GetExpandButtonAreaBounds(area);
        if (PtInRect(area, P)) {
            std::unique_ptr<TvlCustomGridHitTest> result = vlGridHitTest<TvlGridExpandButtonHitTest>(P);
            InitHitTest(result.get());
            return result;
        }
    }
    return TvlCustomGridViewCellViewInfo::GetHitTest(P);
}

bool TvlCustomGridRecordViewInfo::MouseDown(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    bool result = TvlCustomGridViewCellViewInfo::MouseDown(AHitTest, AButton, AShift);
    if (!result && AButton == mbLeft && AHitTest->HitTestCode() == 108 && FRecord != nullptr) {
        FRecord->ToggleExpanded();
        result = true;
    }
    if (result || AButton == mbMiddle || !IsRecordHitTest(AHitTest))
        return result;
    TvlGridSite* site = RecordGridViewInfo()->Site();
    if (site != nullptr && site->IsFocused())
        return HandleClick(AHitTest, AButton, AShift);
    return result;
}

TvlGridCellPainterClass TvlCustomGridRecordViewInfo::GetPainterClass()
{
    return &vlGridCreate<TvlCustomGridRecordPainter, TvlCustomGridCellPainter, TvlCanvas*, TvlCustomGridCellViewInfo*>;
}

bool TvlCustomGridRecordViewInfo::CalculateSelected() { return GridView()->DrawRecordSelected(FRecord); }

bool TvlCustomGridRecordViewInfo::IsFullyVisible() { return Index() < FRecordsViewInfo->VisibleCount; }

bool TvlCustomGridRecordViewInfo::HideFocusRectOnExit() { return GridView()->OptionsSelection()->HideFocusRectOnExit(); }

bool TvlCustomGridRecordViewInfo::ShowFocusRect()
{
    return !(FRecord != nullptr && FRecord->CanFocusCells() && !GridView()->OptionsSelection()->InvertSelect());
}

bool TvlCustomGridRecordViewInfo::IsRecordHitTest(TvlCustomGridHitTest* AHitTest)
{
    const auto* recordHitTest = dynamic_cast<const TvlGridRecordHitTest*>(AHitTest);
    return recordHitTest != nullptr && recordHitTest->ActsOnRecord();
}

bool TvlCustomGridRecordViewInfo::HandleClick(TvlCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    (void)AHitTest;
    (void)AButton;
    if (AShift.Contains(ssDouble))
        return true;
    // Focusing the record may rebuild the layout and even free the view.
    const std::unique_ptr<TvlGridListenerLink> link = GridView()->AddListenerLink();
    if (TvlCustomGridTableController* controller = FRecordsViewInfo->Controller())
        controller->SetFocusedRecord(FRecord);
    return link->GridView() != nullptr;
}

void TvlCustomGridRecordViewInfo::InvalidationRect(TvlCustomGridTableItem* AItem, TRect& R)
{
    if (AItem != nullptr)
        CellInvalidationRect(AItem, R);
    else
        R = Bounds;
}

void TvlCustomGridRecordViewInfo::CalculateAt(int ALeft, int ATop)
{
    FSelectedCalculated = false;
    Calculate(ALeft, ATop, GetWidth(), GetHeight());
    if (FRecord != nullptr && FRecord->GetExpandable())
        PlaceExpandButton(ExpandButtonBounds);
}

TvlCustomGridTableViewInfoCacheItem* TvlCustomGridRecordViewInfo::CacheItem()
{
    if (FRecord == nullptr)
        return nullptr;
    TvlCustomGridViewInfoCache* cache = GridView()->ViewInfoCache();
    return cache != nullptr ? dynamic_cast<TvlCustomGridTableViewInfoCacheItem*>(cache->GetItem(FRecord->Index())) : nullptr;
}

bool TvlCustomGridRecordViewInfo::IsExpanded()
{
    if (!FExpandedCalculated) {
        FExpanded = FRecord != nullptr && FRecord->Expanded();
        FExpandedCalculated = true;
    }
    return FExpanded;
}

bool TvlCustomGridRecordViewInfo::IsRecordFocused() { return GridView()->DrawRecordFocused(FRecord); }

int TvlCustomGridRecordViewInfo::Index() const { return FRecordsViewInfo->IndexOfItem(this); }

bool TvlCustomGridRecordViewInfo::IsSelected()
{
    if (!FSelectedCalculated) {
        FSelected = CalculateSelected();
        FSelectedCalculated = true;
    }
    return FSelected;
}

// ---- records area --------------------------------------------------------------------------------

TvlCustomGridRecordsViewInfo::TvlCustomGridRecordsViewInfo(TvlCustomGridTableViewInfo* AGridViewInfo)
    : FGridViewInfo(AGridViewInfo)
{
}

TvlCustomGridRecordsViewInfo::~TvlCustomGridRecordsViewInfo() { DestroyItems(); }

TvlCanvas* TvlCustomGridRecordsViewInfo::Canvas() const { return FGridViewInfo->Canvas(); }

TvlCustomGridTableController* TvlCustomGridRecordsViewInfo::Controller() const { return FGridViewInfo->Controller(); }

TvlCustomGridTableView* TvlCustomGridRecordsViewInfo::GridView() const { return FGridViewInfo->GridView(); }

TvlCustomGridTableViewData* TvlCustomGridRecordsViewInfo::ViewData() const { return GridView()->ViewData(); }

int TvlCustomGridRecordsViewInfo::FirstRecordIndex() const { return FGridViewInfo->GetFirstRecordIndex(); }

void TvlCustomGridRecordsViewInfo::AfterComputing()
{
    TvlCustomGridTableView* view = GridView();
    for (int i = 0; i < view->ItemCount(); ++i)
        view->Items(i)->DestroySharedEditViewData();
    if (FGridViewInfo->CanUpdateSite())
        if (TvlCustomGridTableController* controller = Controller())
            controller->EditingController()->AfterViewInfoCalculate();
}

void TvlCustomGridRecordsViewInfo::BeforeComputing()
{
    FBackgroundBitmap = GetBackgroundBitmap();
    if (FGridViewInfo->CanUpdateSite())
        if (TvlCustomGridTableController* controller = Controller())
            controller->EditingController()->BeforeViewInfoCalculate();
    TvlCustomGridTableView* view = GridView();
    for (int i = 0; i < view->ItemCount(); ++i)
        view->Items(i)->CreateSharedEditViewData();
}

void TvlCustomGridRecordsViewInfo::BeforeItemRecalculation()
{
    FGridViewInfo->UpdateMousePos();
    FIsIncSearchingCellViewInfoCalculated = false;
}

void TvlCustomGridRecordsViewInfo::ComputeLayout()
{
    ComputeAreaRect(Bounds);
    ComputeContentRect(ContentBounds);
}

void TvlCustomGridRecordsViewInfo::ComputeAreaRect(TRect& R) { FGridViewInfo->ClientBounds(R); }

TvlGridTableDataCellViewInfo* TvlCustomGridRecordsViewInfo::FindIncSearchingCell()
{
    TvlCustomGridTableController* controller = Controller();
    if (controller == nullptr || !controller->IsIncSearching()) {
        FIsIncSearchingCellViewInfoCalculated = true;
        return nullptr;
    }
    TvlGridTableDataCellViewInfo* result = nullptr;
    TvlCustomGridTableItem* item = controller->IncSearchingItem();
    TvlCustomGridRecord* focused = ViewData()->GetRecordByIndex(GridView()->DataController()->GetFocusedRowIndex());
    if (item != nullptr && focused != nullptr)
        if (TvlCustomGridRecordViewInfo* row = RowLayoutOf(focused))
            result = row->GetCellViewInfoByItem(item);
    FIsIncSearchingCellViewInfoCalculated = result != nullptr;
    return result;
}

void TvlCustomGridRecordsViewInfo::GetCellVisibleArea(TvlGridTableDataCellViewInfo* ACell, TRect& R)
{
    (void)ACell;
    FGridViewInfo->GetCellsAreaBounds(R);
}

bool TvlCustomGridRecordsViewInfo::CellsAutoHeight()
{
    TvlCustomGridTableView* view = GridView();
    return view->OptionsView()->CellAutoHeight() || view->OnGetCellHeight().Assigned();
}

const TBitmap* TvlCustomGridRecordsViewInfo::GetBackgroundBitmap()
{
    TvlCustomGridBackgroundBitmaps* bitmaps = GridView()->BackgroundBitmaps();
    if (bitmaps == nullptr)
        return nullptr;
    const TBitmap* bitmap = bitmaps->GetBitmap(1);
    return bitmap != nullptr && !bitmap->Empty() ? bitmap : nullptr;
}

void TvlCustomGridRecordsViewInfo::VisibilityChanged(bool AVisible)
{
    for (auto& item : FItems)
        if (item != nullptr)
            item->VisibilityChanged(AVisible);
}

void TvlCustomGridRecordsViewInfo::DetailsNotification(int AParam)
{
    for (auto& item : FItems)
        if (item != nullptr)
            item->DetailsNotification(AParam);
}

TvlCustomGridRecordsPainterClass TvlCustomGridRecordsViewInfo::PainterClass() const
{
    return &vlGridCreate<TvlCustomGridRecordsPainter, TvlCustomGridRecordsPainter, TvlCanvas*, TvlCustomGridRecordsViewInfo*>;
}

bool TvlCustomGridRecordsViewInfo::CanScrollBy(int ACount) { return ItemCount() > 0 && std::abs(ACount) < ItemCount(); }

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridRecordsViewInfo::HitTestAt(const TPoint& P)
{
    for (auto& item : FItems)
        if (item != nullptr)
            if (std::unique_ptr<TvlCustomGridHitTest> result = item->GetHitTest(P))
                return result;
    return nullptr;
}

TvlCustomGridRecordViewInfo* TvlCustomGridRecordsViewInfo::RowLayoutOf(TvlCustomGridRecord* ARecord)
{
    for (auto& item : FItems)
        if (item != nullptr && item->GridRecord() == ARecord)
            return item.get();
    return nullptr;
}

void TvlCustomGridRecordsViewInfo::MainCalculate()
{
    BeforeComputing();
    // The shared editor view data exist only inside the calculation.
    try {
        ComputeLayout();
    } catch (...) {
        AfterComputing();
        throw;
    }
    AfterComputing();
}

void TvlCustomGridRecordsViewInfo::ScrollBy(int ACount)
{
    FItemsOffset = 0;
    if (ACount == 0)
        return;
    // A scroll past every shown record (callers check CanScrollBy) replaces
    // them all; the shift is measured over the rows that exist.
    const int count = std::min(std::abs(ACount), ItemCount());
    const int keep = ItemCount() - count;
    if (ACount > 0)
        FItemsOffset = RowsShift(count);
    // The items that leave go; the others move in the list.
    if (ACount > 0) {
        FItems.erase(FItems.begin(), FItems.begin() + count);
    } else {
        FItems.erase(FItems.end() - count, FItems.end());
        for (int i = 0; i < count; ++i)
            FItems.insert(FItems.begin(), nullptr);
    }
    if (ACount > 0)
        for (int i = 0; i < keep; ++i)
            ShiftRow(i, FItemsOffset);
    // New items fill the freed places.
    const int first = ACount > 0 ? keep : 0;
    const int last = ACount > 0 ? keep + count : count;
    if (ItemCount() > MaxItemCount())
        FItems.resize(size_t(std::max(0, MaxItemCount())));
    if (ACount > 0) {
        for (int i = first; i < std::min(last, MaxItemCount()); ++i) {
            FItems.push_back(CreateItem(i));
            if (FItems.back() != nullptr)
                FItems.back()->CalculateAt(RowLeft(i), RowTop(i));
        }
    } else {
        for (int i = first; i < std::min(last, ItemCount()); ++i) {
            FItems[size_t(i)] = CreateItem(i);
            if (FItems[size_t(i)] != nullptr)
                FItems[size_t(i)]->CalculateAt(RowLeft(i), RowTop(i));
        }
        FItemsOffset = RowsShift(-count);
        for (int i = count; i < ItemCount(); ++i)
            ShiftRow(i, FItemsOffset);
    }
    CountVisibleRows();
    for (int i = 0; i < ItemCount(); ++i)
        if (FItems[size_t(i)] != nullptr && !FItems[size_t(i)]->Calculated())
            FItems[size_t(i)]->CalculateAt(RowLeft(i), RowTop(i));
}

void TvlCustomGridRecordsViewInfo::ShiftContent(int DX, int DY)
{
    OffsetRect(Bounds, DX, DY);
    OffsetRect(ContentBounds, DX, DY);
}

TvlGridTableDataCellViewInfo* TvlCustomGridRecordsViewInfo::GetIncSearchingCell()
{
    if (!FIsIncSearchingCellViewInfoCalculated)
        FIncSearchingCellViewInfo = FindIncSearchingCell();
    return FIncSearchingCellViewInfo;
}

TvlCustomGridRecordViewInfo* TvlCustomGridRecordsViewInfo::GetItem(int AIndex)
{
    if (AIndex < 0)
        return nullptr;
    while (AIndex >= ItemCount()) {
        if (ItemCount() >= MaxItemCount())
            return nullptr;
        FItems.push_back(CreateItem(ItemCount()));
    }
    return FItems[size_t(AIndex)].get();
}

int TvlCustomGridRecordsViewInfo::MaxItemCount() const
{
    const int first = FirstRecordIndex();
    TvlCustomGridTableViewData* viewData = ViewData();
    if (first == -1 || viewData == nullptr || viewData->RecordCount() == 0)
        return 0;
    const int result = FGridViewInfo->CalculateDown ? viewData->RecordCount() - first : first + 1;
    return std::max(0, result);
}

void TvlCustomGridRecordsViewInfo::DestroyItems()
{
    // Emptied before the items go: a cell that goes may still ask the area.
    std::vector<TvlGridCellViewInfoPtr<TvlCustomGridRecordViewInfo>> items;
    items.swap(FItems);
    FIncSearchingCellViewInfo = nullptr;
    FIsIncSearchingCellViewInfoCalculated = false;
}

TvlGridCellViewInfoPtr<TvlCustomGridRecordViewInfo> TvlCustomGridRecordsViewInfo::CreateItem(int AIndex)
{
    TvlCustomGridRecord* record = ViewData()->GetRecordByIndex(GetRecordIndex(AIndex));
    if (record == nullptr)
        return nullptr;
    TvlCustomGridRecordViewInfoClass itemClass = record->GetViewInfoClass();
    if (itemClass == nullptr)
        return nullptr;
    TvlGridCellViewInfoPtr<TvlCustomGridRecordViewInfo> result(itemClass(this, record).release());
    result->AfterConstruction();
    return result;
}

int TvlCustomGridRecordsViewInfo::GetRecordIndex(int AIndex) const
{
    return FGridViewInfo->CalculateDown ? FirstRecordIndex() + AIndex : FirstRecordIndex() - AIndex;
}

int TvlCustomGridRecordsViewInfo::GetItemIndex(int ARecordIndex) const
{
    const int result = FGridViewInfo->CalculateDown ? ARecordIndex - FirstRecordIndex() : FirstRecordIndex() - ARecordIndex;
    return result < 0 || result >= ItemCount() ? -1 : result;
}

int TvlCustomGridRecordsViewInfo::IndexOfItem(const TvlCustomGridRecordViewInfo* AItem) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == AItem)
            return int(i);
    return -1;
}

void TvlCustomGridRecordsViewInfo::Paint(TvlCanvas* ACanvas)
{
    const std::unique_ptr<TvlCustomGridRecordsPainter> painter = PainterClass()(ACanvas != nullptr ? ACanvas : Canvas(), this);
    painter->MainPaint();
}

// ---- painters ------------------------------------------------------------------------------------

TvlCustomGridRecordViewInfo* TvlCustomGridRecordPainter::ViewInfo() const
{
    return static_cast<TvlCustomGridRecordViewInfo*>(TvlCustomGridCellPainter::ViewInfo());
}

void TvlCustomGridRecordPainter::BeforePaint()
{
    TvlCustomGridCellPainter::BeforePaint();
    TvlCustomGridRecordViewInfo* viewInfo = ViewInfo();
    if (viewInfo->GridRecord() != nullptr && viewInfo->GridRecord()->GetExpandable() && DrawExpandButtonBeforePaint())
        DrawExpandButton();
    DrawBackground();
}

void TvlCustomGridRecordPainter::DrawBackground()
{
    // An opaque record leaves its background to its cells.
    TvlCustomGridRecordViewInfo* viewInfo = ViewInfo();
    if (!viewInfo->IsTransparent())
        return;
    TRect r;
    viewInfo->BackgroundBitmapRect(r);
    DrawBackgroundRect(r);
}

void TvlCustomGridRecordPainter::AfterPaint()
{
    TvlCustomGridRecordViewInfo* viewInfo = ViewInfo();
    DrawFocusRect();
    if (viewInfo->GridRecord() != nullptr && viewInfo->GridRecord()->GetExpandable() && !DrawExpandButtonBeforePaint())
        DrawExpandButton();
    viewInfo->GridView()->Painter()->ExcludeFromBackground(viewInfo->Bounds);
    TvlCustomGridCellPainter::AfterPaint();
}

void TvlCustomGridRecordPainter::DrawExpandButton()
{
    TvlCustomGridRecordViewInfo* viewInfo = ViewInfo();
    TvlCanvas* canvas = Canvas();
    canvas->SaveClipRegion();
    try {
        viewInfo->LookAndFeelPainter()->DrawExpandButton(canvas, viewInfo->ExpandButtonBounds, viewInfo->IsExpanded(),
                                                          clDefault);
    } catch (...) {
        canvas->RestoreClipRegion();
        throw;
    }
    canvas->RestoreClipRegion();
}

void TvlCustomGridRecordPainter::DrawFocusRect()
{
    TvlCustomGridRecordViewInfo* viewInfo = ViewInfo();
    if (!viewInfo->IsRecordFocused() || !viewInfo->ShowFocusRect())
        return;
    TRect r;
    viewInfo->FocusFrameRect(r);
    viewInfo->GridView()->Painter()->DrawFocusRect(r, viewInfo->HideFocusRectOnExit());
}

void TvlCustomGridRecordsPainter::MainPaint()
{
    TvlCustomGridRecordsViewInfo* viewInfo = ViewInfo();
    for (int i = 0; i < viewInfo->ItemCount(); ++i) {
        TvlCustomGridRecordViewInfo* item = viewInfo->GetItem(i);
        if (item != nullptr && item->Calculated())
            item->Paint(Canvas());
    }
}
