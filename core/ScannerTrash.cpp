#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/ProtectedPaths.h"
#include "core/engine/AdminCommand.h"
#include "core/engine/SystemOperations.h"
#include "platform/Trash.h"

#include <QSet>

namespace {
const QString kCocoaErrorDomain = QStringLiteral("NSCocoaErrorDomain");
constexpr int kNoWritePermission = 513;
}

void Scanner::moveToTrash(const QList<LeftoverItem> &items)
{
    AppLogger *logger = m_services.logger;
    if (isUITesting()) {
        logger->log(QStringLiteral("UI-TEST: moveToTrash blocked (%1 items)").arg(items.size()));
        return;
    }
    setRemovalFailures({});

    QList<LeftoverItem> trashList;
    QList<LeftoverItem> adminList;
    QList<LeftoverItem> removed;
    QList<LeftoverItem> failures;

    for (const LeftoverItem &item : items) {
        if (!item.path)
            continue;
        if (ProtectedPaths::queuesForAdministrator(m_services, *item.path))
            adminList.append(item);
        else
            trashList.append(item);
    }

    // Two selected rows may share a path (the scan does not de-duplicate); once
    // it is in the Trash, a second attempt would fail and ask for a password
    // to remove what is already gone.
    QSet<QString> trashedPaths;
    for (const LeftoverItem &item : trashList) {
        if (trashedPaths.contains(*item.path)) {
            removed.append(item);
            continue;
        }
        const std::optional<TrashError> error = ProtectedPaths::moveToTrashIfAllowed(m_services, *item.path);
        if (!error) {
            trashedPaths.insert(*item.path);
            removed.append(item);
        } else if (error->code == kNoWritePermission || error->domain == kCocoaErrorDomain) {
            adminList.append(item);
        } else {
            failures.append(item);
            logger->log(QStringLiteral("TRASH FAILED: ") + *item.path + QStringLiteral(" — ") + error->description);
        }
    }

    if (!adminList.isEmpty()) {
        const QString name = adminList.size() == 1 ? adminList.first().appName : QStringLiteral("the selected items");
        QStringList paths;
        for (const LeftoverItem &item : adminList)
            paths.append(*item.path);
        const AdminRemovalResult result =
            ScannerEngine::removeWithAdministratorPrivileges(m_services.roots, m_services.runner, paths, name);
        if (result.cancelled) {
            logger->log(QStringLiteral("ADMIN RM CANCELLED for ") + name + QStringLiteral(" (%1 items)").arg(paths.size()));
            failures.append(adminList);
        } else {
            const QSet<QString> removedPaths(result.removed.cbegin(), result.removed.cend());
            for (const LeftoverItem &item : adminList) {
                if (removedPaths.contains(*item.path)) {
                    removed.append(item);
                } else {
                    failures.append(item);
                    logger->log(QStringLiteral("ADMIN RM FAILED: ") + *item.path);
                }
            }
        }
    }

    logger->logTrashed(removed);

    QSet<QString> removedPaths;
    for (const LeftoverItem &item : removed)
        removedPaths.insert(*item.path);
    QList<LeftoverItem> remaining;
    for (const LeftoverItem &row : m_items) {
        if (!row.path || !removedPaths.contains(*row.path))
            remaining.append(row);
    }
    setItems(remaining);

    if (!failures.isEmpty()) {
        setRemovalFailures(failures);
        setScanProgress(localized(QStringLiteral("trash_partial"), {int(removed.size()), int(failures.size())}));
    }
}
