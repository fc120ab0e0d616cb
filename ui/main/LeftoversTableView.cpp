#include "ui/main/LeftoversTableView.h"

#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "model/StoredLists.h"
#include "ui/common/NameOverIdDelegate.h"
#include "ui/common/OutsideText.h"
#include "ui/common/TableSetup.h"
#include "ui/main/LeftoversTableModel.h"
#include "ui/common/OutsideTextDelegate.h"

#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>

namespace {

// The Location column takes what is left.
const QList<TableSetup::ColumnWidth> columnWidths = {{140, 190}, {100, 130}, {55, 75}};

QList<LeftoverComparator::Key> sortKeys()
{
    return {LeftoverComparator::Key::appName, LeftoverComparator::Key::type, LeftoverComparator::Key::size};
}

} // namespace

LeftoversTableView::LeftoversTableView(const Scanner &scanner, LanguageManager &lm, QWidget *parent)
    : QTableView(parent)
    , m_scanner(scanner)
    , m_lm(lm)
    , m_model(new LeftoversTableModel(this))
{
    setObjectName(QStringLiteral("leftoversView"));
    m_model->setHome(scanner.services().roots.home);
    m_model->setLocale(m_lm.locale());
    connect(&m_lm, &LanguageManager::languageChanged, this, [this] { m_model->setLocale(m_lm.locale()); });
    setModel(m_model);
    setItemDelegateForColumn(LeftoversTableModel::appColumn,
                             new NameOverIdDelegate(LeftoversTableModel::bundleIDRole, 0, this));
    setItemDelegateForColumn(LeftoversTableModel::locationColumn, new OutsideTextDelegate(this));
    // Room above and below the App cell's two lines.
    TableSetup::apply(*this, NameOverIdDelegate::textHeight() + 11);
    setTextElideMode(Qt::ElideMiddle);
    setIconSize(QSize(14, 14));
    horizontalHeader()->setStretchLastSection(true);
    TableSetup::setColumnWidths(*this, columnWidths);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &LeftoversTableView::sortByColumn);
    connect(this, &QWidget::customContextMenuRequested, this, &LeftoversTableView::openMenu);
}

void LeftoversTableView::showItems(QList<LeftoverItem> items, const QList<LeftoverComparator> &order,
                                   const QSet<QUuid> &selection)
{
    // A new list is not a choice of the user's, nor is showing the chosen rows in it.
    const QSignalBlocker quiet(this);
    m_model->setItems(std::move(items));
    m_selection = selection;
    selectShownRows();
    m_sortOrder = order;
    showSortIndicator();
}

void LeftoversTableView::setSelection(const QSet<QUuid> &ids)
{
    const QSignalBlocker quiet(this);
    m_selection = ids;
    selectShownRows();
}

void LeftoversTableView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTableView::selectionChanged(selected, deselected);
    if (signalsBlocked())
        return;
    // A choice in the table names the rows shown now.
    QSet<QUuid> ids;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            ids.insert(m_model->idAt(row));
    }
    m_selection = ids;
    emit selectionChosen(ids);
}

// Contiguous rows as one range.
void LeftoversTableView::selectShownRows()
{
    QItemSelection selection;
    const int rows = m_model->rowCount();
    const int lastColumn = LeftoversTableModel::columnCount_ - 1;
    for (int row = 0; !m_selection.isEmpty() && row < rows;) {
        if (!m_selection.contains(m_model->idAt(row))) {
            ++row;
            continue;
        }
        const int top = row;
        while (row < rows && m_selection.contains(m_model->idAt(row)))
            ++row;
        selection.append(QItemSelectionRange(m_model->index(top, 0), m_model->index(row - 1, lastColumn)));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void LeftoversTableView::sortByColumn(int column)
{
    if (column < int(sortKeys().size())) {
        const LeftoverComparator::Key key = sortKeys().at(column);
        const bool flip = !m_sortOrder.isEmpty() && m_sortOrder.first().key == key
            && m_sortOrder.first().order == Qt::AscendingOrder;
        emit sortOrderChosen({LeftoverComparator{key, flip ? Qt::DescendingOrder : Qt::AscendingOrder}});
    }
    // The header flips its arrow on any click; it shows the sort order only.
    showSortIndicator();
}

void LeftoversTableView::showSortIndicator()
{
    const LeftoverComparator first = m_sortOrder.value(0);
    horizontalHeader()->setSortIndicator(int(sortKeys().indexOf(first.key)), first.order);
}

void LeftoversTableView::openMenu(const QPoint &pos)
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return;
    // The right-clicked row, and with it the selection when it is part of it.
    const QUuid id = m_model->idAt(index.row());
    if (QMenu *menu = contextMenu(m_selection.contains(id) ? m_selection : QSet<QUuid>{id}, this)) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(viewport()->mapToGlobal(pos));
    }
}

QMenu *LeftoversTableView::contextMenu(const QSet<QUuid> &rows, QWidget *parent)
{
    const QList<LeftoversRules::MenuEntry> entries = LeftoversRules::contextMenu(
        m_scanner.items(), rows, StoredLists::ignoredBundleIDs(*m_scanner.services().defaults), m_lm);
    if (entries.isEmpty())
        return nullptr;
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("leftoversContextMenu"));
    for (const LeftoversRules::MenuEntry &entry : entries) {
        if (entry.kind == LeftoversRules::MenuEntry::Kind::divider) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(OutsideText::menuEntry(entry.title));
        connect(action, &QAction::triggered, this, [this, entry] { emit menuEntryChosen(entry); });
    }
    return menu;
}
