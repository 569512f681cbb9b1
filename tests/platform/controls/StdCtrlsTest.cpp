// Tests of the standard controls on the offscreen platform: a memo follows
// the lines added at its end.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
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

}  // namespace
