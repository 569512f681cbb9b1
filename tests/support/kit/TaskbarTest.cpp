// Taskbar progress: the states it reports, and the launcher-entry signals
// on a session bus (run under dbus-run-session by its own ctest entry).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include "platform/controls/ComCtrls.h"
#include "platform/controls/Forms.h"
#include "support/uTaskBarListProgress.h"

namespace {

void pump(TApplication& app)
{
    for (int i = 0; i < 5; ++i)
        app.ProcessMessages();
}

TEST(Taskbar, FollowsTheBarsStates)
{
    TApplication app(nullptr);
    app.Initialize();
    TForm form(nullptr);
    auto* bar = new TProgressBar(&form);
    bar->SetParent(&form);
    TTaskbarListProgress progress(nullptr);
    progress.SetProgressBar(bar);
    pump(app);
    EXPECT_EQ(progress.LastFlags(), uint32_t(TBPF_NOPROGRESS));
    bar->SetPosition(1);
    pump(app);
    EXPECT_EQ(progress.LastFlags(), uint32_t(TBPF_NORMAL));
    EXPECT_DOUBLE_EQ(progress.LastProgress(), 0.01);
    progress.SetProgressBar(nullptr);
    progress.SetMarquee(true);
    pump(app);
    EXPECT_EQ(progress.LastFlags(), uint32_t(TBPF_INDETERMINATE));
    progress.SetMarquee(false);
    progress.SetProgressBar(bar);
    delete bar;  // freeing the bar first leaves the component working
    EXPECT_EQ(progress.ProgressBar(), nullptr);
    progress.SetPosition(50);
    pump(app);
    EXPECT_EQ(progress.LastFlags(), uint32_t(TBPF_NORMAL));
}

TEST(TaskbarDBus, ProgressSignalsReachTheEnd)
{
    if (qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty() || !QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    QProcess monitor;
    monitor.start(QStringLiteral("dbus-monitor"),
                  {QStringLiteral("--session"),
                   QStringLiteral("type='signal',interface='com.canonical.Unity.LauncherEntry',member='Update'")});
    ASSERT_TRUE(monitor.waitForStarted(10000));
    QThread::msleep(500);  // the monitor registers its match before the first signal
    TApplication app(nullptr);
    app.Initialize();
    TForm form(nullptr);
    auto* bar = new TProgressBar(&form);
    bar->SetParent(&form);
    bar->SetRange(0, 1000);
    TTaskbarListProgress progress(nullptr);
    progress.SetProgressBar(bar);
    // A conversion's progress as the main window drives the total bar.
    for (int p = 0; p <= 1000; p += 250) {
        bar->SetPosition(p);
        pump(app);
    }
    QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    QByteArray seen;
    for (int i = 0; i < 50 && !seen.contains("double 1\n"); ++i) {
        monitor.waitForReadyRead(100);
        seen += monitor.readAllStandardOutput();
    }
    monitor.kill();
    monitor.waitForFinished();
    EXPECT_TRUE(seen.contains(LauncherEntryPath().toUtf8())) << seen.constData();
    EXPECT_TRUE(seen.contains("application://vorlane.desktop"));
    EXPECT_TRUE(seen.contains("double 0.5"));
    EXPECT_TRUE(seen.contains("double 1\n"));
}

}  // namespace
