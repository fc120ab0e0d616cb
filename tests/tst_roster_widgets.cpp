#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "model/StoredLists.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "ui/main/ContentView.h"
#include "ui/main/LogView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QThreadPool>

namespace {

struct Window
{
    ScannerFixture fixture;
    UpdateChecker updater{fixture.defaults, fixture.workspace, QUrl(), 5000};
    ContentView view{fixture.services(), updater, fixture.language};

    Window() { view.show(); }
    // Background work (a removal's later steps, icon reads) must not outlive the fake Mac.
    ~Window() { QThreadPool::globalInstance()->waitForDone(); }

    QList<InstalledApp> publish(const QStringList &names)
    {
        QList<InstalledApp> apps;
        for (const QString &name : names) {
            InstalledApp app;
            app.name = name;
            app.bundleID = QStringLiteral("com.example.") + name.toLower();
            app.path = fixture.mac.createApp(QStringLiteral("/Applications/%1.app").arg(name), app.bundleID);
            apps.append(app);
        }
        ScannerPublisher::setInstalledApps(view.scanner(), apps);
        return apps;
    }
    // Opens the roster's menu on `row` of the table, as a right-click does.
    QMenu *menuAt(int row)
    {
        auto *table = view.findChild<QTableView *>(QStringLiteral("rosterView"));
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        emit table->customContextMenuRequested(cell.center());
        return table->findChild<QMenu *>(QStringLiteral("rosterMenu"));
    }
    void choose(QMenu *menu, const QString &title)
    {
        for (QAction *action : menu->actions()) {
            if (action->text() == title) {
                action->trigger();
                delete menu;
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no entry ") + title));
    }
    QListView *logList() const { return view.findChild<LogView *>()->findChild<QListView *>(); }
};

} // namespace

// The Installed Apps tab, the drop target and the log sheet over a fake Mac.
class TestRosterWidgets : public QObject
{
    Q_OBJECT

private slots:
    // Three rows selected, shown by name: the menu acts on the first in roster order.
    void menuActsOnFirstSelected()
    {
        Window w;
        w.view.setSelectedTab(AppTab::installed);
        const QList<InstalledApp> apps = w.publish({"Zed", "Alpha", "Mid"});
        w.view.setRosterSelection({apps[0].id, apps[1].id, apps[2].id});
        w.view.setTableSelection({QUuid::createUuid()});
        w.choose(w.menuAt(0), QStringLiteral("Show in Finder"));
        QCOMPARE(w.fixture.workspace.revealedFiles, QList<QList<QUrl>>{{QUrl::fromLocalFile(apps[0].path)}});
        w.choose(w.menuAt(0), QStringLiteral("Scan Leftovers for \"Zed\""));
        QCOMPARE(w.view.selectedTab(), AppTab::leftovers);
        QCOMPARE(w.view.tableSelection(), QSet<QUuid>());
        QCOMPARE(w.view.scanner().scanProgress(), QStringLiteral("Scanning Zed…"));
        QTRY_VERIFY(!w.view.scanner().isScanning());

        // Ignoring from the roster writes only the list; un-ignoring logs.
        w.fixture.newLogMessages();
        w.choose(w.menuAt(0), QStringLiteral("Add \"Zed\" to Ignore List"));
        QCOMPARE(StoredLists::ignoredBundleIDs(w.fixture.defaults), QStringList{"com.example.zed"});
        w.choose(w.menuAt(0), QStringLiteral("Remove \"Zed\" from Ignore List"));
        QCOMPARE(StoredLists::ignoredBundleIDs(w.fixture.defaults), QStringList());
        QCOMPARE(w.fixture.newLogMessages(), QStringList{"UN-IGNORED: com.example.zed"});
    }

    void removalAlert_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("cancel") << false;
        QTest::newRow("confirm") << true;
    }
    void removalAlert()
    {
        QFETCH(bool, confirm);
        Window w;
        w.fixture.fakeTool(QStringLiteral("/usr/bin/pkill"), QByteArray(), 1);
        w.view.setSelectedTab(AppTab::installed);
        const QList<InstalledApp> apps = w.publish({"Alpha", "Beta"});
        w.view.setRosterSelection({apps[0].id});
        w.choose(w.menuAt(0), QStringLiteral("Remove \"Alpha\" Completely…"));
        auto *alert = w.view.findChild<QMessageBox *>(QStringLiteral("removeAppAlert"));
        QVERIFY(alert && alert->isVisible());
        QVERIFY(alert->informativeText().contains(QStringLiteral("\"Alpha\"")));

        QAbstractButton *chosen = confirm ? alert->findChild<QPushButton *>(QStringLiteral("removeEverything"))
                                          : alert->escapeButton();
        chosen->click();
        QVERIFY(!w.view.showRemoveConfirmation());
        QVERIFY(!w.view.appToRemove());
        QCOMPARE(w.view.rosterSelection().isEmpty(), confirm);
        if (confirm) {
            QTRY_COMPARE(w.view.scanner().installedApps().size(), 1);
            QVERIFY(QFileInfo::exists(w.fixture.trash.filesPath() + QStringLiteral("/Alpha.app")));
        } else {
            QCOMPARE(w.view.scanner().installedApps().size(), 2);
            QVERIFY(QFileInfo::exists(apps[0].path));
        }
    }

    // Only local files light the frame; it goes when the drag leaves.
    void dropFrame()
    {
        Window w;
        const auto enter = [&](const QUrl &url) {
            QMimeData data;
            data.setUrls({url});
            QDragEnterEvent event(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w.view, &event);
        };
        enter(QUrl(QStringLiteral("https://example.org/App.app")));
        QVERIFY(!w.view.findChild<QWidget *>(QStringLiteral("dropOverlay"))->isVisible());
        enter(QUrl::fromLocalFile(QStringLiteral("/Applications/App.app")));
        QVERIFY(w.view.findChild<QWidget *>(QStringLiteral("dropOverlay"))->isVisible());
        QDragLeaveEvent leave;
        QApplication::sendEvent(&w.view, &leave);
        QVERIFY(!w.view.findChild<QWidget *>(QStringLiteral("dropOverlay"))->isVisible());
    }

    void drop_data()
    {
        QTest::addColumn<bool>("scanning");
        QTest::newRow("three bundles: the first") << false;
        QTest::newRow("during a scan") << true;
    }
    void drop()
    {
        QFETCH(bool, scanning);
        Window w;
        w.view.setSelectedTab(AppTab::installed);
        w.view.setTableSelection({QUuid::createUuid()});
        ScannerPublisher::setIsScanning(w.view.scanner(), scanning);
        ScannerPublisher::setScanProgress(w.view.scanner(), QStringLiteral("running"));
        QList<QUrl> urls;
        for (const char *name : {"/Applications/Foo Bar.app", "/Applications/Other.app", "/Applications/Third.app"})
            urls << QUrl::fromLocalFile(w.fixture.mac.createApp(QString::fromLatin1(name), QStringLiteral("com.example.x")));
        QVERIFY(w.view.handleDrop(urls));
        QTRY_COMPARE(w.view.selectedTab(), AppTab::leftovers);
        QCOMPARE(w.view.tableSelection(), QSet<QUuid>());
        // A running scan refuses the second one.
        if (scanning)
            QCOMPARE(w.view.scanner().scanProgress(), QStringLiteral("running"));
        else
            QVERIFY(w.view.scanner().scanProgress().contains(QStringLiteral("Foo Bar")));
    }

    // Empty state, following the end, the cap, copying and Clear.
    void logSheet()
    {
        Window w;
        w.view.showLog();
        auto *sheet = w.view.findChild<LogView *>();
        QVERIFY(sheet && sheet->isVisible());
        auto *clear = sheet->findChild<QPushButton *>();
        QCOMPARE(clear->text(), QStringLiteral("Clear"));
        QVERIFY(!clear->isEnabled());
        QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("logEmpty"))->isVisible());

        for (int i = 0; i < 300; ++i)
            w.fixture.logger.log(QStringLiteral("line %1").arg(i));
        QTRY_COMPARE(w.logList()->model()->rowCount(), 300);
        QScrollBar *bar = w.logList()->verticalScrollBar();
        QTRY_COMPARE(bar->value(), bar->maximum());
        QVERIFY(clear->isEnabled());

        w.logList()->selectionModel()->select(w.logList()->model()->index(5, 0), QItemSelectionModel::Select);
        w.logList()->actions().first()->trigger();
        QCOMPARE(QApplication::clipboard()->text(), w.fixture.logger.entries().at(5));
        QVERIFY(QApplication::clipboard()->text().startsWith(QLatin1Char('[')));

        // At the cap a new line replaces the oldest: the count stays and so does the view.
        for (int i = 300; i < AppLogger::maxEntries; ++i)
            w.fixture.logger.log(QStringLiteral("line %1").arg(i));
        QTRY_COMPARE(w.logList()->model()->rowCount(), AppLogger::maxEntries);
        bar->setValue(bar->maximum() / 2);
        const int held = bar->value();
        w.fixture.logger.log(QStringLiteral("one more"));
        QTRY_COMPARE(w.logList()->model()->index(AppLogger::maxEntries - 1, 0).data().toString().right(8),
                     QStringLiteral("one more"));
        QCOMPARE(bar->value(), held);

        clear->click();
        QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("logEmpty"))->isVisible());
        QCOMPARE(w.fixture.logMessages().size(), AppLogger::maxEntries + 1);
        w.fixture.logger.log(QStringLiteral("after"));
        QTRY_COMPARE(w.logList()->model()->rowCount(), 1);
        QVERIFY(w.logList()->isVisible());

        sheet->findChildren<QPushButton *>().at(1)->click();
        QVERIFY(!w.view.showingLog());
    }
};

QTEST_MAIN(TestRosterWidgets)
#include "tst_roster_widgets.moc"
