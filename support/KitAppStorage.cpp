#include "support/KitAppStorage.h"

#include "platform/rtl/Collection.h"
#include "support/SxMime.h"

using namespace KitResources;

// ---- options ------------------------------------------------------------------

namespace {
String firstWord(const String& List)
{
    const qsizetype comma = List.indexOf(u',');
    return (comma < 0 ? List : List.left(comma)).trimmed();
}

bool wordInList(const String& Word, const String& List)
{
    TStringList items;
    items.SetCommaText(List.toUpper());
    return items.IndexOf(Word.toUpper()) >= 0 && !Word.isEmpty();
}
}  // namespace

void TKitCustomAppStorageOptions::SetBooleanStringTrueValues(const String& Value)
{
    FTrueValues = Value;
    if (firstWord(Value).isEmpty())
        FBooleanAsString = false;
}

void TKitCustomAppStorageOptions::SetBooleanStringFalseValues(const String& Value)
{
    FFalseValues = Value;
    if (firstWord(Value).isEmpty())
        FBooleanAsString = false;
}

void TKitCustomAppStorageOptions::SetBooleanAsString(bool Value)
{
    FBooleanAsString = Value && !firstWord(FTrueValues).isEmpty() && !firstWord(FFalseValues).isEmpty();
}

String TKitCustomAppStorageOptions::DefaultTrueString() const { return firstWord(FTrueValues); }
String TKitCustomAppStorageOptions::DefaultFalseString() const { return firstWord(FFalseValues); }
bool TKitCustomAppStorageOptions::IsValueTrueString(const String& Value) const { return wordInList(Value, FTrueValues); }
bool TKitCustomAppStorageOptions::IsValueFalseString(const String& Value) const
{
    return wordInList(Value, FFalseValues);
}

void TKitCustomAppStorageOptions::Assign(const TPersistent* Source)
{
    if (Source == this || Source == nullptr)
        return;
    if (auto* src = dynamic_cast<const TKitCustomAppStorageOptions*>(Source)) {
        FTrueValues = src->FTrueValues;
        FFalseValues = src->FFalseValues;
        FBooleanAsString = src->FBooleanAsString;
        FEnumerationAsString = src->FEnumerationAsString;
        FTypedIntegerAsString = src->FTypedIntegerAsString;
        FSetAsString = src->FSetAsString;
        FDateTimeAsString = src->FDateTimeAsString;
        FFloatAsString = src->FFloatAsString;
        FDefaultIfReadConvertError = src->FDefaultIfReadConvertError;
        FDefaultIfValueNotExists = src->FDefaultIfValueNotExists;
        FStoreDefaultValues = src->FStoreDefaultValues;
        FUseOldItemNameFormat = src->FUseOldItemNameFormat;
        FUseEngineDateTimeFormats = src->FUseEngineDateTimeFormats;
        FStoreStringListAsSingleString = src->FStoreStringListAsSingleString;
        return;
    }
    TPersistent::Assign(Source);
}

const TClassInfo* TKitCustomAppStorageOptions::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TKitCustomAppStorageOptions::StaticClassInfo()
{
    using O = TKitCustomAppStorageOptions;
    static const TClassInfo info =
        TClassInfoBuilder<O>("TKitAppStorageOptions")
            .Str("BooleanStringTrueValues", &O::BooleanStringTrueValues, &O::SetBooleanStringTrueValues,
                 QStringLiteral("TRUE, YES, Y"))
            .Str("BooleanStringFalseValues", &O::BooleanStringFalseValues, &O::SetBooleanStringFalseValues,
                 QStringLiteral("FALSE, NO, N"))
            .Bool("BooleanAsString", &O::BooleanAsString, &O::SetBooleanAsString, true)
            .Bool("EnumerationAsString", &O::EnumerationAsString, &O::SetEnumerationAsString, true)
            .Bool("TypedIntegerAsString", &O::TypedIntegerAsString, &O::SetTypedIntegerAsString, true)
            .Bool("SetAsString", &O::SetAsString, &O::SetSetAsString, false)
            .Bool("DateTimeAsString", &O::DateTimeAsString, &O::SetDateTimeAsString, true)
            .Bool("FloatAsString", &O::FloatAsString, &O::SetFloatAsString, false)
            .Bool("DefaultIfReadConvertError", &O::DefaultIfReadConvertError, &O::SetDefaultIfReadConvertError, false)
            .Bool("DefaultIfValueNotExists", &O::DefaultIfValueNotExists, &O::SetDefaultIfValueNotExists, true)
            .Bool("StoreDefaultValues", &O::StoreDefaultValues, &O::SetStoreDefaultValues, true)
            .Bool("UseOldItemNameFormat", &O::UseOldItemNameFormat, &O::SetUseOldItemNameFormat, true)
            .Bool("UseTranslateStringEngineDateTimeFormats", &O::UseTranslateStringEngineDateTimeFormats,
                  &O::SetUseTranslateStringEngineDateTimeFormats, false)
            .Bool("StoreStringListAsSingleString", &O::StoreStringListAsSingleString,
                  &O::SetStoreStringListAsSingleString, false)
            .Build();
    return info;
}

// ---- the storage ----------------------------------------------------------------

TKitCustomAppStorage::TKitCustomAppStorage(TComponent* AOwner)
    : TKitComponent(AOwner),
      FOptions(std::make_unique<TKitCustomAppStorageOptions>()),
      FInternalEngine(std::make_unique<TKitTranslateString>(nullptr))
{
}

TKitCustomAppStorage::~TKitCustomAppStorage()
{
    if (FFlushOnDestroy) {
        try {
            Flush();
        } catch (...) {
            HandleCurrentException();
        }
    }
}

String TKitCustomAppStorage::JoinPaths(const QStringList& Parts)
{
    qsizetype start = 0;
    for (qsizetype i = Parts.size() - 1; i >= 1; --i)
        if (Parts[i].startsWith(u'\\')) {
            start = i;
            break;
        }
    QStringList collected;
    for (qsizetype i = start; i < Parts.size(); ++i)
        for (const auto& seg : Parts[i].split(u'\\', Qt::SkipEmptyParts)) {
            if (seg.count(u'.') == seg.size()) {
                for (qsizetype n = seg.size() - 1; n > 0 && !collected.isEmpty(); --n)
                    collected.removeLast();
                continue;
            }
            collected << seg;
        }
    return collected.join(u'\\');
}

String TKitCustomAppStorage::FullPath(const String& Path) const
{
    String result = FRoot + u'\\' + JoinPaths({Path});
    while (result.startsWith(u'\\'))
        result.remove(0, 1);
    return result;
}

void TKitCustomAppStorage::SplitPath(const String& Path, String& Key, String& ValueName) const
{
    const String full = FullPath(Path);
    const qsizetype i = full.lastIndexOf(u'\\');
    Key = i < 0 ? String() : full.left(i);
    ValueName = full.mid(i + 1);
}

void TKitCustomAppStorage::SetRoot(const String& Value) { FRoot = JoinPaths({Value}); }

void TKitCustomAppStorage::SetStorageOptions(const TKitCustomAppStorageOptions* Value)
{
    if (Value != nullptr && Value != FOptions.get())
        FOptions->Assign(Value);
}

void TKitCustomAppStorage::SetTranslateStringEngine(TKitTranslateString* Value)
{
    if (Value == FTranslateStringEngine)
        return;
    if (FTranslateStringEngine != nullptr)
        FTranslateStringEngine->RemoveFreeNotification(this);
    FTranslateStringEngine = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

TKitTranslateString* TKitCustomAppStorage::ActiveTranslateStringEngine() const
{
    return FTranslateStringEngine != nullptr ? FTranslateStringEngine : FInternalEngine.get();
}

void TKitCustomAppStorage::Notification(TComponent* AComponent, TOperation Operation)
{
    TKitComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FTranslateStringEngine)
        FTranslateStringEngine = nullptr;
}

bool TKitCustomAppStorage::ReadOnly() const { return FReadOnly; }

void TKitCustomAppStorage::Loaded()
{
    TKitComponent::Loaded();
    if (!IsUpdating())
        Reload();
}

void TKitCustomAppStorage::BeginUpdate() { ++FUpdateCount; }

void TKitCustomAppStorage::EndUpdate()
{
    --FUpdateCount;
    if (FUpdateCount < 0)
        FUpdateCount = 0;
}

String TKitCustomAppStorage::CharName(QChar C)
{
    if (C.unicode() >= 33 && C.unicode() <= 122)
        return QStringLiteral("Char_") + C;
    return QStringLiteral("Char#") + QString::number(C.unicode());
}

String TKitCustomAppStorage::IntName(int N) { return QStringLiteral("Int_") + QString::number(N); }

String TKitCustomAppStorage::ItemName(const String& Name, int Index) const
{
    if (FOptions->UseOldItemNameFormat())
        return Name + QString::number(Index);
    return Name + u'[' + QString::number(Index) + u']';
}

String TKitCustomAppStorage::TranslatePropertyName(TPersistent* Instance, const String& Name, bool Reading)
{
    String result = Name;
    if (OnTranslatePropertyName.Assigned())
        OnTranslatePropertyName(this, Instance, result, Reading);
    return result;
}

// ---- helpers of the option-aware layer --------------------------------------------

bool TKitCustomAppStorage::missing(const String& Path)
{
    return FOptions->DefaultIfValueNotExists() && !DoValueStored(Path);
}

bool TKitCustomAppStorage::convertErrorGivesDefault() const { return FOptions->DefaultIfReadConvertError(); }

String TKitCustomAppStorage::encrypt(const String& Value)
{
    if (FCryptLevel <= 0 || !OnEncryptPropertyValue.Assigned())
        return Value;
    String v = Value;
    OnEncryptPropertyValue(this, v);
    return String::fromLatin1(Base64EncodeText(v.toLatin1()));
}

String TKitCustomAppStorage::decrypt(const String& Value)
{
    if (FCryptLevel <= 0 || !OnDecryptPropertyValue.Assigned())
        return Value;
    String v = String::fromLatin1(Base64DecodeText(Value.toLatin1()));
    OnDecryptPropertyValue(this, v);
    return v;
}

// ---- public operations ----------------------------------------------------------------

bool TKitCustomAppStorage::FolderExists(const String& Path, bool ListIsValue) { return DoFolderExists(Path, ListIsValue); }
bool TKitCustomAppStorage::PathIsFolder(const String& Path) { return DoPathIsFolder(Path); }
bool TKitCustomAppStorage::ValueStored(const String& Path) { return DoValueStored(Path); }

bool TKitCustomAppStorage::ListStored(const String& Path, const String&)
{
    return DoValueStored(JoinPaths({Path, QStringLiteral("Count")}));
}

void TKitCustomAppStorage::DeleteValue(const String& Path)
{
    if (!ReadOnly())
        DoDeleteValue(Path);
}

void TKitCustomAppStorage::DeleteSubTree(const String& Path)
{
    if (!ReadOnly())
        DoDeleteSubTree(Path);
}

void TKitCustomAppStorage::GetStoredValues(const String& Path, TStrings* Strings, bool)
{
    EnumValues(Path, Strings, true);
}

void TKitCustomAppStorage::EnumFolders(const String& Path, TStrings* Strings, bool ReportListAsValue)
{
    DoEnumFolders(Path, Strings, ReportListAsValue);
}

void TKitCustomAppStorage::EnumValues(const String& Path, TStrings* Strings, bool ReportListAsValue)
{
    DoEnumValues(Path, Strings, ReportListAsValue);
}

int TKitCustomAppStorage::ReadInteger(const String& Path, int Default) { return ReadIntegerValue(Path, Default); }

void TKitCustomAppStorage::WriteInteger(const String& Path, int Value)
{
    if (!ReadOnly())
        DoWriteInteger(Path, Value);
}

long double TKitCustomAppStorage::ReadFloat(const String& Path, long double Default)
{
    return ReadFloatValue(Path, Default);
}

void TKitCustomAppStorage::WriteFloat(const String& Path, long double Value)
{
    if (!ReadOnly())
        WriteFloatValue(Path, Value);
}

String TKitCustomAppStorage::ReadString(const String& Path, const String& Default)
{
    return ReadStringValue(Path, Default);
}

void TKitCustomAppStorage::WriteString(const String& Path, const String& Value)
{
    if (!ReadOnly())
        WriteStringValue(Path, Value);
}

String TKitCustomAppStorage::ReadWideString(const String& Path, const String& Default)
{
    return DoReadWideString(Path, Default);
}

void TKitCustomAppStorage::WriteWideString(const String& Path, const String& Value) { DoWriteWideString(Path, Value); }

TDateTime TKitCustomAppStorage::ReadDateTime(const String& Path, TDateTime Default)
{
    return ReadDateTimeValue(Path, Default);
}

void TKitCustomAppStorage::WriteDateTime(const String& Path, TDateTime Value)
{
    if (!ReadOnly())
        WriteDateTimeValue(Path, Value);
}

bool TKitCustomAppStorage::ReadBoolean(const String& Path, bool Default) { return ReadBooleanValue(Path, Default); }

void TKitCustomAppStorage::WriteBoolean(const String& Path, bool Value)
{
    if (!ReadOnly())
        WriteBooleanValue(Path, Value);
}

QByteArray TKitCustomAppStorage::ReadBinary(const String& Path, int MaxSize) { return DoReadBinary(Path, MaxSize); }

void TKitCustomAppStorage::WriteBinary(const String& Path, const QByteArray& Value)
{
    if (!ReadOnly())
        DoWriteBinary(Path, Value);
}

int64_t TKitCustomAppStorage::ReadEnumeration(const String& Path, const TKitOrdinalType& Type, int64_t Default)
{
    return ReadEnumerationValue(Path, Type, Default);
}

void TKitCustomAppStorage::WriteEnumeration(const String& Path, const TKitOrdinalType& Type, int64_t Value)
{
    if (!ReadOnly())
        WriteEnumerationValue(Path, Type, Value);
}

uint64_t TKitCustomAppStorage::ReadSet(const String& Path, const TEnumInfo& ElementInfo, uint64_t Default)
{
    return ReadSetValue(Path, ElementInfo, Default);
}

void TKitCustomAppStorage::WriteSet(const String& Path, const TEnumInfo& ElementInfo, uint64_t Value)
{
    if (!ReadOnly())
        WriteSetValue(Path, ElementInfo, Value);
}

// ---- the option-aware layer ---------------------------------------------------------

int TKitCustomAppStorage::ReadIntegerValue(const String& Path, int Default)
{
    if (missing(Path))
        return Default;
    try {
        return DoReadInteger(Path, Default);
    } catch (const EConvertError&) {
        if (convertErrorGivesDefault())
            return Default;
        throw;
    }
}

String TKitCustomAppStorage::ReadStringValue(const String& Path, const String& Default)
{
    if (missing(Path))
        return Default;
    return decrypt(DoReadString(Path, encrypt(Default)));
}

void TKitCustomAppStorage::WriteStringValue(const String& Path, const String& Value) { DoWriteString(Path, encrypt(Value)); }

long double TKitCustomAppStorage::ReadFloatValue(const String& Path, long double Default)
{
    if (missing(Path))
        return Default;
    auto fromText = [&] { return StrToFloat(decrypt(DoReadString(Path, encrypt(FloatToStr(Default))))); };
    try {
        if (FOptions->FloatAsString()) {
            try {
                return fromText();
            } catch (const EConvertError&) {
                return DoReadFloat(Path, Default);
            }
        }
        try {
            return DoReadFloat(Path, Default);
        } catch (const EConvertError&) {
            return fromText();
        }
    } catch (const EConvertError&) {
        if (convertErrorGivesDefault())
            return Default;
        throw;
    }
}

void TKitCustomAppStorage::WriteFloatValue(const String& Path, long double Value)
{
    if (FOptions->FloatAsString())
        DoWriteString(Path, encrypt(FloatToStr(Value)));
    else
        DoWriteFloat(Path, Value);
}

String TKitCustomAppStorage::DateTimeToString(TDateTime Value) { return DateTimeToStr(Value); }
TDateTime TKitCustomAppStorage::StringToDateTime(const String& Value) { return StrToDateTime(Value); }

TDateTime TKitCustomAppStorage::ReadDateTimeValue(const String& Path, TDateTime Default)
{
    if (missing(Path))
        return Default;
    auto fromText = [&] {
        return StringToDateTime(decrypt(DoReadString(Path, encrypt(DateTimeToString(Default)))));
    };
    try {
        if (FOptions->DateTimeAsString()) {
            try {
                return fromText();
            } catch (const EConvertError&) {
                return DoReadDateTime(Path, Default);
            }
        }
        try {
            return DoReadDateTime(Path, Default);
        } catch (const EConvertError&) {
            return fromText();
        }
    } catch (const EConvertError&) {
        if (convertErrorGivesDefault())
            return Default;
        throw;
    }
}

void TKitCustomAppStorage::WriteDateTimeValue(const String& Path, TDateTime Value)
{
    if (FOptions->DateTimeAsString())
        DoWriteString(Path, encrypt(DateTimeToString(Value)));
    else
        DoWriteDateTime(Path, Value);
}

bool TKitCustomAppStorage::ReadBooleanValue(const String& Path, bool Default)
{
    if (missing(Path))
        return Default;
    if (!FOptions->BooleanAsString())
        return DoReadBoolean(Path, Default);
    String text;
    try {
        const String def = Default ? FOptions->DefaultTrueString() : FOptions->DefaultFalseString();
        text = decrypt(DoReadString(Path, encrypt(def)));
    } catch (const EConvertError&) {
        return DoReadBoolean(Path, Default);
    }
    if (FOptions->IsValueTrueString(text))
        return true;
    if (FOptions->IsValueFalseString(text))
        return false;
    return DoReadBoolean(Path, Default);
}

void TKitCustomAppStorage::WriteBooleanValue(const String& Path, bool Value)
{
    if (FOptions->BooleanAsString())
        DoWriteString(Path, encrypt(Value ? FOptions->DefaultTrueString() : FOptions->DefaultFalseString()));
    else
        DoWriteBoolean(Path, Value);
}

namespace {
bool booleanLike(const TKitOrdinalType& Type)
{
    return Type.Kind == tkEnumeration && Type.EnumInfo != nullptr &&
           (Type.EnumInfo == &BooleanInfo || Type.EnumInfo->MinValue < 0);
}
}  // namespace

void TKitCustomAppStorage::WriteEnumerationValue(const String& Path, const TKitOrdinalType& Type, int64_t Value)
{
    if (booleanLike(Type)) {
        WriteBooleanValue(Path, Value != 0);
        return;
    }
    switch (Type.Kind) {
    case tkInteger:
    case tkInt64:
    case tkChar:
    case tkWChar:
        DoWriteInteger(Path, int(Value));
        return;
    case tkEnumeration:
        if (FOptions->EnumerationAsString() && Type.EnumInfo != nullptr) {
            const String name = GetEnumName(*Type.EnumInfo, int(Value));
            if (!name.isEmpty()) {
                WriteStringValue(Path, name);
                return;
            }
        }
        DoWriteInteger(Path, int(Value));
        return;
    default:
        throw EKitAppStorageError(LoadResString(RsInvalidType));
    }
}

int64_t TKitCustomAppStorage::ReadEnumerationValue(const String& Path, const TKitOrdinalType& Type, int64_t Default)
{
    if (missing(Path))
        return Default;
    try {
        if (booleanLike(Type))
            return ReadBooleanValue(Path, Default != 0) ? 1 : 0;
        switch (Type.Kind) {
        case tkInteger:
        case tkInt64:
        case tkChar:
        case tkWChar:
            return ReadIntegerValue(Path, int(Default));
        case tkEnumeration: {
            static const String notKnown = QStringLiteral(" #!@not known@!# ");
            const String text = ReadStringValue(Path, notKnown);
            const int byName = Type.EnumInfo != nullptr && text != notKnown ? GetEnumValue(*Type.EnumInfo, text) : -1;
            if (byName >= 0)
                return byName;
            const int byNumber = ReadIntegerValue(Path, -1);
            return byNumber == -1 ? Default : byNumber;
        }
        default:
            throw EKitAppStorageError(LoadResString(RsInvalidType));
        }
    } catch (const EConvertError&) {
        if (convertErrorGivesDefault())
            return Default;
        throw;
    }
}

void TKitCustomAppStorage::WriteSetValue(const String& Path, const TEnumInfo& ElementInfo, uint64_t Value)
{
    if (FOptions->SetAsString()) {
        WriteStringValue(Path, SetToString(ElementInfo, Value, true));
        return;
    }
    for (int i = ElementInfo.MinValue; i <= ElementInfo.MaxValue(); ++i)
        WriteBoolean(JoinPaths({Path, GetEnumName(ElementInfo, i)}), (Value >> i) & 1);
}

uint64_t TKitCustomAppStorage::ReadSetValue(const String& Path, const TEnumInfo& ElementInfo, uint64_t Default)
{
    if (DoFolderExists(Path, true)) {
        uint64_t result = 0;
        for (int i = ElementInfo.MinValue; i <= ElementInfo.MaxValue(); ++i)
            if (ReadBoolean(JoinPaths({Path, GetEnumName(ElementInfo, i)}), false))
                result |= uint64_t{1} << i;
        return result;
    }
    const String text = ReadStringValue(Path, SetToString(ElementInfo, Default, true));
    try {
        return StringToSet(ElementInfo, text);
    } catch (const EPropertyError&) {
        if (convertErrorGivesDefault())
            return Default;
        throw EConvertError(LoadResString(RtlConsts::SInvalidPropertyValue));
    }
}

// ---- lists ------------------------------------------------------------------------------

int TKitCustomAppStorage::ReadListCount(const String& Path)
{
    return ReadInteger(JoinPaths({Path, QStringLiteral("Count")}), 0);
}

void TKitCustomAppStorage::WriteListCount(const String& Path, int Count)
{
    WriteInteger(JoinPaths({Path, QStringLiteral("Count")}), Count);
}

namespace {
// Ends an update on every way out.
template <class T>
class UpdateScope {
public:
    explicit UpdateScope(T* Target) : FTarget(Target) { FTarget->BeginUpdate(); }
    ~UpdateScope() { FTarget->EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    T* FTarget;
};
}  // namespace

int TKitCustomAppStorage::ReadList(const String& Path, const String& ItemName,
                                   const TKitAppStorageListItemEvent& OnReadItem)
{
    UpdateScope scope(this);
    const int count = ReadListCount(Path);
    for (int i = 0; i < count; ++i)
        OnReadItem(Path, i, ItemName);
    return count;
}

void TKitCustomAppStorage::WriteList(const String& Path, int ItemCount, const String& ItemName,
                                     const TKitAppStorageListItemEvent& OnWriteItem,
                                     const TKitAppStorageListDeleteEvent& OnDeleteItems)
{
    if (ReadOnly())
        return;
    UpdateScope scope(this);
    const int oldCount = ReadListCount(Path);
    for (int i = 0; i < ItemCount; ++i)
        OnWriteItem(Path, i, ItemName);
    if (ItemCount < oldCount && OnDeleteItems)
        OnDeleteItems(Path, ItemCount, oldCount - 1, ItemName);
    WriteListCount(Path, ItemCount);
}

void TKitCustomAppStorage::WriteStringList(const String& Path, TStrings* Strings, const String& ItemName)
{
    UpdateScope scope(this);
    if (FOptions->StoreStringListAsSingleString()) {
        if (ListStored(Path))
            DeleteSubTree(Path);
        QStringList lines;
        for (int i = 0; i < Strings->Count(); ++i)
            lines << Strings->Strings(i);
        WriteString(Path, lines.join(QStringLiteral("\r\n")));
        return;
    }
    WriteList(
        Path, Strings->Count(), ItemName,
        [&](const String& P, int I, const String& N) { WriteString(JoinPaths({P, this->ItemName(N, I)}), Strings->Strings(I)); },
        [&](const String& P, int First, int Last, const String& N) {
            for (int i = First; i <= Last; ++i)
                DeleteValue(JoinPaths({P, N + QString::number(i)}));
        });
    WritePersistent(Path, Strings);
}

int TKitCustomAppStorage::ReadStringList(const String& Path, TStrings* Strings, bool ClearFirst, const String& ItemName)
{
    UpdateScope scope(this);
    UpdateScope listScope(Strings);
    if (ClearFirst)
        Strings->Clear();
    if (ListStored(Path)) {
        ReadPersistent(Path, Strings);
        return ReadList(Path, ItemName, [&](const String& P, int I, const String& N) {
            Strings->Add(ReadString(JoinPaths({P, this->ItemName(N, I)}), String()));
        });
    }
    if (ValueStored(Path))
        Strings->SetText(ReadString(Path, String()));
    return Strings->Count();
}

void TKitCustomAppStorage::WriteCollection(const String& Path, TCollection* Collection, const String& ItemName)
{
    WriteList(
        Path, Collection->Count(), ItemName,
        [&](const String& P, int I, const String& N) {
            WritePersistent(JoinPaths({P, this->ItemName(N, I)}), Collection->Items(I));
        },
        [&](const String& P, int First, int Last, const String& N) {
            for (int i = First; i <= Last; ++i)
                DeleteValue(JoinPaths({P, N + QString::number(i)}));
        });
    WritePersistent(Path, Collection);
}

int TKitCustomAppStorage::ReadCollection(const String& Path, TCollection* Collection, bool ClearFirst,
                                         const String& ItemName)
{
    if (!ListStored(Path) && FOptions->DefaultIfValueNotExists())
        return Collection->Count();
    UpdateScope scope(Collection);
    if (ClearFirst)
        Collection->Clear();
    ReadPersistent(Path, Collection);
    return ReadList(Path, ItemName, [&](const String& P, int I, const String& N) {
        ReadPersistent(JoinPaths({P, this->ItemName(N, I)}), Collection->Add(), true, true);
    });
}

// ---- objects through their property tables -------------------------------------------------

void TKitCustomAppStorage::WritePersistent(const String& Path, TPersistent* Instance, bool Recursive,
                                           const QStringList* IgnoreList)
{
    if (Instance == nullptr || Instance->ClassInfo() == nullptr)
        return;
    for (const TPropInfo* p : Instance->ClassInfo()->PropList(tkProperties)) {
        const String name = TranslatePropertyName(Instance, p->Name, false);
        if (IgnoreList != nullptr && IgnoreList->contains(name, Qt::CaseInsensitive))
            continue;
        WriteProperty(JoinPaths({Path, name}), Instance, p->Name, Recursive, IgnoreList);
    }
}

void TKitCustomAppStorage::ReadPersistent(const String& Path, TPersistent* Instance, bool Recursive, bool ClearFirst,
                                          const QStringList* IgnoreList)
{
    if (Instance == nullptr || Instance->ClassInfo() == nullptr)
        return;
    for (const TPropInfo* p : Instance->ClassInfo()->PropList(tkProperties)) {
        const String name = TranslatePropertyName(Instance, p->Name, true);
        if (IgnoreList != nullptr && IgnoreList->contains(name, Qt::CaseInsensitive))
            continue;
        ReadProperty(JoinPaths({Path, name}), Instance, p->Name, Recursive, ClearFirst, IgnoreList);
    }
}

void TKitCustomAppStorage::WriteProperty(const String& Path, TPersistent* Instance, const String& PropName,
                                         bool Recursive, const QStringList* IgnoreList)
{
    if (Instance == nullptr)
        return;
    const TPropInfo* p = GetPropInfo(Instance, PropName);
    if (p == nullptr)
        return;
    const bool storeDefaults = FOptions->StoreDefaultValues();
    if (!storeDefaults && (p->ReadOnly() || (p->StoredFn && !p->StoredFn(Instance))))
        return;
    const bool isDefault = !storeDefaults && p->Kind != tkClass && IsDefaultPropertyValue(Instance, p);
    switch (p->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
        if (isDefault)
            return;
        if (FOptions->TypedIntegerAsString())
            WriteEnumeration(Path, {p->Kind, p->EnumInfo}, GetOrdProp(Instance, p));
        else
            WriteInteger(Path, int(GetOrdProp(Instance, p)));
        return;
    case tkEnumeration:
        if (!isDefault)
            WriteEnumeration(Path, {p->Kind, p->EnumInfo}, GetOrdProp(Instance, p));
        return;
    case tkFloat:
        if (!isDefault)
            WriteFloat(Path, GetFloatProp(Instance, p));
        return;
    case tkString:
    case tkLString:
    case tkUString:
        if (!isDefault)
            WriteString(Path, GetStrProp(Instance, p));
        return;
    case tkWString:
        if (!isDefault)
            WriteWideString(Path, GetStrProp(Instance, p));
        return;
    case tkSet:
        if (!isDefault && p->EnumInfo != nullptr)
            WriteSet(Path, *p->EnumInfo, uint64_t(GetOrdProp(Instance, p)));
        return;
    case tkInt64:
        if (!isDefault)
            WriteString(Path, QString::number(GetInt64Prop(Instance, p)));
        return;
    case tkBinary:
        if (!isDefault)
            WriteBinary(Path, GetBinaryProp(Instance, p));
        return;
    case tkClass: {
        TObject* obj = GetObjectProp(Instance, p);
        if (auto* strings = dynamic_cast<TStrings*>(obj))
            WriteStringList(Path, strings, QStringLiteral("Item"));
        else if (Recursive) {
            if (auto* coll = dynamic_cast<TCollection*>(obj))
                WriteCollection(Path, coll, QStringLiteral("Item"));
            else if (auto* pers = dynamic_cast<TPersistent*>(obj))
                WritePersistent(Path, pers, Recursive, IgnoreList);
        }
        return;
    }
    default:
        return;
    }
}

void TKitCustomAppStorage::ReadProperty(const String& Path, TPersistent* Instance, const String& PropName,
                                        bool Recursive, bool ClearFirst, const QStringList* IgnoreList)
{
    if (Instance == nullptr)
        return;
    const TPropInfo* p = GetPropInfo(Instance, PropName);
    if (p == nullptr)
        return;
    switch (p->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration: {
        const int64_t current = GetOrdProp(Instance, p);
        const int64_t v = ReadEnumeration(Path, {p->Kind, p->EnumInfo}, current);
        if (v != current)
            SetOrdProp(Instance, p, v);
        return;
    }
    case tkFloat:
        SetFloatProp(Instance, p, double(ReadFloat(Path, GetFloatProp(Instance, p))));
        return;
    case tkString:
    case tkLString:
    case tkUString:
        SetStrProp(Instance, p, ReadString(Path, GetStrProp(Instance, p)));
        return;
    case tkWString:
        SetStrProp(Instance, p, ReadWideString(Path, GetStrProp(Instance, p)));
        return;
    case tkSet:
        if (p->EnumInfo != nullptr)
            SetOrdProp(Instance, p, int64_t(ReadSet(Path, *p->EnumInfo, uint64_t(GetOrdProp(Instance, p)))));
        return;
    case tkInt64:
        SetInt64Prop(Instance, p, StrToInt64(ReadString(Path, QString::number(GetInt64Prop(Instance, p)))));
        return;
    case tkBinary:
        if (ValueStored(Path))
            SetBinaryProp(Instance, p, ReadBinary(Path, INT32_MAX));
        return;
    case tkClass: {
        TObject* obj = GetObjectProp(Instance, p);
        if (auto* strings = dynamic_cast<TStrings*>(obj))
            ReadStringList(Path, strings, ClearFirst, QStringLiteral("Item"));
        else if (Recursive) {
            if (auto* coll = dynamic_cast<TCollection*>(obj))
                ReadCollection(Path, coll, ClearFirst, QStringLiteral("Item"));
            else if (auto* pers = dynamic_cast<TPersistent*>(obj))
                ReadPersistent(Path, pers, Recursive, true, IgnoreList);
        }
        return;
    }
    default:
        return;
    }
}
