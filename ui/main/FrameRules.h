#pragma once

#include <QString>

// The frame's decisions, apart from the widgets that show them.
namespace FrameRules {

enum class LeftoversPaneContent { progress, table, emptyState };
enum class RosterPaneContent { loading, table, emptyState };

// The table shows once a scan found anything, even when the filters hide every row.
LeftoversPaneContent leftoversPane(bool isScanning, bool hasItems);
// A reload over an existing roster keeps the table.
RosterPaneContent rosterPane(bool isLoadingRoster, bool hasApps);

// The header's activity text: the scan's progress (one line) while a scan runs, else
// `loadingAppsText`; nothing when neither runs.
QString activityText(bool isScanning, bool isLoadingRoster, const QString &scanProgress,
                     const QString &loadingAppsText);

} // namespace FrameRules
