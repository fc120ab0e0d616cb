#include "model/StoredLists.h"
#include "support/AccessibleEvents.h"
#include "support/WindowFixture.h"
#include "ui/help/HelpView.h"
#include "ui/main/LogView.h"
#include "ui/settings/SettingsView.h"

#include <QAccessible>
#include <QLineEdit>
#include <QSignalSpy>

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

QWidget *helpWindow(WindowFixture &w)
{
    auto *help = new HelpView(AppSettings::shared(), w.view);
    help->setWindowFlag(Qt::Window);
    help->show();
    return help;
}

LeftoverItem sized(const QString &name, qint64 size)
{
    LeftoverItem item = ScannerFixture::row(name, QStringLiteral("/x/") + name);
    item.size = size;
    return item;
}

// Every button a window shows, named as a screen reader reads it.
QStringList unnamedButtons(QWidget *window)
{
    QStringList unnamed;
    std::function<void(QAccessibleInterface *, int)> visit = [&](QAccessibleInterface *iface, int depth) {
        if (!iface || !iface->isValid() || depth > 60 || iface->state().invisible)
            return;
        if (iface->role() == QAccessible::Button && iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << iface->object()->objectName() + QLatin1Char('/') + iface->object()->metaObject()->className();
        for (int i = 0; i < iface->childCount(); ++i)
            visit(iface->child(i), depth + 1);
    };
    visit(QAccessible::queryAccessibleInterface(window), 0);
    return unnamed;
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

    // A button that shows only a symbol is read by its tool tip's words, not as
    // a bare "push button".
    void buttonsNamed_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QStringList>("names"); // among the window's buttons

        const auto mainWindow = [](AppTab tab) {
            return Setup([tab](WindowFixture &w) {
                w.server.setJson("{\"version\":\"999.0\",\"downloadURL\":\"https://example.org/q.dmg\"}");
                QSignalSpy finished(&w.updater, &UpdateChecker::checkFinished);
                w.updater.check(false);
                finished.wait();
                ScannerPublisher::setTccAccessDenied(w.scanner(), true);
                ScannerPublisher::setRemovalFailures(w.scanner(), {ScannerFixture::row("A", "/x/one")});
                w.view->setSafeMode(false);
                ScannerPublisher::setItems(w.scanner(), {sized("A", 1000), sized("B", 2000)});
                w.publishApps({"Alpha", "Beta"});
                w.view->setSelectedTab(tab);
                const char *search = tab == AppTab::leftovers ? "leftoversSearch" : "rosterSearch";
                w.child(search)->findChild<QLineEdit *>()->setText(QStringLiteral("a"));
                return static_cast<QWidget *>(&w.main);
            });
        };
        const QStringList frame{"Settings", "Open Trash", "Clear", "Dismiss"};
        QTest::newRow("main window, leftovers") << mainWindow(AppTab::leftovers) << frame;
        QTest::newRow("main window, installed apps") << mainWindow(AppTab::installed) << frame;
        for (const char *tag : {"locations", "ignore", "updates", "privacy", "language"}) {
            QTest::addRow("settings, %s", tag) << Setup([tag](WindowFixture &w) {
                return settingsWindow(w, QLatin1String(tag), {"/opt/apps"}, {"com.a"});
            }) << QStringList();
        }
        QTest::newRow("help window") << Setup(helpWindow) << QStringList();
        QTest::newRow("log sheet") << Setup([](WindowFixture &w) {
            w.fixture.logger.log(QStringLiteral("a line"));
            w.view->showLog();
            return static_cast<QWidget *>(w.view->findChild<LogView *>());
        }) << QStringList{"Clear", "Close"};
    }
    void buttonsNamed()
    {
        QFETCH(Setup, setup);
        QFETCH(QStringList, names);
        WindowFixture w;
        QWidget *window = setup(w);
        QVERIFY(QTest::qWaitForWindowExposed(window));

        const QStringList unnamed = unnamedButtons(window);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
        QStringList buttons;
        for (const Node &node : accessibleNodes(window))
            if (node.role == QAccessible::Button)
                buttons << node.name;
        for (const QString &name : names)
            QVERIFY2(buttons.contains(name), qPrintable(name + QLatin1String(" not among: ") + buttons.join(" | ")));
    }

    // A status piece that changes its text is announced under its new name.
    void statusChangeAnnounced_data()
    {
        QTest::addColumn<int>("before"); // rows selected
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("announced");
        QTest::newRow("one more selected") << 1 << 2 << "2 selected";
        QTest::newRow("one less selected") << 3 << 2 << "2 selected";
        QTest::newRow("first selected") << 0 << 1 << "1 selected";
    }
    void statusChangeAnnounced()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(QString, announced);
        WindowFixture w;
        w.view->setSafeMode(false);
        const QList<LeftoverItem> items{sized("A", 1000), sized("B", 2000), sized("C", 3000)};
        ScannerPublisher::setItems(w.scanner(), items);
        const auto select = [&](int count) {
            QSet<QUuid> ids;
            for (int i = 0; i < count; ++i)
                ids << items.at(i).id;
            w.view->leftoversTab()->setTableSelection(ids);
        };
        select(before);
        QVERIFY(QTest::qWaitForWindowExposed(&w.main));

        QVERIFY2(QAccessible::isActive(), "run on the platform with accessibility on");
        AccessibleEvents events;
        select(after);
        const QStringList changed = events.named(QAccessible::NameChanged);
        QVERIFY2(changed.contains(announced), qPrintable(changed.join(QLatin1String(" | "))));
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
        QTest::newRow("help window") << Setup(helpWindow) << "Quillmere";
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
