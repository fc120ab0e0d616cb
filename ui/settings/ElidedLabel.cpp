#include "ui/settings/ElidedLabel.h"

#include "ui/common/OutsideText.h"

#include <QPainter>

ElidedLabel::ElidedLabel(const QString &text, Qt::TextElideMode mode, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_mode(mode)
{
    setToolTip(OutsideText::toolTip(text));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString &text)
{
    m_text = text;
    setToolTip(OutsideText::toolTip(text));
    updateGeometry();
    update();
}

QSize ElidedLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(m_text), fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const
{
    // A text shorter than an elided one is never shortened.
    const int shortest = qMin(fontMetrics().horizontalAdvance(m_text), fontMetrics().horizontalAdvance(QStringLiteral("M…M")));
    return {shortest, fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    // Whole when its own width fits: elidedText measures to fractions and would shorten a text
    // laid out at exactly its (rounded) width.
    const QString shown = fontMetrics().horizontalAdvance(m_text) <= width()
        ? m_text
        : fontMetrics().elidedText(m_text, m_mode, width());
    painter.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
}
