#pragma once

#include <QWidget>

class IgnoreListSettingsView;
class LanguageManager;
class LanguageSettingsView;
class LocationsSettingsView;
class PrivacySettingsView;
class QTabWidget;
class UpdateChecker;
class UpdateSettingsView;
class UserDefaults;

// The settings window's content: five tabs over the stored settings.
class SettingsView : public QWidget
{
    Q_OBJECT

public:
    SettingsView(UserDefaults &defaults, LanguageManager &languageManager, UpdateChecker &updater,
                 bool isCrashReportingEnabled, QWidget *parent = nullptr);

    // "locations", "ignore", "updates", "privacy" or "language".
    QString selectedTab() const;
    void setSelectedTab(const QString &tag);

    QTabWidget *tabs() const { return m_tabs; }
    LocationsSettingsView *locationsTab() const { return m_locations; }
    IgnoreListSettingsView *ignoreTab() const { return m_ignore; }
    UpdateSettingsView *updatesTab() const { return m_updates; }
    PrivacySettingsView *privacyTab() const { return m_privacy; }
    LanguageSettingsView *languageTab() const { return m_language; }

protected:
    // Each showing starts from the current language: an unsaved choice is dropped.
    void showEvent(QShowEvent *event) override;

private:
    LanguageManager &m_languageManager;
    QTabWidget *m_tabs;
    LocationsSettingsView *m_locations;
    IgnoreListSettingsView *m_ignore;
    UpdateSettingsView *m_updates;
    PrivacySettingsView *m_privacy;
    LanguageSettingsView *m_language;
};
