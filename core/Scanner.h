#pragma once

#include "core/MainThread.h"
#include "core/ScannerLink.h"
#include "core/ScannerServices.h"
#include "model/InstalledApp.h"
#include "model/LeftoverItem.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <type_traits>

// The main window's model object: runs the scan engine in background tasks and
// publishes what it finds. Lives on the main thread; every published property
// is written there only.
class Scanner : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<LeftoverItem> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(bool isScanning READ isScanning NOTIFY isScanningChanged)
    Q_PROPERTY(QString scanProgress READ scanProgress NOTIFY scanProgressChanged)
    Q_PROPERTY(bool tccAccessDenied READ tccAccessDenied NOTIFY tccAccessDeniedChanged)
    Q_PROPERTY(QList<LeftoverItem> removalFailures READ removalFailures NOTIFY removalFailuresChanged)
    Q_PROPERTY(QList<InstalledApp> installedApps READ installedApps NOTIFY installedAppsChanged)
    Q_PROPERTY(bool isLoadingRoster READ isLoadingRoster NOTIFY isLoadingRosterChanged)

public:
    explicit Scanner(const ScannerServices &services, QObject *parent = nullptr);
    ~Scanner() override;

    const QList<LeftoverItem> &items() const { return m_items; }
    bool isScanning() const { return m_isScanning; }
    const QString &scanProgress() const { return m_scanProgress; }
    bool tccAccessDenied() const { return m_tccAccessDenied; }
    const QList<LeftoverItem> &removalFailures() const { return m_removalFailures; }
    const QList<InstalledApp> &installedApps() const { return m_installedApps; }
    bool isLoadingRoster() const { return m_isLoadingRoster; }

    const ScannerServices &services() const { return m_services; }

    // True when the process was started with "--ui-testing"; computed once.
    static bool isUITesting();

    void scan();
    void scanSpecificApp(const QString &bundleID, const QString &appName);
    void loadInstalledApps();

    void moveToTrash(const QList<LeftoverItem> &items);
    void resetPermissions(const QList<LeftoverItem> &items);
    void resetAllPermissions(const QString &bundleID, const QString &appName);
    void removeAppCompletely(const InstalledApp &app);
    void removeBackgroundActivity(const QList<LeftoverItem> &items);

    // Empties `removalFailures` (the user dismissed them); `tccAccessDenied` stays.
    void dismissRemovalFailures();
    // Drops every item of one application from `items` in one change; items
    // without a bundle ID and the order of the others stay.
    void removeItemsOfBundleID(const QString &bundleID);

signals:
    void itemsChanged();
    void isScanningChanged();
    void scanProgressChanged();
    void tccAccessDeniedChanged();
    void removalFailuresChanged();
    void installedAppsChanged();
    void isLoadingRosterChanged();

private:
    friend class ScannerPublisher;

    void setItems(const QList<LeftoverItem> &items);
    void setIsScanning(bool value);
    void setScanProgress(const QString &text);
    void setTccAccessDenied(bool value);
    void setRemovalFailures(const QList<LeftoverItem> &items);
    void setInstalledApps(const QList<InstalledApp> &apps);
    void setIsLoadingRoster(bool value);
    // Takes the rows for which `leaves` is true out of `items`: one change,
    // published even when no row leaves.
    void dropItems(const std::function<bool(const LeftoverItem &)> &leaves);

    QString localized(const QString &key, const QVariantList &args = {}) const;

    // Scans and removals go ahead of the roster's size pass in the pool's queue.
    static constexpr int kUserInitiatedPriority = 10;
    static constexpr int kUtilityPriority = 0;

    // Runs `work` on the pool, then `apply` with its result on the main thread;
    // the call is dropped when the Scanner is gone by then. `work` runs to its
    // end unless it asks the link's stop token, as work whose result only the
    // Scanner wants does. `work` never touches the Scanner: what it publishes
    // on the way goes through the link it is given.
    template <typename Work, typename Apply>
    void runTask(int priority, Work work, Apply apply);

    ScannerServices m_services;
    ScannerLink m_link{this};
    QList<LeftoverItem> m_items;
    bool m_isScanning = false;
    QString m_scanProgress;
    bool m_tccAccessDenied = false;
    QList<LeftoverItem> m_removalFailures;
    QList<InstalledApp> m_installedApps;
    bool m_isLoadingRoster = false;
};

template <typename Work, typename Apply>
void Scanner::runTask(int priority, Work work, Apply apply)
{
    runInBackground(
        [link = m_link, work = std::move(work), apply = std::move(apply)] {
            if constexpr (std::is_void_v<std::invoke_result_t<const Work &, const ScannerLink &>>) {
                work(link);
                link.post([apply](Scanner &scanner) { apply(scanner); });
            } else {
                const auto result = work(link);
                link.post([apply, result](Scanner &scanner) { apply(scanner, result); });
            }
        },
        priority);
}
