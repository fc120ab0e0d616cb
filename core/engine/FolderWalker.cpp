#include "core/engine/FolderWalker.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr int kMaxBudget = 192;
constexpr int kMaxThreads = 16;

bool isShortage(int error)
{
    return error == EMFILE || error == ENFILE;
}

// Sleeps before another attempt at an open that found no free descriptor.
// False once this wait has lasted the limit, and from then on for every wait
// of the walk: with no descriptor coming free, it ends with what it counted.
bool waitForDescriptor(const FolderWalker::Limits &limits, std::atomic<bool> &gaveUp, int attempt,
                       std::chrono::steady_clock::time_point &since, int jitter)
{
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0)
        since = now;
    if (gaveUp.load(std::memory_order_relaxed) || now - since >= std::chrono::milliseconds(limits.descriptorWaitMs)) {
        gaveUp.store(true, std::memory_order_relaxed);
        return false;
    }
    const int micros = std::min(50000, 100 << std::min(attempt, 9)) + 37 * jitter;
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
    return true;
}

// One folder of the walk. Kept as a chain of names up to the walk's root so
// that a folder whose parent descriptor had to be closed can still be reached
// from the root, one component at a time, without following links.
struct Node
{
    std::shared_ptr<Node> parent;
    std::string name;
    // The folder's descriptor, kept open while children wait to be opened.
    // Touched only by the owning thread.
    int fd = -1;
    int unopened = 0;
    // Written before any other thread can reach the node, then only read.
    int owner = 0;
    // The folder of the walk whose total this one adds to.
    int slot = 0;
};
using NodePtr = std::shared_ptr<Node>;

struct Task
{
    NodePtr node;
    int fd = -1;
};

class Walk
{
public:
    Walk(const FolderWalker::Limits &limits, int rootFd, int totalCount, std::stop_token stop)
        : limits(limits)
        , rootFd(rootFd)
        , stop(std::move(stop))
        , root(std::make_shared<Node>())
        , totals(size_t(std::max(totalCount, 1)))
    {
    }

    int budget()
    {
        int b = m_budget.load(std::memory_order_relaxed);
        if (b == 0) {
            b = limits.descriptorBudget;
            if (b <= 0) {
                rlimit limit{};
                b = kMaxBudget;
                if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
                    b = int(std::min<rlim_t>(kMaxBudget, limit.rlim_cur / 4));
            }
            b = std::max(b, 1);
            m_budget.store(b, std::memory_order_relaxed);
        }
        return b;
    }

    // Helpers count as active until their first take() so that the walk
    // cannot be declared finished before they have started.
    void addActive(int count)
    {
        std::lock_guard lock(m_mutex);
        m_active += count;
    }

    bool take(Task &task)
    {
        std::unique_lock lock(m_mutex);
        --m_active;
        ++m_waiting;
        for (;;) {
            if (!m_queue.empty()) {
                task = std::move(m_queue.front());
                m_queue.pop_front();
                m_queued.store(int(m_queue.size()), std::memory_order_relaxed);
                --m_waiting;
                ++m_active;
                return true;
            }
            if (m_active == 0) {
                --m_waiting;
                m_wake.notify_all();
                return false;
            }
            m_wake.wait(lock);
        }
    }

    // The queue is kept stocked with a few folders rather than filled on
    // demand, so that a thread that was descheduled while holding most of the
    // remaining work does not leave the others idle.
    bool wantsWork() const { return m_queued.load(std::memory_order_relaxed) < m_stock; }

    // False when the queue is stocked already.
    bool offer(Task &task)
    {
        bool wake = false;
        {
            std::lock_guard lock(m_mutex);
            if (int(m_queue.size()) >= m_stock)
                return false;
            m_queue.push_back(std::move(task));
            m_queued.store(int(m_queue.size()), std::memory_order_relaxed);
            wake = m_waiting > 0;
        }
        if (wake)
            m_wake.notify_one();
        return true;
    }

    void setStock(int folders) { m_stock = folders; }

    // Out of descriptors: queued folders give theirs back and are reopened from the root when taken.
    void releaseQueued()
    {
        std::lock_guard lock(m_mutex);
        for (Task &task : m_queue) {
            if (task.fd >= 0) {
                close(task.fd);
                task.fd = -1;
                open.fetch_sub(1, std::memory_order_relaxed);
            }
        }
    }

    bool stopped() const { return stop.stop_requested(); }

    const FolderWalker::Limits limits;
    const int rootFd;
    const std::stop_token stop;
    const NodePtr root;
    std::atomic<int> open{1};
    std::atomic<bool> shortage{false};
    std::atomic<bool> gaveUp{false};
    std::vector<std::atomic<qint64>> totals;
    bool parallel = false;
    std::vector<std::thread> threads;

private:
    std::atomic<int> m_budget{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_queue;
    int m_active = 1;
    int m_waiting = 0;
    int m_stock = 0;
    std::atomic<int> m_queued{0};
};

class Worker
{
public:
    Worker(Walk &walk, int id)
        : m_walk(walk)
        , m_id(id)
    {
    }

    // Lists the folder open at `fd`, then everything below it that is not handed on.
    void run(const NodePtr &node, int fd)
    {
        node->owner = m_id;
        visit(node, fd);
        drain();
    }

    // Sizes each entry of the root folder named in `names` into its own total.
    void runEntries(const QByteArrayList &names)
    {
        for (qsizetype i = 0; i < names.size(); ++i) {
            auto node = std::make_shared<Node>();
            node->parent = m_walk.root;
            node->name = names[i].toStdString();
            node->slot = int(i);
            m_stack.push_back(std::move(node));
        }
        drain();
    }

    void runQueue()
    {
        Task task;
        while (m_walk.take(task)) {
            // Stopped: what is still queued is taken only to give its descriptor back.
            if (m_walk.stopped()) {
                if (task.fd >= 0)
                    closeFd(task.fd);
                continue;
            }
            task.node->owner = m_id;
            if (task.fd < 0)
                task.fd = openFromRoot(*task.node);
            if (task.fd >= 0)
                run(task.node, task.fd);
        }
    }

private:
    void drain()
    {
        while (!m_stack.empty()) {
            if (m_walk.stopped()) {
                abandon();
                return;
            }
            if (m_walk.parallel) {
                // Restocked in full: folders of many small entries are taken as fast as one is handed on.
                while (m_walk.wantsWork() && m_stack.size() >= 2 && share()) {
                }
            } else if (m_id == 0 && m_entries >= quint64(std::max(0, m_walk.limits.parallelAfterEntries))
                       && m_stack.size() >= 2) {
                startHelpers();
            }
            if (m_stack.empty())
                break;
            NodePtr node = std::move(m_stack.back());
            m_stack.pop_back();
            const int fd = openChild(node, true);
            if (fd >= 0)
                visit(node, fd);
        }
    }

    void visit(const NodePtr &node, int fd)
    {
        const bool hasChildren = list(node, fd);
        if (node == m_walk.root)
            return;
        if (hasChildren && !m_walk.shortage.load(std::memory_order_relaxed)
            && m_walk.open.load(std::memory_order_relaxed) <= m_walk.budget()) {
            node->fd = fd;
            m_kept.push_back(node.get());
        } else {
            closeFd(fd);
        }
    }

    // Adds the regular files of one folder and stacks its subfolders.
    bool list(const NodePtr &node, int fd)
    {
        bool hasChildren = false;
        qint64 sum = 0;
        for (;;) {
            const ssize_t n = getdents64(fd, m_buffer, sizeof m_buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            for (ssize_t offset = 0; offset < n;) {
                const auto *entry = reinterpret_cast<const dirent64 *>(m_buffer + offset);
                offset += entry->d_reclen;
                const char *name = entry->d_name;
                if (name[0] == '.')
                    continue;
                ++m_entries;
                bool folder = entry->d_type == DT_DIR;
                if (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) {
                    struct stat st;
                    if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                        continue;
                    if (S_ISREG(st.st_mode))
                        sum += st.st_size;
                    folder = S_ISDIR(st.st_mode);
                }
                if (folder) {
                    auto child = std::make_shared<Node>();
                    child->parent = node;
                    child->name = name;
                    child->owner = m_id;
                    child->slot = node->slot;
                    ++node->unopened;
                    m_stack.push_back(std::move(child));
                    hasChildren = true;
                }
            }
        }
        if (sum != 0)
            m_walk.totals[size_t(node->slot)].fetch_add(sum, std::memory_order_relaxed);
        return hasChildren;
    }

    // Opens a stacked folder. A folder that is gone, unreadable or has become
    // a link gives -1; running out of descriptors is waited out unless `wait`
    // is false, which gives -2 and leaves the folder unopened.
    int openChild(const NodePtr &node, bool wait)
    {
        Node &parent = *node->parent;
        const bool parentIsRoot = node->parent == m_walk.root;
        int fd = -1;
        for (int attempt = 0;; ++attempt) {
            errno = 0;
            if (parentIsRoot)
                fd = openCounted(m_walk.rootFd, node->name.c_str());
            else if (parent.fd >= 0)
                fd = openCounted(parent.fd, node->name.c_str());
            else
                fd = openByChain(*node);
            if (fd >= 0 || !isShortage(errno))
                break;
            if (!wait)
                return -2;
            releaseKept();
            if (!backoff(attempt)) {
                fd = -1;
                break;
            }
        }
        if (!parentIsRoot)
            childOpened(parent);
        return fd;
    }

    // A queued folder that gave its descriptor back; its ancestors belong to other threads.
    int openFromRoot(const Node &node)
    {
        for (int attempt = 0;; ++attempt) {
            const int fd = openByChain(node);
            if (fd >= 0 || !isShortage(errno))
                return fd;
            releaseKept();
            if (!backoff(attempt))
                return -1;
        }
    }

    // Reaches a folder from the nearest ancestor this thread holds open, or from the root.
    int openByChain(const Node &node)
    {
        std::vector<const Node *> chain;
        int at = m_walk.rootFd;
        for (const Node *n = &node;;) {
            chain.push_back(n);
            const Node *p = n->parent.get();
            if (p == m_walk.root.get())
                break;
            if (p->owner == m_id && p->fd >= 0) {
                at = p->fd;
                break;
            }
            n = p;
        }
        int current = at;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const int next = openCounted(current, (*it)->name.c_str());
            const int error = errno;
            if (current != at)
                closeFd(current);
            if (next < 0) {
                errno = error;
                return -1;
            }
            current = next;
        }
        return current;
    }

    int openCounted(int at, const char *name)
    {
        const int fd = openat(at, name, kOpenFlags);
        if (fd >= 0)
            m_walk.open.fetch_add(1, std::memory_order_relaxed);
        return fd;
    }

    void closeFd(int fd)
    {
        close(fd);
        m_walk.open.fetch_sub(1, std::memory_order_relaxed);
    }

    void childOpened(Node &parent)
    {
        if (--parent.unopened > 0 || parent.fd < 0)
            return;
        closeFd(parent.fd);
        parent.fd = -1;
        for (auto it = m_kept.rbegin(); it != m_kept.rend(); ++it) {
            if (*it == &parent) {
                m_kept.erase(std::next(it).base());
                break;
            }
        }
    }

    // Out of descriptors: give back every folder held for later and keep none
    // from now on; the folders below are then reached from the root.
    void releaseKept()
    {
        m_walk.shortage.store(true, std::memory_order_relaxed);
        for (Node *node : m_kept) {
            closeFd(node->fd);
            node->fd = -1;
        }
        m_kept.clear();
        m_walk.releaseQueued();
    }

    // Stopped: the stacked folders stay unwalked, and the folders held open to reach them are closed.
    void abandon()
    {
        for (Node *node : m_kept) {
            closeFd(node->fd);
            node->fd = -1;
        }
        m_kept.clear();
        m_stack.clear();
    }

    bool backoff(int attempt)
    {
        if (m_walk.stopped())
            return false;
        return waitForDescriptor(m_walk.limits, m_walk.gaveUp, attempt, m_waitingSince, m_id);
    }

    // Queues the shallowest stacked folder, likely the largest, for any thread to take.
    // False when nothing was queued or taken off the stack.
    bool share()
    {
        NodePtr node = m_stack.front();
        if (m_walk.shortage.load(std::memory_order_relaxed)) {
            // Handed on unopened: a queue of open folders could hold the very
            // descriptors the busy threads wait for.
            Task task{node, -1};
            if (!m_walk.offer(task))
                return false;
            m_stack.pop_front();
            if (node->parent != m_walk.root)
                childOpened(*node->parent);
            return true;
        }
        const int fd = openChild(node, false);
        if (fd == -2)
            return false;
        m_stack.pop_front();
        if (fd < 0)
            return true;
        Task task{std::move(node), fd};
        if (m_walk.offer(task))
            return true;
        visit(task.node, task.fd);
        return false;
    }

    void startHelpers()
    {
        m_walk.parallel = true;
        const int threads = m_walk.limits.threads > 0 ? std::min(m_walk.limits.threads, kMaxThreads)
                                                      : FolderWalker::defaultThreadCount();
        m_walk.setStock(threads);
        for (int id = 1; id < threads; ++id) {
            m_walk.addActive(1);
            try {
                m_walk.threads.emplace_back([walk = &m_walk, id] {
                    Worker(*walk, id).runQueue();
                });
            } catch (const std::system_error &) {
                // No thread to be had: the threads already running do the work.
                m_walk.addActive(-1);
                break;
            }
        }
    }

    Walk &m_walk;
    const int m_id;
    quint64 m_entries = 0;
    std::deque<NodePtr> m_stack;
    std::vector<Node *> m_kept;
    std::chrono::steady_clock::time_point m_waitingSince;
    alignas(8) char m_buffer[32 * 1024];
};

int openRoot(const char *path, int flags, const FolderWalker::Limits &limits)
{
    std::atomic<bool> gaveUp{false};
    std::chrono::steady_clock::time_point since;
    for (int attempt = 0;; ++attempt) {
        const int fd = open(path, flags);
        if (fd >= 0 || !isShortage(errno) || !waitForDescriptor(limits, gaveUp, attempt, since, 0))
            return fd;
    }
}

// The calling thread, done with its own folders, helps with the rest and waits for the others.
void finish(Walk &walk, Worker &worker)
{
    if (!walk.parallel)
        return;
    worker.runQueue();
    for (std::thread &thread : walk.threads)
        thread.join();
}

}

int FolderWalker::defaultThreadCount()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    int cores = 0;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        cores = CPU_COUNT(&set);
    if (cores <= 0)
        cores = int(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, kMaxThreads);
}

qint64 FolderWalker::totalSize(const QByteArray &nativePath, std::stop_token stop) const
{
    if (nativePath.isEmpty() || stop.stop_requested())
        return 0;
    const int rootFd = openRoot(nativePath.constData(), kOpenFlags, m_limits);
    if (rootFd < 0)
        return 0;
    qint64 total = 0;
    {
        Walk walk(m_limits, rootFd, 1, std::move(stop));
        Worker worker(walk, 0);
        worker.run(walk.root, rootFd);
        finish(walk, worker);
        total = walk.totals[0].load();
    }
    close(rootFd);
    return total;
}

QList<qint64> FolderWalker::totalSizes(const QByteArray &nativeFolder, const QByteArrayList &names,
                                       std::stop_token stop) const
{
    QList<qint64> totals(names.size(), 0);
    if (nativeFolder.isEmpty() || names.isEmpty() || stop.stop_requested())
        return totals;
    const int rootFd = openRoot(nativeFolder.constData(), kOpenFlags & ~O_NOFOLLOW, m_limits);
    if (rootFd < 0)
        return totals;
    {
        Walk walk(m_limits, rootFd, int(names.size()), std::move(stop));
        Worker worker(walk, 0);
        worker.runEntries(names);
        finish(walk, worker);
        for (qsizetype i = 0; i < totals.size(); ++i)
            totals[i] = walk.totals[size_t(i)].load();
    }
    close(rootFd);
    return totals;
}
