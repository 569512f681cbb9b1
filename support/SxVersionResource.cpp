#include "support/SxVersionResource.h"

#include <QFile>
#include <cstring>
#include <optional>

namespace {

// Reads numbers of either byte order out of a byte range of the file,
// refusing every range that does not lie inside the file.
class TElfFile {
public:
    explicit TElfFile(const String& name) : FFile(name) {}
    bool open()
    {
        if (!FFile.open(QIODevice::ReadOnly))
            return false;
        FSize = FFile.size();
        return true;
    }
    int64_t size() const { return FSize; }
    bool read(uint64_t offset, uint64_t length, AnsiString& out)
    {
        if (offset > static_cast<uint64_t>(FSize) || length > static_cast<uint64_t>(FSize) - offset)
            return false;
        if (!FFile.seek(static_cast<qint64>(offset)))
            return false;
        out = FFile.read(static_cast<qint64>(length));
        return out.size() == static_cast<qsizetype>(length);
    }

private:
    QFile FFile;
    int64_t FSize = 0;
};

struct TReader {
    const AnsiString& Bytes;
    bool Big;
    uint64_t get(size_t offset, int width) const
    {
        uint64_t v = 0;
        for (int k = 0; k < width; ++k) {
            const uint64_t b = static_cast<uint8_t>(Bytes[static_cast<qsizetype>(offset + k)]);
            v |= Big ? b << (8 * (width - 1 - k)) : b << (8 * k);
        }
        return v;
    }
};

}  // namespace

bool ReadElfSection(const String& FileName, const char* SectionName, AnsiString& Data)
{
    Data.clear();
    TElfFile file(FileName);
    AnsiString ident;
    if (!file.open() || !file.read(0, 16, ident) || !ident.startsWith("\x7f" "ELF"))
        return false;
    const bool is64 = ident[4] == 2;
    if (!is64 && ident[4] != 1)
        return false;
    if (ident[5] != 1 && ident[5] != 2)
        return false;
    const bool big = ident[5] == 2;
    const uint64_t ehSize = is64 ? 64 : 52;
    AnsiString eh;
    if (!file.read(0, ehSize, eh))
        return false;
    const TReader e{eh, big};
    const uint64_t shoff = is64 ? e.get(0x28, 8) : e.get(0x20, 4);
    const uint64_t shentsize = e.get(is64 ? 0x3A : 0x2E, 2);
    uint64_t shnum = e.get(is64 ? 0x3C : 0x30, 2);
    uint64_t shstrndx = e.get(is64 ? 0x3E : 0x32, 2);
    const uint64_t minEntry = is64 ? 64 : 40;
    if (shoff == 0 || shentsize < minEntry)
        return false;

    auto sectionHeader = [&](uint64_t index, AnsiString& out) {
        return index < (uint64_t{1} << 32) && file.read(shoff + index * shentsize, minEntry, out);
    };
    // Large counts and indexes live in section 0.
    AnsiString first;
    if (!sectionHeader(0, first))
        return false;
    const TReader s0{first, big};
    if (shnum == 0)
        shnum = is64 ? s0.get(0x20, 8) : s0.get(0x14, 4);
    if (shstrndx == 0xFFFF)
        shstrndx = s0.get(is64 ? 0x28 : 0x18, 4);
    // The whole table must lie inside the file.
    const uint64_t fileSize = static_cast<uint64_t>(file.size());
    if (shnum == 0 || shstrndx >= shnum || shoff > fileSize || shnum > (fileSize - shoff) / shentsize)
        return false;

    struct TSection {
        uint64_t Name, Type, Offset, Size;
    };
    auto section = [&](uint64_t index) -> std::optional<TSection> {
        AnsiString h;
        if (!sectionHeader(index, h))
            return std::nullopt;
        const TReader r{h, big};
        if (is64)
            return TSection{r.get(0, 4), r.get(4, 4), r.get(0x18, 8), r.get(0x20, 8)};
        return TSection{r.get(0, 4), r.get(4, 4), r.get(0x10, 4), r.get(0x14, 4)};
    };
    const std::optional<TSection> strtab = section(shstrndx);
    constexpr uint64_t maxNames = 16u << 20;
    AnsiString names;
    if (!strtab || strtab->Type == 8 /* no bits */ || strtab->Size > maxNames
        || !file.read(strtab->Offset, strtab->Size, names))
        return false;
    const size_t wantedLength = std::strlen(SectionName);
    for (uint64_t i = 1; i < shnum; ++i) {
        const std::optional<TSection> sec = section(i);
        if (!sec)
            return false;
        if (sec->Name >= static_cast<uint64_t>(names.size()))
            continue;
        const qsizetype end = names.indexOf('\0', static_cast<qsizetype>(sec->Name));
        if (end < 0 || static_cast<size_t>(end) - sec->Name != wantedLength
            || std::memcmp(names.constData() + sec->Name, SectionName, wantedLength) != 0)
            continue;
        if (sec->Type == 8 || sec->Size == 0 || sec->Size > static_cast<uint64_t>(MaxVersionBlobSize))
            return false;
        return file.read(sec->Offset, sec->Size, Data);
    }
    return false;
}

uint32_t GetFileVersionInfoSize(const String& FileName)
{
    AnsiString data;
    return ReadElfSection(FileName, VersionSectionName, data) ? static_cast<uint32_t>(data.size()) : 0;
}

bool GetFileVersionInfo(const String& FileName, AnsiString& Data)
{
    return ReadElfSection(FileName, VersionSectionName, Data);
}

bool QueryFixedFileInfo(const AnsiString& Data, VS_FIXEDFILEINFO& Fixed)
{
    // Root header: length, value length, type, "VS_VERSION_INFO" in UTF-16, padding.
    constexpr qsizetype valueOffset = 6 + 16 * 2 + 2;  // 40, already a multiple of 4
    if (Data.size() < valueOffset + 52)
        return false;
    const auto u16 = [&](qsizetype at) {
        return static_cast<unsigned>(static_cast<uint8_t>(Data[at]) | static_cast<uint8_t>(Data[at + 1]) << 8);
    };
    if (u16(2) != 52 || u16(0) < valueOffset + 52 || u16(0) > Data.size())
        return false;
    const String key = String::fromUtf16(reinterpret_cast<const char16_t*>(Data.constData() + 6), 15);
    if (key != QStringLiteral("VS_VERSION_INFO"))
        return false;
    std::memcpy(&Fixed, Data.constData() + valueOffset, 52);
    return Fixed.dwSignature == 0xFEEF04BD;
}

namespace {
void pad(AnsiString& out)
{
    while (out.size() % 4 != 0)
        out.append('\0');
}
void putU16(AnsiString& out, qsizetype at, unsigned v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
}  // namespace

AnsiString WriteVersionNode(const TVersionNode& Node, bool Unicode)
{
    AnsiString out(Unicode ? 6 : 4, '\0');
    if (Unicode) {
        putU16(out, 4, Node.IsText ? 1 : 0);
        const std::u16string key = Node.Key.toStdU16String();
        out.append(reinterpret_cast<const char*>(key.c_str()), static_cast<qsizetype>((key.size() + 1) * 2));
    } else {
        out.append(Node.Key.toLatin1());
        out.append('\0');
    }
    pad(out);
    unsigned valueLength = 0;
    const bool hasValue = Node.IsText ? !Node.Text.isNull() : !Node.Binary.isEmpty();
    if (!hasValue) {
    } else if (Node.IsText) {
        if (Unicode) {
            const std::u16string text = Node.Text.toStdU16String();
            out.append(reinterpret_cast<const char*>(text.c_str()), static_cast<qsizetype>((text.size() + 1) * 2));
            valueLength = static_cast<unsigned>(text.size() + 1);
        } else {
            out.append(Node.Text.toLatin1());
            out.append('\0');
            valueLength = static_cast<unsigned>(Node.Text.toLatin1().size() + 1);
        }
    } else {
        out.append(Node.Binary);
        valueLength = static_cast<unsigned>(Node.Binary.size());
    }
    for (const TVersionNode& child : Node.Children) {
        pad(out);
        out.append(WriteVersionNode(child, Unicode));
    }
    putU16(out, 0, static_cast<unsigned>(out.size()));
    putU16(out, 2, valueLength);
    return out;
}

AnsiString BuildVersionBlob(const VS_FIXEDFILEINFO& Fixed, const std::vector<std::pair<String, String>>& Strings)
{
    TVersionNode table{QStringLiteral("040904b0"), true, {}, {}, {}};
    for (const auto& [key, value] : Strings)
        table.Children.push_back(TVersionNode{key, true, {}, value, {}});
    const uint32_t translation = 0x04B00409;
    TVersionNode root{QStringLiteral("VS_VERSION_INFO"), false,
                      AnsiString(reinterpret_cast<const char*>(&Fixed), sizeof Fixed), {}, {}};
    root.Children.push_back(TVersionNode{QStringLiteral("StringFileInfo"), true, {}, {}, {table}});
    root.Children.push_back(TVersionNode{
        QStringLiteral("VarFileInfo"), true, {}, {},
        {TVersionNode{QStringLiteral("Translation"), false,
                      AnsiString(reinterpret_cast<const char*>(&translation), 4), {}, {}}}});
    return WriteVersionNode(root, true);
}
