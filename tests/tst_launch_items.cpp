#include "core/engine/LaunchItemFinders.h"
#include "platform/PropertyList.h"
#include "support/FakeMac.h"

#include <QtTest>

using Optional = std::optional<QString>;
Q_DECLARE_METATYPE(Optional)

namespace {

const QByteArray kMalformed = "<?xml version=\"1.0\"?><plist><dict><key>Label</key>";
const QByteArray kArrayTop =
    "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>com.example.x</string></array></plist>";
const QByteArray kFifo = "fifo"; // stands for a named pipe in place of the file

QByteArray plist(const QVariantMap &dict, bool binary = false)
{
    return binary ? PropertyList::toBinary(dict) : PropertyList::toXml(dict);
}

}

class TestLaunchItems : public QObject
{
    Q_OBJECT
private slots:
    void launchItems_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<Optional>("program");
        const QString user = "~/Library/LaunchAgents";
        const QString agents = "/Library/LaunchAgents";
        const QString daemons = "/Library/LaunchDaemons";
        const QString tool = "/Applications/Example.app/Contents/MacOS/Example Tool";

        // Which files are looked at.
        QTest::newRow("user agent") << user << "com.example.sync.plist"
                                    << plist({{"Label", "com.example.sync"}, {"Program", tool}}) << true
                                    << "com.example.sync" << "Example Tool" << Optional(tool);
        QTest::newRow("system agent, binary") << agents << "com.example.agent.plist"
                                              << plist({{"Label", "com.example.agent"}}, true) << true
                                              << "com.example.agent" << "Agent" << Optional();
        QTest::newRow("daemon") << daemons << "com.example.daemon.plist" << plist({{"Label", "com.example.daemon"}})
                                << true << "com.example.daemon" << "Daemon" << Optional();
        QTest::newRow("hidden file") << user << ".com.example.x.plist" << plist({{"Label", "com.example.x"}})
                                     << false << "" << "" << Optional();
        QTest::newRow("backup copy") << user << "com.example.x.plist.bak" << plist({{"Label", "com.example.x"}})
                                     << false << "" << "" << Optional();
        QTest::newRow("malformed") << user << "com.example.bad.plist" << kMalformed << false << "" << ""
                                   << Optional();
        QTest::newRow("empty file") << user << "com.example.empty.plist" << QByteArray() << false << "" << ""
                                    << Optional();
        QTest::newRow("not a dictionary") << agents << "com.example.array.plist" << kArrayTop << false << "" << ""
                                          << Optional();
        QTest::newRow("named pipe") << daemons << "com.example.pipe.plist" << kFifo << false << "" << ""
                                    << Optional();

        // The label.
        QTest::newRow("label decides, not file name") << user << "com.apple.fake.plist"
                                                      << plist({{"Label", "com.example.real"}}) << true
                                                      << "com.example.real" << "Real" << Optional();
        QTest::newRow("apple label") << user << "com.example.x.plist" << plist({{"Label", "com.apple.x"}}) << false
                                     << "" << "" << Optional();
        QTest::newRow("no label: file name") << user << "com.example.helper.plist" << plist({{"RunAtLoad", true}})
                                             << true << "com.example.helper" << "Helper" << Optional();
        QTest::newRow("label not a string") << user << "com.example.numbered.plist" << plist({{"Label", 5}})
                                            << true << "com.example.numbered" << "Numbered" << Optional();
        QTest::newRow("apple file name, no label") << user << "com.apple.thing.plist" << plist({{"RunAtLoad", true}})
                                                   << false << "" << "" << Optional();
        QTest::newRow("four characters") << user << "x.plist" << plist({{"Label", "abcd"}}) << false << "" << ""
                                          << Optional();
        QTest::newRow("five characters") << user << "y.plist" << plist({{"Label", "abcde"}}) << true << "abcde"
                                         << "Abcde" << Optional();
        QTest::newRow("four accented characters") << user << "z.plist"
                                                  << plist({{"Label", "e\u0301e\u0301e\u0301e\u0301"}}) << false
                                                  << "" << "" << Optional();

        // The program.
        QTest::newRow("arguments") << agents << "com.example.args.plist"
                                   << plist({{"Label", "com.example.args"},
                                             {"ProgramArguments", QVariantList{"/usr/local/bin/tool.sh", "--flag"}}})
                                   << true << "com.example.args" << "tool" << Optional("/usr/local/bin/tool.sh");
        QTest::newRow("program before arguments")
            << agents << "com.example.both.plist"
            << plist({{"Label", "com.example.both"}, {"Program", "/opt/a"}, {"ProgramArguments", QVariantList{"/opt/b"}}})
            << true << "com.example.both" << "a" << Optional("/opt/a");
        QTest::newRow("program not a string")
            << agents << "com.example.pnum.plist"
            << plist({{"Label", "com.example.pnum"}, {"Program", 1}, {"ProgramArguments", QVariantList{"/opt/b"}}})
            << true << "com.example.pnum" << "b" << Optional("/opt/b");
        QTest::newRow("empty arguments") << agents << "com.example.noargs.plist"
                                         << plist({{"Label", "com.example.sync-agent"},
                                                   {"ProgramArguments", QVariantList{}}})
                                         << true << "com.example.sync-agent" << "Sync agent" << Optional();
        QTest::newRow("arguments not all strings")
            << agents << "com.example.mixed.plist"
            << plist({{"Label", "com.example.mixed"}, {"ProgramArguments", QVariantList{"/opt/c", 3}}}) << true
            << "com.example.mixed" << "Mixed" << Optional();
        QTest::newRow("empty program") << agents << "com.example.blank.plist"
                                       << plist({{"Label", "com.example.blank"}, {"Program", ""}}) << true
                                       << "com.example.blank" << "Blank" << Optional();

        const QStringList awkward = FakeMac::awkwardNames();
        for (int i = 0; i < awkward.size(); ++i) {
            QTest::addRow("awkward %d", i) << user << awkward[i] + ".plist" << plist({{"Program", awkward[i]}})
                                           << true << awkward[i] << awkward[i] << Optional(awkward[i]);
        }
    }

    void launchItems()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(bool, kept);
        QFETCH(QString, label);
        QFETCH(QString, appName);
        QFETCH(Optional, program);
        FakeMac mac;
        const QString path = content == kFifo ? mac.createFifo(folder + "/" + file)
                                              : mac.createFile(folder + "/" + file, content);
        const QList<LeftoverItem> items = ScannerEngine::findOrphanLaunchItems(mac.roots());
        QCOMPARE(items.size(), kept ? 1 : 0);
        if (!kept)
            return;
        const LeftoverItem &item = items.first();
        QCOMPARE(item.type, LeftoverType::loginItem);
        QCOMPARE(item.path, Optional(path));
        QCOMPARE(item.bundleID, Optional(label));
        QCOMPARE(item.appName, appName);
        QCOMPARE(item.permissionService, program);
        QCOMPARE(item.size, qint64(content.size()));
    }

    void launchItemsInFolderOrder()
    {
        FakeMac mac;
        mac.createPlist("/Library/LaunchDaemons/com.example.a.plist", {});
        mac.createPlist("/Library/LaunchAgents/com.example.c.plist", {});
        mac.createPlist("/Library/LaunchAgents/com.example.b.plist", {});
        mac.createPlist("~/Library/LaunchAgents/com.example.z.plist", {});
        QStringList labels;
        for (const LeftoverItem &item : ScannerEngine::findOrphanLaunchItems(mac.roots()))
            labels << *item.bundleID;
        QCOMPARE(labels, (QStringList{"com.example.z", "com.example.b", "com.example.c", "com.example.a"}));
    }

    // With the home folder at the root, the user's and the system's agents
    // folder are one: each file is still reported once.
    void launchItemsTakenOnce()
    {
        FakeMac mac;
        mac.createPlist("/Library/LaunchAgents/com.example.once.plist", {});
        const SystemRoots roots{mac.root(), mac.root()};
        QCOMPARE(ScannerEngine::findOrphanLaunchItems(roots).size(), 1);
    }

    void plugins_data()
    {
        QTest::addColumn<QString>("entry");      // fake path of the entry
        QTest::addColumn<QByteArray>("info");    // Contents/Info.plist; empty: a plain file, "none": a bare bundle
        QTest::addColumn<bool>("kept");
        QTest::addColumn<Optional>("bundleID");
        QTest::addColumn<QString>("appName");
        const QByteArray none = "none";
        const auto id = [](const QString &identifier) { return plist({{"CFBundleIdentifier", identifier}}); };

        // Judged by identifier.
        QTest::newRow("uninstalled bundle") << "~/Library/PreferencePanes/Foo.prefPane" << id("com.other.foo") << true
                                            << Optional("com.other.foo") << "Foo";
        QTest::newRow("apple") << "/Library/PreferencePanes/Sys.prefPane" << id("com.apple.preference.sys") << false
                               << Optional() << "";
        QTest::newRow("installed") << "~/Library/Screen Savers/Inst.saver" << id("com.example.installed") << false
                                   << Optional() << "";
        QTest::newRow("four pieces, owner installed") << "/Library/Screen Savers/Audio.saver"
                                                      << id("com.example.app.audio") << false << Optional() << "";
        QTest::newRow("five pieces, owner installed") << "/Library/Audio/Plug-Ins/Components/U.component"
                                                      << id("com.example.app.audio.unit") << false << Optional() << "";
        QTest::newRow("empty pieces dropped") << "/Library/Audio/Plug-Ins/VST3/E.vst3" << id("com..example..app.x")
                                              << false << Optional() << "";
        QTest::newRow("three pieces only as a whole") << "~/Library/Audio/Plug-Ins/VST/Other.vst"
                                                      << id("com.example.other") << true
                                                      << Optional("com.example.other") << "Other";
        QTest::newRow("two pieces") << "/Library/Audio/Plug-Ins/VST/Two.vst" << id("example.app") << true
                                    << Optional("example.app") << "Two";
        QTest::newRow("identifier wins over name") << "~/Library/Audio/Plug-Ins/VST3/Installed Tool.vst3"
                                                   << id("com.other.tool") << true << Optional("com.other.tool")
                                                   << "Installed Tool";
        QTest::newRow("system HAL") << "/Library/Audio/Plug-Ins/HAL/Loop.driver" << id("com.other.loop") << true
                                    << Optional("com.other.loop") << "Loop";
        QTest::newRow("no user HAL") << "~/Library/Audio/Plug-Ins/HAL/Loop.driver" << id("com.other.loop") << false
                                     << Optional() << "";

        // Judged by name.
        QTest::newRow("plain file") << "/Library/Audio/Plug-Ins/Components/Thing.component" << QByteArray() << true
                                    << Optional() << "Thing";
        QTest::newRow("plain file, name installed") << "~/Library/Audio/Plug-Ins/VST/Installed Tool.vst"
                                                    << QByteArray() << false << Optional() << "";
        QTest::newRow("plain file, apple name") << "/Library/Audio/Plug-Ins/VST/com.apple.thing.vst" << QByteArray()
                                                << false << Optional() << "";
        QTest::newRow("bundle without plist") << "~/Library/Audio/Plug-Ins/VST3/Loose.vst3" << none << true
                                              << Optional() << "Loose";
        QTest::newRow("malformed plist") << "~/Library/Audio/Plug-Ins/Components/Bad.component" << kMalformed << true
                                         << Optional() << "Bad";
        QTest::newRow("identifier not a string") << "/Library/PreferencePanes/Num.prefPane"
                                                 << plist({{"CFBundleIdentifier", 7}}) << true << Optional() << "Num";
        QTest::newRow("plist is a pipe") << "/Library/Screen Savers/Pipe.saver" << kFifo << true << Optional()
                                         << "Pipe";
        QTest::newRow("hidden") << "/Library/Screen Savers/.Hidden.saver" << id("com.other.hidden") << false
                                << Optional() << "";
        QTest::newRow("no extension") << "/Library/Audio/Plug-Ins/VST/Bare" << QByteArray() << true << Optional()
                                      << "Bare";
    }

    void plugins()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, info);
        QFETCH(bool, kept);
        QFETCH(Optional, bundleID);
        QFETCH(QString, appName);
        FakeMac mac;
        qint64 size = 0;
        if (info.isEmpty()) {
            mac.createFileOfSize(entry, 321);
            size = 321;
        } else {
            mac.createFileOfSize(entry + "/Contents/MacOS/bin", 1000);
            size = 1000;
            if (info == kFifo) {
                mac.createFifo(entry + "/Contents/Info.plist");
            } else if (info != "none") {
                mac.createFile(entry + "/Contents/Info.plist", info);
                size += info.size();
            }
        }
        const QSet<QString> ids{"com.example.app", "com.example.installed"};
        const QSet<QString> names{"Installed Tool"};
        const QList<LeftoverItem> items = ScannerEngine::findOrphanPlugins(mac.roots(), ids, names);
        QCOMPARE(items.size(), kept ? 1 : 0);
        if (!kept)
            return;
        const LeftoverItem &item = items.first();
        QCOMPARE(item.type, LeftoverType::plugin);
        QCOMPARE(item.path, Optional(mac.path(entry)));
        QCOMPARE(item.bundleID, bundleID);
        QCOMPARE(item.appName, appName);
        QCOMPARE(item.size, size);
        QVERIFY(!item.permissionService);
    }

    void pluginsInFolderOrder()
    {
        FakeMac mac;
        mac.createFile("/Library/Audio/Plug-Ins/VST3/A.vst3");
        mac.createFile("~/Library/PreferencePanes/Z.prefPane");
        mac.createFile("/Library/PreferencePanes/B.prefPane");
        mac.createFile("/Library/PreferencePanes/A.prefPane");
        QStringList names;
        for (const LeftoverItem &item : ScannerEngine::findOrphanPlugins(mac.roots(), {}, {}))
            names << item.path->mid(mac.root().size());
        QCOMPARE(names, (QStringList{"/Users/tester/Library/PreferencePanes/Z.prefPane",
                                     "/Library/PreferencePanes/A.prefPane", "/Library/PreferencePanes/B.prefPane",
                                     "/Library/Audio/Plug-Ins/VST3/A.vst3"}));
    }

    void nothingOnAnEmptyMac()
    {
        FakeMac mac;
        QVERIFY(ScannerEngine::findOrphanLaunchItems(mac.roots()).isEmpty());
        QVERIFY(ScannerEngine::findOrphanPlugins(mac.roots(), {}, {}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLaunchItems)
#include "tst_launch_items.moc"
