#include "ui/grid/vlGrid.h"

#include <algorithm>

#include "platform/controls/Forms.h"

// ---- level tabs -------------------------------------------------------------------------------

TvlGridLevelTabs::TvlGridLevelTabs(TvlCustomGrid* AGrid) : FGrid(AGrid), FSlants(std::make_unique<TvlTabSlants>(this))
{
    FSlants->OnChange = TNotifyEvent(this, &TvlGridLevelTabs::slantsChanged);
}

void TvlGridLevelTabs::changed() { FGrid->SizeChanged(); }

void TvlGridLevelTabs::SetCaptionAlignment(TAlignment Value)
{
    if (FCaptionAlignment == Value)
        return;
    FCaptionAlignment = Value;
    changed();
}

void TvlGridLevelTabs::SetImageBorder(int Value)
{
    Value = std::max(0, Value);
    if (FImageBorder == Value)
        return;
    FImageBorder = Value;
    changed();
}

void TvlGridLevelTabs::SetImages(TComponent* Value)
{
    if (FImages == Value)
        return;
    if (FImages != nullptr)
        FImages->RemoveFreeNotification(FGrid);
    FImages = Value;
    if (FImages != nullptr)
        FImages->FreeNotification(FGrid);
    changed();
}

void TvlGridLevelTabs::SetStyle(TvlPCStyleID Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    changed();
}

void TvlGridLevelTabs::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridLevelTabs*>(Source)) {
        SetCaptionAlignment(source->FCaptionAlignment);
        SetImageBorder(source->FImageBorder);
        SetImages(source->FImages);
        SetSlants(source->FSlants.get());
        SetStyle(source->FStyle);
        return;
    }
    TPersistent::Assign(Source);
}

// ---- drag opening -------------------------------------------------------------------------------

bool TvlGridDragOpenInfoTab::Equals(const TvlCustomGridDragOpenInfo* AInfo) const
{
    return TvlCustomGridDragOpenInfo::Equals(AInfo) && static_cast<const TvlGridDragOpenInfoTab*>(AInfo)->Level == Level;
}

void TvlGridDragOpenInfoTab::Run() { Level->SetActive(true); }

TvlGridController::TvlGridController(TvlCustomGrid* AGrid) : TvlCustomGridHandler(AGrid) {}

TvlGridController::~TvlGridController() = default;

void TvlGridController::CancelMouseOperations()
{
    if (TvlCustomGridView* view = Grid()->ActiveView())
        view->Controller()->CancelMouseOperations();
}

void TvlGridController::FocusChanged()
{
    if (TvlCustomGridView* view = Grid()->ActiveView())
        view->Controller()->ControlFocusChanged();
}

void TvlGridController::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    (void)Source;
    (void)Accept;
    if (!Grid()->DragOpening())
        return;
    const std::unique_ptr<TvlCustomGridHitTest> hitTest = Grid()->ViewInfo()->GetHitTest(X, Y);
    std::unique_ptr<TvlCustomGridDragOpenInfo> info = State == dsDragLeave ? nullptr : CreateDragOpenInfo(hitTest.get());
    if (info != nullptr)
        StartDragOpen(std::move(info));
    else
        StopDragOpen();
}

void TvlGridController::EndDrag(TObject* Target, int X, int Y)
{
    (void)Target;
    (void)X;
    (void)Y;
    StopDragOpen();
}

std::unique_ptr<TvlCustomGridDragOpenInfo> TvlGridController::CreateDragOpenInfo(const TvlCustomGridHitTest* AHitTest) const
{
    // Only a level tab opens; the tab strip supplies that hit test.
    (void)AHitTest;
    return nullptr;
}

void TvlGridController::StartDragOpen(std::unique_ptr<TvlCustomGridDragOpenInfo> AInfo)
{
    if (FDragOpenInfo != nullptr && FDragOpenInfo->Equals(AInfo.get()))
        return;
    FDragOpenInfo = std::move(AInfo);
    if (FDragOpenTimer != nullptr) {
        FDragOpenTimer->SetEnabled(false);
        FDragOpenTimer->SetInterval(unsigned(Grid()->DragOpeningWaitTime()));
        FDragOpenTimer->SetEnabled(true);
        return;
    }
    FDragOpenTimer = std::make_unique<TvlTimer>(nullptr);
    FDragOpenTimer->SetInterval(unsigned(Grid()->DragOpeningWaitTime()));
    FDragOpenTimer->SetOnTimer(TNotifyEvent(this, &TvlGridController::dragOpenTimerFired));
    FDragOpenTimer->SetEnabled(true);
}

void TvlGridController::StopDragOpen()
{
    FDragOpenInfo.reset();
    if (FDragOpenTimer == nullptr)
        return;
    FDragOpenTimer->SetEnabled(false);
    // A timer is never freed inside its own tick; the next stop or the
    // controller frees it.
    if (!FInDragOpenTick)
        FDragOpenTimer.reset();
}

void TvlGridController::dragOpenTimerFired(TObject*)
{
    FInDragOpenTick = true;
    FDragOpenTimer->SetEnabled(false);
    try {
        if (FDragOpenInfo != nullptr)
            FDragOpenInfo->Run();
    } catch (...) {
        StopDragOpen();
        FInDragOpenTick = false;
        throw;
    }
    StopDragOpen();
    FInDragOpenTick = false;
}

// ---- painter ------------------------------------------------------------------------------------

void TvlGridPainter::PaintDetails()
{
    TvlGridTopDetailsSiteViewInfo* site = Grid()->ViewInfo()->DetailsSiteViewInfo();
    if (site != nullptr && site->GetVisible())
        site->Paint(Grid()->Canvas());
}

void TvlGridPainter::Invalidate(bool AHard)
{
    Grid()->RefreshViews(false);
    if (!AHard)
        return;
    for (int i = 0; i < Grid()->ControlCount(); ++i)
        if (auto* site = dynamic_cast<TvlGridSite*>(Grid()->Controls(i)))
            site->Invalidate();
}

void TvlGridPainter::InvalidateRect(const TRect& R) { Grid()->InvalidateRect(R, false); }

// ---- the grid's view info -------------------------------------------------------------------------

TvlGridTopDetailsSiteViewInfo::TvlGridTopDetailsSiteViewInfo(TvlCustomGrid* AGrid, TvlGridLevel* ALevel)
    : TvlCustomGridDetailsSiteViewInfo(ALevel), FGrid(AGrid)
{
}

int TvlGridTopDetailsSiteViewInfo::GetMaxHeight() const { return FGrid->GetClientBounds().Height(); }
int TvlGridTopDetailsSiteViewInfo::GetMaxWidth() const { return FGrid->GetClientBounds().Width(); }
TvlCustomGridView* TvlGridTopDetailsSiteViewInfo::GetActiveGridViewValue() const { return FGrid->ActiveView(); }
TvlGridLevel* TvlGridTopDetailsSiteViewInfo::GetActiveLevel() const { return FGrid->ActiveLevel(); }

TvlLookAndFeelPainterClass TvlGridTopDetailsSiteViewInfo::GetLookAndFeelPainter() const
{
    return FGrid->LookAndFeelPainter() != nullptr ? FGrid->LookAndFeelPainter() : TvlStandardLookAndFeelPainter::Instance();
}

void TvlGridTopDetailsSiteViewInfo::ActivateLevel(TvlGridLevel* ALevel) { FGrid->SetActiveLevel(ALevel); }

bool TvlGridTopDetailsSiteViewInfo::HasData(TvlGridLevel* ALevel) const
{
    return ALevel->GridView() != nullptr && ALevel->GridView()->ViewData()->HasRecords();
}

void TvlGridTopDetailsSiteViewInfo::CheckActiveViewSiteVisibility(bool Value)
{
    if (!FGrid->IsDestroying())
        TvlCustomGridDetailsSiteViewInfo::CheckActiveViewSiteVisibility(Value);
}

TvlGridViewInfo::~TvlGridViewInfo() = default;

void TvlGridViewInfo::CreateViewInfos()
{
    FDetailsSiteViewInfo = std::make_unique<TvlGridTopDetailsSiteViewInfo>(Grid(), Grid()->RootLevel());
}

void TvlGridViewInfo::DestroyViewInfos() { FDetailsSiteViewInfo.reset(); }

void TvlGridViewInfo::Calculate()
{
    DestroyViewInfos();
    CreateViewInfos();
    ++FCalculationCount;
    const TRect client = Grid()->GetClientBounds();
    if (FDetailsSiteViewInfo->GetVisible())
        FDetailsSiteViewInfo->Calculate(client.Left, client.Top);
}

void TvlGridViewInfo::MainCalculate()
{
    const bool was = FIsCalculating;
    FIsCalculating = true;
    try {
        Calculate();
    } catch (...) {
        FIsCalculating = was;
        throw;
    }
    FIsCalculating = was;
}

std::unique_ptr<TvlCustomGridHitTest> TvlGridViewInfo::GetHitTest(int X, int Y) const
{
    if (FDetailsSiteViewInfo != nullptr)
        if (auto result = FDetailsSiteViewInfo->GetHitTest(TPoint{X, Y}))
            return result;
    return vlGridHitTest<TvlGridNoneHitTest>(TPoint{X, Y});
}

// ---- the grid ---------------------------------------------------------------------------------------

TvlCustomGrid::TvlCustomGrid(TComponent* AOwner) : TvlControl(AOwner)
{
    SetBorderStyle(vlcbsDefault);
    SetTabStop(true);
    SetWidth(250);
    SetHeight(200);
}

TvlCustomGrid::~TvlCustomGrid()
{
    FDestroying = true;
    Destroying();
    DestroyHandlers();
    FRootLevel.reset();
    while (!FViews.empty())
        delete FViews.back();  // it leaves the grid (and its owner) as it goes
    FChanges.clear();
    if (FLevelTabs != nullptr && FLevelTabs->FImages != nullptr)
        FLevelTabs->FImages->RemoveFreeNotification(this);
}

void TvlCustomGrid::Initialize()
{
    if (FRootLevel != nullptr)
        return;
    FLevelTabs = GetLevelTabsClass()(this);
    FRootLevel = GetRootLevelClass()(nullptr);
    FRootLevel->setControl(this);
    FRootLevel->Initialize();
    CreateHandlers();
}

TCursor TvlCustomGrid::GetCurrentCursor(int X, int Y) const
{
    if (FController != nullptr)
        if (const TCursor cursor = FController->GetCursor(X, Y); cursor != crDefault)
            return cursor;
    return TvlControl::GetCurrentCursor(X, Y);
}

void TvlCustomGrid::CreateHandlers()
{
    FController = GetControllerClass()(this);
    FPainter = GetPainterClass()(this);
    FViewInfo = GetViewInfoClass()(this);
}

void TvlCustomGrid::DestroyHandlers()
{
    FViewInfo.reset();
    FPainter.reset();
    FController.reset();
}

TvlCustomGrid::TControllerClass TvlCustomGrid::GetControllerClass() const
{
    return &vlGridCreate<TvlGridController, TvlGridController, TvlCustomGrid*>;
}

TvlCustomGrid::TPainterClass TvlCustomGrid::GetPainterClass() const
{
    return &vlGridCreate<TvlGridPainter, TvlGridPainter, TvlCustomGrid*>;
}

TvlCustomGrid::TViewInfoClass TvlCustomGrid::GetViewInfoClass() const
{
    return &vlGridCreate<TvlGridViewInfo, TvlGridViewInfo, TvlCustomGrid*>;
}

TvlCustomGrid::TLevelTabsClass TvlCustomGrid::GetLevelTabsClass() const
{
    return &vlGridCreate<TvlGridLevelTabs, TvlGridLevelTabs, TvlCustomGrid*>;
}

TvlCustomGrid::TRootLevelClass TvlCustomGrid::GetRootLevelClass() const
{
    return &vlGridCreate<TvlGridRootLevel, TvlGridRootLevel, TComponent*>;
}

TvlCustomGridView* TvlCustomGrid::ActiveView() const { return FActiveLevel != nullptr ? FActiveLevel->GridView() : nullptr; }

void TvlCustomGrid::AddChildComponent(TvlControlChildComponent* AComponent)
{
    TvlControl::AddChildComponent(AComponent);
    auto* view = dynamic_cast<TvlCustomGridView*>(AComponent);
    if (view != nullptr && view->Control() == this)
        ViewAdded(view);
}

void TvlCustomGrid::RemoveChildComponent(TvlControlChildComponent* AComponent)
{
    // A view that already moved to another grid keeps its new one.
    if (AComponent->Control() == this)
        TvlControl::RemoveChildComponent(AComponent);
    if (auto* view = dynamic_cast<TvlCustomGridView*>(AComponent))
        ViewRemoved(view);
}

void TvlCustomGrid::ViewAdded(TvlCustomGridView* AView)
{
    if (std::find(FViews.begin(), FViews.end(), AView) != FViews.end())
        return;
    FViews.push_back(AView);
    if (AView->DataController() != nullptr)
        AView->DataController()->SetMasterMode(nullptr, true);
}

void TvlCustomGrid::ViewRemoved(TvlCustomGridView* AView)
{
    FViews.erase(std::remove(FViews.begin(), FViews.end(), AView), FViews.end());
    RemoveViewChanges(AView);
    if (FFocusedView == AView)
        FFocusedView = nullptr;
}

// ---- the change queue ------------------------------------------------------------------------------------

void TvlCustomGrid::BeginUpdate() { ++FLockCount; }

void TvlCustomGrid::EndUpdate()
{
    if (FLockCount <= 0)
        return;
    if (--FLockCount == 0)
        processChanges();
}

void TvlCustomGrid::CancelUpdate()
{
    if (FLockCount <= 0)
        return;
    if (--FLockCount == 0)
        FChanges.clear();
}

void TvlCustomGrid::AddChange(std::unique_ptr<TvlCustomGridChange> AChange)
{
    if (AChange->CanQueue() && IsUpdateLocked())
        FChanges.push_back(std::move(AChange));
    else
        RunChange(std::move(AChange));
}

void TvlCustomGrid::RunChange(std::unique_ptr<TvlCustomGridChange> AChange)
{
    if (IsDestroying())
        return;
    AChange->SetControl(this);
    AChange->Execute();
}

void TvlCustomGrid::RemoveViewChanges(const TvlCustomGridView* AView)
{
    for (size_t i = FChanges.size(); i > 0; --i) {
        const auto* change = dynamic_cast<const TvlCustomGridViewChange*>(FChanges[i - 1].get());
        if (change != nullptr && change->GridView() == AView)
            FChanges.erase(FChanges.begin() + std::ptrdiff_t(i - 1));
    }
}

void TvlCustomGrid::processChanges()
{
    std::vector<std::unique_ptr<TvlCustomGridChange>> batch;
    for (auto& change : FChanges) {
        const bool duplicate = change->CanMergeDuplicates() &&
                               std::any_of(batch.begin(), batch.end(), [&](const auto& kept) { return kept->SameAs(change.get()); });
        if (!duplicate)
            batch.push_back(std::move(change));
    }
    FChanges.clear();
    // Drop what a later change covers, then what an earlier one covers.
    for (size_t i = 0; i < batch.size();) {
        bool covered = false;
        for (size_t j = i + 1; j < batch.size() && !covered; ++j)
            covered = batch[i]->IsCoveredBy(batch[j].get());
        if (covered)
            batch.erase(batch.begin() + std::ptrdiff_t(i));
        else
            ++i;
    }
    for (size_t b = batch.size(); b > 0; --b)
        for (size_t a = b - 1; a > 0; --a)
            if (batch[b - 1]->IsCoveredBy(batch[a - 1].get())) {
                batch.erase(batch.begin() + std::ptrdiff_t(b - 1));
                break;
            }
    if (batch.empty())
        return;
    const bool locking = batch.size() >= 2;
    bool held = false;
    if (locking) {
        BeginUpdate();
        held = true;
    }
    try {
        for (auto& change : batch) {
            if (held && !change->CanRunLocked()) {
                held = false;
                EndUpdate();
            }
            RunChange(std::move(change));
            if (locking && !IsUpdateLocked()) {
                BeginUpdate();
                held = true;
            }
        }
    } catch (...) {
        // The changes not run yet are freed with the batch; one layout of
        // the whole grid stands for whatever they would have shown, so the
        // display does not stay stale.
        batch.clear();
        try {
            if (!IsDestroying())
                AddChange(std::make_unique<TvlGridLayoutChange>(nullptr));
            if (held)
                EndUpdate();
        } catch (...) {
            // The first failure is the one the caller hears of.
        }
        throw;
    }
    if (held)
        EndUpdate();
}

void TvlCustomGrid::LayoutChanged()
{
    if (!IsLoading())
        AddChange(std::make_unique<TvlGridLayoutChange>(nullptr));
}

void TvlCustomGrid::SizeChanged()
{
    if (!IsLoading())
        AddChange(std::make_unique<TvlGridSizeChange>(nullptr, false, false));
}

namespace {

void refreshLevelViews(TvlGridLevel* ALevel, bool ARecalculate)
{
    for (int i = 0; i < ALevel->VisibleCount(); ++i) {
        TvlGridLevel* child = ALevel->VisibleItems(i);
        if (child->GridView() != nullptr)
            child->GridView()->RefreshTree(ARecalculate);
        refreshLevelViews(child, ARecalculate);
    }
}

}  // namespace

void TvlCustomGrid::RefreshViews(bool ARecalculate)
{
    if (IsDestroying())
        return;
    if (ARecalculate)
        LayoutChanged();
    else
        Invalidate();
    if (TvlCustomGridView* view = ActiveView()) {
        view->RefreshTree(ARecalculate);
        refreshLevelViews(FActiveLevel, ARecalculate);
    }
}

// ---- focus and activation ---------------------------------------------------------------------------------

void TvlCustomGrid::SetActiveLevel(TvlGridLevel* Value)
{
    if (Value == FActiveLevel && Value != nullptr)
        return;
    if (Value == nullptr) {
        if (!IsDestroying())
            for (int i = 0; i < FRootLevel->VisibleCount() && Value == nullptr; ++i)
                Value = FRootLevel->VisibleItems(i);
        if (Value == FActiveLevel)
            return;
    } else if (!Value->Visible()) {
        return;
    }
    FActiveLevel = Value;
    SizeChanged();
    if (!IsLoading() && FActiveLevel != nullptr)
        ActiveTabChanged(FActiveLevel);
    SetFocusedView(FActiveLevel != nullptr ? FActiveLevel->GridView() : nullptr);
}

TvlCustomGridView* TvlCustomGrid::replacementFocusedView() const
{
    for (TvlCustomGridView* master = FFocusedView != nullptr ? FFocusedView->MasterGridView() : nullptr; master != nullptr;
         master = master->MasterGridView())
        if (!master->IsDestroying())
            return master;
    for (int i = 0; i < FRootLevel->Count(); ++i) {
        TvlCustomGridView* view = FRootLevel->Items(i)->GridView();
        if (view != nullptr && !view->IsDestroying())
            return view;
    }
    return nullptr;
}

void TvlCustomGrid::SetFocusedView(TvlCustomGridView* Value)
{
    if (Value != nullptr && !Value->CanFocus())
        return;
    if (Value == FFocusedView)
        return;
    TvlCustomGridView* previous = FFocusedView;
    if (!IsDestroying() && !ComponentState().Contains(csDesigning)) {
        const bool activeHasView = FActiveLevel != nullptr && FActiveLevel->GridView() != nullptr;
        if ((Value == nullptr && activeHasView) || (Value != nullptr && Value->IsDestroying())) {
            Value = replacementFocusedView();
            if (Value != nullptr && (Value == previous || !Value->CanFocus()))
                Value = Value == previous ? previous : nullptr;
            if (Value == previous)
                return;
        }
    }
    FFocusedView = Value;
    if (previous != nullptr && !previous->IsDestroying()) {
        const bool wasFocused = IsFocused();
        try {
            previous->FocusChanged(false);
        } catch (...) {
            FFocusedView = previous;
            throw;
        }
        if (wasFocused && !IsFocused() && CanFocus())
            SetFocus();
    }
    if (FFocusedView != nullptr) {
        FFocusedView->FocusChanged(true);
        if (FFocusedView->Level() != nullptr)
            FFocusedView->Level()->SetActive(true);
    } else if (Focused() && CanFocus()) {
        SetFocus();
    }
    FocusedViewChanged(previous, FFocusedView);
}

void TvlCustomGrid::ValidateFocusedView()
{
    if (FFocusedView == nullptr || FFocusedView->CanFocus())
        return;
    if (TvlCustomGridView* active = ActiveView(); active != nullptr && active->CanFocus())
        SetFocusedView(active);
    else
        SetFocusedView(nullptr);
}

// ---- events and hooks -----------------------------------------------------------------------------------------

void TvlCustomGrid::ActiveTabChanged(TvlGridLevel* ALevel)
{
    if (OnActiveTabChanged)
        OnActiveTabChanged(this, ALevel);
}

void TvlCustomGrid::DoLayoutChanged(TvlCustomGridView* AView)
{
    if (OnLayoutChanged)
        OnLayoutChanged(this, AView);
}

void TvlCustomGrid::FocusedViewChanged(TvlCustomGridView* APrevView, TvlCustomGridView* AView)
{
    if (IsDestroying())
        return;
    if (OnFocusedViewChanged)
        OnFocusedViewChanged(this, APrevView, AView);
}

bool TvlCustomGrid::HidesTabsOfEmptyDetails() const
{
    return RootLevelOptions()->DetailTabsPosition() != dtpNone && !RootLevelOptions()->TabsForEmptyDetails();
}

void TvlCustomGrid::ViewDataChanged(TvlCustomGridView*)
{
    if (HidesTabsOfEmptyDetails())
        LayoutChanged();
}

void TvlCustomGrid::SetSiteFocused(bool AFocused)
{
    if (IsDestroying())
        return;
    if ((AFocused && !FFocused) || (!AFocused && !IsFocused())) {
        FFocused = AFocused;
        FController->FocusChanged();
    }
}

bool TvlCustomGrid::IsFocused() const
{
    if (TvlControl::IsFocused())
        return true;
    // The focus may sit on a control inside the grid (a view's site).
    const TCustomForm* form = GetParentForm(this);
    TWinControl* active = form != nullptr ? form->ActiveControl() : nullptr;
    if (active == nullptr || active == this || !active->Focused())
        return false;
    for (const TControl* c = active->Parent(); c != nullptr; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

void TvlCustomGrid::Loaded()
{
    TvlControl::Loaded();
    BeginUpdate();
    try {
        LayoutChanged();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::vector<TvlGridLevel*> TvlCustomGrid::NamedLevels() const
{
    std::vector<TvlGridLevel*> result;
    std::vector<TvlGridLevel*> stack;
    for (int i = FRootLevel->Count() - 1; i >= 0; --i)
        stack.push_back(FRootLevel->Items(i));
    while (!stack.empty()) {
        TvlGridLevel* level = stack.back();
        stack.pop_back();
        if (!level->Name().isEmpty())
            result.push_back(level);
        for (int i = level->Count() - 1; i >= 0; --i)
            stack.push_back(level->Items(i));
    }
    return result;
}

void TvlCustomGrid::SetName(const String& NewName)
{
    const String oldName = Name();
    TvlControl::SetName(NewName);
    if (oldName == Name() || oldName.isEmpty())
        return;
    RenameSubComponents(
        this, Owner(), Name(), [](TComponent* AGrid, int AIndex) -> TComponent* { return static_cast<TvlCustomGrid*>(AGrid)->Views(AIndex); },
        ViewCount(), oldName);
    const std::vector<TvlGridLevel*> levels = NamedLevels();
    RenameSubComponents(
        this, Owner(), Name(), [&levels](TComponent*, int AIndex) -> TComponent* { return levels.at(size_t(AIndex)); },
        int(levels.size()), oldName);
}

void TvlCustomGrid::Paint()
{
    TvlControl::Paint();
    if (FPainter != nullptr)
        FPainter->Paint();
}

void TvlCustomGrid::BoundsChanged(bool Moved, bool Resized)
{
    if (FViewInfo != nullptr && !FViewInfo->IsCalculating())
        SizeChanged();
    TvlControl::BoundsChanged(Moved, Resized);
}

void TvlCustomGrid::LookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues)
{
    TvlControl::LookAndFeelChanged(Sender, AChangedValues);
    for (TvlCustomGridView* view : std::vector<TvlCustomGridView*>(FViews))
        view->LookAndFeelChanged();
    SizeChanged();
}

void TvlCustomGrid::FocusChanged()
{
    TvlControl::FocusChanged();
    if (!IsDestroying() && Focused() && FFocusedView != nullptr)
        FFocusedView->FocusChanged(true);
}

void TvlCustomGrid::FocusNextControl(bool GoForward)
{
    TCustomForm* form = GetParentForm(this);
    if (form == nullptr)
        return;
    bool containsFocus = Focused();
    for (const TControl* c = form->ActiveControl(); c != nullptr && !containsFocus; c = c->Parent())
        containsFocus = c == this;
    if (containsFocus)
        PostMessage(form->Handle(), WM_NEXTDLGCTL, GoForward ? 0 : 1, 0);
}

void TvlCustomGrid::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TvlControl::DragOver(Source, X, Y, State, Accept);
    if (FController != nullptr)
        FController->DragOver(Source, X, Y, State, Accept);
}

void TvlCustomGrid::DoStartDrag(TDragObject*& DragObject)
{
    TvlControl::DoStartDrag(DragObject);
    if (FController != nullptr)
        FController->StartDrag(DragObject);
}

void TvlCustomGrid::DoEndDrag(TObject* Target, int X, int Y)
{
    if (FController != nullptr)
        FController->EndDrag(Target, X, Y);
    TvlControl::DoEndDrag(Target, X, Y);
}

void TvlCustomGrid::CancelMouseOperations()
{
    TvlControl::CancelMouseOperations();
    if (FController != nullptr)
        FController->CancelMouseOperations();
}

void TvlCustomGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlControl::Notification(AComponent, Operation);
    if (Operation == opRemove && FLevelTabs != nullptr && AComponent == FLevelTabs->FImages) {
        FLevelTabs->FImages = nullptr;
        FLevelTabs->changed();
    }
}
