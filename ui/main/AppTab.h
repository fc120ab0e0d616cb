#pragma once

#include <QList>
#include <QString>

// The two tabs of the main window, in the order the tab switch shows them.
enum class AppTab { leftovers, installed };

namespace AppTabs {
const QList<AppTab> &allCases();
// The tab switch's label; the same in every language.
QString rawValue(AppTab tab);
}
