#include "core/engine/LibraryFinders.h"
#include "support/FakeMac.h"
#include "support/Unprivileged.h"

#include <QtTest>

#include <sys/stat.h>

using Optional = std::optional<QString>;
Q_DECLARE_METATYPE(Optional)

namespace {

const QSet<QString> kInstalledIDs{"com.example.installed", "com.example.app", "example.app.agent"};
const QSet<QString> kInstalledNames{"Installed"};

// Each finder with its folder (as the system sees it) and item type, called as the full scan calls it.
struct Finder
{
    QString folder;
    LeftoverType type;
    QList<LeftoverItem> (*run)(const SystemRoots &roots);
};

using namespace ScannerEngine;
const Finder Preferences{"~/Library/Preferences", LeftoverType::preference,
                         [](const SystemRoots &r) { return findOrphanPreferences(r, kInstalledIDs); }};
const Finder AppSupport{"~/Library/Application Support", LeftoverType::appSupport, [](const SystemRoots &r) {
                            return findOrphanApplicationSupport(r, kInstalledIDs, kInstalledNames);
                        }};
const Finder Caches{"~/Library/Caches", LeftoverType::cache,
                    [](const SystemRoots &r) { return findOrphanCaches(r, kInstalledIDs); }};
const Finder Containers{"~/Library/Containers", LeftoverType::container,
                        [](const SystemRoots &r) { return findOrphanContainers(r, kInstalledIDs); }};
const Finder GroupContainers{"~/Library/Group Containers", LeftoverType::container, Containers.run};
const Finder Scripts{"~/Library/Application Scripts", LeftoverType::applicationScripts,
                     [](const SystemRoots &r) { return findOrphanApplicationScripts(r, kInstalledIDs); }};
const Finder SavedStates{"~/Library/Saved Application State", LeftoverType::savedState,
                         [](const SystemRoots &r) { return findOrphanSavedStates(r, kInstalledIDs); }};
const Finder Logs{"~/Library/Logs", LeftoverType::log, [](const SystemRoots &r) {
                      return findOrphans(r.inHome("/Library/Logs"), LeftoverType::log, kInstalledIDs,
                                         kInstalledNames, logsExclusions());
                  }};
const Finder SystemAppSupport{"/Library/Application Support", LeftoverType::appSupport, [](const SystemRoots &r) {
                                  return findOrphans(r.system("/Library/Application Support"),
                                                     LeftoverType::appSupport, kInstalledIDs, kInstalledNames,
                                                     systemApplicationSupportExclusions());
                              }};
const Finder SystemPreferences{"/Library/Preferences", LeftoverType::preference,
                               [](const SystemRoots &r) { return findOrphanSystemPreferences(r, kInstalledIDs); }};
const Finder Helpers{"/Library/PrivilegedHelperTools", LeftoverType::loginItem,
                     [](const SystemRoots &r) { return findOrphanPrivilegedHelpers(r, kInstalledIDs); }};

constexpr qint64 kFileSize = 10;   // an entry made as a file
constexpr qint64 kFolderSize = 1000; // the files inside an entry made as a folder
constexpr qint64 kOwnSize = -2;    // the entry's own size, not walked

qint64 ownSize(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_size : -1;
}

}

Q_DECLARE_METATYPE(const Finder *)

class TestLibraryFinders : public QObject
{
    Q_OBJECT
private:
    // A reported entry: finder, entry name, made as a folder, bundleID, appName (null: not checked), size.
    static void row(const char *tag, const Finder &finder, const QString &entry, bool folder,
                    const Optional &bundleID = {}, const QString &appName = {}, qint64 size = kFileSize)
    {
        QTest::newRow(tag) << &finder << entry << folder << true << bundleID << appName
                           << (folder && size == kFileSize ? kFolderSize : size);
    }
    static void skipped(const char *tag, const Finder &finder, const QString &entry, bool folder = true)
    {
        QTest::newRow(tag) << &finder << entry << folder << false << Optional() << QString() << qint64(0);
    }

private slots:
    void rules_data()
    {
        QTest::addColumn<const Finder *>("finder");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<Optional>("bundleID");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<qint64>("size");

        // Preferences (user and system): names ending ".plist"; Apple, Length, Installed on the identifier.
        row("prefs: reported", Preferences, "com.example.Editor.plist", false, "com.example.Editor", "Editor");
        skipped("prefs: apple", Preferences, "com.apple.dock.plist", false);
        skipped("prefs: apple behind a team prefix", Preferences, "ABCDE12345.com.apple.dock.plist", false);
        skipped("prefs: four characters", Preferences, "abcd.plist", false);
        row("prefs: five characters", Preferences, "abcde.plist", false, "abcde", "Abcde");
        skipped("prefs: four accented characters", Preferences, "e\u0301e\u0301e\u0301e\u0301.plist", false);
        row("prefs: five accented characters", Preferences, "e\u0301e\u0301e\u0301e\u0301e\u0301.plist", false,
            "e\u0301e\u0301e\u0301e\u0301e\u0301", "E\u0301e\u0301e\u0301e\u0301e\u0301");
        skipped("prefs: not a plist", Preferences, "notes.txt", false);
        skipped("prefs: backup", Preferences, "com.example.Editor.plist.bak", false);
        skipped("prefs: installed", Preferences, "com.example.installed.plist", false);
        row("prefs: no hidden rule", Preferences, ".com.example.hidden.plist", false, ".com.example.hidden", "Hidden");
        row("prefs: no team-prefix rule", Preferences, "ABCDE12345.com.example.app.plist", false,
            "ABCDE12345.com.example.app", "App");
        row("prefs: folder sized by itself", Preferences, "com.example.odd.plist", true, "com.example.odd",
            "Odd", kOwnSize);

        // Generic finder: Hidden, exclusions, Installed, Team prefix, Plain name, Apple, Length.
        skipped("generic: hidden", AppSupport, ".com.example.hidden");
        skipped("generic: excluded dotted name", AppSupport, "com.apple");
        skipped("generic: excluded in caches", Caches, "CloudKit");
        row("generic: not excluded", Caches, "CloudKit2", true, {}, "Cloud Kit2");
        row("generic: exclusion is case-sensitive", Caches, "cloudkit", true, {}, "Cloudkit");
        skipped("generic: installed", AppSupport, "com.example.installed");
        skipped("generic: team prefix of installed", AppSupport, "ABCDE12345.com.example.app");
        skipped("generic: rest after first dot installed", Caches, "com.example.app.agent");
        row("generic: rest not installed", Caches, "com.other.app.agent", true, "com.other.app.agent", "Agent");
        row("generic: team prefix stripped", Caches, "UBF8T346G9.com.other.tool", true, "com.other.tool", "Tool");
        skipped("generic: plain name in support", AppSupport, "PlainFolder");
        row("generic: plain name in caches, any length", Caches, "x", true, {}, "X");
        skipped("generic: apple", AppSupport, "com.apple.Music");
        skipped("generic: dotted four characters", AppSupport, "a.bc");
        row("generic: dotted five characters", AppSupport, "a.bcd", true, "a.bcd", "Bcd");
        row("generic: file sized as file", Logs, "com.example.tool.log", false, "com.example.tool.log", "Log");
        row("generic: folder walked", Logs, "com.example.tool", true, "com.example.tool", "Tool");
        row("generic: app name of whole name", SystemAppSupport, "ABCDE12345.com.other.Tool", true,
            "com.other.Tool", "Tool");

        // Containers and scripts: Hidden, Installed, Team prefix, Apple, Length on every name.
        skipped("containers: hidden", Containers, ".com.example.x");
        skipped("containers: installed", Containers, "com.example.installed");
        skipped("group containers: team prefix", GroupContainers, "UBF8T346G9.com.example.app");
        row("group containers: team stripped", GroupContainers, "UBF8T346G9.com.other.app", true,
            "com.other.app", "App");
        skipped("containers: apple", Containers, "com.apple.mail");
        skipped("containers: apple itself", Containers, "com.apple");
        skipped("group containers: apple group", GroupContainers, "group.com.apple.notes");
        skipped("containers: plain four characters", Containers, "abcd");
        row("containers: plain five characters", Containers, "abcde", true, {}, "Abcde");
        row("containers: file always walked", Containers, "com.example.file", false, "com.example.file", "File", 0);
        row("scripts: reported", Scripts, "com.example.Viewer", true, "com.example.Viewer", "Viewer");

        // Saved states: names ending ".savedState", then the rules of the preferences.
        skipped("saved state: other ending", SavedStates, "com.example.Viewer.plist");
        row("saved state: no hidden rule", SavedStates, ".com.example.x.savedState", true, ".com.example.x", "X");

        // Privileged helpers: Hidden; identifier less ".plist"; Apple, Length, Installed, Team prefix.
        row("helpers: plist", Helpers, "com.example.daemon.plist", false, "com.example.daemon", "Daemon");
        row("helpers: folder not walked", Helpers, "com.example.dirtool", true, "com.example.dirtool",
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
            QTest::addRow("awkward %d in caches", i) << &Caches << awkward[i] << false << true << Optional()
                                                     << QString() << kFileSize;
            QTest::addRow("awkward %d in support", i) << &AppSupport << awkward[i] + ".tool" << true << true
                                                      << Optional(awkward[i] + ".tool") << "Tool" << kFolderSize;
        }
    }

    void rules()
    {
        QFETCH(const Finder *, finder);
        QFETCH(QString, entry);
        QFETCH(bool, folder);
        QFETCH(bool, kept);
        QFETCH(Optional, bundleID);
        QFETCH(QString, appName);
        QFETCH(qint64, size);
        FakeMac mac;
        const QString fakePath = finder->folder + "/" + entry;
        if (folder) {
            mac.createFileOfSize(fakePath + "/data/a", 600);
            mac.createFileOfSize(fakePath + "/b", 400);
            mac.createFileOfSize(fakePath + "/.hidden", 50);
        } else {
            mac.createFileOfSize(fakePath, kFileSize);
        }
        const QList<LeftoverItem> items = finder->run(mac.roots());
        QCOMPARE(items.size(), kept ? 1 : 0);
        if (!kept)
            return;
        const LeftoverItem &item = items.first();
        const QString realPath = mac.path(fakePath);
        QCOMPARE(item.path, std::optional<QString>(realPath));
        QCOMPARE(item.type, finder->type);
        QCOMPARE(item.bundleID, bundleID);
        if (!appName.isNull())
            QCOMPARE(item.appName, appName);
        QCOMPARE(item.size, size == kOwnSize ? ownSize(realPath) : size);
        QVERIFY(!item.permissionService);
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
        // Names that are not UTF-8 are never listed, nor mistaken for the
        // sibling whose real name they would decode to.
        QVERIFY(mac.createRawNamed("~/Library/Caches", "com.example.bad\xff", false));
        QVERIFY(mac.createRawNamed("~/Library/Caches", "com.example.baddir\xfe", true));
        mac.createFile("~/Library/Caches/com.example.bad\ufffd");
        const auto items = ScannerEngine::findOrphanCaches(roots, {});
        QCOMPARE(items.size(), 4);
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
