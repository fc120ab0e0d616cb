#include "core/LanguageManager.h"
#include "core/UpdateChecker.h"
#include "model/StoredLists.h"
#include "platform/UserDefaults.h"
#include "support/AccessibleEvents.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingWorkspace.h"
#include "ui/common/BannerFrame.h"
#include "ui/settings/FolderChooser.h"
#include "ui/settings/IgnoreListSettingsView.h"
#include "ui/settings/LanguageSettingsView.h"
#include "ui/settings/LocationsSettingsView.h"
#include "ui/settings/NotesArea.h"
#include "ui/settings/PrivacySettingsView.h"
#include "ui/settings/RelativeDate.h"
#include "ui/settings/RemovableList.h"
#include "ui/settings/SettingsLists.h"
#include "ui/settings/SettingsView.h"
#include "ui/settings/UpdateSettingsView.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include <memory>

using Paths = QStringList;

class TestSettingsWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<LanguageManager> m_languages;
    RecordingWorkspace m_workspace;

    std::unique_ptr<SettingsView> makeView(UpdateChecker &checker)
    {
        auto view = std::make_unique<SettingsView>(*m_defaults, *m_languages, checker, true);
        view->show();
        return view;
    }
    std::unique_ptr<UpdateChecker> makeChecker(const QUrl &feed)
    {
        return std::make_unique<UpdateChecker>(*m_defaults, m_workspace, feed, 5000);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_defaults = std::make_unique<UserDefaults>(m_dir->filePath(QStringLiteral("defaults.plist")));
        m_languages = std::make_unique<LanguageManager>(*m_defaults);
    }

    void lists_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Paths>("before");
        QTest::addColumn<Paths>("selected");
        QTest::addColumn<QString>("action");
        QTest::addColumn<Paths>("argument"); // chosen folders, or the row whose minus is pressed
        QTest::addColumn<Paths>("after");    // stored afterwards
        QTest::addColumn<Paths>("shown");
        QTest::addColumn<Paths>("selectedAfter");
        QTest::addColumn<bool>("buttonShown"); // Remove Selected / Clear All
        QTest::addColumn<bool>("buttonEnabled");

        const QString loc = StoredLists::customAppLocationsKey;
        const QString ign = StoredLists::ignoredBundleIDsKey;
        QTest::newRow("two folders, one listed") << loc << Paths{"/a"} << Paths{} << "add" << Paths{"/b", "/a"}
                                                 << Paths{"/a", "/b"} << Paths{"/a", "/b"} << Paths{} << true << false;
        QTest::newRow("same folder twice in one choice") << loc << Paths{} << Paths{} << "add" << Paths{"/b", "/b"}
                                                         << Paths{"/b"} << Paths{"/b"} << Paths{} << true << false;
        QTest::newRow("chooser cancelled") << loc << Paths{"/a"} << Paths{"/a"} << "add" << Paths{} << Paths{"/a"}
                                           << Paths{"/a"} << Paths{"/a"} << true << true;
        QTest::newRow("remove selected keeps order")
            << loc << Paths{"/a", "/b", "/c", "/d"} << Paths{"/b", "/d"} << "removeSelected" << Paths{}
            << Paths{"/a", "/c"} << Paths{"/a", "/c"} << Paths{} << true << false;
        QTest::newRow("minus on a selected row") << loc << Paths{"/a", "/b"} << Paths{"/a", "/b"} << "minus"
                                                 << Paths{"/a"} << Paths{"/b"} << Paths{"/b"} << Paths{"/b"} << true
                                                 << true;
        QTest::newRow("last location removed") << loc << Paths{"/a"} << Paths{} << "minus" << Paths{"/a"} << Paths{}
                                               << Paths{} << Paths{} << false << false;
        QTest::newRow("ids once, plain order") << ign << Paths{"b.z", "a.a", "b.z", "A.b"} << Paths{} << "none"
                                               << Paths{} << Paths{"b.z", "a.a", "b.z", "A.b"}
                                               << Paths{"A.b", "a.a", "b.z"} << Paths{} << true << true;
        QTest::newRow("minus on an id") << ign << Paths{"x", "y"} << Paths{"y"} << "minus" << Paths{"x"} << Paths{"y"}
                                        << Paths{"y"} << Paths{"y"} << true << true;
        QTest::newRow("clear all stores an empty list") << ign << Paths{"x", "y"} << Paths{"x"} << "clearAll"
                                                        << Paths{} << Paths{} << Paths{} << Paths{} << false << true;
    }
    void lists()
    {
        QFETCH(QString, key);
        QFETCH(Paths, before);
        QFETCH(Paths, selected);
        QFETCH(QString, action);
        QFETCH(Paths, argument);
        QFETCH(Paths, after);
        QFETCH(Paths, shown);
        QFETCH(Paths, selectedAfter);
        QFETCH(bool, buttonShown);
        QFETCH(bool, buttonEnabled);

        m_defaults->setStringList(key, before);
        auto checker = makeChecker({});
        auto view = makeView(*checker);
        const bool locations = key == StoredLists::customAppLocationsKey;
        RemovableList *list = locations ? view->locationsTab()->list() : view->ignoreTab()->list();
        QPushButton *button =
            locations ? view->locationsTab()->removeSelectedButton() : view->ignoreTab()->clearAllButton();
        list->setSelection(QSet<QString>(selected.begin(), selected.end()));

        if (action == QLatin1String("add")) {
            view->locationsTab()->setFolderChooser([argument](QWidget *) { return argument; });
            view->locationsTab()->addLocations();
        } else if (action == QLatin1String("removeSelected") || action == QLatin1String("clearAll")) {
            button->click();
        } else if (action == QLatin1String("minus")) {
            const int row = list->keys().indexOf(argument.first());
            const QRect minus = list->removeButtonRect(row);
            QVERIFY(!minus.isEmpty());
            QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, minus.center());
        }

        QCOMPARE(m_defaults->stringList(key), std::optional<QStringList>(after));
        QCOMPARE(list->keys(), shown);
        QCOMPARE(list->selection(), QSet<QString>(selectedAfter.begin(), selectedAfter.end()));
        QCOMPARE(!list->placeholder()->isHidden(), shown.isEmpty());
        QCOMPARE(!button->isHidden(), buttonShown);
        if (buttonShown)
            QCOMPARE(button->isEnabled(), buttonEnabled);
    }

    void minusButton_data()
    {
        QTest::addColumn<QString>("press"); // "button <row>", "text <row>", or a key
        QTest::addColumn<QString>("release");
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<Paths>("removed");
        QTest::addColumn<Paths>("selectedAfter");

        // "b" and "c" selected, "b" current.
        QTest::newRow("click") << "button 0" << "button 0" << Qt::LeftButton << Paths{"a"} << Paths{"b", "c"};
        QTest::newRow("click on a selected row") << "button 2" << "button 2" << Qt::LeftButton << Paths{"c"}
                                                 << Paths{"b", "c"};
        QTest::newRow("released off the button") << "button 0" << "text 0" << Qt::LeftButton << Paths{}
                                                 << Paths{"b", "c"};
        QTest::newRow("released on another row's button") << "button 0" << "button 1" << Qt::LeftButton << Paths{}
                                                          << Paths{"b", "c"};
        QTest::newRow("pressed off the button") << "text 0" << "button 0" << Qt::LeftButton << Paths{} << Paths{"a"};
        QTest::newRow("right button") << "button 0" << "button 0" << Qt::RightButton << Paths{} << Paths{"a"};
        QTest::newRow("Delete key: the current row") << "Delete" << "" << Qt::NoButton << Paths{"b"}
                                                     << Paths{"b", "c"};
    }
    // The painted minus button acts like a real one: a click asks for its row's
    // removal and leaves the selection alone; anything less does nothing.
    void minusButton()
    {
        QFETCH(QString, press);
        QFETCH(QString, release);
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(Paths, removed);
        QFETCH(Paths, selectedAfter);

        RemovableList list(QStringLiteral("folder"), Qt::blue, QString(), Qt::ElideMiddle);
        list.setEntries({"a", "b", "c"}, {});
        list.resize(400, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.view()->setCurrentIndex(list.view()->model()->index(1, 0));
        list.setSelection({"b", "c"});
        QSignalSpy requests(&list, &RemovableList::removeRequested);

        QWidget *viewport = list.view()->viewport();
        const auto point = [&](const QString &spec) {
            const int row = spec.section(QLatin1Char(' '), 1).toInt();
            return spec.startsWith(QLatin1String("button")) ? list.removeButtonRect(row).center()
                                                            : list.view()->visualRect(list.view()->model()->index(row, 0)).center();
        };
        if (press == QLatin1String("Delete")) {
            list.view()->setFocus();
            QTest::keyClick(list.view(), Qt::Key_Delete);
        } else {
            QTest::mousePress(viewport, mouseButton, {}, point(press));
            QTest::mouseMove(viewport, point(release));
            QTest::mouseRelease(viewport, mouseButton, {}, point(release));
        }

        Paths asked;
        for (const QList<QVariant> &request : requests)
            asked << request.first().toString();
        QCOMPARE(asked, removed);
        QCOMPARE(list.selection(), QSet<QString>(selectedAfter.begin(), selectedAfter.end()));
    }

    void removalMovesCurrentRow_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("minus"); // else Delete
        QTest::addColumn<int>("count");
        for (const QString &key : {StoredLists::customAppLocationsKey, StoredLists::ignoredBundleIDsKey})
            for (const bool minus : {false, true})
                for (const int count : {4, 200})
                    QTest::addRow("%s, %s, %d rows", qPrintable(key), minus ? "minus" : "Delete", count)
                        << key << minus << count;
    }
    // Twice from the row before last, scrolled to the end: the row taking the
    // removed row's place is current and selected; the focus and the scroll stay.
    void removalMovesCurrentRow()
    {
        QFETCH(QString, key);
        QFETCH(bool, minus);
        QFETCH(int, count);
        Paths entries;
        for (int i = 0; i < count; ++i)
            entries << QStringLiteral("/e%1").arg(i, 4, 10, QLatin1Char('0'));
        m_defaults->setStringList(key, entries);
        auto checker = makeChecker({});
        auto view = makeView(*checker);
        const bool locations = key == StoredLists::customAppLocationsKey;
        view->setSelectedTab(QLatin1String(locations ? "locations" : "ignore"));
        RemovableList *list = locations ? view->locationsTab()->list() : view->ignoreTab()->list();
        QListView *listView = list->view();
        listView->setFocus();
        QScrollBar *bar = listView->verticalScrollBar();
        QTRY_VERIFY(listView->hasFocus() && (bar->maximum() > 0) == (count > 10));
        listView->scrollToBottom();
        listView->setCurrentIndex(listView->model()->index(count - 2, 0));
        QSignalSpy moved(listView->selectionModel(), &QItemSelectionModel::currentChanged);
        QVERIFY2(QAccessible::isActive(), "run on the platform with accessibility on");
        AccessibleEvents events;
        for (const int next : {count - 1, count - 3}) {
            const int scrolled = bar->value();
            moved.clear();
            events.clear();
            if (minus)
                QTest::mouseClick(listView->viewport(), Qt::LeftButton, {},
                                  list->removeButtonRect(listView->currentIndex().row()).center());
            else
                QTest::keyClick(listView, Qt::Key_Delete);
            Paths stored = entries.mid(0, count - 2);
            if (next == count - 1)
                stored << entries.last();
            QCOMPARE(m_defaults->stringList(key), std::optional<QStringList>(stored));
            // Once, while focused: what makes the view announce the row to a screen reader.
            QCOMPARE(moved.size(), 1);
            QCOMPARE(events.named(QAccessible::Focus), QStringList{entries.at(next)});
            QCOMPARE(list->selection(), QSet<QString>{entries.at(next)});
            QVERIFY(listView->hasFocus());
            QAccessibleInterface *focused = QAccessible::queryAccessibleInterface(listView)->focusChild();
            QVERIFY(focused && focused->text(QAccessible::Name) == entries.at(next));
            QCOMPARE(bar->value(), qMin(scrolled, bar->maximum()));
        }
    }

    void removalKeepsCurrentRow_data()
    {
        QTest::addColumn<int>("current"); // -1: none
        QTest::addColumn<int>("minusRow"); // -1: Delete
        QTest::addColumn<bool>("removed"); // else refused: the same rows come back
        QTest::addColumn<QString>("currentAfter"); // and the only one selected
        // Rows "a" to "d".
        QTest::newRow("refused") << 2 << -1 << false << "c";
        QTest::newRow("minus on a row above the current one") << 2 << 0 << true << "c";
        QTest::newRow("minus with no current row") << -1 << 1 << true << "c";
    }
    void removalKeepsCurrentRow()
    {
        QFETCH(int, current);
        QFETCH(int, minusRow);
        QFETCH(bool, removed);
        QFETCH(QString, currentAfter);
        RemovableList list(QStringLiteral("folder"), Qt::blue, QString(), Qt::ElideMiddle);
        QStringList keys{"a", "b", "c", "d"};
        list.setEntries(keys, {});
        connect(&list, &RemovableList::removeRequested, &list, [&](const QString &key) {
            if (removed)
                keys.removeAll(key);
            list.setEntries(keys, {});
        });
        list.resize(400, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.view()->setFocus();
        list.view()->setCurrentIndex(list.view()->model()->index(current, 0));
        if (minusRow < 0)
            QTest::keyClick(list.view(), Qt::Key_Delete);
        else
            QTest::mouseClick(list.view()->viewport(), Qt::LeftButton, {}, list.removeButtonRect(minusRow).center());
        QCOMPARE(list.view()->currentIndex().data().toString(), currentAfter);
        QCOMPARE(list.selection(), QSet<QString>{currentAfter});
    }

    void toolTips_data()
    {
        QTest::addColumn<bool>("onButton");
        QTest::addColumn<QString>("tip");
        QTest::newRow("button") << true << "Remove";
        QTest::newRow("text: the whole text") << false << "/a <b>long</b> path";
    }
    void toolTips()
    {
        QFETCH(bool, onButton);
        QFETCH(QString, tip);
        RemovableList list(QStringLiteral("folder"), Qt::blue, QString(), Qt::ElideMiddle);
        list.setEntries({"/a <b>long</b> path"}, {});
        list.resize(400, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QWidget *viewport = list.view()->viewport();
        const QPoint at = onButton ? list.removeButtonRect(0).center()
                                   : list.view()->visualRect(list.view()->model()->index(0, 0)).center();
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        QCOMPARE(shown.toPlainText(), tip);
        QToolTip::hideText();
    }

    void homeShownAsTilde_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        QTest::newRow("inside home") << "/home/ann/Apps" << "~/Apps";
        QTest::newRow("home itself") << "/home/ann" << "~";
        QTest::newRow("longer name") << "/home/anna/Apps" << "/home/anna/Apps";
        QTest::newRow("elsewhere") << "/Volumes/x/home/ann" << "/Volumes/x/home/ann";
    }
    void homeShownAsTilde()
    {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        QCOMPARE(SettingsLists::displayPath(path, QStringLiteral("/home/ann")), shown);
    }

    // The dialog really hands back every folder selected in it.
    void chooserReturnsEverySelectedFolder()
    {
        QDir(m_dir->path()).mkdir(QStringLiteral("A"));
        QDir(m_dir->path()).mkdir(QStringLiteral("B"));
        QTimer::singleShot(0, this, [this] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setDirectory(m_dir->path());
            auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
            QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
            view->selectAll();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QStringList chosen = chooseFoldersWithDialog(nullptr);
        chosen.sort();
        QCOMPARE(chosen, (QStringList{m_dir->filePath(QStringLiteral("A")), m_dir->filePath(QStringLiteral("B"))}));
    }

    void languageSavedOnlyOnSave()
    {
        auto checker = makeChecker({});
        auto view = makeView(*checker);
        LanguageSettingsView *tab = view->languageTab();
        QPushButton *save = tab->saveButton();
        QVERIFY(!save->isEnabled());
        tab->setDraftLanguage(AppLanguage::de);
        QVERIFY(save->isEnabled());
        tab->setDraftLanguage(AppLanguage::system);
        QVERIFY(!save->isEnabled());

        // Reopening the window drops the unsaved choice.
        tab->setDraftLanguage(AppLanguage::de);
        view->hide();
        view->show();
        QCOMPARE(tab->draftLanguage(), AppLanguage::system);
        QVERIFY(!m_defaults->contains(QStringLiteral("appLanguage")));

        tab->setDraftLanguage(AppLanguage::de);
        save->click();
        QCOMPARE(m_languages->language(), AppLanguage::de);
        QCOMPARE(m_defaults->string(QStringLiteral("appLanguage")), std::optional<QString>(QStringLiteral("de")));
        QCOMPARE(view->locale().language(), QLocale::German);
        QVERIFY(!save->isEnabled());
    }

    void updatesTab_data()
    {
        QTest::addColumn<QString>("feed"); // "none": no check; "": no feed URL configured
        QTest::addColumn<bool>("skip");
        QTest::addColumn<bool>("box");
        QTest::addColumn<int>("notes"); // -1 no notes area, else the area's scroll range is > 0 (1) or 0 (0)
        QTest::addColumn<bool>("upToDate");
        QTest::addColumn<bool>("lastChecked");
        QTest::addColumn<QString>("error");

        const QString current = UpdateChecker::currentVersion();
        const QString newer = QStringLiteral("{\"version\":\"999.0\",\"downloadURL\":\"https://example.org/q.zip\"%1}");
        QTest::newRow("nothing yet") << "none" << false << false << -1 << false << false << QString();
        QTest::newRow("up to date")
            << QStringLiteral("{\"version\":\"%1\",\"downloadURL\":\"https://example.org/q.zip\"}").arg(current)
            << false << false << -1 << true << true << QString();
        QTest::newRow("notes absent") << newer.arg(QString()) << false << true << -1 << false << true << QString();
        QTest::newRow("notes empty") << newer.arg(",\"notes\":\"\"") << false << true << -1 << false << true << QString();
        QTest::newRow("short notes") << newer.arg(",\"notes\":\"Faster.\"") << false << true << 0 << false << true
                                     << QString();
        QTest::newRow("long notes scroll")
            << newer.arg(",\"notes\":\"" + QStringLiteral("A line of notes.\\n").repeated(40) + "\"") << false << true
            << 1 << false << true << QString();
        QTest::newRow("skipped newer version") << newer.arg(QString()) << true << false << -1 << true << true
                                               << QString();
        QTest::newRow("feed not configured") << "" << false << false << -1 << false << false
                                             << "Update feed URL not configured.";
    }
    void updatesTab()
    {
        QFETCH(QString, feed);
        QFETCH(bool, skip);
        QFETCH(bool, box);
        QFETCH(int, notes);
        QFETCH(bool, upToDate);
        QFETCH(bool, lastChecked);
        QFETCH(QString, error);

        LocalHttpServer server;
        auto checker = makeChecker(feed.isEmpty() ? QUrl() : server.url());
        auto view = makeView(*checker);
        view->resize(560, 460);
        UpdateSettingsView *tab = view->updatesTab();
        view->setSelectedTab(QStringLiteral("updates"));

        if (feed.isEmpty()) {
            tab->checkNowButton()->click();
            QTRY_VERIFY(checker->lastError().has_value());
            QVERIFY(tab->busyIndicator()->isHidden());
            QVERIFY(tab->checkNowButton()->isEnabled());
        } else if (feed != QLatin1String("none")) {
            // A check started elsewhere turns the button into the busy indicator too.
            server.setMode(LocalHttpServer::Mode::hold);
            QSignalSpy finished(checker.get(), &UpdateChecker::checkFinished);
            checker->check(false);
            QVERIFY(tab->busyIndicator()->isVisible());
            QVERIFY(!tab->checkNowButton()->isEnabled());
            QTRY_COMPARE(server.requestCount(), 1);
            QVERIFY(server.answerHeld({200, feed.toUtf8(), "application/json"}));
            QVERIFY(finished.wait());
            QVERIFY(tab->busyIndicator()->isHidden());
            if (skip) {
                for (QPushButton *button : tab->updateBox()->findChildren<QPushButton *>())
                    if (button->text() == QLatin1String("Skip This Version"))
                        button->click();
            }
        }

        QCOMPARE(tab->updateBox()->isVisible(), box);
        QCOMPARE(tab->upToDateLabel()->isVisible(), upToDate);
        QCOMPARE(tab->lastCheckedLabel()->isVisible(), lastChecked);
        QCOMPARE(tab->errorLabel()->isVisible(), !error.isEmpty());
        QCOMPARE(tab->errorLabel()->text(), error);
        QCOMPARE(tab->notesArea()->isVisible(), notes >= 0);
        if (notes >= 0) {
            QVERIFY(tab->notesArea()->height() <= 120);
            QTRY_COMPARE(tab->notesArea()->verticalScrollBar()->maximum() > 0, notes == 1);
        }
    }

    // A newer version shows its box whichever optional fields the feed gives;
    // the notes show when given, the build and publication date never.
    void updatesTabOptionalFields_data()
    {
        QTest::addColumn<QString>("fields"); // added to a feed of a newer version
        QTest::addColumn<QString>("notes");  // empty: no notes area
        const QString build = QStringLiteral(",\"build\":\"b-4242\"");
        const QString date = QStringLiteral(",\"publishedAt\":\"2031-02-03T04:05:06Z\"");
        const QString notes = QStringLiteral(",\"notes\":\"Faster scans.\"");
        QTest::newRow("all given") << build + date + notes << "Faster scans.";
        QTest::newRow("all absent") << QString() << QString();
        QTest::newRow("all null") << ",\"build\":null,\"notes\":null,\"publishedAt\":null" << QString();
        QTest::newRow("notes null, others given") << build + date + ",\"notes\":null" << QString();
        QTest::newRow("build and date null, notes given") << ",\"build\":null,\"publishedAt\":null" + notes
                                                          << "Faster scans.";
    }
    void updatesTabOptionalFields()
    {
        QFETCH(QString, fields);
        QFETCH(QString, notes);
        LocalHttpServer server;
        server.setJson(("{\"version\":\"999.0\",\"downloadURL\":\"https://example.org/q.zip\"" + fields + "}").toUtf8());
        auto checker = makeChecker(server.url());
        auto view = makeView(*checker);
        view->resize(560, 460);
        view->setSelectedTab(QStringLiteral("updates"));
        UpdateSettingsView *tab = view->updatesTab();
        QSignalSpy finished(checker.get(), &UpdateChecker::checkFinished);
        tab->checkNowButton()->click();
        QVERIFY(finished.wait());

        QVERIFY(tab->updateBox()->isVisible());
        QVERIFY(!tab->upToDateLabel()->isVisible());
        QCOMPARE(tab->notesArea()->isVisible(), !notes.isEmpty());
        if (!notes.isEmpty())
            QCOMPARE(tab->notesArea()->text(), notes);
        QStringList shown;
        for (const QLabel *label : tab->findChildren<QLabel *>())
            if (label->isVisible())
                shown << label->text();
        QVERIFY(shown.contains(QStringLiteral("Version \u2068999.0\u2069 is available")));
        const QString all = shown.join(QLatin1Char('\n'));
        QVERIFY2(!all.contains(QLatin1String("4242")) && !all.contains(QLatin1String("2031")), qPrintable(all));
    }

    // Both switches start on and store only what the user changes.
    void switchesWriteOnlyOnChange()
    {
        auto checker = makeChecker({});
        auto view = makeView(*checker);
        const QList<QPair<QCheckBox *, const char *>> switches{
            {view->updatesTab()->automaticSwitch(), UpdateChecker::automaticKey},
            {view->privacyTab()->crashReportSwitch(), PrivacySettingsView::sentryEnabledKey}};
        for (const auto &[box, key] : switches) {
            QVERIFY(box->isChecked() && !m_defaults->contains(QString::fromLatin1(key)));
            box->click();
            QCOMPARE(m_defaults->boolValue(QString::fromLatin1(key)), std::optional<bool>(false));
            box->click();
            QCOMPARE(m_defaults->boolValue(QString::fromLatin1(key)), std::optional<bool>(true));
        }
    }

    void relativeDate_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("now") << qint64(0) << "en_US" << "now";
        QTest::newRow("hours") << qint64(-3 * 3600 - 59) << "en_US" << "3 hours ago";
        QTest::newRow("yesterday in German") << qint64(-86400 - 10) << "de_DE" << "gestern";
        QTest::newRow("weeks") << qint64(-15 * 86400) << "en_US" << "2 weeks ago";
    }
    void relativeDate()
    {
        QFETCH(qint64, offset);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const QDateTime now(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);
        QCOMPARE(relativeDateText(now.addSecs(offset), now, QLocale(locale)), expected);
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window_widgets.moc"
