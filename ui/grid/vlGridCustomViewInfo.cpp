// The layout object of a view with its site, the per-record cache of
// values that outlive a calculation, the view painter and the view data.
#include <climits>

#include "ui/data/vlData.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridCustomTableView.h"
#include "ui/grid/vlGridCustomView.h"
#include "ui/grid/vlGridLevel.h"

// ---- view info ----------------------------------------------------------------------------

TvlCustomGridViewInfo::TvlCustomGridViewInfo(TvlCustomGridView* AGridView)
    : TvlGridViewHandler(AGridView), FMousePos{INT_MAX, INT_MAX}
{
}

TvlCustomGridViewInfo::~TvlCustomGridViewInfo()
{
    // The site goes first: while it goes it may still ask its layout.
    DestroySite();
}

void TvlCustomGridViewInfo::AfterConstruction()
{
    CreateSite();
    CreateViewInfos();
}

void TvlCustomGridViewInfo::BeforeDestruction() { DestroyViewInfos(false); }

void TvlCustomGridViewInfo::RecreateViewInfos()
{
    FIsClientBoundsOverridden = false;
    DestroyViewInfos(true);
    CreateViewInfos();
}

bool TvlCustomGridViewInfo::IsSiteRemovable()
{
    TvlCustomGrid* grid = Control();
    if (grid == nullptr || GridView()->IsDestroying())
        return true;
    if (!CanRemoveSite || FSite->Focused())
        return false;
    TvlCustomGridView* focused = grid->FocusedView();
    if (focused == nullptr || focused->ViewInfo() == nullptr)
        return true;
    // A site that holds the focused view's site keeps the focus visible.
    for (const TControl* c = focused->ViewInfo()->Site()->Parent(); c != nullptr; c = c->Parent())
        if (c == FSite.get())
            return false;
    return true;
}

TvlGridSiteClass TvlCustomGridViewInfo::GetSiteClass() const
{
    return &vlGridCreate<TvlGridSite, TvlGridSite, TvlCustomGridViewInfo*>;
}

void TvlCustomGridViewInfo::AfterCalculate()
{
    if (IsInternal())
        return;
    if (TvlCustomGridController* controller = GridView()->Controller()) {
        controller->UpdateScrollBars(true);
        if (CanCheckCoordinates())
            controller->CheckCoordinates();
    }
}

void TvlCustomGridViewInfo::CalculateNaturalHeight(const TSize& AAvailableSize, int& AHeight, bool& AFullyVisible)
{
    (void)AAvailableSize;
    (void)AFullyVisible;
    AddHScrollBarHeight(AHeight);
}

void TvlCustomGridViewInfo::CalculateNaturalWidth(int AMaxWidth, int& AWidth)
{
    if (FSite->IsVScrollBarVisible())
        AWidth += FSite->GetVScrollBarBounds().Width();
    AWidth = std::min(AWidth, AMaxWidth);
}

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridViewInfo::GetNoneHitTest(const TPoint& P)
{
    std::unique_ptr<TvlCustomGridHitTest> result = vlGridHitTest<TvlGridViewNoneHitTest>(P);
    InitHitTest(result.get());
    return result;
}

const TBitmap* TvlCustomGridViewInfo::GetBackgroundBitmap()
{
    TvlCustomGridBackgroundBitmaps* bitmaps = GridView()->BackgroundBitmaps();
    if (bitmaps == nullptr)
        return nullptr;
    const TBitmap* bitmap = bitmaps->GetBitmap(0);
    return bitmap != nullptr && !bitmap->Empty() ? bitmap : nullptr;
}

TColor TvlCustomGridViewInfo::GetBackgroundColor()
{
    TvlViewParams params;
    GridView()->Styles()->ResolveViewParams(TvlCustomGridViewStyles::vsBackground, nullptr, nullptr, params);
    return params.Color;
}

bool TvlCustomGridViewInfo::CanUpdateSite()
{
    if (IsInternal() || FIsCalculatingNaturalSize)
        return false;
    TvlCustomDataController* dataController = DataController();
    return dataController == nullptr || !dataController->IsUpdatingItems();
}

void TvlCustomGridViewInfo::InitHitTest(TvlCustomGridHitTest* AHitTest)
{
    if (auto* viewHitTest = dynamic_cast<TvlCustomGridViewHitTest*>(AHitTest))
        viewHitTest->View = GridView();
}

void TvlCustomGridViewInfo::UpdateSiteVisibility(bool AVisible)
{
    UpdateMousePos();
    if (AVisible) {
        FSite->SetParent(GetSiteParent());
    } else if (IsSiteRemovable()) {
        FSite->SetParent(nullptr);
    } else {
        // Out of sight but still in its parent, so the focus stays put.
        FSite->SetLeft(ParkedSiteLeft);
    }
}

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridViewInfo::GetHitTest(const TPoint& P)
{
    // The customization form and the design selector come with the
    // controller and the designer; a point on nothing else is the view's.
    return GetNoneHitTest(P);
}

TRect TvlCustomGridViewInfo::GetSiteBounds() const { return FSite != nullptr ? FSite->BoundsRect() : TRect(); }

void TvlCustomGridViewInfo::AddHScrollBarHeight(int& AHeight)
{
    if (FSite->IsHScrollBarVisible())
        AHeight += FSite->GetHScrollBarBounds().Height();
}

TvlCanvas* TvlCustomGridViewInfo::Canvas() const { return FSite->GetActiveCanvas(); }

void TvlCustomGridViewInfo::ClientBounds(TRect& R)
{
    if (FIsClientBoundsOverridden)
        R = FClientBoundsOverride;
    else
        GetDefaultClientBounds(R);
}

int TvlCustomGridViewInfo::ClientHeight()
{
    TRect r;
    ClientBounds(r);
    return r.Height();
}

int TvlCustomGridViewInfo::ClientWidth()
{
    TRect r;
    ClientBounds(r);
    return r.Width();
}

bool TvlCustomGridViewInfo::IsInternal()
{
    if (IsInternalUse())
        return true;
    TvlCustomGridView* master = GridView()->MasterGridView();
    return master != nullptr && master->ViewInfo() != nullptr && master->ViewInfo()->IsInternal();
}

void TvlCustomGridViewInfo::SetClientBounds(const TRect& R)
{
    FClientBoundsOverride = R;
    FIsClientBoundsOverridden = true;
}

void TvlCustomGridViewInfo::CreateSite() { FSite = GetSiteClass()(this); }

void TvlCustomGridViewInfo::DestroySite() { FSite.reset(); }

TWinControl* TvlCustomGridViewInfo::GetSiteParent() const
{
    if (TvlCustomGridView* master = GridView()->MasterGridView())
        if (master->ViewInfo() != nullptr)
            return master->ViewInfo()->Site();
    return Control();
}

bool TvlCustomGridViewInfo::IsCellAlive(const TvlCustomGridCellViewInfo* ACell) const
{
    return std::find(FGuardedCells.begin(), FGuardedCells.end(), ACell) != FGuardedCells.end();
}

void TvlCustomGridViewInfo::RemoveGuardedCell(const TvlCustomGridCellViewInfo* ACell, bool AAll)
{
    if (AAll) {
        std::erase(FGuardedCells, ACell);
        return;
    }
    auto it = std::find(FGuardedCells.begin(), FGuardedCells.end(), ACell);
    if (it != FGuardedCells.end())
        FGuardedCells.erase(it);
}

void TvlCustomGridViewInfo::UpdateMousePos()
{
    if (FSite->IsParked())
        return;
    if (FSite->HandleAllocated() && !FSite->IsDesigning())
        FMousePos = FSite->ScreenToClient(Mouse->CursorPos());
    else
        FMousePos = TPoint{INT_MAX, INT_MAX};
}

void TvlCustomGridViewInfo::CheckSiteVisibility(bool AVisible)
{
    if (!CanUpdateSite())
        return;
    FIsUpdatingSiteVisibility = true;
    try {
        UpdateSiteVisibility(AVisible && GridView()->IsVisible());
    } catch (...) {
        FIsUpdatingSiteVisibility = false;
        throw;
    }
    FIsUpdatingSiteVisibility = false;
}

int TvlCustomGridViewInfo::GetFontHeight(const TFont* AFont)
{
    TvlCanvas* canvas = Canvas();
    if (AFont != nullptr)
        canvas->SetFont(AFont);
    return canvas->TextHeight(QStringLiteral("Qq"));
}

void TvlCustomGridViewInfo::GetNaturalHeight(const TSize& AAvailableSize, int& AHeight, bool& AFullyVisible)
{
    FIsCalculatingNaturalSize = true;
    try {
        CalculateNaturalHeight(AAvailableSize, AHeight, AFullyVisible);
    } catch (...) {
        FIsCalculatingNaturalSize = false;
        throw;
    }
    FIsCalculatingNaturalSize = false;
}

void TvlCustomGridViewInfo::GetNaturalWidth(int AMaxWidth, int& AWidth)
{
    FIsCalculatingNaturalSize = true;
    try {
        CalculateNaturalWidth(AMaxWidth, AWidth);
    } catch (...) {
        FIsCalculatingNaturalSize = false;
        throw;
    }
    FIsCalculatingNaturalSize = false;
}

void TvlCustomGridViewInfo::MainCalculate(const TRect& R)
{
    if (FIsCalculating)
        return;
    BeforeCalculate();
    FIsCalculating = true;
    // However the calculation ends, the view info is not left locked.
    auto finish = [this] {
        FIsCalculating = false;
        AfterCalculate();
        CheckSiteVisibility(true);
    };
    try {
        FSite->SetBoundsRect(R);
        FBounds = FSite->GetClientBounds();
        Calculate();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TvlCustomGridViewInfo::Recalculate() { MainCalculate(FSite->BoundsRect()); }

// ---- cache ----------------------------------------------------------------------------------

void TvlCustomGridTableViewInfoCacheItem::UnassignValues(bool AKeepMaster)
{
    TvlCustomGridViewInfoCacheItem::UnassignValues(AKeepMaster);
    FIsHeightAssigned = false;
}

TvlCustomGridRecord* TvlCustomGridTableViewInfoCacheItem::GridRecord() const
{
    auto* viewData = dynamic_cast<TvlCustomGridTableViewData*>(Owner()->GridView()->ViewData());
    return viewData != nullptr ? viewData->GetRecordByIndex(Index()) : nullptr;
}

TvlCustomGridViewInfoCache::~TvlCustomGridViewInfoCache() { ClearItems(); }

void TvlCustomGridViewInfoCache::UnassignValues(bool AKeepMaster)
{
    if (FIsUnassigningValues)
        return;
    FIsUnassigningValues = true;
    try {
        for (auto& item : FItems)
            if (item != nullptr)
                item->UnassignValues(AKeepMaster);
        if (!AKeepMaster) {
            // A master row whose detail changed measures itself again, at
            // every level up.
            for (TvlCustomGridView* view = GridView(); view->IsDetail(); view = view->MasterGridView()) {
                TvlCustomGridView* master = view->MasterGridView();
                const int masterIndex = view->MasterRecordIndex();
                if (master->ViewInfoCache() != nullptr && masterIndex >= 0)
                    if (TvlCustomGridViewInfoCacheItem* item = master->ViewInfoCache()->GetItem(masterIndex))
                        item->UnassignValues(false);
            }
        }
    } catch (...) {
        FIsUnassigningValues = false;
        throw;
    }
    FIsUnassigningValues = false;
}

TvlCustomGridViewInfoCacheItem* TvlCustomGridViewInfoCache::GetItemIfExists(int AIndex) const
{
    if (AIndex < 0 || AIndex >= Count())
        return nullptr;
    return FItems[size_t(AIndex)].get();
}

TvlCustomGridViewInfoCacheItem* TvlCustomGridViewInfoCache::GetItem(int AIndex)
{
    if (AIndex < 0)
        return nullptr;
    // An index past the end (a record count not yet passed on) grows the list.
    if (AIndex >= Count())
        FItems.resize(size_t(AIndex) + 1);
    auto& item = FItems[size_t(AIndex)];
    if (item == nullptr)
        item = GetItemClass(AIndex)(this, AIndex);
    return item.get();
}

void TvlCustomGridViewInfoCache::SetCount(int N)
{
    FItems.clear();
    FItems.resize(size_t(std::max(0, N)));
}

TvlCustomGridViewInfoCacheItemClass TvlCustomGridTableViewInfoCache::GetItemClass(int AIndex)
{
    (void)AIndex;
    return &vlGridCreate<TvlCustomGridTableViewInfoCacheItem, TvlCustomGridViewInfoCacheItem, TvlCustomGridViewInfoCache*, int>;
}

// ---- view painter ---------------------------------------------------------------------------

TvlCustomGridPainter::~TvlCustomGridPainter() = default;

void TvlCustomGridPainter::DrawBackground()
{
    TvlCustomGridViewInfo* viewInfo = ViewInfo();
    TvlCanvas* canvas = Canvas();
    if (const TBitmap* bitmap = viewInfo->GetBackgroundBitmap()) {
        canvas->SaveClipRegion();
        canvas->SetClipRegion(*FBackgroundRegion, roIntersect);
        canvas->FillRect(viewInfo->Bounds(), bitmap);
        canvas->RestoreClipRegion();
    } else {
        canvas->FillRegion(FBackgroundRegion->Handle(), viewInfo->GetBackgroundColor());
    }
}

void TvlCustomGridPainter::AfterPaint()
{
    DrawBackground();
    FBackgroundRegion.reset();
    if (FBeforePaintClipRegion != nullptr)
        Canvas()->SetClipRegion(std::move(FBeforePaintClipRegion), roSet);
}

void TvlCustomGridPainter::BeforePaint()
{
    FBeforePaintClipRegion = Canvas()->GetClipRegion();
    FBackgroundRegion = std::make_unique<TvlRegion>(ViewInfo()->Bounds());
}

void TvlCustomGridPainter::DrawFocusRect(const TRect& R, bool AHideFocusRect)
{
    TvlCanvas* canvas = Canvas();
    if (GridView()->IsControlFocused()) {
        canvas->DrawFocusRect(R);
        return;
    }
    if (AHideFocusRect || R.IsEmpty())
        return;
    canvas->InvertRect(TRect{R.Left, R.Top, R.Right, R.Top + 1});
    if (R.Height() > 1)
        canvas->InvertRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom});
    if (R.Height() > 2) {
        canvas->InvertRect(TRect{R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1});
        if (R.Width() > 1)
            canvas->InvertRect(TRect{R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1});
    }
}

TvlCanvas* TvlCustomGridPainter::Canvas() const { return FPaintCanvas != nullptr ? FPaintCanvas : ViewInfo()->Canvas(); }

TvlCustomGridViewInfo* TvlCustomGridPainter::ViewInfo() const
{
    return FPaintViewInfo != nullptr ? FPaintViewInfo : GridView()->ViewInfo();
}

void TvlCustomGridPainter::ExcludeFromBackground(const TRect& R)
{
    if (FBackgroundRegion != nullptr)
        FBackgroundRegion->Combine(TvlRegion(R), roSubtract);
}

void TvlCustomGridPainter::Paint(TvlCanvas* ACanvas, TvlCustomGridViewInfo* AViewInfo)
{
    FPaintCanvas = ACanvas;
    FPaintViewInfo = AViewInfo;
    auto finish = [this] {
        FPaintCanvas = nullptr;
        FPaintViewInfo = nullptr;
    };
    try {
        TvlCustomGridController* controller = GridView()->Controller();
        if (controller != nullptr)
            controller->BeforePaint();
        BeforePaint();
        try {
            PaintContent();
        } catch (...) {
            FBackgroundRegion.reset();
            if (FBeforePaintClipRegion != nullptr)
                Canvas()->SetClipRegion(std::move(FBeforePaintClipRegion), roSet);
            throw;
        }
        AfterPaint();
        if (controller != nullptr)
            controller->AfterPaint();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TvlCustomGridPainter::Invalidate()
{
    if (TvlCustomGridViewInfo* viewInfo = GridView()->ViewInfo())
        if (TvlGridSite* site = viewInfo->Site())
            site->InvalidateRect(site->GetBounds(), false);
}

void TvlCustomGridPainter::InvalidateRect(const TRect& R)
{
    if (TvlCustomGridViewInfo* viewInfo = GridView()->ViewInfo())
        if (TvlGridSite* site = viewInfo->Site())
            site->InvalidateRect(R, false);
}

void TvlCustomGridPainter::InvalidateRegion(const TvlRegion* ARegion)
{
    if (TvlCustomGridViewInfo* viewInfo = GridView()->ViewInfo())
        if (TvlGridSite* site = viewInfo->Site())
            site->InvalidateRegion(ARegion, false);
}

// ---- view data ------------------------------------------------------------------------------

bool TvlCustomGridViewData::IsEmpty() const
{
    TvlCustomDataController* dataController = DataController();
    return dataController == nullptr || dataController->GetRowCount() == 0;
}
