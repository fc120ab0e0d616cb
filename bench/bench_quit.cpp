// How long the process takes to exit when its window closes during long work:
// a roster load of 5,000 applications in its size pass, and a full scan of a
// large tree in its first Library walks. The window's close is modelled as the
// application does it: the Scanner is deleted, then the application object,
// whose destructor waits for the background pool.
//
//   bench_quit roster|scan [runs]   (default 3; prints each run and the median)

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "platform/UserDefaults.h"
#include "MacTreeGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stop_token>
#include <vector>

namespace {

bool sizePassStarted(const Scanner &scanner)
{
    const QList<InstalledApp> &apps = scanner.installedApps();
    return std::any_of(apps.cbegin(), apps.cend(), [](const InstalledApp &app) { return app.appSize >= 0; });
}

// One process-like run: an application object, a window's Scanner, the work
// started and waited for until it is well under way, then the close.
double closeDuringWork(const SystemRoots &roots, bool roster, int argc, char *argv[])
{
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    QTemporaryDir scratch;
    UserDefaults defaults(scratch.path() + QStringLiteral("/defaults.plist"));
    AppLogger logger(scratch.path());
    LanguageManager language(defaults);
    ScannerServices services;
    services.roots = roots;
    services.logger = &logger;
    services.language = &language;
    services.defaults = &defaults;
    std::stop_source quitting;
    services.quitting = quitting.get_token();

    auto *scanner = new Scanner(services);
    QEventLoop loop;
    if (roster) {
        QObject::connect(scanner, &Scanner::installedAppsChanged, &loop, [&] {
            if (sizePassStarted(*scanner))
                loop.quit();
        });
        scanner->loadInstalledApps();
    } else {
        const QString walking = language.localized(QStringLiteral("scanning_app_support"));
        QObject::connect(scanner, &Scanner::scanProgressChanged, &loop, [&] {
            if (scanner->scanProgress() == walking)
                loop.quit();
        });
        scanner->scan();
    }
    loop.exec();

    QElapsedTimer timer;
    timer.start();
    delete scanner;
    quitting.request_stop();
    app.reset();
    return timer.nsecsElapsed() / 1e6;
}

}

int main(int argc, char *argv[])
{
    const bool roster = argc < 2 || std::strcmp(argv[1], "scan") != 0;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    MacTreeGenerator::Options options;
    if (roster) {
        options.leftoverApps = 100;
        options.folders = 1000;
        options.files = 10000;
        options.installedApps = 5000;
    } else {
        options.folders = 100000;
        options.files = 2000000;
    }
    const MacTreeGenerator::Tree tree = MacTreeGenerator::generate(MacTreeGenerator::cacheRoot(options), options);
    if (!tree.isValid()) {
        std::fprintf(stderr, "the fake Mac could not be generated\n");
        return 1;
    }
    std::printf("tree: %lld files in %lld folders, %d bundles\n", static_cast<long long>(tree.files),
                static_cast<long long>(tree.folders), tree.installedApps);

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(closeDuringWork(tree.roots, roster, argc, argv));
        std::printf("%s: close to exit %.1f ms\n", roster ? "roster size pass" : "full scan", times.back());
    }
    std::sort(times.begin(), times.end());
    std::printf("median: %.1f ms\n", times[times.size() / 2]);
    return 0;
}
