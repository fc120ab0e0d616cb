#include "model/LeftoverItem.h"

static QString withTilde(QString text, const QString &home)
{
    // An empty home would put "~" between every character.
    if (!home.isEmpty())
        text.replace(home, QStringLiteral("~"));
    return text;
}

QString LeftoverItem::displayPath(const QString &home) const
{
    if (type == LeftoverType::loginItem && permissionService)
        return withTilde(*permissionService, home);
    if (path)
        return withTilde(*path, home);
    if (permissionService)
        return QString(*permissionService).remove(QStringLiteral("kTCCService"));
    return QStringLiteral("\u2014");
}
