#pragma once

#include "model/InstalledApp.h"
#include "model/SystemRoots.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// Everything installed: bundle IDs and names.
struct AppIndex
{
    QSet<QString> bundleIDs;
    QSet<QString> names;
};

namespace ScannerEngine {

// `customLocations` is the stored "customAppLocations" list, read by the caller
// when the call is made; those paths are the user's own and are used as stored.
AppIndex installedAppIndex(const SystemRoots &roots, const QStringList &customLocations);
// The roster, sorted by lower-cased name; every appSize is -1.
QList<InstalledApp> scanInstalledApps(const SystemRoots &roots, const QStringList &customLocations);

void recordApp(const QString &path, const QString &name, QSet<QString> &bundleIDs, QSet<QString> &names);
void recordCaskroom(const QString &path, QSet<QString> &bundleIDs, QSet<QString> &names);
void appendInstalledApp(const QString &path, const QString &name, QList<InstalledApp> &list);

// Real paths (under the roots) of the Homebrew prefixes holding "bin/brew".
QStringList homebrewPrefixes(const SystemRoots &roots);
// Each existing prefix + suffix ("/Caskroom"), kept when it exists.
QStringList homebrewPaths(const SystemRoots &roots, const QString &suffix);

}
