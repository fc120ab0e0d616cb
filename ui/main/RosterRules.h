#pragma once

#include "model/InstalledApp.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

class LanguageManager;

// One entry of the roster's context menu; a separator has no action.
struct RosterMenuEntry
{
    enum class Action { separator, reveal, scanLeftovers, resetAllPermissions, requestRemove, unignore, addToIgnore };
    Action action = Action::separator;
    // Plain text, the app's name isolated (OutsideText::inLine); "&" still needs escaping in a menu.
    QString title;
    bool destructive = false;
};

// The Installed Apps tab's decisions, apart from the widgets that show them.
namespace RosterRules {

// "N app(s)": the filter bar's count of the apps the search leaves.
QString countText(qsizetype count);

// The app every menu entry acts on: the first of `apps` (roster order) whose
// id is in `selection`; none when no id matches.
std::optional<InstalledApp> menuApp(const QList<InstalledApp> &apps, const QSet<QUuid> &selection);

// The menu for `app`; `ignored` is the ignore list as stored now.
QList<RosterMenuEntry> contextMenu(const InstalledApp &app, const QStringList &ignored, const LanguageManager &lm);

} // namespace RosterRules
