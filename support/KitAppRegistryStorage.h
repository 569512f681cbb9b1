// KitAppRegistryStorage.h - the settings store kept in the registry: a storage
// folder is a key, a storage value a registry value, below the key Root.
#pragma once
#include "platform/os/Registry.h"
#include "support/KitAppStorage.h"

namespace KitResources {
VORLANE_RESOURCESTRING(RsUnableToCreateKey, "Unable to create key '%s'");
VORLANE_RESOURCESTRING(RsEnumeratingRegistry, "Error enumerating registry");
}  // namespace KitResources

enum TKitRegKey { hkClassesRoot, hkCurrentUser, hkLocalMachine, hkUsers, hkPerformanceData, hkCurrentConfig, hkDynData };
extern const TEnumInfo TKitRegKeyInfo;

using TKitAppRegistryStorageOptions = TKitCustomAppStorageOptions;

class TKitAppRegistryStorage : public TKitCustomAppStorage {
public:
    explicit TKitAppRegistryStorage(TComponent* AOwner);
    String ClassName() const override { return String::fromLatin1("TKitAppRegistryStorage"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TKitRegKey RegRoot() const { return TKitRegKey(FRegRoot - HKEY_CLASSES_ROOT); }
    void SetRegRoot(TKitRegKey Value) { FRegRoot = HKEY_CLASSES_ROOT + HKEY(Value); }
    HKEY RootKey() const { return FRegRoot; }
    // Macros in the root are expanded at run time; "%NONE%" stands for the empty root.
    void SetRoot(const String& Value) override;
    bool UseOldDefaultRoot() const { return FUseOldDefaultRoot; }
    void SetUseOldDefaultRoot(bool Value);
    void Loaded() override;

protected:
    void DoEnumFolders(const String& Path, TStrings* Strings, bool ReportListAsValue) override;
    void DoEnumValues(const String& Path, TStrings* Strings, bool ReportListAsValue) override;
    bool DoFolderExists(const String& Path, bool ListIsValue) override;
    bool DoPathIsFolder(const String& Path) override;
    bool DoValueStored(const String& Path) override;
    void DoDeleteValue(const String& Path) override;
    void DoDeleteSubTree(const String& Path) override;
    int DoReadInteger(const String& Path, int Default) override;
    void DoWriteInteger(const String& Path, int Value) override;
    bool DoReadBoolean(const String& Path, bool Default) override;
    void DoWriteBoolean(const String& Path, bool Value) override;
    long double DoReadFloat(const String& Path, long double Default) override;
    void DoWriteFloat(const String& Path, long double Value) override;
    String DoReadString(const String& Path, const String& Default) override;
    void DoWriteString(const String& Path, const String& Value) override;
    String DoReadWideString(const String& Path, const String& Default) override;
    void DoWriteWideString(const String& Path, const String& Value) override;
    QByteArray DoReadBinary(const String& Path, int MaxSize) override;
    void DoWriteBinary(const String& Path, const QByteArray& Value) override;

private:
    void ensureKey(const String& Key);
    template <class T, class F>
    T readOrDefault(T Default, F&& Read);

    HKEY FRegRoot = HKEY_CURRENT_USER;
    bool FUseOldDefaultRoot = false;
};

// The 80-bit extended float of the stored binary values, written byte by byte
// so the layout does not depend on the processor.
QByteArray ExtendedToBytes(long double Value);
long double BytesToExtended(const QByteArray& Bytes);
