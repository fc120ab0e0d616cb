#include "core/AppLanguage.h"
#include "model/StoredLists.h"
#include "support/FixedDigits.h"
#include "support/WindowFixture.h"
#include "ui/common/OutsideText.h"
#include "ui/main/SearchField.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>

#include <unistd.h>

#include <algorithm>

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
        const QList<LeftoverItem> shown = w.view->leftoversTab()->filteredItems();
        QSet<QUuid> picked;
        for (int r = 0; r < shown.size(); ++r) {
            if (shown.at(r).type != LeftoverType::preference) {
                table->selectionModel()->select(table->model()->index(r, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
                picked << shown.at(r).id;
            }
        }
        QCOMPARE(w.view->leftoversTab()->tableSelection(), picked);
        auto *trash = w.child<QPushButton>("moveToTrashButton");
        QVERIFY(trash->isVisible());
        QCOMPARE(trash->text(), QStringLiteral("Move to Trash (2)"));
        QTest::mouseClick(trash, Qt::LeftButton);

        const QStringList trashed = QDir(w.fixture.trash.filesPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(trashed.size(), 2);
        QVERIFY(!QFileInfo::exists(QFileInfo(cache).path()) && !QFileInfo::exists(QFileInfo(log).path()));
        QVERIFY(QFileInfo::exists(prefs));
        QCOMPARE(table->model()->rowCount(), 1);
        QVERIFY(w.view->leftoversTab()->tableSelection().isEmpty());
        QVERIFY(!trash->isVisible());
        QVERIFY2(w.status().startsWith(QStringLiteral("1 item ")), qPrintable(w.status()));
    }

    void actionButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QList<int>>("acted");
        QTest::newRow("reset permissions") << "resetPermissionsButton" << "Reset Permissions (2)" << "/usr/bin/tccutil"
                                           << QStringList{"reset|Camera|com.example.a", "reset|Microphone|com.example.b"}
                                           << QList<int>{0, 1};
        QTest::newRow("remove background items")
            << "removeBackgroundButton" << "Remove Background Items (1)" << "/bin/launchctl"
            << QStringList{QStringLiteral("bootout|gui/%1/com.example.c").arg(::getuid())} << QList<int>{2};
        QTest::newRow("move to trash") << "moveToTrashButton" << "Move to Trash (1)" << "" << QStringList() << QList<int>{3};
    }

    // Each button names its count and hands its whole list, in scan order, to its Scanner
    // operation, rows hidden by Safe Mode too (C and D); the other selected rows stay selected.
    void actionButtons()
    {
        QFETCH(QString, button);
        QFETCH(QString, label);
        QFETCH(QString, tool);
        QFETCH(QStringList, calls);
        QFETCH(QList<int>, acted);
        WindowFixture w;
        w.fixture.fakeTool(QStringLiteral("/usr/bin/tccutil"));
        w.fixture.fakeTool(QStringLiteral("/bin/launchctl"));
        w.fixture.fakeTool(QStringLiteral("/usr/bin/pkill"), QByteArray(), 1);
        w.remake();
        QList<LeftoverItem> items{row(QStringLiteral("A"), LeftoverType::permission),
                                  row(QStringLiteral("B"), LeftoverType::permission),
                                  row(QStringLiteral("C"), LeftoverType::backgroundActivity),
                                  row(QStringLiteral("D"), LeftoverType::container, QStringLiteral("/nowhere/d"))};
        items[0].permissionService = QStringLiteral("Camera");
        items[1].permissionService = QStringLiteral("Microphone");
        ScannerPublisher::setItems(w.scanner(), items);
        w.view->setSafeMode(true);
        QSet<QUuid> all;
        for (const LeftoverItem &item : items)
            all << item.id;
        w.view->leftoversTab()->setTableSelection(all);
        QVERIFY(w.status().contains(QStringLiteral("2 hidden by Safe Mode")) && w.status().contains(QStringLiteral("4 selected")));
        auto *pressed = w.child<QPushButton>(qPrintable(button));
        QVERIFY(pressed->isVisible());
        QCOMPARE(pressed->text(), label);
        QTest::mouseClick(pressed, Qt::LeftButton);
        if (!tool.isEmpty())
            QTRY_COMPARE(w.fixture.recordedCalls(tool), calls);
        QSet<QUuid> left = all;
        for (int i : acted)
            left.remove(items[i].id);
        QCOMPARE(w.view->leftoversTab()->tableSelection(), left);
    }

    void actionBarFits_data()
    {
        QTest::addColumn<AppLanguage>("language");
        QTest::newRow("en") << AppLanguage::en;
        QTest::newRow("fr") << AppLanguage::fr;
        QTest::newRow("de") << AppLanguage::de;
    }

    // All three buttons at the narrowest window: the window keeps its width, and
    // every button and status piece shows whole.
    void actionBarFits()
    {
        QFETCH(AppLanguage, language);
        WindowFixture w;
        w.fixture.language.setLanguage(language);
        const QList<LeftoverItem> items{row(QStringLiteral("A"), LeftoverType::permission),
                                        row(QStringLiteral("B"), LeftoverType::backgroundActivity),
                                        row(QStringLiteral("C"), LeftoverType::cache, QStringLiteral("/x/c"))};
        ScannerPublisher::setItems(w.scanner(), items);
        w.view->setSafeMode(false);
        w.view->leftoversTab()->setTableSelection({items[0].id, items[1].id, items[2].id});
        QCoreApplication::processEvents();
        w.main.resize(w.main.minimumSize());
        QTRY_COMPARE(w.view->width(), 960);
        QWidgetList shown;
        for (const char *name : {"resetPermissionsButton", "removeBackgroundButton", "moveToTrashButton"})
            shown << w.child(name);
        shown << w.child("statusBar")->findChildren<QWidget *>();
        const auto whole = [&](QWidget *widget) {
            return widget->isVisible() && widget->width() >= widget->sizeHint().width()
                && w.view->rect().contains(QRect(widget->mapTo(w.view, QPoint()), widget->size()));
        };
        QTRY_VERIFY(std::all_of(shown.cbegin(), shown.cend(), whole));
        QCOMPARE(w.view->width(), 960);
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

        const auto menuActions = [&](const QSet<QUuid> &rows) { return w.view->leftoversTab()->table()->contextMenu(rows, w.view)->actions(); };
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
        QVERIFY(!w.view->leftoversTab()->table()->contextMenu({items[3].id}, w.view));

        // "Scan All Files" scans that one application on the Leftovers tab, selection emptied.
        w.view->setSelectedTab(AppTab::installed);
        w.view->leftoversTab()->setTableSelection({items[1].id});
        actions = menuActions({items[1].id});
        QCOMPARE(actions.at(2)->text(), QStringLiteral("Scan All Files for \"\u2068Alpha\u2069\""));
        actions.at(2)->trigger();
        QCOMPARE(w.view->selectedTab(), AppTab::leftovers);
        QVERIFY(w.view->leftoversTab()->tableSelection().isEmpty());
        QCOMPARE(w.scanner().scanProgress(), QStringLiteral("Scanning \u2068Alpha\u2069…"));
        QTRY_VERIFY(!w.scanner().isScanning());
    }

    void cells_data()
    {
        QTest::addColumn<std::optional<QString>>("path");
        QTest::addColumn<std::optional<QString>>("service");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("path") << std::optional<QString>("/x/a") << std::optional<QString>("Camera") << "/x/a";
        QTest::newRow("no path: the service") << std::optional<QString>() << std::optional<QString>("Camera") << "Camera";
        QTest::newRow("neither: empty") << std::optional<QString>() << std::optional<QString>() << "";
    }

    // The Location tooltip's fallbacks; sizes in the window's language, digits of one width.
    void cells()
    {
        QFETCH(std::optional<QString>, path);
        QFETCH(std::optional<QString>, service);
        QFETCH(QString, tooltip);
        WindowFixture w;
        w.fixture.language.setLanguage(AppLanguage::fr);
        LeftoverItem item = row(QStringLiteral("A"), LeftoverType::cache, path);
        item.permissionService = service;
        item.size = 1'500'000;
        ScannerPublisher::setItems(w.scanner(), {item});
        QAbstractItemModel *model = w.child<QTableView>("leftoversView")->model();
        QCOMPARE(model->index(0, 3).data(Qt::ToolTipRole).toString(), OutsideText::toolTip(tooltip));
        QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("1,5 MB"));
        const QString fault = fixedDigitsFault(model->index(0, 2).data(Qt::FontRole).value<QFont>());
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // "All Types", a divider, then every type in declaration order with its symbol.
    void typePicker()
    {
        WindowFixture w;
        auto *picker = w.child<QComboBox>("typePicker");
        const QList<LeftoverType> &types = LeftoverTypes::allCases();
        QCOMPARE(picker->count(), 2 + types.size());
        QCOMPARE(picker->itemText(0), QStringLiteral("All Types"));
        QCOMPARE(picker->itemData(1, Qt::AccessibleDescriptionRole).toString(), QStringLiteral("separator"));
        for (int i = 0; i < types.size(); ++i) {
            QCOMPARE(picker->itemText(2 + i), LeftoverTypes::rawValue(types.at(i)));
            QVERIFY(!picker->itemIcon(2 + i).isNull());
        }
        picker->setCurrentIndex(2 + int(types.indexOf(LeftoverType::log)));
        QCOMPARE(w.view->leftoversTab()->selectedType(), std::optional(LeftoverType::log));
        picker->setCurrentIndex(0);
        QVERIFY(!w.view->leftoversTab()->selectedType());
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
        w.view->leftoversTab()->setTableSelection({items[1].id});
        auto *search = w.child<SearchField>("leftoversSearch");
        QTest::keyClicks(search->lineEdit(), QStringLiteral("ap"));
        QCOMPARE(w.view->leftoversTab()->searchText(), QStringLiteral("ap"));
        QVERIFY(search->clearButton()->isVisible());
        QCOMPARE(w.view->leftoversTab()->tableSelection().size(), 1);

        QTest::mouseClick(w.child<QPushButton>("selectAllButton"), Qt::LeftButton);
        QCOMPARE(w.view->leftoversTab()->tableSelection(), (QSet<QUuid>{items[0].id, items[2].id}));
        QCOMPARE(table->selectionModel()->selectedRows().size(), 2);

        QTest::mouseClick(search->clearButton(), Qt::LeftButton);
        QCOMPARE(w.view->leftoversTab()->searchText(), QString());
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
        QCOMPARE(w.view->leftoversTab()->searchText(), QString());
        QVERIFY(!w.view->isDragTargeted());

        QHeaderView *header = table->horizontalHeader();
        const auto clickHeader = [&](int section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
        };
        clickHeader(1);
        QCOMPARE(w.view->leftoversTab()->sortOrder(), (QList<LeftoverComparator>{{LeftoverComparator::Key::type, Qt::AscendingOrder}}));
        clickHeader(3);
        QCOMPARE(w.view->leftoversTab()->sortOrder().first().key, LeftoverComparator::Key::type);
        QCOMPARE(header->sortIndicatorSection(), 1);
    }
};

QTEST_MAIN(TestLeftoversTab)
#include "tst_leftovers_tab_widgets.moc"
