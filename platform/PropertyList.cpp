#include "platform/PropertyList.h"

#include "platform/PlistOutline.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>

#include <plist/plist.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

namespace {

// Seconds between the Unix epoch and the property-list epoch (2001-01-01).
constexpr qint64 kPlistEpochOffset = 978307200;

struct PlistDeleter
{
    void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Notes the first loss in reading `text` as a string; `loss` null: not asked.
void checkText(QByteArrayView text, PropertyList::Loss *loss)
{
    if (!loss || *loss != PropertyList::Loss::None)
        return;
    if (text.contains('\0'))
        *loss = PropertyList::Loss::Nul;
    else if (!text.isValidUtf8())
        *loss = PropertyList::Loss::InvalidText;
}

std::optional<QVariant> toVariant(plist_t node, int depth, PropertyList::Loss *loss)
{
    if (!node || depth > PropertyList::maxDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return QVariant(b != 0);
    }
    case PLIST_UINT: {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        // libplist keeps negative integers as their two's complement.
        return QVariant(static_cast<qint64>(v));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return QVariant(d);
    }
    case PLIST_STRING: {
        // Not plist_get_string_val: it asserts (aborts) on a string holding a NUL,
        // which a binary plist can carry.
        uint64_t length = 0;
        const char *s = plist_get_string_ptr(node, &length);
        const QByteArrayView text(s, s ? qsizetype(length) : 0);
        checkText(text, loss);
        return QVariant(QString::fromUtf8(text));
    }
    case PLIST_KEY: {
        char *s = nullptr;
        plist_get_key_val(node, &s);
        checkText(s, loss);
        QString text = s ? QString::fromUtf8(s) : QString();
        std::free(s);
        return QVariant(text);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        const qint64 ms = (qint64(sec) + kPlistEpochOffset) * 1000 + usec / 1000;
        return QVariant(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
    }
    case PLIST_DATA: {
        char *d = nullptr;
        uint64_t len = 0;
        plist_get_data_val(node, &d, &len);
        QByteArray bytes(d, static_cast<qsizetype>(len));
        std::free(d);
        return QVariant(bytes);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t n = plist_array_get_size(node);
        for (uint32_t i = 0; i < n; ++i) {
            auto v = toVariant(plist_array_get_item(node, i), depth + 1, loss);
            if (!v)
                return std::nullopt;
            list.append(*v);
        }
        return QVariant(list);
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        if (!it)
            return QVariant(map);
        for (;;) {
            char *key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!key) {
                break;
            }
            checkText(key, loss);
            const QString k = QString::fromUtf8(key);
            std::free(key);
            auto v = toVariant(value, depth + 1, loss);
            if (!v) {
                std::free(it);
                return std::nullopt;
            }
            map.insert(k, *v);
        }
        std::free(it);
        return QVariant(map);
    }
    case PLIST_UID: {
        uint64_t v = 0;
        plist_get_uid_val(node, &v);
        return QVariant(static_cast<quint64>(v));
    }
    default:
        return std::nullopt;
    }
}

// The objects of a binary property list as its trailer lays them out. Each
// accessor gives false for anything it cannot follow.
class BinaryObjects
{
public:
    explicit BinaryObjects(const QByteArray &data)
        : m_bytes(reinterpret_cast<const uchar *>(data.constData()))
        , m_size(quint64(data.size()))
    {
        if (m_size < 8 + 32)
            return;
        m_offsetSize = m_bytes[m_size - 26];
        refSize = m_bytes[m_size - 25];
        bigEndian(m_size - 24, 8, &count);
        bigEndian(m_size - 16, 8, &top);
        bigEndian(m_size - 8, 8, &m_tableOffset);
        valid = m_offsetSize >= 1 && m_offsetSize <= 8 && refSize >= 1 && refSize <= 8 && m_tableOffset < m_size
            && count <= (m_size - m_tableOffset) / m_offsetSize;
    }

    int type(quint64 pos) const { return m_bytes[pos] >> 4; }

    bool position(quint64 index, quint64 *pos) const
    {
        return index < count && bigEndian(m_tableOffset + index * m_offsetSize, m_offsetSize, pos) && *pos < m_size;
    }

    bool reference(quint64 at, quint64 *index) const { return bigEndian(at, refSize, index); }

    // The element count of the object at `pos`, from the marker's low half or
    // an integer after it, and where its contents begin; false unless `units`
    // bytes per element fit in the file.
    bool elements(quint64 pos, quint64 units, quint64 *n, quint64 *start) const
    {
        *n = m_bytes[pos] & 0xF;
        *start = pos + 1;
        if (*n == 0xF) {
            if (*start >= m_size || (m_bytes[*start] >> 4) != 0x1)
                return false;
            const quint64 width = quint64(1) << (m_bytes[*start] & 0xF);
            if (!bigEndian(*start + 1, width, n))
                return false;
            *start += 1 + width;
        }
        return *start <= m_size && *n <= (m_size - *start) / units;
    }

    // The references a container holds (a dictionary's keys, then its values);
    // false when the object is no container or its references cannot be read.
    bool references(quint64 pos, quint64 *n, quint64 *start) const
    {
        const int t = type(pos);
        if (t != 0xA && t != 0xC && t != 0xD)
            return false;
        const quint64 perElement = t == 0xD ? 2 : 1;
        if (!elements(pos, refSize * perElement, n, start))
            return false;
        *n *= perElement;
        return true;
    }

    // The big-endian number of `width` bytes at `at`; 0 past the end.
    quint64 number(quint64 at, quint64 width) const
    {
        quint64 value = 0;
        return bigEndian(at, width, &value) ? value : 0;
    }

    bool valid = false;
    quint64 refSize = 0;
    quint64 count = 0;
    quint64 top = 0;

private:
    bool bigEndian(quint64 at, quint64 width, quint64 *out) const
    {
        if (width < 1 || width > 8 || at > m_size || width > m_size - at)
            return false;
        quint64 value = 0;
        for (quint64 i = 0; i < width; ++i)
            value = (value << 8) | m_bytes[at + i];
        *out = value;
        return true;
    }

    const uchar *m_bytes;
    quint64 m_size;
    quint64 m_offsetSize = 0;
    quint64 m_tableOffset = 0;
};

// What reading the object at `pos` loses, if it is a string: libplist reads
// one only up to a NUL, and drops a UTF-16 surrogate that has no pair.
PropertyList::Loss stringLoss(const BinaryObjects &plist, quint64 pos)
{
    const int type = plist.type(pos);
    const quint64 unit = type == 0x6 ? 2 : 1; // 0x5 ASCII, 0x6 UTF-16
    quint64 length = 0, text = 0;
    if ((type != 0x5 && type != 0x6) || !plist.elements(pos, unit, &length, &text))
        return PropertyList::Loss::None;
    // A NUL is looked for to the end: in a key it makes the plist unreadable.
    bool unpaired = false;
    bool afterHigh = false; // the unit before is a high surrogate
    for (quint64 c = 0; c < length; ++c) {
        const quint64 u = plist.number(text + c * unit, unit);
        if (u == 0)
            return PropertyList::Loss::Nul;
        const bool low = unit == 2 && u >= 0xDC00 && u < 0xE000;
        unpaired = unpaired || low != afterHigh;
        afterHigh = unit == 2 && u >= 0xD800 && u < 0xDC00;
    }
    return unpaired || afterHigh ? PropertyList::Loss::InvalidText : PropertyList::Loss::None;
}

// libplist hands out dictionary keys through plist_get_key_val, which asserts
// (aborts the process) on a key holding a NUL. Only a binary plist can carry
// one, so its dictionaries' keys are looked at before it is parsed. Anything
// this walk cannot follow is left for libplist to judge.
bool binaryKeyHoldsNul(const BinaryObjects &plist)
{
    if (!plist.valid)
        return false;
    std::vector<bool> checked(plist.count, false);
    for (quint64 i = 0; i < plist.count; ++i) {
        quint64 pos = 0, refs = 0, start = 0;
        if (!plist.position(i, &pos) || plist.type(pos) != 0xD || !plist.references(pos, &refs, &start))
            continue;
        for (quint64 k = 0; k < refs / 2; ++k) {
            quint64 keyRef = 0, keyPos = 0;
            if (!plist.reference(start + k * plist.refSize, &keyRef) || !plist.position(keyRef, &keyPos)
                || checked[keyRef])
                continue;
            checked[keyRef] = true;
            if (stringLoss(plist, keyPos) == PropertyList::Loss::Nul)
                return true;
        }
    }
    return false;
}

// The first loss in reading the strings of a binary plist.
PropertyList::Loss binaryTextLoss(const BinaryObjects &plist)
{
    quint64 pos = 0;
    for (quint64 i = 0; plist.valid && i < plist.count; ++i) {
        const PropertyList::Loss loss = plist.position(i, &pos) ? stringLoss(plist, pos) : PropertyList::Loss::None;
        if (loss != PropertyList::Loss::None)
            return loss;
    }
    return PropertyList::Loss::None;
}

// The nodes libplist would build: every reference becomes a node of its own,
// so an object shared by many containers is counted each time it is reached.
// Counted once per object and capped at `limit` + 1, which also stands for a
// cycle and for anything the walk cannot follow (libplist refuses those too).
quint64 expandedNodes(const BinaryObjects &plist, quint64 limit)
{
    const quint64 over = limit + 1;
    if (!plist.valid || plist.top >= plist.count)
        return over;
    std::vector<quint64> nodes(plist.count, 0); // 0: not counted yet
    std::vector<bool> open(plist.count, false);
    struct Frame
    {
        quint64 index, start, refs, next, sum;
    };
    std::vector<Frame> stack;
    quint64 total = 0;
    // Adds the nodes of object `index` to the container on top, or stacks it.
    const auto reach = [&](quint64 index) {
        quint64 add = over;
        quint64 pos = 0, refs = 0, start = 0;
        if (index >= plist.count || open[index] || !plist.position(index, &pos)) {
            // a cycle, or nothing to follow
        } else if (nodes[index] != 0) {
            add = nodes[index];
        } else if (!plist.references(pos, &refs, &start)) {
            const int t = plist.type(pos);
            add = (t == 0xA || t == 0xC || t == 0xD) ? over : 1;
        } else {
            open[index] = true;
            stack.push_back({index, start, refs, 0, 1});
            return;
        }
        quint64 &sum = stack.empty() ? total : stack.back().sum;
        sum = std::min(over, sum + add);
    };
    reach(plist.top);
    while (!stack.empty() && stack.back().sum < over) {
        Frame &frame = stack.back();
        if (frame.next == frame.refs) {
            const Frame done = frame;
            stack.pop_back();
            open[done.index] = false;
            nodes[done.index] = done.sum;
            quint64 &sum = stack.empty() ? total : stack.back().sum;
            sum = std::min(over, sum + done.sum);
            continue;
        }
        quint64 child = plist.count;
        plist.reference(frame.start + frame.next * plist.refSize, &child);
        ++frame.next;
        reach(child);
    }
    return stack.empty() ? total : over;
}

plist_t fromVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::Double:
        return plist_new_real(value.toDouble());
    case QMetaType::QDateTime: {
        const qint64 ms = value.toDateTime().toMSecsSinceEpoch() - kPlistEpochOffset * 1000;
        const qint64 sec = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        return plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>((ms - sec * 1000) * 1000));
    }
    case QMetaType::QByteArray: {
        const QByteArray b = value.toByteArray();
        return plist_new_data(b.constData(), static_cast<uint64_t>(b.size()));
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        for (const QVariant &v : value.toList())
            plist_array_append_item(array, fromVariant(v));
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            plist_dict_set_item(dict, it.key().toUtf8().constData(), fromVariant(it.value()));
        return dict;
    }
    default:
        return plist_new_string(value.toString().toUtf8().constData());
    }
}

bool flatXml(const QByteArray &data)
{
    const PlistOutline::Counts counts = PlistOutline::count(data);
    return counts.tags <= PropertyList::maxTags && counts.containers <= PropertyList::maxDepth;
}

// `loss` null: what reading loses is not looked for (other programs' files, read often in a scan).
std::optional<QVariantMap> parsed(const QByteArray &data, PropertyList::Loss *loss)
{
    plist_t raw = nullptr;
    if (data.startsWith("bplist00")) {
        const BinaryObjects objects(data);
        if (binaryKeyHoldsNul(objects) || expandedNodes(objects, PropertyList::maxNodes) > PropertyList::maxNodes)
            return std::nullopt;
        if (loss && *loss == PropertyList::Loss::None)
            *loss = binaryTextLoss(objects);
        plist_from_bin(data.constData(), static_cast<uint32_t>(data.size()), &raw);
    } else {
        plist_from_xml(data.constData(), static_cast<uint32_t>(data.size()), &raw);
    }
    PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    auto v = toVariant(root.get(), 0, loss);
    if (!v)
        return std::nullopt;
    return v->toMap();
}

// Whether the XML declaration opening `xml` names an encoding other than
// UTF-8, which the parser would not honour. Looked for in the first KiB only:
// a declaration that does not end there counts as naming another.
bool declaresOtherEncoding(QByteArrayView xml)
{
    static const QRegularExpression opening(QStringLiteral(R"(^\s*<\?xml\s)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression declaration(QStringLiteral(R"(^\s*<\?xml\s([^?]*)\?>)"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression encoding(QStringLiteral(R"(\sencoding\s*=\s*(["'])(.*?)\1)"));
    const QString head = QString::fromLatin1(xml.first(std::min<qsizetype>(xml.size(), 1024)));
    if (!opening.match(head).hasMatch())
        return false;
    const QRegularExpressionMatch found = declaration.match(head);
    if (!found.hasMatch())
        return true;
    const QRegularExpressionMatch named = encoding.match(QLatin1Char(' ') + found.captured(1));
    return named.hasMatch() && named.captured(2).compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0;
}

// The bytes of a regular file, at most `limit` + 1 of them; nothing when it
// cannot be opened. Only a regular file: a named pipe or a device at the path
// would block the open or the read for ever, and with it a scan or a roster load.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 limit)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status;
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    // One byte past the limit tells an oversized (or growing) file.
    return file.read(limit + 1);
}

} // namespace

bool PropertyList::withinLimits(const QByteArray &data, qint64 sizeLimit)
{
    if (data.isEmpty() || data.size() > sizeLimit)
        return false;
    return data.size() <= maxFileSize || (!data.startsWith("bplist00") && flatXml(data));
}

std::optional<QVariantMap> PropertyList::fromData(const QByteArray &data, qint64 sizeLimit)
{
    if (!withinLimits(data, sizeLimit))
        return std::nullopt;
    return parsed(data, nullptr);
}

std::optional<QVariantMap> PropertyList::readFile(const QString &path, qint64 sizeLimit)
{
    const std::optional<QByteArray> data = readRegularFile(path, sizeLimit);
    return data ? fromData(*data, sizeLimit) : std::nullopt;
}

namespace {
PlistOutline::Counts bounds(qint64 sizeLimit)
{
    return {PropertyList::maxTags, PropertyList::maxDepth, qsizetype(sizeLimit)};
}

// The outline of `xml` as it fits the bounds, and whether all of it does.
std::optional<QByteArray> fittedXml(const QByteArray &xml, bool cut, qint64 sizeLimit, PlistOutline::Counts spare,
                                    QStringList *shortened, bool *whole, bool *doubtful = nullptr)
{
    const std::optional<PlistOutline> outline = PlistOutline::of(xml, cut, PropertyList::maxTags, doubtful);
    if (!outline)
        return std::nullopt;
    const qsizetype before = shortened->size();
    QByteArray fitted = outline->fitted(bounds(sizeLimit), spare, shortened);
    *whole = outline->closed && shortened->size() == before;
    return fitted;
}
} // namespace

bool PropertyList::readsBackWhole(const QByteArray &xml, qint64 sizeLimit, PlistOutline::Counts spare)
{
    QStringList shortened;
    bool whole = false;
    return xml.size() <= sizeLimit && !xml.startsWith("bplist00")
        && fittedXml(xml, false, sizeLimit, spare, &shortened, &whole) && whole;
}

PropertyList::BoundedRead PropertyList::fromDataBounded(const QByteArray &data, qint64 sizeLimit,
                                                        PlistOutline::Counts spare)
{
    const bool cut = data.size() > sizeLimit;
    const QByteArray text = cut ? QByteArray::fromRawData(data.constData(), qsizetype(sizeLimit)) : data;
    BoundedRead read;
    // The outline is walked without recursion, and what is parsed of it stays
    // within the bounds the parser handles.
    bool doubtful = false;
    const std::optional<QByteArray> fitted = text.startsWith("bplist00")
        ? std::nullopt
        : fittedXml(text, cut, sizeLimit, spare, &read.shortened, &read.complete, &doubtful);
    // Of any size: the parser would read it otherwise than XML does.
    if (doubtful)
        return {};
    // What the parser loses before any value reaches us.
    if (!text.startsWith("bplist00"))
        read.loss = declaresOtherEncoding(text) ? Loss::Encoding : text.contains('\0') ? Loss::Nul : Loss::None;
    // Whole (or not to be followed), it is read as it stands: text the parser
    // refuses stays unreadable.
    read.complete = !fitted || read.complete;
    if (!read.complete)
        read.values = parsed(*fitted, &read.loss);
    else if (withinLimits(text, sizeLimit))
        read.values = parsed(text, &read.loss);
    if (!read.values)
        return {};
    // Written back our way, the entries may take more room than they did:
    // what would not fit then is left out now.
    const QByteArray rewritten = toXml(*read.values);
    bool whole = false;
    const std::optional<QByteArray> refitted = fittedXml(rewritten, false, sizeLimit, spare, &read.shortened, &whole);
    if (!refitted || (whole && rewritten.size() <= sizeLimit))
        return read;
    read.complete = false;
    read.shortened.removeDuplicates();
    read.values = parsed(*refitted, &read.loss);
    return read.values ? read : BoundedRead{};
}

PropertyList::BoundedRead PropertyList::readFileBounded(const QString &path, qint64 sizeLimit,
                                                        PlistOutline::Counts spare)
{
    const std::optional<QByteArray> data = readRegularFile(path, sizeLimit);
    return data ? fromDataBounded(*data, sizeLimit, spare) : BoundedRead{};
}

namespace {
QByteArray serialized(const QVariantMap &dict, void (*write)(plist_t, char **, uint32_t *))
{
    PlistPtr root(fromVariant(dict));
    char *out = nullptr;
    uint32_t len = 0;
    write(root.get(), &out, &len);
    QByteArray result(out, static_cast<qsizetype>(len));
    std::free(out);
    return result;
}
}

QByteArray PropertyList::toXml(const QVariantMap &dict)
{
    return serialized(dict, &plist_to_xml);
}

QByteArray PropertyList::toBinary(const QVariantMap &dict)
{
    return serialized(dict, &plist_to_bin);
}
