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
    // Every line break as the one rich text keeps: it would drop a lone carriage return
    // (joining the lines around it) and show the others as boxes or nothing.
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!isLineBreak(c)) {
            lines.append(QChar(c));
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        lines.append(QLatin1Char('\n'));
    }
    // Always rich text: a tool tip that merely looks like markup would be read as markup.
    return QStringLiteral("<p style='white-space:pre'>") + lines.toHtmlEscaped() + QStringLiteral("</p>");
}

QString menuEntry(const QString &text)
{
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")).replace(QLatin1Char('\t'), QLatin1Char(' '));
}

} // namespace OutsideText
