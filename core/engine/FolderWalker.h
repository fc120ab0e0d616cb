#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QtGlobal>

#include <stop_token>

// Sums the logical sizes of the regular files below a folder, walking with
// descriptors relative to each folder (getdents64 + fstatat) so that no path
// is built per entry. Hidden entries are skipped (a hidden folder is not
// entered), symbolic links are never followed and unreadable folders add
// nothing.
//
// A walk starts on the calling thread; once it has seen enough entries to be
// worth it, it starts its own threads that share the remaining folders.
// Open descriptors are kept within a budget; running out of descriptors is
// waited out and retried, never taken for an unreadable folder, unless none
// comes free within Limits::descriptorWaitMs.
//
// A walk given a stop token ends at the next folder once a stop is requested,
// on all its threads, and returns what it counted so far: a total that is
// then too small, for a caller that no longer wants it. Asked to stop before
// it starts, it opens nothing and returns 0.
class FolderWalker
{
public:
    struct Limits
    {
        // Threads of one walk, the caller's included; 0 = the cores this process may run on.
        int threads = 0;
        // Entries listed on the calling thread alone before other threads join.
        int parallelAfterEntries = 4096;
        // Folder descriptors a walk keeps open for folders it has yet to descend
        // into; 0 = a quarter of the process's limit, at most 192.
        int descriptorBudget = 0;
        // How long one open waits for a descriptor to come free. Past it the
        // walk stops waiting and returns what it counted.
        int descriptorWaitMs = 10000;
    };

    FolderWalker() = default;
    explicit FolderWalker(const Limits &limits) : m_limits(limits) {}

    // 0 when `nativePath` is not a folder, is itself a symbolic link or cannot be opened.
    qint64 totalSize(const QByteArray &nativePath, std::stop_token stop = {}) const;

    // totalSize() of each entry `names[i]` of the folder `nativeFolder`, in one
    // walk whose threads share the folders of all the entries, so that many
    // small folders are not summed one after another. Links on the way to
    // `nativeFolder` are followed; an entry that is a link gives 0.
    QList<qint64> totalSizes(const QByteArray &nativeFolder, const QByteArrayList &names,
                             std::stop_token stop = {}) const;

    // The threads a walk uses when Limits::threads is 0.
    static int defaultThreadCount();

private:
    Limits m_limits;
};
