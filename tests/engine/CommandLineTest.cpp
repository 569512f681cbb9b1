#include <gtest/gtest.h>

#include "engine/CommandLine.h"

namespace {

struct SplitCase {
    AnsiString text;
    std::vector<AnsiString> words;
};

std::ostream& operator<<(std::ostream& os, const SplitCase& c)
{
    return os << '[' << c.text.toStdString() << ']';
}

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheWords)
{
    EXPECT_EQ(SplitCommandLine(GetParam().text), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Quoting, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{R"(-vf "scale=320:240" -y)", {"-vf", "scale=320:240", "-y"}},
        SplitCase{R"(ab"c d"e)", {"abc de"}},
        SplitCase{R"("open quote)", {"open quote"}},
        // backslashes: an even run before a quote is halved and the quote
        // delimits, an odd run leaves one quote literal, elsewhere they stay
        SplitCase{R"(a\\"b c")", {R"(a\b c)"}},
        SplitCase{R"(a\\\"b c)", {R"(a\"b)", "c"}},
        SplitCase{R"(a\\\\"b c")", {R"(a\\b c)"}},
        SplitCase{R"(c:\dir\\file x\)", {R"(c:\dir\\file)", R"(x\)"}},
        // a doubled quote inside quotes adds nothing, except at the very end
        SplitCase{R"("a""b c")", {"ab c"}},
        SplitCase{R"("abc"")", {R"(abc")"}},
        SplitCase{R"("abc"" d)", {"abc d"}},
        // empty arguments survive
        SplitCase{R"(a "" b)", {"a", "", "b"}},
        SplitCase{R"("")", {""}},
        // only blanks and tabs separate
        SplitCase{"  a\t\tb  ", {"a", "b"}},
        SplitCase{"a\nb", {"a\nb"}},
        SplitCase{"", {}},
        SplitCase{" \t ", {}},
        // the text ends at its first zero byte
        SplitCase{AnsiString("a\0b c", 5), {"a"}}));

}  // namespace
