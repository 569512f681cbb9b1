#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "tests/harness/CommaLocale.h"

namespace {

String S(const char* text)
{
    return String::fromUtf8(text);
}

class SysUtilsTest : public ::testing::Test {
protected:
    // The settings are process state: each test starts from the defaults
    // and leaves them as it found them.
    void SetUp() override
    {
        saved = FormatSettings;
        FormatSettings = DefaultFormatSettings();
    }
    void TearDown() override { FormatSettings = saved; }
    TFormatSettings saved;
};

template <class E, class F>
std::string errorOf(F&& code)
{
    try {
        code();
    } catch (const E& e) {
        return ToStd(e.Message());
    }
    return "<no exception>";
}

TEST_F(SysUtilsTest, DefaultsAreFixedEnglish)
{
    const TFormatSettings& fs = FormatSettings;
    EXPECT_EQ(fs.DecimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(fs.ThousandSeparator, QLatin1Char(','));
    EXPECT_EQ(ToStd(fs.ShortDateFormat), "M/d/yyyy");
    EXPECT_EQ(ToStd(fs.LongTimeFormat), "h:mm:ss AMPM");
    EXPECT_EQ(ToStd(fs.LongMonthNames[0]), "January");
    EXPECT_EQ(ToStd(fs.ShortDayNames[0]), "Sun");
}

TEST_F(SysUtilsTest, IntToStrAndIntToHex)
{
    EXPECT_EQ(ToStd(IntToStr(-42)), "-42");
    EXPECT_EQ(ToStd(IntToStr(std::numeric_limits<int64_t>::min())), "-9223372036854775808");
    EXPECT_EQ(ToStd(IntToHex(255, 4)), "00FF");
    EXPECT_EQ(ToStd(IntToHex(0x12345, 2)), "12345");
    EXPECT_EQ(ToStd(IntToHex(-1, 2)), "FFFFFFFF");
    EXPECT_EQ(ToStd(IntToHex(int64_t{-1}, 2)), "FFFFFFFFFFFFFFFF");
}

TEST_F(SysUtilsTest, StrToIntAcceptsTheOriginalSyntax)
{
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"123", 123},          {"  -45", -45},       {"+7", 7},
        {"007", 7},            {"$FF", 255},         {"$ff", 255},
        {"0x1f", 31},          {"0X1F", 31},         {"x10", 16},
        {"-$10", -16},         {"$FFFFFFFF", -1},    {"$80000000", INT32_MIN},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToInt(S(c.text)), c.value) << c.text;
        int v = 0;
        EXPECT_TRUE(TryStrToInt(S(c.text), v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST_F(SysUtilsTest, StrToIntRejectsEverythingElse)
{
    for (const char* text : {"", " ", "-", "+", "$", "0x", "12 ", "1a", "1.0", "1,000", "--1", "- 1", "2147483648",
                             "-2147483649", "$100000000", "$G", "\t1"}) {
        EXPECT_EQ(errorOf<EConvertError>([&] { StrToInt(S(text)); }), "'" + std::string(text) + "' is not a valid integer value");
        int v = 99;
        EXPECT_FALSE(TryStrToInt(S(text), v)) << text;
        EXPECT_EQ(v, 99) << "a failed try leaves the value alone: " << text;
        EXPECT_EQ(StrToIntDef(S(text), -5), -5) << text;
    }
}

TEST_F(SysUtilsTest, StrToInt64CoversTheWholeRange)
{
    EXPECT_EQ(StrToInt64(S("9223372036854775807")), INT64_MAX);
    EXPECT_EQ(StrToInt64(S("-9223372036854775808")), INT64_MIN);
    EXPECT_EQ(StrToInt64(S("$FFFFFFFFFFFFFFFF")), -1);
    EXPECT_EQ(StrToInt64(S("4294967296")), int64_t{1} << 32);
    EXPECT_EQ(StrToInt64Def(S("9223372036854775808"), 3), 3);
    EXPECT_EQ(StrToInt64Def(S("$10000000000000000"), 3), 3);
    EXPECT_THROW(StrToInt64(S("abc")), EConvertError);
}

TEST_F(SysUtilsTest, FloatToStrUsesFifteenSignificantDigits)
{
    const struct {
        long double value;
        const char* text;
    } cases[] = {
        {0.0L, "0"},
        {-0.0L, "0"},
        {1.5L, "1.5"},
        {-0.5L, "-0.5"},
        {100.0L, "100"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.1 + 0.2, "0.3"},
        {1e14L, "100000000000000"},
        {1e15L, "1E15"},
        {123456789012345678.0L, "1.23456789012346E17"},
        {0.0001L, "0.0001"},
        {0.00001L, "1E-5"},
        {-1.5e-10L, "-1.5E-10"},
        {999999999999999.9L, "1E15"},
        {std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {-std::numeric_limits<double>::infinity(), "-INF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToStd(FloatToStr(c.value)), c.text) << static_cast<double>(c.value);

    FormatSettings.DecimalSeparator = QLatin1Char(',');
    EXPECT_EQ(ToStd(FloatToStr(1.25)), "1,25");
}

TEST_F(SysUtilsTest, FloatToStrFFormats)
{
    EXPECT_EQ(ToStd(FloatToStrF(1234.567, ffFixed, 15, 2)), "1234.57");
    EXPECT_EQ(ToStd(FloatToStrF(1234.567, ffNumber, 15, 1)), "1,234.6");
    EXPECT_EQ(ToStd(FloatToStrF(-1234567.0, ffNumber, 15, 0)), "-1,234,567");
    EXPECT_EQ(ToStd(FloatToStrF(1234.567, ffExponent, 4, 2)), "1.235E+03");
    EXPECT_EQ(ToStd(FloatToStrF(1234.567, ffGeneral, 4, 0)), "1235");
    EXPECT_EQ(ToStd(FloatToStrF(1234.567, ffCurrency, 15, 2)), "$1,234.57");
    EXPECT_EQ(ToStd(FloatToStrF(0.999, ffFixed, 15, 2)), "1.00");
    EXPECT_EQ(ToStd(FloatToStrF(999.999, ffNumber, 15, 2)), "1,000.00");

    const struct {
        int negFormat;
        const char* text;
    } negatives[] = {{0, "($1.50)"}, {1, "-$1.50"}, {2, "$-1.50"}, {3, "$1.50-"}, {5, "-1.50$"}, {8, "-1.50 $"}, {14, "($ 1.50)"}};
    for (const auto& c : negatives) {
        FormatSettings.NegCurrFormat = static_cast<uint8_t>(c.negFormat);
        EXPECT_EQ(ToStd(FloatToStrF(-1.5, ffCurrency, 15, 2)), c.text) << c.negFormat;
    }
    FormatSettings.CurrencyFormat = 2;
    EXPECT_EQ(ToStd(FloatToStrF(1.5, ffCurrency, 15, 2)), "$ 1.50");
}

TEST_F(SysUtilsTest, FormatFloatPatterns)
{
    const struct {
        const char* format;
        long double value;
        const char* text;
    } cases[] = {
        {"0.00", 1.5L, "1.50"},
        {"0.00", -2.5L, "-2.50"},
        {"0.00", 0.125L, "0.13"},
        {"#,##0.0", 1234567.89L, "1,234,567.9"},
        {"#,##0.0", 12.0L, "12.0"},
        {"#,##0", 0.0L, "0"},
        {"0.###", 1.5L, "1.5"},
        {"0.###", 2.0L, "2"},
        {"0.###", 1.23456L, "1.235"},
        {"#.##", 0.5L, ".5"},
        {"000", 7.0L, "007"},
        {"0", 1234.5L, "1235"},
        {"0%", 50.0L, "50%"},
        {"'$'#,##0.00", 1234.5L, "$1,234.50"},
        {"\"x=\"0", 3.0L, "x=3"},
        {"0;(0);zero", 5.0L, "5"},
        {"0;(0);zero", -5.0L, "(5)"},
        {"0;(0);zero", 0.0L, "zero"},
        {"0.0;(0.0)", -0.04L, "0.0"},
        {"0.00E+00", 1234.5L, "1.23E+03"},
        {"0.00E-00", 0.00012345L, "1.23E-04"},
        {"", 1.5L, "1.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToStd(FormatFloat(S(c.format), c.value)), c.text) << c.format << " " << static_cast<double>(c.value);

    FormatSettings.DecimalSeparator = QLatin1Char(',');
    FormatSettings.ThousandSeparator = QLatin1Char('.');
    EXPECT_EQ(ToStd(FormatFloat(S("#,##0.00"), 1234.5)), "1.234,50");
}

TEST_F(SysUtilsTest, StrToFloat)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {{"1.5", 1.5}, {" -2.25 ", -2.25}, {"+3", 3}, {".5", 0.5}, {"5.", 5}, {"1e3", 1000}, {"1.5E-2", 0.015}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(S(c.text))), c.value) << c.text;

    for (const char* text : {"", "abc", "1.5x", "1,5", ".", "-", "1e", "1e+", "1 000", "1e99999"}) {
        EXPECT_EQ(errorOf<EConvertError>([&] { StrToFloat(S(text)); }), "'" + std::string(text) + "' is not a valid floating point value");
        double v = 7;
        EXPECT_FALSE(TryStrToFloat(S(text), v)) << text;
        EXPECT_EQ(v, 7);
    }
    EXPECT_EQ(StrToFloatDef(S("x"), 2.5L), 2.5L);

    FormatSettings.DecimalSeparator = QLatin1Char(',');
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(S("1,5"))), 1.5);
    EXPECT_THROW(StrToFloat(S("1.5")), EConvertError);
}

// Only FormatSettings decides the separator, never the process locale.
TEST_F(SysUtilsTest, FloatsIgnoreTheProcessLocale)
{
    const vorlane::test::ScopedCommaLocale comma;
    if (!comma.Available())
        GTEST_SKIP() << "no way to build a locale with a decimal comma here";
    EXPECT_DOUBLE_EQ(static_cast<double>(StrToFloat(S("1.5"))), 1.5);
    EXPECT_EQ(ToStd(FloatToStr(2.25)), "2.25");
    EXPECT_EQ(ToStd(Format(S("%.3f|%g|%e"), {1.5, 0.25, 1234.5})), "1.500|0.25|1.23450000000000E+003");
}

TEST_F(SysUtilsTest, TrimAndCase)
{
    EXPECT_EQ(ToStd(Trim(S(" \t a b \r\n"))), "a b");
    EXPECT_EQ(ToStd(TrimLeft(S("  a "))), "a ");
    EXPECT_EQ(ToStd(TrimRight(S("  a \x01"))), "  a");
    EXPECT_EQ(ToStd(Trim(S("   "))), "");
    EXPECT_EQ(ToStd(Trim(S("\xc2\xa0x"))), "\xc2\xa0x") << "a no-break space is above the blank";

    EXPECT_EQ(ToStd(UpperCase(S("abc\xc3\xa9z"))), "ABC\xc3\xa9Z");
    EXPECT_EQ(ToStd(LowerCase(S("ABC\xc3\x89Z"))), "abc\xc3\x89z");
    EXPECT_EQ(ToStd(AnsiUpperCase(S("abc\xc3\xa9"))), "ABC\xc3\x89");
    EXPECT_EQ(ToStd(AnsiLowerCase(S("ABC\xc3\x89"))), "abc\xc3\xa9");
}

TEST_F(SysUtilsTest, Comparisons)
{
    EXPECT_EQ(CompareText(S("abc"), S("ABC")), 0);
    EXPECT_LT(CompareText(S("abc"), S("ABD")), 0);
    EXPECT_LT(CompareText(S("ab"), S("abc")), 0);
    EXPECT_GT(CompareText(S("b"), S("A")), 0);
    EXPECT_GT(CompareText(S("_"), S("a")), 0) << "letters compare as upper case, below '_'";
    EXPECT_GT(CompareStr(S("a"), S("B")), 0);
    EXPECT_LT(CompareStr(S("B"), S("a")), 0);
    EXPECT_EQ(CompareStr(S("x"), S("x")), 0);
    EXPECT_TRUE(SameText(S("Hello"), S("hELLO")));
    EXPECT_FALSE(SameText(S("\xc3\xa9"), S("\xc3\x89"))) << "SameText is ASCII only";
    EXPECT_TRUE(AnsiSameText(S("\xc3\xa9"), S("\xc3\x89")));
}

TEST_F(SysUtilsTest, QuotingAndDequoting)
{
    EXPECT_EQ(ToStd(QuotedStr(S("it's"))), "'it''s'");
    EXPECT_EQ(ToStd(QuotedStr(S(""))), "''");
    EXPECT_EQ(ToStd(AnsiQuotedStr(S("say \"hi\""), QLatin1Char('"'))), "\"say \"\"hi\"\"\"");

    const struct {
        const char* text;
        const char* result;
    } cases[] = {
        {"'it''s'", "it's"}, {"abc", "abc"}, {"'abc", "'abc"}, {"''", ""},
        {"'ab'cd", "ab"},    {"", ""},       {"'", ""},        {"''''", "'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToStd(AnsiDequotedStr(S(c.text), QLatin1Char('\''))), c.result) << c.text;
    EXPECT_EQ(ToStd(AnsiDequotedStr(S("\"x\"\"y\""), QLatin1Char('"'))), "x\"y");
}

TEST_F(SysUtilsTest, StringReplaceAndPos)
{
    EXPECT_EQ(ToStd(StringReplace(S("a-b-c"), S("-"), S("+"), {})), "a+b-c");
    EXPECT_EQ(ToStd(StringReplace(S("a-b-c"), S("-"), S("+"), {rfReplaceAll})), "a+b+c");
    EXPECT_EQ(ToStd(StringReplace(S("aXbxc"), S("x"), S("_"), {})), "aXb_c");
    EXPECT_EQ(ToStd(StringReplace(S("aXbxc"), S("x"), S("_"), {rfIgnoreCase})), "a_bxc");
    EXPECT_EQ(ToStd(StringReplace(S("aXbxc"), S("x"), S("_"), {rfReplaceAll, rfIgnoreCase})), "a_b_c");
    EXPECT_EQ(ToStd(StringReplace(S("aaa"), S("a"), S("aa"), {rfReplaceAll})), "aaaaaa") << "replacements are not rescanned";
    EXPECT_EQ(ToStd(StringReplace(S("abc"), S(""), S("x"), {rfReplaceAll})), "abc");

    EXPECT_EQ(Pos(S("b"), S("abcb")), 2);
    EXPECT_EQ(Pos(S("a"), S("a")), 1);
    EXPECT_EQ(Pos(S("z"), S("abc")), 0);
    EXPECT_EQ(Pos(S(""), S("abc")), 0);
}

TEST_F(SysUtilsTest, FileNameParts)
{
    const struct {
        const char* fileName;
        const char* name;
        const char* path;
        const char* dir;
        const char* ext;
    } cases[] = {
        {"/home/u/file.txt", "file.txt", "/home/u/", "/home/u", ".txt"},
        {"file", "file", "", "", ""},
        {"/", "", "/", "/", ""},
        {"/file.tar.gz", "file.tar.gz", "/", "/", ".gz"},
        {"/a.b/c", "c", "/a.b/", "/a.b", ""},
        {"dir/.bashrc", ".bashrc", "dir/", "dir", ".bashrc"},
        {"dir/file.", "file.", "dir/", "dir", "."},
        {"a//b", "b", "a//", "a//", ""},
        {"/home/u/", "", "/home/u/", "/home/u", ""},
        {"c:\\x\\y.z", "c:\\x\\y.z", "", "", ".z"},
    };
    for (const auto& c : cases) {
        const String f = S(c.fileName);
        EXPECT_EQ(ToStd(ExtractFileName(f)), c.name) << c.fileName;
        EXPECT_EQ(ToStd(ExtractFilePath(f)), c.path) << c.fileName;
        EXPECT_EQ(ToStd(ExtractFileDir(f)), c.dir) << c.fileName;
        EXPECT_EQ(ToStd(ExtractFileExt(f)), c.ext) << c.fileName;
    }
    EXPECT_EQ(ToStd(ChangeFileExt(S("/a/b.txt"), S(".mp4"))), "/a/b.mp4");
    EXPECT_EQ(ToStd(ChangeFileExt(S("/a.b/c"), S(".x"))), "/a.b/c.x");
    EXPECT_EQ(ToStd(ChangeFileExt(S("a.tar.gz"), S(""))), "a.tar");
    EXPECT_EQ(ToStd(IncludeTrailingPathDelimiter(S("/a"))), "/a/");
    EXPECT_EQ(ToStd(IncludeTrailingPathDelimiter(S("/a/"))), "/a/");
    EXPECT_EQ(ToStd(IncludeTrailingPathDelimiter(S(""))), "/");
    EXPECT_EQ(ToStd(ExcludeTrailingPathDelimiter(S("/a/"))), "/a");
    EXPECT_EQ(ToStd(ExcludeTrailingPathDelimiter(S("/a"))), "/a");
    EXPECT_EQ(ToStd(ExcludeTrailingPathDelimiter(S("/"))), "");
}

TEST_F(SysUtilsTest, FileOperations)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const String root = IncludeTrailingPathDelimiter(temp.path());
    const String nested = root + S("a/b/c");

    EXPECT_FALSE(DirectoryExists(nested));
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(DirectoryExists(nested));
    EXPECT_TRUE(ForceDirectories(nested)) << "an existing folder is success";
    EXPECT_FALSE(FileExists(nested)) << "a folder is not a file";
    EXPECT_EQ(errorOf<EInOutError>([] { ForceDirectories(String()); }), "Unable to create directory");

    const String file = root + S("one.txt");
    EXPECT_FALSE(FileExists(file));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(ForceDirectories(file + S("/sub"))) << "a file stands in the way";

    const String other = root + S("two.txt");
    QFile(other).open(QIODevice::WriteOnly);
    EXPECT_FALSE(RenameFile(file, other)) << "the target exists";
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(DeleteFile(other));
    EXPECT_TRUE(RenameFile(file, other));
    EXPECT_FALSE(FileExists(file));
    EXPECT_TRUE(FileExists(other));
    EXPECT_TRUE(DeleteFile(other));
    EXPECT_FALSE(DeleteFile(other));
    EXPECT_FALSE(DeleteFile(nested)) << "DeleteFile does not remove folders";
}

TEST_F(SysUtilsTest, EnvironmentVariables)
{
    qputenv("VORLANE_SYSUTILS_TEST", "v\xc3\xa4lue");
    EXPECT_EQ(ToStd(GetEnvironmentVariable(S("VORLANE_SYSUTILS_TEST"))), "v\xc3\xa4lue");
    qunsetenv("VORLANE_SYSUTILS_TEST");
    EXPECT_EQ(ToStd(GetEnvironmentVariable(S("VORLANE_SYSUTILS_TEST"))), "");
}

}  // namespace
