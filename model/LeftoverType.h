#pragma once

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// The eleven categories of found leftovers, in declaration order.
enum class LeftoverType {
    preference,
    appSupport,
    cache,
    container,
    applicationScripts,
    savedState,
    log,
    permission,
    loginItem,
    plugin,
    backgroundActivity,
};

namespace LeftoverTypes {
// Declaration order.
const QList<LeftoverType> &allCases();
// The display text, also written in the log ("App Support").
QString rawValue(LeftoverType type);
// Unknown text gives no value.
std::optional<LeftoverType> fromRawValue(const QString &raw);
// The platform symbol name of the category.
QString icon(LeftoverType type);
// The five types Safe Mode shows.
const QSet<LeftoverType> &safeTypes();
}

// Categories compare by their display text, not their declaration order.
bool operator<(LeftoverType a, LeftoverType b);
bool operator<=(LeftoverType a, LeftoverType b);
bool operator>(LeftoverType a, LeftoverType b);
bool operator>=(LeftoverType a, LeftoverType b);

inline size_t qHash(LeftoverType type, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(type), seed);
}
