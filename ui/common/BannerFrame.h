#pragma once

#include <QColor>
#include <QFrame>

// A box drawn as a rounded rectangle in one tint: the fill and the outline
// each at their own opacity (0 leaves it out). The banners and boxes of the
// windows are these.
class BannerFrame : public QFrame
{
    Q_OBJECT

public:
    explicit BannerFrame(const QColor &tint, qreal fillOpacity, qreal strokeOpacity = 0, qreal radius = 8,
                         QWidget *parent = nullptr);

    void setTint(const QColor &tint);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_tint;
    qreal m_fillOpacity;
    qreal m_strokeOpacity;
    qreal m_radius;
};
