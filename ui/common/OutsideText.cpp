#include "ui/common/OutsideText.h"

#include "model/IsolatedText.h"

namespace OutsideText {

QString inLine(const QString &text)
{
    return isolatedText(text);
}

QString toolTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    // Always rich text: a tool tip that merely looks like markup would be read as markup.
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QString menuEntry(const QString &text)
{
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")).replace(QLatin1Char('\t'), QLatin1Char(' '));
}

} // namespace OutsideText
