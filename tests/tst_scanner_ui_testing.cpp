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

namespace {
const QStringList kTools{"/usr/bin/tccutil", "/usr/bin/pkill", "/bin/launchctl"};
}

// Runs with "--ui-testing" among the launch arguments (see main below).
class TestScannerUITesting : public QObject
{
    Q_OBJECT

private slots:
    void destructiveOperationsAreBlocked()
    {
        QVERIFY(Scanner::isUITesting());
        ScannerFixture f;
        FakeOsascript admin(f.mac.root(), f.runner);
        for (const QString &tool : kTools)
            f.fakeTool(tool);
        InstalledApp app;
        app.name = "Alpha";
        app.bundleID = "com.example.alpha";
        app.path = f.mac.createApp("/Applications/Alpha.app", "com.example.alpha");
        const LeftoverItem cacheRow = ScannerFixture::row("Alpha", f.mac.createDir("~/Library/Caches/com.example.alpha"));
        LeftoverItem permission = ScannerFixture::row("Alpha", std::nullopt, LeftoverType::permission);
        permission.permissionService = "Camera";
        const LeftoverItem background = ScannerFixture::row("Alpha", std::nullopt, LeftoverType::backgroundActivity);
        const QString agent = f.mac.createFile("~/Library/LaunchAgents/com.example.alpha.plist");

        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, {cacheRow, permission, background});
        ScannerPublisher::setInstalledApps(scanner, {app});
        ScannerPublisher::setRemovalFailures(scanner, {cacheRow});
        ScannerPublisher::setScanProgress(scanner, "before");
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
        QSignalSpy failuresSpy(&scanner, &Scanner::removalFailuresChanged);
        QSignalSpy rosterSpy(&scanner, &Scanner::installedAppsChanged);
        QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

        scanner.moveToTrash({cacheRow, permission, background});
        scanner.resetPermissions({permission});
        scanner.resetAllPermissions("com.example.alpha", "Alpha");
        scanner.removeAppCompletely(app);
        scanner.removeBackgroundActivity({background, background});
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();

        QCOMPARE(f.newLogMessages(), (QStringList{"UI-TEST: moveToTrash blocked (3 items)",
                                                  "UI-TEST: resetPermissions blocked (1 items)",
                                                  "UI-TEST: resetAllPermissions blocked (com.example.alpha)",
                                                  "UI-TEST: removeAppCompletely blocked (com.example.alpha)",
                                                  "UI-TEST: removeBackgroundActivity blocked (2 items)"}));
        QCOMPARE(itemsSpy.count() + failuresSpy.count() + rosterSpy.count() + progressSpy.count(), 0);
        QCOMPARE(scanner.items().size(), 3);
        QCOMPARE(scanner.removalFailures().size(), 1);
        QCOMPARE(scanner.installedApps().size(), 1);
        for (const QString &path : {app.path, *cacheRow.path, agent})
            QVERIFY(QFileInfo::exists(path));
        QVERIFY(admin.requests().isEmpty());
        for (const QString &tool : kTools)
            QVERIFY(f.recordedCalls(tool).isEmpty());
        QVERIFY(f.workspace.openedUrls.isEmpty());
    }
};

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
