#include "support/ScannerFixture.h"

#include <QFile>
#include <QFileInfo>

ScannerFixture::ScannerFixture()
    : defaults(mac.path(QStringLiteral("~/.config/Quillmere/Quillmere.plist")))
    , logger(mac.home())
    , language(defaults)
    , trash(mac.path(QStringLiteral("~/.local/share/Trash")))
{
    language.setLanguage(AppLanguage::en);
    // No test may reach a real system tool.
    for (const char *tool : {"/usr/bin/sfltool", "/usr/bin/osascript", "/usr/bin/tccutil", "/bin/launchctl",
                             "/usr/bin/pkill"})
        runner.setToolPath(QString::fromLatin1(tool), mac.path(QStringLiteral("/nonexistent") + QLatin1String(tool)));
}

ScannerServices ScannerFixture::services()
{
    ScannerServices s;
    s.roots = mac.roots();
    s.runner = runner;
    s.logger = &logger;
    s.language = &language;
    s.defaults = &defaults;
    s.trash = &trash;
    s.workspace = &workspace;
    return s;
}

QStringList ScannerFixture::logMessages() const
{
    QFile file(logger.logFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList messages;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        // "[2026-01-01T00:00:00Z] message"
        const qsizetype close = line.indexOf("] ");
        messages << QString::fromUtf8(close >= 0 ? line.mid(close + 2) : line);
    }
    return messages;
}

QStringList ScannerFixture::newLogMessages()
{
    const QStringList all = logMessages();
    const QStringList fresh = all.mid(m_seen);
    m_seen = all.size();
    return fresh;
}

QString ScannerFixture::fakeTool(const QString &systemPath, const QByteArray &output, int exitCode,
                                 const QByteArray &extra)
{
    const QString base = QStringLiteral("/fake-tools") + systemPath;
    const QByteArray record = mac.path(base + QStringLiteral(".calls")).toUtf8();
    const QString outputFile = mac.createFile(base + QStringLiteral(".out"), output);
    const QString script = mac.createScript(
        base, "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + record + "'; done\nprintf '<end>\\n' >> '" + record
                  + "'\ncat '" + outputFile.toUtf8() + "'\n" + extra + "\nexit " + QByteArray::number(exitCode) + "\n");
    runner.setToolPath(systemPath, script);
    return script;
}

QStringList ScannerFixture::recordedCalls(const QString &systemPath) const
{
    QFile file(mac.path(QStringLiteral("/fake-tools") + systemPath + QStringLiteral(".calls")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList calls;
    QStringList current;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line != QLatin1String("<end>")) {
            current << line;
        } else {
            // "|" between the arguments keeps their boundaries visible.
            calls << current.join(QLatin1Char('|'));
            current.clear();
        }
    }
    return calls;
}

QMap<QString, QByteArray> ScannerFixture::fingerprint() const
{
    return mac.fingerprint({trash.filesPath().section(QLatin1Char('/'), 0, -2),
                            QFileInfo(logger.logFilePath()).absolutePath(), QStringLiteral("/fake-tools")});
}

LeftoverItem ScannerFixture::row(const QString &appName, const std::optional<QString> &path, LeftoverType type)
{
    LeftoverItem item;
    item.appName = appName;
    item.bundleID = QStringLiteral("com.example.") + appName.toLower();
    item.path = path;
    item.type = type;
    return item;
}

QString ScannerFixture::trashedLine(const LeftoverItem &item)
{
    return QStringLiteral("TRASHED: %1 [%2]  |  %3  |  \u2014  |  %4")
        .arg(item.appName, item.bundleID.value_or(QString()), LeftoverTypes::rawValue(item.type), item.path.value_or(QString()));
}

QList<QUuid> ScannerFixture::ids(const QList<LeftoverItem> &items)
{
    QList<QUuid> result;
    for (const LeftoverItem &item : items)
        result << item.id;
    return result;
}

bool ScannerFixture::exists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}
