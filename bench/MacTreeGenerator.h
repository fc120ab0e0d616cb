#pragma once

#include "model/SystemRoots.h"

#include <QString>
#include <QtGlobal>

// Generates a big fake Mac for benchmarks: the leftovers of many uninstalled
// applications in the user's Library (Caches, Application Support, Containers,
// plus preferences, saved states, logs, scripts and launch items) and
// application bundles in /Applications. The tree is deterministic for given
// options and is kept on disk, so a second run only reads its manifest.
class MacTreeGenerator
{
public:
    // Bumped whenever the generated layout changes, so that old trees are not reused.
    static constexpr int layoutVersion = 3;

    struct Options
    {
        int leftoverApps = 1000;
        // Files and folders below the leftovers' Caches, Application Support and Containers.
        int folders = 20000;
        int files = 200000;
        int installedApps = 300;
        quint32 seed = 1;
    };

    struct Tree
    {
        SystemRoots roots;
        // Everything generated: folders, regular files other than hidden ones, and
        // their summed sizes (what directorySize of the root reports).
        qint64 folders = 0;
        qint64 files = 0;
        qint64 bytes = 0;
        int leftoverApps = 0;
        int installedApps = 0;

        bool isValid() const { return !roots.home.isEmpty(); }
    };

    // Generates the tree under `root` (or reuses the one already there).
    // Refuses, with an invalid Tree, a `root` that exists but was not made here.
    static Tree generate(const QString &root, const Options &options);
    static Tree generate(const QString &root);

    // A folder under the temporary folder named after the layout version and the options.
    static QString cacheRoot(const Options &options);
    static QString cacheRoot();
};
