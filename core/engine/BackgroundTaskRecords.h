#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>
#include <QSet>
#include <QStringList>

namespace ScannerEngine {

// Runs "/usr/bin/sfltool" "dumpbtm" and parses it; any failure of the tool gives an empty list.
// Records whose identifier or parent holds one of `claimedIDs` as whole
// components belong to that application and are left out; an executable
// whose path holds one gets no path.
QList<LeftoverItem> findOrphanBackgroundItems(const SystemRoots &roots, const ToolRunner &runner,
                                              const QSet<QString> &installedIDs,
                                              const QStringList &claimedIDs = {});
// Executable paths in the dump are system paths, resolved through `roots`.
// Only an executable in a launch folder, the privileged helper folder or an
// unprotected entry of an Application Support folder is given as the item's path.
QList<LeftoverItem> parseBTMDump(const QString &dump, const QSet<QString> &installedIDs, const SystemRoots &roots,
                                 const QStringList &claimedIDs = {});

}
