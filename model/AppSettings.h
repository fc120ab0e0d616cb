#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The read-only settings record shipped inside the application (":/AppSettings.json").
struct AppSettings
{
    QString version;
    QString build;
    QString about;
    QString sentryDSN;
    QString updateFeedURL;
    std::optional<QString> supportEmail;
    std::optional<QString> websiteURL;

    // Decoded once on first use (thread-safe) and kept for the life of the process.
    static const AppSettings &shared();

    // One JSON object: the five required keys must be strings, the two optional
    // ones strings, null or absent. Anything else gives the fallback record.
    static AppSettings decode(const QByteArray &json);

    // "—" for version and build, empty texts, no support address or website.
    static AppSettings fallback();
};
