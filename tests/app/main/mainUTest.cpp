// The converter's main window as a user drives it: start-up in a fresh home,
// files dropped on the list, whole conversions of small clips checked with
// ffprobe, pause, resume and stop, the log panel and the error handler.
#include "app/mainU.h"
#include "ui/controls/vlProgressBar.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QPointer>
#include <QWindow>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <thread>

#include "app/OptionsU.h"
#include "app/ProgramAddresses.h"
#include "app/aboutU.h"
#include "app/filters_u.h"
#include "app/settingsU.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "tests/harness/XPointer.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"
#include "engine/FFmpeg.h"
#include "platform/os/Registry.h"
#include "support/uTaskBarList.h"
#include "tests/harness/Fixtures.h"

// Failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
public:
    void Set(const char* name, const QString& value)
    {
        if (!FSaved.contains(name))
            FSaved.insert(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvGuard()
    {
        for (auto it = FSaved.cbegin(); it != FSaved.cend(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
    }

private:
    QMap<QByteArray, std::optional<QByteArray>> FSaved;
};

// A click as the user makes it, through the control's messages.
void click(TControl* control)
{
    control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(3, 3));
    control->Perform(WM_LBUTTONUP, 0, MakeLParam(3, 3));
}

// Ends the program when a call that waits never returns, so that a hang
// shows as a failure at once instead of at the runner's time-out.
class Watchdog {
public:
    explicit Watchdog(const char* what) : FWhat(what), FThread([this] { watch(); }) {}
    ~Watchdog()
    {
        {
            const std::lock_guard lock(FMutex);
            FDone = true;
        }
        FChanged.notify_all();
        FThread.join();
    }

private:
    void watch()
    {
        std::unique_lock lock(FMutex);
        if (!FChanged.wait_for(lock, std::chrono::seconds(60), [this] { return FDone; })) {
            std::fprintf(stderr, "%s did not return within 60 s\n", FWhat);
            std::abort();
        }
    }
    const char* FWhat;
    std::mutex FMutex;
    std::condition_variable FChanged;
    bool FDone = false;
    std::thread FThread;
};

// Answers every dialog at once and remembers the message boxes.
class FakeDialogs : public IDialogService {
public:
    struct Box {
        String Text, Caption;
        UINT Flags;
    };
    QStringList OpenFiles;  // what the next open dialog returns
    std::vector<Box> Boxes;

    bool ExecuteOpen(TOpenDialog& Dialog) override
    {
        if (OpenFiles.isEmpty())
            return false;
        Dialog.Files()->Clear();
        for (const QString& f : std::as_const(OpenFiles))
            Dialog.Files()->Add(f);
        Dialog.SetFileName(OpenFiles.first());
        OpenFiles.clear();
        return true;
    }
    bool BrowseForFolder(const String&, String&) override { return false; }
    int MessageBox(const String& Text, const String& Caption, UINT Flags) override
    {
        Boxes.push_back({Text, Caption, Flags});
        return IDOK;
    }
    TModalResult MessageDlg(const String& Msg, TMsgDlgType, TMsgDlgButtons) override
    {
        Boxes.push_back({Msg, String(), 0});
        return mrOk;
    }
};

// What ffprobe reads from an output.
struct Probe {
    bool Read = false;
    String Format, Video, Audio, Rate;
    int Width = 0, Height = 0;
};

Probe probe(const String& file)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
             QStringLiteral("stream=codec_type,codec_name,width,height,r_frame_rate"), QStringLiteral("-show_entries"),
             QStringLiteral("format=format_name"), QStringLiteral("-of"), QStringLiteral("json"), file});
    Probe r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return r;
    const QJsonObject root = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    r.Format = root.value(QStringLiteral("format")).toObject().value(QStringLiteral("format_name")).toString();
    for (const QJsonValue& s : root.value(QStringLiteral("streams")).toArray()) {
        const QJsonObject o = s.toObject();
        if (o.value(QStringLiteral("codec_type")).toString() == QStringLiteral("video")) {
            r.Video = o.value(QStringLiteral("codec_name")).toString();
            r.Width = o.value(QStringLiteral("width")).toInt();
            r.Height = o.value(QStringLiteral("height")).toInt();
            r.Rate = o.value(QStringLiteral("r_frame_rate")).toString();
        } else if (o.value(QStringLiteral("codec_type")).toString() == QStringLiteral("audio")) {
            r.Audio = o.value(QStringLiteral("codec_name")).toString();
        }
    }
    r.Read = !r.Format.isEmpty();
    return r;
}

// The first profile, "MPEG-I Movie (*.mpg)", at its default quality ("Same as
// source", size "Original") on the 352x288, 25 fps fixture clip.
void expectDefaultMpeg1(const String& file)
{
    SCOPED_TRACE(file.toStdString());
    const Probe p = probe(file);
    ASSERT_TRUE(p.Read);
    EXPECT_EQ(p.Format, QStringLiteral("mpeg"));
    EXPECT_EQ(p.Video, QStringLiteral("mpeg1video"));
    EXPECT_EQ(p.Width, 352);
    EXPECT_EQ(p.Height, 288);
    EXPECT_EQ(p.Rate, QStringLiteral("25/1"));
    EXPECT_EQ(p.Audio, QStringLiteral("mp2"));
}

// The window in a temporary home whose documents folder is ~/Documents and
// whose registry is empty, started as the program starts it.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FHome.isValid());
        home = FHome.path();
        FEnv.Set("HOME", home);
        FEnv.Set("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
        QDir().mkpath(home + QStringLiteral("/.config"));
        QFile dirs(home + QStringLiteral("/.config/user-dirs.dirs"));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
        dirs.close();
        SetRegistryDirectory(home + QStringLiteral("/registry"));
        defaultOut = home + QStringLiteral("/Documents/VideoOutput/");

        // Whenever the options dialog is up, OK it, once per showing.
        QObject::connect(&FOkTimer, &QTimer::timeout, [this] {
            if (main != nullptr && main->frmOption != nullptr && main->frmOption->Modal() &&
                main->frmOption->ModalResult() == mrNone) {
                ++dialogsAccepted;
                if (beforeOk)
                    beforeOk(*main->frmOption);
                main->frmOption->btnOk->Click();
            }
        });
        FOkTimer.start(5);
        start();
    }
    void TearDown() override
    {
        FOkTimer.stop();
        finish();
        SetRegistryDirectory(String());
    }

    // The main block: application, title, main window, then the window is
    // shown and its deferred start-up runs.
    void start()
    {
        FApp = std::make_unique<TApplication>(nullptr);
        FApp->Initialize();
        FApp->SetTitle(LoadResString(MainConsts::SAppTitle));
        FApp->SetDialogService(&dialogs);
        RegisterProgressBarProperties();  // the progress bar unit's start-up
        FApp->CreateForm(main);
        main->Show();
        // The deferred start-up is a posted message: served with the loop.
        settle();
        dc = main->lvFilesTableView1->DataController();
        ASSERT_FALSE(main->edtOutPath->Text().isEmpty());
    }
    void finish()
    {
        if (main != nullptr)
            main->Close();
        FApp.reset();  // frees the window
        main = nullptr;
        dc = nullptr;
    }
    void restart()
    {
        finish();
        start();
    }

    // Serves the event loop and the threads' queue until done() holds; false
    // when it never does (a hang guard, not a timing check).
    static bool pumpUntil(const std::function<bool()>& done, const std::function<void()>& each = {})
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > 120000)
                return false;
            Application->ProcessMessages();
            if (each)
                each();
            QThread::msleep(2);
        }
        return true;
    }
    // Lets messages posted just before the end arrive too.
    static void settle()
    {
        for (int i = 0; i < 25; ++i) {
            Application->ProcessMessages();
            QThread::msleep(2);
        }
    }

    // Copies the fixture clip (3 s, 352x288, 25 fps, MPEG-4 and MP3 in AVI)
    // to a file under the home.
    String clip(const QString& relative) const
    {
        const String path = home + u'/' + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(QString::fromStdString(vorlane::test::FixturePath("mpeg4_mp3.avi")), path));
        return path;
    }
    // Files dropped on the list from a file manager.
    void drop(const QStringList& files)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& f : files)
            urls << QUrl::fromLocalFile(f);
        data.setUrls(urls);
        QWidget* target = main->lvFiles->Widget();
        QDragEnterEvent enter(QPoint(60, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(60, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
    }
    // Convert, then serve the loop until the final record; the total bar is
    // watched all along.
    void convert(int threads)
    {
        main->ThreadCount = threads;
        click(main->bStart);
        ASSERT_TRUE(main->Converting());
        waitForRun();
    }
    void waitForRun()
    {
        int last = 0;
        ASSERT_TRUE(pumpUntil([this] { return !main->Converting(); },
                              [&] {
                                  const int position = main->ProgressBar1->Position();
                                  EXPECT_LE(position, main->ProgressBar1->Max());
                                  EXPECT_GE(position, last) << "the total went back";
                                  last = position;
                              }));
        settle();
    }

    int rows() const { return dc->GetRecordCount(); }
    String cell(int row, int column) const { return VarToStr(dc->GetValue(row, column)); }
    QStringList log() const
    {
        QStringList lines;
        for (int i = 0; i < main->mmoLog->Lines()->Count(); ++i)
            lines << main->mmoLog->Lines()->Strings(i);
        return lines;
    }
    // Only "Clear All" is left after a run.
    void expectRunEnded() const
    {
        EXPECT_FALSE(main->Converting());
        EXPECT_FALSE(main->bAdd->Enabled());
        EXPECT_FALSE(main->bRemove->Enabled());
        EXPECT_FALSE(main->bStart->Enabled());
        EXPECT_FALSE(main->bStop->Enabled());
        EXPECT_FALSE(main->bPause->Enabled());
        EXPECT_TRUE(main->bPause->Visible());
        EXPECT_FALSE(main->bResume->Visible());
        EXPECT_TRUE(main->bRemoveAll->Enabled());
        EXPECT_TRUE(main->mnuClear->Enabled());
        EXPECT_EQ(main->ProgressBar1->Position(), main->ProgressBar1->Max());
    }
    // Every listed job ran to its end.
    void expectRowsDone() const
    {
        for (int r = 0; r < rows(); ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(cell(r, 7), QStringLiteral("100"));
            EXPECT_EQ(cell(r, 9), QStringLiteral("2"));
            EXPECT_EQ(main->Jobs(r)->State, 2);
            EXPECT_EQ(cell(r, 8), main->Jobs(r)->InputOptions.FileName);
        }
    }
    void applySettings(const std::function<void(TSettingsValues&)>& change)
    {
        TSettingsValues v = main->frmSettings->Applied();
        change(v);
        main->frmSettings->SetControlValues(v);
        main->frmSettings->bOkClick(nullptr);
        main->ApplySettings();
    }

    EnvGuard FEnv;
    QTemporaryDir FHome;
    QTimer FOkTimer;
    std::unique_ptr<TApplication> FApp;

    FakeDialogs dialogs;
    String home, defaultOut;
    TfrmMain* main = nullptr;
    TvlCustomDataController* dc = nullptr;
    int dialogsAccepted = 0;
    // What the user does in the options dialog before pressing OK.
    std::function<void(TfrmOption&)> beforeOk;
};

TEST_F(MainWindow, StartUpChoosesTheOutputFolder)
{
    // A first start: the documents folder's "VideoOutput", made once, and no
    // stray folder named after a drive.
    EXPECT_EQ(main->edtOutPath->Text(), defaultOut);
    EXPECT_TRUE(QFileInfo(defaultOut).isDir());
    for (const QDir& d : {QDir::current(), QDir(home)})
        EXPECT_TRUE(d.entryList({QStringLiteral("C:*")}, QDir::AllEntries | QDir::Hidden).isEmpty()) << d.path().toStdString();
    EXPECT_TRUE(main->bAdd->Enabled());
    EXPECT_FALSE(main->bRemove->Enabled() || main->bRemoveAll->Enabled() || main->bStart->Enabled() ||
                 main->bStop->Enabled() || main->bPause->Enabled());
    EXPECT_FALSE(main->bResume->Visible());

    // A stored folder that exists is kept ...
    const String stored = home + QStringLiteral("/Stored/");
    ASSERT_TRUE(QDir().mkpath(stored));
    main->edtOutPath->SetText(stored);
    restart();
    EXPECT_EQ(main->edtOutPath->Text(), stored);

    // ... and one that has gone is replaced by the default.
    ASSERT_TRUE(QDir(stored).removeRecursively());
    restart();
    EXPECT_EQ(main->edtOutPath->Text(), defaultOut);
    EXPECT_FALSE(QFileInfo::exists(stored));
}

TEST_F(MainWindow, ThreadCountIsClampedToOneToFour)
{
    EXPECT_EQ(main->ThreadCount, 1);
    const struct {
        const char* text;
        int threads;
    } cases[] = {{"3", 3}, {"0", 1}, {"abc", 1}, {"9", 4}, {"500", 4}, {"-2", 1}, {"2", 2}};
    for (const auto& c : cases) {
        applySettings([&](TSettingsValues& v) { v.ThreadNumber = QString::fromLatin1(c.text); });
        EXPECT_EQ(main->ThreadCount, c.threads) << c.text;
    }
}

TEST_F(MainWindow, LogPanelFollowsShowLogAndItsCloseButton)
{
    const auto shown = [this] { return main->KitCaptionPanel1->Visible(); };
    if (main->ShowLog1->Checked())
        main->ShowLog1->Click();
    EXPECT_FALSE(shown());
    main->ShowLog1->Click();
    EXPECT_TRUE(main->ShowLog1->Checked());
    EXPECT_TRUE(shown());
    // Directly above the total progress bar.
    EXPECT_EQ(main->KitCaptionPanel1->Top() + main->KitCaptionPanel1->Height(), main->ProgressBar1->Top());

    // The stored choice comes back at the next start.
    restart();
    EXPECT_TRUE(main->ShowLog1->Checked());
    EXPECT_TRUE(shown());

    click(main->KitCaptionPanel1->CaptionButton(capClose));
    EXPECT_FALSE(shown());
    EXPECT_FALSE(main->ShowLog1->Checked());
    restart();
    EXPECT_FALSE(main->ShowLog1->Checked());
    EXPECT_FALSE(shown());
}

TEST_F(MainWindow, LogLinesOfTheEngine)
{
    const struct {
        uint32_t thread;
        TLogLevel level;
        const char* message;
        const char* line;
    } cases[] = {
        {1234, llWarning, "x", "#1234.4: x"},
        {4000000000u, llDebug, "a b", "#4000000000.7: a b"},  // unsigned
        {0, llQuiet, "", "#0.0: "},
    };
    for (const auto& c : cases) {
        main->FFLogger1Log(main->FFLogger1, c.thread, c.level, QString::fromLatin1(c.message));
        EXPECT_EQ(log().last(), QString::fromLatin1(c.line));
    }

    // A line the engine logs in another thread arrives in the main thread.
    std::thread worker([this] { main->FFLogger1->Log(nullptr, llWarning, QStringLiteral("from a worker")); });
    worker.join();
    ASSERT_TRUE(pumpUntil([this] { return log().last().endsWith(QStringLiteral("from a worker")); }));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^#\\d+\\.4: ")).match(log().last()).hasMatch())
        << log().last().toStdString();
}

TEST_F(MainWindow, ErrorsAlwaysReachTheLogAndTheSettingOnlySparesTheDialog)
{
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"abc", "abc."}, {"abc.", "abc."}, {"abc!", "abc!"}, {"code 7", "code 7."}, {"x)", "x)"}, {"a b ", "a b "},
    };
    ASSERT_TRUE(main->frmSettings->Applied().ErrorMessages);  // the default: no dialogs
    for (const auto& c : cases) {
        main->AppException(main, Exception(QString::fromLatin1(c.message)));
        EXPECT_EQ(log().last(), QString::fromLatin1(c.shown));
    }
    // An exception raised in a handler reaches the window's handler.
    try {
        throw EConvertError(QStringLiteral("raised in a handler"));
    } catch (...) {
        Application->HandleException(main);
    }
    EXPECT_EQ(log().last(), QStringLiteral("raised in a handler."));
    EXPECT_TRUE(dialogs.Boxes.empty());

    applySettings([](TSettingsValues& v) { v.ErrorMessages = false; });
    main->AppException(main, Exception(QStringLiteral("abc")));
    main->AppException(main, FFmpegException(QStringLiteral("Library missing")));
    ASSERT_EQ(dialogs.Boxes.size(), 2u);
    EXPECT_EQ(dialogs.Boxes[0].Text, QStringLiteral("abc."));
    EXPECT_EQ(dialogs.Boxes[0].Caption, QStringLiteral("Vorlane"));
    EXPECT_EQ(dialogs.Boxes[0].Flags & 0xF0u, UINT(MB_ICONERROR));
    EXPECT_EQ(dialogs.Boxes[1].Text, QStringLiteral("Library missing."));
    EXPECT_EQ(dialogs.Boxes[1].Flags & 0xF0u, UINT(MB_ICONWARNING));
    EXPECT_EQ(log().last(), QStringLiteral("Library missing."));
}

TEST_F(MainWindow, DroppedFilesOtherThanAviAreRefused)
{
    const String mpg = home + QStringLiteral("/in/x.mpg");
    QDir().mkpath(home + QStringLiteral("/in"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(vorlane::test::FixturePath("mpeg4_mp3.avi")), mpg));

    drop({mpg});
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, QStringLiteral("Not supported file!"));
    EXPECT_EQ(dialogs.Boxes[0].Flags & 0xF0u, UINT(MB_ICONINFORMATION));
    drop({home + QStringLiteral("/in/missing.avi")});
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(dialogsAccepted, 0);

    // The extension test ignores case.
    drop({clip(QStringLiteral("in/D.AVI"))});
    EXPECT_EQ(dialogsAccepted, 1);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral(" D.AVI"));

    // Among several files the others only get a log line.
    drop({mpg, clip(QStringLiteral("in/e.avi")), home + QStringLiteral("/in/missing.avi"), clip(QStringLiteral("in/f.avi"))});
    EXPECT_EQ(dialogsAccepted, 2);
    ASSERT_EQ(rows(), 3);
    EXPECT_EQ(cell(1, 0), QStringLiteral(" e.avi"));
    EXPECT_EQ(cell(2, 0), QStringLiteral(" f.avi"));
    EXPECT_TRUE(log().contains(QStringLiteral("Not supported file: x.mpg")));
    EXPECT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(main->JobCount(), 3);
}

TEST_F(MainWindow, ThreeDroppedClipsConvertWithTwoThreads)
{
    const QStringList inputs = {clip(QStringLiteral("in/a.avi")), clip(QStringLiteral("in/b.avi")),
                                clip(QStringLiteral("in/c.avi"))};
    drop(inputs);
    EXPECT_EQ(dialogsAccepted, 1);  // one dialog for the whole selection
    ASSERT_EQ(rows(), 3);
    ASSERT_EQ(main->JobCount(), 3);
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        const QFileInfo input(inputs[r]);
        EXPECT_EQ(cell(r, 0), u' ' + input.fileName());
        EXPECT_EQ(cell(r, 1), QStringLiteral("00:00:03"));
        EXPECT_EQ(cell(r, 2), FormatFileSize(input.size()));
        EXPECT_EQ(cell(r, 4), QStringLiteral("00:00:00"));
        EXPECT_EQ(cell(r, 7), QStringLiteral("0"));
        EXPECT_EQ(cell(r, 8), inputs[r]);
        EXPECT_EQ(cell(r, 9), QStringLiteral("0"));
        EXPECT_TRUE(log().contains(QStringLiteral("***File \"%1\" has been added to convert list.").arg(input.fileName())));
    }
    EXPECT_TRUE(main->bRemove->Enabled() && main->bRemoveAll->Enabled() && main->bStart->Enabled());

    main->ThreadCount = 2;
    click(main->bStart);
    ASSERT_TRUE(main->Converting());
    EXPECT_FALSE(main->bAdd->Enabled() || main->bStart->Enabled() || main->bRemoveAll->Enabled());
    EXPECT_TRUE(main->bStop->Enabled() && main->bPause->Enabled());
    waitForRun();

    expectRunEnded();
    EXPECT_EQ(main->ProgressBar1->Max(), 9);  // each clip's whole seconds, once
    // The engine's own lines are in the log.
    EXPECT_FALSE(log().filter(QRegularExpression(QStringLiteral("^#\\d+\\.[0-7]: "))).isEmpty());
    ASSERT_EQ(rows(), 3);
    expectRowsDone();
    for (int r = 0; r < 3; ++r) {
        // Each task's last report reaches its row, even when the task ends
        // before the report's message is handled.
        EXPECT_NE(cell(r, 4), QStringLiteral("00:00:00")) << r;
        EXPECT_FALSE(cell(r, 5).isEmpty()) << r;
        EXPECT_EQ(main->Jobs(r)->OutputFileName, defaultOut + QFileInfo(inputs[r]).completeBaseName() + QStringLiteral(".mpg"));
        expectDefaultMpeg1(main->Jobs(r)->OutputFileName);
    }
    // A picture of the finished list for people reading the results (under
    // a real display server when one is given).
    if (const QByteArray shot = qgetenv("VORLANE_SCREENSHOT"); !shot.isEmpty()) {
        EXPECT_TRUE(main->Widget()->grab().save(QString::fromLocal8Bit(shot)));
    }

    // Nothing joins the finished list until it is cleared.
    drop({clip(QStringLiteral("in/d.avi"))});
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(dialogsAccepted, 1);
    click(main->bRemoveAll);
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(main->JobCount(), 0);
    EXPECT_TRUE(main->bAdd->Enabled());
    EXPECT_FALSE(main->bRemove->Enabled() || main->bRemoveAll->Enabled() || main->bStart->Enabled());
    EXPECT_EQ(main->ProgressBar1->Position(), 0);
}

TEST_F(MainWindow, AVanishedInputLeavesTheListAndTheOtherRowsStayRight)
{
    const String a = clip(QStringLiteral("in/a.avi"));
    const String b = clip(QStringLiteral("in/b.avi"));
    const String c = clip(QStringLiteral("in/c.avi"));
    drop({a, b, c});
    ASSERT_EQ(rows(), 3);
    ASSERT_TRUE(QFile::remove(b));

    convert(2);
    expectRunEnded();
    const QRegularExpression failed(QStringLiteral("^ERROR: .+  \\(VIDEO (REMOVED|SKIPPED):  b\\.avi\\)$"));
    EXPECT_EQ(log().filter(failed).size(), 1) << log().join(u'\n').toStdString();
    ASSERT_EQ(rows(), 2);
    ASSERT_EQ(main->JobCount(), 2);
    EXPECT_EQ(cell(0, 0), QStringLiteral(" a.avi"));
    EXPECT_EQ(cell(1, 0), QStringLiteral(" c.avi"));
    expectRowsDone();
    EXPECT_EQ(main->ProgressBar1->Max(), 6);
    expectDefaultMpeg1(defaultOut + QStringLiteral("a.mpg"));
    expectDefaultMpeg1(defaultOut + QStringLiteral("c.mpg"));
    EXPECT_FALSE(QFileInfo::exists(defaultOut + QStringLiteral("b.mpg")));
}

TEST_F(MainWindow, OutputsNeverOverwriteEachOtherAnExistingFileOrAnInput)
{
    // An earlier output, and two inputs with one name from two folders.
    QFile existing(defaultOut + QStringLiteral("a.mpg"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    drop({clip(QStringLiteral("in/a.avi")), clip(QStringLiteral("in/x/a.avi"))});
    ASSERT_EQ(rows(), 2);
    ASSERT_FALSE(main->OverwriteFiles);
    convert(2);
    expectRunEnded();
    expectRowsDone();
    EXPECT_EQ(main->Jobs(0)->OutputFileName, defaultOut + QStringLiteral("a_(1).mpg"));
    EXPECT_EQ(main->Jobs(1)->OutputFileName, defaultOut + QStringLiteral("a_(2).mpg"));
    expectDefaultMpeg1(defaultOut + QStringLiteral("a_(1).mpg"));
    expectDefaultMpeg1(defaultOut + QStringLiteral("a_(2).mpg"));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("keep"));
    existing.close();

    // With overwriting on, an MPEG input in the output folder is still never
    // its own output.
    click(main->bRemoveAll);
    main->OverwriteFiles = true;
    const String input = defaultOut + QStringLiteral("a_(1).mpg");
    const qint64 inputSize = QFileInfo(input).size();
    dialogs.OpenFiles = {input};
    click(main->bAdd);
    ASSERT_EQ(rows(), 1);
    convert(1);
    expectRunEnded();
    expectRowsDone();
    EXPECT_NE(main->Jobs(0)->OutputFileName, input);
    EXPECT_TRUE(main->Jobs(0)->OutputFileName.startsWith(defaultOut));
    EXPECT_EQ(QFileInfo(input).size(), inputSize);
    expectDefaultMpeg1(input);
    expectDefaultMpeg1(main->Jobs(0)->OutputFileName);
}

TEST_F(MainWindow, PauseHoldsTheRunAndResumeFinishesIt)
{
    drop({clip(QStringLiteral("in/a.avi")), clip(QStringLiteral("in/b.avi"))});
    ASSERT_EQ(rows(), 2);
    main->ThreadCount = 1;
    click(main->bStart);
    click(main->bPause);
    EXPECT_FALSE(main->bPause->Visible());
    EXPECT_TRUE(main->bResume->Visible());
    // While paused the run does not end.
    for (int i = 0; i < 100; ++i) {
        Application->ProcessMessages();
        QThread::msleep(2);
    }
    EXPECT_TRUE(main->Converting());
    EXPECT_NE(cell(0, 9), QStringLiteral("2"));

    click(main->bResume);
    EXPECT_TRUE(main->bPause->Visible());
    EXPECT_FALSE(main->bResume->Visible());
    waitForRun();
    expectRunEnded();
    expectRowsDone();
    expectDefaultMpeg1(defaultOut + QStringLiteral("a.mpg"));
    expectDefaultMpeg1(defaultOut + QStringLiteral("b.mpg"));
}

TEST_F(MainWindow, StopEndsTheRunLeavingClearAll)
{
    drop({clip(QStringLiteral("in/a.avi")), clip(QStringLiteral("in/b.avi")), clip(QStringLiteral("in/c.avi"))});
    ASSERT_EQ(rows(), 3);
    main->ThreadCount = 1;
    click(main->bStart);
    // The tasks are made in slices of the event loop; once all three exist
    // the run has started.
    ASSERT_TRUE(pumpUntil([this] { return main->FFEncoder->TaskCount() == 3; }));
    // Held at once, so the stop surely comes in the middle of the run.
    click(main->bPause);
    {
        // Stop waits for every task while serving their records.
        const Watchdog guard("Stop");
        click(main->bStop);
    }
    EXPECT_TRUE(main->Stopped());
    EXPECT_FALSE(main->bStop->Enabled());
    EXPECT_FALSE(main->bResume->Visible());
    waitForRun();

    expectRunEnded();
    ASSERT_EQ(rows(), 3);
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(cell(r, 7), QStringLiteral("100"));
        EXPECT_NE(cell(r, 9), QStringLiteral("2"));
        EXPECT_NE(main->Jobs(r)->State, 2);
        // A row that no longer converts shows no speed.
        EXPECT_EQ(cell(r, 6), String());
        // What a stopped task leaves is a readable file, or one that holds
        // no picture or sound yet (a stop before the first packet leaves
        // only the stream's end code), or nothing.
        const String output = main->Jobs(r)->OutputFileName;
        if (QFileInfo::exists(output) && QFileInfo(output).size() >= 2048) {
            EXPECT_EQ(probe(output).Format, QStringLiteral("mpeg")) << output.toStdString();
        }
    }
    click(main->bRemoveAll);
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(main->bAdd->Enabled());
}

TEST_F(MainWindow, ClosingDuringARunWaitsForTheTasksAndHearsNoMore)
{
    drop({clip(QStringLiteral("in/a.avi")), clip(QStringLiteral("in/b.avi"))});
    ASSERT_EQ(rows(), 2);
    main->ThreadCount = 2;
    click(main->bStart);
    ASSERT_TRUE(main->Converting());
    {
        const Watchdog guard("Close");
        main->Close();
    }
    EXPECT_TRUE(main->FFEncoder->AllDone());
    // No progress or terminate record reaches the window after the close
    // (the engine's own log lines still may).
    const auto rowsNow = [this] {
        return QStringList{cell(0, 7), cell(0, 9), cell(1, 7), cell(1, 9),
                           String::number(main->ProgressBar1->Position())};
    };
    const QStringList before = rowsNow();
    settle();
    EXPECT_EQ(rowsNow(), before);
    EXPECT_TRUE(log().filter(QRegularExpression(QStringLiteral("^ERROR: "))).isEmpty());
}

TEST_F(MainWindow, AnOutputFolderThatCannotBeMadeKeepsTheList)
{
    drop({clip(QStringLiteral("in/a.avi")), clip(QStringLiteral("in/b.avi"))});
    ASSERT_EQ(rows(), 2);
    // A folder below a plain file can never be made.
    QFile blocker(home + QStringLiteral("/blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    main->edtOutPath->SetText(home + QStringLiteral("/blocker/out/"));
    click(main->bStart);
    settle();
    EXPECT_FALSE(main->Converting());
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(main->JobCount(), 2);
    EXPECT_EQ(log().filter(QStringLiteral("cannot be created")).size(), 1);
    EXPECT_TRUE(log().filter(QStringLiteral("VIDEO REMOVED")).isEmpty());
    EXPECT_TRUE(main->bStart->Enabled() && main->bAdd->Enabled());
}

TEST_F(MainWindow, RotationChosenInTheFiltersDialogSwapsTheOutputSize)
{
    beforeOk = [](TfrmOption& dialog) {
        // The filters dialog is modal too: choose a right turn in it and OK it.
        QTimer::singleShot(0, [] {
            for (int i = 0; i < Screen->FormCount(); ++i)
                if (auto* filters = dynamic_cast<TfrmFilters*>(Screen->Forms(i)); filters != nullptr && filters->Modal()) {
                    filters->cboRotate->SetItemIndex(filters->cboRotate->Items()->IndexOf(QStringLiteral("Right")));
                    filters->btnOk->Click();
                }
        });
        dialog.btnFilters->Click();
        EXPECT_EQ(dialog.Values().RotateText, QStringLiteral("Right"));
    };
    drop({clip(QStringLiteral("in/turn.avi"))});
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(main->Jobs(0)->RotateText(), QStringLiteral("Right"));
    EXPECT_TRUE(QString::fromUtf8(main->Jobs(0)->OutputOptions.Options).contains(QStringLiteral("rotate=90")))
        << main->Jobs(0)->OutputOptions.Options.toStdString();
    convert(1);
    expectRowsDone();
    const Probe p = probe(main->Jobs(0)->OutputFileName);
    ASSERT_TRUE(p.Read);
    EXPECT_EQ(p.Width, 288);
    EXPECT_EQ(p.Height, 352);
}

TEST_F(MainWindow, ADamagedSettingsFileIsSetAsideAndTheUserToldOnce)
{
    finish();
    const String store = RegistryFileName(HKEY_CURRENT_USER);
    QFile damaged(store);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("\x01\x02 not a settings file [HKEY_\n\"x\"=dword:zz\n");
    damaged.close();
    start();
    const QStringList aside = QDir(QFileInfo(store).absolutePath())
                                  .entryList({QFileInfo(store).fileName() + QStringLiteral(".bad-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    const QStringList told = log().filter(QStringLiteral("could not be read"));
    ASSERT_EQ(told.size(), 1) << log().join(u'\n').toStdString();
    EXPECT_TRUE(told[0].contains(store));
    EXPECT_TRUE(told[0].contains(aside[0]));
    EXPECT_TRUE(told[0].contains(QStringLiteral("default settings are used")));
    // The log is shown for it, and the defaults are in force.
    EXPECT_TRUE(main->ShowLog1->Checked());
    EXPECT_TRUE(main->KitCaptionPanel1->Visible());
    EXPECT_EQ(main->edtOutPath->Text(), defaultOut);

    // The next start finds a sound file and says nothing.
    restart();
    EXPECT_TRUE(log().filter(QStringLiteral("could not be read")).isEmpty());
}

TEST_F(MainWindow, ToolBarMenusListAndHeaderShowTheirPictures)
{
    // A picture has a shape: opaque and clear pixels, and more than two colours.
    const auto drawn = [](const QImage& image) {
        int opaque = 0;
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0) {
                    ++opaque;
                    colours.insert(image.pixel(x, y) | 0xFF000000u);
                }
        return opaque > image.width() * image.height() / 8 && colours.size() > 2;
    };
    const struct {
        TImageList* list;
        int size, count;
    } lists[] = {{main->ImageList1, 48, 10}, {main->ImageList2, 16, 12}, {main->ImgListStatus, 16, 4}};
    for (const auto& l : lists) {
        SCOPED_TRACE(l.list->Name().toStdString());
        EXPECT_EQ(l.list->Width(), l.size);
        EXPECT_EQ(l.list->Height(), l.size);
        ASSERT_EQ(l.list->Count(), l.count);
        for (int i = 0; i < l.count; ++i)
            EXPECT_TRUE(drawn(l.list->ImageAt(i))) << i;
        // No two pictures of a list alike.
        for (int i = 0; i + 1 < l.count; ++i)
            EXPECT_NE(l.list->ImageAt(i), l.list->ImageAt(i + 1)) << i;
    }
    EXPECT_EQ(main->ToolBar1->Images(), main->ImageList1);
    for (TMenuItem* item : {main->mnuAdd, main->mnuPlay, main->Help1, main->About1})
        EXPECT_FALSE(item->Action()->icon().isNull()) << item->Caption().toStdString();
    for (TImage* header : {main->Image1, main->Image2, main->Image3}) {
        EXPECT_EQ(header->Picture()->Width(), header->Width());
        EXPECT_TRUE(drawn(header->Picture()->Bitmap()->Image())) << header->Name().toStdString();
    }

    // On screen: the Add button's picture above its caption, the disabled
    // Convert button's greyed.
    const QImage shot = main->Widget()->grab().toImage();
    const auto colours = [&](TControl* button) {
        const TPoint at = button->ClientToScreen({0, 0});
        const QPoint origin = main->Widget()->mapFromGlobal(QPoint(at.X, at.Y));
        QSet<QRgb> seen;
        for (int y = 2; y < 50; ++y)
            for (int x = 0; x < button->Width(); ++x)
                seen.insert(shot.pixel(origin.x() + x, origin.y() + y) | 0xFF000000u);
        return seen.size();
    };
    EXPECT_GT(colours(main->bAdd), 8);
    EXPECT_FALSE(main->bStart->Enabled());
    EXPECT_LT(colours(main->bStart), colours(main->bAdd));
}

TEST_F(MainWindow, AboutShowsTheVersionAndHelpOpensTheGuideBesideTheProgram)
{
    std::optional<QStringList> seen;
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* about = dynamic_cast<TfrmAbout*>(Screen->Forms(i)); about != nullptr && about->Modal()) {
                seen = QStringList{about->Label2->Caption(), about->Label3->Caption(), about->Label5->Caption(),
                                   about->Label8->Visible() ? QStringLiteral("contact") : QStringLiteral("none")};
                about->btnOk->Click();
            }
    });
    main->About1->Click();
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ((*seen)[0], QStringLiteral("Version 9.8.7 (Build 9.8.7.6)"));
    EXPECT_EQ((*seen)[1], QString::fromUtf8("Copyright \xC2\xA9 by Vorlane Main Window Tests"));
    EXPECT_EQ((*seen)[2], LoadResString(AboutConsts::SUserGuideLink));
    EXPECT_EQ((*seen)[3], QStringLiteral("none"));  // the build names no contact address
    EXPECT_EQ(main->AboutBox, nullptr);

    // Without addresses from the build, every page is the guide beside the program.
    const String guide = UserGuideFile();
    EXPECT_EQ(QFileInfo(guide).absolutePath(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(HomePageAddress(), guide);
    EXPECT_EQ(UpdateAddress(), guide);
    EXPECT_EQ(ContactAddress(), String());
    // The program's own folder holds the guide the build put there.
    QFile shipped(UserGuideFile(QStringLiteral(VORLANE_PROGRAM_DIR)));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(shipped.readAll());
    for (const char* section : {"Adding files", "Profiles", "Converting", "Where the outputs go", "Settings",
                                "Where the settings are kept"})
        EXPECT_TRUE(page.contains(QString::fromLatin1(section))) << section;
    EXPECT_FALSE(page.contains(QStringLiteral("example.")));
}

// The program's own skin frames the main, options, settings and about
// windows: each gets a skinner and the skin's frame around a client of the
// size it has without the skin, and the window system's frame comes back
// around the same client once the skin goes away.
TEST_F(MainWindow, TheSkinFramesEveryWindowAroundItsClient)
{
    ASSERT_NE(main->SkinData1, nullptr);
    EXPECT_TRUE(main->SkinData1->Active());
    EXPECT_EQ(main->SkinData1->DisableTag(), 99);
    EXPECT_EQ(main->SkinData1->SkinFormtype(), sfMainform);
    EXPECT_TRUE(main->SkinData1->SkinLoaded());  // the whole skin was read
    QFile stream(QStringLiteral(":/SkinStream"));
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    EXPECT_EQ(main->SkinData1->SkinStream(), stream.readAll());
    ASSERT_NE(SkinManager(), nullptr);

    const auto visitAll = [&](bool skinned) {
        std::vector<std::pair<int, int>> clients;
        const auto visit = [&](TCustomForm* form) {
            SCOPED_TRACE(form->Name().toStdString());
            form->Show();
            if (skinned) {
                QElapsedTimer clock;
                clock.start();
                TSknForm* skinner = nullptr;
                while (clock.elapsed() < 5000
                       && ((skinner = SkinManager()->FindSkinner(form)) == nullptr || skinner->State() != 1))
                    settle();
                ASSERT_NE(skinner, nullptr);
                EXPECT_EQ(skinner->State(), 1);
                EXPECT_TRUE(form->CustomFrame());
                EXPECT_EQ(form->Width(), form->ClientWidth() + skinner->LeftWidth() + skinner->RightWidth());
            } else {
                settle();
                EXPECT_FALSE(form->CustomFrame());
                EXPECT_EQ(form->Width(), form->ClientWidth());
            }
            clients.emplace_back(form->ClientWidth(), form->ClientHeight());
            if (form != main)
                form->Hide();
            settle();
        };
        visit(main);
        {
            TfrmOption options(main, main->FFEncoder->Decoder());
            visit(&options);
        }
        visit(main->frmSettings);
        {
            TfrmAbout about(main);
            visit(&about);
        }
        return clients;
    };
    const std::vector<std::pair<int, int>> with = visitAll(true);
    delete main->SkinData1;
    main->SkinData1 = nullptr;
    FreeSkinManager();
    const std::vector<std::pair<int, int>> without = visitAll(false);
    EXPECT_EQ(with, without);
}

// The dialogs' controls get their skinners and still work by mouse and
// keyboard; a control with its skin switched off looks as it does unskinned.
TEST_F(MainWindow, DialogControlsAreSkinnedAndKeepWorking)
{
    ASSERT_NE(SkinManager(), nullptr);
    const auto skinnedNow = [&](TCustomForm* form) {
        form->Show();
        QElapsedTimer clock;
        clock.start();
        TSknForm* skinner = nullptr;
        while (clock.elapsed() < 5000
               && ((skinner = SkinManager()->FindSkinner(form)) == nullptr || skinner->State() != 1))
            settle();
        settle();
        return skinner;
    };
    const auto click = [](QWidget* w, QPoint p) {
        QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    };
    const auto space = [](QWidget* w) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(w, &release);
    };
    const auto kind = [](TSknForm* skinner, TControl* c) {
        TSkinControl* s = skinner->FindControlSkinner(c);
        return s != nullptr ? s->ClassName() : QStringLiteral("-");
    };
    {
        TfrmOption options(main, main->FFEncoder->Decoder());
        TSknForm* skinner = skinnedNow(&options);
        ASSERT_NE(skinner, nullptr);
        EXPECT_EQ(kind(skinner, options.btnOk), QStringLiteral("TSkinButton"));
        EXPECT_EQ(kind(skinner, options.chkKeepAspect), QStringLiteral("TSkinCheckBox"));
        ASSERT_GT(options.grpAspectRatio->ButtonCount(), 1);
        EXPECT_EQ(kind(skinner, options.grpAspectRatio->Buttons(1)), QStringLiteral("TSkinRadioButton"));
        EXPECT_EQ(kind(skinner, options.cmbFormats), QStringLiteral("TSkinComBox"));
        EXPECT_EQ(kind(skinner, options.trcVolume), QStringLiteral("TSkinTrackBar"));
        EXPECT_EQ(kind(skinner, options.grpVolume), QStringLiteral("TSkinGroupBox"));
        // Keyboard: space toggles the check box.
        const bool checked = options.chkKeepAspect->Checked();
        options.chkKeepAspect->SetFocus();
        settle();
        space(options.chkKeepAspect->Widget());
        settle();
        EXPECT_NE(options.chkKeepAspect->Checked(), checked);
        // Mouse: a click on a radio button checks it.
        TRadioButton* radio = options.grpAspectRatio->Buttons(1);
        click(radio->Widget(), QPoint(5, radio->Height() / 2));
        settle();
        EXPECT_TRUE(radio->Checked());
        // Skin off: as unskinned.
        options.btnOk->Perform(SKIN_ON_OFF, 0);
        const QImage off = options.btnOk->Widget()->grab().toImage();
        options.btnOk->Perform(SKIN_ON_OFF, 1);
        EXPECT_NE(options.btnOk->Widget()->grab().toImage(), off);
        skinner->FreeSkinners(true);
        settle();
        EXPECT_EQ(options.btnOk->Widget()->grab().toImage(), off);
        options.Hide();
    }
    {
        TfrmAbout about(main);
        TSknForm* skinner = skinnedNow(&about);
        ASSERT_NE(skinner, nullptr);
        // Named in the skin's class map as a bit button.
        EXPECT_EQ(kind(skinner, about.btnOk), QStringLiteral("TSkinBitButton"));
        bool closed = false;
        about.OnClose = TCloseEvent::FromFunction([&](TObject*, TCloseAction&) { closed = true; });
        click(about.btnOk->Widget(), QPoint(10, 10));
        settle();
        EXPECT_TRUE(closed);
    }
    TSknForm* skinner = skinnedNow(main->frmSettings);
    ASSERT_NE(skinner, nullptr);
    EXPECT_EQ(kind(skinner, main->frmSettings->bOk), QStringLiteral("TSkinButton"));
    EXPECT_EQ(kind(skinner, main->frmSettings->JoinFiles), QStringLiteral("TSkinCheckBox"));
    EXPECT_EQ(kind(skinner, main->frmSettings->PageControl1), QStringLiteral("TSkinTab"));
    EXPECT_EQ(kind(skinner, main->frmSettings->tsProgram), QStringLiteral("TSkinTabSheet"));
    main->frmSettings->Hide();
    settle();
}

// Under an X server without a window manager, with real pointer input
// (the xvfb test of this folder; skipped elsewhere): each skinned window is
// moved by its caption and closed by its close button, and the main window
// is maximised and restored by double clicks on its caption.
class MainWindowX11 : public MainWindow {
protected:
    void SetUp() override
    {
        if (const QString why = xpointer::Unavailable(); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        MainWindow::SetUp();
    }
    static QPoint screenOf(TCustomForm* Form, QPoint WindowPoint) { return Form->Widget()->mapToGlobal(WindowPoint); }
    static TSknForm* skinned(TCustomForm* Form)
    {
        TSknForm* skinner = nullptr;
        xpointer::WaitFor([&] {
            skinner = SkinManager() != nullptr ? SkinManager()->FindSkinner(Form) : nullptr;
            return skinner != nullptr && skinner->State() == 1 && Form->Widget()->windowHandle()->isExposed();
        });
        return skinner;
    }
    // Drags the caption by (40, 30) and checks the window followed.
    static void dragCaption(TCustomForm* Form)
    {
        const TRect start = Form->BoundsRect();
        const QPoint from = screenOf(Form, QPoint(Form->Width() / 3, 10));
        ASSERT_TRUE(xpointer::MoveTo(from));
        ASSERT_TRUE(xpointer::Press());
        ASSERT_TRUE(xpointer::MoveTo(from + QPoint(20, 15)));
        ASSERT_TRUE(xpointer::MoveTo(from + QPoint(40, 30)));
        ASSERT_TRUE(xpointer::Release());
        EXPECT_TRUE(xpointer::WaitFor([&] { return Form->Left() == start.Left + 40 && Form->Top() == start.Top + 30; }))
            << Form->Left() << "," << Form->Top();
    }
    static void clickClose(TCustomForm* Form, TSknForm* Skinner)
    {
        Skinner->LayoutCaptionButtons(Form->Width());
        for (const auto& button : Skinner->CaptionButtons())
            if (button->Visible && button->SkinButton->Action == 0) {
                const TRect r = button->Rect;
                ASSERT_TRUE(xpointer::MoveTo(screenOf(Form, QPoint(r.Left + r.Width() / 2, r.Top + r.Height() / 2))));
                ASSERT_TRUE(xpointer::Click());
                return;
            }
        ADD_FAILURE() << "no close button";
    }
};

TEST_F(MainWindowX11, SkinnedWindowsAreOperatedByThePointer)
{
    TSknForm* mainSkinner = skinned(main);
    ASSERT_NE(mainSkinner, nullptr);
    dragCaption(main);
    const TRect normal = main->BoundsRect();
    ASSERT_TRUE(xpointer::MoveTo(screenOf(main, QPoint(main->Width() / 3, 10))));
    ASSERT_TRUE(xpointer::Click(2));
    ASSERT_TRUE(xpointer::WaitFor([&] { return main->WindowState() == wsMaximized; }));
    EXPECT_EQ(main->BoundsRect(), main->MaximizedBounds());
    ASSERT_TRUE(xpointer::MoveTo(screenOf(main, QPoint(main->Width() / 3, 10))));
    ASSERT_TRUE(xpointer::Click(2));
    ASSERT_TRUE(xpointer::WaitFor([&] { return main->WindowState() == wsNormal; }));
    EXPECT_EQ(main->BoundsRect(), normal);

    // Closed, a window hides (the about box frees itself).
    const auto operate = [&](TCustomForm* form, bool freesItself) {
        SCOPED_TRACE(form->Name().toStdString());
        form->Show();
        TSknForm* skinner = skinned(form);
        ASSERT_NE(skinner, nullptr);
        dragCaption(form);
        const QPointer<QWidget> window(form->Widget());
        clickClose(form, skinner);
        if (freesItself)
            EXPECT_TRUE(xpointer::WaitFor([&] { return window.isNull(); }));
        else
            EXPECT_TRUE(xpointer::WaitFor([&] { return !form->Visible(); }));
    };
    {
        TfrmOption options(main, main->FFEncoder->Decoder());
        operate(&options, false);
    }
    operate(main->frmSettings, false);
    operate(new TfrmAbout(main), true);  // owned by the main window until it frees itself
}

// Listens on a connection of its own, as the desktop's launcher would.
class TLauncherListener : public QObject {
    Q_OBJECT
public:
    QList<double> Progress;

public slots:
    void Update(const QString&, const QVariantMap& properties)
    {
        if (properties.contains(QStringLiteral("progress")))
            Progress << properties.value(QStringLiteral("progress")).toDouble();
    }
};

// Run under a session bus of the test's own (a ctest entry of its own).
using MainWindowDBus = MainWindow;

TEST_F(MainWindowDBus, AConversionDrivesTheLauncherProgressToTheEnd)
{
    if (qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty() || !QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    QDBusConnection watcher = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("launcher"));
    ASSERT_TRUE(watcher.isConnected());
    TLauncherListener listener;
    ASSERT_TRUE(watcher.connect(QString(), LauncherEntryPath(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                QStringLiteral("Update"), &listener, SLOT(Update(QString,QVariantMap))));
    // The match rule is in place once a call on the same connection returns.
    watcher.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    drop({clip(QStringLiteral("in/a.avi")), clip(QStringLiteral("in/b.avi"))});
    ASSERT_EQ(rows(), 2);
    convert(1);
    expectRowsDone();
    EXPECT_DOUBLE_EQ(main->TaskbarListProgress1->LastProgress(), 1.0);
    ASSERT_TRUE(pumpUntil([&] { return !listener.Progress.isEmpty() && listener.Progress.last() >= 1.0; }));
    EXPECT_EQ(listener.Progress.last(), 1.0);
    QDBusConnection::disconnectFromBus(QStringLiteral("launcher"));
}

}  // namespace

#include "mainUTest.moc"
