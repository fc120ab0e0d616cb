#pragma once

#include <QWidget>

class BannerFrame;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class NotesArea;
class UpdateChecker;

// The Updates tab: the automatic-check switch, "Check Now", and what the
// update checker last found. It follows checks started anywhere.
class UpdateSettingsView : public QWidget
{
    Q_OBJECT

public:
    UpdateSettingsView(UpdateChecker &checker, bool automatic, QWidget *parent = nullptr);

    QCheckBox *automaticSwitch() const { return m_automatic; }
    QPushButton *checkNowButton() const { return m_checkNow; }
    QProgressBar *busyIndicator() const { return m_busy; }
    QLabel *lastCheckedLabel() const { return m_lastChecked; }
    BannerFrame *updateBox() const { return m_updateBox; }
    NotesArea *notesArea() const { return m_notesArea; }
    QWidget *upToDateLabel() const { return m_upToDate; }
    QLabel *errorLabel() const { return m_error; }

public slots:
    void checkNow();

protected:
    void changeEvent(QEvent *event) override;

private:
    void automaticChanged(bool automatic);
    void refresh();

    UpdateChecker &m_checker;
    QCheckBox *m_automatic;
    QPushButton *m_checkNow;
    QProgressBar *m_busy;
    QLabel *m_lastChecked;
    QLabel *m_currentVersion;
    BannerFrame *m_updateBox;
    QLabel *m_updateTitle;
    NotesArea *m_notesArea;
    QWidget *m_upToDate;
    QLabel *m_error;
};
