#pragma once

#include "model/InstalledApp.h"
#include "model/LeftoverItem.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

// The application's one log: time-stamped lines appended to
// ~/Library/Logs/Quillmere/Quillmere.log and kept (the newest 5000) in `entries`
// for the log sheet. `entries` lives on the main thread; `log` may be called from
// any thread.
class AppLogger : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList entries READ entries NOTIFY entriesChanged)

public:
    static constexpr int maxEntries = 5000;

    // Logs into homeFolder + "/Library/Logs/Quillmere/Quillmere.log".
    explicit AppLogger(const QString &homeFolder, QObject *parent = nullptr);

    // The instance for the real home folder, made on first use and never destroyed.
    static AppLogger &shared();

    QString logFilePath() const { return m_logFilePath; }
    QString homeFolder() const { return m_homeFolder; }

    // Main thread only.
    QStringList entries() const { return m_entries; }
    // The log sheet's "Clear": the file keeps everything.
    void clearEntries();

    // Callable from any thread. The line is in the file when this returns; it
    // reaches `entries` shortly after, on the main thread.
    void log(const QString &message);

    // Report lines of the scan, the removals and the roster.
    void logLoadedApps(int count);
    void logSection(const QString &title, const QList<LeftoverItem> &items);
    void logSuppressed(int count);
    void logScanFinished(int shown, bool tccDenied);
    void logTrashed(const QList<LeftoverItem> &items);
    void logInstalledApps(const QList<InstalledApp> &apps);

    // A message as it is written: line breaks become the two characters "\n" / "\r".
    static QString escaped(const QString &message);

signals:
    void entriesChanged();

private:
    // Writes the messages as consecutive lines, so that a report section is
    // never split by another thread's line.
    void logLines(const QStringList &messages);
    void appendToFile(const QByteArray &bytes);
    void flushPending();

    QString m_homeFolder;
    QString m_logFilePath;
    QStringList m_entries;

    // Lines written to the file but not yet handed to `entries`.
    QMutex m_pendingMutex;
    QStringList m_pending;
};
