#include "core/Scanner.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

namespace {

const QString kTccutil = QStringLiteral("/usr/bin/tccutil");

LeftoverItem permission(const QString &bundleID, const std::optional<QString> &service,
                        LeftoverType type = LeftoverType::permission)
{
    LeftoverItem item = ScannerFixture::row("Alpha", std::nullopt, type);
    item.bundleID = bundleID;
    item.permissionService = service;
    return item;
}

// A tccutil that records its arguments and fails for one service.
void fakeTccutil(ScannerFixture &f, bool present, const QString &failingService = QString())
{
    if (present)
        f.fakeTool(kTccutil, {}, 0, "[ \"$2\" = '" + failingService.toUtf8() + "' ] && exit 1");
}

}

class TestScannerPermissions : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void resetPermissions_data()
    {
        // Rows in items: 0 A Camera, 1 A Microphone, 2 A Screen Capture, 3 B Camera,
        // 4 A's cache file, 5 "com.example.Alpha" Camera, 6 A without service.
        QTest::addColumn<QList<int>>("passed");
        QTest::addColumn<bool>("toolPresent");
        QTest::addColumn<QString>("failingService");
        QTest::addColumn<QStringList>("expectedLog");
        QTest::addColumn<QStringList>("expectedCalls");
        QTest::addColumn<QList<int>>("remaining");
        const QString reset = "RESET PERMISSION: com.example.", failed = "RESET PERMISSION FAILED: com.example.";
        const QList<int> all = {0, 1, 2, 3, 4, 5, 6};
        QTest::newRow("two applications") << QList<int>{2, 3} << true << ""
                                          << QStringList{reset + "alpha [Screen Capture]", reset + "beta [Camera]"}
                                          << QStringList{"reset|ScreenCapture|com.example.alpha", "reset|Camera|com.example.beta"}
                                          << QList<int>{0, 1, 4, 5, 6};
        QTest::newRow("one fails") << QList<int>{0, 1} << true << "Microphone"
                                   << QStringList{reset + "alpha [Camera]", failed + "alpha [Microphone]"}
                                   << QStringList{"reset|Camera|com.example.alpha", "reset|Microphone|com.example.alpha"}
                                   << QList<int>{1, 2, 3, 4, 5, 6};
        QTest::newRow("no tool") << QList<int>{0, 3} << false << ""
                                 << QStringList{failed + "alpha [Camera]", failed + "beta [Camera]"} << QStringList{} << all;
        QTest::newRow("without service") << QList<int>{6} << true << "" << QStringList{} << QStringList{} << all;
    }
    void resetPermissions()
    {
        QFETCH(QList<int>, passed);
        QFETCH(bool, toolPresent);
        QFETCH(QString, failingService);
        QFETCH(QStringList, expectedLog);
        QFETCH(QStringList, expectedCalls);
        QFETCH(QList<int>, remaining);
        ScannerFixture f;
        fakeTccutil(f, toolPresent, failingService);
        LeftoverItem file = permission("com.example.alpha", std::nullopt, LeftoverType::cache);
        file.path = f.mac.createFile("~/Library/Caches/com.example.alpha");
        const QList<LeftoverItem> rows{permission("com.example.alpha", "Camera"), permission("com.example.alpha", "Microphone"),
                                       permission("com.example.alpha", "Screen Capture"), permission("com.example.beta", "Camera"),
                                       file, permission("com.example.Alpha", "Camera"), permission("com.example.alpha", std::nullopt)};
        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, rows);
        ScannerPublisher::setScanProgress(scanner, "before");
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
        QSignalSpy failuresSpy(&scanner, &Scanner::removalFailuresChanged);

        QList<LeftoverItem> selection;
        for (int i : passed)
            selection << rows.at(i);
        scanner.resetPermissions(selection);
        QVERIFY(itemsSpy.wait());

        QList<QUuid> expected;
        for (int i : remaining)
            expected << rows.at(i).id;
        QCOMPARE(ScannerFixture::ids(scanner.items()), expected);
        QCOMPARE(f.newLogMessages(), expectedLog);
        QCOMPARE(f.recordedCalls(kTccutil), expectedCalls);
        QCOMPARE(scanner.scanProgress(), "before");
        QCOMPARE(failuresSpy.count(), 0);
    }

    // Done, the tool failing, no tool: the rows leave only when it is done.
    void resetAllPermissions_data()
    {
        QTest::addColumn<bool>("toolPresent");
        QTest::addColumn<QString>("failingService");
        QTest::newRow("done") << true << "";
        QTest::newRow("tool fails") << true << "All";
        QTest::newRow("no tool") << false << "";
    }
    void resetAllPermissions()
    {
        QFETCH(bool, toolPresent);
        QFETCH(QString, failingService);
        const bool succeeds = toolPresent && failingService.isEmpty();
        ScannerFixture f;
        fakeTccutil(f, toolPresent, failingService);
        const QList<LeftoverItem> rows{permission("com.example.alpha", "Camera"),
                                       permission("com.example.alpha", std::nullopt, LeftoverType::loginItem),
                                       permission("com.example.Alpha", "Camera"), permission("com.example.alpha", "Microphone")};
        Scanner scanner(f.services());
        ScannerPublisher::setItems(scanner, rows);
        ScannerPublisher::setScanProgress(scanner, "before");
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
        QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

        scanner.resetAllPermissions("com.example.alpha", "Alpha");
        if (succeeds)
            QVERIFY(progressSpy.wait());
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(scanner.scanProgress(), succeeds ? "All permissions reset for \u2068Alpha\u2069." : "before");
        QCOMPARE(itemsSpy.count(), succeeds ? 1 : 0);
        QCOMPARE(ScannerFixture::ids(scanner.items()),
                 succeeds ? (QList<QUuid>{rows.at(1).id, rows.at(2).id}) : ScannerFixture::ids(rows));
        QCOMPARE(f.newLogMessages(),
                 QStringList{QString("RESET ALL PERMISSIONS%1: com.example.alpha").arg(succeeds ? "" : " FAILED")});
        QCOMPARE(f.recordedCalls(kTccutil), toolPresent ? QStringList{"reset|All|com.example.alpha"} : QStringList());
    }
};

QTEST_GUILESS_MAIN(TestScannerPermissions)
#include "tst_scanner_permissions.moc"
