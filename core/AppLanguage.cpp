#include "core/AppLanguage.h"

namespace {
struct LanguageInfo
{
    AppLanguage language;
    const char *raw;
    const char *displayName; // UTF-8
};

constexpr LanguageInfo kLanguages[] = {
    {AppLanguage::system, "system", "System Default"},
    {AppLanguage::en, "en", "English"},
    {AppLanguage::de, "de", "Deutsch"},
    {AppLanguage::fr, "fr", "Français"},
    {AppLanguage::es, "es", "Español"},
    {AppLanguage::zhHans, "zh-Hans", "简体中文"},
    {AppLanguage::hi, "hi", "हिन्दी"},
    {AppLanguage::ar, "ar", "العربية"},
    {AppLanguage::ptBR, "pt-BR", "Português (Brasil)"},
    {AppLanguage::uk, "uk", "Українська"},
    {AppLanguage::ru, "ru", "Русский ❤️🇺🇦"},
    {AppLanguage::ja, "ja", "日本語"},
};

const LanguageInfo &info(AppLanguage language)
{
    return kLanguages[static_cast<int>(language)];
}
}

QString AppLanguages::rawValue(AppLanguage language)
{
    return QString::fromLatin1(info(language).raw);
}

std::optional<AppLanguage> AppLanguages::fromRawValue(const QString &raw)
{
    for (const auto &l : kLanguages) {
        if (raw == QLatin1String(l.raw))
            return l.language;
    }
    return std::nullopt;
}

const QList<AppLanguage> &AppLanguages::allCases()
{
    static const QList<AppLanguage> all = [] {
        QList<AppLanguage> list;
        for (const auto &l : kLanguages)
            list.append(l.language);
        return list;
    }();
    return all;
}

QString AppLanguages::displayName(AppLanguage language)
{
    return QString::fromUtf8(info(language).displayName);
}
