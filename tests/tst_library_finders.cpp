#include "core/engine/LibraryFinders.h"
#include "support/FakeMac.h"
#include "support/Unprivileged.h"

#include <QtTest>

#include <sys/stat.h>

using Optional = std::optional<QString>;
Q_DECLARE_METATYPE(Optional)

namespace {

enum Finder {
    Preferences,
    AppSupport,
    Caches,
    Containers,
    GroupContainers,
    Scripts,
    SavedStates,
    Logs,
    SystemAppSupport,
    SystemCaches,
    SystemLogs,
    SystemPreferences,
    Helpers,
};

struct FinderInfo
{
    QString folder; // as the system sees it
    LeftoverType type;
};

FinderInfo info(Finder finder)
{
    switch (finder) {
    case Preferences: return {"~/Library/Preferences", LeftoverType::preference};
    case AppSupport: return {"~/Library/Application Support", LeftoverType::appSupport};
    case Caches: return {"~/Library/Caches", LeftoverType::cache};
    case Containers: return {"~/Library/Containers", LeftoverType::container};
    case GroupContainers: return {"~/Library/Group Containers", LeftoverType::container};
    case Scripts: return {"~/Library/Application Scripts", LeftoverType::applicationScripts};
    case SavedStates: return {"~/Library/Saved Application State", LeftoverType::savedState};
    case Logs: return {"~/Library/Logs", LeftoverType::log};
    case SystemAppSupport: return {"/Library/Application Support", LeftoverType::appSupport};
    case SystemCaches: return {"/Library/Caches", LeftoverType::cache};
    case SystemLogs: return {"/Library/Logs", LeftoverType::log};
    case SystemPreferences: return {"/Library/Preferences", LeftoverType::preference};
    case Helpers: return {"/Library/PrivilegedHelperTools", LeftoverType::loginItem};
    }
    return {};
}

// Called as the full scan calls each finder.
QList<LeftoverItem> run(Finder finder, const FakeMac &mac, const QSet<QString> &ids, const QSet<QString> &names)
{
    using namespace ScannerEngine;
    const SystemRoots roots = mac.roots();
    switch (finder) {
    case Preferences: return findOrphanPreferences(roots, ids);
    case AppSupport: return findOrphanApplicationSupport(roots, ids, names);
    case Caches: return findOrphanCaches(roots, ids);
    case Containers:
    case GroupContainers: return findOrphanContainers(roots, ids);
    case Scripts: return findOrphanApplicationScripts(roots, ids);
    case SavedStates: return findOrphanSavedStates(roots, ids);
    case Logs: return findOrphans(roots.inHome("/Library/Logs"), LeftoverType::log, ids, names, logsExclusions());
    case SystemAppSupport:
        return findOrphans(roots.system("/Library/Application Support"), LeftoverType::appSupport, ids, names,
                           systemApplicationSupportExclusions());
    case SystemCaches:
        return findOrphans(roots.system("/Library/Caches"), LeftoverType::cache, ids, {}, cachesExclusions());
    case SystemLogs:
        return findOrphans(roots.system("/Library/Logs"), LeftoverType::log, ids, names, logsExclusions());
    case SystemPreferences: return findOrphanSystemPreferences(roots, ids);
    case Helpers: return findOrphanPrivilegedHelpers(roots, ids);
    }
    return {};
}

const QSet<QString> kInstalledIDs{"com.example.installed", "com.example.app", "example.app.agent"};
const QSet<QString> kInstalledNames{"Installed"};

constexpr qint64 kFileSize = 10;   // an entry made as a file
constexpr qint64 kFolderSize = 1000; // the files inside an entry made as a folder
constexpr qint64 kOwnSize = -2;    // the entry's own size, not walked

qint64 ownSize(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_size : -1;
}

}

class TestLibraryFinders : public QObject
{
    Q_OBJECT
private:
    // finder, entry name, made as a folder, reported, bundleID, appName (null: not checked), size
    static void row(const char *tag, Finder finder, const QString &entry, bool folder, bool kept,
                    const Optional &bundleID = {}, const QString &appName = {}, qint64 size = kFileSize)
    {
        QTest::newRow(tag) << int(finder) << entry << folder << kept << bundleID << appName
                           << (folder && size == kFileSize ? kFolderSize : size);
    }
    static void skipped(const char *tag, Finder finder, const QString &entry, bool folder = true)
    {
        row(tag, finder, entry, folder, false);
    }

private slots:
    void rules_data()
    {
        QTest::addColumn<int>("finder");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<Optional>("bundleID");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<qint64>("size");

        // Preferences: names ending ".plist"; Apple, Length, Installed on the identifier.
        row("prefs: reported", Preferences, "com.example.Editor.plist", false, true, "com.example.Editor", "Editor");
        skipped("prefs: apple", Preferences, "com.apple.dock.plist", false);
        skipped("prefs: three characters", Preferences, "abc.plist", false);
        skipped("prefs: four characters", Preferences, "abcd.plist", false);
        row("prefs: five characters", Preferences, "abcde.plist", false, true, "abcde", "Abcde");
        skipped("prefs: four accented characters", Preferences, "e\u0301e\u0301e\u0301e\u0301.plist", false);
        row("prefs: five accented characters", Preferences, "e\u0301e\u0301e\u0301e\u0301e\u0301.plist", false, true,
            "e\u0301e\u0301e\u0301e\u0301e\u0301", "E\u0301e\u0301e\u0301e\u0301e\u0301");
        skipped("prefs: not a plist", Preferences, "notes.txt", false);
        skipped("prefs: backup", Preferences, "com.example.Editor.plist.bak", false);
        skipped("prefs: installed", Preferences, "com.example.installed.plist", false);
        row("prefs: no hidden rule", Preferences, ".com.example.hidden.plist", false, true, ".com.example.hidden",
            "Hidden");
        row("prefs: no team-prefix rule", Preferences, "ABCDE12345.com.example.app.plist", false, true,
            "ABCDE12345.com.example.app", "App");
        row("prefs: folder sized by itself", Preferences, "com.example.odd.plist", true, true, "com.example.odd",
            "Odd", kOwnSize);
        row("system prefs: reported", SystemPreferences, "com.example.daemon.plist", false, true,
            "com.example.daemon", "Daemon");
        skipped("system prefs: apple", SystemPreferences, "com.apple.loginwindow.plist", false);
        skipped("system prefs: installed", SystemPreferences, "com.example.installed.plist", false);

        // Generic finder: Hidden, exclusions, Installed, Team prefix, Plain name, Apple, Length.
        skipped("generic: hidden", AppSupport, ".com.example.hidden");
        skipped("generic: hidden in caches", Caches, ".cache");
        skipped("generic: excluded dotted name", AppSupport, "com.apple");
        skipped("generic: excluded in caches", Caches, "CloudKit");
        row("generic: not excluded", Caches, "CloudKit2", true, true, {}, "Cloud Kit2");
        row("generic: exclusion is case-sensitive", Caches, "cloudkit", true, true, {}, "Cloudkit");
        skipped("generic: excluded in logs", Logs, "DiagnosticReports");
        skipped("generic: excluded in system support", SystemAppSupport, "com.apple");
        skipped("generic: excluded in system caches", SystemCaches, "com.apple");
        skipped("generic: installed", AppSupport, "com.example.installed");
        skipped("generic: team prefix of installed", AppSupport, "ABCDE12345.com.example.app");
        skipped("generic: rest after first dot installed", Caches, "com.example.app.agent");
        row("generic: rest not installed", Caches, "com.other.app.agent", true, true, "com.other.app.agent", "Agent");
        row("generic: team prefix stripped", Caches, "UBF8T346G9.com.other.tool", true, true, "com.other.tool",
            "Tool");
        skipped("generic: plain name in support", AppSupport, "PlainFolder");
        skipped("generic: plain name in logs", Logs, "PlainFolder");
        skipped("generic: plain name in system support", SystemAppSupport, "PlainFolder");
        skipped("generic: plain name in system logs", SystemLogs, "PlainFolder");
        row("generic: plain name in caches", Caches, "PlainFolder", true, true, {}, "Plain Folder");
        row("generic: one character in system caches", SystemCaches, "x", true, true, {}, "X");
        skipped("generic: apple", AppSupport, "com.apple.Music");
        skipped("generic: apple in caches", Caches, "com.apple.Safari");
        skipped("generic: dotted four characters", AppSupport, "a.bc");
        skipped("generic: dotted four characters in caches", Caches, "a.bc");
        row("generic: dotted five characters", AppSupport, "a.bcd", true, true, "a.bcd", "Bcd");
        row("generic: file sized as file", Logs, "com.example.tool.log", false, true, "com.example.tool.log", "Log");
        row("generic: folder walked", Logs, "com.example.tool", true, true, "com.example.tool", "Tool");
        row("generic: app name of whole name", SystemAppSupport, "ABCDE12345.com.other.Tool", true, true,
            "com.other.Tool", "Tool");
        row("generic: system logs", SystemLogs, "com.example.daemon", true, true, "com.example.daemon", "Daemon");

        // Containers and scripts: Hidden, Installed, Team prefix, Apple, Length on every name.
        skipped("containers: hidden", Containers, ".com.example.x");
        skipped("containers: installed", Containers, "com.example.installed");
        skipped("group containers: team prefix", GroupContainers, "UBF8T346G9.com.example.app");
        row("group containers: team stripped", GroupContainers, "UBF8T346G9.com.other.app", true, true,
            "com.other.app", "App");
        skipped("containers: apple", Containers, "com.apple.mail");
        skipped("containers: plain four characters", Containers, "abcd");
        row("containers: plain five characters", Containers, "abcde", true, true, {}, "Abcde");
        row("containers: reported", Containers, "com.example.Viewer", true, true, "com.example.Viewer", "Viewer");
        row("containers: file always walked", Containers, "com.example.file", false, true, "com.example.file",
            "File", 0);
        row("scripts: reported", Scripts, "com.example.Viewer", true, true, "com.example.Viewer", "Viewer");
        skipped("scripts: team prefix", Scripts, "ABCDE12345.com.example.app");
        skipped("scripts: hidden", Scripts, ".localized");

        // Saved states: names ending ".savedState"; Apple, Length, Installed.
        row("saved state: reported", SavedStates, "com.example.Viewer.savedState", true, true, "com.example.Viewer",
            "Viewer");
        skipped("saved state: apple", SavedStates, "com.apple.Safari.savedState");
        skipped("saved state: short", SavedStates, "abc.savedState");
        skipped("saved state: installed", SavedStates, "com.example.installed.savedState");
        skipped("saved state: other ending", SavedStates, "com.example.Viewer.plist");
        row("saved state: no hidden rule", SavedStates, ".com.example.x.savedState", true, true, ".com.example.x",
            "X");

        // Privileged helpers: Hidden; identifier less ".plist"; Apple, Length, Installed, Team prefix.
        row("helpers: tool", Helpers, "com.example.daemon", false, true, "com.example.daemon", "Daemon");
        row("helpers: plist", Helpers, "com.example.daemon.plist", false, true, "com.example.daemon", "Daemon");
        row("helpers: folder not walked", Helpers, "com.example.dirtool", true, true, "com.example.dirtool",
            "Dirtool", kOwnSize);
        skipped("helpers: hidden", Helpers, ".com.example.daemon", false);
        skipped("helpers: four characters", Helpers, "abcd", false);
        skipped("helpers: apple", Helpers, "com.apple.x.plist", false);
        skipped("helpers: installed tool", Helpers, "com.example.installed", false);
        skipped("helpers: installed plist", Helpers, "com.example.installed.plist", false);
        skipped("helpers: team prefix", Helpers, "com.example.app.agent", false);

        // Names that break naive code are judged as text and kept verbatim.
        const QStringList awkward = FakeMac::awkwardNames();
        for (int i = 0; i < awkward.size(); ++i) {
            QTest::addRow("awkward %d in caches", i) << int(Caches) << awkward[i] << false << true << Optional()
                                                     << QString() << kFileSize;
            QTest::addRow("awkward %d in support", i) << int(AppSupport) << awkward[i] + ".tool" << true << true
                                                      << Optional(awkward[i] + ".tool") << "Tool" << kFolderSize;
        }
    }

    void rules()
    {
        QFETCH(int, finder);
        QFETCH(QString, entry);
        QFETCH(bool, folder);
        QFETCH(bool, kept);
        QFETCH(Optional, bundleID);
        QFETCH(QString, appName);
        QFETCH(qint64, size);
        FakeMac mac;
        const FinderInfo where = info(Finder(finder));
        const QString fakePath = where.folder + "/" + entry;
        if (folder) {
            mac.createFileOfSize(fakePath + "/data/a", 600);
            mac.createFileOfSize(fakePath + "/b", 400);
            mac.createFileOfSize(fakePath + "/.hidden", 50);
        } else {
            mac.createFileOfSize(fakePath, kFileSize);
        }
        const QList<LeftoverItem> items = run(Finder(finder), mac, kInstalledIDs, kInstalledNames);
        QCOMPARE(items.size(), kept ? 1 : 0);
        if (!kept)
            return;
        const LeftoverItem &item = items.first();
        const QString realPath = mac.path(fakePath);
        QCOMPARE(item.path, std::optional<QString>(realPath));
        QCOMPARE(item.type, where.type);
        QCOMPARE(item.bundleID, bundleID);
        if (!appName.isNull())
            QCOMPARE(item.appName, appName);
        QCOMPARE(item.size, size == kOwnSize ? ownSize(realPath) : size);
        QVERIFY(!item.permissionService);
    }

    // Entries come in name order; containers before group containers.
    void listingOrder()
    {
        FakeMac mac;
        for (const char *name : {"com.example.b", "com.example.C", "com.example.a", "UBF8T346G9.z.y.x"})
            mac.createDir(QStringLiteral("~/Library/Caches/") + QString::fromUtf8(name));
        mac.createDir("~/Library/Group Containers/com.example.aaa");
        mac.createDir("~/Library/Containers/com.example.zzz");
        QStringList names;
        for (const LeftoverItem &item : ScannerEngine::findOrphanCaches(mac.roots(), {}))
            names << item.path->section('/', -1);
        QCOMPARE(names, (QStringList{"UBF8T346G9.z.y.x", "com.example.C", "com.example.a", "com.example.b"}));
        const auto containers = ScannerEngine::findOrphanContainers(mac.roots(), {});
        QCOMPARE(containers.size(), 2);
        QCOMPARE(containers[0].bundleID, Optional("com.example.zzz"));
        QCOMPARE(containers[1].bundleID, Optional("com.example.aaa"));
    }

    // Missing or unlistable folders yield nothing; strange entries never hang
    // or escape the folder.
    void badInput()
    {
        FakeMac mac;
        const SystemRoots roots = mac.roots();
        QVERIFY(ScannerEngine::findOrphanPreferences(roots, {}).isEmpty());
        QVERIFY(ScannerEngine::findOrphanContainers(roots, {}).isEmpty());
        QVERIFY(ScannerEngine::findOrphanPrivilegedHelpers(roots, {}).isEmpty());
        // A file where the folder should be.
        mac.createFile("~/Library/Application Support", "x");
        QVERIFY(ScannerEngine::findOrphanApplicationSupport(roots, {}, kInstalledNames).isEmpty());
        // Group Containers is still searched when Containers cannot be listed.
        mac.createFile("~/Library/Containers", "x");
        mac.createDir("~/Library/Group Containers/com.example.group");
        QCOMPARE(ScannerEngine::findOrphanContainers(roots, {}).size(), 1);

        mac.createSymlink("/", "~/Library/Caches/com.example.root");
        mac.createSymlink(mac.path("~/Library/Caches/com.example.loop"), "~/Library/Caches/com.example.loop");
        mac.createFifo("~/Library/Caches/com.example.fifo");
        QVERIFY(mac.createRawNamed("~/Library/Caches", "com.example.bad\xff", false));
        QVERIFY(mac.createRawNamed("~/Library/Caches", "com.example.baddir\xfe", true));
        const auto items = ScannerEngine::findOrphanCaches(roots, {});
        QCOMPARE(items.size(), 5);
        for (const LeftoverItem &item : items) {
            const QString name = item.path->section('/', -1);
            if (name == "com.example.root")
                QCOMPARE(item.size, qint64(0)); // a link is never followed
            else if (name == "com.example.loop")
                QCOMPARE(item.size, ownSize(*item.path));
            else
                QCOMPARE(item.size, qint64(0));
        }
    }

    // Folders the user may not read: the folder itself yields nothing, a
    // reported folder that cannot be entered counts 0 bytes.
    void unreadableFolders()
    {
        if (Unprivileged::runningAsRoot()) {
            QByteArray output;
            QVERIFY2(Unprivileged::rerun("unreadableFolders", &output) == 0, output.constData());
            return;
        }
        FakeMac mac;
        const QString caches = mac.createDir("~/Library/Caches");
        mac.createFileOfSize("~/Library/Caches/com.example.open/a", 100);
        const QString locked = mac.createDir("~/Library/Caches/com.example.locked");
        mac.createFileOfSize("~/Library/Caches/com.example.locked/a", 100);
        const QString prefs = mac.createDir("~/Library/Preferences");
        mac.createFileOfSize("~/Library/Preferences/com.example.x.plist", 10);
        QVERIFY(QFile::setPermissions(locked, {}));
        QVERIFY(QFile::setPermissions(prefs, {}));
        const auto items = ScannerEngine::findOrphanCaches(mac.roots(), {});
        const auto prefItems = ScannerEngine::findOrphanPreferences(mac.roots(), {});
        QVERIFY(QFile::setPermissions(caches, {}));
        const auto none = ScannerEngine::findOrphanCaches(mac.roots(), {});
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QFile::setPermissions(caches, all);
        QFile::setPermissions(locked, all);
        QFile::setPermissions(prefs, all);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0].size, qint64(0));
        QCOMPARE(items[1].size, qint64(100));
        QVERIFY(prefItems.isEmpty());
        QVERIFY(none.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLibraryFinders)
#include "tst_library_finders.moc"
