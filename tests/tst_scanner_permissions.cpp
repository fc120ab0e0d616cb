#include "core/Scanner.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <memory>

namespace {

const QString kTccutil = QStringLiteral("/usr/bin/tccutil");

LeftoverItem permission(const QString &bundleID, const std::optional<QString> &service)
{
    LeftoverItem item;
    item.appName = QStringLiteral("Alpha");
    item.bundleID = bundleID;
    item.type = LeftoverType::permission;
    item.permissionService = service;
    return item;
}

// A tccutil that records its arguments and fails for one service.
void fakeTccutil(ScannerFixture &f, const QString &failingService = QString())
{
    f.mac.createDir(QStringLiteral("/fake-tools/usr/bin"));
    const QByteArray record = f.recordFile(kTccutil).toUtf8();
    const QString script = f.mac.createScript(
        QStringLiteral("/fake-tools/tccutil"),
        "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + record + "'; done\nprintf -- '--\\n' >> '" + record
            + "'\n[ \"$2\" = '" + failingService.toUtf8() + "' ] && exit 1\nexit 0\n");
    f.runner.setToolPath(kTccutil, script);
}

void settle()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

}

class TestScannerPermissions : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void resetPermissions_data();
    void resetPermissions();
    void resetAllPermissions_data();
    void resetAllPermissions();
    void scannerGoneBeforeTheEnd();
};

void TestScannerPermissions::resetPermissions_data()
{
    // Rows in items: 0 A Camera, 1 A Microphone, 2 A Screen Capture, 3 B Camera,
    // 4 A's cache file, 5 "com.example.Alpha" Camera, 6 A without service.
    QTest::addColumn<QList<int>>("passed");
    QTest::addColumn<bool>("toolPresent");
    QTest::addColumn<QString>("failingService");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::addColumn<QList<int>>("remaining");

    QTest::newRow("two of three") << QList<int>{0, 1} << true << QString()
                                  << QStringList{"RESET PERMISSION: com.example.alpha [Camera]",
                                                 "RESET PERMISSION: com.example.alpha [Microphone]"}
                                  << QStringList{"reset Camera com.example.alpha", "reset Microphone com.example.alpha"}
                                  << QList<int>{2, 3, 4, 5, 6};
    QTest::newRow("two applications") << QList<int>{2, 3} << true << QString()
                                      << QStringList{"RESET PERMISSION: com.example.alpha [Screen Capture]",
                                                     "RESET PERMISSION: com.example.beta [Camera]"}
                                      << QStringList{"reset ScreenCapture com.example.alpha",
                                                     "reset Camera com.example.beta"}
                                      << QList<int>{0, 1, 4, 5, 6};
    QTest::newRow("one fails") << QList<int>{0, 1} << true << QStringLiteral("Microphone")
                               << QStringList{"RESET PERMISSION: com.example.alpha [Camera]",
                                              "RESET PERMISSION FAILED: com.example.alpha [Microphone]"}
                               << QStringList{"reset Camera com.example.alpha", "reset Microphone com.example.alpha"}
                               << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("no tool") << QList<int>{0, 3} << false << QString()
                             << QStringList{"RESET PERMISSION FAILED: com.example.alpha [Camera]",
                                            "RESET PERMISSION FAILED: com.example.beta [Camera]"}
                             << QStringList{} << QList<int>{0, 1, 2, 3, 4, 5, 6};
    QTest::newRow("without service") << QList<int>{6} << true << QString() << QStringList{} << QStringList{}
                                     << QList<int>{0, 1, 2, 3, 4, 5, 6};
    QTest::newRow("nothing passed") << QList<int>{} << true << QString() << QStringList{} << QStringList{}
                                    << QList<int>{0, 1, 2, 3, 4, 5, 6};
}

void TestScannerPermissions::resetPermissions()
{
    QFETCH(QList<int>, passed);
    QFETCH(bool, toolPresent);
    QFETCH(QString, failingService);
    QFETCH(QStringList, expectedLog);
    QFETCH(QStringList, expectedCalls);
    QFETCH(QList<int>, remaining);

    ScannerFixture f;
    if (toolPresent)
        fakeTccutil(f, failingService);
    LeftoverItem file = permission(QStringLiteral("com.example.alpha"), std::nullopt);
    file.type = LeftoverType::cache;
    file.path = f.mac.createFile(QStringLiteral("~/Library/Caches/com.example.alpha"));
    const QList<LeftoverItem> rows{
        permission(QStringLiteral("com.example.alpha"), QStringLiteral("Camera")),
        permission(QStringLiteral("com.example.alpha"), QStringLiteral("Microphone")),
        permission(QStringLiteral("com.example.alpha"), QStringLiteral("Screen Capture")),
        permission(QStringLiteral("com.example.beta"), QStringLiteral("Camera")),
        file,
        permission(QStringLiteral("com.example.Alpha"), QStringLiteral("Camera")),
        permission(QStringLiteral("com.example.alpha"), std::nullopt),
    };
    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, rows);
    ScannerPublisher::setScanProgress(scanner, QStringLiteral("before"));
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
    QCOMPARE(scanner.scanProgress(), QStringLiteral("before"));
    QCOMPARE(failuresSpy.count(), 0);
}

void TestScannerPermissions::resetAllPermissions_data()
{
    QTest::addColumn<bool>("toolPresent");
    QTest::addColumn<QString>("failingService");
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::addColumn<bool>("rowsLeave");

    QTest::newRow("done") << true << QString() << "com.example.alpha"
                          << QStringList{"RESET ALL PERMISSIONS: com.example.alpha"}
                          << QStringList{"reset All com.example.alpha"} << true;
    QTest::newRow("no rows of the app") << true << QString() << "com.example.gamma"
                                        << QStringList{"RESET ALL PERMISSIONS: com.example.gamma"}
                                        << QStringList{"reset All com.example.gamma"} << false;
    QTest::newRow("tool fails") << true << QStringLiteral("All") << "com.example.alpha"
                                << QStringList{"RESET ALL PERMISSIONS FAILED: com.example.alpha"}
                                << QStringList{"reset All com.example.alpha"} << false;
    QTest::newRow("no tool") << false << QString() << "com.example.alpha"
                             << QStringList{"RESET ALL PERMISSIONS FAILED: com.example.alpha"} << QStringList{}
                             << false;
    // Without a bundle ID the tool would reset every application.
    QTest::newRow("empty bundle ID") << true << QString() << ""
                                     << QStringList{"RESET ALL PERMISSIONS FAILED: "} << QStringList{} << false;
}

void TestScannerPermissions::resetAllPermissions()
{
    QFETCH(bool, toolPresent);
    QFETCH(QString, failingService);
    QFETCH(QString, bundleID);
    QFETCH(QStringList, expectedLog);
    QFETCH(QStringList, expectedCalls);
    QFETCH(bool, rowsLeave);

    ScannerFixture f;
    if (toolPresent)
        fakeTccutil(f, failingService);
    LeftoverItem loginItem = permission(QStringLiteral("com.example.alpha"), std::nullopt);
    loginItem.type = LeftoverType::loginItem;
    const QList<LeftoverItem> rows{
        permission(QStringLiteral("com.example.alpha"), QStringLiteral("Camera")),
        loginItem,
        permission(QStringLiteral("com.example.Alpha"), QStringLiteral("Camera")),
        permission(QStringLiteral("com.example.alpha"), QStringLiteral("Microphone")),
    };
    Scanner scanner(f.services());
    ScannerPublisher::setItems(scanner, rows);
    ScannerPublisher::setScanProgress(scanner, QStringLiteral("before"));
    QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
    QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

    scanner.resetAllPermissions(bundleID, QStringLiteral("Alpha"));
    const bool succeeds = expectedLog.first().startsWith(QLatin1String("RESET ALL PERMISSIONS: "));
    if (succeeds) {
        QVERIFY(progressSpy.wait());
        QCOMPARE(scanner.scanProgress(), QStringLiteral("All permissions reset for Alpha."));
        QCOMPARE(itemsSpy.count(), 1);
    } else {
        settle();
        QCOMPARE(scanner.scanProgress(), QStringLiteral("before"));
        QCOMPARE(itemsSpy.count(), 0);
    }
    QCOMPARE(ScannerFixture::ids(scanner.items()), rowsLeave ? (QList<QUuid>{rows.at(1).id, rows.at(2).id}) : ScannerFixture::ids(rows));
    QCOMPARE(f.newLogMessages(), expectedLog);
    QCOMPARE(f.recordedCalls(kTccutil), expectedCalls);
}

void TestScannerPermissions::scannerGoneBeforeTheEnd()
{
    ScannerFixture f;
    fakeTccutil(f);
    auto scanner = std::make_unique<Scanner>(f.services());
    ScannerPublisher::setItems(*scanner, {permission(QStringLiteral("com.example.alpha"), QStringLiteral("Camera"))});
    scanner->resetPermissions(scanner->items());
    scanner->resetAllPermissions(QStringLiteral("com.example.alpha"), QStringLiteral("Alpha"));
    scanner.reset();
    settle();
    // The resets ran all the same.
    QCOMPARE(f.recordedCalls(kTccutil).size(), 2);
    QCOMPARE(f.newLogMessages().size(), 2);
}

QTEST_GUILESS_MAIN(TestScannerPermissions)
#include "tst_scanner_permissions.moc"
