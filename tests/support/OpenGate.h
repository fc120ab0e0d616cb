#pragma once

#include <QString>

// Holds whoever opens one folder until released, by fanotify: a walk made to
// wait at a known point, so that a test can act while it waits without
// racing it. Needs root; isValid() tells whether the kernel allows it.
class OpenGate
{
public:
    explicit OpenGate(const QString &folder);
    // Releases.
    ~OpenGate();
    OpenGate(const OpenGate &) = delete;
    OpenGate &operator=(const OpenGate &) = delete;

    bool isValid() const { return m_fd >= 0; }
    // True once a thread is held opening the folder, false when none tries within `timeoutMs`.
    bool waitForOpen(int timeoutMs);
    // Lets the held open and every later one through.
    void release();

private:
    int m_fd = -1;
    int m_held = -1;
};
