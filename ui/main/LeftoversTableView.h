#pragma once

#include "model/LeftoverItem.h"
#include "ui/main/DerivedLists.h"
#include "ui/main/LeftoversRules.h"

#include <QSet>
#include <QTableView>
#include <QUuid>

class LanguageManager;
class LeftoversTableModel;
class QMenu;
class Scanner;

// The leftovers table: its model, the App cell's delegate, the header's
// widths and sort clicks, the selection and the context menu. What it shows
// is chosen by its tab; what the user picks comes back through the signals.
class LeftoversTableView : public QTableView
{
    Q_OBJECT

public:
    LeftoversTableView(const Scanner &scanner, LanguageManager &lm, QWidget *parent = nullptr);

    LeftoversTableModel &leftoversModel() const { return *m_model; }

    // New rows, the order they are in (the header's arrow shows its first key)
    // and the chosen ids, of which the view selects those it shows.
    void showItems(QList<LeftoverItem> items, const QList<LeftoverComparator> &order, const QSet<QUuid> &selection);
    void setSelection(const QSet<QUuid> &ids);
    // The context menu for a set of row ids; null when it would be empty.
    QMenu *contextMenu(const QSet<QUuid> &rows, QWidget *parent);

signals:
    // A click on a sortable column's header.
    void sortOrderChosen(const QList<LeftoverComparator> &order);
    // The user changed the rows selected; the ids of the rows now selected.
    void selectionChosen(const QSet<QUuid> &ids);
    void menuEntryChosen(const LeftoversRules::MenuEntry &entry);

protected:
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    void sortByColumn(int column);
    void showSortIndicator();
    void selectShownRows();
    void openMenu(const QPoint &pos);

    const Scanner &m_scanner;
    LanguageManager &m_lm;
    LeftoversTableModel *m_model;
    QList<LeftoverComparator> m_sortOrder{LeftoverComparator{}};
    QSet<QUuid> m_selection;
};
