#pragma once

#include <QProgressBar>

// An indeterminate progress bar: the spinner shown while something runs for an
// unknown time. The caller gives it its size.
class BusyIndicator : public QProgressBar
{
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget *parent = nullptr);
    BusyIndicator(QSize size, QWidget *parent);
};
