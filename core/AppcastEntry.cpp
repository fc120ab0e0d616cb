#include "core/AppcastEntry.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

enum class Presence { required, optional };

// Reads one key; false (with `error` filled) when the value breaks the rules.
bool readString(const QJsonObject &object, const QString &key, Presence presence,
                std::optional<QString> &out, QString &error)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull()) {
        if (presence == Presence::optional)
            return true;
        error = value.isNull()
            ? QStringLiteral("The update feed gives no value for \"%1\".").arg(key)
            : QStringLiteral("The update feed has no \"%1\".").arg(key);
        return false;
    }
    if (!value.isString()) {
        error = QStringLiteral("The update feed's \"%1\" is not a text.").arg(key);
        return false;
    }
    out = value.toString();
    return true;
}

} // namespace

std::optional<AppcastEntry> AppcastEntry::fromJson(const QByteArray &body, QString *error)
{
    QString message;
    const auto fail = [&]() -> std::optional<AppcastEntry> {
        if (error)
            *error = message;
        return std::nullopt;
    };

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        message = QStringLiteral("The update feed is not valid JSON (%1 at offset %2).")
                      .arg(parseError.errorString())
                      .arg(parseError.offset);
        return fail();
    }
    if (!document.isObject()) {
        message = QStringLiteral("The update feed is not a JSON object.");
        return fail();
    }

    const QJsonObject object = document.object();
    std::optional<QString> version, build, downloadURL, notes, publishedAt;
    if (!readString(object, QStringLiteral("version"), Presence::required, version, message)
        || !readString(object, QStringLiteral("build"), Presence::optional, build, message)
        || !readString(object, QStringLiteral("downloadURL"), Presence::required, downloadURL, message)
        || !readString(object, QStringLiteral("notes"), Presence::optional, notes, message)
        || !readString(object, QStringLiteral("publishedAt"), Presence::optional, publishedAt, message))
        return fail();

    AppcastEntry entry;
    entry.version = *version;
    entry.build = build;
    entry.downloadURL = *downloadURL;
    entry.notes = notes;
    entry.publishedAt = publishedAt;
    return entry;
}
