#pragma once

#include "model/InstalledApp.h"
#include "model/LeftoverItem.h"

#include <QList>
#include <QLocale>
#include <QString>

class LanguageManager;

// What the action bar's status pieces and footer say.
namespace ActionBarRules {

// One child of the status row; the style says how it is drawn.
struct StatusPiece
{
    enum class Style { caption, separator, safeModeNote, selection, willFree };
    Style style = Style::caption;
    QString text;
    bool operator==(const StatusPiece &) const = default;
};

struct LeftoversStatusInput
{
    bool isScanning = false;
    QString scanProgress;
    bool hasItems = false;
    // The items after every filter.
    QList<LeftoverItem> filteredItems;
    int hiddenBySafeMode = 0;
    // Every selected id, hidden rows included.
    qsizetype selectionCount = 0;
    // The bytes of the selected items still present in the scan's list.
    qint64 selectedSize = 0;
};

QList<StatusPiece> leftoversStatus(const LeftoversStatusInput &input, const LanguageManager &lm,
                                   const QLocale &locale);
QList<StatusPiece> rosterStatus(bool isLoadingRoster, const QList<InstalledApp> &apps, const LanguageManager &lm,
                                const QLocale &locale);

// "v1.0.0 (1)"; an empty value shows as "?".
QString versionString(const QString &shortVersion, const QString &buildNumber);

} // namespace ActionBarRules
