#pragma once

#include "model/AppSettings.h"
#include "ui/shell/CrashReporterStarter.h"

class UpdateChecker;
class UserDefaults;

// What the application does once it has finished launching: start crash
// reporting when the user allows it and a DSN is configured, then ask for
// an update check when one is due. Nothing is scanned or removed.
class AppDelegate
{
public:
    static constexpr const char *crashReportingKey = "privacy.sentryEnabled";
    static constexpr const char *placeholderDSN = "YOUR_SENTRY_DSN_HERE";

    AppDelegate(UserDefaults &defaults, const AppSettings &settings, UpdateChecker &updater,
                CrashReporterStarter &crashReporter);

    // Runs once.
    void applicationDidFinishLaunching();
    // Closing the last window quits.
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // The switch as read at launch (on while absent or not a Boolean).
    bool isCrashReportingEnabled() const { return m_isCrashReportingEnabled; }

    static CrashReportingOptions configureCrashReporting(const QString &dsn);

private:
    UserDefaults &m_defaults;
    const AppSettings &m_settings;
    UpdateChecker &m_updater;
    CrashReporterStarter &m_crashReporter;
    bool m_isCrashReportingEnabled;
};
