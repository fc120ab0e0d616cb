#include "support/WindowFixture.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

// The main window's frame over a fake Mac: primary commands, pane choice, banners.
class TestMainWindow : public QObject
{
    Q_OBJECT

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
        WindowFixture w;
        QVERIFY(QTest::qWaitForWindowActive(&w.main));
        w.view->setSelectedTab(tab);
        const bool leftovers = tab == AppTab::leftovers;
        const QSet<QUuid> picked{QUuid::createUuid()};
        const auto select = [&] { leftovers ? w.view->setTableSelection(picked) : w.view->setRosterSelection(picked); };
        const auto selection = [&] { return leftovers ? w.view->tableSelection() : w.view->rosterSelection(); };
        const auto running = [&] { return leftovers ? w.scanner().isScanning() : w.scanner().isLoadingRoster(); };
        select();
        std::optional<QSet<QUuid>> selectionAtStart;
        connect(&w.scanner(), leftovers ? &Scanner::isScanningChanged : &Scanner::isLoadingRosterChanged,
                w.view, [&] { if (!selectionAtStart) selectionAtStart = selection(); });

        QTest::keyClick(&w.main, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(running());
        QCOMPARE(selectionAtStart, QSet<QUuid>());
        // The other tab's command did not run.
        QVERIFY(!(leftovers ? w.scanner().isLoadingRoster() : w.scanner().isScanning()));

        select();
        QTest::keyClick(&w.main, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(selection(), picked);
        QTRY_VERIFY(!running());
    }

    void paneChoice()
    {
        WindowFixture w;
        // Every row hidden by Safe Mode: the table stays, not the empty state.
        QVERIFY(w.shows("leftoversEmptyState"));
        ScannerPublisher::setItems(w.scanner(), {ScannerFixture::row(QStringLiteral("Gone"), std::nullopt, LeftoverType::container)});
        QVERIFY(w.view->filteredItems().isEmpty());
        QVERIFY(w.shows("leftoversTable"));
        ScannerPublisher::setIsScanning(w.scanner(), true);
        QVERIFY(w.shows("leftoversProgress"));

        // The loading view only while the roster is empty; a reload keeps the table.
        w.view->setSelectedTab(AppTab::installed);
        QVERIFY(w.shows("rosterEmptyState"));
        ScannerPublisher::setIsLoadingRoster(w.scanner(), true);
        QVERIFY(w.shows("rosterLoading"));
        ScannerPublisher::setInstalledApps(w.scanner(), {InstalledApp{}});
        QVERIFY(w.shows("rosterTable"));
    }

    // The banners belong to the window, not to a tab; each one's buttons.
    void banners()
    {
        WindowFixture w;
        w.server.setJson("{\"version\":\"999.0\",\"downloadURL\":\"https://example.org/q.dmg\"}");
        QSignalSpy finished(&w.updater, &UpdateChecker::checkFinished);
        w.updater.check(false);
        QVERIFY(finished.wait());
        ScannerPublisher::setTccAccessDenied(w.scanner(), true);
        ScannerPublisher::setRemovalFailures(w.scanner(),
                                             {ScannerFixture::row(QStringLiteral("A"), QStringLiteral("/x/one")),
                                              ScannerFixture::row(QStringLiteral("A"), QStringLiteral("/x/two"))});
        for (AppTab tab : AppTabs::allCases()) {
            w.view->setSelectedTab(tab);
            for (const char *banner : {"updateBanner", "fullDiskAccessBanner", "removalFailureBanner", "actionBar"})
                QVERIFY2(w.shows(banner), banner);
        }
        QCOMPARE(w.child<QLabel>("removalFailureCount")->text(), QStringLiteral("2 item(s) could not be removed"));
        QCOMPARE(w.child<ElidedLabel>("removalFailurePath")->text(), QStringLiteral("/x/one"));

        QTest::mouseClick(w.child("fullDiskAccessBanner"), Qt::LeftButton);
        QTest::mouseClick(w.child<QPushButton>("openSettingsButton"), Qt::LeftButton);
        const QUrl pane(QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles"));
        QCOMPARE(w.fixture.workspace.openedUrls, (QList<QUrl>{pane, pane}));
        QTest::mouseClick(w.child<QToolButton>("dismissFailuresButton"), Qt::LeftButton);
        QVERIFY(w.scanner().removalFailures().isEmpty() && w.scanner().tccAccessDenied());
        QVERIFY(!w.shows("removalFailureBanner"));

        auto *later = w.child("updateBanner")->findChildren<QPushButton *>().last();
        QCOMPARE(later->text(), QStringLiteral("Later"));
        later->click();
        QVERIFY(!w.shows("updateBanner"));
    }

    // Safe Mode is one stored setting that every window follows at once.
    void safeModeShared()
    {
        WindowFixture w;
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
