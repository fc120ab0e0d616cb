#pragma once

#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "support/LocalHttpServer.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "ui/common/ElidedLabel.h"
#include "ui/main/ContentView.h"
#include "ui/main/LeftoversTab.h"
#include "ui/main/LeftoversTableView.h"
#include "ui/main/RosterTab.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QThreadPool>

// A main window over a fake Mac whose update checker asks a local server.
// Header only: the support library does not link the window code.
class WindowFixture
{
public:
    ScannerFixture fixture;
    LocalHttpServer server;
    UpdateChecker updater{fixture.defaults, fixture.workspace, server.url(), 5000};
    QMainWindow main;
    ContentView *view = new ContentView(fixture.services(), updater, fixture.language);

    WindowFixture()
    {
        main.setCentralWidget(view);
        main.show();
        main.activateWindow();
    }
    // Background work (a removal's later steps, icon reads) must not outlive the fake Mac,
    // nor what it posts back to the main thread.
    ~WindowFixture()
    {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
    }

    // A new content over the services as they are now: the Scanner copies the tool
    // runner, so tools faked after the fixture was made need this.
    void remake()
    {
        view = new ContentView(fixture.services(), updater, fixture.language);
        main.setCentralWidget(view);
        view->show();
    }

    Scanner &scanner() const { return view->scanner(); }
    template <typename T = QWidget>
    T *child(const char *name) const { return view->findChild<T *>(QLatin1String(name)); }
    bool shows(const char *name) const { return child(name)->isVisible(); }

    // The status bar's texts, joined by blanks.
    QString status() const
    {
        QStringList texts;
        for (ElidedLabel *label : child("statusBar")->findChildren<ElidedLabel *>())
            texts << label->text();
        return texts.join(QLatin1Char(' '));
    }

    // Installed apps of these names (bundle ID "com.example.<name>"), their bundles on the fake Mac.
    QList<InstalledApp> publishApps(const QStringList &names)
    {
        QList<InstalledApp> apps;
        for (const QString &name : names) {
            InstalledApp app;
            app.name = name;
            app.bundleID = QStringLiteral("com.example.") + name.toLower();
            app.path = fixture.mac.createApp(QStringLiteral("/Applications/%1.app").arg(name), app.bundleID);
            apps.append(app);
        }
        ScannerPublisher::setInstalledApps(scanner(), apps);
        return apps;
    }

    // Right-clicks `row` of the roster and triggers the menu entry titled `title`.
    void chooseInRosterMenu(int row, const QString &title)
    {
        auto *table = child<QTableView>("rosterView");
        emit table->customContextMenuRequested(table->visualRect(table->model()->index(row, 0)).center());
        QMenu *menu = table->findChild<QMenu *>(QStringLiteral("rosterMenu"));
        QVERIFY(menu);
        for (QAction *action : menu->actions()) {
            if (action->text() == title) {
                action->trigger();
                delete menu;
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no entry ") + title));
    }
};
