#pragma once

#include <QString>
#include <QStringList>

class Scanner;

// Actions both tabs of the main window offer in their context menus.
namespace WindowActions {

// Shows the files in the desktop's file manager; whether it did is not reported.
void revealInFinder(const Scanner &scanner, const QStringList &paths);
// Takes the bundle ID off the ignore list, with a line in the log.
void unignoreBundleID(const Scanner &scanner, const QString &bundleID);

} // namespace WindowActions
