#include <gtest/gtest.h>

#include "support/SxStrings.h"

namespace {

TEST(SxStrings, PadAndSplitFrameSizes)
{
    EXPECT_EQ(PadLeftTo(QStringLiteral("7"), 2, u'0'), QStringLiteral("07"));
    EXPECT_EQ(PadLeftTo(QStringLiteral("123"), 2, u'0'), QStringLiteral("123"));
    struct { const char* text; const char* before; const char* after; } cases[] = {
        {"720x576", "720", "576"}, {"720X576", "720", "576"}, {"720", "720", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(TextBefore(QStringLiteral("x"), String::fromLatin1(c.text)), String::fromLatin1(c.before)) << c.text;
        EXPECT_EQ(TextAfter(QStringLiteral("x"), String::fromLatin1(c.text)), String::fromLatin1(c.after)) << c.text;
    }
    EXPECT_EQ(TextBefore(String(), QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(TextAfter(String(), QStringLiteral("abc")), String());
}

TEST(SxStrings, LastPosOfFindsOverlappingLastMatch)
{
    EXPECT_EQ(LastPosOf(QStringLiteral(")"), QStringLiteral("a (b) c (d)")), 11);
    EXPECT_EQ(LastPosOf(QStringLiteral("aa"), QStringLiteral("aaa")), 2);
    EXPECT_EQ(LastPosOf(QStringLiteral("z"), QStringLiteral("aaa")), 0);
    EXPECT_EQ(LastPosOf(String(), QStringLiteral("aaa")), 0);
}

TEST(SxStrings, LenientNumbers)
{
    struct { const char* text; double value; } cases[] = {
        {"1,234.5", 1234.5}, {"1.234,5", 1234.5}, {"1.2.3", 123}, {"(12)", 12}, {"- 7", -7}, {"--7", 7},
        {".5", 0.5}, {"5.", 5}, {"abc", 0}, {"", 0}, {",5", 0.5}, {"12 kbit/s", 12}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(StrToFloatLenient(String::fromLatin1(c.text)), c.value) << c.text;
    struct { const char* text; int64_t value; } ints[] = {
        {"1,500", 1500}, {"2.9", 2}, {"-2.9", -2}, {"", 0}, {"99999999999999999999999", INT64_MAX}};
    for (const auto& c : ints)
        EXPECT_EQ(StrToIntLenient(String::fromLatin1(c.text)), c.value) << c.text;
}

TEST(SxStrings, ReplaceInPlace)
{
    struct { const char* text; const char* search; const char* repl; TReplaceFlags flags; const char* result; } cases[] = {
        {"aaa", "aa", "b", {rfReplaceAll}, "ba"},
        {"aaa", "aa", "b", {}, "ba"},
        {"AbA", "a", "xy", {rfReplaceAll, rfIgnoreCase}, "xybxy"},
        {"AbA", "a", "xy", {rfReplaceAll}, "AbA"},
        {"abab", "ab", "abab", {rfReplaceAll}, "abababab"},
        {"", "a", "b", {rfReplaceAll}, ""},
        {"", "", "new", {}, "new"},
        {"abcab", "ab", "", {}, "cab"}};
    for (const auto& c : cases) {
        String text = String::fromLatin1(c.text);
        ReplaceInPlace(text, String::fromLatin1(c.search), String::fromLatin1(c.repl), c.flags);
        EXPECT_EQ(text, String::fromLatin1(c.result)) << c.text << " / " << c.search;
    }
    String text = QStringLiteral("x");
    try {
        ReplaceInPlace(text, String(), QStringLiteral("y"), {});
        FAIL();
    } catch (const ESxStringError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Search string cannot be blank"));
    }
}

TEST(SxStrings, SplitToList)
{
    TStringList list;
    SplitToList(QStringLiteral("a,,b,"), QStringLiteral(","), &list, false);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(1), QStringLiteral("b"));
    SplitToList(QStringLiteral("a,,b,"), QStringLiteral(","), &list, true);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(1), String());
    SplitToList(String(), QStringLiteral(","), &list, true);
    EXPECT_EQ(list.Count(), 0);
}

TEST(SxStrings, SearchingAndPositions)
{
    EXPECT_EQ(FindCharFrom(QStringLiteral("abc"), u'a', 0), 0);
    EXPECT_EQ(FindCharFrom(QStringLiteral("abcb"), u'b', 3), 4);
    EXPECT_EQ(FindCharFrom(QStringLiteral("abc"), u'a', 4), 0);
    EXPECT_EQ(FindTextFrom(QStringLiteral("B"), QStringLiteral("abab"), 3), 4);
    EXPECT_EQ(FindTextFrom(String(), QStringLiteral("abab"), 1), 0);
    EXPECT_EQ(PosNoCase(QStringLiteral("ÄB"), QStringLiteral("xäb")), 2);
    EXPECT_EQ(CountChar(QStringLiteral("a,b,c"), u','), 2);
    EXPECT_EQ(LeftChars(QStringLiteral("abc"), 5), QStringLiteral("abc"));
    EXPECT_EQ(RestFrom(QStringLiteral("abc"), 2), QStringLiteral("bc"));
    EXPECT_EQ(AppendSuffixOnce(QStringLiteral("\\"), QStringLiteral("a\\")), QStringLiteral("a\\"));
    EXPECT_EQ(AppendSuffixOnce(QStringLiteral("\\"), QStringLiteral("a")), QStringLiteral("a\\"));
    String nul = QStringLiteral("ab") + QChar(0) + QStringLiteral("cd");
    TruncateAtNul(nul);
    EXPECT_EQ(nul, QStringLiteral("ab"));
    const char16_t text[] = u"hello world";
    EXPECT_EQ(WideCStrFind(text, u"wor"), text + 6);
    EXPECT_EQ(WideCStrFind(text, u""), nullptr);
    EXPECT_EQ(WideCStrFind(nullptr, u"a"), nullptr);
}

TEST(SxStrings, CopyCharsAtUnsharesAndStaysInside)
{
    const String original = QStringLiteral("abcdef");
    String dest = original;  // shared
    CopyCharsAt(QStringLiteral("XY"), 0, dest, 4, 2);
    EXPECT_EQ(dest, QStringLiteral("abcdXY"));
    EXPECT_EQ(original, QStringLiteral("abcdef"));
    CopyCharsAt(QStringLiteral("XYZ"), 0, dest, 5, 3);  // would run past the end
    EXPECT_EQ(dest, QStringLiteral("abcdXX"));  // one character fits
}

TEST(SxStrings, WordsAndCharacterClasses)
{
    const TSysCharSet blanks = SysCharSetOf(" ,");
    EXPECT_EQ(NthWordPosition(2, QStringLiteral("  one, two three"), blanks), 8);
    EXPECT_EQ(NthWord(3, QStringLiteral("  one, two three"), blanks), QStringLiteral("three"));
    EXPECT_EQ(NthWord(4, QStringLiteral("  one, two three"), blanks), String());
    EXPECT_TRUE(IsHexDigitChar(u'f'));
    EXPECT_FALSE(IsHexDigitChar(u'g'));
    EXPECT_TRUE(VariantIsInteger(Variant(uint8_t{3})));
    EXPECT_TRUE(VariantIsInteger(Variant(3)));
    EXPECT_FALSE(VariantIsInteger(Variant(int64_t{3})));
    EXPECT_FALSE(VariantIsInteger(Variant(3.0)));
    EXPECT_TRUE(IsLowerAnsiChar(0xE4));
    EXPECT_TRUE(IsUpperAnsiChar('A'));
    EXPECT_FALSE(IsUpperAnsiChar('1'));
}

TEST(SxStrings, KeyXorHex)
{
    EXPECT_EQ(KeyXorHexEncode(String(), QStringLiteral("AB")), QStringLiteral("4142"));
    EXPECT_EQ(KeyXorHexDecode(String(), QStringLiteral("4g")), QStringLiteral(" "));
    EXPECT_EQ(KeyXorHexDecode(String(), QStringLiteral("41424")), QStringLiteral("AB"));
    const String text = QStringLiteral("Grüße 1");
    const String key = QStringLiteral("k3y");
    const String hex = KeyXorHexEncode(key, text);
    EXPECT_NE(hex, KeyXorHexEncode(String(), text));
    EXPECT_EQ(KeyXorHexDecode(key, hex), text);
}

}  // namespace
