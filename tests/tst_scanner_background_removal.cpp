#include "core/Scanner.h"
#include "support/FakeOsascript.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

namespace {

const QString kLaunchctl = "/bin/launchctl";
const QString kPkill = "/usr/bin/pkill";
const QUrl kLoginItemsPane("x-apple.systempreferences:com.apple.LoginItems-Settings.extension");

LeftoverItem record(const QString &appName, const std::optional<QString> &bundleID)
{
    LeftoverItem item;
    item.appName = appName;
    item.bundleID = bundleID;
    item.type = LeftoverType::backgroundActivity;
    return item;
}

}

class TestScannerBackgroundRemoval : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void removesRecords()
    {
        ScannerFixture f;
        f.fakeTool(kLaunchctl);
        f.fakeTool(kPkill, QByteArray(), 1);
        FakeOsascript admin(f.mac.root(), f.runner);
        const QString userAgent = f.mac.createFile("~/Library/LaunchAgents/com.example.sync.plist");
        // Found for both sync labels: tried once, counted for both.
        const QString shared = f.mac.createFile("~/Library/LaunchAgents/com.example.sync.agent.plist");
        const QString daemon = f.mac.createFile("/Library/LaunchDaemons/com.example.helper.plist");
        const QString kept = f.mac.createFile("/Library/LaunchDaemons/com.example.kept.plist");
        admin.keep({kept});

        const LeftoverItem sync = record("Sync", "com.example.sync");
        const LeftoverItem syncAgent = record("Sync Agent", "com.example.sync.agent");
        const LeftoverItem helper = record("Helper", "com.example.helper");
        const LeftoverItem manual = record("Gamma", std::nullopt);
        const LeftoverItem manualApple = record("Apple", "com.apple.thing");
        const LeftoverItem stays = record("Kept", "com.example.kept");
        const LeftoverItem unrelated = record("Other", "com.example.other");

        Scanner scanner(f.services());
        const QList<LeftoverItem> passed{sync, syncAgent, helper, manual, manualApple, stays};
        ScannerPublisher::setItems(scanner, passed + QList<LeftoverItem>{unrelated});
        ScannerPublisher::setRemovalFailures(scanner, {unrelated});
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);

        // Nothing passed: failures cleared, nothing run, logged or opened.
        scanner.removeBackgroundActivity({});
        QVERIFY(scanner.removalFailures().isEmpty());
        QVERIFY(itemsSpy.wait());
        QCOMPARE(scanner.items().size(), 7);
        QVERIFY(f.newLogMessages().isEmpty() && f.workspace.openedUrls.isEmpty());
        QVERIFY(f.recordedCalls(kLaunchctl).isEmpty() && f.recordedCalls(kPkill).isEmpty());

        ScannerPublisher::setRemovalFailures(scanner, {unrelated});
        scanner.removeBackgroundActivity(passed);
        QVERIFY(scanner.removalFailures().isEmpty());
        QVERIFY(itemsSpy.wait());

        QCOMPARE(ScannerFixture::ids(scanner.items()), (QList<QUuid>{stays.id, unrelated.id}));
        QCOMPARE(f.workspace.openedUrls, QList<QUrl>{kLoginItemsPane});
        for (const QString &path : {userAgent, shared, daemon})
            QVERIFY(!QFileInfo::exists(path));
        QVERIFY(QFileInfo::exists(kept));
        QCOMPARE(admin.requests().size(), 1);
        QCOMPARE(admin.requests().first().paths, (QStringList{daemon, kept}));
        QVERIFY(admin.requests().first().prompt.endsWith(QLatin1String(" for background helpers.")));
        QCOMPARE(f.newLogMessages(),
                 (QStringList{
                     "BG ACTIVITY: unloaded + trashed " + shared,
                     "BG ACTIVITY: unloaded + trashed " + userAgent,
                     "BG ACTIVITY: admin-removed " + daemon,
                     "BG ACTIVITY ADMIN RM FAILED: " + kept,
                     "BG ACTIVITY REMOVED: com.example.sync",
                     "BG ACTIVITY REMOVED: com.example.sync.agent",
                     "BG ACTIVITY REMOVED: com.example.helper",
                     "BG ACTIVITY REMOVED: Gamma",
                     "BG ACTIVITY REMOVED: com.apple.thing",
                 }));
        // Unloaded by label; the rows without one or with Apple's start nothing.
        QCOMPARE(f.recordedCalls(kLaunchctl).size(), 4);
    }

    void cancelledPromptKeepsRow()
    {
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);
        admin.setBehaviour(FakeOsascript::Behaviour::CancelByText);
        const QString one = f.mac.createFile("/Library/LaunchAgents/com.example.helper.plist");
        const QString two = f.mac.createFile("/Library/LaunchDaemons/com.example.helper.plist");
        // The Trash cannot take the user's agent, for no lack of rights: not for the administrator.
        const QString agent = f.mac.createFile("~/Library/LaunchAgents/com.example.helper.plist");
        f.mac.createFile("~/.local/share/Trash/files");
        const LeftoverItem helper = record("Helper", "com.example.helper");
        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, {helper});
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);

        scanner.removeBackgroundActivity({helper});
        QVERIFY(itemsSpy.wait());

        QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{helper.id});
        QVERIFY(QFileInfo::exists(one) && QFileInfo::exists(two) && QFileInfo::exists(agent));
        QCOMPARE(admin.requests().size(), 1);
        QCOMPARE(admin.requests().first().paths, (QStringList{one, two}));
        QVERIFY(admin.requests().first().prompt.endsWith(QLatin1String(" for Helper.")));
        const QStringList log = f.newLogMessages();
        QCOMPARE(log.size(), 2);
        QVERIFY2(log.first().startsWith("BG ACTIVITY TRASH FAILED: " + agent + " — "), qPrintable(log.first()));
        QCOMPARE(log.last(), "BG ACTIVITY ADMIN RM CANCELLED (2 items)");
        QVERIFY(f.workspace.openedUrls.isEmpty());
        QVERIFY(scanner.removalFailures().isEmpty());
    }

    // Apple's jobs are never unloaded, stopped or searched; an installed
    // application whose ID extends a row's label keeps its jobs and processes.
    void leavesWhatIsNotItsOwn()
    {
        ScannerFixture f;
        f.fakeTool(kLaunchctl);
        f.fakeTool(kPkill, QByteArray(), 1);
        FakeOsascript admin(f.mac.root(), f.runner);
        f.mac.createApp("/Applications/IntelliJ CE.app", "com.jetbrains.intellij.ce");
        for (const char *path : {"/Library/LaunchDaemons/com.apple.sync.plist", "/Library/LaunchAgents/com.apple.Safari.agent.plist",
                                 "~/Library/LaunchAgents/com.jetbrains.intellij.ce.plist"})
            f.mac.createFile(QString::fromLatin1(path));
        const auto before = f.fingerprint();
        f.mac.createFile("~/Library/LaunchAgents/com.jetbrains.intellij.plist");
        const QList<LeftoverItem> rows{record("Apple", "com.apple"),
                                       record("Safari", "com.apple.Safari"),
                                       record("IntelliJ", "com.jetbrains.intellij")};
        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, rows);
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
        scanner.removeBackgroundActivity(rows);
        QVERIFY(itemsSpy.wait());

        QCOMPARE(f.fingerprint(), before);
        QVERIFY(admin.requests().isEmpty());
        QCOMPARE(f.recordedCalls(kLaunchctl).size(), 1);
        QVERIFY(f.recordedCalls(kLaunchctl).first().endsWith(QLatin1String("/com.jetbrains.intellij")));
        QCOMPARE(f.recordedCalls(kPkill),
                 QStringList{"-f|--|(^|[^[:alnum:]_.-])com\\.jetbrains\\.intellij([^[:alnum:]_.-]|$)"});
    }
};

int main(int argc, char **argv)
{
    if (const auto exitCode = FakeOsascript::runIfRequested(argc, argv))
        return *exitCode;
    QCoreApplication app(argc, argv);
    TestScannerBackgroundRemoval test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_scanner_background_removal.moc"
