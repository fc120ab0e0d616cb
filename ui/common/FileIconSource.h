#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

class QIODevice;

// The icon the desktop shows for a file: for an application bundle its own
// icon file, else the file manager's icon for that kind of file. Icons are
// read on a pool of their own, off the main thread and apart from scans, and
// kept per path, so a table asks as often as it paints without touching the
// disk. An icon file is read only when it is a regular file, a few MiB of it
// at most, and an image over 1024 × 1024 is not decoded.
class FileIconSource : public QObject
{
    Q_OBJECT

public:
    explicit FileIconSource(QObject *parent = nullptr);

    // The icon kept for `path`; until it has been read, a null icon, and the
    // read is started (once per path). `iconReady` follows when it is there.
    QIcon icon(const QString &path);

    // The one the windows use unless they are given another.
    static FileIconSource &desktop();

    // The image an icon file (.icns) gives for drawing at `pixels`, read
    // within IconFileReader's caps; null when none of its entries decodes.
    static QImage readIconFile(QIODevice &file, int pixels);

signals:
    void iconReady(const QString &path);

private:
    // What is read off the main thread: the bundle's own image, or a null
    // image with `isFolder` telling the fallback's kind.
    struct Loaded
    {
        QImage image;
        bool isFolder = false;
    };
    static Loaded load(const QString &path);
    void finish(const QString &path, const Loaded &loaded);

    QHash<QString, QIcon> m_icons;
    QSet<QString> m_pending;
};
