#include "ui/shell/QuillmereApp.h"

#include "core/LanguageManager.h"
#include "core/UpdateChecker.h"
#include "platform/UserDefaults.h"
#include "ui/common/SymbolIcon.h"
#include "ui/help/HelpView.h"
#include "ui/main/ContentView.h"
#include "ui/settings/SettingsView.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>

QuillmereApp::QuillmereApp(const Services &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_delegate(*services.defaults, m_services.settings, *services.updater, *services.crashReporter)
{
    m_services.scanner.quitting = m_quitting.get_token();
}

QuillmereApp::~QuillmereApp()
{
    m_quitting.request_stop();
    // Windows are top-level and not our children: close what is still open.
    for (const QPointer<QMainWindow> &window : std::as_const(m_mainWindows))
        delete window.data();
    delete m_settingsWindow.data();
    delete m_helpWindow.data();
    delete m_aboutWindow.data();
}

void QuillmereApp::start()
{
    QGuiApplication::setQuitOnLastWindowClosed(AppDelegate::applicationShouldTerminateAfterLastWindowClosed());
    newMainWindow();
    // After the event loop has started, as a finished launch.
    QTimer::singleShot(0, this, [this] { m_delegate.applicationDidFinishLaunching(); });
}

QList<QMainWindow *> QuillmereApp::mainWindows() const
{
    QList<QMainWindow *> open;
    for (const QPointer<QMainWindow> &window : m_mainWindows) {
        if (window)
            open.append(window.data());
    }
    return open;
}

QMainWindow *QuillmereApp::newMainWindow()
{
    auto *window = new QMainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Quillmere"));
    window->setWindowIcon(SymbolIcon::appIcon());
    auto *content = new ContentView(m_services.scanner, *m_services.updater, *m_services.language, window);
    window->setCentralWidget(content);
    // No fixed minimum of its own: the content's, plus the menu bar.
    window->resize(1100, 720);
    connect(content, &ContentView::settingsRequested, this, &QuillmereApp::showSettings);
    addMenus(window);
    m_mainWindows.removeAll(nullptr);
    m_mainWindows.append(window);
    window->show();
    return window;
}

void QuillmereApp::addMenus(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();
    QMenu *file = bar->addMenu(tr("&File"));
    QAction *newWindow = file->addAction(tr("New Window"), this, &QuillmereApp::newMainWindow);
    newWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction *settings = file->addAction(tr("Settings…"), this, &QuillmereApp::showSettings);
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    settings->setMenuRole(QAction::PreferencesRole);
    file->addSeparator();
    QAction *quit = file->addAction(tr("Quit"), qApp, &QApplication::closeAllWindows);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu *help = bar->addMenu(tr("&Help"));
    QAction *helpWindow = help->addAction(tr("Quillmere Help"), this, &QuillmereApp::showHelp);
    helpWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Question));
    help->addAction(tr("Check for Updates…"), this, &QuillmereApp::checkForUpdates)
        ->setMenuRole(QAction::ApplicationSpecificRole);
    help->addSeparator();
    help->addAction(tr("About Quillmere"), this, &QuillmereApp::showAbout)->setMenuRole(QAction::AboutRole);
}

void QuillmereApp::bringForward(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void QuillmereApp::showSettings()
{
    if (!m_settingsWindow) {
        // The switch as stored now: a window reopened after a change shows that change,
        // though crash reporting itself keeps what was read at launch.
        const bool crashReporting =
            m_services.defaults->boolValue(QString::fromLatin1(AppDelegate::crashReportingKey), true);
        auto *settings =
            new SettingsView(*m_services.defaults, *m_services.language, *m_services.updater, crashReporting);
        // Made anew on each opening, so the lists are read afresh; the tab is kept.
        if (!m_settingsTab.isEmpty())
            settings->setSelectedTab(m_settingsTab);
        connect(settings->tabs(), &QTabWidget::currentChanged, this,
                [this, settings] { m_settingsTab = settings->selectedTab(); });
        m_settingsWindow = settings;
        m_settingsWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_settingsWindow->setWindowTitle(tr("Settings"));
        m_settingsWindow->setLocale(m_services.language->locale());
    }
    bringForward(m_settingsWindow);
}

void QuillmereApp::showHelp()
{
    if (!m_helpWindow) {
        m_helpWindow = new HelpView(m_services.settings);
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_helpWindow->setWindowTitle(tr("Quillmere Help"));
        m_helpWindow->resize(620, 740);
    }
    bringForward(m_helpWindow);
}

void QuillmereApp::showAbout()
{
    if (m_aboutWindow) {
        bringForward(m_aboutWindow);
        return;
    }
    auto *about = new QMessageBox(QMessageBox::NoIcon, tr("About Quillmere"), QStringLiteral("<b>Quillmere</b>"),
                                  QMessageBox::Ok);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setIconPixmap(SymbolIcon::appIcon().pixmap(64, 64));
    about->setInformativeText(tr("Version %1").arg(m_services.settings.version) + QStringLiteral("\n\n")
                              + m_services.settings.about);
    about->setWindowModality(Qt::NonModal);
    m_aboutWindow = about;
    about->show();
}

void QuillmereApp::checkForUpdates()
{
    // Returns at once; the result arrives through the checker's published state.
    QTimer::singleShot(0, m_services.updater, [updater = m_services.updater] { updater->check(false); });
}
