#pragma once

#include "core/AppcastEntry.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class UserDefaults;
class Workspace;

// Fetches the update feed, publishes what it names, and remembers the
// version the user chose to skip. Lives on the main thread; it never
// downloads or installs anything itself.
class UpdateChecker : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY isCheckingChanged)
    Q_PROPERTY(std::optional<AppcastEntry> latest READ latest NOTIFY latestChanged)
    Q_PROPERTY(std::optional<QDateTime> lastCheckedAt READ lastCheckedAt NOTIFY lastCheckedAtChanged)
    Q_PROPERTY(std::optional<QString> lastError READ lastError NOTIFY lastErrorChanged)
    Q_PROPERTY(bool hasUpdate READ hasUpdate NOTIFY hasUpdateChanged)

public:
    static constexpr const char *automaticKey = "updates.automatic";
    static constexpr const char *lastCheckedKey = "updates.lastChecked";
    static constexpr const char *skippedVersionKey = "updates.skippedVersion";

    static constexpr int defaultTimeoutMs = 15'000;
    // 23 hours, so a daily launch at roughly the same time still checks.
    static constexpr qint64 checkIntervalSeconds = 82'800;
    // A feed is a few hundred bytes; anything near this is not a feed.
    static constexpr qint64 maxFeedBytes = 1024 * 1024;

    UpdateChecker(UserDefaults &defaults, Workspace &workspace, const QUrl &feedURL, int timeoutMs,
                  QObject *parent = nullptr);

    // The application's checker: the user's defaults, the desktop's URL handler
    // and the feed URL of the settings resource. Created on first use (main thread).
    static UpdateChecker &shared();

    bool isChecking() const { return m_isChecking; }
    std::optional<AppcastEntry> latest() const { return m_latest; }
    std::optional<QDateTime> lastCheckedAt() const { return m_lastCheckedAt; }
    std::optional<QString> lastError() const { return m_lastError; }

    // `latest` names a version newer than ours that the user has not skipped.
    bool hasUpdate() const;
    // "updates.automatic"; on unless stored as false.
    bool isAutomatic() const;
    // The store itself; the settings window writes "updates.automatic" through it.
    UserDefaults &defaults() const { return m_defaults; }

    // The running application's version ("0" when the build names none).
    static QString currentVersion();
    // -1, 0 or 1 as `a` is older than, the same as or newer than `b`.
    static int compareVersions(const QString &a, const QString &b);

    // Replaces the clock (tests).
    void setClock(std::function<QDateTime()> now);

public slots:
    // Fetches the feed and publishes it. A silent check publishes no error.
    void check(bool silent);
    // Starts a silent check, later on the main thread, when automatic checks are
    // on and the last successful check is missing or at least 23 hours old.
    void checkIfDue();
    // Remembers `latest`'s version so it is no longer offered.
    void skipLatest();
    // Hands `latest`'s download URL to the desktop (web addresses only).
    void openDownload();

signals:
    void isCheckingChanged();
    void latestChanged();
    void lastCheckedAtChanged();
    void lastErrorChanged();
    void hasUpdateChanged();
    // One networked check has ended, successful or not.
    void checkFinished();

private:
    void finishCheck(QNetworkReply *reply, bool silent, bool tooLarge);
    void setLastError(const std::optional<QString> &error);
    void setChecking(bool checking);

    UserDefaults &m_defaults;
    Workspace &m_workspace;
    QUrl m_feedURL;
    int m_timeoutMs;
    std::function<QDateTime()> m_now;
    QNetworkAccessManager *m_network;

    // Overlapping checks each set this at their start and clear it at their end.
    bool m_isChecking = false;
    std::optional<AppcastEntry> m_latest;
    std::optional<QDateTime> m_lastCheckedAt;
    std::optional<QString> m_lastError;
};
