#include "ui/main/UpdateBanner.h"

#include "core/UpdateChecker.h"
#include "ui/common/Divider.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

UpdateBanner::UpdateBanner(UpdateChecker &updater, QWidget *parent)
    : QWidget(parent)
    , m_updater(updater)
{
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("updateBanner"));
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, UiStyle::color(UiStyle::Tone::blue));
    strip->setPalette(palette);
    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(10);

    auto *icon = new QLabel(strip);
    icon->setPixmap(SymbolIcon::pixmap(QStringLiteral("arrow.down.circle.fill"), 16, Qt::white));
    layout->addWidget(icon);
    m_text = new QLabel(strip);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setFont(UiStyle::font(UiStyle::TextStyle::callout));
    m_text->setStyleSheet(QStringLiteral("color: white;"));
    layout->addWidget(m_text);
    layout->addStretch(1);

    const QString buttonStyle = QStringLiteral("QPushButton { background: %1; color: %2; border: none;"
                                               " border-radius: 5px; padding: 3px 10px; }");
    auto *download = new QPushButton(tr("Download"), strip);
    download->setStyleSheet(buttonStyle.arg(QStringLiteral("white"), UiStyle::css(UiStyle::color(UiStyle::Tone::blue))));
    auto *later = new QPushButton(tr("Later"), strip);
    later->setStyleSheet(buttonStyle.arg(UiStyle::css(QColor(255, 255, 255, 64)), QStringLiteral("white")));
    layout->addWidget(download);
    layout->addWidget(later);
    connect(download, &QPushButton::clicked, &m_updater, &UpdateChecker::openDownload);
    connect(later, &QPushButton::clicked, &m_updater, &UpdateChecker::skipLatest);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(strip);
    column->addWidget(new Divider(this));

    connect(&m_updater, &UpdateChecker::hasUpdateChanged, this, &UpdateBanner::refresh);
    connect(&m_updater, &UpdateChecker::latestChanged, this, &UpdateBanner::refresh);
    refresh();
}

void UpdateBanner::refresh()
{
    const std::optional<AppcastEntry> latest = m_updater.latest();
    if (latest)
        m_text->setText(tr("Version %1 is available").arg(OutsideText::inLine(latest->version)));
    setVisible(m_updater.hasUpdate() && latest.has_value());
}
