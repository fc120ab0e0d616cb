#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/MainThread.h"
#include "core/engine/SystemOperations.h"

#include <QPointer>
#include <QSet>

#include <utility>

namespace {

constexpr int kUserInitiatedPriority = 10;

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

    const ScannerServices services = m_services;
    // The task runs to its end whatever happens to the window; only the final
    // update needs the Scanner, and a deleted one has nothing left to update.
    QPointer<Scanner> scanner(this);
    runInBackground(
        [scanner, services, items] {
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

            postToMainThread([scanner, reset] {
                if (!scanner)
                    return;
                scanner->dropItems([&](const LeftoverItem &row) { return isResetPermission(row, reset); });
            });
        },
        kUserInitiatedPriority);
}

void Scanner::resetAllPermissions(const QString &bundleID, const QString &appName)
{
    if (isUITesting()) {
        m_services.logger->log(QStringLiteral("UI-TEST: resetAllPermissions blocked (") + bundleID
                               + QLatin1Char(')'));
        return;
    }

    const ScannerServices services = m_services;
    QPointer<Scanner> scanner(this);
    runInBackground(
        [scanner, services, bundleID, appName] {
            if (!ScannerEngine::tccResetAll(services.runner, bundleID)) {
                // Nothing was reset: the rows stay and no success is announced.
                services.logger->log(QStringLiteral("RESET ALL PERMISSIONS FAILED: ") + bundleID);
                return;
            }
            services.logger->log(QStringLiteral("RESET ALL PERMISSIONS: ") + bundleID);

            postToMainThread([scanner, bundleID, appName] {
                if (!scanner)
                    return;
                scanner->dropItems([&](const LeftoverItem &row) {
                    return row.type == LeftoverType::permission && row.bundleID == bundleID;
                });
                scanner->setScanProgress(scanner->localized(QStringLiteral("reset_all_permissions_done"), {appName}));
            });
        },
        kUserInitiatedPriority);
}
