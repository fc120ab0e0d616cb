#include "ui/settings/RelativeDate.h"

#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

QString relativeDateText(const QDateTime &date, const QDateTime &now, const QLocale &locale)
{
    struct Unit
    {
        qint64 seconds;
        URelativeDateTimeUnit unit;
    };
    static constexpr Unit units[] = {
        {365 * 86400, UDAT_REL_UNIT_YEAR}, {30 * 86400, UDAT_REL_UNIT_MONTH}, {7 * 86400, UDAT_REL_UNIT_WEEK},
        {86400, UDAT_REL_UNIT_DAY},        {3600, UDAT_REL_UNIT_HOUR},        {60, UDAT_REL_UNIT_MINUTE},
        {1, UDAT_REL_UNIT_SECOND},
    };

    const qint64 delta = now.secsTo(date);
    Unit chosen = units[std::size(units) - 1];
    for (const Unit &unit : units) {
        if (std::llabs(delta) >= unit.seconds) {
            chosen = unit;
            break;
        }
    }
    const double offset = static_cast<double>(delta / chosen.seconds);

    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale icuLocale = icu::Locale::forLanguageTag(locale.bcp47Name().toStdString(), status);
    if (U_FAILURE(status))
        return QLocale(locale).toString(date, QLocale::ShortFormat);
    icu::RelativeDateTimeFormatter formatter(icuLocale, nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_NONE,
                                             status);
    icu::UnicodeString text;
    formatter.format(offset, chosen.unit, text, status);
    if (U_FAILURE(status))
        return QLocale(locale).toString(date, QLocale::ShortFormat);
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}
