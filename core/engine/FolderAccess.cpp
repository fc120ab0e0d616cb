#include "core/engine/FolderAccess.h"

#include "platform/PropertyList.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QStringList ScannerEngine::listFolder(const QString &path)
{
    QStringList names;
    if (path.isEmpty())
        return names;
    // readdir rather than QDir: this runs for every search root and bundle
    // folder, and QDir stats each entry.
    DIR *dir = opendir(QFile::encodeName(path).constData());
    if (!dir)
        return names;
    while (const dirent *entry = readdir(dir)) {
        const char *n = entry->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        // A name that is not valid UTF-8 decodes to other bytes: its path would
        // name a missing file or a sibling, so the entry is left out.
        const QString name = QFile::decodeName(n);
        if (QFile::encodeName(name) != n)
            continue;
        names.append(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<QVariantMap> ScannerEngine::readPropertyList(const QString &path)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > PropertyList::maxFileSize) {
        close(fd);
        return std::nullopt;
    }
    // One byte more than the file holds: a file that grows while it is read is
    // being rewritten and counts as unreadable.
    QByteArray data(static_cast<qsizetype>(st.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t got = read(fd, data.data() + filled, static_cast<size_t>(data.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        filled += got;
    }
    close(fd);
    if (filled > st.st_size)
        return std::nullopt;
    data.truncate(filled);
    return PropertyList::fromData(data);
}

std::optional<QString> ScannerEngine::stringValue(const QVariantMap &dict, const QString &key)
{
    const auto it = dict.constFind(key);
    if (it == dict.constEnd() || it->typeId() != QMetaType::QString)
        return std::nullopt;
    return it->toString();
}
