#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The tests every finder applies to an entry name or identifier.
namespace ScannerEngine {

// A name beginning with "." is hidden.
bool isHidden(const QString &name);
// The system's identifiers: "com.apple" and everything below it, also behind a
// team or group prefix ("ABCDE12345.com.apple.x", "group.com.apple.notes").
bool isAppleIdentifier(const QString &identifier);
// Fewer than five characters as the user sees them (grapheme clusters).
bool isTooShort(const QString &identifier);
// The text after the first "." is installed: "ABCDE12345.com.example.app"
// belongs to "com.example.app", "com.example.app.agent" to "example.app.agent".
bool installedAfterTeamPrefix(const QString &identifier, const QSet<QString> &installedIDs);

// An entry the full scan never offers from a folder with these exclusions.
bool isProtectedEntry(const QString &name, const QSet<QString> &excluded);

// What this application keeps itself, which no finder offers: its log folder
// (".../Library/Logs/Quillmere", below whichever home it logs into) and the
// settings store or any folder that holds it.
bool belongsToThisApplication(const QString &path);

// `text` holds `id` as a run of whole dot-separated components.
bool holdsID(const QString &text, const QString &id);
// The installed IDs that are longer than `id` and begin with it
// ("com.example.app.lite" for "com.example.app").
QStringList extendingIDs(const QString &id, const QSet<QString> &installedIDs);
// `name` is another installed application's, not `searchedID`'s: it holds as
// whole components an installed ID that is no run of components of
// `searchedID` ("com.other.app" when "other.app" is searched; an installed
// "com.example" leaves "com.example.app" its names), or it goes on from
// `searchedID` with the further components of an installed ID that extends
// it, in order, maybe with others between ("com.x.edge.ext.Beta" belongs to
// "com.x.edge.Beta"). An installed ID of one component claims only its own name.
bool isOtherAppsName(const QString &name, const QString &searchedID, const QSet<QString> &installedIDs);

}
