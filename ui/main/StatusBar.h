#pragma once

#include "ui/main/ActionBarRules.h"

#include <QWidget>

// The status pieces at the left of the action bar: counts, sizes and notes of
// the shown tab, each drawn in its style and shortened with an ellipsis when
// the bar runs out of room.
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget *parent = nullptr);

    void setPieces(const QList<ActionBarRules::StatusPiece> &pieces);
};
