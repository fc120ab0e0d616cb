#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"

#include <QList>
#include <QSet>
#include <QString>

#include <stop_token>

// Finders of the user's and the system's Library folders. Entries are taken
// in name order so that results are deterministic. Item paths are real paths
// (under the roots). Once `stop` is requested the folders found are no longer
// walked to the end and their sizes are short; the caller takes no result then.
namespace ScannerEngine {

const QSet<QString> &applicationSupportExclusions();
const QSet<QString> &cachesExclusions();
const QSet<QString> &logsExclusions();
const QSet<QString> &systemApplicationSupportExclusions();

// The generic one-folder finder; `folder` is a real path.
QList<LeftoverItem> findOrphans(const QString &folder, LeftoverType type, const QSet<QString> &installedIDs,
                                const QSet<QString> &installedNames, const QSet<QString> &excluded,
                                std::stop_token stop = {});

QList<LeftoverItem> findOrphanPreferences(const SystemRoots &roots, const QSet<QString> &installedIDs);
QList<LeftoverItem> findOrphanApplicationSupport(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                                 const QSet<QString> &installedNames, std::stop_token stop = {});
QList<LeftoverItem> findOrphanCaches(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                     std::stop_token stop = {});
QList<LeftoverItem> findOrphanContainers(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                         std::stop_token stop = {});
QList<LeftoverItem> findOrphanApplicationScripts(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                                 std::stop_token stop = {});
QList<LeftoverItem> findOrphanSavedStates(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                          std::stop_token stop = {});

QList<LeftoverItem> findOrphanSystemPreferences(const SystemRoots &roots, const QSet<QString> &installedIDs);
QList<LeftoverItem> findOrphanPrivilegedHelpers(const SystemRoots &roots, const QSet<QString> &installedIDs);

}
