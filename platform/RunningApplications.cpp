#include "platform/RunningApplications.h"

#include <csignal>
#include <sys/types.h>

QList<qint64> RunningApplications::withBundleIdentifier(const QString &)
{
    return {};
}

bool RunningApplications::terminate(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), SIGTERM) == 0;
}

bool RunningApplications::forceTerminate(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), SIGKILL) == 0;
}
