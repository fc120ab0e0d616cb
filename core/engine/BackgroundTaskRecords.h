#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>
#include <QSet>

namespace ScannerEngine {

// Runs "/usr/bin/sfltool" "dumpbtm" and parses it; any failure of the tool gives an empty list.
QList<LeftoverItem> findOrphanBackgroundItems(const SystemRoots &roots, const ToolRunner &runner,
                                              const QSet<QString> &installedIDs);
// Executable paths in the dump are system paths, resolved through `roots`.
QList<LeftoverItem> parseBTMDump(const QString &dump, const QSet<QString> &installedIDs, const SystemRoots &roots);

}
