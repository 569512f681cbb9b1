#include "support/SxMime.h"

#include <gtest/gtest.h>

namespace {

TEST(SxMime, EncodesGroupsPaddingAndLines)
{
    const struct {
        AnsiString in;
        AnsiString out;
    } cases[] = {
        {"", ""}, {"a", "YQ=="}, {"ab", "YWI="}, {"abc", "YWJj"}, {"abcd", "YWJjZA=="},
        {AnsiString("\xff\x00\x10", 3), "/wAQ"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Base64EncodeText(c.in), c.out) << c.in.constData();

    const AnsiString line(57, 'x');
    const AnsiString one = Base64EncodeText(line);
    EXPECT_EQ(one.size(), 78);
    EXPECT_TRUE(one.endsWith("\r\n"));
    const AnsiString more = Base64EncodeText(line + "y");
    EXPECT_EQ(more.size(), 82);
    EXPECT_EQ(more.mid(76, 2), "\r\n");
    EXPECT_EQ(Base64EncodedLength(57), 78);
    EXPECT_EQ(Base64EncodedLength(-3), -3);
}

TEST(SxMime, DecodingSkipsEverythingOutsideTheAlphabet)
{
    const struct {
        AnsiString in;
        AnsiString out;
    } cases[] = {
        {"YWJj", "abc"}, {"YW Jj", "abc"}, {"YWJj\r\n", "abc"}, {"YQ==", "a"}, {"YWI=", "ab"},
        {"YWJjZ", "abc"},  // one character alone gives nothing
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Base64DecodeText(c.in), c.out) << c.in.constData();
    AnsiString all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(Base64DecodeText(Base64EncodeText(all)), all);
}

}  // namespace
