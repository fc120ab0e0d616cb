#include "ui/common/Divider.h"

#include "ui/common/UiStyle.h"

Divider::Divider(QWidget *parent, Qt::Orientation orientation)
    : QFrame(parent)
{
    setFrameShape(orientation == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
    setFrameShadow(QFrame::Plain);
    if (orientation == Qt::Horizontal)
        setFixedHeight(1);
    else
        setFixedWidth(1);
    setStyleSheet(UiStyle::textTone(UiStyle::Tone::quaternary));
}
