#include "model/StoredLists.h"
#include "support/FixedDigits.h"
#include "support/WindowFixture.h"
#include "ui/common/FileIconSource.h"
#include "ui/main/LogEntriesModel.h"
#include "ui/common/UiStyle.h"
#include "ui/main/LogLineDelegate.h"
#include "ui/main/LogView.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextLayout>
#include <QSignalSpy>
#include <QtEndian>

namespace {

// One block of an icon file: type, length (header included), data.
QByteArray icnsBlock(const char *type, const QByteArray &data)
{
    QByteArray length(4, Qt::Uninitialized);
    qToBigEndian(quint32(8 + data.size()), length.data());
    return QByteArray(type, 4) + length + data;
}

QByteArray redPng(int side, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(side, side, format);
    if (format == QImage::Format_Indexed8)
        image.setColorTable({qRgb(255, 0, 0)});
    image.fill(Qt::red);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return data;
}

} // namespace

// The Installed Apps tab, its app icons, the drop target and the log sheet over a fake Mac.
class TestRosterWidgets : public QObject
{
    Q_OBJECT

private slots:
    // Three rows selected, shown by name: the menu acts on the first in roster order.
    void menuActsOnFirstSelected()
    {
        WindowFixture w;
        w.view->setSelectedTab(AppTab::installed);
        const QList<InstalledApp> apps = w.publishApps({"Zed", "Alpha", "Mid"});
        w.view->rosterTab()->setRosterSelection({apps[0].id, apps[1].id, apps[2].id});
        w.chooseInRosterMenu(0, QStringLiteral("Show in Finder"));
        QCOMPARE(w.fixture.workspace.revealedFiles, QList<QList<QUrl>>{{QUrl::fromLocalFile(apps[0].path)}});

        // Ignoring from the roster writes only the list; un-ignoring logs.
        w.fixture.newLogMessages();
        w.chooseInRosterMenu(0, QStringLiteral("Add \"\u2068Zed\u2069\" to Ignore List"));
        QCOMPARE(StoredLists::ignoredBundleIDs(w.fixture.defaults), QStringList{"com.example.zed"});
        w.chooseInRosterMenu(0, QStringLiteral("Remove \"\u2068Zed\u2069\" from Ignore List"));
        QCOMPARE(StoredLists::ignoredBundleIDs(w.fixture.defaults), QStringList());
        QCOMPARE(w.fixture.newLogMessages(), QStringList{"UN-IGNORED: com.example.zed"});
    }

    void scanFirstSelected_data()
    {
        QTest::addColumn<QString>("entry"); // empty: the Scan Leftovers button
        QTest::newRow("button") << QString();
        QTest::newRow("menu: scan") << QStringLiteral("Scan Leftovers for \"\u2068Zed\u2069\"");
        QTest::newRow("menu: reset app") << QStringLiteral("Reset App \"\u2068Zed\u2069\" (keep .app, remove support files)");
    }
    // The button (shown only on the roster with a selection) and the menu's two scans take
    // the first selected app in roster order, not the table's, empty the leftovers selection,
    // show Leftovers and remove nothing.
    void scanFirstSelected()
    {
        QFETCH(QString, entry);
        WindowFixture w;
        const QList<InstalledApp> apps = w.publishApps({"Zed", "Alpha", "Mid"});
        auto *button = w.child<QPushButton>("scanLeftoversButton");
        w.view->rosterTab()->setRosterSelection({apps[2].id, apps[0].id});
        QVERIFY(!button->isVisible());
        w.view->setSelectedTab(AppTab::installed);
        QVERIFY(button->isVisible());
        w.view->rosterTab()->setRosterSelection({});
        QVERIFY(!button->isVisible());

        w.view->rosterTab()->setRosterSelection({apps[2].id, apps[0].id});
        w.view->leftoversTab()->setTableSelection({QUuid::createUuid()});
        // Row 1 is Mid, shown before Zed.
        entry.isEmpty() ? QTest::mouseClick(button, Qt::LeftButton) : w.chooseInRosterMenu(1, entry);
        QCOMPARE(w.view->selectedTab(), AppTab::leftovers);
        QVERIFY(w.view->leftoversTab()->tableSelection().isEmpty());
        QCOMPARE(w.scanner().scanProgress(), QStringLiteral("Scanning \u2068Zed\u2069…"));
        QTRY_VERIFY(!w.scanner().isScanning());
        QVERIFY(QFileInfo::exists(apps[0].path));
    }

    // Entries, order, dividers, the one destructive entry, all for the first app in roster order.
    void menuStructure()
    {
        WindowFixture w;
        const QList<InstalledApp> apps = w.publishApps({"Zed", "Alpha"});
        auto *table = w.child<QTableView>("rosterView");
        w.view->setSelectedTab(AppTab::installed);
        w.view->rosterTab()->setRosterSelection({apps[0].id, apps[1].id});
        emit table->customContextMenuRequested(table->visualRect(table->model()->index(0, 0)).center());
        QMenu *menu = table->findChild<QMenu *>(QStringLiteral("rosterMenu"));
        QStringList entries;
        for (QAction *action : menu->actions())
            entries << (action->isSeparator() ? QStringLiteral("---") : action->text() + (action->icon().isNull() ? "" : " [destructive]"));
        QCOMPARE(entries, (QStringList{"Show in Finder", "---", "Scan Leftovers for \"\u2068Zed\u2069\"",
                                       "Reset App \"\u2068Zed\u2069\" (keep .app, remove support files)",
                                       "Reset All Permissions for \"\u2068Zed\u2069\"", "---",
                                       "Remove \"\u2068Zed\u2069\" Completely… [destructive]", "---",
                                       "Add \"\u2068Zed\u2069\" to Ignore List"}));
        delete menu;
    }

    // The tool run by "Reset All Permissions", the tab and selections left alone.
    void menuResetsPermissions()
    {
        WindowFixture w;
        w.fixture.fakeTool(QStringLiteral("/usr/bin/tccutil"));
        w.remake();
        w.view->setSelectedTab(AppTab::installed);
        const QList<InstalledApp> apps = w.publishApps({"Zed"});
        w.view->rosterTab()->setRosterSelection({apps[0].id});
        w.chooseInRosterMenu(0, QStringLiteral("Reset All Permissions for \"\u2068Zed\u2069\""));
        QTRY_COMPARE(w.fixture.recordedCalls(QStringLiteral("/usr/bin/tccutil")), QStringList{"reset|All|com.example.zed"});
        QCOMPARE(w.view->selectedTab(), AppTab::installed);
        QCOMPARE(w.view->rosterTab()->rosterSelection(), QSet<QUuid>{apps[0].id});
    }

    void cells_data()
    {
        QTest::addColumn<bool>("known");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<bool>>("dimmed");
        QTest::newRow("nothing known yet") << false << QStringList{"—", "…", "Never"} << QList<bool>{false, true, true};
        QTest::newRow("sized and launched, in French") << true << QStringList{"2.1", "1,5 MB", QString()}
                                                       << QList<bool>{false, false, false};
    }

    // Version, App Size and Last Launched cells; sizes arrive later, in the window's language, fixed pitch.
    void cells()
    {
        QFETCH(bool, known);
        QFETCH(QStringList, texts);
        QFETCH(QList<bool>, dimmed);
        WindowFixture w;
        w.fixture.language.setLanguage(AppLanguage::fr);
        QList<InstalledApp> apps = w.publishApps({"Zed"});
        if (known) {
            apps[0].version = QStringLiteral("2.1");
            apps[0].lastLaunched = QDateTime::currentDateTime().addDays(-1);
            ScannerPublisher::setInstalledApps(w.scanner(), apps);
            apps[0].appSize = 1'500'000;
            ScannerPublisher::setInstalledApps(w.scanner(), apps);
        }
        QAbstractItemModel *model = w.child<QTableView>("rosterView")->model();
        const qreal secondary = UiStyle::color(UiStyle::Tone::secondary).alphaF();
        for (int column = 1; column <= 3; ++column) {
            const QModelIndex cell = model->index(0, column);
            // The launch date's wording is the model's; here only that it is not "Never".
            if (texts.at(column - 1).isNull())
                QVERIFY(cell.data().toString() != QStringLiteral("Never"));
            else
                QCOMPARE(cell.data().toString(), texts.at(column - 1));
            QCOMPARE(cell.data(Qt::ForegroundRole).value<QColor>().alphaF() < secondary, dimmed.at(column - 1));
        }
        const QString fault = fixedDigitsFault(model->index(0, 2).data(Qt::FontRole).value<QFont>());
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void removalAlert_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("cancel") << false << false;
        QTest::newRow("confirm") << true << false;
        // The window's own close button cancels too, and the same app can be asked for again.
        QTest::newRow("closed") << false << true;
    }
    void removalAlert()
    {
        QFETCH(bool, confirm);
        QFETCH(bool, closeWindow);
        WindowFixture w;
        w.fixture.fakeTool(QStringLiteral("/usr/bin/pkill"), QByteArray(), 1);
        w.view->setSelectedTab(AppTab::installed);
        const QList<InstalledApp> apps = w.publishApps({"Alpha", "Beta"});
        w.view->rosterTab()->setRosterSelection({apps[0].id});
        w.chooseInRosterMenu(0, QStringLiteral("Remove \"\u2068Alpha\u2069\" Completely…"));
        auto *alert = w.view->findChild<QMessageBox *>(QStringLiteral("removeAppAlert"));
        QVERIFY(alert && alert->isVisible());

        QAbstractButton *chosen = confirm ? alert->findChild<QPushButton *>(QStringLiteral("removeEverything"))
                                          : alert->escapeButton();
        closeWindow ? void(alert->close()) : chosen->click();
        QVERIFY(!w.view->rosterTab()->showRemoveConfirmation());
        QVERIFY(!w.view->rosterTab()->appToRemove());
        QCOMPARE(w.view->rosterTab()->rosterSelection().isEmpty(), confirm);
        if (confirm) {
            QTRY_COMPARE(w.scanner().installedApps().size(), 1);
            QVERIFY(QFileInfo::exists(w.fixture.trash.filesPath() + QStringLiteral("/Alpha.app")));
        } else {
            QCOMPARE(w.scanner().installedApps().size(), 2);
            QVERIFY(QFileInfo::exists(apps[0].path));
            w.chooseInRosterMenu(0, QStringLiteral("Remove \"\u2068Alpha\u2069\" Completely…"));
            QVERIFY(w.view->rosterTab()->showRemoveConfirmation() && w.view->rosterTab()->appToRemove());
        }
    }

    void appIcon_data()
    {
        QTest::addColumn<QByteArray>("icns"); // empty: a link to a named pipe
        QTest::addColumn<bool>("shown");
        const QByteArray red = icnsBlock("ic07", redPng(128));
        // 5600 × 5600: 31 MB or more decoded, a few KB in the file.
        const QByteArray huge = icnsBlock("ic12", redPng(5600, QImage::Format_Indexed8));
        QTest::newRow("128-pixel PNG") << icnsBlock("icns", red) << true;
        QTest::newRow("classic 16 pixels and mask")
            << icnsBlock("icns", icnsBlock("is32", QByteArray("\xff\0\0\xff", 4).repeated(256))
                                     + icnsBlock("s8mk", QByteArray(256, '\xff')))
            << true;
        // At the largest side drawn and 16 bits a channel: 8 MiB decoded, the decoder's cap.
        QTest::newRow("1024 pixels, 16-bit") << icnsBlock("icns", icnsBlock("ic10", redPng(1024, QImage::Format_RGBA64))) << true;
        QTest::newRow("5600 pixels beside 128") << icnsBlock("icns", huge + red) << true;
        QTest::newRow("only 5600 pixels") << icnsBlock("icns", huge) << false;
        QTest::newRow("entry over the read cap")
            << icnsBlock("icns", icnsBlock("ic07", redPng(128) + QByteArray(5 << 20, '\0'))) << false;
        // The image plug-in would decode a PNG in a classic entry, or in the mask of
        // one it cannot read, at any size: 7.8 MB for a file of a few KB.
        const QByteArray large = redPng(1400);
        QTest::newRow("1400-pixel PNG in a classic entry") << icnsBlock("icns", icnsBlock("is32", large)) << false;
        QTest::newRow("1400-pixel PNG as the mask of an empty classic entry")
            << icnsBlock("icns", icnsBlock("is32", {}) + icnsBlock("s8mk", large)) << false;
        QTest::newRow("128-pixel PNG in a classic entry") << icnsBlock("icns", icnsBlock("it32", redPng(128))) << true;
        QTest::newRow("link to a named pipe") << QByteArray() << false;
    }
    // The bundle's own image, else the fallback; either way the answer comes.
    void appIcon()
    {
        QFETCH(QByteArray, icns);
        QFETCH(bool, shown);
        FakeMac mac;
        const QString bundle = mac.createApp(QStringLiteral("/Applications/Icon.app"), QStringLiteral("com.example.icon"));
        const QString file = bundle + QStringLiteral("/Contents/Resources/AppIcon.icns");
        icns.isEmpty() ? mac.createSymlink(mac.createFifo(QStringLiteral("/tmp/pipe")), file) : mac.createFile(file, icns);
        FileIconSource source;
        QSignalSpy ready(&source, &FileIconSource::iconReady);
        QVERIFY(source.icon(bundle).isNull());
        QVERIFY(ready.wait());
        const QImage drawn = source.icon(bundle).pixmap(40).toImage();
        QCOMPARE(!drawn.isNull() && drawn.pixelColor(20, 20) == QColor(Qt::red), shown);
    }

    void drop_data()
    {
        QTest::addColumn<bool>("scanning");
        QTest::newRow("three bundles: the first") << false;
        QTest::newRow("during a scan") << true;
    }
    // Only local files light the frame, which goes when the drag leaves; a drop scans the first bundle.
    void drop()
    {
        QFETCH(bool, scanning);
        WindowFixture w;
        const auto enter = [&](const QUrl &url) {
            QMimeData data;
            data.setUrls({url});
            QDragEnterEvent event(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w.view, &event);
        };
        enter(QUrl(QStringLiteral("https://example.org/App.app")));
        QVERIFY(!w.shows("dropOverlay"));
        enter(QUrl::fromLocalFile(QStringLiteral("/Applications/App.app")));
        QVERIFY(w.shows("dropOverlay"));
        QDragLeaveEvent leave;
        QApplication::sendEvent(w.view, &leave);
        QVERIFY(!w.shows("dropOverlay"));

        w.view->setSelectedTab(AppTab::installed);
        w.view->leftoversTab()->setTableSelection({QUuid::createUuid()});
        ScannerPublisher::setIsScanning(w.scanner(), scanning);
        ScannerPublisher::setScanProgress(w.scanner(), QStringLiteral("running"));
        QList<QUrl> urls;
        for (const char *name : {"/Applications/Foo Bar.app", "/Applications/Other.app", "/Applications/Third.app"})
            urls << QUrl::fromLocalFile(w.fixture.mac.createApp(QString::fromLatin1(name), QStringLiteral("com.example.x")));
        QVERIFY(w.view->handleDrop(urls));
        QTRY_COMPARE(w.view->selectedTab(), AppTab::leftovers);
        QCOMPARE(w.view->leftoversTab()->tableSelection(), QSet<QUuid>());
        // A running scan refuses the second one.
        if (scanning)
            QCOMPARE(w.scanner().scanProgress(), QStringLiteral("running"));
        else
            QVERIFY(w.scanner().scanProgress().contains(QStringLiteral("Foo Bar")));
    }

    // Empty state, following the end, the cap and Clear.
    void logSheet()
    {
        WindowFixture w;
        w.view->showLog();
        auto *sheet = w.view->findChild<LogView *>();
        auto *logList = sheet->findChild<QListView *>();
        auto *clear = sheet->findChild<QPushButton *>();
        const auto empty = [sheet] { return sheet->findChild<QLabel *>(QStringLiteral("logEmpty"))->isVisible(); };
        QVERIFY(empty() && !clear->isEnabled());

        for (int i = 0; i < AppLogger::maxEntries; ++i)
            w.fixture.logger.log(QStringLiteral("line %1").arg(i));
        QTRY_COMPARE(logList->model()->rowCount(), AppLogger::maxEntries);
        QScrollBar *bar = logList->verticalScrollBar();
        QTRY_COMPARE(bar->value(), bar->maximum());
        QVERIFY(clear->isEnabled());

        // At the cap a new line replaces the oldest: the count stays and so does the view.
        bar->setValue(bar->maximum() / 2);
        const int held = bar->value();
        w.fixture.logger.log(QStringLiteral("one more"));
        QTRY_VERIFY(logList->model()->index(AppLogger::maxEntries - 1, 0).data().toString().contains("one more"));
        QCOMPARE(bar->value(), held);

        // Clear empties the sheet, not the file.
        clear->click();
        QVERIFY(empty());
        QCOMPARE(w.fixture.logMessages().size(), AppLogger::maxEntries + 1);
        w.fixture.logger.log(QStringLiteral("after"));
        QTRY_COMPARE(logList->model()->rowCount(), 1);

        sheet->findChildren<QPushButton *>().at(1)->click();
        QVERIFY(!w.view->showingLog());
    }

    // How a line shows (after its time stamp): one isolated row, cut, marks for what is invisible; copied whole.
    void logSheetLine_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const QString emoji = QStringLiteral("\U0001F600");
        const int half = LogEntriesModel::shownLength / 2;
        QTest::newRow("long line cut in the middle")
            << QString(3000, 'a') + QString(10, 'b') + QString(3000, 'c')
            << QStringLiteral("\u2066\u2066") + QString(half, 'a') + QStringLiteral("\u2026") + QString(half, 'c') + QStringLiteral("\u2069\u2069");
        QTest::newRow("cut keeps surrogate pairs whole")
            << 'x' + emoji.repeated(3000) + 'x'
            << QStringLiteral("\u2066\u2066x") + emoji.repeated(half / 2 - 1) + QStringLiteral("\u2026") + emoji.repeated(half / 2 - 1) + QStringLiteral("x\u2069\u2069");
        // A right-to-left override shows as a mark and turns nothing; nor can a stray isolate end.
        QTest::newRow("rtl override shown")
            << QStringLiteral("Evil\u202E [com.x]  |  \u2069\u202Eb  |  ~/Library/Caches/x")
            << QStringLiteral("\u2066\u2066\u2068Evil\u27E8RLO\u27E9\u2069 [\u2068com.x\u2069]\u2069  |  \u2066\u27E8PDI\u27E9\u27E8RLO\u27E9b\u2069  |  \u2066~/Library/Caches/x\u2069\u2069");
        QTest::newRow("line breaks marked")
            << QStringLiteral("two\nlines\u2028three\u0085<b>&</b>")
            << QStringLiteral("\u2066\u2066two\\nlines\u23CEthree\u23CE<b>&</b>\u2069\u2069");
    }
    void logSheetLine()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        ScannerFixture fixture;
        fixture.logger.log(message);
        QTRY_COMPARE(fixture.logger.entries().size(), 1);
        LogView sheet(fixture.logger);
        sheet.resize(sheet.minimumSize());
        sheet.show();
        auto *logList = sheet.findChild<QListView *>();
        const QString line = fixture.logger.entries().first();
        const QModelIndex row = logList->model()->index(0, 0);
        const QString stamp = line.left(line.indexOf(QStringLiteral("] ")) + 2);
        QCOMPARE(row.data().toString(), stamp + shown);

        // The tooltip is the shown text, escaped.
        QTextDocument tip;
        tip.setHtml(row.data(Qt::ToolTipRole).toString());
        QCOMPARE(tip.toPlainText().remove(QLatin1Char('\n')), stamp + shown);

        // Rows are as wide as the list: nothing scrolls sideways.
        QCOMPARE(logList->horizontalScrollBar()->maximum(), 0);
        QVERIFY(logList->visualRect(row).right() < logList->viewport()->width());

        logList->selectionModel()->select(row, QItemSelectionModel::Select);
        logList->actions().first()->trigger();
        QCOMPARE(QApplication::clipboard()->text(), line);
    }

    // A line wider than the sheet wraps over more lines of its row, whole, and a short line
    // after it keeps one line and is the one in view; at the cap every row takes the next
    // line's text and height. A wide sheet takes the long line on one line.
    void logSheetWraps_data()
    {
        QTest::addColumn<int>("before"); // short lines logged first
        QTest::newRow("first lines") << 0;
        QTest::newRow("at the cap") << AppLogger::maxEntries;
    }
    void logSheetWraps()
    {
        QFETCH(int, before);
        ScannerFixture fixture;
        for (int i = 0; i < before; ++i)
            fixture.logger.log(QStringLiteral("short %1").arg(i));
        QTRY_COMPARE(fixture.logger.entries().size(), before);
        LogView sheet(fixture.logger);
        sheet.resize(sheet.minimumSize());
        sheet.show();
        auto *logList = sheet.findChild<QListView *>();
        // Opening shows the newest line.
        QTRY_COMPARE(logList->verticalScrollBar()->value(), logList->verticalScrollBar()->maximum());
        const QString tail(80, QLatin1Char('x'));
        fixture.logger.log(QStringLiteral("  Oldapp [com.gone.oldapp]  |  App Support  |  15 MB  |  "
                                          "~/Library/Application Support/com.gone.oldapp/") + tail);
        fixture.logger.log(QStringLiteral("after"));
        const int last = qMin(before + 1, AppLogger::maxEntries - 1);
        QTRY_COMPARE(logList->model()->rowCount(), last + 1);
        const QModelIndex longRow = logList->model()->index(last - 1, 0);
        const QModelIndex shortRow = logList->model()->index(last, 0);
        QTRY_VERIFY(shortRow.data().toString().contains(QLatin1String("after")));
        const QString shown = longRow.data().toString();
        QVERIFY(shown.contains(QLatin1String("15 MB")) && shown.contains(tail));
        // A reader hears the whole line.
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(logList);
        QVERIFY(list && list->tableInterface());
        QAccessibleInterface *cell = list->tableInterface()->cellAt(longRow.row(), 0);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), shown);

        const QFontMetrics metrics(longRow.data(Qt::FontRole).value<QFont>());
        const auto wrappedHeight = [&] {
            return metrics.boundingRect(QRect(0, 0, logList->viewport()->width(), 100000), Qt::TextWrapAnywhere, shown).height();
        };
        QVERIFY(wrappedHeight() >= 2 * metrics.height());
        QTRY_VERIFY(logList->visualRect(longRow).height() >= wrappedHeight());
        QVERIFY(logList->visualRect(shortRow).height() < 2 * metrics.height());
        // New lines are scrolled into view; lines that replace the oldest at the cap leave the view alone.
        if (before < AppLogger::maxEntries)
            QTRY_VERIFY(logList->visualRect(shortRow).bottom() <= logList->viewport()->height());
        QCOMPARE(logList->horizontalScrollBar()->maximum(), 0);

        sheet.resize(2400, 380);
        QTRY_VERIFY(logList->visualRect(longRow).height() < 2 * metrics.height());
        QVERIFY(wrappedHeight() < 2 * metrics.height());
    }

    // A line that wraps taller than the list can be scrolled through, every part of it into view.
    void logSheetTallLine()
    {
        ScannerFixture fixture;
        fixture.logger.log(QStringLiteral("before"));
        fixture.logger.log(QString(1500, QChar(0x202E)));
        fixture.logger.log(QStringLiteral("after"));
        QTRY_COMPARE(fixture.logger.entries().size(), 3);
        LogView sheet(fixture.logger);
        sheet.resize(sheet.minimumSize());
        sheet.show();
        auto *logList = sheet.findChild<QListView *>();
        const QModelIndex tall = logList->model()->index(1, 0);
        QTRY_VERIFY(logList->visualRect(tall).height() > 2 * logList->viewport()->height());
        const int height = logList->visualRect(tall).height();
        QScrollBar *bar = logList->verticalScrollBar();
        QList<bool> seen(height, false);
        for (int value = bar->minimum(); value <= bar->maximum(); ++value) {
            bar->setValue(value);
            const QRect rect = logList->visualRect(tall);
            for (int y = qMax(0, -rect.top()); y < height && rect.top() + y < logList->viewport()->height(); ++y)
                seen[y] = true;
        }
        QVERIFY(!seen.contains(false));
    }

    // Each character class as a row shows it (without a time stamp): direction controls as
    // their names, line breaks as one mark; a line over the bound keeps its first and last
    // characters, never half a surrogate pair; the tool tip is the shown text.
    void logSheetShown_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown"); // inside the message's isolate and its column's
        const QList<QPair<char16_t, const char *>> controls{
            {0x202A, "LRE"}, {0x202B, "RLE"}, {0x202C, "PDF"}, {0x202D, "LRO"}, {0x202E, "RLO"}, {0x2066, "LRI"},
            {0x2067, "RLI"}, {0x2068, "FSI"}, {0x2069, "PDI"}, {0x200E, "LRM"}, {0x200F, "RLM"}, {0x061C, "ALM"}};
        for (const auto &[control, name] : controls) {
            QTest::addRow("%s", name) << QStringLiteral("a") + QChar(control) + QStringLiteral("b")
                                      << QStringLiteral("a\u27E8%1\u27E9b").arg(QLatin1String(name));
        }
        for (const QString &lineBreak : QStringList{"\n", "\r", "\r\n", "\v", "\f", "\x1c", "\x1d", "\x1e", "\u0085", "\u2028", "\u2029"})
            QTest::addRow("line break U+%04X", lineBreak.back().unicode()) << "a" + lineBreak + "b" << "a\u23CEb";
        QTest::newRow("tab") << "a\tb" << "a\tb";
        QTest::newRow("ampersand") << "a&&b" << "a&&b";
        QTest::newRow("outside the BMP") << "a\U0001F600b" << "a\U0001F600b";
        QTest::newRow("override in a name reads in order") << "R\u202ELO evil [com.gone.oldapp]"
                                                           << "R\u27E8RLO\u27E9LO evil [com.gone.oldapp]";

        const qsizetype half = LogEntriesModel::shownLength / 2;
        const QString head(half, QLatin1Char('h')), tail(half, QLatin1Char('t')), cut = QStringLiteral("\u2026");
        QTest::newRow("one under the bound whole") << head + tail.mid(1) << head + tail.mid(1);
        QTest::newRow("at the bound whole") << head + tail << head + tail;
        QTest::newRow("one past the bound cut") << head + 'm' + tail << head + cut + tail;
        // The cut counts the line's own characters, before a control becomes its name.
        QTest::newRow("control at the cut") << head.mid(1) + QChar(0x202E) + 'm' + tail
                                            << head.mid(1) + "\u27E8RLO\u27E9" + cut + tail;
        const QString pair = QStringLiteral("\U0001F600");
        QTest::newRow("pair ends the head") << head.mid(2) + pair + 'm' + tail << head.mid(2) + pair + cut + tail;
        QTest::newRow("pair across the head") << head.mid(1) + pair + tail << head.mid(1) + cut + tail;
        QTest::newRow("pair across the tail") << head + 'm' + pair + tail.mid(1) << head + cut + tail.mid(1);
        QTest::newRow("pair starts the tail") << head + 'm' + pair + tail.mid(2) << head + cut + pair + tail.mid(2);
        // The tool tip breaks its lines every 80 characters, at either half of a pair.
        QTest::newRow("pairs from an even start") << pair.repeated(50) << pair.repeated(50);
        QTest::newRow("pairs from an odd start") << 'a' + pair.repeated(50) << 'a' + pair.repeated(50);
    }
    void logSheetShown()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        const QString text = LogEntriesModel::displayText(message);
        QCOMPARE(text, QStringLiteral("\u2066\u2066") + shown + QStringLiteral("\u2069\u2069"));
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        QTextDocument tip;
        tip.setHtml(LogEntriesModel::toolTipText(message));
        QCOMPARE(tip.toPlainText().remove(QLatin1Char('\n')), text);
        for (const QString &tipLine : tip.toPlainText().split(QLatin1Char('\n')))
            QVERIFY(tipLine.isValidUtf16());

        // Nothing in these rows runs right to left, so no run of the row's text may either.
        QTextLayout layout(LogLineDelegate::laidOutText(text), UiStyle::monospacedFont(UiStyle::TextStyle::caption));
        layout.beginLayout();
        layout.createLine().setLineWidth(1e6);
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns())
            QVERIFY(!run.isRightToLeft());
    }
};

QTEST_MAIN(TestRosterWidgets)
#include "tst_roster_widgets.moc"
