// The Installed Apps tab and the log sheet: 2,000 sizes arriving one by one
// under a shown roster table (each should touch one row), and opening the log
// sheet over a full log (with and without one 10 MB line) until its first
// paint. Runs offscreen unless a platform is named.

#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "ui/main/ContentView.h"
#include "ui/main/RosterTab.h"
#include "ui/main/LogView.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <benchmark/benchmark.h>

namespace {

constexpr int appCount = 2000;

QList<InstalledApp> roster(const QString &root)
{
    QList<InstalledApp> apps;
    apps.reserve(appCount);
    for (int i = 0; i < appCount; ++i) {
        InstalledApp app;
        app.name = (i % 3 ? QStringLiteral("Vendor%1 App") : QStringLiteral("tool-%1")).arg(i);
        app.bundleID = QStringLiteral("com.vendor%1.app").arg(i);
        // Not there: the icon reads find nothing and fall back at once.
        app.path = root + QStringLiteral("/Applications/App %1.app").arg(i);
        app.version = QStringLiteral("1.%1").arg(i % 10);
        apps.append(app);
    }
    return apps;
}

struct BenchWindow
{
    ScannerFixture fixture;
    UpdateChecker updater{fixture.defaults, fixture.workspace, QUrl(QStringLiteral("http://127.0.0.1:9/")), 5000};
    ContentView view{fixture.services(), updater, fixture.language};

    BenchWindow()
    {
        view.setSelectedTab(AppTab::installed);
        view.resize(1100, 700);
        view.show();
        QCoreApplication::processEvents();
    }
    ~BenchWindow() { QThreadPool::globalInstance()->waitForDone(); }
};

// A fresh roster, then every size published as the roster load does: a new
// list with one more size filled in. With `paintEach`, one event-loop turn per
// arrival; without, only the window's own work per size is timed.
void sizeArrivals(benchmark::State &state, bool sortedBySize, bool paintEach)
{
    BenchWindow w;
    if (sortedBySize)
        w.view.rosterTab()->setRosterSortOrder({AppComparator{AppComparator::Key::appSize}});
    const QList<InstalledApp> fresh = roster(w.fixture.mac.root());
    for (auto _ : state) {
        state.PauseTiming();
        QList<InstalledApp> current = fresh;
        for (InstalledApp &app : current)
            app.id = QUuid::createUuid();
        ScannerPublisher::setInstalledApps(w.view.scanner(), current);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        for (int i = 0; i < appCount; ++i) {
            current[i].appSize = qint64(i) * 4099;
            ScannerPublisher::setInstalledApps(w.view.scanner(), current);
            if (paintEach)
                QCoreApplication::processEvents();
        }
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["arrivals"] = appCount;
}

void BM_SizeArrivals(benchmark::State &state)
{
    sizeArrivals(state, false, true);
}
BENCHMARK(BM_SizeArrivals)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SizeArrivalsUnpainted(benchmark::State &state)
{
    sizeArrivals(state, false, false);
}
BENCHMARK(BM_SizeArrivalsUnpainted)->Unit(benchmark::kMillisecond)->Iterations(3);

// Sorted by App Size, the window's own work: the rest of the painted run
// below is the repaint of the visible rows, which all move up by one at each
// arrival.
void BM_SizeArrivalsSortedBySizeUnpainted(benchmark::State &state)
{
    sizeArrivals(state, true, false);
}
BENCHMARK(BM_SizeArrivalsSortedBySizeUnpainted)->Unit(benchmark::kMillisecond)->Iterations(3);

// Sorted by App Size: rows move as sizes come in.
void BM_SizeArrivalsSortedBySize(benchmark::State &state)
{
    sizeArrivals(state, true, true);
}
BENCHMARK(BM_SizeArrivalsSortedBySize)->Unit(benchmark::kMillisecond)->Iterations(3);

// What fills the log the sheet opens on.
enum class LogFill { reports, reportsAndLongLine, rightToLeftReports, longPaths };

// A full log of report lines (with right-to-left names, or with 400-character
// paths); with a long line, the newest is 10 MB (in view when the sheet opens).
void fillLog(AppLogger &logger, LogFill fill)
{
    const bool longLine = fill == LogFill::reportsAndLongLine;
    const QString name = fill == LogFill::rightToLeftReports ? QStringLiteral("\u05D0\u05E4\u05DC\u05D9\u05E7\u05E6\u05D9\u05D4")
                                                             : QStringLiteral("App");
    const QString folder = fill == LogFill::longPaths ? QString(360, QLatin1Char('d')) + QLatin1Char('/') : QString();
    const int count = AppLogger::maxEntries - (longLine ? 1 : 0);
    for (int i = 0; i < count; ++i)
        logger.log(QStringLiteral("  %3 [com.vendor%1.app]  |  Cache  |  %2 KB  |  ~/Library/Caches/%4com.vendor%1.app")
                       .arg(i)
                       .arg(i % 977)
                       .arg(name, folder));
    if (longLine)
        logger.log(QStringLiteral("  Long  |  ") + QString(10 * 1000 * 1000, QLatin1Char('x')));
    while (logger.entries().size() < AppLogger::maxEntries)
        QCoreApplication::processEvents();
}

// The log sheet over 5,000 lines at its smallest size, where most report lines wrap,
// from creation to its first paint.
void BM_OpenFullLog(benchmark::State &state)
{
    ScannerFixture fixture;
    fillLog(fixture.logger, LogFill(state.range(0)));
    for (auto _ : state) {
        LogView sheet(fixture.logger);
        sheet.resize(sheet.minimumSize());
        sheet.show();
        benchmark::DoNotOptimize(sheet.grab());
    }
}
BENCHMARK(BM_OpenFullLog)->ArgName("fill")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// One more line arriving under an open sheet whose newest line is 10 MB, until it is painted.
void BM_NewLineUnderLongLine(benchmark::State &state)
{
    ScannerFixture fixture;
    fillLog(fixture.logger, LogFill::reportsAndLongLine);
    LogView sheet(fixture.logger);
    sheet.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        fixture.logger.log(QStringLiteral("one more"));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(sheet.grab());
    }
}
BENCHMARK(BM_NewLineUnderLongLine)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
