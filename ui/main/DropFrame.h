#pragma once

#include <QWidget>

// The highlight drawn over the main window while a file drag hovers: a rounded
// accent frame with a faint fill, inset from the edges.
class DropFrame : public QWidget
{
    Q_OBJECT

public:
    static constexpr int inset = 8;
    static constexpr qreal radius = 12;
    static constexpr qreal lineWidth = 3;
    static constexpr qreal fillOpacity = 0.05;

    explicit DropFrame(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
