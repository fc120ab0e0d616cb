#pragma once

#include "model/AppSettings.h"

#include <QWidget>

// The help window's content.
class HelpView : public QWidget
{
    Q_OBJECT

public:
    explicit HelpView(const AppSettings &settings = AppSettings::shared(), QWidget *parent = nullptr);
};
