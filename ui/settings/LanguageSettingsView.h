#pragma once

#include "core/AppLanguage.h"

#include <QWidget>

class LanguageManager;
class QButtonGroup;
class QPushButton;

// The Language tab: a draft choice that takes effect only on Save.
class LanguageSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit LanguageSettingsView(LanguageManager &languageManager, QWidget *parent = nullptr);

    AppLanguage draftLanguage() const { return m_draftLanguage; }
    void setDraftLanguage(AppLanguage language);
    QPushButton *saveButton() const { return m_save; }

public slots:
    // Drops an unsaved choice: the draft becomes the current language again.
    void syncDraftLanguage();
    void applyDraftLanguage();

private:
    void updateSave();

    LanguageManager &m_languageManager;
    AppLanguage m_draftLanguage = AppLanguage::system;
    QButtonGroup *m_choices;
    QPushButton *m_save;
};
