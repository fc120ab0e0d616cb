#pragma once

#include "model/LeftoverItem.h"
#include "ui/main/DerivedLists.h"
#include "ui/main/LeftoversRules.h"

#include <QList>
#include <QSet>
#include <QUuid>
#include <QWidget>

#include <optional>

class LanguageManager;
class LeftoversEmptyState;
class LeftoversTableView;
class QStackedWidget;
class SafeModeSetting;
class Scanner;

// The Leftovers tab: its filter bar over the results table, the scan's
// progress or the empty state; the list's type, search, sort order and
// selection, and what the action bar and the table's menu do with them.
class LeftoversTab : public QWidget
{
    Q_OBJECT

public:
    // `safeMode` is the window's shared setting; the switch in the filter bar writes it.
    LeftoversTab(Scanner &scanner, LanguageManager &lm, SafeModeSetting &safeMode, QWidget *parent = nullptr);

    LeftoversTableView *table() const { return m_table; }

    std::optional<LeftoverType> selectedType() const { return m_selectedType; }
    void setSelectedType(std::optional<LeftoverType> type);
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    QList<LeftoverComparator> sortOrder() const { return m_sortOrder; }
    void setSortOrder(const QList<LeftoverComparator> &order);
    QSet<QUuid> tableSelection() const { return m_tableSelection; }
    void setTableSelection(const QSet<QUuid> &selection);

    // Computed afresh on every call.
    LeftoverFilters filters() const;
    QList<LeftoverItem> filteredItems() const;
    int hiddenBySafeModeCount() const;

    // The window's drag state, shown by the empty state.
    void setDragTargeted(bool targeted);

    void selectAll();
    void deselectAll();
    // The action bar's buttons: act on the selected items the action applies to,
    // which then leave the selection.
    void resetSelectedPermissions();
    void removeSelectedBackgroundItems();
    void moveSelectionToTrash();

signals:
    void selectedTypeChanged();
    void searchTextChanged();
    void sortOrderChanged();
    void tableSelectionChanged();
    // Any of the filters changed (Safe Mode, type, search).
    void filtersChanged();
    // The table holds new rows.
    void shownItemsChanged();
    // The window scans for everything of one application, on this tab.
    void scanAppRequested(const QString &bundleID, const QString &appName);

private:
    QWidget *buildFilterBar(SafeModeSetting &safeMode);
    QWidget *buildProgressView();
    void refreshTable();
    void refreshPane();
    void act(LeftoversRules::Action action);
    void runMenuEntry(const LeftoversRules::MenuEntry &entry);
    void ignoreBundleID(const QString &bundleID);

    Scanner &m_scanner;
    SafeModeSetting &m_safeMode;
    LeftoversTableView *m_table = nullptr;
    LeftoversEmptyState *m_emptyState = nullptr;
    QStackedWidget *m_pane = nullptr;

    std::optional<LeftoverType> m_selectedType;
    QString m_searchText;
    QList<LeftoverComparator> m_sortOrder{LeftoverComparator{}};
    QSet<QUuid> m_tableSelection;
};
