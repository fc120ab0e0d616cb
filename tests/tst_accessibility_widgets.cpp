#include "model/StoredLists.h"
#include "support/WindowFixture.h"
#include "ui/help/HelpView.h"
#include "ui/settings/SettingsView.h"

#include <QAccessible>

#include <functional>

namespace {

// One node of a window's accessibility tree, as a screen reader meets it.
struct Node
{
    QAccessible::Role role;
    QString name;
    QRect rect;
    QFont font; // of the nearest widget: what the text is drawn in
};

void walk(QAccessibleInterface *iface, const QFont &font, QList<Node> &nodes, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 60)
        return;
    const auto *widget = qobject_cast<const QWidget *>(iface->object());
    const QFont drawn = widget ? widget->font() : font;
    nodes.append({iface->role(), iface->text(QAccessible::Name), iface->rect(), drawn});
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), drawn, nodes, depth + 1);
}

QList<Node> accessibleNodes(QWidget *window)
{
    QList<Node> nodes;
    walk(QAccessible::queryAccessibleInterface(window), window->font(), nodes);
    return nodes;
}

// A settings window over the fake Mac's stored lists, showing the tab `tag`.
QWidget *settingsWindow(WindowFixture &w, const QString &tag, const QStringList &paths, const QStringList &ids)
{
    w.fixture.defaults.setStringList(StoredLists::customAppLocationsKey, paths);
    w.fixture.defaults.setStringList(StoredLists::ignoredBundleIDsKey, ids);
    auto *settings = new SettingsView(w.fixture.defaults, w.fixture.language, w.updater, true, w.view);
    settings->setWindowFlag(Qt::Window);
    settings->resize(560, 420);
    settings->setSelectedTab(tag);
    settings->show();
    return settings;
}

LeftoverItem sized(const QString &name, qint64 size)
{
    LeftoverItem item = ScannerFixture::row(name, QStringLiteral("/x/") + name);
    item.size = size;
    return item;
}

using Setup = std::function<QWidget *(WindowFixture &w)>;

const QString longPath = QStringLiteral("/Volumes/External Drive/") + QStringLiteral("Nested Folder/").repeated(12)
                         + QStringLiteral("Applications");
const QString longID = QStringLiteral("com.example.") + QStringLiteral("long-name-").repeated(16) + QStringLiteral("helper");

} // namespace

Q_DECLARE_METATYPE(Setup)

// Every text a window shows reaches a screen reader whole, however much of it
// fits on screen.
class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void textsReadWhole_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("role");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("elided"); // one of the texts, shortened on screen

        const int label = QAccessible::StaticText;
        const int row = QAccessible::ListItem;
        QTest::newRow("leftovers status with a selection")
            << Setup([](WindowFixture &w) {
                   w.view->setSafeMode(false);
                   const QList<LeftoverItem> items{sized("A", 1000), sized("B", 2000), sized("C", 3000)};
                   ScannerPublisher::setItems(w.scanner(), items);
                   w.view->leftoversTab()->setTableSelection({items.at(0).id, items.at(1).id});
                   return static_cast<QWidget *>(&w.main);
               })
            << label << QStringList{"3 items", "6 KB total", "2 selected", "(3 KB will be freed)"} << QString();
        QTest::newRow("roster status")
            << Setup([](WindowFixture &w) {
                   QList<InstalledApp> apps = w.publishApps({"Alpha", "Beta", "Gamma"});
                   for (InstalledApp &app : apps)
                       app.appSize = 10'600'000;
                   ScannerPublisher::setInstalledApps(w.scanner(), apps);
                   w.view->setSelectedTab(AppTab::installed);
                   return static_cast<QWidget *>(&w.main);
               })
            << label << QStringList{"3 apps", "31.8 MB total"} << QString();
        QTest::newRow("removal failure path")
            << Setup([](WindowFixture &w) {
                   ScannerPublisher::setRemovalFailures(w.scanner(), {ScannerFixture::row("A", longPath)});
                   w.main.resize(700, w.main.height());
                   return static_cast<QWidget *>(&w.main);
               })
            << label << QStringList{"\u2068" + longPath + "\u2069"} << "\u2068" + longPath + "\u2069";
        QTest::newRow("app locations")
            << Setup([](WindowFixture &w) {
                   return settingsWindow(w, "locations", {QDir::homePath() + "/Apps", longPath, "/opt/apps"}, {});
               })
            << row << QStringList{"~/Apps", longPath, "/opt/apps"} << longPath;
        QTest::newRow("ignore list")
            << Setup([](WindowFixture &w) { return settingsWindow(w, "ignore", {}, {"org.b", longID, "com.a"}); })
            << row << QStringList{"com.a", longID, "org.b"} << longID;
    }
    void textsReadWhole()
    {
        QFETCH(Setup, setup);
        QFETCH(int, role);
        QFETCH(QStringList, texts);
        QFETCH(QString, elided);
        WindowFixture w;
        QWidget *window = setup(w);
        QVERIFY(QTest::qWaitForWindowExposed(window));

        const QList<Node> nodes = accessibleNodes(window);
        QStringList named; // of the role, to tell what was found instead
        for (const Node &node : nodes) {
            if (node.role == QAccessible::Role(role))
                named << node.name;
        }
        for (const QString &text : texts) {
            const auto found = std::find_if(nodes.begin(), nodes.end(), [&](const Node &node) {
                return node.role == QAccessible::Role(role) && node.name == text;
            });
            QVERIFY2(found != nodes.end(), qPrintable(text + QLatin1String(" not among: ") + named.join(" | ")));
            if (text == elided)
                QVERIFY2(QFontMetrics(found->font).horizontalAdvance(text) > found->rect.width(), "drawn whole");
        }
    }

    // Markdown hints read as their words, without the marks that style them.
    void markdownReadPlain_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("start"); // of one label's name

        QTest::newRow("leftovers empty state")
            << Setup([](WindowFixture &w) { return static_cast<QWidget *>(&w.main); })
            << "Press Ctrl+R or click Scan for Leftovers,";
        QTest::newRow("roster empty state") << Setup([](WindowFixture &w) {
            w.view->setSelectedTab(AppTab::installed);
            return static_cast<QWidget *>(&w.main);
        }) << "Press Ctrl+R or click Load Apps to see";
        QTest::newRow("help window") << Setup([](WindowFixture &w) {
            auto *help = new HelpView(AppSettings::shared(), w.view);
            help->setWindowFlag(Qt::Window);
            help->show();
            return static_cast<QWidget *>(help);
        }) << "Quillmere";
    }
    void markdownReadPlain()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, start);
        WindowFixture w;
        QWidget *window = setup(w);
        QVERIFY(QTest::qWaitForWindowExposed(window));

        QStringList names;
        for (const Node &node : accessibleNodes(window)) {
            if (node.role == QAccessible::StaticText)
                names << node.name;
        }
        QVERIFY2(std::any_of(names.begin(), names.end(), [&](const QString &name) { return name.startsWith(start); }),
                 qPrintable(names.join(" | ")));
        for (const QString &name : names)
            QVERIFY2(!name.contains(QLatin1String("**")), qPrintable(name));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility_widgets.moc"
