#include "support/SxRegistry.h"

#include <QtEndian>
#include <cstring>

#include "platform/rtl/SysUtils.h"

using namespace SxResources;

namespace {

thread_local uint8_t viewMode = 0;

const char* const rootTable[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                 "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
                                 "HKCR", "HKCU", "HKLM", "HKUS", "HKPD", "HKCC", "HKDD"};

// Strips a root name that starts the key; a root name of another root is an error.
String relativeKey(HKEY Root, const String& Key)
{
    String key = Key.startsWith(u'\\') ? Key.mid(1) : Key;
    for (int i = 0; i < 14; ++i) {
        const String prefix = String::fromLatin1(rootTable[i]) + u'\\';
        if (key.startsWith(prefix)) {
            if (HKEY_CLASSES_ROOT + HKEY(i % 7) != Root)
                throw ESxRegistryError(LoadResString(RsInconsistentPath), {Key});
            return key.mid(prefix.size());
        }
    }
    return key;
}

// Closes the key on every path out.
class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle()
    {
        if (FKey != 0)
            RegCloseKey(FKey);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* Out() { return &FKey; }
    HKEY Get() const { return FKey; }

private:
    HKEY FKey = 0;
};

bool getRegData(HKEY Root, const String& Key, const String& Name, TSxRegKinds Allowed, int BufferSize,
                bool RaiseErrors, uint32_t& Kind, QByteArray& Data)
{
    const String key = relativeKey(Root, Key);
    KeyHandle h;
    if (RegOpenKeyEx(Root, key, 0, KEY_READ, h.Out()) != ERROR_SUCCESS) {
        if (RaiseErrors)
            throw ESxRegistryError(LoadResString(RsUnableToOpenKeyRead), {RootKeyName(Root), key});
        return false;
    }
    if (RegQueryValueEx(h.Get(), Name, &Kind, &Data) != ERROR_SUCCESS) {
        if (RaiseErrors)
            throw ESxRegistryError(LoadResString(RsUnableToAccessValue), {RootKeyName(Root), key, Name});
        return false;
    }
    if ((SxRegKind(Kind) & Allowed) == 0 || Data.size() > BufferSize) {
        if (RaiseErrors)
            throw ESxRegistryError(LoadResString(RsWrongValueKind), {RootKeyName(Root), key, Name});
        return false;
    }
    return true;
}

void putRegData(HKEY Root, const String& Key, const String& Name, uint32_t Kind, const QByteArray& Data)
{
    const String key = relativeKey(Root, Key);
    if (!RegKeyPresent(Root, key))
        CreateRegKey(Root, key);
    KeyHandle h;
    if (RegOpenKeyEx(Root, key, 0, KEY_WRITE, h.Out()) != ERROR_SUCCESS ||
        RegSetValueEx(h.Get(), Name, Kind, Data) != ERROR_SUCCESS)
        throw ESxRegistryError(LoadResString(RsUnableToOpenKeyWrite), {RootKeyName(Root), key});
}

QByteArray integerBytes(HKEY Root, const String& Key, const String& Name, int64_t Value, bool Unsigned,
                        uint32_t Kind)
{
    switch (Kind) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return RegStringBytes(Unsigned ? QString::number(uint32_t(Value)) : QString::number(int32_t(Value)));
    case REG_BINARY:
    case REG_DWORD:
        return RegDWordBytes(uint32_t(Value));
    case REG_QWORD:
        return RegQWordBytes(Unsigned ? uint64_t(uint32_t(Value)) : uint64_t(int64_t(int32_t(Value))));
    default:
        throw ESxRegistryError(LoadResString(RsWrongValueKind), {RootKeyName(Root), relativeKey(Root, Key), Name});
    }
}

}  // namespace

String RootKeyName(HKEY Root)
{
    if (Root >= HKEY_CLASSES_ROOT && Root <= HKEY_DYN_DATA)
        return String::fromLatin1(rootTable[Root - HKEY_CLASSES_ROOT]);
    return QString::asprintf("0x%.8x", unsigned(Root));
}

bool RegKeyPresent(HKEY Root, const String& Key)
{
    KeyHandle h;
    return RegOpenKeyEx(Root, relativeKey(Root, Key), 0, KEY_READ, h.Out()) == ERROR_SUCCESS;
}

LONG CreateRegKey(HKEY Root, const String& Key)
{
    KeyHandle h;
    return RegCreateKeyEx(Root, relativeKey(Root, Key), KEY_ALL_ACCESS, h.Out());
}

bool RegValueKind(HKEY Root, const String& Key, const String& Name, uint32_t& Kind)
{
    Kind = REG_NONE;
    KeyHandle h;
    if (RegOpenKeyEx(Root, relativeKey(Root, Key), 0, KEY_READ, h.Out()) != ERROR_SUCCESS)
        return false;
    uint32_t k = 0;
    if (RegQueryValueEx(h.Get(), Name, &k, nullptr) != ERROR_SUCCESS)
        return false;
    Kind = k;
    return true;
}

bool TryReadRegInteger(HKEY Root, const String& Key, const String& Name, bool RaiseErrors, int& Value)
{
    uint32_t kind = 0;
    if (RegValueKind(Root, Key, Name, kind) && (kind == REG_SZ || kind == REG_EXPAND_SZ)) {
        const String text = ReadRegText(Root, Key, Name);
        int64_t v = 0;
        if (RaiseErrors)
            v = StrToInt64(text);
        else if (!TryStrToInt64(text, v))
            return false;
        Value = int32_t(uint32_t(uint64_t(v)));
        return true;
    }
    QByteArray data;
    if (!getRegData(Root, Key, Name, SxRegKind(REG_BINARY) | SxRegKind(REG_DWORD) | SxRegKind(REG_QWORD), 8,
                    RaiseErrors, kind, data))
        return false;
    uint64_t v = 0;
    memcpy(&v, data.constData(), size_t(data.size()));
    Value = int32_t(uint32_t(qFromLittleEndian(v)));
    return true;
}

int ReadRegIntegerOr(HKEY Root, const String& Key, const String& Name, int Default)
{
    try {
        int v = 0;
        return TryReadRegInteger(Root, Key, Name, false, v) ? v : Default;
    } catch (const Exception&) {
        return Default;
    }
}

bool ReadRegBooleanOr(HKEY Root, const String& Key, const String& Name, bool Default)
{
    return ReadRegIntegerOr(Root, Key, Name, Default ? 1 : 0) != 0;
}

bool TryReadRegText(HKEY Root, const String& Key, const String& Name, bool RaiseErrors, String& Value)
{
    Value.clear();
    uint32_t kind = 0;
    QByteArray data;
    if (!getRegData(Root, Key, Name, SxRegKind(REG_SZ) | SxRegKind(REG_EXPAND_SZ), INT32_MAX, RaiseErrors, kind,
                    data))
        return false;
    const qsizetype chars = data.size() / 2;
    Value = String(reinterpret_cast<const QChar*>(data.constData()), chars);
    if (!Value.isEmpty())
        Value.chop(1);  // the stored terminating zero
    return true;
}

String ReadRegText(HKEY Root, const String& Key, const String& Name)
{
    String v;
    TryReadRegText(Root, Key, Name, true, v);
    return v;
}

String ReadRegTextOr(HKEY Root, const String& Key, const String& Name, const String& Default)
{
    try {
        String v;
        return TryReadRegText(Root, Key, Name, false, v) ? v : Default;
    } catch (const Exception&) {
        return Default;
    }
}

int ReadRegBinary(HKEY Root, const String& Key, const String& Name, int BufferSize, void* Buffer)
{
    TSxRegKinds kinds = 0;
    for (uint32_t k = 1; k <= 11; ++k)
        kinds |= SxRegKind(k);
    uint32_t kind = 0;
    QByteArray data;
    getRegData(Root, Key, Name, kinds, BufferSize, true, kind, data);
    memcpy(Buffer, data.constData(), size_t(data.size()));
    return int(data.size());
}

void WriteRegInteger(HKEY Root, const String& Key, const String& Name, int Value)
{
    WriteRegIntegerTyped(Root, Key, Name, Value, REG_DWORD);
}

void WriteRegBoolean(HKEY Root, const String& Key, const String& Name, bool Value)
{
    WriteRegCardinalTyped(Root, Key, Name, Value ? 1 : 0, REG_DWORD);
}

void WriteRegText(HKEY Root, const String& Key, const String& Name, const String& Value)
{
    WriteRegTextTyped(Root, Key, Name, Value, REG_SZ);
}

void WriteRegBinary(HKEY Root, const String& Key, const String& Name, int Size, const void* Data)
{
    putRegData(Root, Key, Name, REG_BINARY, QByteArray(static_cast<const char*>(Data), Size));
}

void WriteRegIntegerTyped(HKEY Root, const String& Key, const String& Name, int Value, uint32_t Kind)
{
    putRegData(Root, Key, Name, Kind, integerBytes(Root, Key, Name, Value, false, Kind));
}

void WriteRegCardinalTyped(HKEY Root, const String& Key, const String& Name, uint32_t Value, uint32_t Kind)
{
    putRegData(Root, Key, Name, Kind, integerBytes(Root, Key, Name, int64_t(Value), true, Kind));
}

void WriteRegTextTyped(HKEY Root, const String& Key, const String& Name, const String& Value, uint32_t Kind)
{
    if (Kind != REG_SZ && Kind != REG_EXPAND_SZ && Kind != REG_BINARY)
        throw ESxRegistryError(LoadResString(RsWrongValueKind), {RootKeyName(Root), relativeKey(Root, Key), Name});
    putRegData(Root, Key, Name, Kind, RegStringBytes(Value));
}

bool DeleteRegValue(HKEY Root, const String& Key, const String& Name)
{
    const String key = relativeKey(Root, Key);
    KeyHandle h;
    if (RegOpenKeyEx(Root, key, 0, KEY_SET_VALUE, h.Out()) != ERROR_SUCCESS)
        throw ESxRegistryError(LoadResString(RsUnableToOpenKeyWrite), {RootKeyName(Root), key});
    if (RegDeleteValue(h.Get(), Name) != ERROR_SUCCESS)
        throw ESxRegistryError(LoadResString(RsUnableToAccessValue), {RootKeyName(Root), key, Name});
    return true;
}

bool DeleteRegKeyTree(HKEY Root, const String& Key)
{
    const String key = relativeKey(Root, Key);
    bool all = true;
    {
        KeyHandle h;
        if (RegOpenKeyEx(Root, key, 0, KEY_ALL_ACCESS, h.Out()) != ERROR_SUCCESS)
            throw ESxRegistryError(LoadResString(RsUnableToOpenKeyWrite), {RootKeyName(Root), key});
        uint32_t count = 0;
        RegQueryInfoKey(h.Get(), &count, nullptr, nullptr);
        for (int64_t i = int64_t(count) - 1; i >= 0 && all; --i) {
            String name;
            all = RegEnumKeyEx(h.Get(), uint32_t(i), &name) == ERROR_SUCCESS &&
                  DeleteRegKeyTree(Root, key + u'\\' + name);
        }
    }
    return all && RegDeleteKey(Root, key) == ERROR_SUCCESS;
}

uint8_t RegViewMode() { return viewMode; }
void SetRegViewMode(uint8_t Mode) { viewMode = Mode; }
