#include <gtest/gtest.h>

#include "platform/rtl/String.h"

TEST(String, LibraryTextKeepsEveryByteVisible)
{
    struct Case { const char* bytes; String expected; };
    const Case cases[] = {
        {"plain", QStringLiteral("plain")},
        {"caf\xc3\xa9", QStringLiteral("café")},
        {"caf\xe9 ok", QString::fromUtf8("caf\xef\xbf\xbd ok")},   // Latin-1 byte: replaced, text goes on
        {"\xff\xfe", QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd")},
        {"", String()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LibraryText(c.bytes), c.expected) << c.bytes;
    EXPECT_TRUE(LibraryText(static_cast<const char*>(nullptr)).isEmpty());
}

TEST(String, FileNamesGoOutAsUtf8)
{
    EXPECT_EQ(Utf8FileName(QStringLiteral("/tmp/vidéo 1.avi")), QByteArray("/tmp/vid\xc3\xa9o 1.avi"));
}
