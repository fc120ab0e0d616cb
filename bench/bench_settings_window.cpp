// Opening the settings window over long App Locations and Ignore lists: the
// window made, shown and painted, and the memory it adds while open.
// Then Delete on the middle row of the long App Locations list.
// Runs offscreen unless a platform is named.

#include "core/UpdateChecker.h"
#include "model/StoredLists.h"
#include "support/ScannerFixture.h"
#include "ui/settings/LocationsSettingsView.h"
#include "ui/settings/RemovableList.h"
#include "ui/settings/SettingsView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QTest>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int entryCount = 25'000;

// Resident set size in bytes.
double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.read(256).split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

// Bytes the heap hands out now: unlike the resident size, not hidden by memory
// an earlier run freed and the next one reuses.
double heapBytes()
{
    return double(mallinfo2().uordblks);
}

// Set once a list in the window has drawn its rows.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QAbstractItemView *>(watched->parent()))
            painted = true;
        return false;
    }
};

void fillLists(UserDefaults &defaults)
{
    QStringList paths;
    QStringList ids;
    paths.reserve(entryCount);
    ids.reserve(entryCount);
    for (int i = 0; i < entryCount; ++i) {
        paths << QStringLiteral("/Volumes/Archive %1/Applications/Vendor %2/Tools").arg(i % 90).arg(i);
        ids << QStringLiteral("com.vendor%1.app%2").arg(i % 4000).arg(i);
    }
    defaults.setStringList(StoredLists::customAppLocationsKey, paths);
    defaults.setStringList(StoredLists::ignoredBundleIDsKey, ids);
}

void BM_OpenSettingsWindow(benchmark::State &state)
{
    ScannerFixture fixture;
    fillLists(fixture.defaults);
    UpdateChecker updater{fixture.defaults, fixture.workspace, QUrl(QStringLiteral("http://127.0.0.1:9/")), 5000};
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    double rssGrowth = 0;
    double heapGrowth = 0;
    for (auto _ : state) {
        const double rssBefore = residentBytes();
        const double heapBefore = heapBytes();
        watch.painted = false;
        auto view = std::make_unique<SettingsView>(fixture.defaults, fixture.language, updater, true);
        view->resize(560, 460);
        view->show();
        QElapsedTimer bound;
        bound.start();
        while (!watch.painted && bound.elapsed() < 600'000)
            QCoreApplication::processEvents();
        state.PauseTiming();
        rssGrowth = qMax(rssGrowth, residentBytes() - rssBefore);
        heapGrowth = qMax(heapGrowth, heapBytes() - heapBefore);
        view.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    qApp->removeEventFilter(&watch);
    state.counters["entries"] = 2 * entryCount;
    state.counters["rss_MB"] = rssGrowth / 1e6;
    state.counters["heap_MB"] = heapGrowth / 1e6;
}
// Each run opens the window once; the fastest run is the figure to quote.
BENCHMARK(BM_OpenSettingsWindow)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("min", [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); });

// Delete on the middle row of the open window's App Locations, until the list
// has drawn again: the store written, the row taken out, the rest kept.
void BM_DeleteMiddleRow(benchmark::State &state)
{
    ScannerFixture fixture;
    fillLists(fixture.defaults);
    UpdateChecker updater{fixture.defaults, fixture.workspace, QUrl(QStringLiteral("http://127.0.0.1:9/")), 5000};
    SettingsView view(fixture.defaults, fixture.language, updater, true);
    view.resize(560, 460);
    view.show();
    QAbstractItemView *list = view.locationsTab()->list()->view();
    list->setFocus();
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    const auto drawn = [&] {
        QElapsedTimer bound;
        bound.start();
        while (!watch.painted && bound.elapsed() < 600'000)
            QCoreApplication::processEvents();
    };
    drawn();
    for (auto _ : state) {
        state.PauseTiming();
        const QModelIndex middle = list->model()->index(list->model()->rowCount() / 2, 0);
        list->scrollTo(middle, QAbstractItemView::PositionAtCenter);
        list->setCurrentIndex(middle);
        QCoreApplication::processEvents();
        watch.painted = false;
        state.ResumeTiming();
        QTest::keyClick(list, Qt::Key_Delete);
        drawn();
    }
    qApp->removeEventFilter(&watch);
    state.counters["rows_left"] = list->model()->rowCount();
}
BENCHMARK(BM_DeleteMiddleRow)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
