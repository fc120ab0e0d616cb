#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "support/LocalHttpServer.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "ui/main/ContentView.h"

#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

struct Window
{
    ScannerFixture fixture;
    LocalHttpServer server;
    UpdateChecker updater{fixture.defaults, fixture.workspace, server.url(), 5000};
    QMainWindow main;
    ContentView *view = new ContentView(fixture.services(), updater, fixture.language);

    Window()
    {
        main.setCentralWidget(view);
        main.show();
        main.activateWindow();
    }
    bool shows(const char *name) const { return view->findChild<QWidget *>(QLatin1String(name))->isVisible(); }
};

// The main window's frame over a fake Mac: primary commands, pane choice, banners.
class TestMainWindow : public QObject
{
    Q_OBJECT

    static LeftoverItem container()
    {
        LeftoverItem item;
        item.appName = QStringLiteral("Gone");
        item.type = LeftoverType::container;
        return item;
    }

private slots:
    void ctrlR_data()
    {
        QTest::addColumn<AppTab>("tab");
        QTest::newRow("leftovers: scan") << AppTab::leftovers;
        QTest::newRow("installed: roster load") << AppTab::installed;
    }

    // Ctrl+R runs the selected tab's command, selection emptied first; while it
    // runs the button is disabled and the shortcut does nothing.
    void ctrlR()
    {
        QFETCH(AppTab, tab);
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.main));
        w.view->setSelectedTab(tab);
        const bool leftovers = tab == AppTab::leftovers;
        const QSet<QUuid> picked{QUuid::createUuid()};
        const auto select = [&] { leftovers ? w.view->setTableSelection(picked) : w.view->setRosterSelection(picked); };
        const auto selection = [&] { return leftovers ? w.view->tableSelection() : w.view->rosterSelection(); };
        const auto running = [&] { return leftovers ? w.view->scanner().isScanning() : w.view->scanner().isLoadingRoster(); };
        select();
        std::optional<QSet<QUuid>> selectionAtStart;
        connect(&w.view->scanner(), leftovers ? &Scanner::isScanningChanged : &Scanner::isLoadingRosterChanged,
                w.view, [&] { if (!selectionAtStart) selectionAtStart = selection(); });

        QTest::keyClick(&w.main, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(running());
        QCOMPARE(selectionAtStart, QSet<QUuid>());
        // The other tab's command did not run.
        QVERIFY(!(leftovers ? w.view->scanner().isLoadingRoster() : w.view->scanner().isScanning()));

        select();
        QTest::keyClick(&w.main, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(selection(), picked);
        QTRY_VERIFY(!running());
    }

    void paneChoice()
    {
        Window w;
        // Every row hidden by Safe Mode: the table stays, not the empty state.
        QVERIFY(w.shows("leftoversEmptyState"));
        ScannerPublisher::setItems(w.view->scanner(), {container()});
        QVERIFY(w.view->filteredItems().isEmpty());
        QVERIFY(w.shows("leftoversTable"));
        ScannerPublisher::setIsScanning(w.view->scanner(), true);
        QVERIFY(w.shows("leftoversProgress"));

        // The loading view only while the roster is empty; a reload keeps the table.
        w.view->setSelectedTab(AppTab::installed);
        QVERIFY(w.shows("rosterEmptyState"));
        ScannerPublisher::setIsLoadingRoster(w.view->scanner(), true);
        QVERIFY(w.shows("rosterLoading"));
        ScannerPublisher::setInstalledApps(w.view->scanner(), {InstalledApp{}});
        QVERIFY(w.shows("rosterTable"));
    }

    // The banners belong to the window, not to a tab; "Later" hides the update banner.
    void bannersAcrossTabs()
    {
        Window w;
        w.server.setJson("{\"version\":\"999.0\",\"downloadURL\":\"https://example.org/q.dmg\"}");
        QSignalSpy finished(&w.updater, &UpdateChecker::checkFinished);
        w.updater.check(false);
        QVERIFY(finished.wait());
        ScannerPublisher::setTccAccessDenied(w.view->scanner(), true);
        ScannerPublisher::setRemovalFailures(w.view->scanner(), {container()});
        for (AppTab tab : AppTabs::allCases()) {
            w.view->setSelectedTab(tab);
            for (const char *banner : {"updateBanner", "fullDiskAccessBanner", "removalFailureBanner", "actionBar"})
                QVERIFY2(w.shows(banner), banner);
        }
        auto *later = w.view->findChild<QWidget *>(QStringLiteral("updateBanner"))->findChildren<QPushButton *>().last();
        QCOMPARE(later->text(), QStringLiteral("Later"));
        later->click();
        QVERIFY(!w.shows("updateBanner"));
    }

    // Safe Mode is one stored setting that every window follows at once.
    void safeModeShared()
    {
        Window w;
        ContentView other(w.fixture.services(), w.updater, w.fixture.language);
        QVERIFY(other.safeMode());
        QSignalSpy changed(&other, &ContentView::filtersChanged);
        w.view->setSafeMode(false);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!other.safeMode());
        QCOMPARE(w.fixture.defaults.boolValue(QStringLiteral("safeMode")), std::optional(false));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window_widgets.moc"
