// KitFormStorage.h - keeps a form's window placement and chosen properties of
// its components in an application storage, restored on show and saved on close.
#pragma once
#include <optional>
#include <memory>

#include "platform/controls/Forms.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Variant.h"
#include "support/KitAppStorage.h"
#include "support/KitUtils.h"
#include "support/KitWndProcHook.h"

enum TKitFormPlacementVersionCheck { fpvcNocheck, fpvcCheckGreaterEqual, fpvcCheckEqual };

// The size limits of a window as the window system asks for them (the
// LParam of WM_GETMINMAXINFO points at one).
struct MINMAXINFO {
    TPoint ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

class TKitFormPlacement;

class TKitWinMinMaxInfo : public TPersistent {
public:
    explicit TKitWinMinMaxInfo(TKitFormPlacement* Owner = nullptr) : FOwner(Owner) {}
    String ClassName() const override { return String::fromLatin1("TKitWinMinMaxInfo"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;
    bool DefaultMinMaxInfo() const;

    // Indexes: 0 MaxPosLeft, 1 MaxPosTop, 2 MaxSizeWidth, 3 MaxSizeHeight,
    // 4 MaxTrackWidth, 5 MaxTrackHeight, 6 MinTrackWidth, 7 MinTrackHeight.
    int Value(int Index) const { return FValues[Index]; }
    void SetValue(int Index, int Value);

private:
    TKitFormPlacement* FOwner;
    int FValues[8] = {};
};

class TKitFormPlacement : public TKitComponent {
public:
    explicit TKitFormPlacement(TComponent* AOwner);
    ~TKitFormPlacement() override;
    String ClassName() const override { return String::fromLatin1("TKitFormPlacement"); }

    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    TKitCustomAppStorage* AppStorage() const { return FAppStorage; }
    void SetAppStorage(TKitCustomAppStorage* Value);
    const String& AppStoragePath() const { return FAppStoragePath; }
    void SetAppStoragePath(const String& Value);
    TKitWinMinMaxInfo* MinMaxInfo() const { return FMinMaxInfo.get(); }
    void SetMinMaxInfo(const TKitWinMinMaxInfo* Value) { FMinMaxInfo->Assign(Value); }
    TPlacementOptions Options() const { return FOptions; }
    void SetOptions(TPlacementOptions Value) { FOptions = Value; }
    bool PreventResize() const { return FPreventResize; }
    void SetPreventResize(bool Value);
    int Version() const { return FVersion; }
    void SetVersion(int Value) { FVersion = Value; }
    TKitFormPlacementVersionCheck VersionCheck() const { return FVersionCheck; }
    void SetVersionCheck(TKitFormPlacementVersionCheck Value) { FVersionCheck = Value; }

    bool Saved() const { return FSaved; }
    bool Restored() const { return FRestored; }

    void SavePlacement();
    void RestorePlacement();

    String ReadString(const String& Name, const String& Default = String());
    void WriteString(const String& Name, const String& Value);
    int ReadInteger(const String& Name, int Default = 0);
    void WriteInteger(const String& Name, int Value);
    bool ReadBoolean(const String& Name, bool Default);
    void WriteBoolean(const String& Name, bool Value);
    long double ReadFloat(const String& Name, long double Default = 0);
    void WriteFloat(const String& Name, long double Value);
    TDateTime ReadDateTime(const String& Name, TDateTime Default);
    void WriteDateTime(const String& Name, TDateTime Value);
    String JoinPaths(const QStringList& Parts) const;

    void Loaded() override;
    void MinMaxInfoModified();

    TNotifyEvent BeforeSavePlacement, OnSavePlacement, AfterSavePlacement;
    TNotifyEvent BeforeRestorePlacement, OnRestorePlacement, AfterRestorePlacement;

protected:
    virtual void StorePlacement();
    virtual void LoadPlacement();
    virtual void DoSavePlacement();
    virtual void DoRestorePlacement();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    TCustomForm* Form() const { return dynamic_cast<TCustomForm*>(Owner()); }
    bool IsActive() const { return FActive && FAppStorage != nullptr; }
    void ResolveAppStoragePath();
    void UpdatePlacement();
    void UpdatePreventResize();
    void UpdateWindowHook();
    bool FRestored = false;

private:
    String storagePath(const String& Name, bool Reading);
    void formShow(TObject* Sender);
    void formCloseQuery(TObject* Sender, bool& CanClose);
    void formDestroy(TObject* Sender);
    void afterWindowMessage(TObject* Sender, TMessage& Msg, bool& Handled);
    void applyConstraints(bool Wanted);

    bool FActive = true;
    TKitCustomAppStorage* FAppStorage = nullptr;
    String FAppStoragePath = QStringLiteral("%FORM_NAME%\\");
    std::unique_ptr<TKitWinMinMaxInfo> FMinMaxInfo;
    TPlacementOptions FOptions;
    bool FPreventResize = false;
    int FVersion = 0;
    TKitFormPlacementVersionCheck FVersionCheck = fpvcCheckGreaterEqual;
    std::unique_ptr<TKitWindowHook> FWinHook;
    TNotifyEvent FSaveFormShow, FSaveFormDestroy;
    TCloseQueryEvent FSaveFormCloseQuery;
    bool FHooked = false;
    bool FFormGone = false;
    bool FDefMaximize = false;
    bool FSaved = false;
    bool FDestroying = false;
    std::optional<TSizeConstraints> FOwnConstraints;  // the form's, while the placement limits it
};

class TKitFormStorage;

using TKitStoredValueEvent = TDelegate<void(TObject* Sender, Variant& AValue)>;

class TKitStoredValue : public TCollectionItem {
public:
    explicit TKitStoredValue(TCollection* Collection) : TCollectionItem(Collection) {}
    String ClassName() const override { return String::fromLatin1("TKitStoredValue"); }
    void Assign(const TPersistent* Source) override;
    const String& Name() const { return FName; }
    // Raises EKitException for a name another item has (case-insensitive).
    void SetName(const String& Value);
    const Variant& Value() const { return FValue; }
    void SetValue(const Variant& Value) { FValue = Value; }
    const String& KeyString() const { return FKeyString; }
    void SetKeyString(const String& Value) { FKeyString = Value; }
    void StoreValue();
    void RestoreValue();
    TKitStoredValueEvent OnSave, OnRestore;

private:
    TKitFormStorage* storage() const;
    String FName;
    Variant FValue;
    String FKeyString;
};

class TKitStoredValues : public TOwnedCollection {
public:
    explicit TKitStoredValues(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TKitStoredValues"); }
    TKitFormStorage* Storage() const;
    TKitStoredValue* Items(int Index) const { return static_cast<TKitStoredValue*>(TCollection::Items(Index)); }
    TKitStoredValue* Add() { return static_cast<TKitStoredValue*>(TCollection::Add()); }
    int IndexOfName(const String& Name) const;
    const String& Path() const { return FPath; }
    void SetPath(const String& Value) { FPath = Value; }
    virtual void StoreAll();
    virtual void LoadAll();

private:
    String FPath;
};

class TKitFormStorage : public TKitFormPlacement {
public:
    explicit TKitFormStorage(TComponent* AOwner);
    ~TKitFormStorage() override;
    String ClassName() const override { return String::fromLatin1("TKitFormStorage"); }

    // Entries "Component.Property"; each entry's object is its component once resolved.
    TStrings* StoredProps() const { return FStoredProps.get(); }
    void SetStoredProps(const TStrings* Value);
    TKitStoredValues* StoredValues() const { return FStoredValues.get(); }
    const String& StoredPropsPath() const { return FStoredPropsPath; }
    void SetStoredPropsPath(const String& Value) { FStoredPropsPath = Value; }
    const String& StoredValuesPath() const { return FStoredValues->Path(); }
    void SetStoredValuesPath(const String& Value) { FStoredValues->SetPath(Value); }

    void Loaded() override;

protected:
    void StorePlacement() override;
    void LoadPlacement() override;
    virtual void StoreStoredProps();
    virtual void LoadStoredProps();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void resolve();
    std::unique_ptr<TStringList> FStoredProps;
    std::unique_ptr<TKitStoredValues> FStoredValues;
    String FStoredPropsPath;
    bool FStorageDestroying = false;
};
