#include "model/AppSettings.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

// Resources of a static library are registered by hand, outside any namespace.
static void initSettingsResource()
{
    Q_INIT_RESOURCE(quillmere);
}

AppSettings AppSettings::fallback()
{
    AppSettings settings;
    settings.version = QStringLiteral("\u2014");
    settings.build = QStringLiteral("\u2014");
    return settings;
}

AppSettings AppSettings::decode(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return fallback();
    const QJsonObject object = document.object();

    bool ok = true;
    const auto required = [&](const char *key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString()) {
            ok = false;
            return QString();
        }
        return value.toString();
    };
    const auto optional = [&](const char *key) -> std::optional<QString> {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        if (!value.isString()) {
            ok = false;
            return std::nullopt;
        }
        return value.toString();
    };

    AppSettings settings;
    settings.version = required("version");
    settings.build = required("build");
    settings.about = required("about");
    settings.sentryDSN = required("sentryDSN");
    settings.updateFeedURL = required("updateFeedURL");
    settings.supportEmail = optional("supportEmail");
    settings.websiteURL = optional("websiteURL");
    return ok ? settings : fallback();
}

const AppSettings &AppSettings::shared()
{
    // A function-local static is initialised once, even with several threads racing.
    static const AppSettings settings = [] {
        initSettingsResource();
        QFile file(QStringLiteral(":/AppSettings.json"));
        if (!file.open(QIODevice::ReadOnly))
            return fallback();
        return decode(file.readAll());
    }();
    return settings;
}
