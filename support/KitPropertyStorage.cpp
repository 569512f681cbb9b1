#include "support/KitPropertyStorage.h"

#include <algorithm>

TKitPropInfoList::TKitPropInfoList(const TObject* AObject, TTypeKinds Kinds)
{
    if (AObject == nullptr)
        return;
    FList = GetPropList(AObject, Kinds - TTypeKinds{tkMethod});
    std::stable_sort(FList.begin(), FList.end(), [](const TPropInfo* a, const TPropInfo* b) {
        return a->Name.compare(b->Name, Qt::CaseInsensitive) < 0;
    });
}

const TPropInfo* TKitPropInfoList::FindProp(const String& Name) const
{
    // The names are compared as the 8-bit texts the tables hold.
    const QByteArray wanted = Name.toUtf8().left(255);
    for (const TPropInfo* p : FList)
        if (p->Name.toLatin1().compare(wanted, Qt::CaseInsensitive) == 0)
            return p;
    return nullptr;
}

// ----------------------------------------------------------- entry texts

String MakeStoredItem(const String& ComponentName, const String& PropName)
{
    if (ComponentName.isEmpty() || PropName.isEmpty())
        return String();
    return ComponentName + u'.' + PropName;
}

bool ParseStoredItem(const String& Item, String& ComponentName, String& PropName)
{
    const int dot = int(Item.indexOf(u'.'));
    if (dot < 0)
        return false;
    ComponentName = Item.left(dot).trimmed();
    PropName = Item.mid(dot + 1).trimmed();
    return !ComponentName.isEmpty() && !PropName.isEmpty();
}

String RenameStoredItem(const String& Item, const String& NewComponentName)
{
    String component, prop;
    if (!ParseStoredItem(Item, component, prop))
        return String();
    return MakeStoredItem(NewComponentName, prop);
}

void ResolveStoredProps(TComponent* Form, TStrings* List, bool FromForm)
{
    if (Form == nullptr || List == nullptr)
        return;
    for (int i = List->Count() - 1; i >= 0; --i) {
        String component, prop;
        if (!ParseStoredItem(List->Strings(i), component, prop)) {
            List->Delete(i);
            continue;
        }
        if (FromForm) {
            TComponent* c = Form->FindComponent(component);
            if (c == nullptr)
                List->Delete(i);
            else
                List->PutObject(i, c);
        } else if (auto* c = dynamic_cast<TComponent*>(List->Objects(i))) {
            List->Put(i, RenameStoredItem(List->Strings(i), c->Name()));
            List->PutObject(i, c);
        } else
            List->Delete(i);
    }
}

// -------------------------------------------------------- TKitPropertyStorage

String TKitPropertyStorage::ReadValue(const String& Path, const String& Name, const String& Default)
{
    if (FAppStorage == nullptr)
        return Default;
    return FAppStorage->ReadString(
        TKitCustomAppStorage::JoinPaths({Path, FAppStorage->TranslatePropertyName(nullptr, Name, true)}), Default);
}

void TKitPropertyStorage::WriteValue(const String& Path, const String& Name, const String& Value)
{
    if (FAppStorage == nullptr)
        return;
    FAppStorage->WriteString(
        TKitCustomAppStorage::JoinPaths({Path, FAppStorage->TranslatePropertyName(nullptr, Name, false)}), Value);
}

void TKitPropertyStorage::EraseSection(const String& Path)
{
    if (FAppStorage != nullptr)
        FAppStorage->DeleteSubTree(Path);
}

std::unique_ptr<TKitPropertyStorage> TKitPropertyStorage::CreateStorage() const
{
    auto s = std::make_unique<TKitPropertyStorage>();
    s->SetAppStorage(FAppStorage);
    return s;
}

void TKitPropertyStorage::StoreComponentProps(TComponent* Form, TStrings* List) { run(Form, List, true); }
void TKitPropertyStorage::LoadComponentProps(TComponent* Form, TStrings* List) { run(Form, List, false); }

void TKitPropertyStorage::run(TComponent* Form, TStrings* List, bool Storing)
{
    if (Form == nullptr || List == nullptr)
        return;
    // The index: one property list per component named by the entries.
    std::vector<std::pair<String, std::unique_ptr<TKitPropInfoList>>> index;
    auto indexOf = [&](const String& name) -> TKitPropInfoList* {
        for (auto& [n, l] : index)
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                return l.get();
        return nullptr;
    };
    try {
        ResolveStoredProps(Form, List, false);
        for (int i = 0; i < List->Count(); ++i)
            if (auto* c = dynamic_cast<TComponent*>(List->Objects(i)); c != nullptr && indexOf(c->Name()) == nullptr)
                index.emplace_back(c->Name(), std::make_unique<TKitPropInfoList>(c));
    } catch (const Exception&) {
        return;
    }
    FOwner = Form;
    struct Clear {
        TKitPropertyStorage* S;
        ~Clear() { S->FOwner = nullptr; S->FObject = nullptr; S->FPrefix.clear(); }
    } clear{this};
    for (int i = 0; i < List->Count(); ++i) {
        String component, prop;
        if (!ParseStoredItem(List->Strings(i), component, prop))
            continue;
        FObject = dynamic_cast<TComponent*>(List->Objects(i));
        if (FObject == nullptr)
            continue;
        FPrefix = FObject->Name();
        const TKitPropInfoList* props = indexOf(FPrefix);
        if (props == nullptr)
            continue;
        FPrefix += u'_';
        const TPropInfo* info = props->FindProp(prop);
        if (info == nullptr)
            continue;
        if (Storing)
            storeProperty(info);
        else {
            try {
                loadProperty(info);
            } catch (const Exception&) {
                // one bad value leaves that property alone, not the others
            }
        }
    }
}

void TKitPropertyStorage::storeProperty(const TPropInfo* Info)
{
    if (FAppStorage == nullptr)
        return;
    const String name = ItemNameOf(Info->Name);
    if (Info->Kind == tkClass) {
        if (auto* ref = dynamic_cast<TComponent*>(GetObjectProp(FObject, Info))) {
            FAppStorage->WriteString(
                TKitCustomAppStorage::JoinPaths({FAppStoragePath, FAppStorage->TranslatePropertyName(FObject, name, false)}),
                ref->Name());
            return;
        }
    }
    FAppStorage->WriteProperty(
        TKitCustomAppStorage::JoinPaths({FAppStoragePath, FAppStorage->TranslatePropertyName(FObject, name, false)}),
        FObject, Info->Name, true, nullptr);
}

void TKitPropertyStorage::loadProperty(const TPropInfo* Info)
{
    if (FAppStorage == nullptr)
        return;
    const String path = TKitCustomAppStorage::JoinPaths(
        {FAppStoragePath, FAppStorage->TranslatePropertyName(FObject, ItemNameOf(Info->Name), true)});
    if (Info->Kind == tkClass && dynamic_cast<TComponent*>(GetObjectProp(FObject, Info)) != nullptr) {
        const String wanted = FAppStorage->ReadString(path, String());
        for (TComponent* owner = FOwner; owner != nullptr; owner = owner->Owner())
            for (int i = 0; i < owner->ComponentCount(); ++i)
                if (owner->Components(i)->Name() == wanted) {
                    SetObjectProp(FObject, Info, owner->Components(i));
                    return;
                }
        return;
    }
    if (FAppStorage->ValueStored(path) || FAppStorage->FolderExists(path, false))
        FAppStorage->ReadProperty(path, FObject, Info->Name, true, true, nullptr);
}
