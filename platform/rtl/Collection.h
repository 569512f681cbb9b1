// Collection.h - ordered lists of items of one class (columns, panels, bands)
// that live inside a property and are stored item by item through their own tables.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Component.h"

class TCollection;

class TCollectionItem : public TPersistent {
public:
    // Made by the collection (Add, Insert); Collection is the one it goes into.
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override = default;

    String ClassName() const override { return String::fromLatin1("TCollectionItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TCollection* Collection() const { return FCollection; }
    // The position in the collection; -1 while outside one.
    int Index() const;
    // Moves the item; raises EListError for a position outside the collection.
    virtual void SetIndex(int Value);
    // Unique within the collection and never reused, so it survives moves.
    int ID() const { return FID; }
    virtual String DisplayName() const { return ClassName(); }
    virtual void SetDisplayName(const String& Value);
    String GetNamePath() const override;

    // Copies an item through the property tables; other sources raise EConvertError.
    void Assign(const TPersistent* Source) override;

protected:
    // Tells the collection that this item (or, with AllItems, the whole list) changed.
    void Changed(bool AllItems);
    TPersistent* GetOwner() const override;

private:
    friend class TCollection;
    TCollection* FCollection;
    int FID = 0;
};

using TCollectionItemClass = std::function<std::unique_ptr<TCollectionItem>(TCollection* Collection)>;

template <class T>
TCollectionItemClass ItemClassOf()
{
    return [](TCollection* Collection) -> std::unique_ptr<TCollectionItem> { return std::make_unique<T>(Collection); };
}

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    String ClassName() const override { return String::fromLatin1("TCollection"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    const TCollectionItemClass& ItemClass() const { return FItemClass; }
    TPersistent* Owner() const { return GetOwner(); }

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index outside the list.
    TCollectionItem* Items(int Index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;

    // Update is held back until the last EndUpdate, which then reports the whole list.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Replaces the items with copies of Source's items (made by this collection's item class).
    void Assign(const TPersistent* Source) override;
    String GetNamePath() const override;

protected:
    // Item is the one that changed, or nullptr when the list itself changed.
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;
    void moveItem(int From, int To);

    TCollectionItemClass FItemClass;
    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};

// A collection that knows the object it lives in (for name paths and notifications).
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(std::move(ItemClass)), FOwner(AOwner)
    {
    }
    String ClassName() const override { return String::fromLatin1("TOwnedCollection"); }

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
