#include "core/AppLogger.h"

#include <QtTest>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <thread>
#include <memory>
#include <vector>

using LogOperation = std::function<void(AppLogger &)>;
Q_DECLARE_METATYPE(LogOperation)

namespace {

const QRegularExpression kLine(QStringLiteral(R"(^\[\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ\] (.*)$)"));

// The message of a well-formed line, or a null string.
QString messageOf(const QString &line)
{
    const auto match = kLine.match(line);
    return match.hasMatch() ? match.captured(1) : QString();
}

// The file's lines; an unfinished last line is dropped.
QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

QStringList messages(const QStringList &lines)
{
    QStringList result;
    for (const QString &line : lines)
        result.append(messageOf(line));
    return result;
}

LeftoverItem item(const QString &appName, std::optional<QString> bundleID, std::optional<QString> path,
                  LeftoverType type, qint64 size, std::optional<QString> service = std::nullopt)
{
    return {.appName = appName, .bundleID = bundleID, .path = path, .type = type, .size = size, .permissionService = service};
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

    QString home() const { return m_home.path(); }

private slots:
    void initTestCase()
    {
        // Sizes in the report lines use the default locale.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(m_home.isValid());
    }

    // One home for the whole run (the data tables name paths in it); every test starts without a log.
    void init() { QVERIFY(QDir(home() + QStringLiteral("/Library")).removeRecursively()); }

    void reportLines_data()
    {
        QTest::addColumn<LogOperation>("operation");
        QTest::addColumn<QStringList>("expected");

        const QString h = home();
        const auto cache = item("Foo", "com.foo", h + "/Library/Caches/com.foo", LeftoverType::cache, 1'200'000);
        const auto noBundle = item("Bar", std::nullopt, "/Library/Application Support/Bar", LeftoverType::appSupport, 0);
        const auto permission = item("Baz", "com.baz", std::nullopt, LeftoverType::permission, 0, "Screen Capture");
        const auto login = item("Qux", "com.qux.agent", h + "/Library/LaunchAgents/com.qux.agent.plist",
                                LeftoverType::loginItem, 999, h + "/bin/qux");

        QTest::newRow("loaded apps 0") << LogOperation([](AppLogger &l) { l.logLoadedApps(0); })
                                       << QStringList{"  Loaded 0 installed apps"};
        QTest::newRow("section three")
            << LogOperation([=](AppLogger &l) { l.logSection("Mixed", {noBundle, permission, login}); })
            << QStringList{"── Mixed: 3 items",
                           "  Bar  |  App Support  |  —  |  /Library/Application Support/Bar",
                           "  Baz [com.baz]  |  Permission  |  —  |  Screen Capture",
                           "  Qux [com.qux.agent]  |  Login Item  |  999 bytes  |  ~/bin/qux"};
        QTest::newRow("suppressed 4") << LogOperation([](AppLogger &l) { l.logSuppressed(4); })
                                      << QStringList{"── 4 items suppressed by Ignore List"};
        QTest::newRow("finished one") << LogOperation([](AppLogger &l) { l.logScanFinished(1, false); })
                                      << QStringList{"=== Scan finished: 1 item shown ==="};
        QTest::newRow("trashed skips pathless")
            << LogOperation([=](AppLogger &l) { l.logTrashed({cache, permission, noBundle}); })
            << QStringList{"TRASHED: Foo [com.foo]  |  Cache  |  1.2 MB  |  " + h + "/Library/Caches/com.foo",
                           "TRASHED: Bar  |  App Support  |  —  |  /Library/Application Support/Bar"};

        const InstalledApp never{.name = "Never Used", .bundleID = "com.never", .path = "/Applications/Never Used.app",
                                 .version = {}, .lastLaunched = {}};
        const InstalledApp recent{.name = "Recent", .bundleID = "com.recent", .path = h + "/Applications/Recent.app",
                                  .version = "2.0.1",
                                  .lastLaunched = QDateTime::currentDateTime().addDays(-40).addSecs(-60)};
        QTest::newRow("installed apps")
            << LogOperation([=](AppLogger &l) { l.logInstalledApps({never, recent}); })
            << QStringList{"=== Installed apps: 2 ===",
                           "  Never Used [com.never]  |  —  |  Last: Never  |  /Applications/Never Used.app",
                           "  Recent [com.recent]  |  v2.0.1  |  Last: 40 days ago  |  " + h + "/Applications/Recent.app"};

        // Line breaks cannot forge lines.
        QTest::newRow("message breaks") << LogOperation([](AppLogger &l) { l.log("a\nb\r\nc\r[2020-01-01T00:00:00Z] x"); })
                                        << QStringList{R"(a\nb\r\nc\r[2020-01-01T00:00:00Z] x)"};
    }
    void reportLines()
    {
        QFETCH(LogOperation, operation);
        QFETCH(QStringList, expected);

        AppLogger logger(home());
        operation(logger);
        QCOMPARE(messages(fileLines(logger.logFilePath())), expected);
        QTRY_COMPARE(logger.entries().size(), expected.size());
        QCOMPARE(logger.entries(), fileLines(logger.logFilePath()));
    }

    void concurrentWritersLoseNothing()
    {
        constexpr int threadCount = 8;
        constexpr int linesPerThread = 2500;
        AppLogger logger(home());
        // Start without folder or file: the first lines race to create them.
        QVERIFY(QDir(home() + QStringLiteral("/Library")).removeRecursively());
        {
            std::vector<std::jthread> threads;
            for (int t = 0; t < threadCount; ++t) {
                threads.emplace_back([&logger, t] {
                    for (int n = 0; n < linesPerThread; ++n) {
                        if (n % 100 == 0) {
                            logger.logSection(QStringLiteral("T%1 section").arg(t),
                                              {item("A", std::nullopt, "/a", LeftoverType::log, 1),
                                               item("B", std::nullopt, "/b", LeftoverType::log, 2)});
                        }
                        logger.log(QStringLiteral("T%1 line %2 ünïcödé").arg(t).arg(n));
                    }
                });
            }
        }

        const QStringList lines = fileLines(logger.logFilePath());
        const int sectionLines = threadCount * (linesPerThread / 100) * 3;
        QCOMPARE(lines.size(), threadCount * linesPerThread + sectionLines);
        const QStringList sectionBody{"  A  |  Log  |  1 byte  |  /a", "  B  |  Log  |  2 bytes  |  /b"};
        const QRegularExpression own(QStringLiteral(R"(^T(\d+) line (\d+) ünïcödé$)"));
        QList<int> next(threadCount, 0);
        for (int i = 0; i < lines.size(); ++i) {
            const QString message = messageOf(lines.at(i));
            if (message.startsWith(QStringLiteral("── T"))) { // a report section stays together
                QCOMPARE(messages(lines.mid(i + 1, 2)), sectionBody);
                i += 2;
                continue;
            }
            const auto match = own.match(message);
            QVERIFY2(match.hasMatch(), qPrintable(lines.at(i)));
            // Each writer's lines arrive once and in call order.
            QCOMPARE(match.captured(2).toInt(), next[match.captured(1).toInt()]++);
        }
        QCOMPARE(next, QList<int>(threadCount, linesPerThread));

        // The in-memory list keeps the file's newest lines; the file is never cut.
        QTRY_COMPARE(logger.entries().size(), AppLogger::maxEntries);
        QCOMPARE(logger.entries(), lines.mid(lines.size() - AppLogger::maxEntries));
    }

    void loggerMadeOnAWorkerThreadServesTheMainThread()
    {
        std::unique_ptr<AppLogger> logger;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            logger = std::make_unique<AppLogger>(home());
            logger->log(QStringLiteral("from the worker"));
        }));
        worker->start();
        QVERIFY(worker->wait());
        QCOMPARE(logger->thread(), QCoreApplication::instance()->thread());
        QTRY_COMPARE(logger->entries().size(), 1);
        QCOMPARE(messageOf(logger->entries().first()), QStringLiteral("from the worker"));
    }

    void deletedLogIsCreatedAgain()
    {
        AppLogger logger(home());
        logger.log(QStringLiteral("before"));
        QVERIFY(QDir(home() + QStringLiteral("/Library")).removeRecursively());
        QVERIFY(!QFile::exists(logger.logFilePath()));
        logger.log(QStringLiteral("after"));
        QCOMPARE(messages(fileLines(logger.logFilePath())), QStringList{QStringLiteral("after")});
    }

    void clearEmptiesEntriesOnly()
    {
        AppLogger logger(home());
        logger.log(QStringLiteral("one"));
        QTRY_COMPARE(logger.entries().size(), 1);
        logger.log(QStringLiteral("two")); // not yet handed to the main thread
        QSignalSpy changed(&logger, &AppLogger::entriesChanged);
        logger.clearEntries();
        QCOMPARE(changed.size(), 1);
        QVERIFY(logger.entries().isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(logger.entries().isEmpty());
        logger.log(QStringLiteral("three"));
        QTRY_COMPARE(messages(logger.entries()), QStringList{QStringLiteral("three")});
        QCOMPARE(messages(fileLines(logger.logFilePath())), (QStringList{"one", "two", "three"}));
    }

    void unwritableLogIsSkipped()
    {
        // A folder where the file should be: nothing can be written, the in-memory line still appears.
        AppLogger logger(home());
        QVERIFY(QDir().mkpath(logger.logFilePath()));
        logger.log(QStringLiteral("kept in memory"));
        QTRY_COMPARE(logger.entries().size(), 1);
        QVERIFY(QFileInfo(logger.logFilePath()).isDir());
    }
};

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
