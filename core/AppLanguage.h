#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>

#include <optional>

// The interface language the user chose: the system's, or one of eleven
// fixed languages. Its identity is its raw value.
enum class AppLanguage { system, en, de, fr, es, zhHans, hi, ar, ptBR, uk, ru, ja };

namespace AppLanguages {
// "system", "en", "de", "fr", "es", "zh-Hans", "hi", "ar", "pt-BR", "uk", "ru", "ja".
QString rawValue(AppLanguage language);
// Exact, case-sensitive match of one of the twelve raw values; anything else gives nothing.
std::optional<AppLanguage> fromRawValue(const QString &raw);
// Declaration order, as the Language settings list them.
const QList<AppLanguage> &allCases();
// The name of the language in itself ("Deutsch"), "System Default" for the system choice.
QString displayName(AppLanguage language);
}

inline size_t qHash(AppLanguage language, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(language), seed);
}
