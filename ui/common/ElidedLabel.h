#pragma once

#include <QWidget>

class QPainter;

// One line of text shortened with an ellipsis where it does not fit; the
// whole text shows as a tool tip and is what a screen reader reads.
class ElidedLabel : public QWidget
{
    Q_OBJECT

public:
    ElidedLabel(const QString &text, Qt::TextElideMode mode, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // `text` as drawn in `width`: whole when it fits, else shortened by `mode`.
    static QString shownText(const QFontMetrics &metrics, const QString &text, Qt::TextElideMode mode, int width);
    // Draws `text` on one line in `rect` as the label draws its own, with the painter's
    // font and pen: shortened by `mode`, in the direction of its first strong character.
    static void drawLine(QPainter &painter, const QRect &rect, const QString &text, Qt::TextElideMode mode);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    Qt::TextElideMode m_mode;
};
