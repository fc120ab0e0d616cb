#include "ui/main/RosterAppDelegate.h"

#include "ui/common/OutsideText.h"
#include "ui/common/UiStyle.h"
#include "ui/main/RosterTableModel.h"

#include <QApplication>
#include <QPainter>

void RosterAppDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // The selection and hover background only; the contents are drawn below.
    opt.text.clear();
    opt.icon = QIcon();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    const QRect cell = option.rect.adjusted(6, 0, -4, 0);
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const QRect iconRect(cell.left(), cell.center().y() - iconSize / 2 + 1, iconSize, iconSize);
    if (!icon.isNull())
        icon.paint(painter, iconRect);

    const QFont nameFont = UiStyle::font(UiStyle::TextStyle::body, QFont::Medium);
    const QFont idFont = UiStyle::font(UiStyle::TextStyle::caption2);
    const QFontMetrics nameMetrics(nameFont);
    const QFontMetrics idMetrics(idFont);
    const int textLeft = iconRect.right() + 1 + 8;
    const int textWidth = cell.right() - textLeft;
    const int blockHeight = nameMetrics.height() + 1 + idMetrics.height();
    const int top = cell.center().y() - blockHeight / 2 + 1;

    const QColor text = selected ? option.palette.color(QPalette::HighlightedText) : UiStyle::color(UiStyle::Tone::primary);
    QColor faint = selected ? option.palette.color(QPalette::HighlightedText) : UiStyle::color(UiStyle::Tone::tertiary);
    if (selected)
        faint.setAlphaF(0.75);
    painter->save();
    painter->setFont(nameFont);
    painter->setPen(text);
    painter->drawText(QRect(textLeft, top, textWidth, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      nameMetrics.elidedText(OutsideText::inLine(index.data(Qt::DisplayRole).toString()),
                                             Qt::ElideRight, textWidth));
    painter->setFont(idFont);
    painter->setPen(faint);
    painter->drawText(QRect(textLeft, top + nameMetrics.height() + 1, textWidth, idMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      idMetrics.elidedText(OutsideText::inLine(index.data(RosterTableModel::bundleIDRole).toString()),
                                           Qt::ElideRight, textWidth));
    painter->restore();
}

QSize RosterAppDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width() + iconSize + 8, rowHeight);
}
