#include "core/engine/DirectorySize.h"

#include "core/engine/FolderWalker.h"

#include <QFile>

#include <sys/stat.h>

qint64 ScannerEngine::directorySize(const QString &path)
{
    return FolderWalker().totalSize(QFile::encodeName(path));
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
