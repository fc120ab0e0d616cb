#include "ui/main/DerivedLists.h"

#include <QHashFunctions>
#include <QStringMatcher>

#include <algorithm>
#include <functional>
#include <numeric>
#include <vector>

namespace DerivedLists {
namespace {

// A sort looks at each row's keys about log2(n) times, and comparing two names
// afresh at every step was most of a keystroke over a large list. So each
// row's keys are taken once, while the row is at hand, as one number per
// comparator: ordered as the comparator orders the values, and equal exactly
// where it finds them equal. The stable sort then compares numbers and gives
// the comparators' order, with ties in input order.
using SortKeys = std::vector<qint64>;

// Dense ranks of `values` under `less` (a strict weak order): 0 for the least,
// one more at every step up, the same rank for equivalent values.
template <typename T, typename Less>
SortKeys denseRanks(const std::vector<T> &values, Less less)
{
    std::vector<size_t> order(values.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return less(values[a], values[b]); });
    SortKeys ranks(values.size());
    qint64 rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && less(values[order[k - 1]], values[order[k]]))
            ++rank;
        ranks[order[k]] = rank;
    }
    return ranks;
}

// One comparator's key of every row. Names and dates are numbered as they come
// and replaced by their ranks once all rows are in; a scan has many rows per
// name, so only its distinct names are sorted.
class KeyColumn
{
public:
    void addValue(qint64 value) { m_keys.push_back(value); }
    void addName(QStringView name) { m_keys.push_back(nameNumber(name)); }
    void addDate(const QDateTime &date)
    {
        m_keys.push_back(qint64(m_dates.size()));
        m_dates.push_back(date);
    }

    // Once all rows are in.
    const SortKeys &keys()
    {
        if (!m_names.empty()) {
            std::vector<QStringView> names;
            names.reserve(m_names.size());
            for (size_t n = 0; n < m_names.size(); ++n)
                names.push_back(nameAt(n));
            // Plain, case-sensitive text order, as QString::compare.
            rankKeys(denseRanks(names, [](QStringView a, QStringView b) { return a.compare(b, Qt::CaseSensitive) < 0; }));
            m_names.clear();
        } else if (!m_dates.empty()) {
            rankKeys(denseRanks(m_dates, std::less<QDateTime>()));
            m_dates.clear();
        }
        return m_keys;
    }

private:
    // Open addressing over the names' hashes: a scan's names are mostly
    // repeats, and most rows find theirs in one probe. The distinct names are
    // copied side by side, so checking and sorting them stays in the cache.
    struct Slot
    {
        size_t hash = 0;
        qint64 number = -1;
    };

    qint64 nameNumber(QStringView name)
    {
        if (2 * (m_names.size() + 1) > m_slots.size())
            growSlots();
        const size_t hash = qHash(name);
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (slot.number < 0) {
                slot = {hash, qint64(m_names.size())};
                m_names.push_back({m_text.size(), name.size()});
                m_text.append(name);
                return slot.number;
            }
            if (slot.hash == hash && nameAt(size_t(slot.number)) == name)
                return slot.number;
        }
    }

    void growSlots()
    {
        std::vector<Slot> old(std::max<size_t>(64, 2 * m_slots.size()));
        old.swap(m_slots);
        const size_t mask = m_slots.size() - 1;
        for (const Slot &slot : old) {
            if (slot.number < 0)
                continue;
            size_t i = slot.hash & mask;
            while (m_slots[i].number >= 0)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    QStringView nameAt(size_t number) const
    {
        return QStringView(m_text).sliced(m_names[number].first, m_names[number].second);
    }

    void rankKeys(const SortKeys &ranks)
    {
        for (qint64 &key : m_keys)
            key = ranks[size_t(key)];
    }

    SortKeys m_keys;
    std::vector<Slot> m_slots;
    // Where each distinct name lies in m_text.
    std::vector<std::pair<qsizetype, qsizetype>> m_names;
    QString m_text;
    std::vector<QDateTime> m_dates;
};

// Types compare by their display text.
qint64 typeRank(LeftoverType type)
{
    static const SortKeys ranks = [] {
        const QList<LeftoverType> &all = LeftoverTypes::allCases();
        const SortKeys byCase = denseRanks(std::vector<LeftoverType>(all.cbegin(), all.cend()), std::less<LeftoverType>());
        SortKeys byValue(byCase.size());
        for (size_t i = 0; i < byCase.size(); ++i)
            byValue[size_t(all.at(qsizetype(i)))] = byCase[i];
        return byValue;
    }();
    return ranks[size_t(type)];
}

void addKey(KeyColumn &column, const LeftoverItem &item, LeftoverComparator::Key key)
{
    switch (key) {
    case LeftoverComparator::Key::appName: return column.addName(item.appName);
    case LeftoverComparator::Key::type: return column.addValue(typeRank(item.type));
    case LeftoverComparator::Key::size: return column.addValue(item.size);
    }
}

void addKey(KeyColumn &column, const InstalledApp &app, AppComparator::Key key)
{
    switch (key) {
    case AppComparator::Key::name: return column.addName(app.name);
    case AppComparator::Key::appSize: return column.addValue(app.appSize);
    case AppComparator::Key::lastLaunched: return column.addDate(app.lastLaunchedSortKey());
    }
}

// The rows taken in, with their keys, and the list they make in sort order.
// Sorts row numbers rather than records, so a large list moves no strings around.
template <typename Record, typename Comparator>
class RowSorter
{
public:
    RowSorter(const QList<Comparator> &sortOrder, qsizetype expectedRows)
        : m_sortOrder(sortOrder)
        , m_columns(size_t(sortOrder.size()))
    {
        m_rows.reserve(size_t(expectedRows));
    }

    // `row` must outlive the sorter.
    void add(const Record &row)
    {
        m_rows.push_back(&row);
        for (size_t c = 0; c < m_columns.size(); ++c)
            addKey(m_columns[c], row, m_sortOrder.at(qsizetype(c)).key);
    }

    QList<Record> sorted()
    {
        std::vector<const SortKeys *> keys;
        for (KeyColumn &column : m_columns)
            keys.push_back(&column.keys());
        // The first key travels with its row; later ones are looked up on ties.
        struct Row
        {
            qint64 key;
            size_t index;
        };
        std::vector<Row> order(m_rows.size());
        for (size_t i = 0; i < m_rows.size(); ++i)
            order[i] = {keys.empty() ? 0 : (*keys[0])[i], i};
        if (!keys.empty()) {
            const auto before = [&](size_t c, qint64 a, qint64 b) {
                return m_sortOrder.at(qsizetype(c)).order == Qt::AscendingOrder ? a < b : a > b;
            };
            std::stable_sort(order.begin(), order.end(), [&](const Row &a, const Row &b) {
                if (a.key != b.key)
                    return before(0, a.key, b.key);
                for (size_t c = 1; c < keys.size(); ++c) {
                    const qint64 x = (*keys[c])[a.index];
                    const qint64 y = (*keys[c])[b.index];
                    if (x != y)
                        return before(c, x, y);
                }
                return false;
            });
        }
        QList<Record> sorted;
        sorted.reserve(qsizetype(order.size()));
        for (const Row &row : order)
            sorted.append(*m_rows[row.index]);
        return sorted;
    }

private:
    const QList<Comparator> &m_sortOrder;
    std::vector<KeyColumn> m_columns;
    std::vector<const Record *> m_rows;
};

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
    RowSorter<LeftoverItem, LeftoverComparator> kept(sortOrder, items.size());
    for (const LeftoverItem &item : items) {
        if (passes(item, filters, search))
            kept.add(item);
    }
    return kept.sorted();
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
    RowSorter<InstalledApp, AppComparator> rows(sortOrder, apps.size());
    for (const InstalledApp &app : std::as_const(apps))
        rows.add(app);
    return rows.sorted();
}

} // namespace DerivedLists
