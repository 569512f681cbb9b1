#include "ui/foundation/vlClasses.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <cstring>

#include "platform/controls/AppEventHooks.h"
#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"

String GetResourceString(const TResStringRec& AResString) { return LoadResString(AResString); }

// ---- base classes --------------------------------------------------------------

TvlComponent::~TvlComponent() { ClearObjectLinks(this); }

TvlOwnedInterfacedCollection::~TvlOwnedInterfacedCollection() { FDestroying = true; }

void TvlOwnedInterfacedCollection::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    if (FSorted)
        Sort();
}

int TvlOwnedInterfacedCollection::CompareItems(TCollectionItem* AItem1, TCollectionItem* AItem2)
{
    const int d = AItem1->Index() - AItem2->Index();
    return (d > 0) - (d < 0);
}

void TvlOwnedInterfacedCollection::Sort()
{
    if (UpdateCount() != 0 || FSorting)
        return;
    FSorting = true;
    std::vector<TCollectionItem*> items;
    for (int i = 0; i < Count(); ++i)
        items.push_back(Items(i));
    const std::vector<int> order = StableSortOrder(Count(), [&](int a, int b) {
        return (OnCompare ? OnCompare(this, items[size_t(a)], items[size_t(b)])
                          : CompareItems(items[size_t(a)], items[size_t(b)])) < 0;
    });
    BeginUpdate();
    try {
        for (size_t i = 0; i < order.size(); ++i)
            items[size_t(order[i])]->SetIndex(int(i));
        EndUpdate();
    } catch (...) {
        EndUpdate();
        FSorting = false;
        throw;
    }
    FSorting = false;
}

void TvlOwnedInterfacedCollection::Update(TCollectionItem* Item)
{
    if (FUpdating)
        return;
    FUpdating = true;
    try {
        if (FSorted && Item == nullptr)
            Sort();
        TOwnedCollection::Update(Item);
        if (!FDestroying && OnChange)
            OnChange(this, Item);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

// ---- lists ------------------------------------------------------------------

TvlObjectList::~TvlObjectList() { Clear(); }

void TvlObjectList::Clear()
{
    if (FOwnObjects)
        for (int i = 0; i < Count(); ++i)
            delete Items(i);
    TList::Clear();
}

void TvlOpenList::SetItems(int Index, void* Item)
{
    if (Count() < Index + 1)
        SetCount(Index + 1);
    TList::SetItems(Index, Item);
}

void TvlStringList::Sort()
{
    if (OnCompare)
        CustomSort(OnCompare);
    else
        TStringList::Sort();
}

TvlMRUItems::~TvlMRUItems() { Clear(); }

void TvlMRUItems::Add(std::unique_ptr<TvlMRUItem> AItem)
{
    const int i = IndexOf(AItem.get());
    if (i < 0) {
        FItems.insert(FItems.begin(), std::move(AItem));
        trim();
        return;
    }
    auto kept = std::move(FItems[size_t(i)]);
    FItems.erase(FItems.begin() + i);
    FItems.insert(FItems.begin(), std::move(kept));
}

int TvlMRUItems::IndexOf(const TvlMRUItem* AItem) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->Equals(AItem))
            return int(i);
    return -1;
}

void TvlMRUItems::Delete(int AIndex)
{
    if (AIndex < 0 || AIndex >= Count())
        throw EListError(LoadResStringFmt(RtlConsts::SListIndexError, {AIndex}));
    FItems.erase(FItems.begin() + AIndex);
}

void TvlMRUItems::Clear()
{
    while (!FItems.empty())
        FItems.pop_back();
}

void TvlMRUItems::SetMaxCount(int Value)
{
    Value = std::max(0, Value);
    if (Value == FMaxCount)
        return;
    FMaxCount = Value;
    trim();
}

void TvlMRUItems::trim()
{
    while (FMaxCount != 0 && Count() > FMaxCount)
        FItems.pop_back();
}

// ---- class registries ---------------------------------------------------------

namespace {

bool inheritsFrom(TvlClass c, TvlClass ancestor)
{
    return c != nullptr && ancestor != nullptr && c->InheritsFrom(ancestor);
}

}  // namespace

bool TvlRegisteredClassList::Find(TvlClass AItemClass, int& AIndex) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        const TvlClass item = FItems[size_t(i)].first;
        if (inheritsFrom(AItemClass, item)) {
            AIndex = i;
            return true;
        }
        if (inheritsFrom(item, AItemClass))
            AIndex = i;
    }
    return false;
}

TvlClass TvlRegisteredClassList::FindClass(TvlClass AItemClass) const
{
    int index = -1;
    return Find(AItemClass, index) ? FItems[size_t(index)].second : nullptr;
}

void TvlRegisteredClassList::Register(TvlClass AItemClass, TvlClass ARegisteredClass)
{
    int index = -1;
    if (Find(AItemClass, index))
        FItems.insert(FItems.begin() + index + 1, {AItemClass, ARegisteredClass});
    else if (index == -1)
        FItems.push_back({AItemClass, ARegisteredClass});
    else
        FItems.insert(FItems.begin() + index, {AItemClass, ARegisteredClass});
}

void TvlRegisteredClassList::Unregister(TvlClass AItemClass, TvlClass ARegisteredClass)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (FItems[size_t(i)].first == AItemClass && FItems[size_t(i)].second == ARegisteredClass)
            FItems.erase(FItems.begin() + i);
}

void TvlRegisteredClasses::Register(TvlClass AClass, const String& ARegistrationText,
                                    std::function<TPersistent*(TComponent*)> AFactory)
{
    if (IndexOf(AClass) >= 0)
        return;
    FItems.push_back({ARegistrationText, AClass});
    if (FSorted)
        Sort();
    if (FRegisterClasses)
        RegisterClass(AClass, std::move(AFactory));
}

void TvlRegisteredClasses::Unregister(TvlClass AClass)
{
    const int i = IndexOf(AClass);
    if (i >= 0)
        FItems.erase(FItems.begin() + i);
}

String TvlRegisteredClasses::GetDescription(int Index) const
{
    const String& text = FItems.at(size_t(Index)).Text;
    const qsizetype bar = text.indexOf(u'|');
    return bar < 0 ? text : text.left(bar);
}

TvlClass TvlRegisteredClasses::FindByClassName(const String& AName) const
{
    for (const TItem& item : FItems)
        if (item.Class != nullptr && item.Class->ClassName == AName)
            return item.Class;
    return nullptr;
}

int TvlRegisteredClasses::IndexOf(TvlClass AClass) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Class == AClass)
            return int(i);
    return -1;
}

void TvlRegisteredClasses::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    FSorted = Value;
    if (FSorted)
        Sort();
}

int TvlRegisteredClasses::CompareItems(int AIndex1, int AIndex2) const
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int r = collator.compare(GetDescription(AIndex1), GetDescription(AIndex2));
    return (r > 0) - (r < 0);
}

void TvlRegisteredClasses::Sort()
{
    const std::vector<int> order = StableSortOrder(Count(), [&](int a, int b) { return CompareItems(a, b) < 0; });
    std::vector<TItem> sorted;
    sorted.reserve(FItems.size());
    for (int i : order)
        sorted.push_back(FItems[size_t(i)]);
    FItems = std::move(sorted);
}

// ---- auto width ---------------------------------------------------------------

TvlAutoWidthItem* TvlAutoWidthObject::AddItem()
{
    FItems.push_back(std::make_unique<TvlAutoWidthItem>());
    return FItems.back().get();
}

int TvlAutoWidthObject::Width() const
{
    int w = 0;
    for (const auto& item : FItems)
        w += item->Width;
    return w;
}

void TvlAutoWidthObject::Calculate()
{
    int A = FAvailableWidth;
    int W = Width();
    int NA = A, NW = W;
    for (auto& item : FItems)
        item->AutoWidth = -1;
    for (auto& item : FItems)
        if (item->Fixed) {
            item->AutoWidth = item->Width;
            NA -= item->AutoWidth;
            NW -= item->Width;
        }
    bool assignAll = false;
    bool dropped = false;
    // When every width left is 0, MulDiv's answer for a zero divisor (-1)
    // makes every share 0: the loop still ends, nothing divides by zero.
    do {
        A = NA;
        W = NW;
        int offset = 0;
        dropped = false;
        for (auto& item : FItems) {
            if (item->AutoWidth != -1)
                continue;
            const int share = MulDiv(offset + item->Width, A, W) - MulDiv(offset, A, W);
            if (assignAll) {
                item->AutoWidth = share;
            } else if (item->MinWidth >= share) {
                item->AutoWidth = item->MinWidth;
                NA -= item->MinWidth;
                NW -= item->Width;
                dropped = true;
            }
            offset += item->Width;
        }
        if (!dropped)
            assignAll = !assignAll;
    } while (NW != 0 && (dropped || assignAll));
}

// ---- object links and free notifications -------------------------------------------

namespace {

// The link controller: the live links, and how many were handed out.
struct TLinkController {
    std::vector<TvlObjectLink*> Links;
};
std::unique_ptr<TLinkController>& linkController()
{
    static std::unique_ptr<TLinkController> controller;
    return controller;
}
int& linkHolders()
{
    static int count = 0;
    return count;
}

}  // namespace

TvlObjectLink* AddObjectLink(TObject* AObject)
{
    if (AObject == nullptr)
        return nullptr;
    ++linkHolders();
    if (linkController() == nullptr)
        linkController() = std::make_unique<TLinkController>();
    auto* link = new TvlObjectLink;  // owned by the caller until RemoveObjectLink
    link->Ref = AObject;
    linkController()->Links.push_back(link);
    return link;
}

void RemoveObjectLink(TvlObjectLink* ALink)
{
    if (ALink == nullptr)
        return;
    if (linkController() != nullptr && ALink->Ref != nullptr)
        std::erase(linkController()->Links, ALink);
    delete ALink;
    if (--linkHolders() <= 0) {
        linkHolders() = 0;
        linkController().reset();
    }
}

void ClearObjectLinks(TObject* AObject)
{
    if (linkController() == nullptr)
        return;
    std::erase_if(linkController()->Links, [AObject](TvlObjectLink* link) {
        if (link->Ref != AObject)
            return false;
        link->Ref = nullptr;
        return true;
    });
}

int ObjectLinkCount() { return linkHolders(); }

void TvlFreeNotificator::AddSender(TComponent* AComponent)
{
    if (AComponent != nullptr)
        AComponent->FreeNotification(this);
}

void TvlFreeNotificator::RemoveSender(TComponent* AComponent)
{
    if (AComponent != nullptr)
        AComponent->RemoveFreeNotification(this);
}

void TvlFreeNotificator::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && OnFreeNotification.Assigned())
        OnFreeNotification(AComponent);
}

// ---- routines -----------------------------------------------------------------

void CallNotifyEvent(TObject* Sender, const TNotifyEvent& AEvent)
{
    if (AEvent.Assigned())
        AEvent(Sender);
}

void CopyListItems(const TList* ASource, TList* ADest)
{
    ADest->SetCount(ASource->Count());
    for (int i = 0; i < ASource->Count(); ++i)
        ADest->SetItems(i, ASource->Items(i));
}

void RenameSubComponents(TComponent* AComponent, TComponent* AOwner, const String& ANewName,
                         const TvlGetSubComponentProc& AGetSubComponent, int ACount, const String& AOldName)
{
    if (AComponent->ComponentState().Contains(csAncestor))
        return;
    for (int i = 0; i < ACount; ++i) {
        TComponent* c = AGetSubComponent(AComponent, i);
        if (c == nullptr || c->Owner() != AOwner || c->Name().size() <= AOldName.size() ||
            CompareText(c->Name().left(AOldName.size()), AOldName) != 0)
            continue;
        try {
            c->SetName(ANewName + c->Name().mid(AOldName.size()));
        } catch (const EComponentError&) {
            // a duplicate or invalid name: the sub-component keeps its name
        }
    }
}

int RoundDiv(int A, int B)
{
    // A true ceiling: the truncated quotient moves up only when the exact
    // quotient is positive and not whole.
    const int q = A / B;
    return (A % B != 0 && ((A < 0) == (B < 0))) ? q + 1 : q;
}

TSize MakeSize(int cx, int cy) { return {cx, cy}; }

int GetRangeCenter(int ABound1, int ABound2)
{
    const int sum = ABound1 + ABound2;
    return sum > 0 ? sum / 2 : (sum - 1) / 2;
}

bool StreamsEqual(TMemoryStream* AStream1, TMemoryStream* AStream2)
{
    return AStream1->Size() == AStream2->Size() &&
           std::memcmp(AStream1->Memory(), AStream2->Memory(), size_t(AStream1->Size())) == 0;
}

int GetSign(double AValue) { return AValue >= 0 ? 1 : -1; }

int CharSizeAt(const String& S, int APosition)
{
    const int i = APosition - 1;
    if (i < 0 || i >= S.size())
        return 0;
    return (S[i].isHighSurrogate() && i + 1 < S.size() && S[i + 1].isLowSurrogate()) ? 2 : 1;
}

void InstallThreadHook(int& AHook, int AHookId, TvlHookProc AHookProc)
{
    (void)AHookId;  // one kind of hook here: every event of the application
    if (AHook != 0)
        throw Exception(QStringLiteral("Assertion failure (vlClasses)"));
    AHook = AddAppEventHook(std::move(AHookProc));
}

void RemoveThreadHook(int& AHook)
{
    if (AHook == 0)
        return;
    RemoveAppEventHook(AHook);
    AHook = 0;
}
