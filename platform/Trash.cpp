#include "platform/Trash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kCocoaDomain = QStringLiteral("NSCocoaErrorDomain");
const QString kTrashDomain = QStringLiteral("QuillmereTrashErrorDomain");
constexpr int kNoSuchFile = 4;
constexpr int kWriteNoPermission = 513;

// Room for a name in the Trash: NAME_MAX less ".trashinfo".
constexpr qsizetype kMaxNameBytes = 255 - 10;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// The description names the item and why; `error`, when given, adds the system's words.
TrashError failure(const QString &domain, int code, const QString &path, int error = 0)
{
    const char *because = nullptr;
    if (domain == kCocoaDomain) {
        because = code == kNoSuchFile ? "it doesn't exist" : "you don't have permission to access it";
    } else {
        switch (code) {
        case TrashError::TrashUnavailable: because = "the Trash can't be written"; break;
        case TrashError::OutOfSpace: because = "there isn't enough space"; break;
        case TrashError::Busy: because = "it is in use"; break;
        case TrashError::HoldsTrash: because = "it holds a Trash"; break;
        case TrashError::NotClean: because = "its path is not a clean absolute path"; break;
        case TrashError::NameTooLong: because = "its name is too long"; break;
        case TrashError::ReadOnlyVolume: because = "the volume is read only"; break;
        default: break;
        }
    }
    QString text = QLatin1Char('"') + QFileInfo(path).fileName() + QStringLiteral("\" couldn't be moved to the Trash");
    if (because)
        text += QStringLiteral(" because ") + QLatin1String(because);
    if (error)
        text += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
    return TrashError{domain, code, text + QLatin1Char('.')};
}

TrashError trashFailure(TrashError::Code code, const QString &path, int error = 0)
{
    return failure(kTrashDomain, code, path, error);
}

// A failure on the item itself: of looking it up, or of the move.
TrashError itemError(int error, const QString &path)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return failure(kCocoaDomain, kNoSuchFile, path);
    case EACCES:
    case EPERM:
        return failure(kCocoaDomain, kWriteNoPermission, path);
    case ENAMETOOLONG:
        return trashFailure(TrashError::NameTooLong, path);
    case ENOSPC:
    case EDQUOT:
        return trashFailure(TrashError::OutOfSpace, path);
    case EROFS:
        return trashFailure(TrashError::ReadOnlyVolume, path);
    case EBUSY:
        return trashFailure(TrashError::Busy, path);
    case EINVAL: // a folder moved into itself
        return trashFailure(TrashError::HoldsTrash, path);
    case EXDEV:
        return trashFailure(TrashError::TrashUnavailable, path, error);
    default:
        return trashFailure(TrashError::Other, path, error);
    }
}

// A Trash folder that cannot be set up is the Trash's fault, not the item's.
TrashError trashSetupError(int error, const QString &path)
{
    if (error == ENOSPC || error == EDQUOT)
        return trashFailure(TrashError::OutOfSpace, path);
    return trashFailure(TrashError::TrashUnavailable, path, error);
}

bool isInside(const QString &path, const QString &folder)
{
    return path == folder || folder == QLatin1String("/") || path.startsWith(folder + QLatin1Char('/'));
}

QString resolvedFolder(const QString &path)
{
    char *resolved = ::realpath(native(path).constData(), nullptr);
    if (!resolved)
        return QString();
    const QString folder = QFile::decodeName(resolved);
    std::free(resolved);
    return folder;
}

// Every mount point, from the kernel's table (names escape blanks as octal "\040").
QStringList mountPoints()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    QStringList points;
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QByteArray field = line.split(' ').value(4);
        QByteArray point;
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (field[i] == '\\' && i + 3 < field.size()) {
                point += char(field.mid(i + 1, 3).toInt(nullptr, 8));
                i += 3;
            } else {
                point += field[i];
            }
        }
        if (!point.isEmpty())
            points << QFile::decodeName(point);
    }
    return points;
}

// mkdir -p where every folder made is private to the user, as the
// freedesktop.org Trash specification asks of the Trash and the data folder above it.
// Folders made are added to *created, so that a failed move can take them away again.
bool makePrivatePath(const QString &path, QStringList *created, int *error)
{
    const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString prefix;
    for (const QString &part : parts) {
        prefix += QLatin1Char('/') + part;
        if (::mkdir(native(prefix).constData(), 0700) == 0) {
            created->append(prefix);
        } else if (errno != EEXIST) {
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

bool makeFilesAndInfo(const QString &trashDir, QStringList *created, int *error)
{
    return makePrivatePath(trashDir + QStringLiteral("/files"), created, error)
        && makePrivatePath(trashDir + QStringLiteral("/info"), created, error);
}

// Only empty folders go: another move may have used them meanwhile.
void removeCreated(const QStringList &created)
{
    for (auto it = created.crbegin(); it != created.crend(); ++it)
        ::rmdir(native(*it).constData());
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
bool usableUserFolder(const QString &path, QStringList *created, int *error)
{
    if (::mkdir(native(path).constData(), 0700) == 0) {
        created->append(path);
    } else if (errno != EEXIST) {
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
    return makeFilesAndInfo(path, created, error);
}

// $topdir/.Trash/$uid when .Trash is a sticky folder (not a link), else $topdir/.Trash-$uid.
std::optional<QString> volumeTrash(const QString &topDir, QStringList *created, int *error)
{
    const QString uid = QString::number(::getuid());
    const QString base = topDir == QLatin1String("/") ? QString() : topDir;
    const QString shared = base + QStringLiteral("/.Trash");
    struct stat st;
    if (::lstat(native(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString own = shared + QLatin1Char('/') + uid;
        if (usableUserFolder(own, created, error))
            return own;
    }
    const QString own = base + QStringLiteral("/.Trash-") + uid;
    if (usableUserFolder(own, created, error))
        return own;
    return std::nullopt;
}

// `stem` shortened, whole characters at a time, until stem + suffix fits beside
// its ".trashinfo"; nothing when not even one character of the stem fits.
std::optional<QString> fitted(QString stem, const QString &suffix)
{
    while (!stem.isEmpty() && native(stem + suffix).size() > kMaxNameBytes)
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
    if (stem.isEmpty())
        return std::nullopt;
    return stem + suffix;
}

// "name 2", "report 2.pdf": the number goes before the extension. The stem is
// shortened when the name would not fit beside its ".trashinfo"; an extension
// too long to leave room for a stem is shortened with the rest of the name.
std::optional<QString> candidateName(const QString &name, int number)
{
    const QString numberText = number > 1 ? QStringLiteral(" ") + QString::number(number) : QString();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && dot < name.size() - 1) {
        if (std::optional<QString> withExtension = fitted(name.left(dot), numberText + name.mid(dot)))
            return withExtension;
    }
    return fitted(name, numberText);
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

// The move itself failed: because of the item, or of the way into the Trash.
TrashError moveError(int error, const QString &source, const QString &filesDir, const QString &path)
{
    struct stat st;
    if ((error == ENOENT || error == ENOTDIR) && ::lstat(native(source).constData(), &st) == 0)
        return trashFailure(TrashError::TrashUnavailable, path, error);
    if ((error == EACCES || error == EPERM)
        && ::faccessat(AT_FDCWD, native(filesDir).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return trashFailure(TrashError::TrashUnavailable, path, error);
    return itemError(error, path);
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

bool Trash::holdsTrash(const QString &path) const
{
    const QFileInfo given(QDir::cleanPath(path));
    QStringList forms{given.filePath()};
    const QString folder = resolvedFolder(given.path());
    if (!folder.isEmpty())
        forms << QDir::cleanPath(folder + QLatin1Char('/') + given.fileName());
    QStringList held = mountPoints();
    held << m_homeTrashPath << QFileInfo(m_homeTrashPath).canonicalFilePath();
    held.removeAll(QString());
    const QString uid = QString::number(::getuid());
    for (const QString &form : std::as_const(forms)) {
        const QFileInfo info(form);
        const QString name = info.fileName();
        if (name == QLatin1String(".Trash") || name == QStringLiteral(".Trash-") + uid
            || (name == uid && QFileInfo(info.path()).fileName() == QLatin1String(".Trash")))
            return true;
        for (const QString &inside : std::as_const(held)) {
            if (isInside(inside, form))
                return true;
        }
    }
    return false;
}

std::optional<TrashError> Trash::moveToTrash(const QString &path, QString *trashedPath) const
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return failure(kCocoaDomain, kNoSuchFile, path);
    // The kernel walks "a/link/../x" through the link, a string clean-up does
    // not: only a path that is clean already names the entry it seems to.
    if (!path.startsWith(QLatin1Char('/')) || QDir::cleanPath(path) != path)
        return trashFailure(TrashError::NotClean, path);
    if (holdsTrash(path))
        return trashFailure(TrashError::HoldsTrash, path);

    struct stat item;
    if (::lstat(native(path).constData(), &item) != 0)
        return itemError(errno, path);
    const QString name = QFileInfo(path).fileName();

    // Where the item lies once symbolic links in its folder are resolved.
    const QString realFolder = resolvedFolder(QFileInfo(path).path());
    if (realFolder.isEmpty())
        return itemError(errno, path);
    struct stat parent;
    if (::stat(native(realFolder).constData(), &parent) == 0 && parent.st_dev != item.st_dev)
        return trashFailure(TrashError::Busy, path); // a mount point cannot be moved
    const QString source = (realFolder == QLatin1String("/") ? QString() : realFolder) + QLatin1Char('/') + name;

    // Checked before any Trash folder is made; a move that fails later takes
    // the folders it made away again.
    QString trashDir;
    QStringList created;
    int error = 0;
    if (item.st_dev == deviceOfNearest(filesPath())) {
        if (makeFilesAndInfo(m_homeTrashPath, &created, &error))
            trashDir = m_homeTrashPath;
    } else if (const auto volume = volumeTrash(topDirectory(realFolder, item.st_dev), &created, &error)) {
        trashDir = *volume;
    }
    if (trashDir.isEmpty()) {
        removeCreated(created);
        return trashSetupError(error, path);
    }

    const QByteArray info = infoText(path, QDateTime::currentDateTime());
    std::optional<TrashError> failed = trashFailure(TrashError::Other, path);
    for (int number = 1; number < 100000; ++number) {
        const auto candidate = candidateName(name, number);
        if (!candidate) {
            failed = trashFailure(TrashError::NameTooLong, path);
            break;
        }
        const QByteArray infoPath = native(trashDir + QStringLiteral("/info/") + *candidate + QStringLiteral(".trashinfo"));
        const int fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            failed = trashSetupError(errno, path);
            break;
        }
        const bool written = writeAll(fd, info);
        const int writeError = errno;
        if (::close(fd) != 0 || !written) {
            const int closeError = errno;
            ::unlink(infoPath.constData());
            failed = trashSetupError(written ? closeError : writeError, path);
            break;
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
        failed = moveError(renameError, source, trashDir + QStringLiteral("/files"), path);
        break;
    }
    removeCreated(created);
    return failed;
}
