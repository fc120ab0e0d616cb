#include "core/LanguageManager.h"
#include "platform/UserDefaults.h"
#include "ui/main/ActionBarRules.h"
#include "ui/main/LeftoversRules.h"

#include <QTemporaryDir>
#include <QTest>

using Kind = LeftoversRules::MenuEntry::Kind;
Q_DECLARE_METATYPE(LeftoversRules::SizeTone)
Q_DECLARE_METATYPE(ActionBarRules::LeftoversStatusInput)

namespace {

// Rows named after what they are; paths only where given.
LeftoverItem row(const QString &name, const char *bundleID, LeftoverType type, const char *path = nullptr,
                 qint64 size = 0)
{
    const auto text = [](const char *t) { return t ? std::optional(QString::fromLatin1(t)) : std::nullopt; };
    return {.appName = name, .bundleID = text(bundleID), .path = text(path), .type = type, .size = size,
            .permissionService = {}};
}

QString joined(const QList<ActionBarRules::StatusPiece> &pieces)
{
    QStringList texts;
    for (const ActionBarRules::StatusPiece &piece : pieces)
        texts << piece.text;
    return texts.join(QLatin1Char(' '));
}

QSet<QUuid> idsOf(const QList<LeftoverItem> &items, const QList<int> &rows)
{
    QSet<QUuid> ids;
    for (int r : rows)
        ids.insert(items.at(r).id);
    return ids;
}

} // namespace

// The Leftovers tab's decisions: size cell, context menu, action lists, status texts.
class TestWindowLeftovers : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.filePath(QStringLiteral("defaults.plist"))};
    LanguageManager m_lm{m_defaults};

    // Scan order: Beta's permission, Alpha's two files, a pathless login item, a background pair.
    const QList<LeftoverItem> m_items{
        row(QStringLiteral("Beta"), "com.beta", LeftoverType::permission),
        row(QStringLiteral("Alpha"), "com.alpha", LeftoverType::cache, "/h/Library/Caches/com.alpha", 300),
        row(QStringLiteral("Alpha"), "com.alpha", LeftoverType::appSupport, "/h/Library/Application Support/Alpha", 700),
        row(QStringLiteral("Nameless"), nullptr, LeftoverType::loginItem),
        row(QStringLiteral("Gamma"), "com.gamma", LeftoverType::backgroundActivity),
        row(QStringLiteral("Gamma"), "com.gamma", LeftoverType::backgroundActivity, "/h/Library/LaunchAgents/g.plist"),
        row(QStringLiteral("Tom & Jerry\n\u202E"), "com.tom", LeftoverType::cache, "/h/Library/Caches/com.tom"),
    };

private slots:
    void initTestCase() { m_lm.setLanguage(AppLanguage::en); }

    void sizeCell_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("dash");
        QTest::addColumn<LeftoversRules::SizeTone>("tone");
        using T = LeftoversRules::SizeTone;
        QTest::newRow("negative") << qint64(-5) << true << T::primary;
        QTest::newRow("zero") << qint64(0) << true << T::primary;
        QTest::newRow("10,000,000") << qint64(10'000'000) << false << T::primary;
        QTest::newRow("10,000,001") << qint64(10'000'001) << false << T::orange;
        QTest::newRow("100,000,000") << qint64(100'000'000) << false << T::orange;
        QTest::newRow("100,000,001") << qint64(100'000'001) << false << T::red;
    }

    void sizeCell()
    {
        QFETCH(qint64, size);
        QFETCH(bool, dash);
        QFETCH(LeftoversRules::SizeTone, tone);
        QCOMPARE(LeftoversRules::sizeText(size, QLocale::c()) == QStringLiteral("\u2014"), dash);
        QCOMPARE(LeftoversRules::sizeTone(size), tone);
    }

    void contextMenu_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QStringList>("ignored");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("revealed");
        QTest::newRow("pathless permission: no reveal, no leading divider")
            << QList<int>{0} << QStringList()
            << QStringList{"Scan All Files for \"\u2068Beta\u2069\"",
                           "Reset All Permissions for \"\u2068Beta\u2069\"", "-",
                           "Add \"\u2068Beta\u2069\" to Ignore List"}
            << QStringList();
        // Rows of several apps: Beta comes first in scan order, whatever the screen shows.
        QTest::newRow("three rows, two with paths")
            << QList<int>{2, 1, 0} << QStringList{"com.beta"}
            << QStringList{"Show 2 Items in Finder", "-", "Scan All Files for \"\u2068Beta\u2069\"",
                           "Reset All Permissions for \"\u2068Beta\u2069\"", "-",
                           "Remove \"\u2068Beta\u2069\" from Ignore List"}
            << QStringList{"/h/Library/Caches/com.alpha", "/h/Library/Application Support/Alpha"};
        // The name on one line and isolated; "&" is the menu's to escape.
        QTest::newRow("name with & and a line break")
            << QList<int>{6} << QStringList()
            << QStringList{"Show in Finder", "-", "Scan All Files for \"\u2068Tom & Jerry⏎\u202E\u2069\"",
                           "Reset All Permissions for \"\u2068Tom & Jerry⏎\u202E\u2069\"", "-",
                           "Add \"\u2068Tom & Jerry⏎\u202E\u2069\" to Ignore List"}
            << QStringList{"/h/Library/Caches/com.tom"};
        QTest::newRow("first row without bundle ID") << QList<int>{3, 4} << QStringList() << QStringList() << QStringList();
        QTest::newRow("no rows") << QList<int>{} << QStringList() << QStringList() << QStringList();
    }

    void contextMenu()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, ignored);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, revealed);
        const QList<LeftoversRules::MenuEntry> entries =
            LeftoversRules::contextMenu(m_items, idsOf(m_items, rows), ignored, m_lm);
        QStringList shown;
        for (const LeftoversRules::MenuEntry &entry : entries) {
            shown << (entry.kind == Kind::divider ? QStringLiteral("-") : entry.title);
            if (entry.kind == Kind::reveal)
                QCOMPARE(entry.paths, revealed);
        }
        QCOMPARE(shown, titles);
    }

    void actionLists_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<int>>("reset");
        QTest::addColumn<QList<int>>("background");
        QTest::addColumn<QList<int>>("trash");
        QTest::newRow("permission and file") << QList<int>{0, 1} << QList<int>{0} << QList<int>{} << QList<int>{1};
        QTest::newRow("pathless login item: no button") << QList<int>{3} << QList<int>{} << QList<int>{} << QList<int>{};
        QTest::newRow("background with path goes to Trash")
            << QList<int>{4, 5} << QList<int>{} << QList<int>{4} << QList<int>{5};
    }

    // Each list, and what its press leaves selected.
    void actionLists()
    {
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, reset);
        QFETCH(QList<int>, background);
        QFETCH(QList<int>, trash);
        using LeftoversRules::Action;
        const QList<QPair<Action, QList<int>>> expected{
            {Action::resetPermissions, reset}, {Action::removeBackground, background}, {Action::moveToTrash, trash}};
        // A selected id that is gone counts for nothing.
        const QSet<QUuid> selection = idsOf(m_items, selected) + QSet<QUuid>{QUuid::createUuid()};
        for (const auto &[action, rows] : expected) {
            const QList<LeftoverItem> list = LeftoversRules::actionList(action, m_items, selection);
            QList<QUuid> ids, wanted;
            for (const LeftoverItem &item : list)
                ids << item.id;
            for (int r : rows)
                wanted << m_items.at(r).id;
            QCOMPARE(ids, wanted);
            QCOMPARE(LeftoversRules::withoutItems(selection, list), selection - idsOf(m_items, rows));
        }
    }

    // The status bar's pieces, joined by blanks.
    void leftoversStatus_data()
    {
        QTest::addColumn<ActionBarRules::LeftoversStatusInput>("input");
        QTest::addColumn<QString>("text");
        ActionBarRules::LeftoversStatusInput hidden;
        hidden.hasItems = true;
        hidden.hiddenBySafeMode = 3;
        QTest::newRow("all hidden by filters") << hidden << "0 items · 3 hidden by Safe Mode";
        ActionBarRules::LeftoversStatusInput scanning = hidden;
        scanning.isScanning = true;
        scanning.scanProgress = "Scanning caches…";
        scanning.selectionCount = 4;
        QTest::newRow("while scanning") << scanning << "\u2068Scanning caches…\u2069";
        // Two ids selected, one of them hidden: the count says 2, the sum covers both.
        ActionBarRules::LeftoversStatusInput selected;
        selected.hasItems = true;
        selected.filteredItems = {m_items.at(1)};
        selected.selectionCount = 2;
        selected.selectedSize = 1000;
        QTest::newRow("hidden selection") << selected << "1 item · 300 bytes total · 2 selected (1 KB will be freed)";
        QTest::newRow("no items") << ActionBarRules::LeftoversStatusInput{} << QString();
    }

    void leftoversStatus()
    {
        QFETCH(ActionBarRules::LeftoversStatusInput, input);
        QFETCH(QString, text);
        QCOMPARE(joined(ActionBarRules::leftoversStatus(input, m_lm, QLocale::c())), text);
    }

    void rosterStatus_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative sizes count as 0") << QList<qint64>{-1500, 2000} << "2 apps · 2 KB total";
        QTest::newRow("total 0 hides the total") << QList<qint64>{-1} << "1 app";
    }

    void rosterStatus()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(QString, text);
        QList<InstalledApp> apps;
        for (qint64 size : sizes) {
            InstalledApp app;
            app.appSize = size;
            apps << app;
        }
        QCOMPARE(joined(ActionBarRules::rosterStatus(false, apps, m_lm, QLocale::c())), text);
    }

    void versionString()
    {
        QCOMPARE(ActionBarRules::versionString(QStringLiteral("1.2"), QString()), QStringLiteral("v1.2 (?)"));
    }
};

QTEST_GUILESS_MAIN(TestWindowLeftovers)
#include "tst_window_leftovers.moc"
