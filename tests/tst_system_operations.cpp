#include "core/engine/AdminCommand.h"
#include "core/engine/SystemOperations.h"
#include "support/FakeMac.h"
#include "support/FakeOsascript.h"

#include <QtTest>

#include <algorithm>

#include <regex.h>
#include <unistd.h>

using Behaviour = FakeOsascript::Behaviour;
Q_DECLARE_METATYPE(FakeOsascript::Behaviour)

namespace {

const QString kOsascript = QStringLiteral("/usr/bin/osascript");

// A fake tool that writes each argument on a line, then "<end>", and exits with `exitCode`.
QString recordingTool(FakeMac &mac, const QString &name, int exitCode)
{
    const QString log = mac.path(QStringLiteral("/fake-tools/") + name + QStringLiteral(".log"));
    QByteArray body = "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + log.toUtf8() + "'; done\n";
    body += "printf '<end>\\n' >> '" + log.toUtf8() + "'\nexit " + QByteArray::number(exitCode) + "\n";
    return mac.createScript(QStringLiteral("/fake-tools/") + name, body);
}

QList<QStringList> recordedCalls(FakeMac &mac, const QString &name)
{
    QFile f(mac.path(QStringLiteral("/fake-tools/") + name + QStringLiteral(".log")));
    QList<QStringList> calls;
    if (!f.open(QIODevice::ReadOnly))
        return calls;
    QStringList current;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line == QLatin1String("<end>")) {
            calls << current;
            current.clear();
        } else {
            current << line;
        }
    }
    return calls;
}

QStringList sortedUnique(QStringList list)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

}

class TestSystemOperations : public QObject
{
    Q_OBJECT
private slots:
    void plainPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("plain");
        QTest::newRow("root") << "/" << true;
        QTest::newRow("ordinary") << "/Library/Caches/com.example" << true;
        QTest::newRow("dots inside names") << "/a/..b/c.d/.e" << true;
        QTest::newRow("dot") << "/Library/./Caches" << false;
        QTest::newRow("nul") << QStringLiteral("/a") + QChar(0) + QStringLiteral("b") << false;
    }
    void plainPaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, plain);
        QCOMPARE(ScannerEngine::isPlainPath(path), plain);
    }

    void commandText()
    {
        const QString script = AdminCommand::script({QStringLiteral("/a b"), QStringLiteral("/it's \"x\"\\y")},
                                                    QStringLiteral("Ed"));
        QCOMPARE(script, QStringLiteral("do shell script \"/bin/rm -rfv -- '/a b' '/it'\\\\''s \\\"x\\\"\\\\y'\""
                                        " with prompt \"Quillmere needs administrator access to remove"
                                        " system-protected files for Ed.\" with administrator privileges"));
    }

    void commandRoundTrip_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("appName");
        for (const QString &name : FakeMac::awkwardNames())
            QTest::newRow(qPrintable(name)) << QStringList{QStringLiteral("/Library/") + name} << name;
        QTest::newRow("all at once") << FakeMac::awkwardNames() << "the selected items";
        QTest::newRow("quote runs") << QStringList{"/''", "/\\'\\\"", "/\\\\\"\"", "/ '-- x"} << "\\\"";
        QTest::newRow("escape letters") << QStringList{"/a\\n\\t\\r", "/tab\there"} << "\\n";
    }
    void commandRoundTrip()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, appName);
        const auto parsed = AdminCommand::parse(AdminCommand::script(paths, appName));
        QVERIFY(parsed);
        QCOMPARE(parsed->paths, paths);
        QCOMPARE(parsed->prompt, AdminCommand::prompt(appName));
    }

    // The quoted paths read back by a real shell: each arrives as one word,
    // unchanged, and nothing in them is run.
    void commandSurvivesARealShell()
    {
        QTemporaryDir dir;
        QStringList paths;
        for (const QString &name : FakeMac::awkwardNames())
            paths << QStringLiteral("/Library/") + name;
        paths << QStringLiteral("/a`touch pwned`b") << QStringLiteral("/x'; touch pwned; '")
              << QStringLiteral("/line\u2028sep\u2029para\rcr") << QStringLiteral("/$HOME ${IFS} !! * ?");
        const auto command = AdminCommand::parseAppleScriptLiteralBody(
            AdminCommand::appleScriptEscaped(AdminCommand::removalCommand(paths)));
        QVERIFY(command);
        const QString prefix = QStringLiteral("/bin/rm -rfv -- ");
        QVERIFY(command->startsWith(prefix));

        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QStringLiteral("printf '%s\\0' ") + command->mid(prefix.size())});
        QVERIFY(shell.waitForFinished());
        QCOMPARE(shell.exitCode(), 0);
        QStringList words = QString::fromUtf8(shell.readAllStandardOutput()).split(QChar(0));
        QCOMPARE(words.takeLast(), QString());
        QCOMPARE(words, paths);
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void parseRejectsOtherText_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("empty") << "";
        QTest::newRow("other command") << "do shell script \"/bin/ls -- '/a'\" with prompt \"p\" with administrator privileges";
        QTest::newRow("unquoted path") << "do shell script \"/bin/rm -rfv -- /a\" with prompt \"p\" with administrator privileges";
        QTest::newRow("open quote") << "do shell script \"/bin/rm -rfv -- '/a\" with prompt \"p\" with administrator privileges";
        QTest::newRow("bare double quote") << "do shell script \"/bin/rm -rfv -- '/\"a'\" with prompt \"p\" with administrator privileges";
        QTest::newRow("applescript escape") << "do shell script \"/bin/rm -rfv -- '/\\na'\" with prompt \"p\" with administrator privileges";
        QTest::newRow("two blanks") << "do shell script \"/bin/rm -rfv -- '/a'  '/b'\" with prompt \"p\" with administrator privileges";
        QTest::newRow("no paths") << "do shell script \"/bin/rm -rfv -- \" with prompt \"p\" with administrator privileges";
        QTest::newRow("command substitution") << "do shell script \"/bin/rm -rfv -- '/a'$(x)\" with prompt \"p\" with administrator privileges";
        QTest::newRow("truncated") << "do shell script \"/bin/rm -rfv -- '/a'\" with prompt \"p";
    }
    void parseRejectsOtherText()
    {
        QFETCH(QString, script);
        QVERIFY(!AdminCommand::parse(script));
    }

    void emptyRequestRunsNothing()
    {
        FakeMac mac;
        FakeOsascript fake(mac.root());
        ToolRunner runner;
        runner.setToolPath(kOsascript, fake.executable());
        const AdminRemovalResult r
            = ScannerEngine::removeWithAdministratorPrivileges(mac.roots(), runner, {}, QStringLiteral("X"));
        QVERIFY(r.removed.isEmpty() && r.failed.isEmpty() && !r.cancelled);
        QVERIFY(fake.scripts().isEmpty());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("badPath"); // "@" stands for the fake Mac's root
        const QStringList roots = {"/", "/System", "/usr", "/bin", "/sbin", "/Library", "/Applications", "/Users",
                                   "/private"};
        for (const QString &r : roots)
            QTest::newRow(qPrintable(QStringLiteral("root ") + r)) << (r == QLatin1String("/") ? "@" : "@" + r);
        QTest::newRow("trailing slash") << "@/Library/";
        QTest::newRow("double slash") << "@//Library";
        QTest::newRow("dot dot") << "@/Library/Caches/..";
        QTest::newRow("relative") << "Library/Caches/Example";
        QTest::newRow("home folder") << "@/Users/tester";
        QTest::newRow("empty") << "";
        QTest::newRow("outside the root") << "/nonexistent-quillmere-test/x";
        // The Mac's file system ignores case.
        QTest::newRow("root in lower case") << "@/library";
        QTest::newRow("root in upper case") << "@/USERS";
        QTest::newRow("home folder in other case") << "@/users/Tester";
        // A linked folder on the way: rm follows it.
        QTest::newRow("root behind a linked folder") << "@/Library/Caches/top/Users";
        QTest::newRow("home behind a linked folder") << "@/Library/Caches/homes/tester";
        QTest::newRow("linked folder out of the root") << "@/Library/Caches/out/x";
    }
    void refusals()
    {
        QFETCH(QString, badPath);
        FakeMac mac;
        FakeOsascript fake(mac.root());
        ToolRunner runner;
        runner.setToolPath(kOsascript, fake.executable());
        const QString keep = mac.createFile(QStringLiteral("/Library/Caches/Example/data"), "x");
        mac.createSymlink(mac.root(), QStringLiteral("/Library/Caches/top"));
        mac.createSymlink(mac.path(QStringLiteral("/Users")), QStringLiteral("/Library/Caches/homes"));
        mac.createSymlink(QDir::tempPath(), QStringLiteral("/Library/Caches/out"));
        const QString path = badPath.startsWith(QLatin1Char('@')) ? mac.root() + badPath.mid(1) : badPath;

        const QStringList asked = {keep, path};
        const AdminRemovalResult r
            = ScannerEngine::removeWithAdministratorPrivileges(mac.roots(), runner, asked, QStringLiteral("X"));
        QVERIFY(r.removed.isEmpty());
        QCOMPARE(r.failed, sortedUnique(asked));
        QVERIFY(!r.cancelled);
        QVERIFY(fake.scripts().isEmpty());
        QVERIFY(QFileInfo::exists(keep));
    }

    void removesAwkwardPaths()
    {
        FakeMac mac;
        FakeOsascript fake(mac.root());
        ToolRunner runner;
        runner.setToolPath(kOsascript, fake.executable());
        QStringList asked;
        for (const QString &name : FakeMac::awkwardNames())
            asked << mac.createFile(QStringLiteral("/Library/Caches/") + name, "x");
        asked << mac.createDir(QStringLiteral("/Library/Application Support/Example"));
        mac.createFile(QStringLiteral("/Library/Application Support/Example/inner/file"), "y");
        const QString bystander = mac.createFile(QStringLiteral("/Library/Caches/pwned"));
        asked << asked.first(); // given twice

        const QString appName = QStringLiteral("Bob's \"Editor\" \\ 2");
        const AdminRemovalResult r = ScannerEngine::removeWithAdministratorPrivileges(mac.roots(), runner, asked, appName);
        const QStringList expected = sortedUnique(asked);
        QCOMPARE(r.removed, expected);
        QVERIFY(r.failed.isEmpty());
        QVERIFY(!r.cancelled);
        for (const QString &p : expected)
            QVERIFY2(!QFileInfo::exists(p), qPrintable(p));
        QVERIFY(QFileInfo::exists(bystander));

        const QStringList scripts = fake.scripts();
        QCOMPARE(scripts.size(), 1);
        const auto parsed = AdminCommand::parse(scripts.first());
        QVERIFY(parsed);
        QCOMPARE(parsed->paths, expected);
        QCOMPARE(parsed->prompt, QStringLiteral("Quillmere needs administrator access to remove system-protected files for ")
                                     + appName + QLatin1Char('.'));
    }

    void outcomes_data()
    {
        QTest::addColumn<bool>("toolPresent");
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<QStringList>("removed"); // names "a", "b" below /Library/Caches
        QTest::addColumn<QStringList>("failed");
        QTest::addColumn<bool>("cancelled");
        const QStringList both = {"a", "b"};
        QTest::newRow("removed") << true << Behaviour::Remove << both << QStringList() << false;
        QTest::newRow("still there but listed") << true << Behaviour::ListOnly << both << QStringList() << false;
        QTest::newRow("still there, not listed") << true << Behaviour::RemoveNothing << QStringList() << both << false;
        QTest::newRow("cancelled by status") << true << Behaviour::CancelByStatus << QStringList() << both << true;
        QTest::newRow("cancelled by message") << true << Behaviour::CancelByText << QStringList() << both << true;
        QTest::newRow("failed after the first") << true << Behaviour::FailAfterFirst << QStringList{"a"} << QStringList{"b"}
                                                << false;
        QTest::newRow("flood of output") << true << Behaviour::Flood << both << QStringList() << false;
        QTest::newRow("no osascript") << false << Behaviour::Remove << QStringList() << both << false;
    }
    void outcomes()
    {
        QFETCH(bool, toolPresent);
        QFETCH(Behaviour, behaviour);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, failed);
        QFETCH(bool, cancelled);
        FakeMac mac;
        FakeOsascript fake(mac.root());
        fake.setBehaviour(behaviour);
        ToolRunner runner;
        runner.setToolPath(kOsascript, toolPresent ? fake.executable() : mac.path(QStringLiteral("/no/osascript")));
        const auto real = [&](const QStringList &names) {
            QStringList out;
            for (const QString &n : names)
                out << mac.path(QStringLiteral("/Library/Caches/") + n);
            return out;
        };
        const QString b = mac.createDir(QStringLiteral("/Library/Caches/b"));
        mac.createFile(QStringLiteral("/Library/Caches/b/inner"), "1");
        const QString a = mac.createFile(QStringLiteral("/Library/Caches/a"), "2");

        const AdminRemovalResult r
            = ScannerEngine::removeWithAdministratorPrivileges(mac.roots(), runner, {b, a}, QStringLiteral("X"));
        QCOMPARE(r.removed, real(removed));
        QCOMPARE(r.failed, real(failed));
        QCOMPARE(r.cancelled, cancelled);
        QCOMPARE(fake.scripts().size(), toolPresent ? 1 : 0);
        if (behaviour != Behaviour::ListOnly) {
            for (const QString &p : r.removed)
                QVERIFY2(!QFileInfo::exists(p), qPrintable(p));
        }
        for (const QString &p : r.failed)
            QVERIFY2(QFileInfo::exists(p), qPrintable(p));
    }

    void terminateApp_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<int>("exitCode"); // -1: tool missing
        QTest::addColumn<QStringList>("arguments"); // empty: pkill must not run
        QTest::addColumn<int>("count");
        QTest::newRow("matched") << "com.example.editor" << 0
                                 << QStringList{"-f", "--", "com\\.example\\.editor([^[:alnum:]_-]|$)"} << 1;
        QTest::newRow("nothing matched") << "com.example.editor" << 1
                                         << QStringList{"-f", "--", "com\\.example\\.editor([^[:alnum:]_-]|$)"} << 0;
        QTest::newRow("pattern characters") << "org.a+b.(x)|y*" << 0
                                            << QStringList{"-f", "--", "org\\.a\\+b\\.\\(x\\)\\|y\\*([^[:alnum:]_-]|$)"} << 1;
        QTest::newRow("leading dash") << "-9.example" << 0 << QStringList{"-f", "--", "-9\\.example([^[:alnum:]_-]|$)"} << 1;
        QTest::newRow("one component") << "editor" << 0 << QStringList() << 0;
        QTest::newRow("vendor only") << "com." << 0 << QStringList() << 0;
        QTest::newRow("empty") << "" << 0 << QStringList() << 0;
        QTest::newRow("no pkill") << "com.example.editor" << -1 << QStringList() << 0;
        QTest::newRow("apple") << "com.apple.Safari" << 0 << QStringList() << 0;
        QTest::newRow("apple itself") << "com.apple" << 0 << QStringList() << 0;
    }
    void terminateApp()
    {
        QFETCH(QString, bundleID);
        QFETCH(int, exitCode);
        QFETCH(QStringList, arguments);
        QFETCH(int, count);
        FakeMac mac;
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/usr/bin/pkill"), exitCode < 0 ? mac.path(QStringLiteral("/no/pkill"))
                                                                          : recordingTool(mac, QStringLiteral("pkill"), exitCode));
        QCOMPARE(ScannerEngine::terminateApp(runner, bundleID), count);
        const QList<QStringList> calls = recordedCalls(mac, QStringLiteral("pkill"));
        if (arguments.isEmpty())
            QVERIFY(calls.isEmpty());
        else
            QCOMPARE(calls, QList<QStringList>{arguments});
    }

    // pkill -f matches its pattern, an extended regular expression, anywhere in
    // a process's command line; the pattern is checked here the same way.
    void pkillPatternMatches_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("matches");
        QTest::addColumn<QStringList>("installed");
        QTest::newRow("the application") << "com.example.editor" << "/x/Editor --id com.example.editor" << true << QStringList();
        QTest::newRow("its helper") << "com.example.editor" << "/x/com.example.editor.helper" << true << QStringList();
        QTest::newRow("quoted") << "com.example.editor" << "run 'com.example.editor' now" << true << QStringList();
        QTest::newRow("longer identifier") << "com.example.editor" << "/x/com.example.editor2" << false << QStringList();
        QTest::newRow("longer word") << "com.example.sync" << "/x/com.example.syncd" << false << QStringList();
        QTest::newRow("hyphenated") << "com.example.sync" << "/x/com.example.sync-agent" << false << QStringList();
        QTest::newRow("dot is literal") << "com.example.editor" << "/x/comXexampleXeditor" << false << QStringList();
        QTest::newRow("pattern characters") << "org.a+b.(x)|y*" << "/x/org.a+b.(x)|y*" << true << QStringList();
        const QStringList ce{"com.jetbrains.intellij.ce"};
        QTest::newRow("installed extension") << "com.jetbrains.intellij" << "/x/com.jetbrains.intellij.ce/bin/idea"
                                             << false << ce;
        QTest::newRow("beside an installed extension") << "com.jetbrains.intellij" << "idea -id com.jetbrains.intellij"
                                                       << true << ce;
    }
    void pkillPatternMatches()
    {
        QFETCH(QString, bundleID);
        QFETCH(QString, commandLine);
        QFETCH(bool, matches);
        QFETCH(QStringList, installed);
        FakeMac mac;
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/usr/bin/pkill"), recordingTool(mac, QStringLiteral("pkill"), 1));
        ScannerEngine::terminateApp(runner, bundleID, QSet<QString>(installed.cbegin(), installed.cend()));
        const QList<QStringList> calls = recordedCalls(mac, QStringLiteral("pkill"));
        QCOMPARE(calls.size(), 1);
        regex_t re;
        QCOMPARE(regcomp(&re, calls.first().last().toUtf8().constData(), REG_EXTENDED | REG_NOSUB), 0);
        const bool matched = regexec(&re, commandLine.toUtf8().constData(), 0, nullptr, 0) == 0;
        regfree(&re);
        QCOMPARE(matched, matches);
    }

    void permissionResets_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("service");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("result");
        QTest::newRow("tool failed") << false << "com.x.y" << "Camera" << 1
                                     << QStringList{"reset", "Camera", "com.x.y"} << false;
        QTest::newRow("no bundle id") << false << "" << "Camera" << 0 << QStringList() << false;
        QTest::newRow("no service") << false << "com.x.y" << " " << 0 << QStringList() << false;
        // Each would reset more than the row's own permission.
        QTest::newRow("service All") << false << "com.x.y" << "All" << 0 << QStringList() << false;
        QTest::newRow("service all, any case") << false << "com.x.y" << "a LL" << 0 << QStringList() << false;
        QTest::newRow("not letters and digits") << false << "com.x.y" << "Camera;All" << 0 << QStringList() << false;
        QTest::newRow("all") << true << "com.x.y" << "" << 0 << QStringList{"reset", "All", "com.x.y"} << true;
        QTest::newRow("all without bundle id") << true << "" << "" << 0 << QStringList() << false;
        QTest::newRow("all, option-like id") << true << "-h" << "" << 0 << QStringList() << false;
    }
    void permissionResets()
    {
        QFETCH(bool, all);
        QFETCH(QString, bundleID);
        QFETCH(QString, service);
        QFETCH(int, exitCode);
        QFETCH(QStringList, arguments);
        QFETCH(bool, result);
        FakeMac mac;
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/usr/bin/tccutil"), recordingTool(mac, QStringLiteral("tccutil"), exitCode));
        const bool ok = all ? ScannerEngine::tccResetAll(runner, bundleID)
                            : ScannerEngine::tccReset(runner, bundleID, service);
        QCOMPARE(ok, result);
        const QList<QStringList> calls = recordedCalls(mac, QStringLiteral("tccutil"));
        if (arguments.isEmpty())
            QVERIFY(calls.isEmpty());
        else
            QCOMPARE(calls, QList<QStringList>{arguments});
    }

    void bootout()
    {
        FakeMac mac;
        ToolRunner runner;
        runner.setToolPath(QStringLiteral("/bin/launchctl"), recordingTool(mac, QStringLiteral("launchctl"), 3));
        for (const char *label : {"", "com.apple", "com.apple.Safari", "ABCDE12345.com.apple.x"})
            ScannerEngine::launchctlBootout(runner, QString::fromLatin1(label));
        QVERIFY(recordedCalls(mac, QStringLiteral("launchctl")).isEmpty());
        ScannerEngine::launchctlBootout(runner, QStringLiteral("com.example.sync"));
        const QStringList expected = {"bootout", QStringLiteral("gui/%1/com.example.sync").arg(::getuid())};
        QCOMPARE(recordedCalls(mac, QStringLiteral("launchctl")), QList<QStringList>{expected});
    }

    void launchdPlists_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");
        const QStringList sync = {"~/Library/LaunchAgents/com.example.sync.agent.plist",
                                  "~/Library/LaunchAgents/com.example.sync.plist",
                                  "~/Library/LaunchAgents/org.other.com.example.sync.agent.plist",
                                  "/Library/LaunchDaemons/com.example.sync.helper.plist"};
        const QStringList none;
        QTest::newRow("label") << "com.example.sync" << none << sync;
        QTest::newRow("installed extension") << "com.example.sync" << QStringList{"com.example.sync.agent"}
                                             << QStringList{"~/Library/LaunchAgents/com.example.sync.plist",
                                                            "/Library/LaunchDaemons/com.example.sync.helper.plist"};
        QTest::newRow("longer name") << "com.example.syncd" << none
                                     << QStringList{"/Library/LaunchAgents/com.example.syncd.plist"};
        QTest::newRow("apple") << "com.apple.sync" << none << none;
        QTest::newRow("apple itself") << "com.apple" << none << none;
        QTest::newRow("too short") << "a.bc" << none << none;
        QTest::newRow("empty") << "" << none << none;
        QTest::newRow("one component") << "syncer" << none << QStringList{"/Library/LaunchDaemons/syncer.plist"};
    }
    void launchdPlists()
    {
        QFETCH(QString, label);
        QFETCH(QStringList, installed);
        QFETCH(QStringList, expected);
        FakeMac mac;
        for (const char *name : {"com.example.sync.plist", "com.example.sync.agent.plist",
                                 "org.other.com.example.sync.agent.plist", "example.sync.plist",
                                 "com.example.sync.txt", "com.example.synchro.plist"})
            mac.createFile(QStringLiteral("~/Library/LaunchAgents/") + QLatin1String(name));
        mac.createFile(QStringLiteral("/Library/LaunchAgents/com.example.syncd.plist"));
        mac.createFile(QStringLiteral("/Library/LaunchDaemons/com.example.sync.helper.plist"));
        mac.createFile(QStringLiteral("/Library/LaunchDaemons/com.apple.sync.plist"));
        mac.createFile(QStringLiteral("/Library/LaunchDaemons/com.apple.com.example.sync.plist"));
        mac.createFile(QStringLiteral("/Library/LaunchDaemons/a.bc.plist"));
        mac.createFile(QStringLiteral("/Library/LaunchDaemons/syncer.plist"));
        mac.createFile(QStringLiteral("~/Library/LaunchAgents/com.other.syncer.plist"));
        mac.createFile(QStringLiteral("~/Library/LaunchAgents/org.syncer.agent.plist"));
        QStringList real;
        for (const QString &p : expected)
            real << mac.path(p);
        QCOMPARE(ScannerEngine::launchdPlists(mac.roots(), label, QSet<QString>(installed.cbegin(), installed.cend())),
                 real);
    }
};

int main(int argc, char **argv)
{
    if (const auto exitCode = FakeOsascript::runIfRequested(argc, argv))
        return *exitCode;
    QCoreApplication app(argc, argv);
    TestSystemOperations test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_system_operations.moc"
