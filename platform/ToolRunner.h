#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// What happened when a system tool was run.
struct ToolResult
{
    bool started = false;   // false: the tool could not be started (missing, not executable)
    bool timedOut = false;  // killed after the time-out
    bool crashed = false;   // ended by a signal
    int exitCode = -1;
    QByteArray standardOutput; // only with OutputMode::Capture, and only up to the capture limit
    QByteArray standardError;
    QString errorString;

    bool succeeded() const { return started && !timedOut && !crashed && exitCode == 0; }
};

// The one way the system starts a tool: by absolute path, arguments as
// separate elements, never through a shell. Tests replace a tool's path with
// a fake script (setToolPath) that records its arguments.
class ToolRunner
{
public:
    enum class OutputMode {
        Capture, // both pipes read (at the same time, so neither can fill and stall)
        Discard, // both pipes drained and dropped
        Inherit, // the application's own standard output and error
    };

    struct Options
    {
        OutputMode output = OutputMode::Capture;
        int timeoutMs = -1; // -1: no time-out
        // Called for every complete line of standard output (without its line end),
        // while the tool runs. With a callback the output is not kept in the result.
        std::function<void(const QByteArray &line)> onOutputLine;
        // Captured output beyond this is dropped (the pipes are still drained).
        qsizetype captureLimit = 64 * 1024 * 1024;
    };

    // Runs `tool` (its system path, e.g. "/usr/bin/sfltool") and waits for it on
    // the calling thread.
    ToolResult run(const QString &tool, const QStringList &arguments, const Options &options) const;
    ToolResult run(const QString &tool, const QStringList &arguments) const { return run(tool, arguments, Options{}); }

    // Replace the executable that is started for `tool`.
    void setToolPath(const QString &tool, const QString &executable);
    QString executableFor(const QString &tool) const;

private:
    QHash<QString, QString> m_overrides;
};
