#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace {
VORLANE_RESOURCESTRING(STestNotFound, "File %s not found (%d)");

// Installs a handler for one test and takes it away again.
class HandlerScope {
public:
    explicit HandlerScope(std::vector<String>& seen)
    {
        SetApplicationExceptionHandler([&seen](const Exception& E) {
            seen.push_back(QString::fromLatin1(E.ClassName()) + QStringLiteral(": ") + E.Message());
        });
    }
    ~HandlerScope() { SetApplicationExceptionHandler({}); }
};
}  // namespace

TEST(Exception, MessagesPlainFormattedAndFromResources)
{
    EXPECT_EQ(Exception(QStringLiteral("plain")).Message(), QStringLiteral("plain"));
    EXPECT_EQ(Exception(QStringLiteral("%s is %d"), {QStringLiteral("x"), 5}).Message(), QStringLiteral("x is 5"));
    EXPECT_EQ(Exception::CreateResFmt(STestNotFound, {QStringLiteral("a.avi"), 2}).Message(),
              QStringLiteral("File a.avi not found (2)"));
    EConvertError e(QStringLiteral("ünïcode"));
    EXPECT_STREQ(e.what(), "ünïcode");
    EXPECT_STREQ(e.ClassName(), "EConvertError");
    e.SetMessage(QStringLiteral("changed"));
    EXPECT_STREQ(e.what(), "changed");
}

TEST(Exception, DispatchPointHandsEveryKindToTheApplication)
{
    std::vector<String> seen;
    const HandlerScope scope(seen);
    SafeCall([] { throw EConvertError(QStringLiteral("bad number")); });
    SafeCall([] { throw std::runtime_error("from the library"); });
    SafeCall([] { throw 42; });
    SafeCall([] {});
    EXPECT_EQ(seen, (std::vector<String>{QStringLiteral("EConvertError: bad number"),
                                         QStringLiteral("Exception: from the library"),
                                         QStringLiteral("Exception: Unknown exception")}));
}

TEST(Exception, AFailingHandlerDoesNotEscape)
{
    SetApplicationExceptionHandler([](const Exception&) { throw std::logic_error("handler broke"); });
    EXPECT_NO_THROW(SafeCall([] { throw Exception(QStringLiteral("first")); }));
    SetApplicationExceptionHandler({});
}

TEST(ResString, TranslationHookStandsInFrontOfEveryText)
{
    EXPECT_EQ(LoadResString(STestNotFound), QStringLiteral("File %s not found (%d)"));
    SetResStringLoader([](const TResStringRec& rec) {
        return QString::fromLatin1(rec.Name) == QStringLiteral("STestNotFound") ? QStringLiteral("Datei %s fehlt (%d)") : String();
    });
    EXPECT_EQ(LoadResStringFmt(STestNotFound, {QStringLiteral("a"), 1}), QStringLiteral("Datei a fehlt (1)"));
    EXPECT_EQ(LoadResString(RtlConsts::SReadError), QStringLiteral("Stream read error"));  // untranslated keeps the original
    SetResStringLoader({});
    EXPECT_EQ(LoadResString(STestNotFound), QStringLiteral("File %s not found (%d)"));
}
