#pragma once

#include "model/LeftoverItem.h"

#include <QList>
#include <QLocale>
#include <QSet>
#include <QStringList>
#include <QUuid>

class LanguageManager;

// The Leftovers tab's decisions, apart from the widgets that show them.
namespace LeftoversRules {

// ---- the Size cell ----
enum class SizeTone { primary, orange, red };
// "—" below one byte, else the size in file style.
QString sizeText(qint64 size, const QLocale &locale);
SizeTone sizeTone(qint64 size);

// ---- the table's context menu ----
struct MenuEntry
{
    enum class Kind { reveal, scanAllFiles, resetAllPermissions, ignore, unignore, divider };
    Kind kind = Kind::divider;
    // Plain text, the app's name isolated (OutsideText::inLine); "&" still needs escaping in a menu.
    QString title;
    // reveal: the paths to show, in scan order.
    QStringList paths;
    // The application entries: the first row the menu was opened on.
    LeftoverItem item;
};
// The entries for the rows of `rows`, taken in the order of `items` (the
// scan's order, not the table's); `ignored` is the ignore list as stored now.
QList<MenuEntry> contextMenu(const QList<LeftoverItem> &items, const QSet<QUuid> &rows, const QStringList &ignored,
                             const LanguageManager &lm);

// ---- the action bar's buttons ----
enum class Action { resetPermissions, removeBackground, moveToTrash };
// Whether the action applies to the item.
bool appliesTo(Action action, const LeftoverItem &item);
// The selected items the action applies to, in the order of `items`; the
// selection may name ids that are no longer there.
QList<LeftoverItem> actionList(Action action, const QList<LeftoverItem> &items, const QSet<QUuid> &selection);
// `selection` without the ids of `acted`.
QSet<QUuid> withoutItems(QSet<QUuid> selection, const QList<LeftoverItem> &acted);

} // namespace LeftoversRules
