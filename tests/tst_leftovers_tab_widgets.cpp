#include "model/StoredLists.h"
#include "support/WindowFixture.h"
#include "ui/main/SearchField.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>

namespace {
LeftoverItem row(const QString &name, LeftoverType type, const std::optional<QString> &path = std::nullopt)
{
    return ScannerFixture::row(name, path, type);
}
} // namespace

// The Leftovers tab over a fake Mac: scan, select, act; menu actions; the filter bar.
class TestLeftoversTab : public QObject
{
    Q_OBJECT

private slots:
    void scanSelectAndTrash()
    {
        WindowFixture w;
        FakeMac &mac = w.fixture.mac;
        mac.createApp(QStringLiteral("/Applications/Quillmere.app"), QStringLiteral("com.quillmere.app"));
        const QString cache = mac.createFileOfSize(QStringLiteral("~/Library/Caches/com.gone.editor/x"), 500);
        const QString log = mac.createFileOfSize(QStringLiteral("~/Library/Logs/com.gone.editor/x"), 700);
        const QString prefs = mac.createFileOfSize(QStringLiteral("~/Library/Preferences/com.gone.editor.plist"), 100);
        w.view->setSafeMode(false);
        auto *table = w.child<QTableView>("leftoversView");
        QTest::mouseClick(w.child<QPushButton>("scanButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.scanner().isScanning(), 20000);
        QCOMPARE(table->model()->rowCount(), 3);

        // Cache and Logs, picked in the table as a user would.
        const QList<LeftoverItem> shown = w.view->filteredItems();
        QSet<QUuid> picked;
        for (int r = 0; r < shown.size(); ++r) {
            if (shown.at(r).type != LeftoverType::preference) {
                table->selectionModel()->select(table->model()->index(r, 0),
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
        QCOMPARE(table->model()->rowCount(), 1);
        QVERIFY(w.view->tableSelection().isEmpty());
        QVERIFY(!trash->isVisible());
        QVERIFY2(w.status().startsWith(QStringLiteral("1 item ")), qPrintable(w.status()));
    }

    // A press acts on hidden selected rows too and leaves the other selected rows selected.
    void pressLeavesOthersSelected()
    {
        WindowFixture w;
        const QList<LeftoverItem> items{row(QStringLiteral("A"), LeftoverType::permission),
                                        row(QStringLiteral("A"), LeftoverType::container, QStringLiteral("/nowhere/c"))};
        ScannerPublisher::setItems(w.scanner(), items);
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
        WindowFixture w;
        const QString home = w.fixture.mac.home();
        LeftoverItem loose = row(QStringLiteral("Loose"), LeftoverType::cache);
        loose.bundleID.reset();
        const QList<LeftoverItem> items{
            row(QStringLiteral("Beta"), LeftoverType::cache, home + QStringLiteral("/Library/Caches/com.beta")),
            row(QStringLiteral("Alpha"), LeftoverType::log, home + QStringLiteral("/Library/Logs/Alpha")),
            row(QStringLiteral("Beta"), LeftoverType::container, home + QStringLiteral("/Library/Containers/com.beta")),
            loose};
        ScannerPublisher::setItems(w.scanner(), items);
        w.view->setSafeMode(true);
        w.fixture.newLogMessages();

        const auto menuActions = [&](const QSet<QUuid> &rows) { return w.view->leftoversContextMenu(rows, w.view)->actions(); };
        QList<QAction *> actions = menuActions({items[0].id, items[1].id});
        actions.first()->trigger();
        QCOMPARE(w.fixture.workspace.revealedFiles,
                 (QList<QList<QUrl>>{{QUrl::fromLocalFile(*items[0].path), QUrl::fromLocalFile(*items[1].path)}}));

        // Ignoring drops every Beta row, the one hidden by Safe Mode too.
        actions.last()->trigger();
        QCOMPARE(ScannerFixture::ids(w.scanner().items()), (QList<QUuid>{items[1].id, items[3].id}));
        QVERIFY(StoredLists::ignoredBundleIDs(w.fixture.defaults).contains(QStringLiteral("com.example.beta")));

        w.fixture.defaults.setStringList(StoredLists::ignoredBundleIDsKey, {QStringLiteral("com.example.alpha")});
        actions = menuActions({items[1].id});
        QCOMPARE(actions.last()->text(), QStringLiteral("Remove \"\u2068Alpha\u2069\" from Ignore List"));
        actions.last()->trigger();
        QCOMPARE(w.scanner().items().size(), 2);
        QCOMPARE(w.fixture.newLogMessages(),
                 (QStringList{QStringLiteral("IGNORED: com.example.beta"), QStringLiteral("UN-IGNORED: com.example.alpha")}));
        QVERIFY(!w.view->leftoversContextMenu({items[3].id}, w.view));
    }

    // Search, Select All over the shown rows only, the clear button, header sorting.
    void filterBar()
    {
        WindowFixture w;
        auto *table = w.child<QTableView>("leftoversView");
        const QList<LeftoverItem> items{row(QStringLiteral("Apple"), LeftoverType::cache),
                                        row(QStringLiteral("Banana"), LeftoverType::log),
                                        row(QStringLiteral("Apricot"), LeftoverType::log)};
        ScannerPublisher::setItems(w.scanner(), items);
        w.view->setTableSelection({items[1].id});
        auto *search = w.child<SearchField>("leftoversSearch");
        QTest::keyClicks(search->lineEdit(), QStringLiteral("ap"));
        QCOMPARE(w.view->searchText(), QStringLiteral("ap"));
        QVERIFY(search->clearButton()->isVisible());
        QCOMPARE(w.view->tableSelection().size(), 1);

        QTest::mouseClick(w.child<QPushButton>("selectAllButton"), Qt::LeftButton);
        QCOMPARE(w.view->tableSelection(), (QSet<QUuid>{items[0].id, items[2].id}));
        QCOMPARE(table->selectionModel()->selectedRows().size(), 2);

        QTest::mouseClick(search->clearButton(), Qt::LeftButton);
        QCOMPARE(w.view->searchText(), QString());
        QVERIFY(!search->clearButton()->isVisible());
        QCOMPARE(table->model()->rowCount(), 3);

        // A bundle dropped on the field reaches the window, not the search text.
        QMimeData bundle;
        bundle.setUrls({QUrl::fromLocalFile(QStringLiteral("/Applications/Foo.app"))});
        bundle.setText(QStringLiteral("/Applications/Foo.app"));
        const QPoint at = search->lineEdit()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &bundle, Qt::LeftButton, {});
        QApplication::sendEvent(search->lineEdit(), &enter);
        QVERIFY(w.view->isDragTargeted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &bundle, Qt::LeftButton, {});
        QApplication::sendEvent(search->lineEdit(), &drop);
        QCOMPARE(w.view->searchText(), QString());
        QVERIFY(!w.view->isDragTargeted());

        QHeaderView *header = table->horizontalHeader();
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
};

QTEST_MAIN(TestLeftoversTab)
#include "tst_leftovers_tab_widgets.moc"
