#include "platform/rtl/Collection.h"

#include <utility>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/TypInfo.h"

// ---- TCollectionItem ------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection) : FCollection(Collection) {}

const TClassInfo* TCollectionItem::ClassInfo() const
{
    return &StaticClassInfo();
}

const TClassInfo& TCollectionItem::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TCollectionItem>("TCollectionItem").Build();
    return info;
}

int TCollectionItem::Index() const
{
    if (FCollection == nullptr)
        return -1;
    const auto& items = FCollection->FItems;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this)
            return static_cast<int>(i);
    return -1;
}

void TCollectionItem::SetIndex(int Value)
{
    const int current = Index();
    if (current < 0 || current == Value)
        return;
    FCollection->moveItem(current, Value);
    Changed(true);
}

void TCollectionItem::SetDisplayName(const String&)
{
    Changed(false);
}

String TCollectionItem::GetNamePath() const
{
    if (FCollection == nullptr)
        return ClassName();
    return FCollection->GetNamePath() + u'[' + String::number(Index()) + u']';
}

void TCollectionItem::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TCollectionItem*>(Source);
    if (source != nullptr && source->ClassInfo() != nullptr && ClassInfo() != nullptr
        && (source->ClassInfo()->InheritsFrom(ClassInfo()) || ClassInfo()->InheritsFrom(source->ClassInfo()))) {
        AssignPublishedProps(this, source);
        Changed(false);
        return;
    }
    TPersistent::Assign(Source);
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection != nullptr && FCollection->FUpdateCount == 0 && Index() >= 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const
{
    return FCollection;
}

// ---- TCollection ------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection()
{
    // A descendant's Update must not run while the object is half destroyed.
    FUpdateCount = 1;
    FItems.clear();
}

const TClassInfo* TCollection::ClassInfo() const
{
    return &StaticClassInfo();
}

const TClassInfo& TCollection::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TCollection>("TCollection").Build();
    return info;
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(LoadResString(RtlConsts::SListIndexError), {Index});
    return FItems[static_cast<size_t>(Index)].get();
}

TCollectionItem* TCollection::Add()
{
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError(LoadResString(RtlConsts::SListIndexError), {Index});
    std::unique_ptr<TCollectionItem> item = FItemClass(this);
    item->FCollection = this;
    item->FID = FNextID++;
    TCollectionItem* result = item.get();
    FItems.insert(FItems.begin() + Index, std::move(item));
    Changed();
    return result;
}

void TCollection::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EListError(LoadResString(RtlConsts::SListIndexError), {Index});
    // Out of the list before it is freed, so its destructor finds no Index.
    std::unique_ptr<TCollectionItem> item = std::move(FItems[static_cast<size_t>(Index)]);
    FItems.erase(FItems.begin() + Index);
    item.reset();
    Changed();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty()) {
        std::unique_ptr<TCollectionItem> last = std::move(FItems.back());
        FItems.pop_back();
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (const auto& item : FItems)
        if (item->FID == ID)
            return item.get();
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TCollection*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const auto& item : source->FItems)
            Add()->Assign(item.get());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TCollection::GetNamePath() const
{
    const TPersistent* owner = GetOwner();
    if (owner == nullptr)
        return ClassName();
    const String ownerPath = owner->GetNamePath();
    if (ownerPath.isEmpty())
        return ClassName();
    for (const TPropInfo* p : GetPropList(owner, TTypeKinds{tkClass}))
        if (GetObjectProp(owner, p) == this)
            return ownerPath + u'.' + p->Name;
    return ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::moveItem(int From, int To)
{
    if (To < 0 || To >= Count())
        throw EListError(LoadResString(RtlConsts::SListIndexError), {To});
    std::unique_ptr<TCollectionItem> item = std::move(FItems[static_cast<size_t>(From)]);
    FItems.erase(FItems.begin() + From);
    FItems.insert(FItems.begin() + To, std::move(item));
}
