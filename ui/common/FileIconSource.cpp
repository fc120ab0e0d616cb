#include "ui/common/FileIconSource.h"

#include "core/MainThread.h"
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
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Twice the drawn size, for high-density screens.
constexpr int iconPixels = 40;
// Real icon files hold about twenty entries; the ones past these are not
// looked at, and only the first few that could be drawn are tried.
constexpr int maxEntries = 64;
constexpr int maxTries = 8;
// Bytes of image data read from one icon file, and pixels decoded from it
// (1024 × 1024, the largest real entry: 4 MiB in colour).
constexpr qint64 maxReadBytes = 4 * 1024 * 1024;
constexpr qint64 maxPixels = 1024 * 1024;
// The decoder's own cap, in MiB, should it find more pixels than the header said.
constexpr int decoderLimitMiB = 8;
// The classic 128-pixel entry at full size: raw colour plus the padding some writers add.
constexpr qint64 maxClassicBytes = 128 * 128 * 4 + 4;
constexpr qint64 blockHeader = 8;

constexpr quint32 osType(const char (&name)[5])
{
    return quint32(quint8(name[0])) << 24 | quint32(quint8(name[1])) << 16 | quint32(quint8(name[2])) << 8
        | quint32(quint8(name[3]));
}

// The width of the entry kinds worth drawing (colour ones; the rest are
// masks, low-colour or metadata).
int nominalPixels(quint32 type)
{
    switch (type) {
    case osType("is32"): case osType("icp4"): case osType("ic04"): return 16;
    case osType("il32"): case osType("icp5"): case osType("ic05"): case osType("ic11"): return 32;
    case osType("ih32"): return 48;
    case osType("icp6"): case osType("ic12"): return 64;
    case osType("it32"): case osType("ic07"): return 128;
    case osType("ic08"): case osType("ic13"): return 256;
    case osType("ic09"): case osType("ic14"): return 512;
    case osType("ic10"): return 1024;
    default: return 0;
    }
}

// The classic colour entries, compressed in a way only the image plug-in reads,
// and the mask each one takes its transparency from.
quint32 classicMask(quint32 type)
{
    switch (type) {
    case osType("is32"): return osType("s8mk");
    case osType("il32"): return osType("l8mk");
    case osType("ih32"): return osType("h8mk");
    case osType("it32"): return osType("t8mk");
    default: return 0;
    }
}

struct Entry
{
    quint32 type = 0;
    qint64 offset = 0; // of the data, past the block header
    qint64 length = 0;
};

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

QByteArray readAt(QFile &file, qint64 offset, qint64 length)
{
    if (!file.seek(offset))
        return {};
    const QByteArray data = file.read(length);
    return data.size() == length ? data : QByteArray();
}

QByteArray block(quint32 type, const QByteArray &data)
{
    QByteArray out(blockHeader, Qt::Uninitialized);
    qToBigEndian(type, out.data());
    qToBigEndian(quint32(blockHeader + data.size()), out.data() + 4);
    return out + data;
}

// The icon file's table of contents, walked here rather than by the image
// plug-in: that one indexes every entry (a file of 1.6 million took it half a
// minute) and decodes an entry of any dimensions.
QList<Entry> icnsEntries(QFile &file)
{
    QList<Entry> entries;
    const QByteArray head = readAt(file, 0, blockHeader);
    if (head.size() != blockHeader || qFromBigEndian<quint32>(head.constData()) != osType("icns"))
        return entries;
    const qint64 end = std::min<qint64>(qFromBigEndian<quint32>(head.constData() + 4), file.size());
    qint64 pos = blockHeader;
    for (int i = 0; i < maxEntries && pos + blockHeader <= end; ++i) {
        const QByteArray header = readAt(file, pos, blockHeader);
        const qint64 length = header.size() == blockHeader ? qFromBigEndian<quint32>(header.constData() + 4) : 0;
        if (length < blockHeader || length > end - pos)
            break;
        entries.append({qFromBigEndian<quint32>(header.constData()), pos + blockHeader, length - blockHeader});
        pos += length;
    }
    return entries;
}

// The entry's image, or a null one for an entry that is too large, damaged,
// or of a kind with no decoder here (JPEG 2000). `budget` is what may still be read.
QImage decodeEntry(QFile &file, const Entry &entry, const QList<Entry> &entries, qint64 &budget)
{
    QByteArray data;
    QByteArray format;
    if (const quint32 maskType = classicMask(entry.type)) {
        // Small by kind; handed to the plug-in as a file of this entry and its mask.
        if (entry.length > maxClassicBytes)
            return {};
        const auto mask = std::find_if(entries.begin(), entries.end(),
                                       [maskType](const Entry &e) { return e.type == maskType; });
        const bool withMask = mask != entries.end() && mask->length <= maxClassicBytes;
        QByteArray body = block(entry.type, readAt(file, entry.offset, entry.length));
        if (withMask)
            body += block(maskType, readAt(file, mask->offset, mask->length));
        data = block(osType("icns"), body);
        format = "icns";
    } else {
        // PNG: its size is in the header, checked before anything is decoded.
        const QByteArray head = readAt(file, entry.offset, 24);
        if (!head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR" || entry.length > budget)
            return {};
        const qint64 width = qFromBigEndian<quint32>(head.constData() + 16);
        const qint64 height = qFromBigEndian<quint32>(head.constData() + 20);
        if (width == 0 || height == 0 || width * height > maxPixels)
            return {};
        data = readAt(file, entry.offset, entry.length);
        format = "png";
    }
    budget -= data.size();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAllocationLimit(decoderLimitMiB);
    return reader.read();
}

// The smallest entry that covers the drawn size, else the largest there is.
QImage readIcns(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path))
        return {};
    QList<Entry> candidates;
    const QList<Entry> entries = icnsEntries(file);
    for (const Entry &entry : entries) {
        if (nominalPixels(entry.type) > 0)
            candidates.append(entry);
    }
    const auto rank = [](const Entry &e) {
        const int pixels = nominalPixels(e.type);
        return pixels >= iconPixels ? pixels : 2 * maxPixels - pixels;
    };
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&rank](const Entry &a, const Entry &b) { return rank(a) < rank(b); });
    qint64 budget = maxReadBytes;
    for (qsizetype i = 0; i < std::min<qsizetype>(candidates.size(), maxTries) && budget > 0; ++i) {
        const QImage image = decodeEntry(file, candidates.at(i), entries, budget);
        if (!image.isNull())
            return image;
    }
    return {};
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
