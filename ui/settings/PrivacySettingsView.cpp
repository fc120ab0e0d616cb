#include "ui/settings/PrivacySettingsView.h"

#include "platform/UserDefaults.h"
#include "ui/settings/SettingsLabels.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

PrivacySettingsView::PrivacySettingsView(UserDefaults &defaults, bool sentryEnabled, QWidget *parent)
    : QWidget(parent)
    , m_defaults(defaults)
    , m_switch(new QCheckBox(tr("Send anonymous crash reports"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(14);
    layout->addWidget(SettingsLabels::heading(tr("Privacy")));
    m_switch->setChecked(sentryEnabled);
    layout->addWidget(m_switch);
    layout->addWidget(SettingsLabels::caption(
        tr("Only uncaught crashes are reported — no scans, no file paths, no personal data. Breadcrumbs, performance "
           "traces, and session tracking are disabled. Changes take effect on next launch.")));
    layout->addStretch(1);

    // Written on a change only; showing the tab writes nothing.
    connect(m_switch, &QCheckBox::toggled, this,
            [this](bool on) { m_defaults.setBool(QString::fromLatin1(sentryEnabledKey), on); });
}
