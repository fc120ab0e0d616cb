#include "core/engine/AppLeftovers.h"

#include "core/engine/BackgroundTaskRecords.h"
#include "core/engine/DirectorySize.h"
#include "core/engine/FinderRules.h"
#include "core/engine/FolderAccess.h"
#include "core/engine/LibraryFinders.h"
#include "core/engine/PermissionDatabase.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
#include <functional>

namespace {

// A bundle ID or application name is looked up as one entry of a folder; a
// value that is no single name would reach the folder itself or beyond it.
bool isEntryName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// The entry itself, a link included (a dangling one is still a leftover).
bool entryExists(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// An identifier of one component ("com", "app") is no owner of the names that
// merely begin or end with it: "com" would claim every "com.*" file of every
// other application. Such an identifier matches only its own names.
bool isQualifiedID(const QString &bundleID)
{
    return bundleID.split(QLatin1Char('.'), Qt::SkipEmptyParts).size() >= 2;
}

// `name` begins with the bundle ID as a whole: the ID is followed by ".".
bool beginsWithID(const QString &name, const QString &bundleID)
{
    if (!isQualifiedID(bundleID))
        return name == bundleID + QStringLiteral(".plist");
    return name.size() > bundleID.size() && name.startsWith(bundleID) && name.at(bundleID.size()) == QLatin1Char('.');
}

bool endsWithID(const QString &name, const QString &bundleID)
{
    return isQualifiedID(bundleID) && name.size() > bundleID.size() && name.endsWith(bundleID)
        && name.at(name.size() - bundleID.size() - 1) == QLatin1Char('.');
}

// The bundle ID occurs in `text` as whole dot-separated components.
bool containsID(const QString &text, const QString &bundleID)
{
    return isQualifiedID(bundleID) && ScannerEngine::holdsID(text, bundleID);
}

class Collector
{
public:
    Collector(const QString &bundleID, const QString &appName, const QSet<QString> &installedIDs,
              std::stop_token stop)
        : m_bundleID(bundleID)
        , m_appName(appName)
        , m_installedIDs(installedIDs)
        , m_stop(std::move(stop))
    {
    }

    bool stopped() const { return m_stop.stop_requested(); }

    qint64 folderSize(const QString &path) const { return ScannerEngine::directorySize(path, m_stop); }

    qint64 sizeByKind(const QString &path) const
    {
        return ScannerEngine::isDirectory(path) ? folderSize(path) : ScannerEngine::fileSize(path);
    }

    // Whatever matched it, by ID or by name, an entry the full scan protects
    // in its folder, or one another installed application's ID names, is not ours.
    bool isOurs(const QString &name, const QSet<QString> &excluded) const
    {
        return !ScannerEngine::isProtectedEntry(name, excluded) && !isOtherAppsName(name);
    }

    bool isOtherAppsName(const QString &name) const
    {
        return ScannerEngine::isOtherAppsName(name, m_bundleID, m_installedIDs);
    }

    // `path` is folder + "/" + name.
    void addIfOurs(const QString &path, LeftoverType type, const std::function<qint64(const QString &)> &size)
    {
        if (!stopped() && isOurs(path.section(QLatin1Char('/'), -1), {}) && entryExists(path))
            add(path, type, size(path));
    }

    void add(const QString &path, LeftoverType type, qint64 size)
    {
        LeftoverItem item;
        item.appName = m_appName;
        item.bundleID = m_bundleID;
        item.path = path;
        item.type = type;
        item.size = size;
        m_items.append(item);
    }

    void addListed(const QString &folder, LeftoverType type, const std::function<bool(const QString &)> &matches,
                   const std::function<qint64(const QString &)> &size)
    {
        if (stopped())
            return;
        for (const QString &name : ScannerEngine::listFolder(folder)) {
            if (stopped())
                return;
            if (!matches(name) || !isOurs(name, {}))
                continue;
            const QString path = folder + QLatin1Char('/') + name;
            add(path, type, size(path));
        }
    }

    // The entries named exactly as the bundle ID and as the app name.
    void addNamed(const QString &folder, LeftoverType type, const QSet<QString> &excluded)
    {
        for (const QString *name : {&m_bundleID, &m_appName}) {
            if (stopped() || !isEntryName(*name) || !isOurs(*name, excluded))
                continue;
            const QString path = folder + QLatin1Char('/') + *name;
            if (entryExists(path))
                add(path, type, sizeByKind(path));
        }
    }

    QList<LeftoverItem> &items() { return m_items; }

private:
    const QString &m_bundleID;
    const QString &m_appName;
    const QSet<QString> &m_installedIDs;
    const std::stop_token m_stop;
    QList<LeftoverItem> m_items;
};

}

bool ScannerEngine::typeOrder(const LeftoverItem &a, const LeftoverItem &b)
{
    return a.type < b.type;
}

QList<LeftoverItem> ScannerEngine::findLeftovers(const SystemRoots &roots, const ToolRunner &runner,
                                                 const QString &bundleID, const QString &appName,
                                                 const QSet<QString> &installedIDs, std::stop_token stop)
{
    const bool idUsable = isEntryName(bundleID);
    const bool nameUsable = isEntryName(appName);
    const auto plist = QStringLiteral(".plist");
    const auto fileSizeOf = [](const QString &path) { return fileSize(path); };
    Collector found(bundleID, appName, installedIDs, std::move(stop));
    const auto folderSizeOf = [&found](const QString &path) { return found.folderSize(path); };

    if (idUsable) {
        found.addListed(
            roots.inHome(QStringLiteral("/Library/Preferences")), LeftoverType::preference,
            [&](const QString &name) { return name.endsWith(plist) && beginsWithID(name, bundleID); }, fileSizeOf);
    }

    found.addNamed(roots.inHome(QStringLiteral("/Library/Application Support")), LeftoverType::appSupport,
                   applicationSupportExclusions());
    found.addNamed(roots.inHome(QStringLiteral("/Library/Caches")), LeftoverType::cache, cachesExclusions());
    found.addNamed(roots.inHome(QStringLiteral("/Library/Logs")), LeftoverType::log, logsExclusions());

    if (idUsable) {
        const auto isContainer = [&](const QString &name) { return name == bundleID || endsWithID(name, bundleID); };
        found.addListed(roots.inHome(QStringLiteral("/Library/Containers")), LeftoverType::container, isContainer,
                        folderSizeOf);
        found.addListed(roots.inHome(QStringLiteral("/Library/Group Containers")), LeftoverType::container,
                        isContainer, folderSizeOf);
        found.addListed(
            roots.inHome(QStringLiteral("/Library/Application Scripts")), LeftoverType::applicationScripts,
            [&](const QString &name) {
                return name == bundleID || endsWithID(name, bundleID) || beginsWithID(name, bundleID);
            },
            folderSizeOf);
    }

    found.addNamed(roots.system(QStringLiteral("/Library/Application Support")), LeftoverType::appSupport,
                   systemApplicationSupportExclusions());
    found.addNamed(roots.system(QStringLiteral("/Library/Caches")), LeftoverType::cache, cachesExclusions());
    found.addNamed(roots.system(QStringLiteral("/Library/Logs")), LeftoverType::log, logsExclusions());

    if (idUsable) {
        found.addIfOurs(roots.system(QStringLiteral("/Library/Preferences/") + bundleID + plist),
                        LeftoverType::preference, fileSizeOf);

        const auto isSystemLaunchItem = [&](const QString &name) {
            return name.endsWith(plist)
                && (beginsWithID(name, bundleID)
                    || (isQualifiedID(bundleID) && name.contains(QLatin1Char('.') + bundleID + QLatin1Char('.'))));
        };
        found.addListed(roots.system(QStringLiteral("/Library/LaunchAgents")), LeftoverType::loginItem,
                        isSystemLaunchItem, fileSizeOf);
        found.addListed(roots.system(QStringLiteral("/Library/LaunchDaemons")), LeftoverType::loginItem,
                        isSystemLaunchItem, fileSizeOf);
        found.addListed(
            roots.system(QStringLiteral("/Library/PrivilegedHelperTools")), LeftoverType::loginItem,
            [&](const QString &name) {
                return name == bundleID || beginsWithID(name, bundleID) || endsWithID(name, bundleID);
            },
            fileSizeOf);

        found.addIfOurs(
            roots.inHome(QStringLiteral("/Library/Saved Application State/") + bundleID + QStringLiteral(".savedState")),
            LeftoverType::savedState, folderSizeOf);

        found.addListed(
            roots.inHome(QStringLiteral("/Library/LaunchAgents")), LeftoverType::loginItem,
            [&](const QString &name) { return name.endsWith(plist) && beginsWithID(name, bundleID); }, fileSizeOf);
    }

    QList<LeftoverItem> &items = found.items();
    // The background records and the permission database are asked only while the search goes on.
    if ((idUsable || nameUsable) && !found.stopped()) {
        const auto othersName = [&](const QString &name) { return found.isOtherAppsName(name); };
        for (const LeftoverItem &record : findOrphanBackgroundItems(roots, runner, {}, othersName)) {
            if (!record.bundleID)
                continue;
            const QString &owner = *record.bundleID;
            const bool ours = (idUsable && (owner == bundleID || containsID(owner, bundleID)))
                || (nameUsable && owner == appName);
            if (ours)
                items.append(record);
        }
    }

    if (idUsable && !found.stopped()) {
        const QString database = roots.inHome(QStringLiteral("/Library/Application Support/com.apple.TCC/TCC.db"));
        items.append(findPermissions(bundleID, appName, database).items);
    }

    QSet<QString> seenPaths;
    QList<LeftoverItem> unique;
    unique.reserve(items.size());
    for (const LeftoverItem &item : items) {
        if (item.path) {
            if (seenPaths.contains(*item.path))
                continue;
            seenPaths.insert(*item.path);
        }
        unique.append(item);
    }
    std::stable_sort(unique.begin(), unique.end(), typeOrder);
    return unique;
}
