#pragma once

#include "core/ScannerServices.h"
#include "model/AppSettings.h"
#include "ui/shell/AppDelegate.h"

#include <QList>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <stop_token>

class ContentView;
class LanguageManager;
class UpdateChecker;
class UserDefaults;

// The application as a whole: its main windows, the one settings window, the
// one help window, their menus, and the delegate's launch sequence.
class QuillmereApp : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        ScannerServices scanner;
        UpdateChecker *updater = nullptr;
        LanguageManager *language = nullptr;
        UserDefaults *defaults = nullptr;
        AppSettings settings;
        CrashReporterStarter *crashReporter = nullptr;
    };

    explicit QuillmereApp(const Services &services, QObject *parent = nullptr);
    ~QuillmereApp() override;

    // Opens the first main window and runs the launch sequence.
    void start();

    const AppDelegate &delegate() const { return m_delegate; }
    // The open main windows, oldest first.
    QList<QMainWindow *> mainWindows() const;
    QWidget *settingsWindow() const { return m_settingsWindow; }
    QWidget *helpWindow() const { return m_helpWindow; }
    QWidget *aboutWindow() const { return m_aboutWindow; }

public slots:
    QMainWindow *newMainWindow();
    void showSettings();
    void showHelp();
    void showAbout();
    void checkForUpdates();

private:
    void addMenus(QMainWindow *window);
    static void bringForward(QWidget *window);

    // Requested as the application goes, so that the process exits without
    // waiting for scans whose windows are gone.
    std::stop_source m_quitting;
    Services m_services;
    AppDelegate m_delegate;
    QList<QPointer<QMainWindow>> m_mainWindows;
    QPointer<QWidget> m_settingsWindow;
    QPointer<QWidget> m_helpWindow;
    QPointer<QWidget> m_aboutWindow;
    // The settings tab last chosen: a reopened settings window starts on it.
    QString m_settingsTab;
};
