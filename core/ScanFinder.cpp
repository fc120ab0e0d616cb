#include "core/ScanFinder.h"

#include "core/engine/BackgroundTaskRecords.h"
#include "core/engine/LaunchItemFinders.h"
#include "core/engine/LibraryFinders.h"
#include "core/engine/PermissionDatabase.h"

using namespace ScannerEngine;

const QList<ScanFinder> &ScanFinder::fullScan()
{
    using C = Context;
    static const QList<ScanFinder> finders = {
        {QStringLiteral("scanning_preferences"), QStringLiteral("Preferences"),
         [](C &c) { return findOrphanPreferences(c.roots, c.installedIDs); }},
        {QStringLiteral("scanning_app_support"), QStringLiteral("Application Support"),
         [](C &c) { return findOrphanApplicationSupport(c.roots, c.installedIDs, c.installedNames, c.stop); }},
        {QStringLiteral("scanning_caches"), QStringLiteral("Caches"),
         [](C &c) { return findOrphanCaches(c.roots, c.installedIDs, c.stop); }},
        {QStringLiteral("scanning_containers"), QStringLiteral("Containers"),
         [](C &c) { return findOrphanContainers(c.roots, c.installedIDs, c.stop); }},
        {QString(), QStringLiteral("Application Scripts"),
         [](C &c) { return findOrphanApplicationScripts(c.roots, c.installedIDs, c.stop); }},
        {QString(), QStringLiteral("System Application Support"),
         [](C &c) {
             return findOrphans(c.roots.system(QStringLiteral("/Library/Application Support")), LeftoverType::appSupport,
                                c.installedIDs, c.installedNames, systemApplicationSupportExclusions(), c.stop);
         }},
        // Cache folders are not matched by application name.
        {QString(), QStringLiteral("System Caches"),
         [](C &c) {
             return findOrphans(c.roots.system(QStringLiteral("/Library/Caches")), LeftoverType::cache, c.installedIDs,
                                {}, cachesExclusions(), c.stop);
         }},
        {QString(), QStringLiteral("System Logs"),
         [](C &c) {
             return findOrphans(c.roots.system(QStringLiteral("/Library/Logs")), LeftoverType::log, c.installedIDs,
                                c.installedNames, logsExclusions(), c.stop);
         }},
        {QString(), QStringLiteral("System Preferences"),
         [](C &c) { return findOrphanSystemPreferences(c.roots, c.installedIDs); }},
        {QString(), QStringLiteral("Privileged Helpers"),
         [](C &c) { return findOrphanPrivilegedHelpers(c.roots, c.installedIDs); }},
        {QStringLiteral("scanning_saved_states"), QStringLiteral("Saved States"),
         [](C &c) { return findOrphanSavedStates(c.roots, c.installedIDs, c.stop); }},
        {QStringLiteral("scanning_logs"), QStringLiteral("Logs"),
         [](C &c) {
             return findOrphans(c.roots.inHome(QStringLiteral("/Library/Logs")), LeftoverType::log, c.installedIDs,
                                c.installedNames, logsExclusions(), c.stop);
         }},
        {QStringLiteral("scanning_login_items"), QStringLiteral("Login Items"),
         [](C &c) { return findOrphanLaunchItems(c.roots); }},
        {QStringLiteral("scanning_plugins"), QStringLiteral("Plugins"),
         [](C &c) { return findOrphanPlugins(c.roots, c.installedIDs, c.installedNames, c.stop); }},
        {QStringLiteral("scanning_background_activity"), QStringLiteral("Background Activity"),
         [](C &c) { return findOrphanBackgroundItems(c.roots, c.runner, c.installedIDs); }},
        {QStringLiteral("scanning_tcc"), QStringLiteral("TCC Permissions"),
         [](C &c) {
             PermissionScan scan = findOrphanPermissions(
                 c.roots.inHome(QStringLiteral("/Library/Application Support/com.apple.TCC/TCC.db")), c.installedIDs);
             c.accessDenied = scan.accessDenied;
             return scan.items;
         }},
    };
    return finders;
}
