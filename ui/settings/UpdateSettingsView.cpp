#include "ui/settings/UpdateSettingsView.h"

#include "core/UpdateChecker.h"
#include "platform/UserDefaults.h"
#include "ui/common/BannerFrame.h"
#include "ui/common/BusyIndicator.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/settings/NotesArea.h"
#include "ui/settings/RelativeDate.h"
#include "ui/settings/SettingsLabels.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A symbol and a text side by side, both in one colour.
QWidget *symbolLabel(const QString &symbol, const QString &text, const QColor &tint, const QFont &font,
                     QLabel **textLabel = nullptr)
{
    auto *box = new QWidget;
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto *icon = new QLabel(box);
    const int size = QFontMetrics(font).height();
    icon->setPixmap(SymbolIcon::pixmap(symbol, size, tint));
    layout->addWidget(icon);
    // Plain: the update's title carries the feed's version.
    auto *label = new QLabel(box);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, tint);
    label->setPalette(palette);
    layout->addWidget(label);
    layout->addStretch(1);
    if (textLabel)
        *textLabel = label;
    return box;
}

} // namespace

UpdateSettingsView::UpdateSettingsView(UpdateChecker &checker, bool automatic, QWidget *parent)
    : QWidget(parent)
    , m_checker(checker)
    , m_automatic(new QCheckBox(tr("Check for updates automatically"), this))
    , m_checkNow(new QPushButton(tr("Check Now"), this))
    , m_busy(new BusyIndicator(m_checkNow))
    , m_lastChecked(SettingsLabels::caption({}))
    , m_currentVersion(SettingsLabels::caption(tr("Current version: %1").arg(UpdateChecker::currentVersion())))
    , m_updateBox(new BannerFrame(UiStyle::color(UiStyle::Tone::blue), 0.08, 0.25, 10, this))
    , m_notesArea(new NotesArea(120, m_updateBox))
    , m_error(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(14);
    layout->addWidget(SettingsLabels::heading(tr("Updates")));

    m_automatic->setChecked(automatic);
    layout->addWidget(m_automatic);

    // The busy indicator takes the button's place while any check runs.
    m_checkNow->setMinimumWidth(m_checkNow->sizeHint().width());
    auto *busyLayout = new QHBoxLayout(m_checkNow);
    busyLayout->setContentsMargins(10, 0, 10, 0);
    m_busy->setMaximumHeight(6);
    busyLayout->addWidget(m_busy);
    auto *checkRow = new QHBoxLayout;
    checkRow->setSpacing(12);
    checkRow->addWidget(m_checkNow);
    m_lastChecked->setWordWrap(false);
    checkRow->addWidget(m_lastChecked);
    checkRow->addStretch(1);
    layout->addLayout(checkRow);

    m_currentVersion->setWordWrap(false);
    layout->addWidget(m_currentVersion);

    auto *boxLayout = new QVBoxLayout(m_updateBox);
    boxLayout->setContentsMargins(12, 12, 12, 12);
    boxLayout->setSpacing(8);
    boxLayout->addWidget(symbolLabel(QStringLiteral("arrow.down.circle.fill"), {}, UiStyle::color(UiStyle::Tone::blue),
                                     UiStyle::font(UiStyle::TextStyle::title3), &m_updateTitle));
    boxLayout->addWidget(m_notesArea);
    auto *boxButtons = new QHBoxLayout;
    auto *download = new QPushButton(tr("Download"), m_updateBox);
    download->setDefault(true);
    auto *skip = new QPushButton(tr("Skip This Version"), m_updateBox);
    boxButtons->addWidget(download);
    boxButtons->addWidget(skip);
    boxButtons->addStretch(1);
    boxLayout->addLayout(boxButtons);
    layout->addWidget(m_updateBox);

    m_upToDate = symbolLabel(QStringLiteral("checkmark.circle"), tr("You're on the latest version."),
                             UiStyle::color(UiStyle::Tone::green), UiStyle::font(UiStyle::TextStyle::body));
    layout->addWidget(m_upToDate);

    m_error->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    m_error->setWordWrap(true);
    m_error->setTextFormat(Qt::PlainText);
    SettingsLabels::setTone(m_error, UiStyle::Tone::red);
    layout->addWidget(m_error);
    layout->addStretch(1);

    connect(m_automatic, &QCheckBox::toggled, this, &UpdateSettingsView::automaticChanged);
    connect(m_checkNow, &QPushButton::clicked, this, &UpdateSettingsView::checkNow);
    connect(download, &QPushButton::clicked, &m_checker, &UpdateChecker::openDownload);
    connect(skip, &QPushButton::clicked, &m_checker, &UpdateChecker::skipLatest);
    for (auto signal : {&UpdateChecker::isCheckingChanged, &UpdateChecker::latestChanged,
                        &UpdateChecker::lastCheckedAtChanged, &UpdateChecker::lastErrorChanged,
                        &UpdateChecker::hasUpdateChanged})
        connect(&m_checker, signal, this, &UpdateSettingsView::refresh);
    refresh();
}

void UpdateSettingsView::checkNow()
{
    // Started from the event loop, so the click returns at once.
    QTimer::singleShot(0, &m_checker, [checker = &m_checker] { checker->check(false); });
}

void UpdateSettingsView::automaticChanged(bool automatic)
{
    m_checker.defaults().setBool(QString::fromLatin1(UpdateChecker::automaticKey), automatic);
}

void UpdateSettingsView::refresh()
{
    const bool checking = m_checker.isChecking();
    m_checkNow->setEnabled(!checking);
    m_checkNow->setText(checking ? QString() : tr("Check Now"));
    m_busy->setVisible(checking);

    const std::optional<QDateTime> lastChecked = m_checker.lastCheckedAt();
    m_lastChecked->setVisible(lastChecked.has_value());
    if (lastChecked)
        m_lastChecked->setText(
            tr("Last checked %1").arg(relativeDateText(*lastChecked, QDateTime::currentDateTimeUtc(), locale())));

    const std::optional<AppcastEntry> latest = m_checker.latest();
    const bool hasUpdate = latest && m_checker.hasUpdate();
    m_updateBox->setVisible(hasUpdate);
    m_upToDate->setVisible(latest && !hasUpdate);
    if (hasUpdate) {
        m_updateTitle->setText(tr("Version %1 is available").arg(OutsideText::inLine(latest->version)));
        const QString notes = latest->notes.value_or(QString());
        m_notesArea->setText(notes);
        m_notesArea->setVisible(!notes.isEmpty());
    }

    const std::optional<QString> error = m_checker.lastError();
    m_error->setVisible(error.has_value());
    m_error->setText(error.value_or(QString()));
}

void UpdateSettingsView::changeEvent(QEvent *event)
{
    // The relative date follows the chosen language.
    if (event->type() == QEvent::LocaleChange)
        refresh();
    QWidget::changeEvent(event);
}
