#pragma once

#include "model/LeftoverType.h"

#include <QString>
#include <QUuid>

#include <optional>

// One leftover found by a scan. All fields are fixed once the finder made it.
struct LeftoverItem
{
    QUuid id = QUuid::createUuid();
    QString appName;
    std::optional<QString> bundleID;
    std::optional<QString> path;
    LeftoverType type = LeftoverType::preference;
    qint64 size = 0;
    // The permission's service text, a launch item's program path, or a
    // background record's type text.
    std::optional<QString> permissionService;

    // The "Location / Permission" text: the home folder shown as "~".
    QString displayPath(const QString &home) const;
};
