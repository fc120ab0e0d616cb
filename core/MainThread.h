#pragma once

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

// Posts `work` to the main thread's event queue. Posts from one thread arrive
// in the order they were made, and the caller never waits for the main thread,
// so a task can't hang on a main thread that has stopped turning its loop.
template <typename Work>
void postToMainThread(Work &&work)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::forward<Work>(work), Qt::QueuedConnection);
}
