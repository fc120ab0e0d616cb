#include "ui/main/LeftoversRules.h"

#include "core/LanguageManager.h"
#include "model/ByteCountFormatter.h"
#include "ui/common/OutsideText.h"

#include <algorithm>

namespace LeftoversRules {

QString sizeText(qint64 size, const QLocale &locale)
{
    return size < 1 ? QStringLiteral("\u2014") : ByteCountFormatter::string(size, locale);
}

SizeTone sizeTone(qint64 size)
{
    if (size > 100'000'000)
        return SizeTone::red;
    if (size > 10'000'000)
        return SizeTone::orange;
    return SizeTone::primary;
}

QList<MenuEntry> contextMenu(const QList<LeftoverItem> &items, const QSet<QUuid> &rows, const QStringList &ignored,
                             const LanguageManager &lm)
{
    QList<LeftoverItem> picked;
    QStringList paths;
    for (const LeftoverItem &item : items) {
        if (!rows.contains(item.id))
            continue;
        picked.append(item);
        if (item.path)
            paths.append(*item.path);
    }

    QList<MenuEntry> entries;
    const auto add = [&entries](MenuEntry::Kind kind, const QString &title = {}) -> MenuEntry & {
        entries.append(MenuEntry{kind, title, {}, {}});
        return entries.last();
    };
    if (!paths.isEmpty()) {
        const QString title = paths.size() == 1 ? QStringLiteral("Show in Finder")
                                                : lm.localized(QStringLiteral("show_n_in_finder"), {int(paths.size())});
        add(MenuEntry::Kind::reveal, title).paths = paths;
        add(MenuEntry::Kind::divider);
    }
    if (picked.isEmpty() || !picked.first().bundleID)
        return entries;

    const LeftoverItem &first = picked.first();
    const QVariantList name{OutsideText::inLine(first.appName)};
    add(MenuEntry::Kind::scanAllFiles, lm.localized(QStringLiteral("scan_all_files_for"), name)).item = first;
    add(MenuEntry::Kind::resetAllPermissions, lm.localized(QStringLiteral("reset_all_permissions_for"), name)).item = first;
    add(MenuEntry::Kind::divider);
    if (ignored.contains(*first.bundleID))
        add(MenuEntry::Kind::unignore, lm.localized(QStringLiteral("remove_from_ignore"), name)).item = first;
    else
        add(MenuEntry::Kind::ignore, lm.localized(QStringLiteral("add_to_ignore"), name)).item = first;
    return entries;
}

bool appliesTo(Action action, const LeftoverItem &item)
{
    switch (action) {
    case Action::resetPermissions: return item.type == LeftoverType::permission;
    case Action::removeBackground: return item.type == LeftoverType::backgroundActivity && !item.path;
    case Action::moveToTrash: return item.path.has_value();
    }
    return false;
}

QList<LeftoverItem> actionList(Action action, const QList<LeftoverItem> &items, const QSet<QUuid> &selection)
{
    // Straight from the scan's list, no copy of the whole selection first, and
    // sized once: regrowing would copy every item again.
    QList<LeftoverItem> list;
    if (selection.isEmpty())
        return list;
    const auto picked = [&](const LeftoverItem &item) { return appliesTo(action, item) && selection.contains(item.id); };
    list.reserve(std::count_if(items.cbegin(), items.cend(), picked));
    std::copy_if(items.cbegin(), items.cend(), std::back_inserter(list), picked);
    return list;
}

QSet<QUuid> withoutItems(QSet<QUuid> selection, const QList<LeftoverItem> &acted)
{
    for (const LeftoverItem &item : acted)
        selection.remove(item.id);
    return selection;
}

} // namespace LeftoversRules
