#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>
#include <QSet>

namespace ScannerEngine {

// Everything that belongs to one application, sorted by type text. What
// another installed application's ID names is left out (isOtherAppsName).
QList<LeftoverItem> findLeftovers(const SystemRoots &roots, const ToolRunner &runner, const QString &bundleID,
                                  const QString &appName, const QSet<QString> &installedIDs);
bool typeOrder(const LeftoverItem &a, const LeftoverItem &b);

}
