#pragma once

#include <QList>

class QTableView;

// The look and behaviour the windows' list tables share: whole rows selected,
// several at a time; no grid, no frame, no editing; alternating rows of one
// fixed height; a left-aligned header whose clicks sort and which shows the
// sort arrow; one stop in the Tab order.
namespace TableSetup {

struct ColumnWidth
{
    int minimum;
    int ideal;
};

void apply(QTableView &view, int rowHeight);

// Sizes the first columns to their ideal widths and keeps each at least at its
// minimum when the user drags it narrower.
void setColumnWidths(QTableView &view, const QList<ColumnWidth> &widths);

} // namespace TableSetup
