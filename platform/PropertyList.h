#pragma once

#include "platform/PlistOutline.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// Reading and writing property lists (XML or binary) through libplist.
// Values map to Qt types: string -> QString, boolean -> bool, integer -> qint64
// (or quint64 beyond its range), real -> double, date -> QDateTime (UTC),
// data -> QByteArray, array -> QVariantList, dictionary -> QVariantMap.
class PropertyList
{
public:
    // Files larger than this are treated as unreadable before they are parsed:
    // the parser is quadratic on deep nesting, and real plists are far smaller.
    static constexpr qint64 maxFileSize = 256 * 1024;
    // Deeper nesting than this is unreadable.
    static constexpr int maxDepth = 512;
    // A binary plist may reference one object from many places, and the parser
    // copies it for each: one that would expand to more nodes than this is
    // unreadable. Real Info.plists and launchd plists hold a few hundred.
    static constexpr quint64 maxNodes = 100000;

    // Our own files may be read with a larger size limit. Beyond maxFileSize
    // only XML is read, and only with at most maxDepth containers and maxTags
    // tags (room for some 100,000 list entries): the parser's recursion and
    // memory then stay those of a small file.
    static constexpr qsizetype maxTags = 1 << 18;

    // The top-level dictionary, or nothing for a missing, oversized, truncated
    // or malformed file, or one whose top level is not a dictionary.
    static std::optional<QVariantMap> readFile(const QString &path, qint64 sizeLimit = maxFileSize);
    static std::optional<QVariantMap> fromData(const QByteArray &data, qint64 sizeLimit = maxFileSize);
    // Whether `data` passes the size and shape checks made before it is parsed
    // (it may still be malformed).
    static bool withinLimits(const QByteArray &data, qint64 sizeLimit = maxFileSize);

    // Why values read differ from what the file holds: the parser takes every
    // text as UTF-8 whatever encoding it declares, text that is not valid UTF-8
    // (or a binary plist's UTF-16) does not read as written, and a NUL cuts a
    // text short.
    enum class Loss { None, Encoding, InvalidText, Nul };

    struct BoundedRead
    {
        std::optional<QVariantMap> values; // nothing: unreadable
        // False when the text went past the bounds and only what fits was kept.
        bool complete = true;
        // The keys left out or cut short, as written.
        QStringList shortened;
        // The first loss found.
        Loss loss = Loss::None;
    };
    // For our own files, whose lists grow with the user: like readFile, but
    // XML past the bounds (`sizeLimit`, maxTags, maxDepth containers) yields
    // the entries that fit within them instead of nothing. Values without
    // containers are kept first; containers leave `spare` free for them; a
    // list that does not fit keeps its leading elements; nothing past
    // `sizeLimit` is read. What is returned, written back with toXml, passes
    // readsBackWhole. Malformed text, and binary past the bounds, stay unreadable.
    static BoundedRead readFileBounded(const QString &path, qint64 sizeLimit, PlistOutline::Counts spare);
    static BoundedRead fromDataBounded(const QByteArray &data, qint64 sizeLimit, PlistOutline::Counts spare);
    // Whether a bounded read would keep every entry of `xml`.
    static bool readsBackWhole(const QByteArray &xml, qint64 sizeLimit, PlistOutline::Counts spare);

    static QByteArray toXml(const QVariantMap &dict);
    static QByteArray toBinary(const QVariantMap &dict);
};
