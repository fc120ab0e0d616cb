#include "core/engine/AdminCommand.h"
#include "core/engine/SystemOperations.h"
#include "support/FakeOsascript.h"
#include "support/ScannerFixture.h"

#include <QtTest>

#include <regex.h>
#include <unistd.h>

using Behaviour = FakeOsascript::Behaviour;
Q_DECLARE_METATYPE(FakeOsascript::Behaviour)

namespace {

QStringList sortedUnique(QStringList list)
{
    list.sort();
    list.removeDuplicates();
    return list;
}

}

class TestSystemOperations : public QObject
{
    Q_OBJECT
private slots:
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
        // "%1": what follows "/bin/rm -rfv -- " in the shell text.
        const QString rm = "do shell script \"/bin/rm -rfv -- %1\" with prompt \"p\" with administrator privileges";
        QTest::newRow("other command") << "do shell script \"/bin/ls -- '/a'\" with prompt \"p\" with administrator privileges";
        QTest::newRow("open quote") << rm.arg("'/a");
        QTest::newRow("bare double quote") << rm.arg("'/\"a'");
        QTest::newRow("applescript escape") << rm.arg("'/\\na'");
        QTest::newRow("two blanks") << rm.arg("'/a'  '/b'");
        QTest::newRow("no paths") << rm.arg("");
        QTest::newRow("command substitution") << rm.arg("'/a'$(x)");
        QTest::newRow("truncated") << "do shell script \"/bin/rm -rfv -- '/a'\" with prompt \"p";
    }
    void parseRejectsOtherText()
    {
        QFETCH(QString, script);
        QVERIFY(!AdminCommand::parse(script));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("badPath"); // "@" stands for the fake Mac's root
        for (const char *r : {"", "/System", "/usr", "/bin", "/sbin", "/Library", "/Applications", "/Users", "/private"})
            QTest::addRow("root %s", r) << "@" + QString::fromLatin1(r);
        QTest::newRow("trailing slash") << "@/Library/";
        QTest::newRow("double slash") << "@//Library";
        QTest::newRow("dot dot") << "@/Library/Caches/..";
        QTest::newRow("relative") << "Library/Caches/Example";
        QTest::newRow("nul") << "@/Library/a" + QString(QChar(0)) + "b";
        QTest::newRow("home folder") << "@/Users/tester";
        QTest::newRow("outside the root") << "/nonexistent-quillmere-test/x";
        // The Mac's file system ignores case.
        QTest::newRow("root in lower case") << "@/library";
        QTest::newRow("home folder in other case") << "@/users/Tester";
        // A linked folder on the way: rm follows it.
        QTest::newRow("root behind a linked folder") << "@/Library/Caches/top/Users";
        QTest::newRow("home behind a linked folder") << "@/Library/Caches/homes/tester";
        QTest::newRow("linked folder out of the root") << "@/Library/Caches/out/x";
    }
    void refusals()
    {
        QFETCH(QString, badPath);
        ScannerFixture f;
        FakeOsascript fake(f.mac.root(), f.runner);
        const QString keep = f.mac.createFile("/Library/Caches/Example/data", "x");
        f.mac.createSymlink(f.mac.root(), "/Library/Caches/top");
        f.mac.createSymlink(f.mac.path("/Users"), "/Library/Caches/homes");
        f.mac.createSymlink(QDir::tempPath(), "/Library/Caches/out");
        const QStringList asked = {keep, badPath.startsWith('@') ? f.mac.root() + badPath.mid(1) : badPath};
        const AdminRemovalResult r = ScannerEngine::removeWithAdministratorPrivileges(f.mac.roots(), f.runner, asked, "X");
        QVERIFY(r.removed.isEmpty() && !r.cancelled);
        QCOMPARE(r.failed, sortedUnique(asked));
        QVERIFY(fake.requests().isEmpty());
        QVERIFY(QFileInfo::exists(keep));
    }

    void removesAwkwardPaths()
    {
        ScannerFixture f;
        FakeOsascript fake(f.mac.root(), f.runner);
        QStringList asked;
        for (const QString &name : FakeMac::awkwardNames())
            asked << f.mac.createFile("/Library/Caches/" + name, "x");
        asked << f.mac.createFile("/Library/Caches/..b/c.d/.e") << f.mac.createDir("/Library/Application Support/Example");
        f.mac.createFile("/Library/Application Support/Example/inner/file", "y");
        const QString bystander = f.mac.createFile("/Library/Caches/pwned");
        asked << asked.first(); // given twice

        const QString appName = "Bob's \"Editor\" \\ 2";
        const AdminRemovalResult r = ScannerEngine::removeWithAdministratorPrivileges(f.mac.roots(), f.runner, asked, appName);
        const QStringList expected = sortedUnique(asked);
        QCOMPARE(r.removed, expected);
        QVERIFY(r.failed.isEmpty() && !r.cancelled);
        for (const QString &p : expected)
            QVERIFY2(!QFileInfo::exists(p), qPrintable(p));
        QVERIFY(QFileInfo::exists(bystander));
        QCOMPARE(fake.requests().size(), 1);
        QCOMPARE(fake.requests().first().paths, expected);
        QCOMPARE(fake.requests().first().prompt,
                 "Quillmere needs administrator access to remove system-protected files for " + appName + '.');
    }

    void outcomes_data()
    {
        QTest::addColumn<bool>("toolPresent");
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<QStringList>("asked"); // names below /Library/Caches: "a" a file, "b" a folder
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("failed");
        QTest::addColumn<bool>("cancelled");
        const QStringList both = {"a", "b"}, none;
        QTest::newRow("removed") << true << Behaviour::Remove << both << both << none << false;
        QTest::newRow("still there but listed") << true << Behaviour::ListOnly << both << both << none << false;
        QTest::newRow("still there, not listed") << true << Behaviour::RemoveNothing << both << none << both << false;
        QTest::newRow("cancelled by status") << true << Behaviour::CancelByStatus << both << none << both << true;
        QTest::newRow("cancelled by message") << true << Behaviour::CancelByText << both << none << both << true;
        QTest::newRow("failed after the first") << true << Behaviour::FailAfterFirst << both << QStringList{"a"}
                                                << QStringList{"b"} << false;
        QTest::newRow("flood of output") << true << Behaviour::Flood << both << both << none << false;
        QTest::newRow("no osascript") << false << Behaviour::Remove << both << none << both << false;
        QTest::newRow("nothing asked") << true << Behaviour::Remove << none << none << none << false;
    }
    void outcomes()
    {
        QFETCH(bool, toolPresent);
        QFETCH(Behaviour, behaviour);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, failed);
        QFETCH(bool, cancelled);
        ScannerFixture f;
        FakeOsascript fake(f.mac.root(), f.runner);
        fake.setBehaviour(behaviour);
        if (!toolPresent)
            f.runner.setToolPath("/usr/bin/osascript", f.mac.path("/no/osascript"));
        const auto real = [&](const QStringList &names) {
            QStringList out;
            for (const QString &n : names)
                out << f.mac.path("/Library/Caches/" + n);
            return out;
        };
        f.mac.createFile("/Library/Caches/b/inner", "1");
        f.mac.createFile("/Library/Caches/a", "2");
        QStringList paths = real(asked);
        std::reverse(paths.begin(), paths.end());

        const AdminRemovalResult r = ScannerEngine::removeWithAdministratorPrivileges(f.mac.roots(), f.runner, paths, "X");
        QCOMPARE(r.removed, real(removed));
        QCOMPARE(r.failed, real(failed));
        QCOMPARE(r.cancelled, cancelled);
        QCOMPARE(fake.requests().size(), toolPresent && !asked.isEmpty() ? 1 : 0);
        for (const QString &p : r.removed)
            QVERIFY2(!QFileInfo::exists(p) || behaviour == Behaviour::ListOnly, qPrintable(p));
        for (const QString &p : r.failed)
            QVERIFY2(QFileInfo::exists(p), qPrintable(p));
    }

    // pkill -f matches its pattern, an extended regular expression, anywhere in
    // a process's command line; the pattern is checked here the same way.
    void terminateApp_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<int>("exitCode"); // -1: tool missing
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("commandLine"); // null: pkill must not run
        QTest::addColumn<bool>("matches");
        const QString editor = "com.example.editor";
        const QStringList none;
        QTest::newRow("the application") << editor << 0 << none << "/x/Editor --id com.example.editor" << true;
        QTest::newRow("nothing matched") << editor << 1 << none << "/x/Editor --id com.example.editor" << true;
        QTest::newRow("its helper") << editor << 0 << none << "/x/com.example.editor.helper" << true;
        QTest::newRow("quoted") << editor << 0 << none << "run 'com.example.editor' now" << true;
        QTest::newRow("longer identifier") << editor << 0 << none << "/x/com.example.editor2" << false;
        QTest::newRow("hyphenated") << "com.example.sync" << 0 << none << "/x/com.example.sync-agent" << false;
        QTest::newRow("dot is literal") << editor << 0 << none << "/x/comXexampleXeditor" << false;
        QTest::newRow("at the start") << editor << 0 << none << "com.example.editor --x" << true;
        QTest::newRow("inside a longer identifier") << "other.app" << 0 << none << "/x/com.other.app.helper" << false;
        QTest::newRow("after a word") << editor << 0 << none << "/x/my_com.example.editor" << false;
        QTest::newRow("after a hyphen") << editor << 0 << none << "--id=x-com.example.editor" << false;
        QTest::newRow("pattern characters") << "org.a+b.(x)|y*" << 0 << none << "/x/org.a+b.(x)|y*" << true;
        QTest::newRow("leading dash") << "-9.example" << 0 << none << "/x/-9.example" << true;
        const QStringList ce{"com.jetbrains.intellij.ce"};
        QTest::newRow("installed extension") << "com.jetbrains.intellij" << 0 << ce
                                             << "/x/com.jetbrains.intellij.ce/bin/idea" << false;
        QTest::newRow("beside an installed extension") << "com.jetbrains.intellij" << 0 << ce
                                                       << "idea -id com.jetbrains.intellij" << true;
        QTest::newRow("apple's prefix in upper case") << "COM.APPLE.Safari" << 0 << none << "/x/COM.APPLE.Safari" << true;
        for (const char *id : {"editor", "com.", "", "com.apple.Safari", "com.apple"})
            QTest::addRow("not run for '%s'", id) << QString::fromLatin1(id) << 0 << none << QString() << false;
        QTest::newRow("no pkill") << editor << -1 << none << QString() << false;
    }
    void terminateApp()
    {
        QFETCH(QString, bundleID);
        QFETCH(int, exitCode);
        QFETCH(QStringList, installed);
        QFETCH(QString, commandLine);
        QFETCH(bool, matches);
        ScannerFixture f;
        if (exitCode >= 0)
            f.fakeTool("/usr/bin/pkill", {}, exitCode);
        const int count
            = ScannerEngine::terminateApp(f.runner, bundleID, QSet<QString>(installed.cbegin(), installed.cend()));
        const QStringList calls = f.recordedCalls("/usr/bin/pkill");
        QCOMPARE(count, !commandLine.isNull() && exitCode == 0 ? 1 : 0);
        QCOMPARE(calls.size(), commandLine.isNull() ? 0 : 1);
        if (commandLine.isNull())
            return;
        const QString options = QStringLiteral("-f|--|");
        QVERIFY(calls.first().startsWith(options));
        regex_t re;
        QCOMPARE(regcomp(&re, calls.first().mid(options.size()).toUtf8().constData(), REG_EXTENDED | REG_NOSUB), 0);
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
        QTest::addColumn<QString>("call"); // empty: tccutil must not run
        QTest::addColumn<bool>("result");
        QTest::newRow("tool failed") << false << "com.x.y" << "Camera" << 1 << "reset|Camera|com.x.y" << false;
        QTest::newRow("no bundle id") << false << "" << "Camera" << 0 << "" << false;
        QTest::newRow("no service") << false << "com.x.y" << " " << 0 << "" << false;
        // Each would reset more than the row's own permission.
        QTest::newRow("service all, any case") << false << "com.x.y" << "a LL" << 0 << "" << false;
        QTest::newRow("not letters and digits") << false << "com.x.y" << "Camera;All" << 0 << "" << false;
        QTest::newRow("all") << true << "com.x.y" << "" << 0 << "reset|All|com.x.y" << true;
        QTest::newRow("all without bundle id") << true << "" << "" << 0 << "" << false;
        QTest::newRow("all, option-like id") << true << "-h" << "" << 0 << "" << false;
    }
    void permissionResets()
    {
        QFETCH(bool, all);
        QFETCH(QString, bundleID);
        QFETCH(QString, service);
        QFETCH(int, exitCode);
        QFETCH(QString, call);
        QFETCH(bool, result);
        ScannerFixture f;
        f.fakeTool("/usr/bin/tccutil", {}, exitCode);
        QCOMPARE(all ? ScannerEngine::tccResetAll(f.runner, bundleID) : ScannerEngine::tccReset(f.runner, bundleID, service),
                 result);
        QCOMPARE(f.recordedCalls("/usr/bin/tccutil"), call.isEmpty() ? QStringList() : QStringList{call});
    }

    void launchdPlists_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QStringList>("expected");
        const QStringList sync = {"~/Library/LaunchAgents/com.example.sync.agent.beta.plist",
                                  "~/Library/LaunchAgents/com.example.sync.agent.plist",
                                  "~/Library/LaunchAgents/com.example.sync.plist",
                                  "~/Library/LaunchAgents/org.other.com.example.sync.agent.plist",
                                  "/Library/LaunchDaemons/com.example.sync.helper.plist"};
        const QStringList none;
        QTest::newRow("label") << "com.example.sync" << none << sync;
        QTest::newRow("installed extension") << "com.example.sync" << QStringList{"com.example.sync.agent"}
                                             << QStringList{sync.at(2), sync.at(4)};
        QTest::newRow("installed extension, words between") << "com.example.sync" << QStringList{"com.example.sync.beta"}
                                                             << sync.mid(1);
        QTest::newRow("inside an installed ID") << "example.sync" << QStringList{"com.example.sync"}
                                                << QStringList{"~/Library/LaunchAgents/example.sync.plist"};
        QTest::newRow("longer name") << "com.example.syncd" << none
                                     << QStringList{"/Library/LaunchAgents/com.example.syncd.plist"};
        QTest::newRow("apple") << "com.apple.sync" << none << none;
        QTest::newRow("apple itself") << "com.apple" << none << none;
        QTest::newRow("apple's prefix in upper case") << "COM.APPLE.sync" << none
                                                      << QStringList{"/Library/LaunchDaemons/COM.APPLE.sync.plist"};
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
        for (const char *name : {"com.example.sync.plist", "com.example.sync.agent.plist", "com.example.sync.agent.beta.plist",
                                 "org.other.com.example.sync.agent.plist", "example.sync.plist", "com.example.sync.txt",
                                 "com.example.synchro.plist", "com.other.syncer.plist", "org.syncer.agent.plist"})
            mac.createFile("~/Library/LaunchAgents/" + QString::fromLatin1(name));
        for (const char *name : {"com.example.sync.helper.plist", "com.apple.sync.plist",
                                 "com.apple.com.example.sync.plist", "a.bc.plist", "syncer.plist",
                                 "COM.APPLE.sync.plist"})
            mac.createFile("/Library/LaunchDaemons/" + QString::fromLatin1(name));
        mac.createFile("/Library/LaunchAgents/com.example.syncd.plist");
        QStringList real;
        for (const QString &p : expected)
            real << mac.path(p);
        QCOMPARE(ScannerEngine::launchdPlists(mac.roots(), label, QSet<QString>(installed.cbegin(), installed.cend())),
                 real);
    }

    void launchctlBootout_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("call"); // empty: launchctl must not run
        const QString target = QStringLiteral("bootout|gui/%1/").arg(::getuid());
        QTest::newRow("label") << "com.example.sync" << target + "com.example.sync";
        QTest::newRow("apple") << "com.apple.sync" << QString();
        QTest::newRow("apple's prefix in upper case") << "COM.APPLE.sync" << target + "COM.APPLE.sync";
        QTest::newRow("empty") << "" << QString();
    }
    void launchctlBootout()
    {
        QFETCH(QString, label);
        QFETCH(QString, call);
        ScannerFixture f;
        f.fakeTool("/bin/launchctl");
        ScannerEngine::launchctlBootout(f.runner, label);
        QCOMPARE(f.recordedCalls("/bin/launchctl"), call.isEmpty() ? QStringList() : QStringList{call});
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
