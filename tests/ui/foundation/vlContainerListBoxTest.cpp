// Tests of the inner list box inside a container on a shown offscreen
// form: the incremental search on a clock set by hand, the keys it leaves
// to the container, the vl scroll bars over the list's own, and the press
// that keeps a multiple selection for a drag.
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "ContainerUnitFixture.h"
#include "platform/controls/StdCtrls.h"

namespace {

void key(QWidget* W, int Key, const QString& Text = {}, Qt::KeyboardModifiers Modifiers = {})
{
    QKeyEvent down(QEvent::KeyPress, Key, Modifiers, Text);
    QApplication::sendEvent(W, &down);
    QKeyEvent up(QEvent::KeyRelease, Key, Modifiers, Text);
    QApplication::sendEvent(W, &up);
}

struct InnerListBox : TContainerUnitFixture {
    InnerListBox()
    {
        Container = new TvlContainer(Form.get());
        Container->SetParent(Form.get());
        Container->SetBounds(10, 10, 150, 120);
        Box = new TvlCustomInnerListBox(Container);
        Box->SetParent(Container);
        Box->SetBounds(2, 2, 146, 116);
        Box->SetContainer(Container);
        Container->SetInnerControl(Box);
        for (const char* item : {"Apple", "Banana", "Berry", "Cherry", "Rye"})
            Box->Items()->Add(QString::fromLatin1(item));
        Box->SetTickCount([this] { return Now; });
        Box->SetAutoCompleteDelay(500);
        Box->OnKeyPress = TKeyPressEvent::FromFunction([this](TObject*, QChar& Key) { BoxChars += Key; });
        Box->OnKeyUp = TKeyEvent::FromFunction([this](TObject*, uint16_t& Key, TShiftState) { BoxKeysUp.push_back(Key); });
        Container->OnKeyDown =
            TKeyEvent::FromFunction([this](TObject*, uint16_t& Key, TShiftState) { ContainerKeys.push_back(Key); });
        QApplication::processEvents();
    }
    QListWidget* list() { return static_cast<QListWidget*>(Box->Widget()); }
    // The list lays its items out after the change, and the vl bars follow
    // after that.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    void type(QChar Ch, uint32_t After = 0)
    {
        Now += After;
        key(list(), Qt::Key_A + (Ch.toUpper().unicode() - 'A'), QString(Ch));
    }
    // Presses on item Index, as the list's viewport would get it.
    void pressItem(int Index, Qt::KeyboardModifiers Modifiers = {})
    {
        QWidget* viewport = list()->viewport();
        const QPoint p = list()->visualItemRect(list()->item(Index)).center();
        QMouseEvent down(QEvent::MouseButtonPress, p, viewport->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                         Modifiers);
        QApplication::sendEvent(viewport, &down);
        QMouseEvent up(QEvent::MouseButtonRelease, p, viewport->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                       Modifiers);
        QApplication::sendEvent(viewport, &up);
    }
    std::vector<int> selection()
    {
        std::vector<int> result;
        for (int i = 0; i < Box->Items()->Count(); ++i)
            if (Box->Selected(i))
                result.push_back(i);
        return result;
    }

    TvlContainer* Container = nullptr;
    TvlCustomInnerListBox* Box = nullptr;
    uint32_t Now = 1000;
    QString BoxChars;
    std::vector<uint16_t> BoxKeysUp;
    std::vector<uint16_t> ContainerKeys;
};

TEST_F(InnerListBox, TypingSearchesTheStartsOfTheItems)
{
    struct Case {
        const char* Typed;
        uint32_t Pause;  // before the second letter
        int Item;
        const char* Search;
    } cases[] = {
        {"be", 100, 2, "be"},   // within the delay: both letters
        {"br", 499, 1, "br"},   // no item starts so: the selection stays
        {"br", 500, 4, "r"},    // after the delay: the second letter alone
        {"bc", 900, 3, "c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        Box->SetItemIndex(0);
        Now += 10000;
        type(QChar::fromLatin1(c.Typed[0]));
        EXPECT_EQ(Box->ItemIndex(), 1);
        type(QChar::fromLatin1(c.Typed[1]), c.Pause);
        EXPECT_EQ(Box->ItemIndex(), c.Item);
        EXPECT_EQ(Box->SearchText(), QString::fromLatin1(c.Search));
        EXPECT_EQ(list()->currentRow(), c.Item);
    }
    EXPECT_EQ(BoxChars, QStringLiteral("bebrbrbc"));
}

TEST_F(InnerListBox, BackspaceShortensTheSearchAndTheSelectionFollows)
{
    type('b');
    type('e', 10);
    ASSERT_EQ(Box->ItemIndex(), 2);
    key(list(), Qt::Key_Backspace);
    EXPECT_EQ(Box->SearchText(), QStringLiteral("b"));
    EXPECT_EQ(Box->ItemIndex(), 1);
    key(list(), Qt::Key_Backspace);
    EXPECT_EQ(Box->SearchText(), QString());
    EXPECT_EQ(Box->ItemIndex(), 0);  // an empty search goes to the first item
}

TEST_F(InnerListBox, TabGoesToTheContainerAndNeverToTheListBox)
{
    key(list(), Qt::Key_Tab);
    EXPECT_NE(std::find(ContainerKeys.begin(), ContainerKeys.end(), VK_TAB), ContainerKeys.end());
    EXPECT_EQ(std::find(BoxKeysUp.begin(), BoxKeysUp.end(), VK_TAB), BoxKeysUp.end());
    EXPECT_FALSE(BoxChars.contains(QChar(9)));
    // Enter reaches the container too, but not the list box's own handler.
    key(list(), Qt::Key_Return);
    EXPECT_NE(std::find(ContainerKeys.begin(), ContainerKeys.end(), VK_RETURN), ContainerKeys.end());
    EXPECT_FALSE(BoxChars.contains(QChar(13)));
}

TEST_F(InnerListBox, TheVlBarsCoverTheListsOwnWithTheSameRangeUntilTheListIsCleared)
{
    TvlScrollBar* bar = Box->VScrollBar();
    EXPECT_FALSE(bar->Visible());
    for (int i = 0; i < 40; ++i)
        Box->Items()->Add(QStringLiteral("Item %1").arg(i));
    settle();
    QScrollBar* system = list()->verticalScrollBar();
    ASSERT_TRUE(system->isVisibleTo(list()));
    ASSERT_TRUE(bar->Visible());
    EXPECT_EQ(bar->Parent(), Container);
    EXPECT_EQ(bar->Min(), system->minimum());
    EXPECT_EQ(bar->PageSize(), system->pageStep());
    EXPECT_EQ(bar->Max() - bar->PageSize() + 1, system->maximum());
    EXPECT_EQ(bar->Left(), Box->Left() + system->mapTo(list(), QPoint(0, 0)).x());
    EXPECT_EQ(bar->Height(), system->height());
    EXPECT_FALSE(Box->HScrollBar()->Visible());

    // Scrolling the list moves the vl bar, and the vl bar scrolls the list.
    Box->SetTopIndex(10);
    settle();
    EXPECT_EQ(bar->Position(), system->value());
    bar->Scroll(scPageDown);
    EXPECT_EQ(system->value(), bar->Position());
    EXPECT_EQ(Box->TopIndex(), system->value());

    Box->Items()->Clear();
    settle();
    EXPECT_FALSE(bar->Visible());
    EXPECT_FALSE(Box->HScrollBar()->Visible());
}

TEST_F(InnerListBox, APressOnASelectedItemKeepsAMultipleSelectionForTheDrag)
{
    Box->SetMultiSelect(true);
    struct Case {
        TDragMode Mode;
        Qt::KeyboardModifiers Modifiers;
        std::vector<int> Selection;
    } cases[] = {
        {dmAutomatic, {}, {1, 3}},
        {dmAutomatic, Qt::ControlModifier | Qt::ShiftModifier, {1, 3}},
        {dmAutomatic, Qt::ShiftModifier, {1, 2, 3}},  // extends from the caret
        {dmManual, {}, {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Modifiers));
        Box->SetDragMode(c.Mode);
        Box->ClearSelection();
        Box->SetItemIndex(1);
        Box->SetSelected(1, true);
        Box->SetSelected(3, true);
        pressItem(3, c.Modifiers);
        EXPECT_EQ(selection(), c.Selection);
        EXPECT_EQ(Box->DragMode(), c.Mode);
    }
}

}  // namespace
