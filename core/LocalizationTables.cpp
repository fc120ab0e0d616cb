#include "core/LocalizationTables.h"

#include "core/localization/LocalizationData.h"

#include <span>

namespace {
struct Table
{
    QStringList keys;
    QHash<QString, QString> texts;
};

struct Source
{
    const char *code;
    std::span<const LocalizationData::Entry> (*entries)();
};

constexpr Source kSources[] = {
    {"en", &LocalizationData::english},
    {"de", &LocalizationData::german},
    {"fr", &LocalizationData::french},
    {"es", &LocalizationData::spanish},
    {"zh-Hans", &LocalizationData::chineseSimplified},
    {"hi", &LocalizationData::hindi},
    {"ar", &LocalizationData::arabic},
    {"pt-BR", &LocalizationData::portugueseBrazil},
    {"uk", &LocalizationData::ukrainian},
    {"ru", &LocalizationData::russian},
    {"ja", &LocalizationData::japanese},
};

const QHash<QString, Table> &tables()
{
    // A function-local static is initialised exactly once, even with concurrent first callers.
    static const QHash<QString, Table> all = [] {
        QHash<QString, Table> built;
        built.reserve(std::size(kSources));
        for (const Source &source : kSources) {
            const auto entries = source.entries();
            Table table;
            table.keys.reserve(qsizetype(entries.size()));
            table.texts.reserve(qsizetype(entries.size()));
            for (const auto &entry : entries) {
                const QString key = QString::fromLatin1(entry.key);
                table.keys.append(key);
                table.texts.insert(key, QString::fromUtf8(entry.text));
            }
            built.insert(QString::fromLatin1(source.code), std::move(table));
        }
        return built;
    }();
    return all;
}
}

const QStringList &LocalizationTables::codes()
{
    static const QStringList list = [] {
        QStringList l;
        for (const Source &source : kSources)
            l.append(QString::fromLatin1(source.code));
        return l;
    }();
    return list;
}

const QHash<QString, QString> *LocalizationTables::table(const QString &code)
{
    const auto &all = tables();
    const auto it = all.constFind(code);
    return it == all.cend() ? nullptr : &it->texts;
}

QStringList LocalizationTables::keys(const QString &code)
{
    const auto &all = tables();
    const auto it = all.constFind(code);
    return it == all.cend() ? QStringList() : it->keys;
}
