#pragma once

#include <QString>

// Where the system looks: the user's home folder and the root that absolute
// system paths ("/Library/Caches", "/Applications") are resolved against.
// The application passes the real ones; tests a whole fake Mac in a temporary folder.
struct SystemRoots
{
    QString home;
    QString root = QStringLiteral("/");

    // The real home folder and "/".
    static SystemRoots real();

    // An absolute system path as it lies under `root` ("/Library" -> root + "/Library").
    QString system(const QString &absolutePath) const;
    // A path below the home folder ("/Library/Logs" -> home + "/Library/Logs").
    QString inHome(const QString &relativePath) const;
    // The path as the system sees it: `path` with `root` taken off again, or
    // an empty string when the path does not lie under the root.
    QString asSystemPath(const QString &path) const;
};
