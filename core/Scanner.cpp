#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/engine/AppIndex.h"
#include "core/engine/AppLeftovers.h"
#include "core/engine/BackgroundTaskRecords.h"
#include "core/engine/DirectorySize.h"
#include "core/engine/LaunchItemFinders.h"
#include "core/engine/LibraryFinders.h"
#include "core/engine/PermissionDatabase.h"
#include "model/StoredLists.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

Scanner::Scanner(const ScannerServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
{
}

Scanner::~Scanner()
{
    m_link.cut();
}

bool Scanner::isUITesting()
{
    static const bool flag = QCoreApplication::arguments().contains(QStringLiteral("--ui-testing"));
    return flag;
}

QString Scanner::localized(const QString &key, const QVariantList &args) const
{
    return m_services.language->localized(key, args);
}

void Scanner::setItems(const QList<LeftoverItem> &items)
{
    m_items = items;
    emit itemsChanged();
}

void Scanner::setIsScanning(bool value)
{
    m_isScanning = value;
    emit isScanningChanged();
}

void Scanner::setScanProgress(const QString &text)
{
    m_scanProgress = text;
    emit scanProgressChanged();
}

void Scanner::setTccAccessDenied(bool value)
{
    m_tccAccessDenied = value;
    emit tccAccessDeniedChanged();
}

void Scanner::setRemovalFailures(const QList<LeftoverItem> &items)
{
    m_removalFailures = items;
    emit removalFailuresChanged();
}

void Scanner::setInstalledApps(const QList<InstalledApp> &apps)
{
    m_installedApps = apps;
    emit installedAppsChanged();
}

void Scanner::setIsLoadingRoster(bool value)
{
    m_isLoadingRoster = value;
    emit isLoadingRosterChanged();
}

void Scanner::dismissRemovalFailures()
{
    if (!m_removalFailures.isEmpty())
        setRemovalFailures({});
}

void Scanner::dropItems(const std::function<bool(const LeftoverItem &)> &leaves)
{
    QList<LeftoverItem> remaining;
    remaining.reserve(m_items.size());
    std::copy_if(m_items.cbegin(), m_items.cend(), std::back_inserter(remaining),
                 [&](const LeftoverItem &item) { return !leaves(item); });
    setItems(remaining);
}

void Scanner::removeItemsOfBundleID(const QString &bundleID)
{
    const auto ofApp = [&](const LeftoverItem &item) { return item.bundleID == bundleID; };
    if (std::any_of(m_items.cbegin(), m_items.cend(), ofApp))
        dropItems(ofApp);
}

void Scanner::scan()
{
    if (m_isScanning)
        return;
    setIsScanning(true);
    setTccAccessDenied(false);
    setItems({});
    setScanProgress(localized(QStringLiteral("scanning_starting")));

    const QStringList ignoredList = StoredLists::ignoredBundleIDs(*m_services.defaults);
    const QSet<QString> ignored(ignoredList.cbegin(), ignoredList.cend());
    const ScannerServices services = m_services;
    runTask(
        kUserInitiatedPriority,
        [services, ignored](const ScannerLink &link) {
            AppLogger *logger = services.logger;
            const SystemRoots &roots = services.roots;
            const auto announce = [&link](const QString &key) {
                link.post([key](Scanner &scanner) { scanner.setScanProgress(scanner.localized(key)); });
            };
            QList<LeftoverItem> found;
            const auto section = [&](const QString &title, const QList<LeftoverItem> &items) {
                found.append(items);
                logger->logSection(title, items);
            };

            logger->log(QStringLiteral("=== Scan started ==="));

            announce(QStringLiteral("scanning_loading_apps"));
            const AppIndex index = ScannerEngine::installedAppIndex(
                roots, StoredLists::customAppLocations(*services.defaults));
            const QSet<QString> &ids = index.bundleIDs;
            const QSet<QString> &names = index.names;
            logger->logLoadedApps(int(ids.size()));

            announce(QStringLiteral("scanning_preferences"));
            section(QStringLiteral("Preferences"), ScannerEngine::findOrphanPreferences(roots, ids));

            announce(QStringLiteral("scanning_app_support"));
            section(QStringLiteral("Application Support"),
                    ScannerEngine::findOrphanApplicationSupport(roots, ids, names));

            announce(QStringLiteral("scanning_caches"));
            section(QStringLiteral("Caches"), ScannerEngine::findOrphanCaches(roots, ids));

            announce(QStringLiteral("scanning_containers"));
            section(QStringLiteral("Containers"), ScannerEngine::findOrphanContainers(roots, ids));
            section(QStringLiteral("Application Scripts"), ScannerEngine::findOrphanApplicationScripts(roots, ids));
            section(QStringLiteral("System Application Support"),
                    ScannerEngine::findOrphans(roots.system(QStringLiteral("/Library/Application Support")),
                                               LeftoverType::appSupport, ids, names,
                                               ScannerEngine::systemApplicationSupportExclusions()));
            section(QStringLiteral("System Caches"),
                    ScannerEngine::findOrphans(roots.system(QStringLiteral("/Library/Caches")), LeftoverType::cache,
                                               ids, {}, ScannerEngine::cachesExclusions()));
            section(QStringLiteral("System Logs"),
                    ScannerEngine::findOrphans(roots.system(QStringLiteral("/Library/Logs")), LeftoverType::log, ids,
                                               names, ScannerEngine::logsExclusions()));
            section(QStringLiteral("System Preferences"), ScannerEngine::findOrphanSystemPreferences(roots, ids));
            section(QStringLiteral("Privileged Helpers"), ScannerEngine::findOrphanPrivilegedHelpers(roots, ids));

            announce(QStringLiteral("scanning_saved_states"));
            section(QStringLiteral("Saved States"), ScannerEngine::findOrphanSavedStates(roots, ids));

            announce(QStringLiteral("scanning_logs"));
            section(QStringLiteral("Logs"),
                    ScannerEngine::findOrphans(roots.inHome(QStringLiteral("/Library/Logs")), LeftoverType::log, ids,
                                               names, ScannerEngine::logsExclusions()));

            announce(QStringLiteral("scanning_login_items"));
            section(QStringLiteral("Login Items"), ScannerEngine::findOrphanLaunchItems(roots));

            announce(QStringLiteral("scanning_plugins"));
            section(QStringLiteral("Plugins"), ScannerEngine::findOrphanPlugins(roots, ids, names));

            announce(QStringLiteral("scanning_background_activity"));
            section(QStringLiteral("Background Activity"),
                    ScannerEngine::findOrphanBackgroundItems(roots, services.runner, ids));

            announce(QStringLiteral("scanning_tcc"));
            const PermissionScan permissions = ScannerEngine::findOrphanPermissions(
                roots.inHome(QStringLiteral("/Library/Application Support/com.apple.TCC/TCC.db")), ids);
            section(QStringLiteral("TCC Permissions"), permissions.items);

            const qsizetype before = found.size();
            found.erase(std::remove_if(found.begin(), found.end(),
                                       [&](const LeftoverItem &item) {
                                           return item.bundleID && ignored.contains(*item.bundleID);
                                       }),
                        found.end());
            logger->logSuppressed(int(before - found.size()));
            logger->logScanFinished(int(found.size()), permissions.accessDenied);

            // Each name lowered once, not at every comparison: thousands of items are common.
            std::vector<std::pair<QString, qsizetype>> order;
            order.reserve(size_t(found.size()));
            for (qsizetype i = 0; i < found.size(); ++i)
                order.emplace_back(found[i].appName.toLower(), i);
            std::stable_sort(order.begin(), order.end(),
                             [](const auto &a, const auto &b) { return a.first < b.first; });
            QList<LeftoverItem> sorted;
            sorted.reserve(found.size());
            for (const auto &entry : order)
                sorted.append(std::move(found[entry.second]));
            found = std::move(sorted);

            return std::pair(found, permissions.accessDenied);
        },
        [](Scanner &scanner, const std::pair<QList<LeftoverItem>, bool> &result) {
            const auto &[found, denied] = result;
            const qsizetype count = found.size();
            const QString status = count == 1 ? scanner.localized(QStringLiteral("scan_found_1_item"))
                : count > 1 ? scanner.localized(QStringLiteral("scan_found_n_items"), {int(count)})
                            : scanner.localized(QStringLiteral("scan_no_items"));
            scanner.setItems(found);
            scanner.setIsScanning(false);
            scanner.setTccAccessDenied(denied);
            scanner.setScanProgress(status);
        });
}

void Scanner::scanSpecificApp(const QString &bundleID, const QString &appName)
{
    if (m_isScanning)
        return;
    setIsScanning(true);
    setItems({});
    setScanProgress(localized(QStringLiteral("scanning_specific"), {appName}));

    const ScannerServices services = m_services;
    runTask(
        kUserInitiatedPriority,
        [services, bundleID, appName](const ScannerLink &) {
            const AppIndex index = ScannerEngine::installedAppIndex(
                services.roots, StoredLists::customAppLocations(*services.defaults));
            return ScannerEngine::findLeftovers(services.roots, services.runner, bundleID, appName, index.bundleIDs);
        },
        [appName](Scanner &scanner, const QList<LeftoverItem> &found) {
            const qsizetype count = found.size();
            const QString status = count == 1
                ? scanner.localized(QStringLiteral("scan_found_1_file"), {appName})
                : count > 1 ? scanner.localized(QStringLiteral("scan_found_n_files"), {int(count), appName})
                            : scanner.localized(QStringLiteral("scan_no_files"), {appName});
            scanner.setItems(found);
            scanner.setIsScanning(false);
            scanner.setScanProgress(status);
        });
}

void Scanner::loadInstalledApps()
{
    if (m_isLoadingRoster)
        return;
    setIsLoadingRoster(true);
    setInstalledApps({});

    const ScannerServices services = m_services;
    runTask(
        kUtilityPriority,
        [services](const ScannerLink &link) {
            const QList<InstalledApp> apps = ScannerEngine::scanInstalledApps(
                services.roots, StoredLists::customAppLocations(*services.defaults));
            services.logger->logInstalledApps(apps);
            link.post([apps](Scanner &scanner) { scanner.setInstalledApps(apps); });
            for (const InstalledApp &app : apps) {
                const qint64 size = ScannerEngine::directorySize(app.path);
                // Matched by id: a row taken off the roster meanwhile takes no size,
                // and the rows after it keep their own.
                link.post([id = app.id, size](Scanner &scanner) {
                    QList<InstalledApp> current = scanner.m_installedApps;
                    const auto it = std::find_if(current.begin(), current.end(),
                                                 [&](const InstalledApp &a) { return a.id == id; });
                    if (it == current.end())
                        return;
                    it->appSize = size;
                    scanner.setInstalledApps(current);
                });
            }
        },
        [](Scanner &scanner) { scanner.setIsLoadingRoster(false); });
}
