// KitPropertyStorage.h - chosen published properties of a form's components
// ("Component.Property" entries) kept in an application storage, one value each.
#pragma once
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypInfo.h"
#include "support/KitAppStorage.h"

// The published properties of one object, sorted by name.
class TKitPropInfoList {
public:
    explicit TKitPropInfoList(const TObject* AObject, TTypeKinds Kinds = tkProperties - TTypeKinds{tkUnknown});
    int Count() const { return int(FList.size()); }
    const TPropInfo* Items(int Index) const { return FList.at(size_t(Index)); }
    // Without regard to ASCII case; nullptr when absent.
    const TPropInfo* FindProp(const String& Name) const;

private:
    TPropList FList;
};

class TKitPropertyStorage : public TObject {
public:
    TKitPropertyStorage() = default;
    String ClassName() const override { return String::fromLatin1("TKitPropertyStorage"); }

    TKitCustomAppStorage* AppStorage() const { return FAppStorage; }
    void SetAppStorage(TKitCustomAppStorage* Value) { FAppStorage = Value; }
    const String& AppStoragePath() const { return FAppStoragePath; }
    void SetAppStoragePath(const String& Value) { FAppStoragePath = Value; }
    TComponent* Owner() const { return FOwner; }
    TComponent* Object() const { return FObject; }
    const String& Prefix() const { return FPrefix; }

    virtual String ReadValue(const String& Path, const String& Name, const String& Default);
    virtual void WriteValue(const String& Path, const String& Name, const String& Value);
    virtual void EraseSection(const String& Path);
    virtual String ItemNameOf(const String& PropName) const { return FPrefix + PropName; }
    virtual std::unique_ptr<TKitPropertyStorage> CreateStorage() const;

    // Every entry of List, in list order. Loading swallows each property's
    // failure; storing passes it on.
    void StoreComponentProps(TComponent* Form, TStrings* List);
    void LoadComponentProps(TComponent* Form, TStrings* List);

private:
    void run(TComponent* Form, TStrings* List, bool Storing);
    void storeProperty(const TPropInfo* Info);
    void loadProperty(const TPropInfo* Info);

    TKitCustomAppStorage* FAppStorage = nullptr;
    String FAppStoragePath;
    TComponent* FOwner = nullptr;
    TComponent* FObject = nullptr;
    String FPrefix;
};

// "Component.Property", or empty when either part is.
String MakeStoredItem(const String& ComponentName, const String& PropName);
// Splits at the first "."; both trimmed parts must be non-empty.
bool ParseStoredItem(const String& Item, String& ComponentName, String& PropName);
String RenameStoredItem(const String& Item, const String& NewComponentName);
// FromForm: entries take their component from the form by name (missing ones
// are deleted); otherwise entries follow their components' current names.
void ResolveStoredProps(TComponent* Form, TStrings* List, bool FromForm);
