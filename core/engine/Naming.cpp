#include "core/engine/Naming.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTextBoundaryFinder>

namespace {
QString spaceBeforeCapitals(QString text)
{
    static const QRegularExpression lowerUpper(QStringLiteral("([a-z])([A-Z])"));
    return text.replace(lowerUpper, QStringLiteral("\\1 \\2"));
}

// The user-perceived characters of a text (grapheme clusters), so that a
// letter outside the basic plane or with a combining accent counts as one.
QStringList characters(const QString &text)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        if (end > start)
            result.append(text.mid(start, end - start));
        start = end;
    }
    return result;
}
}

QString ScannerEngine::displayName(const QString &bundleID)
{
    const QStringList parts = bundleID.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    QString name = parts.isEmpty() ? bundleID : parts.last();
    name = spaceBeforeCapitals(name);
    name.replace(QLatin1Char('-'), QLatin1Char(' '));
    if (name.isEmpty())
        return name;
    // The whole first character: a surrogate pair or "ß" ("SS") would be
    // wrong as a single code unit.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, name);
    const qsizetype firstEnd = finder.toNextBoundary();
    return name.left(firstEnd).toUpper() + name.mid(firstEnd);
}

std::optional<QString> ScannerEngine::stripTeamPrefix(const QString &name)
{
    if (!name.contains(QLatin1Char('.')))
        return std::nullopt;
    QStringList parts = name.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return name;
    const QString &team = parts.first();
    // Every character takes at least one code unit.
    if (team.size() < 10)
        return name;
    const QStringList teamCharacters = characters(team);
    if (teamCharacters.size() != 10 || team != team.toUpper())
        return name;
    for (const QString &c : teamCharacters) {
        const char32_t first = c.at(0).isHighSurrogate() && c.size() > 1
                                   ? QChar::surrogateToUcs4(c.at(0), c.at(1))
                                   : c.at(0).unicode();
        if (!QChar::isLetterOrNumber(first))
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
