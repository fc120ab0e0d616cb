#pragma once

#include <QColor>
#include <QFont>

class QStyleOptionViewItem;

// The one place that derives the windows' fonts and colours, so the look can
// change without touching every window.
namespace UiStyle {

enum class TextStyle { largeTitle, title2, title3, headline, subheadline, body, callout, caption, caption2 };

// A text style derived from the application font by a fixed size factor.
QFont font(TextStyle style, QFont::Weight weight = QFont::Normal);
// The same size in the system's fixed-pitch font.
QFont monospacedFont(TextStyle style, QFont::Weight weight = QFont::Normal);

enum class Tone { primary, secondary, tertiary, quaternary, accent, orange, red, blue, green };

// Text tones come from the application palette; the system colours are fixed.
QColor color(Tone tone);
QColor color(Tone tone, qreal opacity);

// The text colour of an item view's row in the state `option` gives (selected,
// inactive, disabled), for delegates that draw their text themselves.
QColor itemTextColor(const QStyleOptionViewItem &option);

// Style sheet text for a colour, with its alpha ("rgba(r, g, b, a)").
QString css(const QColor &color);

// A style sheet that gives a widget's text one tone ("color: rgba(...);").
QString textTone(Tone tone);
// A style sheet for a push button filled with `fill`, white text, darker while pressed
// and greyed while disabled: the prominent and the destructive buttons.
QString filledButton(const QColor &fill);

} // namespace UiStyle
