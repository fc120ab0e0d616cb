#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>
#include <QSet>

namespace ScannerEngine {

// Everything that belongs to one application, sorted by type text. What
// belongs to an installed application whose ID extends `bundleID` is left out.
QList<LeftoverItem> findLeftovers(const SystemRoots &roots, const ToolRunner &runner, const QString &bundleID,
                                  const QString &appName, const QSet<QString> &installedIDs);
bool typeOrder(const LeftoverItem &a, const LeftoverItem &b);

}
