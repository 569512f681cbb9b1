// The character-set table: its ends, unique names, and code pages that agree
// with the names that carry one.
#include <QSet>
#include <QString>
#include <gtest/gtest.h>

#include "support/SxCharsets.h"

namespace {

TEST(SxCharsets, TableRunsFromAsmoToAnsiWithUniqueNames)
{
    EXPECT_STREQ(SxCharsets.front().Name, "ASMO-708");
    EXPECT_STREQ(SxCharsets.back().Name, "x-ansi");
    QSet<QString> names;
    for (const TSxCharsetInfo& c : SxCharsets) {
        const QString lower = QString::fromLatin1(c.Name).toLower();
        EXPECT_FALSE(names.contains(lower)) << c.Name;
        names.insert(lower);
        EXPECT_GT(c.CodePage, 0) << c.Name;
        EXPECT_GT(c.InternetCodePage, 0) << c.Name;
        // "windows-1252", "x-cp20936": the number is the internet code page.
        const QString name = QString::fromLatin1(c.Name);
        for (const char* prefix : {"windows-", "x-cp"}) {
            if (name.startsWith(QString::fromLatin1(prefix), Qt::CaseInsensitive)) {
                EXPECT_EQ(name.mid(int(qstrlen(prefix))).toInt(), c.InternetCodePage) << c.Name;
            }
        }
    }
}

}  // namespace
