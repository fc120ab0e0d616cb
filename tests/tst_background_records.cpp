#include "core/engine/BackgroundTaskRecords.h"
#include "support/FakeMac.h"

#include <QtTest>

using namespace ScannerEngine;

namespace {

// One record of the dump as the tool writes it: a "UUID:" line, then indented key lines.
QString record(const QString &uuid, const QStringList &lines)
{
    QString text = QStringLiteral("#1:\n    UUID: ") + uuid + QLatin1Char('\n');
    for (const QString &line : lines)
        text += QStringLiteral("    ") + line + QLatin1Char('\n');
    return text;
}

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
        m_mac.createFileOfSize(QStringLiteral("/Library/PrivilegedHelperTools/com.example.helper"), 300);
        m_mac.createFileOfSize(QStringLiteral("/Library/LaunchAgents/Executable: odd/tool"), 70);
        for (const char *p : {"/Library/LaunchDaemons/tool", "/Library/LaunchAgents/sub/tool", "~/Library/LaunchAgents/tool",
                              "~/Library/Application Support/com.example.app/bin/tool",
                              "/Library/Application Support/Vendor/tool", "~/Documents/thesis.doc",
                              "~/.local/lib/runtime", "/etc/tool", "/Applications/Helper.app/Contents/MacOS/helper",
                              "~/Library/Application Support/AddressBook/db", "~/Library/Application Support/addressbook/db",
                              "~/Library/Application Support/group.com.apple.x/tool", "/Library/Application Support/Apple/tool",
                              "/usr/bin/systool"})
            m_mac.createFileOfSize(QString::fromLatin1(p), 10);
        m_mac.createDir(QStringLiteral("/Library/LaunchDaemons/folder"));
        m_mac.createSymlink(m_mac.path(QStringLiteral("/Library/LaunchDaemons/tool")),
                            QStringLiteral("/Library/LaunchDaemons/tool-link"));
        m_mac.createSymlink(m_mac.path(QStringLiteral("/usr/bin")), QStringLiteral("/Library/LaunchDaemons/bin"));
        m_mac.createSymlink(m_mac.path(QStringLiteral("~/Documents")), QStringLiteral("/Library/LaunchDaemons/docs"));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("dump");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");

        const QString full = record("A-1", {"Name: Helper", "Identifier: com.example.helper",
                                            "Executable: /Library/PrivilegedHelperTools/com.example.helper",
                                            "Type: login item (0x4)"});
        QTest::newRow("empty") << QString() << QStringList() << QStringList();
        QTest::newRow("full record") << full << QStringList()
                                     << QStringList{"Helper | com.example.helper | "
                                                    "/Library/PrivilegedHelperTools/com.example.helper | 300 | login item"};
        QTest::newRow("keys before the first record are dropped")
            << "Identifier: com.example.early\nName: Early\n" + record("A", {"Identifier: com.example.late"})
            << QStringList() << QStringList{"Late | com.example.late | - | 0 | -"};
        QTest::newRow("empty name uses the identifier")
            << record("A", {"Name: ", "Identifier: com.example.MyCoolTool"}) << QStringList()
            << QStringList{"My Cool Tool | com.example.MyCoolTool | - | 0 | -"};
        QTest::newRow("flag words cleaned")
            << record("A", {"Identifier: com.example.one", "Type: app (0x2)"})
                   + record("B", {"Identifier: com.example.two", "Type: legacy daemon (0xDEADbeef) extra"})
                   + record("C", {"Identifier: com.example.three", "Type: agent (0x)"})
            << QStringList()
            << QStringList{"One | com.example.one | - | 0 | app", "Two | com.example.two | - | 0 | legacy daemon extra",
                           "Three | com.example.three | - | 0 | agent (0x)"};
        QTest::newRow("missing or empty executable is still reported")
            << record("A", {"Identifier: com.example.gone", "Executable: missing value"})
                   + record("B", {"Identifier: com.example.blank", "Executable:   "})
                   + record("C", {"Identifier: com.example.later",
                                  "Executable: /Library/PrivilegedHelperTools/com.example.helper",
                                  "Executable: missing value"})
            << QStringList()
            << QStringList{"Gone | com.example.gone | - | 0 | -", "Blank | com.example.blank | - | 0 | -",
                           "Later | com.example.later | /Library/PrivilegedHelperTools/com.example.helper | 300 | -"};
        QTest::newRow("owner is the parent without team prefix")
            << record("A", {"Identifier: com.example.suite.agent", "Parent Identifier: ABCDE12345.com.example.suite"})
                   + record("B", {"Identifier: ABCDE12345.com.example.solo"})
                   + record("C", {"Identifier: com.example.plain", "Parent Identifier: examplesuite"})
            << QStringList()
            << QStringList{"Agent | com.example.suite | - | 0 | -", "Solo | com.example.solo | - | 0 | -",
                           "Plain | examplesuite | - | 0 | -"};
        QTest::newRow("apple and short identifiers skipped")
            << record("A", {"Identifier: com.apple.dock"}) + record("B", {"Identifier: a.bc"})
                   + record("C", {"Identifier: abcde"})
                   + record("D", {QString::fromUtf8("Identifier: e\u0301e\u0301e\u0301e\u0301")})
                   + record("E", {"Identifier: com.applecorp.x"}) + record("F", {"Identifier: com.apple"})
                   + record("G", {"Identifier: ABCDE12345.com.apple.x"})
            << QStringList() << QStringList{"Abcde | abcde | - | 0 | -", "X | com.applecorp.x | - | 0 | -"};
        QTest::newRow("installed owners skipped")
            << record("A", {"Identifier: com.example.installed"})
                   + record("B", {"Identifier: com.example.child", "Parent Identifier: com.example.installed"})
                   + record("C", {"Identifier: com.example.kid", "Parent Identifier: ABCDE12345.com.example.installed"})
                   + record("D", {"Identifier: ABCDE12345.com.example.installed.helper"})
                   + record("E", {"Identifier: com.example.other"})
            << QStringList{"com.example.installed", "com.example.installed.helper"}
            << QStringList{"Other | com.example.other | - | 0 | -"};
        QTest::newRow("first record of an identifier wins")
            << record("A", {"Name: First", "Identifier: com.example.dup"})
                   + record("B", {"Name: Second", "Identifier: com.example.dup"})
            << QStringList() << QStringList{"First | com.example.dup | - | 0 | -"};
        QTest::newRow("trailing UUID line opens an empty record")
            << full + QStringLiteral("UUID: last\n") << QStringList()
            << QStringList{"Helper | com.example.helper | /Library/PrivilegedHelperTools/com.example.helper | 300 | login item"};
        QString crlf = full;
        crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        QTest::newRow("CR LF line ends") << crlf << QStringList()
                                         << QStringList{"Helper | com.example.helper | "
                                                        "/Library/PrivilegedHelperTools/com.example.helper | 300 | login item"};
        QTest::newRow("other line breaks and tabs")
            << QString::fromUtf8("UUID: x\u2028\tIdentifier: com.example.tab\t\rName:\tTabbed \u0085Type: t")
            << QStringList() << QStringList{"Tabbed | com.example.tab | - | 0 | t"};
        QTest::newRow("keys after other words are ignored")
            << record("A", {"Identifier: com.example.real", "Team Identifier: com.example.team",
                            "Bundle Identifier: com.example.bundle", "Display Name: Shown", "Developer Name: Dev",
                            "Disposition: [enabled] Type: fake", "URL: Executable: /Applications/Helper.app"})
            << QStringList() << QStringList{"Real | com.example.real | - | 0 | -"};
        QTest::newRow("key words inside a value are kept")
            << record("A", {"Identifier: com.example.odd", "Name: Alpha Name: Beta",
                            "Executable: /Library/LaunchAgents/Executable: odd/tool", "Type: Type: x"})
            << QStringList()
            << QStringList{"Alpha Name: Beta | com.example.odd | /Library/LaunchAgents/Executable: odd/tool | 70 | Type: x"};
        QTest::newRow("later line replaces earlier")
            << record("A", {"Identifier: com.example.first", "Name: One", "Identifier: com.example.second", "Name: Two"})
            << QStringList() << QStringList{"Two | com.example.second | - | 0 | -"};
        QTest::newRow("garbage")
            << QStringLiteral("UUID:\n\n:::\nIdentifier:\nUUID:UUID:\n\x01\x02 Identifier: x\n") << QStringList()
            << QStringList();
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

        for (const char *p : {"/Library/PrivilegedHelperTools/com.example.helper", "/Library/LaunchDaemons/tool",
                              "/Library/LaunchAgents/sub/tool", "/Users/tester/Library/LaunchAgents/tool",
                              "/Users/tester/Library/Application Support/com.example.app/bin/tool",
                              "/Library/Application Support/Vendor/tool",
                              "//Library//PrivilegedHelperTools/com.example.helper"})
            QTest::newRow(p) << QString::fromLatin1(p) << true;
        for (const char *p : {"/Users/tester/Documents/thesis.doc", "/Users/tester/.local/lib/runtime", "/etc/tool",
                              "/Applications/Helper.app/Contents/MacOS/helper",
                              "/Users/tester/Library/Application Support/AddressBook/db",
                              "/Users/tester/Library/Application Support/addressbook/db",
                              "/Users/tester/Library/Application Support/group.com.apple.x/tool",
                              "/Library/Application Support/Apple/tool", "/Library/LaunchDaemons/docs/thesis.doc",
                              "/Library/LaunchDaemons/bin/systool", "/Library/LaunchDaemons/gone",
                              "Library/LaunchDaemons/tool", "/Library/LaunchDaemons/folder",
                              "/Library/LaunchDaemons/tool-link", "/"})
            QTest::newRow(p) << QString::fromLatin1(p) << false;
    }
    void executable()
    {
        QFETCH(QString, executable);
        QFETCH(bool, offered);
        const auto items =
            parseBTMDump(record("A", {"Identifier: com.example.exe", "Executable: " + executable}), {}, m_mac.roots());
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
        QTest::newRow("killed") << QByteArray("cat \"$DUMP\"\nkill -9 $$\n") << 0;
        QTest::newRow("not UTF-8") << QByteArray("cat \"$DUMP\"\nprintf '\\377\\376'\n") << 0;
        QTest::newRow("no output") << QByteArray("exit 0\n") << 0;
        QTest::newRow("no tool") << QByteArray() << 0;
    }
    void runsTheTool()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, expectedCount);
        const QString dumpFile = m_mac.createFile(
            QStringLiteral("/tmp/dump.txt"),
            (record("A", {"Identifier: com.example.one"}) + record("B", {"Identifier: com.example.two"})).toUtf8());
        const QString argsFile = m_mac.path(QStringLiteral("/tmp/args.txt"));
        QFile::remove(argsFile);
        const QString tool = m_mac.createScript(
            QStringLiteral("/tmp/sfltool"),
            "DUMP='" + QFile::encodeName(dumpFile) + "'\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(argsFile)
                + "'\n" + script);
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/usr/bin/sfltool"),
                           script.isEmpty() ? m_mac.path(QStringLiteral("/usr/bin/sfltool")) : tool);

        QCOMPARE(findOrphanBackgroundItems(m_mac.roots(), runner, {}).size(), expectedCount);
        if (script.isEmpty())
            return;
        QFile args(argsFile);
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(args.readAll(), QByteArray("dumpbtm\n"));
    }
};

QTEST_GUILESS_MAIN(TestBackgroundRecords)
#include "tst_background_records.moc"
