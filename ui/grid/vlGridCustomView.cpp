#include "ui/grid/vlGridCustomView.h"

#include <algorithm>
#include <cassert>

#include "platform/rtl/Startup.h"
#include "ui/data/vlData.h"
#include "ui/grid/vlGrid.h"
#include "ui/grid/vlGridLevel.h"

namespace {

std::unique_ptr<TvlGridRegisteredViews>& registeredViews()
{
    static std::unique_ptr<TvlGridRegisteredViews> views;
    return views;
}

bool startsWithDB(const String& S) { return S.startsWith(QLatin1String("DB")); }

}  // namespace

// ---- handlers ------------------------------------------------------------------------------

TvlGridViewHandler::TvlGridViewHandler(TvlCustomGridView* AGridView) : TvlInterfacedPersistent(nullptr), FGridView(AGridView) {}

TvlCustomGrid* TvlGridViewHandler::Control() const { return FGridView->Control(); }
TvlCustomDataController* TvlGridViewHandler::DataController() const { return FGridView->DataController(); }
TvlLookAndFeelPainterClass TvlGridViewHandler::LookAndFeelPainter() const { return FGridView->GetLookAndFeelPainter(); }
void TvlGridViewHandler::BeginUpdate() { FGridView->BeginUpdate(); }
void TvlGridViewHandler::EndUpdate() { FGridView->EndUpdate(); }

void TvlCustomGridController::ControlFocusChanged()
{
    GridView()->Changed(std::make_unique<TvlGridControlFocusChange>(GridView()));
}

// ---- options -------------------------------------------------------------------------------

TvlCustomGridOptions::TvlCustomGridOptions(TvlCustomGridView* AGridView) : TvlInterfacedPersistent(nullptr), FGridView(AGridView)
{
    FGridView->AddOptions(this);
}

TvlCustomGridOptions::~TvlCustomGridOptions() { FGridView->RemoveOptions(this); }

void TvlCustomGridOptions::Changed(TvlViewChangeKind AChangeKind) { FGridView->Changed(AChangeKind); }

TvlLookAndFeelPainterClass TvlCustomGridOptions::GetLookAndFeelPainter() const { return FGridView->GetLookAndFeelPainter(); }

void TvlCustomGridOptions::Assign(const TPersistent* Source)
{
    if (dynamic_cast<const TvlCustomGridOptions*>(Source) != nullptr)
        return;
    TvlInterfacedPersistent::Assign(Source);
}

bool TvlCustomGridOptionsBehavior::PostponedSynchronization() const
{
    if (TvlCustomGridView* pattern = GridView()->PatternGridView())
        return pattern->OptionsBehavior()->PostponedSynchronization();
    return FPostponedSynchronization;
}

void TvlCustomGridOptionsBehavior::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridOptionsBehavior*>(Source))
        FPostponedSynchronization = source->PostponedSynchronization();
    TvlCustomGridOptions::Assign(Source);
}

TScrollStyle TvlCustomGridOptionsView::ScrollBars() const { return GridView()->SiteScrollBars(); }

void TvlCustomGridOptionsView::SetScrollBars(TScrollStyle Value)
{
    if (Value == ScrollBars())
        return;
    GridView()->SetSiteScrollBars(Value);
    Changed(vckLayout);
}

void TvlCustomGridOptionsView::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomGridOptionsView*>(Source))
        SetScrollBars(source->ScrollBars());
    TvlCustomGridOptions::Assign(Source);
}

TvlCustomGridBackgroundBitmaps::~TvlCustomGridBackgroundBitmaps()
{
    for (auto& bitmap : FBitmaps)
        if (bitmap != nullptr)
            bitmap->OnChange = nullptr;
}

TBitmap* TvlCustomGridBackgroundBitmaps::GetByIndex(int Index)
{
    if (Index < 0)
        return nullptr;
    if (size_t(Index) >= FBitmaps.size())
        FBitmaps.resize(size_t(Index) + 1);
    auto& bitmap = FBitmaps[size_t(Index)];
    if (bitmap == nullptr) {
        bitmap = std::make_unique<TBitmap>();
        bitmap->OnChange = TNotifyEvent(this, &TvlCustomGridBackgroundBitmaps::bitmapChanged);
    }
    return bitmap.get();
}

void TvlCustomGridBackgroundBitmaps::SetByIndex(int Index, const TBitmap* Value)
{
    if (TBitmap* bitmap = GetByIndex(Index))
        bitmap->Assign(Value);
}

void TvlCustomGridBackgroundBitmaps::bitmapChanged(TObject*) { Changed(vckLayout); }

const TBitmap* TvlCustomGridBackgroundBitmaps::GetStyleBitmap(int Index) const
{
    const int styleIndex = GetBitmapStyleIndex(Index);
    return styleIndex < 0 ? nullptr : GridView()->Styles()->BackgroundBitmap(styleIndex);
}

const TBitmap* TvlCustomGridBackgroundBitmaps::GetBitmap(int Index)
{
    const TBitmap* own = GetByIndex(Index);
    return own != nullptr && !own->Empty() ? own : GetStyleBitmap(Index);
}

void TvlCustomGridBackgroundBitmaps::Assign(const TPersistent* Source)
{
    if (auto* source = dynamic_cast<const TvlCustomGridBackgroundBitmaps*>(Source)) {
        const TBitmap* background = size_t(0) < source->FBitmaps.size() ? source->FBitmaps[0].get() : nullptr;
        if (background != nullptr)
            SetBackground(background);
        else if (!FBitmaps.empty() && FBitmaps[0] != nullptr && !FBitmaps[0]->Empty()) {
            const TBitmap empty;
            SetBackground(&empty);
        }
    }
    TvlCustomGridOptions::Assign(Source);
}

// ---- styles --------------------------------------------------------------------------------

void TvlCustomGridStyles::ValueChanged(int Index)
{
    TvlStyles::ValueChanged(Index);
    if (TvlCustomGridView* view = GetGridView())
        view->Changed(vckSize);
}

void TvlCustomGridStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    TvlStyles::DefaultViewParams(Index, AData, AParams);
    TvlCustomGridView* view = GetGridView();
    if (view == nullptr)
        return;
    if (view->Control() != nullptr)
        AParams.Font = view->Control()->Font();
    else if (view->Painter() != nullptr)
        AParams.Font = view->Painter()->CanvasFont();
}

std::vector<TComponent*> TvlCustomGridStyles::GetFakeComponentLinks() const
{
    std::vector<TComponent*> result;
    const TvlCustomGridView* view = GetGridView();
    const TComponent* viewOwner = view != nullptr ? view->Owner() : nullptr;
    for (int i = 0; i < ItemCount(); ++i) {
        TComponent* owner = Items(i)->Style->Owner();
        if (owner != nullptr && owner != viewOwner && std::find(result.begin(), result.end(), owner) == result.end())
            result.push_back(owner);
    }
    return result;
}

TvlCustomGridView* TvlCustomGridViewStyles::GetGridView() const
{
    return dynamic_cast<TvlCustomGridView*>(GetOwner());
}

void TvlCustomGridViewStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    TvlCustomGridStyles::DefaultViewParams(Index, AData, AParams);
    if (Index == vsBackground) {
        TvlCustomGridView* view = GetGridView();
        AParams.Color = view != nullptr ? view->GetLookAndFeelPainter()->DefaultContentColor() : clWindow;
        AParams.TextColor = clGrayText;
    }
}

void TvlCustomGridViewStyles::Assign(const TPersistent* Source)
{
    TvlCustomGridStyles::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlCustomGridViewStyles*>(Source))
        SetBackground(source->Background());
}

// ---- listener links ------------------------------------------------------------------------

TvlGridListenerLink::~TvlGridListenerLink()
{
    if (FGridView != nullptr)
        FGridView->FListenerLinks.erase(std::remove(FGridView->FListenerLinks.begin(), FGridView->FListenerLinks.end(), this),
                                        FGridView->FListenerLinks.end());
}

// ---- the view --------------------------------------------------------------------------------

TvlCustomGridView::TvlCustomGridView(TComponent* AOwner) : TvlControlChildComponent(AOwner) {}

TvlCustomGridView::~TvlCustomGridView()
{
    Destroying();
    if (FInitialized) {
        SetFocused(false);
        if (FPatternGridView != nullptr)
            FPatternGridView->RemoveClone(this);
        for (TvlCustomGridView* clone : std::vector<TvlCustomGridView*>(FClones))
            clone->FPatternGridView = nullptr;
        if (FLevel != nullptr && FLevel->GridView() == this)
            FLevel->SetGridView(nullptr);
    }
    // Leave the grid while still a view, so that its list forgets this one.
    SetControl(nullptr);
    if (FInitialized) {
        DestroyHandlers();
        DestroyOptions();
    }
    for (TvlGridListenerLink* link : FListenerLinks)
        link->FGridView = nullptr;
    FListenerLinks.clear();
}

void TvlCustomGridView::Initialize()
{
    if (FInitialized)
        return;
    FSynchronization = true;
    CreateOptions();
    CreateHandlers();
    FInitialized = true;
}

void TvlCustomGridView::CreateOptions()
{
    FBackgroundBitmaps = vlGridDowncast<TvlCustomGridBackgroundBitmaps>(GetBackgroundBitmapsClass()(this));
    FOptionsBehavior = vlGridDowncast<TvlCustomGridOptionsBehavior>(GetOptionsBehaviorClass()(this));
    FOptionsData = vlGridDowncast<TvlCustomGridOptionsData>(GetOptionsDataClass()(this));
    FOptionsSelection = vlGridDowncast<TvlCustomGridOptionsSelection>(GetOptionsSelectionClass()(this));
    FOptionsView = vlGridDowncast<TvlCustomGridOptionsView>(GetOptionsViewClass()(this));
    FStyles = GetStylesClass()(this);
}

void TvlCustomGridView::DestroyOptions()
{
    if (Control() != nullptr && FStyles != nullptr)
        Control()->RemoveFontListener(FStyles.get());
    FStyles.reset();
    FOptionsView.reset();
    FOptionsSelection.reset();
    FOptionsData.reset();
    FOptionsBehavior.reset();
    FBackgroundBitmaps.reset();
    FOptionsList.clear();
}

void TvlCustomGridView::CreateHandlers()
{
    FController = GetControllerClass()(this);
    FDataController = GetDataControllerClass()(this);
    ConnectDataController();
    FPainter = GetPainterClass()(this);
    FViewData = GetViewDataClass()(this);
    FViewInfo = GetViewInfoClass()(this);
    FViewInfo->AfterConstruction();
    if (TViewInfoCacheClass cacheClass = GetViewInfoCacheClass())
        FViewInfoCache = cacheClass(this);
}

void TvlCustomGridView::DestroyHandlers()
{
    FDataController.reset();
    if (FViewInfo != nullptr)
        FViewInfo->BeforeDestruction();
    FViewInfo.reset();
    FViewInfoCache.reset();
    FViewData.reset();
    FPainter.reset();
    FController.reset();
}

TvlCustomGridView::TControllerClass TvlCustomGridView::GetControllerClass() const
{
    return &vlGridCreate<TvlCustomGridController, TvlCustomGridController, TvlCustomGridView*>;
}

TvlCustomGridView::TDataControllerClass TvlCustomGridView::GetDataControllerClass() const
{
    return &vlGridCreate<TvlDataController, TvlCustomDataController, IvlDataControllerOwner*>;
}

TvlCustomGridView::TPainterClass TvlCustomGridView::GetPainterClass() const
{
    return &vlGridCreate<TvlCustomGridPainter, TvlCustomGridPainter, TvlCustomGridView*>;
}

TvlCustomGridView::TViewDataClass TvlCustomGridView::GetViewDataClass() const
{
    return &vlGridCreate<TvlCustomGridViewData, TvlCustomGridViewData, TvlCustomGridView*>;
}

TvlCustomGridView::TViewInfoClass TvlCustomGridView::GetViewInfoClass() const
{
    return &vlGridCreate<TvlCustomGridViewInfo, TvlCustomGridViewInfo, TvlCustomGridView*>;
}

TvlCustomGridView::TBackgroundBitmapsClass TvlCustomGridView::GetBackgroundBitmapsClass() const
{
    return &vlGridCreate<TvlCustomGridBackgroundBitmaps, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridView::GetOptionsBehaviorClass() const
{
    return &vlGridCreate<TvlCustomGridOptionsBehavior, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridView::GetOptionsDataClass() const
{
    return &vlGridCreate<TvlCustomGridOptionsData, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridView::GetOptionsSelectionClass() const
{
    return &vlGridCreate<TvlCustomGridOptionsSelection, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TOptionsClass TvlCustomGridView::GetOptionsViewClass() const
{
    return &vlGridCreate<TvlCustomGridOptionsView, TvlCustomGridOptions, TvlCustomGridView*>;
}

TvlCustomGridView::TStylesClass TvlCustomGridView::GetStylesClass() const
{
    return &vlGridCreate<TvlCustomGridViewStyles, TvlCustomGridViewStyles, TPersistent*>;
}

void TvlCustomGridView::AddOptions(TvlCustomGridOptions* AOptions) { FOptionsList.push_back(AOptions); }

void TvlCustomGridView::RemoveOptions(TvlCustomGridOptions* AOptions)
{
    FOptionsList.erase(std::remove(FOptionsList.begin(), FOptionsList.end(), AOptions), FOptionsList.end());
}

void TvlCustomGridView::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlControlChildComponent::Notification(AComponent, Operation);
    for (TvlCustomGridOptions* options : std::vector<TvlCustomGridOptions*>(FOptionsList))
        options->Notification(AComponent, Operation);
}

TvlCustomGrid* TvlCustomGridView::Control() const
{
    return static_cast<TvlCustomGrid*>(TvlControlChildComponent::Control());
}

void TvlCustomGridView::SetControl(TvlControl* Value)
{
    // A view shows only inside a grid.
    auto* grid = dynamic_cast<TvlCustomGrid*>(Value);
    if (grid == Control() || (Value != nullptr && grid == nullptr))
        return;
    TvlCustomGrid* old = Control();
    if (old != nullptr && FStyles != nullptr)
        old->RemoveFontListener(FStyles.get());
    TvlControlChildComponent::SetControl(grid);
    if (grid != nullptr) {
        if (FStorageControl == nullptr)
            FStorageControl = grid;
        if (FStyles != nullptr)
            grid->AddFontListener(FStyles.get());
    }
    // The grids keep their view lists; attaching through a grid's
    // AddChildComponent arrives here as well.
    if (old != nullptr)
        old->RemoveChildComponent(this);
    if (grid != nullptr)
        grid->AddChildComponent(this);
}

void TvlCustomGridView::SetLevel(TvlGridLevel* Value)
{
    if (FLevel == Value)
        return;
    if (FLevel != nullptr && FController != nullptr)
        FController->VisibilityChanged(false);
    FLevel = Value;
}

void TvlCustomGridView::AddClone(TvlCustomGridView* AClone)
{
    FClones.push_back(AClone);
    AClone->FPatternGridView = this;
}

void TvlCustomGridView::RemoveClone(TvlCustomGridView* AClone)
{
    FClones.erase(std::remove(FClones.begin(), FClones.end(), AClone), FClones.end());
    if (AClone->FPatternGridView == this)
        AClone->FPatternGridView = nullptr;
}

bool TvlCustomGridView::IsPattern() const { return FDataController != nullptr && FDataController->IsPattern(); }

bool TvlCustomGridView::Synchronization() const
{
    return FPatternGridView != nullptr ? FPatternGridView->Synchronization() : FSynchronization;
}

void TvlCustomGridView::SetSynchronization(bool Value)
{
    if (!IsPattern() || FSynchronization == Value)
        return;
    FSynchronization = Value;
    if (Value)
        synchronizeClones(true);
    else
        FSynchronizationNeeded = false;
}

bool TvlCustomGridView::canSynchronize() const { return Synchronization() || ComponentState().Contains(csDesigning); }

void TvlCustomGridView::synchronizeClones(bool APostpone)
{
    if (IsLoading() || IsDestroying() || Control() == nullptr || !canSynchronize() || FAssigningPattern || FSynchronizing)
        return;
    if (APostpone && IsUpdateLocked()) {
        FSynchronizationNeeded = true;
        return;
    }
    FSynchronizing = true;
    try {
        if (FPatternGridView == nullptr) {
            BeginUpdate();
            try {
                for (TvlCustomGridView* clone : std::vector<TvlCustomGridView*>(FClones))
                    clone->AssignPattern(this);
            } catch (...) {
                EndUpdate();
                throw;
            }
            EndUpdate();
        } else {
            FPatternGridView->AssignPattern(this);
            FPatternGridView->FSynchronizing = false;
            FPatternGridView->synchronizeClones(false);
        }
    } catch (...) {
        FSynchronizing = false;
        FSynchronizationNeeded = false;
        throw;
    }
    FSynchronizing = false;
    FSynchronizationNeeded = false;
}

// ---- update lock -----------------------------------------------------------------------------

void TvlCustomGridView::BeginUpdate()
{
    if (Control() != nullptr)
        Control()->BeginUpdate();
    ++FLockCount;
    if (FDataController != nullptr)
        FDataController->BeginUpdate();
}

void TvlCustomGridView::EndUpdate()
{
    // An EndUpdate without its BeginUpdate must not reach the data
    // controller, whose count would go below its balance and hold every
    // later notification back.
    const bool wasLocked = FLockCount > 0;
    try {
        if (wasLocked && FDataController != nullptr)
            FDataController->EndUpdate();
        if (wasLocked) {
            if (FLockCount == 1 && FSynchronizationNeeded)
                synchronizeClones(false);
            --FLockCount;
            if (FLockCount == 0)
                UpdateUnlocked();
        }
    } catch (...) {
        if (wasLocked && Control() != nullptr)
            Control()->EndUpdate();
        throw;
    }
    if (wasLocked && Control() != nullptr)
        Control()->EndUpdate();
}

void TvlCustomGridView::CancelUpdate()
{
    if (FLockCount <= 0)
        return;
    if (FDataController != nullptr)
        FDataController->EndUpdate();
    --FLockCount;
    if (FLockCount == 0)
        FSynchronizationNeeded = false;
    if (Control() != nullptr)
        Control()->CancelUpdate();
}

void TvlCustomGridView::UpdateUnlocked()
{
    if (FOptionsChangedPending) {
        FOptionsChangedPending = false;
        if (FController != nullptr)
            FController->RefreshCustomizationForm();
    }
    if (FCustomizationFormItemsPending) {
        FCustomizationFormItemsPending = false;
        if (FController != nullptr)
            FController->RefreshCustomizationFormItems();
    }
}

// ---- change posting ----------------------------------------------------------------------------

bool TvlCustomGridView::Changed(std::unique_ptr<TvlCustomGridChange> AChange)
{
    if (IsLoading() || IsDestroying() || FViewInfo == nullptr || FViewInfo->IsCalculating())
        return false;
    if (Control() != nullptr)
        Control()->AddChange(std::move(AChange));
    else
        AChange->Execute();
    return true;
}

void TvlCustomGridView::Changed(TvlViewChangeKind AChangeKind)
{
    if (FDataController != nullptr && FDataController->IsDataFrozen())
        return;
    BeginUpdate();
    try {
        if (AChangeKind == vckLayout)
            LayoutChanged(true);
        else if (AChangeKind == vckSize)
            SizeChanged();
        synchronizeClones(true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    NotifyController(AChangeKind);
}

void TvlCustomGridView::LayoutChanged(bool AViewOnly)
{
    Changed(std::make_unique<TvlGridLayoutChange>(AViewOnly ? this : nullptr));
}

void TvlCustomGridView::PostSizeChange(bool AUpdateGridViewOnly, bool AKeepMaster)
{
    Changed(std::make_unique<TvlGridSizeChange>(this, AUpdateGridViewOnly || Control() == nullptr, AKeepMaster));
}

void TvlCustomGridView::Invalidate() { Changed(std::make_unique<TvlGridViewChange>(this)); }

void TvlCustomGridView::InvalidateRect(const TRect& R)
{
    if (!R.IsEmpty())
        Changed(std::make_unique<TvlGridViewChange>(this, R));
}

void TvlCustomGridView::ContentChanged(bool AUpdateGridViewOnly, bool AKeepMaster)
{
    if (DependsOnWidth())
        PostSizeChange(AUpdateGridViewOnly, AKeepMaster);
    else
        LayoutChanged(AUpdateGridViewOnly);
}

void TvlCustomGridView::NotifyController(TvlViewChangeKind)
{
    if (IsUpdateLocked())
        FOptionsChangedPending = true;
    else if (FController != nullptr)
        FController->RefreshCustomizationForm();
}

void TvlCustomGridView::RefreshCustomizationFormItems()
{
    if (IsUpdateLocked())
        FCustomizationFormItemsPending = true;
    else if (FController != nullptr)
        FController->RefreshCustomizationFormItems();
}

void TvlCustomGridView::RefreshTree(bool ARecalculate)
{
    if (IsPattern()) {
        for (TvlCustomGridView* clone : std::vector<TvlCustomGridView*>(FClones))
            clone->RefreshTree(ARecalculate);
    } else if (ARecalculate) {
        LayoutChanged(true);
    } else {
        Invalidate();
    }
}

// ---- focus and visibility ------------------------------------------------------------------------

bool TvlCustomGridView::IsFocused() const { return Control() != nullptr && Control()->FocusedView() == this; }

void TvlCustomGridView::SetFocused(bool Value)
{
    if (Value == IsFocused() || Control() == nullptr)
        return;
    Control()->SetFocusedView(Value ? this : nullptr);
}

void TvlCustomGridView::FocusChanged(bool AFocused)
{
    if (FController == nullptr)
        return;
    if (AFocused)
        FController->SetFocus();
    else
        FController->RemoveFocus();
}

TvlCustomGridView* TvlCustomGridView::MasterGridView() const
{
    if (FDataController == nullptr)
        return nullptr;
    TvlCustomDataController* master = FDataController->GetMasterDataController();
    return master != nullptr ? dynamic_cast<TvlCustomGridView*>(master->Owner()) : nullptr;
}

bool TvlCustomGridView::IsMasterOf(const TvlCustomGridView* AView) const
{
    for (const TvlCustomGridView* v = AView != nullptr ? AView->MasterGridView() : nullptr; v != nullptr; v = v->MasterGridView())
        if (v == this)
            return true;
    return false;
}

int TvlCustomGridView::MasterRecordIndex() const
{
    return FDataController != nullptr && IsDetail() ? FDataController->GetMasterRecordIndex() : -1;
}

bool TvlCustomGridView::CalculateVisible(bool ALevelShown) const
{
    if (!ALevelShown || IsPattern())
        return false;
    const TvlCustomGridView* master = MasterGridView();
    if (master == nullptr)
        return true;
    return master->IsVisible() && master->IsDetailVisible(this);
}

bool TvlCustomGridView::CanFocus() const { return CalculateVisible(FLevel != nullptr && FLevel->IsVisibleChain()); }

bool TvlCustomGridView::IsVisible() const { return !IsDestroying() && CalculateVisible(FLevel != nullptr && FLevel->IsShown()); }

bool TvlCustomGridView::CanCalculate() const { return (IsVisible() || IsPattern()) && Control() != nullptr; }

bool TvlCustomGridView::IsControlFocused() const { return Control() != nullptr && Control()->IsFocused(); }

bool TvlCustomGridView::CanTabStop() const { return Control() != nullptr && Control()->TabStop(); }

void TvlCustomGridView::SetSiteTabStop(bool Value)
{
    if (FViewInfo != nullptr && FViewInfo->Site() != nullptr)
        FViewInfo->Site()->SetTabStop(Value && CanTabStop());
}

bool TvlCustomGridView::IsDestroying() const
{
    if (TvlControlChildComponent::IsDestroying())
        return true;
    const TvlCustomGridView* master = MasterGridView();
    return master != nullptr && master->IsDestroying();
}

void TvlCustomGridView::LookAndFeelChanged()
{
    for (TvlCustomGridView* clone : std::vector<TvlCustomGridView*>(FClones))
        clone->LookAndFeelChanged();
}

TvlLookAndFeelPainterClass TvlCustomGridView::GetLookAndFeelPainter() const
{
    if (Control() != nullptr && Control()->LookAndFeelPainter() != nullptr)
        return Control()->LookAndFeelPainter();
    return TvlStandardLookAndFeelPainter::Instance();
}

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridView::GetHitTest(const TPoint& P) const
{
    return FViewInfo != nullptr ? FViewInfo->GetHitTest(P) : vlGridHitTest<TvlGridNoneHitTest>(P);
}

TRect TvlCustomGridView::GetSiteBounds() const { return FViewInfo != nullptr ? FViewInfo->GetSiteBounds() : TRect(); }

// ---- data ----------------------------------------------------------------------------------------

void TvlCustomGridView::DataChanged(TvlUpdateControlInfo* AInfo)
{
    if (IsLoading() || IsDestroying() || IsPattern() || dynamic_cast<TvlDataChangedInfo*>(AInfo) == nullptr)
        return;
    if (TvlCustomGridView* master = MasterGridView()) {
        if (master->IsUpdateLocked() || master->DataController()->GetUpdateLockCount() != 0)
            return;
        if (FPatternGridView != nullptr &&
            std::find(FPatternGridView->FClones.begin(), FPatternGridView->FClones.end(), this) != FPatternGridView->FClones.end())
            master->DetailDataChanged(this);
        return;
    }
    if (Control() != nullptr)
        Control()->ViewDataChanged(this);
}

// ---- assignment, loading, links --------------------------------------------------------------------

void TvlCustomGridView::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TvlCustomGridView*>(Source);
    if (source == nullptr) {
        TvlControlChildComponent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        BeforeAssign(source);
        DoAssign(source);
        AfterAssign(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TvlCustomGridView::BeforeAssign(const TvlCustomGridView* Source)
{
    if (FDataController != nullptr && Source->FDataController != nullptr)
        FDataController->Assign(Source->FDataController.get());
}

void TvlCustomGridView::AfterAssign(const TvlCustomGridView* Source) { BeforeAssign(Source); }

void TvlCustomGridView::DoAssign(const TvlCustomGridView* Source)
{
    FBackgroundBitmaps->Assign(Source->FBackgroundBitmaps.get());
    FOptionsBehavior->Assign(Source->FOptionsBehavior.get());
    FOptionsData->Assign(Source->FOptionsData.get());
    FOptionsSelection->Assign(Source->FOptionsSelection.get());
    FOptionsView->Assign(Source->FOptionsView.get());
    FStyles->Assign(Source->FStyles.get());
    FSynchronization = Source->FSynchronization;
    OnCustomization = Source->OnCustomization;
    RefreshState();
}

void TvlCustomGridView::AssignPattern(const TvlCustomGridView* Source)
{
    const bool was = FAssigningPattern;
    FAssigningPattern = true;
    try {
        Assign(Source);
    } catch (...) {
        FAssigningPattern = was;
        throw;
    }
    FAssigningPattern = was;
}

void TvlCustomGridView::Loaded()
{
    TvlControlChildComponent::Loaded();
    SizeChanged();
    if (FDataController != nullptr)
        FDataController->Loaded();
    RefreshState();
}

std::unique_ptr<TvlGridListenerLink> TvlCustomGridView::AddListenerLink()
{
    auto link = std::make_unique<TvlGridListenerLink>(this);
    FListenerLinks.push_back(link.get());
    return link;
}

// ---- the registry of view classes --------------------------------------------------------------------

int TvlGridRegisteredViews::CompareItems(int AIndex1, int AIndex2) const
{
    const bool db1 = startsWithDB(GetDescription(AIndex1));
    const bool db2 = startsWithDB(GetDescription(AIndex2));
    if (db1 != db2)
        return db1 ? 1 : -1;
    return TvlRegisteredClasses::CompareItems(AIndex1, AIndex2);
}

TvlGridRegisteredViews* GridRegisteredViews() { return registeredViews().get(); }

void AddvlGridCustomViewUnit(TStartupList& AList)
{
    AList.Add(
        String::fromLatin1("vlGridCustomView"), [] { registeredViews() = std::make_unique<TvlGridRegisteredViews>(); },
        [] { registeredViews().reset(); });
}
