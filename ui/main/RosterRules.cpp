#include "ui/main/RosterRules.h"

#include "core/LanguageManager.h"
#include "ui/common/OutsideText.h"

#include <QCoreApplication>

namespace RosterRules {

QString countText(qsizetype count)
{
    return QCoreApplication::translate("RosterRules", "%1 app%2")
        .arg(count)
        .arg(count == 1 ? QString() : QStringLiteral("s"));
}

std::optional<InstalledApp> menuApp(const QList<InstalledApp> &apps, const QSet<QUuid> &selection)
{
    for (const InstalledApp &app : apps) {
        if (selection.contains(app.id))
            return app;
    }
    return std::nullopt;
}

QList<RosterMenuEntry> contextMenu(const InstalledApp &app, const QStringList &ignored, const LanguageManager &lm)
{
    using Action = RosterMenuEntry::Action;
    const auto entry = [&](Action action, const char *key, bool destructive = false) {
        return RosterMenuEntry{action, lm.localized(QString::fromLatin1(key), {OutsideText::inLine(app.name)}),
                               destructive};
    };
    const RosterMenuEntry separator;
    return {
        RosterMenuEntry{Action::reveal, QCoreApplication::translate("RosterRules", "Show in Finder"), false},
        separator,
        entry(Action::scanLeftovers, "scan_leftovers_for"),
        // Keeps the bundle: the same per-application scan, under a name that says so.
        entry(Action::scanLeftovers, "reset_app_for"),
        entry(Action::resetAllPermissions, "reset_all_permissions_for"),
        separator,
        entry(Action::requestRemove, "remove_app_completely", true),
        separator,
        ignored.contains(app.bundleID) ? entry(Action::unignore, "remove_from_ignore")
                                       : entry(Action::addToIgnore, "add_to_ignore"),
    };
}

} // namespace RosterRules
