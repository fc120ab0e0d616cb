#pragma once

#include "model/InstalledApp.h"
#include "ui/main/DerivedLists.h"
#include "ui/main/RosterRules.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QWidget>

#include <optional>

class LanguageManager;
class QLabel;
class QMessageBox;
class QStackedWidget;
class RosterTableView;
class Scanner;
class SearchField;

// The Installed Apps tab: its filter bar over the roster table, the loading
// view or the empty state; the roster's search, sort order and selection; the
// removal confirmation.
class RosterTab : public QWidget
{
    Q_OBJECT

public:
    RosterTab(Scanner &scanner, LanguageManager &lm, QWidget *parent = nullptr);

    RosterTableView *table() const { return m_table; }

    QString rosterSearch() const { return m_rosterSearch; }
    void setRosterSearch(const QString &text);
    QList<AppComparator> rosterSortOrder() const { return m_rosterSortOrder; }
    void setRosterSortOrder(const QList<AppComparator> &order);
    QSet<QUuid> rosterSelection() const { return m_rosterSelection; }
    void setRosterSelection(const QSet<QUuid> &selection);
    std::optional<InstalledApp> appToRemove() const { return m_appToRemove; }
    void setAppToRemove(const std::optional<InstalledApp> &app);
    bool showRemoveConfirmation() const { return m_showRemoveConfirmation; }
    void setShowRemoveConfirmation(bool showing);

    // Computed afresh on every call.
    QList<InstalledApp> filteredApps() const;
    QList<InstalledApp> selectedApps() const;

    void requestRemoveApp(const InstalledApp &app);
    void cancelRemoveApp();
    void confirmRemoveApp();

signals:
    void rosterSearchChanged();
    void rosterSortOrderChanged();
    void rosterSelectionChanged();
    void appToRemoveChanged();
    void showRemoveConfirmationChanged();
    // The window scans for the leftovers of one application, on the Leftovers tab.
    void scanLeftoversRequested(const InstalledApp &app);

private:
    QWidget *buildFilterBar();
    QWidget *buildLoadingView();
    QWidget *buildEmptyState();
    // `rosterChanged`: the scanner published a new roster (perhaps only a size).
    void refreshRoster(bool rosterChanged = false);
    void refreshPane();
    void refreshRemoveAlert();
    void runMenuAction(RosterMenuEntry::Action action, const InstalledApp &app);

    Scanner &m_scanner;
    LanguageManager &m_lm;
    SearchField *m_searchField = nullptr;
    QLabel *m_count = nullptr;
    RosterTableView *m_table = nullptr;
    QStackedWidget *m_pane = nullptr;
    // The list the table last showed, to tell a size arriving from a new list.
    QList<InstalledApp> m_rosterShown;
    QPointer<QMessageBox> m_removeAlert;

    QString m_rosterSearch;
    QList<AppComparator> m_rosterSortOrder{AppComparator{}};
    QSet<QUuid> m_rosterSelection;
    std::optional<InstalledApp> m_appToRemove;
    bool m_showRemoveConfirmation = false;
};
