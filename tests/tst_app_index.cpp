#include "core/engine/AppIndex.h"
#include "platform/FileMetadata.h"
#include "support/FakeMac.h"

#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Sets the access time of `path` (the stand-in's last-used date).
bool setAccessTime(const QString &path, const QDateTime &when)
{
    const timespec times[2] = {{time_t(when.toSecsSinceEpoch()), 0}, {0, UTIME_OMIT}};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

const InstalledApp *findApp(const QList<InstalledApp> &apps, const QString &name)
{
    for (const InstalledApp &app : apps) {
        if (app.name == name)
            return &app;
    }
    return nullptr;
}

}

class TestAppIndex : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakeMac> m_mac;
    QStringList m_custom;
    QDateTime m_alphaUsed = QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);

private slots:
    void initTestCase()
    {
        m_mac = std::make_unique<FakeMac>();
        FakeMac &mac = *m_mac;
        QVERIFY(mac.isValid());
        const QString alpha = mac.createApp("/Applications/Alpha.app", "com.example.alpha", "1.2");
        QVERIFY(setAccessTime(alpha + "/Contents/MacOS/Alpha", m_alphaUsed));
        mac.createApp("/Applications/Beta.app", "com.example.beta", QString(), true);
        QFile::remove(mac.path("/Applications/Beta.app/Contents/MacOS/Beta"));
        mac.createApp("/Applications/Utilities/Gamma.app", "com.example.gamma");
        mac.createApp("/Applications/Deep/Inner/Delta.app", "com.example.delta");
        mac.createApp("/Applications/Loc.localized/Epsilon.app", "com.example.epsilon");
        mac.createDir("/Applications/NoPlist.app/Contents");
        mac.createPlist("/Applications/NumberID.app/Contents/Info.plist", {{"CFBundleIdentifier", 42}});
        mac.createApp("/Applications/Safari.app", "com.apple.Safari");
        mac.createApp("/Applications/Seeds.app", "com.appleseed.tool");
        mac.createApp("/System/Applications/Notes.app", "com.apple.Notes");
        mac.createApp("~/Applications/Home.app", "com.example.home");
        mac.createApp("/Applications/R\u00e9sum\u00e9.app", "com.example.resume");
        mac.createApp("/Applications/Upper.APP", "com.example.upper");
        mac.createApp("/Applications/.Hidden.app", "com.example.hidden");
        mac.createFile("/Applications/notes.txt", "x");
        mac.createSymlink(mac.path("/Applications/Loop"), "/Applications/Loop");
        mac.createSymlink(mac.path("/Applications/Alpha.app"), "/Applications/Linked.app");
        QVERIFY(mac.createRawNamed("/Applications", "Bad\xff.app", true));
        // Custom locations, the fixed folder among them again.
        mac.createApp("/Volumes/Extra/Zeta.app", "com.example.zeta");
        m_custom = {mac.path("/Volumes/Extra"), mac.path("/Applications") + "/", "relative/Apps",
                    mac.path("/Applications/Utilities"), mac.path("/Missing")};
        // Homebrew under /opt/homebrew only.
        mac.createFile("/opt/homebrew/bin/brew", "#!/bin/sh\n");
        mac.createApp("/opt/homebrew/Caskroom/firefox/1.0/Firefox.app", "org.mozilla.firefox");
        mac.createApp("/opt/homebrew/Caskroom/firefox/.metadata/Meta.app", "com.example.meta");
        mac.createApp("/opt/homebrew/Caskroom/.hidden/1.0/HiddenCask.app", "com.example.hiddencask");
        mac.createApp("/opt/homebrew/Caskroom/tool/2.0/sub/Nested.app", "com.example.nested");
        mac.createDir("/opt/homebrew/Cellar/wget/1.21");
        mac.createDir("/opt/homebrew/Cellar/.keep");
        mac.createApp("/usr/local/Caskroom/other/1.0/UsrLocal.app", "com.example.usrlocal");
        mac.createDir("/usr/local/Cellar/jq");
    }

    // One table for both listings: whether the index holds the name, and its
    // identifier exactly when it holds the name; how often the roster lists it
    // (a folder searched again as a custom location lists its bundles again,
    // each with its own id).
    void listings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("indexed");
        QTest::addColumn<QString>("bundleID"); // the bundle's own; empty: none to read
        QTest::addColumn<int>("listed");
        QTest::newRow("root, xml plist") << "Alpha" << true << "com.example.alpha" << 2;
        QTest::newRow("root, binary plist") << "Beta" << true << "com.example.beta" << 2;
        QTest::newRow("one folder down") << "Gamma" << true << "com.example.gamma" << 3;
        QTest::newRow("two folders down") << "Delta" << false << "com.example.delta" << 0;
        QTest::newRow("inside .localized") << "Epsilon" << false << "com.example.epsilon" << 0;
        QTest::newRow("no Info.plist") << "NoPlist" << true << "" << 0;
        QTest::newRow("identifier not a string") << "NumberID" << true << "" << 0;
        QTest::newRow("system app in /Applications") << "Safari" << true << "com.apple.Safari" << 0;
        QTest::newRow("com.apple without the point") << "Seeds" << true << "com.appleseed.tool" << 2;
        QTest::newRow("/System/Applications") << "Notes" << true << "com.apple.Notes" << 0;
        QTest::newRow("home Applications") << "Home" << true << "com.example.home" << 1;
        QTest::newRow("accented name") << "R\u00e9sum\u00e9" << true << "com.example.resume" << 2;
        QTest::newRow("ending is case-sensitive") << "Upper" << false << "com.example.upper" << 0;
        QTest::newRow("hidden bundle") << ".Hidden" << true << "com.example.hidden" << 2;
        QTest::newRow("link to a bundle") << "Linked" << true << "com.example.alpha" << 2;
        QTest::newRow("custom location") << "Zeta" << true << "com.example.zeta" << 1;
        QTest::newRow("cask version folder") << "Firefox" << true << "org.mozilla.firefox" << 1;
        QTest::newRow("cask .metadata") << "Meta" << false << "com.example.meta" << 0;
        QTest::newRow("hidden cask") << "HiddenCask" << false << "com.example.hiddencask" << 0;
        QTest::newRow("below a version folder") << "Nested" << false << "com.example.nested" << 0;
        QTest::newRow("prefix without brew") << "UsrLocal" << false << "com.example.usrlocal" << 0;
        // Formula folders of an existing Cellar count as names.
        QTest::newRow("Cellar formula") << "wget" << true << "" << 0;
        QTest::newRow("hidden Cellar entry") << ".keep" << false << "" << 0;
        QTest::newRow("Cellar without brew") << "jq" << false << "" << 0;
    }
    void listings()
    {
        QFETCH(QString, name);
        QFETCH(bool, indexed);
        QFETCH(QString, bundleID);
        QFETCH(int, listed);
        const AppIndex index = ScannerEngine::installedAppIndex(m_mac->roots(), m_custom);
        QCOMPARE(index.names.contains(name), indexed);
        if (!bundleID.isEmpty())
            QCOMPARE(index.bundleIDs.contains(bundleID), indexed);
        QSet<QUuid> ids;
        for (const InstalledApp &app : ScannerEngine::scanInstalledApps(m_mac->roots(), m_custom)) {
            if (app.name != name)
                continue;
            QCOMPARE(app.bundleID, bundleID);
            QCOMPARE(app.appSize, qint64(-1));
            ids.insert(app.id);
        }
        QCOMPARE(ids.size(), qsizetype(listed));
    }

    // Fields of the records.
    void roster()
    {
        const QList<InstalledApp> roster = ScannerEngine::scanInstalledApps(m_mac->roots(), m_custom);
        const InstalledApp *alpha = findApp(roster, "Alpha");
        const InstalledApp *beta = findApp(roster, "Beta");
        QVERIFY(alpha && beta);
        QCOMPARE(alpha->path, m_mac->path("/Applications/Alpha.app"));
        QCOMPARE(alpha->version, std::optional<QString>("1.2"));
        QCOMPARE(alpha->lastLaunched.value_or(QDateTime()).toUTC(), m_alphaUsed);
        QVERIFY(!beta->version && !beta->lastLaunched); // its executable is gone
    }

    // The two prefixes in a fixed order, and only the Caskrooms that exist.
    void homebrew()
    {
        FakeMac mac;
        mac.createFile("/usr/local/bin/brew");
        mac.createFile("/opt/homebrew/bin/brew");
        mac.createDir("/usr/local/Caskroom");
        QCOMPARE(ScannerEngine::homebrewPrefixes(mac.roots()),
                 (QStringList{mac.path("/opt/homebrew"), mac.path("/usr/local")}));
        QCOMPARE(ScannerEngine::homebrewPaths(mac.roots(), "/Caskroom"), QStringList{mac.path("/usr/local/Caskroom")});
    }

    void lastUsedDate_data()
    {
        QTest::addColumn<QString>("executable"); // the name Info.plist gives
        QTest::addColumn<QString>("create");     // what exists under Contents/MacOS ("" nothing)
        QTest::addColumn<bool>("dated");
        QTest::newRow("executable") << "Tool" << "Tool" << true;
        QTest::newRow("missing executable") << "Tool" << "" << false;
        QTest::newRow("empty name") << "" << "Tool" << false;
        QTest::newRow("climbs out") << "../Info.plist" << "Tool" << false;
        QTest::newRow("dot dot") << ".." << "Tool" << false;
        QTest::newRow("folder") << "Tool" << "Tool/" << false;
    }
    void lastUsedDate()
    {
        QFETCH(QString, executable);
        QFETCH(QString, create);
        QFETCH(bool, dated);
        FakeMac mac;
        const QString bundle = mac.createDir("/Applications/T.app");
        mac.createPlist("/Applications/T.app/Contents/Info.plist", {{"CFBundleExecutable", executable}});
        if (create.endsWith('/'))
            mac.createDir("/Applications/T.app/Contents/MacOS/" + create);
        else if (!create.isEmpty())
            mac.createFile("/Applications/T.app/Contents/MacOS/" + create, "x");
        const QDateTime when(QDate(2023, 5, 6), QTime(7, 8, 9), Qt::UTC);
        setAccessTime(bundle + "/Contents/MacOS/Tool", when);
        const auto direct = FileMetadata::lastUsedDate(bundle, executable);
        QCOMPARE(bool(direct), dated);
        if (direct)
            QCOMPARE(direct->toUTC(), when);
        QCOMPARE(bool(FileMetadata::lastUsedDate(bundle)), dated);
    }
};

QTEST_GUILESS_MAIN(TestAppIndex)
#include "tst_app_index.moc"
