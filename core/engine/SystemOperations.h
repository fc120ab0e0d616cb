#pragma once

#include "model/SystemRoots.h"
#include "platform/ToolRunner.h"

#include <QSet>
#include <QString>
#include <QStringList>

struct AdminRemovalResult
{
    QStringList removed;
    QStringList failed;
    bool cancelled = false;
};

// The only engine calls that act on the machine. Paths are real paths (under
// the roots); protected roots are judged as the system sees them.
namespace ScannerEngine {

// `installedIDs`: applications whose processes must survive, however their IDs
// resemble `bundleID`. Apple's processes are never signalled by pattern.
int terminateApp(const ToolRunner &runner, const QString &bundleID, const QSet<QString> &installedIDs = {});
AdminRemovalResult removeWithAdministratorPrivileges(const SystemRoots &roots, const ToolRunner &runner,
                                                     const QStringList &paths, const QString &appName);
// True when tccutil ran and exited with 0.
bool tccReset(const ToolRunner &runner, const QString &bundleID, const QString &service);
bool tccResetAll(const ToolRunner &runner, const QString &bundleID);
// Neither acts on an Apple label. The property lists another installed
// application's ID names (isOtherAppsName) are not the label's.
void launchctlBootout(const ToolRunner &runner, const QString &label);
QStringList launchdPlists(const SystemRoots &roots, const QString &label, const QSet<QString> &installedIDs = {});

}
