#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>

// Why a column of sizes is not in the desktop's fixed font with digits of one
// width, or empty when it is. Asks nothing of which fonts the machine has: font
// configuration does not mark every monospaced font as fixed pitch.
inline QString fixedDigitsFault(const QFont &font)
{
    const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    if (font.family() != fixed)
        return QStringLiteral("family %1, not the fixed font %2").arg(font.family(), fixed);
    const QFontMetricsF metrics(font);
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) != metrics.horizontalAdvance(QLatin1Char('0')))
            return QStringLiteral("%1 is not as wide as 0").arg(QLatin1Char(digit));
    }
    return {};
}
