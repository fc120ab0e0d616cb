#include "core/engine/FinderRules.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QTextBoundaryFinder>

namespace {

bool isAppleName(QStringView name)
{
    return name == QLatin1String("com.apple") || name.startsWith(QLatin1String("com.apple."));
}

// Without splitting: this runs for every installed ID on every name tested.
bool hasTwoComponents(QStringView id)
{
    int components = 0;
    bool inComponent = false;
    for (const QChar c : id) {
        const bool dot = c == QLatin1Char('.');
        if (!dot && !inComponent && ++components == 2)
            return true;
        inComponent = !dot;
    }
    return false;
}

// After a whole occurrence of `id` that a "." follows, the components of
// `name` hold those of `rest` in their order, others allowed between.
bool continuesWith(QStringView name, QStringView id, QStringView rest)
{
    const QList<QStringView> wanted = rest.split(QLatin1Char('.'));
    for (qsizetype at = name.indexOf(id); at >= 0; at = name.indexOf(id, at + 1)) {
        const qsizetype end = at + id.size();
        if ((at > 0 && name.at(at - 1) != QLatin1Char('.')) || end >= name.size() || name.at(end) != QLatin1Char('.'))
            continue;
        qsizetype next = 0;
        for (const QStringView part : name.mid(end + 1).split(QLatin1Char('.'))) {
            if (next < wanted.size() && part == wanted.at(next))
                ++next;
        }
        if (next == wanted.size())
            return true;
    }
    return false;
}

}

bool ScannerEngine::isHidden(const QString &name)
{
    return name.startsWith(QLatin1Char('.'));
}

bool ScannerEngine::isAppleIdentifier(const QString &identifier)
{
    if (isAppleName(identifier))
        return true;
    const qsizetype dot = identifier.indexOf(QLatin1Char('.'));
    return dot >= 0 && isAppleName(QStringView(identifier).mid(dot + 1));
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

bool ScannerEngine::isProtectedEntry(const QString &name, const QSet<QString> &excluded)
{
    return excluded.contains(name) || isAppleIdentifier(name);
}

bool ScannerEngine::belongsToThisApplication(const QString &path)
{
    // The logger's folder is named after the application, not after a bundle
    // identifier, so no installed bundle ever claims it.
    if (path.endsWith(QLatin1String("/Library/Logs/Quillmere")))
        return true;
    static const QString store = QDir::cleanPath(UserDefaults::standard().filePath());
    return path == store || store.startsWith(path + QLatin1Char('/'));
}

bool ScannerEngine::holdsID(const QString &text, const QString &id)
{
    if (id.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(id); at >= 0; at = text.indexOf(id, at + 1)) {
        const qsizetype end = at + id.size();
        const bool startsClean = at == 0 || text.at(at - 1) == QLatin1Char('.');
        const bool endsClean = end == text.size() || text.at(end) == QLatin1Char('.');
        if (startsClean && endsClean)
            return true;
    }
    return false;
}

QStringList ScannerEngine::extendingIDs(const QString &id, const QSet<QString> &installedIDs)
{
    QStringList longer;
    for (const QString &installed : installedIDs) {
        if (installed.size() > id.size() && installed.startsWith(id))
            longer.append(installed);
    }
    return longer;
}

bool ScannerEngine::isOtherAppsName(const QString &name, const QString &searchedID, const QSet<QString> &installedIDs)
{
    for (const QString &installed : installedIDs) {
        const bool held = hasTwoComponents(installed) ? holdsID(name, installed) : name == installed;
        if (held && !holdsID(searchedID, installed))
            return true;
        if (!searchedID.isEmpty() && installed.size() > searchedID.size() + 1 && installed.startsWith(searchedID)
            && installed.at(searchedID.size()) == QLatin1Char('.')
            && continuesWith(name, searchedID, QStringView(installed).mid(searchedID.size() + 1)))
            return true;
    }
    return false;
}
