#include "ui/main/LogLineDelegate.h"

#include "ui/common/UiStyle.h"

#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QTextLayout>

namespace {

// Characters of shown text kept in the height cache before it starts over:
// enough for a full log of long lines, bounded however many lines went by.
constexpr qsizetype kMaxCachedCharacters = 8 * 1000 * 1000;

// Whether an isolate in `text` can matter: it holds right-to-left characters or
// explicit embeddings.
bool hasDirectionalContent(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
        switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirPDF:
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace

QString LogLineDelegate::laidOutText(const QString &shown)
{
    // Each isolate splits the text into one more run to shape, which doubles the
    // time to measure a full log; without right-to-left text they change nothing.
    if (hasDirectionalContent(shown))
        return shown;
    QString text = shown;
    text.removeIf([](QChar c) { return c.unicode() >= 0x2066 && c.unicode() <= 0x2069; });
    return text;
}

LogLineDelegate::LogLineDelegate(QListView *list)
    : QStyledItemDelegate(list)
    , m_list(list)
{
}

int LogLineDelegate::textWidth() const
{
    return qMax(1, m_list->viewport()->width() - 2 * m_list->spacing() - 2 * horizontalMargin);
}

int LogLineDelegate::layOut(QTextLayout &layout, int width)
{
    // At a blank where there is one, anywhere in a path or an ID longer than the row.
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return qCeil(height);
}

int LogLineDelegate::textHeight(const QString &text, const QFont &font, int width) const
{
    if (width != m_heightsWidth) {
        m_heights.clear();
        m_heightsWidth = width;
    }
    if (const auto known = m_heights.constFind(text); known != m_heights.cend())
        return known.value();
    if (m_heights.isEmpty() || m_cachedCharacters + text.size() > kMaxCachedCharacters) {
        m_heights.clear();
        m_cachedCharacters = 0;
    }
    QTextLayout layout(text, font);
    const int height = layOut(layout, width);
    m_heights.insert(text, height);
    m_cachedCharacters += text.size();
    return height;
}

QSize LogLineDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    Q_UNUSED(option);
    const QFont font = index.data(Qt::FontRole).value<QFont>();
    // No width of its own: every row is as wide as the list.
    const QString text = laidOutText(index.data(Qt::DisplayRole).toString());
    return QSize(0, textHeight(text, font, textWidth()) + 2 * verticalMargin);
}

void LogLineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    // The selection and focus only; the text is laid out below as it was measured.
    const QString text = background.text;
    background.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    QTextLayout layout(laidOutText(text), background.font);
    layOut(layout, textWidth());
    painter->save();
    painter->setPen(UiStyle::itemTextColor(option));
    painter->setClipRect(option.rect);
    layout.draw(painter, QPointF(option.rect.left() + horizontalMargin, option.rect.top() + verticalMargin));
    painter->restore();
}
