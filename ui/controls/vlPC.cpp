#include "ui/controls/vlPC.h"

#include <algorithm>

#include "platform/controls/Controls.h"
#include "ui/controls/vlPCConsts.h"
#include "ui/foundation/vlClasses.h"

namespace {

[[noreturn]] void raisePC(const char* AClass, const char* AOperation, const String& AMessage)
{
    throw EvxException(String::fromLatin1(AClass) + u'.' + String::fromLatin1(AOperation) +
                       String::fromLatin1(": ") + AMessage);
}

String resFmt(const TResStringRec& ARes, TVarRecs AArgs)
{
    return Format(GetResourceString(ARes), AArgs);
}

}  // namespace

TRect RotateExtents(const TRect& R, TvlTabPosition ATabPosition)
{
    switch (ATabPosition) {
    case tpBottom: return Rect(R.Right, R.Bottom, R.Left, R.Top);
    case tpLeft: return Rect(R.Top, R.Right, R.Bottom, R.Left);
    case tpRight: return Rect(R.Bottom, R.Left, R.Top, R.Right);
    default: return R;
    }
}

// ---- TvlTabSlants -------------------------------------------------------------------

void TvlTabSlants::Assign(const TPersistent* Source)
{
    if (auto* s = dynamic_cast<const TvlTabSlants*>(Source)) {
        SetKind(s->Kind());
        SetPositions(s->Positions());
    } else
        TPersistent::Assign(Source);
}

void TvlTabSlants::SetKind(TvlTabSlantKind Value)
{
    if (FKind != Value) {
        FKind = Value;
        changed();
    }
}

void TvlTabSlants::SetPositions(TvlTabSlantPositions Value)
{
    if (FPositions != Value) {
        FPositions = Value;
        changed();
    }
}

void TvlTabSlants::changed()
{
    if (OnChange.Assigned())
        OnChange(this);
}

// ---- TvlTab ----------------------------------------------------------------------

TvlTab::TvlTab(TvlTabs* ATabs, int AIndex) : FImageIndex(AIndex), FIndex(AIndex), FTabs(ATabs) {}

TvlTab::~TvlTab()
{
    if (FTabs == nullptr)  // the list is freeing it
        return;
    TvlPCTabControlCore* c = control();
    // Asked before the list renumbers the tabs that follow.
    const bool tracking = c->TrackingTab() != -1 && c->TrackingTab() == VisibleIndex();
    FTabs->TabDestroyed(FIndex, false);
    if (tracking)
        c->SetTrackingTabDirect(-1);
}

TvlPCTabControlCore* TvlTab::control() const
{
    return FTabs != nullptr ? FTabs->Control() : nullptr;
}

int TvlTab::VisibleIndex() const
{
    return control()->VisibleTabList()->IndexOf(FIndex);
}

bool TvlTab::IsMain() const
{
    const TvlPCTabControlCore* c = control();
    const int m = c->MainTabVisibleIndex();
    return m >= 0 && m < c->VisibleTabList()->Count() && c->VisibleTabList()->Items(m) == FIndex;
}

bool TvlTab::IsHot() const
{
    const int v = VisibleIndex();
    return v != -1 && v == control()->HotTab();
}

bool TvlTab::IsPressed() const
{
    const int v = VisibleIndex();
    return v != -1 && v == control()->PressedTab();
}

bool TvlTab::IsTracking() const
{
    const int v = VisibleIndex();
    return v != -1 && v == control()->TrackingTab();
}

bool TvlTab::IsEnabled() const
{
    return control()->Enabled() && FEnabled;
}

int TvlTab::LengthAlongRow() const
{
    return control()->Rotate() ? FTabs->TabNormalHeight() : FNormalWidth;
}

TRect TvlTab::NormalBounds() const
{
    const TvlPCTabControlCore* c = control();
    const int h = FTabs->TabNormalHeight();
    int w, hh;
    if (c->isVerticalText()) {
        w = h;
        hh = c->Rotate() ? c->RowHeight() : FNormalWidth;
    } else {
        w = c->Rotate() ? c->RowHeight() : FNormalWidth;
        hh = h;
    }
    return ::Bounds(FNormalPosition.X, FNormalPosition.Y, w, hh);
}

TRect TvlTab::Bounds() const
{
    TRect r = NormalBounds();
    r.Left += FBoundsCorrection.dLeft;
    r.Top += FBoundsCorrection.dTop;
    r.Right += FBoundsCorrection.dRight;
    r.Bottom += FBoundsCorrection.dBottom;
    return r;
}

TRect TvlTab::VisibleBounds() const
{
    const TvlPCTabControlCore* c = control();
    const int v = VisibleIndex();
    if (!FVisible || v == -1)
        return TRect();
    if (!c->MultiLine() && !c->IsTabVisibleInRange(v))
        return TRect();
    const TRect band = FVisibleRow < c->LeadingRowCount() ? c->LeadingBandRect() : c->TrailingBandRect();
    TRect r;
    if (!IntersectRect(r, Bounds(), band))
        return TRect();
    return r;
}

TvlTabPosition TvlTab::Side() const
{
    const bool sides = control()->TabPosition() == tpLeft || control()->TabPosition() == tpRight;
    if (FVisibleRow < control()->LeadingRowCount())
        return sides ? tpLeft : tpTop;
    return sides ? tpRight : tpBottom;
}

TvlPCTabOrientation TvlTab::Orientation() const
{
    static constexpr int table[4][3] = {{1, 2, 3}, {10, 11, 12}, {6, 4, 5}, {9, 7, 8}};
    return table[Side()][control()->captionKind()];
}

void TvlTab::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    TvlPCTabControlCore* c = control();
    if (!FVisible || c->Painter() == nullptr) {
        FCaption = Value;
        return;
    }
    const bool wasOnScreen = IsOnScreen();
    const int oldWidth = FNormalWidth;
    const int oldRowHeight = c->RowHeight();
    FCaption = Value;
    FNormalWidth = c->Painter()->CalculateTabNormalWidth(this);
    if (c->Rotate())
        c->calculateRowHeight();
    if ((!c->Rotate() && FNormalWidth != oldWidth) || (c->Rotate() && c->RowHeight() != oldRowHeight))
        NotifyChanged(tckLayout);
    else if (wasOnScreen)
        NotifyChanged(tckContent);
}

void TvlTab::SetColor(TColor Value)
{
    if (FColor != Value) {
        FColor = Value;
        if (IsOnScreen())
            NotifyChanged(tckColor);
    }
}

void TvlTab::SetEnabled(bool Value)
{
    if (FEnabled != Value) {
        const bool was = IsOnScreen();
        FEnabled = Value;
        if (was || IsOnScreen())
            NotifyChanged(tckEnabled);
    }
}

void TvlTab::SetHighlighted(bool Value)
{
    if (FHighlighted != Value) {
        const bool was = IsOnScreen();
        FHighlighted = Value;
        if (was || IsOnScreen())
            NotifyChanged(tckHighlighted);
    }
}

int TvlTab::ImageIndex() const
{
    return control()->GetTabImageIndex(FIndex);
}

void TvlTab::SetImageIndex(int Value)
{
    if (Value < 0)
        Value = -1;
    if (FImageIndex != Value) {
        FImageIndex = Value;
        if (!control()->IsLoading() && IsOnScreen())
            NotifyChanged(tckLayout);
    }
}

void TvlTab::SetSelected(bool Value)
{
    if (FSelected == Value)
        return;
    TvlPCTabControlCore* c = control();
    if (c->IsLoading()) {
        FSelected = Value;
        return;
    }
    if (c->Painter() != nullptr && c->Painter()->AllowMultiSelect()) {
        if (Value) {
            for (int i = 0; i < FTabs->Count(); ++i)
                if (i != FIndex && FTabs->GetTab(i)->Selected()) {
                    c->SetMultiSelectOn();
                    break;
                }
        }
    } else if (Value && FIndex != c->TabIndex())
        return;
    const bool was = IsOnScreen();
    FSelected = Value;
    if (was || IsOnScreen())
        NotifyChanged(tckSelected);
}

void TvlTab::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    TvlPCTabControlCore* c = control();
    if (Value) {
        c->VisibleTabList()->Add(FIndex);
        FVisible = true;
        NotifyChanged(tckLayout);
        return;
    }
    const bool handOver = c->NeedsVisibleSelection() && FIndex == c->TabIndex();
    const bool wasOnScreen = IsOnScreen();
    // Taken before the relayout, which drops a main tab beyond the visible
    // tabs: hiding the last tab hands the selection to the new last one.
    const int main = c->MainTabVisibleIndex();
    c->VisibleTabList()->Remove(FIndex);
    FVisible = false;
    if (wasOnScreen || c->MultiLine())
        NotifyChanged(tckLayout);
    else if (c->Painter() != nullptr && !c->IsLoading())
        c->CalculateLayout();
    if (handOver && main != -1 && c->VisibleTabList()->Count() > 0) {
        const int m = std::min(main, c->VisibleTabList()->Count() - 1);
        c->HandOverSelection(c->VisibleTabList()->Items(m));
    }
}

void TvlTab::NotifyChanged(TvlPCTabChangeKind AKind)
{
    FTabs->NotifyChanged(VisibleIndex(), AKind);
}

void TvlTab::AssignTo(TPersistent* Dest) const
{
    if (auto* d = dynamic_cast<TvlTab*>(Dest)) {
        d->FCaption = FCaption;
        d->FEnabled = FEnabled;
        d->FHighlighted = FHighlighted;
        d->SetImageIndex(ImageIndex());
        d->FObject = FObject;
        d->SetVisible(FVisible);
        d->SetSelected(FSelected);
    } else
        TPersistent::AssignTo(Dest);
}

// ---- TvlTabs ---------------------------------------------------------------------

TvlTabs::~TvlTabs()
{
    FNotification = true;
    while (!FTabs.empty()) {
        std::unique_ptr<TvlTab> t = std::move(FTabs.back());
        FTabs.pop_back();
        t->FTabs = nullptr;
    }
}

void TvlTabs::IndexError(const char* AOperation, int AIndex) const
{
    raisePC("TvlTabs", AOperation, resFmt(vlPCConsts::svlPCTabIndexError, {AIndex}));
}

String TvlTabs::Get(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError("Get", Index);
    return FTabs[size_t(Index)]->Caption();
}

TvlTab* TvlTabs::GetTab(int Index) const
{
    if (Index < 0 || Index >= Count())
        IndexError("GetTab", Index);
    return FTabs[size_t(Index)].get();
}

void TvlTabs::Put(int Index, const String& S)
{
    GetTab(Index)->SetCaption(S);
}

TObject* TvlTabs::GetObject(int Index) const
{
    return GetTab(Index)->FObject;
}

void TvlTabs::PutObject(int Index, TObject* AObject)
{
    GetTab(Index)->FObject = AObject;
}

void TvlTabs::renumber(int AFrom, int ATo)
{
    for (int i = std::max(AFrom, 0); i <= ATo && i < Count(); ++i)
        FTabs[size_t(i)]->FIndex = i;
}

void TvlTabs::Insert(int Index, const String& S)
{
    if (Index < 0 || Index > Count())
        IndexError("Insert", Index);
    FTabs.insert(FTabs.begin() + Index, std::make_unique<TvlTab>(this, Index));
    renumber(Index + 1, Count() - 1);
    FTabs[size_t(Index)]->FCaption = S;
    // The visible list holds tab indexes: those after the new tab move up.
    FControl->VisibleTabList()->Rebuild();
    if (!FControl->IsLoading() && FControl->TabIndex() == -1 && Count() == 1)
        FControl->SetTabIndexDirect(0);
    NotifyChanged(-1, tckLayout);
}

void TvlTabs::Delete(int Index)
{
    if (FDeleting)
        return;
    if (!FNotification) {
        if (Index < 0 || Index >= Count())
            IndexError("Delete", Index);
        FDeleting = true;
        std::unique_ptr<TvlTab> t = std::move(FTabs[size_t(Index)]);
        t->FTabs = nullptr;
        TvlPCTabControlCore* c = FControl;
        if (c->TrackingTab() != -1 && c->TrackingTab() == c->VisibleTabList()->IndexOf(Index))
            c->SetTrackingTabDirect(-1);
        t.reset();
        FDeleting = false;
    }
    FTabs.erase(FTabs.begin() + Index);
    renumber(Index, Count() - 1);
    FControl->VisibleTabList()->Rebuild();
    NotifyChanged(-1, tckLayout);
}

void TvlTabs::TabDestroyed(int AIndex, bool AKeepEntry)
{
    if (AKeepEntry)
        return;
    // The tab is being destroyed from outside: drop its entry only.
    auto& slot = FTabs.at(size_t(AIndex));
    (void)slot.release();
    FNotification = true;
    Delete(AIndex);
    FNotification = false;
}

void TvlTabs::Clear()
{
    if (FTabs.empty())
        return;
    while (!FTabs.empty()) {
        std::unique_ptr<TvlTab> t = std::move(FTabs.back());
        FTabs.pop_back();
        t->FTabs = nullptr;
    }
    FControl->VisibleTabList()->Rebuild();
    NotifyChanged(-1, tckLayout);
}

void TvlTabs::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    // Indexes outside the list are refused with the list's index error.
    if (CurIndex < 0 || CurIndex >= Count())
        IndexError("Move", CurIndex);
    if (NewIndex < 0 || NewIndex >= Count())
        IndexError("Move", NewIndex);
    std::unique_ptr<TvlTab> t = std::move(FTabs[size_t(CurIndex)]);
    FTabs.erase(FTabs.begin() + CurIndex);
    FTabs.insert(FTabs.begin() + NewIndex, std::move(t));
    renumber(std::min(CurIndex, NewIndex), std::max(CurIndex, NewIndex));
    FControl->VisibleTabList()->Rebuild();
    NotifyChanged(-1, tckLayout);
}

void TvlTabs::SetUpdateState(bool Updating)
{
    if (!Updating)
        NotifyChanged(-1, tckLayout);
}

void TvlTabs::NotifyChanged(int AVisibleIndex, TvlPCTabChangeKind AKind)
{
    if (AVisibleIndex == -1 && AKind == tckLayout)
        FControl->VisibleTabList()->Rebuild();
    if (UpdateCount() > 0 || FControl->IsLoading() || FControl->IsDestroying())
        return;
    if (AVisibleIndex == -1 || AKind == tckLayout)
        FControl->RecalculateLayout();
    else if (FControl->Painter() != nullptr)
        FControl->Painter()->RepaintTab(AVisibleIndex, AKind);
}

void TvlTabs::SetHotTab(int AVisibleIndex)
{
    const int old = FControl->HotTab();
    if (old == AVisibleIndex)
        return;
    FControl->SetHotTabDirect(AVisibleIndex);
    if (old != -1)
        NotifyChanged(old, tckHotTrack);
    if (AVisibleIndex != -1)
        NotifyChanged(AVisibleIndex, tckHotTrack);
}

void TvlTabs::SetTrackingTab(int AVisibleIndex)
{
    if (AVisibleIndex < 0 || AVisibleIndex >= FControl->VisibleTabList()->Count())
        AVisibleIndex = -1;
    const int old = FControl->TrackingTab();
    if (old == AVisibleIndex)
        return;
    FControl->SetTrackingTabDirect(AVisibleIndex);
    if (old != -1)
        NotifyChanged(old, tckTracking);
    if (AVisibleIndex != -1) {
        NotifyChanged(AVisibleIndex, tckTracking);
        if (!FControl->MultiLine()) {
            FControl->MakeTabVisible(AVisibleIndex);
            FControl->RecalculateLayout();
        }
    }
}

void TvlTabs::UpdateMainTab()
{
    const TvlVisibleTabList* list = FControl->VisibleTabList();
    int old = FControl->MainTabVisibleIndex();
    if (old >= list->Count())
        old = -1;
    int m = -1;
    if (FControl->TabIndex() != -1 && list->Count() > 0) {
        list->Find(FControl->TabIndex(), m);
        if (m >= list->Count())
            m = list->Count() - 1;
    }
    FControl->SetMainTabDirect(m);
    if (m != old) {
        if (old != -1)
            NotifyChanged(old, tckMainTab);
        if (m != -1)
            NotifyChanged(m, tckMainTab);
        FControl->UpdateNavigatorButtonStates();
    }
}

int TvlTabs::GetVisibleCount() const
{
    return int(std::count_if(FTabs.begin(), FTabs.end(), [](const auto& t) { return t->Visible(); }));
}

void TvlTabs::DropCaptionBitmaps()
{
    for (auto& t : FTabs)
        t->DropCaptionBitmap();
}

void TvlTabs::RefreshImages()
{
    for (int i = 0; i < Count(); ++i) {
        TvlTab* t = FTabs[size_t(i)].get();
        if (t->RawImageIndex() != -1 && t->IsOnScreen())
            t->NotifyChanged(tckContent);
    }
}

TvlTab* GetVisibleTab(const TvlTabs* ATabs, int AVisibleIndex)
{
    const TvlVisibleTabList* list = ATabs->Control()->VisibleTabList();
    if (AVisibleIndex < 0 || AVisibleIndex >= list->Count())
        raisePC("TvlTabs", "GetVisibleTab",
                resFmt(vlPCConsts::svlPCTabVisibleIndexOutsOfBounds, {AVisibleIndex, list->Count() - 1}));
    return list->GetTab(AVisibleIndex);
}

// ---- TvlVisibleTabList -----------------------------------------------------------

TvlTab* TvlVisibleTabList::GetTab(int AVisibleIndex) const
{
    if (FItems.empty())
        raisePC("TvlVisibleTabList", "GetTab", GetResourceString(vlPCConsts::svlPCVisibleTabListEmpty));
    if (AVisibleIndex < 0 || AVisibleIndex >= Count())
        raisePC("TvlVisibleTabList", "GetTab",
                resFmt(vlPCConsts::svlPCTabVisibleIndexOutsOfBounds, {AVisibleIndex, Count() - 1}));
    return FControl->Tabs()->GetTab(FItems[size_t(AVisibleIndex)]);
}

bool TvlVisibleTabList::Find(int ATabIndex, int& APosition) const
{
    APosition = 0;
    if (FItems.empty())
        return false;
    if (ATabIndex == FItems.front())
        return true;
    if (ATabIndex < FItems.front())
        return false;
    APosition = Count() - 1;
    if (ATabIndex == FItems.back())
        return true;
    if (ATabIndex > FItems.back()) {
        APosition = Count();
        return false;
    }
    int lo = 0, hi = Count() - 1;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (FItems[size_t(mid)] == ATabIndex) {
            APosition = mid;
            return true;
        }
        if (FItems[size_t(mid)] < ATabIndex)
            lo = mid;
        else
            hi = mid;
    }
    APosition = hi;
    return false;
}

int TvlVisibleTabList::IndexOf(int ATabIndex) const
{
    int p;
    return Find(ATabIndex, p) ? p : -1;
}

void TvlVisibleTabList::Add(int ATabIndex)
{
    int p;
    if (!Find(ATabIndex, p))
        FItems.insert(FItems.begin() + p, ATabIndex);
}

void TvlVisibleTabList::Remove(int ATabIndex)
{
    int p;
    if (Find(ATabIndex, p))
        FItems.erase(FItems.begin() + p);
}

void TvlVisibleTabList::Rebuild()
{
    FItems.clear();
    const TvlTabs* tabs = FControl->Tabs();
    if (tabs == nullptr)
        return;
    for (int i = 0; i < tabs->Count(); ++i)
        if (tabs->GetTab(i)->Visible())
            FItems.push_back(i);
}

// ---- TvlPCPainterParentInfo ------------------------------------------------------

bool TvlPCPainterParentInfo::HasOppositeRows() const
{
    if (TabPosition() == tpTop || TabPosition() == tpLeft)
        return LeadingRowCount() != RowCount();
    return LeadingRowCount() != 0;
}

TColor TvlPCPainterParentInfo::TabColor(int AVisibleIndex, bool APainterUsesPageColor) const
{
    TColor c = VisibleTab(AVisibleIndex)->Color();
    if (c == clDefault) {
        TControl* page = TabPage(AVisibleIndex);
        if (page != nullptr && (Options().Contains(pcoUsePageColorForTab) || APainterUsesPageColor) &&
            !page->ParentColor())
            c = page->Color();
    }
    return c;
}

// ---- TvlPCImageList --------------------------------------------------------------

TvlPCImageList::TvlPCImageList(TvlPCTabControlCore* AControl)
    : FControl(AControl), FChangeLink(std::make_unique<TChangeLink>())
{
    FChangeLink->OnChange = TNotifyEvent(this, &TvlPCImageList::baseImagesChanged);
}

TvlPCImageList::~TvlPCImageList()
{
    SetBaseImages(nullptr);
}

void TvlPCImageList::SetBaseImages(TImageList* Value)
{
    TImageList* old = BaseImages();
    if (old == Value)
        return;
    if (old != nullptr)
        old->UnRegisterChanges(FChangeLink.get());
    if (Value != nullptr)
        Value->RegisterChanges(FChangeLink.get());
    rebuild();
    if (OnChange.Assigned())
        OnChange(this);
}

void TvlPCImageList::baseImagesChanged(TObject*)
{
    rebuild();
    if (OnChange.Assigned())
        OnChange(this);
}

void TvlPCImageList::SetRotationAngle(TvlRotationAngle Value)
{
    if (FRotationAngle == Value)
        return;
    FRotationAngle = Value;
    rebuild();
    if (OnChange.Assigned())
        OnChange(this);
}

TSize TvlPCImageList::GetImageSize() const
{
    if (BaseImages() == nullptr || BaseImages()->Width() <= 0 || BaseImages()->Height() <= 0)
        return TSize{0, 0};
    return TSize{BaseImages()->Width(), BaseImages()->Height()};
}

TSize TvlPCImageList::GetRotatedImageSize() const
{
    TSize s = GetImageSize();
    if (FRotationAngle == raPlus90 || FRotationAngle == raMinus90)
        std::swap(s.cx, s.cy);
    return s;
}

void TvlPCImageList::rebuild()
{
    FRotatedImages.clear();
    if (FRotationAngle == ra0 || BaseImages() == nullptr)
        return;
    FRotatedImages.resize(size_t(BaseImages()->Count()));
    for (TRotatedImage& r : FRotatedImages)
        r.Bitmap = std::make_unique<TvlBitmap>(0, 0, pf32bit);
}

void TvlPCImageList::prepare(int AIndex, TColor ABkColor, bool AEnabled)
{
    TRotatedImage& r = FRotatedImages[size_t(AIndex)];
    if (r.Valid && r.BkColor == ABkColor && r.Enabled == AEnabled)
        return;
    ++FRenderCount;
    const TSize s = GetImageSize();
    r.Bitmap->SetSize(s.cx, s.cy);
    r.Bitmap->vlCanvas()->FillRectByColor(r.Bitmap->GetClientRect(), ABkColor);
    if (OnPrepareBitmap.Assigned())
        OnPrepareBitmap(r.Bitmap.get());
    BaseImages()->Draw(r.Bitmap->Canvas(), 0, 0, AIndex, AEnabled);
    r.Bitmap->Rotate(FRotationAngle);
    r.BkColor = ABkColor;
    r.Enabled = AEnabled;
    r.Valid = true;
}

void TvlPCImageList::Draw(TvlCanvas* ACanvas, int X, int Y, bool AEnabled, TColor ABackgroundColor, int AIndex)
{
    if (BaseImages() == nullptr || BaseImages()->Count() == 0)
        raisePC("TvlPCImageList", "Draw", GetResourceString(vlPCConsts::svlPCNoBaseImages));
    if (AIndex < 0 || AIndex >= BaseImages()->Count())
        raisePC("TvlPCImageList", "Draw",
                resFmt(vlPCConsts::svlPCImageListIndexError, {AIndex, BaseImages()->Count() - 1}));
    if (FRotationAngle != ra0) {
        if (size_t(AIndex) >= FRotatedImages.size())
            rebuild();
        prepare(AIndex, ABackgroundColor, AEnabled);
        ACanvas->Draw(X, Y, FRotatedImages[size_t(AIndex)].Bitmap.get());
        return;
    }
    const TSize s = GetImageSize();
    TvlBitmap b(s.cx, s.cy, pf32bit);
    if (FControl != nullptr && FControl->Font() != nullptr)
        b.vlCanvas()->SetFont(FControl->Font());
    b.vlCanvas()->FillRectByColor(b.GetClientRect(), ABackgroundColor);
    if (OnPrepareBitmap.Assigned())
        OnPrepareBitmap(&b);
    BaseImages()->Draw(b.Canvas(), 0, 0, AIndex, AEnabled);
    ACanvas->Draw(X, Y, &b);
}

// ---- the registry ------------------------------------------------------------------

namespace {
std::unique_ptr<TvlPCPaintersFactory>& factoryHolder()
{
    static std::unique_ptr<TvlPCPaintersFactory> holder;
    return holder;
}
}  // namespace

TvlPCPaintersFactory* PaintersFactory()
{
    return factoryHolder().get();
}

void FreePaintersFactory()
{
    factoryHolder().reset();
}

void RegisterPCPainterClass(TvlPCPainterClass APainterClass)
{
    auto& f = factoryHolder();
    if (!f)
        f = std::make_unique<TvlPCPaintersFactory>();
    if (std::find(f->FClasses.begin(), f->FClasses.end(), APainterClass) == f->FClasses.end())
        f->FClasses.push_back(APainterClass);
}

void UnregisterPCPainterClass(TvlPCPainterClass APainterClass)
{
    auto& f = factoryHolder();
    if (!f)
        return;
    std::erase(f->FClasses, APainterClass);
    if (f->FClasses.empty())
        f.reset();
}

TvlPCPainterClass TvlPCPaintersFactory::GetPainterClass(TvlPCStyleID AStyleID) const
{
    for (TvlPCPainterClass c : FClasses)
        if (c->GetStyleID() == AStyleID)
            return c;
    return nullptr;
}

TvlPCStyleID TvlPCPaintersFactory::GetStyleIDByLookAndFeel(const TvlLookAndFeel* ALookAndFeel) const
{
    for (auto it = FClasses.rbegin(); it != FClasses.rend(); ++it)
        if ((*it)->HasLookAndFeel(ALookAndFeel))
            return (*it)->GetStyleID();
    return -1;
}

TvlPCStyleID TvlPCPaintersFactory::GetDefaultStyleID(const TvlLookAndFeel* ALookAndFeel) const
{
    if (FClasses.empty())
        raisePC("TvlPCPaintersFactory", "GetDefaultStyleID",
                GetResourceString(vlPCConsts::svlPCNoRegisteredStyles));
    for (auto it = FClasses.rbegin(); it != FClasses.rend(); ++it)
        if ((*it)->IsDefault(ALookAndFeel))
            return (*it)->GetStyleID();
    return FClasses.front()->GetStyleID();
}

std::unique_ptr<TvlPCCustomPainter> TvlPCPaintersFactory::GetPainterInstance(TvlPCPainterClass APainterClass,
                                                                             TvlPCTabControlCore* ATabControl) const
{
    if (APainterClass == nullptr)
        raisePC("TvlPCPaintersFactory", "GetPainterInstance", GetResourceString(vlPCConsts::svlPCPainterClassError));
    return APainterClass->Create(ATabControl);
}

void TvlPCPaintersFactory::ReleasePainterInstance(std::unique_ptr<TvlPCCustomPainter> APainter) const
{
    APainter.reset();
}

TvlLookAndFeelStyle GetTabLookAndFeelStyle(const TvlLookAndFeel* ALookAndFeel)
{
    TvlLookAndFeelPainterClass p = ALookAndFeel->GetAvailablePainter(TvxThemedObjectTypes{totTab});
    return p != nullptr ? p->LookAndFeelStyle() : lfsStandard;
}

bool HasSkinTabPainter(const TvlLookAndFeel* ALookAndFeel)
{
    TvlLookAndFeelPainterClass p = ALookAndFeel->GetAvailablePainter(TvxThemedObjectTypes{totTab});
    if (p == nullptr || p == GetNativeLookAndFeelPainterClass())
        return false;
    for (TvlLookAndFeelKind k : {lfFlat, lfStandard, lfUltraFlat, lfOffice11})
        if (p == GetLookAndFeelPainterClass(k))
            return false;
    return true;
}

// ---- TvlPCCustomPainter ----------------------------------------------------------

TvlPCCustomPainter::TvlPCCustomPainter(TvlPCTabControlCore* AParent) : FParent(AParent) {}

TvlPCCustomPainter::~TvlPCCustomPainter() = default;

TvlPCPainterParentInfo* TvlPCCustomPainter::ParentInfo() const
{
    return FParent;
}

TvlTab* TvlPCCustomPainter::tab(int AVisibleIndex) const
{
    return FParent->VisibleTab(AVisibleIndex);
}

TvlCanvas* TvlPCCustomPainter::canvas() const
{
    return FParent->Canvas();
}

TvlTabPosition TvlPCCustomPainter::tabPosition() const
{
    return FParent->TabPosition();
}

bool TvlPCCustomPainter::rotate() const
{
    return FParent->Rotate();
}

bool TvlPCCustomPainter::isTabsContainer() const
{
    return FParent->IsTabsContainer();
}

TvlPCOptions TvlPCCustomPainter::options() const
{
    return FParent->Options();
}

int TvlPCCustomPainter::captionKind() const
{
    return FParent->captionKind();
}

bool TvlPCCustomPainter::isVerticalText() const
{
    return FParent->isVerticalText();
}

void TvlPCCustomPainter::GetTabCorrection(int, TvlPCTabBoundsCorrection& ACorrection)
{
    ACorrection = TvlPCTabBoundsCorrection();
}

TColor TvlPCCustomPainter::GetPageColor()
{
    TControl* page = FParent->ActivePage();
    if (page == nullptr || page->ParentColor())
        return GetDefaultPageColor();
    return page->Color();
}

TColor TvlPCCustomPainter::GetDefaultPageColor()
{
    return FParent->Color();
}

void TvlPCCustomPainter::GetTabsAreaExtents(TRect& AExtents)
{
    AExtents = TRect();
    const TvlPCTabControlCore* c = FParent;
    if (c->HideTabs() || c->RowCount() == 0)
        return;
    const TRect lb = c->LeadingBandRect();
    const TRect tb = c->TrailingBandRect();
    const bool allLeading = c->LeadingRowCount() == c->RowCount();
    const bool hasLeading = c->LeadingRowCount() > 0;
    switch (c->TabPosition()) {
    case tpTop:
        AExtents.Top = lb.Bottom;
        if (!allLeading)
            AExtents.Bottom = c->Height() - tb.Top;
        break;
    case tpBottom:
        AExtents.Top = c->TabsArea().RowLength < 1 ? lb.Top : c->Height() - tb.Top;
        if (hasLeading)
            AExtents.Bottom = lb.Bottom;
        break;
    case tpLeft:
        AExtents.Top = lb.Right;
        if (!allLeading)
            AExtents.Bottom = c->Width() - tb.Left;
        break;
    case tpRight:
        AExtents.Top = c->TabsArea().RowLength < 1 ? lb.Left : c->Width() - tb.Left;
        if (hasLeading)
            AExtents.Bottom = lb.Right;
        break;
    }
}

void TvlPCCustomPainter::GetPageAreaExtents(TRect& AExtents)
{
    GetTabsAreaExtents(AExtents);
    if (HasFrame()) {
        const int w = GetFrameWidth();
        AExtents.Left += w;
        AExtents.Top += w;
        AExtents.Right += w;
        AExtents.Bottom += w;
    }
}

namespace {
TRect areaFromExtents(const TvlPCTabControlCore* c, const TRect& AExtents)
{
    TRect r = Rect(0, 0, c->Width(), c->Height());
    DeflateRectByMargins(r, RotateExtents(AExtents, c->TabPosition()));
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}
}  // namespace

void TvlPCCustomPainter::GetFrameArea(TRect& R)
{
    TRect e;
    GetTabsAreaExtents(e);
    R = areaFromExtents(FParent, e);
}

void TvlPCCustomPainter::GetPageArea(TRect& R)
{
    TRect e;
    GetPageAreaExtents(e);
    R = areaFromExtents(FParent, e);
}

void TvlPCCustomPainter::GetNativeTabContentOffsets(TRect& AExtents)
{
    // No theme to ask here.
    AExtents = TRect();
}

TColor TvlPCCustomPainter::GetTabColor(int AVisibleIndex)
{
    return FParent->TabColor(AVisibleIndex, UsesPageColorForTabs());
}

std::unique_ptr<TvlRegion> TvlPCCustomPainter::GetTabClipRegion(int AVisibleIndex)
{
    return std::make_unique<TvlRegion>(tab(AVisibleIndex)->VisibleBounds());
}

TColor TvlPCCustomPainter::GetTabTextColor(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    if (t->Highlighted())
        return GetHighlightedTabTextColor(AVisibleIndex, FParent->Font() != nullptr ? FParent->Font()->Color()
                                                                                      : clBtnText);
    if (t->IsHot())
        return GetHotTabTextColor();
    return clBtnText;
}

TColor TvlPCCustomPainter::GetHighlightedTabTextColor(int, TColor)
{
    return clHighlightText;
}

int TvlPCCustomPainter::GetTabThemeStateId(int AVisibleIndex)
{
    if (tab(AVisibleIndex)->IsMain())
        return 3;
    return tab(AVisibleIndex)->IsHot() ? 2 : 1;
}

bool TvlPCCustomPainter::HasFrame()
{
    return FParent->ShowFrame();
}

void TvlPCCustomPainter::DoAfterPaintTab(int AVisibleIndex)
{
    FParent->AfterPaintTab(canvas(), tab(AVisibleIndex), FContentLayout);
}

void TvlPCCustomPainter::FillPageArea()
{
    TRect r;
    GetPageArea(r);
    canvas()->FillRectByColor(r, GetPageColor());
}

void TvlPCCustomPainter::PaintParts()
{
    if (!FParent->HideTabs()) {
        PaintNavigatorButtons();
        TRect f;
        GetFrameArea(f);
        const int w = FParent->Width(), h = FParent->Height();
        TvlCanvas* cv = canvas();
        if (cv->RectVisible(Rect(0, 0, f.Left, h)) || cv->RectVisible(Rect(0, 0, w, f.Top)) ||
            cv->RectVisible(Rect(f.Right, 0, w, h)) || cv->RectVisible(Rect(0, f.Bottom, w, h)))
            PaintTabs();
    }
    PaintPageArea();
}

void TvlPCCustomPainter::PaintPageArea()
{
    if (HasFrame())
        PaintFrame();
    FillPageArea();
    TRect f;
    GetFrameArea(f);
    canvas()->ExcludeClipRect(f);
}

void TvlPCCustomPainter::InvalidateTab(int AVisibleIndex)
{
    InvalidateRect(tab(AVisibleIndex)->VisibleBounds());
}

void TvlPCCustomPainter::InvalidateRect(const TRect& R)
{
    FParent->InvalidateRect(R);
}

void TvlPCCustomPainter::InvalidateTabBand(int AVisibleIndex)
{
    InvalidateRect(tab(AVisibleIndex)->VisibleRow() < FParent->LeadingRowCount() ? FParent->LeadingBandRect()
                                                                                  : FParent->TrailingBandRect());
}

bool TvlPCCustomPainter::IsOwnerDrawTab() const
{
    return FParent->OwnerDraw();
}

bool TvlPCCustomPainter::DoDrawTab(int AVisibleIndex)
{
    return FParent->DrawTabByHandler(tab(AVisibleIndex));
}

bool TvlPCCustomPainter::ShowsImage(int AVisibleIndex) const
{
    return HasImages() && tab(AVisibleIndex)->ImageIndex() >= 0;
}

TSize TvlPCCustomPainter::GetImageSize() const
{
    return FParent->ImageList()->GetImageSize();
}

TSize TvlPCCustomPainter::GetRotatedImageSize() const
{
    return FParent->ImageList()->GetRotatedImageSize();
}

int TvlPCCustomPainter::GetMaxCaptionHeight()
{
    int result = 0;
    const int n = FParent->VisibleTabList()->Count();
    for (int i = 0; i < n; ++i) {
        FParent->PrepareTabCanvasFont(tab(i), canvas());
        result = std::max(result, canvas()->TextHeight(String::fromLatin1("Zg")));
    }
    return result;
}

void TvlPCCustomPainter::SaveClipRegion()
{
    canvas()->SaveClipRegion();
}

void TvlPCCustomPainter::RestoreClipRegion()
{
    canvas()->RestoreClipRegion();
}

bool TvlPCCustomPainter::ClipToRect(const TRect& R, bool AIntersect)
{
    if (R.IsEmpty() || (AIntersect && !canvas()->RectVisible(R)))
        return false;
    SaveClipRegion();
    TvlRegion region(R);
    canvas()->SetClipRegion(region, AIntersect ? roIntersect : roSet);
    return true;
}

void TvlPCCustomPainter::ExcludeTabContent(int AVisibleIndex)
{
    if (IsNativePainting())
        return;
    TvlRegion content(FContentLayout.TextRect);
    content.Combine(TvlRegion(FContentLayout.ImageRect), roAdd);
    std::unique_ptr<TvlRegion> clip = GetTabClipRegion(AVisibleIndex);
    content.Combine(*clip, roIntersect);
    canvas()->SetClipRegion(content, roSubtract);
}

void TvlPCCustomPainter::DrawPolyline(const std::vector<TPoint>& APoints, TvlCanvas* ACanvas, TColor AColor)
{
    if (APoints.empty())
        return;
    TvlCanvas* cv = ACanvas != nullptr ? ACanvas : canvas();
    cv->Pen()->SetColor(AColor);
    cv->Polyline(APoints);
    const TPoint last = APoints.back();
    cv->MoveTo(last.X, last.Y);
    cv->LineTo(last.X + 1, last.Y + 1);
}

void TvlPCCustomPainter::MapPointToTabPosition(const TRect& R, TPoint& P, TvlTabPosition ATabPosition)
{
    const TPoint p = P;
    switch (ATabPosition) {
    case tpBottom: P = Point(p.X, R.Top + R.Bottom - 1 - p.Y); break;
    case tpLeft: P = Point(R.Right - 1 - (R.Bottom - 1 - p.Y), R.Bottom - 1 - (p.X - R.Left)); break;
    case tpRight: P = Point(R.Left + (R.Bottom - 1 - p.Y), R.Bottom - 1 - (p.X - R.Left)); break;
    default: break;
    }
}

void TvlPCCustomPainter::MapPointsToTabPosition(const TRect& R, std::vector<TPoint>& APoints,
                                                TvlTabPosition ATabPosition)
{
    for (TPoint& p : APoints)
        MapPointToTabPosition(R, p, ATabPosition);
}

void TvlPCCustomPainter::DrawMappedPolyline(const TRect& R, const std::vector<TPoint>& APoints, TColor AColor,
                                            TvlTabPosition ATabPosition)
{
    std::vector<TPoint> pts = APoints;
    MapPointsToTabPosition(R, pts, ATabPosition);
    DrawPolyline(pts, nullptr, AColor);
}

TBitmap* TvlPCCustomPainter::GetTabCaptionBitmap(int AVisibleIndex)
{
    return tab(AVisibleIndex)->CaptionBitmap();
}

void TvlPCCustomPainter::PrepareImageBitmap(TBitmap* ABitmap)
{
    TRect r = FContentLayout.ImageRect;
    PrepareTabContentBitmap(ABitmap, r, FContentLayout.VisibleIndex);
}

int TvlPCCustomPainter::alignmentOffset(int AContentLength, int AAvailableLength)
{
    TAlignment a = taCenter;
    if (rotate() && FParent->TabWidth() <= 0 && FParent->MaxRotatedTabWidth() <= 0)
        a = FParent->TabCaptionAlignment();
    const int w = FParent->WidestRotatedCaption();
    switch (a) {
    case taLeftJustify: return (AAvailableLength - w) / 2;
    case taRightJustify: return w + (AAvailableLength - w) / 2 - AContentLength;
    default: return (AAvailableLength - AContentLength) / 2;
    }
}

namespace {

// Along and across a caption, turned into client coordinates.
struct TContentFrame {
    TRect T;
    int kind;
    int alongLength() const { return kind == 0 ? T.Width() : T.Height(); }
    int acrossStart() const { return kind == 0 ? T.Top : T.Left; }
    int acrossEnd() const { return kind == 0 ? T.Bottom : T.Right; }
    // [d, d + len) from the start edge, [a, a + size) across.
    TRect rect(int d, int len, int a, int size) const
    {
        switch (kind) {
        case 0: return Rect(T.Left + d, a, T.Left + d + len, a + size);
        case 2: return Rect(a, T.Top + d, a + size, T.Top + d + len);
        default: return Rect(a, T.Bottom - d - len, a + size, T.Bottom - d);
        }
    }
    // Centred between the two offsets (for kind 2 the trailing one lies on the left).
    int centre(const std::array<int, 4>& o, int size) const
    {
        const int lead = kind == 2 ? o[3] : o[1];
        const int trail = kind == 2 ? o[1] : o[3];
        const int s = acrossStart() + lead, e = acrossEnd() - trail;
        return s + (e - s - size) / 2;
    }
};

// The widest prefix of the caption that, with "...", fits in AWidth.
int elidedWidth(TvlCanvas* ACanvas, const String& AText, int AWidth)
{
    const int full = ACanvas->TextWidth(AText);
    if (full <= AWidth)
        return std::max(full, 0);
    if (AWidth <= 0)
        return 0;
    const String dots = String::fromLatin1("...");
    for (int k = int(AText.size()) - 1; k > 0; --k) {
        const int w = ACanvas->TextWidth(AText.left(k) + dots);
        if (w <= AWidth)
            return w;
    }
    return 0;
}

}  // namespace

void TvlPCCustomPainter::CalculateTabContentRects(int AVisibleIndex)
{
    TvlTab* t = tab(AVisibleIndex);
    const int kind = captionKind();
    const TContentFrame f{t->Bounds(), kind};
    const bool showImage = ShowsImage(AVisibleIndex);
    const bool hasCaption = !t->Caption().isEmpty();
    const bool buttonStyle = IsButtonStyle();
    const bool mainTab = IsMainTab(AVisibleIndex);
    const TSize imageSize = GetImageSize();
    TRect imageRect, textRect;

    auto adjustAcross = [&](std::array<int, 4>& o) {
        if (buttonStyle) {
            if (kind == 2 ? !mainTab : mainTab) {
                o[1] += 1;
                o[3] -= 1;
            }
        } else if (rotate())
            o[1] = o[3] = 0;
        if (IsTabStyle()) {
            const int orientation = t->Orientation();
            if (orientation == 5 || orientation == 7 || orientation == 10)
                std::swap(o[1], o[3]);
        }
    };
    auto adjustAlong = [&](std::array<int, 2>& m) {
        if (buttonStyle && mainTab) {
            const int d = kind == 1 ? -1 : 1;
            m[0] += d;
            m[1] -= d;
        }
    };

    int imageAcross = 0, textAcross = 0, textHeight = 0;
    if (showImage) {
        std::array<int, 4> o{};
        GetTabImageOffsets(AVisibleIndex, o);
        adjustAcross(o);
        imageAcross = f.centre(o, imageSize.cy);
    }
    if (hasCaption) {
        std::array<int, 4> o{};
        GetTabTextOffsets(AVisibleIndex, o);
        adjustAcross(o);
        textHeight = canvas()->TextHeight(String::fromLatin1("Zg"));
        textAcross = f.centre(o, textHeight);
    }

    if (showImage && !hasCaption) {
        std::array<int, 2> o{};
        GetTabImageOnlyOffsets(AVisibleIndex, o);
        adjustAlong(o);
        const int room = f.alongLength() - o[0] - o[1];
        imageRect = f.rect(o[0] + (room - imageSize.cx) / 2, imageSize.cx, imageAcross, imageSize.cy);
    } else if (hasCaption) {
        const int len = f.alongLength();
        std::array<int, 2> m{};
        GetTabTextMargins(AVisibleIndex, m);
        adjustAlong(m);
        if (buttonStyle && HasImages() && kind == 1) {
            m[0] += 1;
            m[1] -= 1;
        }
        int avail = len - m[0] - m[1];
        const bool imagesRotated = HasImages() && rotate();
        const int imagePart = (showImage || imagesRotated)
                                  ? GetImageTextDistance(AVisibleIndex) + 2 * FParent->ImageBorder() + imageSize.cx
                                  : 0;
        const int textWidth = canvas()->TextWidth(t->Caption());
        const bool compact = textWidth > avail - imagePart;
        if (compact) {
            GetCompactTabTextMargins(AVisibleIndex, m);
            adjustAlong(m);
            if (buttonStyle && HasImages() && kind == 1) {
                m[0] += 1;
                m[1] -= 1;
            }
            avail = len - m[0] - m[1];
        }
        const int captionWidth = elidedWidth(canvas(), t->Caption(), avail - imagePart);
        const int content = imagePart + captionWidth;
        if (content > 0) {
            int pos = m[0];
            if (!compact && !imagesRotated)
                pos += alignmentOffset(content, avail);
            if (showImage)
                imageRect = f.rect(pos + FParent->ImageBorder(), imageSize.cx, imageAcross, imageSize.cy);
            pos += imagePart;
            if (imagesRotated && !compact)
                pos += alignmentOffset(captionWidth, len - m[1] - pos);
            if (captionWidth > 0)
                textRect = f.rect(pos, captionWidth, textAcross, textHeight);
        }
    }
    SetTabContentRects(AVisibleIndex, imageRect, textRect);
}

void TvlPCCustomPainter::renderCaption(TvlCanvas* ACanvas, TvlTab* ATab, int AVisibleIndex, TRect R, bool AEnabled)
{
    ACanvas->SetFont(canvas()->Font());
    if (!AEnabled) {
        ACanvas->Font()->SetColor(clBtnHighlight);
        if (NeedEmbossedDisabledText()) {
            TRect shifted = R;
            OffsetRect(shifted, 1, 1);
            DrawTabText(ACanvas, ATab->Caption(), AVisibleIndex, shifted);
        }
        ACanvas->Font()->SetColor(clBtnShadow);
    }
    DrawTabText(ACanvas, ATab->Caption(), AVisibleIndex, R);
}

void TvlPCCustomPainter::drawCaption(TvlTab* ATab, int AVisibleIndex, TColor ABodyColor, bool AEnabled)
{
    const TRect R = FContentLayout.TextRect;
    if (R.IsEmpty())
        return;
    const int kind = captionKind();
    if (kind == 0) {
        TvlBitmap b(R.Width(), R.Height(), pf32bit);
        b.vlCanvas()->FillRectByColor(b.GetClientRect(), ABodyColor);
        TRect r = R;
        PrepareTabContentBitmap(&b, r, AVisibleIndex);
        renderCaption(b.vlCanvas(), ATab, AVisibleIndex, b.GetClientRect(), AEnabled);
        canvas()->Draw(R.Left, R.Top, &b);
        return;
    }
    if (ATab->CaptionBitmap() == nullptr) {
        auto b = std::make_unique<TvlBitmap>(R.Height(), R.Width(), pf32bit);
        b->vlCanvas()->FillRectByColor(b->GetClientRect(), ABodyColor);
        TRect r = R;
        PrepareTabContentBitmap(b.get(), r, AVisibleIndex);
        renderCaption(b->vlCanvas(), ATab, AVisibleIndex, b->GetClientRect(), AEnabled);
        b->Rotate(kind == 1 ? raPlus90 : raMinus90);
        ATab->SetCaptionBitmap(std::move(b));
    }
    canvas()->Draw(R.Left, R.Top, ATab->CaptionBitmap());
}

void TvlPCCustomPainter::DrawTabContent(TvlTab* ATab, int AVisibleIndex)
{
    FContentLayout.VisibleIndex = AVisibleIndex;
    FParent->PrepareTabCanvasFont(ATab, canvas());
    CalculateTabContentRects(AVisibleIndex);
    const TColor body = GetTabBodyColor(AVisibleIndex);
    const bool enabled = ATab->IsEnabled();
    const int imageIndex = ATab->ImageIndex();
    if (imageIndex != -1 && !FContentLayout.ImageRect.IsEmpty()) {
        TvlPCImageList* list = FParent->ImageList();
        list->OnPrepareBitmap = TvlPCPrepareBitmapEvent(this, &TvlPCCustomPainter::PrepareImageBitmap);
        list->Draw(canvas(), FContentLayout.ImageRect.Left, FContentLayout.ImageRect.Top, enabled, body, imageIndex);
        list->OnPrepareBitmap = nullptr;
    }
    if (!ATab->Caption().isEmpty())
        drawCaption(ATab, AVisibleIndex, body, enabled);
    ExcludeTabContent(AVisibleIndex);
}

void TvlPCCustomPainter::DrawTabText(TvlCanvas* ACanvas, const String& AText, int, const TRect& R)
{
    TRect r = R;
    DrawTextOnCanvas(ACanvas->Canvas(), AText, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT | DT_TOP,
                     ACanvas->Font()->Color());
}

// ---- TvlPCTabControlCore ---------------------------------------------------------

TvlPCTabControlCore::TvlPCTabControlCore()
    : FTabSlants(std::make_unique<TvlTabSlants>()), FImageList(std::make_unique<TvlPCImageList>(this)),
      FTabs(std::make_unique<TvlTabs>(this))
{
}

TvlPCTabControlCore::~TvlPCTabControlCore()
{
    FPainter.reset();
    FTabs.reset();
}

void TvlPCTabControlCore::SetPainter(std::unique_ptr<TvlPCCustomPainter> APainter)
{
    FPainter = std::move(APainter);
}

int TvlPCTabControlCore::GetTabImageIndex(int ATabIndex) const
{
    int index = FTabs->GetTab(ATabIndex)->RawImageIndex();
    if (index < 0)
        return -1;
    const TImageList* images = FImageList->BaseImages();
    if (images == nullptr || images->Width() <= 0 || images->Height() <= 0 || index >= images->Count())
        return -1;
    return index;
}

void TvlPCTabControlCore::PrepareTabCanvasFont(TvlTab* ATab, TvlCanvas* ACanvas)
{
    if (Font() != nullptr)
        ACanvas->SetFont(Font());
    if (FPainter != nullptr) {
        const int v = ATab->VisibleIndex();
        if (v != -1)
            ACanvas->Font()->SetColor(FPainter->GetTabTextColor(v));
    }
}

int TvlPCTabControlCore::GetTabCaptionWidth(const String& ACaption)
{
    if (ACaption.isEmpty())
        return 0;
    TvlCanvas* c = Canvas();
    if (Font() != nullptr)
        c->SetFont(Font());
    return c->TextWidth(ACaption);
}

void TvlPCTabControlCore::RecalculateLayout()
{
    if (IsLoading() || FLayoutRunning || FPainter == nullptr)
        return;
    FLayoutRunning = true;
    try {
        if (FMainTab >= FVisibleTabList.Count())
            FMainTab = -1;
        FPainter->PrepareLayout();
        FMaxRotatedTabWidth = std::max(FMaxRotatedTabWidth, 0);
        FTabs->DropCaptionBitmaps();
        CalculateLayout();
        static constexpr TvlRotationAngle angles[3] = {ra0, raPlus90, raMinus90};
        FImageList->SetRotationAngle(angles[captionKind()]);
    } catch (...) {
        FLayoutRunning = false;
        throw;
    }
    FLayoutRunning = false;
    InvalidateRect(Rect(0, 0, Width(), Height()));
}

void TvlPCTabControlCore::UpdateNavigatorButtonStates()
{
    auto set = [&](TvlPCNavigatorButton b, bool enabled) {
        TvlPCNavigatorButtonState& s = FNavigatorButtonStates[size_t(b)];
        if (!enabled)
            s = nbsDisabled;
        else if (s == nbsDisabled)
            s = nbsNormal;
    };
    const int n = FVisibleTabList.Count();
    set(nbTopLeft, FFirstVisibleTab > 0);
    set(nbBottomRight, n > 0 && !(FLastVisibleTab == n - 1 && FIsLastTabFullyVisible));
}

bool TvlPCTabControlCore::IsTabVisibleInRange(int AVisibleIndex) const
{
    return AVisibleIndex >= FFirstVisibleTab && AVisibleIndex <= FLastVisibleTab;
}

bool TvlPCTabControlCore::isVerticalText() const
{
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    return sides != FRotate;
}

int TvlPCTabControlCore::captionKind() const
{
    if (!isVerticalText())
        return 0;
    return FOptions.Contains(pcoTopToBottomText) ? 2 : 1;
}

bool TvlPCTabControlCore::isReversedRow() const
{
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    const bool topToBottom = FOptions.Contains(pcoTopToBottomText);
    return sides ? (!FRotate && !topToBottom) : (FRotate && topToBottom);
}

int TvlPCTabControlCore::tabGap() const
{
    TPoint d;
    FPainter->GetTabsDistance(d);
    return FRotate ? d.Y : d.X;
}

int TvlPCTabControlCore::rowGap() const
{
    TPoint d;
    FPainter->GetTabsDistance(d);
    return FRotate ? d.X : d.Y;
}

TvlPCNavigatorButtons TvlPCTabControlCore::GetNavigatorButtonsFor(bool AAllTabsFit) const
{
    TvlPCNavigatorButtons result;
    if (FMultiLine)
        return result;
    if (FOptions.Contains(pcoCloseButton))
        result += TvlPCNavigatorButtons{nbClose};
    if (!AAllTabsFit && !FOptions.Contains(pcoNoArrows))
        result += TvlPCNavigatorButtons{nbTopLeft, nbBottomRight};
    if (FOptions.Contains(pcoGoDialog) && (!AAllTabsFit || FOptions.Contains(pcoAlwaysShowGoDialogButton)))
        result += TvlPCNavigatorButtons{nbGoDialog};
    return result;
}

void TvlPCTabControlCore::CalculateTabsArea(TvlPCNavigatorButtons AButtons)
{
    FVisibleNavigatorButtons = AButtons;
    FTabsArea = TvlPCTabsArea();
    FPainter->CalculateTabsArea(AButtons, FTabsArea);
    for (TvlPCNavigatorButton b : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose}) {
        TvlPCNavigatorButtonState& s = FNavigatorButtonStates[size_t(b)];
        if (!AButtons.Contains(b) && (s == nbsHot || s == nbsPressed))
            s = nbsNormal;
    }
}

void TvlPCTabControlCore::calculateTabNormalSizes()
{
    FTabs->SetTabNormalHeight(FPainter->CalculateTabNormalHeight());
    for (int i = 0; i < FTabs->Count(); ++i) {
        TvlTab* t = FTabs->GetTab(i);
        t->FNormalWidth = t->Visible() ? FPainter->CalculateTabNormalWidth(t) : 0;
    }
}

void TvlPCTabControlCore::calculateRowHeight()
{
    FWidestRotatedCaption = 0;
    if (!FRotate) {
        FRowHeight = FTabs->TabNormalHeight();
        return;
    }
    FRowHeight = 0;
    const int n = FVisibleTabList.Count();
    const bool all = FOptions.Contains(pcoFixedTabWidthWhenRotated) || FMultiLine;
    int widest = -1;
    for (int v = 0; v < n; ++v) {
        if (!all && !IsTabVisibleInRange(v))
            continue;
        const TvlTab* t = FVisibleTabList.GetTab(v);
        if (widest == -1 || t->NormalWidth() > FVisibleTabList.GetTab(widest)->NormalWidth())
            widest = v;
    }
    if (widest == -1)
        return;
    FRowHeight = FVisibleTabList.GetTab(widest)->NormalWidth();
    if (FMaxRotatedTabWidth >= 1 && FMaxRotatedTabWidth >= FPainter->GetMinTabWidth(-1))
        FRowHeight = std::min(FRowHeight, FMaxRotatedTabWidth);
    FWidestRotatedCaption = GetTabCaptionWidth(FVisibleTabList.GetTab(widest)->Caption());
}

void TvlPCTabControlCore::placeTabs(int AFirst, int ALast, bool AAllowPartial)
{
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    const int B = sides ? FTabsArea.RowsRect.Top : FTabsArea.RowsRect.Left;
    const int E = B + FTabsArea.RowLength - 1;
    const bool reversed = isReversedRow();
    const int gap = tabGap();
    int P = reversed ? E : B;
    int far = P;
    int lastPlaced = -1;
    for (int v = AFirst; v <= ALast; ++v) {
        TvlTab* t = FVisibleTabList.GetTab(v);
        FLastVisibleTab = v;
        lastPlaced = v;
        const int L = t->LengthAlongRow();
        int pos;
        if (!reversed) {
            pos = P;
            far = P + L - 1;
            P = far + gap + 1;
        } else {
            pos = P - L + 1;
            far = pos;
            P = pos - gap - 1;
        }
        (sides ? t->FNormalPosition.Y : t->FNormalPosition.X) = pos;
        if (!AAllowPartial && (P < B || P > E))
            break;
    }
    FIsLastTabFullyVisible = lastPlaced == ALast && far >= B && far <= E;
}

void TvlPCTabControlCore::setBandsAlongExtent()
{
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    if (sides) {
        FLeadingBandRect.Top = FTrailingBandRect.Top = FTabsArea.BandsRect.Top;
        FLeadingBandRect.Bottom = FTrailingBandRect.Bottom = FTabsArea.BandsRect.Bottom;
    } else {
        FLeadingBandRect.Left = FTrailingBandRect.Left = FTabsArea.BandsRect.Left;
        FLeadingBandRect.Right = FTrailingBandRect.Right = FTabsArea.BandsRect.Right;
    }
}

void TvlPCTabControlCore::CalculateLayout()
{
    const int n = FVisibleTabList.Count();
    FLeadingBandRect = TRect();
    FTrailingBandRect = TRect();
    if (n > 0) {
        if (FFirstVisibleTab == -1)
            FFirstVisibleTab = 0;
        if (FFirstVisibleTab >= n)
            FFirstVisibleTab = n - 1;
    }
    FLastVisibleTab = FFirstVisibleTab;
    for (int* index : {&FHotTab, &FMainTab, &FPressedTab})
        if (*index >= n)
            *index = -1;
    FRowCount = 0;
    FLeadingRowCount = 0;
    if (FTabIndex >= FTabs->Count())
        FTabIndex = FTabs->Count() - 1;
    if (n == 0) {
        CalculateTabsArea({});
        return;
    }
    calculateTabNormalSizes();
    if (FMultiLine)
        multiRowLayout();
    else
        singleRowLayout();
}

void TvlPCTabControlCore::fitSingleRow()
{
    const int n = FVisibleTabList.Count();
    const int kept = FFirstVisibleTab;
    FFirstVisibleTab = 0;
    CalculateTabsArea(GetNavigatorButtonsFor(true));
    if (FTabsArea.RowLength < 1)
        return;
    placeTabs(0, n - 1, true);
    if (!FIsLastTabFullyVisible) {
        FFirstVisibleTab = std::clamp(kept, 0, n - 1);
        CalculateTabsArea(GetNavigatorButtonsFor(false));
        if (FTabsArea.RowLength < 1)
            return;
        placeTabs(FFirstVisibleTab, n - 1, false);
        if (FIsLastTabFullyVisible && FLastVisibleTab == n - 1) {
            while (FFirstVisibleTab > 0) {
                --FFirstVisibleTab;
                placeTabs(FFirstVisibleTab, n - 1, false);
                if (!(FIsLastTabFullyVisible && FLastVisibleTab == n - 1)) {
                    ++FFirstVisibleTab;
                    placeTabs(FFirstVisibleTab, n - 1, false);
                    break;
                }
            }
        }
    }
    setBandsAlongExtent();
    UpdateNavigatorButtonStates();
}

void TvlPCTabControlCore::singleRowLayout()
{
    FRowCount = 1;
    FLeadingRowCount = (FTabPosition == tpTop || FTabPosition == tpLeft) ? 1 : 0;
    fitSingleRow();
    if (FTabsArea.RowLength < 1)
        return;
    for (int v = FFirstVisibleTab; v <= FLastVisibleTab; ++v) {
        TvlTab* t = FVisibleTabList.GetTab(v);
        t->FRow = 0;
        t->FVisibleRow = 0;
    }
    calculateRowHeight();
    calculateAcrossPositions();
}

int TvlPCTabControlCore::lineLength(const TvlPCLineIndexBounds& ARow) const
{
    int sum = 0;
    for (int v = ARow.Left; v <= ARow.Right; ++v)
        sum += FVisibleTabList.GetTab(v)->LengthAlongRow();
    return sum + tabGap() * (ARow.Right - ARow.Left);
}

void TvlPCTabControlCore::balanceRun(int AFirstTab, int ALastTab, int AFirstRow)
{
    if (FRotate && FRaggedRight)
        return;
    TvlPCLineIndexBoundsArray rows;
    for (int v = AFirstTab; v <= ALastTab; ++v) {
        const int r = FVisibleTabList.GetTab(v)->FRow - AFirstRow;
        if (r >= int(rows.size()))
            rows.push_back({v, v});
        else
            rows[size_t(r)].Right = v;
    }
    const float R = float(FTabsArea.RowLength);
    auto deviation = [&](const TvlPCLineIndexBounds& row) {
        const float d = R - float(lineLength(row));
        return d * d;
    };
    auto total = [&](const TvlPCLineIndexBoundsArray& a) {
        float s = 0;
        for (const auto& row : a)
            s += deviation(row);
        return s;
    };
    // A shift never empties the row it takes a tab from: a row without tabs
    // has no length to share out.
    auto tryShift = [&](TvlPCLineIndexBoundsArray& a, size_t i, bool backward) {
        TvlPCLineIndexBounds row = a[i];
        if (backward) {
            if (i == 0 || a[i - 1].Left == a[i - 1].Right)
                return false;
            --row.Left;
        } else {
            if (i + 1 >= a.size() || a[i + 1].Left == a[i + 1].Right)
                return false;
            ++row.Right;
        }
        if (!(deviation(row) < deviation(a[i])) || lineLength(row) > FTabsArea.RowLength)
            return false;
        a[i] = row;
        if (backward)
            --a[i - 1].Right;
        else
            ++a[i + 1].Left;
        return true;
    };
    auto tailPass = [&]() {
        const float t0 = total(rows);
        TvlPCLineIndexBoundsArray copy = rows;
        size_t cur = copy.size() - 1;
        for (;;) {
            for (;;) {
                const float before = total(copy);
                if (!tryShift(copy, cur, true) || total(copy) > before)
                    break;
            }
            if (total(copy) < t0) {
                rows = copy;
                return true;
            }
            if (cur == 0)
                return false;
            --cur;
        }
    };
    auto simplePass = [&](bool backward) {
        const float current = total(rows);
        for (size_t i = 0; i < rows.size(); ++i) {
            TvlPCLineIndexBoundsArray copy = rows;
            if (tryShift(copy, i, backward) && total(copy) < current) {
                rows = copy;
                return true;
            }
        }
        return false;
    };
    while (tailPass() || simplePass(false) || simplePass(true)) {
    }
    for (size_t r = 0; r < rows.size(); ++r)
        for (int v = rows[r].Left; v <= rows[r].Right; ++v)
            FVisibleTabList.GetTab(v)->FRow = AFirstRow + int(r);
}

void TvlPCTabControlCore::multiRowLayout()
{
    const int n = FVisibleTabList.Count();
    CalculateTabsArea({});
    if (FTabsArea.RowLength < 1)
        return;
    const int R = FTabsArea.RowLength;
    const int G = tabGap();
    FRowCount = 1;
    int used = 0, inRow = 0;
    int runFirst = 0, runFirstRow = 0;
    auto balance = [&](int last) {
        if (last - runFirst + 1 >= 2 && FVisibleTabList.GetTab(last)->FRow > runFirstRow)
            balanceRun(runFirst, last, runFirstRow);
    };
    for (int v = 0; v < n; ++v) {
        TvlTab* t = FVisibleTabList.GetTab(v);
        const int L = t->LengthAlongRow();
        if (L < R) {
            if (used + L > R) {
                ++FRowCount;
                used = L + G;
                inRow = 1;
            } else {
                used += L + G;
                ++inRow;
            }
            t->FRow = FRowCount - 1;
        } else {
            if (inRow > 0) {
                ++FRowCount;
                used = 0;
                inRow = 0;
            }
            if (v > runFirst)
                balance(v - 1);
            if (!FRotate && FPainter->GetMinTabWidth(v) < R)
                t->FNormalWidth = R;
            t->FRow = FRowCount - 1;
            if (v < n - 1) {
                ++FRowCount;
                used = 0;
                inRow = 0;
            }
            runFirst = v + 1;
            runFirstRow = FRowCount - 1;
        }
    }
    if (runFirst < n)
        balance(n - 1);

    FFirstVisibleTab = 0;
    if (FRowCount == 1)
        fitSingleRow();
    else {
        CalculateTabsArea({});
        std::vector<TvlPCLineIndexBounds> lines(size_t(FRowCount), {-1, -1});
        for (int v = 0; v < n; ++v) {
            TvlPCLineIndexBounds& line = lines[size_t(FVisibleTabList.GetTab(v)->FRow)];
            if (line.Left == -1)
                line.Left = v;
            line.Right = v;
        }
        for (const TvlPCLineIndexBounds& line : lines) {
            if (line.Left == -1)
                continue;
            const int spare = R - lineLength(line);
            if (!FRotate && !FRaggedRight && spare > 0) {
                int sum = 0;
                for (int v = line.Left; v <= line.Right; ++v)
                    sum += FVisibleTabList.GetTab(v)->FNormalWidth;
                int given = 0;
                for (int v = line.Left; v < line.Right && sum > 0; ++v) {
                    TvlTab* t = FVisibleTabList.GetTab(v);
                    const int add = t->FNormalWidth * spare / sum;
                    t->FNormalWidth += add;
                    given += add;
                }
                FVisibleTabList.GetTab(line.Right)->FNormalWidth += spare - given;
            }
            placeTabs(line.Left, line.Right, false);
        }
        FLastVisibleTab = n - 1;
        FIsLastTabFullyVisible = true;
    }
    setBandsAlongExtent();
    calculateRowHeight();
    UpdateRowOrder();
}

void TvlPCTabControlCore::UpdateRowOrder()
{
    const int n = FVisibleTabList.Count();
    if (FRowCount == 0 || n == 0)
        return;
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    const bool topToBottom = FOptions.Contains(pcoTopToBottomText);
    const bool reversedRows = sides ? ((!FRotate && topToBottom) != (FTabPosition == tpRight))
                                    : ((FRotate && !topToBottom) != (FTabPosition == tpBottom));
    for (int v = 0; v < n; ++v) {
        TvlTab* t = FVisibleTabList.GetTab(v);
        t->FVisibleRow = reversedRows ? FRowCount - 1 - t->FRow : t->FRow;
    }
    FLeadingRowCount = FRowCount;
    if (FMainTab >= 0 && FMainTab < n) {
        const int mainRow = FVisibleTabList.GetTab(FMainTab)->FVisibleRow;
        if (FScrollOpposite)
            FLeadingRowCount = mainRow + 1;
        else if (FPainter->IsTabStyle())
            for (int v = 0; v < n; ++v) {
                TvlTab* t = FVisibleTabList.GetTab(v);
                t->FVisibleRow = (t->FVisibleRow + FRowCount - mainRow - 1) % FRowCount;
            }
    }
    if (FTabPosition == tpBottom || FTabPosition == tpRight) {
        for (int v = 0; v < n; ++v) {
            TvlTab* t = FVisibleTabList.GetTab(v);
            t->FVisibleRow = FRowCount - 1 - t->FVisibleRow;
        }
        FLeadingRowCount = FRowCount - FLeadingRowCount;
    }
    calculateAcrossPositions();
}

void TvlPCTabControlCore::calculateAcrossPositions()
{
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    const int H = FRowHeight, g = rowGap(), n = FRowCount, k = FLeadingRowCount;
    const TRect& rr = FTabsArea.RowsRect;
    const TRect& br = FTabsArea.BandsRect;
    const int S = sides ? rr.Left : rr.Top, E = sides ? rr.Right : rr.Bottom;
    const int BS = sides ? br.Left : br.Top, BE = sides ? br.Right : br.Bottom;
    const int count = FVisibleTabList.Count();
    for (int v = 0; v < count; ++v) {
        TvlTab* t = FVisibleTabList.GetTab(v);
        const int vr = t->FVisibleRow;
        const int pos = vr < k ? S + vr * (H + g) : E - (n - vr) * H - (n - vr - 1) * g;
        (sides ? t->FNormalPosition.X : t->FNormalPosition.Y) = pos;
        TvlPCTabBoundsCorrection c;
        FPainter->GetTabCorrection(v, c);
        t->FBoundsCorrection = c;
    }
    int leadingInner = std::min(BE, k * (H + g) + S + FTabsArea.LeadingBandInnerOffset - g);
    int trailingInner = std::max(BS, E + g + FTabsArea.TrailingBandInnerOffset - (n - k) * (H + g));
    if (k > 0 && k < n) {
        if (FTabPosition == tpTop || FTabPosition == tpLeft)
            trailingInner = std::min(BE, std::max(trailingInner, leadingInner + FTabsArea.MinBandsDistance));
        else
            leadingInner = std::max(BS, std::min(leadingInner, trailingInner - FTabsArea.MinBandsDistance));
    }
    if (sides) {
        FLeadingBandRect.Left = BS;
        FLeadingBandRect.Right = leadingInner;
        FTrailingBandRect.Left = trailingInner;
        FTrailingBandRect.Right = BE;
    } else {
        FLeadingBandRect.Top = BS;
        FLeadingBandRect.Bottom = leadingInner;
        FTrailingBandRect.Top = trailingInner;
        FTrailingBandRect.Bottom = BE;
    }
}

void TvlPCTabControlCore::MakeTabVisible(int AVisibleIndex)
{
    if (AVisibleIndex < FFirstVisibleTab) {
        FFirstVisibleTab = AVisibleIndex;
        return;
    }
    if (AVisibleIndex < FLastVisibleTab || (AVisibleIndex == FLastVisibleTab && FIsLastTabFullyVisible))
        return;
    CalculateTabsArea(FVisibleNavigatorButtons);
    FFirstVisibleTab = AVisibleIndex;
    if (FTabsArea.RowLength < 1)
        return;
    const int gap = tabGap();
    int length = FVisibleTabList.GetTab(AVisibleIndex)->LengthAlongRow();
    while (FFirstVisibleTab > 0) {
        const int add = FVisibleTabList.GetTab(FFirstVisibleTab - 1)->LengthAlongRow() + gap;
        if (length + add > FTabsArea.RowLength)
            break;
        length += add;
        --FFirstVisibleTab;
    }
}

int TvlPCTabControlCore::GetTabsFitLength()
{
    const int n = FVisibleTabList.Count();
    if (n == 0)
        return 0;
    calculateTabNormalSizes();
    CalculateTabsArea(GetNavigatorButtonsFor(true));
    const bool sides = FTabPosition == tpLeft || FTabPosition == tpRight;
    const int B = sides ? FTabsArea.RowsRect.Top : FTabsArea.RowsRect.Left;
    int far = B - 1;
    for (int v = 0; v < n; ++v)
        far += FVisibleTabList.GetTab(v)->LengthAlongRow() + (v > 0 ? tabGap() : 0);
    const int limit = B + FTabsArea.RowLength - 1;
    FIsLastTabFullyVisible = far <= limit;
    return (sides ? Height() : Width()) + far - limit;
}

int TvlPCTabControlCore::GetTabVisibleIndexAt(int X, int Y)
{
    if (FHideTabs || FPainter == nullptr)
        return -1;
    const int n = FVisibleTabList.Count();
    const int first = FMultiLine ? 0 : std::max(FFirstVisibleTab, 0);
    const int last = FMultiLine ? n - 1 : std::min(FLastVisibleTab, n - 1);
    for (int v = first; v <= last && v >= 0; ++v)
        if (PtInRect(FVisibleTabList.GetTab(v)->VisibleBounds(), Point(X, Y)) && FPainter->IsPointInTab(v, X, Y))
            return v;
    return -1;
}

TRect TvlPCTabControlCore::GetDisplayRect()
{
    TRect r;
    FPainter->GetPageArea(r);
    return r;
}
