// The Installed Apps tab's regions of the main window: filter bar, roster
// table, loading view and empty state, the removal confirmation, the drop
// overlay and the log sheet.
#include "ui/main/ContentView.h"

#include "core/AppLogger.h"
#include "core/LanguageManager.h"
#include "core/MainThread.h"
#include "core/Scanner.h"
#include "model/StoredLists.h"
#include "ui/common/BusyIndicator.h"
#include "ui/common/FileIconSource.h"
#include "ui/common/NameOverIdDelegate.h"
#include "ui/common/OutsideText.h"
#include "ui/common/SymbolIcon.h"
#include "ui/common/TableSetup.h"
#include "ui/common/UiStyle.h"
#include "ui/main/DropFrame.h"
#include "ui/main/DroppedBundle.h"
#include "ui/main/LogView.h"
#include "ui/main/OutsideTextDelegate.h"
#include "ui/main/RosterRules.h"
#include "ui/main/RosterTableModel.h"
#include "ui/main/SearchField.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

namespace {

// By column: App, Version, App Size, Last Launched. The App column stretches, so it keeps no minimum.
const QList<TableSetup::ColumnWidth> rosterWidths = {{0, 220}, {60, 80}, {70, 90}, {100, 120}};
constexpr int rosterRowHeight = 36;
constexpr int rosterIconSize = 20;

// The sort key a header section stands for; the Version column has none.
std::optional<AppComparator::Key> sortKey(int column)
{
    switch (column) {
    case RosterTableModel::appColumn: return AppComparator::Key::name;
    case RosterTableModel::sizeColumn: return AppComparator::Key::appSize;
    case RosterTableModel::lastLaunchedColumn: return AppComparator::Key::lastLaunched;
    }
    return std::nullopt;
}

int sortColumn(AppComparator::Key key)
{
    switch (key) {
    case AppComparator::Key::name: return RosterTableModel::appColumn;
    case AppComparator::Key::appSize: return RosterTableModel::sizeColumn;
    case AppComparator::Key::lastLaunched: return RosterTableModel::lastLaunchedColumn;
    }
    return RosterTableModel::appColumn;
}

// Only the sizes differ: the rows stay where they are unless sorted by size.
bool onlySizesDiffer(const QList<InstalledApp> &a, const QList<InstalledApp> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const InstalledApp &x = a.at(i);
        const InstalledApp &y = b.at(i);
        if (x.id != y.id || x.name != y.name || x.bundleID != y.bundleID || x.path != y.path || x.version != y.version
            || x.lastLaunched != y.lastLaunched)
            return false;
    }
    return true;
}

} // namespace

void ContentView::buildRosterRegions()
{
    m_fileIcons = &FileIconSource::desktop();

    // ---- filter bar ----
    auto *bar = static_cast<QBoxLayout *>(m_rosterFilterBar->layout());
    m_rosterSearchField = new SearchField(tr("Search installed apps\u2026"), m_rosterFilterBar);
    m_rosterSearchField->setObjectName(QStringLiteral("rosterSearch"));
    bar->addWidget(m_rosterSearchField, 1);
    bar->addStretch(1);
    m_rosterCount = new QLabel(m_rosterFilterBar);
    m_rosterCount->setObjectName(QStringLiteral("rosterCount"));
    m_rosterCount->setFont(UiStyle::font(UiStyle::TextStyle::caption));
    m_rosterCount->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    bar->addWidget(m_rosterCount);
    connect(m_rosterSearchField, &SearchField::textChanged, this, &ContentView::setRosterSearch);
    connect(this, &ContentView::rosterSearchChanged, this, [this] {
        m_rosterSearchField->setText(m_rosterSearch);
    });

    // ---- loading view ----
    auto *loading = static_cast<QBoxLayout *>(m_rosterLoading->layout());
    auto *spinner = new BusyIndicator(QSize(120, 12), m_rosterLoading);
    loading->addWidget(spinner, 0, Qt::AlignHCenter);
    auto *loadingText = new QLabel(tr("Loading installed apps…"), m_rosterLoading);
    loadingText->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    loading->addWidget(loadingText, 0, Qt::AlignHCenter);

    // ---- empty state ----
    auto *empty = static_cast<QBoxLayout *>(m_rosterEmptyState->layout());
    auto *symbol = new QLabel(m_rosterEmptyState);
    symbol->setPixmap(SymbolIcon::pixmap(QStringLiteral("app.badge"), 56, UiStyle::color(UiStyle::Tone::tertiary)));
    empty->addWidget(symbol, 0, Qt::AlignHCenter);
    const QString shortcut = QKeySequence(Qt::CTRL | Qt::Key_R).toString(QKeySequence::NativeText);
    auto *hint = new QLabel(tr("Press **%1** or click **Load Apps** to see installed applications.").arg(shortcut),
                            m_rosterEmptyState);
    hint->setTextFormat(Qt::MarkdownText);
    hint->setAlignment(Qt::AlignCenter);
    hint->setStyleSheet(UiStyle::textTone(UiStyle::Tone::secondary));
    empty->addWidget(hint, 0, Qt::AlignHCenter);

    // ---- table ----
    m_rosterModel = new RosterTableModel(this);
    m_rosterModel->setIconSource(m_fileIcons);
    m_rosterModel->setLocale(m_lm.locale());
    connect(&m_lm, &LanguageManager::languageChanged, this, [this] { m_rosterModel->setLocale(m_lm.locale()); });
    m_rosterView = new QTableView(m_rosterTable);
    m_rosterView->setObjectName(QStringLiteral("rosterView"));
    m_rosterView->setModel(m_rosterModel);
    m_rosterView->setItemDelegateForColumn(RosterTableModel::appColumn, new NameOverIdDelegate(RosterTableModel::bundleIDRole, rosterIconSize, m_rosterView));
    m_rosterView->setItemDelegateForColumn(RosterTableModel::versionColumn, new OutsideTextDelegate(m_rosterView));
    TableSetup::apply(*m_rosterView, rosterRowHeight);
    QHeaderView *header = m_rosterView->horizontalHeader();
    header->setMinimumSectionSize(rosterWidths[RosterTableModel::versionColumn].minimum);
    TableSetup::setColumnWidths(*m_rosterView, rosterWidths);
    // The App column takes what is left.
    header->setSectionResizeMode(RosterTableModel::appColumn, QHeaderView::Stretch);
    m_rosterView->viewport()->installEventFilter(this);
    m_rosterTable->layout()->addWidget(m_rosterView);

    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        const std::optional<AppComparator::Key> key = sortKey(column);
        if (key) {
            const AppComparator first = m_rosterSortOrder.value(0);
            const bool flip = first.key == *key && first.order == Qt::AscendingOrder;
            setRosterSortOrder({AppComparator{*key, flip ? Qt::DescendingOrder : Qt::AscendingOrder}});
        }
        // A column that does not sort keeps the indicator where it was.
        const AppComparator first = m_rosterSortOrder.value(0);
        m_rosterView->horizontalHeader()->setSortIndicator(sortColumn(first.key), first.order);
    });
    connect(m_rosterView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ContentView::takeRosterSelection);
    connect(m_rosterView, &QWidget::customContextMenuRequested, this, &ContentView::openRosterMenu);

    connect(m_scanner, &Scanner::installedAppsChanged, this, [this] { refreshRoster(true); });
    connect(this, &ContentView::rosterSearchChanged, this, [this] { refreshRoster(); });
    connect(this, &ContentView::rosterSortOrderChanged, this, [this] { refreshRoster(); });
    connect(this, &ContentView::rosterSelectionChanged, this, &ContentView::showRosterSelection);

    // ---- removal confirmation and log sheet ----
    connect(this, &ContentView::showRemoveConfirmationChanged, this, &ContentView::refreshRemoveAlert);
    connect(this, &ContentView::appToRemoveChanged, this, &ContentView::refreshRemoveAlert);
    connect(this, &ContentView::showingLogChanged, this, &ContentView::refreshLogSheet);

    // ---- drop overlay ----
    m_dropOverlay->layout()->setAlignment(Qt::Alignment());
    m_dropOverlay->layout()->addWidget(new DropFrame(m_dropOverlay));

    refreshRoster();
}

void ContentView::setFileIconSource(FileIconSource &source)
{
    m_fileIcons = &source;
    m_rosterModel->setIconSource(&source);
}

// ---- the roster table ----

void ContentView::refreshRoster(bool rosterChanged)
{
    const QList<InstalledApp> &apps = m_scanner->installedApps();
    const bool sortsBySize = std::any_of(m_rosterSortOrder.begin(), m_rosterSortOrder.end(), [](const AppComparator &c) {
        return c.key == AppComparator::Key::appSize;
    });
    if (!sortsBySize && rosterChanged && onlySizesDiffer(apps, m_rosterShown)) {
        // A size arrived: touch only its row; the search and the order do not look at sizes.
        for (qsizetype i = 0; i < apps.size(); ++i) {
            if (apps.at(i).appSize != m_rosterShown.at(i).appSize)
                m_rosterModel->updateApp(apps.at(i));
        }
    } else {
        m_rosterModel->setApps(DerivedLists::sortedApps(filteredApps(), m_rosterSortOrder));
        showRosterSelection();
        fitRosterVersionColumn();
    }
    m_rosterShown = apps;

    m_rosterCount->setVisible(!apps.isEmpty());
    if (!apps.isEmpty())
        m_rosterCount->setText(RosterRules::countText(m_rosterModel->rowCount()));
    // Only when it moves: setting it repaints the whole table.
    const AppComparator first = m_rosterSortOrder.value(0);
    QHeaderView *header = m_rosterView->horizontalHeader();
    if (header->sortIndicatorSection() != sortColumn(first.key) || header->sortIndicatorOrder() != first.order)
        header->setSortIndicator(sortColumn(first.key), first.order);
}

void ContentView::fitRosterVersionColumn()
{
    // A long version takes room from a wide App column, down to the App column's ideal width.
    using Column = RosterTableModel::Column;
    QHeaderView *header = m_rosterView->horizontalHeader();
    const int ideal = rosterWidths[int(Column::versionColumn)].ideal;
    // The rows in sight and a bounded number more; public only on the base class.
    const int wanted = static_cast<const QAbstractItemView *>(m_rosterView)->sizeHintForColumn(Column::versionColumn);
    const int room = m_rosterView->viewport()->width() - header->sectionSize(Column::sizeColumn)
        - header->sectionSize(Column::lastLaunchedColumn) - rosterWidths[int(Column::appColumn)].ideal;
    header->resizeSection(Column::versionColumn, qMax(ideal, qMin(wanted, room)));
}

void ContentView::showRosterSelection()
{
    if (m_takingRosterSelection)
        return;
    QItemSelection selection;
    for (const QUuid &id : std::as_const(m_rosterSelection)) {
        const int row = m_rosterModel->rowOf(id);
        if (row >= 0)
            selection.select(m_rosterModel->index(row, 0),
                             m_rosterModel->index(row, RosterTableModel::columnCount_ - 1));
    }
    m_takingRosterSelection = true;
    m_rosterView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_takingRosterSelection = false;
}

void ContentView::takeRosterSelection()
{
    if (m_takingRosterSelection)
        return;
    QSet<QUuid> ids;
    for (const QModelIndex &index : m_rosterView->selectionModel()->selectedRows())
        ids.insert(m_rosterModel->idAt(index.row()));
    m_takingRosterSelection = true;
    setRosterSelection(ids);
    m_takingRosterSelection = false;
}

// ---- the context menu ----

void ContentView::openRosterMenu(const QPoint &pos)
{
    const QModelIndex index = m_rosterView->indexAt(pos);
    if (!index.isValid())
        return;
    // The right-clicked row, and with it the selection when it is part of it.
    const QUuid clicked = m_rosterModel->idAt(index.row());
    const QSet<QUuid> rows = m_rosterSelection.contains(clicked) ? m_rosterSelection : QSet<QUuid>{clicked};
    QMenu *menu = rosterContextMenu(rows, m_rosterView);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_rosterView->viewport()->mapToGlobal(pos));
}

QMenu *ContentView::rosterContextMenu(const QSet<QUuid> &selection, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("rosterMenu"));
    const std::optional<InstalledApp> app = RosterRules::menuApp(m_scanner->installedApps(), selection);
    if (!app)
        return menu;
    UserDefaults &defaults = *m_scanner->services().defaults;
    for (const RosterMenuEntry &entry : RosterRules::contextMenu(*app, StoredLists::ignoredBundleIDs(defaults), m_lm)) {
        using Action = RosterMenuEntry::Action;
        if (entry.action == Action::separator) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(OutsideText::menuEntry(entry.title));
        if (entry.destructive)
            action->setIcon(SymbolIcon::icon(QStringLiteral("trash"), UiStyle::color(UiStyle::Tone::red)));
        const InstalledApp target = *app;
        connect(action, &QAction::triggered, this, [this, kind = entry.action, target, &defaults] {
            switch (kind) {
            case Action::reveal: revealAppInFinder(target); break;
            case Action::scanLeftovers: scanLeftovers(target); break;
            case Action::resetAllPermissions: resetAllPermissionsForApp(target); break;
            case Action::requestRemove: requestRemoveApp(target); break;
            case Action::unignore: unignoreBundleID(target.bundleID); break;
            // Only the stored list: no log line, and the leftovers list keeps its rows until the next scan.
            case Action::addToIgnore: StoredLists::addToIgnoreList(target.bundleID, defaults); break;
            case Action::separator: break;
            }
        });
    }
    return menu;
}

void ContentView::revealAppInFinder(const InstalledApp &app)
{
    revealInFinder({app.path});
}

void ContentView::resetAllPermissionsForApp(const InstalledApp &app)
{
    m_scanner->resetAllPermissions(app.bundleID, app.name);
}

void ContentView::requestRemoveApp(const InstalledApp &app)
{
    setAppToRemove(app);
    setShowRemoveConfirmation(true);
}

// ---- the removal confirmation ----

void ContentView::cancelRemoveApp()
{
    setAppToRemove(std::nullopt);
}

void ContentView::confirmRemoveApp()
{
    if (m_appToRemove) {
        m_scanner->removeAppCompletely(*m_appToRemove);
        setRosterSelection({});
    }
    setAppToRemove(std::nullopt);
}

void ContentView::refreshRemoveAlert()
{
    if (!m_showRemoveConfirmation) {
        // Closed by the state, not by the user: nothing was chosen.
        if (QMessageBox *alert = m_removeAlert) {
            m_removeAlert = nullptr;
            alert->close();
        }
        return;
    }
    if (!m_removeAlert) {
        m_removeAlert = new QMessageBox(QMessageBox::Warning, QString(), QString(), QMessageBox::NoButton, this);
        m_removeAlert->setObjectName(QStringLiteral("removeAppAlert"));
        m_removeAlert->setAttribute(Qt::WA_DeleteOnClose);
        m_removeAlert->setWindowModality(Qt::WindowModal);
        QPushButton *cancel = m_removeAlert->addButton(m_lm.localized(QStringLiteral("cancel")), QMessageBox::RejectRole);
        QPushButton *remove = m_removeAlert->addButton(m_lm.localized(QStringLiteral("remove_app_confirm_button")),
                                                       QMessageBox::DestructiveRole);
        remove->setObjectName(QStringLiteral("removeEverything"));
        remove->setStyleSheet(UiStyle::textTone(UiStyle::Tone::red));
        m_removeAlert->setDefaultButton(cancel);
        m_removeAlert->setEscapeButton(cancel);
        // Finished rather than a button click: closing the alert's window (or Alt+F4)
        // clicks nothing, and must cancel all the same.
        connect(m_removeAlert, &QDialog::finished, this, [this, alert = m_removeAlert.data(), remove] {
            if (m_removeAlert != alert)
                return;
            // Closing by itself and deleted later: the next request gets an alert of its own.
            m_removeAlert = nullptr;
            setShowRemoveConfirmation(false);
            alert->clickedButton() == remove ? confirmRemoveApp() : cancelRemoveApp();
        });
        m_removeAlert->open();
    }
    const QString title = m_lm.localized(QStringLiteral("remove_app_confirm_title"));
    m_removeAlert->setWindowTitle(title);
    m_removeAlert->setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    m_removeAlert->setInformativeText(m_appToRemove ? m_lm.localized(QStringLiteral("remove_app_confirm_message"),
                                                                     {OutsideText::inLine(m_appToRemove->name)})
                                                    : QString());
    // The message names the app: plain text (the box makes this label on first use, as rich text).
    if (auto *message = m_removeAlert->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        message->setTextFormat(Qt::PlainText);
}

// ---- the log sheet ----

void ContentView::refreshLogSheet()
{
    if (!m_showingLog) {
        if (m_logView)
            m_logView->close();
        return;
    }
    AppLogger *logger = m_scanner->services().logger;
    if (m_logView || !logger)
        return;
    m_logView = new LogView(*logger, this);
    m_logView->setAttribute(Qt::WA_DeleteOnClose);
    m_logView->setWindowModality(Qt::WindowModal);
    connect(m_logView, &QDialog::finished, this, [this] {
        // Deleted later: reopening at once makes a new sheet.
        m_logView = nullptr;
        setShowingLog(false);
    });
    m_logView->open();
}

// ---- drops ----

void ContentView::handleDroppedApp(const QUrl &url)
{
    // The bundle is read off the main thread; one hop brings the result back,
    // to a window that may have closed meanwhile.
    QPointer<ContentView> self(this);
    runInBackground(
        [self, url] {
            const std::optional<DroppedBundle> bundle = DroppedBundle::read(url);
            if (!bundle)
                return;
            postToMainThread([self, bundle = *bundle] {
                if (self)
                    self->scanDroppedApp(bundle.bundleID, bundle.appName);
            });
        },
        10);
}

void ContentView::scanDroppedApp(const QString &bundleID, const QString &appName)
{
    setTableSelection({});
    setSelectedTab(AppTab::leftovers);
    m_scanner->scanSpecificApp(bundleID, appName);
}
