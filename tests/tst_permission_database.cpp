#include "core/engine/PermissionDatabase.h"
#include "support/TccDatabase.h"
#include "support/Unprivileged.h"

#include <QtTest>

#include <sqlite3.h>
#include <sys/stat.h>

using namespace ScannerEngine;

namespace {

// appName | bundleID | service, with the fixed fields checked on the way.
QStringList describe(const PermissionScan &scan)
{
    QStringList out;
    for (const LeftoverItem &item : scan.items) {
        if (item.type != LeftoverType::permission || item.path || item.size != 0)
            return {QStringLiteral("malformed item")};
        out << QStringList{item.appName, item.bundleID.value_or(QStringLiteral("-")),
                           item.permissionService.value_or(QStringLiteral("-"))}
                   .join(QStringLiteral(" | "));
    }
    if (scan.accessDenied)
        out << QStringLiteral("denied");
    return out;
}

bool exec(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QByteArray fileContent(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}

class TestPermissionDatabase : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    QString freshPath() { return m_dir.filePath(QStringLiteral("TCC-%1.db").arg(++m_count)); }

private slots:
    void orphans_data()
    {
        QTest::addColumn<bool>("withAuthValue");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("granted permissions, one item per client and service")
            << true
            << QStringList{"com.example.cam|0|kTCCServiceCamera|2|0", "com.example.cam|0|kTCCServiceScreenCapture|2|0",
                           "com.example.cam|0|kTCCServiceCamera|2|0", "com.example.denied|0|kTCCServiceMicrophone|0|0"}
            << QStringList()
            << QStringList{"Cam | com.example.cam | Camera", "Cam | com.example.cam | Screen Capture"};
        QTest::newRow("second statement never merged")
            << true << QStringList{"com.example.new|0|kTCCServiceCamera|2|0", "com.example.old|0|kTCCServiceCamera|0|1"}
            << QStringList() << QStringList{"New | com.example.new | Camera"};
        QTest::newRow("all filtered out: second statement runs")
            << true
            << QStringList{"com.apple.Terminal|0|kTCCServiceCamera|2|1", "ABCDE12345.com.apple.x|0|kTCCServiceCamera|2|1",
                           "/usr/local/bin/tool|0|kTCCServiceCamera|2|1",
                           "com.example.kept|0|kTCCServiceCamera|2|1", "com.example.path|1|kTCCServiceCamera|2|1",
                           "com.example.legacy|0|kTCCServiceAccessibility|0|1"}
            << QStringList{"com.example.kept"} << QStringList{"Legacy | com.example.legacy | Accessibility"};
        QTest::newRow("NULL values skipped")
            << true
            << QStringList{"NULL|0|kTCCServiceCamera|2|0", "com.example.x|0|NULL|2|0",
                           "com.example.ok|0|kTCCServiceCamera|2|0"}
            << QStringList() << QStringList{"Ok | com.example.ok | Camera"};
        QTest::newRow("older layout without auth_value")
            << false
            << QStringList{"com.example.old|0|kTCCServiceAddressBook|NULL|1", "com.example.no|0|kTCCServiceCamera|NULL|0"}
            << QStringList() << QStringList{"Old | com.example.old | Address Book"};
        QTest::newRow("service texts")
            << true << QStringList{"com.example.s|0|ABC|2|0", "com.example.s|0|kTCCServiceSystemPolicyAllFiles|2|0"}
            << QStringList() << QStringList{"S | com.example.s | ABC", "S | com.example.s | System Policy All Files"};
    }
    void orphans()
    {
        QFETCH(bool, withAuthValue);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, expected);
        const QString path = freshPath();
        QVERIFY(TccDatabase::create(path, rows, withAuthValue));
        const QByteArray before = fileContent(path);
        const QStringList filesBefore = QDir(m_dir.path()).entryList(QDir::Files);

        QCOMPARE(describe(findOrphanPermissions(path, QSet<QString>(installed.begin(), installed.end()))), expected);
        // Read only: the database and its folder are left as they were.
        QCOMPARE(fileContent(path), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), filesBefore);
    }

    // Client and service are told apart even when a name holds the "|" that
    // would join them in a text key.
    void pairsAreNotConfused()
    {
        const QString path = freshPath();
        QVERIFY(TccDatabase::create(path, {}));
        QVERIFY(exec(path, "INSERT INTO access (client, client_type, service, auth_value) VALUES "
                           "('com.example.a|b', 0, 'c', 2), ('com.example.a', 0, 'b|c', 2)"));
        QCOMPARE(describe(findOrphanPermissions(path, {})),
                 (QStringList{"A|b | com.example.a|b | c", "A | com.example.a | b|c"}));
    }

    void onePermissions_data()
    {
        QTest::addColumn<bool>("withAuthValue");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QStringList>("expected");

        const QStringList rows{"com.example.app|0|kTCCServiceCamera|2|1", "com.example.app|0|kTCCServiceCamera|2|1",
                               "com.apple.x|0|kTCCServiceCamera|2|1", "com.example.app|1|kTCCServiceMicrophone|2|1",
                               "com.example.app|0|NULL|2|1", "com.example.application|0|kTCCServiceMicrophone|2|1",
                               "com.example.app|0|kTCCServiceListenEvent|0|1"};
        QTest::newRow("repeats kept, others' rows not")
            << true << rows << "com.example.app"
            << QStringList{"Example | com.example.app | Camera", "Example | com.example.app | Camera"};
        QTest::newRow("second statement when the first finds none")
            << true << QStringList{"com.example.app|0|kTCCServiceListenEvent|0|1"} << "com.example.app"
            << QStringList{"Example | com.example.app | Listen Event"};
        QTest::newRow("bundle ID is a value, not SQL")
            << true << rows << "x' OR '1'='1" << QStringList();
        QTest::newRow("non-ASCII bundle ID")
            << true << QStringList{QString::fromUtf8("com.\u00e9xample.app|0|kTCCServiceCamera|2|1")}
            << QString::fromUtf8("com.\u00e9xample.app") << QStringList{QString::fromUtf8("Example | com.\u00e9xample.app | Camera")};
    }
    void onePermissions()
    {
        QFETCH(bool, withAuthValue);
        QFETCH(QStringList, rows);
        QFETCH(QString, bundleID);
        QFETCH(QStringList, expected);
        const QString path = freshPath();
        QVERIFY(TccDatabase::create(path, rows, withAuthValue));
        QCOMPARE(describe(findPermissions(bundleID, QStringLiteral("Example"), path)), expected);
    }

    // `kind` names what stands at the database path, or is the schema of a database made there.
    void unusableDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("denied");
        QTest::addColumn<int>("milliseconds");
        const QString endless = QStringLiteral(
            "CREATE VIEW access AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
            "SELECT '%1' || substr(i, 1, 0) AS client, 0 AS client_type, 'kTCCService' || i AS service, "
            "2 AS auth_value, 1 AS allowed FROM n");

        QTest::newRow("missing") << "missing" << false << 60000;
        QTest::newRow("FIFO in its place: never opened") << "fifo" << true << 60000;
        QTest::newRow("corrupt") << "corrupt" << false << 60000;
        QTest::newRow("endless view, no row kept: out of time")
            << endless.arg(QStringLiteral("com.apple.x")) << true << 300;
        QTest::newRow("endless view: out of memory") << endless.arg(QStringLiteral("com.example.app")) << true
                                                     << 60000;
        QTest::newRow("view needing 120 MB")
            << "CREATE VIEW access AS SELECT 'com.example.app' AS client, 0 AS client_type, "
               "hex(zeroblob(40000000)) AS service, 2 AS auth_value, 1 AS allowed"
            << true << 60000;
    }
    void unusableDatabase()
    {
        QFETCH(QString, kind);
        QFETCH(bool, denied);
        QFETCH(int, milliseconds);
        const QString path = freshPath();
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("corrupt")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("SQLite format 3\0", 16) + QByteArray(4096, '\xff'));
        } else if (kind != QLatin1String("missing")) {
            QVERIFY(exec(path, kind));
        }
        PermissionReadLimits limits;
        limits.milliseconds = milliseconds;
        const auto orphans = findOrphanPermissions(path, {}, limits);
        QVERIFY(orphans.items.isEmpty());
        QCOMPARE(orphans.accessDenied, denied);
        const auto one = findPermissions(QStringLiteral("com.example.app"), QStringLiteral("App"), path, limits);
        QVERIFY(one.items.isEmpty());
        QCOMPARE(one.accessDenied, denied);
        if (kind == QLatin1String("missing"))
            QVERIFY2(!QFileInfo::exists(path), "opening must not create the database");
    }

    // Without the rights to read the file (as without Full Disk Access): root
    // makes a root-only database and reads it as nobody, then as itself.
    void deniedForUnprivilegedUser()
    {
        if (!Unprivileged::runningAsRoot()) {
            const QString database = qEnvironmentVariable("QUILLMERE_TEST_ROOT_ONLY_DB");
            if (database.isEmpty())
                QSKIP("needs root to make a database nobody may read");
            const PermissionScan scan = findOrphanPermissions(database, {});
            QVERIFY(scan.items.isEmpty());
            QVERIFY(scan.accessDenied);
            return;
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther));
        const QString database = dir.filePath(QStringLiteral("TCC.db"));
        QVERIFY(TccDatabase::create(database, {"com.example.gone|0|kTCCServiceCamera|2|0"}));
        QVERIFY(QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner));
        qputenv("QUILLMERE_TEST_ROOT_ONLY_DB", QFile::encodeName(database));
        QByteArray output;
        const int status = Unprivileged::rerun(QStringLiteral("deniedForUnprivilegedUser"), &output);
        qunsetenv("QUILLMERE_TEST_ROOT_ONLY_DB");
        QVERIFY2(status == 0 && !output.contains("SKIP"), output.constData());
        QCOMPARE(describe(findOrphanPermissions(database, {})), QStringList{"Gone | com.example.gone | Camera"});
    }
};

QTEST_GUILESS_MAIN(TestPermissionDatabase)
#include "tst_permission_database.moc"
