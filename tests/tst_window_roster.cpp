#include "support/ScannerFixture.h"
#include "ui/main/DerivedLists.h"
#include "ui/main/DroppedBundle.h"
#include "ui/main/RosterRules.h"

#include <QTest>

namespace {
InstalledApp app(const QString &name, qint64 size = -1, std::optional<QDateTime> launched = std::nullopt)
{
    InstalledApp a;
    a.name = name;
    a.bundleID = QStringLiteral("com.example.") + name.toLower();
    a.appSize = size;
    a.lastLaunched = launched;
    return a;
}
QStringList names(const QList<InstalledApp> &apps)
{
    QStringList out;
    for (const InstalledApp &a : apps)
        out << a.name;
    return out;
}
} // namespace

Q_DECLARE_METATYPE(AppComparator)
Q_DECLARE_METATYPE(std::optional<DroppedBundle>)

// The Installed Apps tab's plain decisions and the reading of a dropped bundle.
class TestWindowRoster : public QObject
{
    Q_OBJECT

private slots:
    void countText_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << 0 << "0 apps";
        QTest::newRow("one: no plural") << 1 << "1 app";
        QTest::newRow("twelve") << 12 << "12 apps";
    }
    void countText()
    {
        QFETCH(int, count);
        QFETCH(QString, text);
        QCOMPARE(RosterRules::countText(count), text);
    }

    void sortKeys_data()
    {
        QTest::addColumn<AppComparator>("by");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("size: unsized first") << AppComparator{AppComparator::Key::appSize} << QStringList{"Unsized", "Empty", "Big"};
        QTest::newRow("size descending") << AppComparator{AppComparator::Key::appSize, Qt::DescendingOrder}
                                         << QStringList{"Big", "Empty", "Unsized"};
        QTest::newRow("last launched: never first") << AppComparator{AppComparator::Key::lastLaunched}
                                                    << QStringList{"Unsized", "Big", "Empty"};
    }
    void sortKeys()
    {
        QFETCH(AppComparator, by);
        QFETCH(QStringList, order);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QList<InstalledApp> roster{app("Big", 5'000'000, now.addDays(-40)), app("Unsized", -1),
                                         app("Empty", 0, now)};
        QCOMPARE(names(DerivedLists::sortedApps(roster, {by})), order);
    }

    // Every entry acts on the first selected app in roster order, not the table's.
    void menuActsOnFirstInRosterOrder()
    {
        const QList<InstalledApp> roster{app("Zed"), app("Alpha"), app("Mid")};
        QCOMPARE(RosterRules::menuApp(roster, {roster[2].id, roster[1].id, roster[0].id})->name, QStringLiteral("Zed"));
        QCOMPARE(RosterRules::menuApp(roster, {roster[2].id, roster[1].id})->name, QStringLiteral("Alpha"));
        QVERIFY(!RosterRules::menuApp(roster, {QUuid::createUuid()}));

        ScannerFixture f;
        const LanguageManager &lm = f.language;
        const auto last = [&](const QStringList &ignored) {
            return RosterRules::contextMenu(roster[0], ignored, lm).last();
        };
        QCOMPARE(last({}).action, RosterMenuEntry::Action::addToIgnore);
        QCOMPARE(last({"com.example.zed"}).action, RosterMenuEntry::Action::unignore);
        QCOMPARE(last({"com.example.zed"}).title, QStringLiteral("Remove \"Zed\" from Ignore List"));
    }

    void droppedBundle_data()
    {
        QTest::addColumn<QString>("make");
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<std::optional<DroppedBundle>>("result");
        const auto bundle = [](const char *id, const char *name) { return std::optional(DroppedBundle{id, name}); };
        QTest::newRow("identifier read") << "app:com.example.foo" << "/Applications/Foo Bar.app"
                                         << bundle("com.example.foo", "Foo Bar");
        QTest::newRow("folder URL with a slash") << "app:com.example.foo" << "/Applications/Foo Bar.app/"
                                                 << bundle("com.example.foo", "Foo Bar");
        QTest::newRow("no Info.plist: the name") << "dir" << "/Applications/Foo Bar.app" << bundle("Foo Bar", "Foo Bar");
        QTest::newRow("identifier not text") << "plist" << "/Applications/Foo Bar.app" << bundle("Foo Bar", "Foo Bar");
        QTest::newRow("a document") << "file" << "/Users/tester/Notes.txt" << std::optional<DroppedBundle>();
        QTest::newRow("a plain folder") << "dir" << "/Applications/Foo Bar" << std::optional<DroppedBundle>();
        QTest::newRow("capital extension") << "app:com.example.foo" << "/Applications/Foo Bar.APP"
                                           << std::optional<DroppedBundle>();
    }
    void droppedBundle()
    {
        QFETCH(QString, make);
        QFETCH(QString, dropped);
        QFETCH(std::optional<DroppedBundle>, result);
        FakeMac mac;
        QString path = dropped.endsWith(QLatin1Char('/')) ? dropped.chopped(1) : dropped;
        if (make.startsWith(QLatin1String("app:")))
            mac.createApp(path, make.mid(4));
        else if (make == QLatin1String("dir"))
            mac.createDir(path);
        else if (make == QLatin1String("file"))
            mac.createFile(path, "text");
        else
            mac.createPlist(path + QStringLiteral("/Contents/Info.plist"), {{QStringLiteral("CFBundleIdentifier"), 42}});
        QCOMPARE(DroppedBundle::read(QUrl::fromLocalFile(mac.path(dropped))), result);
    }
};

QTEST_GUILESS_MAIN(TestWindowRoster)
#include "tst_window_roster.moc"
