#include "ui/main/ActionBar.h"

#include "BuildInfo.h"
#include "core/LanguageManager.h"
#include "core/Scanner.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/UiStyle.h"
#include "ui/main/ActionBarRules.h"
#include "ui/main/LeftoversRules.h"
#include "ui/main/LeftoversTab.h"
#include "ui/main/LeftoversTableModel.h"
#include "ui/main/LeftoversTableView.h"
#include "ui/main/RosterTab.h"
#include "ui/main/StatusBar.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ActionBar::ActionBar(const Scanner &scanner, LanguageManager &lm, LeftoversTab &leftovers, RosterTab &roster,
                     QWidget *parent)
    : QWidget(parent)
    , m_scanner(scanner)
    , m_lm(lm)
    , m_leftovers(leftovers)
    , m_roster(roster)
    , m_status(new StatusBar(this))
    , m_buttons(new QWidget(this))
    , m_version(new QLabel(this))
    , m_grid(new QGridLayout(this))
{
    setObjectName(QStringLiteral("actionBar"));
    m_grid->setContentsMargins(16, 8, 16, 8);
    m_grid->setSpacing(8);
    // The status pieces keep their own width; the free space lies between them and the buttons.
    m_grid->setColumnStretch(1, 1);
    auto *row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addStretch(1);
    const auto actionButton = [this, row](const char *name, const QString &symbol) {
        auto *button = new QPushButton(SymbolIcon::icon(symbol, UiStyle::color(UiStyle::Tone::primary)), QString(), m_buttons);
        button->setObjectName(QLatin1String(name));
        row->addWidget(button);
        return button;
    };
    m_resetButton = actionButton("resetPermissionsButton", QStringLiteral("lock.slash"));
    m_backgroundButton = actionButton("removeBackgroundButton", QStringLiteral("arrow.triangle.2.circlepath"));
    m_trashButton = actionButton("moveToTrashButton", QStringLiteral("trash"));
    // The destructive one: filled red.
    m_trashButton->setIcon(SymbolIcon::icon(QStringLiteral("trash"), Qt::white));
    m_trashButton->setStyleSheet(UiStyle::filledButton(UiStyle::color(UiStyle::Tone::red)));
    m_scanLeftoversButton = actionButton("scanLeftoversButton", QStringLiteral("magnifyingglass"));
    m_scanLeftoversButton->setText(tr("Scan Leftovers"));
    connect(m_resetButton, &QPushButton::clicked, &m_leftovers, &LeftoversTab::resetSelectedPermissions);
    connect(m_backgroundButton, &QPushButton::clicked, &m_leftovers, &LeftoversTab::removeSelectedBackgroundItems);
    connect(m_trashButton, &QPushButton::clicked, &m_leftovers, &LeftoversTab::moveSelectionToTrash);
    connect(m_scanLeftoversButton, &QPushButton::clicked, this, [this] {
        const QList<InstalledApp> apps = m_roster.selectedApps();
        if (!apps.isEmpty())
            emit scanLeftoversRequested(apps.first());
    });

    m_version->setObjectName(QStringLiteral("versionFooter"));
    m_version->setTextFormat(Qt::PlainText);
    m_version->setText(ActionBarRules::versionString(QString::fromUtf8(BuildInfo::shortVersion),
                                                     QString::fromUtf8(BuildInfo::buildNumber)));
    m_version->setFont(UiStyle::font(UiStyle::TextStyle::caption2));
    m_version->setStyleSheet(UiStyle::textTone(UiStyle::Tone::quaternary));
    m_grid->addWidget(m_status, 0, 0, Qt::AlignVCenter);
    m_grid->addWidget(m_buttons, 0, 2, Qt::AlignVCenter);
    m_grid->addWidget(m_version, 0, 3, Qt::AlignVCenter);

    // The leftovers' counts follow the rows the table holds, so the bar waits for the table.
    connect(&m_leftovers, &LeftoversTab::shownItemsChanged, this, &ActionBar::refresh);
    connect(&m_leftovers, &LeftoversTab::tableSelectionChanged, this, &ActionBar::refresh);
    connect(&m_roster, &RosterTab::rosterSelectionChanged, this, &ActionBar::refresh);
    for (auto signal : {&Scanner::isScanningChanged, &Scanner::scanProgressChanged, &Scanner::installedAppsChanged,
                        &Scanner::isLoadingRosterChanged})
        connect(&m_scanner, signal, this, &ActionBar::refresh);
    connect(&m_lm, &LanguageManager::languageChanged, this, &ActionBar::refresh);
    refresh();
}

void ActionBar::setTab(AppTab tab)
{
    m_tab = tab;
    refresh();
}

void ActionBar::refresh()
{
    m_tab == AppTab::leftovers ? refreshLeftovers() : refreshRoster();
    arrange();
}

bool ActionBar::event(QEvent *event)
{
    // A piece or a button changed its width.
    if (event->type() == QEvent::LayoutRequest)
        arrange();
    return QWidget::event(event);
}

void ActionBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void ActionBar::arrange()
{
    const QMargins margins = m_grid->contentsMargins();
    const int oneRow = margins.left() + m_status->sizeHint().width() + m_buttons->sizeHint().width()
        + m_version->sizeHint().width() + 3 * m_grid->horizontalSpacing() + margins.right();
    const bool stacked = oneRow > width();
    if (stacked == m_stacked)
        return;
    m_stacked = stacked;
    m_grid->removeWidget(m_buttons);
    m_grid->removeWidget(m_version);
    m_grid->addWidget(m_version, 0, 3, Qt::AlignVCenter);
    if (stacked)
        m_grid->addWidget(m_buttons, 1, 0, 1, 4, Qt::AlignVCenter);
    else
        m_grid->addWidget(m_buttons, 0, 2, Qt::AlignVCenter);
}

void ActionBar::refreshLeftovers()
{
    // One pass over the selected items still present, copying none: the bar
    // refreshes with every selection change, on large scans too.
    using LeftoversRules::Action;
    const QSet<QUuid> selection = m_leftovers.tableSelection();
    constexpr Action actionOrder[] = {Action::resetPermissions, Action::removeBackground, Action::moveToTrash};
    qsizetype actionCounts[3] = {0, 0, 0};
    qint64 selectedSize = 0;
    if (!selection.isEmpty()) {
        for (const LeftoverItem &item : m_scanner.items()) {
            if (!selection.contains(item.id))
                continue;
            selectedSize += item.size;
            for (int a = 0; a < 3; ++a)
                actionCounts[a] += LeftoversRules::appliesTo(actionOrder[a], item);
        }
    }
    ActionBarRules::LeftoversStatusInput input;
    input.isScanning = m_scanner.isScanning();
    input.scanProgress = m_scanner.scanProgress();
    input.hasItems = !m_scanner.items().isEmpty();
    if (!input.isScanning && input.hasItems) {
        input.filteredItems = m_leftovers.table()->leftoversModel().items();
        input.hiddenBySafeMode = m_leftovers.hiddenBySafeModeCount();
        input.selectionCount = selection.size();
        input.selectedSize = selectedSize;
    }
    m_status->setPieces(ActionBarRules::leftoversStatus(input, m_lm, m_lm.locale()));

    const struct
    {
        QPushButton *button;
        const char *key;
    } buttons[] = {{m_resetButton, "reset_permissions_n"},
                   {m_backgroundButton, "remove_bg_activity_n"},
                   {m_trashButton, "move_to_trash_n"}};
    for (int a = 0; a < 3; ++a) {
        buttons[a].button->setVisible(actionCounts[a] > 0);
        if (actionCounts[a] > 0)
            buttons[a].button->setText(m_lm.localized(QLatin1String(buttons[a].key), {int(actionCounts[a])}));
    }
    m_scanLeftoversButton->setVisible(false);
}

void ActionBar::refreshRoster()
{
    m_status->setPieces(
        ActionBarRules::rosterStatus(m_scanner.isLoadingRoster(), m_scanner.installedApps(), m_lm, m_lm.locale()));
    for (QPushButton *button : {m_resetButton, m_backgroundButton, m_trashButton})
        button->setVisible(false);
    m_scanLeftoversButton->setVisible(!m_roster.rosterSelection().isEmpty() && !m_roster.selectedApps().isEmpty());
}
