#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// File-system reads shared by the finders.
namespace ScannerEngine {

// The entry names of a folder (hidden names included, "." and ".." left out),
// sorted in plain text order so that every run lists the same way. Empty when
// the folder is missing, is not a folder or cannot be read. A name whose bytes
// do not decode (not UTF-8) is left out: no path built from it reaches it.
QStringList listFolder(const QString &path);

// The property-list dictionary at `path`, or nothing. Only a regular file is
// read: a FIFO or device planted where a plist should be would otherwise block.
std::optional<QVariantMap> readPropertyList(const QString &path);

// The string value of `key`, or nothing when it is missing or not a string.
std::optional<QString> stringValue(const QVariantMap &dict, const QString &key);

}
