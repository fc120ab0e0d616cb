#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>
#include <QSet>

#include <stop_token>

namespace ScannerEngine {

// Everything that belongs to one application, sorted by type text. What
// another installed application's ID names is left out (isOtherAppsName).
// Once `stop` is requested the search ends at the next folder: the list is
// then incomplete and its sizes short, for a caller that takes no result.
QList<LeftoverItem> findLeftovers(const SystemRoots &roots, const ToolRunner &runner, const QString &bundleID,
                                  const QString &appName, const QSet<QString> &installedIDs,
                                  std::stop_token stop = {});
bool typeOrder(const LeftoverItem &a, const LeftoverItem &b);

}
