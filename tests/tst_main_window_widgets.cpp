#include "support/WindowFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLineEdit>

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
        const auto select = [&] { leftovers ? w.view->leftoversTab()->setTableSelection(picked) : w.view->rosterTab()->setRosterSelection(picked); };
        const auto selection = [&] { return leftovers ? w.view->leftoversTab()->tableSelection() : w.view->rosterTab()->rosterSelection(); };
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

    void tabSwitch_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << "click";
        QTest::newRow("setChecked") << "setChecked";
        QTest::newRow("keyboard") << "keyboard";
        QTest::newRow("accessible toggle") << "accessible";
    }

    // The segments follow their checked state, whatever changes it.
    void tabSwitch()
    {
        QFETCH(QString, how);
        WindowFixture w;
        QVERIFY(QTest::qWaitForWindowActive(&w.main));
        const QList<QPushButton *> segments = w.child("tabPicker")->findChildren<QPushButton *>();
        QCOMPARE(segments.size(), 2);
        const auto pick = [&](QPushButton *segment) {
            if (how == QLatin1String("click")) {
                QTest::mouseClick(segment, Qt::LeftButton);
            } else if (how == QLatin1String("setChecked")) {
                segment->setChecked(true);
            } else if (how == QLatin1String("keyboard")) {
                segment->setFocus();
                QTest::keyClick(segment, Qt::Key_Space);
            } else {
                QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(segment);
                QVERIFY(accessible && accessible->actionInterface());
                accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            }
        };
        for (const AppTab tab : {AppTab::installed, AppTab::leftovers}) {
            pick(segments[tab == AppTab::installed ? 1 : 0]);
            QTRY_COMPARE(w.view->selectedTab(), tab);
            QVERIFY(w.shows(tab == AppTab::installed ? "rosterFilterBar" : "leftoversFilterBar"));
            QVERIFY(segments[tab == AppTab::installed ? 0 : 1]->isChecked() == false);
        }
    }

    void activity_data()
    {
        QTest::addColumn<bool>("scanning");
        QTest::addColumn<bool>("loading");
        QTest::addColumn<QString>("activity");
        QTest::addColumn<QString>("rosterStatus");
        QTest::newRow("scan and roster load: the scan's text") << true << true << "\u2068Scanning caches…\u2069" << "Computing sizes…";
        QTest::newRow("roster load only") << false << true << "Loading apps…" << "Computing sizes…";
        QTest::newRow("scan only") << true << false << "\u2068Scanning caches…\u2069" << "";
    }

    // The header names the scan while one runs; the roster's status bar reads
    // "Computing sizes…" while the roster loads.
    void activity()
    {
        QFETCH(bool, scanning);
        QFETCH(bool, loading);
        QFETCH(QString, activity);
        QFETCH(QString, rosterStatus);
        WindowFixture w;
        ScannerPublisher::setScanProgress(w.scanner(), QStringLiteral("Scanning caches…"));
        ScannerPublisher::setIsScanning(w.scanner(), scanning);
        ScannerPublisher::setIsLoadingRoster(w.scanner(), loading);
        QVERIFY(w.shows("activityText"));
        QCOMPARE(w.child<QLabel>("activityText")->text(), activity);
        w.view->setSelectedTab(AppTab::installed);
        QCOMPARE(w.status(), rosterStatus);
    }

    void paneChoice()
    {
        WindowFixture w;
        // Every row hidden by Safe Mode: the table stays, not the empty state.
        QVERIFY(w.shows("leftoversEmptyState"));
        ScannerPublisher::setItems(w.scanner(), {ScannerFixture::row(QStringLiteral("Gone"), std::nullopt, LeftoverType::container)});
        QVERIFY(w.view->leftoversTab()->filteredItems().isEmpty());
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

    // Each results table is one stop of the Tab order: Tab and Shift+Tab leave it
    // for the controls around it, whatever its rows and columns.
    void tableIsOneTabStop_data()
    {
        QTest::addColumn<AppTab>("tab");
        QTest::addColumn<QString>("after"); // the control Tab reaches from the table
        QTest::newRow("leftovers") << AppTab::leftovers << QStringLiteral("moveToTrashButton");
        QTest::newRow("installed apps") << AppTab::installed << QStringLiteral("scanLeftoversButton");
    }
    void tableIsOneTabStop()
    {
        QFETCH(AppTab, tab);
        QFETCH(QString, after);
        WindowFixture w;
        const bool leftovers = tab == AppTab::leftovers;
        QAbstractItemView *table = nullptr;
        QWidget *search = nullptr;
        if (leftovers) {
            w.view->setSafeMode(false);
            QList<LeftoverItem> items;
            for (const char *name : {"A", "B", "C"})
                items << ScannerFixture::row(QLatin1String(name), QStringLiteral("/x/") + QLatin1String(name));
            ScannerPublisher::setItems(w.scanner(), items);
            w.view->leftoversTab()->setTableSelection({items.first().id});
            table = w.child<QAbstractItemView>("leftoversView");
            search = w.child("leftoversSearch");
        } else {
            w.view->setSelectedTab(tab);
            const QList<InstalledApp> apps = w.publishApps({"Alpha", "Beta", "Gamma"});
            w.view->rosterTab()->setRosterSelection({apps.first().id});
            table = w.child<QAbstractItemView>("rosterView");
            search = w.child("rosterSearch");
        }
        QVERIFY(QTest::qWaitForWindowActive(&w.main));
        search->findChild<QLineEdit *>()->setFocus(Qt::OtherFocusReason);
        QStringList chain;
        const auto press = [&](Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            chain << QApplication::focusWidget()->objectName() + QLatin1Char('/') + QApplication::focusWidget()->metaObject()->className();
            return QApplication::focusWidget();
        };
        QWidget *before = QApplication::focusWidget();
        for (int i = 0; i < 10 && QApplication::focusWidget() != table; ++i) {
            before = QApplication::focusWidget();
            press(Qt::NoModifier);
        }
        QVERIFY2(QApplication::focusWidget() == table, qPrintable(chain.join(QLatin1String(", "))));
        QCOMPARE(press(Qt::NoModifier)->objectName(), after);
        QCOMPARE(press(Qt::ShiftModifier), table);
        QCOMPARE(press(Qt::ShiftModifier), before);
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
        QCOMPARE(w.child<ElidedLabel>("removalFailurePath")->text(), QStringLiteral("\u2068/x/one\u2069"));

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

    // The banner offers a newer version whichever optional fields the feed
    // gives, and shows none of them.
    void updateBannerOptionalFields_data()
    {
        QTest::addColumn<QByteArray>("fields"); // added to a feed of a newer version
        QTest::newRow("all given") << QByteArray(",\"build\":\"b-4242\",\"notes\":\"Faster scans.\","
                                                 "\"publishedAt\":\"2031-02-03T04:05:06Z\"");
        QTest::newRow("all absent") << QByteArray();
        QTest::newRow("all null") << QByteArray(",\"build\":null,\"notes\":null,\"publishedAt\":null");
    }
    void updateBannerOptionalFields()
    {
        QFETCH(QByteArray, fields);
        WindowFixture w;
        w.server.setJson("{\"version\":\"999.0\",\"downloadURL\":\"https://example.org/q.dmg\"" + fields + "}");
        QSignalSpy finished(&w.updater, &UpdateChecker::checkFinished);
        w.updater.check(false);
        QVERIFY(finished.wait());
        QVERIFY(w.shows("updateBanner"));
        QStringList texts;
        for (const QLabel *label : w.child("updateBanner")->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                texts << label->text();
        QCOMPARE(texts, QStringList{QStringLiteral("Version \u2068999.0\u2069 is available")});
    }

    // Safe Mode is one stored setting that every window follows at once.
    void safeModeShared()
    {
        WindowFixture w;
        ContentView other(w.fixture.services(), w.updater, w.fixture.language);
        QVERIFY(other.safeMode());
        QSignalSpy changed(other.leftoversTab(), &LeftoversTab::filtersChanged);
        w.view->setSafeMode(false);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!other.safeMode());
        QCOMPARE(w.fixture.defaults.boolValue(QStringLiteral("safeMode")), std::optional(false));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window_widgets.moc"
