#include "core/engine/AppIndex.h"

#include "core/engine/FolderAccess.h"
#include "platform/FileMetadata.h"

#include <QFileInfo>

#include <algorithm>
#include <numeric>

namespace {

const QString kAppSuffix = QStringLiteral(".app");
const QString kLocalizedSuffix = QStringLiteral(".localized");

QString infoPlistPath(const QString &bundlePath)
{
    return bundlePath + QStringLiteral("/Contents/Info.plist");
}

// The folders searched for bundles: the three fixed ones, then the custom
// locations as stored. A folder named twice (a custom location equal to
// /Applications) is searched twice: the roster then lists its bundles twice,
// each with its own id, while the index sets hold them once. A relative custom
// path would depend on the working folder and is ignored.
QStringList searchRoots(const SystemRoots &roots, const QStringList &customLocations)
{
    QStringList result{roots.system(QStringLiteral("/Applications")),
                       roots.system(QStringLiteral("/System/Applications")),
                       roots.inHome(QStringLiteral("/Applications"))};
    for (const QString &location : customLocations) {
        if (location.startsWith(QLatin1Char('/')))
            result.append(location);
    }
    return result;
}

// "/Apps/" + "X.app" is "/Apps/X.app", not "/Apps//X.app".
QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Calls `onBundle(path, name)` for the entry itself when it is a bundle, else
// for the bundles directly inside it; folders ending ".localized" are not entered.
template<typename OnBundle>
void forEachBundleAt(const QString &path, const QString &name, OnBundle &&onBundle)
{
    if (name.endsWith(kAppSuffix)) {
        onBundle(path, name);
        return;
    }
    if (name.endsWith(kLocalizedSuffix))
        return;
    for (const QString &inner : ScannerEngine::listFolder(path)) {
        if (inner.endsWith(kAppSuffix))
            onBundle(path + QLatin1Char('/') + inner, inner);
    }
}

template<typename OnBundle>
void forEachRootEntry(const QStringList &folders, OnBundle &&onBundle)
{
    for (const QString &folder : folders) {
        for (const QString &entry : ScannerEngine::listFolder(folder))
            forEachBundleAt(childPath(folder, entry), entry, onBundle);
    }
}

// The bundles directly inside each version folder of each cask.
template<typename OnBundle>
void forEachCaskBundle(const QString &caskroom, OnBundle &&onBundle)
{
    for (const QString &cask : ScannerEngine::listFolder(caskroom)) {
        if (cask.startsWith(QLatin1Char('.')))
            continue;
        const QString caskPath = caskroom + QLatin1Char('/') + cask;
        for (const QString &version : ScannerEngine::listFolder(caskPath)) {
            if (version.startsWith(QLatin1Char('.')))
                continue;
            const QString versionPath = caskPath + QLatin1Char('/') + version;
            for (const QString &entry : ScannerEngine::listFolder(versionPath)) {
                if (entry.endsWith(kAppSuffix))
                    onBundle(versionPath + QLatin1Char('/') + entry, entry);
            }
        }
    }
}

// The name counts even when the bundle has no readable identifier.
void recordBundle(const QString &path, const QString &name, QSet<QString> &bundleIDs, QSet<QString> &names)
{
    names.insert(name.chopped(kAppSuffix.size()));
    if (const auto info = ScannerEngine::readPropertyList(infoPlistPath(path))) {
        if (auto id = ScannerEngine::stringValue(*info, QStringLiteral("CFBundleIdentifier")))
            bundleIDs.insert(*id);
    }
}

void appendBundle(const QString &path, const QString &name, QList<InstalledApp> &list)
{
    const auto info = ScannerEngine::readPropertyList(infoPlistPath(path));
    if (!info)
        return;
    auto bundleID = ScannerEngine::stringValue(*info, QStringLiteral("CFBundleIdentifier"));
    // The system's own applications are never offered for removal.
    if (!bundleID || bundleID->startsWith(QLatin1String("com.apple.")))
        return;
    InstalledApp app;
    app.name = name.chopped(kAppSuffix.size());
    app.bundleID = std::move(*bundleID);
    app.path = path;
    app.version = ScannerEngine::stringValue(*info, QStringLiteral("CFBundleShortVersionString"));
    if (const auto executable = ScannerEngine::stringValue(*info, QStringLiteral("CFBundleExecutable")))
        app.lastLaunched = FileMetadata::lastUsedDate(path, *executable);
    list.append(std::move(app));
}

}

AppIndex ScannerEngine::installedAppIndex(const SystemRoots &roots, const QStringList &customLocations)
{
    AppIndex index;
    const auto record = [&index](const QString &path, const QString &name) {
        recordBundle(path, name, index.bundleIDs, index.names);
    };
    forEachRootEntry(searchRoots(roots, customLocations), record);
    for (const QString &caskroom : homebrewPaths(roots, QStringLiteral("/Caskroom")))
        forEachCaskBundle(caskroom, record);
    // Formula folders count as installed names.
    for (const QString &cellar : homebrewPaths(roots, QStringLiteral("/Cellar"))) {
        for (const QString &formula : listFolder(cellar)) {
            if (!formula.startsWith(QLatin1Char('.')))
                index.names.insert(formula);
        }
    }
    return index;
}

QList<InstalledApp> ScannerEngine::scanInstalledApps(const SystemRoots &roots, const QStringList &customLocations)
{
    QList<InstalledApp> apps;
    const auto append = [&apps](const QString &path, const QString &name) { appendBundle(path, name, apps); };
    forEachRootEntry(searchRoots(roots, customLocations), append);
    for (const QString &caskroom : homebrewPaths(roots, QStringLiteral("/Caskroom")))
        forEachCaskBundle(caskroom, append);

    QStringList keys;
    keys.reserve(apps.size());
    for (const InstalledApp &app : apps)
        keys.append(app.name.toLower());
    QList<qsizetype> order(apps.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    QList<InstalledApp> sorted;
    sorted.reserve(apps.size());
    for (qsizetype i : order)
        sorted.append(std::move(apps[i]));
    return sorted;
}

void ScannerEngine::recordApp(const QString &path, const QString &name, QSet<QString> &bundleIDs,
                              QSet<QString> &names)
{
    forEachBundleAt(path, name, [&bundleIDs, &names](const QString &bundlePath, const QString &bundleName) {
        recordBundle(bundlePath, bundleName, bundleIDs, names);
    });
}

void ScannerEngine::recordCaskroom(const QString &path, QSet<QString> &bundleIDs, QSet<QString> &names)
{
    forEachCaskBundle(path, [&bundleIDs, &names](const QString &bundlePath, const QString &bundleName) {
        recordBundle(bundlePath, bundleName, bundleIDs, names);
    });
}

void ScannerEngine::appendInstalledApp(const QString &path, const QString &name, QList<InstalledApp> &list)
{
    forEachBundleAt(path, name, [&list](const QString &bundlePath, const QString &bundleName) {
        appendBundle(bundlePath, bundleName, list);
    });
}

QStringList ScannerEngine::homebrewPrefixes(const SystemRoots &roots)
{
    QStringList prefixes;
    for (const QString &prefix : {QStringLiteral("/opt/homebrew"), QStringLiteral("/usr/local")}) {
        const QString real = roots.system(prefix);
        if (QFileInfo::exists(real + QStringLiteral("/bin/brew")))
            prefixes.append(real);
    }
    return prefixes;
}

QStringList ScannerEngine::homebrewPaths(const SystemRoots &roots, const QString &suffix)
{
    QStringList paths;
    for (const QString &prefix : homebrewPrefixes(roots)) {
        const QString path = prefix + suffix;
        if (QFileInfo::exists(path))
            paths.append(path);
    }
    return paths;
}
