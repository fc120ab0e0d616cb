#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

class QIODevice;

// The images of an icon file (.icns) worth drawing, read from its table of
// contents without decoding any: the caller decodes each one offered until
// one works. First come the entries that cover the drawn size, smallest
// first, then the smaller ones, largest first. Nothing past the caps
// (entries, tries, bytes, sides) is offered, so a hostile file costs a few
// small reads.
class IconFileReader
{
public:
    // Real icon files hold about twenty entries; the ones past these are not
    // looked at, and only the first few that could be drawn are tried.
    static constexpr int maxEntries = 64;
    static constexpr int maxTries = 8;
    // Bytes of image data read from one icon file, and the largest side decoded
    // (1024, the largest real entry: 4 MiB in colour).
    static constexpr qint64 maxReadBytes = 4 * 1024 * 1024;
    static constexpr qint64 maxSide = 1024;
    // The classic 128-pixel entry at full size: raw colour plus the padding some writers add.
    static constexpr qint64 maxClassicBytes = 128 * 128 * 4 + 4;
    static constexpr qint64 blockHeader = 8;
    static constexpr qint64 pngHeader = 24;

    static constexpr quint32 osType(const char (&name)[5])
    {
        return quint32(quint8(name[0])) << 24 | quint32(quint8(name[1])) << 16 | quint32(quint8(name[2])) << 8
            | quint32(quint8(name[3]));
    }

    // One entry of the table of contents.
    struct Entry
    {
        quint32 type = 0;
        qint64 offset = 0; // of the data, past the block header
        qint64 length = 0;
    };

    // What one entry offers to a decoder: a PNG as it is stored ("png"), whatever
    // the entry's kind, or a classic entry with its mask wrapped as an icon file
    // of its own ("icns").
    struct Image
    {
        quint32 type = 0;
        QByteArray format;
        QByteArray data;
    };

    // `file` is open for reading and seekable, and outlives the reader.
    // `pixels` is the size the image is drawn at.
    IconFileReader(QIODevice &file, int pixels);

    // The entries read from the table (at most maxEntries); empty when the
    // file is no icon file.
    const QList<Entry> &entries() const { return m_entries; }

    // The next image to try, or nothing once the tries or the bytes are used up.
    std::optional<Image> next();

private:
    QByteArray readAt(qint64 offset, qint64 length) const;
    void readTable();
    std::optional<Image> offer(const Entry &entry);
    std::optional<Image> offerPng(const Entry &entry, const QByteArray &head) const;
    std::optional<Image> offerClassic(const Entry &entry, quint32 maskType) const;

    QIODevice &m_file;
    QList<Entry> m_entries;
    QList<Entry> m_candidates;
    qsizetype m_tried = 0;
    qint64 m_budget = maxReadBytes;
};
