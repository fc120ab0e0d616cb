#include "model/LeftoverType.h"

namespace {
struct TypeInfo
{
    LeftoverType type;
    const char *raw;
    const char *icon;
};

constexpr TypeInfo kTypes[] = {
    {LeftoverType::preference, "Preference", "gearshape"},
    {LeftoverType::appSupport, "App Support", "folder"},
    {LeftoverType::cache, "Cache", "clock.arrow.circlepath"},
    {LeftoverType::container, "Container", "shippingbox"},
    {LeftoverType::applicationScripts, "Application Scripts", "scroll"},
    {LeftoverType::savedState, "Saved State", "bookmark"},
    {LeftoverType::log, "Log", "doc.text"},
    {LeftoverType::permission, "Permission", "lock.shield"},
    {LeftoverType::loginItem, "Login Item", "clock.arrow.2.circlepath"},
    {LeftoverType::plugin, "Plugin", "puzzlepiece.extension"},
    {LeftoverType::backgroundActivity, "Background Activity", "arrow.triangle.2.circlepath"},
};

const TypeInfo &info(LeftoverType type)
{
    return kTypes[static_cast<int>(type)];
}
}

const QList<LeftoverType> &LeftoverTypes::allCases()
{
    static const QList<LeftoverType> all = [] {
        QList<LeftoverType> list;
        for (const auto &t : kTypes)
            list.append(t.type);
        return list;
    }();
    return all;
}

QString LeftoverTypes::rawValue(LeftoverType type)
{
    return QString::fromLatin1(info(type).raw);
}

std::optional<LeftoverType> LeftoverTypes::fromRawValue(const QString &raw)
{
    for (const auto &t : kTypes) {
        if (raw == QLatin1String(t.raw))
            return t.type;
    }
    return std::nullopt;
}

QString LeftoverTypes::icon(LeftoverType type)
{
    return QString::fromLatin1(info(type).icon);
}

const QSet<LeftoverType> &LeftoverTypes::safeTypes()
{
    static const QSet<LeftoverType> safe{LeftoverType::cache, LeftoverType::log, LeftoverType::savedState,
                                         LeftoverType::preference, LeftoverType::permission};
    return safe;
}

bool operator<(LeftoverType a, LeftoverType b)
{
    return qstrcmp(info(a).raw, info(b).raw) < 0;
}
bool operator<=(LeftoverType a, LeftoverType b)
{
    return !(b < a);
}
bool operator>(LeftoverType a, LeftoverType b)
{
    return b < a;
}
bool operator>=(LeftoverType a, LeftoverType b)
{
    return !(a < b);
}
