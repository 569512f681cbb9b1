// The container reader on skins made by the packer: format codes, lookups,
// and damaged files that must be refused with the last good skin kept.
#include <QtEndian>
#include <gtest/gtest.h>

#include "platform/rtl/Stream.h"
#include "skin/SknLZH.h"
#include "skin/SknReader.h"
#include "tools/skinpack/SkinPack.h"

namespace {

using skinpack::ContainerOptions;
using skinpack::SkinEntry;

void appendLE32(QByteArray& out, int32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// A container laid out by hand, so its fields may contradict each other.
QByteArray rawContainer(int32_t code, int32_t nameLength, int extra, const QByteArray& names,
                        const std::vector<int32_t>& sizes, const QByteArray& data)
{
    QByteArray out;
    appendLE32(out, code);
    appendLE32(out, nameLength);
    out.append(8, '\0');
    out.append(extra, 'x');
    out += names;
    for (int32_t size : sizes)
        appendLE32(out, size);
    return out + data;
}

bool load(TSkinReader& reader, const QByteArray& skinFile)
{
    TMemoryStream stream;
    stream.WriteBuffer(skinFile.constData(), skinFile.size());
    return reader.ReadContainer(&stream);
}

QByteArray entry(const TSkinReader& reader, const String& name)
{
    TMemoryStream dest;
    dest.WriteBuffer("stale", 5);
    reader.ExtractEntry(name, &dest);
    EXPECT_EQ(dest.Position(), 0);
    return QByteArray(static_cast<const char*>(dest.Memory()), qsizetype(dest.Size()));
}

const std::vector<SkinEntry> sampleEntries = {
    {"Skin.INI", "[Personality]\r\nTop=top.bmp\r\n"},
    {"top.bmp", "BMtop"},
    {"empty.bmp", ""},
    {"top.bmp", "BMsecond"},
    {"Extra\xC4.bmp", "BMlatin"},
};

QByteArray sampleSkin(const ContainerOptions& options = {})
{
    return skinpack::PackSkinFile(skinpack::WriteContainer(sampleEntries, options));
}

}  // namespace

TEST(SknReaderTest, FormatCodesAndLineEndingsGiveTheSameEntries)
{
    struct Case {
        int32_t code;
        QByteArray lineBreak;
        bool trailing;
    };
    const Case cases[] = {{20000, "\r\n", false}, {30000, "\n", true}, {40000, "\r", false},
                          {50000, "\r\n", true},  {60000, "\n", false}, {70000, "\r", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        TSkinReader reader;
        ContainerOptions options;
        options.FormatCode = c.code;
        options.LineBreak = c.lineBreak;
        options.TrailingBreak = c.trailing;
        options.ExtraSeed = uint32_t(c.code);
        ASSERT_TRUE(load(reader, sampleSkin(options))) << reader.LastError().toStdString();
        EXPECT_EQ(reader.FormatCode(), c.code);
        // A trailing break adds no empty entry; names are kept in lower case.
        EXPECT_EQ(reader.Names(), (std::vector<String>{"skin.ini", "top.bmp", "empty.bmp", "top.bmp",
                                                         String::fromLatin1("extra\xE4.bmp")}));
        EXPECT_EQ(entry(reader, "top.bmp"), "BMtop");  // the first of two wins
        EXPECT_EQ(entry(reader, "TOP.Bmp"), "BMtop");  // case does not matter for names
        EXPECT_EQ(entry(reader, String::fromLatin1("EXTRA\xC4.BMP")), "BMlatin");
        EXPECT_EQ(entry(reader, "empty.bmp"), "");
        EXPECT_EQ(entry(reader, "missing.bmp"), "");
    }
}

TEST(SknReaderTest, EmptyLinesAreEntriesWithEmptyNames)
{
    TSkinReader reader;
    const QByteArray names = "a\r\n\nb\r\rc";
    ASSERT_TRUE(load(reader, skinpack::PackSkinFile(rawContainer(20000, int32_t(names.size()), 0, names,
                                                                 {1, 2, 3, 4, 5}, "122333444455555"))));
    EXPECT_EQ(reader.Names(), (std::vector<String>{"a", "", "b", "", "c"}));
    EXPECT_EQ(entry(reader, "c"), "55555");
    // A NUL ends the name text early; the sizes still follow L bytes of it.
    const QByteArray withNul = QByteArray("a\nb\0zzzz", 8);
    ASSERT_TRUE(load(reader, skinpack::PackSkinFile(rawContainer(20000, 8, 0, withNul, {1, 2}, "xyy"))));
    EXPECT_EQ(reader.Names(), (std::vector<String>{"a", "b"}));
    EXPECT_EQ(entry(reader, "b"), "yy");
}

TEST(SknReaderTest, FragmentLookupIsCaseSensitiveOnTheFragment)
{
    TSkinReader reader;
    ASSERT_TRUE(load(reader, sampleSkin()));
    TMemoryStream dest;
    String name = "unchanged";
    reader.ExtractEntryContaining(".INI", &dest, name);
    EXPECT_EQ(dest.Size(), 0);
    EXPECT_EQ(name, "unchanged");
    reader.ExtractEntryContaining(".ini", &dest, name);
    EXPECT_EQ(name, "skin.ini");
    EXPECT_EQ(dest.Position(), 0);
    EXPECT_EQ(dest.Size(), sampleEntries[0].Data.size());
}

TEST(SknReaderTest, DamagedFilesAreRefusedAndTheLastSkinStays)
{
    const QByteArray good = sampleSkin();
    auto withSize = [](QByteArray file, int32_t size) {
        qToLittleEndian(size, file.data());
        return file;
    };
    auto pack = [](const QByteArray& container) { return skinpack::PackSkinFile(container); };
    const QByteArray fiveNames = "a\nb\nc\nd\ne";
    QByteArray manyNames;
    for (int i = 0; i < 1002; ++i)
        manyNames += "n\n";

    struct Case {
        const char* what;
        QByteArray file;
        const TResStringRec* error;
    };
    const Case cases[] = {
        {"empty file", QByteArray(), &SknReaderConsts::SBadUnpackedSize},
        {"three bytes", "abc", &SknReaderConsts::SBadUnpackedSize},
        {"size negative", withSize(good, -5), &SknReaderConsts::SBadUnpackedSize},
        {"size zero", withSize(good, 0), &SknReaderConsts::SBadUnpackedSize},
        {"size below the header", withSize(good, 15), &SknReaderConsts::SBadUnpackedSize},
        {"size huge", withSize(good, 0x7FFFFFFF), &SknReaderConsts::SBadUnpackedSize},
        {"size past any expansion", withSize(good.left(10), 6 * 48 + 1), &SknReaderConsts::SBadUnpackedSize},
        {"packed data cut", good.left(good.size() / 2), &SknLZHConsts::SLzhTruncated},
        {"unknown format code", pack(rawContainer(10000, 0, 0, "", {}, "")), &SknReaderConsts::SOlderSkin},
        {"extra block cut", pack(rawContainer(30000, 0, 100, "", {}, "")), &SknReaderConsts::SBadHeader},
        {"name length negative", pack(rawContainer(20000, -1, 0, "a", {1}, "x")), &SknReaderConsts::SBadHeader},
        {"name length past the end", pack(rawContainer(20000, 50, 0, "a", {1}, "x")), &SknReaderConsts::SBadHeader},
        {"more than 1001 entries", pack(rawContainer(20000, int32_t(manyNames.size()), 0, manyNames, {}, "")),
         &SknReaderConsts::STooManyEntries},
        {"sizes past the end", pack(rawContainer(20000, int32_t(fiveNames.size()), 0, fiveNames, {1, 1}, "")),
         &SknReaderConsts::SBadHeader},
        {"size negative", pack(rawContainer(20000, 3, 0, "a\nb", {-1, 2}, "xyz")), &SknReaderConsts::SBadEntrySizes},
        {"sizes past the data", pack(rawContainer(20000, 3, 0, "a\nb", {2, 2}, "xyz")),
         &SknReaderConsts::SBadEntrySizes},
        {"sizes overflowing 32 bits", pack(rawContainer(20000, 3, 0, "a\nb", {0x7FFFFFFF, 0x7FFFFFFF}, "xyz")),
         &SknReaderConsts::SBadEntrySizes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSkinReader reader;
        ASSERT_TRUE(load(reader, good));
        EXPECT_FALSE(load(reader, c.file));
        EXPECT_EQ(reader.LastError(), LoadResString(*c.error));
        EXPECT_EQ(reader.Count(), int(sampleEntries.size()));
        EXPECT_EQ(entry(reader, "top.bmp"), "BMtop");
    }
}

TEST(SknReaderTest, ASmallerSkinAfterALargerOneLeavesNothingBehind)
{
    TSkinReader reader;
    ASSERT_TRUE(load(reader, skinpack::PackSkinFile(skinpack::WriteContainer({{"big.bmp", QByteArray(5000, 'B')}}))));
    ASSERT_TRUE(load(reader, skinpack::PackSkinFile(skinpack::WriteContainer({{"small.bmp", "s"}, {"n.bmp", "n"}}))));
    EXPECT_EQ(entry(reader, "big.bmp"), "");
    EXPECT_EQ(entry(reader, "n.bmp"), "n");
    // The smallest container: a header and nothing else.
    ASSERT_TRUE(load(reader, skinpack::PackSkinFile(rawContainer(20000, 0, 0, "", {}, ""))));
    EXPECT_EQ(reader.Count(), 0);
}
