#pragma once

#include <QString>
#include <QStringView>
#include <Qt>

// Text from outside (a name, a path, a log message) as it is put into a line of
// our own: every line break shows as U+23CE, and the text is isolated with its
// own isolates balanced, so none of its direction marks reorders anything
// outside it and it cannot close our isolate. The isolate takes its direction
// from the text's first strong character (U+2068 ... U+2069), or is left to
// right (U+2066) or right to left (U+2067) as `direction` says. Empty stays empty.
QString isolatedText(QStringView text, Qt::LayoutDirection direction = Qt::LayoutDirectionAuto);

// Whether `c` ends a line or a paragraph for some reader: the line feed and
// carriage return, the vertical tab, form feed, information separators, next
// line, and the line and paragraph separators.
bool isLineBreak(char16_t c);
