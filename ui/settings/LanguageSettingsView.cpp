#include "ui/settings/LanguageSettingsView.h"

#include "core/LanguageManager.h"
#include "ui/settings/SettingsLabels.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

LanguageSettingsView::LanguageSettingsView(LanguageManager &languageManager, QWidget *parent)
    : QWidget(parent)
    , m_languageManager(languageManager)
    , m_choices(new QButtonGroup(this))
    , m_save(new QPushButton(tr("Save"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(16);
    layout->addWidget(SettingsLabels::heading(tr("Language")));
    layout->addWidget(SettingsLabels::caption(tr("Select a language and press Save to apply.")));

    auto *radios = new QVBoxLayout;
    radios->setSpacing(4);
    for (AppLanguage language : AppLanguages::allCases()) {
        auto *radio = new QRadioButton(AppLanguages::displayName(language), this);
        m_choices->addButton(radio, static_cast<int>(language));
        radios->addWidget(radio);
    }
    layout->addLayout(radios);
    layout->addStretch(1);

    auto *saveRow = new QHBoxLayout;
    saveRow->addStretch(1);
    m_save->setDefault(true);
    saveRow->addWidget(m_save);
    layout->addLayout(saveRow);

    connect(m_choices, &QButtonGroup::idClicked, this,
            [this](int id) { setDraftLanguage(static_cast<AppLanguage>(id)); });
    connect(m_save, &QPushButton::clicked, this, &LanguageSettingsView::applyDraftLanguage);
    connect(&m_languageManager, &LanguageManager::languageChanged, this, &LanguageSettingsView::updateSave);
    syncDraftLanguage();
}

void LanguageSettingsView::setDraftLanguage(AppLanguage language)
{
    m_draftLanguage = language;
    if (QAbstractButton *radio = m_choices->button(static_cast<int>(language)))
        radio->setChecked(true);
    updateSave();
}

void LanguageSettingsView::syncDraftLanguage()
{
    setDraftLanguage(m_languageManager.language());
}

void LanguageSettingsView::applyDraftLanguage()
{
    m_languageManager.setLanguage(m_draftLanguage);
}

void LanguageSettingsView::updateSave()
{
    m_save->setEnabled(m_draftLanguage != m_languageManager.language());
}
