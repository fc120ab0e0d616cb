#include "ui/common/OutsideText.h"

namespace OutsideText {
namespace {

constexpr char16_t firstStrongIsolate = 0x2068;
constexpr char16_t popDirectionalIsolate = 0x2069;
constexpr char16_t returnSymbol = 0x23CE;

bool isLineBreak(char16_t c)
{
    switch (c) {
    case u'\n': case u'\r': case u'\v': case u'\f': case 0x0085: case 0x2028: case 0x2029: return true;
    }
    return false;
}

} // namespace

QString inLine(const QString &text)
{
    if (text.isEmpty())
        return text;
    QString shown;
    shown.reserve(text.size() + 2);
    shown.append(QChar(firstStrongIsolate));
    // A pop without its own opener would close ours; an opener without its pop
    // would take our closing one.
    int open = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (isLineBreak(c)) {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            shown.append(QChar(returnSymbol));
        } else if (c == 0x2066 || c == 0x2067 || c == firstStrongIsolate) {
            ++open;
            shown.append(QChar(c));
        } else if (c == popDirectionalIsolate) {
            if (open == 0)
                continue;
            --open;
            shown.append(QChar(c));
        } else {
            shown.append(QChar(c));
        }
    }
    shown.append(QString(open + 1, QChar(popDirectionalIsolate)));
    return shown;
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
