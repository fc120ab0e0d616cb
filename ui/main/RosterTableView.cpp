#include "ui/main/RosterTableView.h"

#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "model/StoredLists.h"
#include "ui/common/FileIconSource.h"
#include "ui/common/NameOverIdDelegate.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/TableSetup.h"
#include "ui/common/UiStyle.h"
#include "ui/common/OutsideTextDelegate.h"
#include "ui/main/RosterTableModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>

namespace {

// By column: App, Version, App Size, Last Launched. The App column stretches, so it keeps no minimum.
const QList<TableSetup::ColumnWidth> columnWidths = {{0, 220}, {60, 80}, {70, 90}, {100, 120}};
constexpr int tableRowHeight = 36;
constexpr int appIconSize = 20;

// The sort key a header section stands for; the Version column has none.
std::optional<AppComparator::Key> sortKey(int column)
{
    switch (column) {
    case RosterTableModel::appColumn: return AppComparator::Key::name;
    case RosterTableModel::sizeColumn: return AppComparator::Key::appSize;
    case RosterTableModel::lastLaunchedColumn: return AppComparator::Key::lastLaunched;
    }
    return std::nullopt;
}

int sortColumn(AppComparator::Key key)
{
    switch (key) {
    case AppComparator::Key::name: return RosterTableModel::appColumn;
    case AppComparator::Key::appSize: return RosterTableModel::sizeColumn;
    case AppComparator::Key::lastLaunched: return RosterTableModel::lastLaunchedColumn;
    }
    return RosterTableModel::appColumn;
}

} // namespace

RosterTableView::RosterTableView(const Scanner &scanner, LanguageManager &lm, QWidget *parent)
    : QTableView(parent)
    , m_scanner(scanner)
    , m_lm(lm)
    , m_model(new RosterTableModel(this))
{
    setObjectName(QStringLiteral("rosterView"));
    m_model->setIconSource(&FileIconSource::desktop());
    m_model->setLocale(m_lm.locale());
    connect(&m_lm, &LanguageManager::languageChanged, this, [this] { m_model->setLocale(m_lm.locale()); });
    setModel(m_model);
    setItemDelegateForColumn(RosterTableModel::appColumn,
                             new NameOverIdDelegate(RosterTableModel::bundleIDRole, appIconSize, this));
    setItemDelegateForColumn(RosterTableModel::versionColumn, new OutsideTextDelegate(this));
    TableSetup::apply(*this, tableRowHeight);
    horizontalHeader()->setMinimumSectionSize(columnWidths[RosterTableModel::versionColumn].minimum);
    TableSetup::setColumnWidths(*this, columnWidths);
    // The App column takes what is left.
    horizontalHeader()->setSectionResizeMode(RosterTableModel::appColumn, QHeaderView::Stretch);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &RosterTableView::sortByColumn);
    connect(this, &QWidget::customContextMenuRequested, this, &RosterTableView::openMenu);
    showSortIndicator();
}

void RosterTableView::setSortOrder(const QList<AppComparator> &order)
{
    m_sortOrder = order;
    showSortIndicator();
}

void RosterTableView::setSelection(const QSet<QUuid> &ids)
{
    m_selection = ids;
    QItemSelection selection;
    for (const QUuid &id : ids) {
        const int row = m_model->rowOf(id);
        if (row >= 0)
            selection.select(m_model->index(row, 0), m_model->index(row, RosterTableModel::columnCount_ - 1));
    }
    // Showing the chosen rows is not a choice of the user's.
    const QSignalBlocker quiet(this);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void RosterTableView::fitVersionColumn()
{
    using Column = RosterTableModel::Column;
    QHeaderView *header = horizontalHeader();
    const int ideal = columnWidths[Column::versionColumn].ideal;
    // The rows in sight and a bounded number more.
    const int wanted = sizeHintForColumn(Column::versionColumn);
    const int room = viewport()->width() - header->sectionSize(Column::sizeColumn)
        - header->sectionSize(Column::lastLaunchedColumn) - columnWidths[Column::appColumn].ideal;
    header->resizeSection(Column::versionColumn, qMax(ideal, qMin(wanted, room)));
}

void RosterTableView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTableView::selectionChanged(selected, deselected);
    if (signalsBlocked())
        return;
    QSet<QUuid> ids;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        ids.insert(m_model->idAt(index.row()));
    m_selection = ids;
    emit selectionChosen(ids);
}

bool RosterTableView::viewportEvent(QEvent *event)
{
    const bool handled = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        fitVersionColumn();
    return handled;
}

void RosterTableView::sortByColumn(int column)
{
    if (const std::optional<AppComparator::Key> key = sortKey(column)) {
        const AppComparator first = m_sortOrder.value(0);
        const bool flip = first.key == *key && first.order == Qt::AscendingOrder;
        emit sortOrderChosen({AppComparator{*key, flip ? Qt::DescendingOrder : Qt::AscendingOrder}});
    }
    // The header flips its arrow on any click, a column that does not sort included.
    showSortIndicator();
}

void RosterTableView::showSortIndicator()
{
    // Only when it moves: setting it repaints the whole table.
    const AppComparator first = m_sortOrder.value(0);
    QHeaderView *header = horizontalHeader();
    if (header->sortIndicatorSection() != sortColumn(first.key) || header->sortIndicatorOrder() != first.order)
        header->setSortIndicator(sortColumn(first.key), first.order);
}

void RosterTableView::openMenu(const QPoint &pos)
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return;
    // The right-clicked row, and with it the selection when it is part of it.
    const QUuid clicked = m_model->idAt(index.row());
    QMenu *menu = contextMenu(m_selection.contains(clicked) ? m_selection : QSet<QUuid>{clicked});
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(viewport()->mapToGlobal(pos));
}

QMenu *RosterTableView::contextMenu(const QSet<QUuid> &rows)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("rosterMenu"));
    const std::optional<InstalledApp> app = RosterRules::menuApp(m_scanner.installedApps(), rows);
    if (!app)
        return menu;
    const QStringList ignored = StoredLists::ignoredBundleIDs(*m_scanner.services().defaults);
    for (const RosterMenuEntry &entry : RosterRules::contextMenu(*app, ignored, m_lm)) {
        if (entry.action == RosterMenuEntry::Action::separator) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(OutsideText::menuEntry(entry.title));
        if (entry.destructive)
            action->setIcon(SymbolIcon::icon(QStringLiteral("trash"), UiStyle::color(UiStyle::Tone::red)));
        connect(action, &QAction::triggered, this,
                [this, kind = entry.action, target = *app] { emit menuActionChosen(kind, target); });
    }
    return menu;
}
