#include "ui/common/UiStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QStyleOptionViewItem>

namespace UiStyle {
namespace {

// Relative to the body size, after the platform's text-style ladder.
qreal sizeFactor(TextStyle style)
{
    switch (style) {
    case TextStyle::largeTitle: return 26.0 / 13.0;
    case TextStyle::title2: return 17.0 / 13.0;
    case TextStyle::title3: return 15.0 / 13.0;
    case TextStyle::headline: return 1.0;
    case TextStyle::subheadline: return 11.0 / 13.0;
    case TextStyle::body: return 1.0;
    case TextStyle::callout: return 12.0 / 13.0;
    case TextStyle::caption: return 10.0 / 13.0;
    case TextStyle::caption2: return 10.0 / 13.0;
    }
    return 1.0;
}

QFont sized(QFont base, TextStyle style, QFont::Weight weight)
{
    const qreal body = base.pointSizeF() > 0 ? base.pointSizeF() : 10.0;
    // Caption sizes stay readable on small default fonts.
    base.setPointSizeF(qMax(7.5, body * sizeFactor(style)));
    if (style == TextStyle::headline && weight == QFont::Normal)
        weight = QFont::Bold;
    base.setWeight(weight);
    return base;
}

} // namespace

QFont font(TextStyle style, QFont::Weight weight)
{
    return sized(QApplication::font(), style, weight);
}

QFont monospacedFont(TextStyle style, QFont::Weight weight)
{
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(QApplication::font().pointSizeF());
    return sized(fixed, style, weight);
}

QColor color(Tone tone)
{
    const QPalette palette = QApplication::palette();
    QColor text = palette.color(QPalette::WindowText);
    switch (tone) {
    case Tone::primary: return text;
    case Tone::secondary: text.setAlphaF(0.62); return text;
    case Tone::tertiary: text.setAlphaF(0.38); return text;
    case Tone::quaternary: text.setAlphaF(0.22); return text;
    case Tone::accent: return palette.color(QPalette::Highlight);
    case Tone::orange: return QColor(255, 149, 0);
    case Tone::red: return QColor(255, 59, 48);
    case Tone::blue: return QColor(0, 122, 255);
    case Tone::green: return QColor(40, 167, 69);
    }
    return text;
}

QColor itemTextColor(const QStyleOptionViewItem &option)
{
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
        : (option.state & QStyle::State_Active)                              ? QPalette::Active
                                                                              : QPalette::Inactive;
    const bool selected = option.state & QStyle::State_Selected;
    return option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
}

QColor color(Tone tone, qreal opacity)
{
    QColor c = color(tone);
    c.setAlphaF(c.alphaF() * opacity);
    return c;
}

QString css(const QColor &c)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

QString textTone(Tone tone)
{
    return QStringLiteral("color: %1;").arg(css(color(tone)));
}

QString filledButton(const QColor &fill)
{
    return QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 5px;"
                          " padding: 4px 12px; }"
                          "QPushButton:pressed { background: %2; }"
                          "QPushButton:disabled { background: %3; color: %4; }")
        .arg(css(fill), css(fill.darker(120)), css(color(Tone::quaternary)), css(color(Tone::secondary)));
}

} // namespace UiStyle
