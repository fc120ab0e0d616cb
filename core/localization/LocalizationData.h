#pragma once

#include <span>

// The fixed key/text pairs of the string tables, one list per language in
// table order. Texts are UTF-8. Only LocalizationTables reads these.
namespace LocalizationData {
struct Entry
{
    const char *key;
    const char *text;
};

std::span<const Entry> english();
std::span<const Entry> german();
std::span<const Entry> french();
std::span<const Entry> spanish();
std::span<const Entry> chineseSimplified();
std::span<const Entry> hindi();
std::span<const Entry> arabic();
std::span<const Entry> portugueseBrazil();
std::span<const Entry> ukrainian();
std::span<const Entry> russian();
std::span<const Entry> japanese();
}
