#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "support/LocalHttpServer.h"
#include "support/OpenGate.h"
#include "support/ScannerFixture.h"
#include "support/ScannerPublisher.h"
#include "ui/main/ContentView.h"
#include "ui/settings/PrivacySettingsView.h"
#include "ui/settings/SettingsView.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/QuillmereApp.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLayout>
#include <QTabWidget>
#include <QMainWindow>
#include <QTest>
#include <QThreadPool>

#include <memory>

class RecordingStarter : public CrashReporterStarter
{
public:
    void start(const CrashReportingOptions &options) override { starts.append(options); }
    QList<CrashReportingOptions> starts;
};

// An application over a fake Mac, started: one main window.
struct StartedApp
{
    ScannerFixture fixture;
    LocalHttpServer server;
    UpdateChecker updater{fixture.defaults, fixture.workspace, server.url(), 5000};
    RecordingStarter starter;
    QuillmereApp app{{fixture.services(), &updater, &fixture.language, &fixture.defaults, AppSettings::fallback(), &starter}};
    StartedApp() { app.start(); }
};

// The application shell: the launch sequence and its single windows.
class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void launchSequence_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("dsn");
        QTest::addColumn<bool>("starts");
        const QString dsn = QStringLiteral("https://key@example.org/1");
        QTest::newRow("absent: on") << QVariant() << dsn << true;
        QTest::newRow("text: on") << QVariant(QStringLiteral("no")) << dsn << true;
        QTest::newRow("false") << QVariant(false) << dsn << false;
        QTest::newRow("empty DSN") << QVariant(true) << QString() << false;
        QTest::newRow("placeholder DSN") << QVariant(true) << QStringLiteral("YOUR_SENTRY_DSN_HERE") << false;
    }

    // Crash reporting starts only when allowed and configured; the update check runs every time.
    void launchSequence()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, dsn);
        QFETCH(bool, starts);
        ScannerFixture fixture;
        if (stored.isValid())
            fixture.defaults.setValue(QString::fromLatin1(AppDelegate::crashReportingKey), stored);
        LocalHttpServer server;
        server.setJson("{\"version\":\"0.0.1\",\"downloadURL\":\"https://example.org/q\"}");
        UpdateChecker updater(fixture.defaults, fixture.workspace, server.url(), 5000);
        AppSettings settings = AppSettings::fallback();
        settings.sentryDSN = dsn;
        RecordingStarter starter;

        AppDelegate delegate(fixture.defaults, settings, updater, starter);
        delegate.applicationDidFinishLaunching();
        QCOMPARE(starter.starts.size(), starts ? 1 : 0);
        // Written out: a changed value or order here changes what a crash report may carry.
        const CrashReportingOptions options{{"dsn", dsn},
                                            {"debug", false},
                                            {"sendDefaultPii", false},
                                            {"tracesSampleRate", 0},
                                            {"enableAppHangTracking", false},
                                            {"enableCaptureFailedRequests", false},
                                            {"enableAutoSessionTracking", false},
                                            {"maxBreadcrumbs", 0},
                                            {"enableUncaughtNSExceptionReporting", false},
                                            {"enableSwizzling", false}};
        if (starts)
            QCOMPARE(starter.starts.first(), options);
        QTRY_COMPARE(server.requestCount(), 1);
    }

    // Launch opens one idle main window; Help and Settings are single windows.
    void singleWindows()
    {
        StartedApp started;
        QuillmereApp &app = started.app;
        QCOMPARE(app.mainWindows().size(), 1);
        QMainWindow *main = app.mainWindows().first();
        const Scanner &scanner = static_cast<ContentView *>(main->centralWidget())->scanner();
        QVERIFY(!scanner.isScanning() && !scanner.isLoadingRoster());

        const auto action = [main](const QString &text) {
            for (QAction *a : main->findChildren<QAction *>()) {
                if (a->text() == text)
                    return a;
            }
            return static_cast<QAction *>(nullptr);
        };
        action(QStringLiteral("Quillmere Help"))->trigger();
        QWidget *help = app.helpWindow();
        QVERIFY(help && help->isVisible());
        action(QStringLiteral("Quillmere Help"))->trigger();
        QCOMPARE(app.helpWindow(), help);

        action(QStringLiteral("Settings…"))->trigger();
        auto *settings = static_cast<SettingsView *>(app.settingsWindow());
        static_cast<ContentView *>(main->centralWidget())->openSettingsWindow();
        QCOMPARE(app.settingsWindow(), settings);
        // Reopened after the crash-report switch was turned off (launch long finished), the
        // window shows it off, on the tab last chosen.
        QCoreApplication::processEvents();
        settings->tabs()->setCurrentWidget(settings->privacyTab());
        settings->privacyTab()->crashReportSwitch()->setChecked(false);
        settings->close();
        QTRY_VERIFY(!app.settingsWindow());
        action(QStringLiteral("Settings…"))->trigger();
        settings = static_cast<SettingsView *>(app.settingsWindow());
        QCOMPARE(settings->selectedTab(), QStringLiteral("privacy"));
        QVERIFY(!settings->privacyTab()->crashReportSwitch()->isChecked());

        action(QStringLiteral("About Quillmere"))->trigger();
        QWidget *about = app.aboutWindow();
        QVERIFY(about && about->isVisible());
        action(QStringLiteral("About Quillmere"))->trigger();
        QCOMPARE(app.aboutWindow(), about);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [about](QWidget *w) { return w->isVisible() && w->windowTitle() == about->windowTitle(); }),
                 1);

        action(QStringLiteral("New Window"))->trigger();
        QCOMPARE(app.mainWindows().size(), 2);
        QVERIFY(app.mainWindows().last() != main);
    }

    // At its minimum size each window shows all of its content: the main window's
    // content keeps 960 x 580 below the menu bar, its action bar whole under both banners.
    void minimumSizes()
    {
        StartedApp started;
        QuillmereApp &app = started.app;
        QMainWindow *main = app.mainWindows().first();
        auto *content = static_cast<ContentView *>(main->centralWidget());
        ScannerPublisher::setTccAccessDenied(content->scanner(), true);
        ScannerPublisher::setRemovalFailures(content->scanner(), {ScannerFixture::row(QStringLiteral("A"), QStringLiteral("/x"))});
        app.showSettings();
        app.showHelp();

        const struct
        {
            QWidget *window;
            QWidget *content;
            QSize floor;
        } windows[] = {{main, content, {960, 580}},
                       {app.settingsWindow(), app.settingsWindow(), {520, 380}},
                       {app.helpWindow(), app.helpWindow(), {520, 400}}};
        for (const auto &w : windows) {
            w.window->resize(w.window->minimumSize());
            QTRY_COMPARE(w.window->size(), w.window->minimumSize());
            QCoreApplication::processEvents();
            const QSize shown = w.content->size();
            QVERIFY2(shown.width() >= w.floor.width() && shown.height() >= w.floor.height(), qPrintable(w.window->windowTitle()));
            QVERIFY2(shown.expandedTo(w.content->layout()->minimumSize()) == shown, qPrintable(w.window->windowTitle()));
        }
        auto *actionBar = content->findChild<QWidget *>(QStringLiteral("actionBar"));
        QCOMPARE(actionBar->mapTo(content, actionBar->rect().bottomLeft()).y(), content->height() - 1);
        QVERIFY(actionBar->height() >= actionBar->minimumSizeHint().height());
    }

    // The application going stops its window's full scan at the next phase,
    // so the process does not wait for the walk. The scan is held walking a
    // cache folder while the application goes.
    void quittingStopsAWindowsScan()
    {
        ScannerFixture f;
        f.mac.createFileOfSize(QStringLiteral("~/Library/Caches/com.gone.cache/x"), 10);
        OpenGate gate(f.mac.path(QStringLiteral("~/Library/Caches/com.gone.cache")));
        if (!gate.isValid())
            QSKIP("fanotify is not available to hold the walk");
        LocalHttpServer server;
        UpdateChecker updater{f.defaults, f.workspace, server.url(), 5000};
        RecordingStarter starter;
        auto app = std::make_unique<QuillmereApp>(QuillmereApp::Services{
            f.services(), &updater, &f.language, &f.defaults, AppSettings::fallback(), &starter});
        app->start();
        static_cast<ContentView *>(app->mainWindows().first()->centralWidget())->scanner().scan();
        QVERIFY(gate.waitForOpen(20000));
        app.reset();
        gate.release();
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(f.logMessages().last(), QStringLiteral("=== Scan stopped: the application quit ==="));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell_widgets.moc"
