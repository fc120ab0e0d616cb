#include "ui/common/SymbolIcon.h"

#include <QHash>
#include <QPainter>
#include <QStandardPaths>

// The images live in the UI library's resources, which a static library
// registers only when asked.
static void registerOurImages()
{
    Q_INIT_RESOURCE(ui);
}

namespace SymbolIcon {
namespace {

// Theme names are freedesktop names in the Adwaita theme; a name starting
// with ":" is an image of our own.
const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> names{
        {QStringLiteral("gearshape"), QStringLiteral("emblem-system-symbolic")},
        {QStringLiteral("folder"), QStringLiteral("folder-symbolic")},
        {QStringLiteral("folder.badge.plus"), QStringLiteral("folder-new-symbolic")},
        {QStringLiteral("clock.arrow.circlepath"), QStringLiteral("document-open-recent-symbolic")},
        {QStringLiteral("shippingbox"), QStringLiteral("package-x-generic-symbolic")},
        {QStringLiteral("scroll"), QStringLiteral(":/icons/scroll.svg")},
        {QStringLiteral("bookmark"), QStringLiteral("bookmark-new-symbolic")},
        {QStringLiteral("doc.text"), QStringLiteral("text-x-generic-symbolic")},
        {QStringLiteral("lock.shield"), QStringLiteral("system-lock-screen-symbolic")},
        {QStringLiteral("lock.shield.fill"), QStringLiteral("changes-prevent-symbolic")},
        {QStringLiteral("lock.slash"), QStringLiteral("changes-allow-symbolic")},
        {QStringLiteral("clock.arrow.2.circlepath"), QStringLiteral("appointment-soon-symbolic")},
        {QStringLiteral("puzzlepiece.extension"), QStringLiteral("application-x-addon-symbolic")},
        {QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("emblem-synchronizing-symbolic")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh-symbolic")},
        {QStringLiteral("app.badge"), QStringLiteral("application-x-executable-symbolic")},
        {QStringLiteral("arrow.down.circle.fill"), QStringLiteral(":/icons/arrow-down-circle.svg")},
        {QStringLiteral("arrow.down.doc"), QStringLiteral("document-save-symbolic")},
        {QStringLiteral("arrow.up.right"), QStringLiteral("go-jump-symbolic")},
        {QStringLiteral("checkmark.shield"), QStringLiteral("security-high-symbolic")},
        {QStringLiteral("checkmark.circle"), QStringLiteral("emblem-ok-symbolic")},
        {QStringLiteral("cup.and.saucer.fill"), QStringLiteral(":/icons/cup.svg")},
        {QStringLiteral("doc.text.magnifyingglass"), QStringLiteral("system-search-symbolic")},
        {QStringLiteral("magnifyingglass"), QStringLiteral("edit-find-symbolic")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning-symbolic")},
        {QStringLiteral("trash"), QStringLiteral("user-trash-symbolic")},
        {QStringLiteral("xmark"), QStringLiteral("window-close-symbolic")},
        {QStringLiteral("xmark.circle.fill"), QStringLiteral("edit-clear-symbolic")},
        {QStringLiteral("minus.circle.fill"), QStringLiteral(":/icons/minus-circle-fill.svg")},
        {QStringLiteral("nosign"), QStringLiteral("action-unavailable-symbolic")},
        {QStringLiteral("play.circle"), QStringLiteral("media-playback-start-symbolic")},
        {QStringLiteral("keyboard"), QStringLiteral("input-keyboard-symbolic")},
        {QStringLiteral("ant"), QStringLiteral(":/icons/ant.svg")},
        {QStringLiteral("sparkles.rectangle.stack"), QStringLiteral("starred-symbolic")},
        {QStringLiteral("hand.raised"), QStringLiteral("preferences-system-privacy-symbolic")},
        {QStringLiteral("globe"), QStringLiteral("preferences-desktop-locale-symbolic")},
    };
    return names;
}

void useOurTheme()
{
    // Offscreen and minimal sessions name no theme; ours is installed with the build.
    static const bool once = [] {
        registerOurImages();
        // Without a desktop session Qt searches only its resources for themes.
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString &dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                            QStringLiteral("icons"), QStandardPaths::LocateDirectory)) {
            if (!paths.contains(dir))
                paths << dir;
        }
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    Q_UNUSED(once);
}

} // namespace

QIcon icon(const QString &symbolName)
{
    useOurTheme();
    const QString name = table().value(symbolName);
    if (name.isEmpty())
        return {};
    return name.startsWith(QLatin1Char(':')) ? QIcon(name) : QIcon::fromTheme(name);
}

QPixmap pixmap(const QString &symbolName, int size, const QColor &tint)
{
    QPixmap image = icon(symbolName).pixmap(size, size);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), tint);
    return image;
}

QIcon icon(const QString &symbolName, const QColor &tint)
{
    QIcon tinted;
    for (int size : {16, 24, 32, 48, 64})
        tinted.addPixmap(pixmap(symbolName, size, tint));
    return tinted;
}

QStringList symbolNames()
{
    QStringList names = table().keys();
    names.sort();
    return names;
}

QIcon appIcon()
{
    return QIcon(QStringLiteral(":/icons/quillmere.svg"));
}

} // namespace SymbolIcon
