#include "ui/main/FrameRules.h"

#include "ui/common/OutsideText.h"

namespace FrameRules {

LeftoversPaneContent leftoversPane(bool isScanning, bool hasItems)
{
    if (isScanning)
        return LeftoversPaneContent::progress;
    return hasItems ? LeftoversPaneContent::table : LeftoversPaneContent::emptyState;
}

RosterPaneContent rosterPane(bool isLoadingRoster, bool hasApps)
{
    if (hasApps)
        return RosterPaneContent::table;
    return isLoadingRoster ? RosterPaneContent::loading : RosterPaneContent::emptyState;
}

QString activityText(bool isScanning, bool isLoadingRoster, const QString &scanProgress,
                     const QString &loadingAppsText)
{
    // The progress text names apps: kept to one line and apart from what surrounds it.
    if (isScanning)
        return OutsideText::inLine(scanProgress);
    return isLoadingRoster ? loadingAppsText : QString();
}

} // namespace FrameRules
