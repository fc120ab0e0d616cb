#pragma once

#include <functional>

// Posts `work` to the main thread. Work posted from one thread runs in the
// order it was posted, and the caller never waits for the main thread, so a
// task can't hang on a main thread that has stopped turning its event loop.
// Without an application object the work is dropped: there is no one to tell.
void postToMainThread(std::function<void()> work);

// Runs `work` on the global thread pool; a higher priority is taken first.
void runInBackground(std::function<void()> work, int priority);
