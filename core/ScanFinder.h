#pragma once

#include "model/LeftoverItem.h"
#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QList>
#include <QSet>
#include <QString>

#include <stop_token>

// One finder of the full scan: the status key announced before it runs, the
// title of its section in the log, and the search itself.
struct ScanFinder
{
    // What the finders look at, and what they report besides their items.
    struct Context
    {
        const SystemRoots &roots;
        const ToolRunner &runner;
        const QSet<QString> &installedIDs;
        const QSet<QString> &installedNames;
        // Requested: the folders found are no longer walked to the end.
        std::stop_token stop;
        // The permission database is there but could not be read.
        bool accessDenied = false;
    };

    // Empty: the finder belongs to the phase announced before it.
    QString progressKey;
    QString title;
    QList<LeftoverItem> (*find)(Context &context);

    // The full scan's finders, in the order they run.
    static const QList<ScanFinder> &fullScan();
};
