#pragma once

#include <QWidget>

class LanguageManager;
class UpdateChecker;
class UserDefaults;

// The settings window's content.
class SettingsView : public QWidget
{
    Q_OBJECT

public:
    SettingsView(UserDefaults &defaults, LanguageManager &languageManager, UpdateChecker &updater,
                 bool isCrashReportingEnabled, QWidget *parent = nullptr);
};
