// The settings dialog and the main window's stored state: what a close writes
// into the registry file, what a second start reads back, and the defaults
// that stand in for missing or unusable values.
#include "app/settingsU.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/controls/Menus.h"
#include "platform/os/Registry.h"
#include "support/KitAppRegistryStorage.h"
#include "support/SxRegistry.h"

namespace {

// A stand-in for the main window (built elsewhere): the components its form
// storage keeps, and that storage as the main window sets it up.
class TMainStandIn : public TForm {
public:
    explicit TMainStandIn(TComponent* AOwner) : TForm(AOwner)
    {
        Loading();
        SetName(QStringLiteral("frmMain"));
        SetBounds(100, 80, 640, 420);
        edtOutPath = new TEdit(this);
        edtOutPath->SetName(QStringLiteral("edtOutPath"));
        edtOutPath->SetParent(this);
        ShowLog1 = new TMenuItem(this);
        ShowLog1->SetName(QStringLiteral("ShowLog1"));
        KitAppRegistryStorage1 = new TKitAppRegistryStorage(this);
        KitAppRegistryStorage1->SetName(QStringLiteral("KitAppRegistryStorage1"));
        KitAppRegistryStorage1->SetRoot(QStringLiteral("Software"));
        KitFormStorage1 = new TKitFormStorage(this);
        KitFormStorage1->Loading();
        KitFormStorage1->SetName(QStringLiteral("KitFormStorage1"));
        KitFormStorage1->SetAppStorage(KitAppRegistryStorage1);
        KitFormStorage1->SetAppStoragePath(QStringLiteral("Vorlane\\"));
        KitFormStorage1->SetOptions({fpState, fpLocation});
        KitFormStorage1->SetStoredPropsPath(QStringLiteral("Options"));
        TStringList props;
        props.Add(QStringLiteral("edtOutPath.Text"));
        props.Add(QStringLiteral("ShowLog1.Checked"));
        KitFormStorage1->StoredProps()->Assign(&props);
        KitFormStorage1->Loaded();
        Loaded();
    }
    TEdit* edtOutPath;
    TMenuItem* ShowLog1;
    TKitAppRegistryStorage* KitAppRegistryStorage1;
    TKitFormStorage* KitFormStorage1;
};

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        SetRegistryDirectory(FDir.path());
        FApp.Initialize();
    }
    void TearDown() override { SetRegistryDirectory(String()); }

    // One program run up to its deferred start-up: main window shown, then
    // the settings dialog restored.
    struct Run {
        TMainStandIn* Main = nullptr;
        TfrmSettings* Settings = nullptr;
    };
    Run start()
    {
        Run r;
        FApp.CreateForm(r.Main);
        r.Settings = new TfrmSettings(&FApp, r.Main->KitAppRegistryStorage1);
        r.Main->Show();
        r.Settings->RestoreSettings();
        return r;
    }
    void finish(Run& r)
    {
        r.Main->Close();
        delete r.Settings;
        delete r.Main;
    }
    String storeText() const
    {
        QFile f(RegistryFileName(HKEY_CURRENT_USER));
        return f.open(QIODevice::ReadOnly) ? String::fromUtf8(f.readAll()) : String();
    }
    QTemporaryDir FDir;
    TApplication FApp{nullptr};
};

TEST_F(Settings, AnEmptyRegistryGivesTheDesignDefaults)
{
    Run r = start();
    const TSettingsValues& v = r.Settings->Applied();
    EXPECT_EQ(v.ThreadCount(), 1);
    EXPECT_EQ(v.ThreadPriority, tpNormal);
    EXPECT_EQ(v.LogLevel, llInfo);
    EXPECT_TRUE(v.ErrorMessages);
    EXPECT_FALSE(v.OpenOutputFolder || v.PlayVideoAfter || v.OverwriteFiles || v.KeepAspect || v.JoinFiles);
    EXPECT_EQ(r.Settings->Caption(), QStringLiteral("Settings"));
    EXPECT_EQ(r.Settings->ClientHeight(), 284);
    EXPECT_EQ(r.Settings->LogLevel->Items()->Count(), 8);
    EXPECT_EQ(r.Settings->ThreadPriority->Items()->Strings(6), QStringLiteral("Time Critical"));
    EXPECT_FALSE(r.Settings->JoinFiles->Visible());
    // Nothing was written by starting.
    EXPECT_FALSE(QFileInfo::exists(RegistryFileName(HKEY_CURRENT_USER)) &&
                 storeText().contains(QStringLiteral("Options")));
    delete r.Settings;
    delete r.Main;
}

TEST_F(Settings, CloseWritesTheExpectedStoreAndASecondStartRestoresIt)
{
    Run r = start();
    r.Main->edtOutPath->SetText(QStringLiteral("/home/user/Videos/Out/"));
    r.Main->ShowLog1->SetChecked(true);
    r.Main->SetBounds(120, 90, 700, 500);
    r.Settings->ThreadNumber->SetText(QStringLiteral("8"));
    r.Settings->LogLevel->SetItemIndex(llDebug);
    r.Settings->ThreadPriority->SetItemIndex(tpLower);
    r.Settings->KeepAspect->SetChecked(true);
    r.Settings->ErrorMessages->SetChecked(false);
    r.Settings->bOk->Click();
    EXPECT_EQ(r.Settings->Applied().ThreadCount(), 4);  // the dialog offers 1 to 4
    finish(r);

    QFile expected(QStringLiteral(VORLANE_FORM_TESTS_DIR "/settings_expected.reg"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    String want = String::fromUtf8(expected.readAll());
    want.replace(QStringLiteral("(DESKTOP)"), ResolutionSuffix());
    EXPECT_EQ(storeText(), want);

    Run again = start();
    EXPECT_EQ(again.Main->edtOutPath->Text(), QStringLiteral("/home/user/Videos/Out/"));
    EXPECT_TRUE(again.Main->ShowLog1->Checked());
    // The main window keeps its location, not its size: its design size comes back.
    EXPECT_EQ(again.Main->BoundsRect(), Bounds(120, 90, 640, 420));
    EXPECT_EQ(again.Main->WindowState(), wsNormal);
    EXPECT_EQ(again.Settings->Applied().ThreadNumber, QStringLiteral("8"));
    EXPECT_EQ(again.Settings->Applied().LogLevel, llDebug);
    EXPECT_EQ(again.Settings->Applied().ThreadPriority, tpLower);
    EXPECT_TRUE(again.Settings->Applied().KeepAspect);
    EXPECT_FALSE(again.Settings->Applied().ErrorMessages);
    delete again.Settings;
    delete again.Main;
}

TEST_F(Settings, AMaximisedMainWindowComesBackMaximisedOverItsNormalBounds)
{
    Run r = start();
    r.Main->SetBounds(50, 60, 400, 300);
    r.Main->SetWindowState(wsMaximized);
    finish(r);
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane"), QStringLiteral("ShowCmd"), -1), 3);
    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane"), QStringLiteral("NormPos"), String()),
              QStringLiteral("50,60,450,360"));
    Run again = start();
    EXPECT_EQ(again.Main->WindowState(), wsMaximized);
    EXPECT_EQ(again.Main->NormalBounds(), Bounds(50, 60, 640, 420));
    again.Main->SetWindowState(wsNormal);
    EXPECT_EQ(again.Main->BoundsRect(), Bounds(50, 60, 640, 420));
    delete again.Settings;
    delete again.Main;
}

TEST_F(Settings, EscapeAndCancelPutTheAppliedValuesBack)
{
    Run r = start();
    r.Settings->ThreadNumber->SetText(QStringLiteral("3"));
    r.Settings->ErrorMessages->SetChecked(false);
    uint16_t key = VK_ESCAPE;
    r.Settings->FormKeyDown(r.Settings, key, {});
    // What Execute does after a modal loop that did not end with OK:
    EXPECT_EQ(r.Settings->ModalResult(), mrCancel);
    r.Settings->SetControlValues(r.Settings->Applied());
    EXPECT_EQ(r.Settings->ThreadNumber->Text(), QStringLiteral("1"));
    EXPECT_TRUE(r.Settings->ErrorMessages->Checked());
    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane\\Options"),
                            QStringLiteral("ThreadNumber_Text"), QStringLiteral("<none>")),
              QStringLiteral("<none>"));
    // A later OK applies and saves.
    r.Settings->ThreadNumber->SetText(QStringLiteral("2"));
    r.Settings->bOk->Click();
    EXPECT_EQ(r.Settings->Applied().ThreadCount(), 2);
    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane\\Options"),
                            QStringLiteral("ThreadNumber_Text"), String()),
              QStringLiteral("2"));
    delete r.Settings;
    delete r.Main;
}

TEST_F(Settings, StoredValuesThatNameNothingFallBackToTheDefaults)
{
    const struct {
        int logLevel, priority;
        const char* threads;
        TLogLevel wantLevel;
        TThreadPriority wantPriority;
        int wantThreads;
    } cases[] = {
        {9, -1, "0", llInfo, tpNormal, 1},
        {-1, 7, "abc", llInfo, tpNormal, 1},
        {0, 6, " 3 ", llQuiet, tpTimeCritical, 3},
        {7, 0, "500", llDebug, tpIdle, 4},
    };
    for (const auto& c : cases) {
        const String key = QStringLiteral("Software\\Vorlane\\Options");
        WriteRegInteger(HKEY_CURRENT_USER, key, QStringLiteral("LogLevel_ItemIndex"), c.logLevel);
        WriteRegInteger(HKEY_CURRENT_USER, key, QStringLiteral("ThreadPriority_ItemIndex"), c.priority);
        WriteRegText(HKEY_CURRENT_USER, key, QStringLiteral("ThreadNumber_Text"), QString::fromLatin1(c.threads));
        Run r = start();
        EXPECT_EQ(r.Settings->Applied().LogLevel, c.wantLevel) << c.logLevel;
        EXPECT_EQ(r.Settings->Applied().ThreadPriority, c.wantPriority) << c.priority;
        EXPECT_EQ(r.Settings->Applied().ThreadCount(), c.wantThreads) << c.threads;
        delete r.Settings;
        delete r.Main;
    }
}

TEST_F(Settings, ANeverRestoredSettingsStorageWritesOnlyItsVersion)
{
    TMainStandIn* main = nullptr;
    FApp.CreateForm(main);
    auto settings = std::make_unique<TfrmSettings>(nullptr, main->KitAppRegistryStorage1);
    settings->ThreadNumber->SetText(QStringLiteral("4"));
    settings->KitFormStorage1->SavePlacement();
    EXPECT_EQ(ReadRegIntegerOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane"), QStringLiteral("FormVersion"), -1), 0);
    EXPECT_FALSE(storeText().contains(QStringLiteral("ThreadNumber_Text")));
    settings->RestoreSettings();
    settings->ThreadNumber->SetText(QStringLiteral("4"));
    settings->bOk->Click();
    EXPECT_EQ(ReadRegTextOr(HKEY_CURRENT_USER, QStringLiteral("Software\\Vorlane\\Options"),
                            QStringLiteral("ThreadNumber_Text"), String()),
              QStringLiteral("4"));
    settings.reset();
    delete main;
}

}  // namespace
