#include "core/AppLogger.h"
#include "core/engine/LibraryFinders.h"
#include "platform/UserDefaults.h"
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
const Finder Logs{"~/Library/Logs", LeftoverType::log, [](const SystemRoots &r) {
                      return findOrphans(r.inHome("/Library/Logs"), LeftoverType::log, kInstalledIDs,
                                         kInstalledNames, logsExclusions());
                  }};
// As on a machine where no application is installed: plain names are reported.
const Finder LogsNothingInstalled{"~/Library/Logs", LeftoverType::log, [](const SystemRoots &r) {
                                      return findOrphans(r.inHome("/Library/Logs"), LeftoverType::log, {}, {},
                                                         logsExclusions());
                                  }};
const Finder Helpers{"/Library/PrivilegedHelperTools", LeftoverType::loginItem,
                     [](const SystemRoots &r) { return findOrphanPrivilegedHelpers(r, kInstalledIDs); }};

constexpr qint64 kFileSize = 10;   // an entry made as a file
constexpr qint64 kFolderSize = 1000; // the files inside an entry made as a folder

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
    // The settings store lies in this Mac's Application Support folder.
    FakeMac m_mac;

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
    void initTestCase()
    {
        QVERIFY(m_mac.isValid());
        qputenv("XDG_CONFIG_HOME", m_mac.path("~/Library/Application Support").toUtf8());
    }

    // What the application writes itself, where it writes it, is never offered.
    void applicationsOwnFiles()
    {
        AppLogger(m_mac.home()).log("a line");
        UserDefaults::standard().setBool("safeMode", false);
        QVERIFY(QFileInfo::exists(m_mac.path("~/Library/Application Support/Quillmere/Quillmere.plist")));
        m_mac.createDir("~/Library/Logs/Other");
        m_mac.createDir("~/Library/Application Support/Other");
        const SystemRoots roots = m_mac.roots();
        const auto onlyOther = [&](const QList<LeftoverItem> &items, const QString &folder) {
            QCOMPARE(items.size(), 1);
            QCOMPARE(items.first().path, std::optional(m_mac.path(folder + "/Other")));
        };
        onlyOther(LogsNothingInstalled.run(roots), "~/Library/Logs");
        onlyOther(ScannerEngine::findOrphanApplicationSupport(roots, {}, {}), "~/Library/Application Support");
    }

    void rules_data()
    {
        QTest::addColumn<const Finder *>("finder");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<Optional>("bundleID");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<qint64>("size");

        // Preferences: names ending ".plist"; Apple, Length, Installed on the identifier.
        row("prefs: reported", Preferences, "com.example.Editor.plist", false, "com.example.Editor", "Editor");
        skipped("prefs: four characters", Preferences, "abcd.plist", false);
        skipped("prefs: backup", Preferences, "com.example.Editor.plist.bak", false);

        // Generic finder: Hidden, exclusions, Installed, Team prefix, Plain name, Apple, Length.
        skipped("generic: hidden", AppSupport, ".com.example.hidden");
        skipped("generic: excluded in caches", Caches, "CloudKit");
        skipped("generic: installed", AppSupport, "com.example.installed");
        skipped("generic: team prefix of installed", AppSupport, "ABCDE12345.com.example.app");
        row("generic: team prefix stripped", Caches, "UBF8T346G9.com.other.tool", true, "com.other.tool", "Tool");
        row("generic: plain name in caches, any length", Caches, "x", true, {}, "X");
        skipped("generic: apple", AppSupport, "com.apple.Music");
        skipped("generic: dotted four characters", AppSupport, "a.bc");
        row("generic: dotted five characters", AppSupport, "a.bcd", true, "a.bcd", "Bcd");
        row("generic: file sized as file", Logs, "com.example.tool.log", false, "com.example.tool.log", "Log");
        skipped("logs: the application's own log folder", LogsNothingInstalled, "Quillmere");

        // Containers and scripts: Hidden, Installed, Team prefix, Apple, Length on every name.
        skipped("containers: hidden", Containers, ".com.example.x");
        skipped("containers: installed", Containers, "com.example.installed");
        skipped("group containers: team prefix", GroupContainers, "UBF8T346G9.com.example.app");
        skipped("containers: plain four characters", Containers, "abcd");
        row("containers: file always walked", Containers, "com.example.file", false, "com.example.file", "File", 0);
        row("scripts: reported", Scripts, "com.example.Viewer", true, "com.example.Viewer", "Viewer");

        // Privileged helpers: Hidden; identifier less ".plist"; Apple, Length, Installed, Team prefix.
        row("helpers: plist", Helpers, "com.example.daemon.plist", false, "com.example.daemon", "Daemon");
        skipped("helpers: hidden", Helpers, ".com.example.daemon", false);
        skipped("helpers: four characters", Helpers, "abcd", false);
        skipped("helpers: apple", Helpers, "com.apple.x.plist", false);
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
        QCOMPARE(item.size, size);
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
        // A link is never followed: the loop counts its own size, the link to the root nothing.
        for (const LeftoverItem &item : items)
            QCOMPARE(item.size, item.path->endsWith("/com.example.loop") ? ownSize(*item.path) : qint64(0));
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
