// The program itself, started as a user starts it (offscreen): a termination
// signal ends it as the desktop logging out does, through the main window's
// close, so its settings are stored as at a normal close.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// True once the process catches Signal (its handlers are in place).
bool catches(qint64 Pid, int Signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(Pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (Signal - 1)) & 1;
    return false;
}

TEST(Program, TerminationSignalStoresTheSettingsAsAClosingDoes)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        const QString config = home.path() + QStringLiteral("/.config");
        QDir().mkpath(config);
        QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
        dirs.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(VORLANE_PROGRAM_FILE), QStringList());
        ASSERT_TRUE(program.waitForStarted(30000));
        for (int i = 0; i < 600 && !catches(program.processId(), signal); ++i)
            QThread::msleep(50);
        ASSERT_TRUE(catches(program.processId(), signal)) << "the program never reached its event loop";
        const QString registry = config + QStringLiteral("/vorlane");
        EXPECT_FALSE(QDir(registry).exists() && !QDir(registry).entryList({QStringLiteral("*.reg")}).isEmpty())
            << "settings were stored before the close";
        ::kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        // The main window's storage wrote its values and placement.
        QString stored;
        for (const QString& name : QDir(registry).entryList({QStringLiteral("*.reg")})) {
            QFile f(registry + u'/' + name);
            if (f.open(QIODevice::ReadOnly))
                stored += QString::fromUtf8(f.readAll());
        }
        EXPECT_TRUE(stored.contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Vorlane\\Options]"))) << stored.toStdString();
        EXPECT_TRUE(stored.contains(QStringLiteral("\"edtOutPath_Text\"=\"") + home.path() + QStringLiteral("/Documents/VideoOutput/")))
            << stored.toStdString();
        EXPECT_TRUE(stored.contains(QStringLiteral("\"ShowLog1_Checked\"=\"FALSE\"")));
        EXPECT_TRUE(stored.contains(QStringLiteral("\"NormPos\"=")));
    }
}

}  // namespace
