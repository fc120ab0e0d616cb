#pragma once

#include <QStyledItemDelegate>

// A cell that shows a name in medium weight over an identifier in a small,
// faint line, both from outside and drawn on one line each; with an icon
// before them when the cell has one. The name is the display text; the
// identifier comes from `idRole` and its line is left out when empty.
class NameOverIdDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // `iconSize` 0: the cell has no icon and the text starts at the cell's edge.
    NameOverIdDelegate(int idRole, int iconSize, QObject *parent = nullptr);

    // The height of the name and identifier lines, without spacing around them.
    static int textHeight();

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_idRole;
    int m_iconSize;
};
