#include "support/FakeOsascript.h"

#include "platform/ToolRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const kFlag = "--fake-osascript";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(data);
}

QString quotedForSh(const QString &text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

bool removeEntry(const QString &path)
{
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0)
        return false;
    if (S_ISDIR(st.st_mode))
        return QDir(path).removeRecursively();
    return ::unlink(native.constData()) == 0;
}

}

FakeOsascript::FakeOsascript(const QString &sandbox, ToolRunner &runner)
{
    const QString executable = m_state.path() + QStringLiteral("/osascript");
    const QString body = QStringLiteral("#!/bin/sh\nexec %1 %2 %3 %4 \"$@\"\n")
                             .arg(quotedForSh(QCoreApplication::applicationFilePath()), QString::fromLatin1(kFlag),
                                  quotedForSh(m_state.path()), quotedForSh(sandbox));
    writeFile(executable, body.toUtf8());
    QFile::setPermissions(executable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    runner.setToolPath(QStringLiteral("/usr/bin/osascript"), executable);
    setBehaviour(Behaviour::Remove);
}

void FakeOsascript::setBehaviour(Behaviour behaviour)
{
    writeFile(m_state.path() + QStringLiteral("/behaviour"), QByteArray::number(int(behaviour)));
}

void FakeOsascript::keep(const QStringList &paths)
{
    QByteArray content;
    for (const QString &path : paths)
        content += path.toUtf8() + '\0';
    writeFile(m_state.path() + QStringLiteral("/keep"), content);
}

QList<AdminCommand::Parsed> FakeOsascript::requests() const
{
    QList<AdminCommand::Parsed> requests;
    for (int i = 1;; ++i) {
        const QString file = m_state.path() + QStringLiteral("/script-%1").arg(i);
        if (!QFileInfo::exists(file))
            return requests;
        requests << AdminCommand::parse(QString::fromUtf8(readFile(file))).value_or(AdminCommand::Parsed{});
    }
}

std::optional<int> FakeOsascript::runIfRequested(int argc, char **argv)
{
    if (argc < 4 || std::strcmp(argv[1], kFlag) != 0)
        return std::nullopt;
    const QString state = QFile::decodeName(argv[2]);
    const QString sandbox = QFile::decodeName(argv[3]);
    QStringList arguments;
    for (int i = 4; i < argc; ++i)
        arguments << QString::fromUtf8(argv[i]);

    int run = 1;
    while (QFileInfo::exists(state + QStringLiteral("/script-%1").arg(run)))
        ++run;
    writeFile(state + QStringLiteral("/script-%1").arg(run), arguments.value(1).toUtf8());

    const auto behaviour = Behaviour(readFile(state + QStringLiteral("/behaviour")).toInt());
    if (arguments.size() != 2 || arguments[0] != QLatin1String("-e")) {
        std::fputs("osascript: usage\n", stderr);
        return 2;
    }
    switch (behaviour) {
    case Behaviour::CancelByStatus:
        return 128;
    case Behaviour::CancelByText:
        std::fputs("0:213: execution error: User canceled. (-128)\n", stderr);
        return 1;
    case Behaviour::RemoveNothing:
        return 0;
    default:
        break;
    }

    const auto parsed = AdminCommand::parse(arguments[1]);
    if (!parsed) {
        std::fputs("0:1: syntax error: not an administrator removal (-2741)\n", stderr);
        return 1;
    }
    if (behaviour == Behaviour::ListOnly) {
        for (const QString &p : parsed->paths)
            std::fputs((p + QLatin1Char('\r')).toUtf8().constData(), stdout);
        return 0;
    }
    if (behaviour == Behaviour::Flood) {
        for (int i = 0; i < 200000; ++i)
            std::printf("%s/inner/file-%d\n", sandbox.toUtf8().constData(), i);
    }
    const QList<QByteArray> kept = readFile(state + QStringLiteral("/keep")).split('\0');
    int exitCode = 0;
    for (qsizetype i = 0; i < parsed->paths.size(); ++i) {
        const QString &p = parsed->paths[i];
        const bool allowed = ScannerEngine::isPlainPath(p) && p.startsWith(sandbox + QLatin1Char('/'))
            && !kept.contains(p.toUtf8()) && !(behaviour == Behaviour::FailAfterFirst && i > 0);
        if (allowed) {
            struct stat st;
            const QByteArray native = QFile::encodeName(p);
            // As with rm -f, a path that is not there is no error.
            if (::lstat(native.constData(), &st) != 0 && errno == ENOENT)
                continue;
            // The administrator may write where the user may not.
            const QByteArray parent = QFile::encodeName(QFileInfo(p).path());
            if (::access(parent.constData(), W_OK) != 0)
                ::chmod(parent.constData(), 0755);
            if (removeEntry(p)) {
                std::fputs((p + QLatin1Char('\n')).toUtf8().constData(), stdout);
                continue;
            }
        }
        std::fprintf(stderr, "rm: %s: Operation not permitted\n", p.toUtf8().constData());
        exitCode = 1;
    }
    std::fflush(stdout);
    return exitCode;
}
