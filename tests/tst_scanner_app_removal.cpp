#include "core/Scanner.h"
#include "support/FakeOsascript.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <memory>

#include <sqlite3.h>

namespace {

const QString kBundleID = QStringLiteral("com.example.alpha");
const QString kTccutil = QStringLiteral("/usr/bin/tccutil");
const QString kPkill = QStringLiteral("/usr/bin/pkill");

LeftoverItem found(const QString &path, LeftoverType type)
{
    LeftoverItem item;
    item.appName = QStringLiteral("Alpha");
    item.bundleID = kBundleID;
    item.path = path;
    item.type = type;
    return item;
}

LeftoverItem pathless(LeftoverType type, const QString &service)
{
    LeftoverItem item = found(QString(), type);
    item.path.reset();
    item.permissionService = service;
    return item;
}

QString trashedLine(const QString &path, LeftoverType type)
{
    return QStringLiteral("TRASHED: Alpha [com.example.alpha]  |  ") + LeftoverTypes::rawValue(type)
        + QStringLiteral("  |  \u2014  |  ") + path;
}

// Camera and Microphone granted to the application.
void createPermissionDatabase(ScannerFixture &f)
{
    const QString path =
        f.mac.createFile(QStringLiteral("~/Library/Application Support/com.apple.TCC/TCC.db"));
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const char *sql = "CREATE TABLE access (service TEXT, client TEXT, client_type INTEGER, auth_value INTEGER,"
                      " allowed INTEGER);"
                      "INSERT INTO access VALUES ('kTCCServiceCamera', 'com.example.alpha', 0, 2, 1);"
                      "INSERT INTO access VALUES ('kTCCServiceMicrophone', 'com.example.alpha', 0, 2, 1);";
    QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

struct Machine
{
    QString bundle;
    QString preferences;
    QString userCache;
    QString systemCache;
};

// An installed Alpha with leftovers in the user's and the system's Library.
Machine buildMachine(ScannerFixture &f)
{
    Machine m;
    m.bundle = f.mac.createApp(QStringLiteral("/Applications/Alpha.app"), kBundleID);
    m.preferences = f.mac.createFile(QStringLiteral("~/Library/Preferences/com.example.alpha.plist"));
    m.userCache = f.mac.createDir(QStringLiteral("~/Library/Caches/com.example.alpha"));
    m.systemCache = f.mac.createDir(QStringLiteral("/Library/Caches/com.example.alpha"));
    createPermissionDatabase(f);
    f.fakeTool(kPkill, QByteArray(), 1);
    return m;
}

InstalledApp app(const QString &path)
{
    InstalledApp a;
    a.name = QStringLiteral("Alpha");
    a.bundleID = kBundleID;
    a.path = path;
    return a;
}

}

class TestScannerAppRemoval : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void removesEverything();
    void bundleCannotBeTrashed();
    void cancelledPrompt();
    void failedResetsAreNotCleaned();
    void scannerGoneBeforeTheEnd();
    void leavesWhatIsNotItsOwn();
};

void TestScannerAppRemoval::removesEverything()
{
    ScannerFixture f;
    const Machine m = buildMachine(f);
    f.fakeTool(kTccutil);
    FakeOsascript admin(f.mac.root(), f.runner);

    const InstalledApp alpha = app(m.bundle);
    InstalledApp beta = app(f.mac.createApp(QStringLiteral("/Applications/Beta.app"), QStringLiteral("com.example.beta")));
    beta.name = QStringLiteral("Beta");
    const LeftoverItem cacheRow = found(m.userCache, LeftoverType::cache);
    const LeftoverItem otherApp = found(f.mac.createDir(QStringLiteral("~/Library/Caches/com.example.alphabet")),
                                        LeftoverType::cache);
    const LeftoverItem notFoundPermission = pathless(LeftoverType::permission, QStringLiteral("Photos"));
    const LeftoverItem backgroundRecord = pathless(LeftoverType::backgroundActivity, QStringLiteral("Agent"));

    Scanner scanner(f.services());
    ScannerPublisher::setInstalledApps(scanner, {beta, alpha});
    ScannerPublisher::setItems(scanner, {cacheRow, otherApp, notFoundPermission, backgroundRecord});
    ScannerPublisher::setRemovalFailures(scanner, {otherApp});
    QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

    scanner.removeAppCompletely(alpha);
    // Before the task: the roster row is gone and old failures are cleared.
    QCOMPARE(scanner.installedApps().size(), 1);
    QCOMPARE(scanner.installedApps().first().id, beta.id);
    QVERIFY(scanner.removalFailures().isEmpty());
    QVERIFY(progressSpy.wait());

    QCOMPARE(scanner.scanProgress(), QStringLiteral("Alpha removed — 5 items cleaned up."));
    QVERIFY(scanner.removalFailures().isEmpty());
    QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{otherApp.id});
    for (const QString &path : {m.bundle, m.preferences, m.userCache, m.systemCache})
        QVERIFY2(!ScannerFixture::exists(path), qPrintable(path));
    QVERIFY(ScannerFixture::exists(f.trash.filesPath() + QStringLiteral("/Alpha.app")));
    QVERIFY(ScannerFixture::exists(*otherApp.path));

    QCOMPARE(f.newLogMessages(),
             (QStringList{
                 QStringLiteral("REMOVE APP: Alpha (com.example.alpha)"),
                 QStringLiteral("TRASHED APP BUNDLE: ") + m.bundle,
                 QStringLiteral("FOUND 5 leftovers for Alpha"),
                 trashedLine(m.userCache, LeftoverType::cache),
                 trashedLine(m.preferences, LeftoverType::preference),
                 trashedLine(m.systemCache, LeftoverType::cache),
                 QStringLiteral("RESET PERMISSION: com.example.alpha [Camera]"),
                 QStringLiteral("RESET PERMISSION: com.example.alpha [Microphone]"),
                 QStringLiteral("REMOVE APP DONE: Alpha — 5 items cleaned, 0 failed"),
             }));
    QCOMPARE(admin.requests().size(), 1);
    QCOMPARE(admin.requests().first().paths, QStringList{m.systemCache});
    QVERIFY(admin.requests().first().prompt.endsWith(QLatin1String(" for Alpha.")));
    QCOMPARE(f.recordedCalls(kTccutil),
             (QStringList{"reset Camera com.example.alpha", "reset Microphone com.example.alpha",
                          "reset All com.example.alpha"}));
    // Its own "--" argument reads as a call separator here, so the record is compared whole.
    QFile pkillRecord(f.recordFile(kPkill));
    QVERIFY(pkillRecord.open(QIODevice::ReadOnly));
    QCOMPARE(pkillRecord.readAll(), QByteArray("-f\n--\ncom\\.example\\.alpha([^[:alnum:]_-]|$)\n--\n"));
}

void TestScannerAppRemoval::bundleCannotBeTrashed()
{
    ScannerFixture f;
    f.fakeTool(kTccutil);
    f.fakeTool(kPkill, QByteArray(), 1);
    FakeOsascript admin(f.mac.root(), f.runner);
    // Already gone: the Trash fails, the administrator finds nothing left to remove.
    const QString bundle = f.mac.path(QStringLiteral("/Applications/Alpha.app"));
    Scanner scanner(f.services());
    QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

    scanner.removeAppCompletely(app(bundle));
    QVERIFY(progressSpy.wait());

    const QStringList log = f.newLogMessages();
    QCOMPARE(log.size(), 5);
    QVERIFY(log.at(1).startsWith(QStringLiteral("TRASH APP FAILED: ") + bundle + QStringLiteral(" — ")));
    QCOMPARE(log.at(2), QStringLiteral("FOUND 0 leftovers for Alpha"));
    QCOMPARE(log.at(3), trashedLine(bundle, LeftoverType::appSupport));
    QCOMPARE(log.at(4), QStringLiteral("REMOVE APP DONE: Alpha — 1 items cleaned, 0 failed"));
    QCOMPARE(admin.requests().size(), 1);
    QCOMPARE(admin.requests().first().paths, QStringList{bundle});
    QCOMPARE(admin.requests().first().prompt,
             QStringLiteral("Quillmere needs administrator access to remove system-protected files for Alpha."));
    QCOMPARE(scanner.scanProgress(), QStringLiteral("Alpha removed — 1 items cleaned up."));
}

void TestScannerAppRemoval::cancelledPrompt()
{
    ScannerFixture f;
    const Machine m = buildMachine(f);
    f.fakeTool(kTccutil);
    FakeOsascript admin(f.mac.root(), f.runner);
    admin.setBehaviour(FakeOsascript::Behaviour::CancelByText);
    const LeftoverItem systemRow = found(m.systemCache, LeftoverType::cache);
    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {systemRow});
    QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

    scanner.removeAppCompletely(app(m.bundle));
    QVERIFY(progressSpy.wait());

    QVERIFY(ScannerFixture::exists(m.systemCache));
    QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{systemRow.id});
    QCOMPARE(scanner.removalFailures().size(), 1);
    QCOMPARE(*scanner.removalFailures().first().path, m.systemCache);
    QCOMPARE(scanner.scanProgress(),
             QStringLiteral("Alpha removed — 4 cleaned up, 1 could not be trashed (Full Disk Access required)."));
    const QStringList log = f.newLogMessages();
    QVERIFY(log.contains(QStringLiteral("ADMIN RM CANCELLED for Alpha (1 items)")));
    QCOMPARE(log.last(), QStringLiteral("REMOVE APP DONE: Alpha — 4 items cleaned, 1 failed"));
}

void TestScannerAppRemoval::failedResetsAreNotCleaned()
{
    ScannerFixture f; // no tccutil: no reset can succeed
    const Machine m = buildMachine(f);
    FakeOsascript admin(f.mac.root(), f.runner);
    const LeftoverItem permissionRow = pathless(LeftoverType::permission, QStringLiteral("Camera"));
    const LeftoverItem backgroundRecord = pathless(LeftoverType::backgroundActivity, QStringLiteral("Agent"));
    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {permissionRow, backgroundRecord});
    QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

    scanner.removeAppCompletely(app(m.bundle));
    QVERIFY(progressSpy.wait());

    const QStringList log = f.newLogMessages();
    QVERIFY(log.contains(QStringLiteral("RESET PERMISSION FAILED: com.example.alpha [Camera]")));
    QVERIFY(log.contains(QStringLiteral("RESET PERMISSION FAILED: com.example.alpha [Microphone]")));
    QCOMPARE(log.last(), QStringLiteral("REMOVE APP DONE: Alpha — 3 items cleaned, 0 failed"));
    QCOMPARE(scanner.scanProgress(), QStringLiteral("Alpha removed — 3 items cleaned up."));
    QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{permissionRow.id});
}

void TestScannerAppRemoval::scannerGoneBeforeTheEnd()
{
    ScannerFixture f;
    const Machine m = buildMachine(f);
    f.fakeTool(kTccutil);
    FakeOsascript admin(f.mac.root(), f.runner);
    auto scanner = std::make_unique<Scanner>(f.services());
    scanner->removeAppCompletely(app(m.bundle));
    scanner.reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();

    for (const QString &path : {m.bundle, m.preferences, m.userCache, m.systemCache})
        QVERIFY(!ScannerFixture::exists(path));
    QCOMPARE(f.recordedCalls(kTccutil).size(), 3);
    QCOMPARE(f.newLogMessages().last(), QStringLiteral("REMOVE APP DONE: Alpha — 5 items cleaned, 0 failed"));
}

// An installed application whose ID extends the removed one keeps its files,
// records and processes; a document a record names as its program stays.
void TestScannerAppRemoval::leavesWhatIsNotItsOwn()
{
    ScannerFixture f;
    f.fakeTool(kTccutil);
    f.fakeTool(kPkill, QByteArray(), 1);
    FakeOsascript admin(f.mac.root(), f.runner);
    const QString ce = QStringLiteral("com.jetbrains.intellij.ce");
    f.mac.createApp(QStringLiteral("/Applications/IntelliJ CE.app"), ce);
    for (const QString &theirs :
         {"~/Library/Preferences/" + ce + ".plist", "/Library/LaunchAgents/org.x." + ce + ".agent.plist",
          "/Library/LaunchDaemons/" + ce + ".daemon.plist", "/Library/PrivilegedHelperTools/" + ce})
        f.mac.createFile(theirs);
    f.mac.createFile(QStringLiteral("~/Documents/thesis.doc"), "chapter one");
    f.fakeTool(QStringLiteral("/usr/bin/sfltool"),
               "UUID: 1\n Identifier: com.jetbrains.intellij.helper\n Executable: /Users/tester/Documents/thesis.doc\n"
               "UUID: 2\n Identifier: " + ce.toUtf8() + ".helper\n Executable: /Library/PrivilegedHelperTools/"
                   + ce.toUtf8() + "\n");
    const auto before = f.fingerprint();

    InstalledApp idea;
    idea.name = QStringLiteral("IntelliJ IDEA");
    idea.bundleID = QStringLiteral("com.jetbrains.intellij");
    idea.path = f.mac.createApp(QStringLiteral("/Applications/IntelliJ IDEA.app"), idea.bundleID);
    f.mac.createFile(QStringLiteral("~/Library/Preferences/com.jetbrains.intellij.plist"));
    const QString agent = f.mac.createFile(QStringLiteral("/Library/LaunchAgents/com.jetbrains.intellij.agent.plist"));
    Scanner scanner(f.services());
    QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);
    scanner.removeAppCompletely(idea);
    QVERIFY(progressSpy.wait());

    QCOMPARE(f.fingerprint(), before);
    QCOMPARE(admin.requests().size(), 1);
    QCOMPARE(admin.requests().first().paths, QStringList{agent});
    QFile pkillRecord(f.recordFile(kPkill));
    QVERIFY(pkillRecord.open(QIODevice::ReadOnly));
    QCOMPARE(pkillRecord.readAll(), QByteArray("-f\n--\ncom\\.jetbrains\\.intellij([^[:alnum:]_.-]|$)\n--\n"));
}

int main(int argc, char **argv)
{
    if (const auto exitCode = FakeOsascript::runIfRequested(argc, argv))
        return *exitCode;
    QCoreApplication app(argc, argv);
    TestScannerAppRemoval test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_scanner_app_removal.moc"
