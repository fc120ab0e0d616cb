#include "core/engine/LibraryFinders.h"

#include "core/engine/DirectorySize.h"
#include "core/engine/FinderRules.h"
#include "core/engine/FolderAccess.h"
#include "core/engine/Naming.h"

namespace {

using namespace ScannerEngine;

LeftoverItem makeItem(const QString &path, LeftoverType type, std::optional<QString> bundleID, QString appName,
                      qint64 size)
{
    LeftoverItem item;
    item.appName = std::move(appName);
    item.bundleID = std::move(bundleID);
    item.path = path;
    item.type = type;
    item.size = size;
    return item;
}

// Folders whose entries are named after an identifier plus a fixed ending
// (preferences, saved states): Apple, Length and Installed rules on the identifier.
QList<LeftoverItem> findBySuffix(const QString &folder, const QString &suffix, LeftoverType type,
                                 const QSet<QString> &installedIDs, bool sizeAsFolder, std::stop_token stop = {})
{
    QList<LeftoverItem> items;
    QList<qsizetype> folderItems;
    for (const QString &name : listFolder(folder)) {
        if (!name.endsWith(suffix))
            continue;
        const QString identifier = name.chopped(suffix.size());
        if (isAppleIdentifier(identifier) || isTooShort(identifier) || installedIDs.contains(identifier))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        if (belongsToThisApplication(path))
            continue;
        if (sizeAsFolder)
            folderItems.append(items.size());
        items.append(makeItem(path, type, identifier, displayName(identifier), sizeAsFolder ? 0 : fileSize(path)));
    }
    sizeFolderItems(folder, folderItems, items, std::move(stop));
    return items;
}

// Containers and Application Scripts: every name is an identifier.
void findByName(const QString &folder, LeftoverType type, const QSet<QString> &installedIDs,
                QList<LeftoverItem> &items, const std::stop_token &stop)
{
    QList<qsizetype> folderItems;
    for (const QString &name : listFolder(folder)) {
        if (isHidden(name) || installedIDs.contains(name) || installedAfterTeamPrefix(name, installedIDs)
            || isAppleIdentifier(name) || isTooShort(name))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        if (belongsToThisApplication(path))
            continue;
        folderItems.append(items.size());
        items.append(makeItem(path, type, stripTeamPrefix(name), displayName(name), 0));
    }
    sizeFolderItems(folder, folderItems, items, stop);
}

}

const QSet<QString> &ScannerEngine::applicationSupportExclusions()
{
    static const QSet<QString> set{
        QStringLiteral("com.apple.TCC"), QStringLiteral("AddressBook"),  QStringLiteral("CallHistoryDB"),
        QStringLiteral("iCloud"),        QStringLiteral("CloudDocs"),    QStringLiteral("CrashReporter"),
        QStringLiteral("Knowledge"),     QStringLiteral("SyncServices"), QStringLiteral("Instruments"),
        QStringLiteral("Dock"),          QStringLiteral("MobileSync"),   QStringLiteral("iTunes"),
        QStringLiteral("com.apple"),     QStringLiteral(".DS_Store"),    QStringLiteral("MobileDevice"),
        QStringLiteral("FileProvider"),
    };
    return set;
}

const QSet<QString> &ScannerEngine::cachesExclusions()
{
    static const QSet<QString> set{QStringLiteral("CloudKit"), QStringLiteral("com.apple"), QStringLiteral(".DS_Store")};
    return set;
}

const QSet<QString> &ScannerEngine::logsExclusions()
{
    static const QSet<QString> set{QStringLiteral("DiagnosticReports"), QStringLiteral("com.apple"),
                                   QStringLiteral(".DS_Store"), QStringLiteral("CrashReporter"),
                                   QStringLiteral("Hangtracer")};
    return set;
}

const QSet<QString> &ScannerEngine::systemApplicationSupportExclusions()
{
    static const QSet<QString> set{QStringLiteral("Apple"),         QStringLiteral("ApplePushService"),
                                   QStringLiteral("com.apple"),     QStringLiteral("CrashReporter"),
                                   QStringLiteral("MobileSync"),    QStringLiteral("com.apple.TCC")};
    return set;
}

QList<LeftoverItem> ScannerEngine::findOrphans(const QString &folder, LeftoverType type,
                                               const QSet<QString> &installedIDs,
                                               const QSet<QString> &installedNames, const QSet<QString> &excluded,
                                               std::stop_token stop)
{
    QList<LeftoverItem> items;
    QList<qsizetype> folderItems;
    for (const QString &name : listFolder(folder)) {
        if (isHidden(name) || excluded.contains(name) || installedIDs.contains(name)
            || installedAfterTeamPrefix(name, installedIDs))
            continue;
        const bool dotted = name.contains(QLatin1Char('.'));
        // A plain name says nothing about its owner; it is reported only
        // where no installed names are given (the caches).
        if (!dotted && !installedNames.isEmpty())
            continue;
        if (dotted && (isAppleIdentifier(name) || isTooShort(name)))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        if (belongsToThisApplication(path))
            continue;
        const bool isFolder = isDirectory(path);
        if (isFolder)
            folderItems.append(items.size());
        items.append(makeItem(path, type, dotted ? stripTeamPrefix(name) : std::nullopt, displayName(name),
                              isFolder ? 0 : fileSize(path)));
    }
    sizeFolderItems(folder, folderItems, items, std::move(stop));
    return items;
}

QList<LeftoverItem> ScannerEngine::findOrphanPreferences(const SystemRoots &roots, const QSet<QString> &installedIDs)
{
    return findBySuffix(roots.inHome(QStringLiteral("/Library/Preferences")), QStringLiteral(".plist"),
                        LeftoverType::preference, installedIDs, false);
}

QList<LeftoverItem> ScannerEngine::findOrphanApplicationSupport(const SystemRoots &roots,
                                                                const QSet<QString> &installedIDs,
                                                                const QSet<QString> &installedNames,
                                                                std::stop_token stop)
{
    return findOrphans(roots.inHome(QStringLiteral("/Library/Application Support")), LeftoverType::appSupport,
                       installedIDs, installedNames, applicationSupportExclusions(), std::move(stop));
}

QList<LeftoverItem> ScannerEngine::findOrphanCaches(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                                   std::stop_token stop)
{
    return findOrphans(roots.inHome(QStringLiteral("/Library/Caches")), LeftoverType::cache, installedIDs, {},
                       cachesExclusions(), std::move(stop));
}

QList<LeftoverItem> ScannerEngine::findOrphanContainers(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                                       std::stop_token stop)
{
    QList<LeftoverItem> items;
    findByName(roots.inHome(QStringLiteral("/Library/Containers")), LeftoverType::container, installedIDs, items,
               stop);
    findByName(roots.inHome(QStringLiteral("/Library/Group Containers")), LeftoverType::container, installedIDs,
               items, stop);
    return items;
}

QList<LeftoverItem> ScannerEngine::findOrphanApplicationScripts(const SystemRoots &roots,
                                                                const QSet<QString> &installedIDs,
                                                                std::stop_token stop)
{
    QList<LeftoverItem> items;
    findByName(roots.inHome(QStringLiteral("/Library/Application Scripts")), LeftoverType::applicationScripts,
               installedIDs, items, stop);
    return items;
}

QList<LeftoverItem> ScannerEngine::findOrphanSavedStates(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                                        std::stop_token stop)
{
    return findBySuffix(roots.inHome(QStringLiteral("/Library/Saved Application State")),
                        QStringLiteral(".savedState"), LeftoverType::savedState, installedIDs, true, std::move(stop));
}

QList<LeftoverItem> ScannerEngine::findOrphanSystemPreferences(const SystemRoots &roots,
                                                               const QSet<QString> &installedIDs)
{
    return findBySuffix(roots.system(QStringLiteral("/Library/Preferences")), QStringLiteral(".plist"),
                        LeftoverType::preference, installedIDs, false);
}

QList<LeftoverItem> ScannerEngine::findOrphanPrivilegedHelpers(const SystemRoots &roots,
                                                               const QSet<QString> &installedIDs)
{
    QList<LeftoverItem> items;
    const QString folder = roots.system(QStringLiteral("/Library/PrivilegedHelperTools"));
    const QString plistSuffix = QStringLiteral(".plist");
    for (const QString &name : listFolder(folder)) {
        if (isHidden(name))
            continue;
        // A helper tool and its property list are both named after the identifier.
        const QString identifier = name.endsWith(plistSuffix) ? name.chopped(plistSuffix.size()) : name;
        if (isAppleIdentifier(identifier) || isTooShort(identifier) || installedIDs.contains(identifier)
            || installedAfterTeamPrefix(identifier, installedIDs))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        if (belongsToThisApplication(path))
            continue;
        items.append(makeItem(path, LeftoverType::loginItem, identifier, displayName(identifier), fileSize(path)));
    }
    return items;
}
