#include "core/Scanner.h"
#include "core/UpdateChecker.h"
#include "support/LocalHttpServer.h"
#include "support/ScannerFixture.h"
#include "ui/main/ContentView.h"
#include "ui/settings/PrivacySettingsView.h"
#include "ui/settings/SettingsView.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/QuillmereApp.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMainWindow>
#include <QTest>

class RecordingStarter : public CrashReporterStarter
{
public:
    void start(const CrashReportingOptions &options) override { starts.append(options); }
    QList<CrashReportingOptions> starts;
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
        QTest::newRow("true") << QVariant(true) << dsn << true;
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
        if (starts)
            QCOMPARE(starter.starts.first().first(), (QPair<QString, QVariant>("dsn", dsn)));
        QTRY_COMPARE(server.requestCount(), 1);
    }

    // Launch opens one idle main window; Help and Settings are single windows.
    void singleWindows()
    {
        ScannerFixture fixture;
        LocalHttpServer server;
        UpdateChecker updater(fixture.defaults, fixture.workspace, server.url(), 5000);
        RecordingStarter starter;
        QuillmereApp app({fixture.services(), &updater, &fixture.language, &fixture.defaults, AppSettings::fallback(),
                          &starter});
        app.start();
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
        QCOMPARE(help->windowTitle(), QStringLiteral("Quillmere Help"));
        action(QStringLiteral("Quillmere Help"))->trigger();
        QCOMPARE(app.helpWindow(), help);

        action(QStringLiteral("Settings…"))->trigger();
        QWidget *settings = app.settingsWindow();
        static_cast<ContentView *>(main->centralWidget())->openSettingsWindow();
        QCOMPARE(app.settingsWindow(), settings);
        // Reopened after the crash-report switch was turned off (launch long finished), the window shows it off.
        QCoreApplication::processEvents();
        static_cast<SettingsView *>(settings)->privacyTab()->crashReportSwitch()->setChecked(false);
        settings->close();
        QTRY_VERIFY(!app.settingsWindow());
        action(QStringLiteral("Settings…"))->trigger();
        QVERIFY(!static_cast<SettingsView *>(app.settingsWindow())->privacyTab()->crashReportSwitch()->isChecked());

        action(QStringLiteral("New Window"))->trigger();
        QCOMPARE(app.mainWindows().size(), 2);
        QVERIFY(app.mainWindows().last() != main);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell_widgets.moc"
