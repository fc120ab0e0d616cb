#pragma once

#include "model/LeftoverItem.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <stop_token>

namespace ScannerEngine {

// The summed logical size of every regular file below `path`: hidden entries
// are skipped (a hidden folder is not entered), symbolic links never followed,
// unreadable folders skipped. A path that is a link or not a folder is 0.
// Once `stop` is requested the walk ends at the next folder and the size is
// short: a caller that asks for a stop takes no size from then on.
qint64 directorySize(const QString &path, std::stop_token stop = {});

// directorySize() of each entry `names[i]` of `folder`, the entries sized
// together on the machine's cores.
QList<qint64> directorySizes(const QString &folder, const QStringList &names, std::stop_token stop = {});

// Sets the size of each item at a position in `folderItems` to the
// directorySize() of its path, an entry of `folder`; sized together.
void sizeFolderItems(const QString &folder, const QList<qsizetype> &folderItems, QList<LeftoverItem> &items,
                     std::stop_token stop = {});

// The size of the item at `path` itself (a link's own size), 0 when unreadable.
qint64 fileSize(const QString &path);

// True when `path` is a folder (following a final link, as the platform's
// existence test does).
bool isDirectory(const QString &path);

}
