#include "core/engine/DirectorySize.h"

#include "core/engine/FolderWalker.h"

#include <QFile>

#include <sys/stat.h>

qint64 ScannerEngine::directorySize(const QString &path, std::stop_token stop)
{
    return FolderWalker().totalSize(QFile::encodeName(path), std::move(stop));
}

QList<qint64> ScannerEngine::directorySizes(const QString &folder, const QStringList &names, std::stop_token stop)
{
    QByteArrayList nativeNames;
    nativeNames.reserve(names.size());
    for (const QString &name : names)
        nativeNames.append(QFile::encodeName(name));
    // The entries are separate folders to share out from the start, so other
    // threads pay off sooner than in one folder of unknown size.
    FolderWalker::Limits limits;
    limits.parallelAfterEntries = 512;
    return FolderWalker(limits).totalSizes(QFile::encodeName(folder), nativeNames, std::move(stop));
}

void ScannerEngine::sizeFolderItems(const QString &folder, const QList<qsizetype> &folderItems,
                                    QList<LeftoverItem> &items, std::stop_token stop)
{
    QStringList names;
    names.reserve(folderItems.size());
    for (const qsizetype at : folderItems)
        names.append(items.at(at).path.value_or(QString()).mid(folder.size() + 1));
    const QList<qint64> sizes = directorySizes(folder, names, std::move(stop));
    for (qsizetype i = 0; i < folderItems.size(); ++i)
        items[folderItems[i]].size = sizes[i];
}

qint64 ScannerEngine::fileSize(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_size;
}

bool ScannerEngine::isDirectory(const QString &path)
{
    struct stat st;
    return !path.isEmpty() && stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}
