// screenshots - pictures of the converter's windows for people to look at:
// the main window with three jobs, the options dialog, the settings dialog
// and the about box, each taken from the screen (run under an X server such
// as Xvfb: xvfb-run -s "-screen 0 1280x900x24" screenshots OUTDIR).
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/OptionsU.h"
#include "app/aboutU.h"
#include "app/ProgramUnits.h"
#include "app/mainU.h"
#include "app/settingsU.h"
#include "engine/preview/PreviewForm.h"
#include "platform/os/Registry.h"
#include "platform/rtl/Startup.h"

namespace {

class ShotDialogs : public IDialogService {
public:
    QStringList Files;
    bool ExecuteOpen(TOpenDialog& Dialog) override
    {
        Dialog.Files()->Clear();
        for (const QString& f : std::as_const(Files))
            Dialog.Files()->Add(f);
        Dialog.SetFileName(Files.value(0));
        return !Files.isEmpty();
    }
    bool BrowseForFolder(const String&, String&) override { return false; }
    int MessageBox(const String&, const String&, UINT) override { return IDOK; }
    TModalResult MessageDlg(const String&, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
};

void settle(int ms = 400)
{
    for (int i = 0; i < ms / 10; ++i) {
        Application->ProcessMessages();
        QThread::msleep(10);
    }
}

// The part of the screen the form covers, frame included where there is one.
bool shoot(TCustomForm* form, const QString& file)
{
    settle();
    QWidget* w = form->Widget();
    const QRect frame = w->frameGeometry().adjusted(-1, -1, 1, 1);
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const bool ok = shot.save(file);
    std::printf("%s %s (%dx%d)\n", ok ? "wrote" : "could not write", qPrintable(file), shot.width(), shot.height());
    return ok;
}

// Runs Show (which opens a modal form) and takes the picture while it is up.
// Close: the form's own OK button, as the user presses it.
template <class T>
void whileModal(const std::function<void()>& Show, const QString& file, void (*Close)(T*))
{
    QTimer::singleShot(300, [file, Close] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* form = dynamic_cast<T*>(Screen->Forms(i)); form != nullptr && form->Modal()) {
                shoot(form, file);
                Close(form);
                return;
            }
    });
    Show();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir home;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit().constData(), 1);

    TApplication application(nullptr);
    application.Initialize(argc, argv);
    TStartupList units;
    AddProgramUnits(units);
    const TStartupScope startup(std::move(units));
    InstallPreviewForm();
    SetRegistryDirectory(home.path() + QStringLiteral("/registry"));

    ShotDialogs dialogs;
    QDir().mkpath(home.path() + QStringLiteral("/Videos"));
    for (const char* name : {"holiday.avi", "garden party.avi", "interview.avi"}) {
        const QString clip = home.path() + QStringLiteral("/Videos/") + QString::fromLatin1(name);
        QProcess::execute(QStringLiteral("ffmpeg"),
                          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("testsrc=size=352x288:rate=25:duration=4"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("sine=duration=4"),
                           QStringLiteral("-c:v"), QStringLiteral("mpeg4"), QStringLiteral("-c:a"),
                           QStringLiteral("mp2"), clip});
        dialogs.Files << clip;
    }
    application.SetTitle(LoadResString(MainConsts::SAppTitle));
    application.SetDialogService(&dialogs);
    TfrmMain* frmMain = nullptr;
    application.CreateForm(frmMain);
    frmMain->Show();
    settle();

    // The options dialog as adding shows it, then the list it fills.
    whileModal<TfrmOption>([&] { frmMain->bAddClick(frmMain->bAdd); }, out + QStringLiteral("/options.png"),
                           +[](TfrmOption* f) { f->btnOk->Click(); });
    frmMain->ShowLog1Click(frmMain->ShowLog1);
    shoot(frmMain, out + QStringLiteral("/main.png"));
    whileModal<TfrmSettings>([&] { frmMain->Settings1Click(frmMain->Settings1); }, out + QStringLiteral("/settings.png"),
                             +[](TfrmSettings* f) { f->bOk->Click(); });
    whileModal<TfrmAbout>([&] { frmMain->About1Click(frmMain->About1); }, out + QStringLiteral("/about.png"),
                          +[](TfrmAbout* f) { f->btnOk->Click(); });
    frmMain->Close();
    delete frmMain;
    SetRegistryDirectory(String());
    return 0;
}
