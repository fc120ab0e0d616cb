#pragma once

#include <QString>

// Text from outside (names, paths, bundle IDs, feed texts) as the windows show
// it: the text itself, never markup, shortcut marks or line breaks that change
// the look of what is around it.
namespace OutsideText {

// For a one-line place or a name inside a sentence: every line break shows as
// U+23CE, and the text is isolated (U+2068 ... U+2069) with its own isolates
// balanced, so its direction marks reorder nothing outside it. Empty stays empty.
QString inLine(const QString &text);

// For a tool tip: escaped rich text that shows exactly `text`, runs of blanks
// included, each line break (as isLineBreak counts them; CR LF is one) as a
// new line. Empty stays empty (no tool tip).
QString toolTip(const QString &text);

// For a menu entry: "&" shows as itself instead of marking a shortcut, and a tab
// shows as a blank instead of splitting off a shortcut column.
QString menuEntry(const QString &text);

} // namespace OutsideText
