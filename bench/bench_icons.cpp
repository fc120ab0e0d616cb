// Icon reads over 1,000 hostile bundles: an .icns holding a 5600 × 5600 PNG
// (131 KB on disk, 125 MB decoded), one of 1.6 million entries (19 MB), or a
// link to a named pipe. Reports the peak resident memory before and after the
// reads, how long they take, and the full scan over the generated fake Mac
// alone, started together with a round of reads, and under reads the whole time.
//
//   bench_icons [runs]   (default 5; median scan times)

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "platform/UserDefaults.h"
#include "ui/common/FileIconSource.h"
#include "MacTreeGenerator.h"
#include "ScanTimer.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int bundleCount = 1000;
constexpr int manyEntries = 1600000;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double peakMB()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

QByteArray blockHeader(const char *type, quint32 length)
{
    QByteArray out(type, 4);
    out.resize(8);
    qToBigEndian(length, out.data() + 4);
    return out;
}

// The two hostile files, written by a child process: the 125 MB image it takes
// to make the PNG would otherwise count in this process's peak memory.
bool writeHostileFiles(const QString &huge, const QString &many)
{
    const pid_t child = fork();
    if (child == 0) {
        QImage image(5600, 5600, QImage::Format_ARGB32);
        image.fill(qRgba(30, 120, 200, 255));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "png");
        QFile hugeFile(huge);
        bool ok = hugeFile.open(QIODevice::WriteOnly)
            && hugeFile.write(blockHeader("icns", quint32(16 + png.size())) + blockHeader("ic07", quint32(8 + png.size()))
                              + png)
                > 0;
        // Every entry looks like a 128-pixel one and holds four bytes of nothing.
        QFile manyFile(many);
        ok = ok && manyFile.open(QIODevice::WriteOnly) && manyFile.write(blockHeader("icns", 8 + 12 * manyEntries)) == 8;
        const QByteArray entry = blockHeader("ic07", 12) + QByteArray(4, '\0');
        const QByteArray chunk = entry.repeated(10000);
        for (int i = 0; ok && i < manyEntries / 10000; ++i)
            ok = manyFile.write(chunk) == chunk.size();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Bundles whose only icon file is one of the hostile ones (hard links: one file each).
QStringList hostileBundles(const QString &root, const QString &huge, const QString &many, const QString &pipe)
{
    QStringList bundles;
    for (int i = 0; i < bundleCount; ++i) {
        const QString bundle = root + QStringLiteral("/App %1.app").arg(i);
        const QString icon = bundle + QStringLiteral("/Contents/Resources/AppIcon.icns");
        QDir().mkpath(bundle + QStringLiteral("/Contents/Resources"));
        if (i % 5 == 4)
            QFile::link(pipe, icon);
        else
            ::link(QFile::encodeName(i % 2 ? many : huge).constData(), QFile::encodeName(icon).constData());
        bundles.append(bundle);
    }
    return bundles;
}

// Asks for every bundle's icon and keeps asking, with a fresh source each
// round, until stopped; counts the icons that arrived.
class IconLoad
{
public:
    explicit IconLoad(const QStringList &bundles) : m_bundles(bundles) { round(); }
    qint64 arrived() const { return m_arrived; }
    void stopAfterRound() { m_stop = true; }
    bool done() const { return m_done; }

private:
    void round()
    {
        m_source = std::make_unique<FileIconSource>();
        QObject::connect(m_source.get(), &FileIconSource::iconReady, [this] {
            if (++m_arrived % m_bundles.size() != 0)
                return;
            if (m_stop)
                m_done = true;
            else
                QMetaObject::invokeMethod(qApp, [this] { round(); }, Qt::QueuedConnection);
        });
        for (const QString &bundle : m_bundles)
            m_source->icon(bundle);
    }

    QStringList m_bundles;
    std::unique_ptr<FileIconSource> m_source;
    qint64 m_arrived = 0;
    bool m_stop = false;
    bool m_done = false;
};

void waitFor(const std::function<bool()> &condition)
{
    while (!condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir scratch;
    const QString huge = scratch.path() + QStringLiteral("/huge.icns");
    const QString many = scratch.path() + QStringLiteral("/many.icns");
    const QString pipe = scratch.path() + QStringLiteral("/pipe");
    if (!writeHostileFiles(huge, many) || mkfifo(QFile::encodeName(pipe).constData(), 0644) != 0) {
        std::fprintf(stderr, "the hostile icon files could not be written\n");
        return 1;
    }
    QApplication app(argc, argv);

    const MacTreeGenerator::Options options;
    const MacTreeGenerator::Tree tree = MacTreeGenerator::generate(MacTreeGenerator::cacheRoot(options), options);
    if (!tree.isValid()) {
        std::fprintf(stderr, "the fake Mac could not be generated\n");
        return 1;
    }
    BenchScanner bench(tree.roots, scratch.path());
    Scanner &scanner = bench.scanner;
    const QStringList bundles = hostileBundles(scratch.path(), huge, many, pipe);

    timeScan(scanner); // warm the caches
    std::vector<double> alone, withRound, underIcons;
    for (int i = 0; i < runs; ++i)
        alone.push_back(timeScan(scanner));

    // One round on its own: its time and what it adds to the peak.
    const double before = peakMB();
    QElapsedTimer timer;
    timer.start();
    {
        IconLoad load(bundles);
        load.stopAfterRound();
        waitFor([&] { return load.done(); });
    }
    const double roundMs = timer.nsecsElapsed() / 1e6;
    const double afterRound = peakMB();

    // Scans started together with a round, as when the roster first shows...
    for (int i = 0; i < runs; ++i) {
        IconLoad load(bundles);
        load.stopAfterRound();
        withRound.push_back(timeScan(scanner));
        waitFor([&] { return load.done(); });
    }
    // ...and while rounds run back to back from before each scan until after it.
    IconLoad load(bundles);
    for (int i = 0; i < runs; ++i)
        underIcons.push_back(timeScan(scanner));
    load.stopAfterRound();
    waitFor([&] { return load.done(); });
    const double afterScans = peakMB();

    std::printf("%d hostile bundles (5600 x 5600 PNG, %d entries, link to a pipe: %d / %d / %d)\n", bundleCount,
                manyEntries, bundleCount * 2 / 5, bundleCount * 2 / 5, bundleCount / 5);
    std::printf("one round of icon reads: %.1f ms, %.2f ms per icon\n", roundMs, roundMs / bundleCount);
    std::printf("peak resident memory: %.1f MB before, %.1f MB after one round (+%.1f MB), %.1f MB after the scans\n",
                before, afterRound, afterRound - before, afterScans);
    std::printf("full scan (median of %d): alone %.1f ms; started with a round %.1f ms; under rounds back to back "
                "%.1f ms (%lld icons read meanwhile)\n",
                runs, median(alone), median(withRound), median(underIcons), static_cast<long long>(load.arrived()));
    return 0;
}
