#pragma once

#include "platform/UserDefaults.h"

#include <QString>
#include <QStringList>

// The two user-editable lists kept in the user defaults: the ignore list
// ("ignoredBundleIDs") and the extra application folders ("customAppLocations").
// Absent or mistyped lists read as empty.
namespace StoredLists {

inline const QString ignoredBundleIDsKey = QStringLiteral("ignoredBundleIDs");
inline const QString customAppLocationsKey = QStringLiteral("customAppLocations");

// Without duplicates; readers treat it as a set.
QStringList ignoredBundleIDs(const UserDefaults &defaults = UserDefaults::standard());
// Inserts the ID; the list is written back without duplicates.
void addToIgnoreList(const QString &bundleID, UserDefaults &defaults = UserDefaults::standard());
// Removes the ID; the list is written back (without duplicates) even when the ID was not in it.
void removeFromIgnoreList(const QString &bundleID, UserDefaults &defaults = UserDefaults::standard());

// In stored order.
QStringList customAppLocations(const UserDefaults &defaults = UserDefaults::standard());
// Removes every element equal to the path; the others keep their order.
void removeCustomLocation(const QString &path, UserDefaults &defaults = UserDefaults::standard());

}
