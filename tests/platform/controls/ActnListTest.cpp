// Actions: linked controls follow the action's settings unless they set
// their own, a click runs the action, an action without a handler goes to
// the focused control and its parents, and each side outlives the other.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/controls/ActnList.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

namespace {

class ActnListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        button = new TButton(form.get());
        button->SetParent(form.get());
        button->SetBounds(10, 10, 75, 23);
        action = new TAction(form.get());
        action->SetCaption(QStringLiteral("Open"));
        action->SetHint(QStringLiteral("Opens a file"));
        action->OnExecute = TNotifyEvent::FromFunction([this](TObject*) { ++executed; });
        form->Show();
        app->ProcessMessages();
    }
    void TearDown() override
    {
        form.reset();
        app.reset();
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> form;
    TButton* button = nullptr;
    TAction* action = nullptr;
    int executed = 0;
};

TEST_F(ActnListTest, LinkedControlFollowsTheActionAndItsClickRunsIt)
{
    button->SetAction(action);
    EXPECT_EQ(button->Caption(), QStringLiteral("Open"));
    EXPECT_EQ(button->Hint(), QStringLiteral("Opens a file"));
    button->PerformClick();
    EXPECT_EQ(executed, 1);

    action->SetEnabled(false);
    action->SetVisible(false);
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(button->Visible());
    action->SetEnabled(true);
    action->SetVisible(true);

    // A caption of the control's own stays; a handler of its own runs in
    // place of the action.
    button->SetCaption(QStringLiteral("Mine"));
    action->SetCaption(QStringLiteral("Open..."));
    EXPECT_EQ(button->Caption(), QStringLiteral("Mine"));
    int own = 0;
    button->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++own; });
    button->PerformClick();
    EXPECT_EQ(own, 1);
    EXPECT_EQ(executed, 1);
}

TEST_F(ActnListTest, LinkingWhileLoadingKeepsWhatTheControlSet)
{
    button->SetCaption(QStringLiteral("Stored"));
    button->Loading();
    button->SetAction(action);
    button->Loaded();
    EXPECT_EQ(button->Caption(), QStringLiteral("Stored"));
    EXPECT_EQ(button->Hint(), QStringLiteral("Opens a file"));
}

TEST_F(ActnListTest, EitherSideMayGoFirst)
{
    button->SetAction(action);
    delete action;
    EXPECT_EQ(button->Action(), nullptr);
    button->PerformClick();  // nothing left to run

    auto* list = new TActionList(form.get());
    auto* images = new TImageList(form.get());
    list->SetImages(images);
    auto* second = new TAction(form.get());
    second->SetActionList(list);
    button->SetAction(second);
    delete images;
    EXPECT_EQ(list->Images(), nullptr);
    delete list;
    EXPECT_EQ(second->ActionList(), nullptr);
    button->SetAction(nullptr);
    EXPECT_EQ(second->ClientCount(), 0);
}

// Acts on any action it is asked about.
class TTargetEdit : public TEdit {
public:
    using TEdit::TEdit;
    bool ExecuteAction(TBasicAction*) override
    {
        ++Executed;
        return true;
    }
    int Executed = 0;
};

TEST_F(ActnListTest, AnActionWithoutHandlerGoesToTheFocusedControl)
{
    auto* edit = new TTargetEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 50, 100, 21);
    edit->SetFocus();
    app->ProcessMessages();
    TAction bare(nullptr);
    EXPECT_TRUE(bare.Execute());
    EXPECT_EQ(edit->Executed, 1);
    // Updating finds no handler and no control that updates it.
    EXPECT_FALSE(bare.Update());
}

}  // namespace
