#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Fixed settings, so that texts do not depend on the machine; restored after
// each test because FormatSettings is process state.
class VariantTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = FormatSettings;
        FormatSettings = DefaultFormatSettings();
        FormatSettings.DateSeparator = QLatin1Char('-');
        FormatSettings.ShortDateFormat = QStringLiteral("yyyy/mm/dd");
        FormatSettings.LongTimeFormat = QStringLiteral("hh:nn:ss");
    }
    void TearDown() override { FormatSettings = saved; }

private:
    TFormatSettings saved;
};

std::string describe(const Variant& v)
{
    String text;
    try {
        text = VarIsArray(v) ? QStringLiteral("[%1 elements]").arg(VarArrayHighBound(v) + 1) : VarToStr(v);
    } catch (const Exception&) {
        text = QStringLiteral("?");
    }
    return (VarTypeAsText(v.VType()) + QStringLiteral(" ") + text).toStdString();
}

Variant typed(const Variant& v, TVarType vt)
{
    return VarAsType(v, vt);
}

Variant date(double days)
{
    return VarFromDateTime(days);
}

Variant ansi(const char* text)
{
    return Variant(AnsiString(text));
}

Variant wide(const char16_t* text)
{
    return Variant(QString::fromUtf16(text));
}

Variant curr(int64_t ticks)
{
    return Variant(TCurrency{ticks});
}

constexpr int64_t two53 = int64_t{1} << 53;

}  // namespace

TEST_F(VariantTest, FactoriesAndVarAsTypeKeepTheExactTypeCode)
{
    const struct {
        Variant v;
        TVarType vt;
    } rows[] = {
        {Variant(), varEmpty},
        {Null(), varNull},
        {Variant(short(1)), varSmallint},
        {Variant(1), varInteger},
        {Variant(static_cast<signed char>(1)), varShortInt},
        {Variant(static_cast<unsigned char>(1)), varByte},
        {Variant(static_cast<unsigned short>(1)), varWord},
        {Variant(1u), varLongWord},
        {Variant(int64_t{1}), varInt64},
        {Variant(1.0f), varSingle},
        {Variant(1.0), varDouble},
        {curr(10000), varCurrency},
        {date(1), varDate},
        {Variant("a"), varUString},
        {typed("a", varOleStr), varOleStr},
        {ansi("a"), varString},
        {Variant(true), varBoolean},
        {VarAsError(5), varError},
        {typed(5, varWord), varWord},
        {typed(5, varShortInt), varShortInt},
        {typed("7", varLongWord), varLongWord},
        {VarArrayOf({1}), varArray | varVariant},
        {VarArrayFromBytes("x"), varArray | varByte},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(describe(row.v));
        EXPECT_EQ(VarType(row.v), row.vt);
    }
    // OleStr and UString hold the same text but stay distinct.
    EXPECT_FALSE(InternalVarEqualsExact(typed("a", varOleStr), Variant("a")));
    EXPECT_TRUE(VarCompareEqual(typed("a", varOleStr), Variant("a")));
}

TEST_F(VariantTest, VarTypeAsTextNamesCodesAsTheRuntimeDoes)
{
    EXPECT_EQ(VarTypeAsText(varInteger), QStringLiteral("Integer"));
    EXPECT_EQ(VarTypeAsText(varUString), QStringLiteral("UnicodeString"));
    EXPECT_EQ(VarTypeAsText(varString), QStringLiteral("String"));
    EXPECT_EQ(VarTypeAsText(varLongWord), QStringLiteral("LongWord"));
    EXPECT_EQ(VarTypeAsText(varArray | varByte), QStringLiteral("Array Byte"));
    EXPECT_EQ(VarTypeAsText(0x0F42), QStringLiteral("$0F42"));
}

TEST_F(VariantTest, Predicates)
{
    // null, empty, str, ordinal, float, numeric, array, softNull
    const struct {
        Variant v;
        const char* flags;
    } rows[] = {
        {Variant(), "01000000"},
        {Null(), "10000001"},
        {Variant(""), "00100001"},
        {ansi(""), "00100001"},
        {Variant(" "), "00100000"},
        {Variant(true), "00010100"},
        {Variant(static_cast<unsigned char>(3)), "00010100"},
        {Variant(int64_t{3}), "00010100"},
        {Variant(1.5), "00001100"},
        {curr(1), "00001100"},
        {date(1), "00000000"},
        {VarArrayOf({}), "00000010"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(describe(row.v));
        const std::string got = {VarIsNull(row.v) ? '1' : '0',    VarIsEmpty(row.v) ? '1' : '0',
                                 VarIsStr(row.v) ? '1' : '0',     VarIsOrdinal(row.v) ? '1' : '0',
                                 VarIsFloat(row.v) ? '1' : '0',   VarIsNumeric(row.v) ? '1' : '0',
                                 VarIsArray(row.v) ? '1' : '0',   VarIsSoftNull(row.v) ? '1' : '0'};
        EXPECT_EQ(got, row.flags);
        EXPECT_EQ(VarIsClear(row.v), VarIsEmpty(row.v));
    }
}

TEST_F(VariantTest, VarCompareAndVarEqualsExactTable)
{
    const struct {
        Variant a;
        Variant b;
        int compare;  // VarCompare(a, b)
        int reverse;  // VarCompare(b, a)
        bool exact;   // VarEqualsExact(a, b)
    } rows[] = {
        // Empty first, then Null
        {Variant(), Variant(), 0, 0, true},
        {Null(), Null(), 0, 0, true},
        {Variant(), Null(), -1, 1, false},
        {Null(), Variant(0), -1, 1, false},
        {Null(), Variant(""), -1, 1, false},
        {Variant(), Variant(0), -1, 1, false},
        {Variant(), Variant(""), -1, 1, false},
        // arrays: after scalars, then by upper bound, then by elements
        {VarArrayOf({1, 2}), VarArrayOf({1, 2, 3}), -1, 1, false},
        {VarArrayOf({1, 3}), VarArrayOf({1, 2}), 1, -1, false},
        {VarArrayOf({1}), VarArrayOf({1, 2, 3, 4}), -3, 3, false},
        {VarArrayOf({}), VarArrayOf({}), 0, 0, true},
        {Variant(5), VarArrayOf({1}), -1, 1, false},
        {Null(), VarArrayOf({}), -1, 1, false},
        {VarArrayOf({1, "a"}), VarArrayOf({1.0, typed("a", varOleStr)}), 0, 0, true},
        {VarArrayOf({1, VarArrayOf({2})}), VarArrayOf({1, VarArrayOf({3})}), -1, 1, false},
        {VarArrayOf({Null()}), VarArrayOf({Variant()}), 1, -1, false},
        // mixed numbers compare exactly
        {Variant(1), Variant(1.0), 0, 0, true},
        {Variant(int64_t{two53 + 1}), Variant(double(two53)), 1, -1, false},
        {Variant(std::numeric_limits<int64_t>::max()), Variant(0x1p63), -1, 1, false},
        {Variant(4294967295u), Variant(-1), 1, -1, false},
        {Variant(0.5f), Variant(0.5), 0, 0, true},
        {Variant(0.1f), Variant(0.1), 1, -1, false},
        {curr(1000), Variant(0.1), 0, 0, true},
        {curr(10001), curr(10002), -1, 1, false},
        {curr(30000), Variant(3), 0, 0, true},
        {curr(30001), Variant(3), 1, -1, false},
        {Variant(std::nan("")), Variant(1.0), 1, 1, false},
        // numbers against texts: the text is read as a number
        {Variant(2), Variant("2"), 0, 0, true},
        {Variant(2), Variant(" 2 "), 0, 0, true},
        {Variant("2"), Variant(10), -1, 1, false},
        {Variant("2.5"), Variant(2), 1, -1, false},
        {ansi("7"), Variant(7.0), 0, 0, true},
        {Variant("abc"), Variant(5), -1, -1, false},
        {curr(15000), Variant("1.5"), 0, 0, true},
        // texts: ordinal by UTF-16 code unit
        {Variant("abc"), Variant("abd"), -1, 1, false},
        {Variant("B"), Variant("a"), -1, 1, false},
        {Variant("a"), Variant("a "), -1, 1, false},
        {ansi("b"), Variant("a"), 1, -1, false},
        {ansi("\xC3\xA9"), wide(u"\u00E9"), 0, 0, true},
        // Booleans: -1 against numbers, False < True, texts as Booleans
        {Variant(true), Variant(-1), 0, 0, false},
        {Variant(true), Variant(1), -1, 1, false},
        {Variant(false), Variant(0), 0, 0, false},
        {Variant(false), Variant(true), -1, 1, false},
        {Variant(true), Variant("True"), 0, 0, true},
        {Variant(true), Variant("true"), 0, 0, false},
        {Variant(true), ansi("True"), 0, 0, true},
        {Variant(false), Variant("0"), 0, 0, false},
        {Variant(true), Variant("yes"), -1, -1, false},
        {Variant(true), Null(), 1, -1, false},
        // dates order as numbers, also before 1900
        {date(-1.25), date(-1.0), -1, 1, false},
        {date(2.5), Variant(2.5), 0, 0, true},
        {date(45356), Variant("2024-03-05"), 0, 0, true},
        // errors compare only with errors
        {VarAsError(1), Variant(1), -1, -1, false},
        {VarAsError(1), VarAsError(2), -1, 1, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << describe(row.a) << " / " << describe(row.b));
        EXPECT_EQ(VarCompare(row.a, row.b), row.compare);
        EXPECT_EQ(VarCompare(row.b, row.a), row.reverse);
        EXPECT_EQ(VarCompareEqual(row.a, row.b), row.compare == 0);
        EXPECT_EQ(VarEqualsExact(row.a, row.b), row.exact);
    }
}

TEST_F(VariantTest, OperatorsFollowTheRelationOfTheRuntime)
{
    EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
    EXPECT_EQ(VarCompareValue(Null(), 1), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Variant(), Null()), vrNotEqual);
    EXPECT_EQ(VarCompareValue(1, 2), vrLessThan);
    EXPECT_EQ(VarCompareValue("b", "a"), vrGreaterThan);

    // Empty is the other side's zero.
    EXPECT_TRUE(Variant() == 0);
    EXPECT_TRUE(Variant() == "");
    EXPECT_TRUE(Variant() == false);
    EXPECT_TRUE(Variant() < 1);

    // Null is neither less nor greater.
    EXPECT_FALSE(Null() < 1);
    EXPECT_FALSE(Null() > 1);
    EXPECT_FALSE(Null() == 1);
    EXPECT_TRUE(Null() != 1);

    EXPECT_TRUE(Variant(3) > 2.5);
    EXPECT_TRUE(2 == Variant("2"));

    // The operators raise what VarCompare swallows.
    EXPECT_THROW((void)(Variant("abc") == 5), EVariantTypeCastError);
    EXPECT_THROW((void)(VarArrayOf({1}) == VarArrayOf({1})), EVariantError);
}

TEST_F(VariantTest, EditValueAndInternalEquality)
{
    const struct {
        Variant a;
        Variant b;
        bool edit;
        bool internal;
    } rows[] = {
        {Variant(1), Variant(1.0), true, false},
        {Variant(1), Variant(1), true, true},
        {Variant("1"), Variant(1), false, false},
        {Variant("a"), ansi("a"), true, false},
        {Variant("a"), Variant("A"), false, false},
        {Variant(true), Variant(-1), false, false},
        {Variant(true), Variant(true), true, true},
        {curr(10000), Variant(1), true, false},
        {date(1), Variant(1.0), false, false},
        {Null(), Null(), true, true},
        {Null(), Variant(), false, false},
        {VarArrayOf({1, 2}), VarArrayOf({1, 2}), true, true},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << describe(row.a) << " / " << describe(row.b));
        EXPECT_EQ(EditValueVarEquals(row.a, row.b), row.edit);
        EXPECT_EQ(InternalVarEqualsExact(row.a, row.b), row.internal);
    }
}

namespace {

enum TExpectedError { eeNone, eeCast, eeOverflow };

struct TConversionRow {
    Variant from;
    TVarType to;
    Variant expected;  // exact type and value when there is no error
    TExpectedError error = eeNone;
};

void checkConversions(std::initializer_list<TConversionRow> rows)
{
    int i = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << i++ << ": " << describe(row.from) << " to "
                                        << VarTypeAsText(row.to).toStdString());
        switch (row.error) {
        case eeNone: {
            Variant result;
            ASSERT_NO_THROW(result = VarAsType(row.from, row.to));
            EXPECT_EQ(result.VType(), row.to);
            EXPECT_TRUE(InternalVarEqualsExact(result, row.expected)) << describe(result);
            break;
        }
        case eeCast:
            EXPECT_THROW(VarAsType(row.from, row.to), EVariantTypeCastError);
            break;
        case eeOverflow:
            EXPECT_THROW(VarAsType(row.from, row.to), EVariantOverflowError);
            break;
        }
    }
}

}  // namespace

TEST_F(VariantTest, ConversionsToIntegerKinds)
{
    checkConversions({
        // floats round half to even
        {Variant(2.5), varInteger, Variant(2)},
        {Variant(3.5), varInteger, Variant(4)},
        {Variant(-2.5), varInteger, Variant(-2)},
        {Variant(2.4999), varInteger, Variant(2)},
        {Variant(2.5f), varInt64, Variant(int64_t{2})},
        {curr(25000), varInteger, Variant(2)},
        {curr(35000), varInteger, Variant(4)},
        {curr(-25001), varInteger, Variant(-3)},
        // texts: an integer, or a float text rounded the same way
        {Variant(" 42 "), varInteger, Variant(42)},
        {Variant("2.5"), varInteger, Variant(2)},
        {Variant("-7"), varSmallint, Variant(short(-7))},
        {Variant("9223372036854775807"), varInt64, Variant(std::numeric_limits<int64_t>::max())},
        {ansi("12"), varByte, Variant(static_cast<unsigned char>(12))},
        {Variant("abc"), varInteger, {}, eeCast},
        {Variant(""), varInteger, {}, eeCast},
        {Variant("99999999999"), varInteger, {}, eeOverflow},
        // Booleans are -1 and 0
        {Variant(true), varInteger, Variant(-1)},
        {Variant(false), varInt64, Variant(int64_t{0})},
        {Variant(true), varByte, {}, eeOverflow},
        // ranges
        {Variant(int64_t{2147483648}), varInteger, {}, eeOverflow},
        {Variant(4294967295u), varInteger, {}, eeOverflow},
        {Variant(int64_t{4294967295}), varLongWord, Variant(4294967295u)},
        {Variant(-1), varLongWord, {}, eeOverflow},
        {Variant(-1), varWord, {}, eeOverflow},
        {Variant(70000), varSmallint, {}, eeOverflow},
        {Variant(-129), varShortInt, {}, eeOverflow},
        {Variant(255), varByte, Variant(static_cast<unsigned char>(255))},
        {Variant(256), varByte, {}, eeOverflow},
        {Variant(1e20), varInt64, {}, eeOverflow},
        {Variant(0x1p63), varInt64, {}, eeOverflow},
        {Variant(-0x1p63), varInt64, Variant(std::numeric_limits<int64_t>::min())},
        {Variant(std::nan("")), varInteger, {}, eeOverflow},
        {curr(std::numeric_limits<int64_t>::max()), varInteger, {}, eeOverflow},
        // Empty is zero, Null and the kinds without a number do not convert
        {Variant(), varInteger, Variant(0)},
        {Null(), varInteger, {}, eeCast},
        {VarAsError(1), varInteger, {}, eeCast},
        {VarArrayOf({1}), varInteger, {}, eeCast},
    });
}

TEST_F(VariantTest, ConversionsToFloatsCurrencyAndBoolean)
{
    checkConversions({
        {Variant("1.5"), varDouble, Variant(1.5)},
        {Variant(" 1e3 "), varDouble, Variant(1000.0)},
        {Variant("1e400"), varDouble, {}, eeOverflow},
        {Variant("1,5"), varDouble, {}, eeCast},
        {Variant(int64_t{two53 + 1}), varDouble, Variant(double(two53))},
        {curr(12345), varDouble, Variant(1.2345)},
        {Variant(true), varDouble, Variant(-1.0)},
        {Variant(1e300), varSingle, {}, eeOverflow},
        {Variant(0.5), varSingle, Variant(0.5f)},
        {Variant(3), varDate, date(3)},
        {Variant(), varDouble, Variant(0.0)},
        {Null(), varDouble, {}, eeCast},
        // currency: half to even on the decimal digits, exact from texts
        {Variant(0.00025), varCurrency, curr(2)},
        {Variant(0.00035), varCurrency, curr(4)},
        {Variant(1.23456), varCurrency, curr(12346)},
        {Variant(-0.00015), varCurrency, curr(-2)},
        {Variant(0.1f), varCurrency, curr(1000)},
        {Variant("0.00005"), varCurrency, curr(0)},
        {Variant("0.000050001"), varCurrency, curr(1)},
        {Variant(" -12.5 "), varCurrency, curr(-125000)},
        {Variant("922337203685477.5807"), varCurrency, curr(std::numeric_limits<int64_t>::max())},
        {Variant("-922337203685477.5808"), varCurrency, curr(std::numeric_limits<int64_t>::min())},
        {Variant("922337203685477.5808"), varCurrency, {}, eeOverflow},
        {Variant("1.5e2"), varCurrency, curr(1500000)},
        {Variant("abc"), varCurrency, {}, eeCast},
        {Variant(1e300), varCurrency, {}, eeOverflow},
        {Variant(int64_t{922337203685478}), varCurrency, {}, eeOverflow},
        {Variant(7), varCurrency, curr(70000)},
        {Variant(), varCurrency, curr(0)},
        {Null(), varCurrency, {}, eeCast},
        // Boolean: "True"/"False" in any case, or a number
        {Variant("true"), varBoolean, Variant(true)},
        {Variant(" FALSE "), varBoolean, Variant(false)},
        {Variant("0"), varBoolean, Variant(false)},
        {Variant("-5"), varBoolean, Variant(true)},
        {Variant("0.0"), varBoolean, Variant(false)},
        {Variant("yes"), varBoolean, {}, eeCast},
        {Variant(0.25), varBoolean, Variant(true)},
        {curr(0), varBoolean, Variant(false)},
        {Variant(), varBoolean, Variant(false)},
        {Null(), varBoolean, {}, eeCast},
    });
}

TEST_F(VariantTest, ConversionsToText)
{
    checkConversions({
        {Variant(-42), varUString, Variant("-42")},
        {Variant(int64_t{two53 + 1}), varUString, Variant("9007199254740993")},
        {Variant(4294967295u), varOleStr, typed("4294967295", varOleStr)},
        {Variant(0.1), varUString, Variant("0.1")},
        {Variant(1.0 / 3), varUString, Variant("0.333333333333333")},
        {Variant(0.1f), varUString, Variant("0.1")},
        {Variant(1.2345678f), varUString, Variant("1.2345678")},
        {curr(15000), varUString, Variant("1.5")},
        {curr(10000), varUString, Variant("1")},
        {curr(-1), varUString, Variant("-0.0001")},
        {curr(std::numeric_limits<int64_t>::min()), varUString, Variant("-922337203685477.5808")},
        {Variant(true), varUString, Variant("True")},
        {Variant(false), varString, ansi("False")},
        {date(1), varUString, Variant("1899-12-31")},
        {date(-1.25), varUString, Variant("1899-12-29 06:00:00")},
        {wide(u"\u00E9"), varString, ansi("\xC3\xA9")},
        {ansi("\xC3\xA9"), varUString, wide(u"\u00E9")},
        {Variant(), varUString, Variant("")},
        {Null(), varUString, {}, eeCast},
        {VarAsError(1), varUString, {}, eeCast},
        {VarArrayOf({}), varString, {}, eeCast},
    });
    EXPECT_EQ(VarToStr(Null()), QString());
    EXPECT_EQ(VarToStrDef(Null(), QStringLiteral("n/a")), QStringLiteral("n/a"));
    EXPECT_EQ(VarToStrDef(Variant(), QStringLiteral("n/a")), QString());
    EXPECT_EQ(VarToStr(Variant(2.5)), QStringLiteral("2.5"));
    EXPECT_THROW(VarToStr(VarArrayOf({})), EVariantTypeCastError);
}

TEST_F(VariantTest, TextsReadDatesAndTheLocaleDecimalSeparator)
{
    EXPECT_EQ(Variant("2024-03-05").AsDateTime(), EncodeDate(2024, 3, 5));
    EXPECT_EQ(Variant("2.5").AsDateTime(), 2.5);
    EXPECT_THROW(Variant("soon").AsDateTime(), EVariantTypeCastError);

    FormatSettings.DecimalSeparator = QLatin1Char(',');
    EXPECT_EQ(Variant("2,5").AsDouble(), 2.5);
    EXPECT_EQ(Variant(" 1,25 ").AsCurrency(), TCurrency{12500});
    EXPECT_EQ(Variant(2.5).AsString(), QStringLiteral("2,5"));
    EXPECT_EQ(curr(15000).AsString(), QStringLiteral("1,5"));
    EXPECT_EQ(VarCompare(Variant(2), Variant("2,5")), -1);
    EXPECT_THROW(Variant("2.5").AsDouble(), EVariantTypeCastError);
}

TEST_F(VariantTest, ConversionErrorsCarryTheRuntimeTexts)
{
    try {
        Variant("abc").AsInteger();
        FAIL() << "no exception";
    } catch (const EVariantError& e) {
        EXPECT_STREQ(e.ClassName(), "EVariantTypeCastError");
        EXPECT_EQ(e.Message(), QStringLiteral("Could not convert variant of type (UnicodeString) into type (Integer)"));
    }
    try {
        Null().AsString();
        FAIL() << "no exception";
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Could not convert variant of type (Null) into type (UnicodeString)"));
    }
    try {
        Variant(int64_t{1} << 40).AsInteger();
        FAIL() << "no exception";
    } catch (const EVariantError& e) {
        EXPECT_STREQ(e.ClassName(), "EVariantOverflowError");
        EXPECT_EQ(e.Message(), QStringLiteral("Overflow while converting variant of type (Int64) into type (Integer)"));
    }
}

TEST_F(VariantTest, ArraysAreSharedUntilChanged)
{
    Variant a = VarArrayOf({1, "x"});
    Variant b = a;
    VarArrayPut(b, 9, 0);
    EXPECT_TRUE(InternalVarEqualsExact(VarArrayGet(a, 0), 1));
    EXPECT_TRUE(InternalVarEqualsExact(VarArrayGet(b, 0), 9));
    EXPECT_TRUE(InternalVarEqualsExact(VarArrayGet(b, 1), "x"));

    // An array put into itself holds its old elements and no cycle.
    VarArrayPut(a, a, 1);
    const Variant inner = VarArrayGet(a, 1);
    ASSERT_TRUE(VarIsArray(inner));
    EXPECT_TRUE(InternalVarEqualsExact(VarArrayGet(inner, 1), "x"));

    const Variant created = VarArrayCreate(0, 2, varVariant);
    EXPECT_EQ(VarArrayLowBound(created), 0);
    EXPECT_EQ(VarArrayHighBound(created), 2);
    EXPECT_TRUE(VarIsEmpty(VarArrayGet(created, 2)));
    EXPECT_EQ(VarArrayHighBound(VarArrayCreate(0, -1, varVariant)), -1);
}

TEST_F(VariantTest, ArrayErrors)
{
    Variant a = VarArrayOf({1, 2});
    EXPECT_THROW(VarArrayGet(a, 2), EVariantBadIndexError);
    EXPECT_THROW(VarArrayGet(a, -1), EVariantBadIndexError);
    EXPECT_THROW(VarArrayPut(a, 0, 2), EVariantBadIndexError);
    EXPECT_THROW(VarArrayHighBound(a, 2), EVariantBadIndexError);
    Variant scalar = 5;
    EXPECT_THROW(VarArrayGet(scalar, 0), EVariantError);
    EXPECT_THROW(VarArrayPut(scalar, 1, 0), EVariantError);
    EXPECT_THROW(VarArrayHighBound(scalar), EVariantError);
    EXPECT_THROW(VarArrayCreate(1, 2, varVariant), EVariantError);
    EXPECT_THROW(VarArrayCreate(0, -2, varVariant), EVariantError);
    EXPECT_THROW(VarArrayCreate(0, 2, varInteger), EVariantError);
}

TEST_F(VariantTest, ByteArraysRoundTrip)
{
    const QByteArray bytes("\x00\x7f\x80\xff", 4);
    Variant a = VarArrayFromBytes(bytes);
    EXPECT_EQ(VarArrayHighBound(a), 3);
    const Variant element = VarArrayGet(a, 3);
    EXPECT_EQ(element.VType(), varByte);
    EXPECT_EQ(element.AsInteger(), 255);
    EXPECT_EQ(VarArrayToBytes(a), bytes);

    Variant copy = a;
    VarArrayPut(copy, "7", 0);
    EXPECT_EQ(VarArrayToBytes(copy), QByteArray("\x07\x7f\x80\xff", 4));
    EXPECT_EQ(VarArrayToBytes(a), bytes);
    EXPECT_THROW(VarArrayPut(copy, 300, 0), EVariantOverflowError);

    // As a variant array (what a trip through the tagged stream gives), with
    // elements of mixed integer kinds.
    const Variant asVariants = VarAsType(a, varArray | varVariant);
    EXPECT_EQ(asVariants.VType(), varArray | varVariant);
    EXPECT_EQ(VarArrayToBytes(asVariants), bytes);
    EXPECT_EQ(VarArrayToBytes(VarArrayOf({static_cast<signed char>(1), short(200)})), QByteArray("\x01\xc8", 2));
    EXPECT_TRUE(InternalVarEqualsExact(VarAsType(VarArrayOf({1, 2}), varArray | varByte), VarArrayFromBytes("\x01\x02")));
    EXPECT_THROW(VarArrayToBytes(VarArrayOf({1, 256})), EVariantOverflowError);
    EXPECT_THROW(VarArrayToBytes(VarArrayOf({"z"})), EVariantTypeCastError);
    EXPECT_THROW(VarArrayToBytes(ansi("ab")), EVariantTypeCastError);

    EXPECT_EQ(VarCompare(VarArrayFromBytes("\x01\x02"), VarArrayFromBytes("\x01\x03")), -1);
    EXPECT_EQ(VarCompare(VarArrayFromBytes("\x01\x02"), VarArrayOf({1, 2})), 0);
    EXPECT_TRUE(VarArrayToBytes(VarArrayCreate(0, 1, varByte)) == QByteArray(2, '\0'));
}
