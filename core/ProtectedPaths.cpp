#include "core/ProtectedPaths.h"

#include "core/engine/AdminCommand.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString kApplications = QStringLiteral("/Applications/");

// The path without its last component, as the platform's path helper gives it.
QString holdingFolder(const QString &path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : trimmed.left(slash);
}

}

bool ProtectedPaths::needsAdministrator(const SystemRoots &roots, const QString &path)
{
    static const QStringList protectedPrefixes = {
        QStringLiteral("/Library/"),
        QStringLiteral("/System/"),
        QStringLiteral("/usr/local/"),
        QStringLiteral("/private/var/"),
    };
    const QString systemPath = roots.asSystemPath(path);
    for (const QString &prefix : protectedPrefixes) {
        if (systemPath.startsWith(prefix))
            return true;
    }
    if (systemPath.startsWith(kApplications)) {
        // Writability is a property of the real folder, under whatever root we were given.
        const QString folder = holdingFolder(path);
        return folder.isEmpty() || !QFileInfo(folder).isWritable();
    }
    return false;
}

std::optional<TrashError> ProtectedPaths::refusal(const SystemRoots &roots, const QString &path)
{
    static const QStringList systemRoots = {
        QStringLiteral("/"),       QStringLiteral("/System"),       QStringLiteral("/usr"),
        QStringLiteral("/bin"),    QStringLiteral("/sbin"),         QStringLiteral("/Library"),
        QStringLiteral("/Applications"), QStringLiteral("/Users"), QStringLiteral("/private"),
    };
    QString reason;
    if (!ScannerEngine::isPlainPath(path))
        reason = QStringLiteral("The path was refused because it is not a plain absolute path.");
    else if (systemRoots.contains(roots.asSystemPath(path)) || path == QDir::cleanPath(roots.home))
        reason = QStringLiteral("The path was refused because it is a protected folder.");
    else
        return std::nullopt;
    TrashError error;
    error.domain = QStringLiteral("QuillmereErrorDomain");
    error.code = 1;
    error.description = reason;
    return error;
}

bool ProtectedPaths::queuesForAdministrator(const SystemRoots &roots, const QString &path)
{
    return !refusal(roots, path) && needsAdministrator(roots, path);
}

std::optional<TrashError> ProtectedPaths::moveToTrashIfAllowed(const Trash &trash, const SystemRoots &roots,
                                                                const QString &path)
{
    if (std::optional<TrashError> refused = refusal(roots, path))
        return refused;
    return trash.moveToTrash(path);
}
