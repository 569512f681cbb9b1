// The skin manager on offscreen forms: which forms get a skinner and when,
// which skin data they get, and which actions tell the application.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/rtl/TypInfo.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"

namespace {

QByteArray ownSkinStream()
{
    QFile file(QStringLiteral(":/SkinStream"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SkinManageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeSkinManager();
        if (Application == nullptr) {
            app = std::make_unique<TApplication>(nullptr);
            app->Initialize();
        }
        main = std::make_unique<TForm>(nullptr);
        main->SetBounds(0, 0, 300, 200);
    }
    void TearDown() override
    {
        FreeSkinManager();
        main.reset();
        app.reset();
    }
    // SkinData1 on the main form, read as a form would be.
    TSkinData* loadSkinData(bool active, int disableTag = 99)
    {
        auto* data = new TSkinData(main.get());
        data->Loading();
        data->SetActive(active);
        data->SetDisableTag(disableTag);
        SetBinaryProp(data, QStringLiteral("SkinStream"), ownSkinStream());
        data->Loaded();
        return data;
    }
    std::unique_ptr<TForm> makeForm(int w = 200, int h = 100)
    {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetBounds(10, 10, w, h);
        return form;
    }
    static void activate(TForm* form)
    {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(form->Widget(), &activate);
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TForm> main;
};

}  // namespace

TEST_F(SkinManageTest, FormsShownAfterTheFirstActivationGetASkinner)
{
    TSkinData* data = loadSkinData(true);
    TSkinManage* manager = SkinManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(manager->On());
    EXPECT_EQ(manager->StartState(), 0);

    auto early = makeForm();
    early->Show();
    EXPECT_EQ(manager->FindSkinner(early.get()), nullptr);  // not started yet

    const TColor before = main->Color();
    main->SetName(QStringLiteral("MainForm"));
    QStringList events;
    // Other forms the offscreen platform activates meanwhile are skinned too;
    // only the main form's events are counted.
    data->OnBeforeSkinForm = TOnSkinForm::FromFunction([&](TObject*, intptr_t, String name) {
        if (!name.isEmpty())
            events << "before " + name;
    });
    data->OnAfterSkinForm = TOnSkinForm::FromFunction([&](TObject*, intptr_t, String name) {
        if (!name.isEmpty())
            events << "after " + name;
    });
    main->Show();
    activate(main.get());
    EXPECT_EQ(manager->StartState(), 1);
    TSknForm* skinner = manager->FindSkinner(main.get());
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(skinner->SkinData(), data);
    EXPECT_EQ(skinner->State(), 0);  // the frame waits for the "finish" message
    QApplication::processEvents();  // the posted "finish" message
    EXPECT_EQ(skinner->State(), 1);
    EXPECT_EQ(main->Color(), data->Colors[scButtonFace].Color);
    EXPECT_EQ(events, (QStringList{"before MainForm", "after MainForm"}));
    data->OnBeforeSkinForm = nullptr;
    data->OnAfterSkinForm = nullptr;

    auto later = makeForm();
    later->Show();
    EXPECT_NE(manager->FindSkinner(later.get()), nullptr);

    // A Tag 99 form never gets one, whatever DisableTag says; nor does an empty one.
    data->SetDisableTag(5);
    auto tagged = makeForm();
    tagged->SetTag(99);
    tagged->Show();
    EXPECT_EQ(manager->FindSkinner(tagged.get()), nullptr);
    EXPECT_FALSE(manager->SkinWindow(tagged.get()));
    auto empty = makeForm(0, 0);
    EXPECT_FALSE(manager->SkinWindow(empty.get()));
    EXPECT_EQ(manager->FindSkinner(empty.get()), nullptr);

    EXPECT_EQ(FindControlByHandle(later->Handle()), later.get());
    EXPECT_EQ(FindControlByHandle(nullptr), nullptr);

    // A destroyed form's skinner leaves the list with it.
    const size_t count = manager->Skinners().size();
    later.reset();
    EXPECT_EQ(manager->Skinners().size(), count - 1);

    // Unskinning all gives the main form its colour and procedure back.
    std::vector<int> scheduled;
    manager->SetScheduler([&](int ms) { scheduled.push_back(ms); });
    data->SetActive(false);
    EXPECT_EQ(scheduled, std::vector<int>{250});
    manager->DoAction();
    EXPECT_FALSE(manager->On());
    EXPECT_EQ(manager->FindSkinner(main.get()), nullptr);
    EXPECT_EQ(main->Color(), before);
    EXPECT_EQ(main->Perform(WM_USER + 1), 0);  // the form's own procedure answers again
}

TEST_F(SkinManageTest, EarlyActiveFalseOnlySwitchesTheManagerOff)
{
    TSkinData* data = loadSkinData(true);
    TSkinManage* manager = SkinManager();
    std::vector<int> scheduled;
    manager->SetScheduler([&](int ms) { scheduled.push_back(ms); });
    data->SetActive(false);
    EXPECT_FALSE(manager->On());
    EXPECT_FALSE(manager->TimerEnabled());
    EXPECT_TRUE(scheduled.empty());
    main->Show();
    activate(main.get());
    EXPECT_EQ(manager->FindSkinner(main.get()), nullptr);
}

TEST_F(SkinManageTest, ActionThreeTellsTheApplicationAndActionSevenDoesNot)
{
    TSkinData* data = loadSkinData(true);
    TSkinManage* manager = SkinManager();
    std::vector<int> scheduled;
    manager->SetScheduler([&](int ms) { scheduled.push_back(ms); });
    main->Show();
    activate(main.get());
    ASSERT_NE(manager->FindSkinner(main.get()), nullptr);
    int changed = 0;
    data->OnSkinChanged = TNotifyEvent::FromFunction([&](TObject* sender) {
        EXPECT_EQ(sender, data);
        ++changed;
    });

    data->SkinChanged();  // action 3
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_TRUE(manager->TimerEnabled());
    manager->DoAction();
    EXPECT_EQ(changed, 1);

    TSknForm* first = manager->FindSkinner(main.get());
    manager->SetCurrentSkinData(data);
    manager->ReskinWindow(main.get(), 250);  // action 7
    manager->DoAction();
    EXPECT_EQ(changed, 1);
    TSknForm* second = manager->FindSkinner(main.get());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->State(), 0);
    EXPECT_EQ(std::count(manager->Skinners().begin(), manager->Skinners().end(), first),
              first == second ? 1 : 0);
}

TEST_F(SkinManageTest, SelectSkinDataAndCanSkin)
{
    TSkinManage& manager = CreateSkinManager();
    EXPECT_EQ(manager.SelectSkinData(nullptr, QStringLiteral("TForm")), nullptr);
    EXPECT_TRUE(manager.CanSkin(QStringLiteral("TPrintPreview")));  // no main skin data yet

    auto other = makeForm();
    TSkinData first(nullptr);
    first.SetSkinFormtype(sfDialog);
    TSkinData mainData(nullptr);
    TSkinData own(other.get());
    own.SetSkinFormtype(sfOnlyThisForm);
    TSkinData dialog(nullptr);
    dialog.SetSkinFormtype(sfDialog);
    for (TSkinData* d : {&first, &mainData, &own, &dialog})
        manager.RegisterSkinData(d);
    EXPECT_EQ(manager.MainSkinData(), &mainData);

    const struct {
        const TComponent* form;
        const char* cls;
        TSkinData* expected;
    } cases[] = {
        {other.get(), "TForm", &own},
        {other.get(), "TMessageForm", &own},
        {main.get(), "TMessageForm", &dialog},
        {main.get(), "#32770", &dialog},
        {main.get(), "TForm", &mainData},
        {nullptr, "TOptionsForm", &mainData},
    };
    for (const auto& c : cases)
        EXPECT_EQ(manager.SelectSkinData(c.form, QString::fromLatin1(c.cls)), c.expected) << c.cls;
    manager.UnregisterSkinData(&mainData);
    EXPECT_EQ(manager.SelectSkinData(main.get(), QStringLiteral("TForm")), &first);  // the first one

    manager.RegisterSkinData(&mainData);
    EXPECT_EQ(manager.MainSkinData(), &mainData);
    EXPECT_TRUE(manager.CanSkin(QStringLiteral("TPrintPreview")));  // xoPreview is on by default
    mainData.SetOptions(mainData.Options() - TSkinOptions{xoPreview});
    EXPECT_FALSE(manager.CanSkin(QStringLiteral("TPrintPreview")));
    mainData.SetOptions(mainData.Options() + TSkinOptions{xoPreview});
    EXPECT_TRUE(manager.CanSkin(QStringLiteral("TPrintPreview")));
    EXPECT_FALSE(manager.CanSkin(QStringLiteral("#32770"), 0x200));
    EXPECT_TRUE(manager.CanSkin(QStringLiteral("#32770")));
    EXPECT_FALSE(manager.CanSkin(QStringLiteral("TPopupDBTreeView")));
    EXPECT_FALSE(manager.CanSkin(QStringLiteral("SysMonthCal32")));
    for (TSkinData* d : {&first, &mainData, &own, &dialog})
        manager.UnregisterSkinData(d);
}

// The engine's messages reach forms that also handle the class library's
// own and reflected messages: none may share a number with those.
TEST(SkinMessages, LieInARangeOfTheirOwn)
{
    for (const unsigned m : {SKIN_NC_PAINT, SKIN_FINISH, SKIN_CUSTOM_ACTION, SKIN_BUTTON_VISIBLE, SKIN_REDRAW_FRAME,
                             SKIN_QUERY_SKINNED, SKIN_APPLY_COLOURS, SKIN_FORM_4B, SKIN_FORM_4D, SKIN_AFTER_SKIN}) {
        EXPECT_GE(m, SKIN_MSG_BASE);
        EXPECT_LE(m, SKIN_MSG_LAST);
    }
    EXPECT_LT(unsigned(SKIN_MSG_LAST), unsigned(CM_BASE));
    EXPECT_GE(unsigned(SKIN_MSG_BASE), unsigned(WM_APP));
}
