// Tests of the typed streams and the tagged variant encoding (goldens,
// random trees, damaged input), the variant arrays and the shared routines.
#include "ui/data/vlDataUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include <QLocale>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "tests/harness/Mutation.h"
#include "ui/data/vlDataConsts.h"

namespace {

using Bytes = QByteArray;

Bytes hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

Bytes written(const Variant& v)
{
    TMemoryStream s;
    StreamWriteVariant(&s, v);
    return Bytes(static_cast<const char*>(s.Memory()), qsizetype(s.Size()));
}

Variant readBack(const Bytes& bytes, int64_t* leftOver = nullptr)
{
    TMemoryStream s;
    s.WriteBuffer(bytes.constData(), bytes.size());
    s.SetPosition(0);
    Variant v = StreamReadVariant(&s);
    if (leftOver != nullptr)
        *leftOver = s.Size() - s.Position();
    return v;
}

TEST(vlDataUtilsTaggedVariant, Goldens)
{
    const struct {
        Variant value;
        const char* bytes;
        TVarType readBackType;
    } rows[] = {
        {Variant(100), "02 64", varShortInt},
        {Variant(1000), "03 E8 03", varSmallint},
        {Variant(100000), "04 A0 86 01 00", varInteger},
        {Variant(int64_t{1} << 31), "13 00 00 00 80 00 00 00 00", varInt64},
        {Variant(-129), "03 7F FF", varSmallint},
        {Variant(4294967295u), "13 FF FF FF FF 00 00 00 00", varInt64},
        {VarArrayOf({1, Variant("a")}), "01 02 02 02 01 12 01 00 00 00 61 00", varArray | varVariant},
        {Null(), "00", varNull},
        {Variant(), "0D", varEmpty},
        {Variant(true), "09", varBoolean},
        {Variant(false), "08", varBoolean},
        {Variant(1.0), "05 00 00 00 00 00 00 00 80 FF 3F", varDouble},
        {Variant(5e-324), "05 00 00 00 00 00 00 00 80 CD 3B", varDouble},
        {Variant(0.5f), "0F 00 00 00 3F", varSingle},
        {Variant(TCurrency{15000}), "10 98 3A 00 00 00 00 00 00", varCurrency},
        {VarFromDateTime(2.5), "11 00 00 00 00 00 00 04 40", varDate},
        {Variant(StrToBcd(QStringLiteral("-1.5"))), "06 04 2D 31 2E 35", varString},
        {Variant(DateTimeToSQLTimeStamp(2.5)), "11 00 00 00 00 00 00 04 40", varDate},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(written(row.value).toHex(' ').toUpper(), hex(row.bytes).toHex(' ').toUpper());
        const Variant back = readBack(hex(row.bytes));
        EXPECT_EQ(back.VType(), row.readBackType);
        EXPECT_EQ(VarCompare(back, row.value), 0);
    }
    EXPECT_EQ(readBack(hex("12 01 00 00 00 61 00")).VType(), varOleStr);

    // ANSI texts: one length byte below 256, four from 256
    const Bytes text255(255, 'x');
    const Bytes text256(256, 'y');
    EXPECT_EQ(written(Variant(text255)), hex("06 FF") + text255);
    EXPECT_EQ(written(Variant(text256)), hex("0C 00 01 00 00") + text256);
    EXPECT_EQ(readBack(hex("06 FF") + text255).AsAnsiString(), text255);
    EXPECT_EQ(readBack(hex("0C 00 01 00 00") + text256).AsAnsiString(), text256);
}

TEST(vlDataUtilsTaggedVariant, UnreadableTagsAndUnwritableValues)
{
    for (uint8_t tag : {7, 10, 11, 14, 20, 255}) {
        try {
            readBack(Bytes(1, char(tag)) + Bytes(16, '\0'));
            ADD_FAILURE() << int(tag);
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
        }
    }
    try {
        written(VarAsError(5));
        ADD_FAILURE();
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream write error"));
    }
}

// A random tree of every kind, with the doubles that trip codecs up.
Variant randomVariant(std::mt19937& rng, int depth)
{
    static const double specials[] = {std::nan(""), HUGE_VAL, -HUGE_VAL, 0.0, -0.0, 5e-324, -2.2250738585072009e-308,
                                      std::numeric_limits<double>::max(), 0.1, -1e-300};
    switch (std::uniform_int_distribution<int>(0, depth < 4 ? 12 : 11)(rng)) {
    case 0:
        return Null();
    case 1:
        return Variant();
    case 2:
        return Variant(std::uniform_int_distribution<int>(0, 1)(rng) == 1);
    case 3: {
        const int bits = std::uniform_int_distribution<int>(0, 63)(rng);
        const auto magnitude = int64_t(std::uniform_int_distribution<uint64_t>()(rng) >> (63 - bits) >> 1);
        return Variant(static_cast<long long>(rng() % 2 ? magnitude : -magnitude - 1));
    }
    case 4:
        return Variant(specials[rng() % std::size(specials)]);
    case 5:
        return Variant(std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng), int(rng() % 2100) - 1075));
    case 6:
        return Variant(float(std::uniform_real_distribution<double>(-1e6, 1e6)(rng)));
    case 7:
        return Variant(TCurrency{int64_t(std::uniform_int_distribution<uint64_t>()(rng))});
    case 8:
        return VarFromDateTime(std::uniform_real_distribution<double>(-700000, 2958465)(rng));
    case 9: {
        String text;
        const int length = int(rng() % 300);
        for (int i = 0; i < length; ++i)
            text += QChar(char16_t(rng() % 0xD800));
        return Variant(text);
    }
    case 10:
        return Variant(Bytes(int(rng() % 300), char('a' + rng() % 26)));
    case 11:
        return Variant(static_cast<unsigned int>(rng()));
    default: {
        TVariantArray items(rng() % 5);
        for (Variant& item : items)
            item = randomVariant(rng, depth + 1);
        return VarArrayOf(items);
    }
    }
}

// What a value reads back as: integers by value in the smallest kind, UTF-16
// texts as varOleStr, arrays element by element.
void expectReadBack(const Variant& in, const Variant& out)
{
    if (VarIsArray(in)) {
        ASSERT_TRUE(VarIsArray(out));
        ASSERT_EQ(VarArrayHighBound(in), VarArrayHighBound(out));
        for (int i = 0; i <= VarArrayHighBound(in); ++i)
            expectReadBack(VarArrayGet(in, i), VarArrayGet(out, i));
        return;
    }
    switch (in.VType()) {
    case varInt64:
    case varLongWord: {
        const int64_t v = in.AsInt64();
        const TVarType expected = v >= -128 && v <= 127       ? varShortInt
                                  : v >= -32768 && v <= 32767 ? varSmallint
                                  : v >= INT32_MIN && v <= INT32_MAX ? varInteger
                                                                     : varInt64;
        EXPECT_EQ(out.VType(), expected);
        EXPECT_EQ(out.AsInt64(), v);
        return;
    }
    case varUString:
        EXPECT_EQ(out.VType(), varOleStr);
        EXPECT_EQ(out.AsString(), in.AsString());
        return;
    case varDouble: {
        ASSERT_EQ(out.VType(), varDouble);
        const double a = in.AsDouble();
        const double b = out.AsDouble();
        if (std::isnan(a)) {
            EXPECT_TRUE(std::isnan(b));
        } else {
            EXPECT_EQ(std::signbit(a), std::signbit(b)) << a;
            EXPECT_EQ(a, b);
        }
        return;
    }
    default:
        EXPECT_EQ(out.VType(), in.VType());
        EXPECT_EQ(VarCompare(in, out), 0) << VarTypeAsText(in.VType()).toStdString();
    }
}

TEST(vlDataUtilsTaggedVariant, RandomTreesRoundTripToTheReadBackTypes)
{
    std::mt19937 rng(20261210);
    for (int i = 0; i < 2000; ++i) {
        const Variant v = randomVariant(rng, 0);
        int64_t left = -1;
        const Variant back = readBack(written(v), &left);
        EXPECT_EQ(left, 0);
        expectReadBack(v, back);
        if (HasFailure())
            FAIL() << "tree " << i;
    }
}

void expectReadError(const Bytes& bytes)
{
    TMemoryStream s;
    s.WriteBuffer(bytes.constData(), bytes.size());
    s.SetPosition(0);
    Variant target(42);
    EXPECT_THROW(StreamReadVariant(&s, target), EReadError) << bytes.toHex(' ').toStdString();
    EXPECT_EQ(target.VType(), varInteger);  // a refused read changes nothing
}

TEST(vlDataUtilsTaggedVariant, DamagedInputIsAReadErrorWithoutLargeAllocations)
{
    const char* goldens[] = {
        "02 64", "03 E8 03", "04 A0 86 01 00", "13 00 00 00 80 00 00 00 00", "05 00 00 00 00 00 00 00 80 FF 3F",
        "0F 00 00 00 3F", "10 98 3A 00 00 00 00 00 00", "11 00 00 00 00 00 00 04 40", "06 03 61 62 63",
        "0C 03 00 00 00 61 62 63", "12 01 00 00 00 61 00", "01 02 02 02 01 12 01 00 00 00 61 00",
    };
    for (const char* golden : goldens)
        vorlane::test::ForEachTruncation(hex(golden), [](const Bytes& cut) { expectReadError(cut); });

    const char* damaged[] = {
        "12 FF FF FF 7F 00 00 00 00 00",  // wide count 0x7FFFFFFF in 10 bytes
        "0C FF FF FF 7F 00 00 00 00 00",  // ANSI length the same
        "12 FF FF FF FF 61 00",           // negative lengths
        "0C FE FF FF FF 61",
        "01 04 FF FF FF 7F 0D",                   // an array count beyond the data
        "01 13 FF FF FF FF FF FF FF 7F 0D",       // and beyond any int
        "01 02 FF",                               // a negative count
        "01 05 00 00 00 00 00 00 00 80 FF 3F 0D",  // a count that is not an integer
        "01 12 01 00 00 00 61 00 0D",
    };
    for (const char* bytes : damaged)
        expectReadError(hex(bytes));

    // nesting: 256 levels read, one more is refused
    auto nested = [](int levels) {
        Bytes bytes;
        for (int i = 0; i < levels; ++i)
            bytes += hex("01 02 01");
        return bytes + hex("0D");
    };
    EXPECT_NO_THROW(readBack(nested(256)));
    expectReadError(nested(257));
    expectReadError(nested(100000));
}

TEST(vlDataUtilsTaggedVariant, FixedSeedMutationsNeverCrash)
{
    std::vector<Bytes> seeds = {hex("01 02 02 02 01 12 01 00 00 00 61 00"), written(VarArrayOf({Null(), 1.5, Variant("x"), VarArrayOf({true})})),
                                written(Variant(Bytes(300, 'q')))};
    int accepted = 0;
    vorlane::test::ForEachMutation(seeds, 29, 3000, [&](const Bytes& mutant) {
        try {
            readBack(mutant);
            ++accepted;
        } catch (const EReadError&) {
        }
    });
    EXPECT_GT(accepted, 0);
}

TEST(vlDataUtilsTypedStreams, FixedWidthsAndCountedStrings)
{
    TMemoryStream s;
    StreamWriteByte(&s, 0xAB);
    StreamWriteBoolean(&s, true);
    StreamWriteInt16(&s, -2);
    StreamWriteWord(&s, 0xBEEF);
    StreamWriteInt32(&s, -3);
    StreamWriteInt64(&s, -4);
    StreamWriteCurrency(&s, TCurrency{5});
    StreamWriteDateTime(&s, 1.5);
    StreamWriteFloat80(&s, -2.0);
    StreamWriteAnsi(&s, "ab");
    StreamWriteWide(&s, QStringLiteral("\u00E9"));
    const Bytes expected = hex("AB 01 FE FF EF BE FD FF FF FF FC FF FF FF FF FF FF FF 05 00 00 00 00 00 00 00"
                               "00 00 00 00 00 00 F8 3F 00 00 00 00 00 00 00 80 00 C0 02 00 00 00 61 62"
                               "01 00 00 00 E9 00");
    EXPECT_EQ(Bytes(static_cast<const char*>(s.Memory()), qsizetype(s.Size())), expected);

    s.SetPosition(0);
    EXPECT_EQ(StreamReadByte(&s), 0xAB);
    bool b = false;
    StreamReadBoolean(&s, b);
    EXPECT_TRUE(b);
    EXPECT_EQ(StreamReadInt16(&s), -2);
    EXPECT_EQ(StreamReadWord(&s), 0xBEEF);
    EXPECT_EQ(StreamReadInt32(&s), -3);
    EXPECT_EQ(StreamReadInt64(&s), -4);
    EXPECT_EQ(StreamReadCurrency(&s), TCurrency{5});
    EXPECT_EQ(StreamReadDateTime(&s), 1.5);
    EXPECT_EQ(StreamReadFloat80(&s), -2.0);
    EXPECT_EQ(StreamReadAnsi(&s), Bytes("ab"));
    EXPECT_EQ(StreamReadWide(&s), QStringLiteral("\u00E9"));
    EXPECT_THROW(StreamReadByte(&s), EReadError);

    // a Boolean byte other than 0 or 1 is True; 80-bit values beyond a double
    TMemoryStream t;
    t.WriteBuffer(hex("02 00 00 00 00 00 00 00 80 FF 7F 00 00 00 00 00 00 00 80 01 00").constData(), 21);
    t.SetPosition(0);
    EXPECT_TRUE(StreamReadBoolean(&t));
    EXPECT_EQ(StreamReadFloat80(&t), HUGE_VAL);  // 2^16384
    EXPECT_EQ(StreamReadFloat80(&t), 0.0);       // 2^-16382
}

TEST(vlDataUtilsArrays, BetweenAndListArrays)
{
    const Variant between = VarBetweenArrayCreate(1, Variant("z"));
    EXPECT_EQ(VarArrayHighBound(between), 1);
    EXPECT_EQ(VarArrayGet(between, 1).AsString(), QStringLiteral("z"));
    Variant list = VarListArrayFromValue(7);
    const Variant before = list;
    VarListArrayAppend(list, 8);
    VarListArrayAppend(list, Null());
    EXPECT_EQ(VarCompare(list, VarArrayOf({7, 8, Null()})), 0);
    EXPECT_EQ(VarArrayHighBound(before), 0);  // a new array, the old one untouched
}

class vlDataUtilsRoutines : public ::testing::Test {
protected:
    void SetUp() override { saved = FormatSettings; }
    void TearDown() override { FormatSettings = saved; }
    TFormatSettings saved;
};

TEST_F(vlDataUtilsRoutines, CurrencyDisplayFormat)
{
    const struct {
        const char* symbol;
        int format;
        int decimals;
        const char* expected;
    } rows[] = {
        {"$", 0, 2, "$,0.00"},          {"1.5", 3, 2, ",0.00 1'.'5"}, {"kr", 1, 2, ",0.00kr"},
        {"\xE2\x82\xAC", 2, 0, "\xE2\x82\xAC ,0."}, {"", 0, 3, ",0.000"},     {"a,b", 0, 1, "a','b,0.0"},
    };
    for (const auto& row : rows) {
        FormatSettings.CurrencyString = QString::fromUtf8(row.symbol);
        FormatSettings.CurrencyFormat = uint8_t(row.format);
        FormatSettings.CurrencyDecimals = uint8_t(row.decimals);
        EXPECT_EQ(BuildCurrencyDisplayFormat(), QString::fromUtf8(row.expected));
    }
}

TEST_F(vlDataUtilsRoutines, DateAndTimePartsAndTextPrefixes)
{
    EXPECT_EQ(DatePart(45356.75), 45356.0);
    EXPECT_EQ(TimePart(45356.75), 0.75);
    EXPECT_EQ(DatePart(-1.25), -1.0);  // towards zero
    EXPECT_EQ(TimePart(-1.25), -0.25);

    const struct {
        const char* text;
        const char* search;
        bool partial;
        bool expected;
    } rows[] = {
        {"Abcd", "ab", true, true},   {"Abcd", "ab", false, false}, {"", "", false, true},
        {"x", "", true, false},       {"ab", "abc", true, false},   {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", false, true},
        {"abc", "ABC", false, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SameTextOrPrefix(QString::fromUtf8(row.text), QString::fromUtf8(row.search), row.partial),
                  row.expected)
            << row.text << " / " << row.search;
}

TEST(vlDataUtilsProperties, BooleanTexts)
{
    EXPECT_TRUE(PropertyStringToBoolean(QStringLiteral("true")));
    EXPECT_FALSE(PropertyStringToBoolean(QStringLiteral("FaLsE")));
    for (const char* bad : {"", "1", "yes", " true"}) {
        try {
            PropertyStringToBoolean(QString::fromLatin1(bad));
            ADD_FAILURE() << bad;
        } catch (const EPropertyConvertError& e) {
            EXPECT_TRUE(e.Message().isEmpty());
        }
    }
}

struct TestItem : TCollectionItem {
    using TCollectionItem::TCollectionItem;
    int Value = 0;
    void Assign(const TPersistent* Source) override { Value = static_cast<const TestItem*>(Source)->Value; }
};

TEST(vlDataUtilsCollection, AssignKeepsItemsInPlace)
{
    TvlCollection target(ItemClassOf<TestItem>());
    TvlCollection source(ItemClassOf<TestItem>());
    for (int i = 0; i < 3; ++i)
        static_cast<TestItem*>(target.Add())->Value = i;
    TCollectionItem* first = target.Items(0);
    static_cast<TestItem*>(source.Add())->Value = 10;
    static_cast<TestItem*>(source.Add())->Value = 11;
    target.Assign(&source);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.Items(0), first);
    EXPECT_EQ(static_cast<TestItem*>(target.Items(1))->Value, 11);
    static_cast<TestItem*>(source.Add())->Value = 12;
    target.Assign(&source);
    ASSERT_EQ(target.Count(), 3);
    EXPECT_EQ(static_cast<TestItem*>(target.Items(2))->Value, 12);
}

TEST(vlDataUtilsBinding, SlotsAndHandlers)
{
    TvlCustomDataBinding binding(nullptr, nullptr);
    int sourceChanges = 0;
    binding.OnSourceChanged = TvlDataBindingEvent::FromFunction([&] { ++sourceChanges; });
    EXPECT_TRUE(binding.CanModify());
    EXPECT_TRUE(binding.CanModifyByKey());
    binding.ChangeReadOnly(true);
    binding.ChangeReadOnly(true);
    EXPECT_EQ(sourceChanges, 1);
    EXPECT_FALSE(binding.CanModify());
    EXPECT_TRUE(binding.IsControlReadOnly());
    EXPECT_TRUE(VarIsNull(binding.StoredValue(0, false)));
    EXPECT_TRUE(binding.HasDataValue());
    binding.NotifyValueChanged();  // no handler: nothing happens
}

TEST_F(vlDataUtilsRoutines, WeekStartFollowsTheLocale)
{
    const QLocale saved;
    const TDateTime wednesday = EncodeDate(2024, 3, 6) + 0.75;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // Monday
    EXPECT_EQ(GetStartDateOfWeek(wednesday), EncodeDate(2024, 3, 4));
    EXPECT_EQ(GetStartDateOfWeek(EncodeDate(2024, 3, 4)), EncodeDate(2024, 3, 4));
    EXPECT_EQ(GetStartDateOfWeek(EncodeDate(2024, 3, 10)), EncodeDate(2024, 3, 4));  // a Sunday
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // Sunday
    EXPECT_EQ(GetStartDateOfWeek(wednesday), EncodeDate(2024, 3, 3));
    QLocale::setDefault(saved);
}

TEST(vlDataUtilsProperties, HexTexts)
{
    TMemoryStream s;
    EXPECT_EQ(PropertyStreamToString(nullptr), QString());
    EXPECT_EQ(PropertyStreamToString(&s), QString());
    s.WriteBuffer("\x00\xAB\x41", 3);
    EXPECT_EQ(PropertyStreamToString(&s), QStringLiteral("Hex:00AB41"));

    const struct {
        const char* text;
        QByteArray bytes;
    } rows[] = {
        {"Hex:41", QByteArray("A")},           {"Hex:4", QByteArray()},
        {"XXXX00ab4", QByteArray("\x00\xAB", 2)}, {"Hex:41zz", QByteArray()},
        {"", QByteArray()},
    };
    for (const auto& row : rows) {
        TMemoryStream out;
        PropertyStringToStream(QString::fromLatin1(row.text), &out);
        EXPECT_EQ(QByteArray(static_cast<const char*>(out.Memory()), qsizetype(out.Size())), row.bytes) << row.text;
    }
    PropertyStringToStream(QStringLiteral("Hex:41"), nullptr);  // no stream: nothing
}

TEST(vlDataUtilsFiler, TheSignatureDecidesTheTextForm)
{
    const struct {
        QByteArray data;
        bool unicode;
        int64_t position;
    } rows[] = {
        {QByteArray("VXUFMT\x01\x00\x00\x00", 10), true, 6},
        {QByteArray("VXAFMT\x01\x00\x00\x00", 10), false, 6},
        {QByteArray("\x01\x00\x00\x00", 4), false, 0},
    };
    for (const auto& row : rows) {
        TMemoryStream s;
        s.WriteBuffer(row.data.constData(), row.data.size());
        s.SetPosition(0);
        TvlReader reader(&s);
        EXPECT_EQ(reader.IsUnicode(), row.unicode);
        EXPECT_EQ(s.Position(), row.position);
        EXPECT_EQ(reader.ReadInt32(), 1);
    }
    TMemoryStream out;
    TvlWriter writer(&out);
    writer.WriteInt32(15);
    writer.WriteAnsiText("DataController1");
    EXPECT_EQ(out.Size(), 23);
    out.SetPosition(4);
    EXPECT_EQ(TvlReader(&out).ReadAnsiText(), QByteArray("DataController1"));
}

}  // namespace
