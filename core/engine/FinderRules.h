#pragma once

#include <QSet>
#include <QString>

// The tests every finder applies to an entry name or identifier.
namespace ScannerEngine {

// A name beginning with "." is hidden.
bool isHidden(const QString &name);
// An identifier beginning with "com.apple." belongs to the system.
bool isAppleIdentifier(const QString &identifier);
// Fewer than five characters as the user sees them (grapheme clusters).
bool isTooShort(const QString &identifier);
// The text after the first "." is installed: "ABCDE12345.com.example.app"
// belongs to "com.example.app", "com.example.app.agent" to "example.app.agent".
bool installedAfterTeamPrefix(const QString &identifier, const QSet<QString> &installedIDs);

}
