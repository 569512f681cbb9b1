// Tests of the standard controls on the offscreen platform: a memo follows
// the lines added at its end.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <functional>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

namespace {

class StdCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        memo = new TMemo(form.get());
        memo->SetParent(form.get());
        memo->SetAlign(alClient);
        memo->SetReadOnly(true);
        form->Show();
        app->ProcessMessages();
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    QPlainTextEdit* edit() const { return static_cast<QPlainTextEdit*>(memo->Widget()); }
    // The number of the last line shown in the memo's viewport.
    int lastVisibleLine() const
    {
        const QRect view = edit()->viewport()->rect();
        return edit()->cursorForPosition(QPoint(2, view.bottom() - 2)).blockNumber();
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TMemo* memo = nullptr;
};

TEST_F(StdCtrlsTest, MemoFollowsAddedLinesWhileTheCaretIsAtTheEnd)
{
    for (int i = 0; i < 500; ++i) {
        memo->Lines()->Add(QStringLiteral("line %1").arg(i));
        if (i % 50 == 0)
            app->ProcessMessages();
    }
    app->ProcessMessages();
    EXPECT_EQ(edit()->document()->blockCount(), 500);
    EXPECT_EQ(edit()->document()->lastBlock().text(), QStringLiteral("line 499"));
    EXPECT_EQ(lastVisibleLine(), 499);
    EXPECT_GT(edit()->verticalScrollBar()->value(), 400);
    EXPECT_EQ(memo->Lines()->Count(), 500);
}

// The log memo fills while its panel is hidden; shown, it shows the end.
TEST_F(StdCtrlsTest, MemoFilledWhileHiddenShowsItsEndWhenShown)
{
    memo->SetVisible(false);
    app->ProcessMessages();
    for (int i = 0; i < 500; ++i)
        memo->Lines()->Add(QStringLiteral("line %1").arg(i));
    memo->SetVisible(true);
    app->ProcessMessages();
    EXPECT_EQ(lastVisibleLine(), 499);
}

TEST_F(StdCtrlsTest, MemoKeepsItsPlaceWhenTheCaretIsElsewhere)
{
    for (int i = 0; i < 100; ++i)
        memo->Lines()->Add(QStringLiteral("line %1").arg(i));
    app->ProcessMessages();
    // The user goes back to the top to read.
    QTextCursor top = edit()->textCursor();
    top.movePosition(QTextCursor::Start);
    edit()->setTextCursor(top);
    edit()->verticalScrollBar()->setValue(0);
    for (int i = 100; i < 200; ++i)
        memo->Lines()->Add(QStringLiteral("line %1").arg(i));
    app->ProcessMessages();
    EXPECT_EQ(edit()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(edit()->textCursor().position(), 0);
    EXPECT_EQ(edit()->document()->blockCount(), 200);
    // Lines changed, inserted, deleted or replaced as a whole: the memo
    // shows exactly the lines, and its text follows them.
    memo->Lines()->Put(0, QStringLiteral("first"));
    memo->Lines()->Insert(1, QStringLiteral("second"));
    memo->Lines()->Delete(2);
    memo->Lines()->Add(QStringLiteral("last"));
    EXPECT_EQ(edit()->document()->blockCount(), 201);
    EXPECT_EQ(edit()->document()->firstBlock().text(), QStringLiteral("first"));
    EXPECT_EQ(edit()->document()->firstBlock().next().text(), QStringLiteral("second"));
    EXPECT_EQ(edit()->document()->firstBlock().next().next().text(), QStringLiteral("line 2"));
    EXPECT_EQ(edit()->document()->lastBlock().text(), QStringLiteral("last"));
    EXPECT_EQ(memo->Text(), memo->Lines()->Text());
    memo->Lines()->Clear();
    memo->Lines()->Add(QStringLiteral("only"));
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("only"));
    memo->Lines()->Add(QStringLiteral("next"));
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("only\nnext"));
    EXPECT_EQ(memo->Text(), QStringLiteral("only\nnext\n"));
    memo->SetText(QStringLiteral("a\nb"));
    memo->Lines()->Add(QStringLiteral("c"));
    EXPECT_EQ(edit()->toPlainText(), QStringLiteral("a\nb\nc"));
}

// The widget and the text follow every kind of change of the lines; lines
// added at the end are appended, everything else rewrites the text.
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
