#include "ScanTimer.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace {

ScannerServices servicesOf(const SystemRoots &roots, UserDefaults &defaults, AppLogger &logger, LanguageManager &language)
{
    ScannerServices services;
    services.roots = roots;
    services.logger = &logger;
    services.language = &language;
    services.defaults = &defaults;
    return services;
}

} // namespace

BenchScanner::BenchScanner(const SystemRoots &roots, const QString &scratch)
    : defaults(scratch + QStringLiteral("/defaults.plist"))
    , logger(scratch)
    , language(defaults)
    , scanner(servicesOf(roots, defaults, logger, language))
{
}

double timeScan(Scanner &scanner)
{
    QEventLoop loop;
    QObject::connect(&scanner, &Scanner::isScanningChanged, &loop, [&] {
        if (!scanner.isScanning())
            loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    scanner.scan();
    loop.exec();
    return timer.nsecsElapsed() / 1e6;
}
