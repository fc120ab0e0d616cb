#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// Why a move to the Trash failed. Only two failures concern the item itself
// and have the domain "NSCocoaErrorDomain":
//   4     NSFileNoSuchFileError          the item does not exist (ENOENT, ENOTDIR)
//   513   NSFileWriteNoPermissionError   its own folder refuses the move (EACCES, EPERM)
// Every other failure has the domain "QuillmereTrashErrorDomain" and a Code:
// removing such an item by other means would not put it in the Trash, so no
// caller may take one for a lack of rights.
struct TrashError
{
    enum Code {
        TrashUnavailable = 1, // the Trash's folders cannot be made or written
        OutOfSpace,           // no room for the restore information (ENOSPC, EDQUOT)
        Busy,                 // a mount point, or otherwise in use (EBUSY)
        HoldsTrash,           // a Trash folder, or a folder that holds one
        NotClean,             // not an absolute path free of ".", ".." and empty components
        NameTooLong,          // ENAMETOOLONG, or no name of the item fits in the Trash
        ReadOnlyVolume,       // the item's file system is read-only (EROFS)
        Other,
    };

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
    // Trash. The path must be absolute and clean, as QDir::cleanPath leaves it.
    // On success returns nothing and sets *trashedPath to where it went. A
    // failure leaves the item where it was and no Trash folder made for it.
    std::optional<TrashError> moveToTrash(const QString &path, QString *trashedPath = nullptr) const;

    // Whether moving `path` would take a Trash along: it is the home Trash, a
    // volume's Trash folder (".Trash", ".Trash/$uid", ".Trash-$uid"), a mount
    // point, or a folder above one of them. Judged on the path as given and
    // with the symbolic links of its folder resolved.
    bool holdsTrash(const QString &path) const;

    // The restore information written beside an item: "[Trash Info]", the
    // original path percent-encoded ("Path=") and the deletion date in local time.
    static QByteArray infoText(const QString &originalPath, const QDateTime &deletionDate);
    // The original path from restore information; nothing when the text has no
    // "[Trash Info]" group or no non-empty "Path=" in it.
    static std::optional<QString> originalPath(const QByteArray &infoText);

private:
    QString m_homeTrashPath;
};
