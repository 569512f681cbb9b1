#include "platform/rtl/FMTBcd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/SysUtils.h"

namespace {

TBcd bcd(const char* text)
{
    return StrToBcd(QString::fromLatin1(text));
}

TEST(FMTBcd, TextRoundTripsAndTheLayoutIsPackedDigits)
{
    const TBcd b = bcd("-12.50");
    EXPECT_EQ(b.Precision, 4);
    EXPECT_EQ(b.SignSpecialPlaces, 0x80 | 2);
    EXPECT_EQ(b.Fraction[0], 0x12);
    EXPECT_EQ(b.Fraction[1], 0x50);
    EXPECT_EQ(BcdToStr(b), QStringLiteral("-12.5"));

    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"0", "0"},         {"-0", "0"},       {"0.05", "0.05"},     {"007", "7"},
        {" 3.25 ", "3.25"}, {"1e3", "1000"},   {"1.5e-3", "0.0015"}, {".5", "0.5"},
        {"12345678901234567890123456789012345678901234567890.123", "12345678901234567890123456789012345678901234567890.123"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(BcdToStr(bcd(row.in)), QString::fromLatin1(row.out)) << row.in;

    TBcd unused;
    for (const char* bad : {"", "-", "1.2.3", "abc", "1e", "0x10"})
        EXPECT_FALSE(TryStrToBcd(QString::fromLatin1(bad), unused)) << bad;
    EXPECT_THROW(StrToBcd(QStringLiteral("x")), EBcdException);
    // 65 integer digits do not fit; 70 digits after the point are rounded
    EXPECT_THROW(bcd("1e64"), EBcdOverflowException);
    EXPECT_EQ(BcdToStr(bcd("0.1234567890123456789012345678901234567890123456789012345678901235")),
              QStringLiteral("0.123456789012345678901234567890123456789012345678901234567890124"));
}

TEST(FMTBcd, CompareIsNumeric)
{
    const struct {
        const char* a;
        const char* b;
        int expected;
    } rows[] = {
        {"1", "1.000", 0}, {"-0", "0", 0},     {"2", "10", -1},     {"-2", "-10", 1},
        {"0.5", "0.51", -1}, {"-1", "0.001", -1}, {"100", "99.99", 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BcdCompare(bcd(row.a), bcd(row.b)), row.expected) << row.a << " " << row.b;
        EXPECT_EQ(BcdCompare(bcd(row.b), bcd(row.a)), -row.expected) << row.b << " " << row.a;
    }
    EXPECT_EQ(BcdCompare(TBcd{}, bcd("0")), 0);  // a zero-filled record is zero
}

TEST(FMTBcd, DoublesAndIntegers)
{
    EXPECT_EQ(BcdToStr(DoubleToBcd(0.1)), QStringLiteral("0.1"));
    EXPECT_EQ(BcdToDouble(bcd("0.1")), 0.1);
    for (double d : {0.0, -2.5, 1e63, 1.25e-50, 123456.789, 9007199254740993.0})
        EXPECT_EQ(BcdToDouble(DoubleToBcd(d)), d) << d;
    // 64 digits with at most 63 after the point
    EXPECT_THROW(DoubleToBcd(1e64), EBcdOverflowException);
    EXPECT_EQ(BcdToStr(DoubleToBcd(5e-324)), QStringLiteral("0"));
    EXPECT_THROW(DoubleToBcd(std::nan("")), EBcdOverflowException);
    EXPECT_THROW(DoubleToBcd(HUGE_VAL), EBcdOverflowException);

    EXPECT_EQ(BcdToStr(IntegerToBcd(std::numeric_limits<int64_t>::min())), QStringLiteral("-9223372036854775808"));
    int64_t i = 0;
    EXPECT_TRUE(TryBcdToInt64(bcd("-9223372036854775808"), i));
    EXPECT_EQ(i, std::numeric_limits<int64_t>::min());
    EXPECT_FALSE(TryBcdToInt64(bcd("9223372036854775808"), i));
    EXPECT_FALSE(TryBcdToInt64(bcd("1.5"), i));
    EXPECT_TRUE(TryBcdToInt64(bcd("2.000"), i));
    EXPECT_EQ(i, 2);
}

TEST(FMTBcd, TheLocaleSeparatorReadsAndWrites)
{
    const TFormatSettings saved = FormatSettings;
    FormatSettings.DecimalSeparator = u',';
    EXPECT_EQ(BcdToStr(bcd("1,25")), QStringLiteral("1,25"));
    EXPECT_EQ(BcdToStr(bcd("1.25")), QStringLiteral("1,25"));
    FormatSettings = saved;
}

}  // namespace
