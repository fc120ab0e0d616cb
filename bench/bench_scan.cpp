// The full scan over a generated fake Mac, from scan() to its final
// publication, against GNU du -sb over the folders the scan reads.
//
//   bench_scan [runs]   (default 5; prints median times, the ratio and peak memory)

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "platform/UserDefaults.h"
#include "MacTreeGenerator.h"
#include "ScanTimer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeDu(const QStringList &folders)
{
    QElapsedTimer timer;
    timer.start();
    QProcess du;
    du.setStandardOutputFile(QProcess::nullDevice());
    du.start(QStringLiteral("du"), QStringList{QStringLiteral("-sb")} + folders);
    du.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    const MacTreeGenerator::Options options;
    const MacTreeGenerator::Tree tree = MacTreeGenerator::generate(MacTreeGenerator::cacheRoot(options), options);
    if (!tree.isValid()) {
        std::fprintf(stderr, "the fake Mac could not be generated\n");
        return 1;
    }

    // The log and settings live apart from the tree, so runs do not change it.
    QTemporaryDir scratch;
    BenchScanner bench(tree.roots, scratch.path());
    Scanner &scanner = bench.scanner;

    const QStringList scanned = {tree.roots.inHome(QStringLiteral("/Library")),
                                 tree.roots.system(QStringLiteral("/Library")),
                                 tree.roots.system(QStringLiteral("/Applications"))};

    qsizetype found = 0;
    timeScan(scanner); // warm the caches
    timeDu(scanned);
    std::vector<double> scanTimes, duTimes;
    for (int i = 0; i < runs; ++i) {
        scanTimes.push_back(timeScan(scanner));
        found = scanner.items().size();
        duTimes.push_back(timeDu(scanned));
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);

    const double scanMs = median(scanTimes);
    const double duMs = median(duTimes);
    std::printf("tree: %lld files in %lld folders, %d bundles; %lld leftovers found\n",
                static_cast<long long>(tree.files), static_cast<long long>(tree.folders), tree.installedApps,
                static_cast<long long>(found));
    std::printf("full scan: %.1f ms (median of %d)\n", scanMs, runs);
    std::printf("du -sb over the scanned folders: %.1f ms\n", duMs);
    std::printf("ratio scan / du: %.2f\n", scanMs / duMs);
    std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
