#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/ProtectedPaths.h"
#include "core/RemovalPipeline.h"
#include "core/engine/AppIndex.h"
#include "core/engine/AppLeftovers.h"
#include "core/engine/SystemOperations.h"
#include "model/IsolatedText.h"
#include "model/StoredLists.h"
#include "platform/Trash.h"

#include <QSet>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// What the main-thread part hands to the background part.
struct AppRemoval
{
    QString bundleID;
    QString name;
    QString bundlePath;
    // Taken before the bundle went: what their files and processes are, and
    // not this application's.
    QSet<QString> installedIDs;
    // The bundle's own Trash attempt failed: the bundle goes along with the
    // leftovers, to the administrator when the failure was the bundle's own
    // (gone, or its folder refuses), else straight to the failures: a full or
    // unwritable Trash is no reason to delete it for good.
    std::optional<LeftoverItem> bundleRecord;
    bool bundleStays = false;
};

struct AppRemovalOutcome
{
    QList<LeftoverItem> removed;
    QList<LeftoverItem> failures;
    // Bundle ID and service of every permission whose own reset succeeded.
    QSet<std::pair<QString, QString>> resetPermissions;
    bool allPermissionsReset = false;
    int cleanedCount = 0;
    // The application quit before anything was removed.
    bool stopped = false;
};

// The bundle as a row of its own, removed and reported like a leftover.
LeftoverItem bundleRecord(const InstalledApp &app)
{
    LeftoverItem record;
    record.appName = app.name;
    record.bundleID = app.bundleID;
    record.path = app.path;
    record.type = LeftoverType::appSupport;
    record.size = 0;
    return record;
}

AppRemovalOutcome removeLeftovers(const ScannerServices &services, const AppRemoval &app)
{
    AppLogger *logger = services.logger;
    AppRemovalOutcome outcome;

    const QList<LeftoverItem> found = ScannerEngine::findLeftovers(services.roots, services.runner, app.bundleID,
                                                                   app.name, app.installedIDs, services.quitting);
    // Quitting stops the removal here, before its first file: the search may be
    // incomplete, and what stays in place a later scan finds. Once begun, the
    // removal runs to its end, so it never stops between two of its steps.
    if (services.quitting.stop_requested()) {
        logger->log(QStringLiteral("REMOVE APP STOPPED: ") + app.name
                    + QStringLiteral(" — the application quit before its leftovers were removed"));
        outcome.stopped = true;
        return outcome;
    }
    logger->log(QStringLiteral("FOUND %1 leftovers for ").arg(found.size()) + app.name);

    QList<LeftoverItem> files;
    QList<RemovalPipeline::Entry> entries;
    QList<LeftoverItem> permissions;
    for (const LeftoverItem &item : found) {
        if (item.type == LeftoverType::permission)
            permissions.append(item);
        if (item.path) {
            files.append(item);
            entries.append({*item.path});
        }
    }
    if (app.bundleRecord) {
        if (app.bundleStays) {
            outcome.failures.append(*app.bundleRecord);
        } else {
            files.append(*app.bundleRecord);
            entries.append({*app.bundleRecord->path, true});
        }
    }

    // The leftovers were just found: one the Trash calls gone is a failure.
    RemovalPipeline pipeline(services, RemovalPipeline::Retry::NoWritePermission);
    const RemovalPipeline::Outcome removal =
        pipeline.run(entries, [&](const QList<qsizetype> &) { return app.name; });
    outcome.removed = RemovalPipeline::at(files, removal.removed);
    outcome.failures.append(RemovalPipeline::at(files, removal.failed));

    logger->logTrashed(outcome.removed);

    int permissionsCleaned = 0;
    for (const LeftoverItem &item : permissions) {
        if (!item.bundleID || !item.permissionService)
            continue;
        const QString what = *item.bundleID + QStringLiteral(" [") + *item.permissionService + QLatin1Char(']');
        if (ScannerEngine::tccReset(services.runner, *item.bundleID, *item.permissionService)) {
            outcome.resetPermissions.insert({*item.bundleID, *item.permissionService});
            ++permissionsCleaned;
            logger->log(QStringLiteral("RESET PERMISSION: ") + what);
        } else {
            logger->log(QStringLiteral("RESET PERMISSION FAILED: ") + what);
        }
    }
    outcome.allPermissionsReset = ScannerEngine::tccResetAll(services.runner, app.bundleID);
    if (outcome.allPermissionsReset) {
        // What a single reset missed is gone all the same.
        permissionsCleaned = 0;
        for (const LeftoverItem &item : permissions) {
            if (item.bundleID == app.bundleID
                || (item.bundleID && item.permissionService
                    && outcome.resetPermissions.contains({*item.bundleID, *item.permissionService})))
                ++permissionsCleaned;
        }
    }

    // Background records without a file are left as they are, so they are not counted.
    outcome.cleanedCount = int(outcome.removed.size()) + permissionsCleaned;
    // Written before the result goes to the main thread, so that it is in the
    // log even when no window is left to receive it.
    logger->log(QStringLiteral("REMOVE APP DONE: ") + app.name
                + QStringLiteral(" — %1 items cleaned, %2 failed").arg(outcome.cleanedCount).arg(outcome.failures.size()));
    return outcome;
}

}

void Scanner::removeAppCompletely(const InstalledApp &app)
{
    AppLogger *logger = m_services.logger;
    if (isUITesting()) {
        logger->log(QStringLiteral("UI-TEST: removeAppCompletely blocked (") + app.bundleID + QLatin1Char(')'));
        return;
    }
    logger->log(QStringLiteral("REMOVE APP: ") + app.name + QStringLiteral(" (") + app.bundleID + QLatin1Char(')'));
    setRemovalFailures({});

    const QSet<QString> installedIDs =
        ScannerEngine::installedAppIndex(m_services.roots, StoredLists::customAppLocations(*m_services.defaults))
            .bundleIDs;
    const int signalled = ScannerEngine::terminateApp(m_services.runner, app.bundleID, installedIDs);
    if (signalled >= 1)
        logger->log(QStringLiteral("PRE-KILL: signalled %1 process(es) for ").arg(signalled) + app.bundleID);

    AppRemoval removal{app.bundleID, app.name, app.path, installedIDs, std::nullopt, false};
    if (const std::optional<TrashError> error = ProtectedPaths::moveToTrashIfAllowed(m_services, app.path)) {
        logger->log(QStringLiteral("TRASH APP FAILED: ") + app.path + QStringLiteral(" — ") + error->description);
        removal.bundleRecord = bundleRecord(app);
        removal.bundleStays =
            !RemovalPipeline::retriesThroughAdministrator(*error, RemovalPipeline::Retry::AnyItemError);
    } else {
        logger->log(QStringLiteral("TRASHED APP BUNDLE: ") + app.path);
    }

    QList<InstalledApp> roster;
    for (const InstalledApp &row : m_installedApps) {
        if (row.id != app.id)
            roster.append(row);
    }
    setInstalledApps(roster);

    runTask(
        kUserInitiatedPriority,
        [services = m_services, removal](const ScannerLink &) { return removeLeftovers(services, removal); },
        [removal](Scanner &scanner, const AppRemovalOutcome &outcome) {
            if (outcome.stopped)
                return;
            QSet<QString> removedPaths;
            for (const LeftoverItem &item : outcome.removed)
                removedPaths.insert(*item.path);
            scanner.dropItems([&](const LeftoverItem &row) {
                if (row.path)
                    return removedPaths.contains(*row.path);
                if (row.bundleID != removal.bundleID)
                    return false;
                // A permission row leaves only when its permission was reset.
                return row.type != LeftoverType::permission || outcome.allPermissionsReset
                    || (row.permissionService
                        && outcome.resetPermissions.contains({*row.bundleID, *row.permissionService}));
            });
            if (outcome.failures.isEmpty()) {
                scanner.setScanProgress(
                    scanner.localized(QStringLiteral("remove_app_done"), {isolatedText(removal.name), outcome.cleanedCount}));
            } else {
                scanner.setRemovalFailures(outcome.failures);
                scanner.setScanProgress(scanner.localized(QStringLiteral("remove_app_partial"),
                                                          {isolatedText(removal.name), outcome.cleanedCount,
                                                           int(outcome.failures.size())}));
            }
        });
}
