#include "core/ProtectedPaths.h"
#include "core/RemovalPipeline.h"
#include "core/Scanner.h"
#include "support/FakeOsascript.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "support/Unprivileged.h"

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

namespace {

const QString kRefusedPlain = QStringLiteral("The path was refused because it is not a plain absolute path.");
const QString kRefusedProtected = QStringLiteral("The path was refused because it is a protected folder.");
const QString kPrompt = QStringLiteral("Quillmere needs administrator access to remove system-protected files for ");

LeftoverItem row(const QString &appName, const std::optional<QString> &path, LeftoverType type = LeftoverType::cache)
{
    return ScannerFixture::row(appName, path, type);
}
auto trashedLine = ScannerFixture::trashedLine;
auto ids = ScannerFixture::ids;
auto exists = ScannerFixture::exists;

QString failedText(int trashed, int failed)
{
    return QStringLiteral("%1 items trashed, %2 could not be removed (Full Disk Access required).").arg(trashed).arg(failed);
}

}

class TestScannerTrash : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void protectedPathRule_data()
    {
        QTest::addColumn<QString>("roots"); // fake; real: "/" as the root; outside: a path outside the fake root
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("administrator");
        QTest::newRow("system") << "fake" << "/System/Library/x" << true;
        QTest::newRow("look-alike") << "fake" << "/LibraryX/y" << false;
        QTest::newRow("user library") << "fake" << "~/Library/Caches/com.example.a" << false;
        QTest::newRow("writable applications") << "fake" << "/Applications/Example.app" << false;
        QTest::newRow("missing applications subfolder") << "fake" << "/Applications/Missing/Example.app" << true;
        // Judged as plain text: nothing on this machine is looked at.
        QTest::newRow("real root, system") << "real" << "/Library/Caches/com.example.a" << true;
        QTest::newRow("outside a fake root") << "outside" << "/Library/Caches/x" << false;
    }
    void protectedPathRule()
    {
        QFETCH(QString, roots);
        QFETCH(QString, path);
        QFETCH(bool, administrator);
        ScannerFixture f;
        f.mac.createDir("/Applications");
        if (roots == "real")
            QCOMPARE(ProtectedPaths::needsAdministrator({"/Users/tester", "/"}, path), administrator);
        else
            QCOMPARE(ProtectedPaths::needsAdministrator(f.mac.roots(), roots == "fake" ? f.mac.path(path) : path),
                     administrator);
    }

    // Unwritable only for a user who is not root; the prompt itself is the fallback test's.
    void unwritableApplicationsFolder()
    {
        if (Unprivileged::runningAsRoot()) {
            QByteArray output;
            QVERIFY2(Unprivileged::rerun("unwritableApplicationsFolder", &output) == 0, output.constData());
            return;
        }
        FakeMac mac;
        const QString locked = mac.createApp("/Applications/Locked.app", "com.example.locked");
        const QString mine = mac.createApp("/Applications/Mine/Own.app", "com.example.own");
        QFile::setPermissions(mac.path("/Applications"),
                              QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QVERIFY(ProtectedPaths::needsAdministrator(mac.roots(), locked));
        QVERIFY(!ProtectedPaths::needsAdministrator(mac.roots(), mine));
    }

    void movesToTheTrash()
    {
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);
        const QString cache = f.mac.createDir("~/Library/Caches/com.example.alpha");
        f.mac.createFile("~/Library/Caches/com.example.alpha/data", "x");
        const LeftoverItem cacheRow = row("Alpha", cache);
        const LeftoverItem prefsRow = row("Alpha", f.mac.createFile("~/Library/Preferences/a.plist"), LeftoverType::preference);
        const LeftoverItem sameCache = row("Alpha", cache, LeftoverType::log); // the scan does not de-duplicate
        const LeftoverItem notPassed = row("Alpha", cache); // not passed, same path
        const LeftoverItem otherRow = row("Beta", f.mac.createFile("~/Library/Caches/com.example.beta", "b"));
        const LeftoverItem permission = row("Alpha", std::nullopt, LeftoverType::permission);

        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, {cacheRow, otherRow, notPassed, permission, prefsRow, sameCache});
        ScannerPublisher::setScanProgress(scanner, "before");
        ScannerPublisher::setRemovalFailures(scanner, {otherRow});
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
        QSignalSpy failuresSpy(&scanner, &Scanner::removalFailuresChanged);

        scanner.moveToTrash({});
        QCOMPARE(itemsSpy.count(), 1);
        QVERIFY(scanner.removalFailures().isEmpty());
        ScannerPublisher::setRemovalFailures(scanner, {otherRow});
        scanner.moveToTrash({cacheRow, prefsRow, permission, sameCache});

        QVERIFY(!exists(cache) && !exists(*prefsRow.path) && exists(*otherRow.path));
        QVERIFY(exists(f.trash.filesPath() + "/com.example.alpha/data"));
        QVERIFY(exists(f.trash.filesPath() + "/a.plist"));
        // The second row of the path: already in the Trash, so no prompt and no failure.
        QVERIFY(admin.requests().isEmpty());
        QCOMPARE(f.newLogMessages(), (QStringList{trashedLine(cacheRow), trashedLine(prefsRow), trashedLine(sameCache)}));
        QCOMPARE(ids(scanner.items()), (QList<QUuid>{otherRow.id, permission.id}));
        QCOMPARE(itemsSpy.count(), 2);
        QCOMPARE(failuresSpy.count(), 3);
        QVERIFY(scanner.removalFailures().isEmpty());
        QCOMPARE(scanner.scanProgress(), "before");
    }

    void administratorFallback_data()
    {
        QTest::addColumn<QStringList>("protectedPaths");
        QTest::addColumn<QStringList>("untrashablePaths"); // not there: the Trash fails with a Cocoa error, not 513
        QTest::addColumn<QString>("promptName");
        QTest::newRow("one protected item") << QStringList{"/Library/Caches/com.example.alpha"} << QStringList{}
                                            << "Alpha";
        QTest::newRow("one Trash failure") << QStringList{} << QStringList{"~/Library/Caches/vanished"} << "Alpha";
        QTest::newRow("protected and Trash failure") << QStringList{"/Library/Logs/com.example.alpha"}
                                                     << QStringList{"~/Library/Logs/vanished"} << "the selected items";
        QTest::newRow("two protected") << QStringList{"/usr/local/share/alpha", "/private/var/db/alpha"}
                                       << QStringList{} << "the selected items";
    }
    void administratorFallback()
    {
        QFETCH(QStringList, protectedPaths);
        QFETCH(QStringList, untrashablePaths);
        QFETCH(QString, promptName);
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);

        // Items the Trash fails on are passed first; the prompt still lists the protected ones first.
        QList<LeftoverItem> untrashable, locked;
        QStringList expectedPaths;
        for (const QString &fake : untrashablePaths)
            untrashable << row("Alpha", f.mac.path(fake));
        for (const QString &fake : protectedPaths)
            locked << row("Alpha", f.mac.createDir(fake));
        QStringList expectedLog;
        for (const LeftoverItem &item : locked + untrashable)
            expectedPaths << *item.path, expectedLog << trashedLine(item);
        expectedPaths.sort();

        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, untrashable + locked);
        scanner.moveToTrash(untrashable + locked);

        QCOMPARE(admin.requests().size(), 1);
        QCOMPARE(admin.requests().first().paths, expectedPaths);
        QCOMPARE(admin.requests().first().prompt, kPrompt + promptName + '.');
        for (const QString &path : expectedPaths)
            QVERIFY(!exists(path));
        QCOMPARE(f.newLogMessages(), expectedLog);
        QVERIFY(scanner.items().isEmpty());
        QVERIFY(scanner.removalFailures().isEmpty());
        QVERIFY(scanner.scanProgress().isEmpty());
    }

    // A cancelled prompt keeps every item it named; a finished one keeps only
    // what it could not remove. Either way they are failures, with the refused path.
    void administratorOutcome_data()
    {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("cancelled") << true;
        QTest::newRow("one item kept") << false;
    }
    void administratorOutcome()
    {
        QFETCH(bool, cancelled);
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);
        const LeftoverItem trashed = row("Alpha", f.mac.createFile("~/Library/Logs/a.log"));
        const LeftoverItem removable = row("Alpha", f.mac.createDir("/Library/Caches/one"));
        const LeftoverItem kept = row("Beta", f.mac.createDir("/Library/Logs/two"));
        const LeftoverItem refused = row("Alpha", "relative/path");
        if (cancelled)
            admin.setBehaviour(FakeOsascript::Behaviour::CancelByText);
        else
            admin.keep({*kept.path});

        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, {trashed, removable, kept});
        scanner.moveToTrash({removable, trashed, refused, kept});

        QStringList log{"TRASH FAILED: relative/path — " + kRefusedPlain};
        QList<LeftoverItem> stay{kept};
        if (cancelled) {
            log << "ADMIN RM CANCELLED for the selected items (2 items)" << trashedLine(trashed);
            stay.prepend(removable);
        } else {
            log << "ADMIN RM FAILED: " + *kept.path << trashedLine(trashed) << trashedLine(removable);
        }
        QCOMPARE(f.newLogMessages(), log);
        QCOMPARE(exists(*removable.path), cancelled);
        QVERIFY(exists(*kept.path));
        QCOMPARE(ids(scanner.items()), ids(stay));
        QCOMPARE(ids(scanner.removalFailures()), ids(QList<LeftoverItem>{refused} + stay));
        QCOMPARE(scanner.scanProgress(), failedText(3 - int(stay.size()), 1 + int(stay.size())));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        // "%1" is the fake root; every path would name something that exists.
        QTest::newRow("relative") << "Users/tester/Library/Caches/keep" << kRefusedPlain;
        QTest::newRow("dot-dot") << "%1/Users/tester/Library/Caches/x/../keep" << kRefusedPlain;
        QTest::newRow("dot") << "%1/Users/tester/Library/Caches/./keep" << kRefusedPlain;
        QTest::newRow("empty component") << "%1/Users/tester/Library//Caches/keep" << kRefusedPlain;
        QTest::newRow("root") << "%1" << kRefusedProtected;
        QTest::newRow("home") << "%1/Users/tester" << kRefusedProtected;
        QTest::newRow("folder holding the Trash") << "%1/Users/tester/.local" << kRefusedProtected;
        QTest::newRow("log folder") << "%1/Users/tester/Library/Logs/Quillmere" << kRefusedProtected;
    }
    void refusals()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);
        f.mac.createFile("~/Library/Caches/keep", "k");
        f.mac.createDir("~/Library/Caches/x");
        QVERIFY(!f.trash.moveToTrash(f.mac.createFile("~/earlier")));
        const auto before = f.fingerprint();
        path = path.contains("%1") ? path.arg(f.mac.root()) : path;
        const LeftoverItem refused = row("Alpha", path);

        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, {refused});
        scanner.moveToTrash({refused});

        QCOMPARE(f.fingerprint(), before);
        QCOMPARE(QDir(f.trash.filesPath()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"earlier"});
        QVERIFY(admin.requests().isEmpty());
        QCOMPARE(f.newLogMessages(), QStringList{"TRASH FAILED: " + path + " — " + reason});
        QCOMPARE(ids(scanner.items()), QList<QUuid>{refused.id});
        QCOMPARE(ids(scanner.removalFailures()), QList<QUuid>{refused.id});
        QCOMPARE(scanner.scanProgress(), failedText(0, 1));
    }

    // A refused path stays out of the prompt, also below a prefix that asks for
    // it and in a case the Mac's file system takes for the same folder; the
    // prompt still removes the other protected item.
    void refusedPathNeverReachesTheAdministrator_data()
    {
        QTest::addColumn<QString>("home"); // the home folder, fake
        QTest::addColumn<QString>("path"); // "%1" is the fake root
        QTest::addColumn<QString>("reason");
        const QString home = "/Users/tester";
        QTest::newRow("system root") << home << "%1/Library" << kRefusedProtected;
        QTest::newRow("system root in upper case") << home << "%1/LIBRARY" << kRefusedProtected;
        QTest::newRow("system root with a slash, below /Library/") << home << "%1/Library/" << kRefusedPlain;
        QTest::newRow("dot-dot to /Library, below /Library/") << home << "%1/Library/Caches/.." << kRefusedPlain;
        QTest::newRow("dot-dot to /usr, below /usr/local/") << home << "%1/usr/local/.." << kRefusedPlain;
        QTest::newRow("dot-dot to the home folder, below /private/var/")
            << home << "%1/private/var/../../Users/tester" << kRefusedPlain;
        QTest::newRow("home folder in another case") << home << "%1/Users/TESTER" << kRefusedProtected;
        const QString varHome = "/private/var/root";
        QTest::newRow("home folder below /private/var/") << varHome << "%1/private/var/root" << kRefusedProtected;
        QTest::newRow("home folder below /private/var/, another case")
            << varHome << "%1/private/var/Root" << kRefusedProtected;
    }
    void refusedPathNeverReachesTheAdministrator()
    {
        QFETCH(QString, home);
        QFETCH(QString, path);
        QFETCH(QString, reason);
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);
        ScannerServices services = f.services();
        services.roots.home = f.mac.createDir(home);
        f.mac.createFile(home + "/keep", "k");
        for (const char *folder : {"/usr/local/bin", "/private/var/db"})
            f.mac.createDir(QString::fromLatin1(folder));
        const LeftoverItem other = row("Beta", f.mac.createDir("/Library/Caches/com.example.beta"));
        f.mac.createFile("/Library/Caches/com.example.beta/data", "b");
        path = path.arg(f.mac.root());
        const LeftoverItem refused = row("Alpha", path);

        Scanner scanner(services);
        ScannerPublisher::setItems(scanner, {refused, other});
        scanner.moveToTrash({refused, other});

        QCOMPARE(admin.requests().size(), 1);
        QCOMPARE(admin.requests().first().paths, QStringList{*other.path});
        QCOMPARE(f.newLogMessages(), (QStringList{"TRASH FAILED: " + path + " — " + reason, trashedLine(other)}));
        QVERIFY(!exists(*other.path));
        QVERIFY(exists(f.mac.path(home + "/keep")));
        QCOMPARE(ids(scanner.items()), QList<QUuid>{refused.id});
        QCOMPARE(ids(scanner.removalFailures()), QList<QUuid>{refused.id});
    }

    // Which failed moves to the Trash the administrator prompt takes over.
    void administratorRetryRule_data()
    {
        QTest::addColumn<QString>("domain");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("noWritePermission"); // Retry::NoWritePermission
        QTest::addColumn<bool>("anyItemError");      // Retry::AnyItemError
        const QString cocoa = "NSCocoaErrorDomain", trash = "QuillmereTrashErrorDomain";
        QTest::newRow("folder refuses") << cocoa << 513 << true << true;
        QTest::newRow("vanished") << cocoa << 4 << false << true;
        QTest::newRow("out of space") << trash << int(TrashError::OutOfSpace) << false << false;
        QTest::newRow("513 of another domain") << trash << 513 << false << false;
    }
    void administratorRetryRule()
    {
        QFETCH(QString, domain);
        QFETCH(int, code);
        QFETCH(bool, noWritePermission);
        QFETCH(bool, anyItemError);
        const TrashError error{domain, code, "description"};
        QCOMPARE(RemovalPipeline::retriesThroughAdministrator(error, RemovalPipeline::Retry::NoWritePermission),
                 noWritePermission);
        QCOMPARE(RemovalPipeline::retriesThroughAdministrator(error, RemovalPipeline::Retry::AnyItemError),
                 anyItemError);
    }

    // A Trash that cannot take an item is no reason to delete it: nothing but the
    // log changes, and no administrator is asked.
    void readOnlyTrashKeepsTheItem()
    {
        if (Unprivileged::runningAsRoot()) {
            QByteArray output;
            QVERIFY2(Unprivileged::rerun("readOnlyTrashKeepsTheItem", &output) == 0, output.constData());
            return;
        }
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);
        f.mac.createFile("~/Library/Caches/com.example.alpha/data");
        const LeftoverItem item = row("Alpha", f.mac.path("~/Library/Caches/com.example.alpha"));
        QVERIFY(!f.trash.moveToTrash(f.mac.createFile("~/earlier")));
        const auto setTrashWritable = [&](bool writable) {
            for (const char *folder : {"/files", "/info"})
                QFile::setPermissions(f.trash.homeTrashPath() + folder, QFile::ReadOwner | QFile::ExeOwner
                                          | (writable ? QFile::WriteOwner : QFile::Permissions()));
        };
        setTrashWritable(false);
        const auto restore = qScopeGuard([&] { setTrashWritable(true); }); // so that the fake Mac can be removed
        const auto before = f.fingerprint();

        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, {item});
        scanner.moveToTrash({item});

        QVERIFY(admin.requests().isEmpty());
        QCOMPARE(f.fingerprint(), before);
        QVERIFY(exists(f.trash.filesPath() + "/earlier"));
        const QStringList log = f.newLogMessages();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.last().startsWith("TRASH FAILED: " + *item.path + " — "), qPrintable(log.last()));
        QCOMPARE(ids(scanner.removalFailures()), QList<QUuid>{item.id});
    }
};

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
