#include "support/OpenGate.h"

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <unistd.h>

OpenGate::OpenGate(const QString &folder)
    : m_fd(fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_CLOEXEC))
{
    if (m_fd >= 0
        && fanotify_mark(m_fd, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_ONDIR, AT_FDCWD, QFile::encodeName(folder).constData())
            != 0) {
        close(m_fd);
        m_fd = -1;
    }
}

OpenGate::~OpenGate()
{
    release();
}

bool OpenGate::waitForOpen(int timeoutMs)
{
    if (m_fd < 0 || m_held >= 0)
        return m_held >= 0;
    pollfd ready{m_fd, POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) != 1)
        return false;
    fanotify_event_metadata event{};
    if (read(m_fd, &event, sizeof event) < ssize_t(sizeof event) || event.fd < 0)
        return false;
    m_held = event.fd;
    return true;
}

void OpenGate::release()
{
    if (m_held >= 0) {
        const fanotify_response allow{m_held, FAN_ALLOW};
        (void)!write(m_fd, &allow, sizeof allow);
        close(m_held);
        m_held = -1;
    }
    // Closing the group lets every open it would hold through.
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}
