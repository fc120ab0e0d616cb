#pragma once

#include <QWidget>

class QCheckBox;
class UserDefaults;

// The Privacy tab: the crash-report switch, read at the next launch.
class PrivacySettingsView : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *sentryEnabledKey = "privacy.sentryEnabled";

    PrivacySettingsView(UserDefaults &defaults, bool sentryEnabled, QWidget *parent = nullptr);

    QCheckBox *crashReportSwitch() const { return m_switch; }

private:
    UserDefaults &m_defaults;
    QCheckBox *m_switch;
};
