// The main window's derived lists over a large scan result: one evaluation of
// the filtered, sorted list with a search text, and the refill of the
// leftovers table after a keystroke (filter, sort, model reset, view update).
// Runs offscreen unless a platform is named.

#include "core/UpdateChecker.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "ui/main/ContentView.h"
#include "ui/main/LeftoversTab.h"
#include "ui/main/DerivedLists.h"
#include "ui/main/LeftoversRules.h"
#include "ui/main/LeftoversTableModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

constexpr int itemCount = 100'000;

const QList<LeftoverItem> &items()
{
    static const QList<LeftoverItem> list = [] {
        QList<LeftoverItem> made;
        made.reserve(itemCount);
        const QList<LeftoverType> &types = LeftoverTypes::allCases();
        for (int i = 0; i < itemCount; ++i) {
            LeftoverItem item;
            // Names in both cases and bundle IDs on most items, as a real scan has them.
            item.appName = (i % 3 ? QStringLiteral("Vendor%1 App") : QStringLiteral("tool-%1")).arg(i % 4000);
            if (i % 5)
                item.bundleID = QStringLiteral("com.vendor%1.app%2").arg(i % 4000).arg(i % 7);
            item.path = QStringLiteral("/Users/tester/Library/Caches/com.vendor%1/entry-%2").arg(i % 4000).arg(i);
            item.type = types.at(i % types.size());
            item.size = qint64(i) * 977 % 1'000'003;
            made.append(item);
        }
        return made;
    }();
    return list;
}

const QList<LeftoverComparator> byName{LeftoverComparator{}};

void BM_FilteredItems(benchmark::State &state)
{
    const LeftoverFilters filters{false, std::nullopt, QStringLiteral("app1")};
    for (auto _ : state)
        benchmark::DoNotOptimize(DerivedLists::filteredItems(items(), filters, byName));
    state.counters["items"] = itemCount;
}
BENCHMARK(BM_FilteredItems)->Unit(benchmark::kMillisecond);

const QStringList keystrokes{QStringLiteral("v"), QStringLiteral("ve"), QStringLiteral("ven"), QString()};

// The evaluations alone of the keystrokes the refill below types.
void BM_FilteredItemsPerKeystroke(benchmark::State &state)
{
    int k = 0;
    for (auto _ : state) {
        const LeftoverFilters filters{false, std::nullopt, keystrokes.at(k++ % keystrokes.size())};
        benchmark::DoNotOptimize(DerivedLists::filteredItems(items(), filters, byName));
    }
}
BENCHMARK(BM_FilteredItemsPerKeystroke)->Unit(benchmark::kMillisecond);

// A keystroke: the list is evaluated afresh and the model replaced under a shown view.
void BM_RefillAfterKeystroke(benchmark::State &state)
{
    LeftoversTableModel model;
    QTableView view;
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.setModel(&model);
    view.resize(960, 500);
    view.show();
    int k = 0;
    for (auto _ : state) {
        const LeftoverFilters filters{false, std::nullopt, keystrokes.at(k++ % keystrokes.size())};
        model.setItems(DerivedLists::filteredItems(items(), filters, byName));
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = double(model.rowCount());
}
BENCHMARK(BM_RefillAfterKeystroke)->Unit(benchmark::kMillisecond);

// A shown main window holding every item, Safe Mode off.
struct BenchWindow
{
    ScannerFixture fixture;
    UpdateChecker updater{fixture.defaults, fixture.workspace, QUrl(QStringLiteral("http://127.0.0.1:9/")), 5000};
    ContentView view{fixture.services(), updater, fixture.language};

    BenchWindow()
    {
        view.setSafeMode(false);
        ScannerPublisher::setItems(view.scanner(), items());
        view.resize(1100, 700);
        view.show();
        QCoreApplication::processEvents();
    }
};

// "Select All" over every row: the table's selection follows, the action bar
// forms its three lists and the status bar its texts.
void BM_SelectAllAndFormLists(benchmark::State &state)
{
    BenchWindow w;
    for (auto _ : state) {
        state.PauseTiming();
        w.view.leftoversTab()->deselectAll();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        w.view.leftoversTab()->selectAll();
        for (auto action : {LeftoversRules::Action::resetPermissions, LeftoversRules::Action::removeBackground,
                            LeftoversRules::Action::moveToTrash})
            benchmark::DoNotOptimize(LeftoversRules::actionList(action, w.view.scanner().items(), w.view.leftoversTab()->tableSelection()));
        QCoreApplication::processEvents();
    }
    state.counters["selected"] = double(w.view.leftoversTab()->tableSelection().size());
}
BENCHMARK(BM_SelectAllAndFormLists)->Unit(benchmark::kMillisecond);

// A click on the Size header: the list re-sorted and the table refilled.
void BM_ResortBySize(benchmark::State &state)
{
    BenchWindow w;
    bool descending = false;
    for (auto _ : state) {
        descending = !descending;
        w.view.leftoversTab()->setSortOrder({LeftoverComparator{LeftoverComparator::Key::size,
                                                descending ? Qt::DescendingOrder : Qt::AscendingOrder}});
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ResortBySize)->Unit(benchmark::kMillisecond);

} // namespace
