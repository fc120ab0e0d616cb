#pragma once

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/ScannerServices.h"
#include "model/LeftoverItem.h"
#include "platform/Trash.h"
#include "platform/UserDefaults.h"
#include "support/FakeMac.h"
#include "support/RecordingWorkspace.h"

#include <QList>
#include <QStringList>
#include <QUuid>

// Everything a Scanner needs, all under one fake Mac: the log under its home,
// a settings store, an English language manager, a Trash in the fake home and
// a workspace that records what it was asked to open. System tools default to
// paths that do not exist; tests point them at fake scripts.
class ScannerFixture
{
public:
    ScannerFixture();

    FakeMac mac;
    UserDefaults defaults;
    AppLogger logger;
    LanguageManager language;
    Trash trash;
    RecordingWorkspace workspace;
    ToolRunner runner;

    ScannerServices services();

    // The messages of the log file, in order, without their time stamps.
    QStringList logMessages() const;
    // Only the messages logged since the last call.
    QStringList newLogMessages();

    // A fake tool that records its arguments, prints `output`, runs the shell text `extra`
    // and exits with `exitCode`.
    QString fakeTool(const QString &systemPath, const QByteArray &output = QByteArray(), int exitCode = 0,
                     const QByteArray &extra = QByteArray());
    // One entry per call: its arguments joined by "|", in order.
    QStringList recordedCalls(const QString &systemPath) const;

    // The fake Mac apart from the Trash, the log and the fake tools' records.
    QMap<QString, QByteArray> fingerprint() const;

    // A row of `appName` (bundle ID "com.example.<appname>") with the given path.
    static LeftoverItem row(const QString &appName, const std::optional<QString> &path,
                            LeftoverType type = LeftoverType::cache);
    // The log line of a row moved to the Trash.
    static QString trashedLine(const LeftoverItem &item);
    // The ids of `items`, in order: what tests compare published lists by.
    static QList<QUuid> ids(const QList<LeftoverItem> &items);
    // Whether the entry itself is there (a dangling symbolic link counts).
    static bool exists(const QString &path);

private:
    qsizetype m_seen = 0;
};
