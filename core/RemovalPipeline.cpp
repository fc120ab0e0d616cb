#include "core/RemovalPipeline.h"

#include "core/AppLogger.h"
#include "core/ProtectedPaths.h"

namespace {
const QString kCocoaErrorDomain = QStringLiteral("NSCocoaErrorDomain");
constexpr int kNoWritePermission = 513;
}

bool RemovalPipeline::retriesThroughAdministrator(const TrashError &error, Retry retry)
{
    // Only the Cocoa domain speaks of the item itself; every other failure
    // concerns the Trash, which removing by other means would not put it in.
    if (error.domain != kCocoaErrorDomain)
        return false;
    return retry == Retry::AnyItemError || error.code == kNoWritePermission;
}

RemovalPipeline::RemovalPipeline(const ScannerServices &services, Retry retry)
    : m_services(services)
    , m_retry(retry)
{
}

RemovalPipeline::Outcome RemovalPipeline::run(const QList<Entry> &entries, const PromptName &promptName)
{
    Outcome outcome;
    QList<qsizetype> trashList;
    QList<qsizetype> queued;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries.at(i);
        if (entry.administratorOnly || ProtectedPaths::queuesForAdministrator(m_services, entry.path))
            queued.append(i);
        else
            trashList.append(i);
    }
    moveToTrash(entries, trashList, queued, outcome);
    if (!queued.isEmpty())
        removeAsAdministrator(entries, queued, promptName, outcome);
    return outcome;
}

void RemovalPipeline::moveToTrash(const QList<Entry> &entries, const QList<qsizetype> &trashList,
                                  QList<qsizetype> &queued, Outcome &outcome)
{
    // Two entries may share a path (a scan does not de-duplicate); once it is
    // in the Trash, a second attempt would fail and ask for a password to
    // remove what is already gone.
    QSet<QString> trashed;
    for (const qsizetype i : trashList) {
        const QString &path = entries.at(i).path;
        if (trashed.contains(path)) {
            outcome.removed.append(i);
            logTrashed(path);
            continue;
        }
        const std::optional<TrashError> error = ProtectedPaths::moveToTrashIfAllowed(m_services, path);
        if (!error) {
            trashed.insert(path);
            outcome.removed.append(i);
            logTrashed(path);
        } else if (retriesThroughAdministrator(*error, m_retry)) {
            queued.append(i);
        } else {
            outcome.failed.append(i);
            logTrashFailed(path, *error);
        }
    }
}

void RemovalPipeline::removeAsAdministrator(const QList<Entry> &entries, const QList<qsizetype> &queued,
                                            const PromptName &promptName, Outcome &outcome)
{
    const QString name = promptName(queued);
    QStringList paths;
    for (const qsizetype i : queued)
        paths.append(entries.at(i).path);
    const AdminRemovalResult result =
        ScannerEngine::removeWithAdministratorPrivileges(m_services.roots, m_services.runner, paths, name);
    logAdministrator(name, paths, result);
    if (result.cancelled) {
        outcome.cancelled = true;
        outcome.failed.append(queued);
        return;
    }
    const QSet<QString> removed(result.removed.cbegin(), result.removed.cend());
    for (const qsizetype i : queued)
        (removed.contains(entries.at(i).path) ? outcome.removed : outcome.failed).append(i);
}

QSet<QString> RemovalPipeline::pathsAt(const QList<Entry> &entries, const QList<qsizetype> &positions)
{
    QSet<QString> paths;
    for (const qsizetype i : positions)
        paths.insert(entries.at(i).path);
    return paths;
}

void RemovalPipeline::logTrashed(const QString &)
{
}

void RemovalPipeline::logTrashFailed(const QString &path, const TrashError &error)
{
    logger().log(QStringLiteral("TRASH FAILED: ") + path + QStringLiteral(" — ") + error.description);
}

void RemovalPipeline::logAdministrator(const QString &name, const QStringList &paths, const AdminRemovalResult &result)
{
    if (result.cancelled) {
        logger().log(QStringLiteral("ADMIN RM CANCELLED for ") + name + QStringLiteral(" (%1 items)").arg(paths.size()));
        return;
    }
    const QSet<QString> removed(result.removed.cbegin(), result.removed.cend());
    for (const QString &path : paths) {
        if (!removed.contains(path))
            logger().log(QStringLiteral("ADMIN RM FAILED: ") + path);
    }
}
