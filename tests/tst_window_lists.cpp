#include "support/FakeMac.h"
#include "ui/main/DerivedLists.h"
#include "ui/main/DroppedBundle.h"
#include "ui/main/RosterRules.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<LeftoverType>)
Q_DECLARE_METATYPE(QList<LeftoverComparator>)
Q_DECLARE_METATYPE(QList<AppComparator>)
Q_DECLARE_METATYPE(std::optional<DroppedBundle>)

namespace {

LeftoverItem item(const QString &name, std::optional<QString> bundleID, LeftoverType type, qint64 size = 0)
{
    return {.appName = name, .bundleID = bundleID, .path = "/Users/tester/Library/zeta/" + name, .type = type,
            .size = size, .permissionService = {}};
}

// Two kept outside the Safe set (a container and a login item); one without a bundle ID.
QList<LeftoverItem> items()
{
    static const QList<LeftoverItem> list{
        item(QStringLiteral("delta"), QStringLiteral("com.delta"), LeftoverType::loginItem, 5),
        item(QStringLiteral("Alpha"), QStringLiteral("com.alpha.app"), LeftoverType::cache, 30),
        item(QStringLiteral("beta tool"), std::nullopt, LeftoverType::container, 20),
        item(QStringLiteral("Échelle"), QStringLiteral("fr.xll"), LeftoverType::log, 20),
        item(QStringLiteral("Charlie"), QStringLiteral("org.char lie"), LeftoverType::preference, 10),
    };
    return list;
}

template <typename Record>
QStringList names(const QList<Record> &records)
{
    QStringList result;
    for (const Record &r : records) {
        if constexpr (std::is_same_v<Record, LeftoverItem>)
            result << r.appName;
        else
            result << r.name;
    }
    return result;
}

InstalledApp app(const QString &name, const QString &bundleID, qint64 size = -1,
                 std::optional<QDateTime> launched = std::nullopt)
{
    return {.name = name, .bundleID = bundleID, .path = "/Applications/" + name + ".app", .version = {}, .appSize = size,
            .lastLaunched = launched};
}

template <typename Record>
QList<QUuid> ids(const QList<Record> &records)
{
    QList<QUuid> result;
    for (const Record &r : records)
        result << r.id;
    return result;
}

// The order a stable sort gives with the comparators applied to the values themselves.
template <typename Record, typename Comparator, typename Compare>
QList<QUuid> stablySorted(QList<Record> records, const QList<Comparator> &sortOrder, Compare compare)
{
    std::stable_sort(records.begin(), records.end(), [&](const Record &a, const Record &b) {
        for (const Comparator &comparator : sortOrder) {
            if (const int result = compare(a, b, comparator.key))
                return comparator.order == Qt::AscendingOrder ? result < 0 : result > 0;
        }
        return false;
    });
    return ids(records);
}

template <typename T>
int threeWay(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

// The windows' derived lists and the reading of a dropped bundle.
class TestWindowLists : public QObject
{
    Q_OBJECT

private slots:
    void filteredItems_data()
    {
        QTest::addColumn<bool>("safeMode");
        QTest::addColumn<std::optional<LeftoverType>>("type");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<LeftoverComparator>>("sortOrder");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("hidden");

        using Key = LeftoverComparator::Key;
        const QList<LeftoverComparator> byName{{Key::appName, Qt::AscendingOrder}};
        const std::optional<LeftoverType> any;
        QTest::newRow("safe mode") << true << any << QString() << byName
                                   << QStringList{"Alpha", "Charlie", "Échelle"} << 2;
        QTest::newRow("safe mode, type outside the set") << true << std::optional(LeftoverType::container) << QString()
                                                         << byName << QStringList{} << 2;
        QTest::newRow("off: upper case before lower case")
            << false << any << QString() << byName << QStringList{"Alpha", "Charlie", "beta tool", "delta", "Échelle"} << 0;
        QTest::newRow("case ignored") << false << any << QStringLiteral("aLP") << byName << QStringList{"Alpha"} << 0;
        QTest::newRow("bundle ID searched") << false << any << QStringLiteral("COM.") << byName
                                            << QStringList{"Alpha", "delta"} << 0;
        QTest::newRow("no bundle ID: name only") << false << any << QStringLiteral("tool") << byName
                                                 << QStringList{"beta tool"} << 0;
        QTest::newRow("path not searched") << false << any << QStringLiteral("zeta") << byName << QStringList{} << 0;
        QTest::newRow("one blank, untrimmed") << false << any << QStringLiteral(" ") << byName
                                              << QStringList{"Charlie", "beta tool"} << 0;
        QTest::newRow("diacritics kept, case folded") << false << any << QStringLiteral("éCH") << byName
                                                      << QStringList{"Échelle"} << 0;
        QTest::newRow("diacritics not ignored") << false << any << QStringLiteral("ech") << byName << QStringList{} << 0;
        QTest::newRow("type by display text") << false << any << QString()
                                              << QList<LeftoverComparator>{{Key::type, Qt::AscendingOrder}}
                                              << QStringList{"Alpha", "beta tool", "Échelle", "delta", "Charlie"} << 0;
    }

    void filteredItems()
    {
        QFETCH(bool, safeMode);
        QFETCH(std::optional<LeftoverType>, type);
        QFETCH(QString, search);
        QFETCH(QList<LeftoverComparator>, sortOrder);
        QFETCH(QStringList, expected);
        QFETCH(int, hidden);
        const LeftoverFilters filters{safeMode, type, search};
        QCOMPARE(names(DerivedLists::filteredItems(items(), filters, sortOrder)), expected);
        QCOMPARE(DerivedLists::hiddenBySafeModeCount(items(), safeMode), hidden);
    }

    // Both tables' order is exactly that of the comparators over texts that
    // catch shortcuts: case, accents, digits, prefixes, a character outside
    // the BMP, and equal names told apart only by later keys or input order.
    void sortOrders_data()
    {
        QTest::addColumn<QList<LeftoverComparator>>("itemOrder");
        QTest::addColumn<QList<AppComparator>>("appOrder");
        using L = LeftoverComparator::Key;
        using A = AppComparator::Key;
        QTest::newRow("name") << QList<LeftoverComparator>{{}} << QList<AppComparator>{{}};
        QTest::newRow("name descending, then size")
            << QList<LeftoverComparator>{{L::appName, Qt::DescendingOrder}, {L::size}}
            << QList<AppComparator>{{A::name, Qt::DescendingOrder}, {A::appSize}};
        QTest::newRow("type or date, then name")
            << QList<LeftoverComparator>{{L::type}, {L::appName}}
            << QList<AppComparator>{{A::lastLaunched, Qt::DescendingOrder}, {A::name}};
        QTest::newRow("size descending, then name descending")
            << QList<LeftoverComparator>{{L::size, Qt::DescendingOrder}, {L::appName, Qt::DescendingOrder}}
            << QList<AppComparator>{{A::appSize, Qt::DescendingOrder}, {A::name, Qt::DescendingOrder}};
    }

    void sortOrders()
    {
        QFETCH(QList<LeftoverComparator>, itemOrder);
        QFETCH(QList<AppComparator>, appOrder);
        const QStringList texts{"a", "A", "", "\u00e1", "A\u0301", "a10", "a2", "a", "a1", "\u00c9",
                                "e", "Z", "a", "z", "\U0001D49C", "\uFFFD", "a ", "ab", "A", "a\u00e1"};
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QList<LeftoverItem> items;
        QList<InstalledApp> roster;
        for (int i = 0; i < texts.size(); ++i) {
            items << item(texts[i], std::nullopt, LeftoverTypes::allCases().at(i % 3), i % 2);
            roster << app(texts[i], "id", i % 3 - 1, i % 4 ? std::optional(now.addDays(-(i % 3))) : std::nullopt);
        }
        QCOMPARE(ids(DerivedLists::filteredItems(items, {false, std::nullopt, QString()}, itemOrder)), stablySorted(items, itemOrder, [](const LeftoverItem &a, const LeftoverItem &b, LeftoverComparator::Key key) {
                     switch (key) {
                     case LeftoverComparator::Key::appName: return QString::compare(a.appName, b.appName, Qt::CaseSensitive);
                     case LeftoverComparator::Key::type: return threeWay(a.type, b.type);
                     case LeftoverComparator::Key::size: return threeWay(a.size, b.size);
                     }
                     return 0;
                 }));
        QCOMPARE(ids(DerivedLists::sortedApps(roster, appOrder)), stablySorted(roster, appOrder, [](const InstalledApp &a, const InstalledApp &b, AppComparator::Key key) {
                     switch (key) {
                     case AppComparator::Key::name: return QString::compare(a.name, b.name, Qt::CaseSensitive);
                     case AppComparator::Key::appSize: return threeWay(a.appSize, b.appSize);
                     case AppComparator::Key::lastLaunched: return threeWay(a.lastLaunchedSortKey(), b.lastLaunchedSortKey());
                     }
                     return 0;
                 }));
    }

    // Hidden rows stay selected, in the scanner's order; so do the roster's.
    void selections()
    {
        const QList<LeftoverItem> all = items();
        const QSet<QUuid> picked{all[4].id, all[2].id, QUuid::createUuid()};
        QCOMPARE(names(DerivedLists::selectedItems(all, picked)), (QStringList{"beta tool", "Charlie"}));

        const QList<InstalledApp> roster{app("Zed", "dev.zed"), app("atom", "io.atom"), app("Beta", "com.beta")};
        QCOMPARE(names(DerivedLists::selectedApps(roster, {roster[2].id, roster[0].id})), (QStringList{"Zed", "Beta"}));
    }

    // The roster's search, sort and count.
    void apps_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<AppComparator>>("sortOrder");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("count");
        using Key = AppComparator::Key;
        const QList<AppComparator> none;
        QTest::newRow("empty: roster order") << QString() << none << QStringList{"Zed", "atom", "Beta"} << "3 apps";
        QTest::newRow("name, case ignored") << QStringLiteral("ATO") << none << QStringList{"atom"} << "1 app";
        QTest::newRow("bundle ID") << QStringLiteral("dev.") << none << QStringList{"Zed"} << "1 app";
        QTest::newRow("blank") << QStringLiteral(" ") << none << QStringList{} << "0 apps";
        QTest::newRow("last launched: never first") << QString() << QList<AppComparator>{{Key::lastLaunched}}
                                                    << QStringList{"atom", "Zed", "Beta"} << "3 apps";
    }

    void apps()
    {
        QFETCH(QString, search);
        QFETCH(QList<AppComparator>, sortOrder);
        QFETCH(QStringList, expected);
        QFETCH(QString, count);
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QList<InstalledApp> roster{app("Zed", "dev.zed", 5'000'000, now.addDays(-40)), app("atom", "io.atom"),
                                         app("Beta", "com.beta", 0, now)};
        const QList<InstalledApp> shown = DerivedLists::sortedApps(DerivedLists::filteredApps(roster, search), sortOrder);
        QCOMPARE(names(shown), expected);
        QCOMPARE(RosterRules::countText(shown.size()), count);
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
        const QString path = dropped.endsWith(QLatin1Char('/')) ? dropped.chopped(1) : dropped;
        if (make.startsWith(QLatin1String("app:")))
            mac.createApp(path, make.mid(4));
        else if (make == QLatin1String("dir"))
            mac.createDir(path);
        else
            mac.createPlist(path + QStringLiteral("/Contents/Info.plist"), {{QStringLiteral("CFBundleIdentifier"), 42}});
        QCOMPARE(DroppedBundle::read(QUrl::fromLocalFile(mac.path(dropped))), result);
    }
};

QTEST_GUILESS_MAIN(TestWindowLists)
#include "tst_window_lists.moc"
