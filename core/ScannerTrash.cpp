#include "core/Scanner.h"

#include "core/AppLogger.h"
#include "core/RemovalPipeline.h"

#include <QSet>

void Scanner::moveToTrash(const QList<LeftoverItem> &items)
{
    AppLogger *logger = m_services.logger;
    if (isUITesting()) {
        logger->log(QStringLiteral("UI-TEST: moveToTrash blocked (%1 items)").arg(items.size()));
        return;
    }
    setRemovalFailures({});

    // A row without a path has nothing to remove and is not reported.
    QList<LeftoverItem> rows;
    QList<RemovalPipeline::Entry> entries;
    for (const LeftoverItem &item : items) {
        if (item.path) {
            rows.append(item);
            entries.append({*item.path});
        }
    }
    // A vanished item goes to the administrator as well: the prompt finds it
    // gone and its row leaves the list.
    RemovalPipeline pipeline(m_services, RemovalPipeline::Retry::AnyItemError);
    const RemovalPipeline::Outcome outcome = pipeline.run(entries, [&](const QList<qsizetype> &queued) {
        return queued.size() == 1 ? rows.at(queued.first()).appName : QStringLiteral("the selected items");
    });

    const QList<LeftoverItem> removed = RemovalPipeline::at(rows, outcome.removed);
    const QList<LeftoverItem> failures = RemovalPipeline::at(rows, outcome.failed);
    logger->logTrashed(removed);

    const QSet<QString> removedPaths = RemovalPipeline::pathsAt(entries, outcome.removed);
    dropItems([&](const LeftoverItem &row) { return row.path && removedPaths.contains(*row.path); });

    if (!failures.isEmpty()) {
        setRemovalFailures(failures);
        setScanProgress(localized(QStringLiteral("trash_partial"), {int(removed.size()), int(failures.size())}));
    }
}
