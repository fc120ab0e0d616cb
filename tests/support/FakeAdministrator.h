#pragma once

#include "core/engine/AdminCommand.h"
#include "support/FakeMac.h"

#include <QList>
#include <QStringList>

class ToolRunner;

// Stands in for the administrator prompt: a fake osascript that records each
// script, reads the rm command back out of it and removes the named paths,
// refusing anything outside the fake Mac. It can also act as if the user
// dismissed the prompt, or leave chosen paths in place (rm then fails).
class FakeAdministrator
{
public:
    enum class Outcome { Remove, Cancel };

    FakeAdministrator(FakeMac &mac, ToolRunner &runner);

    void setOutcome(Outcome outcome);
    // Paths that "rm" cannot remove; it then exits with status 1.
    void keep(const QStringList &paths);

    // Every request made, in order: its paths and its prompt.
    QList<AdminCommand::Parsed> requests() const;

private:
    QString m_folder;
};
