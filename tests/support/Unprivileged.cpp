#include "support/Unprivileged.h"

#include <QCoreApplication>
#include <QProcess>

#include <unistd.h>

bool Unprivileged::runningAsRoot()
{
    return ::geteuid() == 0;
}

int Unprivileged::rerun(const QString &testFunction, QByteArray *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/usr/bin/setpriv"),
                  {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                   QCoreApplication::applicationFilePath(), testFunction});
    if (!process.waitForFinished(-1)) {
        *output = process.errorString().toUtf8();
        return -1;
    }
    *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
