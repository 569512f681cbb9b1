// Component.h - the object model every subsystem builds on: objects with a
// class name, persistent objects that can be assigned, and components that
// own and free other components, find them by name and tell interested
// components when one goes away.
#pragma once
#include <vector>

#include "platform/rtl/Set.h"
#include "platform/rtl/String.h"

struct TClassInfo;  // a class's published properties (TypInfo.h)

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    // The class name as the original names it ("TComponent").
    virtual String ClassName() const { return String::fromLatin1("TObject"); }
    // The published properties of the object's class, or nullptr.
    virtual const TClassInfo* ClassInfo() const { return nullptr; }
};

class TPersistent : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TPersistent"); }

    // Copies Source into this object; raises EConvertError when neither
    // side knows how ("Cannot assign a TFoo to a TBar").
    virtual void Assign(const TPersistent* Source);
    virtual String GetNamePath() const { return ClassName(); }

protected:
    virtual void AssignTo(TPersistent* Dest) const;
    virtual TPersistent* GetOwner() const { return nullptr; }
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
    csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
public:
    // The owner (may be nullptr) takes the component and frees it.
    explicit TComponent(TComponent* AOwner);
    // Frees the owned components, last created first, after telling every
    // component that asked for free notification.
    ~TComponent() override;

    String ClassName() const override { return String::fromLatin1("TComponent"); }
    // Published: Name (not stored; storage writes it as the object's name) and Tag.
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    String GetNamePath() const override { return FName; }

    TComponent* Owner() const { return FOwner; }
    const String& Name() const { return FName; }
    // Raises EComponentError for an invalid identifier or a name the owner
    // already holds (compared without regard to case).
    virtual void SetName(const String& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t value) { FTag = value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    TComponent* FindComponent(const String& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component now, last created first.
    void DestroyComponents();

    // AComponent's Notification(this, opRemove) is called when this component
    // is destroyed (and the other way round).
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TComponentState ComponentState() const { return FComponentState; }
    void SetDesigning(bool Value);
    // Marks the component as going away; called first by the destructor.
    void Destroying();

    // Loading protocol: Loading sets csLoading, Loaded clears it.
    virtual void Loading();
    virtual void Loaded();

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
    TPersistent* GetOwner() const override { return FOwner; }

    TComponentState FComponentState;

private:
    void insert(TComponent* AComponent);
    void remove(TComponent* AComponent);
    void notifyAll(TComponent* AComponent, TOperation Operation);

    TComponent* FOwner = nullptr;
    String FName;
    intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;     // owned, in creation order
    std::vector<TComponent*> FFreeNotifies;   // not owned
};

// True for a valid component name: a letter or '_' then letters, digits or '_'.
bool IsValidIdent(const String& Ident);
