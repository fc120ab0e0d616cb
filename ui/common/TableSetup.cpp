#include "ui/common/TableSetup.h"

#include <QHeaderView>
#include <QTableView>

namespace TableSetup {

void apply(QTableView &view, int rowHeight)
{
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One stop in the Tab order: the arrow keys move inside, Tab leaves.
    view.setTabKeyNavigation(false);
    view.setShowGrid(false);
    view.setAlternatingRowColors(true);
    view.setWordWrap(false);
    view.setFrameShape(QFrame::NoFrame);
    // The view builds its own menu for the rows under the pointer.
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView *header = view.horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void setColumnWidths(QTableView &view, const QList<ColumnWidth> &widths)
{
    QHeaderView *header = view.horizontalHeader();
    for (int column = 0; column < widths.size(); ++column)
        header->resizeSection(column, widths.at(column).ideal);
    QObject::connect(header, &QHeaderView::sectionResized, header, [header, widths](int column, int, int size) {
        if (column < widths.size() && size < widths.at(column).minimum)
            header->resizeSection(column, widths.at(column).minimum);
    });
}

} // namespace TableSetup
