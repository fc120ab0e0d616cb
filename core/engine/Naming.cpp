#include "core/engine/Naming.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
QString spaceBeforeCapitals(QString text)
{
    static const QRegularExpression lowerUpper(QStringLiteral("([a-z])([A-Z])"));
    return text.replace(lowerUpper, QStringLiteral("\\1 \\2"));
}
}

QString ScannerEngine::displayName(const QString &bundleID)
{
    const QStringList parts = bundleID.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    QString name = parts.isEmpty() ? bundleID : parts.last();
    name = spaceBeforeCapitals(name);
    name.replace(QLatin1Char('-'), QLatin1Char(' '));
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

std::optional<QString> ScannerEngine::stripTeamPrefix(const QString &name)
{
    if (!name.contains(QLatin1Char('.')))
        return std::nullopt;
    QStringList parts = name.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return name;
    const QString &team = parts.first();
    if (team.size() != 10 || team != team.toUpper())
        return name;
    for (const QChar c : team) {
        if (!c.isLetterOrNumber())
            return name;
    }
    parts.removeFirst();
    return parts.join(QLatin1Char('.'));
}

QString ScannerEngine::appName(const std::optional<QString> &programPath, const QString &label)
{
    if (programPath) {
        QString path = *programPath;
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
            path.chop(1);
        QString last = path.section(QLatin1Char('/'), -1);
        // A leading dot names a hidden file, not an extension.
        const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
        if (dot > 0)
            last.truncate(dot);
        if (!last.isEmpty())
            return last;
    }
    return displayName(label);
}

QString ScannerEngine::serviceDisplayText(const QString &service)
{
    return spaceBeforeCapitals(QString(service).remove(QStringLiteral("kTCCService")));
}
