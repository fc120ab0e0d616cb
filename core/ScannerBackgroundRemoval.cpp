#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/MainThread.h"
#include "core/RemovalPipeline.h"
#include "core/engine/AppIndex.h"
#include "core/engine/SystemOperations.h"
#include "model/StoredLists.h"
#include "platform/Workspace.h"

#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

const QString kLoginItemsPane = QStringLiteral("x-apple.systempreferences:com.apple.LoginItems-Settings.extension");

QString labelOf(const LeftoverItem &row)
{
    return row.bundleID.value_or(QString());
}

// The property lists of background helpers, with the log's words for them.
class HelperFileRemoval : public RemovalPipeline
{
public:
    explicit HelperFileRemoval(const ScannerServices &services)
        : RemovalPipeline(services, Retry::NoWritePermission)
    {
    }

protected:
    void logTrashed(const QString &path) override
    {
        logger().log(QStringLiteral("BG ACTIVITY: unloaded + trashed ") + path);
    }
    void logTrashFailed(const QString &path, const TrashError &error) override
    {
        logger().log(QStringLiteral("BG ACTIVITY TRASH FAILED: ") + path + QStringLiteral(" — ") + error.description);
    }
    void logAdministrator(const QString &, const QStringList &paths, const AdminRemovalResult &result) override
    {
        if (result.cancelled) {
            logger().log(QStringLiteral("BG ACTIVITY ADMIN RM CANCELLED (%1 items)").arg(paths.size()));
            return;
        }
        for (const QString &path : result.removed)
            logger().log(QStringLiteral("BG ACTIVITY: admin-removed ") + path);
        for (const QString &path : result.failed)
            logger().log(QStringLiteral("BG ACTIVITY ADMIN RM FAILED: ") + path);
    }
};

// Unloads, stops and removes the helpers of `items`; returns the ids of the
// rows that leave the list.
QSet<QUuid> removeHelpers(const ScannerServices &services, const QList<LeftoverItem> &items)
{
    const QSet<QString> installedIDs =
        ScannerEngine::installedAppIndex(services.roots, StoredLists::customAppLocations(*services.defaults))
            .bundleIDs;

    // Each file is tried once, however many rows found it; its outcome
    // counts for every one of them.
    QList<QStringList> pathsOfRow;
    QSet<QString> seen;
    QList<RemovalPipeline::Entry> entries;
    bool anyManual = false;
    for (const LeftoverItem &row : items) {
        const QString label = labelOf(row);
        ScannerEngine::launchctlBootout(services.runner, label);
        ScannerEngine::terminateApp(services.runner, label, installedIDs);
        const QStringList paths = ScannerEngine::launchdPlists(services.roots, label, installedIDs);
        pathsOfRow.append(paths);
        anyManual = anyManual || paths.isEmpty();
        for (const QString &path : paths) {
            if (!seen.contains(path)) {
                seen.insert(path);
                entries.append({path});
            }
        }
    }

    HelperFileRemoval pipeline(services);
    const QString promptName = items.size() == 1 ? items.first().appName : QStringLiteral("background helpers");
    const QSet<QString> removed = RemovalPipeline::pathsAt(
        entries, pipeline.run(entries, [&](const QList<qsizetype> &) { return promptName; }).removed);

    // A row leaves when all its files are gone, or when it had none and
    // is left to the Login Items pane; a row with a file still in place stays.
    QSet<QUuid> leaving;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QStringList &paths = pathsOfRow.at(i);
        if (!std::all_of(paths.cbegin(), paths.cend(), [&](const QString &path) { return removed.contains(path); }))
            continue;
        const LeftoverItem &row = items.at(i);
        leaving.insert(row.id);
        services.logger->log(QStringLiteral("BG ACTIVITY REMOVED: ") + row.bundleID.value_or(row.appName));
    }

    // The user removes a record without a property list in the system's own
    // settings. The pane opens whether or not the window is still there, just
    // before the rows leave it.
    if (anyManual && services.workspace)
        postToMainThread([workspace = services.workspace] { workspace->openUrl(QUrl(kLoginItemsPane)); });
    return leaving;
}

}

void Scanner::removeBackgroundActivity(const QList<LeftoverItem> &items)
{
    if (isUITesting()) {
        m_services.logger->log(
            QStringLiteral("UI-TEST: removeBackgroundActivity blocked (%1 items)").arg(items.size()));
        return;
    }
    setRemovalFailures({});

    runTask(
        kUserInitiatedPriority,
        [services = m_services, items](const ScannerLink &) { return removeHelpers(services, items); },
        [](Scanner &scanner, const QSet<QUuid> &leaving) {
            scanner.dropItems([&](const LeftoverItem &row) { return leaving.contains(row.id); });
        });
}
