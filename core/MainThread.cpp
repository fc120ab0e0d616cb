#include "core/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThreadPool>

#include <deque>
#include <mutex>

// The hand-over between threads goes through a lock of our own as well as
// through Qt's queues: Qt's event queue and pool already order it, but inside
// Qt's libraries, where a sanitizer build of our code can't see it. The extra
// lock costs nothing measurable and keeps thread-sanitizer reports meaningful.
namespace {

struct Handover
{
    std::mutex mutex;
    std::deque<std::function<void()>> mainThreadWork;
};

// Never destroyed: pool threads may still post while the process exits.
Handover &handover()
{
    static Handover *h = new Handover;
    return *h;
}

void runMainThreadWork()
{
    std::deque<std::function<void()>> work;
    {
        std::lock_guard lock(handover().mutex);
        work.swap(handover().mainThreadWork);
    }
    for (std::function<void()> &item : work)
        item();
}

}

void postToMainThread(std::function<void()> work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    std::lock_guard lock(handover().mutex);
    handover().mainThreadWork.push_back(std::move(work));
    // Posted under the lock, so everything this thread wrote, the posted call
    // included, is published by the unlock the main thread waits for.
    QMetaObject::invokeMethod(app, &runMainThreadWork, Qt::QueuedConnection);
}

void runInBackground(std::function<void()> work, int priority)
{
    std::function<void()> task = [work = std::move(work)] {
        { std::lock_guard lock(handover().mutex); }
        work();
    };
    { std::lock_guard lock(handover().mutex); }
    QThreadPool::globalInstance()->start(std::move(task), priority);
}
