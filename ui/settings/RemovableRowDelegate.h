#pragma once

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;

// Draws a removable list's row as a symbol, the text on one line (shortened
// with an ellipsis) and a red minus button at the end, and takes the button's
// hover and click: no widget is made per row.
class RemovableRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Watches the view's mouse events so that the button hovers and presses
    // like a real one and a press on it leaves the selection alone.
    RemovableRowDelegate(const QString &symbol, const QColor &symbolTint, Qt::TextElideMode elideMode,
                         QAbstractItemView *view);

    // Where the minus button of the row drawn in `itemRect` is.
    QRect buttonRect(const QRect &itemRect, Qt::LayoutDirection direction) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

signals:
    // The minus button of the row with this index was clicked.
    void removeClicked(const QModelIndex &index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct RowLayout
    {
        QRect symbol;
        QRect text;
        QRect button;
    };
    RowLayout rowLayout(const QRect &itemRect, Qt::LayoutDirection direction) const;
    QSize buttonSize() const;
    const QPixmap &symbolPixmap(const QColor &tint) const;
    void drawButton(QPainter *painter, const QStyleOptionViewItem &option, const QRect &rect,
                    const QModelIndex &index) const;
    void setHovered(const QModelIndex &index);
    void updateRow(const QModelIndex &index) const;

    QPointer<QAbstractItemView> m_view;
    QString m_symbol;
    QColor m_symbolTint;
    Qt::TextElideMode m_elideMode;
    QIcon m_removeIcon;
    mutable QHash<QRgb, QPixmap> m_symbolPixmaps;
    QPersistentModelIndex m_hovered; // the row whose button is under the mouse
    QPersistentModelIndex m_pressed; // the row whose button is held down
};
