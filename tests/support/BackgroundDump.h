#pragma once

#include "platform/ToolRunner.h"
#include "support/FakeMac.h"

#include <QFile>
#include <QStringList>

// Background-task dumps as the system tool prints them, and a fake tool that prints one.
namespace BackgroundDump {

// One record: a "UUID:" line, then indented key lines.
inline QString record(const QStringList &lines)
{
    return QStringLiteral("#1:\n    UUID: x\n    ") + lines.join(QStringLiteral("\n    ")) + QLatin1Char('\n');
}

// Points the runner's tool at a fake that prints `dump`; a null dump leaves the tool missing.
inline void serve(FakeMac &mac, ToolRunner &runner, const QString &dump)
{
    const QString tool = QStringLiteral("/usr/bin/sfltool");
    if (dump.isNull()) {
        runner.setToolPath(tool, mac.path(tool));
        return;
    }
    const QString file = mac.createFile(QStringLiteral("/tmp/btm-dump.txt"), dump.toUtf8());
    runner.setToolPath(tool, mac.createScript(QStringLiteral("/tmp/sfltool"), "cat '" + QFile::encodeName(file) + "'\n"));
}

}
