#include "core/engine/AppLeftovers.h"
#include "core/engine/FinderRules.h"
#include "support/BackgroundDump.h"
#include "support/TccDatabase.h"

#include <QtTest>

using namespace ScannerEngine;

namespace {

const QString appID = QStringLiteral("com.example.app");
const QString appName = QStringLiteral("Example App");

void createFiles(FakeMac &mac, const QList<std::pair<QString, qint64>> &files)
{
    for (const auto &[path, size] : files)
        mac.createFileOfSize(path, size);
}

}

class TestAppLeftovers : public QObject
{
    Q_OBJECT

    // "Type | where | size": where is the path as the system sees it ("~" for
    // the home folder) or, for an item without a path, its service text.
    static QStringList describe(const FakeMac &mac, const QList<LeftoverItem> &items)
    {
        QStringList out;
        for (const LeftoverItem &item : items) {
            QString where;
            if (item.path) {
                where = item.path->startsWith(mac.home() + QLatin1Char('/'))
                    ? QLatin1Char('~') + item.path->mid(mac.home().size())
                    : mac.roots().asSystemPath(*item.path);
            } else {
                where = item.permissionService.value_or(QStringLiteral("-"));
            }
            out << QStringList{LeftoverTypes::rawValue(item.type), where, QString::number(item.size)}.join(
                QStringLiteral(" | "));
        }
        return out;
    }

    // The one-application search; a null dump leaves the background tool missing.
    static QList<LeftoverItem> search(FakeMac &mac, const QString &bundleID, const QString &name,
                                      const QSet<QString> &installed = {}, const QString &dump = {})
    {
        ToolRunner runner;
        BackgroundDump::serve(mac, runner, dump);
        return findLeftovers(mac.roots(), runner, bundleID, name, installed);
    }

private slots:
    // Also proves the type order: by type text, not by declaration.
    void wholeApplication()
    {
        FakeMac mac;
        QVERIFY(mac.isValid());
        // Records of the application and of neighbours whose IDs only start like ours.
        using BackgroundDump::record;
        const QString dump = record({"Name: Example Helper", "Identifier: com.example.app.loginhelper",
                                     "Executable: /Users/tester/Library/Application Support/Example Helper/Helper",
                                     "Type: login item (0x4)"})
            + record({"Name: Neighbour", "Identifier: com.example.application.helper", "Type: agent"})
            + record({"Name: Neighbour X", "Identifier: com.example.appx", "Type: agent"})
            + record({"Identifier: ABCDE12345.com.example.app", "Type: app (0x2)"})
            + record({"Name: By Name", "Identifier: net.other.tool", "Parent Identifier: Example App", "Type: daemon"})
            + record({"Name: Prefix Only", "Identifier: xcom.example.app", "Type: agent"})
            + record({"Name: Apple", "Identifier: com.apple.com.example.app", "Type: agent"});
        mac.createFileOfSize("~/Library/Application Support/Example Helper/Helper", 700);
        for (const char *id : {"com.example.application", "com.example.appx"}) {
            for (const char *path :
                 {"~/Library/Preferences/%1.plist", "~/Library/Application Support/%1/data", "~/Library/Caches/%1/c",
                  "~/Library/Containers/%1/Data/x", "~/Library/Group Containers/ABCDE12345.%1/x",
                  "~/Library/Application Scripts/%1/x", "/Library/Preferences/%1.plist",
                  "/Library/LaunchAgents/%1.agent.plist", "/Library/LaunchDaemons/ABCDE12345.%1.daemon.plist",
                  "/Library/PrivilegedHelperTools/%1.helper", "~/Library/Saved Application State/%1.savedState/x",
                  "~/Library/LaunchAgents/%1.plist"})
                mac.createFileOfSize(QString::fromLatin1(path).arg(QLatin1String(id)), 1);
        }
        QVERIFY(TccDatabase::create(mac.path("~/Library/Application Support/com.apple.TCC/TCC.db"),
                                    {appID + "|0|kTCCServiceCamera|2|1", "com.example.application|0|kTCCServiceMicrophone|2|1",
                                     appID + "|0|kTCCServiceScreenCapture|2|1", appID + "|0|kTCCServiceCamera|2|1"}));
        createFiles(mac, {{"~/Library/Preferences/com.example.app.plist", 10},
                          {"~/Library/Preferences/com.example.app.helper.plist", 11},
                          {"~/Library/Preferences/com.example.app", 1},
                          {"~/Library/Application Support/com.example.app/a/b", 100},
                          {"~/Library/Application Support/Example App/c", 50},
                          {"~/Library/Caches/com.example.app/d", 20},
                          {"~/Library/Logs/Example App", 5},
                          {"~/Library/Logs/Example App.log", 5},
                          {"~/Library/Containers/com.example.app/Data/e", 30},
                          {"~/Library/Containers/com.example.app.helper/Data/e", 1},
                          {"~/Library/Group Containers/ABCDE12345.com.example.app/f", 40},
                          {"~/Library/Group Containers/ABCDE12345.com.example.app.shared/f", 1},
                          {"~/Library/Application Scripts/com.example.app/g", 1},
                          {"~/Library/Application Scripts/com.example.app.ext/g", 2},
                          {"~/Library/Application Scripts/ABCDE12345.com.example.app/g", 3},
                          {"/Library/Application Support/com.example.app/h", 60},
                          {"/Library/Caches/Example App", 7},
                          {"/Library/Logs/com.example.app.log", 1},
                          {"/Library/Preferences/com.example.app.plist", 8},
                          {"/Library/LaunchAgents/com.example.app.agent.plist", 9},
                          {"/Library/LaunchDaemons/ABCDE12345.com.example.app.daemon.plist", 12},
                          {"/Library/LaunchDaemons/com.example.app.daemon.txt", 1},
                          {"/Library/PrivilegedHelperTools/com.example.app.helper", 13},
                          {"/Library/PrivilegedHelperTools/com.example.apphelper", 1},
                          {"~/Library/Saved Application State/com.example.app.savedState/i", 14},
                          {"~/Library/LaunchAgents/com.example.app.plist", 15}});

        const auto items = search(mac, appID, appName, {}, dump);
        QCOMPARE(describe(mac, items),
                 (QStringList{
                     "App Support | ~/Library/Application Support/com.example.app | 100",
                     "App Support | ~/Library/Application Support/Example App | 50",
                     "App Support | /Library/Application Support/com.example.app | 60",
                     "Application Scripts | ~/Library/Application Scripts/ABCDE12345.com.example.app | 3",
                     "Application Scripts | ~/Library/Application Scripts/com.example.app | 1",
                     "Application Scripts | ~/Library/Application Scripts/com.example.app.ext | 2",
                     "Background Activity | ~/Library/Application Support/Example Helper/Helper | 700",
                     "Background Activity | app | 0",
                     "Background Activity | daemon | 0",
                     "Cache | ~/Library/Caches/com.example.app | 20",
                     "Cache | /Library/Caches/Example App | 7",
                     "Container | ~/Library/Containers/com.example.app | 30",
                     "Container | ~/Library/Group Containers/ABCDE12345.com.example.app | 40",
                     "Log | ~/Library/Logs/Example App | 5",
                     "Login Item | /Library/LaunchAgents/com.example.app.agent.plist | 9",
                     "Login Item | /Library/LaunchDaemons/ABCDE12345.com.example.app.daemon.plist | 12",
                     "Login Item | /Library/PrivilegedHelperTools/com.example.app.helper | 13",
                     "Login Item | ~/Library/LaunchAgents/com.example.app.plist | 15",
                     "Permission | Camera | 0",
                     "Permission | Screen Capture | 0",
                     "Permission | Camera | 0",
                     "Preference | ~/Library/Preferences/com.example.app.helper.plist | 11",
                     "Preference | ~/Library/Preferences/com.example.app.plist | 10",
                     "Preference | /Library/Preferences/com.example.app.plist | 8",
                     "Saved State | ~/Library/Saved Application State/com.example.app.savedState | 14",
                 }));
        // Each item is the application's; background items keep their records' names and owners.
        QStringList owners;
        for (const LeftoverItem &item : items)
            owners << item.appName + " | " + item.bundleID.value_or("-");
        owners.removeDuplicates();
        QCOMPARE(owners, (QStringList{"Example App | com.example.app", "Example Helper | com.example.app.loginhelper",
                                      "App | com.example.app", "By Name | Example App"}));
    }

    // An identifier of one component owns only its own names, never the
    // "com.*" files of every other application.
    void oneComponentIdentifier()
    {
        FakeMac mac;
        mac.createFileOfSize("~/Library/Preferences/com.plist", 1);
        mac.createFileOfSize("~/Library/Preferences/com.example.app.plist", 1);
        mac.createFileOfSize("~/Library/Caches/com/a", 2);
        mac.createFileOfSize("~/Library/Containers/com/b", 3);
        mac.createFileOfSize("~/Library/Containers/ABCDE12345.com/b", 1);
        mac.createFileOfSize("~/Library/Application Scripts/com.example.app/c", 1);
        mac.createFileOfSize("/Library/LaunchAgents/com.example.app.plist", 1);
        mac.createFileOfSize("/Library/LaunchDaemons/org.com.agent.plist", 1);
        mac.createFileOfSize("/Library/PrivilegedHelperTools/com.example.helper", 1);
        mac.createFileOfSize("~/Library/LaunchAgents/com.example.app.plist", 1);
        QCOMPARE(describe(mac, search(mac, "com", "Nothing")),
                 (QStringList{"Cache | ~/Library/Caches/com | 2", "Container | ~/Library/Containers/com | 3",
                              "Preference | ~/Library/Preferences/com.plist | 1"}));
    }

    // Values that are no single name match nothing in the steps that use them;
    // the other steps still run.
    void valuesThatAreNotNames_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");

        const QStringList byID{"Cache | ~/Library/Caches/com.example.app | 3",
                               "Preference | ~/Library/Preferences/com.example.app.plist | 1"};
        const QStringList byName{"App Support | ~/Library/Application Support/Example App | 2"};
        QTest::newRow("empty bundle ID") << QString() << appName << byName;
        QTest::newRow("empty name") << appID << QString() << byID;
        QTest::newRow("dot") << "." << "." << QStringList();
        QTest::newRow("dot dot") << ".." << ".." << QStringList();
        QTest::newRow("name reaches into a sub-folder") << appID << "Shared/inner" << byID;
        QTest::newRow("bundle ID with a slash") << "../Caches/com.example.app" << appName << byName;
        QTest::newRow("name equals bundle ID") << appID << appID << byID;
    }
    void valuesThatAreNotNames()
    {
        QFETCH(QString, bundleID);
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        FakeMac mac;
        mac.createFileOfSize("~/Library/Preferences/com.example.app.plist", 1);
        mac.createFileOfSize("~/Library/Preferences/.plist", 1);
        mac.createFileOfSize("~/Library/Preferences/other.plist", 1);
        mac.createFileOfSize("~/Library/Application Support/Example App", 2);
        mac.createFileOfSize("~/Library/Application Support/Shared/inner", 2);
        mac.createFileOfSize("~/Library/Caches/com.example.app", 3);
        mac.createFileOfSize("~/Library/Containers/x/y", 1);
        mac.createFileOfSize("/Library/LaunchAgents/other.plist", 1);
        mac.createFileOfSize("/Library/Preferences/.plist", 1);
        mac.createFileOfSize("~/Library/Saved Application State/.savedState/z", 1);
        QCOMPARE(describe(mac, search(mac, bundleID, name)), expected);
    }

    void otherApplicationsNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("searched");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<bool>("theirs");
        const QStringList other{"com.other.app"};
        QTest::newRow("holds the searched ID") << "com.other.app" << "other.app" << other << true;
        QTest::newRow("team prefix before it") << "ABCDE12345.com.other.app" << "other.app" << other << true;
        QTest::newRow("no searched ID") << "com.other.app" << "" << other << true;
        QTest::newRow("the searched ID itself") << "com.other.app.plist" << "com.other.app" << other << false;
        QTest::newRow("a part of the searched ID") << "com.example.app.plist" << "com.example.app"
                                                   << QStringList{"com.example"} << false;
        QTest::newRow("only the same letters") << "com.example.app.s.plist" << "com.example.app"
                                               << QStringList{"com.example.apps"} << false;
        const QStringList beta{"com.microsoft.edgemac.Beta"};
        const QString edge = "com.microsoft.edgemac";
        QTest::newRow("extension") << "com.microsoft.edgemac.Beta.plist" << edge << beta << true;
        QTest::newRow("extension, others between") << "com.microsoft.edgemac.wdgExtension.Beta" << edge << beta << true;
        QTest::newRow("extension after a prefix") << "org.x.com.microsoft.edgemac.agent.Beta.plist" << edge << beta
                                                  << true;
        QTest::newRow("extension's word in a longer one") << "com.microsoft.edgemac.wdgExtension.Betamax" << edge
                                                          << beta << false;
        QTest::newRow("extension's words reordered") << "com.x.app.b.y.a" << "com.x.app" << QStringList{"com.x.app.a.b"}
                                                     << false;
        QTest::newRow("extension's words spread") << "com.x.app.a.y.b.plist" << "com.x.app"
                                                  << QStringList{"com.x.app.a.b"} << true;
        QTest::newRow("one-component ID as a word") << "com.example.app.helper.plist" << "com.example.app"
                                                    << QStringList{"helper"} << false;
        QTest::newRow("one-component ID as the name") << "Helper" << "com.example.app" << QStringList{"Helper"} << true;
    }
    void otherApplicationsNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, searched);
        QFETCH(QStringList, installed);
        QFETCH(bool, theirs);
        QCOMPARE(isOtherAppsName(name, searched, QSet<QString>(installed.cbegin(), installed.cend())), theirs);
    }

    // Names of an installed application whose ID extends the searched one are
    // that application's: its files, its records and a program a record of ours names.
    void installedExtensionKeepsItsOwn()
    {
        FakeMac mac;
        const QString ce = QStringLiteral("com.jetbrains.intellij.ce");
        for (const QString &theirs :
             {"~/Library/Preferences/" + ce + ".plist", "~/Library/Application Scripts/" + ce + "/x",
              QString("~/Library/Application Scripts/com.jetbrains.intellij.finder.ce/x"),
              "/Library/LaunchAgents/org.x." + ce + ".agent.plist", "/Library/LaunchDaemons/" + ce + ".daemon.plist",
              "/Library/PrivilegedHelperTools/" + ce, "~/Library/LaunchAgents/" + ce + ".plist"})
            mac.createFileOfSize(theirs, 1);
        mac.createFileOfSize("~/Library/Preferences/com.jetbrains.intellij.plist", 2);
        mac.createFileOfSize("/Library/LaunchAgents/com.jetbrains.intellij.agent.plist", 3);
        using BackgroundDump::record;
        const QString dump = record({"Identifier: " + ce + ".helper", "Type: their helper"})
            + record({"Identifier: com.jetbrains.intellij.sync.ce", "Type: their sync"})
            + record({"Identifier: com.jetbrains.intellij.updater", "Parent Identifier: " + ce, "Type: theirs"})
            + record({"Identifier: com.jetbrains.intellij.agent", "Type: ours",
                      "Executable: /Library/PrivilegedHelperTools/" + ce});
        QCOMPARE(describe(mac, search(mac, "com.jetbrains.intellij", "IntelliJ IDEA", {ce, "com.other"}, dump)),
                 (QStringList{"Background Activity | ours | 0",
                              "Login Item | /Library/LaunchAgents/com.jetbrains.intellij.agent.plist | 3",
                              "Preference | ~/Library/Preferences/com.jetbrains.intellij.plist | 2"}));
    }

    // Entries the full scan protects in their folder are never found, whatever names them.
    void protectedEntries_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("entry");
        QTest::newRow("support by name") << "com.example.ab" << "AddressBook" << "~/Library/Application Support/AddressBook";
        QTest::newRow("system support") << "com.example.apple" << "Apple" << "/Library/Application Support/Apple";
        QTest::newRow("caches") << "com.example.ck" << "CloudKit" << "/Library/Caches/CloudKit";
        QTest::newRow("logs") << "com.example.dr" << "DiagnosticReports" << "~/Library/Logs/DiagnosticReports";
        QTest::newRow("apple preference") << "com.apple.Safari" << "Safari" << "~/Library/Preferences/com.apple.Safari.plist";
        QTest::newRow("apple daemon") << "com.apple" << "System" << "/Library/LaunchDaemons/com.apple.sync.plist";
    }
    void protectedEntries()
    {
        QFETCH(QString, bundleID);
        QFETCH(QString, name);
        QFETCH(QString, entry);
        FakeMac mac;
        mac.createFileOfSize(entry, 1);
        QCOMPARE(describe(mac, search(mac, bundleID, name)), QStringList());
    }

    // A link in a folder is the leftover itself, even when what it points to is gone.
    void linksAreEntries()
    {
        FakeMac mac;
        mac.createSymlink(mac.path("/nowhere"), "~/Library/Caches/com.example.app");
        mac.createFileOfSize("/big", 5000);
        mac.createSymlink(mac.path("/big"), "~/Library/Logs/Example App");
        QCOMPARE(describe(mac, search(mac, appID, appName)), (QStringList{"Cache | ~/Library/Caches/com.example.app | " +
                                                        QString::number(mac.path("/nowhere").toUtf8().size()),
                                                    "Log | ~/Library/Logs/Example App | " +
                                                        QString::number(mac.path("/big").toUtf8().size())}));
    }
};

QTEST_GUILESS_MAIN(TestAppLeftovers)
#include "tst_app_leftovers.moc"
