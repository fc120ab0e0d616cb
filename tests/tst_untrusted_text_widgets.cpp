#include "support/WindowFixture.h"
#include "ui/common/ElidedLabel.h"
#include "ui/common/OutsideText.h"
#include "ui/common/UiStyle.h"
#include "ui/main/LeftoversTableModel.h"
#include "ui/main/LogEntriesModel.h"
#include "ui/main/LogLineDelegate.h"
#include "ui/main/RosterTableModel.h"
#include "ui/settings/RemovableList.h"
#include "ui/settings/UpdateSettingsView.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// What a place shows, and the widget that draws it.
struct Shown
{
    QString text;
    Qt::TextFormat format = Qt::PlainText;
    QWidget *drawn = nullptr;
};
using Place = std::function<Shown(WindowFixture &w, const QString &input)>;
enum class Kind { line, toolTip, menu };

// The first label below `root` that shows the input.
Shown labelShowing(QWidget *root)
{
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (label->text().contains(QLatin1String("Jerry")))
            return {label->text(), label->textFormat(), label};
    }
    // Elided labels draw their text as it is.
    for (ElidedLabel *label : root->findChildren<ElidedLabel *>()) {
        if (label->text().contains(QLatin1String("Jerry")))
            return {label->text(), Qt::PlainText, label};
    }
    return {};
}

// Each entry that names the input, one per line.
Shown menuShowing(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions()) {
        if (action->text().contains(QLatin1String("Jerry")))
            texts << action->text();
    }
    delete menu;
    return {texts.join(QLatin1Char('\n'))};
}

Shown cellShowing(const QTableView *view, int column)
{
    const QModelIndex index = view->model()->index(0, column);
    const auto *delegate = qobject_cast<const QStyledItemDelegate *>(view->itemDelegateForIndex(index));
    return {delegate->displayText(index.data(), QLocale::c())};
}

// An app whose name, path and version are all `text`.
void publishApp(WindowFixture &w, const QString &text)
{
    const InstalledApp app{.name = text, .bundleID = "com.example.tom", .path = text, .version = text, .lastLaunched = {}};
    ScannerPublisher::setInstalledApps(w.scanner(), {app});
}

// The roster's menu for its first row, as a right-click opens it.
QMenu *rosterMenu(WindowFixture &w)
{
    auto *table = w.child<QTableView>("rosterView");
    emit table->customContextMenuRequested(table->visualRect(table->model()->index(0, 0)).center());
    return table->findChild<QMenu *>(QStringLiteral("rosterMenu"));
}

void publishUpdate(WindowFixture &w, const QString &version)
{
    w.server.setJson(QJsonDocument(QJsonObject{{"version", version}, {"downloadURL", "https://example.org/q.zip"}})
                         .toJson(QJsonDocument::Compact));
    QSignalSpy finished(&w.updater, &UpdateChecker::checkFinished);
    w.updater.check(false);
    QVERIFY(finished.wait());
}

} // namespace

Q_DECLARE_METATYPE(Place)
Q_DECLARE_METATYPE(Kind)

// Names, paths, bundle IDs and feed texts show as they are: never as markup, a
// shortcut mark or a second line, and never make a window open a file.
class TestUntrustedText : public QObject
{
    Q_OBJECT

private slots:
    void inLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Alpha" << "\u2068Alpha\u2069";
        QTest::newRow("empty stays empty") << "" << "";
        QTest::newRow("each line break one symbol") << "a\r\nb\nc\u2029d\re" << "\u2068a⏎b⏎c⏎d⏎e\u2069";
        QTest::newRow("override ends with the name") << "\u202Eabc" << "\u2068\u202Eabc\u2069";
        QTest::newRow("stray pop dropped") << "a\u2069\u202Eb" << "\u2068a\u202Eb\u2069";
        QTest::newRow("open isolate closed") << "\u2067a\u2068b\u2069" << "\u2068\u2067a\u2068b\u2069\u2069\u2069";
    }
    void inLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(OutsideText::inLine(text), shown);
    }

    // A tool tip shows every character class as it is, each line break as a new line.
    void toolTip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        for (char16_t control : {0x2066, 0x2067, 0x2068, 0x2069, 0x202A, 0x202B, 0x202C, 0x202D, 0x202E}) {
            const QString text = QStringLiteral("a") + QChar(control) + QStringLiteral("b");
            QTest::addRow("U+%04X", control) << text << text;
        }
        for (const QString &lineBreak : QStringList{"\n", "\r", "\r\n", "\v", "\f", "\x1c", "\x1d", "\x1e", "\u0085", "\u2028", "\u2029"})
            QTest::addRow("line break U+%04X", lineBreak.back().unicode()) << "a" + lineBreak + "b" << "a\nb";
        QTest::newRow("CR CR two breaks") << "a\r\rb" << "a\n\nb";
        QTest::newRow("tab and blanks") << "a\t  b " << "a\t  b ";
        QTest::newRow("ampersand and markup") << "&amp; <b>&</b>" << "&amp; <b>&</b>";
        QTest::newRow("outside the BMP") << "\U0001F600\U00010900" << "\U0001F600\U00010900";
        QTest::newRow("empty, no tool tip") << "" << "";
    }
    void toolTip()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const QString tip = OutsideText::toolTip(text);
        QCOMPARE(tip.isEmpty(), text.isEmpty());
        QTextDocument document;
        Qt::mightBeRichText(tip) ? document.setHtml(tip) : document.setPlainText(tip);
        QCOMPARE(document.toPlainText(), shown);
    }

    // "&" marks no shortcut and a tab splits off no shortcut column; nothing else changes.
    void menuEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("entry");
        QTest::newRow("ampersands") << "&a&&b&" << "&&a&&&&b&&";
        QTest::newRow("tabs") << "a\tb\t" << "a b ";
        QTest::newRow("isolates, overrides, breaks, outside the BMP")
            << "\u2066\u2067\u2068\u2069\u202A\u202B\u202C\u202D\u202E\u23CE\U0001F600"
            << "\u2066\u2067\u2068\u2069\u202A\u202B\u202C\u202D\u202E\u23CE\U0001F600";
    }
    void menuEntry()
    {
        QFETCH(QString, text);
        QFETCH(QString, entry);
        QCOMPARE(OutsideText::menuEntry(text), entry);
    }

    // A log line and its columns run left to right as the log is written; a name keeps its own
    // direction inside and moves neither its ID, the brackets nor a column.
    void logLineOrder_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("pieces"); // first occurrences, as drawn from left to right
        QTest::newRow("Arabic name") << "  مرحبا [org.example.عالم]  |  App Support  |  ~/Library/x"
                                     << QStringList{"مرحبا", "[", "org.", "example.", "عالم", "]", "App Support", "~/Library/x"};
        QTest::newRow("Hebrew roster line") << "  שלום עולם [org.example.hebrew]  |  v1.2.3"
                                            << QStringList{"שלום עולם", "[", "org.example.hebrew", "v1.2.3"};
        QTest::newRow("name after a label") << "TRASHED: שלום! [org.x]  |  Cache"
                                            << QStringList{"TRASHED:", "!", "שלום", "[", "org.x", "Cache"};
        QTest::newRow("Hebrew folder") << "  A [a]  |  ~/שלום/x" << QStringList{"A", "~/", "שלום", "/x"};
        QTest::newRow("message in Hebrew") << "שלום — removed" << QStringList{"שלום", "—", "removed"};
    }
    void logLineOrder()
    {
        QFETCH(QString, message);
        QFETCH(QStringList, pieces);
        const QString text = LogLineDelegate::laidOutText(LogEntriesModel::displayText(message));
        QTextLayout layout(text, UiStyle::monospacedFont(UiStyle::TextStyle::caption));
        LogLineDelegate::layOut(layout, 100000);
        QCOMPARE(layout.textOption().textDirection(), Qt::LeftToRight);
        qreal right = -1e9;
        for (const QString &piece : pieces) {
            QRectF drawn;
            for (const QGlyphRun &run : layout.lineAt(0).glyphRuns(int(text.indexOf(piece)), int(piece.size())))
                drawn |= run.boundingRect();
            // Found, drawn, and right of the piece before it (neighbouring glyphs may overlap by a pixel).
            QVERIFY2(text.contains(piece) && !drawn.isEmpty() && drawn.left() >= right - 1, qPrintable(piece));
            right = drawn.right();
        }
    }

    // A label that draws its own text lays it out as a QLabel does: in its first strong
    // character's direction (isolates passed over), so an Arabic sum keeps its number by its unit.
    void ownDirection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Arabic total") << "الإجمالي 162٫9 MB";
        QTest::newRow("isolated name, then Arabic") << "\u2068Alpha\u2069 تمت إزالته";
        QTest::newRow("isolated name, then English") << "\u2068שלום\u2069 removed";
    }
    void ownDirection()
    {
        QFETCH(QString, text);
        ElidedLabel elided(text, Qt::ElideRight);
        QLabel label(text);
        label.setTextFormat(Qt::PlainText);
        // Wider than the text: the side it keeps to counts too.
        elided.resize(elided.sizeHint() + QSize(40, 0));
        label.resize(elided.size());
        QCOMPARE(elided.grab().toImage(), label.grab().toImage());
    }

    void shownAsIs_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Place>("place");
        using Setup = void (*)(WindowFixture &, const QString &);
        // The first label showing the input below the child `name`, after `setup`.
        const auto label = [](Setup setup, const char *name) {
            return Place([=](WindowFixture &w, const QString &input) { setup(w, input); return labelShowing(w.child(name)); });
        };
        const Setup scanning = [](WindowFixture &w, const QString &input) {
            ScannerPublisher::setScanProgress(w.scanner(), input);
            ScannerPublisher::setIsScanning(w.scanner(), true);
        };
        const Setup failure = [](WindowFixture &w, const QString &input) {
            ScannerPublisher::setRemovalFailures(w.scanner(), {ScannerFixture::row(QStringLiteral("A"), input)});
        };
        const Setup update = [](WindowFixture &w, const QString &input) { publishUpdate(w, QStringLiteral("999.") + input); };
        const Setup item = [](WindowFixture &w, const QString &input) {
            ScannerPublisher::setItems(w.scanner(), {ScannerFixture::row(input, input)});
        };
        const auto cellText = [](WindowFixture &w, const char *table, int column, int role) {
            return Shown{w.child<QTableView>(table)->model()->index(0, column).data(role).toString()};
        };
        QTest::newRow("scan progress") << Kind::line << label(scanning, "leftoversProgress");
        QTest::newRow("empty state progress") << Kind::line << label([](WindowFixture &w, const QString &input) {
            ScannerPublisher::setScanProgress(w.scanner(), input);
        }, "leftoversEmptyState");
        QTest::newRow("activity") << Kind::line << label(scanning, "header");
        QTest::newRow("status bar") << Kind::line << label(scanning, "statusBar");
        QTest::newRow("removal failure path") << Kind::line << label(failure, "removalFailureBanner");
        QTest::newRow("removal failure tool tip") << Kind::toolTip << Place([=](WindowFixture &w, const QString &input) {
            failure(w, input);
            return Shown{w.child("removalFailurePath")->toolTip()};
        });
        QTest::newRow("update banner") << Kind::line << label(update, "updateBanner");
        QTest::newRow("updates tab") << Kind::line << Place([=](WindowFixture &w, const QString &input) {
            update(w, input);
            return labelShowing(new UpdateSettingsView(w.updater, false, w.view));
        });
        QTest::newRow("settings list tool tip") << Kind::toolTip << Place([](WindowFixture &w, const QString &input) {
            auto *list = new RemovableList(QStringLiteral("folder"), Qt::blue, QString(), Qt::ElideMiddle, w.view);
            list->setEntries({input}, {});
            return Shown{list->view()->model()->index(0, 0).data(Qt::ToolTipRole).toString()};
        });
        QTest::newRow("elided label tool tip") << Kind::toolTip << Place([](WindowFixture &w, const QString &input) {
            return Shown{(new ElidedLabel(input, Qt::ElideMiddle, w.view))->toolTip()};
        });
        QTest::newRow("location cell") << Kind::line << Place([=](WindowFixture &w, const QString &input) {
            item(w, input);
            return cellShowing(w.child<QTableView>("leftoversView"), LeftoversTableModel::locationColumn);
        });
        QTest::newRow("location tool tip") << Kind::toolTip << Place([=](WindowFixture &w, const QString &input) {
            item(w, input);
            return cellText(w, "leftoversView", LeftoversTableModel::locationColumn, Qt::ToolTipRole);
        });
        QTest::newRow("leftovers menu") << Kind::menu << Place([=](WindowFixture &w, const QString &input) {
            item(w, input);
            return menuShowing(w.view->leftoversTab()->table()->contextMenu({w.scanner().items().first().id}, w.view));
        });
        QTest::newRow("version cell") << Kind::line << Place([](WindowFixture &w, const QString &input) {
            publishApp(w, input);
            return cellShowing(w.child<QTableView>("rosterView"), RosterTableModel::versionColumn);
        });
        QTest::newRow("roster app tool tip") << Kind::toolTip << Place([=](WindowFixture &w, const QString &input) {
            publishApp(w, input);
            return cellText(w, "rosterView", RosterTableModel::appColumn, Qt::ToolTipRole);
        });
        QTest::newRow("roster menu") << Kind::menu << Place([](WindowFixture &w, const QString &input) {
            publishApp(w, input);
            return menuShowing(rosterMenu(w));
        });
        QTest::newRow("removal alert") << Kind::line << Place([](WindowFixture &w, const QString &input) {
            publishApp(w, input);
            QMenu *menu = rosterMenu(w);
            for (QAction *action : menu->actions()) {
                if (action->text().contains(QLatin1String("Completely")))
                    action->trigger();
            }
            delete menu;
            return labelShowing(w.view->findChild<QMessageBox *>(QStringLiteral("removeAppAlert")));
        });
    }

    void shownAsIs()
    {
        QFETCH(Kind, kind);
        QFETCH(Place, place);
        WindowFixture w;
        // Were the text read as markup, drawing it would read this file.
        QTemporaryDir dir;
        const QString image = dir.filePath(QStringLiteral("x.png"));
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not an image");
        const QDateTime old(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
        QVERIFY(file.setFileTime(old, QFileDevice::FileAccessTime) && file.setFileTime(old, QFileDevice::FileModificationTime));
        file.close();
        const QString input = QStringLiteral("<b>x</b> <img src=\"%1\"> Tom & Jerry\n\u202Eevil").arg(image);
        const QString flat = QString(input).replace(QLatin1Char('\n'), QChar(0x23CE));

        const Shown shown = place(w, input);
        QVERIFY2(shown.text.contains(QLatin1String("Jerry")), qPrintable(shown.text));
        switch (kind) {
        case Kind::line:
            QCOMPARE(shown.format, Qt::PlainText);
            QVERIFY2(shown.text.contains(flat) && !shown.text.contains(QLatin1Char('\n')), qPrintable(shown.text));
            break;
        case Kind::toolTip: {
            // As the tool tip shows it: rich text when it might be.
            QTextDocument document;
            Qt::mightBeRichText(shown.text) ? document.setHtml(shown.text) : document.setPlainText(shown.text);
            QCOMPARE(document.toPlainText(), input);
            QImage canvas(400, 100, QImage::Format_ARGB32);
            QPainter painter(&canvas);
            document.drawContents(&painter);
            break;
        }
        case Kind::menu:
            for (const QString &entry : shown.text.split(QLatin1Char('\n')))
                QVERIFY2(entry.contains(QString(flat).replace(QLatin1Char('&'), QStringLiteral("&&"))), qPrintable(entry));
            break;
        }
        if (shown.drawn)
            shown.drawn->grab();
        w.main.grab();
        QCOMPARE(QFileInfo(image).lastRead(), old);
    }
};

QTEST_MAIN(TestUntrustedText)
#include "tst_untrusted_text_widgets.moc"
