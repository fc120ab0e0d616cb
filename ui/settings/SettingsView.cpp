#include "ui/settings/SettingsView.h"

#include <QLabel>
#include <QVBoxLayout>

SettingsView::SettingsView(UserDefaults &, LanguageManager &, UpdateChecker &, bool, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Settings"), this));
    setMinimumSize(520, 380);
}
