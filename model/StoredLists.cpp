#include "model/StoredLists.h"

namespace StoredLists {

namespace {
// The ignore list is a set; keeping first occurrences in order makes the
// written list stable for the settings tab.
QStringList uniqueIDs(QStringList ids)
{
    ids.removeDuplicates();
    return ids;
}
}

QStringList ignoredBundleIDs(const UserDefaults &defaults)
{
    return uniqueIDs(defaults.stringList(ignoredBundleIDsKey).value_or(QStringList()));
}

void addToIgnoreList(const QString &bundleID, UserDefaults &defaults)
{
    QStringList ids = ignoredBundleIDs(defaults);
    if (!ids.contains(bundleID))
        ids.append(bundleID);
    defaults.setStringList(ignoredBundleIDsKey, ids);
}

void removeFromIgnoreList(const QString &bundleID, UserDefaults &defaults)
{
    QStringList ids = ignoredBundleIDs(defaults);
    ids.removeAll(bundleID);
    defaults.setStringList(ignoredBundleIDsKey, ids);
}

QStringList customAppLocations(const UserDefaults &defaults)
{
    return defaults.stringList(customAppLocationsKey).value_or(QStringList());
}

void removeCustomLocation(const QString &path, UserDefaults &defaults)
{
    QStringList locations = customAppLocations(defaults);
    locations.removeAll(path);
    defaults.setStringList(customAppLocationsKey, locations);
}

}
