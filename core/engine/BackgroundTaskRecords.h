#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <functional>

namespace ScannerEngine {

// True for a name that belongs to another application.
using NameClaim = std::function<bool(const QString &)>;

// Runs "/usr/bin/sfltool" "dumpbtm" and parses it; any failure of the tool gives an empty list.
// Records whose identifier or parent is `claimed` belong to another
// application and are left out; an executable with a claimed folder or file
// name on its path gets no path.
QList<LeftoverItem> findOrphanBackgroundItems(const SystemRoots &roots, const ToolRunner &runner,
                                              const QSet<QString> &installedIDs, const NameClaim &claimed = {});
// Executable paths in the dump are system paths, resolved through `roots`.
// Only an executable in a launch folder, the privileged helper folder or an
// unprotected entry of an Application Support folder is given as the item's path.
QList<LeftoverItem> parseBTMDump(const QString &dump, const QSet<QString> &installedIDs, const SystemRoots &roots,
                                 const NameClaim &claimed = {});

}
