#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/SxFileUtils.h"

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

String programFile()
{
    return ModuleFileName(0);
}

AnsiString u32(uint32_t v)
{
    return AnsiString(reinterpret_cast<const char*>(&v), 4);
}

TVersionNode text(const char* key, const String& value)
{
    return TVersionNode{String::fromLatin1(key), true, {}, value, {}};
}

TVersionNode binary(const char* key, const AnsiString& value)
{
    return TVersionNode{String::fromLatin1(key), false, value, {}, {}};
}

// A resource with the given string tables (key, entries) and translation.
AnsiString resource(std::vector<TVersionNode> tables, bool unicode = true, uint32_t flags = 0)
{
    VS_FIXEDFILEINFO fixed;
    fixed.dwFileFlags = flags;
    TVersionNode root = binary("VS_VERSION_INFO", AnsiString(reinterpret_cast<const char*>(&fixed), 52));
    TVersionNode strings{QStringLiteral("StringFileInfo"), true, {}, {}, std::move(tables)};
    root.Children.push_back(strings);
    TVersionNode var{QStringLiteral("VarFileInfo"), true, {}, {}, {binary("Translation", u32(0x04B00409) + u32(0x04E40407))}};
    root.Children.push_back(var);
    return WriteVersionNode(root, unicode);
}

TVersionNode table(const char* key, std::vector<TVersionNode> entries)
{
    return TVersionNode{String::fromLatin1(key), true, {}, {}, std::move(entries)};
}

TEST(SxFileUtils, ProgramCarriesItsVersionResource)
{
    ASSERT_TRUE(HasVersionResource(programFile()));
    const TSxFileVersionInfo info(programFile());
    EXPECT_EQ(info.VersionKeyValue(4), QStringLiteral("3.5.1.42"));
    EXPECT_EQ(info.VersionKeyValue(9), QStringLiteral("Vorlane"));
    EXPECT_EQ(info.VersionKeyValue(1), String());  // Comments absent
    EXPECT_EQ(info.FixedRecord().dwFileVersionMS, (3u << 16) | 5u);
    EXPECT_EQ(info.FixedRecord().dwFileVersionLS, (1u << 16) | 42u);
    ASSERT_EQ(info.TranslationPairs().size(), 1u);
    EXPECT_EQ(info.TranslationPairs()[0], 0x04B00409u);
    VS_FIXEDFILEINFO fixed;
    ASSERT_TRUE(ReadFixedVersionRecord(programFile(), fixed));
    EXPECT_EQ(fixed.dwProductVersionMS, (3u << 16) | 5u);
}

TEST(SxFileUtils, FilesWithoutVersionResource)
{
    QTemporaryDir dir;
    const String plain = dir.filePath(QStringLiteral("plain.txt"));
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not an executable");
    f.close();
    const String system = QStringLiteral("/bin/true");
    for (const String& name : {plain, system}) {
        EXPECT_FALSE(HasVersionResource(name)) << name.toStdString();
        VS_FIXEDFILEINFO fixed;
        EXPECT_FALSE(ReadFixedVersionRecord(name, fixed));
        try {
            TSxFileVersionInfo info(name);
            ADD_FAILURE() << name.toStdString();
        } catch (const ESxFileVersionInfoError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("File contains no version information"));
        }
    }
    try {
        TSxFileVersionInfo info(dir.path());
        FAIL();
    } catch (const ESxFileVersionInfoError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("The file ") + dir.path() + QStringLiteral(" does not exist"));
    }
    EXPECT_FALSE(FileExistsNotFolder(String()));
}

TEST(SxFileUtils, StringTablesAndValues)
{
    const AnsiString data = resource(
        {table("040904b0",
               {text("fileversion", QStringLiteral("1.2.3.4")), binary("Build", AnsiString("\x34\x12", 2)),
                binary("Tiny", AnsiString("\x07", 1)), text("Empty", String())}),
         table("0x0407 04e4", {text("FileVersion", QStringLiteral("9.9"))})},
        true, 0x2 | 0x8);
    const auto info = TSxFileVersionInfo::FromRawData(data);
    EXPECT_EQ(info->VersionKeyValue(4), QStringLiteral("1.2.3.4"));  // first table, key matched without case
    ASSERT_EQ(info->LanguagePairs().size(), 2u);
    EXPECT_EQ(info->LanguagePairs()[0], 0x04B00409u);
    EXPECT_EQ(info->LanguagePairs()[1], 0x04E40407u);
    EXPECT_EQ(info->ChosenEntries().Count(), 4);
    EXPECT_EQ(info->AllEntries().Count(), 5);
    EXPECT_EQ(info->ChosenEntries().Values(QStringLiteral("Build")), QStringLiteral("$1234"));
    // The 1-byte value is followed by padding zeros, which are part of the printed word.
    EXPECT_EQ(info->ChosenEntries().Values(QStringLiteral("Tiny")), QStringLiteral("$07"));
    EXPECT_EQ(info->ChosenEntries().Strings(0), QStringLiteral("fileversion=1.2.3.4"));  // the NUL is not kept
    EXPECT_EQ(info->FlagSet(), (TSxFileFlags{ffPreRelease, ffPrivateBuild}));
    EXPECT_EQ(info->TranslationPairs().size(), 2u);
}

TEST(SxFileUtils, EightBitLayoutTakesEveryValueAsText)
{
    const AnsiString data = resource({table("040904b0", {text("ProductName", QStringLiteral("Old")),
                                                         text("CompanyName", QStringLiteral("Maker"))})},
                                     false);
    const auto info = TSxFileVersionInfo::FromRawData(data);
    EXPECT_EQ(info->VersionKeyValue(9), QStringLiteral("Old"));
    EXPECT_EQ(info->VersionKeyValue(2), QStringLiteral("Maker"));
}

TEST(SxFileUtils, EmptyStringTableAreaKeepsTheFixedRecord)
{
    const auto info = TSxFileVersionInfo::FromRawData(resource({}));
    EXPECT_EQ(info->FixedRecord().dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->ChosenEntries().Count(), 0);
}

// Every damaged resource is refused with the same text and without reading
// outside the data (the sanitizer builds check the second half).
TEST(SxFileUtils, MalformedResources)
{
    const AnsiString good = resource({table("040904b0", {text("FileVersion", QStringLiteral("1.0"))})});
    auto patched = [&](qsizetype at, const AnsiString& bytes) {
        AnsiString d = good;
        d.replace(at, bytes.size(), bytes);
        return d;
    };
    auto u16 = [](unsigned v) { return AnsiString(1, char(v & 0xFF)) + char(v >> 8); };
    const qsizetype fixedAt = 40;
    const qsizetype stringFileInfo = fixedAt + 52;
    struct { const char* what; AnsiString data; } cases[] = {
        {"empty", AnsiString()},
        {"two bytes", good.left(2)},
        {"header only", good.left(40)},
        {"truncated fixed record", good.left(60)},
        {"truncated tree", good.left(good.size() - 9)},
        {"root longer than data", patched(0, u16(0xFFFF))},
        {"root value not 52", patched(2, u16(51))},
        {"wrong signature", patched(fixedAt, AnsiString("\0\0\0\0", 4))},
        {"wrong root key", patched(6, AnsiString("X\0", 2))},
        {"child past its parent", patched(stringFileInfo, u16(0x7FFF))},
        {"table key 0409", resource({table("0409", {})})},
        {"string of type 2", [&] {
             const qsizetype at = good.indexOf(AnsiString("F\0i\0l\0e\0V", 10)) - 2;
             return patched(at, u16(2));
         }()},
        {"string table with a value", [&] {
             const qsizetype at = good.indexOf(AnsiString("0\0004\0000\0009\000", 8)) - 4;
             return patched(at, u16(3));
         }()},
        {"no terminator in key", AnsiString(12, 'A') + u16(0)},
    };
    for (const auto& c : cases) {
        try {
            TSxFileVersionInfo::FromRawData(c.data);
            ADD_FAILURE() << c.what;
        } catch (const ESxFileVersionInfoError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("File contains no version information")) << c.what;
        }
    }
    // A block of an unknown kind ends the walk; what was read stays.
    TVersionNode root;
    const AnsiString withUnknown = [&] {
        VS_FIXEDFILEINFO fixed;
        TVersionNode r = binary("VS_VERSION_INFO", AnsiString(reinterpret_cast<const char*>(&fixed), 52));
        r.Children.push_back(TVersionNode{QStringLiteral("StringFileInfo"), true, {}, {},
                                          {table("040904b0", {text("FileVersion", QStringLiteral("2.0"))})}});
        r.Children.push_back(binary("Unknown", AnsiString("zz", 2)));
        r.Children.push_back(TVersionNode{QStringLiteral("StringFileInfo"), true, {}, {}, {table("nothex", {})}});
        return WriteVersionNode(r);
    }();
    EXPECT_EQ(TSxFileVersionInfo::FromRawData(withUnknown)->VersionKeyValue(4), QStringLiteral("2.0"));
}

// ELF headers of a copy of the test program, damaged one field at a time.
TEST(SxFileUtils, MalformedElfFiles)
{
    QFile self(programFile());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const AnsiString image = self.readAll();
    ASSERT_TRUE(image.startsWith("\x7f" "ELF"));
    ASSERT_EQ(image[4], 2);  // the cases below patch 64-bit offsets
    QTemporaryDir dir;
    auto write = [&](const AnsiString& bytes) {
        const String name = dir.filePath(QStringLiteral("damaged"));
        QFile f(name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return name;
    };
    auto patched = [&](qsizetype at, const AnsiString& bytes) {
        AnsiString d = image;
        d.replace(at, bytes.size(), bytes);
        return d;
    };
    const AnsiString ff8(8, '\xff');
    const AnsiString ff2(2, '\xff');
    auto field = [&](qsizetype at, int width) {
        uint64_t v = 0;
        for (int k = 0; k < width; ++k)
            v |= uint64_t{static_cast<uint8_t>(image[at + k])} << (8 * k);
        return v;
    };
    const uint64_t shoff = field(0x28, 8);
    const uint64_t shstrndx = field(0x3E, 2);
    const qsizetype strtabHeader = static_cast<qsizetype>(shoff) + 64 * shstrndx;
    struct { const char* what; AnsiString data; } cases[] = {
        {"magic only", image.left(4)},
        {"truncated header", image.left(40)},
        {"no section headers", image.left(static_cast<qsizetype>(shoff))},
        {"section table beyond the file", patched(0x28, ff8)},
        {"huge section count", patched(0x3C, ff2)},
        {"small entry size", patched(0x3A, AnsiString("\x10\x00", 2))},
        {"string table index out of range", patched(0x3E, AnsiString("\xfe\xff", 2))},
        {"string table offset out of bounds", patched(strtabHeader + 0x18, ff8)},
        {"string table of huge size", patched(strtabHeader + 0x20, ff8)},
        {"unknown class", patched(4, AnsiString("\x07", 1))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFileVersionInfoSize(write(c.data)), 0u) << c.what;
    EXPECT_GT(GetFileVersionInfoSize(write(image)), 0u);  // the copy itself is fine
}

}  // namespace
