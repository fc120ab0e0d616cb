#pragma once

#include <QString>

namespace ScannerEngine {

// The summed logical size of every regular file below `path`: hidden entries
// are skipped (a hidden folder is not entered), symbolic links never followed,
// unreadable folders skipped. A path that is a link or not a folder is 0.
qint64 directorySize(const QString &path);

// The size of the item at `path` itself (a link's own size), 0 when unreadable.
qint64 fileSize(const QString &path);

// True when `path` is a folder (following a final link, as the platform's
// existence test does).
bool isDirectory(const QString &path);

}
