#pragma once

#include "model/LeftoverItem.h"

#include <QList>
#include <QSet>
#include <QString>

#include <QtGlobal>

struct PermissionScan
{
    QList<LeftoverItem> items;
    // The database file exists but could not be opened or read within the limits.
    bool accessDenied = false;
};

// Bounds on one read of the database. Something that is not a regular file is
// never opened (a FIFO would block the open for ever), and a database that
// needs more time or memory than this (a view that never ends, say) counts as
// unreadable.
struct PermissionReadLimits
{
    int milliseconds = 5000;
    // SQLite's heap, for the whole process: nothing else here uses SQLite.
    qint64 heapBytes = qint64(64) << 20;
};

namespace ScannerEngine {

PermissionScan findOrphanPermissions(const QString &databasePath, const QSet<QString> &installedIDs,
                                     const PermissionReadLimits &limits = {});
PermissionScan findPermissions(const QString &bundleID, const QString &appName, const QString &databasePath,
                               const PermissionReadLimits &limits = {});

}
