// The classic edit mask: parsing of mask texts, fitting typed text,
// value texts and the completeness test, with damaged masks.
#include "ui/editors/vlStandardMask.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include "platform/rtl/SysUtils.h"
#include "tests/harness/Mutation.h"

namespace {

String S(const char* text) { return String::fromUtf8(text); }

class StandardMaskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = FormatSettings;
        FormatSettings.DateSeparator = u'.';
        FormatSettings.TimeSeparator = u'#';
    }
    void TearDown() override { FormatSettings = saved; }
    TFormatSettings saved;
};

String fitted(const char* mask, const char* text, bool keepCase = true, bool hasLiterals = true)
{
    TvlStandardMask m;
    m.SetMaskText(S(mask));
    String t = S(text);
    m.FitText(t, keepCase, hasLiterals);
    return t;
}

TEST_F(StandardMaskTest, MaskTextsToPositions)
{
    struct Case {
        const char* mask;
        const char* blankText;
        const char* spaceText;
        bool leadingBlanks;
        bool saveLiterals;
        char16_t blankChar;
    } cases[] = {
        {"", "", "", false, true, u'_'},
        {"00:00", "__#__", "  #  ", false, true, u'_'},       // ":" is the time separator
        {"99/99", "__.__", "  .  ", false, true, u'_'},       // "/" is the date separator
        {"!9999", "____", "    ", true, true, u'_'},
        {"00;0;*", "**", "  ", false, false, u'*'},
        {"00;1", "__", "  ", false, true, u'_'},
        {"0;0", "_", " ", false, false, u'_'},
        {"0;x0", "_;x_", " ;x ", false, true, u'_'},           // malformed options are literals
        {"0;0;", "_;_;", " ; ;", false, true, u'_'},
        {"a;b", "_;b", " ;b", false, true, u'_'},              // a middle ";" is a literal
        {"\\0\\", "0", "0", false, true, u'_'},                // a trailing backslash adds nothing
        {"<>L>l<#", "___", "   ", false, true, u'_'},
        {"!99\\/99\\/9999;1; ", "  /  /    ", "  /  /    ", true, true, u' '},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        TvlStandardMask m;
        m.SetMaskText(S(c.mask));
        EXPECT_EQ(m.MaskText(), S(c.mask));
        EXPECT_EQ(m.BlankText(), S(c.blankText));
        EXPECT_EQ(m.SpaceText(), S(c.spaceText));
        EXPECT_EQ(m.LeadingBlanks(), c.leadingBlanks);
        EXPECT_EQ(m.SaveLiterals(), c.saveLiterals);
        EXPECT_EQ(m.BlankChar(), QChar(c.blankChar));
        EXPECT_EQ(m.ItemCount(), int(String(S(c.blankText)).size()));
    }
}

TEST_F(StandardMaskTest, ItemsAndTheirLetterCase)
{
    TvlStandardMask m;
    m.SetMaskText(S("00:00"));
    ASSERT_EQ(m.ItemCount(), 5);
    auto* literal = dynamic_cast<TvlStandardMaskLiteralItem*>(m.Item(2));
    ASSERT_NE(literal, nullptr);
    EXPECT_EQ(literal->LiteralChar, QChar(u'#'));

    m.SetMaskText(S(">L<l"));
    ASSERT_EQ(m.ItemCount(), 2);
    EXPECT_EQ(dynamic_cast<TvlStandardMaskManyItem*>(m.Item(0))->LetterCase, 0);
    EXPECT_EQ(dynamic_cast<TvlStandardMaskManyItem*>(m.Item(1))->LetterCase, 1);
    EXPECT_FALSE(dynamic_cast<TvlStandardMaskManyItem*>(m.Item(0))->IsOptional);
    EXPECT_TRUE(dynamic_cast<TvlStandardMaskManyItem*>(m.Item(1))->IsOptional);

    m.SetMaskText(S("#"));
    EXPECT_TRUE(dynamic_cast<TvlStandardMaskManyItem*>(m.Item(0))->IsOptional);
    m.SetMaskText(S(""));
    EXPECT_EQ(m.ItemCount(), 0);
}

TEST_F(StandardMaskTest, CharacterClasses)
{
    struct Case {
        const char* mask;
        const char* accepted;
        const char* refused;
    } cases[] = {
        {"0", "0123456789", "a+- "},
        {"#", "09+-", "a. "},
        {"L", "azAZ", "0_ \xc3\xa9"},
        {"A", "aZ09", "_- "},
        {"C", "a0_ \xc3\xa9", ""},
    };
    for (const Case& c : cases) {
        TvlStandardMask m;
        m.SetMaskText(S(c.mask));
        for (const QChar ch : S(c.accepted)) {
            QChar x = ch;
            EXPECT_TRUE(m.Item(0)->AcceptChar(x)) << c.mask << " " << String(ch).toStdString();
        }
        for (const QChar ch : S(c.refused)) {
            QChar x = ch;
            EXPECT_FALSE(m.Item(0)->AcceptChar(x)) << c.mask << " " << String(ch).toStdString();
        }
    }
}

TEST_F(StandardMaskTest, FittingTypedText)
{
    EXPECT_EQ(fitted(">L<l", "aB"), S("Ab"));
    EXPECT_EQ(fitted(">L<l", "aB", false), S("aB"));  // the case as typed
    EXPECT_EQ(fitted("!9999", "12"), S("__12"));
    EXPECT_EQ(fitted("00:00", "1234"), S("12#34"));
    EXPECT_EQ(fitted("00:00", "12#34"), S("12#34"));
    EXPECT_EQ(fitted("00:00", "1x2"), S("12#__"));     // x fits nowhere and is dropped
    EXPECT_EQ(fitted("00:00", "1 3"), S("1_#3_"));     // a blank keeps its position empty
    EXPECT_EQ(fitted("00:00", "123456"), S("12#34"));  // the rest fits nowhere
    EXPECT_EQ(fitted("!99/99/9999;1; ", "1.2.2024"), S(" 1. 2.2024"));
    EXPECT_EQ(fitted("00;0;_", "12"), S("12"));
    // without saved literals and without literals in the text, literals are passed over
    EXPECT_EQ(fitted("0-0;0;_", "12", true, false), S("1-2"));
    EXPECT_EQ(fitted("", "12"), S(""));
}

TEST_F(StandardMaskTest, ValueText)
{
    TvlStandardMask m;
    m.SetMaskText(S("00-00;0;*"));
    String t = S("1*-34");
    m.ValueText(t);
    EXPECT_EQ(t, S("1 34"));

    m.SetMaskText(S("00-00"));
    t = S("1_-34");
    m.ValueText(t);
    EXPECT_EQ(t, S("1 -34"));
    t = S("12");  // shorter than the mask: only its own positions
    m.ValueText(t);
    EXPECT_EQ(t, S("12"));
}

TEST_F(StandardMaskTest, Completeness)
{
    struct Case {
        const char* mask;
        const char* text;
        bool complete;
        const char* after;
    } cases[] = {
        {"", "", true, ""},
        {"", "x", false, "x"},
        {"00", "1_", false, "1_"},   // a blank at a required digit
        {"09", "1_", true, "1_"},    // at an optional digit
        {"09", "1 ", true, "1 "},
        {"09", "1", false, "1"},     // wrong length
        {"0-0", "1_2", false, "1_2"},
        {">LL", "ab", true, "AB"},   // accepted characters take the position's case
        {">L0", "a_", false, "A_"},  // stops at the first failure, after converting
    };
    for (const Case& c : cases) {
        TvlStandardMask m;
        m.SetMaskText(S(c.mask));
        String t = S(c.text);
        EXPECT_EQ(m.IsTextComplete(t), c.complete) << c.mask << " " << c.text;
        EXPECT_EQ(t, S(c.after)) << c.mask;
    }
}

TEST_F(StandardMaskTest, FixedSeedMutationsOfMasksAndTexts)
{
    const std::vector<QByteArray> seeds = {"!99/99/9999;1; ", ">L<l00:00", "\\a\\;;0;*", "#9C<>c;1", "0;0;_"};
    vorlane::test::ForEachMutation(seeds, 34, 2000, [](const QByteArray& mutant) {
        TvlStandardMask m;
        const String mask = String::fromUtf8(mutant);
        m.SetMaskText(mask);
        String text = mask;
        m.FitText(text, true, false);
        EXPECT_EQ(text.size(), m.ItemCount());
        String complete = text;
        m.IsTextComplete(complete);
        m.ValueText(text);
        EXPECT_LE(text.size(), m.ItemCount());
    });
}

}  // namespace
