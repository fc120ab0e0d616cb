#pragma once

#include <functional>
#include <memory>
#include <stop_token>

class Scanner;

// A background task's way back to its Scanner. Calls are queued for the
// Scanner's thread with the Scanner as their context object, so Qt drops the
// ones still queued when the Scanner is deleted. Copies share one link; the
// Scanner cuts it as it goes, and nothing is queued after that; the cut also
// asks the work that only the Scanner wanted to stop.
class ScannerLink
{
public:
    explicit ScannerLink(Scanner *scanner);

    // Any thread. Calls posted from one thread run in the order posted.
    void post(std::function<void(Scanner &)> call) const;
    // The Scanner's destructor.
    void cut() const;
    // Requested by the cut: a walk given it ends at its next folder.
    std::stop_token stopToken() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
