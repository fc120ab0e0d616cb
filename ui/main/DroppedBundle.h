#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// What a file dropped on the main window names, when it is an application bundle.
struct DroppedBundle
{
    QString bundleID;
    QString appName;

    // Reads the bundle's name and identifier; nothing unless the URL is a local
    // path whose extension is exactly "app". Without a readable Info.plist
    // holding a text "CFBundleIdentifier", the name stands in for the identifier.
    // Reads files: call it off the main thread.
    static std::optional<DroppedBundle> read(const QUrl &url);

    bool operator==(const DroppedBundle &) const = default;
};
