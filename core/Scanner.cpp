#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/ScanFinder.h"
#include "core/engine/AppIndex.h"
#include "core/engine/AppLeftovers.h"
#include "core/engine/DirectorySize.h"
#include "model/IsolatedText.h"
#include "model/StoredLists.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct FullScanResult
{
    QList<LeftoverItem> items;
    bool accessDenied = false;
    // The application quit before the scan was done: nothing to show.
    bool stopped = false;
};

// Ascending by the lower-cased application name; items of one name keep their order.
QList<LeftoverItem> sortedByAppName(QList<LeftoverItem> items)
{
    // Each name lowered once, not at every comparison: thousands of items are common.
    std::vector<std::pair<QString, qsizetype>> order;
    order.reserve(size_t(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
        order.emplace_back(items[i].appName.toLower(), i);
    std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<LeftoverItem> sorted;
    sorted.reserve(items.size());
    for (const auto &entry : order)
        sorted.append(std::move(items[entry.second]));
    return sorted;
}

// The full scan's work: each finder in turn, announced and logged as a section
// of the report; then the ignored applications' items dropped and the rest sorted.
// Its report is written also for a window that has gone; only quitting ends it
// early, after the last section whose sizes were walked to the end.
FullScanResult findAllLeftovers(const ScannerServices &services, const QSet<QString> &ignored,
                                const std::function<void(const QString &key)> &announce)
{
    AppLogger *logger = services.logger;
    logger->log(QStringLiteral("=== Scan started ==="));
    const auto stopped = [&] {
        if (!services.quitting.stop_requested())
            return false;
        logger->log(QStringLiteral("=== Scan stopped: the application quit ==="));
        return true;
    };

    announce(QStringLiteral("scanning_loading_apps"));
    const AppIndex index =
        ScannerEngine::installedAppIndex(services.roots, StoredLists::customAppLocations(*services.defaults));
    logger->logLoadedApps(int(index.bundleIDs.size()));

    ScanFinder::Context context{services.roots, services.runner, index.bundleIDs, index.names, services.quitting};
    QList<LeftoverItem> found;
    for (const ScanFinder &finder : ScanFinder::fullScan()) {
        if (stopped())
            return {{}, false, true};
        if (!finder.progressKey.isEmpty())
            announce(finder.progressKey);
        const QList<LeftoverItem> items = finder.find(context);
        // A section whose folders were not walked to the end would log wrong sizes.
        if (stopped())
            return {{}, false, true};
        found.append(items);
        logger->logSection(finder.title, items);
    }

    const qsizetype before = found.size();
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](const LeftoverItem &item) {
                                   return item.bundleID && ignored.contains(*item.bundleID);
                               }),
                found.end());
    logger->logSuppressed(int(before - found.size()));
    logger->logScanFinished(int(found.size()), context.accessDenied);
    return {sortedByAppName(std::move(found)), context.accessDenied};
}

}

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
    runTask(
        kUserInitiatedPriority,
        [services = m_services, ignored](const ScannerLink &link) {
            return findAllLeftovers(services, ignored, [&link](const QString &key) {
                link.post([key](Scanner &scanner) { scanner.setScanProgress(scanner.localized(key)); });
            });
        },
        [](Scanner &scanner, const FullScanResult &result) {
            if (result.stopped) {
                scanner.setIsScanning(false);
                return;
            }
            const qsizetype count = result.items.size();
            const QString status = count == 1 ? scanner.localized(QStringLiteral("scan_found_1_item"))
                : count > 1 ? scanner.localized(QStringLiteral("scan_found_n_items"), {int(count)})
                            : scanner.localized(QStringLiteral("scan_no_items"));
            scanner.setItems(result.items);
            scanner.setIsScanning(false);
            scanner.setTccAccessDenied(result.accessDenied);
            scanner.setScanProgress(status);
        });
}

void Scanner::scanSpecificApp(const QString &bundleID, const QString &appName)
{
    if (m_isScanning)
        return;
    setIsScanning(true);
    setItems({});
    setScanProgress(localized(QStringLiteral("scanning_specific"), {isolatedText(appName)}));

    runTask(
        kUserInitiatedPriority,
        [services = m_services, bundleID, appName](const ScannerLink &link) {
            const AppIndex index = ScannerEngine::installedAppIndex(
                services.roots, StoredLists::customAppLocations(*services.defaults));
            // Only the window wants the result: its going ends the search.
            return ScannerEngine::findLeftovers(services.roots, services.runner, bundleID, appName, index.bundleIDs,
                                                link.stopToken());
        },
        [appName](Scanner &scanner, const QList<LeftoverItem> &found) {
            const qsizetype count = found.size();
            const QString status = count == 1
                ? scanner.localized(QStringLiteral("scan_found_1_file"), {isolatedText(appName)})
                : count > 1 ? scanner.localized(QStringLiteral("scan_found_n_files"), {int(count), isolatedText(appName)})
                            : scanner.localized(QStringLiteral("scan_no_files"), {isolatedText(appName)});
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

    runTask(
        kUtilityPriority,
        [services = m_services](const ScannerLink &link) {
            const QList<InstalledApp> apps = ScannerEngine::scanInstalledApps(
                services.roots, StoredLists::customAppLocations(*services.defaults));
            services.logger->logInstalledApps(apps);
            link.post([apps](Scanner &scanner) { scanner.setInstalledApps(apps); });
            // The sizes are only for the window: once it has gone, the pass ends
            // at the next folder, and the size it was walking is short.
            const std::stop_token gone = link.stopToken();
            for (const InstalledApp &app : apps) {
                const qint64 size = ScannerEngine::directorySize(app.path, gone);
                if (gone.stop_requested())
                    break;
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
