#include "model/InstalledApp.h"

QString InstalledApp::lastLaunchedText(const QDateTime &now) const
{
    if (!lastLaunched)
        return QStringLiteral("Never");
    // Whole calendar days elapsed in local time, not dates crossed and not
    // multiples of 24 hours (a day across a clock change is 23 or 25 hours).
    // Truncated toward zero, so the future gives a negative count.
    const QDateTime from = lastLaunched->toLocalTime();
    const QDateTime to = now.toLocalTime();
    qint64 days = from.date().daysTo(to.date());
    if (days > 0 && from.addDays(days) > to)
        --days;
    else if (days < 0 && from.addDays(days) < to)
        ++days;
    if (days == 0)
        return QStringLiteral("Today");
    if (days == 1)
        return QStringLiteral("Yesterday");
    return QString::number(days) + QStringLiteral(" days ago");
}

QDateTime InstalledApp::lastLaunchedSortKey() const
{
    if (lastLaunched)
        return *lastLaunched;
    // The platform's "distant past": 1 January of year 1.
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
}
