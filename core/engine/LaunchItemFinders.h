#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"

#include <QList>
#include <QSet>

#include <stop_token>

namespace ScannerEngine {

QList<LeftoverItem> findOrphanLaunchItems(const SystemRoots &roots);
QList<LeftoverItem> findOrphanPlugins(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                      const QSet<QString> &installedNames, std::stop_token stop = {});

}
