#include "core/Scanner.h"
#include "core/ScannerLink.h"
#include "model/ByteCountFormatter.h"
#include "model/StoredLists.h"
#include "support/FolderOpenCounter.h"
#include "support/OpenGate.h"
#include "support/ScannerFixture.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QThreadPool>
#include <QtTest>

#include <algorithm>
#include <optional>

using Optional = std::optional<QString>;
Q_DECLARE_METATYPE(Optional)

class TestScanner : public QObject
{
    Q_OBJECT

private:
    // Every category of leftover once, an ignored one, and an unreadable
    // permission database.
    static void buildWholeMac(ScannerFixture &f)
    {
        FakeMac &mac = f.mac;
        mac.createApp("/Applications/Installed.app", "com.installed.app");
        mac.createFileOfSize("~/Library/Preferences/com.gone.editor.plist", 100);
        mac.createFileOfSize("~/Library/Preferences/com.installed.app.plist", 100);
        mac.createFileOfSize("~/Library/Preferences/com.apple.dock.plist", 100);
        mac.createFileOfSize("~/Library/Application Support/com.gone.editor/data", 2000);
        mac.createFileOfSize("~/Library/Application Support/Installed/data", 2000);
        mac.createFileOfSize("~/Library/Caches/com.ignored.tool/x", 500);
        mac.createFileOfSize("~/Library/Caches/PlainCache/x", 1500);
        mac.createFileOfSize("~/Library/Containers/com.gone.editor/f", 3000);
        mac.createFileOfSize("~/Library/Group Containers/ABCDE12345.com.gone.shared/f", 10);
        mac.createFileOfSize("~/Library/Group Containers/group.com.apple.notes/NoteStore.sqlite", 10);
        mac.createFileOfSize("/Library/Application Support/com.gone.sysapp/f", 1000);
        mac.createFileOfSize("/Library/Preferences/com.gone.daemon.plist", 200);
        mac.createFileOfSize("/Library/PrivilegedHelperTools/com.gone.daemon", 300);
        mac.createFileOfSize("~/Library/Saved Application State/com.gone.editor.savedState/w", 400);
        mac.createFileOfSize("~/Library/Logs/com.gone.editor/x", 600);
        mac.createPlist("~/Library/LaunchAgents/com.gone.agent.plist",
                        {{"Label", "com.gone.agent"}, {"ProgramArguments", QVariantList{"/opt/gone/Gone Agent", "-x"}}});
        mac.createPlist("~/Library/Screen Savers/Gone Saver.saver/Contents/Info.plist",
                        {{"CFBundleIdentifier", "com.gone.saver"}});
        f.fakeTool("/usr/bin/sfltool", "UUID: 1\n Name: Gone Sync\n Identifier: com.gone.sync\n"
                                       " Type: login item (0x4)\n Executable: missing value\n");
        // A folder where the database file should be: it exists but cannot be opened.
        mac.createDir("~/Library/Application Support/com.apple.TCC/TCC.db");
        f.defaults.setStringList("ignoredBundleIDs", {"com.ignored.tool"});
    }

    // A fresh fake Mac with Quillmere itself installed, as on a real machine:
    // otherwise its own log folder counts as a leftover.
    static void installSelf(ScannerFixture &f)
    {
        f.mac.createApp(QStringLiteral("/Applications/Quillmere.app"), QStringLiteral("com.quillmere.app"));
    }

    static QStringList appNames(const QList<LeftoverItem> &items)
    {
        QStringList names;
        for (const LeftoverItem &item : items)
            names << item.appName;
        return names;
    }

    static void waitForTasks(Scanner *scanner)
    {
        if (scanner)
            QTRY_VERIFY_WITH_TIMEOUT(!scanner->isScanning() && !scanner->isLoadingRoster(), 20000);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
    }

    void fullScanReportAndResult()
    {
        ScannerFixture f;
        buildWholeMac(f);
        Scanner scanner(f.services());
        QStringList progress;
        connect(&scanner, &Scanner::scanProgressChanged, this, [&] { progress << scanner.scanProgress(); });
        QSignalSpy deniedSpy(&scanner, &Scanner::tccAccessDeniedChanged);

        scanner.scan();
        QVERIFY(scanner.isScanning());
        QCOMPARE(scanner.tccAccessDenied(), false);
        waitForTasks(&scanner);

        const QString root = f.mac.root();
        const auto size = [&](const QString &fakePath) {
            return ByteCountFormatter::string(QFileInfo(f.mac.path(fakePath)).size());
        };
        const QString agentSize = size(QStringLiteral("~/Library/LaunchAgents/com.gone.agent.plist"));
        const QString saverSize
            = size(QStringLiteral("~/Library/Screen Savers/Gone Saver.saver/Contents/Info.plist"));
        const QStringList expected = {
            "=== Scan started ===",
            "  Loaded 1 installed app",
            "── Preferences: 1 item",
            "  Editor [com.gone.editor]  |  Preference  |  100 bytes  |  ~/Library/Preferences/com.gone.editor.plist",
            "── Application Support: 1 item",
            "  Editor [com.gone.editor]  |  App Support  |  2 KB  |  ~/Library/Application Support/com.gone.editor",
            "── Caches: 2 items",
            "  Plain Cache  |  Cache  |  2 KB  |  ~/Library/Caches/PlainCache",
            "  Tool [com.ignored.tool]  |  Cache  |  500 bytes  |  ~/Library/Caches/com.ignored.tool",
            "── Containers: 2 items",
            "  Editor [com.gone.editor]  |  Container  |  3 KB  |  ~/Library/Containers/com.gone.editor",
            "  Shared [com.gone.shared]  |  Container  |  10 bytes  |  ~/Library/Group Containers/ABCDE12345.com.gone.shared",
            "── Application Scripts: none",
            "── System Application Support: 1 item",
            "  Sysapp [com.gone.sysapp]  |  App Support  |  1 KB  |  " + root + "/Library/Application Support/com.gone.sysapp",
            "── System Caches: none",
            "── System Logs: none",
            "── System Preferences: 1 item",
            "  Daemon [com.gone.daemon]  |  Preference  |  200 bytes  |  " + root + "/Library/Preferences/com.gone.daemon.plist",
            "── Privileged Helpers: 1 item",
            "  Daemon [com.gone.daemon]  |  Login Item  |  300 bytes  |  " + root + "/Library/PrivilegedHelperTools/com.gone.daemon",
            "── Saved States: 1 item",
            "  Editor [com.gone.editor]  |  Saved State  |  400 bytes  |  ~/Library/Saved Application State/com.gone.editor.savedState",
            "── Logs: 1 item",
            "  Editor [com.gone.editor]  |  Log  |  600 bytes  |  ~/Library/Logs/com.gone.editor",
            "── Login Items: 1 item",
            "  Gone Agent [com.gone.agent]  |  Login Item  |  " + agentSize + "  |  /opt/gone/Gone Agent",
            "── Plugins: 1 item",
            "  Gone Saver [com.gone.saver]  |  Plugin  |  " + saverSize + "  |  ~/Library/Screen Savers/Gone Saver.saver",
            "── Background Activity: 1 item",
            "  Gone Sync [com.gone.sync]  |  Background Activity  |  —  |  login item",
            "── TCC Permissions: none",
            "── 1 item suppressed by Ignore List",
            "=== Scan finished: 13 items shown ===  [TCC access denied — Full Disk Access needed]",
        };
        QCOMPARE(f.logMessages(), expected);

        QCOMPARE(appNames(scanner.items()),
                 (QStringList{"Daemon", "Daemon", "Editor", "Editor", "Editor", "Editor", "Editor", "Gone Agent",
                              "Gone Saver", "Gone Sync", "Plain Cache", "Shared", "Sysapp"}));
        QCOMPARE(scanner.tccAccessDenied(), true);
        // Reset at the start, set only at the end.
        QCOMPARE(deniedSpy.count(), 2);
        QCOMPARE(scanner.scanProgress(), f.language.localized(QStringLiteral("scan_found_n_items"), {13}));

        // Each phase announced in order, between the start and the result.
        const QStringList keys = {"scanning_starting",  "scanning_loading_apps", "scanning_preferences",
                                  "scanning_app_support", "scanning_caches",    "scanning_containers",
                                  "scanning_saved_states", "scanning_logs",     "scanning_login_items",
                                  "scanning_plugins",   "scanning_background_activity", "scanning_tcc"};
        QStringList expectedProgress;
        for (const QString &key : keys)
            expectedProgress << f.language.localized(key);
        expectedProgress << f.language.localized(QStringLiteral("scan_found_n_items"), {13});
        QCOMPARE(progress, expectedProgress);
    }

    // The status text for no item and for one.
    void statusText_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("status");
        QTest::newRow("none") << QStringList() << QStringList() << "scan_no_items";
        QTest::newRow("one") << QStringList{"com.x.beta"} << QStringList{"Beta"} << "scan_found_1_item";
    }
    void statusText()
    {
        QFETCH(QStringList, ids);
        QFETCH(QStringList, names);
        QFETCH(QString, status);
        ScannerFixture f;
        installSelf(f);
        for (const QString &id : ids)
            f.mac.createFileOfSize(QStringLiteral("~/Library/Preferences/%1.plist").arg(id), 10);
        Scanner scanner(f.services());
        scanner.scan();
        waitForTasks(&scanner);
        QCOMPARE(appNames(scanner.items()), names);
        QCOMPARE(scanner.scanProgress(), f.language.localized(status, {int(ids.size())}));
        QVERIFY(!f.logMessages().contains(QStringLiteral("── 0 items suppressed by Ignore List")));
    }

    // A scan refuses a second one; a one-application scan keeps the denial of the full scan.
    void scansRefusedWhileScanning()
    {
        ScannerFixture f;
        installSelf(f);
        f.mac.createDir(QStringLiteral("~/Library/Application Support/com.apple.TCC/TCC.db"));
        f.mac.createFileOfSize(QStringLiteral("~/Library/Preferences/com.gone.app.plist"), 10);
        f.mac.createFileOfSize(QStringLiteral("~/Library/Caches/com.gone.app/c"), 10);
        f.defaults.setStringList(QStringLiteral("ignoredBundleIDs"), {QStringLiteral("com.gone.app")});
        Scanner scanner(f.services());
        scanner.scan();
        const QString progress = scanner.scanProgress();
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
        scanner.scan();
        scanner.scanSpecificApp(QStringLiteral("com.gone.app"), QStringLiteral("App"));
        QCOMPARE(itemsSpy.count(), 0);
        QCOMPARE(scanner.scanProgress(), progress);
        waitForTasks(&scanner);
        QCOMPARE(f.logMessages().count(QStringLiteral("=== Scan started ===")), 1);
        QCOMPARE(scanner.tccAccessDenied(), true);
        QVERIFY(scanner.items().isEmpty());

        const qsizetype logLines = f.logMessages().size();
        scanner.scanSpecificApp(QStringLiteral("com.gone.app"), QStringLiteral("Gone App"));
        QCOMPARE(scanner.scanProgress(), f.language.localized(QStringLiteral("scanning_specific"), {QStringLiteral("\u2068Gone App\u2069")}));
        scanner.scan();
        waitForTasks(&scanner);
        // Ignored applications still show in their own scan; sorted by type.
        QCOMPARE(scanner.items().size(), 2);
        QCOMPARE(scanner.items().at(0).type, LeftoverType::cache);
        QCOMPARE(scanner.items().at(1).type, LeftoverType::preference);
        QCOMPARE(scanner.scanProgress(),
                 f.language.localized(QStringLiteral("scan_found_n_files"), {2, QStringLiteral("\u2068Gone App\u2069")}));
        QCOMPARE(scanner.tccAccessDenied(), true);
        QCOMPARE(f.logMessages().size(), logLines);
    }

    void scannerDestroyedDuringScan()
    {
        ScannerFixture f;
        buildWholeMac(f);
        auto *scanner = new Scanner(f.services());
        scanner->scan();
        scanner->loadInstalledApps();
        delete scanner;
        waitForTasks(nullptr);
        QVERIFY(f.logMessages().contains(
            QStringLiteral("=== Scan finished: 13 items shown ===  [TCC access denied — Full Disk Access needed]")));
    }

    // Sizes and one application's leftovers are only for the window: once its
    // Scanner is gone, the walk ends at the next folder instead of going
    // through every bundle or container. The walk is held opening the second
    // folder while the Scanner is deleted.
    void windowWorkEndsWithItsScanner_data()
    {
        QTest::addColumn<bool>("roster");
        QTest::newRow("roster size pass") << true;
        QTest::newRow("one-application search") << false;
    }

    void windowWorkEndsWithItsScanner()
    {
        QFETCH(bool, roster);
        ScannerFixture f;
        constexpr int folderCount = 50;
        const QString parent = roster ? QStringLiteral("/Applications") : QStringLiteral("~/Library/Containers");
        QStringList folders;
        for (int i = 0; i < folderCount; ++i) {
            const QString folder = parent + (roster ? QStringLiteral("/App %1.app") : QStringLiteral("/T%1.com.gone.app")).arg(i);
            if (roster)
                f.mac.createApp(folder, QStringLiteral("com.maker%1.app").arg(i));
            else
                f.mac.createFileOfSize(folder + QStringLiteral("/Data/file"), 10);
            folders << f.mac.path(folder);
        }
        // Walked in name order: "App 0", "App 1", "App 10"; "T0.", "T1.", "T10.".
        OpenGate gate(folders.at(1));
        if (!gate.isValid())
            QSKIP("fanotify is not available to hold the walk");
        FolderOpenCounter walked(f.mac.path(parent));
        QVERIFY(walked.isValid());
        auto scanner = std::make_unique<Scanner>(f.services());
        if (roster)
            scanner->loadInstalledApps();
        else
            scanner->scanSpecificApp(QStringLiteral("com.gone.app"), QStringLiteral("Gone"));
        QVERIFY(gate.waitForOpen(20000));
        scanner.reset();
        gate.release();
        waitForTasks(nullptr);
        QVERIFY(walked.isValid());
        QCOMPARE(walked.openedCount(), 2);
    }

    // Quitting ends a full scan at its next phase: the report says so and has
    // no section whose sizes were cut short; nothing is published.
    void quittingStopsAFullScan_data()
    {
        QTest::addColumn<bool>("duringCaches");
        QTest::addColumn<QStringList>("sections");
        QTest::newRow("before the first phase") << false << QStringList();
        QTest::newRow("while the caches are walked")
            << true
            << QStringList{"── Preferences: 1 item",
                           "  Editor [com.gone.editor]  |  Preference  |  100 bytes  |  ~/Library/Preferences/com.gone.editor.plist",
                           "── Application Support: 1 item",
                           "  Editor [com.gone.editor]  |  App Support  |  2 KB  |  ~/Library/Application Support/com.gone.editor"};
    }

    void quittingStopsAFullScan()
    {
        QFETCH(bool, duringCaches);
        QFETCH(QStringList, sections);
        ScannerFixture f;
        buildWholeMac(f);
        OpenGate gate(f.mac.path(QStringLiteral("~/Library/Caches/PlainCache")));
        if (duringCaches && !gate.isValid())
            QSKIP("fanotify is not available to hold the walk");
        std::stop_source quitting;
        ScannerServices services = f.services();
        services.quitting = quitting.get_token();
        Scanner scanner(services);
        QSignalSpy itemsSpy(&scanner, &Scanner::itemsChanged);
        if (!duringCaches)
            quitting.request_stop();
        scanner.scan();
        if (duringCaches) {
            QVERIFY(gate.waitForOpen(20000));
            quitting.request_stop();
            gate.release();
        }
        waitForTasks(&scanner);
        const QStringList expected = QStringList{"=== Scan started ===", "  Loaded 1 installed app"} + sections
            + QStringList{"=== Scan stopped: the application quit ==="};
        QCOMPARE(f.logMessages(), expected);
        QCOMPARE(itemsSpy.count(), 1); // emptied at the start only
        QVERIFY(!scanner.isScanning());
    }

    // What a task queues for its Scanner runs only while the Scanner is there.
    void queuedCallsOfADeletedScannerAreDropped()
    {
        ScannerFixture f;
        auto *scanner = new Scanner(f.services());
        ScannerLink link(scanner);
        QStringList ran;
        link.post([&](Scanner &) { ran << "kept"; });
        QCoreApplication::processEvents();
        link.post([&](Scanner &) { ran << "dropped"; });
        delete scanner;
        link.cut();
        link.post([&](Scanner &) { ran << "after the cut"; });
        QCoreApplication::processEvents();
        QCOMPARE(ran, QStringList{"kept"});
    }

    // A folder whose name has no dot names no application. In the system Caches
    // folder it is reported whatever is installed; in Application Support and Logs
    // only while no application at all is installed, even when no installed
    // application bears its name. The other system folders judge it by their own rules.
    void systemFoldersPlainNames_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("appsInstalled");
        QTest::addColumn<QString>("section"); // empty: not reported
        QTest::addColumn<LeftoverType>("type");
        QTest::addColumn<Optional>("bundleID");
        const auto row = [](const char *tag, const char *entry, bool apps, const char *section = "",
                            LeftoverType type = LeftoverType::cache, const Optional &bundleID = {}) {
            QTest::newRow(tag) << QString::fromUtf8(entry) << apps << QString::fromUtf8(section) << type << bundleID;
        };
        const char *caches = "System Caches";
        row("caches: an installed app's name", "/Library/Caches/Installed", true, caches);
        row("caches: no app of that name", "/Library/Caches/Gone", true, caches);
        row("caches: nothing installed", "/Library/Caches/Gone", false, caches);
        row("caches: one character", "/Library/Caches/g", true, caches);
        row("support: an installed app's name", "/Library/Application Support/Installed", true);
        row("support: no app of that name", "/Library/Application Support/Gone", true);
        row("support: nothing installed", "/Library/Application Support/Gone", false, "System Application Support",
            LeftoverType::appSupport);
        row("logs: an installed app's name", "/Library/Logs/Installed", true);
        row("logs: no app of that name", "/Library/Logs/Gone", true);
        row("logs: nothing installed", "/Library/Logs/Gone", false, "System Logs", LeftoverType::log);
        row("preferences: not a property list", "/Library/Preferences/GoneSettings", true);
        row("helpers: named as an identifier", "/Library/PrivilegedHelperTools/GoneHelper", true,
            "Privileged Helpers", LeftoverType::loginItem, QStringLiteral("GoneHelper"));
        row("helpers: an installed app's name", "/Library/PrivilegedHelperTools/Installed", true,
            "Privileged Helpers", LeftoverType::loginItem, QStringLiteral("Installed"));
    }
    void systemFoldersPlainNames()
    {
        QFETCH(QString, entry);
        QFETCH(bool, appsInstalled);
        QFETCH(QString, section);
        QFETCH(LeftoverType, type);
        QFETCH(Optional, bundleID);
        ScannerFixture f;
        if (appsInstalled) {
            installSelf(f);
            f.mac.createApp(QStringLiteral("/Applications/Installed.app"), QStringLiteral("com.installed.app"));
        }
        f.mac.createFileOfSize(entry + QStringLiteral("/data"), 100);
        Scanner scanner(f.services());
        scanner.scan();
        waitForTasks(&scanner);

        // The section whose item line ends with the path.
        const QString path = f.mac.path(entry);
        QString reportedIn;
        QString title;
        for (const QString &line : f.logMessages()) {
            if (line.startsWith(QStringLiteral("── ")))
                title = line.mid(3).section(QLatin1Char(':'), 0, 0);
            else if (line.endsWith(QStringLiteral("  |  ") + path))
                reportedIn = title;
        }
        QCOMPARE(reportedIn, section);

        const auto item = std::find_if(scanner.items().cbegin(), scanner.items().cend(),
                                       [&](const LeftoverItem &i) { return i.path == path; });
        QCOMPARE(item != scanner.items().cend(), !section.isEmpty());
        if (section.isEmpty())
            return;
        QCOMPARE(item->type, type);
        QCOMPARE(item->bundleID, bundleID);
    }

    // The busy flag holds through every publication of the work and drops only
    // with its final one, which it never follows by another: the flag is read in
    // the handler of every change of what the work publishes.
    void busyUntilTheFinalPublication_data()
    {
        QTest::addColumn<QString>("work");
        QTest::addColumn<int>("minPublications");
        QTest::newRow("full scan") << "scan" << 13;
        QTest::newRow("one-application scan") << "app" << 2;
        // Emptied, listed, then one size per application.
        QTest::newRow("roster load") << "roster" << 2 + 4;
    }
    void busyUntilTheFinalPublication()
    {
        QFETCH(QString, work);
        QFETCH(int, minPublications);
        ScannerFixture f;
        installSelf(f);
        for (const char *name : {"Alpha", "Beta", "Gamma"}) {
            const QString id = QStringLiteral("com.example.") + QString::fromLatin1(name).toLower();
            f.mac.createApp(QStringLiteral("/Applications/%1.app").arg(QLatin1String(name)), id);
            f.mac.createFileOfSize(QStringLiteral("/Applications/%1.app/Contents/Resources/r").arg(QLatin1String(name)), 3000);
        }
        f.mac.createFileOfSize(QStringLiteral("~/Library/Preferences/com.gone.app.plist"), 10);
        f.mac.createFileOfSize(QStringLiteral("~/Library/Caches/com.gone.app/c"), 10);
        Scanner scanner(f.services());

        const bool roster = work == QLatin1String("roster");
        const auto busy = [&] { return roster ? scanner.isLoadingRoster() : scanner.isScanning(); };
        // Whether the work's result is all there: every size, or the found items.
        const auto complete = [&] {
            if (roster)
                return !scanner.installedApps().isEmpty()
                    && std::none_of(scanner.installedApps().cbegin(), scanner.installedApps().cend(),
                                    [](const InstalledApp &app) { return app.appSize < 0; });
            return !scanner.items().isEmpty();
        };
        QList<bool> busyAtPublication;
        QList<bool> flagChanges;
        bool completeWhenIdle = false;
        const auto record = [&] { busyAtPublication << busy(); };
        if (roster)
            connect(&scanner, &Scanner::installedAppsChanged, this, record);
        else
            connect(&scanner, &Scanner::scanProgressChanged, this, record);
        connect(&scanner, roster ? &Scanner::isLoadingRosterChanged : &Scanner::isScanningChanged, this, [&] {
            flagChanges << busy();
            if (!busy())
                completeWhenIdle = complete();
        });

        if (roster)
            scanner.loadInstalledApps();
        else if (work == QLatin1String("app"))
            scanner.scanSpecificApp(QStringLiteral("com.gone.app"), QStringLiteral("Gone"));
        else
            scanner.scan();
        waitForTasks(&scanner);

        QCOMPARE(flagChanges, (QList<bool>{true, false}));
        QVERIFY(completeWhenIdle);
        QVERIFY2(busyAtPublication.size() >= minPublications, qPrintable(QString::number(busyAtPublication.size())));
        // Scans: the final status text comes after the flag dropped. The roster:
        // the last size is published before the flag drops.
        QList<bool> expected(busyAtPublication.size(), true);
        if (!roster)
            expected.last() = false;
        QCOMPARE(busyAtPublication, expected);
    }

    void rosterSizesArrive()
    {
        ScannerFixture f;
        f.mac.createApp(QStringLiteral("/Applications/Beta.app"), QStringLiteral("com.x.beta"), QStringLiteral("2.0"));
        f.mac.createApp(QStringLiteral("/Applications/alpha.app"), QStringLiteral("com.x.alpha"));
        f.mac.createFileOfSize(QStringLiteral("/Applications/alpha.app/Contents/Resources/big"), 5000);
        f.mac.createApp(QStringLiteral("/Applications/System.app"), QStringLiteral("com.apple.system"));
        Scanner scanner(f.services());
        QList<QList<qint64>> published;
        connect(&scanner, &Scanner::installedAppsChanged, this, [&] {
            QList<qint64> sizes;
            for (const InstalledApp &app : scanner.installedApps())
                sizes << app.appSize;
            published << sizes;
        });
        scanner.loadInstalledApps();
        QVERIFY(scanner.isLoadingRoster());
        scanner.loadInstalledApps(); // refused while loading
        waitForTasks(&scanner);

        QCOMPARE(scanner.installedApps().at(0).name + '|' + scanner.installedApps().at(1).name, "alpha|Beta");
        // Emptied, listed with unknown sizes, then one publication per size.
        QCOMPARE(published.size(), 4);
        QCOMPARE(published.at(0), QList<qint64>());
        QCOMPARE(published.at(1), (QList<qint64>{-1, -1}));
        QCOMPARE(published.at(2).at(1), -1);
        QVERIFY(published.at(2).at(0) > 5000);
        QVERIFY(published.at(3).at(1) > 0);
        QVERIFY(f.logMessages().contains(QStringLiteral("=== Installed apps: 2 ===")));
    }
};

QTEST_GUILESS_MAIN(TestScanner)
#include "tst_scanner.moc"
