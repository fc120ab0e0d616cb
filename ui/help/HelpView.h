#pragma once

#include "model/AppSettings.h"

#include <QWidget>

class QScrollArea;

// The help window's content: one vertically scrolling page of fixed text.
class HelpView : public QWidget
{
    Q_OBJECT

public:
    explicit HelpView(const AppSettings &settings = AppSettings::shared(), QWidget *parent = nullptr);

    QScrollArea *scrollArea() const { return m_scrollArea; }

private:
    QScrollArea *m_scrollArea;
};
