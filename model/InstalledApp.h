#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>

// One installed application bundle, a row of the roster.
struct InstalledApp
{
    QUuid id = QUuid::createUuid();
    QString name;
    QString bundleID;
    QString path;
    std::optional<QString> version;
    // -1 until the roster's size pass fills it in.
    qint64 appSize = -1;
    std::optional<QDateTime> lastLaunched;

    // "Never", "Today", "Yesterday" or "N days ago", measured from `now`.
    QString lastLaunchedText(const QDateTime &now = QDateTime::currentDateTime()) const;
    // Never-launched applications sort first.
    QDateTime lastLaunchedSortKey() const;
};
