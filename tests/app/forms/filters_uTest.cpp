// The filters dialog on its own: switching a row, resetting it, and boxes
// that take no typed text.
#include <QKeyEvent>

#include "app/filters_u.h"
#include "tests/app/forms/DialogTestSupport.h"

namespace {

using namespace vorlane::test;

class FiltersDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        dialog = std::make_unique<TfrmFilters>(nullptr);
    }
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TfrmFilters> dialog;
};

TEST_F(FiltersDialogTest, DesignState)
{
    EXPECT_EQ(dialog->Caption(), QStringLiteral("Filters"));
    EXPECT_EQ(dialog->ClientWidth(), 347);
    EXPECT_EQ(dialog->ClientHeight(), 349);
    for (TTrackBar* bar : {dialog->trbBrightness, dialog->trbContrast, dialog->trbSaturation}) {
        EXPECT_EQ(bar->Min(), -100);
        EXPECT_EQ(bar->Max(), 100);
        EXPECT_EQ(bar->Position(), 0);
        EXPECT_FALSE(bar->Enabled());
    }
    EXPECT_FALSE(dialog->btnContrast->Enabled());
    EXPECT_EQ(dialog->cboFlip->Items()->Count(), 4);
    EXPECT_EQ(dialog->cboFlip->Text(), QString());
    EXPECT_EQ(dialog->cboRotate->Items()->Strings(2), QStringLiteral("Left"));
}

TEST_F(FiltersDialogTest, ARowFollowsItsBoxAndKeepsItsPosition)
{
    dialog->chkContrast->SetChecked(true);
    EXPECT_TRUE(dialog->trbContrast->Enabled());
    EXPECT_TRUE(dialog->btnContrast->Enabled());
    EXPECT_FALSE(dialog->trbBrightness->Enabled());
    dialog->trbContrast->SetPosition(-40);
    EXPECT_EQ(dialog->Contrast(), -40);
    dialog->chkContrast->SetChecked(false);
    EXPECT_FALSE(dialog->trbContrast->Enabled());
    EXPECT_FALSE(dialog->btnContrast->Enabled());
    EXPECT_EQ(dialog->trbContrast->Position(), -40);

    dialog->chkContrast->SetChecked(true);
    dialog->btnContrast->Click();
    EXPECT_EQ(dialog->trbContrast->Position(), 0);
    EXPECT_EQ(dialog->Contrast(), 0);
}

TEST_F(FiltersDialogTest, TypingIntoTheListsChangesNothing)
{
    dialog->Show();
    for (TComboBox* box : {dialog->cboFlip, dialog->cboRotate}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_R, Qt::NoModifier, QStringLiteral("R"));
        QApplication::sendEvent(box->Widget(), &press);
        EXPECT_EQ(box->ItemIndex(), 0);
        EXPECT_EQ(static_cast<QComboBox*>(box->Widget())->currentIndex(), 0);
    }
    ChooseItem(dialog->cboFlip, QStringLiteral("XY Flip"));
    EXPECT_EQ(dialog->cboFlip->Text(), QStringLiteral("XY Flip"));
}

TEST_F(FiltersDialogTest, EscapeCancels)
{
    dialog->chkBrightness->SetChecked(true);
    PostMessage(dialog->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

}  // namespace
