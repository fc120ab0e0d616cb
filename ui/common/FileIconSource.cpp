#include "ui/common/FileIconSource.h"

#include "core/MainThread.h"
#include "platform/PropertyList.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImageReader>
#include <QPointer>

namespace {

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

// Twice the drawn size, for high-density screens.
constexpr int iconPixels = 40;

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
        runInBackground(
            [self, path] {
                // Only the image is made here: pixmaps belong to the main thread.
                const Loaded loaded = load(path);
                postToMainThread([self, path, loaded] {
                    if (self)
                        self->finish(path, loaded);
                });
            },
            0);
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
        if (!file.isEmpty()) {
            QImageReader reader(file, "icns");
            // Kept small: a roster holds thousands of these, drawn at 20 points.
            const QImage image = reader.read();
            if (!image.isNull())
                loaded.image = image.scaled(iconPixels, iconPixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
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
