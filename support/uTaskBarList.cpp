#include "support/uTaskBarList.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

const UINT TTaskBarListComponent::WM_AUTOINIT = WM_APP + 0x3A0;
const UINT TTaskBarListComponent::WM_INITIALIZE = WM_APP + 0x3A1;
const UINT TTaskBarListComponent::WM_UPDATE = WM_APP + 0x3A2;

String LauncherEntryPath()
{
    // Desktops key the entry by its URI; the path only has to be stable and valid.
    const QByteArray hash = QCryptographicHash::hash(LauncherAppUri, QCryptographicHash::Md5).toHex();
    return QStringLiteral("/com/canonical/unity/launcherentry/") + String::fromLatin1(hash);
}

TTaskBarListComponent::TTaskBarListComponent(TComponent* AOwner) : TComponent(AOwner)
{
    FWindow = AllocateHWnd(TWndMethod(this, &TTaskBarListComponent::wndProc));
    FTaskbarAvailable = QDBusConnection::sessionBus().isConnected();
    PostMessage(Handle(), WM_AUTOINIT, 0, 0);
}

TTaskBarListComponent::~TTaskBarListComponent() = default;

void TTaskBarListComponent::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_AUTOINIT) {
        if (FAutoInitialize)
            Initialize();
    } else if (Message.Msg == WM_INITIALIZE) {
        if (!FInitialized)
            Initialize();
    } else if (Message.Msg == WM_UPDATE) {
        if (FInitialized)
            UpdateTaskBar();
    }
}

void TTaskBarListComponent::PostUpdate()
{
    if (FWindow && FInitialized)
        PostMessage(Handle(), WM_UPDATE, 0, 0);
}

void TTaskBarListComponent::SendLauncherUpdate(double Progress, bool Visible, bool Urgent)
{
    if (!FTaskbarAvailable)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(LauncherEntryPath(), QString::fromLatin1(LauncherInterface),
                                                     QStringLiteral("Update"));
    QVariantMap properties;
    properties.insert(QStringLiteral("progress"), Progress);
    properties.insert(QStringLiteral("progress-visible"), Visible);
    properties.insert(QStringLiteral("urgent"), Urgent);
    signal << QString::fromLatin1(LauncherAppUri) << properties;
    QDBusConnection::sessionBus().send(signal);
}
