#pragma once

#include <QStyledItemDelegate>

// The roster's App cell: the file icon at 20 × 20, then the name in medium
// weight over the bundle ID in a small, faint line.
class RosterAppDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int iconSize = 20;
    static constexpr int rowHeight = 36;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
