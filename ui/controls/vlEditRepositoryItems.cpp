#include "ui/controls/vlEditRepositoryItems.h"

#include <algorithm>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"
#include "ui/controls/vlButtonEdit.h"

// ------------------------------------------------------------ items

TvlEditRepositoryTextItem::TvlEditRepositoryTextItem(TComponent* AOwner) : TvlEditRepositoryItem(AOwner)
{
    RecreateProperties();
}

TvlTextEditProperties* TvlEditRepositoryTextItem::Properties() const
{
    return static_cast<TvlTextEditProperties*>(TvlEditRepositoryItem::Properties());
}

std::unique_ptr<TvlCustomEditProperties> TvlEditRepositoryTextItem::CreatePropertiesOfItem()
{
    return std::make_unique<TvlTextEditProperties>(this);
}

const TClassInfo& TvlEditRepositoryTextItem::StaticClassInfo()
{
    using I = TvlEditRepositoryTextItem;
    static const TClassInfo info = TClassInfoBuilder<I>("TvlEditRepositoryTextItem", &TvlEditRepositoryItem::StaticClassInfo())
                                       .Object("Properties", &I::Properties, &I::SetProperties)
                                       .Build();
    return info;
}

TvlEditRepositoryButtonItem::TvlEditRepositoryButtonItem(TComponent* AOwner) : TvlEditRepositoryItem(AOwner)
{
    RecreateProperties();
}

TvlButtonEditProperties* TvlEditRepositoryButtonItem::Properties() const
{
    return static_cast<TvlButtonEditProperties*>(TvlEditRepositoryItem::Properties());
}

void TvlEditRepositoryButtonItem::SetProperties(const TvlButtonEditProperties* Value)
{
    TvlEditRepositoryItem::SetProperties(Value);
}

std::unique_ptr<TvlCustomEditProperties> TvlEditRepositoryButtonItem::CreatePropertiesOfItem()
{
    return std::make_unique<TvlButtonEditProperties>(this);
}

const TClassInfo& TvlEditRepositoryButtonItem::StaticClassInfo()
{
    using I = TvlEditRepositoryButtonItem;
    static const TClassInfo info =
        TClassInfoBuilder<I>("TvlEditRepositoryButtonItem", &TvlEditRepositoryItem::StaticClassInfo())
            .Object("Properties", &I::Properties, &I::SetProperties)
            .Build();
    return info;
}

// ------------------------------------------------------------ registry

TvlEditRegisteredRepositoryItems::~TvlEditRegisteredRepositoryItems()
{
    FDestroying = true;
    Clear();
}

bool TvlEditRegisteredRepositoryItems::Find(const TvlEditRegisteredRepositoryItemsDataArray& AEntries,
                                            intptr_t ADataType, int& AIndex, bool AHighestVersion, int AVersion)
{
    auto less = [&](const TvlEditRegisteredRepositoryItemsData& E) {
        if (E.DataType != ADataType)
            return E.DataType < ADataType;
        return !AHighestVersion && E.Version < AVersion;
    };
    int low = 0, high = int(AEntries.size());
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (less(AEntries[size_t(mid)]))
            low = mid + 1;
        else
            high = mid;
    }
    AIndex = low;
    if (AHighestVersion) {
        while (AIndex + 1 < int(AEntries.size()) && AEntries[size_t(AIndex + 1)].DataType == ADataType)
            ++AIndex;
    }
    if (AIndex >= int(AEntries.size()))
        return false;
    const TvlEditRegisteredRepositoryItemsData& e = AEntries[size_t(AIndex)];
    return e.DataType == ADataType && (AHighestVersion || e.Version == AVersion);
}

int TvlEditRegisteredRepositoryItems::Add(TvlEditRegisteredRepositoryItemsDataArray& AEntries, intptr_t ADataType,
                                          TvlEditRepositoryItem* AItem, int AVersion)
{
    int index = 0;
    if (Find(AEntries, ADataType, index, false, AVersion))
        return index;
    AEntries.insert(AEntries.begin() + index, TvlEditRegisteredRepositoryItemsData{ADataType, AVersion, AItem});
    if (AItem != nullptr)
        AItem->AttachObserver(this);
    Changed();
    return index;
}

void TvlEditRegisteredRepositoryItems::Delete(TvlEditRegisteredRepositoryItemsDataArray& AEntries, int AIndex)
{
    TvlEditRepositoryItem* item = AEntries[size_t(AIndex)].RepositoryItem;
    AEntries.erase(AEntries.begin() + AIndex);
    // An item registered twice keeps the registry listening until the last entry goes.
    auto holds = [item](const TvlEditRegisteredRepositoryItemsData& E) { return E.RepositoryItem == item; };
    if (item != nullptr && std::none_of(FItems.begin(), FItems.end(), holds) &&
        std::none_of(FDefaultItems.begin(), FDefaultItems.end(), holds))
        item->DetachObserver(this);
    Changed();
}

void TvlEditRegisteredRepositoryItems::ItemRemoved(TvlEditRepositoryItem* AItem)
{
    for (TvlEditRegisteredRepositoryItemsDataArray* entries : {&FItems, &FDefaultItems})
        for (int i = int(entries->size()) - 1; i >= 0; --i)
            if ((*entries)[size_t(i)].RepositoryItem == AItem)
                Delete(*entries, i);
}

void TvlEditRegisteredRepositoryItems::PropertiesChanged(TvlEditRepositoryItem*) { Changed(); }

TvlEditRepositoryItem* TvlEditRegisteredRepositoryItems::GetDefaultItem() const
{
    return FDefaultItems.empty() ? nullptr : FDefaultItems.front().RepositoryItem;
}

TvlEditRepositoryItem* TvlEditRegisteredRepositoryItems::GetItem(intptr_t ADataType) const
{
    int index = 0;
    if (Find(FItems, ADataType, index, true, 0))
        return FItems[size_t(index)].RepositoryItem;
    return GetDefaultItem();
}

void TvlEditRegisteredRepositoryItems::RegisterDefaultItem(int AVersion, TvlEditRepositoryItem* AItem)
{
    Add(FDefaultItems, 0, AItem, AVersion);
}

void TvlEditRegisteredRepositoryItems::RegisterItem(intptr_t ADataType, int AVersion, TvlEditRepositoryItem* AItem)
{
    Add(FItems, ADataType, AItem, AVersion);
}

void TvlEditRegisteredRepositoryItems::UnregisterDefaultItem(int AVersion)
{
    int index = 0;
    if (Find(FDefaultItems, 0, index, false, AVersion))
        Delete(FDefaultItems, index);
}

void TvlEditRegisteredRepositoryItems::UnregisterItem(intptr_t ADataType, int AVersion)
{
    int index = 0;
    if (Find(FItems, ADataType, index, false, AVersion))
        Delete(FItems, index);
}

void TvlEditRegisteredRepositoryItems::Clear()
{
    while (!FDefaultItems.empty())
        Delete(FDefaultItems, int(FDefaultItems.size()) - 1);
    while (!FItems.empty())
        Delete(FItems, int(FItems.size()) - 1);
}

// ------------------------------------------------------------ unit

namespace {

struct TRepositoryItemsUnit {
    std::unique_ptr<TvlEditDataRegisteredRepositoryItems> Registry;
    TvlEditRepositoryItem* TextItem = nullptr;  // made by the start-up
    bool Finalized = false;
};

TRepositoryItemsUnit& repositoryItemsUnit()
{
    static TRepositoryItemsUnit unit;
    return unit;
}

template <class T>
void registerItemClass()
{
    RegisterClass(&T::StaticClassInfo(), [](TComponent* AOwner) -> TComponent* { return new T(AOwner); });
}

}  // namespace

TvlEditDataRegisteredRepositoryItems* GetEditDataRegisteredRepositoryItems()
{
    TRepositoryItemsUnit& unit = repositoryItemsUnit();
    if (!unit.Registry && !unit.Finalized)
        unit.Registry = std::make_unique<TvlEditDataRegisteredRepositoryItems>();
    return unit.Registry.get();
}

void AddvlEditRepositoryItemsUnit(TStartupList& AList)
{
    AList.Add(
        QStringLiteral("vlEditRepositoryItems"),
        [] {
            repositoryItemsUnit().Finalized = false;
            registerItemClass<TvlEditRepositoryTextItem>();
            registerItemClass<TvlEditRepositoryButtonItem>();
            // The other value types' defaults (check box, currency and date
            // items) come with their editors.
            TvlEditRepositoryItem* text = GetDefaultEditRepository()->NewItem(
                [](TComponent* AOwner) -> TvlEditRepositoryItem* { return new TvlEditRepositoryTextItem(AOwner); });
            GetEditDataRegisteredRepositoryItems()->RegisterDefaultItem(-1, text);
            repositoryItemsUnit().TextItem = text;
        },
        [] {
            TRepositoryItemsUnit& unit = repositoryItemsUnit();
            // The registry hears of a freed item: it still holds ours only
            // when ours still lives.
            TvlEditRepositoryItem* text =
                unit.Registry && unit.Registry->GetDefaultItem() == unit.TextItem ? unit.TextItem : nullptr;
            unit.TextItem = nullptr;
            if (unit.Registry)
                unit.Registry->UnregisterDefaultItem(-1);
            unit.Registry.reset();
            // Freed with the unit, so a start-up after it does not leave
            // one more item behind in the default repository.
            if (text != nullptr) {
                text->MoveToRepository(nullptr);
                delete text;
            }
            unit.Finalized = true;
            UnRegisterClass(&TvlEditRepositoryButtonItem::StaticClassInfo());
            UnRegisterClass(&TvlEditRepositoryTextItem::StaticClassInfo());
        });
}
