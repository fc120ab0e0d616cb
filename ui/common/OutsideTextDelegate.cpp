#include "ui/common/OutsideTextDelegate.h"

#include "ui/common/OutsideText.h"

QString OutsideTextDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    return OutsideText::inLine(QStyledItemDelegate::displayText(value, locale));
}
