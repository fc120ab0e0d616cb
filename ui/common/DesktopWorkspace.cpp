#include "ui/common/DesktopWorkspace.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>

DesktopWorkspace::DesktopWorkspace(QObject *parent)
    : QObject(parent)
{
}

bool DesktopWorkspace::openUrl(const QUrl &url)
{
    // A URL without a scheme could read as a local path.
    if (!url.isValid() || url.scheme().isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

bool DesktopWorkspace::revealFiles(const QList<QUrl> &files)
{
    QStringList uris;
    for (const QUrl &file : files) {
        if (file.isLocalFile())
            uris << file.toString(QUrl::FullyEncoded);
    }
    if (uris.isEmpty())
        return false;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return openContainingFolder(files);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    // Asynchronous, so a slow or absent file manager never freezes the window.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, files](QDBusPendingCallWatcher *done) {
        if (QDBusPendingReply<> reply = *done; reply.isError())
            openContainingFolder(files);
        done->deleteLater();
    });
    return true;
}

DesktopWorkspace &DesktopWorkspace::shared()
{
    static DesktopWorkspace workspace;
    return workspace;
}
