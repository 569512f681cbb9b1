// The inner edit: keys the edit ignores reach the after-key-down event;
// no input path gets past an editor that refuses editing; in place Enter
// and Escape do nothing; the password character; the selection across a
// focus change.
#include "EditControlFixture.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStyle>

namespace {

using TInnerEdit = TEditControlFixture;

QLineEdit* lineEdit(TTestEdit* AEdit) { return static_cast<QLineEdit*>(AEdit->InnerWidget()); }

TEST_F(TInnerEdit, KeysTheEditIgnoresReachTheAfterKeyDownEvent)
{
    TTestEdit* edit = MakeEdit();
    edit->SetEditValue(Variant(String::fromLatin1("abc")));
    edit->SetFocus();
    lineEdit(edit)->setCursorPosition(3);
    std::vector<uint16_t> keys;
    edit->OnAfterKeyDown = TKeyEvent::FromFunction([&](TObject*, uint16_t& AKey, TShiftState) { keys.push_back(AKey); });

    Key(edit->InnerWidget(), Qt::Key_F5);
    Key(edit->InnerWidget(), Qt::Key_Left);  // moves the caret
    EXPECT_EQ(keys, (std::vector<uint16_t>{uint16_t(VK_F1 + 4)}));
    EXPECT_EQ(lineEdit(edit)->cursorPosition(), 2);
}

TEST_F(TInnerEdit, RefusingOwnerKeepsTheTextOnEveryInputPath)
{
    TTestEdit* edit = MakeEdit();
    edit->SetEditValue(Variant(String::fromLatin1("abc")));
    edit->SetFocus();
    // Something to undo, typed while editing was allowed.
    lineEdit(edit)->setCursorPosition(3);
    Type(edit->InnerWidget(), QStringLiteral("d"));
    ASSERT_EQ(edit->Text(), String::fromLatin1("abcd"));
    // Not editing any more: every change asks the editor again.
    edit->SetEditModified(false);
    edit->Refuse = true;
    QApplication::clipboard()->setText(QStringLiteral("zz"));
    QApplication::clipboard()->setText(QStringLiteral("zz"), QClipboard::Selection);
    QWidget* w = edit->InnerWidget();

    const struct {
        const char* Name;
        std::function<void()> Input;
    } paths[] = {
        {"typing", [&] { Type(w, QStringLiteral("x")); }},
        {"Ctrl+V", [&] { Key(w, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16")); }},
        {"Shift+Insert", [&] { Key(w, Qt::Key_Insert, Qt::ShiftModifier); }},
        {"Ctrl+X", [&] {
             lineEdit(edit)->selectAll();
             Key(w, Qt::Key_X, Qt::ControlModifier, QStringLiteral("\x18"));
         }},
        {"Delete", [&] {
             lineEdit(edit)->setCursorPosition(0);
             Key(w, Qt::Key_Delete);
         }},
        {"Backspace", [&] {
             lineEdit(edit)->setCursorPosition(4);
             Key(w, Qt::Key_Backspace);
         }},
        {"undo", [&] { Key(w, Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a")); }},
        {"middle click", [&] {
             Mouse(w, QEvent::MouseButtonPress, QPoint(5, 5), Qt::MiddleButton, Qt::MiddleButton);
             Mouse(w, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::MiddleButton, Qt::NoButton);
         }},
        {"drop", [&] {
             QMimeData data;
             data.setText(QStringLiteral("zz"));
             QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(w, &drop);
         }},
        {"input method", [&] {
             QInputMethodEvent commit;
             commit.setCommitString(QStringLiteral("zz"));
             QApplication::sendEvent(w, &commit);
         }},
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.Name);
        path.Input();
        EXPECT_EQ(edit->Text(), String::fromLatin1("abcd"));
    }

    // Allowed again, the same paths edit.
    edit->Refuse = false;
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("zz"));
    lineEdit(edit)->setCursorPosition(4);
    QApplication::sendEvent(w, &commit);
    EXPECT_EQ(edit->Text(), String::fromLatin1("abcdzz"));
}

TEST_F(TInnerEdit, InPlaceEnterAndEscapeNeverReachTheEdit)
{
    TTestEdit* edit = MakeEdit(true);
    edit->SetVisible(true);
    edit->SetEditValue(Variant(String::fromLatin1("abc")));
    edit->SetFocus();
    int returns = 0;
    QObject::connect(lineEdit(edit), &QLineEdit::returnPressed, [&] { ++returns; });
    Key(edit->InnerWidget(), Qt::Key_Return);
    Key(edit->InnerWidget(), Qt::Key_Escape);
    EXPECT_EQ(returns, 0);
    EXPECT_EQ(edit->Text(), String::fromLatin1("abc"));

    TTestEdit* standalone = MakeEdit();
    standalone->SetTop(40);
    standalone->SetFocus();
    QObject::connect(lineEdit(standalone), &QLineEdit::returnPressed, [&] { ++returns; });
    Key(standalone->InnerWidget(), Qt::Key_Return);
    EXPECT_EQ(returns, 1);
}

TEST_F(TInnerEdit, PasswordCharacterZeroShowsAsterisks)
{
    TTestEdit* edit = MakeEdit();
    edit->SetEditValue(Variant(String::fromLatin1("abc")));
    edit->Inner()->SetEchoMode(eemPassword);
    EXPECT_EQ(lineEdit(edit)->displayText(), QStringLiteral("***"));
    edit->Inner()->SetPasswordChar(QChar('#'));
    EXPECT_EQ(lineEdit(edit)->displayText(), QStringLiteral("###"));
}

TEST_F(TInnerEdit, SelectionSurvivesAFocusChange)
{
    TTestEdit* edit = MakeEdit();
    TTestEdit* other = MakeEdit();
    other->SetTop(40);
    edit->SetEditValue(Variant(String::fromLatin1("abcdef")));
    edit->Inner()->SetAutoSelect(false);
    edit->SetFocus();
    edit->Inner()->SetSelStart(1);
    edit->Inner()->SetSelLength(3);

    other->SetFocus();
    ASSERT_FALSE(edit->Focused());
    EXPECT_EQ(edit->Inner()->GetSelStart(), 1);
    EXPECT_EQ(edit->Inner()->GetSelLength(), 3);
    edit->SetFocus();
    EXPECT_EQ(edit->Inner()->GetSelText(), String::fromLatin1("bcd"));
}

TEST_F(TInnerEdit, RightAlignmentShowsOnlyUnfocused)
{
    TTestEdit* edit = MakeEdit();
    TTestEdit* other = MakeEdit();
    other->SetTop(40);
    Unfocus();
    edit->Inner()->SetAlignment(taRightJustify);
    EXPECT_TRUE(lineEdit(edit)->alignment() & Qt::AlignRight);
    edit->SetFocus();
    EXPECT_TRUE(lineEdit(edit)->alignment() & Qt::AlignLeft);
    other->SetFocus();
    EXPECT_TRUE(lineEdit(edit)->alignment() & Qt::AlignRight);
}

}  // namespace
