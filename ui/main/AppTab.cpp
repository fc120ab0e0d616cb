#include "ui/main/AppTab.h"

namespace AppTabs {

const QList<AppTab> &allCases()
{
    static const QList<AppTab> cases{AppTab::leftovers, AppTab::installed};
    return cases;
}

QString rawValue(AppTab tab)
{
    return tab == AppTab::leftovers ? QStringLiteral("Leftovers") : QStringLiteral("Installed Apps");
}

} // namespace AppTabs
