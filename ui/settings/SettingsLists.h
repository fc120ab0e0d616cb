#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

class UserDefaults;

// What the App Locations and Ignore List tabs show and write, without a widget.
namespace SettingsLists {

// The path with the home folder written "~" (only as a whole leading folder).
QString displayPath(const QString &path, const QString &home = QDir::homePath());

// The ignore list as the tab shows it: each ID once, in plain text order.
QStringList sortedUniqueIDs(QStringList ids);

// Appends each path not yet stored, in the given order, exactly as given.
void addCustomLocations(const QStringList &paths, UserDefaults &defaults);

// Removes every stored entry equal to one of the paths; the rest keep their order.
void removeCustomLocations(const QStringList &paths, UserDefaults &defaults);

}
