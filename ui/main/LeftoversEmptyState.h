#pragma once

#include <QWidget>

class QLabel;
class QVariantAnimation;
class Scanner;

// What the Leftovers tab shows before anything was found: a symbol, a hint
// (how to scan, or what a drop will do while a file hovers over the window)
// and the last scan's progress text.
class LeftoversEmptyState : public QWidget
{
    Q_OBJECT

public:
    explicit LeftoversEmptyState(const Scanner &scanner, QWidget *parent = nullptr);

    // The window's drag state: the symbol and the hint change, animated.
    void setDragTargeted(bool targeted);

private:
    void drawSymbol(qreal progress);
    void refreshHint();

    QLabel *m_symbol;
    QLabel *m_hint;
    QVariantAnimation *m_animation;
    bool m_dragTargeted = false;
};
