#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// Why a move to the Trash failed. Every failure of the Trash itself has the
// domain "NSCocoaErrorDomain", with these codes:
//   4     NSFileNoSuchFileError          the item does not exist (ENOENT, ENOTDIR)
//   513   NSFileWriteNoPermissionError   no permission to move it (EACCES, EPERM), or the item is "/"
//   514   NSFileWriteInvalidFileNameError the name is too long for the Trash (ENAMETOOLONG)
//   640   NSFileWriteOutOfSpaceError     no room for the restore information (ENOSPC, EDQUOT)
//   642   NSFileWriteVolumeReadOnlyError the item's file system is read-only (EROFS)
//   3328  NSFeatureUnsupportedError      the item's file system has no usable Trash
//   512   NSFileWriteUnknownError        anything else
struct TrashError
{
    QString domain;
    int code = 0;
    QString description;
};

// The user's Trash as the freedesktop.org Trash specification lays it out: a
// "files" folder with the items and an "info" folder with one .trashinfo file
// (original path and deletion date) per item. Items on another file system go
// to that file system's own Trash; nothing is ever copied across file systems.
class Trash
{
public:
    explicit Trash(const QString &homeTrashPath);

    // $XDG_DATA_HOME/Trash, by default ~/.local/share/Trash.
    static QString defaultHomeTrashPath();

    QString homeTrashPath() const;
    QString filesPath() const;

    // Moves `path` (the entry itself, a symbolic link is not followed) to the
    // Trash. On success returns nothing and sets *trashedPath to where it went.
    // A failure leaves the item where it was.
    std::optional<TrashError> moveToTrash(const QString &path, QString *trashedPath = nullptr) const;

    // The restore information written beside an item: "[Trash Info]", the
    // original path percent-encoded ("Path=") and the deletion date in local time.
    static QByteArray infoText(const QString &originalPath, const QDateTime &deletionDate);
    // The original path from restore information; nothing when the text has no
    // "[Trash Info]" group or no non-empty "Path=" in it.
    static std::optional<QString> originalPath(const QByteArray &infoText);

private:
    QString m_homeTrashPath;
};
