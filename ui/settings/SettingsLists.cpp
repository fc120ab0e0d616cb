#include "ui/settings/SettingsLists.h"

#include "model/StoredLists.h"
#include "platform/UserDefaults.h"

#include <algorithm>

namespace SettingsLists {

QString displayPath(const QString &path, const QString &home)
{
    // A plain text replace would also shorten "/home/ann" inside "/home/anna".
    if (home.isEmpty() || home == QLatin1String("/"))
        return path;
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home) && path.at(home.size()) == QLatin1Char('/'))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

QStringList sortedUniqueIDs(QStringList ids)
{
    ids.removeDuplicates();
    // Code unit order, independent of the locale: upper case before lower case.
    std::sort(ids.begin(), ids.end(), [](const QString &a, const QString &b) { return a.compare(b) < 0; });
    return ids;
}

void addCustomLocations(const QStringList &paths, UserDefaults &defaults)
{
    // One read-modify-write per path, so a path chosen twice is stored once.
    for (const QString &path : paths) {
        QStringList stored = StoredLists::customAppLocations(defaults);
        if (stored.contains(path))
            continue;
        stored.append(path);
        defaults.setStringList(StoredLists::customAppLocationsKey, stored);
    }
}

void removeCustomLocations(const QStringList &paths, UserDefaults &defaults)
{
    for (const QString &path : paths)
        StoredLists::removeCustomLocation(path, defaults);
}

}
