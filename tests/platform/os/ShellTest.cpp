// The shell's open and show-in-folder, observed through Qt's URL handler
// seam (no desktop program is started).
#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <gtest/gtest.h>

#include "platform/os/Shell.h"

namespace {

class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void open(const QUrl& url) { Urls.push_back(url); }
};

TEST(Shell, OpenGoesToTheDesktopAsAFileUrl)
{
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    EXPECT_TRUE(ShellOpen(QStringLiteral("/tmp/some file.mkv")));
    EXPECT_FALSE(ShellOpen(QString()));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.Urls.size(), 1);
    EXPECT_EQ(recorder.Urls[0].toLocalFile(), QStringLiteral("/tmp/some file.mkv"));
}

TEST(Shell, ShowInFolderWithoutFileManagerOpensTheFolder)
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    EXPECT_TRUE(ShellShowInFolder(QStringLiteral("/tmp/dir/clip.mp4")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(recorder.Urls.size(), 1);
    EXPECT_EQ(recorder.Urls[0].toLocalFile(), QStringLiteral("/tmp/dir"));
}

}  // namespace

#include "ShellTest.moc"
