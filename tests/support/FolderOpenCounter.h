#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

// Tells which folders of one folder were opened, by inotify: how far a walk
// went, seen without timing it. One watch on the parent, as closing many
// watches takes the kernel long. Events are read when asked; the kernel
// queues 16,384 by default.
class FolderOpenCounter
{
public:
    explicit FolderOpenCounter(const QString &folder);
    ~FolderOpenCounter();
    FolderOpenCounter(const FolderOpenCounter &) = delete;
    FolderOpenCounter &operator=(const FolderOpenCounter &) = delete;

    // The folder is watched and no event was lost.
    bool isValid() const { return m_watch >= 0 && !m_overflowed; }
    // How many distinct folders directly in the folder were opened since construction.
    int openedCount();

private:
    int m_fd = -1;
    int m_watch = -1;
    bool m_overflowed = false;
    QSet<QByteArray> m_opened;
};
