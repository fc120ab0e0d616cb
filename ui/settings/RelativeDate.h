#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// "yesterday", "3 hours ago", "now": the date relative to `now` in the
// locale's words, in the largest whole unit that fits, with wide unit names.
QString relativeDateText(const QDateTime &date, const QDateTime &now, const QLocale &locale);
