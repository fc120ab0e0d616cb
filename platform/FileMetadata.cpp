#include "platform/FileMetadata.h"

#include "platform/PropertyList.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

std::optional<QDateTime> FileMetadata::lastUsedDate(const QString &bundlePath, const QString &executableName)
{
    // The name must stay inside Contents/MacOS.
    if (executableName.isEmpty() || executableName == QLatin1String(".") || executableName == QLatin1String("..")
        || executableName.contains(QLatin1Char('/')) || executableName.contains(QChar(0)))
        return std::nullopt;
    const QString executable = bundlePath + QStringLiteral("/Contents/MacOS/") + executableName;
    struct stat st;
    if (stat(QFile::encodeName(executable).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    // An access time of zero is what file systems without one report.
    if (st.st_atim.tv_sec == 0 && st.st_atim.tv_nsec == 0)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(st.st_atim.tv_sec) * 1000 + st.st_atim.tv_nsec / 1000000);
}

std::optional<QDateTime> FileMetadata::lastUsedDate(const QString &bundlePath)
{
    const QString plist = bundlePath + QStringLiteral("/Contents/Info.plist");
    // Only a regular file: opening a FIFO planted there would block.
    if (!QFileInfo(plist).isFile())
        return std::nullopt;
    const auto info = PropertyList::readFile(plist);
    if (!info)
        return std::nullopt;
    const QVariant name = info->value(QStringLiteral("CFBundleExecutable"));
    if (name.typeId() != QMetaType::QString)
        return std::nullopt;
    return lastUsedDate(bundlePath, name.toString());
}
