#include "core/Scanner.h"
#include "support/FakeOsascript.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "support/TccDatabase.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <algorithm>
#include <memory>
#include <stop_token>

namespace {

const QString kTccutil = QStringLiteral("/usr/bin/tccutil");
const QString kPkill = QStringLiteral("/usr/bin/pkill");

LeftoverItem found(const std::optional<QString> &path, LeftoverType type, const QString &service = QString())
{
    LeftoverItem item = ScannerFixture::row("Alpha", path, type);
    if (!service.isEmpty())
        item.permissionService = service;
    return item;
}

QString trashedLine(const QString &path, LeftoverType type)
{
    return ScannerFixture::trashedLine(found(path, type));
}

InstalledApp app(const QString &name, const QString &bundleID, const QString &path)
{
    InstalledApp a;
    a.name = name;
    a.bundleID = bundleID;
    a.path = path;
    return a;
}

// A tccutil, a pkill that finds nothing and a fake administrator.
struct RemovalMac : ScannerFixture
{
    explicit RemovalMac(bool tccutil = true)
    {
        if (tccutil)
            fakeTool(kTccutil);
        fakeTool(kPkill, {}, 1);
    }
    FakeOsascript admin{mac.root(), runner};
};

// An installed Alpha with leftovers in the user's and the system's Library and
// Camera and Microphone granted to it.
struct AlphaMac : RemovalMac
{
    explicit AlphaMac(bool tccutil = true)
        : RemovalMac(tccutil)
    {
        TccDatabase::create(mac.path("~/Library/Application Support/com.apple.TCC/TCC.db"),
                            {"com.example.alpha|0|kTCCServiceCamera|2|1", "com.example.alpha|0|kTCCServiceMicrophone|2|1"});
    }
    const QString bundle = mac.createApp("/Applications/Alpha.app", "com.example.alpha");
    const QString preferences = mac.createFile("~/Library/Preferences/com.example.alpha.plist");
    const QString userCache = mac.createDir("~/Library/Caches/com.example.alpha");
    const QString systemCache = mac.createDir("/Library/Caches/com.example.alpha");
    const InstalledApp alpha = app("Alpha", "com.example.alpha", bundle);
};

}

class TestScannerAppRemoval : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    // Quitting before the first leftover is touched leaves every one in place,
    // asks no tool and no administrator, and says so in the log.
    void quittingBeforeTheLeftoversLeavesThemInPlace()
    {
        AlphaMac f;
        std::stop_source quitting;
        ScannerServices services = f.services();
        services.quitting = quitting.get_token();
        Scanner scanner(services);
        quitting.request_stop();
        QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);
        scanner.removeAppCompletely(f.alpha);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();

        for (const QString &path : {f.preferences, f.userCache, f.systemCache})
            QVERIFY2(ScannerFixture::exists(path), qPrintable(path));
        QCOMPARE(f.newLogMessages(),
                 (QStringList{"REMOVE APP: Alpha (com.example.alpha)", "TRASHED APP BUNDLE: " + f.bundle,
                              "REMOVE APP STOPPED: Alpha — the application quit before its leftovers were removed"}));
        QVERIFY(f.recordedCalls(kTccutil).isEmpty());
        QVERIFY(f.admin.requests().isEmpty());
        QCOMPARE(progressSpy.count(), 0);
    }

    void removesEverything()
    {
        AlphaMac f;
        const InstalledApp beta = app("Beta", "com.example.beta", f.mac.createApp("/Applications/Beta.app", "com.example.beta"));
        const LeftoverItem cacheRow = found(f.userCache, LeftoverType::cache);
        const LeftoverItem otherApp = found(f.mac.createDir("~/Library/Caches/com.example.alphabet"), LeftoverType::cache);
        const LeftoverItem notFoundPermission = found(std::nullopt, LeftoverType::permission, "Photos");
        const LeftoverItem backgroundRecord = found(std::nullopt, LeftoverType::backgroundActivity, "Agent");

        Scanner scanner(f.services());
        ScannerPublisher::setInstalledApps(scanner, {beta, f.alpha});
        ScannerPublisher::setItems(scanner, {cacheRow, otherApp, notFoundPermission, backgroundRecord});
        ScannerPublisher::setRemovalFailures(scanner, {otherApp});
        QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);

        scanner.removeAppCompletely(f.alpha);
        // Before the task: the roster row is gone and old failures are cleared.
        QCOMPARE(scanner.installedApps().size(), 1);
        QCOMPARE(scanner.installedApps().first().id, beta.id);
        QVERIFY(scanner.removalFailures().isEmpty());
        QVERIFY(progressSpy.wait());

        QCOMPARE(scanner.scanProgress(), "\u2068Alpha\u2069 removed — 5 items cleaned up.");
        QVERIFY(scanner.removalFailures().isEmpty());
        QCOMPARE(ScannerFixture::ids(scanner.items()), QList<QUuid>{otherApp.id});
        for (const QString &path : {f.bundle, f.preferences, f.userCache, f.systemCache})
            QVERIFY2(!ScannerFixture::exists(path), qPrintable(path));
        QVERIFY(ScannerFixture::exists(f.trash.filesPath() + "/Alpha.app"));
        QVERIFY(ScannerFixture::exists(*otherApp.path));
        QCOMPARE(f.newLogMessages(), (QStringList{
                                         "REMOVE APP: Alpha (com.example.alpha)",
                                         "TRASHED APP BUNDLE: " + f.bundle,
                                         "FOUND 5 leftovers for Alpha",
                                         trashedLine(f.userCache, LeftoverType::cache),
                                         trashedLine(f.preferences, LeftoverType::preference),
                                         trashedLine(f.systemCache, LeftoverType::cache),
                                         "RESET PERMISSION: com.example.alpha [Camera]",
                                         "RESET PERMISSION: com.example.alpha [Microphone]",
                                         "REMOVE APP DONE: Alpha — 5 items cleaned, 0 failed",
                                     }));
        QCOMPARE(f.admin.requests().size(), 1);
        QCOMPARE(f.admin.requests().first().paths, QStringList{f.systemCache});
        QVERIFY(f.admin.requests().first().prompt.endsWith(" for Alpha."));
        QCOMPARE(f.recordedCalls(kTccutil), (QStringList{"reset|Camera|com.example.alpha",
                                                         "reset|Microphone|com.example.alpha", "reset|All|com.example.alpha"}));
        QCOMPARE(f.recordedCalls(kPkill),
                 QStringList{"-f|--|(^|[^[:alnum:]_.-])com\\.example\\.alpha([^[:alnum:]_-]|$)"});
    }

    // What goes wrong on the way; every file found goes unless the row keeps it.
    void whatGoesWrong_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("logged");   // lines starting so; "%1": the fake root
        QTest::addColumn<QString>("done");         // the counts of the last log line
        QTest::addColumn<QString>("progress");     // none: the Scanner is gone before the end
        QTest::addColumn<QList<int>>("remaining"); // of the rows: 0 system cache, 1 Camera, 2 background record
        // The Trash fails; the administrator takes the bundle as a leftover.
        QTest::newRow("bundle already gone")
            << "bundle gone"
            << QStringList{"TRASH APP FAILED: %1/Applications/Alpha.app — ",
                           "TRASHED: Alpha [com.example.alpha]  |  App Support  |  —  |  %1/Applications/Alpha.app"}
            << "6 items cleaned, 0 failed" << "6 items cleaned up." << QList<int>{};
        QTest::newRow("cancelled prompt")
            << "cancelled" << QStringList{"ADMIN RM CANCELLED for Alpha (1 items)"} << "4 items cleaned, 1 failed"
            << "4 cleaned up, 1 could not be trashed (Full Disk Access required)." << QList<int>{0};
        // A permission row leaves only when its reset succeeded.
        QTest::newRow("no tccutil")
            << "no tccutil"
            << QStringList{"RESET PERMISSION FAILED: com.example.alpha [Camera]",
                           "RESET PERMISSION FAILED: com.example.alpha [Microphone]"}
            << "3 items cleaned, 0 failed" << "3 items cleaned up." << QList<int>{1};
        QTest::newRow("scanner gone") << "scanner gone" << QStringList{} << "5 items cleaned, 0 failed" << QString()
                                      << QList<int>{};
    }
    void whatGoesWrong()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, logged);
        QFETCH(QString, done);
        QFETCH(QString, progress);
        QFETCH(QList<int>, remaining);
        AlphaMac f(fault != "no tccutil");
        if (fault == "bundle gone")
            QDir(f.bundle).removeRecursively();
        if (fault == "cancelled")
            f.admin.setBehaviour(FakeOsascript::Behaviour::CancelByText);
        const QList<LeftoverItem> rows{found(f.systemCache, LeftoverType::cache),
                                       found(std::nullopt, LeftoverType::permission, "Camera"),
                                       found(std::nullopt, LeftoverType::backgroundActivity, "Agent")};
        auto scanner = std::make_unique<Scanner>(f.services());
        ScannerPublisher::setItems(*scanner, rows);
        QSignalSpy progressSpy(scanner.get(), &Scanner::scanProgressChanged);
        scanner->removeAppCompletely(f.alpha);
        if (progress.isEmpty())
            scanner.reset();
        else
            QVERIFY(progressSpy.wait());
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();

        const QStringList log = f.newLogMessages();
        for (const QString &line : logged) {
            const QString start = QString(line).replace("%1", f.mac.root());
            QVERIFY2(std::any_of(log.cbegin(), log.cend(), [&](const QString &l) { return l.startsWith(start); }),
                     qPrintable(start));
        }
        QCOMPARE(log.last(), "REMOVE APP DONE: Alpha — " + done);
        QCOMPARE(f.admin.requests().size(), 1);
        QCOMPARE(ScannerFixture::exists(f.systemCache), remaining.contains(0));
        for (const QString &path : {f.bundle, f.preferences, f.userCache})
            QVERIFY(!ScannerFixture::exists(path));
        if (!scanner)
            return;
        QList<QUuid> kept;
        for (int i : remaining)
            kept << rows.at(i).id;
        QCOMPARE(ScannerFixture::ids(scanner->items()), kept);
        QCOMPARE(scanner->removalFailures().size(), remaining.contains(0) ? 1 : 0);
        QCOMPARE(scanner->scanProgress(), "\u2068Alpha\u2069 removed — " + progress);
    }

    // The processes are stopped before the bundle goes: the removal waits for
    // pkill to end (what it leaves in the bundle goes to the Trash with it), and
    // the log tells how many were signalled, only when there were any.
    void stopsTheProcessesFirst_data()
    {
        QTest::addColumn<int>("pkillExit"); // -1: no pkill
        QTest::addColumn<QStringList>("logged");
        const QString removing = "REMOVE APP: Alpha (com.example.alpha)";
        QTest::newRow("processes signalled")
            << 0 << QStringList{removing, "PRE-KILL: signalled 1 process(es) for com.example.alpha"};
        QTest::newRow("no process matched") << 1 << QStringList{removing};
        QTest::newRow("no pkill") << -1 << QStringList{removing};
    }
    void stopsTheProcessesFirst()
    {
        QFETCH(int, pkillExit);
        QFETCH(QStringList, logged);
        AlphaMac f;
        const QString marker = "/Contents/written on exit";
        if (pkillExit < 0)
            f.runner.setToolPath(kPkill, f.mac.path("/nonexistent/pkill"));
        else
            f.fakeTool(kPkill, {}, pkillExit, "printf x > '" + QFile::encodeName(f.bundle + marker) + "'");
        Scanner scanner(f.services());
        QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);
        scanner.removeAppCompletely(f.alpha);
        QVERIFY(progressSpy.wait());

        QCOMPARE(f.newLogMessages().mid(0, logged.size() + 1), logged + QStringList{"TRASHED APP BUNDLE: " + f.bundle});
        QCOMPARE(ScannerFixture::exists(f.trash.filesPath() + "/Alpha.app" + marker), pkillExit >= 0);
        QVERIFY(!ScannerFixture::exists(f.bundle));
    }

    // A bundle path the removal refuses stays a failure: it never joins the
    // prompt, which still removes the protected leftover.
    void refusedBundleNeverReachesTheAdministrator_data()
    {
        QTest::addColumn<QString>("bundlePath"); // "%1" is the fake root
        QTest::addColumn<QString>("reason");
        const QString plain = "The path was refused because it is not a plain absolute path.";
        const QString protectedFolder = "The path was refused because it is a protected folder.";
        QTest::newRow("system root") << "%1/Applications" << protectedFolder;
        QTest::newRow("dot-dot to /Applications, below /Applications/") << "%1/Applications/Alpha.app/.." << plain;
        QTest::newRow("home folder in another case") << "%1/Users/Tester" << protectedFolder;
    }
    void refusedBundleNeverReachesTheAdministrator()
    {
        QFETCH(QString, bundlePath);
        QFETCH(QString, reason);
        AlphaMac f;
        bundlePath = bundlePath.arg(f.mac.root());
        Scanner scanner(f.services());
        QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);
        scanner.removeAppCompletely(app("Alpha", "com.example.alpha", bundlePath));
        QVERIFY(progressSpy.wait());

        QVERIFY(f.newLogMessages().contains("TRASH APP FAILED: " + bundlePath + " — " + reason));
        QCOMPARE(f.admin.requests().size(), 1);
        QCOMPARE(f.admin.requests().first().paths, QStringList{f.systemCache});
        QVERIFY(ScannerFixture::exists(f.bundle) && !ScannerFixture::exists(f.systemCache));
        QCOMPARE(scanner.removalFailures().size(), 1);
        QCOMPARE(scanner.removalFailures().first().path, std::optional(bundlePath));
    }

    // Installed applications whose IDs extend or hold the removed one keep
    // their files, records and processes; a document a record names as its
    // program stays.
    void leavesWhatIsNotItsOwn()
    {
        RemovalMac f;
        const QString ce = "com.jetbrains.intellij.ce";
        const QString mirror = "org.mirror.com.jetbrains.intellij";
        f.mac.createApp("/Applications/IntelliJ CE.app", ce);
        f.mac.createApp("/Applications/Mirror.app", mirror);
        for (const QString &theirs : {"~/Library/Preferences/" + ce + ".plist", "/Library/LaunchAgents/org.x." + ce + ".agent.plist",
                                      "/Library/LaunchDaemons/" + ce + ".daemon.plist", "/Library/PrivilegedHelperTools/" + ce,
                                      QString("~/Library/Application Scripts/com.jetbrains.intellij.finder.ce/x"),
                                      QString("/Library/LaunchAgents/com.jetbrains.intellij.updater.ce.plist"),
                                      "~/Library/Containers/" + mirror + "/x", "/Library/LaunchDaemons/" + mirror + ".d.plist",
                                      "/Library/PrivilegedHelperTools/" + mirror + ".helper"})
            f.mac.createFile(theirs);
        f.mac.createFile("~/Documents/thesis.doc", "chapter one");
        f.fakeTool("/usr/bin/sfltool",
                   "UUID: 1\n Identifier: com.jetbrains.intellij.helper\n Executable: /Users/tester/Documents/thesis.doc\n"
                   "UUID: 2\n Identifier: " + ce.toUtf8() + ".helper\n Executable: /Library/PrivilegedHelperTools/"
                       + ce.toUtf8() + "\n"
                   "UUID: 3\n Identifier: com.jetbrains.intellij.sync\n Executable: /Library/PrivilegedHelperTools/"
                       + mirror.toUtf8() + ".helper\n");
        const auto before = f.fingerprint();

        const InstalledApp idea = app("IntelliJ IDEA", "com.jetbrains.intellij",
                                      f.mac.createApp("/Applications/IntelliJ IDEA.app", "com.jetbrains.intellij"));
        f.mac.createFile("~/Library/Preferences/com.jetbrains.intellij.plist");
        const QString agent = f.mac.createFile("/Library/LaunchAgents/com.jetbrains.intellij.agent.plist");
        Scanner scanner(f.services());
        QSignalSpy progressSpy(&scanner, &Scanner::scanProgressChanged);
        scanner.removeAppCompletely(idea);
        QVERIFY(progressSpy.wait());

        QCOMPARE(f.fingerprint(), before);
        QCOMPARE(f.admin.requests().size(), 1);
        QCOMPARE(f.admin.requests().first().paths, QStringList{agent});
        QCOMPARE(f.recordedCalls(kPkill),
                 QStringList{"-f|--|(^|[^[:alnum:]_.-])com\\.jetbrains\\.intellij([^[:alnum:]_.-]|$)"});
    }
};

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
