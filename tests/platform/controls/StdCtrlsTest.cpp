// The memo's widget and text follow its lines through every kind of change;
// lines added at the end are appended, everything else rewrites the text.
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

namespace {

TEST(Memo, WidgetAndTextFollowEveryChangeOfTheLines)
{
    TApplication app(nullptr);
    app.Initialize();
    TForm form(nullptr);
    auto* memo = new TMemo(&form);
    memo->SetParent(&form);
    form.Show();
    auto* widget = static_cast<QPlainTextEdit*>(memo->Widget());
    ASSERT_NE(widget, nullptr);
    TStrings* lines = memo->Lines();
    const auto expectShown = [&](const QStringList& want) {
        EXPECT_EQ(widget->toPlainText(), want.join(u'\n'));
        String text = memo->Text();
        if (text.endsWith(u'\n'))
            text.chop(1);
        EXPECT_EQ(text, want.join(u'\n'));
        EXPECT_EQ(lines->Count(), want.size());
    };
    const struct {
        const char* what;
        std::function<void()> change;
        QStringList want;
    } steps[] = {
        {"an empty first line", [&] { lines->Add(String()); }, {QString()}},
        {"added after it", [&] { lines->Add(QStringLiteral("a")); }, {QString(), QStringLiteral("a")}},
        {"inserted at the top", [&] { lines->Insert(0, QStringLiteral("top")); },
         {QStringLiteral("top"), QString(), QStringLiteral("a")}},
        {"changed in the middle", [&] { lines->Put(1, QStringLiteral("mid")); },
         {QStringLiteral("top"), QStringLiteral("mid"), QStringLiteral("a")}},
        {"deleted", [&] { lines->Delete(0); }, {QStringLiteral("mid"), QStringLiteral("a")}},
        {"added in one update",
         [&] {
             lines->BeginUpdate();
             lines->Add(QStringLiteral("b"));
             lines->Add(QStringLiteral("c"));
             lines->EndUpdate();
         },
         {QStringLiteral("mid"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {"cleared and refilled in one update",
         [&] {
             lines->BeginUpdate();
             lines->Clear();
             lines->Add(QStringLiteral("x"));
             lines->Add(QStringLiteral("y"));
             lines->EndUpdate();
         },
         {QStringLiteral("x"), QStringLiteral("y")}},
        {"set as one text", [&] { memo->SetText(QStringLiteral("p\nq")); }, {QStringLiteral("p"), QStringLiteral("q")}},
        {"added after the text", [&] { lines->Add(QStringLiteral("r")); },
         {QStringLiteral("p"), QStringLiteral("q"), QStringLiteral("r")}},
        {"cleared", [&] { lines->Clear(); }, {}},
        {"added to an empty memo", [&] { lines->Add(QStringLiteral("z")); }, {QStringLiteral("z")}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        expectShown(step.want);
    }

    // What the user types reaches the lines, and later additions follow it.
    widget->setPlainText(QStringLiteral("typed\ntext"));
    EXPECT_EQ(lines->Count(), 2);
    lines->Add(QStringLiteral("more"));
    expectShown({QStringLiteral("typed"), QStringLiteral("text"), QStringLiteral("more")});
}

TEST(Memo, AReadOnlyMemoKeepsNoUndoHistory)
{
    TApplication app(nullptr);
    app.Initialize();
    TForm form(nullptr);
    auto* memo = new TMemo(&form);
    memo->SetParent(&form);
    memo->SetReadOnly(true);
    form.Show();
    for (int i = 0; i < 50; ++i)
        memo->Lines()->Add(QStringLiteral("line %1").arg(i));
    auto* widget = static_cast<QPlainTextEdit*>(memo->Widget());
    EXPECT_FALSE(widget->document()->isUndoAvailable());
    EXPECT_EQ(widget->document()->blockCount(), 50);
}

}  // namespace
