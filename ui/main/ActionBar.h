#pragma once

#include "model/InstalledApp.h"
#include "ui/main/AppTab.h"

#include <QWidget>

class LanguageManager;
class LeftoversTab;
class QPushButton;
class RosterTab;
class Scanner;
class StatusBar;

// The bar along the bottom of the main window: the shown tab's status pieces,
// the buttons that act on its selection (each only while it has something to
// act on) and the version footer.
class ActionBar : public QWidget
{
    Q_OBJECT

public:
    ActionBar(const Scanner &scanner, LanguageManager &lm, LeftoversTab &leftovers, RosterTab &roster,
              QWidget *parent = nullptr);

    void setTab(AppTab tab);

signals:
    // "Scan Leftovers": the first selected application, in roster order.
    void scanLeftoversRequested(const InstalledApp &app);

private:
    void refresh();
    void refreshLeftovers();
    void refreshRoster();

    const Scanner &m_scanner;
    LanguageManager &m_lm;
    LeftoversTab &m_leftovers;
    RosterTab &m_roster;
    AppTab m_tab = AppTab::leftovers;
    StatusBar *m_status;
    QPushButton *m_resetButton;
    QPushButton *m_backgroundButton;
    QPushButton *m_trashButton;
    QPushButton *m_scanLeftoversButton;
};
