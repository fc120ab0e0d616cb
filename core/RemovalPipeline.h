#pragma once

#include "core/ScannerServices.h"
#include "core/engine/SystemOperations.h"
#include "platform/Trash.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// One removal of files: each path goes to the Trash unless it lies where only
// an administrator may remove it; those, and what the Trash turned down for a
// reason the administrator can overcome, are removed together behind one
// administrator prompt. Every outcome is logged as it happens. Runs on the
// calling thread, which waits for the prompt. The lines written are those of a
// removal of leftovers; a removal with words of its own overrides them.
class RemovalPipeline
{
public:
    // Which failed moves to the Trash the administrator takes over.
    enum class Retry {
        // Only an item whose own folder refused the move.
        NoWritePermission,
        // Any failure of the item itself, a vanished one too: the prompt then
        // finds nothing to remove and reports it removed.
        AnyItemError,
    };
    static bool retriesThroughAdministrator(const TrashError &error, Retry retry);

    struct Entry
    {
        QString path;
        // Straight to the administrator, without a Trash attempt.
        bool administratorOnly = false;
    };

    struct Outcome
    {
        // Positions in the list given to run(), in the order they went: the
        // Trash's, then the administrator's.
        QList<qsizetype> removed;
        // The Trash failures that were not retried, then the administrator's
        // list, all of it when the prompt was cancelled.
        QList<qsizetype> failed;
        bool cancelled = false;
    };

    // The name the prompt shows for the positions it is asked to remove.
    using PromptName = std::function<QString(const QList<qsizetype> &queued)>;

    RemovalPipeline(const ScannerServices &services, Retry retry);
    virtual ~RemovalPipeline() = default;

    Outcome run(const QList<Entry> &entries, const PromptName &promptName);

    // The paths at `positions` of `entries`.
    static QSet<QString> pathsAt(const QList<Entry> &entries, const QList<qsizetype> &positions);
    template <typename T>
    static QList<T> at(const QList<T> &list, const QList<qsizetype> &positions)
    {
        QList<T> picked;
        picked.reserve(positions.size());
        for (const qsizetype position : positions)
            picked.append(list.at(position));
        return picked;
    }

protected:
    // Moved to the Trash: nothing here, the caller logs the removed rows together.
    virtual void logTrashed(const QString &path);
    virtual void logTrashFailed(const QString &path, const TrashError &error);
    // `paths` in the order they were queued, one per queued entry.
    virtual void logAdministrator(const QString &name, const QStringList &paths, const AdminRemovalResult &result);

    AppLogger &logger() const { return *m_services.logger; }

private:
    void moveToTrash(const QList<Entry> &entries, const QList<qsizetype> &trashList, QList<qsizetype> &queued,
                     Outcome &outcome);
    void removeAsAdministrator(const QList<Entry> &entries, const QList<qsizetype> &queued,
                               const PromptName &promptName, Outcome &outcome);

    ScannerServices m_services;
    Retry m_retry;
};
