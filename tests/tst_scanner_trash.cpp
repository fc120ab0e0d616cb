#include "core/ProtectedPaths.h"
#include "core/Scanner.h"
#include "support/FakeOsascript.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

namespace {

const QString kRefusedPlain = QStringLiteral("The path was refused because it is not a plain absolute path.");
const QString kRefusedProtected = QStringLiteral("The path was refused because it is a protected folder.");

LeftoverItem row(const QString &appName, const std::optional<QString> &path,
                 LeftoverType type = LeftoverType::cache)
{
    LeftoverItem item;
    item.appName = appName;
    item.bundleID = QStringLiteral("com.example.") + appName.toLower();
    item.path = path;
    item.type = type;
    return item;
}

QString trashedLine(const LeftoverItem &item)
{
    return QStringLiteral("TRASHED: ") + item.appName + QStringLiteral(" [") + *item.bundleID
        + QStringLiteral("]  |  ") + LeftoverTypes::rawValue(item.type) + QStringLiteral("  |  \u2014  |  ")
        + *item.path;
}

// A path that no longer exists: the Trash fails with a Cocoa error that is not 513.
const QString kVanished = QStringLiteral("vanished");

}

class TestScannerTrash : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void protectedPathRule_data();
    void protectedPathRule();
    void protectedPathRuleOnTheRealRoot();
    void unwritableApplicationsFolder();
    void movesToTheTrash();
    void samePathTwice();
    void administratorFallback_data();
    void administratorFallback();
    void cancelledPrompt();
    void partialFailure();
    void refusals_data();
    void refusals();
    void emptyList();
    void trashFailuresKeepTheItem_data();
    void trashFailuresKeepTheItem();
};

void TestScannerTrash::protectedPathRule_data()
{
    QTest::addColumn<QString>("fakePath");
    QTest::addColumn<bool>("administrator");
    QTest::newRow("system caches") << "/Library/Caches/com.example.a" << true;
    QTest::newRow("system") << "/System/Library/x" << true;
    QTest::newRow("usr local") << "/usr/local/bin/tool" << true;
    QTest::newRow("private var") << "/private/var/db/x" << true;
    QTest::newRow("library itself") << "/Library" << false;
    QTest::newRow("usr local itself") << "/usr/local" << false;
    QTest::newRow("look-alike") << "/LibraryX/y" << false;
    QTest::newRow("lower case") << "/library/Caches/x" << false;
    QTest::newRow("user library") << "~/Library/Caches/com.example.a" << false;
    QTest::newRow("writable applications") << "/Applications/Example.app" << false;
    QTest::newRow("missing applications subfolder") << "/Applications/Missing/Example.app" << true;
}

void TestScannerTrash::protectedPathRule()
{
    QFETCH(QString, fakePath);
    QFETCH(bool, administrator);
    ScannerFixture f;
    f.mac.createDir(QStringLiteral("/Applications"));
    QCOMPARE(ProtectedPaths::needsAdministrator(f.mac.roots(), f.mac.path(fakePath)), administrator);
}

void TestScannerTrash::protectedPathRuleOnTheRealRoot()
{
    // Judged as plain text: nothing on this machine is looked at.
    const SystemRoots real{QStringLiteral("/Users/tester"), QStringLiteral("/")};
    QVERIFY(ProtectedPaths::needsAdministrator(real, QStringLiteral("/Library/Caches/com.example.a")));
    QVERIFY(!ProtectedPaths::needsAdministrator(real, QStringLiteral("/Users/tester/Library/Caches/com.example.a")));
    // A path outside a fake root is not the system's.
    ScannerFixture f;
    QVERIFY(!ProtectedPaths::needsAdministrator(f.mac.roots(), QStringLiteral("/Library/Caches/x")));
}

void TestScannerTrash::unwritableApplicationsFolder()
{
    if (Unprivileged::runningAsRoot()) {
        QByteArray output;
        QVERIFY2(Unprivileged::rerun(QStringLiteral("unwritableApplicationsFolder"), &output) == 0, output.constData());
        return;
    }
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    const QString bundle = f.mac.createApp(QStringLiteral("/Applications/Locked.app"), QStringLiteral("com.example.locked"));
    const QString own = f.mac.createApp(QStringLiteral("/Applications/Mine/Own.app"), QStringLiteral("com.example.own"));
    QFile::setPermissions(f.mac.path(QStringLiteral("/Applications")),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QVERIFY(ProtectedPaths::needsAdministrator(f.mac.roots(), bundle));
    QVERIFY(!ProtectedPaths::needsAdministrator(f.mac.roots(), own));

    // No Trash attempt for the locked one: straight to the prompt, which names it.
    Scanner scanner(f.services());
    const LeftoverItem locked = row(QStringLiteral("Locked"), bundle);
    const LeftoverItem mine = row(QStringLiteral("Own"), own);
    scanner.moveToTrash({locked, mine});
    QCOMPARE(admin.requests().size(), 1);
    QCOMPARE(admin.requests().first().paths, QStringList{bundle});
    QVERIFY(admin.requests().first().prompt.endsWith(QLatin1String(" for Locked.")));
    QVERIFY(!ScannerFixture::exists(bundle));
    QVERIFY(!ScannerFixture::exists(own));
    QVERIFY(!ScannerFixture::exists(f.trash.filesPath() + QStringLiteral("/Locked.app")));
    QVERIFY(ScannerFixture::exists(f.trash.filesPath() + QStringLiteral("/Own.app")));
    QCOMPARE(f.newLogMessages(), (QStringList{trashedLine(mine), trashedLine(locked)}));
    QVERIFY(scanner.removalFailures().isEmpty());
}

void TestScannerTrash::movesToTheTrash()
{
    ScannerFixture f;
    const QString cache = f.mac.createDir(QStringLiteral("~/Library/Caches/com.example.alpha"));
    f.mac.createFile(QStringLiteral("~/Library/Caches/com.example.alpha/data"), "x");
    const QString prefs = f.mac.createFile(QStringLiteral("~/Library/Preferences/com.example.alpha.plist"), "p");
    const QString other = f.mac.createFile(QStringLiteral("~/Library/Caches/com.example.beta"), "b");
    const LeftoverItem cacheRow = row(QStringLiteral("Alpha"), cache);
    const LeftoverItem prefsRow = row(QStringLiteral("Alpha"), prefs, LeftoverType::preference);
    const LeftoverItem sameCache = row(QStringLiteral("Alpha"), cache); // not passed, same path
    const LeftoverItem otherRow = row(QStringLiteral("Beta"), other);
    const LeftoverItem permission = row(QStringLiteral("Alpha"), std::nullopt, LeftoverType::permission);

    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {cacheRow, otherRow, sameCache, permission, prefsRow});
    ScannerPublisher::setScanProgress(scanner, QStringLiteral("before"));
    ScannerPublisher::setRemovalFailures(scanner, {otherRow});
    QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
    QSignalSpy failuresSpy(&scanner, &Scanner::removalFailuresChanged);

    scanner.moveToTrash({cacheRow, prefsRow, permission});

    QVERIFY(!ScannerFixture::exists(cache));
    QVERIFY(!ScannerFixture::exists(prefs));
    QVERIFY(ScannerFixture::exists(f.trash.filesPath() + QStringLiteral("/com.example.alpha/data")));
    QVERIFY(ScannerFixture::exists(f.trash.filesPath() + QStringLiteral("/com.example.alpha.plist")));
    QVERIFY(ScannerFixture::exists(other));
    QCOMPARE(f.newLogMessages(), (QStringList{trashedLine(cacheRow), trashedLine(prefsRow)}));
    QCOMPARE(ScannerFixture::ids(scanner.items()), (QList<QUuid>{otherRow.id, permission.id}));
    QCOMPARE(itemsSpy.count(), 1);
    QCOMPARE(failuresSpy.count(), 1);
    QVERIFY(scanner.removalFailures().isEmpty());
    QCOMPARE(scanner.scanProgress(), QStringLiteral("before"));
}

void TestScannerTrash::samePathTwice()
{
    // The scan does not de-duplicate, so two selected rows may share a path.
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    const QString cache = f.mac.createDir(QStringLiteral("~/Library/Caches/com.example.alpha"));
    const LeftoverItem first = row(QStringLiteral("Alpha"), cache);
    const LeftoverItem second = row(QStringLiteral("Alpha"), cache, LeftoverType::log);

    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {first, second});
    ScannerPublisher::setScanProgress(scanner, QStringLiteral("before"));
    scanner.moveToTrash({first, second});

    // Already in the Trash: no administrator prompt, and no failure reported.
    QVERIFY(admin.requests().isEmpty());
    QVERIFY(ScannerFixture::exists(f.trash.filesPath() + QStringLiteral("/com.example.alpha")));
    QCOMPARE(f.newLogMessages(), (QStringList{trashedLine(first), trashedLine(second)}));
    QVERIFY(scanner.items().isEmpty());
    QVERIFY(scanner.removalFailures().isEmpty());
    QCOMPARE(scanner.scanProgress(), QStringLiteral("before"));
}

void TestScannerTrash::administratorFallback_data()
{
    QTest::addColumn<QStringList>("protectedPaths");
    QTest::addColumn<QStringList>("untrashablePaths");
    QTest::addColumn<QString>("promptName");

    QTest::newRow("one protected item") << QStringList{"/Library/Caches/com.example.alpha"} << QStringList{}
                                        << "Alpha";
    QTest::newRow("one Trash failure") << QStringList{} << QStringList{"~/Library/Caches/" + kVanished} << "Alpha";
    QTest::newRow("protected and Trash failure")
        << QStringList{"/Library/Logs/com.example.alpha"} << QStringList{"~/Library/Logs/" + kVanished}
        << "the selected items";
    QTest::newRow("two protected") << QStringList{"/usr/local/share/alpha", "/private/var/db/alpha"}
                                   << QStringList{} << "the selected items";
}

void TestScannerTrash::administratorFallback()
{
    QFETCH(QStringList, protectedPaths);
    QFETCH(QStringList, untrashablePaths);
    QFETCH(QString, promptName);
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);

    // Items the Trash fails on are passed first; the prompt still lists the protected ones first.
    QList<LeftoverItem> passed;
    QStringList expectedPaths;
    for (const QString &fake : untrashablePaths)
        passed << row(QStringLiteral("Alpha"), f.mac.path(fake));
    for (const QString &fake : protectedPaths) {
        passed << row(QStringLiteral("Alpha"), f.mac.createDir(fake));
        expectedPaths << *passed.last().path;
    }
    QList<LeftoverItem> expectedOrder = passed.mid(untrashablePaths.size());
    expectedOrder += passed.mid(0, untrashablePaths.size());
    for (qsizetype i = 0; i < untrashablePaths.size(); ++i)
        expectedPaths << *passed.at(i).path;
    expectedPaths.sort();

    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, passed);
    scanner.moveToTrash(passed);

    QCOMPARE(admin.requests().size(), 1);
    QCOMPARE(admin.requests().first().paths, expectedPaths);
    QCOMPARE(admin.requests().first().prompt,
             QStringLiteral("Quillmere needs administrator access to remove system-protected files for ") + promptName
                 + QLatin1Char('.'));
    QStringList expectedLog;
    for (const LeftoverItem &item : expectedOrder) {
        QVERIFY(!ScannerFixture::exists(*item.path));
        expectedLog << trashedLine(item);
    }
    QCOMPARE(f.newLogMessages(), expectedLog);
    QVERIFY(scanner.items().isEmpty());
    QVERIFY(scanner.removalFailures().isEmpty());
    QVERIFY(scanner.scanProgress().isEmpty());
}

void TestScannerTrash::cancelledPrompt()
{
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    admin.setBehaviour(FakeOsascript::Behaviour::CancelByText);
    const LeftoverItem trashed = row(QStringLiteral("Alpha"), f.mac.createFile(QStringLiteral("~/Library/Logs/a.log")));
    QList<LeftoverItem> locked;
    for (const QString &fake : {QStringLiteral("/Library/Caches/one"), QStringLiteral("/Library/Caches/two"),
                                QStringLiteral("/Library/Logs/three")})
        locked << row(QStringLiteral("Alpha"), f.mac.createDir(fake));
    const LeftoverItem refused = row(QStringLiteral("Alpha"), QStringLiteral("relative/path"));

    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, QList<LeftoverItem>{trashed} + locked);
    scanner.moveToTrash(QList<LeftoverItem>{locked.at(0), trashed, refused, locked.at(1), locked.at(2)});

    QCOMPARE(f.newLogMessages(),
             (QStringList{QStringLiteral("TRASH FAILED: relative/path — ") + kRefusedPlain,
                          QStringLiteral("ADMIN RM CANCELLED for the selected items (3 items)"),
                          trashedLine(trashed)}));
    for (const LeftoverItem &item : locked)
        QVERIFY(ScannerFixture::exists(*item.path));
    QCOMPARE(ScannerFixture::ids(scanner.items()), ScannerFixture::ids(locked));
    QCOMPARE(ScannerFixture::ids(scanner.removalFailures()), ScannerFixture::ids(QList<LeftoverItem>{refused} + locked));
    QCOMPARE(scanner.scanProgress(),
             QStringLiteral("1 items trashed, 4 could not be removed (Full Disk Access required)."));
}

void TestScannerTrash::partialFailure()
{
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    QList<LeftoverItem> trashed;
    for (const QString &fake : {QStringLiteral("~/Library/Caches/a"), QStringLiteral("~/Library/Caches/b"),
                                QStringLiteral("~/Library/Caches/c")})
        trashed << row(QStringLiteral("Alpha"), f.mac.createFile(fake));
    const LeftoverItem removedByAdmin = row(QStringLiteral("Alpha"), f.mac.createDir(QStringLiteral("/Library/Caches/a")));
    const LeftoverItem kept = row(QStringLiteral("Beta"), f.mac.createDir(QStringLiteral("/Library/Caches/b")));
    admin.keep({*kept.path});

    Scanner scanner(f.services());
    const QList<LeftoverItem> all = QList<LeftoverItem>{kept, removedByAdmin} + trashed;
    ScannerPublisher::setItems(scanner, all);
    scanner.moveToTrash(all);

    QStringList expectedLog{QStringLiteral("ADMIN RM FAILED: ") + *kept.path};
    for (const LeftoverItem &item : trashed)
        expectedLog << trashedLine(item);
    expectedLog << trashedLine(removedByAdmin);
    QCOMPARE(f.newLogMessages(), expectedLog);
    QVERIFY(ScannerFixture::exists(*kept.path));
    QVERIFY(!ScannerFixture::exists(*removedByAdmin.path));
    QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{kept.id});
    QCOMPARE(ScannerFixture::ids(scanner.removalFailures()), QList<QUuid>{kept.id});
    QCOMPARE(scanner.scanProgress(),
             QStringLiteral("4 items trashed, 1 could not be removed (Full Disk Access required)."));
}

void TestScannerTrash::refusals_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    // "%1" is the fake root; every path would name something that exists.
    QTest::newRow("relative") << "Users/tester/Library/Caches/keep" << kRefusedPlain;
    QTest::newRow("dot-dot") << "%1/Users/tester/Library/Caches/x/../keep" << kRefusedPlain;
    QTest::newRow("dot") << "%1/Users/tester/Library/Caches/./keep" << kRefusedPlain;
    QTest::newRow("empty component") << "%1/Users/tester/Library//Caches/keep" << kRefusedPlain;
    QTest::newRow("trailing slash") << "%1/Users/tester/Library/Caches/keep/" << kRefusedPlain;
    QTest::newRow("protected behind dot-dot") << "%1/Library/Caches/x/../../Caches" << kRefusedPlain;
    QTest::newRow("empty") << "" << kRefusedPlain;
    QTest::newRow("system library") << "%1/Library" << kRefusedProtected;
    QTest::newRow("applications") << "%1/Applications" << kRefusedProtected;
    QTest::newRow("users") << "%1/Users" << kRefusedProtected;
    QTest::newRow("root") << "%1" << kRefusedProtected;
    QTest::newRow("home") << "%1/Users/tester" << kRefusedProtected;
}

void TestScannerTrash::refusals()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    const QString keep = f.mac.createFile(QStringLiteral("~/Library/Caches/keep"), "k");
    f.mac.createDir(QStringLiteral("~/Library/Caches/x"));
    f.mac.createDir(QStringLiteral("/Library/Caches/x"));
    f.mac.createDir(QStringLiteral("/Applications"));
    path = path.contains(QLatin1String("%1")) ? path.arg(f.mac.root()) : path;
    const LeftoverItem refused = row(QStringLiteral("Alpha"), path);

    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {refused});
    scanner.moveToTrash({refused});

    QVERIFY(ScannerFixture::exists(keep));
    QVERIFY(ScannerFixture::exists(f.mac.path(QStringLiteral("/Library/Caches/x"))));
    QVERIFY(!ScannerFixture::exists(f.trash.filesPath()) || QDir(f.trash.filesPath()).isEmpty());
    QVERIFY(admin.requests().isEmpty());
    QCOMPARE(f.newLogMessages(), QStringList{QStringLiteral("TRASH FAILED: ") + path + QStringLiteral(" — ") + reason});
    QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{refused.id});
    QCOMPARE(ScannerFixture::ids(scanner.removalFailures()), QList<QUuid>{refused.id});
    QCOMPARE(scanner.scanProgress(),
             QStringLiteral("0 items trashed, 1 could not be removed (Full Disk Access required)."));
}

void TestScannerTrash::emptyList()
{
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    const LeftoverItem permission = row(QStringLiteral("Alpha"), std::nullopt, LeftoverType::permission);
    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {permission});
    ScannerPublisher::setRemovalFailures(scanner, {permission});
    ScannerPublisher::setScanProgress(scanner, QStringLiteral("before"));
    QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);

    scanner.moveToTrash({});
    scanner.moveToTrash({permission});

    QCOMPARE(itemsSpy.count(), 2);
    QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{permission.id});
    QVERIFY(scanner.removalFailures().isEmpty());
    QCOMPARE(scanner.scanProgress(), QStringLiteral("before"));
    QVERIFY(f.newLogMessages().isEmpty());
    QVERIFY(admin.requests().isEmpty());
}

void TestScannerTrash::trashFailuresKeepTheItem_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("readOnlyTrash");
    QTest::addColumn<QString>("failedLine");
    QTest::newRow("move, read-only Trash") << "move" << "~/Library/Caches/com.example.alpha" << true << "TRASH FAILED: ";
    QTest::newRow("move, folder holding the Trash") << "move" << "~/.local" << false << "TRASH FAILED: ";
    QTest::newRow("move, log folder") << "move" << "~/Library/Logs/Quillmere" << false << "TRASH FAILED: ";
    QTest::newRow("complete removal, read-only Trash")
        << "app" << "~/Library/Caches/com.example.alpha" << true << "TRASH FAILED: ";
    QTest::newRow("background removal, read-only Trash")
        << "background" << "~/Library/LaunchAgents/com.example.alpha.plist" << true << "BG ACTIVITY TRASH FAILED: ";
}

// A Trash that cannot take an item is no reason to delete it: nothing but the
// Trash and the log changes, and no administrator is asked.
void TestScannerTrash::trashFailuresKeepTheItem()
{
    if (Unprivileged::runningAsRoot()) {
        QByteArray output;
        const QString function = QStringLiteral("trashFailuresKeepTheItem:") + QString::fromUtf8(QTest::currentDataTag());
        QVERIFY2(Unprivileged::rerun(function, &output) == 0, output.constData());
        return;
    }
    QFETCH(QString, operation);
    QFETCH(QString, target);
    QFETCH(bool, readOnlyTrash);
    QFETCH(QString, failedLine);
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    f.logger.log(QStringLiteral("before"));
    const QString bundle = f.mac.createApp(QStringLiteral("/Applications/Alpha.app"), QStringLiteral("com.example.alpha"));
    const QString path = target.endsWith(QLatin1String(".plist")) ? f.mac.createFile(target)
                                                                   : f.mac.createFile(target + QStringLiteral("/data"));
    const LeftoverItem item = row(QStringLiteral("Alpha"), f.mac.path(target));
    QVERIFY(!f.trash.moveToTrash(f.mac.createFile(QStringLiteral("~/earlier"))));
    const auto setTrashWritable = [&](bool writable) {
        for (const QString &folder : {QStringLiteral("/files"), QStringLiteral("/info")})
            QFile::setPermissions(f.trash.homeTrashPath() + folder,
                                  QFile::ReadOwner | QFile::ExeOwner | (writable ? QFile::WriteOwner : QFile::Permissions()));
    };
    setTrashWritable(!readOnlyTrash);
    const auto restore = qScopeGuard([&] { setTrashWritable(true); }); // so that the fake Mac can be removed
    const auto before = f.fingerprint();

    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {item});
    QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
    if (operation == QLatin1String("move")) {
        scanner.moveToTrash({item});
    } else if (operation == QLatin1String("app")) {
        InstalledApp app;
        app.name = QStringLiteral("Alpha");
        app.bundleID = QStringLiteral("com.example.alpha");
        app.path = bundle;
        scanner.removeAppCompletely(app);
        QVERIFY(itemsSpy.wait());
    } else {
        LeftoverItem record = item;
        record.path.reset();
        scanner.removeBackgroundActivity({record});
        QVERIFY(itemsSpy.wait());
    }

    QVERIFY(admin.requests().isEmpty());
    QVERIFY(ScannerFixture::exists(path));
    QCOMPARE(f.fingerprint(), before);
    QVERIFY(ScannerFixture::exists(f.trash.filesPath() + QStringLiteral("/earlier")));
    const QStringList log = f.logMessages();
    QCOMPARE(log.first(), QStringLiteral("before"));
    const QString failed = failedLine + item.path.value() + QStringLiteral(" — ");
    QVERIFY2(std::any_of(log.cbegin(), log.cend(), [&](const QString &line) { return line.startsWith(failed); }),
             qPrintable(log.join(QLatin1Char('\n'))));
    const QList<LeftoverItem> failures = scanner.removalFailures();
    QCOMPARE(std::any_of(failures.cbegin(), failures.cend(), [&](const LeftoverItem &r) { return r.path == item.path; }),
             operation != QLatin1String("background"));
}

int main(int argc, char **argv)
{
    if (const auto exitCode = FakeOsascript::runIfRequested(argc, argv))
        return *exitCode;
    QCoreApplication app(argc, argv);
    TestScannerTrash test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_scanner_trash.moc"
