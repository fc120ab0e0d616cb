#include "ui/main/ActionBarRules.h"

#include "core/LanguageManager.h"
#include "model/ByteCountFormatter.h"
#include "ui/common/OutsideText.h"

#include <QCoreApplication>

namespace ActionBarRules {
namespace {

const char *context = "ContentView";

StatusPiece separator()
{
    return {StatusPiece::Style::separator, QStringLiteral("\u00b7")};
}

template <typename Record, typename Size>
qint64 total(const QList<Record> &records, Size size)
{
    qint64 sum = 0;
    for (const Record &record : records)
        sum += size(record);
    return sum;
}

} // namespace

QList<StatusPiece> leftoversStatus(const LeftoversStatusInput &input, const LanguageManager &lm, const QLocale &locale)
{
    if (input.isScanning)
        return {{StatusPiece::Style::caption, OutsideText::inLine(input.scanProgress)}};
    if (!input.hasItems)
        return {};

    QList<StatusPiece> pieces;
    const qsizetype count = input.filteredItems.size();
    pieces.append({StatusPiece::Style::caption,
                   count == 1 ? QCoreApplication::translate(context, "%1 item").arg(count)
                              : QCoreApplication::translate(context, "%1 items").arg(count)});
    const auto bytes = [](const LeftoverItem &item) { return item.size; };
    if (const qint64 sum = total(input.filteredItems, bytes); sum > 0) {
        pieces << separator()
               << StatusPiece{StatusPiece::Style::caption,
                              lm.localized(QStringLiteral("status_total"), {ByteCountFormatter::string(sum, locale)})};
    }
    if (input.hiddenBySafeMode != 0) {
        pieces << separator()
               << StatusPiece{StatusPiece::Style::safeModeNote,
                              lm.localized(QStringLiteral("status_hidden_safe"), {input.hiddenBySafeMode})};
    }
    if (input.selectionCount > 0) {
        pieces << separator()
               << StatusPiece{StatusPiece::Style::selection,
                              input.selectionCount == 1
                                  ? lm.localized(QStringLiteral("status_1_selected"))
                                  : lm.localized(QStringLiteral("status_n_selected"), {int(input.selectionCount)})};
        if (input.selectedSize > 0) {
            pieces << StatusPiece{StatusPiece::Style::willFree,
                                  lm.localized(QStringLiteral("status_will_free"),
                                               {ByteCountFormatter::string(input.selectedSize, locale)})};
        }
    }
    return pieces;
}

QList<StatusPiece> rosterStatus(bool isLoadingRoster, const QList<InstalledApp> &apps, const LanguageManager &lm,
                                const QLocale &locale)
{
    if (isLoadingRoster)
        return {{StatusPiece::Style::caption, QCoreApplication::translate(context, "Computing sizes\u2026")}};
    if (apps.isEmpty())
        return {};
    QList<StatusPiece> pieces{{StatusPiece::Style::caption,
                               apps.size() == 1 ? lm.localized(QStringLiteral("status_1_app"))
                                                : lm.localized(QStringLiteral("status_n_apps"), {int(apps.size())})}};
    // Sizes not yet known are negative and count as nothing.
    const qint64 sum = total(apps, [](const InstalledApp &app) { return qMax<qint64>(app.appSize, 0); });
    if (sum >= 1) {
        pieces << separator()
               << StatusPiece{StatusPiece::Style::caption,
                              lm.localized(QStringLiteral("status_total"), {ByteCountFormatter::string(sum, locale)})};
    }
    return pieces;
}

QString versionString(const QString &shortVersion, const QString &buildNumber)
{
    const auto shown = [](const QString &value) { return value.isEmpty() ? QStringLiteral("?") : value; };
    return QStringLiteral("v%1 (%2)").arg(shown(shortVersion), shown(buildNumber));
}

} // namespace ActionBarRules
