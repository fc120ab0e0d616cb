#include "ui/common/NameOverIdDelegate.h"

#include "ui/common/OutsideText.h"
#include "ui/common/UiStyle.h"

#include <QApplication>
#include <QPainter>

namespace {

QFont nameFont()
{
    return UiStyle::font(UiStyle::TextStyle::body, QFont::Medium);
}

QFont idFont()
{
    return UiStyle::font(UiStyle::TextStyle::caption2);
}

} // namespace

NameOverIdDelegate::NameOverIdDelegate(int idRole, int iconSize, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_idRole(idRole)
    , m_iconSize(iconSize)
{
}

int NameOverIdDelegate::textHeight()
{
    return QFontMetrics(nameFont()).height() + 1 + QFontMetrics(idFont()).height();
}

void NameOverIdDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    // The selection and hover background only; the contents are drawn below.
    background.text.clear();
    background.icon = QIcon();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QRect cell = option.rect.adjusted(6, 0, -6, 0);
    int textLeft = cell.left();
    if (m_iconSize > 0) {
        const QRect iconRect(cell.left(), cell.center().y() - m_iconSize / 2 + 1, m_iconSize, m_iconSize);
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull())
            icon.paint(painter, iconRect);
        textLeft = iconRect.right() + 1 + 8;
    }
    const int textWidth = cell.right() - textLeft;

    const QString id = index.data(m_idRole).toString();
    const QFontMetrics nameMetrics(nameFont());
    const QFontMetrics idMetrics(idFont());
    const int blockHeight = id.isEmpty() ? nameMetrics.height() : textHeight();
    const int top = option.rect.top() + (option.rect.height() - blockHeight) / 2;

    const bool selected = option.state & QStyle::State_Selected;
    const QColor text = selected ? option.palette.color(QPalette::HighlightedText) : UiStyle::color(UiStyle::Tone::primary);
    QColor faint = UiStyle::color(UiStyle::Tone::tertiary);
    if (selected) {
        faint = text;
        faint.setAlphaF(0.7);
    }
    painter->save();
    painter->setFont(nameFont());
    painter->setPen(text);
    painter->drawText(QRect(textLeft, top, textWidth, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      nameMetrics.elidedText(OutsideText::inLine(index.data(Qt::DisplayRole).toString()),
                                             Qt::ElideRight, textWidth));
    if (!id.isEmpty()) {
        painter->setFont(idFont());
        painter->setPen(faint);
        painter->drawText(QRect(textLeft, top + nameMetrics.height() + 1, textWidth, idMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          idMetrics.elidedText(OutsideText::inLine(id), Qt::ElideRight, textWidth));
    }
    painter->restore();
}

QSize NameOverIdDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QSize base = QStyledItemDelegate::sizeHint(option, index);
    return QSize(base.width() + (m_iconSize > 0 ? m_iconSize + 8 : 0), qMax(base.height(), textHeight()));
}
