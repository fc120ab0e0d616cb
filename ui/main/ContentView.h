#pragma once

#include "core/ScannerServices.h"
#include "model/InstalledApp.h"
#include "model/LeftoverItem.h"
#include "ui/main/AppTab.h"
#include "ui/main/DerivedLists.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QUrl>
#include <QUuid>
#include <QWidget>

#include <memory>
#include <optional>

class FileIconSource;
class LanguageManager;
class LeftoversTableModel;
class LogView;
class QAbstractButton;
class QBoxLayout;
class QLabel;
class QMenu;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableView;
class RosterTableModel;
class SafeModeSetting;
class Scanner;
class SearchField;
class UpdateChecker;

// The main window's content: the window state every region reads and writes,
// the frame (header, update banner, tab switch, panes, banners, action bar)
// and the named places the tabs' own regions fill.
//
// Every state property has a setter that emits its change signal only when
// the value changes; the regions refresh from those signals and from the
// Scanner's, the UpdateChecker's and the LanguageManager's.
class ContentView : public QWidget
{
    Q_OBJECT

public:
    // The address the donation button opens.
    static constexpr const char *donationUrl = "https://example.org/quillmere/donate";

    // Each window makes its own Scanner from `services`; the update checker and the
    // language manager are shared and must outlive the window.
    ContentView(const ScannerServices &services, UpdateChecker &updater, LanguageManager &lm,
                QWidget *parent = nullptr);
    ~ContentView() override;

    // ---- state (in this order: scanner, lm, openSettings, then the view state) ----
    Scanner &scanner() const { return *m_scanner; }
    LanguageManager &lm() const { return m_lm; }
    UpdateChecker &updater() const { return m_updater; }

    AppTab selectedTab() const { return m_selectedTab; }
    void setSelectedTab(AppTab tab);
    std::optional<LeftoverType> selectedType() const { return m_selectedType; }
    void setSelectedType(std::optional<LeftoverType> type);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    QList<LeftoverComparator> sortOrder() const { return m_sortOrder; }
    void setSortOrder(const QList<LeftoverComparator> &order);
    QSet<QUuid> tableSelection() const { return m_tableSelection; }
    void setTableSelection(const QSet<QUuid> &selection);
    bool isDragTargeted() const { return m_isDragTargeted; }
    void setIsDragTargeted(bool targeted);
    QString rosterSearch() const { return m_rosterSearch; }
    void setRosterSearch(const QString &text);
    QList<AppComparator> rosterSortOrder() const { return m_rosterSortOrder; }
    void setRosterSortOrder(const QList<AppComparator> &order);
    QSet<QUuid> rosterSelection() const { return m_rosterSelection; }
    void setRosterSelection(const QSet<QUuid> &selection);
    bool showingLog() const { return m_showingLog; }
    void setShowingLog(bool showing);
    std::optional<InstalledApp> appToRemove() const { return m_appToRemove; }
    void setAppToRemove(const std::optional<InstalledApp> &app);
    bool showRemoveConfirmation() const { return m_showRemoveConfirmation; }
    void setShowRemoveConfirmation(bool showing);
    // Shared by every main window on the same store.
    bool safeMode() const;
    void setSafeMode(bool on);

    // ---- derived values, computed afresh on every call ----
    LeftoverFilters filters() const;
    bool passesFilters(const LeftoverItem &item) const;
    QList<LeftoverItem> filteredItems() const;
    int hiddenBySafeModeCount() const;
    QList<LeftoverItem> selectedItems() const;
    QList<InstalledApp> filteredApps() const;
    QList<InstalledApp> selectedApps() const;

    // ---- actions of the header ----
    void openSettingsWindow();
    void openTrash();
    void showLog();
    void openDonationPage();
    void scanForLeftovers();
    void loadApps();

    // Accepts a drop of file URLs: only the first one is handled. False for an empty list.
    bool handleDrop(const QList<QUrl> &urls);

    // 960 × 580, or more while the regions shown need more, so nothing is cut.
    QSize minimumSizeHint() const override;

signals:
    // The framework's open-settings action: the application brings up its settings window.
    void settingsRequested();

    void selectedTabChanged();
    void selectedTypeChanged();
    void searchTextChanged();
    void sortOrderChanged();
    void tableSelectionChanged();
    void isDragTargetedChanged();
    void rosterSearchChanged();
    void rosterSortOrderChanged();
    void rosterSelectionChanged();
    void showingLogChanged();
    void appToRemoveChanged();
    void showRemoveConfirmationChanged();
    void safeModeChanged();
    // Any of the filters of the leftovers list changed (Safe Mode, type, search).
    void filtersChanged();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildFrame();
    QWidget *buildHeader();
    QWidget *buildUpdateBanner();
    QWidget *buildTabPicker();
    void refreshHeader();
    void refreshUpdateBanner();
    void refreshTab();
    void refreshPanes();
    void refreshBanners();
    void refreshTexts();

    // ---- the Leftovers tab's regions (ContentViewLeftovers.cpp) ----
    // Fills m_leftoversFilterBar, m_leftoversProgress, m_leftoversTable and
    // m_leftoversEmptyState; the contents of m_fullDiskAccessBanner and
    // m_removalFailureBanner; the action bar and the status bars. Runs once,
    // after the frame is built; the regions connect to the signals they follow.
    void buildLeftoversRegions();
    // A click anywhere on the Full Disk Access banner.
    void openFullDiskAccessSettings();
    void refreshLeftoversTable();
    void refreshActionBar();
    LeftoversTableModel *m_leftoversModel = nullptr;
    QTableView *m_leftoversView = nullptr;
    QWidget *m_statusPieces = nullptr;
    // Set while the view's selection follows tableSelection, so it is not written back.
    bool m_syncingSelection = false;

public:
    // The table's context menu for a set of row ids; null when it would be empty.
    QMenu *leftoversContextMenu(const QSet<QUuid> &selection, QWidget *parent);
    // ---- actions of the Leftovers tab, the banners and the action bar ----
    void selectAll();
    void deselectAll();
    void revealInFinder(const QStringList &paths);
    void scanAllFilesForItem(const LeftoverItem &item);
    void resetAllPermissionsForItem(const LeftoverItem &item);
    void ignoreBundleID(const QString &bundleID);
    void unignoreBundleID(const QString &bundleID);
    void dismissRemovalFailures();
    void resetSelectedPermissions();
    void removeSelectedBackgroundItems();
    void moveSelectionToTrash();
    void scanLeftovers(const InstalledApp &app);

private:

    // ---- the Installed Apps tab's regions (ContentViewRoster.cpp) ----
    // Fills m_rosterFilterBar, m_rosterLoading, m_rosterTable and
    // m_rosterEmptyState; the removal confirmation (appToRemove,
    // showRemoveConfirmation), the drop overlay m_dropOverlay and the log sheet
    // (showingLog). Runs once, after the frame is built.
    void buildRosterRegions();
    // The first dropped file URL; decides whether it is an application bundle.
    void handleDroppedApp(const QUrl &url);
    void scanDroppedApp(const QString &bundleID, const QString &appName);
    // `rosterChanged`: the scanner published a new roster (perhaps only a size).
    void refreshRoster(bool rosterChanged = false);
    void fitRosterVersionColumn();
    void showRosterSelection();
    void takeRosterSelection();
    void openRosterMenu(const QPoint &pos);
    QMenu *rosterContextMenu(const QSet<QUuid> &selection, QWidget *parent);
    void revealAppInFinder(const InstalledApp &app);
    void resetAllPermissionsForApp(const InstalledApp &app);
    void requestRemoveApp(const InstalledApp &app);
    void cancelRemoveApp();
    void confirmRemoveApp();
    void refreshRemoveAlert();
    void refreshLogSheet();

public:
    // Where the roster's icons come from; the desktop's unless set. Must outlive the window.
    void setFileIconSource(FileIconSource &source);

private:
    FileIconSource *m_fileIcons = nullptr;
    RosterTableModel *m_rosterModel = nullptr;
    QTableView *m_rosterView = nullptr;
    SearchField *m_rosterSearchField = nullptr;
    QLabel *m_rosterCount = nullptr;
    // The list the roster table last showed, to tell a size arriving from a new list.
    QList<InstalledApp> m_rosterShown;
    bool m_takingRosterSelection = false;
    QPointer<QMessageBox> m_removeAlert;
    QPointer<LogView> m_logView;

    // ---- state ----
    Scanner *m_scanner;
    LanguageManager &m_lm;
    UpdateChecker &m_updater;
    AppTab m_selectedTab = AppTab::leftovers;
    std::optional<LeftoverType> m_selectedType;
    QString m_searchText;
    QList<LeftoverComparator> m_sortOrder{LeftoverComparator{}};
    QSet<QUuid> m_tableSelection;
    bool m_isDragTargeted = false;
    QString m_rosterSearch;
    QList<AppComparator> m_rosterSortOrder{AppComparator{}};
    QSet<QUuid> m_rosterSelection;
    bool m_showingLog = false;
    std::optional<InstalledApp> m_appToRemove;
    bool m_showRemoveConfirmation = false;
    std::shared_ptr<SafeModeSetting> m_safeMode;

    // ---- the frame ----
    QLabel *m_activityText = nullptr;
    QWidget *m_activityIndicator = nullptr;
    QPushButton *m_settingsButton = nullptr;
    QPushButton *m_openTrashButton = nullptr;
    QPushButton *m_showLogButton = nullptr;
    QPushButton *m_donationButton = nullptr;
    QPushButton *m_scanButton = nullptr;
    QPushButton *m_loadAppsButton = nullptr;
    QWidget *m_updateBanner = nullptr;
    QLabel *m_updateText = nullptr;
    QPushButton *m_downloadButton = nullptr;
    QPushButton *m_laterButton = nullptr;
    QAbstractButton *m_leftoversTabButton = nullptr;
    QAbstractButton *m_installedTabButton = nullptr;
    QStackedWidget *m_filterBars = nullptr;
    QStackedWidget *m_panes = nullptr;
    QStackedWidget *m_leftoversPane = nullptr;
    QStackedWidget *m_rosterPane = nullptr;
    QWidget *m_fullDiskAccessRegion = nullptr;
    QWidget *m_removalFailureRegion = nullptr;

    // ---- the places the tabs' regions fill; each has an empty layout of its own ----
    // Leftovers filter bar: a QHBoxLayout, spacing 10, space 16 left and right, 8 above and below.
    QWidget *m_leftoversFilterBar = nullptr;
    // Installed Apps filter bar: same layout as the leftovers one.
    QWidget *m_rosterFilterBar = nullptr;
    // The leftovers pane's three contents; the frame shows one by the pane rules.
    QWidget *m_leftoversProgress = nullptr;   // QVBoxLayout, spacing 16, centred
    QWidget *m_leftoversTable = nullptr;      // QVBoxLayout, no margins
    QWidget *m_leftoversEmptyState = nullptr; // QVBoxLayout, centred
    // The roster pane's three contents.
    QWidget *m_rosterLoading = nullptr;    // QVBoxLayout, spacing 16, centred
    QWidget *m_rosterTable = nullptr;      // QVBoxLayout, no margins
    QWidget *m_rosterEmptyState = nullptr; // QVBoxLayout, spacing 20, centred
    // The banners' rounded orange boxes: a top-aligned QHBoxLayout, spacing 8, space 10.
    QWidget *m_fullDiskAccessBanner = nullptr;
    QWidget *m_removalFailureBanner = nullptr;
    // The action bar below everything: a QHBoxLayout, spacing 8, space 16 left and right, 8 above and below.
    QWidget *m_actionBar = nullptr;
    // Centred over the whole content while isDragTargeted; a QVBoxLayout.
    QWidget *m_dropOverlay = nullptr;
};
