#pragma once

#include <QList>
#include <QString>

// Stand-in for the platform's running-applications service (applications
// known by bundle identifier). This system has no such service, so it finds
// no applications; the process sweep (pkill) does the real work.
class RunningApplications
{
public:
    // Process ids of the running applications with this bundle identifier.
    static QList<qint64> withBundleIdentifier(const QString &bundleID);
    // A normal and a forced termination request; true when it was accepted.
    static bool terminate(qint64 pid);
    static bool forceTerminate(qint64 pid);
};
