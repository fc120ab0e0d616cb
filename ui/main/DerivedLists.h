#pragma once

#include "model/InstalledApp.h"
#include "model/LeftoverItem.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

// What the main window's tables, action bar and status bar show, computed
// from the scanner's lists and the window's state. Plain functions, no
// widgets, nothing cached: callers evaluate them afresh on every change.

// A sort key of the leftovers table and its direction.
struct LeftoverComparator
{
    enum class Key { appName, type, size };
    Key key = Key::appName;
    Qt::SortOrder order = Qt::AscendingOrder;
    bool operator==(const LeftoverComparator &) const = default;
};

// A sort key of the roster table and its direction.
struct AppComparator
{
    enum class Key { name, appSize, lastLaunched };
    Key key = Key::name;
    Qt::SortOrder order = Qt::AscendingOrder;
    bool operator==(const AppComparator &) const = default;
};

// The leftovers filter bar's state.
struct LeftoverFilters
{
    bool safeMode = true;
    std::optional<LeftoverType> selectedType;
    // Used as typed: not trimmed.
    QString searchText;
};

namespace DerivedLists {

// The items that pass the filters, sorted by `sortOrder` (later comparators break ties).
QList<LeftoverItem> filteredItems(const QList<LeftoverItem> &items, const LeftoverFilters &filters,
                                  const QList<LeftoverComparator> &sortOrder);
// 0 with Safe Mode off; else every item outside the Safe set, whatever the other filters.
int hiddenBySafeModeCount(const QList<LeftoverItem> &items, bool safeMode);
// From all items, hidden ones included, in the items' order.
QList<LeftoverItem> selectedItems(const QList<LeftoverItem> &items, const QSet<QUuid> &selection);

// The roster narrowed by the search, in roster order.
QList<InstalledApp> filteredApps(const QList<InstalledApp> &apps, const QString &search);
QList<InstalledApp> selectedApps(const QList<InstalledApp> &apps, const QSet<QUuid> &selection);
// The roster table's order.
QList<InstalledApp> sortedApps(QList<InstalledApp> apps, const QList<AppComparator> &sortOrder);

} // namespace DerivedLists
