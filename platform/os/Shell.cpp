#include "platform/os/Shell.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

QUrl toUrl(const String& FileOrUrl)
{
    const QUrl url(FileOrUrl);
    if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(QFileInfo(FileOrUrl).absoluteFilePath());
}

}  // namespace

bool ShellOpen(const String& FileOrFolder)
{
    if (FileOrFolder.isEmpty())
        return false;
    return QDesktopServices::openUrl(toUrl(FileOrFolder));
}

bool ShellShowInFolder(const String& FileName)
{
    if (FileName.isEmpty())
        return false;
    const QFileInfo info(FileName);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        const QString service = QStringLiteral("org.freedesktop.FileManager1");
        QDBusConnectionInterface* names = bus.interface();
        const bool present = names != nullptr
            && (names->isServiceRegistered(service).value() || names->activatableServiceNames().value().contains(service));
        if (present) {
            QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                                              service, QStringLiteral("ShowItems"));
            call << QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()} << QString();
            const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
            if (reply.type() == QDBusMessage::ReplyMessage)
                return true;
        }
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()));
}
