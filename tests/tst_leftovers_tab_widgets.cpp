#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "model/StoredLists.h"
#include "support/LocalHttpServer.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "ui/main/ContentView.h"
#include "ui/main/SearchField.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>

namespace {

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
    }
    template <typename T = QWidget>
    T *child(const char *name) const { return view->findChild<T *>(QLatin1String(name)); }
    QTableView *table() const { return child<QTableView>("leftoversView"); }
    QString status() const
    {
        QStringList texts;
        for (QLabel *label : child("statusBar")->findChildren<QLabel *>())
            texts << label->text();
        return texts.join(QLatin1Char(' '));
    }
    QList<QAction *> menuActions(const QSet<QUuid> &rows)
    {
        QMenu *menu = view->leftoversContextMenu(rows, view);
        return menu ? menu->actions() : QList<QAction *>();
    }
};

LeftoverItem row(const QString &name, const char *bundleID, LeftoverType type, const QString &path = {})
{
    LeftoverItem item;
    item.appName = name;
    if (bundleID)
        item.bundleID = QString::fromLatin1(bundleID);
    item.type = type;
    if (!path.isEmpty())
        item.path = path;
    return item;
}

} // namespace

// The Leftovers tab over a fake Mac: scan, select, act; menu actions; banners.
class TestLeftoversTab : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QThreadPool::globalInstance()->waitForDone(); }

    void scanSelectAndTrash()
    {
        Window w;
        FakeMac &mac = w.fixture.mac;
        mac.createApp(QStringLiteral("/Applications/Quillmere.app"), QStringLiteral("com.quillmere.app"));
        const QString cache = mac.createFileOfSize(QStringLiteral("~/Library/Caches/com.gone.editor/x"), 500);
        const QString log = mac.createFileOfSize(QStringLiteral("~/Library/Logs/com.gone.editor/x"), 700);
        const QString prefs = mac.createFileOfSize(QStringLiteral("~/Library/Preferences/com.gone.editor.plist"), 100);
        w.view->setSafeMode(false);
        QTest::mouseClick(w.child<QPushButton>("scanButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.view->scanner().isScanning(), 20000);
        QCOMPARE(w.table()->model()->rowCount(), 3);

        // Cache and Logs, picked in the table as a user would.
        const QList<LeftoverItem> shown = w.view->filteredItems();
        QSet<QUuid> picked;
        for (int r = 0; r < shown.size(); ++r) {
            if (shown.at(r).type != LeftoverType::preference) {
                w.table()->selectionModel()->select(w.table()->model()->index(r, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
                picked << shown.at(r).id;
            }
        }
        QCOMPARE(w.view->tableSelection(), picked);
        auto *trash = w.child<QPushButton>("moveToTrashButton");
        QVERIFY(trash->isVisible());
        QCOMPARE(trash->text(), QStringLiteral("Move to Trash (2)"));
        QTest::mouseClick(trash, Qt::LeftButton);

        const QStringList trashed = QDir(w.fixture.trash.filesPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(trashed.size(), 2);
        QVERIFY(!QFileInfo::exists(QFileInfo(cache).path()) && !QFileInfo::exists(QFileInfo(log).path()));
        QVERIFY(QFileInfo::exists(prefs));
        QCOMPARE(w.table()->model()->rowCount(), 1);
        QVERIFY(w.view->tableSelection().isEmpty());
        QVERIFY(!trash->isVisible());
        QVERIFY2(w.status().startsWith(QStringLiteral("1 item ")), qPrintable(w.status()));
    }

    // A press acts on hidden selected rows too and leaves the other selected rows selected.
    void pressLeavesOthersSelected()
    {
        Window w;
        const QList<LeftoverItem> items{row(QStringLiteral("A"), "com.a", LeftoverType::permission),
                                        row(QStringLiteral("A"), "com.a", LeftoverType::container, QStringLiteral("/nowhere/c"))};
        ScannerPublisher::setItems(w.view->scanner(), items);
        w.view->setSafeMode(true);
        w.view->setTableSelection({items[0].id, items[1].id});
        QVERIFY(w.status().contains(QStringLiteral("1 hidden by Safe Mode")));
        QVERIFY(w.status().contains(QStringLiteral("2 selected")));
        QVERIFY(w.child<QPushButton>("resetPermissionsButton")->isVisible());
        QCOMPARE(w.child<QPushButton>("moveToTrashButton")->text(), QStringLiteral("Move to Trash (1)"));
        w.view->moveSelectionToTrash();
        QCOMPARE(w.view->tableSelection(), QSet<QUuid>{items[0].id});
    }

    void contextMenuActions()
    {
        Window w;
        const QString home = w.fixture.mac.home();
        const QList<LeftoverItem> items{
            row(QStringLiteral("Beta"), "com.beta", LeftoverType::cache, home + QStringLiteral("/Library/Caches/com.beta")),
            row(QStringLiteral("Alpha"), "com.alpha", LeftoverType::log, home + QStringLiteral("/Library/Logs/Alpha")),
            row(QStringLiteral("Beta"), "com.beta", LeftoverType::container, home + QStringLiteral("/Library/Containers/com.beta")),
            row(QStringLiteral("Loose"), nullptr, LeftoverType::cache)};
        ScannerPublisher::setItems(w.view->scanner(), items);
        w.view->setSafeMode(true);
        w.fixture.newLogMessages();

        QList<QAction *> actions = w.menuActions({items[0].id, items[1].id});
        actions.first()->trigger();
        QCOMPARE(w.fixture.workspace.revealedFiles,
                 (QList<QList<QUrl>>{{QUrl::fromLocalFile(*items[0].path), QUrl::fromLocalFile(*items[1].path)}}));

        // Ignoring drops every Beta row, the one hidden by Safe Mode too.
        actions.last()->trigger();
        QCOMPARE(ScannerFixture::ids(w.view->scanner().items()), (QList<QUuid>{items[1].id, items[3].id}));
        QVERIFY(StoredLists::ignoredBundleIDs(w.fixture.defaults).contains(QStringLiteral("com.beta")));

        w.fixture.defaults.setStringList(StoredLists::ignoredBundleIDsKey, {QStringLiteral("com.alpha")});
        actions = w.menuActions({items[1].id});
        QCOMPARE(actions.last()->text(), QStringLiteral("Remove \"Alpha\" from Ignore List"));
        actions.last()->trigger();
        QCOMPARE(w.view->scanner().items().size(), 2);
        QCOMPARE(w.fixture.newLogMessages(),
                 (QStringList{QStringLiteral("IGNORED: com.beta"), QStringLiteral("UN-IGNORED: com.alpha")}));
        QVERIFY(!w.view->leftoversContextMenu({items[3].id}, w.view));
    }

    // Search, Select All over the shown rows only, the clear button, header sorting.
    void filterBar()
    {
        Window w;
        const QList<LeftoverItem> items{row(QStringLiteral("Apple"), "com.apple.x", LeftoverType::cache),
                                        row(QStringLiteral("Banana"), "com.banana", LeftoverType::log),
                                        row(QStringLiteral("Apricot"), "com.apricot", LeftoverType::log)};
        ScannerPublisher::setItems(w.view->scanner(), items);
        w.view->setTableSelection({items[1].id});
        auto *search = w.child<SearchField>("leftoversSearch");
        QTest::keyClicks(search->lineEdit(), QStringLiteral("ap"));
        QCOMPARE(w.view->searchText(), QStringLiteral("ap"));
        QVERIFY(search->clearButton()->isVisible());
        QCOMPARE(w.view->tableSelection().size(), 1);

        QTest::mouseClick(w.child<QPushButton>("selectAllButton"), Qt::LeftButton);
        QCOMPARE(w.view->tableSelection(), (QSet<QUuid>{items[0].id, items[2].id}));
        QCOMPARE(w.table()->selectionModel()->selectedRows().size(), 2);

        QTest::mouseClick(search->clearButton(), Qt::LeftButton);
        QCOMPARE(w.view->searchText(), QString());
        QVERIFY(!search->clearButton()->isVisible());
        QCOMPARE(w.table()->model()->rowCount(), 3);

        QHeaderView *header = w.table()->horizontalHeader();
        const auto clickHeader = [&](int section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
        };
        clickHeader(1);
        QCOMPARE(w.view->sortOrder(), (QList<LeftoverComparator>{{LeftoverComparator::Key::type, Qt::AscendingOrder}}));
        clickHeader(3);
        QCOMPARE(w.view->sortOrder().first().key, LeftoverComparator::Key::type);
        QCOMPARE(header->sortIndicatorSection(), 1);
    }

    void banners()
    {
        Window w;
        ScannerPublisher::setTccAccessDenied(w.view->scanner(), true);
        ScannerPublisher::setRemovalFailures(w.view->scanner(),
                                             {row(QStringLiteral("A"), "com.a", LeftoverType::cache, QStringLiteral("/x/one")),
                                              row(QStringLiteral("A"), "com.a", LeftoverType::cache, QStringLiteral("/x/two"))});
        QCOMPARE(w.child<QLabel>("removalFailureCount")->text(), QStringLiteral("2 item(s) could not be removed"));
        QCOMPARE(w.child<QLabel>("removalFailurePath")->text(), QStringLiteral("/x/one"));

        QTest::mouseClick(w.child("fullDiskAccessBanner"), Qt::LeftButton);
        QTest::mouseClick(w.child<QPushButton>("openSettingsButton"), Qt::LeftButton);
        const QUrl pane(QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles"));
        QCOMPARE(w.fixture.workspace.openedUrls, (QList<QUrl>{pane, pane}));

        QTest::mouseClick(w.child<QToolButton>("dismissFailuresButton"), Qt::LeftButton);
        QVERIFY(w.view->scanner().removalFailures().isEmpty());
        QVERIFY(w.view->scanner().tccAccessDenied());
        QVERIFY(!w.child("removalFailureBanner")->isVisible());
    }
};

QTEST_MAIN(TestLeftoversTab)
#include "tst_leftovers_tab_widgets.moc"
