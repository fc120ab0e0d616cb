#pragma once

#include "core/engine/AdminCommand.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

class ToolRunner;

// A fake /usr/bin/osascript: the test binary itself, started again through a
// small script. It parses the administrator script back (no shell ever sees
// the command), removes the paths itself, but only inside the sandbox folder,
// prints them as "rm -v" does, and records every script it was given. The
// test's main() must start with runIfRequested().
class FakeOsascript
{
public:
    enum class Behaviour {
        Remove,         // remove every path, list it, exit 0
        ListOnly,       // list the paths (carriage returns, as "do shell script" does), remove nothing, exit 0
        RemoveNothing,  // exit 0 without output
        CancelByStatus, // exit status -128 (128), no text
        CancelByText,   // "User canceled. (-128)" on standard error, exit 1
        FailAfterFirst, // remove the first path only, then fail with exit 1
        Flood,          // 200000 lines of output before removing
    };

    // Only paths below `sandbox` are ever removed; `runner` starts it as /usr/bin/osascript.
    FakeOsascript(const QString &sandbox, ToolRunner &runner);

    void setBehaviour(Behaviour behaviour);
    // Paths that "rm" cannot remove; it then exits with status 1.
    void keep(const QStringList &paths);
    // Every run, in order, read back: paths and prompt (both empty for a script of another form).
    QList<AdminCommand::Parsed> requests() const;

    // In main(), before anything else: runs the fake when the binary was started as one.
    static std::optional<int> runIfRequested(int argc, char **argv);

private:
    QTemporaryDir m_state;
};
