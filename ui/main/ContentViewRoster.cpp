// The Installed Apps tab's regions of the main window: filter bar, roster
// table, loading view and empty state, the removal confirmation, the drop
// overlay and the log sheet.
#include "ui/main/ContentView.h"

#include <QUrl>

void ContentView::buildRosterRegions()
{
}

void ContentView::handleDroppedApp(const QUrl &)
{
}
