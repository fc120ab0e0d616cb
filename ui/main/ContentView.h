#pragma once

#include "core/ScannerServices.h"
#include "model/InstalledApp.h"
#include "ui/main/AppTab.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <memory>

class ActionBar;
class LanguageManager;
class LeftoversTab;
class LogView;
class QAbstractButton;
class QLabel;
class QPushButton;
class QStackedWidget;
class RosterTab;
class SafeModeSetting;
class Scanner;
class UpdateChecker;

// The main window's content: the frame (header, update banner, tab switch,
// the tabs, banners, action bar, drop overlay, log sheet) and the state the
// whole window shares. Each tab keeps its own list state.
//
// Every state property has a setter that emits its change signal only when
// the value changes.
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

    Scanner &scanner() const { return *m_scanner; }
    LeftoversTab *leftoversTab() const { return m_leftoversTab; }
    RosterTab *rosterTab() const { return m_rosterTab; }
    ActionBar *actionBar() const { return m_actionBar; }

    // ---- window state ----
    AppTab selectedTab() const { return m_selectedTab; }
    void setSelectedTab(AppTab tab);
    bool isDragTargeted() const { return m_isDragTargeted; }
    void setIsDragTargeted(bool targeted);
    bool showingLog() const { return m_showingLog; }
    void setShowingLog(bool showing);
    // Shared by every main window on the same store.
    bool safeMode() const;
    void setSafeMode(bool on);

    // ---- actions of the header ----
    void openSettingsWindow();
    void openTrash();
    void showLog();
    void openDonationPage();
    void scanForLeftovers();
    void loadApps();

    // Everything of one application, on the Leftovers tab with nothing selected.
    void scanLeftovers(const QString &bundleID, const QString &appName);
    // Accepts a drop of file URLs: only the first one is handled. False for an empty list.
    bool handleDrop(const QList<QUrl> &urls);

    // 960 × 580, or more while the regions shown need more, so nothing is cut.
    QSize minimumSizeHint() const override;

signals:
    // The open-settings action: the application brings up its settings window.
    void settingsRequested();

    void selectedTabChanged();
    void isDragTargetedChanged();
    void showingLogChanged();
    void safeModeChanged();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildTabPicker();
    void refreshHeader();
    void refreshTab();
    void refreshLogSheet();
    // The first dropped file URL; decides whether it is an application bundle.
    void handleDroppedApp(const QUrl &url);

    Scanner *m_scanner;
    LanguageManager &m_lm;
    std::shared_ptr<SafeModeSetting> m_safeMode;
    AppTab m_selectedTab = AppTab::leftovers;
    bool m_isDragTargeted = false;
    bool m_showingLog = false;

    // ---- the regions ----
    LeftoversTab *m_leftoversTab = nullptr;
    RosterTab *m_rosterTab = nullptr;
    ActionBar *m_actionBar = nullptr;
    QStackedWidget *m_tabs = nullptr;
    // Over everything, outside the layout, while isDragTargeted.
    QWidget *m_dropOverlay = nullptr;
    QPointer<LogView> m_logView;

    // ---- the header ----
    QWidget *m_activityIndicator = nullptr;
    QLabel *m_activityText = nullptr;
    QPushButton *m_scanButton = nullptr;
    QPushButton *m_loadAppsButton = nullptr;
    QAbstractButton *m_leftoversTabButton = nullptr;
    QAbstractButton *m_installedTabButton = nullptr;
};
