#include "support/SxFileUtils.h"

#include <QFileInfo>
#include <cstring>
#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>

#include "platform/rtl/SysUtils.h"
#include "support/SxStrings.h"

namespace {

const std::array<const char*, 12> keyNames = {
    "Comments", "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
    "LegalTradeMarks", "OriginalFilename", "ProductName", "ProductVersion", "SpecialBuild", "PrivateBuild"};

struct TBadResource {};

// Walks the resource tree. Every read is checked against the end of the
// data and of the enclosing block: a damaged resource ends the walk with
// "no version information" instead of reading past the buffer.
class TWalker {
public:
    explicit TWalker(const AnsiString& data)
        : FData(data), FUnicode(data.size() >= 6 && u16(4) <= 1)
    {
    }

    struct THeader {
        qsizetype Start = 0, Length = 0, ValueLength = 0, Type = 1, HeaderSize = 0;
        String Key;
        qsizetype end() const { return Start + Length; }
    };

    bool unicode() const { return FUnicode; }
    qsizetype Pos = 0;

    unsigned u16(qsizetype at) const
    {
        need(at, 2);
        return static_cast<uint8_t>(FData[at]) | static_cast<unsigned>(static_cast<uint8_t>(FData[at + 1])) << 8;
    }
    uint32_t u32(qsizetype at) const { return u16(at) | static_cast<uint32_t>(u16(at + 2)) << 16; }
    void need(qsizetype at, qsizetype n) const
    {
        if (at < 0 || n < 0 || at > FData.size() || n > FData.size() - at)
            throw TBadResource();
    }
    void pad() { Pos = (Pos + 3) & ~qsizetype{3}; }

    // A block of zero length ends the walk: without error when only zero
    // bytes follow (trailing padding), as damage otherwise.
    bool readHeader(THeader& h, qsizetype limit)
    {
        h = THeader{};
        h.Start = Pos;
        h.Length = u16(Pos);
        if (h.Length == 0) {
            for (qsizetype i = Pos; i < FData.size(); ++i)
                if (FData[i] != 0)
                    throw TBadResource();
            return false;
        }
        if (h.end() > limit)
            throw TBadResource();
        h.ValueLength = u16(Pos + 2);
        qsizetype at = Pos + 4;
        if (FUnicode) {
            h.Type = u16(at);
            at += 2;
            qsizetype e = at;
            while (u16(e) != 0)
                e += 2;
            h.Key = String::fromUtf16(reinterpret_cast<const char16_t*>(FData.constData() + at), (e - at) / 2);
            at = e + 2;
        } else {
            const qsizetype e = FData.indexOf('\0', at);
            if (e < 0)
                throw TBadResource();
            h.Key = String::fromLatin1(FData.constData() + at, e - at);
            at = e + 1;
        }
        Pos = at;
        pad();
        h.HeaderSize = Pos - h.Start;
        if (Pos > h.end())
            throw TBadResource();
        return true;
    }

    // A NUL-terminated UTF-16 text inside [at, limit).
    String wideText(qsizetype at, qsizetype maxChars, qsizetype limit) const
    {
        String out;
        for (qsizetype k = 0; k < maxChars && at + 2 * k + 1 < limit; ++k) {
            const unsigned c = u16(at + 2 * k);
            if (c == 0)
                break;
            out.append(QChar(static_cast<char16_t>(c)));
        }
        return out;
    }
    String ansiText(qsizetype at, qsizetype limit) const
    {
        qsizetype e = at;
        while (e < limit && e < FData.size() && FData[e] != 0)
            ++e;
        return String::fromLocal8Bit(FData.constData() + at, e - at);
    }
    uint32_t wordOrZero(qsizetype at) const
    {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            if (at + k < FData.size())
                v |= static_cast<uint32_t>(static_cast<uint8_t>(FData[at + k])) << (8 * k);
        return v;
    }
    const AnsiString& data() const { return FData; }

private:
    const AnsiString& FData;
    bool FUnicode;
};

String cleanTableKey(String key)
{
    key.remove(QStringLiteral("0x"));
    return FilterChars(key, &IsHexDigitChar);
}

}  // namespace

String VersionKeyNames(int Index)
{
    if (Index < 1 || Index > 12)
        return String();
    return String::fromLatin1(keyNames[static_cast<size_t>(Index - 1)]);
}

TSxFileVersionInfo::TSxFileVersionInfo(const String& FileName)
{
    if (!FileExistsNotFolder(FileName))
        throw ESxFileVersionInfoError(LoadResString(SxResources::RsFileUtilsFileDoesNotExist), {FileName});
    if (GetFileVersionInfoSize(FileName) == 0)
        throw ESxFileVersionInfoError(LoadResString(SxResources::RsFileUtilsNoVersionInfo));
    if (!GetFileVersionInfo(FileName, FRawData))
        SxRaiseOSError(errno != 0 ? errno : EIO);
    parse();
}

std::unique_ptr<TSxFileVersionInfo> TSxFileVersionInfo::FromRawData(const AnsiString& RawData)
{
    std::unique_ptr<TSxFileVersionInfo> info(new TSxFileVersionInfo());
    info->FRawData = RawData;
    info->parse();
    return info;
}

void TSxFileVersionInfo::parse()
{
    bool error = true;
    try {
        TWalker w(FRawData);
        TWalker::THeader root;
        if (w.readHeader(root, FRawData.size()) && SameText(root.Key, QStringLiteral("VS_VERSION_INFO"))
            && root.ValueLength == 52) {
            w.need(w.Pos, 52);
            std::memcpy(&FFixedRecord, FRawData.constData() + w.Pos, 52);
            error = FFixedRecord.dwSignature != 0xFEEF04BD;
            w.Pos += 52;
            w.pad();
            const qsizetype end = root.end();
            int table = 0;
            while (!error && w.Pos < end) {
                TWalker::THeader child;
                if (!w.readHeader(child, end))
                    break;
                if (SameText(child.Key, QStringLiteral("StringFileInfo"))) {
                    w.Pos += child.ValueLength;
                    w.pad();
                    while (w.Pos < child.end()) {
                        TWalker::THeader tab;
                        if (!w.readHeader(tab, child.end()))
                            break;
                        const String key = cleanTableKey(tab.Key);
                        if (tab.ValueLength != 0 || key.size() != 8)
                            throw TBadResource();
                        bool ok = false;
                        const uint32_t language = key.left(4).toUInt(&ok, 16);
                        const uint32_t codePage = key.right(4).toUInt(&ok, 16);
                        FLanguagePairs.push_back(codePage << 16 | language);
                        while (w.Pos < tab.end()) {
                            TWalker::THeader str;
                            if (!w.readHeader(str, tab.end()))
                                break;
                            const qsizetype at = w.Pos;
                            String value;
                            const qsizetype type = w.unicode() ? str.Type : 1;
                            if (type == 1) {
                                if (str.ValueLength != 0)
                                    value = w.unicode() ? w.wideText(at, str.ValueLength, str.end())
                                                        : w.ansiText(at, str.end());
                            } else if (type == 0) {
                                if (str.ValueLength >= 1 && str.ValueLength <= 4) {
                                    w.need(at, str.ValueLength);
                                    value = QStringLiteral("$")
                                        + String::number(w.wordOrZero(at), 16).toUpper().rightJustified(
                                            static_cast<int>(str.ValueLength * 2), u'0');
                                } else if (str.ValueLength != 0) {
                                    value = w.wideText(at, str.end() - at, str.end());
                                }
                            } else {
                                throw TBadResource();
                            }
                            w.Pos = str.end();
                            w.pad();
                            FAllEntries.AddObject(str.Key + u'=' + value,
                                                  reinterpret_cast<TObject*>(static_cast<intptr_t>(table)));
                        }
                        w.Pos = tab.end();
                        w.pad();
                        ++table;
                    }
                } else if (SameText(child.Key, QStringLiteral("VarFileInfo"))) {
                    w.Pos += child.ValueLength;
                    w.pad();
                    TWalker::THeader var;
                    if (w.Pos < child.end() && w.readHeader(var, child.end())
                        && SameText(var.Key, QStringLiteral("Translation"))) {
                        w.need(w.Pos, var.ValueLength);
                        if (w.Pos + var.ValueLength > var.end())
                            throw TBadResource();
                        for (qsizetype k = 0; k + 4 <= var.ValueLength; k += 4)
                            FTranslationPairs.push_back(w.u32(w.Pos + k));
                    }
                } else {
                    break;  // an unknown block ends the walk; what was read stays
                }
                w.Pos = child.end();
                w.pad();
            }
        }
    } catch (const TBadResource&) {
        error = true;
    }
    if (!error) {
        const uint32_t flags = FFixedRecord.dwFileFlags & FFixedRecord.dwFileFlagsMask;
        const std::pair<uint32_t, TSxFileFlag> bits[] = {{0x1, ffDebug},       {0x10, ffInfoInferred},
                                                         {0x4, ffPatched},     {0x2, ffPreRelease},
                                                         {0x8, ffPrivateBuild}, {0x20, ffSpecialBuild}};
        for (const auto& [bit, flag] : bits)
            if (flags & bit)
                FFlagSet.Include(flag);
        FChosenEntries.Clear();
        for (int i = 0; i < FAllEntries.Count(); ++i)
            if (reinterpret_cast<intptr_t>(FAllEntries.Objects(i)) == FChosenLanguage)
                FChosenEntries.AddObject(
                    FAllEntries.Strings(i),
                    reinterpret_cast<TObject*>(static_cast<intptr_t>(FLanguagePairs[static_cast<size_t>(FChosenLanguage)])));
    }
    if (error)
        throw ESxFileVersionInfoError(LoadResString(SxResources::RsFileUtilsNoVersionInfo));
}

String TSxFileVersionInfo::VersionKeyValue(int Index) const
{
    const String name = VersionKeyNames(Index);
    if (name.isEmpty())
        return String();
    for (int i = 0; i < FChosenEntries.Count(); ++i) {
        const String line = FChosenEntries.Strings(i);
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && SameText(line.left(eq), name))
            return line.mid(eq + 1);
    }
    return String();
}

bool HasVersionResource(const String& FileName)
{
    AnsiString data;
    return GetFileVersionInfo(FileName, data);
}

bool ReadFixedVersionRecord(const String& FileName, VS_FIXEDFILEINFO& Fixed)
{
    AnsiString data;
    if (!GetFileVersionInfo(FileName, data))
        return false;
    VS_FIXEDFILEINFO fixed;
    if (!QueryFixedFileInfo(data, fixed))
        return false;
    Fixed = fixed;
    return true;
}

bool FileExistsNotFolder(const String& Name)
{
    if (Name.isEmpty())
        return false;
    const QFileInfo info(Name);
    return info.exists() && !info.isDir();
}

String ModuleFileName(TModuleHandle Module)
{
    if (Module != 0) {
        Dl_info info{};
        if (::dladdr(reinterpret_cast<const void*>(Module), &info) != 0 && info.dli_fname != nullptr
            && reinterpret_cast<TModuleHandle>(info.dli_fbase) == Module) {
            // The main program's entry has an empty or relative name; its file is /proc/self/exe.
            const String name = String::fromLocal8Bit(info.dli_fname);
            if (name.startsWith(u'/'))
                return name;
        } else {
            return String();
        }
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}
