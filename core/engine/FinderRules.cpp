#include "core/engine/FinderRules.h"

#include <QTextBoundaryFinder>

bool ScannerEngine::isHidden(const QString &name)
{
    return name.startsWith(QLatin1Char('.'));
}

bool ScannerEngine::isAppleIdentifier(const QString &identifier)
{
    return identifier.startsWith(QLatin1String("com.apple."));
}

bool ScannerEngine::isTooShort(const QString &identifier)
{
    constexpr int minimum = 5;
    // A cluster holds at least one code unit, so fewer units are always too few.
    if (identifier.size() < minimum)
        return true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, identifier);
    int clusters = 0;
    while (finder.toNextBoundary() != -1) {
        if (++clusters >= minimum)
            return false;
    }
    return true;
}

bool ScannerEngine::installedAfterTeamPrefix(const QString &identifier, const QSet<QString> &installedIDs)
{
    const qsizetype dot = identifier.indexOf(QLatin1Char('.'));
    return dot >= 0 && installedIDs.contains(identifier.mid(dot + 1));
}
