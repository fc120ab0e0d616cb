#include "core/engine/LaunchItemFinders.h"
#include "platform/PropertyList.h"
#include "support/FakeMac.h"

#include <QtTest>

using Optional = std::optional<QString>;
Q_DECLARE_METATYPE(Optional)

namespace {

const QByteArray kMalformed = "<?xml version=\"1.0\"?><plist><dict><key>Label</key>";
const QByteArray kFifo = "fifo"; // stands for a named pipe in place of the file

QByteArray plist(const QVariantMap &dict, bool binary = false)
{
    return binary ? PropertyList::toBinary(dict) : PropertyList::toXml(dict);
}

const QString kUser = "~/Library/LaunchAgents";
const QString kAgents = "/Library/LaunchAgents";
const QString kDaemons = "/Library/LaunchDaemons";

// An empty appName: the entry is not reported.
void launchRow(const char *tag, const QString &folder, const QString &file, const QByteArray &content,
               const QString &label = {}, const QString &appName = {}, const Optional &program = {})
{
    QTest::newRow(tag) << folder + "/" + file << content << Optional(label) << appName << program;
}

void pluginRow(const char *tag, const QString &entry, const QByteArray &info, const QString &appName = {},
               const Optional &bundleID = {})
{
    QTest::newRow(tag) << entry << info << bundleID << appName << Optional();
}

}

class TestLaunchItems : public QObject
{
    Q_OBJECT
private slots:
    // Launch items (entries in a launch folder: the file is the property list) and plug-ins (a file, or a
    // bundle with Contents/Info.plist) in one table.
    void finders_data()
    {
        QTest::addColumn<QString>("entry");     // fake path of the entry
        QTest::addColumn<QByteArray>("content"); // plug-ins: empty: a plain file, "none": a bare bundle
        QTest::addColumn<Optional>("bundleID");
        QTest::addColumn<QString>("appName");
        QTest::addColumn<Optional>("program");
        const QString tool = "/Applications/Example.app/Contents/MacOS/Example Tool";
        const auto label = [](const QString &l) { return plist({{"Label", l}}); };

        // Which files are looked at.
        launchRow("user agent", kUser, "com.example.sync.plist",
                  plist({{"Label", "com.example.sync"}, {"Program", tool}}), "com.example.sync", "Example Tool", tool);
        launchRow("system agent, binary", kAgents, "com.example.agent.plist",
                  plist({{"Label", "com.example.agent"}}, true), "com.example.agent", "Agent");
        launchRow("hidden file", kUser, ".com.example.x.plist", label("com.example.x"));
        launchRow("backup copy", kUser, "com.example.x.plist.bak", label("com.example.x"));
        launchRow("malformed", kUser, "com.example.bad.plist", kMalformed);
        launchRow("named pipe", kDaemons, "com.example.pipe.plist", kFifo);

        // The label.
        launchRow("label decides, not file name", kUser, "com.apple.fake.plist", label("com.example.real"),
                  "com.example.real", "Real");
        launchRow("apple label", kUser, "com.example.x.plist", label("com.apple.x"));
        launchRow("no label: file name", kUser, "com.example.helper.plist", plist({{"RunAtLoad", true}}),
                  "com.example.helper", "Helper");
        launchRow("label not a string", kUser, "com.example.numbered.plist", plist({{"Label", 5}}),
                  "com.example.numbered", "Numbered");
        launchRow("apple file name, no label", kUser, "com.apple.thing.plist", plist({{"RunAtLoad", true}}));
        launchRow("four accented characters", kUser, "z.plist", label("e\u0301e\u0301e\u0301e\u0301"));
        // Apple's prefix is matched with its case: another case is someone else's label.
        launchRow("apple label in upper case", kUser, "com.example.upper.plist", label("COM.APPLE.Dock"),
                  "COM.APPLE.Dock", "Dock");
        launchRow("apple label in mixed case", kDaemons, "com.example.mixed-case.plist", label("Com.Apple.finder"),
                  "Com.Apple.finder", "Finder");
        launchRow("apple file name in upper case, no label", kAgents, "COM.APPLE.thing.plist",
                  plist({{"RunAtLoad", true}}), "COM.APPLE.thing", "Thing");

        // The program.
        launchRow("arguments", kAgents, "com.example.args.plist",
                  plist({{"Label", "com.example.args"},
                         {"ProgramArguments", QVariantList{"/usr/local/bin/tool.sh", "--flag"}}}),
                  "com.example.args", "tool", "/usr/local/bin/tool.sh");
        launchRow("program before arguments", kAgents, "com.example.both.plist",
                  plist({{"Label", "com.example.both"}, {"Program", "/opt/a"}, {"ProgramArguments", QVariantList{"/opt/b"}}}),
                  "com.example.both", "a", "/opt/a");
        launchRow("program not a string", kAgents, "com.example.pnum.plist",
                  plist({{"Label", "com.example.pnum"}, {"Program", 1}, {"ProgramArguments", QVariantList{"/opt/b"}}}),
                  "com.example.pnum", "b", "/opt/b");
        launchRow("empty arguments", kAgents, "com.example.noargs.plist",
                  plist({{"Label", "com.example.sync-agent"}, {"ProgramArguments", QVariantList{}}}),
                  "com.example.sync-agent", "Sync agent");
        launchRow("arguments not all strings", kAgents, "com.example.mixed.plist",
                  plist({{"Label", "com.example.mixed"}, {"ProgramArguments", QVariantList{"/opt/c", 3}}}),
                  "com.example.mixed", "Mixed");
        launchRow("empty program", kAgents, "com.example.blank.plist",
                  plist({{"Label", "com.example.blank"}, {"Program", ""}}), "com.example.blank", "Blank");

        const QStringList awkward = FakeMac::awkwardNames();
        for (int i = 0; i < awkward.size(); ++i) {
            QTest::addRow("awkward %d", i) << kUser + "/" + awkward[i] + ".plist" << plist({{"Program", awkward[i]}})
                                           << Optional(awkward[i]) << awkward[i] << Optional(awkward[i]);
        }

        const auto id = [](const QString &identifier) { return plist({{"CFBundleIdentifier", identifier}}); };

        // Judged by identifier.
        pluginRow("uninstalled bundle", "~/Library/PreferencePanes/Foo.prefPane", id("com.other.foo"), "Foo",
                  "com.other.foo");
        pluginRow("apple", "/Library/PreferencePanes/Sys.prefPane", id("com.apple.preference.sys"));
        pluginRow("apple identifier in mixed case", "/Library/PreferencePanes/Up.prefPane", id("Com.Apple.preference.up"),
                  "Up", "Com.Apple.preference.up");
        pluginRow("installed", "~/Library/Screen Savers/Inst.saver", id("com.example.installed"));
        pluginRow("four pieces, owner installed", "/Library/Screen Savers/Audio.saver", id("com.example.app.audio"));
        pluginRow("empty pieces dropped", "/Library/Audio/Plug-Ins/VST3/E.vst3", id("com..example..app.x"));
        pluginRow("three pieces only as a whole", "~/Library/Audio/Plug-Ins/VST/Other.vst", id("com.example.other"),
                  "Other", "com.example.other");
        pluginRow("identifier wins over name", "~/Library/Audio/Plug-Ins/VST3/Installed Tool.vst3",
                  id("com.other.tool"), "Installed Tool", "com.other.tool");
        pluginRow("system HAL", "/Library/Audio/Plug-Ins/HAL/Loop.driver", id("com.other.loop"), "Loop",
                  "com.other.loop");
        pluginRow("no user HAL", "~/Library/Audio/Plug-Ins/HAL/Loop.driver", id("com.other.loop"));

        // Judged by name.
        pluginRow("plain file", "/Library/Audio/Plug-Ins/Components/Thing.component", QByteArray(), "Thing");
        pluginRow("plain file, name installed", "~/Library/Audio/Plug-Ins/VST/Installed Tool.vst", QByteArray());
        pluginRow("plain file, apple name", "/Library/Audio/Plug-Ins/VST/com.apple.thing.vst", QByteArray());
        pluginRow("plain file, apple name in upper case", "/Library/Audio/Plug-Ins/VST/COM.APPLE.thing.vst", QByteArray(),
                  "COM.APPLE.thing");
        pluginRow("bundle without plist", "~/Library/Audio/Plug-Ins/VST3/Loose.vst3", "none", "Loose");
        pluginRow("plist is a pipe", "/Library/Screen Savers/Pipe.saver", kFifo, "Pipe");
        pluginRow("hidden", "/Library/Screen Savers/.Hidden.saver", id("com.other.hidden"));
    }

    void finders()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, content);
        QFETCH(Optional, bundleID);
        QFETCH(QString, appName);
        QFETCH(Optional, program);
        FakeMac mac;
        const bool launch = entry.contains(QLatin1String("/Launch"));
        const QString plistPath = launch ? entry : entry + "/Contents/Info.plist";
        qint64 size = launch ? 0 : 1000;
        if (!launch && content.isEmpty()) {
            mac.createFileOfSize(entry, 321);
            size = 321;
        } else {
            if (!launch)
                mac.createFileOfSize(entry + "/Contents/MacOS/bin", 1000);
            if (content == kFifo) {
                mac.createFifo(plistPath);
            } else if (content != "none") {
                mac.createFile(plistPath, content);
                size += content.size();
            }
        }
        const QList<LeftoverItem> items = launch ? ScannerEngine::findOrphanLaunchItems(mac.roots())
                                                 : ScannerEngine::findOrphanPlugins(
                                                       mac.roots(), {"com.example.app", "com.example.installed"},
                                                       {"Installed Tool"});
        QCOMPARE(items.size(), appName.isEmpty() ? 0 : 1);
        if (appName.isEmpty())
            return;
        const LeftoverItem &item = items.first();
        QCOMPARE(item.type, launch ? LeftoverType::loginItem : LeftoverType::plugin);
        QCOMPARE(item.path, Optional(mac.path(entry)));
        QCOMPARE(item.bundleID, bundleID);
        QCOMPARE(item.appName, appName);
        QCOMPARE(item.permissionService, program);
        QCOMPARE(item.size, size);
    }

    // Launch items: user agents, system agents, daemons; plug-ins: the user's
    // folders before the system's. Each folder by name. With the home folder at
    // the root, the user's and the system's agents are one folder: each file is
    // still reported once.
    void folderOrder()
    {
        FakeMac mac;
        mac.createPlist("/Library/LaunchDaemons/com.example.a.plist", {});
        mac.createPlist("/Library/LaunchAgents/com.example.c.plist", {});
        mac.createPlist("/Library/LaunchAgents/com.example.b.plist", {});
        mac.createPlist("~/Library/LaunchAgents/com.example.z.plist", {});
        mac.createFile("/Library/Audio/Plug-Ins/VST3/A.vst3");
        mac.createFile("~/Library/PreferencePanes/Z.prefPane");
        mac.createFile("/Library/PreferencePanes/B.prefPane");
        mac.createFile("/Library/PreferencePanes/A.prefPane");
        QStringList found;
        for (const LeftoverItem &item : ScannerEngine::findOrphanLaunchItems(mac.roots())
                 + ScannerEngine::findOrphanPlugins(mac.roots(), {}, {}))
            found << item.path->mid(mac.root().size());
        QCOMPARE(found, (QStringList{"/Users/tester/Library/LaunchAgents/com.example.z.plist",
                                     "/Library/LaunchAgents/com.example.b.plist",
                                     "/Library/LaunchAgents/com.example.c.plist",
                                     "/Library/LaunchDaemons/com.example.a.plist",
                                     "/Users/tester/Library/PreferencePanes/Z.prefPane",
                                     "/Library/PreferencePanes/A.prefPane", "/Library/PreferencePanes/B.prefPane",
                                     "/Library/Audio/Plug-Ins/VST3/A.vst3"}));
        QCOMPARE(ScannerEngine::findOrphanLaunchItems(SystemRoots{mac.root(), mac.root()}).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestLaunchItems)
#include "tst_launch_items.moc"
