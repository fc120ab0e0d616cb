#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// One entry of the update feed: the newest published version and where to get it.
struct AppcastEntry
{
    QString version;
    std::optional<QString> build;
    QString downloadURL;
    std::optional<QString> notes;
    // Kept as the feed gives it; never parsed as a date.
    std::optional<QString> publishedAt;

    bool operator==(const AppcastEntry &) const = default;

    // Decodes a feed body: exactly one JSON object whose present values are all
    // strings ("build", "notes" and "publishedAt" may also be null or absent).
    // Other keys are ignored. On failure returns nothing and, when `error` is
    // given, a description of what was wrong.
    static std::optional<AppcastEntry> fromJson(const QByteArray &body, QString *error = nullptr);
};
