#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/Format.h"
#include "platform/rtl/SysUtils.h"
#include "tests/harness/Mutation.h"
#include "tests/harness/DefaultFormats.h"

namespace {

struct FormatCase {
    const char* format;
    std::function<String()> run;  // keeps each row's argument list intact
    const char* expected;
};

#define ROW(fmt, expected, ...) FormatCase{fmt, [] { return Format(QString::fromUtf8(fmt), {__VA_ARGS__}); }, expected}

const void* const somePointer = reinterpret_cast<const void*>(uintptr_t{0xDEADBEEF});

const std::vector<FormatCase>& formatCases()
{
    static const std::vector<FormatCase> cases = {
        // integers
        ROW("%d", "42", 42),
        ROW("%D", "-7", -7),
        ROW("[%5d]", "[   42]", 42),
        ROW("[%-5d]", "[42   ]", 42),
        ROW("[%2d]", "[12345]", 12345),
        ROW("%.5d", "-00042", -42),
        ROW("[%7.4d]", "[   0042]", 42),
        ROW("%.1d", "123", 123),
        ROW("%d", "-2147483648", INT32_MIN),
        ROW("%d", "1099511627776", int64_t{1} << 40),
        ROW("%d", "-9223372036854775808", INT64_MIN),
        ROW("%u", "4294967295", -1),
        ROW("%u", "18446744073709551615", int64_t{-1}),
        ROW("%u", "3000000000", 3000000000u),
        ROW("%x", "FF", 255),
        ROW("%X", "1A2B", 0x1a2b),
        ROW("%.4x", "00FF", 255),
        ROW("%x", "FFFFFFFF", -1),
        ROW("%x", "FFFFFFFFFFFFFFFE", int64_t{-2}),
        ROW("[%-6x]", "[FF    ]", 255),
        // floating point
        ROW("%f", "1234.50", 1234.5),
        ROW("%.3f", "-0.500", -0.5),
        ROW("%.0f", "3", 2.5),
        ROW("%.0f", "-3", -2.5),
        ROW("%.2f", "0.13", 0.125),
        ROW("%.2f", "2.67", 2.675),
        ROW("%.2f", "0.00", -0.001),
        ROW("[%8.3f]", "[   3.142]", 3.14159),
        ROW("%.10f", "0.1000000000", 0.1),
        ROW("%f", "100000000000000000.00", 1e17),
        ROW("%e", "1.23456789000000E+003", 1234.56789),
        ROW("%.3e", "-1.23E-004", -0.000123),
        ROW("%E", "0.00000000000000E+000", 0.0),
        ROW("%.1e", "1E+010", 1e10),
        ROW("%g", "1234.5", 1234.5),
        ROW("%g", "0.3", 0.1 + 0.2),
        ROW("%g", "0", 0.0),
        ROW("%g", "0.0001", 0.0001),
        ROW("%g", "1E-005", 0.00001),
        ROW("%g", "1E015", 1e15),
        ROW("%g", "123456789012345", 123456789012345.0),
        ROW("%.3g", "1.23E003", 1234.5),
        ROW("%.17g", "0.10000000000000001", 0.1),
        ROW("%n", "1,234,567.89", 1234567.891),
        ROW("%.0n", "-1,235", -1234.5),
        ROW("%n", "999.00", 999.0),
        ROW("%m", "$1,234.50", 1234.5),
        ROW("%m", "($1.00)", -1.0),
        ROW("%.0m", "$3", 2.5),
        ROW("%g", "INF", 1.0 / 0.0),
        // pointers, strings, characters
        ROW("%p", "00000000DEADBEEF", somePointer),
        ROW("[%20p]", "[    00000000DEADBEEF]", somePointer),
        ROW("%s", "abc", "abc"),
        ROW("%.2s", "ab", "abc"),
        ROW("%.9s", "abc", "abc"),
        ROW("[%5s|%-5s]", "[   ab|cd   ]", "ab", "cd"),
        ROW("[%-2s]", "[abc]", "abc"),
        ROW("%s%s", "xy", u'x', String(QStringLiteral("y"))),
        ROW("%s", "\xc3\xa9t\xc3\xa9", String::fromUtf8("\xc3\xa9t\xc3\xa9")),
        // "*", index and literals
        ROW("[%*d]", "[   42]", 5, 42),
        ROW("[%-*.*d]", "[007   ]", 6, 3, 7),
        ROW("%.*f", "2.3", 1, 2.25),
        ROW("%.*s", "ab", 2, "abc"),
        ROW("%1:s %0:s %s", "b a b", "a", "b"),
        ROW("%0:d=%0:x", "255=FF", 255),
        ROW("%2:s %0:s %s", "c a b", "a", "b", "c"),
        ROW("%*:s", "b", 1, "b"),
        ROW("[%1:-4d]", "[7   ]", 1, 7),
        ROW("%%d %d%%", "%d 5%", 5),
        ROW("no specifiers", "no specifiers"),
        ROW("", ""),
        ROW("%s and more than the args need", "x and more than the args need", "x", "unused"),
    };
    return cases;
}

#undef ROW

using FormatTest = vorlane::test::DefaultFormatSettingsTest;

template <class F>
std::string errorOf(F&& code)
{
    try {
        code();
    } catch (const EConvertError& e) {
        return ToStd(e.Message());
    }
    return "<no EConvertError>";
}

TEST_F(FormatTest, TableOfSpecifiers)
{
    for (const FormatCase& c : formatCases())
        EXPECT_EQ(ToStd(c.run()), c.expected) << "format: " << c.format;
}

TEST_F(FormatTest, IncompatibleArgumentsAndBadSpecifiersAreInvalid)
{
    const auto invalid = [](const char* fmt) { return "Format '" + std::string(fmt) + "' invalid or incompatible with argument"; };
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%d"), {1.5}); }), invalid("%d"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%x"), {1.5}); }), invalid("%x"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%d"), {"12"}); }), invalid("%d"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%d"), {true}); }), invalid("%d"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%f"), {1}); }), invalid("%f"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%e"), {int64_t{1}}); }), invalid("%e"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%s"), {1}); }), invalid("%s"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%s"), {1.0}); }), invalid("%s"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%p"), {1}); }), invalid("%p"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%*d"), {1.0, 2}); }), invalid("%*d"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%q"), {1}); }), invalid("%q"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("50%"), {1}); }), invalid("50%"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%5"), {1}); }), invalid("%5"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%5-d"), {1}); }), invalid("%5-d"));
}

TEST_F(FormatTest, HugeWidthsAndPrecisionsAreRefusedBeforeAnyTextIsBuilt)
{
    const auto invalid = [](const char* fmt) { return "Format '" + std::string(fmt) + "' invalid or incompatible with argument"; };
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%999999999d"), {1}); }), invalid("%999999999d"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%.999999999d"), {1}); }), invalid("%.999999999d"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%-99999999999s"), {"a"}); }), invalid("%-99999999999s"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%.999999999s"), {"a"}); }), invalid("%.999999999s"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%.999999999f"), {1.0}); }), invalid("%.999999999f"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%*d"), {999999999, 1}); }), invalid("%*d"));
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%.*d"), {MaxFormatField + 1, 1}); }), invalid("%.*d"));
    // The bound itself is still served.
    EXPECT_EQ(Format(QStringLiteral("%*d"), {MaxFormatField, 7}).size(), MaxFormatField);
    EXPECT_EQ(Format(QStringLiteral("%.1024d"), {7}).size(), 1024);
}

TEST_F(FormatTest, SignatureNamesTheArgumentsByIndex)
{
    struct Case {
        const char* format;
        bool valid;
        std::string kinds;
    };
    const Case cases[] = {
        {"plain 100%%", true, ""},
        {"%d of %s at %.2f (%p)", true, "isfp"},
        {"%1:s %0:d", true, "is"},
        {"%*.*x|%-5u", true, "**ii"},
        {"%2:s", true, std::string("\0\0s", 3)},
        {"%0:d %0:s", false, ""},  // one argument, two kinds
        {"%q", false, ""},
        {"50%", false, ""},
        {"%2000d", false, ""},
        {"%99999:d", false, ""},
    };
    for (const Case& c : cases) {
        std::vector<char> kinds{'x'};
        EXPECT_EQ(FormatSignature(QString::fromUtf8(c.format), kinds), c.valid) << c.format;
        EXPECT_EQ(std::string(kinds.begin(), kinds.end()), c.kinds) << c.format;
    }
}

// Translated formats are outside data: every mutant is refused with the
// formatting error or formatted within the field bound.
TEST_F(FormatTest, MutatedFormatsAreRefusedOrFormattedWithinBounds)
{
    const std::vector<QByteArray> seeds = {"%d files in %s", "%1:s %0:-8d|%.3f|%x|%p", "%*.*d %%|%5.2n|%m|%e|%g|%u"};
    const int dummy = 0;
    int formatted = 0;
    vorlane::test::ForEachMutation(seeds, 20261210, 3000, [&](const QByteArray& bytes) {
        const String format = String::fromUtf8(bytes);
        std::vector<char> kinds;
        const bool valid = FormatSignature(format, kinds);
        EXPECT_LE(kinds.size(), size_t(MaxFormatField));
        try {
            const String text = Format(format, {3, 4, 5, String::fromLatin1("s"), 2.5, static_cast<const void*>(&dummy)});
            EXPECT_LE(text.size(), format.size() * (MaxFormatField + 32)) << bytes.constData();
            EXPECT_TRUE(valid) << "formatted but no signature: " << bytes.constData();
            ++formatted;
        } catch (const EConvertError&) {
        }
    });
    EXPECT_GT(formatted, 0);
}

TEST_F(FormatTest, MissingArgumentsAreReportedWithTheWholeFormat)
{
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%d %d"), {1}); }), "No argument for format '%d %d'");
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%s"), {}); }), "No argument for format '%s'");
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%2:d"), {1, 2}); }), "No argument for format '%2:d'");
    EXPECT_EQ(errorOf([] { Format(QStringLiteral("%*d"), {5}); }), "No argument for format '%*d'");
}

TEST_F(FormatTest, SeparatorsAndCurrencyComeFromTheSettings)
{
    FormatSettings.DecimalSeparator = QLatin1Char(',');
    FormatSettings.ThousandSeparator = QLatin1Char('.');
    FormatSettings.CurrencyString = QStringLiteral("EUR");
    FormatSettings.CurrencyFormat = 3;
    FormatSettings.NegCurrFormat = 8;
    FormatSettings.CurrencyDecimals = 1;
    EXPECT_EQ(ToStd(Format(QStringLiteral("%f|%n|%e"), {1.5, 1234567.25, 1.5})), "1,50|1.234.567,25|1,50000000000000E+000");
    EXPECT_EQ(ToStd(Format(QStringLiteral("%m|%m"), {1234.5, -2.0})), "1.234,5 EUR|-2,0 EUR");
}

}  // namespace
