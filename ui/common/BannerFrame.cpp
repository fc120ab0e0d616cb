#include "ui/common/BannerFrame.h"

#include <QPainter>
#include <QPainterPath>

BannerFrame::BannerFrame(const QColor &tint, qreal fillOpacity, qreal strokeOpacity, qreal radius, QWidget *parent)
    : QFrame(parent)
    , m_tint(tint)
    , m_fillOpacity(fillOpacity)
    , m_strokeOpacity(strokeOpacity)
    , m_radius(radius)
{
    setFrameShape(QFrame::NoFrame);
}

void BannerFrame::setTint(const QColor &tint)
{
    m_tint = tint;
    update();
}

void BannerFrame::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(box, m_radius, m_radius);
    if (m_fillOpacity > 0) {
        QColor fill = m_tint;
        fill.setAlphaF(m_fillOpacity);
        painter.fillPath(path, fill);
    }
    if (m_strokeOpacity > 0) {
        QColor stroke = m_tint;
        stroke.setAlphaF(m_strokeOpacity);
        painter.setPen(QPen(stroke, 1));
        painter.drawPath(path);
    }
}
