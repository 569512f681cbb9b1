#include "platform/os/Registry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>
#include <QStringDecoder>
#include <QtGlobal>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// ---- the tree ---------------------------------------------------------------

struct RegValue {
    String Name;
    uint32_t Kind = REG_NONE;
    QByteArray Data;
};

struct RegKey {
    String Name;
    std::map<String, std::unique_ptr<RegKey>> SubKeys;  // by case-folded name
    std::vector<RegValue> Values;                        // creation order

    RegKey* sub(const String& name) const
    {
        auto it = SubKeys.find(name.toCaseFolded());
        return it == SubKeys.end() ? nullptr : it->second.get();
    }
    RegKey* addSub(const String& name)
    {
        auto& slot = SubKeys[name.toCaseFolded()];
        if (!slot) {
            slot = std::make_unique<RegKey>();
            slot->Name = name;
        }
        return slot.get();
    }
    RegValue* value(const String& name)
    {
        for (auto& v : Values)
            if (v.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &v;
        return nullptr;
    }
};

QStringList splitPath(const String& path)
{
    return path.split(u'\\', Qt::SkipEmptyParts);
}

RegKey* findKey(RegKey& root, const QStringList& path)
{
    RegKey* k = &root;
    for (const auto& seg : path) {
        k = k->sub(seg);
        if (k == nullptr)
            return nullptr;
    }
    return k;
}

// ---- the text form ----------------------------------------------------------

const char* const rootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                 "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

bool isRoot(HKEY key) { return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA; }
String rootName(HKEY key) { return String::fromLatin1(rootNames[key - HKEY_CLASSES_ROOT]); }

String escapeText(const String& s)
{
    String out;
    out.reserve(s.size() + 2);
    for (QChar c : s) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

String hexList(const QByteArray& data)
{
    String out;
    out.reserve(data.size() * 3);
    for (int i = 0; i < data.size(); ++i) {
        if (i > 0)
            out += u',';
        out += QString::asprintf("%02x", static_cast<unsigned>(static_cast<uint8_t>(data[i])));
    }
    return out;
}

// A string value is written as text only when it reads back byte for byte.
bool plainString(const RegValue& v, String& text)
{
    if (v.Kind != REG_SZ || v.Data.size() < 2 || v.Data.size() % 2 != 0)
        return false;
    const auto* p = reinterpret_cast<const char16_t*>(v.Data.constData());
    const qsizetype n = v.Data.size() / 2;
    if (p[n - 1] != 0)
        return false;
    for (qsizetype i = 0; i < n - 1; ++i) {
        if (p[i] < 0x20)
            return false;
        // A surrogate that is not half of a pair has no UTF-8 form: the
        // file would hold a replacement character in its place.
        if (QChar::isHighSurrogate(p[i])) {
            if (i + 1 >= n - 1 || !QChar::isLowSurrogate(p[i + 1]))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(p[i]))
            return false;
    }
    text = String(reinterpret_cast<const QChar*>(p), n - 1);
    return true;
}

void writeKey(const RegKey& key, const String& path, bool isRootKey, String& out)
{
    if (!isRootKey || !key.Values.empty()) {
        out += u'[' + path + QStringLiteral("]\n");
        for (const auto& v : key.Values) {
            out += v.Name.isEmpty() ? QStringLiteral("@") : u'"' + escapeText(v.Name) + u'"';
            out += u'=';
            String text;
            if (plainString(v, text))
                out += u'"' + escapeText(text) + u'"';
            else if (v.Kind == REG_DWORD && v.Data.size() == 4) {
                uint32_t d = 0;
                memcpy(&d, v.Data.constData(), 4);
                out += QString::asprintf("dword:%08x", qFromLittleEndian(d));
            } else if (v.Kind == REG_BINARY)
                out += QStringLiteral("hex:") + hexList(v.Data);
            else
                out += QString::asprintf("hex(%x):", v.Kind) + hexList(v.Data);
            out += u'\n';
        }
        out += u'\n';
    }
    for (const auto& [folded, sub] : key.SubKeys)
        writeKey(*sub, path + u'\\' + sub->Name, false, out);
}

String treeText(const RegKey& root, const String& name)
{
    String out = QStringLiteral("; vorlane registry store, format 1, UTF-8\n\n");
    writeKey(root, name, true, out);
    return out;
}

// Reads a quoted text starting after the opening quote; pos ends after the closing one.
bool parseQuoted(const String& line, qsizetype& pos, String& text)
{
    text.clear();
    while (pos < line.size()) {
        QChar c = line[pos++];
        if (c == u'"')
            return true;
        if (c == u'\\') {
            if (pos >= line.size())
                return false;
            QChar e = line[pos++];
            if (e == u'n')
                text += u'\n';
            else if (e == u'r')
                text += u'\r';
            else if (e == u'\\' || e == u'"')
                text += e;
            else
                return false;
        } else
            text += c;
    }
    return false;
}

bool parseHexList(QStringView s, QByteArray& data)
{
    data.clear();
    if (s.trimmed().isEmpty())
        return true;
    for (auto part : s.split(u',')) {
        part = part.trimmed();
        bool ok = false;
        const uint b = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2 || b > 0xFF)
            return false;
        data.append(static_cast<char>(b));
    }
    return true;
}

bool parseData(QStringView s, RegValue& v)
{
    if (s.startsWith(u'"')) {
        String line = s.toString();
        qsizetype pos = 1;
        String text;
        if (!parseQuoted(line, pos, text) || pos != line.size())
            return false;
        v.Kind = REG_SZ;
        v.Data = RegStringBytes(text);
        return true;
    }
    if (s.startsWith(u"dword:")) {
        auto hex = s.mid(6);
        bool ok = false;
        const uint d = hex.toUInt(&ok, 16);
        if (!ok || hex.size() != 8)
            return false;
        v.Kind = REG_DWORD;
        v.Data = RegDWordBytes(d);
        return true;
    }
    if (s.startsWith(u"hex:")) {
        v.Kind = REG_BINARY;
        return parseHexList(s.mid(4), v.Data);
    }
    if (s.startsWith(u"hex(")) {
        const qsizetype close = s.indexOf(u"):");
        if (close < 0)
            return false;
        bool ok = false;
        const uint kind = s.mid(4, close - 4).toUInt(&ok, 16);
        if (!ok)
            return false;
        v.Kind = kind;
        return parseHexList(s.mid(close + 2), v.Data);
    }
    return false;
}

// Anything but what the store writes is damage.
std::unique_ptr<RegKey> parseTree(const QByteArray& bytes, const String& name)
{
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const String text = decoder(bytes);
    if (decoder.hasError())
        return nullptr;
    auto root = std::make_unique<RegKey>();
    RegKey* current = nullptr;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return nullptr;
            const auto segs = line.mid(1, line.size() - 2).split(u'\\');
            if (segs.isEmpty() || segs[0].compare(name, Qt::CaseInsensitive) != 0)
                return nullptr;
            current = root.get();
            for (qsizetype i = 1; i < segs.size(); ++i) {
                if (segs[i].isEmpty())
                    return nullptr;
                current = current->addSub(segs[i].toString());
            }
            continue;
        }
        if (current == nullptr)
            return nullptr;
        RegValue v;
        qsizetype pos = 0;
        const String l = line.toString();
        if (l.startsWith(u'@'))
            pos = 1;
        else if (l.startsWith(u'"')) {
            pos = 1;
            if (!parseQuoted(l, pos, v.Name) || v.Name.isEmpty())
                return nullptr;
        } else
            return nullptr;
        if (pos >= l.size() || l[pos] != u'=')
            return nullptr;
        if (!parseData(QStringView(l).mid(pos + 1), v))
            return nullptr;
        if (RegValue* old = current->value(v.Name))
            *old = std::move(v);
        else
            current->Values.push_back(std::move(v));
    }
    return root;
}

// ---- the file store ---------------------------------------------------------

std::mutex directoryMutex;
String directoryOverride;  // guarded by directoryMutex

std::mutex setAsideMutex;
std::vector<TRegistrySetAside> setAsideFiles;  // guarded by setAsideMutex

void noteSetAside(const String& File, const String& Aside)
{
    const std::lock_guard guard(setAsideMutex);
    setAsideFiles.push_back({File, Aside});
}

struct FileId {
    bool Exists = false;
    dev_t Dev = 0;
    ino_t Ino = 0;
    off_t Size = 0;
    int64_t MTime = 0, CTime = 0;
    bool operator==(const FileId&) const = default;
};

FileId fileId(const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
            st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec};
}

bool readAll(const QByteArray& path, QByteArray& data, bool& exists)
{
    data.clear();
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        exists = false;
        return errno == ENOENT;
    }
    exists = true;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        data.append(buf, n);
    }
    ::close(fd);
    return true;
}

bool writeAllSync(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::fsync(fd) == 0;
}

class LockFile {
public:
    explicit LockFile(const QByteArray& path)
    {
        FFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (FFd >= 0)
            while (::flock(FFd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~LockFile()
    {
        if (FFd >= 0)
            ::close(FFd);  // releases the lock
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    bool Ok() const { return FFd >= 0; }

private:
    int FFd = -1;
};

class Store {
public:
    explicit Store(HKEY root) : FRoot(root), FName(rootName(root)), FTree(std::make_unique<RegKey>()) {}

    template <class F>
    auto Read(F&& f)
    {
        std::lock_guard guard(FMutex);
        refresh();
        return f(*FTree);
    }

    // Mutate returns an error code and sets Changed; only a change is written.
    template <class F>
    LONG Write(F&& mutate)
    {
        if (FRoot != HKEY_CURRENT_USER)
            return ERROR_ACCESS_DENIED;
        std::lock_guard guard(FMutex);
        const String file = RegistryFileName(FRoot);
        QDir().mkpath(QFileInfo(file).absolutePath());
        LockFile lock(QFile::encodeName(file + QStringLiteral(".lock")));
        if (!lock.Ok())
            return ERROR_ACCESS_DENIED;
        removeStaleTemps(file);
        loadLocked(file);
        bool changed = false;
        const LONG rc = mutate(*FTree, changed);
        if (rc != ERROR_SUCCESS || !changed)
            return rc;
        if (!save(file)) {
            FId = {};  // re-read what is really there next time
            FLoadedFile.clear();
            return ERROR_WRITE_FAULT;
        }
        return ERROR_SUCCESS;
    }

    String Export()
    {
        std::lock_guard guard(FMutex);
        refresh();
        return treeText(*FTree, FName);
    }

private:
    void refresh()
    {
        const String file = RegistryFileName(FRoot);
        if (file.isEmpty())
            return;
        const QByteArray path = QFile::encodeName(file);
        if (file == FLoadedFile && fileId(path) == FId)
            return;
        QByteArray data;
        bool exists = false;
        const FileId before = fileId(path);
        if (readAll(path, data, exists)) {
            if (!exists) {
                FTree = std::make_unique<RegKey>();
                FId = {};
                FLoadedFile = file;
                return;
            }
            if (auto tree = parseTree(data, FName)) {
                FTree = std::move(tree);
                FId = before;
                FLoadedFile = file;
                return;
            }
        }
        // Damaged or unreadable: decide under the writers' lock, so a file
        // another process has just replaced is not the one set aside.
        QDir().mkpath(QFileInfo(file).absolutePath());
        LockFile lock(QFile::encodeName(file + QStringLiteral(".lock")));
        loadLocked(file);
    }

    void loadLocked(const String& file)
    {
        const QByteArray path = QFile::encodeName(file);
        const FileId id = fileId(path);
        FLoadedFile = file;
        QByteArray data;
        bool exists = false;
        if (readAll(path, data, exists)) {
            if (!exists) {
                FTree = std::make_unique<RegKey>();
                FId = {};
                return;
            }
            if (auto tree = parseTree(data, FName)) {
                FTree = std::move(tree);
                FId = id;
                return;
            }
        }
        const String aside = file + QStringLiteral(".bad-") +
                             QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddThhmmsszzz"));
        if (::rename(path.constData(), QFile::encodeName(aside).constData()) == 0) {
            qWarning("registry: %s could not be read; set aside as %s, starting empty", qPrintable(file),
                     qPrintable(aside));
            noteSetAside(file, aside);
        } else {
            qWarning("registry: %s could not be read and could not be set aside; starting empty",
                     qPrintable(file));
            noteSetAside(file, String());
        }
        FTree = std::make_unique<RegKey>();
        FId = {};
    }

    bool save(const String& file)
    {
        const QByteArray path = QFile::encodeName(file);
        const QByteArray temp = path + ".tmp." + QByteArray::number(::getpid());
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const bool ok = writeAllSync(fd, treeText(*FTree, FName).toUtf8());
        ::close(fd);
        if (!ok || ::rename(temp.constData(), path.constData()) != 0) {
            ::unlink(temp.constData());
            return false;
        }
        const QByteArray dir = QFile::encodeName(QFileInfo(file).absolutePath());
        const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
        FId = fileId(path);
        return true;
    }

    // Under the lock no writer is between its temporary file and its rename,
    // so every temporary file there is left over from a killed writer.
    static void removeStaleTemps(const String& file)
    {
        const QFileInfo fi(file);
        QDir dir(fi.absolutePath());
        for (const auto& name : dir.entryList({fi.fileName() + QStringLiteral(".tmp.*")}, QDir::Files))
            dir.remove(name);
    }

    HKEY FRoot;
    String FName;
    std::mutex FMutex;
    std::unique_ptr<RegKey> FTree;
    FileId FId;
    String FLoadedFile;
};

Store& storeFor(HKEY root)
{
    static Store stores[] = {Store(HKEY_CLASSES_ROOT), Store(HKEY_CURRENT_USER), Store(HKEY_LOCAL_MACHINE),
                             Store(HKEY_USERS), Store(HKEY_PERFORMANCE_DATA), Store(HKEY_CURRENT_CONFIG),
                             Store(HKEY_DYN_DATA)};
    return stores[root - HKEY_CLASSES_ROOT];
}

// ---- handles ----------------------------------------------------------------

struct OpenKey {
    HKEY Root = 0;
    QStringList Path;
};

std::mutex handleMutex;
std::map<HKEY, OpenKey> handles;  // guarded by handleMutex
HKEY nextHandle = 1;              // guarded by handleMutex

bool resolve(HKEY key, const String& subKey, OpenKey& out)
{
    if (isRoot(key)) {
        out.Root = key;
        out.Path.clear();
    } else {
        std::lock_guard guard(handleMutex);
        auto it = handles.find(key);
        if (it == handles.end())
            return false;
        out = it->second;
    }
    out.Path += splitPath(subKey);
    return true;
}

HKEY newHandle(const OpenKey& key)
{
    std::lock_guard guard(handleMutex);
    const HKEY h = nextHandle++;
    handles.emplace(h, key);
    return h;
}

}  // namespace

void SetRegistryDirectory(const String& Path)
{
    std::lock_guard guard(directoryMutex);
    directoryOverride = Path;
}

String RegistryDirectory()
{
    {
        std::lock_guard guard(directoryMutex);
        if (!directoryOverride.isEmpty())
            return directoryOverride;
    }
    String base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/vorlane");
}

String RegistryFileName(HKEY Root)
{
    if (Root != HKEY_CURRENT_USER)
        return String();
    return RegistryDirectory() + u'/' + rootName(Root) + QStringLiteral(".reg");
}

LONG RegOpenKeyEx(HKEY Key, const String& SubKey, uint32_t, REGSAM, HKEY* Result)
{
    OpenKey k;
    if (Result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *Result = 0;
    if (!resolve(Key, SubKey, k))
        return ERROR_INVALID_HANDLE;
    const bool exists = storeFor(k.Root).Read([&](RegKey& root) { return findKey(root, k.Path) != nullptr; });
    if (!exists)
        return ERROR_FILE_NOT_FOUND;
    *Result = newHandle(k);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY Key, const String& SubKey, REGSAM, HKEY* Result, uint32_t* Disposition)
{
    OpenKey k;
    if (Result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *Result = 0;
    if (!resolve(Key, SubKey, k))
        return ERROR_INVALID_HANDLE;
    for (const auto& seg : k.Path)
        for (QChar c : seg)
            if (c.unicode() < 0x20)
                return ERROR_INVALID_PARAMETER;
    bool created = false;
    const bool exists = storeFor(k.Root).Read([&](RegKey& root) { return findKey(root, k.Path) != nullptr; });
    if (!exists) {
        const LONG rc = storeFor(k.Root).Write([&](RegKey& root, bool& changed) {
            RegKey* cur = &root;
            for (const auto& seg : k.Path) {
                if (RegKey* s = cur->sub(seg))
                    cur = s;
                else {
                    cur = cur->addSub(seg);
                    changed = created = true;
                }
            }
            return ERROR_SUCCESS;
        });
        if (rc != ERROR_SUCCESS)
            return rc;
    }
    if (Disposition != nullptr)
        *Disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *Result = newHandle(k);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY Key)
{
    if (isRoot(Key))
        return ERROR_SUCCESS;
    std::lock_guard guard(handleMutex);
    return handles.erase(Key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueEx(HKEY Key, const String& ValueName, uint32_t* Kind, QByteArray* Data)
{
    OpenKey k;
    if (!resolve(Key, String(), k))
        return ERROR_INVALID_HANDLE;
    return storeFor(k.Root).Read([&](RegKey& root) -> LONG {
        RegKey* key = findKey(root, k.Path);
        if (key == nullptr)
            return k.Path.isEmpty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
        RegValue* v = key->value(ValueName);
        if (v == nullptr)
            return ERROR_FILE_NOT_FOUND;
        if (Kind != nullptr)
            *Kind = v->Kind;
        if (Data != nullptr)
            *Data = v->Data;
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueEx(HKEY Key, const String& ValueName, uint32_t Kind, const QByteArray& Data)
{
    OpenKey k;
    if (!resolve(Key, String(), k))
        return ERROR_INVALID_HANDLE;
    return storeFor(k.Root).Write([&](RegKey& root, bool& changed) -> LONG {
        RegKey* key = findKey(root, k.Path);
        if (key == nullptr)
            return ERROR_KEY_DELETED;
        changed = true;
        if (RegValue* v = key->value(ValueName)) {
            v->Kind = Kind;
            v->Data = Data;
        } else
            key->Values.push_back({ValueName, Kind, Data});
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValue(HKEY Key, const String& ValueName)
{
    OpenKey k;
    if (!resolve(Key, String(), k))
        return ERROR_INVALID_HANDLE;
    return storeFor(k.Root).Write([&](RegKey& root, bool& changed) -> LONG {
        RegKey* key = findKey(root, k.Path);
        if (key == nullptr)
            return ERROR_KEY_DELETED;
        for (auto it = key->Values.begin(); it != key->Values.end(); ++it)
            if (it->Name.compare(ValueName, Qt::CaseInsensitive) == 0) {
                key->Values.erase(it);
                changed = true;
                return ERROR_SUCCESS;
            }
        return ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKey(HKEY Key, const String& SubKey)
{
    OpenKey k;
    if (!resolve(Key, SubKey, k))
        return ERROR_INVALID_HANDLE;
    if (k.Path.isEmpty())
        return ERROR_ACCESS_DENIED;
    return storeFor(k.Root).Write([&](RegKey& root, bool& changed) -> LONG {
        QStringList parentPath = k.Path;
        const String name = parentPath.takeLast();
        RegKey* parent = findKey(root, parentPath);
        RegKey* key = parent != nullptr ? parent->sub(name) : nullptr;
        if (key == nullptr)
            return ERROR_FILE_NOT_FOUND;
        if (!key->SubKeys.empty())
            return ERROR_ACCESS_DENIED;
        parent->SubKeys.erase(name.toCaseFolded());
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyEx(HKEY Key, uint32_t Index, String* Name)
{
    OpenKey k;
    if (!resolve(Key, String(), k))
        return ERROR_INVALID_HANDLE;
    return storeFor(k.Root).Read([&](RegKey& root) -> LONG {
        RegKey* key = findKey(root, k.Path);
        if (key == nullptr)
            return ERROR_KEY_DELETED;
        if (Index >= key->SubKeys.size())
            return ERROR_NO_MORE_ITEMS;
        auto it = key->SubKeys.begin();
        std::advance(it, Index);
        if (Name != nullptr)
            *Name = it->second->Name;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValue(HKEY Key, uint32_t Index, String* Name)
{
    OpenKey k;
    if (!resolve(Key, String(), k))
        return ERROR_INVALID_HANDLE;
    return storeFor(k.Root).Read([&](RegKey& root) -> LONG {
        RegKey* key = findKey(root, k.Path);
        if (key == nullptr)
            return ERROR_KEY_DELETED;
        if (Index >= key->Values.size())
            return ERROR_NO_MORE_ITEMS;
        if (Name != nullptr)
            *Name = key->Values[Index].Name;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryInfoKey(HKEY Key, uint32_t* SubKeys, uint32_t* MaxSubKeyLen, uint32_t* Values,
                     uint32_t* MaxValueNameLen)
{
    OpenKey k;
    if (!resolve(Key, String(), k))
        return ERROR_INVALID_HANDLE;
    return storeFor(k.Root).Read([&](RegKey& root) -> LONG {
        RegKey* key = findKey(root, k.Path);
        if (key == nullptr)
            return ERROR_KEY_DELETED;
        uint32_t maxSub = 0, maxVal = 0;
        for (const auto& [f, s] : key->SubKeys)
            maxSub = std::max<uint32_t>(maxSub, uint32_t(s->Name.size()));
        for (const auto& v : key->Values)
            maxVal = std::max<uint32_t>(maxVal, uint32_t(v.Name.size()));
        if (SubKeys != nullptr)
            *SubKeys = uint32_t(key->SubKeys.size());
        if (MaxSubKeyLen != nullptr)
            *MaxSubKeyLen = maxSub;
        if (Values != nullptr)
            *Values = uint32_t(key->Values.size());
        if (MaxValueNameLen != nullptr)
            *MaxValueNameLen = maxVal;
        return ERROR_SUCCESS;
    });
}

QByteArray RegStringBytes(const String& Text)
{
    QByteArray out(reinterpret_cast<const char*>(Text.utf16()), Text.size() * 2);
    out.append(2, '\0');
    return out;
}

String RegBytesToString(const QByteArray& Data)
{
    const auto* p = reinterpret_cast<const QChar*>(Data.constData());
    qsizetype n = Data.size() / 2;
    for (qsizetype i = 0; i < n; ++i)
        if (p[i].unicode() == 0) {
            n = i;
            break;
        }
    return String(p, n);
}

QByteArray RegDWordBytes(uint32_t Value)
{
    const uint32_t le = qToLittleEndian(Value);
    return QByteArray(reinterpret_cast<const char*>(&le), 4);
}

QByteArray RegQWordBytes(uint64_t Value)
{
    const uint64_t le = qToLittleEndian(Value);
    return QByteArray(reinterpret_cast<const char*>(&le), 8);
}

String RegExportText(HKEY Root)
{
    if (!isRoot(Root))
        return String();
    return storeFor(Root).Export();
}

// ---- TRegistry --------------------------------------------------------------

TRegistry::TRegistry() = default;
TRegistry::TRegistry(REGSAM AAccess) : FAccess(AAccess) {}
TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Value)
{
    if (Value == FRootKey)
        return;
    CloseKey();
    FRootKey = Value;
}

HKEY TRegistry::baseFor(const String& Key, String& Relative) const
{
    Relative = Key;
    if (Key.startsWith(u'\\') || FCurrentKey == 0)
        return FRootKey;
    Relative = FCurrentPath + u'\\' + Key;
    return FRootKey;
}

bool TRegistry::OpenKey(const String& Key, bool CanCreate)
{
    String rel;
    const HKEY base = baseFor(Key, rel);
    HKEY h = 0;
    const LONG rc = CanCreate ? RegCreateKeyEx(base, rel, FAccess, &h) : RegOpenKeyEx(base, rel, 0, FAccess, &h);
    if (rc != ERROR_SUCCESS)
        return false;
    CloseKey();
    FCurrentKey = h;
    FCurrentPath = splitPath(rel).join(u'\\');
    return true;
}

bool TRegistry::OpenKeyReadOnly(const String& Key)
{
    FAccess = KEY_READ;
    return OpenKey(Key, false);
}

bool TRegistry::CreateKey(const String& Key)
{
    String rel;
    const HKEY base = baseFor(Key, rel);
    HKEY h = 0;
    if (RegCreateKeyEx(base, rel, FAccess, &h) != ERROR_SUCCESS)
        throw ERegistryException(LoadResString(RegistryConsts::SRegCreateFailed), {Key});
    RegCloseKey(h);
    return true;
}

bool TRegistry::DeleteKey(const String& Key)
{
    String rel;
    const HKEY base = baseFor(Key, rel);
    HKEY h = 0;
    if (RegOpenKeyEx(base, rel, 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
        return false;
    String sub;
    QStringList subs;
    for (uint32_t i = 0; RegEnumKeyEx(h, i, &sub) == ERROR_SUCCESS; ++i)
        subs << sub;
    RegCloseKey(h);
    TRegistry child;
    child.SetRootKey(FRootKey);
    for (const auto& s : subs)
        child.DeleteKey(u'\\' + splitPath(rel).join(u'\\') + u'\\' + s);
    return RegDeleteKey(base, rel) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const String& Key)
{
    String rel;
    const HKEY base = baseFor(Key, rel);
    HKEY h = 0;
    if (RegOpenKeyEx(base, rel, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

void TRegistry::CloseKey()
{
    if (FCurrentKey != 0)
        RegCloseKey(FCurrentKey);
    FCurrentKey = 0;
    FCurrentPath.clear();
}

bool TRegistry::ValueExists(const String& Name) const
{
    return RegQueryValueEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const String& Name)
{
    return RegDeleteValue(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const String& Name) const
{
    uint32_t kind = 0;
    if (RegQueryValueEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name, &kind, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (kind) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

int TRegistry::GetDataSize(const String& Name) const
{
    QByteArray data;
    if (RegQueryValueEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name, nullptr, &data) != ERROR_SUCCESS)
        return -1;
    return int(data.size());
}

QStringList TRegistry::GetKeyNames() const
{
    QStringList out;
    String name;
    for (uint32_t i = 0; RegEnumKeyEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, i, &name) == ERROR_SUCCESS; ++i)
        out << name;
    return out;
}

QStringList TRegistry::GetValueNames() const
{
    QStringList out;
    String name;
    for (uint32_t i = 0; RegEnumValue(FCurrentKey != 0 ? FCurrentKey : FRootKey, i, &name) == ERROR_SUCCESS; ++i)
        out << name;
    return out;
}

String TRegistry::ReadString(const String& Name) const
{
    uint32_t kind = 0;
    QByteArray data;
    if (RegQueryValueEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name, &kind, &data) != ERROR_SUCCESS)
        return String();
    if (kind != REG_SZ && kind != REG_EXPAND_SZ)
        throw ERegistryException(LoadResString(RegistryConsts::SInvalidRegType), {Name});
    return RegBytesToString(data);
}

void TRegistry::put(const String& Name, uint32_t Kind, const QByteArray& Data)
{
    if (RegSetValueEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name, Kind, Data) != ERROR_SUCCESS)
        throw ERegistryException(LoadResString(RegistryConsts::SRegSetDataFailed), {Name});
}

void TRegistry::WriteString(const String& Name, const String& Value) { put(Name, REG_SZ, RegStringBytes(Value)); }
void TRegistry::WriteExpandString(const String& Name, const String& Value)
{
    put(Name, REG_EXPAND_SZ, RegStringBytes(Value));
}

int TRegistry::ReadInteger(const String& Name) const
{
    uint32_t kind = 0;
    QByteArray data;
    if (RegQueryValueEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name, &kind, &data) != ERROR_SUCCESS)
        throw ERegistryException(LoadResString(RegistryConsts::SRegGetDataFailed), {Name});
    if (kind != REG_DWORD || data.size() != 4)
        throw ERegistryException(LoadResString(RegistryConsts::SInvalidRegType), {Name});
    uint32_t v = 0;
    memcpy(&v, data.constData(), 4);
    return static_cast<int>(qFromLittleEndian(v));
}

void TRegistry::WriteInteger(const String& Name, int Value)
{
    put(Name, REG_DWORD, RegDWordBytes(static_cast<uint32_t>(Value)));
}

bool TRegistry::ReadBool(const String& Name) const { return ReadInteger(Name) != 0; }
void TRegistry::WriteBool(const String& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

QByteArray TRegistry::ReadBinaryData(const String& Name) const
{
    uint32_t kind = 0;
    QByteArray data;
    if (RegQueryValueEx(FCurrentKey != 0 ? FCurrentKey : FRootKey, Name, &kind, &data) != ERROR_SUCCESS)
        throw ERegistryException(LoadResString(RegistryConsts::SRegGetDataFailed), {Name});
    if (kind != REG_BINARY)
        throw ERegistryException(LoadResString(RegistryConsts::SInvalidRegType), {Name});
    return data;
}

void TRegistry::WriteBinaryData(const String& Name, const QByteArray& Value) { put(Name, REG_BINARY, Value); }

std::vector<TRegistrySetAside> TakeRegistrySetAside()
{
    const std::lock_guard guard(setAsideMutex);
    return std::exchange(setAsideFiles, {});
}
