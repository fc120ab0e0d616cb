// The Leftovers tab's regions of the main window: filter bar, table, scan
// progress and empty state, the banners' contents, the action bar and the
// status bars.
#include "ui/main/ContentView.h"

void ContentView::buildLeftoversRegions()
{
}

void ContentView::openFullDiskAccessSettings()
{
}
