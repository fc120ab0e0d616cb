#include "model/InstalledApp.h"

QString InstalledApp::lastLaunchedText(const QDateTime &now) const
{
    if (!lastLaunched)
        return QStringLiteral("Never");
    // Whole days elapsed, not calendar dates crossed; truncated toward zero
    // like a calendar difference, so the future gives a negative count.
    const qint64 days = lastLaunched->secsTo(now) / 86400;
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
