#pragma once

#include <QWidget>

class QLabel;
class UpdateChecker;

// The blue strip under the header while a newer version is on offer, with
// its own divider below: Download or Later.
class UpdateBanner : public QWidget
{
    Q_OBJECT

public:
    explicit UpdateBanner(UpdateChecker &updater, QWidget *parent = nullptr);

private:
    void refresh();

    UpdateChecker &m_updater;
    QLabel *m_text;
};
