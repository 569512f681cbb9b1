// vlEditRepositoryItems.h - the repository items of the editor kinds, and
// the registry that answers which editor a column gets by default for a
// value of a given type (the highest registered version wins; a type with
// nothing registered gets the default item, the text item).
#pragma once
#include <cstdint>
#include <vector>

#include "ui/data/vlDataStorage.h"
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlTextEdit.h"

class TStartupList;
class TvlButtonEditProperties;

// A repository item holding text editor properties.
class TvlEditRepositoryTextItem : public TvlEditRepositoryItem {
public:
    explicit TvlEditRepositoryTextItem(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlEditRepositoryTextItem"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlTextEditProperties* Properties() const;
    void SetProperties(const TvlTextEditProperties* Value) { TvlEditRepositoryItem::SetProperties(Value); }

protected:
    std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem() override;
};

// A repository item holding button editor properties.
class TvlEditRepositoryButtonItem : public TvlEditRepositoryItem {
public:
    explicit TvlEditRepositoryButtonItem(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlEditRepositoryButtonItem"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlButtonEditProperties* Properties() const;
    void SetProperties(const TvlButtonEditProperties* Value);

protected:
    std::unique_ptr<TvlCustomEditProperties> CreatePropertiesOfItem() override;
};

// One registered item: a data type (0 for the default entries), a version.
struct TvlEditRegisteredRepositoryItemsData {
    intptr_t DataType = 0;
    int Version = 0;
    TvlEditRepositoryItem* RepositoryItem = nullptr;  // not owned
};
using TvlEditRegisteredRepositoryItemsDataArray = std::vector<TvlEditRegisteredRepositoryItemsData>;

// Items by data type and version, each list kept sorted by (data type,
// version). The registry listens to its items and forgets one as it is
// freed.
class TvlEditRegisteredRepositoryItems : public TvlInterfacedPersistent, public IvlEditRepositoryItemObserver {
public:
    TvlEditRegisteredRepositoryItems() : TvlInterfacedPersistent(nullptr) {}
    ~TvlEditRegisteredRepositoryItems() override;
    String ClassName() const override { return String::fromLatin1("TvlEditRegisteredRepositoryItems"); }

    virtual void ItemRemoved(TvlEditRepositoryItem* AItem);
    virtual void PropertiesChanged(TvlEditRepositoryItem* AItem);
    // The index of the entry; an existing (data type, version) keeps its
    // first item.
    virtual int Add(TvlEditRegisteredRepositoryItemsDataArray& AEntries, intptr_t ADataType,
                    TvlEditRepositoryItem* AItem, int AVersion);
    virtual void Changed() {}
    // The lowest version's default item; nullptr when there is none.
    virtual TvlEditRepositoryItem* GetDefaultItem() const;
    // The highest version of the data type, else the default item.
    virtual TvlEditRepositoryItem* GetItem(intptr_t ADataType) const;
    virtual void RegisterDefaultItem(int AVersion, TvlEditRepositoryItem* AItem);
    virtual void RegisterItem(intptr_t ADataType, int AVersion, TvlEditRepositoryItem* AItem);
    virtual void UnregisterDefaultItem(int AVersion);
    virtual void UnregisterItem(intptr_t ADataType, int AVersion);
    void Clear();
    int Count() const { return int(FItems.size()); }
    int DefaultCount() const { return int(FDefaultItems.size()); }
    bool Destroying() const { return FDestroying; }

    // IvlEditRepositoryItemObserver
    void RepositoryItemFreed(TvlEditRepositoryItem* AItem) override { ItemRemoved(AItem); }
    void ItemPropertiesChanged(TvlEditRepositoryItem* AItem) override { PropertiesChanged(AItem); }

protected:
    // Binary search; the index is the match or the insertion point. With
    // AHighestVersion it then moves to the data type's highest version.
    static bool Find(const TvlEditRegisteredRepositoryItemsDataArray& AEntries, intptr_t ADataType, int& AIndex,
                     bool AHighestVersion, int AVersion);
    void Delete(TvlEditRegisteredRepositoryItemsDataArray& AEntries, int AIndex);

private:
    TvlEditRegisteredRepositoryItemsDataArray FItems;
    TvlEditRegisteredRepositoryItemsDataArray FDefaultItems;
    bool FDestroying = false;
};

// The data type is the value type itself.
class TvlEditDataRegisteredRepositoryItems : public TvlEditRegisteredRepositoryItems {
public:
    String ClassName() const override { return String::fromLatin1("TvlEditDataRegisteredRepositoryItems"); }
    using TvlEditRegisteredRepositoryItems::GetItem;
    using TvlEditRegisteredRepositoryItems::RegisterItem;
    using TvlEditRegisteredRepositoryItems::UnregisterItem;
    TvlEditRepositoryItem* GetItem(TvlValueTypeClass AValueTypeClass) const
    {
        return GetItem(reinterpret_cast<intptr_t>(AValueTypeClass));
    }
    void RegisterItem(TvlValueTypeClass AValueTypeClass, int AVersion, TvlEditRepositoryItem* AItem)
    {
        RegisterItem(reinterpret_cast<intptr_t>(AValueTypeClass), AVersion, AItem);
    }
    void UnregisterItem(TvlValueTypeClass AValueTypeClass, int AVersion)
    {
        UnregisterItem(reinterpret_cast<intptr_t>(AValueTypeClass), AVersion);
    }
};

// The program's registry: made on first use, freed by the unit's end.
TvlEditDataRegisteredRepositoryItems* GetEditDataRegisteredRepositoryItems();

// Registers the item classes for streaming and the default text item; the
// end unregisters it and frees the registry.
void AddvlEditRepositoryItemsUnit(TStartupList& AList);
