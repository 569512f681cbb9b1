// The record view's controller as its layout sees it, the record view's
// layout object and its painter.
#include "ui/grid/vlGridCustomTableViewInfo.h"

#include "ui/grid/vlGrid.h"

// ---- controllers ------------------------------------------------------------------------------

TvlCustomGridTableController::TvlCustomGridTableController(TvlCustomGridView* AGridView)
    : TvlCustomGridController(AGridView)
{
    recreateEditingController();
}

TvlCustomGridTableController::~TvlCustomGridTableController() = default;

TvlCustomGridTableView* TvlCustomGridTableController::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridController::GridView());
}

void TvlCustomGridTableController::SetFocusedRecord(TvlCustomGridRecord* ARecord)
{
    if (ARecord != nullptr)
        ARecord->SetFocused(true);
}

TvlGridEditingControllerClass TvlCustomGridTableController::GetEditingControllerClass() const
{
    return &vlGridCreate<TvlGridEditingController, TvlGridEditingController, TvlCustomGridTableController*>;
}

void TvlCustomGridTableController::recreateEditingController() { FEditingController = GetEditingControllerClass()(this); }

// ---- the view info ------------------------------------------------------------------------------

TvlCustomGridTableViewInfo::TvlCustomGridTableViewInfo(TvlCustomGridView* AGridView) : TvlCustomGridViewInfo(AGridView) {}

TvlCustomGridTableViewInfo::~TvlCustomGridTableViewInfo() = default;

TvlCustomGridTableController* TvlCustomGridTableViewInfo::Controller() const
{
    return dynamic_cast<TvlCustomGridTableController*>(GridView()->Controller());
}

TvlCustomGridTableView* TvlCustomGridTableViewInfo::GridView() const
{
    return static_cast<TvlCustomGridTableView*>(TvlCustomGridViewInfo::GridView());
}

TvlCustomGridTableViewData* TvlCustomGridTableViewInfo::ViewData() const { return GridView()->ViewData(); }

int TvlCustomGridTableViewInfo::ExpandButtonExtent() const { return LookAndFeelPainter()->ExpandButtonSize(); }

int TvlCustomGridTableViewInfo::GetFirstRecordIndex() const
{
    if (FirstRecordIndex != -1)
        return FirstRecordIndex;
    TvlCustomGridTableController* controller = Controller();
    return controller != nullptr ? controller->TopRecordIndex() : 0;
}

// ---- IvlNavigatorOwner

void TvlCustomGridTableViewInfo::NavigatorChanged(int AChangeType)
{
    GridView()->Changed(AChangeType == 0 ? vckProperty : vckLayout);
}

TRect TvlCustomGridTableViewInfo::GetNavigatorBounds() const
{
    TRect r;
    GetNavigatorSiteBounds(r);
    r.Right = r.Left + FNavigatorSize.X;
    return r;
}

// The view keeps no navigator buttons yet: without them the navigator is
// neither measured nor drawn.
TvlCustomNavigatorButtons* TvlCustomGridTableViewInfo::GetNavigatorButtons() const { return nullptr; }

TCanvas* TvlCustomGridTableViewInfo::GetNavigatorCanvas() const
{
    TvlCanvas* canvas = Canvas();
    return canvas != nullptr ? canvas->Canvas() : nullptr;
}

TWinControl* TvlCustomGridTableViewInfo::GetNavigatorControl() const { return Site(); }

TvlLookAndFeel* TvlCustomGridTableViewInfo::GetNavigatorLookAndFeel() const
{
    TvlCustomGrid* grid = GridView()->Control();
    return grid != nullptr ? grid->LookAndFeel() : nullptr;
}

TComponent* TvlCustomGridTableViewInfo::GetNavigatorOwner() const { return GridView(); }

bool TvlCustomGridTableViewInfo::GetNavigatorShowHint() const { return GridView()->OptionsBehavior()->NavigatorHints(); }

void TvlCustomGridTableViewInfo::RefreshNavigator()
{
    if (FNavigatorViewInfo != nullptr && GetNavigatorButtons() != nullptr)
        FNavigatorViewInfo->UpdateButtonsEnabled();
}

void TvlCustomGridTableViewInfo::NavigatorStateChanged()
{
    if (GridView()->IsPattern() || GridView()->Control() == nullptr || FNavigatorViewInfo == nullptr ||
        GetNavigatorButtons() == nullptr)
        return;
    FNavigatorViewInfo->MakeDirty();
    int width = FNavigatorSize.X;
    int height = FNavigatorSize.Y;
    FNavigatorViewInfo->CalculateBounds(width, height, false);
    if (width == FNavigatorSize.X && height == FNavigatorSize.Y)
        GridView()->Invalidate();
    else
        GridView()->LayoutChanged(true);
}

// ---- the view info base

void TvlCustomGridTableViewInfo::CreateViewInfos()
{
    FFilterViewInfo = TvlGridCellViewInfoPtr<TvlGridFilterViewInfo>(GetFilterViewInfoClass()(this).release());
    FFilterViewInfo->AfterConstruction();
    TvlCustomGridViewInfo::CreateViewInfos();
    FNavigatorSiteViewInfo = TvlGridCellViewInfoPtr<TvlNavigatorSiteViewInfo>(GetNavigatorSiteViewInfoClass()(this).release());
    FNavigatorSiteViewInfo->AfterConstruction();
    if (FNavigatorViewInfo == nullptr)
        FNavigatorViewInfo = GetNavigatorViewInfoClass()(this, true);
    FRecordsViewInfo = GetRecordsViewInfoClass()(this);
}

void TvlCustomGridTableViewInfo::DestroyViewInfos(bool AIsRecreating)
{
    FRecordsViewInfo.reset();
    FNavigatorSiteViewInfo.reset();
    if (!AIsRecreating)
        FNavigatorViewInfo.reset();
    TvlCustomGridViewInfo::DestroyViewInfos(AIsRecreating);
    FFilterViewInfo.reset();
}

bool TvlCustomGridTableViewInfo::isNavigatorSiteVisible() const
{
    return FNavigatorSiteViewInfo != nullptr && FNavigatorSiteViewInfo->GetVisible();
}

void TvlCustomGridTableViewInfo::AdjustClientBounds(TRect& R)
{
    TvlCustomGridViewInfo::AdjustClientBounds(R);
    if (CalculateDown && isNavigatorSiteVisible() && !Site()->IsHScrollBarVisible())
        R.Bottom -= FNavigatorSiteViewInfo->GetHeight();
}

void TvlCustomGridTableViewInfo::AfterCalculate()
{
    TvlCustomGridViewInfo::AfterCalculate();
    if (CanUpdateSite())
        if (TvlCustomGridTableController* controller = Controller())
            controller->PostponeCheckEdit();
}

void TvlCustomGridTableViewInfo::Calculate()
{
    FRecordsViewInfo->MainCalculate();
    TvlCustomGridViewInfo::Calculate();
    if (isNavigatorSiteVisible()) {
        TRect siteBounds;
        GetNavigatorSiteBounds(siteBounds);
        int width = 0;
        int height = siteBounds.Height();
        if (GetNavigatorButtons() != nullptr)
            FNavigatorViewInfo->CalculateBounds(width, height, false);
        FNavigatorSize = TPoint{width, height};
        GetNavigatorSiteBounds(siteBounds);
        FNavigatorSiteViewInfo->CalculateRect(siteBounds);
        if (GetNavigatorButtons() != nullptr)
            FNavigatorViewInfo->Calculate();
    }
}

void TvlCustomGridTableViewInfo::GetDefaultClientBounds(TRect& R)
{
    TvlCustomGridViewInfo::GetDefaultClientBounds(R);
    R.Top += TopPartsHeight();
    R.Bottom -= BottomPartsHeight();
}

void TvlCustomGridTableViewInfo::CalculateNaturalHeight(const TSize& AAvailableSize, int& AHeight, bool& AFullyVisible)
{
    if (isNavigatorSiteVisible() && !Site()->IsHScrollBarVisible())
        AHeight += FNavigatorSiteViewInfo->GetHeight();
    TvlCustomGridViewInfo::CalculateNaturalHeight(AAvailableSize, AHeight, AFullyVisible);
}

void TvlCustomGridTableViewInfo::VisibilityChanged(bool AVisible)
{
    TvlCustomGridViewInfo::VisibilityChanged(AVisible);
    if (FRecordsViewInfo != nullptr)
        FRecordsViewInfo->VisibilityChanged(AVisible);
}

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridTableViewInfo::GetNoneHitTest(const TPoint& P)
{
    std::unique_ptr<TvlCustomGridHitTest> result;
    // The site's client area holds the parts too; below it lies the
    // navigator strip.
    if (PtInRect(Site()->GetClientBounds(), P)) {
        for (TvlCustomGridPartViewInfo* part : FParts)
            if (part->GetVisible() && (result = part->GetHitTest(P)) != nullptr)
                return result;
        if (FRecordsViewInfo != nullptr && (result = FRecordsViewInfo->HitTestAt(P)) != nullptr)
            return result;
    } else if (FNavigatorSiteViewInfo != nullptr && (result = FNavigatorSiteViewInfo->GetHitTest(P)) != nullptr) {
        return result;
    }
    return TvlCustomGridViewInfo::GetNoneHitTest(P);
}

void TvlCustomGridTableViewInfo::AdjustHScrollBarBounds(TRect& R)
{
    TvlCustomGridViewInfo::AdjustHScrollBarBounds(R);
    if (isNavigatorSiteVisible())
        R.Left += FNavigatorSiteViewInfo->GetWidth();
}

bool TvlCustomGridTableViewInfo::IsInternalUse() { return TvlCustomGridViewInfo::IsInternalUse() || FirstRecordIndex != -1; }

void TvlCustomGridTableViewInfo::UpdateSiteVisibility(bool AVisible)
{
    if (FRecordsViewInfo != nullptr)
        FRecordsViewInfo->DetailsNotification(AVisible ? 1 : 0);
    TvlCustomGridViewInfo::UpdateSiteVisibility(AVisible);
}

// ---- own operations

void TvlCustomGridTableViewInfo::AfterScrolling() { FRecordsViewInfo->AfterScrolling(); }

void TvlCustomGridTableViewInfo::BeforeScrolling() { FRecordsViewInfo->ResetIncSearchingCell(); }

void TvlCustomGridTableViewInfo::PartRect(TvlCustomGridPartViewInfo* APart, TRect& R)
{
    ClientBounds(R);
    if (APart->IsFullWidth()) {
        R.Left = Bounds().Left;
        R.Right = Bounds().Right;
    } else {
        R.Right = R.Left + APart->CalculateWidth();
    }
    // The client area excludes every part: walking back from the last part
    // to this one gives this part's edge.
    const bool top = APart->PartAlignment() == gpaTop;
    for (int i = PartCount() - 1; i >= 0; --i) {
        TvlCustomGridPartViewInfo* part = FParts[size_t(i)];
        if (part->PartAlignment() == gpaTop)
            R.Top -= part->Height;
        else
            R.Bottom += part->Height;
        if (part == APart)
            break;
    }
    if (top)
        R.Bottom = R.Top + APart->Height;
    else
        R.Top = R.Bottom - APart->Height;
}

TvlGridFilterViewInfoClass TvlCustomGridTableViewInfo::GetFilterViewInfoClass() const
{
    return &vlGridCreate<TvlGridFilterViewInfo, TvlGridFilterViewInfo, TvlCustomGridTableViewInfo*>;
}

int TvlCustomGridTableViewInfo::GetNavigatorOffset() const { return GridView()->OptionsView()->NavigatorOffset(); }

void TvlCustomGridTableViewInfo::GetNavigatorSiteBounds(TRect& R) const
{
    TvlGridSite* site = Site();
    const int width = FNavigatorSiteViewInfo->GetWidth();
    if (site->IsHScrollBarVisible()) {
        // Directly left of the scroll bar, which is shortened by as much.
        R = site->GetHScrollBarBounds();
        R.Right = R.Left;
        R.Left = R.Right - width;
    } else {
        // Below the client area, under the vertical scroll bar too.
        R = site->GetClientBounds();
        if (site->IsVScrollBarVisible())
            R.Right += site->GetVScrollBarBounds().Width();
        R.Top = R.Bottom;
        R.Bottom += FNavigatorSiteViewInfo->GetHeight();
    }
}

TvlNavigatorSiteViewInfoClass TvlCustomGridTableViewInfo::GetNavigatorSiteViewInfoClass() const
{
    return &vlGridCreate<TvlNavigatorSiteViewInfo, TvlNavigatorSiteViewInfo, TvlCustomGridTableViewInfo*>;
}

TvlNavigatorViewInfoClass TvlCustomGridTableViewInfo::GetNavigatorViewInfoClass() const
{
    return &vlGridCreate<TvlNavigatorViewInfo, TvlNavigatorViewInfo, IvlNavigatorOwner*, bool>;
}

void TvlCustomGridTableViewInfo::GetNoDataToDisplayText(String& S) { S = GridView()->OptionsView()->GetNoDataToDisplayText(); }

void TvlCustomGridTableViewInfo::GetNoDataToDisplayTextBounds(TRect& R)
{
    ClientBounds(R);
    const TRect content = FRecordsViewInfo->ContentBounds;
    if (!content.IsEmpty())
        IntersectRect(R, R, content);
}

void TvlCustomGridTableViewInfo::GetNoDataToDisplayParams(TvlViewParams& AParams)
{
    GridView()->Styles()->ResolveViewParams(TvlCustomGridViewStyles::vsBackground, nullptr, nullptr, AParams);
}

bool TvlCustomGridTableViewInfo::IsNoDataToDisplayTextVisible()
{
    if (FRecordsViewInfo == nullptr || !FRecordsViewInfo->IsEmpty())
        return false;
    String text;
    GetNoDataToDisplayText(text);
    return !text.isEmpty();
}

int TvlCustomGridTableViewInfo::EdgePartsHeight(bool AAddScrollBarAndNavigator)
{
    int result = TopPartsHeight() + BottomPartsHeight();
    if (AAddScrollBarAndNavigator) {
        AddHScrollBarHeight(result);
        if (isNavigatorSiteVisible() && !Site()->IsHScrollBarVisible())
            result += FNavigatorSiteViewInfo->GetHeight();
    }
    return result;
}

void TvlCustomGridTableViewInfo::ScrollRecords(int ACount) { FRecordsViewInfo->ScrollBy(ACount); }

void TvlCustomGridTableViewInfo::ShiftContent(int DX, int DY) { FRecordsViewInfo->ShiftContent(DX, DY); }

bool TvlCustomGridTableViewInfo::CanScrollBy(int ACount) { return FRecordsViewInfo->CanScrollBy(ACount); }

void TvlCustomGridTableViewInfo::Offset(int ARecordCount, int DX, int DY)
{
    if (!CanOffset(ARecordCount, DX, DY)) {
        Recalculate();
        return;
    }
    TvlCustomGridTableController* controller = Controller();
    if (controller != nullptr)
        controller->BeforeViewInfoCalculate();
    BeforeScrolling();
    if (ARecordCount != 0)
        ScrollRecords(ARecordCount);
    else
        ShiftContent(DX, DY);
    AfterScrolling();
    if (controller != nullptr)
        controller->AfterViewInfoCalculate();
}

int TvlCustomGridTableViewInfo::partsHeight(TvlGridPartAlignment AAlignment) const
{
    int result = 0;
    for (const TvlCustomGridPartViewInfo* part : FParts)
        if (const_cast<TvlCustomGridPartViewInfo*>(part)->PartAlignment() == AAlignment)
            result += part->Height;
    return result;
}

int TvlCustomGridTableViewInfo::TopPartsHeight() const { return partsHeight(gpaTop); }

int TvlCustomGridTableViewInfo::BottomPartsHeight() const { return partsHeight(gpaBottom); }

int TvlCustomGridTableViewInfo::HorzScrollBandWidth()
{
    TRect r;
    HorzScrollBand(r);
    return r.Width();
}

int TvlCustomGridTableViewInfo::VisibleRecordCount() const
{
    return FRecordsViewInfo != nullptr ? FRecordsViewInfo->VisibleCount : 0;
}

void TvlCustomGridTableViewInfo::AddPart(TvlCustomGridPartViewInfo* APart) { FParts.push_back(APart); }

void TvlCustomGridTableViewInfo::RemovePart(TvlCustomGridPartViewInfo* APart) { std::erase(FParts, APart); }

void TvlCustomGridTableViewInfo::MovePart(TvlCustomGridPartViewInfo* APart, int AIndex)
{
    auto it = std::find(FParts.begin(), FParts.end(), APart);
    if (it == FParts.end())
        return;
    FParts.erase(it);
    AIndex = std::clamp(AIndex, 0, int(FParts.size()));
    FParts.insert(FParts.begin() + AIndex, APart);
}

// ---- the painter ------------------------------------------------------------------------------

TvlCustomGridTableViewInfo* TvlCustomGridTablePainter::ViewInfo() const
{
    return static_cast<TvlCustomGridTableViewInfo*>(TvlCustomGridPainter::ViewInfo());
}

void TvlCustomGridTablePainter::DrawBackground()
{
    TvlCustomGridPainter::DrawBackground();
    if (ViewInfo()->IsNoDataToDisplayTextVisible())
        DrawNoDataToDisplayText();
}

void TvlCustomGridTablePainter::BeforePaint()
{
    TvlCustomGridPainter::BeforePaint();
    DrawNavigator();
}

void TvlCustomGridTablePainter::PaintContent()
{
    TvlCustomGridPainter::PaintContent();
    DrawRecords();
}

void TvlCustomGridTablePainter::DrawFocusRect(const TRect& R, bool AHideFocusRect)
{
    if (ViewInfo()->GridView()->OptionsView()->FocusRect())
        TvlCustomGridPainter::DrawFocusRect(R, AHideFocusRect);
}

bool TvlCustomGridTablePainter::CanOffset(int ARecordCount, int DX, int DY)
{
    (void)ARecordCount;
    (void)DX;
    (void)DY;
    TvlCustomGridTableViewInfo* viewInfo = ViewInfo();
    // Moved window content would show a background bitmap or the no-data
    // text in the wrong place.
    return !viewInfo->Site()->IsDesigning() && viewInfo->GetBackgroundBitmap() == nullptr &&
           viewInfo->RecordsViewInfo()->BackgroundBitmap() == nullptr && !viewInfo->IsNoDataToDisplayTextVisible();
}

void TvlCustomGridTablePainter::DrawFilterBox() { ViewInfo()->FilterViewInfo()->Paint(Canvas()); }

void TvlCustomGridTablePainter::DrawNoDataToDisplayText()
{
    TvlCustomGridTableViewInfo* viewInfo = ViewInfo();
    TvlCanvas* canvas = Canvas();
    TvlViewParams params;
    viewInfo->GetNoDataToDisplayParams(params);
    if (params.Font != nullptr)
        canvas->SetFont(params.Font);
    canvas->Font()->SetColor(params.TextColor);
    canvas->Brush()->SetColor(params.Color);
    canvas->Brush()->SetStyle(bsClear);
    String text;
    viewInfo->GetNoDataToDisplayText(text);
    TRect r;
    viewInfo->GetNoDataToDisplayTextBounds(r);
    // Centred both ways, wrapped at words.
    canvas->DrawText(text, r, 0x424, true);
    canvas->Brush()->SetStyle(bsSolid);
}

void TvlCustomGridTablePainter::DrawNavigator()
{
    TvlCustomGridTableViewInfo* viewInfo = ViewInfo();
    TvlNavigatorSiteViewInfo* site = viewInfo->NavigatorSiteViewInfo();
    if (site == nullptr || !site->GetVisible())
        return;
    if (viewInfo->GetNavigatorButtons() != nullptr)
        viewInfo->NavigatorViewInfo()->Paint();
    site->Paint(Canvas());
}

// The records go on the canvas painted on, which a copy of the view
// replaces with its own.
void TvlCustomGridTablePainter::DrawRecords() { ViewInfo()->RecordsViewInfo()->Paint(Canvas()); }

void TvlCustomGridTablePainter::OffsetRecords(int APixels)
{
    (void)APixels;
    GridView()->Invalidate();
}

void TvlCustomGridTablePainter::OffsetContent(int DX, int DY)
{
    (void)DX;
    (void)DY;
    GridView()->Invalidate();
}

void TvlCustomGridTablePainter::Offset(int APixels, int DX, int DY)
{
    TvlGridSite* site = ViewInfo()->Site();
    if (site == nullptr || !site->HandleAllocated())
        return;
    if (!CanOffset(APixels, DX, DY)) {
        GridView()->Invalidate();
        return;
    }
    TvlCustomGridController* controller = GridView()->Controller();
    controller->BeforePaint();
    try {
        if (APixels != 0)
            OffsetRecords(APixels);
        else
            OffsetContent(DX, DY);
    } catch (...) {
        controller->AfterPaint();
        throw;
    }
    controller->AfterPaint();
}
