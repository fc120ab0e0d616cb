#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/engine/SystemOperations.h"
#include "model/IsolatedText.h"

#include <QSet>

#include <utility>

namespace {

using PermissionKey = std::pair<QString, QString>; // bundle ID, service

bool isResetPermission(const LeftoverItem &row, const QSet<PermissionKey> &reset)
{
    return row.type == LeftoverType::permission && row.bundleID && row.permissionService
        && reset.contains({*row.bundleID, *row.permissionService});
}

}

void Scanner::resetPermissions(const QList<LeftoverItem> &items)
{
    if (isUITesting()) {
        m_services.logger->log(QStringLiteral("UI-TEST: resetPermissions blocked (%1 items)").arg(items.size()));
        return;
    }

    // The resets run to their end whatever happens to the window; only the
    // update of the list needs the Scanner, and a deleted one has none to update.
    runTask(
        kUserInitiatedPriority,
        [services = m_services, items](const ScannerLink &) {
            QSet<PermissionKey> tried;
            QSet<PermissionKey> reset;
            for (const LeftoverItem &row : items) {
                if (!row.bundleID || !row.permissionService)
                    continue;
                const PermissionKey key{*row.bundleID, *row.permissionService};
                if (tried.contains(key))
                    continue;
                tried.insert(key);
                const QString what = *row.bundleID + QStringLiteral(" [") + *row.permissionService + QLatin1Char(']');
                if (ScannerEngine::tccReset(services.runner, *row.bundleID, *row.permissionService)) {
                    reset.insert(key);
                    services.logger->log(QStringLiteral("RESET PERMISSION: ") + what);
                } else {
                    services.logger->log(QStringLiteral("RESET PERMISSION FAILED: ") + what);
                }
            }
            return reset;
        },
        [](Scanner &scanner, const QSet<PermissionKey> &reset) {
            scanner.dropItems([&](const LeftoverItem &row) { return isResetPermission(row, reset); });
        });
}

void Scanner::resetAllPermissions(const QString &bundleID, const QString &appName)
{
    if (isUITesting()) {
        m_services.logger->log(QStringLiteral("UI-TEST: resetAllPermissions blocked (") + bundleID
                               + QLatin1Char(')'));
        return;
    }

    runTask(
        kUserInitiatedPriority,
        [services = m_services, bundleID](const ScannerLink &) {
            const bool reset = ScannerEngine::tccResetAll(services.runner, bundleID);
            // When nothing was reset, the rows stay and no success is announced.
            services.logger->log((reset ? QStringLiteral("RESET ALL PERMISSIONS: ")
                                        : QStringLiteral("RESET ALL PERMISSIONS FAILED: "))
                                 + bundleID);
            return reset;
        },
        [bundleID, appName](Scanner &scanner, bool reset) {
            if (!reset)
                return;
            scanner.dropItems([&](const LeftoverItem &row) {
                return row.type == LeftoverType::permission && row.bundleID == bundleID;
            });
            scanner.setScanProgress(scanner.localized(QStringLiteral("reset_all_permissions_done"), {isolatedText(appName)}));
        });
}
