// Scan engine benchmarks over a generated fake Mac (see MacTreeGenerator).
//
// Extra modes, used by compare_du.sh:
//   bench_engine --tree-info            generate the tree if needed and print its root and size
//   bench_engine --time-size <runs>     print the median wall time of directorySize over the tree, in ms

#include "core/engine/AppIndex.h"
#include "core/engine/DirectorySize.h"
#include "core/engine/FolderWalker.h"
#include "core/engine/LaunchItemFinders.h"
#include "core/engine/LibraryFinders.h"
#include "MacTreeGenerator.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const MacTreeGenerator::Tree &tree()
{
    static const MacTreeGenerator::Tree generated = [] {
        const MacTreeGenerator::Options options;
        return MacTreeGenerator::generate(MacTreeGenerator::cacheRoot(options), options);
    }();
    return generated;
}

const AppIndex &index()
{
    static const AppIndex built = ScannerEngine::installedAppIndex(tree().roots, {});
    return built;
}

// The tree is what the generator says it made: every bundle indexed and the
// sizes summed as directorySize sums them. Otherwise the timings mean nothing.
bool sane()
{
    static const bool checked = tree().isValid() && index().names.size() == tree().installedApps
                                && ScannerEngine::directorySize(tree().roots.root) == tree().bytes;
    return checked;
}

bool ready(benchmark::State &state)
{
    if (sane())
        return true;
    state.SkipWithError("the fake Mac could not be generated, or is not what the generator reports");
    return false;
}

void sizeCounters(benchmark::State &state)
{
    state.counters["files"] = double(tree().files);
    state.counters["folders"] = double(tree().folders);
    state.counters["entries/s"] =
        benchmark::Counter(double(tree().files + tree().folders), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DirectorySize(benchmark::State &state)
{
    if (!ready(state))
        return;
    for (auto _ : state) {
        const qint64 size = ScannerEngine::directorySize(tree().roots.root);
        if (size != tree().bytes) {
            state.SkipWithError("directorySize differs from the generated total");
            return;
        }
        benchmark::DoNotOptimize(size);
    }
    sizeCounters(state);
}
BENCHMARK(BM_DirectorySize)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_DirectorySizeThreads(benchmark::State &state)
{
    if (!ready(state))
        return;
    FolderWalker::Limits limits;
    limits.threads = int(state.range(0));
    const FolderWalker walker(limits);
    const QByteArray root = QFile::encodeName(tree().roots.root);
    for (auto _ : state)
        benchmark::DoNotOptimize(walker.totalSize(root));
    sizeCounters(state);
}
BENCHMARK(BM_DirectorySizeThreads)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// A single small leftover folder: what each finder pays per found item.
void BM_DirectorySizeSmallFolder(benchmark::State &state)
{
    if (!ready(state))
        return;
    const QString folder = tree().roots.inHome(QStringLiteral("/Library/Saved Application State/com.vendor0.tool0.savedState"));
    for (auto _ : state)
        benchmark::DoNotOptimize(ScannerEngine::directorySize(folder));
}
BENCHMARK(BM_DirectorySizeSmallFolder)->Unit(benchmark::kMicrosecond);

void BM_InstalledAppIndex(benchmark::State &state)
{
    if (!ready(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(ScannerEngine::installedAppIndex(tree().roots, {}));
    state.counters["apps"] = tree().installedApps;
}
BENCHMARK(BM_InstalledAppIndex)->Unit(benchmark::kMillisecond);

void BM_ScanInstalledApps(benchmark::State &state)
{
    if (!ready(state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(ScannerEngine::scanInstalledApps(tree().roots, {}));
    state.counters["apps"] = tree().installedApps;
}
BENCHMARK(BM_ScanInstalledApps)->Unit(benchmark::kMillisecond);

template<typename Finder>
void runFinder(benchmark::State &state, Finder finder)
{
    if (!ready(state))
        return;
    index();
    qsizetype found = 0;
    for (auto _ : state) {
        const QList<LeftoverItem> items = finder();
        found = items.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["items"] = double(found);
}

#define QUILLMERE_FINDER_BENCH(name, call)                                                                         \
    void BM_##name(benchmark::State &state)                                                                         \
    {                                                                                                              \
        runFinder(state, [] { return call; });                                                                     \
    }                                                                                                              \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->UseRealTime();

QUILLMERE_FINDER_BENCH(FindOrphanPreferences, ScannerEngine::findOrphanPreferences(tree().roots, index().bundleIDs))
QUILLMERE_FINDER_BENCH(FindOrphanApplicationSupport,
                       ScannerEngine::findOrphanApplicationSupport(tree().roots, index().bundleIDs, index().names))
QUILLMERE_FINDER_BENCH(FindOrphanCaches, ScannerEngine::findOrphanCaches(tree().roots, index().bundleIDs))
QUILLMERE_FINDER_BENCH(FindOrphanContainers, ScannerEngine::findOrphanContainers(tree().roots, index().bundleIDs))
QUILLMERE_FINDER_BENCH(FindOrphanApplicationScripts,
                       ScannerEngine::findOrphanApplicationScripts(tree().roots, index().bundleIDs))
QUILLMERE_FINDER_BENCH(FindOrphanSavedStates, ScannerEngine::findOrphanSavedStates(tree().roots, index().bundleIDs))
QUILLMERE_FINDER_BENCH(FindOrphanSystemPreferences,
                       ScannerEngine::findOrphanSystemPreferences(tree().roots, index().bundleIDs))
QUILLMERE_FINDER_BENCH(FindOrphanPrivilegedHelpers,
                       ScannerEngine::findOrphanPrivilegedHelpers(tree().roots, index().bundleIDs))
QUILLMERE_FINDER_BENCH(FindOrphanLaunchItems, ScannerEngine::findOrphanLaunchItems(tree().roots))
QUILLMERE_FINDER_BENCH(FindOrphanPlugins, ScannerEngine::findOrphanPlugins(tree().roots, index().bundleIDs, index().names))

int printTreeInfo()
{
    const MacTreeGenerator::Tree &t = tree();
    if (!t.isValid()) {
        std::fprintf(stderr, "the fake Mac could not be generated\n");
        return 1;
    }
    std::printf("root=%s\nfiles=%lld\nfolders=%lld\nbytes=%lld\n", QFile::encodeName(t.roots.root).constData(),
                static_cast<long long>(t.files), static_cast<long long>(t.folders), static_cast<long long>(t.bytes));
    return 0;
}

int timeSize(int runs)
{
    const MacTreeGenerator::Tree &t = tree();
    if (!t.isValid())
        return 1;
    std::vector<double> times;
    ScannerEngine::directorySize(t.roots.root); // warm the cache
    for (int i = 0; i < std::max(1, runs); ++i) {
        const auto start = std::chrono::steady_clock::now();
        const qint64 size = ScannerEngine::directorySize(t.roots.root);
        const auto end = std::chrono::steady_clock::now();
        if (size != t.bytes) {
            std::fprintf(stderr, "directorySize gave %lld, the tree holds %lld\n", static_cast<long long>(size),
                         static_cast<long long>(t.bytes));
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%.3f\n", times[times.size() / 2]);
    return 0;
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--tree-info") == 0)
        return printTreeInfo();
    if (argc >= 3 && std::strcmp(argv[1], "--time-size") == 0)
        return timeSize(std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
