#include "model/SystemRoots.h"

#include <QDir>

SystemRoots SystemRoots::real()
{
    return SystemRoots{QDir::homePath(), QStringLiteral("/")};
}

static QString withoutTrailingSlash(const QString &path)
{
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString SystemRoots::system(const QString &absolutePath) const
{
    const QString r = withoutTrailingSlash(root);
    if (r == QLatin1String("/") || r.isEmpty())
        return absolutePath;
    return r + absolutePath;
}

QString SystemRoots::inHome(const QString &relativePath) const
{
    return home + relativePath;
}

QString SystemRoots::asSystemPath(const QString &path) const
{
    const QString r = withoutTrailingSlash(root);
    if (r == QLatin1String("/") || r.isEmpty())
        return path;
    if (path == r)
        return QStringLiteral("/");
    if (path.startsWith(r + QLatin1Char('/')))
        return path.mid(r.size());
    return QString();
}
