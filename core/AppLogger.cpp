#include "core/AppLogger.h"

#include "model/ByteCountFormatter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

namespace {

// One lock for every writer of every log file in the process: lines are
// appended whole and in order, and a first line never replaces another.
QMutex &fileMutex()
{
    static QMutex mutex;
    return mutex;
}

QString countPhrase(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" item") : QStringLiteral(" items"));
}

QString bundlePart(const LeftoverItem &item)
{
    return item.bundleID ? QStringLiteral(" [") + *item.bundleID + QLatin1Char(']') : QString();
}

QString sizeText(qint64 size)
{
    return size < 1 ? QStringLiteral("\u2014") : ByteCountFormatter::string(size);
}

const QString kSeparator = QStringLiteral("  |  ");
const QString kSection = QStringLiteral("\u2500\u2500 ");

} // namespace

AppLogger::AppLogger(const QString &homeFolder, QObject *parent)
    : QObject(parent)
    , m_homeFolder(homeFolder)
    , m_logFilePath(homeFolder + QStringLiteral("/Library/Logs/Quillmere/Quillmere.log"))
{
    // The first use may come from a scan's worker thread; `entries` belongs to the main thread.
    QCoreApplication *app = QCoreApplication::instance();
    if (!parent && app && thread() != app->thread())
        moveToThread(app->thread());
    // A failure shows again (and is ignored again) at the first write.
    QDir().mkpath(QFileInfo(m_logFilePath).absolutePath());
}

AppLogger &AppLogger::shared()
{
    // Deliberately never destroyed: threads may still log while the process exits.
    static AppLogger *instance = new AppLogger(QDir::homePath());
    return *instance;
}

QString AppLogger::escaped(const QString &message)
{
    if (!message.contains(QLatin1Char('\n')) && !message.contains(QLatin1Char('\r')))
        return message;
    QString text = message;
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return text;
}

void AppLogger::log(const QString &message)
{
    logLines({message});
}

void AppLogger::logLines(const QStringList &messages)
{
    if (messages.isEmpty())
        return;
    QMutexLocker fileLock(&fileMutex());
    QStringList lines;
    lines.reserve(messages.size());
    QByteArray bytes;
    for (const QString &message : messages) {
        const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        const QString line = QLatin1Char('[') + time + QStringLiteral("] ") + escaped(message);
        bytes += line.toUtf8();
        bytes += '\n';
        lines.append(line);
    }
    appendToFile(bytes);

    // Queued while the file lock is held, so `entries` keeps the file's order.
    QMutexLocker pendingLock(&m_pendingMutex);
    const bool flushQueued = !m_pending.isEmpty();
    m_pending += lines;
    if (flushQueued)
        return;
    QPointer<AppLogger> guard(this);
    QMetaObject::invokeMethod(
        this,
        [guard] {
            if (guard)
                guard->flushPending();
        },
        Qt::QueuedConnection);
}

void AppLogger::appendToFile(const QByteArray &bytes)
{
    QFile file(m_logFilePath);
    // Append mode creates a missing file; a missing folder (deleted while we run) is made again.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        QDir().mkpath(QFileInfo(m_logFilePath).absolutePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return;
    }
    file.write(bytes);
}

void AppLogger::flushPending()
{
    QStringList lines;
    {
        QMutexLocker lock(&m_pendingMutex);
        lines.swap(m_pending);
    }
    if (lines.isEmpty())
        return;
    m_entries += lines;
    if (m_entries.size() > maxEntries)
        m_entries.remove(0, m_entries.size() - maxEntries);
    emit entriesChanged();
}

void AppLogger::clearEntries()
{
    {
        // Lines logged before the press are cleared too, even when not yet shown.
        QMutexLocker lock(&m_pendingMutex);
        m_pending.clear();
    }
    m_entries.clear();
    emit entriesChanged();
}

void AppLogger::logLoadedApps(int count)
{
    log(QStringLiteral("  Loaded ") + QString::number(count) + QStringLiteral(" installed app")
        + (count == 1 ? QString() : QStringLiteral("s")));
}

void AppLogger::logSection(const QString &title, const QList<LeftoverItem> &items)
{
    if (items.isEmpty()) {
        log(kSection + title + QStringLiteral(": none"));
        return;
    }
    QStringList lines;
    lines.reserve(items.size() + 1);
    lines.append(kSection + title + QStringLiteral(": ") + countPhrase(int(items.size())));
    for (const LeftoverItem &item : items) {
        lines.append(QStringLiteral("  ") + item.appName + bundlePart(item) + kSeparator
                     + LeftoverTypes::rawValue(item.type) + kSeparator + sizeText(item.size) + kSeparator
                     + item.displayPath(m_homeFolder));
    }
    logLines(lines);
}

void AppLogger::logSuppressed(int count)
{
    if (count < 1)
        return;
    log(kSection + countPhrase(count) + QStringLiteral(" suppressed by Ignore List"));
}

void AppLogger::logScanFinished(int shown, bool tccDenied)
{
    log(QStringLiteral("=== Scan finished: ") + countPhrase(shown) + QStringLiteral(" shown ===")
        + (tccDenied ? QStringLiteral("  [TCC access denied \u2014 Full Disk Access needed]") : QString()));
}

void AppLogger::logTrashed(const QList<LeftoverItem> &items)
{
    QStringList lines;
    for (const LeftoverItem &item : items) {
        if (!item.path)
            continue;
        lines.append(QStringLiteral("TRASHED: ") + item.appName + bundlePart(item) + kSeparator
                     + LeftoverTypes::rawValue(item.type) + kSeparator + sizeText(item.size) + kSeparator
                     + *item.path);
    }
    logLines(lines);
}

void AppLogger::logInstalledApps(const QList<InstalledApp> &apps)
{
    QStringList lines;
    lines.reserve(apps.size() + 1);
    lines.append(QStringLiteral("=== Installed apps: ") + QString::number(apps.size()) + QStringLiteral(" ==="));
    for (const InstalledApp &app : apps) {
        lines.append(QStringLiteral("  ") + app.name + QStringLiteral(" [") + app.bundleID + QLatin1Char(']')
                     + kSeparator + (app.version ? QStringLiteral("v") + *app.version : QStringLiteral("\u2014"))
                     + kSeparator + QStringLiteral("Last: ") + app.lastLaunchedText() + kSeparator + app.path);
    }
    logLines(lines);
}
