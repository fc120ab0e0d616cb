#include "core/engine/BackgroundTaskRecords.h"
#include "support/BackgroundDump.h"

#include <QtTest>

using namespace ScannerEngine;

using BackgroundDump::record;

namespace {
// Programs on the fake Mac: where launch jobs keep theirs, and elsewhere.
const QStringList kOffered{"/Library/PrivilegedHelperTools/com.example.helper", "/Library/LaunchDaemons/tool",
                           "/Library/LaunchAgents/sub/tool", "/Users/tester/Library/LaunchAgents/tool",
                           "/Users/tester/Library/Application Support/com.example.app/bin/tool",
                           "/Library/Application Support/Vendor/tool"};
const QStringList kRefused{"/Users/tester/Documents/thesis.doc", "/Users/tester/.local/lib/runtime", "/etc/tool",
                           "/Applications/Helper.app/Contents/MacOS/helper",
                           "/Users/tester/Library/Application Support/AddressBook/db",
                           "/Users/tester/Library/Application Support/addressbook/db",
                           "/Users/tester/Library/Application Support/group.com.apple.x/tool",
                           "/Library/Application Support/Apple/tool",
                           // Apple's folders in any case: the Mac's file system ignores it.
                           "/Users/tester/Library/Application Support/COM.APPLE.Notes/tool",
                           "/Library/Application Support/Com.Apple.x/tool", "/Library/Application Support/APPLE/tool"};
}

class TestBackgroundRecords : public QObject
{
    Q_OBJECT

    FakeMac m_mac;

    // appName | bundleID | path (as the system sees it) | size | service; "-" for absent.
    QStringList describe(const QList<LeftoverItem> &items) const
    {
        QStringList out;
        for (const LeftoverItem &item : items) {
            if (item.type != LeftoverType::backgroundActivity)
                return {QStringLiteral("wrong type")};
            const QString path = item.path ? m_mac.roots().asSystemPath(*item.path) : QStringLiteral("-");
            out << QStringList{item.appName, item.bundleID.value_or(QStringLiteral("-")), path,
                               QString::number(item.size), item.permissionService.value_or(QStringLiteral("-"))}
                       .join(QStringLiteral(" | "));
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_mac.isValid());
        for (const QString &path : kOffered + kRefused + QStringList{"/usr/bin/systool"})
            m_mac.createFileOfSize(path, 10);
        m_mac.createFileOfSize("/Library/PrivilegedHelperTools/com.example.helper", 300);
        m_mac.createFileOfSize("/Library/LaunchAgents/Executable: odd/tool", 70);
        m_mac.createDir("/Library/LaunchDaemons/folder");
        m_mac.createSymlink(m_mac.path("/Library/LaunchDaemons/tool"), "/Library/LaunchDaemons/tool-link");
        m_mac.createSymlink(m_mac.path("/usr/bin"), "/Library/LaunchDaemons/bin");
        m_mac.createSymlink(m_mac.path("~/Documents"), "/Library/LaunchDaemons/docs");
    }

    void parse_data()
    {
        QTest::addColumn<QString>("dump");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *tag, const QString &dump, const QStringList &expected,
                            const QStringList &installed = {}) {
            QTest::newRow(tag) << dump << installed << expected;
        };
        const QString helper = "Executable: /Library/PrivilegedHelperTools/com.example.helper";

        row("full record", record({"Name: Helper", "Identifier: com.example.helper", helper, "Type: login item (0x4)"}),
            {"Helper | com.example.helper | /Library/PrivilegedHelperTools/com.example.helper | 300 | login item"});
        row("keys before the first record are dropped",
            "Identifier: com.example.early\nName: Early\n" + record({"Identifier: com.example.late"}),
            {"Late | com.example.late | - | 0 | -"});
        row("empty name uses the identifier", record({"Name: ", "Identifier: com.example.MyCoolTool"}),
            {"My Cool Tool | com.example.MyCoolTool | - | 0 | -"});
        row("flag words cleaned",
            record({"Identifier: com.example.one", "Type: app (0x2)"})
                + record({"Identifier: com.example.two", "Type: legacy daemon (0xDEADbeef) extra"})
                + record({"Identifier: com.example.three", "Type: agent (0x)"}),
            {"One | com.example.one | - | 0 | app", "Two | com.example.two | - | 0 | legacy daemon extra",
             "Three | com.example.three | - | 0 | agent (0x)"});
        row("missing or empty executable is still reported",
            record({"Identifier: com.example.gone", "Executable: missing value"})
                + record({"Identifier: com.example.blank", "Executable:   "})
                + record({"Identifier: com.example.later", helper, "Executable: missing value"}),
            {"Gone | com.example.gone | - | 0 | -", "Blank | com.example.blank | - | 0 | -",
             "Later | com.example.later | /Library/PrivilegedHelperTools/com.example.helper | 300 | -"});
        row("owner is the parent without team prefix",
            record({"Identifier: com.example.suite.agent", "Parent Identifier: ABCDE12345.com.example.suite"})
                + record({"Identifier: ABCDE12345.com.example.solo"})
                + record({"Identifier: com.example.plain", "Parent Identifier: examplesuite"}),
            {"Agent | com.example.suite | - | 0 | -", "Solo | com.example.solo | - | 0 | -",
             "Plain | examplesuite | - | 0 | -"});
        row("apple and short identifiers skipped",
            record({"Identifier: com.apple.dock"}) + record({"Identifier: a.bc"}) + record({"Identifier: abcde"})
                + record({QString::fromUtf8("Identifier: e\u0301e\u0301e\u0301e\u0301")})
                + record({"Identifier: com.applecorp.x"}) + record({"Identifier: com.apple"})
                + record({"Identifier: ABCDE12345.com.apple.x"}),
            {"Abcde | abcde | - | 0 | -", "X | com.applecorp.x | - | 0 | -"});
        // The prefix is Apple's only in its own case.
        row("apple prefix in another case",
            record({"Identifier: COM.APPLE.dock"}) + record({"Identifier: Com.Apple.Finder"})
                + record({"Identifier: ABCDE12345.COM.APPLE.x"}),
            {"Dock | COM.APPLE.dock | - | 0 | -", "Finder | Com.Apple.Finder | - | 0 | -", "X | COM.APPLE.x | - | 0 | -"});
        row("installed owners skipped",
            record({"Identifier: com.example.installed"})
                + record({"Identifier: com.example.child", "Parent Identifier: com.example.installed"})
                + record({"Identifier: com.example.kid", "Parent Identifier: ABCDE12345.com.example.installed"})
                + record({"Identifier: ABCDE12345.com.example.installed.helper"})
                + record({"Identifier: com.example.other"}),
            {"Other | com.example.other | - | 0 | -"}, {"com.example.installed", "com.example.installed.helper"});
        row("first record of an identifier wins",
            record({"Name: First", "Identifier: com.example.dup"}) + record({"Name: Second", "Identifier: com.example.dup"}),
            {"First | com.example.dup | - | 0 | -"});
        row("other line breaks and tabs",
            QString::fromUtf8("UUID: x\u2028\tIdentifier: com.example.tab\t\rName:\tTabbed \u0085Type: t"),
            {"Tabbed | com.example.tab | - | 0 | t"});
        row("keys after other words are ignored",
            record({"Identifier: com.example.real", "Team Identifier: com.example.team",
                    "Bundle Identifier: com.example.bundle", "Display Name: Shown", "Developer Name: Dev",
                    "Disposition: [enabled] Type: fake", "URL: Executable: /Applications/Helper.app"}),
            {"Real | com.example.real | - | 0 | -"});
        row("key words inside a value are kept",
            record({"Identifier: com.example.odd", "Name: Alpha Name: Beta",
                    "Executable: /Library/LaunchAgents/Executable: odd/tool", "Type: Type: x"}),
            {"Alpha Name: Beta | com.example.odd | /Library/LaunchAgents/Executable: odd/tool | 70 | Type: x"});
        row("later line replaces earlier",
            record({"Identifier: com.example.first", "Name: One", "Identifier: com.example.second", "Name: Two"}),
            {"Two | com.example.second | - | 0 | -"});
        row("garbage", "UUID:\n\n:::\nIdentifier:\nUUID:UUID:\n\x01\x02 Identifier: x\n", {});
    }
    void parse()
    {
        QFETCH(QString, dump);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, expected);
        const QSet<QString> ids(installed.begin(), installed.end());
        QCOMPARE(describe(parseBTMDump(dump, ids, m_mac.roots())), expected);
    }

    // Only a program where launch jobs keep theirs may be offered for removal with the record.
    void executable_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<bool>("offered");
        for (const QString &path : kOffered + QStringList{"//Library//PrivilegedHelperTools/com.example.helper"})
            QTest::newRow(qPrintable(path)) << path << true;
        for (const QString &path : kRefused
                 + QStringList{"/Library/LaunchDaemons/docs/thesis.doc", "/Library/LaunchDaemons/bin/systool",
                               "/Library/LaunchDaemons/gone", "Library/LaunchDaemons/tool",
                               "/Library/LaunchDaemons/folder", "/Library/LaunchDaemons/tool-link", "/"})
            QTest::newRow(qPrintable(path)) << path << false;
    }
    void executable()
    {
        QFETCH(QString, executable);
        QFETCH(bool, offered);
        const auto items =
            parseBTMDump(record({"Identifier: com.example.exe", "Executable: " + executable}), {}, m_mac.roots());
        QCOMPARE(items.size(), 1);
        if (offered) {
            QCOMPARE(items[0].path, std::optional(m_mac.path(QDir::cleanPath(executable))));
            QVERIFY(items[0].size > 0);
        } else {
            QVERIFY(!items[0].path);
            QCOMPARE(items[0].size, 0);
        }
    }

    void runsTheTool_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("expectedCount");

        QTest::newRow("success") << QByteArray("cat \"$DUMP\"\n") << 2;
        QTest::newRow("non-zero exit") << QByteArray("cat \"$DUMP\"\nexit 1\n") << 0;
        QTest::newRow("not UTF-8") << QByteArray("cat \"$DUMP\"\nprintf '\\377\\376'\n") << 0;
    }
    void runsTheTool()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, expectedCount);
        const QString dumpFile = m_mac.createFile(
            QStringLiteral("/tmp/dump.txt"),
            (record({"Identifier: com.example.one"}) + record({"Identifier: com.example.two"})).toUtf8());
        const QString argsFile = m_mac.path(QStringLiteral("/tmp/args.txt"));
        QFile::remove(argsFile);
        const QString tool = m_mac.createScript(
            QStringLiteral("/tmp/sfltool"),
            "DUMP='" + QFile::encodeName(dumpFile) + "'\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(argsFile)
                + "'\n" + script);
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/usr/bin/sfltool"), tool);

        QCOMPARE(findOrphanBackgroundItems(m_mac.roots(), runner, {}).size(), expectedCount);
        QFile args(argsFile);
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(args.readAll(), QByteArray("dumpbtm\n"));
    }
};

QTEST_GUILESS_MAIN(TestBackgroundRecords)
#include "tst_background_records.moc"
