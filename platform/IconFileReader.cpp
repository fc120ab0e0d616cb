#include "platform/IconFileReader.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>

namespace {

using Entry = IconFileReader::Entry;

constexpr quint32 osType(const char (&name)[5])
{
    return IconFileReader::osType(name);
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

// How the image plug-in tells a PNG or JPEG 2000 entry from a classic one.
constexpr QByteArrayView pngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr QByteArrayView jpeg2000Signature("\0\0\0\x0cjP  \r\n\x87\n", 12);

QByteArray block(quint32 type, const QByteArray &data)
{
    QByteArray out(IconFileReader::blockHeader, Qt::Uninitialized);
    qToBigEndian(type, out.data());
    qToBigEndian(quint32(IconFileReader::blockHeader + data.size()), out.data() + 4);
    return out + data;
}

} // namespace

IconFileReader::IconFileReader(QIODevice &file, int pixels)
    : m_file(file)
{
    readTable();
    for (const Entry &entry : std::as_const(m_entries)) {
        if (nominalPixels(entry.type) > 0)
            m_candidates.append(entry);
    }
    // Those that cover the drawn size, smallest first; then the smaller ones, largest first.
    const auto rank = [pixels](const Entry &e) {
        const int nominal = nominalPixels(e.type);
        return nominal >= pixels ? nominal : 2 * maxSide - nominal;
    };
    std::stable_sort(m_candidates.begin(), m_candidates.end(),
                     [&rank](const Entry &a, const Entry &b) { return rank(a) < rank(b); });
}

std::optional<IconFileReader::Image> IconFileReader::next()
{
    while (m_tried < std::min<qsizetype>(m_candidates.size(), maxTries) && m_budget > 0) {
        if (auto image = offer(m_candidates.at(m_tried++)))
            return image;
    }
    return std::nullopt;
}

QByteArray IconFileReader::readAt(qint64 offset, qint64 length) const
{
    if (!m_file.seek(offset))
        return {};
    const QByteArray data = m_file.read(length);
    return data.size() == length ? data : QByteArray();
}

// Walked here rather than by the image plug-in: that one indexes every entry
// (a file of 1.6 million took it half a minute) and decodes an entry of any
// dimensions.
void IconFileReader::readTable()
{
    const QByteArray head = readAt(0, blockHeader);
    if (head.size() != blockHeader || qFromBigEndian<quint32>(head.constData()) != osType("icns"))
        return;
    const qint64 end = std::min<qint64>(qFromBigEndian<quint32>(head.constData() + 4), m_file.size());
    qint64 pos = blockHeader;
    for (int i = 0; i < maxEntries && pos + blockHeader <= end; ++i) {
        const QByteArray header = readAt(pos, blockHeader);
        const qint64 length = header.size() == blockHeader ? qFromBigEndian<quint32>(header.constData() + 4) : 0;
        if (length < blockHeader || length > end - pos)
            break;
        m_entries.append({qFromBigEndian<quint32>(header.constData()), pos + blockHeader, length - blockHeader});
        pos += length;
    }
}

// The entry's bytes, or nothing for an entry that is too large, damaged, or in
// JPEG 2000 (no decoder here). What the bytes hold decides, not the kind: the
// image plug-in decodes a PNG found at the start of any entry, at any size.
std::optional<IconFileReader::Image> IconFileReader::offer(const Entry &entry)
{
    const QByteArray head = readAt(entry.offset, std::min(entry.length, pngHeader));
    if (head.startsWith(jpeg2000Signature))
        return std::nullopt;
    const quint32 maskType = classicMask(entry.type);
    auto image = maskType != 0 && !head.startsWith(pngSignature) ? offerClassic(entry, maskType)
                                                                 : offerPng(entry, head);
    if (image)
        m_budget -= image->data.size();
    return image;
}

// Its size is in the header, checked before anything is decoded.
std::optional<IconFileReader::Image> IconFileReader::offerPng(const Entry &entry, const QByteArray &head) const
{
    if (entry.length < pngHeader || entry.length > m_budget || !head.startsWith(pngSignature)
        || head.mid(12, 4) != "IHDR")
        return std::nullopt;
    const quint32 width = qFromBigEndian<quint32>(head.constData() + 16);
    const quint32 height = qFromBigEndian<quint32>(head.constData() + 20);
    if (width == 0 || height == 0 || width > maxSide || height > maxSide)
        return std::nullopt;
    Image image{entry.type, "png", readAt(entry.offset, entry.length)};
    if (image.data.isEmpty())
        return std::nullopt;
    return image;
}

// Small by kind; handed over as a file of this entry and its mask. The plug-in
// would decode a mask holding a PNG or JPEG 2000 as an image of its own, so
// such a mask is left out. (Past an entry shorter than a signature it finds the
// mask's header, which starts neither.)
std::optional<IconFileReader::Image> IconFileReader::offerClassic(const Entry &entry, quint32 maskType) const
{
    if (entry.length > maxClassicBytes)
        return std::nullopt;
    const auto mask = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                   [maskType](const Entry &e) { return e.type == maskType; });
    QByteArray body = block(entry.type, readAt(entry.offset, entry.length));
    if (mask != m_entries.cend() && mask->length <= maxClassicBytes) {
        const QByteArray maskData = readAt(mask->offset, mask->length);
        if (!maskData.startsWith(pngSignature) && !maskData.startsWith(jpeg2000Signature))
            body += block(maskType, maskData);
    }
    return Image{entry.type, "icns", block(osType("icns"), body)};
}
