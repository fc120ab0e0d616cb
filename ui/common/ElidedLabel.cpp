#include "ui/common/ElidedLabel.h"

#include "ui/common/OutsideText.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace {

// A label to assistive tools, named by its whole text: a widget that paints its
// own text is otherwise an empty filler to them.
class AccessibleElidedLabel : public QAccessibleWidget
{
public:
    explicit AccessibleElidedLabel(ElidedLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (const QString name = widget()->accessibleName(); !name.isEmpty())
                return name;
            return static_cast<const ElidedLabel *>(widget())->text();
        case QAccessible::Description:
            // Not the tool tip: it repeats the name, as markup.
            return widget()->accessibleDescription();
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface *accessibleElidedLabel(const QString &className, QObject *object)
{
    if (className == QLatin1String("ElidedLabel") && object && object->isWidgetType())
        return new AccessibleElidedLabel(static_cast<ElidedLabel *>(object));
    return nullptr;
}

} // namespace

ElidedLabel::ElidedLabel(const QString &text, Qt::TextElideMode mode, QWidget *parent)
    : QWidget(parent)
    , m_text(text)
    , m_mode(mode)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleElidedLabel), true);
    Q_UNUSED(factoryInstalled);
    setToolTip(OutsideText::toolTip(text));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString &text)
{
    const bool changed = text != m_text;
    m_text = text;
    setToolTip(OutsideText::toolTip(text));
    updateGeometry();
    update();
    if (changed) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
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
    drawLine(painter, rect(), m_text, m_mode);
}

void ElidedLabel::drawLine(QPainter &painter, const QRect &rect, const QString &text, Qt::TextElideMode mode)
{
    // As a QLabel lays its text out: an Arabic status piece reads right to left, its number
    // beside its unit, though the window runs left to right. Isolated text is passed over:
    // a sentence that begins with an isolated name runs in the sentence's direction.
    painter.setLayoutDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    painter.drawText(rect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     shownText(painter.fontMetrics(), text, mode, rect.width()));
}

QString ElidedLabel::shownText(const QFontMetrics &metrics, const QString &text, Qt::TextElideMode mode, int width)
{
    // Whole when its own width fits: elidedText measures to fractions and would shorten a text
    // laid out at exactly its (rounded) width.
    return metrics.horizontalAdvance(text) <= width ? text : metrics.elidedText(text, mode, width);
}
