// KitAppStorage.h - the abstract settings store: a tree of folders and named
// values addressed by "\" paths, turning typed requests into a back end's primitives.
#pragma once
#include <functional>
#include <memory>

#include <QStringList>

#include "platform/rtl/Collection.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Delegate.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "support/KitComponent.h"
#include "support/KitTranslateString.h"

namespace KitResources {
VORLANE_RESOURCESTRING(RsInvalidPath, "Invalid path");
VORLANE_RESOURCESTRING(RsInvalidType, "Invalid type");
VORLANE_RESOURCESTRING(RsUnknownBaseType, "Unknown base type for given set");
VORLANE_RESOURCESTRING(RsNotAUniqueRootPath, "'%s' is not a unique root path");
VORLANE_RESOURCESTRING(RsCircularReferenceOfStorages, "Circular reference of storages");
}  // namespace KitResources

VORLANE_DECLARE_EXCEPTION(EKitAppStorageError, EKitException);

// How values are written as text. Setting a word list whose first word is
// empty switches BooleanAsString off, since nothing could be written.
class TKitCustomAppStorageOptions : public TPersistent {
public:
    TKitCustomAppStorageOptions() = default;
    String ClassName() const override { return String::fromLatin1("TKitCustomAppStorageOptions"); }
    void Assign(const TPersistent* Source) override;
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    const String& BooleanStringTrueValues() const { return FTrueValues; }
    void SetBooleanStringTrueValues(const String& Value);
    const String& BooleanStringFalseValues() const { return FFalseValues; }
    void SetBooleanStringFalseValues(const String& Value);
    bool BooleanAsString() const { return FBooleanAsString; }
    void SetBooleanAsString(bool Value);
    bool EnumerationAsString() const { return FEnumerationAsString; }
    void SetEnumerationAsString(bool Value) { FEnumerationAsString = Value; }
    bool TypedIntegerAsString() const { return FTypedIntegerAsString; }
    void SetTypedIntegerAsString(bool Value) { FTypedIntegerAsString = Value; }
    bool SetAsString() const { return FSetAsString; }
    void SetSetAsString(bool Value) { FSetAsString = Value; }
    bool DateTimeAsString() const { return FDateTimeAsString; }
    void SetDateTimeAsString(bool Value) { FDateTimeAsString = Value; }
    bool FloatAsString() const { return FFloatAsString; }
    void SetFloatAsString(bool Value) { FFloatAsString = Value; }
    bool DefaultIfReadConvertError() const { return FDefaultIfReadConvertError; }
    void SetDefaultIfReadConvertError(bool Value) { FDefaultIfReadConvertError = Value; }
    bool DefaultIfValueNotExists() const { return FDefaultIfValueNotExists; }
    void SetDefaultIfValueNotExists(bool Value) { FDefaultIfValueNotExists = Value; }
    bool StoreDefaultValues() const { return FStoreDefaultValues; }
    void SetStoreDefaultValues(bool Value) { FStoreDefaultValues = Value; }
    bool UseOldItemNameFormat() const { return FUseOldItemNameFormat; }
    void SetUseOldItemNameFormat(bool Value) { FUseOldItemNameFormat = Value; }
    bool UseTranslateStringEngineDateTimeFormats() const { return FUseEngineDateTimeFormats; }
    void SetUseTranslateStringEngineDateTimeFormats(bool Value) { FUseEngineDateTimeFormats = Value; }
    bool StoreStringListAsSingleString() const { return FStoreStringListAsSingleString; }
    void SetStoreStringListAsSingleString(bool Value) { FStoreStringListAsSingleString = Value; }

    // The text written for a Boolean, and whether a text is a True or False word.
    String DefaultTrueString() const;
    String DefaultFalseString() const;
    bool IsValueTrueString(const String& Value) const;
    bool IsValueFalseString(const String& Value) const;

private:
    String FTrueValues = QStringLiteral("TRUE, YES, Y");
    String FFalseValues = QStringLiteral("FALSE, NO, N");
    bool FBooleanAsString = true;
    bool FEnumerationAsString = true;
    bool FTypedIntegerAsString = true;
    bool FSetAsString = false;
    bool FDateTimeAsString = true;
    bool FFloatAsString = false;
    bool FDefaultIfReadConvertError = false;
    bool FDefaultIfValueNotExists = true;
    bool FStoreDefaultValues = true;
    bool FUseOldItemNameFormat = true;
    bool FUseEngineDateTimeFormats = false;
    bool FStoreStringListAsSingleString = false;
};

using TKitAppStorageOptions = TKitCustomAppStorageOptions;

using TKitAppStoragePropTranslateEvent =
    TDelegate<void(TObject* Sender, TPersistent* Instance, String& Name, bool Reading)>;
using TKitAppStorageCryptEvent = TDelegate<void(TObject* Sender, String& Value)>;

// What an ordinal value is, for enumeration reads and writes: its kind and,
// for enumerations and Booleans, its names.
struct TKitOrdinalType {
    TTypeKind Kind = tkInteger;
    const TEnumInfo* EnumInfo = nullptr;
};

class TKitCustomAppStorage : public TKitComponent {
public:
    explicit TKitCustomAppStorage(TComponent* AOwner);
    ~TKitCustomAppStorage() override;
    String ClassName() const override { return String::fromLatin1("TKitCustomAppStorage"); }

    // The normalised join of path texts: ".." moves up, a part beginning
    // with "\" starts afresh, empty segments vanish.
    static String JoinPaths(const QStringList& Parts);
    // Root + "\" + the normalised path, without leading "\".
    String FullPath(const String& Path) const;
    void SplitPath(const String& Path, String& Key, String& ValueName) const;

    const String& Root() const { return FRoot; }
    virtual void SetRoot(const String& Value);
    TKitCustomAppStorageOptions* StorageOptions() const { return FOptions.get(); }
    void SetStorageOptions(const TKitCustomAppStorageOptions* Value);
    TKitTranslateString* TranslateStringEngine() const { return FTranslateStringEngine; }
    void SetTranslateStringEngine(TKitTranslateString* Value);
    // The external engine when set, else the storage's own.
    TKitTranslateString* ActiveTranslateStringEngine() const;
    bool ReadOnly() const;
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool FlushOnDestroy() const { return FFlushOnDestroy; }
    virtual void SetFlushOnDestroy(bool Value) { FFlushOnDestroy = Value; }

    // Texts pass through the crypt events (as Base64) while enabled.
    void EnablePropertyValueCrypt() { ++FCryptLevel; }
    void DisablePropertyValueCrypt() { if (FCryptLevel > 0) --FCryptLevel; }
    bool IsPropertyValueCryptEnabled() const { return FCryptLevel > 0; }

    // ---- public typed operations ----
    bool FolderExists(const String& Path, bool ListIsValue = true);
    bool PathIsFolder(const String& Path);
    bool ValueStored(const String& Path);
    bool ListStored(const String& Path, const String& ItemName = QStringLiteral("Item"));
    void DeleteValue(const String& Path);
    void DeleteSubTree(const String& Path);
    void GetStoredValues(const String& Path, TStrings* Strings, bool WithValues = true);
    void EnumFolders(const String& Path, TStrings* Strings, bool ReportListAsValue = true);
    void EnumValues(const String& Path, TStrings* Strings, bool ReportListAsValue = true);

    int ReadInteger(const String& Path, int Default = 0);
    void WriteInteger(const String& Path, int Value);
    long double ReadFloat(const String& Path, long double Default = 0);
    void WriteFloat(const String& Path, long double Value);
    String ReadString(const String& Path, const String& Default = String());
    void WriteString(const String& Path, const String& Value);
    String ReadWideString(const String& Path, const String& Default = String());
    void WriteWideString(const String& Path, const String& Value);
    TDateTime ReadDateTime(const String& Path, TDateTime Default);
    void WriteDateTime(const String& Path, TDateTime Value);
    bool ReadBoolean(const String& Path, bool Default);
    void WriteBoolean(const String& Path, bool Value);
    QByteArray ReadBinary(const String& Path, int MaxSize);
    void WriteBinary(const String& Path, const QByteArray& Value);
    int64_t ReadEnumeration(const String& Path, const TKitOrdinalType& Type, int64_t Default);
    void WriteEnumeration(const String& Path, const TKitOrdinalType& Type, int64_t Value);
    uint64_t ReadSet(const String& Path, const TEnumInfo& ElementInfo, uint64_t Default);
    void WriteSet(const String& Path, const TEnumInfo& ElementInfo, uint64_t Value);

    using TKitAppStorageListItemEvent = std::function<void(const String& Path, int Index, const String& ItemName)>;
    using TKitAppStorageListDeleteEvent =
        std::function<void(const String& Path, int First, int Last, const String& ItemName)>;
    int ReadList(const String& Path, const String& ItemName, const TKitAppStorageListItemEvent& OnReadItem);
    void WriteList(const String& Path, int ItemCount, const String& ItemName,
                   const TKitAppStorageListItemEvent& OnWriteItem, const TKitAppStorageListDeleteEvent& OnDeleteItems);
    int ReadStringList(const String& Path, TStrings* Strings, bool ClearFirst = true,
                       const String& ItemName = QStringLiteral("Item"));
    void WriteStringList(const String& Path, TStrings* Strings, const String& ItemName = QStringLiteral("Item"));
    int ReadCollection(const String& Path, TCollection* Collection, bool ClearFirst = true,
                       const String& ItemName = QStringLiteral("Item"));
    void WriteCollection(const String& Path, TCollection* Collection, const String& ItemName = QStringLiteral("Item"));

    void ReadProperty(const String& Path, TPersistent* Instance, const String& PropName, bool Recursive = true,
                      bool ClearFirst = true, const QStringList* IgnoreList = nullptr);
    void WriteProperty(const String& Path, TPersistent* Instance, const String& PropName, bool Recursive = true,
                       const QStringList* IgnoreList = nullptr);
    void ReadPersistent(const String& Path, TPersistent* Instance, bool Recursive = true, bool ClearFirst = true,
                        const QStringList* IgnoreList = nullptr);
    void WritePersistent(const String& Path, TPersistent* Instance, bool Recursive = true,
                         const QStringList* IgnoreList = nullptr);

    String TranslatePropertyName(TPersistent* Instance, const String& Name, bool Reading);

    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return FUpdateCount > 0; }
    virtual void Flush() {}
    virtual void Reload() {}
    void Loaded() override;

    // Names of set members and list items.
    static String CharName(QChar C);
    static String IntName(int N);
    String ItemName(const String& Name, int Index) const;

    TKitAppStoragePropTranslateEvent OnTranslatePropertyName;
    TKitAppStorageCryptEvent OnEncryptPropertyValue;
    TKitAppStorageCryptEvent OnDecryptPropertyValue;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // ---- the back end's primitives ----
    virtual void DoEnumFolders(const String& Path, TStrings* Strings, bool ReportListAsValue) = 0;
    virtual void DoEnumValues(const String& Path, TStrings* Strings, bool ReportListAsValue) = 0;
    virtual bool DoFolderExists(const String& Path, bool ListIsValue) = 0;
    virtual bool DoPathIsFolder(const String& Path) = 0;
    virtual bool DoValueStored(const String& Path) = 0;
    virtual void DoDeleteValue(const String& Path) = 0;
    virtual void DoDeleteSubTree(const String& Path) = 0;
    virtual int DoReadInteger(const String& Path, int Default) = 0;
    virtual void DoWriteInteger(const String& Path, int Value) = 0;
    virtual long double DoReadFloat(const String& Path, long double Default) = 0;
    virtual void DoWriteFloat(const String& Path, long double Value) = 0;
    virtual String DoReadString(const String& Path, const String& Default) = 0;
    virtual void DoWriteString(const String& Path, const String& Value) = 0;
    virtual String DoReadWideString(const String& Path, const String& Default) { return ReadString(Path, Default); }
    virtual void DoWriteWideString(const String& Path, const String& Value) { DoWriteString(Path, Value); }
    virtual QByteArray DoReadBinary(const String& Path, int MaxSize) = 0;
    virtual void DoWriteBinary(const String& Path, const QByteArray& Value) = 0;
    virtual TDateTime DoReadDateTime(const String& Path, TDateTime Default)
    {
        return TDateTime(DoReadFloat(Path, Default));
    }
    virtual void DoWriteDateTime(const String& Path, TDateTime Value) { DoWriteFloat(Path, Value); }
    virtual bool DoReadBoolean(const String& Path, bool Default) { return DoReadInteger(Path, Default ? 1 : 0) != 0; }
    virtual void DoWriteBoolean(const String& Path, bool Value) { DoWriteInteger(Path, Value ? 1 : 0); }

    // ---- the option-aware layer ----
    virtual int ReadIntegerValue(const String& Path, int Default);
    virtual long double ReadFloatValue(const String& Path, long double Default);
    virtual void WriteFloatValue(const String& Path, long double Value);
    virtual String ReadStringValue(const String& Path, const String& Default);
    virtual void WriteStringValue(const String& Path, const String& Value);
    virtual TDateTime ReadDateTimeValue(const String& Path, TDateTime Default);
    virtual void WriteDateTimeValue(const String& Path, TDateTime Value);
    virtual bool ReadBooleanValue(const String& Path, bool Default);
    virtual void WriteBooleanValue(const String& Path, bool Value);
    virtual int64_t ReadEnumerationValue(const String& Path, const TKitOrdinalType& Type, int64_t Default);
    virtual void WriteEnumerationValue(const String& Path, const TKitOrdinalType& Type, int64_t Value);
    virtual uint64_t ReadSetValue(const String& Path, const TEnumInfo& ElementInfo, uint64_t Default);
    virtual void WriteSetValue(const String& Path, const TEnumInfo& ElementInfo, uint64_t Value);

    virtual String DateTimeToString(TDateTime Value);
    virtual TDateTime StringToDateTime(const String& Value);
    int ReadListCount(const String& Path);
    void WriteListCount(const String& Path, int Count);

    bool missing(const String& Path);
    bool convertErrorGivesDefault() const;
    String encrypt(const String& Value);
    String decrypt(const String& Value);

private:
    String FRoot;
    std::unique_ptr<TKitCustomAppStorageOptions> FOptions;
    std::unique_ptr<TKitTranslateString> FInternalEngine;
    TKitTranslateString* FTranslateStringEngine = nullptr;
    bool FReadOnly = false;
    bool FFlushOnDestroy = true;
    int FUpdateCount = 0;
    int FCryptLevel = 0;
};
