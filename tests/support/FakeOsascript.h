#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// A fake /usr/bin/osascript: the test binary itself, started again through a
// small script. It parses the administrator script back (no shell ever sees
// the command), removes the paths itself, but only inside the sandbox folder,
// prints them as "rm -v" does, and records every script it was given.
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

    // Only paths below `sandbox` are ever removed.
    explicit FakeOsascript(const QString &sandbox);

    QString executable() const { return m_executable; }
    void setBehaviour(Behaviour behaviour);
    // The script of every run, in order; empty when the fake was never started.
    QStringList scripts() const;

    // In main(), before anything else: runs the fake when the binary was started as one.
    static std::optional<int> runIfRequested(int argc, char **argv);

private:
    QTemporaryDir m_state;
    QString m_executable;
};
