#include <gtest/gtest.h>

#include <QStringList>

#include "app/SplStr.h"

namespace {

TEST(SplStrTest, SplitAppendsThePiecesBetweenDelimiters)
{
    const struct {
        const char* Text;
        const char* Pieces;  // joined by "|"
    } cases[] = {
        {"a;b;", "a|b|"},
        {"abc", "abc"},
        {"", ""},
        {";", "|"},
        {"a;;b", "a||b"},
    };
    TSplStr splitter(nullptr);
    for (const auto& c : cases) {
        TStringList list;
        list.Add(QStringLiteral("kept"));  // the list is not cleared
        splitter.Split(QStringLiteral(";"), QString::fromUtf8(c.Text), &list);
        QStringList pieces;
        for (int i = 1; i < list.Count(); ++i)
            pieces << list.Strings(i);
        EXPECT_EQ(list.Strings(0), QStringLiteral("kept"));
        EXPECT_EQ(pieces.join(u'|'), QString::fromUtf8(c.Pieces)) << c.Text;
    }
}

TEST(SplStrTest, ReplaceAllKeepsTheCaseOutsideTheMatches)
{
    TSplStr splitter(nullptr);
    String result = QStringLiteral("stale");
    // How the open dialog's filter names are made.
    splitter.ReplaceAll(QStringLiteral("*.AVI"), QStringLiteral("."), QString(), true, result);
    EXPECT_EQ(result, QStringLiteral("*AVI"));
    EXPECT_EQ(splitter.ReplaceAll(result, QStringLiteral("*"), QString(), true), QStringLiteral("AVI"));

    EXPECT_EQ(splitter.ReplaceAll(QStringLiteral("aXbx"), QStringLiteral("x"), QStringLiteral("-"), false),
              QStringLiteral("a-b-"));
    EXPECT_EQ(splitter.ReplaceAll(QStringLiteral("aXbx"), QStringLiteral("x"), QStringLiteral("-"), true),
              QStringLiteral("aXb-"));
    // Replacements are not searched again, and an empty pattern matches nothing.
    EXPECT_EQ(splitter.ReplaceAll(QStringLiteral("aaa"), QStringLiteral("a"), QStringLiteral("aa"), true),
              QStringLiteral("aaaaaa"));
    EXPECT_EQ(splitter.ReplaceAll(QStringLiteral("abc"), QString(), QStringLiteral("x"), false), QStringLiteral("abc"));
}

}  // namespace
