#pragma once

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/ScannerServices.h"
#include "platform/Trash.h"
#include "platform/UserDefaults.h"
#include "support/FakeMac.h"
#include "support/RecordingWorkspace.h"

#include <QStringList>

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

    // A fake tool that records its arguments, one per line, in `recordFile`
    // ("--" ends each call), prints `output` and exits with `exitCode`.
    QString fakeTool(const QString &systemPath, const QByteArray &output = QByteArray(), int exitCode = 0);
    QString recordFile(const QString &systemPath) const;
    QStringList recordedCalls(const QString &systemPath) const;

private:
    qsizetype m_seen = 0;
};
