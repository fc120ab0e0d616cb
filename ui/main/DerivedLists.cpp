#include "ui/main/DerivedLists.h"

#include <QStringMatcher>

#include <algorithm>
#include <vector>

namespace DerivedLists {
namespace {

template <typename T>
int compareValues(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareItems(const LeftoverItem &a, const LeftoverItem &b, LeftoverComparator::Key key)
{
    switch (key) {
    case LeftoverComparator::Key::appName: return QString::compare(a.appName, b.appName, Qt::CaseSensitive);
    case LeftoverComparator::Key::type: return compareValues(a.type, b.type);
    case LeftoverComparator::Key::size: return compareValues(a.size, b.size);
    }
    return 0;
}

int compareApps(const InstalledApp &a, const InstalledApp &b, AppComparator::Key key)
{
    switch (key) {
    case AppComparator::Key::name: return QString::compare(a.name, b.name, Qt::CaseSensitive);
    case AppComparator::Key::appSize: return compareValues(a.appSize, b.appSize);
    case AppComparator::Key::lastLaunched: return compareValues(a.lastLaunchedSortKey(), b.lastLaunchedSortKey());
    }
    return 0;
}

// Sorts pointers rather than records, so a large list moves no strings around.
template <typename Record, typename Comparator, typename Compare>
QList<Record> sortedBy(const std::vector<const Record *> &rows, const QList<Comparator> &sortOrder, Compare compare)
{
    std::vector<const Record *> order = rows;
    if (!sortOrder.isEmpty()) {
        std::stable_sort(order.begin(), order.end(), [&](const Record *a, const Record *b) {
            for (const Comparator &comparator : sortOrder) {
                const int result = compare(*a, *b, comparator.key);
                if (result != 0)
                    return comparator.order == Qt::AscendingOrder ? result < 0 : result > 0;
            }
            return false;
        });
    }
    QList<Record> sorted;
    sorted.reserve(qsizetype(order.size()));
    for (const Record *row : order)
        sorted.append(*row);
    return sorted;
}

// The search text's matcher is made once per evaluation, not once per item.
bool passes(const LeftoverItem &item, const LeftoverFilters &filters, const QStringMatcher &search)
{
    if (filters.safeMode && !LeftoverTypes::safeTypes().contains(item.type))
        return false;
    if (filters.selectedType && *filters.selectedType != item.type)
        return false;
    if (filters.searchText.isEmpty())
        return true;
    return search.indexIn(item.appName) >= 0 || (item.bundleID && search.indexIn(*item.bundleID) >= 0);
}

} // namespace

QList<LeftoverItem> filteredItems(const QList<LeftoverItem> &items, const LeftoverFilters &filters,
                                  const QList<LeftoverComparator> &sortOrder)
{
    const QStringMatcher search(filters.searchText, Qt::CaseInsensitive);
    std::vector<const LeftoverItem *> kept;
    kept.reserve(size_t(items.size()));
    for (const LeftoverItem &item : items) {
        if (passes(item, filters, search))
            kept.push_back(&item);
    }
    return sortedBy<LeftoverItem>(kept, sortOrder, compareItems);
}

int hiddenBySafeModeCount(const QList<LeftoverItem> &items, bool safeMode)
{
    if (!safeMode)
        return 0;
    return int(std::count_if(items.cbegin(), items.cend(), [](const LeftoverItem &item) {
        return !LeftoverTypes::safeTypes().contains(item.type);
    }));
}

QList<LeftoverItem> selectedItems(const QList<LeftoverItem> &items, const QSet<QUuid> &selection)
{
    QList<LeftoverItem> selected;
    if (selection.isEmpty())
        return selected;
    selected.reserve(qMin(items.size(), selection.size()));
    for (const LeftoverItem &item : items) {
        if (selection.contains(item.id))
            selected.append(item);
    }
    return selected;
}

QList<InstalledApp> filteredApps(const QList<InstalledApp> &apps, const QString &search)
{
    if (search.isEmpty())
        return apps;
    const QStringMatcher matcher(search, Qt::CaseInsensitive);
    QList<InstalledApp> found;
    for (const InstalledApp &app : apps) {
        if (matcher.indexIn(app.name) >= 0 || matcher.indexIn(app.bundleID) >= 0)
            found.append(app);
    }
    return found;
}

QList<InstalledApp> selectedApps(const QList<InstalledApp> &apps, const QSet<QUuid> &selection)
{
    QList<InstalledApp> selected;
    if (selection.isEmpty())
        return selected;
    for (const InstalledApp &app : apps) {
        if (selection.contains(app.id))
            selected.append(app);
    }
    return selected;
}

QList<InstalledApp> sortedApps(QList<InstalledApp> apps, const QList<AppComparator> &sortOrder)
{
    std::vector<const InstalledApp *> rows;
    rows.reserve(size_t(apps.size()));
    for (const InstalledApp &app : std::as_const(apps))
        rows.push_back(&app);
    return sortedBy<InstalledApp>(rows, sortOrder, compareApps);
}

} // namespace DerivedLists
