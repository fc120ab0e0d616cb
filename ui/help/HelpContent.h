#pragma once

#include <QList>
#include <QString>

// The fixed texts of the help page, ready for a markdown label.
namespace HelpContent {

struct Section
{
    QString title;
    QString symbol;
    QString markdown;
};

QString warningTitle();
QString warningText();
QList<Section> sections();

// "⌘R" and the other shortcuts as this platform writes them ("Ctrl+R" here).
QString withNativeShortcuts(QString text);
// Markdown joins lines: every single line break becomes a line separator,
// so it stays a line break of its paragraph.
QString withHardLineBreaks(const QString &markdown);
// Both of the above.
QString renderable(const QString &text);

}
