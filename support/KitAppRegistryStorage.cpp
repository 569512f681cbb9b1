#include "support/KitAppRegistryStorage.h"

#include <cmath>

#include "support/SxRegistry.h"

using namespace KitResources;

namespace {
constexpr const char* regKeyNames[] = {"hkClassesRoot", "hkCurrentUser", "hkLocalMachine", "hkUsers",
                                       "hkPerformanceData", "hkCurrentConfig", "hkDynData"};
const String oldDefaultRoot = QStringLiteral("Software\\%COMPANY_NAME%\\%APPL_NAME%");

bool isListItemName(const String& Name)
{
    const String last = Name.mid(Name.lastIndexOf(u'\\') + 1);
    return last.size() >= 5 && last.startsWith(QStringLiteral("Item"), Qt::CaseInsensitive) && last[4].isDigit();
}

// Closes the key on every path out.
struct OpenedKey {
    HKEY Key = 0;
    ~OpenedKey()
    {
        if (Key != 0)
            RegCloseKey(Key);
    }
};
}  // namespace

const TEnumInfo TKitRegKeyInfo{"TKitRegKey", regKeyNames};

TKitAppRegistryStorage::TKitAppRegistryStorage(TComponent* AOwner) : TKitCustomAppStorage(AOwner) {}

const TClassInfo* TKitAppRegistryStorage::ClassInfo() const { return &StaticClassInfo(); }

const TClassInfo& TKitAppRegistryStorage::StaticClassInfo()
{
    using S = TKitAppRegistryStorage;
    static const TClassInfo info =
        TClassInfoBuilder<S>("TKitAppRegistryStorage", &TComponent::StaticClassInfo())
            .Enum("RegRoot", TKitRegKeyInfo, &S::RegRoot, &S::SetRegRoot, hkCurrentUser)
            .Str("Root", &S::Root, [](S& s, const String& v) { s.SetRoot(v); })
            .Bool("ReadOnly", [](const S& s) { return s.ReadOnly(); }, &S::SetReadOnly, false)
            .Bool("FlushOnDestroy", &S::FlushOnDestroy, [](S& s, bool v) { s.SetFlushOnDestroy(v); }, true)
            .Bool("UseOldDefaultRoot", &S::UseOldDefaultRoot, &S::SetUseOldDefaultRoot, false)
            .Object("StorageOptions", &S::StorageOptions,
                    [](S& s, TKitCustomAppStorageOptions* v) { s.SetStorageOptions(v); })
            .Build();
    return info;
}

void TKitAppRegistryStorage::SetRoot(const String& Value)
{
    TKitCustomAppStorage::SetRoot(Value);
    if (ComponentState().Contains(csDesigning)) {
        if (Root() != JoinPaths({oldDefaultRoot}))
            FUseOldDefaultRoot = false;
        if (Root().isEmpty())
            TKitCustomAppStorage::SetRoot(QStringLiteral("%NONE%"));
        return;
    }
    if (Root() == u"%NONE%") {
        TKitCustomAppStorage::SetRoot(String());
        return;
    }
    bool changed = false;
    const String expanded = ActiveTranslateStringEngine()->TranslateString(Root(), changed);
    if (changed)
        TKitCustomAppStorage::SetRoot(expanded);
}

void TKitAppRegistryStorage::SetUseOldDefaultRoot(bool Value)
{
    FUseOldDefaultRoot = Value;
    if (Value)
        SetRoot(oldDefaultRoot);
}

void TKitAppRegistryStorage::Loaded()
{
    TKitCustomAppStorage::Loaded();
    SetUseOldDefaultRoot(FUseOldDefaultRoot);
    SetRoot(Root());
}

void TKitAppRegistryStorage::ensureKey(const String& Key)
{
    if (RegKeyPresent(FRegRoot, Key))
        return;
    OpenedKey k;
    if (RegCreateKeyEx(FRegRoot, Key, KEY_ALL_ACCESS, &k.Key) != ERROR_SUCCESS)
        throw EKitException(LoadResString(RsUnableToCreateKey), {Key});
}

template <class T, class F>
T TKitAppRegistryStorage::readOrDefault(T Default, F&& Read)
{
    try {
        return Read();
    } catch (const ESxRegistryError&) {
        if (StorageOptions()->DefaultIfReadConvertError())
            return Default;
        throw;
    }
}

bool TKitAppRegistryStorage::DoValueStored(const String& Path)
{
    String key, name;
    SplitPath(Path, key, name);
    if (!RegKeyPresent(FRegRoot, key))
        return false;
    OpenedKey k;
    if (RegOpenKeyEx(FRegRoot, key, 0, KEY_READ, &k.Key) != ERROR_SUCCESS)
        throw ESxRegistryError(LoadResString(SxResources::RsUnableToOpenKeyRead), {key, name});
    return RegQueryValueEx(k.Key, name, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TKitAppRegistryStorage::DoPathIsFolder(const String& Path)
{
    String key, name;
    SplitPath(Path, key, name);
    return RegKeyPresent(FRegRoot, key + u'\\' + name);
}

bool TKitAppRegistryStorage::DoFolderExists(const String& Path, bool ListIsValue)
{
    OpenedKey k;
    if (RegOpenKeyEx(FRegRoot, FullPath(Path), 0, KEY_READ, &k.Key) != ERROR_SUCCESS)
        return false;
    if (!ListIsValue || RegQueryValueEx(k.Key, QStringLiteral("Count"), nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    String name;
    for (uint32_t i = 0;; ++i) {
        const LONG rc = RegEnumValue(k.Key, i, &name);
        if (rc == ERROR_NO_MORE_ITEMS)
            return false;
        if (rc != ERROR_SUCCESS)
            throw ESxRegistryError(LoadResString(RsEnumeratingRegistry));
        if (name.compare(QStringLiteral("Count"), Qt::CaseInsensitive) != 0 && !isListItemName(name))
            return true;
    }
}

void TKitAppRegistryStorage::DoEnumFolders(const String& Path, TStrings* Strings, bool ReportListAsValue)
{
    OpenedKey k;
    if (RegOpenKeyEx(FRegRoot, FullPath(Path), 0, KEY_READ, &k.Key) != ERROR_SUCCESS)
        return;
    Strings->BeginUpdate();
    try {
        String name;
        for (uint32_t i = 0;; ++i) {
            const LONG rc = RegEnumKeyEx(k.Key, i, &name);
            if (rc == ERROR_NO_MORE_ITEMS)
                break;
            if (rc != ERROR_SUCCESS)
                throw ESxRegistryError(LoadResString(RsEnumeratingRegistry));
            if (ReportListAsValue && ListStored(Path + u'\\' + name))
                continue;
            Strings->Add(name);
        }
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

void TKitAppRegistryStorage::DoEnumValues(const String& Path, TStrings* Strings, bool ReportListAsValue)
{
    if (ReportListAsValue && ListStored(Path))
        Strings->Add(String());
    OpenedKey k;
    if (RegOpenKeyEx(FRegRoot, FullPath(Path), 0, KEY_READ, &k.Key) != ERROR_SUCCESS)
        return;
    Strings->BeginUpdate();
    try {
        String name;
        for (uint32_t i = 0;; ++i) {
            const LONG rc = RegEnumValue(k.Key, i, &name);
            if (rc == ERROR_NO_MORE_ITEMS)
                break;
            if (rc != ERROR_SUCCESS)
                throw ESxRegistryError(LoadResString(RsEnumeratingRegistry));
            if (ReportListAsValue &&
                (name.compare(QStringLiteral("Count"), Qt::CaseInsensitive) == 0 || isListItemName(name)))
                continue;
            Strings->Add(name);
        }
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

void TKitAppRegistryStorage::DoDeleteValue(const String& Path)
{
    if (!ValueStored(Path))
        return;
    String key, name;
    SplitPath(Path, key, name);
    DeleteRegValue(FRegRoot, key, name);
}

void TKitAppRegistryStorage::DoDeleteSubTree(const String& Path)
{
    const String key = FullPath(Path);
    if (RegKeyPresent(FRegRoot, key))
        DeleteRegKeyTree(FRegRoot, key);
}

int TKitAppRegistryStorage::DoReadInteger(const String& Path, int Default)
{
    return readOrDefault(Default, [&] {
        String key, name;
        SplitPath(Path, key, name);
        return ReadRegIntegerOr(FRegRoot, key, name, Default);
    });
}

void TKitAppRegistryStorage::DoWriteInteger(const String& Path, int Value)
{
    String key, name;
    SplitPath(Path, key, name);
    ensureKey(key);
    WriteRegInteger(FRegRoot, key, name, Value);
}

bool TKitAppRegistryStorage::DoReadBoolean(const String& Path, bool Default)
{
    return readOrDefault(Default, [&] {
        String key, name;
        SplitPath(Path, key, name);
        return ReadRegBooleanOr(FRegRoot, key, name, Default);
    });
}

void TKitAppRegistryStorage::DoWriteBoolean(const String& Path, bool Value)
{
    String key, name;
    SplitPath(Path, key, name);
    ensureKey(key);
    WriteRegBoolean(FRegRoot, key, name, Value);
}

String TKitAppRegistryStorage::DoReadString(const String& Path, const String& Default)
{
    return readOrDefault(Default, [&] {
        String key, name;
        SplitPath(Path, key, name);
        return ReadRegTextOr(FRegRoot, key, name, Default);
    });
}

void TKitAppRegistryStorage::DoWriteString(const String& Path, const String& Value)
{
    String key, name;
    SplitPath(Path, key, name);
    ensureKey(key);
    WriteRegText(FRegRoot, key, name, Value);
}

String TKitAppRegistryStorage::DoReadWideString(const String& Path, const String& Default)
{
    return DoReadString(Path, Default);
}

void TKitAppRegistryStorage::DoWriteWideString(const String& Path, const String& Value) { DoWriteString(Path, Value); }

long double TKitAppRegistryStorage::DoReadFloat(const String& Path, long double Default)
{
    return readOrDefault(Default, [&]() -> long double {
        String key, name;
        SplitPath(Path, key, name);
        uint32_t kind = 0;
        if (RegValueKind(FRegRoot, key, name, kind) && kind != REG_BINARY)
            throw ESxRegistryError(LoadResString(SxResources::RsWrongValueKind), {String(), key, name});
        char buf[10] = {};
        const int n = ReadRegBinary(FRegRoot, key, name, sizeof buf, buf);
        return BytesToExtended(QByteArray(buf, n));
    });
}

void TKitAppRegistryStorage::DoWriteFloat(const String& Path, long double Value)
{
    String key, name;
    SplitPath(Path, key, name);
    ensureKey(key);
    const QByteArray bytes = ExtendedToBytes(Value);
    WriteRegBinary(FRegRoot, key, name, int(bytes.size()), bytes.constData());
}

QByteArray TKitAppRegistryStorage::DoReadBinary(const String& Path, int MaxSize)
{
    String key, name;
    SplitPath(Path, key, name);
    uint32_t kind = 0;
    QByteArray data;
    OpenedKey k;
    if (RegOpenKeyEx(FRegRoot, key, 0, KEY_READ, &k.Key) != ERROR_SUCCESS ||
        RegQueryValueEx(k.Key, name, &kind, &data) != ERROR_SUCCESS)
        throw ESxRegistryError(LoadResString(SxResources::RsUnableToAccessValue), {RootKeyName(FRegRoot), key, name});
    if (data.size() > MaxSize)
        throw ESxRegistryError(LoadResString(SxResources::RsWrongValueKind), {RootKeyName(FRegRoot), key, name});
    return data;
}

void TKitAppRegistryStorage::DoWriteBinary(const String& Path, const QByteArray& Value)
{
    String key, name;
    SplitPath(Path, key, name);
    ensureKey(key);
    WriteRegBinary(FRegRoot, key, name, int(Value.size()), Value.constData());
}

QByteArray ExtendedToBytes(long double Value)
{
    QByteArray out(10, '\0');
    uint64_t mantissa = 0;
    int exponent = 0;
    bool negative = std::signbit(Value);
    long double a = std::fabs(Value);
    if (std::isnan(Value)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(Value)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (a != 0) {
        int e = 0;
        const long double f = std::frexp(a, &e);  // a = f * 2^e, f in [0.5, 1)
        exponent = e - 1 + 16383;
        mantissa = uint64_t(std::ldexp(f, 64));
        if (exponent <= 0) {  // too small for a normal number: keep zero
            exponent = 0;
            mantissa = 0;
        }
    }
    for (int i = 0; i < 8; ++i)
        out[i] = char(uint8_t(mantissa >> (8 * i)));
    const uint16_t se = uint16_t(exponent | (negative ? 0x8000 : 0));
    out[8] = char(uint8_t(se));
    out[9] = char(uint8_t(se >> 8));
    return out;
}

long double BytesToExtended(const QByteArray& Bytes)
{
    QByteArray b = Bytes.left(10);
    b.append(QByteArray(10 - b.size(), '\0'));
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= uint64_t(uint8_t(b[i])) << (8 * i);
    const uint16_t se = uint16_t(uint8_t(b[8]) | (uint16_t(uint8_t(b[9])) << 8));
    const int exponent = se & 0x7FFF;
    const bool negative = (se & 0x8000) != 0;
    long double v = 0;
    if (exponent == 0x7FFF)
        v = (mantissa << 1) == 0 ? HUGE_VALL : NAN;
    else if (exponent != 0 || mantissa != 0)
        v = std::ldexp((long double)mantissa, exponent - 16383 - 63);
    return negative ? -v : v;
}
