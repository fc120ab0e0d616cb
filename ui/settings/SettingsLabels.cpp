#include "ui/settings/SettingsLabels.h"

#include <QLabel>

namespace SettingsLabels {

QLabel *heading(const QString &text)
{
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(UiStyle::font(UiStyle::TextStyle::headline));
    return label;
}

QLabel *caption(const QString &text)
{
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    label->setWordWrap(true);
    setTone(label, UiStyle::Tone::secondary);
    return label;
}

void setTone(QLabel *label, UiStyle::Tone tone)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, UiStyle::color(tone));
    label->setPalette(palette);
}

}
