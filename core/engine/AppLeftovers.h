#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>

namespace ScannerEngine {

// Everything that belongs to one application, sorted by type text.
QList<LeftoverItem> findLeftovers(const SystemRoots &roots, const ToolRunner &runner, const QString &bundleID,
                                  const QString &appName);
bool typeOrder(const LeftoverItem &a, const LeftoverItem &b);

}
