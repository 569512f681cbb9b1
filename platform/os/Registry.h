// Registry.h - the registry as the program sees it: a typed, case-insensitive
// key tree per root, kept in a .reg text file that several processes share safely.
#pragma once
#include <QByteArray>
#include <QStringList>
#include <vector>
#include <cstdint>
#include <memory>

#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"
#include "platform/rtl/String.h"

// Predefined roots are the numbers the original used; opened keys are small
// numbers of a process-wide table.
using HKEY = uintptr_t;
using REGSAM = uint32_t;
using LONG = int32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006;

enum : uint32_t {
    REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6, REG_MULTI_SZ = 7, REG_RESOURCE_LIST = 8, REG_QWORD = 11
};

enum : REGSAM {
    KEY_QUERY_VALUE = 0x0001, KEY_SET_VALUE = 0x0002, KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008, KEY_NOTIFY = 0x0010, KEY_WOW64_64KEY = 0x0100, KEY_WOW64_32KEY = 0x0200,
    KEY_READ = 0x20019, KEY_WRITE = 0x20006, KEY_ALL_ACCESS = 0xF003F
};

enum : LONG {
    ERROR_SUCCESS = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_ACCESS_DENIED = 5, ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87, ERROR_MORE_DATA = 234, ERROR_NO_MORE_ITEMS = 259, ERROR_KEY_DELETED = 1018,
    ERROR_WRITE_FAULT = 29
};

enum : uint32_t { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

// The folder of the store files: $XDG_CONFIG_HOME/vorlane (default
// ~/.config/vorlane) unless set here; an empty text restores the default.
// Tests point it at a temporary folder.
void SetRegistryDirectory(const String& Path);
String RegistryDirectory();
// The file that holds a root's tree; only HKEY_CURRENT_USER has one, the
// other roots read as empty and refuse writes.
String RegistryFileName(HKEY Root);

// The Win32-style calls the support units build on. Key paths are relative
// to the handle given, segments separated by '\'; the view flags are accepted
// and ignored. Each write is one locked read-modify-replace of the store.
LONG RegOpenKeyEx(HKEY Key, const String& SubKey, uint32_t Options, REGSAM Access, HKEY* Result);
LONG RegCreateKeyEx(HKEY Key, const String& SubKey, REGSAM Access, HKEY* Result, uint32_t* Disposition = nullptr);
LONG RegCloseKey(HKEY Key);
// The value's kind and bytes (strings as UTF-16LE with their terminating zero).
LONG RegQueryValueEx(HKEY Key, const String& ValueName, uint32_t* Kind, QByteArray* Data);
LONG RegSetValueEx(HKEY Key, const String& ValueName, uint32_t Kind, const QByteArray& Data);
LONG RegDeleteValue(HKEY Key, const String& ValueName);
// Refuses (ERROR_ACCESS_DENIED) a key that still has sub-keys, as the original did.
LONG RegDeleteKey(HKEY Key, const String& SubKey);
// Sub-keys enumerate in case-insensitive name order, values in creation order.
LONG RegEnumKeyEx(HKEY Key, uint32_t Index, String* Name);
LONG RegEnumValue(HKEY Key, uint32_t Index, String* Name);
LONG RegQueryInfoKey(HKEY Key, uint32_t* SubKeys, uint32_t* MaxSubKeyLen, uint32_t* Values,
                     uint32_t* MaxValueNameLen = nullptr);

// Byte forms of the value kinds.
QByteArray RegStringBytes(const String& Text);        // UTF-16LE plus a zero character
String RegBytesToString(const QByteArray& Data);       // cuts at the first zero character
QByteArray RegDWordBytes(uint32_t Value);
QByteArray RegQWordBytes(uint64_t Value);

// The .reg text of a root's tree as the store writes it (for tests and tools).
String RegExportText(HKEY Root);

// A store file that could not be read and was moved out of the way (Aside
// is empty when even that failed); the store started empty in its place.
struct TRegistrySetAside {
    String File;
    String Aside;
};
// The files set aside since the last call, oldest first; each is handed out
// once, so a program tells its user once.
std::vector<TRegistrySetAside> TakeRegistrySetAside();

namespace RegistryConsts {
VORLANE_RESOURCESTRING(SRegCreateFailed, "Failed to create key %s");
VORLANE_RESOURCESTRING(SRegGetDataFailed, "Failed to get data for '%s'");
VORLANE_RESOURCESTRING(SRegSetDataFailed, "Failed to set data for '%s'");
VORLANE_RESOURCESTRING(SInvalidRegType, "Invalid data type for '%s'");
}  // namespace RegistryConsts

VORLANE_DECLARE_EXCEPTION(ERegistryException, Exception);

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// The object form of the same calls: one open key at a time.
class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(REGSAM AAccess);
    ~TRegistry() override;
    String ClassName() const override { return String::fromLatin1("TRegistry"); }

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value);
    REGSAM Access() const { return FAccess; }
    void SetAccess(REGSAM Value) { FAccess = Value; }
    HKEY CurrentKey() const { return FCurrentKey; }
    const String& CurrentPath() const { return FCurrentPath; }

    // A key beginning with '\' is taken from the root; otherwise from the
    // open key when there is one.
    bool OpenKey(const String& Key, bool CanCreate);
    bool OpenKeyReadOnly(const String& Key);
    bool CreateKey(const String& Key);
    bool DeleteKey(const String& Key);
    bool KeyExists(const String& Key);
    void CloseKey();

    bool ValueExists(const String& Name) const;
    bool DeleteValue(const String& Name);
    TRegDataType GetDataType(const String& Name) const;
    int GetDataSize(const String& Name) const;  // -1 when missing
    QStringList GetKeyNames() const;
    QStringList GetValueNames() const;

    String ReadString(const String& Name) const;  // empty when missing
    void WriteString(const String& Name, const String& Value);
    void WriteExpandString(const String& Name, const String& Value);
    int ReadInteger(const String& Name) const;     // raises when missing
    void WriteInteger(const String& Name, int Value);
    bool ReadBool(const String& Name) const;
    void WriteBool(const String& Name, bool Value);
    QByteArray ReadBinaryData(const String& Name) const;
    void WriteBinaryData(const String& Name, const QByteArray& Value);

private:
    HKEY baseFor(const String& Key, String& Relative) const;
    void put(const String& Name, uint32_t Kind, const QByteArray& Data);

    HKEY FRootKey = HKEY_CURRENT_USER;
    REGSAM FAccess = KEY_ALL_ACCESS;
    HKEY FCurrentKey = 0;
    String FCurrentPath;
};
