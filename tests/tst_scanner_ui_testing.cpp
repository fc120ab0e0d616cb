#include "core/Scanner.h"
#include "support/FakeOsascript.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <vector>

// Runs with "--ui-testing" among the launch arguments (see main below).
class TestScannerUITesting : public QObject
{
    Q_OBJECT

private slots:
    void destructiveOperationsAreBlocked();
};

void TestScannerUITesting::destructiveOperationsAreBlocked()
{
    QVERIFY(Scanner::isUITesting());
    ScannerFixture f;
    FakeOsascript admin(f.mac.root(), f.runner);
    for (const char *tool : {"/usr/bin/tccutil", "/usr/bin/pkill", "/bin/launchctl"})
        f.fakeTool(QString::fromLatin1(tool));
    const QString bundle = f.mac.createApp(QStringLiteral("/Applications/Alpha.app"), QStringLiteral("com.example.alpha"));
    const QString cache = f.mac.createDir(QStringLiteral("~/Library/Caches/com.example.alpha"));
    const QString agent = f.mac.createFile(QStringLiteral("~/Library/LaunchAgents/com.example.alpha.plist"));

    const auto row = [&](LeftoverType type, const std::optional<QString> &path) {
        LeftoverItem item;
        item.appName = QStringLiteral("Alpha");
        item.bundleID = QStringLiteral("com.example.alpha");
        item.type = type;
        item.path = path;
        item.permissionService = path ? std::nullopt : std::optional(QStringLiteral("Camera"));
        return item;
    };
    const LeftoverItem cacheRow = row(LeftoverType::cache, cache);
    const LeftoverItem permission = row(LeftoverType::permission, std::nullopt);
    const LeftoverItem background = row(LeftoverType::backgroundActivity, std::nullopt);
    InstalledApp app;
    app.name = QStringLiteral("Alpha");
    app.bundleID = QStringLiteral("com.example.alpha");
    app.path = bundle;

    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, {cacheRow, permission, background});
    ScannerPublisher::setInstalledApps(scanner, {app});
    ScannerPublisher::setRemovalFailures(scanner, {cacheRow});
    ScannerPublisher::setScanProgress(scanner, QStringLiteral("before"));
    QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
    QSignalSpy failuresSpy(&scanner, &Scanner::removalFailuresChanged);
    QSignalSpy rosterSpy(&scanner, &Scanner::installedAppsChanged);
    QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

    scanner.moveToTrash({cacheRow, permission, background});
    scanner.moveToTrash({cacheRow});
    scanner.resetPermissions({permission});
    scanner.resetAllPermissions(QStringLiteral("com.example.alpha"), QStringLiteral("Alpha"));
    scanner.removeAppCompletely(app);
    scanner.removeBackgroundActivity({background, background});
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();

    QCOMPARE(f.newLogMessages(), (QStringList{
                                     QStringLiteral("UI-TEST: moveToTrash blocked (3 items)"),
                                     QStringLiteral("UI-TEST: moveToTrash blocked (1 items)"),
                                     QStringLiteral("UI-TEST: resetPermissions blocked (1 items)"),
                                     QStringLiteral("UI-TEST: resetAllPermissions blocked (com.example.alpha)"),
                                     QStringLiteral("UI-TEST: removeAppCompletely blocked (com.example.alpha)"),
                                     QStringLiteral("UI-TEST: removeBackgroundActivity blocked (2 items)"),
                                 }));
    QCOMPARE(itemsSpy.count() + failuresSpy.count() + rosterSpy.count() + progressSpy.count(), 0);
    QCOMPARE(scanner.items().size(), 3);
    QCOMPARE(scanner.removalFailures().size(), 1);
    QCOMPARE(scanner.installedApps().size(), 1);
    for (const QString &path : {bundle, cache, agent})
        QVERIFY(QFileInfo::exists(path));
    QVERIFY(admin.requests().isEmpty());
    for (const char *tool : {"/usr/bin/tccutil", "/usr/bin/pkill", "/bin/launchctl"})
        QVERIFY(f.recordedCalls(QString::fromLatin1(tool)).isEmpty());
    QVERIFY(f.workspace.openedUrls.isEmpty());
}

int main(int argc, char **argv)
{
    if (const auto exitCode = FakeOsascript::runIfRequested(argc, argv))
        return *exitCode;
    std::vector<char *> arguments(argv, argv + argc);
    char flag[] = "--ui-testing";
    arguments.push_back(flag);
    arguments.push_back(nullptr);
    int appArgc = argc + 1;
    QCoreApplication app(appArgc, arguments.data());
    TestScannerUITesting test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scanner_ui_testing.moc"
