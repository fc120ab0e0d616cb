#include "core/ProtectedPaths.h"

#include "core/AppLogger.h"
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

// The log must outlive every removal: it is where the removal is told.
bool holdsLogFolder(const ScannerServices &services, const QString &path)
{
    if (!services.logger)
        return false;
    const QString logFolder = QFileInfo(services.logger->logFilePath()).path();
    return logFolder == path || logFolder.startsWith(path + QLatin1Char('/'));
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

std::optional<TrashError> ProtectedPaths::refusal(const ScannerServices &services, const QString &path)
{
    const SystemRoots &roots = services.roots;
    static const QStringList systemRoots = {
        QStringLiteral("/"),       QStringLiteral("/System"),       QStringLiteral("/usr"),
        QStringLiteral("/bin"),    QStringLiteral("/sbin"),         QStringLiteral("/Library"),
        QStringLiteral("/Applications"), QStringLiteral("/Users"), QStringLiteral("/private"),
    };
    // Without case, as the administrator removal judges them: the Mac's file
    // system takes "/library" for "/Library". A variant that got past here
    // would reach the prompt and make it refuse the whole batch.
    const QString home = QDir::cleanPath(roots.home);
    const bool isHome = !home.isEmpty() && path.compare(home, Qt::CaseInsensitive) == 0;
    QString reason;
    if (!ScannerEngine::isPlainPath(path))
        reason = QStringLiteral("The path was refused because it is not a plain absolute path.");
    else if (systemRoots.contains(roots.asSystemPath(path), Qt::CaseInsensitive) || isHome
             || (services.trash && services.trash->holdsTrash(path)) || holdsLogFolder(services, path))
        reason = QStringLiteral("The path was refused because it is a protected folder.");
    else
        return std::nullopt;
    TrashError error;
    error.domain = QStringLiteral("QuillmereErrorDomain");
    error.code = 1;
    error.description = reason;
    return error;
}

bool ProtectedPaths::queuesForAdministrator(const ScannerServices &services, const QString &path)
{
    return !refusal(services, path) && needsAdministrator(services.roots, path);
}

std::optional<TrashError> ProtectedPaths::moveToTrashIfAllowed(const ScannerServices &services, const QString &path)
{
    if (std::optional<TrashError> refused = refusal(services, path))
        return refused;
    return services.trash->moveToTrash(path);
}
