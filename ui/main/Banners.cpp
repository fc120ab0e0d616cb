#include "ui/main/Banners.h"

#include "core/Scanner.h"
#include "platform/Workspace.h"
#include "ui/common/BannerFrame.h"
#include "ui/common/Divider.h"
#include "ui/common/ElidedLabel.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using UiStyle::TextStyle;
using UiStyle::Tone;

// A rounded orange box: symbols at the top beside the first line of a text column.
BannerFrame *bannerBox(const QString &name, QWidget *parent)
{
    auto *box = new BannerFrame(UiStyle::color(Tone::orange), 0.12, 0, 8, parent);
    box->setObjectName(name);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->setAlignment(Qt::AlignTop);
    return box;
}

QLabel *textLabel(const QString &text, const QFont &font, Tone tone, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    label->setStyleSheet(UiStyle::textTone(tone));
    return label;
}

QLabel *symbolLabel(const QString &symbol, int size, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(SymbolIcon::pixmap(symbol, size, UiStyle::color(Tone::orange)));
    label->setFixedSize(size, size);
    return label;
}

QVBoxLayout *textColumn(QBoxLayout *row)
{
    auto *column = new QVBoxLayout;
    column->setSpacing(2);
    column->setContentsMargins(0, 0, 0, 0);
    row->addLayout(column);
    return column;
}

// The banner under its divider.
QWidget *region(QWidget *banner, QWidget *parent)
{
    auto *widget = new QWidget(parent);
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new Divider(widget));
    layout->addWidget(banner);
    return widget;
}

} // namespace

Banners::Banners(Scanner &scanner, QWidget *parent)
    : QWidget(parent)
    , m_scanner(scanner)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QWidget *access = region(buildFullDiskAccessBanner(), this);
    QWidget *failures = region(buildRemovalFailureBanner(), this);
    layout->addWidget(access);
    layout->addWidget(failures);
    const auto refresh = [this, access, failures] {
        access->setVisible(m_scanner.tccAccessDenied());
        failures->setVisible(!m_scanner.removalFailures().isEmpty());
    };
    connect(&m_scanner, &Scanner::tccAccessDeniedChanged, this, refresh);
    connect(&m_scanner, &Scanner::removalFailuresChanged, this, refresh);
    refresh();
}

QWidget *Banners::buildFullDiskAccessBanner()
{
    m_fullDiskAccessBanner = bannerBox(QStringLiteral("fullDiskAccessBanner"), this);
    m_fullDiskAccessBanner->setCursor(Qt::PointingHandCursor);
    m_fullDiskAccessBanner->installEventFilter(this);
    auto *row = static_cast<QBoxLayout *>(m_fullDiskAccessBanner->layout());
    row->addWidget(symbolLabel(QStringLiteral("lock.shield.fill"), 16, m_fullDiskAccessBanner), 0, Qt::AlignTop);
    QVBoxLayout *text = textColumn(row);
    text->addWidget(textLabel(tr("Full Disk Access required for permission scanning"),
                              UiStyle::font(TextStyle::caption, QFont::Bold), Tone::primary, m_fullDiskAccessBanner));
    text->addWidget(textLabel(tr("Open System Settings \u2192 Privacy & Security \u2192 Full Disk Access"),
                              UiStyle::font(TextStyle::caption), Tone::secondary, m_fullDiskAccessBanner));
    row->addStretch(1);
    row->addWidget(symbolLabel(QStringLiteral("arrow.up.right"), 12, m_fullDiskAccessBanner), 0, Qt::AlignTop);
    return m_fullDiskAccessBanner;
}

QWidget *Banners::buildRemovalFailureBanner()
{
    QWidget *banner = bannerBox(QStringLiteral("removalFailureBanner"), this);
    auto *row = static_cast<QBoxLayout *>(banner->layout());
    row->addWidget(symbolLabel(QStringLiteral("exclamationmark.triangle.fill"), 16, banner), 0, Qt::AlignTop);
    // The text column takes the free width, so the path is shortened only where the banner ends.
    QVBoxLayout *text = textColumn(row);
    row->setStretchFactor(text, 1);
    auto *count = textLabel({}, UiStyle::font(TextStyle::caption, QFont::Bold), Tone::primary, banner);
    count->setObjectName(QStringLiteral("removalFailureCount"));
    // One line however long the path, shortened in the middle.
    auto *path = new ElidedLabel(QString(), Qt::ElideMiddle, banner);
    path->setObjectName(QStringLiteral("removalFailurePath"));
    path->setFont(UiStyle::monospacedFont(TextStyle::caption));
    QPalette pathPalette = path->palette();
    pathPalette.setColor(QPalette::WindowText, UiStyle::color(Tone::secondary));
    path->setPalette(pathPalette);
    text->addWidget(count);
    text->addWidget(textLabel(tr("Grant Full Disk Access in System Settings \u2192 Privacy & Security, then try again."),
                              UiStyle::font(TextStyle::caption), Tone::secondary, banner));
    text->addWidget(path);
    auto *openSettings = new QPushButton(tr("Open Settings"), banner);
    openSettings->setObjectName(QStringLiteral("openSettingsButton"));
    openSettings->setFont(UiStyle::font(TextStyle::callout));
    auto *dismiss = new QToolButton(banner);
    dismiss->setObjectName(QStringLiteral("dismissFailuresButton"));
    dismiss->setAutoRaise(true);
    dismiss->setToolTip(tr("Dismiss"));
    dismiss->setAccessibleName(dismiss->toolTip());
    dismiss->setIcon(SymbolIcon::icon(QStringLiteral("xmark"), UiStyle::color(Tone::secondary)));
    row->addWidget(openSettings, 0, Qt::AlignTop);
    row->addWidget(dismiss, 0, Qt::AlignTop);
    connect(openSettings, &QPushButton::clicked, this, &Banners::openFullDiskAccessSettings);
    connect(dismiss, &QToolButton::clicked, &m_scanner, &Scanner::dismissRemovalFailures);
    const auto refresh = [this, count, path] {
        const QList<LeftoverItem> &failures = m_scanner.removalFailures();
        count->setText(tr("%1 item(s) could not be removed").arg(failures.size()));
        const QString first = failures.isEmpty() ? QString() : failures.first().displayPath(m_scanner.services().roots.home);
        path->setText(OutsideText::inLine(first));
        path->setToolTip(OutsideText::toolTip(first));
    };
    connect(&m_scanner, &Scanner::removalFailuresChanged, this, refresh);
    refresh();
    return banner;
}

bool Banners::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fullDiskAccessBanner && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        openFullDiskAccessSettings();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Banners::openFullDiskAccessSettings()
{
    // Whether the settings opened is not reported.
    if (Workspace *workspace = m_scanner.services().workspace)
        workspace->openUrl(QUrl(QString::fromLatin1(fullDiskAccessUrl)));
}
