#pragma once

#include <QString>

#include <optional>

// Naming helpers shared by every finder of the scan engine.
namespace ScannerEngine {

// "com.example.MyCoolApp" -> "My Cool App".
QString displayName(const QString &bundleID);

// Nothing when the name has no "."; the name without a leading ten-character
// team identifier ("UBF8T346G9.com.example.app" -> "com.example.app"), or the
// name unchanged.
std::optional<QString> stripTeamPrefix(const QString &name);

// The program's file name without its extension, or the display name of the label.
QString appName(const std::optional<QString> &programPath, const QString &label);

// The display text of a privacy service name: "kTCCServiceScreenCapture" -> "Screen Capture".
QString serviceDisplayText(const QString &service);

}
