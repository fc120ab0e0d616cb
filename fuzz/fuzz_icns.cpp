// Icon files of bundles: the table of contents, the choice of entries and the
// caps on what is read, then the decoders on what is offered. Nothing past the
// caps is offered, and nothing offered decodes to more than the caps allow.
#include "FuzzSupport.h"

#include "platform/IconFileReader.h"
#include "ui/common/FileIconSource.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int drawnPixels = 40;

void checkTable(const IconFileReader &reader, const QByteArray &input)
{
    const QList<IconFileReader::Entry> &entries = reader.entries();
    FUZZ_CHECK(entries.size() <= IconFileReader::maxEntries);
    // Back to back from the file's header on, each inside the file.
    qint64 expected = 2 * IconFileReader::blockHeader;
    for (const IconFileReader::Entry &entry : entries) {
        FUZZ_CHECK(entry.offset == expected && entry.length >= 0);
        FUZZ_CHECK(entry.offset + entry.length <= input.size());
        const char *header = input.constData() + entry.offset - IconFileReader::blockHeader;
        FUZZ_CHECK(qFromBigEndian<quint32>(header) == entry.type);
        expected = entry.offset + entry.length + IconFileReader::blockHeader;
    }
}

// A classic entry handed to the image plug-in: it decodes a PNG or JPEG 2000 it
// finds where an entry starts (looking twelve bytes ahead) at any size, so none
// may start there.
void checkWrapped(const QByteArray &file)
{
    FUZZ_CHECK(file.startsWith("icns") && qFromBigEndian<quint32>(file.constData() + 4) == quint32(file.size()));
    for (qint64 pos = IconFileReader::blockHeader; pos < file.size();) {
        FUZZ_CHECK(pos + IconFileReader::blockHeader <= file.size());
        const quint32 length = qFromBigEndian<quint32>(file.constData() + pos + 4);
        FUZZ_CHECK(length >= IconFileReader::blockHeader);
        const QByteArray start = file.mid(pos + IconFileReader::blockHeader, 12);
        FUZZ_CHECK(!start.startsWith("\x89PNG\r\n\x1a\n"));
        FUZZ_CHECK(start != QByteArray("\0\0\0\x0cjP  \r\n\x87\n", 12));
        pos += length;
    }
}

// Each image offered is an entry's own bytes (a PNG within the caps) or a
// classic entry of bounded size; together the PNGs stay within the read cap.
void checkOffers(IconFileReader &reader, const QByteArray &input)
{
    const QList<IconFileReader::Entry> &entries = reader.entries();
    qint64 pngBytes = 0;
    int offers = 0;
    while (const auto image = reader.next()) {
        FUZZ_CHECK(++offers <= IconFileReader::maxTries);
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&image](const IconFileReader::Entry &e) { return e.type == image->type; });
        FUZZ_CHECK(entry != entries.end());
        if (image->format == "png") {
            FUZZ_CHECK(image->data.startsWith("\x89PNG\r\n\x1a\n"));
            FUZZ_CHECK(image->data.size() >= IconFileReader::pngHeader);
            const quint32 width = qFromBigEndian<quint32>(image->data.constData() + 16);
            const quint32 height = qFromBigEndian<quint32>(image->data.constData() + 20);
            FUZZ_CHECK(width > 0 && width <= IconFileReader::maxSide);
            FUZZ_CHECK(height > 0 && height <= IconFileReader::maxSide);
            pngBytes += image->data.size();
            FUZZ_CHECK(pngBytes <= IconFileReader::maxReadBytes);
            const bool slice = std::any_of(entries.begin(), entries.end(), [&](const IconFileReader::Entry &e) {
                return e.type == image->type && input.mid(e.offset, e.length) == image->data;
            });
            FUZZ_CHECK(slice);
        } else {
            FUZZ_CHECK(image->format == "icns");
            FUZZ_CHECK(image->data.size() <= 3 * IconFileReader::blockHeader + 2 * IconFileReader::maxClassicBytes);
            checkWrapped(image->data);
        }
    }
    FUZZ_CHECK(!reader.next());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input = Fuzz::bytes(data, size);
    QBuffer file(&input);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    {
        IconFileReader reader(file, drawnPixels);
        checkTable(reader, input);
        checkOffers(reader, input);
    }
    const QImage image = FileIconSource::readIconFile(file, drawnPixels);
    FUZZ_CHECK(image.isNull()
               || (image.width() <= IconFileReader::maxSide && image.height() <= IconFileReader::maxSide));
    return 0;
}
