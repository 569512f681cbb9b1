// The description lookup: section and key rules, the first occurrence
// deciding, comments, and the integer forms.
#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringList.h"
#include "skin/SknIni.h"

namespace {

void loadText(TQuickIni& ini, const QByteArray& text, qsizetype skip = 0)
{
    TMemoryStream stream;
    stream.WriteBuffer(text.constData(), text.size());
    stream.SetPosition(skip);
    ini.LoadFromStream(&stream);
}

const QByteArray description =
    "; a comment line\r\n"
    "[PERSONALITY]\r\n"
    "  TopHeight = 12  \r\n"
    "topheight=99\n"
    "Empty=\r"
    "Empty=second\n"
    "; Skipped=1\n"
    "NoEquals\n"
    "Hex=0x1A\n"
    "Dollar=$1A\n"
    "Bare=1A\n"
    "[ Spaced ]\n"
    "Key=inside\n"
    "[Personality]\n"
    "Later=only here\n"
    "[Numbers]\n"
    "zero_x=0x\n"
    "bad_hex=0xZZ\n"
    "dollar=$\n"
    "neg_hex=-0x10\n"
    "neg_dollar=-$10\n"
    "big=99999999999\n"
    "plus=+5\n"
    "spaced= 12 \n"
    "min=-2147483648\n"
    "full_hex=0xFFFFFFFF\n"
    "long_hex=$100000000\n"
    "[Cut]\n"
    "Before=1\0After=2\n";

}  // namespace

TEST(SknIniTest, SectionsAndKeys)
{
    TQuickIni ini;
    loadText(ini, description);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Personality", "TOPHEIGHT", "12"},         // case of section and key ignored, blanks trimmed
        {"personality", "Empty", "default"},       // the first occurrence decides, even when empty
        {"Personality", "Skipped", "default"},     // comment
        {"Personality", "Later", "default"},       // only the first section of a name is searched
        {"Personality", "Hex", "0x1A"},
        {"Spaced", "Key", "default"},              // blanks inside the brackets are part of the name
        {" Spaced ", "Key", "inside"},
        {"Missing", "Key", "default"},
        {"Cut", "Before", "1"},
        {"Cut", "After", "default"},               // a NUL ends the text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.section << "/" << c.key);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), String::fromLatin1(c.expected));
    }
    EXPECT_EQ(ini.FindSection("personality"), 0);
    EXPECT_EQ(ini.FindSection("nothing"), -1);

    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.Text(), "PERSONALITY\nSpaced\nPersonality\nNumbers\nCut\n");
    EXPECT_THROW(ini.ReadSections(nullptr), EAssertionFailed);
}

TEST(SknIniTest, Integers)
{
    TQuickIni ini;
    loadText(ini, description);
    struct Case {
        const char* section;
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"Personality", "TopHeight", 12}, {"Personality", "Hex", 26},       {"Personality", "Dollar", 26},
        {"Personality", "Bare", -7},      {"Numbers", "zero_x", -7},        {"Numbers", "bad_hex", -7},
        {"Numbers", "dollar", -7},        {"Numbers", "neg_hex", -7},       {"Numbers", "neg_dollar", -16},
        {"Numbers", "big", -7},           {"Numbers", "plus", 5},           {"Numbers", "spaced", 12},
        {"Numbers", "min", INT32_MIN},    {"Numbers", "full_hex", -1},      {"Numbers", "long_hex", -7},
        {"Numbers", "absent", -7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini.ReadInteger(c.section, c.key, -7), c.expected);
    }
}

TEST(SknIniTest, LoadingStartsAtThePositionAndReplaces)
{
    TQuickIni ini;
    loadText(ini, "[A]\nk=1\n");
    loadText(ini, "xx[B]\nk=2\n", 2);
    EXPECT_EQ(ini.ReadString("A", "k", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("B", "k", 0), 2);
    ini.LoadFromStream(nullptr);
    EXPECT_EQ(ini.ReadInteger("B", "k", 0), 2);
    // Nothing but junk: no sections, and nothing breaks.
    loadText(ini, "[\n[]\n=value\nkey\n");
    EXPECT_EQ(ini.ReadString("", "", "d"), "value");
    EXPECT_EQ(ini.ReadString("x", "key", "d"), "d");
}
