#include "core/ScannerLink.h"

#include "core/Scanner.h"

#include <QMetaObject>

#include <mutex>

struct ScannerLink::State
{
    std::mutex mutex;
    Scanner *scanner = nullptr;
    std::stop_source gone;
};

ScannerLink::ScannerLink(Scanner *scanner)
    : m_state(std::make_shared<State>())
{
    m_state->scanner = scanner;
}

void ScannerLink::post(std::function<void(Scanner &)> call) const
{
    // Queued under the lock: the Scanner cannot be deleted between the look
    // and the queueing, and once it is, Qt drops what it had queued.
    std::lock_guard lock(m_state->mutex);
    Scanner *scanner = m_state->scanner;
    if (!scanner)
        return;
    QMetaObject::invokeMethod(
        scanner,
        [state = m_state, scanner, call = std::move(call)] {
            // Taken again so that a thread sanitizer sees the hand-over, which
            // otherwise happens inside Qt's queue where it cannot look.
            { std::lock_guard lock(state->mutex); }
            call(*scanner);
        },
        Qt::QueuedConnection);
}

void ScannerLink::cut() const
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->scanner = nullptr;
    }
    m_state->gone.request_stop();
}

std::stop_token ScannerLink::stopToken() const
{
    return m_state->gone.get_token();
}
