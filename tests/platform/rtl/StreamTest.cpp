#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes contents(TMemoryStream& stream)
{
    const auto* p = static_cast<const uint8_t*>(stream.Memory());
    return Bytes(p, p + stream.Size());
}

TEST(StreamNumbers, WritersProduceLittleEndianBytes)
{
    TMemoryStream s;
    s.WriteByte(0xAB);
    s.WriteWord(0x1234);
    s.WriteSmallInt(-2);
    s.WriteDWord(0x89ABCDEFu);
    s.WriteInteger(-2);
    s.WriteInt64(0x0102030405060708LL);
    s.WriteSingle(1.0f);
    s.WriteDouble(-2.0);
    s.WriteAnsiString("hi");
    EXPECT_EQ(contents(s), (Bytes{0xAB,                                            //
                                  0x34, 0x12,                                      //
                                  0xFE, 0xFF,                                      //
                                  0xEF, 0xCD, 0xAB, 0x89,                          //
                                  0xFE, 0xFF, 0xFF, 0xFF,                          //
                                  0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  //
                                  0x00, 0x00, 0x80, 0x3F,                          //
                                  0, 0, 0, 0, 0, 0, 0x00, 0xC0,                    //
                                  0x02, 0x00, 0x00, 0x00, 'h', 'i'}));
}

TEST(StreamNumbers, ReadersReturnWhatWritersWrote)
{
    TMemoryStream s;
    s.WriteByte(200);
    s.WriteWord(65535);
    s.WriteSmallInt(-32768);
    s.WriteDWord(4000000000u);
    s.WriteInteger(std::numeric_limits<int32_t>::min());
    s.WriteCardinal(7);
    s.WriteInt64(std::numeric_limits<int64_t>::min() + 5);
    s.WriteSingle(-0.15625f);
    s.WriteDouble(6.02214076e23);
    s.WriteAnsiString(QByteArray("a\0b", 3));
    s.WriteAnsiString(QByteArray());
    s.WriteBytes("raw");
    s.SetPosition(0);
    EXPECT_EQ(s.ReadByte(), 200);
    EXPECT_EQ(s.ReadWord(), 65535);
    EXPECT_EQ(s.ReadSmallInt(), -32768);
    EXPECT_EQ(s.ReadDWord(), 4000000000u);
    EXPECT_EQ(s.ReadInteger(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(s.ReadCardinal(), 7u);
    EXPECT_EQ(s.ReadInt64(), std::numeric_limits<int64_t>::min() + 5);
    EXPECT_EQ(s.ReadSingle(), -0.15625f);
    EXPECT_EQ(s.ReadDouble(), 6.02214076e23);
    EXPECT_EQ(s.ReadAnsiString(), QByteArray("a\0b", 3));
    EXPECT_EQ(s.ReadAnsiString(), QByteArray());
    EXPECT_EQ(s.ReadBytes(3), QByteArray("raw"));
    EXPECT_EQ(s.Position(), s.Size());
}

TEST(StreamExtended, KnownByteLayouts)
{
    const struct {
        long double value;
        Bytes bytes;
    } cases[] = {
        {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {1.5L, {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
        {-2.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
        {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {-0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}},
        {100.0L, {0, 0, 0, 0, 0, 0, 0, 0xC8, 0x05, 0x40}},
        {std::numeric_limits<long double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
        {-std::numeric_limits<long double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        TMemoryStream s;
        s.WriteExtended(c.value);
        EXPECT_EQ(contents(s), c.bytes) << double(c.value);
        s.SetPosition(0);
        const long double back = s.ReadExtended();
        EXPECT_EQ(back, c.value);
        EXPECT_EQ(std::signbit(back), std::signbit(c.value)) << double(c.value);
    }
}

TEST(StreamExtended, RoundTripsTheWholeRange)
{
    std::vector<long double> values = {3.14159265358979323846264338327950288L, -1e-300L, 123456789.125L, DBL_MAX};
    if constexpr (std::numeric_limits<long double>::digits >= 64 && std::numeric_limits<long double>::max_exponent >= 16384) {
        // Beyond double: only a host whose long double is at least 80 bits holds these.
        values.insert(values.end(), {1e4932L, -1.18e4932L, LDBL_MAX, LDBL_MIN, 1e-4931L, 1.0L + LDBL_EPSILON});
    }
    for (const long double v : values) {
        TMemoryStream s;
        s.WriteExtended(v);
        s.SetPosition(0);
        EXPECT_EQ(s.ReadExtended(), v) << double(v);
    }

    const uint8_t nan[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
    EXPECT_TRUE(std::isnan(BytesToExtended(nan)));
    uint8_t bytes[10];
    ExtendedToBytes(std::numeric_limits<long double>::quiet_NaN(), bytes);
    EXPECT_TRUE(std::isnan(BytesToExtended(bytes)));
}

TEST(StreamErrors, ShortReadsAndWritesRaise)
{
    TMemoryStream s;
    s.WriteWord(1);
    s.SetPosition(0);
    char buffer[4];
    try {
        s.ReadBuffer(buffer, 3);
        FAIL() << "short read accepted";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message().toStdString(), "Stream read error");
    }
    s.SetPosition(0);
    EXPECT_THROW(s.ReadInteger(), EReadError);
    s.SetPosition(2);
    EXPECT_THROW(s.ReadByte(), EReadError);
    EXPECT_EQ(s.Read(buffer, 4), 0);

    TMemoryStream bogusLength;
    bogusLength.WriteInteger(1000000000);
    bogusLength.WriteBytes("abc");
    bogusLength.SetPosition(0);
    EXPECT_THROW(bogusLength.ReadAnsiString(), EReadError);
    bogusLength.SetPosition(0);
    bogusLength.WriteInteger(-1);
    bogusLength.SetPosition(0);
    EXPECT_THROW(bogusLength.ReadAnsiString(), EReadError);

    s.SetPosition(-5);
    try {
        s.WriteByte(1);
        FAIL() << "write before the start accepted";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message().toStdString(), "Stream write error");
    }
}

TEST(MemoryStream, GrowsZeroFilledAndSeeks)
{
    TMemoryStream s;
    EXPECT_EQ(s.Seek(10, soBeginning), 10);
    EXPECT_EQ(s.Size(), 0);
    s.WriteByte(7);
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(contents(s), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}));

    EXPECT_EQ(s.Seek(-3, soEnd), 8);
    EXPECT_EQ(s.Seek(2, soCurrent), 10);
    s.WriteWord(0x0201);  // overwrites one byte, appends one
    EXPECT_EQ(s.Size(), 12);
    EXPECT_EQ(s.Position(), 12);
    EXPECT_EQ(contents(s)[10], 1);

    s.SetSize(4);
    EXPECT_EQ(s.Position(), 4) << "a position past the new end moves to it";
    s.SetSize(6);
    EXPECT_EQ(contents(s), (Bytes{0, 0, 0, 0, 0, 0}));
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, CopyFromWholeOrPart)
{
    TMemoryStream source;
    source.WriteBytes("0123456789");
    source.SetPosition(4);

    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(&source, 3), 3);
    EXPECT_EQ(source.Position(), 7);
    TMemoryStream whole;
    whole.WriteBytes(">");
    EXPECT_EQ(whole.CopyFrom(&source, 0), 10);
    EXPECT_THROW(part.CopyFrom(&source, 1), EReadError) << "source is at its end";

    part.SetPosition(0);
    whole.SetPosition(0);
    EXPECT_EQ(part.ReadBytes(part.Size()), QByteArray("456"));
    EXPECT_EQ(whole.ReadBytes(whole.Size()), QByteArray(">0123456789"));
}

class FileStreamFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    String path(const char* name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(FileStreamFixture, WritesReadsSeeksAndTruncates)
{
    const String name = path("d\xC3\xA4ta.bin");
    {
        TFileStream out(String::fromUtf8(name.toUtf8()), fmCreate);
        out.WriteInteger(42);
        out.WriteBytes("tail");
        EXPECT_EQ(out.Size(), 8);
        EXPECT_EQ(out.Position(), 8);
    }
    ASSERT_TRUE(QFile::exists(name));
    {
        TFileStream io(name, fmOpenReadWrite | fmShareExclusive);
        EXPECT_EQ(io.ReadInteger(), 42);
        EXPECT_EQ(io.Seek(-2, soEnd), 6);
        EXPECT_EQ(io.ReadBytes(2), QByteArray("il"));
        io.SetSize(5);
        EXPECT_EQ(io.Position(), 5);
        EXPECT_EQ(io.Size(), 5);
        io.SetPosition(4);
        EXPECT_EQ(io.ReadBytes(1), QByteArray("t"));
        EXPECT_EQ(io.Read(nullptr, 0), 0);
    }
    TFileStream in(name, fmOpenRead | fmShareDenyNone);
    EXPECT_THROW(in.WriteByte(1), EWriteError) << "a read-only stream";
    TMemoryStream copy;
    copy.LoadFromFile(name);
    EXPECT_EQ(copy.Size(), 5);
    copy.SaveToFile(path("copy.bin"));
    EXPECT_EQ(QFileInfo(path("copy.bin")).size(), 5);
}

TEST_F(FileStreamFixture, OpenFailuresCarryTheOsText)
{
    const struct {
        String name;
        uint16_t mode;
        bool create;
        const char* reason;
    } cases[] = {
        {path("missing.bin"), fmOpenRead, false, "No such file or directory"},
        {path("missing.bin"), fmOpenReadWrite, false, "No such file or directory"},
        {dir.path(), fmOpenRead, false, "Is a directory"},
        {dir.path(), fmOpenWrite, false, "Is a directory"},
        {path("no/such/folder.bin"), fmCreate, true, "No such file or directory"},
        {dir.path(), fmCreate, true, "Is a directory"},
    };
    for (const auto& c : cases) {
        const std::string expected = std::string(c.create ? "Cannot create file \"" : "Cannot open file \"") +
                                     QDir::cleanPath(c.name).toStdString() + "\". " + c.reason;
        try {
            TFileStream stream(c.name, c.mode);
            ADD_FAILURE() << c.name.toStdString() << " opened";
        } catch (const EFCreateError& e) {
            EXPECT_TRUE(c.create);
            EXPECT_EQ(e.Message().toStdString(), expected);
        } catch (const EFOpenError& e) {
            EXPECT_FALSE(c.create);
            EXPECT_EQ(e.Message().toStdString(), expected);
        }
    }
    EXPECT_FALSE(QFile::exists(path("missing.bin"))) << "opening never creates";
}

TEST_F(FileStreamFixture, CreateTruncatesAnExistingFile)
{
    {
        TFileStream first(path("f"), fmCreate);
        first.WriteBytes("longer content");
    }
    TFileStream second(path("f"), fmCreate);
    EXPECT_EQ(second.Size(), 0);
}

}  // namespace

TEST(StreamText, WideStringsAreCountedUtf16LittleEndian)
{
    TMemoryStream s;
    s.WriteWideString(QString::fromUtf16(u"a\u00E9\U0001F600"));
    EXPECT_EQ(contents(s), (Bytes{4, 0, 0, 0, 'a', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE}));
    s.SetPosition(0);
    EXPECT_EQ(s.ReadWideString(), QString::fromUtf16(u"a\u00E9\U0001F600"));
    EXPECT_EQ(s.Position(), s.Size());
}

TEST(StreamText, DamagedWideCountsFailBeforeAllocating)
{
    // negative, larger than the data by one unit, and 2^31-1 on 10 bytes
    const Bytes cases[] = {
        {0xFF, 0xFF, 0xFF, 0xFF, 'a', 0},
        {2, 0, 0, 0, 'a', 0},
        {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0},
    };
    for (const Bytes& bytes : cases) {
        TMemoryStream s;
        s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        s.SetPosition(0);
        EXPECT_THROW(s.ReadWideString(), EReadError);
    }
}
