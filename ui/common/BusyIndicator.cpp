#include "ui/common/BusyIndicator.h"

BusyIndicator::BusyIndicator(QWidget *parent)
    : QProgressBar(parent)
{
    setRange(0, 0);
    setTextVisible(false);
}

BusyIndicator::BusyIndicator(QSize size, QWidget *parent)
    : BusyIndicator(parent)
{
    setFixedSize(size);
}
