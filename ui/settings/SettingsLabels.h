#pragma once

#include "ui/common/UiStyle.h"

#include <QString>

class QLabel;

// The headings and captions the settings tabs share; plain text.
namespace SettingsLabels {

QLabel *heading(const QString &text);
// Caption font, secondary tone, wrapping.
QLabel *caption(const QString &text);
// Any label drawn in one tone.
void setTone(QLabel *label, UiStyle::Tone tone);

}
