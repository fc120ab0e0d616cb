#pragma once

#include "model/InstalledApp.h"
#include "ui/main/AppTab.h"

#include <QWidget>

class LanguageManager;
class QGridLayout;
class QLabel;
class LeftoversTab;
class QPushButton;
class RosterTab;
class Scanner;
class StatusBar;

// The bar along the bottom of the main window: the shown tab's status pieces,
// the buttons that act on its selection (each only while it has something to
// act on) and the version footer. When one row cannot hold the status
// pieces beside the buttons (long labels in some languages), the buttons take
// a row of their own, so the window never has to widen and nothing is cut.
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

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    // One row or two, by the width the bar has.
    void arrange();
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
    QWidget *m_buttons;
    QLabel *m_version;
    QGridLayout *m_grid;
    bool m_stacked = false;
};
