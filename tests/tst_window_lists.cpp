#include "ui/main/DerivedLists.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<LeftoverType>)
Q_DECLARE_METATYPE(QList<LeftoverComparator>)

namespace {

LeftoverItem item(const QString &name, std::optional<QString> bundleID, LeftoverType type, qint64 size = 0)
{
    LeftoverItem i;
    i.appName = name;
    i.bundleID = std::move(bundleID);
    i.type = type;
    i.size = size;
    i.path = QStringLiteral("/Users/tester/Library/zeta/") + name;
    return i;
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

InstalledApp app(const QString &name, const QString &bundleID)
{
    InstalledApp a;
    a.name = name;
    a.bundleID = bundleID;
    a.path = QStringLiteral("/Applications/") + name + QStringLiteral(".app");
    return a;
}

} // namespace

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
        QTest::newRow("later comparator breaks ties")
            << false << any << QString()
            << QList<LeftoverComparator>{{Key::size, Qt::DescendingOrder}, {Key::appName, Qt::DescendingOrder}}
            << QStringList{"Alpha", "Échelle", "beta tool", "Charlie", "delta"} << 0;
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

    // Hidden rows stay selected, in the scanner's order; so do the roster's.
    void selections()
    {
        const QList<LeftoverItem> all = items();
        const QSet<QUuid> picked{all[4].id, all[2].id, QUuid::createUuid()};
        QCOMPARE(names(DerivedLists::selectedItems(all, picked)), (QStringList{"beta tool", "Charlie"}));

        const QList<InstalledApp> roster{app("Zed", "dev.zed"), app("atom", "io.atom"), app("Beta", "com.beta")};
        QCOMPARE(names(DerivedLists::selectedApps(roster, {roster[2].id, roster[0].id})), (QStringList{"Zed", "Beta"}));
    }

    void filteredApps_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty: roster order") << QString() << QStringList{"Zed", "atom", "Beta"};
        QTest::newRow("name, case ignored") << QStringLiteral("ATO") << QStringList{"atom"};
        QTest::newRow("bundle ID") << QStringLiteral("dev.") << QStringList{"Zed"};
        QTest::newRow("blank") << QStringLiteral(" ") << QStringList{};
    }

    void filteredApps()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        const QList<InstalledApp> roster{app("Zed", "dev.zed"), app("atom", "io.atom"), app("Beta", "com.beta")};
        QCOMPARE(names(DerivedLists::filteredApps(roster, search)), expected);
        if (search.isEmpty())
            QCOMPARE(names(DerivedLists::sortedApps(roster, {AppComparator{}})), (QStringList{"Beta", "Zed", "atom"}));
    }
};

QTEST_APPLESS_MAIN(TestWindowLists)
#include "tst_window_lists.moc"
