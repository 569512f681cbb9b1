#include "platform/rtl/Component.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/TypInfo.h"

namespace {
VORLANE_RESOURCESTRING(SAssignError, "Cannot assign a %s to a %s");
}

void TPersistent::Assign(const TPersistent* Source)
{
    if (Source != nullptr)
        Source->AssignTo(this);
    else
        AssignTo(this);  // reports "nil" below
}

void TPersistent::AssignTo(TPersistent* Dest) const
{
    const String source = Dest == this ? String::fromLatin1("nil") : ClassName();
    throw EConvertError(LoadResString(SAssignError), {source, Dest->ClassName()});
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner != nullptr)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Tell everyone who asked; each of them drops its link back to us.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        std::erase(other->FFreeNotifies, this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}

const TClassInfo* TComponent::ClassInfo() const
{
    return &StaticClassInfo();
}

const TClassInfo& TComponent::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TComponent>("TComponent")
                                       .Str("Name", &TComponent::Name, &TComponent::SetName)
                                       .Stored(false)
                                       .Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0)
                                       .Build();
    return info;
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(LoadResString(RtlConsts::SListIndexError), {Index});
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (FOwner == nullptr)
        return -1;
    const auto& siblings = FOwner->FComponents;
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

TComponent* TComponent::FindComponent(const String& AName) const
{
    if (AName.isEmpty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (c->FName.compare(AName, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void TComponent::SetName(const String& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.isEmpty() && !IsValidIdent(NewName))
        throw EComponentError(LoadResString(RtlConsts::SInvalidName), {NewName});
    if (FOwner != nullptr)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName)
{
    if (AComponent == nullptr || NewName.isEmpty())
        return;
    if (CurName.compare(NewName, Qt::CaseInsensitive) == 0)
        return;
    if (FindComponent(NewName) != nullptr)
        throw EComponentError(LoadResString(RtlConsts::SDuplicateName), {NewName});
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (AComponent->FOwner != nullptr)
        AComponent->FOwner->RemoveComponent(AComponent);
    ValidateRename(AComponent, String(), AComponent->FName);
    insert(AComponent);
    notifyAll(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (AComponent->FOwner != this)
        return;
    notifyAll(AComponent, opRemove);
    remove(AComponent);
}

void TComponent::DestroyComponents()
{
    // Last created first; each destructor takes itself out of the list.
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        delete last;
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent == this)
        return;
    if (FOwner != nullptr && AComponent == FOwner)
        return;  // an owner hears of its components' removal anyway
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FFreeNotifies.push_back(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr)
        return;
    std::erase(FFreeNotifies, AComponent);
    std::erase(AComponent->FFreeNotifies, this);
}

void TComponent::SetDesigning(bool Value)
{
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    for (TComponent* c : FComponents)
        c->SetDesigning(Value);
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::Loading()
{
    FComponentState.Include(csLoading);
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent != nullptr)
        RemoveFreeNotification(AComponent);
    // Owned components hear of it too; copy, since a handler may change the list.
    const std::vector<TComponent*> owned = FComponents;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        if (std::find(FComponents.begin(), FComponents.end(), *it) != FComponents.end())
            (*it)->Notification(AComponent, Operation);
}

void TComponent::insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::remove(TComponent* AComponent)
{
    std::erase(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::notifyAll(TComponent* AComponent, TOperation Operation)
{
    // The owner's Notification passes it on to every owned component,
    // AComponent itself included.
    Notification(AComponent, Operation);
}

bool IsValidIdent(const String& Ident)
{
    if (Ident.isEmpty())
        return false;
    auto isAlpha = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; };
    if (!isAlpha(Ident[0]))
        return false;
    return std::all_of(Ident.begin() + 1, Ident.end(), [&](QChar c) { return isAlpha(c) || (c >= u'0' && c <= u'9'); });
}
