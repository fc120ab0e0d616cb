#pragma once

#include "model/LeftoverItem.h"

#include <QList>
#include <QSet>
#include <QString>

struct PermissionScan
{
    QList<LeftoverItem> items;
    // The database file exists but could not be opened.
    bool accessDenied = false;
};

namespace ScannerEngine {

PermissionScan findOrphanPermissions(const QString &databasePath, const QSet<QString> &installedIDs);
PermissionScan findPermissions(const QString &bundleID, const QString &appName, const QString &databasePath);

}
