#include "platform/ToolRunner.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <csignal>
#include <unistd.h>

void ToolRunner::setToolPath(const QString &tool, const QString &executable)
{
    m_overrides.insert(tool, executable);
}

QString ToolRunner::executableFor(const QString &tool) const
{
    return m_overrides.value(tool, tool);
}

namespace {
void appendLimited(QByteArray &target, const QByteArray &chunk, qsizetype limit)
{
    const qsizetype room = limit - target.size();
    if (room > 0)
        target.append(chunk.left(room));
}
}

ToolResult ToolRunner::run(const QString &tool, const QStringList &arguments, const Options &options) const
{
    ToolResult result;
    QProcess process;
    process.setProgram(executableFor(tool));
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (options.output == OutputMode::Inherit)
        process.setProcessChannelMode(QProcess::ForwardedChannels);
    // A group of its own, so that a time-out also stops what the tool started
    // (a script's children would otherwise run on, holding our pipes).
    process.setChildProcessModifier([] { ::setpgid(0, 0); });

    process.start();
    if (!process.waitForStarted(-1)) {
        result.errorString = process.errorString();
        return result;
    }
    result.started = true;

    QByteArray pendingLine;
    const auto drain = [&] {
        if (options.output == OutputMode::Inherit)
            return;
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        if (options.output == OutputMode::Discard)
            return;
        appendLimited(result.standardError, err, options.captureLimit);
        if (!options.onOutputLine) {
            appendLimited(result.standardOutput, out, options.captureLimit);
            return;
        }
        pendingLine.append(out);
        qsizetype start = 0;
        for (qsizetype nl = pendingLine.indexOf('\n'); nl >= 0; nl = pendingLine.indexOf('\n', start)) {
            QByteArray line = pendingLine.mid(start, nl - start);
            if (line.endsWith('\r'))
                line.chop(1);
            options.onOutputLine(line);
            start = nl + 1;
        }
        pendingLine.remove(0, start);
        // A line longer than the limit is not a line we want: drop what we hold of it.
        if (pendingLine.size() > options.captureLimit)
            pendingLine.clear();
    };

    // QProcess reads both pipes while it waits, so neither can fill up; we take
    // what arrived in slices so that a callback sees lines as they come.
    QDeadlineTimer deadline(options.timeoutMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(options.timeoutMs));
    while (process.state() != QProcess::NotRunning) {
        if (process.waitForFinished(50))
            break;
        drain();
        if (deadline.hasExpired()) {
            result.timedOut = true;
            if (const qint64 pid = process.processId(); pid > 0)
                ::kill(-pid_t(pid), SIGKILL);
            process.kill();
            process.waitForFinished(-1);
            break;
        }
    }
    drain();
    if (options.onOutputLine && !pendingLine.isEmpty())
        options.onOutputLine(pendingLine);

    result.crashed = process.exitStatus() == QProcess::CrashExit && !result.timedOut;
    result.exitCode = (result.crashed || result.timedOut) ? -1 : process.exitCode();
    if (result.timedOut)
        result.errorString = QStringLiteral("timed out");
    return result;
}
