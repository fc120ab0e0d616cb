#include "ui/main/DroppedBundle.h"

#include "platform/PropertyList.h"

#include <QDir>

std::optional<DroppedBundle> DroppedBundle::read(const QUrl &url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    QString path = url.toLocalFile();
    // A folder URL may end in a slash; the name is the last component either way.
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString fileName = path.section(QLatin1Char('/'), -1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || QStringView(fileName).mid(dot + 1) != QLatin1String("app"))
        return std::nullopt;

    DroppedBundle bundle;
    bundle.appName = fileName.left(dot);
    bundle.bundleID = bundle.appName;
    if (const std::optional<QVariantMap> info = PropertyList::readFile(path + QStringLiteral("/Contents/Info.plist"))) {
        const QVariant id = info->value(QStringLiteral("CFBundleIdentifier"));
        if (id.typeId() == QMetaType::QString)
            bundle.bundleID = id.toString();
    }
    return bundle;
}
