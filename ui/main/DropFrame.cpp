#include "ui/main/DropFrame.h"

#include "ui/common/UiStyle.h"

#include <QPainter>
#include <QPainterPath>

DropFrame::DropFrame(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DropFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The stroke is centred on the path: half of it lies inside the inset box.
    const qreal half = lineWidth / 2;
    const QRectF box = QRectF(rect()).adjusted(inset + half, inset + half, -inset - half, -inset - half);
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    const QColor accent = UiStyle::color(UiStyle::Tone::accent);
    painter.fillPath(path, UiStyle::color(UiStyle::Tone::accent, fillOpacity));
    painter.setPen(QPen(accent, lineWidth));
    painter.drawPath(path);
}
