#include "ui/main/LeftoversRules.h"

#include "core/LanguageManager.h"
#include "model/ByteCountFormatter.h"

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
    const QVariantList name{first.appName};
    add(MenuEntry::Kind::scanAllFiles, lm.localized(QStringLiteral("scan_all_files_for"), name)).item = first;
    add(MenuEntry::Kind::resetAllPermissions, lm.localized(QStringLiteral("reset_all_permissions_for"), name)).item = first;
    add(MenuEntry::Kind::divider);
    if (ignored.contains(*first.bundleID))
        add(MenuEntry::Kind::unignore, lm.localized(QStringLiteral("remove_from_ignore"), name)).item = first;
    else
        add(MenuEntry::Kind::ignore, lm.localized(QStringLiteral("add_to_ignore"), name)).item = first;
    return entries;
}

QList<LeftoverItem> actionList(Action action, const QList<LeftoverItem> &selected)
{
    QList<LeftoverItem> list;
    for (const LeftoverItem &item : selected) {
        const bool belongs = action == Action::resetPermissions ? item.type == LeftoverType::permission
                           : action == Action::removeBackground
                               ? item.type == LeftoverType::backgroundActivity && !item.path
                               : item.path.has_value();
        if (belongs)
            list.append(item);
    }
    return list;
}

QSet<QUuid> withoutItems(QSet<QUuid> selection, const QList<LeftoverItem> &acted)
{
    for (const LeftoverItem &item : acted)
        selection.remove(item.id);
    return selection;
}

} // namespace LeftoversRules
