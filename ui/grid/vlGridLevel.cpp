#include "ui/grid/vlGridLevel.h"

#include <algorithm>
#include <limits>

#include "ui/grid/vlGrid.h"

// ---- options ----------------------------------------------------------------------------

void TvlGridLevelOptions::SetDetailFrameColor(TColor Value)
{
    if (FDetailFrameColor == Value)
        return;
    FDetailFrameColor = Value;
    FLevel->Changed(false);
}

TColor TvlGridLevelOptions::GetDetailFrameColor() const
{
    // The painters' default frame colour is the button text colour.
    return FDetailFrameColor != clDefault ? FDetailFrameColor : clBtnText;
}

void TvlGridLevelOptions::SetDetailFrameWidth(int Value)
{
    Value = std::max(0, Value);
    if (FDetailFrameWidth == Value)
        return;
    FDetailFrameWidth = Value;
    FLevel->Changed(true);
}

void TvlGridLevelOptions::SetDetailTabsPosition(TvlGridDetailTabsPosition Value)
{
    if (FDetailTabsPosition == Value)
        return;
    FDetailTabsPosition = Value;
    FLevel->Changed(true);
}

void TvlGridLevelOptions::SetTabsForEmptyDetails(bool Value)
{
    if (FTabsForEmptyDetails == Value)
        return;
    FTabsForEmptyDetails = Value;
    FLevel->Changed(true);
}

void TvlGridLevelOptions::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlGridLevelOptions*>(Source)) {
        SetDetailFrameColor(source->FDetailFrameColor);
        SetDetailFrameWidth(source->FDetailFrameWidth);
        SetDetailTabsPosition(source->FDetailTabsPosition);
        SetTabsForEmptyDetails(source->FTabsForEmptyDetails);
        return;
    }
    TPersistent::Assign(Source);
}

// ---- tab styles ----------------------------------------------------------------------------

TvlGridLevelStyles::TvlGridLevelStyles(TvlGridLevel* ALevel) : TvlStyles(nullptr), FLevel(ALevel) {}

void TvlGridLevelStyles::ValueChanged(int Index)
{
    TvlStyles::ValueChanged(Index);
    FLevel->Changed(true);
}

void TvlGridLevelStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    TvlStyles::DefaultViewParams(Index, AData, AParams);
    TvlCustomGrid* grid = FLevel->Control();
    if (grid != nullptr)
        AParams.Font = grid->Font();
    TvlLookAndFeelPainterClass painter =
        grid != nullptr && grid->LookAndFeelPainter() != nullptr ? grid->LookAndFeelPainter() : TvlStandardLookAndFeelPainter::Instance();
    if (Index == lsTab) {
        AParams.Color = clBtnFace;
        AParams.TextColor = painter->DefaultTabTextColor();
    } else if (Index == lsTabsBackground) {
        AParams.Color = clDefault;  // the painter draws its own background
    }
}

void TvlGridLevelStyles::GetOwnTabStyle(TvlCustomGridRecord* AMasterRecord, TvlCustomStyle*& AStyle)
{
    if (OnGetOwnTabStyle)
        OnGetOwnTabStyle(FLevel, AMasterRecord, AStyle);
}

void TvlGridLevelStyles::GetTabParams(TvlCustomGridRecord* AMasterRecord, TvlGridLevel* ATabLevel, TvlViewParams& AParams)
{
    TvlCustomStyle* style = nullptr;
    if (OnGetTabStyle)
        OnGetTabStyle(FLevel, ATabLevel, style);
    ATabLevel->Styles()->GetOwnTabStyle(AMasterRecord, style);
    ResolveViewParams(lsTab, nullptr, style, AParams);
}

void TvlGridLevelStyles::GetDefaultTabParams(TvlViewParams& AParams) { DefaultViewParams(lsTab, nullptr, AParams); }

void TvlGridLevelStyles::Assign(const TPersistent* Source)
{
    TvlStyles::Assign(Source);
    if (const auto* source = dynamic_cast<const TvlGridLevelStyles*>(Source)) {
        SetTab(source->Tab());
        SetTabsBackground(source->TabsBackground());
        OnGetOwnTabStyle = source->OnGetOwnTabStyle;
        OnGetTabStyle = source->OnGetTabStyle;
    }
}

// ---- the level ------------------------------------------------------------------------------

TvlGridLevel::TvlGridLevel(TComponent* AOwner) : TvlComponent(AOwner) {}

TvlGridLevel::~TvlGridLevel()
{
    Destroying();
    FDestroyingLevel = true;
    // Children first, last first; each leaves this level as it goes.
    while (!FItems.empty()) {
        TvlGridLevel* child = FItems.back();
        if (child->Owner() != nullptr)
            delete child;  // its owner forgets it
        else {
            RemoveChild(child);
            delete child;  // a level without owner belongs to its parent
        }
    }
    if (FGridView != nullptr)
        SetGridView(nullptr);
    if (FParent != nullptr)
        FParent->RemoveChild(this);
}

void TvlGridLevel::Initialize()
{
    if (FOptions != nullptr)
        return;
    FOptions = GetOptionsClass()(this);
    FStyles = GetStylesClass()(this);
}

TvlGridLevel::TOptionsClass TvlGridLevel::GetOptionsClass() const
{
    return &vlGridCreate<TvlGridLevelOptions, TvlGridLevelOptions, TvlGridLevel*>;
}

TvlGridLevel::TStylesClass TvlGridLevel::GetStylesClass() const
{
    return &vlGridCreate<TvlGridLevelStyles, TvlGridLevelStyles, TvlGridLevel*>;
}

TvlGridLevel::TOptionsClass TvlGridRootLevel::GetOptionsClass() const
{
    return &vlGridCreate<TvlGridRootLevelOptions, TvlGridLevelOptions, TvlGridLevel*>;
}

bool TvlGridLevel::IsRoot() const { return FControl != nullptr && FControl->RootLevel() == this; }
bool TvlGridLevel::IsTop() const { return FParent != nullptr && FParent->IsRoot(); }
bool TvlGridLevel::IsActive() const { return FControl != nullptr && FControl->ActiveLevel() == this; }

bool TvlGridLevel::IsShown() const
{
    if (!FVisible || (IsTop() && !IsActive()))
        return false;
    return FParent == nullptr || FParent->IsShown();
}

bool TvlGridLevel::IsVisibleChain() const { return FVisible && (FParent == nullptr || FParent->IsVisibleChain()); }

int TvlGridLevel::Index() const
{
    if (FParent == nullptr)
        return -1;
    const auto& items = FParent->FItems;
    return int(std::find(items.begin(), items.end(), this) - items.begin());
}

void TvlGridLevel::SetIndex(int Value)
{
    if (FParent != nullptr)
        FParent->MoveChild(this, Value);
}

void TvlGridLevel::refreshVisibleItems()
{
    FVisibleItems.clear();
    for (TvlGridLevel* item : FItems)
        if (item->FVisible)
            FVisibleItems.push_back(item);
}

void TvlGridLevel::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed(true);
}

String TvlGridLevel::GetDisplayCaption() const
{
    String result;
    const qsizetype n = FCaption.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = FCaption[i];
        if (c == u'&') {
            // The character after the marker stays, a doubled marker leaves one.
            if (i + 1 < n) {
                ++i;
                result += FCaption[i];
                if (FCaption[i].isHighSurrogate() && i + 1 < n)
                    result += FCaption[++i];
            }
            continue;
        }
        result += c;
    }
    return result;
}

void TvlGridLevel::SetImageIndex(int Value)
{
    Value = std::max(-1, Value);
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed(true);
}

void TvlGridLevel::SetMaxDetailHeight(int Value)
{
    Value = std::max(0, Value);
    if (FMaxDetailHeight == Value)
        return;
    FMaxDetailHeight = Value;
    Changed(true);
}

void TvlGridLevel::CheckHeight(int& AHeight) const
{
    if (AHeight < 0)
        AHeight = 0;
    if (FMaxDetailHeight != 0 && AHeight > FMaxDetailHeight)
        AHeight = FMaxDetailHeight;
}

void TvlGridLevel::Changed(bool AHard)
{
    if (FControl == nullptr)
        return;
    if (AHard)
        FControl->SizeChanged();
    else
        FControl->LayoutChanged();
}

void TvlGridLevel::createRelation(TvlGridLevel* AChild)
{
    if (FGridView == nullptr || FGridView->DataController() == nullptr)
        return;
    AChild->FDataRelation = FGridView->DataController()->GetRelations()->Add(AChild);
    if (AChild->FGridView != nullptr && AChild->FGridView->DataController() != nullptr)
        AChild->updateMasterMode(AChild->FVisible, AChild->FGridView->DataController()->IsPattern());
}

void TvlGridLevel::freeRelation(TvlGridLevel* AChild)
{
    if (AChild->FDataRelation == nullptr)
        return;
    TvlCustomDataRelation* relation = AChild->FDataRelation;
    AChild->FDataRelation = nullptr;
    if (FGridView != nullptr && FGridView->DataController() != nullptr && FGridView->DataController()->Relations() != nullptr)
        FGridView->DataController()->Relations()->Remove(relation);
}

void TvlGridLevel::updateMasterMode(bool AVisible, bool AIsPattern)
{
    if (FGridView == nullptr || FGridView->DataController() == nullptr)
        return;
    if (AVisible)
        FGridView->DataController()->SetMasterMode(FDataRelation, AIsPattern);
    else
        FGridView->DataController()->SetMasterMode(nullptr, true);
}

void TvlGridLevel::AddChild(TvlGridLevel* ALevel)
{
    if (ALevel == nullptr || ALevel->FParent == this)
        return;
    if (ALevel->FParent != nullptr)
        ALevel->FParent->RemoveChild(ALevel);
    if (FControl != nullptr)
        FControl->BeginUpdate();
    try {
        FItems.push_back(ALevel);
        ALevel->FControl = FControl;
        ALevel->FParent = this;
        refreshVisibleItems();
        createRelation(ALevel);
        if (IsRoot() && FControl->ActiveLevel() == nullptr && !FVisibleItems.empty())
            FControl->SetActiveLevel(FVisibleItems.front());
        Changed(true);
    } catch (...) {
        if (FControl != nullptr)
            FControl->EndUpdate();
        throw;
    }
    if (FControl != nullptr)
        FControl->EndUpdate();
}

void TvlGridLevel::RemoveChild(TvlGridLevel* ALevel)
{
    auto it = std::find(FItems.begin(), FItems.end(), ALevel);
    if (it == FItems.end())
        return;
    TvlCustomGrid* grid = FControl;
    if (grid != nullptr)
        grid->BeginUpdate();
    try {
        FItems.erase(it);
        refreshVisibleItems();
        ALevel->FParent = nullptr;
        freeRelation(ALevel);
        ALevel->SetActive(false);
        if (grid != nullptr && grid->ActiveLevel() == ALevel)
            grid->SetActiveLevel(nullptr);
        Changed(true);
    } catch (...) {
        if (grid != nullptr)
            grid->EndUpdate();
        throw;
    }
    if (grid != nullptr)
        grid->EndUpdate();
}

void TvlGridLevel::MoveChild(TvlGridLevel* ALevel, int ANewIndex)
{
    auto it = std::find(FItems.begin(), FItems.end(), ALevel);
    if (it == FItems.end())
        return;
    ANewIndex = std::clamp(ANewIndex, 0, Count() - 1);
    FItems.erase(it);
    FItems.insert(FItems.begin() + ANewIndex, ALevel);
    refreshVisibleItems();
    if (ALevel->FDataRelation != nullptr && FGridView != nullptr && FGridView->DataController()->Relations() != nullptr) {
        TvlCustomDataRelationList* relations = FGridView->DataController()->Relations();
        const int current = relations->IndexOf(ALevel->FDataRelation);
        if (current >= 0)
            relations->Move(current, std::min(ANewIndex, relations->GetCount() - 1));
    }
    Changed(true);
}

void TvlGridLevel::ChildVisibilityChanged(TvlGridLevel* AChild)
{
    (void)AChild;
    const int before = VisibleCount();
    refreshVisibleItems();
    if (FGridView != nullptr)
        FGridView->DetailVisibilityChanged(this, before, VisibleCount());
}

void TvlGridLevel::SetActive(bool Value)
{
    if (FControl == nullptr || Value == IsActive())
        return;
    if (Value) {
        if (IsTop())
            FControl->SetActiveLevel(this);
    } else {
        FControl->SetActiveLevel(nullptr);
    }
}

void TvlGridLevel::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (Value && FGridView != nullptr)
        updateMasterMode(true, !IsTop());
    if (FParent != nullptr)
        FParent->ChildVisibilityChanged(this);
    if (!Value)
        SetActive(false);
    else if (FControl != nullptr && FControl->ActiveLevel() == nullptr)
        SetActive(true);
    Changed(true);
    if (FControl != nullptr)
        FControl->ValidateFocusedView();
    if (!Value && FGridView != nullptr)
        updateMasterMode(false, !IsTop());
}

void TvlGridLevel::SetGridView(TvlCustomGridView* Value)
{
    if (FGridView == Value)
        return;
    if (Value != nullptr && Value->Level() != nullptr && Value->Level() != this)
        Value->Level()->SetGridView(nullptr);
    TvlCustomGridView* old = FGridView;
    const bool oldFocused = old != nullptr && old->IsFocused();
    if (old != nullptr) {
        old->BeginUpdate();
        for (TvlGridLevel* child : FItems)
            freeRelation(child);
        old->CancelUpdate();
        old->SetLevel(nullptr);
    }
    FGridView = Value;
    if (Value != nullptr && FControl != nullptr)
        Value->SetControl(FControl);
    if (FParent != nullptr)
        FParent->refreshVisibleItems();
    auto finish = [&] {
        if (Value != nullptr)
            Value->EndUpdate();
        if (FControl != nullptr && !FDestroyingLevel) {
            if (Value != nullptr && ((old == nullptr && FControl->FocusedView() == nullptr) || oldFocused))
                Value->SetFocused(true);
            else if (Value == nullptr && old != nullptr && old->IsFocused())
                old->SetFocused(false);
        }
        if (old != nullptr && old->StorageControl() != nullptr && !old->IsDestroying())
            old->SetControl(old->StorageControl());
    };
    if (Value != nullptr) {
        Value->BeginUpdate();
        try {
            if (old != nullptr && old->DataController() != nullptr)
                old->DataController()->SetMasterMode(nullptr, true);
            Value->SetLevel(this);
            updateMasterMode(FVisible, !IsTop());
            for (TvlGridLevel* child : FItems)
                createRelation(child);
            Changed(false);
        } catch (...) {
            finish();
            throw;
        }
    }
    finish();
}

TComponent* TvlGridLevel::GetParentComponent() const
{
    if (IsTop())
        return FControl;
    return FParent;
}

void TvlGridLevel::SetParentComponent(TComponent* AParent)
{
    if (auto* grid = dynamic_cast<TvlCustomGrid*>(AParent))
        grid->RootLevel()->AddChild(this);
    else if (auto* level = dynamic_cast<TvlGridLevel*>(AParent))
        level->AddChild(this);
}

// ---- details site ------------------------------------------------------------------------------

TvlCustomGridDetailsSiteViewInfo::TvlCustomGridDetailsSiteViewInfo(TvlGridLevel* ALevel)
    : TvlComponent(nullptr), FLevel(ALevel)
{
}

TvlCustomGridDetailsSiteViewInfo::~TvlCustomGridDetailsSiteViewInfo()
{
    if (FActiveGridView != nullptr)
        FActiveGridView->RemoveFreeNotification(this);
}

void TvlCustomGridDetailsSiteViewInfo::Notification(TComponent* AComponent, TOperation Operation)
{
    TvlComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActiveGridView)
        FActiveGridView = nullptr;
}

TvlCustomGridView* TvlCustomGridDetailsSiteViewInfo::GetActiveGridView() const
{
    if (!FActiveGridViewFetched) {
        FActiveGridViewFetched = true;
        FActiveGridView = GetActiveGridViewValue();
        if (FActiveGridView != nullptr)
            FActiveGridView->FreeNotification(const_cast<TvlCustomGridDetailsSiteViewInfo*>(this));
    }
    return FActiveGridView != nullptr && !FActiveGridView->IsDestroying() ? FActiveGridView : nullptr;
}

bool TvlCustomGridDetailsSiteViewInfo::HasActiveGridView() const { return GetActiveGridView() != nullptr; }

TColor TvlCustomGridDetailsSiteViewInfo::GetBackgroundColor() const { return GetLookAndFeelPainter()->DefaultGridDetailsSiteColor(); }

TColor TvlCustomGridDetailsSiteViewInfo::GetFrameColor() const { return FLevel->Options()->GetDetailFrameColor(); }

int TvlCustomGridDetailsSiteViewInfo::GetFrameWidth() const { return FLevel->Options()->DetailFrameWidth(); }

int TvlCustomGridDetailsSiteViewInfo::GetMaxNormalHeight() const { return std::numeric_limits<int>::max(); }

void TvlCustomGridDetailsSiteViewInfo::GetClientBounds(TRect& R) const
{
    R = FBounds;
    const int frame = GetFrameWidth();
    R.Left += frame;
    R.Top += frame;
    R.Right -= frame;
    R.Bottom -= frame;
}

int TvlCustomGridDetailsSiteViewInfo::ClientWidth() const
{
    TRect r;
    GetClientBounds(r);
    return r.Width();
}

int TvlCustomGridDetailsSiteViewInfo::ClientHeight() const
{
    TRect r;
    GetClientBounds(r);
    return r.Height();
}

int TvlCustomGridDetailsSiteViewInfo::CalculateHeight()
{
    const int nonClient = 2 * GetFrameWidth();
    int height;
    if (TvlCustomGridView* view = GetActiveGridView()) {
        FFullyVisible = false;
        const TSize maxSize{GetMaxWidth() - 2 * GetFrameWidth(), GetMaxHeight() - nonClient};
        height = 0;
        view->ViewInfo()->GetNaturalHeight(maxSize, height, FFullyVisible);
    } else {
        FFullyVisible = true;
        height = GetEmptyClientHeight();
    }
    height += nonClient;
    FNormalHeight = std::min(height, GetMaxNormalHeight());
    if (FFullyVisible)
        height = std::max(0, std::min(height, GetMaxHeight()));
    else
        height = GetMaxHeight();
    FNormalHeight = std::max(FNormalHeight, height);
    return height;
}

int TvlCustomGridDetailsSiteViewInfo::CalculateWidth()
{
    const int nonClient = 2 * GetFrameWidth();
    int width;
    if (TvlCustomGridView* view = GetActiveGridView()) {
        width = 0;
        view->ViewInfo()->GetNaturalWidth(GetMaxWidth() - nonClient, width);
    } else {
        width = GetEmptyClientWidth();
    }
    width += nonClient;
    return std::min(std::max(width, GetMinWidth()), GetMaxWidth());
}

bool TvlCustomGridDetailsSiteViewInfo::IsTabVisible(TvlGridLevel* ALevel) const
{
    return FLevel->Options()->TabsForEmptyDetails() || HasData(ALevel);
}

void TvlCustomGridDetailsSiteViewInfo::CheckActiveViewSiteVisibility(bool Value)
{
    if (TvlCustomGridView* view = GetActiveGridView())
        view->ViewInfo()->CheckSiteVisibility(Value);
}

void TvlCustomGridDetailsSiteViewInfo::GetDefaultTabParams(TvlViewParams& AParams) { FLevel->Styles()->GetDefaultTabParams(AParams); }

void TvlCustomGridDetailsSiteViewInfo::GetTabParams(TvlGridLevel* ATabLevel, TvlViewParams& AParams)
{
    FLevel->Styles()->GetTabParams(GetMasterRecord(), ATabLevel, AParams);
}

void TvlCustomGridDetailsSiteViewInfo::Calculate(int ALeft, int ATop)
{
    const int width = GetWidth();
    const int height = GetHeight();
    FBounds = TRect{ALeft, ATop, ALeft + width, ATop + height};
    if (TvlCustomGridView* view = GetActiveGridView()) {
        TRect client;
        GetClientBounds(client);
        view->ViewInfo()->MainCalculate(client);
    }
}

std::unique_ptr<TvlCustomGridHitTest> TvlCustomGridDetailsSiteViewInfo::GetHitTest(const TPoint& P) const
{
    if (TvlCustomGridView* view = GetActiveGridView()) {
        const TRect site = view->GetSiteBounds();
        return view->GetHitTest(TPoint{P.X - site.Left, P.Y - site.Top});
    }
    return nullptr;
}

void TvlCustomGridDetailsSiteViewInfo::Paint(TvlCanvas* ACanvas)
{
    TvlGridDetailsSitePainter painter(ACanvas, this);
    painter.Paint();
}

void TvlGridDetailsSitePainter::Paint()
{
    TRect client;
    FSite->GetClientBounds(client);
    const int frame = FSite->GetFrameWidth();
    if (frame != 0) {
        TRect outer = client;
        outer.Left -= frame;
        outer.Top -= frame;
        outer.Right += frame;
        outer.Bottom += frame;
        FCanvas->FrameRect(outer, FSite->GetFrameColor(), frame);
    }
    FCanvas->FillRectByColor(client, FSite->GetBackgroundColor());
}
