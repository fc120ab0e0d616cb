#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The eleven string tables held inside the program, keyed by language code.
// Built together on first use (thread-safe) and read-only afterwards.
namespace LocalizationTables {
// "en", "de", "fr", "es", "zh-Hans", "hi", "ar", "pt-BR", "uk", "ru", "ja".
const QStringList &codes();
// The table of a code (key -> text), or nullptr for a code without a table.
const QHash<QString, QString> *table(const QString &code);
// The keys of a table in table order; empty for a code without a table.
QStringList keys(const QString &code);
}
