#include "ui/common/FileIconSource.h"

#include "core/MainThread.h"
#include "platform/IconFileReader.h"
#include "platform/PropertyList.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Twice the drawn size, for high-density screens.
constexpr int iconPixels = 40;
// The decoder's own cap, in MiB, should it find more pixels than the header said.
constexpr int decoderLimitMiB = 8;

// The bundle's icon file: the one its Info.plist names, else the first .icns of
// its resources.
QString bundleIconFile(const QString &bundle)
{
    const QString resources = bundle + QStringLiteral("/Contents/Resources/");
    if (const auto info = PropertyList::readFile(bundle + QStringLiteral("/Contents/Info.plist"))) {
        const QVariant named = info->value(QStringLiteral("CFBundleIconFile"));
        if (named.typeId() == QMetaType::QString && !named.toString().isEmpty()
            && !named.toString().contains(QLatin1Char('/'))) {
            QString file = resources + named.toString();
            if (!file.endsWith(QLatin1String(".icns")))
                file += QStringLiteral(".icns");
            if (QFileInfo(file).isFile())
                return file;
        }
    }
    const QStringList icns = QDir(resources).entryList({QStringLiteral("*.icns")}, QDir::Files, QDir::Name);
    return icns.isEmpty() ? QString() : resources + icns.first();
}

// Opens `path` only if it is a regular file: opening a named pipe would wait
// for a writer, a device may never answer. Unbuffered, as only a few headers
// and one entry of the file are read.
bool openRegularFile(QFile &file, const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

QImage readIcns(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path))
        return {};
    return FileIconSource::readIconFile(file, iconPixels);
}

// Icon reads have a pool of their own, so a scan never queues behind them; two
// threads, so that one read held up by a slow disk does not hold up the rest.
// Never deleted: a pool's destructor waits for the read in progress, and the
// exit would wait with it. Reads open only regular files, so none waits on a
// pipe; what is still queued at quit is dropped.
QThreadPool &iconPool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(2);
        if (auto *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, p, [p] { p->clear(); });
        return p;
    }();
    return *pool;
}

} // namespace

FileIconSource::FileIconSource(QObject *parent)
    : QObject(parent)
{
}

FileIconSource &FileIconSource::desktop()
{
    static FileIconSource *source = new FileIconSource;
    return *source;
}

QIcon FileIconSource::icon(const QString &path)
{
    const auto it = m_icons.constFind(path);
    if (it != m_icons.constEnd())
        return *it;
    if (!m_pending.contains(path)) {
        m_pending.insert(path);
        QPointer<FileIconSource> self(this);
        iconPool().start([self, path] {
            // Only the image is made here: pixmaps belong to the main thread.
            const Loaded loaded = load(path);
            postToMainThread([self, path, loaded] {
                if (self)
                    self->finish(path, loaded);
            });
        });
    }
    return {};
}

QImage FileIconSource::readIconFile(QIODevice &file, int pixels)
{
    IconFileReader reader(file, pixels);
    while (auto entry = reader.next()) {
        QBuffer buffer(&entry->data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader decoder(&buffer, entry->format);
        decoder.setAllocationLimit(decoderLimitMiB);
        const QImage image = decoder.read();
        if (!image.isNull())
            return image;
    }
    return {};
}

FileIconSource::Loaded FileIconSource::load(const QString &path)
{
    Loaded loaded;
    const QFileInfo info(path);
    loaded.isFolder = info.isDir();
    if (path.endsWith(QLatin1String(".app")) && loaded.isFolder) {
        const QString file = bundleIconFile(path);
        const QImage image = file.isEmpty() ? QImage() : readIcns(file);
        // Kept small: a roster holds thousands of these.
        if (!image.isNull())
            loaded.image = image.scaled(iconPixels, iconPixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return loaded;
}

void FileIconSource::finish(const QString &path, const Loaded &loaded)
{
    m_pending.remove(path);
    QIcon icon;
    if (!loaded.image.isNull()) {
        icon = QIcon(QPixmap::fromImage(loaded.image));
    } else {
        // By kind only: the provider then reads nothing from the disk.
        static const QFileIconProvider provider;
        icon = provider.icon(loaded.isFolder ? QFileIconProvider::Folder : QFileIconProvider::File);
    }
    m_icons.insert(path, icon);
    emit iconReady(path);
}
