#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The windows name their images by the platform's symbol names
// ("gearshape", "trash" …); this is the one table from those names to the
// desktop icon theme, with small images of our own where the theme has none.
namespace SymbolIcon {

// The icon of a symbol name; an unknown name gives a null icon.
QIcon icon(const QString &symbolName);
// The same, drawn in one colour (the theme's symbolic icons are grey).
QIcon icon(const QString &symbolName, const QColor &tint);
QPixmap pixmap(const QString &symbolName, int size, const QColor &tint);

// Every symbol name the windows use.
QStringList symbolNames();

// The application's own icon.
QIcon appIcon();

} // namespace SymbolIcon
