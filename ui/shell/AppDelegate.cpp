#include "ui/shell/AppDelegate.h"

#include "core/UpdateChecker.h"
#include "platform/UserDefaults.h"

AppDelegate::AppDelegate(UserDefaults &defaults, const AppSettings &settings, UpdateChecker &updater,
                         CrashReporterStarter &crashReporter)
    : m_defaults(defaults)
    , m_settings(settings)
    , m_updater(updater)
    , m_crashReporter(crashReporter)
    , m_isCrashReportingEnabled(defaults.boolValue(QString::fromLatin1(crashReportingKey), true))
{
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_isCrashReportingEnabled = m_defaults.boolValue(QString::fromLatin1(crashReportingKey), true);
    const QString &dsn = m_settings.sentryDSN;
    if (m_isCrashReportingEnabled && !dsn.isEmpty() && dsn != QLatin1String(placeholderDSN))
        m_crashReporter.start(configureCrashReporting(dsn));
    m_updater.checkIfDue();
}

CrashReportingOptions AppDelegate::configureCrashReporting(const QString &dsn)
{
    // Nothing personal, no tracing, sessions, hangs, breadcrumbs or hooks: crashes only.
    return {
        {QStringLiteral("dsn"), dsn},
        {QStringLiteral("debug"), false},
        {QStringLiteral("sendDefaultPii"), false},
        {QStringLiteral("tracesSampleRate"), 0},
        {QStringLiteral("enableAppHangTracking"), false},
        {QStringLiteral("enableCaptureFailedRequests"), false},
        {QStringLiteral("enableAutoSessionTracking"), false},
        {QStringLiteral("maxBreadcrumbs"), 0},
        {QStringLiteral("enableUncaughtNSExceptionReporting"), false},
        {QStringLiteral("enableSwizzling"), false},
    };
}
