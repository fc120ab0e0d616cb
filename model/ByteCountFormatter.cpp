#include "model/ByteCountFormatter.h"

#include <array>

namespace {

struct Unit
{
    const char *name;
    quint64 divisor;
    int decimals;
};

constexpr std::array<Unit, 6> kUnits{{
    {"KB", 1000ULL, 0},
    {"MB", 1000ULL * 1000, 1},
    {"GB", 1000ULL * 1000 * 1000, 2},
    {"TB", 1000ULL * 1000 * 1000 * 1000, 2},
    {"PB", 1000ULL * 1000 * 1000 * 1000 * 1000, 2},
    {"EB", 1000ULL * 1000 * 1000 * 1000 * 1000 * 1000, 2},
}};

constexpr quint64 powerOfTen(int n)
{
    quint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

} // namespace

QString ByteCountFormatter::string(qint64 bytes, const QLocale &locale)
{
    if (bytes == 0)
        return QStringLiteral("Zero KB");
    const bool negative = bytes < 0;
    // Unsigned magnitude, so that the smallest qint64 has one too.
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(bytes) : static_cast<quint64>(bytes);
    const QString sign = negative ? QStringLiteral("-") : QString();

    if (magnitude < 1000)
        return sign + QString::number(magnitude) + (magnitude == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));

    // Integer arithmetic throughout: doubles would misround values like 1.25 MB.
    for (size_t i = 0; i < kUnits.size(); ++i) {
        const Unit &unit = kUnits[i];
        const quint64 scale = powerOfTen(unit.decimals);
        const quint64 step = unit.divisor / scale; // even, so halves round away from zero
        // magnitude / step cannot exceed about 1.8e16; adding the half step separately avoids overflow.
        const quint64 scaled = magnitude / step + ((magnitude % step) >= step / 2 ? 1 : 0);
        const bool last = i + 1 == kUnits.size();
        if (scaled >= 1000 * scale && !last)
            continue; // would read "1000 KB": the next unit says it better

        QString text = sign + QString::number(scaled / scale);
        if (unit.decimals > 0) {
            QString fraction = QString::number(scaled % scale).rightJustified(unit.decimals, QLatin1Char('0'));
            while (fraction.endsWith(QLatin1Char('0')))
                fraction.chop(1);
            if (!fraction.isEmpty())
                text += locale.decimalPoint() + fraction;
        }
        return text + QLatin1Char(' ') + QLatin1String(unit.name);
    }
    return QString(); // not reached: the last unit always returns
}
