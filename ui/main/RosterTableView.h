#pragma once

#include "model/InstalledApp.h"
#include "ui/main/DerivedLists.h"
#include "ui/main/RosterRules.h"

#include <QSet>
#include <QTableView>
#include <QUuid>

class LanguageManager;
class QMenu;
class RosterTableModel;
class Scanner;

// The Installed Apps table: its model, the App cell's delegate, the header's
// widths and sort clicks, the selection and the context menu. What it shows is
// chosen by its tab; what the user picks comes back through the signals.
class RosterTableView : public QTableView
{
    Q_OBJECT

public:
    RosterTableView(const Scanner &scanner, LanguageManager &lm, QWidget *parent = nullptr);

    RosterTableModel &rosterModel() const { return *m_model; }

    // The order the rows are in; the header's arrow shows its first key.
    void setSortOrder(const QList<AppComparator> &order);
    // The chosen ids; the view selects those among its rows.
    void setSelection(const QSet<QUuid> &ids);
    // A long version takes room from a wide App column, down to the App column's ideal width.
    void fitVersionColumn();

signals:
    // A click on a sortable column's header.
    void sortOrderChosen(const QList<AppComparator> &order);
    // The user changed the rows selected; the ids of the rows now selected.
    void selectionChosen(const QSet<QUuid> &ids);
    void menuActionChosen(RosterMenuEntry::Action action, const InstalledApp &app);

protected:
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    bool viewportEvent(QEvent *event) override;

private:
    void sortByColumn(int column);
    void showSortIndicator();
    void openMenu(const QPoint &pos);
    QMenu *contextMenu(const QSet<QUuid> &rows);

    const Scanner &m_scanner;
    LanguageManager &m_lm;
    RosterTableModel *m_model;
    QList<AppComparator> m_sortOrder{AppComparator{}};
    QSet<QUuid> m_selection;
};
