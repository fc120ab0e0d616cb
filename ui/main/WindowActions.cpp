#include "ui/main/WindowActions.h"

#include "core/AppLogger.h"
#include "core/Scanner.h"
#include "model/StoredLists.h"
#include "platform/Workspace.h"

#include <QUrl>

namespace WindowActions {

void revealInFinder(const Scanner &scanner, const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    if (Workspace *workspace = scanner.services().workspace)
        workspace->revealFiles(urls);
}

void unignoreBundleID(const Scanner &scanner, const QString &bundleID)
{
    const ScannerServices &services = scanner.services();
    StoredLists::removeFromIgnoreList(bundleID, *services.defaults);
    if (services.logger)
        services.logger->log(QStringLiteral("UN-IGNORED: ") + bundleID);
}

} // namespace WindowActions
