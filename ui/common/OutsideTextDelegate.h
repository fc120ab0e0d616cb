#pragma once

#include <QStyledItemDelegate>

// A text cell whose text comes from outside (a path, a version): drawn on one
// line and isolated, so a line break or a direction mark in it changes nothing
// around it. The model keeps the text as it is, for searching by typing.
class OutsideTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
};
