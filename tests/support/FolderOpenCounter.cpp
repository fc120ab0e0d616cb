#include "support/FolderOpenCounter.h"

#include <QFile>

#include <sys/inotify.h>
#include <unistd.h>

FolderOpenCounter::FolderOpenCounter(const QString &folder)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_fd >= 0)
        m_watch = inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN | IN_ONLYDIR);
}

FolderOpenCounter::~FolderOpenCounter()
{
    if (m_fd >= 0)
        close(m_fd);
}

int FolderOpenCounter::openedCount()
{
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t n; m_fd >= 0 && (n = read(m_fd, buffer, sizeof buffer)) > 0;) {
        for (ssize_t offset = 0; offset < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event)) + event->len;
            if (event->mask & IN_Q_OVERFLOW)
                m_overflowed = true;
            // Without a name the event is about the watched folder itself.
            else if ((event->mask & IN_ISDIR) && event->len > 0)
                m_opened.insert(QByteArray(event->name));
        }
    }
    return int(m_opened.size());
}
