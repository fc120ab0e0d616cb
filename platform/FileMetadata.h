#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Our stand-in for the platform's file metadata service, which knows when an
// application was last used. Here that is the last access time of the
// bundle's main executable.
class FileMetadata
{
public:
    // The last-used date of the bundle whose Info.plist names `executableName`
    // ("CFBundleExecutable"); nothing when the name is empty or not a plain
    // file name, or the executable is missing.
    static std::optional<QDateTime> lastUsedDate(const QString &bundlePath, const QString &executableName);
    // The same, reading the executable's name from the bundle's Info.plist.
    static std::optional<QDateTime> lastUsedDate(const QString &bundlePath);
};
