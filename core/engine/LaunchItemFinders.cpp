#include "core/engine/LaunchItemFinders.h"

#include "core/engine/DirectorySize.h"
#include "core/engine/FinderRules.h"
#include "core/engine/FolderAccess.h"
#include "core/engine/Naming.h"

namespace {

using namespace ScannerEngine;

// "Program", else the first element of "ProgramArguments" when that is a
// list of strings. An empty text names no program.
std::optional<QString> programPath(const QVariantMap &plist)
{
    if (auto program = stringValue(plist, QStringLiteral("Program"))) {
        if (!program->isEmpty())
            return program;
        return std::nullopt;
    }
    const QVariant arguments = plist.value(QStringLiteral("ProgramArguments"));
    if (arguments.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    const QVariantList list = arguments.toList();
    if (list.isEmpty())
        return std::nullopt;
    for (const QVariant &argument : list) {
        if (argument.typeId() != QMetaType::QString)
            return std::nullopt;
    }
    QString first = list.first().toString();
    if (first.isEmpty())
        return std::nullopt;
    return first;
}

// The name without its path extension; a leading dot is no extension.
QString baseName(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

}

QList<LeftoverItem> ScannerEngine::findOrphanLaunchItems(const SystemRoots &roots)
{
    const QStringList folders{roots.inHome(QStringLiteral("/Library/LaunchAgents")),
                              roots.system(QStringLiteral("/Library/LaunchAgents")),
                              roots.system(QStringLiteral("/Library/LaunchDaemons"))};
    const QString plistSuffix = QStringLiteral(".plist");
    QList<LeftoverItem> items;
    QSet<QString> taken;
    for (const QString &folder : folders) {
        for (const QString &name : listFolder(folder)) {
            if (!name.endsWith(plistSuffix) || isHidden(name))
                continue;
            const QString path = folder + QLatin1Char('/') + name;
            if (taken.contains(path))
                continue;
            taken.insert(path);
            const auto plist = readPropertyList(path);
            if (!plist)
                continue;
            // The label decides, not the file name.
            const QString label = stringValue(*plist, QStringLiteral("Label")).value_or(name.chopped(plistSuffix.size()));
            if (isAppleIdentifier(label) || isTooShort(label))
                continue;
            const std::optional<QString> program = programPath(*plist);
            LeftoverItem item;
            item.appName = appName(program, label);
            item.bundleID = label;
            item.path = path;
            item.type = LeftoverType::loginItem;
            item.size = fileSize(path);
            item.permissionService = program;
            items.append(std::move(item));
        }
    }
    return items;
}

QList<LeftoverItem> ScannerEngine::findOrphanPlugins(const SystemRoots &roots, const QSet<QString> &installedIDs,
                                                     const QSet<QString> &installedNames, std::stop_token stop)
{
    // There is no per-user HAL folder.
    const QStringList folders{
        roots.inHome(QStringLiteral("/Library/PreferencePanes")),
        roots.system(QStringLiteral("/Library/PreferencePanes")),
        roots.inHome(QStringLiteral("/Library/Screen Savers")),
        roots.system(QStringLiteral("/Library/Screen Savers")),
        roots.inHome(QStringLiteral("/Library/Audio/Plug-Ins/Components")),
        roots.system(QStringLiteral("/Library/Audio/Plug-Ins/Components")),
        roots.system(QStringLiteral("/Library/Audio/Plug-Ins/HAL")),
        roots.inHome(QStringLiteral("/Library/Audio/Plug-Ins/VST")),
        roots.system(QStringLiteral("/Library/Audio/Plug-Ins/VST")),
        roots.inHome(QStringLiteral("/Library/Audio/Plug-Ins/VST3")),
        roots.system(QStringLiteral("/Library/Audio/Plug-Ins/VST3")),
    };
    QList<LeftoverItem> items;
    for (const QString &folder : folders) {
        QList<qsizetype> folderItems;
        for (const QString &name : listFolder(folder)) {
            if (isHidden(name))
                continue;
            const QString path = folder + QLatin1Char('/') + name;
            const QString base = baseName(name);
            std::optional<QString> identifier;
            if (const auto info = readPropertyList(path + QStringLiteral("/Contents/Info.plist")))
                identifier = stringValue(*info, QStringLiteral("CFBundleIdentifier"));
            if (identifier) {
                if (isAppleIdentifier(*identifier) || installedIDs.contains(*identifier))
                    continue;
                // "com.example.app.audio" belongs to the installed "com.example.app".
                const QStringList pieces = identifier->split(QLatin1Char('.'), Qt::SkipEmptyParts);
                if (pieces.size() > 2 && installedIDs.contains(pieces.mid(0, 3).join(QLatin1Char('.'))))
                    continue;
            } else if (isAppleIdentifier(base) || installedNames.contains(base)) {
                continue;
            }
            LeftoverItem item;
            item.appName = base;
            item.bundleID = identifier;
            item.path = path;
            item.type = LeftoverType::plugin;
            if (isDirectory(path))
                folderItems.append(items.size());
            else
                item.size = fileSize(path);
            items.append(std::move(item));
        }
        sizeFolderItems(folder, folderItems, items, stop);
    }
    return items;
}
