// Taskbar progress: the states it reports, and the launcher-entry signals
// on a session bus (run under dbus-run-session by its own ctest entry).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
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

// Listens on a connection of its own, as the desktop's launcher would.
class TLauncherListener : public QObject {
    Q_OBJECT
public:
    QStringList Apps;
    QList<double> Progress;

public slots:
    void Update(const QString& app, const QVariantMap& properties)
    {
        Apps << app;
        if (properties.contains(QStringLiteral("progress")))
            Progress << properties.value(QStringLiteral("progress")).toDouble();
    }
};

TEST(TaskbarDBus, ProgressSignalsReachTheEnd)
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
    // Signals arrive through the event loop; keep it turning until the last one.
    for (int i = 0; i < 200 && (listener.Progress.isEmpty() || listener.Progress.last() < 1.0); ++i) {
        pump(app);
        QThread::msleep(10);
    }
    ASSERT_FALSE(listener.Progress.isEmpty());
    EXPECT_TRUE(listener.Apps.contains(QStringLiteral("application://vorlane.desktop")));
    EXPECT_TRUE(listener.Progress.contains(0.5));
    EXPECT_EQ(listener.Progress.last(), 1.0);
    QDBusConnection::disconnectFromBus(QStringLiteral("launcher"));
}

}  // namespace

#include "TaskbarTest.moc"
