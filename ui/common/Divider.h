#pragma once

#include <QFrame>

// A one-pixel rule in the faintest text tone between regions of a window.
class Divider : public QFrame
{
    Q_OBJECT

public:
    explicit Divider(QWidget *parent = nullptr, Qt::Orientation orientation = Qt::Horizontal);
};
