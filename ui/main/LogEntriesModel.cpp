#include "ui/main/LogEntriesModel.h"

#include "model/IsolatedText.h"

#include <algorithm>

namespace {

const QString kColumnSeparator = QStringLiteral("  |  ");
constexpr qsizetype kToolTipLineLength = 80;

// A cut that does not split a surrogate pair.
qsizetype headLength(QStringView text, qsizetype length)
{
    return length > 0 && text.at(length - 1).isHighSurrogate() ? length - 1 : length;
}

// The short Unicode name of a character that sets or ends a direction, or
// nothing. The marks (LRM, RLM, ALM) count too: one before a name decides the
// direction of its whole column.
const char *directionControlName(char16_t c)
{
    switch (c) {
    case 0x061C: return "ALM";
    case 0x200E: return "LRM";
    case 0x200F: return "RLM";
    case 0x202A: return "LRE";
    case 0x202B: return "RLE";
    case 0x202C: return "PDF";
    case 0x202D: return "LRO";
    case 0x202E: return "RLO";
    case 0x2066: return "LRI";
    case 0x2067: return "RLI";
    case 0x2068: return "FSI";
    case 0x2069: return "PDI";
    default: return nullptr;
    }
}

// `text` with each direction control shown as its name, e.g. "⟨RLO⟩":
// kept invisible, an override in a name would turn the rest of its column
// around, even inside an isolate. Unicode has no control pictures for these;
// the angle brackets set the name apart from the text around it.
QString withVisibleDirectionControls(QStringView text)
{
    QString shown;
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char *name = directionControlName(text.at(i).unicode());
        if (!name)
            continue;
        if (shown.isEmpty())
            shown.reserve(text.size() + 16);
        shown.append(text.mid(copied, i - copied)).append(QChar(0x27E8)).append(QLatin1String(name)).append(QChar(0x27E9));
        copied = i + 1;
    }
    if (copied == 0)
        return text.toString();
    return shown.append(text.mid(copied));
}

// The first column of a list line ("  name [id]", "TRASHED: name [id]", "  name"),
// left to right, with the name and the ID isolated each: either keeps its own
// direction and moves neither the other nor the brackets. Our own format, so it
// is taken apart here: the blanks or the capitals' label that lead it, then the
// name, then the ID in the last " [...]" that ends the column.
QString nameColumn(QStringView column)
{
    qsizetype nameStart = 0;
    while (nameStart < column.size() && column.at(nameStart) == u' ')
        ++nameStart;
    if (const qsizetype colon = column.indexOf(u": "); nameStart == 0 && colon > 0) {
        const auto inLabel = [](QChar c) { return (c >= u'A' && c <= u'Z') || c == u' ' || c == u'-'; };
        if (std::all_of(column.begin(), column.begin() + colon, inLabel))
            nameStart = colon + 2;
    }
    const QStringView named = column.mid(nameStart);
    const qsizetype open = named.endsWith(u']') ? named.lastIndexOf(u" [") : -1;
    QString shown = QChar(0x2066) + column.left(nameStart).toString();
    if (open < 0)
        shown += isolatedText(named);
    else
        shown += isolatedText(named.left(open)) + QStringLiteral(" [") + isolatedText(named.mid(open + 2).chopped(1))
            + QLatin1Char(']');
    return shown + QChar(0x2069);
}

} // namespace

LogEntriesModel::LogEntriesModel(const QFont &font, QObject *parent)
    : QAbstractListModel(parent)
    , m_font(font)
{
}

void LogEntriesModel::setEntries(const QStringList &entries)
{
    const int before = int(m_entries.size());
    const int after = int(entries.size());
    if (after > before)
        beginInsertRows({}, before, after - 1);
    else if (after < before)
        beginRemoveRows({}, after, before - 1);
    m_entries = entries;
    if (after > before)
        endInsertRows();
    else if (after < before)
        endRemoveRows();
    const int kept = qMin(before, after);
    if (kept > 0)
        emit dataChanged(index(0), index(kept - 1));
}

int LogEntriesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant LogEntriesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        // Never looked up as a text of the language tables.
        return displayText(m_entries.at(index.row()));
    case Qt::ToolTipRole:
        return toolTipText(m_entries.at(index.row()));
    case Qt::FontRole:
        return m_font;
    }
    return {};
}

QString LogEntriesModel::displayText(const QString &line)
{
    QStringView rest(line);
    QString text;
    // "[time] " stays outside the isolate; it has no strong direction of its own.
    const qsizetype stampEnd = line.startsWith(QLatin1Char('[')) ? rest.left(64).indexOf(u"] ") : -1;
    if (stampEnd > 0) {
        text = withVisibleDirectionControls(rest.left(stampEnd + 2));
        rest = rest.mid(stampEnd + 2);
    }
    QString cut;
    if (rest.size() > shownLength) {
        const qsizetype head = headLength(rest, shownLength / 2);
        qsizetype tail = shownLength / 2;
        if (rest.at(rest.size() - tail).isLowSurrogate())
            --tail;
        cut.reserve(head + tail + 1);
        cut.append(rest.left(head)).append(QChar(0x2026)).append(rest.right(tail));
        rest = cut;
    }
    // Cut first, so the bound counts the line's own characters.
    const QString visible = withVisibleDirectionControls(rest);
    rest = visible;
    // The message and each of its columns left to right, as the log writes them: a
    // column that begins with a right-to-left name moves neither its ID nor the next column.
    text += QChar(0x2066);
    const qsizetype firstEnd = rest.indexOf(kColumnSeparator);
    if (firstEnd < 0) {
        text += isolatedText(rest, Qt::LeftToRight);
    } else {
        text += nameColumn(rest.left(firstEnd));
        for (qsizetype from = firstEnd + kColumnSeparator.size();;) {
            text += kColumnSeparator;
            const qsizetype at = rest.indexOf(kColumnSeparator, from);
            text += isolatedText(rest.mid(from, at < 0 ? -1 : at - from), Qt::LeftToRight);
            if (at < 0)
                break;
            from = at + kColumnSeparator.size();
        }
    }
    text += QChar(0x2069);
    return text;
}

QString LogEntriesModel::toolTipText(const QString &line)
{
    const QString shown = displayText(line);
    QStringList lines;
    for (qsizetype from = 0; from < shown.size();) {
        const qsizetype length = headLength(QStringView(shown).mid(from), qMin(kToolTipLineLength, shown.size() - from));
        lines.append(shown.mid(from, length).toHtmlEscaped());
        from += qMax<qsizetype>(length, 1);
    }
    // Rich text only to keep the blanks and to break nowhere but between those lines; the line itself is escaped.
    return QStringLiteral("<p style=\"white-space:pre\">") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
}
