#include "platform/Trash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDomain = QStringLiteral("NSCocoaErrorDomain");
constexpr int kNoSuchFile = 4;
constexpr int kWriteUnknown = 512;
constexpr int kWriteNoPermission = 513;
constexpr int kWriteInvalidFileName = 514;
constexpr int kWriteOutOfSpace = 640;
constexpr int kWriteVolumeReadOnly = 642;
constexpr int kFeatureUnsupported = 3328;

// Room for a name in the Trash: NAME_MAX less ".trashinfo".
constexpr qsizetype kMaxNameBytes = 255 - 10;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int codeForErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kNoSuchFile;
    case EACCES:
    case EPERM:
        return kWriteNoPermission;
    case ENAMETOOLONG:
        return kWriteInvalidFileName;
    case ENOSPC:
    case EDQUOT:
        return kWriteOutOfSpace;
    case EROFS:
        return kWriteVolumeReadOnly;
    case EXDEV:
        return kFeatureUnsupported;
    default:
        return kWriteUnknown;
    }
}

TrashError trashError(int code, const QString &path, int error = 0)
{
    const QString name = QLatin1Char('"') + QFileInfo(path).fileName() + QLatin1Char('"');
    QString because;
    switch (code) {
    case kNoSuchFile:
        because = QStringLiteral(" because it doesn't exist.");
        break;
    case kWriteNoPermission:
        because = QStringLiteral(" because you don't have permission to access it.");
        break;
    case kWriteInvalidFileName:
        because = QStringLiteral(" because its name is too long.");
        break;
    case kWriteOutOfSpace:
        because = QStringLiteral(" because there isn't enough space.");
        break;
    case kWriteVolumeReadOnly:
        because = QStringLiteral(" because the volume is read only.");
        break;
    case kFeatureUnsupported:
        because = QStringLiteral(" because its volume has no usable Trash.");
        break;
    default:
        because = error ? QStringLiteral(" (%1).").arg(QString::fromLocal8Bit(std::strerror(error)))
                        : QStringLiteral(".");
        break;
    }
    return TrashError{kDomain, code, name + QStringLiteral(" couldn't be moved to the Trash") + because};
}

TrashError errnoError(int error, const QString &path)
{
    return trashError(codeForErrno(error), path, error);
}

// A Trash folder that cannot be set up is the Trash's fault, not the item's.
TrashError trashSetupError(int error, const QString &path)
{
    const int code = codeForErrno(error);
    return trashError(code == kNoSuchFile || code == kWriteInvalidFileName ? kWriteUnknown : code, path, error);
}

// mkdir -p where every folder made is private to the user, as the
// specification asks of the Trash and the data folder above it.
bool makePrivatePath(const QString &path, int *error)
{
    const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString prefix;
    for (const QString &part : parts) {
        prefix += QLatin1Char('/') + part;
        if (::mkdir(native(prefix).constData(), 0700) != 0 && errno != EEXIST) {
            *error = errno;
            return false;
        }
    }
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0) {
        *error = errno;
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *error = ENOTDIR;
        return false;
    }
    return true;
}

bool makeFilesAndInfo(const QString &trashDir, int *error)
{
    return makePrivatePath(trashDir + QStringLiteral("/files"), error)
        && makePrivatePath(trashDir + QStringLiteral("/info"), error);
}

// The device of the nearest folder of `path` that exists.
dev_t deviceOfNearest(const QString &path)
{
    QString p = QDir::cleanPath(path);
    struct stat st;
    while (::stat(native(p).constData(), &st) != 0) {
        if (p == QLatin1String("/"))
            return 0;
        p = QFileInfo(p).path();
    }
    return st.st_dev;
}

// The mount point above `realFolder` (a folder path without symbolic links).
QString topDirectory(const QString &realFolder, dev_t device)
{
    QString current = realFolder;
    while (current != QLatin1String("/")) {
        const QString parent = QFileInfo(current).path();
        struct stat st;
        if (::stat(native(parent).constData(), &st) != 0 || st.st_dev != device)
            break;
        current = parent;
    }
    return current;
}

// A per-user folder in a shared place: only one that we own and that is not a link.
bool usableUserFolder(const QString &path, int *error)
{
    if (::mkdir(native(path).constData(), 0700) != 0 && errno != EEXIST) {
        *error = errno;
        return false;
    }
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0) {
        *error = errno;
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        *error = EPERM;
        return false;
    }
    return makeFilesAndInfo(path, error);
}

// $topdir/.Trash/$uid when .Trash is a sticky folder (not a link), else $topdir/.Trash-$uid.
std::optional<QString> volumeTrash(const QString &topDir, int *error)
{
    const QString uid = QString::number(::getuid());
    const QString base = topDir == QLatin1String("/") ? QString() : topDir;
    const QString shared = base + QStringLiteral("/.Trash");
    struct stat st;
    if (::lstat(native(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString own = shared + QLatin1Char('/') + uid;
        if (usableUserFolder(own, error))
            return own;
    }
    const QString own = base + QStringLiteral("/.Trash-") + uid;
    if (usableUserFolder(own, error))
        return own;
    return std::nullopt;
}

// "name 2", "report 2.pdf": the number goes before the extension. The stem is
// shortened when the name would not fit beside its ".trashinfo".
std::optional<QString> candidateName(const QString &name, int number)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && dot < name.size() - 1;
    QString stem = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    const QString suffix = (number > 1 ? QStringLiteral(" ") + QString::number(number) : QString()) + extension;
    while (native(stem + suffix).size() > kMaxNameBytes) {
        if (stem.isEmpty())
            return std::nullopt;
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
    }
    if (stem.isEmpty())
        return std::nullopt;
    return stem + suffix;
}


bool writeAll(int fd, const QByteArray &data)
{
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += n;
    }
    return true;
}

// rename() that never replaces an existing entry.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return -1;
    // A file system without RENAME_NOREPLACE: check, then rename. The
    // exclusive .trashinfo already reserves the name among well-behaved programs.
    struct stat st;
    if (::lstat(to.constData(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.constData(), to.constData());
}

}

Trash::Trash(const QString &homeTrashPath)
    : m_homeTrashPath(QDir::cleanPath(homeTrashPath))
{
}

QString Trash::defaultHomeTrashPath()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.startsWith(QLatin1Char('/')))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/Trash"));
}

QString Trash::homeTrashPath() const
{
    return m_homeTrashPath;
}

QString Trash::filesPath() const
{
    return m_homeTrashPath + QStringLiteral("/files");
}

QByteArray Trash::infoText(const QString &originalPath, const QDateTime &deletionDate)
{
    // RFC 3986 unreserved characters are never encoded; "/" is kept too.
    const QByteArray encodedPath = native(originalPath).toPercentEncoding(QByteArrayLiteral("/"));
    const QByteArray date = deletionDate.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1();
    return QByteArrayLiteral("[Trash Info]\nPath=") + encodedPath + QByteArrayLiteral("\nDeletionDate=") + date
        + '\n';
}

std::optional<QString> Trash::originalPath(const QByteArray &infoText)
{
    bool inGroup = false;
    for (const QByteArray &rawLine : infoText.split('\n')) {
        const QByteArray line = rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine;
        if (line.startsWith('[')) {
            inGroup = line == "[Trash Info]";
            continue;
        }
        if (!inGroup || !line.startsWith("Path="))
            continue;
        const QByteArray value = QByteArray::fromPercentEncoding(line.mid(5));
        if (value.isEmpty())
            return std::nullopt;
        return QFile::decodeName(value);
    }
    return std::nullopt;
}

std::optional<TrashError> Trash::moveToTrash(const QString &path, QString *trashedPath) const
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return trashError(kNoSuchFile, path);

    // "dir/." and "dir/.." do not name the entry they seem to; refuse rather than guess.
    QString given = path;
    while (given.size() > 1 && given.endsWith(QLatin1Char('/')))
        given.chop(1);
    const QString lastComponent = given.mid(given.lastIndexOf(QLatin1Char('/')) + 1);
    if (lastComponent == QLatin1String(".") || lastComponent == QLatin1String(".."))
        return trashError(kWriteUnknown, path);
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(given));
    if (absolute == QLatin1String("/"))
        return trashError(kWriteNoPermission, path);

    struct stat item;
    if (::lstat(native(absolute).constData(), &item) != 0)
        return errnoError(errno, absolute);
    const QString name = QFileInfo(absolute).fileName();

    // Where the item lies once symbolic links in its folder are resolved.
    char *resolved = ::realpath(native(QFileInfo(absolute).path()).constData(), nullptr);
    if (!resolved)
        return errnoError(errno, absolute);
    const QString realFolder = QFile::decodeName(resolved);
    std::free(resolved);
    const QString source = (realFolder == QLatin1String("/") ? QString() : realFolder) + QLatin1Char('/') + name;

    QString trashDir;
    int error = 0;
    if (item.st_dev == deviceOfNearest(filesPath())) {
        if (!makeFilesAndInfo(m_homeTrashPath, &error))
            return trashSetupError(error, absolute);
        trashDir = m_homeTrashPath;
    } else {
        const auto volume = volumeTrash(topDirectory(realFolder, item.st_dev), &error);
        if (!volume) {
            const int code = codeForErrno(error) == kWriteVolumeReadOnly ? kWriteVolumeReadOnly : kFeatureUnsupported;
            return trashError(code, absolute, error);
        }
        trashDir = *volume;
    }

    const QByteArray info = infoText(absolute, QDateTime::currentDateTime());
    for (int number = 1; number < 100000; ++number) {
        const auto candidate = candidateName(name, number);
        if (!candidate)
            return trashError(kWriteInvalidFileName, absolute);
        const QByteArray infoPath = native(trashDir + QStringLiteral("/info/") + *candidate + QStringLiteral(".trashinfo"));
        const int fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return trashSetupError(errno, absolute);
        }
        const bool written = writeAll(fd, info);
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            ::unlink(infoPath.constData());
            return trashSetupError(written ? errno : writeError, absolute);
        }

        const QString target = trashDir + QStringLiteral("/files/") + *candidate;
        if (renameNoReplace(native(source), native(target)) == 0) {
            if (trashedPath)
                *trashedPath = target;
            return std::nullopt;
        }
        const int renameError = errno;
        ::unlink(infoPath.constData());
        if (renameError == EEXIST || renameError == ENOTEMPTY)
            continue; // an item without restore information holds the name
        return errnoError(renameError, absolute);
    }
    return trashError(kWriteUnknown, absolute);
}
