#include "platform/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>

#include <plist/plist.h>

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

std::optional<QVariant> toVariant(plist_t node, int depth)
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
        return QVariant(s ? QString::fromUtf8(s, qsizetype(length)) : QString());
    }
    case PLIST_KEY: {
        char *s = nullptr;
        plist_get_key_val(node, &s);
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
            auto v = toVariant(plist_array_get_item(node, i), depth + 1);
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
            const QString k = QString::fromUtf8(key);
            std::free(key);
            auto v = toVariant(value, depth + 1);
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

// libplist hands out dictionary keys through plist_get_key_val, which asserts
// (aborts the process) on a key holding a NUL. Only a binary plist can carry
// one, so its dictionaries' keys are looked at before it is parsed. Anything
// this walk cannot follow is left for libplist to judge.
bool binaryKeyHoldsNul(const QByteArray &data)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const quint64 size = quint64(data.size());
    const auto bigEndian = [&](quint64 at, quint64 width, quint64 *out) {
        if (width < 1 || width > 8 || at > size || width > size - at)
            return false;
        quint64 value = 0;
        for (quint64 i = 0; i < width; ++i)
            value = (value << 8) | bytes[at + i];
        *out = value;
        return true;
    };
    if (size < 8 + 32)
        return false;
    const quint64 offsetSize = bytes[size - 26];
    const quint64 refSize = bytes[size - 25];
    quint64 objectCount = 0;
    quint64 tableOffset = 0;
    bigEndian(size - 24, 8, &objectCount);
    bigEndian(size - 8, 8, &tableOffset);
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || tableOffset >= size
        || objectCount > (size - tableOffset) / offsetSize)
        return false;
    const auto objectAt = [&](quint64 index, quint64 *pos) {
        return index < objectCount && bigEndian(tableOffset + index * offsetSize, offsetSize, pos) && *pos < size;
    };
    // The element count of the object at `pos`: the marker's low half, or an integer after it.
    const auto countAt = [&](quint64 pos, quint64 *count, quint64 *contentStart) {
        quint64 n = bytes[pos] & 0xF;
        quint64 start = pos + 1;
        if (n == 0xF) {
            if (start >= size || (bytes[start] >> 4) != 0x1)
                return false;
            const quint64 width = quint64(1) << (bytes[start] & 0xF);
            if (!bigEndian(start + 1, width, &n))
                return false;
            start += 1 + width;
        }
        *count = n;
        *contentStart = start;
        return start <= size;
    };

    std::vector<bool> checked(objectCount, false);
    for (quint64 i = 0; i < objectCount; ++i) {
        quint64 pos = 0, count = 0, start = 0;
        if (!objectAt(i, &pos) || (bytes[pos] >> 4) != 0xD || !countAt(pos, &count, &start)
            || count > (size - start) / refSize)
            continue;
        for (quint64 k = 0; k < count; ++k) {
            quint64 keyRef = 0, keyPos = 0, length = 0, text = 0;
            if (!bigEndian(start + k * refSize, refSize, &keyRef) || !objectAt(keyRef, &keyPos) || checked[keyRef])
                continue;
            checked[keyRef] = true;
            const int type = bytes[keyPos] >> 4;
            const quint64 unit = type == 0x6 ? 2 : 1; // 0x5 ASCII, 0x6 UTF-16
            if ((type != 0x5 && type != 0x6) || !countAt(keyPos, &length, &text) || length > (size - text) / unit)
                continue;
            for (quint64 c = 0; c < length; ++c) {
                if (bytes[text + c * unit] == 0 && (unit == 1 || bytes[text + c * unit + 1] == 0))
                    return true;
            }
        }
    }
    return false;
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

} // namespace

std::optional<QVariantMap> PropertyList::fromData(const QByteArray &data)
{
    if (data.isEmpty() || data.size() > maxFileSize)
        return std::nullopt;
    plist_t raw = nullptr;
    if (data.startsWith("bplist00")) {
        if (binaryKeyHoldsNul(data))
            return std::nullopt;
        plist_from_bin(data.constData(), static_cast<uint32_t>(data.size()), &raw);
    } else {
        plist_from_xml(data.constData(), static_cast<uint32_t>(data.size()), &raw);
    }
    PlistPtr root(raw);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return std::nullopt;
    auto v = toVariant(root.get(), 0);
    if (!v)
        return std::nullopt;
    return v->toMap();
}

std::optional<QVariantMap> PropertyList::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Read one byte past the cap so an oversized file (or a growing one) is refused.
    const QByteArray data = file.read(maxFileSize + 1);
    return fromData(data);
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
