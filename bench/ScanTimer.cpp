#include "ScanTimer.h"

#include "core/Scanner.h"

#include <QElapsedTimer>
#include <QEventLoop>

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
