#include "core/engine/DirectorySize.h"
#include "core/engine/FolderWalker.h"
#include "support/FakeMac.h"
#include "support/OpenGate.h"
#include "support/Unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <stop_token>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

// The test binary doubles as a helper that prints the size of a folder, so
// that a walk can run as another user or with its descriptors used up.
// Arguments: --size-of <path> [--free <descriptors left>] [--threads <n>] [--wait <ms>]
//            [--stop-after <ms>]
static int sizeHelper(int argc, char **argv)
{
    int freeDescriptors = -1;
    int stopAfterMs = 0;
    FolderWalker::Limits limits;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (qstrcmp(argv[i], "--stop-after") == 0)
            stopAfterMs = atoi(argv[i + 1]);
        else if (qstrcmp(argv[i], "--free") == 0)
            freeDescriptors = atoi(argv[i + 1]);
        else if (qstrcmp(argv[i], "--threads") == 0)
            limits.threads = atoi(argv[i + 1]);
        else if (qstrcmp(argv[i], "--wait") == 0)
            limits.descriptorWaitMs = atoi(argv[i + 1]);
    }
    if (limits.threads > 1)
        limits.parallelAfterEntries = 0;
    if (freeDescriptors >= 0) {
        const rlimit low{64, 64};
        if (setrlimit(RLIMIT_NOFILE, &low) != 0)
            return 2;
        QList<int> held;
        for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            held.append(fd);
        for (int i = 0; i < freeDescriptors && !held.isEmpty(); ++i)
            close(held.takeLast());
    }
    // The stop comes while the walk waits for a descriptor (or, on a slow
    // start, before it); either way the walk ends with the root's own files.
    std::stop_source stop;
    std::thread stopper;
    if (stopAfterMs > 0) {
        stopper = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(stopAfterMs));
            stop.request_stop();
        });
    }
    const qint64 size = FolderWalker(limits).totalSize(QByteArray(argv[2]), stop.get_token());
    if (stopper.joinable())
        stopper.join();
    const QByteArray line = QByteArray::number(size) + '\n';
    return write(STDOUT_FILENO, line.constData(), size_t(line.size())) == line.size() ? 0 : 3;
}

// A walker that goes parallel at once.
static FolderWalker::Limits parallel(int threads)
{
    FolderWalker::Limits limits;
    limits.threads = threads;
    limits.parallelAfterEntries = 0;
    return limits;
}

static qsizetype openDescriptors()
{
    return QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
}

// A chain of 60 nested folders with a side folder at every level (more open
// folders than a small descriptor budget), and a flat folder of 200 subfolders.
static qint64 buildBranchy(FakeMac &mac, const QString &base)
{
    qint64 total = 0;
    QString p = base;
    for (int level = 0; level < 60; ++level) {
        mac.createFileOfSize(p + "/f", level + 1);
        mac.createFileOfSize(p + "/side/s", 7);
        total += level + 1 + 7;
        p += "/d";
    }
    for (int i = 0; i < 200; ++i) {
        for (int j = 0; j < 3; ++j) {
            mac.createFileOfSize(base + QString("/wide/w%1/%2").arg(i).arg(j), i + j);
            total += i + j;
        }
    }
    return total;
}

static void build(const QString &kind, FakeMac &mac, QString &path, qint64 &expected)
{
    const QString cache = "~/Library/Caches/com.example.gone";
    path = mac.path(cache);
    expected = 0;
    if (kind == QLatin1String("hidden entries and links")) {
        mac.createFileOfSize(cache + "/data", 1000);
        mac.createFileOfSize(cache + "/.hidden", 500);
        mac.createFileOfSize(cache + "/.git/objects/pack", 5000);
        mac.createFileOfSize(cache + "/a/file", 123);
        mac.createSymlink(mac.createFileOfSize("/big", 100000), cache + "/link");
        mac.createSymlink("/", cache + "/a/root");
        expected = 1123;
    } else if (kind == QLatin1String("missing path")) {
        path = mac.path("~/Library/Caches/nothing");
    } else if (kind == QLatin1String("path is a link to a folder")) {
        mac.createFileOfSize("/real/data", 1000);
        path = mac.createSymlink(mac.path("/real"), cache);
    } else if (kind == QLatin1String("path is a file")) {
        path = mac.createFileOfSize(cache, 1000);
    } else if (kind == QLatin1String("names not UTF-8")) {
        const QByteArray base = QFile::encodeName(path);
        QVERIFY(mac.createRawNamed(cache, "dir\xff\xfe", true));
        for (const QByteArray &name : {QByteArray("/bad\xff\xfe"), QByteArray("/dir\xff\xfe/in\x80")}) {
            const int fd = open(base + name, O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0 && ftruncate(fd, 4321) == 0);
            close(fd);
            expected += 4321;
        }
    } else if (kind == QLatin1String("a named pipe adds nothing")) {
        mac.createFileOfSize(cache + "/data", 55);
        mac.createFifo(cache + "/pipe");
        expected = 55;
    } else if (kind == QLatin1String("more than 4 GiB")) {
        mac.createFileOfSize(cache + "/a", Q_INT64_C(3) << 30);
        mac.createFileOfSize(cache + "/b/c", (Q_INT64_C(3) << 30) + 1);
        expected = (Q_INT64_C(6) << 30) + 1;
    } else if (kind == QLatin1String("deep and wide")) {
        expected = buildBranchy(mac, cache);
    }
}

static QString runHelper(const QStringList &arguments)
{
    QProcess process;
    // The sanitizer's leak check at exit needs a descriptor, which the helper uses up on purpose.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return "timed out";
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return "failed: " + QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

class TestDirectorySize : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("threads");
        QTest::addColumn<int>("budget");

        // threads 0 = directorySize() itself; otherwise the walker goes parallel at once;
        // threads -4: sized beside a sibling in one walk of 4 threads, through a link to their folder.
        for (const char *kind : {"hidden entries and links", "missing path", "path is a link to a folder", "path is a file",
                                 "names not UTF-8", "a named pipe adds nothing", "more than 4 GiB", "deep and wide"}) {
            QTest::addRow("%s", kind) << QString(kind) << 0 << 0;
            QTest::addRow("%s, beside a sibling, 4 threads, 1 kept folder", kind) << QString(kind) << -4 << 1;
            QTest::addRow("%s, 4 threads", kind) << QString(kind) << 4 << 0;
            QTest::addRow("%s, 4 threads, 1 kept folder", kind) << QString(kind) << 4 << 1;
            QTest::addRow("%s, 1 thread, 1 kept folder", kind) << QString(kind) << 1 << 1;
        }
    }

    void sizes()
    {
        QFETCH(QString, kind);
        QFETCH(int, threads);
        QFETCH(int, budget);

        FakeMac mac;
        QVERIFY(mac.isValid());
        QString path;
        qint64 expected = 0;
        build(kind, mac, path, expected);
        if (QTest::currentTestFailed())
            return;
        const qsizetype openBefore = openDescriptors();
        if (threads == 0) {
            QCOMPARE(ScannerEngine::directorySize(path), expected);
        } else if (threads < 0) {
            mac.createFileOfSize(QStringLiteral("~/Library/Caches/sibling/s"), 10);
            const QString via = mac.createSymlink(QFileInfo(path).path(), QStringLiteral("/via"));
            FolderWalker::Limits limits = parallel(-threads);
            limits.descriptorBudget = budget;
            const QByteArrayList names{QFile::encodeName(QFileInfo(path).fileName()), "sibling"};
            QCOMPARE(FolderWalker(limits).totalSizes(QFile::encodeName(via), names), (QList<qint64>{expected, 10}));
        } else {
            FolderWalker::Limits limits = parallel(threads);
            limits.descriptorBudget = budget;
            QCOMPARE(FolderWalker(limits).totalSize(QFile::encodeName(path)), expected);
        }
        // Retried: a sanitizer runtime may hold a descriptor for a moment; a real leak stays.
        QTRY_COMPARE(openDescriptors(), openBefore);
    }

    // A part of the tree removed during the walk: the size lies between what stayed
    // and the whole, and the walk ends.
    void folderVanishingWhileWalked()
    {
        FakeMac mac;
        const QString cache = "~/Library/Caches/com.example.gone";
        const qint64 kept = buildBranchy(mac, cache + "/kept");
        qint64 doomed = 0;
        for (int i = 0; i < 100; ++i) {
            for (int j = 0; j < 20; ++j) {
                mac.createFileOfSize(cache + QString("/doomed/%1/sub/%2").arg(i).arg(j), 10);
                doomed += 10;
            }
        }
        const FolderWalker::Limits limits = parallel(4);
        const QString root = mac.path(cache);
        QCOMPARE(FolderWalker(limits).totalSize(QFile::encodeName(root)), kept + doomed);

        std::atomic<bool> removed = false;
        std::thread remover([&] {
            std::error_code error;
            std::filesystem::remove_all(QFile::encodeName(mac.path(cache + "/doomed")).toStdString(),
                                        error);
            removed = true;
        });
        for (int round = 0; !removed; ++round) {
            const qint64 size = FolderWalker(limits).totalSize(QFile::encodeName(root));
            QVERIFY2(size >= kept && size <= kept + doomed, qPrintable(QString::number(size)));
        }
        remover.join();
        QCOMPARE(FolderWalker(limits).totalSize(QFile::encodeName(root)), kept);
    }

    void descriptorShortage_data()
    {
        QTest::addColumn<int>("freeDescriptors");
        QTest::addColumn<int>("threads");
        QTest::addColumn<qint64>("expected"); // -1: the whole tree
        QTest::addColumn<int>("stopAfterMs");   // 0: never stopped
        QTest::newRow("3 left, 1 thread") << 3 << 1 << qint64(-1) << 0;
        QTest::newRow("3 left, 4 threads") << 3 << 4 << qint64(-1) << 0;
        // None comes free: after the wait, what was counted (the root's own file).
        QTest::newRow("none left") << 0 << 1 << qint64(0) << 0;
        QTest::newRow("1 left, 4 threads") << 1 << 4 << qint64(1) << 0;
        // A stop ends the wait for a descriptor long before it would run out.
        QTest::newRow("1 left, 4 threads, stopped while waiting") << 1 << 4 << qint64(1) << 200;
        QTest::newRow("1 left, 1 thread, stopped while waiting") << 1 << 1 << qint64(1) << 200;
    }

    // Running out of descriptors must neither shrink the size nor hang the walk.
    void descriptorShortage()
    {
        QFETCH(int, freeDescriptors);
        QFETCH(int, threads);
        QFETCH(qint64, expected);
        QFETCH(int, stopAfterMs);
        FakeMac mac;
        const QString cache = "~/Library/Caches/com.example.gone";
        const qint64 whole = buildBranchy(mac, cache);
        // Stopped: a wait far longer than the helper is given, so that only the stop ends it.
        const int waitMs = stopAfterMs > 0 ? 600000 : expected < 0 ? 10000 : 300;
        const QString out = runHelper({"--size-of", mac.path(cache), "--free",
                                       QString::number(freeDescriptors), "--threads",
                                       QString::number(threads), "--wait", QString::number(waitMs),
                                       "--stop-after", QString::number(stopAfterMs)});
        QCOMPARE(out, QString::number(expected < 0 ? whole : expected));
    }

    // A walk asked to stop before it starts opens nothing; one stopped as it
    // goes deep ends short of the whole. Neither keeps a descriptor.
    void stoppedWalk_data()
    {
        QTest::addColumn<int>("threads"); // 0: directorySize() itself
        QTest::addColumn<bool>("entries");
        QTest::addColumn<bool>("midWalk");
        QTest::newRow("directorySize") << 0 << false << false;
        QTest::newRow("1 thread") << 1 << false << false;
        QTest::newRow("4 threads") << 4 << false << false;
        QTest::newRow("entries of a folder, 4 threads") << 4 << true << false;
        QTest::newRow("mid-walk, one thread all along") << 0 << false << true;
        QTest::newRow("mid-walk, 1 thread") << 1 << false << true;
        QTest::newRow("mid-walk, 4 threads") << 4 << false << true;
    }

    void stoppedWalk()
    {
        QFETCH(int, threads);
        QFETCH(bool, entries);
        QFETCH(bool, midWalk);
        FakeMac mac;
        const QString cache = "~/Library/Caches/com.example.gone";
        const qint64 whole = buildBranchy(mac, cache);
        const QByteArray path = QFile::encodeName(mac.path(cache));
        const QByteArray parent = QFile::encodeName(mac.path("~/Library/Caches"));
        std::stop_source stop;
        const auto walk = [&]() -> qint64 {
            if (threads == 0)
                return ScannerEngine::directorySize(mac.path(cache), stop.get_token());
            const FolderWalker walker(parallel(threads));
            return entries ? walker.totalSizes(parent, {"com.example.gone"}, stop.get_token()).value(0)
                           : walker.totalSize(path, stop.get_token());
        };
        // Unstopped, the same walk sums the whole tree: only the stop ends it early.
        QCOMPARE(walk(), whole);
        const qsizetype openBefore = openDescriptors();
        if (!midWalk) {
            stop.request_stop();
            QCOMPARE(walk(), 0);
        } else {
            // Held opening a folder eleven levels down, then stopped: the walk
            // ends there, with folders held open above and beside it.
            OpenGate gate(QFile::decodeName(path + QByteArray("/d").repeated(11)));
            if (!gate.isValid())
                QSKIP("fanotify is not available to hold the walk");
            std::stop_source midStop;
            qint64 size = -1;
            const FolderWalker walker = threads == 0 ? FolderWalker() : FolderWalker(parallel(threads));
            std::thread walking([&] { size = walker.totalSize(path, midStop.get_token()); });
            const bool held = gate.waitForOpen(20000);
            midStop.request_stop();
            gate.release();
            walking.join();
            QVERIFY(held);
            // Nothing below the folder it was held at: the deeper levels' files are left out.
            QVERIFY2(size > 0 && size < whole, qPrintable(QString::number(size)));
        }
        QTRY_COMPARE(openDescriptors(), openBefore);
    }

    // As a user who may not enter two of the folders: they count 0, the rest is summed.
    void unreadableFolders()
    {
        if (Unprivileged::runningAsRoot()) {
            QByteArray output;
            QVERIFY2(Unprivileged::rerun("unreadableFolders", &output) == 0, output.constData());
            return;
        }
        FakeMac mac;
        const QString base = mac.path("~/Library/Caches/com.example.gone");
        mac.createFileOfSize(base + "/open/a", 100);
        mac.createFileOfSize(base + "/open/deeper/b", 20);
        mac.createFileOfSize(base + "/locked/c", 5000);
        mac.createFileOfSize(base + "/locked/sub/d", 5000);
        mac.createFileOfSize(base + "/listable only/e", 7000);
        mac.createFileOfSize(base + "/after/f", 3);
        QVERIFY(QFile::setPermissions(base + "/locked", {}));
        QVERIFY(QFile::setPermissions(base + "/listable only", QFile::ReadOwner));
        for (int threads : {1, 4})
            QCOMPARE(FolderWalker(parallel(threads)).totalSize(QFile::encodeName(base)), 123);
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QVERIFY(QFile::setPermissions(base + "/locked", all));
        QVERIFY(QFile::setPermissions(base + "/listable only", all));
        QCOMPARE(ScannerEngine::directorySize(base), 17123);
    }
};

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--size-of") == 0)
        return sizeHelper(argc, argv);
    QCoreApplication app(argc, argv);
    TestDirectorySize test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_directory_size.moc"
