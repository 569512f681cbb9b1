// vlClasses.h - the building blocks the library hangs its classes on: base
// classes, owned lists, the two class registries, the column auto-width
// distributor, weak object links, free-notification relays, thread hooks
// and small numeric helpers.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/List.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Types.h"

struct TClassInfo;
// A class reference: the class's information (its name and ancestry).
using TvlClass = const TClassInfo*;

// Every user-visible text of the library is read through this, so the
// translation layer in front of LoadResString applies.
String GetResourceString(const TResStringRec& AResString);

// ---- base classes --------------------------------------------------------------

// An object that answers for the interfaces its class implements without
// counting references: its owner frees it, never a holder of an interface.
class TvlIUnknownObject : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlIUnknownObject"); }
    // The interface I of this object; nullptr when its class does not
    // implement I.
    template <class I>
    I* QueryInterface() { return dynamic_cast<I*>(this); }
    template <class I>
    const I* QueryInterface() const { return dynamic_cast<const I*>(this); }
    // A holder of an interface does not keep the object alive: both answer
    // -1 and change nothing.
    int AddRef() const { return -1; }
    int Release() const { return -1; }
};

// A direction of scrolling or moving.
enum TvlDirection { dirNone, dirLeft, dirRight, dirUp, dirDown };

class TvlInterfacedPersistent : public TPersistent {
public:
    explicit TvlInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlInterfacedPersistent"); }

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

// A component whose weak links (TvlObjectLink) are cleared when it goes.
class TvlComponent : public TComponent {
public:
    explicit TvlComponent(TComponent* AOwner) : TComponent(AOwner) {}
    ~TvlComponent() override;
    String ClassName() const override { return String::fromLatin1("TvlComponent"); }
    bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
};

using TvlCollectionCompareEvent = std::function<int(TObject* ASender, TCollectionItem* AItem1, TCollectionItem* AItem2)>;
using TvlCollectionChangeEvent = std::function<void(TObject* Sender, TCollectionItem* AItem)>;

// An owned collection that can keep itself sorted and reports each change
// once, never re-entering its own update.
class TvlOwnedInterfacedCollection : public TOwnedCollection {
public:
    TvlOwnedInterfacedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TOwnedCollection(AOwner, std::move(ItemClass))
    {
    }
    ~TvlOwnedInterfacedCollection() override;
    String ClassName() const override { return String::fromLatin1("TvlOwnedInterfacedCollection"); }

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // Not stable; runs neither inside BeginUpdate/EndUpdate nor while sorting.
    void Sort();
    bool IsDestroying() const { return FDestroying; }
    // As for TvlIUnknownObject: nothing counts references to the collection.
    template <class I>
    I* QueryInterface() { return dynamic_cast<I*>(this); }

    TvlCollectionCompareEvent OnCompare;
    TvlCollectionChangeEvent OnChange;

protected:
    // The sign of the index difference.
    virtual int CompareItems(TCollectionItem* AItem1, TCollectionItem* AItem2);
    void Update(TCollectionItem* Item) override;

private:
    bool FSorted = false;
    bool FUpdating = false;
    bool FSorting = false;
    bool FDestroying = false;
};

// ---- lists ------------------------------------------------------------------

class TvlObjectList : public TList {
public:
    explicit TvlObjectList(bool AOwnObjects = true) : FOwnObjects(AOwnObjects) {}
    ~TvlObjectList() override;
    String ClassName() const override { return String::fromLatin1("TvlObjectList"); }
    // Frees the items first when it owns them.
    void Clear();
    bool OwnObjects() const { return FOwnObjects; }
    TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }

private:
    bool FOwnObjects;
};

// Setting past the end grows the list with nullptr entries.
class TvlOpenList : public TList {
public:
    String ClassName() const override { return String::fromLatin1("TvlOpenList"); }
    void SetItems(int Index, void* Item);
};

class TvlStringList : public TStringList {
public:
    String ClassName() const override { return String::fromLatin1("TvlStringList"); }
    // With a compare event, Sort sorts by it.
    void Sort();
    TStringListSortCompare OnCompare;
};

// An entry of a most-recently-used list; descendants say when two are equal.
class TvlMRUItem : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlMRUItem"); }
    virtual bool Equals(const TvlMRUItem* AItem) const = 0;
};

// Newest first; owns its items; MaxCount 0 is unlimited.
class TvlMRUItems : public TObject {
public:
    TvlMRUItems() = default;
    ~TvlMRUItems() override;
    String ClassName() const override { return String::fromLatin1("TvlMRUItems"); }

    // Takes AItem in every case. An equal item already present moves to the
    // front and AItem is freed: the earlier object is the one kept.
    void Add(std::unique_ptr<TvlMRUItem> AItem);
    int IndexOf(const TvlMRUItem* AItem) const;
    void Delete(int AIndex);
    void Clear();
    int Count() const { return int(FItems.size()); }
    TvlMRUItem* Items(int AIndex) const { return FItems.at(size_t(AIndex)).get(); }
    int MaxCount() const { return FMaxCount; }
    // Negative values are 0; the list is trimmed from its end.
    void SetMaxCount(int Value);

private:
    void trim();

    std::vector<std::unique_ptr<TvlMRUItem>> FItems;
    int FMaxCount = 0;
};

// ---- class registries ---------------------------------------------------------

// Which class serves a given class: the nearest registered ancestor (or the
// class itself) wins; of equal ones the one registered later.
class TvlRegisteredClassList : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlRegisteredClassList"); }
    virtual bool Find(TvlClass AItemClass, int& AIndex) const;
    TvlClass FindClass(TvlClass AItemClass) const;
    virtual void Register(TvlClass AItemClass, TvlClass ARegisteredClass);
    virtual void Unregister(TvlClass AItemClass, TvlClass ARegisteredClass);
    int Count() const { return int(FItems.size()); }
    TvlClass ItemClasses(int Index) const { return FItems.at(size_t(Index)).first; }
    TvlClass RegisteredClasses(int Index) const { return FItems.at(size_t(Index)).second; }

private:
    std::vector<std::pair<TvlClass, TvlClass>> FItems;
};

// Named classes offered by a repository; a registration text is the
// description, optionally followed by "|" and more.
class TvlRegisteredClasses : public TObject {
public:
    explicit TvlRegisteredClasses(bool ARegisterClasses = false) : FRegisterClasses(ARegisterClasses) {}
    String ClassName() const override { return String::fromLatin1("TvlRegisteredClasses"); }

    // Ignored for a class already present. With the register flag, the class
    // also joins the streaming registry (with AFactory).
    void Register(TvlClass AClass, const String& ARegistrationText,
                  std::function<TPersistent*(TComponent*)> AFactory = {});
    void Unregister(TvlClass AClass);
    int Count() const { return int(FItems.size()); }
    TvlClass Items(int Index) const { return FItems.at(size_t(Index)).Class; }
    const String& RegistrationTexts(int Index) const { return FItems.at(size_t(Index)).Text; }
    String GetDescription(int Index) const;
    // Case matters.
    TvlClass FindByClassName(const String& AName) const;
    int IndexOf(TvlClass AClass) const;
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    // Locale order, ignoring case: -1, 0 or 1.
    virtual int CompareItems(int AIndex1, int AIndex2) const;
    virtual void Sort();

private:
    struct TItem {
        String Text;
        TvlClass Class;
    };
    std::vector<TItem> FItems;
    bool FRegisterClasses;
    bool FSorted = false;
};

// ---- auto width ---------------------------------------------------------------

class TvlAutoWidthItem : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlAutoWidthItem"); }
    int MinWidth = 0;
    int Width = 0;
    bool Fixed = false;
    int AutoWidth = -1;  // the result
};

// Shares AvailableWidth over the items in proportion to their Width, every
// item at MinWidth or more while the width allows; the shares sum exactly.
class TvlAutoWidthObject : public TObject {
public:
    explicit TvlAutoWidthObject(int ACount = 0) { FItems.reserve(size_t(std::max(0, ACount))); }
    String ClassName() const override { return String::fromLatin1("TvlAutoWidthObject"); }
    TvlAutoWidthItem* AddItem();
    void Calculate();
    int Count() const { return int(FItems.size()); }
    TvlAutoWidthItem* Items(int Index) const { return FItems.at(size_t(Index)).get(); }
    int AvailableWidth() const { return FAvailableWidth; }
    void SetAvailableWidth(int Value) { FAvailableWidth = Value; }
    // The sum of all Width values, fixed items included.
    int Width() const;

private:
    std::vector<std::unique_ptr<TvlAutoWidthItem>> FItems;
    int FAvailableWidth = 0;
};

// ---- object links and free notifications -------------------------------------------

// A weak reference: Ref becomes nullptr when ClearObjectLinks runs for the
// object (its destructor calls it).
class TvlObjectLink : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlObjectLink"); }
    TObject* Ref = nullptr;
};

// nullptr for nullptr; the holder frees the link with RemoveObjectLink.
TvlObjectLink* AddObjectLink(TObject* AObject);
void RemoveObjectLink(TvlObjectLink* ALink);
void ClearObjectLinks(TObject* AObject);
// The links handed out and not yet removed (the controller lives while > 0).
int ObjectLinkCount();

// Holds a weak link across a call that may free the object.
class TvlObjectGuard {
public:
    explicit TvlObjectGuard(TObject* AObject) : FLink(AddObjectLink(AObject)) {}
    ~TvlObjectGuard() { RemoveObjectLink(FLink); }
    TvlObjectGuard(const TvlObjectGuard&) = delete;
    TvlObjectGuard& operator=(const TvlObjectGuard&) = delete;
    bool Destroyed() const { return FLink->Ref == nullptr; }

private:
    TvlObjectLink* FLink;
};

using TvlFreeNotificationEvent = TDelegate<void(TComponent* AComponent)>;

class TvlFreeNotificator : public TComponent {
public:
    explicit TvlFreeNotificator(TComponent* AOwner) : TComponent(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlFreeNotificator"); }
    void AddSender(TComponent* AComponent);
    void RemoveSender(TComponent* AComponent);
    TvlFreeNotificationEvent OnFreeNotification;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

// ---- routines -----------------------------------------------------------------

void CallNotifyEvent(TObject* Sender, const TNotifyEvent& AEvent);
void CopyListItems(const TList* ASource, TList* ADest);
using TvlGetSubComponentProc = std::function<TComponent*(TComponent* AComponent, int AIndex)>;
// Renames AOwner's sub-components whose names start with AOldName (ignoring
// case) to ANewName plus the rest; a rename refused as a duplicate or an
// invalid name is skipped.
void RenameSubComponents(TComponent* AComponent, TComponent* AOwner, const String& ANewName,
                         const TvlGetSubComponentProc& AGetSubComponent, int ACount, const String& AOldName);
// The ceiling of A / B, for any signs (B not 0).
int RoundDiv(int A, int B);
TSize MakeSize(int cx, int cy);
// The middle, rounded towards minus infinity.
int GetRangeCenter(int ABound1, int ABound2);
bool StreamsEqual(TMemoryStream* AStream1, TMemoryStream* AStream2);
int GetSign(double AValue);
// UTF-16 units from the character at the 1-based APosition to the next one.
int CharSizeAt(const String& S, int APosition);

// The stand-in for a thread's message hook: an application event hook.
// AHook must be 0 (an assertion otherwise, leaving it alone); it receives
// the hook's id.
using TvlHookProc = std::function<bool(class QObject* Receiver, class QEvent* Event)>;
void InstallThreadHook(int& AHook, int AHookId, TvlHookProc AHookProc);
void RemoveThreadHook(int& AHook);
